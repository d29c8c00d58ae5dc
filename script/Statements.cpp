// Statements.cpp - see Statements.h.
#include "script/Statements.h"

#include "script/FastPaths.h"
#include "script/Messages.h"
#include "script/Script.h"

#include <typeinfo>

namespace {

// Runs a loop body; true when the loop goes on (the loop epilogue).
bool RunBody(TscStatement& loop)
{
    TscScript* s = loop.Script;
    const int n = loop.Count();
    if (n == 1) {
        // The list's own walk for one statement, without its loop.
        if (!s->Terminated)
            TscStatement::RunChild(loop.GetItem(0));
    } else if (n == 0) {
        loop.RunLine(); // an empty body still gives the host its chance to stop us
    } else {
        loop.TscStatement::Execute();
    }
    if (s->Terminated || s->BreakRequested || s->ExitRequested)
        return false;
    s->ContinueRequested = false;
    return true;
}

// Stores a computed number into a plain variable or parameter as its SetValue would: a
// floating variable given an integer converts it (the general path does that).
inline void StoreNum(TscCustomVariable* target, const script_fast::Num& n)
{
    if (target->VarType == fvtFloat && n.Type != varDouble)
        target->SetValue(n.ToVariant());
    else if (!target->ReadOnly)
        target->Value = n.ToVariant();
}

// A condition's truth: a comparison over numbers without a Variant, else the general value.
inline bool Holds(const TscExpression& condition)
{
    script_fast::Num n;
    if (const TscOperatorNode* op = condition.NumRoot(); op && op->Num(n) && n.Type == varBoolean)
        return n.L != 0;
    return script_fast::ToBool(condition.Root()->GetValue());
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
}

bool TscAssignmentStmt::AppendInPlace()
{
    AnsiString* text;
    if (StringTarget) {
        text = &StringTarget->StringValue;
    } else {
        if (PlainTarget->ReadOnly || ::VarType(PlainTarget->Value) != varString)
            return false;
        text = PlainTarget->Value.UnsharedStr();
        if (!text) { // shared with another variable: this one gets its own copy once
            PlainTarget->Value = Variant(AnsiString(*PlainTarget->Value.StrPtr()));
            text = PlainTarget->Value.UnsharedStr();
        }
    }
    // The operands cannot read or change the target, so the partial text is seen by
    // nobody; an error leaves the target as it was.
    const size_t start = text->size();
    Variant rest; // the general join's value once an operand is not a text
    bool general = false;
    try {
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
                general = true;
                rest = op->Join(Variant(*text), b);
                text->resize(start);
                for (++k; k < AppendChain.size(); ++k) {
                    const TscOperatorNode* next = AppendChain[k];
                    Variant tn;
                    rest = next->Join(rest, next->RightDirect ? *next->RightDirect : (tn = next->Right->GetValue()));
                }
                break;
            }
            scCheckStringLength(static_cast<int64_t>(text->size()) + static_cast<int64_t>(piece->size()));
            text->append(*piece);
        }
    } catch (...) {
        text->resize(start);
        throw;
    }
    if (general)
        Target->SetValue(rest);
    return true;
}

void TscAssignmentStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    // A number computed without a Variant: the source's operands were all numbers, so the
    // target was one too and no append applies.
    script_fast::Num n;
    if (PlainTarget && NumSource && NumSource->Num(n)) {
        StoreNum(PlainTarget, n);
        return;
    }
    if (!AppendChain.empty() && AppendInPlace())
        return;
    Target->SetValue(Source->GetValue());
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
            if (Op == '+' && ::VarType(b) == varString && a.AppendUnshared(*b.StrPtr()))
                return;
        } else if (StringTarget && Op == '+' && ::VarType(b) == varString) {
            scCheckStringLength(static_cast<int64_t>(StringTarget->StringValue.size()) +
                                static_cast<int64_t>(b.StrPtr()->size()));
            StringTarget->StringValue += *b.StrPtr();
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
    if (!PlainTarget || PlainTarget->ReadOnly || PlainTarget->VarType == fvtFloat)
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
    Step = Modificator.empty() ? 0 : Modificator == "+" ? 1 : -1;
    if (Step == 0 || Designator->Kind != dkVariable || !Designator->RefItem)
        return;
    const std::type_info& t = typeid(*Designator->RefItem);
    if (t == typeid(TscVariable) || t == typeid(TscParamItem))
        PlainTarget = Designator->RefItem;
}

void TscCallStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (StepInPlace())
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

TscIfStmt::~TscIfStmt() = default;

void TscIfStmt::Execute()
{
    RunLine();
    if (Script->Terminated)
        return;
    if (Holds(*Condition))
        TscStatement::Execute();
    else
        ElseStmt->Execute();
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
    for (;;) {
        if (!RunBody(*this))
            break;
        if (Holds(*Condition) == !InverseCondition)
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
    while (!Script->Terminated && Holds(*Condition))
        if (!RunBody(*this))
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
    TscStatement* only = Count() == 1 ? GetItem(0) : nullptr;
    for (int64_t k = 0; k < passes; ++k) {
        LoopVariable->Value = Variant(static_cast<int>(Down ? b - k : b + k));
        if (only) {
            // RunBody for a body of one statement: Terminated was last checked when the pass
            // before ended (or before the first), and nothing since has run code.
            TscStatement::RunChild(only);
            if (Script->Terminated || Script->BreakRequested || Script->ExitRequested)
                break;
            Script->ContinueRequested = false;
        } else if (!RunBody(*this)) {
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
    bool firstPass = true;
    for (int64_t i = first; !Script->Terminated && (down ? i >= last : i <= last); i += step) {
        if (firstPass)
            LoopVariable->Value = b;
        else if (wide)
            LoopVariable->Value = Variant(static_cast<long long>(i));
        else
            LoopVariable->Value = Variant(static_cast<int32_t>(i));
        firstPass = false;
        if (!RunBody(*this))
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
    while (!Script->Terminated && goesOn()) {
        LoopVariable->Value = i;
        if (!RunBody(*this))
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

void TscCppForStmt::Optimize()
{
    FStep = nullptr;
    if (SecondStmt->Count() == 1)
        if (auto* call = dynamic_cast<TscCallStmt*>(SecondStmt->GetItem(0)); call && !call->Modificator.empty())
            FStep = call;
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
    while (!Script->Terminated && Holds(*Condition)) {
        if (!RunBody(*this))
            break;
        // i++ in place is what the one-statement list runs when no host follows the lines
        // (the list checks Terminated first, which the body has just checked); it cannot fail.
        if (!FStep || TscRunLineEvent::AnySet() || !FStep->StepInPlace())
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
