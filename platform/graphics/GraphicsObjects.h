// GraphicsObjects.h - colours, fonts, pens and brushes: the drawing attributes.
//
// What a control needs to publish Font and Color and a canvas needs to draw with.
// TColor is the platform's 32-bit
// colour: 0x00BBGGRR for plain colours, 0x800000nn for the system colour nn, clNone and
// clDefault as the two special values. Fonts are measured in points (Size) or in pixels
// at 96 pixels per inch (Height, negative for the character height); the two stay in
// step. Every attribute object raises OnChange after a change, so its owner (a control,
// a canvas) can react.
//
// Not here yet: TCanvas drawing, bitmaps, metafiles, pictures, font measuring.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/System.h"

#include <cstdint>
#include <functional>
#include <memory>

// ---------------------------------------------------------------- colours

using TColor = int32_t;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | unsigned(index)); }

constexpr TColor clScrollBar = SysColor(0), clBackground = SysColor(1), clActiveCaption = SysColor(2),
                 clInactiveCaption = SysColor(3), clMenu = SysColor(4), clWindow = SysColor(5),
                 clWindowFrame = SysColor(6), clMenuText = SysColor(7), clWindowText = SysColor(8),
                 clCaptionText = SysColor(9), clActiveBorder = SysColor(10), clInactiveBorder = SysColor(11),
                 clAppWorkSpace = SysColor(12), clHighlight = SysColor(13), clHighlightText = SysColor(14),
                 clBtnFace = SysColor(15), clBtnShadow = SysColor(16), clGrayText = SysColor(17),
                 clBtnText = SysColor(18), clInactiveCaptionText = SysColor(19), clBtnHighlight = SysColor(20),
                 cl3DDkShadow = SysColor(21), cl3DLight = SysColor(22), clInfoText = SysColor(23),
                 clInfoBk = SysColor(24), clHotLight = SysColor(26), clGradientActiveCaption = SysColor(27),
                 clGradientInactiveCaption = SysColor(28), clMenuHighlight = SysColor(29), clMenuBar = SysColor(30);

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = clSilver, clDkGray = clGray, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// A colour from its red, green and blue parts.
constexpr TColor RGB(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }
// The plain 0x00BBGGRR colour: system colours resolved through the classic Windows scheme.
TColor ColorToRGB(TColor color);
inline int GetRValue(TColor c) { return c & 0xFF; }
inline int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
inline int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// "clBtnFace" <-> clBtnFace; layout files write colours this way. Unknown names fail.
bool IdentToColor(std::string_view ident, int& color);
bool ColorToIdent(int color, AnsiString& ident);
// "clRed" or "$00FF8000" or a decimal number; EConvertError otherwise.
TColor StringToColor(std::string_view text);
AnsiString ColorToString(TColor color);
// Calls `proc` with every colour identifier, in the platform's table order (the twenty
// plain colours, then the system and special colours by name): 52 names.
void GetColorValues(const std::function<void(const AnsiString&)>& proc);

// ---------------------------------------------------------------- fonts

SKLAD_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
SKLAD_SET(TFontStyles, TFontStyle)
SKLAD_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, RUSSIAN_CHARSET = 204,
                       EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255;
bool IdentToCharset(std::string_view ident, int& charset);
bool CharsetToIdent(int charset, AnsiString& ident);

// Screen resolution the layouts were made at; Height and Size convert through it.
constexpr int kPixelsPerInch = 96;

class TGraphicsObject : public TPersistent {
    SKLAD_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    // Raises OnChange, unless changes are being collected (BeginUpdate). An owner that
    // holds the object inline may hear of changes here instead.
    virtual void Changed();
};

class TFont : public TGraphicsObject {
    SKLAD_CLASS(TFont, TGraphicsObject)
public:
    TFont();

    const AnsiString& GetName() const { return FName; }
    void SetName(const AnsiString& value);
    int GetSize() const;               // points
    void SetSize(int value);
    int GetHeight() const { return FHeight; }  // pixels; negative = character height
    void SetHeight(int value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset value);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    // Size and Height convert through this; changing it keeps Height (a printer canvas
    // then sets Size again to keep the points).
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value);
    // Angle of the text base line in tenths of a degree, counter-clockwise (rotated text).
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int value);

    void Assign(TPersistent* source) override;
    // Same face, size, colour, style, charset and pitch.
    bool Equals(const TFont& other) const;

private:
    AnsiString FName = "MS Sans Serif";
    int FHeight = -11;  // 8 points
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch = kPixelsPerInch;
    int FOrientation = 0;
};

// ---------------------------------------------------------------- pens and brushes

SKLAD_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
SKLAD_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
           pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
SKLAD_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

class TPen : public TGraphicsObject {
    SKLAD_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle value);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode value);
    void Assign(TPersistent* source) override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
    SKLAD_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    void Assign(TPersistent* source) override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// Registers the graphics classes by name (start-up, explicit).
void RegisterGraphicsClasses();
