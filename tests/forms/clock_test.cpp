// The clock the program reads: seconds since midnight, as the time of day.
#include "support/test_support.h"

#include "forms/clock.h"

#include <QTime>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(Clock, TheClockIsSecondsSinceMidnightInSinglePrecision)
{
    FakeClock clock(86399.5);
    EXPECT_FLOAT_EQ(fk::clock::Timer(), 86399.5f);
    clock.advance(0.75);
    EXPECT_NEAR(fk::clock::Timer(), 0.25f, 1e-3) << "restarts at midnight";
    const double before = fk::clock::monotonicSeconds();
    clock.advance(2);
    EXPECT_DOUBLE_EQ(fk::clock::monotonicSeconds() - before, 2.0);
}

TEST(Clock, TheSystemClockAgreesWithTheTimeOfDay)
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

} // namespace
