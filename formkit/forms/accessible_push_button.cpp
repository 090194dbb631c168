#include "forms/accessible_push_button.h"

#include "forms/accessible_push_button_press.h"

#include <QMetaObject>
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
    if (actionName != pressAction())
        return;
    // Posted to the button itself, so a press still queued when the button goes is dropped
    // with it.
    QWidget* button = widget();
    QMetaObject::invokeMethod(button, [button] { AccessiblePushButtonPress(button).deliver(); }, Qt::QueuedConnection);
}

} // namespace fk
