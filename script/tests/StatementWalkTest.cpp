// StatementWalkTest.cpp - statements run alike on the direct steps and on the general walk.
//
// While no run-line hook is set the engine takes direct steps for assignments, calls,
// branches and counting loops; with a hook it walks every statement. Random programs of
// assignments over Integer, Int64, Double, Currency, String, Variant, an array and a host
// member, loops with break, continue and exit, try/except and try/finally, case and switch,
// with, and calls with var parameters are run both ways in all four syntaxes; the values
// left behind (their kinds and Double bits), the lines printed and the error with its
// position must be the same.
#include "script/tests/CompilerFixture.h"

#include <cstring>
#include <random>
#include <string>

namespace {

enum class Syn { Pas, Cpp, Js, Vb };

const char* const kLanguage[] = {"PascalScript", "C++Script", "JScript", "BasicScript"};

// Builds one random program in one syntax. Loops count on counters of their own (l1, l2,
// l3 by depth) that the bodies never assign, so every program ends.
class ProgramMaker {
public:
    explicit ProgramMaker(unsigned seed) : FRng(seed) {}

    std::string Make(Syn syn)
    {
        FSyn = syn;
        FInFunc = true;
        const std::string fbody = Block(2, 0, 3);
        FInFunc = false;
        const std::string body = Block(3, 0, 6);
        const std::string prelude = Prelude();
        switch (syn) {
        case Syn::Pas:
            return "var i, j: Integer; w: Int64; d: Double; c: Currency; s: String; v: Variant; b: Boolean; g: Single;\n"
                   "a: array[0..3] of Integer; l1, l2, l3, m1, m2, m3: Integer;\n"
                   "function F(x: Integer): Integer;\nbegin\nResult := x;\n" + fbody + "end;\n"
                   "procedure Q(var x: Integer);\nbegin\nx := x + 3;\nend;\n"
                   "begin\n" + prelude + body + "end.";
        case Syn::Cpp:
            return "int i, j; Int64 w; Double d; Currency c; String s; Variant v; bool b; Single g; int a[4];\n"
                   "int l1, l2, l3, m1, m2, m3;\n"
                   "int F(int x) {\nResult = x;\n" + fbody + "}\n"
                   "void Q(int &x) {\nx = x + 3;\n}\n"
                   "{\n" + prelude + body + "}";
        case Syn::Js:
            return "var i, j, w, d, c, s, v, b, g, a[4], l1, l2, l3, m1, m2, m3;\n"
                   "function F(x) {\nResult = x;\n" + fbody + "}\n"
                   "function Q(&x) {\nx = x + 3;\n}\n" + prelude + body;
        case Syn::Vb:
            return "Dim i As Integer, j As Integer, w As Int64, d As Double, c As Currency, s As String\n"
                   "Dim v, a[4] As Integer, l1, l2, l3, m1, m2, m3, b As Boolean, g As Single\n"
                   "Function F(x As Integer) As Integer\nResult = x\n" + fbody + "End Function\n"
                   "Sub Q(ByRef x As Integer)\nx = x + 3\nEnd Sub\n" + prelude + body;
        }
        return {};
    }

private:
    int Pick(int n) { return static_cast<int>(FRng() % static_cast<unsigned>(n)); }
    bool Typed() const { return FSyn != Syn::Js; }
    bool Pas() const { return FSyn == Syn::Pas; }
    bool Vb() const { return FSyn == Syn::Vb; }
    bool CLike() const { return FSyn == Syn::Cpp || FSyn == Syn::Js; }

    // One statement as a line of its own, with the separator the syntax wants.
    std::string Line(const std::string& stmt) const { return stmt + (Vb() ? "\n" : ";\n"); }
    std::string Assign(const std::string& target, const std::string& e) const
    {
        return Line(target + (Pas() ? " := " : " = ") + e);
    }
    std::string Str(const char* text) const { return Pas() ? std::string("'") + text + "'" : std::string("\"") + text + "\""; }

