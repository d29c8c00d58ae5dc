// Text layout: wrapping, measuring, splitting and drawing on the exact fake font.
//
// With the fake font every character is 0.6 em wide: a 10-point font measures 83 pixels
// to the em at 600 ppi (49.8 per character) and 13 pixels at 96 ppi (7.8 per character).
#include "report/model/rpDrawText.h"

#include "report/model/fuzz/DrawTextTarget.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>

namespace {

AnsiString Num(long double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4Lf", x);
    return buf;
}

struct TSettings {
    int width = 150, height = 100;
    TrpHAlign hAlign = haLeft;
    TrpVAlign vAlign = vaTop;
    bool wordWrap = true, tags = false, rtl = false, wordBreak = false, clipped = false;
    int rotation = 0;
    long double gap = 0, charSpacing = 0, lineSpacing = 0;
    int fontSize = 10;
    TFontStyles style;
};

// Sets a layout up in the documented calling order.
void Lay(TrpDrawText& dt, const AnsiString& text, const TSettings& s, long double scale = 1, int left = 0,
         int top = 0)
{
    TFont font;
    font.SetName("Arial");
    font.SetSize(s.fontSize);
    font.SetColor(clBlack);
    font.SetStyle(s.style);
    dt.SetFont(&font);
    dt.SetOptions(s.wordWrap, s.tags, s.rtl, s.wordBreak, s.clipped, s.rotation);
    dt.SetGaps(s.gap, s.charSpacing, s.lineSpacing);
    const TRect layout{0, 0, s.width, s.height};
    const TRect draw{left, top, left + int(Round(s.width * scale)), top + int(Round(s.height * scale))};
    dt.SetDimensions(scale, scale, layout, draw);
    dt.SetText(text);
}

std::vector<AnsiString> LinesOf(const TrpDrawText& dt)
{
    std::vector<AnsiString> out;
    for (int k = 0; k < dt.LineCount(); ++k)
        out.push_back(dt.GetLines()[k]);
    return out;
}

AnsiString Describe(TrpDrawText& dt)
{
    AnsiString out;
    for (int k = 0; k < dt.LineCount(); ++k)
        out += IntToStr(dt.LineMark(k)) + " [" + dt.GetLines()[k] + "]\n";
    out += "height " + Num(dt.CalcHeight()) + " width " + Num(dt.CalcWidth()) + "\n--\n";
    return out;
}

// The continuation less the tags it re-opens in front of the text (TextSize bytes long):
// a font tag, then the styles once each and in this order; the text's own tags follow.
AnsiString WithoutReopened(const AnsiString& rest, size_t textSize)
{
    EXPECT_GE(rest.size(), textSize);
    const AnsiString open = rest.substr(0, rest.size() - std::min(rest.size(), textSize));
    static const std::regex kOpen("<font color=\"#[0-9A-F]{6}\">(<u>)?(<i>)?(<b>)?(<strike>)?(<sub>|<sup>)?");
    EXPECT_TRUE(std::regex_match(open.begin(), open.end(), kOpen)) << open;
    return rest.substr(open.size());
}

// ---------------------------------------------------------------- golden drawings

struct TGoldenCase {
    const char* name;
    const char* why;
    const char* text;
    TSettings settings;
    bool printer;
};

TSettings With(void (*f)(TSettings&))
{
    TSettings s;
    f(s);
    return s;
}

const char* const kInvoice = "Склад принимает товар по накладной и выдаёт его по счёту-фактуре покупателю";

const TGoldenCase kGolden[] = {
    {"wrapped_left", "words wrap at blanks, the blank is not shown", kInvoice, TSettings{}, false},
    {"right_bottom", "right alignment and the block at the bottom", kInvoice,
     With([](TSettings& s) { s.hAlign = haRight; s.vAlign = vaBottom; s.height = 120; }), false},
    {"center_center", "centred both ways", kInvoice,
     With([](TSettings& s) { s.hAlign = haCenter; s.vAlign = vaCenter; s.height = 120; }), false},
    {"justified", "justified lines spread their blanks; the last line stays left; first line indented",
     "Склад принимает товар по накладной и выдаёт его по счёту\r\nОдна строка",
     With([](TSettings& s) { s.hAlign = haBlock; s.gap = 12; }), false},
    {"justified_rtl", "the last line of a justified paragraph is right-aligned when reading right to left",
     kInvoice, With([](TSettings& s) { s.hAlign = haBlock; s.rtl = true; s.clipped = true; }), false},
    {"tagged", "bold, italic, colour and a subscript drawn in runs",
     "<b>Жирный</b> и <i>курсив</i>, <font color=red>красный</font> H<sub>2</sub>O <u>и <strike>всё</strike></u>",
     With([](TSettings& s) { s.tags = true; s.width = 200; }), false},
    {"hyphenated", "a long Russian word broken at an allowed place with a hyphen",
     "Перевозка железнодорожным транспортом",
     With([](TSettings& s) { s.wordBreak = true; s.width = 110; }), false},
    {"spacing", "line spacing and character spacing", "Строка один\r\nСтрока два",
     With([](TSettings& s) { s.lineSpacing = 4; s.charSpacing = 1; }), false},
    {"rotated_90", "text turned a quarter, lines stacking to the right", "Вверх\r\nИ ещё",
     With([](TSettings& s) { s.rotation = 90; s.width = 60; s.height = 80; }), false},
    {"rotated_30", "an angle between the quarters", "Наклон",
     With([](TSettings& s) { s.rotation = 30; s.width = 100; s.height = 80; }), false},
    {"printer", "a printer page at 600 ppi: the same wraps, widths scaled to the device", kInvoice,
     With([](TSettings& s) { s.hAlign = haBlock; }), true},
};

TEST(DrawTextGolden, Drawings)
{
    for (const auto& c : kGolden) {
        SCOPED_TRACE(c.why);
        TrpDrawText dt;
        const long double scale = c.printer ? 600.0L / 96.0L : 1;
        TRecordingCanvas canvas(c.printer ? 600 : 96, c.printer ? 600 : 96, c.printer);
        Lay(dt, c.text, c.settings, scale, 10, 20);
        AnsiString out = Describe(dt);
        dt.DrawText(&canvas.Canvas, c.settings.hAlign, c.settings.vAlign);
        out += canvas.Dump();
        ExpectGolden(c.name, out, "golden/drawtext");
    }
}

TEST(DrawTextGolden, SameWrapOnScreenAndPaper)
{
    TrpDrawText a, b;
    Lay(a, kInvoice, TSettings{}, 1);
    Lay(b, kInvoice, TSettings{}, 600.0L / 96.0L);
    EXPECT_EQ(LinesOf(a), LinesOf(b)) << "layout does not depend on the device scale";
}

// ---------------------------------------------------------------- wrapping

struct TWrapCase {
    const char* why;
    const char* text;
    int width;
    bool wordWrap, wordBreak;
    std::vector<AnsiString> lines;
};

const TWrapCase kWrap[] = {
    {"an empty line lays out as one blank", "", 100, true, false, {" "}},
    {"a one-character line is never wrapped", "W", 0, true, false, {"W"}},
    {"word wrap off: one line however wide", "aaaa bbbb cccc dddd", 10, false, false, {"aaaa bbbb cccc dddd"}},
    // 60 units = 375 measuring pixels: 7 characters of 49.8 fit.
    {"a word wider than the width is cut at the last character that fits", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 60,
     true, false, {"ABCDEFG", "HIJKLMN", "OPQRSTU", "VWXYZ"}},
    {"zero width: one character per line, and it ends", "abc de", 0, true, false,
     {"a", "b", "c", " ", "d", "e"}},
    {"negative width behaves as zero", "xyz", -50, true, false, {"x", "y", "z"}},
    {"a character wider than the width gets a line of its own", "ab", 5, true, false, {"a", "b"}},
    {"breaks at the last blank that fits", "aaa bbb ccc", 60, true, false, {"aaa bbb", "ccc"}},
    {"several blanks: the one ending the line is dropped", "aaaaaa  bb", 60, true, false, {"aaaaaa ", "bb"}},
    // 40 units = 250 measuring pixels: five characters, the hyphen included.
    {"word break on a Russian word ends at the last allowed break that leaves room", "ПЕРЕВОЗКА", 40, true, true,
     {"ПЕРЕ-", "ВОЗКА"}},
    {"word break with no allowed break cuts the word", "ZZZZZZZZZZ", 40, true, true, {"ZZZZZ", "ZZZZZ"}},
    {"word break after a blank hyphenates the next word", "ДА МОЛОКО", 60, true, true, {"ДА МО-", "ЛОКО"}},
};

TEST(DrawTextWrap, Table)
{
    for (const auto& c : kWrap) {
        SCOPED_TRACE(c.why);
        TrpDrawText dt;
        TSettings s;
        s.width = c.width;
        s.wordWrap = c.wordWrap;
        s.wordBreak = c.wordBreak;
        Lay(dt, c.text, s);
        if (AnsiString(c.text).empty()) {
            TStringList one;
            one.Add("");
            dt.SetText(one);
        }
        EXPECT_EQ(LinesOf(dt), c.lines);
        EXPECT_EQ(dt.GetTags().Count(), dt.LineCount()) << "one tag line per layout line";
    }
}

TEST(DrawTextWrap, LineBreaksOfEveryKind)
{
    TrpDrawText dt;
    Lay(dt, "a\r\nb\nc\rd\n\re", TSettings{});
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"a", "b", "c", "d", " ", "e"}));
    EXPECT_EQ(dt.GetInBoundsText(), "a\r\nb\r\nc\r\nd\r\n \r\ne\r\n");

    TStringList stray;  // a line of a string list holding a break of its own
    stray.Add("x\ry");
    dt.SetText(stray);
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"x", "y"}));
}

