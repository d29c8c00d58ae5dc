// Expression trees: precedence, association, fast paths and type checks,
// through the one-line expression of each language.
#include "script/tests/CompilerFixture.h"

#include "script/FastPaths.h"

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

struct ExprCase {
    const char* why;
    const char* expr;
    Variant expected;
};

const ExprCase kExpressions[] = {
    {"product binds tighter than sum", "1 + 2 * 3", Variant(7)},
    {"brackets first", "(1 + 2) * 3", Variant(9)},
    {"minus associates to the left", "10 - 4 - 3", Variant(3)},
    {"unary minus takes the first factor only", "-2 * 3 + 10", Variant(4)},
    {"div truncates", "7 div 2", Variant(3)},
    {"mod has the dividend's sign", "-7 mod 2", Variant(-1)},
    {"slash is real division even on integers", "7 / 2", Variant(3.5)},
    {"integer sum wraps at 32 bits", "2147483647 + 1", Variant(-2147483647 - 1)},
    {"not before and", "not False and False", Variant(false)},
    {"and binds tighter than =", "True = True and False", Variant(false)},
    {"strings join", "'ab' + 'cd'", Variant("abcd")},
    {"comparison of strings", "'abc' < 'abd'", Variant(true)},
    {"set with a range holds its inner value", "4 in [1, 3..5]", Variant(true)},
    {"set without the value", "2 in [1, 3..5]", Variant(false)},
    {"set members are masks: a member within a set's mask", "4 in 5", Variant(true)},
    {"a member missing from a set's mask", "2 in 5", Variant(false)},
    {"no member is 0", "0 in 7", Variant(false)},
    {"a member constant in a set property", "tsItalic in Thing.Style + [tsItalic]", Variant(true)},
    {"+ of a set and a constructor is a union, not a sum", "Thing.Style + [tsBold] + [tsBold]", Variant(1)},
    {"- of a set and a constructor is a difference", "(Thing.Style + [tsBold, tsStrike]) - [tsBold, tsItalic]", Variant(8)},
    {"* of a set and a constructor is an intersection", "(Thing.Style + [tsBold, tsStrike]) * [tsStrike]", Variant(8)},
    {"a set compares with a constructor as masks", "Thing.Style + [tsUnderline] = [tsUnderline]", Variant(true)},
    {"shift left", "1 shl 4", Variant(16)},
    {"nested brackets", "((((1))))", Variant(1)},
};

class ExpressionTest : public CompilerTest {};

TEST_F(ExpressionTest, PascalValues)
{
    for (const ExprCase& c : kExpressions) {
        SCOPED_TRACE(c.why);
        const Variant v = S->Evaluate(c.expr);
        EXPECT_EQ(v, c.expected) << VarToStr(v);
        EXPECT_EQ(VarIsStr(v), VarIsStr(c.expected)) << VarToStr(v);
    }
}

struct TypeCase {
    const char* why;
    const char* expr;
};

const TypeCase kIncompatible[] = {
    {"strings allow no minus", "'a' - 'b'"},
    {"Booleans do not add", "True + False"},
    {"string and number do not mix", "'a' + 1"},
};

TEST_F(ExpressionTest, TypeMisuseIsACompileError)
{
    for (const TypeCase& c : kIncompatible) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(S->Evaluate(c.expr), Variant(AnsiString(scMessage(TscMessageId::SIncompatibleTypes))));
    }
}

TEST_F(ExpressionTest, ShortCircuitSkipsTheRightSide)
{
    const auto out = Run("PascalScript",
                         "function Side: Boolean; begin Print('called'); Result := True; end;\n"
                         "var b: Boolean;\n"
                         "begin b := False; if b and Side then Print('yes'); b := True;\n"
                         "if b or Side then Print('or'); end.");
    EXPECT_EQ(out, (std::vector<AnsiString>{"or"}));
}

TEST_F(ExpressionTest, StrcatJoinsOnlyAfterAString)
{
    EXPECT_EQ(Run("BasicScript", "Print(1 & 2)\nPrint(\"a\" & 1)\n"), (std::vector<AnsiString>{"3", "a1"}));
}

TEST_F(ExpressionTest, SelfAssignmentBecomesAssignPlus)
{
    ASSERT_TRUE(Compile("PascalScript", "var x: Integer; s, t: String; begin x := x + 1; x := 1 + x; s := t + s; end."));
    TscStatement* main = S->MainStatement();
    ASSERT_EQ(main->Count(), 3);
    EXPECT_NE(dynamic_cast<TscAssignOpStmt*>(main->GetItem(0)), nullptr);
    EXPECT_NE(dynamic_cast<TscAssignOpStmt*>(main->GetItem(1)), nullptr);
    EXPECT_EQ(dynamic_cast<TscAssignOpStmt*>(main->GetItem(2)), nullptr);
}

TEST_F(ExpressionTest, MalformedItemSequencesAreRefused)
{
    struct Seq {
        const char* why;
        std::vector<std::pair<int, const char*>> items; // 0 operand, 1 operator
    };
    const Seq kBad[] = {
        {"closing bracket without opening", {{0, "1"}, {1, ")"}}},
        {"operator without left operand", {{1, "+"}, {0, "1"}}},
        {"two operands in a row", {{0, "1"}, {0, "2"}}},
        {"operator without right operand", {{0, "1"}, {1, "*"}}},
        {"unclosed bracket", {{1, "("}, {0, "1"}}},
        {"nothing at all", {}},
    };
    for (const Seq& s : kBad) {
        SCOPED_TRACE(s.why);
        TscExpression e(S.get());
        EXPECT_EQ(ScriptErrorOf([&] {
                      for (const auto& [kind, text] : s.items)
                          kind == 0 ? e.AddConst(Variant(1)) : e.AddOperator(text);
                      AnsiString pos;
                      e.Finalize(pos);
                  }),
                  TscMessageId::SBadExpression);
    }
}

TEST_F(ExpressionTest, TooManyItemsAreRefused)
{
    AnsiString text = "1";
    for (int i = 0; i < kMaxExpressionItems; ++i)
        text += "+1";
    EXPECT_EQ(S->Evaluate(text), Variant(Format(scMessage(TscMessageId::SExpressionTooLong),
                                                {std::to_string(kMaxExpressionItems)})));
}

TEST_F(ExpressionTest, SetValueIsTheArrayOfEntries)
{
    const Variant v = S->Evaluate("[1, 3..5]");
    ASSERT_TRUE(VarIsArray(v));
    EXPECT_EQ(VarArrayHighBound(v, 1), 3);
    EXPECT_EQ(VarArrayGet(v, {2}), Variant(0));
    EXPECT_EQ(VarArrayGet(v, {3}), Variant(5));
}

} // namespace

// The inline paths of + - * / and the comparisons give, for every pair of Integer, Int64
// and Double values they take, the very value and type the general operations give; the
// pairs they leave (an overflow, a zero divisor, other kinds) are left to the general path.
TEST(InlineArithmetic, AgreesWithTheGeneralOperations)
{
    const Variant values[] = {
        Variant(0), Variant(1), Variant(-7), Variant(INT32_MAX), Variant(INT32_MIN), Variant(-1), Variant(3),
        Variant(static_cast<long long>(0)), Variant(static_cast<long long>(3000000000LL)),
        Variant(static_cast<long long>(-7)), Variant(static_cast<long long>(-1)),
        Variant(static_cast<long long>(INT64_MAX)), Variant(static_cast<long long>(INT64_MIN)),
        Variant(0.0), Variant(-0.0), Variant(0.1), Variant(1e308), Variant(1.0 / 3.0), Variant(2.5e9),
        Variant(9007199254740993.0), Variant(std::numeric_limits<double>::quiet_NaN()),
        Variant("2"), Variant(true), Null(),
    };
    using Fast = bool (*)(const Variant&, const Variant&, Variant&);
    struct Op {
        char name;
        Fast fast;
        Variant (*general)(const Variant&, const Variant&);
    };
    const Op ops[] = {
        {'+', script_fast::TryArith<'+'>, [](const Variant& a, const Variant& b) { return a + b; }},
        {'-', script_fast::TryArith<'-'>, VarSub},
        {'*', script_fast::TryArith<'*'>, VarMul},
        {'/', script_fast::TryArith<'/'>, VarDiv},
    };
    struct Cmp {
        script_fast::Cmp cmp;
        bool (*general)(const Variant&, const Variant&);
    };
    const Cmp cmps[] = {{script_fast::Cmp::Lt, VarLt}, {script_fast::Cmp::Le, VarLe}, {script_fast::Cmp::Gt, VarGt},
                        {script_fast::Cmp::Ge, VarGe}, {script_fast::Cmp::Eq, VarEq}, {script_fast::Cmp::Ne, VarNe}};
    for (const Variant& a : values)
        for (const Variant& b : values) {
            SCOPED_TRACE(VarToStr(a) + " (" + VarTypeAsText(VarType(a)) + ") with " + VarToStr(b) + " (" +
                         VarTypeAsText(VarType(b)) + ")");
            const bool taken = script_fast::IsNum(VarType(a)) && script_fast::IsNum(VarType(b));
            for (const Op& op : ops) {
                SCOPED_TRACE(op.name);
                Variant fast;
                if (!op.fast(a, b, fast))
                    continue;
                EXPECT_TRUE(taken);
                EXPECT_TRUE(IdenticalValues(fast, op.general(a, b))) << VarToStr(fast);
            }
            // div and mod of Integer and Int64 values of unknown static type (Variants)
            for (const bool isMod : {false, true}) {
                Variant fast;
                if (!script_fast::IsInt(VarType(a)) || !script_fast::IsInt(VarType(b)) ||
                    !script_fast::TryIntDivMod(isMod, a, b, fast))
                    continue;
                EXPECT_TRUE(IdenticalValues(fast, isMod ? VarMod(a, b) : VarIntDiv(a, b))) << VarToStr(fast) << isMod;
            }
            for (const Cmp& c : cmps) {
                bool fast;
                if (script_fast::TryCompare(c.cmp, a, b, fast))
                    EXPECT_EQ(fast, c.general(a, b)) << int(c.cmp);
                else
                    EXPECT_FALSE(taken);
            }
        }
}

namespace {

// An outcome as a script sees it: the value with its type, or the error's message.
struct Outcome {
    bool Failed = false;
    Variant Value;
    std::string Message;
};

Outcome Call(TscScript& s, const char* name)
{
    Outcome o;
    try {
        o.Value = s.CallFunction(name, VarArrayOf({}));
    } catch (const std::exception& e) {
        o.Failed = true;
        o.Message = e.what();
    }
    return o;
}

std::string Show(const Outcome& o)
{
    return o.Failed ? "error " + o.Message : VarToStr(o.Value) + " (" + VarTypeAsText(VarType(o.Value)) + ")";
}

// Each pair of functions of s gives the same outcome: the same value and type, or the same error.
void ExpectPairsAlike(TscScript& s, const std::vector<std::pair<const char*, const char*>>& pairs)
{
    for (auto [fast, slow] : pairs) {
        const Outcome f = Call(s, fast), g = Call(s, slow);
        EXPECT_EQ(f.Failed, g.Failed) << fast << ": " << Show(f) << " / " << Show(g);
        if (f.Failed == g.Failed) {
            EXPECT_TRUE(f.Failed ? f.Message == g.Message : IdenticalValues(f.Value, g.Value))
                << fast << ": " << Show(f) << " / " << Show(g);
        }
    }
}

struct NumPathCase {
    const char* type;            // the declared type of a and b
    std::vector<Variant> values; // what a and b hold (stored as the host stores them)
};

} // namespace

// Arithmetic and comparisons over plain variables take the number paths, in an expression
// (Result := a op b), a shortened assignment (r := r op b) and a condition; over function
// results they take the general walk. For every pair of values of each declared type both
// give the same value of the same type, or the same error, bit for bit: at the edges (wrap,
// MinInt div -1, an Int64 held by an Integer, overflow into Double, zero divisors, NaN,
// texts and Null in Variants) as well.
TEST_F(ExpressionTest, NumberPathsAgreeWithTheGeneralWalk)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const NumPathCase cases[] = {
        {"Integer",
         {Variant(0), Variant(1), Variant(-1), Variant(7), Variant(-7), Variant(INT32_MAX), Variant(INT32_MIN),
          Variant(static_cast<long long>(5)), Variant(static_cast<long long>(3000000000LL))}},
        {"Double", {Variant(0.0), Variant(-0.0), Variant(0.1), Variant(1e308), Variant(1.0 / 3.0), Variant(nan), Variant(3)}},
        {"Variant",
         {Variant(0), Variant(-1), Variant(7), Variant(INT32_MAX), Variant(INT32_MIN),
          Variant(static_cast<long long>(-1)), Variant(static_cast<long long>(INT64_MAX)),
          Variant(static_cast<long long>(3000000000LL)), Variant(0.0), Variant(0.1), Variant(2.5e9), Variant(nan),
          Variant("2"), Variant(true), Null()}},
    };
    const char* ops[] = {"+", "-", "*", "/", "div", "mod", "=", "<>", "<", "<=", ">", ">="};
    int compiled = 0;
    for (const NumPathCase& c : cases)
        for (const char* op : ops) {
            const AnsiString t = c.type, o = op;
            const bool cmp = o == "=" || o == "<>" || o[0] == '<' || o[0] == '>';
            const bool assignOp = o == "+" || o == "-" || o == "*" || (o == "/" && t != "Integer");
            TscScript s(nullptr);
            s.Parent = scGlobalUnit();
            const AnsiString rt = cmp ? AnsiString("Boolean") : o == "/" ? AnsiString("Double") : t;
            AnsiString text = "var a, b: " + t + ";\n" + "function IdA: " + t + "; begin Result := a; end;\n" +
                              "function IdB: " + t + "; begin Result := b; end;\n" +
                              "function Fast: Variant; var r: " + rt + "; begin r := a " + o + " b; Result := r; end;\n" +
                              "function Slow: Variant; var r: " + rt + "; begin r := IdA " + o + " IdB; Result := r; end;\n" +
                              "function FastIf: Variant; begin if a " + o + " b then Result := 1 else Result := 2; end;\n" +
                              "function SlowIf: Variant; begin if IdA " + o + " IdB then Result := 1 else Result := 2; end;\n";
            if (assignOp)
                text += "function FastOp: Variant; var r: " + t + "; begin r := a; r := r " + o + " b; Result := r; end;\n" +
                        "function SlowOp: Variant; var r: " + t + "; begin r := IdA; r := r " + o + " IdB; Result := r; end;\n";
            s.Lines()->SetText(text + "begin end.");
            if (!s.Compile()) {
                ADD_FAILURE() << t << " " << o << ": " << s.ErrorPos << " " << s.ErrorText;
                continue;
            }
            ++compiled;
            for (const Variant& x : c.values)
                for (const Variant& y : c.values) {
                    SCOPED_TRACE(t + " " + VarToStr(x) + " " + o + " " + VarToStr(y));
                    s.FindLocal("a")->Value = x;
                    s.FindLocal("b")->Value = y;
                    std::vector<std::pair<const char*, const char*>> pairs = {{"Fast", "Slow"}};
                    if (cmp)
                        pairs.push_back({"FastIf", "SlowIf"});
                    if (assignOp)
                        pairs.push_back({"FastOp", "SlowOp"});
                    ExpectPairsAlike(s, pairs);
                }
        }
}

