#pragma once

#include <QMargins>

class QWidget;

namespace fk::platform {

// Keeps a top-level window out of the taskbar. The toolkit has no such setting, so on X11
// the window is given the _NET_WM_STATE_SKIP_TASKBAR state before it is mapped, which is
// when window managers read it.
void keepOutOfTaskbar(QWidget* window);

// The frame that the window manager puts around the window, asked for before the window is
// shown (with the desktop's request for frame extents); none without a window manager.
QMargins frameOf(QWidget* window);

} // namespace fk::platform
