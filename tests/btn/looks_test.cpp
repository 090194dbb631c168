// The highlight button as a user sees it: its three looks, pixel by pixel, following the
// real cursor position, and the press, drag and release of a click.
#include "support/button_host.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

constexpr QRgb kIdleText = 0x00509F; // 0x9F5000
constexpr QRgb kWhite = 0xFFFFFF;

class Looks : public ::testing::Test {
protected:
    void SetUp() override
    {
        useButtonManifest();
        host = std::make_unique<ButtonHost>();
        host->first.set(QStringLiteral("Caption"), "Go");
        host->second.set(QStringLiteral("Caption"), "Stop");
        host->showAt(100, 100);
        moveCursor({5, 5});
    }

    static QPoint screenPointOf(const fk::com::HostedControl& button, QPoint local)
    {
        return button.widget()->mapToGlobal(local);
    }

    std::unique_ptr<ButtonHost> host;
    RecordedErrors errors;
};

TEST_F(Looks, AResizeUnderAPointerAtRestDrawsTheWholeLookAtTheNextTick)
{
    auto& button = host->first;
    RestingPointer pointer(screenPointOf(button, {20, 16}));
    ASSERT_TRUE(looksLike(button, kFrame, kHoverFace));
    button.move(300, 300, 2250, 600); // twips: 150 x 40 pixels, with no input at all
    ASSERT_TRUE(waitUntil([&] { return screenOf(button).size() == QSize(150, 40); }, 1000));
    EXPECT_TRUE(waitUntil([&] {
        const QImage face = screenOf(button);
        return pixel(face, 149, 20) == kFrame && pixel(face, 75, 39) == kFrame && pixel(face, 2, 2) == kHoverFace;
    }, 1000)) << "the frame of the hover look around the new size";
}

TEST_F(Looks, IdleHoverAndPressedFacesByPixel)
{
    auto& button = host->first;
    ASSERT_TRUE(looksLike(button, kIdleFace, kIdleFace)) << "idle: the face colour, no frame";

    moveCursor(screenPointOf(button, {50, 16}));
    ASSERT_TRUE(looksLike(button, kFrame, kHoverFace));
    const QImage hover = screenOf(button);
    const int w = hover.width(), h = hover.height();
    ASSERT_EQ(QSize(w, h), QSize(100, 33));
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(pixel(hover, x, 0), kFrame) << "top row, x " << x;
        EXPECT_EQ(pixel(hover, x, h - 1), kFrame) << "bottom row, x " << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(pixel(hover, 0, y), kFrame) << "left column, y " << y;
        EXPECT_EQ(pixel(hover, w - 1, y), kFrame) << "right column, y " << y;
    }
    EXPECT_EQ(pixel(hover, 1, 1), kHoverFace);
    EXPECT_EQ(pixel(hover, w - 2, h - 2), kHoverFace);
    bool whiteCaption = false;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            whiteCaption |= pixel(hover, x, y) == kWhite;
    EXPECT_TRUE(whiteCaption) << "the hover caption is white";

    QTest::mousePress(faceOf(button), Qt::LeftButton, {}, {50, 16});
    ASSERT_TRUE(looksLike(button, kFrame, kPressedFace));
    QTest::mouseRelease(faceOf(button), Qt::LeftButton, {}, {50, 16});
    EXPECT_EQ(pixel(screenOf(button), 2, 2), kHoverFace) << "release repaints at once";

    moveCursor({5, 5});
    ASSERT_TRUE(looksLike(button, kIdleFace, kIdleFace));
    const QImage idle = screenOf(button);
    bool idleCaption = false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = pixel(idle, x, y);
            EXPECT_TRUE(p == kIdleFace || p == kIdleText) << "idle shows only face and caption, " << x << "," << y;
            idleCaption |= p == kIdleText;
        }
    EXPECT_TRUE(idleCaption);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Looks, HitTestIsStrictOnTheLeftAndTopEdges)
{
    auto& button = host->first;
    const QPoint topLeft = screenPointOf(button, {0, 0});
    moveCursor(topLeft + QPoint(0, 10));
    EXPECT_EQ(button.call(QStringLiteral("IsMouseOverControl")).get<fk::com::Bool16>(), fk::com::Bool16::False)
        << "x = left is outside";
    moveCursor(topLeft + QPoint(10, 0));
    EXPECT_EQ(button.call(QStringLiteral("IsMouseOverControl")).get<fk::com::Bool16>(), fk::com::Bool16::False)
        << "y = top is outside";
    moveCursor(topLeft + QPoint(99, 32));
    EXPECT_EQ(button.call(QStringLiteral("IsMouseOverControl")).get<fk::com::Bool16>(), fk::com::Bool16::True)
        << "(right - 1, bottom - 1) is inside";
    EXPECT_TRUE(looksLike(button, kFrame, kHoverFace));
    moveCursor(topLeft + QPoint(100, 10));
    EXPECT_EQ(button.call(QStringLiteral("IsMouseOverControl")).get<fk::com::Bool16>(), fk::com::Bool16::False)
        << "x = right is outside";
    // The hit test leaves True as all bits set.
    moveCursor(topLeft + QPoint(1, 1));
    EXPECT_EQ(static_cast<int>(button.call(QStringLiteral("IsMouseOverControl")).get<fk::com::Bool16>()), -1);
}

