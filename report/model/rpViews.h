// rpViews.h - visible report objects: views, frames, shapes, lines, pictures, subreports.
//
// A view is a rectangle on a band or page with a background (Color, BrushStyle), a frame
// (TrpFrame: sides, six line styles, drop shadow), an alignment inside its parent, a cursor
// and a hyperlink for the preview, and two texts (TagStr, URL) whose bracketed expressions
// are expanded at print time through the report's Calc.
//
// Drawing: Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY) first computes the device
// rectangle (BeginDraw: X, Y, X1, Y1, DX, DY, FrameWidth; rounded halves to even), then
// paints. Device coordinates are clamped to +-1e9 so a damaged template can give odd
// pictures but never an overflow. The drawing state is valid from one Draw to the next.
//
// References: a view bound to a dataset asks to be told when the dataset is freed and
// clears the reference then (the same for a subreport's page and a page's subreport).
//
// Not here: memo views (rpMemo.h), bands (rpBands.h), pages (rpPages.h).
#pragma once

#include "report/model/rpDBSet.h"
#include "platform/classes/ComponentRef.h"

#include "platform/graphics/Graphics.h"

class TrpReportPage;

SKLAD_ENUM(TrpFrameStyle, fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble)
SKLAD_ENUM(TrpFrameType, ftLeft, ftRight, ftTop, ftBottom)
using TrpFrameTypes = TSet<TrpFrameType>;
SKLAD_SET(TrpFrameTypes, TrpFrameType)
SKLAD_ENUM(TrpShiftMode, smDontShift, smAlways, smWhenOverlapped)
SKLAD_ENUM(TrpStretchMode, smDontStretch, smActualHeight, smMaxHeight)
SKLAD_ENUM(TrpShapeKind, skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2)
SKLAD_ENUM(TrpFormatKind, fkText, fkNumeric, fkDateTime, fkBoolean)

// Nearest integer, halves to even, clamped to +-1e9 (NaN gives 0).
int rpDevRound(Extended Value);
// Integer division truncating towards zero (the platform's div).
inline int rpDiv(int A, int B) { return A / B; }

class TrpFrame : public TPersistent {
    SKLAD_CLASS(TrpFrame, TPersistent)
public:
    TrpFrame() = default;
    void Assign(TPersistent* Source) override;
    // The attributes of this frame that differ from Other (" Frame.Color=..." ...).
    AnsiString Diff(const TrpFrame* Other) const;

    bool IsShadowWidthStored() const { return FloatsDiffer(ShadowWidth, 4); }
    bool IsWidthStored() const { return FloatsDiffer(Width, 1); }

    TColor Color = clBlack;
    bool DropShadow = false;
    Extended ShadowWidth = 4;
    TColor ShadowColor = clBlack;
    TrpFrameStyle Style = fsSolid;
    TrpFrameTypes Typ;
    Extended Width = 1;
};

// Conditional appearance of a memo: Font and Color while Condition holds.
class TrpHighlight : public TPersistent {
    SKLAD_CLASS(TrpHighlight, TPersistent)
public:
    TrpHighlight();
    void Assign(TPersistent* Source) override;  // Font, Color, Condition; Active stays
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }

    bool Active = false;
    TColor Color = clNone;
    AnsiString Condition;

private:
    std::unique_ptr<TFont> FFont;
};

// Display format of a memo's value.
class TrpFormat : public TPersistent {
    SKLAD_CLASS(TrpFormat, TPersistent)
public:
    TrpFormat() = default;
    void Assign(TPersistent* Source) override;
    AnsiString DecimalSeparator;
    AnsiString FormatStr;
    TrpFormatKind Kind = fkText;
    // Printed between groups of thousands in place of the locale's when one character; an
    // inline format's picture sets it, it is never stored.
    AnsiString ThousandSeparator;
};

class TrpView : public TrpReportComponent {
    SKLAD_CLASS(TrpView, TrpReportComponent)
public:
    explicit TrpView(TComponent* AOwner);
    TrpView(TComponent* AOwner, uint16_t Flags);
    ~TrpView() override;

    // ---- data binding
    TrpDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    AnsiString GetDataSetName() const;
    void SetDataSetName(const AnsiString& Value);
    const AnsiString& GetDataField() const { return FDataField; }
    void SetDataField(const AnsiString& Value) { FDataField = Value; }
    bool IsDataField() const { return FDataSet && !FDataField.empty(); }

    // ---- appearance
    TrpFrame* GetFrame() const { return FFrame.get(); }
    void SetFrame(TrpFrame* Value);
    TrpAlign GetAlign() const override { return Align; }
    void SetAlign(TrpAlign Value) { Align = Value; }
    TColor GetColor() const { return Color; }
    virtual void SetColor(TColor Value) { Color = Value; }
    TBrushStyle GetBrushStyle() const { return BrushStyle; }
    void SetBrushStyle(TBrushStyle Value) { BrushStyle = Value; }
    bool IsView() const override { return true; }

