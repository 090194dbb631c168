#include "core/color.h"

#include "core/runtime_error.h"

#include <algorithm>

namespace fk {

Color rgb(long red, long green, long blue)
{
    auto clamp = [](long v) { return static_cast<std::uint32_t>(std::clamp(v, 0L, 255L)); };
    return Color::fromBgr(clamp(red) | (clamp(green) << 8) | (clamp(blue) << 16));
}

Color paletteColor(int index)
{
    if (index < 0 || index >= static_cast<int>(kSixteenColours.size()))
        throw RuntimeError::invalidArgument();
    return Color::fromBgr(kSixteenColours[static_cast<std::size_t>(index)]);
}

} // namespace fk
