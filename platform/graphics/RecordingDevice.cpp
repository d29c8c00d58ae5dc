#include "platform/graphics/RecordingDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr const char* kOpNames[] = {
#define X(id, name) name,
    SKLAD_DRAW_OPS(X)
#undef X
};
static_assert(sizeof(kOpNames) / sizeof(kOpNames[0]) == size_t(TDrawOp::Count));

AnsiString ColorText(int32_t color)
{
    AnsiString ident;
    if (ColorToIdent(color, ident))
        return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
    return buf;
}

AnsiString Quoted(std::string_view text)
{
    AnsiString out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 32) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void AppendInts(AnsiString& out, const std::vector<int32_t>& args, size_t from, size_t to)
{
    for (size_t i = from; i < to && i < args.size(); ++i) {
        out += ' ';
        out += std::to_string(args[i]);
    }
}

// A coordinate computed in floating point, held inside the int range.
int Saturate(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

int Scale(int v, double s) { return Saturate(std::nearbyint(v * s)); }

}  // namespace

const char* DrawOpName(TDrawOp op)
{
    return size_t(op) < size_t(TDrawOp::Count) ? kOpNames[size_t(op)] : "?";
}

bool TDrawRecord::operator==(const TDrawRecord& o) const
{
    if (Op != o.Op || Args != o.Args || Text != o.Text || bool(Pixels) != bool(o.Pixels))
        return false;
    return !Pixels || *Pixels == *o.Pixels;
}

int FixedArgCount(TDrawOp op)
{
    switch (op) {
    case TDrawOp::Pen: return 4;
    case TDrawOp::Brush: return 2;
    case TDrawOp::Font: return 5;
    case TDrawOp::BkMode: return 2;
    case TDrawOp::NoClip: return 0;
    case TDrawOp::Clip:
    case TDrawOp::Line:
    case TDrawOp::Rectangle:
    case TDrawOp::FillRect:
    case TDrawOp::FrameRect:
    case TDrawOp::Ellipse: return 4;
    case TDrawOp::RoundRect: return 6;
    case TDrawOp::Pixel: return 3;
    default: return -1;
    }
}

AnsiString CheckRecord(const TDrawRecord& r)
{
    if (size_t(r.Op) >= size_t(TDrawOp::Count))
        return "unknown drawing operation " + std::to_string(int(r.Op));
    const int fixed = FixedArgCount(r.Op);
    const size_t n = r.Args.size();
    if (fixed >= 0 && n != size_t(fixed))
        return AnsiString(DrawOpName(r.Op)) + " takes " + std::to_string(fixed) + " numbers, found " + std::to_string(n);
    if ((r.Op == TDrawOp::Polyline || r.Op == TDrawOp::Polygon) && (n < 2 || n % 2 != 0))
        return AnsiString(DrawOpName(r.Op)) + " needs pairs of coordinates, found " + std::to_string(n) + " numbers";
    if (r.Op == TDrawOp::Text && n != 9 && n != 9 + r.Text.size())
        return "text takes 9 numbers and one advance per byte, found " + std::to_string(n);
    if (r.Op == TDrawOp::Bitmap) {
        if (n != 5 && n != 6)
            return "bitmap takes 5 or 6 numbers, found " + std::to_string(n);
        if (n == 6 && r.Args[5] != COLORONCOLOR)
            return "bitmap with unknown stretch mode " + std::to_string(r.Args[5]);
        if (!r.Pixels)
            return "bitmap without pixels";
        if (r.Pixels->Pixels.size() != size_t(r.Pixels->Width) * size_t(r.Pixels->Height))
            return "bitmap pixels do not match its size";
    } else if (r.Pixels) {
        return AnsiString(DrawOpName(r.Op)) + " carries pixels";
    }
    if (!r.Text.empty() && r.Op != TDrawOp::Text && r.Op != TDrawOp::Font)
        return AnsiString(DrawOpName(r.Op)) + " carries text";
    return {};
}

uint32_t PixelChecksum(const TPixelBuffer& pixels)
{
    uint32_t a = 1, b = 0;
    for (uint32_t p : pixels.Pixels)
        for (int i = 0; i < 4; ++i) {
            a = (a + ((p >> (8 * i)) & 0xFF)) % 65521;
            b = (b + a) % 65521;
        }
    return (b << 16) | a;
}

// ---------------------------------------------------------------- the device

