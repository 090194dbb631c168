#include "core/color.h"

#include "core/runtime_error.h"

#include <algorithm>
#include <array>

namespace fk {

Color rgb(long red, long green, long blue)
{
    auto clamp = [](long v) { return static_cast<Color>(std::clamp(v, 0L, 255L)); };
    return clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16);
}

Color paletteColor(int index)
{
    static constexpr std::array<Color, 16> palette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    if (index < 0 || index >= static_cast<int>(palette.size()))
        throw RuntimeError::invalidArgument();
    return palette[static_cast<std::size_t>(index)];
}

} // namespace fk
