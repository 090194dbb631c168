#include "forms/mouse.h"

#include <QWidget>

namespace fk {

short mouseButtonOf(const QMouseEvent* event)
{
    switch (event->button()) {
    case Qt::LeftButton: return LeftButton;
    case Qt::RightButton: return RightButton;
    case Qt::MiddleButton: return MiddleButton;
    default: return 0;
    }
}

short shiftStateOf(const QMouseEvent* event)
{
    short shift = 0;
    if (event->modifiers() & Qt::ShiftModifier)
        shift |= ShiftMask;
    if (event->modifiers() & Qt::ControlModifier)
        shift |= CtrlMask;
    if (event->modifiers() & Qt::AltModifier)
        shift |= AltMask;
    return shift;
}

bool ClickTracker::released(const QMouseEvent* event, const QWidget* widget)
{
    const bool click = armed_ && event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        armed_ = false;
    return click;
}

} // namespace fk
