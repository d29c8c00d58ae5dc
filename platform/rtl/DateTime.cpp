#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatText.h"

#include <chrono>
#include <cmath>
#include <ctime>

using namespace rtl_detail;

namespace {

constexpr int64_t kMSecsPerDay = 86400000;

// Days since 01.01.0001 (day 1) for a valid date.
int64_t DayNumber(int y, int m, int d)
{
    static const int kBefore[2][13] = {{0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
                                       {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
    int64_t py = y - 1;
    return py * 365 + py / 4 - py / 100 + py / 400 + kBefore[IsLeapYear(y)][m] + d;
}

// Splits a date-time into whole days from 30.12.1899 and milliseconds of the day.
// The time is |fraction| for negative values, as the platform takes it.
void Split(double dt, int64_t& days, int64_t& ms)
{
    if (!std::isfinite(dt) || std::fabs(dt) > 3e6)
        throw EConvertError("Invalid argument to date encode");
    double whole = std::trunc(dt);
    days = int64_t(whole);
    ms = int64_t(std::llround(std::fabs(dt - whole) * double(kMSecsPerDay)));
    if (ms >= kMSecsPerDay) {  // rounding reached the next day
        ms -= kMSecsPerDay;
        days += dt < 0 ? -1 : 1;
    }
}

std::function<TDateTime()>& Clock()
{
    static std::function<TDateTime()> clock;
    return clock;
}

TDateTime SystemNow()
{
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = TDateTime(double(DayNumber(year, month, day) - DateDelta));
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    int64_t days, ms;
    Split(date.Val, days, ms);
    int64_t n = days + DateDelta;  // day number from 01.01.0001 (1-based)
    if (n <= 0) {
        year = month = day = 0;
        return;
    }
    // Civil-from-days over 400-year cycles.
    int64_t z = n - 1;
    int64_t y400 = z / 146097;
    z %= 146097;
    int64_t y100 = z / 36524;
    if (y100 == 4)
        y100 = 3;
    z -= y100 * 36524;
    int64_t y4 = z / 1461;
    z %= 1461;
    int64_t y1 = z / 365;
    if (y1 == 4)
        y1 = 3;
    z -= y1 * 365;
    int y = int(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    int m = 1;
    while (z >= DaysInMonth(y, m)) {
        z -= DaysInMonth(y, m);
        ++m;
    }
    year = y;
    month = m;
    day = int(z) + 1;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    time = TDateTime(double(((hour * 60 + min) * 60 + sec) * 1000 + msec) / double(kMSecsPerDay));
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    int64_t days, ms;
    Split(time.Val, days, ms);
    hour = int(ms / 3600000);
    min = int(ms / 60000 % 60);
    sec = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec)
{
    TDateTime d = EncodeDate(year, month, day);
    TDateTime t = EncodeTime(hour, min, sec, msec);
    return d.Val >= 0 ? d.Val + t.Val : d.Val - t.Val;
}

void DecodeDateTime(TDateTime dt, int& year, int& month, int& day, int& hour, int& min, int& sec, int& msec)
{
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
}

int DayOfWeek(TDateTime date)
{
    int64_t days, ms;
    Split(date.Val, days, ms);
    int64_t n = days + DateDelta;  // 01.01.0001 was a Monday
    int64_t w = (n % 7 + 7) % 7;   // 0 Sunday
    return int(w) + 1;
}

TDateTime IncMonth(TDateTime date, int months)
{
    int y, m, d;
    DecodeDate(date, y, m, d);
    int64_t total = int64_t(y) * 12 + (m - 1) + months;
    y = int(total / 12);
    m = int(total % 12) + 1;
    if (d > DaysInMonth(y, m))
        d = DaysInMonth(y, m);
    double frac = date.Val - std::trunc(date.Val);
    TDateTime nd = EncodeDate(y, m, d);
    return nd.Val + (nd.Val >= 0 ? std::fabs(frac) : -std::fabs(frac));
}

TDateTime DateOf(TDateTime dt) { return std::trunc(dt.Val); }
TDateTime TimeOf(TDateTime dt)
{
    // Through whole milliseconds, so the result equals EncodeTime of the same clock time.
    int64_t days, ms;
    Split(dt.Val, days, ms);
    return double(ms) / double(kMSecsPerDay);
}

namespace {
// Milliseconds as a continuous count (negative values taken as days back + time forward).
int64_t ContinuousMs(TDateTime dt)
{
    int64_t days, ms;
    Split(dt.Val, days, ms);
    return days * kMSecsPerDay + (dt.Val < 0 ? -ms : ms);
}
}  // namespace

int64_t MinutesBetween(TDateTime a, TDateTime b)
{
    int64_t d = ContinuousMs(a) - ContinuousMs(b);
    return (d < 0 ? -d : d) / 60000;
}

int64_t SecondsBetween(TDateTime a, TDateTime b)
{
    int64_t d = ContinuousMs(a) - ContinuousMs(b);
    return (d < 0 ? -d : d) / 1000;
}

int64_t DaysBetween(TDateTime a, TDateTime b)
{
    int64_t d = ContinuousMs(a) - ContinuousMs(b);
    return (d < 0 ? -d : d) / kMSecsPerDay;
}

TDateTime Now() { return Clock() ? Clock()() : SystemNow(); }
TDateTime Date() { return std::trunc(Now().Val); }
TDateTime Time() { return TimeOf(Now()); }
void SetClockForTesting(std::function<TDateTime()> clock) { Clock() = std::move(clock); }
void SetClockForTesting(TDateTime fixed) { Clock() = [fixed] { return fixed; }; }
void ResetClock() { Clock() = nullptr; }

// ---------------------------------------------------------------- FormatDateTime

namespace {

void Pad(AnsiString& out, int v, int width)
{
    AnsiString d = std::to_string(v);
    if (int(d.size()) < width)
        out.append(size_t(width) - d.size(), '0');
    out += d;
}

bool StartsWithNoCase(std::string_view s, size_t i, std::string_view w)
{
    if (s.size() - i < w.size())
        return false;
    return SameText(s.substr(i, w.size()), w);
}

// True when the format (outside quotes) has an am/pm marker: hours are then 1..12.
bool HasAmPm(std::string_view f)
{
    char quote = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == 'a' || c == 'A') {
            if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm"))
                return true;
        }
    }
    return false;
}

void FormatInto(AnsiString& out, std::string_view f, TDateTime dt, const TFormatSettings& fs, int depth)
{
    if (depth > 2)  // a format naming itself through c/ddddd/t must not recurse forever
        return;
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, d, h, mi, s, ms);
    const bool ampm = HasAmPm(f);
    char last = 0;  // last date/time letter, to read 'm' after 'h' as minutes
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        char u = char(c >= 'a' && c <= 'z' ? c - 32 : c);
        size_t run = 1;
        while (i + run < f.size() && (f[i + run] == c || f[i + run] == char(u + 32) || f[i + run] == u) &&
               u >= 'A' && u <= 'Z')
            ++run;
        switch (u) {
        case '"':
        case '\'': {
            size_t end = f.find(c, i + 1);
            if (end == std::string_view::npos)
                end = f.size();
            out.append(f.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        case '/':
            out += fs.DateSeparator;
            break;
        case ':':
            out += fs.TimeSeparator;
            break;
        case 'C':
            FormatInto(out, fs.ShortDateFormat, dt, fs, depth + 1);
            if (dt.Val - std::trunc(dt.Val) != 0) {
                out += ' ';
                FormatInto(out, fs.LongTimeFormat, dt, fs, depth + 1);
            }
            break; // a run of c is one c
        case 'D':
            if (run == 1)
                Pad(out, d, 1);
            else if (run == 2)
                Pad(out, d, 2);
            else if (run == 3)
                out += fs.ShortDayNames[DayOfWeek(dt) - 1];
            else if (run == 4)
                out += fs.LongDayNames[DayOfWeek(dt) - 1];
            else if (run == 5)
                FormatInto(out, fs.ShortDateFormat, dt, fs, depth + 1);
            else
                FormatInto(out, fs.LongDateFormat, dt, fs, depth + 1);
            break;
        case 'M':
            if (last == 'H')
                Pad(out, mi, run >= 2 ? 2 : 1);
            else if (run == 1)
                Pad(out, mo, 1);
            else if (run == 2)
                Pad(out, mo, 2);
            else if (run == 3)
                out += fs.ShortMonthNames[mo - 1];
            else
                out += fs.LongMonthNames[mo - 1];
            break;
        case 'Y':
            if (run <= 2)
                Pad(out, y % 100, 2);
            else
                Pad(out, y, 4);
            break;
        case 'H': {
            int hh = h;
            if (ampm) {
                hh = h % 12;
                if (hh == 0)
                    hh = 12;
            }
            Pad(out, hh, run >= 2 ? 2 : 1);
            break;
        }
        // Each run of one letter is one token: hhh is hh, zz is z, ttt is tt.
        case 'N':
            Pad(out, mi, run >= 2 ? 2 : 1);
            break;
        case 'S':
            Pad(out, s, run >= 2 ? 2 : 1);
            break;
        case 'Z':
            Pad(out, ms, run >= 3 ? 3 : 1);
            break;
        case 'T':
            FormatInto(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, depth + 1);
            break;
        case 'A':
            // am/pm and a/p write the picture's own letters: Am/Pm gives Am or Pm.
            if (StartsWithNoCase(f, i, "am/pm")) {
                out.append(f.substr(h < 12 ? i : i + 3, 2));
                run = 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += f[h < 12 ? i : i + 2];
                run = 3;
            } else if (StartsWithNoCase(f, i, "ampm")) {
                out += h < 12 ? fs.TimeAMString : fs.TimePMString;
                run = 4;
            } else {
                out += c;
                run = 1;
            }
            break;
        default:
            out.append(f.substr(i, run));
            break;
        }
        if (u == 'D' || u == 'M' || u == 'Y' || u == 'H' || u == 'N' || u == 'S' || u == 'Z' || u == 'T' || u == 'C')
            last = u;
        i += run;
    }
}

}  // namespace

AnsiString FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs)
{
    AnsiString out;
    if (fmt.empty())
        fmt = "c";
    FormatInto(out, fmt, dt, fs, 0);
    return out;
}

AnsiString FormatDateTime(std::string_view fmt, TDateTime dt) { return FormatDateTime(fmt, dt, FormatSettings()); }
AnsiString DateToStr(TDateTime d, const TFormatSettings& fs) { return FormatDateTime("ddddd", d, fs); }
AnsiString DateToStr(TDateTime d) { return DateToStr(d, FormatSettings()); }
AnsiString TimeToStr(TDateTime t, const TFormatSettings& fs) { return FormatDateTime("tt", t, fs); }
AnsiString TimeToStr(TDateTime t) { return TimeToStr(t, FormatSettings()); }
AnsiString DateTimeToStr(TDateTime dt, const TFormatSettings& fs) { return FormatDateTime("c", dt, fs); }
AnsiString DateTimeToStr(TDateTime dt) { return DateTimeToStr(dt, FormatSettings()); }

// ---------------------------------------------------------------- parsing

namespace {

struct Scanner {
    std::string_view s;
    size_t i = 0;
    void Blanks()
    {
        while (i < s.size() && s[i] == ' ')
            ++i;
    }
    bool Number(int& v, int& digits)
    {
        Blanks();
        digits = 0;
        long n = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            n = n * 10 + (s[i++] - '0');
            if (++digits > 4)
                return false;
        }
        v = int(n);
        return digits > 0;
    }
    bool Char(char c)
    {
        Blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool Word(std::string_view w)
    {
        Blanks();
        if (!w.empty() && StartsWithNoCase(s, i, w)) {
            i += w.size();
            return true;
        }
        return false;
    }
    bool AtEnd()
    {
        Blanks();
        return i >= s.size();
    }
};

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(const AnsiString& f)
{
    for (char c : f) {
        char u = char(c >= 'a' && c <= 'z' ? c - 32 : c);
        if (u == 'D')
            return DateOrder::DMY;
        if (u == 'M')
            return DateOrder::MDY;
        if (u == 'Y')
            return DateOrder::YMD;
    }
    return DateOrder::DMY;
}

bool ScanDate(Scanner& sc, const TFormatSettings& fs, TDateTime& out)
{
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!sc.Number(n1, l1) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2))
        return false;
    bool three = false;
    size_t save = sc.i;
    if (sc.Char(fs.DateSeparator)) {
        if (!sc.Number(n3, l3))
            return false;
        three = true;
    } else {
        sc.i = save;
    }
    int y, m, d, yLen;
    int cy, cm, cd;
    DecodeDate(Date(), cy, cm, cd);
    DateOrder order = OrderOf(fs.ShortDateFormat);
    if (!three) {
        y = cy;
        yLen = 4;
        if (order == DateOrder::MDY) { m = n1; d = n2; }
        else if (order == DateOrder::DMY) { d = n1; m = n2; }
        else { m = n1; d = n2; }
    } else if (order == DateOrder::DMY) {
        d = n1; m = n2; y = n3; yLen = l3;
    } else if (order == DateOrder::MDY) {
        m = n1; d = n2; y = n3; yLen = l3;
    } else {
        y = n1; yLen = l1; m = n2; d = n3;
    }
    if (yLen <= 2) {
        int century = cy - fs.TwoDigitYearCenturyWindow;
        y += century / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && y < century)
            y += 100;
    }
    return TryEncodeDate(y, m, d, out);
}

