#pragma once

#include "artwork.h"
#include "highlight_button.h"
#include "hosting/hosted_control.h"
#include "com/variant.h"
#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/image.h"
#include "forms/label.h"
#include "forms/line.h"
#include "forms/option_button.h"
#include "forms/picturebox.h"
#include "forms/cursor.h"

#include <cstdint>

namespace corvane {

// The main window: no title bar of the window system; the program paints its own on
// pctTitle, by which the window is dragged. Below it, a selector column of seven tests on
// the left and, on the right, a panel area with a strip of labels that names the chosen
// test. Choosing a test raises its panel over the others; only the CPU benchmark panel has
// contents in this release.
class frmMain : public fk::Form {
public:
    frmMain();

    // The controls, as laid out, in the order they are created: a control declared later
    // lies in front of the ones before it.
    fk::PictureBox pctTitle{*this, {.rect = {0, 0, 7695, 495},
                                    .backColor = 0xCD631D,
                                    .scaleMode = fk::ScaleMode::Pixels,
                                    .tabIndex = 38}};
    fk::Image Image2{pctTitle, {.rect = {240, 120, 255, 255}, .picture = art::wrench16(), .stretch = true}};
    fk::com::HostedControl btnMinimize{*this, {.rect = {7800, 120, 375, 255}, .progId = kHighlightButtonClass, .tabIndex = 39}};
    fk::com::HostedControl btnXClose{*this, {.rect = {8160, 120, 375, 255}, .progId = kHighlightButtonClass, .tabIndex = 40}};

    // The selector column: three headings with their icons, the tree lines and the seven
    // test buttons.
    fk::Image imgCPU{*this, {.rect = {150, 705, 615, 555}, .picture = art::cpuChip()}};
    fk::Label lblCPUTesting{*this, {.rect = {825, 855, 2265, 240},
                                    .caption = QStringLiteral("CPU Testing"),
                                    .font = kHeadingFont}};
    fk::Image imgVideo{*this, {.rect = {150, 2505, 645, 525}, .picture = art::videoCard()}};
    fk::Label lblVideoTesting{*this, {.rect = {900, 2655, 1740, 315},
                                      .caption = QStringLiteral("Video Testing"),
                                      .font = kHeadingFont}};
    fk::Image imgMemory{*this, {.rect = {150, 4830, 735, 570}, .picture = art::memoryChip()}};
    fk::Label lblMemoryTesting{*this, {.rect = {975, 4980, 2115, 315},
                                       .caption = QStringLiteral("Memory Testing"),
                                       .font = kHeadingFont}};

    fk::Line Line1{*this, {.x1 = 450, .y1 = 1305, .x2 = 450, .y2 = 2130}};
    fk::Line Line2{*this, {.x1 = 450, .y1 = 1530, .x2 = 900, .y2 = 1530}};
    fk::Line Line3{*this, {.x1 = 450, .y1 = 2130, .x2 = 900, .y2 = 2130}};
    fk::Line Line4{*this, {.x1 = 450, .y1 = 3030, .x2 = 450, .y2 = 4455}};
    fk::Line Line5{*this, {.x1 = 450, .y1 = 3255, .x2 = 900, .y2 = 3255}};
    fk::Line Line6{*this, {.x1 = 450, .y1 = 3855, .x2 = 900, .y2 = 3855}};
    fk::Line Line7{*this, {.x1 = 450, .y1 = 4455, .x2 = 900, .y2 = 4455}};
    fk::Line Line8{*this, {.x1 = 450, .y1 = 5430, .x2 = 450, .y2 = 6255}};
    fk::Line Line9{*this, {.x1 = 450, .y1 = 5655, .x2 = 900, .y2 = 5655}};
    fk::Line Line10{*this, {.x1 = 450, .y1 = 6255, .x2 = 900, .y2 = 6255}};

    fk::com::HostedControl btnCPUburnIn{*this, {.rect = {960, 1320, 1455, 495}, .progId = kHighlightButtonClass, .tabIndex = 20}};
    fk::com::HostedControl btnCPUBenchmark{*this,
                                           {.rect = {960, 1920, 1455, 495}, .progId = kHighlightButtonClass, .tabIndex = 21}};
    fk::com::HostedControl btnVideoStability{*this,
                                             {.rect = {960, 3000, 2175, 495}, .progId = kHighlightButtonClass, .tabIndex = 22}};
    fk::com::HostedControl btn3DBenchmark{*this, {.rect = {960, 3600, 1215, 495}, .progId = kHighlightButtonClass, .tabIndex = 23}};
    fk::com::HostedControl btn2DBenchmark{*this, {.rect = {960, 4200, 1215, 495}, .progId = kHighlightButtonClass, .tabIndex = 24}};
    fk::com::HostedControl btnMemoryStability{*this,
                                              {.rect = {960, 5400, 1575, 495}, .progId = kHighlightButtonClass, .tabIndex = 25}};
    fk::com::HostedControl btnMemoryBench{*this, {.rect = {960, 6000, 1575, 495}, .progId = kHighlightButtonClass, .tabIndex = 26}};

