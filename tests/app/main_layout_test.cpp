// The main window as its load leaves it: the captions of its highlight buttons, the shared
// CPU picture, what is in front, and the selector column, strip, separators and panels as
// the user sees them.
#include "main_window_driver.h"

#include "artwork.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace main_window;
using corvane::frmMain;

namespace {

constexpr QRgb kGrey = 0xC0C0C0;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// Whether the picture shows with its top-left corner at the point of the screen, pixel for
// pixel (transparent pixels of the picture show the ground and are not compared).
::testing::AssertionResult showsPicture(const QImage& screen, QPoint at, const fk::Picture& picture)
{
    if (!picture || picture->isNull())
        return ::testing::AssertionFailure() << "no picture";
    const QImage art = picture->convertToFormat(QImage::Format_ARGB32);
    int differing = 0;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            if (qAlpha(art.pixel(x, y)) == 255 && pixel(screen, at.x() + x, at.y() + y) != (art.pixel(x, y) & 0xFFFFFF))
                ++differing;
    if (differing)
        return ::testing::AssertionFailure() << differing << " pixels differ from the picture";
    return ::testing::AssertionSuccess();
}

int inkIn(const QImage& screen, const QRect& box, QRgb ink)
{
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += pixel(screen, x, y) == ink;
    return count;
}

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(errors.empty()); }

    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();
};

TEST_F(MainWindow, LoadGivesEveryHighlightButtonItsCaption)
{
    const std::vector<std::pair<const fk::com::HostedControl*, QString>> expected = {
        {&main.btnXClose, QStringLiteral("X")},
        {&main.btnMinimize, QStringLiteral("_")},
        {&main.btnCPUbeginbenchmark, QStringLiteral("Benchmark")},
        {&main.btnCPUburnIn, QStringLiteral("CPU math burn-in")},
        {&main.btnCPUBenchmark, QStringLiteral("Benchmark CPU")},
        {&main.btnVideoStability, QStringLiteral("Video Stability (Artifact Test)")},
        {&main.btn3DBenchmark, QStringLiteral("3D Benchmark")},
        {&main.btn2DBenchmark, QStringLiteral("2D Benchmark")},
        {&main.btnMemoryStability, QStringLiteral("Memory Stability Test")},
        {&main.btnMemoryBench, QStringLiteral("Memory Benchmark")},
        {&main.btnAbout, QStringLiteral("About Corvane...")},
        {&main.btnExit, QStringLiteral("Exit")},
        {&main.btnIntro, QStringLiteral("Intro")},
    };
    for (const auto& [button, caption] : expected)
        EXPECT_EQ(captionOf(*button), caption);
}

TEST_F(MainWindow, EveryHighlightButtonCanBeReachedByTheMouse)
{
    click(main.btnCPUBenchmark); // puts the benchmark button's panel in front
    const std::vector<const fk::com::HostedControl*> buttons = {
        &main.btnCPUburnIn,     &main.btnCPUBenchmark,    &main.btnVideoStability, &main.btn3DBenchmark,
        &main.btn2DBenchmark,   &main.btnMemoryStability, &main.btnMemoryBench,    &main.btnIntro,
        &main.btnAbout,         &main.btnExit,            &main.btnCPUbeginbenchmark,
    };
    QWidget* window = main.clientWidget();
    for (const fk::com::HostedControl* button : buttons) {
        const QPoint centre = button->widget()->mapTo(window, button->widget()->rect().center());
        QWidget* hit = window->childAt(centre);
        EXPECT_TRUE(hit && (hit == button->widget() || button->widget()->isAncestorOf(hit)))
            << captionOf(*button).toStdString() << " is covered at its centre";
    }
    // Selector buttons and the button row, in window pixels.
    EXPECT_EQ(main.btnCPUburnIn.widget()->geometry(), QRect(64, 88, 97, 33));
    EXPECT_EQ(main.btnVideoStability.widget()->geometry(), QRect(64, 200, 145, 33));
    EXPECT_EQ(main.btnMemoryBench.widget()->geometry(), QRect(64, 400, 105, 33));
    EXPECT_EQ(main.btnIntro.widget()->geometry(), QRect(232, 392, 65, 33));
    EXPECT_EQ(main.btnAbout.widget()->geometry(), QRect(312, 392, 121, 33));
    EXPECT_EQ(main.btnExit.widget()->geometry(), QRect(464, 392, 105, 33));
    // The benchmark button inside its frame, on the panel moved into the panel area.
    EXPECT_EQ(main.btnCPUbeginbenchmark.widget()->mapTo(window, QPoint(0, 0)), QPoint(225 + 96 + 8, 87 + 176 + 16));
    EXPECT_EQ(main.btnCPUbeginbenchmark.widget()->size(), QSize(153, 73));
}

