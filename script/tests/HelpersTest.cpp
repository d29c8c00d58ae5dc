// The element and character helpers as scripts reach them, in every syntax, with a
// run-line hook set and without one (the engine takes other paths without a hook).
#include "script/tests/CompilerFixture.h"

namespace {

class Helpers : public CompilerTest {
protected:
    // Output lines, then "error line N: text" when the run stopped with an error.
    std::vector<AnsiString> RunWithHook(const AnsiString& language, const AnsiString& text, bool hook)
    {
        Output.clear();
        if (!Compile(language, text))
            return {"compile error " + S->ErrorPos + ": " + S->ErrorText};
        if (hook)
            S->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
        try {
            S->Execute();
        } catch (const EScriptRunError& e) {
            Output.push_back("error line " + std::to_string(e.Line()) + ": " + e.Message());
        }
        S->OnRunLine = nullptr;
        return Output;
    }
};

// A declared array variable that was given an array of another shape: its indexes do not
// name one element of it, so the access is refused, never a silent wrong element. One
// that holds no array reads Null but refuses a write it could not keep.
TEST_F(Helpers, DeclaredArrayGivenAnotherShapeOrNoArrayRefusesItsIndexes)
{
    struct Case {
        const char* why;
        const char* language;
        const char* text;
        std::vector<AnsiString> expected;
    };
    const AnsiString tooMany = "error line 3: " + AnsiString(scMessage(TscMessageId::STooManyParams));
    const AnsiString tooFew = "error line 3: " + AnsiString(scMessage(TscMessageId::SNotEnoughParams));
    const AnsiString noArray = "error line 3: " + AnsiString(scMessage(TscMessageId::SArrayRequired));
    const Case cases[] = {
        {"one index into two dimensions, read", "PascalScript",
         "var a: array[0..2] of Variant;\nbegin a := VarArrayCreate([0, 1, 0, 1], varVariant);\nPrint(a[1]);\nend.",
         {tooFew}},
        {"one index into two dimensions, write", "PascalScript",
         "var a: array[0..2] of Variant;\nbegin a := VarArrayCreate([0, 1, 0, 1], varVariant);\na[1] := 5;\nend.",
         {tooFew}},
        {"two indexes into one dimension, write", "PascalScript",
         "var a: array[0..2, 0..2] of Variant;\nbegin a := VarArrayCreate([0, 3], varVariant);\na[1, 2] := 5;\n"
         "Print(a[1, 0]);\nend.",
         {tooMany}},
        {"three indexes into two dimensions, read", "PascalScript",
         "var a: array[0..1, 0..1, 0..1] of Variant;\nbegin a := VarArrayCreate([0, 1, 0, 1], varVariant);\n"
         "Print(a[1, 1, 1]);\nend.",
         {tooMany}},
        {"C++Script", "C++Script", "Variant a[3][3];\n{ a = VarArrayCreate([0, 3], varVariant);\na[1][2] = 5;\n}",
         {tooMany}},
        {"C++Script, fewer", "C++Script", "Variant a[3];\n{ a = VarArrayCreate([0, 1, 0, 1], varVariant);\na[1] = 5;\n}",
         {tooFew}},
        {"JScript", "JScript", "var a[3, 3];\na = VarArrayCreate([0, 3], varVariant);\nPrint(a[1, 0]);", {tooMany}},
        {"JScript, fewer", "JScript", "var a[3];\na = VarArrayCreate([0, 1, 0, 1], varVariant);\na[1] = 5;", {tooFew}},
        {"BasicScript", "BasicScript", "Dim a[3, 3]\na = VarArrayCreate([0, 3], varVariant)\na[1, 2] = 5", {tooMany}},
        {"BasicScript, fewer", "BasicScript", "Dim a[3]\na = VarArrayCreate([0, 1, 0, 1], varVariant)\nPrint(a[1])",
         {tooFew}},
        {"no array at all, write", "PascalScript",
         "var a: array[0..2] of Variant; v: Variant;\nbegin v := 5; a := v;\na[1] := 3;\nend.", {noArray}},
        {"no array at all, a text", "PascalScript",
         "var a: array[0..2] of Variant; v: Variant;\nbegin v := 'abc'; a := v;\na[1] := 'x';\nend.", {noArray}},
        {"no array at all, C++Script", "C++Script", "Variant a[3], v;\n{ a = v;\na[1] = 3;\n}", {noArray}},
        {"no array at all, JScript", "JScript", "var a[3], v = 5;\na = v;\na[1] = 3;", {noArray}},
        {"no array at all, BasicScript", "BasicScript", "Dim a[3], v\na = v\na[1] = 3", {noArray}},
        {"the same shape still works", "PascalScript",
         "var a: array[0..2, 0..2] of Variant;\nbegin a := VarArrayCreate([5, 6, 0, 1], varVariant);\n"
         "a[6, 1] := 'x'; Print(a[6, 1]);\nend.",
         {"x"}},
    };
    for (const Case& c : cases) {
        for (const bool hook : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (hook ? " (hook)" : ""));
            EXPECT_EQ(RunWithHook(c.language, c.text, hook), c.expected);
        }
    }
}

} // namespace

