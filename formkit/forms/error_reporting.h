#pragma once

#include "core/runtime_error.h"

#include <functional>

namespace fk {

// Who is told about an error that no handler trapped. The standard reporter shows a modal
// message box naming the error and then ends the program; tests put in one that records.
using ErrorReporter = std::function<void(const RuntimeError&)>;

// Installs a reporter and returns the one it replaces.
ErrorReporter setErrorReporter(ErrorReporter reporter);
void reportUntrapped(const RuntimeError& error);

// Runs one event handler the way the runtime does: an error it raises ends the handler and
// is reported. Every entry from the window system into program or control code goes
// through here, so no error ever unwinds through the toolkit.
void runHandler(const std::function<void()>& handler);

} // namespace fk