    // Starting values near the edges of each kind: 32-bit and 64-bit limits, a big Double.
    std::string Prelude()
    {
        static const char* const kI[] = {"0", "1", "3", "6", "2147483647", "(-2147483647 - 1)", "65536"};
        static const char* const kW[] = {"5", "2147483647", "9223372036854775807", "(-9223372036854775807)", "4294967296"};
        static const char* const kD[] = {"0.5", "2.25", "1e300", "(-0.75)", "3"};
        static const char* const kV[] = {"3", "1.5", "2147483647", "9223372036854775807", "(-2)"};
        std::string p = Assign("i", kI[Pick(7)]) + Assign("j", std::to_string(Pick(5))) + Assign("w", kW[Pick(5)]) +
                        Assign("d", kD[Pick(5)]) + Assign("c", Pick(2) ? "1.5" : "2") + Assign("s", Str("ab")) +
                        Assign("v", kV[Pick(5)]);
        p += Assign("b", Pas() || Vb() ? "False" : "0 == 1") + Assign("g", "0.1");
        for (int k = 0; k < 4; ++k)
            p += Assign("a[" + std::to_string(k) + "]", Pick(4) ? std::to_string(k + 1) : "2147483647");
        for (const char* l : {"l1", "l2", "l3", "m1", "m2", "m3"})
            p += Assign(l, "0");
        return p;
    }

    std::string IntLiteral()
    {
        switch (Pick(12)) {
        case 0: return "2147483647";
        case 1: return "65536";
        case 2: return "9223372036854775807";
        default: return std::to_string(Pick(10));
        }
    }

    // An expression; integral ones only read integer kinds, so a typed syntax may give them
    // to an Integer variable.
    std::string Expr(int depth, bool integral)
    {
        if (depth <= 0 || Pick(3) == 0)
            return Atom(integral);
        if (Pick(8) == 0)
            return "(-" + Atom(integral) + ")";
        if (Pick(5) == 0)
            return "(" + Expr(depth - 1, integral) + BitOp() + Expr(depth - 1, integral) + ")";
        static const char* const kOps[] = {" + ", " - ", " * ", "div", "mod", " / "};
        const int op = Pick(integral ? 5 : 6);
        std::string text = kOps[op];
        if (op == 3)
            text = Vb() ? " \\ " : " div ";
        if (op == 4)
            text = CLike() ? " % " : Vb() ? " Mod " : " mod ";
        // A divisor is mostly a constant that is not zero: most programs run to their end.
        const std::string right = op >= 3 && Pick(4) != 0 ? std::to_string(1 + Pick(5)) : Expr(depth - 1, integral);
        return "(" + Expr(depth - 1, integral) + text + right + ")";
    }

    // and, or, xor and the shifts: bitwise on integers (BasicScript has no shifts).
    std::string BitOp()
    {
        static const char* const kPas[] = {" and ", " or ", " xor ", " shl ", " shr "};
        static const char* const kC[] = {" && ", " || ", " ^ ", " << ", " >> "};
        static const char* const kVb[] = {" And ", " Or ", " Xor ", " And ", " Or "};
        const int op = Pick(5);
        return Pas() ? kPas[op] : CLike() ? kC[op] : kVb[op];
    }

    std::string Atom(bool integral)
    {
        const int n = integral ? 8 : 12;
        switch (Pick(n)) {
        case 0: return "i";
        case 1: return "j";
        case 2: return "a[" + std::to_string(Pick(4)) + "]";
        case 3: return "Thing.Count";
        case 4: return FInFunc ? "x" : "F(" + Expr(1, true) + ")";
        case 5: return Typed() ? "i" : "w";
        case 6: return FLoopVar.empty() ? "j" : FLoopVar;
        case 7: return IntLiteral();
        case 8: return "w";
        case 9: return Pick(3) ? "d" : "g";
        case 10: return "c";
        default: return Pick(2) ? "v" : "0.5";
        }
    }

    std::string Cond()
    {
        static const char* const kPas[] = {" < ", " > ", " = ", " <> ", " <= ", " >= "};
        static const char* const kC[] = {" < ", " > ", " == ", " != ", " <= ", " >= "};
        const int op = Pick(6);
        const std::string one = Expr(1, false) + (CLike() ? kC[op] : kPas[op]) + Expr(1, false);
        if (Pick(4) != 0)
            return one;
        const std::string other = Expr(1, true) + " < " + IntLiteral();
        const char* join = CLike() ? (Pick(2) ? " && " : " || ") : Vb() ? (Pick(2) ? " And " : " Or ")
                                                                            : (Pick(2) ? " and " : " or ");
        return "(" + one + ")" + join + "(" + other + ")";
    }

