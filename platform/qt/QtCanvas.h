// QtCanvas.h - canvas devices over QPainter: images, bitmaps, PDF pages, printers, widgets.
//
// TQtPainterDevice draws a canvas's calls with a QPainter that someone else began and
// ends (a widget's paint event, a PDF writer's page, an image). Coordinates are device
// pixels; a text position is the top of the text cell, so the base line is moved down by
// the font's ascent; explicit advances place every character where the layout put it.
// Text is measured and drawn with the same fonts (QtFontMetrics.h). No glyph is drawn past
// the end of its run: on pixel devices a glyph wider than its advance is narrowed to it;
// on vector pages (PDF, printers), where a glyph exceeds its advance by rounding only, a
// run is one glyph run at the layout's positions and only a glyph that would cross the
// run's end is moved back or narrowed, so a page stream holds text, not a graphics state
// per character; plain runs of one font and colour are drawn together.
//
// TQtImageCanvas is a QImage with a canvas on it (tests, page pictures). The bitmap
// device (TQtBitmapDevice) paints straight into a TBitmap's own pixels, which a QImage
// wraps without copying; InstallQtGraphics makes it the device of every bitmap canvas.
//
// Pen modes and copy modes that combine with the pixels (xor, and, or, not) use Qt's
// raster operations, which only images support; PDF and printers draw them as copies.
#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasDevice.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <array>
#include <map>
#include <memory>
#include <tuple>

class TQtFontBackend;

QColor ToQColor(TColor color);  // defined with the peers (QtPeer.cpp)

class TQtPainterDevice : public TCanvasDevice {
public:
    // `painter` is active and outlives the device. `bounds` is the drawable area
    // (empty: unbounded); `printer` marks printer and PDF pages.
    TQtPainterDevice(QPainter* painter, int dpiX, int dpiY, TRect bounds, bool printer = false,
                     QImage* pixels = nullptr);
    // Draws the text still held back (see FlushText); the painter must still be active.
    ~TQtPainterDevice() override;

    int PixelsPerInchX() const override { return FDpiX; }
    int PixelsPerInchY() const override { return FDpiY; }
    TRect GetBounds() const override { return FBounds; }
    TFontBackend& Fonts() override;
    bool IsPrinter() const override { return FPrinter; }
    // Text is measured with `fonts` instead of the default backend: a device that paints on
    // a thread of its own brings a backend of that thread (backends keep their own caches).
    void SetFontBackend(TFontBackend* fonts) { FFonts = fonts; }

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
    TColor GetPixel(int x, int y) override;

private:
    // A font as vector pages draw it: the glyph of every CP1251 byte (0: none) and the
    // metrics the text cell and its lines need, in device units.
    struct TGlyphFont {
        QRawFont Raw;
        std::array<quint32, 256> Glyphs{};
        double Ascent = 0, Descent = 0, UnderlinePos = 0, StrikeOutPos = 0, LineWidth = 1;
    };
    void ApplyPen();
    void ApplyBrush();
    void ApplyMode(TPenMode mode);
    void RestoreShapePen();
    QRect ShapeRect(const TRect& r) const;
    const TGlyphFont& GlyphFont();
    bool VectorTextOut(const TTextRun& run, std::string_view text);
    // Vector pages hold back plain runs of one font and colour and draw them as one glyph
    // run when anything else is drawn, the clip changes or the device goes away, so a page
    // stream holds a text object per block of text rather than per run.
    void FlushText();

    QPainter* FPainter;
    TFontBackend* FFonts = nullptr;  // nullptr: the default backend
    int FDpiX, FDpiY;
    TRect FBounds;
    bool FPrinter;
    QImage* FPixels;
    TPenState FPen;
    TBrushState FBrush;
    TFontState FFont;
    QFont FQFont;
    bool FBkOpaque = true;
    TColor FBkColor = clWhite;
    bool FTextPen = false;  // the painter's pen is a text colour, not FPen
    std::map<std::tuple<AnsiString, int, uint32_t>, TGlyphFont> FGlyphFonts;
    const TGlyphFont* FGlyphFont = nullptr;  // of FFont; reset by SelectFont
    std::vector<double> FEdges, FAdvances;
    std::vector<quint32> FGlyphRun;
    std::vector<QPointF> FPositions;
    const TGlyphFont* FBatchFont = nullptr;  // of the runs held back; nullptr: none
    QColor FBatchColor;
    std::vector<quint32> FBatchGlyphs;
    std::vector<QPointF> FBatchPositions;
};

// A QImage (white, 32 bits) with a canvas drawing on it.
class TQtImageCanvas {
public:
    TQtImageCanvas(int width, int height, int dpi = 96);
    ~TQtImageCanvas();
    TCanvas& Canvas() { return FCanvas; }
    // The picture so far (the painter is flushed first).
    const QImage& Image();

private:
    QImage FImage;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<TQtPainterDevice> FDevice;
    TCanvas FCanvas;
};

// The device of a bitmap canvas: a painter on a QImage over the bitmap's own pixels.
class TQtBitmapDevice : public TQtPainterDevice {
public:
    static std::unique_ptr<TCanvasDevice> Create(TPixelBuffer& pixels);
    ~TQtBitmapDevice() override;

private:
    TQtBitmapDevice(std::unique_ptr<QImage> image, std::unique_ptr<QPainter> painter);
    std::unique_ptr<QImage> FImage;
    std::unique_ptr<QPainter> FOwnPainter;
};
