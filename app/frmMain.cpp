#include "frmMain.h"

#include "forms/end_program.h"
#include "forms/event_pump.h"
#include "forms/runtime_error.h"
#include "platform/window_hints.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace corvane {

using fk::com::Bool16;

namespace {

// Conversion to a 32-bit integer: to the nearest whole number, halves to the even
// neighbour; a value out of range is an overflow.
std::int32_t toLong(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
        throw fk::RuntimeError::overflow();
    return static_cast<std::int32_t>(rounded);
}

// 32-bit signed arithmetic that raises an overflow instead of wrapping.
std::int32_t checked(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw fk::RuntimeError::overflow();
    return static_cast<std::int32_t>(value);
}

std::int16_t toInteger(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max()))
        throw fk::RuntimeError::overflow();
    return static_cast<std::int16_t>(rounded);
}

} // namespace

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
}

void frmMain::Form_Load()
{
    show();
    fk::doEvents();
    DrawTitleBar();
    btnXClose.set(QStringLiteral("Caption"), "X");
    btnMinimize.set(QStringLiteral("Caption"), "_");
}

void frmMain::DrawTitleBar()
{
    double red = 29, green = 99, blue = 205;
    const std::int32_t columns = toLong(pctTitle.scaleWidth());
    for (std::int32_t x = 1; x <= columns; ++x) {
        if (x % 4 == 0) {
            red += 1;
            green += 1;
            blue += 1;
        }
        pctTitle.line(x, 0, x, pctTitle.scaleHeight(), fk::rgb(toInteger(red), toInteger(green), toInteger(blue)));
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

    btnMinimize.setLeft(btnXClose.left() - btnMinimize.width());
}

void frmMain::pctTitle_MouseDown(short, short, float, float)
{
    blnTitleMouseUp = Bool16::False;
    fk::GetCursorPos(&ptCursorPos);
    const std::int32_t gripX = toLong(std::fabs(left() / 15.0 - ptCursorPos.x));
    const std::int32_t gripY = toLong(std::fabs(top() / 15.0 - ptCursorPos.y));
    do {
        fk::GetCursorPos(&ptCursorPos);
        setLeft(checked(std::int64_t{checked(std::int64_t{ptCursorPos.x} - gripX)} * 15));
        setTop(checked(std::int64_t{checked(std::int64_t{ptCursorPos.y} - gripY)} * 15));
        fk::doEvents();
        // The release may never reach the title bar (focus taken away mid-drag, or the
        // pointer grabbed elsewhere); a drag with no button held is over all the same.
    } while (blnTitleMouseUp != Bool16::True && fk::platform::mouseButtonsHeld());
}

void frmMain::pctTitle_MouseUp(short, short, float, float) { blnTitleMouseUp = Bool16::True; }

void frmMain::btnMinimize_Click() { setWindowState(fk::WindowState::Minimized); }

void frmMain::btnXClose_Click() { fk::endProgram(); }

void frmMain::btnExit_Click() { fk::endProgram(); }

} // namespace corvane
