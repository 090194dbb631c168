#include "frmAbout.h"

namespace corvane {

frmAbout::frmAbout()
    : Form({.caption = QStringLiteral("About Corvane"),
            .clientWidth = 4245,
            .clientHeight = 1395,
            .borderStyle = fk::BorderStyle::FixedDialog,
            .backColor = 0xE0E0E0,
            .scaleMode = fk::ScaleMode::Twips,
            .centered = true,
            .showInTaskbar = false,
            .icon = {}})
{
    btnOK.on(QStringLiteral("Click"), [this] { btnOK_Click(); });
}

void frmAbout::Form_Load() { btnOK.set(QStringLiteral("Caption"), "OK"); }

void frmAbout::btnOK_Click() { unload(); }

} // namespace corvane
