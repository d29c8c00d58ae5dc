// The built-in routines through the item model: results under the Russian and
// an English locale, var parameters written back, clean errors on bad input,
// and the registrar's life in the global unit.
#include "script/tests/FunctionsFixture.h"

#include "script/XmlDocument.h"

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace {

Variant Date_(int y, int m, int d)
{
    return Variant(EncodeDate(y, m, d));
}

Variant Time_(int h, int n, int s, int ms = 0)
{
    return Variant(EncodeTime(h, n, s, ms));
}

struct Case {
    const char* why;
    const char* name;
    std::vector<Variant> args;
    Variant expected;
};

void ExpectCases(std::initializer_list<Case> cases,
                 const std::function<Variant(const AnsiString&, const std::vector<Variant>&)>& call)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Variant r = call(c.name, c.args);
        EXPECT_TRUE(IdenticalValues(r, c.expected))
            << c.name << " gave " << VarToStrDef(r, "<null>") << " (" << VarTypeAsText(VarType(r)) << "), expected "
            << VarToStrDef(c.expected, "<null>") << " (" << VarTypeAsText(VarType(c.expected)) << ")";
    }
}

// Results that do not depend on the locale; checked under both.
const std::initializer_list<Case> kLocaleFree = {
    {"IntToStr of an Integer", "IntToStr", {42}, "42"},
    {"IntToStr converts a numeric text first", "IntToStr", {"17"}, "17"},
    {"IntToStr rounds a float halves to even", "IntToStr", {2.5}, "2"},
    {"VarToStr of Null is empty", "VarToStr", {Null()}, ""},
    {"VarToStr of an Integer", "VarToStr", {12}, "12"},
    {"StrToInt of decimal text", "StrToInt", {"123"}, 123},
    {"StrToInt allows leading blanks", "StrToInt", {"  7"}, 7},
    {"StrToInt of hexadecimal text", "StrToInt", {"$FF"}, 255},
    {"Copy from position 0 counts as 1, count kept", "Copy", {"abcdef", 0, 2}, "ab"},
    {"Copy from a negative position", "Copy", {"abcdef", -5, 3}, "abc"},
    {"Copy in the middle", "Copy", {"abcdef", 3, 2}, "cd"},
    {"Copy past the end is empty", "Copy", {"abcdef", 7, 2}, ""},
    {"Copy with a negative count is empty", "Copy", {"abcdef", 2, -1}, ""},
    {"Copy with a count past the end stops at the end", "Copy", {"abcdef", 5, 100}, "ef"},
    {"Copy counts bytes of Cyrillic text", "Copy", {"Склад", 2, 3}, "кла"},
    {"Pos of a missing letter is 0", "Pos", {"z", "abc"}, 0},
    {"Pos of empty text is 0", "Pos", {"", "abc"}, 0},
    {"Pos finds the first occurrence", "Pos", {"b", "abcb"}, 2},
    {"Length of Cyrillic text counts bytes", "Length", {"привет"}, 6},
    {"Length of a five-digit Integer is its text's", "Length", {12345}, 5},
    {"Length of an array 1..5", "Length", {VarArrayCreate({1, 5}, varVariant)}, 5},
    {"Length of an empty array", "Length", {VarArrayCreate({0, -1}, varVariant)}, 0},
    {"Uppercase of Cyrillic with Ё", "Uppercase", {"ёжик Abc"}, "ЁЖИК ABC"},
    {"Lowercase of Cyrillic with Ё", "Lowercase", {"ЁЖИК Abc"}, "ёжик abc"},
    {"Trim drops control characters and blanks", "Trim", {"\t  x y \r\n"}, "x y"},
    {"NameCase capitalises each word", "NameCase", {"иван петрович СИДОРОВ"}, "Иван Петрович Сидоров"},
    {"NameCase: hyphen and apostrophe start no word", "NameCase", {"анна-мария д'арк"}, "Анна-мария Д'арк"},
    {"NameCase: a tab starts no word", "NameCase", {"ab\tcd ef"}, "Ab\tcd Ef"},
    {"NameCase of empty text", "NameCase", {""}, ""},
    {"CompareText ignores case, Cyrillic too", "CompareText", {"ёлка", "ЁЛКА"}, 0},
    {"Chr takes the code modulo 256", "Chr", {321}, "A"},
    {"Chr of a Cyrillic code", "Chr", {0xC0}, "А"},
    {"Chr of -1 is code 255", "Chr", {-1}, "я"},
    {"Ord of a letter", "Ord", {"A"}, 65},
    {"Ord of a Cyrillic letter is its code page byte", "Ord", {"Я"}, 223},
    {"Ord of a longer text takes the first character", "Ord", {"abc"}, 97},
    {"Ord of empty text is 0", "Ord", {""}, 0},
    {"Round halves to even, up", "Round", {2.5}, 2},
    {"Round halves to even, 3.5", "Round", {3.5}, 4},
    {"Round halves to even, negative", "Round", {-2.5}, -2},
    {"Round of an Integer", "Round", {7}, 7},
    {"Trunc toward zero, negative", "Trunc", {-2.7}, -2},
    {"Trunc toward zero, positive", "Trunc", {2.7}, 2},
    {"Int stays a float", "Int", {2.7}, 2.0},
    {"Int of a negative value", "Int", {-2.7}, -2.0},
    {"Frac keeps the sign", "Frac", {-2.75}, -0.75},
    {"Abs of an Integer is a float", "Abs", {-3}, 3.0},
    {"Sqrt", "Sqrt", {16}, 4.0},
    {"Exp of 0", "Exp", {0}, 1.0},
    {"Ln of 1", "Ln", {1}, 0.0},
    {"Sin of 0", "Sin", {0}, 0.0},
    {"Cos of 0", "Cos", {0}, 1.0},
    {"ArcTan of 1", "ArcTan", {1}, std::numbers::pi / 4},
    {"Tan of 0", "Tan", {0}, 0.0},
    {"Pi", "Pi", {}, std::numbers::pi},
    {"DaysInMonth of February in a leap year", "DaysInMonth", {2000, 2}, 29},
    {"DaysInMonth of February 1900 (not leap)", "DaysInMonth", {1900, 2}, 28},
    {"DaysInMonth of April", "DaysInMonth", {2023, 4}, 30},
    {"DaysInMonth of month 13 is 0", "DaysInMonth", {2023, 13}, 0},
    {"DaysInMonth of month 0 is 0", "DaysInMonth", {2023, 0}, 0},
    {"IsLeapYear 2000", "IsLeapYear", {2000}, true},
    {"IsLeapYear 1900", "IsLeapYear", {1900}, false},
    {"IsLeapYear 2024", "IsLeapYear", {2024}, true},
    {"DayOfWeek of a Sunday is 1", "DayOfWeek", {Date_(2024, 3, 3)}, 1},
    {"DayOfWeek of a Saturday is 7", "DayOfWeek", {Date_(2024, 3, 9)}, 7},
    {"DayOfWeek of a plain day number", "DayOfWeek", {0}, 7},
    {"EncodeDate of day 0 gives a date", "EncodeDate", {1899, 12, 30}, Variant(TDateTime(0))},
    {"EncodeDate of 1 January 2000", "EncodeDate", {2000, 1, 1}, Variant(TDateTime(36526))},
    {"EncodeTime of noon", "EncodeTime", {12, 0, 0, 0}, Variant(TDateTime(0.5))},
    {"ValidInt of a text with a trailing letter", "ValidInt", {"12a"}, false},
    {"ValidInt of a number", "ValidInt", {"-12"}, true},
    {"ValidInt of Null", "ValidInt", {Null()}, false},
    {"ValidFloat of letters", "ValidFloat", {"abc"}, false},
    {"ValidDate of 31 February", "ValidDate", {"31.02.2024"}, false},
    {"VarType of an Integer", "VarType", {1}, int(varInteger)},
    {"VarType of a string", "VarType", {"s"}, int(varString)},
    {"VarType of Null", "VarType", {Null()}, int(varNull)},
    {"VarType of a double", "VarType", {2.5}, int(varDouble)},
    {"VarType of a date", "VarType", {Date_(2024, 1, 1)}, int(varDate)},
    {"VarType of a Variant array", "VarType", {VarArrayOf({1})}, int(varArray | varVariant)},
    {"Format with an argument array", "Format", {"%d-%s", VarArrayOf({5, "x"})}, "5-x"},
    {"Format with a single value", "Format", {"<%s>", "one"}, "<one>"},
    {"Format with width and index", "Format", {"%1:3d|%0:s", VarArrayOf({"a", 7})}, "  7|a"},
    {"Format turns %% into one percent sign", "Format", {"100%%", VarArrayOf({})}, "100%"},
    {"FormatDateTime with a picture", "FormatDateTime", {"yyyy-mm-dd hh:nn", Variant(EncodeDateTime(2024, 3, 5, 14, 30, 0, 0))},
     "2024-03-05 14:30"},
    {"FormatFloat rounds halves away from zero", "FormatFloat", {"0", 2.5}, "3"},
    {"FormatMaskText with saved literals", "FormatMaskText", {"!(999)000-0000;1;_", "(555)123-4567"}, "(555)123-4567"},
};

