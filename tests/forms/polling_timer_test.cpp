// Polling timers of one interval tick together, in creation order, on one reading of the
// pointer per pass, and only when what they look at may have changed: the pointer crossed
// their window's edge, a button went down or up, or their control changed. Where the pointer
// source follows nothing, every pass asks it. The pointer source is a fake that the tests
// drive; the system timer is real.
#include "support/test_support.h"

#include "forms/cursor.h"
#include "forms/event_pump.h"
#include "forms/form.h"
#include "forms/polling_group.h"
#include "forms/timer.h"
#include "platform/pointer_source.h"

#include <QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

using namespace testing_support;
using fk::platform::PointerReading;
using fk::platform::PointerReport;

namespace {

class FakePointer : public fk::platform::PointerSource {
public:
    explicit FakePointer(bool followsPointer) : follows_(followsPointer)
    {
        fk::platform::replacePointerSource(this);
    }
    ~FakePointer() override { fk::platform::replacePointerSource(nullptr); }

    PointerReading read() override
    {
        ++readings;
        return {at, held};
    }
    bool followsPointer() const override { return follows_; }

    // A move that the source follows, told as the X11 one tells it: when it crosses a watched
    // edge, or while every move is wanted. The time is the server's, of the move's event.
    void move(QPoint to, std::uint32_t time = 0)
    {
        at = to;
        const PointerReading reading{to, held, time};
        if (const bool crossed = offer(reading); crossed || everyMove_)
            report({PointerReport::Moved, reading, crossed});
    }
    // A button over the program's windows, as the toolkit's event of it tells.
    void press(bool down, std::uint32_t time = 0)
    {
        held = down;
        const PointerReading reading{at, held, time};
        report({PointerReport::Button, reading, offer(reading)});
    }
    bool everyMoveWanted() const { return everyMove_; }

    QPoint at{10, 10};
    bool held = false;
    int readings = 0;

private:
    bool follows_;
};

// Three polling timers, created a, b, c; each tick is logged as its name and the x it read.
// Their window lies at (100, 100), 100 pixels square.
class Pollers : public fk::Form {
public:
    Pollers() : Form({.clientWidth = 1500, .clientHeight = 1500, .borderStyle = fk::BorderStyle::None})
    {
        windowWidget()->move(100, 100);
        for (fk::Timer* t : {&a, &b, &c})
            t->onTimer = [this, t] { logTick(t == &a ? 'a' : t == &b ? 'b' : 'c'); };
    }
    void logTick(char name)
    {
        fk::POINT p;
        fk::GetCursorPos(&p);
        log += name + std::to_string(p.x) + ' ';
    }
    // What was logged since the last call.
    std::string taken() { return std::exchange(log, {}); }

    fk::Timer a{*this, {.interval = 10, .enabled = false, .pollsInput = true}};
    fk::Timer b{*this, {.interval = 10, .enabled = false, .pollsInput = true}};
    fk::Timer c{*this, {.interval = 10, .enabled = false, .pollsInput = true}};
    std::string log;
};

const QPoint kInside{150, 150}, kOutside{20, 20};

// Starts the timers in an order of their own; the first tick comes an interval later.
void startAll(Pollers& pollers)
{
    QElapsedTimer started;
    started.start();
    pollers.c.setEnabled(true);
    pollers.a.setEnabled(true);
    pollers.b.setEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return !pollers.log.empty(); }, 1000));
    EXPECT_GE(started.elapsed(), 9) << "no tick before one interval";
}

bool onePassLogged(Pollers& pollers, const std::string& expected)
{
    const bool logged = waitUntil([&] { return !pollers.log.empty(); }, 500);
    pump(40); // and nothing more
    const std::string log = pollers.taken();
    EXPECT_EQ(log, expected);
    return logged && log == expected;
}

bool nothingLogged(Pollers& pollers)
{
    pump(120);
    return pollers.taken().empty();
}

TEST(PollingTimers, WhereTheSourceTellsEverythingTheyRunOnlyWhenTheirLookMayChange)
{
    FakePointer pointer(true);
    Pollers pollers;
    startAll(pollers);
    EXPECT_TRUE(onePassLogged(pollers, "a10 b10 c10 ")) << "in creation order, one reading for all";
    EXPECT_EQ(pointer.readings, 1);

    EXPECT_TRUE(nothingLogged(pollers)) << "nothing changed: nothing to see, however long";
    pointer.move({30, 10});
    pointer.move({50, 60});
    EXPECT_TRUE(nothingLogged(pollers)) << "moves outside the window cross no edge";

    pointer.move(kInside);
    EXPECT_TRUE(onePassLogged(pollers, "a150 b150 c150 ")) << "into the window";
    pointer.move(kInside + QPoint(20, 5));
    EXPECT_TRUE(nothingLogged(pollers)) << "about inside it";
    pointer.move({100, 150});
    EXPECT_TRUE(onePassLogged(pollers, "a100 b100 c100 ")) << "onto its left edge";
    pointer.press(true);
    EXPECT_TRUE(onePassLogged(pollers, "a100 b100 c100 ")) << "a button went down";

    fk::PollingGroup::touch(pollers.clientWidget());
    EXPECT_TRUE(onePassLogged(pollers, "a100 b100 c100 ")) << "their control changed, with no input at all";
    EXPECT_EQ(pointer.readings, 1) << "the source told of every move: no pass asked it";

    fk::POINT p;
    fk::GetCursorPos(&p);
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(100, 150));
    EXPECT_EQ(pointer.readings, 1) << "outside a pass too, the source's newest reading is where the pointer is";
}

