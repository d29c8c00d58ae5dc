// QtFontMetrics.h - the font backend over Qt: real widths of the Liberation fonts.
//
// A TFontSpec becomes a QFont whose family comes from the program's font table
// (FontMap.h: Arial, Tahoma, MS Sans Serif -> Liberation Sans, and so on) at the description's
// pixel size, without hinting and without kerning, so that a text's width is the sum of
// its characters' advances at any resolution, as the layout code expects. Advances of
// all 256 CP1251 bytes are measured once per font and kept.
//
// Needs a QGuiApplication. InstallQtGraphics (QtGraphics.h) installs one instance as the
// default backend.
#pragma once

#include "platform/graphics/FontBackend.h"

#include <QFont>

#include <map>
#include <memory>
#include <tuple>

class TQtFontBackend : public TFontBackend {
public:
    TQtFontBackend();
    ~TQtFontBackend() override;
    TFontMetrics GetMetrics(const TFontSpec& font) override;
    void GetAdvances(const TFontSpec& font, std::string_view text, std::vector<double>& out) override;
    double TextWidth(const TFontSpec& font, std::string_view text) override;
    std::vector<AnsiString> Families() override;

    // The QFont a font description stands for (pixel size = the em height).
    static QFont ToQFont(const TFontSpec& font);

private:
    struct Entry;
    Entry& Lookup(const TFontSpec& font);
    std::map<std::tuple<AnsiString, int, uint32_t>, std::unique_ptr<Entry>> FCache;
};
