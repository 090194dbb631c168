#pragma once

// A small window that hosts highlight buttons the way the program's windows do: created
// through the component model by ProgID, from the library in the build's folder.
#include "com/activation.h"
#include "hosting/hosted_control.h"
#include "forms/form.h"
#include "support/test_support.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace testing_support {

inline constexpr const char* kButtonManifest = R"(<manifest>
  <library file="Lumakey.ocx">
    <class id="{8DDE02C5-207C-4592-8B6F-0F84159237E0}" progid="Lumakey.btn"/>
  </library>
</manifest>)";

inline void useButtonManifest() { fk::com::setProgramManifest(kButtonManifest, QStringLiteral(CORVANE_BUILD_BIN)); }

class ButtonHost : public fk::Form {
public:
    ButtonHost()
        : Form({.clientWidth = 6000, .clientHeight = 3000, .borderStyle = fk::BorderStyle::FixedNoTitle,
                .centered = false})
    {
    }
    // 100 x 33 pixels each, side by side with no gap.
    fk::com::HostedControl first{*this, {.rect = {300, 300, 1500, 495}, .progId = QStringLiteral("Lumakey.btn")}};
    fk::com::HostedControl second{*this, {.rect = {1800, 300, 1500, 495}, .progId = QStringLiteral("Lumakey.btn")}};

    void showAt(int x, int y)
    {
        move(x * 15.0, y * 15.0);
        show();
        if (!QTest::qWaitForWindowExposed(clientWidget()))
            ADD_FAILURE() << "the host window was never shown";
    }
};

// What the user sees of a hosted control now.
inline QImage screenOf(const fk::com::HostedControl& control) { return control.widget()->grab().toImage(); }

// The widget that takes the mouse: the face, deepest under the control's centre.
inline QWidget* faceOf(const fk::com::HostedControl& control)
{
    QWidget* site = control.widget();
    QWidget* face = site->childAt(site->rect().center());
    return face ? face : site;
}

} // namespace testing_support
