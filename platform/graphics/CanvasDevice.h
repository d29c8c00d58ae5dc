// CanvasDevice.h - what a canvas draws on.
//
// TCanvas keeps the drawing state (pen, brush, font, pen position, clipping, copy mode)
// and turns each call into one device operation with exact integer coordinates. Before
// a drawing operation it selects into the device the attributes that changed since the
// last one, as a device context selects pens and brushes; so a device sees a short
// stream: select pen, select brush, rectangle, select font, text, ...
//
// Devices: TRecordingDevice (RecordingDevice.h: metafiles, exact tests), the software
// raster of bitmaps (RasterDevice.h), and the Qt painter in platform/qt (images, PDF,
// printers, widgets). Coordinates follow the platform: Rectangle(0, 0, 10, 10) covers
// pixels 0..9; a text position is the top-left corner of the text cell.
#pragma once

#include "platform/graphics/FontBackend.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsObjects.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct TPenState {
    TColor Color = clBlack;
    int Width = 1;  // 0 draws one pixel wide
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    bool operator==(const TPenState&) const = default;
};

struct TBrushState {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TBrushState&) const = default;
};

struct TFontState {
    AnsiString Name = "MS Sans Serif";
    int Height = -11;  // device pixels; see FontBackend.h
    TColor Color = clWindowText;
    TFontStyles Style;
    int Charset = 1;
    int Orientation = 0;  // tenths of a degree, counter-clockwise
    bool operator==(const TFontState&) const = default;
    TFontSpec Desc() const { return TFontSpec{Name, Height, Style}; }
};

// Text output options: the platform's ETO_* values.
constexpr int ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_RTLREADING = 128;

// One ExtTextOut: position of the cell's top-left corner, options, the rectangle they
// refer to, and explicit advances (empty: the font's own).
struct TTextRun {
    int X = 0, Y = 0;
    int Options = 0;
    TRect Rect;
    std::vector<int> Dx;
    bool Opaque = false;       // background mode: fill the text cells with BkColor
    TColor BkColor = clWhite;
};

// Pixels of a bitmap: rows top to bottom, each pixel 0xAARRGGBB.
struct TPixelBuffer {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t* Row(int y) { return Pixels.data() + size_t(y) * size_t(Width); }
    const uint32_t* Row(int y) const { return Pixels.data() + size_t(y) * size_t(Width); }
    bool operator==(const TPixelBuffer&) const = default;
};

// The platform's copy modes (raster operations) that matter for drawing pictures.
constexpr int cmBlackness = 0x00000042, cmDstInvert = 0x00550009, cmMergeCopy = 0x00C000CA,
              cmMergePaint = 0x00BB0226, cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
              cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09,
              cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328,
              cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;

// How a bitmap drawn into another size is stretched (the platform's stretch modes):
// HALFTONE smooths, COLORONCOLOR takes the nearest source pixel, so a picture keeps only
// its own colours. HALFTONE is a canvas's mode until it is set.
constexpr int COLORONCOLOR = 3, HALFTONE = 4;

class TCanvasDevice {
public:
    virtual ~TCanvasDevice() = default;

    virtual int PixelsPerInchX() const { return kPixelsPerInch; }
    virtual int PixelsPerInchY() const { return kPixelsPerInch; }
    // The drawable area in device pixels; an empty rectangle means unbounded.
    virtual TRect GetBounds() const = 0;
    // Where text is measured for this device.
    virtual TFontBackend& Fonts() { return DefaultFontBackend(); }
    // Whether this device is a printer page (printer canvases keep font sizes in points).
    virtual bool IsPrinter() const { return false; }

    virtual void SelectPen(const TPenState& pen) = 0;
    virtual void SelectBrush(const TBrushState& brush) = 0;
    virtual void SelectFont(const TFontState& font) = 0;
    // Background of text and hatched brushes: opaque in `color`, or transparent.
    virtual void SetBkMode(bool opaque, TColor color) = 0;
    // Clipping rectangle, or none (nullptr).
    virtual void SetClip(const TRect* clip) = 0;

    virtual void Line(TPoint from, TPoint to) = 0;
    virtual void Polyline(const std::vector<TPoint>& points) = 0;
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
    virtual void Rectangle(const TRect& r) = 0;  // outline in the pen, inside in the brush
    virtual void FillRect(const TRect& r) = 0;   // the brush only
    virtual void FrameRect(const TRect& r) = 0;  // one pixel in the brush colour
    virtual void Ellipse(const TRect& r) = 0;
    virtual void RoundRect(const TRect& r, int cornerWidth, int cornerHeight) = 0;
    virtual void TextOut(const TTextRun& run, std::string_view text) = 0;
    // Stretches `pixels` into `dest` by the stretch mode (HALFTONE or COLORONCOLOR).
    virtual void DrawBitmap(const TRect& dest, const TPixelBuffer& pixels, int copyMode, int stretchMode) = 0;
    // Stretches pixels whose alpha says how much of them covers what lies below (icons),
    // by the nearest pixel. Devices that keep no pixels to blend with draw them as they are.
    virtual void DrawBitmapAlpha(const TRect& dest, const TPixelBuffer& pixels)
    {
        DrawBitmap(dest, pixels, cmSrcCopy, COLORONCOLOR);
    }
    virtual void SetPixel(int x, int y, TColor color) = 0;
    // The colour at a pixel, or clNone where the device keeps no pixels.
    virtual TColor GetPixel(int x, int y) { (void)x; (void)y; return clNone; }
};

// A device that draws nothing: the canvas of a control without a window, say.
class TNullDevice : public TCanvasDevice {
public:
    TRect GetBounds() const override { return {}; }
    void SelectPen(const TPenState&) override {}
    void SelectBrush(const TBrushState&) override {}
    void SelectFont(const TFontState&) override {}
    void SetBkMode(bool, TColor) override {}
    void SetClip(const TRect*) override {}
    void Line(TPoint, TPoint) override {}
    void Polyline(const std::vector<TPoint>&) override {}
    void Polygon(const std::vector<TPoint>&) override {}
    void Rectangle(const TRect&) override {}
    void FillRect(const TRect&) override {}
    void FrameRect(const TRect&) override {}
    void Ellipse(const TRect&) override {}
    void RoundRect(const TRect&, int, int) override {}
    void TextOut(const TTextRun&, std::string_view) override {}
    void DrawBitmap(const TRect&, const TPixelBuffer&, int, int) override {}
    void SetPixel(int, int, TColor) override {}
};
