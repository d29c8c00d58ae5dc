#include "platform/qt/QtFontMetrics.h"

#include "platform/qt/FontMap.h"
#include "platform/qt/QtText.h"
#include "platform/rtl/Cp1251.h"

#include <QFontDatabase>
#include <QStringList>
#include <QFontMetricsF>

#include <array>
#include <cmath>

struct TQtFontBackend::Entry {
    TFontMetrics Metrics;
    std::array<double, 256> Advances{};
};

TQtFontBackend::TQtFontBackend() = default;
TQtFontBackend::~TQtFontBackend() = default;

namespace {

QFont BaseFont(const TFontSpec& desc, int pixelSize)
{
    QFont f(ToQString(MapFontFamily(desc.Name)));
    f.setPixelSize(std::max(1, pixelSize));
    f.setBold(desc.Style.Contains(fsBold));
    f.setItalic(desc.Style.Contains(fsItalic));
    f.setUnderline(desc.Style.Contains(fsUnderline));
    f.setStrikeOut(desc.Style.Contains(fsStrikeOut));
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace

QFont TQtFontBackend::ToQFont(const TFontSpec& desc)
{
    if (desc.Height < 0)
        return BaseFont(desc, -desc.Height);
    if (desc.Height == 0)
        return BaseFont(desc, 11);  // the platform's default: 8 points at 96 dpi
    // A positive height is the cell (ascent + descent): find the em that gives it.
    const QFontMetricsF probe(BaseFont(desc, 100));
    const double cell = probe.ascent() + probe.descent();
    return BaseFont(desc, int(std::lround(desc.Height * 100.0 / (cell > 0 ? cell : 100.0))));
}

TQtFontBackend::Entry& TQtFontBackend::Lookup(const TFontSpec& desc)
{
    auto key = std::make_tuple(desc.Name, desc.Height, desc.Style.Bits());
    auto it = FCache.find(key);
    if (it != FCache.end())
        return *it->second;
    const QFont font = ToQFont(desc);
    const QFontMetricsF fm(font);
    auto entry = std::make_unique<Entry>();
    entry->Metrics.Ascent = fm.ascent();
    entry->Metrics.Descent = fm.descent();
    entry->Metrics.Height = fm.ascent() + fm.descent();
    entry->Metrics.InternalLeading = std::max(0.0, entry->Metrics.Height - font.pixelSize());
    entry->Metrics.AveCharWidth = fm.averageCharWidth();
    entry->Metrics.MaxCharWidth = fm.maxWidth();
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = cp1251::ToUnicode(static_cast<unsigned char>(b));
        entry->Advances[size_t(b)] = fm.horizontalAdvance(QChar(char16_t(cp)));
    }
    if (FCache.size() > 256)
        FCache.clear();  // a report uses a handful of fonts; this only bounds a runaway
    return *FCache.emplace(key, std::move(entry)).first->second;
}

TFontMetrics TQtFontBackend::GetMetrics(const TFontSpec& font)
{
    return Lookup(font).Metrics;
}

void TQtFontBackend::GetAdvances(const TFontSpec& font, std::string_view text, std::vector<double>& out)
{
    const Entry& e = Lookup(font);
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = e.Advances[static_cast<unsigned char>(text[i])];
}

double TQtFontBackend::TextWidth(const TFontSpec& font, std::string_view text)
{
    const Entry& e = Lookup(font);
    double sum = 0;
    for (char c : text)
        sum += e.Advances[static_cast<unsigned char>(c)];
    return sum;
}

std::vector<AnsiString> TQtFontBackend::Families()
{
    std::vector<AnsiString> out;
    for (const QString& family : QFontDatabase::families()) {
        // A name the code page cannot hold could not be given back to Qt: left out.
        const AnsiString name = FromQString(family);
        if (ToQString(name) == family)
            out.push_back(name);
    }
    return out;
}