namespace {

class HelpersMore : public Helpers {};

// The same refusals when the array reaches the accessor by other routes: an array
// parameter (the general element step, not the declared variable's own), and an element
// read on the way to a further index.
TEST_F(HelpersMore, ArrayParameterOfAnotherShapeOrNoArrayRefusesItsIndexes)
{
    struct Case {
        const char* why;
        const char* language;
        const char* text;
        std::vector<AnsiString> expected;
    };
    const AnsiString tooFew = "error line 2: " + AnsiString(scMessage(TscMessageId::SNotEnoughParams));
    const AnsiString tooMany = "error line 2: " + AnsiString(scMessage(TscMessageId::STooManyParams));
    const AnsiString noArray = "error line 2: " + AnsiString(scMessage(TscMessageId::SArrayRequired));
    const Case cases[] = {
        {"open array given two dimensions", "PascalScript",
         "procedure p(a: array of Variant);\nbegin Print(a[1]); end;\n"
         "begin p(VarArrayCreate([0, 1, 0, 1], varVariant)); end.",
         {tooFew}},
        {"two-dimensional parameter given one", "PascalScript",
         "procedure p(a: array[0..1, 0..1] of Variant);\nbegin a[1, 1] := 2; end;\n"
         "begin p(VarArrayCreate([0, 3], varVariant)); end.",
         {tooMany}},
        {"open array given no array", "PascalScript",
         "procedure p(a: array of Variant);\nbegin Print(a[1]); a[1] := 2; Print('kept'); end;\n"
         "begin p(Null); end.",
         {"", noArray}},
        {"an element on the way to a character", "PascalScript",
         "var a: array[0..1] of Variant;\nbegin a := VarArrayCreate([0, 1, 0, 1], varVariant); Print(a[0][1]); end.",
         {tooFew}},
        {"other bounds of the same shape", "PascalScript",
         "procedure p(a: array of Variant);\nbegin a[6] := 'six'; Print(a[6]); end;\n"
         "begin p(VarArrayCreate([5, 7], varVariant)); end.",
         {"six"}},
    };
    for (const Case& c : cases) {
        for (const bool hook : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (hook ? " (hook)" : ""));
            EXPECT_EQ(RunWithHook(c.language, c.text, hook), c.expected);
        }
    }
}

