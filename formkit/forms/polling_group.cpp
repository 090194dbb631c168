#include "forms/polling_group.h"

#include "core/logging.h"
#include "forms/timer.h"
#include "platform/pointer_source.h"

#include <vector>

namespace fk {

namespace {

constexpr int kWarpWatchMs = 100;

// Whether that many seconds make at least that many milliseconds, give or take the rounding
// of the clock's readings.
bool atLeast(double seconds, int milliseconds) { return seconds * 1000 + 1e-6 >= milliseconds; }

// Passes nest when a handler pumps events; every handler of any of them gets the newest
// reading until the outermost pass is over.
int passDepth = 0;

struct HeldReading {
    explicit HeldReading(std::optional<QPoint> reading)
    {
        ++passDepth;
        platform::pointerSource().hold(reading);
    }
    ~HeldReading()
    {
        if (--passDepth == 0)
            platform::pointerSource().hold(std::nullopt);
    }
    HeldReading(const HeldReading&) = delete;
    HeldReading& operator=(const HeldReading&) = delete;
};

} // namespace

PollingGroup::PollingGroup(int interval) : interval_(interval)
{
    system_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&system_, &QTimer::timeout, [this] { pass(); });
}

std::map<int, PollingGroup>& PollingGroup::groups()
{
    // Kept to the end of the process, past the application object that its system timers
    // would need to go in order.
    static auto* all = new std::map<int, PollingGroup>;
    return *all;
}

void PollingGroup::join(Timer& timer)
{
    PollingGroup& group = groups().try_emplace(timer.interval_, timer.interval_).first->second;
    group.members_[timer.created_] = {&timer, platform::pointerSource().seconds(), false};
    group.wake();
}

void PollingGroup::leave(Timer& timer)
{
    const auto group = groups().find(timer.interval_);
    if (group == groups().end())
        return;
    group->second.members_.erase(timer.created_);
    if (group->second.members_.empty())
        group->second.system_.stop();
}

void PollingGroup::leaveAll(const QList<QTimer*>& marks)
{
    std::vector<Timer*> leaving;
    for (auto& [interval, group] : groups())
        for (auto& [created, member] : group.members_)
            if (marks.contains(member.timer->timer_.data()))
                leaving.push_back(member.timer);
    for (Timer* timer : leaving)
        leave(*timer);
}

void PollingGroup::wakeAll()
{
    for (auto& [interval, group] : groups())
        if (!group.members_.empty())
            group.wake();
}

void PollingGroup::wake()
{
    if (!system_.isActive() || system_.interval() != interval_) {
        qCDebug(lcTimers) << "polling every" << interval_ << "ms wakes";
        system_.start(interval_);
    }
}

void PollingGroup::pass()
{
    platform::PointerSource& source = platform::pointerSource();
    const double now = source.seconds();
    const quint64 reports = source.reports();
    const bool unwatched = !source.overProgramWindow() && !source.reportsDeviceMotion();
    // Half an interval early is on time: the system timer may fire a little before.
    const bool warpWatchDue =
        !source.overProgramWindow() && atLeast(now - lastReadingAt_ + interval_ / 2000.0, kWarpWatchMs);
    const bool reported = reports != seenReports_;
    bool changed = reported || unwatched;
    seenReports_ = reports;
    if (changed || warpWatchDue || !lastReading_) {
        const QPoint reading = source.read();
        qCDebug(lcPointer) << "reading" << reading << (reported ? "after a report" : unwatched ? "unwatched" : "looking for a warp");
        changed = changed || reading != lastReading_;
        lastReading_ = reading;
        lastReadingAt_ = now;
    }
    // Started anew, the system timer can fire again inside a handler that pumps events,
    // which it would not do while this activation of it runs.
    if (changed)
        system_.start(interval_);
    const bool waiting = runMembers(now, changed);
    if (!changed && !waiting)
        rest();
}

// Runs every member that is due and has something to see; says whether any member still
// waits for its first tick.
bool PollingGroup::runMembers(double now, bool changed)
{
    const HeldReading held(lastReading_);
    bool waiting = false;
    // Each step looks the next member up afresh: a handler may make timers join or leave.
    for (auto member = members_.begin(); member != members_.end();) {
        const quint64 created = member->first;
        if (!atLeast(now - member->second.since, interval_)) {
            waiting = true;
        } else if (changed || !member->second.ticked) {
            member->second.ticked = true;
            member->second.timer->tick();
        }
        member = members_.upper_bound(created);
    }
    return waiting;
}

// Nothing can have changed: outside the program's windows only a warp could go unseen, and
// the next report ends the rest.
void PollingGroup::rest()
{
    platform::PointerSource& source = platform::pointerSource();
    qCDebug(lcTimers) << "polling every" << interval_ << "ms rests"
                      << (source.overProgramWindow() ? "until the next report" : "but looks for warps");
    if (source.overProgramWindow())
        system_.stop();
    else if (!system_.isActive() || system_.interval() != kWarpWatchMs)
        system_.start(kWarpWatchMs);
    source.wakeOnNextReport(&PollingGroup::wakeAll);
}

} // namespace fk
