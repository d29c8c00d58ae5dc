#include "platform/rtl/Cp1251.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The upper half of the code page written out by hand. The third column is the same
// character as a narrow literal, which the compiler turns into CP1251 on its own: a second,
// independent opinion on every row.
struct CodeRow {
    unsigned char byte;
    char32_t unicode;
    const char* literal;
};

const CodeRow kUpperHalf[] = {
    {0x80, 0x0402, "Ђ"}, {0x81, 0x0403, "Ѓ"}, {0x82, 0x201A, "‚"}, {0x83, 0x0453, "ѓ"},
    {0x84, 0x201E, "„"}, {0x85, 0x2026, "…"}, {0x86, 0x2020, "†"}, {0x87, 0x2021, "‡"},
    {0x88, 0x20AC, "€"}, {0x89, 0x2030, "‰"}, {0x8A, 0x0409, "Љ"}, {0x8B, 0x2039, "‹"},
    {0x8C, 0x040A, "Њ"}, {0x8D, 0x040C, "Ќ"}, {0x8E, 0x040B, "Ћ"}, {0x8F, 0x040F, "Џ"},
    {0x90, 0x0452, "ђ"}, {0x91, 0x2018, "‘"}, {0x92, 0x2019, "’"}, {0x93, 0x201C, "“"},
    {0x94, 0x201D, "”"}, {0x95, 0x2022, "•"}, {0x96, 0x2013, "–"}, {0x97, 0x2014, "—"},
    {0x98, 0x0098, nullptr}, {0x99, 0x2122, "™"}, {0x9A, 0x0459, "љ"}, {0x9B, 0x203A, "›"},
    {0x9C, 0x045A, "њ"}, {0x9D, 0x045C, "ќ"}, {0x9E, 0x045B, "ћ"}, {0x9F, 0x045F, "џ"},
    {0xA0, 0x00A0, "\u00A0"}, {0xA1, 0x040E, "Ў"}, {0xA2, 0x045E, "ў"}, {0xA3, 0x0408, "Ј"},
    {0xA4, 0x00A4, "¤"}, {0xA5, 0x0490, "Ґ"}, {0xA6, 0x00A6, "¦"}, {0xA7, 0x00A7, "§"},
    {0xA8, 0x0401, "Ё"}, {0xA9, 0x00A9, "©"}, {0xAA, 0x0404, "Є"}, {0xAB, 0x00AB, "«"},
    {0xAC, 0x00AC, "¬"}, {0xAD, 0x00AD, "\u00AD"}, {0xAE, 0x00AE, "®"}, {0xAF, 0x0407, "Ї"},
    {0xB0, 0x00B0, "°"}, {0xB1, 0x00B1, "±"}, {0xB2, 0x0406, "І"}, {0xB3, 0x0456, "і"},
    {0xB4, 0x0491, "ґ"}, {0xB5, 0x00B5, "µ"}, {0xB6, 0x00B6, "¶"}, {0xB7, 0x00B7, "·"},
    {0xB8, 0x0451, "ё"}, {0xB9, 0x2116, "№"}, {0xBA, 0x0454, "є"}, {0xBB, 0x00BB, "»"},
    {0xBC, 0x0458, "ј"}, {0xBD, 0x0405, "Ѕ"}, {0xBE, 0x0455, "ѕ"}, {0xBF, 0x0457, "ї"},
    {0xC0, 0x0410, "А"}, {0xC1, 0x0411, "Б"}, {0xC2, 0x0412, "В"}, {0xC3, 0x0413, "Г"},
    {0xC4, 0x0414, "Д"}, {0xC5, 0x0415, "Е"}, {0xC6, 0x0416, "Ж"}, {0xC7, 0x0417, "З"},
    {0xC8, 0x0418, "И"}, {0xC9, 0x0419, "Й"}, {0xCA, 0x041A, "К"}, {0xCB, 0x041B, "Л"},
    {0xCC, 0x041C, "М"}, {0xCD, 0x041D, "Н"}, {0xCE, 0x041E, "О"}, {0xCF, 0x041F, "П"},
    {0xD0, 0x0420, "Р"}, {0xD1, 0x0421, "С"}, {0xD2, 0x0422, "Т"}, {0xD3, 0x0423, "У"},
    {0xD4, 0x0424, "Ф"}, {0xD5, 0x0425, "Х"}, {0xD6, 0x0426, "Ц"}, {0xD7, 0x0427, "Ч"},
    {0xD8, 0x0428, "Ш"}, {0xD9, 0x0429, "Щ"}, {0xDA, 0x042A, "Ъ"}, {0xDB, 0x042B, "Ы"},
    {0xDC, 0x042C, "Ь"}, {0xDD, 0x042D, "Э"}, {0xDE, 0x042E, "Ю"}, {0xDF, 0x042F, "Я"},
    {0xE0, 0x0430, "а"}, {0xE1, 0x0431, "б"}, {0xE2, 0x0432, "в"}, {0xE3, 0x0433, "г"},
    {0xE4, 0x0434, "д"}, {0xE5, 0x0435, "е"}, {0xE6, 0x0436, "ж"}, {0xE7, 0x0437, "з"},
    {0xE8, 0x0438, "и"}, {0xE9, 0x0439, "й"}, {0xEA, 0x043A, "к"}, {0xEB, 0x043B, "л"},
    {0xEC, 0x043C, "м"}, {0xED, 0x043D, "н"}, {0xEE, 0x043E, "о"}, {0xEF, 0x043F, "п"},
    {0xF0, 0x0440, "р"}, {0xF1, 0x0441, "с"}, {0xF2, 0x0442, "т"}, {0xF3, 0x0443, "у"},
    {0xF4, 0x0444, "ф"}, {0xF5, 0x0445, "х"}, {0xF6, 0x0446, "ц"}, {0xF7, 0x0447, "ч"},
    {0xF8, 0x0448, "ш"}, {0xF9, 0x0449, "щ"}, {0xFA, 0x044A, "ъ"}, {0xFB, 0x044B, "ы"},
    {0xFC, 0x044C, "ь"}, {0xFD, 0x044D, "э"}, {0xFE, 0x044E, "ю"}, {0xFF, 0x044F, "я"},
};
static_assert(sizeof kUpperHalf / sizeof kUpperHalf[0] == 128);

