#pragma once

#include "core/color.h"
#include "forms/container.h"
#include "forms/control.h"

#include <QString>

namespace fk {

struct FrameProps {
    TwipsRect rect;
    QString caption;
    Color backColor = kDefaultBackColor;
    int tabIndex = -1;
};

// A frame: an etched box around a group of controls, which it holds.
class Frame : public Control, public Container {
public:
    Frame(Container& container, const FrameProps& props);

    QWidget* clientWidget() const override { return widget(); }
    Form* ownerForm() override { return container().ownerForm(); }
};

} // namespace fk
