// Statements.cpp - see Statements.h.
#include "script/Statements.h"

#include "script/FastPaths.h"
#include "script/Messages.h"
#include "script/NumberStore.h"
#include "script/Script.h"

#include <new>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace {

using script_store::JoinIntegersInto;
using script_store::PutNumber;
using script_store::PutOverNumber;

// The same for a computed number (+ - * / give Integer, Int64 or Double).
[[gnu::always_inline]] inline void PutNumber(Variant& v, const script_fast::Num& n)
{
    switch (n.Type) {
    case varInteger: PutNumber(v, static_cast<int32_t>(n.L)); break;
    case varInt64: PutNumber(v, static_cast<long long>(n.L)); break;
    case varDouble: PutNumber(v, n.D); break;
    default: v = n.ToVariant(); break;
    }
}

// Appends tail in place to the text of a plain target (a variable or parameter; Optimize):
// a text no other value shares, or one a var parameter borrows from its String variable
// argument. False, with nothing changed, when the text must be copied first.
bool AppendToPlain(TscCustomVariable* target, std::string_view tail)
{
    if (typeid(*target) == typeid(TscParamItem))
        return static_cast<TscParamItem*>(target)->AppendInPlace(tail);
    return target->Value.AppendUnshared(tail);
}

// A loop's body, looked at once before the first pass. Run runs it once and tells whether
// the loop goes on (the loop epilogue).
class LoopBody {
public:
    explicit LoopBody(TscStatement& loop)
        : FLoop(loop), FScript(loop.Script), FCount(loop.Count()), FOnly(FCount == 1 ? loop.GetItem(0) : nullptr),
          FDirect(FOnly ? FOnly->Direct : nullptr)
    {
    }

    // The one statement of the body and its direct step, else nullptr.
    TscStatement* Only() const { return FOnly; }
    TscStatement::DirectFunction Direct() const { return FDirect; }

    [[gnu::always_inline]] bool Run()
    {
        TscScript* const s = FScript;
        if (FOnly) {
            // The list's own walk for one statement, without its loop; the statement's
            // direct step while no host follows the lines.
            if (!s->Terminated && (!FDirect || TscRunLineEvent::AnySet() || !FDirect(FOnly)))
                TscStatement::RunChild(FOnly);
        } else if (FCount == 0) {
            FLoop.RunLine(); // an empty body still gives the host its chance to stop us
        } else {
            FLoop.TscStatement::Execute();
        }
        if (s->Terminated || s->BreakRequested || s->ExitRequested)
            return false;
        s->ContinueRequested = false;
        return true;
    }

private:
    TscStatement& FLoop;
    TscScript* const FScript;
    const int FCount;
    TscStatement* const FOnly;
    const TscStatement::DirectFunction FDirect;
};

// Stores a computed number into a plain variable or parameter as its SetValue would: a
// floating variable given an integer converts it (the general path does that).
inline void StoreNum(TscCustomVariable* target, const script_fast::Num& n)
{
    if (target->VarType == fvtFloat ? n.Type != varDouble : !KeepsAsGiven(target->VarType))
        target->SetValue(n.ToVariant());
    else if (!target->ReadOnly)
        target->Value = n.ToVariant();
}

// A condition's truth when its comparison has no Test routine or the routine declines: a
// number tree's Boolean without a Variant, else the general value.
bool HoldsGenerallyOf(const TscExpression& condition)
{
    if (const TscOperatorNode* op = condition.NumRoot(); op && !op->TestCompute)
        if (script_fast::Num n; op->Num(n) && n.Type == varBoolean)
            return n.L != 0;
    return script_fast::ToBool(condition.Root()->GetValue());
}

// A condition's truth: a comparison over numbers without a Variant, else the general value.
// The condition is looked at once, before the first test.
class LoopCondition {
public:
    explicit LoopCondition(const TscExpression& condition)
        : FCondition(condition), FTest(condition.NumRoot() ? condition.NumRoot()->TestCompute : nullptr)
    {
    }

    [[gnu::always_inline]] bool Holds() const
    {
        if (FTest)
            if (const int t = FTest(FCondition.NumRoot()); t >= 0)
                return t != 0;
        return HoldsGenerallyOf(FCondition);
    }
    // The comparison's routine, when the condition is one that has it.
    TscOperatorNode::TestFunction Test() const { return FTest; }
    const TscOperatorNode* Node() const { return FCondition.NumRoot(); }
    bool HoldsGenerally() const { return HoldsGenerallyOf(FCondition); }

private:
    const TscExpression& FCondition;
    const TscOperatorNode::TestFunction FTest;
};

inline bool Holds(const TscExpression& condition)
{
    return LoopCondition(condition).Holds();
}

// Clears BreakRequested (and a pending continue) however the loop ends.
struct LoopEnd {
    TscScript* S;
    ~LoopEnd()
    {
        S->BreakRequested = false;
        S->ContinueRequested = false;
    }
};


// StepInPlace for the kinds it takes without a conversion that could fail: on an Integer
// variable (Integer) an Integer, or an Int64 inside 32 bits, stepped in 32 bits; on any other
// an Integer or Int64 value that keeps its kind (an overflow takes the general path). False,
// with nothing changed, otherwise. The direct step of x++ and x--, and the counter of a C-style
// for loop that steps it so.
template <int By, bool Integer>
[[gnu::always_inline]] inline bool StepCounter(TscCustomVariable* target)
{
    if (target->ReadOnly)
        return false;
    Variant& v = target->Value;
    if constexpr (Integer) {
        int32_t x;
        if (!script_fast::Num::FromInt32(v, x))
            return false;
        PutNumber(v, script_fast::WrapArith(By > 0 ? '+' : '-', x, 1));
    } else if (v.VType() == varInteger) {
        int32_t r;
        if (__builtin_add_overflow(v.RawInteger(), By, &r))
            return false;
        PutNumber(v, r);
    } else if (v.VType() == varInt64) {
        long long r;
        if (__builtin_add_overflow(v.RawInt64(), static_cast<long long>(By), &r))
            return false;
        PutNumber(v, r);
    } else {
        return false;
    }
    return true;
}