TEST(DrawTextWrap, ParagraphMarks)
{
    TrpDrawText dt;
    TSettings s;
    s.width = 60;
    Lay(dt, "aaa bbb ccc ddd eee\r\none\r\nxxx yyy zzz", s);
    ASSERT_EQ(dt.LineCount(), 6);
    const int expected[] = {rpLineFirst, rpLineMiddle, rpLineLast, rpLineSingle, rpLineFirst, rpLineLast};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(dt.LineMark(k), expected[k]) << "line " << k;
}

TEST(DrawTextWrap, ParagraphGapNarrowsTheFirstLine)
{
    TrpDrawText dt;
    TSettings s;
    s.width = 60;
    s.gap = 20;
    Lay(dt, "aaa bbb ccc ddd", s);
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"aaa", "bbb ccc", "ddd"}));
}

TEST(DrawTextWrap, VeryLongLinesAreMeasuredWhole)
{
    AnsiString text;
    for (int k = 0; k < 2000; ++k)
        text += k ? " слово" : "слово";
    TrpDrawText dt;
    TSettings s;
    s.width = 300;
    Lay(dt, text, s);
    AnsiString joined;
    for (const AnsiString& line : LinesOf(dt)) {
        EXPECT_LE(line.size(), 40u);
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined, text) << "every word kept, in order";
    EXPECT_GT(dt.LineCount(), 300);
}

