#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// Byte offset of a 1-based index clamped into the string; count clamped to what is there.
void ClampRange(size_t size, int index, int count, size_t& from, size_t& len)
{
    if (index < 1)
        index = 1;
    if (count < 0 || size_t(index) > size) {
        from = size;
        len = 0;
        return;
    }
    from = size_t(index) - 1;
    len = std::min(size - from, size_t(count));
}

}  // namespace

AnsiString Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return AnsiString(s.substr(b, e - b));
}

AnsiString TrimLeft(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    return AnsiString(s.substr(b));
}

AnsiString TrimRight(std::string_view s)
{
    size_t e = s.size();
    while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return AnsiString(s.substr(0, e));
}

int Pos(std::string_view substr, std::string_view s) { return PosEx(substr, s, 1); }

int PosEx(std::string_view substr, std::string_view s, int offset)
{
    if (substr.empty() || offset < 1 || size_t(offset) > s.size())
        return 0;
    size_t p = s.find(substr, size_t(offset) - 1);
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

AnsiString Copy(std::string_view s, int index, int count)
{
    size_t from, len;
    ClampRange(s.size(), index, count, from, len);
    return AnsiString(s.substr(from, len));
}

void Delete(AnsiString& s, int index, int count)
{
    if (index < 1 || count <= 0 || size_t(index) > s.size())
        return;
    size_t from, len;
    ClampRange(s.size(), index, count, from, len);
    s.erase(from, len);
}

void Insert(std::string_view source, AnsiString& s, int index)
{
    if (index < 1)
        index = 1;
    size_t at = std::min(size_t(index) - 1, s.size());
    s.insert(at, source);
}

AnsiString StringOfChar(char c, int count) { return count > 0 ? AnsiString(size_t(count), c) : AnsiString(); }

AnsiString AnsiQuotedStr(std::string_view s, char quote)
{
    AnsiString r;
    r.reserve(s.size() + 2);
    r += quote;
    for (char c : s) {
        r += c;
        if (c == quote)
            r += quote;
    }
    r += quote;
    return r;
}

AnsiString QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiDequotedStr(std::string_view s, char quote)
{
    if (s.empty() || s[0] != quote)
        return AnsiString(s);
    AnsiString r;
    size_t i = 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            return r;  // closing quote; anything after it is dropped
        }
        r += s[i++];
    }
    return AnsiString(s);  // no closing quote: not a quoted text
}

AnsiString StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                         TReplaceFlags flags)
{
    if (oldPattern.empty())
        return AnsiString(s);
    AnsiString hay, needle;
    std::string_view searchIn = s, searchFor = oldPattern;
    if (flags & rfIgnoreCase) {
        hay = AnsiUpperCase(s);
        needle = AnsiUpperCase(oldPattern);
        searchIn = hay;
        searchFor = needle;
    }
    AnsiString r;
    size_t from = 0;
    while (true) {
        size_t p = searchIn.find(searchFor, from);
        if (p == std::string_view::npos)
            break;
        r.append(s.substr(from, p - from));
        r.append(newPattern);
        from = p + oldPattern.size();
        if (!(flags & rfReplaceAll))
            break;
    }
    r.append(s.substr(from));
    return r;
}
