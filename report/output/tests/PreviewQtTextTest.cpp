// Memo text on the screen through the Qt painter device, offscreen: a line laid out at
// 600 ppi and drawn at 96 dpi never reaches past what the layout measured, so a frame at
// the memo's edge does not cut the last digit of a right-aligned number.
#include "report/model/rpDrawText.h"

#include "platform/graphics/Graphic.h"
#include "platform/qt/QtBackend.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct TOffscreenQt {
    TOffscreenQt()
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_report_preview_qt";
        static char* argv[] = {name, nullptr};
        Backend = std::make_unique<TQtBackend>(argc, argv);
    }
    std::unique_ptr<TQtBackend> Backend;
};

// The rightmost column with ink (not white), or -1.
int RightmostInk(const TBitmap& bitmap)
{
    const TPixelBuffer& p = bitmap.Pixels();
    for (int x = p.Width - 1; x >= 0; --x)
        for (int y = 0; y < p.Height; ++y)
            if ((p.Pixels[size_t(y) * size_t(p.Width) + size_t(x)] & 0xFFFFFF) != 0xFFFFFF)
                return x;
    return -1;
}

TEST(PreviewQtText, RightAlignedNumbersStayInsideTheMeasuredWidth)
{
    TOffscreenQt qt;
    const struct {
        const char* Text;
        int Size;
        const char* why;
    } rows[] = {
        {"10", 8, "the digit the user saw cut"},
        {"10", 9, "nine points"},
        {"10", 10, "ten points"},
        {"100", 8, "three digits"},
        {"1234,56", 9, "a sum with decimals"},
        {"990", 10, "round glyphs at the end"},
        {"7 777,00", 8, "a grouped sum"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        SCOPED_TRACE(row.Text);
        const int width = 90, height = 24;
        TBitmap bitmap;
        bitmap.SetSize(width + 20, height);
        TCanvas* canvas = bitmap.GetCanvas();
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FillRect(Rect(0, 0, width + 20, height));

        TrpDrawText dt;
        TFont font;
        font.SetName("Liberation Sans");
        font.SetSize(row.Size);
        font.SetColor(clBlack);
        dt.SetFont(&font);
        dt.SetOptions(false, false, false, false, false, 0);
        dt.SetGaps(0, 0, 0);
        const TRect r{0, 0, width, height};
        dt.SetDimensions(1, 1, r, r);
        dt.SetText(AnsiString(row.Text));
        dt.DrawText(canvas, haRight, vaTop);
        // The layout puts the end of a right-aligned line one pixel past the width.
        const int ink = RightmostInk(bitmap);
        EXPECT_GT(ink, width / 2) << "something was drawn at the right";
        EXPECT_LE(ink, width) << "ink at " << ink << " for a line measured to end at " << width + 1;
    }
}

}  // namespace
