#pragma once

namespace fk {

// Ends the program at once: the process stops, every window goes with it and no further
// handler runs. Nothing is saved or asked.
[[noreturn]] void endProgram(int status = 0);

} // namespace fk
