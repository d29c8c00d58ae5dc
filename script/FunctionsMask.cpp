// FunctionsMask.cpp - FormatMaskText: a value laid into an edit mask (see Functions.h).
//
// The mask is read once into places: a field place takes one character of the
// value (with the case rule in force there), a literal place shows its own
// character. The value is not validated against the field kinds; formatting
// only lays it out, as the edit control's display would.
#include "script/Functions.h"

#include "platform/rtl/SysUtils.h"

#include <vector>

namespace {

enum class TCaseRule { None, Upper, Lower };

struct TPlace {
    bool Field = false;
    char Literal = ' ';
    TCaseRule Case = TCaseRule::None;
};

struct TMask {
    std::vector<TPlace> Places;
    bool SaveLiterals = true;
    char Blank = '_';
    bool BlanksLeading = false; // '!'
    int FieldCount = 0;
};

bool IsFieldChar(char c)
{
    switch (c) {
    case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c':
        return true;
    default:
        return false;
    }
}

TMask ParseMask(std::string_view mask)
{
    TMask m;
    const TFormatSettings& fs = FormatSettings();
    TCaseRule rule = TCaseRule::None;
    size_t i = 0;
    for (; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == ';')
            break;
        TPlace place;
        if (c == '\\') {
            if (++i >= mask.size())
                break;
            place.Literal = mask[i];
        } else if (c == '!') {
            m.BlanksLeading = true;
            continue;
        } else if (c == '>') {
            rule = TCaseRule::Upper;
            continue;
        } else if (c == '<') {
            if (i + 1 < mask.size() && mask[i + 1] == '>') {
                ++i;
                rule = TCaseRule::None;
            } else {
                rule = TCaseRule::Lower;
            }
            continue;
        } else if (IsFieldChar(c)) {
            place.Field = true;
            place.Case = rule;
            ++m.FieldCount;
        } else if (c == ':') {
            place.Literal = fs.TimeSeparator;
        } else if (c == '/') {
            place.Literal = fs.DateSeparator;
        } else if (c == '_') {
            place.Literal = ' ';
        } else {
            place.Literal = c;
        }
        m.Places.push_back(place);
    }
    // ";0" or ";1" saves literals or not; a further ";x" names the blank character.
    if (i < mask.size() && mask[i] == ';') {
        ++i;
        if (i < mask.size() && mask[i] != ';')
            m.SaveLiterals = mask[i++] != '0';
        if (i < mask.size() && mask[i] == ';' && i + 1 < mask.size())
            m.Blank = mask[i + 1];
    }
    return m;
}

char ApplyCase(char c, TCaseRule rule)
{
    const auto u = static_cast<unsigned char>(c);
    switch (rule) {
    case TCaseRule::Upper: return static_cast<char>(cp1251::ToUpper(u));
    case TCaseRule::Lower: return static_cast<char>(cp1251::ToLower(u));
    case TCaseRule::None: break;
    }
    return c;
}

} // namespace

AnsiString FormatMaskText(std::string_view editMask, std::string_view value)
{
    const TMask m = ParseMask(editMask);

    // The characters that go into the fields, in order.
    AnsiString chars;
    if (m.SaveLiterals) {
        for (size_t k = 0; k < m.Places.size() && k < value.size(); ++k)
            if (m.Places[k].Field)
                chars += value[k];
    } else {
        chars = AnsiString(value.substr(0, static_cast<size_t>(m.FieldCount)));
    }
    if (m.BlanksLeading && static_cast<int>(chars.size()) < m.FieldCount)
        chars.insert(0, static_cast<size_t>(m.FieldCount) - chars.size(), ' ');

    AnsiString r;
    r.reserve(m.Places.size());
    size_t next = 0;
    for (const TPlace& place : m.Places) {
        if (!place.Field) {
            r += place.Literal;
            continue;
        }
        char c = next < chars.size() ? chars[next] : ' ';
        ++next;
        if (c == m.Blank)
            c = ' ';
        r += ApplyCase(c, place.Case);
    }
    return r;
}
