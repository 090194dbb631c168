// Timers that poll the pointer sleep while the display server would report any change to
// the program and nothing at all happens, and the next event wakes them. The server's
// crossing events are played to the runtime as the X11 platform would hand them over.
#include "support/test_support.h"

#include "forms/form.h"
#include "forms/timer.h"
#include "platform/cursor.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <utility>
#include <xcb/xcb.h>

using namespace testing_support;

namespace {

constexpr xcb_window_t kRootWindow = 0x50d; // the toolkit hears of crossings there too
constexpr std::uint8_t kNormal = 0, kGrab = 1, kUngrab = 2;
constexpr std::uint8_t kNonlinear = 3, kInferior = 2;

void deliverFromServer(const void* event)
{
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", const_cast<void*>(event), &result);
}

void crossing(std::uint8_t type, xcb_window_t window, std::uint8_t mode, std::uint8_t detail = kNonlinear)
{
    xcb_enter_notify_event_t event{};
    event.response_type = type;
    event.event = window;
    event.mode = mode;
    event.detail = detail;
    deliverFromServer(&event);
}

void enter(xcb_window_t window, std::uint8_t mode = kNormal) { crossing(XCB_ENTER_NOTIFY, window, mode); }
void leave(xcb_window_t window, std::uint8_t mode = kNormal, std::uint8_t detail = kNonlinear)
{
    crossing(XCB_LEAVE_NOTIFY, window, mode, detail);
}

void unmapped(xcb_window_t window)
{
    xcb_unmap_notify_event_t event{};
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = window;
    event.window = window;
    deliverFromServer(&event);
}

// Something the program has to handle, as any event is.
void somethingHappens()
{
    static QObject receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
}

class Poller : public fk::Form {
public:
    explicit Poller(bool pollsInput)
        : Form({.clientWidth = 1500, .clientHeight = 1500}), timer(*this, {.interval = 5, .pollsInput = pollsInput})
    {
        timer.onTimer = [this] { ++ticks; };
    }
    fk::Timer timer;
    int ticks = 0;
    xcb_window_t window() const { return static_cast<xcb_window_t>(clientWidget()->winId()); }

    // Whether the timer ticks over a stretch of time in which nothing else happens.
    bool ticksWhileQuiet()
    {
        pump(60); // ticks that see what happened before
        const int before = ticks;
        pump(120);
        return ticks > before;
    }
};

class Quiet : public fk::Form {
public:
    Quiet() : Form({.clientWidth = 1500, .clientHeight = 1500}) {}
    xcb_window_t window() const { return static_cast<xcb_window_t>(clientWidget()->winId()); }
};

TEST(PollingTimers, SleepOnlyWhileThePointersMovesAreReportedAndNothingHappens)
{
    Poller poller(true);
    const xcb_window_t kOurWindow = poller.window();
    EXPECT_TRUE(poller.ticksWhileQuiet()) << "the pointer is over no window of the program";

    enter(kOurWindow);
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "over a window of the program, nothing can change unseen";

    const int asleep = poller.ticks;
    somethingHappens();
    ASSERT_TRUE(waitUntil([&] { return poller.ticks > asleep; }, 1000)) << "the next event wakes it";
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "and it sleeps again once it has seen it";

    leave(kOurWindow);
    EXPECT_TRUE(poller.ticksWhileQuiet()) << "the pointer left: it polls again";
}

TEST(PollingTimers, FollowTheCrossingsThatTheServerReports)
{
    Poller poller(true);
    Quiet other;
    const xcb_window_t kOurWindow = poller.window(), kOurOtherWindow = other.window();
    enter(kRootWindow);
    EXPECT_TRUE(poller.ticksWhileQuiet()) << "the root window is nobody's";

    enter(kOurWindow);
    leave(kOurWindow, kNormal, kInferior);
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "into a window inside ours is still ours";

    leave(kOurWindow, kGrab);
    EXPECT_TRUE(poller.ticksWhileQuiet()) << "someone else took the pointer";
    enter(kOurWindow, kUngrab);
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "and gave it back";

    enter(kOurOtherWindow, kGrab);
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "a grab on another window changes nothing here";
    leave(kOurWindow);
    enter(kOurOtherWindow);
    EXPECT_FALSE(poller.ticksWhileQuiet()) << "from one of our windows to another";

    unmapped(kOurOtherWindow);
    EXPECT_TRUE(poller.ticksWhileQuiet()) << "the window under the pointer went without a word";
}

fk::POINT cursorReading()
{
    fk::POINT p{};
    fk::GetCursorPos(&p);
    return p;
}

TEST(PollingTimers, ACursorReadingNeverOutlivesTheNextEvent)
{
    Poller poller(true);
    enter(poller.window());
    moveCursor({100, 100});
    ASSERT_EQ(cursorReading().x, 100);

    // The pointer moves and its event arrives at once, as in a batch of polling controls
    // of which some have ticked and some have not: the rest must see the move.
    QCursor::setPos(200, 100);
    somethingHappens();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(cursorReading().x, 200);
}

TEST(PollingTimers, WhatHappensWhileATickRunsWakesTheNextOne)
{
    Poller poller(true);
    enter(poller.window());
    moveCursor({100, 100});
    int seenX = 0;
    bool moveDuringTick = false;
    poller.timer.onTimer = [&] {
        seenX = cursorReading().x;
        if (std::exchange(moveDuringTick, false)) {
            // A nested pump hands over the move while the handler is still busy.
            QCursor::setPos(300, 100);
            somethingHappens();
            QCoreApplication::sendPostedEvents();
        }
    };
    EXPECT_FALSE(poller.ticksWhileQuiet());

    moveDuringTick = true;
    somethingHappens();
    EXPECT_TRUE(waitUntil([&] { return seenX == 300; }, 1000)) << "a tick that ran during the move sees it next";
}

TEST(PollingTimers, OrdinaryTimersNeverSleep)
{
    Poller poller(false);
    enter(poller.window());
    EXPECT_TRUE(poller.ticksWhileQuiet());
}

} // namespace
