// CompactCall.cpp - see CompactCall.h.
#include "script/CompactCall.h"

#include "script/CallSteps.h"
#include "script/GlobalUnit.h"
#include "script/NumberStore.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

using script_call::LetGoOfParameters;
using script_call::PassInteger;
using script_call::PassNumber;

namespace {

// Empty to Date, Boolean and Int64: their bytes are the value (FrameSave's rule).
[[gnu::always_inline]] inline bool BytesOnly(TVarType t)
{
    constexpr uint32_t kBytesOnly = ((1u << varOleStr) - 1) | (1u << varBoolean) | (1u << varInt64);
    return t < 32 && ((kBytesOnly >> t) & 1) != 0;
}

// target = value, made here for two values that own nothing.
[[gnu::always_inline]] inline void AssignValue(Variant& target, const Variant& value)
{
    if (BytesOnly(target.VType()) && BytesOnly(value.VType()))
        std::memcpy(static_cast<void*>(&target), static_cast<const void*>(&value), sizeof(Variant));
    else
        target = value;
}

} // namespace

[[gnu::always_inline]] inline void TscCompactBody::RunCall(TscProcVariable* self, Variant& result)
{
    using script_detail::gCallDepth;
    self->CheckCallDepth();
    TscScript* const local = self->FLocalScript.get();
    struct Restore {
        TscProcVariable* self;
        TscScript* local;
        bool wasExecuting;
        ~Restore()
        {
            local->BreakRequested = false;
            local->ContinueRequested = false;
            local->ExitRequested = false;
            local->Terminated = false;
            self->Executing = wasExecuting;
            --gCallDepth;
        }
    } restore{self, local, self->Executing};
    self->Executing = true;
    ++gCallDepth;
    local->BreakRequested = false;
    local->ContinueRequested = false;
    local->ExitRequested = false;
    local->Terminated = false;
    self->FCompactBody->Run();
    if (self->IsFunc && self->RefItem && self->RefItem == self->FResult) {
        // result holds Empty, which owns nothing: a number is its bytes.
        const Variant& value = self->FResult->Value;
        if (BytesOnly(value.VType()))
            std::memcpy(static_cast<void*>(&result), static_cast<const void*>(&value), sizeof(Variant));
        else
            result = value;
    } else {
        result = self->ResultValue();
    }
}

namespace {

// FrameSave for a compact routine whose frame is its few plain variables and parameters as
// they were when its body was made (TscCompactBody::FrameValues), every one of them holding a
// value that owns nothing (a number, Empty, Null, a Boolean): the values' bytes are copied
// aside and put back, with no item beside each. Save is false, with nothing saved, where a
// value owns something or the table has changed; FrameSave then does it.
class CompactFrameSave {
public:
    CompactFrameSave() = default;
    CompactFrameSave(const CompactFrameSave&) = delete;
    CompactFrameSave& operator=(const CompactFrameSave&) = delete;
    [[gnu::always_inline]] bool Save(const TscCompactBody& body)
    {
        if (!body.FrameUsable())
            return false;
        const uint32_t n = body.FrameCount();
        Variant* const* values = body.FrameValues();
        for (uint32_t i = 0; i < n; ++i)
            if (!SaveOne(values, i)) [[unlikely]]
                return false;
        FValues = values;
        FCount = n;
        return true;
    }
    [[gnu::always_inline]] ~CompactFrameSave()
    {
        Variant* const* values = FValues;
        for (uint32_t i = 0; i < FCount; ++i)
            PutBack(values, i);
    }

private:
    [[gnu::always_inline]] bool SaveOne(Variant* const* values, uint32_t i)
    {
        const Variant& v = *values[i];
        if (!BytesOnly(v.VType())) [[unlikely]]
            return false;
        std::memcpy(static_cast<void*>(FBytes[i]), static_cast<const void*>(&v), sizeof(Variant));
        return true;
    }
    [[gnu::always_inline]] void PutBack(Variant* const* values, uint32_t i)
    {
        Variant& v = *values[i];
        if (!BytesOnly(v.VType())) [[unlikely]]
            v.~Variant();
        std::memcpy(static_cast<void*>(&v), static_cast<const void*>(FBytes[i]), sizeof(Variant));
    }

