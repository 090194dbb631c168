#pragma once

#include <QFont>
#include <QString>

namespace fk {

// A font as a layout gives it: face, size in points, weight and style.
struct FontSpec {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
};

// The font every control uses unless its layout names one.
FontSpec defaultFont();

// The toolkit font for a layout font. Classic face names are mapped to metric-compatible
// faces that every machine has, and sizes are converted at the fixed 96 pixels per inch
// that the twips arithmetic assumes, so text measures the same on every display.
QFont toQFont(const FontSpec& wanted);

// How many pixels lower in a text's box the substitute face starts its line than it would
// on its own. The classic sans-serif bitmap face has a taller line than Liberation Sans
// (13 pixels at 8 points against 12) and starts its glyphs lower in it. Layouts made with
// that face leave the rows above its glyphs free and may put other controls there, so
// text in a face that stands in for it is drawn two rows lower at 8 points, and in
// proportion at other sizes. Other faces keep their own placement.
int lineDrop(const FontSpec& wanted);

// Installs the default font as the application's, for widgets that draw their own text.
void installDefaultFont();

} // namespace fk
