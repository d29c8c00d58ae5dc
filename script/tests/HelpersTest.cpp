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
