#include "forms/polling_group.h"

#include "core/logging.h"
#include "forms/form_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QWidget>
#include <algorithm>

namespace fk {

using platform::PointerReading;
using platform::PointerReport;

namespace {

platform::PointerSource& source() { return platform::pointerSource(); }

// The reading that stands for the pointer. Passes nest when a handler pumps events; every
// handler of any of them gets the newest reading until the outermost pass is over. After a
// wait for the pointer, the reading that ended it stands until events are processed again.
std::optional<PointerReading> held;
int passDepth = 0;
quint64 holds = 0;

// The loop that waits for the pointer, and the reading that ended its wait.
QEventLoop* waiting = nullptr;
std::optional<PointerReading> waitEnded;

// Whether a member's window lies in that one; every window lies in none given.
bool liesIn(const QWidget* window, const QWidget* within)
{
    return window && (!within || window == within || within->isAncestorOf(window));
}

} // namespace

PollingGroup::PollingGroup(int interval) : interval_(interval)
{
    system_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&system_, &QTimer::timeout, [this] { pass(); });
}

// Kept to the end of the process, past the application object that the groups' system timers
// would need to go in order.
std::map<int, PollingGroup>& PollingGroup::groups()
{
    static auto* all = new std::map<int, PollingGroup>;
    return *all;
}

std::map<quint64, PollingGroup::Entry>& PollingGroup::members()
{
    static auto* all = new std::map<quint64, Entry>;
    return *all;
}

void PollingGroup::join(Member& member, int interval, quint64 order)
{
    source().setWake(&PollingGroup::hear);
    PollingGroup& group = groups().try_emplace(interval, interval).first->second;
    // The next pass comes when the system timer fires: if it was started a while ago, that is
    // too soon for the new member, whose first tick waits for the pass after.
    const bool tooSoon = group.system_.isActive() && group.system_.remainingTime() < interval - 1;
    members()[order] = {&member, &group, true, tooSoon};
    group.wake(interval);
}

void PollingGroup::leave(quint64 order) { members().erase(order); }

void PollingGroup::leaveAllIn(const QWidget* window)
{
    std::erase_if(members(), [&](const auto& m) { return liesIn(m.second.member->window(), window); });
}

void PollingGroup::touch(const QWidget* within)
{
    for (auto& [order, entry] : members())
        if (liesIn(entry.member->window(), within)) {
            entry.due = true;
            entry.group->wake(0);
        }
}

PointerReading PollingGroup::reading()
{
    const std::optional<PointerReading> newest = source().followsPointer() ? source().newest() : std::nullopt;
    return held ? *held : newest ? *newest : source().read();
}

void PollingGroup::runUntilPointerMoves(QEventLoop& loop)
{
    source().setWake(&PollingGroup::hear);
    source().reportEveryMove(true);
    QEventLoop* const outer = std::exchange(waiting, &loop);
    loop.exec();
    waiting = outer;
    const std::optional<PointerReading> ended = std::exchange(waitEnded, std::nullopt);
    held = ended ? *ended : reading();
    // Released when events are next processed, unless a newer wait or a pass holds by then;
    // once no wait runs then, the source goes back to telling of crossings only.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [hold = ++holds] {
        if (hold == holds && passDepth == 0)
            held.reset();
        if (!waiting)
            source().reportEveryMove(false);
    }, Qt::QueuedConnection);
}

// The standing wake of the pointer source. A crossing or a button makes every member due.
// The rectangles are taken anew at every report, since code may have moved a control since;
// a window's new place reaches the toolkit only after its report, so a pass takes that one.
void PollingGroup::hear(const PointerReport& report)
{
    if (report.kind == PointerReport::Button || report.crossed)
        touch(nullptr);
    if (report.kind == PointerReport::Windows) {
        for (auto& [order, entry] : members())
            entry.group->wake(0);
        return;
    }
    rewatch();
    if (waiting) {
        waitEnded = report.reading;
        waiting->quit();
    }
}

void PollingGroup::rewatch()
{
    std::vector<QRect> rectangles;
    for (auto& [order, entry] : members())
        if (const QWidget* window = entry.member->window())
            rectangles.emplace_back(screenPositionOf(window), window->size());
    if (source().watch(std::move(rectangles)))
        touch(nullptr);
}

void PollingGroup::wake(int after)
{
    if (!system_.isActive()) {
        qCDebug(lcTimers) << "polling every" << interval_ << "ms wakes";
        system_.start(after);
    }
}

void PollingGroup::pass()
{
    platform::PointerSource& s = source();
    const bool following = s.followsPointer();
    rewatch();
    std::optional<PointerReading> reading = following ? s.newest() : std::nullopt;
    if (!reading) {
        reading = s.read();
        if (s.offer(*reading) || !following)
            touch(nullptr);
    }
    // Started anew, the system timer can fire again inside a handler that pumps events,
    // which it would not do while this activation of it runs.
    system_.start(interval_);
    ++passDepth;
    held = reading;
    // Each step looks the next member up afresh: a handler may make timers join or leave.
    auto& all = members();
    for (auto member = all.begin(); member != all.end();) {
        const quint64 order = member->first;
        Entry& entry = member->second;
        if (entry.group == this && entry.fresh) {
            entry.fresh = false;
        } else if (entry.group == this && entry.due) {
            entry.due = false;
            entry.member->tick();
        }
        member = all.upper_bound(order);
    }
    if (--passDepth == 0)
        held.reset();
    if (!following || std::any_of(all.begin(), all.end(), [this](const auto& m) { return m.second.group == this && m.second.due; }))
        return;
    qCDebug(lcTimers) << "polling every" << interval_ << "ms rests";
    system_.stop();
}

} // namespace fk
