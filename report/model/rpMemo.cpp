// rpMemo.cpp - memo views: properties, filling the text, formats.
#include "report/model/rpMemo.h"

#include "report/model/rpClass.h"
#include "report/model/rpRes.h"
#include "report/model/rpStyles.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/SysUtils.h"

// ---------------------------------------------------------------- classes and properties

namespace {

template <class C>
void PublishMemo(TPropertyTable& t, bool Full)
{
    t.Prop("AutoWidth", &C::AutoWidth, &C::AutoWidth).Default(false);
    if (Full) {
        t.Prop("AllowExpressions", &C::AllowExpressions, &C::AllowExpressions).Default(true);
        t.Prop("AllowHTMLTags", &C::AllowHTMLTags, &C::AllowHTMLTags).Default(false);
    }
    t.Prop("BrushStyle", &C::BrushStyle, &C::BrushStyle).Default(bsSolid);
    t.Prop("CharSpacing", &C::CharSpacing, &C::CharSpacing).Stored(&C::IsCharSpacingStored);
    if (Full)
        t.Prop("Clipped", &C::Clipped, &C::Clipped).Default(true);
    t.Prop("Color", &C::Color, &C::Color).Type("TColor").Default(clNone);
    if (Full) {
        t.Prop("DataField", &C::GetDataField, &C::SetDataField);
        t.Prop("DataSet", &C::GetDataSet, &C::SetDataSet);
        t.Prop("DataSetName", &C::GetDataSetName, &C::SetDataSetName);
    }
    t.Prop("DisplayFormat", &C::GetDisplayFormat, &C::SetDisplayFormat);
    if (Full) {
        t.Prop("ExpressionDelimiters", &C::ExpressionDelimiters, &C::ExpressionDelimiters)
            .Stored(&C::IsDelimitersStored);
        t.Prop("FlowTo", &C::GetFlowTo, &C::SetFlowTo);
    }
    t.Prop("Font", &C::GetFont, &C::SetFont).Stored(&C::IsFontStored);
    t.Prop("Frame", &C::GetFrame, &C::SetFrame);
    t.Prop("GapX", &C::GapX, &C::GapX).Stored(&C::IsGapXStored);
    t.Prop("GapY", &C::GapY, &C::GapY).Stored(&C::IsGapYStored);
    t.Prop("HAlign", &C::HAlign, &C::HAlign).Default(haLeft);
    t.Prop("HideZeros", &C::HideZeros, &C::HideZeros).Default(false);
    t.Prop("Highlight", &C::GetHighlight, &C::SetHighlight).Stored(&C::IsHighlightStored);
    if (Full)
        t.Prop("LineSpacing", &C::LineSpacing, &C::LineSpacing).Stored(&C::IsLineSpacingStored);
    t.Prop("Memo", &C::GetMemo, &C::SetMemo);
    if (Full)
        t.Prop("ParagraphGap", &C::ParagraphGap, &C::ParagraphGap).Stored(&C::IsParagraphGapStored);
    t.Prop("ParentFont", &C::GetParentFont, &C::SetParentFont).Default(true);
    t.Prop("Rotation", &C::GetRotation, &C::SetRotation).Default(0);
    t.Prop("RTLReading", &C::RTLReading, &C::RTLReading).Default(false);
    t.Prop("Style", &C::GetStyle, &C::SetStyle);
    t.Prop("SuppressRepeated", &C::SuppressRepeated, &C::SuppressRepeated).Default(false);
    if (Full) {
        t.Prop("Underlines", &C::Underlines, &C::Underlines).Default(false);
        t.Prop("WordBreak", &C::WordBreak, &C::WordBreak).Default(false);
        t.Prop("WordWrap", &C::WordWrap, &C::WordWrap).Default(true);
    }
    t.Prop("VAlign", &C::VAlign, &C::VAlign).Default(vaTop);
}

bool IsZero(const Variant& V)
{
    if (VarIsStr(V) || VarIsNull(V) || VarIsEmpty(V) || !VarIsNumeric(V))
        return false;
    try {
        return V.AsDouble() == 0;
    } catch (const std::exception&) {
        return false;
    }
}

// Every occurrence of Marker (upper case; the text is matched in any case)
// replaced by Value, in one pass: the text is upper-cased once and copied once.
AnsiString ReplaceMarker(const AnsiString& Text, const AnsiString& Marker, const AnsiString& Value)
{
    const AnsiString upper = UpperCase(Text);
    size_t at = upper.find(Marker);
    if (at == AnsiString::npos)
        return Text;
    AnsiString out;
    out.reserve(Text.size());
    size_t from = 0;
    for (; at != AnsiString::npos; at = upper.find(Marker, from)) {
        out.append(Text, from, at - from);
        out += Value;
        from = at + Marker.size();
    }
    out.append(Text, from, AnsiString::npos);
    return out;
}

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TrpCustomMemoView)
void TrpCustomMemoView::Publish(TPropertyTable&) {}

