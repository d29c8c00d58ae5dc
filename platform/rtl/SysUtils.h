// SysUtils.h - strings, locale, number and date conversions, Format, files.
//
// Conventions:
// - Strings are CP1251 bytes (AnsiString); Pos/Copy/Delete/Insert count bytes from 1.
//   Out-of-range indexes and counts are clamped, never read or written out of bounds.
// - TFormatSettings carries every locale-dependent choice. Each formatting and parsing
//   function has an overload taking the settings; the overload without them uses the
//   process-wide settings (FormatSettings()), which only SetFormatSettings() changes.
//   Nothing changes them while formatting. The defaults are Russian (RussianFormatSettings()).
// - TDateTime is a distinct thin type over double (as the platform's own TDateTime class):
//   day numbers from 30.12.1899 with the time of day as the fraction. It converts to and
//   from double implicitly, so arithmetic reads naturally, while Variant(TDateTime) makes a
//   varDate and Variant(double) a varDouble. Negative values: the integral part counts days
//   back, the fraction is still the time of day taken as |frac| (as the platform does).
// - Currency is a 64-bit integer scaled by 10000 (four decimal places).
// - Conversion failures raise EConvertError with the platform's own messages:
//     "'%s' is not a valid integer value", "'%s' is not a valid floating point value",
//     "'%s' is not a valid date", "'%s' is not a valid time", "'%s' is not a valid date and time",
//     Format: "Format '%s' invalid or incompatible with argument",
//             "No argument for format '%s'".
// - Now/Date/Time read a clock that tests replace with SetClockForTesting().
// - File helpers take CP1251 paths and convert them to UTF-8 at the system call; '\' is
//   accepted as a path delimiter as well as '/', so paths written the Windows way still work.
#pragma once

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/System.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

class Variant;

// ---------------------------------------------------------------- date and money types

struct TDateTime {
    double Val = 0;
    constexpr TDateTime() = default;
    constexpr TDateTime(double v) : Val(v) {}
    constexpr operator double() const { return Val; }
    TDateTime& operator+=(double d) { Val += d; return *this; }
    TDateTime& operator-=(double d) { Val -= d; return *this; }
    // Moving a date keeps it a date; the distance between two dates is a number of days.
    friend constexpr TDateTime operator+(TDateTime a, TDateTime b) { return a.Val + b.Val; }
    friend constexpr TDateTime operator+(TDateTime a, double b) { return a.Val + b; }
    friend constexpr TDateTime operator+(double a, TDateTime b) { return a + b.Val; }
    friend constexpr double operator-(TDateTime a, TDateTime b) { return a.Val - b.Val; }
    friend constexpr TDateTime operator-(TDateTime a, double b) { return a.Val - b; }
};

struct Currency {
    int64_t Val = 0;  // value * 10000
    constexpr Currency() = default;
    Currency(double v);  // rounds to 4 places, halves to even; EOverflow when out of range
    constexpr Currency(int v) : Val(int64_t(v) * 10000) {}
    static constexpr Currency FromScaled(int64_t scaled) { Currency c; c.Val = scaled; return c; }
    constexpr double ToDouble() const { return double(Val) / 10000.0; }
    constexpr operator double() const { return ToDouble(); }
    friend constexpr bool operator==(Currency a, Currency b) { return a.Val == b.Val; }
};

// ---------------------------------------------------------------- locale

struct TFormatSettings {
    AnsiString CurrencyString;
    uint8_t CurrencyFormat = 0;   // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    uint8_t NegCurrFormat = 0;    // 0..15 as the platform numbers them
    uint8_t CurrencyDecimals = 2;
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    AnsiString ShortDateFormat;
    AnsiString LongDateFormat;
    AnsiString TimeAMString;
    AnsiString TimePMString;
    AnsiString ShortTimeFormat;
    AnsiString LongTimeFormat;
    AnsiString ShortMonthNames[12];
    AnsiString LongMonthNames[12];
    AnsiString ShortDayNames[7];  // Sunday first
    AnsiString LongDayNames[7];
    uint16_t TwoDigitYearCenturyWindow = 50;
};

// Russian defaults: "," decimal, non-breaking space (0xA0) thousands, "dd.mm.yyyy",
// "hh:mm:ss", "р." after the amount.
TFormatSettings RussianFormatSettings();
// English (United States) settings: "." decimal, "," thousands, "mm/dd/yyyy", "$".
TFormatSettings EnglishFormatSettings();
// The process-wide settings used by the overloads without a settings argument.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& fs);

// ---------------------------------------------------------------- strings

