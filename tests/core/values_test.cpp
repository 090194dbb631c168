// The values every layer shares: colours, and whole numbers made from fractions.
#include "core/arithmetic.h"
#include "core/color.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(Values, ColoursAreBlueGreenRedAndClampedAt255)
{
    EXPECT_EQ(fk::rgb(29, 99, 205).bgr(), 0xCD631Du);
    EXPECT_EQ(fk::rgb(300, 256, 255).bgr(), 0xFFFFFFu);
    EXPECT_EQ(fk::rgb(-5, 0, 0).bgr(), 0x000000u);
    EXPECT_EQ(fk::Color(0xFF8000).toQColor(), QColor(0, 128, 255));
    EXPECT_EQ(fk::Color(0xFF8000).toQRgb(), qRgb(0, 128, 255));
    EXPECT_EQ(fk::paletteColor(0).toQRgb(), qRgb(0, 0, 0));
    EXPECT_EQ(fk::paletteColor(1).toQRgb(), qRgb(0, 0, 128)) << "blue";
    EXPECT_EQ(fk::paletteColor(9).toQRgb(), qRgb(0, 0, 255)) << "light blue";
    EXPECT_EQ(fk::paletteColor(14).toQRgb(), qRgb(255, 255, 0)) << "yellow";
    EXPECT_THROW(fk::paletteColor(16), fk::RuntimeError);
    EXPECT_THROW(fk::paletteColor(-1), fk::RuntimeError);
}

TEST(Values, WholeNumbersRoundHalvesToEvenAndOverflowInsteadOfWrapping)
{
    EXPECT_EQ(fk::toLong(2.5), 2);
    EXPECT_EQ(fk::toLong(3.5), 4);
    EXPECT_EQ(fk::toLong(-2.5), -2);
    EXPECT_EQ(fk::toInteger(32767.4), 32767);
    EXPECT_THROW(fk::toInteger(32767.5), fk::RuntimeError) << "rounds to 32768";
    EXPECT_THROW(fk::toLong(2147483648.0), fk::RuntimeError);
    EXPECT_THROW(fk::toLong(std::nan("")), fk::RuntimeError);
    EXPECT_EQ(fk::checkedLong(std::int64_t{-2147483647} - 1), std::numeric_limits<std::int32_t>::min());
    EXPECT_THROW(fk::checkedLong(std::int64_t{2147483647} + 1), fk::RuntimeError);
    try {
        fk::checkedInteger(32768);
        FAIL();
    } catch (const fk::RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

} // namespace