    // The etched line between the selector column and the panel area: the grey line is
    // created after the wider white one, so it lies over its left half.
    fk::Line Line11{*this, {.x1 = 3300, .y1 = 555, .x2 = 3300, .y2 = 6480, .color = 0xFFFFFF, .width = 2}};
    fk::Line Line12{*this, {.x1 = 3300, .y1 = 555, .x2 = 3300, .y2 = 6480, .color = 0xC0C0C0, .width = 1}};

    // The strip that names the chosen test, one label per test index. The labels are sized
    // to their text; the stored widths are where they start out.
    fk::ControlArray<fk::Label> lblSelected{*this, {
        fk::LabelProps{.rect = {3450, 630, 1245, 195}, .caption = QStringLiteral("CPU math burn-in"), .autoSize = true},
        fk::LabelProps{.rect = {4875, 630, 1185, 195}, .caption = QStringLiteral("Benchmark CPU"), .autoSize = true},
        fk::LabelProps{.rect = {6225, 630, 990, 195}, .caption = QStringLiteral("Video Stability"), .autoSize = true},
        fk::LabelProps{.rect = {7350, 630, 1065, 195}, .caption = QStringLiteral("3D Benchmark"), .autoSize = true},
        fk::LabelProps{.rect = {4125, 930, 1065, 195}, .caption = QStringLiteral("2D Benchmark"), .autoSize = true},
        fk::LabelProps{.rect = {5400, 930, 1140, 195}, .caption = QStringLiteral("Memory Stability"), .autoSize = true},
        fk::LabelProps{.rect = {6750, 930, 1410, 195}, .caption = QStringLiteral("Memory Benchmark"), .autoSize = true},
    }};

    // The strip's etched separators, white first so that each grey line lies over its
    // white twin.
    fk::ControlArray<fk::Line> Line13{*this, {
        fk::LineProps{.x1 = 4800, .y1 = 555, .x2 = 4800, .y2 = 855, .color = 0xFFFFFF, .width = 2},
        fk::LineProps{.x1 = 6150, .y1 = 555, .x2 = 6150, .y2 = 855, .color = 0xFFFFFF, .width = 2},
        fk::LineProps{.x1 = 7275, .y1 = 555, .x2 = 7275, .y2 = 855, .color = 0xFFFFFF, .width = 2},
        fk::LineProps{.x1 = 5325, .y1 = 855, .x2 = 5325, .y2 = 1155, .color = 0xFFFFFF, .width = 2},
        fk::LineProps{.x1 = 6675, .y1 = 855, .x2 = 6675, .y2 = 1155, .color = 0xFFFFFF, .width = 2},
        fk::LineProps{.x1 = 3375, .y1 = 1230, .x2 = 8550, .y2 = 1230, .color = 0xFFFFFF, .width = 2},
    }};
    fk::ControlArray<fk::Line> Line14{*this, {
        fk::LineProps{.x1 = 4800, .y1 = 555, .x2 = 4800, .y2 = 855, .color = 0xC0C0C0, .width = 1},
        fk::LineProps{.x1 = 6150, .y1 = 555, .x2 = 6150, .y2 = 855, .color = 0xC0C0C0, .width = 1},
        fk::LineProps{.x1 = 7275, .y1 = 555, .x2 = 7275, .y2 = 855, .color = 0xC0C0C0, .width = 1},
        fk::LineProps{.x1 = 5325, .y1 = 855, .x2 = 5325, .y2 = 1155, .color = 0xC0C0C0, .width = 1},
        fk::LineProps{.x1 = 6675, .y1 = 855, .x2 = 6675, .y2 = 1155, .color = 0xC0C0C0, .width = 1},
        fk::LineProps{.x1 = 3375, .y1 = 1230, .x2 = 8550, .y2 = 1230, .color = 0xC0C0C0, .width = 1},
    }};

    // The panels. pctTest(0), the welcome panel, gives the panel area; the test panels lie
    // as small squares in the window's colour until a selection moves one into the area.
    fk::ControlArray<fk::PictureBox> pctTest{*this, {
        fk::PictureBoxProps{.rect = {3375, 1305, 5190, 4365}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {2250, 675, 240, 240}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {3480, 1320, 5040, 4320}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {1425, 600, 315, 315}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {1080, 600, 240, 240}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {2625, 600, 240, 315}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {3000, 675, 240, 240}, .backColor = 0xE0E0E0},
        fk::PictureBoxProps{.rect = {2925, 855, 315, 315}, .backColor = 0xE0E0E0},
    }};

