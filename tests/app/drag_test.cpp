// Dragging the main window by its title bar with the mouse.
#include "support/test_support.h"

#include "frmMain.h"

#include "forms/event_pump.h"

#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace testing_support;
using corvane::frmMain;

namespace {

class Drag : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.move(150 * 15, 120 * 15);
        fk::doEvents();
        start = outer()->pos();
        press = main.pctTitle.widget()->mapTo(outer(), QPoint(200, 15)); // in window coordinates
        moveCursor(start + press);
        // A drag that never ends would hang the test: after 3 s, end it for real and say so.
        QTimer::singleShot(3000, [this] {
            stuck = true;
            QTest::mouseRelease(window(), Qt::LeftButton, {}, press);
            QTest::mouseRelease(window(), Qt::RightButton, {}, press);
        });
    }

    // The top-level window, frame and all: its position is the form's Left and Top.
    QWidget* outer() { return main.clientWidget()->window(); }
    QWindow* window() { return outer()->windowHandle(); }

    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();
    QPoint start, press;
    bool stuck = false;
};

TEST_F(Drag, TheWindowFollowsThePointerByTheSameDistance)
{
    QTimer::singleShot(30, [&] { moveCursor(start + press + QPoint(37, -21)); });
    QTimer::singleShot(80, [&] { QTest::mouseRelease(window(), Qt::LeftButton, {}, press); });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(outer()->pos(), start + QPoint(37, -21));
    EXPECT_FLOAT_EQ(main.left(), static_cast<float>((start.x() + 37) * 15));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Drag, ALastMoveThatComesWithTheReleaseIsFollowedToo)
{
    // A busy thread sees the last move and the release in one pump.
    QTimer::singleShot(30, [&] {
        moveCursor(start + press + QPoint(-12, 9));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, press);
    });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck);
    fk::doEvents();
    EXPECT_EQ(outer()->pos(), start + QPoint(-12, 9)) << "the window ends where the pointer let go";
}

TEST_F(Drag, APressHandledAfterThePointerLeftTheWindowUpAndLeftKeepsItThenFollows)
{
    // The press waited in the queue while the thread was busy; meanwhile the pointer went
    // above and to the left of the window. The window stays put, then follows the pointer.
    const QPoint away = start - QPoint(40, 30);
    moveCursor(away);
    QPoint atPress;
    QTimer::singleShot(30, [&] {
        atPress = outer()->pos();
        moveCursor(away + QPoint(25, 12));
    });
    QTimer::singleShot(80, [&] { QTest::mouseRelease(window(), Qt::LeftButton, {}, press); });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(atPress, start) << "no jump when the press is handled";
    EXPECT_EQ(outer()->pos(), start + QPoint(25, 12));
}

TEST_F(Drag, PressAndReleaseWithoutMovingLeavesTheWindowInPlace)
{
    QTimer::singleShot(30, [&] { QTest::mouseRelease(window(), Qt::LeftButton, {}, press); });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(outer()->pos(), start);
}

TEST_F(Drag, AnyButtonDragsAndASecondPressNestsUntilTheNextRelease)
{
    QTimer::singleShot(30, [&] {
        // Inside the first drag's pump: a second press starts a drag of its own.
        QTimer::singleShot(30, [&] { QTest::mouseRelease(window(), Qt::LeftButton, {}, press); });
        QTest::mousePress(window(), Qt::RightButton, {}, press);
    });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck) << "one release ends both loops";
    EXPECT_EQ(outer()->pos(), start);
}

TEST_F(Drag, ALostReleaseStillEndsTheDrag)
{
    // The release goes to another window, as when focus is taken away mid-drag: the title
    // bar never hears of it, but no button is held any more.
    QWidget other;
    other.setGeometry(900, 700, 50, 50);
    other.show();
    QTimer::singleShot(30, [&] { QTest::mouseRelease(other.windowHandle(), Qt::LeftButton, {}, {5, 5}); });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    EXPECT_FALSE(stuck);
}

TEST_F(Drag, ArithmeticOverflowIsARuntimeErrorNotAWildMove)
{
    // 200 000 000 pixels is beyond what 32-bit twips can hold.
    QTimer::singleShot(30, [&] { moveCursor({200000000, start.y() + press.y()}); });
    QTest::mousePress(window(), Qt::LeftButton, {}, press);
    ASSERT_EQ(errors.errors().size(), 1u);
    EXPECT_EQ(errors.errors()[0].number(), 6);
    EXPECT_EQ(outer()->pos(), start);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, press);
}

} // namespace
