#pragma once

#include <QString>

namespace kelvo {

// The rounding operations of the depreciation plans. The statutory results depend
// on the exact steps: where a step says "extended" it is computed in long double
// (the x87 80-bit format on our target), where it says "double" the value is
// rounded to a 64-bit double. Do not replace them with a decimal type or with
// plain double arithmetic; they differ exactly at values within noise of a half.
//
// Two families are used side by side and must not be merged: RoundEven and
// RoundUpCrowns (tax plan: exact halves go to the even neighbour) and
// RoundHalfAway / RoundDecimals (accounting amounts: halves go away from zero).

// Rounds to 0 or 2 decimals (any decimals >= 0 work), an exact half of the last
// place going to the even neighbour. 2.5 -> 2, 3.5 -> 4, 100/3 with 2 -> 33.33.
double RoundEven(double value, int decimals);

// Whole crowns for first-year and accelerated amounts: adds 0.49, rounds the
// sum to a double and then to the even whole number. A fractional part of about
// 0.02 or more goes up, one below 0.01 goes down, 0.01 lands on a half.
double RoundUpCrowns(long double value);

// The nearest whole number, an exact half going away from zero: 2.5 -> 3,
// -2.5 -> -3.
double RoundHalfAway(double value);

// Rounds to `decimals` places with halves away from zero; the scaled value is
// rounded to a double before the rounding, so 2.675 gives 2.68 and 1.005 gives 1.
double RoundDecimals(double value, int decimals);

// A rate value as a whole number, halves to even: 22.25 -> 22, 10.5 -> 10,
// 5.5 -> 6. NaN gives 0; values beyond the int range give INT_MIN / INT_MAX.
int WholeRate(double value);

// A number as SQL text: at most 15 significant digits, no trailing zeros, "."
// as the decimal point and no grouping under any locale. Fixed notation for 0
// and for magnitudes from 0.00001 up to 15 integer digits, otherwise
// "1E-6" / "1E15". Throws std::domain_error for NaN and infinity, which have no
// SQL literal.
QString SqlNumber(long double value);

} // namespace kelvo
