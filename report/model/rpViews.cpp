// rpViews.cpp - views, frames, shapes, lines, pictures and subreports.
#include "report/model/rpViews.h"

#include "report/model/rpClass.h"
#include "report/model/rpPages.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/graphics/Icon.h"
#include "platform/graphics/Metafile.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <cstring>

int rpDevRound(Extended Value)
{
    if (std::isnan(static_cast<double>(Value)))
        return 0;
    if (Value > 1e9L)
        return 1000000000;
    if (Value < -1e9L)
        return -1000000000;
    return static_cast<int>(Round(Value));
}

void rpDrawGraphic(TCanvas* Canvas, const TRect& R, TGraphic* Graphic)
{
    if (!Canvas || !Graphic || Graphic->Empty())
        return;
    if (dynamic_cast<TMetafile*>(Graphic)) {
        Canvas->StretchDraw(R, Graphic);
        return;
    }
    // Any other picture is drawn on a white 32-bit bitmap of its own size first, which is
    // then copied into the rectangle: the rectangle is covered whole, and what the picture
    // leaves transparent comes out white, whatever lies under the view.
    TBitmap work;
    work.SetPixelFormat(pf32bit);
    work.SetSize(Graphic->GetWidth(), Graphic->GetHeight());
    work.GetCanvas()->Draw(0, 0, Graphic);
    // Stretched colour on colour: every pixel of the picture keeps its own colour, on the
    // screen as on a printer page, where the picture is stretched at the printer's resolution.
    const int mode = Canvas->GetCopyMode();
    const int stretch = Canvas->SetStretchBltMode(COLORONCOLOR);
    Canvas->SetCopyMode(cmSrcCopy);
    Canvas->DrawPixels(R, work.Pixels());
    Canvas->SetCopyMode(mode);
    Canvas->SetStretchBltMode(stretch);
}

namespace {
AnsiString Attr(const char* Name, const AnsiString& Value) { return AnsiString(" ") + Name + "=\"" + Value + "\""; }
AnsiString Flt(Extended V) { return FloatToStr(static_cast<double>(V)); }
}  // namespace

// ---------------------------------------------------------------- TrpFrame

SKLAD_DEFINE_CLASS(TrpFrame)
void TrpFrame::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TrpFrame::Color, &TrpFrame::Color).Type("TColor");
    t.Prop("DropShadow", &TrpFrame::DropShadow, &TrpFrame::DropShadow);
    t.Prop("ShadowColor", &TrpFrame::ShadowColor, &TrpFrame::ShadowColor).Type("TColor");
    t.Prop("ShadowWidth", &TrpFrame::ShadowWidth, &TrpFrame::ShadowWidth).Stored(&TrpFrame::IsShadowWidthStored);
    t.Prop("Style", &TrpFrame::Style, &TrpFrame::Style);
    t.Prop("Typ", &TrpFrame::Typ, &TrpFrame::Typ).Default(TrpFrameTypes());
    t.Prop("Width", &TrpFrame::Width, &TrpFrame::Width).Stored(&TrpFrame::IsWidthStored);
}

void TrpFrame::Assign(TPersistent* Source)
{
    auto* f = dynamic_cast<TrpFrame*>(Source);
    if (!f) {
        TPersistent::Assign(Source);
        return;
    }
    Color = f->Color;
    DropShadow = f->DropShadow;
    ShadowWidth = f->ShadowWidth;
    ShadowColor = f->ShadowColor;
    Style = f->Style;
    Typ = f->Typ;
    Width = f->Width;
}

AnsiString TrpFrame::Diff(const TrpFrame* O) const
{
    AnsiString r;
    if (Color != O->Color)
        r += Attr("Frame.Color", IntToStr(Color));
    if (DropShadow != O->DropShadow)
        r += Attr("Frame.DropShadow", DropShadow ? "1" : "0");
    if (ShadowColor != O->ShadowColor)
        r += Attr("Frame.ShadowColor", IntToStr(ShadowColor));
    if (FloatsDiffer(ShadowWidth, O->ShadowWidth))
        r += Attr("Frame.ShadowWidth", Flt(ShadowWidth));
    if (Style != O->Style)
        r += Attr("Frame.Style", IntToStr(static_cast<int>(Style)));
    if (!(Typ == O->Typ))
        r += Attr("Frame.Typ", IntToStr(static_cast<int>(Typ.Bits())));
    if (FloatsDiffer(Width, O->Width))
        r += Attr("Frame.Width", Flt(Width));
    return r;
}