TEST(DrawTextWrap, ZeroWidthOnALongTextEnds)
{
    TrpDrawText dt;
    TSettings s;
    s.width = 0;
    s.wordBreak = true;
    Lay(dt, AnsiString(5000, 'x'), s);
    EXPECT_EQ(dt.LineCount(), 5000);
}

TEST(DrawTextWrap, UnknownAndUnclosedTagsStayText)
{
    TrpDrawText dt;
    TSettings s;
    s.tags = true;
    s.width = 1000;
    Lay(dt, "<q>abc <b", s);
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"<q>abc <b"}));
    EXPECT_EQ(dt.DeleteTags("<b>x</b><zz>"), "x<zz>");
}

TEST(DrawTextWrap, RotationWrapsAtTheHeight)
{
    TrpDrawText dt;
    TSettings s;
    s.width = 1000;
    s.height = 40;
    s.rotation = -90;
    Lay(dt, "aaa bbb", s);
    EXPECT_EQ(dt.GetRotation(), 270) << "a negative angle turns the other way";
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"aaa", "bbb"}));
}

// ---------------------------------------------------------------- Russian breaks

struct TBreakCase {
    const char* why;
    const char* word;
    std::vector<int> breaks;
};

const TBreakCase kBreaks[] = {
    {"words under four letters never break", "ДОМ", {}},
    {"a doubled consonant before a vowel splits between the two", "КАССА", {3}},
    {"no break after a vowel before Й", "МАЙКА", {3}},
    {"no break before Ь; one after it", "ПАЛЬТО", {2, 4}},
    {"no break between a consonant and a following vowel", "МОЛОКО", {2, 4}},
    {"no break before Ъ; a tail without a vowel is refused", "ПОДЪЕЗД", {2}},
    {"Latin letters make no candidates", "WORD", {}},
};

