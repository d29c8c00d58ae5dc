// Format - the platform's printf.
//
//   "%" [index ":"] ["-"] [width] ["." precision] type
//   index, width and precision are digits or '*' (the next argument, an integer).
//   d  integer (precision: minimum digits)      u  unsigned integer
//   x  hexadecimal, upper-case                   p  pointer, hexadecimal
//   e  scientific, precision = significant digits (default 15), exponent "E+000"
//   f  fixed, precision = decimals (default 2)   n  as f with thousands separators
//   g  general, precision = significant digits (default 15)
//   m  money: the settings' currency format, precision default CurrencyDecimals
//   s  string (precision: at most that many characters)
// Integers go only to d u x (and Variants holding numbers anywhere they convert);
// floats only to e f g n m. Anything else raises EConvertError naming the format.
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatText.h"
#include "platform/rtl/Variant.h"

#include <cmath>

using namespace rtl_detail;

namespace {

constexpr int kMaxWidth = 1 << 20;  // a sane bound for widths and precisions

[[noreturn]] void Invalid(std::string_view fmt)
{
    RaiseConvert("Format '%s' invalid or incompatible with argument", fmt);
}

[[noreturn]] void Missing(std::string_view fmt) { RaiseConvert("No argument for format '%s'", fmt); }

bool ArgToInt64(const TVarRec& a, int64_t& v, bool& is32)
{
    is32 = false;
    switch (a.VType) {
    case vtInteger:
        v = a.VInteger;
        is32 = true;
        return true;
    case vtInt64:
        v = a.VInt64;
        return true;
    case vtVariant: {
        const Variant& var = *a.VVariant;
        if (!VarIsOrdinal(var) && !VarIsFloat(var) && !VarIsStr(var))
            return false;
        v = var.AsInt64();
        is32 = v >= INT32_MIN && v <= INT32_MAX;
        return true;
    }
    default:
        return false;
    }
}

bool ArgToFloat(const TVarRec& a, TFloatRec& rec, double& d)
{
    switch (a.VType) {
    case vtExtended:
        d = double(a.VExtended);
        FloatToDecimal(rec, d);
        return true;
    case vtCurrency:
        d = a.VCurrency.ToDouble();
        CurrToDecimal(rec, a.VCurrency);
        return true;
    case vtVariant: {
        const Variant& var = *a.VVariant;
        if (var.VType() == varCurrency) {
            Currency c = var.AsCurrency();
            d = c.ToDouble();
            CurrToDecimal(rec, c);
            return true;
        }
        if (!VarIsOrdinal(var) && !VarIsFloat(var) && !VarIsStr(var))
            return false;
        d = var.AsDouble();
        FloatToDecimal(rec, d);
        return true;
    }
    default:
        return false;
    }
}

bool ArgToString(const TVarRec& a, AnsiString& s, const TFormatSettings& fs)
{
    switch (a.VType) {
    case vtChar:
        s.assign(1, a.VChar);
        return true;
    case vtPChar:
        s = a.VPChar ? a.VPChar : "";
        return true;
    case vtAnsiString:
        s = a.VAnsiString ? *a.VAnsiString : AnsiString();
        return true;
    case vtVariant:
        if (a.VVariant->IsArray() || a.VVariant->VType() == varDispatch)
            return false;
        s = VarToStr(*a.VVariant, fs);
        return true;
    default:
        return false;
    }
}

AnsiString HexOf(uint64_t u)
{
    static const char kHex[] = "0123456789ABCDEF";
    char buf[16];
    int n = 0;
    do {
        buf[n++] = kHex[u & 15];
        u >>= 4;
    } while (u);
    AnsiString s;
    while (n)
        s += buf[--n];
    return s;
}

}  // namespace

