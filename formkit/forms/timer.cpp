#include "forms/timer.h"

#include "forms/container.h"
#include "forms/error_reporting.h"
#include "platform/pointer_watch.h"

#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace fk {

namespace {

// Short timers, the polling kind, tick on common boundaries of their interval counted from
// one moment for the whole program, and coarse enough for the toolkit to fire those that
// fall due within the same millisecond together. Many polling controls then wake the
// program once per batch, not each on its own. The first tick still comes no sooner than
// one interval after the start; longer timers keep their exact phase.
constexpr int kBatchedUpTo = 100;

qint64 sinceProgramStart()
{
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

std::vector<Timer*>& sleepers()
{
    static std::vector<Timer*> list;
    return list;
}

void forgetSleeper(Timer* timer) { std::erase(sleepers(), timer); }

} // namespace

Timer::Timer(Container& container, const TimerProps& props)
    : timer_(new QTimer(container.clientWidget())),
      interval_(props.interval),
      enabled_(props.enabled),
      pollsInput_(props.pollsInput)
{
    QObject::connect(timer_.data(), &QTimer::timeout, [this] { tick(); });
    if (pollsInput_)
        platform::addQuietTimer(timer_.data());
    restart();
}

Timer::~Timer()
{
    forgetSleeper(this);
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
    interval_ = milliseconds;
    restart();
}

void Timer::restart()
{
    forgetSleeper(this);
    ticked_ = false;
    if (!timer_)
        return;
    timer_->stop();
    if (!enabled_ || interval_ <= 0)
        return;
    if (interval_ > kBatchedUpTo) {
        timer_->setTimerType(Qt::PreciseTimer);
        timer_->setSingleShot(false);
        timer_->start(interval_);
        return;
    }
    // Wait for the first common boundary at least one interval away, then tick from there.
    const qint64 now = sinceProgramStart();
    const qint64 firstTick = (now + 2 * interval_ - 1) / interval_ * interval_;
    timer_->setTimerType(Qt::CoarseTimer);
    timer_->setSingleShot(true);
    timer_->start(static_cast<int>(firstTick - now));
}

void Timer::tick()
{
    if (timer_ && timer_->isSingleShot()) {
        timer_->setSingleShot(false);
        timer_->start(interval_);
    }
    if (ticking_ || !onTimer)
        return;
    if (nothingToSee()) {
        sleep();
        return;
    }
    // What happens while the handler runs is news to the next tick.
    activityAtLastTick_ = platform::activityCount();
    ticking_ = true;
    runHandler(onTimer);
    ticking_ = false;
    ticked_ = true;
}

bool Timer::nothingToSee() const
{
    return pollsInput_ && ticked_ && activityAtLastTick_ == platform::activityCount()
           && platform::pointerMovesReported();
}

void Timer::sleep()
{
    timer_->stop();
    sleepers().push_back(this);
    platform::callOnNextActivity(&Timer::wakeSleepers);
}

void Timer::wakeSleepers()
{
    // restart() takes each off the list.
    const std::vector<Timer*> waking = sleepers();
    for (Timer* timer : waking)
        timer->restart();
}

void stopTimersOf(QWidget* window)
{
    const QList<QTimer*> stopping = window->findChildren<QTimer*>();
    for (QTimer* timer : stopping)
        timer->stop();
    std::erase_if(sleepers(), [&](const Timer* t) { return stopping.contains(t->timer_.data()); });
}

} // namespace fk
