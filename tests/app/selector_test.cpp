// The test selector of the main window: the seven selector buttons and the strip labels
// colour the chosen test's label and raise its panel onto the panel area; Intro brings the
// welcome panel back.
#include "main_window_driver.h"

#include <array>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace main_window;
using corvane::frmMain;

namespace {

constexpr fk::Color kBlack = 0x000000;
constexpr fk::Color kLightBlue = 0xFF0000;

// The strip and the panel area, in window pixels: what the selector changes. (The
// highlight buttons change their look with the mouse, whatever the selector does.)
const QRect kStripAndPanels(222, 37, 355, 341);

// Everything the selector changes, as a user would see it.
struct SelectorState {
    std::array<fk::Color, 7> labelColours{};
    std::array<QRect, 8> panelRects{};
    int panelInFront = -1;      // the panel seen at the centre of the panel area
    QList<QWidget*> stacking;   // the window's children from back to front

    bool sameLookAs(const SelectorState& o) const
    {
        return labelColours == o.labelColours && panelRects == o.panelRects && panelInFront == o.panelInFront;
    }
};

class Selector : public ::testing::Test {
protected:
    RecordedErrors errors;
    frmMain& main = fk::formInstance<frmMain>();

    const std::array<fk::com::HostedControl*, 7> buttons = {
        &main.btnCPUburnIn,       &main.btnCPUBenchmark,    &main.btnVideoStability, &main.btn3DBenchmark,
        &main.btn2DBenchmark,     &main.btnMemoryStability, &main.btnMemoryBench,
    };

    fk::Label& strip(int index) { return main.lblSelected(static_cast<std::int16_t>(index)); }
    fk::PictureBox& panel(int index) { return main.pctTest(static_cast<std::int16_t>(index)); }

    SelectorState state()
    {
        SelectorState s;
        for (int i = 0; i < 7; ++i)
            s.labelColours[static_cast<std::size_t>(i)] = strip(i).foreColor();
        for (int i = 0; i < 8; ++i)
            s.panelRects[static_cast<std::size_t>(i)] = panel(i).widget()->geometry();
        s.panelInFront = panelAt(main, kPanelArea.center());
        s.stacking = stacking(main.clientWidget());
        return s;
    }

