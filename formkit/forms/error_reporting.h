#pragma once

#include "core/runtime_error.h"

#include <functional>

namespace fk {

// Who is told about an error that no handler trapped. In a program the runtime started, the
// program's reporter shows a modal message box naming the error and then ends the program.
// Until then (formkit inside a Qt program of someone else's, hosting a control through a
// widget) an error is a warning with the error's text and the program goes on: a control
// must never end its host. Tests put in one that records.
using ErrorReporter = std::function<void(const RuntimeError&)>;

// Installs a reporter and returns the one it replaces; an empty one stands for the guest's
// warning.
ErrorReporter setErrorReporter(ErrorReporter reporter);

// The reporter of a program the runtime started: the message box, then the end.
void reportAndEndProgram(const RuntimeError& error);
void reportUntrapped(const RuntimeError& error);

// Runs one event handler the way the runtime does: an error it raises ends the handler and
// is reported. Every entry from the window system into program or control code goes
// through here, so no error ever unwinds through the toolkit.
void runHandler(const std::function<void()>& handler);

} // namespace fk
