// Mark-up tags of report texts: what is a tag, what stays text, and the style each
// character gets.
#include "report/model/rpDrawText.h"
#include "report/model/rpDrawTextTags.h"

#include <gtest/gtest.h>

namespace {

constexpr int kDefSize = 12;
const TColor kDefColor = clBlack;

struct TTagCase {
    const char* why;
    const char* input;
    bool allow;
    const char* text;     // what is left of the line
    TFontStyles style;    // style of the last character
    TColor color;         // colour of the last character
    int size;             // size of the last character
    int shift;
};

const TFontStyles kNone{};

const TTagCase kTagCases[] = {
    {"bold opens and closes", "<b>x</b>y", true, "xy", kNone, kDefColor, kDefSize, 0},
    {"bold tag in upper case acts as lower case", "<B>x", true, "x", {fsBold}, kDefColor, kDefSize, 0},
    {"italic and underline together", "<i><u>x", true, "x", {fsItalic, fsUnderline}, kDefColor, kDefSize, 0},
    {"closing bold removes bold opened twice", "<b><b>x</b>y", true, "xy", kNone, kDefColor, kDefSize, 0},
    {"sub tag in mixed case: smaller and lower", "<SuB>x", true, "x", kNone, kDefColor, 8, 1},
    {"sup: smaller, not shifted", "<sup>x", true, "x", kNone, kDefColor, 8, 0},
    {"sub after sup still uses the default size", "<sup><sub>x", true, "x", kNone, kDefColor, 8, 1},
    {"closing sub returns to the default size", "<sub>x</sub>y", true, "xy", kNone, kDefColor, kDefSize, 0},
    {"strike-out opens", "<strike>x", true, "x", {fsStrikeOut}, kDefColor, kDefSize, 0},
    {"strike-out closes", "<strike>x</strike>y", true, "xy", kNone, kDefColor, kDefSize, 0},
    {"'<s>' is not a tag", "<s>x", true, "<s>x", kNone, kDefColor, kDefSize, 0},
    {"three letters other than sub and sup stay text", "<abc>x", true, "<abc>x", kNone, kDefColor, kDefSize, 0},
    {"a closing tag of another letter stays text", "</x>y", true, "</x>y", kNone, kDefColor, kDefSize, 0},
    {"unclosed bold at the end stays text", "a<b", true, "a<b", kNone, kDefColor, kDefSize, 0},
    {"a lone '<' at the end stays text", "a<", true, "a<", kNone, kDefColor, kDefSize, 0},
    {"blanks between '=' and a bare colour name", "<font color=  red>x", true, "x", kNone, clRed, kDefSize, 0},
    {"colour names ignore case", "<FONT COLOR=Navy>x", true, "x", kNone, clNavy, kDefSize, 0},
    {"a quoted colour name is not recognised", "<font color=\"red\">x", true, "<font color=\"red\">x", kNone,
     kDefColor, kDefSize, 0},
    {"hexadecimal RRGGBB is stored as BBGGRR", "<font color=\"#FF8000\">x", true, "x", kNone, 0x0080FF, kDefSize,
     0},
    {"a value that is not hexadecimal stays text", "<font color=\"#GG0000\">x", true,
     "<font color=\"#GG0000\">x", kNone, kDefColor, kDefSize, 0},
    {"an unknown colour name stays text", "<font color=mauve>x", true, "<font color=mauve>x", kNone, kDefColor,
     kDefSize, 0},
    {"an empty colour value stays text", "<font color=>x", true, "<font color=>x", kNone, kDefColor, kDefSize,
     0},
    {"closing font returns to the default colour, not an outer one", "<font color=red><font color=blue></font>x",
     true, "x", kNone, kDefColor, kDefSize, 0},
    {"a font tag without '>' runs to the end of the line", "ab<font color=red", true, "ab", kNone, kDefColor,
     kDefSize, 0},
    {"an unfinished font tag takes the text up to the '>' after the next '='",
     "<font color x <font color=red>y", true, "y", kNone, clRed, kDefSize, 0},
    {"font tags with no '=' after them stay text", "<font color<font color x", true, "<font color<font color x",
     kNone, kDefColor, kDefSize, 0},
    {"a colour value longer than any name stays text",
     "<font color=redredredredredredredredredredredredredredredredredredredredredred>x", true,
     "<font color=redredredredredredredredredredredredredredredredredredredredredred>x", kNone, kDefColor,
     kDefSize, 0},
    {"a second font tag after a damaged one still counts", "<font color=mauve>a<font color=  lime>b", true,
     "<font color=mauve>ab", kNone, clLime, kDefSize, 0},
    {"nine hexadecimal digits stay text", "<font color=\"#FF00FF00F\">x", true, "<font color=\"#FF00FF00F\">x",
     kNone, kDefColor, kDefSize, 0},
    {"tags not allowed: '<b>' is three characters", "<b>x", false, "<b>x", kNone, kDefColor, kDefSize, 0},
    {"Cyrillic text keeps its bytes", "<b>Склад</b>", true, "Склад", {fsBold}, kDefColor, kDefSize, 0},
};

TEST(DrawTextTags, ExpandTable)
{
    for (const auto& c : kTagCases) {
        SCOPED_TRACE(c.why);
        TrpHTMLTagsList tags;
        tags.AllowTags = c.allow;
        tags.SetDefaults(kDefColor, kDefSize, {});
        tags.NewLine();
        AnsiString s = c.input;
        tags.ExpandHTMLTags(s);
        EXPECT_EQ(s, c.text);
        ASSERT_EQ(tags.Count(), 1);
        ASSERT_EQ(tags.Items(0)->Count(), int(s.size())) << "one tag per character left";
        if (s.empty())
            continue;
        const TrpHTMLTag* last = tags.Items(0)->Items(int(s.size()) - 1);
        EXPECT_EQ(last->Style, c.style);
        EXPECT_EQ(last->Color, c.color);
        EXPECT_EQ(last->Size, c.size);
        EXPECT_EQ(last->Shift, c.shift);
        EXPECT_EQ(last->Reduced, c.size != kDefSize);
        EXPECT_EQ(tags.Position, int(AnsiString(c.input).size()) + 1) << "Position counts the tags too";
    }
}

TEST(DrawTextTags, PositionsCountTagsAndLineEnds)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    tags.NewLine();
    AnsiString a = "<b>x</b>y";
    tags.ExpandHTMLTags(a);
    tags.Position += 2;
    tags.NewLine();
    AnsiString b = "z";
    tags.ExpandHTMLTags(b);
    EXPECT_EQ(tags.Items(0)->Items(0)->Position, 4);
    EXPECT_EQ(tags.Items(0)->Items(1)->Position, 9);
    EXPECT_EQ(tags.Items(1)->Items(0)->Position, 12) << "9 chars + CR LF, then z";
}

