// rpMemo.h - memo views: the report's text objects.
//
// A memo holds lines of text in which bracketed expressions ("[expr]", or the delimiters
// of ExpressionDelimiters) are replaced by their values when the report runs, or shows a
// dataset field. An expression may carry an inline format after " #": N (number, with the
// picture's last ",", "-" or "." as decimal separator and the ones before it as thousands
// separators), D/T (date-time), B (two words for true and false). "[TotalPages#]" stays as a marker until the page count is known.
//
// Per band output: BeforePrint saves the template text, GetData fills it, the engine
// measures, splits and draws it, AfterPrint puts the template text back.
//
// Measuring, splitting and drawing go through a TrpDrawText: the report's own, or the
// shared rpDrawText() for a memo without a report; each operation holds its lock.
//
// Sound behaviour: an opening delimiter without its closing one is left as typed (never
// half an expression); formatting never changes process-wide settings; FlowTo never
// points at the memo itself.
#pragma once

#include "report/model/rpDrawText.h"
#include "report/model/rpViews.h"
#include "platform/classes/ComponentRef.h"

class TrpStyleItem;

// The text of a memo not printed yet while it is split into parts. The parts come from one
// layout of the text, and the rest is copied out of that layout only when it is read; parts
// laid out one by one replace the front of the rest in place: either way a long text splits
// in time linear in its length, not in its length times its parts.
class TrpMemoRest {
public:
    TrpMemoRest& operator=(AnsiString Text)
    {
        FText = std::move(Text);
        FAt = 0;
        FLayout = nullptr;
        return *this;
    }
    // From now on the rest is what Layout has not handed out yet (Layout must outlive
    // that, or be read or replaced before it goes).
    void Follow(const TrpDrawText* Layout) { FLayout = Layout; }
    const AnsiString& Get() const
    {
        View();
        if (FAt > 0) {
            FText.erase(0, FAt);
            FAt = 0;
        }
        return FText;
    }
    operator const AnsiString&() const { return Get(); }
    // The rest without moving it (valid until the rest changes).
    std::string_view View() const
    {
        if (FLayout) {
            FLayout->RestOfParts(FText);
            FAt = 0;
            FLayout = nullptr;
        }
        return std::string_view(FText).substr(FAt);
    }
    // The first Count bytes of the rest give way to Head (what of them a part left over),
    // written in their place, so a part costs its own size and not the rest's.
    void ReplaceFront(size_t Count, std::string_view Head)
    {
        View();
        const size_t end = FAt + std::min(Count, FText.size() - FAt);
        if (Head.size() <= end) {
            FAt = end - Head.size();
            std::copy(Head.begin(), Head.end(), FText.begin() + static_cast<std::ptrdiff_t>(FAt));
        } else {
            FText = AnsiString(Head) + FText.substr(end);
            FAt = 0;
        }
    }
    AnsiString Take()
    {
        Get();
        return std::move(FText);
    }
    bool empty() const { return FLayout ? !FLayout->PartsLeft() : FText.size() <= FAt; }
    friend bool operator==(const TrpMemoRest& A, std::string_view B) { return std::string_view(A.Get()) == B; }

private:
    mutable AnsiString FText;
    mutable size_t FAt = 0;  // where the rest begins in FText
    mutable const TrpDrawText* FLayout = nullptr;
};

class TrpCustomMemoView : public TrpStretcheable {
    SKLAD_CLASS(TrpCustomMemoView, TrpStretcheable)
public:
    explicit TrpCustomMemoView(TComponent* AOwner);
    TrpCustomMemoView(TComponent* AOwner, uint16_t Flags);
    ~TrpCustomMemoView() override;

    // ---- text
    TStrings* GetMemo() const { return FMemo.get(); }
    void SetMemo(TStrings* Value) { FMemo->Assign(Value); }
    AnsiString GetText() const { return FMemo->GetText(); }
    void SetText(const AnsiString& Value) { FMemo->SetText(Value); }
    void SetCompactText(const AnsiString& Value) override { FMemo->SetText(Value); }
    TrpHighlight* GetHighlight() const { return FHighlight.get(); }
    void SetHighlight(TrpHighlight* Value) { FHighlight->Assign(Value); }
    bool IsHighlightStored() const { return !Trim(FHighlight->Condition).empty(); }
    TrpFormat* GetDisplayFormat() const { return FDisplayFormat.get(); }
    void SetDisplayFormat(TrpFormat* Value) { FDisplayFormat->Assign(Value); }
    int GetRotation() const { return FRotation; }
    void SetRotation(int Value) { FRotation = Value % 360; }
    const AnsiString& GetStyle() const { return FStyle; }
    void SetStyle(const AnsiString& Value);
    void ApplyStyle(TrpStyleItem* Item);
    TrpCustomMemoView* GetFlowTo() const { return FFlowTo.Get(); }
    void SetFlowTo(TrpCustomMemoView* Value);
    bool HasAutoWidth() const override { return AutoWidth; }

