// Expression.h - expressions as operator trees over Variants.
//
// The IL builder feeds a TscExpression one item at a time in source order
// (operand, operator, operand, brackets ...); AddOperator places each operator
// by its priority, so no separate infix parser exists. Finalize is called once:
// the bracket and root placeholders go, every node gets its static type, a type
// misuse is reported by position, and the integer and Boolean fast paths are
// switched on per node. GetValue then recomputes the tree on every call.
//
// Sets are bit masks. A set constructor keeps its list form for in and case
// selectors, but beside a set (+ - * = <>) or given to one (ShapeFor) it is a
// mask, and + - * are then union, difference and intersection.
//
// Priorities, tightest first: operands 0; not, unary minus 1; * / div mod and
// shl shr 2; + - or xor strcat 3; comparisons, in, is 4. Equal priorities
// associate to the left.
//
// Speed: numbers take the inline paths of FastPaths.h, which compute exactly as
// the general Variant operations do. A constant or a plain variable under an
// operator is read in place rather than copied (the left one only when nothing
// on the right runs code that could change it).
//
// Number paths: when the tree is finished, every arithmetic or comparison operator
// whose operands are constants, plain variables or such operators gets a routine
// (NumCompute) made for its operator, its operands' static types (both Integer:
// 32-bit arithmetic that wraps) and whether each operand is read in place or
// computed. Num runs it: the value comes out as a script_fast::Num, with no Variant
// made, no virtual call and no test of the operator. It gives up (false) when an
// operand is not an Integer, Int64 or Double, or the operation would leave the
// inline path (an overflow to Double, a zero divisor); nothing such a tree reads
// runs code, so the caller then takes GetValue, which computes the value or raises
// the error as it always did. Assignments, conditions and TscExpression::GetValue
// try Num first on such a root (NumRoot). An operator over two statically Integer
// operands whose result is always an Integer (+ - * div mod) also gets IntCompute, the
// same value as a plain 32-bit number, for Integer targets and operands above it, and a
// comparison gets TestCompute, its Boolean as a plain number, for conditions. Two integers
// read in place (counters, and literals, which are Int64) are computed straight from their
// Variants, before the general number routine; a literal on the right inside 32 bits is
// tested once, when the tree is finished. The routines live in NumberPaths.cpp.
//
// Under an operator that has no number routine (an operand runs code: a host property, a
// call), the operands still give plain numbers where they can: a number operator its Num
// (its GetValue takes NumCompute first), an Integer operator its IntCompute, Obj.Prop of a
// published Integer property its Integer (TscDesignator::ReadMemberInt). An Integer + - *
// then computes in 32 bits with no Variant, and + - * / of such operands (NumberOperands)
// in the inline paths; the left operand is always read first, and an operand that gives no
// number is computed as GetValue computes it.
//
// Floating trees: an operator + - * / whose result is a Double as a rule (a Double constant,
// a variable declared floating or such an operator on one side, or a /) also gets
// FloatCompute, made for its operator and where each operand comes from (a variable, a
// Double constant, an integer constant double holds exactly, a floating operator, an Integer
// one). It computes in plain doubles, returned in registers, with no type carried from one
// operator to the next: an operand is either a Double or an integer held exactly, which
// decides, as TryArith does, between Double + Double in double and Extended.h's long double
// result; an operator's own result is always a Double. Anything else (two integers under
// + - *, a zero divisor, a Currency, an Int64 past 2^53, a text) gives up, and the caller
// takes Num, then GetValue, from the start: nothing read runs code, so the values are the same.
//
// Integer trees over untyped values: + - * div mod that is not over two statically Integer
// operands, over a value read in place and a literal inside 32 bits or two values read in
// place, also gets WideCompute: when both values are Integer or Int64 and the inline path
// takes them, the integer Num would give and its kind, returned in registers; otherwise it
// gives no value and the caller takes Num.
//
// A host's item may give its value as a plain number too (TscNumberSource: a report's
// bracketed field read from the current row): an operator reads it as it reads a member's
// Integer, and where the item gives no number, its GetValue. An operator + - * / over such
// operands that has no number routine of its own gives its Num to the + - * / above it the
// same way (NumberValue), so <a> * <b> + 1 makes one Variant, for the result.
//
// Limits: an expression holds at most kMaxExpressionItems items, so the
// recursive walks over the tree (type check, evaluation, destruction) stay far
// inside the stack. A malformed item sequence (")" without "(", an operator
// without an operand) raises SBadExpression instead of walking past the root.
#pragma once

#include "script/FastPaths.h"
#include "script/Items.h"

#include <memory>

class TscDesignator;
class TscSetExpression;