    // The welcome panel.
    fk::Image img0Logo{pctTest(0), {.rect = {150, 75, 480, 480}, .picture = art::wrench32()}};
    fk::Label lbl0Welcome{pctTest(0), {.rect = {825, 75, 3915, 465},
                                       .caption = QStringLiteral("Welcome to Corvane, a complete core system "
                                                                 "stability tester and benchmark.")}};
    fk::Label lbl0Instruction{
        pctTest(0),
        {.rect = {825, 750, 4290, 2190},
         .caption = QStringLiteral("This program is designed to aid in determining overclocked component "
                                   "stability.  Usually, the only overclockable components in your computer "
                                   "are the CPU (processor), your Video Card, and RAM (Random Access Memory).  "
                                   "To the left are these three categories, and benchmarking and testing "
                                   "subcategories.  Please choose your test or benchmark.")}};

    // The CPU benchmark panel. Its four option buttons share the panel, so they form one
    // group.
    fk::Label lblCPUdesc{pctTest(2), {.rect = {840, 240, 3735, 735},
                                      .caption = QStringLiteral("This subcategory benchmarks your processor's raw "
                                                                "speed, and gives a score based on how your "
                                                                "processor performs."),
                                      .tabIndex = 30}};
    fk::Image imgCPUcpu{pctTest(2), {.rect = {0, 240, 735, 615}}};
    fk::Label lblCPUbenchresult{pctTest(2), {.rect = {0, 1080, 4935, 495},
                                             .caption = QStringLiteral("Benchmark score: Benchmark not run."),
                                             .foreColor = 0xFF0000,
                                             .font = {QStringLiteral("MS Sans Serif"), 9.75, true, false},
                                             .alignment = fk::Alignment::Center,
                                             .tabIndex = 31}};
    fk::OptionButton opnCPUbenchint{pctTest(2), {.rect = {2040, 1560, 1335, 255},
                                                 .caption = QStringLiteral("Integer"),
                                                 .backColor = 0xE0E0E0,
                                                 .value = true,
                                                 .tabIndex = 32}};
    fk::OptionButton opnCPUbenchlongint{pctTest(2), {.rect = {2040, 1800, 2055, 255},
                                                     .caption = QStringLiteral("Long Integer"),
                                                     .backColor = 0xE0E0E0,
                                                     .tabIndex = 33}};
    fk::Frame Frame1{pctTest(2), {.rect = {1440, 2640, 2535, 1455}, .backColor = 0xE0E0E0, .tabIndex = 34}};
    fk::com::HostedControl btnCPUbeginbenchmark{Frame1,
                                                {.rect = {120, 240, 2295, 1095}, .progId = kHighlightButtonClass, .tabIndex = 35}};
    fk::OptionButton opnCPUbenchshort{pctTest(2), {.rect = {2040, 2040, 1935, 255},
                                                   .caption = QStringLiteral("Single Precision"),
                                                   .backColor = 0xE0E0E0,
                                                   .tabIndex = 36}};
    fk::OptionButton opnCPUbenchdouble{pctTest(2), {.rect = {2040, 2280, 2175, 255},
                                                    .caption = QStringLiteral("Double Precision"),
                                                    .backColor = 0xE0E0E0,
                                                    .tabIndex = 37}};

    // The button row below the panel area.
    fk::com::HostedControl btnIntro{*this, {.rect = {3480, 5880, 975, 495}, .progId = kHighlightButtonClass, .tabIndex = 29}};
    fk::com::HostedControl btnAbout{*this, {.rect = {4680, 5880, 1815, 495}, .progId = kHighlightButtonClass, .tabIndex = 27}};
    fk::com::HostedControl btnExit{*this, {.rect = {6960, 5880, 1575, 495}, .progId = kHighlightButtonClass, .tabIndex = 28}};
    fk::Image Image1{*this, {.rect = {6675, 6030, 240, 240}, .picture = art::exitDoor()}};

protected:
    void Form_Load() override;

private:
    static inline const fk::FontSpec kHeadingFont{QStringLiteral("MS Sans Serif"), 8.25, true, false};

    void DrawTitleBar();
    void SelectTest(const std::int16_t& index);
    void pctTitle_MouseDown(short button, short shift, float x, float y);
    void pctTitle_MouseUp(short button, short shift, float x, float y);
    void btnMinimize_Click();
    void btnXClose_Click();
    void btnExit_Click();
    void btnCPUBurnIn_Click();
    void btnCPUBenchmark_Click();
    void btnVideoStability_Click();
    void btn3DBenchmark_Click();
    void btn2DBenchmark_Click();
    void btnMemoryStability_Click();
    void btnMemoryBench_Click();
    void lblSelected_Click(std::int16_t Index);
    void btnIntro_Click();
    void btnCPUbeginbenchmark_Click();
    void btnAbout_Click();

    fk::POINT ptCursorPos;
    fk::com::Bool16 blnTitleMouseUp = fk::com::Bool16::False;
};

} // namespace corvane
