#pragma once

class QWidget;

namespace fk::platform {

// Keeps a top-level window out of the taskbar. The toolkit has no such setting, so on X11
// the window is given the _NET_WM_STATE_SKIP_TASKBAR state before it is mapped, which is
// when window managers read it.
void keepOutOfTaskbar(QWidget* window);

// Whether any mouse button is held down now, as the display server sees it; a release that
// never reached the program does not count as held.
bool mouseButtonsHeld();

} // namespace fk::platform
