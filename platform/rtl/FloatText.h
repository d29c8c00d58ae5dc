// FloatText.h - decimal digits of floating values, shared by FloatToStrF, FormatFloat and
// Format. Internal to platform/rtl.
//
// A TFloatRec holds 0.D1D2...Dn x 10^Exponent. Digits come from the exact binary value cut
// to 18 significant digits (what the platform's extended type gives a double), and rounding
// to fewer digits takes halves away from zero on that decimal text.
#pragma once

#include "platform/rtl/SysUtils.h"

namespace rtl_detail {

struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    int Count = 0;  // 0: the value is zero
    char Digits[24] = {};
};

void FloatToDecimal(TFloatRec& rec, double value);
void CurrToDecimal(TFloatRec& rec, Currency value);
// Keeps at most `precision` significant digits and at most `decimals` digits after the point.
void RoundDecimal(TFloatRec& rec, int precision, int decimals);

// Text forms of a rounded record (no NaN/Inf here).
AnsiString FloatToTextGeneral(double value, int precision, int expDigits, const TFormatSettings& fs);
AnsiString FloatRecToText(TFloatRec rec, TFloatFormat format, int precision, int digits,
                          const TFormatSettings& fs);
AnsiString NonFiniteText(double value);  // "NAN", "INF", "-INF"; "" when finite
AnsiString ApplyCurrencyFormat(const AnsiString& number, bool negative, const TFormatSettings& fs);

[[noreturn]] void RaiseConvert(const char* fmt, std::string_view arg);

}  // namespace rtl_detail