AnsiString Format(std::string_view fmt, const TVarRec* args, size_t count, const TFormatSettings& fs)
{
    AnsiString out;
    out.reserve(fmt.size() + 16);
    size_t next = 0;  // next argument
    size_t i = 0;
    const size_t n = fmt.size();
    while (i < n) {
        char c = fmt[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= n)
            Invalid(fmt);
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // A number or '*'; -1 when neither is there.
        auto number = [&]() -> long {
            if (i < n && fmt[i] == '*') {
                ++i;
                if (next >= count)
                    Missing(fmt);
                int64_t v;
                bool is32;
                if (!ArgToInt64(args[next++], v, is32) || v > kMaxWidth || v < -kMaxWidth)
                    Invalid(fmt);
                return long(v);
            }
            if (i >= n || fmt[i] < '0' || fmt[i] > '9')
                return -1;
            long v = 0;
            while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
                v = v * 10 + (fmt[i++] - '0');
                if (v > kMaxWidth)
                    Invalid(fmt);
            }
            return v;
        };
        long width = number();
        bool left = false;
        if (i < n && fmt[i] == ':') {
            ++i;
            if (width < 0 || size_t(width) > count)
                Invalid(fmt);
            next = size_t(width);
            width = -1;
        }
        if (i < n && fmt[i] == '-') {
            left = true;
            ++i;
        }
        if (width < 0)
            width = number();
        if (width < 0)
            width = 0;
        long prec = -1;
        if (i < n && fmt[i] == '.') {
            ++i;
            prec = number();
            if (prec < 0)
                prec = 0;  // "%.f" is precision zero
        }
        if (i >= n)
            Invalid(fmt);
        char type = fmt[i++];
        if (type >= 'A' && type <= 'Z')
            type = char(type + 32);
        if (next >= count)
            Missing(fmt);
        const TVarRec& a = args[next++];
        AnsiString piece;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            int64_t v;
            bool is32;
            if (!ArgToInt64(a, v, is32))
                Invalid(fmt);
            bool neg = false;
            uint64_t mag;
            if (type == 'd') {
                neg = v < 0;
                mag = neg ? 0 - uint64_t(v) : uint64_t(v);
            } else {
                mag = is32 ? uint64_t(uint32_t(v)) : uint64_t(v);
            }
            piece = type == 'x' ? HexOf(mag) : std::to_string(mag);
            if (prec > long(piece.size()))
                piece.insert(0, size_t(prec) - piece.size(), '0');
            if (neg)
                piece.insert(0, 1, '-');
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            TFloatRec rec;
            double d;
            if (!ArgToFloat(a, rec, d))
                Invalid(fmt);
            AnsiString nf = NonFiniteText(d);
            if (!nf.empty()) {
                piece = nf;
                break;
            }
            switch (type) {
            case 'e':
                piece = FloatRecToText(rec, ffExponent, prec < 0 ? 15 : prec > 18 ? 18 : prec < 2 ? 2 : int(prec), 3, fs);
                break;
            case 'f':
                piece = FloatRecToText(rec, ffFixed, 18, prec < 0 ? 2 : prec > 18 ? 18 : int(prec), fs);
                break;
            case 'g':
                piece = FloatRecToText(rec, ffGeneral, prec < 0 ? 15 : prec > 18 ? 18 : prec < 1 ? 1 : int(prec), 0, fs);
                break;
            case 'n':
                piece = FloatRecToText(rec, ffNumber, 18, prec < 0 ? 2 : prec > 18 ? 18 : int(prec), fs);
                break;
            default:
                piece = FloatRecToText(rec, ffCurrency, 18, prec < 0 ? fs.CurrencyDecimals : prec > 18 ? 18 : int(prec), fs);
                break;
            }
            break;
        }
        case 'p': {
            if (a.VType != vtPointer && a.VType != vtPChar)
                Invalid(fmt);
            piece = HexOf(uint64_t(reinterpret_cast<uintptr_t>(a.VPointer)));
            size_t want = sizeof(void*) * 2;
            if (piece.size() < want)
                piece.insert(0, want - piece.size(), '0');
            break;
        }
        case 's': {
            if (!ArgToString(a, piece, fs))
                Invalid(fmt);
            if (prec >= 0 && size_t(prec) < piece.size())
                piece.resize(size_t(prec));
            break;
        }
        default:
            Invalid(fmt);
        }
        if (long(piece.size()) < width) {
            size_t pad = size_t(width) - piece.size();
            if (left)
                piece.append(pad, ' ');
            else
                piece.insert(0, pad, ' ');
        }
        out += piece;
    }
    return out;
}

AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs)
{
    return Format(fmt, args.begin(), args.size(), fs);
}

AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args)
{
    return Format(fmt, args.begin(), args.size(), FormatSettings());
}

AnsiString Format(std::string_view fmt, const std::vector<TVarRec>& args, const TFormatSettings& fs)
{
    return Format(fmt, args.data(), args.size(), fs);
}

AnsiString Format(std::string_view fmt, const std::vector<TVarRec>& args)
{
    return Format(fmt, args.data(), args.size(), FormatSettings());
}
