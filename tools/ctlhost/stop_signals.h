#pragma once

#include <functional>

// Runs stop on the event loop when the process gets SIGTERM or SIGINT, so that a host
// asked to stop closes its window as if the user had, and ends normally.
void onStopSignal(std::function<void()> stop);
