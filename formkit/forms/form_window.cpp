#include "forms/form_window.h"

#include "forms/dialog_frame.h"
#include "forms/error_reporting.h"
#include "forms/form.h"
#include "forms/look.h"
#include "platform/window_hints.h"

#include <QCloseEvent>
#include <QPainter>

namespace fk {

FormWindow::FormWindow(Form& form, Qt::WindowFlags flags, bool drawsDialogFrame)
    : QWidget(nullptr, flags), form_(form), clientArea_(drawsDialogFrame ? new QWidget(this) : this)
{
    // The window and everything in it take the forms' own palette, not the desktop's.
    setPalette(formPalette());
    // Only a client area inside a frame of our own is placed: moving the window itself would
    // pin it to the screen's corner.
    if (clientArea_ != this)
        clientArea_->move(frameWidth(), frameWidth());
}

void FormWindow::setClientSize(QSize size)
{
    clientArea_->setFixedSize(size);
    setFixedSize(size.grownBy(QMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth())));
}

int FormWindow::frameWidth() const { return clientArea_ == this ? 0 : DialogFrame::kWidth; }

void FormWindow::moveTo(QPoint place)
{
    if (place == this->place())
        return;
    if (platform::moveShownWindow(this, place))
        sentTo_ = place;
    else
        move(place);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides about its window: closing it is unloading the form, which hides it.
    event->ignore();
    runHandler([this] { form_.unload(); });
}

void FormWindow::paintEvent(QPaintEvent*)
{
    if (clientArea_ == this)
        return;
    QPainter painter(this);
    DialogFrame::paint(painter, size());
}

} // namespace fk