// What the Test routine of a comparison of a counter with a bound, both read in place, gives
// for two integers: 1 or 0; -1 where the values are of other kinds (or, Int32, an integer
// outside 32 bits), and the routine then decides. Int32: both operands statically Integer,
// whose routine compares 32-bit values.
template <bool Int32, script_fast::Cmp C>
[[gnu::always_inline]] inline int CounterTest(const Variant& a, const Variant& b)
{
    if constexpr (Int32) {
        int32_t x, y;
        if (!script_fast::Num::FromInt32(a, x) || !script_fast::Num::FromInt32(b, y))
            return -1;
        return script_fast::CompareInts(C, x, y);
    } else {
        if (!script_fast::IsInt(a.VType()) || !script_fast::IsInt(b.VType()))
            return -1;
        return script_fast::CompareInts(C, script_fast::AsInt(a), script_fast::AsInt(b));
    }
}

template <char C>
bool UpdateMember(TscDesignator& target, TscDesignator& read, const TscOperatorNode& op)
{
    return target.UpdateKeptInt<C>(read, op);
}

} // namespace

// ---------------------------------------------------------------- assignments

TscAssignmentStmt::~TscAssignmentStmt() = default;

void TscAssignmentStmt::Optimize()
{
    Target = Designator->Kind == dkVariable && Designator->RefItem ? Designator->RefItem
                                                                   : static_cast<TscCustomVariable*>(Designator.get());
    TscCustomVariable* single = Expression->SingleItem();
    // The tree's root stands for the whole expression (its value is the root's value).
    Source = single ? single : Expression->Root() ? static_cast<TscCustomVariable*>(Expression->Root()) : Expression.get();
    PlainTarget = nullptr;
    StringTarget = nullptr;
    if (Target != Designator.get()) {
        const std::type_info& t = typeid(*Target);
        if (t == typeid(TscVariable) || t == typeid(TscParamItem))
            PlainTarget = Target;
        else if (t == typeid(TscStringVariable))
            StringTarget = static_cast<TscStringVariable*>(Target);
    }
    AppendChain.clear();
    SourcePlain = scIsPlainExpression(Expression->Root(), Target);
    NumSource = Expression->NumRoot();
    DirectSource = Expression->Root() ? Expression->Root()->Direct : nullptr;
    Direct = nullptr;
    if (PlainTarget && NumSource && (PlainTarget->VarType == fvtFloat || KeepsAsGiven(PlainTarget->VarType)))
        Direct = NumSource->IntCompute && PlainTarget->VarType != fvtFloat ? DirectInt
                 : NumSource->FloatCompute                                  ? DirectFloat
                                                                            : DirectNum;
    StoreDirect = Direct;
    if (PlainTarget || StringTarget) {
        std::vector<TscOperatorNode*> chain;
        TscExpressionNode* node = Expression->Root();
        auto* op = dynamic_cast<TscOperatorNode*>(node);
        while (op && op->Op == opPlus && !op->SetOp && op->Left && op->Right &&
               scIsPlainExpression(op->Right.get(), Target)) {
            chain.push_back(op);
            node = op->Left.get();
            op = dynamic_cast<TscOperatorNode*>(node);
        }
        auto* left = dynamic_cast<TscDesignatorNode*>(node);
        if (!chain.empty() && left && left->ValueSource == Target)
            AppendChain.assign(chain.rbegin(), chain.rend());
    }
    JoinSource = nullptr;
    JoinLeft = JoinRight = nullptr;
    auto* op = dynamic_cast<TscOperatorNode*>(Expression->Root());
    // What GetValue of such a root gives is Variant(IntArith()).
    IntegerMember = NumberMember = nullptr;
    IntegerSource = NumberSource = nullptr;
    if (!PlainTarget && !StringTarget && Target == Designator.get() && typeid(*Designator) == typeid(TscDesignator) &&
        op && !op->NumOk() && !op->StrCat && !op->SetOp) {
        const bool intArith = op->Op == opPlus || op->Op == opMinus || op->Op == opMul;
        if (intArith && op->BothInteger) {
            IntegerMember = Designator.get();
            IntegerSource = op;
        } else if ((intArith || op->Op == opDivFloat) && op->NumberFirst) {
            NumberMember = Designator.get();
            NumberSource = op;
            NumberRoutine = op->NumberRoutine();
        }
    }
    MemberUpdate = nullptr;
    UpdateRead = nullptr;
    if (NumberMember && NumberSource->Op != opDivFloat && NumberSource->LeftMember && !NumberSource->LeftNum &&
        !NumberSource->LeftSource && (NumberSource->RightDirect || NumberSource->RightNum)) {
        UpdateRead = NumberSource->LeftMember;
        MemberUpdate = NumberSource->Op == opPlus    ? UpdateMember<'+'>
                       : NumberSource->Op == opMinus ? UpdateMember<'-'>
                                                     : UpdateMember<'*'>;
    }
    if (PlainTarget && KeepsAsGiven(PlainTarget->VarType) && AppendChain.empty() && op && op->Op == opPlus &&
        !op->SetOp && !op->LeftDirect && !op->RightDirect) {
        // A designator node reads its designator's GetValue; of this class exactly, it is read
        // here without the node and the virtual call.
        auto designatorOf = [](const TscExpressionNode* n) -> TscDesignator* {
            if (!n || typeid(*n) != typeid(TscDesignatorNode))
                return nullptr;
            auto* d = static_cast<const TscDesignatorNode*>(n);
            return d->ValueSource == d->Designator.get() && typeid(*d->Designator) == typeid(TscDesignator)
                       ? d->Designator.get()
                       : nullptr;
        };
        JoinLeft = designatorOf(op->Left.get());
        JoinRight = designatorOf(op->Right.get());
        if (JoinLeft && JoinRight)
            JoinSource = op;
        else
            JoinLeft = JoinRight = nullptr;
    }
}

// The target's text as it stands now: a host routine among the operands may have given
// the target another value (Variables[name], a routine it calls back).
const AnsiString* TscAssignmentStmt::AppendTargetText() const
{
    if (StringTarget)
        return &StringTarget->Text();
    return ::VarType(PlainTarget->Value) == varString ? PlainTarget->Value.StrPtr() : nullptr;
}

