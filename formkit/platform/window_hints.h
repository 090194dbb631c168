#pragma once

#include <QMargins>
#include <QPoint>

class QWidget;

namespace fk::platform {

// Keeps a top-level window out of the taskbar. The toolkit has no such setting, so on X11
// the window is given the _NET_WM_STATE_SKIP_TASKBAR state before it is mapped, which is
// when window managers read it.
void keepOutOfTaskbar(QWidget* window);

// The frame that the window manager puts around the window, asked for before the window is
// shown (with the desktop's request for frame extents); none without a window manager.
QMargins frameOf(QWidget* window);

// Asks the window manager to move a shown window and nothing else, as a window manager's own
// move does: the toolkit's move also sets the window's size hints each time, which the manager
// then reads anew. False where the window is not shown on X11, for the toolkit to move it.
bool moveShownWindow(QWidget* window, QPoint topLeft);

// Which of the server's events the toolkit is sent for one of its windows. Never the
// pointer's motion: nothing in a form uses it, and the pointer source follows the pointer on
// connections of its own. The window's moves and other changes of its structure, unless it
// follows the pointer: moved then once a move of the pointer, the toolkit would wake for the
// notice of each one and ask the server for the window's frame after it. Told of them again,
// the toolkit is told once where the window is. Done at every show, before the window maps.
void selectToolkitEvents(QWidget* window, bool moves);

} // namespace fk::platform
