#include "forms/cursor.h"

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

// The toolkit keeps every window's place on the screen from the server's configure events,
// so this asks the server nothing.
int GetWindowRect(HWND window, RECT* rect)
{
    if (!window || !rect)
        return 0;
    const QPoint topLeft = window->mapToGlobal(QPoint(0, 0));
    rect->left = topLeft.x();
    rect->top = topLeft.y();
    rect->right = topLeft.x() + window->width();
    rect->bottom = topLeft.y() + window->height();
    return 1;
}

bool mouseButtonsHeld() { return PollingGroup::reading().buttonsHeld; }

} // namespace fk