// A BasicScript For..Next counts with a plain number when start, end and step are Integer
// or Int64 values inside 32 bits; its variable then gets, pass by pass, the very values and
// kinds the general walk gives it: the start as it is, then sums that are Int64 when the
// start or the step is one, Integer otherwise; never the value that ends the loop.
TEST_F(ExpressionTest, BasicForGivesItsVariableTheWalkedValues)
{
    struct ForCase {
        const char* program;
        const char* trace;
    };
    const ForCase cases[] = {
        {"Dim i\nFor i = 1 To 4\n Trace(i)\nNext\nTrace(i)",
         "Int64 1, Int64 2, Int64 3, Int64 4, Int64 4, "},
        {"Dim i As Integer\nFor i = 1 To 4\n Trace(i)\nNext\nTrace(i)",
         "Int64 1, Int64 2, Int64 3, Int64 4, Int64 4, "},
        {"Dim i\nFor i = 5 To 1 Step -2\n Trace(i)\nNext\nTrace(i)",
         "Int64 5, Int64 3, Int64 1, Int64 1, "},
        {"Dim i As Integer\nFor i = 2147483645 To 2147483647\n Trace(i)\nNext\nTrace(i)",
         "Int64 2147483645, Int64 2147483646, Int64 2147483647, Int64 2147483647, "},
        {"Dim i\nFor i = 2147483645 To 2147483647\n Trace(i)\nNext\nTrace(i)",
         "Int64 2147483645, Int64 2147483646, Int64 2147483647, Int64 2147483647, "},
        {"Dim i\nFor i = -2147483647 To -2147483648 Step -1\n Trace(i)\nNext\nTrace(i)",
         "Int64 -2147483647, Int64 -2147483648, Int64 -2147483648, "},
        {"Dim i\nFor i = 3000000000 To 3000000004 Step 2\n Trace(i)\nNext\nTrace(i)",
         "Int64 3000000000, Int64 3000000002, Int64 3000000004, Int64 3000000004, "},
        {"Dim i\nFor i = 1 To 2 Step 0.5\n Trace(i)\nNext\nTrace(i)",
         "Int64 1, Double 1,5, Double 2, Double 2, "},
        {"Dim i, n\nn = 3000000000\nFor i = 2147483646 To n Step 1000000000\n Trace(i)\nNext\nTrace(i)",
         "Int64 2147483646, Int64 2147483646, "},
        {"Dim i\nFor i = 1 To 10 Step 4\n i = i + 1\n Trace(i)\nNext\nTrace(i)",
         "Int64 2, Int64 6, Int64 10, Int64 10, "},
        {"Dim i, s\ns = 2\nFor i = 1 To 3 Step s\n Trace(i)\nNext",
         "Int64 1, Int64 3, "},
        {"Dim i As Double\nFor i = 1 To 3\n Trace(i)\nNext\nTrace(i)",
         "Int64 1, Int64 2, Int64 3, Int64 3, "},
        {"Dim i\nFor i = 0 To -1\n Trace(i)\nNext\nTrace(i)",
         "Null , "},
        {"Dim a As Integer, i\na = 2147483645\na = a + 0\nFor i = a To 2147483647\n Trace(i)\nNext\nTrace(i)",
         "Integer 2147483645, Integer 2147483646, Integer 2147483647, Integer 2147483647, "},
        {"Dim a As Integer, i\na = 2\na = a + 0\nFor i = 1 To 6 Step a\n Trace(i)\nNext\nTrace(i)",
         "Int64 1, Int64 3, Int64 5, Int64 5, "},
        {"Dim a As Integer, b As Integer, i\na = -1\na = a + 0\nb = 5\nb = b + 0\nFor i = b To 1 Step a\n Trace(i)\nNext\nTrace(i)",
         "Integer 5, Integer 4, Integer 3, Integer 2, Integer 1, Integer 1, "},
        {"Dim a As Integer, i\na = 0\na = a + 0\nFor i = a To 5 Step 2\n Trace(i)\nNext\nTrace(i)",
         "Integer 0, Int64 2, Int64 4, Int64 4, "},
    };
    for (const ForCase& c : cases) {
        SCOPED_TRACE(c.program);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = "BasicScript";
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            trace += VarTypeAsText(VarType(v)) + " " + VarToStr(v) + ", ";
            return Null();
        });
        s.Lines()->SetText(c.program);
        ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
        s.Execute();
        EXPECT_EQ(trace, c.trace);
    }
}

namespace {

// A run as the script's caller sees it: the value and its kind, or the error with its
// position, and what the script traced on the way.
struct LoopRun {
    std::string Result;
    std::string Trace;
};

LoopRun RunLoop(TscScript& s, bool hook)
{
    LoopRun r;
    s.OnRunLine = hook ? TscRunLineEvent([](TscScript*, const AnsiString&, const AnsiString&) {}) : nullptr;
    try {
        const Variant v = s.CallFunction("Run", VarArrayOf({}));
        r.Result = VarToStr(v) + " (" + VarTypeAsText(VarType(v)) + ")";
    } catch (const EScriptRunError& e) {
        r.Result = "error at " + e.SourcePos() + ": " + e.what();
    } catch (const std::exception& e) {
        r.Result = std::string("error without a position: ") + e.what();
    }
    s.OnRunLine = nullptr;
    return r;
}

} // namespace

// A constant or a plain variable given to a variable or parameter is stored as it stands,
// whatever its kind; a floating target converts an integer. Traced value by value.
TEST_F(ExpressionTest, ConstantsAndVariablesAreStoredAsTheyStand)
{
    struct StoreCase {
        const char* syntax;
        const char* program;
        const char* trace;
    };
    const StoreCase cases[] = {
        {"PascalScript",
         "const K = 4;\nfunction P(p: Variant): Variant; begin p := 'q'; Result := p; end;\n"
         "function Run: Variant; var i: Integer; d: Double; v, w: Variant; b: Boolean; s: String;\n"
         "begin v := 5; Trace(v); v := 3000000000; Trace(v); v := 1.5; Trace(v); v := True; Trace(v);\n"
         "v := 'x'; Trace(v); v := Null; Trace(v); v := K; Trace(v); i := 7; w := i; Trace(w); d := 2; Trace(d);\n"
         "w := d; Trace(w); d := i; Trace(d); i := K; Trace(i); v := 'abc'; w := v; v := v; Trace(w + v);\n"
         "b := True; w := b; Trace(w); s := 'st'; w := s; Trace(w); Trace(P(1)); Result := w; end; begin end.",
         "5 Int64, 3000000000 Int64, 1,5 Double, True Boolean, x String,  Null, 4 Int64, 7 Int64, 2 Double, "
         "2 Double, 7 Double, 4 Int64, abcabc String, True Boolean, st String, q String, -> st (String)"},
        {"C++Script",
         "int Run() { Variant v, w; int i; float d;\n"
         "v = 5; Trace(v); v = 3000000000; Trace(v); v = 1.5; Trace(v); v = true; Trace(v); v = \"x\"; Trace(v);\n"
         "v = null; Trace(v); i = 7; w = i; Trace(w); d = 2; Trace(d); w = d; Trace(w); d = i; Trace(d);\n"
         "v = \"abc\"; w = v; v = v; Trace(w + v); return w; } {}",
         "5 Int64, 3000000000 Int64, 1,5 Double, True Boolean, x String,  Null, 7 Int64, 2 Double, 2 Double, "
         "7 Double, abcabc String, -> abc (String)"},
        {"JScript",
         "function Run() { var v, w;\n"
         "v = 5; Trace(v); v = 3000000000; Trace(v); v = 1.5; Trace(v); v = true; Trace(v); v = \"x\"; Trace(v);\n"
         "v = null; Trace(v); w = 7; v = w; Trace(v); v = \"abc\"; w = v; v = v; Trace(w + v); return w; }",
         "5 Int64, 3000000000 Int64, 1,5 Double, True Boolean, x String,  Null, 7 Int64, abcabc String, -> abc (String)"},
        {"BasicScript",
         "Function Run\nDim v, w\nDim i As Integer\nDim d As Double\nv = 5\nTrace(v)\nv = 3000000000\nTrace(v)\n"
         "v = 1.5\nTrace(v)\nv = True\nTrace(v)\nv = \"x\"\nTrace(v)\ni = 7\nw = i\nTrace(w)\nd = 2\nTrace(d)\n"
         "w = d\nTrace(w)\nd = i\nTrace(d)\nv = \"abc\"\nw = v\nv = v\nTrace(w & v)\nReturn w\nEnd Function",
         "5 Int64, 3000000000 Int64, 1,5 Double, True Boolean, x String, 7 Int64, 2 Double, 2 Double, 7 Double, "
         "abcabc String, -> abc (String)"},
    };
    for (const StoreCase& c : cases) {
        SCOPED_TRACE(c.syntax);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            trace += VarToStr(v) + " " + VarTypeAsText(VarType(v)) + ", ";
            return Null();
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        const LoopRun run = RunLoop(s, false);
        EXPECT_EQ(trace + "-> " + run.Result, c.trace);
    }
}

// Loops take the direct steps of their statements (a number stored into a plain variable,
// x op= e on numbers, a counter's step, the C-style for's condition, body and step in one
// pass) only while no host follows the lines; with a run-line hook set they walk every
// statement. Both runs give the same value of the same kind, the same error at the same
// position and the same trace: at the edges (32-bit wrap, an Int64 that overflows, an
// Integer variable holding a value past 32 bits, zero divisors, a text where a number was,
// a Double variable given integers, a host that terminates the loop) as well.
TEST_F(ExpressionTest, LoopsRunAlikeWithALineHookAndWithout)
{
    struct LoopCase {
        const char* syntax;
        const char* program;
    };
    const LoopCase cases[] = {
        {"PascalScript", "function Run: Variant; var i, s: Integer; begin s := 0;\n"
                         "for i := 1 to 100 do s := s + i mod 7; Result := s; end; begin end."},
        {"PascalScript", "function Run: Variant; var i, s: Integer; begin s := 2147483600;\n"
                         "for i := 1 to 20 do s := s + i * 3; Result := s; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; x: Double; begin x := 1;\n"
                         "for i := 1 to 10 do x := x + i; for i := 1 to 10 do x := x / 3; Result := x; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; x: Double; begin\n"
                         "for i := 1 to 10 do x := i * 2; Result := x; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := 9223372036854775800;\n"
                         "for i := 1 to 5 do v := v + i; Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := 2147483640;\n"
                         "for i := 1 to 5 do v := v + i; Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i, s: Integer; begin s := 0;\n"
                         "for i := 2 downto -2 do s := s + 10 div i; Result := s; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := 'a';\n"
                         "for i := 1 to 3 do v := v - i; Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := 'a';\n"
                         "for i := 1 to 3 do v := v + 'b'; Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i, s: Integer; begin s := 3000000000;\n"
                         "for i := 1 to 3 do s := s + 1; Result := s; end; begin end."},
        {"PascalScript", "function Run: Variant; var i, s: Integer; begin i := 0; s := 0;\n"
                         "while i < 10 do i := i + 1; repeat s := s + 2 until s >= 7; Result := i * 100 + s; end;\n"
                         "begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; begin i := 0;\n"
                         "while Stop(i) < 10 do i := i + 1; Result := i; end; begin end."},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 1; i <= 100; i++) s = s + i % 7; return s; } {}"},
        {"C++Script", "int Run() { int i, t; t = 0; for (i = 2147483645; i > 0; i++) t++; return i; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; i = 3000000000; for (; i < 3000000005; i++) s = s + 1;\n"
                      "return s; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 10; i > 0; i -= 3) { Trace(i); } return i; } {}"},
        {"C++Script", "float Run() { int i; float x; x = 0; for (i = 0; i < 5; i += 2) x = x + i; return x; } {}"},
        {"C++Script", "float Run() { float x; int n; n = 0; for (x = 0; x < 3; x++) n++; return x; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = -3; i < 3; i++) s = s + 6 % i; return s; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 0; Stop(i) < 4; i++) s = s + i; return s; } {}"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 1; i <= 100; i++) s = s + i % 7; return s; }"},
        {"JScript", "function Run() { var i, v; v = 9223372036854775806; for (i = 0; i < 3; i++) v++; return v; }"},
        {"JScript", "function Run() { var i, v; v = 2147483646; for (i = 0; i < 3; i++) v = v + 1; return v; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 1; i <= 5; i++) s = s + i % (i - 3); return s; }"},
        {"JScript", "function Run() { var i, s; s = \"a\"; for (i = 1; i <= 5; i++) s = s + i % 7; return s; }"},
        {"JScript", "function Run() { var i, x; x = 0.5; for (i = 1; i <= 5; i++) x = x * 3; return x; }"},
        {"JScript", "function Run() { var i; for (i = 0.5; i < 3; i++) Trace(i); return i; }"},
        {"JScript", "function Run() { var i, v; v = 2147483640; for (i = 0; i < 40; i++) v = v * 4; return v; }"},
        {"JScript", "function Run() { var i, n; n = 0; for (i = 9223372036854775805; n < 5; i++) n = n + 1;\n"
                    "return i; }"},
        {"JScript", "function Run() { var i, n; n = 0;\n"
                    "for (i = StrToInt(\"2147483645\"); i < 2147483650; i++) n = n + 1; return n * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = \"1\"; for (i = 0; s < 5; i++) s = s + 1; return s; }"},
        {"JScript", "function Run() { var i, x; x = 0; for (i = 0; x < 2; i++) x = x + 0.25; return i; }"},
        {"C++Script", "int Run() { int i, s; s = 3000000000; for (i = 0; i < 3; i++) s = s + 1; return s; } {}"},
        {"BasicScript", "Function Run\nDim i As Integer, s As Integer\ns = 0\nFor i = 1 To 100\ns = s + i Mod 7\nNext\n"
                        "Return s\nEnd Function"},
        {"BasicScript", "Function Run\nDim i, s\ns = 0\nFor i = 1 To 100 Step 3\ns = s + i * i\nNext\n"
                        "Return s\nEnd Function"},
        {"BasicScript", "Function Run\nDim i As Integer, x As Double\nx = 0\nFor i = 1 To 5\nx = x + i\nNext\n"
                        "Return x\nEnd Function"},
        {"BasicScript", "Function Run\nDim i, s\ns = 1\nFor i = 1 To 70\ns = s * 2\nNext\nReturn s\nEnd Function"},
        // Floating bodies: the float bench's step, one that declines on its first pass (a
        // text) or in the middle (a zero divisor), counting down, the counter after the loop.
        {"PascalScript", "function Run: Variant; var i: Integer; x: Double; begin x := 0.5;\n"
                         "for i := 1 to 1000 do x := x * 0.999 + i / 3.0 - 1.1; Result := x; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := '3';\n"
                         "for i := 1 to 4 do v := v * 0.5 + i / 4.0; Trace(i); Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; v: Variant; begin v := 1.5;\n"
                         "for i := 1 to 6 do v := v * 0.5 + 10 / (i - 3); Result := v; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; x: Double; begin x := 1;\n"
                         "for i := 3 downto -3 do x := x + 1.5 / i; Result := x; end; begin end."},
        {"PascalScript", "function Run: Variant; var i: Integer; x: Double; begin x := 1;\n"
                         "for i := 5 downto 1 do x := x / i + 0.25; Trace(i); Result := x; end; begin end."},
        {"C++Script", "float Run() { int i; float x; x = 0.5; for (i = 1; i <= 1000; i++) x = x * 0.999 + i / 3.0 - 1.1;\n"
                      "return x; } {}"},
        {"JScript", "function Run() { var i, v; v = 1.5; for (i = 1; i <= 6; i++) v = v * 0.5 + 10 / (i - 3);\n"
                    "return v; }"},
        {"BasicScript", "Function Run\nDim i As Integer, x As Double\nx = 0.5\nFor i = 1 To 1000\n"
                        "x = x * 0.999 + i / 3.0 - 1.1\nNext\nTrace(i)\nReturn x\nEnd Function"},
        {"BasicScript", "Function Run\nDim i, n As Integer, x\nn = 1\nx = 1.5\nFor i = n To 6\n"
                        "x = x * 0.5 + 10 / (i - 3)\nNext\nReturn x\nEnd Function"},
        {"BasicScript", "Function Run\nDim i, n As Integer, x\nn = 6\nx = \"2\"\nFor i = n To 1 Step -2\n"
                        "x = x / i + 0.25\nNext\nTrace(i)\nReturn x\nEnd Function"},
        {"BasicScript", "Function Run\nDim i, x\nx = 1\nFor i = 4 To -4 Step -1\nx = x + 1.5 / i\nNext\n"
                        "Return x\nEnd Function"},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.program);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            trace += VarTypeAsText(VarType(v)) + " " + VarToStr(v) + ", ";
            return Null();
        });
        // Stop(x) gives x back, and ends the script once x reaches 3.
        s.AddMethod("function Stop(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            if (v.AsInteger() >= 3)
                s.Terminate();
            return v;
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Result.rfind("error without", 0), std::string::npos) << direct.Result;
    }
}

