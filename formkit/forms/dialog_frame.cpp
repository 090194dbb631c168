#include "forms/dialog_frame.h"

#include "core/color.h"

#include <QPainter>
#include <array>

namespace fk {

namespace {

struct Ring {
    Color topLeft;
    Color bottomRight;
};

// From the outside in.
const std::array<Ring, DialogFrame::kWidth>& rings()
{
    static constexpr std::array<Ring, DialogFrame::kWidth> colours{{
        {0xC0C0C0, 0x000000},
        {0xFFFFFF, 0x808080},
        {0xC0C0C0, 0xC0C0C0},
    }};
    return colours;
}

} // namespace

void DialogFrame::paint(QPainter& painter, QSize outer)
{
    for (int i = 0; i < kWidth; ++i) {
        const Ring& ring = rings()[static_cast<std::size_t>(i)];
        const int right = outer.width() - 1 - i;
        const int bottom = outer.height() - 1 - i;
        // The top and left runs stop one short of the far corners, which the bottom and
        // right runs take.
        const QColor topLeft = ring.topLeft.toQColor();
        const QColor bottomRight = ring.bottomRight.toQColor();
        painter.fillRect(i, i, right - i, 1, topLeft);
        painter.fillRect(i, i, 1, bottom - i, topLeft);
        painter.fillRect(i, bottom, right - i + 1, 1, bottomRight);
        painter.fillRect(right, i, 1, bottom - i + 1, bottomRight);
    }
}

} // namespace fk
