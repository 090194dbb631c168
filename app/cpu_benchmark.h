#pragma once

#include <QString>
#include <functional>

// The passes of the CPU benchmark, apart from the window that shows the score.
namespace corvane::cpu_benchmark {

// The four number-type option buttons of the benchmark panel. Every pass reads all four
// through the controls, whichever is selected: those reads are part of the work a pass
// measures.
struct OptionReads {
    std::function<bool()> integer;
    std::function<bool()> longInteger;
    std::function<bool()> singlePrecision;
    std::function<bool()> doublePrecision;
};

// The clock of one run. The start reading is the seconds-since-midnight clock at the
// start; every later reading is the start reading plus the time gone by since then on the
// monotonic clock. A run therefore lasts three seconds of real time and ends with a score
// even when it crosses midnight, where the seconds-since-midnight clock restarts at 0, or
// when the system clock is set during the run.
class RunClock {
public:
    // Takes the start reading.
    RunClock();

    // The start reading, widened from the clock's single precision.
    double startReading() const { return start_; }
    // The clock now, in the clock's single precision.
    float read() const;

private:
    double start_;
    double origin_;
};

// Runs passes back to back until a reading of the clock, taken after a pass's work, reaches
// the start reading plus three seconds; returns how many passes ran, at least one. Events
// are not pumped meanwhile.
double runPasses(const RunClock& clock, const OptionReads& options);

// "Benchmark score: ", the number of passes in plain digits, " marks".
QString scoreCaption(double passes);

} // namespace corvane::cpu_benchmark
