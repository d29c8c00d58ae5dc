#include "platform/graphics/Graphics.h"
#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// ---------------------------------------------------------------- golden drawings

struct DrawCase {
    const char* name;
    const char* why;
    void (*draw)(TCanvas& c);
};

const DrawCase kDrawings[] = {
    {"shapes", "each shape once: attributes are selected before the first shape that needs them",
     [](TCanvas& c) {
         c.Rectangle(10, 10, 110, 60);
         c.GetBrush()->SetColor(clYellow);
         c.Ellipse(Rect(0, 0, 40, 20));
         c.RoundRect(0, 0, 40, 20, 10, 10);
         c.Polygon({{0, 10}, {20, 0}, {40, 10}});
         c.GetPen()->SetWidth(3);
         c.GetPen()->SetStyle(psDash);
         c.Polyline({{0, 0}, {5, 5}, {10, 0}});
     }},
    {"lines", "LineTo draws from the pen position and moves it; MoveTo draws nothing",
     [](TCanvas& c) {
         c.MoveTo(5, 5);
         c.LineTo(50, 5);
         c.LineTo(50, 25);
         c.MoveTo(0, 0);
         c.GetPen()->SetColor(clRed);
         c.LineTo(-3, 7);
     }},
    {"unchanged_pen_is_not_sent_again", "setting a pen to the same values selects nothing new",
     [](TCanvas& c) {
         c.GetPen()->SetColor(clBlue);
         c.Rectangle(0, 0, 5, 5);
         c.GetPen()->SetColor(clRed);
         c.GetPen()->SetColor(clBlue);
         c.Rectangle(5, 5, 10, 10);
     }},
    {"fill_and_frame", "FillRect uses the brush only; FrameRect draws in the brush colour",
     [](TCanvas& c) {
         c.GetBrush()->SetColor(clSilver);
         c.FillRect(Rect(0, 0, 20, 10));
         c.GetBrush()->SetColor(clNavy);
         c.FrameRect(Rect(0, 0, 20, 10));
     }},
    {"text", "TextOut is opaque in the brush colour unless the brush is clear; the font comes first",
     [](TCanvas& c) {
         c.GetFont()->SetName("Arial");
         c.GetFont()->SetHeight(-10);
         c.TextOut(4, 2, "Итого: 5");
         c.GetBrush()->SetStyle(bsClear);
         c.GetFont()->SetStyle(TFontStyles{fsBold, fsUnderline});
         c.TextOut(4, 20, "say \"hi\"\t\\");
     }},
    {"text_rect", "TextRect clips to its rectangle and fills it unless the brush is clear",
     [](TCanvas& c) {
         c.GetFont()->SetHeight(-10);
         c.TextRect(Rect(0, 0, 30, 12), 2, 1, "Длинный текст");
         c.GetBrush()->SetStyle(bsClear);
         c.TextRect(Rect(0, 20, 30, 32), 2, 21, "ok");
     }},
    {"ext_text_out", "explicit advances and a background mode set apart from the brush",
     [](TCanvas& c) {
         c.GetFont()->SetHeight(-10);
         c.SetBkMode(false);
         const int dx[] = {7, 7, 8};
         const TRect clip = Rect(0, 0, 15, 10);
         c.ExtTextOut(1, 1, ETO_CLIPPED, &clip, "abc", dx);
     }},
    {"clipping", "clip rectangles reach the device and can be removed",
     [](TCanvas& c) {
         c.SetClipRect(Rect(5, 5, 50, 50));
         c.Rectangle(0, 0, 100, 100);
         c.ResetClip();
         c.Rectangle(0, 0, 100, 100);
     }},
    {"pixels_and_bitmaps", "Pixels and a drawn bitmap with a copy mode",
     [](TCanvas& c) {
         c.SetPixel(3, 4, clRed);
         TBitmap b;
         b.SetSize(4, 2);
         c.Draw(10, 10, &b);
         c.SetCopyMode(cmSrcAnd);
         c.StretchDraw(Rect(0, 0, 8, 8), &b);
     }},
};

TEST(CanvasGolden, Drawings)
{
    for (const DrawCase& d : kDrawings) {
        SCOPED_TRACE(d.why);
        TRecordingCanvas c;
        d.draw(c.Canvas);
        ExpectGolden(d.name, c.Dump());
    }
}

// ---------------------------------------------------------------- measuring with the fake

struct MeasureCase {
    const char* why;
    int height;
    const char* text;
    int width, textHeight;
};

const MeasureCase kMeasures[] = {
    {"0.6 em per byte: 10 px font, 5 bytes", -10, "Hello", 30, 10},
    {"Cyrillic bytes count one each", -10, "Ёжик", 24, 10},
    {"13 px: 7.8 per byte, rounded once for the whole text", -13, "abc", 23, 13},
    {"a positive height is the cell, one em in the fake", 20, "ab", 24, 20},
    {"empty text is zero wide but a line high", -10, "", 0, 10},
};

TEST(CanvasMeasure, FakeFontWidthsAndHeights)
{
    for (const MeasureCase& m : kMeasures) {
        SCOPED_TRACE(m.why);
        TRecordingCanvas c;
        c.Canvas.GetFont()->SetHeight(m.height);
        EXPECT_EQ(c.Canvas.TextWidth(m.text), m.width);
        EXPECT_EQ(c.Canvas.TextHeight(m.text), m.textHeight);
    }
}

