#pragma once

#include "platform/pointer_source.h"

#include <QTimer>
#include <map>

class QEventLoop;
class QWidget;

namespace fk {

// The polling timers of one interval, ticking together on one system timer. A pass runs the
// handler of every member that is due, in the order the timers were created, on one reading
// of the pointer that every cursor query in the pass gets.
//
// A member's handler looks only at where the pointer is against its window's rectangle, at
// the buttons and at its own control. So a member is due only when the pointer entered or
// left one of those rectangles, a button went down or up, or its control changed (touch);
// else nothing runs. Where the source follows nothing, every pass asks it and runs all.
class PollingGroup {
public:
    // What the group needs of a timer it runs.
    class Member {
    public:
        virtual void tick() = 0;
        // The window whose rectangle the handler compares the pointer with.
        virtual const QWidget* window() const = 0;

    protected:
        ~Member() = default;
    };

    explicit PollingGroup(int interval);

    // A member first ticks at the first pass one interval or more after it joined; members
    // tick in the order given, which is theirs alone.
    static void join(Member& member, int interval, quint64 order);
    static void leave(quint64 order);
    static void leaveAllIn(const QWidget* window); // every member whose window lies in it
    // What the members whose windows lie in this one paint may have changed: each ticks at
    // its next interval. Null touches every member.
    static void touch(const QWidget* window);

    // The pointer as the program sees it now: the reading held for the running pass, or for
    // the loop that waited for the pointer until events are next processed; else the newest
    // of a source that follows the pointer, or a new one.
    static platform::PointerReading reading();
    // Runs the loop until the pointer moves or a button goes down or up, or the loop ends
    // otherwise; the reading that came with that, or one taken then, is held (see reading()).
    static void runUntilPointerMoves(QEventLoop& loop);

private:
    struct Entry {
        Member* member;
        PollingGroup* group;
        bool due;
        bool fresh; // joined while the system timer ran: the next pass comes too soon for it
    };

    static std::map<int, PollingGroup>& groups();
    static std::map<quint64, Entry>& members(); // of every group, by creation
    static void hear(const platform::PointerReport& report);
    static void rewatch();
    // Starts the system timer unless it runs: at once for a change, after an interval for a joiner.
    void wake(int after);
    void pass();

    int interval_;
    QTimer system_;
};

} // namespace fk