// Results that depend on the locale: Russian, then English.
struct LocaleCase {
    const char* why;
    const char* name;
    std::vector<Variant> ruArgs;
    Variant ru;
    std::vector<Variant> enArgs;
    Variant en;
};

const LocaleCase kByLocale[] = {
    {"FloatToStr uses the decimal separator", "FloatToStr", {1.5}, "1,5", {1.5}, "1.5"},
    {"FloatToStr of a large value", "FloatToStr", {1e15}, "1E15", {1e15}, "1E15"},
    {"DateToStr in the short date format", "DateToStr", {Date_(2024, 3, 5)}, "05.03.2024", {Date_(2024, 3, 5)},
     "03/05/2024"},
    {"TimeToStr in the long time format", "TimeToStr", {Time_(14, 30, 5)}, "14:30:05", {Time_(14, 30, 5)},
     "2:30:05 PM"},
    {"DateTimeToStr joins both", "DateTimeToStr", {Variant(EncodeDateTime(2024, 3, 5, 9, 5, 0, 0))},
     "05.03.2024 09:05:00", {Variant(EncodeDateTime(2024, 3, 5, 9, 5, 0, 0))}, "03/05/2024 9:05:00 AM"},
    {"StrToFloat reads the locale's separator", "StrToFloat", {"1,5"}, 1.5, {"1.5"}, 1.5},
    {"StrToDate reads the locale's order", "StrToDate", {"05.03.2024"}, Date_(2024, 3, 5), {"03/05/2024"},
     Date_(2024, 3, 5)},
    {"StrToTime", "StrToTime", {"14:30"}, Time_(14, 30, 0), {"2:30 PM"}, Time_(14, 30, 0)},
    {"StrToDateTime", "StrToDateTime", {"05.03.2024 12:00"}, Variant(TDateTime(EncodeDate(2024, 3, 5) + 0.5)),
     {"03/05/2024 12:00"}, Variant(TDateTime(EncodeDate(2024, 3, 5) + 0.5))},
    {"FormatFloat with thousands and decimals", "FormatFloat", {"#,##0.00", 1234.5}, "1\xA0" "234,50",
     {"#,##0.00", 1234.5}, "1,234.50"},
    {"Format of a float", "Format", {"%.2f", VarArrayOf({1.5})}, "1,50", {"%.2f", VarArrayOf({1.5})}, "1.50"},
    {"ValidFloat with the locale's separator", "ValidFloat", {"1,5"}, true, {"1.5"}, true},
    {"ValidFloat with the other separator", "ValidFloat", {"1.5"}, false, {"1,5"}, false},
    {"ValidDate of a date in the locale's order", "ValidDate", {"05.03.2024"}, true, {"03/05/2024"}, true},
    {"ValidDate of a date in the other order", "ValidDate", {"03/05/2024"}, false, {"05.03.2024"}, false},
    {"FormatMaskText maps / and : to the locale", "FormatMaskText", {"00/00/0000;0", "05032024"}, "05.03.2024",
     {"00/00/0000;0", "03052024"}, "03/05/2024"},
};

