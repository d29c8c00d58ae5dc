// ObjectText.cpp - object text <-> binary component streams, and layout files.
#include "platform/classes/ObjectText.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxNesting = 64;

// ---------------------------------------------------------------- text -> binary

enum class Tok { End, Ident, Int, Float, String, Symbol };

class TextParser {
public:
    TextParser(const AnsiString& text, TStream& out, std::vector<std::pair<int64_t, int>>* lineMap,
               const AnsiString& source)
        : FText(text), FOut(out), FWriter(out), FLineMap(lineMap), FSource(source)
    {
        Next();
    }

    // file -> object
    void Run()
    {
        FWriter.WriteSignature();
        Object(0);
        if (FTok != Tok::End)
            Error("end of text");
    }

private:
    // object -> ("object" | "inherited" | "inline") [name ":"] class ["[" int "]"] property* object* "end"
    void Object(int depth)
    {
        if (depth > kMaxNesting)
            Fail(Format(msg::kTooDeep, {kMaxNesting}));
        uint8_t flags = 0;
        if (IsWord("inherited"))
            flags = 0xF1;
        else if (IsWord("inline"))
            flags = 0xF4;
        else if (!IsWord("object"))
            Error("'object'");
        const int line = FTokLine;
        Next();
        AnsiString name, cls = Ident("class name");
        if (IsSymbol(':')) {
            Next();
            name = cls;
            cls = Ident("class name");
        }
        int64_t order = -1;
        if (IsSymbol('[')) {
            Next();
            order = IntValue();
            Expect(']');
        }
        Mark(line);
        if (flags || order >= 0) {
            if (order >= 0)
                flags = static_cast<uint8_t>((flags ? flags : 0xF0) | 0x02);
            FOut.WriteBuffer(&flags, 1);
            if (order >= 0)
                FWriter.WriteInteger(order);
        }
        FWriter.WriteStr(cls);
        FWriter.WriteStr(name);
        while (FTok == Tok::Ident && !IsWord("end") && !IsWord("object") && !IsWord("inherited") && !IsWord("inline"))
            Property(depth);
        FWriter.WriteListEnd();
        while (IsWord("object") || IsWord("inherited") || IsWord("inline"))
            Object(depth + 1);
        if (!IsWord("end"))
            Error("'end'");
        Next();
        FWriter.WriteListEnd();
    }

    // property -> qualident "=" value
    void Property(int depth)
    {
        Mark(FTokLine);
        const AnsiString name = Ident("property name");
        Expect('=');
        FWriter.WriteStr(name);
        Value(depth);
    }

    // value -> number | string ("+" string)* | ident | set | list | binary | collection
    void Value(int depth)
    {
        if (depth > kMaxNesting)
            Fail(Format(msg::kTooDeep, {kMaxNesting}));
        switch (FTok) {
        case Tok::Int: {
            int64_t v = FInt;
            Next();
            FWriter.WriteInteger(v);
            return;
        }
        case Tok::Float: {
            const long double v = FFloat;
            const char suffix = FSuffix;
            Next();
            if (suffix == 's')
                FWriter.WriteSingle(static_cast<float>(v));
            else if (suffix == 'c') {
                if (!(std::fabs(static_cast<double>(v)) < 922337203685477.0))
                    Fail(Format(msg::kValueExpected, {"currency value", "a number out of range"}));
                FWriter.WriteCurrency(Currency(static_cast<double>(v)));
            } else if (suffix == 'd')
                FWriter.WriteDate(TDateTime(static_cast<double>(v)));
            else
                FWriter.WriteFloat(v);
            return;
        }
        case Tok::String: {
            AnsiString s = FStr;
            Next();
            while (IsSymbol('+')) {
                Next();
                if (FTok != Tok::String)
                    Error("string");
                s += FStr;
                Next();
            }
            FWriter.WriteString(s);
            return;
        }
        case Tok::Ident: {
            AnsiString id = FStr;
            Next();
            FWriter.WriteIdent(id);
            return;
        }
        case Tok::Symbol: break;
        case Tok::End: Error("value");
        }
        if (IsSymbol('[')) {  // set
            Next();
            FWriter.WriteValue(vaSet);
            if (!IsSymbol(']')) {
                for (;;) {
                    FWriter.WriteStr(Ident("set element"));
                    if (IsSymbol(']'))
                        break;
                    Expect(',');
                }
            }
            Next();
            FWriter.WriteStr(AnsiString());
        } else if (IsSymbol('(')) {  // list
            Next();
            FWriter.WriteListBegin();
            while (!IsSymbol(')')) {
                if (FTok == Tok::End)
                    Error("')'");
                Value(depth + 1);
            }
            Next();
            FWriter.WriteListEnd();
        } else if (IsSymbol('{')) {  // binary, read raw from the text
            Binary();
        } else if (IsSymbol('<')) {  // collection
            Next();
            FWriter.WriteValue(vaCollection);
            while (!IsSymbol('>')) {
                if (!IsWord("item"))
                    Error("'item' or '>'");
                Next();
                if (IsSymbol('[')) {
                    Next();
                    FWriter.WriteInteger(IntValue());
                    Expect(']');
                }
                FWriter.WriteListBegin();
                while (!IsWord("end")) {
                    if (FTok != Tok::Ident)
                        Error("property name or 'end'");
                    Property(depth + 1);
                }
                Next();
                FWriter.WriteListEnd();
            }
            Next();
            FWriter.WriteListEnd();
        } else if (IsSymbol('-')) {
            Error("number after '-'");
        } else {
            Error("value");
        }
    }