TRecordingDevice::TRecordingDevice(TFontBackend* fonts, int dpiX, int dpiY, TRect bounds)
    : FFonts(fonts ? fonts : &FakeFontBackend()), FDpiX(dpiX), FDpiY(dpiY), FBounds(bounds)
{
}

void TRecordingDevice::Add(TDrawOp op, std::vector<int32_t> args, AnsiString text)
{
    FRecords.push_back(TDrawRecord{op, std::move(args), std::move(text), nullptr});
}

void TRecordingDevice::SelectPen(const TPenState& p)
{
    Add(TDrawOp::Pen, {p.Color, p.Width, int32_t(p.Style), int32_t(p.Mode)});
}

void TRecordingDevice::SelectBrush(const TBrushState& b)
{
    Add(TDrawOp::Brush, {b.Color, int32_t(b.Style)});
}

void TRecordingDevice::SelectFont(const TFontState& f)
{
    FFont = f;
    Add(TDrawOp::Font, {f.Height, f.Color, int32_t(f.Style.Bits()), f.Charset, f.Orientation}, f.Name);
}

void TRecordingDevice::SetBkMode(bool opaque, TColor color)
{
    Add(TDrawOp::BkMode, {opaque ? 1 : 0, color});
}

void TRecordingDevice::SetClip(const TRect* clip)
{
    if (clip)
        Add(TDrawOp::Clip, {clip->Left, clip->Top, clip->Right, clip->Bottom});
    else
        Add(TDrawOp::NoClip, {});
}

void TRecordingDevice::Line(TPoint a, TPoint b) { Add(TDrawOp::Line, {a.X, a.Y, b.X, b.Y}); }

void TRecordingDevice::Polyline(const std::vector<TPoint>& points)
{
    std::vector<int32_t> args;
    for (const TPoint& p : points) {
        args.push_back(p.X);
        args.push_back(p.Y);
    }
    Add(TDrawOp::Polyline, std::move(args));
}

void TRecordingDevice::Polygon(const std::vector<TPoint>& points)
{
    std::vector<int32_t> args;
    for (const TPoint& p : points) {
        args.push_back(p.X);
        args.push_back(p.Y);
    }
    Add(TDrawOp::Polygon, std::move(args));
}

void TRecordingDevice::Rectangle(const TRect& r) { Add(TDrawOp::Rectangle, {r.Left, r.Top, r.Right, r.Bottom}); }
void TRecordingDevice::FillRect(const TRect& r) { Add(TDrawOp::FillRect, {r.Left, r.Top, r.Right, r.Bottom}); }
void TRecordingDevice::FrameRect(const TRect& r) { Add(TDrawOp::FrameRect, {r.Left, r.Top, r.Right, r.Bottom}); }
void TRecordingDevice::Ellipse(const TRect& r) { Add(TDrawOp::Ellipse, {r.Left, r.Top, r.Right, r.Bottom}); }

void TRecordingDevice::RoundRect(const TRect& r, int cw, int ch)
{
    Add(TDrawOp::RoundRect, {r.Left, r.Top, r.Right, r.Bottom, cw, ch});
}

void TRecordingDevice::TextOut(const TTextRun& run, std::string_view text)
{
    std::vector<int32_t> args{run.X,           run.Y,           run.Options,       run.Rect.Left, run.Rect.Top,
                              run.Rect.Right, run.Rect.Bottom, run.Opaque ? 1 : 0, run.BkColor};
    if (run.Dx.size() == text.size())
        args.insert(args.end(), run.Dx.begin(), run.Dx.end());
    Add(TDrawOp::Text, std::move(args), AnsiString(text));
}

void TRecordingDevice::DrawBitmap(const TRect& d, const TPixelBuffer& pixels, int copyMode, int stretchMode)
{
    std::vector<int32_t> args{d.Left, d.Top, d.Right, d.Bottom, copyMode};
    if (stretchMode == COLORONCOLOR)
        args.push_back(COLORONCOLOR);
    FRecords.push_back(TDrawRecord{TDrawOp::Bitmap, std::move(args), {}, std::make_shared<const TPixelBuffer>(pixels)});
}

void TRecordingDevice::DrawBitmapAlpha(const TRect& d, const TPixelBuffer& pixels)
{
    // Kept as drawn, so that a play-back blends it again on the device it reaches.
    DrawBitmap(d, pixels, kRecordedAlpha, HALFTONE);
}

void TRecordingDevice::SetPixel(int x, int y, TColor color) { Add(TDrawOp::Pixel, {x, y, color}); }

AnsiString TRecordingDevice::Dump() const { return DumpRecords(FRecords); }

