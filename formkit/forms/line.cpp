#include "forms/line.h"

#include <QPainter>
#include <algorithm>

namespace fk {

class LineWidget : public QWidget {
public:
    explicit LineWidget(Line& owner) : owner_(owner) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const auto& e = owner_.ends_;
        const double left = std::min(e.x1, e.x2), top = std::min(e.y1, e.y2);
        const QPoint from(twipsToPixels(e.x1 - left), twipsToPixels(e.y1 - top));
        const QPoint to(twipsToPixels(e.x2 - left), twipsToPixels(e.y2 - top));
        const QColor color = owner_.color_.toQColor();
        for (int offset = 0; offset < owner_.lineWidth_; ++offset) {
            const QPoint step = (from.x() == to.x()) ? QPoint(offset, 0) : QPoint(0, offset);
            painter.setPen(color);
            painter.drawLine(from + step, to + step);
        }
    }

private:
    Line& owner_;
};

TwipsRect Line::boundsOf(const LineProps& p)
{
    const double extra = pixelsToTwips(std::max(p.width, 1));
    return {std::min(p.x1, p.x2), std::min(p.y1, p.y2), std::abs(p.x2 - p.x1) + extra, std::abs(p.y2 - p.y1) + extra};
}

Line::Line(Container& container, const LineProps& props)
    : Control(container, new LineWidget(*this), boundsOf(props)), ends_(props), color_(props.color),
      lineWidth_(std::max(props.width, 1))
{
}

} // namespace fk