AnsiString Trim(std::string_view s);       // drops bytes <= ' ' at both ends
AnsiString TrimLeft(std::string_view s);
AnsiString TrimRight(std::string_view s);
int Pos(std::string_view substr, std::string_view s);  // 1-based; 0 when absent or substr empty
int PosEx(std::string_view substr, std::string_view s, int offset = 1);
AnsiString Copy(std::string_view s, int index, int count);
void Delete(AnsiString& s, int index, int count);
void Insert(std::string_view source, AnsiString& s, int index);
AnsiString StringOfChar(char c, int count);
AnsiString QuotedStr(std::string_view s);                 // 'it''s'
AnsiString AnsiQuotedStr(std::string_view s, char quote);
// Removes the quotes of a quoted text (doubling undone); text not starting with quote unchanged.
AnsiString AnsiDequotedStr(std::string_view s, char quote);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
AnsiString StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                         TReplaceFlags flags);

AnsiString IntToStr(int64_t value);
AnsiString IntToHex(int64_t value, int digits);  // upper-case, at least `digits` digits
AnsiString UIntToStr(uint64_t value);

// Integer parsing: optional leading blanks, optional sign, decimal digits or "$"/"0x"/"0X"
// followed by hex digits; trailing blanks are not allowed. Overflow is a conversion error.
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
int StrToIntDef(std::string_view s, int def);
int64_t StrToInt64Def(std::string_view s, int64_t def);

// Float parsing: leading and trailing blanks allowed, optional sign, digits with one
// decimal separator (settings), optional exponent "E[+-]digits". No thousands separators.
double StrToFloat(std::string_view s);
double StrToFloat(std::string_view s, const TFormatSettings& fs);
bool TryStrToFloat(std::string_view s, double& value);
bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs);
double StrToFloatDef(std::string_view s, double def);
double StrToFloatDef(std::string_view s, double def, const TFormatSettings& fs);
Currency StrToCurr(std::string_view s);
Currency StrToCurr(std::string_view s, const TFormatSettings& fs);
bool TryStrToCurr(std::string_view s, Currency& value, const TFormatSettings& fs);

bool StrToBool(std::string_view s);  // "True"/"False" any case, or a number (non-zero = True)
bool TryStrToBool(std::string_view s, bool& value);
AnsiString BoolToStr(bool b, bool useBoolStrs = false);  // "-1"/"0", or "True"/"False"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format, 15 significant digits; exponent form from 1E15 up and below 0,0001
// ("1E15", "1E-5"); "NAN", "INF", "-INF". Digits come from the value's first 18 significant
// decimal digits, rounded with halves away from zero (as the platform's extended type does).
AnsiString FloatToStr(double value);
AnsiString FloatToStr(double value, const TFormatSettings& fs);
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                       const TFormatSettings& fs);
AnsiString CurrToStr(Currency value);
AnsiString CurrToStr(Currency value, const TFormatSettings& fs);
AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits);
AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs);
// Pictures: '0' digit, '#' optional digit, '.' decimal point, ',' thousands, "E+ E- e+ e-"
// exponent, "..." and '...' literal text, ';' sections (positive;negative;zero).
AnsiString FormatFloat(std::string_view picture, double value);
AnsiString FormatFloat(std::string_view picture, double value, const TFormatSettings& fs);
AnsiString FormatCurr(std::string_view picture, Currency value);
AnsiString FormatCurr(std::string_view picture, Currency value, const TFormatSettings& fs);

// ---------------------------------------------------------------- Format

enum : uint8_t {
    vtInteger = 0, vtBoolean = 1, vtChar = 2, vtExtended = 3, vtString = 4, vtPointer = 5,
    vtPChar = 6, vtObject = 7, vtClass = 8, vtWideChar = 9, vtPWideChar = 10, vtAnsiString = 11,
    vtCurrency = 12, vtVariant = 13, vtInterface = 14, vtWideString = 15, vtInt64 = 16
};

// One typed argument of Format. It refers to strings and Variants without copying them, so
// it must not outlive the call it is built for (a braced argument list does not).
struct TVarRec {
    uint8_t VType = vtInteger;
    union {
        int32_t VInteger;
        bool VBoolean;
        char VChar;
        long double VExtended;
        const void* VPointer;
        const char* VPChar;
        const AnsiString* VAnsiString;
        Currency VCurrency;
        const Variant* VVariant;
        int64_t VInt64;
    };
    TVarRec() : VInteger(0) {}
    TVarRec(int v) : VType(vtInteger), VInteger(v) {}
    TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
    TVarRec(long v) : VType(vtInt64), VInt64(v) {}
    TVarRec(unsigned long v) : VType(vtInt64), VInt64(int64_t(v)) {}
    TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
    TVarRec(unsigned long long v) : VType(vtInt64), VInt64(int64_t(v)) {}
    TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
    TVarRec(char v) : VType(vtChar), VChar(v) {}
    TVarRec(double v) : VType(vtExtended), VExtended(v) {}
    TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
    TVarRec(TDateTime v) : VType(vtExtended), VExtended(v.Val) {}
    TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
    TVarRec(const char* v) : VType(vtPChar), VPChar(v) {}
    TVarRec(const AnsiString& v) : VType(vtAnsiString), VAnsiString(&v) {}
    TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
    TVarRec(const Variant& v) : VType(vtVariant), VVariant(&v) {}
    TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// %[index:][-][width][.precision]type with type d u e f g n m p s x (either case); '*' takes
// width or precision from the next (integer) argument; "%%" is a percent sign. A wrong
// argument type, a missing argument or a malformed specifier raises EConvertError.
AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args);
AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs);
AnsiString Format(std::string_view fmt, const std::vector<TVarRec>& args);
AnsiString Format(std::string_view fmt, const std::vector<TVarRec>& args, const TFormatSettings& fs);
AnsiString Format(std::string_view fmt, const TVarRec* args, size_t count, const TFormatSettings& fs);

