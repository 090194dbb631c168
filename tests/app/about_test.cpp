// The About window: opened modally by the main window's About button, closed by its OK
// button or its close box, loaded afresh at every opening.
#include "main_window_driver.h"

#include "frmAbout.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace main_window;
using corvane::frmAbout;
using corvane::frmMain;

namespace {

class About : public ::testing::Test {
protected:
    // Clicks the About button and, while the About window is up, runs the visit; the visit
    // must close the window. A window that does not go within five seconds is unloaded
    // and the test fails.
    void openAbout(const std::function<void(frmAbout&)>& visit)
    {
        bool visited = false;
        QTimer visitor;
        visitor.setSingleShot(true);
        QObject::connect(&visitor, &QTimer::timeout, [&] {
            visited = true;
            ASSERT_TRUE(fk::isFormLoaded<frmAbout>()) << "the About button opened no About window";
            visit(fk::formInstance<frmAbout>());
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the About window was still open after five seconds";
            fk::formInstance<frmAbout>().unload();
        });
        visitor.start(50);
        watchdog.start(5000);
        click(main.btnAbout);
        EXPECT_TRUE(visited) << "the About button returned before the About window was closed";
    }

    // Whether a click on a main-window button reaches its handler: the CPU benchmark
    // button's handler colours its strip label.
    bool mainWindowTakesClicks()
    {
        click(main.btnIntro);
        click(main.btnCPUBenchmark);
        return main.lblSelected(1).foreColor() == 0xFF0000;
    }

    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();
};

TEST_F(About, IsModalAndTheMainWindowTakesNoClicksMeanwhile)
{
    openAbout([&](frmAbout& about) {
        QWidget* window = about.clientWidget();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isModal());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("About Corvane"));

        // A click on a main-window button does nothing while the About window is up.
        click(main.btnCPUBenchmark);
        click(main.btnAbout);
        EXPECT_EQ(main.lblSelected(1).foreColor(), fk::Color(0x000000));
        EXPECT_EQ(panelAt(main, kPanelArea.center()), 0);
        EXPECT_TRUE(window->isVisible());

        click(about.btnOK);
    });
    EXPECT_FALSE(fk::isFormLoaded<frmAbout>());
    EXPECT_TRUE(mainWindowTakesClicks()) << "the main window takes input again";
    EXPECT_TRUE(errors.empty());
}

TEST_F(About, CloseBoxUnloadsItLikeOk)
{
    QPointer<QWidget> aboutWindow;
    openAbout([&](frmAbout& about) {
        aboutWindow = about.clientWidget();
        // What the window system does when the user clicks the close box.
        about.clientWidget()->windowHandle()->close();
    });
    EXPECT_FALSE(fk::isFormLoaded<frmAbout>());
    ASSERT_TRUE(waitUntil([&] { return aboutWindow.isNull(); })) << "the unloaded window is destroyed";
    EXPECT_TRUE(mainWindowTakesClicks());
    EXPECT_TRUE(errors.empty());
}

TEST_F(About, EveryOpeningLoadsItAgainWithOkOnItsButton)
{
    openAbout([&](frmAbout& about) {
        EXPECT_EQ(captionOf(about.btnOK), QStringLiteral("OK"));
        // Something only this instance has: the next opening must not see it.
        about.btnOK.set(QStringLiteral("Caption"), "Changed");
        click(about.btnOK);
    });
    ASSERT_FALSE(fk::isFormLoaded<frmAbout>());

    openAbout([&](frmAbout& about) {
        EXPECT_EQ(captionOf(about.btnOK), QStringLiteral("OK"));
        about.clientWidget()->windowHandle()->close();
    });
    openAbout([&](frmAbout& about) {
        EXPECT_EQ(captionOf(about.btnOK), QStringLiteral("OK"));
        click(about.btnOK);
    });
    EXPECT_FALSE(fk::isFormLoaded<frmAbout>());
    EXPECT_TRUE(errors.empty());
}

TEST_F(About, ShowsTheCreditAndAnOkButtonAsLaidOut)
{
    openAbout([&](frmAbout& about) {
        QWidget* window = about.clientWidget();
        EXPECT_EQ(window->size(), QSize(283, 93));
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(window->windowIcon().isNull()) << "no icon of its own";
        // Centred on the 1280 x 1024 screen.
        EXPECT_EQ(window->pos(), QPoint((1280 - 283) / 2, (1024 - 93) / 2));

        EXPECT_EQ(about.Label1.widget()->geometry(), QRect(16, 8, 265, 41));
        EXPECT_EQ(about.btnOK.widget()->geometry(), QRect(88, 56, 113, 25));
        const QString credit = about.Label1.caption();
        EXPECT_TRUE(credit.startsWith(QStringLiteral("Corvane 1.0 *ALPHA Version* by "))) << credit.toStdString();
        EXPECT_TRUE(credit.endsWith(QStringLiteral(")")));
        EXPECT_TRUE(credit.contains(QStringLiteral(" (")) && credit.contains(QLatin1Char('@')));

        // The credit shows in black on the window's grey, wrapped within the label's box:
        // the only other black is the OK button's caption.
        const QImage screen = window->grab().toImage();
        EXPECT_EQ(pixel(screen, 5, 5), 0xE0E0E0u);
        const QRect label(16, 8, 265, 41), button(88, 56, 113, 25);
        int inLabel = 0, elsewhere = 0;
        std::vector<bool> inkRows(static_cast<std::size_t>(screen.height()), false);
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x) {
                if (pixel(screen, x, y) != 0x000000 || button.contains(x, y))
                    continue;
                if (label.contains(x, y)) {
                    ++inLabel;
                    inkRows[static_cast<std::size_t>(y)] = true;
                } else {
                    ++elsewhere;
                }
            }
        EXPECT_GT(inLabel, 200);
        EXPECT_EQ(elsewhere, 0);
        int lines = 0;
        for (std::size_t y = 0; y < inkRows.size(); ++y)
            lines += inkRows[y] && (y == 0 || !inkRows[y - 1]);
        EXPECT_GE(lines, 2) << "the credit wraps within the label";
        click(about.btnOK);
    });
}

} // namespace
