#include "platform/graphics/GraphicsObjects.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"

#include "platform/classes/Streaming.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

struct NamedInt {
    const char* Name;
    int Value;
};

// The platform's colour-identifier table, in its order: scripts register the constants
// in this order, so it is kept as it is.
const NamedInt kColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clActiveBorder", clActiveBorder}, {"clActiveCaption", clActiveCaption},
    {"clAppWorkSpace", clAppWorkSpace}, {"clBackground", clBackground}, {"clBtnFace", clBtnFace},
    {"clBtnHighlight", clBtnHighlight}, {"clBtnShadow", clBtnShadow}, {"clBtnText", clBtnText},
    {"clCaptionText", clCaptionText}, {"clDefault", clDefault},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption}, {"clGrayText", clGrayText},
    {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clHotLight", clHotLight},
    {"clInactiveBorder", clInactiveBorder}, {"clInactiveCaption", clInactiveCaption},
    {"clInactiveCaptionText", clInactiveCaptionText}, {"clInfoBk", clInfoBk}, {"clInfoText", clInfoText},
    {"clMenu", clMenu}, {"clMenuBar", clMenuBar}, {"clMenuHighlight", clMenuHighlight},
    {"clMenuText", clMenuText}, {"clNone", clNone}, {"clScrollBar", clScrollBar},
    {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clWindowText", clWindowText},
};
static_assert(sizeof(kColors) / sizeof(kColors[0]) == 52, "the platform's table has 52 colours");

const NamedInt kCharsets[] = {
    {"ANSI_CHARSET", 0}, {"DEFAULT_CHARSET", 1}, {"SYMBOL_CHARSET", 2}, {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129}, {"JOHAB_CHARSET", 130}, {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161}, {"TURKISH_CHARSET", 162},
    {"VIETNAMESE_CHARSET", 163}, {"HEBREW_CHARSET", 177}, {"ARABIC_CHARSET", 178},
    {"BALTIC_CHARSET", 186}, {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

// The classic Windows scheme (the look the layouts were drawn for), as 0x00BBGGRR.
const TColor kSystemColors[31] = {
    0xC8D0D4, 0x6B2408, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
};

template <size_t N>
bool IdentToIntIn(const NamedInt (&table)[N], std::string_view ident, int& value)
{
    for (const auto& e : table)
        if (SameText(ident, e.Name)) {
            value = e.Value;
            return true;
        }
    return false;
}

template <size_t N>
bool IntToIdentIn(const NamedInt (&table)[N], int value, AnsiString& ident)
{
    for (const auto& e : table)
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    return false;
}

template <size_t N>
std::vector<std::pair<AnsiString, int>> ToMap(const NamedInt (&table)[N])
{
    std::vector<std::pair<AnsiString, int>> map;
    for (const auto& e : table)
        map.emplace_back(e.Name, e.Value);
    return map;
}

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (color < 0) {
        const int index = color & 0xFF;
        return index < 31 ? kSystemColors[index] : 0;
    }
    return color & 0xFFFFFF;
}

bool IdentToColor(std::string_view ident, int& color) { return IdentToIntIn(kColors, ident, color); }
bool ColorToIdent(int color, AnsiString& ident) { return IntToIdentIn(kColors, color, ident); }
bool IdentToCharset(std::string_view ident, int& charset) { return IdentToIntIn(kCharsets, ident, charset); }
bool CharsetToIdent(int charset, AnsiString& ident) { return IntToIdentIn(kCharsets, charset, ident); }

void GetColorValues(const std::function<void(const AnsiString&)>& proc)
{
    for (const auto& e : kColors)
        proc(e.Name);
}

TColor StringToColor(std::string_view text)
{
    int value = 0;
    if (IdentToColor(text, value))
        return value;
    return StrToInt(AnsiString(text));
}

AnsiString ColorToString(TColor color)
{
    AnsiString ident;
    if (ColorToIdent(color, ident))
        return ident;
    return Format("$%.8x", {color});
}

// ---------------------------------------------------------------- TGraphicsObject

SKLAD_DEFINE_ABSTRACT_CLASS(TGraphicsObject)
void TGraphicsObject::Publish(TPropertyTable&) {}

void TGraphicsObject::Changed()
{
    OnChange(this);
}

// ---------------------------------------------------------------- TFont

SKLAD_DEFINE_CLASS(TFont)
void TFont::Publish(TPropertyTable& t)
{
    t.Prop("Charset", &TFont::GetCharset, &TFont::SetCharset).Type("TFontCharset");
    t.Prop("Color", &TFont::GetColor, &TFont::SetColor).Type("TColor");
    t.Prop("Height", &TFont::GetHeight, &TFont::SetHeight);
    t.Prop("Name", &TFont::GetName, &TFont::SetName);
    t.Prop("Pitch", &TFont::GetPitch, &TFont::SetPitch).Default(fpDefault);
    t.Prop("Size", &TFont::GetSize, &TFont::SetSize).Stored(false);
    t.Prop("Style", &TFont::GetStyle, &TFont::SetStyle);
}

TFont::TFont() = default;

void TFont::SetName(const AnsiString& value)
{
    if (value.empty() || value == FName)
        return;
    FName = value;
    Changed();
}

int TFont::GetSize() const
{
    // Height -11 at 96 dpi is 8 points; the platform rounds halves away from zero.
    const double points = -double(FHeight) * 72.0 / FPixelsPerInch;
    return int(points < 0 ? std::ceil(points - 0.5) : std::floor(points + 0.5));
}

namespace {
// The largest character height kept, in pixels (some 265 cm at 96 dpi). A script or a file
// may ask for any integer; beyond this the measures of a text leave the integer range, and
// Qt's ascent wraps round to a negative number once it passes 16384 pixels.
constexpr int kMaxFontHeight = 10000;
}  // namespace

void TFont::SetSize(int value)
{
    const double pixels = std::clamp(double(value) * FPixelsPerInch / 72.0, -double(kMaxFontHeight),
                                     double(kMaxFontHeight));
    SetHeight(-int(pixels < 0 ? std::ceil(pixels - 0.5) : std::floor(pixels + 0.5)));
}

void TFont::SetHeight(int value)
{
    value = std::clamp(value, -kMaxFontHeight, kMaxFontHeight);
    if (value == FHeight)
        return;
    FHeight = value;
    Changed();
}

void TFont::SetPixelsPerInch(int value)
{
    if (value > 0)
        FPixelsPerInch = value;
}

void TFont::SetOrientation(int value)
{
    if (value == FOrientation)
        return;
    FOrientation = value;
    Changed();
}

void TFont::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == FCharset)
        return;
    FCharset = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == FPitch)
        return;
    FPitch = value;
    Changed();
}