SKLAD_DEFINE_CLASS(TrpMemoView)
void TrpMemoView::Publish(TPropertyTable& t) { PublishMemo<TrpMemoView>(t, true); }

SKLAD_DEFINE_CLASS(TrpSysMemoView)
void TrpSysMemoView::Publish(TPropertyTable& t) { PublishMemo<TrpSysMemoView>(t, false); }

AnsiString TrpSysMemoView::GetDescription() const { return rpResources().Get("obSysText"); }

TrpCustomMemoView::TrpCustomMemoView(TComponent* AOwner) : TrpStretcheable(AOwner) { InitMemo(); }
TrpCustomMemoView::TrpCustomMemoView(TComponent* AOwner, uint16_t Flags) : TrpStretcheable(AOwner, Flags)
{
    InitMemo();
}

void TrpCustomMemoView::InitMemo()
{
    FDisplayFormat = std::make_unique<TrpFormat>();
    FHighlight = std::make_unique<TrpHighlight>();
    FMemo = std::make_unique<TStringList>();
    FullDiff = false;
}

TrpCustomMemoView::~TrpCustomMemoView() = default;

AnsiString TrpCustomMemoView::GetDescription() const { return rpResources().Get("obText"); }

void TrpCustomMemoView::SetFlowTo(TrpCustomMemoView* Value)
{
    if (Value == this)
        Value = nullptr;  // flowing into itself would split forever
    FFlowTo.Set(Value);
}

void TrpCustomMemoView::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpStretcheable::Notification(AComponent, Operation);
    FFlowTo.Forget(AComponent, Operation);
}

void TrpCustomMemoView::SetStyle(const AnsiString& Value)
{
    FStyle = Value;
    if (TrpReport* report = rpReportOf(this))
        ApplyStyle(report->GetStyles()->Find(Value));
}

void TrpCustomMemoView::ApplyStyle(TrpStyleItem* Item)
{
    if (!Item)
        return;
    Color = Item->Color;
    SetFont(Item->GetFont());
    SetFrame(Item->GetFrame());
}

// ---------------------------------------------------------------- printing

void TrpCustomMemoView::BeforePrint()
{
    TrpStretcheable::BeforePrint();
    if (!IsDataField())
        SavedText = GetText();
}

void TrpCustomMemoView::AfterPrint()
{
    if (!IsDataField())
        SetText(SavedText);
    TrpStretcheable::AfterPrint();
}