    void Binary()
    {
        // FPos stands just after '{'; hex digits and white space up to '}'.
        std::vector<unsigned char> bytes;
        int nibble = -1;
        for (;;) {
            if (FPos >= FText.size())
                Fail(Format(msg::kValueExpected, {"'}'", "end of text"}));
            const char c = FText[FPos++];
            if (c == '}')
                break;
            if (c == '\n')
                ++FLine;
            if (static_cast<unsigned char>(c) <= ' ')
                continue;
            int v = HexDigit(c);
            if (v < 0)
                Fail(Format(msg::kValueExpected, {"hexadecimal digit", Quote(AnsiString(1, c))}));
            if (nibble < 0)
                nibble = v;
            else {
                bytes.push_back(static_cast<unsigned char>(nibble * 16 + v));
                nibble = -1;
            }
        }
        if (nibble >= 0)
            Fail(Format(msg::kValueExpected, {"an even number of hexadecimal digits", "an odd number"}));
        FWriter.WriteValue(vaBinary);
        const auto n = static_cast<uint32_t>(bytes.size());
        FOut.WriteBuffer(&n, 4);
        if (n)
            FOut.WriteBuffer(bytes.data(), n);
        Next();
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

    int64_t IntValue()
    {
        if (FTok != Tok::Int)
            Error("integer");
        int64_t v = FInt;
        Next();
        return v;
    }

    AnsiString Ident(const char* what)
    {
        if (FTok != Tok::Ident)
            Error(what);
        if (FStr.size() > 255)
            Fail(Format(msg::kValueExpected, {what, "a name longer than 255 characters"}));
        AnsiString s = FStr;
        Next();
        return s;
    }

    void Expect(char c)
    {
        if (!IsSymbol(c))
            Error(("'" + AnsiString(1, c) + "'").c_str());
        Next();
    }

    bool IsSymbol(char c) const { return FTok == Tok::Symbol && FSym == c; }
    bool IsWord(const char* w) const { return FTok == Tok::Ident && SameText(FStr, w); }

    void Mark(int line)
    {
        if (FLineMap)
            FLineMap->emplace_back(FOut.GetPosition(), line);
    }

    static AnsiString Quote(const AnsiString& s) { return "'" + s + "'"; }

    AnsiString Found() const
    {
        switch (FTok) {
        case Tok::End: return "end of text";
        case Tok::String: return "string " + Quote(FStr.substr(0, 40));
        case Tok::Symbol: return Quote(AnsiString(1, FSym));
        default: return Quote(FText.substr(FTokStart, std::min<size_t>(40, FPos - FTokStart)));
        }
    }

    [[noreturn]] void Error(const char* expected) const { FailAt(FTokLine, Format(msg::kValueExpected, {expected, Found()})); }
    [[noreturn]] void Fail(const AnsiString& what) const { FailAt(FTokLine, what); }
    [[noreturn]] void FailAt(int line, const AnsiString& what) const
    {
        if (FSource.empty())
            throw EReadError(Format(msg::kTextAtNoFile, {line, what}));
        throw EReadError(Format(msg::kTextAt, {FSource, line, what}));
    }

    static bool IdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool IdentChar(unsigned char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }

    // The scanner: every call consumes at least one character or reaches the end.
    void Next()
    {
        const size_t n = FText.size();
        while (FPos < n && static_cast<unsigned char>(FText[FPos]) <= ' ') {
            if (FText[FPos] == '\n')
                ++FLine;
            ++FPos;
        }
        FTokStart = FPos;
        FTokLine = FLine;
        if (FPos >= n) {
            FTok = Tok::End;
            return;
        }
        const auto c = static_cast<unsigned char>(FText[FPos]);
        if (IdentStart(c)) {
            size_t j = FPos;
            // Dotted names ("Font.Style") are one token.
            while (j < n && (IdentChar(static_cast<unsigned char>(FText[j])) ||
                             (FText[j] == '.' && j + 1 < n && IdentStart(static_cast<unsigned char>(FText[j + 1])))))
                ++j;
            FStr = FText.substr(FPos, j - FPos);
            FPos = j;
            FTok = Tok::Ident;
            return;
        }
        if (c == '\'' || c == '#') {
            ScanString();
            return;
        }
        if (c == '$') {
            size_t j = FPos + 1;
            uint64_t v = 0;
            int digits = 0;
            while (j < n && HexDigit(FText[j]) >= 0) {
                if (++digits > 16)
                    FailAt(FLine, Format(msg::kValueExpected, {"hexadecimal number", "too many digits"}));
                v = v * 16 + static_cast<uint64_t>(HexDigit(FText[j]));
                ++j;
            }
            if (!digits)
                FailAt(FLine, Format(msg::kValueExpected, {"hexadecimal digits", "'$'"}));
            FPos = j;
            FInt = static_cast<int64_t>(v);
            FTok = Tok::Int;
            return;
        }
        if ((c >= '0' && c <= '9') || ((c == '-' || c == '+') && FPos + 1 < n && FText[FPos + 1] >= '0' && FText[FPos + 1] <= '9')) {
            ScanNumber();
            return;
        }
        FSym = static_cast<char>(c);
        ++FPos;
        FTok = Tok::Symbol;
    }

    void ScanNumber()
    {
        const size_t n = FText.size();
        size_t j = FPos;
        if (FText[j] == '-' || FText[j] == '+')
            ++j;
        while (j < n && FText[j] >= '0' && FText[j] <= '9')
            ++j;
        bool isFloat = false;
        if (j < n && FText[j] == '.' && j + 1 < n && FText[j + 1] >= '0' && FText[j + 1] <= '9') {
            isFloat = true;
            ++j;
            while (j < n && FText[j] >= '0' && FText[j] <= '9')
                ++j;
        }
        if (j < n && (FText[j] == 'e' || FText[j] == 'E')) {
            size_t k = j + 1;
            if (k < n && (FText[k] == '+' || FText[k] == '-'))
                ++k;
            if (k < n && FText[k] >= '0' && FText[k] <= '9') {
                isFloat = true;
                j = k;
                while (j < n && FText[j] >= '0' && FText[j] <= '9')
                    ++j;
            }
        }
        const std::string num = FText.substr(FPos, j - FPos);
        FSuffix = 0;
        if (j < n && (FText[j] == 's' || FText[j] == 'S' || FText[j] == 'c' || FText[j] == 'C' || FText[j] == 'd' ||
                      FText[j] == 'D')) {
            if (!(j + 1 < n && IdentChar(static_cast<unsigned char>(FText[j + 1])))) {
                FSuffix = static_cast<char>(std::tolower(static_cast<unsigned char>(FText[j])));
                isFloat = true;
                ++j;
            }
        }
        if (j < n && IdentChar(static_cast<unsigned char>(FText[j])))
            FailAt(FLine, Format(msg::kValueExpected, {"number", Quote(FText.substr(FPos, std::min<size_t>(j + 8, n) - FPos))}));
        FPos = j;
        if (isFloat) {
            FFloat = ParseFloat(num);
            FTok = Tok::Float;
        } else {
            int64_t v;
            if (!TryStrToInt64(num[0] == '+' ? num.substr(1) : num, v))
                FailAt(FLine, Format(msg::kValueExpected, {"integer", Quote(num)}));
            FInt = v;
            FTok = Tok::Int;
        }
    }

    // Layouts write numbers with a decimal point whatever the desktop's locale, so neither the
    // reading nor the writing may go through the C library's (Qt sets it to the desktop's).
    long double ParseFloat(const std::string& num)
    {
        const char* first = num.data() + (num[0] == '+' ? 1 : 0);
        const char* last = num.data() + num.size();
        long double v = 0;
        const auto [ptr, ec] = std::from_chars(first, last, v);
        if (ptr != last || ec == std::errc::invalid_argument)
            FailAt(FLine, Format(msg::kValueExpected, {"number", Quote(num)}));
        if (ec == std::errc::result_out_of_range) {
            const size_t e = num.find_first_of("eE");
            if (e == std::string::npos || num[e + 1] != '-')
                FailAt(FLine, Format(msg::kValueExpected, {"number", Quote(num) + " out of range"}));
            v = num[0] == '-' ? -0.0L : 0.0L;  // too small to hold: zero
        }
        return v;
    }

    // string -> ( "'" chars "'" | "#" number )+
    void ScanString()
    {
        const size_t n = FText.size();
        FStr.clear();
        for (;;) {
            if (FPos < n && FText[FPos] == '\'') {
                ++FPos;
                for (;;) {
                    if (FPos >= n || FText[FPos] == '\n' || FText[FPos] == '\r')
                        FailAt(FLine, Format(msg::kValueExpected, {"closing quote", "end of line"}));
                    if (FText[FPos] == '\'') {
                        if (FPos + 1 < n && FText[FPos + 1] == '\'') {
                            FStr += '\'';
                            FPos += 2;
                            continue;
                        }
                        ++FPos;
                        break;
                    }
                    FStr += FText[FPos++];
                }
            } else if (FPos < n && FText[FPos] == '#') {
                ++FPos;
                int64_t code = 0;
                int digits = 0;
                if (FPos < n && FText[FPos] == '$') {
                    ++FPos;
                    while (FPos < n && HexDigit(FText[FPos]) >= 0 && digits < 8) {
                        code = code * 16 + HexDigit(FText[FPos++]);
                        ++digits;
                    }
                } else {
                    while (FPos < n && FText[FPos] >= '0' && FText[FPos] <= '9' && digits < 8) {
                        code = code * 10 + (FText[FPos++] - '0');
                        ++digits;
                    }
                }
                if (!digits)
                    FailAt(FLine, Format(msg::kValueExpected, {"character code after '#'", "none"}));
                if (code < 256) {
                    FStr += static_cast<char>(code);
                } else {
                    const int b = cp1251::FromUnicode(static_cast<char32_t>(code));
                    FStr += b < 0 ? '?' : static_cast<char>(b);
                }
            } else {
                break;
            }
        }
        FTok = Tok::String;
    }

    const AnsiString& FText;
    TStream& FOut;
    TWriter FWriter;
    std::vector<std::pair<int64_t, int>>* FLineMap;
    AnsiString FSource;
    size_t FPos = 0;
    int FLine = 1;
    size_t FTokStart = 0;
    int FTokLine = 1;
    Tok FTok = Tok::End;
    AnsiString FStr;
    int64_t FInt = 0;
    long double FFloat = 0;
    char FSuffix = 0;
    char FSym = 0;
};

// ---------------------------------------------------------------- binary -> text

class TextWriter {
public:
    explicit TextWriter(TStream& in) : FReader(in) {}

