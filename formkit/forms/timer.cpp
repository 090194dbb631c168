#include "forms/timer.h"

#include "forms/container.h"
#include "forms/error_reporting.h"

#include <QWidget>

namespace fk {

namespace {

quint64 timersCreated = 0;

} // namespace

Timer::Timer(Container& container, const TimerProps& props)
    : window_(container.clientWidget()),
      created_(timersCreated++),
      interval_(props.interval),
      enabled_(props.enabled),
      pollsInput_(props.pollsInput)
{
    if (pollsInput_) {
        // The pointer source follows the pointer from its start on: a polling control's form
        // makes it before it shows its windows, so that it sees the pointer come into them.
        platform::pointerSource();
    } else {
        system_ = new QTimer(window_);
        system_->setTimerType(Qt::PreciseTimer);
        QObject::connect(system_.data(), &QTimer::timeout, [this] { tick(); });
    }
    restart();
}

Timer::~Timer()
{
    stop();
    delete system_.data();
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    restart();
}

void Timer::setInterval(int milliseconds)
{
    if (milliseconds < 0)
        throw RuntimeError::invalidPropertyValue();
    interval_ = milliseconds;
    restart(); // a polling timer joins the group of its new interval
}

void Timer::stop()
{
    if (system_)
        system_->stop();
    if (pollsInput_)
        PollingGroup::leave(created_);
}

void Timer::restart()
{
    stop();
    if (!window_ || !enabled_ || interval_ <= 0)
        return;
    if (pollsInput_)
        PollingGroup::join(*this, interval_, created_);
    else if (system_)
        system_->start(interval_);
}

void Timer::tick()
{
    if (!window_) { // its window went
        stop();
        return;
    }
    if (ticking_ || !onTimer)
        return;
    ticking_ = true;
    runHandler(onTimer);
    ticking_ = false;
}

void stopTimersOf(QWidget* window)
{
    for (QTimer* timer : window->findChildren<QTimer*>())
        timer->stop();
    PollingGroup::leaveAllIn(window);
}

} // namespace fk
