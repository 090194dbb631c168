#include "forms/accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <unordered_map>

namespace fk {

namespace {

std::unordered_map<const QObject*, AccessibleMaker>& makers()
{
    static std::unordered_map<const QObject*, AccessibleMaker> map;
    return map;
}

QAccessibleInterface* makeAccessible(const QString&, QObject* object)
{
    const auto it = makers().find(object);
    return it == makers().end() ? nullptr : it->second(static_cast<QWidget*>(object));
}

} // namespace

void setAccessibleMaker(QWidget* widget, AccessibleMaker maker)
{
    if (makers().insert_or_assign(widget, std::move(maker)).second)
        QObject::connect(widget, &QObject::destroyed, [widget] { makers().erase(widget); });
}

void presentAs(QWidget* widget, QAccessible::Role role)
{
    setAccessibleMaker(widget, [role](QWidget* w) { return new QAccessibleWidget(w, role); });
}

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(makeAccessible);
        return true;
    }();
    (void)installed;
}

} // namespace fk