TEST_F(MainWindow, CpuPanelIconIsTheHeadingIconsPictureObject)
{
    ASSERT_TRUE(main.imgCPU.picture());
    EXPECT_EQ(main.imgCPUcpu.picture().get(), main.imgCPU.picture().get());

    click(main.btnCPUBenchmark);
    const QImage screen = screenOf(main);
    EXPECT_TRUE(showsPicture(screen, {10, 47}, main.imgCPU.picture())) << "the heading icon";
    // At its natural size, 41 x 37, at (0, 240) twips on the panel.
    EXPECT_TRUE(showsPicture(screen, {225, 87 + 16}, main.imgCPUcpu.picture())) << "the panel's icon";
}

TEST_F(MainWindow, LoadLeavesTheWelcomePanelInFrontAndTheExitIconAboveTheButtonRow)
{
    const QList<QWidget*> order = stacking(main.clientWidget());
    ASSERT_GE(order.size(), 2);
    EXPECT_EQ(order.back(), main.pctTest(0).widget());
    EXPECT_EQ(order[order.size() - 2], main.Image1.widget());
    EXPECT_EQ(panelAt(main, kPanelArea.center()), 0);

    const QImage screen = screenOf(main);
    EXPECT_TRUE(showsPicture(screen, {445, 402}, corvane::art::exitDoor()));
    // The welcome panel: the logo and the two texts.
    EXPECT_TRUE(showsPicture(screen, {225 + 10, 87 + 5}, corvane::art::wrench32()));
    EXPECT_GT(inkIn(screen, QRect(280, 92, 261, 31), kBlack), 150) << "the welcome line";
    EXPECT_GT(inkIn(screen, QRect(280, 137, 286, 146), kBlack), 1000) << "the instructions";
    EXPECT_EQ(inkIn(screen, QRect(280, 283, 286, 90), kBlack), 0) << "nothing below the instructions";
    EXPECT_EQ(main.lbl0Instruction.caption().count(QStringLiteral(".  ")), 3)
        << "two blanks after each full stop inside the text";
    EXPECT_FALSE(main.lbl0Instruction.caption().endsWith(QLatin1Char(' ')));
}

TEST_F(MainWindow, SelectorColumnShowsItsIconsHeadingsAndTreeLines)
{
    const QImage screen = screenOf(main);
    EXPECT_TRUE(showsPicture(screen, {10, 47}, corvane::art::cpuChip()));
    EXPECT_TRUE(showsPicture(screen, {10, 167}, corvane::art::videoCard()));
    EXPECT_TRUE(showsPicture(screen, {10, 322}, corvane::art::memoryChip()));

    // The headings in bold: wider ink than the same text in the regular weight.
    for (const fk::Label* heading : {&main.lblCPUTesting, &main.lblVideoTesting, &main.lblMemoryTesting}) {
        EXPECT_TRUE(heading->font().bold);
        const QRect box = heading->widget()->geometry();
        EXPECT_GT(inkIn(screen, box, kBlack), 100) << heading->caption().toStdString();
    }
    EXPECT_EQ(main.lblCPUTesting.widget()->geometry(), QRect(55, 57, 151, 16));

    // A vertical tree line at x 30 under each heading, with stubs towards the buttons.
    for (const auto& [from, to] : {std::pair{88, 141}, std::pair{203, 296}, std::pair{363, 416}})
        for (int y = from; y <= to; ++y)
            ASSERT_EQ(pixel(screen, 30, y), kBlack) << "tree line at row " << y;
    for (const int y : {102, 142, 217, 257, 297, 377, 417})
        for (int x = 30; x < 60; ++x)
            ASSERT_EQ(pixel(screen, x, y), kBlack) << "stub at row " << y << ", column " << x;
    EXPECT_NE(pixel(screen, 30, 170), kBlack) << "no line between the groups";
}

TEST_F(MainWindow, SeparatorsShowAsEtchedLines)
{
    const QImage screen = screenOf(main);
    // Between the selector column and the panel area: grey over the left half of a white
    // line two pixels wide.
    for (int y = 38; y < 432; ++y) {
        ASSERT_EQ(pixel(screen, 220, y), kGrey) << "row " << y;
        ASSERT_EQ(pixel(screen, 221, y), kWhite) << "row " << y;
    }
    EXPECT_NE(pixel(screen, 222, 200), kWhite);
    // The strip's separators.
    for (const auto& [x, from, to] : {std::tuple{320, 38, 56}, std::tuple{410, 38, 56}, std::tuple{485, 38, 56},
                                      std::tuple{355, 58, 76}, std::tuple{445, 58, 76}})
        for (int y = from; y <= to; ++y) {
            ASSERT_EQ(pixel(screen, x, y), kGrey) << "column " << x << ", row " << y;
            ASSERT_EQ(pixel(screen, x + 1, y), kWhite) << "column " << x + 1 << ", row " << y;
        }
    for (int x = 225; x < 570; ++x) {
        ASSERT_EQ(pixel(screen, x, 82), kGrey) << "column " << x;
        ASSERT_EQ(pixel(screen, x, 83), kWhite) << "column " << x;
    }
}