// An element of a String or Char array, a String parameter and a String function's
// result hold a text, as a String variable does, whatever they are given: a number or
// an empty field's Null joins with + as text.
TEST_F(HelpersMore, TextElementsParametersAndResultsHoldTexts)
{
    struct Case {
        const char* why;
        const char* language;
        const char* text;
        std::vector<AnsiString> expected;
    };
    const Case cases[] = {
        {"numbers join", "PascalScript",
         "var a: array[0..2] of String; v: Variant;\nbegin v := 5; a[0] := v; a[1] := v; Print(a[0] + a[1]); end.",
         {"55"}},
        {"Null becomes empty", "PascalScript",
         "var a: array[0..2] of String; v: Variant;\nbegin v := Null; a[0] := v; Print(a[0] + 'x'); end.", {"x"}},
        {"Char", "PascalScript",
         "var a: array[0..2] of Char; v: Variant;\nbegin v := 7; a[0] := v; Print(a[0] + 'x'); end.", {"7x"}},
        {"a parameter's elements", "PascalScript",
         "procedure p(a: array of String); var v: Variant;\nbegin v := 3; a[0] := v; Print(a[0] + a[0]); end;\n"
         "var b: array[0..1] of String;\nbegin p(b); end.",
         {"33"}},
        {"two dimensions", "PascalScript",
         "var a: array[0..1, 0..1] of String; v: Variant;\nbegin v := 1.5; a[1, 1] := v; Print(a[1, 1] + '0'); end.",
         {"1,50"}},
        {"C++Script", "C++Script", "String a[3]; Variant v;\n{ v = 5; a[0] = v; a[1] = v; Print(a[0] + a[1]); }",
         {"55"}},
        {"BasicScript", "BasicScript", "Dim a[3] As String, v\nv = 5\na[0] = v\na[1] = v\nPrint(a[0] + a[1])",
         {"55"}},
        {"an untyped array still sums", "JScript", "var a[3], v = 5;\na[0] = v; a[1] = v; Print(a[0] + a[1]);",
         {"10"}},
        {"a String parameter", "PascalScript",
         "procedure p(s: String); begin Print(s + s); end;\nvar v: Variant;\nbegin v := 5; p(v); end.", {"55"}},
        {"a Char parameter given Null", "PascalScript",
         "procedure p(c: Char); begin Print(c + 'x'); end;\nvar v: Variant;\nbegin v := Null; p(v); end.", {"x"}},
        {"a String result", "PascalScript",
         "function f: String; var v: Variant; begin v := 5; Result := v; end;\nbegin Print(f + f); end.", {"55"}},
        {"a Float parameter stays a number", "PascalScript",
         "procedure p(x: Double); begin Print(x + x); end;\nvar v: Variant;\nbegin v := 5; p(v); end.", {"10"}},
        {"C++Script parameter", "C++Script", "void p(String s) { Print(s + s); }\nVariant v;\n{ v = 5; p(v); }",
         {"55"}},
        {"BasicScript parameter", "BasicScript", "Sub p(s As String)\nPrint(s + s)\nEnd Sub\nDim v\nv = 5\np(v)",
         {"55"}},
        {"an untyped parameter still sums", "JScript", "function p(s) { Print(s + s); }\nvar v = 5;\np(v);", {"10"}},
        {"a String parameter assigned in its routine", "PascalScript",
         "procedure p(s: String); var v: Variant; begin v := 5; s := v; Print(s + s); end;\nbegin p('a'); end.",
         {"55"}},
        {"a String result of a product", "PascalScript",
         "function f: String; var v: Variant; begin v := 5; Result := v * 2; end;\nbegin Print(f + f); end.",
         {"1010"}},
        {"a String result called in a loop", "PascalScript",
         "function f(x: Variant): String; begin Result := x; end;\nvar i: Integer; s: String;\n"
         "begin s := ''; for i := 1 to 3 do s := s + f(i) + f(i); Print(s); end.",
         {"112233"}},
        {"C++Script return", "C++Script", "String f() { Variant v; v = 5; return v; }\n{ Print(f() + f()); }", {"55"}},
        {"an Integer result still sums", "PascalScript",
         "function f: Integer; var v: Variant; begin v := 5; Result := v; end;\nbegin Print(f + f); end.", {"10"}},
    };
    for (const Case& c : cases) {
        for (const bool hook : {false, true}) {
            SCOPED_TRACE(std::string(c.why) + (hook ? " (hook)" : ""));
            EXPECT_EQ(RunWithHook(c.language, c.text, hook), c.expected);
        }
    }
}

} // namespace
