// UtilsTest.cpp - small routines and the form-resource collection forms.
#include "report/model/rpUtils.h"
#include "report/model/tests/ModelTestClasses.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

TEST(Utils, BrackedVariable)
{
    struct Case { const char* why; AnsiString text; int i; AnsiString result; int j; };
    const Case cases[] = {
        {"one letter", "[a]", 1, "a", 3},
        {"not on an opening bracket", "x[a]", 1, "", 1},
        {"nested brackets stay inside", "[a[b]c] d", 1, "a[b]c", 7},
        {"closing bracket in quotes", "['a]' + b]", 1, "'a]' + b", 10},
        {"unterminated", "[abc", 1, "ab", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        int i = c.i, j = 0;
        EXPECT_EQ(rpGetBrackedVariable(c.text, "[", "]", i, j), c.result);
        EXPECT_EQ(j, c.j);
    }
}

TEST(Utils, PageNumbers)
{
    struct Case { const char* why; AnsiString text; int pages; AnsiString list; };
    const Case cases[] = {
        {"list and range", "1,3,5-7", 9, "1,3,5,6,7"},
        {"open range", "3-", 5, "3,4,5"},
        {"falling range adds nothing", "2-1", 5, ""},
        {"blanks ignored", " 1 , 2 ", 5, "1,2"},
        {"empty", "", 5, ""},
        {"a range stops at the last page", "2-999999", 5, "2,3,4,5"},
        {"a range past the last page keeps its start, so no page prints", "7-9", 5, "7"},
        {"a range at the largest integer ends", "2147483647-2147483647", 5, "2147483647"},
    };
    TStringList list;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        rpParsePageNumbers(c.text, &list, c.pages);
        EXPECT_EQ(list.CommaText(), c.list);
    }
    EXPECT_THROW(rpParsePageNumbers("1,,2", &list, 5), EConvertError);
    EXPECT_THROW(rpParsePageNumbers("1-2000000000", &list, 5), EConvertError) << "no unbounded range";
}

TEST(Utils, TextHelpers)
{
    EXPECT_EQ(rpFloatToStr(3), "3");
    EXPECT_EQ(rpFloatToStr(2.5), "2,50");
    EXPECT_DOUBLE_EQ(static_cast<double>(rpStrToFloat(" 1.5 ")), 1.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(rpStrToFloat("1,5")), 1.5);
    EXPECT_FALSE(rpIsValidFloat("x"));
    EXPECT_EQ(HTMLRGBColor(clRed), "#FF0000");
    EXPECT_EQ(rpRemoveQuotes("\"\""), "\"\"");
    EXPECT_EQ(rpRemoveQuotes("\"a\""), "a");
    TStringList l;
    rpSetCommaText("a;;b;", &l, ';');
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(ConvertHighChars("a\x01" "A\x01", false), "a\xC1\x01");
    EXPECT_EQ(ConvertHighChars("\xC1", true), "\x01" "A");
    TMemoryStream ms;
    rpStringToStream("0aFfzz", ms);
    EXPECT_EQ(rpStreamToString(ms), "0AFF");
}

TEST(Utils, FullNames)
{
    RegisterModelTestClasses();
    TComponent form(nullptr);
    form.SetName("Form1");
    auto* report = new TTestReport(&form);
    auto* ds = new TrpDBDataset(&form);
    ds->SetName("rpDBDataset1");
    EXPECT_EQ(rpGetFullName(report, ds), "rpDBDataset1");
    TComponent form2(nullptr);
    form2.SetName("Form2");
    auto* q = new TrpDBDataset(&form2);
    q->SetName("Q");
    EXPECT_EQ(rpGetFullName(report, q), "Form2.Q");
    EXPECT_EQ(rpFindComponent(report, "rpDBDataset1"), ds);
    EXPECT_EQ(rpFindComponent(report, "Nothing"), nullptr);
    const int cookie = RegisterFindGlobalComponentProc(
        [&](std::string_view n) -> TComponent* { return SameText(n, "Form2") ? &form2 : nullptr; });
    EXPECT_EQ(rpFindComponent(report, "Form2.Q"), q);
    UnregisterFindGlobalComponentProc(cookie);
}

