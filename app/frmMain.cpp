#include "frmMain.h"

#include "cpu_benchmark.h"
#include "frmAbout.h"

#include "core/arithmetic.h"
#include "core/color.h"
#include "forms/end_program.h"
#include "forms/event_pump.h"
#include "core/runtime_error.h"

#include <cstdint>

namespace corvane {

using fk::com::Bool16;

frmMain::frmMain()
    : Form({.caption = {},
            .clientWidth = 8655,
            .clientHeight = 6570,
            .borderStyle = fk::BorderStyle::FixedNoTitle,
            .backColor = 0xE0E0E0,
            .scaleMode = fk::ScaleMode::Twips,
            .centered = true,
            .showInTaskbar = true,
            .icon = {}})
{
    pctTitle.onMouseDown = [this](short b, short s, float x, float y) { pctTitle_MouseDown(b, s, x, y); };
    pctTitle.onMouseUp = [this](short b, short s, float x, float y) { pctTitle_MouseUp(b, s, x, y); };
    btnMinimize.on(QStringLiteral("Click"), [this] { btnMinimize_Click(); });
    btnXClose.on(QStringLiteral("Click"), [this] { btnXClose_Click(); });
    btnCPUburnIn.on(QStringLiteral("Click"), [this] { btnCPUBurnIn_Click(); });
    btnCPUBenchmark.on(QStringLiteral("Click"), [this] { btnCPUBenchmark_Click(); });
    btnVideoStability.on(QStringLiteral("Click"), [this] { btnVideoStability_Click(); });
    btn3DBenchmark.on(QStringLiteral("Click"), [this] { btn3DBenchmark_Click(); });
    btn2DBenchmark.on(QStringLiteral("Click"), [this] { btn2DBenchmark_Click(); });
    btnMemoryStability.on(QStringLiteral("Click"), [this] { btnMemoryStability_Click(); });
    btnMemoryBench.on(QStringLiteral("Click"), [this] { btnMemoryBench_Click(); });
    lblSelected.onClick([this](std::int16_t index) { lblSelected_Click(index); });
    btnCPUbeginbenchmark.on(QStringLiteral("Click"), [this] { btnCPUbeginbenchmark_Click(); });
    btnIntro.on(QStringLiteral("Click"), [this] { btnIntro_Click(); });
    btnAbout.on(QStringLiteral("Click"), [this] { btnAbout_Click(); });
    btnExit.on(QStringLiteral("Click"), [this] { btnExit_Click(); });
}

void frmMain::Form_Load()
{
    show();
    fk::doEvents();
    DrawTitleBar();

    // The layout gives the highlight buttons no caption; a button starts polling the cursor
    // once it has one.
    btnXClose.set(QStringLiteral("Caption"), "X");
    btnMinimize.set(QStringLiteral("Caption"), "_");
    btnCPUbeginbenchmark.set(QStringLiteral("Caption"), "Benchmark");
    btnCPUburnIn.set(QStringLiteral("Caption"), "CPU math burn-in");
    btnCPUBenchmark.set(QStringLiteral("Caption"), "Benchmark CPU");
    btnVideoStability.set(QStringLiteral("Caption"), "Video Stability (Artifact Test)");
    btn3DBenchmark.set(QStringLiteral("Caption"), "3D Benchmark");
    btn2DBenchmark.set(QStringLiteral("Caption"), "2D Benchmark");
    btnMemoryStability.set(QStringLiteral("Caption"), "Memory Stability Test");
    btnMemoryBench.set(QStringLiteral("Caption"), "Memory Benchmark");
    btnAbout.set(QStringLiteral("Caption"), "About Corvane...");
    btnExit.set(QStringLiteral("Caption"), "Exit");
    btnIntro.set(QStringLiteral("Caption"), "Intro");

    Image1.zOrder();
    // One picture object, shown by both images.
    imgCPUcpu.setPicture(imgCPU.picture());
    pctTest(0).zOrder();
}

void frmMain::DrawTitleBar()
{
    double red = 29, green = 99, blue = 205;
    const std::int32_t columns = fk::toLong(pctTitle.scaleWidth());
    for (std::int32_t x = 1; x <= columns; ++x) {
        if (x % 4 == 0) {
            red += 1;
            green += 1;
            blue += 1;
        }
        pctTitle.line(x, 0, x, pctTitle.scaleHeight(), fk::rgb(fk::toInteger(red), fk::toInteger(green), fk::toInteger(blue)));
    }
    pctTitle.setFont({QStringLiteral("Arial"), 10, true, false});
    pctTitle.setForeColor(0x000000);
    pctTitle.box(1, 1, pctTitle.scaleWidth() - 2, pctTitle.scaleHeight() - 2, 0xCD631D);

    const QString title = QStringLiteral("Corvane 1.0 *ALPHA* 3");
    pctTitle.setCurrentX(40);
    pctTitle.setCurrentY(pctTitle.scaleHeight() / 2 - pctTitle.textHeight(QStringLiteral("j")) / 2);
    pctTitle.print(title);
    pctTitle.setCurrentX(41);
    pctTitle.setCurrentY(pctTitle.scaleHeight() / 2 - pctTitle.textHeight(QStringLiteral("j")) / 2 + 1);
    pctTitle.setForeColor(0xFFFFFF);
    pctTitle.print(title);
    // The window has no caption of its own; assistive technology reads the painted title.
    windowWidget()->setAccessibleName(title);

    btnMinimize.setLeft(btnXClose.left() - btnMinimize.width());
}

void frmMain::pctTitle_MouseDown(short, short, float, float)
{
    blnTitleMouseUp = Bool16::False;
    fk::GetCursorPos(&ptCursorPos);
    // The grip is the pointer's signed distance from the window's corner. A press handled
    // late may find the pointer already above or left of the window; a signed grip keeps
    // the window where it is then, and it follows the pointer's movement from there.
    const std::int32_t gripX = fk::toLong(ptCursorPos.x - left() / 15.0);
    const std::int32_t gripY = fk::toLong(ptCursorPos.y - top() / 15.0);
    const auto followCursor = [&] {
        fk::GetCursorPos(&ptCursorPos);
        setLeft(fk::checkedLong(std::int64_t{fk::checkedLong(std::int64_t{ptCursorPos.x} - gripX)} * 15));
        setTop(fk::checkedLong(std::int64_t{fk::checkedLong(std::int64_t{ptCursorPos.y} - gripY)} * 15));
    };
    do {
        followCursor();
        // The pump waits for the pointer's next move or button rather than spin: until then
        // the window has nothing new to follow. After 100 ms it looks anyway, for a release
        // that nothing told of.
        fk::waitForPointer(100);
        // The release may never reach the title bar (focus taken away mid-drag, or the
        // pointer grabbed elsewhere); a drag with no button held is over all the same.
    } while (blnTitleMouseUp != Bool16::True && fk::mouseButtonsHeld());
    // The last move and the release can come in one pump: the window follows that move too,
    // and ends where the pointer let go of it.
    followCursor();
}

void frmMain::pctTitle_MouseUp(short, short, float, float) { blnTitleMouseUp = Bool16::True; }

void frmMain::btnMinimize_Click() { setWindowState(fk::WindowState::Minimized); }

void frmMain::btnXClose_Click() { fk::endProgram(); }

void frmMain::btnExit_Click() { fk::endProgram(); }

// The chosen test's strip label turns light blue and its panel is moved onto the welcome
// panel's rectangle, read afresh each time, and raised. No panel is ever hidden: the chosen
// one covers the others by position and z-order.
void frmMain::SelectTest(const std::int16_t& index)
{
    const std::int16_t last = lblSelected.ubound();
    for (int i = 0; i <= last; ++i)
        lblSelected(static_cast<std::int16_t>(i)).setForeColor(fk::paletteColor(0));
    lblSelected(index).setForeColor(fk::paletteColor(9));

    const float panelLeft = pctTest(0).left();
    const float panelTop = pctTest(0).top();
    const float panelWidth = pctTest(0).width();
    const std::int16_t panel = fk::checkedInteger(std::int32_t{index} + 1);
    const float panelHeight = pctTest(0).height();
    pctTest(panel).move(panelLeft, panelTop, panelWidth, panelHeight);
    pctTest(panel).zOrder();
}

void frmMain::btnCPUBurnIn_Click() { SelectTest(0); }
void frmMain::btnCPUBenchmark_Click() { SelectTest(1); }
void frmMain::btnVideoStability_Click() { SelectTest(2); }
void frmMain::btn3DBenchmark_Click() { SelectTest(3); }
void frmMain::btn2DBenchmark_Click() { SelectTest(4); }
void frmMain::btnMemoryStability_Click() { SelectTest(5); }
void frmMain::btnMemoryBench_Click() { SelectTest(6); }

void frmMain::lblSelected_Click(std::int16_t Index) { SelectTest(Index); }

// Back to the welcome panel, which never moves; the test panels stay where they are, behind
// it.
void frmMain::btnIntro_Click()
{
    const std::int16_t last = lblSelected.ubound();
    for (int i = 0; i <= last; ++i)
        lblSelected(static_cast<std::int16_t>(i)).setForeColor(fk::paletteColor(0));
    pctTest(0).zOrder();
}

// The score is the number of passes that fit into three seconds. After the one pump that
// paints "Benchmarking...", the passes hold the thread: the window neither repaints nor
// reacts until the score is in.
void frmMain::btnCPUbeginbenchmark_Click()
{
    const cpu_benchmark::RunClock clock;
    lblCPUbenchresult.setCaption(QStringLiteral("Benchmarking..."));
    fk::doEvents();
    const cpu_benchmark::OptionReads options{
        .integer = [this] { return opnCPUbenchint.value(); },
        .longInteger = [this] { return opnCPUbenchlongint.value(); },
        .singlePrecision = [this] { return opnCPUbenchshort.value(); },
        .doublePrecision = [this] { return opnCPUbenchdouble.value(); },
    };
    const double passes = cpu_benchmark::runPasses(clock, options);
    lblCPUbenchresult.setCaption(cpu_benchmark::scoreCaption(passes));
}

void frmMain::btnAbout_Click() { fk::formInstance<frmAbout>().show(fk::ShowMode::Modal); }

} // namespace corvane
