#include "forms/form_window.h"

#include "forms/form.h"
#include "forms/error_reporting.h"

#include <QCloseEvent>

namespace fk {

FormWindow::FormWindow(Form& form, Qt::WindowFlags flags) : QWidget(nullptr, flags), form_(form) {}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides about its window: closing it is unloading the form, which hides it.
    event->ignore();
    runHandler([this] { form_.unload(); });
}

} // namespace fk
