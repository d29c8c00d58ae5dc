// The compiler end to end: the IL it writes, syntax errors and their
// positions in each language, units, limits, and running: termination by the
// host, run-time errors with their line, recursion, host calls.
#include "script/tests/CompilerFixture.h"

#include "script/Grammars.h"
#include "script/TypeRules.h"

#include "platform/classes/Streams.h"

#include <algorithm>
#include <functional>
#include <map>

#include <pthread.h>

namespace {

class CompilerEndToEnd : public CompilerTest {
protected:
    // The IL of text as an element list: "name pos" per element, depth-first.
    AnsiString IlOf(const AnsiString& language, const AnsiString& text)
    {
        S->SyntaxType = language;
        S->Lines()->SetText(text);
        TStringStream stream;
        if (!S->GetILCode(stream))
            return "error " + S->ErrorPos + ": " + S->ErrorText;
        return stream.DataString();
    }
};

TEST_F(CompilerEndToEnd, IlOfTheWorkedExample)
{
    const AnsiString il = IlOf("PascalScript", "var i: Integer;\r\nbegin\r\n  i := 1 + 2;\r\n"
                                               "  if i > 2 then ShowMessage(<Name>)\r\nend.");
    struct Piece {
        const char* why;
        const char* text;
    };
    const Piece kPieces[] = {
        {"var starts at the first name", "<var pos=\"1:5\">"},
        {"leaves carry the position after their token", "<ident text=\"i\" pos=\"1:6\"/>"},
        {"type leaf", "<type text=\"Integer\" pos=\"1:15\"/>"},
        {"block", "<compoundstmt pos=\"2:1\">"},
        {"assignment", "<assignstmt pos=\"3:3\">"},
        {"expression with its end", "<expr pos=\"3:8\" pos1=\"3:13\">"},
        {"operator", "<op text=\"+\" pos=\"3:11\"/>"},
        {"comparison is escaped", "<op text=\"&#62;\" pos=\"4:9\"/>"},
        {"then branch", "<thenstmt pos=\"4:17\">"},
        {"a field reference calls Get", "<node text=\"Get\" pos=\"4:34\"/>"},
        {"with the name as a string", "<string text=\"'Name'\" pos=\"4:34\"/>"},
        {"the types come last", "<types/>"},
    };
    for (const Piece& p : kPieces) {
        SCOPED_TRACE(p.why);
        EXPECT_NE(il.find(p.text), AnsiString::npos) << il;
    }
}

struct SyntaxCase {
    const char* why;
    const char* language;
    const char* text;
    const char* error; // "L:C: text"; "" when it compiles
};

const SyntaxCase kSyntax[] = {
    {"keywords ignore case", "PascalScript", "BEGIN Print(1) End.", ""},
    {"IF works in C++Script", "C++Script", "{ IF (1 == 1) Print(1); }", ""},
    {"a var list ends quietly at a keyword", "PascalScript", "var a: Integer; begin end.", ""},
    {"var right before a keyword", "PascalScript", "var begin end.", "1:5: Identifier expected"},
    {"last case branch with semicolon", "PascalScript", "begin case 1 of 1: Print(1); end; end.", ""},
    {"last case branch without semicolon", "PascalScript", "begin case 1 of 1: Print(1) else Print(2) end; end.", ""},
    {"missing semicolon names the semicolon", "PascalScript", "var a, b: Integer; begin a := 1 b := 2 end.",
     "1:33: ';' expected"},
    {"text after the final dot is not read", "PascalScript", "begin end. garbage (((", ""},
    {"program without a name", "PascalScript", "program; begin end.", "1:8: Identifier expected"},
    {"stray comma in uses", "PascalScript", "uses 'a', ; begin end.", "1:11: Identifier expected"},
    {"a Basic line that is no statement", "BasicScript", "Print(1)\r\n)\r\n", "2:1: End of line expected"},
    {"a JScript statement that is none", "JScript", "Print(1); ) Print(2);", "1:11: Statement expected"},
    {"an empty Basic text compiles to nothing", "BasicScript", "", ""},
    {"unclosed bracket", "PascalScript", "begin Print((1 + 2); end.", "1:20: ')' expected"},
    {"broken field reference", "PascalScript", "begin Print(<Name\r\n); end.", "1:13: ')' expected"},
    {"C++ block must be closed", "C++Script", "{ Print(1);", "2:1: '}' expected"},
    {"JScript while needs its bracket", "JScript", "while i < 3) i++;", "1:7: '(' expected"},
    {"Basic For needs To", "BasicScript", "For i = 1 3\r\nNext\r\n", "1:11: 'TO' expected"},
    {"identifier ranges in sets", "PascalScript", "var a, b: Integer; begin Print(2 in [a..b]); end.", ""},
    {"a first Basic line that is no statement", "BasicScript", "Next\r\nPrint(1)\r\n", "1:1: End of line expected"},
    {"a first Basic line that is a bracket", "BasicScript", ")\r\nPrint(1)\r\n", "1:1: End of line expected"},
    {"a first Basic line assigning to REM", "BasicScript", "REM = 4\r\nPrint(1)\r\n", "1:1: End of line expected"},
    {"an empty Basic With on the first line", "BasicScript", "With Foo\r\nEnd With\r\nPrint(1)\r\n",
     "1:1: End of line expected"},
    {"Basic blank lines before a bad line", "BasicScript", "\r\n  \r\n  Next\r\nPrint(1)\r\n",
     "3:3: End of line expected"},
    {"a member step without a name before a bracket", "PascalScript", "var s: String; begin Print(s.); end.",
     "1:30: Identifier expected"},
    {"a member step without a name before :=", "PascalScript", "var s: String; begin s. := 1; end.",
     "1:25: Identifier expected"},
    {"empty statements in a block", "PascalScript", "begin ; end.", ""},
    {"an empty statement between two", "PascalScript", "begin Print('a');; Print('b'); end.", ""},
    {"empty statements after repeat and try", "PascalScript",
     "begin repeat ; until True; try ; finally ; end; try ; except ; end; end.", ""},
    {"an empty statement still needs its separator", "PascalScript", "begin Print(1) Print(2) end.",
     "1:16: ';' expected"},
    {"a one-line Basic If has no Else", "BasicScript", "If 1 = 1 Then Print(1) Else Print(2)\r\n",
     "1:24: End of line expected"},
    {"nor an ElseIf", "BasicScript", "If 1 = 1 Then Print(1) ElseIf 2 = 2 Then Print(2)\r\n",
     "1:24: End of line expected"},
    {"a one-line Basic If holding one", "BasicScript", "If 1 = 1 Then If 2 = 2 Then Print(1) : Print(2)\r\n", ""},
};

TEST_F(CompilerEndToEnd, SyntaxErrorsSayWhatAndWhere)
{
    for (const SyntaxCase& c : kSyntax) {
        SCOPED_TRACE(c.why);
        const bool ok = Compile(c.language, c.text);
        EXPECT_EQ(ok, *c.error == 0);
        if (!ok) {
            EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, c.error);
        }
    }
}

TEST_F(CompilerEndToEnd, RawTextEdgesOfBasic)
{
    // Lines always end their text with a line end; the raw text need not.
    TscILParser parser(S.get());
    parser.SelectLanguage("BasicScript");
    EXPECT_FALSE(parser.MakeILScript("Print(1)"));
    EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, "1:9: End of line expected");
    EXPECT_FALSE(parser.MakeILScript(""));
    EXPECT_EQ(S->ErrorText, ""); // nothing built, nothing wrong
    EXPECT_TRUE(parser.MakeILScript("\r\n"));
    EXPECT_EQ(parser.ILScript->Root()->Items(0)->Name, "compoundstmt");
}

