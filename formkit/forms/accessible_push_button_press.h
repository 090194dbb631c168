#pragma once

#include <QPointer>
#include <QWidget>

namespace fk {

// A reader's press of a push button as it is delivered: the left click a mouse gives the
// button on the middle of its face, judged at the moment it is sent. It goes to whatever the
// button's window shows at that point, and it is refused (nothing is sent) where the mouse
// could not click the button then: while the button is hidden or disabled, while its window
// is minimized or a modal window blocks it, and while something else of the window lies in
// front of the button's middle (a panel raised over it).
class AccessiblePushButtonPress {
public:
    explicit AccessiblePushButtonPress(QWidget* button) : button_(button) {}

    // Sends the press and then the release, or nothing where the mouse would be refused.
    void deliver() const;

private:
    QPoint middleInWindow() const;
    QWidget* faceUnderMiddle() const;
    bool blockedByModalWindow() const;

    QPointer<QWidget> button_;
};

} // namespace fk