    // A block of statements for a body, a branch or a handler.
    std::string Block(int depth, int loops, int count)
    {
        std::string b;
        const int n = 1 + Pick(count);
        for (int k = 0; k < n; ++k)
            b += Statement(depth, loops);
        return b;
    }
    // A block as one statement where the syntax wants one (begin..end, braces).
    std::string Wrapped(int depth, int loops)
    {
        const std::string b = Block(depth, loops, 3);
        if (Pas())
            return "begin\n" + b + "end";
        if (CLike())
            return "{\n" + b + "}";
        return b;
    }
    std::string PasEnd(const std::string& wrapped) const { return Line(wrapped); }

    // The counter of a loop at this depth; F's loops count on counters of their own, as a
    // call of F inside a loop of the main program must not move that loop's counter.
    std::string Counter(int loops) const { return (FInFunc ? "m" : "l") + std::to_string(loops + 1); }

    std::string IntTarget()
    {
        switch (Pick(6)) {
        case 0: return "j";
        case 1: return "a[" + std::to_string(Pick(4)) + "]";
        case 2: return "Thing.Count";
        default: return "i";
        }
    }

    std::string Statement(int depth, int loops)
    {
        const int kind = depth <= 0 ? Pick(6) : Pick(18);
        switch (kind) {
        case 0:
        case 1: return Assign(IntTarget(), Expr(2, true));
        case 2: {
            static const char* const kTargets[] = {"w", "d", "c", "v", "g"};
            if (Pick(6) == 0)
                return Assign("b", Cond());
            return Assign(kTargets[Pick(5)], Expr(2, false));
        }
        case 3: {
            // An operator assignment, or its Pascal spelling.
            static const char* const kOps[] = {"+", "-", "*", "+", "-", "/"};
            static const char* const kTargets[] = {"v", "d", "w", "c"};
            const bool integral = Pick(2) == 0;
            const char* op = kOps[Pick(integral ? 5 : 6)];
            const std::string t = integral ? IntTarget() : std::string(kTargets[Pick(4)]);
            const std::string e = Expr(1, integral);
            if (Pas())
                return Assign(t, t + " " + op + " " + e);
            return Line(t + " " + op + "= " + e);
        }
        case 4:
            if (!Pas() && Pick(2))
            {
                static const char* const kCounters[] = {"i", "v", "w", "d", "j", "a[1]"};
                return Line(std::string(kCounters[Pick(6)]) + (Pick(2) ? "++" : "--"));
            }
            return Line("Print(" + Expr(2, false) + ")");
        case 5:
            if (Pick(2))
                return Assign("s", "s + " + Str(Pick(2) ? "x" : "yz"));
        {
            static const char* const kArgs[] = {"i", "j", "a[2]", "Thing.Count"};
            return Line("Q(" + std::string(Typed() ? kArgs[Pick(4)] : Pick(2) ? "v" : kArgs[Pick(4)]) + ")");
        }
        case 6:
        case 7: {
            const std::string c = Cond();
            if (Pas())
                return PasEnd("if " + c + " then " + Wrapped(depth - 1, loops) +
                              (Pick(2) ? " else " + Wrapped(depth - 1, loops) : ""));
            if (CLike())
                return "if (" + c + ") " + Wrapped(depth - 1, loops) +
                       (Pick(2) ? " else " + Wrapped(depth - 1, loops) : "") + "\n";
            return "If " + c + " Then\n" + Block(depth - 1, loops, 3) +
                   (Pick(2) ? "Else\n" + Block(depth - 1, loops, 3) : "") + "End If\n";
        }
        case 8:
        case 9: return ForLoop(depth, loops);
        case 10: return WhileLoop(depth, loops);
        case 11: return RepeatLoop(depth, loops);
        case 12:
            if (loops > 0)
                return Line(Pick(2) ? (Vb() ? "Break" : "break") : (Vb() ? "Continue" : "continue"));
            return Line("Print(" + Expr(1, false) + ")");
        case 13:
            if (Pick(3) == 0) {
                if (FSyn == Syn::Js)
                    return FInFunc ? Line("return") : Line("Print(1)");
                return Line(Vb() ? "Exit" : "exit");
            }
            return Assign("v", Expr(1, false));
        case 14: return Try(depth, loops);
        case 15: return Case(depth, loops);
        case 16: return With(depth);
        default: return Assign(IntTarget(), Expr(1, true));
        }
    }

