// Lexer tests: every token kind and position, in the settings of each language.
#include "script/Lexer.h"

#include <gtest/gtest.h>

namespace {

enum class Lang { Pascal, Cpp, JScript, Basic };

// The lexer settings each grammar gives it, as the language selection writes them.
void Configure(TscParser& p, Lang lang)
{
    p.Clear();
    switch (lang) {
    case Lang::Pascal:
        for (const char* w : {"and", "array", "begin", "break", "case", "const", "continue", "div", "do",
                              "downto", "else", "end", "except", "exit", "finally", "for", "function",
                              "goto", "if", "in", "is", "label", "mod", "not", "of", "or", "procedure",
                              "program", "repeat", "shl", "shr", "then", "to", "try", "until", "uses",
                              "var", "while", "with", "xor"})
            p.AddKeyword(w);
        break;
    case Lang::Cpp:
    case Lang::JScript:
        p.SetCommentBlock1("/*,*/");
        p.SetCommentBlock2("/*,*/");
        p.StringQuotes = "\"";
        p.HexSequence = "0x";
        for (const char* w : {"break", "case", "continue", "default", "delete", "do", "else", "except",
                              "finally", "for", "in", "is", "if", "new", "return", "switch", "try", "while"})
            p.AddKeyword(w);
        if (lang == Lang::JScript)
            for (const char* w : {"function", "import", "var", "with"})
                p.AddKeyword(w);
        else
            p.AddKeyword("define");
        break;
    case Lang::Basic:
        p.CommentLine1 = "'";
        p.CommentLine2 = "rem";
        p.SetCommentBlock1("/\\,/\\");
        p.SetCommentBlock2("/\\,/\\");
        p.StringQuotes = "\"";
        p.HexSequence = "0x";
        p.SkipEOL = false;
        p.SkipChar = "_";
        for (const char* w : {"addressof", "and", "as", "byref", "byval", "case", "catch", "delete", "dim",
                              "do", "else", "elseif", "end", "endif", "exit", "finally", "for", "function",
                              "if", "imports", "is", "loop", "mod", "new", "next", "not", "or", "rem",
                              "return", "select", "set", "step", "sub", "then", "to", "try", "wend",
                              "while", "with", "xor"})
            p.AddKeyword(w);
        break;
    }
}

const char* KindCode(TscTokenKind k)
{
    switch (k) {
    case TscTokenKind::End: return "end";
    case TscTokenKind::Eol: return "eol";
    case TscTokenKind::Number: return "num";
    case TscTokenKind::String: return "str";
    case TscTokenKind::Keyword: return "kw";
    case TscTokenKind::Ident: return "id";
    case TscTokenKind::Char: return "ch";
    case TscTokenKind::Unknown: return "?";
    }
    return "";
}

// "kind:text@line:col ..." for the whole text; a step limit guards against a lexer that stalls.
std::string Tokens(Lang lang, const std::string& text)
{
    TscParser p;
    Configure(p, lang);
    p.SetText(text);
    std::string out;
    for (int step = 0; step < 1000; ++step) {
        const TscToken t = p.NextToken();
        if (t.Kind == TscTokenKind::End)
            return out;
        if (!out.empty())
            out += ' ';
        std::string shown = t.Text;
        for (auto& c : shown)
            if (c == '\r') c = 'R'; else if (c == '\n') c = 'N';
        out += std::string(KindCode(t.Kind)) + ":" + shown + "@" + p.GetXYPosition(t.Position);
    }
    return out + " <stalled>";
}

struct TokenCase {
    const char* why;
    Lang lang;
    std::string text;
    std::string expected;
};

const TokenCase kTokenCases[] = {
    {"assignment: word, two chars, number, char", Lang::Pascal, "a := 15;",
     "id:a@1:1 ch::@1:3 ch:=@1:4 num:15@1:6 ch:;@1:8"},
    {"keywords ignore case, identifiers keep it", Lang::Pascal, "BEGIN Begin begin X end",
     "kw:BEGIN@1:1 kw:Begin@1:7 kw:begin@1:13 id:X@1:19 kw:end@1:21"},
    {"line and column count from 1 across LF", Lang::Pascal, "a\nbb\n  c",
     "id:a@1:1 id:bb@2:1 id:c@3:3"},
    {"CR LF: the LF belongs to the line it ends", Lang::Pascal, "a\r\n b", "id:a@1:1 id:b@2:2"},
    {"both Pascal block comments and the line comment are skipped", Lang::Pascal,
     "{ x } a (* y *) b // z\nc", "id:a@1:7 id:b@1:17 id:c@2:1"},
    {"block comments do not nest", Lang::Pascal, "{ { } a }", "id:a@1:7 ch:}@1:9"},
    {"an unclosed block comment eats the rest", Lang::Pascal, "a { b c", "id:a@1:1"},
    {"(*) does not close itself", Lang::Pascal, "(*) a *) b", "id:b@1:10"},
    {"hex with $, real, exponent", Lang::Pascal, "$FF 1.5 2e3 7E-2", "num:$FF@1:1 num:1.5@1:5 num:2e3@1:9 num:7E-2@1:13"},
    {"1..5 is a number, two dots, a number", Lang::Pascal, "1..5", "num:1@1:1 ch:.@1:2 ch:.@1:3 num:5@1:4"},
    {"1e followed by a letter reads 1 and leaves the e", Lang::Pascal, "1ex", "num:1@1:1 id:ex@1:2"},
    {"doubled quote inside a Pascal string", Lang::Pascal, "'it''s'", "str:'it's'@1:1"},
    {"quoted and code pieces that touch are one literal", Lang::Pascal, "'a'#13#10'b'", "str:'aRNb'@1:1"},
    {"#$41 is a hex character code", Lang::Pascal, "#$41#66", "str:'AB'@1:1"},
    {"# without digits is a character", Lang::Pascal, "#x", "ch:#@1:1 id:x@1:2"},
    {"a string broken by a line end fails, the quote is a char", Lang::Pascal, "'ab\ncd'",
     "ch:'@1:1 id:ab@1:2 id:cd@2:1 ch:'@2:3"},
    {"all punctuation characters", Lang::Pascal, "!\"%&()*+,-./:<=>?@[\\]^`|~",
     "ch:!@1:1 ch:\"@1:2 ch:%@1:3 ch:&@1:4 ch:(@1:5 ch:)@1:6 ch:*@1:7 ch:+@1:8 ch:,@1:9 ch:-@1:10 "
     "ch:.@1:11 ch:/@1:12 ch::@1:13 ch:<@1:14 ch:=@1:15 ch:>@1:16 ch:?@1:17 ch:@@1:18 ch:[@1:19 "
     "ch:\\@1:20 ch:]@1:21 ch:^@1:22 ch:`@1:23 ch:|@1:24 ch:~@1:25"},
    {"a byte that starts no token is reported, not a stall", Lang::Pascal, "a\x7F" "b", "id:a@1:1 ?:\x7F@1:2 id:b@1:3"},
    {"CP1251 letters stand outside identifiers by default", Lang::Pascal, "\xD1\xF3\xEC\xEC\xE0",
     "?:\xD1@1:1 ?:\xF3@1:2 ?:\xEC@1:3 ?:\xEC@1:4 ?:\xE0@1:5"},

    {"C++: block and line comments, 0x hex", Lang::Cpp, "/* a */ x = 0x1F; // c\ny",
     "id:x@1:9 ch:=@1:11 num:$1F@1:13 ch:;@1:17 id:y@2:1"},
    {"C++: 0X1F is the number 0 and the identifier X1F", Lang::Cpp, "0X1F", "num:0@1:1 id:X1F@1:2"},
    {"C++: backslash escapes in double quotes", Lang::Cpp, "\"a\\n\\R\\x41\\\\\\\"b\"",
     "str:'aNRA\\\"b'@1:1"},
    {"C++: \\x without digits adds nothing", Lang::Cpp, "\"a\\xg\"", "str:'ag'@1:1"},
    {"C++: pieces separated by a blank are two literals", Lang::Cpp, "\"a\" \"b\"", "str:'a'@1:1 str:'b'@1:5"},
    {"C++: touching pieces are one literal", Lang::Cpp, "\"a\"\"b\"", "str:'ab'@1:1"},
    {"C++: the single quote is punctuation", Lang::Cpp, "'a'", "ch:'@1:1 id:a@1:2 ch:'@1:3"},
    {"C++: keyword IF in capitals", Lang::Cpp, "IF (a) return", "kw:IF@1:1 ch:(@1:4 id:a@1:5 ch:)@1:6 kw:return@1:8"},
    {"JScript: var and function are keywords", Lang::JScript, "var f = function", "kw:var@1:1 id:f@1:5 ch:=@1:7 kw:function@1:9"},
    {"JScript: hex in a character code", Lang::JScript, "#0x41", "str:'A'@1:1"},

    {"Basic: line ends are tokens, blank lines collapse", Lang::Basic, "a\r\n\r\nb",
     "id:a@1:1 eol:RNRN@1:2 id:b@3:1"},
    {"Basic: bare LF line ends are tokens too", Lang::Basic, "a\nb", "id:a@1:1 eol:N@1:2 id:b@2:1"},
    {"Basic: apostrophe comment ends at the line end", Lang::Basic, "a ' c\r\nb", "id:a@1:1 eol:RN@1:6 id:b@2:1"},
    {"Basic: rem is case-sensitive and a whole word", Lang::Basic, "remark\r\nREM x",
     "id:remark@1:1 eol:RN@1:7 kw:REM@2:1 id:x@2:5"},
    {"Basic: rem before text is a comment", Lang::Basic, "rem x\r\nb", "eol:RN@1:6 id:b@2:1"},
    {"Basic: rem right before the line end", Lang::Basic, "a rem\r\nb", "id:a@1:1 eol:RN@1:6 id:b@2:1"},
    {"Basic: rem before punctuation", Lang::Basic, "rem: x\nb", "eol:N@1:7 id:b@2:1"},
    {"Basic: rem starting a longer name", Lang::Basic, "rem_x = rem1", "id:rem_x@1:1 ch:=@1:7 id:rem1@1:9"},
    {"Basic: continuation joins lines", Lang::Basic, "a _\r\n b", "id:a@1:1 id:b@2:2"},
    {"Basic: an underscore starting a token is a continuation", Lang::Basic, "_x", "id:x@1:2"},
    {"Basic: slash-backslash block comment", Lang::Basic, "a /\\ x /\\ b", "id:a@1:1 id:b@1:11"},
};

} // namespace

