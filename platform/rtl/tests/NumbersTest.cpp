#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const TFormatSettings kRu = RussianFormatSettings();
const TFormatSettings kEn = EnglishFormatSettings();

TEST(Numbers, IntToStrAndHex)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(255, 1), "FF");
    EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(0, 0), "0");
}

struct IntCase {
    const char* why;
    const char* text;
    bool ok;
    int64_t value;
};

TEST(Numbers, StrToInt)
{
    const IntCase cases[] = {
        {"plain", "123", true, 123},
        {"sign", "-17", true, -17},
        {"plus sign", "+5", true, 5},
        {"leading blanks", "   8", true, 8},
        {"trailing blank is refused", "8 ", false, 0},
        {"hex with $", "$FF", true, 255},
        {"hex with 0x", "0x1f", true, 31},
        {"negative hex", "-$10", true, -16},
        {"hex fills 32 bits", "$FFFFFFFF", true, -1},
        {"largest", "2147483647", true, 2147483647},
        {"smallest", "-2147483648", true, INT32_MIN},
        {"overflow", "2147483648", false, 0},
        {"hex overflow", "$100000000", false, 0},
        {"empty", "", false, 0},
        {"sign only", "-", false, 0},
        {"decimal comma", "1,5", false, 0},
        {"letters", "12abc", false, 0},
        {"$ alone", "$", false, 0},
        {"Cyrillic", "пять", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        int v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            EXPECT_EQ(StrToIntDef(c.text, -7), -7);
            try {
                StrToInt(c.text);
                ADD_FAILURE() << "no exception";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), "'" + AnsiString(c.text) + "' is not a valid integer value");
            }
        }
    }
}

TEST(Numbers, StrToInt64)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64Def("x", 3), 3);
}

struct FloatParse {
    const char* why;
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    double value;
};

TEST(Numbers, StrToFloatFollowsTheSettings)
{
    const FloatParse cases[] = {
        {"Russian comma", "1,5", &kRu, true, 1.5},
        {"Russian refuses a point", "1.5", &kRu, false, 0},
        {"English point", "1.5", &kEn, true, 1.5},
        {"English refuses a comma", "1,5", &kEn, false, 0},
        {"blanks around", "  -2,25  ", &kRu, true, -2.25},
        {"exponent", "1,5E3", &kRu, true, 1500},
        {"negative exponent", "25e-2", &kRu, true, 0.25},
        {"no digits before the separator", ",5", &kRu, true, 0.5},
        {"separator at the end", "5,", &kRu, true, 5},
        {"thousands separator refused", "1\xA0" "000", &kRu, false, 0},
        {"empty", "", &kRu, false, 0},
        {"exponent without digits", "1e", &kRu, false, 0},
        {"two separators", "1,2,3", &kRu, false, 0},
        {"overflow", "1e400", &kRu, false, 0},
        {"underflow is zero", "1e-400", &kRu, true, 0},
        {"not a number text", "NAN", &kRu, false, 0},
        {"infinity text", "INF", &kRu, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.text, v, *c.fs), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value);
        } else {
            try {
                StrToFloat(c.text, *c.fs);
                ADD_FAILURE() << "no exception";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), "'" + AnsiString(c.text) + "' is not a valid floating point value");
            }
        }
    }
}

struct FloatText {
    const char* why;
    double value;
    const char* ru;
    const char* en;
};

