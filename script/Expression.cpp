// Expression.cpp - see Expression.h.
#include "script/Expression.h"

#include "script/Designator.h"
#include "script/FastPaths.h"
#include "script/Messages.h"
#include "script/Script.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"

#include <new>
#include <typeinfo>

namespace {

using script_fast::ToInt32;

struct OperatorText {
    const char* Text;
    TscOperatorType Op;
    bool StrCat;
};

// Texts as the IL writes them (compared ignoring case); one per node kind.
constexpr OperatorText kOperatorText[] = {
    {" ", opNone, false},        {">", opGreat, false},        {"<", opLess, false},
    {"<=", opLessEq, false},     {">=", opGreatEq, false},     {"<>", opNonEq, false},
    {"=", opEq, false},          {"+", opPlus, false},         {"STRCAT", opPlus, true},
    {"-", opMinus, false},       {"OR", opOr, false},          {"XOR", opXor, false},
    {"*", opMul, false},         {"/", opDivFloat, false},     {"DIV", opDivInt, false},
    {"MOD", opMod, false},       {"AND", opAnd, false},        {"SHL", opShl, false},
    {"SHR", opShr, false},       {"(", opLeftBracket, false},  {")", opRightBracket, false},
    {"NOT", opNot, false},       {"UNMINUS", opUnMinus, false}, {"IN", opIn, false},
    {"IS", opIs, false},
};

// Indexed by TscOperatorType.
constexpr int kPriority[] = {7, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 6, 5, 1, 1, 4, 4};
static_assert(std::size(kPriority) == opIs + 1, "one priority per operator");

bool IsUnary(TscOperatorType op)
{
    return op == opNot || op == opUnMinus;
}

bool IsComparison(TscOperatorType op)
{
    return op >= opGreat && op <= opEq;
}

[[noreturn]] void BadExpression()
{
    scRaise(TscMessageId::SBadExpression);
}

int32_t Wrap(uint32_t v)
{
    return static_cast<int32_t>(v);
}

// The slot of parent that holds child.
std::unique_ptr<TscExpressionNode>& SlotOf(TscExpressionNode* parent, const TscExpressionNode* child)
{
    return parent->Left.get() == child ? parent->Left : parent->Right;
}

// Is the object in value an instance of the class named by the designator?
bool IsInstance(const Variant& value, const TscDesignatorNode* right)
{
    if (VarIsNull(value) || VarIsEmpty(value) || (VarIsOrdinal(value) && value.AsInt64() == 0))
        return false;
    const auto* cls = static_cast<const TscClassVariable*>(right->Designator->Step(0)->Ref);
    TObject* obj = script_detail::ResolveInstance(value, nullptr, true, "is");
    return obj && cls->ClassRef && obj->InheritsFrom(cls->ClassRef);
}

// x in y where y is not a set constructor: an array holds x among its
// elements; anything else is a set's bit mask, and x a member's mask (set
// members are registered as 1, 2, 4 ...), so every bit of x must be in y.
bool InValue(const Variant& x, const Variant& y)
{
    if (VarIsNull(x) || VarIsNull(y))
        return false;
    if (VarIsArray(y)) {
        if (VarArrayDimCount(y) != 1)
            return false;
        for (int i = VarArrayLowBound(y, 1); i <= VarArrayHighBound(y, 1); ++i)
            if (VarEq(VarArrayGet(y, {i}), x))
                return true;
        return false;
    }
    const int64_t member = x.AsInt64();
    return member != 0 && (y.AsInt64() & member) == member;
}

// Set operators over bit masks: + union, - difference, * intersection.
Variant SetOperation(TscOperatorType op, const Variant& a, const Variant& b)
{
    const int64_t x = scSetToMask(a), y = scSetToMask(b);
    return Variant(op == opPlus ? x | y : op == opMinus ? x & ~y : x & y);
}

// A value computed into storage of its own, let go only when it was made.
class HeldValue {
public:
    HeldValue() = default;
    HeldValue(const HeldValue&) = delete;
    HeldValue& operator=(const HeldValue&) = delete;
    ~HeldValue()
    {
        if (FMade)
            reinterpret_cast<Variant*>(FHeld)->~Variant();
    }
    const Variant* Make(TscExpressionNode* node)
    {
        Variant* v = ::new (static_cast<void*>(FHeld)) Variant(node->GetValue());
        FMade = true;
        return v;
    }

private:
    alignas(Variant) unsigned char FHeld[sizeof(Variant)];
    bool FMade = false;
};

// The two operand values of a binary operator: read in place where the node has them,
// else computed, the left before the right, straight into storage of their own that is
// let go only when it was used. Read is called on a made object, so a right operand that
// raises still lets go of the left one.
class OperandValues {
public:
    OperandValues() = default;
    OperandValues(const OperandValues&) = delete;
    OperandValues& operator=(const OperandValues&) = delete;
    ~OperandValues()
    {
        if (FMade & 1)
            Slot(0)->~Variant();
        if (FMade & 2)
            Slot(1)->~Variant();
    }
    void Read(const TscOperatorNode& op)
    {
        A = op.LeftDirect ? op.LeftDirect : Make(0, op.Left.get());
        B = op.RightDirect ? op.RightDirect : Make(1, op.Right.get());
    }
    const Variant* A = nullptr;
    const Variant* B = nullptr;

private:
    Variant* Slot(int i) { return reinterpret_cast<Variant*>(FHeld + i * sizeof(Variant)); }
    const Variant* Make(int i, TscExpressionNode* node)
    {
        Variant* v = ::new (static_cast<void*>(Slot(i))) Variant(node->GetValue());
        FMade |= 1 << i;
        return v;
    }
    alignas(Variant) unsigned char FHeld[2 * sizeof(Variant)];
    unsigned FMade = 0;
};

} // namespace

