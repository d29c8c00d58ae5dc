// rpDMPClass.cpp - dot-matrix page, text and line objects.
#include "report/model/rpDMPClass.h"

#include "report/model/rpRes.h"

#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace {
Extended RoundTo(Extended v, Extended cell) { return static_cast<Extended>(Round(v / cell)) * cell; }
// A value on a cell edge stays there: 144 / 9.6 comes out a hair below 15, and without the
// tolerance a right-aligned text (or a line set on an edge) would drop a whole cell, again
// at every load of the template.
Extended TruncTo(Extended v, Extended cell)
{
    const Extended q = std::trunc(v / cell);
    const Extended next = q + (v < 0 ? -1 : 1);
    return FloatsDiffer(next * cell, v) ? q * cell : next * cell;
}

void ApplyDMPStyle(TFont* f, TrpDMPFontStyles s)
{
    TNotifyEvent saved = f->OnChange;
    f->OnChange = nullptr;  // the font of a dot-matrix object is not "its own" font
    f->SetName("Courier New");
    f->SetSize(12);
    TFontStyles st;
    if (s.Contains(fsxBold))
        st.Include(fsBold);
    if (s.Contains(fsxItalic))
        st.Include(fsItalic);
    if (s.Contains(fsxUnderline))
        st.Include(fsUnderline);
    f->SetStyle(st);
    f->OnChange = saved;
}

AnsiString FontStyleDiff(TrpDMPFontStyles a, TrpDMPFontStyles b)
{
    if (a == b)
        return {};
    return " FontStyle=\"" + IntToStr(static_cast<int>(a.Bits())) + "\"";
}
}  // namespace

// ---------------------------------------------------------------- text

SKLAD_DEFINE_CLASS(TrpDMPMemoView)
void TrpDMPMemoView::Publish(TPropertyTable& t)
{
    using C = TrpDMPMemoView;
    t.Prop("AutoWidth", &C::AutoWidth, &C::AutoWidth).Default(false);
    t.Prop("AllowExpressions", &C::AllowExpressions, &C::AllowExpressions).Default(true);
    t.Prop("DataField", &C::GetDataField, &C::SetDataField);
    t.Prop("DataSet", &C::GetDataSet, &C::SetDataSet);
    t.Prop("DataSetName", &C::GetDataSetName, &C::SetDataSetName);
    t.Prop("DisplayFormat", &C::GetDisplayFormat, &C::SetDisplayFormat);
    t.Prop("ExpressionDelimiters", &C::ExpressionDelimiters, &C::ExpressionDelimiters).Stored(&C::IsDelimitersStored);
    t.Prop("FontStyle", &C::GetFontStyle, &C::SetFontStyle).Stored(&C::IsFontStyleStored);
    t.Prop("Frame", &C::GetFrame, &C::SetFrame);
    t.Prop("HAlign", &C::HAlign, &C::HAlign).Default(haLeft);
    t.Prop("HideZeros", &C::HideZeros, &C::HideZeros).Default(false);
    t.Prop("Memo", &C::GetMemo, &C::SetMemo);
    t.Prop("ParentFont", &C::GetParentFont, &C::SetParentFont).Default(true);
    t.Prop("RTLReading", &C::RTLReading, &C::RTLReading).Default(false);
    t.Prop("SuppressRepeated", &C::SuppressRepeated, &C::SuppressRepeated).Default(false);
    t.Prop("WordWrap", &C::WordWrap, &C::WordWrap).Default(true);
    t.Prop("VAlign", &C::VAlign, &C::VAlign).Default(vaTop);
}

TrpDMPMemoView::TrpDMPMemoView(TComponent* AOwner) : TrpCustomMemoView(AOwner)
{
    // The base constructor took the parent's font before this class's SetParentFont could
    // run: an object made on a band of a dot-matrix page (or read from a template) takes
    // the page's style now.
    if (Parent())
        SetParentFont(GetParentFont());
    ResetFontOptions();
}

void TrpDMPMemoView::ResetFontOptions()
{
    ApplyDMPStyle(GetFont(), FFontStyle);
    CharSpacing = 0;
    LineSpacing = 1;
    GapX = 0;
    GapY = 0;
}

void TrpDMPMemoView::SetFontStyle(TrpDMPFontStyles Value)
{
    FFontStyle = Value;
    TrpCustomMemoView::SetParentFont(false);
    ResetFontOptions();
}

void TrpDMPMemoView::SetParentFont(bool Value)
{
    TrpCustomMemoView::SetParentFont(Value);
    if (Value)
        if (auto* page = dynamic_cast<TrpDMPPage*>(GetPage())) {
            FFontStyle = page->GetFontStyle();
            ResetFontOptions();
        }
}

void TrpDMPMemoView::SetLeft(Extended Value)
{
    TrpCustomMemoView::SetLeft(Align == baRight ? TruncTo(Value, rpCharX) : RoundTo(Value, rpCharX));
}
void TrpDMPMemoView::SetTop(Extended Value) { TrpCustomMemoView::SetTop(RoundTo(Value, rpCharY)); }
void TrpDMPMemoView::SetWidth(Extended Value) { TrpCustomMemoView::SetWidth(RoundTo(Value, rpCharX)); }
void TrpDMPMemoView::SetHeight(Extended Value) { TrpCustomMemoView::SetHeight(RoundTo(Value, rpCharY)); }

Extended TrpDMPMemoView::CalcHeight() { return RoundTo(TrpCustomMemoView::CalcHeight(), rpCharY); }
Extended TrpDMPMemoView::CalcWidth() { return RoundTo(TrpCustomMemoView::CalcWidth(), rpCharX); }