// ---------------------------------------------------------------- dates and times

constexpr double HoursPerDay = 24, MinsPerDay = 24 * 60, SecsPerDay = 24 * 60 * 60;
constexpr double MSecsPerDay = SecsPerDay * 1000;
constexpr int DateDelta = 693594;  // days from 01.01.0001 to 30.12.1899

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);  // EConvertError "Invalid argument to date encode"
void DecodeDate(TDateTime date, int& year, int& month, int& day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);  // EConvertError "Invalid argument to time encode"
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime date);  // 1 = Sunday .. 7 = Saturday
TDateTime IncMonth(TDateTime date, int months = 1);  // day clamped to the new month's length
TDateTime DateOf(TDateTime dt);
TDateTime TimeOf(TDateTime dt);
int64_t MinutesBetween(TDateTime a, TDateTime b);  // whole minutes, always >= 0
int64_t SecondsBetween(TDateTime a, TDateTime b);
int64_t DaysBetween(TDateTime a, TDateTime b);

// The clock behind Now/Date/Time. Tests fix it; ResetClock() returns to the system clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();
void SetClockForTesting(std::function<TDateTime()> clock);
void SetClockForTesting(TDateTime fixed);
void ResetClock();

// FormatDateTime specifiers: c d dd ddd dddd ddddd dddddd e m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz t tt am/pm a/p ampm / : "..." '...'; 'm' right after h/hh means minutes.
AnsiString FormatDateTime(std::string_view fmt, TDateTime dt);
AnsiString FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs);
AnsiString DateToStr(TDateTime d);
AnsiString DateToStr(TDateTime d, const TFormatSettings& fs);
AnsiString TimeToStr(TDateTime t);
AnsiString TimeToStr(TDateTime t, const TFormatSettings& fs);
AnsiString DateTimeToStr(TDateTime dt);  // the time is left out when it is exactly midnight
AnsiString DateTimeToStr(TDateTime dt, const TFormatSettings& fs);

// Parsing follows the order of the short date format (d/m/y) with the settings' date
// separator between fields (blanks allowed around them); a year of one or two digits goes
// through the century window; a missing year is the current year.
// Times: h[:n[:s[.z]]] with an optional AM/PM marker (the settings' or "AM"/"PM").
TDateTime StrToDate(std::string_view s);
TDateTime StrToDate(std::string_view s, const TFormatSettings& fs);
bool TryStrToDate(std::string_view s, TDateTime& value);
bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateDef(std::string_view s, TDateTime def, const TFormatSettings& fs);
TDateTime StrToTime(std::string_view s);
TDateTime StrToTime(std::string_view s, const TFormatSettings& fs);
bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);
TDateTime StrToDateTime(std::string_view s);
TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs);
bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs);

// ---------------------------------------------------------------- files

constexpr char PathDelim = '/';
bool IsPathDelimiter(std::string_view s, int index);  // '/' or '\' at 1-based index
AnsiString ExtractFilePath(std::string_view fileName);  // with the trailing delimiter
AnsiString ExtractFileDir(std::string_view fileName);   // without it
AnsiString ExtractFileName(std::string_view fileName);
AnsiString ExtractFileExt(std::string_view fileName);   // with the dot; "" when none
AnsiString ChangeFileExt(std::string_view fileName, std::string_view ext);
AnsiString IncludeTrailingPathDelimiter(std::string_view s);
AnsiString ExcludeTrailingPathDelimiter(std::string_view s);
AnsiString ExpandFileName(std::string_view fileName);

// The UTF-8 form of a CP1251 path as the system wants it ('\' becomes '/').
AnsiString PathToSystem(std::string_view path);
AnsiString PathFromSystem(std::string_view utf8Path);

bool FileExists(std::string_view fileName);
bool DirectoryExists(std::string_view dir);
bool ForceDirectories(std::string_view dir);
bool CreateDir(std::string_view dir);
bool RemoveDir(std::string_view dir);
bool DeleteFile(std::string_view fileName);
bool RenameFile(std::string_view oldName, std::string_view newName);
// Copies a file; with failIfExists an existing target is left alone and false returned.
bool CopyFile(std::string_view source, std::string_view target, bool failIfExists);
int64_t FileSize(std::string_view fileName);  // -1 when missing
AnsiString GetCurrentDir();
AnsiString GetTempDir();  // with the trailing delimiter