// ---------------------------------------------------------------- nodes

TscExpressionNode::~TscExpressionNode() = default;

bool TscExpressionNode::AddNode(std::unique_ptr<TscExpressionNode> node)
{
    TscExpressionNode* raw = node.get();
    if (!Left)
        Left = std::move(node);
    else if (!Right)
        Right = std::move(node);
    else
        return false;
    if (raw)
        raw->ParentNode = this;
    return true;
}

std::unique_ptr<TscExpressionNode> TscExpressionNode::RemoveNode(TscExpressionNode* node)
{
    std::unique_ptr<TscExpressionNode> r;
    if (Left.get() == node)
        r = std::move(Left);
    else if (Right.get() == node)
        r = std::move(Right);
    if (r)
        r->ParentNode = nullptr;
    return r;
}

TscOperandNode::TscOperandNode(const Variant& value)
{
    Value = value;
    Direct = &Value;
    switch (::VarType(value)) {
    case varBoolean: VarType = fvtBool; break;
    case varSingle:
    case varDouble:
    case varCurrency: VarType = fvtFloat; break;
    case varOleStr:
    case varString: VarType = fvtString; break;
    default: VarType = fvtInt; break;
    }
}

int TscOperatorNode::Priority() const
{
    return kPriority[Op];
}

Variant TscOperatorNode::Join(const Variant& a, const Variant& b) const
{
    if (StrCat) {
        if (::VarType(a) == varString) {
            AnsiString right = VarToStr(b);
            scCheckStringLength(static_cast<int64_t>(a.StrPtr()->size()) + static_cast<int64_t>(right.size()));
            return Variant(VarToStr(a) + right);
        }
        script_detail::CheckJoin(a, b);
        return a + b;
    }
    if (BothInteger)
        return Variant(Wrap(static_cast<uint32_t>(ToInt32(a)) + static_cast<uint32_t>(ToInt32(b))));
    script_fast::Num r;
    if (script_fast::TryArith<'+'>(a, b, r))
        return r.ToVariant();
    script_detail::CheckJoin(a, b);
    return a + b;
}

namespace {

// An operand of an Integer operator as a plain number, when it gives one with nothing to
// convert: an Integer read in place, an operator's Integer routine, a member's Integer.
// False with nothing read otherwise.
[[gnu::always_inline]] inline bool PlainInt(const Variant* direct, const TscOperatorNode* op, TscDesignator* member,
                                            int32_t& r)
{
    if (direct) {
        if (direct->VType() != varInteger)
            return false;
        r = direct->RawInteger();
        return true;
    }
    if (op)
        return op->IntCompute(op, r);
    return member && member->ReadMemberInt(r);
}

} // namespace

int32_t TscOperatorNode::IntArith()
{
    // The left value first, then the right. An operand with an Integer routine runs no code,
    // so computing it as a plain number reads what its GetValue would; an Integer read as
    // one needs no conversion that could fail before the right operand is computed.
    int32_t x, y;
    if (!PlainInt(LeftDirect, LeftInt, LeftMember, x)) [[unlikely]]
        return IntArithHeld();
    if (!PlainInt(RightDirect, RightInt, RightMember, y)) [[unlikely]] {
        if (RightDirect)
            y = ToInt32(*RightDirect);
        else
            y = ToInt32(Right->GetValue());
    }
    return script_fast::WrapArith(Op == opPlus ? '+' : Op == opMinus ? '-' : '*', x, y);
}

int32_t TscOperatorNode::IntArithHeld()
{
    HeldValue ta, tb;
    int32_t x = 0, y = 0;
    const Variant* a = LeftDirect;
    if (!a && !(LeftInt && LeftInt->IntCompute(LeftInt, x)) && !(LeftMember && LeftMember->ReadMemberInt(x)))
        a = ta.Make(Left.get());
    const Variant* b = RightDirect;
    if (!b && !(RightInt && RightInt->IntCompute(RightInt, y)) && !(RightMember && RightMember->ReadMemberInt(y)))
        b = tb.Make(Right.get());
    if (a)
        x = ToInt32(*a);
    if (b)
        y = ToInt32(*b);
    return script_fast::WrapArith(Op == opPlus ? '+' : Op == opMinus ? '-' : '*', x, y);
}

Variant TscOperatorNode::GetValue()
{
    // Each kind of operator has a routine of its own, handed on to without a frame here: the
    // arithmetic ones are short and run the most.
    if (NumCompute)
        return NumValue();
    return GeneralValue();
}

// Numbers read in place or computed by such operators: the number routine gives the value
// GetValue would, without the Variants in between; where it gives up, the general code
// computes the value or raises the error.
Variant TscOperatorNode::NumValue()
{
    script_fast::Num n;
    if (NumCompute(this, n))
        return n.ToVariant();
    return GeneralValue();
}

inline Variant TscOperatorNode::GeneralValue()
{
    switch (Op) {
    case opPlus: return PlusValue();
    case opMinus: return ArithValue<'-'>();
    case opMul: return ArithValue<'*'>();
    case opDivFloat: return ArithValue<'/'>();
    default: return OtherValue();
    }
}

