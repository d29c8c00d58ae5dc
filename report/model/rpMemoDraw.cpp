// rpMemoDraw.cpp - memo views: measuring, splitting, drawing and the prepared-page
// attribute text. Every operation holds the text-layout object's lock for its whole length.
#include "report/model/rpMemo.h"

#include "report/model/rpClass.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

TrpDrawText& TrpCustomMemoView::DrawTextObject() const
{
    if (TrpReport* report = rpReportOf(this))
        if (TrpDrawText* dt = report->GetDrawText())
            return *dt;
    return rpDrawText();
}

Extended TrpCustomMemoView::AdjustCalcWidth() const
{
    const TrpFrame* f = GetFrame();
    Extended r = 2 * GapX;
    if (f->Typ.Contains(ftLeft))
        r += (f->Width - 1) / 2;
    if (f->Typ.Contains(ftRight))
        r += f->Width / 2;
    if (f->DropShadow)
        r += f->ShadowWidth;
    return r;
}

Extended TrpCustomMemoView::AdjustCalcHeight() const
{
    const TrpFrame* f = GetFrame();
    Extended r = 2 * GapY;
    if (f->Typ.Contains(ftTop))
        r += (f->Width - 1) / 2;
    if (f->Typ.Contains(ftBottom))
        r += f->Width / 2;
    if (f->DropShadow)
        r += f->ShadowWidth;
    return r;
}

void TrpCustomMemoView::BeginDraw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX,
                                  Extended AOffsetY)
{
    TrpStretcheable::BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    const TrpFrame* f = GetFrame();
    const Extended fw = f->Width;
    int l = X, t = Y, r = X1, b = Y1;
    if (f->Typ.Contains(ftLeft))
        l += rpDevRound((fw * ScaleX - 1) / 2);
    if (f->Typ.Contains(ftTop))
        t += rpDevRound((fw * ScaleY - 1) / 2);
    if (f->Typ.Contains(ftRight))
        r -= rpDevRound(fw * ScaleX / 2);
    if (f->Typ.Contains(ftBottom))
        b -= rpDevRound(fw * ScaleY / 2);
    const int gx = rpDevRound(GapX * ScaleX), gy = rpDevRound(GapY * ScaleY);
    TextRect = TRect{l + gx, t + gy, r - gx + 1, b - gy + 1};
}

void TrpCustomMemoView::SetFontParams(TrpDrawText& dt)
{
    if (FHighlight->Active) {
        dt.SetFont(FHighlight->GetFont());
        Color = FHighlight->Color;
    } else {
        dt.SetFont(GetFont());
    }
    dt.SetOptions(WordWrap, AllowHTMLTags, RTLReading, WordBreak, Clipped, FRotation);
    dt.SetGaps(ParagraphGap, CharSpacing, LineSpacing);
}

void TrpCustomMemoView::SetDrawParams(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX,
                                      Extended AOffsetY)
{
    TrpDrawText& dt = DrawTextObject();
    SetFontParams(dt);
    if (AutoWidth && !IsDesigning) {
        const TRect big{0, 0, 10000, 10000};
        dt.SetDimensions(1, 1, big, big);
        dt.SetText(*FMemo);
        const Extended oldWidth = FWidth;
        const Extended newWidth = dt.CalcWidth() + AdjustCalcWidth();
        SetWidth(newWidth);
        if (HAlign == haRight)
            SetLeft(FLeft + oldWidth - FWidth);
        else if (HAlign == haCenter)
            SetLeft(FLeft + (oldWidth - FWidth) / 2);
        if (TrpComponent* p = Parent())
            p->AlignChildren();
    }
    BeginDraw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    const TRect drawRect = TextRect;
    BeginDraw(ACanvas, 1, 1, 0, 0);
    const TRect layoutRect = TextRect;
    dt.SetDimensions(AScaleX, AScaleY, layoutRect, drawRect);
    dt.SetText(*FMemo);
}

