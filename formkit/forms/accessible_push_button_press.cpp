#include "forms/accessible_push_button_press.h"

#include <QApplication>
#include <QMouseEvent>

namespace fk {

void AccessiblePushButtonPress::deliver() const
{
    QPointer<QWidget> face = faceUnderMiddle();
    if (!face)
        return;
    QWidget* window = button_->window();
    const QPoint middle = middleInWindow();
    const QPointF at = face->mapFrom(window, middle);
    const QPointF global = window->mapToGlobal(middle);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(face, &press);
    // The press's handlers may have taken the face away; then there is nothing to release.
    if (!face)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(face, &release);
}

QPoint AccessiblePushButtonPress::middleInWindow() const
{
    return button_->mapTo(button_->window(), button_->rect().center());
}

QWidget* AccessiblePushButtonPress::faceUnderMiddle() const
{
    if (!button_ || !button_->isVisible() || !button_->isEnabled() || blockedByModalWindow())
        return nullptr;
    if (button_->window()->isMinimized())
        return nullptr;
    QWidget* face = button_->window()->childAt(middleInWindow());
    return face && (face == button_ || button_->isAncestorOf(face)) ? face : nullptr;
}

bool AccessiblePushButtonPress::blockedByModalWindow() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != button_->window();
}

} // namespace fk
