// RasterDevice.h - a software device over a bitmap's pixels.
//
// Used when no platform painter is installed (tests, tools): solid fills, one-pixel
// and square thick lines, rectangles, ellipses, rounded rectangles and polygons with
// even-odd filling, pixels, pen modes that combine with the pixels (copy, xor, not,
// black, white) and stretched bitmaps (nearest pixel in either stretch mode: this device
// does not smooth). Pen dashes and brush hatches are
// drawn solid and text draws only its opaque background: glyphs need a font rasterizer,
// which the Qt device brings.
#pragma once

#include "platform/graphics/CanvasDevice.h"

#include <optional>

class TRasterDevice : public TCanvasDevice {
public:
    explicit TRasterDevice(TPixelBuffer& pixels) : FPixels(pixels) {}

    TRect GetBounds() const override { return {0, 0, FPixels.Width, FPixels.Height}; }
    void SelectPen(const TPenState& pen) override { FPen = pen; }
    void SelectBrush(const TBrushState& brush) override { FBrush = brush; }
    void SelectFont(const TFontState& font) override { FFont = font; }
    void SetBkMode(bool opaque, TColor color) override
    {
        FBkOpaque = opaque;
        FBkColor = color;
    }
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
    TColor GetPixel(int x, int y) override;

private:
    // Every primitive works only over the pixels of the device inside the clip rectangle,
    // and computes positions in 64 bits: coordinates anywhere in the int range draw in
    // time bounded by the device's size.
    TRect Visible() const;
    bool Inside(int64_t x, int64_t y) const;
    void Plot(int64_t x, int64_t y, uint32_t rgb, TPenMode mode);
    void Span(int64_t y, int64_t x1, int64_t x2, uint32_t rgb, TPenMode mode = pmCopy);  // x1..x2-1
    void ThickLine(TPoint from, TPoint to, const TRect& visible, uint32_t rgb);
    bool PenVisible() const { return FPen.Style != psClear && FPen.Mode != pmNop; }
    bool BrushVisible() const { return FBrush.Style != bsClear; }

    TPixelBuffer& FPixels;
    TPenState FPen;
    TBrushState FBrush;
    TFontState FFont;
    bool FBkOpaque = true;
    TColor FBkColor = clWhite;
    std::optional<TRect> FClip;
};

// 0xFFRRGGBB of a colour (system colours resolved).
uint32_t ColorToPixel(TColor color);
// The colour of a pixel value.
TColor PixelToColor(uint32_t pixel);
