#pragma once

#include "artwork.h"
#include "com/hosted_control.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/picturebox.h"
#include "platform/cursor.h"
#include "com/variant.h"

namespace corvane {

// The main window: no title bar of the window system; the program paints its own on
// pctTitle, by which the window is dragged.
class frmMain : public fk::Form {
public:
    frmMain();

    static inline const QString kButtonClass = QStringLiteral("Lumakey.btn");

    // The controls, as laid out.
    fk::PictureBox pctTitle{*this, {.rect = {0, 0, 7695, 495},
                                    .backColor = 0xCD631D,
                                    .scaleMode = fk::ScaleMode::Pixels,
                                    .tabIndex = 38}};
    fk::Image Image2{pctTitle, {.rect = {240, 120, 255, 255}, .picture = art::wrench16(), .stretch = true}};
    fk::com::HostedControl btnMinimize{*this, {.rect = {7800, 120, 375, 255}, .progId = kButtonClass, .tabIndex = 39}};
    fk::com::HostedControl btnXClose{*this, {.rect = {8160, 120, 375, 255}, .progId = kButtonClass, .tabIndex = 40}};

protected:
    void Form_Load() override;

private:
    void DrawTitleBar();
    void pctTitle_MouseDown(short button, short shift, float x, float y);
    void pctTitle_MouseUp(short button, short shift, float x, float y);
    void btnMinimize_Click();
    void btnXClose_Click();
    void btnExit_Click();

    fk::POINT ptCursorPos;
    fk::com::Bool16 blnTitleMouseUp = fk::com::Bool16::False;
};

} // namespace corvane
