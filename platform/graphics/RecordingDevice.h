// RecordingDevice.h - a device that keeps every drawing call: metafiles and exact tests.
//
// Each call becomes one TDrawRecord with its exact integer arguments; attribute changes
// are records too, in the order the canvas selected them. DumpRecords() writes one
// record per line, which is what golden tests compare:
//
//   pen clBlack 1 psSolid pmCopy          colour width style mode
//   brush clWhite bsSolid                 colour style
//   font "Arial" -13 clBlack [fsBold] 204 0   name height colour style charset angle
//   bk opaque clWhite                     background mode and colour
//   clip 0 0 100 50 | noclip
//   line 0 0 10 10                        from, to (the end point is not painted)
//   polyline x y x y ... | polygon x y x y ...
//   rect l t r b | fill l t r b | frame l t r b | ellipse l t r b | roundrect l t r b cw ch
//   text 10 20 "Abc" [clipped l t r b] [opaque l t r b] [rtl] [dx 6 6 6]
//   bitmap l t r b 16x8 #1a2b3c4d [cm $00CC0020 | alpha] [coloroncolor]
//                                         destination, size, pixel checksum, modes
//   pixel x y colour
//
// Text in records and in the dump is CP1251; quotes and backslashes are escaped, other
// bytes below 32 written as \xNN.
#pragma once

#include "platform/graphics/CanvasDevice.h"

#include <memory>
#include <vector>

#define SKLAD_DRAW_OPS(X)                                                                    \
    X(Pen, "pen") X(Brush, "brush") X(Font, "font") X(BkMode, "bk") X(Clip, "clip")          \
    X(NoClip, "noclip") X(Line, "line") X(Polyline, "polyline") X(Polygon, "polygon")        \
    X(Rectangle, "rect") X(FillRect, "fill") X(FrameRect, "frame") X(Ellipse, "ellipse")     \
    X(RoundRect, "roundrect") X(Text, "text") X(Bitmap, "bitmap") X(Pixel, "pixel")

enum class TDrawOp : uint8_t {
#define X(id, name) id,
    SKLAD_DRAW_OPS(X)
#undef X
    Count
};

const char* DrawOpName(TDrawOp op);

// The copy mode of a bitmap record drawn through its alpha; no raster operation has it.
constexpr int32_t kRecordedAlpha = -1;

// Arguments by operation (all 32-bit integers):
//   Pen: colour width style mode        Brush: colour style      BkMode: opaque colour
//   Font: height colour style-bits charset orientation (Text = name)
//   Clip, Rectangle, FillRect, FrameRect, Ellipse: l t r b      RoundRect: l t r b cw ch
//   Line: x1 y1 x2 y2        Polyline, Polygon: x y pairs (at least one)
//   Text: x y options rl rt rr rb opaque bkcolour, then one advance per byte or none
//   Bitmap: l t r b copymode [stretchmode] (Pixels = the bitmap; copymode kRecordedAlpha:
//           blended by the pixels' alpha, DrawBitmapAlpha; the stretch mode is kept only
//           when it is COLORONCOLOR, so records made before it existed stay as they were
//           and read as HALFTONE)                             Pixel: x y colour
struct TDrawRecord {
    TDrawOp Op = TDrawOp::Line;
    std::vector<int32_t> Args;
    AnsiString Text;
    std::shared_ptr<const TPixelBuffer> Pixels;
    bool operator==(const TDrawRecord& o) const;
};

using TDrawRecords = std::vector<TDrawRecord>;

// How many arguments an operation takes; -1 for the variable ones (checked apart).
int FixedArgCount(TDrawOp op);
// Empty when the record is well formed, else what is wrong with it.
AnsiString CheckRecord(const TDrawRecord& record);

class TRecordingDevice : public TCanvasDevice {
public:
    // `fonts` measures text (the fake when none is given); `bounds` empty = unbounded.
    explicit TRecordingDevice(TFontBackend* fonts = nullptr, int dpiX = kPixelsPerInch, int dpiY = kPixelsPerInch,
                              TRect bounds = {});

    int PixelsPerInchX() const override { return FDpiX; }
    int PixelsPerInchY() const override { return FDpiY; }
    TRect GetBounds() const override { return FBounds; }
    TFontBackend& Fonts() override { return *FFonts; }
    bool IsPrinter() const override { return FPrinter; }
    void SetPrinter(bool value) { FPrinter = value; }

    void SelectPen(const TPenState& pen) override;
    void SelectBrush(const TBrushState& brush) override;
    void SelectFont(const TFontState& font) override;
    void SetBkMode(bool opaque, TColor color) override;
    void SetClip(const TRect* clip) override;
    void Line(TPoint from, TPoint to) override;
    void Polyline(const std::vector<TPoint>& points) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    void Ellipse(const TRect& r) override;
    void RoundRect(const TRect& r, int cornerWidth, int cornerHeight) override;
    void TextOut(const TTextRun& run, std::string_view text) override;
    void DrawBitmap(const TRect& dest, const TPixelBuffer& pixels, int copyMode, int stretchMode) override;
    void DrawBitmapAlpha(const TRect& dest, const TPixelBuffer& pixels) override;
    void SetPixel(int x, int y, TColor color) override;

    const TDrawRecords& Records() const { return FRecords; }
    TDrawRecords TakeRecords() { return std::move(FRecords); }
    void Clear() { FRecords.clear(); }
    // The records as text, one per line, each line ending in "\n".
    AnsiString Dump() const;
    // The smallest rectangle holding every shape drawn (text by its measured cell).
    TRect Extent() const;

private:
    void Add(TDrawOp op, std::vector<int32_t> args, AnsiString text = {});
    TFontBackend* FFonts;
    int FDpiX, FDpiY;
    TRect FBounds;
    bool FPrinter = false;
    TDrawRecords FRecords;
    TFontState FFont;
};

AnsiString DumpRecord(const TDrawRecord& record);
AnsiString DumpRecords(const TDrawRecords& records);
// Plays records on a device: coordinates mapped by x' = dx + round(x * sx), sizes scaled.
void PlayRecords(const TDrawRecords& records, TCanvasDevice& device, double sx = 1, double sy = 1, int dx = 0,
                 int dy = 0);
// Adler-32 of a bitmap's pixels, for dumps.
uint32_t PixelChecksum(const TPixelBuffer& pixels);
