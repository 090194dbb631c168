#pragma once

#include "forms/container.h"
#include "forms/text_measure.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace fk {

class UserControlWidget;

// The window and drawing scale of a control that a library delivers: placed by its host
// inside the host's site window, it fills the site. It tells its owner when it is resized
// and when it becomes visible.
class UserControl : public Container {
public:
    UserControl();
    ~UserControl() override;
    UserControl(const UserControl&) = delete;
    UserControl& operator=(const UserControl&) = delete;

    QWidget* clientWidget() const override;
    Form* ownerForm() override { return nullptr; }

    // Puts the control into the host's site window.
    void placeIn(QWidget* site);

    float scaleLeft() const { return 0; }
    float scaleTop() const { return 0; }
    // The control's own window, for platform calls.
    QWidget* hWnd() const { return clientWidget(); }

    // What the control's polling timers paint may have changed: each ticks at its next
    // interval, whatever the pointer does. The control is resized, shown or moved, or its
    // host put a property.
    void changed();

    float textWidth(const QString& text) const;
    float textHeight(const QString& text) const;

    std::function<void()> onResize;
    std::function<void()> onShow;

private:
    QPointer<UserControlWidget> widget_;
    mutable TextMeasure measure_;
};

} // namespace fk