TEST_F(CompilerEndToEnd, BasicRemCommentsOutOnlyTheWordRem)
{
    // Names that begin with rem are statements; rem itself comments out the rest of its line.
    const struct {
        const char* text;
        std::vector<AnsiString> run;
    } kCases[] = {
        {"remaining = 5\r\nPrint(remaining)\r\n", {"5"}},
        {"x = 10\r\nremainder = x Mod 3\r\nPrint(remainder)\r\n", {"1"}},
        {"Dim reminder\r\nreminder = \"a\"\r\nPrint(reminder)\r\n", {"a"}},
        {"rem a note\r\nPrint(1)\r\n", {"1"}},
        {"Print(2) rem a note\r\n", {"2"}},
        {"rem\r\nPrint(3)\r\n", {"3"}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Run("BasicScript", c.text), c.run) << c.text;
}

TEST_F(CompilerEndToEnd, LanguageLineChoosesTheGrammar)
{
    EXPECT_EQ(Run("PascalScript", "#language BasicScript\r\nPrint(1 & 2)\r\n"), std::vector<AnsiString>{"3"});
    EXPECT_EQ(Run("PascalScript", "#language JScript\nPrint(5);\n"), std::vector<AnsiString>{"5"});
    // With blanks before it the line is left to the grammar.
    EXPECT_FALSE(Compile("PascalScript", " #language BasicScript\r\nPrint(1)\r\n"));
    EXPECT_EQ(ScriptErrorOf([&] { Compile("PascalScript", "#language Klingon\r\nbegin end."); }),
              TscMessageId::SLangNotFound);
}

TEST_F(CompilerEndToEnd, LanguageLineIsTheWholeWord)
{
    // Only the word language itself makes a language line; a longer word is
    // left to the grammar of the script's own language.
    const struct {
        const char* text;
        std::vector<AnsiString> run;
    } kCases[] = {
        {"#languages\r\nbegin end.", {"compile error"}},
        {"#languageJScript\r\nPrint(5);\r\n", {"compile error"}},
        {"#language_x JScript\r\nPrint(5);\r\n", {"compile error"}},
        {"#language\tJScript\r\nPrint(5);\r\n", {"5"}},
        {"# LANGUAGE   BasicScript \r\nPrint(2 & 3)\r\n", {"5"}},
    };
    for (const auto& c : kCases) {
        std::vector<AnsiString> got;
        EXPECT_NO_THROW(got = Run("PascalScript", c.text)) << c.text;
        if (!got.empty() && got[0].rfind("compile error", 0) == 0)
            got = {"compile error"};
        EXPECT_EQ(got, c.run) << c.text;
    }
}

TEST_F(CompilerEndToEnd, EveryCutOfAProgramCompilesOrSaysWhatAndWhere)
{
    // A script saved half-written: whatever the cut, the compiler answers with
    // a compiled program or a message and a place inside the text.
    const struct {
        const char* language;
        const char* text;
    } kPrograms[] = {
        {"PascalScript", "uses 'u';\r\nconst C = 5;\r\nvar i: Integer; s: String; a: array[1..3] of Integer;\r\n"
                         "function F(x: Integer; var y: String): Integer;\r\nbegin\r\n  Result := x * 2; y := 'it''s' + #13#10;\r\n"
                         "end;\r\n{ block } (* block *)\r\nbegin\r\n  // line\r\n  for i := 1 to 3 do a[i] := i;\r\n"
                         "  case F($1F, s) of 1..3: Print(1.5e2); 4: Print(2) else Print(3) end;\r\n"
                         "  try i := 0; except Print('e') end;\r\n  repeat i := i - 1 until i = 0;\r\n  Print(<Name>);\r\nend."},
        {"C++Script", "#include \"u\"\r\nint i; string s;\r\nint F(int x) { return x * 2; }\r\n/* block */\r\n{\r\n"
                      "  // line\r\n  for (i = 0; i < 3; i++) { Print(F(0x1F) + 1.5e2); }\r\n  s = \"a\\\"b\\n\" + \"c\";\r\n"
                      "  switch (i) { case 1: { Print(1); break; } default: Print(2); }\r\n"
                      "  do { i--; } while (i > 0);\r\n  Print(<Name>);\r\n}"},
        {"JScript", "import \"u\";\r\nvar i, s;\r\nfunction F(x) { return x * 2; }\r\n/* block */\r\n// line\r\n"
                    "for (i = 0; i < 3; i++) { Print(F(0x1F) + 1.5e2); }\r\ns = \"a\\\"b\" + \"c\";\r\n"
                    "while (i < 3) { i++; if (i == 2) continue; }\r\nPrint(<Name>);\r\n"},
        {"BasicScript", "Imports \"u\"\r\nDim i, s\r\nFunction F(x)\r\n  Return x * 2\r\nEnd Function\r\n' line\r\n"
                        "rem line\r\nFor i = 1 To 3 Step 1\r\n  Print(F(0x1F) + 1.5e2)\r\nNext\r\ns = \"a\" & _\r\n  \"c\"\r\n"
                        "Select Case i\r\n  Case 1:\r\n    Print(1)\r\n  Case Else:\r\n    Print(2)\r\nEnd Select\r\n"
                        "If i = 2 Then\r\n  Print(i)\r\nElse\r\n  Print(0)\r\nEnd If\r\nPrint(<Name>)\r\n"},
    };
    S->OnGetUnit = [](TscScript*, const AnsiString&, AnsiString& text) { text.clear(); };
    for (const auto& p : kPrograms) {
        const AnsiString full = p.text;
        ASSERT_TRUE(Compile(p.language, full)) << p.language << ": " << S->ErrorPos << ": " << S->ErrorText;
        for (size_t n = 0; n < full.size(); ++n) {
            const AnsiString cut = full.substr(0, n);
            SCOPED_TRACE(AnsiString(p.language) + " cut at " + IntToStr(static_cast<int>(n)));
            bool ok = false;
            ASSERT_NO_THROW(ok = Compile(p.language, cut));
            if (ok)
                continue;
            ASSERT_FALSE(S->ErrorText.empty());
            // Lines adds a line end after the last line: the text has one line more.
            const int lines = static_cast<int>(std::count(cut.begin(), cut.end(), '\n')) + 2;
            const TscPoint at = scPosToPoint(S->ErrorPos);
            EXPECT_TRUE(at.Y >= 1 && at.Y <= lines && at.X >= 1) << S->ErrorPos;
        }
    }
}

TEST_F(CompilerEndToEnd, UnitNamesAreEscapedInTheIl)
{
    // A unit name holding a quote or an angle bracket: the IL stays readable
    // and an error in the unit names it whole.
    for (const char* name : {"a\"b.pas", "x<y>.pas", "it's.pas"}) {
        const AnsiString unitName = name;
        S->OnGetUnit = [&](TscScript*, const AnsiString& asked, AnsiString& text) {
            text = asked == unitName ? "function Twice(x: Integer): Integer; begin Result := x * 2; end; begin end."
                                     : "";
        };
        AnsiString quoted;
        for (char ch : unitName)
            quoted += ch == '\'' ? AnsiString("''") : AnsiString(1, ch);
        const AnsiString text = "uses '" + quoted + "'; begin Print(Twice(21)); end.";
        const AnsiString il = IlOf("PascalScript", text);
        ASSERT_EQ(il.rfind("error", 0), AnsiString::npos) << il;
        S->Clear();
        RegisterHost(*S);
        TStringStream stream(il);
        ASSERT_TRUE(S->SetILCode(stream)) << name << ": " << S->ErrorText;
        S->Execute();
        EXPECT_EQ(Output, std::vector<AnsiString>{"42"}) << name;
        Output.clear();

        S->OnGetUnit = [](TscScript*, const AnsiString&, AnsiString& t) { t = "begin\r\n  Undeclared := 1;\r\nend."; };
        S->Clear();
        RegisterHost(*S);
        S->Lines()->SetText(text);
        EXPECT_FALSE(S->Compile());
        EXPECT_EQ(S->ErrorUnit, unitName);
    }
}

TEST_F(CompilerEndToEnd, UnknownLanguageAndBrokenGrammarRaise)
{
    S->SyntaxType = "Klingon";
    EXPECT_EQ(ScriptErrorOf([&] { S->Compile(); }), TscMessageId::SLangNotFound);
    scRegisterLanguage("Broken", "<?xml version=\"1.0\"?><language><parser/><program><nothing/></program></language>");
    S->SyntaxType = "Broken";
    EXPECT_EQ(ScriptErrorOf([&] { S->Compile(); }), TscMessageId::SInvalidLanguage);
}

TEST_F(CompilerEndToEnd, NestingAndSizeLimitsEndInCleanErrors)
{
    const AnsiString deep = "begin Print(" + AnsiString(5000, '(') + "1" + AnsiString(5000, ')') + "); end.";
    EXPECT_FALSE(Compile("PascalScript", deep));
    EXPECT_EQ(S->ErrorText, scMessage(TscMessageId::SNestingTooDeep));
    AnsiString blocks = "begin ";
    for (int i = 0; i < 3000; ++i)
        blocks += "begin ";
    for (int i = 0; i < 3000; ++i)
        blocks += "end; ";
    EXPECT_FALSE(Compile("PascalScript", blocks + "end."));
    EXPECT_EQ(S->ErrorText, scMessage(TscMessageId::SNestingTooDeep));
    // Moderate depth is fine.
    EXPECT_EQ(Run("PascalScript", "begin Print(" + AnsiString(100, '(') + "7" + AnsiString(100, ')') + "); end."),
              std::vector<AnsiString>{"7"});
}

// A chain of n else-ifs mapping x to 2x, in the syntax given.
AnsiString ElseIfChain(const AnsiString& language, int n, int x)
{
    const AnsiString nl = "\r\n";
    AnsiString s;
    auto num = [](int i) { return std::to_string(i); };
    if (language == "PascalScript") {
        s = "var x, r: Integer;" + nl + "begin" + nl + "  x := " + num(x) + ";" + nl + "  if x = 0 then r := 0" + nl;
        for (int i = 1; i < n; ++i)
            s += "  else if x = " + num(i) + " then r := " + num(2 * i) + nl;
        s += "  else r := -1;" + nl + "  Print(r);" + nl + "end.";
    } else if (language == "C++Script" || language == "JScript") {
        s = (language == "JScript" ? "var x, r;" + nl : "int x, r;" + nl + "{" + nl);
        s += "x = " + num(x) + ";" + nl + "if (x == 0) r = 0;" + nl;
        for (int i = 1; i < n; ++i)
            s += "else if (x == " + num(i) + ") r = " + num(2 * i) + ";" + nl;
        s += "else r = -1;" + nl + "Print(r);" + nl + (language == "JScript" ? "" : "}");
    } else {
        s = "Dim x, r" + nl + "x = " + num(x) + nl + "If x = 0 Then" + nl + "  r = 0" + nl;
        for (int i = 1; i < n; ++i)
            s += "ElseIf x = " + num(i) + " Then" + nl + "  r = " + num(2 * i) + nl;
        s += "Else" + nl + "  r = -1" + nl + "End If" + nl + "Print(r)" + nl;
    }
    return s;
}

TEST_F(CompilerEndToEnd, LongElseIfChainsCompileAndRun)
{
    // A mapping of a few thousand codes is an ordinary script: a chain of
    // else-ifs is a list of branches, not a nesting.
    for (const char* language : {"PascalScript", "C++Script", "JScript", "BasicScript"}) {
        for (const auto& [x, r] : {std::pair{0, "0"}, {1, "2"}, {2500, "5000"}, {4999, "9998"}, {5000, "-1"}}) {
            EXPECT_EQ(Run(language, ElseIfChain(language, 5000, x)), std::vector<AnsiString>{r})
                << language << " x = " << x;
        }
        // Its IL loads back and runs the same.
        const AnsiString il = IlOf(language, ElseIfChain(language, 5000, 4321));
        ASSERT_EQ(il.rfind("error", 0), AnsiString::npos) << language << ": " << il.substr(0, 200);
        S->Clear();
        RegisterHost(*S);
        Output.clear();
        TStringStream stream(il);
        ASSERT_TRUE(S->SetILCode(stream)) << language << ": " << S->ErrorText;
        S->Execute();
        EXPECT_EQ(Output, std::vector<AnsiString>{"8642"}) << language;
    }
}

// Runs f on a thread with a small stack (256 KB), as a host's own thread may have.
void OnSmallStack(std::function<void()> f)
{
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* p) -> void* {
                      (*static_cast<std::function<void()>*>(p))();
                      return nullptr;
                  },
                  &f),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

TEST_F(CompilerEndToEnd, ALongElseIfChainIsFreedOnAnyStack)
{
    // The objects of an else-if chain nest one if in the else part of the one
    // before; freeing them must not need a stack as deep as the chain is long.
    for (const char* language : {"PascalScript", "C++Script", "JScript", "BasicScript"}) {
        EXPECT_EQ(Run(language, ElseIfChain(language, 20000, 19999)), std::vector<AnsiString>{"39998"}) << language;
        OnSmallStack([&] { S->Clear(); });
        EXPECT_EQ(S->MainStatement()->Count(), 0) << language;
    }
}