    std::string ForLoop(int depth, int loops)
    {
        if (loops >= 3)
            return Assign("i", Expr(1, true));
        const std::string l = Counter(loops);
        const std::string saved = FLoopVar;
        FLoopVar = l;
        const std::string from = std::to_string(Pick(3));
        const std::string to = Pick(2) ? std::to_string(Pick(5)) : "(" + Expr(1, true) + ")" + (CLike() ? " % 4" : Vb() ? " Mod 4" : " mod 4");
        std::string r;
        if (Pas()) {
            const bool down = Pick(3) == 0;
            r = PasEnd("for " + l + " := " + (down ? to : from) + (down ? " downto " : " to ") + (down ? from : to) +
                       " do " + Wrapped(depth - 1, loops + 1));
        } else if (CLike()) {
            const char* step = Pick(3) == 0 ? " += 2" : "++";
            r = "for (" + l + " = " + from + "; " + l + " <= " + to + "; " + l + step + ") " +
                Wrapped(depth - 1, loops + 1) + "\n";
        } else {
            static const char* const kSteps[] = {"", " Step 2", " Step -1", " Step 0.5"};
            const int st = Pick(4);
            r = "For " + l + " = " + (st == 2 ? to : from) + " To " + (st == 2 ? from : to) + kSteps[st] + "\n" +
                Block(depth - 1, loops + 1, 3) + "Next\n";
        }
        FLoopVar = saved;
        return r;
    }

    std::string WhileLoop(int depth, int loops)
    {
        if (loops >= 3)
            return Assign("j", Expr(1, true));
        const std::string l = Counter(loops);
        const std::string saved = FLoopVar;
        FLoopVar = l;
        const std::string bound = std::to_string(1 + Pick(4));
        const std::string c = Pick(2) ? Cond() : std::string(Pas() ? "True" : Vb() ? "True" : "1 == 1");
        const std::string step = Assign(l, l + " + 1");
        std::string r;
        if (Pas())
            r = Assign(l, "0") + PasEnd("while (" + l + " < " + bound + ") and (" + c + ") do begin\n" + step +
                                        Block(depth - 1, loops + 1, 3) + "end");
        else if (CLike())
            r = Assign(l, "0") + "while ((" + l + " < " + bound + ") && (" + c + ")) {\n" + step +
                Block(depth - 1, loops + 1, 3) + "}\n";
        else
            r = Assign(l, "0") + "While (" + l + " < " + bound + ") And (" + c + ")\n" + step +
                Block(depth - 1, loops + 1, 3) + "Wend\n";
        FLoopVar = saved;
        return r;
    }

    std::string RepeatLoop(int depth, int loops)
    {
        if (loops >= 3)
            return Assign("j", Expr(1, true));
        const std::string l = Counter(loops);
        const std::string saved = FLoopVar;
        FLoopVar = l;
        const std::string bound = std::to_string(1 + Pick(4));
        const std::string c = Cond();
        const std::string step = Assign(l, l + " + 1");
        std::string r;
        if (Pas())
            r = Assign(l, "0") + PasEnd("repeat\n" + step + Block(depth - 1, loops + 1, 3) + "until (" + l +
                                        " >= " + bound + ") or (" + c + ")");
        else if (CLike())
            r = Assign(l, "0") + "do {\n" + step + Block(depth - 1, loops + 1, 3) + "} while ((" + l + " < " +
                bound + ") && (" + c + "));\n";
        else if (Pick(2))
            r = Assign(l, "0") + "Do\n" + step + Block(depth - 1, loops + 1, 3) + "Loop Until (" + l +
                " >= " + bound + ") Or (" + c + ")\n";
        else
            r = Assign(l, "0") + "Do\n" + step + Block(depth - 1, loops + 1, 3) + "Loop While (" + l + " < " +
                bound + ") And (" + c + ")\n";
        FLoopVar = saved;
        return r;
    }

