// Values that cross from the program to the runtime and back: colours, the clock and the
// text form of dispatch values.
#include "support/test_support.h"

#include "com/bitmap_resource.h"
#include "com/guid.h"
#include "com/variant.h"
#include "core/arithmetic.h"
#include "core/color.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace testing_support;

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
    // The sixteen-colour bitmaps keep the same colours in their own order.
    EXPECT_EQ(fk::com::vgaIndexOf(qRgb(128, 0, 0)), 1) << "maroon";
    EXPECT_EQ(fk::com::vgaIndexOf(qRgb(255, 0, 0)), 9) << "red";
    EXPECT_EQ(fk::com::vgaIndexOf(qRgb(0, 0, 255)), 12) << "blue";
    EXPECT_EQ(fk::com::vgaIndexOf(qRgb(1, 2, 3)), std::nullopt);
}

TEST(Values, TheClockIsSecondsSinceMidnightInSinglePrecision)
{
    FakeClock clock(86399.5);
    EXPECT_FLOAT_EQ(fk::clock::Timer(), 86399.5f);
    clock.advance(0.75);
    EXPECT_NEAR(fk::clock::Timer(), 0.25f, 1e-3) << "restarts at midnight";
    const double before = fk::clock::monotonicSeconds();
    clock.advance(2);
    EXPECT_DOUBLE_EQ(fk::clock::monotonicSeconds() - before, 2.0);
}

TEST(Values, TheSystemClockAgreesWithTheTimeOfDay)
{
    // The reading lies between the times of day read just before and just after it; when
    // those two straddle midnight, a reading on either side of the wrap is right.
    const double before = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    const double reading = fk::clock::Timer();
    const double after = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    const bool notBeforeBefore = reading >= before - 1.0, notAfterAfter = reading <= after + 1.0;
    EXPECT_TRUE(before <= after ? notBeforeBefore && notAfterAfter : notBeforeBefore || notAfterAfter)
        << reading << " read between " << before << " and " << after;
}

TEST(Values, TextFormsOfDispatchValues)
{
    using fk::com::Variant;
    EXPECT_EQ(Variant(std::int16_t{5}).toText(), QStringLiteral("5"));
    EXPECT_EQ(Variant(std::int32_t{-70000}).toText(), QStringLiteral("-70000"));
    EXPECT_EQ(Variant(65536.83f).toText(), QStringLiteral("65536.83"));
    EXPECT_EQ(Variant(439803296.0).toText(), QStringLiteral("439803296"));
    EXPECT_EQ(Variant(fk::com::Bool16::False).toText(), QStringLiteral("False"));
    EXPECT_EQ(Variant().toText(), QString());
    EXPECT_THROW(Variant(fk::com::Null{}).toText(), fk::RuntimeError);
    EXPECT_THROW(Variant(fk::com::ObjectRef{}).toText(), fk::RuntimeError);
}

TEST(Values, IdentitiesReadAndWriteTheBracedForm)
{
    constexpr auto id = fk::com::guid(kButtonClass);
    EXPECT_EQ(id.toString(), QString(kButtonClass));
    EXPECT_EQ(fk::com::parseGuid(QStringLiteral("8dde02c5-207c-4592-8b6f-0f84159237e0")), id);
    EXPECT_FALSE(fk::com::parseGuid(QStringLiteral("{8DDE02C5-207C-4592-8B6F-0F84159237E}")));
    EXPECT_FALSE(fk::com::parseGuid(QStringLiteral("{8DDE02C5+207C-4592-8B6F-0F84159237E0}")));
    const auto bytes = id.toBytes();
    EXPECT_EQ(bytes[0], 0xC5) << "the first field is stored little-endian";
    EXPECT_EQ(bytes[4], 0x7C);
    EXPECT_EQ(bytes[8], 0x8B) << "the last eight bytes as written";
    EXPECT_EQ(fk::com::Guid::fromBytes(bytes.data()), id);
}

} // namespace

namespace {

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
