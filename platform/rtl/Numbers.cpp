#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace rtl_detail {

[[noreturn]] void RaiseConvert(const char* fmt, std::string_view arg)
{
    AnsiString msg;
    for (const char* p = fmt; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            msg.append(arg);
            ++p;
        } else {
            msg += *p;
        }
    }
    throw EConvertError(msg);
}

void FloatToDecimal(TFloatRec& rec, double value)
{
    rec = TFloatRec();
    if (value == 0 || !std::isfinite(value))
        return;
    rec.Negative = value < 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    *res.ptr = 0;
    // d.ddddddddddddddddde[+-]xx
    int n = 0;
    rec.Digits[n++] = buf[0];
    const char* p = buf + 2;
    while (*p && *p != 'e')
        rec.Digits[n++] = *p++;
    int exp = std::atoi(p + 1);
    rec.Exponent = exp + 1;
    while (n > 0 && rec.Digits[n - 1] == '0')
        --n;
    rec.Count = n;
    rec.Digits[n] = 0;
}

void CurrToDecimal(TFloatRec& rec, Currency value)
{
    rec = TFloatRec();
    if (value.Val == 0)
        return;
    rec.Negative = value.Val < 0;
    uint64_t u = rec.Negative ? 0 - uint64_t(value.Val) : uint64_t(value.Val);
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, u);
    int n = int(res.ptr - buf);
    std::memcpy(rec.Digits, buf, size_t(n));
    rec.Exponent = n - 4;
    while (n > 0 && rec.Digits[n - 1] == '0')
        --n;
    rec.Count = n;
    rec.Digits[n] = 0;
}

void RoundDecimal(TFloatRec& rec, int precision, int decimals)
{
    if (rec.Count == 0)
        return;
    long keep = precision;
    if (long(rec.Exponent) + decimals < keep)
        keep = long(rec.Exponent) + decimals;
    if (keep >= rec.Count)
        return;
    if (keep < 0) {
        rec.Count = 0;
        rec.Exponent = 0;
        rec.Negative = false;
        return;
    }
    bool up = rec.Digits[keep] >= '5';
    int n = int(keep);
    if (up) {
        int i = n - 1;
        while (i >= 0 && rec.Digits[i] == '9')
            --i;
        if (i < 0) {
            rec.Digits[0] = '1';
            n = 1;
            ++rec.Exponent;
        } else {
            ++rec.Digits[i];
            n = i + 1;
        }
    }
    while (n > 0 && rec.Digits[n - 1] == '0')
        --n;
    rec.Count = n;
    rec.Digits[n] = 0;
    if (n == 0) {
        rec.Exponent = 0;
        rec.Negative = false;
    }
}

AnsiString NonFiniteText(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    return AnsiString();
}

namespace {

void AppendExponent(AnsiString& s, int exp, int minDigits, bool plusSign)
{
    s += 'E';
    if (exp < 0)
        s += '-';
    else if (plusSign)
        s += '+';
    AnsiString d = std::to_string(exp < 0 ? -exp : exp);
    if (int(d.size()) < minDigits)
        s.append(size_t(minDigits) - d.size(), '0');
    s += d;
}

AnsiString GeneralText(const TFloatRec& rec, int precision, int expDigits, const TFormatSettings& fs)
{
    if (rec.Count == 0)
        return "0";
    AnsiString s;
    if (rec.Negative)
        s += '-';
    if (rec.Exponent > precision || rec.Exponent < -3) {
        s += rec.Digits[0];
        if (rec.Count > 1) {
            s += fs.DecimalSeparator;
            s.append(rec.Digits + 1, size_t(rec.Count - 1));
        }
        AppendExponent(s, rec.Exponent - 1, expDigits, false);
        return s;
    }
    if (rec.Exponent <= 0) {
        s += '0';
        s += fs.DecimalSeparator;
        s.append(size_t(-rec.Exponent), '0');
        s.append(rec.Digits, size_t(rec.Count));
        return s;
    }
    for (int i = 0; i < rec.Exponent; ++i)
        s += i < rec.Count ? rec.Digits[i] : '0';
    if (rec.Count > rec.Exponent) {
        s += fs.DecimalSeparator;
        s.append(rec.Digits + rec.Exponent, size_t(rec.Count - rec.Exponent));
    }
    return s;
}

}  // namespace

AnsiString ApplyCurrencyFormat(const AnsiString& n, bool negative, const TFormatSettings& fs)
{
    const AnsiString& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 0: return c + n;
        case 1: return n + c;
        case 2: return c + " " + n;
        default: return n + " " + c;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return "(" + c + n + ")";
    case 1: return "-" + c + n;
    case 2: return c + "-" + n;
    case 3: return c + n + "-";
    case 4: return "(" + n + c + ")";
    case 5: return "-" + n + c;
    case 6: return n + "-" + c;
    case 7: return n + c + "-";
    case 8: return "-" + n + " " + c;
    case 9: return "-" + c + " " + n;
    case 10: return n + " " + c + "-";
    case 11: return c + " " + n + "-";
    case 12: return c + " -" + n;
    case 13: return n + "- " + c;
    case 14: return "(" + c + " " + n + ")";
    default: return "(" + n + " " + c + ")";
    }
}