bool ScanTime(Scanner& sc, const TFormatSettings& fs, TDateTime& out)
{
    int h, mi = 0, s = 0, ms = 0, len;
    if (!sc.Number(h, len))
        return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(mi, len))
            return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(s, len))
                return false;
            if (sc.Char('.') || (fs.DecimalSeparator != '.' && sc.Char(fs.DecimalSeparator))) {
                if (!sc.Number(ms, len))
                    return false;
            }
        }
    }
    int pm = -1;
    if (sc.Word(fs.TimeAMString) || sc.Word("AM"))
        pm = 0;
    else if (sc.Word(fs.TimePMString) || sc.Word("PM"))
        pm = 1;
    if (pm >= 0) {
        if (h < 1 || h > 12)
            return false;
        h = h % 12 + (pm ? 12 : 0);
    }
    return TryEncodeTime(h, mi, s, ms, out);
}

}  // namespace

bool TryStrToDate(std::string_view s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime d;
    if (!ScanDate(sc, fs, d) || !sc.AtEnd())
        return false;
    value = d;
    return true;
}

bool TryStrToDate(std::string_view s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings()); }

TDateTime StrToDate(std::string_view s, const TFormatSettings& fs)
{
    TDateTime d;
    if (!TryStrToDate(s, d, fs))
        RaiseConvert("'%s' is not a valid date", s);
    return d;
}

