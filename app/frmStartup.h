#pragma once

#include "forms/form.h"
#include "forms/label.h"
#include "forms/timer.h"

namespace corvane {

// The splash window: the product title in white over a black copy one pixel up and to the
// left, a one-line description, on a bright blue ground. After 2000 ms it hands over to
// the main window and unloads itself.
class frmStartup : public fk::Form {
public:
    frmStartup();

    // The controls, as laid out.
    fk::Label lblTitle1{*this, {.rect = {600, 360, 2895, 375},
                                .caption = QStringLiteral("Corvane 1.0"),
                                .foreColor = 0xFFFFFF,
                                .font = {QStringLiteral("Arial"), 14.25, true, false}}};
    fk::Label lblTitle2{*this, {.rect = {840, 0, 3015, 375}, .caption = QStringLiteral("Label1")}};
    fk::Label lblDesc{*this, {.rect = {600, 720, 3015, 255},
                              .caption = QStringLiteral("The ultimate total stability tester."),
                              .foreColor = 0xFFFFFF,
                              .font = {QStringLiteral("Arial"), 8.25, false, true}}};
    fk::Timer Timer1{*this, {.interval = 2000, .enabled = true}};

protected:
    void Form_Load() override;

private:
    void Timer1_Timer();
};

} // namespace corvane