inline constexpr int kMaxExpressionItems = 4000;

// ORDER: kOperatorText and kPriority in Expression.cpp follow this list.
enum TscOperatorType : uint8_t {
    opNone, opGreat, opLess, opLessEq, opGreatEq, opNonEq, opEq, opPlus, opMinus, opOr, opXor, opMul,
    opDivFloat, opDivInt, opMod, opAnd, opShl, opShr, opLeftBracket, opRightBracket, opNot, opUnMinus, opIn, opIs
};

class TscExpressionNode : public TscCustomVariable {
public:
    TscExpressionNode() : TscCustomVariable(AnsiString(), fvtInt, AnsiString()) {}
    ~TscExpressionNode() override;

    std::unique_ptr<TscExpressionNode> Left, Right;
    TscExpressionNode* ParentNode = nullptr;
    AnsiString SourcePos;

    // The node's value read in place: a constant's, or a plain variable's stored value;
    // nullptr when the value must be computed (GetValue).
    const Variant* Direct = nullptr;

    virtual int Priority() const = 0;
    // Fills the left slot, else the right one; false when both are taken.
    bool AddNode(std::unique_ptr<TscExpressionNode> node);
    // Unlinks node from whichever slot holds it; the caller owns it then.
    std::unique_ptr<TscExpressionNode> RemoveNode(TscExpressionNode* node);
};

// An item whose value can be read as a plain number without running any code: ReadNumber
// gives true and the very value GetValue would give now, when that is an Integer, Int64 or
// Double that needs nothing done to be read; else false, having read and changed nothing,
// and the caller takes GetValue.
class TscNumberSource {
public:
    virtual bool ReadNumber(script_fast::Num& n) = 0;

protected:
    ~TscNumberSource() = default;
};

// The number source a designator node's value comes from: the item itself, or the item a
// call bound by its host reads (ILBuilder.cpp); nullptr when it is none.
TscNumberSource* scNumberSourceOf(TscCustomVariable* valueSource);

class TscOperandNode : public TscExpressionNode {
public:
    explicit TscOperandNode(const Variant& value);
    int Priority() const override { return 0; }
};