    AnsiString Run()
    {
        FReader.ReadSignature();
        Object(0);
        return FOut;
    }

private:
    void Line(int indent, const AnsiString& s)
    {
        FOut.append(static_cast<size_t>(indent) * 2, ' ');
        FOut += s;
        FOut += "\r\n";
    }
    // Appends to the last line (before its CR LF).
    void Tail(const AnsiString& s) { FOut.insert(FOut.size() - 2, s); }

    void Object(int indent)
    {
        if (indent > kMaxNesting * 2)
            throw EReadError(Format(msg::kTooDeep, {kMaxNesting}));
        uint8_t flags = 0;
        FReader.Stream().ReadBuffer(&flags, 1);
        AnsiString head = "object ";
        AnsiString order;
        if ((flags & 0xF0) == 0xF0) {
            if (flags & 0x01)
                head = "inherited ";
            else if (flags & 0x04)
                head = "inline ";
            if (flags & 0x02)
                order = " [" + IntToStr(FReader.ReadInteger()) + "]";
        } else {
            FReader.Stream().Seek(-1, soCurrent);
        }
        const AnsiString cls = FReader.ReadStr();
        const AnsiString name = FReader.ReadStr();
        Line(indent, head + (name.empty() ? cls : name + ": " + cls) + order);
        while (!FReader.EndOfList())
            Property(indent + 1);
        FReader.ReadListEnd();
        while (!FReader.EndOfList())
            Object(indent + 1);
        FReader.ReadListEnd();
        Line(indent, "end");
    }