inline bool TscOperatorNode::LeftNumber(script_fast::Num& n) const
{
    if (LeftNum)
        return LeftNum->Num(n);
    if (LeftSource)
        return LeftSource->ReadNumber(n);
    int32_t x;
    if (!LeftMember || !LeftMember->ReadMemberInt(x))
        return false;
    n = script_fast::Num(x);
    return true;
}

inline bool TscOperatorNode::RightNumber(script_fast::Num& n) const
{
    if (RightDirect)
        return script_fast::Num::From(*RightDirect, n);
    if (RightNum)
        return RightNum->Num(n);
    if (RightSource)
        return RightSource->ReadNumber(n);
    int32_t y;
    if (!RightMember || !RightMember->ReadMemberInt(y))
        return false;
    n = script_fast::Num(y);
    return true;
}

namespace {

// a C b from operand values, as GetValue computes it once they are read (not a set operator).
template <char C>
[[gnu::always_inline]] inline Variant GeneralArith(const TscOperatorNode& op, const Variant& a, const Variant& b)
{
    if (C == '+')
        return op.Join(a, b);
    script_fast::Num n;
    if (script_fast::TryArith<C>(a, b, n))
        return n.ToVariant();
    return C == '-' ? VarSub(a, b) : C == '*' ? VarMul(a, b) : VarDiv(a, b);
}

// The rest of op's value once its left operand's value is read: the right one's, computed
// where it is not read in place, then the operation the general way. Out of line, so the
// number path keeps no Variants of its own.
template <char C>
[[gnu::noinline]] Variant ValueAfterLeft(const TscOperatorNode& op, const Variant& a)
{
    HeldValue hb;
    const Variant& b = op.RightDirect ? *op.RightDirect : *hb.Make(op.Right.get());
    return GeneralArith<C>(op, a, b);
}

} // namespace

// The left operand is read first, as always; a right operand that gives no number is then
// computed as a Variant, and the left one's number goes on as the Variant its GetValue gives.
template <char C>
TscOperatorNode::NumberOutcome TscOperatorNode::NumberOperands(script_fast::Num& n, Variant& result)
{
    return NumberOperandsBody<C, false>(n, result);
}

template <char C, bool IntFirst>
inline TscOperatorNode::NumberOutcome TscOperatorNode::NumberOperandsBody(script_fast::Num& n, Variant& result)
{
    script_fast::Num a;
    if (!LeftNumber(a)) {
        if (!LeftChain)
            return NumberOutcome::None;
        Variant va;
        if (LeftChain->NumberValue(a, va) != NumberOutcome::Number) [[unlikely]] {
            // The left operand came as a Variant: the rest as GetValue goes on from there.
            result = ValueAfterLeft<C>(*this, va);
            return NumberOutcome::Value;
        }
    }
    script_fast::Num b;
    if (RightNumber(b)) [[likely]] {
        // Two integers (a member's Integer, a counter's or a literal's Int64) go straight to
        // the integer rule, which TryArith reaches only after its floating cases.
        if constexpr (IntFirst && C != '/') {
            if (script_fast::IsInt(a.Type) && script_fast::IsInt(b.Type)) [[likely]] {
                if (script_fast::TryIntArith<C>(a.Type, a.L, b.Type, b.L, n)) [[likely]]
                    return NumberOutcome::Number;
                result = GeneralArith<C>(*this, a.ToVariant(), b.ToVariant());
                return NumberOutcome::Value;
            }
        }
        if (script_fast::TryArith<C>(a, b, n)) [[likely]]
            return NumberOutcome::Number;
        result = GeneralArith<C>(*this, a.ToVariant(), b.ToVariant());
        return NumberOutcome::Value;
    }
    result = ValueAfterLeft<C>(*this, a.ToVariant());
    return NumberOutcome::Value;
}

TscOperatorNode::NumberOutcome TscOperatorNode::NumberValue(script_fast::Num& n, Variant& v)
{
    NumberOutcome o = NumberOutcome::None;
    switch (Op) {
    case opPlus: o = NumberOperands<'+'>(n, v); break;
    case opMinus: o = NumberOperands<'-'>(n, v); break;
    case opMul: o = NumberOperands<'*'>(n, v); break;
    case opDivFloat: o = NumberOperands<'/'>(n, v); break;
    default: break;
    }
    if (o != NumberOutcome::None)
        return o;
    v = GetValue();
    return NumberOutcome::Value;
}

template <char C>
TscOperatorNode::NumberOutcome TscOperatorNode::NumberValueOf(TscOperatorNode& op, script_fast::Num& n, Variant& v)
{
    const NumberOutcome o = op.NumberOperandsBody<C, true>(n, v);
    if (o != NumberOutcome::None) [[likely]]
        return o;
    v = op.GetValue();
    return NumberOutcome::Value;
}

TscOperatorNode::NumberFunction TscOperatorNode::NumberRoutine() const
{
    switch (Op) {
    case opPlus: return NumberValueOf<'+'>;
    case opMinus: return NumberValueOf<'-'>;
    case opMul: return NumberValueOf<'*'>;
    case opDivFloat: return NumberValueOf<'/'>;
    default: return [](TscOperatorNode& op, script_fast::Num& n, Variant& v) { return op.NumberValue(n, v); };
    }
}