// ---------------------------------------------------------------- TrpHighlight, TrpFormat

SKLAD_DEFINE_CLASS(TrpHighlight)
void TrpHighlight::Publish(TPropertyTable& t)
{
    t.Prop("Active", &TrpHighlight::Active, &TrpHighlight::Active).Default(false);
    t.Prop("Color", &TrpHighlight::Color, &TrpHighlight::Color).Type("TColor").Default(clNone);
    t.Prop("Condition", &TrpHighlight::Condition, &TrpHighlight::Condition);
    t.Prop("Font", &TrpHighlight::GetFont, &TrpHighlight::SetFont);
}

TrpHighlight::TrpHighlight() : FFont(std::make_unique<TFont>())
{
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetColor(clRed);
    FFont->SetCharset(rpCharset);
}

void TrpHighlight::Assign(TPersistent* Source)
{
    auto* h = dynamic_cast<TrpHighlight*>(Source);
    if (!h) {
        TPersistent::Assign(Source);
        return;
    }
    FFont->Assign(h->FFont.get());
    Color = h->Color;
    Condition = h->Condition;
}

SKLAD_DEFINE_CLASS(TrpFormat)
void TrpFormat::Publish(TPropertyTable& t)
{
    t.Prop("DecimalSeparator", &TrpFormat::DecimalSeparator, &TrpFormat::DecimalSeparator);
    t.Prop("FormatStr", &TrpFormat::FormatStr, &TrpFormat::FormatStr);
    t.Prop("Kind", &TrpFormat::Kind, &TrpFormat::Kind).Default(fkText);
}

void TrpFormat::Assign(TPersistent* Source)
{
    auto* f = dynamic_cast<TrpFormat*>(Source);
    if (!f) {
        TPersistent::Assign(Source);
        return;
    }
    DecimalSeparator = f->DecimalSeparator;
    FormatStr = f->FormatStr;
    Kind = f->Kind;
    ThousandSeparator = f->ThousandSeparator;
}

// ---------------------------------------------------------------- TrpView

SKLAD_DEFINE_ABSTRACT_CLASS(TrpView)
void TrpView::Publish(TPropertyTable& t)
{
    t.Prop("Align", &TrpView::Align, &TrpView::Align).Default(baNone);
    t.Prop("Cursor", &TrpView::Cursor, &TrpView::Cursor).Type("TCursor").Default(0);
    t.Prop("Printable", &TrpView::Printable, &TrpView::Printable).Default(true);
    t.Prop("ShiftMode", &TrpView::ShiftMode, &TrpView::ShiftMode).Default(smAlways);
    t.Prop("TagStr", &TrpView::TagStr, &TrpView::TagStr);
    t.Prop("URL", &TrpView::URL, &TrpView::URL);
    t.Prop("Left", &TrpView::GetLeft, &TrpView::SetLeft);
    t.Prop("Top", &TrpView::GetTop, &TrpView::SetTop);
    t.Prop("Width", &TrpView::GetWidth, &TrpView::SetWidth);
    t.Prop("Height", &TrpView::GetHeight, &TrpView::SetHeight);
    t.Prop("GroupIndex", &TrpView::GetGroupIndex, &TrpView::SetGroupIndex).Default(0);
    t.Prop("Restrictions", &TrpView::GetRestrictions, &TrpView::SetRestrictions).Default(TrpRestrictions());
    t.Prop("Visible", &TrpView::GetVisible, &TrpView::SetVisible).Default(true);
    t.Prop("OnAfterData", &TrpView::OnAfterData, &TrpView::OnAfterData).Type("TrpNotifyEvent");
    t.Prop("OnAfterPrint", &TrpView::OnAfterPrint, &TrpView::OnAfterPrint).Type("TrpNotifyEvent");
    t.Prop("OnBeforePrint", &TrpView::OnBeforePrint, &TrpView::OnBeforePrint).Type("TrpNotifyEvent");
    t.Prop("OnPreviewClick", &TrpView::OnPreviewClick, &TrpView::OnPreviewClick).Type("TrpNotifyEvent");
}