TEST_F(MainWindow, StripLabelsShowTheirWholeTextBetweenTheSeparators)
{
    const QImage screen = screenOf(main);
    const QList<QPoint> laidOut = {{230, 42}, {325, 42}, {415, 42}, {490, 42}, {275, 62}, {360, 62}, {450, 62}};
    const QList<int> rightLimit = {320, 410, 485, 577, 355, 445, 577};
    for (int i = 0; i < 7; ++i) {
        const fk::Label& label = main.lblSelected(static_cast<std::int16_t>(i));
        const QRect box = label.widget()->geometry();
        EXPECT_EQ(box.topLeft(), laidOut[i]) << "strip label " << i;
        const QFontMetrics metrics(label.widget()->font().resolve(fk::toQFont(label.font())));
        EXPECT_GE(box.width(), metrics.horizontalAdvance(label.caption())) << "strip label " << i;
        EXPECT_LE(box.right(), rightLimit[i]) << "strip label " << i << " runs into the next separator";
        // One line of text: all ink in the label's rows.
        EXPECT_GT(inkIn(screen, box, kBlack), 100) << "strip label " << i;
    }
    EXPECT_EQ(main.lblSelected(2).caption(), QStringLiteral("Video Stability"));
    EXPECT_EQ(main.lblSelected(6).caption(), QStringLiteral("Memory Benchmark"));
}

TEST_F(MainWindow, HeadingsAndStripLabelsReadInFull)
{
    // What the window shows in each label's box is the label as drawn on its own: no
    // other control (the empty test panels lie near the headings) hides any of its text.
    std::vector<const fk::Label*> labels = {&main.lblCPUTesting, &main.lblVideoTesting, &main.lblMemoryTesting};
    for (int i = 0; i <= main.lblSelected.ubound(); ++i)
        labels.push_back(&main.lblSelected(static_cast<std::int16_t>(i)));
    const QImage screen = screenOf(main).convertToFormat(QImage::Format_RGB32);
    for (const fk::Label* label : labels) {
        const QRect box = label->widget()->geometry();
        const QImage alone = label->widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_GT(inkIn(alone, alone.rect(), kBlack), 100) << label->caption().toStdString();
        EXPECT_EQ(screen.copy(box), alone) << label->caption().toStdString() << " is partly hidden";
    }
}

TEST_F(MainWindow, CpuPanelOptionsAreOneGroupStartingAtInteger)
{
    click(main.btnCPUBenchmark);
    const std::vector<fk::OptionButton*> options = {&main.opnCPUbenchint, &main.opnCPUbenchlongint,
                                                    &main.opnCPUbenchshort, &main.opnCPUbenchdouble};
    auto selected = [&] {
        QString s;
        for (const fk::OptionButton* o : options)
            s += o->value() ? QLatin1Char('x') : QLatin1Char('-');
        return s;
    };
    EXPECT_EQ(selected(), QStringLiteral("x---"));
    EXPECT_EQ(main.opnCPUbenchint.caption(), QStringLiteral("Integer"));
    EXPECT_EQ(main.opnCPUbenchshort.caption(), QStringLiteral("Single Precision"));
    click(main.opnCPUbenchshort);
    EXPECT_EQ(selected(), QStringLiteral("--x-"));
    click(main.opnCPUbenchdouble);
    EXPECT_EQ(selected(), QStringLiteral("---x"));
    click(main.opnCPUbenchlongint);
    EXPECT_EQ(selected(), QStringLiteral("-x--"));
    click(main.opnCPUbenchint);
    EXPECT_EQ(selected(), QStringLiteral("x---"));

    // The result line in blue, bold, centred over the panel's width.
    const QImage screen = screenOf(main);
    const QRect line = main.lblCPUbenchresult.widget()->geometry().translated(kPanelArea.topLeft());
    EXPECT_EQ(line, QRect(225, 87 + 72, 329, 33));
    int leftmost = line.right(), rightmost = line.left();
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = line.left(); x <= line.right(); ++x)
            if (pixel(screen, x, y) == 0x0000FF) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
    ASSERT_LT(leftmost, rightmost) << "no blue text";
    EXPECT_LE(std::abs((leftmost - line.left()) - (line.right() - rightmost)), 3) << "centred";
    EXPECT_TRUE(main.lblCPUbenchresult.font().bold);
}

} // namespace