Variant TscOperatorNode::PlusValue()
{
    if (BothInteger && !StrCat && !SetOp)
        return Variant(IntArith());
    if (NumberFirst && !StrCat && !SetOp) {
        script_fast::Num n;
        Variant r;
        const NumberOutcome o = NumberOperands<'+'>(n, r);
        if (o == NumberOutcome::Number)
            return n.ToVariant();
        if (o == NumberOutcome::Value)
            return r;
    }
    OperandValues v;
    v.Read(*this);
    if (SetOp)
        return SetOperation(Op, *v.A, *v.B);
    return Join(*v.A, *v.B);
}

template <char C>
Variant TscOperatorNode::ArithValue()
{
    if (C != '/' && BothInteger && !SetOp)
        return Variant(IntArith());
    if (NumberFirst && !SetOp) {
        script_fast::Num n;
        Variant r;
        const NumberOutcome o = NumberOperands<C>(n, r);
        if (o == NumberOutcome::Number)
            return n.ToVariant();
        if (o == NumberOutcome::Value)
            return r;
    }
    OperandValues v;
    v.Read(*this);
    if (C != '/' && SetOp)
        return SetOperation(Op, *v.A, *v.B);
    script_fast::Num r;
    if (script_fast::TryArith<C>(*v.A, *v.B, r))
        return r.ToVariant();
    return C == '-' ? VarSub(*v.A, *v.B) : C == '*' ? VarMul(*v.A, *v.B) : VarDiv(*v.A, *v.B);
}

Variant TscOperatorNode::OtherValue()
{
    switch (Op) {
    case opNone:
        return Left->GetValue();
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq: {
        Variant ta, tb;
        const Variant& a = LeftDirect ? *LeftDirect : (ta = Left->GetValue());
        const Variant& b = RightDirect ? *RightDirect : (tb = Right->GetValue());
        if (SetOp)
            return Variant((scSetToMask(a) == scSetToMask(b)) == (Op == opEq));
        static constexpr script_fast::Cmp kCmp[] = {script_fast::Cmp::Gt, script_fast::Cmp::Lt, script_fast::Cmp::Le,
                                                    script_fast::Cmp::Ge, script_fast::Cmp::Ne, script_fast::Cmp::Eq};
        bool r = false;
        if (script_fast::TryCompare(kCmp[Op - opGreat], a, b, r))
            return Variant(r);
        switch (Op) {
        case opGreat: return Variant(VarGt(a, b));
        case opLess: return Variant(VarLt(a, b));
        case opLessEq: return Variant(VarLe(a, b));
        case opGreatEq: return Variant(VarGe(a, b));
        case opNonEq: return Variant(VarNe(a, b));
        default: return Variant(VarEq(a, b));
        }
    }
    case opDivInt:
    case opMod: {
        Variant ta, tb;
        const Variant& a = LeftDirect ? *LeftDirect : (ta = Left->GetValue());
        const Variant& b = RightDirect ? *RightDirect : (tb = Right->GetValue());
        if (!BothInteger) {
            // Integer values whose static type is unknown (Variant variables): the general
            // operation's result without its conversions. A zero divisor and the one
            // quotient that leaves 32 bits go to it.
            if (a.VType() == varInteger && b.VType() == varInteger) {
                const int32_t x = a.RawInteger(), y = b.RawInteger();
                if (y != 0 && y != -1)
                    return Op == opDivInt ? Variant(x / y) : Variant(x % y);
            } else if (script_fast::IsInt(a.VType()) && script_fast::IsInt(b.VType())) {
                Variant r;
                if (script_fast::TryIntDivMod(Op == opMod, a, b, r))
                    return r;
            }
            return Op == opDivInt ? VarIntDiv(a, b) : VarMod(a, b);
        }
        const int32_t x = ToInt32(a), y = ToInt32(b);
        if (y == 0)
            throw EDivByZero("Division by zero");
        if (y == -1) // the one quotient that leaves 32 bits wraps like the others
            return Op == opDivInt ? Variant(Wrap(0u - static_cast<uint32_t>(x))) : Variant(0);
        return Op == opDivInt ? Variant(x / y) : Variant(x % y);
    }
    case opAnd: {
        const Variant a = Left->GetValue();
        if (BothBoolean)
            return script_fast::ToBool(a) ? Right->GetValue() : a;
        return VarAnd(a, Right->GetValue());
    }
    case opOr: {
        const Variant a = Left->GetValue();
        if (BothBoolean)
            return script_fast::ToBool(a) ? a : Right->GetValue();
        return VarOr(a, Right->GetValue());
    }
    case opXor: { const Variant a = Left->GetValue(); return VarXor(a, Right->GetValue()); }
    case opShl:
    case opShr: {
        Variant a = Left->GetValue(), b = Right->GetValue();
        if (BothInteger) {
            // An Integer shifts in 32 bits however its value was last stored (a literal
            // leaves a wide value, a sum or a step a 32-bit one). A value past 32 bits (a
            // Cardinal's top half) keeps the general shift.
            for (Variant* v : {&a, &b})
                if (v->VType() == varInt64 && v->RawInt64() >= INT32_MIN && v->RawInt64() <= INT32_MAX)
                    *v = Variant(static_cast<int32_t>(v->RawInt64()));
        }
        return Op == opShl ? VarShl(a, b) : VarShr(a, b);
    }
    case opNot: return VarNot(Left->GetValue());
    case opUnMinus: return VarNeg(Left->GetValue());
    case opIn: {
        const Variant x = Left->GetValue();
        if (auto* set = dynamic_cast<TscSetNode*>(Right.get()))
            return Variant(set->Set->Check(x));
        return Variant(InValue(x, Right->GetValue()));
    }
    case opIs:
        return Variant(IsInstance(Left->GetValue(), static_cast<TscDesignatorNode*>(Right.get())));
    case opPlus:
    case opMinus:
    case opMul:
    case opDivFloat:
        return GeneralValue(); // not reached: GeneralValue takes them
    case opLeftBracket:
    case opRightBracket:
        break;
    }
    BadExpression();
}


