#pragma once

namespace fk {

// Processes the window events that are pending, timers included, and returns. Handlers may
// call it from inside other handlers; the handlers it runs may call it again.
void doEvents();

// The pump of a loop that follows the pointer: processes events as they come until the
// pointer moves or a button goes down or up, or the given time has passed; anything else
// (a window's new place, the polling) is handled without ending the wait. Until events are
// next processed, cursor queries get the reading that ended it, or one taken as it ended.
void waitForPointer(int milliseconds);

} // namespace fk
