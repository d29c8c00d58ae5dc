// DecimalCommaLocale.h - the C library's numbers with a decimal comma, for tests.
//
// Qt sets the C library's locale to the desktop's when the application starts, so on a
// Russian desktop printf writes "2,5" and strtod stops at the point of "2.5". Files and
// texts the program reads and writes must not notice; tests run their readers and writers
// inside a TDecimalCommaLocale to prove it.
#pragma once

#include <optional>
#include <string>

// LC_NUMERIC set to a locale with a decimal comma while it lives, as it was afterwards.
// When the machine has no such locale installed, one is made with localedef, once per
// program, in a temporary folder removed at exit. On() is false when none can be had (the
// test then skips).
class TDecimalCommaLocale {
public:
    TDecimalCommaLocale();
    ~TDecimalCommaLocale();
    TDecimalCommaLocale(const TDecimalCommaLocale&) = delete;
    TDecimalCommaLocale& operator=(const TDecimalCommaLocale&) = delete;

    bool On() const { return FOn; }

private:
    bool Use(const char* name);

    std::string FOldNumeric;
    bool FOn = false;
    bool FPathSet = false;  // LOCPATH points at the locale made here
    std::optional<std::string> FOldPath;
};
