#include "platform/graphics/RasterDevice.h"

namespace {
// DrawBitmap's private mode for DrawBitmapAlpha: no raster operation has this number.
constexpr int kBlendAlpha = -1;
}  // namespace

#include "platform/graphics/FontBackend.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

uint32_t ColorToPixel(TColor color)
{
    const TColor c = ColorToRGB(color);
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | uint32_t(GetBValue(c));
}

TColor PixelToColor(uint32_t pixel)
{
    return RGB(int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF));
}

void TRasterDevice::SetClip(const TRect* clip)
{
    if (clip)
        FClip = *clip;
    else
        FClip.reset();
}

TRect TRasterDevice::Visible() const
{
    const TRect device{0, 0, FPixels.Width, FPixels.Height};
    return FClip ? IntersectRect(device, *FClip) : IntersectRect(device, device);
}

bool TRasterDevice::Inside(int64_t x, int64_t y) const
{
    if (x < 0 || y < 0 || x >= FPixels.Width || y >= FPixels.Height)
        return false;
    return !FClip || FClip->Contains({int(x), int(y)});
}

void TRasterDevice::Plot(int64_t x, int64_t y, uint32_t rgb, TPenMode mode)
{
    if (!Inside(x, y))
        return;
    uint32_t& p = FPixels.Row(int(y))[x];
    switch (mode) {
    case pmBlack: p = 0xFF000000u; break;
    case pmWhite: p = 0xFFFFFFFFu; break;
    case pmNop: break;
    case pmNot: p = 0xFF000000u | ~p; break;
    case pmXor: p = 0xFF000000u | ((p ^ rgb) & 0xFFFFFF); break;
    case pmNotXor: p = 0xFF000000u | (~(p ^ rgb) & 0xFFFFFF); break;
    case pmNotCopy: p = 0xFF000000u | (~rgb & 0xFFFFFF); break;
    case pmMerge: p = 0xFF000000u | ((p | rgb) & 0xFFFFFF); break;
    case pmMask: p = 0xFF000000u | ((p & rgb) & 0xFFFFFF); break;
    default: p = rgb; break;
    }
}

void TRasterDevice::Span(int64_t y, int64_t x1, int64_t x2, uint32_t rgb, TPenMode mode)
{
    const TRect v = Visible();
    if (y < v.Top || y >= v.Bottom)
        return;
    for (int64_t x = std::max<int64_t>(x1, v.Left); x < std::min<int64_t>(x2, v.Right); ++x)
        Plot(x, y, rgb, mode);
}

namespace {

// Cuts the segment (x0, y0)-(x1, y1) to the box [left, right] x [top, bottom]; false when
// nothing of it lies there. Ends inside the box stay exactly as they are.
bool ClipSegment(int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1, double left, double top, double right,
                 double bottom)
{
    const double dx = double(x1 - x0), dy = double(y1 - y0);
    double t0 = 0, t1 = 1;
    const auto edge = [&](double p, double q) {  // p * t <= q
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!edge(-dx, double(x0) - left) || !edge(dx, right - double(x0)) || !edge(-dy, double(y0) - top) ||
        !edge(dy, bottom - double(y0)))
        return false;
    const int64_t ox = x0, oy = y0;
    if (t1 < 1) {
        x1 = ox + std::llround(t1 * dx);
        y1 = oy + std::llround(t1 * dy);
    }
    if (t0 > 0) {
        x0 = ox + std::llround(t0 * dx);
        y0 = oy + std::llround(t0 * dy);
    }
    return true;
}

}  // namespace

