#pragma once

namespace fk {

// Processes the window events that are pending, timers included, and returns. Handlers may
// call it from inside other handlers; the handlers it runs may call it again.
void doEvents();

// Sleeps until the next window event arrives or the given time has passed, whichever comes
// first. A loop that follows the pointer calls it between its passes instead of spinning:
// while a button is held the window system reports every pointer move to the window that
// holds the press, so the loop still sees each move as it happens. Whatever ended the wait
// has been handled when it returns.
void waitForEvents(int milliseconds);

} // namespace fk
