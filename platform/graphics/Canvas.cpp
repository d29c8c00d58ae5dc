#include "platform/graphics/Canvas.h"

#include "platform/graphics/Graphic.h"

#include <cmath>
#include <limits>

namespace {

// Saturates: the width of a long text in a large font may pass the integer range.
int RoundPixels(double v)
{
    const double r = std::nearbyint(v);
    if (std::isnan(r))
        return 0;
    if (r <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return r < 2147483647.0 ? int(r) : std::numeric_limits<int>::max();
}

TNullDevice& NullDevice()
{
    static TNullDevice device;
    return device;
}

constexpr int kHuge = std::numeric_limits<int>::max() / 4;

}  // namespace

SKLAD_DEFINE_CLASS(TCanvas)
void TCanvas::Publish(TPropertyTable& t)
{
    t.Prop("Brush", &TCanvas::GetBrush, &TCanvas::SetBrush);
    t.Prop("CopyMode", &TCanvas::GetCopyMode, &TCanvas::SetCopyMode).Default(cmSrcCopy);
    t.Prop("Font", &TCanvas::GetFont, &TCanvas::SetFont);
    t.Prop("Pen", &TCanvas::GetPen, &TCanvas::SetPen);
}

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(TCanvasDevice* device) : TCanvas()
{
    SetDevice(device);
}

TCanvas::~TCanvas() = default;

void TCanvas::SetDevice(TCanvasDevice* device)
{
    FDevice = device;
    FSentPen.reset();
    FSentBrush.reset();
    FSentFont.reset();
    FSentBk.reset();
    if (FDevice && FClip)
        FDevice->SetClip(&*FClip);
}

TCanvasDevice& TCanvas::Device() const
{
    return FDevice ? *FDevice : NullDevice();
}

int TCanvas::PixelsPerInchX() const { return Device().PixelsPerInchX(); }
int TCanvas::PixelsPerInchY() const { return Device().PixelsPerInchY(); }

TFontBackend& TCanvas::Fonts() const
{
    return FDevice ? FDevice->Fonts() : DefaultFontBackend();
}

void TCanvas::Changing()
{
    if (!FKeepFontPoints && !(FDevice && FDevice->IsPrinter()))
        return;
    const int dpi = PixelsPerInchY();
    if (FFont->GetPixelsPerInch() != dpi) {
        const int size = FFont->GetSize();
        FFont->SetPixelsPerInch(dpi);
        FFont->SetSize(size);
    }
}

// ---------------------------------------------------------------- selection

void TCanvas::RequirePen()
{
    const TPenState pen{FPen->GetColor(), FPen->GetWidth(), FPen->GetStyle(), FPen->GetMode()};
    if (FSentPen != pen) {
        Device().SelectPen(pen);
        FSentPen = pen;
    }
}

void TCanvas::RequireBrush()
{
    const TBrushState brush{FBrush->GetColor(), FBrush->GetStyle()};
    if (brush.Style != FLastBrushStyle) {
        FLastBrushStyle = brush.Style;
        FBkOpaque.reset();  // the background mode follows the brush again
    }
    if (FSentBrush != brush) {
        Device().SelectBrush(brush);
        FSentBrush = brush;
    }
}

void TCanvas::RequireFont()
{
    const TFontState font{FFont->GetName(),    FFont->GetHeight(),  FFont->GetColor(),
                          FFont->GetStyle(),   FFont->GetCharset(), FFont->GetOrientation()};
    if (FSentFont != font) {
        Device().SelectFont(font);
        FSentFont = font;
    }
}

void TCanvas::RequireBk()
{
    RequireBrush();
    // As the platform's canvas: a solid brush gives an opaque background in its colour;
    // any other style a transparent one (in the inverse colour, so hatches stay visible).
    const bool solid = FBrush->GetStyle() == bsSolid;
    const TColor color = solid ? FBrush->GetColor() : TColor(~ColorToRGB(FBrush->GetColor()) & 0xFFFFFF);
    const std::pair<bool, TColor> bk{FBkOpaque.value_or(solid), color};
    if (FSentBk != bk) {
        Device().SetBkMode(bk.first, bk.second);
        FSentBk = bk;
    }
}

void TCanvas::SetBkMode(bool opaque)
{
    FLastBrushStyle = FBrush->GetStyle();
    FBkOpaque = opaque;
}

// ---------------------------------------------------------------- shapes

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    Changing();
    RequirePen();
    Device().Line(FPenPos, {x, y});
    FPenPos = {x, y};
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Changing();
    RequirePen();
    RequireBk();
    Device().Rectangle({x1, y1, x2, y2});
}

void TCanvas::FillRect(const TRect& r)
{
    Changing();
    RequireBk();
    Device().FillRect(r);
}

