#include "forms/font.h"

#include <QApplication>
#include <cmath>

namespace fk {

FontSpec defaultFont() { return {QStringLiteral("Liberation Sans"), 8.0, false, false}; }

QFont toQFont(const FontSpec& wanted)
{
    QString family = wanted.name;
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0
        || family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
        || family.isEmpty())
        family = QStringLiteral("Liberation Sans");
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(wanted.size * 96.0 / 72.0))));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void installDefaultFont() { QApplication::setFont(toQFont(defaultFont())); }

} // namespace fk
