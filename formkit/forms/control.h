#pragma once

#include "core/twips.h"

#include <QPointer>
#include <QWidget>
#include <optional>

namespace fk {

class Container;

// What every control has: a place in its container, kept in twips and read and written in
// the container's scale unit, a place in the z-order and in the tab order.
class Control {
public:
    Control(Container& container, QWidget* widget, const TwipsRect& rect, int tabIndex = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    QWidget* widget() const { return widget_; }
    Container& container() const { return container_; }
    int tabIndex() const { return tabIndex_; }

    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(double left);
    void setTop(double top);

    // Moves and sizes the control in one call; what is not given stays as it is.
    void move(double left, std::optional<double> top = {}, std::optional<double> width = {},
              std::optional<double> height = {});

    // Brings the control to the front of its container's z-order.
    void zOrder();

    bool visible() const;
    void setVisible(bool visible);

    // The rectangle in twips, whatever the container's scale.

protected:
    virtual void applyGeometry();

private:
    Container& container_;
    QPointer<QWidget> widget_;
    TwipsRect rect_;
    int tabIndex_;
};

} // namespace fk
