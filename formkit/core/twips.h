#pragma once

#include <cmath>

namespace fk {

// Every stored position and size is in twips. The conversion to screen pixels uses a
// fixed factor, whatever the display's real resolution, so that layouts look the same
// everywhere.
inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double pixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

// A container measures its drawing and its children's coordinates in one of these.
enum class ScaleMode { Twips = 1, Pixels = 3 };

// A rectangle in twips, as a layout table gives it: left, top, width, height.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

} // namespace fk