TRect TRecordingDevice::Extent() const
{
    bool any = false;
    TRect e;
    auto take = [&](int l, int t, int r, int b) {
        if (l > r)
            std::swap(l, r);
        if (t > b)
            std::swap(t, b);
        if (!any) {
            e = {l, t, r, b};
            any = true;
        } else {
            e = {std::min(e.Left, l), std::min(e.Top, t), std::max(e.Right, r), std::max(e.Bottom, b)};
        }
    };
    TFontSpec font;
    for (const TDrawRecord& r : FRecords) {
        const auto& a = r.Args;
        switch (r.Op) {
        case TDrawOp::Font: font = TFontSpec{r.Text, a[0], TFontStyles::FromBits(uint32_t(a[2]))}; break;
        case TDrawOp::Line: take(a[0], a[1], a[2] + 1, a[3] + 1); break;
        case TDrawOp::Polyline:
        case TDrawOp::Polygon:
            for (size_t i = 0; i + 1 < a.size(); i += 2)
                take(a[i], a[i + 1], a[i] + 1, a[i + 1] + 1);
            break;
        case TDrawOp::Rectangle:
        case TDrawOp::FillRect:
        case TDrawOp::FrameRect:
        case TDrawOp::Ellipse:
        case TDrawOp::RoundRect:
        case TDrawOp::Bitmap: take(a[0], a[1], a[2], a[3]); break;
        case TDrawOp::Pixel: take(a[0], a[1], a[0] + 1, a[1] + 1); break;
        case TDrawOp::Text: {
            const int w = int(std::nearbyint(FFonts->TextWidth(font, r.Text)));
            const int h = int(std::nearbyint(FFonts->GetMetrics(font).Height));
            take(a[0], a[1], a[0] + w, a[1] + h);
            break;
        }
        default: break;
        }
    }
    return e;
}

// ---------------------------------------------------------------- dump

AnsiString DumpRecord(const TDrawRecord& r)
{
    AnsiString out = DrawOpName(r.Op);
    const auto& a = r.Args;
    const AnsiString problem = CheckRecord(r);
    if (!problem.empty())
        return out + " ? " + problem;
    switch (r.Op) {
    case TDrawOp::Pen:
        out += " " + ColorText(a[0]) + " " + std::to_string(a[1]) + " " +
               GetEnumName(TTypeInfoOf<TPenStyle>::Get(), a[2]) + " " + GetEnumName(TTypeInfoOf<TPenMode>::Get(), a[3]);
        break;
    case TDrawOp::Brush:
        out += " " + ColorText(a[0]) + " " + GetEnumName(TTypeInfoOf<TBrushStyle>::Get(), a[1]);
        break;
    case TDrawOp::Font:
        out += " " + Quoted(r.Text) + " " + std::to_string(a[0]) + " " + ColorText(a[1]) + " " +
               SetToString(TTypeInfoOf<TFontStyles>::Get(), uint32_t(a[2])) + " " + std::to_string(a[3]) + " " +
               std::to_string(a[4]);
        break;
    case TDrawOp::BkMode:
        out += a[0] ? " opaque " : " transparent ";
        out += ColorText(a[1]);
        break;
    case TDrawOp::Text: {
        out += " " + std::to_string(a[0]) + " " + std::to_string(a[1]) + " " + Quoted(r.Text);
        const int options = a[2];
        if (options & ETO_CLIPPED) {
            out += " clipped";
            AppendInts(out, a, 3, 7);
        }
        if (options & ETO_OPAQUE) {
            out += " opaque";
            AppendInts(out, a, 3, 7);
        } else if (a[7]) {
            out += " bk " + ColorText(a[8]);
        }
        if (options & ETO_RTLREADING)
            out += " rtl";
        if (a.size() > 9) {
            out += " dx";
            AppendInts(out, a, 9, a.size());
        }
        break;
    }
    case TDrawOp::Bitmap: {
        AppendInts(out, a, 0, 4);
        char buf[48];
        std::snprintf(buf, sizeof buf, " %dx%d #%08x", r.Pixels->Width, r.Pixels->Height, PixelChecksum(*r.Pixels));
        out += buf;
        if (a[4] == kRecordedAlpha) {
            out += " alpha";
        } else if (a[4] != cmSrcCopy) {
            std::snprintf(buf, sizeof buf, " cm $%08X", unsigned(a[4]));
            out += buf;
        }
        if (a.size() > 5)
            out += " coloroncolor";
        break;
    }
    case TDrawOp::Pixel:
        AppendInts(out, a, 0, 2);
        out += " " + ColorText(a[2]);
        break;
    default: AppendInts(out, a, 0, a.size()); break;
    }
    return out;
}