void TrpCustomMemoView::GetData()
{
    TrpStretcheable::GetData();
    TrpReport* report = rpReportOf(this);
    if (IsDataField()) {
        TrpDataSet* ds = GetDataSet();
        if (ds->IsBlobField(GetDataField())) {
            ds->AssignBlobTo(GetDataField(), FMemo.get());
        } else {
            Value = ds->GetValue(GetDataField());
            if (FDisplayFormat->Kind == fkText)
                SetText(ds->GetDisplayText(GetDataField()));
            else
                SetText(FormatData(Value));
            if (HideZeros && IsZero(Value))
                SetText(AnsiString());
        }
    } else if (AllowExpressions) {
        AnsiString out;
        if (ExpandExpressions(GetText(), out))
            SetText(out);
    }
    if (report)
        report->SetLocalValue(Value);
    FHighlight->Active = false;
    if (report && !FHighlight->Condition.empty()) {
        const Variant c = report->Calc(FHighlight->Condition);
        try {
            FHighlight->Active = !VarIsNull(c) && !VarIsEmpty(c) && c.AsBoolean();
        } catch (const std::exception& e) {
            // A condition that gives no Boolean is an expression error of this memo.
            const AnsiString error =
                Name() + ": " + rpResources().Get("clExprError") + " '" + FHighlight->Condition + "': " + e.what();
            report->Errors.Add(error);
            throw Exception(error);
        }
    }
    if (SuppressRepeated) {
        const AnsiString text = GetText();
        if (!VarIsNull(LastText) && VarToStr(LastText) == text)
            SetText(AnsiString());
        else
            LastText = Variant(text);
    }
    if (FFlowTo) {
        InitPart();
        DrawPart();
        if (AllowHTMLTags && !FFlowTo->AllowHTMLTags) {
            // The rest is mark-up here, styles re-opened in front: a memo that shows tags as
            // typed gets the text they leave.
            TStringList lines;
            lines.SetText(RestText);
            TrpHTMLTagsList tags;
            for (int i = 0; i < lines.Count(); ++i) {
                AnsiString line = lines[i];
                tags.ExpandHTMLTags(line);
                lines.Put(i, line);
            }
            FFlowTo->SetMemo(&lines);
        } else {
            FFlowTo->SetText(RestText);
        }
        FFlowTo->AllowExpressions = false;
    }
}

bool TrpCustomMemoView::ExpandExpressions(const AnsiString& s, AnsiString& out)
{
    const size_t comma = ExpressionDelimiters.find(',');
    const AnsiString open = comma == AnsiString::npos ? ExpressionDelimiters : ExpressionDelimiters.substr(0, comma);
    const AnsiString close = comma == AnsiString::npos ? AnsiString() : ExpressionDelimiters.substr(comma + 1);
    if (open.empty() || close.empty() || s.find(open) == AnsiString::npos)
        return false;
    // The result is built in a second string: the scan reads the template text left to
    // right once, and a value is never scanned again, so the work stays linear in the
    // length of the text however many brackets it holds.
    out.clear();
    out.reserve(s.size());
    size_t from = 0;
    for (;;) {
        const size_t at = s.find(open, from);
        if (at == AnsiString::npos)
            break;
        int i = static_cast<int>(at) + 1, j = i;
        const AnsiString expr = rpGetBrackedVariable(s, open, close, i, j);
        // Only a complete bracket counts: "[abc" stays as typed.
        if (i == j || j < static_cast<int>(close.size()) ||
            s.compare(static_cast<size_t>(j) - close.size(), close.size(), close) != 0)
            break;
        out.append(s, from, static_cast<size_t>(i - 1) - from);
        out += CalcAndFormat(expr);
        from = static_cast<size_t>(j);
    }
    out.append(s, from, AnsiString::npos);
    return true;
}

AnsiString TrpCustomMemoView::StoredText(const AnsiString& Text, bool Whole)
{
    TStringList lines;
    lines.SetText(Text);
    if (Whole)
        return rpLinesText(lines);
    if (lines.Count() == 0)
        return {};
    if (lines.Count() == 1)
        return lines.Strings(0);
    return rpLinesText(lines);
}

void rpParseInlineFormat(const AnsiString& f, TrpFormat& Format)
{
    Format.Kind = fkText;
    Format.DecimalSeparator.clear();
    Format.ThousandSeparator.clear();
    Format.FormatStr.clear();
    if (f.empty())
        return;
    AnsiString str = f.substr(1);
    switch (f[0]) {
    case 'N': case 'n': {
        Format.Kind = fkNumeric;
        // The last separator is the decimal one. In a picture the ones before it separate
        // thousands ("#,##0.00" prints 1,234.50), printed as the first of them is written;
        // as decimal points they would make a second fraction. A format string ("%") keeps
        // them all as points.
        const bool picture = str.find('%') == AnsiString::npos;
        size_t last = AnsiString::npos;
        for (size_t i = 0; i < str.size(); ++i)
            if (str[i] == ',' || str[i] == '-' || str[i] == '.')
                last = i;
        if (last != AnsiString::npos)
            Format.DecimalSeparator = AnsiString(1, str[last]);
        for (size_t i = 0; i < str.size(); ++i) {
            char& c = str[i];
            if (c != ',' && c != '-' && c != '.')
                continue;
            if (picture && i < last) {
                if (Format.ThousandSeparator.empty())
                    Format.ThousandSeparator = AnsiString(1, c);
                c = ',';
            } else {
                c = '.';
            }
        }
        break;
    }
    case 'D': case 'd': case 'T': case 't': Format.Kind = fkDateTime; break;
    case 'B': case 'b': Format.Kind = fkBoolean; break;
    default: break;
    }
    Format.FormatStr = str;
}