AnsiString Utf8Of(char32_t cp)
{
    AnsiString s;
    if (cp < 0x80) {
        s += char(cp);
    } else if (cp < 0x800) {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    } else {
        s += char(0xE0 | (cp >> 12));
        s += char(0x80 | ((cp >> 6) & 0x3F));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(Cp1251, UpperHalfMapsBothWays)
{
    for (const auto& r : kUpperHalf) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << int(r.byte));
        EXPECT_EQ(cp1251::ToUnicode(r.byte), r.unicode);
        EXPECT_EQ(cp1251::FromUnicode(r.unicode), int(r.byte));
        if (r.literal) {
            EXPECT_EQ(std::strlen(r.literal), 1u);
            EXPECT_EQ(static_cast<unsigned char>(r.literal[0]), r.byte) << "the compiler's CP1251 disagrees";
        }
        const AnsiString one(1, char(r.byte));
        EXPECT_EQ(AnsiToUtf8(one), Utf8Of(r.unicode));
        EXPECT_EQ(Utf8ToAnsi(Utf8Of(r.unicode)), one);
    }
}

TEST(Cp1251, AsciiIsItself)
{
    for (int c = 0; c < 128; ++c) {
        EXPECT_EQ(cp1251::ToUnicode(static_cast<unsigned char>(c)), char32_t(c));
        EXPECT_EQ(cp1251::FromUnicode(char32_t(c)), c);
    }
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip)
{
    AnsiString all;
    for (int c = 0; c < 256; ++c)
        all += char(c);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(Cp1251, EveryTwoByteSequenceDecodesAsTheCodePointItNames)
{
    // Two-byte sequences are decoded by a table and Russian letters by a quicker path: both
    // agree with FromUnicode for every code point they cover, alone and between letters.
    for (char32_t cp = 0x80; cp < 0x800; ++cp) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << unsigned(cp));
        const int byte = cp1251::FromUnicode(cp);
        const AnsiString one(1, byte < 0 ? '?' : char(byte));
        EXPECT_EQ(Utf8ToAnsi(Utf8Of(cp)), one);
        EXPECT_EQ(Utf8ToAnsi(Utf8Of(0x044F) + Utf8Of(cp) + Utf8Of(0x0410) + "x"), "я" + one + "Аx");
    }
    EXPECT_EQ(Utf8ToAnsi("\xD0\x90\xD1"), "А?") << "a Russian letter, then a cut sequence";
}

