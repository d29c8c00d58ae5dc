#include "platform/rtl/Cp1251.h"

#include <cstdint>
#include <cstring>

#include <algorithm>
#include <array>
#include <bit>

namespace {

// Upper half of the code page, 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0x98 is the code page's hole; U+0098 keeps the round trip lossless.
constexpr char16_t kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// The code page byte of every code point a two-byte UTF-8 sequence can hold (U+0080..U+07FF),
// -1 where the code page has none: text from SQLite is mostly Cyrillic, decoded by lookup.
constexpr auto kFromTwoByte = [] {
    std::array<int16_t, 0x800 - 0x80> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 64; ++i)
        if (kUpperHalf[i] >= 0x80 && kUpperHalf[i] < 0x800)
            t[kUpperHalf[i] - 0x80] = int16_t(0x80 + i);
    for (int c = 0x0410; c <= 0x044F; ++c)
        t[c - 0x80] = int16_t(0xC0 + (c - 0x0410));
    return t;
}();

// Capital/small pairs of the Cyrillic letters outside А..я.
constexpr unsigned char kCasePairs[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
    {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

// Alphabetical order of the capitals: Russian letters with the other Cyrillic letters beside
// their nearest Russian neighbour.
constexpr unsigned char kCyrillicOrder[] = {
    0xC0 /*А*/, 0xC1 /*Б*/, 0xC2 /*В*/, 0xC3 /*Г*/, 0xA5 /*Ґ*/, 0xC4 /*Д*/, 0x80 /*Ђ*/,
    0x81 /*Ѓ*/, 0xC5 /*Е*/, 0xA8 /*Ё*/, 0xAA /*Є*/, 0xC6 /*Ж*/, 0xC7 /*З*/, 0xBD /*Ѕ*/,
    0xC8 /*И*/, 0xB2 /*І*/, 0xAF /*Ї*/, 0xC9 /*Й*/, 0xA3 /*Ј*/, 0xCA /*К*/, 0xCB /*Л*/,
    0x8A /*Љ*/, 0xCC /*М*/, 0xCD /*Н*/, 0x8C /*Њ*/, 0xCE /*О*/, 0xCF /*П*/, 0xD0 /*Р*/,
    0xD1 /*С*/, 0xD2 /*Т*/, 0x8E /*Ћ*/, 0x8D /*Ќ*/, 0xD3 /*У*/, 0xA1 /*Ў*/, 0xD4 /*Ф*/,
    0xD5 /*Х*/, 0xD6 /*Ц*/, 0xD7 /*Ч*/, 0x8F /*Џ*/, 0xD8 /*Ш*/, 0xD9 /*Щ*/, 0xDA /*Ъ*/,
    0xDB /*Ы*/, 0xDC /*Ь*/, 0xDD /*Э*/, 0xDE /*Ю*/, 0xDF /*Я*/,
};

struct Tables {
    std::array<unsigned char, 256> upper{}, lower{};
    std::array<uint16_t, 256> weight{};
    std::array<bool, 256> letter{};

    Tables()
    {
        for (int c = 0; c < 256; ++c)
            upper[c] = lower[c] = static_cast<unsigned char>(c);
        for (int c = 'a'; c <= 'z'; ++c) {
            upper[c] = static_cast<unsigned char>(c - 32);
            lower[c - 32] = static_cast<unsigned char>(c);
            letter[c] = letter[c - 32] = true;
        }
        for (int c = 0xE0; c <= 0xFF; ++c) {
            upper[c] = static_cast<unsigned char>(c - 32);
            lower[c - 32] = static_cast<unsigned char>(c);
            letter[c] = letter[c - 32] = true;
        }
        for (auto& p : kCasePairs) {
            upper[p[1]] = p[0];
            lower[p[0]] = p[1];
            letter[p[0]] = letter[p[1]] = true;
        }
        // Controls, then blanks and punctuation (by byte), digits, Latin, Cyrillic.
        for (int c = 0; c < 256; ++c)
            weight[c] = c < 0x20 ? uint16_t(c) : uint16_t(0x100 + c);
        for (int c = '0'; c <= '9'; ++c)
            weight[c] = uint16_t(0x300 + c - '0');
        for (int c = 'A'; c <= 'Z'; ++c)
            weight[c] = weight[c + 32] = uint16_t(0x400 + c - 'A');
        for (size_t i = 0; i < sizeof kCyrillicOrder; ++i) {
            unsigned char cap = kCyrillicOrder[i];
            weight[cap] = weight[lower[cap]] = uint16_t(0x500 + i);
        }
    }
};

const Tables& T()
{
    static const Tables t;
    return t;
}

int Sign(long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Decodes one UTF-8 sequence at s[i] (i < n). Returns the code point or -1 for a malformed
// byte, and advances i past what it consumed (one byte for a malformed one).
long DecodeUtf8(const unsigned char* s, size_t n, size_t& i)
{
    unsigned char c = s[i];
    if (c < 0x80) {
        ++i;
        return c;
    }
    int len;
    long cp;
    long min;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
    else { ++i; return -1; }
    if (n - i < size_t(len)) { ++i; return -1; }
    for (int k = 1; k < len; ++k) {
        unsigned char cc = s[i + k];
        if ((cc & 0xC0) != 0x80) { ++i; return -1; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return -1; }
    i += len;
    return cp;
}

void AppendUtf8(AnsiString& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

template <class Map>
AnsiString MapBytes(std::string_view s, Map map)
{
    AnsiString r(s);
    for (char& c : r)
        c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return r;
}

}  // namespace

namespace cp1251 {

char32_t ToUnicode(unsigned char c) noexcept
{
    if (c < 0x80)
        return c;
    if (c >= 0xC0)
        return char32_t(0x0410 + (c - 0xC0));
    return kUpperHalf[c - 0x80];
}

int FromUnicode(char32_t cp) noexcept
{
    if (cp < 0x80)
        return int(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return int(0xC0 + (cp - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kUpperHalf[i] == cp)
            return 0x80 + i;
    return -1;
}

unsigned char ToUpper(unsigned char c) noexcept { return T().upper[c]; }
unsigned char ToLower(unsigned char c) noexcept { return T().lower[c]; }
bool IsLetter(unsigned char c) noexcept { return T().letter[c]; }
bool IsUpper(unsigned char c) noexcept { return T().letter[c] && T().lower[c] != c; }
bool IsLower(unsigned char c) noexcept { return T().letter[c] && T().upper[c] != c; }
uint16_t SortWeight(unsigned char c) noexcept { return T().weight[c]; }

}  // namespace cp1251

AnsiString UpperCase(std::string_view s)
{
    return MapBytes(s, [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
}

AnsiString LowerCase(std::string_view s)
{
    return MapBytes(s, [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
}

AnsiString AnsiUpperCase(std::string_view s) { return MapBytes(s, cp1251::ToUpper); }
AnsiString AnsiLowerCase(std::string_view s) { return MapBytes(s, cp1251::ToLower); }

int CompareStr(std::string_view a, std::string_view b) noexcept
{
    int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(std::string_view a, std::string_view b) noexcept
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return Sign(long(a.size()) - long(b.size()));
}

int AnsiCompareTextBytes(const char* a, size_t na, const char* b, size_t nb) noexcept
{
    const auto& w = T().weight;
    size_t n = na < nb ? na : nb;
    for (size_t i = 0; i < n; ++i) {
        uint16_t x = w[static_cast<unsigned char>(a[i])], y = w[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return Sign(long(na) - long(nb));
}

int AnsiCompareText(std::string_view a, std::string_view b) noexcept
{
    return AnsiCompareTextBytes(a.data(), a.size(), b.data(), b.size());
}

int AnsiCompareStr(std::string_view a, std::string_view b) noexcept
{
    if (int r = AnsiCompareText(a, b))
        return r;
    // Same letters: the first difference in case decides, small before capital.
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x == y)
            continue;
        bool xl = cp1251::IsLower(x), yl = cp1251::IsLower(y);
        if (xl != yl)
            return xl ? -1 : 1;
        return x < y ? -1 : 1;  // same weight, different bytes (none in the table today)
    }
    return 0;
}

bool SameStr(std::string_view a, std::string_view b) noexcept { return a == b; }
bool SameText(std::string_view a, std::string_view b) noexcept { return CompareText(a, b) == 0; }
bool AnsiSameStr(std::string_view a, std::string_view b) noexcept { return a == b; }
bool AnsiSameText(std::string_view a, std::string_view b) noexcept { return AnsiCompareText(a, b) == 0; }

int Utf8AnsiCompareText(const char* a, size_t na, const char* b, size_t nb) noexcept
{
    const auto* sa = reinterpret_cast<const unsigned char*>(a);
    const auto* sb = reinterpret_cast<const unsigned char*>(b);
    auto weight = [](long cp) -> uint32_t {
        if (cp < 0)
            return 0x200000;  // malformed bytes last, all alike
        int c = cp1251::FromUnicode(char32_t(cp));
        return c >= 0 ? cp1251::SortWeight(static_cast<unsigned char>(c)) : 0x1000 + uint32_t(cp);
    };
    size_t i = 0, j = 0;
    while (i < na && j < nb) {
        // Identical characters weigh the same: ASCII and the two-byte sequences (all of
        // Cyrillic) are stepped over without decoding. Index checks and lookups compare
        // mostly texts with long equal beginnings.
        const unsigned char c = sa[i];
        if (c == sb[j]) {
            if (c < 0x80) {
                ++i, ++j;
                continue;
            }
            if (c >= 0xC2 && c <= 0xDF && i + 1 < na && j + 1 < nb && sa[i + 1] == sb[j + 1] &&
                (sa[i + 1] & 0xC0) == 0x80) {
                i += 2, j += 2;
                continue;
            }
        }
        size_t i0 = i, j0 = j;
        long ca = DecodeUtf8(sa, na, i), cb = DecodeUtf8(sb, nb, j);
        uint32_t x = weight(ca), y = weight(cb);
        if (x == y && ca < 0 && cb < 0) {
            x = sa[i0];
            y = sb[j0];
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return (i < na) - (j < nb);
}

AnsiString AnsiToUtf8(std::string_view ansi)
{
    AnsiString out;
    out.reserve(ansi.size() * 2);
    for (unsigned char c : ansi) {
        if (c < 0x80)
            out += char(c);
        else
            AppendUtf8(out, cp1251::ToUnicode(c));
    }
    return out;
}

static_assert(std::endian::native == std::endian::little, "Russian letters are read in little-endian pairs");

size_t Utf8ToAnsiInto(std::string_view utf8, char* out) noexcept
{
    // Every output byte takes at least one input byte, so the output has room for as many
    // bytes as are left to read, and more once Russian letters (two bytes to one) have been
    // read. While it has room for eight, ASCII and runs of Russian letters are read eight
    // bytes at a time, each word stored whole and kept as far as it holds such text; the
    // last few bytes are read as the end of the text's last eight. The rest go one character
    // at a time: two-byte sequences by a table, anything longer through the full decoder.
    char* o = out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t i = 0;
    const size_t n = utf8.size();
    while (i < n) {
        if (n >= 8 && size_t(out + n - o) >= 8) {
            const size_t left = n - i;
            uint64_t w;
            if (left >= 8) {
                std::memcpy(&w, s + i, 8);
            } else {
                std::memcpy(&w, s + n - 8, 8);
                w >>= 8 * (8 - left);  // zeros past the end: ASCII, and no Russian letter
            }
            const uint64_t high = w & 0x8080808080808080ull;
            if ((high & 0xFF) == 0) {
                // ASCII up to the first byte with the high bit (all that are left when none has it).
                const size_t k = high == 0 ? std::min<size_t>(left, 8) : size_t(std::countr_zero(high)) >> 3;
                std::memcpy(o, &w, 8);
                o += k;
                i += k;
                continue;
            }
            // Russian letters: А..п are D0 90..D0 BF, р..я D1 80..D1 8F. With each pair of
            // bytes read as a 16-bit number (lead in the low byte), v = (lead & 1) << 6 |
            // (trail & 0x3F) is 10..4F exactly for those letters, and the letter is v + B0.
            // v + 30 lands in each high byte (no carry leaves a lane): 40..7F when in range.
            const uint64_t v = ((w & 0x0001000100010001ull) << 14) + (w & 0x3F003F003F003F00ull) +
                               0x3000300030003000ull;
            const uint64_t bad = ((w & 0xC0FEC0FEC0FEC0FEull) ^ 0x80D080D080D080D0ull) |
                                 ((v & 0xC000C000C000C000ull) ^ 0x4000400040004000ull);
            const size_t letters = bad == 0 ? 4 : size_t(std::countr_zero(bad)) >> 4;
            if (letters > 0) {
                uint64_t x = (v >> 8) & 0x00FF00FF00FF00FFull;
                x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
                x = (x | (x >> 16)) & 0xFFFFFFFFull;
                const auto four = static_cast<uint32_t>(x | 0x80808080u);
                std::memcpy(o, &four, 4);
                o += letters;
                i += 2 * letters;
                continue;
            }
        }
        if (s[i] < 0x80) {
            *o++ = char(s[i++]);
            continue;
        }
        if (i + 1 < n && ((s[i] == 0xD0 && s[i + 1] >= 0x90 && s[i + 1] <= 0xBF) ||
                          (s[i] == 0xD1 && s[i + 1] >= 0x80 && s[i + 1] <= 0x8F))) {
            *o++ = char(s[i + 1] + (s[i] == 0xD0 ? 0x30 : 0x70));
            i += 2;
            continue;
        }
        if ((s[i] & 0xE0) == 0xC0 && i + 1 < n && (s[i + 1] & 0xC0) == 0x80 && s[i] >= 0xC2) {
            const int c = kFromTwoByte[size_t((s[i] & 0x1F) << 6 | (s[i + 1] & 0x3F)) - 0x80];
            *o++ = c < 0 ? '?' : char(c);
            i += 2;
            continue;
        }
        const long cp = DecodeUtf8(s, n, i);
        const int c = cp < 0 ? -1 : cp1251::FromUnicode(char32_t(cp));
        *o++ = c < 0 ? '?' : char(c);
    }
    return size_t(o - out);
}

AnsiString Utf8ToAnsi(std::string_view utf8)
{
    // Russian text takes half its UTF-8 size: a short text is converted on the stack first,
    // so that its string is made at its own length (a word of up to 15 letters then needs
    // no heap at all).
    constexpr size_t kOnStack = 512;
    if (utf8.size() > AnsiString().capacity() && utf8.size() <= kOnStack) {
        char buf[kOnStack];
        return AnsiString(buf, Utf8ToAnsiInto(utf8, buf));
    }
    AnsiString out(utf8.size(), '\0');
    out.resize(Utf8ToAnsiInto(utf8, out.data()));
    return out;
}
