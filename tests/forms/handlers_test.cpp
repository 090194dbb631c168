// Handlers as the runtime runs them: errors are reported, timers never re-enter their
// running handler, the event pump nests, and the end of the program is immediate.
#include "support/test_support.h"

#include "forms/end_program.h"
#include "forms/event_pump.h"
#include "forms/form.h"
#include "forms/timer.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class TimerForm : public fk::Form {
public:
    TimerForm() : Form({.clientWidth = 1500, .clientHeight = 1500}) {}
    fk::Timer timer{*this, {.interval = 5, .enabled = false}};
};

TEST(Handlers, AnUntrappedErrorEndsTheHandlerAndIsReported)
{
    RecordedErrors errors;
    bool afterError = false;
    fk::runHandler([&] {
        throw fk::RuntimeError::overflow();
        afterError = true;
    });
    EXPECT_FALSE(afterError);
    ASSERT_EQ(errors.errors().size(), 1u);
    EXPECT_EQ(errors.errors()[0].number(), 6);
    EXPECT_EQ(errors.errors()[0].description(), QStringLiteral("Overflow"));
}

TEST(Handlers, ATimerDoesNotReenterItsRunningHandlerEvenWhenItPumps)
{
    TimerForm form;
    int depth = 0, maxDepth = 0, ticks = 0;
    form.timer.onTimer = [&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        for (int i = 0; i < 5; ++i) {
            QTest::qSleep(6);
            fk::doEvents();
        }
        --depth;
    };
    form.timer.setEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(maxDepth, 1);
}

TEST(Handlers, OtherTimersKeepTickingInsideAPump)
{
    TimerForm form;
    fk::Timer other{form, {.interval = 5, .enabled = true}};
    int otherTicks = 0;
    other.onTimer = [&] { ++otherTicks; };
    bool sawNestedTick = false;
    form.timer.onTimer = [&] {
        form.timer.setEnabled(false);
        const int before = otherTicks;
        for (int i = 0; i < 20 && otherTicks == before; ++i) {
            QTest::qSleep(5);
            fk::doEvents();
        }
        sawNestedTick = otherTicks > before;
    };
    form.timer.setEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return sawNestedTick; }, 1000));
}

TEST(Handlers, ADisabledTimerNeverFires)
{
    TimerForm form;
    int ticks = 0;
    form.timer.onTimer = [&] { ++ticks; };
    pump(40);
    EXPECT_EQ(ticks, 0);
    EXPECT_THROW(form.timer.setInterval(-1), fk::RuntimeError);
}

TEST(HandlersDeathTest, TheEndOfTheProgramRunsNoFurtherCode)
{
    EXPECT_EXIT(
        {
            QTimer::singleShot(0, [] { std::fputs("a later handler ran\n", stderr); });
            fk::endProgram();
        },
        ::testing::ExitedWithCode(0), "^$");
}

} // namespace