TEST(Cp1251, RussianRunsReadAnyWayAgreeWithOneLetterAtATime)
{
    // Runs of Russian letters are read several at a time; whatever breaks a run (another
    // two-byte letter, ASCII, a cut or stray byte, a longer sequence), wherever it falls in
    // the run and wherever the run starts, the text reads as its pieces read alone.
    std::vector<std::string> intruders = {"A", " ", "\xD0", "\xD1", "\xD0" "A", "\x80", "\xBF",
                                          "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC0\xAF"};
    for (char32_t cp = 0x80; cp < 0x800; ++cp)
        intruders.push_back(Utf8Of(cp));
    for (size_t k = 0; k < intruders.size(); ++k) {
        const std::string& bad = intruders[k];
        for (int at = 0; at <= 9; ++at)
            for (int lead = 0; lead < 10; ++lead) {
                std::string utf8(static_cast<size_t>(lead), 'x');
                AnsiString want(static_cast<size_t>(lead), 'x');
                for (int i = 0; i <= 9; ++i) {
                    if (i == at) {
                        utf8 += bad;
                        want += Utf8ToAnsi(bad);
                    }
                    if (i < 9) {
                        const char32_t letter = 0x0410 + char32_t((k + static_cast<size_t>(i) * 7) % 64);
                        utf8 += Utf8Of(letter);
                        want += Utf8ToAnsi(Utf8Of(letter));
                    }
                }
                ASSERT_EQ(Utf8ToAnsi(utf8), want) << "piece " << k << " at " << at << " after " << lead;
            }
    }
}

struct Utf8Case {
    const char* why;
    std::string utf8;
    std::string ansi;
};

