#pragma once

#include <QSize>

class QPainter;

namespace fk {

// The raised edge of a fixed dialog window that has no title bar. The window system draws
// no frame for such a window, so the window draws its own: three one-pixel rings around
// the client area, lit from the top left. The outer ring is light grey on the top and left
// and black on the bottom and right, the middle ring white and dark grey, the inner ring
// light grey all round. Where a top or left run meets a bottom or right run (the top-right
// and bottom-left corners of each ring), the bottom or right colour owns the pixel.
class DialogFrame {
public:
    // How far the frame reaches out from the client area on every side, in pixels.
    static constexpr int kWidth = 3;

    // Paints the frame along the edges of a window of the given outer size.
    static void paint(QPainter& painter, QSize outer);
};

} // namespace fk
