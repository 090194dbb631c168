// The start of the program: the splash window with its shadowed title, and the hand-over
// to the main window 2000 ms after the splash was loaded.
#include "support/test_support.h"

#include "frmMain.h"
#include "frmStartup.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace testing_support;
using corvane::frmMain;
using corvane::frmStartup;

namespace {

int zIndexOf(const QWidget* widget) { return static_cast<int>(widget->parent()->children().indexOf(widget)); }

TEST(Splash, TheBlackCopyMatchesTheWhiteTitleOnePixelUpLeftAndBehindIt)
{
    frmStartup& splash = fk::formInstance<frmStartup>();
    EXPECT_TRUE(splash.clientWidget()->isVisible()) << "the load shows the window";
    EXPECT_EQ(splash.clientWidget()->size(), QSize(259, 82));

    const fk::Label& white = splash.lblTitle1;
    const fk::Label& black = splash.lblTitle2;
    EXPECT_EQ(black.caption(), QStringLiteral("Corvane 1.0"));
    EXPECT_EQ(black.caption(), white.caption());
    EXPECT_EQ(black.font().name, white.font().name);
    EXPECT_DOUBLE_EQ(black.font().size, 14.25);
    EXPECT_TRUE(black.font().bold);
    EXPECT_FALSE(black.font().italic);
    EXPECT_EQ(black.foreColor(), fk::Color(0x000000));
    EXPECT_EQ(white.foreColor(), fk::Color(0xFFFFFF));
    // The window measures in pixels: the copy stands at (39, 23), keeping its own size.
    EXPECT_FLOAT_EQ(black.left(), 39);
    EXPECT_FLOAT_EQ(black.top(), 23);
    EXPECT_FLOAT_EQ(black.width(), 201);
    EXPECT_FLOAT_EQ(black.height(), 25);
    EXPECT_EQ(black.widget()->geometry(), QRect(39, 23, 201, 25));
    EXPECT_GT(zIndexOf(white.widget()), zIndexOf(black.widget())) << "the white title is in front";

    // On screen: white glyphs on the blue ground, each with black one pixel up and left.
    const QImage shot = splash.clientWidget()->grab().toImage();
    EXPECT_EQ(pixel(shot, 2, 2), 0x0080FFu) << "the blue ground";
    int whitePixels = 0, shadowed = 0;
    for (int y = 24; y < 49; ++y)
        for (int x = 40; x < 233; ++x)
            if (pixel(shot, x, y) == 0xFFFFFF) {
                ++whitePixels;
                const QRgb upLeft = pixel(shot, x - 1, y - 1);
                shadowed += upLeft == 0x000000 || upLeft == 0xFFFFFF;
            }
    EXPECT_GT(whitePixels, 50);
    EXPECT_EQ(shadowed, whitePixels);
}

TEST(Splash, HandsOverToTheMainWindowOnceAfter2000ms)
{
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    frmStartup& splash = fk::formInstance<frmStartup>();
    QWidget* splashWindow = splash.clientWidget();

    // Watch the moment the splash disappears: the main window must already be there.
    struct HideWatcher : QObject {
        bool mainShownAtHide = false;
        bool hidden = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Hide && !hidden) {
                hidden = true;
                mainShownAtHide = fk::isFormLoaded<frmMain>()
                                  && fk::formInstance<frmMain>().clientWidget()->isVisible();
            }
            return false;
        }
    } watcher;
    splashWindow->installEventFilter(&watcher);

    ASSERT_TRUE(waitUntil([] { return fk::isFormLoaded<frmMain>(); }, 5000));
    EXPECT_GE(sinceLoad.elapsed(), 1900) << "the splash lasts one timer interval";
    ASSERT_TRUE(waitUntil([] { return !fk::isFormLoaded<frmStartup>(); }, 1000));
    EXPECT_TRUE(watcher.hidden);
    EXPECT_TRUE(watcher.mainShownAtHide) << "no moment without a window";

    // No second tick: the main window stays the one instance, the splash stays gone.
    frmMain* main = &fk::formInstance<frmMain>();
    pump(2300);
    EXPECT_FALSE(fk::isFormLoaded<frmStartup>());
    EXPECT_EQ(&fk::formInstance<frmMain>(), main);
}

} // namespace