TEST(DrawTextTags, ContinuesComparesWithThePreviousCharacter)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    tags.NewLine();
    AnsiString s = "a<b>bc</b>d";
    tags.ExpandHTMLTags(s);
    const TrpHTMLTags& line = *tags.Items(0);
    ASSERT_EQ(line.Count(), 4);
    EXPECT_TRUE(line.Items(0)->Continues) << "the first character compares with the defaults";
    EXPECT_FALSE(line.Items(1)->Continues);
    EXPECT_TRUE(line.Items(2)->Continues);
    EXPECT_FALSE(line.Items(3)->Continues);
}

TEST(DrawTextTags, BoldCarriesToTheNextLineAndContinues)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    tags.NewLine();
    AnsiString a = "<b>a";
    tags.ExpandHTMLTags(a);
    tags.Position += 2;
    tags.NewLine();
    AnsiString b = "b";
    tags.ExpandHTMLTags(b);
    ASSERT_EQ(tags.Count(), 2);
    EXPECT_TRUE(tags.Items(1)->Items(0)->Style.Contains(fsBold));
    EXPECT_TRUE(tags.Items(1)->Items(0)->Continues);
}

TEST(DrawTextTags, AParagraphOfOnlyTagsKeepsItsOwnTagLine)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    for (const char* text : {"<b></b>", "x", "y"}) {
        tags.NewLine();
        AnsiString s = text;
        tags.ExpandHTMLTags(s);
        tags.Position += 2;
    }
    ASSERT_EQ(tags.Count(), 3) << "tag lines stay matched with paragraphs";
    EXPECT_EQ(tags.Items(0)->Count(), 0);
    EXPECT_EQ(tags.Items(1)->Count(), 1);
}

TEST(DrawTextTags, WrapMovesTheTailAndCopiesTheHyphenTag)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    tags.NewLine();
    AnsiString s = "ab<b>cde";
    tags.ExpandHTMLTags(s);
    tags.Wrap(3, true);
    ASSERT_EQ(tags.Count(), 2);
    EXPECT_EQ(tags.Items(0)->Count(), 4) << "three kept and the hyphen";
    EXPECT_EQ(tags.Items(0)->Items(3)->Position, tags.Items(0)->Items(2)->Position);
    EXPECT_TRUE(tags.Items(0)->Items(3)->Style.Contains(fsBold));
    EXPECT_EQ(tags.Items(1)->Count(), 2);
    tags.Wrap(5, false);
    EXPECT_EQ(tags.Count(), 2) << "nothing to move";
}

TEST(DrawTextTags, GetPrevTag)
{
    TrpHTMLTagsList tags;
    tags.SetDefaults(kDefColor, kDefSize, {});
    EXPECT_EQ(tags.GetPrevTag(), nullptr);
    tags.NewLine();
    TrpHTMLTag* a = tags.Add();
    EXPECT_EQ(tags.GetPrevTag(), nullptr) << "only one tag so far";
    tags.NewLine();
    tags.NewLine();
    tags.Add();
    EXPECT_EQ(tags.GetPrevTag(), a) << "looks back over an empty line";
}

TEST(DrawTextTags, ColourNames)
{
    TColor c = 0;
    EXPECT_TRUE(rpTagColorByName("clmoneygreen", c));
    EXPECT_EQ(c, clMoneyGreen);
    EXPECT_TRUE(rpTagColorByName("cl3DDkShadow", c));
    EXPECT_EQ(c, cl3DDkShadow);
    EXPECT_FALSE(rpTagColorByName("clWindowText", c)) << "not in the tag colour table";
    EXPECT_FALSE(rpTagColorByName("", c));
}

}  // namespace
