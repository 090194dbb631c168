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

// The cursor position in screen pixels. Nonzero on success.
int GetCursorPos(POINT* point);

// The screen rectangle of a window in pixels: right and bottom lie one past its last
// column and row. Nonzero on success; zero, leaving *rect alone, for no window.
int GetWindowRect(HWND window, RECT* rect);

namespace platform {

// Asking the display server for the cursor is a round trip on X11. A reading is shared by
// all callers for a few milliseconds, so a batch of timer ticks costs one round trip, and
// for as long as no event comes while the server reports every pointer move; the event
// pump forgets it, so a loop that pumps always reads afresh, and so does code that moves
// the cursor itself and calls this.
void forgetCursorReading();

} // namespace platform
} // namespace fk
