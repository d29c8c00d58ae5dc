// Math.h - rounding and the small numeric helpers of the platform.
//
// Rounding is where money goes wrong, so the rules are fixed here:
//   Round(x)          nearest integer, exact halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
//   Trunc(x)          toward zero.   Int(x): toward zero, kept as a float.   Frac(x) = x - Int(x).
//   RoundTo(x, d)     rounds to a multiple of 10^d (d = -2: cents), halves to even, computed
//                     in long double: x / 10^d is rounded and multiplied back, so 2.675
//                     (held as 2.67499999...) gives 2.67 and 0.125 gives 0.12.
//   SimpleRoundTo(x, d)  halves away from zero (the "school" rule), d = -2 by default.
// Trunc and Round raise EInvalidOp for NaN or infinity and EOverflow when the result does not
// fit in 64 bits.
#pragma once

#include "platform/rtl/System.h"

#include <cstdint>

int64_t Round(long double x);
int64_t Trunc(long double x);
double Int(double x);
double Frac(double x);
double RoundTo(double value, int digit);
double SimpleRoundTo(double value, int digit = -2);
double Power(double base, double exponent);
long double IntPower(long double base, int exponent);

// 10^n as long double, exact for |n| <= 27.
long double Power10(int n);

inline int Min(int a, int b) { return a < b ? a : b; }
inline int Max(int a, int b) { return a > b ? a : b; }
inline int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }
inline int64_t Max(int64_t a, int64_t b) { return a > b ? a : b; }
inline double Min(double a, double b) { return a < b ? a : b; }
inline double Max(double a, double b) { return a > b ? a : b; }

bool IsNan(double x);
bool IsInfinite(double x);
bool SameValue(double a, double b, double epsilon = 0);
