#include "timer.h"

#include "container.h"
#include "runtime_error.h"

#include <QWidget>

namespace fk {

Timer::Timer(Container& container, const TimerProps& props)
    : timer_(new QTimer(container.clientWidget())), interval_(props.interval), enabled_(props.enabled)
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.data(), &QTimer::timeout, [this] { tick(); });
    restart();
}

Timer::~Timer() { delete timer_.data(); }

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
        throw RuntimeError(380, QStringLiteral("Invalid property value"));
    interval_ = milliseconds;
    restart();
}

void Timer::restart()
{
    if (!timer_)
        return;
    if (enabled_ && interval_ > 0)
        timer_->start(interval_);
    else
        timer_->stop();
}

void Timer::tick()
{
    if (ticking_ || !onTimer)
        return;
    ticking_ = true;
    runHandler(onTimer);
    ticking_ = false;
}

} // namespace fk
