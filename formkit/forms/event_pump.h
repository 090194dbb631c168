#pragma once

namespace fk {

// Processes the window events that are pending, timers included, and returns. Handlers may
// call it from inside other handlers; the handlers it runs may call it again.
void doEvents();

} // namespace fk
