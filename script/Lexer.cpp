// Lexer.cpp - see Lexer.h. Every loop advances by at least one byte or stops,
// so any text, however damaged, is read in one pass.
#include "script/Lexer.h"

#include "platform/rtl/Cp1251.h"

#include <algorithm>
#include <cstdint>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsPunctuation(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || (u >= 123 && u <= 126);
}

// Splits "open,close" at the first comma; a missing half stays empty.
void SplitPair(const AnsiString& pair, AnsiString& open, AnsiString& close)
{
    const auto comma = pair.find(',');
    open = pair.substr(0, comma);
    close = comma == AnsiString::npos ? AnsiString() : pair.substr(comma + 1);
}

} // namespace

TscParser::TscParser()
{
    Clear();
    SetText("");
}

void TscParser::Clear()
{
    FKeywords.clear();
    SetCommentBlock1("{,}");
    SetCommentBlock2("(*,*)");
    CommentLine1 = "//";
    CommentLine2.clear();
    HexSequence = "$";
    ConstructCharset("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
    SkipChar.clear();
    SkipEOL = true;
    SkipSpace = true;
    StringQuotes = "'";
}

void TscParser::SetCommentBlock1(const AnsiString& openClose)
{
    CommentBlock1 = openClose;
    SplitPair(openClose, CommentBlock1Open, CommentBlock1Close);
}

void TscParser::SetCommentBlock2(const AnsiString& openClose)
{
    CommentBlock2 = openClose;
    SplitPair(openClose, CommentBlock2Open, CommentBlock2Close);
}

void TscParser::ConstructCharset(const AnsiString& chars)
{
    IdentifierCharset.reset();
    for (char c : chars)
        IdentifierCharset.set(static_cast<unsigned char>(c));
}

void TscParser::IncludeExtendedCharset()
{
    for (int c = 128; c < 256; ++c)
        IdentifierCharset.set(c);
}

void TscParser::AddKeyword(const AnsiString& word)
{
    const AnsiString key = AnsiUpperCase(word);
    const auto it = std::lower_bound(FKeywords.begin(), FKeywords.end(), key);
    if (it == FKeywords.end() || *it != key)
        FKeywords.insert(it, key);
}

bool TscParser::IsKeyWord(const AnsiString& s) const
{
    return std::binary_search(FKeywords.begin(), FKeywords.end(), AnsiUpperCase(s));
}

void TscParser::SetText(const AnsiString& text)
{
    FText = text;
    FText.push_back('\0');
    FSize = static_cast<int>(text.size());
    FPosition = FLastPosition = 1;
    FYList.clear();
    FYList.push_back(0);
    for (int i = 1; i <= FSize; ++i)
        if (FText[i - 1] == '\n')
            FYList.push_back(i);
}

void TscParser::SetPosition(int p)
{
    FPosition = FLastPosition = p;
}

bool TscParser::At(int p, const AnsiString& s) const
{
    if (s.empty() || p < 1 || p - 1 + static_cast<int>(s.size()) > FSize)
        return false;
    return FText.compare(p - 1, s.size(), s) == 0;
}

bool TscParser::AtMarker(int p, const AnsiString& marker) const
{
    // A marker that ends in a letter is a word: BasicScript's rem opens a
    // comment, but remaining = 5 is a statement, not a comment.
    if (!At(p, marker))
        return false;
    return !IsIdentChar(marker.back()) || !IsIdentChar(Ch(p + static_cast<int>(marker.size())));
}

void TscParser::SkipSpaces()
{
    // A continuation character eats the line end after it. Done with a flag
    // instead of calling GetEOL, so a long run of continuations cannot nest.
    bool eatLineEnd = false;
    for (;;) {
        // White space is 0..32. With line ends as tokens a CR stops the skip,
        // and so does an LF, so text with bare LF line ends (as the platform's
        // string lists write them) still has its line ends.
        while (FPosition <= FSize) {
            const auto c = static_cast<unsigned char>(Ch(FPosition));
            if (c > 32 || (!SkipEOL && (c == 13 || c == 10)))
                break;
            ++FPosition;
        }
        if (FPosition <= FSize && !SkipChar.empty() && Ch(FPosition) == SkipChar[0]) {
            ++FPosition; // line continuation
            eatLineEnd = true;
            continue;
        }
        if (FPosition < FSize) {
            if (AtMarker(FPosition, CommentLine1) || AtMarker(FPosition, CommentLine2)) {
                while (FPosition <= FSize && Ch(FPosition) != '\r' && Ch(FPosition) != '\n')
                    ++FPosition;
                continue;
            }
            const AnsiString* close = nullptr;
            if (!CommentBlock1.empty() && AtMarker(FPosition, CommentBlock1Open))
                close = &CommentBlock1Close;
            else if (!CommentBlock2.empty() && AtMarker(FPosition, CommentBlock2Open))
                close = &CommentBlock2Close;
            if (close) {
                // The two markers of a pair have one length in every grammar;
                // stepping by the closing one keeps "(*)" from closing itself.
                FPosition += static_cast<int>(close->size());
                while (FPosition <= FSize && !At(FPosition, *close))
                    ++FPosition;
                FPosition = std::min(FPosition + static_cast<int>(close->size()), FSize + 1);
                if (close->empty())
                    FPosition = FSize + 1; // an empty closer never matches: runs to the end
                continue;
            }
        }
        if (eatLineEnd) {
            eatLineEnd = false;
            if (FPosition <= FSize && (Ch(FPosition) == '\r' || Ch(FPosition) == '\n')) {
                while (FPosition <= FSize && (Ch(FPosition) == '\r' || Ch(FPosition) == '\n'))
                    ++FPosition;
                continue;
            }
        }
        break;
    }
    FLastPosition = FPosition;
}

AnsiString TscParser::GetChar()
{
    const char c = Ch(FPosition);
    if (!IsPunctuation(c))
        return AnsiString();
    ++FPosition;
    return AnsiString(1, c);
}

AnsiString TscParser::Ident()
{
    if (SkipSpace)
        SkipSpaces();
    const int start = FPosition;
    const char c = Ch(FPosition);
    if (FPosition > FSize || !IsIdentChar(c) || IsDigit(c))
        return AnsiString();
    while (FPosition <= FSize && IsIdentChar(Ch(FPosition)))
        ++FPosition;
    return FText.substr(start - 1, FPosition - start);
}

AnsiString TscParser::GetWord()
{
    return Ident();
}

AnsiString TscParser::GetIdent()
{
    AnsiString word = Ident();
    if (!word.empty() && IsKeyWord(word))
        return AnsiString(); // the position stays after the word; the walker restores it
    return word;
}

bool TscParser::ReadDigits(bool hex)
{
    const int start = FPosition;
    while (FPosition <= FSize && (hex ? IsHexDigit(Ch(FPosition)) : IsDigit(Ch(FPosition))))
        ++FPosition;
    return FPosition > start;
}

bool TscParser::UnsignedInteger()
{
    const int start = FPosition;
    bool ok;
    if (At(FPosition, HexSequence)) {
        FPosition += static_cast<int>(HexSequence.size());
        ok = ReadDigits(true);
    } else {
        ok = ReadDigits(false);
    }
    if (!ok)
        FPosition = start;
    return ok;
}

bool TscParser::UnsignedReal()
{
    const int start = FPosition;
    if (!UnsignedInteger())
        return false;
    if (Ch(FPosition) == '.' && FPosition <= FSize) {
        ++FPosition;
        if (!ReadDigits(false)) {
            FPosition = start;
            return false;
        }
    }
    const int beforeScale = FPosition;
    if (Ch(FPosition) == 'E' || Ch(FPosition) == 'e') {
        ++FPosition;
        if (Ch(FPosition) == '+' || Ch(FPosition) == '-')
            ++FPosition;
        if (!ReadDigits(false))
            FPosition = beforeScale;
    }
    return true;
}

AnsiString TscParser::GetNumber()
{
    if (SkipSpace)
        SkipSpaces();
    const int start = FPosition;
    if (!UnsignedReal() && !UnsignedInteger())
        return AnsiString();
    AnsiString s = FText.substr(start - 1, FPosition - start);
    if (HexSequence != "$" && !HexSequence.empty()) {
        for (auto at = s.find(HexSequence); at != AnsiString::npos; at = s.find(HexSequence, at + 1))
            s.replace(at, HexSequence.size(), "$");
    }
    return s;
}

bool TscParser::QuotedPiece(AnsiString& value)
{
    if (StringQuotes.empty() || FPosition > FSize || Ch(FPosition) != StringQuotes[0])
        return false;
    const char quote = StringQuotes[0];
    const bool escapes = quote == '"';
    const int start = FPosition;
    AnsiString piece;
    ++FPosition;
    for (;;) {
        const auto c = static_cast<unsigned char>(Ch(FPosition));
        if (FPosition > FSize || (c < 32 && c != 9)) {
            FPosition = start; // literals do not span lines
            return false;
        }
        if (escapes && c == '\\') {
            ++FPosition;
            if (FPosition > FSize) {
                FPosition = start;
                return false;
            }
            const char x = Ch(FPosition);
            ++FPosition;
            if (x == 'n' || x == 'N') {
                piece += '\n';
            } else if (x == 'r' || x == 'R') {
                piece += '\r';
            } else if (x == 'x' || x == 'X') {
                unsigned code = 0;
                bool any = false;
                while (FPosition <= FSize && IsHexDigit(Ch(FPosition))) {
                    const char h = Ch(FPosition++);
                    code = (code * 16 + (IsDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10)) & 0xFFFF;
                    any = true;
                }
                if (any)
                    piece += static_cast<char>(code & 0xFF);
            } else {
                piece += x;
            }
            continue;
        }
        if (c == static_cast<unsigned char>(quote)) {
            ++FPosition;
            if (!escapes && Ch(FPosition) == quote && FPosition <= FSize) {
                piece += quote; // two quotes in a row stand for one
                ++FPosition;
                continue;
            }
            value += piece;
            return true;
        }
        piece += static_cast<char>(c);
        ++FPosition;
    }
}

bool TscParser::CodePiece(AnsiString& value)
{
    if (Ch(FPosition) != '#' || FPosition > FSize)
        return false;
    const int start = FPosition;
    ++FPosition;
    const int digits = FPosition;
    if (!UnsignedInteger()) {
        FPosition = start;
        return false;
    }
    AnsiString text = FText.substr(digits - 1, FPosition - digits);
    unsigned code = 0;
    if (At(digits, HexSequence)) {
        for (char h : text.substr(HexSequence.size()))
            code = (code * 16 + (IsDigit(h) ? h - '0' : (h | 0x20) - 'a' + 10)) & 0xFFFF;
    } else {
        for (char d : text)
            code = (code * 10 + (d - '0')) % 65536;
    }
    value += static_cast<char>(code & 0xFF);
    return true;
}

AnsiString TscParser::GetString()
{
    if (SkipSpace)
        SkipSpaces();
    AnsiString value;
    bool any = false;
    while (QuotedPiece(value) || CodePiece(value))
        any = true;
    if (!any)
        return AnsiString();
    return "'" + value + "'";
}

AnsiString TscParser::GetFRString()
{
    const int start = FPosition;
    int depth = 1;
    bool inSingle = false, inDouble = false;
    while (FPosition <= FSize) {
        const char c = Ch(FPosition);
        if (c == '\r' || c == '\n') {
            FPosition = start;
            return AnsiString();
        }
        if (!inSingle && !inDouble) {
            if (c == '<')
                ++depth;
            else if (c == '>' && --depth == 0)
                break;
        }
        if (c == '"' && !inSingle)
            inDouble = !inDouble;
        else if (c == '\'' && !inDouble)
            inSingle = !inSingle;
        ++FPosition;
    }
    return FText.substr(start - 1, FPosition - start);
}

bool TscParser::GetEOL()
{
    SkipSpaces();
    const char c = Ch(FPosition);
    if (FPosition > FSize || (c != '\r' && c != '\n'))
        return false;
    while (FPosition <= FSize && (Ch(FPosition) == '\r' || Ch(FPosition) == '\n'))
        ++FPosition;
    return true;
}

AnsiString TscParser::GetXYPosition() const
{
    return GetXYPosition(FPosition);
}

AnsiString TscParser::GetXYPosition(int position) const
{
    int lo = 0, hi = static_cast<int>(FYList.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (FYList[mid] < position) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (FYList[mid] == position)
                lo = mid;
        }
    }
    if (lo < 1)
        lo = 1; // positions before the text count as its first column
    const int column = std::max(position - FYList[lo - 1], 1);
    return std::to_string(lo) + ":" + std::to_string(column);
}

