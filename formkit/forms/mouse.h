#pragma once

#include <QMouseEvent>
#include <functional>

namespace fk {

// The mouse buttons and shift keys as handlers receive them.
enum MouseButton : short { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum ShiftState : short { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

// button, shift, x, y; the position is in the control's scale unit.
using MouseHandler = std::function<void(short button, short shift, float x, float y)>;

short mouseButtonOf(const QMouseEvent* event);
short shiftStateOf(const QMouseEvent* event);

// Tracks one press-and-release on a widget so that a click is reported only when a left
// button went down and came up again over the same widget.
class ClickTracker {
public:
    void pressed(const QMouseEvent* event) { armed_ = event->button() == Qt::LeftButton; }
    bool released(const QMouseEvent* event, const QWidget* widget);

private:
    bool armed_ = false;
};

} // namespace fk