AnsiString FloatRecToText(TFloatRec rec, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    switch (format) {
    case ffGeneral:
        RoundDecimal(rec, precision, 9999);
        return GeneralText(rec, precision, digits, fs);
    case ffExponent: {
        RoundDecimal(rec, precision, 9999);
        AnsiString s;
        if (rec.Negative)
            s += '-';
        s += rec.Count ? rec.Digits[0] : '0';
        if (precision > 1) {
            s += fs.DecimalSeparator;
            for (int i = 1; i < precision; ++i)
                s += i < rec.Count ? rec.Digits[i] : '0';
        }
        AppendExponent(s, rec.Count ? rec.Exponent - 1 : 0, digits, true);
        return s;
    }
    default: {
        if (rec.Exponent > precision && rec.Count) {
            RoundDecimal(rec, precision, 9999);
            return GeneralText(rec, precision, 0, fs);
        }
        RoundDecimal(rec, precision, digits);
        AnsiString intPart;
        if (rec.Exponent <= 0 || rec.Count == 0)
            intPart.assign(1, '0');
        else
            for (int i = 0; i < rec.Exponent; ++i)
                intPart += i < rec.Count ? rec.Digits[i] : '0';
        AnsiString s;
        if (format == ffNumber || format == ffCurrency) {
            int len = int(intPart.size());
            for (int i = 0; i < len; ++i) {
                s += intPart[size_t(i)];
                int left = len - 1 - i;
                if (left > 0 && left % 3 == 0 && fs.ThousandSeparator != 0)
                    s += fs.ThousandSeparator;
            }
        } else {
            s = intPart;
        }
        if (digits > 0) {
            s += fs.DecimalSeparator;
            for (int i = 0; i < digits; ++i) {
                int idx = rec.Exponent + i;
                s += idx >= 0 && idx < rec.Count ? rec.Digits[idx] : '0';
            }
        }
        bool negative = rec.Negative && rec.Count > 0;
        if (format == ffCurrency)
            return ApplyCurrencyFormat(s, negative, fs);
        return negative ? "-" + s : s;
    }
    }
}

AnsiString FloatToTextGeneral(double value, int precision, int expDigits, const TFormatSettings& fs)
{
    AnsiString nf = NonFiniteText(value);
    if (!nf.empty())
        return nf;
    TFloatRec rec;
    FloatToDecimal(rec, value);
    return FloatRecToText(rec, ffGeneral, precision, expDigits, fs);
}

}  // namespace rtl_detail

using namespace rtl_detail;

// ---------------------------------------------------------------- integers

AnsiString IntToStr(int64_t value) { return std::to_string(value); }
AnsiString UIntToStr(uint64_t value) { return std::to_string(value); }

AnsiString IntToHex(int64_t value, int digits)
{
    static const char kHex[] = "0123456789ABCDEF";
    uint64_t u = uint64_t(value);
    char buf[16];
    int n = 0;
    do {
        buf[n++] = kHex[u & 15];
        u >>= 4;
    } while (u);
    if (digits > 32)
        digits = 32;
    AnsiString s;
    for (int i = n; i < digits; ++i)
        s += '0';
    while (n)
        s += buf[--n];
    return s;
}

namespace {

// Decimal with optional sign, or hexadecimal after "$"/"0x"; hex may fill all bits of the
// target (so "$FFFFFFFF" is -1 as a 32-bit integer).
bool ParseInteger(std::string_view s, int bits, int64_t& out)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        neg = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    uint64_t v = 0;
    const uint64_t hexMax = bits == 32 ? 0xFFFFFFFFull : ~0ull;
    const uint64_t decMax = bits == 32 ? (neg ? 0x80000000ull : 0x7FFFFFFFull)
                                       : (neg ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull);
    for (; i < s.size(); ++i) {
        unsigned char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (hex) {
            if (v > (hexMax >> 4))
                return false;
            v = (v << 4) | d;
        } else {
            if (v > (decMax - d) / 10)
                return false;
            v = v * 10 + d;
        }
    }
    if (hex && bits == 32)
        v = uint64_t(int64_t(int32_t(uint32_t(v))));
    out = neg ? int64_t(0 - v) : int64_t(v);
    return true;
}

}  // namespace

bool TryStrToInt(std::string_view s, int& value)
{
    int64_t v;
    if (!ParseInteger(s, 32, v))
        return false;
    value = int(v);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value) { return ParseInteger(s, 64, value); }

int StrToInt(std::string_view s)
{
    int v;
    if (!TryStrToInt(s, v))
        RaiseConvert("'%s' is not a valid integer value", s);
    return v;
}

int64_t StrToInt64(std::string_view s)
{
    int64_t v;
    if (!TryStrToInt64(s, v))
        RaiseConvert("'%s' is not a valid integer value", s);
    return v;
}