TEST(Lexer, TokensInEachLanguage)
{
    for (const auto& c : kTokenCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Tokens(c.lang, c.text), c.expected);
    }
}

TEST(Lexer, EmptyText)
{
    TscParser p;
    p.SetText("");
    EXPECT_EQ(p.Size(), 0);
    EXPECT_EQ(p.YList(), std::vector<int>{0});
    EXPECT_EQ(p.GetWord(), "");
    EXPECT_EQ(p.GetNumber(), "");
    EXPECT_EQ(p.GetString(), "");
    EXPECT_EQ(p.GetChar(), "");
    EXPECT_FALSE(p.GetEOL());
    EXPECT_EQ(p.GetXYPosition(), "1:1");
}

TEST(Lexer, CommentMarkerAsLastCharacterIsNotAComment)
{
    TscParser p;
    p.SetText("a {");
    EXPECT_EQ(p.GetWord(), "a");
    p.SkipSpaces();
    EXPECT_EQ(p.GetChar(), "{");
}

TEST(Lexer, GetIdentRefusesKeywordsGetWordDoesNot)
{
    TscParser p;
    Configure(p, Lang::Pascal);
    p.SetText("begin");
    EXPECT_EQ(p.GetIdent(), "");
    p.SetPosition(1);
    EXPECT_EQ(p.GetWord(), "begin");
    EXPECT_TRUE(p.IsKeyWord("BEGIN"));
}