void TrpCustomMemoView::Draw(TCanvas* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX,
                             Extended AOffsetY)
{
    AnsiString designText;
    if (!IsDesigning) {
        ExtractTotalPages();
    } else if (IsDataField()) {
        designText = GetText();
        SetText("[" + GetDataSet()->GetUserName() + ".\"" + GetDataField() + "\"]");
    }
    const TColor savedColor = Color;
    TrpDrawText& dt = DrawTextObject();
    {
        TrpDrawTextLock lock(dt);
        SetDrawParams(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
        TrpStretcheable::Draw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
        if (Canvas && Underlines && FRotation == 0) {
            TPen* pen = Canvas->GetPen();
            pen->SetColor(GetFrame()->Color);
            pen->SetWidth(std::max(FrameWidth, 1));
            pen->SetStyle(psSolid);
            pen->SetMode(pmCopy);
            const Extended step = dt.LineHeight() * ScaleY;
            if (step > 0.5L) {
                for (int k = 1;; ++k) {
                    const Extended y = Y + k * step;
                    if (y >= Y1 || k > 100000)
                        break;
                    const int yy = rpDevRound(y);
                    Canvas->MoveTo(X, yy);
                    Canvas->LineTo(X1, yy);
                }
            }
        }
        if (Canvas)
            dt.DrawText(Canvas, HAlign, VAlign);
    }
    Color = savedColor;
    if (IsDesigning && IsDataField())
        SetText(designText);
}

Extended TrpCustomMemoView::CalcHeight()
{
    TrpDrawText& dt = DrawTextObject();
    TrpDrawTextLock lock(dt);
    const TColor savedColor = Color;
    SetFontParams(dt);
    TRect r{0, 0, 10000, 10000};
    if (!AutoWidth) {
        TCanvas* saved = Canvas;
        BeginDraw(nullptr, 1, 1, 0, 0);
        Canvas = saved;
        r = TextRect;
    }
    dt.SetDimensions(1, 1, r, r);
    dt.SetText(*FMemo);
    Color = savedColor;
    return static_cast<Extended>(Round(dt.CalcHeight() + AdjustCalcHeight()));
}

Extended TrpCustomMemoView::CalcWidth()
{
    TrpDrawText& dt = DrawTextObject();
    TrpDrawTextLock lock(dt);
    const TColor savedColor = Color;
    SetFontParams(dt);
    const TRect r{0, 0, 10000, 10000};
    dt.SetDimensions(1, 1, r, r);
    dt.SetText(*FMemo);
    Color = savedColor;
    return static_cast<Extended>(Round(dt.CalcWidth() + AdjustCalcWidth()));
}

namespace {

// Whether Text[k] opens a font tag ("<font color", any case): the only tag that may hold
// a blank.
bool OpensFontTag(std::string_view Text, size_t k)
{
    static constexpr std::string_view kFont = "FONT COLOR";
    if (Text[k] != '<' || Text.size() - k <= kFont.size())
        return false;
    for (size_t i = 0; i < kFont.size(); ++i)
        if (cp1251::ToUpper(static_cast<unsigned char>(Text[k + 1 + i])) != static_cast<unsigned char>(kFont[i]))
            return false;
    return true;
}

// The longest font tag a cut is kept out of: "<font color", the "=", a colour of up to
// 64 characters (the most the tag reader takes for one) and room for blanks about the "=".
constexpr size_t kLongestFontTag = 160;

// Where the font tag opening at Text[k] ends: just past its ">", or at its line's end when
// a "=" came before that. k when Text[k] opens none, or none within kLongestFontTag (a
// "<font color" never closed is text, however many follow it).
size_t FontTagEnd(std::string_view Text, size_t k)
{
    if (!OpensFontTag(Text, k))
        return k;
    const size_t limit = std::min(Text.size(), k + kLongestFontTag);
    bool eq = false;
    for (size_t p = k + 11; p < limit; ++p) {
        const char c = Text[p];
        if (c == '\n' || c == '\r')
            return eq ? p : k;
        if (c == '=')
            eq = true;
        else if (c == '>' && eq)
            return p + 1;
    }
    return k;
}

// A vowel of the hyphenation rules (twin of IsVowel in rpDrawText.cpp), either case.
bool IsHyphenVowel(char c)
{
    static const std::string_view kVowels = "АЕЁИОУЫЭЮЯ";
    return kVowels.find(char(cp1251::ToUpper(static_cast<unsigned char>(c)))) != std::string_view::npos;
}

// What a cut inside a word must leave after the lines kept: the letters a break looks past
// the overflow, and a tag the cut may split (a font tag is at most kLongestFontTag long),
// all lie in the lines given back.
constexpr size_t kInWordMargin = 2 * kLongestFontTag + 64;

// Where a start of Text at least Want bytes long may end: after a line end, or before a
// blank inside a paragraph (never inside a tag, never right after a line end). The size of
// Text when there is no such place. A blank can be inside a font tag only, from its
// "<font color" to the ">" that closes it in its line; a "<" that opens no font tag (a
// comparison, say), or a "<font color" that closes nowhere near, does not hold the cut
// back, or the rest would be laid out whole for every part.
// Past 2 x Want bytes with no such place the start is cut inside its word, where the
// lines kept cannot tell: without hyphenation anywhere, with it just after a vowel (so a
// vowel still follows every break looked at) or after a mark that ends a word for the
// hyphenation. *InWord tells which cut was made.
size_t PartCut(std::string_view Text, size_t Want, bool Tags, bool Hyphens, bool* InWord)
{
    *InWord = false;
    const size_t start = std::max<size_t>(Want, 1);
    size_t tagEnd = 0;  // a blank before it lies in a font tag
    if (Tags)
        for (size_t k = std::min(start, Text.size()); k-- > 0 && start - k <= kLongestFontTag;) {
            if (Text[k] == '\n' || Text[k] == '\r')
                break;
            tagEnd = std::max(tagEnd, FontTagEnd(Text, k));
        }
    const size_t inWordFrom = start > Text.size() / 2 ? Text.size() : 2 * start;
    for (size_t p = start; p < Text.size(); ++p) {
        const char before = Text[p - 1];
        if (before == '\n')
            return p;
        if (Text[p] == ' ' && before != '\r' && before != ' ' && p >= tagEnd)
            return p;
        if (Tags && Text[p] == '<')
            tagEnd = std::max(tagEnd, FontTagEnd(Text, p));
        if (p >= inWordFrom && before != '\r' && Text[p] != '\r' && Text[p] != '\n' &&
            (!Hyphens || IsHyphenVowel(before) || std::string_view(".,-;").find(before) != std::string_view::npos)) {
            *InWord = true;
            return p;
        }
    }
    return Text.size();
}

}  // namespace

void TrpCustomMemoView::InitPart()
{
    RestText = GetText();
    FPartLayout.reset();
    FPartBytes = 0;
}

Extended TrpCustomMemoView::DrawPart()
{
    const TColor savedColor = Color;
    if (AutoWidth || FloatsDiffer(ParagraphGap, 0) || TrpDrawText::WrapsAlongHeight(FRotation)) {
        // The width follows the text of each part, or the paragraph that goes on in the
        // next part starts there as a new one, or the text runs along the height, which
        // is each part's own: every part is laid out anew. Only the start
        // of the rest is laid out, twice as long each time until some lines are left over,
        // so a long text splits in time linear in its length. Lines are laid out one after
        // another, so every line but the last of a start is the whole text's line too.
        TrpDrawText& dt = DrawTextObject();
        TrpDrawTextLock lock(dt);
        // The automatic width is taken for the layout only. The part keeps the template's
        // place: it takes its width when it is drawn, and moving it here as well would move
        // a right-aligned or centred part twice.
        const Extended savedLeft = FLeft, savedWidth = FWidth;
        const std::string_view rest = RestText.View();
        Extended unused = 0;
        // A part takes about as much as the one before it.
        for (size_t want = std::max<size_t>(FPartBytes + FPartBytes / 4, 4096);; want *= 2) {
            bool inWord = false;
            const size_t cut = PartCut(rest, want, AllowHTMLTags, WordWrap && WordBreak, &inWord);
            const bool whole = cut >= rest.size();
            SetText(AnsiString(whole ? rest : rest.substr(0, cut)));
            SetDrawParams(nullptr, 1, 1, 0, 0);
            unused = dt.UnusedSpace();
            AnsiString out = dt.GetOutBoundsText();
            if (whole) {
                RestText = std::move(out);
                break;
            }
            if (!out.empty() && (!inWord || out.size() >= kInWordMargin)) {
                // Out ends its last line; a paragraph cut in two goes on without a break.
                if (rest[cut - 1] != '\n' && out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
                    out.resize(out.size() - 2);
                FPartBytes = cut - std::min(cut, out.size());
                RestText.ReplaceFront(cut, out);
                break;
            }
        }
        SetText(dt.GetInBoundsText());
        Color = savedColor;
        if (AutoWidth && (FloatsDiffer(FLeft, savedLeft) || FloatsDiffer(FWidth, savedWidth))) {
            SetWidth(savedWidth);
            SetLeft(savedLeft);
            if (TrpComponent* p = Parent())
                p->AlignChildren();
        }
        return unused == 0 ? FHeight : unused;
    }
    // The text is laid out once, when the first part is taken, and each part takes the
    // lines that fit: a long text splits in time linear in its length.
    BeginDraw(nullptr, 1, 1, 0, 0);
    const TRect r = TextRect;
    if (!FPartLayout || FPartWidth != r.Right - r.Left) {
        TStringList lines;
        lines.SetText(RestText);  // read while the layout it may follow is still there
        FPartLayout = std::make_unique<TrpDrawText>();
        FPartWidth = r.Right - r.Left;
        SetFontParams(*FPartLayout);
        FPartLayout->SetDimensions(1, 1, r, r);
        FPartLayout->SetText(lines);
    }
    TrpDrawText& dt = *FPartLayout;  // this memo's own: no lock needed
    dt.SetDimensions(1, 1, r, r);
    const Extended unused = dt.UnusedSpace();
    SetText(dt.TakePart());
    Color = savedColor;
    if (dt.PartsLeft()) {
        RestText.Follow(&dt);
    } else {
        RestText = AnsiString();
        FPartLayout.reset();
    }
    return unused == 0 ? FHeight : unused;
}

Extended TrpCustomMemoView::PartOverhead()
{
    // A part's lines fill its layout rectangle, one unit more than its height (see
    // UnusedSpace); the rest of the height goes to frame, gaps and shadow.
    TCanvas* saved = Canvas;
    BeginDraw(nullptr, 1, 1, 0, 0);
    Canvas = saved;
    const Extended usable = Extended(TextRect.Bottom) - TextRect.Top + 1;
    return std::max<Extended>(0, FHeight - usable);
}

AnsiString TrpCustomMemoView::WrapText(bool WrapWords)
{
    TrpDrawText& dt = DrawTextObject();
    TrpDrawTextLock lock(dt);
    const TColor savedColor = Color;
    SetDrawParams(nullptr, 1, 1, 0, 0);
    Color = savedColor;
    return WrapWords ? dt.GetWrappedText() : dt.DeleteTags(GetText());
}

AnsiString TrpCustomMemoView::Diff(TrpComponent* AObj)
{
    AnsiString r = TrpStretcheable::Diff(AObj);
    auto* o = dynamic_cast<TrpCustomMemoView*>(AObj);
    if (!o)
        return r;
    auto put = [&](const char* name, const AnsiString& value) { r += AnsiString(" ") + name + "=\"" + value + "\""; };
    auto flt = [](Extended v) { return FloatToStr(static_cast<double>(v)); };
    auto b = [](bool v) { return rpValueToXML(Variant(v)); };
    if (AutoWidth != o->AutoWidth)
        put("AutoWidth", b(AutoWidth));
    if (FloatsDiffer(CharSpacing, o->CharSpacing))
        put("CharSpacing", flt(CharSpacing));
    if (FloatsDiffer(GapX, o->GapX))
        put("GapX", flt(GapX));
    if (FloatsDiffer(GapY, o->GapY))
        put("GapY", flt(GapY));
    if (HAlign != o->HAlign)
        put("HAlign", rpValueToXML(Variant(static_cast<int>(HAlign))));
    if (FHighlight->Active != o->FHighlight->Active)
        put("Highlight.Active", b(FHighlight->Active));
    if (FloatsDiffer(LineSpacing, o->LineSpacing))
        put("LineSpacing", flt(LineSpacing));
    if (FMemo->Count() == 0) {
        put("x", AnsiString());
    } else if (FMemo->Count() == 1) {
        put("x", rpStrToXML(FMemo->Strings(0)));
    } else {
        put("x", rpValueToXML(Variant(rpLinesText(*FMemo))));
    }
    if (FloatsDiffer(ParagraphGap, o->ParagraphGap))
        put("ParagraphGap", flt(ParagraphGap));
    if (FRotation != o->FRotation)
        put("Rotation", IntToStr(FRotation));
    if (RTLReading != o->RTLReading)
        put("RTLReading", b(RTLReading));
    if (Underlines != o->Underlines)
        put("Underlines", b(Underlines));
    if (VAlign != o->VAlign)
        put("VAlign", rpValueToXML(Variant(static_cast<int>(VAlign))));
    if (WordWrap != o->WordWrap)
        put("WordWrap", b(WordWrap));
    return r;
}
