// The CPU benchmark: a run counts passes until three seconds have gone by on the run's
// clock and shows the count as the score. The clock is placed and moved by the tests.
#include "main_window_driver.h"

#include "cpu_benchmark.h"
#include "forms/clock.h"

#include <QBackingStore>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace main_window;
using corvane::frmMain;

namespace {

const QString kNotRun = QStringLiteral("Benchmark score: Benchmark not run.");
const QString kBenchmarking = QStringLiteral("Benchmarking...");

// FakeClock runs its onRead only for readings of the seconds-since-midnight clock. A run
// reads that clock once, at its start, and then measures on the monotonic clock; this puts
// a hook in front of the monotonic readings of the installed source and puts the source
// back when it goes.
class MonotonicHook {
public:
    MonotonicHook()
    {
        inner_ = fk::clock::setSource({});
        fk::clock::setSource({inner_.secondsSinceMidnight, [this] {
                                  ++reads_;
                                  if (onRead)
                                      onRead();
                                  return inner_.monotonicSeconds();
                              }});
    }
    ~MonotonicHook() { fk::clock::setSource(inner_); }
    MonotonicHook(const MonotonicHook&) = delete;
    MonotonicHook& operator=(const MonotonicHook&) = delete;

    std::function<void()> onRead;
    int reads() const { return reads_; }

private:
    fk::clock::Source inner_;
    int reads_ = 0;
};

// A run reads the time of day once. One that keeps reading it would never end on a clock
// that only moves when told to; it is stopped with an error instead.
void stopRunsThatKeepReadingTheTimeOfDay(FakeClock& clock, std::function<void()> alsoOnRead = {})
{
    clock.onRead = [&clock, alsoOnRead] {
        if (clock.reads() > 100)
            throw fk::RuntimeError(0, QStringLiteral("the run keeps reading the time of day"));
        if (alsoOnRead)
            alsoOnRead();
    };
}

class CpuBenchmark : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The benchmark button is on the CPU benchmark panel, which has to be in front.
        click(main.btnCPUBenchmark);
        ASSERT_EQ(panelAt(main, kPanelArea.center()), 2);
    }

    QString result() const { return main.lblCPUbenchresult.caption(); }
    void run() { click(main.btnCPUbeginbenchmark); }

    void TearDown() override { EXPECT_TRUE(errors.empty()) << errors.errors().front().what(); }

    // Moves the clock on by the next step at every reading taken during the passes (the
    // readings taken while the label says "Benchmarking..."). A run that goes on past the
    // last step is stopped with an error, so that a run that would never end fails.
    void stepDuringPasses(MonotonicHook& hook, std::deque<double> steps, FakeClock& clock)
    {
        stopRunsThatKeepReadingTheTimeOfDay(clock);
        hook.onRead = [this, &clock, steps]() mutable {
            if (result() != kBenchmarking)
                return;
            if (steps.empty())
                throw fk::RuntimeError(0, QStringLiteral("the run went on past the readings the test gave it"));
            clock.advance(steps.front());
            steps.pop_front();
        };
    }

    QRect scoreLine() const
    {
        return {main.lblCPUbenchresult.widget()->mapTo(main.clientWidget()->window(), QPoint(0, 0)),
                main.lblCPUbenchresult.widget()->size()};
    }

    // What the window shows on screen at the score line, as it was last painted.
    QImage scoreLineOnScreen() const
    {
        auto* screen = dynamic_cast<QImage*>(main.clientWidget()->window()->backingStore()->paintDevice());
        return screen ? screen->copy(scoreLine()).convertToFormat(QImage::Format_RGB32) : QImage();
    }

    // The score line as the window would paint it now.
    QImage scoreLineAsDrawnNow() const
    {
        return main.clientWidget()->window()->grab(scoreLine()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();
};

TEST_F(CpuBenchmark, ResultLineReadsNotRunThenBenchmarkingThenTheScore)
{
    EXPECT_EQ(result(), kNotRun);
    const QImage notRunOnScreen = scoreLineOnScreen();
    ASSERT_FALSE(notRunOnScreen.isNull());

    FakeClock clock(10 * 3600.0);
    QString atStartReading;
    stopRunsThatKeepReadingTheTimeOfDay(clock, [&] {
        if (atStartReading.isNull())
            atStartReading = result();
    });
    MonotonicHook hook;
    QStringList seenByReadings;
    QImage onScreenDuringPasses, benchmarkingLooks;
    hook.onRead = [&] {
        seenByReadings.push_back(result());
        if (result() != kBenchmarking)
            return;
        if (onScreenDuringPasses.isNull()) {
            onScreenDuringPasses = scoreLineOnScreen();
            benchmarkingLooks = scoreLineAsDrawnNow();
        }
        clock.advance(1.0);
    };
    run();

    // The start reading is taken before the caption changes; from the first pass on, the
    // label says "Benchmarking...".
    EXPECT_EQ(atStartReading, kNotRun);
    EXPECT_EQ(seenByReadings.count(kBenchmarking), 3);
    const auto firstPass = seenByReadings.indexOf(kBenchmarking);
    ASSERT_GE(firstPass, 0);
    EXPECT_EQ(seenByReadings.mid(firstPass), QStringList(3, kBenchmarking));
    // The one pump before the passes has put "Benchmarking..." on the screen.
    EXPECT_FALSE(onScreenDuringPasses.isNull());
    EXPECT_EQ(onScreenDuringPasses, benchmarkingLooks);
    EXPECT_NE(onScreenDuringPasses, notRunOnScreen);

    // One second per reading: readings at 1, 2 and 3 seconds, the third one ends the run.
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 3 marks"));
}

TEST_F(CpuBenchmark, ARunThatIsAlreadyPastItsEndStillCountsOnePass)
{
    FakeClock clock(12 * 3600.0);
    // The pump before the passes takes ten seconds: the first pass's reading is already far
    // past the end.
    bool slowPumpPosted = false;
    stopRunsThatKeepReadingTheTimeOfDay(clock, [&] {
        if (slowPumpPosted)
            return;
        slowPumpPosted = true;
        QTimer::singleShot(0, [&clock] { clock.advance(10.0); });
    });
    MonotonicHook hook;
    run();
    EXPECT_TRUE(slowPumpPosted);
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 1 marks"));
}

TEST_F(CpuBenchmark, AReadingEqualToTheEndValueEndsTheRun)
{
    FakeClock clock(20000.0);
    MonotonicHook hook;
    stepDuringPasses(hook, {1.5, 1.5, 1.5}, clock);
    run();
    // Readings 20001.5 and 20003.0; the second equals the end value.
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 2 marks"));
}

TEST_F(CpuBenchmark, EndValueIsComparedInSinglePrecision)
{
    // 65533.00390625 is a single-precision value; plus 3 it is not one. It lies halfway
    // between 65536 and 65536.0078125 and narrows to 65536.
    static_assert(static_cast<float>(65533.00390625 + 3.0) == 65536.0f);
    FakeClock clock(65533.00390625);
    ASSERT_EQ(fk::clock::Timer(), 65533.00390625f);
    MonotonicHook hook;
    stepDuringPasses(hook, {1.0, 1.99609375, 1.0}, clock);
    run();
    // The second reading is exactly 65536: short of the end in double precision, at the end
    // in single.
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 2 marks"));
}

TEST_F(CpuBenchmark, ARunStartedOneSecondBeforeMidnightEndsAfterThreeSeconds)
{
    FakeClock clock(86399.0);
    MonotonicHook hook;
    stepDuringPasses(hook, std::deque<double>(20, 0.5), clock);
    run();
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 6 marks"));
    // The seconds-since-midnight clock restarted during the run.
    EXPECT_LT(fk::clock::Timer(), 3.0f);
}

TEST_F(CpuBenchmark, EveryRunStartsFromZeroWhicheverNumberTypeIsChosen)
{
    FakeClock clock(30000.0);
    MonotonicHook hook;
    stepDuringPasses(hook, std::deque<double>(4, 1.0), clock);
    run();
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 3 marks"));

    click(main.opnCPUbenchdouble);
    ASSERT_TRUE(main.opnCPUbenchdouble.value());
    stepDuringPasses(hook, std::deque<double>(4, 1.0), clock);
    run();
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 3 marks")) << "the counter does not carry over";

    click(main.opnCPUbenchlongint);
    stepDuringPasses(hook, std::deque<double>(13, 0.25), clock);
    run();
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 12 marks"));
}

TEST_F(CpuBenchmark, NothingElseRunsWhileThePassesHoldTheThread)
{
    FakeClock clock(40000.0);
    stopRunsThatKeepReadingTheTimeOfDay(clock);
    MonotonicHook hook;
    bool posted = false, ranDuringPasses = false, ranAfterwards = false;
    hook.onRead = [&] {
        if (result() != kBenchmarking)
            return;
        if (!posted) {
            posted = true;
            QTimer::singleShot(0, [&] {
                if (result() == kBenchmarking)
                    ranDuringPasses = true;
                else
                    ranAfterwards = true;
            });
        }
        clock.advance(0.5);
    };
    run();
    EXPECT_EQ(result(), QStringLiteral("Benchmark score: 6 marks"));
    EXPECT_TRUE(posted);
    EXPECT_FALSE(ranDuringPasses) << "events were pumped during the passes";
    EXPECT_TRUE(waitUntil([&] { return ranAfterwards; }));
}

TEST_F(CpuBenchmark, ThreeSecondsOfRealTimeGiveAScore)
{
    QElapsedTimer elapsed;
    elapsed.start();
    run();
    const qint64 ms = elapsed.elapsed();
    EXPECT_GE(ms, 2990);
    EXPECT_LT(ms, 3600);
    const QString text = result();
    static const QRegularExpression scoreFormat(QStringLiteral("^Benchmark score: ([1-9][0-9]*) marks$"));
    const QRegularExpressionMatch match = scoreFormat.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();
    EXPECT_GT(match.captured(1).toDouble(), 1000.0) << "a pass is a handful of control reads";
    std::printf("measured: %s\n", qPrintable(text));
}

// The work of a pass, in order: the four option reads, then the clock.
TEST(CpuBenchmarkPasses, EveryPassReadsAllFourOptionsBeforeTheClock)
{
    FakeClock clock(50000.0);
    stopRunsThatKeepReadingTheTimeOfDay(clock);
    MonotonicHook hook;
    QString order;
    const corvane::cpu_benchmark::RunClock runClock;
    hook.onRead = [&] {
        order += QLatin1Char('C');
        clock.advance(1.0);
    };
    const double passes = corvane::cpu_benchmark::runPasses(runClock, {
        .integer = [&] { order += QLatin1Char('I'); return true; },
        .longInteger = [&] { order += QLatin1Char('L'); return false; },
        .singlePrecision = [&] { order += QLatin1Char('S'); return false; },
        .doublePrecision = [&] { order += QLatin1Char('D'); return false; },
    });
    EXPECT_EQ(passes, 3.0);
    EXPECT_EQ(order, QStringLiteral("ILSDCILSDCILSDC"));
}

TEST(CpuBenchmarkPasses, ScoreIsWrittenInPlainDigits)
{
    EXPECT_EQ(corvane::cpu_benchmark::scoreCaption(1), QStringLiteral("Benchmark score: 1 marks"));
    EXPECT_EQ(corvane::cpu_benchmark::scoreCaption(12345678), QStringLiteral("Benchmark score: 12345678 marks"));
    EXPECT_EQ(corvane::cpu_benchmark::scoreCaption(4294967296.0),
              QStringLiteral("Benchmark score: 4294967296 marks"));
}

} // namespace
