#pragma once

#include "color.h"

#include <QFont>
#include <QImage>
#include <QString>

namespace fk {

// A persistent drawing surface in pixels. Its rules are exact: a segment paints its first
// point and not its last; a box, outline or filled, includes both corners; text goes with
// its top-left corner at the given point and paints its glyphs only.
class Surface {
public:
    const QImage& image() const { return image_; }

    // Changes the size, keeping what is drawn; new area gets the background colour.
    void resize(int width, int height, Color background);
    void clear(Color background);

    void segment(double x1, double y1, double x2, double y2, Color color);
    void box(double x1, double y1, double x2, double y2, Color color, bool filled);
    void text(double x, double y, const QString& text, const QFont& font, Color color);

private:
    void plot(long x, long y, QRgb color);

    QImage image_;
};

} // namespace fk
