// Forms as a program uses them: one default instance, loaded on first use, destroyed by
// unload and loaded afresh by the next use; modal shows that return only at unload.
#include "support/test_support.h"

#include "forms/control_array.h"
#include "forms/event_pump.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/label.h"
#include "forms/option_button.h"
#include "forms/timer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

int gLoads = 0;
int gDestroyed = 0;

class Dialog : public fk::Form {
public:
    Dialog() : Form({.caption = QStringLiteral("Dialog"), .clientWidth = 3000, .clientHeight = 1500}) {}
    ~Dialog() override { ++gDestroyed; }
    fk::Label caption{*this, {.rect = {100, 100, 2000, 300}}};
    fk::Timer ticker{*this, {.interval = 5, .enabled = true}};
    int ticks = 0;

protected:
    void Form_Load() override
    {
        ++gLoads;
        caption.setCaption(QStringLiteral("loaded"));
        ticker.onTimer = [this] { ++ticks; };
    }
};

class Other : public fk::Form {
public:
    Other() : Form({.clientWidth = 3000, .clientHeight = 1500}) {}
};

class FormLifecycle : public ::testing::Test {
protected:
    void SetUp() override { gLoads = gDestroyed = 0; }
    // Keeps the application from ending when a test unloads its last form.
    Other& keepAlive = fk::formInstance<Other>();
};

TEST_F(FormLifecycle, DefaultInstanceIsLoadedOnFirstUseAndReused)
{
    EXPECT_FALSE(fk::isFormLoaded<Dialog>());
    Dialog& first = fk::formInstance<Dialog>();
    EXPECT_EQ(gLoads, 1);
    EXPECT_EQ(first.caption.caption(), QStringLiteral("loaded"));
    EXPECT_EQ(&fk::formInstance<Dialog>(), &first);
    EXPECT_EQ(gLoads, 1) << "the second use does not load again";
}

TEST_F(FormLifecycle, UnloadDestroysAndTheNextUseLoadsAgain)
{
    Dialog& first = fk::formInstance<Dialog>();
    first.show();
    first.caption.setCaption(QStringLiteral("changed"));
    first.unload();
    EXPECT_FALSE(fk::isFormLoaded<Dialog>());
    EXPECT_FALSE(first.clientWidget()->isVisible());
    EXPECT_EQ(gDestroyed, 0) << "destroyed only once the unloading handler has returned";
    pump(20);
    EXPECT_EQ(gDestroyed, 1);

    Dialog& second = fk::formInstance<Dialog>();
    EXPECT_EQ(gLoads, 2);
    EXPECT_EQ(second.caption.caption(), QStringLiteral("loaded")) << "a fresh load, not the old state";
}

TEST_F(FormLifecycle, UnloadStopsTheFormsTimers)
{
    Dialog& dialog = fk::formInstance<Dialog>();
    ASSERT_TRUE(waitUntil([&] { return dialog.ticks > 0; }));
    dialog.unload();
    const int ticksAtUnload = dialog.ticks;
    QCoreApplication::processEvents(); // runs no tick, and does not yet destroy the form
    EXPECT_EQ(dialog.ticks, ticksAtUnload);
}

TEST_F(FormLifecycle, ModalShowReturnsOnlyAfterUnloadAndBlocksOtherWindows)
{
    keepAlive.show();
    bool otherBlocked = false;
    bool stillOpenDuringLoop = false;
    QTimer::singleShot(50, [&] {
        otherBlocked = QApplication::activeModalWidget() != nullptr
                       && QApplication::activeModalWidget() != keepAlive.clientWidget();
        stillOpenDuringLoop = fk::isFormLoaded<Dialog>();
        fk::formInstance<Dialog>().unload();
    });
    fk::formInstance<Dialog>().show(fk::ShowMode::Modal);
    EXPECT_TRUE(stillOpenDuringLoop);
    EXPECT_TRUE(otherBlocked);
    EXPECT_FALSE(fk::isFormLoaded<Dialog>());
}

// A handler that pumps events, as the benchmark does to paint its caption before its passes,
// may have its own window closed meanwhile: the form is unloaded then, but it lives on until
// that handler, which goes on to use it, has returned to the event loop.
TEST_F(FormLifecycle, AFormUnloadedWhileItsHandlerPumpsEventsOutlivesTheHandler)
{
    Dialog& dialog = fk::formInstance<Dialog>();
    dialog.show();
    int destroyedAfterThePump = -1;
    QString captionAfterThePump;
    dialog.caption.onClick = [&] {
        // The window manager's close, waiting to be delivered when the handler pumps.
        QCoreApplication::postEvent(dialog.windowWidget(), new QCloseEvent);
        fk::doEvents();
        destroyedAfterThePump = gDestroyed;
        dialog.caption.setCaption(QStringLiteral("done"));
        captionAfterThePump = dialog.caption.caption();
    };
    // Clicked from a running event loop, as the program's clicks come.
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(dialog.caption.widget(), Qt::LeftButton);
        loop.quit();
    });
    loop.exec();
    EXPECT_FALSE(fk::isFormLoaded<Dialog>()) << "the close unloaded the form";
    EXPECT_EQ(destroyedAfterThePump, 0) << "the form was destroyed inside its handler's pump";
    EXPECT_EQ(captionAfterThePump, QStringLiteral("done"));
    EXPECT_TRUE(waitUntil([] { return gDestroyed == 1; })) << "destroyed once the handler returned";
}

TEST_F(FormLifecycle, ClosingTheWindowUnloadsTheForm)
{
    Dialog& dialog = fk::formInstance<Dialog>();
    dialog.show();
    dialog.clientWidget()->close();
    EXPECT_FALSE(fk::isFormLoaded<Dialog>());
}