TEST(Utils, CollectionFormsRoundTrip)
{
    RegisterModelTestClasses();
    TTestReport r(nullptr);
    r.GetVariables()->SetVariable("a\x01Z", Variant("x"));
    // form A, as the form resources hold it
    TMemoryStream a;
    {
        TWriter w(a);
        rpWriteCollection(r.GetVariables(), w, &r);
    }
    EXPECT_EQ(static_cast<unsigned char>(a.Memory()[0]), 14);
    TrpVariables back;
    a.SetPosition(0);
    {
        TReader rd(a);
        rpReadCollection(&back, rd, &r);
    }
    EXPECT_EQ(back.Items(0)->GetName(), "a\xDA") << "byte 1 + c reads as c + 128";
    // form B, while writing XML
    TMemoryStream b;
    r.IsWriting = true;
    {
        TWriter w(b);
        rpWriteCollection(r.GetVariables(), w, &r);
    }
    r.IsWriting = false;
    EXPECT_EQ(static_cast<unsigned char>(b.Memory()[0]), 1);
    EXPECT_EQ(static_cast<unsigned char>(b.Memory()[2]), 12);
    b.SetPosition(0);
    {
        TReader rd(b);
        rpReadCollection(&back, rd, &r);
    }
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(VarToStr(back.Items(0)->GetValue()), "x");
    // truncated at every length: a clean error and an empty collection, or a load
    for (int64_t n = 0; n < b.GetSize(); ++n) {
        SCOPED_TRACE(n);
        TMemoryStream cut;
        cut.WriteBuffer(b.Memory(), n);
        cut.SetPosition(0);
        back.Clear();
        back.SetVariable("sentinel", 1);
        TReader rd(cut);
        try {
            rpReadCollection(&back, rd, &r);
        } catch (const EReadError&) {
            EXPECT_TRUE(back.Count() == 0 || (back.Count() == 1 && back.IndexOf("sentinel") == 0))
                << "either untouched or emptied, never half filled";
        }
    }
}

// A Variant property's attribute text: a number with a fraction goes out with a point and
// every digit it needs; back in, only a text no expression can be (a comma locale's number,
// a date or a time) becomes a value again. Under a locale whose date separator is an
// operator, a date is an expression ("12/07/2026" divides) and stays a text.
TEST(Utils, VariantAttributeTexts)
{
    EXPECT_EQ(rpVariantToXMLText(Variant(2.5)), "2.5");
    EXPECT_EQ(rpVariantToXMLText(Variant(0.1 + 0.2)), "0.30000000000000004");
    EXPECT_EQ(rpVariantToXMLText(Variant(Currency(-1234.5678))), "-1234.5678");
    EXPECT_EQ(rpVariantToXMLText(Variant(7)), "7");
    EXPECT_EQ(rpVariantToXMLText(Variant(EncodeDate(2026, 12, 7))), "07.12.2026");
    struct Case {
        const char* why;
        const char* text;
        bool english;
        Variant expected;  // a string Variant: the text stays as it is
    };
    const Case cases[] = {
        {"a comma number", "2,5", false, Variant(2.5)},
        {"a signed comma number with an exponent", "-1,25E-3", false, Variant(-1.25e-3)},
        {"a date", "07.12.2026", false, Variant(EncodeDate(2026, 12, 7))},
        {"a date and a time", "07.12.2026 17:02:39", false,
         Variant(EncodeDate(2026, 12, 7) + EncodeTime(17, 2, 39, 0))},
        {"a time", "17:02:39", false, Variant(EncodeTime(17, 2, 39, 0))},
        {"a point number is an expression", "2.5", false, Variant(AnsiString("2.5"))},
        {"one point between digits is a number expression", "12.07", false, Variant(AnsiString("12.07"))},
        {"a comma in a call", "Max(2,5)", false, Variant(AnsiString("Max(2,5)"))},
        {"a quoted comma", "'2,5'", false, Variant(AnsiString("'2,5'"))},
        {"two commas", "1,2,3", false, Variant(AnsiString("1,2,3"))},
        {"not a date", "99.99.2026", false, Variant(AnsiString("99.99.2026"))},
        {"a date with slashes divides", "12/07/2026", true, Variant(AnsiString("12/07/2026"))},
        {"a comma number under the other locale", "2,5", true, Variant(2.5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.english)
            SetFormatSettings(EnglishFormatSettings());
        const Variant v = rpXMLTextToVariant(c.text);
        SetFormatSettings(RussianFormatSettings());
        EXPECT_EQ(VarType(v), VarType(c.expected));
        EXPECT_EQ(VarCompare(v, c.expected), vrEqual);
    }
}

// A date goes out in a text that reads back as that date under the locale that wrote it:
// the Russian one, whatever the locale ("12/07/2026" would divide, "4:48:00 PM" holds a
// word).
TEST(Utils, DateAttributeTextsReadBackUnderTheirLocale)
{
    const TDateTime day = EncodeDate(2026, 12, 7), time = EncodeTime(17, 2, 39, 0);
    struct Case {
        const char* why;
        bool english;
        TDateTime value;
        const char* written;
    };
    const Case cases[] = {
        {"a date", false, day, "07.12.2026"},
        {"a date and a time", false, TDateTime(day.Val + time.Val), "07.12.2026 17:02:39"},
        {"a time of day", false, time, "30.12.1899 17:02:39"},
        {"a date under a locale whose separator divides", true, day, "07.12.2026"},
        {"a date and a time there", true, TDateTime(day.Val + time.Val), "07.12.2026 17:02:39"},
        {"a time of day there", true, time, "30.12.1899 17:02:39"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.english)
            SetFormatSettings(EnglishFormatSettings());
        const AnsiString written = rpVariantToXMLText(Variant(c.value));
        const Variant back = rpXMLTextToVariant(written);
        SetFormatSettings(RussianFormatSettings());
        EXPECT_EQ(written, c.written);
        EXPECT_EQ(VarType(back), varDate);
        EXPECT_EQ(VarCompare(back, Variant(c.value)), vrEqual);
    }
}