void TRasterDevice::Line(TPoint from, TPoint to)
{
    if (!PenVisible() || from == to)
        return;
    const TRect v = Visible();
    if (v.IsEmpty())
        return;
    const uint32_t rgb = ColorToPixel(FPen.Color);
    if (FPen.Width > 1) {
        ThickLine(from, to, v, rgb);
        return;
    }
    // Bresenham over the part of the line that can reach the visible pixels (one pixel of
    // slack around them), in 64 bits; the end point is not painted, as on the platform.
    int64_t x = from.X, y = from.Y, ex = to.X, ey = to.Y;
    if (!ClipSegment(x, y, ex, ey, v.Left - 1.0, v.Top - 1.0, double(v.Right), double(v.Bottom)))
        return;
    const int64_t dx = std::abs(ex - x), sx = x < ex ? 1 : -1;
    const int64_t dy = -std::abs(ey - y), sy = y < ey ? 1 : -1;
    int64_t err = dx + dy;
    while (!(x == ex && y == ey)) {
        Plot(x, y, rgb, FPen.Mode);
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TRasterDevice::ThickLine(TPoint from, TPoint to, const TRect& v, uint32_t rgb)
{
    // The square pen (Width pixels, centred as lo..hi around each point) swept along the
    // line up to the point before the end. Each row of the visible area gets the one span
    // the sweep covers there, so every pixel is painted once, whatever the pen's size.
    const double lo = -double(FPen.Width / 2), hi = lo + FPen.Width;
    const double ax = from.X, ay = from.Y, dx = double(to.X) - ax, dy = double(to.Y) - ay;
    const double steps = std::max(std::fabs(dx), std::fabs(dy));
    const double last = (steps - 1) / steps;
    for (int y = v.Top; y < v.Bottom; ++y) {
        const double cy = y + 0.5;
        double t0 = 0, t1 = last;
        if (dy == 0) {
            if (ay < cy - hi || ay > cy - lo)
                continue;
        } else {
            const double ta = (cy - hi - ay) / dy, tb = (cy - lo - ay) / dy;
            t0 = std::max(t0, std::min(ta, tb));
            t1 = std::min(t1, std::max(ta, tb));
            if (t0 > t1)
                continue;
        }
        const double xa = ax + t0 * dx, xb = ax + t1 * dx;
        const double left = std::ceil(std::min(xa, xb) + lo - 0.5), right = std::floor(std::max(xa, xb) + hi - 0.5);
        const double x1 = std::max(left, double(v.Left)), x2 = std::min(right + 1, double(v.Right));
        if (x1 < x2)
            Span(y, int64_t(x1), int64_t(x2), rgb, FPen.Mode);
    }
}

void TRasterDevice::Polyline(const std::vector<TPoint>& points)
{
    for (size_t i = 1; i < points.size(); ++i)
        Line(points[i - 1], points[i]);
}

void TRasterDevice::Polygon(const std::vector<TPoint>& points)
{
    const TRect v = Visible();
    if (BrushVisible() && points.size() >= 3 && !v.IsEmpty()) {
        int top = points[0].Y, bottom = points[0].Y;
        for (const TPoint& p : points) {
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
        top = std::max(top, v.Top);
        bottom = std::min(bottom, v.Bottom);
        const uint32_t rgb = ColorToPixel(FBrush.Color);
        std::vector<double> xs;
        for (int y = top; y < bottom; ++y) {
            xs.clear();
            const double cy = y + 0.5;
            for (size_t i = 0; i < points.size(); ++i) {
                const TPoint a = points[i], b = points[(i + 1) % points.size()];
                if ((a.Y <= cy && b.Y > cy) || (b.Y <= cy && a.Y > cy))
                    xs.push_back(std::floor(a.X + (cy - a.Y) * (double(b.X) - a.X) / (double(b.Y) - a.Y) + 0.5));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2) {
                const double x1 = std::max(xs[i], double(v.Left)), x2 = std::min(xs[i + 1], double(v.Right));
                if (x1 < x2)
                    Span(y, int64_t(x1), int64_t(x2), rgb);
            }
        }
    }
    if (PenVisible()) {
        Polyline(points);
        Line(points.back(), points.front());
    }
}

void TRasterDevice::FillRect(const TRect& r)
{
    if (!BrushVisible())
        return;
    const uint32_t rgb = ColorToPixel(FBrush.Color);
    const TRect v = IntersectRect(r, Visible());
    for (int y = v.Top; y < v.Bottom; ++y)
        Span(y, v.Left, v.Right, rgb);
}

void TRasterDevice::FrameRect(const TRect& r)
{
    if (r.IsEmpty())
        return;
    const uint32_t rgb = ColorToPixel(FBrush.Color);
    const TRect v = IntersectRect(r, Visible());
    if (v.IsEmpty())
        return;
    Span(r.Top, v.Left, v.Right, rgb);
    Span(int64_t(r.Bottom) - 1, v.Left, v.Right, rgb);
    for (int y = v.Top; y < v.Bottom; ++y) {
        Plot(r.Left, y, rgb, pmCopy);
        Plot(int64_t(r.Right) - 1, y, rgb, pmCopy);
    }
}

void TRasterDevice::Rectangle(const TRect& r)
{
    if (r.IsEmpty())
        return;
    FillRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1});
    if (PenVisible()) {
        const std::vector<TPoint> outline{{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1},
                                          {r.Left, r.Bottom - 1}, {r.Left, r.Top}};
        Polyline(outline);
    } else {
        FillRect(r);
    }
}

namespace {

// A pixel coordinate computed in floating point, held inside the 64-bit range.
int64_t PixelCoord(double x)
{
    constexpr double kLimit = 1e15;
    return int64_t(std::clamp(x, -kLimit, kLimit));
}

}  // namespace

void TRasterDevice::Ellipse(const TRect& r)
{
    if (r.IsEmpty())
        return;
    const TRect v = Visible();
    if (v.IsEmpty())
        return;
    const double cx = (double(r.Left) + r.Right - 1) / 2.0, cy = (double(r.Top) + r.Bottom - 1) / 2.0;
    const double rx = (double(r.Right) - r.Left) / 2.0, ry = (double(r.Bottom) - r.Top) / 2.0;
    const uint32_t fill = ColorToPixel(FBrush.Color), pen = ColorToPixel(FPen.Color);
    // Only rows and columns of the visible area can show anything.
    for (int y = std::max(r.Top, v.Top); y < std::min(r.Bottom, v.Bottom); ++y) {
        const double ny = (y - cy) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - ny * ny));
        const int64_t x1 = PixelCoord(std::ceil(cx - half - 0.5)), x2 = PixelCoord(std::floor(cx + half + 0.5));
        if (x2 < x1)
            continue;
        if (BrushVisible())
            Span(y, x1, x2 + 1, fill);
        if (PenVisible()) {
            Plot(x1, y, pen, FPen.Mode);
            Plot(x2, y, pen, FPen.Mode);
        }
    }
    if (PenVisible())
        for (int x = std::max(r.Left, v.Left); x < std::min(r.Right, v.Right); ++x) {
            const double nx = (x - cx) / rx;
            const double half = ry * std::sqrt(std::max(0.0, 1.0 - nx * nx));
            Plot(x, PixelCoord(std::ceil(cy - half - 0.5)), pen, FPen.Mode);
            Plot(x, PixelCoord(std::floor(cy + half + 0.5)), pen, FPen.Mode);
        }
}

