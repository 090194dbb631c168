// A reader's press of a push button lands or is refused as a mouse click would, judged when
// it is delivered: presses queued before a modal window opens obey it, and presses queued
// while it was open go through once it has closed.
#include "support/test_support.h"

#include "forms/accessibility.h"
#include "forms/accessible_push_button.h"
#include "forms/form.h"
#include "forms/picturebox.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A picture box that assistive technology sees as a push button, counting its clicks.
class PushButton : public fk::PictureBox {
public:
    PushButton(fk::Container& container, const fk::TwipsRect& rect) : PictureBox(container, {.rect = rect})
    {
        fk::setAccessibleMaker(widget(), [](QWidget* w) { return new fk::AccessiblePushButton(w); });
        onClick = [this] { ++clicks; };
    }

    // The reader's press, as the accessibility bus hands it on.
    void pressByReader() const
    {
        QAccessible::queryAccessibleInterface(widget())->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
    }

    int clicks = 0;
};

class Dialog : public fk::Form {
public:
    Dialog() : Form({.caption = QStringLiteral("Dialog"), .clientWidth = 3000, .clientHeight = 1500})
    {
        ok.onClick = [this] { unload(); };
    }
    PushButton ok{*this, {300, 300, 1500, 495}};
};

class Main : public fk::Form {
public:
    Main() : Form({.caption = QStringLiteral("Main"), .clientWidth = 6000, .clientHeight = 3000})
    {
        opener.onClick = [] { fk::formInstance<Dialog>().show(fk::ShowMode::Modal); };
    }
    PushButton opener{*this, {300, 300, 1500, 495}};
    PushButton target{*this, {1800, 300, 1500, 495}};
};

class ReaderPresses : public ::testing::Test {
protected:
    void SetUp() override
    {
        fk::installAccessibility();
        main.target.clicks = 0;
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.windowWidget()));
    }

    // Runs the visit once the dialog is up and modal, from inside its modal loop; the dialog
    // must be closed by the visit or it is closed after five seconds and the test fails.
    void whileDialogIsOpen(const std::function<void(Dialog&)>& visit)
    {
        bool visited = false;
        QTimer visitor;
        QObject::connect(&visitor, &QTimer::timeout, [&] {
            if (!fk::isFormLoaded<Dialog>()
                || QApplication::activeModalWidget() != fk::formInstance<Dialog>().windowWidget())
                return;
            visitor.stop();
            visited = true;
            visit(fk::formInstance<Dialog>());
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the dialog was still open after five seconds";
            fk::formInstance<Dialog>().unload();
        });
        visitor.start(20);
        watchdog.start(5000);
        EXPECT_TRUE(waitUntil([&] { return visited && !fk::isFormLoaded<Dialog>(); }, 6000))
            << "the dialog never opened";
    }

    RecordedErrors errors;
    Main& main = fk::formInstance<Main>();
};

TEST_F(ReaderPresses, APressQueuedBehindTheOpeningOfAModalWindowIsRefused)
{
    // Typed ahead: both presses are asked for before either is delivered.
    main.opener.pressByReader();
    main.target.pressByReader();
    int clicksWhileOpen = -1;
    whileDialogIsOpen([&](Dialog& dialog) {
        clicksWhileOpen = main.target.clicks;
        dialog.ok.pressByReader();
    });
    EXPECT_EQ(clicksWhileOpen, 0) << "the press went past the modal window";
    pump(100);
    EXPECT_EQ(main.target.clicks, 0) << "the refused press came through after the modal window closed";
    EXPECT_TRUE(errors.empty());
}

TEST_F(ReaderPresses, APressQueuedBehindTheClosingOfAModalWindowGoesThrough)
{
    main.opener.pressByReader();
    whileDialogIsOpen([&](Dialog& dialog) {
        // Asked for while the dialog still blocks the main window, delivered after its OK.
        dialog.ok.pressByReader();
        main.target.pressByReader();
    });
    EXPECT_TRUE(waitUntil([&] { return main.target.clicks == 1; })) << "the press was refused";
    EXPECT_TRUE(errors.empty());
}

} // namespace
