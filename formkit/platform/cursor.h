#pragma once

#include <cstdint>

class QWidget;

namespace fk {

// The platform's structures: signed 32-bit fields, screen pixels.
struct POINT {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// A window, as the platform calls take it.
using HWND = const QWidget*;

// The cursor position in screen pixels: during a polling pass the reading that the pass took
// for all its handlers. Nonzero on success.
int GetCursorPos(POINT* point);

// The screen rectangle of a window in pixels: right and bottom lie one past its last
// column and row. Nonzero on success; zero, leaving *rect alone, for no window.
int GetWindowRect(HWND window, RECT* rect);

} // namespace fk