TEST_F(CompilerEndToEnd, ElseIfKeepsWhichIfAnElseBelongsTo)
{
    const struct {
        const char* language;
        const char* text;
        std::vector<AnsiString> out;
    } kCases[] = {
        // The else after a nested if belongs to the nearest if.
        {"PascalScript", "var a, b: Integer; begin a := 2; b := 1; if a = 1 then Print('one') else if a = 2 then "
                         "if b = 2 then Print('two-two') else Print('two-other') else Print('never'); end.",
         {"two-other"}},
        {"C++Script", "int a = 3; { if (a == 1) Print(\"one\"); else if (a == 2) Print(\"two\"); "
                      "else { if (a == 3) Print(\"three\"); } }",
         {"three"}},
        {"JScript", "var a = 2; if (a == 1) Print(\"one\"); else if (a == 2) { Print(\"two\"); } else Print(\"other\");",
         {"two"}},
        {"BasicScript", "a = 5\r\nIf a = 1 Then\r\nPrint(\"one\")\r\nElseIf a = 2 Then\r\nPrint(\"two\")\r\n"
                        "Else\r\nPrint(\"other\")\r\nEnd If\r\n",
         {"other"}},
        // An else followed by a block, not by if, is the last branch.
        {"PascalScript", "var a: Integer; begin a := 7; if a = 1 then Print('one') else begin if a = 7 then Print('seven') "
                         "end; end.",
         {"seven"}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Run(c.language, c.text), c.out) << c.text;
}

TEST_F(CompilerEndToEnd, RunTimeErrorsInALaterElseIfPointAtItsIf)
{
    // A failing condition of a later link is reported where that link's if
    // stands, not at the else before it.
    const struct {
        const char* language;
        const char* text;
        const char* pos;
    } kCases[] = {
        {"PascalScript", "var a: array[0..2] of Integer; i: Integer;\r\nbegin\r\n  i := 3;\r\n  if i = 1 then Print(1)\r\n"
                         "  else if i = 2 then Print(2)\r\n  else  if a[i] = 0 then Print(3);\r\nend.",
         "6:9"},
        {"PascalScript", "var a: array[0..2] of Integer; i: Integer;\r\nbegin\r\n  i := 3;\r\n  if i = 1 then Print(1)\r\n"
                         "  else if i = 2 then Print(2)\r\n  else  Print(a[i]);\r\nend.",
         "6:9"},
        {"C++Script", "int a[3]; int i = 3;\r\n{\r\n  if (i == 1) Print(1);\r\n  else if (a[i] == 0) Print(2);\r\n}",
         "4:8"},
        {"JScript", "var a[3]; var i = 3;\r\nif (i == 1) Print(1);\r\nelse if (i == 2) Print(2);\r\nelse   if (a[i] == 0) Print(3);",
         "4:8"},
        {"BasicScript", "Dim a[3]\r\ni = 3\r\nIf i = 1 Then\r\n  Print(1)\r\n  ElseIf a[i] = 0 Then\r\n  Print(2)\r\nEnd If\r\n",
         "5:3"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(Compile(c.language, c.text)) << S->ErrorText;
        AnsiString pos;
        try {
            S->Execute();
        } catch (const EScriptRunError& e) {
            pos = e.SourcePos();
        }
        EXPECT_EQ(pos, c.pos);
        EXPECT_EQ(S->RunErrorPos, c.pos);
    }
}

TEST_F(CompilerEndToEnd, UnaryMinusAndStringLiteralsFollowEachGrammar)
{
    // A leading minus belongs to a simple expression: at the start, after "(" and
    // after a comparison; after + - * / and not it is refused. Double-quoted
    // literals take backslash escapes and join touching pieces; Pascal's doubled
    // quote is a quote.
    const struct {
        const char* language;
        const char* expr;
        const char* out; // or "compile error L:C: text"
    } kCases[] = {
        {"PascalScript", "-2 * 3", "-6"},
        {"PascalScript", "2 * (-3)", "-6"},
        {"PascalScript", "1 < -1", "False"},
        {"PascalScript", "-2 = -2", "True"},
        {"PascalScript", "2 * -3", "compile error 1:15: ')' expected"},
        {"PascalScript", "2 - -3", "compile error 1:15: ')' expected"},
        {"PascalScript", "not -1", "compile error 1:17: Expression expected"},
        {"PascalScript", "'it''s'", "it's"},
        {"PascalScript", "'a'#66'c'", "aBc"},
        {"PascalScript", "'a\\n'", "a\\n"},
        {"C++Script", "-2 * 3", "-6"},
        {"C++Script", "-2 == -2", "True"},
        {"C++Script", "2 * -3", "compile error 1:11: ')' expected"},
        {"C++Script", "\"a\\\"b\\x41\\q\"", "a\"bAq"},
        {"C++Script", "\"a\"\"b\"", "ab"},
        {"JScript", "5 + (-3)", "2"},
        {"JScript", "5 + -3", "compile error 1:9: ')' expected"},
        {"JScript", "\"x\\\\y\"", "x\\y"},
        {"BasicScript", "-5 \\ 2", "-2"},
        {"BasicScript", "1 = -1", "False"},
        {"BasicScript", "2 * -3", "compile error 1:9: ')' expected"},
        {"BasicScript", "\"say \"\"hi\"\"\"", "say hi"},
        {"BasicScript", "\"say \\\"hi\\\"\"", "say \"hi\""},
    };
    for (const auto& c : kCases) {
        const AnsiString lang = c.language;
        AnsiString text;
        if (lang == "PascalScript")
            text = AnsiString("begin Print(") + c.expr + "); end.";
        else if (lang == "C++Script")
            text = AnsiString("{ Print(") + c.expr + "); }";
        else if (lang == "JScript")
            text = AnsiString("Print(") + c.expr + ");";
        else
            text = AnsiString("Print(") + c.expr + ")\r\n";
        EXPECT_EQ(Run(c.language, text), std::vector<AnsiString>{c.out}) << c.language << ": " << c.expr;
    }
}

TEST_F(CompilerEndToEnd, UnitsAreCompiledOnceAndSplicedIn)
{
    int asked = 0;
    S->OnGetUnit = [&](TscScript*, const AnsiString& name, AnsiString& text) {
        ++asked;
        if (AnsiSameText(name, "lib.pas"))
            text = "function Twice(x: Integer): Integer; begin Result := x * 2; end; begin Print('lib'); end.";
        else
            text = "begin x := ; end.";
    };
    S->SyntaxType = "PascalScript";
    S->Lines()->SetText("uses 'lib.pas', 'LIB.PAS'; begin Print(Twice(21)); end.");
    ASSERT_TRUE(S->Compile()) << S->ErrorText;
    EXPECT_EQ(asked, 1);
    S->Execute();
    EXPECT_EQ(Output, (std::vector<AnsiString>{"lib", "42"}));

    S->Lines()->SetText("uses 'bad.pas'; begin end.");
    S->Clear();
    RegisterHost(*S);
    EXPECT_FALSE(S->Compile());
    EXPECT_EQ(S->ErrorUnit, "bad.pas");
    EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, "1:12: Expression expected");

    // An error found while building a unit's program names the unit too.
    S->OnGetUnit = [](TscScript*, const AnsiString&, AnsiString& text) { text = "begin\r\n  Undeclared := 1;\r\nend."; };
    S->Lines()->SetText("uses 'build.pas';\r\nbegin\r\nend.");
    S->Clear();
    RegisterHost(*S);
    EXPECT_FALSE(S->Compile());
    EXPECT_EQ(S->ErrorUnit, "build.pas");
    EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, "2:13: Неопределенный идентификатор: 'Undeclared'");
}

TEST_F(CompilerEndToEnd, ASyntaxErrorInAUnitNamesTheUnitItLiesIn)
{
    // The host opens ErrorUnit at ErrorPos: for a unit used by a unit that is
    // the deeper one, however many units lie between it and the main text.
    struct Syntax {
        const char* language;
        const char* usesOpen; // a uses clause: open, names in quotes with commas, close
        char quote;
        const char* usesClose;
        const char* body;
        const char* broken; // line 2 holds the error
        const char* error;
    };
    const Syntax kSyntaxes[] = {
        {"PascalScript", "uses ", '\'', ";\r\n", "begin end.", "begin\r\n  x y\r\nend.", "2:5: ';' expected"},
        {"C++Script", "#include ", '"', "\r\n", "{ }", "{\r\n  ) \r\n}", "2:3: '}' expected"},
        {"JScript", "import ", '"', ";\r\n", "", "Print(1);\r\n)\r\n", "2:1: Statement expected"},
        {"BasicScript", "Imports ", '"', "\r\n", "", "Print(1)\r\n)\r\n", "2:1: End of line expected"},
    };
    struct Chain {
        const char* why;
        std::vector<const char*> mainUses;
        std::map<AnsiString, std::vector<const char*>> unitUses; // the broken unit is "bad"
        const char* unit;
    };
    const Chain kChains[] = {
        {"the unit itself", {"bad"}, {}, "bad"},
        {"one unit between", {"a"}, {{"a", {"bad"}}}, "bad"},
        {"two units between", {"a"}, {{"a", {"b"}}, {"b", {"bad"}}}, "bad"},
        {"beside a sound unit", {"a"}, {{"a", {"bad", "good"}}}, "bad"},
    };
    for (const Syntax& s : kSyntaxes) {
        auto usesOf = [&](const std::vector<const char*>& names) {
            AnsiString text;
            for (const char* n : names)
                text += (text.empty() ? AnsiString() : AnsiString(", ")) + s.quote + n + s.quote;
            return text.empty() ? text : s.usesOpen + text + s.usesClose;
        };
        for (const Chain& c : kChains) {
            SCOPED_TRACE(AnsiString(s.language) + ": " + c.why);
            S->OnGetUnit = [&](TscScript*, const AnsiString& name, AnsiString& text) {
                const auto it = c.unitUses.find(name);
                text = name == "bad" ? AnsiString(s.broken)
                                     : usesOf(it == c.unitUses.end() ? std::vector<const char*>{} : it->second) + s.body;
            };
            EXPECT_FALSE(Compile(s.language, usesOf(c.mainUses) + s.body));
            EXPECT_EQ(S->ErrorUnit, c.unit);
            EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, s.error);
        }
    }
}

TEST_F(CompilerEndToEnd, UnitsInDiamondsAndCyclesRunOnceInTheOrderTheyAreSpliced)
{
    // A clause is compiled from its last name back, each unit's block after the
    // one before; a unit met again anywhere in the program (under any case) is
    // not spliced again. Each unit prints its name, so the order and the count show.
    struct Syntax {
        const char* language;
        const char* usesOpen;
        const char* usesClose;
        const char* print; // %s: the name
    };
    const Syntax kSyntaxes[] = {
        {"PascalScript", "uses ", ";\r\n", "begin Print('%s'); end."},
        {"C++Script", "#include ", "\r\n", "{ Print(\"%s\"); }"},
        {"JScript", "import ", ";\r\n", "Print(\"%s\");\r\n"},
        {"BasicScript", "Imports ", "\r\n", "Print(\"%s\")\r\n"},
    };
    struct Graph {
        const char* why;
        std::vector<const char*> mainUses;
        std::map<AnsiString, std::vector<const char*>> unitUses;
        std::vector<AnsiString> run;
    };
    const Graph kGraphs[] = {
        {"a diamond: c once, before both", {"a", "b"}, {{"a", {"c"}}, {"b", {"c"}}}, {"c", "b", "a", "main"}},
        {"the diamond's foot named by the main text too", {"a", "b", "C"}, {{"a", {"c"}}, {"b", {"c"}}},
         {"C", "b", "a", "main"}},
        {"a unit named twice, in two cases", {"a", "A", "b"}, {}, {"b", "A", "main"}},
        {"a cycle of two", {"x"}, {{"x", {"y"}}, {"y", {"x"}}}, {"y", "x", "main"}},
        {"a cycle entered from both ends", {"x", "y"}, {{"x", {"y"}}, {"y", {"x"}}}, {"x", "y", "main"}},
        {"a unit that uses itself", {"s"}, {{"s", {"s"}}}, {"s", "main"}},
        {"a chain whose end the main text names first", {"c", "a"}, {{"a", {"b"}}, {"b", {"c"}}},
         {"c", "b", "a", "main"}},
    };
    for (const Syntax& s : kSyntaxes) {
        auto usesOf = [&](const std::vector<const char*>& names) {
            AnsiString text;
            for (const char* n : names)
                text += (text.empty() ? AnsiString() : AnsiString(", ")) + "\"" + n + "\"";
            if (AnsiString(s.language) == "PascalScript")
                std::replace(text.begin(), text.end(), '"', '\'');
            return text.empty() ? text : s.usesOpen + text + s.usesClose;
        };
        auto printOf = [&](const AnsiString& name) { return Format(s.print, {name}); };
        for (const Graph& g : kGraphs) {
            SCOPED_TRACE(AnsiString(s.language) + ": " + g.why);
            S->OnGetUnit = [&](TscScript*, const AnsiString& name, AnsiString& text) {
                const auto it = g.unitUses.find(AnsiLowerCase(name));
                text = usesOf(it == g.unitUses.end() ? std::vector<const char*>{} : it->second) + printOf(name);
            };
            EXPECT_EQ(Run(s.language, usesOf(g.mainUses) + printOf("main")), g.run);
        }
    }
}