TscDesignatorNode::TscDesignatorNode(std::unique_ptr<TscDesignator> designator)
    : TscOperandNode(Null()), Designator(std::move(designator))
{
    VarType = Designator->VarType;
    TypeName = Designator->TypeName;
    ValueSource = Designator->Kind == dkVariable && Designator->RefItem ? Designator->RefItem
                                                                        : static_cast<TscCustomVariable*>(Designator.get());
    const std::type_info& t = typeid(*ValueSource);
    Direct = t == typeid(TscVariable) || t == typeid(TscParamItem) ? &ValueSource->Value : nullptr;
}

TscDesignatorNode::~TscDesignatorNode() = default;

TscSetNode::TscSetNode(std::unique_ptr<TscSetExpression> set) : TscOperandNode(Null()), Set(std::move(set))
{
    Direct = nullptr;
    VarType = fvtVariant;
}

TscSetNode::~TscSetNode() = default;

Variant TscSetNode::GetValue()
{
    if (AsMask)
        return Variant(Set->GetMask());
    return Set->GetValue();
}

// ---------------------------------------------------------------- building

TscExpression::TscExpression(TscScript* script)
    : TscCustomExpression(AnsiString(), fvtVariant, AnsiString()), Script(script),
      FRoot(std::make_unique<TscOperatorNode>(opNone, false))
{
    FCurrent = FRoot.get();
}

TscExpression::~TscExpression() = default;

void TscExpression::CountItem()
{
    if (++FItems > kMaxExpressionItems)
        scRaise(TscMessageId::SExpressionTooLong, std::to_string(kMaxExpressionItems));
}

void TscExpression::AddOperand(std::unique_ptr<TscExpressionNode> node)
{
    CountItem();
    node->SourcePos = SourcePos;
    // An operand goes below an operator still missing one: a bracket, a unary
    // operator without its operand, a binary one without its right side.
    const auto* op = dynamic_cast<const TscOperatorNode*>(FCurrent);
    const bool oneOperand = op && (IsUnary(op->Op) || op->Op == opNone || op->Op == opLeftBracket);
    if (!op || op->Op == opRightBracket || (oneOperand ? op->Left != nullptr : (!op->Left || op->Right)))
        BadExpression();
    TscExpressionNode* raw = node.get();
    if (!FCurrent->AddNode(std::move(node)))
        BadExpression();
    FCurrent = raw;
}

void TscExpression::AddConst(const Variant& value)
{
    AddOperand(std::make_unique<TscOperandNode>(value));
}

void TscExpression::AddDesignator(std::unique_ptr<TscDesignator> designator)
{
    AddOperand(std::make_unique<TscDesignatorNode>(std::move(designator)));
}

void TscExpression::AddSet(std::unique_ptr<TscSetExpression> set)
{
    AddOperand(std::make_unique<TscSetNode>(std::move(set)));
}

void TscExpression::AddOperator(const AnsiString& text)
{
    const OperatorText* found = nullptr;
    for (const OperatorText& o : kOperatorText)
        if (AnsiSameText(text, o.Text)) {
            found = &o;
            break;
        }
    if (!found || found->Op == opNone)
        return; // an unknown text makes no node
    auto node = std::make_unique<TscOperatorNode>(found->Op, found->StrCat);
    node->SourcePos = SourcePos;

    if (found->Op == opLeftBracket || IsUnary(found->Op)) {
        AddOperand(std::move(node));
        return;
    }
    CountItem();
    if (found->Op == opRightBracket) {
        // Up to the matching "(", which then gives way to what it enclosed.
        TscExpressionNode* n = FCurrent;
        while (n && n->Priority() <= 5)
            n = n->ParentNode;
        if (!n || n->Priority() != 6 || !n->Left || !n->ParentNode)
            BadExpression();
        TscExpressionNode* parent = n->ParentNode;
        std::unique_ptr<TscExpressionNode> inner = std::move(n->Left);
        TscExpressionNode* raw = inner.get();
        raw->ParentNode = parent;
        SlotOf(parent, n) = std::move(inner); // frees the bracket node
        FCurrent = raw;
        return;
    }
    // A binary operator takes what stands before it as its left operand.
    const auto* cur = dynamic_cast<const TscOperatorNode*>(FCurrent);
    if (FCurrent == FRoot.get() || (cur && (cur->Op == opLeftBracket || (IsUnary(cur->Op) && !cur->Left) ||
                                            (!IsUnary(cur->Op) && !cur->Right))))
        BadExpression();
    const int priority = node->Priority();
    TscExpressionNode* p = FCurrent;
    TscExpressionNode* n = FCurrent->ParentNode;
    while (n && n->Priority() <= priority) {
        p = n;
        n = n->ParentNode;
    }
    if (!n)
        BadExpression();
    std::unique_ptr<TscExpressionNode>& slot = SlotOf(n, p);
    std::unique_ptr<TscExpressionNode> left = std::move(slot);
    TscExpressionNode* raw = node.get();
    node->ParentNode = n;
    slot = std::move(node);
    raw->AddNode(std::move(left));
    FCurrent = raw;
}

