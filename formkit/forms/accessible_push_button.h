#pragma once

#include <QAccessibleWidget>
#include <functional>

namespace fk {

// A painted push button as assistive technology sees it: named by what its control says its
// face shows (asked for whenever the name is wanted; without such a control, by the widget's
// accessible name), with one action, press. A press is the mouse's own left click on the
// middle of the button's face, posted to the event loop, so that the control sees exactly
// what a click by hand gives it and its Click handler runs from the event loop as after a
// real click, not nested in the accessibility bus's request.
//
// Whether the click lands is judged when it is delivered, as the mouse's is: a reader that
// types ahead of a busy window has its presses queued like the clicks of a mouse, and a
// press that comes out of the queue after an earlier one opened a modal window is refused,
// as the modal window refuses the mouse (AccessiblePushButtonPress says when a press is
// refused).
class AccessiblePushButton : public QAccessibleWidget {
public:
    explicit AccessiblePushButton(QWidget* widget, std::function<QString()> name = {});

    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // What the control puts inside the button to paint it is no part of what the button
    // is to the reader: the button has no children.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

private:
    std::function<QString()> name_;
};

} // namespace fk