bool TscAssignmentStmt::AppendInPlace()
{
    if (!StringTarget && (PlainTarget->ReadOnly || ::VarType(PlainTarget->Value) != varString))
        return false;
    // The pieces gather beside the target and go onto its text once every operand is read:
    // an operand calling the host may give the target another text, which frees the one
    // held. The target's text is still neither copied nor read whole.
    AnsiString tail;
    const auto targetSize = [&] {
        const AnsiString* t = AppendTargetText();
        return static_cast<int64_t>(t ? t->size() : 0);
    };
    for (size_t k = 0; k < AppendChain.size(); ++k) {
        const TscOperatorNode* op = AppendChain[k];
        Variant tb;
        const Variant& b = op->RightDirect ? *op->RightDirect : (tb = op->Right->GetValue());
        const AnsiString* piece = ::VarType(b) == varString ? b.StrPtr() : nullptr;
        AnsiString converted;
        if (!piece && op->StrCat) {
            converted = VarToStr(b);
            piece = &converted;
        }
        if (!piece) {
            // Not a text: the general join from here on, the target as it is now.
            const AnsiString* text = AppendTargetText();
            Variant rest = text ? Variant(*text + tail) : PlainTarget->Value;
            if (!text && k > 0)
                rest = AppendChain[k - 1]->Join(rest, Variant(tail));
            rest = op->Join(rest, b);
            for (++k; k < AppendChain.size(); ++k) {
                const TscOperatorNode* next = AppendChain[k];
                Variant tn;
                rest = next->Join(rest, next->RightDirect ? *next->RightDirect : (tn = next->Right->GetValue()));
            }
            Target->SetValue(rest);
            return true;
        }
        scCheckStringLength(targetSize() + static_cast<int64_t>(tail.size()) + static_cast<int64_t>(piece->size()));
        if (k + 1 == AppendChain.size() && tail.empty()) {
            AppendToTarget(*piece); // the only piece: no need to gather it
            return true;
        }
        tail.append(*piece);
    }
    AppendToTarget(tail);
    return true;
}

void TscAssignmentStmt::AppendToTarget(std::string_view tail)
{
    if (StringTarget) {
        StringTarget->MutableText().append(tail);
    } else if (::VarType(PlainTarget->Value) != varString) {
        Target->SetValue(AppendChain.back()->Join(PlainTarget->Value, Variant(AnsiString(tail))));
    } else if (!AppendToPlain(PlainTarget, tail)) {
        // shared with another variable: this one gets its own copy once
        PlainTarget->Value = Variant(*PlainTarget->Value.StrPtr() + AnsiString(tail));
    }
}

void TscAssignmentStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (IntegerMember)
        return IntegerMember->SetInteger(IntegerSource->IntArith());
    if (NumberMember) {
        if (MemberUpdate && MemberUpdate(*NumberMember, *UpdateRead, *NumberSource))
            return;
        script_fast::Num n;
        Variant v;
        if (NumberRoutine(*NumberSource, n, v) == TscOperatorNode::NumberOutcome::Number)
            return NumberMember->SetNumber(n);
        return NumberMember->SetValue(v);
    }
    // A constant or plain variable given to a target that keeps what it is given: the value
    // as it stands, what the number step below and the general path would both store.
    if (DirectSource && PlainTarget && KeepsAsGiven(PlainTarget->VarType)) {
        if (!PlainTarget->ReadOnly)
            PlainTarget->Value = *DirectSource;
        return;
    }
    // A number computed without a Variant: the source's operands were all numbers, so the
    // target was one too and no append applies.
    if (PlainTarget && (NumSource || DirectSource)) {
        if (script_fast::Num n; SourceNum(n)) {
            StoreNum(PlainTarget, n);
            return;
        }
    }
    if (!AppendChain.empty() && AppendInPlace())
        return;
    if (JoinSource) {
        Variant a = JoinLeft->TscDesignator::GetValue();
        Variant b = JoinRight->TscDesignator::GetValue();
        // A read-only target is given nothing; Join still runs for the errors it raises.
        if (PlainTarget->ReadOnly || !JoinIntegersInto(*JoinSource, a, b, PlainTarget->Value)) {
            Variant v = JoinSource->Join(a, b);
            if (!PlainTarget->ReadOnly)
                PlainTarget->Value = std::move(v);
        }
        return;
    }
    if (PlainTarget && KeepsAsGiven(PlainTarget->VarType)) {
        // What the target's SetValue does with a value it takes as it is, without a copy.
        Variant v = Source->GetValue();
        if (!PlainTarget->ReadOnly)
            PlainTarget->Value = std::move(v);
        return;
    }
    Target->SetValue(Source->GetValue());
}

void TscReturnStmt::Optimize()
{
    TscAssignmentStmt::Optimize();
    Direct = nullptr; // a loop running the step alone would skip the exit
}

void TscReturnStmt::Execute()
{
    TscAssignmentStmt::Execute();
    TscScript* const script = Script;
    if (!(script->Terminated | script->BreakRequested | script->ContinueRequested | script->ExitRequested))
        script->ExitRequested = true;
}

// Execute's number step (the source's number stored as the variable's SetValue would).
[[gnu::noinline]] bool TscAssignmentStmt::DirectNum(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignmentStmt*>(stmt);
    script_fast::Num n;
    if (!self->NumSource->Num(n))
        return false;
    StoreNum(self->PlainTarget, n);
    return true;
}

// The same for a source with a floating routine: its Double, stored as StoreNum stores one;
// where the routine gives up, DirectNum's general number.
bool TscAssignmentStmt::DirectFloat(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignmentStmt*>(stmt);
    const TscOperatorNode::FloatResult r = self->NumSource->FloatCompute(self->NumSource);
    if (!r.Ok) [[unlikely]]
        return DirectNum(stmt);
    if (!self->PlainTarget->ReadOnly)
        PutNumber(self->PlainTarget->Value, r.Value);
    return true;
}

// The same for a source whose value is always an Integer, given to a variable that is not
// a floating one (which would convert it).
bool TscAssignmentStmt::DirectInt(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignmentStmt*>(stmt);
    int32_t v;
    if (!self->NumSource->IntCompute(self->NumSource, v))
        return false;
    if (!self->PlainTarget->ReadOnly)
        PutNumber(self->PlainTarget->Value, v);
    return true;
}

