#include "accessible_push_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace fk {

AccessiblePushButton::AccessiblePushButton(QWidget* widget, std::function<QString()> caption)
    : QAccessibleWidget(widget, QAccessible::Button), caption_(std::move(caption))
{
}

QString AccessiblePushButton::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? caption_() : QAccessibleWidget::text(t);
}

QStringList AccessiblePushButton::actionNames() const
{
    return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
}

void AccessiblePushButton::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !widget()->isVisible() || !widget()->isEnabled() || blockedByModalWindow())
        return;
    // The face is whatever the control painted into the middle of the site.
    const QPoint middle = widget()->rect().center();
    QWidget* face = widget()->childAt(middle);
    if (!face)
        face = widget();
    const QPointF at = face->mapFrom(widget(), middle);
    const QPointF global = widget()->mapToGlobal(middle);
    QCoreApplication::postEvent(face, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(face, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
}

QStringList AccessiblePushButton::keyBindingsForAction(const QString&) const { return {}; }

bool AccessiblePushButton::blockedByModalWindow() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != widget()->window();
}

} // namespace fk
