// Sixteen-colour bitmaps name the runtime's sixteen colours in an order of their own.
#include "formats/bitmap_resource.h"

#include <QColor>
#include <gtest/gtest.h>

namespace {

TEST(Bitmaps, KeepTheSixteenColoursInTheirOwnOrder)
{
    EXPECT_EQ(formats::vgaIndexOf(qRgb(128, 0, 0)), 1) << "maroon";
    EXPECT_EQ(formats::vgaIndexOf(qRgb(255, 0, 0)), 9) << "red";
    EXPECT_EQ(formats::vgaIndexOf(qRgb(0, 0, 255)), 12) << "blue";
    EXPECT_EQ(formats::vgaIndexOf(qRgb(1, 2, 3)), std::nullopt);
}

} // namespace
