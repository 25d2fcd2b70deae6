#include "depreciation/rounding.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <math.h>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvo {

namespace {

// 10 to the power n in extended precision; exact for the small n in use.
long double powerOfTen(int n)
{
    long double p = 1.0L;
    for (int i = 0; i < (n < 0 ? -n : n); ++i)
        p *= 10.0L;
    return n < 0 ? 1.0L / p : p;
}

// The rounding steps produce whole numbers, and a whole number has no sign of
// zero: -0.4 rounds to 0, not to -0, so that nothing downstream writes "-0".
double withoutNegativeZero(double value)
{
    return value == 0.0 ? 0.0 : value;
}

} // namespace

double RoundEven(double value, int decimals)
{
    // The factor is held as a double (0.01 for two places), not as the extended
    // 1/100; the division and the product below still run in extended precision.
    const double factor = static_cast<double>(1.0L / powerOfTen(decimals));
    const long double quotient = static_cast<long double>(value) / factor;
    // nearbyintl in the default rounding mode sends exact halves to the even integer.
    const long double whole = ::nearbyintl(quotient);
    return withoutNegativeZero(static_cast<double>(whole * factor));
}

double RoundUpCrowns(long double value)
{
    const double shifted = static_cast<double>(value + 0.49L);
    return RoundEven(shifted, 0);
}

double RoundHalfAway(double value)
{
    // Negative zero compares equal to 0 and so counts as not below it.
    const long double sign = value >= 0.0 ? 1.0L : -1.0L;
    const long double sum = static_cast<long double>(value) + 0.5L * sign;
    return withoutNegativeZero(static_cast<double>(::truncl(sum)));
}

double RoundDecimals(double value, int decimals)
{
    const long double scale = powerOfTen(decimals);
    // Rounding the scaled value to a double first is what makes 2.675 -> 2.68.
    const double scaled = static_cast<double>(static_cast<long double>(value) * scale);
    const double whole = RoundHalfAway(scaled);
    return static_cast<double>(static_cast<long double>(whole) / scale);
}

int WholeRate(double value)
{
    if (std::isnan(value))
        return 0;
    const double whole = std::nearbyint(value);
    // Converting an out-of-range double to int is undefined; a rate read from a
    // damaged row must not crash the plan generation.
    if (whole >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (whole <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(whole);
}

QString SqlNumber(long double value)
{
    if (!std::isfinite(value))
        throw std::domain_error("SqlNumber: NaN and infinity have no SQL literal");
    if (value == 0.0L)
        return QStringLiteral("0");

    // Fifteen significant digits, correctly rounded from the binary value. Only
    // the digits and the exponent are taken from this text, so the result never
    // depends on the decimal point of the C or Qt locale.
    char buffer[64];
    // Nearly every value is a double widened to long double; the same number
    // converted as a double gives the same correctly rounded digits many times
    // faster than the extended conversion, which goes through printf.
    const bool isDouble = std::fabs(value) <= std::numeric_limits<double>::max() &&
                          static_cast<long double>(static_cast<double>(value)) == value;
    const auto converted =
        isDouble ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                 std::chars_format::scientific, 14)
                 : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(converted.ptr - buffer));
    const std::size_t e = text.find('e');

    std::string digits;
    for (const char c : text.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // The notation is chosen by the rounded value: 999999999999999.9 rounds to
    // 1E15, which has sixteen integer digits.
    std::string result = value < 0 ? "-" : "";
    if (exponent >= -5 && exponent <= 14) {
        if (exponent < 0) {
            result += "0.";
            result.append(static_cast<std::size_t>(-exponent - 1), '0');
            result += digits;
        } else {
            const auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                result += digits;
                result.append(intDigits - digits.size(), '0');
            } else {
                result += digits.substr(0, intDigits);
                result += '.';
                result += digits.substr(intDigits);
            }
        }
    } else {
        result += digits.front();
        if (digits.size() > 1) {
            result += '.';
            result += digits.substr(1);
        }
        result += 'E';
        result += std::to_string(exponent);
    }
    return QString::fromLatin1(result.data(), static_cast<qsizetype>(result.size()));
}

} // namespace kelvo