void TRasterDevice::RoundRect(const TRect& r, int, int)
{
    Rectangle(r);  // corners drawn square in the software raster
}

void TRasterDevice::TextOut(const TTextRun& run, std::string_view text)
{
    // No glyphs here; an opaque run still paints its background as the platform does.
    const bool opaqueRect = (run.Options & ETO_OPAQUE) != 0;
    if (!opaqueRect && !run.Opaque)
        return;
    const uint32_t rgb = ColorToPixel(run.BkColor);
    int64_t left = run.Rect.Left, top = run.Rect.Top, right = run.Rect.Right, bottom = run.Rect.Bottom;
    if (!opaqueRect) {
        TFontBackend& fonts = DefaultFontBackend();
        const TFontSpec desc = FFont.Desc();
        int64_t width = 0;
        if (!run.Dx.empty())
            for (int d : run.Dx)
                width += d;
        else
            width = PixelCoord(std::nearbyint(fonts.TextWidth(desc, text)));
        left = run.X, top = run.Y;
        right = left + width;
        bottom = top + PixelCoord(std::nearbyint(fonts.GetMetrics(desc).Height));
    }
    if (run.Options & ETO_CLIPPED) {
        left = std::max<int64_t>(left, run.Rect.Left), top = std::max<int64_t>(top, run.Rect.Top);
        right = std::min<int64_t>(right, run.Rect.Right), bottom = std::min<int64_t>(bottom, run.Rect.Bottom);
    }
    const TRect v = Visible();
    for (int64_t y = std::max<int64_t>(top, v.Top); y < std::min<int64_t>(bottom, v.Bottom); ++y)
        Span(y, left, right, rgb);
}

