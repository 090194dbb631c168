#pragma once

#include <QList>
#include <QPoint>
#include <QTimer>
#include <map>
#include <optional>

namespace fk {

class Timer;

// The polling timers of one interval, ticking together on one system timer. A pass runs the
// handler of every member that is due, in the order the timers were created, on one reading
// of the pointer that every cursor query in the pass gets.
//
// A handler of a polling timer looks only at the pointer, at windows and at its own control,
// so a pass that follows no report of the pointer source would find what the one before it
// found. The pointer is read, and the handlers run, only in a pass that follows a report,
// and the system timer stops when nothing was reported; the next report starts it again.
// Where a warp would go unreported (the pointer outside the program's windows), a reading
// every 100 ms looks for one; where the source reports nothing at all, every pass reads
// and runs, as plain polling does.
class PollingGroup {
public:
    explicit PollingGroup(int interval);

    static void join(Timer& timer);
    static void leave(Timer& timer);
    // Makes the members whose system-timer marks are among these leave.
    static void leaveAll(const QList<QTimer*>& marks);

private:
    struct Member {
        Timer* timer;
        double since;
        bool ticked;
    };

    static std::map<int, PollingGroup>& groups();
    static void wakeAll();
    void wake();
    void pass();
    bool runMembers(double now, bool changed);
    void rest();

    int interval_;
    QTimer system_;
    std::map<quint64, Member> members_; // by creation
    quint64 seenReports_ = 0;
    std::optional<QPoint> lastReading_;
    double lastReadingAt_ = 0;
};

} // namespace fk
