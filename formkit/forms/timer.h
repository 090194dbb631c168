#pragma once

#include "forms/polling_group.h"

#include <QPointer>
#include <QTimer>
#include <functional>

namespace fk {

class Container;

struct TimerProps {
    int interval = 0; // milliseconds; 0 never fires
    bool enabled = true;
    // The handler only looks at where the pointer is against its container's window, at the
    // mouse buttons and at its own control: such timers tick only when what they look at may
    // have changed (see PollingGroup).
    bool pollsInput = false;
};

// A timer control. It has no place on screen; it belongs to its container's window and
// stops when that window's form is unloaded. A tick never starts while the previous tick's
// handler is still running, even when that handler pumps events.
class Timer : private PollingGroup::Member {
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
    void tick() override;
    const QWidget* window() const override { return window_; }
    void restart();
    void stop();

    QPointer<QWidget> window_;
    // Its own system timer; a polling timer has none, its group's runs it.
    QPointer<QTimer> system_;
    const quint64 created_;
    int interval_;
    bool enabled_;
    bool pollsInput_;
    bool ticking_ = false;
};

// Stops every timer that belongs to the window: what unloading a form does.
void stopTimersOf(QWidget* window);

} // namespace fk
