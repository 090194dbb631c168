#pragma once

#include "core/color.h"

namespace lumakey {

// The three looks of the highlight button and what each one paints.
enum class Look { Idle, Hover, Pressed };

struct LookColors {
    fk::Color face;     // inside the frame; the idle face is the background itself
    fk::Color caption;
    bool framed;
};

inline constexpr fk::Color kFaceBackground = 0xE0E0E0;
inline constexpr fk::Color kFrameColor = 0xFF8000;

// The look for a cursor inside or outside the button and a mouse button held or not.
constexpr Look chooseLook(bool cursorInside, bool pressed)
{
    if (!cursorInside)
        return Look::Idle;
    return pressed ? Look::Pressed : Look::Hover;
}

constexpr LookColors colorsOf(Look look)
{
    switch (look) {
    case Look::Hover: return {0xCD631D, 0xFFFFFF, true};
    case Look::Pressed: return {0xFFD5AA, 0x9F5000, true};
    case Look::Idle: break;
    }
    return {kFaceBackground, 0x9F5000, false};
}

} // namespace lumakey