void TRasterDevice::DrawBitmapAlpha(const TRect& dest, const TPixelBuffer& pixels)
{
    DrawBitmap(dest, pixels, kBlendAlpha, COLORONCOLOR);
}

void TRasterDevice::DrawBitmap(const TRect& dest, const TPixelBuffer& src, int copyMode, int)
{
    const int64_t w = int64_t(dest.Right) - dest.Left, h = int64_t(dest.Bottom) - dest.Top;
    if (w == 0 || h == 0 || src.Width <= 0 || src.Height <= 0)
        return;
    // A negative size mirrors: the first source pixel lands just inside the far edge.
    const int64_t x0 = std::min<int64_t>(dest.Left, dest.Right), x1 = std::max<int64_t>(dest.Left, dest.Right);
    const int64_t y0 = std::min<int64_t>(dest.Top, dest.Bottom), y1 = std::max<int64_t>(dest.Top, dest.Bottom);
    const TRect v = Visible();
    for (int64_t ty = std::max<int64_t>(y0, v.Top); ty < std::min<int64_t>(y1, v.Bottom); ++ty) {
        const int64_t y = h > 0 ? ty - dest.Top : dest.Top - 1 - ty;
        const int sy = int(y * src.Height / std::abs(h));
        for (int64_t tx = std::max<int64_t>(x0, v.Left); tx < std::min<int64_t>(x1, v.Right); ++tx) {
            if (!Inside(tx, ty))
                continue;
            const int64_t x = w > 0 ? tx - dest.Left : dest.Left - 1 - tx;
            const int sx = int(x * src.Width / std::abs(w));
            const uint32_t raw = src.Row(sy)[sx];
            const uint32_t s = raw | 0xFF000000u;
            uint32_t& d = FPixels.Row(int(ty))[tx];
            if (copyMode == kBlendAlpha) {
                const uint32_t a = raw >> 24;
                uint32_t out = 0xFF000000u;
                for (int shift = 0; shift < 24; shift += 8) {
                    const uint32_t sc = (raw >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                    out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
                }
                d = out;
                continue;
            }
            switch (copyMode) {
            case cmSrcAnd: d = s & d; break;
            case cmSrcPaint: d = s | d; break;
            case cmSrcInvert: d = 0xFF000000u | ((s ^ d) & 0xFFFFFF); break;
            case cmNotSrcCopy: d = 0xFF000000u | (~s & 0xFFFFFF); break;
            case cmBlackness: d = 0xFF000000u; break;
            case cmWhiteness: d = 0xFFFFFFFFu; break;
            case cmDstInvert: d = 0xFF000000u | (~d & 0xFFFFFF); break;
            default: d = s; break;
            }
        }
    }
}

void TRasterDevice::SetPixel(int x, int y, TColor color)
{
    Plot(x, y, ColorToPixel(color), pmCopy);
}

TColor TRasterDevice::GetPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= FPixels.Width || y >= FPixels.Height)
        return clNone;  // the platform answers CLR_INVALID outside the bitmap
    return PixelToColor(FPixels.Row(y)[x]);
}