struct TLocale {
    const char* name;
    TFormatSettings (*settings)();
    bool russian;
};

void PrintTo(const TLocale& l, std::ostream* os)
{
    *os << l.name;
}

class FunctionsByLocale : public FunctionsTest, public ::testing::WithParamInterface<TLocale> {
protected:
    void SetUp() override
    {
        FunctionsTest::SetUp();
        SetFormatSettings(GetParam().settings());
    }
    Variant CallIt(const AnsiString& name, const std::vector<Variant>& args) { return Call(name, args); }
};

} // namespace

TEST_P(FunctionsByLocale, LocaleFreeResults)
{
    ExpectCases(kLocaleFree, [this](const AnsiString& n, const std::vector<Variant>& a) { return CallIt(n, a); });
}

TEST_P(FunctionsByLocale, LocaleResults)
{
    for (const LocaleCase& c : kByLocale) {
        SCOPED_TRACE(c.why);
        const bool ru = GetParam().russian;
        const Variant r = Call(c.name, ru ? c.ruArgs : c.enArgs);
        const Variant& expected = ru ? c.ru : c.en;
        EXPECT_TRUE(IdenticalValues(r, expected)) << c.name << " gave " << VarToStrDef(r, "<null>") << ", expected "
                                                  << VarToStrDef(expected, "<null>");
    }
}

TEST_P(FunctionsByLocale, FormatOfAFloatAsText)
{
    // A float given for %s is a mismatch, not a silent conversion.
    EXPECT_EQ(ExceptionClassOf([&] { Call("Format", {"%s", VarArrayOf({2.5})}); }), "EConvertError");
}