TEST_F(FormLifecycle, PositionIsInTwipsAndCentredOnFirstShow)
{
    Dialog& dialog = fk::formInstance<Dialog>();
    dialog.show();
    // 3000 x 1500 twips is 200 x 100 pixels, centred on the 1280 x 1024 screen.
    EXPECT_EQ(dialog.clientWidget()->size(), QSize(200, 100));
    EXPECT_FLOAT_EQ(dialog.left(), 540 * 15);
    EXPECT_FLOAT_EQ(dialog.top(), 462 * 15);

    // Left then Top, as a loop that follows the pointer sets them: each reads back at once,
    // and the window moves once, when events are next processed.
    int moves = 0;
    struct MoveCounter : QObject {
        int& moves;
        explicit MoveCounter(int& m) : moves(m) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            moves += event->type() == QEvent::Move;
            return false;
        }
    } moveCounter(moves);
    dialog.clientWidget()->installEventFilter(&moveCounter);
    dialog.setLeft(1500);
    dialog.setTop(3000);
    EXPECT_FLOAT_EQ(dialog.left(), 1500);
    EXPECT_FLOAT_EQ(dialog.top(), 3000);
    fk::doEvents();
    EXPECT_EQ(dialog.clientWidget()->pos(), QPoint(100, 200));
    EXPECT_EQ(moves, 1);
}

TEST_F(FormLifecycle, AWindowWithoutTitleBarDrawsItsFrameOutsideTheClientAreaAndIsCentredWithIt)
{
    class Bare : public fk::Form {
    public:
        Bare() : Form({.clientWidth = 3000, .clientHeight = 1500, .borderStyle = fk::BorderStyle::FixedNoTitle}) {}
    };
    Bare& bare = fk::formInstance<Bare>();
    bare.show();
    const QWidget* client = bare.clientWidget();
    const QWidget* outer = client->window();
    EXPECT_EQ(client->size(), QSize(200, 100)) << "the client area keeps its size";
    EXPECT_EQ(outer->size(), QSize(206, 106));
    EXPECT_EQ(client->mapTo(outer, QPoint(0, 0)), QPoint(3, 3));
    // Centred with its frame, so the client area lies where it would without one; Left and
    // Top are the outer window's.
    EXPECT_EQ(outer->pos(), QPoint(537, 459));
    EXPECT_FLOAT_EQ(bare.left(), 537 * 15);
    EXPECT_FLOAT_EQ(bare.top(), 459 * 15);
    bare.move(1500, 3000);
    fk::doEvents();
    EXPECT_EQ(outer->pos(), QPoint(100, 200));
    EXPECT_EQ(client->mapToGlobal(QPoint(0, 0)), QPoint(103, 203));
    bare.unload();
}

TEST(ControlArrays, AMissingElementIsARuntimeError)
{
    class ArrayForm : public fk::Form {
    public:
        ArrayForm() : Form({.clientWidth = 3000, .clientHeight = 1500}) {}
        fk::ControlArray<fk::Label> labels{*this, {fk::LabelProps{.rect = {0, 0, 900, 300}, .caption = QStringLiteral("zero")},
                                                   fk::LabelProps{.rect = {0, 450, 900, 300}, .caption = QStringLiteral("one")}}};
    } form;
    EXPECT_EQ(form.labels.ubound(), 1);
    EXPECT_EQ(form.labels(1).caption(), QStringLiteral("one"));
    try {
        form.labels(2);
        FAIL();
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 9);
    }
    EXPECT_THROW(form.labels(-1), fk::RuntimeError);

    std::vector<std::int16_t> clicked;
    form.labels.onClick([&](std::int16_t index) { clicked.push_back(index); });
    form.show();
    QTest::mouseClick(form.labels(1).widget(), Qt::LeftButton);
    QTest::mouseClick(form.labels(0).widget(), Qt::LeftButton);
    EXPECT_EQ(clicked, (std::vector<std::int16_t>{1, 0}));
}

} // namespace

// A form looks as its layout says whatever the desktop's theme and colour scheme, which reach
// a program as the application's style and palette; a control's own colours still win.
TEST(FormLook, TheApplicationsStyleAndPaletteChangeNothingOfAForm)
{
    class Panel : public fk::Form {
    public:
        Panel() : Form({.clientWidth = 3000, .clientHeight = 1500}) {}
        fk::OptionButton chosen{*this, {.rect = {150, 150, 1500, 255}, .caption = QStringLiteral("Chosen"),
                                        .backColor = 0x00FFFF, .value = true}};
        fk::OptionButton other{*this, {.rect = {150, 450, 1500, 255}, .caption = QStringLiteral("Other")}};
        fk::Frame frame{*this, {.rect = {1800, 150, 900, 900}}};
    } panel;
    panel.show();
    const QImage plain = panel.clientWidget()->grab().toImage();
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette dark(QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(dark);
    const QImage themed = panel.clientWidget()->grab().toImage();
    EXPECT_EQ(themed, plain);
    EXPECT_EQ(pixel(themed, 10, 10), 0xFFFF00u) << "the option's own yellow ground";
    EXPECT_EQ(pixel(themed, 15, 17), 0x000000u) << "the chosen option's dot";
    EXPECT_EQ(pixel(themed, 13, 16), 0xFFFFFFu) << "inside its circle";
    EXPECT_EQ(pixel(themed, 120, 10), 0x808080u) << "the frame's etched corner";
    EXPECT_EQ(pixel(themed, 121, 11), 0xFFFFFFu);
}