// A C-style for loop that counts (x++ or x-- on a plain variable, compared, read in place,
// with a value read in place) compares and steps its counter inline while no host follows
// the lines, and x := x + e, x - e, x * e over untyped integers takes e as a plain integer.
// With a run-line hook set every statement is walked: both runs give the same value of the
// same kind, the same error at the same position and the same trace, for every comparison,
// both directions, a counter or bound changed by the body, a counter or bound that is no
// integer or lies past 32 (or 64) bits, zero and -1 divisors and overflows.
TEST_F(ExpressionTest, CountingLoopsAndIntegerSourcesRunAlikeWithALineHookAndWithout)
{
    struct LoopCase {
        const char* syntax;
        const char* program;
    };
    const LoopCase cases[] = {
        // the comparisons and both directions
        {"JScript", "function Run() { var i, s; s = 0; for (i = 10; i > 0; i--) s = s + i; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 0; i != 7; i++) s = s + 2; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 5; i >= -5; i--) s = s + i % 4; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 1; for (i = 0; i == 0; i++) s = s + 5; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = -3; i < 4; i++) s = s - i * 3; return s * 100 + i; }"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 10; i >= 1; i--) s = s * 2 + i; return s * 100 + i; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 0; i != 9; i++) s = s + i % 4; return s * 100 + i; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 0; i == 0; i++) s = s + 1; return s * 100 + i; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 9; i > 2; i--) s = s + i; return s * 100 + i; } {}"},
        // the body changes the counter or the bound
        {"JScript", "function Run() { var i, s; s = 0; for (i = 0; i < 20; i++) i = i + 2; return i; }"},
        {"JScript", "function Run() { var i, n; n = 20; for (i = 0; i < n; i++) n = n - 1; return n * 100 + i; }"},
        {"C++Script", "int Run() { int i, n; n = 20; for (i = 0; i < n; i++) n = n - 1; return n * 100 + i; } {}"},
        // counters and bounds that are no integers, or past 32 or 64 bits
        {"JScript", "function Run() { var i, s; s = 0; for (i = 0.5; i < 3; i++) s = s + 1; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 0; i < 2.5; i++) s = s + 1; return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s, n; s = 0; n = 5000000000; for (i = 4999999997; i < n; i++) s = s + i % 5;\n"
                    "return s * 100 + i; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 9223372036854775800; i < 9223372036854775807; i++)\n"
                    "s = s + 1; return s * 100 + i % 100; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = StrToInt(\"2147483645\"); i < 2147483650; i++)\n"
                    "s = s + i % 3; Trace(i); return s; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = StrToInt(\"-2147483645\"); i > -2147483650; i--)\n"
                    "s = s + 1; Trace(i); return s; }"},
        {"JScript", "function Run() { var i, s; s = 0; for (i = 2147483645; i < 2147483650; i++) s = s + i % 3;\n"
                    "return s * 100 + i; }"},
        {"C++Script", "int Run() { int i, s, n; s = 0; n = 3000000005; i = 3000000000; for (; i < n; i++) s = s + 1;\n"
                      "return s; } {}"},
        {"C++Script", "int Run() { int i, s; float b; s = 0; b = 3.5; for (i = 0; i < b; i++) s = s + 1;\n"
                      "return s * 100 + i; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = 2147483645; i > 0; i++) s = s + 1; return s; } {}"},
        {"C++Script", "int Run() { int i, s; s = 0; for (i = -2147483646; i < 0; i--) s = s + 1; return s; } {}"},
        // x := x op e over untyped integers: Integer and Int64 values, overflows, divisors 0 and -1,
        // a floating or text target
        {"JScript", "function Run() { var i, s, k; k = StrToInt(\"3\"); s = StrToInt(\"0\"); for (i = 1; i <= 9; i++)\n"
                    "s = s + k * k; Trace(s); return s; }"},
        {"JScript", "function Run() { var i, s; s = 2147483600; for (i = 1; i <= 9; i++) s = s + i * 10; return s; }"},
        {"JScript", "function Run() { var i, s; s = 1; for (i = 1; i <= 70; i++) s = s * (i % 3 + 2); return s; }"},
        {"JScript", "function Run() { var i, s; s = 9223372036854775800; for (i = 1; i <= 9; i++) s = s + i % 7;\n"
                    "return s; }"},
        {"JScript", "function Run() { var i, s; s = -9223372036854775800; for (i = 1; i <= 9; i++) s = s - i * 2;\n"
                    "return s; }"},
        {"JScript", "function Run() { var i, s, k; s = 0; k = 0; for (i = 1; i <= 3; i++) s = s + i % k; return s; }"},
        {"JScript", "function Run() { var i, s, k; s = 0; k = -1; for (i = 1; i <= 3; i++) s = s + i % k; return s; }"},
        {"JScript", "function Run() { var i, s; s = 0.5; for (i = 1; i <= 9; i++) s = s + i % 7; return s; }"},
        // an Integer target with an Int64 source, and an Integer operand with an Int64 one (a
        // literal or a wide variable), give an Int64, as the general walk does
        {"JScript", "function Run() { var i, s; s = StrToInt(\"5\"); for (i = 1; i <= 9; i++) s = s + i % 7;\n"
                    "return s; }"},
        {"JScript", "function Run() { var i, s, k; s = StrToInt(\"5\"); k = 5000000000; for (i = 1; i <= 3; i++)\n"
                    "s = s - i % k; return s; }"},
        {"C++Script", "int Run() { int i; variant s, k; s = StrToInt(\"5\"); k = 3000000002; for (i = 1; i <= 3; i++)\n"
                      "s = s * (k % 3000000000); return s; } {}"},
        {"JScript", "function Run() { var i, s, k, n; s = StrToInt(\"5\"); k = StrToInt(\"3\"); n = 4;\n"
                    "for (i = 1; i <= 3; i++) s = s + k * n; return s; }"},
        {"JScript", "function Run() { var i, s, k, n; s = StrToInt(\"5\"); k = StrToInt(\"7\"); n = 4;\n"
                    "for (i = 1; i <= 3; i++) s = s + k % n; return s; }"},
        {"JScript", "function Run() { var i, s, k; s = StrToInt(\"5\"); k = StrToInt(\"7\");\n"
                    "for (i = 1; i <= 3; i++) s = s - k % 4; return s; }"},
        {"JScript", "function Run() { var i, s, k; s = 0; k = 2.5; for (i = 1; i <= 9; i++) s = s + i * k; return s; }"},
        {"JScript", "function Run() { var i, s; s = \"a\"; for (i = 1; i <= 3; i++) s = s - i % 2; return s; }"},
        {"PascalScript", "function Run: Variant; var i: Integer; v, w: Variant; begin v := 0; w := 5;\n"
                         "for i := 1 to 9 do v := v + w mod 3; w := 3000000000;\n"
                         "for i := 1 to 3 do v := v - w div 7; Result := v; end; begin end."},
        {"BasicScript", "Function Run\nDim i, s\ns = 0\nFor i = 1 To 20\ns = s + i Mod 7\nNext\nReturn s\nEnd Function"},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.program);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            trace += VarTypeAsText(VarType(v)) + " " + VarToStr(v) + ", ";
            return Null();
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Result.rfind("error without", 0), std::string::npos) << direct.Result;
    }
}

// A counting C-style for loop whose body runs code (a host routine, a text append, a call of a
// script routine) compares and steps its counter inline too. The host sees the same run with a
// run-line hook set from the start or not: the counter's value and kind at every pass, the same
// result, and, once a hook is set from inside the body (Hook), every line from there on, the
// counter's step included. Also: break, continue and return in the body, Terminate from a host,
// a counter the body turns into a Double or a text, one that leaves 32 bits, and a global counter
// stepped by a routine the body calls.
TEST_F(ExpressionTest, CountingLoopsWhoseBodyRunsCodeRunAlikeWithALineHookAndWithout)
{
    struct LoopCase {
        const char* syntax;
        const char* program;
    };
    const LoopCase cases[] = {
        {"JScript", "function Run() { var i; for (i = 0; i < 5; i++) Trace(i); return i; }"},
        {"JScript", "function Run() { var i; for (i = 6; i > 0; i--) { Trace(i); if (i == 3) i = i - 0.5; } return i; }"},
        {"JScript", "function Run() { var i; for (i = 0; i < 4; i++) { Trace(i); if (i == 1) i = \"1\"; } return i; }"},
        {"JScript", "function Run() { var i; for (i = 0; i < 9; i++) { if (i == 2) continue; if (i == 6) break;\n"
                    "Trace(i); } return i; }"},
        {"JScript", "function Run() { var i; for (i = 0; i < 9; i++) { Trace(i); if (i == 4) return i * 10; } return -1; }"},
        {"JScript", "function Run() { var i; for (i = 0; i < 9; i++) Trace(Stop(i)); return i; }"},
        {"JScript", "function Run() { var i; for (i = 0; i < 6; i++) { Trace(i); if (i == 2) Hook(); } return i; }"},
        {"JScript", "function Run() { var i; for (i = 2147483646; i < 2147483649; i++) Trace(i); return i; }"},
        {"JScript", "function Run() { var i, s; s = \"\"; for (i = 1; i <= 12; i++) s = s + IntToStr(i); Trace(s);\n"
                    "return s; }"},
        {"JScript", "var g;\nfunction Bump() { g = g + 3; }\n"
                    "function Run() { for (g = 0; g < 20; g++) { Bump(); Trace(g); } return g; }"},
        {"C++Script", "int Run() { int i; for (i = 0; i < 5; i++) Trace(i); return i; } {}"},
        {"C++Script", "int Run() { int i; for (i = 10; i >= 0; i--) { Trace(i); if (i == 7) Hook(); } return i; } {}"},
        {"C++Script", "int Run() { int i; for (i = 2147483645; i > 0; i++) Trace(i); return i; } {}"},
        {"C++Script", "int Run() { int i; for (i = 0; i != 8; i++) { Trace(i); if (i == 3) i = i + 2; } return i; } {}"},
        {"C++Script", "int Run() { int i; for (i = 0; i < 9; i++) { Trace(i); if (i == 5) break; } return i; } {}"},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.program);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            trace += VarTypeAsText(VarType(v)) + " " + VarToStr(v) + ", ";
            return Null();
        });
        // Stop(x) gives x back, and ends the script once x reaches 3.
        s.AddMethod("function Stop(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            if (v.AsInteger() >= 3)
                s.Terminate();
            return v;
        });
        // Hook sets a run-line hook that notes every position from there on.
        s.AddMethod("procedure Hook", [&](TObject*, TClass, const AnsiString&, Variant&) {
            s.OnRunLine = [&](TscScript*, const AnsiString&, const AnsiString& pos) { trace += "@" + pos + " "; };
            return Null();
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_NE(direct.Trace.find(", "), std::string::npos);
        EXPECT_EQ(direct.Result.rfind("error without", 0), std::string::npos) << direct.Result;
    }
}

