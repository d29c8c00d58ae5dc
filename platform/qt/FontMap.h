// FontMap.h - the program's own table of font families.
//
// The layouts and templates name Windows fonts. fontconfig alone would give
// DejaVu for "Tahoma" and "MS Sans Serif", which changes every text width, so
// the known names are mapped here onto the metric-compatible Liberation
// families. Names not in the table pass through unchanged and fontconfig
// picks what it can. Comparison ignores case, as font names on Windows do.
#pragma once

#include "platform/rtl/System.h"

// The family to ask the font system for in place of `name` (CP1251 in and out).
AnsiString MapFontFamily(const AnsiString& name);