TEST_F(Looks, PressDragOutBackInAndReleaseOutside)
{
    auto& button = host->first;
    int clicks = 0;
    button.on(QStringLiteral("Click"), [&] { ++clicks; });
    QWidget* face = faceOf(button);

    moveCursor(screenPointOf(button, {30, 10}));
    QTest::mousePress(face, Qt::LeftButton, {}, {30, 10});
    ASSERT_TRUE(looksLike(button, kFrame, kPressedFace));
    moveCursor(screenPointOf(button, {150, 10}));
    ASSERT_TRUE(looksLike(button, kIdleFace, kIdleFace)) << "idle outside while held";
    moveCursor(screenPointOf(button, {30, 10}));
    ASSERT_TRUE(looksLike(button, kFrame, kPressedFace)) << "pressed again back inside";
    moveCursor(screenPointOf(button, {-40, 10}));
    QTest::mouseRelease(face, Qt::LeftButton, {}, {-40, 10});
    EXPECT_EQ(pixel(screenOf(button), 2, 2), kIdleFace) << "release outside repaints idle at once";
    EXPECT_EQ(clicks, 0) << "a release outside is no click";

    // Back inside with no button held: hover, not pressed.
    moveCursor(screenPointOf(button, {30, 10}));
    EXPECT_TRUE(looksLike(button, kFrame, kHoverFace));
}

TEST_F(Looks, RightAndMiddleButtonsPressTooButOnlyTheLeftClicks)
{
    auto& button = host->first;
    int clicks = 0;
    button.on(QStringLiteral("Click"), [&] { ++clicks; });
    moveCursor(screenPointOf(button, {30, 10}));
    for (Qt::MouseButton mouseButton : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(faceOf(button), mouseButton, {}, {30, 10});
        EXPECT_TRUE(looksLike(button, kFrame, kPressedFace));
        QTest::mouseRelease(faceOf(button), mouseButton, {}, {30, 10});
        EXPECT_TRUE(looksLike(button, kFrame, kHoverFace));
    }
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(faceOf(button), Qt::LeftButton, {}, {30, 10});
    EXPECT_EQ(clicks, 1);
}

TEST_F(Looks, ClickComesAfterTheReleaseHasRepaintedTheHoverLook)
{
    auto& button = host->first;
    moveCursor(screenPointOf(button, {30, 10}));
    QWidget* face = faceOf(button);
    QTest::mousePress(face, Qt::LeftButton, {}, {30, 10});
    ASSERT_TRUE(looksLike(button, kFrame, kPressedFace));
    QRgb faceAtClick = 0;
    int clicks = 0;
    button.on(QStringLiteral("Click"), [&] {
        ++clicks;
        faceAtClick = pixel(screenOf(button), 2, 2);
    });
    QTest::mouseRelease(face, Qt::LeftButton, {}, {30, 10});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(faceAtClick, kHoverFace) << "the host's handler sees the hover look already";
}

TEST_F(Looks, TwoButtonsSideBySideFollowTheCursorEachOnItsOwn)
{
    moveCursor(screenPointOf(host->first, {50, 16}));
    ASSERT_TRUE(looksLike(host->first, kFrame, kHoverFace));
    ASSERT_TRUE(looksLike(host->second, kIdleFace, kIdleFace));
    moveCursor(screenPointOf(host->second, {50, 16}));
    EXPECT_TRUE(looksLike(host->first, kIdleFace, kIdleFace));
    EXPECT_TRUE(looksLike(host->second, kFrame, kHoverFace));
    // The shared column: x = right of the first is x = left of the second, outside both.
    moveCursor(screenPointOf(host->second, {0, 16}));
    EXPECT_TRUE(looksLike(host->first, kIdleFace, kIdleFace));
    EXPECT_TRUE(looksLike(host->second, kIdleFace, kIdleFace));
}

TEST(LooksBeforeCaption, WithoutACaptionTheFaceNeverFollowsTheCursor)
{
    useButtonManifest();
    ButtonHost host;
    host.showAt(100, 100);
    moveCursor(host.first.widget()->mapToGlobal(QPoint(50, 16)));
    pump(100);
    const QImage face = screenOf(host.first);
    EXPECT_EQ(pixel(face, 2, 2), kIdleFace) << "shown: the background erased the face";
    EXPECT_EQ(pixel(face, 0, 0), kIdleFace) << "no frame: the timer does not run";

    // A resize after the show repaints with the face colour still 0: black inside.
    host.first.move(host.first.left(), host.first.top(), 1200, 450);
    pump(50);
    const QImage resized = screenOf(host.first);
    ASSERT_EQ(resized.size(), QSize(80, 30));
    EXPECT_EQ(pixel(resized, 1, 1), 0x000000u);
    EXPECT_EQ(pixel(resized, 78, 28), 0x000000u);
    EXPECT_EQ(pixel(resized, 0, 0), kIdleFace) << "the fill leaves the outermost ring";
}

} // namespace
