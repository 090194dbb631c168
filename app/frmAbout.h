#pragma once

#include "highlight_button.h"
#include "hosting/hosted_control.h"
#include "forms/form.h"
#include "forms/label.h"

namespace corvane {

// The About window: a small modal dialog naming the product, its version and who made it.
// Its OK button or its close box unloads it.
class frmAbout : public fk::Form {
public:
    frmAbout();

    // The controls, as laid out.
    fk::Label Label1{*this, {.rect = {240, 120, 3975, 615},
                             .caption = QStringLiteral("Corvane 1.0 *ALPHA Version* by the Corvane developers "
                                                       "(corvane@example.org)"),
                             .tabIndex = 0}};
    fk::com::HostedControl btnOK{*this,
                                 {.rect = {1320, 840, 1695, 375}, .progId = kHighlightButtonClass, .tabIndex = 1}};

protected:
    void Form_Load() override;

private:
    void btnOK_Click();
};

} // namespace corvane