    Variant* const* FValues = nullptr;
    uint32_t FCount = 0;
    alignas(Variant) unsigned char FBytes[TscCompactBody::kMaxFrame][sizeof(Variant)];
};

} // namespace

// The arguments of step into proc's parameters as CallRoutine passes them: one argument
// straight into its parameter, several all computed first (they may read the parameters of
// the very routine called).
// The rarer ways of passing arguments, out of line: their Variants stay out of the frame of
// every call.
[[gnu::noinline]] void PassValue(TscExpression* e, TscParamItem* p)
{
    p->Pass(e->GetValue());
}

[[gnu::noinline]] void PassSeveral(TscDesignatorItem* step, TscProcVariable* proc, int argCount)
{
    Variant values[TscCompactBody::kMaxArguments];
    for (int j = 0; j < argCount; ++j)
        values[j] = step->GetItem(j)->GetValue();
    for (int j = 0; j < argCount; ++j)
        proc->GetParam(j)->Pass(std::move(values[j]));
}

[[gnu::always_inline]] inline void PassCompactly(TscDesignatorItem* step, TscProcVariable* proc, int argCount)
{
    if (argCount == 1) {
        TscExpression* const e = step->GetItem(0);
        TscParamItem* const p = proc->GetParam(0);
        if (!PassInteger(e, p) && !PassNumber(e, p))
            PassValue(e, p);
    } else if (argCount > 1) {
        PassSeveral(step, proc, argCount);
    }
}

// The general body, out of line: its frame stays out of every compact call's.
[[gnu::noinline]] static void RunGenerally(TscProcVariable* proc, Variant& result)
{
    result = proc->CallInPlace();
}

// The body once the arguments are passed: compactly, unless a host that an argument called
// has set a run-line hook meanwhile; the general body then gives it every line, as it would
// had the hook been there before the call. Inside a compact body (Nested) no argument can
// reach a host, and no hook can have been set since the outermost compact call began, so the
// test is not made again.
template <bool Nested>
[[gnu::always_inline]] inline void RunBody(TscProcVariable* proc, Variant& result)
{
    if (!Nested && TscRunLineEvent::AnySet()) [[unlikely]]
        RunGenerally(proc, result);
    else
        TscCompactBody::RunCall(proc, result);
}

template <bool Nested>
[[gnu::always_inline]] inline bool CompactCallOf(TscDesignatorItem* step, TscProcVariable* proc, bool needResult,
                                                 Variant& result)
{
    const int argCount = step->Count();
    // A step of a compact body calls compactly only routines of at most kMaxArguments
    // parameters (AddStep).
    if (argCount != proc->ParamCount() || (!Nested && argCount > TscCompactBody::kMaxArguments)) [[unlikely]]
        return false;
    if (proc->Executing) {
        CompactFrameSave compact;
        if (!compact.Save(*proc->CompactBody())) [[unlikely]]
            return false;
        PassCompactly(step, proc, argCount);
        proc->NeedResult = needResult;
        RunBody<Nested>(proc, result);
        return true;
    }
    PassCompactly(step, proc, argCount);
    proc->NeedResult = needResult;
    RunBody<Nested>(proc, result);
    LetGoOfParameters(proc);
    return true;
}

bool scCompactCall(TscDesignatorItem* step, TscProcVariable* proc, bool needResult, Variant& result)
{
    return CompactCallOf<false>(step, proc, needResult, result);
}

// A call made by a step of a compact body (a + of two calls).
[[gnu::noinline]] static bool CompactCallInBody(TscDesignatorItem* step, TscProcVariable* proc, bool needResult,
                                                Variant& result)
{
    return CompactCallOf<true>(step, proc, needResult, result);
}

void TscProcVariable::FindCompactBody()
{
    FCompactState = CompactState::Looking;
    std::unique_ptr<TscCompactBody> body;
    try {
        body = TscCompactBody::Make(this);
    } catch (...) {
        FCompactState = CompactState::General;
        throw;
    }
    FCompactBody = std::move(body);
    FCompactState = FCompactBody ? CompactState::Compact : CompactState::General;
}

