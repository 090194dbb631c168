#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>

namespace fk {

class Container;

struct TimerProps {
    int interval = 0; // milliseconds; 0 never fires
    bool enabled = true;
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
    void restart();
    void tick();

    QPointer<QTimer> timer_; // belongs to the container's window, which may go first
    int interval_;
    bool enabled_;
    bool ticking_ = false;
};

} // namespace fk