TEST(Cp1251, Utf8ToAnsiReplacesWhatItCannotHold)
{
    const Utf8Case cases[] = {
        {"Cyrillic text", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "Привет"},
        {"CJK has no CP1251 byte", "a\xE4\xB8\xADz", "a?z"},
        {"emoji (4 bytes) is one '?'", "\xF0\x9F\x98\x80", "?"},
        {"lone continuation byte", "a\x80z", "a?z"},
        {"truncated two-byte sequence at the end", "ab\xD0", "ab?"},
        {"truncated three-byte sequence", "\xE2\x82", "??"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"surrogate half", "\xED\xA0\x80", "???"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"invalid lead byte", "\xFF", "?"},
        {"euro sign", "\xE2\x82\xAC", "€"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
    }
}

struct CaseRow {
    const char* why;
    const char* lower;
    const char* upper;
};

TEST(Cp1251, AnsiCaseCoversEveryCyrillicLetter)
{
    const CaseRow rows[] = {
        {"Russian alphabet", "абвгдеёжзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
        {"Ukrainian and Belarusian letters", "ґєіїў", "ҐЄІЇЎ"},
        {"Serbian and Macedonian letters", "ђѓјљњќћџѕ", "ЂЃЈЉЊЌЋЏЅ"},
        {"Latin", "abcxyz", "ABCXYZ"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(AnsiUpperCase(r.lower), r.upper);
        EXPECT_EQ(AnsiLowerCase(r.upper), r.lower);
    }
}

TEST(Cp1251, NonLettersKeepTheirCase)
{
    const char* same = "0123456789 !?«»№€—\xA0\xB5";  // µ has no capital in the code page
    EXPECT_EQ(AnsiUpperCase(same), same);
    EXPECT_EQ(AnsiLowerCase(same), same);
}

TEST(Cp1251, PlainCaseTouchesOnlyAscii)
{
    EXPECT_EQ(UpperCase("abc где Ё"), "ABC где Ё");
    EXPECT_EQ(LowerCase("ABC ГДЕ ё"), "abc ГДЕ ё");
}

struct OrderRow {
    const char* why;
    const char* a;
    const char* b;
    int text;  // AnsiCompareText sign
    int str;   // AnsiCompareStr sign
};

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

TEST(Cp1251, RussianAlphabeticalOrder)
{
    const OrderRow rows[] = {
        {"Е before Ё", "Е", "Ё", -1, -1},
        {"Ё before Ж (byte order would put Ё first of all)", "Ё", "Ж", -1, -1},
        {"ё between е and ж in words", "ёлка", "жук", -1, -1},
        {"ель before ёлка", "ель", "ёлка", -1, -1},
        {"case ignored by Text", "ёлка", "ЁЛКА", 0, -1},
        {"small before capital when otherwise equal", "яблоко", "Яблоко", 0, -1},
        {"Я last of the alphabet", "Я", "а", 1, 1},
        {"Latin before Cyrillic", "z", "а", -1, -1},
        {"digits before letters", "9", "A", -1, -1},
        {"punctuation before digits", "-", "0", -1, -1},
        {"prefix first", "Склад", "Склады", -1, -1},
        {"equal", "Товар", "Товар", 0, 0},
        {"empty first", "", "а", -1, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(Sign(AnsiCompareText(r.a, r.b)), r.text);
        EXPECT_EQ(Sign(AnsiCompareText(r.b, r.a)), -r.text);
        EXPECT_EQ(Sign(AnsiCompareStr(r.a, r.b)), r.str);
        EXPECT_EQ(Sign(AnsiCompareStr(r.b, r.a)), -r.str);
        EXPECT_EQ(AnsiSameText(r.a, r.b), r.text == 0);
    }
}

TEST(Cp1251, PlainCompareIsBytes)
{
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_NE(CompareText("где", "ГДЕ"), 0);  // no Cyrillic folding in the plain variant
    EXPECT_LT(CompareStr("A", "a"), 0);
    EXPECT_GT(CompareStr("я", "a"), 0);
    EXPECT_TRUE(SameText("Hello", "hELLO"));
}

TEST(Cp1251, Utf8CollationAgreesWithTheAnsiOrder)
{
    const char* words[] = {"ёлка", "Ель", "ЖУК", "абв", "Яма", "zeta", "Alpha", "123", "ёЛКА"};
    for (const char* a : words)
        for (const char* b : words) {
            AnsiString ua = AnsiToUtf8(a), ub = AnsiToUtf8(b);
            SCOPED_TRACE(ua + " vs " + ub);
            EXPECT_EQ(Sign(Utf8AnsiCompareText(ua.data(), ua.size(), ub.data(), ub.size())),
                      Sign(AnsiCompareText(a, b)));
        }
}

TEST(Cp1251, Utf8CollationHandlesForeignAndBrokenText)
{
    const std::string cjk = "\xE4\xB8\xAD", ya = AnsiToUtf8("я"), broken = "\xD0";
    EXPECT_GT(Utf8AnsiCompareText(cjk.data(), cjk.size(), ya.data(), ya.size()), 0);
    EXPECT_GT(Utf8AnsiCompareText(broken.data(), broken.size(), cjk.data(), cjk.size()), 0);
    EXPECT_EQ(Utf8AnsiCompareText(broken.data(), broken.size(), broken.data(), broken.size()), 0);
    EXPECT_EQ(Utf8AnsiCompareText(nullptr, 0, nullptr, 0), 0);
}

}  // namespace