namespace {
// How deep routines are being looked at, one inside another (a routine calling one not yet
// looked at): past the limit the last one takes the general path.
int gCompactLookDepth = 0;
constexpr int kMaxCompactLookDepth = 64;
} // namespace

std::unique_ptr<TscCompactBody> TscCompactBody::Make(TscProcVariable* proc)
{
    if (proc->IsMacro || gCompactLookDepth >= kMaxCompactLookDepth)
        return nullptr;
    for (int j = 0; j < proc->ParamCount(); ++j)
        if (proc->GetParam(j)->IsVarParam)
            return nullptr;
    auto body = std::make_unique<TscCompactBody>();
    body->FProc = proc;
    body->FLocal = proc->LocalScript();
    for (int i = 0; i < body->FLocal->Count(); ++i) {
        TscCustomVariable* item = body->FLocal->GetItem(i);
        const std::type_info& t = typeid(*item);
        // Every routine's table has the index helpers; the body is checked for what it reads.
        if (t == typeid(TscArrayHelper) || t == typeid(TscStringHelper))
            continue;
        if (t != typeid(TscVariable) && t != typeid(TscParamItem))
            return nullptr;
        body->FLocals.insert(item);
    }
    struct Depth {
        Depth() { ++gCompactLookDepth; }
        ~Depth() { --gCompactLookDepth; }
    } depth;
    if (!body->AddList(*body->FLocal->MainStatement(), body->FFirst, body->FCount))
        return nullptr;
    body->FLocals.clear();
    const TscProcVariable::FrameLayout& frame = proc->Frame();
    if (frame.Values.size() <= kMaxFrame && frame.Strings.empty() && !frame.Nested) {
        body->FFrameCount = static_cast<uint32_t>(frame.Values.size());
        for (uint32_t i = 0; i < body->FFrameCount; ++i)
            body->FFrameValues[i] = &frame.Values[i]->Value;
        body->FFrameTableSize = body->FLocal->Count();
    }
    return body;
}

bool TscCompactBody::AddList(const TscStatement& list, uint32_t& first, uint32_t& count)
{
    first = static_cast<uint32_t>(FSteps.size());
    count = static_cast<uint32_t>(list.Count());
    FSteps.resize(first + count);
    for (uint32_t i = 0; i < count; ++i)
        if (!AddStep(list.GetItem(static_cast<int>(i)), first + i))
            return false;
    return true;
}

bool TscCompactBody::AddStep(TscStatement* stmt, uint32_t at)
{
    Step st;
    st.Stmt = stmt;
    const std::type_info& t = typeid(*stmt);
    if (t == typeid(TscStatement)) {
        st.K = Step::Kind::List;
        if (!AddList(*stmt, st.First, st.Count))
            return false;
    } else if (t == typeid(TscIfStmt)) {
        auto* s = static_cast<TscIfStmt*>(stmt);
        if (!s->Condition || !s->ElseStmt || !Qualifies(*s->Condition) || !AddList(*s, st.First, st.Count) ||
            !AddList(*s->ElseStmt, st.ElseFirst, st.ElseCount))
            return false;
        st.TestNode = s->FTestNode;
        st.Test = s->FTest;
        st.K = st.Test ? Step::Kind::If : Step::Kind::General;
    } else if (t == typeid(TscAssignmentStmt) || t == typeid(TscReturnStmt) || t == typeid(TscAssignOpStmt)) {
        auto* a = static_cast<TscAssignmentStmt*>(stmt);
        if (!a->Designator || !a->Expression || !a->PlainTarget || !FLocals.count(a->PlainTarget) ||
            !Qualifies(*a->Expression))
            return false;
        st.Ends = t == typeid(TscReturnStmt);
        if (t == typeid(TscAssignOpStmt)) {
            if (static_cast<TscAssignOpStmt*>(a)->SetOp)
                return false;
            st.Direct = a->Direct;
            st.K = st.Direct ? Step::Kind::Direct : Step::Kind::General;
        } else if (a->DirectSource && KeepsAsGiven(a->PlainTarget->VarType)) {
            // Execute's first store for a target that keeps what it is given.
            st.K = Step::Kind::Copy;
            st.Target = a->PlainTarget;
            st.Source = a->DirectSource;
        } else if (a->StoreDirect) {
            st.K = Step::Kind::Direct;
            st.Direct = a->StoreDirect;
        } else if (a->JoinSource && !a->NumSource && !a->DirectSource && a->AppendChain.empty()) {
            st.K = Step::Kind::Join;
            st.Left = a->JoinLeft;
            st.Right = a->JoinRight;
            if (!CallQualifies(st.Left, st.LeftProc) || !CallQualifies(st.Right, st.RightProc))
                return false;
            // More arguments than a compact call passes: those calls take the general path.
            if (st.LeftProc && st.LeftProc->ParamCount() > kMaxArguments)
                st.LeftProc = nullptr;
            if (st.RightProc && st.RightProc->ParamCount() > kMaxArguments)
                st.RightProc = nullptr;
        }
    } else if (t == typeid(TscExitStmt)) {
        st.K = Step::Kind::Exit;
    } else {
        return false;
    }
    FSteps[at] = st;
    return true;
}