    std::string Try(int depth, int loops)
    {
        // A division that may fail (j may be 0) gives the handlers something to catch.
        const std::string risky = Assign("i", std::string("i ") + (Vb() ? "\\" : "div") + " j");
        const bool except = Pick(2) == 0;
        const std::string body = risky + Block(depth - 1, loops, 2);
        const std::string handler = Block(depth - 1, loops, 2);
        if (Pas())
            return PasEnd("try\n" + body + (except ? "except\n" : "finally\n") + handler + "end");
        if (CLike())
            return "try {\n" + body + "} " + (except ? "except" : "finally") + " {\n" + handler + "}\n";
        return "Try\n" + body + (except ? "Catch\n" : "Finally\n") + handler + "End Try\n";
    }

    std::string Case(int depth, int loops)
    {
        const std::string e = Expr(1, true) + (CLike() ? " % 4" : Vb() ? " Mod 4" : " mod 4");
        if (Pas())
            return PasEnd("case " + e + " of\n0: " + Wrapped(depth - 1, loops) + ";\n1, 2: " +
                          Wrapped(depth - 1, loops) + ";\n" + (Pick(2) ? "else " + Wrapped(depth - 1, loops) + "\n" : "") +
                          "end");
        if (CLike())
            return "switch (" + e + ") {\ncase 0: " + Wrapped(depth - 1, loops) + "\ncase 1, 2: " +
                   Wrapped(depth - 1, loops) + "\n" + (Pick(2) ? "default: " + Wrapped(depth - 1, loops) + "\n" : "") +
                   "}\n";
        return "Select Case " + e + "\nCase 0:\n" + Block(depth - 1, loops, 2) + "Case 1, 2:\n" +
               Block(depth - 1, loops, 2) + (Pick(2) ? "Case Else:\n" + Block(depth - 1, loops, 2) : "") +
               "End Select\n";
    }

    std::string With(int /*depth*/)
    {
        const std::string e = Expr(1, true);
        if (Pas())
            return Line("with Thing do Count := Count + " + e);
        if (FSyn == Syn::Js)
            return "with (Thing) {\nCount = Count + " + e + ";\n}\n";
        if (Vb())
            return "With Thing\nCount = Count + " + e + "\nEnd With\n";
        return Assign("Thing.Count", "Thing.Count - " + e);
    }

    std::mt19937 FRng;
    Syn FSyn = Syn::Pas;
    bool FInFunc = false;
    std::string FLoopVar;
};

class StatementWalkTest : public CompilerTest {
protected:
    // A value as text with its kind, and a Double's bits.
    static std::string Describe(const Variant& v)
    {
        std::string r = std::string(VarToStr(v)) + ":" + std::string(VarTypeAsText(v.VType()));
        if (v.VType() == varDouble) {
            const double d = v.AsDouble();
            uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            r += ":" + std::to_string(bits);
        }
        return r;
    }

    // Compiles and runs the program, hooked or not; the error it stopped with and what it
    // printed, then what it left in its variables and in the host member.
    std::string RunOnce(Syn syn, const std::string& program, bool hook)
    {
        std::string r = RunPrinting(syn, program, hook);
        if (r.rfind("compile error", 0) == 0)
            return r;
        for (const char* name : {"i", "j", "w", "d", "c", "s", "v", "b", "g", "l1", "l2", "l3", "m1", "m2", "m3"})
            r += std::string(name) + "=" + Describe(S->GetVariables(name)) + " ";
        const Variant a = S->GetVariables("a");
        for (int k = 0; k < 4; ++k)
            r += "a" + std::to_string(k) + "=" + Describe(VarArrayGet(a, {k})) + " ";
        r += "Count=" + std::to_string(Things.back()->Count);
        return r;
    }