    // The state after choosing test k, whichever way it was chosen.
    void expectChosen(int k)
    {
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(strip(i).foreColor(), i == k ? kLightBlue : kBlack) << "strip label " << i << ", test " << k;
        fk::PictureBox& chosen = panel(k + 1);
        EXPECT_EQ(chosen.widget()->geometry(), kPanelArea) << "test " << k;
        EXPECT_FLOAT_EQ(chosen.left(), 3375);
        EXPECT_FLOAT_EQ(chosen.top(), 1305);
        EXPECT_FLOAT_EQ(chosen.width(), 5190);
        EXPECT_FLOAT_EQ(chosen.height(), 4365);
        EXPECT_TRUE(inFront(chosen)) << "test " << k;
        EXPECT_EQ(panelAt(main, kPanelArea.center()), k + 1) << "test " << k;
        EXPECT_EQ(panel(0).widget()->geometry(), kPanelArea) << "the welcome panel never moves";
    }
};

TEST_F(Selector, EachSelectorButtonLightsItsStripLabelAndRaisesItsPanel)
{
    ASSERT_EQ(panelAt(main, kPanelArea.center()), 0) << "the load leaves the welcome panel in front";
    for (int k = 0; k < 7; ++k) {
        click(*buttons[static_cast<std::size_t>(k)]);
        expectChosen(k);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Selector, EachStripLabelLightsItselfAndRaisesItsPanel)
{
    for (int k = 6; k >= 0; --k) {
        click(strip(k));
        expectChosen(k);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Selector, StripLabelAndSelectorButtonGiveTheSameResult)
{
    for (int k = 0; k < 7; ++k) {
        click(strip(k));
        const SelectorState byLabel = state();
        // Intro in between undoes the highlight and the raise but moves no panel.
        click(main.btnIntro);
        ASSERT_FALSE(state().sameLookAs(byLabel)) << "test " << k;
        click(*buttons[static_cast<std::size_t>(k)]);
        EXPECT_TRUE(state().sameLookAs(byLabel)) << "test " << k;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(Selector, ChoosingTheSameTestTwiceChangesNothing)
{
    for (int k = 0; k < 7; ++k) {
        // The benchmark panel holds a highlight button, which paints its face on its own
        // timer: give it time to settle before each look.
        click(*buttons[static_cast<std::size_t>(k)]);
        pump(50);
        const SelectorState once = state();
        const QImage seenOnce = screenOf(main).copy(kStripAndPanels);
        click(*buttons[static_cast<std::size_t>(k)]);
        pump(50);
        const SelectorState twice = state();
        EXPECT_TRUE(twice.sameLookAs(once)) << "test " << k;
        EXPECT_EQ(twice.stacking, once.stacking) << "test " << k;
        EXPECT_EQ(screenOf(main).copy(kStripAndPanels), seenOnce) << "test " << k;
        click(strip(k));
        EXPECT_EQ(state().stacking, once.stacking) << "the strip label, test " << k;
    }
}

TEST_F(Selector, CpuBenchmarkPanelComesForwardFromBehindTheWelcomePanel)
{
    // As laid out, the CPU benchmark panel lies wholly inside the panel area, behind the
    // welcome panel.
    fk::PictureBox& cpu = panel(2);
    EXPECT_EQ(cpu.widget()->geometry(), QRect(232, 88, 336, 288));
    EXPECT_EQ(panelAt(main, QPoint(400, 230)), 0);
    const QPoint frameBefore = main.Frame1.widget()->mapTo(main.clientWidget(), QPoint(0, 0));

    click(main.btnCPUBenchmark);
    EXPECT_EQ(cpu.widget()->geometry(), kPanelArea);
    EXPECT_EQ(main.Frame1.widget()->mapTo(main.clientWidget(), QPoint(0, 0)), frameBefore - QPoint(7, 1))
        << "the contents shift 105 twips left and 15 up";
    EXPECT_EQ(panelAt(main, QPoint(400, 230)), 2);

    // The panel shows its contents where the welcome text was: the score line, in blue.
    const QImage screen = screenOf(main);
    const QRect scoreLine = main.lblCPUbenchresult.widget()->geometry().translated(kPanelArea.topLeft());
    int blue = 0;
    for (int y = scoreLine.top(); y <= scoreLine.bottom(); ++y)
        for (int x = scoreLine.left(); x <= scoreLine.right(); ++x)
            blue += pixel(screen, x, y) == 0x0000FF;
    EXPECT_GT(blue, 50);
}

TEST_F(Selector, IntroBringsBackTheWelcomePanelAndLeavesTheOthersInTheArea)
{
    for (int k = 0; k < 7; ++k)
        click(*buttons[static_cast<std::size_t>(k)]);
    const QImage welcome = [&] {
        return panel(0).widget()->grab().toImage();
    }();

    click(main.btnIntro);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(strip(i).foreColor(), kBlack) << "strip label " << i;
    EXPECT_TRUE(inFront(panel(0)));
    EXPECT_EQ(panelAt(main, kPanelArea.center()), 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(panel(i).widget()->geometry(), kPanelArea) << "panel " << i;
    EXPECT_EQ(screenOf(main).copy(kPanelArea), welcome) << "the welcome panel is what the panel area shows";

    // A panel chosen before comes forward again without moving.
    click(main.btnMemoryStability);
    expectChosen(5);
    EXPECT_TRUE(errors.empty());
}

TEST_F(Selector, StripLabelsAreNotHighlightedUntilATestIsChosen)
{
    const QImage screen = screenOf(main);
    for (int i = 0; i < 7; ++i) {
        const QRect box = strip(i).widget()->geometry();
        int black = 0, blue = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                black += pixel(screen, x, y) == 0x000000;
                blue += pixel(screen, x, y) == 0x0000FF;
            }
        EXPECT_GT(black, 20) << "strip label " << i;
        EXPECT_EQ(blue, 0) << "strip label " << i;
    }
    click(main.btnVideoStability);
    const QImage after = screenOf(main);
    const QRect chosen = strip(2).widget()->geometry();
    int blue = 0, black = 0;
    for (int y = chosen.top(); y <= chosen.bottom(); ++y)
        for (int x = chosen.left(); x <= chosen.right(); ++x) {
            blue += pixel(after, x, y) == 0x0000FF;
            black += pixel(after, x, y) == 0x000000;
        }
    EXPECT_GT(blue, 20);
    EXPECT_EQ(black, 0);
}

} // namespace