TEST(CanvasMeasure, ExtentEdgesRoundTheRunningSum)
{
    TRecordingCanvas c;
    c.Canvas.GetFont()->SetHeight(-13);  // 7.8 per byte
    std::vector<int> edges;
    const TSize size = c.Canvas.GetTextExtentExPoint("abcd", edges);
    EXPECT_EQ(edges, (std::vector<int>{8, 16, 23, 31}));
    EXPECT_EQ(size.cx, 31);
    const TTextMetric tm = c.Canvas.GetTextMetrics();
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmHeight, 13);
}

TEST(CanvasMeasure, TextOutMovesThePenToTheEnd)
{
    TRecordingCanvas c;
    c.Canvas.GetFont()->SetHeight(-10);
    c.Canvas.TextOut(5, 7, "abc");
    EXPECT_EQ(c.Canvas.GetPenPos(), (TPoint{23, 7}));
}

TEST(CanvasMeasure, WithoutADeviceNothingIsDrawnButTextIsMeasured)
{
    TCanvas c;
    c.GetFont()->SetHeight(-10);
    c.Rectangle(0, 0, 10, 10);
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_EQ(c.TextWidth("abc"), 18);  // the default backend is the fake unless Qt installed its own
}

// ---------------------------------------------------------------- printer fonts

TEST(CanvasPrinter, FontKeepsItsPointsAtThePrinterResolution)
{
    TRecordingCanvas c(600, 600, /*printer=*/true);
    TFont screenFont;
    screenFont.SetName("Arial");
    screenFont.SetSize(10);  // -13 at 96 dpi
    c.Canvas.SetFont(&screenFont);
    c.Canvas.TextOut(0, 0, "x");
    EXPECT_EQ(c.Canvas.GetFont()->GetPixelsPerInch(), 600);
    EXPECT_EQ(c.Canvas.GetFont()->GetHeight(), -83);  // 10 pt at 600 dpi
    EXPECT_EQ(c.Canvas.TextWidth("abcde"), 249);      // 5 x 0.6 x 83
}

TEST(CanvasPrinter, ScreenCanvasTakesHeightAsDevicePixels)
{
    TRecordingCanvas c(600, 600, /*printer=*/false);
    c.Canvas.GetFont()->SetHeight(-83);
    EXPECT_EQ(c.Canvas.TextHeight("x"), 83);
    EXPECT_EQ(c.Canvas.GetFont()->GetPixelsPerInch(), 96);
}

// ---------------------------------------------------------------- clipping

struct VisibleCase {
    const char* why;
    TRect clip, rect;
    bool visible;
};

const VisibleCase kVisible[] = {
    {"inside", {0, 0, 100, 100}, {10, 10, 20, 20}, true},
    {"overlapping an edge", {0, 0, 100, 100}, {90, 90, 120, 120}, true},
    {"touching the right edge only is outside", {0, 0, 100, 100}, {100, 0, 110, 10}, false},
    {"wholly outside", {0, 0, 100, 100}, {-50, -50, -10, -10}, false},
};

TEST(CanvasClip, RectVisible)
{
    for (const VisibleCase& v : kVisible) {
        SCOPED_TRACE(v.why);
        TRecordingCanvas c;
        c.Canvas.SetClipRect(v.clip);
        EXPECT_EQ(c.Canvas.RectVisible(v.rect), v.visible);
        EXPECT_EQ(c.Canvas.GetClipRect(), v.clip);
    }
}

TEST(CanvasClip, BoundedDeviceClipsToItsBounds)
{
    TRecordingCanvas c(96, 96, false, Rect(0, 0, 200, 100));
    EXPECT_EQ(c.Canvas.GetClipRect(), Rect(0, 0, 200, 100));
    c.Canvas.SetClipRect(Rect(150, 50, 400, 400));
    EXPECT_EQ(c.Canvas.GetClipRect(), Rect(150, 50, 200, 100));
    TRecordingCanvas unbounded;
    EXPECT_TRUE(unbounded.Canvas.RectVisible(Rect(-100000, -100000, -99990, -99990)));
}

// ---------------------------------------------------------------- colours

TEST(ColorTable, HasThePlatformOrderAndCount)
{
    std::vector<AnsiString> names;
    GetColorValues([&](const AnsiString& n) { names.push_back(n); });
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names.front(), "clBlack");
    EXPECT_EQ(names[19], "clMedGray");
    EXPECT_EQ(names[20], "clActiveBorder");
    EXPECT_EQ(names[29], "clDefault");
    EXPECT_EQ(names[45], "clNone");
    EXPECT_EQ(names.back(), "clWindowText");
    int value = 0;
    ASSERT_TRUE(IdentToColor("clGradientActiveCaption", value));
    EXPECT_EQ(uint32_t(value), 0x8000001Bu);
    ASSERT_TRUE(IdentToColor("clMenuBar", value));
    EXPECT_EQ(uint32_t(value), 0x8000001Eu);
}

}  // namespace

// A test program run from another folder than its tests' (by hand, not under CTest) finds
// its golden files all the same, whichever way the folder is named.
TEST(CanvasGolden, FoundFromAnyWorkingFolder)
{
    const struct {
        const char* why;
        const char* cwd;
        const char* folder;
    } cases[] = {
        {"the default folder, from the root", "/", nullptr},
        {"the folder named, from the temporary folder", "/tmp", "golden"},
    };
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_EQ(chdir(c.cwd), 0);
        TRecordingCanvas canvas;
        kDrawings[0].draw(canvas.Canvas);
        if (c.folder)
            ExpectGolden(kDrawings[0].name, canvas.Dump(), c.folder);
        else
            ExpectGolden(kDrawings[0].name, canvas.Dump());
        ASSERT_EQ(chdir(here), 0);
    }
}
