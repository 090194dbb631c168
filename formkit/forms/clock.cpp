#include "forms/clock.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace fk::clock {

namespace {

Source systemSource()
{
    return {
        [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; },
        [] {
            static QElapsedTimer since = [] { QElapsedTimer t; t.start(); return t; }();
            return static_cast<double>(since.nsecsElapsed()) / 1e9;
        },
    };
}

Source& current()
{
    static Source source = systemSource();
    return source;
}

} // namespace

float Timer() { return static_cast<float>(current().secondsSinceMidnight()); }

double monotonicSeconds() { return current().monotonicSeconds(); }

Source setSource(Source source)
{
    Source previous = std::move(current());
    current() = (source.secondsSinceMidnight && source.monotonicSeconds) ? std::move(source) : systemSource();
    return previous;
}

} // namespace fk::clock
