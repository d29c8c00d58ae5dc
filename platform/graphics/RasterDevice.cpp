#include "platform/graphics/RasterDevice.h"

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

bool TRasterDevice::Inside(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FPixels.Width || y >= FPixels.Height)
        return false;
    return !FClip || FClip->Contains({x, y});
}

void TRasterDevice::Plot(int x, int y, uint32_t rgb, TPenMode mode)
{
    if (!Inside(x, y))
        return;
    uint32_t& p = FPixels.Row(y)[x];
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

void TRasterDevice::PenDot(int x, int y, bool)
{
    const uint32_t rgb = ColorToPixel(FPen.Color);
    const int w = std::max(1, FPen.Width);
    const int lo = -(w / 2), hi = lo + w;
    for (int dy = lo; dy < hi; ++dy)
        for (int dx = lo; dx < hi; ++dx)
            Plot(x + dx, y + dy, rgb, FPen.Mode);
}

void TRasterDevice::Span(int y, int x1, int x2, uint32_t rgb)
{
    for (int x = x1; x < x2; ++x)
        Plot(x, y, rgb, pmCopy);
}

void TRasterDevice::Line(TPoint from, TPoint to)
{
    if (!PenVisible())
        return;
    // Bresenham; the end point is not painted, as on the platform.
    int x = from.X, y = from.Y;
    const int dx = std::abs(to.X - x), sx = x < to.X ? 1 : -1;
    const int dy = -std::abs(to.Y - y), sy = y < to.Y ? 1 : -1;
    int err = dx + dy;
    while (!(x == to.X && y == to.Y)) {
        PenDot(x, y, false);
        const int e2 = 2 * err;
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

void TRasterDevice::Polyline(const std::vector<TPoint>& points)
{
    for (size_t i = 1; i < points.size(); ++i)
        Line(points[i - 1], points[i]);
}

void TRasterDevice::Polygon(const std::vector<TPoint>& points)
{
    if (BrushVisible() && points.size() >= 3) {
        int top = points[0].Y, bottom = points[0].Y;
        for (const TPoint& p : points) {
            top = std::min(top, p.Y);
            bottom = std::max(bottom, p.Y);
        }
        top = std::max(top, 0);
        bottom = std::min(bottom, FPixels.Height);
        const uint32_t rgb = ColorToPixel(FBrush.Color);
        std::vector<int> xs;
        for (int y = top; y < bottom; ++y) {
            xs.clear();
            const double cy = y + 0.5;
            for (size_t i = 0; i < points.size(); ++i) {
                const TPoint a = points[i], b = points[(i + 1) % points.size()];
                if ((a.Y <= cy && b.Y > cy) || (b.Y <= cy && a.Y > cy))
                    xs.push_back(int(std::floor(a.X + (cy - a.Y) * (b.X - a.X) / double(b.Y - a.Y) + 0.5)));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t i = 0; i + 1 < xs.size(); i += 2)
                Span(y, std::max(xs[i], 0), std::min(xs[i + 1], FPixels.Width), rgb);
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
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, FPixels.Height); ++y)
        Span(y, std::max(r.Left, 0), std::min(r.Right, FPixels.Width), rgb);
}

void TRasterDevice::FrameRect(const TRect& r)
{
    if (r.IsEmpty())
        return;
    const uint32_t rgb = ColorToPixel(FBrush.Color);
    for (int x = r.Left; x < r.Right; ++x) {
        Plot(x, r.Top, rgb, pmCopy);
        Plot(x, r.Bottom - 1, rgb, pmCopy);
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        Plot(r.Left, y, rgb, pmCopy);
        Plot(r.Right - 1, y, rgb, pmCopy);
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

void TRasterDevice::Ellipse(const TRect& r)
{
    if (r.IsEmpty())
        return;
    const double cx = (r.Left + r.Right - 1) / 2.0, cy = (r.Top + r.Bottom - 1) / 2.0;
    const double rx = (r.Right - r.Left) / 2.0, ry = (r.Bottom - r.Top) / 2.0;
    const uint32_t fill = ColorToPixel(FBrush.Color), pen = ColorToPixel(FPen.Color);
    for (int y = r.Top; y < r.Bottom; ++y) {
        const double ny = (y - cy) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - ny * ny));
        const int x1 = int(std::ceil(cx - half - 0.5)), x2 = int(std::floor(cx + half + 0.5));
        if (x2 < x1)
            continue;
        if (BrushVisible())
            Span(y, std::max(x1, 0), std::min(x2 + 1, FPixels.Width), fill);
        if (PenVisible()) {
            Plot(x1, y, pen, FPen.Mode);
            Plot(x2, y, pen, FPen.Mode);
        }
    }
    if (PenVisible())
        for (int x = r.Left; x < r.Right; ++x) {
            const double nx = (x - cx) / rx;
            const double half = ry * std::sqrt(std::max(0.0, 1.0 - nx * nx));
            Plot(x, int(std::ceil(cy - half - 0.5)), pen, FPen.Mode);
            Plot(x, int(std::floor(cy + half + 0.5)), pen, FPen.Mode);
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
    TRect box = run.Rect;
    if (!opaqueRect) {
        TFontBackend& fonts = DefaultFontBackend();
        const TFontSpec desc = FFont.Desc();
        int width = 0;
        if (!run.Dx.empty())
            for (int d : run.Dx)
                width += d;
        else
            width = int(std::nearbyint(fonts.TextWidth(desc, text)));
        box = Bounds(run.X, run.Y, width, int(std::nearbyint(fonts.GetMetrics(desc).Height)));
    }
    if (run.Options & ETO_CLIPPED)
        box = IntersectRect(box, run.Rect);
    for (int y = std::max(box.Top, 0); y < std::min(box.Bottom, FPixels.Height); ++y)
        Span(y, std::max(box.Left, 0), std::min(box.Right, FPixels.Width), rgb);
}

void TRasterDevice::DrawBitmap(const TRect& dest, const TPixelBuffer& src, int copyMode)
{
    if (dest.Width() == 0 || dest.Height() == 0 || src.Width <= 0 || src.Height <= 0)
        return;
    const int w = dest.Width(), h = dest.Height();
    for (int y = 0; y < std::abs(h); ++y) {
        const int ty = h > 0 ? dest.Top + y : dest.Top - 1 - y;
        const int sy = int(int64_t(y) * src.Height / std::abs(h));
        for (int x = 0; x < std::abs(w); ++x) {
            const int tx = w > 0 ? dest.Left + x : dest.Left - 1 - x;
            if (!Inside(tx, ty))
                continue;
            const int sx = int(int64_t(x) * src.Width / std::abs(w));
            const uint32_t s = src.Row(sy)[sx] | 0xFF000000u;
            uint32_t& d = FPixels.Row(ty)[tx];
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
