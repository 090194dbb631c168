// The main window's own title bar: its gradient, frame and shadowed title by pixel, and the
// frame buttons placed by the load.
#include "support/test_support.h"

#include "frmMain.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace testing_support;
using corvane::frmMain;

namespace {

QRgb rgb(int r, int g, int b) { return static_cast<QRgb>((r << 16) | (g << 8) | b); }

class TitleBar : public ::testing::Test {
protected:
    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();
    const QImage& bar = main.pctTitle.image();
};

TEST_F(TitleBar, WindowIsFramelessAndOfTheLaidOutSize)
{
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(main.clientWidget()->size(), QSize(577, 438));
    EXPECT_TRUE(main.clientWidget()->window()->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(main.clientWidget()->isVisible());
    EXPECT_EQ(bar.size(), QSize(513, 33));
}

TEST_F(TitleBar, GradientStepsEveryFourthColumnUpToWhite)
{
    EXPECT_EQ(pixel(bar, 0, 10), rgb(29, 99, 205)) << "column 0 keeps the background";
    for (int x = 1; x <= 3; ++x)
        EXPECT_EQ(pixel(bar, x, 10), rgb(29, 99, 205)) << "column " << x;
    for (int x = 4; x <= 7; ++x)
        EXPECT_EQ(pixel(bar, x, 10), rgb(30, 100, 206)) << "column " << x;
    EXPECT_EQ(pixel(bar, 8, 10), rgb(31, 101, 207));
    EXPECT_EQ(pixel(bar, 199, 20), rgb(78, 148, 254));
    EXPECT_EQ(pixel(bar, 200, 20), rgb(79, 149, 255)) << "blue reaches 255 at column 200";
    EXPECT_EQ(pixel(bar, 300, 20), rgb(104, 174, 255)) << "and stays there";
    EXPECT_EQ(pixel(bar, 510, 20), rgb(156, 226, 255));
    // Column 512 is the frame's right edge only at rows 1 to 31: the top row shows the
    // gradient's end colour.
    EXPECT_EQ(pixel(bar, 512, 0), rgb(157, 227, 255));
    EXPECT_EQ(pixel(bar, 512, 32), rgb(157, 227, 255));
}

TEST_F(TitleBar, FrameLiesOnePixelInsideEachEdge)
{
    const QRgb frame = rgb(29, 99, 205);
    for (int x = 1; x <= 511; x += 17) {
        EXPECT_EQ(pixel(bar, x, 1), frame) << "top, x " << x;
        EXPECT_EQ(pixel(bar, x, 31), frame) << "bottom, x " << x;
    }
    EXPECT_EQ(pixel(bar, 511, 31), frame);
    for (int y = 1; y <= 31; ++y) {
        EXPECT_EQ(pixel(bar, 1, y), frame) << "left, y " << y;
        EXPECT_EQ(pixel(bar, 511, y), frame) << "right, y " << y;
    }
    EXPECT_NE(pixel(bar, 300, 0), frame) << "row 0 is gradient, outside the frame";
    EXPECT_NE(pixel(bar, 511, 32), frame);
    EXPECT_NE(pixel(bar, 512, 10), frame);
}

TEST_F(TitleBar, TitleIsWhiteOverABlackCopyOnePixelUpLeftFromColumn40)
{
    int whites = 0, shadowed = 0, leftmostInk = 513;
    for (int y = 2; y < 31; ++y)
        for (int x = 2; x < 511; ++x) {
            const QRgb p = pixel(bar, x, y);
            if (p == 0xFFFFFF || p == 0)
                leftmostInk = std::min(leftmostInk, x);
            if (p != 0xFFFFFF)
                continue;
            ++whites;
            const QRgb upLeft = pixel(bar, x - 1, y - 1);
            shadowed += upLeft == 0 || upLeft == 0xFFFFFF;
        }
    EXPECT_GT(whites, 100);
    EXPECT_EQ(shadowed, whites);
    EXPECT_GE(leftmostInk, 40);
    EXPECT_LE(leftmostInk, 42);
}

TEST_F(TitleBar, PaintingSurvivesARepaint)
{
    main.clientWidget()->repaint();
    const QImage shot = main.pctTitle.widget()->grab().toImage();
    EXPECT_EQ(pixel(shot, 200, 20), rgb(79, 149, 255));
}

TEST_F(TitleBar, MinimizeButtonTouchesTheCloseButton)
{
    EXPECT_FLOAT_EQ(main.btnMinimize.left(), 7785);
    EXPECT_FLOAT_EQ(main.btnMinimize.left() + main.btnMinimize.width(), main.btnXClose.left());
    EXPECT_EQ(main.btnXClose.get(QStringLiteral("Caption")).toText(), QStringLiteral("X"));
    EXPECT_EQ(main.btnMinimize.get(QStringLiteral("Caption")).toText(), QStringLiteral("_"));
    EXPECT_EQ(main.btnXClose.widget()->geometry(), QRect(544, 8, 25, 17));
}

TEST_F(TitleBar, MinimizeButtonMinimizesTheWindow)
{
    QTest::mouseClick(faceOf(main.btnMinimize), Qt::LeftButton);
    EXPECT_EQ(main.windowState(), fk::WindowState::Minimized);
}

TEST(TitleBarDeathTest, CloseButtonEndsTheProgramAtOnceWithStatusZero)
{
    EXPECT_EXIT(
        {
            frmMain& main = fk::formInstance<frmMain>();
            QTest::mouseClick(faceOf(main.btnXClose), Qt::LeftButton);
            std::fputs("still running\n", stderr);
            std::abort();
        },
        ::testing::ExitedWithCode(0), "^$");
}

} // namespace
