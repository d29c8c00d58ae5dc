// Cp1251.h - the CP1251 code page: case tables, collation, conversion to and from UTF-8.
//
// All program text is CP1251 bytes. Upper/lower casing and case-insensitive comparison
// use the tables here, never the C library's locale, so the result is the same on every
// machine.
//
// Casing:
//   UpperCase/LowerCase          ASCII letters only (a-z), every other byte unchanged.
//   AnsiUpperCase/AnsiLowerCase  ASCII, Cyrillic А-я, Ё/ё and the other Cyrillic letters
//                                of the code page (Ђ/ђ, Ѓ/ѓ, Є/є, Ї/ї, Ў/ў, ...).
//
// Comparison (results <0, 0, >0):
//   CompareStr       byte order, case-sensitive.
//   CompareText      byte order after ASCII upper-casing.
//   AnsiCompareStr   Russian alphabetical order, case-sensitive (a lower-case letter sorts
//                    before its capital when the texts are otherwise equal).
//   AnsiCompareText  Russian alphabetical order without regard to case.
//   Russian order: control characters, blanks and punctuation, digits, Latin letters,
//   Cyrillic letters А Б В Г Д Е Ё Ж ... Я (Ё right after Е), other Cyrillic letters
//   sorted beside their nearest Russian letter; a shorter text that is a prefix of a
//   longer one sorts first.
//
// Conversion:
//   AnsiToUtf8   every CP1251 byte has a code point; the one hole of the code page (0x98)
//                maps to U+0098 so that the round trip is lossless.
//   Utf8ToAnsi   a code point CP1251 cannot hold becomes '?'; so does every byte of a
//                malformed UTF-8 sequence (overlong forms, surrogates, truncated tails).
#pragma once

#include "platform/rtl/System.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cp1251 {
// Unicode code point of a CP1251 byte.
char32_t ToUnicode(unsigned char c) noexcept;
// CP1251 byte of a code point, or -1 when the code page has none.
int FromUnicode(char32_t cp) noexcept;
// Single-byte case mapping and Russian collation weight (case-insensitive primary weight).
unsigned char ToUpper(unsigned char c) noexcept;
unsigned char ToLower(unsigned char c) noexcept;
bool IsLetter(unsigned char c) noexcept;
bool IsUpper(unsigned char c) noexcept;
bool IsLower(unsigned char c) noexcept;
uint16_t SortWeight(unsigned char c) noexcept;
}  // namespace cp1251

AnsiString UpperCase(std::string_view s);
AnsiString LowerCase(std::string_view s);
AnsiString AnsiUpperCase(std::string_view s);
AnsiString AnsiLowerCase(std::string_view s);

int CompareStr(std::string_view a, std::string_view b) noexcept;
int CompareText(std::string_view a, std::string_view b) noexcept;
int AnsiCompareStr(std::string_view a, std::string_view b) noexcept;
int AnsiCompareText(std::string_view a, std::string_view b) noexcept;
bool SameStr(std::string_view a, std::string_view b) noexcept;
bool SameText(std::string_view a, std::string_view b) noexcept;
bool AnsiSameStr(std::string_view a, std::string_view b) noexcept;
bool AnsiSameText(std::string_view a, std::string_view b) noexcept;

// Case-insensitive Russian comparison over raw CP1251 bytes (for collations and sorting).
int AnsiCompareTextBytes(const char* a, size_t na, const char* b, size_t nb) noexcept;
// The same order over UTF-8 text (the SQLite collation): each code point is taken as its
// CP1251 byte; code points CP1251 cannot hold sort after every CP1251 letter, by value.
// Malformed bytes compare as themselves after those. Never reads past na/nb.
int Utf8AnsiCompareText(const char* a, size_t na, const char* b, size_t nb) noexcept;

AnsiString AnsiToUtf8(std::string_view ansi);
AnsiString Utf8ToAnsi(std::string_view utf8);
// Utf8ToAnsi into `out`, which has room for utf8.size() bytes; returns the length of the
// result (bytes of that room past it may have been written over).
size_t Utf8ToAnsiInto(std::string_view utf8, char* out) noexcept;
