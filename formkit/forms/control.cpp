#include "forms/control.h"

#include "core/runtime_error.h"
#include "forms/container.h"
#include "forms/form.h"
#include "forms/look.h"

namespace fk {

Control::Control(Container& container, QWidget* widget, const TwipsRect& rect, int tabIndex)
    : container_(container), widget_(widget), rect_(rect), tabIndex_(tabIndex)
{
    widget->setParent(container.clientWidget());
    // A style is not passed on to child widgets as a palette is: each control takes it.
    widget->setStyle(formStyle());
    applyGeometry();
    widget->show();
    if (Form* form = container.ownerForm())
        form->adopt(this);
}

Control::~Control()
{
    if (Form* form = container_.ownerForm())
        form->release(this);
    delete widget_.data();
}

float Control::left() const { return static_cast<float>(container_.fromTwips(rect_.left)); }
float Control::top() const { return static_cast<float>(container_.fromTwips(rect_.top)); }
float Control::width() const { return static_cast<float>(container_.fromTwips(rect_.width)); }
float Control::height() const { return static_cast<float>(container_.fromTwips(rect_.height)); }

void Control::setLeft(double left) { move(left); }
void Control::setTop(double top) { move(left(), top); }

void Control::move(double left, std::optional<double> top, std::optional<double> width, std::optional<double> height)
{
    if ((width && *width < 0) || (height && *height < 0))
        throw RuntimeError::invalidPropertyValue();
    TwipsRect moved = rect_;
    moved.left = container_.toTwips(left);
    if (top)
        moved.top = container_.toTwips(*top);
    if (width)
        moved.width = container_.toTwips(*width);
    if (height)
        moved.height = container_.toTwips(*height);
    if (moved.left == rect_.left && moved.top == rect_.top && moved.width == rect_.width
        && moved.height == rect_.height)
        return;
    rect_ = moved;
    applyGeometry();
}

void Control::zOrder()
{
    if (widget_)
        widget_->raise();
}

bool Control::visible() const { return widget_ && !widget_->isHidden(); }

void Control::setVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
}

void Control::applyGeometry()
{
    if (!widget_)
        return;
    widget_->setGeometry(twipsToPixels(rect_.left), twipsToPixels(rect_.top), twipsToPixels(rect_.width),
                         twipsToPixels(rect_.height));
}

} // namespace fk