// Calls of script routines take their own path (the call's shape found once, an Integer
// argument stored as a plain number, any other number tree stored as its number, the
// caller's locals saved aside on a recursive call, one-statement lists run in place, a + of
// two calls joined by the assignment); with a run-line hook set or not, the host sees the same
// run: the same value of the same kind, the same error at the same position, and the same
// values of a routine's locals read and written by name from inside the recursion (Peek
// evaluates a name in the running routine's scope and Poke writes one there, as a host does).
// What each program gives is written beside it.
TEST_F(ExpressionTest, RecursiveCallsRunAlikeWithALineHookAndWithout)
{
    struct CallCase {
        const char* why;
        const char* syntax;
        const char* program;
        const char* result;
        const char* trace;
    };
    const CallCase cases[] = {
        {"Integer recursion", "PascalScript",
         "function Fib(n: Integer): Integer; begin if n < 2 then Result := n\n"
         "else Result := Fib(n - 1) + Fib(n - 2); end;\nfunction Run: Variant; begin Result := Fib(15); end; begin end.",
         "610 (Integer)", ""},
        {"Integer recursion", "C++Script",
         "int Fib(int n) { if (n < 2) return n;\nreturn Fib(n - 1) + Fib(n - 2); } int Run() { return Fib(15); } {}",
         "610 (Integer)", ""},
        {"Variant recursion", "JScript",
         "function Fib(n) { if (n < 2) return n;\nreturn Fib(n - 1) + Fib(n - 2); } function Run() { return Fib(15); }",
         "610 (Int64)", ""},
        {"Integer recursion", "BasicScript",
         "Function Fib(n As Integer) As Integer\nIf n < 2 Then Return n\nReturn Fib(n - 1) + Fib(n - 2)\n"
         "End Function\nFunction Run\nReturn Fib(15)\nEnd Function",
         "610 (Integer)", ""},
        {"an argument computed past 32 bits reaches an Integer parameter as it is", "PascalScript",
         "function Id(n: Integer): Variant; begin Result := n; end;\n"
         "function Run: Variant; var v: Variant; begin v := 3000000000; Result := Id(v + 1); end; begin end.",
         "3000000001 (Int64)", ""},
        {"a Double parameter converts an Integer argument", "PascalScript",
         "function Half(x: Double): Variant; begin Result := x / 2; if x > 1 then Result := Half(x - 1); end;\n"
         "function Run: Variant; begin Result := Half(4); end; begin end.",
         "0,5 (Double)", ""},
        {"a var parameter passed down the recursion", "PascalScript",
         "procedure Count(n: Integer; var acc: Integer); begin if n = 0 then exit; acc := acc + n;\n"
         "Count(n - 1, acc); end;\nfunction Run: Variant; var g: Integer; begin g := 0; Count(10, g); Result := g; end;\n"
         "begin end.",
         "55 (Integer)", ""},
        {"a host reads the locals of each level by name", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n * 10; Trace(Peek('k'));\n"
         "if n > 0 then F(n - 1); Trace(Peek('k') + Peek('n')); Result := k; end;\n"
         "function Run: Variant; begin Result := F(3); end; begin end.",
         "30 (Integer)", "30 20 10 0 0 11 22 33 "},
        {"a host reads the locals of each level by name", "JScript",
         "function F(n) { var k = n * 10; Trace(Peek(\"k\"));\n"
         "if (n > 0) F(n - 1); Trace(Peek(\"k\") + Peek(\"n\")); return k; }\nfunction Run() { return F(3); }",
         "30 (Int64)", "30 20 10 0 0 11 22 33 "},
        {"a host reads the locals of each level by name", "BasicScript",
         "Function F(n As Integer) As Integer\nDim k As Integer\nk = n * 10\nTrace(Peek(\"k\"))\n"
         "If n > 0 Then F(n - 1)\nTrace(Peek(\"k\") + Peek(\"n\"))\nReturn k\nEnd Function\n"
         "Function Run\nReturn F(3)\nEnd Function",
         "30 (Integer)", "30 20 10 0 0 11 22 33 "},
        {"exit at each level", "C++Script",
         "int F(int n) { if (n == 0) return 100; int r; r = F(n - 1) + n; Trace(r); return r; }\n"
         "int Run() { return F(3); } {}",
         "106 (Integer)", "101 103 106 "},
        {"an error deep down caught two levels up: each caller keeps its locals", "PascalScript",
         "function Deep(n: Integer): Integer; var k: Integer; begin k := n * 100;\n"
         "if n = 0 then Result := 1 div n else if n = 2 then begin try Deep(n - 1); except Result := k + n; end;\n"
         "end else Result := Deep(n - 1) + k; Trace(k); end;\nfunction Run: Variant; begin Result := Deep(3); end;\n"
         "begin end.",
         "502 (Integer)", "200 300 "},
        {"an error leaves with the position of its statement", "JScript",
         "function Deep(n) { var k = n; if (n == 0) return 1 div n;\nreturn Deep(n - 1) + k; }\n"
         "function Run() { return Deep(3); }",
         "error at 1:43: Division by zero", ""},
        {"texts and arrays as locals", "PascalScript",
         "function S(n: Integer): String; var t: String; a: array[0..1] of Integer; v: Variant;\n"
         "begin t := 'x' + IntToStr(n); v := t + '!'; a[0] := n; a[1] := n * 2;\n"
         "if n > 0 then S(n - 1); Result := t + v + IntToStr(a[0] + a[1]); Trace(Result); end;\n"
         "function Run: Variant; begin Result := S(2); end; begin end.",
         "x2x2!6 (String)", "x0x0!0 x1x1!3 x2x2!6 "},
        {"a function that never sets its result", "PascalScript",
         "function F(n: Integer): Integer; begin if n > 0 then F(n - 1); end;\n"
         "function Run: Variant; begin Result := F(3); end; begin end.",
         " (Null)", ""},
        {"a function that never sets its result", "JScript",
         "function F(n) { if (n > 0) F(n - 1); }\nfunction Run() { return F(3); }",
         " (Null)", ""},
        {"a host that terminates inside the recursion", "PascalScript",
         "function F(n: Integer): Integer; begin Result := n; if n > 0 then Result := F(n - 1) + Stop(n);\n"
         "Trace(Result); end;\nfunction Run: Variant; begin Result := F(5); end; begin end.",
         "15 (Int64)", "0 1 3 "},
        {"a host that terminates inside the recursion", "C++Script",
         "int F(int n) { if (n == 0) return 0; int r; r = F(n - 1) + Stop(n); Trace(r); return r; }\n"
         "int Run() { return F(5); } {}",
         " (Null)", "1 3 "},
        {"two calls joined: read in order, each seeing what the one before changed", "PascalScript",
         "var g: Integer;\nfunction A: Integer; begin g := g * 10 + 1; Result := g; end;\n"
         "function B: Integer; begin g := g * 10 + 2; Result := g; end;\n"
         "function Run: Variant; var r: Integer; begin g := 0; r := A + B; Result := r; end; begin end.",
         "13 (Integer)", ""},
        {"two calls joined as texts", "BasicScript",
         "Function S(x)\nReturn \"<\" & x & \">\"\nEnd Function\n"
         "Function Run\nDim r\nr = S(1) & S(2)\nReturn r\nEnd Function",
         "<1><2> (String)", ""},
        {"a text and a number from two calls", "JScript",
         "function T() { return \"a\"; } function N() { return 5; }\n"
         "function Run() { var r; r = T() + N(); return r; }",
         "error at 2:25: Could not convert variant of type (String) into type (Double)", ""},
        {"Integer results of two calls wrap at 32 bits", "PascalScript",
         "function Big(n: Integer): Integer; begin Result := n; end;\n"
         "function Run: Variant; var r: Integer; begin r := Big(2147483647) + Big(1); Result := r; end; begin end.",
         "-2147483648 (Integer)", ""},
        {"an error in the second call of a join", "JScript",
         "function Bad(n) { return 1 div n; }\nfunction Run() { var r; r = Bad(1) + Bad(0); return r; }",
         "error at 1:19: Division by zero", ""},
        {"two Int64 results whose sum overflows", "JScript",
         "function Big(n) { return n; }\n"
         "function Run() { var r; r = Big(9223372036854775807) + Big(1); return r; }",
         "9,22337203685478E18 (Double)", ""},
        {"an Integer and an Int64 result joined", "PascalScript",
         "function A: Integer; begin Result := 2147483647; end; function B: Variant; begin Result := 3000000000; end;\n"
         "function Run: Variant; var r: Variant; begin r := A + B; Result := r; end; begin end.",
         "5147483647 (Int64)", ""},
        // The sum of two calls goes into the target in place of what it held: a text, a
        // Double, an Integer, each let go as an assignment lets it go.
        {"two calls joined into a variable holding a text or a Double", "PascalScript",
         "function F(n: Integer): Integer; begin Result := n; end;\nfunction G(n: Variant): Variant; begin Result := n; end;\n"
         "function Run: Variant; var r: Variant; d: Double; begin r := 'text'; r := F(1) + F(2); Trace(r); r := 2.5;\n"
         "r := F(2147483647) + F(1); Trace(r); r := 'x'; r := G(3000000000) + G(5); Trace(r); d := 0.5;\n"
         "d := F(2) + F(3); Trace(d); Result := r; end; begin end.",
         "3000000005 (Int64)", "3 -2147483648 3000000005 5 "},
        {"two calls joined into a variable holding a text or a Double", "JScript",
         "function F(n) { return n; }\nfunction Run() { var r = \"text\"; r = F(1) + F(2); Trace(r); r = 2.5;\n"
         "r = F(9223372036854775807) + F(1); Trace(r); r = \"x\"; r = F(2147483647) + F(1); Trace(r); return r; }",
         "2147483648 (Int64)", "3 9,22337203685478E18 2147483648 "},
        // A number tree passed to a parameter that keeps what it is given: stored as the
        // number it computes, or as the general value where it is not a number.
        {"a number tree over a text passed on", "JScript",
         "function Id(x) { return x; }\nfunction Run() { var t = \"4\"; return Id(t - 1); }",
         "3 (Double)", ""},
        {"a number tree past 64 bits passed on", "JScript",
         "function Id(x) { return x; }\nfunction Run() { var v = 9223372036854775806; return Id(v * 2); }",
         "1,84467440737096E19 (Double)", ""},
        {"a parameter holding a text given a number down the recursion", "JScript",
         "var d; function G(x) { d = d + 1; if (d == 1) return x + IntToStr(G(2 - 1)); return x; }\n"
         "function Run() { d = 0; return G(\"s\"); }",
         "s1 (String)", ""},
        {"a Double number tree passed to a Variant parameter", "BasicScript",
         "Function H(x)\nIf x > 1 Then Return H(x / 2)\nReturn x\nEnd Function\nFunction Run\nReturn H(5)\nEnd Function",
         "0,625 (Double)", ""},
        {"one argument to a routine with an optional second parameter", "PascalScript",
         "function F(n: Integer; k: Integer = 10): Integer; begin if n = 0 then Result := k\n"
         "else Result := F(n - 1) + F(n - 1, n); end;\nfunction Run: Variant; begin Result := F(3); end; begin end.",
         "44 (Integer)", ""},
        // return e stores and exits in one step: in every position it can stand.
        {"return inside a loop's branch and after the loop", "C++Script",
         "int F(int n) { int i; for (i = 0; i < 10; i++) { if (i == n) return i * 2; } return -1; }\n"
         "int Run() { return F(3) * 100 + F(20); } {}",
         "599 (Integer)", ""},
        {"return as a loop's whole body", "JScript",
         "function F(n) { while (n > 0) return n * 3; return 7; }\nfunction Run() { return F(4) * 100 + F(0); }",
         "1207 (Int64)", ""},
        {"return inside a loop", "BasicScript",
         "Function F(n As Integer) As Integer\nDim i As Integer\nFor i = 1 To 10\nIf i = n Then Return i * 2\n"
         "Next\nReturn -1\nEnd Function\nFunction Run\nReturn F(4) * 100 + F(20)\nEnd Function",
         "799 (Integer)", ""},
        {"return inside try with finally: the finally part runs", "JScript",
         "function F(n) { try { Trace(n); return n + 1; } finally { Trace(-n); } return 0; }\n"
         "function Run() { return F(5); }",
         "6 (Int64)", "5 -5 "},
        {"return of a value that fails inside try with except", "JScript",
         "function F(n) { try { return 10 div n; } except { Trace(n); } return -1; }\n"
         "function Run() { return F(0) * 100 + F(5); }",
         "-98 (Int64)", "0 "},
        {"return without a value", "C++Script",
         "int g; void P(int n) { if (n > 0) { Trace(n); return; } Trace(0); }\n"
         "int Run() { P(2); P(0); return 1; } {}",
         "1 (Int64)", "2 0 "},
        {"return without a value", "BasicScript",
         "Sub P(n)\nIf n > 0 Then\nTrace(n)\nReturn\nEnd If\nTrace(0)\nEnd Sub\n"
         "Function Run\nP(2)\nP(0)\nReturn 1\nEnd Function",
         "1 (Int64)", "2 0 "},
        {"a host reads locals by name inside the returned value", "JScript",
         "function F(n) { var k = n * 10; if (n > 0) return F(n - 1) + Peek(\"k\"); return Peek(\"n\"); }\n"
         "function Run() { return F(2); }",
         "30 (Int64)", ""},
        {"a host reads locals by name inside the returned value", "BasicScript",
         "Function F(n As Integer)\nDim k As Integer\nk = n * 10\nIf n > 0 Then Return F(n - 1) + Peek(\"k\")\n"
         "Return Peek(\"n\")\nEnd Function\nFunction Run\nReturn F(2)\nEnd Function",
         "30 (Integer)", ""},
        {"a host that terminates inside a returned value", "C++Script",
         "int F(int n) { if (n == 0) return 0; return F(n - 1) + Stop(n); Trace(n); }\n"
         "int Run() { return F(5); } {}",
         "15 (Int64)", ""},
        {"return in a function called from a returned value", "JScript",
         "function Sq(x) { return x * x; }\nfunction F(n) { if (n == 0) return 0; return Sq(n) + F(n - 1); }\n"
         "function Run() { return F(4); }",
         "30 (Int64)", ""},
        // A host that stops and restarts being the main script while routines run (as a report
        // does around its expressions): a routine called afterwards, even one that ran before,
        // becomes the scope a host reads names in only while its script is a main one again.
        {"the main script changes while routines run", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n; Trace(Peek('k'));\n"
         "if n > 4 then F(n - 4); Result := k; end;\n"
         "function G: Integer; var k: Integer; begin k := 100; Result := F(5); Main(False); Result := Result + F(1);\n"
         "Main(True); Result := Result + F(2); end;\nfunction Run: Variant; begin Result := G; end; begin end.",
         "8 (Integer)", "5 1 100 2 "},
        {"the main script changes while routines run", "JScript",
         "function F(n) { var k = n; Trace(Peek(\"k\")); if (n > 4) F(n - 4); return k; }\n"
         "function G() { var k = 100; var r = F(5); Main(false); r = r + F(1); Main(true); return r + F(2); }\n"
         "function Run() { return G(); }",
         "8 (Int64)", "5 1 100 2 "},
        {"the main script changes inside a recursion", "BasicScript",
         "Function F(n)\nDim k\nk = n\nIf n = 2 Then Main(False)\nIf n = 1 Then Main(True)\nTrace(Peek(\"k\"))\n"
         "If n > 0 Then F(n - 1)\nReturn k\nEnd Function\n"
         "Function G\nDim k\nk = 100\nReturn F(3)\nEnd Function\nFunction Run\nReturn G()\nEnd Function",
         "3 (Int64)", "3 2 1 0 "},
        {"runaway recursion stops with the engine's error", "PascalScript",
         "function F(n: Integer): Integer; begin\nResult := F(n + 1); end;\n"
         "function Run: Variant; begin Result := F(0); end; begin end.",
         "", ""},
        {"runaway recursion stops with the engine's error", "BasicScript",
         "Function F(n)\nReturn F(n + 1)\nEnd Function\nFunction Run\nReturn F(0)\nEnd Function",
         "", ""},
        // Poke writes a name in the running routine's scope, as a host does: each level sees
        // what was written into its own locals and parameters, before and after the calls
        // below it.
        {"a host writes the locals of each level by name", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n; Poke('k', n * 100); Trace(k);\n"
         "if n > 0 then Result := F(n - 1) + k else Result := 0; Poke('n', 7); Trace(n); Trace(Peek('k')); end;\n"
         "function Run: Variant; begin Result := F(3); end; begin end.",
         "600 (Integer)", "300 200 100 0 7 0 7 100 7 200 7 300 "},
        {"a host writes the locals of each level by name", "JScript",
         "function F(n) { var k = n; Poke(\"k\", n * 100); Trace(k); var r = 0; if (n > 0) r = F(n - 1) + k;\n"
         "Poke(\"n\", 7); Trace(n); return r; }\nfunction Run() { return F(3); }",
         "600 (Int64)", "300 200 100 0 7 7 7 7 "},
        {"a host writes a parameter with what the call below gave", "C++Script",
         "int F(int n) { int k; k = n; Poke(\"k\", k * 100); if (n > 0) { Poke(\"n\", F(n - 1)); } Trace(k);\n"
         "return n + k; }\nint Run() { return F(3); } {}",
         "600 (Integer)", "0 100 200 300 "},
        {"a host writes a parameter with what the call below gave", "BasicScript",
         "Function F(n As Integer) As Integer\nDim k As Integer\nk = n\nPoke(\"k\", n * 100)\nIf n > 0 Then\n"
         "Poke(\"n\", F(n - 1))\nEnd If\nTrace(Peek(\"k\"))\nReturn n + k\nEnd Function\n"
         "Function Run\nReturn F(3)\nEnd Function",
         "600 (Integer)", "0 100 200 300 "},
        {"a host adds a variable to the running routine's scope inside the recursion", "PascalScript",
         "function F(n: Integer): Integer; begin Poke('zz', n * 10);\n"
         "if n > 0 then Result := F(n - 1) + Peek('zz') else Result := 0; Trace(Peek('zz')); end;\n"
         "function Run: Variant; begin Result := F(3) + F(2); end; begin end.",
         "90 (Integer)", "0 10 20 30 0 10 20 "},
        {"exit inside a loop inside try with finally at each level", "PascalScript",
         "function F(n: Integer): Integer; var k, i: Integer; begin k := n * 10; Result := 0;\n"
         "for i := 1 to 3 do begin try if i = 2 then begin if n > 0 then Result := F(n - 1) + k; Trace(k); exit; end;\n"
         "finally Trace(-k); end; end; Result := -1; end;\nfunction Run: Variant; begin Result := F(2); end; begin end.",
         "30 (Integer)", "-20 -10 0 0 0 10 -10 20 -20 "},
        {"return from inside nested loops at each level", "JScript",
         "function F(n) { var k = n * 10; var i; for (i = 0; i < 5; i++) { while (true) { if (i == 1) {\n"
         "if (n > 0) return F(n - 1) + k; return k; } break; } } return -1; }\nfunction Run() { return F(3); }",
         "60 (Int64)", ""},
        // A call starts with the values its routine's locals hold at that moment: the level
        // that called it, or the last call that ended (G(-5) sets them for each run).
        {"a call starts with the values its routine's locals hold", "PascalScript",
         "function G(n: Integer): Integer; var k: Integer; begin if n >= 0 then Trace(k); k := n;\n"
         "if n > 0 then G(n - 1); Result := k; end;\nfunction H(n: Integer): Integer; begin if n > 0 then begin\n"
         "Result := n * 10; H(n - 1); end; end;\n"
         "function Run: Variant; begin G(-5); Result := G(3) + H(2) * 1000; Trace(G(2)); end; begin end.",
         "20003 (Integer)", "-5 3 2 1 3 2 1 2 "},
        {"a call starts with the values its routine's locals hold", "JScript",
         "function G(n) { var k; if (n >= 0) Trace(k); k = n; if (n > 0) G(n - 1); return k; }\n"
         "function Run() { G(-5); var r = G(3); Trace(G(2)); return r; }",
         "3 (Int64)", "-5 3 2 1 3 2 1 2 "},
        {"a call starts with the values its routine's locals hold", "C++Script",
         "int G(int n) { int k; if (n >= 0) Trace(k); k = n; if (n > 0) G(n - 1); return k; }\n"
         "int Run() { G(-5); Trace(G(3)); return G(2); } {}",
         "2 (Int64)", "-5 3 2 1 3 3 2 1 "},
        {"a call starts with the values its routine's locals hold", "BasicScript",
         "Function G(n As Integer) As Integer\nDim k As Integer\nIf n >= 0 Then Trace(k)\nk = n\n"
         "If n > 0 Then G(n - 1)\nReturn k\nEnd Function\n"
         "Function Run\nDim r\nG(-5)\nr = G(3)\nTrace(G(2))\nReturn r\nEnd Function",
         "3 (Int64)", "-5 3 2 1 3 2 1 2 "},
        // A thousand levels, each keeping a local across the call below it.
        {"a thousand levels deep", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n mod 7; if n = 0 then Result := 0\n"
         "else Result := F(n - 1) + k; end;\nfunction Run: Variant; begin Result := F(1000); end; begin end.",
         "3003 (Integer)", ""},
        {"a thousand levels deep", "C++Script",
         "int F(int n) { int k; k = n % 7; if (n == 0) return 0; return F(n - 1) + k; }\n"
         "int Run() { return F(1000); } {}",
         "3003 (Integer)", ""},
        {"a thousand levels deep", "JScript",
         "function F(n) { var k = n % 7; if (n == 0) return 0; return F(n - 1) + k; }\n"
         "function Run() { return F(1000); }",
         "3003 (Int64)", ""},
        {"a thousand levels deep", "BasicScript",
         "Function F(n As Integer) As Integer\nDim k As Integer\nk = n Mod 7\nIf n = 0 Then Return 0\n"
         "Return F(n - 1) + k\nEnd Function\nFunction Run\nReturn F(1000)\nEnd Function",
         "3003 (Integer)", ""},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(std::string(c.syntax) + ", " + c.why);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            trace += VarToStr(VarArrayGet(p, {0})) + " ";
            return Null();
        });
        s.AddMethod("function Peek(Name: String): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            return s.Evaluate(VarToStr(VarArrayGet(p, {0})));
        });
        // Stop(x) gives x back, and ends the script once x reaches 3.
        s.AddMethod("function Stop(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            if (v.AsInteger() >= 3)
                s.Terminate();
            return v;
        });
        s.AddMethod("procedure Main(Value: Boolean)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            s.IsMainScript = VarArrayGet(p, {0}).AsBoolean();
            return Null();
        });
        // Poke(name, v) writes a name in the running routine's scope (a missing one is added).
        s.AddMethod("procedure Poke(Name: String; Value: Variant)", [&](TObject*, TClass, const AnsiString&,
                                                                         Variant& p) {
            TscScript* scope = s.CurrentScope ? s.CurrentScope : &s;
            scope->SetVariables(VarToStr(VarArrayGet(p, {0})), VarArrayGet(p, {1}));
            return Null();
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        s.Execute(); // the main part is empty; a running routine is now the script's scope
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        if (*c.result)
            EXPECT_EQ(direct.Result, c.result);
        else
            EXPECT_NE(direct.Result.find(scMessage(TscMessageId::SCallTooDeep).substr(0, 10)), std::string::npos)
                << direct.Result;
        EXPECT_EQ(direct.Trace, c.trace);
    }
}