TrpView::TrpView(TComponent* AOwner) : TrpReportComponent(AOwner) { Init(); }
TrpView::TrpView(TComponent* AOwner, uint16_t Flags) : TrpReportComponent(AOwner, Flags) { Init(); }

void TrpView::Init()
{
    FFrame = std::make_unique<TrpFrame>();
    FullDiff = true;
}

TrpView::~TrpView() = default;

void TrpView::SetDataSet(TrpDataSet* Value)
{
    FDataSet.Set(Value);
    FDataSetName = FDataSet ? FDataSet->GetUserName() : AnsiString();
}

AnsiString TrpView::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TrpView::SetDataSetName(const AnsiString& Value)
{
    FDataSetName = Value;
    TrpDataSet* found = rpFindDataSet(FDataSet, Value, GetReport());
    if (found && found != FDataSet) {
        SetDataSet(found);
    }
}

void TrpView::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpReportComponent::Notification(AComponent, Operation);
    FDataSet.Forget(AComponent, Operation);
}

void TrpView::SetFrame(TrpFrame* Value)
{
    if (Value && Value != FFrame.get())
        FFrame->Assign(Value);
}

void TrpView::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    DrawBackground();
    DrawFrame();
}

void TrpView::BeginDraw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    Canvas = ACanvas;
    ScaleX = AScaleX;
    ScaleY = AScaleY;
    OffsetX = AOffsetX;
    OffsetY = AOffsetY;
    const Extended l = GetAbsLeft(), t = GetAbsTop();
    X = rpDevRound(l * ScaleX + OffsetX);
    Y = rpDevRound(t * ScaleY + OffsetY);
    X1 = rpDevRound((l + FWidth) * ScaleX + OffsetX);
    Y1 = rpDevRound((t + FHeight) * ScaleY + OffsetY);
    if (FFrame->DropShadow) {
        X1 -= rpDevRound(FFrame->ShadowWidth * ScaleX);
        Y1 -= rpDevRound(FFrame->ShadowWidth * ScaleY);
    }
    DX = X1 - X;
    DY = Y1 - Y;
    FrameWidth = rpDevRound(FFrame->Width * ScaleX);
}

void TrpView::DrawBackground()
{
    if (!Canvas)
        return;
    TBrush* brush = Canvas->GetBrush();
    // The box in order: a view with a negative width or height fills its mirror image.
    const int l = std::min(X, X1), t = std::min(Y, Y1), r = std::max(X, X1), b = std::max(Y, Y1);
    if (Color != clNone) {
        brush->SetColor(Color);
        brush->SetStyle(bsSolid);
        Canvas->FillRect(Rect(l, t, r, b));
    }
    if (BrushStyle != bsSolid) {
        brush->SetStyle(BrushStyle);
        brush->SetColor(FFrame->Color);
        Canvas->GetPen()->SetColor(Color == clNone ? clWhite : Color);
        Canvas->Rectangle(l, t, r + 1, b + 1);
        brush->SetStyle(bsSolid);
    }
}

void TrpView::DrawLine(int AX, int AY, int AX1, int AY1, int W)
{
    if (!Canvas)
        return;
    if (W <= 0)
        W = 1;
    W = std::min(W, 10000);  // a damaged width must not draw forever
    const int from = -(W / 2);
    const int to = W / 2 - (W % 2 == 0 ? 1 : 0);
    const bool horizontal = std::abs(AX1 - AX) > std::abs(AY1 - AY);
    // The W lines are one pixel each: a shape's pen is FrameWidth wide, and W lines of it
    // would print a diagonal nearly twice as thick as asked. Colour and style stay.
    TPen* pen = Canvas->GetPen();
    const int penWidth = pen->GetWidth();
    pen->SetWidth(1);
    for (int i = from; i <= to; ++i) {
        if (horizontal) {
            Canvas->MoveTo(AX, AY + i);
            Canvas->LineTo(AX1, AY1 + i);
        } else {
            Canvas->MoveTo(AX + i, AY);
            Canvas->LineTo(AX1 + i, AY1);
        }
    }
    pen->SetWidth(penWidth);
}

