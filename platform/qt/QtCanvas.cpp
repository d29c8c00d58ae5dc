#include "platform/qt/QtCanvas.h"

#include "platform/graphics/RasterDevice.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtText.h"
#include "platform/rtl/Cp1251.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QGlyphRun>
#include <QPolygon>

#include <cmath>

namespace {

Qt::PenStyle ToQPenStyle(TPenStyle s)
{
    switch (s) {
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle ToQBrushStyle(TBrushStyle s)
{
    switch (s) {
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

QPolygon ToQPolygon(const std::vector<TPoint>& points)
{
    QPolygon poly;
    for (const TPoint& p : points)
        poly << QPoint(p.X, p.Y);
    return poly;
}

}  // namespace

TQtPainterDevice::TQtPainterDevice(QPainter* painter, int dpiX, int dpiY, TRect bounds, bool printer, QImage* pixels)
    : FPainter(painter), FDpiX(dpiX), FDpiY(dpiY), FBounds(bounds), FPrinter(printer), FPixels(pixels)
{
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, true);
    ApplyPen();
    ApplyBrush();
}

TQtPainterDevice::~TQtPainterDevice()
{
    FlushText();
}

TFontBackend& TQtPainterDevice::Fonts()
{
    return FFonts ? *FFonts : DefaultFontBackend();
}

void TQtPainterDevice::ApplyMode(TPenMode mode)
{
    if (!FPixels) {
        // A window's painter offers no raster operations that keep its pixels opaque, and
        // drawing the XOR mark plainly would paint over what it marks (the preview's
        // search hit). The difference blend inverts under a white pen exactly as XOR does.
        QPaintEngine* engine = FPainter->paintEngine();
        const bool invert = mode == pmXor && !FPrinter && engine && engine->hasFeature(QPaintEngine::BlendModes);
        FPainter->setCompositionMode(invert ? QPainter::CompositionMode_Difference
                                            : QPainter::CompositionMode_SourceOver);
        return;
    }
    switch (mode) {
    case pmXor: FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case pmNotXor: FPainter->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    case pmNot: FPainter->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case pmMask: FPainter->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case pmMerge: FPainter->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case pmNotCopy: FPainter->setCompositionMode(QPainter::RasterOp_NotSource); break;
    default: FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
}

void TQtPainterDevice::ApplyPen()
{
    FTextPen = false;
    if (FPen.Mode == pmNop) {
        FPainter->setPen(Qt::NoPen);
        return;
    }
    QColor color = ToQColor(FPen.Color);
    if (FPen.Mode == pmBlack)
        color = Qt::black;
    else if (FPen.Mode == pmWhite)
        color = Qt::white;
    QPen pen(color);
    pen.setWidth(std::max(1, FPen.Width));
    pen.setStyle(ToQPenStyle(FPen.Style));
    // A pen wider than a pixel is a geometric pen on the platform, with round ends and
    // joins: two lines meeting at a corner close it. A one-pixel pen ends flat.
    const bool wide = FPen.Width > 1;
    pen.setCapStyle(wide ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(wide ? Qt::RoundJoin : Qt::MiterJoin);
    FPainter->setPen(pen);
    ApplyMode(FPen.Mode);
}

// Vector text leaves the text colour in the painter's pen (every change of pen costs a
// PDF page a graphics state); shapes take their own pen back first.
void TQtPainterDevice::RestoreShapePen()
{
    if (FTextPen)
        ApplyPen();
}

void TQtPainterDevice::ApplyBrush()
{
    FPainter->setBrush(QBrush(ToQColor(FBrush.Color), ToQBrushStyle(FBrush.Style)));
}

void TQtPainterDevice::SelectPen(const TPenState& pen)
{
    FPen = pen;
    ApplyPen();
}

void TQtPainterDevice::SelectBrush(const TBrushState& brush)
{
    FBrush = brush;
    ApplyBrush();
}

void TQtPainterDevice::SelectFont(const TFontState& font)
{
    FFont = font;
    FQFont = TQtFontBackend::ToQFont(font.Desc());
    FGlyphFont = nullptr;
}

void TQtPainterDevice::SetBkMode(bool opaque, TColor color)
{
    FBkOpaque = opaque;
    FBkColor = color;
    FPainter->setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    FPainter->setBackground(QBrush(ToQColor(color)));
}

void TQtPainterDevice::SetClip(const TRect* clip)
{
    FlushText();
    if (clip)
        FPainter->setClipRect(QRect(clip->Left, clip->Top, clip->Width(), clip->Height()));
    else
        FPainter->setClipping(false);
}

QRect TQtPainterDevice::ShapeRect(const TRect& r) const
{
    // The platform's shapes cover Left..Right-1; a Qt outline of width 1 covers x..x+w.
    return QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

void TQtPainterDevice::Line(TPoint from, TPoint to)
{
    FlushText();
    RestoreShapePen();
    // With flat caps Qt leaves the last pixel unpainted, as the platform does.
    FPainter->drawLine(from.X, from.Y, to.X, to.Y);
}

void TQtPainterDevice::Polyline(const std::vector<TPoint>& points)
{
    FlushText();
    RestoreShapePen();
    FPainter->drawPolyline(ToQPolygon(points));
}

void TQtPainterDevice::Polygon(const std::vector<TPoint>& points)
{
    FlushText();
    RestoreShapePen();
    FPainter->drawPolygon(ToQPolygon(points), Qt::OddEvenFill);
}

void TQtPainterDevice::Rectangle(const TRect& r)
{
    FlushText();
    if (r.IsEmpty())
        return;
    RestoreShapePen();
    if (FPen.Style == psClear || FPen.Mode == pmNop) {
        FillRect(r);
        return;
    }
    FPainter->drawRect(ShapeRect(r));
}

void TQtPainterDevice::FillRect(const TRect& r)
{
    FlushText();
    if (FBrush.Style == bsClear || r.IsEmpty())
        return;
    FPainter->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), FPainter->brush());
}

void TQtPainterDevice::FrameRect(const TRect& r)
{
    FlushText();
    if (r.IsEmpty())
        return;
    const QColor c = ToQColor(FBrush.Color);
    FPainter->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
    FPainter->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
    FPainter->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
    FPainter->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
}

void TQtPainterDevice::Ellipse(const TRect& r)
{
    FlushText();
    RestoreShapePen();
    FPainter->drawEllipse(ShapeRect(r));
}

void TQtPainterDevice::RoundRect(const TRect& r, int cornerWidth, int cornerHeight)
{
    FlushText();
    RestoreShapePen();
    FPainter->drawRoundedRect(ShapeRect(r), cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void TQtPainterDevice::TextOut(const TTextRun& run, std::string_view text)
{
    if (FPrinter && !FPixels && VectorTextOut(run, text))
        return;
    FlushText();
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (run.Options & ETO_CLIPPED)
        FPainter->setClipRect(QRect(run.Rect.Left, run.Rect.Top, run.Rect.Width(), run.Rect.Height()),
                              FPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (run.Options & ETO_OPAQUE)
        FPainter->fillRect(QRect(run.Rect.Left, run.Rect.Top, run.Rect.Width(), run.Rect.Height()),
                           ToQColor(run.BkColor));
    FPainter->setFont(FQFont);
    FPainter->setPen(ToQColor(FFont.Color));
    FPainter->setBackgroundMode(Qt::TransparentMode);
    const QFontMetricsF fm(FQFont);
    // The run's own width: explicit advances, or the font's.
    std::vector<double> edges;
    double width = 0;
    if (!run.Dx.empty()) {
        for (int d : run.Dx) {
            edges.push_back(width);
            width += d;
        }
    } else {
        std::vector<double> advances;
        Fonts().GetAdvances(FFont.Desc(), text, advances);
        for (double a : advances) {
            edges.push_back(width);
            width += a;
        }
    }
    FPainter->translate(run.X, run.Y);
    if (FFont.Orientation)
        FPainter->rotate(-FFont.Orientation / 10.0);
    if (run.Opaque && !(run.Options & ETO_OPAQUE))
        FPainter->fillRect(QRectF(0, 0, width, fm.ascent() + fm.descent()), ToQColor(run.BkColor));
    const double base = fm.ascent();
    if (run.Dx.empty() && !FFont.Style.Contains(fsUnderline) && !FFont.Style.Contains(fsStrikeOut)) {
        FPainter->drawText(QPointF(0, base), ToQString(AnsiString(text)));
    } else {
        // Character by character at the given places; lines are drawn once for the run.
        QFont plain = FQFont;
        plain.setUnderline(false);
        plain.setStrikeOut(false);
        FPainter->setFont(plain);
        // An advance given narrower than the glyph's own (a line measured at 600 ppi and
        // drawn on the screen, where the pixel font comes out wider) would let the glyph
        // run into the next one and the last past the line's end, under a frame: such a
        // glyph is narrowed to the advance given.
        std::vector<double> natural;
        if (!run.Dx.empty())
            Fonts().GetAdvances(FFont.Desc(), text, natural);
        for (size_t i = 0; i < text.size(); ++i) {
            const double given = i < run.Dx.size() ? run.Dx[i] : 0;
            const double own = i < natural.size() ? natural[i] : 0;
            if (given > 0 && own > given) {
                FPainter->save();
                FPainter->translate(edges[i], 0);
                FPainter->scale(given / own, 1.0);
                FPainter->drawText(QPointF(0, base), ToQString(AnsiString(1, text[i])));
                FPainter->restore();
            } else {
                FPainter->drawText(QPointF(edges[i], base), ToQString(AnsiString(1, text[i])));
            }
        }
        const double thickness = std::max(1.0, fm.lineWidth());
        if (FFont.Style.Contains(fsUnderline))
            FPainter->fillRect(QRectF(0, base + fm.underlinePos(), width, thickness), ToQColor(FFont.Color));
        if (FFont.Style.Contains(fsStrikeOut))
            FPainter->fillRect(QRectF(0, base - fm.strikeOutPos(), width, thickness), ToQColor(FFont.Color));
    }
    FPainter->restore();
}

const TQtPainterDevice::TGlyphFont& TQtPainterDevice::GlyphFont()
{
    if (FGlyphFont)
        return *FGlyphFont;
    const TFontSpec desc = FFont.Desc();
    auto key = std::make_tuple(desc.Name, desc.Height, desc.Style.Bits());
    auto it = FGlyphFonts.find(key);
    if (it == FGlyphFonts.end()) {
        TGlyphFont f;
        f.Raw = QRawFont::fromFont(FQFont);
        if (f.Raw.isValid()) {
            std::array<QChar, 256> chars;
            for (int b = 0; b < 256; ++b)
                chars[size_t(b)] = QChar(char16_t(cp1251::ToUnicode(static_cast<unsigned char>(b))));
            int n = 256;
            if (!f.Raw.glyphIndexesForChars(chars.data(), 256, f.Glyphs.data(), &n) || n != 256)
                f.Glyphs.fill(0);
        }
        const QFontMetricsF fm(FQFont);
        f.Ascent = fm.ascent();
        f.Descent = fm.descent();
        f.UnderlinePos = fm.underlinePos();
        f.StrikeOutPos = fm.strikeOutPos();
        f.LineWidth = std::max(1.0, fm.lineWidth());
        it = FGlyphFonts.emplace(key, std::move(f)).first;
    }
    FGlyphFont = &it->second;
    return *FGlyphFont;
}

// Text on a vector page. The glyphs stand where the advances put them, as one glyph run.
// Advances are whole device dots, so a glyph may be up to about a dot wider than its
// advance and touch its neighbour; the run's end is kept: a glyph that would cross it
// moves back by its overhang when that is a small part of its width, and is narrowed to
// the room left otherwise. The rectangle clips only when the text cell is not inside it.
// False (nothing drawn) when the font lacks a glyph: the caller's path falls back on
// Qt's font substitution.
bool TQtPainterDevice::VectorTextOut(const TTextRun& run, std::string_view text)
{
    const TGlyphFont& font = GlyphFont();
    if (!font.Raw.isValid())
        return false;
    const size_t n = text.size();
    FGlyphRun.resize(n);
    for (size_t i = 0; i < n; ++i) {
        FGlyphRun[i] = font.Glyphs[static_cast<unsigned char>(text[i])];
        if (FGlyphRun[i] == 0)
            return false;
    }
    Fonts().GetAdvances(FFont.Desc(), text, FAdvances);
    FEdges.resize(n);
    double width = 0;
    for (size_t i = 0; i < n; ++i) {
        FEdges[i] = width;
        width += run.Dx.empty() ? FAdvances[i] : (i < run.Dx.size() ? run.Dx[i] : 0);
    }
    const double cellHeight = font.Ascent + font.Descent;
    const bool rotated = FFont.Orientation != 0;

    // Where each glyph goes, and which must be narrowed to keep the run's end.
    FPositions.resize(n);
    std::vector<size_t> narrowed;
    double left = 0;
    for (size_t i = 0; i < n; ++i) {
        double x = FEdges[i];
        const double over = x + FAdvances[i] - width;
        if (over > 1e-6 && FAdvances[i] > 0) {
            if (over <= FAdvances[i] * 0.25)
                x -= over;
            else
                narrowed.push_back(i);
        }
        left = std::min(left, x);
        FPositions[i] = QPointF(x, font.Ascent);
    }

    // A glyph moved back by a fraction of a dot may start that much before the rectangle.
    const QRectF cell(run.X + left, run.Y, width - left, cellHeight);
    const QRect rect(run.Rect.Left, run.Rect.Top, run.Rect.Width(), run.Rect.Height());
    const bool clip =
        (run.Options & ETO_CLIPPED) && (rotated || !QRectF(rect).adjusted(-1, 0, 1, 0).contains(cell));
    const bool transformed = rotated || !narrowed.empty();
    const QColor color = ToQColor(FFont.Color);
    const bool lines = FFont.Style.Contains(fsUnderline) || FFont.Style.Contains(fsStrikeOut);
    if (!clip && !transformed && !lines && !(run.Options & ETO_OPAQUE) && !run.Opaque) {
        if (FBatchFont != &font || FBatchColor != color)
            FlushText();
        FBatchFont = &font;
        FBatchColor = color;
        for (size_t i = 0; i < n; ++i) {
            FBatchGlyphs.push_back(FGlyphRun[i]);
            FBatchPositions.push_back(FPositions[i] + QPointF(run.X, run.Y));
        }
        return true;
    }
    FlushText();
    if (clip || transformed) {
        FPainter->save();
        if (clip)
            FPainter->setClipRect(rect, FPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    if (run.Options & ETO_OPAQUE)
        FPainter->fillRect(rect, ToQColor(run.BkColor));
    if (FPainter->pen().color() != color || FPainter->pen().style() != Qt::SolidLine) {
        FPainter->setPen(color);
        FTextPen = true;
    }
    const bool opaque = FPainter->backgroundMode() != Qt::TransparentMode;
    if (opaque)
        FPainter->setBackgroundMode(Qt::TransparentMode);

    // Unrotated runs are placed in device coordinates; rotated ones about their origin.
    QPointF origin(run.X, run.Y);
    if (rotated) {
        FPainter->translate(run.X, run.Y);
        FPainter->rotate(-FFont.Orientation / 10.0);
        origin = QPointF(0, 0);
    }
    if (run.Opaque && !(run.Options & ETO_OPAQUE))
        FPainter->fillRect(QRectF(origin.x(), origin.y(), width, cellHeight), ToQColor(run.BkColor));
    size_t kept = 0;
    for (size_t i = 0, k = 0; i < n; ++i) {
        if (k < narrowed.size() && narrowed[k] == i) {
            ++k;
            continue;
        }
        FGlyphRun[kept] = FGlyphRun[i];
        FPositions[kept] = FPositions[i] + origin;
        ++kept;
    }
    if (kept > 0) {
        QGlyphRun glyphs;
        glyphs.setRawFont(font.Raw);
        glyphs.setRawData(FGlyphRun.data(), FPositions.data(), int(kept));
        FPainter->drawGlyphRun(QPointF(0, 0), glyphs);
    }
    for (size_t i : narrowed) {
        const double room = std::max(0.0, width - FEdges[i]);
        if (room <= 0)
            continue;
        const quint32 glyph = font.Glyphs[static_cast<unsigned char>(text[i])];
        const QPointF at(0, font.Ascent);
        const QTransform before = FPainter->worldTransform();
        FPainter->translate(origin.x() + FEdges[i], origin.y());
        FPainter->scale(room / FAdvances[i], 1.0);
        QGlyphRun one;
        one.setRawFont(font.Raw);
        one.setRawData(&glyph, &at, 1);
        FPainter->drawGlyphRun(QPointF(0, 0), one);
        FPainter->setWorldTransform(before);
    }
    if (FFont.Style.Contains(fsUnderline))
        FPainter->fillRect(QRectF(origin.x(), origin.y() + font.Ascent + font.UnderlinePos, width, font.LineWidth),
                           color);
    if (FFont.Style.Contains(fsStrikeOut))
        FPainter->fillRect(QRectF(origin.x(), origin.y() + font.Ascent - font.StrikeOutPos, width, font.LineWidth),
                           color);
    if (clip || transformed)
        FPainter->restore();
    else if (opaque)
        FPainter->setBackgroundMode(Qt::OpaqueMode);
    return true;
}

void TQtPainterDevice::FlushText()
{
    if (!FBatchFont)
        return;
    if (FPainter->pen().color() != FBatchColor || FPainter->pen().style() != Qt::SolidLine) {
        FPainter->setPen(FBatchColor);
        FTextPen = true;
    }
    const bool opaque = FPainter->backgroundMode() != Qt::TransparentMode;
    if (opaque)
        FPainter->setBackgroundMode(Qt::TransparentMode);
    QGlyphRun glyphs;
    glyphs.setRawFont(FBatchFont->Raw);
    glyphs.setRawData(FBatchGlyphs.data(), FBatchPositions.data(), int(FBatchGlyphs.size()));
    FPainter->drawGlyphRun(QPointF(0, 0), glyphs);
    if (opaque)
        FPainter->setBackgroundMode(Qt::OpaqueMode);  // hatched brushes keep their background
    FBatchFont = nullptr;
    FBatchGlyphs.clear();
    FBatchPositions.clear();
}

void TQtPainterDevice::DrawBitmap(const TRect& dest, const TPixelBuffer& pixels, int copyMode, int stretchMode)
{
    FlushText();
    if (pixels.Width <= 0 || pixels.Height <= 0 || dest.Width() == 0 || dest.Height() == 0)
        return;
    const QImage image(reinterpret_cast<const uchar*>(pixels.Pixels.data()), pixels.Width, pixels.Height,
                       pixels.Width * 4, QImage::Format_RGB32);
    FPainter->save();
    if (FPixels) {
        switch (copyMode) {
        case cmSrcAnd: FPainter->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
        case cmSrcPaint: FPainter->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
        case cmSrcInvert: FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        case cmNotSrcCopy: FPainter->setCompositionMode(QPainter::RasterOp_NotSource); break;
        default: FPainter->setCompositionMode(QPainter::CompositionMode_Source); break;
        }
    }
    // A negative width or height mirrors the picture, as StretchBlt does.
    const bool mirrorX = dest.Width() < 0, mirrorY = dest.Height() < 0;
    const QRect target(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), std::abs(dest.Width()),
                       std::abs(dest.Height()));
    // Colour on colour takes the nearest pixel; on PDF pages and printers the image is kept
    // at its own size and marked not to be interpolated.
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, stretchMode != COLORONCOLOR);
    if (mirrorX || mirrorY)
        FPainter->drawImage(target, image.mirrored(mirrorX, mirrorY));
    else
        FPainter->drawImage(target, image);
    FPainter->restore();
}

void TQtPainterDevice::DrawBitmapAlpha(const TRect& dest, const TPixelBuffer& pixels)
{
    FlushText();
    if (pixels.Width <= 0 || pixels.Height <= 0 || dest.Width() == 0 || dest.Height() == 0)
        return;
    const QImage image(reinterpret_cast<const uchar*>(pixels.Pixels.data()), pixels.Width, pixels.Height,
                       pixels.Width * 4, QImage::Format_ARGB32);
    // Mirrored by a negative width or height, as DrawBitmap is.
    const bool mirrorX = dest.Width() < 0, mirrorY = dest.Height() < 0;
    const QRect target(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), std::abs(dest.Width()),
                       std::abs(dest.Height()));
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (mirrorX || mirrorY)
        FPainter->drawImage(target, image.mirrored(mirrorX, mirrorY));
    else
        FPainter->drawImage(target, image);
    FPainter->restore();
}

void TQtPainterDevice::SetPixel(int x, int y, TColor color)
{
    FlushText();
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_Source);
    FPainter->setPen(ToQColor(color));
    FPainter->drawPoint(x, y);
    FPainter->restore();
}

TColor TQtPainterDevice::GetPixel(int x, int y)
{
    FlushText();
    if (!FPixels || x < 0 || y < 0 || x >= FPixels->width() || y >= FPixels->height())
        return clNone;
    const QRgb p = FPixels->pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// ---------------------------------------------------------------- images

TQtImageCanvas::TQtImageCanvas(int width, int height, int dpi) : FImage(width, height, QImage::Format_RGB32)
{
    FImage.fill(Qt::white);
    const int dpm = int(std::lround(dpi / 0.0254));
    FImage.setDotsPerMeterX(dpm);
    FImage.setDotsPerMeterY(dpm);
    FPainter = std::make_unique<QPainter>(&FImage);
    FDevice = std::make_unique<TQtPainterDevice>(FPainter.get(), dpi, dpi, Rect(0, 0, width, height), false, &FImage);
    FCanvas.SetDevice(FDevice.get());
}

TQtImageCanvas::~TQtImageCanvas()
{
    FCanvas.SetDevice(nullptr);
    FDevice.reset();
    FPainter.reset();
}

const QImage& TQtImageCanvas::Image()
{
    return FImage;
}

// ---------------------------------------------------------------- bitmaps

std::unique_ptr<TCanvasDevice> TQtBitmapDevice::Create(TPixelBuffer& pixels)
{
    if (pixels.Width <= 0 || pixels.Height <= 0)
        return std::make_unique<TRasterDevice>(pixels);  // nothing to paint on
    auto image = std::make_unique<QImage>(reinterpret_cast<uchar*>(pixels.Pixels.data()), pixels.Width,
                                          pixels.Height, pixels.Width * 4, QImage::Format_RGB32);
    auto painter = std::make_unique<QPainter>(image.get());
    return std::unique_ptr<TCanvasDevice>(new TQtBitmapDevice(std::move(image), std::move(painter)));
}

TQtBitmapDevice::TQtBitmapDevice(std::unique_ptr<QImage> image, std::unique_ptr<QPainter> painter)
    : TQtPainterDevice(painter.get(), kPixelsPerInch, kPixelsPerInch, Rect(0, 0, image->width(), image->height()),
                       false, image.get()),
      FImage(std::move(image)), FOwnPainter(std::move(painter))
{
}

TQtBitmapDevice::~TQtBitmapDevice()
{
    FOwnPainter->end();
}