AnsiString TrpCustomMemoView::CalcAndFormat(const AnsiString& Expr)
{
    AnsiString expr = Expr;
    TrpFormat inlineFormat;
    TrpFormat* format = nullptr;
    const size_t sharp = Expr.find(" #");
    if (sharp != AnsiString::npos) {
        expr = Expr.substr(0, sharp);
        rpParseInlineFormat(Expr.substr(sharp + 2), inlineFormat);
        format = &inlineFormat;
    }
    if (SameText(Trim(expr), "TOTALPAGES#")) {
        Value = Variant(AnsiString("[TotalPages#]"));
    } else {
        TrpReport* report = rpReportOf(this);
        Value = report ? report->Calc(expr) : Null();
    }
    try {
        if (HideZeros && IsZero(Value))
            return {};
        return FormatData(Value, format);
    } catch (const std::exception& e) {
        // A value that prints as no text (an array) is this expression's error, named as
        // the errors of Calc are.
        if (TrpReport* report = rpReportOf(this))
            report->RaiseExpressionError(expr, e.what());
        throw;
    }
}

AnsiString TrpCustomMemoView::FormatData(const Variant& V, TrpFormat* Fmt)
{
    if (!Fmt)
        Fmt = FDisplayFormat.get();
    if (VarIsNull(V) || VarIsEmpty(V))
        return {};
    try {
        switch (Fmt->Kind) {
        case fkText:
            return rpValueToStr(V);
        case fkNumeric: {
            TFormatSettings fs = FormatSettings();
            if (Fmt->DecimalSeparator.size() == 1)
                fs.DecimalSeparator = Fmt->DecimalSeparator[0];
            if (Fmt->ThousandSeparator.size() == 1)
                fs.ThousandSeparator = Fmt->ThousandSeparator[0];
            const double d = V.AsDouble();
            if (Fmt->FormatStr.empty())
                return FloatToStr(d, fs);
            // A picture ("#,##0.00", "0.00") formats by picture; only a text with a "%"
            // specifier is a format string ("%2.2f"), so "0.00" never prints as itself.
            if (Fmt->FormatStr[0] == '#' || Fmt->FormatStr.find('%') == AnsiString::npos)
                return FormatFloat(Fmt->FormatStr, d, fs);
            return Format(Fmt->FormatStr, {d}, fs);
        }
        case fkDateTime:
            return FormatDateTime(Fmt->FormatStr, VarToDateTime(V));
        case fkBoolean: {
            const size_t comma = Fmt->FormatStr.find(',');
            const AnsiString yes = Fmt->FormatStr.substr(0, comma);
            const AnsiString no = comma == AnsiString::npos ? AnsiString() : Fmt->FormatStr.substr(comma + 1);
            bool truth = false;
            if (VarIsStr(V))
                truth = SameText(VarToStr(V), "True");
            else
                truth = V.AsBoolean();
            return truth ? yes : no;
        }
        }
    } catch (const std::exception&) {
    }
    return rpValueToStr(V);
}

void TrpCustomMemoView::ExtractTotalPages()
{
    if (!AllowExpressions)
        return;
    // Every marker goes: one left over would print as typed on the paper.
    const AnsiString s = GetText();
    const AnsiString replaced = ReplaceMarker(s, "[TOTALPAGES#]", IntToStr(PageTotal));
    if (replaced != s)
        SetText(replaced);
}

AnsiString TrpCustomMemoView::GetComponentText()
{
    const AnsiString s = GetText();
    if (!AllowExpressions)
        return s;
    return ReplaceMarker(s, "[TOTALPAGES]", IntToStr(PageTotal));
}