void TrpView::DrawFrame()
{
    if (!Canvas)
        return;
    TPen* pen = Canvas->GetPen();
    TBrush* brush = Canvas->GetBrush();
    if (FFrame->DropShadow) {
        pen->SetStyle(psSolid);
        pen->SetWidth(1);
        pen->SetColor(FFrame->ShadowColor);
        const int s = rpDevRound(FFrame->ShadowWidth * ScaleX);
        DrawLine(X1 + s / 2, Y + s, X1 + s / 2, Y1, s);
        const int s2 = rpDevRound(FFrame->ShadowWidth * ScaleY);
        DrawLine(X + s2, Y1 + s2 / 2, X1 + s2, Y1 + s2 / 2, s2);
    }
    if (FFrame->Typ.Empty() || FFrame->Color == clNone || !FloatsDiffer(FFrame->Width, 0))
        return;
    pen->SetColor(FFrame->Color);
    if (FFrame->Style == fsSolid || FFrame->Style == fsDouble) {
        pen->SetStyle(psSolid);
        pen->SetWidth(std::max(FrameWidth, 1));
    } else {
        pen->SetStyle(static_cast<TPenStyle>(FFrame->Style));
        pen->SetWidth(1);
    }
    brush->SetStyle(bsSolid);
    if (FFrame->Style != fsSolid) {
        if (Color == clNone)
            brush->SetStyle(bsClear);
        else
            brush->SetColor(Color);
    }
    const TrpFrameTypes typ = FFrame->Typ;
    if (typ.Contains(ftLeft))
        DrawFrameLine(X, Y, X, Y1, ftLeft, typ.Contains(ftTop), typ.Contains(ftBottom));
    if (typ.Contains(ftRight))
        DrawFrameLine(X1, Y, X1, Y1, ftRight, typ.Contains(ftTop), typ.Contains(ftBottom));
    if (typ.Contains(ftTop))
        DrawFrameLine(X, Y, X1, Y, ftTop, typ.Contains(ftLeft), typ.Contains(ftRight));
    if (typ.Contains(ftBottom))
        DrawFrameLine(X, Y1, FrameWidth == 1 ? X1 + 1 : X1, Y1, ftBottom, typ.Contains(ftLeft), typ.Contains(ftRight));
}

void TrpView::DrawFrameLine(int AX, int AY, int AX1, int AY1, TrpFrameType Side, bool Near, bool Far)
{
    if (FFrame->Style == fsSolid) {
        Canvas->MoveTo(AX, AY);
        Canvas->LineTo(AX1, AY1);
        return;
    }
    if (FFrame->Style != fsDouble) {
        DrawLine(AX, AY, AX1, AY1, FrameWidth);
        return;
    }
    const int w = FrameWidth, a = Near ? w : 0, b = Far ? w : 0;
    const bool vertical = Side == ftLeft || Side == ftRight;
    // The outer line is lengthened by a and b, the inner one shortened.
    auto line = [&](int offset, bool lengthened) {
        const int s = lengthened ? -a : a, e = lengthened ? b : -b;
        if (vertical) {
            Canvas->MoveTo(AX + offset, AY + s);
            Canvas->LineTo(AX1 + offset, AY1 + e);
        } else {
            Canvas->MoveTo(AX + s, AY + offset);
            Canvas->LineTo(AX1 + e, AY1 + offset);
        }
    };
    const bool outerFirst = Side == ftLeft || Side == ftTop;  // outside lies towards smaller coordinates
    line(-w, outerFirst);
    if (Color != clNone) {
        TPen* pen = Canvas->GetPen();
        pen->SetColor(Color);
        Canvas->MoveTo(AX, AY);
        Canvas->LineTo(AX1, AY1);
        pen->SetColor(FFrame->Color);
    }
    line(w, !outerFirst);
}

void TrpView::BeforePrint()
{
    TrpReportComponent::BeforePrint();
    FSavedTagStr = TagStr;
    FSavedURL = URL;
}

void TrpView::AfterPrint()
{
    TrpReportComponent::AfterPrint();
    TagStr = FSavedTagStr;
    URL = FSavedURL;
}

void TrpView::GetData()
{
    if (TagStr.find('[') != AnsiString::npos)
        ExpandBracketsInProperty(TagStr);
    if (URL.find('[') != AnsiString::npos)
        ExpandBracketsInProperty(URL);
}

