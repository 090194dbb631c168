#include "forms/accessible_push_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace fk {

AccessiblePushButton::AccessiblePushButton(QWidget* widget, std::function<QString()> name)
    : QAccessibleWidget(widget, QAccessible::Button), name_(std::move(name))
{
}

QString AccessiblePushButton::text(QAccessible::Text t) const
{
    return t == QAccessible::Name && name_ ? name_() : QAccessibleWidget::text(t);
}

QStringList AccessiblePushButton::actionNames() const
{
    return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
}

void AccessiblePushButton::doAction(const QString& actionName)
{
    if (actionName != pressAction() || !widget()->isVisible() || !widget()->isEnabled() || blockedByModalWindow())
        return;
    // The click goes where the mouse's would: to whatever the window shows at the middle of
    // the button, which is the control's face unless something lies in front of it.
    QWidget* window = widget()->window();
    if (window->isMinimized())
        return;
    const QPoint middle = widget()->mapTo(window, widget()->rect().center());
    QWidget* face = window->childAt(middle);
    if (!face || (face != widget() && !widget()->isAncestorOf(face)))
        return;
    const QPointF at = face->mapFrom(window, middle);
    const QPointF global = window->mapToGlobal(middle);
    QCoreApplication::postEvent(face, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                      Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(face, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                      Qt::NoButton, Qt::NoModifier));
}

bool AccessiblePushButton::blockedByModalWindow() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != widget()->window();
}

} // namespace fk
