#include "frmStartup.h"

#include "artwork.h"
#include "frmMain.h"

namespace corvane {

frmStartup::frmStartup()
    : Form({.caption = {},
            .clientWidth = 3885,
            .clientHeight = 1230,
            .borderStyle = fk::BorderStyle::FixedNoTitle,
            .backColor = 0xFF8000,
            .scaleMode = fk::ScaleMode::Pixels,
            .centered = true,
            .showInTaskbar = false,
            .icon = art::wrench32()})
{
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

void frmStartup::Form_Load()
{
    // The black copy takes the white title's text and font, and lies one pixel up and to
    // the left of it, behind it.
    lblTitle2.setCaption(lblTitle1.caption());
    lblTitle2.setFontName(lblTitle1.font().name);
    lblTitle2.setFontSize(lblTitle1.font().size);
    lblTitle2.setFontBold(lblTitle1.font().bold);
    lblTitle2.setForeColor(0x000000);
    lblTitle2.move(lblTitle1.left() - 1, lblTitle1.top() - 1);
    lblTitle1.zOrder();
    // The window has no caption of its own; assistive technology reads the title it shows.
    windowWidget()->setAccessibleName(lblTitle1.caption());
    show();
}

void frmStartup::Timer1_Timer()
{
    // The main window is on screen, its whole load done, before the splash goes.
    fk::formInstance<frmMain>().show();
    unload();
}

} // namespace corvane