void TrpView::ExpandBracketsInProperty(AnsiString& S)
{
    TrpReport* report = rpReportOf(this);
    if (!report)
        return;
    // The result is built in a second string, so the text is read once however
    // many brackets it holds; a value put in is never scanned again.
    AnsiString out;
    size_t from = 0;
    for (;;) {
        // Scan for "[" (CP1251 has no double-byte characters, so byte by byte).
        const size_t at = S.find('[', from);
        if (at == AnsiString::npos)
            break;
        int i = static_cast<int>(at) + 1, j = i;
        const AnsiString expr = rpGetBrackedVariable(S, "[", "]", i, j);
        if (i == j)
            break;
        out.append(S, from, static_cast<size_t>(i - 1) - from);
        const Variant v = report->Calc(expr);
        try {
            out += VarToStr(v);
        } catch (const std::exception& e) {
            report->RaiseExpressionError(expr, e.what());  // a value with no text (an array)
        }
        from = static_cast<size_t>(j);
    }
    if (from == 0)
        return;
    out.append(S, from, AnsiString::npos);
    S = std::move(out);
}

AnsiString TrpView::Diff(TrpComponent* AObj)
{
    AnsiString r = TrpReportComponent::Diff(AObj);
    auto* o = dynamic_cast<TrpView*>(AObj);
    if (!o)
        return r;
    if (BrushStyle != o->BrushStyle)
        r += Attr("BrushStyle", IntToStr(static_cast<int>(BrushStyle)));
    if (Align != o->Align)
        r += Attr("Align", IntToStr(static_cast<int>(Align)));
    if (Color != o->Color)
        r += Attr("Color", IntToStr(Color));
    r += FFrame->Diff(o->FFrame.get());
    if (Cursor != o->Cursor)
        r += Attr("Cursor", IntToStr(Cursor));
    if (Printable != o->Printable)
        r += Attr("Printable", Printable ? "1" : "0");
    if (TagStr != o->TagStr)
        r += Attr("TagStr", rpStrToXML(TagStr));
    if (URL != o->URL)
        r += Attr("URL", rpStrToXML(URL));
    return r;
}

// ---------------------------------------------------------------- TrpShapeView

SKLAD_DEFINE_CLASS(TrpShapeView)
void TrpShapeView::Publish(TPropertyTable& t)
{
    t.Prop("BrushStyle", &TrpShapeView::BrushStyle, &TrpShapeView::BrushStyle).Default(bsSolid);
    t.Prop("Color", &TrpShapeView::Color, &TrpShapeView::Color).Type("TColor").Default(clNone);
    t.Prop("Frame", &TrpShapeView::GetFrame, &TrpShapeView::SetFrame);
    t.Prop("Shape", &TrpShapeView::Shape, &TrpShapeView::Shape).Default(skRectangle);
}

TrpShapeView::TrpShapeView(TComponent* AOwner) : TrpView(AOwner) { FullDiff = false; }

TrpShapeView::TrpShapeView(TComponent* AOwner, uint16_t Flags) : TrpView(AOwner, Flags)
{
    FullDiff = false;
    Shape = Flags <= skDiagonal2 ? static_cast<TrpShapeKind>(Flags) : skRectangle;
}

AnsiString TrpShapeView::GetDescription() const { return rpResources().Get("obShape"); }

AnsiString TrpShapeView::Diff(TrpComponent* AObj)
{
    AnsiString r = TrpView::Diff(AObj);
    if (auto* o = dynamic_cast<TrpShapeView*>(AObj); o && Shape != o->Shape)
        r += Attr("Shape", IntToStr(static_cast<int>(Shape)));
    return r;
}

void TrpShapeView::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (!Canvas)
        return;
    TPen* pen = Canvas->GetPen();
    TBrush* brush = Canvas->GetBrush();
    pen->SetColor(GetFrame()->Color);
    pen->SetWidth(std::max(FrameWidth, 1));
    brush->SetStyle(bsSolid);
    Canvas->SetBkMode(true);
    pen->SetStyle(static_cast<TPenStyle>(GetFrame()->Style));
    if (BrushStyle != bsSolid) {
        if (Color != clNone) {
            brush->SetColor(Color);
            DrawShapeKind();
        }
        brush->SetStyle(BrushStyle);
        brush->SetColor(GetFrame()->Color);
    } else if (Color != clNone) {
        brush->SetColor(Color);
    } else {
        brush->SetStyle(bsClear);
    }
    DrawShapeKind();
}