void TscAssignOpStmt::Optimize()
{
    TscAssignmentStmt::Optimize();
    Direct = nullptr;
    if (!PlainTarget || !SourcePlain || SetOp || (!NumSource && !DirectSource))
        return;
    const bool f = PlainTarget->VarType == fvtFloat;
    if (!f && !KeepsAsGiven(PlainTarget->VarType))
        return; // a text target converts what it is given: the general path
    if (!IntegerOp && !f && NumSource && NumSource->WideCompute) {
        switch (Op) {
        case '+': Direct = DirectWide<'+'>; return;
        case '-': Direct = DirectWide<'-'>; return;
        case '*': Direct = DirectWide<'*'>; return;
        default: break;
        }
    }
    switch (Op) {
    case '+': Direct = IntegerOp ? DirectInteger<'+'> : f ? DirectNumber<'+', true> : DirectNumber<'+', false>; break;
    case '-': Direct = IntegerOp ? DirectInteger<'-'> : f ? DirectNumber<'-', true> : DirectNumber<'-', false>; break;
    case '*': Direct = IntegerOp ? DirectInteger<'*'> : f ? DirectNumber<'*', true> : DirectNumber<'*', false>; break;
    case '/': Direct = IntegerOp ? nullptr : f ? DirectNumber<'/', true> : DirectNumber<'/', false>; break;
    default: break;
    }
}

// Execute's step for numbers on both sides of an Integer x op= e: 32 bits that wrap.
template <char Op>
bool TscAssignOpStmt::DirectInteger(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignOpStmt*>(stmt);
    if (self->PlainTarget->ReadOnly)
        return false;
    int32_t y;
    if (!self->SourceInt(y))
        return false;
    Variant& v = self->PlainTarget->Value;
    if (v.VType() != varInteger)
        return false;
    PutNumber(v, script_fast::WrapArith(Op, v.RawInteger(), y));
    return true;
}

// Execute's step for numbers on both sides of any other x op= e (FloatTarget: a Double
// variable, which converts an integer result).
template <char Op, bool FloatTarget>
bool TscAssignOpStmt::DirectNumber(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignOpStmt*>(stmt);
    TscCustomVariable* target = self->PlainTarget;
    if (target->ReadOnly)
        return false;
    script_fast::Num b;
    if (!self->SourceNumDirect(b))
        return false;
    Variant& v = target->Value;
    if constexpr (Op != '/' && !FloatTarget) {
        // Integers on both sides (counters, sums of literals): the result goes straight over
        // the target's number, which owns nothing.
        const TVarType ta = v.VType();
        if (script_fast::IsInt(ta) && script_fast::IsInt(b.Type)) {
            // TryIntArith's rule, written over the target without a Num in between.
            const int64_t x = ta == varInteger ? v.RawInteger() : v.RawInt64();
            int64_t sum;
            bool overflow;
            if constexpr (Op == '+')
                overflow = __builtin_add_overflow(x, b.L, &sum);
            else if constexpr (Op == '-')
                overflow = __builtin_sub_overflow(x, b.L, &sum);
            else
                overflow = __builtin_mul_overflow(x, b.L, &sum);
            if (overflow)
                return false;
            if (ta == varInt64 || b.Type == varInt64 || sum < INT32_MIN || sum > INT32_MAX)
                PutNumber(v, static_cast<long long>(sum));
            else
                PutNumber(v, static_cast<int32_t>(sum));
            return true;
        }
    }
    script_fast::Num a, r;
    if (!script_fast::Num::From(v, a) || !script_fast::TryArith<Op>(a, b, r))
        return false;
    if (FloatTarget && r.Type != varDouble) {
        target->SetValue(r.ToVariant());
        return true;
    }
    PutNumber(v, r);
    return true;
}

// DirectNumber for + - * on a target that is not a floating one and a source with a WideCompute
// routine (i mod 7 over untyped values): two integers are computed here, by TryIntArith's rule,
// with the source's value in registers; anything else is DirectNumber's.
template <char Op>
bool TscAssignOpStmt::DirectWide(TscStatement* stmt)
{
    auto* self = static_cast<TscAssignOpStmt*>(stmt);
    TscCustomVariable* target = self->PlainTarget;
    const TscOperatorNode* source = self->NumSource;
    const TscOperatorNode::WideResult w = source->WideCompute(source);
    Variant& v = target->Value;
    const TVarType ta = v.VType();
    if (w.Type == varEmpty || !script_fast::IsInt(ta) || target->ReadOnly) [[unlikely]]
        return DirectNumber<Op, false>(stmt);
    const int64_t x = ta == varInteger ? v.RawInteger() : v.RawInt64();
    int64_t r;
    bool overflow;
    if constexpr (Op == '+')
        overflow = __builtin_add_overflow(x, w.Value, &r);
    else if constexpr (Op == '-')
        overflow = __builtin_sub_overflow(x, w.Value, &r);
    else
        overflow = __builtin_mul_overflow(x, w.Value, &r);
    if (overflow)
        return false;
    if (ta == varInt64 || w.Type == varInt64 || r < INT32_MIN || r > INT32_MAX)
        PutNumber(v, static_cast<long long>(r));
    else
        PutNumber(v, static_cast<int32_t>(r));
    return true;
}

void TscAssignOpStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (!SourcePlain) {
        // The source may change the target: the target's value is taken first.
        const Variant a = Target->GetValue();
        Apply(a, Source->GetValue());
        return;
    }
    if (PlainTarget && !PlainTarget->ReadOnly && !SetOp) {
        // Numbers on both sides: computed and stored without a Variant in between. Anything
        // else (a text, an overflow, a zero divisor) takes the paths below, which read the
        // same values again: nothing here runs code.
        script_fast::Num a, b;
        if (IntegerOp) {
            // An Integer target (never a floating one, so the value is stored as it is).
            const Variant& v = PlainTarget->Value;
            int32_t y;
            if (v.VType() == varInteger && SourceNum(b) && b.ToInt32(y)) {
                PlainTarget->Value = Variant(script_fast::WrapArith(Op, v.RawInteger(), y));
                return;
            }
        } else if (script_fast::Num::From(PlainTarget->Value, a) && SourceNum(b)) {
            {
                script_fast::Num r;
                if (script_fast::TryArith(Op, a, b, r)) {
                    StoreNum(PlainTarget, r);
                    return;
                }
            }
        }
    }
    const Variant b = Source->GetValue();
    if (IntegerOp) {
        const Variant& a = PlainTarget ? PlainTarget->Value : Target->GetValue();
        Target->SetValue(Variant(script_fast::WrapArith(Op, script_fast::ToInt32(a), script_fast::ToInt32(b))));
        return;
    }
    if (!SetOp) {
        // The common shapes in place: the target's own value, no copy of it.
        if (PlainTarget && !PlainTarget->ReadOnly) {
            // Read by reference; the result is stored through SetValue, which gives it the
            // variable's declared type. A string grows in place when nothing else shares it.
            Variant& a = PlainTarget->Value;
            Variant r;
            if (script_fast::TryArith(Op, a, b, r)) {
                PlainTarget->SetValue(r);
                return;
            }
            if (Op == '+')
                script_detail::CheckJoin(a, b);
            if (Op == '+' && ::VarType(b) == varString && AppendToPlain(PlainTarget, *b.StrPtr()))
                return;
        } else if (StringTarget && Op == '+' && ::VarType(b) == varString) {
            scCheckStringLength(static_cast<int64_t>(StringTarget->Text().size()) +
                                static_cast<int64_t>(b.StrPtr()->size()));
            StringTarget->MutableText() += *b.StrPtr();
            return;
        }
    }
    Apply(Target->GetValue(), b);
}

void TscAssignOpStmt::Apply(const Variant& a, const Variant& b)
{
    if (SetOp && Op != '/') {
        const int64_t x = scSetToMask(a), y = scSetToMask(b);
        Target->SetValue(Variant(Op == '+' ? x | y : Op == '-' ? x & ~y : x & y));
        return;
    }
    if (IntegerOp) {
        Target->SetValue(Variant(script_fast::WrapArith(Op, script_fast::ToInt32(a), script_fast::ToInt32(b))));
        return;
    }
    switch (Op) {
    case '+':
        script_detail::CheckJoin(a, b);
        Target->SetValue(a + b);
        break;
    case '-': Target->SetValue(VarSub(a, b)); break;
    case '*': Target->SetValue(VarMul(a, b)); break;
    default: Target->SetValue(VarDiv(a, b)); break;
    }
}

TscCallStmt::~TscCallStmt() = default;

bool TscCallStmt::StepInPlace()
{
    // A plain counter steps in place, storing what the general path would: on an Integer
    // variable the 32-bit step; else an Integer or Int64 value (a number literal is an
    // Int64) keeps its kind, and an overflow or a Double variable (which converts) takes
    // the general path.
    if (!PlainTarget || PlainTarget->ReadOnly || !KeepsAsGiven(PlainTarget->VarType))
        return false;
    Variant& v = PlainTarget->Value;
    if (IntegerStep) {
        // x + 1 and x - 1 in 32 bits that wrap.
        if (v.VType() == varInteger) {
            v = Variant(static_cast<int32_t>(static_cast<uint32_t>(v.RawInteger()) + static_cast<uint32_t>(Step)));
            return true;
        }
        if (v.VType() == varInt64) {
            v = Variant(script_fast::WrapArith(Step > 0 ? '+' : '-', script_fast::ToInt32(v), 1));
            return true;
        }
    } else if (v.VType() == varInteger) {
        int32_t r;
        if (!__builtin_add_overflow(v.RawInteger(), Step, &r)) {
            v = Variant(r);
            return true;
        }
    } else if (v.VType() == varInt64) {
        long long r;
        if (!__builtin_add_overflow(v.RawInt64(), static_cast<long long>(Step), &r)) {
            v = Variant(r);
            return true;
        }
    }
    return false;
}

void TscCallStmt::Optimize()
{
    PlainTarget = nullptr;
    Direct = nullptr;
    Step = Modificator.empty() ? 0 : Modificator == "+" ? 1 : -1;
    if (Step == 0 || Designator->Kind != dkVariable || !Designator->RefItem)
        return;
    const std::type_info& t = typeid(*Designator->RefItem);
    if (t == typeid(TscVariable) || t == typeid(TscParamItem))
        PlainTarget = Designator->RefItem;
    // A Double variable converts the sum: the general path does that.
    if (PlainTarget && KeepsAsGiven(PlainTarget->VarType))
        Direct = IntegerStep ? (Step > 0 ? DirectStep<1, true> : DirectStep<-1, true>)
                             : (Step > 0 ? DirectStep<1, false> : DirectStep<-1, false>);
}

template <int By, bool Integer>
bool TscCallStmt::DirectStep(TscStatement* stmt)
{
    return StepCounter<By, Integer>(static_cast<TscCallStmt*>(stmt)->PlainTarget);
}

void TscCallStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (Step != 0 && StepInPlace())
        return;
    if (Modificator.empty()) {
        Designator->NeedResult = false;
        Designator->GetValue();
    } else {
        const Variant one(1);
        const Variant v = Designator->GetValue();
        if (IntegerStep) {
            Designator->SetValue(Variant(script_fast::WrapArith(Modificator[0], script_fast::ToInt32(v), 1)));
            return;
        }
        Variant r;
        if (Modificator == "+")
            Designator->SetValue(script_fast::TryArith<'+'>(v, one, r) ? r : v + one);
        else
            Designator->SetValue(script_fast::TryArith<'-'>(v, one, r) ? r : VarSub(v, one));
    }
}

// ---------------------------------------------------------------- branches

TscIfStmt::TscIfStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos)
    : TscStatement(script, unitName, sourcePos), ElseStmt(std::make_unique<TscStatement>(script, unitName, sourcePos))
{
}

TscIfStmt::~TscIfStmt()
{
    // An else-if chain of any length is a nesting of ifs in else parts; freed by
    // recursion it would take the stack down with it. Each link's else part is
    // taken out before the link goes, so the chain is freed in a loop.
    std::vector<std::unique_ptr<TscStatement>> parts;
    parts.push_back(std::move(ElseStmt));
    while (!parts.empty()) {
        std::unique_ptr<TscStatement> part = std::move(parts.back());
        parts.pop_back();
        if (!part)
            continue;
        for (int i = 0; i < part->Count(); ++i)
            if (auto* link = dynamic_cast<TscIfStmt*>(part->GetItem(i)))
                parts.push_back(std::move(link->ElseStmt));
    }
}