class TscOperatorNode : public TscExpressionNode {
public:
    TscOperatorNode(TscOperatorType op, bool strCat) : Op(op), StrCat(strCat) {}
    TscOperatorType Op;
    bool StrCat;             // BasicScript "&": joins when the left value is a string
    bool BothInteger = false;
    bool BothBoolean = false;
    bool SetOp = false;      // over set bit masks: + - * union, difference, intersection; = <> compare
    // Operands read in place instead of copied (set when the tree is finished): the right
    // one whenever it is direct, the left one only when nothing on the right can run code
    // that changes it, so reading it after the right side gives the same value.
    const Variant* LeftDirect = nullptr;
    const Variant* RightDirect = nullptr;
    // Set when the tree is finished, for an arithmetic or comparison operator whose operands
    // are constants, plain variables or such operators: the routine Num runs, made for this
    // operator, its static types and its operands' kinds (read in place or computed).
    using NumFunction = bool (*)(const TscOperatorNode* node, script_fast::Num& r);
    NumFunction NumCompute = nullptr;
    // Beside NumCompute for + - * div mod on two statically Integer operands, whose result
    // is always an Integer: the same value as a plain 32-bit number, so an Integer target
    // or operand above takes it without a Num in between.
    using IntFunction = bool (*)(const TscOperatorNode* node, int32_t& r);
    IntFunction IntCompute = nullptr;
    // Beside NumCompute for a comparison: its Boolean as 1 or 0, or -1 where Num gives up.
    using TestFunction = int (*)(const TscOperatorNode* node);
    TestFunction TestCompute = nullptr;
    // Where the right operand is a literal the routines above take as a 32-bit number
    // (scRightLiteral): its value, kept here with them since a constant never changes, and
    // the left operand's value read in place (nullptr otherwise).
    int32_t RightLiteral = 0;
    const Variant* LiteralLeft = nullptr;
    // Beside NumCompute for + - * / whose result is a Double as a rule (a Double constant, a
    // floating variable or such an operator on one side, or /): the value when it is a Double,
    // computed in double with no type carried between the operators; not Ok, where NumCompute
    // then gives the value or declines, when an operand is not a Double or an integer double
    // holds exactly, or the result would not be a Double (two integers under + - *), or on a
    // zero divisor. The result comes back in registers (a double and a flag).
    struct FloatResult {
        double Value;
        bool Ok;
    };
    using FloatFunction = FloatResult (*)(const TscOperatorNode* node);
    FloatFunction FloatCompute = nullptr;
    // Beside NumCompute for + - * div mod that is not over two statically Integer operands
    // (those have IntCompute) and whose operands are a value read in place and a literal
    // inside 32 bits, or two values read in place: the value when both operands are integers
    // (Integer or Int64) and the operation gives an integer on its inline path, as Num gives
    // it, with its kind (varInteger or varInt64); Type varEmpty otherwise, where Num then gives
    // the value or declines. The result comes back in registers.
    struct WideResult {
        int64_t Value;
        TVarType Type;
    };
    using WideFunction = WideResult (*)(const TscOperatorNode* node);
    WideFunction WideCompute = nullptr;
    // The operands that are operators with an IntCompute (set when the tree is finished): an
    // Integer operator above reads them as plain numbers, without a Variant in between.
    const TscOperatorNode* LeftInt = nullptr;
    const TscOperatorNode* RightInt = nullptr;
    // The same for operands that are designators of a host member (Obj.Prop), which give an
    // Integer property's value as a plain number where they can (ReadMemberInt).
    TscDesignator* LeftMember = nullptr;
    TscDesignator* RightMember = nullptr;
    // Operands that are operators with a NumCompute, for an operator above that is not one.
    const TscOperatorNode* LeftNum = nullptr;
    const TscOperatorNode* RightNum = nullptr;
    // Operands read from a host's item that may give a plain number (TscNumberSource).
    TscNumberSource* LeftSource = nullptr;
    TscNumberSource* RightSource = nullptr;
    // The left operand is an operator + - * / without a number routine whose GetValue is
    // NumberValue's value (NumberFirst set, not two Integers): its Num is taken, or its
    // Variant where it makes one.
    TscOperatorNode* LeftChain = nullptr;
    // The left operand is one of those (and not read in place): NumberOperands is tried.
    bool NumberFirst = false;
    bool NumOk() const { return NumCompute != nullptr; }
    int Priority() const override;
    // The value as GetValue computes it, without a Variant, when every operand read is an
    // Integer, Int64 or Double and the operation takes an inline path; false otherwise
    // (then GetValue gives the value or the error). Only for NumOk nodes: nothing they read
    // runs code, so trying Num first and GetValue after sees the same values.
    bool Num(script_fast::Num& r) const { return NumCompute(this, r); }
    // Num's value as ToInt32 takes it (false where Num would be, or where the value would
    // need the general conversion): IntCompute when the node has one.
    bool Int(int32_t& r) const
    {
        if (IntCompute)
            return IntCompute(this, r);
        script_fast::Num n;
        return Num(n) && n.ToInt32(r);
    }
    Variant GetValue() override;
    // + - * / over operands that give plain numbers (a member's Integer, a number operator's
    // value, a number read in place): Number, with the value in n and no Variant made, when
    // the arithmetic takes its inline path; None, with nothing read, when the left operand
    // gives no number; Value, with the value computed the general way from what was read,
    // otherwise. NumberValue is GetValue so for an operator that is no number tree, with
    // NumberFirst set: Number or Value.
    enum class NumberOutcome : uint8_t { None, Number, Value };
    NumberOutcome NumberValue(script_fast::Num& n, Variant& v);
    // NumberValue made for this node's operator (+ - * /), without the test of the operator
    // and the call in between, for a caller that keeps it and runs it often: an assignment
    // to a host member, which takes an Integer or Int64 without a Variant. Two integers
    // are tried first there.
    using NumberFunction = NumberOutcome (*)(TscOperatorNode& op, script_fast::Num& n, Variant& v);
    NumberFunction NumberRoutine() const;
    // + - * of two Integer operands (BothInteger): 32 bits that wrap.
    int32_t IntArith();
    // IntArith where the left operand is computed as a Variant: both are computed first,
    // then converted.
    [[gnu::noinline]] int32_t IntArithHeld();

private:
    // GetValue by kind of operator: NumValue tries the number routine first, GeneralValue
    // hands on to + (PlusValue), - * / (ArithValue) or the rest (OtherValue).
    [[gnu::noinline]] Variant NumValue();
    Variant GeneralValue();
    [[gnu::noinline]] Variant PlusValue();
    template <char C>
    [[gnu::noinline]] Variant ArithValue();
    template <char C>
    [[gnu::noinline]] NumberOutcome NumberOperands(script_fast::Num& n, Variant& result);
    // NumberOperands' body; IntFirst tries two integers before the floating cases, where
    // the value is wanted as an integer (a host member's Integer property takes it so).
    template <char C, bool IntFirst>
    [[gnu::always_inline]] NumberOutcome NumberOperandsBody(script_fast::Num& n, Variant& result);
    template <char C>
    static NumberOutcome NumberValueOf(TscOperatorNode& op, script_fast::Num& n, Variant& v);
    bool LeftNumber(script_fast::Num& n) const;
    bool RightNumber(script_fast::Num& n) const;
    [[gnu::noinline]] Variant OtherValue();

public:
    // A "+" or STRCAT node's result from its operands' values (not a set operator).
    Variant Join(const Variant& a, const Variant& b) const;
};

