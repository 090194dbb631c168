#include "forms/surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fk {

namespace {

long toPixel(double v) { return std::lround(v); }

} // namespace

void Surface::resize(int width, int height, Color background)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (image_.width() == width && image_.height() == height)
        return;
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(background.toQColor());
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
}

void Surface::clear(Color background) { image_.fill(background.toQColor()); }

class Surface::Pen {
public:
    Pen(QImage& image, Color color)
        : bits_(image.isNull() ? nullptr : image.bits()), stride_(image.bytesPerLine()), width_(image.width()),
          height_(image.height()), color_(color.toQColor().rgb())
    {
    }

    void plot(long x, long y) { span(y, x, x); }

    // Paints x0..x1 of row y, both included, clipped to the image.
    void span(long y, long x0, long x1)
    {
        if (!bits_ || y < 0 || y >= height_)
            return;
        x0 = std::max(x0, 0L);
        x1 = std::min(x1, width_ - 1);
        if (x0 > x1)
            return;
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
        std::fill(row + x0, row + x1 + 1, color_);
    }

private:
    uchar* bits_;
    long stride_, width_, height_;
    QRgb color_;
};

void Surface::segment(double x1, double y1, double x2, double y2, Color color)
{
    Pen pen(image_, color);
    long x = toPixel(x1), y = toPixel(y1);
    const long xEnd = toPixel(x2), yEnd = toPixel(y2);
    const long dx = std::labs(xEnd - x), dy = -std::labs(yEnd - y);
    const long sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
    long error = dx + dy;
    // Bresenham's walk, stopping before the last point.
    while (x != xEnd || y != yEnd) {
        pen.plot(x, y);
        const long doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Surface::box(double x1, double y1, double x2, double y2, Color color, bool filled)
{
    const long left = std::min(toPixel(x1), toPixel(x2)), right = std::max(toPixel(x1), toPixel(x2));
    const long top = std::min(toPixel(y1), toPixel(y2)), bottom = std::max(toPixel(y1), toPixel(y2));
    Pen pen(image_, color);
    for (long y = std::max(top, 0L); y <= std::min(bottom, static_cast<long>(image_.height()) - 1); ++y) {
        if (filled || y == top || y == bottom) {
            pen.span(y, left, right);
        } else {
            pen.plot(left, y);
            pen.plot(right, y);
        }
    }
}

void Surface::text(double x, double y, const QString& text, const QFont& font, Color color)
{
    if (text.isEmpty() || image_.isNull())
        return;
    const TextStamp& stamp = stampFor(text, font);
    Pen pen(image_, color);
    const long left = toPixel(x), top = toPixel(y);
    for (const Span& s : stamp.spans)
        pen.span(top + s.y, left + s.x0, left + s.x1);
}

const Surface::TextStamp& Surface::stampFor(const QString& text, const QFont& font)
{
    if (stamp_.text == text && stamp_.font == font)
        return stamp_;
    const QFontMetrics metrics(font);
    // Room for glyphs that reach left of the start or past the advance.
    const QRect ink = metrics.boundingRect(text);
    const int margin = 2;
    const QPoint origin(margin - std::min(ink.left(), 0), margin + metrics.ascent() + std::max(-metrics.ascent() - ink.top(), 0));
    QImage canvas(std::max(ink.right(), metrics.horizontalAdvance(text)) + origin.x() + margin,
                  origin.y() + std::max(ink.bottom(), metrics.descent()) + margin, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(origin, text);
    }
    stamp_ = {text, font, {}};
    const QPoint topLeft(origin.x(), origin.y() - metrics.ascent());
    for (int row = 0; row < canvas.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
        for (int column = 0; column < canvas.width(); ++column) {
            if (qAlpha(line[column]) <= 127)
                continue;
            int end = column;
            while (end + 1 < canvas.width() && qAlpha(line[end + 1]) > 127)
                ++end;
            stamp_.spans.push_back({row - topLeft.y(), column - topLeft.x(), end - topLeft.x()});
            column = end;
        }
    }
    return stamp_;
}

} // namespace fk