void TscIfStmt::Optimize()
{
    FTestNode = Condition->NumRoot();
    FTest = FTestNode ? FTestNode->TestCompute : nullptr;
    FThenOnly = Count() == 1 ? GetItem(0) : nullptr;
    FElseOnly = ElseStmt->Count() == 1 ? ElseStmt->GetItem(0) : nullptr;
}

void TscIfStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (FTest) {
        // Decided without running code: the flags stand as tested above.
        if (const int t = FTest(FTestNode); t > 0) {
            if (FThenOnly)
                return RunChild(FThenOnly);
            return RunList();
        } else if (t == 0) {
            if (FElseOnly)
                return RunChild(FElseOnly);
            if (ElseStmt->Count() != 0)
                ElseStmt->RunList();
            return;
        }
    }
    if (Holds(*Condition))
        RunList();
    else if (ElseStmt->Count() != 0)
        ElseStmt->RunList();
}

TscCaseSelector::~TscCaseSelector() = default;

TscCaseStmt::TscCaseStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos)
    : TscStatement(script, unitName, sourcePos), ElseStmt(std::make_unique<TscStatement>(script, unitName, sourcePos))
{
}

TscCaseStmt::~TscCaseStmt() = default;

void TscCaseStmt::Execute()
{
    const Variant v = Condition->GetValue();
    RunLine();
    if (Script->Terminated)
        return;
    bool matched = false;
    for (int i = 0; i < Count() && !matched; ++i) {
        auto* selector = static_cast<TscCaseSelector*>(GetItem(i));
        if (selector->SetExpr->Check(v)) {
            selector->TscStatement::Execute();
            matched = true;
        }
    }
    if (!matched)
        ElseStmt->Execute();
    if (BreakEndsCase)
        Script->BreakRequested = false;
}

// ---------------------------------------------------------------- loops

TscRepeatStmt::~TscRepeatStmt() = default;

void TscRepeatStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    LoopEnd end{Script};
    const LoopCondition condition(*Condition);
    LoopBody body(*this);
    for (;;) {
        if (!body.Run())
            break;
        if (condition.Holds() == !InverseCondition)
            break;
    }
}

TscWhileStmt::~TscWhileStmt() = default;

void TscWhileStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    LoopEnd end{Script};
    const LoopCondition condition(*Condition);
    LoopBody body(*this);
    while (!Script->Terminated && condition.Holds())
        if (!body.Run())
            break;
}

TscForStmt::~TscForStmt() = default;

void TscForStmt::Execute()
{
    const int64_t b = BeginValue->GetValue().AsInteger();
    const int64_t e = EndValue->GetValue().AsInteger();
    RunLine();
    if (Script->Terminated)
        return;
    LoopEnd end{Script};
    // The count is fixed before the first pass; 64-bit, so no bound overflows it.
    const int64_t passes = Down ? b - e + 1 : e - b + 1;
    const int64_t by = Down ? -1 : 1;
    TscStatement* const only = Count() == 1 ? GetItem(0) : nullptr;
    const DirectFunction direct = only ? only->Direct : nullptr;
    Variant& counter = LoopVariable->Value;
    TscScript* const s = Script;
    LoopBody body(*this);
    for (int64_t k = 0; k < passes; ++k) {
        if (direct && !TscRunLineEvent::AnySet() && !s->BreakRequested && !s->ContinueRequested &&
            !s->ExitRequested) {
            // Passes of the body's direct step back to back: it runs no code and sets no flag,
            // so the checks between passes are made once here, and again when it declines.
            for (int64_t v = b + k * by; k < passes; ++k, v += by) {
                PutNumber(counter, static_cast<int>(v));
                if (!direct(only))
                    break;
            }
            if (k == passes)
                break;
        }
        PutNumber(counter, static_cast<int>(b + k * by));
        if (only) {
            // LoopBody::Run for a body of one statement: Terminated was last checked when the pass
            // before ended (or before the first), and nothing since has run code.
            if (!direct || TscRunLineEvent::AnySet() || !direct(only))
                TscStatement::RunChild(only);
            if (Script->Terminated || Script->BreakRequested || Script->ExitRequested)
                break;
            Script->ContinueRequested = false;
        } else if (!body.Run()) {
            break;
        }
    }
}

TscVbForStmt::~TscVbForStmt() = default;

bool TscVbForStmt::CountsInPlace(const Variant& b, const Variant& e, const Variant& s)
{
    // Start, end and step Integer or Int64 values inside 32 bits: the counter is a plain
    // number. The loop variable gets what the general walk gives it: the start as it is,
    // then the sum, an Int64 when the start or the step is one (an Integer sum stays inside
    // 32 bits while the end, inside 32 bits, is not passed).
    int32_t first, last, step;
    if (!script_fast::Num::FromInt32(b, first) || !script_fast::Num::FromInt32(e, last) ||
        !script_fast::Num::FromInt32(s, step))
        return false;
    const bool wide = b.VType() == varInt64 || s.VType() == varInt64;
    const bool down = step < 0;
    Variant& counter = LoopVariable->Value;
    LoopBody body(*this);
    TscScript* const script = Script;
    TscStatement* const only = body.Only();
    const DirectFunction direct = body.Direct();
    bool firstPass = true;
    for (int64_t i = first; !script->Terminated && (down ? i >= last : i <= last); i += step) {
        if (firstPass) {
            counter = b;
        } else if (direct && !TscRunLineEvent::AnySet() && !script->BreakRequested && !script->ContinueRequested &&
                   !script->ExitRequested) {
            // Passes of the body's direct step back to back, as in the Pascal loop: nothing
            // they run can set a flag or a hook, so the checks are made again only when the
            // step declines, and that pass then runs as written.
            for (; down ? i >= last : i <= last; i += step) {
                if (wide)
                    PutNumber(counter, static_cast<long long>(i));
                else
                    PutNumber(counter, static_cast<int32_t>(i));
                if (!direct(only))
                    break;
            }
            if (down ? i < last : i > last)
                break;
        } else if (wide) {
            PutNumber(counter, static_cast<long long>(i));
        } else {
            PutNumber(counter, static_cast<int32_t>(i));
        }
        firstPass = false;
        if (!body.Run())
            break;
    }
    return true;
}

