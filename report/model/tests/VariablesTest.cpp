// VariablesTest.cpp - categories, lookup and the variables file.
#include "report/model/rpVariables.h"
#include "report/model/rpXML.h"
#include "report/model/tests/ModelTestClasses.h"

#include <gtest/gtest.h>

namespace {
AnsiString Names(const TrpVariables& v)
{
    AnsiString r;
    for (int i = 0; i < v.Count(); ++i)
        r += "[" + v.Items(i)->GetName() + "]";
    return r;
}
void Fill(TrpVariables& v)
{
    for (const char* n : {" T", "A", "B", " D", "F"})
        v.Add()->SetName(n);
}
}  // namespace

TEST(Variables, Categories)
{
    RegisterModelTestClasses();
    TrpVariables v;
    Fill(v);
    TStringList list;
    v.GetCategoriesList(&list);
    EXPECT_EQ(list.CommaText(), "T,D");
    v.GetVariablesList("T", &list);
    EXPECT_EQ(list.CommaText(), "A,B");
    v.GetVariablesList("", &list);
    EXPECT_EQ(list.Count(), 0);
    v.AddVariable("T", "E", 1);
    v.AddVariable("D", "G", 2);
    v.AddVariable("X", "H", 3);
    EXPECT_EQ(Names(v), "[ T][A][B][E][ D][F][G]");
    v.DeleteCategory("T");
    EXPECT_EQ(Names(v), "[ D][F][G]");
    v.SetVariable("new", 5);
    EXPECT_EQ(Names(v), "[ D][F][G][new]");
    EXPECT_EQ(v.GetVariable("NEW"), Variant(5));
    EXPECT_TRUE(v.GetVariable("none").IsNull());
    v.Items(1)->SetName("");
    v.GetVariablesList("D", &list);
    EXPECT_EQ(list.Count(), 0) << "an empty name ends the category";
}

// An empty name ends a category, but the variables outside any category run up to the
// first heading.
TEST(Variables, EmptyNameEndsACategoryButNotTheUncategorised)
{
    RegisterModelTestClasses();
    TrpVariables v;
    for (const char* n : {"a", "", "b", " T", "c", "", "d"})
        v.Add()->SetName(n);
    TStringList list;
    v.GetVariablesList("", &list);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(2), "b");
    v.GetVariablesList("T", &list);
    EXPECT_EQ(list.CommaText(), "c");
}

TEST(Variables, FileRoundTripAndWrongRoot)
{
    RegisterModelTestClasses();
    TrpVariables v;
    Fill(v);
    v.SetVariable("itog", Variant("'Склад \"1\"'"));
    TStringStream out;
    v.SaveToStream(out);
    EXPECT_EQ(out.DataString().find("<variables>"), 40u) << out.DataString();
    TrpVariables back;
    TStringStream in(out.DataString());
    back.LoadFromStream(in);
    EXPECT_EQ(Names(back), Names(v));
    EXPECT_EQ(VarToStr(back.GetVariable("itog")), "'Склад \"1\"'");
    EXPECT_TRUE(back.GetVariable("A").IsNull());
    // A file of another kind leaves the list empty and says so, naming the root it found;
    // the root's name is compared without regard to case.
    const struct {
        const char* text;
        const char* told;  // empty: the file loads
    } roots[] = {
        {"<?xml?><styles><item Name=\"x\"/></styles>", "the root element is \"styles\", not \"variables\""},
        {"<?xml?><style Name=\"Blue\"><item Name=\"x\"/></style>", "the root element is \"style\""},
        {"<?xml?><stylesheet/>", "the root element is \"stylesheet\""},
        {"<?xml?><TrpReport Name=\"R\"/>", "the root element is \"TrpReport\""},
        {"<?xml?><VARIABLES><item Name=\"x\"/></VARIABLES>", ""},
    };
    for (const auto& c : roots) {
        SCOPED_TRACE(c.text);
        TStringStream other(c.text);
        AnsiString told;
        try {
            back.LoadFromStream(other);
        } catch (const EXMLFormatError& e) {
            told = e.Message();
        }
        if (!*c.told) {
            EXPECT_EQ(told, "");
            EXPECT_EQ(Names(back), "[x]");
            continue;
        }
        EXPECT_NE(told.find(c.told), AnsiString::npos) << told;
        EXPECT_EQ(back.Count(), 0);
    }
}