// ---------------------------------------------------------------- finishing

namespace {

struct TypeChecker {
    TscScript* Script;
    AnsiString ErrorPos;

    TscTypeRec Check(TscExpressionNode* node)
    {
        if (!node)
            return TscTypeRec(fvtVariant, AnsiString());
        auto* op = dynamic_cast<TscOperatorNode*>(node);
        if (!op)
            return TscTypeRec(node->VarType, node->TypeName);
        if (op->Op == opNone || op->Op == opLeftBracket || op->Op == opRightBracket || !op->Left ||
            (!IsUnary(op->Op) && !op->Right))
            BadExpression();
        const TscTypeRec l = Check(op->Left.get());
        const TscTypeRec r = Check(op->Right.get());
        op->BothInteger = l.VarType == fvtInt && r.VarType == fvtInt;
        op->BothBoolean = l.VarType == fvtBool && r.VarType == fvtBool;
        if (const TscTypeRec* mask = SetWithMask(op, l, r)) {
            // Style + [fsBold], Style = []: the constructor is a mask like the set beside it.
            const TscTypeRec t = *mask;
            op->BothInteger = false;
            op->VarType = IsComparison(op->Op) ? fvtBool : t.VarType;
            op->TypeName = IsComparison(op->Op) ? AnsiString() : t.TypeName;
            return TscTypeRec(op->VarType, op->TypeName);
        }
        bool allowed;
        if (op->Op == opIs) {
            // The right side must name a registered class.
            auto* dn = dynamic_cast<TscDesignatorNode*>(op->Right.get());
            allowed = dn && dn->Designator->StepCount() >= 1 &&
                      dynamic_cast<TscClassVariable*>(dn->Designator->Step(0)->Ref) &&
                      (l.VarType == fvtClass || l.VarType == fvtVariant);
        } else if (op->StrCat) {
            // "&" joins text with anything printable; only objects and arrays are refused.
            allowed = l.VarType != fvtClass && l.VarType != fvtArray && r.VarType != fvtClass && r.VarType != fvtArray;
        } else {
            allowed = TypesCompatible(l, r, Script) && Allows(l.VarType, op->Op);
        }
        TscTypeRec t = l;
        if (allowed) {
            if ((l.VarType == fvtInt && r.VarType == fvtFloat) || (l.VarType == fvtFloat && r.VarType == fvtInt))
                t.VarType = fvtFloat;
            if (op->Op == opDivFloat && t.VarType == fvtInt)
                t.VarType = fvtFloat; // "/" yields a floating value even of two Integers
            if (IsComparison(op->Op) || op->Op == opIn || op->Op == opIs)
                t = TscTypeRec(fvtBool, AnsiString());
            else if (op->StrCat && (l.VarType == fvtChar || r.VarType == fvtString || r.VarType == fvtChar))
                t = TscTypeRec(l.VarType == fvtInt || l.VarType == fvtFloat ? fvtVariant : fvtString, AnsiString());
        } else if (ErrorPos.empty()) {
            ErrorPos = op->SourcePos.empty() ? AnsiString("0:0") : op->SourcePos;
        }
        op->VarType = t.VarType;
        op->TypeName = t.TypeName;
        return t;
    }

    // A set constructor beside a set (a mask of an enumeration-set or integer
    // type) under + - * = <>: the constructor becomes a mask and + - * become
    // set operators. The type of the set side, else nullptr.
    static const TscTypeRec* SetWithMask(TscOperatorNode* op, const TscTypeRec& l, const TscTypeRec& r)
    {
        const bool setOp = op->Op == opPlus || op->Op == opMinus || op->Op == opMul;
        if (op->StrCat || !(setOp || op->Op == opEq || op->Op == opNonEq))
            return nullptr;
        auto* ls = dynamic_cast<TscSetNode*>(op->Left.get());
        auto* rs = dynamic_cast<TscSetNode*>(op->Right.get());
        // A Variant beside a constructor is taken as a set too (late binding:
        // v.Style + [fsBold]); its value is turned into a mask when it runs.
        const bool lMask = l.VarType == fvtEnum || l.VarType == fvtInt || (l.VarType == fvtVariant && !ls);
        const bool rMask = r.VarType == fvtEnum || r.VarType == fvtInt || (r.VarType == fvtVariant && !rs);
        const TscTypeRec* side;
        if (ls && rMask)
            side = &r;
        else if (rs && lMask)
            side = &l;
        else
            return nullptr;
        for (TscSetNode* s : {ls, rs})
            if (s) {
                s->AsMask = true;
                s->VarType = fvtInt;
            }
        op->SetOp = true;
        return side;
    }

    static bool Allows(TscVarType left, TscOperatorType op)
    {
        switch (left) {
        case fvtBool:
            return op == opNonEq || op == opEq || op == opOr || op == opXor || op == opAnd || op == opNot;
        case fvtChar:
        case fvtString:
            return IsComparison(op) || op == opPlus || op == opIn;
        case fvtClass:
        case fvtArray:
            return op == opEq || op == opNonEq;
        default:
            return true;
        }
    }
};

} // namespace