TEST_F(CompilerEndToEnd, ALongChainOfUnitsRunsInOrderAndEachSeesTheNamesOfTheNext)
{
    // u0 uses u1 uses ... u39: the last runs first, and each unit reads the variable
    // the unit it uses declared and set, so the names resolve across the whole chain.
    constexpr int kUnits = 40;
    struct Syntax {
        const char* language;
        const char* uses;   // %s: the unit's name, quoted for the syntax
        const char* quote;
        const char* unit;   // %s: the unit's own name; %s: the value it sets
    };
    const Syntax kSyntaxes[] = {
        {"PascalScript", "uses %s;\r\n", "'",
         "var v%s: Integer;\r\nbegin\r\n  v%s := %s;\r\n  Print('u%s=' + IntToStr(v%s));\r\nend."},
        {"C++Script", "#include %s\r\n", "\"",
         "int v%s;\r\n{\r\n  v%s = %s;\r\n  Print(\"u%s=\" + IntToStr(v%s));\r\n}"},
        {"JScript", "import %s;\r\n", "\"", "var v%s;\r\nv%s = %s;\r\nPrint(\"u%s=\" + IntToStr(v%s));\r\n"},
        {"BasicScript", "Imports %s\r\n", "\"", "Dim v%s\r\nv%s = %s\r\nPrint(\"u%s=\" + IntToStr(v%s))\r\n"},
    };
    struct Chain {
        const char* why;
        std::vector<int> mainUses;
        bool closed; // the last unit uses the first again
    };
    const Chain kChains[] = {
        {"a chain named at its head", {0}, false},
        {"a chain named at its head and in its middle", {0, kUnits / 2}, false},
        {"a chain closed into a cycle", {0}, true},
    };
    // Whichever way it is entered, the chain runs from its end back to its head.
    std::vector<AnsiString> expected;
    for (int k = kUnits - 1; k >= 0; --k)
        expected.push_back("u" + IntToStr(k) + "=" + IntToStr(kUnits - k));
    expected.push_back("umain=" + IntToStr(kUnits));
    for (const Syntax& s : kSyntaxes) {
        auto usesOf = [&](const std::vector<int>& units) {
            AnsiString names;
            for (int u : units)
                names += (names.empty() ? AnsiString() : AnsiString(", ")) + s.quote + "u" + IntToStr(u) + s.quote;
            return names.empty() ? names : Format(s.uses, {names});
        };
        for (const Chain& c : kChains) {
            SCOPED_TRACE(AnsiString(s.language) + ": " + c.why);
            S->OnGetUnit = [&](TscScript*, const AnsiString& name, AnsiString& text) {
                const int k = StrToInt(name.substr(1));
                std::vector<int> uses;
                if (k + 1 < kUnits)
                    uses.push_back(k + 1);
                else if (c.closed)
                    uses.push_back(0);
                const AnsiString n = IntToStr(k);
                const AnsiString value = k + 1 < kUnits ? "v" + IntToStr(k + 1) + " + 1" : AnsiString("1");
                text = usesOf(uses) + Format(s.unit, {n, n, value, n, n});
            };
            const AnsiString main = usesOf(c.mainUses) + Format(s.unit, {AnsiString("main"), AnsiString("main"),
                                                                        AnsiString("v0"), AnsiString("main"),
                                                                        AnsiString("main")});
            EXPECT_EQ(Run(s.language, main), expected);
        }
    }
}

TEST_F(CompilerEndToEnd, AWithNameGoesToTheInnermostObjectThatHasIt)
{
    // Objects of one with list are looked at from the last back, nested withs
    // from the inner out; an object of Variant type stops the search, taking a
    // name the script does not know. t is a second TTestThing with Caption "t".
    const struct {
        const char* why;
        const char* language;
        const char* text;
        std::vector<AnsiString> run;
    } kCases[] = {
        {"the last object of a list", "PascalScript", "with Thing, t do Print(Caption);", {"t"}},
        {"the last of a run of one type", "PascalScript", "with t, Thing, t, Thing do Print(Caption);", {"host"}},
        {"a run over the same object", "PascalScript", "with t, t, t do Print(Caption + IntToStr(Count));", {"t0"}},
        {"the inner with before the outer", "PascalScript", "with Thing do with t do Print(Caption);", {"t"}},
        {"an object's member before a local", "PascalScript", "with t do Print(Caption); Print(Caption);",
         {"t", "local"}},
        {"a Variant object leaves a known name to the script", "PascalScript",
         "with Thing, v do Print(Caption);", {"local"}},
        {"a Variant object takes an unknown name", "PascalScript", "with Thing, v do Print(Tag + 1);", {"1"}},
        {"an object after a Variant one", "PascalScript", "with v, Thing do Print(Caption);", {"host"}},
        {"an object of another class passes the name on", "PascalScript", "with t, o, o do Print(Caption);", {"t"}},
        {"a name no object has goes to the script", "PascalScript", "with t, Thing do Print(Length(Caption));",
         {"4"}},
        {"JScript: the inner with", "JScript", "with (Thing) with (t) Print(Caption);", {"t"}},
        {"BasicScript: the inner with", "BasicScript", "With Thing\r\nWith t\r\nPrint(Caption)\r\nEnd With\r\nEnd With",
         {"t"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        AnsiString text;
        if (AnsiString(c.language) == "PascalScript")
            text = AnsiString("var t: TTestThing; o: TObject; v: Variant; Caption: String;\r\nbegin\r\n"
                              "t := TTestThing.Create(nil); t.Caption := 't'; o := t; v := t; Caption := 'local';\r\n") +
                   c.text + "\r\nt.Free;\r\nend.";
        else if (AnsiString(c.language) == "JScript")
            text = AnsiString("var t = TTestThing.Create(nil); t.Caption = \"t\";\r\n") + c.text + "\r\nt.Free();\r\n";
        else
            text = AnsiString("Dim t\r\nt = TTestThing.Create(nil)\r\nt.Caption = \"t\"\r\n") + c.text + "\r\nt.Free\r\n";
        EXPECT_EQ(Run(c.language, text), c.run);
    }
}

TEST_F(CompilerEndToEnd, AUnitWithoutStatementsCompilesToNothing)
{
    // Such a unit fails its walk without a message, as such a main text does; it
    // was found, and like that text it compiles to nothing. (A program of the other
    // syntaxes needs a block, whose absence has a message of its own.)
    const struct {
        const char* language;
        const char* main;
        const char* unit;
    } kCases[] = {
        {"BasicScript", "Imports \"u\"\r\nPrint(1)\r\n", "' only a note"},
        {"BasicScript", "Imports \"u\"\r\nPrint(1)\r\n", "rem only a note"},
        {"BasicScript", "Imports \"u\"\r\nPrint(1)\r\n", "   "},
        {"JScript", "import \"u\";\r\nPrint(1);\r\n", "// only a note"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(AnsiString(c.language) + ": " + c.unit);
        S->OnGetUnit = [&](TscScript*, const AnsiString&, AnsiString& text) { text = c.unit; };
        EXPECT_EQ(Run(c.language, c.main), std::vector<AnsiString>{"1"});
        EXPECT_EQ(S->ErrorUnit, "");
    }
}

TEST_F(CompilerEndToEnd, AMissingUnitFileIsAnErrorOfTheTextThatUsesIt)
{
    // Without an OnGetUnit handler units are files. A file that cannot be
    // read is named in the message; ErrorUnit is the text whose uses clause
    // names it, where ErrorPos lies.
    const AnsiString dir = GetTempDir();
    const AnsiString missing = dir + "sc_no_such_unit";
    const struct {
        const char* language;
        const char* usesOpen;
        char quote;
        const char* usesClose;
        const char* body;
        char clauseEnd; // the error stands just after it
    } kSyntaxes[] = {
        {"PascalScript", "uses ", '\'', ";\r\n", "begin end.", ';'},
        {"C++Script", "#include ", '"', "\r\n", "{ }", '"'},
        {"JScript", "import ", '"', ";\r\n", "", '"'},
        {"BasicScript", "Imports ", '"', "\r\n", "", '"'},
    };
    for (const auto& s : kSyntaxes) {
        SCOPED_TRACE(s.language);
        auto usesOf = [&](const AnsiString& name) { return s.usesOpen + (s.quote + name + s.quote) + s.usesClose; };
        const AnsiString clause = usesOf(missing);
        const AnsiString at = "1:" + IntToStr(static_cast<int>(clause.rfind(s.clauseEnd)) + 2) + ": ";
        const AnsiString message = Format(scMessage(TscMessageId::SUnitNotFound), {missing});

        EXPECT_FALSE(Compile(s.language, clause + s.body));
        EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, at + message);
        EXPECT_EQ(S->ErrorUnit, "");

        const AnsiString unit = dir + "sc_unit_that_uses_a_missing_one";
        {
            TFileStream file(unit, fmCreate);
            const AnsiString text = clause + s.body;
            file.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
        }
        EXPECT_FALSE(Compile(s.language, usesOf(unit) + s.body));
        EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, at + message);
        EXPECT_EQ(S->ErrorUnit, unit);
        DeleteFile(unit);
    }
}

TEST_F(CompilerEndToEnd, IlSurvivesARoundTrip)
{
    const AnsiString text = "var i, n: Integer; begin for i := 1 to 4 do n := n + i; Print(n); end.";
    const AnsiString il = IlOf("PascalScript", text);
    ASSERT_EQ(il.find("error"), AnsiString::npos) << il;
    S->Clear();
    RegisterHost(*S);
    TStringStream stream(il);
    ASSERT_TRUE(S->SetILCode(stream)) << S->ErrorText;
    S->Execute();
    EXPECT_EQ(Output, std::vector<AnsiString>{"10"});

    TStringStream damaged(il.substr(0, il.size() / 2));
    S->Clear();
    RegisterHost(*S);
    EXPECT_FALSE(S->SetILCode(damaged));
    EXPECT_FALSE(S->ErrorText.empty());
}

TEST_F(CompilerEndToEnd, BuildErrorsNameTheirPlace)
{
    struct BuildCase {
        const char* why;
        const char* language;
        const char* text;
        const char* error;
    };
    const BuildCase kBuild[] = {
        {"redeclared name", "PascalScript", "var a: Integer; a: String; begin end.",
         "1:18: Идентификатор переопределен: 'a'"},
        {"unknown type", "PascalScript", "var a: TNoSuch; begin end.", "1:15: Неизвестный тип: 'TNoSuch'"},
        {"too many arguments", "PascalScript", "begin Print(1, 2); end.", "1:12: Слишком много параметров"},
        {"constant is read-only", "PascalScript", "const c = 1; begin c := 2; end.",
         "1:26: Левая часть выражения не может быть присвоена"},
        {"for needs a numeric variable", "PascalScript", "var s: String; begin for s := 1 to 2 do; end.",
         "1:27: Переменная цикла FOR должна быть числовой"},
        {"member of a string", "PascalScript", "var s: String; begin s.Foo; end.",
         "1:27: Строка не имеет свойств или методов"},
        {"unknown member", "PascalScript", "begin Thing.NoSuch; end.", "1:19: Неопределенный идентификатор: 'NoSuch'"},
        {"C++ names must be declared", "C++Script", "{ x = 1; }", "1:4: Неопределенный идентификатор: 'x'"},
        {"return with a value from a void routine", "C++Script", "void P() { return 1; } { P(); }",
         "1:19: Неопределенный идентификатор: 'Result'"},
        {"is needs a class on its right", "PascalScript", "begin Print(Thing is 1); end.", "1:21: Несовместимые типы"},
        {"a routine of an if-branch is not known before it", "JScript",
         "Print(g());\r\nif (1 == 1) {\r\n  function g() { return 5; }\r\n}", "3:13: Идентификатор переопределен: 'g'"},
    };
    for (const BuildCase& c : kBuild) {
        SCOPED_TRACE(c.why);
        const bool ok = Compile(c.language, c.text);
        EXPECT_EQ(ok, *c.error == 0);
        if (!ok) {
            EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, c.error);
        }
    }
}

