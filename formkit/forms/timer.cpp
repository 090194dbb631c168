#include "forms/timer.h"

#include "forms/container.h"
#include "forms/error_reporting.h"
#include "forms/polling_group.h"
#include "platform/pointer_source.h"

#include <QWidget>

namespace fk {

namespace {

quint64 timersCreated = 0;

} // namespace

Timer::Timer(Container& container, const TimerProps& props)
    : timer_(new QTimer(container.clientWidget())),
      created_(timersCreated++),
      interval_(props.interval),
      enabled_(props.enabled),
      pollsInput_(props.pollsInput)
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.data(), &QTimer::timeout, [this] { tick(); });
    // The pointer source follows the pointer from its start on: a polling control's form
    // makes it before it shows its windows, so that it sees the pointer come into them.
    if (pollsInput_)
        platform::pointerSource();
    restart();
}

Timer::~Timer()
{
    stop();
    delete timer_.data();
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
    stop(); // a polling timer leaves the group of its old interval
    interval_ = milliseconds;
    restart();
}

void Timer::stop()
{
    if (timer_)
        timer_->stop();
    PollingGroup::leave(*this);
}

void Timer::restart()
{
    stop();
    if (!timer_ || !enabled_ || interval_ <= 0)
        return;
    if (pollsInput_)
        PollingGroup::join(*this);
    else
        timer_->start(interval_);
}

void Timer::tick()
{
    if (!timer_) { // its window went
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
    const QList<QTimer*> stopping = window->findChildren<QTimer*>();
    for (QTimer* timer : stopping)
        timer->stop();
    PollingGroup::leaveAll(stopping);
}

} // namespace fk