TEST(DrawTextHyphenation, RussianBreakPositions)
{
    for (const auto& c : kBreaks) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rpRussianBreakPositions(c.word), c.breaks);
    }
}

// ---------------------------------------------------------------- measures and splitting

// A 15-point font is 125 measuring pixels high: exactly 20 report units a line.
TSettings Tall(int height)
{
    TSettings s;
    s.fontSize = 15;
    s.width = 1000;
    s.height = height;
    return s;
}

TEST(DrawTextMeasure, HeightsAndWidths)
{
    TrpDrawText dt;
    Lay(dt, "ab\r\nabcd", Tall(100));
    EXPECT_EQ(dt.LineHeight(), 20);
    EXPECT_EQ(dt.CalcHeight(), 40);
    // 4 characters of 0.6 * 125 = 75 measuring pixels: 300 / 6.25 = 48.
    EXPECT_EQ(dt.CalcWidth(), 48) << "the wider line, never wrapped";

    TSettings spaced = Tall(100);
    spaced.lineSpacing = 5;
    spaced.charSpacing = 2;
    Lay(dt, "ab\r\nabcd", spaced);
    EXPECT_EQ(dt.LineHeight(), 25);
    EXPECT_EQ(dt.CalcWidth(), 56);
}

TEST(DrawTextMeasure, EmptyTextMeasuresNothing)
{
    TrpDrawText dt;
    Lay(dt, "", Tall(100));
    EXPECT_EQ(dt.LineCount(), 0);
    EXPECT_EQ(dt.CalcHeight(), 0);
    EXPECT_EQ(dt.CalcWidth(), 0);
    EXPECT_EQ(dt.GetOutBoundsText(), "");
    TRecordingCanvas canvas;
    dt.DrawText(&canvas.Canvas, haLeft, vaTop);
    EXPECT_TRUE(canvas.Device.Records().empty());
}

struct TUnusedCase {
    const char* why;
    int height;  // LayoutRect bottom - top; the room is one more
    long double unused;
};

const TUnusedCase kUnused[] = {
    {"whole lines fill the height exactly: 0.0001, never 0", 59, 0.0001L},
    {"room under the last whole line", 69, 10},
    {"not even one line fits: 0", 18, 0},
};

TEST(DrawTextMeasure, UnusedSpace)
{
    for (const auto& c : kUnused) {
        SCOPED_TRACE(c.why);
        TrpDrawText dt;
        Lay(dt, "a\r\nb\r\nc\r\nd", Tall(c.height));
        EXPECT_NEAR(double(dt.UnusedSpace()), double(c.unused), 1e-9);
    }
}