TEST_F(CompilerEndToEnd, ACharacterWithNowhereToGoIsRefused)
{
    // A character or an element assigned goes back into what it was read from; a
    // constant or a function's result cannot take it, so the assignment is refused
    // like one to the constant or the call itself. The others must still compile.
    const struct {
        const char* why;
        const char* language;
        const char* text;
        bool refused;
    } kCases[] = {
        {"a character of a constant", "PascalScript", "const c = 'abc'; begin c[1] := 'x'; end.", true},
        {"a character of a character of a constant", "PascalScript",
         "const c = 'abc'; begin c[2][1] := 'x'; end.", true},
        {"a character of a host function's text", "PascalScript", "begin IntToStr(5)[1] := 'x'; end.", true},
        {"a character of a script function's text", "PascalScript",
         "function F: String; begin Result := 'ab'; end; begin F[1] := 'x'; end.", true},
        {"an index into a host function's Variant", "PascalScript", "begin Get('x')[1] := 'y'; end.", true},
        {"C++: a character of a host function's text", "C++Script", "{ IntToStr(5)[1] = \"x\"; }", true},
        {"JScript: an index into a host function's Variant", "JScript", "Get(\"x\")[1] = \"y\";", true},
        {"BasicScript: a character of a host function's text", "BasicScript", "IntToStr(5)[1] = \"x\"\r\n", true},
        {"a character of a variable", "PascalScript", "var s: String; begin s[1] := 'x'; end.", false},
        {"a character of a property", "PascalScript", "begin Thing.Caption[1][1] := 'x'; end.", false},
        {"a character of an indexed property", "PascalScript", "begin Thing.Items[0][1] := 'x'; end.", false},
        {"an element of an array", "JScript", "var a[2]; a[0] = \"ab\"; a[0][1] = \"x\";", false},
        {"a character of a Variant", "BasicScript", "v = \"ab\"\r\nv[1][1] = \"x\"\r\n", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        const bool ok = Compile(c.language, c.text);
        EXPECT_EQ(ok, !c.refused) << S->ErrorPos << ": " << S->ErrorText;
        if (c.refused) {
            EXPECT_EQ(S->ErrorText, scMessage(TscMessageId::SLeftCantAssigned));
        }
    }
}

TEST_F(CompilerEndToEnd, HostStopsAnEndlessLoop)
{
    const char* const kLoops[][2] = {
        {"PascalScript", "var i: Integer; begin while True do i := i + 1; Print('after'); end."},
        {"PascalScript", "begin while True do ; end."},
        {"PascalScript", "begin repeat until False; end."},
        {"C++Script", "int i; { for (; 1 == 1; ) i++; }"},
        {"JScript", "while (true) { }"},
        {"BasicScript", "Do\r\nLoop While True\r\n"},
        {"BasicScript", "For i = 1 To 2 Step 0\r\nNext\r\n"},
    };
    for (const auto& loop : kLoops) {
        SCOPED_TRACE(loop[1]);
        ASSERT_TRUE(Compile(loop[0], loop[1])) << S->ErrorText;
        int lines = 0;
        S->OnRunLine = [&](TscScript*, const AnsiString&, const AnsiString&) {
            if (++lines == 1000)
                S->Terminate();
        };
        Output.clear();
        S->Execute();
        EXPECT_GE(lines, 1000);
        EXPECT_LT(lines, 1010);
        EXPECT_TRUE(Output.empty());
        EXPECT_FALSE(S->Terminated);
        S->OnRunLine = nullptr;
    }
}

TEST_F(CompilerEndToEnd, RunTimeErrorsReachTheHostWithTheirLine)
{
    ASSERT_TRUE(Compile("PascalScript", "procedure Inner;\r\nvar i: Integer;\r\nbegin\r\n  i := 0;\r\n"
                                        "  i := 1 div i;\r\nend;\r\nbegin\r\n  Inner;\r\nend."));
    try {
        S->Execute();
        FAIL() << "no error";
    } catch (const EScriptRunError& e) {
        EXPECT_EQ(e.Line(), 5); // where it happened, inside the procedure
        EXPECT_EQ(e.InnerClassName(), "EDivByZero");
        EXPECT_EQ(e.SourcePos(), "5:3");
    }
    EXPECT_FALSE(S->Terminated);

    struct RunCase {
        const char* why;
        const char* language;
        const char* text;
        TscMessageId id;
    };
    const RunCase kRun[] = {
        {"nil object", "PascalScript", "var t: TTestThing; begin t := nil; Print(t.Caption); end.",
         TscMessageId::SNilObject},
        {"string index", "PascalScript", "var s: String; begin s := 'ab'; Print(s[3]); end.",
         TscMessageId::SStringIndex},
        {"runaway recursion", "PascalScript", "function R(n: Integer): Integer; begin Result := R(n + 1); end;"
                                              " begin R(0); end.",
         TscMessageId::SCallTooDeep},
        {"late member of a number", "JScript", "var x = -5; x.Caption = 1;", TscMessageId::SInvalidObject},
        {"late member missing", "JScript", "var t = Thing; t.NoSuch();", TscMessageId::SIdUndeclared},
        {"late index on a number", "BasicScript", "x = -5\r\nPrint(x[1])\r\n", TscMessageId::SInvalidObject},
    };
    for (const RunCase& c : kRun) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(Compile(c.language, c.text)) << S->ErrorText;
        EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), c.id);
    }
}

class EHostRefusal : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EHostRefusal"; }
};

TEST_F(CompilerEndToEnd, HostExceptionsReachTheCallerAsRaised)
{
    struct HostCase {
        const char* language;
        const char* text;
        const char* pos; // where the failing statement stands
    };
    const HostCase kHost[] = {
        {"PascalScript", "procedure P;\r\nbegin\r\n  Refuse(1);\r\nend;\r\nbegin\r\n  P;\r\nend.", "3:3"},
        {"C++Script", "{\r\n  Print(1);\r\n  Refuse(1);\r\n}", "3:3"},
        {"JScript", "Print(1);\r\nRefuse(1);", "2:1"},
        {"BasicScript", "Print(1)\r\n\r\nRefuse(1)\r\n", "3:1"},
    };
    for (const HostCase& c : kHost) {
        SCOPED_TRACE(c.language);
        S->Clear();
        RegisterHost(*S);
        S->AddMethod("procedure Refuse(Code: Integer)", [](TObject*, TClass, const AnsiString&, Variant&) -> Variant {
            throw EHostRefusal("refused");
        });
        S->SyntaxType = c.language;
        S->Lines()->SetText(c.text);
        ASSERT_TRUE(S->Compile()) << S->ErrorText;
        bool caught = false;
        try {
            S->Execute();
        } catch (const EHostRefusal& e) {
            caught = true;
            EXPECT_EQ(e.Message(), "refused");
        }
        EXPECT_TRUE(caught) << "the host's own class reaches it";
        EXPECT_EQ(S->RunErrorPos, c.pos);
        EXPECT_EQ(S->RunErrorUnit, "");
    }
    // A script's own handler still catches it.
    S->Clear();
    RegisterHost(*S);
    S->AddMethod("procedure Refuse2", [](TObject*, TClass, const AnsiString&, Variant&) -> Variant {
        throw EHostRefusal("refused");
    });
    S->Lines()->SetText("begin try Refuse2; except Print('handled'); end; end.");
    S->SyntaxType = "PascalScript";
    ASSERT_TRUE(S->Compile()) << S->ErrorText;
    Output.clear();
    S->Execute();
    EXPECT_EQ(Output, std::vector<AnsiString>{"handled"});
}

TEST_F(CompilerEndToEnd, DeepRecursionIsAllowedAndARunawayOneStopsInOrder)
{
    // A small routine calling itself: 100,000 levels run in every syntax;
    // deeper ends in the engine's error, on the script's own stack and on the
    // caller's stack (a host calling a routine directly).
    const struct {
        const char* language;
        const char* text; // %d: the depth
    } kScripts[] = {
        {"PascalScript", "function F(n: Integer): Integer;\r\nbegin\r\n  if n = 0 then Result := 0 else Result := F(n - 1) + 1;"
                         "\r\nend;\r\nbegin\r\n  Print(F(%d));\r\nend."},
        {"C++Script", "int F(int n)\r\n{\r\n  if (n == 0) return 0; else return F(n - 1) + 1;\r\n}\r\n{\r\n  Print(F(%d));\r\n}"},
        {"JScript", "function F(n)\r\n{\r\n  if (n == 0) return 0; else return F(n - 1) + 1;\r\n}\r\nPrint(F(%d));\r\n"},
        {"BasicScript", "Function F(n)\r\n  If n = 0 Then\r\n    Return 0\r\n  Else\r\n    Return F(n - 1) + 1\r\n  End If\r\n"
                        "End Function\r\nPrint(F(%d))\r\n"},
    };
#if defined(__SANITIZE_ADDRESS__)
    const int allowed = 5000; // the sanitizer's frames are several times larger
#else
    const int allowed = 100000;
#endif
    for (const auto& s : kScripts) {
        SCOPED_TRACE(s.language);
        const AnsiString deep = Format(s.text, {allowed});
        EXPECT_EQ(Run(s.language, deep), std::vector<AnsiString>{IntToStr(allowed)});
        ASSERT_TRUE(Compile(s.language, Format(s.text, {1000000})));
        EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SCallTooDeep);
        // The host calls the routine itself, on its own (shorter) stack.
        Variant args = VarArrayCreate({0, 0}, varVariant);
        args.Elem(0) = Variant(1000000);
        EXPECT_EQ(ScriptErrorOf([&] { S->CallFunction("F", args); }), TscMessageId::SCallTooDeep);
    }
}

