// Lexer.h - the character-level reader under the grammar-driven compiler.
//
// TscParser holds one script text and a position in it. It knows no statements:
// the grammar walker asks it for one token of a given kind at a time (a
// punctuation character, a word, a number, a string literal, a report-field
// reference, a line end), compares what comes back and moves the position back
// itself when an alternative fails. Every reader returns an empty string (or
// false) and leaves the position where the token would have started when no
// token of its kind stands there; no reader ever raises.
//
// Positions are 1-based byte indexes into Text. Text carries one character 0
// after the script, so a reader may look one byte past the end; every access
// beyond that goes through Ch(), which answers 0, so no input can make a
// reader step outside the buffer.
//
// Per-language settings (comment markers, quote, hex prefix, line ends as
// tokens, continuation character, reserved words) are written by whoever
// selects the language after Clear(); the defaults are the PascalScript ones.
#pragma once

#include "platform/rtl/System.h"

#include <bitset>
#include <string_view>
#include <vector>

// Token kinds of NextToken(), one list for the enum and the names.
#define SC_TOKEN_KINDS(X)                \
    X(End, "end of text")                \
    X(Eol, "end of line")                \
    X(Number, "number")                  \
    X(String, "string")                  \
    X(Keyword, "keyword")                \
    X(Ident, "identifier")               \
    X(Char, "character")                 \
    X(Unknown, "unknown character")

enum class TscTokenKind : uint8_t {
#define X(id, name) id,
    SC_TOKEN_KINDS(X)
#undef X
};

constexpr std::string_view kTscTokenKindName[] = {
#define X(id, name) name,
    SC_TOKEN_KINDS(X)
#undef X
};

struct TscToken {
    TscTokenKind Kind = TscTokenKind::End;
    AnsiString Text;  // as the reader returned it (strings quoted and decoded)
    int Position = 0; // 1-based start of the token
};

class TscParser {
public:
    TscParser();

    // Settings; Clear() restores every one of them to the PascalScript default.
    AnsiString CommentBlock1, CommentBlock1Open, CommentBlock1Close;
    AnsiString CommentBlock2, CommentBlock2Open, CommentBlock2Close;
    AnsiString CommentLine1;
    AnsiString CommentLine2;
    AnsiString HexSequence;
    std::bitset<256> IdentifierCharset;
    AnsiString SkipChar;
    bool SkipEOL = true;
    bool SkipSpace = true;
    AnsiString StringQuotes;

    void Clear();
    void SetCommentBlock1(const AnsiString& openClose);
    void SetCommentBlock2(const AnsiString& openClose);
    void ConstructCharset(const AnsiString& chars);
    // Characters 128..255 (CP1251 letters) become identifier characters.
    void IncludeExtendedCharset();
    void AddKeyword(const AnsiString& word);
    bool IsKeyWord(const AnsiString& s) const;
    const std::vector<AnsiString>& Keywords() const { return FKeywords; }

    void SetText(const AnsiString& text);
    const AnsiString& Text() const { return FText; } // with the trailing character 0
    int Size() const { return FSize; }
    int Position() const { return FPosition; }
    int LastPosition() const { return FLastPosition; }
    void SetPosition(int p);
    const std::vector<int>& YList() const { return FYList; }

    void SkipSpaces();
    AnsiString GetChar();
    AnsiString GetWord();
    AnsiString GetIdent();
    AnsiString GetNumber();
    AnsiString GetString();
    AnsiString GetFRString();
    bool GetEOL();

    // "line:col" of Position, both from 1; an LF belongs to the line it ends.
    AnsiString GetXYPosition() const;
    AnsiString GetXYPosition(int position) const;
    // Position of column x on line y, or -1 when the line does not exist.
    int GetPlainPosition(int x, int y) const;

    // Reads the next token of any kind, for tools, fuzzing and measuring; the
    // grammar walker uses the single readers above.
    TscToken NextToken();

private:
    char Ch(int p) const { return (p >= 1 && p <= FSize) ? FText[p - 1] : '\0'; }
    bool At(int p, const AnsiString& s) const;
    // A comment marker at p; one that ends in an identifier character only as a whole word.
    bool AtMarker(int p, const AnsiString& marker) const;
    bool IsIdentChar(char c) const { return IdentifierCharset[static_cast<unsigned char>(c)]; }
    AnsiString Ident();
    bool ReadDigits(bool hex);
    bool UnsignedInteger();
    bool UnsignedReal();
    bool QuotedPiece(AnsiString& value);
    bool CodePiece(AnsiString& value);

    AnsiString FText;
    int FSize = 0;
    int FPosition = 1;
    int FLastPosition = 1;
    std::vector<int> FYList;
    std::vector<AnsiString> FKeywords; // upper-cased, sorted
};