// The routines of a finished operator node whose operands are values read in place or such
// operators (NumberPaths.cpp): NumCompute's, IntCompute's (nullptr unless the result is
// always an Integer) and TestCompute's (nullptr unless a comparison).
TscOperatorNode::NumFunction scNumRoutine(const TscOperatorNode& op);
TscOperatorNode::IntFunction scIntRoutine(const TscOperatorNode& op);
TscOperatorNode::TestFunction scTestRoutine(const TscOperatorNode& op);
// True when those routines take the right operand as a 32-bit literal, value.
bool scRightLiteral(const TscOperatorNode& op, int32_t& value);
// FloatCompute's routine, nullptr where the operator has none; the operands' routines are
// chosen first.
TscOperatorNode::FloatFunction scFloatRoutine(const TscOperatorNode& op);
// WideCompute's routine, nullptr where the operator has none.
TscOperatorNode::WideFunction scWideRoutine(const TscOperatorNode& op);

class TscDesignatorNode : public TscOperandNode {
public:
    explicit TscDesignatorNode(std::unique_ptr<TscDesignator> designator);
    ~TscDesignatorNode() override;
    std::unique_ptr<TscDesignator> Designator;
    TscCustomVariable* ValueSource; // the variable itself for a plain-variable designator
    Variant GetValue() override { return ValueSource->GetValue(); }
};

class TscSetNode : public TscOperandNode {
public:
    explicit TscSetNode(std::unique_ptr<TscSetExpression> set);
    ~TscSetNode() override;
    std::unique_ptr<TscSetExpression> Set;
    bool AsMask = false; // the value goes to a set-typed target: give the bit mask
    Variant GetValue() override;
};

// An expression that runs no script routine and does not name target: constants,
// operators, other variables, host functions, properties and methods, with arguments of
// the same kind. Evaluating it leaves target as it is, so target may be read before or
// after it with the same result.
bool scIsPlainExpression(const TscExpressionNode* node, const TscCustomVariable* target);

class TscExpression : public TscCustomExpression {
public:
    explicit TscExpression(TscScript* script);
    ~TscExpression() override;

    TscScript* Script;
    AnsiString SourceText;
    AnsiString SourcePos; // copied into every node made from now on

    void AddConst(const Variant& value);
    void AddDesignator(std::unique_ptr<TscDesignator> designator);
    void AddSet(std::unique_ptr<TscSetExpression> set);
    // Text as the IL writes it, any case: "+", "(", "unminus", "strcat", "in" ...
    void AddOperator(const AnsiString& text);
    // Ends building; errorPos is empty when the types fit, else the position of
    // the first offending operator. Raises SBadExpression on a malformed tree.
    void Finalize(AnsiString& errorPos);

    Variant GetValue() override
    {
        script_fast::Num n;
        if (FNumRoot && FNumRoot->Num(n))
            return n.ToVariant();
        return FRoot->GetValue();
    }
    void SetValue(const Variant& value) override;
    // The value when the whole expression is one constant, else nullptr.
    const Variant* ConstValue() const;
    // x := x op e becomes an assign-with-operator; opText is " " when unchanged.
    void Optimize(const TscDesignator* target, AnsiString& opText);
    // A set constructor that makes up the whole expression (or set
    // constructors joined by + - *) gives its bit mask from now on, because its
    // value goes to target, a set (or integer) item.
    void ShapeFor(const TscCustomVariable* target);
    // True when the value is a set's bit mask made from set constructors.
    bool IsSetMask() const;
    // The variable or constant node a one-item expression stands for, else nullptr.
    TscCustomVariable* SingleItem() const;
    TscExpressionNode* Root() const { return FRoot.get(); }
    // The root when it is an operator Num may compute (NumOk), else nullptr.
    const TscOperatorNode* NumRoot() const { return FNumRoot; }

private:
    void UpdateNumRoot();
    void AddOperand(std::unique_ptr<TscExpressionNode> node);
    void CountItem();

    std::unique_ptr<TscExpressionNode> FRoot;
    TscExpressionNode* FCurrent;
    const TscOperatorNode* FNumRoot = nullptr;
    int FItems = 0;
};
