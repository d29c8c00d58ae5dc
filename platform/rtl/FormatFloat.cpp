// FormatFloat - number pictures.
//
//   0      a digit, always shown          #   a digit, shown when significant
//   .      the decimal point (first one)  ,   thousands separators in the integer part
//   E+ E-  scientific notation (E+ always shows the sign), then '0's: minimum exponent digits
//   "x" 'x'  literal text                 ;   sections: positive;negative;zero
// Other characters are copied. A negative value formatted by the first section gets a
// leading '-'; the negative section prints no sign of its own. A value that rounds to zero
// takes the zero section when there is one and never shows a minus sign.
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatText.h"

#include <cmath>

using namespace rtl_detail;

namespace {

struct Section {
    std::string_view text;
    int intPlaces = 0;     // placeholders before the point
    int minInt = 0;        // placeholders from the first '0' to the point
    int fracMin = 0;       // placeholders up to the last '0' after the point
    int fracMax = 0;       // all placeholders after the point
    bool thousands = false;
    bool scientific = false;
    bool hasDigits = false;
};

// Splits at ';' outside quotes.
std::vector<std::string_view> SplitSections(std::string_view pic)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < pic.size(); ++i) {
        char c = pic[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.push_back(pic.substr(start, i - start));
            start = i + 1;
            if (out.size() == 2) {
                out.push_back(pic.substr(start));
                return out;
            }
        }
    }
    out.push_back(pic.substr(start));
    return out;
}

Section Analyse(std::string_view text)
{
    Section s;
    s.text = text;
    bool point = false;
    int firstZero = -1;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        switch (c) {
        case '"':
        case '\'':
            quote = c;
            break;
        case '0':
        case '#':
            s.hasDigits = true;
            if (!point) {
                if (c == '0' && firstZero < 0)
                    firstZero = s.intPlaces;
                ++s.intPlaces;
            } else {
                ++s.fracMax;
                if (c == '0')
                    s.fracMin = s.fracMax;
            }
            break;
        case '.':
            point = true;
            break;
        case ',':
            if (!point)
                s.thousands = true;
            break;
        case 'E':
        case 'e':
            if (i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
                s.scientific = true;
                i = text.size();  // the exponent part has its own digits
            }
            break;
        default:
            break;
        }
    }
    if (firstZero >= 0)
        s.minInt = s.intPlaces - firstZero;
    return s;
}