TEST(DrawTextSplit, FitsAndRest)
{
    TrpDrawText dt;
    Lay(dt, "one\r\ntwo\r\nthree\r\nfour", Tall(39));
    const AnsiString rest = dt.GetOutBoundsText();
    EXPECT_EQ(dt.GetInBoundsText(), "one\r\ntwo\r\n");
    EXPECT_EQ(rest, "three\r\nfour\r\n") << "no tags re-opened when tags are off";
    EXPECT_EQ(LinesOf(dt), (std::vector<AnsiString>{"one", "two"}));
}

TEST(DrawTextSplit, NothingFitsLeavesEverythingForLater)
{
    TrpDrawText dt;
    Lay(dt, "one\r\ntwo", Tall(5));
    EXPECT_EQ(dt.GetOutBoundsText(), "one\r\ntwo\r\n");
    EXPECT_EQ(dt.GetInBoundsText(), "");
    EXPECT_EQ(dt.LineCount(), 0);
}

TEST(DrawTextSplit, AllFitsLeavesNoRest)
{
    TrpDrawText dt;
    Lay(dt, "one\r\ntwo", Tall(100));
    EXPECT_EQ(dt.GetOutBoundsText(), "");
    EXPECT_EQ(dt.GetInBoundsText(), "one\r\ntwo\r\n");
}

TEST(DrawTextSplit, ReopensTheStyleOfTheFirstCharacter)
{
    TrpDrawText dt;
    TSettings s = Tall(19);
    s.tags = true;
    Lay(dt, "a<b><i><u><font color=red>b\r\nc</font>d", s);
    const AnsiString rest = dt.GetOutBoundsText();
    EXPECT_EQ(rest, "<font color=\"#FF0000\"><u><i><b>c</font>d\r\n");
    EXPECT_EQ(dt.GetInBoundsText(), "a<b><i><u><font color=red>b\r\n");
}

// What runs on past a page break runs on in the continuation, in every form of splitting:
// the rest of a text, the next part of one layout and the rest of the parts.
TEST(DrawTextSplit, ReopensStrikeOutSubscriptAndSuperscript)
{
    struct Case {
        const char* why;
        const char* text;
        const char* opened;  // what the continuation starts with
    };
    const Case cases[] = {
        {"strike-out", "<strike>a\r\nb</strike>c", "<font color=\"#000000\"><strike>"},
        {"subscript", "H<sub>a\r\nb</sub>c", "<font color=\"#000000\"><sub>"},
        {"superscript", "x<sup>a\r\nb</sup>c", "<font color=\"#000000\"><sup>"},
        {"bold, struck out, subscript", "<b><strike><sub>a\r\nb", "<font color=\"#000000\"><b><strike><sub>"},
        {"closed before the break: nothing more", "<strike><sub>a</sub></strike>\r\nb", "<font color=\"#000000\">b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TSettings s = Tall(19);
        s.tags = true;
        TrpDrawText whole;
        Lay(whole, c.text, s);
        const AnsiString rest = whole.GetOutBoundsText();
        EXPECT_EQ(rest.substr(0, std::strlen(c.opened)), c.opened) << rest;
        TrpDrawText parts;
        Lay(parts, c.text, s);
        parts.TakePart();
        EXPECT_EQ(parts.RestOfParts(), rest);
        EXPECT_EQ(parts.TakePart().substr(0, std::strlen(c.opened)), c.opened);
        // The continuation laid out again draws its first character as the text did.
        TrpDrawText again;
        Lay(again, rest, s);
        TrpDrawText first;
        Lay(first, c.text, s);
        const TrpHTMLTag* was = first.GetTags().Items(1)->Items(0);
        const TrpHTMLTag* now = again.GetTags().Items(0)->Items(0);
        EXPECT_EQ(now->Style, was->Style);
        EXPECT_EQ(now->Size, was->Size);
        EXPECT_EQ(now->Shift, was->Shift);
    }
}

// A break before a paragraph that holds nothing but tags: the rest re-opens what was in
// force before that paragraph, so its text after it is drawn as in the whole text.
TEST(DrawTextSplit, AParagraphOfOnlyTagsAtTheBreakKeepsWhatWasOpen)
{
    const char* const texts[] = {
        "<i>a\r\n<b>\r\nb",                   // italic before, bold from the tags: both
        "<i>a</i>\r\n<b>\r\nb",               // closed before the break: bold only
        "<font color=red>a\r\n<u>\r\nb",      // a colour runs on under the tags
        "<sub>a\r\n<b>\r\nb",                 // and a subscript
        "<b>a\r\n</b>\r\nb",                  // tags that close what was open
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        TSettings s = Tall(19);
        s.tags = true;
        TrpDrawText whole;
        Lay(whole, text, s);
        const TrpHTMLTag was = *whole.GetTags().Items(2)->Items(0);
        const AnsiString rest = whole.GetOutBoundsText();
        TrpDrawText parts;
        Lay(parts, text, s);
        parts.TakePart();
        EXPECT_EQ(parts.RestOfParts(), rest);
        TrpDrawText again;
        Lay(again, rest, s);
        ASSERT_EQ(again.LineCount(), 2);
        const TrpHTMLTag now = *again.GetTags().Items(1)->Items(0);
        EXPECT_EQ(now.Style, was.Style);
        EXPECT_EQ(now.Color, was.Color);
        EXPECT_EQ(now.Size, was.Size);
        EXPECT_EQ(now.Shift, was.Shift);
    }
}

TEST(DrawTextSplit, InBoundsPlusRestIsTheText)
{
    // Wrapped, tagged paragraphs split at every height: what fits and what is left
    // (less its re-opened tags) always give back the text as laid out.
    const AnsiString text = "Первая <b>строка текста</b> для разбиения\r\n\r\n<font color=blue>Вторая</font> "
                            "строка, тоже длинная и <i>с тегами</i>";
    for (int height = 0; height <= 200; height += 7) {
        SCOPED_TRACE(height);
        TrpDrawText dt;
        TSettings s = Tall(height);
        s.tags = true;
        s.width = 120;
        Lay(dt, text, s);
        const AnsiString whole = dt.GetInBoundsText();
        AnsiString rest = dt.GetOutBoundsText();
        if (!rest.empty())
            rest = WithoutReopened(rest, whole.size() - dt.GetInBoundsText().size());
        EXPECT_EQ(dt.GetInBoundsText() + rest, whole);
    }
}

// Parts taken from one layout are the parts that laying each rest out anew gives, so a
// long text splits without being laid out again for every part.
TEST(DrawTextSplit, PartsOfOneLayoutMatchLayingEachRestOutAgain)
{
    const AnsiString text = "Первая <b>строка текста</b> для разбиения на части\r\n\r\n<font color=blue>Вторая</font> "
                            "строка, тоже длинная и <i>с тегами</i>, и ещё одна для переноса слов";
    for (bool wordBreak : {false, true})
        for (int height = 25; height <= 85; height += 20) {
            SCOPED_TRACE(IntToStr(height) + (wordBreak ? " with word breaks" : ""));
            TSettings s = Tall(height);
            s.tags = true;
            s.width = 120;
            s.wordBreak = wordBreak;
            std::vector<AnsiString> anew, anewRests;
            AnsiString rest = text;
            for (int guard = 0; !rest.empty() && guard < 100; ++guard) {
                TrpDrawText dt;
                Lay(dt, rest, s);
                rest = dt.GetOutBoundsText();
                anew.push_back(dt.GetInBoundsText());
                anewRests.push_back(rest);
            }
            TrpDrawText dt;
            Lay(dt, text, s);
            std::vector<AnsiString> parts, rests;
            for (int guard = 0; dt.PartsLeft() && guard < 100; ++guard) {
                parts.push_back(dt.TakePart());
                rests.push_back(dt.RestOfParts());
            }
            EXPECT_EQ(parts, anew);
            EXPECT_EQ(rests, anewRests);
        }
}

// ---------------------------------------------------------------- drawing details

std::vector<TDrawRecord> TextRecords(const TRecordingCanvas& c)
{
    std::vector<TDrawRecord> out;
    for (const auto& r : c.Device.Records())
        if (r.Op == TDrawOp::Text)
            out.push_back(r);
    return out;
}

TEST(DrawTextDraw, JustifiedLineWithoutBlanksIsDrawnLeft)
{
    TrpDrawText dt;
    TSettings s;
    s.hAlign = haBlock;
    s.width = 60;
    Lay(dt, "ABCDEFGHIJ", s);
    TRecordingCanvas canvas;
    dt.DrawText(&canvas.Canvas, haBlock, vaTop);
    const auto texts = TextRecords(canvas);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Args[0], 0) << "starts at the left edge";
}