    // ---- drawing
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    virtual void BeginDraw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
    virtual void DrawBackground();
    virtual void DrawFrame();
    // A W-pixel line as W parallel one-pixel lines with the current pen.
    void DrawLine(int X, int Y, int X1, int Y1, int W);

    // ---- printing
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    // Replaces every bracketed expression of S by its value (report's Calc).
    void ExpandBracketsInProperty(AnsiString& S);
    AnsiString Diff(TrpComponent* AObj) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TrpAlign Align = baNone;
    TBrushStyle BrushStyle = bsSolid;
    TColor Color = clNone;
    int Cursor = 0;
    bool Printable = true;
    TrpShiftMode ShiftMode = smAlways;
    AnsiString TagStr;
    AnsiString URL;

    // BeginDraw state.
    int X = 0, Y = 0, X1 = 0, Y1 = 0, DX = 0, DY = 0, FrameWidth = 0;
    Extended ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
    TCanvas* Canvas = nullptr;

protected:
    void DrawFrameLine(int AX, int AY, int AX1, int AY1, TrpFrameType Side, bool Near, bool Far);

private:
    void Init();
    std::unique_ptr<TrpFrame> FFrame;
    TComponentRef<TrpDataSet> FDataSet{this};
    AnsiString FDataSetName;
    AnsiString FDataField;
    AnsiString FSavedTagStr, FSavedURL;
};

class TrpShapeView : public TrpView {
    SKLAD_CLASS(TrpShapeView, TrpView)
public:
    explicit TrpShapeView(TComponent* AOwner);
    TrpShapeView(TComponent* AOwner, uint16_t Flags);
    AnsiString GetDescription() const override;
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    AnsiString Diff(TrpComponent* AObj) override;
    TrpShapeKind Shape = skRectangle;

private:
    void DrawShapeKind();
};

// The contract of objects that grow with their content (memos, lines).
class TrpStretcheable : public TrpView {
    SKLAD_CLASS(TrpStretcheable, TrpView)
public:
    explicit TrpStretcheable(TComponent* AOwner) : TrpView(AOwner) {}
    TrpStretcheable(TComponent* AOwner, uint16_t Flags) : TrpView(AOwner, Flags) {}
    // The height the content needs (here: the current Height).
    virtual Extended CalcHeight() { return FHeight; }
    // Lays out what fits into Height; returns the height still to be output.
    virtual Extended DrawPart() { return 0; }
    virtual void InitPart() {}
    // The height of a part that its content cannot use (frame, gaps, shadow): the engine
    // gives what is left of a split object room for it again.
    virtual Extended PartOverhead() { return 0; }
    TrpStretchMode StretchMode = smDontStretch;
};

class TrpCustomLineView : public TrpStretcheable {
    SKLAD_CLASS(TrpCustomLineView, TrpStretcheable)
public:
    explicit TrpCustomLineView(TComponent* AOwner);
    TrpCustomLineView(TComponent* AOwner, uint16_t Flags);
    // Straightens a non-diagonal line (this changes the object), then draws it.
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    bool Diagonal = false;

protected:
    void DrawDiagonalLine();
};

class TrpLineView : public TrpCustomLineView {
    SKLAD_CLASS(TrpLineView, TrpCustomLineView)
public:
    using TrpCustomLineView::TrpCustomLineView;
    AnsiString GetDescription() const override;
};

class TrpPictureView : public TrpView {
    SKLAD_CLASS(TrpPictureView, TrpView)
public:
    explicit TrpPictureView(TComponent* AOwner);
    ~TrpPictureView() override;
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    AnsiString GetDescription() const override;
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    AnsiString Diff(TrpComponent* AObj) override;
    // Loads the picture from a blob field of the bound dataset (format from the bytes).
    void GetData() override;
    void LoadFromFile(const AnsiString& FileName) { FPicture->LoadFromFile(FileName); }

    bool Center = false;
    bool KeepAspectRatio = true;
    bool Stretched = true;
    bool PictureChangedFlag = false;

private:
    void PictureChanged(TObject* Sender);
    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
};

// Loads a graphic from blob bytes (an optional 8-byte header is skipped); false when the
// format is not recognised or the data is damaged (Picture cleared then).
bool rpLoadPictureFromBlob(TPicture* Picture, const AnsiString& Blob);

class TrpSubreport : public TrpView {
    SKLAD_CLASS(TrpSubreport, TrpView)
public:
    explicit TrpSubreport(TComponent* AOwner);
    ~TrpSubreport() override;
    TrpReportPage* GetSubPage() const { return FPage; }
    void SetSubPage(TrpReportPage* Value);
    AnsiString GetDescription() const override;
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool PrintOnParent = false;

private:
    TComponentRef<TrpReportPage> FPage{this};
};

// Draws a graphic stretched into R, covering it whole: a metafile by the canvas's own
// stretching, any other picture through a white bitmap, so its transparent parts are white.
void rpDrawGraphic(TCanvas* Canvas, const TRect& R, TGraphic* Graphic);
