#pragma once

#include "core/color.h"
#include "forms/control.h"
#include "forms/font.h"

#include <QString>

namespace fk {

struct OptionButtonProps {
    TwipsRect rect;
    QString caption;
    Color backColor = kDefaultBackColor;
    bool value = false;
    int tabIndex = -1;
};

// An option button. The option buttons of one container form one group: selecting one
// clears the others.
class OptionButton : public Control {
public:
    OptionButton(Container& container, const OptionButtonProps& props);

    bool value() const;
    void setValue(bool selected);
    QString caption() const;
};

} // namespace fk
