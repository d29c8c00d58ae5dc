// DrawTextTarget.cpp - the text layout over arbitrary bytes.
#include "report/model/fuzz/DrawTextTarget.h"

#include "report/model/rpDrawText.h"

#include "platform/graphics/testing/RecordingCanvas.h"

#include <cstdlib>
#include <limits>
#include <string>

void FuzzDrawText(const uint8_t* data, size_t size)
{
    if (size < 6)
        return;
    const uint8_t flags = data[0];
    const int width = int(int8_t(data[1])) * 4;  // -512 .. 508, zero and negatives included
    const int height = int(data[2]) * 2;
    const int rotation = int(int16_t(uint16_t(data[3]) << 8 | data[4])) % 1000;
    const int size10 = 1 + data[5] % 40;
    const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);

    TrpDrawText dt;
    TFont font;
    font.SetName("Arial");
    font.SetSize(size10);
    dt.SetFont(&font);
    dt.SetOptions(flags & 1, flags & 2, flags & 4, flags & 8, flags & 16, rotation);
    dt.SetGaps((flags & 32) ? 7.5L : 0, (flags & 64) ? 1.25L : 0, (flags & 128) ? 3 : 0);
    // A width byte of 0x80 stands for bounds over the whole int range.
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const TRect r = data[1] == 0x80 ? TRect{kMin, kMin, kMax, kMax} : TRect{0, 0, width, height};
    dt.SetDimensions(1, 1, r, r);
    dt.SetText(text);
    const AnsiString whole = dt.GetInBoundsText();
    (void)dt.CalcHeight();
    (void)dt.CalcWidth();
    (void)dt.UnusedSpace();
    const AnsiString rest = dt.GetOutBoundsText();
    if (dt.GetInBoundsText().size() > whole.size())
        std::abort();  // the part that fits can only be shorter
    TRecordingCanvas canvas;
    dt.DrawText(&canvas.Canvas, TrpHAlign(flags % 4), TrpVAlign((flags >> 2) % 3));
    (void)rest;
}