AnsiString Render(const Section& sec, const TFloatRec& rec, bool minus, const TFormatSettings& fs)
{
    // Integer and fraction digits of the value as the section wants them.
    AnsiString intDigits, fracDigits;
    int exponent = 0;
    if (sec.scientific) {
        int ip = sec.intPlaces > 0 ? sec.intPlaces : 1;
        if (rec.Count) {
            exponent = rec.Exponent - ip;
            for (int i = 0; i < ip; ++i)
                intDigits += i < rec.Count ? rec.Digits[i] : '0';
            for (int i = ip; i < rec.Count; ++i)
                fracDigits += rec.Digits[i];
        }
        size_t nz = intDigits.find_first_not_of('0');
        intDigits = nz == AnsiString::npos ? AnsiString() : intDigits.substr(nz);
        if (intDigits.empty())
            intDigits.assign(1, '0'); // a mantissa shows at least one digit: zero is 0E0
    } else {
        for (int i = 0; i < rec.Exponent && rec.Count; ++i)
            intDigits += i < rec.Count ? rec.Digits[i] : '0';
        for (int idx = rec.Exponent; rec.Count && idx < rec.Count; ++idx)
            fracDigits += idx < 0 ? '0' : rec.Digits[idx];
    }
    if (int(fracDigits.size()) > sec.fracMax)
        fracDigits.resize(size_t(sec.fracMax));
    while (int(fracDigits.size()) > sec.fracMin && fracDigits.back() == '0')
        fracDigits.pop_back();
    while (int(fracDigits.size()) < sec.fracMin)
        fracDigits += '0';
    if (int(intDigits.size()) < sec.minInt)
        intDigits.insert(0, size_t(sec.minInt) - intDigits.size(), '0');

    AnsiString out;
    if (minus)
        out += '-';
    const int len = int(intDigits.size());
    int intSeen = 0, fracSeen = 0;
    bool point = false;
    auto emitIntDigit = [&](int fromRight) {
        if (fromRight >= len)
            return;
        out += intDigits[size_t(len - 1 - fromRight)];
        if (sec.thousands && fromRight > 0 && fromRight % 3 == 0 && fs.ThousandSeparator)
            out += fs.ThousandSeparator;
    };
    const std::string_view t = sec.text;
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        switch (c) {
        case '"':
        case '\'': {
            size_t end = t.find(c, i + 1);
            if (end == std::string_view::npos)
                end = t.size();
            out.append(t.substr(i + 1, end - i - 1));
            i = end;
            break;
        }
        case '0':
        case '#':
            if (!point) {
                int remaining = sec.intPlaces - intSeen;  // this placeholder included
                if (intSeen == 0)
                    for (int k = len - 1; k >= remaining; --k)
                        emitIntDigit(k);  // digits beyond the picture's places
                emitIntDigit(remaining - 1);
                ++intSeen;
            } else {
                if (fracSeen < int(fracDigits.size()))
                    out += fracDigits[size_t(fracSeen)];
                ++fracSeen;
            }
            break;
        case '.':
            if (!point) {
                point = true;
                if (intSeen == 0)
                    for (int k = len - 1; k >= 0; --k)
                        emitIntDigit(k); // no integer places: the integer part is still shown
                if (!fracDigits.empty())
                    out += fs.DecimalSeparator;
            }
            break;
        case ',':
            break;
        case 'E':
        case 'e':
            if (sec.scientific && i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) {
                out += c;
                if (exponent < 0)
                    out += '-';
                else if (t[i + 1] == '+')
                    out += '+';
                size_t j = i + 2;
                int minDigits = 0;
                while (j < t.size() && t[j] == '0') {
                    ++minDigits;
                    ++j;
                }
                AnsiString d = std::to_string(exponent < 0 ? -exponent : exponent);
                if (int(d.size()) < minDigits)
                    d.insert(0, size_t(minDigits) - d.size(), '0');
                out += d;
                // Literal text after the exponent is still copied.
                for (; j < t.size(); ++j) {
                    char lc = t[j];
                    if (lc == '"' || lc == '\'') {
                        size_t end = t.find(lc, j + 1);
                        if (end == std::string_view::npos)
                            end = t.size();
                        out.append(t.substr(j + 1, end - j - 1));
                        j = end;
                    } else if (lc != '0' && lc != '#' && lc != ',' && lc != '.') {
                        out += lc;
                    }
                }
                return out;
            }
            out += c;
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

AnsiString FormatRec(std::string_view picture, const TFloatRec& value, const TFormatSettings& fs,
                     double fallback, bool isCurrency)
{
    std::vector<std::string_view> parts = SplitSections(picture);
    Section first = Analyse(parts[0]);
    if (picture.empty() || (!first.hasDigits && parts.size() == 1 && first.text.empty()))
        return isCurrency ? CurrToStr(Currency::FromScaled(0), fs) : FloatToStr(fallback, fs);

    auto pick = [&](size_t idx) -> Section {
        if (idx < parts.size() && !parts[idx].empty())
            return Analyse(parts[idx]);
        return first;
    };
    bool negative = value.Negative && value.Count > 0;
    Section sec = negative ? pick(1) : first;
    bool ownNegative = negative && parts.size() > 1 && !parts[1].empty();
    // An empty section (as the first of ";-0.00") shows its values in general form.
    if (sec.text.empty()) {
        if (value.Count == 0 && parts.size() > 2 && !parts[2].empty())
            return Render(Analyse(parts[2]), value, false, fs);
        return FloatToStr(fallback, fs);
    }

    // Huge values do not fit a fixed picture: show them in general form.
    if (!sec.scientific && value.Count && value.Exponent > 18)
        return FloatToStr(fallback, fs);

    TFloatRec rec = value;
    if (sec.scientific)
        RoundDecimal(rec, (sec.intPlaces > 0 ? sec.intPlaces : 1) + sec.fracMax, 9999);
    else
        RoundDecimal(rec, 18, sec.fracMax);
    if (rec.Count == 0) {
        if (parts.size() > 2 && !parts[2].empty())
            return Render(Analyse(parts[2]), rec, false, fs);
        return Render(first, rec, false, fs);
    }
    return Render(sec, rec, negative && !ownNegative, fs);
}

}  // namespace

AnsiString FormatFloat(std::string_view picture, double value, const TFormatSettings& fs)
{
    AnsiString nf = NonFiniteText(value);
    if (!nf.empty())
        return nf;
    if (picture.empty())
        return FloatToStr(value, fs);
    TFloatRec rec;
    FloatToDecimal(rec, value);
    return FormatRec(picture, rec, fs, value, false);
}

AnsiString FormatFloat(std::string_view picture, double value)
{
    return FormatFloat(picture, value, FormatSettings());
}

AnsiString FormatCurr(std::string_view picture, Currency value, const TFormatSettings& fs)
{
    if (picture.empty())
        return CurrToStr(value, fs);
    TFloatRec rec;
    CurrToDecimal(rec, value);
    return FormatRec(picture, rec, fs, value.ToDouble(), true);
}

AnsiString FormatCurr(std::string_view picture, Currency value)
{
    return FormatCurr(picture, value, FormatSettings());
}
