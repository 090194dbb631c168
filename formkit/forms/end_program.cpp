#include "forms/end_program.h"

#include <cstdio>
#include <cstdlib>

namespace fk {

void endProgram(int status)
{
    // No destructors, no atexit handlers, no more events: the program's own code must not
    // run again once it has asked to end.
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace fk