int StrToIntDef(std::string_view s, int def)
{
    int v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(std::string_view s, int64_t def)
{
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

// ---------------------------------------------------------------- floats

namespace {

// Text to a C-form number ("-12.5e3") checking the shape; false on anything else.
bool NormaliseFloatText(std::string_view s, char decimalSep, std::string& out)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    out.clear();
    size_t i = b;
    if (i < e && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            out += '-';
        ++i;
    }
    int digits = 0;
    bool point = false;
    for (; i < e; ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            out += c;
            ++digits;
        } else if (c == decimalSep && !point) {
            out += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        out += 'e';
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-'))
            out += s[i++];
        int expDigits = 0;
        for (; i < e && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits)
            out += s[i];
        if (expDigits == 0)
            return false;
    }
    return i == e;
}

}  // namespace

bool TryStrToFloat(std::string_view s, double& value, const TFormatSettings& fs)
{
    std::string t;
    if (!NormaliseFloatText(s, fs.DecimalSeparator, t))
        return false;
    double v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v);
    if (res.ptr != t.data() + t.size())
        return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow is zero; overflow is not a number we can hold.
        size_t epos = t.find('e');
        if (epos == std::string::npos || t[epos + 1] != '-')
            return false;
        v = 0;
    } else if (res.ec != std::errc()) {
        return false;
    }
    value = v;
    return true;
}

bool TryStrToFloat(std::string_view s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

double StrToFloat(std::string_view s, const TFormatSettings& fs)
{
    double v;
    if (!TryStrToFloat(s, v, fs))
        RaiseConvert("'%s' is not a valid floating point value", s);
    return v;
}

double StrToFloat(std::string_view s) { return StrToFloat(s, FormatSettings()); }

double StrToFloatDef(std::string_view s, double def, const TFormatSettings& fs)
{
    double v;
    return TryStrToFloat(s, v, fs) ? v : def;
}

double StrToFloatDef(std::string_view s, double def) { return StrToFloatDef(s, def, FormatSettings()); }

Currency::Currency(double v)
{
    long double scaled = std::nearbyintl(static_cast<long double>(v) * 10000.0L);
    if (!(scaled < 9223372036854775807.0L && scaled > -9223372036854775807.0L))
        throw EOverflow("Floating point overflow");
    Val = static_cast<int64_t>(scaled);
}

bool TryStrToCurr(std::string_view s, Currency& value, const TFormatSettings& fs)
{
    double d;
    if (!TryStrToFloat(s, d, fs) || !(std::fabs(d) < 922337203685477.0))
        return false;
    value = Currency(d);
    return true;
}

Currency StrToCurr(std::string_view s, const TFormatSettings& fs)
{
    Currency c;
    if (!TryStrToCurr(s, c, fs))
        RaiseConvert("'%s' is not a valid floating point value", s);
    return c;
}

Currency StrToCurr(std::string_view s) { return StrToCurr(s, FormatSettings()); }

bool TryStrToBool(std::string_view s, bool& value)
{
    AnsiString t = Trim(s);
    if (SameText(t, "True")) {
        value = true;
        return true;
    }
    if (SameText(t, "False")) {
        value = false;
        return true;
    }
    double d;
    if (TryStrToFloat(t, d, FormatSettings()) || TryStrToFloat(t, d, EnglishFormatSettings())) {
        value = d != 0;
        return true;
    }
    return false;
}

bool StrToBool(std::string_view s)
{
    bool b;
    if (!TryStrToBool(s, b))
        RaiseConvert("'%s' is not a valid boolean value", s);
    return b;
}

AnsiString BoolToStr(bool b, bool useBoolStrs)
{
    if (useBoolStrs)
        return b ? "True" : "False";
    return b ? "-1" : "0";
}

// ---------------------------------------------------------------- float to text

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    AnsiString nf = NonFiniteText(value);
    if (!nf.empty())
        return nf;
    if (precision < 1)
        precision = 1;
    if (precision < 2 && (format == ffFixed || format == ffExponent))
        precision = 2; // as the classic library: one significant digit is too few here
    if (precision > 18)
        precision = 18;
    if (digits < 0)
        digits = 0;
    if (digits > (format == ffExponent || format == ffGeneral ? 4 : 18))
        digits = format == ffExponent || format == ffGeneral ? 4 : 18;
    TFloatRec rec;
    FloatToDecimal(rec, value);
    return FloatRecToText(rec, format, precision, digits, fs);
}

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

AnsiString FloatToStr(double value, const TFormatSettings& fs) { return FloatToTextGeneral(value, 15, 0, fs); }
AnsiString FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs)
{
    if (digits < 0)
        digits = 0;
    if (digits > 4 && format != ffExponent)
        digits = 4;
    TFloatRec rec;
    CurrToDecimal(rec, value);
    return FloatRecToText(rec, format, 19, digits, fs);
}

AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits)
{
    return CurrToStrF(value, format, digits, FormatSettings());
}

AnsiString CurrToStr(Currency value, const TFormatSettings& fs) { return CurrToStrF(value, ffGeneral, 0, fs); }
AnsiString CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }
