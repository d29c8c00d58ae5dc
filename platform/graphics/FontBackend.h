// FontBackend.h - how text is measured: font metrics and advance widths of CP1251 text.
//
// A canvas measures through the font backend of its device. There are two: the Qt one
// (platform/qt, QFontMetricsF over the Liberation families of the program's font table)
// and the fixed fake below, in which every glyph is 0.6 em wide, the ascent 0.8 em and
// the descent 0.2 em. The fake makes layout and drawing tests byte-identical on any
// machine; nothing in it depends on installed fonts.
//
// Sizes are in device pixels. A TFontSpec's Height follows the platform's convention:
// negative = character (em) height, positive = cell height (ascent + descent), 0 = the
// default size. Widths are fractional; the canvas rounds them where the platform does.
#pragma once

#include "platform/graphics/GraphicsObjects.h"

#include <string_view>
#include <vector>

struct TFontSpec {
    AnsiString Name = "Arial";
    int Height = -13;
    TFontStyles Style;

    // The font description a TFont gives on a device (Height taken as that device's pixels).
    static TFontSpec Of(const TFont& font);
    // A font of `points` at `dpi` pixels per inch: Height = -Round(points * dpi / 72).
    static TFontSpec AtSize(const AnsiString& name, double points, int dpi, TFontStyles style = {});
    bool operator==(const TFontSpec&) const = default;
};

struct TFontMetrics {
    double Ascent = 0;           // base line to the top of the cell
    double Descent = 0;          // base line to the bottom of the cell
    double Height = 0;           // Ascent + Descent: the cell, one line without leading
    double InternalLeading = 0;  // Height - em size
    double AveCharWidth = 0;
    double MaxCharWidth = 0;
};

class TFontBackend {
public:
    virtual ~TFontBackend() = default;
    virtual TFontMetrics GetMetrics(const TFontSpec& font) = 0;
    // Advance width of every byte of `text` (CP1251), in device pixels; `out` gets
    // text.size() entries.
    virtual void GetAdvances(const TFontSpec& font, std::string_view text, std::vector<double>& out) = 0;
    // Width of the whole text; the default sums the advances.
    virtual double TextWidth(const TFontSpec& font, std::string_view text);
    // The font families installed, as names to give a font; none when the backend knows
    // of no installed fonts (the fake).
    virtual std::vector<AnsiString> Families() { return {}; }
};

// The exact fake: em = -Height (or Height / 1.0 for a cell height, the cell being 1 em);
// every byte 0.6 em wide, tab and line breaks included; ascent 0.8 em, descent 0.2 em;
// no internal leading; bold and italic change nothing.
class TFakeFontBackend : public TFontBackend {
public:
    static constexpr double kAdvance = 0.6, kAscent = 0.8, kDescent = 0.2;
    TFontMetrics GetMetrics(const TFontSpec& font) override;
    void GetAdvances(const TFontSpec& font, std::string_view text, std::vector<double>& out) override;
    double TextWidth(const TFontSpec& font, std::string_view text) override;
    // Em size in pixels of a font description under this backend.
    static double EmPixels(const TFontSpec& font);
};

// The backend canvases use when their device names none. The fake until a platform
// backend is installed (the Qt start-up installs its own); tests may install either.
TFontBackend& DefaultFontBackend();
// Installs `backend` (not owned; nullptr returns to the fake) and returns the previous one.
TFontBackend* SetDefaultFontBackend(TFontBackend* backend);
TFontBackend& FakeFontBackend();
