#pragma once

// A small window that hosts highlight buttons the way the program's windows do: created
// through the component model by ProgID (useButtonManifest leads it to the library in the
// build's folder), and how the button looks.
#include "com/activation.h"
#include "hosting/hosted_control.h"
#include "forms/form.h"
#include "platform/pointer_source.h"
#include "support/test_support.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace testing_support {

inline void useButtonManifest() { fk::com::setProgramManifest(buttonManifest(), QStringLiteral(CORVANE_BUILD_BIN)); }

class ButtonHost : public fk::Form {
public:
    ButtonHost()
        : Form({.clientWidth = 6000, .clientHeight = 3000, .borderStyle = fk::BorderStyle::FixedNoTitle,
                .centered = false})
    {
    }
    // 100 x 33 pixels each, side by side with no gap.
    fk::com::HostedControl first{*this, {.rect = {300, 300, 1500, 495}, .progId = kButtonProgId}};
    fk::com::HostedControl second{*this, {.rect = {1800, 300, 1500, 495}, .progId = kButtonProgId}};

    void showAt(int x, int y)
    {
        move(x * 15.0, y * 15.0);
        show();
        if (!QTest::qWaitForWindowExposed(clientWidget()))
            ADD_FAILURE() << "the host window was never shown";
    }
};

// A pointer at rest, followed by a source that hears of no move: only what the program
// itself changes can make a polling button tick.
class RestingPointer : public fk::platform::PointerSource {
public:
    explicit RestingPointer(QPoint at) : at_(at) { fk::platform::replacePointerSource(this); }
    ~RestingPointer() override { fk::platform::replacePointerSource(nullptr); }
    fk::platform::PointerReading read() override { return {at_, false}; }
    bool followsPointer() const override { return true; }

private:
    QPoint at_;
};

// The button's looks: the colours of its face and of its frame (as 0xRRGGBB).
inline constexpr QRgb kIdleFace = 0xE0E0E0;
inline constexpr QRgb kHoverFace = 0x1D63CD;   // 0xCD631D as 0xBBGGRR
inline constexpr QRgb kPressedFace = 0xAAD5FF; // 0xFFD5AA
inline constexpr QRgb kFrame = 0x0080FF;       // 0xFF8000

// Waits for the look to settle: frame pixel and inside pixel as expected.
inline bool looksLike(const fk::com::HostedControl& button, QRgb frame, QRgb inside)
{
    return waitUntil([&] {
        const QImage face = screenOf(button);
        return pixel(face, 0, 0) == frame && pixel(face, 2, 2) == inside;
    }, 1000);
}

} // namespace testing_support
