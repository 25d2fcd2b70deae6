#include "depreciation/rounding.h"

#include <QLocale>
#include <clocale>
#include <climits>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

// Results are compared as exact doubles: the operations promise a particular
// double, not one within a tolerance.

const double kAbove1429 = std::nextafter(14.29, 100.0);

TEST(RoundEven, Examples)
{
    struct Case {
        double value;
        int decimals;
        double expected;
    };
    const Case cases[] = {
        {2.5, 0, 2.0},
        {3.5, 0, 4.0},
        {-2.5, 0, -2.0},
        {0.5, 0, 0.0},
        {1.5, 0, 2.0},
        {7.0, 0, 7.0},
        {100.0 / 3, 2, 33.33},
        {100.0 / 6, 2, 16.67},
        {12.5, 2, 12.5},
        {100.0 / 7, 2, kAbove1429},
        // The quotient is taken in extended precision against the double 0.01,
        // so the binary value's side of the half decides; plain double
        // arithmetic would give 0.02 for both.
        {0.015, 2, 0.01},
        {0.025, 2, 0.03},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundEven(c.value, c.decimals), c.expected)
            << "value " << c.value << ", decimals " << c.decimals;
}

TEST(RoundEven, ResultIsNeverNegativeZero)
{
    EXPECT_FALSE(std::signbit(RoundEven(-0.4, 0)));
    EXPECT_FALSE(std::signbit(RoundEven(-0.001, 2)));
}

TEST(RoundUpCrowns, Examples)
{
    struct Case {
        long double value;
        double expected;
    };
    const Case cases[] = {
        {11000.00, 11000},
        {11000.005, 11000},
        {11000.02, 11001},
        {11000.75, 11001},
        {100000.0L / 3, 33334},
        {1357.01, 1358},
        {1358.01, 1358},
        {-10.3, -10},
        // Whole numbers stay; a whole number plus 0.02 goes up.
        {0, 0},
        {1, 1},
        {250000, 250000},
        {250000.02, 250001},
        {1.02L, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundUpCrowns(c.value), c.expected) << "value " << double(c.value);
}

TEST(RoundHalfAway, Examples)
{
    struct Case {
        double value;
        double expected;
    };
    const Case cases[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.4999, 2},
        {-0.4, 0},
        {-0.0, 0},
        {0.5, 1},
        {-7.0, -7},
        // In double arithmetic these sums would round up to the next integer;
        // in extended precision they are exact.
        {0.49999999999999994, 0},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const Case& c : cases) {
        const double result = RoundHalfAway(c.value);
        EXPECT_EQ(result, c.expected) << "value " << c.value;
        EXPECT_FALSE(result == 0 && std::signbit(result)) << "negative zero for " << c.value;
    }
}

TEST(Rounding, FamiliesDifferExactlyAtHalves)
{
    EXPECT_EQ(RoundEven(2.5, 0), 2.0);
    EXPECT_EQ(RoundHalfAway(2.5), 3.0);
    EXPECT_EQ(RoundEven(-2.5, 0), -2.0);
    EXPECT_EQ(RoundHalfAway(-2.5), -3.0);
    EXPECT_EQ(RoundEven(2.4, 0), RoundHalfAway(2.4));
    EXPECT_EQ(RoundEven(-2.6, 0), RoundHalfAway(-2.6));
}

TEST(RoundDecimals, Examples)
{
    struct Case {
        double value;
        double expected;
    };
    const Case cases[] = {
        {110000.0 / 12, 9166.67},
        {8332.5, 8332.5},
        // 267.4999... rounds to the double 267.5 before the half is judged.
        {2.675, 2.68},
        {-2.675, -2.68},
        // 100.4999... stays below 100.5 as a double.
        {1.005, 1.00},
        {0.005, 0.01},
        {-0.004, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundDecimals(c.value, 2), c.expected) << "value " << c.value;
}

TEST(RoundDecimals, TwoDecimalValuesComeBackUnchanged)
{
    const double values[] = {0.01, 0.1, 12.5, 33.33, 14.29, 8332.5, 9166.67, -8.1,
                             1234567.89, 98765432.1, 0};
    for (const double value : values)
        EXPECT_EQ(RoundDecimals(value, 2), value) << "value " << value;
}

TEST(WholeRate, Examples)
{
    struct Case {
        double value;
        int expected;
    };
    const Case cases[] = {
        {22.25, 22},
        {10.5, 10},
        {5.5, 6},
        {2.15, 2},
        {40, 40},
        {0, 0},
        {-2.5, -2},
        // A damaged value must not turn into undefined behaviour.
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {1e20, INT_MAX},
        {-1e20, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WholeRate(c.value), c.expected) << "value " << c.value;
}

TEST(SqlNumber, Examples)
{
    struct Case {
        long double value;
        const char* expected;
    };
    const Case cases[] = {
        {22.25, "22.25"},
        {11000, "11000"},
        {33.33, "33.33"},
        {kAbove1429, "14.29"},
        {0.1 + 0.2, "0.3"},
        {-1, "-1"},
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {1.0L / 3, "0.333333333333333"},
        {100000.0L / 3, "33333.3333333333"},
        {-1234567.89, "-1234567.89"},
        // Fixed notation down to 0.00001 and up to fifteen integer digits.
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {999999999999999.0, "999999999999999"},
        // Scientific notation beyond those limits, judged after the rounding.
        {0.000001, "1E-6"},
        {-0.000001234, "-1.234E-6"},
        {2.5e-7, "2.5E-7"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {1e100, "1E100"},
        {0.0000099999999999999999L, "0.00001"},
        // Exact halves at the sixteenth digit go to the even digit.
        {100000000000000.5, "100000000000000"},
        {100000000000001.5, "100000000000002"},
        {1234567890123.125, "1234567890123.12"},
        {-1234567890123.375, "-1234567890123.38"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SqlNumber(c.value).toStdString(), c.expected) << "value " << double(c.value);
}

TEST(SqlNumber, RefusesValuesWithoutSqlLiteral)
{
    EXPECT_THROW(SqlNumber(std::numeric_limits<long double>::quiet_NaN()), std::domain_error);
    EXPECT_THROW(SqlNumber(std::numeric_limits<long double>::infinity()), std::domain_error);
    EXPECT_THROW(SqlNumber(-std::numeric_limits<long double>::infinity()), std::domain_error);
}

void expectPlainSqlNumbers()
{
    EXPECT_EQ(SqlNumber(22.25).toStdString(), "22.25");
    EXPECT_EQ(SqlNumber(-1234567.89).toStdString(), "-1234567.89");
    EXPECT_EQ(SqlNumber(2.5e-7).toStdString(), "2.5E-7");
}

TEST(SqlNumber, IgnoresCzechQtLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    expectPlainSqlNumbers();
    QLocale::setDefault(previous);
}

TEST(SqlNumber, IgnoresCzechCLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "cs_CZ.UTF-8") && !std::setlocale(LC_ALL, "cs_CZ"))
        GTEST_SKIP() << "no Czech C locale installed";
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    expectPlainSqlNumbers();
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
} // namespace kelvo