void TscVbForStmt::Execute()
{
    const Variant b = BeginValue->GetValue();
    const Variant e = EndValue->GetValue();
    const Variant s = Step ? Step->GetValue() : Variant(1);
    RunLine();
    if (Script->Terminated)
        return;
    LoopEnd end{Script};
    if (CountsInPlace(b, e, s))
        return;
    const bool down = VarLt(s, Variant(0));
    Variant i = b;
    const auto goesOn = [&] {
        bool r;
        if (script_fast::TryCompare(down ? script_fast::Cmp::Ge : script_fast::Cmp::Le, i, e, r))
            return r;
        return down ? VarGe(i, e) : VarLe(i, e);
    };
    LoopBody body(*this);
    while (!Script->Terminated && goesOn()) {
        LoopVariable->Value = i;
        if (!body.Run())
            break;
        // A zero step never ends by itself; the host stops it like any endless loop.
        Variant next;
        i = script_fast::TryArith<'+'>(i, s, next) ? next : i + s;
    }
}

TscCppForStmt::TscCppForStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos)
    : TscStatement(script, unitName, sourcePos),
      FirstStmt(std::make_unique<TscStatement>(script, unitName, sourcePos)),
      SecondStmt(std::make_unique<TscStatement>(script, unitName, sourcePos))
{
}

TscCppForStmt::~TscCppForStmt() = default;

namespace {

// Passes of a counting loop whose body has a direct step: the condition's comparison and the
// counter's step made inline, the condition's routine taking over where the values are not
// two integers. Returns what the last test gave (as the Test routine: 1, 0, or -1 where it
// declined); bodyDone when the body ran and the step then declined.
template <int By, bool Integer, bool Int32, script_fast::Cmp C>
int CountPasses(TscCustomVariable* counter, const Variant* bound, const TscOperatorNode* node, TscStatement* only,
                TscStatement::DirectFunction bodyDirect, bool& bodyDone)
{
    const TscOperatorNode::TestFunction test = node->TestCompute;
    for (;;) {
        int holds = CounterTest<Int32, C>(counter->Value, *bound);
        if (holds < 0)
            holds = test(node);
        if (holds <= 0 || !bodyDirect(only))
            return holds;
        if (!StepCounter<By, Integer>(counter)) {
            bodyDone = true;
            return holds;
        }
    }
}


// Passes of a counting loop whose body may run code (a host property's write, a call): the
// comparison and the counter's step inline as above, the body run as the loop's list runs it.
// Entered while no host follows the lines and no flag is set. The body may run host code that
// sets a hook or changes the counter: the step is made inline only while no hook is set and
// the counter's kind takes it, so the counter holds, whenever the body runs, the value the
// general walk gives it. Returns what the last test gave (1, 0, or -1 where it declined), or
// kPassesEnded when the body ended the loop; bodyDone when the body ran and its step is
// still to be made as written.
constexpr int kPassesEnded = 2;

template <int By, bool Integer, bool Int32, script_fast::Cmp C>
int RunPasses(TscCustomVariable* counter, const Variant* bound, const TscOperatorNode* node, TscStatement& loop,
              bool& bodyDone)
{
    const TscOperatorNode::TestFunction test = node->TestCompute;
    LoopBody body(loop);
    for (;;) {
        int holds = CounterTest<Int32, C>(counter->Value, *bound);
        if (holds < 0)
            holds = test(node);
        if (holds <= 0)
            return holds;
        if (!body.Run())
            return kPassesEnded;
        if (TscRunLineEvent::AnySet() || !StepCounter<By, Integer>(counter)) {
            bodyDone = true;
            return holds;
        }
    }
}

template <int By, bool Integer, bool Int32>
TscCppForStmt::CountFunction CountPassesFor(script_fast::Cmp c)
{
    using script_fast::Cmp;
    switch (c) {
    case Cmp::Lt: return CountPasses<By, Integer, Int32, Cmp::Lt>;
    case Cmp::Le: return CountPasses<By, Integer, Int32, Cmp::Le>;
    case Cmp::Gt: return CountPasses<By, Integer, Int32, Cmp::Gt>;
    case Cmp::Ge: return CountPasses<By, Integer, Int32, Cmp::Ge>;
    case Cmp::Eq: return CountPasses<By, Integer, Int32, Cmp::Eq>;
    default: return CountPasses<By, Integer, Int32, Cmp::Ne>;
    }
}

template <int By, bool Integer, bool Int32>
TscCppForStmt::PassFunction RunPassesFor(script_fast::Cmp c)
{
    using script_fast::Cmp;
    switch (c) {
    case Cmp::Lt: return RunPasses<By, Integer, Int32, Cmp::Lt>;
    case Cmp::Le: return RunPasses<By, Integer, Int32, Cmp::Le>;
    case Cmp::Gt: return RunPasses<By, Integer, Int32, Cmp::Gt>;
    case Cmp::Ge: return RunPasses<By, Integer, Int32, Cmp::Ge>;
    case Cmp::Eq: return RunPasses<By, Integer, Int32, Cmp::Eq>;
    default: return RunPasses<By, Integer, Int32, Cmp::Ne>;
    }
}

} // namespace