bool TFont::Equals(const TFont& o) const
{
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FCharset == o.FCharset && FPitch == o.FPitch && FOrientation == o.FOrientation;
}

void TFont::Assign(TPersistent* source)
{
    auto* f = dynamic_cast<TFont*>(source);
    if (!f) {
        TPersistent::Assign(source);
        return;
    }
    FPixelsPerInch = f->FPixelsPerInch;
    if (Equals(*f))
        return;
    FOrientation = f->FOrientation;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    Changed();
}

// ---------------------------------------------------------------- TPen, TBrush

SKLAD_DEFINE_CLASS(TPen)
void TPen::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TPen::GetColor, &TPen::SetColor).Type("TColor").Default(clBlack);
    t.Prop("Mode", &TPen::GetMode, &TPen::SetMode).Default(pmCopy);
    t.Prop("Style", &TPen::GetStyle, &TPen::SetStyle).Default(psSolid);
    t.Prop("Width", &TPen::GetWidth, &TPen::SetWidth).Default(1);
}

void TPen::SetColor(TColor value) { if (value != FColor) { FColor = value; Changed(); } }
void TPen::SetWidth(int value) { if (value != FWidth) { FWidth = value; Changed(); } }
void TPen::SetStyle(TPenStyle value) { if (value != FStyle) { FStyle = value; Changed(); } }
void TPen::SetMode(TPenMode value) { if (value != FMode) { FMode = value; Changed(); } }

void TPen::Assign(TPersistent* source)
{
    auto* p = dynamic_cast<TPen*>(source);
    if (!p) {
        TPersistent::Assign(source);
        return;
    }
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
}

SKLAD_DEFINE_CLASS(TBrush)
void TBrush::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TBrush::GetColor, &TBrush::SetColor).Type("TColor").Default(clWhite);
    t.Prop("Style", &TBrush::GetStyle, &TBrush::SetStyle).Default(bsSolid);
}

void TBrush::SetColor(TColor value) { if (value != FColor) { FColor = value; Changed(); } }
void TBrush::SetStyle(TBrushStyle value) { if (value != FStyle) { FStyle = value; Changed(); } }

void TBrush::Assign(TPersistent* source)
{
    auto* b = dynamic_cast<TBrush*>(source);
    if (!b) {
        TPersistent::Assign(source);
        return;
    }
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
}

// ---------------------------------------------------------------- registration

void RegisterGraphicsClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterIntegerConsts("TColor", ToMap(kColors));
        RegisterIntegerConsts("TFontCharset", ToMap(kCharsets));
    });
    RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TCanvas::StaticClass(),
                     TGraphic::StaticClass(), TBitmap::StaticClass(), TMetafile::StaticClass(),
                     TJPEGImage::StaticClass(), TPicture::StaticClass()});
}
