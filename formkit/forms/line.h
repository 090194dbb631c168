#pragma once

#include "core/color.h"
#include "forms/control.h"

namespace fk {

struct LineProps {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // end points, twips
    Color color = kDefaultTextColor;
    int width = 1;                          // pixels
};

// A straight line on its container. A line wider than one pixel grows right and down
// from its end points, so a grey line over a wider white one shows as an etched edge.
class Line : public Control {
public:
    Line(Container& container, const LineProps& props);

    Color color() const { return color_; }

private:
    friend class LineWidget;
    static TwipsRect boundsOf(const LineProps& props);

    LineProps ends_;
    Color color_;
    int lineWidth_;
};

} // namespace fk
