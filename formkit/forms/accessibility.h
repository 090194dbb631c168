#pragma once

#include <QAccessible>
#include <functional>

class QAccessibleInterface;
class QWidget;

namespace fk {

// formkit's controls paint themselves on plain widgets, which the toolkit would present to
// assistive technology as nameless fillers. Each kind of control therefore says how its
// widget is presented, when it creates the widget: the toolkit asks once, when assistive
// technology first looks at the widget, and keeps the answer for the widget's life.
using AccessibleMaker = std::function<QAccessibleInterface*(QWidget*)>;
void setAccessibleMaker(QWidget* widget, AccessibleMaker maker);

// Presents the widget in the given role, named by its accessible name (or, for a window,
// by its title).
void presentAs(QWidget* widget, QAccessible::Role role);

// Lets the toolkit find the makers; the runtime calls it once at start.
void installAccessibility();

} // namespace fk