int TscParser::GetPlainPosition(int x, int y) const
{
    // Line and column may come from a loaded program: any int, not only a sane one.
    if (y < 1 || y > static_cast<int>(FYList.size()))
        return -1;
    const int64_t p = int64_t(FYList[y - 1]) + x;
    return p > INT32_MAX ? -1 : static_cast<int>(p);
}

TscToken TscParser::NextToken()
{
    TscToken t;
    SkipSpaces();
    t.Position = FPosition;
    if (FPosition > FSize)
        return t;
    if (!SkipEOL && GetEOL()) {
        t.Kind = TscTokenKind::Eol;
        t.Text = FText.substr(t.Position - 1, FPosition - t.Position);
        return t;
    }
    if (!(t.Text = GetNumber()).empty()) {
        t.Kind = TscTokenKind::Number;
    } else if (!(t.Text = GetString()).empty()) {
        t.Kind = TscTokenKind::String;
    } else if (!(t.Text = GetWord()).empty()) {
        t.Kind = IsKeyWord(t.Text) ? TscTokenKind::Keyword : TscTokenKind::Ident;
    } else if (!(t.Text = GetChar()).empty()) {
        t.Kind = TscTokenKind::Char;
    } else {
        // A byte that starts no token (a control character, an unclosed
        // quote, a letter outside the charset): report it and move on.
        t.Kind = TscTokenKind::Unknown;
        t.Text = AnsiString(1, Ch(FPosition));
        ++FPosition;
    }
    return t;
}