TEST(DrawTextDraw, JustifiedLineFillsTheWidth)
{
    TrpDrawText dt;
    TSettings s;
    s.hAlign = haBlock;
    s.width = 150;
    Lay(dt, kInvoice, s);
    TRecordingCanvas canvas;
    dt.DrawText(&canvas.Canvas, haBlock, vaTop);
    const auto texts = TextRecords(canvas);
    ASSERT_GE(texts.size(), 2u);
    int sum = 0;
    for (size_t k = 9; k < texts[0].Args.size(); ++k)
        sum += texts[0].Args[k];
    EXPECT_EQ(sum, 151) << "the justified line reaches one pixel past the width, as right alignment does";
}

TEST(DrawTextDraw, RightAlignedEndsAtTheRightEdge)
{
    TrpDrawText dt;
    TSettings s;
    s.hAlign = haRight;
    Lay(dt, "abc", s);
    TRecordingCanvas canvas;
    dt.DrawText(&canvas.Canvas, haRight, vaTop);
    const auto texts = TextRecords(canvas);
    ASSERT_EQ(texts.size(), 1u);
    int sum = 0;
    for (size_t k = 9; k < texts[0].Args.size(); ++k)
        sum += texts[0].Args[k];
    EXPECT_EQ(texts[0].Args[0] + sum, s.width + 1);
}

TEST(DrawTextDraw, DrawingTwiceGivesTheSameRecords)
{
    TrpDrawText dt;
    TSettings s;
    s.tags = true;
    Lay(dt, "a<b>b</b>c", s);
    TRecordingCanvas one, two;
    dt.DrawText(&one.Canvas, haLeft, vaTop);
    dt.DrawText(&two.Canvas, haLeft, vaTop);
    EXPECT_EQ(one.Dump(), two.Dump());
}

TEST(DrawTextDraw, CanvasFontIsGivenBack)
{
    TrpDrawText dt;
    TSettings s;
    s.tags = true;
    s.rotation = 45;
    Lay(dt, "<b>x</b>", s);
    TRecordingCanvas canvas;
    canvas.Canvas.GetFont()->SetName("Courier New");
    dt.DrawText(&canvas.Canvas, haLeft, vaTop);
    EXPECT_EQ(canvas.Canvas.GetFont()->GetName(), "Courier New");
    EXPECT_EQ(canvas.Canvas.GetFont()->GetOrientation(), 0);
}

// ---------------------------------------------------------------- the lock

TEST(DrawTextLock, ASecondUserIsRefusedNotHung)
{
    TrpDrawText dt;
    {
        TrpDrawTextLock lock(dt);
        EXPECT_TRUE(dt.GetBusy());
        EXPECT_THROW(dt.Lock(), EInvalidOperation);
    }
    EXPECT_FALSE(dt.GetBusy());
    dt.Lock();
    dt.Unlock();
}

TEST(DrawTextLock, SharedInstance)
{
    TrpDrawText& a = rpDrawText();
    EXPECT_EQ(&a, &rpDrawText());
    {
        TrpDrawTextLock lock(a);
        EXPECT_TRUE(rpDrawText().GetBusy());
    }
    rpFreeDrawText();
    EXPECT_FALSE(rpDrawText().GetBusy());
}

}  // namespace

