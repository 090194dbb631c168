#include "forms/dialog_frame.h"

#include <QColor>
#include <QPainter>
#include <array>

namespace fk {

namespace {

struct Ring {
    QColor topLeft;
    QColor bottomRight;
};

// From the outside in.
const std::array<Ring, DialogFrame::kWidth>& rings()
{
    static const std::array<Ring, DialogFrame::kWidth> colours{{
        {QColor(192, 192, 192), QColor(0, 0, 0)},
        {QColor(255, 255, 255), QColor(128, 128, 128)},
        {QColor(192, 192, 192), QColor(192, 192, 192)},
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
        painter.fillRect(i, i, right - i, 1, ring.topLeft);
        painter.fillRect(i, i, 1, bottom - i, ring.topLeft);
        painter.fillRect(i, bottom, right - i + 1, 1, ring.bottomRight);
        painter.fillRect(right, i, 1, bottom - i + 1, ring.bottomRight);
    }
}

} // namespace fk