void TscCppForStmt::Optimize()
{
    FStep = nullptr;
    FCounter = nullptr;
    FBound = nullptr;
    if (SecondStmt->Count() == 1 && SecondStmt->GetItem(0)->Direct)
        FStep = SecondStmt->GetItem(0);
    if (!FStep || typeid(*FStep) != typeid(TscCallStmt))
        return;
    const auto* step = static_cast<const TscCallStmt*>(FStep);
    const TscOperatorNode* test = Condition ? Condition->NumRoot() : nullptr;
    if (!step->PlainTarget || step->Step == 0 || !test || !test->TestCompute || !test->Left->Direct ||
        test->Left->Direct != &step->PlainTarget->Value || !test->Right->Direct)
        return;
    using script_fast::Cmp;
    switch (test->Op) {
    case opGreat: FCmp = static_cast<uint8_t>(Cmp::Gt); break;
    case opLess: FCmp = static_cast<uint8_t>(Cmp::Lt); break;
    case opLessEq: FCmp = static_cast<uint8_t>(Cmp::Le); break;
    case opGreatEq: FCmp = static_cast<uint8_t>(Cmp::Ge); break;
    case opNonEq: FCmp = static_cast<uint8_t>(Cmp::Ne); break;
    case opEq: FCmp = static_cast<uint8_t>(Cmp::Eq); break;
    default: return;
    }
    FCounter = step->PlainTarget;
    FBound = test->Right->Direct;
    const auto c = static_cast<script_fast::Cmp>(FCmp);
    const bool up = step->Step > 0;
    if (step->IntegerStep) {
        FCount = test->BothInteger ? (up ? CountPassesFor<1, true, true>(c) : CountPassesFor<-1, true, true>(c))
                                   : (up ? CountPassesFor<1, true, false>(c) : CountPassesFor<-1, true, false>(c));
        FRun = test->BothInteger ? (up ? RunPassesFor<1, true, true>(c) : RunPassesFor<-1, true, true>(c))
                                 : (up ? RunPassesFor<1, true, false>(c) : RunPassesFor<-1, true, false>(c));
    } else {
        FCount = test->BothInteger ? (up ? CountPassesFor<1, false, true>(c) : CountPassesFor<-1, false, true>(c))
                                   : (up ? CountPassesFor<1, false, false>(c) : CountPassesFor<-1, false, false>(c));
        FRun = test->BothInteger ? (up ? RunPassesFor<1, false, true>(c) : RunPassesFor<-1, false, true>(c))
                                 : (up ? RunPassesFor<1, false, false>(c) : RunPassesFor<-1, false, false>(c));
    }
}


int TscCppForStmt::CountedPasses(bool& bodyDone)
{
    TscStatement* const only = GetItem(0);
    return FCount(FCounter, FBound, Condition->NumRoot(), only, only->Direct, bodyDone);
}

void TscCppForStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    FirstStmt->Execute();
    if (Script->Terminated)
        return;
    LoopEnd end{Script};
    // Condition, body and step in one pass. The step's direct form is what the one-statement
    // list runs when no host follows the lines (the list checks Terminated first, which the
    // body has just checked); when it declines, the list runs the step as written.
    TscScript* const s = Script;
    TscStatement* const step = FStep;
    const TscStatement::DirectFunction stepDirect = step ? step->Direct : nullptr;
    const LoopCondition condition(*Condition);
    LoopBody body(*this);
    // Passes whose condition, body and step all have routines that run no code: while they
    // take the pass, no flag, no hook and nothing they read can change but through them, so
    // the checks between statements are made once before and again when one declines.
    const TscOperatorNode::TestFunction test = condition.Test();
    TscStatement* const only = body.Only();
    const TscStatement::DirectFunction bodyDirect = body.Direct();
    const bool quickPasses = test && bodyDirect && stepDirect;
    for (;;) {
        if (s->Terminated)
            break;
        bool bodyDone = false; // the body of this pass has run (its step declined)
        if (quickPasses && !TscRunLineEvent::AnySet() && !s->BreakRequested && !s->ContinueRequested &&
            !s->ExitRequested) {
            const TscOperatorNode* node = condition.Node();
            int holds;
            if (FCounter)
                holds = CountedPasses(bodyDone);
            else
                for (;;) {
                    holds = test(node);
                    if (holds <= 0 || !bodyDirect(only))
                        break;
                    if (!stepDirect(step)) {
                        bodyDone = true;
                        break;
                    }
                }
            // The routine that declined takes its general path below, on the same values.
            if (holds == 0 || (holds < 0 && !condition.HoldsGenerally()))
                break;
        } else if (FCounter && !TscRunLineEvent::AnySet() && !s->BreakRequested && !s->ContinueRequested &&
                   !s->ExitRequested) {
            // A counting loop whose body may run code: the counter inline, the body as written.
            const int holds = FRun(FCounter, FBound, condition.Node(), *this, bodyDone);
            if (holds == kPassesEnded || holds == 0 || (holds < 0 && !condition.HoldsGenerally()))
                break;
        } else if (!condition.Holds()) {
            break;
        }
        if (!bodyDone && !body.Run())
            break;
        if (!stepDirect || TscRunLineEvent::AnySet() || !stepDirect(step))
            SecondStmt->Execute();
    }
}

// ---------------------------------------------------------------- try

TscTryStmt::TscTryStmt(TscScript* script, const AnsiString& unitName, const AnsiString& sourcePos)
    : TscStatement(script, unitName, sourcePos),
      ExceptStmt(std::make_unique<TscStatement>(script, unitName, sourcePos))
{
}

TscTryStmt::~TscTryStmt() = default;

void TscTryStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (IsExcept) {
        try {
            TscStatement::Execute();
        } catch (const std::exception&) {
            // The script cannot read the message; the handler runs and the error is gone.
            ExceptStmt->Execute();
        }
        return;
    }
    std::exception_ptr pending;
    try {
        TscStatement::Execute();
    } catch (...) {
        pending = std::current_exception();
    }
    // A break, continue or exit that ended the body waits until the finally part
    // has run to its end; a jump made by the finally part itself is kept as well.
    const bool breakRequested = Script->BreakRequested;
    const bool continueRequested = Script->ContinueRequested;
    const bool exitRequested = Script->ExitRequested;
    Script->BreakRequested = false;
    Script->ContinueRequested = false;
    Script->ExitRequested = false;
    ExceptStmt->Execute();
    Script->BreakRequested = Script->BreakRequested || breakRequested;
    Script->ContinueRequested = Script->ContinueRequested || continueRequested;
    Script->ExitRequested = Script->ExitRequested || exitRequested;
    if (pending)
        std::rethrow_exception(pending);
}

// ---------------------------------------------------------------- jumps and with

void TscBreakStmt::Execute()
{
    Script->BreakRequested = true;
}

void TscContinueStmt::Execute()
{
    Script->ContinueRequested = true;
}

void TscExitStmt::Execute()
{
    Script->ExitRequested = true;
}

TscWithStmt::~TscWithStmt() = default;

void TscWithStmt::Execute()
{
    TscStatement::Execute();
    WithVariable->SetValue(Designator->GetValue());
}