TEST(Lexer, FailedReadersLeaveThePosition)
{
    TscParser p;
    p.SetText("  x");
    EXPECT_EQ(p.GetNumber(), "");
    EXPECT_EQ(p.Position(), 3); // spaces skipped, token would start here
    EXPECT_EQ(p.GetString(), "");
    EXPECT_EQ(p.Position(), 3);
    p.SetText("'abc");
    EXPECT_EQ(p.GetString(), "");
    EXPECT_EQ(p.Position(), 1);
}

TEST(Lexer, StringPiecesBeforeABrokenOneStay)
{
    TscParser p;
    p.SetText("'a'#65'b\n'");
    EXPECT_EQ(p.GetString(), "'aA'");
    EXPECT_EQ(p.Position(), 7);
}

TEST(Lexer, ReportFieldReference)
{
    struct Case { const char* why; std::string text; std::string expected; int stop; };
    const Case cases[] = {
        {"plain field", "Data.\"Name\"> x", "Data.\"Name\"", 12},
        {"quoted > does not end it", "a '>' b>", "a '>' b", 8},
        {"double-quoted > does not end it", "a \">\" b>", "a \">\" b", 8},
        {"nested angle brackets are kept", "f(<x>)>", "f(<x>)", 7},
        {"a line end fails", "abc\ndef>", "", 1},
        {"end of text stops it", "abc", "abc", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscParser p;
        p.SetText(c.text);
        EXPECT_EQ(p.GetFRString(), c.expected);
        EXPECT_EQ(p.Position(), c.stop);
    }
}

TEST(Lexer, LineEndsWithSkipEOLOff)
{
    TscParser p;
    Configure(p, Lang::Basic);
    p.SetText("a\r\n\r\nb");
    EXPECT_EQ(p.GetWord(), "a");
    EXPECT_TRUE(p.GetEOL());
    EXPECT_FALSE(p.GetEOL());
    EXPECT_EQ(p.GetWord(), "b");
    TscParser q; // with line ends as white space GetEOL never sees one
    q.SetText("a\r\nb");
    EXPECT_EQ(q.GetWord(), "a");
    EXPECT_FALSE(q.GetEOL());
}

TEST(Lexer, PositionsBothWays)
{
    TscParser p;
    p.SetText("ab\ncde\n\nf");
    struct Case { int pos; const char* xy; };
    const Case cases[] = {{1, "1:1"}, {3, "1:3"}, {4, "2:1"}, {7, "2:4"}, {8, "3:1"}, {9, "4:1"}, {10, "4:2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pos);
        EXPECT_EQ(p.GetXYPosition(c.pos), c.xy);
    }
    EXPECT_EQ(p.GetPlainPosition(1, 1), 1);
    EXPECT_EQ(p.GetPlainPosition(3, 2), 6);
    EXPECT_EQ(p.GetPlainPosition(1, 4), 9);
    EXPECT_EQ(p.GetPlainPosition(1, 5), -1);
    EXPECT_EQ(p.GetPlainPosition(1, 0), -1);
    EXPECT_EQ(p.GetXYPosition(0), "1:1"); // before the text: no read before the list
    // Lines and columns read from a loaded program may be any number.
    EXPECT_EQ(p.GetPlainPosition(INT32_MAX, 2), -1);
    EXPECT_EQ(p.GetPlainPosition(1, INT32_MIN), -1);
    EXPECT_EQ(p.GetPlainPosition(1, INT32_MAX), -1);
}

TEST(Lexer, ExtendedCharsetTakesCp1251Letters)
{
    TscParser p;
    p.IncludeExtendedCharset();
    p.SetText("Сумма_1 := Ёлка");
    EXPECT_EQ(p.GetWord(), "Сумма_1");
    p.SkipSpaces();
    EXPECT_EQ(p.GetChar(), ":");
    EXPECT_EQ(p.GetChar(), "=");
    EXPECT_EQ(p.GetWord(), "Ёлка");
}

TEST(Lexer, KeywordLookupIgnoresCyrillicCase)
{
    TscParser p;
    p.IncludeExtendedCharset();
    p.AddKeyword("начало");
    EXPECT_TRUE(p.IsKeyWord("НАЧАЛО"));
    EXPECT_FALSE(p.IsKeyWord("начал"));
}

TEST(Lexer, ClearRestoresPascalDefaults)
{
    TscParser p;
    Configure(p, Lang::Basic);
    p.Clear();
    EXPECT_EQ(p.CommentBlock1Open, "{");
    EXPECT_EQ(p.CommentBlock2Close, "*)");
    EXPECT_EQ(p.CommentLine1, "//");
    EXPECT_EQ(p.CommentLine2, "");
    EXPECT_EQ(p.HexSequence, "$");
    EXPECT_EQ(p.StringQuotes, "'");
    EXPECT_TRUE(p.SkipEOL);
    EXPECT_TRUE(p.Keywords().empty());
}
