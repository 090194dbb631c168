#include "forms/option_button.h"

#include <QRadioButton>

namespace fk {

namespace {

QRadioButton* makeRadioButton(const OptionButtonProps& props)
{
    auto* button = new QRadioButton(props.caption);
    button->setAutoFillBackground(true);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Window, props.backColor.toQColor());
    palette.setColor(QPalette::Button, props.backColor.toQColor());
    button->setPalette(palette);
    button->setFont(toQFont(defaultFont()));
    button->setChecked(props.value);
    return button;
}

} // namespace

OptionButton::OptionButton(Container& container, const OptionButtonProps& props)
    : Control(container, makeRadioButton(props), props.rect, props.tabIndex)
{
}

bool OptionButton::value() const { return static_cast<QRadioButton*>(widget())->isChecked(); }
void OptionButton::setValue(bool selected) { static_cast<QRadioButton*>(widget())->setChecked(selected); }
QString OptionButton::caption() const { return static_cast<QRadioButton*>(widget())->text(); }

} // namespace fk