namespace {

// A run of Run in a script of its own, with a run-line hook or without; beside the result, what
// a host reads by name afterwards in every routine's scope: each local and parameter with its
// value and kind, and whether the routine F ran compactly.
struct LookedRun {
    std::string Result;
    std::string Trace;
    std::string Locals;
    bool Compact = false;
};

LookedRun RunAndLook(const char* syntax, const char* program, bool hook)
{
    LookedRun r;
    TscScript s(nullptr);
    s.Parent = scGlobalUnit();
    s.SyntaxType = syntax;
    s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        r.Trace += VarToStr(VarArrayGet(p, {0})) + " ";
        return Null();
    });
    s.AddMethod("function Stop(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        s.Terminate();
        return VarArrayGet(p, {0});
    });
    // Sets a run-line hook that traces each line's position.
    s.AddMethod("function Follow(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        s.OnRunLine = TscRunLineEvent(
            [&r](TscScript*, const AnsiString&, const AnsiString& pos) { r.Trace += "@" + pos + " "; });
        return VarArrayGet(p, {0});
    });
    s.Lines()->SetText(program);
    if (!s.Compile()) {
        r.Result = "compile error " + s.ErrorPos + " " + s.ErrorText;
        return r;
    }
    s.Execute();
    const LoopRun run = RunLoop(s, hook);
    r.Result = run.Result;
    for (int i = 0; i < s.Count(); ++i) {
        auto* proc = dynamic_cast<TscProcVariable*>(s.GetItem(i));
        if (!proc)
            continue;
        TscScript* local = proc->LocalScript();
        for (int j = 0; j < local->Count(); ++j) {
            const std::type_info& t = typeid(*local->GetItem(j));
            if (t != typeid(TscVariable) && t != typeid(TscParamItem))
                continue;
            const Variant v = local->GetVariables(local->GetItemName(j));
            r.Locals += std::string(proc->Name) + "." + local->GetItemName(j) + "=" + VarToStr(v) + " (" +
                        VarTypeAsText(VarType(v)) + ") ";
        }
        if (proc->Name == "F" || proc->Name == "f")
            r.Compact = proc->CompactBody() != nullptr;
    }
    return r;
}

} // namespace

// A routine whose body is number code only runs its calls compactly while no run-line hook is
// set (no scope switch, its steps walked from an array); with a hook the general path runs it.
// The two give the same value of the same kind, the same error at the same position, and
// leave the same values in every routine's locals and parameters, read by name afterwards:
// recursion of every shape the compact call takes (a + of two calls, exit and return inside
// nested blocks, the result given and read back, x op= e, a routine calling another
// compact one, Double and Variant parameters, a text argument, five parameters, which every call
// leaves to the general path, also when a compact routine adds calls of five and six) and shapes it declines (a var parameter, mutual recursion, a text
// variable), an overflow and a zero divisor deep in the
// recursion, the depth limit, and a host that terminates the script before a compact call.
TEST_F(ExpressionTest, CompactCallsLeaveWhatTheGeneralPathLeaves)
{
    struct CompactCase {
        const char* why;
        const char* syntax;
        const char* program;
        const char* result; // empty: the depth limit's error
        bool compact;
    };
    const CompactCase cases[] = {
        {"fib", "PascalScript",
         "function F(n: Integer): Integer; begin if n < 2 then Result := n else Result := F(n - 1) + F(n - 2); end;\n"
         "function Run: Variant; begin Result := F(12); end; begin end.",
         "144 (Integer)", true},
        {"fib", "C++Script",
         "int F(int n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nint Run() { return F(12); } {}",
         "144 (Integer)", true},
        {"fib", "JScript",
         "function F(n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nfunction Run() { return F(12); }",
         "144 (Int64)", true},
        {"fib", "BasicScript",
         "Function F(n As Integer) As Integer\nIf n < 2 Then Return n\nReturn F(n - 1) + F(n - 2)\nEnd Function\n"
         "Function Run\nReturn F(12)\nEnd Function",
         "144 (Integer)", true},
        {"the result given and read back", "PascalScript",
         "function F(n: Integer): Integer; begin Result := n; if n > 1 then Result := Result * F(n - 1); end;\n"
         "function Run: Variant; begin Result := F(10); end; begin end.",
         "3628800 (Integer)", true},
        {"exit inside nested blocks", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n * 2; if n > 1 then begin if n > 3 then\n"
         "begin Result := F(n - 1) + F(n - 2); exit; end; k := k + 100; end; Result := k; end;\n"
         "function Run: Variant; begin Result := F(9); end; begin end.",
         "2210 (Integer)", true},
        {"return inside nested blocks", "JScript",
         "function F(n) { var k = n * 3; if (n > 2) { if (n > 4) { return F(n - 1) + F(n - 3); } k = k + 1; }\n"
         "return k; }\nfunction Run() { return F(11); }",
         "193 (Int64)", true},
        {"x op= e and locals kept across the call below", "C++Script",
         "int F(int n) { int k; k = 1; k += n * 2; k *= 3; if (n == 0) return k; return F(n - 1) + k; }\n"
         "int Run() { return F(20); } {}",
         "1323 (Integer)", true},
        {"a local read before it is written starts with what it held", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin if n > 0 then Result := k + F(n - 1)\n"
         "else Result := 0; k := n; end;\nfunction Run: Variant; begin Result := F(3) * 100 + F(3); end; begin end.",
         "9 (Integer)", true},
        {"a compact routine calling another one", "PascalScript",
         "function Sq(x: Integer): Integer; begin Result := x * x; end;\n"
         "function F(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := Sq(n) + F(n - 1); end;\n"
         "function Run: Variant; begin Result := F(6); end; begin end.",
         "91 (Integer)", true},
        {"Double parameters", "C++Script",
         "float F(float x) { if (x < 1) return x; return F(x / 2) + F(x / 3); }\nfloat Run() { return F(10); } {}",
         "5,5787037037037 (Double)", true},
        {"a text given to a Variant parameter", "JScript",
         "function F(n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nfunction Run() { return F(\"9\"); }",
         "34 (Double)", true},
        {"Integer results wrap in the sum of two calls", "PascalScript",
         "function F(n: Integer): Integer; begin if n = 0 then Result := 2000000000 else Result := F(n - 1) + F(n - 1);\n"
         "end;\nfunction Run: Variant; begin Result := F(3); end; begin end.",
         "-1179869184 (Integer)", true},
        {"two parameters and an Int64 overflow deep down", "JScript",
         "function F(n, x) { if (n == 0) return x; return F(n - 1, x) + F(n - 1, x); }\n"
         "function Run() { return F(3, 9223372036854775807); }",
         "7,37869762948382E19 (Double)", true},
        {"an Int64 overflow deep down", "BasicScript",
         "Function F(n)\nIf n = 0 Then Return 9223372036854775807\nReturn F(n - 1) + F(n - 1)\nEnd Function\n"
         "Function Run\nReturn F(2)\nEnd Function",
         "3,68934881474191E19 (Double)", true},
        {"a zero divisor deep down", "JScript",
         "function F(n) { var k = n * 2; if (n == 0) return 10 div n; return F(n - 1) + k; }\n"
         "function Run() { return F(50); }",
         "error at 1:44: Division by zero", true},
        {"a zero divisor deep down", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n + 7;\nif n = 0 then Result := k div n else\n"
         "Result := F(n - 1) + F(0); end;\nfunction Run: Variant; begin Result := F(40); end; begin end.",
         "error at 2:15: Division by zero", true},
        {"a zero divisor deep down", "BasicScript",
         "Function F(n As Integer) As Integer\nDim k As Integer\nk = n * 3\nIf n = 0 Then Return k Mod n\n"
         "Return F(n - 1) + F(n - 1)\nEnd Function\nFunction Run\nReturn F(8)\nEnd Function",
         "error at 4:15: Division by zero", true},
        {"the depth limit", "JScript",
         "function F(n) { return F(n + 1) + F(n); }\nfunction Run() { return F(0); }", "", true},
        {"the depth limit", "C++Script",
         "int F(int n) { int k; k = n; return F(n + 1); }\nint Run() { return F(0); } {}", "", true},
        {"a host terminates the script before a compact call", "PascalScript",
         "function F(n: Integer): Integer; begin if n < 2 then Result := n else Result := F(n - 1) + F(n - 2); end;\n"
         "function Run: Variant; var r: Integer; begin r := Stop(1) + F(8); Trace(r); Result := r; end; begin end.",
         " (Null)", true},
        {"five parameters: every call takes the general path", "JScript",
         "function F(a, b, c, d, e) { if (a <= 0) return b + c * 2 + d * 3 + e;\n"
         "return F(a - 1, b + 1, c, d, e) + F(a - 2, b, c + 1, d, e - 1); }\nfunction Run() { return F(6, 0, 0, 1, 5); }",
         "264 (Int64)", true},
        {"a + of calls of five and six parameters inside a compact routine", "PascalScript",
         "function G5(a, b, c, d, e: Integer): Integer; begin Result := a + b * 2 + c * 3 + d * 4 + e * 5; end;\n"
         "function G6(a, b, c, d, e, h: Integer): Integer; begin Result := a - b + c - d + e - h; end;\n"
         "function F(n: Integer): Integer; var k: Integer; begin if n < 1 then Result := 0 else begin\n"
         "k := G5(n, 1, 2, 3, 4) + G6(n, n, 1, 2, 3, 4); Result := G6(k, 1, 2, 3, 4, 5) + F(n - 1); end; end;\n"
         "function Run: Variant; begin Result := F(20); end; begin end.",
         "910 (Integer)", true},
        {"a + of calls of five and six parameters inside a compact routine", "C++Script",
         "int G5(int a, int b, int c, int d, int e) { return a + b * 2 + c * 3 + d * 4 + e * 5; }\n"
         "int G6(int a, int b, int c, int d, int e, int h) { return a - b + c - d + e - h; }\n"
         "int F(int n) { int k; if (n < 1) return 0; k = G5(n, 1, 2, 3, 4) + G6(n, n, 1, 2, 3, 4);\n"
         "return G6(k, 1, 2, 3, 4, 5) + F(n - 1); }\nint Run() { return F(20); } {}",
         "910 (Integer)", true},
        {"a + of calls of five and six parameters inside a compact routine", "JScript",
         "function G5(a, b, c, d, e) { return a + b * 2 + c * 3 + d * 4 + e * 5; }\n"
         "function G6(a, b, c, d, e, h) { return a - b + c - d + e - h; }\n"
         "function F(n) { var k; if (n < 1) return 0; k = G5(n, 1, 2, 3, 4) + G6(n, n, 1, 2, 3, 4);\n"
         "return G6(k, 1, 2, 3, 4, 5) + F(n - 1); }\nfunction Run() { return F(20); }",
         "910 (Int64)", true},
        {"a + of calls of five and six parameters inside a compact routine", "BasicScript",
         "Function G5(a As Integer, b As Integer, c As Integer, d As Integer, e As Integer) As Integer\n"
         "Return a + b * 2 + c * 3 + d * 4 + e * 5\nEnd Function\n"
         "Function G6(a As Integer, b As Integer, c As Integer, d As Integer, e As Integer, h As Integer) As Integer\n"
         "Return a - b + c - d + e - h\nEnd Function\n"
         "Function F(n As Integer) As Integer\nDim k As Integer\nIf n < 1 Then Return 0\n"
         "k = G5(n, 1, 2, 3, 4) + G6(n, n, 1, 2, 3, 4)\nReturn G6(k, 1, 2, 3, 4, 5) + F(n - 1)\nEnd Function\n"
         "Function Run\nReturn F(20)\nEnd Function",
         "910 (Integer)", true},
        {"an if without else passed over, statements after it", "PascalScript",
         "function F(n: Integer): Integer; var k: Integer; begin k := n; if n > 100 then k := 0; k := k * 2;\n"
         "if n < 2 then Result := k else Result := F(n - 1) + F(n - 2) + k; end;\n"
         "function Run: Variant; begin Result := F(10); end; begin end.",
         "728 (Integer)", true},
        {"an if without else passed over, statements after it", "C++Script",
         "int F(int n) { int k; k = n; if (n > 100) k = 0; k = k * 2; if (n < 2) return k;\n"
         "return F(n - 1) + F(n - 2) + k; }\nint Run() { return F(10); } {}",
         "728 (Integer)", true},
        {"an if without else passed over, statements after it", "JScript",
         "function F(n) { var k = n; if (n > 100) k = 0; k = k * 2; if (n < 2) return k;\n"
         "return F(n - 1) + F(n - 2) + k; }\nfunction Run() { return F(10); }",
         "728 (Int64)", true},
        {"an if without else passed over, statements after it", "BasicScript",
         "Function F(n As Integer) As Integer\nDim k As Integer\nk = n\nIf n > 100 Then k = 0\nk = k * 2\n"
         "If n < 2 Then Return k\nReturn F(n - 1) + F(n - 2) + k\nEnd Function\n"
         "Function Run\nReturn F(10)\nEnd Function",
         "728 (Integer)", true},
        {"a frame of six values, each read after the calls", "PascalScript",
         "function F(n: Integer): Integer; var a, b, c, d: Integer; begin a := n; b := n * 2; c := n * 3; d := n * 4;\n"
         "Result := a + b - c + d; if n >= 2 then begin Result := F(n - 1) + Result;\n"
         "Result := F(n - 2) + Result + a + b - c + d; end; end;\nfunction Run: Variant; begin Result := F(10); end; begin end.",
         "2692 (Integer)", true},
        {"a frame of seven values, each read after the calls", "JScript",
         "function F(n) { var a = n; var b = n * 2; var c = n * 3; var d = n * 4; var e = n * 5;\n"
         "if (n < 2) return n; var r = F(n - 1) + F(n - 2); return r + a + b - c + d - e; }\n"
         "function Run() { return F(12); }",
         "-684 (Int64)", true},
        {"a var parameter declines", "PascalScript",
         "procedure F(n: Integer; var acc: Integer); begin if n = 0 then exit; acc := acc + n; F(n - 1, acc); end;\n"
         "function Run: Variant; var g: Integer; begin g := 0; F(10, g); Result := g; end; begin end.",
         "55 (Integer)", false},
        {"mutual recursion declines", "JScript",
         "function G(n) { if (n == 0) return 1; return F(n - 1); }\nfunction F(n) { if (n == 0) return 0; return G(n - 1); }\n"
         "function Run() { return F(7) * 10 + G(7); }",
         "10 (Int64)", false},
        {"a text variable declines", "PascalScript",
         "function F(n: Integer): Integer; var t: String; begin t := 'x'; if n < 2 then Result := n else\n"
         "Result := F(n - 1) + F(n - 2); end;\nfunction Run: Variant; begin Result := F(10); end; begin end.",
         "55 (Integer)", false},
    };
    for (const CompactCase& c : cases) {
        SCOPED_TRACE(std::string(c.syntax) + ", " + c.why);
        const LookedRun direct = RunAndLook(c.syntax, c.program, false);
        const LookedRun walked = RunAndLook(c.syntax, c.program, true);
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Locals, walked.Locals);
        EXPECT_EQ(direct.Compact, c.compact);
        if (*c.result)
            EXPECT_EQ(direct.Result, c.result);
        else
            EXPECT_NE(direct.Result.find(scMessage(TscMessageId::SCallTooDeep).substr(0, 10)), std::string::npos)
                << direct.Result;
    }
}