    bool IsCharSpacingStored() const { return FloatsDiffer(CharSpacing, 0); }
    bool IsGapXStored() const { return FloatsDiffer(GapX, 2); }
    bool IsGapYStored() const { return FloatsDiffer(GapY, 1); }
    bool IsLineSpacingStored() const { return FloatsDiffer(LineSpacing, 2); }
    bool IsParagraphGapStored() const { return FloatsDiffer(ParagraphGap, 0); }
    bool IsDelimitersStored() const { return ExpressionDelimiters != "[,]"; }

    // ---- data (rpMemo.cpp)
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    AnsiString CalcAndFormat(const AnsiString& Expr);
    // Text with every complete bracketed expression replaced by its formatted value; false
    // (and Out untouched) when Text holds no expression to compute.
    bool ExpandExpressions(const AnsiString& Text, AnsiString& Out);
    // Text as a prepared page stores it, so that its lines read back: as Diff writes it, or
    // (Whole) as the object's full description does.
    static AnsiString StoredText(const AnsiString& Text, bool Whole);
    AnsiString FormatData(const Variant& Value, TrpFormat* Format = nullptr);
    void ExtractTotalPages();
    AnsiString GetComponentText() override;
    AnsiString GetDescription() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- layout and drawing (rpMemoDraw.cpp)
    void BeginDraw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    void SetDrawParams(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    Extended CalcHeight() override;
    virtual Extended CalcWidth();
    Extended AdjustCalcHeight() const;
    Extended AdjustCalcWidth() const;
    void InitPart() override;
    Extended DrawPart() override;
    Extended PartOverhead() override;
    AnsiString WrapText(bool WrapWords);
    AnsiString Diff(TrpComponent* AObj) override;
    TrpDrawText& DrawTextObject() const;

    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    bool AutoWidth = false;
    Extended CharSpacing = 0;
    bool Clipped = true;
    AnsiString ExpressionDelimiters = "[,]";
    Extended GapX = 2, GapY = 1;
    TrpHAlign HAlign = haLeft;
    bool HideZeros = false;
    Extended LineSpacing = 2;
    Extended ParagraphGap = 0;
    TrpMemoRest RestText;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    AnsiString SavedText;
    bool Underlines = false;
    TrpVAlign VAlign = vaTop;
    Variant Value = Null();
    bool WordBreak = false;
    bool WordWrap = true;
    Variant LastText = Null();
    int PageTotal = 0;
    TRect TextRect;

private:
    void InitMemo();
    void SetFontParams(TrpDrawText& dt);
    std::unique_ptr<TrpFormat> FDisplayFormat;
    std::unique_ptr<TrpHighlight> FHighlight;
    std::unique_ptr<TStringList> FMemo;
    int FRotation = 0;
    AnsiString FStyle;
    TComponentRef<TrpCustomMemoView> FFlowTo{this};
    // While the memo is split into parts: the layout of its text, laid out once, and the
    // width it was laid out at.
    std::unique_ptr<TrpDrawText> FPartLayout;
    int FPartWidth = 0;
    size_t FPartBytes = 0;  // what the last part laid out anew took of the text
};

class TrpMemoView : public TrpCustomMemoView {
    SKLAD_CLASS(TrpMemoView, TrpCustomMemoView)
public:
    using TrpCustomMemoView::TrpCustomMemoView;
};

class TrpSysMemoView : public TrpCustomMemoView {
    SKLAD_CLASS(TrpSysMemoView, TrpCustomMemoView)
public:
    using TrpCustomMemoView::TrpCustomMemoView;
    AnsiString GetDescription() const override;
};

// An inline format text after " #" ("N0.00", "Ddd.mm.yyyy", "BYes,No") as a TrpFormat.
void rpParseInlineFormat(const AnsiString& Text, TrpFormat& Format);
