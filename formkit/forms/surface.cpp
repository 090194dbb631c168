#include "surface.h"

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
    resized.fill(toQColor(background));
    if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
}

void Surface::clear(Color background) { image_.fill(toQColor(background)); }

void Surface::plot(long x, long y, QRgb color)
{
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)))[x] = color;
}

void Surface::segment(double x1, double y1, double x2, double y2, Color color)
{
    const QRgb rgbValue = toQColor(color).rgb();
    long x = toPixel(x1), y = toPixel(y1);
    const long xEnd = toPixel(x2), yEnd = toPixel(y2);
    const long dx = std::labs(xEnd - x), dy = -std::labs(yEnd - y);
    const long sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
    long error = dx + dy;
    // Bresenham's walk, stopping before the last point.
    while (x != xEnd || y != yEnd) {
        plot(x, y, rgbValue);
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
    const QRgb rgbValue = toQColor(color).rgb();
    for (long y = top; y <= bottom; ++y) {
        if (filled || y == top || y == bottom) {
            for (long x = left; x <= right; ++x)
                plot(x, y, rgbValue);
        } else {
            plot(left, y, rgbValue);
            plot(right, y, rgbValue);
        }
    }
}

void Surface::text(double x, double y, const QString& text, const QFont& font, Color color)
{
    if (text.isEmpty() || image_.isNull())
        return;
    QPainter painter(&image_);
    painter.setFont(font);
    painter.setPen(toQColor(color));
    const QFontMetrics metrics(font);
    painter.drawText(QPoint(static_cast<int>(toPixel(x)), static_cast<int>(toPixel(y)) + metrics.ascent()), text);
}

} // namespace fk