    // The error the run stopped with and the lines it printed.
    std::string RunPrinting(Syn syn, const std::string& program, bool hook)
    {
        if (!Compile(kLanguage[static_cast<int>(syn)], program.c_str()))
            return "compile error " + std::string(S->ErrorPos) + ": " + std::string(S->ErrorText);
        Output.clear();
        std::string r;
        if (hook)
            S->OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
        try {
            S->Execute();
        } catch (const EScriptRunError& e) {
            r += "error at " + std::string(e.SourcePos()) + ": " + e.what() + "\n";
        } catch (const std::exception& e) {
            r += std::string("error: ") + e.what() + "\n";
        }
        S->OnRunLine = nullptr;
        for (const AnsiString& line : Output)
            r += "print " + std::string(line) + "\n";
        return r;
    }
};

} // namespace

// Random programs of statements, in every syntax, hooked and not: the same run.
TEST_F(StatementWalkTest, RandomProgramsRunAlikeWithALineHookAndWithout)
{
    constexpr int kPrograms = 300; // per syntax
    ProgramMaker maker(20261208u);
    for (const Syn syn : {Syn::Pas, Syn::Cpp, Syn::Js, Syn::Vb}) {
        int compiled = 0;
        for (int n = 0; n < kPrograms; ++n) {
            const std::string program = maker.Make(syn);
            SCOPED_TRACE(std::string(kLanguage[static_cast<int>(syn)]) + " program " + std::to_string(n) + ":\n" +
                         program);
            const std::string direct = RunOnce(syn, program, false);
            const std::string walked = RunOnce(syn, program, true);
            if (direct.rfind("compile error", 0) != 0)
                ++compiled;
            ASSERT_EQ(direct, walked);
        }
        // The maker writes programs the compiler takes, nearly all of them.
        EXPECT_GT(compiled, kPrograms * 9 / 10) << kLanguage[static_cast<int>(syn)];
    }
}

// What a typed variable holds after an assignment, and what two Integer-typed operands do
// with values beyond 32 bits: the same with a run-line hook and without. A variable keeps the
// value it is given (only a floating one turns an integer into a Double); two operands typed
// Integer (literals included) are computed in 32 bits, so one outside them cannot be converted.
TEST_F(StatementWalkTest, TypedTargetsAndIntegerOperandsAtTheirEdges)
{
    struct EdgeCase {
        const char* why;
        Syn syn;
        const char* program;
        const char* expected; // what was printed, or the error that stopped the run
    };
    const EdgeCase cases[] = {
        {"an Integer variable keeps an Int64 sum rather than cutting it to 32 bits", Syn::Pas,
         "var v: Integer; w: Int64; begin v := 2147483647; w := 5; v := v + w * 2; Print(v); Print(VarType(v)); end.",
         "print 2147483657\nprint 20\n"},
        {"the same in BasicScript", Syn::Vb,
         "Dim v As Integer, w As Int64\nv = 2147483647\nw = 5\nv = v + w * 2\nPrint(v)\nPrint(VarType(v))\n",
         "print 2147483657\nprint 20\n"},
        {"a Currency variable holds a Double, as every floating variable", Syn::Pas,
         "var c: Currency; w: Integer; begin c := 1.5; w := 5; c := c + w mod 3; Print(c); Print(VarType(c)); end.",
         "print 3,5\nprint 5\n"},
        {"two Integer-typed operands wrap at 32 bits", Syn::Js,
         "var k; k = 0 - 2147483647 - 2; Print(k); Print(VarType(k));", "print 2147483647\nprint 3\n"},
        {"a literal beyond 32 bits beside an Integer one cannot be converted", Syn::Js,
         "var k; k = 0 - 9223372036854775807 - 1; Print(k);",
         "error at 1:8: Overflow while converting variant of type (Int64) into type (Integer)\n"},
        {"an untyped operand takes the Variant rule and reaches the Int64 limit", Syn::Js,
         "var k; k = -9223372036854775807; k = k - 1; Print(k); Print(VarType(k));",
         "print -9223372036854775808\nprint 20\n"},
        {"the Int64 limit passed becomes a Double", Syn::Cpp,
         "Int64 k; int i; { k = 9223372036854775807; for (i = 0; i < 2; i++) k++; Print(VarType(k)); }",
         "print 5\n"},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.why);
        for (const bool hook : {false, true}) {
            EXPECT_EQ(RunPrinting(c.syn, c.program, hook), c.expected) << (hook ? "with a run-line hook" : "without");
        }
    }
}