void TrpShapeView::DrawShapeKind()
{
    // A view with a negative width or height has its corners swapped; the box shapes are
    // drawn over its mirror image (a rectangle given from its far corner is the same box).
    const int l = std::min(X, X1), t = std::min(Y, Y1), r = std::max(X, X1), b = std::max(Y, Y1);
    const int corner = std::min(r - l, b - t) / 4;
    switch (Shape) {
    case skRectangle: Canvas->Rectangle(l, t, r + 1, b + 1); break;
    case skRoundRectangle: Canvas->RoundRect(l, t, r + 1, b + 1, corner, corner); break;
    case skEllipse: Canvas->Ellipse(l, t, r + 1, b + 1); break;
    case skTriangle: Canvas->Polygon({{X1, Y1}, {X, Y1}, {X + DX / 2, Y}, {X1, Y1}}); break;
    case skDiamond: Canvas->Polygon({{X + DX / 2, Y}, {X1, Y + DY / 2}, {X + DX / 2, Y1}, {X, Y + DY / 2}}); break;
    case skDiagonal1: DrawLine(X, Y1, X1, Y, FrameWidth); break;
    case skDiagonal2: DrawLine(X, Y, X1, Y1, FrameWidth); break;
    }
}

// ---------------------------------------------------------------- stretcheable, lines

SKLAD_DEFINE_ABSTRACT_CLASS(TrpStretcheable)
void TrpStretcheable::Publish(TPropertyTable& t)
{
    t.Prop("StretchMode", &TrpStretcheable::StretchMode, &TrpStretcheable::StretchMode).Default(smDontStretch);
}

SKLAD_DEFINE_CLASS(TrpCustomLineView)
void TrpCustomLineView::Publish(TPropertyTable&) {}

TrpCustomLineView::TrpCustomLineView(TComponent* AOwner) : TrpStretcheable(AOwner) { FullDiff = false; }

TrpCustomLineView::TrpCustomLineView(TComponent* AOwner, uint16_t Flags) : TrpStretcheable(AOwner, Flags)
{
    FullDiff = false;
    Diagonal = Flags != 0;
}

void TrpCustomLineView::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX,
                             Extended AOffsetY)
{
    if (!Diagonal) {
        if (FHeight >= FWidth) {
            SetWidth(0);
            GetFrame()->Typ = TrpFrameTypes{ftLeft};
        } else {
            SetHeight(0);
            GetFrame()->Typ = TrpFrameTypes{ftTop};
        }
    }
    BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (Diagonal)
        DrawDiagonalLine();
    else
        DrawFrame();
}

void TrpCustomLineView::DrawDiagonalLine()
{
    if (!Canvas || GetFrame()->Color == clNone || !FloatsDiffer(GetFrame()->Width, 0))
        return;
    TBrush* brush = Canvas->GetBrush();
    TPen* pen = Canvas->GetPen();
    if (Color == clNone) {
        brush->SetStyle(bsClear);
    } else {
        brush->SetStyle(bsSolid);
        brush->SetColor(Color);
    }
    pen->SetColor(GetFrame()->Color);
    pen->SetWidth(1);
    pen->SetStyle(GetFrame()->Style == fsDouble ? psSolid : static_cast<TPenStyle>(GetFrame()->Style));
    DrawLine(X, Y, X1, Y1, FrameWidth);
}

SKLAD_DEFINE_CLASS(TrpLineView)
void TrpLineView::Publish(TPropertyTable& t)
{
    t.Prop("Diagonal", &TrpLineView::Diagonal, &TrpLineView::Diagonal).Default(false);
    t.Prop("Frame", &TrpLineView::GetFrame, &TrpLineView::SetFrame);
}

AnsiString TrpLineView::GetDescription() const { return rpResources().Get("obLine"); }

// ---------------------------------------------------------------- TrpPictureView