// A host that an argument of a number routine's call calls may set a run-line hook: the
// call's body then gives it every line, as it does when the hook was there before the call.
TEST_F(ExpressionTest, AHookSetWhileTheArgumentsAreComputedFollowsTheBody)
{
    struct HookCase {
        const char* syntax;
        const char* program;
        const char* trace;
    };
    const HookCase cases[] = {
        {"PascalScript",
         "function F(n: Integer): Integer; begin if n < 2 then Result := n else Result := F(n - 1) + F(n - 2); end;\n"
         "function Run: Variant; begin Result := F(Follow(3)); end; begin end.",
         "@1:40 @1:71 @1:40 @1:71 @1:40 @1:54 @1:40 @1:54 @1:40 @1:54 "},
        {"C++Script",
         "int F(int n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nint Run() { return F(Follow(2)); } {}",
         "@1:16 @1:37 @1:16 @1:27 @1:16 @1:27 "},
        {"JScript",
         "function F(n, m) { if (n < 2) return n + m; return F(n - 1, m) + F(n - 2, m); }\n"
         "function Run() { return F(Follow(2), 1); }",
         "@1:20 @1:45 @1:20 @1:31 @1:20 @1:31 "},
        {"BasicScript",
         "Function F(n As Integer) As Integer\nIf n < 2 Then Return n\nReturn F(n - 1) + F(n - 2)\nEnd Function\n"
         "Function Run\nReturn F(Follow(2))\nEnd Function",
         "@2:1 @3:1 @2:1 @2:15 @2:1 @2:15 "},
    };
    for (const HookCase& c : cases) {
        SCOPED_TRACE(c.syntax);
        const LookedRun direct = RunAndLook(c.syntax, c.program, false);
        const LookedRun walked = RunAndLook(c.syntax, c.program, true);
        EXPECT_TRUE(direct.Compact);
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Locals, walked.Locals);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Trace, c.trace);
    }
}

namespace {

// Random recursive routines of number code in each syntax, for the test below: F(n, m) with a
// local k, a leaf, a branch that joins two calls and one that passes a computed argument on.
class NumberProgramMaker {
public:
    explicit NumberProgramMaker(unsigned seed) : FRng(seed) {}

    std::string Make(const std::string& syntax)
    {
        FSyntax = syntax;
        const bool typed = Pick(2) == 0; // pas and vb: Integer or Variant locals
        const std::string e1 = Expr(2, true), e2 = Expr(2, false), c1 = Cond(), e3 = Expr(1, true),
                          e4 = Expr(1, true), e5 = Expr(1, true), e6 = Expr(2, true), e7 = Expr(1, true);
        const std::string run = std::to_string(3 + Pick(7)) + ", " + Atom();
        if (syntax == "PascalScript") {
            const std::string t = typed ? "Integer" : "Variant";
            return "function F(n, m: " + t + "): " + t + "; var k: " + t + "; begin k := " + e1 + ";\n" +
                   "if n <= 0 then begin Result := " + e2 + "; exit; end;\nif " + c1 + " then begin k := k + " + e3 +
                   "; Result := F(n - 1, " + e4 + ") + F(n - 2, " + e5 + "); end\nelse Result := " + e6 +
                   " + F(n - 1, k - " + e7 + ");\nend;\nfunction Run: Variant; begin Result := F(" + run +
                   "); end; begin end.";
        }
        if (syntax == "BasicScript") {
            const std::string t = typed ? " As Integer" : "";
            return "Function F(n" + t + ", m" + t + ")" + t + "\nDim k" + t + "\nk = " + e1 + "\nIf n <= 0 Then Return " +
                   e2 + "\nIf " + c1 + " Then\nk = k + " + e3 + "\nReturn F(n - 1, " + e4 + ") + F(n - 2, " + e5 +
                   ")\nEnd If\nReturn " + e6 + " + F(n - 1, k - " + e7 + ")\nEnd Function\nFunction Run\nReturn F(" +
                   run + ")\nEnd Function";
        }
        const bool cpp = syntax == "C++Script";
        return std::string(cpp ? "int F(int n, int m) { int k; k = " : "function F(n, m) { var k; k = ") + e1 +
               ";\nif (n <= 0) return " + e2 + ";\nif (" + c1 + ") { k = k + " + e3 + "; return F(n - 1, " + e4 +
               ") + F(n - 2, " + e5 + "); }\nreturn " + e6 + " + F(n - 1, k - " + e7 + "); }\n" +
               (cpp ? "int Run() { return F(" + run + "); } {}" : "function Run() { return F(" + run + "); }");
    }

private:
    int Pick(int n) { return static_cast<int>(FRng() % static_cast<unsigned>(n)); }
    std::string Atom()
    {
        switch (Pick(16)) {
        case 0: return "2147483647";
        case 1: return "9223372036854775807";
        case 2: return FSyntax == "JScript" ? "0.5" : "3";
        default: return std::to_string(Pick(10));
        }
    }
    std::string Operand(bool withK)
    {
        switch (Pick(withK ? 4 : 3)) {
        case 0: return "n";
        case 1: return "m";
        case 2: return Atom();
        default: return "k";
        }
    }
    std::string Expr(int depth, bool withK)
    {
        if (depth == 0 || Pick(3) == 0)
            return Operand(withK);
        static const char* const kPas[] = {" + ", " - ", " * ", " mod "};
        static const char* const kVb[] = {" + ", " - ", " * ", " Mod "};
        static const char* const kC[] = {" + ", " - ", " * ", " % "};
        const int op = Pick(4);
        const char* text = FSyntax == "PascalScript" ? kPas[op] : FSyntax == "BasicScript" ? kVb[op] : kC[op];
        // A divisor is mostly a constant that is not zero: most runs end with a value.
        const std::string right = op == 3 && Pick(4) != 0 ? std::to_string(1 + Pick(9)) : Expr(depth - 1, withK);
        return "(" + Expr(depth - 1, withK) + text + right + ")";
    }
    std::string Cond()
    {
        const bool basic = FSyntax == "PascalScript" || FSyntax == "BasicScript";
        static const char* const kBasic[] = {" < ", " > ", " = ", " <> ", " <= "};
        static const char* const kC[] = {" < ", " > ", " == ", " != ", " <= "};
        const int op = Pick(5);
        return Expr(1, true) + (basic ? kBasic[op] : kC[op]) + Expr(1, true);
    }

    std::mt19937 FRng;
    std::string FSyntax;
};

} // namespace

// Random recursive routines of number code, in every syntax, run compactly and through the
// general path (a run-line hook set): the same value of the same kind or the same error at
// the same position, and the same values left in the routine's locals and parameters.
TEST_F(ExpressionTest, RandomNumberRoutinesRunAlikeCompactlyAndWithALineHook)
{
    NumberProgramMaker maker(20261208u);
    int compact = 0;
    for (const char* syntax : {"PascalScript", "C++Script", "JScript", "BasicScript"}) {
        for (int i = 0; i < 40; ++i) {
            const std::string program = maker.Make(syntax);
            SCOPED_TRACE(std::string(syntax) + "\n" + program);
            const LookedRun direct = RunAndLook(syntax, program.c_str(), false);
            const LookedRun walked = RunAndLook(syntax, program.c_str(), true);
            EXPECT_EQ(direct.Result.rfind("compile error", 0), std::string::npos) << direct.Result;
            EXPECT_EQ(direct.Result, walked.Result);
            EXPECT_EQ(direct.Locals, walked.Locals);
            compact += direct.Compact ? 1 : 0;
        }
    }
    EXPECT_EQ(compact, 160); // every one of them takes the compact path
}

// A script compiled again between calls runs its new routines, with new locals, with a
// run-line hook set or not: nothing a call of the old ones kept (the shape of a call, the
// list of what a recursive call saves, the main script found) reaches them.
TEST_F(ExpressionTest, RoutinesCompiledAgainBetweenCallsRunAsNew)
{
    struct AgainCase {
        const char* syntax;
        const char* first;
        const char* second;
        const char* firstResult;
        const char* secondResult;
    };
    const AgainCase cases[] = {
        {"PascalScript",
         "function F(n: Integer): Integer; begin if n < 2 then Result := n else Result := F(n - 1) + F(n - 2); end;\n"
         "function Run: Variant; begin Result := F(10); end; begin end.",
         "function F(n: Integer): Integer; var t: String; k: Integer; begin k := n; t := IntToStr(n);\n"
         "if n > 0 then Result := F(n - 1) + k + Length(t) else Result := 0; end;\n"
         "function Run: Variant; begin Result := F(12); end; begin end.",
         "55 (Integer)", "93 (Integer)"},
        {"JScript",
         "function F(n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nfunction Run() { return F(10); }",
         "function G(n, m) { var a = m; if (n == 0) return a; return G(n - 1, m * 2) + a; }\n"
         "function Run() { return G(4, 1); }",
         "55 (Int64)", "31 (Int64)"},
        {"C++Script",
         "int F(int n) { if (n < 2) return n; return F(n - 1) + F(n - 2); }\nint Run() { return F(10); } {}",
         "float F(float x) { if (x < 1) return x; return F(x / 2) + 1; }\nfloat Run() { return F(10); } {}",
         "55 (Integer)", "4,625 (Double)"},
        {"BasicScript",
         "Function F(n As Integer) As Integer\nIf n < 2 Then Return n\nReturn F(n - 1) + F(n - 2)\nEnd Function\n"
         "Function Run\nReturn F(10)\nEnd Function",
         "Function F(n)\nDim s\ns = \"<\" & n & \">\"\nIf n = 0 Then Return s\nReturn F(n - 1) & s\nEnd Function\n"
         "Function Run\nReturn F(3)\nEnd Function",
         "55 (Integer)", "<0><1><2><3> (String)"},
    };
    for (const AgainCase& c : cases) {
        SCOPED_TRACE(c.syntax);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        for (const char* program : {c.first, c.second, c.first}) {
            s.Clear(); // the old routines go; what is compiled next is all there is
            s.Lines()->SetText(program);
            ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
            s.Execute();
            const char* expected = program == c.second ? c.secondResult : c.firstResult;
            EXPECT_EQ(RunLoop(s, false).Result, expected);
            EXPECT_EQ(RunLoop(s, true).Result, expected);
        }
    }
}

// An if whose comparison is decided without running code runs a branch of one statement
// straight away; chains of else-if, branches of none, one or several statements, conditions
// the number routines decline (a text, a Double) and a host that terminates inside a branch
// run alike with a run-line hook set or not, and give what each program says.
TEST_F(ExpressionTest, IfBranchesRunAlikeWithALineHookAndWithout)
{
    struct IfCase {
        const char* syntax;
        const char* program;
        const char* result;
        const char* trace;
    };
    const IfCase cases[] = {
        {"PascalScript",
         "function C(x: Variant): Integer; begin\n"
         "if x < 2 then Result := 1 else if x < 4 then Result := 2 else if x = 4 then begin Trace(x); Result := 3; end\n"
         "else Result := 4; if x > 100 then Trace(0); if x >= 3 then else Trace(-1); end;\n"
         "function Run: Variant; var i: Integer; begin Result := 0; for i := 0 to 5 do Result := Result * 10 + C(i);\n"
         "Result := Result * 10 + C('3'); Result := Result * 10 + C(1.5); Result := Result * 10 + C('x'); end;\n"
         "begin end.",
         "error at 2:1: Could not convert variant of type (String) into type (Double)", "-1 -1 -1 4 -1 "},
        {"JScript",
         "function C(x) { if (x < 2) return 1; else if (x < 4) { Trace(x); return 2; } else if (x == 4) return 3;\n"
         "if (x > 100) Trace(0); return 4; }\n"
         "function Run() { var i, r = 0; for (i = 0; i < 6; i++) r = r * 10 + C(i); r = r * 10 + C(\"3\");\n"
         "r = r * 10 + C(2.5); return r; }",
         "11223422 (Int64)", "2 3 3 2,5 "},
        {"C++Script",
         "int C(int x) { if (x < 2) { if (x == 1) Stop(3); Trace(x); } else if (x < 4) Trace(x * 10);\n"
         "else { Trace(x * 100); Trace(-x); } return x; }\n"
         "int Run() { int i, r; r = 0; for (i = 0; i < 6; i++) { r = r + C(i); Trace(r); } return r; } {}",
         " (Null)", "0 0 "},
        {"BasicScript",
         "Function C(x)\nIf x < 2 Then\nReturn 1\nElseIf x < 4 Then\nTrace(x)\nReturn 2\nElseIf x = 4 Then\nReturn 3\n"
         "Else\nTrace(-x)\nEnd If\nReturn 4\nEnd Function\n"
         "Function Run\nDim i, r\nr = 0\nFor i = 0 To 5\nr = r * 10 + C(i)\nNext\nr = r * 10 + C(\"3\")\nReturn r\n"
         "End Function",
         "1122342 (Int64)", "2 3 -5 3 "},
    };
    for (const IfCase& c : cases) {
        SCOPED_TRACE(c.syntax);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            trace += VarToStr(VarArrayGet(p, {0})) + " ";
            return Null();
        });
        // Stop(x) gives x back, and ends the script once x reaches 3.
        s.AddMethod("function Stop(Value: Variant): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            const Variant v = VarArrayGet(p, {0});
            if (v.AsInteger() >= 3)
                s.Terminate();
            return v;
        });
        s.Lines()->SetText(c.program);
        ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
        s.Execute();
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Result, c.result);
        EXPECT_EQ(direct.Trace, c.trace);
    }
}

