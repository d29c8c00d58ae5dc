#include "platform/qt/FontMap.h"

#include <string_view>

namespace {

struct FontAlias {
    std::string_view windowsName;
    std::string_view family;
};

// Metric-compatible replacements; the "Cyr" names are the old code-page-1251 variants.
constexpr FontAlias kFontAliases[] = {
    {"Arial", "Liberation Sans"},
    {"Arial Cyr", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Times New Roman Cyr", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier New Cyr", "Liberation Mono"},
};

// Font names are ASCII; an ASCII fold is enough and keeps CP1251 bytes as they are.
char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

}  // namespace

AnsiString MapFontFamily(const AnsiString& name)
{
    const std::string_view wanted = Trim(name);
    for (const FontAlias& alias : kFontAliases)
        if (SameName(wanted, alias.windowsName))
            return AnsiString(alias.family);
    return name;
}