void TCanvas::FrameRect(const TRect& r)
{
    Changing();
    RequireBrush();
    Device().FrameRect(r);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Changing();
    RequirePen();
    RequireBk();
    Device().Ellipse({x1, y1, x2, y2});
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Changing();
    RequirePen();
    RequireBk();
    Device().RoundRect({x1, y1, x2, y2}, x3, y3);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    Changing();
    RequirePen();
    RequireBk();
    Device().Polygon(points);
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.empty())
        return;
    Changing();
    RequirePen();
    Device().Polyline(points);
}

// ---------------------------------------------------------------- text

TTextRun TCanvas::MakeRun(int x, int y, int options, const TRect* rect, std::string_view text, const int* dx)
{
    TTextRun run;
    run.X = x;
    run.Y = y;
    run.Options = options;
    if (rect)
        run.Rect = *rect;
    else
        run.Options &= ~(ETO_OPAQUE | ETO_CLIPPED);  // both need a rectangle
    if (dx)
        run.Dx.assign(dx, dx + text.size());
    run.Opaque = FSentBk ? FSentBk->first : false;
    run.BkColor = FSentBk ? FSentBk->second : clWhite;
    return run;
}

void TCanvas::ExtTextOut(int x, int y, int options, const TRect* rect, std::string_view text, const int* dx)
{
    Changing();
    RequireFont();
    RequireBk();
    Device().TextOut(MakeRun(x, y, options, rect, text, dx), text);
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    ExtTextOut(x, y, 0, nullptr, text);
    FPenPos = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text)
{
    const int options = ETO_CLIPPED | (FBrush->GetStyle() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOut(x, y, options, &rect, text);
}

int TCanvas::TextWidth(std::string_view text)
{
    return TextExtent(text).cx;
}

int TCanvas::TextHeight(std::string_view text)
{
    return TextExtent(text).cy;
}

TSize TCanvas::TextExtent(std::string_view text)
{
    Changing();
    TFontBackend& fonts = Fonts();
    const TFontSpec desc = TFontSpec::Of(*FFont);
    return {RoundPixels(fonts.TextWidth(desc, text)), RoundPixels(fonts.GetMetrics(desc).Height)};
}

TSize TCanvas::GetTextExtentExPoint(std::string_view text, std::vector<int>& edges)
{
    Changing();
    TFontBackend& fonts = Fonts();
    const TFontSpec desc = TFontSpec::Of(*FFont);
    std::vector<double> advances;
    fonts.GetAdvances(desc, text, advances);
    edges.resize(text.size());
    double sum = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        sum += i < advances.size() ? advances[i] : 0;
        edges[i] = RoundPixels(sum);
    }
    return {edges.empty() ? 0 : edges.back(), RoundPixels(fonts.GetMetrics(desc).Height)};
}

TTextMetric TCanvas::GetTextMetrics()
{
    Changing();
    const TFontMetrics m = Fonts().GetMetrics(TFontSpec::Of(*FFont));
    TTextMetric tm;
    tm.tmAscent = RoundPixels(m.Ascent);
    tm.tmDescent = RoundPixels(m.Descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = RoundPixels(m.InternalLeading);
    tm.tmAveCharWidth = RoundPixels(m.AveCharWidth);
    tm.tmMaxCharWidth = RoundPixels(m.MaxCharWidth);
    return tm;
}

// ---------------------------------------------------------------- pictures and pixels

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    StretchDraw(Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    Changing();
    graphic->Draw(*this, rect);
}

void TCanvas::DrawPixels(const TRect& rect, const TPixelBuffer& pixels)
{
    if (pixels.Width <= 0 || pixels.Height <= 0)
        return;
    Device().DrawBitmap(rect, pixels, FCopyMode, FStretchMode);
}

int TCanvas::SetStretchBltMode(int mode)
{
    if (mode != HALFTONE && mode != COLORONCOLOR)
        return 0;
    const int previous = FStretchMode;
    FStretchMode = mode;
    return previous;
}

void TCanvas::DrawPixelsAlpha(const TRect& rect, const TPixelBuffer& pixels)
{
    if (pixels.Width <= 0 || pixels.Height <= 0)
        return;
    Device().DrawBitmapAlpha(rect, pixels);
}

TColor TCanvas::GetPixel(int x, int y)
{
    return Device().GetPixel(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Device().SetPixel(x, y, color);
}

// ---------------------------------------------------------------- clipping

TRect TCanvas::GetClipRect() const
{
    const TRect bounds = Device().GetBounds();
    const bool unbounded = bounds.IsEmpty();
    if (FClip)
        return unbounded ? *FClip : IntersectRect(*FClip, bounds);
    return unbounded ? TRect{-kHuge, -kHuge, kHuge, kHuge} : bounds;
}

void TCanvas::SetClipRect(const TRect& r)
{
    FClip = r;
    Device().SetClip(&r);
}

void TCanvas::ResetClip()
{
    FClip.reset();
    Device().SetClip(nullptr);
}

bool TCanvas::RectVisible(const TRect& r) const
{
    return !IntersectRect(r, GetClipRect()).IsEmpty();
}
