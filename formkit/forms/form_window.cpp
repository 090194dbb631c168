#include "forms/form_window.h"

#include "forms/dialog_frame.h"
#include "forms/error_reporting.h"
#include "forms/form.h"
#include "forms/look.h"
#include "platform/window_hints.h"

#include <QCloseEvent>
#include <QPainter>

namespace fk {

namespace {

// How long a moved window rests before the toolkit hears of its place.
constexpr int kRest = 50;

} // namespace

FormWindow::FormWindow(Form& form, Qt::WindowFlags flags, bool drawsDialogFrame)
    : QWidget(nullptr, flags), form_(form), clientArea_(drawsDialogFrame ? new QWidget(this) : this)
{
    // The window and everything in it take the forms' own palette, not the desktop's.
    setPalette(formPalette());
    // Only a client area inside a frame of our own is placed: moving the window itself would
    // pin it to the screen's corner.
    if (clientArea_ != this)
        clientArea_->move(frameWidth(), frameWidth());
    rest_.setSingleShot(true);
    rest_.setInterval(kRest);
    QObject::connect(&rest_, &QTimer::timeout, this, [this] {
        if (std::exchange(noticesHeld_, false))
            platform::selectToolkitEvents(this, true);
    });
}

void FormWindow::setClientSize(QSize size)
{
    clientArea_->setFixedSize(size);
    setFixedSize(size.grownBy(QMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth())));
}

int FormWindow::frameWidth() const { return clientArea_ == this ? 0 : DialogFrame::kWidth; }

// A window that moves again before it rests follows something (the pointer, in a drag: a move
// a move of the pointer). The toolkit would wake for the window manager's notice of each move
// and ask the server for the window's frame after it, which does not change in a move; so it
// hears of none until the window rests, and screenPositionOf places the window's widgets.
void FormWindow::moveTo(QPoint place)
{
    if (place == this->place())
        return;
    if (rest_.isActive() && !noticesHeld_) {
        noticesHeld_ = true;
        platform::selectToolkitEvents(this, false);
    }
    if (!platform::moveShownWindow(this, place)) {
        move(place);
        return;
    }
    sentTo_ = place;
    rest_.start();
}

QPoint screenPositionOf(const QWidget* widget)
{
    const auto* window = dynamic_cast<const FormWindow*>(widget->window());
    return widget->mapToGlobal(QPoint(0, 0)) + (window ? window->unheardMove() : QPoint());
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides about its window: closing it is unloading the form, which hides it.
    event->ignore();
    runHandler([this] { form_.unload(); });
}

// The pointer source tells the forms where the pointer is; the toolkit's motion would only
// wake the program for nothing.
void FormWindow::showEvent(QShowEvent*) { platform::selectToolkitEvents(this, !noticesHeld_); }

void FormWindow::paintEvent(QPaintEvent*)
{
    if (clientArea_ == this)
        return;
    QPainter painter(this);
    DialogFrame::paint(painter, size());
}

} // namespace fk
