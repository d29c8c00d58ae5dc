#include "platform/graphics/FontBackend.h"

#include <cmath>

TFontSpec TFontSpec::Of(const TFont& font)
{
    return TFontSpec{font.GetName(), font.GetHeight(), font.GetStyle()};
}

TFontSpec TFontSpec::AtSize(const AnsiString& name, double points, int dpi, TFontStyles style)
{
    return TFontSpec{name, -int(std::nearbyint(points * dpi / 72.0)), style};
}

double TFontBackend::TextWidth(const TFontSpec& font, std::string_view text)
{
    std::vector<double> advances;
    GetAdvances(font, text, advances);
    double sum = 0;
    for (double a : advances)
        sum += a;
    return sum;
}

// ---------------------------------------------------------------- the fake

double TFakeFontBackend::EmPixels(const TFontSpec& font)
{
    // The platform's default height when none is given: 8 points at 96 dpi.
    if (font.Height == 0)
        return 11;
    return std::abs(font.Height);  // the cell is exactly one em, so both signs agree
}

TFontMetrics TFakeFontBackend::GetMetrics(const TFontSpec& font)
{
    const double em = EmPixels(font);
    TFontMetrics m;
    m.Ascent = em * kAscent;
    m.Descent = em * kDescent;
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = 0;
    m.AveCharWidth = em * kAdvance;
    m.MaxCharWidth = em * kAdvance;
    return m;
}

void TFakeFontBackend::GetAdvances(const TFontSpec& font, std::string_view text, std::vector<double>& out)
{
    out.assign(text.size(), EmPixels(font) * kAdvance);
}

double TFakeFontBackend::TextWidth(const TFontSpec& font, std::string_view text)
{
    return EmPixels(font) * kAdvance * double(text.size());
}

// ---------------------------------------------------------------- the default

namespace {
TFontBackend* gInstalled = nullptr;
}

TFontBackend& FakeFontBackend()
{
    static TFakeFontBackend fake;
    return fake;
}

TFontBackend& DefaultFontBackend()
{
    return gInstalled ? *gInstalled : FakeFontBackend();
}

TFontBackend* SetDefaultFontBackend(TFontBackend* backend)
{
    TFontBackend* old = gInstalled;
    gInstalled = backend;
    return old;
}