    void Property(int indent)
    {
        const AnsiString name = FReader.ReadStr();
        Line(indent, name + " = ");
        Value(indent);
    }

    static AnsiString FloatText(long double v)
    {
        if (std::isnan(v) || std::isinf(v))
            return "0.0";  // cannot be written as text; streams do not hold them on purpose
        // The shortest %g text that reads back to the same value, from to_chars: printf and
        // strtold would take the desktop's decimal comma under Qt.
        char buf[64];
        char* end = buf;
        for (int prec = 1; prec <= 21; ++prec) {
            end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, prec).ptr;
            long double back = 0;
            std::from_chars(buf, end, back);
            if (back == v)
                break;
        }
        AnsiString s(buf, end);
        if (s.find('.') == AnsiString::npos) {
            const size_t e = s.find_first_of("eE");
            if (e == AnsiString::npos)
                s += ".0";
            else
                s.insert(e, ".0");
        }
        return s;
    }

    static AnsiString QuoteString(const AnsiString& s)
    {
        if (s.empty())
            return "''";
        AnsiString r;
        bool inQuote = false;
        for (char ch : s) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < ' ') {
                if (inQuote) {
                    r += '\'';
                    inQuote = false;
                }
                r += '#' + IntToStr(c);
            } else {
                if (!inQuote) {
                    r += '\'';
                    inQuote = true;
                }
                if (ch == '\'')
                    r += '\'';
                r += ch;
            }
        }
        if (inQuote)
            r += '\'';
        return r;
    }

    void StringValue(int indent, const AnsiString& s)
    {
        constexpr size_t kPiece = 64;
        if (s.size() <= kPiece) {
            Tail(QuoteString(s));
            return;
        }
        for (size_t i = 0; i < s.size(); i += kPiece) {
            AnsiString piece = QuoteString(s.substr(i, kPiece));
            if (i == 0) {
                Tail(piece + " +");
            } else {
                Line(indent + 1, piece + (i + kPiece < s.size() ? " +" : ""));
            }
        }
    }

    void Value(int indent)
    {
        if (++FDepth > kMaxNesting) {
            --FDepth;
            throw EReadError(Format(msg::kTooDeep, {kMaxNesting}));
        }
        const TValueType t = FReader.NextValue();
        switch (t) {
        case vaList: {
            FReader.ReadValue();
            Tail("(");
            while (!FReader.EndOfList()) {
                Line(indent + 1, "");
                Value(indent + 1);
            }
            FReader.ReadListEnd();
            Tail(")");
            break;
        }
        case vaInt8: case vaInt16: case vaInt32: case vaInt64: Tail(IntToStr(FReader.ReadInt64())); break;
        case vaExtended: Tail(FloatText(FReader.ReadFloat())); break;
        case vaSingle: Tail(FloatText(FReader.ReadSingle()) + "s"); break;
        case vaCurrency: {
            const int64_t v = FReader.ReadCurrency().Val;
            AnsiString s = IntToStr(v / 10000 < 0 ? -(v / 10000) : v / 10000);
            AnsiString frac = IntToStr((v % 10000) < 0 ? -(v % 10000) : v % 10000);
            frac = AnsiString(4 - frac.size(), '0') + frac;
            Tail((v < 0 ? "-" : "") + s + "." + frac + "c");
            break;
        }
        case vaDate: Tail(FloatText(FReader.ReadDate().Val) + "d"); break;
        case vaString: case vaLString: case vaWString: case vaUTF8String: StringValue(indent, FReader.ReadString()); break;
        case vaIdent: case vaFalse: case vaTrue: case vaNil: case vaNull: Tail(FReader.ReadIdent()); break;
        case vaBinary: {
            TMemoryStream ms;
            FReader.ReadBinary(ms);
            Tail("{");
            static const char hex[] = "0123456789ABCDEF";
            const auto* p = reinterpret_cast<const unsigned char*>(ms.Memory());
            const size_t n = static_cast<size_t>(ms.GetSize());
            if (n == 0)
                Tail("}");
            for (size_t i = 0; i < n; i += 32) {
                AnsiString line;
                for (size_t k = i; k < std::min(n, i + 32); ++k) {
                    line += hex[p[k] >> 4];
                    line += hex[p[k] & 15];
                }
                Line(indent + 1, line + (i + 32 >= n ? "}" : ""));
            }
            break;
        }
        case vaSet: {
            FReader.ReadValue();
            AnsiString s = "[";
            bool first = true;
            for (;;) {
                AnsiString e = FReader.ReadStr();
                if (e.empty())
                    break;
                if (!first)
                    s += ", ";
                s += e;
                first = false;
            }
            Tail(s + "]");
            break;
        }
        case vaCollection: {
            FReader.ReadValue();
            Tail("<");
            while (!FReader.EndOfList()) {
                AnsiString item = "item";
                TValueType o = FReader.NextValue();
                if (o == vaInt8 || o == vaInt16 || o == vaInt32)
                    item += " [" + IntToStr(FReader.ReadInteger()) + "]";
                Line(indent + 1, item);
                FReader.ReadListBegin();
                while (!FReader.EndOfList())
                    Property(indent + 2);
                FReader.ReadListEnd();
                Line(indent + 1, "end");
            }
            FReader.ReadListEnd();
            Tail(">");
            break;
        }
        default: FReader.ReadValue(); throw EReadError(Format(msg::kBadValueType, {static_cast<int>(t)}));
        }
        --FDepth;
    }

    TReader FReader;
    AnsiString FOut;
    int FDepth = 0;
};

