#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings kRu = RussianFormatSettings();
const TFormatSettings kEn = EnglishFormatSettings();

struct FormatRow {
    const char* why;
    const char* fmt;
    std::vector<TVarRec> args;
    const char* ru;
    const char* en;
};

TEST(Format, Specifiers)
{
    const AnsiString name = "Товар";
    const Variant vInt = 42, vDbl = 2.5, vStr = "строка", vNull = Null();
    const FormatRow rows[] = {
        {"integer", "%d шт.", {5}, "5 шт.", "5 шт."},
        {"negative integer with precision pads digits", "%.4d", {-12}, "-0012", "-0012"},
        {"width right-aligns", "[%5d]", {42}, "[   42]", "[   42]"},
        {"minus left-aligns", "[%-5d]", {42}, "[42   ]", "[42   ]"},
        {"int64", "%d", {int64_t(1) << 40}, "1099511627776", "1099511627776"},
        {"unsigned of a negative integer", "%u", {-1}, "4294967295", "4294967295"},
        {"hex upper case", "%x", {255}, "FF", "FF"},
        {"hex with precision", "%.4x", {255}, "00FF", "00FF"},
        {"hex of a negative integer is 32-bit", "%x", {-1}, "FFFFFFFF", "FFFFFFFF"},
        {"fixed default two places", "%f", {3.14159}, "3,14", "3.14"},
        {"fixed precision", "%.3f", {2.0}, "2,000", "2.000"},
        {"fixed precision zero", "%.0f", {2.5}, "3", "3"},
        {"report style %2.2f", "%2.2f", {1234.567}, "1234,57", "1234.57"},
        {"number", "%n", {1234567.891}, "1\xA0" "234\xA0" "567,89", "1,234,567.89"},
        {"money", "%m", {12.5}, "12,50 р.", "$12.50"},
        {"general", "%g", {0.5}, "0,5", "0.5"},
        {"general precision", "%.3g", {3.14159}, "3,14", "3.14"},
        {"scientific precision 1 is taken as 2", "%.1e", {1234.5}, "1,2E+003", "1.2E+003"},
        {"exponent", "%e", {1234.5}, "1,23450000000000E+003", "1.23450000000000E+003"},
        {"exponent precision", "%.3e", {1234.5}, "1,23E+003", "1.23E+003"},
        {"string", "%s!", {name}, "Товар!", "Товар!"},
        {"char pointer", "%s", {"abc"}, "abc", "abc"},
        {"char", "%s", {'x'}, "x", "x"},
        {"string precision cuts", "%.2s", {name}, "То", "То"},
        {"string width", "%7s|", {"ab"}, "     ab|", "     ab|"},
        {"percent sign", "100%%", {}, "100%", "100%"},
        {"index", "%1:s %0:s", {"a", "b"}, "b a", "b a"},
        {"index continues after", "%1:s %s", {"a", "b", "c"}, "b c", "b c"},
        {"star width", "[%*d]", {4, 7}, "[   7]", "[   7]"},
        {"star precision", "%.*f", {1, 2.25}, "2,3", "2.3"},
        {"upper-case letter", "%D", {3}, "3", "3"},
        {"variant integer in %d", "%d", {vInt}, "42", "42"},
        {"variant double in %f", "%.1f", {vDbl}, "2,5", "2.5"},
        {"variant string in %s", "%s", {vStr}, "строка", "строка"},
        {"variant Null in %s is empty", "<%s>", {vNull}, "<>", "<>"},
        {"currency", "%.2f", {Currency(1.005)}, "1,01", "1.01"},
        {"extra arguments are ignored", "%d", {1, 2}, "1", "1"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Format(r.fmt, r.args, kRu), r.ru);
        EXPECT_EQ(Format(r.fmt, r.args, kEn), r.en);
    }
}

TEST(Format, InitializerListReadsNaturally)
{
    int n = 3;
    EXPECT_EQ(Format("%d шт. по %s", {n, AnsiString("10,00")}, kRu), "3 шт. по 10,00");
    EXPECT_EQ(Format("%s", {IntToStr(7)}), "7");  // a temporary lives through the call
}

struct BadRow {
    const char* why;
    const char* fmt;
    std::vector<TVarRec> args;
    const char* message;
};

TEST(Format, MismatchesRaiseInsteadOfReadingGarbage)
{
    const Variant arr = VarArrayOf({1, 2});
    const BadRow rows[] = {
        {"float for %d", "%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"integer for %f", "%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"string for %d", "%d", {"12"}, "Format '%d' invalid or incompatible with argument"},
        {"integer for %s", "%s", {12}, "Format '%s' invalid or incompatible with argument"},
        {"boolean for %d", "%d", {true}, "Format '%d' invalid or incompatible with argument"},
        {"array variant for %s", "%s", {arr}, "Format '%s' invalid or incompatible with argument"},
        {"missing argument", "%d and %d", {1}, "No argument for format '%d and %d'"},
        {"no arguments at all", "%s", {}, "No argument for format '%s'"},
        {"unknown letter", "%q", {1}, "Format '%q' invalid or incompatible with argument"},
        {"percent at the end", "50%", {}, "Format '50%' invalid or incompatible with argument"},
        {"unterminated specifier", "%-5", {1}, "Format '%-5' invalid or incompatible with argument"},
        {"index beyond the arguments", "%5:d", {1}, "Format '%5:d' invalid or incompatible with argument"},
        {"star without an argument", "%*d", {}, "No argument for format '%*d'"},
        {"star with a float", "%*d", {1.5, 2}, "Format '%*d' invalid or incompatible with argument"},
        {"absurd width", "%99999999999d", {1}, "Format '%99999999999d' invalid or incompatible with argument"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        try {
            Format(r.fmt, r.args, kRu);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), r.message);
        }
    }
}

TEST(Format, VariantThatIsNotANumberRaises)
{
    const Variant text = "abc";
    EXPECT_THROW(Format("%d", {text}), EVariantError);
}

}  // namespace