// A routine that grows a text it is given: appending to a var parameter given a String
// variable (the parameter borrows the variable's text for the call) and passing a growing
// text by value (the parameter lets go of it when the call ends). With a run-line hook set or
// not, the results are those of a parameter holding a copy: the argument reads as it was
// until the call ends, a failed call leaves it as it was, the write back goes where it went
// (an array element, a host property, a member of an object in a Variant, the same variable
// twice), and a host reads the parameters by name while the call runs.
TEST_F(ExpressionTest, TextsGivenToRoutinesRunAlikeWithALineHookAndWithout)
{
    struct TextCase {
        const char* why;
        const char* syntax;
        const char* program;
        const char* result;
        const char* trace;
    };
    const TextCase cases[] = {
        {"appending to a var parameter", "PascalScript",
         "procedure Add(var s: String; t: String); begin s := s + t; end;\n"
         "function Run: Variant; var i: Integer; r: String; begin r := 'a';\n"
         "for i := 1 to 5 do Add(r, IntToStr(i)); Result := r; end; begin end.",
         "a12345 (String)", ""},
        {"appending to a var parameter", "C++Script",
         "void Add(string &s, string t) { s = s + t + \".\"; }\n"
         "string Run() { int i; string r; r = \"a\"; for (i = 1; i <= 3; i++) Add(r, IntToStr(i)); return r; } {}",
         "a1.2.3. (String)", ""},
        {"appending to a var parameter with +=", "JScript",
         "function Add(&s: String, t) { s += t; }\n"
         "function Run() { var i; var r: String; r = \"a\"; for (i = 1; i <= 3; i++) Add(r, IntToStr(i));\n"
         "return r; }",
         "a123 (String)", ""},
        {"appending to a ByRef parameter", "BasicScript",
         "Sub Add(ByRef s As String, t As String)\ns = s & t & \";\"\nEnd Sub\n"
         "Function Run\nDim i As Integer, r As String\nr = \"a\"\nFor i = 1 To 3\nAdd(r, IntToStr(i))\nNext\nReturn r\n"
         "End Function",
         "a1;2;3; (String)", ""},
        {"a Variant argument of a var parameter", "JScript",
         "function Add(&s, t) { s = s + t; }\nfunction Run() { var r = \"a\"; Add(r, \"b\"); Add(r, \"c\"); return r; }",
         "abc (String)", ""},
        {"a call that fails half way leaves its argument as it was", "PascalScript",
         "procedure AddFail(var s: String; t: String); begin s := s + t; Trace(s);\n"
         "s := s + IntToStr(10 div (Length(t) - 2)); end;\n"
         "function Run: Variant; var r: String; begin r := 'a'; AddFail(r, 'b');\n"
         "try AddFail(r, 'xy') except Trace(r) end; Result := r; end; begin end.",
         "ab-10 (String)", "ab ab-10xy ab-10 "},
        {"a call that fails half way leaves its argument as it was", "JScript",
         "var g: String;\nfunction AddFail(&s: String, t) { s += t; Trace(g + \"|\" + s); s += IntToStr(1 div 0); }\n"
         "function Run() { g = \"a\"; try { AddFail(g, \"b\"); } except { Trace(g); } AddFail(g, \"c\"); return 0; }",
         "error at 2:63: Division by zero", "a|ab a a|ac "},
        {"a global argument reads as it was while the call runs", "PascalScript",
         "var g: String;\nprocedure AddG(var s: String; t: String); begin s := s + t; Trace(g); Trace(Peek('g'));\n"
         "s := s + t; Trace(g + '|' + s); end;\n"
         "function Run: Variant; begin g := 'a'; AddG(g, 'b'); Result := g; end; begin end.",
         "abb (String)", "a a a|abb "},
        {"the argument changed by the call itself, then written back", "PascalScript",
         "var g: String;\nprocedure AddH(var s: String); begin s := s + 'x'; g := g + '!'; s := s + 'y'; Trace(g);\n"
         "end;\nfunction Run: Variant; begin g := 'a'; AddH(g); Result := g; end; begin end.",
         "axy (String)", "a! "},
        {"the same variable passed twice", "PascalScript",
         "procedure Two(var a, b: String); begin a := a + '1'; b := b + '2'; Trace(a + '/' + b); end;\n"
         "function Run: Variant; var r: String; begin r := 'x'; Two(r, r); Two(r, r); Result := r; end; begin end.",
         "x22 (String)", "x1/x2 x21/x22 "},
        {"the same variable passed twice", "BasicScript",
         "Sub Two(ByRef a As String, ByRef b As String)\na = a & \"1\"\nb = b & \"2\"\nTrace(a & \"/\" & b)\nEnd Sub\n"
         "Function Run\nDim r As String\nr = \"x\"\nTwo(r, r)\nReturn r\nEnd Function",
         "x2 (String)", "x1/x2 "},
        {"the same variable by var and by value", "PascalScript",
         "procedure Both(var a: String; b: String); begin a := a + 'x'; Trace(b); b := b + 'q'; a := a + b; Trace(a);\n"
         "end;\nfunction Run: Variant; var r: String; begin r := 'abc'; Both(r, r); Both(r, r); Result := r; end;\n"
         "begin end.",
         "abcxabcqxabcxabcqq (String)", "abc abcxabcq abcxabcq abcxabcqxabcxabcqq "},
        {"the same variable by reference and by value", "C++Script",
         "void Both(string &a, string b) { a = a + \"x\"; Trace(b); a += b; }\n"
         "string Run() { string r; r = \"abc\"; Both(r, r); Both(r, r); return r; } {}",
         "abcxabcxabcxabc (String)", "abc abcxabc "},
        {"the same variable passed twice by reference", "JScript",
         "function Two(&a: String, &b: String) { a += \"1\"; b += \"2\"; Trace(a + \"/\" + b); }\n"
         "function Run() { var r: String; r = \"x\"; Two(r, r); Two(r, r); return r; }",
         "x22 (String)", "x1/x2 x21/x22 "},
        {"a call failing inside a routine leaves its var parameter as it was", "PascalScript",
         "var g: String;\nprocedure Fail(var b: String); begin b := b + 'q'; b := b + IntToStr(1 div 0); end;\n"
         "procedure Grow(var a: String); begin a := a + 'x'; try Fail(a) except Trace(a) end; a := a + 'y'; end;\n"
         "function Run: Variant; begin g := 'abc'; Grow(g); Result := g; end; begin end.",
         "abcxy (String)", "abcx "},
        {"a recursion given the global its caller was given", "PascalScript",
         "var g: String;\nprocedure Deeper(var a: String; n: Integer); begin a := a + IntToStr(n);\n"
         "if n > 0 then Deeper(g, n - 1); a := a + '.'; Trace(g); end;\n"
         "function Run: Variant; begin g := 'r'; Deeper(g, 2); Result := g; end; begin end.",
         "r2. (String)", "r r0. r1. "},
        {"a recursion given its own parameter", "C++Script",
         "void Deeper(string &a, int n) { a += IntToStr(n); if (n > 0) Deeper(a, n - 1); a += \".\"; }\n"
         "string Run() { string r; r = \"r\"; Deeper(r, 3); Deeper(r, 1); return r; } {}",
         "r3210....10.. (String)", ""},
        {"the argument changed by name during the call, then written back", "BasicScript",
         "Dim g As String\nSub Grow(ByRef a As String)\na = a & \"x\"\ng = g & \"G\"\na = a & \"y\"\nTrace(g & \"|\" & a)\n"
         "End Sub\nFunction Run\ng = \"abc\"\nGrow(g)\nGrow(g)\nReturn g\nEnd Function",
         "abcxyxy (String)", "abcG|abcxy abcxyG|abcxyxy "},
        {"an array element as the argument", "PascalScript",
         "procedure Add(var s: String; t: String); begin s := s + t; end;\n"
         "function Run: Variant; var a: array[0..1] of String; begin a[0] := 'a'; a[1] := 'z';\n"
         "Add(a[0], 'b'); Add(a[1], 'y'); Add(a[0], 'c'); Result := a[0] + a[1]; end; begin end.",
         "abczy (String)", ""},
        {"a host property as the argument", "PascalScript",
         "procedure Add(var s: String; t: String); begin s := s + t; Trace(Thing.Caption); end;\n"
         "function Run: Variant; begin Thing.Caption := 'h'; Add(Thing.Caption, 'x'); Add(Thing.Caption, 'y');\n"
         "Result := Thing.Caption; end; begin end.",
         "hxy (String)", "h hx "},
        {"a member of an object held in a Variant as the argument", "JScript",
         "function Add(&s: String, t) { s += t; }\n"
         "function Run() { var v = Thing; v.Caption = \"o\"; Add(v.Caption, \"p\"); Add(v.Caption, \"q\");\n"
         "return v.Caption; }",
         "opq (String)", ""},
        {"a recursive routine given its own local", "PascalScript",
         "procedure Rec(var s: String; n: Integer); var loc: String; begin s := s + IntToStr(n);\n"
         "if n > 0 then begin loc := '<'; Rec(loc, n - 1); s := s + loc; end; Trace(s); end;\n"
         "function Run: Variant; var r: String; begin r := ''; Rec(r, 2); Result := r; end; begin end.",
         "2<1<0 (String)", "<0 <1<0 2<1<0 "},
        {"a call with a var parameter inside a longer designator", "PascalScript",
         "function AddR(var s: String; t: String): String; begin s := s + t; Result := s; end;\n"
         "function Run: Variant; var r: String; begin r := 'a'; Result := AddR(r, 'bc')[2] + r; end; begin end.",
         "babc (String)", ""},
        // By value: the parameter holds the text while the call runs, and the caller's
        // next append finds its text its own.
        {"a growing text passed by value", "PascalScript",
         "procedure P(t: String); begin Trace(Length(Peek('t'))); end;\n"
         "function Run: Variant; var i: Integer; r: String; begin r := '';\n"
         "for i := 1 to 3 do begin r := r + 'x'; P(r); end; Result := r; end; begin end.",
         "xxx (String)", "1 2 3 "},
        {"a growing text passed by value", "C++Script",
         "void P(string t) { t = t + \"!\"; Trace(t); }\n"
         "string Run() { int i; string r; r = \"\"; for (i = 1; i <= 3; i++) { r = r + \"x\"; P(r); } return r; } {}",
         "xxx (String)", "x! xx! xxx! "},
        {"a growing text passed by value", "JScript",
         "function P(t) { Trace(Peek(\"t\")); }\n"
         "function Run() { var i, r; r = \"\"; for (i = 1; i <= 3; i++) { r += \"y\"; P(r); } return r; }",
         "yyy (String)", "y yy yyy "},
        {"a growing text passed by value", "BasicScript",
         "Sub P(t As String)\nTrace(t)\nEnd Sub\n"
         "Function Run\nDim i As Integer, r As String\nr = \"\"\nFor i = 1 To 3\nr = r & i\nP(r)\nNext\nReturn r\n"
         "End Function",
         "123 (String)", "1 12 123 "},
        {"a routine declared inside reads the parameter", "PascalScript",
         "function Outer(t: String): String; function Inner: String; begin Result := t + '!'; end;\n"
         "begin Result := Inner; end;\nfunction Run: Variant; var r: String; begin r := 'a';\n"
         "r := Outer(r) + Outer(r + 'b'); Result := r; end; begin end.",
         "a!ab! (String)", ""},
        {"a text passed by value down a recursion", "PascalScript",
         "function Depth(t: String; n: Integer): String; begin if n > 0 then Depth(t + '-', n - 1);\n"
         "Trace(t); Result := t; end;\nfunction Run: Variant; begin Result := Depth('a', 2); end; begin end.",
         "a (String)", "a-- a- a "},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.syntax) + ", " + c.why);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        RegisterHost(s);
        s.SyntaxType = c.syntax;
        std::string trace;
        s.AddMethod("procedure Trace(Value: Variant)", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            trace += VarToStr(VarArrayGet(p, {0})) + " ";
            return Null();
        });
        s.AddMethod("function Peek(Name: String): Variant", [&](TObject*, TClass, const AnsiString&, Variant& p) {
            return s.Evaluate(VarToStr(VarArrayGet(p, {0})));
        });
        s.Lines()->SetText(c.program);
        if (!s.Compile()) {
            ADD_FAILURE() << s.ErrorPos << " " << s.ErrorText;
            continue;
        }
        s.Execute();
        LoopRun direct = RunLoop(s, false);
        direct.Trace = std::exchange(trace, std::string());
        LoopRun walked = RunLoop(s, true);
        walked.Trace = trace;
        EXPECT_EQ(direct.Result, walked.Result);
        EXPECT_EQ(direct.Trace, walked.Trace);
        EXPECT_EQ(direct.Result, c.result);
        EXPECT_EQ(direct.Trace, c.trace);
    }
}

// return e stores the value and leaves in one statement: a host following the lines sees
// the positions it saw when the exit was a statement of its own, and the lines it can stop
// at are the same, in every syntax, with a value and without.
TEST_F(ExpressionTest, ReturnsReportTheirLinesToTheHost)
{
    struct ReturnCase {
        const char* syntax;
        const char* program;
        const char* lines;     // positions the hook saw, in order
        const char* codeLines; // the main text's lines a host can stop at
    };
    const ReturnCase cases[] = {
        {"C++Script",
         "int F(int n) {\n  if (n < 2)\n    return n;\n  return F(n - 1) +\n    F(n - 2);\n}\n"
         "int Run() { return F(3); } {}",
         "7:13 2:3 4:3 2:3 4:3 2:3 3:5 2:3 3:5 2:3 3:5 ", "=2,3,4,7,"},
        {"JScript",
         "function P(n) {\n  if (n > 0) {\n    Trace(n);\n    return;\n  }\n  return n;\n}\n"
         "function Run() { P(1); return P(0); }",
         "8:18 2:3 3:5 8:24 2:3 6:3 ", "=2,3,4,6,8,"},
        {"BasicScript",
         "Function F(n)\nDim i\nFor i = 1 To 3\nIf i = n Then\nReturn i\nEnd If\nNext\nReturn 0\nEnd Function\n"
         "Function Run\nReturn F(2) + F(5)\nEnd Function",
         "11:1 3:1 4:1 4:1 5:1 3:1 4:1 4:1 4:1 8:1 ", "=3,4,5,8,11,"},
    };
    for (const ReturnCase& c : cases) {
        SCOPED_TRACE(std::string(c.syntax) + ": " + c.program);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = c.syntax;
        s.AddMethod("procedure Trace(Value: Variant)", [](TObject*, TClass, const AnsiString&, Variant&) {
            return Null();
        });
        s.Lines()->SetText(c.program);
        ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
        std::string lines;
        s.OnRunLine = [&](TscScript*, const AnsiString&, const AnsiString& pos) { lines += pos + " "; };
        s.CallFunction("Run", VarArrayOf({}));
        s.OnRunLine = nullptr;
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(s.CodeLines()->Strings(0), c.codeLines);
    }
}

// A literal on the right of an operator over a plain variable takes routines that test the
// literal once, when the tree is finished; a function result on the left takes the general
// walk. For every declared type, value and literal (inside 32 bits or not, 0 and 1 beside
// div and mod) both give the same value of the same type, or the same error.
TEST_F(ExpressionTest, LiteralOperandsAgreeWithTheGeneralWalk)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const NumPathCase cases[] = {
        {"Integer",
         {Variant(0), Variant(1), Variant(-1), Variant(7), Variant(-7), Variant(INT32_MAX), Variant(INT32_MIN),
          Variant(static_cast<long long>(5)), Variant(static_cast<long long>(3000000000LL))}},
        {"Double", {Variant(0.0), Variant(-7.5), Variant(1e308), Variant(nan), Variant(3)}},
        {"Variant",
         {Variant(0), Variant(-7), Variant(INT32_MAX), Variant(INT32_MIN), Variant(static_cast<long long>(-1)),
          Variant(static_cast<long long>(INT64_MAX)), Variant(static_cast<long long>(INT64_MIN)),
          Variant(static_cast<long long>(3000000000LL)), Variant(0.5), Variant(nan), Variant("2"), Variant(true),
          Null()}},
    };
    const char* ops[] = {"+", "-", "*", "div", "mod", "=", "<>", "<", "<=", ">", ">="};
    const char* literals[] = {"7", "0", "1", "(-1)", "2147483647", "(-2147483648)", "3000000000"};
    for (const NumPathCase& c : cases)
        for (const char* op : ops)
            for (const char* lit : literals) {
                const AnsiString t = c.type, o = op, l = lit;
                const bool cmp = o == "=" || o == "<>" || o[0] == '<' || o[0] == '>';
                TscScript s(nullptr);
                s.Parent = scGlobalUnit();
                const AnsiString rt = cmp ? AnsiString("Boolean") : t;
                const AnsiString e = " " + o + " " + l;
                s.Lines()->SetText("var a: " + t + ";\n" + "function IdA: " + t + "; begin Result := a; end;\n" +
                                   "function Fast: Variant; var r: " + rt + "; begin r := a" + e + "; Result := r; end;\n" +
                                   "function Slow: Variant; var r: " + rt + "; begin r := IdA" + e + "; Result := r; end;\n" +
                                   "function FastIf: Variant; begin if a" + e + " then Result := 1 else Result := 2; end;\n" +
                                   "function SlowIf: Variant; begin if IdA" + e + " then Result := 1 else Result := 2; end;\n" +
                                   "begin end.");
                if (!s.Compile()) {
                    ADD_FAILURE() << t << e << ": " << s.ErrorPos << " " << s.ErrorText;
                    continue;
                }
                for (const Variant& x : c.values) {
                    SCOPED_TRACE(t + " " + VarToStr(x) + e);
                    s.FindLocal("a")->Value = x;
                    std::vector<std::pair<const char*, const char*>> pairs = {{"Fast", "Slow"}};
                    if (cmp)
                        pairs.push_back({"FastIf", "SlowIf"});
                    ExpectPairsAlike(s, pairs);
                }
            }
}

