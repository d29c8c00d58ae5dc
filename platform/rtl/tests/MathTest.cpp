#include "platform/rtl/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Math, RoundTiesToEven)
{
    struct Row { const char* why; long double x; int64_t r; };
    const Row rows[] = {
        {"half down to even", 2.5, 2},  {"half up to even", 3.5, 4},    {"negative half", -2.5, -2},
        {"negative half up", -3.5, -4}, {"below half", 2.4999, 2},      {"above half", 2.5001, 3},
        {"zero", 0, 0},                 {"large", 1e15 + 0.5, 1000000000000000},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Round(r.x), r.r);
    }
    EXPECT_THROW(Round(1e30), EOverflow);
    EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
}

TEST(Math, TruncIntFrac)
{
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_DOUBLE_EQ(Int(-2.75), -2);
    EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
    EXPECT_DOUBLE_EQ(Frac(3.25), 0.25);
    EXPECT_THROW(Trunc(std::numeric_limits<double>::infinity()), EInvalidOp);
}

struct RoundToRow {
    const char* why;
    double value;
    int digit;
    double expected;
};

TEST(Math, RoundToCents)
{
    const RoundToRow rows[] = {
        {"cents of a plain value", 12.344, -2, 12.34},
        {"cents rounding up", 12.346, -2, 12.35},
        {"exact half of a cent goes to even (down)", 0.125, -2, 0.12},
        {"exact half of a cent goes to even (up)", 0.375, -2, 0.38},
        {"2.675 is held just below the half", 2.675, -2, 2.67},
        {"negative", -1.005, -2, -1.0},
        {"tenths", 1.25, -1, 1.2},
        {"tens", 1234, 1, 1230},
        {"hundreds with even tie", 250, 2, 200},
        {"units", 2.5, 0, 2},
        {"VAT of 100 at 18%", 100 * 18 * 0.01 + 100, -2, 118},
        {"already rounded", 10.1, -2, 10.1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_DOUBLE_EQ(RoundTo(r.value, r.digit), r.expected);
    }
}

TEST(Math, RoundToLeavesNonFiniteAndHugeValuesAlone)
{
    EXPECT_TRUE(std::isnan(RoundTo(std::numeric_limits<double>::quiet_NaN(), -2)));
    EXPECT_DOUBLE_EQ(RoundTo(1e300, -2), 1e300);
}

TEST(Math, SimpleRoundToTakesHalvesAwayFromZero)
{
    EXPECT_DOUBLE_EQ(SimpleRoundTo(0.125), 0.13);
    EXPECT_DOUBLE_EQ(SimpleRoundTo(-0.125), -0.13);  // symmetric: not truncated toward zero
    EXPECT_DOUBLE_EQ(SimpleRoundTo(-2.6, 0), -3);
    EXPECT_DOUBLE_EQ(SimpleRoundTo(2.5, 0), 3);
}

TEST(Math, Power)
{
    EXPECT_DOUBLE_EQ(Power(2, 10), 1024);
    EXPECT_DOUBLE_EQ(Power(0, 0), 1);
    EXPECT_DOUBLE_EQ(Power(4, 0.5), 2);
    EXPECT_THROW(Power(0, -1), EZeroDivide);
    EXPECT_THROW(Power(-8, 1.0 / 3), EInvalidOp);
    EXPECT_DOUBLE_EQ(double(IntPower(10, -2)), 0.01);
}

}  // namespace