AnsiString TrpDMPMemoView::Diff(TrpComponent* AObj)
{
    AnsiString r = TrpCustomMemoView::Diff(AObj);
    if (auto* o = dynamic_cast<TrpDMPMemoView*>(AObj))
        r += FontStyleDiff(FFontStyle, o->FFontStyle);
    return r;
}

AnsiString TrpDMPMemoView::GetDescription() const { return rpResources().Get("obDMPText"); }

void TrpDMPMemoView::DrawFrame()
{
    // The frame runs through the middle of the surrounding cells.
    const Extended l = GetAbsLeft(), t = GetAbsTop();
    const int sx = X, sy = Y, sx1 = X1, sy1 = Y1;
    X = rpDevRound((l - 4.8L) * ScaleX + OffsetX);
    Y = rpDevRound((t - 8.5L) * ScaleY + OffsetY);
    X1 = rpDevRound((l + FWidth + 4.8L) * ScaleX + OffsetX);
    Y1 = rpDevRound((t + FHeight + 8.5L) * ScaleY + OffsetY);
    TrpCustomMemoView::DrawFrame();
    X = sx, Y = sy, X1 = sx1, Y1 = sy1;
}

// ---------------------------------------------------------------- line

SKLAD_DEFINE_CLASS(TrpDMPLineView)
void TrpDMPLineView::Publish(TPropertyTable& t)
{
    t.Prop("Diagonal", &TrpDMPLineView::Diagonal, &TrpDMPLineView::Diagonal).Default(false);
    t.Prop("Frame", &TrpDMPLineView::GetFrame, &TrpDMPLineView::SetFrame);
    t.Prop("FontStyle", &TrpDMPLineView::GetFontStyle, &TrpDMPLineView::SetFontStyle)
        .Stored(&TrpDMPLineView::IsFontStyleStored);
    t.Prop("ParentFont", &TrpDMPLineView::GetParentFont, &TrpDMPLineView::SetParentFont).Default(true);
}

TrpDMPLineView::TrpDMPLineView(TComponent* AOwner) : TrpCustomLineView(AOwner)
{
    if (Parent())
        SetParentFont(GetParentFont());  // the page's style, as for the text object
}

void TrpDMPLineView::SetFontStyle(TrpDMPFontStyles Value)
{
    FFontStyle = Value;
    TrpCustomLineView::SetParentFont(false);
}

void TrpDMPLineView::SetParentFont(bool Value)
{
    TrpCustomLineView::SetParentFont(Value);
    if (Value)
        if (auto* page = dynamic_cast<TrpDMPPage*>(GetPage()))
            FFontStyle = page->GetFontStyle();
}

void TrpDMPLineView::SetLeft(Extended Value) { TrpCustomLineView::SetLeft(TruncTo(Value, rpCharX) + 4.8L); }
void TrpDMPLineView::SetTop(Extended Value) { TrpCustomLineView::SetTop(TruncTo(Value, rpCharY) + 8.5L); }

AnsiString TrpDMPLineView::Diff(TrpComponent* AObj)
{
    AnsiString r = TrpCustomLineView::Diff(AObj);
    if (auto* o = dynamic_cast<TrpDMPLineView*>(AObj))
        r += FontStyleDiff(FFontStyle, o->FFontStyle);
    return r;
}

AnsiString TrpDMPLineView::GetDescription() const { return rpResources().Get("obDMPLine"); }

// ---------------------------------------------------------------- page

SKLAD_DEFINE_CLASS(TrpDMPPage)
void TrpDMPPage::Publish(TPropertyTable& t)
{
    t.Prop("FontStyle", &TrpDMPPage::GetFontStyle, &TrpDMPPage::SetFontStyle).NoDefault();
}

TrpDMPPage::TrpDMPPage(TComponent* AOwner) : TrpReportPage(AOwner)
{
    ResetFontOptions();
    SetPaperSize(FPaperSize);
}

void TrpDMPPage::ResetFontOptions() { ApplyDMPStyle(GetFont(), FFontStyle); }

void TrpDMPPage::SetFontStyle(TrpDMPFontStyles Value)
{
    FFontStyle = Value;
    ResetFontOptions();
    for (TrpComponent* c : GetAllObjects())
        if (c->GetParentFont())
            c->SetParentFont(true);
}

void TrpDMPPage::SetDefaults()
{
    TrpReportPage::SetDefaults();
    LeftMargin = RightMargin = 2.5399983595843927L;
    TopMargin = BottomMargin = 4.497913761764029L;
    FPaperWidth = TruncTo(FPaperWidth * rpMMToUnits, rpCharX) / rpMMToUnits;
    FPaperHeight = TruncTo(FPaperHeight * rpMMToUnits, rpCharY) / rpMMToUnits;
    UpdateDimensions();
}

void TrpDMPPage::SetPaperWidth(Extended Value)
{
    TrpReportPage::SetPaperWidth(Value);
    FPaperWidth = RoundTo(FPaperWidth * rpMMToUnits, rpCharX) / rpMMToUnits;
    UpdateDimensions();
}

void TrpDMPPage::SetPaperHeight(Extended Value)
{
    TrpReportPage::SetPaperHeight(Value);
    FPaperHeight = RoundTo(FPaperHeight * rpMMToUnits, rpCharY) / rpMMToUnits;
    UpdateDimensions();
}

void TrpDMPPage::SetPaperSize(int Value)
{
    TrpReportPage::SetPaperSize(Value);
    FPaperWidth = RoundTo(FPaperWidth * rpMMToUnits, rpCharX) / rpMMToUnits;
    FPaperHeight = RoundTo(FPaperHeight * rpMMToUnits, rpCharY) / rpMMToUnits;
    UpdateDimensions();
}
