#pragma once

#include <functional>

namespace fk::clock {

// Where the clock's readings come from. Tests place the clock anywhere in the day and make
// time pass as they like.
struct Source {
    // Seconds since local midnight, with a fraction; restarts at 0 at midnight.
    std::function<double()> secondsSinceMidnight;
    // Seconds on a clock that only ever runs forward, from an arbitrary origin.
    std::function<double()> monotonicSeconds;
};

// The seconds-since-midnight clock, in single precision.
float Timer();

// Seconds on the monotonic clock, for measuring how long something took.
double monotonicSeconds();

// Installs a source and returns the one it replaces; an empty source restores the system's.
Source setSource(Source source);

} // namespace fk::clock
