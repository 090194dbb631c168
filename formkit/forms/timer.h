#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>

class QWidget;

namespace fk {

class Container;

struct TimerProps {
    int interval = 0; // milliseconds; 0 never fires
    bool enabled = true;
    // The handler only looks at the pointer, at where windows are and at its own control.
    // Such timers of one interval tick together, one pass for all of them on one reading of
    // the pointer, and only while the display may have changed something (see PollingGroup).
    bool pollsInput = false;
};

// A timer control. It has no place on screen; it belongs to its container's window and
// stops when that window's form is unloaded. A tick never starts while the previous tick's
// handler is still running, even when that handler pumps events.
class Timer {
public:
    Timer(Container& container, const TimerProps& props);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }
    void setInterval(int milliseconds);

    std::function<void()> onTimer;

private:
    friend class PollingGroup;
    friend void stopTimersOf(QWidget* window);

    void restart();
    void stop();
    void tick();

    // Its own system timer, or for a polling timer the mark of the window it belongs to.
    QPointer<QTimer> timer_;
    const quint64 created_;
    int interval_;
    bool enabled_;
    bool pollsInput_;
    bool ticking_ = false;
};

// Stops every timer that belongs to the window: what unloading a form does.
void stopTimersOf(QWidget* window);

} // namespace fk