// ---------------------------------------------------------------- fuzz corpus and random texts

namespace {

TEST(DrawTextFuzz, CorpusReplays)
{
    const std::filesystem::path dir = std::filesystem::path(SKLAD_TESTS_DIR) / "../fuzz/corpus/DrawText";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        FuzzDrawText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GE(files, 10);
}

TEST(DrawTextFuzz, RandomTextsSplitBackIntoThemselves)
{
    // Texts built from words, blanks, line breaks and tags, good and broken, at random
    // widths and heights: the part that fits and the rest always give back the text.
    const char* const pieces[] = {"склад", "товар", " ", " ", "\r\n", "\n", "<b>", "</b>", "<i>", "<sub>",
                                  "</sub>", "<font color=red>", "</font>", "<", ">", "<b", "ПЕРЕВОЗКА",
                                  "xxxxxxxxxxxxxxxxxxxx", "-", ","};
    std::mt19937 rng(1234);
    for (int round = 0; round < 300; ++round) {
        AnsiString text;
        const int n = int(rng() % 30);
        for (int k = 0; k < n; ++k)
            text += pieces[rng() % std::size(pieces)];
        TSettings s;
        s.width = int(rng() % 200) - 20;
        s.height = int(rng() % 120);
        s.tags = rng() % 2;
        s.wordBreak = rng() % 2;
        s.gap = rng() % 3 * 5;
        SCOPED_TRACE(text);
        TrpDrawText dt;
        Lay(dt, text, s);
        const AnsiString whole = dt.GetInBoundsText();
        AnsiString rest = dt.GetOutBoundsText();
        if (s.tags && !rest.empty())
            rest = WithoutReopened(rest, whole.size() - dt.GetInBoundsText().size());
        ASSERT_EQ(dt.GetInBoundsText() + rest, whole);
        TRecordingCanvas canvas;
        dt.DrawText(&canvas.Canvas, haBlock, vaCenter);
    }
}

}  // namespace

// A word longer than its line is hyphenated at the last break before the overflow that the
// whole rest of the word allows, however far the rest runs: also when its next vowel lies
// far past the line, or when none follows at all.
TEST(DrawTextHyphenation, LongWordsBreakAsTheWholeWordAllows)
{
    struct TCase {
        const char* Why;
        AnsiString Word;
    };
    auto times = [](const AnsiString& s, int n) {
        AnsiString r;
        for (int k = 0; k < n; ++k)
            r += s;
        return r;
    };
    const TCase cases[] = {
        {"a word repeated into one", times("оцинкованный", 20)},
        {"the next vowel far past the line", "перевоз" + times("ткрп", 30) + "а"},
        {"no vowel after the first letters", "перевоз" + times("ткрп", 30)},
        {"consonants first", times("б", 50) + times("оцинкованный", 3)},
        {"mixed case", times("ОцИнКоВаННЫй", 10)},
        {"short word between long ones", times("ао", 40) + "ъ" + times("бв", 40)},
    };
    TSettings s;
    s.wordBreak = true;
    // Letters that fit one line of the fake font: the first line of an unbroken word.
    TrpDrawText plain;
    TSettings noBreak;
    Lay(plain, AnsiString(200, 'x'), noBreak);
    const size_t room = LinesOf(plain).at(0).size();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Why);
        std::vector<AnsiString> want;
        AnsiString rest = c.Word;
        while (rest.size() > room) {
            int head = 0;
            for (int k : rpRussianBreakPositions(AnsiUpperCase(rest)))
                if (size_t(k) < room)
                    head = k;
            if (head > 0) {
                want.push_back(rest.substr(0, size_t(head)) + "-");
                rest.erase(0, size_t(head));
            } else {
                want.push_back(rest.substr(0, room));
                rest.erase(0, room);
            }
        }
        want.push_back(rest);
        TrpDrawText dt;
        Lay(dt, c.Word, s);
        EXPECT_EQ(LinesOf(dt), want);
    }
}
