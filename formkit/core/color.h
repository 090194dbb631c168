#pragma once

#include <QColor>
#include <array>
#include <cstdint>

namespace fk {

// A colour as the runtime numbers it, 0xBBGGRR: red in the low byte, blue in the high byte.
// Qt's QRgb is 0xRRGGBB the other way round, so the two never mix: a colour written in the
// sources is a literal (the constructor runs at compile time only), and one made at run
// time comes from its components or through a named conversion.
class Color {
public:
    constexpr Color() = default;
    consteval Color(std::uint32_t bgr) : bgr_(bgr & 0xFFFFFF) {}

    static constexpr Color fromBgr(std::uint32_t bgr)
    {
        Color c;
        c.bgr_ = bgr & 0xFFFFFF;
        return c;
    }

    constexpr std::uint32_t bgr() const { return bgr_; }
    constexpr int red() const { return static_cast<int>(bgr_ & 0xFF); }
    constexpr int green() const { return static_cast<int>((bgr_ >> 8) & 0xFF); }
    constexpr int blue() const { return static_cast<int>((bgr_ >> 16) & 0xFF); }

    QColor toQColor() const { return QColor(red(), green(), blue()); }
    QRgb toQRgb() const { return qRgb(red(), green(), blue()); }

    friend constexpr bool operator==(Color, Color) = default;

private:
    std::uint32_t bgr_ = 0;
};

// Combines red, green and blue into a colour; a component above 255 counts as 255 and one
// below 0 as 0.
Color rgb(long red, long green, long blue);

// The sixteen standard colours, in one table that serves two orders. Read as 0xBBGGRR, entry
// i is the runtime's palette colour i (0 black, 1 blue, ... 9 light blue, 15 white); read as
// 0xRRGGBB, the same numbers are the sixteen-colour bitmap palette in its usual order (0
// black, 1 maroon, ... 9 red). Each order is the other with red and blue swapped, which is
// why one table holds both.
inline constexpr std::array<std::uint32_t, 16> kSixteenColours = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// One of the sixteen palette colours (0 black ... 15 white); another index is the runtime's
// invalid-argument error.
Color paletteColor(int index);

// Colours a control has when its layout names none.
inline constexpr Color kDefaultTextColor = 0x000000;
inline constexpr Color kDefaultBackColor = 0xE0E0E0;

} // namespace fk
