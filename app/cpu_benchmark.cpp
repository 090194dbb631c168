#include "cpu_benchmark.h"

#include "forms/clock.h"

#include <cstdint>

namespace corvane::cpu_benchmark {

RunClock::RunClock()
    : start_(static_cast<double>(fk::clock::Timer())), origin_(fk::clock::monotonicSeconds())
{
}

float RunClock::read() const { return static_cast<float>(start_ + (fk::clock::monotonicSeconds() - origin_)); }

double runPasses(const RunClock& clock, const OptionReads& options)
{
    // Nothing reads these; they are volatile so that the assignment stays part of every
    // pass, as the score assumes.
    [[maybe_unused]] volatile std::int16_t integerScratch = 0;
    [[maybe_unused]] volatile std::int32_t longScratch = 0;
    [[maybe_unused]] volatile float singleScratch = 0;
    [[maybe_unused]] volatile double doubleScratch = 0;

    double passes = 0;
    for (;;) {
        if (options.integer())
            integerScratch = 32767;
        if (options.longInteger())
            longScratch = 65536;
        if (options.singlePrecision())
            singleScratch = 65536.83f;
        if (options.doublePrecision())
            doubleScratch = 439803296.0;
        passes += 1;
        // The end test comes after the work, so every run has at least one pass. Both
        // sides are compared in single precision: the end value is narrowed to the
        // nearest single-precision value first.
        const float reading = clock.read();
        const auto endValue = static_cast<float>(clock.startReading() + 3.0);
        if (reading >= endValue)
            break;
    }
    return passes;
}

QString scoreCaption(double passes)
{
    return QStringLiteral("Benchmark score: ") + QString::number(passes, 'f', 0) + QStringLiteral(" marks");
}

} // namespace corvane::cpu_benchmark
