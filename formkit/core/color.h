#pragma once

#include <QColor>
#include <cstdint>

namespace fk {

// A colour as 0xBBGGRR: red in the low byte, blue in the high byte.
using Color = std::uint32_t;

// Combines red, green and blue into a colour; a component above 255 counts as 255 and one
// below 0 as 0.
Color rgb(long red, long green, long blue);

// One of the sixteen standard palette colours (0 black ... 15 white).
Color paletteColor(int index);

inline int redOf(Color c) { return static_cast<int>(c & 0xFF); }
inline int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

inline QColor toQColor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline Color fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

// Colours a control has when its layout names none.
inline constexpr Color kDefaultTextColor = 0x000000;
inline constexpr Color kDefaultBackColor = 0xE0E0E0;

} // namespace fk
