// Polling timers of one interval tick together, in creation order, on one reading of the
// pointer per pass, and only when the pointer source may have something new: a report, a
// warp found by the slow reading outside the program's windows, or no reports at all. The
// source, with the clock that the polling goes by, is a fake that the tests set; the system
// timer is real.
#include "support/test_support.h"

#include "forms/event_pump.h"
#include "forms/form.h"
#include "forms/timer.h"
#include "platform/cursor.h"
#include "platform/pointer_source.h"

#include <QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

using namespace testing_support;

namespace {

class FakePointer : public fk::platform::PointerSource {
public:
    FakePointer(bool overProgramWindow, bool deviceMotion) : deviceMotion_(deviceMotion)
    {
        setOverProgramWindow(overProgramWindow);
        fk::platform::replacePointerSource(this);
    }
    ~FakePointer() override { fk::platform::replacePointerSource(nullptr); }

    QPoint read() override
    {
        ++readings;
        return at;
    }
    bool reportsDeviceMotion() const override { return deviceMotion_; }
    double seconds() const override { return clock; }

    QPoint at{10, 10};
    int readings = 0;
    double clock = 1000; // the fake clock: it moves only when a test moves it

private:
    bool deviceMotion_;
};

// Three polling timers, created a, b, c; each tick is logged as its name and the x it read.
class Pollers : public fk::Form {
public:
    Pollers() : Form({.clientWidth = 1500, .clientHeight = 1500})
    {
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

constexpr double kInterval = 0.010;

// Starts the timers in an order of their own and lets one interval pass on the clock.
void startAll(Pollers& pollers, FakePointer& pointer)
{
    pollers.c.setEnabled(true);
    pollers.a.setEnabled(true);
    pollers.b.setEnabled(true);
    pump(30);
    EXPECT_EQ(pollers.taken(), "") << "no tick before one interval";
    pointer.clock += kInterval;
}

bool onePassLogged(Pollers& pollers, const std::string& expected)
{
    const bool logged = waitUntil([&] { return !pollers.log.empty(); }, 500);
    pump(40); // and nothing more
    const std::string log = pollers.taken();
    EXPECT_EQ(log, expected);
    return logged && log == expected;
}

TEST(PollingTimers, OverTheProgramsWindowsTheyRunOnlyAfterAReport)
{
    FakePointer pointer(true, false);
    Pollers pollers;
    startAll(pollers, pointer);
    ASSERT_TRUE(onePassLogged(pollers, "a10 b10 c10 ")) << "in creation order, one reading for all";
    EXPECT_EQ(pointer.readings, 1);

    pointer.clock += 5;
    pump(120);
    EXPECT_EQ(pollers.taken(), "") << "nothing was reported: nothing to see";
    EXPECT_EQ(pointer.readings, 1) << "and nothing read, however long";

    pointer.at = {200, 10};
    pointer.report();
    EXPECT_TRUE(onePassLogged(pollers, "a200 b200 c200 "));
    EXPECT_EQ(pointer.readings, 2);

    fk::POINT p;
    fk::GetCursorPos(&p);
    EXPECT_EQ(pointer.readings, 3) << "outside a pass, a query reads afresh";
}

TEST(PollingTimers, ElsewhereASlowReadingFindsWarpsAndDeviceMotionIsReported)
{
    FakePointer pointer(false, true);
    Pollers pollers;
    startAll(pollers, pointer);
    ASSERT_TRUE(onePassLogged(pollers, "a10 b10 c10 "));

    pointer.clock += 0.1;
    ASSERT_TRUE(waitUntil([&] { return pointer.readings == 2; }, 500)) << "a reading every 100 ms";
    pump(40);
    EXPECT_EQ(pollers.taken(), "") << "that finds the pointer where it was";

    pointer.at = {70, 10}; // a warp: nothing reports it
    pump(150);
    EXPECT_EQ(pollers.taken(), "") << "not before the next slow reading is due";
    pointer.clock += 0.1;
    EXPECT_TRUE(onePassLogged(pollers, "a70 b70 c70 "));

    pointer.at = {80, 10};
    pointer.report(); // a device moved it
    EXPECT_TRUE(onePassLogged(pollers, "a80 b80 c80 ")) << "at once, without waiting for the slow reading";
}

TEST(PollingTimers, WithoutReportsEveryPassReadsOnceForAll)
{
    FakePointer pointer(false, false);
    Pollers pollers;
    startAll(pollers, pointer);
    pointer.readings = 0; // the passes before the timers were due read too
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
    FakePointer pointer(false, false);
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
    startAll(pollers, pointer);
    ASSERT_TRUE(waitUntil([&] { return bTicksInside > 0; }, 1000)) << "a nested pump runs the other handlers";
    EXPECT_EQ(deepest, 1);
}

TEST(PollingTimers, UnloadingTheWindowStopsThem)
{
    FakePointer pointer(false, false);
    Pollers pollers;
    startAll(pollers, pointer);
    ASSERT_TRUE(waitUntil([&] { return !pollers.log.empty(); }, 500));
    fk::stopTimersOf(pollers.clientWidget());
    pollers.taken();
    pump(60);
    EXPECT_EQ(pollers.taken(), "");
    EXPECT_TRUE(pollers.a.enabled()) << "stopped, as an unloaded form's timers are, not disabled";
}

} // namespace
