// rpDMPClass.h - objects of dot-matrix reports: a page, a text and a line on a grid of
// character cells 9.6 report units wide and 17 high. Positions, sizes, page sizes and
// margins snap to the grid; the font is a fixed-pitch "Courier New" of 12 points, and
// the printer's text attributes come from FontStyle.
#pragma once

#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

SKLAD_ENUM(TrpDMPFontStyle, fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide,
           fsx12cpi, fsx15cpi)
using TrpDMPFontStyles = TSet<TrpDMPFontStyle>;
SKLAD_SET(TrpDMPFontStyles, TrpDMPFontStyle)

constexpr Extended rpCharX = 9.6L, rpCharY = 17;

class TrpDMPPage;

class TrpDMPMemoView : public TrpCustomMemoView {
    SKLAD_CLASS(TrpDMPMemoView, TrpCustomMemoView)
public:
    explicit TrpDMPMemoView(TComponent* AOwner);
    void ResetFontOptions();
    TrpDMPFontStyles GetFontStyle() const { return FFontStyle; }
    void SetFontStyle(TrpDMPFontStyles Value);
    bool IsFontStyleStored() const { return !GetParentFont(); }
    void SetParentFont(bool Value) override;
    void SetLeft(Extended Value) override;
    void SetTop(Extended Value) override;
    void SetWidth(Extended Value) override;
    void SetHeight(Extended Value) override;
    AnsiString Diff(TrpComponent* AObj) override;
    AnsiString GetDescription() const override;
    void DrawFrame() override;
    Extended CalcHeight() override;
    Extended CalcWidth() override;

private:
    TrpDMPFontStyles FFontStyle;
};

class TrpDMPLineView : public TrpCustomLineView {
    SKLAD_CLASS(TrpDMPLineView, TrpCustomLineView)
public:
    explicit TrpDMPLineView(TComponent* AOwner);
    TrpDMPFontStyles GetFontStyle() const { return FFontStyle; }
    void SetFontStyle(TrpDMPFontStyles Value);
    bool IsFontStyleStored() const { return !GetParentFont(); }
    void SetParentFont(bool Value) override;
    void SetLeft(Extended Value) override;
    void SetTop(Extended Value) override;
    AnsiString Diff(TrpComponent* AObj) override;
    AnsiString GetDescription() const override;

private:
    TrpDMPFontStyles FFontStyle;
};

class TrpDMPPage : public TrpReportPage {
    SKLAD_CLASS(TrpDMPPage, TrpReportPage)
public:
    explicit TrpDMPPage(TComponent* AOwner);
    void ResetFontOptions();
    TrpDMPFontStyles GetFontStyle() const { return FFontStyle; }
    void SetFontStyle(TrpDMPFontStyles Value);
    void SetPaperHeight(Extended Value) override;
    void SetPaperWidth(Extended Value) override;
    void SetPaperSize(int Value) override;
    void SetDefaults() override;

private:
    TrpDMPFontStyles FFontStyle;
};