bool TscCompactBody::Qualifies(const TscExpression& e)
{
    return e.Root() && Qualifies(e.Root());
}

bool TscCompactBody::Qualifies(const TscExpressionNode* node)
{
    if (!node)
        return true;
    const std::type_info& t = typeid(*node);
    if (t == typeid(TscOperandNode)) {
        const TVarType vt = node->Value.VType();
        return vt == varInteger || vt == varInt64 || vt == varDouble || vt == varBoolean;
    }
    if (t == typeid(TscOperatorNode)) {
        const auto* op = static_cast<const TscOperatorNode*>(node);
        switch (op->Op) {
        case opGreat: case opLess: case opLessEq: case opGreatEq: case opNonEq: case opEq:
        case opPlus: case opMinus: case opMul: case opDivFloat: case opDivInt: case opMod:
        case opAnd: case opOr: case opXor: case opNot: case opUnMinus:
            break;
        default:
            return false;
        }
        return !op->StrCat && !op->SetOp && Qualifies(op->Left.get()) && Qualifies(op->Right.get());
    }
    if (t == typeid(TscDesignatorNode)) {
        const auto* dn = static_cast<const TscDesignatorNode*>(node);
        TscDesignator* d = dn->Designator.get();
        if (!d)
            return false;
        if (d->Kind == dkVariable)
            return d->RefItem && dn->ValueSource == d->RefItem && FLocals.count(d->RefItem) != 0;
        TscProcVariable* callee = nullptr;
        return dn->ValueSource == d && CallQualifies(d, callee) && callee;
    }
    return false;
}

// d is one call of a routine that qualifies, with an argument for each parameter, each of
// them qualifying; callee is that routine.
bool TscCompactBody::CallQualifies(TscDesignator* d, TscProcVariable*& callee)
{
    callee = nullptr;
    if (!d || typeid(*d) != typeid(TscDesignator) || d->StepCount() != 1)
        return false;
    TscDesignatorItem* step = d->Step(0);
    auto* proc = dynamic_cast<TscProcVariable*>(step->Ref);
    if (!proc || step->Count() != proc->ParamCount())
        return false;
    if (proc != FProc) {
        if (proc->FCompactState == TscProcVariable::CompactState::Unknown)
            proc->FindCompactBody();
        if (proc->FCompactState != TscProcVariable::CompactState::Compact)
            return false;
    }
    for (int j = 0; j < step->Count(); ++j)
        if (!Qualifies(*step->GetItem(j)))
            return false;
    callee = proc;
    return true;
}

namespace {

// A call of a + of two calls: compactly when the callee qualifies (CompactCallInBody).
[[gnu::noinline]] void CallGenerally(TscDesignator* d, Variant& result)
{
    result = d->TscDesignator::GetValue();
}

[[gnu::always_inline]] inline void CallOf(TscDesignator* d, TscProcVariable* proc, Variant& result)
{
    if (!proc || !CompactCallInBody(d->Step(0), proc, d->NeedResult, result)) [[unlikely]]
        CallGenerally(d, result);
}

} // namespace