SKLAD_DEFINE_CLASS(TrpPictureView)
void TrpPictureView::Publish(TPropertyTable& t)
{
    t.Prop("AutoSize", &TrpPictureView::GetAutoSize, &TrpPictureView::SetAutoSize).Default(false);
    t.Prop("Center", &TrpPictureView::Center, &TrpPictureView::Center).Default(false);
    t.Prop("DataField", &TrpPictureView::GetDataField, &TrpPictureView::SetDataField);
    t.Prop("DataSet", &TrpPictureView::GetDataSet, &TrpPictureView::SetDataSet);
    t.Prop("DataSetName", &TrpPictureView::GetDataSetName, &TrpPictureView::SetDataSetName);
    t.Prop("Frame", &TrpPictureView::GetFrame, &TrpPictureView::SetFrame);
    t.Prop("KeepAspectRatio", &TrpPictureView::KeepAspectRatio, &TrpPictureView::KeepAspectRatio).Default(true);
    t.Prop("Picture", &TrpPictureView::GetPicture, &TrpPictureView::SetPicture);
    t.Prop("Stretched", &TrpPictureView::Stretched, &TrpPictureView::Stretched).Default(true);
}

TrpPictureView::TrpPictureView(TComponent* AOwner) : TrpView(AOwner), FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = TNotifyEvent(this, &TrpPictureView::PictureChanged);
    FullDiff = false;
    Color = clWhite;
}

TrpPictureView::~TrpPictureView() { FPicture->OnChange = nullptr; }

void TrpPictureView::SetPicture(TPicture* Value)
{
    if (Value && Value != FPicture.get())
        FPicture->Assign(Value);
}

void TrpPictureView::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    if (Value && FPicture->GetGraphic() && !FPicture->GetGraphic()->Empty()) {
        FWidth = FPicture->GetWidth();
        FHeight = FPicture->GetHeight();
    }
}

void TrpPictureView::PictureChanged(TObject*)
{
    SetAutoSize(FAutoSize);
    PictureChangedFlag = true;
}

AnsiString TrpPictureView::GetDescription() const { return rpResources().Get("obPicture"); }

void TrpPictureView::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    DrawBackground();
    if (!Canvas)
        return;
    TRect r{X, Y, X1, Y1};
    TGraphic* g = FPicture->GetGraphic();
    const int pw = FPicture->GetWidth(), ph = FPicture->GetHeight();
    if (!g || g->Empty() || pw <= 0 || ph <= 0) {
        if (IsDesigning) {
            TFont* f = Canvas->GetFont();
            f->SetName("Tahoma");
            f->SetSize(8);
            f->SetStyle({});
            f->SetColor(clBlack);
            f->SetCharset(rpCharset);
            Canvas->TextOut(X + 20, Y + 3, rpResources().Get("obPicture"));
            TBitmap empty;
            if (rpLoadBitmapResource("rpEMPTY", empty) && !empty.Empty())
                Canvas->Draw(X + 1, Y + 2, &empty);
        }
    } else if (Stretched) {
        if (KeepAspectRatio) {
            const Extended kx = static_cast<Extended>(DX) / pw, ky = static_cast<Extended>(DY) / ph;
            if (ky > kx)
                r.Bottom = r.Top + rpDevRound(ph * kx);
            else
                r.Right = r.Left + rpDevRound(pw * ky);
            if (Center) {
                const int w = r.Right - r.Left, h = r.Bottom - r.Top;
                r = Rect(r.Left + (DX - w) / 2, r.Top + (DY - h) / 2, r.Right + (DX - w) / 2, r.Bottom + (DY - h) / 2);
            }
        }
        rpDrawGraphic(Canvas, r, g);
    } else {
        const int w = rpDevRound(pw * ScaleX), h = rpDevRound(ph * ScaleY);
        if (Center) {
            r.Left += (DX - w) / 2;
            r.Top += (DY - h) / 2;
        }
        r.Right = r.Left + w;
        r.Bottom = r.Top + h;
        rpDrawGraphic(Canvas, r, g);
    }
    DrawFrame();
}

AnsiString TrpPictureView::Diff(TrpComponent* AObj)
{
    AnsiString r;
    if (PictureChangedFlag) {
        TMemoryStream ms;
        {
            TWriter w(ms);
            FPicture->DefineProperties(&w);
        }
        if (ms.GetSize() > 0)
            r = "Picture.PropData=\"" + rpStreamToString(ms) + "\"";
    }
    return r + " " + InternalDiff(AObj);
}