// A date saved under a locale whose dates are written with an operator ("09/12/2025",
// "09-12-2025") goes into the file in the form that reads back as that date under any
// locale, never as the division or subtraction another locale's reader would make of it.
// Saves a variable holding the date Value under the Writer settings and expects it to read
// back as that date under the Reader settings.
static void ExpectDateReadBack(const TFormatSettings& Writer, const TFormatSettings& Reader, double Value)
{
    SetFormatSettings(Writer);
    TrpVariables v;
    v.SetVariable("When", Variant(TDateTime(Value)));
    TStringStream out;
    v.SaveToStream(out);
    SetFormatSettings(Reader);
    TStringStream in(out.DataString());
    TrpVariables back;
    back.LoadFromStream(in);
    const Variant read = back.GetVariable("When");
    EXPECT_EQ(VarType(read), varDate) << out.DataString();
    if (VarType(read) == varDate) {
        EXPECT_NEAR(read.AsDouble(), Value, 1e-6) << out.DataString();
    }
}

TEST(Variables, DatesSavedUnderOneLocaleReadAsTheSameDateUnderAnother)
{
    RegisterModelTestClasses();
    struct TLocale {
        const char* name;
        char dateSeparator;
        const char* shortDate;
        bool english;
    };
    const TLocale writers[] = {
        {"dd/mm/yyyy", '/', "dd/mm/yyyy", false},
        {"dd-mm-yyyy", '-', "dd-mm-yyyy", false},
        {"mm/dd/yyyy 24h", '/', "mm/dd/yyyy", false},
        {"Russian", '.', "dd.mm.yyyy", false},
        {"English", '/', nullptr, true},
    };
    const TLocale readers[] = {{"Russian", '.', "dd.mm.yyyy", false}, {"English", '/', nullptr, true}};
    const double values[] = {46000.0, 46000.75, 0.75};
    struct TKeep {
        const TFormatSettings fs = FormatSettings();
        ~TKeep() { SetFormatSettings(fs); }
    } keep;
    auto settingsOf = [](const TLocale& l) {
        TFormatSettings fs = l.english ? EnglishFormatSettings() : RussianFormatSettings();
        if (!l.english) {
            fs.DateSeparator = l.dateSeparator;
            fs.ShortDateFormat = l.shortDate;
        }
        return fs;
    };
    for (const TLocale& w : writers)
        for (const TLocale& r : readers)
            for (double value : values) {
                SCOPED_TRACE(AnsiString(w.name) + " -> " + r.name + " " + FloatToStr(value));
                ExpectDateReadBack(settingsOf(w), settingsOf(r), value);
            }
    // A file that holds such a date in its locale's own form still reads under that locale.
    SetFormatSettings(settingsOf(writers[0]));
    TStringStream old("<?xml?><variables><item Name=\"When\" Value=\"09/12/2025 18:00:00\"/></variables>");
    TrpVariables back;
    back.LoadFromStream(old);
    EXPECT_EQ(VarType(back.GetVariable("When")), varDate);
    EXPECT_NEAR(back.GetVariable("When").AsDouble(), 46000.75, 1e-6);
}

// A locale's own date text that reads back under that locale may still lose the date: a
// two-digit year drops the century, and separators other locales do not know ("9.12.2025
// 18.00.00", "2025.12.09") leave a text other readers take for an expression. Saved, a
// date reads back as the same date under the writer's locale and under any other.
TEST(Variables, DatesInAnyLocalesOwnTextReadBackEverywhere)
{
    RegisterModelTestClasses();
    struct TLocale {
        const char* name;
        char timeSeparator;
        const char* shortDate;
        const char* longTime;
    };
    const TLocale locales[] = {
        {"two-digit year", ':', "dd.mm.yy", "hh:nn:ss"},
        {"points in the time", '.', "d.m.yyyy", "h.nn.ss"},
        {"year first", ':', "yyyy.mm.dd", "hh:nn:ss"},
        {"Russian", ':', "dd.mm.yyyy", "hh:nn:ss"},
    };
    struct TKeep {
        const TFormatSettings fs = FormatSettings();
        ~TKeep() { SetFormatSettings(fs); }
    } keep;
    auto settingsOf = [](const TLocale& l) {
        TFormatSettings fs = RussianFormatSettings();
        fs.TimeSeparator = l.timeSeparator;
        fs.ShortDateFormat = l.shortDate;
        fs.LongTimeFormat = l.longTime;
        return fs;
    };
    const double values[] = {46000.0, 46000.75, 9470.25 /* 1925 */, 0.75};
    for (const TLocale& w : locales)
        for (const TLocale& r : locales)
            for (double value : values) {
                SCOPED_TRACE(AnsiString(w.name) + " -> " + r.name + " " + FloatToStr(value));
                ExpectDateReadBack(settingsOf(w), settingsOf(r), value);
            }
}
