#include "forms/font.h"

#include <QApplication>
#include <cmath>

namespace fk {

FontSpec defaultFont() { return {QStringLiteral("Liberation Sans"), 8.0, false, false}; }

namespace {

bool isClassicBitmapFace(const QString& name)
{
    return name.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0;
}

int pixelSize(const FontSpec& wanted) { return std::max(1, static_cast<int>(std::lround(wanted.size * 96.0 / 72.0))); }

} // namespace

QFont toQFont(const FontSpec& wanted)
{
    QString family = wanted.name;
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0 || isClassicBitmapFace(family)
        || family.isEmpty())
        family = QStringLiteral("Liberation Sans");
    QFont font(family);
    font.setPixelSize(pixelSize(wanted));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

int lineDrop(const FontSpec& wanted)
{
    // Two rows at the 8-point size, whose face is 11 pixels high.
    return isClassicBitmapFace(wanted.name) ? static_cast<int>(std::lround(pixelSize(wanted) * 2.0 / 11.0)) : 0;
}

void installDefaultFont() { QApplication::setFont(toQFont(defaultFont())); }

} // namespace fk
