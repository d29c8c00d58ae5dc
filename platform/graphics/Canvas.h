// Canvas.h - TCanvas: the drawing surface with the platform's calls.
//
// A canvas draws on a device (CanvasDevice.h) that it does not own; without one it
// draws nowhere and measures with the default font backend, so a control's canvas is
// usable before the control has a window. The canvas holds the state: Font, Pen, Brush,
// the pen position, the clipping rectangle, the copy and stretch modes; the device
// receives the attributes only when they changed, just before an operation needs them
// (the two modes go with each bitmap drawn).
//
// Rules kept from the platform: Rectangle and Ellipse take the pixels from (X1, Y1) up
// to but not including (X2, Y2); LineTo does not paint its end point; TextOut puts the
// top-left of the text cell at (X, Y) and moves the pen to the text's end; the text
// background is opaque in the brush colour only under a solid brush; TextRect clips to
// its rectangle and fills it unless the brush is bsClear.
// Widths and heights of text are rounded to whole device pixels.
#pragma once

#include "platform/graphics/CanvasDevice.h"
#include "platform/graphics/FontBackend.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsObjects.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class TGraphic;

// The text metrics of the selected font, rounded to device pixels.
struct TTextMetric {
    int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
    int tmAveCharWidth = 0, tmMaxCharWidth = 0;
};

class TCanvas : public TPersistent {
    SKLAD_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    explicit TCanvas(TCanvasDevice* device);
    ~TCanvas() override;

    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    TPen* GetPen() const { return FPen.get(); }
    void SetPen(TPen* value) { FPen->Assign(value); }
    TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(TBrush* value) { FBrush->Assign(value); }
    int GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(int value) { FCopyMode = value; }
    // How bitmaps are stretched (HALFTONE or COLORONCOLOR, CanvasDevice.h), as the
    // platform's SetStretchBltMode: answers the previous mode, or 0 for a mode it does not
    // know (the mode then stays).
    int GetStretchBltMode() const { return FStretchMode; }
    int SetStretchBltMode(int mode);
    TPoint GetPenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }

    // The device drawn on (not owned); nullptr detaches. The selection is sent afresh.
    TCanvasDevice* GetDevice() const { return FDevice; }
    void SetDevice(TCanvasDevice* device);
    bool HandleAllocated() const { return FDevice != nullptr; }
    // Whether the canvas draws a printer's (or a PDF's) page.
    bool IsPrinter() const { return FDevice && FDevice->IsPrinter(); }
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;

    // Printer canvases keep a font's size in points when the font was made for another
    // resolution: before drawing, a font whose PixelsPerInch differs from the device's
    // gets the device's, and its Size is set again.
    void SetKeepFontPoints(bool value) { FKeepFontPoints = value; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);

    void TextOut(int x, int y, std::string_view text);
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    // The platform's ExtTextOut: `options` of ETO_*, `rect` for clipping and opaque
    // filling, `dx` the advance of each byte (nullptr: the font's own advances).
    void ExtTextOut(int x, int y, int options, const TRect* rect, std::string_view text, const int* dx = nullptr);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TSize TextExtent(std::string_view text);
    // Cumulative right edges of the bytes of `text` (rounded), as GetTextExtentExPoint.
    TSize GetTextExtentExPoint(std::string_view text, std::vector<int>& edges);
    TTextMetric GetTextMetrics();

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Sends a bitmap's pixels to the device (what bitmaps do when drawn).
    // The same, blended by the pixels' alpha (0: what lies below shows).
    void DrawPixelsAlpha(const TRect& rect, const TPixelBuffer& pixels);
    void DrawPixels(const TRect& rect, const TPixelBuffer& pixels);

    TColor GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Background mode for the next text: follows the brush (opaque when solid) until
    // set here; selecting another brush style sets it again from the brush.
    void SetBkMode(bool opaque);

    // Clipping. ClipRect is the clip, or the device's bounds without one.
    TRect GetClipRect() const;
    void SetClipRect(const TRect& r);
    void ResetClip();
    bool HasClip() const { return FClip.has_value(); }
    // Whether any part of `r` lies inside ClipRect (always true on an unbounded device).
    bool RectVisible(const TRect& r) const;

    // Measuring without a device uses this backend (default: the installed one).
    TFontBackend& Fonts() const;

protected:
    // Runs before every operation that draws or measures: the printer-font rule.
    virtual void Changing();

private:
    TCanvasDevice& Device() const;
    void RequirePen();
    void RequireBrush();
    void RequireFont();
    void RequireBk();
    TTextRun MakeRun(int x, int y, int options, const TRect* rect, std::string_view text, const int* dx);

    TCanvasDevice* FDevice = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    int FCopyMode = cmSrcCopy;
    int FStretchMode = HALFTONE;
    bool FKeepFontPoints = false;
    std::optional<TRect> FClip;
    // What the device has selected now (nothing after SetDevice).
    std::optional<TPenState> FSentPen;
    std::optional<TBrushState> FSentBrush;
    std::optional<TFontState> FSentFont;
    std::optional<std::pair<bool, TColor>> FSentBk;
    std::optional<bool> FBkOpaque;  // set by SetBkMode; cleared when the brush style changes
    TBrushStyle FLastBrushStyle = bsSolid;
};