AnsiString DumpRecords(const TDrawRecords& records)
{
    AnsiString out;
    for (const TDrawRecord& r : records) {
        out += DumpRecord(r);
        out += '\n';
    }
    return out;
}

// ---------------------------------------------------------------- playing

void PlayRecords(const TDrawRecords& records, TCanvasDevice& device, double sx, double sy, int dx, int dy)
{
    auto X = [&](int x) { return Saturate(double(dx) + Scale(x, sx)); };
    auto Y = [&](int y) { return Saturate(double(dy) + Scale(y, sy)); };
    auto R = [&](const std::vector<int32_t>& a, size_t i) { return TRect{X(a[i]), Y(a[i + 1]), X(a[i + 2]), Y(a[i + 3])}; };
    auto Points = [&](const std::vector<int32_t>& a) {
        std::vector<TPoint> pts;
        for (size_t i = 0; i + 1 < a.size(); i += 2)
            pts.push_back({X(a[i]), Y(a[i + 1])});
        return pts;
    };
    for (const TDrawRecord& r : records) {
        if (!CheckRecord(r).empty())
            continue;  // a loaded metafile is checked already; this guards hand-made lists
        const auto& a = r.Args;
        switch (r.Op) {
        case TDrawOp::Pen: {
            int width = a[1];
            if (width > 1)
                width = std::max(1, Scale(width, sx));
            device.SelectPen({a[0], width, TPenStyle(std::clamp(a[2], 0, int(psInsideFrame))),
                              TPenMode(std::clamp(a[3], 0, int(pmNotXor)))});
            break;
        }
        case TDrawOp::Brush: device.SelectBrush({a[0], TBrushStyle(std::clamp(a[1], 0, int(bsDiagCross)))}); break;
        case TDrawOp::Font: {
            int height = a[0] ? Scale(a[0], sy) : 0;
            if (a[0] && !height)
                height = a[0] < 0 ? -1 : 1;
            device.SelectFont({r.Text, height, a[1], TFontStyles::FromBits(uint32_t(a[2]) & 0xF), a[3], a[4]});
            break;
        }
        case TDrawOp::BkMode: device.SetBkMode(a[0] != 0, a[1]); break;
        case TDrawOp::Clip: {
            const TRect clip = R(a, 0);
            device.SetClip(&clip);
            break;
        }
        case TDrawOp::NoClip: device.SetClip(nullptr); break;
        case TDrawOp::Line: device.Line({X(a[0]), Y(a[1])}, {X(a[2]), Y(a[3])}); break;
        case TDrawOp::Polyline: device.Polyline(Points(a)); break;
        case TDrawOp::Polygon: device.Polygon(Points(a)); break;
        case TDrawOp::Rectangle: device.Rectangle(R(a, 0)); break;
        case TDrawOp::FillRect: device.FillRect(R(a, 0)); break;
        case TDrawOp::FrameRect: device.FrameRect(R(a, 0)); break;
        case TDrawOp::Ellipse: device.Ellipse(R(a, 0)); break;
        case TDrawOp::RoundRect: device.RoundRect(R(a, 0), Scale(a[4], sx), Scale(a[5], sy)); break;
        case TDrawOp::Text: {
            TTextRun run;
            run.X = X(a[0]);
            run.Y = Y(a[1]);
            run.Options = a[2];
            run.Rect = R(a, 3);
            run.Opaque = a[7] != 0;
            run.BkColor = a[8];
            // Advances are scaled through their running sum, so rounding does not drift.
            double sum = 0;
            int placed = 0;
            for (size_t i = 9; i < a.size(); ++i) {
                sum += a[i];
                const int edge = Saturate(std::nearbyint(sum * sx));
                run.Dx.push_back(Saturate(double(edge) - placed));
                placed = edge;
            }
            device.TextOut(run, r.Text);
            break;
        }
        case TDrawOp::Bitmap:
            if (a[4] == kRecordedAlpha)
                device.DrawBitmapAlpha(R(a, 0), *r.Pixels);
            else
                device.DrawBitmap(R(a, 0), *r.Pixels, a[4], a.size() > 5 ? a[5] : HALFTONE);
            break;
        case TDrawOp::Pixel: device.SetPixel(X(a[0]), Y(a[1]), a[2]); break;
        default: break;
        }
    }
}
