#include "forms/look.h"

#include "core/color.h"

#include <QPalette>
#include <QStyleFactory>

namespace fk {

namespace {

// The classic scheme's colours, on the forms' default face.
Color classicColour(QPalette::ColorRole role)
{
    switch (role) {
    case QPalette::Window:
    case QPalette::Button:
    case QPalette::Midlight:
        return kDefaultBackColor;
    case QPalette::Light:
    case QPalette::Base:
    case QPalette::BrightText:
    case QPalette::HighlightedText:
        return 0xFFFFFF;
    case QPalette::Mid:
        return 0xA0A0A0;
    case QPalette::Dark:
    case QPalette::PlaceholderText:
        return 0x808080;
    case QPalette::AlternateBase:
        return 0xF0F0F0;
    case QPalette::ToolTipBase:
        return 0xE1FFFF;
    case QPalette::Link:
        return 0xFF0000;
    case QPalette::LinkVisited:
        return 0x800080;
    case QPalette::WindowText:
    case QPalette::Text:
    case QPalette::ButtonText:
    case QPalette::ToolTipText:
    case QPalette::Shadow:
    case QPalette::NoRole:
        return kDefaultTextColor;
    default: // the selection, and any role a later toolkit adds (its accent colour)
        return 0x800000;
    }
}

QPalette makeFormPalette()
{
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            palette.setColor(group, QPalette::ColorRole(role), classicColour(QPalette::ColorRole(role)).toQColor());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, classicColour(QPalette::Dark).toQColor());
    return palette;
}

} // namespace

QStyle* formStyle()
{
    static QStyle* const style = QStyleFactory::create(QStringLiteral("Windows"));
    return style;
}

const QPalette& formPalette()
{
    static const QPalette palette = makeFormPalette();
    return palette;
}

} // namespace fk
