#pragma once

#include <cstdint>

class QWidget;

namespace fk {

// The cursor and window queries that the control and the program were written against keep
// the platform's names and structures (POINT, RECT, GetCursorPos, GetWindowRect), so that
// their code reads as it always has; the rest of formkit names things in plain English.

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
// for all its handlers, after a wait for the pointer the reading that ended it. Nonzero on
// success.
int GetCursorPos(POINT* point);

// The screen rectangle of a window in pixels: right and bottom lie one past its last
// column and row. Nonzero on success; zero, leaving *rect alone, for no window.
int GetWindowRect(HWND window, RECT* rect);

// Whether any mouse button is held down, from the same reading as the cursor position; a
// release that never reached the program does not count as held.
bool mouseButtonsHeld();

} // namespace fk