TEST_F(CompilerEndToEnd, RecursionKeepsTheCallersFrameAcrossACaughtError)
{
    // P(0) raises inside P(1) inside P(2); each caller catches and must see its own n and k.
    const auto plain = Run("PascalScript", "procedure P(n: Integer);\r\nvar k: Integer;\r\nbegin\r\n"
                                           "  k := n * 10;\r\n  if n = 0 then n := 1 div n\r\n"
                                           "  else begin\r\n    try P(n - 1); except end;\r\n"
                                           "    Print(k + n);\r\n  end;\r\nend;\r\nbegin P(2); end.");
    EXPECT_EQ(plain, (std::vector<AnsiString>{"11", "22"}));
}

TEST_F(CompilerEndToEnd, HostCallsScriptRoutines)
{
    ASSERT_TRUE(Compile("PascalScript", "function Add(a, b: Integer): Integer; begin Result := a + b; end;\r\n"
                                        "procedure Swap(var a, b: Integer); var t: Integer;"
                                        " begin t := a; a := b; b := t; end;\r\nbegin end."));
    EXPECT_EQ(S->CallFunction("Add", VarArrayOf({Variant(2), Variant(3)})), Variant(5));
    Variant params = VarArrayOf({Variant(1), Variant(2)});
    EXPECT_TRUE(VarIsNull(S->CallFunction1("Swap", params)));
    EXPECT_EQ(VarArrayGet(params, {0}), Variant(2));
    EXPECT_EQ(VarArrayGet(params, {1}), Variant(1));
    EXPECT_EQ(S->Evaluate("Add(40, 2)"), Variant(42));
    EXPECT_EQ(S->Evaluate("1 +"), Variant("';' expected")); // the compiler's message, as a value
}

TEST_F(CompilerEndToEnd, EvaluateReadsNamesAsItsScriptDoes)
{
    S->AddVariable("Итого", "Variant", Variant(5));
    struct Case { const char* why; bool extended; const char* expression; Variant expected; };
    const Case cases[] = {
        {"a Cyrillic name in a script that allows it", true, "Итого + 1", Variant(6)},
        {"a Latin name", true, "Thing.Count * 2", Variant(14)},
        {"a Cyrillic name where the script does not allow it", false, "Итого + 1", Variant("Expression expected")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        S->ExtendedCharset = c.extended;
        EXPECT_EQ(S->Evaluate(c.expression), c.expected);
    }
}

TEST_F(CompilerEndToEnd, AHandlerTheHostEntersAgainKeepsItsOwnValues)
{
    // H(1) asks the host to Fire, and the host calls H(2) before H(1) goes on: H(1)
    // must go on with its own parameter, local text and Result, in every syntax and
    // through both of the host's entry points.
    struct Case { const char* language; const char* text; };
    const Case programs[] = {
        {"PascalScript", "function H(n: Integer): String; var s: String;\r\nbegin\r\n  s := 'n' + IntToStr(n);"
                         " Result := s;\r\n  if n = 1 then Fire;\r\n  Print(IntToStr(n) + ' ' + s + ' ' + Result);"
                         "\r\nend;\r\nbegin end."},
        {"C++Script", "string H(int n)\r\n{\r\n  string s; s = \"n\" + IntToStr(n); Result = s;\r\n"
                      "  if (n == 1) Fire;\r\n  Print(IntToStr(n) + \" \" + s + \" \" + Result);\r\n}\r\n{}"},
        {"JScript", "function H(n)\r\n{\r\n  var s = \"n\" + IntToStr(n); Result = s;\r\n"
                    "  if (n == 1) Fire;\r\n  Print(IntToStr(n) + \" \" + s + \" \" + Result);\r\n}"},
        {"BasicScript", "Function H(n)\r\n  Dim s\r\n  s = \"n\" & n\r\n  Result = s\r\n"
                        "  If n = 1 Then Fire\r\n  Print(\"\" & n & \" \" & s & \" \" & Result)\r\nEnd Function"},
    };
    for (const bool withCopyBack : {false, true})
        for (const Case& c : programs) {
            SCOPED_TRACE(std::string(c.language) + (withCopyBack ? " CallFunction1" : " CallFunction"));
            S->Clear();
            RegisterHost(*S);
            S->AddMethod("procedure Fire", [&](TObject*, TClass, const AnsiString&, Variant&) {
                Variant inner = VarArrayOf({Variant(2)});
                if (withCopyBack)
                    S->CallFunction1("H", inner);
                else
                    S->CallFunction("H", inner);
                return Null();
            });
            S->SyntaxType = c.language;
            S->Lines()->SetText(c.text);
            ASSERT_TRUE(S->Compile()) << S->ErrorPos << ": " << S->ErrorText;
            S->Execute();
            Output.clear();
            Variant outer = VarArrayOf({Variant(1)});
            const Variant result = withCopyBack ? S->CallFunction1("H", outer) : S->CallFunction("H", outer);
            EXPECT_EQ(Output, (std::vector<AnsiString>{"2 n2 n2", "1 n1 n1"}));
            EXPECT_EQ(result, Variant("n1"));
            EXPECT_EQ(VarArrayGet(outer, {0}), Variant(1));
        }
}

TEST_F(CompilerEndToEnd, RunLineSeesEveryStatementAndCodeLinesAreKnown)
{
    ASSERT_TRUE(Compile("PascalScript", "var i: Integer;\r\nbegin\r\n  i := 1;\r\n  if i = 1 then\r\n"
                                        "    Print(i);\r\n  break;\r\nend."));
    std::vector<AnsiString> seen;
    S->OnRunLine = [&](TscScript*, const AnsiString&, const AnsiString& pos) { seen.push_back(pos); };
    S->Execute();
    EXPECT_EQ(seen, (std::vector<AnsiString>{"3:3", "4:3", "5:5"}));
    EXPECT_TRUE(S->IsExecutableLine(3));
    EXPECT_TRUE(S->IsExecutableLine(5));
    EXPECT_FALSE(S->IsExecutableLine(2));
}

TEST_F(CompilerEndToEnd, LanguageQuirksBuiltSoundly)
{
    struct Quirk {
        const char* why;
        const char* language;
        const char* text;
        std::vector<AnsiString> output;
    };
    const Quirk kQuirks[] = {
        {"break in a C++ switch leaves the switch, not the loop", "C++Script",
         "int i; { for (i = 0; i < 2; i++) { switch (i) { case 0: { Print(\"zero\"); break; } } Print(i); } }",
         {"zero", "0", "1"}},
        {"a JScript var may be declared twice", "JScript", "for (var i = 0; i < 2; i++) { } for (var i = 5; i < 6; i++) Print(i);",
         {"5"}},
        {"an untyped JScript function returns text", "JScript", "function F() { return \"t\"; } Print(F());", {"t"}},
        {"BasicScript undeclared names are Variants", "BasicScript", "x = 5\r\nPrint(x)\r\n", {"5"}},
        {"Basic concatenation of a string and a number", "BasicScript", "s = \"a\"\r\ns = s & 1\r\nPrint(s)\r\n",
         {"a1"}},
        {"a declaration's initial value runs each time", "PascalScript",
         "procedure P; var x: Integer = 5; begin x := x + 1; Print(x); end; begin P; P; end.", {"6", "6"}},
        {"C++ arrays and initial values belong to their own name", "C++Script",
         "int a[2], b = 3; { Print(b); a[1] = 4; Print(a[1]); }", {"3", "4"}},
        {"Pascal names share the array shape", "PascalScript",
         "var a, b: array[1..3] of Integer; begin b[3] := 1; a[3] := 2; Print(a[3] + b[3]); end.", {"3"}},
        {"changing the bound inside a for changes nothing", "PascalScript",
         "var i, n: Integer; begin n := 3; for i := 1 to n do begin n := 10; Print(i); end; end.",
         {"1", "2", "3"}},
        {"Basic For with a fractional step", "BasicScript", "For i = 1 To 2 Step 0.5\r\nPrint(i)\r\nNext\r\n",
         {"1", "1,5", "2"}},
        {"exit inside try/finally runs the finally part", "PascalScript",
         "procedure P; begin try exit; finally Print('f'); end; Print('no'); end; begin P; Print('back'); end.",
         {"f", "back"}},
        {"repeat runs at least once", "PascalScript", "begin repeat Print('once') until True; end.", {"once"}},
        {"with over an object", "PascalScript", "begin with Thing do Print(Caption); end.", {"host"}},
        {"a class name casts", "PascalScript", "var v: Variant; begin v := Thing; Print(TTestThing(v).Caption); end.",
         {"host"}},
        {"two C++ case labels in a row: the first is dropped", "C++Script",
         "{ switch (1) { case 1: case 2: Print(\"two\"); default: Print(\"default\"); } }", {"default"}},
        {"string character assignment through a designator", "PascalScript",
         "var s: String; begin s := 'abc'; s[2] := 'X'; Print(s); end.", {"aXc"}},
        {"empty statements are skipped", "PascalScript",
         "var i: Integer; begin ;; Print('a');; Print('b'); repeat ; i := i + 1; until i = 2; Print(i); end.",
         {"a", "b", "2"}},
    };
    for (const Quirk& q : kQuirks) {
        SCOPED_TRACE(q.why);
        EXPECT_EQ(Run(q.language, q.text), q.output);
    }
}

// A break or continue outside any loop ends the routine or the run it stands in, like an
// exit; the next call of the routine, and the next run of the script, start afresh. Each
// program runs twice; a host calling the routine goes the same way.
TEST_F(CompilerEndToEnd, AStrayBreakOrContinueEndsOnlyTheCallOrRunItIsIn)
{
    struct Stray {
        const char* language;
        const char* text;
        std::vector<AnsiString> output;
    };
    const std::vector<AnsiString> twoCalls{"a", "a", "b", "a", "a", "b"};
    const Stray kStray[] = {
        {"PascalScript", "procedure P(f: Boolean); begin Print('a'); if f then break; Print('b'); end;\n"
                         "begin P(True); P(False); end.", twoCalls},
        {"PascalScript", "procedure P(f: Boolean); begin Print('a'); case f of True: continue; end; Print('b'); end;\n"
                         "begin P(True); P(False); end.", twoCalls},
        {"C++Script", "void P(bool f) { Print(\"a\"); if (f) continue; Print(\"b\"); } { P(true); P(false); }", twoCalls},
        {"JScript", "function P(f) { Print(\"a\"); if (f) break; Print(\"b\"); } P(true); P(false);", twoCalls},
        {"BasicScript", "Sub P(f)\nPrint(\"a\")\nIf f Then Break\nPrint(\"b\")\nEnd Sub\nP(True)\nP(False)\n", twoCalls},
        {"PascalScript", "begin Print('a'); Print('b'); break; Print('c'); end.", {"a", "b", "a", "b"}},
        {"JScript", "Print(\"a\"); Print(\"b\"); continue; Print(\"c\");", {"a", "b", "a", "b"}},
    };
    for (const Stray& c : kStray) {
        SCOPED_TRACE(c.text);
        Output.clear();
        ASSERT_TRUE(Compile(c.language, c.text)) << S->ErrorPos << " " << S->ErrorText;
        S->Execute();
        S->Execute();
        EXPECT_EQ(Output, c.output);
    }
    // The host's calls of a handler: the same routine, called on its own.
    Output.clear();
    ASSERT_TRUE(Compile("PascalScript", "procedure P(f: Boolean); begin Print('a'); if f then break; Print('b'); end;\n"
                                        "begin end."));
    S->CallFunction("P", VarArrayOf({true}));
    S->CallFunction("P", VarArrayOf({false}));
    EXPECT_EQ(Output, (std::vector<AnsiString>{"a", "a", "b"}));
}

} // namespace

