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
    // The handler only looks at the pointer, at where windows are and at its own control,
    // and a second look at the same things changes nothing. Such a timer sleeps while none
    // of them can have changed: when the display server reports every pointer move and no
    // event at all came since its last tick. The next event wakes it.
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
    friend void stopTimersOf(QWidget* window);

    void restart();
    void tick();
    bool nothingToSee() const;
    void sleep();
    static void wakeSleepers();

    QPointer<QTimer> timer_; // belongs to the container's window, which may go first
    int interval_;
    bool enabled_;
    bool pollsInput_;
    bool ticking_ = false;
    quint64 activityAtLastTick_ = 0;
    bool ticked_ = false;
};

// Stops every timer that belongs to the window, sleeping ones included: what unloading a
// form does.
void stopTimersOf(QWidget* window);

} // namespace fk