bool rpLoadPictureFromBlob(TPicture* Picture, const AnsiString& Blob)
{
    auto u8 = [&](size_t i) { return static_cast<uint8_t>(Blob[i]); };
    auto u16 = [&](size_t i) { return static_cast<uint32_t>(u8(i) | (u8(i + 1) << 8)); };
    auto u32 = [&](size_t i) { return u16(i) | (u16(i + 2) << 16); };
    if (Blob.empty()) {
        Picture->SetGraphic(static_cast<TGraphic*>(nullptr));
        return false;
    }
    size_t p = 0;
    if (Blob.size() >= 8 && u16(0) == 1 && u16(2) == 256 && u32(4) == Blob.size() - 8)
        p = 8;
    const size_t left = Blob.size() - p;
    TGraphicClass cls = nullptr;
    if (left >= 14 && u16(p) == 19778)
        cls = TBitmap::StaticClass();
    else if (left >= 2 && u8(p) == 0xFF && u8(p + 1) == 0xD8)
        cls = GraphicClassByName("TJPEGImage");
    else if (left >= 22 && u32(p) == 2596720087u)
        cls = GraphicClassByName("TMetafile");
    else if (left > 100 && std::memcmp(Blob.data() + p + 40, " EMF", 4) == 0)
        cls = GraphicClassByName("TMetafile");
    else if (left >= 6 && u16(p + 2) < 2)
        cls = TIcon::StaticClass();
    if (!cls) {
        Picture->SetGraphic(static_cast<TGraphic*>(nullptr));
        return false;
    }
    std::unique_ptr<TGraphic> g = NewGraphic(cls);
    if (!g) {
        Picture->SetGraphic(static_cast<TGraphic*>(nullptr));
        return false;
    }
    TMemoryStream ms;
    ms.WriteBuffer(Blob.data() + p, static_cast<int64_t>(left));
    ms.SetPosition(0);
    try {
        g->LoadFromStream(ms);
    } catch (const EInvalidGraphic&) {
        Picture->SetGraphic(static_cast<TGraphic*>(nullptr));
        return false;
    }
    Picture->SetGraphic(std::move(g));
    return true;
}

void TrpPictureView::GetData()
{
    TrpView::GetData();
    if (!IsDataField() || !GetDataSet()->IsBlobField(GetDataField()))
        return;
    TMemoryStream ms;
    GetDataSet()->AssignBlobTo(GetDataField(), &ms);
    AnsiString blob(static_cast<size_t>(ms.GetSize()), '\0');
    ms.SetPosition(0);
    if (!blob.empty())
        ms.ReadBuffer(blob.data(), static_cast<int64_t>(blob.size()));
    rpLoadPictureFromBlob(FPicture.get(), blob);
}

// ---------------------------------------------------------------- TrpSubreport

SKLAD_DEFINE_CLASS(TrpSubreport)
void TrpSubreport::Publish(TPropertyTable& t)
{
    t.Prop("Page", &TrpSubreport::GetSubPage, &TrpSubreport::SetSubPage);
    t.Prop("PrintOnParent", &TrpSubreport::PrintOnParent, &TrpSubreport::PrintOnParent).Default(false);
}

TrpSubreport::TrpSubreport(TComponent* AOwner) : TrpView(AOwner)
{
    GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    Color = clSilver;
}

TrpSubreport::~TrpSubreport()
{
    if (FPage && FPage->SubReport == this)
        FPage->SubReport = nullptr;
}

void TrpSubreport::SetSubPage(TrpReportPage* Value)
{
    if (FPage == Value)
        return;
    if (FPage && FPage->SubReport == this)
        FPage->SubReport = nullptr;
    FPage.Set(Value);
    if (FPage)
        FPage->SubReport = this;
}

void TrpSubreport::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpView::Notification(AComponent, Operation);
    FPage.Forget(AComponent, Operation);
}

AnsiString TrpSubreport::GetDescription() const { return rpResources().Get("obSubRep"); }

void TrpSubreport::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    TrpView::Draw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (!Canvas)
        return;
    Canvas->GetFont()->Assign(GetFont());
    Canvas->TextOut(X + 2, Y + 2, Name());
}