namespace {

// A host method's argument array is used again by the next call: what one call's host
// kept of it, and what the script passed, are not changed by the next call.
TEST_F(CompilerEndToEnd, HostArgumentArraysAreNotSharedBetweenCalls)
{
    std::vector<Variant> kept;
    S->AddMethod("function Keep(A: Variant; B: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        kept.push_back(p); // the host keeps the whole array
        return Variant(VarToStr(VarArrayGet(p, {0})) + VarToStr(VarArrayGet(p, {1})));
    });
    Output.clear();
    S->SyntaxType = "PascalScript";
    S->Lines()->SetText("var s, r: String; i: Integer;\r\nbegin\r\n  s := 'ab';\r\n"
                        "  for i := 1 to 3 do begin r := Keep(s, i); s := s + '-' + r; end;\r\n  Print(s);\r\nend.");
    ASSERT_TRUE(S->Compile()) << S->ErrorText;
    S->Execute();
    EXPECT_EQ(Output, (std::vector<AnsiString>{"ab-ab1-ab-ab12-ab-ab1-ab-ab123"}));
    ASSERT_EQ(kept.size(), 3u);
    const struct {
        const char* a;
        int b;
    } kWant[] = {{"ab", 1}, {"ab-ab1", 2}, {"ab-ab1-ab-ab12", 3}};
    for (size_t k = 0; k < kept.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(VarToStr(VarArrayGet(kept[k], {0})), kWant[k].a);
        EXPECT_EQ(VarArrayGet(kept[k], {1}), Variant(kWant[k].b));
    }
}

// A text passed to a host routine is let go when the routine returns, whether the routine
// is a member of an object named by one step (Thing.Size(s)), one on its own (Get(s)) or
// called as a statement: a variable whose text a finished call still held would copy it
// whole on its next change in place, and a loop appending to it would take time in the
// square of its length.
TEST_F(CompilerEndToEnd, HostRoutinesLetGoOfTheTextsPassedToThem)
{
    struct Syntax {
        const char* name;
        const char* text; // $C the call
    };
    const Syntax syntaxes[] = {
        {"PascalScript", "var s: String; v: Variant; n: Variant;\nprocedure Run; begin s := 'ab'; s := s + 'c'; "
                         "v := s; s := ''; n := $C; end;\nbegin end."},
        {"C++Script", "string s; variant v, n;\nvoid Run() { s = \"ab\"; s = s + \"c\"; v = s; s = \"\"; n = $C; }\n{}"},
        {"JScript", "var s, v, n;\nfunction Run() { s = \"ab\"; s = s + \"c\"; v = s; s = \"\"; n = $C; }"},
        {"BasicScript", "Dim s As String, v, n\nSub Run\ns = \"ab\"\ns = s + \"c\"\nv = s\ns = \"\"\nn = $C\nEnd Sub\n"},
    };
    const char* calls[] = {"Thing.Size(v)", "Get(v)", "Thing.Size(v + s)", "Thing.Size(v) + Thing.Size(v)"};
    for (const Syntax& syntax : syntaxes)
        for (const char* call : calls) {
            SCOPED_TRACE(std::string(syntax.name) + ": " + call);
            std::string text = syntax.text;
            text.replace(text.find("$C"), 2, call);
            S->Clear();
            RegisterHost(*S);
            S->FindClass("TTestThing")
                ->AddMethod("function Size(Text: String): Integer", [](TObject*, TClass, const AnsiString&, Variant& p) {
                    return Variant(static_cast<int>(VarToStr(VarArrayGet(p, {0})).size()));
                });
            S->SyntaxType = syntax.name;
            S->Lines()->SetText(text.c_str());
            ASSERT_TRUE(S->Compile()) << S->ErrorPos << " " << S->ErrorText;
            S->CallFunction("Run", VarArrayOf({}));
            EXPECT_NE(VarToStr(S->FindLocal("n")->Value), "");
            // v holds the only reference to its text again.
            EXPECT_NE(S->FindLocal("v")->Value.UnsharedStr(), nullptr);
        }
}

// A routine given a growing text lets go of it when the call returns, so that the caller's
// next append copies nothing, unless a routine declared inside it names the parameter: that
// routine may run later (hooked up to an event) and read what the last call left. A name the
// host evaluates while the call runs (Peek, as a report's IIF reads its arguments) is no
// such routine: the call is over when it returns.
TEST_F(CompilerEndToEnd, ARoutineKeepsTheTextItWasGivenOnlyForARoutineInsideThatNamesIt)
{
    struct Case {
        const char* why;
        const char* syntax;
        const char* program; // calls Outer(s) three times with s growing
        bool kept;
    };
    const Case cases[] = {
        {"the routine inside names another parameter", "PascalScript",
         "var s: String; i: Integer;\nprocedure Outer(t: String; k: Integer);\n"
         "  function Twice: Integer; begin Result := k * 2; end;\nbegin Twice; end;\n"
         "begin s := ''; for i := 1 to 3 do begin s := s + 'x'; Outer(s, i); end; end.",
         false},
        {"the routine inside names the text", "PascalScript",
         "var s: String; i: Integer;\nprocedure Outer(t: String; k: Integer);\n"
         "  procedure Show; begin Print(t); end;\nbegin end;\n"
         "begin s := ''; for i := 1 to 3 do begin s := s + 'x'; Outer(s, i); end; end.",
         true},
        {"two levels down names the text", "PascalScript",
         "var s: String; i: Integer;\nprocedure Outer(t: String; k: Integer);\n"
         "  procedure Mid;\n    procedure Show; begin Print(t); end;\n  begin end;\nbegin end;\n"
         "begin s := ''; for i := 1 to 3 do begin s := s + 'x'; Outer(s, i); end; end.",
         true},
        {"the host evaluates the name while the call runs", "PascalScript",
         "var s: String; i: Integer;\nprocedure Outer(t: String; k: Integer); begin Print(Peek('t')); end;\n"
         "begin s := ''; for i := 1 to 3 do begin s := s + 'x'; Outer(s, i); end; end.",
         false},
        {"the host evaluates the name inside a routine inside", "PascalScript",
         "var s: String; i: Integer;\nprocedure Outer(t: String; k: Integer);\n"
         "  procedure Show; begin Print(Peek('t')); end;\nbegin Show; end;\n"
         "begin s := ''; for i := 1 to 3 do begin s := s + 'x'; Outer(s, i); end; end.",
         false},
        {"the routine inside names another parameter", "JScript",
         "var s = \"\", i;\nfunction Outer(t, k) { function Twice() { return k * 2; } Twice(); }\n"
         "for (i = 1; i <= 3; i++) { s = s + \"x\"; Outer(s, i); }",
         false},
        {"the routine inside names the text", "JScript",
         "var s = \"\", i;\nfunction Outer(t, k) { function Show() { Print(t); } }\n"
         "for (i = 1; i <= 3; i++) { s = s + \"x\"; Outer(s, i); }",
         true},
        {"the host evaluates the name while the call runs", "JScript",
         "var s = \"\", i;\nfunction Outer(t, k) { Print(Peek(\"t\")); }\n"
         "for (i = 1; i <= 3; i++) { s = s + \"x\"; Outer(s, i); }",
         false},
        {"the routine inside names another parameter", "BasicScript",
         "Dim s, i\nSub Outer(t, k)\n  Function Twice\n    Return k * 2\n  End Function\n  Twice\nEnd Sub\n"
         "s = \"\"\nFor i = 1 To 3\n  s = s + \"x\"\n  Outer(s, i)\nNext",
         false},
        {"the routine inside names the text", "BasicScript",
         "Dim s, i\nSub Outer(t, k)\n  Sub Show\n    Print(t)\n  End Sub\nEnd Sub\n"
         "s = \"\"\nFor i = 1 To 3\n  s = s + \"x\"\n  Outer(s, i)\nNext",
         true},
        {"the host evaluates the name while the call runs", "BasicScript",
         "Dim s, i\nSub Outer(t, k)\n  Print(Peek(\"t\"))\nEnd Sub\n"
         "s = \"\"\nFor i = 1 To 3\n  s = s + \"x\"\n  Outer(s, i)\nNext",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.syntax) + ": " + c.why);
        S->Clear();
        RegisterHost(*S);
        S->AddMethod("function Peek(Name: String): Variant", [this](TObject*, TClass, const AnsiString&, Variant& p) {
            return S->Evaluate(VarToStr(VarArrayGet(p, {0})));
        });
        S->SyntaxType = c.syntax;
        S->Lines()->SetText(c.program);
        ASSERT_TRUE(S->Compile()) << S->ErrorPos << " " << S->ErrorText;
        Output.clear();
        S->Execute();
        const auto* outer = dynamic_cast<TscProcVariable*>(S->FindLocal("Outer"));
        ASSERT_NE(outer, nullptr);
        EXPECT_EQ(VarToStr(outer->GetParam(0)->Value), c.kept ? "xxx" : "");
        if (std::string(c.why).find("evaluates") != std::string::npos) {
            EXPECT_EQ(Output, (std::vector<AnsiString>{"x", "xx", "xxx"})) << "the host read the text by name";
        }
    }
}

} // namespace

namespace {

// s := s + Poke + ... where the host routine Poke gives s another text through the
// host's own door (Variables[name]) while the line appends: the append must not go to
// the text s held before, which the new one freed. The line's result is the host's
// text with the pieces after it, as it was when each variable kept its own text.
TEST_F(CompilerEndToEnd, AHostThatWritesTheTargetOfAnAppendLeavesBothTextsWhole)
{
    struct Case { const char* language; const char* text; };
    const Case kPrograms[] = {
        {"PascalScript", "var s: String; v: Variant; t: String;\r\nbegin\r\n"
                         "  s := 'abc'; s := s + Poke('s') + 'x'; t := 'qqqqqq'; Print(s + ' ' + t);\r\n"
                         "  v := 'abc'; v := v + Poke('v') + 'x'; t := 'rrrrrr'; Print(v + ' ' + t);\r\nend."},
        {"C++Script", "string s; variant v; string t;\r\n{\r\n"
                      "  s = \"abc\"; s = s + Poke(\"s\") + \"x\"; t = \"qqqqqq\"; Print(s + \" \" + t);\r\n"
                      "  v = \"abc\"; v = v + Poke(\"v\") + \"x\"; t = \"rrrrrr\"; Print(v + \" \" + t);\r\n}"},
        {"JScript", "var s: String, v, t: String;\r\n"
                    "s = \"abc\"; s = s + Poke(\"s\") + \"x\"; t = \"qqqqqq\"; Print(s + \" \" + t);\r\n"
                    "v = \"abc\"; v = v + Poke(\"v\") + \"x\"; t = \"rrrrrr\"; Print(v + \" \" + t);\r\n"},
        {"BasicScript", "Dim s As String, v, t As String\r\n"
                        "s = \"abc\" : s = s + Poke(\"s\") + \"x\" : t = \"qqqqqq\" : Print(s & \" \" & t)\r\n"
                        "v = \"abc\" : v = v + Poke(\"v\") + \"x\" : t = \"rrrrrr\" : Print(v & \" \" & t)\r\n"},
    };
    for (const Case& c : kPrograms) {
        SCOPED_TRACE(c.language);
        S->Clear();
        RegisterHost(*S);
        S->AddMethod("function Poke(Name: String): String", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            S->SetVariables(VarToStr(VarArrayGet(p, {0})), Variant(AnsiString("zzz")));
            return Variant("!");
        });
        S->SyntaxType = c.language;
        S->Lines()->SetText(c.text);
        ASSERT_TRUE(S->Compile()) << S->ErrorPos << ": " << S->ErrorText;
        Output.clear();
        S->Execute();
        EXPECT_EQ(Output, (std::vector<AnsiString>{"zzz!x qqqqqq", "zzz!x rrrrrr"}));
    }
}

