#pragma once

#include "core/color.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <vector>

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
    // The pixels a text paints, relative to its top-left corner, rendered once and then
    // stamped wherever and in whatever colour it is printed again. Text is drawn without
    // smoothing, so every pixel is either painted or not and a stamp is exact.
    struct Span {
        int y, x0, x1; // inclusive, relative to the text's top-left corner
    };
    struct TextStamp {
        QString text;
        QFont font;
        std::vector<Span> spans;
    };
    const TextStamp& stampFor(const QString& text, const QFont& font);
    // Writes rows of one drawing operation; takes the image's pixels once for all of them.
    class Pen;

    QImage image_;
    TextStamp stamp_;
};

} // namespace fk