INSTANTIATE_TEST_SUITE_P(Locales, FunctionsByLocale,
                         ::testing::Values(TLocale{"Russian", &RussianFormatSettings, true},
                                           TLocale{"English", &EnglishFormatSettings, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- var parameters

namespace {

struct VarCase {
    const char* why;
    const char* name;
    std::vector<Variant> args;
    std::vector<Variant> after; // every parameter's value after the call
};

const VarCase kVarParams[] = {
    {"Delete from the middle", "Delete", {"abcdef", 2, 3}, {"aef", 2, 3}},
    {"Delete a count past the end cuts at the end", "Delete", {"abcdef", 4, 100}, {"abc", 4, 100}},
    {"Delete from position 0 does nothing", "Delete", {"abcdef", 0, 2}, {"abcdef", 0, 2}},
    {"Delete past the end does nothing", "Delete", {"abcdef", 7, 1}, {"abcdef", 7, 1}},
    {"Delete of no characters does nothing", "Delete", {"abcdef", 2, 0}, {"abcdef", 2, 0}},
    {"Insert before position 2", "Insert", {"XY", "abc", 2}, {"XY", "aXYbc", 2}},
    {"Insert far past the end appends", "Insert", {"XY", "abc", 100}, {"XY", "abcXY", 100}},
    {"Insert at position 0 prepends", "Insert", {"XY", "abc", 0}, {"XY", "XYabc", 0}},
    {"Inc with the default step (a 64-bit literal default)", "Inc", {5}, {6LL, 1LL}},
    {"Inc by -3 subtracts 3", "Inc", {5, -3}, {2, -3}},
    {"Inc of a float uses Variant addition", "Inc", {2.5}, {3.5, 1LL}},
    {"Dec with the default step", "Dec", {5}, {4LL, 1LL}},
    {"Dec by -3 adds 3", "Dec", {5, -3}, {8, -3}},
    {"DecodeDate stores Integers", "DecodeDate", {Date_(2024, 3, 5), 0, 0, 0},
     {Date_(2024, 3, 5), 2024, 3, 5}},
    {"DecodeDate of day 0", "DecodeDate", {0, 0, 0, 0}, {0, 1899, 12, 30}},
    {"DecodeTime stores the four parts", "DecodeTime", {Time_(14, 30, 5, 250), 0, 0, 0, 0},
     {Time_(14, 30, 5, 250), 14, 30, 5, 250}},
    {"SetLength cuts a string", "SetLength", {"abc", 1}, {"a", 1}},
    {"SetLength extends a string with blanks", "SetLength", {"abc", 5}, {"abc  ", 5}},
    {"SetLength to a negative length empties", "SetLength", {"abc", -1}, {"", -1}},
};

} // namespace

TEST_F(FunctionsTest, VarParametersAreWrittenBack)
{
    for (const VarCase& c : kVarParams) {
        SCOPED_TRACE(c.why);
        std::vector<Variant> out;
        const Variant r = Call(c.name, c.args, &out);
        EXPECT_TRUE(VarIsEmpty(r) || VarIsNull(r)) << "a procedure has no result";
        ASSERT_EQ(out.size(), c.after.size());
        for (size_t i = 0; i < out.size(); ++i)
            EXPECT_TRUE(IdenticalValues(out[i], c.after[i]))
                << "parameter " << i << " is " << VarToStrDef(out[i], "<null>") << ", expected "
                << VarToStrDef(c.after[i], "<null>");
    }
}

TEST_F(FunctionsTest, SetLengthOfAnArrayMovesItsHighBound)
{
    Variant a = VarArrayCreate({0, 4}, varVariant);
    a.Elem(0) = 10;
    a.Elem(1) = 11;
    std::vector<Variant> out;
    Call("SetLength", {a, 2}, &out);
    ASSERT_TRUE(VarIsArray(out[0]));
    EXPECT_EQ(VarArrayLowBound(out[0], 1), 0);
    EXPECT_EQ(VarArrayHighBound(out[0], 1), 1);
    EXPECT_EQ(VarArrayGet(out[0], {1}), Variant(11));
    // The caller's array is a value: the one passed in is unchanged.
    EXPECT_EQ(VarArrayHighBound(a, 1), 4);
}

TEST_F(FunctionsTest, SetLengthOfAWiderArrayMovesTheFirstDimensionLengthCounts)
{
    struct Row {
        const char* why;
        std::vector<int> bounds;
        int length;
        std::vector<int> expected; // the bounds afterwards
    };
    const Row rows[] = {
        {"two dimensions cut", {0, 2, 0, 3}, 2, {0, 1, 0, 3}},
        {"two dimensions grown; the high bound is L - 1 whatever the low", {1, 2, 5, 6}, 4, {1, 3, 5, 6}},
        {"three dimensions", {0, 1, 0, 2, 0, 1}, 3, {0, 2, 0, 2, 0, 1}},
        {"emptied", {0, 2, 0, 1}, 0, {0, -1, 0, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        Variant a = VarArrayCreate(std::span<const int>(r.bounds), varInteger);
        const int dims = static_cast<int>(r.bounds.size()) / 2;
        // Each element holds its own indexes as digits, so a moved one shows.
        std::vector<int> at;
        for (int d = 0; d < dims; ++d)
            at.push_back(r.bounds[static_cast<size_t>(2 * d)]);
        auto code = [&] {
            int c = 0;
            for (int i : at)
                c = c * 10 + i;
            return c;
        };
        auto walk = [&](const std::vector<int>& bounds, const std::function<void()>& visit) {
            for (int d = 0; d < dims; ++d)
                at[static_cast<size_t>(d)] = bounds[static_cast<size_t>(2 * d)];
            for (;;) {
                visit();
                int d = 0;
                while (d < dims && at[static_cast<size_t>(d)] == bounds[static_cast<size_t>(2 * d + 1)]) {
                    at[static_cast<size_t>(d)] = bounds[static_cast<size_t>(2 * d)];
                    ++d;
                }
                if (d == dims)
                    return;
                ++at[static_cast<size_t>(d)];
            }
        };
        walk(r.bounds, [&] { VarArrayPut(a, Variant(code()), std::span<const int>(at)); });

        std::vector<Variant> out;
        Call("SetLength", {a, r.length}, &out);
        ASSERT_EQ(VarArrayDimCount(out[0]), dims);
        std::vector<int> bounds;
        for (int d = 1; d <= dims; ++d) {
            bounds.push_back(VarArrayLowBound(out[0], d));
            bounds.push_back(VarArrayHighBound(out[0], d));
        }
        EXPECT_EQ(bounds, r.expected);
        EXPECT_EQ(Call("Length", {out[0]}), Variant(r.expected[1] - r.expected[0] + 1));
        EXPECT_EQ(VarArrayElementType(out[0]), varInteger);
        if (r.length == 0)
            continue;
        walk(r.expected, [&] {
            const bool kept = at[0] <= r.bounds[1];
            EXPECT_EQ(VarArrayGet(out[0], std::span<const int>(at)), Variant(kept ? code() : 0)) << code();
        });
    }
}

TEST_F(FunctionsTest, VarArrayCreateMakesTheBoundsAsked)
{
    const Variant a = Call("VarArrayCreate", {VarArrayOf({0, 9}), varVariant});
    ASSERT_TRUE(VarIsArray(a));
    EXPECT_EQ(VarType(a), varArray | varVariant);
    EXPECT_EQ(VarArrayLowBound(a, 1), 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 9);

    const Variant b = Call("VarArrayCreate", {VarArrayOf({1, 2, 0, 3}), varInteger});
    EXPECT_EQ(VarArrayDimCount(b), 2);
    EXPECT_EQ(VarArrayHighBound(b, 2), 3);
    EXPECT_EQ(VarArrayElementType(b), varInteger);
    EXPECT_EQ(Call("Length", {Call("VarArrayCreate", {VarArrayOf({1, 5}), varVariant})}), Variant(5));
}

// ---------------------------------------------------------------- errors

namespace {

struct ErrorCase {
    const char* why;
    const char* name;
    std::vector<Variant> args;
    const char* exception;
};

const ErrorCase kErrors[] = {
    {"StrToInt of a text with a trailing letter", "StrToInt", {"12a"}, "EConvertError"},
    {"StrToInt of empty text", "StrToInt", {""}, "EConvertError"},
    {"StrToInt beyond 32 bits", "StrToInt", {"99999999999"}, "EConvertError"},
    {"StrToFloat of letters", "StrToFloat", {"abc"}, "EConvertError"},
    {"StrToDate of day 32", "StrToDate", {"32.01.2024"}, "EConvertError"},
    {"StrToDate of empty text", "StrToDate", {""}, "EConvertError"},
    {"StrToTime of hour 25", "StrToTime", {"25:00"}, "EConvertError"},
    {"StrToDateTime of letters", "StrToDateTime", {"вчера"}, "EConvertError"},
    {"EncodeDate of 29 February in a common year", "EncodeDate", {2023, 2, 29}, "EConvertError"},
    {"EncodeDate of month 13", "EncodeDate", {2023, 13, 1}, "EConvertError"},
    {"EncodeTime of hour 24", "EncodeTime", {24, 0, 0, 0}, "EConvertError"},
    {"EncodeTime of 1000 ms", "EncodeTime", {0, 0, 0, 1000}, "EConvertError"},
    {"DecodeDate of a day number no calendar holds", "DecodeDate", {1e300, 0, 0, 0}, "EConvertError"},
    {"DayOfWeek of infinity", "DayOfWeek", {HUGE_VAL}, "EConvertError"},
    {"DateToStr of a day number no calendar holds", "DateToStr", {1e300}, "EConvertError"},
    {"IntToStr of letters", "IntToStr", {"abc"}, "EVariantTypeCastError"},
    {"IntToStr of Null", "IntToStr", {Null()}, "EVariantTypeCastError"},
    {"Copy of Null text", "Copy", {Null(), 1, 2}, "EVariantTypeCastError"},
    {"Copy with a text for the position", "Copy", {"abc", "x", 2}, "EVariantTypeCastError"},
    {"Format: %d given a text", "Format", {"%d", VarArrayOf({"x"})}, "EConvertError"},
    {"Format: more directives than arguments", "Format", {"%s %s", VarArrayOf({"x"})}, "EConvertError"},
    {"Format: a lone percent sign", "Format", {"50%", VarArrayOf({})}, "EConvertError"},
    {"Format: Null argument for %s", "Format", {"%s", VarArrayOf({Null()})}, "EConvertError"},
    {"FormatDateTime of an impossible date", "FormatDateTime", {"yyyy", 1e300}, "EConvertError"},
    {"Round beyond 32 bits", "Round", {1e12}, "EVariantOverflowError"},
    {"Trunc of NaN", "Trunc", {std::nan("")}, "EInvalidOp"},
    {"Round of a text that is no number", "Round", {"abc"}, "EVariantTypeCastError"},
    {"VarArrayCreate with an odd count of bounds", "VarArrayCreate", {VarArrayOf({0}), varVariant}, "EScriptError"},
    {"VarArrayCreate with four dimensions", "VarArrayCreate", {VarArrayOf({0, 1, 0, 1, 0, 1, 0, 1}), varVariant},
     "EScriptError"},
    {"VarArrayCreate with bounds that are no array", "VarArrayCreate", {5, varVariant}, "EScriptError"},
    {"VarArrayCreate with the high bound below the low", "VarArrayCreate", {VarArrayOf({5, 1}), varVariant},
     "EVariantArrayCreateError"},
    {"VarArrayCreate of an unknown element type", "VarArrayCreate", {VarArrayOf({0, 1}), 999},
     "EVariantArrayCreateError"},
    {"VarArrayCreate of a negative element type", "VarArrayCreate", {VarArrayOf({0, 1}), -4},
     "EVariantArrayCreateError"},
    {"VarArrayCreate too large to hold", "VarArrayCreate", {VarArrayOf({0, 2000000000}), varVariant},
     "EVariantArrayCreateError"},
    {"SetLength of a number is no array", "SetLength", {5, 3}, "EVariantNotAnArrayError"},
    {"SetLength of an array below its low bound", "SetLength", {VarArrayCreate({5, 9}, varVariant), 2},
     "EVariantArrayCreateError"},
    {"SetLength of a wider array below its first low bound", "SetLength",
     {VarArrayCreate({5, 9, 0, 1}, varVariant), 2}, "EVariantArrayCreateError"},
    {"SetLength of an array to the smallest Integer", "SetLength",
     {VarArrayCreate({0, 4}, varVariant), std::numeric_limits<int>::min()}, "EVariantArrayCreateError"},
    {"CreateOleObject without automation", "CreateOleObject", {"Excel.Application"}, "EScriptError"},
    {"ShowMessage of Null", "ShowMessage", {Null()}, "EVariantTypeCastError"},
    {"Inc of a text that is no number", "Inc", {"abc"}, "EVariantTypeCastError"},
};

} // namespace

TEST_F(FunctionsTest, BadInputRaisesCleanErrors)
{
    for (const ErrorCase& c : kErrors) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ExceptionClassOf([&] { Call(c.name, c.args); }), c.exception) << c.name;
    }
}

TEST_F(FunctionsTest, RaiseExceptionCarriesTheScriptText)
{
    try {
        Call("RaiseException", {"Нет товара на складе"});
        FAIL() << "no exception";
    } catch (const EScriptError&) {
        FAIL() << "a general exception is expected, not an engine error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "Exception");
        EXPECT_EQ(e.Message(), "Нет товара на складе");
    }
}

TEST_F(FunctionsTest, StrToIntRaisesWhereValidIntAnswers)
{
    EXPECT_EQ(Call("ValidInt", {"12a"}), Variant(false));
    EXPECT_EQ(ExceptionClassOf([&] { Call("StrToInt", {"12a"}); }), "EConvertError");
}

TEST_F(FunctionsTest, SquareRootOfANegativeNumberIsNaN)
{
    // Outside the domain the float arithmetic's own special value comes back.
    EXPECT_TRUE(std::isnan(Call("Sqrt", {-1}).AsDouble()));
    EXPECT_TRUE(std::isinf(Call("Ln", {0}).AsDouble()));
}

// ---------------------------------------------------------------- clock, dialogs, random

TEST_F(FunctionsTest, DateTimeAndNowReadTheClock)
{
    const TDateTime fixed = EncodeDateTime(2024, 3, 5, 14, 30, 0, 0);
    SetClockForTesting(fixed);
    EXPECT_TRUE(IdenticalValues(Call("Now", {}), Variant(fixed)));
    EXPECT_TRUE(IdenticalValues(Call("Date", {}), Date_(2024, 3, 5)));
    EXPECT_TRUE(IdenticalValues(Call("Time", {}), Time_(14, 30, 0)));
    ResetClock();
}

TEST_F(FunctionsTest, ShowMessageGoesThroughTheHook)
{
    std::vector<AnsiString> shown;
    scSetShowMessageHook([&](const AnsiString& m) { shown.push_back(m); });
    Call("ShowMessage", {"Документ проведен"});
    Call("ShowMessage", {42});
    scSetShowMessageHook(nullptr);
    Call("ShowMessage", {"никто не видит"});
    EXPECT_EQ(shown, (std::vector<AnsiString>{"Документ проведен", "42"}));
}

TEST_F(FunctionsTest, RandomIsRepeatableFromASeedAndStaysBelowOne)
{
    scSetRandSeed(12345);
    std::vector<double> first;
    for (int i = 0; i < 200; ++i) {
        const Variant r = Call("Random", {});
        ASSERT_EQ(VarType(r), varDouble);
        EXPECT_GE(r.AsDouble(), 0.0);
        EXPECT_LT(r.AsDouble(), 1.0);
        first.push_back(r.AsDouble());
    }
    scSetRandSeed(12345);
    for (double expected : first)
        EXPECT_EQ(Call("Random", {}).AsDouble(), expected);
    Call("Randomize", {});
    EXPECT_NE(Call("Random", {}).AsDouble(), Call("Random", {}).AsDouble());
}

// ---------------------------------------------------------------- registration

TEST_F(FunctionsTest, EveryRoutineAndConstantIsRegisteredByTheRegistrar)
{
    TscScript* u = scGlobalUnit();
    const char* const kRoutines[] = {
        "IntToStr", "FloatToStr", "DateToStr", "TimeToStr", "DateTimeToStr", "VarToStr", "StrToInt", "StrToFloat",
        "StrToDate", "StrToTime", "StrToDateTime", "Format", "FormatFloat", "FormatDateTime", "FormatMaskText",
        "EncodeDate", "DecodeDate", "EncodeTime", "DecodeTime", "Date", "Time", "Now", "DayOfWeek", "IsLeapYear",
        "DaysInMonth", "Length", "Copy", "Pos", "Delete", "Insert", "Uppercase", "Lowercase", "Trim", "NameCase",
        "CompareText", "Chr", "Ord", "SetLength", "Round", "Trunc", "Int", "Frac", "Sqrt", "Abs", "Sin", "Cos",
        "ArcTan", "Tan", "Exp", "Ln", "Pi", "Inc", "Dec", "RaiseException", "ShowMessage", "Randomize", "Random",
        "ValidInt", "ValidFloat", "ValidDate", "CreateOleObject", "VarArrayCreate", "VarType"};
    static_assert(std::size(kRoutines) == 63);
    const TObject* registrar = nullptr;
    for (const char* name : kRoutines) {
        SCOPED_TRACE(name);
        auto* m = dynamic_cast<TscMethodHelper*>(u->FindLocal(name));
        ASSERT_NE(m, nullptr);
        ASSERT_NE(m->RegisteredBy, nullptr);
        if (!registrar)
            registrar = m->RegisteredBy;
        EXPECT_EQ(m->RegisteredBy, registrar);
        EXPECT_EQ(m->Description, m->Name);
        EXPECT_FALSE(m->Category.empty());
    }

    struct Const {
        const char* name;
        int value;
    };
    const Const kConstants[] = {
        {"varEmpty", 0},     {"varNull", 1},       {"varSmallint", 2},   {"varInteger", 3},  {"varSingle", 4},
        {"varDouble", 5},    {"varCurrency", 6},   {"varDate", 7},       {"varOleStr", 8},   {"varDispatch", 9},
        {"varError", 10},    {"varBoolean", 11},   {"varVariant", 12},   {"varUnknown", 13}, {"varShortInt", 16},
        {"varByte", 17},     {"varWord", 18},      {"varLongWord", 19},  {"varInt64", 20},   {"varStrArg", 72},
        {"varString", 256},  {"varAny", 257},      {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384},
    };
    for (const Const& c : kConstants) {
        SCOPED_TRACE(c.name);
        TscCustomVariable* v = u->FindLocal(c.name);
        ASSERT_NE(v, nullptr);
        EXPECT_TRUE(v->ReadOnly);
        EXPECT_EQ(v->VarType, fvtInt);
        EXPECT_TRUE(IdenticalValues(v->GetValue(), Variant(c.value)));
        EXPECT_EQ(v->RegisteredBy, registrar);
    }
    // Nothing else carries the registrar's tag.
    int tagged = 0;
    for (int i = 0; i < u->Count(); ++i)
        tagged += u->GetItem(i)->RegisteredBy == registrar;
    EXPECT_EQ(tagged, 63 + 25);
}

TEST_F(FunctionsTest, DeclarationsGiveTheParameterShapes)
{
    TscMethodHelper* inc = Routine("Inc");
    ASSERT_EQ(inc->ParamCount(), 2);
    EXPECT_TRUE(inc->GetParam(0)->IsVarParam);
    EXPECT_TRUE(inc->GetParam(1)->IsOptional);
    EXPECT_EQ(inc->GetNumberOfRequiredParams(), 1);
    TscMethodHelper* decode = Routine("DecodeTime");
    ASSERT_EQ(decode->ParamCount(), 5);
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(decode->GetParam(i)->IsVarParam);
    EXPECT_EQ(Routine("Pi")->ParamCount(), 0);
    EXPECT_EQ(Routine("Copy")->VarType, fvtString);
    EXPECT_EQ(Routine("Round")->VarType, fvtInt);
    EXPECT_EQ(Routine("Format")->GetParam(1)->VarType, fvtArray);
}

TEST_F(FunctionsTest, OverviewListsTheSixCategories)
{
    TscXMLDocument doc;
    doc.Root()->Name = "contents";
    GenerateXMLContents(scGlobalUnit(), doc.Root(), true);
    TscXMLItem* functions = doc.Root()->Items(0);
    ASSERT_EQ(functions->Count(), 6);
}

TEST_F(FunctionsTest, AScriptsOwnRoutineComesFirst)
{
    S->Add("Copy", std::make_unique<TscVariable>("Copy", fvtString, "String"));
    EXPECT_EQ(dynamic_cast<TscMethodHelper*>(S->Find("Copy")), nullptr);
    EXPECT_NE(dynamic_cast<TscMethodHelper*>(scGlobalUnit()->Find("Copy")), nullptr);
}

TEST_F(FunctionsTest, TheLastShutdownTakesExactlyTheLibraryOut)
{
    TscScript* u = scGlobalUnit();
    const int withLibrary = u->Count();
    scFunctionsStartup(); // a second user: nothing registered twice
    EXPECT_EQ(u->Count(), withLibrary);
    scFunctionsShutdown();
    EXPECT_NE(u->FindLocal("Copy"), nullptr);
    scFunctionsShutdown(); // the last one
    EXPECT_EQ(u->Count(), withLibrary - 63 - 25);
    EXPECT_EQ(u->FindLocal("Copy"), nullptr);
    EXPECT_EQ(u->FindLocal("varArray"), nullptr);
    EXPECT_NE(u->FindLocal("Integer"), nullptr);
    EXPECT_NE(u->FindLocal("True"), nullptr);
    scFunctionsStartup(); // as the fixture's shutdown expects
    EXPECT_EQ(u->Count(), withLibrary);
}

TEST_F(FunctionsTest, NameCaseDirectly)
{
    EXPECT_EQ(NameCase("ПЁТР ёлкин"), "Пётр Ёлкин");
    EXPECT_EQ(NameCase(" x"), " X");
}

TEST(FunctionsRegistrar, WithoutAGlobalUnitRegistersNothingAndFreesCleanly)
{
    ScriptEngineStartup();
    ScriptEngineShutdown();
    ASSERT_EQ(scGlobalUnit(), nullptr);
    scFunctionsStartup();
    scFunctionsShutdown();
    EXPECT_EQ(scGlobalUnit(), nullptr) << "not recreated by the registrar";
}