// The join of two values that are not both integers Join adds without leaving 32 or 64
// bits, out of line.
void TscCompactBody::StoreJoinGenerally(TscAssignmentStmt* stmt, const Variant& a, const Variant& b)
{
    TscCustomVariable* const target = stmt->PlainTarget;
    Variant v = stmt->JoinSource->Join(a, b);
    if (!target->ReadOnly)
        target->Value = std::move(v);
}

[[gnu::always_inline]] inline void TscCompactBody::StoreJoin(TscAssignmentStmt* stmt, const Variant& a,
                                                             const Variant& b)
{
    TscCustomVariable* const target = stmt->PlainTarget;
    if (target->ReadOnly || !script_store::JoinIntegersInto(*stmt->JoinSource, a, b, target->Value)) [[unlikely]]
        StoreJoinGenerally(stmt, a, b);
}

// The steps from s to end, as a list runs its statements. A branch or list that is the last
// step of its list takes the list's place, and a branch of one step is run in place, so a
// body like if ... then Result := n else Result := f(n - 1) + f(n - 2) walks without a call;
// an empty branch (an if without else) is passed over.
[[gnu::always_inline]] inline bool TscCompactBody::WalkSteps(const Step* s, const Step* end) const
{
    const Step* const steps = FSteps.data();
    while (s != end) {
        const Step* cur = s++;
    again:
        switch (cur->K) {
        case Step::Kind::If: {
            const int t = cur->Test(cur->TestNode);
            if (t < 0) {
                if (RunWhole(*cur))
                    return true;
                continue;
            }
            const uint32_t first = t > 0 ? cur->First : cur->ElseFirst;
            const uint32_t count = t > 0 ? cur->Count : cur->ElseCount;
            if (count == 1) {
                cur = steps + first;
                goto again;
            }
            if (count == 0) // an if without else, its test false
                continue;
            if (s == end) {
                s = steps + first;
                end = s + count;
            } else if (Walk(steps + first, steps + first + count)) {
                return true;
            }
            continue;
        }
        case Step::Kind::List:
            if (cur->Count == 1) {
                cur = steps + cur->First;
                goto again;
            }
            if (s == end) {
                s = steps + cur->First;
                end = s + cur->Count;
            } else if (Walk(steps + cur->First, steps + cur->First + cur->Count)) {
                return true;
            }
            continue;
        case Step::Kind::Copy:
            if (!cur->Target->ReadOnly)
                AssignValue(cur->Target->Value, *cur->Source);
            if (cur->Ends)
                return true;
            continue;
        case Step::Kind::Direct:
            if (!cur->Direct(cur->Stmt)) {
                if (RunWhole(*cur))
                    return true;
                continue;
            }
            if (cur->Ends)
                return true;
            continue;
        case Step::Kind::Join:
            try {
                Variant a;
                CallOf(cur->Left, cur->LeftProc, a);
                Variant b;
                CallOf(cur->Right, cur->RightProc, b);
                StoreJoin(static_cast<TscAssignmentStmt*>(cur->Stmt), a, b);
            } catch (...) {
                TscStatement::ChildFailed(*cur->Stmt);
            }
            if (cur->Ends)
                return true;
            continue;
        case Step::Kind::Exit:
            return true;
        case Step::Kind::General:
            if (RunWhole(*cur))
                return true;
            continue;
        }
    }
    return false;
}

void TscCompactBody::Run() const
{
    WalkSteps(FSteps.data() + FFirst, FSteps.data() + FFirst + FCount);
}

bool TscCompactBody::Walk(const Step* s, const Step* end) const
{
    return WalkSteps(s, end);
}

bool TscCompactBody::RunWhole(const Step& s) const
{
    TscStatement::RunChild(s.Stmt);
    const TscScript* const local = FLocal;
    return local->BreakRequested | local->ContinueRequested | local->ExitRequested | local->Terminated;
}