namespace {

// No code runs while node is evaluated: constants, plain variables and operators on them.
bool RunsNoCode(const TscExpressionNode* node)
{
    if (!node)
        return true;
    if (node->Direct)
        return true;
    const auto* op = dynamic_cast<const TscOperatorNode*>(node);
    return op && op->Op != opIn && op->Op != opIs && RunsNoCode(op->Left.get()) && RunsNoCode(op->Right.get());
}

// Gives the operators Num may compute their routine; true when node is one or a value
// read in place.
bool MarkNum(TscExpressionNode* node)
{
    if (node->Direct)
        return true;
    auto* op = dynamic_cast<TscOperatorNode*>(node);
    if (!op)
        return false;
    const bool left = op->Left && MarkNum(op->Left.get());
    const bool right = op->Right && MarkNum(op->Right.get());
    op->NumCompute = !op->StrCat && !op->SetOp && left && right ? scNumRoutine(*op) : nullptr;
    op->IntCompute = op->NumOk() ? scIntRoutine(*op) : nullptr;
    op->TestCompute = op->NumOk() ? scTestRoutine(*op) : nullptr;
    op->RightLiteral = 0;
    op->LiteralLeft = op->NumOk() && scRightLiteral(*op, op->RightLiteral) ? op->Left->Direct : nullptr;
    op->FloatCompute = op->NumOk() ? scFloatRoutine(*op) : nullptr;
    op->WideCompute = op->NumOk() && !op->IntCompute ? scWideRoutine(*op) : nullptr;
    const auto intOf = [](const TscExpressionNode* n) -> const TscOperatorNode* {
        const auto* o = dynamic_cast<const TscOperatorNode*>(n);
        return o && o->IntCompute ? o : nullptr;
    };
    op->LeftInt = intOf(op->Left.get());
    op->RightInt = intOf(op->Right.get());
    // A designator node reads its designator's GetValue; of this class exactly, a member
    // read may give its Integer without it.
    const auto memberOf = [](TscExpressionNode* n) -> TscDesignator* {
        if (!n || typeid(*n) != typeid(TscDesignatorNode))
            return nullptr;
        auto* d = static_cast<TscDesignatorNode*>(n);
        return d->ValueSource == d->Designator.get() && typeid(*d->Designator) == typeid(TscDesignator)
                   ? d->Designator.get()
                   : nullptr;
    };
    op->LeftMember = memberOf(op->Left.get());
    op->RightMember = memberOf(op->Right.get());
    const auto numOf = [](const TscExpressionNode* n) -> const TscOperatorNode* {
        const auto* o = dynamic_cast<const TscOperatorNode*>(n);
        return o && o->NumCompute ? o : nullptr;
    };
    op->LeftNum = numOf(op->Left.get());
    op->RightNum = numOf(op->Right.get());
    const auto sourceOf = [](TscExpressionNode* n) -> TscNumberSource* {
        if (!n || typeid(*n) != typeid(TscDesignatorNode))
            return nullptr;
        return scNumberSourceOf(static_cast<TscDesignatorNode*>(n)->ValueSource);
    };
    op->LeftSource = sourceOf(op->Left.get());
    op->RightSource = sourceOf(op->Right.get());
    // An operator whose GetValue goes straight to NumberOperands (PlusValue, ArithValue).
    const auto chainOf = [](TscExpressionNode* n) -> TscOperatorNode* {
        auto* o = dynamic_cast<TscOperatorNode*>(n);
        if (!o || o->NumCompute || !o->NumberFirst || o->SetOp || o->StrCat)
            return nullptr;
        const bool arith = o->Op == opPlus || o->Op == opMinus || o->Op == opMul || o->Op == opDivFloat;
        return arith && !(o->BothInteger && o->Op != opDivFloat) ? o : nullptr;
    };
    op->LeftChain = chainOf(op->Left.get());
    op->NumberFirst = (op->LeftNum || op->LeftMember || op->LeftSource || op->LeftChain) && !op->LeftDirect;
    return op->NumOk();
}

void MarkDirectOperands(TscExpressionNode* node)
{
    auto* op = dynamic_cast<TscOperatorNode*>(node);
    if (!op)
        return;
    MarkDirectOperands(op->Left.get());
    MarkDirectOperands(op->Right.get());
    op->RightDirect = op->Right ? op->Right->Direct : nullptr;
    op->LeftDirect = op->Left && RunsNoCode(op->Right.get()) ? op->Left->Direct : nullptr;
}

} // namespace

void TscExpression::Finalize(AnsiString& errorPos)
{
    errorPos.clear();
    std::unique_ptr<TscExpressionNode> root = std::move(FRoot->Left);
    if (!root)
        BadExpression();
    root->ParentNode = nullptr;
    FRoot = std::move(root);
    FCurrent = FRoot.get();
    TypeChecker checker{Script, {}};
    const TscTypeRec t = checker.Check(FRoot.get());
    errorPos = checker.ErrorPos;
    VarType = t.VarType;
    TypeName = t.TypeName;
    auto* dn = dynamic_cast<TscDesignatorNode*>(FRoot.get());
    ReadOnly = !dn || dn->Designator->ReadOnly;
    MarkDirectOperands(FRoot.get());
    UpdateNumRoot();
}

void TscExpression::UpdateNumRoot()
{
    FNumRoot = nullptr;
    if (FRoot && MarkNum(FRoot.get()))
        FNumRoot = dynamic_cast<const TscOperatorNode*>(FRoot.get());
}

