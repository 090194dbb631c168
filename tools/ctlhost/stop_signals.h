#pragma once

#include <functional>

// SIGTERM and SIGINT ask a host to stop: it closes its window as if the user had, and ends
// normally. They are caught from the first moment of the process, so that a stop asked for
// while the host starts (before its window is up, or while its --calls run) is kept until
// the event loop can act on it, instead of ending the process by the signal.

// Catches SIGTERM and SIGINT from now on; each one is noted and waits for onStopSignal.
void catchStopSignals();

// Gives both signals their default action back, for a command that is no host: a signal
// that came while they were caught then ends the process, as it would have at once.
void releaseStopSignals();

// Runs stop on the event loop once, for the first signal caught, also one that came before
// this call; the signals after it are read and change nothing.
void onStopSignal(std::function<void()> stop);
