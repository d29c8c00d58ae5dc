#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(Strings, Trim)
{
    struct Row { const char* why; const char* in; const char* both; const char* left; const char* right; };
    const Row rows[] = {
        {"blanks both sides", "  ab c  ", "ab c", "ab c  ", "  ab c"},
        {"tabs and line ends are blanks too", "\t\r\nx\r\n", "x", "x\r\n", "\t\r\nx"},
        {"only blanks", "   ", "", "", ""},
        {"empty", "", "", "", ""},
        {"non-breaking space is not trimmed", "\xA0" "a", "\xA0" "a", "\xA0" "a", "\xA0" "a"},
        {"Cyrillic kept", " Склад ", "Склад", "Склад ", " Склад"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Trim(r.in), r.both);
        EXPECT_EQ(TrimLeft(r.in), r.left);
        EXPECT_EQ(TrimRight(r.in), r.right);
    }
}

TEST(Strings, PosCountsBytesFromOne)
{
    struct Row { const char* why; const char* sub; const char* s; int pos; };
    const Row rows[] = {
        {"first character", "a", "abc", 1},
        {"later", "c", "abc", 3},
        {"absent", "x", "abc", 0},
        {"empty needle finds nothing", "", "abc", 0},
        {"empty haystack", "a", "", 0},
        {"Cyrillic counts one byte each", "ад", "Склад", 4},
        {"first of several", "ab", "xabab", 2},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Pos(r.sub, r.s), r.pos);
    }
    EXPECT_EQ(PosEx("ab", "xabab", 3), 4);
    EXPECT_EQ(PosEx("ab", "xabab", 99), 0);
}

TEST(Strings, CopyClampsInsteadOfOverrunning)
{
    struct Row { const char* why; int index; int count; const char* out; };
    const Row rows[] = {
        {"middle", 2, 3, "bcd"},
        {"to the end", 4, 100, "def"},
        {"index zero counts as one", 0, 2, "ab"},
        {"negative index", -5, 2, "ab"},
        {"past the end", 7, 1, ""},
        {"far past the end", 1000000, 5, ""},
        {"negative count", 2, -1, ""},
        {"huge count", 1, 2147483647, "abcdef"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Copy("abcdef", r.index, r.count), r.out);
    }
}

TEST(Strings, DeleteAndInsert)
{
    struct Row { const char* why; int index; int count; const char* out; };
    const Row rows[] = {
        {"middle", 2, 2, "adef"},
        {"past the end deletes the tail", 5, 100, "abcd"},
        {"index zero does nothing", 0, 2, "abcdef"},
        {"index past the end does nothing", 9, 2, "abcdef"},
        {"count zero", 3, 0, "abcdef"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        AnsiString s = "abcdef";
        Delete(s, r.index, r.count);
        EXPECT_EQ(s, r.out);
    }
    AnsiString s = "ace";
    Insert("b", s, 2);
    EXPECT_EQ(s, "abce");
    Insert("Z", s, 100);
    EXPECT_EQ(s, "abceZ");
    Insert("<", s, -3);
    EXPECT_EQ(s, "<abceZ");
}

TEST(Strings, Quoting)
{
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(QuotedStr(""), "''");
    EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(AnsiDequotedStr("'open", '\''), "'open");
}

TEST(Strings, StringReplace)
{
    struct Row { const char* why; const char* s; const char* from; const char* to; TReplaceFlags flags; const char* out; };
    const Row rows[] = {
        {"first only", "a.b.c", ".", ",", 0, "a,b.c"},
        {"all", "a.b.c", ".", ",", rfReplaceAll, "a,b,c"},
        {"case matters by default", "Aa", "a", "x", rfReplaceAll, "Ax"},
        {"ignore case", "Aa", "a", "x", rfReplaceAll | rfIgnoreCase, "xx"},
        {"ignore case with Cyrillic", "Ёлка ёлка", "ёлка", "ель", rfReplaceAll | rfIgnoreCase, "ель ель"},
        {"replacement containing the pattern does not loop", "aa", "a", "aa", rfReplaceAll, "aaaa"},
        {"empty pattern changes nothing", "abc", "", "x", rfReplaceAll, "abc"},
        {"delete", "a-b-c", "-", "", rfReplaceAll, "abc"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(StringReplace(r.s, r.from, r.to, r.flags), r.out);
    }
}

}  // namespace