int LineOf(const std::vector<std::pair<int64_t, int>>& map, int64_t offset)
{
    int line = 1;
    for (const auto& [off, l] : map) {
        if (off > offset)
            break;
        line = l;
    }
    return line;
}

AnsiString StripBom(const AnsiString& s)
{
    if (s.size() >= 3 && static_cast<unsigned char>(s[0]) == 0xEF && static_cast<unsigned char>(s[1]) == 0xBB &&
        static_cast<unsigned char>(s[2]) == 0xBF)
        return s.substr(3);
    return s;
}

[[noreturn]] void Relocate(const EComponentStreamError& e, const std::vector<std::pair<int64_t, int>>& map,
                           const AnsiString& source)
{
    const int line = LineOf(map, e.Offset());
    if (source.empty())
        throw EReadError(Format(msg::kTextAtNoFile, {line, e.Detail()}));
    throw EReadError(Format(msg::kTextAt, {source, line, e.Detail()}));
}

}  // namespace

void ObjectTextToBinary(const AnsiString& text, TStream& output, std::vector<std::pair<int64_t, int>>* lineMap)
{
    TextParser(text, output, lineMap, {}).Run();
}

AnsiString ObjectBinaryToText(TStream& input)
{
    try {
        return TextWriter(input).Run();
    } catch (const EComponentStreamError& e) {
        throw EReadError(e.Message());
    }
}