TDateTime StrToDate(std::string_view s) { return StrToDate(s, FormatSettings()); }

TDateTime StrToDateDef(std::string_view s, TDateTime def, const TFormatSettings& fs)
{
    TDateTime d;
    return TryStrToDate(s, d, fs) ? d : def;
}

bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime t;
    if (!ScanTime(sc, fs, t) || !sc.AtEnd())
        return false;
    value = t;
    return true;
}

TDateTime StrToTime(std::string_view s, const TFormatSettings& fs)
{
    TDateTime t;
    if (!TryStrToTime(s, t, fs))
        RaiseConvert("'%s' is not a valid time", s);
    return t;
}

TDateTime StrToTime(std::string_view s) { return StrToTime(s, FormatSettings()); }

bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc{s};
    TDateTime d, t = 0.0;
    size_t save = sc.i;
    if (!ScanDate(sc, fs, d)) {
        // A time alone is a time on day zero.
        sc.i = save;
        if (!ScanTime(sc, fs, t) || !sc.AtEnd())
            return false;
        value = t;
        return true;
    }
    if (!sc.AtEnd() && !ScanTime(sc, fs, t))
        return false;
    if (!sc.AtEnd())
        return false;
    value = d.Val >= 0 ? d.Val + t.Val : d.Val - t.Val;
    return true;
}

TDateTime StrToDateTime(std::string_view s, const TFormatSettings& fs)
{
    TDateTime dt;
    if (!TryStrToDateTime(s, dt, fs))
        RaiseConvert("'%s' is not a valid date and time", s);
    return dt;
}

TDateTime StrToDateTime(std::string_view s) { return StrToDateTime(s, FormatSettings()); }