TEST(Numbers, FloatToStrGeneralFormat)
{
    const FloatText cases[] = {
        {"integer", 10, "10", "10"},
        {"fraction", 1.5, "1,5", "1.5"},
        {"negative", -0.25, "-0,25", "-0.25"},
        {"zero", 0, "0", "0"},
        {"15 significant digits hide binary noise", 0.1 + 0.2, "0,3", "0.3"},
        {"a third", 1.0 / 3, "0,333333333333333", "0.333333333333333"},
        {"largest without exponent", 999999999999999, "999999999999999", "999999999999999"},
        {"1E15 switches to exponent", 1e15, "1E15", "1E15"},
        {"0,0001 still fixed", 0.0001, "0,0001", "0.0001"},
        {"0,00001 switches to exponent", 0.00001, "1E-5", "1E-5"},
        {"mantissa with fraction", 1.5e20, "1,5E20", "1.5E20"},
        {"rounding at the 15th digit", 2.0 / 3, "0,666666666666667", "0.666666666666667"},
        {"single precision widened shows its digits", double(0.1f), "0,100000001490116", "0.100000001490116"},
        {"money", 1234.56, "1234,56", "1234.56"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(FloatToStr(c.value, kRu), c.ru);
        EXPECT_EQ(FloatToStr(c.value, kEn), c.en);
    }
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(Numbers, FloatToStrFFormats)
{
    struct Row { const char* why; double v; TFloatFormat f; int prec; int digits; const char* ru; const char* en; };
    const Row rows[] = {
        {"fixed two places", 3.14159, ffFixed, 15, 2, "3,14", "3.14"},
        {"fixed pads zeros", 2, ffFixed, 15, 3, "2,000", "2.000"},
        {"fixed rounds half up on the decimal text", 0.125, ffFixed, 15, 2, "0,13", "0.13"},
        {"2.675 is held below the half", 2.675, ffFixed, 15, 2, "2,67", "2.67"},
        {"fixed no decimals", 2.5, ffFixed, 15, 0, "3", "3"},
        {"negative rounding to zero loses the sign", -0.001, ffFixed, 15, 2, "0,00", "0.00"},
        {"number groups thousands", 1234567.891, ffNumber, 15, 2, "1\xA0" "234\xA0" "567,89", "1,234,567.89"},
        {"number below a thousand", 999.5, ffNumber, 15, 0, "1\xA0" "000", "1,000"},
        {"currency", 1234.5, ffCurrency, 15, 2, "1\xA0" "234,50 р.", "$1,234.50"},
        {"negative currency", -5, ffCurrency, 15, 2, "-5,00 р.", "($5.00)"},
        {"exponent", 1234.5, ffExponent, 4, 2, "1,235E+03", "1.235E+03"},
        {"exponent small", 0.00012, ffExponent, 3, 0, "1,20E-4", "1.20E-4"},
        {"general with precision", 1234.5678, ffGeneral, 6, 0, "1234,57", "1234.57"},
        {"general precision forces exponent", 1234567, ffGeneral, 4, 0, "1,235E6", "1.235E6"},
        {"fixed too wide falls back to general", 1e20, ffFixed, 15, 2, "1E20", "1E20"},
        {"fixed precision 1 is taken as 2", 12.345, ffFixed, 1, 2, "12,00", "12.00"},
        {"exponent precision 1 is taken as 2", 1234.5, ffExponent, 1, 2, "1,2E+03", "1.2E+03"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(FloatToStrF(r.v, r.f, r.prec, r.digits, kRu), r.ru);
        EXPECT_EQ(FloatToStrF(r.v, r.f, r.prec, r.digits, kEn), r.en);
    }
}

TEST(Numbers, FormatFloatPictures)
{
    struct Row { const char* why; const char* pic; double v; const char* ru; const char* en; };
    const Row rows[] = {
        {"two decimals", "0.00", 3.14159, "3,14", "3.14"},
        {"optional decimals dropped", "0.##", 3, "3", "3"},
        {"optional decimals kept", "0.##", 3.1, "3,1", "3.1"},
        {"thousands", "#,##0.00", 1234567.5, "1\xA0" "234\xA0" "567,50", "1,234,567.50"},
        {"thousands small", "#,##0", 12, "12", "12"},
        {"leading zeros", "0000", 42, "0042", "0042"},
        {"hash keeps no zero", "#.##", 0.5, ",5", ".5"},
        {"negative gets minus", "0.0", -2.25, "-2,3", "-2.3"},
        {"half rounds up in pictures", "0", 2.5, "3", "3"},
        {"negative section drops the sign", "0.00;(0.00)", -5, "(5,00)", "(5.00)"},
        {"zero section", "0.00;-0.00;'ноль'", 0, "ноль", "ноль"},
        {"tiny negative rounds to zero section", "0.00;-0.00;'ноль'", -0.001, "ноль", "ноль"},
        {"tiny negative without zero section has no minus", "0.00", -0.001, "0,00", "0.00"},
        {"quoted text", "0.00 'руб.'", 12.3, "12,30 руб.", "12.30 руб."},
        {"double-quoted text", "\"Итого: \"0", 7, "Итого: 7", "Итого: 7"},
        {"scientific E+", "0.00E+00", 1234, "1,23E+03", "1.23E+03"},
        {"scientific E- hides plus", "0.0E-0", 1234, "1,2E3", "1.2E3"},
        {"scientific negative exponent", "0.0E+00", 0.00012, "1,2E-04", "1.2E-04"},
        {"more digits than places", "0", 123456, "123456", "123456"},
        {"empty picture is general", "", 1.5, "1,5", "1.5"},
        {"text only", "'x'", 5, "x", "x"},
        {"literal between digits", "00-00", 1234, "12-34", "12-34"},
        {"huge value in a fixed picture", "0.00", 1e25, "1E25", "1E25"},
        {"unterminated quote is tolerated", "0 'abc", 1, "1 abc", "1 abc"},
        {"no integer places still shows the integer part", ".00", 1234.5678, "1234,57", "1234.57"},
        {"no integer places below one", ".00", 0.5, ",50", ".50"},
        {"empty positive section is general", ";-0.00", 1.5, "1,5", "1.5"},
        {"empty positive section, negative value", ";-0.00", -1.5, "-1,50", "-1.50"},
        {"empty positive section, zero", ";-0.00", 0, "0", "0"},
        {"scientific zero shows a digit", "#.###E-0", 0, "0E0", "0E0"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(FormatFloat(r.pic, r.v, kRu), r.ru);
        EXPECT_EQ(FormatFloat(r.pic, r.v, kEn), r.en);
    }
}

TEST(Numbers, Currency)
{
    EXPECT_EQ(CurrToStr(Currency(12.5), kRu), "12,5");
    EXPECT_EQ(CurrToStr(Currency(-0.0001), kEn), "-0.0001");
    EXPECT_EQ(CurrToStrF(Currency(1234.5), ffCurrency, 2, kRu), "1\xA0" "234,50 р.");
    EXPECT_EQ(Currency(1.23456).Val, 12346);  // rounded to four places
    EXPECT_EQ(Currency(-1.23454).Val, -12345);
    EXPECT_EQ(StrToCurr("12,34", kRu).Val, 123400);
    EXPECT_THROW(Currency(1e300), EOverflow);
    EXPECT_EQ(FormatCurr("0.00", Currency(2.345), kEn), "2.35");
}

TEST(Numbers, Booleans)
{
    EXPECT_TRUE(StrToBool("true"));
    EXPECT_FALSE(StrToBool("FALSE"));
    EXPECT_TRUE(StrToBool("-1"));
    EXPECT_FALSE(StrToBool("0"));
    EXPECT_THROW(StrToBool("да"), EConvertError);
    EXPECT_EQ(BoolToStr(true), "-1");
    EXPECT_EQ(BoolToStr(false, true), "False");
}

TEST(Numbers, ProcessSettingsAreRussianByDefault)
{
    EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
    EXPECT_EQ(FormatSettings().ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    SetFormatSettings(kEn);
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    SetFormatSettings(kRu);
    EXPECT_EQ(FloatToStr(2.5), "2,5");
}

}  // namespace