AnsiString WriteComponentText(TComponent* Root)
{
    TMemoryStream ms;
    WriteComponentToStream(ms, Root);
    ms.SetPosition(0);
    return ObjectBinaryToText(ms);
}

void ReadComponentText(const AnsiString& text, TComponent* Root, const AnsiString& sourceName)
{
    TMemoryStream ms;
    std::vector<std::pair<int64_t, int>> map;
    TextParser(text, ms, &map, sourceName).Run();
    ms.SetPosition(0);
    try {
        ReadRootComponentFromStream(ms, Root);
    } catch (const EComponentStreamError& e) {
        Relocate(e, map, sourceName);
    }
}

std::unique_ptr<TComponent> ReadComponentTextNew(const AnsiString& text, const AnsiString& sourceName)
{
    TMemoryStream ms;
    std::vector<std::pair<int64_t, int>> map;
    TextParser(text, ms, &map, sourceName).Run();
    ms.SetPosition(0);
    try {
        return ReadComponentFromStream(ms);
    } catch (const EComponentStreamError& e) {
        Relocate(e, map, sourceName);
    }
}

void LoadLayout(const AnsiString& fileName, TComponent* Root)
{
    AnsiString bytes;
    {
        TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
        const int64_t n = f.GetSize();
        bytes.resize(static_cast<size_t>(n));
        f.ReadBuffer(bytes.data(), n);
    }
    ReadComponentText(Utf8ToAnsi(StripBom(bytes)), Root, ExtractFileName(fileName));
}

void SaveLayout(const AnsiString& fileName, TComponent* Root)
{
    const AnsiString text = AnsiToUtf8(WriteComponentText(Root));
    SaveFileWhole(fileName, [&](TStream& f) { f.WriteBuffer(text.data(), static_cast<int64_t>(text.size())); });
}