const Variant* TscExpression::ConstValue() const
{
    return FRoot && typeid(*FRoot) == typeid(TscOperandNode) ? FRoot->Direct : nullptr;
}

void TscExpression::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    if (auto* dn = dynamic_cast<TscDesignatorNode*>(FRoot.get()))
        dn->Designator->SetValue(value);
}

bool scIsPlainExpression(const TscExpressionNode* node, const TscCustomVariable* target)
{
    if (!node)
        return true;
    if (const auto* op = dynamic_cast<const TscOperatorNode*>(node))
        return scIsPlainExpression(op->Left.get(), target) && scIsPlainExpression(op->Right.get(), target);
    if (dynamic_cast<const TscSetNode*>(node))
        return false;
    const auto* dn = dynamic_cast<const TscDesignatorNode*>(node);
    if (!dn)
        return true; // a constant
    const TscDesignator* d = dn->Designator.get();
    if (d->StepCount() == 0 || d->RefItem == target)
        return false;
    for (int i = 0; i < d->StepCount(); ++i) {
        const TscDesignatorItem* step = d->Step(i);
        const TscCustomVariable* ref = step->Ref;
        const std::type_info& t = typeid(*ref);
        const bool plain = t == typeid(TscVariable) || t == typeid(TscParamItem) || t == typeid(TscStringVariable) ||
                           t == typeid(TscMethodHelper) || t == typeid(TscPropertyHelper) ||
                           t == typeid(TscComponentHelper);
        if (!plain || ref == target)
            return false;
        for (int j = 0; j < step->Count(); ++j)
            if (!scIsPlainExpression(step->GetItem(j)->Root(), target))
                return false;
    }
    return true;
}

namespace {

bool IsSameVariable(const TscExpressionNode* node, const TscCustomVariable* var)
{
    const auto* dn = dynamic_cast<const TscDesignatorNode*>(node);
    return dn && dn->Designator->Kind == dkVariable && dn->Designator->RefItem == var;
}

} // namespace

void TscExpression::Optimize(const TscDesignator* target, AnsiString& opText)
{
    opText = " ";
    if (!target || target->Kind != dkVariable || !target->RefItem)
        return;
    auto* op = dynamic_cast<TscOperatorNode*>(FRoot.get());
    // Concatenation and set operators are left alone: assign-plus would add.
    if (!op || op->StrCat || op->SetOp)
        return;
    const char* text = nullptr;
    switch (op->Op) {
    case opPlus: text = "+"; break;
    case opMinus: text = "-"; break;
    case opMul: text = "*"; break;
    case opDivFloat: text = "/"; break;
    default: return;
    }
    const TscCustomVariable* var = target->RefItem;
    std::unique_ptr<TscExpressionNode> keep;
    if (IsSameVariable(op->Left.get(), var)) {
        keep = std::move(op->Right);
    } else if (IsSameVariable(op->Right.get(), var) && (op->Op == opPlus || op->Op == opMul) &&
               var->VarType != fvtString && var->VarType != fvtVariant && scIsPlainExpression(op->Left.get(), var)) {
        // e op x: the shortened form reads x first, which is the same only when e cannot
        // change x.
        keep = std::move(op->Left);
    } else {
        return;
    }
    keep->ParentNode = nullptr;
    FRoot = std::move(keep);
    FCurrent = FRoot.get();
    opText = text;
    UpdateNumRoot();
}

namespace {

// Set constructors joined by + - * (and set operators already found).
bool IsSetShaped(const TscExpressionNode* node)
{
    if (dynamic_cast<const TscSetNode*>(node))
        return true;
    const auto* op = dynamic_cast<const TscOperatorNode*>(node);
    if (!op || op->StrCat || (op->Op != opPlus && op->Op != opMinus && op->Op != opMul))
        return false;
    return op->SetOp || (IsSetShaped(op->Left.get()) && IsSetShaped(op->Right.get()));
}

void MakeMask(TscExpressionNode* node)
{
    if (auto* set = dynamic_cast<TscSetNode*>(node)) {
        set->AsMask = true;
        set->VarType = fvtInt;
    } else if (auto* op = dynamic_cast<TscOperatorNode*>(node)) {
        op->SetOp = true;
        op->BothInteger = false;
        MakeMask(op->Left.get());
        MakeMask(op->Right.get());
    }
}

} // namespace

void TscExpression::ShapeFor(const TscCustomVariable* target)
{
    if (!target || (target->VarType != fvtEnum && target->VarType != fvtInt) || !IsSetShaped(FRoot.get()))
        return;
    MakeMask(FRoot.get());
    VarType = fvtInt;
    UpdateNumRoot();
}

bool TscExpression::IsSetMask() const
{
    if (const auto* set = dynamic_cast<const TscSetNode*>(FRoot.get()))
        return set->AsMask;
    return IsSetShaped(FRoot.get());
}

TscCustomVariable* TscExpression::SingleItem() const
{
    if (auto* dn = dynamic_cast<TscDesignatorNode*>(FRoot.get())) {
        if (dn->Designator->Kind == dkVariable && dn->Designator->RefItem)
            return dn->Designator->RefItem;
        return dn->Designator.get();
    }
    if (dynamic_cast<TscSetNode*>(FRoot.get()) || dynamic_cast<TscOperatorNode*>(FRoot.get()))
        return nullptr;
    return FRoot.get();
}