// A floating result beyond a double's range stops the script with the overflow at its line,
// whether a host watches the lines (the statements walked one by one) or not (the inline
// routines): in conditions, loops and compound assignments as in plain ones.
TEST_F(CompilerEndToEnd, FloatOverflowStopsAtItsLineWithOrWithoutALineHook)
{
    const char* const kCases[][2] = {
        {"PascalScript", "var d: Double; i: Integer;\r\nbegin d := 1e308;\r\n  if d * 10 > 0 then Print('gt');\r\nend."},
        {"PascalScript", "var d: Double; i: Integer;\r\nbegin d := 1e308;\r\n  for i := 1 to 3 do d := d + d;\r\nend."},
        {"PascalScript", "var d: Double; v: Variant;\r\nbegin d := 1e308; v := 10;\r\n  Print(FloatToStr(v * d));\r\nend."},
        {"PascalScript", "var d, e: Double;\r\nbegin d := 1e308;\r\n  e := d / 0.1;\r\nend."},
        {"C++Script", "double d = 1e308;\r\n{\r\n  d *= 10;\r\n}"},
        {"C++Script", "double d = 1e308; int i;\r\n{\r\n  for (i = 0; i < 3; i++) d = d - (-d);\r\n}"},
        {"JScript", "var d = 1e308;\r\n\r\nif (d + d > 0) Print(\"gt\");"},
        {"JScript", "var d = 1e308;\r\n\r\nd /= 0.1;"},
        {"BasicScript", "Dim d As Double\r\nd = 1e308\r\nd += d\r\n"},
        {"BasicScript", "Dim d As Double\r\nd = 1e308\r\nIf d * 10 > 0 Then Print(\"gt\")\r\n"},
    };
    for (const auto& c : kCases) {
        for (bool hook : {false, true}) {
            SCOPED_TRACE(std::string(c[1]) + (hook ? " (line hook)" : ""));
            ASSERT_TRUE(Compile(c[0], c[1])) << S->ErrorText;
            if (hook)
                S->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
            Output.clear();
            AnsiString got;
            try {
                S->Execute();
            } catch (const EScriptRunError& e) {
                got = "line " + std::to_string(e.Line()) + ": " + e.Message();
            }
            S->OnRunLine = nullptr;
            EXPECT_EQ(got, "line 3: Floating point overflow");
            EXPECT_TRUE(Output.empty());
        }
    }
}

} // namespace

TEST_F(CompilerEndToEnd, AListOfSeveralPassesDropsTheErrorsRecordedInsideIt)
{
    // A loop that made more than one pass ends quietly where its last pass
    // stopped; an error recorded inside it gives way when the loop (the case
    // branches) or the erring element allows it, whichever pass recorded it.
    // An error recorded before the loop is not the loop's to drop.
    const SyntaxCase kCases[] = {
        {"an error inside the last of two case branches gives way to the case's end", "PascalScript",
         "var a: Integer; begin case a of 1: a := 2; 2: a := ; end; end.", "1:49: 'END' expected"},
        {"the same error in the only branch stays", "PascalScript",
         "var a: Integer; begin case a of 1: a := ; end; end.", "1:41: Expression expected"},
        {"an error recorded before the case stays", "PascalScript", "program; begin case 1 of 1: ; 2: ; end; end.",
         "1:8: Identifier expected"},
    };
    for (const SyntaxCase& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_FALSE(Compile(c.language, c.text));
        EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, c.error);
    }
}

TEST_F(CompilerEndToEnd, BasicRoutinesWithEmptyBracketsCompileAndRun)
{
    // The empty parameter list reads no name: that miss is recorded inside the
    // list of lines, which drops it, so the routine stands.
    const struct {
        const char* why;
        const char* text;
        std::vector<AnsiString> run;
    } kCases[] = {
        {"a Sub called with brackets", "Sub P()\r\n  Print(1)\r\nEnd Sub\r\nP()\r\n", {"1"}},
        {"a Function read with brackets", "Function F()\r\n  Return 2\r\nEnd Function\r\nPrint(F())\r\n", {"2"}},
        {"a Sub among other lines", "Print(0)\r\nSub P()\r\n  Print(3)\r\nEnd Sub\r\nP()\r\n", {"0", "3"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Run("BasicScript", c.text), c.run);
    }
}

TEST_F(CompilerEndToEnd, AnErrorAListDropsDoesNotHideTheErrorsAfterIt)
{
    // The empty brackets of a BasicScript routine end its parameter list before
    // its first name: that "Identifier expected" is set aside, not reported, once
    // the text goes on, and hides no error after it; a unit that cannot be had
    // still stops the compilation. A list broken at its first item still says so.
    const AnsiString missing = "sc_no_such_unit.vb";
    const AnsiString notFound = Format(scMessage(TscMessageId::SUnitNotFound), {missing});
    const struct {
        const char* why;
        AnsiString text;
        AnsiString error;
    } kCases[] = {
        {"an incomplete assignment after a Sub", "Sub P()\r\nEnd Sub\r\nx = \r\nP()\r\n", "3:5: Expression expected"},
        {"an unclosed call inside an If after a Function",
         "Function F()\r\n  Return 1\r\nEnd Function\r\nIf F() = 1 Then\r\n  Print(1\r\nEnd If\r\n", "5:10: ')' expected"},
        {"a For without To after a Sub called twice", "Sub P()\r\nEnd Sub\r\nP()\r\nP()\r\nFor i = 1\r\nNext\r\n",
         "5:10: 'TO' expected"},
        {"a unit that is not there", "Sub P()\r\nEnd Sub\r\nImports \"" + missing + "\"\r\nP()\r\n",
         "3:" + IntToStr(static_cast<int>(missing.size()) + 11) + ": " + notFound},
        {"an If without End If inside the first Sub", "Sub P()\r\n  If 1 = 1 Then\r\n    Print(1)\r\nEnd Sub\r\n",
         "4:5: 'IF' expected"},
        {"a For without Next inside the first Sub", "Sub P()\r\n  For i = 1 To 3\r\n    Print(i)\r\nEnd Sub\r\n",
         "4:1: 'NEXT' expected"},
        {"a Function with As and no type", "Function F() As\r\nEnd Function\r\n", "1:16: Identifier expected"},
        {"an error inside a later Sub", "Print(0)\r\nSub P()\r\n  x = \r\nEnd Sub\r\n", "3:7: Expression expected"},
        {"a parameter list that starts with a number stays an identifier error", "Sub P(5)\r\nEnd Sub\r\n",
         "1:7: Identifier expected"},
        {"a ByRef without a name", "Sub P(ByRef)\r\nEnd Sub\r\n", "1:12: Identifier expected"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_FALSE(Compile("BasicScript", c.text));
        EXPECT_EQ(S->ErrorPos + ": " + S->ErrorText, c.error);
    }

    // A unit with a syntax error of its own, named after such a routine.
    S->Clear();
    RegisterHost(*S);
    S->OnGetUnit = [](TscScript*, const AnsiString&, AnsiString& t) { t = "x = \r\n"; };
    S->SyntaxType = "BasicScript";
    S->Lines()->SetText("Sub P()\r\nEnd Sub\r\nImports \"broken.vb\"\r\nP()\r\n");
    EXPECT_FALSE(S->Compile());
    EXPECT_EQ(S->ErrorUnit + " " + S->ErrorPos + ": " + S->ErrorText, "broken.vb 1:5: Expression expected");
}

TEST_F(CompilerEndToEnd, EmptyBracketsOfABasicRoutineMoveNoErrorOfACutOrGappedText)
{
    // Each text is cut after every token and has every token taken out; a routine
    // written with empty brackets must give each such text the outcome it has
    // with the brackets left out (blanks in their place keep the columns).
    const char* const kTexts[] = {
        "Dim t\r\nSub P@\r\n  If t = 1 Then\r\n    Print(t)\r\n  End If\r\nEnd Sub\r\nFunction F@\r\n"
        "  For i = 1 To 3\r\n    t = t + i\r\n  Next\r\n  Return t\r\nEnd Function\r\nP()\r\nPrint(F())\r\n",
        "Print(0)\r\nSub Q@\r\n  Select Case 1\r\n  Case 1: Print(1)\r\n  End Select\r\n  While 0\r\n  Wend\r\n"
        "End Sub\r\nQ\r\n",
    };
    auto outcome = [&](const AnsiString& text) {
        return AnsiString(Compile("BasicScript", text) ? "compiles" : "fails") + " " + S->ErrorPos + ": " +
               S->ErrorText;
    };
    for (const char* raw : kTexts) {
        AnsiString brackets = raw, blanks = raw;
        for (size_t at; (at = brackets.find('@')) != AnsiString::npos;) {
            brackets.replace(at, 1, "()");
            blanks.replace(blanks.find('@'), 1, "  ");
        }
        // Token ends: after a word, a number or any other character that is not a blank.
        for (size_t end = 1; end <= brackets.size(); ++end) {
            const bool word = isalnum(static_cast<unsigned char>(brackets[end - 1]));
            if (brackets[end - 1] == ' ' ||
                (word && end < brackets.size() && isalnum(static_cast<unsigned char>(brackets[end]))))
                continue;
            // Not on a routine's own line: there the two texts say different things.
            const size_t lineStart = brackets.rfind('\n', end - 1) + 1;
            const size_t lineEnd = brackets.find('\r', end - 1);
            if (brackets.compare(lineStart, lineEnd - lineStart, blanks, lineStart, lineEnd - lineStart) != 0)
                continue;
            size_t begin = end - 1;
            while (word && begin > 0 && isalnum(static_cast<unsigned char>(brackets[begin - 1])))
                --begin;
            SCOPED_TRACE(brackets.substr(0, end));
            EXPECT_EQ(outcome(brackets.substr(0, end)), outcome(blanks.substr(0, end)));
            EXPECT_EQ(outcome(brackets.substr(0, begin) + brackets.substr(end)),
                      outcome(blanks.substr(0, begin) + blanks.substr(end)));
        }
    }
}
