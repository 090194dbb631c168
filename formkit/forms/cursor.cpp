#include "forms/cursor.h"

#include "forms/form_window.h"
#include "forms/polling_group.h"

#include <QWidget>

namespace fk {

int GetCursorPos(POINT* point)
{
    if (!point)
        return 0;
    const QPoint p = PollingGroup::reading().position;
    point->x = p.x();
    point->y = p.y();
    return 1;
}

// Formkit knows where its windows are, from the toolkit and from where it sent them, so this
// asks the server nothing.
int GetWindowRect(HWND window, RECT* rect)
{
    if (!window || !rect)
        return 0;
    const QPoint topLeft = screenPositionOf(window);
    rect->left = topLeft.x();
    rect->top = topLeft.y();
    rect->right = topLeft.x() + window->width();
    rect->bottom = topLeft.y() + window->height();
    return 1;
}

bool mouseButtonsHeld() { return PollingGroup::reading().buttonsHeld; }

} // namespace fk