// Floating results next to midpoints between doubles, at the ends of the range and special,
// in every syntax: over plain variables (the number paths), in a shortened assignment, and
// with a run-line hook set (the general walk), each gives the long double computation
// rounded to double, bit for bit, and the same type.
TEST_F(ExpressionTest, FloatingResultsAreTheLongDoubleOnesInEverySyntax)
{
    struct Program {
        const char* syntax;
        const char* text;
    };
    // F1..F4: a op b; G1..G4: r := a; r := r op b; H: i / b; K: a * i (i Integer); L: a * 3
    const Program programs[] = {
        {"PascalScript",
         "var a, b: Double; i: Integer;\n"
         "function F1: Variant; var r: Double; begin r := a + b; Result := r; end;\n"
         "function F2: Variant; var r: Double; begin r := a - b; Result := r; end;\n"
         "function F3: Variant; var r: Double; begin r := a * b; Result := r; end;\n"
         "function F4: Variant; var r: Double; begin r := a / b; Result := r; end;\n"
         "function G1: Variant; var r: Double; begin r := a; r := r + b; Result := r; end;\n"
         "function G2: Variant; var r: Double; begin r := a; r := r - b; Result := r; end;\n"
         "function G3: Variant; var r: Double; begin r := a; r := r * b; Result := r; end;\n"
         "function G4: Variant; var r: Double; begin r := a; r := r / b; Result := r; end;\n"
         "function H: Variant; var r: Double; begin r := i / b; Result := r; end;\n"
         "function K: Variant; var r: Double; begin r := a * i - b; Result := r; end;\n"
         "function L: Variant; var r: Double; begin r := a * 3; Result := r; end;\n"
         "begin end."},
        {"C++Script",
         "float a, b; int i;\n"
         "float F1() { float r; r = a + b; return r; }\n"
         "float F2() { float r; r = a - b; return r; }\n"
         "float F3() { float r; r = a * b; return r; }\n"
         "float F4() { float r; r = a / b; return r; }\n"
         "float G1() { float r; r = a; r = r + b; return r; }\n"
         "float G2() { float r; r = a; r = r - b; return r; }\n"
         "float G3() { float r; r = a; r = r * b; return r; }\n"
         "float G4() { float r; r = a; r = r / b; return r; }\n"
         "float H() { float r; r = i / b; return r; }\n"
         "float K() { float r; r = a * i - b; return r; }\n"
         "float L() { float r; r = a * 3; return r; }\n"
         "{ }"},
        {"JScript",
         "var a, b, i;\n"
         "function F1() { var r; r = a + b; return r; }\n"
         "function F2() { var r; r = a - b; return r; }\n"
         "function F3() { var r; r = a * b; return r; }\n"
         "function F4() { var r; r = a / b; return r; }\n"
         "function G1() { var r; r = a; r = r + b; return r; }\n"
         "function G2() { var r; r = a; r = r - b; return r; }\n"
         "function G3() { var r; r = a; r = r * b; return r; }\n"
         "function G4() { var r; r = a; r = r / b; return r; }\n"
         "function H() { var r; r = i / b; return r; }\n"
         "function K() { var r; r = a * i - b; return r; }\n"
         "function L() { var r; r = a * 3; return r; }\n"},
        {"BasicScript",
         "Dim a As Double, b As Double, i As Integer\n"
         "Function F1 As Double\n Dim r As Double\n r = a + b\n Return r\nEnd Function\n"
         "Function F2 As Double\n Dim r As Double\n r = a - b\n Return r\nEnd Function\n"
         "Function F3 As Double\n Dim r As Double\n r = a * b\n Return r\nEnd Function\n"
         "Function F4 As Double\n Dim r As Double\n r = a / b\n Return r\nEnd Function\n"
         "Function G1 As Double\n Dim r As Double\n r = a\n r = r + b\n Return r\nEnd Function\n"
         "Function G2 As Double\n Dim r As Double\n r = a\n r = r - b\n Return r\nEnd Function\n"
         "Function G3 As Double\n Dim r As Double\n r = a\n r = r * b\n Return r\nEnd Function\n"
         "Function G4 As Double\n Dim r As Double\n r = a\n r = r / b\n Return r\nEnd Function\n"
         "Function H As Double\n Dim r As Double\n r = i / b\n Return r\nEnd Function\n"
         "Function K As Double\n Dim r As Double\n r = a * i - b\n Return r\nEnd Function\n"
         "Function L As Double\n Dim r As Double\n r = a * 3\n Return r\nEnd Function\n"},
    };
    const double inf = std::numeric_limits<double>::infinity();
    struct Pair {
        double a, b;
        int64_t i; // held as an Integer when it fits, and always as an Int64 too
    };
    const Pair pairs[] = {
        {1.0, 0x1p-53, 3},                         // an exact tie
        {1.0, 0x1p-53 + 0x1p-70, 3},               // rounding to 64 bits lands on the tie
        {1.0 + 0x1p-52, 0x1p-53 - 0x1p-72, 7},     // the same from the other side
        {2.0, 0x1p-54 + 0x1p-75, -1},              // below a power of two
        {0x1.0000000000001p0, 0x1.fffffffffffffp-1, 1}, // a product next to a power of two
        {524293.0, 1.0 / 524287.0, 524287},        // products and quotients near midpoints
        {0x1.8000000000001p0, 0x1.5555555555555p-1, 3},
        {0.5, 0.999, 1000001},                     // the float bench's step
        {1234.5678, 1.1, -3},
        {0x1p-1020, 0x1p-40 * 1.3, 2},             // subnormal products and quotients
        {1e308, 1e-308, 2147483647},               // the ends of the range
        {1e308, 10.0, -2147483647 - 1},
        {-0.0, 0.0, 0},
        {inf, 1.0, 1},
        {0.1, 0.7, 10},
        {0.5, 3.0, int64_t(1) << 53},              // Int64 at the edge of what double holds
        {0.3, 7.0, (int64_t(1) << 53) + 1},        // beyond it: long double only
        {-0.3, 3.0, -(int64_t(1) << 60) - 3},
        {0x1.5555555555555p-1, 1.0, 3},            // a * 3 next to 2
    };
    const auto reference = [](const char* fn, const Pair& p) {
        const long double a = p.a, b = p.b, i = p.i;
        switch (fn[0] == 'F' || fn[0] == 'G' ? fn[1] : fn[0]) {
        case '1': return p.a + p.b; // Double + Double adds in double
        case '2': return static_cast<double>(a - b);
        case '3': return static_cast<double>(a * b);
        case '4': return static_cast<double>(a / b);
        case 'H': return static_cast<double>(i / b);
        case 'L': return static_cast<double>(a * 3);
        default: return static_cast<double>(static_cast<long double>(static_cast<double>(a * i)) - b);
        }
    };
    const char* functions[] = {"F1", "F2", "F3", "F4", "G1", "G2", "G3", "G4", "H", "K", "L"};
    for (const Program& prog : programs) {
        SCOPED_TRACE(prog.syntax);
        for (const bool hook : {false, true}) {
            TscScript s(nullptr);
            s.Parent = scGlobalUnit();
            s.SyntaxType = prog.syntax;
            if (hook)
                s.OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
            s.Lines()->SetText(prog.text);
            ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
            for (const Pair& p : pairs) {
                for (const bool wide : {false, true}) {
                    if (!wide && (p.i < INT32_MIN || p.i > INT32_MAX))
                        continue;
                    s.FindLocal("a")->Value = Variant(p.a);
                    s.FindLocal("b")->Value = Variant(p.b);
                    s.FindLocal("i")->Value =
                        wide ? Variant(static_cast<long long>(p.i)) : Variant(static_cast<int32_t>(p.i));
                    for (const char* fn : functions) {
                        if (p.b == 0 && (fn[1] == '4' || fn[0] == 'H'))
                            continue; // division by zero: NumberPathsAgreeWithTheGeneralWalk
                        SCOPED_TRACE(std::string(fn) + (hook ? " with a line hook" : "") + (wide ? ", i an Int64" : ""));
                        const Outcome o = Call(s, fn);
                        const double want = reference(fn, p);
                        if (std::isinf(want) && std::isfinite(p.a) && std::isfinite(p.b)) {
                            // Beyond double's range from finite operands: the overflow error.
                            EXPECT_TRUE(o.Failed) << Show(o);
                            EXPECT_EQ(o.Message, "Floating point overflow");
                            continue;
                        }
                        ASSERT_FALSE(o.Failed) << o.Message;
                        EXPECT_EQ(VarType(o.Value), varDouble) << Show(o);
                        EXPECT_EQ(std::bit_cast<uint64_t>(o.Value.AsDouble()), std::bit_cast<uint64_t>(want))
                            << std::hexfloat << p.a << " " << p.b << " " << p.i << ": " << o.Value.AsDouble()
                            << " want " << want;
                    }
                }
            }
        }
    }
}

namespace {

// A call as the script's caller sees it: the value, its kind and, for a Double, its bits;
// or the error with its position.
std::string Observe(TscScript& s, const char* name)
{
    try {
        const Variant v = s.CallFunction(name, VarArrayOf({}));
        const std::string kind = " (" + VarTypeAsText(VarType(v)) + ")";
        if (VarType(v) == varDouble || VarType(v) == varDate) // a Date may lie beyond what shows as text
            return std::to_string(std::bit_cast<uint64_t>(v.RawDouble())) + kind;
        return VarToStr(v) + kind;
    } catch (const EScriptRunError& e) {
        return "error at " + e.SourcePos() + ": " + e.what();
    } catch (const std::exception& e) {
        return std::string("error without a position: ") + e.what();
    }
}

} // namespace

// Trees of + - * / over Double constants, variables and such operators take the floating
// routines when stored into a plain variable or given to r op= e; a run-line hook turns them
// off, and the general walk runs. For every pair of operand values (every number kind, Currency, Date,
// Single, texts, Null, zeros, NaN and Inf, Int64 past 2^53, values next to midpoints) and
// every syntax both give the same value of the same kind, bit for bit, or the same error at
// the same position.
TEST_F(ExpressionTest, FloatingTreesAgreeWithTheGeneralWalk)
{
    // a, b: Variant; d: Double; i: Integer. Each function stores its expression into r (1.5
    // before) once, in a loop of one pass, whose body takes its direct step; F1 is the float bench's step; F3 has
    // an Integer operator under the divisor; F7 divides by one that is zero when i is 3.
    struct Function {
        const char* expr;
        bool floatTarget; // else a Variant
    };
    const Function fns[] = {
        {"a * 0.999 + i / 3.0 - 1.1", true}, {"d * 0.999 + i / 3.0 - 1.1", true},
        {"(a + 0.5) * (b - 2.5) / (i + 1)", true}, {"a / b", false}, {"i / b + a", true},
        {"d * 3 - b * 0.25", false}, {"1.5 - a / (i - 3)", true}, {"d + b", false},
        // r op= e, the source a floating tree
        {"r + a / 4.0", true}, {"r - (d * 0.999 + i / 3.0)", false}, {"r * (b - 0.5)", true},
    };
    struct Program {
        const char* syntax;
        std::string text;
    };
    Program programs[] = {{"PascalScript", "var a, b: Variant; d: Double; i: Integer;\n"},
                          {"C++Script", "variant a, b; float d; int i;\n"},
                          {"JScript", "var a, b, d, i;\n"},
                          {"BasicScript", "Dim a, b, d As Double, i As Integer\n"}};
    for (size_t f = 0; f < std::size(fns); ++f) {
        const std::string name = "F" + std::to_string(f + 1), e = fns[f].expr;
        const bool fl = fns[f].floatTarget;
        programs[0].text += "function " + name + ": Variant; var r: " + (fl ? "Double" : "Variant") +
                            "; k: Integer; begin r := 1.5; for k := 1 to 1 do r := " + e + "; Result := r; end;\n";
        programs[1].text += std::string(fl ? "float " : "variant ") + name + "() { " + (fl ? "float" : "variant") +
                            " r; int k; r = 1.5; for (k = 0; k < 1; k++) r = " + e + "; return r; }\n";
        programs[2].text += "function " + name + "() { var r, k; r = 1.5; for (k = 0; k < 1; k++) r = " + e + "; return r; }\n";
        programs[3].text += "Function " + name + "\n Dim r" + (fl ? " As Double" : "") + ", k\n r = 1.5\n For k = 1 To 1\n  r = " +
                            e + "\n Next\n Return r\nEnd Function\n";
    }
    programs[0].text += "begin end.";
    programs[1].text += "{ }";
    const double inf = std::numeric_limits<double>::infinity();
    const Variant values[] = {
        Variant(0), Variant(7), Variant(-1), Variant(INT32_MAX),
        Variant(static_cast<long long>(-5)), Variant(static_cast<long long>(int64_t(1) << 53)),
        Variant(static_cast<long long>((int64_t(1) << 53) + 1)), Variant(static_cast<long long>(INT64_MAX)),
        Variant(0.0), Variant(-0.0), Variant(0.5), Variant(3.0), Variant(1e308), Variant(-1e308), Variant(1e-310),
        Variant(std::numeric_limits<double>::quiet_NaN()), Variant(inf), Variant(-inf),
        Variant(1.0 + 0x1p-52), Variant(0x1p-53 + 0x1p-70), Variant(0x1.5555555555555p-1), Variant(1.0 / 524287.0),
        Variant(Currency(2.5)), Variant(TDateTime(45000.25)), Variant(1.5f), Variant("2"), Variant("x"),
        Variant(true), Null(),
    };
    const int32_t counters[] = {3, -2, 0, INT32_MAX, 524287, 7};
    for (const Program& prog : programs) {
        SCOPED_TRACE(prog.syntax);
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = prog.syntax;
        s.Lines()->SetText(prog.text.c_str());
        ASSERT_TRUE(s.Compile()) << s.ErrorPos << " " << s.ErrorText;
        size_t k = 0;
        for (const Variant& x : values)
            for (const Variant& y : values) {
                const int32_t i = counters[k++ % std::size(counters)];
                SCOPED_TRACE(VarToStr(x) + " (" + VarTypeAsText(VarType(x)) + "), " + VarToStr(y) + " (" +
                             VarTypeAsText(VarType(y)) + "), i " + std::to_string(i));
                for (size_t f = 1; f <= std::size(fns); ++f) {
                    const std::string fn = "F" + std::to_string(f);
                    std::string seen[2];
                    for (const bool hook : {false, true}) {
                        s.FindLocal("a")->Value = x;
                        s.FindLocal("b")->Value = y;
                        s.FindLocal("d")->Value = x;
                        s.FindLocal("i")->Value = Variant(i);
                        s.OnRunLine = hook ? TscRunLineEvent([](TscScript*, const AnsiString&, const AnsiString&) {})
                                           : nullptr;
                        seen[hook] = Observe(s, fn.c_str());
                        s.OnRunLine = nullptr;
                    }
                    EXPECT_EQ(seen[0], seen[1]) << fn;
                    EXPECT_EQ(seen[0].rfind("error without", 0), std::string::npos) << fn << ": " << seen[0];
                }
            }
    }
}