// The toolkit and the source hear of the server's events on connections of their own: the
// toolkit may tell of a button after the source told of a later move away.
TEST(PollingTimers, AReadingOfAnEventOlderThanTheNewestIsStale)
{
    FakePointer pointer(true);
    Pollers pollers;
    startAll(pollers);
    EXPECT_TRUE(onePassLogged(pollers, "a10 b10 c10 "));
    pointer.move(kInside, 100);
    EXPECT_TRUE(onePassLogged(pollers, "a150 b150 c150 "));
    pointer.move(kOutside, 300);
    EXPECT_TRUE(onePassLogged(pollers, "a20 b20 c20 "));
    pointer.at = kInside;
    pointer.press(false, 200);
    EXPECT_TRUE(onePassLogged(pollers, "a20 b20 c20 ")) << "the button's pass reads the later place";
    pointer.press(true, 400);
    EXPECT_TRUE(onePassLogged(pollers, "a150 b150 c150 ")) << "a newer event's reading stands";
}

TEST(PollingTimers, AWindowThatMovesUnderTheRestingPointerIsACrossing)
{
    FakePointer pointer(true);
    Pollers pollers;
    startAll(pollers);
    EXPECT_TRUE(onePassLogged(pollers, "a10 b10 c10 "));
    pollers.windowWidget()->move(0, 0);
    pointer.report({PointerReport::Windows});
    EXPECT_TRUE(onePassLogged(pollers, "a10 b10 c10 ")) << "the window came under the pointer";
    pollers.windowWidget()->move(5, 0);
    pointer.report({PointerReport::Windows});
    EXPECT_TRUE(nothingLogged(pollers)) << "and stays under it";
}

TEST(PollingTimers, WhereTheSourceTellsNothingEveryPassReadsOnceForAll)
{
    FakePointer pointer(false);
    Pollers pollers;
    startAll(pollers);
    pollers.taken();
    pointer.readings = 0;
    ASSERT_TRUE(waitUntil([&] { return pollers.log.size() > 30; }, 1000));
    pollers.b.setEnabled(false);
    const std::string whileThree = pollers.taken();
    const int passes = static_cast<int>(std::count(whileThree.begin(), whileThree.end(), 'a'));
    std::string expected;
    for (int i = 0; i < passes; ++i)
        expected += "a10 b10 c10 ";
    EXPECT_EQ(whileThree, expected);
    EXPECT_EQ(pointer.readings, passes);

    pump(50);
    EXPECT_NE(pollers.taken().find("a10 c10 a10 c10 "), std::string::npos) << "a disabled timer leaves the pass";
}

TEST(PollingTimers, AHandlerThatPumpsIsNotReenteredAndTheOthersGoOn)
{
    FakePointer pointer(false);
    Pollers pollers;
    int depth = 0, deepest = 0, bTicksInside = 0;
    pollers.a.onTimer = [&] {
        deepest = std::max(deepest, ++depth);
        pollers.taken();
        for (int i = 0; i < 6; ++i) {
            QTest::qSleep(6);
            fk::doEvents();
        }
        bTicksInside = static_cast<int>(std::count(pollers.log.begin(), pollers.log.end(), 'b'));
        --depth;
    };
    startAll(pollers);
    ASSERT_TRUE(waitUntil([&] { return bTicksInside > 0; }, 1000)) << "a nested pump runs the other handlers";
    EXPECT_EQ(deepest, 1);
}

TEST(PollingTimers, UnloadingTheWindowStopsThem)
{
    FakePointer pointer(false);
    Pollers pollers;
    startAll(pollers);
    fk::stopTimersOf(pollers.clientWidget());
    pollers.taken();
    pump(60);
    EXPECT_EQ(pollers.taken(), "");
    EXPECT_TRUE(pollers.a.enabled()) << "stopped, as an unloaded form's timers are, not disabled";
}

TEST(PollingTimers, AWaitForThePointerEndsOnItsMoveAndItsReadingStandsForThePass)
{
    FakePointer pointer(false);
    QTimer::singleShot(20, [&] {
        pointer.held = true;
        pointer.move({300, 200});
    });
    QElapsedTimer waited;
    waited.start();
    fk::waitForPointer(5000);
    EXPECT_LT(waited.elapsed(), 4000) << "the move ended the wait";
    fk::POINT p;
    fk::GetCursorPos(&p);
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(300, 200));
    EXPECT_TRUE(fk::mouseButtonsHeld());
    EXPECT_EQ(pointer.readings, 0) << "the move's own reading, not a question";

    // Ended by the deadline, the wait asks once, for both the place and the buttons.
    pointer.at = {310, 210};
    pointer.held = false;
    fk::waitForPointer(10);
    fk::GetCursorPos(&p);
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(310, 210));
    EXPECT_FALSE(fk::mouseButtonsHeld());
    EXPECT_EQ(pointer.readings, 1);
    fk::doEvents();
    fk::GetCursorPos(&p);
    EXPECT_EQ(pointer.readings, 2) << "once events were processed, a query reads afresh";
}

TEST(PollingTimers, AWaitHearsEveryMoveUntilEventsAreProcessedWithoutIt)
{
    FakePointer pointer(true);
    pointer.move({290, 200});
    QTimer::singleShot(20, [&] { pointer.move({300, 200}); });
    QElapsedTimer waited;
    waited.start();
    fk::waitForPointer(5000);
    EXPECT_LT(waited.elapsed(), 4000) << "a move that crosses nothing ends the wait too";
    fk::POINT p;
    fk::GetCursorPos(&p);
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(300, 200));
    fk::waitForPointer(10);
    EXPECT_TRUE(pointer.everyMoveWanted()) << "from one wait to the next, as a drag waits";
    fk::doEvents();
    EXPECT_FALSE(pointer.everyMoveWanted()) << "events processed with no wait: crossings only again";
}

} // namespace
