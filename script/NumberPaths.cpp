// NumberPaths.cpp - the number routines of operator nodes (Expression.h, number paths).
//
// Each routine is made for one operator, its operands' static types and whether each
// operand is read in place or computed, and computes what TscOperatorNode::GetValue gives
// for Integer, Int64 and Double values, or gives up. They live apart from the general walk
// so that their many small instances do not crowd the walk's own inlining.
#include "script/Expression.h"

#include "script/FastPaths.h"

#include <cmath>
#include <typeinfo>

namespace {

int32_t Wrap(uint32_t v)
{
    return static_cast<int32_t>(v);
}

using script_fast::Num;

// An operand of a NumOk node: a value read in place (Direct), or an operator Num computes.
template <bool Direct>
[[gnu::always_inline]] inline bool NumOperand(const TscExpressionNode* node, Num& r)
{
    if constexpr (Direct)
        return Num::From(*node->Direct, r);
    else
        return static_cast<const TscOperatorNode*>(node)->Num(r);
}

// The same operand where both sides are statically Integer: its 32-bit value as ToInt32
// gives it, false when that would need the general conversion.
[[gnu::always_inline]] inline bool IntValue(const Variant& v, int32_t& x)
{
    if (v.VType() == varInteger) {
        x = v.RawInteger();
        return true;
    }
    if (v.VType() == varInt64 && v.RawInt64() >= INT32_MIN && v.RawInt64() <= INT32_MAX) {
        x = static_cast<int32_t>(v.RawInt64());
        return true;
    }
    return false;
}

template <bool Direct>
[[gnu::always_inline]] inline bool IntOperand(const TscExpressionNode* node, int32_t& x)
{
    if constexpr (Direct) {
        return IntValue(*node->Direct, x);
    } else {
        return static_cast<const TscOperatorNode*>(node)->Int(x);
    }
}

constexpr script_fast::Cmp CmpOf(TscOperatorType op)
{
    switch (op) {
    case opGreat: return script_fast::Cmp::Gt;
    case opLess: return script_fast::Cmp::Lt;
    case opLessEq: return script_fast::Cmp::Le;
    case opGreatEq: return script_fast::Cmp::Ge;
    case opNonEq: return script_fast::Cmp::Ne;
    default: return script_fast::Cmp::Eq;
    }
}

constexpr bool IsCmp(TscOperatorType op)
{
    return op >= opGreat && op <= opEq;
}

// What GetValue computes for the comparison Op, as Num would give it: 1 or 0 for True or
// False, -1 where Num gives up. The value comes back in a register, for conditions.
template <TscOperatorType Op, bool LD, bool RD, bool BothInteger>
[[gnu::always_inline]] inline int TestCompare(const TscOperatorNode* node)
{
    static_assert(IsCmp(Op));
    if constexpr (BothInteger) {
        // Exact on 32-bit values, as the 64-bit comparison of the general path.
        int32_t x, y;
        if (!IntOperand<LD>(node->Left.get(), x) || !IntOperand<RD>(node->Right.get(), y))
            return -1;
        return script_fast::CompareInts(CmpOf(Op), x, y);
    } else {
        if constexpr (LD && RD) {
            // Two integers read in place (counters, literals): straight from their Variants.
            const Variant& va = *node->Left->Direct;
            const Variant& vb = *node->Right->Direct;
            if (script_fast::IsInt(va.VType()) && script_fast::IsInt(vb.VType()))
                return script_fast::CompareInts(CmpOf(Op), script_fast::AsInt(va), script_fast::AsInt(vb));
        }
        Num a, b;
        if (!NumOperand<LD>(node->Left.get(), a) || !NumOperand<RD>(node->Right.get(), b))
            return -1;
        bool c = false;
        if (!script_fast::TryCompare(CmpOf(Op), a, b, c))
            return -1;
        return c;
    }
}

constexpr bool IsIntArith(TscOperatorType op)
{
    return op == opPlus || op == opMinus || op == opMul || op == opDivInt || op == opMod;
}

// What GetValue computes for Op (+ - * div mod) on two statically Integer operands
// (BothInteger): an Integer, here as the plain number.
template <TscOperatorType Op, bool LD, bool RD>
[[gnu::always_inline]] inline bool IntBothInteger(const TscOperatorNode* node, int32_t& r)
{
    static_assert(IsIntArith(Op));
    int32_t x, y;
    if (!IntOperand<LD>(node->Left.get(), x) || !IntOperand<RD>(node->Right.get(), y))
        return false;
    if constexpr (Op == opPlus || Op == opMinus || Op == opMul) {
        r = script_fast::WrapArith(Op == opPlus ? '+' : Op == opMinus ? '-' : '*', x, y);
    } else {
        if (y == 0)
            return false; // the general path raises
        if (y == -1)
            r = Op == opDivInt ? Wrap(0u - static_cast<uint32_t>(x)) : 0;
        else
            r = Op == opDivInt ? x / y : x % y;
    }
    return true;
}

// What GetValue computes for Op on two statically Integer operands (BothInteger).
template <TscOperatorType Op, bool LD, bool RD>
bool NumBothInteger(const TscOperatorNode* node, Num& r)
{
    if constexpr (IsIntArith(Op)) {
        int32_t v;
        if (!IntBothInteger<Op, LD, RD>(node, v))
            return false;
        r = Num(v);
    } else {
        static_assert(IsCmp(Op));
        const int t = TestCompare<Op, LD, RD, true>(node);
        if (t < 0)
            return false;
        r = Num::Bool(t != 0);
    }
    return true;
}

// What GetValue computes for Op on operands of any other static types. Fma: compiled into a
// routine for processors with fused multiply-add (see NumGeneralFma).
template <TscOperatorType Op, bool LD, bool RD, bool Fma = false>
[[gnu::always_inline]] inline bool NumGeneralBody(const TscOperatorNode* node, Num& r)
{
    if constexpr (IsCmp(Op)) {
        const int t = TestCompare<Op, LD, RD, false>(node);
        if (t < 0)
            return false;
        r = Num::Bool(t != 0);
        return true;
    } else if constexpr (LD && RD && Op != opDivFloat) {
        // Two integers read in place (counters, literals, which are Int64): taken straight
        // from their Variants, by the rules below.
        const Variant& va = *node->Left->Direct;
        const Variant& vb = *node->Right->Direct;
        const TVarType ta = va.VType(), tb = vb.VType();
        if (script_fast::IsInt(ta) && script_fast::IsInt(tb)) {
            const int64_t x = script_fast::AsInt(va), y = script_fast::AsInt(vb);
            if constexpr (Op == opPlus)
                return script_fast::TryIntArith<'+'>(ta, x, tb, y, r);
            else if constexpr (Op == opMinus)
                return script_fast::TryIntArith<'-'>(ta, x, tb, y, r);
            else if constexpr (Op == opMul)
                return script_fast::TryIntArith<'*'>(ta, x, tb, y, r);
            else if (x == static_cast<int32_t>(x) && y == static_cast<int32_t>(y)) // the same quotient, sooner
                return script_fast::IntDivMod(Op == opMod, ta, static_cast<int32_t>(x), tb, static_cast<int32_t>(y), r);
            else
                return script_fast::IntDivMod(Op == opMod, ta, x, tb, y, r);
        }
    }
    if constexpr ((Op == opPlus || Op == opMinus || Op == opMul || Op == opDivFloat) && (LD || RD)) {
        // A value read in place goes to the arithmetic as the Variant it is, without a Num
        // in between (the arithmetic takes the same kinds Num::From does).
        constexpr char c = Op == opPlus ? '+' : Op == opMinus ? '-' : Op == opMul ? '*' : '/';
        if constexpr (LD && RD) {
            return script_fast::TryArith<c, Fma>(*node->Left->Direct, *node->Right->Direct, r);
        } else if constexpr (LD) {
            Num b;
            return NumOperand<false>(node->Right.get(), b) &&
                   script_fast::TryArith<c, Fma>(*node->Left->Direct, b, r);
        } else {
            Num a;
            return NumOperand<false>(node->Left.get(), a) &&
                   script_fast::TryArith<c, Fma>(a, *node->Right->Direct, r);
        }
    }
    Num a, b;
    if (!NumOperand<LD>(node->Left.get(), a) || !NumOperand<RD>(node->Right.get(), b))
        return false;
    if constexpr (Op == opPlus) {
        return script_fast::TryArith<'+'>(a, b, r);
    } else if constexpr (Op == opMinus) {
        return script_fast::TryArith<'-'>(a, b, r);
    } else if constexpr (Op == opMul) {
        return script_fast::TryArith<'*', Fma>(a, b, r);
    } else if constexpr (Op == opDivFloat) {
        return script_fast::TryArith<'/', Fma>(a, b, r);
    } else if constexpr (Op == opDivInt || Op == opMod) {
        if (a.Type == varInteger && b.Type == varInteger) {
            const int32_t x = a.RawInteger(), y = b.RawInteger();
            if (y == 0 || y == -1)
                return false;
            r = Num(Op == opDivInt ? x / y : x % y);
            return true;
        }
        return script_fast::IsInt(a.Type) && script_fast::IsInt(b.Type) &&
               script_fast::TryIntDivMod(Op == opMod, a, b, r);
    }
}

template <TscOperatorType Op, bool LD, bool RD>
bool NumGeneral(const TscOperatorNode* node, Num& r)
{
    return NumGeneralBody<Op, LD, RD>(node, r);
}

// The same for * and /, compiled for processors with fused multiply-add (picked only there),
// which then computes the floating results inline.
template <TscOperatorType Op, bool LD, bool RD>
[[gnu::target("fma")]] bool NumGeneralFma(const TscOperatorNode* node, Num& r)
{
    return NumGeneralBody<Op, LD, RD, true>(node, r);
}

// Routines for a right operand that is a literal (an Int64) inside 32 bits, and for div and
// mod neither 0 nor -1: its tests are made once, when the tree is finished, since a constant
// never changes. The left operand is read in place. Each gives what the routines above give.
bool LiteralRight(const TscOperatorNode& op)
{
    if (!op.Left->Direct || typeid(*op.Right) != typeid(TscOperandNode))
        return false;
    const Variant& c = *op.Right->Direct;
    if (c.VType() != varInt64 || c.RawInt64() < INT32_MIN || c.RawInt64() > INT32_MAX)
        return false;
    return (op.Op != opDivInt && op.Op != opMod) || (c.RawInt64() != 0 && c.RawInt64() != -1);
}

// The literal as the node keeps it (RightLiteral, set with the routines, as is LiteralLeft,
// the left operand read in place).
[[gnu::always_inline]] inline int32_t Literal(const TscOperatorNode* node)
{
    return node->RightLiteral;
}

// IntBothInteger with a literal on the right.
template <TscOperatorType Op>
[[gnu::always_inline]] inline bool IntLiteral(const TscOperatorNode* node, int32_t& r)
{
    static_assert(IsIntArith(Op));
    int32_t x;
    if (!IntValue(*node->LiteralLeft, x))
        return false;
    const int32_t y = Literal(node);
    if constexpr (Op == opPlus || Op == opMinus || Op == opMul)
        r = script_fast::WrapArith(Op == opPlus ? '+' : Op == opMinus ? '-' : '*', x, y);
    else
        r = Op == opDivInt ? x / y : x % y;
    return true;
}

// TestCompare with a literal on the right.
template <TscOperatorType Op, bool BothInteger>
[[gnu::always_inline]] inline int TestLiteral(const TscOperatorNode* node)
{
    const int32_t y = Literal(node);
    if constexpr (BothInteger) {
        int32_t x;
        if (!IntValue(*node->LiteralLeft, x))
            return -1;
        return script_fast::CompareInts(CmpOf(Op), x, y);
    } else {
        const Variant& va = *node->LiteralLeft;
        if (va.VType() == varInteger)
            return script_fast::CompareInts(CmpOf(Op), va.RawInteger(), y);
        if (va.VType() == varInt64)
            return script_fast::CompareInts(CmpOf(Op), va.RawInt64(), y);
        return TestCompare<Op, true, true, false>(node);
    }
}

// NumBothInteger and NumGeneral with a literal on the right. The literal is an Int64, so an
// integer result of NumGeneral's is one too. Fma as for NumGeneralBody.
template <TscOperatorType Op, bool BothInteger, bool Fma = false>
[[gnu::always_inline]] inline bool NumLiteralBody(const TscOperatorNode* node, Num& r)
{
    if constexpr (IsCmp(Op)) {
        const int t = TestLiteral<Op, BothInteger>(node);
        if (t < 0)
            return false;
        r = Num::Bool(t != 0);
        return true;
    } else if constexpr (BothInteger) {
        int32_t v;
        if (!IntLiteral<Op>(node, v))
            return false;
        r = Num(v);
        return true;
    } else {
        const Variant& va = *node->LiteralLeft;
        const int32_t y = Literal(node);
        if (va.VType() != varInteger && va.VType() != varInt64)
            return NumGeneralBody<Op, true, true, Fma>(node, r);
        const int64_t x = va.VType() == varInteger ? va.RawInteger() : va.RawInt64();
        if constexpr (Op == opPlus)
            return script_fast::TryIntArith<'+'>(va.VType(), x, varInt64, y, r);
        else if constexpr (Op == opMinus)
            return script_fast::TryIntArith<'-'>(va.VType(), x, varInt64, y, r);
        else if constexpr (Op == opMul)
            return script_fast::TryIntArith<'*'>(va.VType(), x, varInt64, y, r);
        else if (x == static_cast<int32_t>(x)) // the same quotient, sooner
            r = Num(static_cast<long long>(Op == opMod ? static_cast<int32_t>(x) % y : static_cast<int32_t>(x) / y));
        else
            r = Num(static_cast<long long>(Op == opMod ? x % y : x / y));
        return true;
    }
}

template <TscOperatorType Op, bool BothInteger>
bool NumLiteral(const TscOperatorNode* node, Num& r)
{
    return NumLiteralBody<Op, BothInteger>(node, r);
}

// A Double times a literal, compiled for processors with fused multiply-add.
[[gnu::target("fma")]] bool NumLiteralMulFma(const TscOperatorNode* node, Num& r)
{
    return NumLiteralBody<opMul, false, true>(node, r);
}

template <TscOperatorType Op>
TscOperatorNode::NumFunction PickNum(bool bothInteger, bool ld, bool rd)
{
    // "/" gives a floating value whatever its operands' types.
    if (bothInteger && Op != opDivFloat) {
        if constexpr (Op != opDivFloat)
            return ld ? (rd ? NumBothInteger<Op, true, true> : NumBothInteger<Op, true, false>)
                      : (rd ? NumBothInteger<Op, false, true> : NumBothInteger<Op, false, false>);
    }
    if constexpr (Op == opMul || Op == opDivFloat) {
        if (rtl_extended::HasFma())
            return ld ? (rd ? NumGeneralFma<Op, true, true> : NumGeneralFma<Op, true, false>)
                      : (rd ? NumGeneralFma<Op, false, true> : NumGeneralFma<Op, false, false>);
    }
    return ld ? (rd ? NumGeneral<Op, true, true> : NumGeneral<Op, true, false>)
              : (rd ? NumGeneral<Op, false, true> : NumGeneral<Op, false, false>);
}

// The Num routine for op, nullptr when the operator has none.
TscOperatorNode::NumFunction NumFor(const TscOperatorNode& op)
{
    const bool ld = op.Left->Direct != nullptr, rd = op.Right->Direct != nullptr;
    if (LiteralRight(op)) {
        const bool i = op.BothInteger;
        switch (op.Op) {
        case opPlus: return i ? NumLiteral<opPlus, true> : NumLiteral<opPlus, false>;
        case opMinus: return i ? NumLiteral<opMinus, true> : NumLiteral<opMinus, false>;
        case opMul:
            if (i)
                return NumLiteral<opMul, true>;
            return rtl_extended::HasFma() ? NumLiteralMulFma : NumLiteral<opMul, false>;
        case opDivInt: return i ? NumLiteral<opDivInt, true> : NumLiteral<opDivInt, false>;
        case opMod: return i ? NumLiteral<opMod, true> : NumLiteral<opMod, false>;
        case opGreat: return i ? NumLiteral<opGreat, true> : NumLiteral<opGreat, false>;
        case opLess: return i ? NumLiteral<opLess, true> : NumLiteral<opLess, false>;
        case opLessEq: return i ? NumLiteral<opLessEq, true> : NumLiteral<opLessEq, false>;
        case opGreatEq: return i ? NumLiteral<opGreatEq, true> : NumLiteral<opGreatEq, false>;
        case opNonEq: return i ? NumLiteral<opNonEq, true> : NumLiteral<opNonEq, false>;
        case opEq: return i ? NumLiteral<opEq, true> : NumLiteral<opEq, false>;
        default: break; // "/" is always real division
        }
    }
    switch (op.Op) {
    case opPlus: return PickNum<opPlus>(op.BothInteger, ld, rd);
    case opMinus: return PickNum<opMinus>(op.BothInteger, ld, rd);
    case opMul: return PickNum<opMul>(op.BothInteger, ld, rd);
    case opDivFloat: return PickNum<opDivFloat>(op.BothInteger, ld, rd);
    case opDivInt: return PickNum<opDivInt>(op.BothInteger, ld, rd);
    case opMod: return PickNum<opMod>(op.BothInteger, ld, rd);
    case opGreat: return PickNum<opGreat>(op.BothInteger, ld, rd);
    case opLess: return PickNum<opLess>(op.BothInteger, ld, rd);
    case opLessEq: return PickNum<opLessEq>(op.BothInteger, ld, rd);
    case opGreatEq: return PickNum<opGreatEq>(op.BothInteger, ld, rd);
    case opNonEq: return PickNum<opNonEq>(op.BothInteger, ld, rd);
    case opEq: return PickNum<opEq>(op.BothInteger, ld, rd);
    default: return nullptr;
    }
}

template <TscOperatorType Op>
TscOperatorNode::IntFunction PickInt(bool ld, bool rd)
{
    return ld ? (rd ? IntBothInteger<Op, true, true> : IntBothInteger<Op, true, false>)
              : (rd ? IntBothInteger<Op, false, true> : IntBothInteger<Op, false, false>);
}

// The Int routine of a NumOk node, nullptr when its result is not always an Integer.
TscOperatorNode::IntFunction IntFor(const TscOperatorNode& op)
{
    if (!op.BothInteger)
        return nullptr;
    const bool ld = op.Left->Direct != nullptr, rd = op.Right->Direct != nullptr;
    if (LiteralRight(op)) {
        switch (op.Op) {
        case opPlus: return IntLiteral<opPlus>;
        case opMinus: return IntLiteral<opMinus>;
        case opMul: return IntLiteral<opMul>;
        case opDivInt: return IntLiteral<opDivInt>;
        case opMod: return IntLiteral<opMod>;
        default: return nullptr;
        }
    }
    switch (op.Op) {
    case opPlus: return PickInt<opPlus>(ld, rd);
    case opMinus: return PickInt<opMinus>(ld, rd);
    case opMul: return PickInt<opMul>(ld, rd);
    case opDivInt: return PickInt<opDivInt>(ld, rd);
    case opMod: return PickInt<opMod>(ld, rd);
    default: return nullptr;
    }
}

template <TscOperatorType Op>
TscOperatorNode::TestFunction PickTest(bool bothInteger, bool ld, bool rd)
{
    if (bothInteger)
        return ld ? (rd ? TestCompare<Op, true, true, true> : TestCompare<Op, true, false, true>)
                  : (rd ? TestCompare<Op, false, true, true> : TestCompare<Op, false, false, true>);
    return ld ? (rd ? TestCompare<Op, true, true, false> : TestCompare<Op, true, false, false>)
              : (rd ? TestCompare<Op, false, true, false> : TestCompare<Op, false, false, false>);
}

// The Test routine of a NumOk comparison, nullptr for any other operator.
TscOperatorNode::TestFunction TestFor(const TscOperatorNode& op)
{
    const bool ld = op.Left->Direct != nullptr, rd = op.Right->Direct != nullptr;
    if (LiteralRight(op)) {
        const bool i = op.BothInteger;
        switch (op.Op) {
        case opGreat: return i ? TestLiteral<opGreat, true> : TestLiteral<opGreat, false>;
        case opLess: return i ? TestLiteral<opLess, true> : TestLiteral<opLess, false>;
        case opLessEq: return i ? TestLiteral<opLessEq, true> : TestLiteral<opLessEq, false>;
        case opGreatEq: return i ? TestLiteral<opGreatEq, true> : TestLiteral<opGreatEq, false>;
        case opNonEq: return i ? TestLiteral<opNonEq, true> : TestLiteral<opNonEq, false>;
        case opEq: return i ? TestLiteral<opEq, true> : TestLiteral<opEq, false>;
        default: return nullptr;
        }
    }
    switch (op.Op) {
    case opGreat: return PickTest<opGreat>(op.BothInteger, ld, rd);
    case opLess: return PickTest<opLess>(op.BothInteger, ld, rd);
    case opLessEq: return PickTest<opLessEq>(op.BothInteger, ld, rd);
    case opGreatEq: return PickTest<opGreatEq>(op.BothInteger, ld, rd);
    case opNonEq: return PickTest<opNonEq>(op.BothInteger, ld, rd);
    case opEq: return PickTest<opEq>(op.BothInteger, ld, rd);
    default: return nullptr;
    }
}

// ---------------------------------------------------------------- floating trees

// Where a floating routine's operand comes from: a variable read in place (any kind, tested
// when read), a Double constant, an integer constant that double holds exactly, an operator
// with a floating routine (a Double), or one with an Int routine (an Integer).
enum class Src : uint8_t { Var, ConstDouble, ConstInt, Float, Int };

// The operand's value in double and whether it is a Double (else an integer, held exactly);
// false for any other kind, an Int64 beyond 2^53, or an operator that gives up. A value read
// in place comes through the operator's own pointer to it (LeftDirect, RightDirect).
template <Src K>
[[gnu::always_inline]] inline bool FloatOperand(const TscExpressionNode* node, const Variant* direct, double& d,
                                                bool& isDouble)
{
    if constexpr (K == Src::Var) {
        const Variant& v = *direct;
        if (v.VType() == varDouble) {
            d = v.RawDouble();
            isDouble = true;
            return true;
        }
        isDouble = false;
        return script_fast::ExactInteger(v, d);
    } else if constexpr (K == Src::ConstDouble) {
        d = direct->RawDouble();
        isDouble = true;
        return true;
    } else if constexpr (K == Src::ConstInt) {
        d = static_cast<double>(script_fast::AsInt(*direct));
        isDouble = false;
        return true;
    } else if constexpr (K == Src::Float) {
        isDouble = true;
        const auto* op = static_cast<const TscOperatorNode*>(node);
        const TscOperatorNode::FloatResult r = op->FloatCompute(op);
        d = r.Value;
        return r.Ok;
    } else {
        isDouble = false;
        const auto* op = static_cast<const TscOperatorNode*>(node);
        int32_t v;
        if (!op->IntCompute(op, v))
            return false;
        d = v;
        return true;
    }
}

// TryArith's floating cases over such operands: Double + Double in double, every other pair
// with a Double (and / of two integers) through Extended.h. Two integers under + - * and a
// zero divisor give up, as does any operand above.
template <char Op, Src L, Src R, bool Fma>
[[gnu::always_inline]] inline TscOperatorNode::FloatResult FloatBody(const TscOperatorNode* node)
{
    double x, y;
    bool dx, dy;
    if (!FloatOperand<L>(node->Left.get(), node->LeftDirect, x, dx) ||
        !FloatOperand<R>(node->Right.get(), node->RightDirect, y, dy))
        return {0, false};
    if ((Op != '/' && !dx && !dy) || (Op == '/' && y == 0))
        return {0, false};
    const double d = Op == '+' && dx && dy ? x + y : script_fast::ApplyExtended<Op, Fma>(x, y);
    // Out of double's range: the general path raises the overflow.
    if (!std::isfinite(d))
        return {0, false};
    return {d, true};
}

template <char Op, Src L, Src R>
TscOperatorNode::FloatResult FloatPlain(const TscOperatorNode* node)
{
    return FloatBody<Op, L, R, false>(node);
}

template <char Op, Src L, Src R>
[[gnu::target("fma")]] TscOperatorNode::FloatResult FloatFma(const TscOperatorNode* node)
{
    return FloatBody<Op, L, R, true>(node);
}

template <char Op, Src L, Src R>
TscOperatorNode::FloatFunction PickFloat3()
{
    if constexpr (Op == '*' || Op == '/')
        if (rtl_extended::HasFma())
            return FloatFma<Op, L, R>;
    return FloatPlain<Op, L, R>;
}

template <char Op, Src L>
TscOperatorNode::FloatFunction PickFloat2(Src r)
{
    switch (r) {
    case Src::Var: return PickFloat3<Op, L, Src::Var>();
    case Src::ConstDouble: return PickFloat3<Op, L, Src::ConstDouble>();
    case Src::ConstInt: return PickFloat3<Op, L, Src::ConstInt>();
    case Src::Float: return PickFloat3<Op, L, Src::Float>();
    default: return PickFloat3<Op, L, Src::Int>();
    }
}

template <char Op>
TscOperatorNode::FloatFunction PickFloat(Src l, Src r)
{
    switch (l) {
    case Src::Var: return PickFloat2<Op, Src::Var>(r);
    case Src::ConstDouble: return PickFloat2<Op, Src::ConstDouble>(r);
    case Src::ConstInt: return PickFloat2<Op, Src::ConstInt>(r);
    case Src::Float: return PickFloat2<Op, Src::Float>(r);
    default: return PickFloat2<Op, Src::Int>(r);
    }
}

// Where node's value comes from, for a floating routine above it; false when it has none.
bool SourceOf(const TscExpressionNode* node, Src& k)
{
    if (node->Direct) {
        if (typeid(*node) != typeid(TscOperandNode)) {
            k = Src::Var;
            return true;
        }
        // A constant never changes: its kind is tested here, once.
        const Variant& c = *node->Direct;
        double d;
        if (c.VType() == varDouble)
            k = Src::ConstDouble;
        else if (script_fast::ExactInteger(c, d))
            k = Src::ConstInt;
        else
            return false;
        return true;
    }
    const auto* op = static_cast<const TscOperatorNode*>(node);
    if (op->FloatCompute)
        k = Src::Float;
    else if (op->IntCompute)
        k = Src::Int;
    else
        return false;
    return true;
}

// An operand that is a Double as a rule: a Double constant, a floating operator, a variable
// declared floating.
bool FloatingAsARule(const TscExpressionNode* node, Src k)
{
    return k == Src::ConstDouble || k == Src::Float || (k == Src::Var && node->VarType == fvtFloat);
}

TscOperatorNode::FloatFunction FloatFor(const TscOperatorNode& op)
{
    if (!op.NumOk() || op.IntCompute)
        return nullptr;
    Src l, r;
    if (!SourceOf(op.Left.get(), l) || !SourceOf(op.Right.get(), r))
        return nullptr;
    // Nothing under a number tree runs code, so both operands are read in place where they
    // can be; the routine relies on it.
    if ((op.Left->Direct && op.LeftDirect != op.Left->Direct) || (op.Right->Direct && op.RightDirect != op.Right->Direct))
        return nullptr;
    // Only where the result is a Double as a rule, so that the routine seldom gives up.
    if (op.Op != opDivFloat && !FloatingAsARule(op.Left.get(), l) && !FloatingAsARule(op.Right.get(), r))
        return nullptr;
    switch (op.Op) {
    case opPlus: return PickFloat<'+'>(l, r);
    case opMinus: return PickFloat<'-'>(l, r);
    case opMul: return PickFloat<'*'>(l, r);
    case opDivFloat: return PickFloat<'/'>(l, r);
    default: return nullptr;
    }
}

// ---------------------------------------------------------------- integer trees

using WideResult = TscOperatorNode::WideResult;

// The integer Op gives on the inline path for two integers x and y of kinds ta and tb, as
// TryIntArith and IntDivMod give it; Type varEmpty on an overflow, a zero divisor or -1.
// Checked: the divisor may be 0 or -1 (a literal's was tested when the tree was finished).
template <TscOperatorType Op, bool Checked = true>
[[gnu::always_inline]] inline WideResult WideArith(TVarType ta, int64_t x, TVarType tb, int64_t y)
{
    static_assert(IsIntArith(Op));
    if constexpr (Op == opDivInt || Op == opMod) {
        if (Checked && (y == 0 || y == -1))
            return {0, varEmpty};
        int64_t q;
        if (x == static_cast<int32_t>(x) && y == static_cast<int32_t>(y)) // the same quotient, sooner
            q = Op == opMod ? static_cast<int32_t>(x) % static_cast<int32_t>(y)
                            : static_cast<int32_t>(x) / static_cast<int32_t>(y);
        else
            q = Op == opMod ? x % y : x / y;
        if (ta == varInt64 || tb == varInt64)
            return {q, varInt64};
        return {static_cast<int32_t>(q), varInteger};
    } else {
        int64_t v;
        bool overflow;
        if constexpr (Op == opPlus)
            overflow = __builtin_add_overflow(x, y, &v);
        else if constexpr (Op == opMinus)
            overflow = __builtin_sub_overflow(x, y, &v);
        else
            overflow = __builtin_mul_overflow(x, y, &v);
        if (overflow)
            return {0, varEmpty};
        if (ta == varInt64 || tb == varInt64 || v < INT32_MIN || v > INT32_MAX)
            return {v, varInt64};
        return {v, varInteger};
    }
}

// A value read in place and a literal inside 32 bits (an Int64): the result is an Int64.
template <TscOperatorType Op>
WideResult WideLiteral(const TscOperatorNode* node)
{
    const Variant& va = *node->LiteralLeft;
    const TVarType ta = va.VType();
    if (ta != varInteger && ta != varInt64)
        return {0, varEmpty};
    return WideArith<Op, false>(ta, ta == varInteger ? va.RawInteger() : va.RawInt64(), varInt64, Literal(node));
}

// Two values read in place.
template <TscOperatorType Op>
WideResult WideDirect(const TscOperatorNode* node)
{
    const Variant& va = *node->Left->Direct;
    const Variant& vb = *node->Right->Direct;
    const TVarType ta = va.VType(), tb = vb.VType();
    if (!script_fast::IsInt(ta) || !script_fast::IsInt(tb))
        return {0, varEmpty};
    return WideArith<Op>(ta, script_fast::AsInt(va), tb, script_fast::AsInt(vb));
}

TscOperatorNode::WideFunction WideFor(const TscOperatorNode& op)
{
    if (!op.NumOk() || op.IntCompute || !IsIntArith(op.Op))
        return nullptr;
    if (op.LiteralLeft) {
        switch (op.Op) {
        case opPlus: return WideLiteral<opPlus>;
        case opMinus: return WideLiteral<opMinus>;
        case opMul: return WideLiteral<opMul>;
        case opDivInt: return WideLiteral<opDivInt>;
        default: return WideLiteral<opMod>;
        }
    }
    if (!op.Left->Direct || !op.Right->Direct)
        return nullptr;
    switch (op.Op) {
    case opPlus: return WideDirect<opPlus>;
    case opMinus: return WideDirect<opMinus>;
    case opMul: return WideDirect<opMul>;
    case opDivInt: return WideDirect<opDivInt>;
    default: return WideDirect<opMod>;
    }
}

} // namespace

TscOperatorNode::WideFunction scWideRoutine(const TscOperatorNode& op)
{
    return WideFor(op);
}

TscOperatorNode::FloatFunction scFloatRoutine(const TscOperatorNode& op)
{
    return FloatFor(op);
}

TscOperatorNode::NumFunction scNumRoutine(const TscOperatorNode& op)
{
    return NumFor(op);
}

TscOperatorNode::IntFunction scIntRoutine(const TscOperatorNode& op)
{
    return IntFor(op);
}

TscOperatorNode::TestFunction scTestRoutine(const TscOperatorNode& op)
{
    return TestFor(op);
}

bool scRightLiteral(const TscOperatorNode& op, int32_t& value)
{
    if (!LiteralRight(op))
        return false;
    value = static_cast<int32_t>(op.Right->Direct->RawInt64());
    return true;
}
