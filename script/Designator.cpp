// Designator.cpp - see Designator.h.
#include "script/Designator.h"

#include "script/Automation.h"
#include "script/CallSteps.h"
#include "script/CompactCall.h"
#include "script/GlobalUnit.h"
#include "script/Messages.h"
#include "script/Script.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace {

using script_call::LetGoOfParameters;
using script_call::PassInteger;
using script_call::PassNumber;

// Up to N Variants in place, more on the heap; only as many as asked for are made.
template <size_t N>
class VariantBuffer {
public:
    explicit VariantBuffer(size_t n) : FCount(n)
    {
        FData = n <= N ? reinterpret_cast<Variant*>(FInline) : static_cast<Variant*>(::operator new(n * sizeof(Variant)));
        std::uninitialized_default_construct_n(FData, n);
    }
    ~VariantBuffer()
    {
        std::destroy_n(FData, FCount);
        if (FData != reinterpret_cast<Variant*>(FInline))
            ::operator delete(FData);
    }
    VariantBuffer(const VariantBuffer&) = delete;
    VariantBuffer& operator=(const VariantBuffer&) = delete;
    Variant& operator[](size_t i) { return FData[i]; }
    const Variant& operator[](size_t i) const { return FData[i]; }

private:
    size_t FCount;
    Variant* FData;
    alignas(Variant) unsigned char FInline[N * sizeof(Variant)];
};

// The locals of a running procedure, kept across a recursive call of it and
// put back when the call ends, however it ends. The callee starts with the
// caller's values in place (as every call does), so they are copied aside: a
// number as its bytes, a text or an array as a Variant copies it (a shared
// reference). Putting back moves the bytes back over the item's value. Each saved
// value keeps its item beside it, so what is restored does not depend on the
// procedure's table after the call.
class FrameSave {
public:
    [[gnu::always_inline]] explicit FrameSave(TscProcVariable* proc)
    {
        const TscProcVariable::FrameLayout& frame = proc->Frame();
        const size_t n = frame.Values.size();
        Saved* const saved = n <= kInline ? reinterpret_cast<Saved*>(FInline)
                                          : static_cast<Saved*>(::operator new(n * sizeof(Saved)));
        FSaved = saved;
        TscCustomVariable* const* items = frame.Values.data();
        // Numbers first, as bytes; the first value that owns something hands the rest over
        // to the general copy.
        size_t i = 0;
        for (; i < n; ++i) {
            const Variant& v = items[i]->Value;
            if (!OwnsNothing(v.VType())) [[unlikely]]
                break;
            saved[i].Item = items[i];
            std::memcpy(static_cast<void*>(&saved[i].Value), static_cast<const void*>(&v), sizeof(Variant));
        }
        FCount = i;
        if (i < n) [[unlikely]]
            SaveRest(items, n);
        if (!frame.Strings.empty()) [[unlikely]]
            SaveStrings(frame.Strings);
    }
    [[gnu::always_inline]] ~FrameSave() { PutBack(); }
    FrameSave(const FrameSave&) = delete;
    FrameSave& operator=(const FrameSave&) = delete;

private:
    // The saved bytes go back over the item's value (let go first when it owns something),
    // taking any reference they hold with them: the saved copy is not destroyed.
    [[gnu::always_inline]] void PutBack() noexcept
    {
        // In locals: the stores below could otherwise be taken to change them.
        Saved* const saved = FSaved;
        Saved* const end = saved + FCount;
        for (Saved* p = saved; p != end; ++p) {
            Variant& v = p->Item->Value;
            if (!OwnsNothing(v.VType())) [[unlikely]]
                v.~Variant();
            std::memcpy(static_cast<void*>(&v), static_cast<const void*>(&p->Value), sizeof(Variant));
        }
        if (FSaved != reinterpret_cast<Saved*>(FInline)) [[unlikely]]
            ::operator delete(FSaved);
        if (FStrings) [[unlikely]]
            PutBackStrings();
    }

    struct Saved {
        TscCustomVariable* Item;
        Variant Value;
    };
    // The kinds a recursion saves most (Empty to Date, Boolean, Int64): their bytes are the
    // value. One test of a mask.
    static bool OwnsNothing(TVarType t)
    {
        constexpr uint32_t kBytesOnly = ((1u << varOleStr) - 1) | (1u << varBoolean) | (1u << varInt64);
        return t < 32 && ((kBytesOnly >> t) & 1) != 0;
    }
    // The values from FCount on, copied as Variants copy (a text or an array shares).
    [[gnu::noinline]] void SaveRest(TscCustomVariable* const* items, size_t n)
    {
        try {
            for (; FCount < n; ++FCount) {
                FSaved[FCount].Item = items[FCount];
                new (&FSaved[FCount].Value) Variant(items[FCount]->Value);
            }
        } catch (...) {
            // A copy failed (an array out of memory): the ones made go back, which leaves
            // the items as they are.
            PutBack();
            throw;
        }
    }
    static constexpr size_t kInline = 8;

    [[gnu::noinline]] void SaveStrings(const std::vector<TscStringVariable*>& strings)
    {
        try {
            FStrings = std::make_unique<std::vector<std::pair<TscStringVariable*, Variant>>>();
            FStrings->reserve(strings.size());
            for (TscStringVariable* s : strings)
                FStrings->emplace_back(s, s->GetValue());
        } catch (...) {
            PutBack();
            throw;
        }
    }
    [[gnu::noinline]] void PutBackStrings() noexcept
    {
        for (auto& [item, text] : *FStrings)
            item->SetValue(text);
        FStrings.reset();
    }

    size_t FCount;
    Saved* FSaved;
    std::unique_ptr<std::vector<std::pair<TscStringVariable*, Variant>>> FStrings;
    alignas(Saved) unsigned char FInline[kInline * sizeof(Saved)];
};

// A FrameSave made only when a call is recursive. std::optional would do, but GCC clears
// its whole payload on every step that makes none, which costs more than the rest of a call.
class MaybeFrameSave {
public:
    MaybeFrameSave() = default;
    [[gnu::always_inline]] ~MaybeFrameSave() { PutBack(); }
    MaybeFrameSave(const MaybeFrameSave&) = delete;
    MaybeFrameSave& operator=(const MaybeFrameSave&) = delete;
    [[gnu::always_inline]] void Save(TscProcVariable* proc)
    {
        new (FStorage) FrameSave(proc);
        FSaved = true;
    }
    bool Saved() const { return FSaved; }
    // The caller's values back now (before the call's var parameters reach its arguments).
    [[gnu::always_inline]] void PutBack()
    {
        if (FSaved) {
            FSaved = false;
            std::launder(reinterpret_cast<FrameSave*>(FStorage))->~FrameSave();
        }
    }

private:
    bool FSaved = false;
    alignas(FrameSave) unsigned char FStorage[sizeof(FrameSave)];
};

// The helpers a write at the last step goes back through, as they were set, while an
// index further on is computed. That index may run the same helper for another object or
// index first: in Thing.Caption[Length(t.Caption)] := 'x' it leaves Caption holding t, in
// a[0][2][Length(a[1])] := 'x' the element helper holding 1, and the character would go
// into t or a[1]. Nothing is kept when the index runs no code (constants, plain variables
// and arithmetic over them), which is the usual case.
class KeptHelpers {
public:
    KeptHelpers() = default;
    KeptHelpers(const KeptHelpers&) = delete;
    KeptHelpers& operator=(const KeptHelpers&) = delete;
    ~KeptHelpers() { Restore(); }

    // The helpers of steps [from, to) of steps, but not except (the step's own item).
    void Save(const std::vector<std::unique_ptr<TscDesignatorItem>>& steps, size_t from, size_t to,
              const TscCustomVariable* except)
    {
        for (size_t i = from; i < to; ++i) {
            // A late step is written back through its writer, which keeps what it needs.
            auto* helper = dynamic_cast<TscCustomHelper*>(steps[i]->Ref);
            if (!helper || helper == except || steps[i]->KindOfRef() == TscDesignatorItem::RefKind::Late)
                continue;
            State& s = FStates.emplace_back();
            s.Helper = helper;
            s.ParentRef = helper->ParentRef;
            s.ParentValue = helper->ParentValue;
            s.Script = helper->Script;
            for (int j = 0; j < helper->ParamCount(); ++j)
                s.Params.push_back(helper->GetParam(j)->Value);
        }
    }
    void Restore()
    {
        for (auto it = FStates.rbegin(); it != FStates.rend(); ++it) {
            it->Helper->ParentRef = it->ParentRef;
            it->Helper->ParentValue = std::move(it->ParentValue);
            it->Helper->Script = it->Script;
            for (size_t j = 0; j < it->Params.size(); ++j)
                it->Helper->GetParam(static_cast<int>(j))->Value = std::move(it->Params[j]);
        }
        FStates.clear();
    }

private:
    struct State {
        TscCustomHelper* Helper;
        TscCustomVariable* ParentRef;
        Variant ParentValue;
        TscScript* Script;
        std::vector<Variant> Params;
    };
    std::vector<State> FStates;
};

// True when an argument of step may run code: anything but constants, plain variables
// and arithmetic over them.
bool ArgumentsRunCode(const TscDesignatorItem* step)
{
    for (int j = 0; j < step->Count(); ++j) {
        const TscExpression* e = step->GetItem(j);
        if (!(e->Root() && e->Root()->Direct) && !e->NumRoot())
            return true;
    }
    return false;
}

// Writes a changed value back through the late step it was read from, with the object
// and indexes that step had: v.Items[0][1] := 'x' sets Items[0] of v, v[1][1] := 'x' the
// first character of v. Through the writer of the step before it when there is one, so
// v[0][2][1] := 'x' reaches v. Used once.
class TscLateWriter : public TscCustomVariable {
public:
    // older: the writers made before this one in the same walk, kept alive with it.
    TscLateWriter(TscLateMember* member, TscCustomVariable* parentRef, const Variant& target, std::vector<Variant> args,
                  bool indexed, TscScript* script, std::unique_ptr<TscLateWriter> older)
        : TscCustomVariable(member->Name, fvtVariant, AnsiString()), FMember(member), FParentRef(parentRef),
          FTarget(target), FArgs(std::move(args)), FIndexed(indexed), FScript(script), FOlder(std::move(older))
    {
    }
    void SetValue(const Variant& value) override
    {
        FMember->ParentRef = FParentRef;
        // Handed over, not copied: an array written in place then has no other holder
        // that would make the write copy it first.
        FMember->ParentValue = std::move(FTarget);
        FMember->Script = FScript;
        FMember->Invoke(FArgs, true, value, FIndexed);
    }

private:
    TscLateMember* FMember;
    TscCustomVariable* FParentRef;
    Variant FTarget;
    std::vector<Variant> FArgs;
    bool FIndexed;
    TscScript* FScript;
    std::unique_ptr<TscLateWriter> FOlder;
};

// What an assigning walk keeps beside its steps (see Walk); a reading walk keeps Nothing.
struct WriteBack {
    size_t ChainFirst = 0;
    std::unique_ptr<TscLateWriter> Writers; // the newest, which holds the older ones
    TscLateWriter* StepWriter = nullptr;
};
struct Nothing {};

bool IsPlainVariable(const TscCustomVariable* item)
{
    return dynamic_cast<const TscVariable*>(item) || dynamic_cast<const TscParamItem*>(item);
}

// Argument values of one step: up to four in place, more on the heap.
class ArgumentValues {
public:
    [[gnu::always_inline]] ArgumentValues(const TscDesignatorItem* step, bool macro)
        : FCount(static_cast<size_t>(step->Count())), FValues(FCount)
    {
        for (size_t j = 0; j < FCount; ++j) {
            TscExpression* e = step->GetItem(static_cast<int>(j));
            FValues[j] = macro ? Variant(e->SourceText) : e->GetValue();
        }
    }
    const Variant& operator[](size_t j) const { return FValues[j]; }
    Variant&& Take(size_t j) { return std::move(FValues[j]); }

private:
    size_t FCount;
    VariantBuffer<4> FValues;
};

// Var parameters of a call of item back into the argument expressions of step. After a
// recursive call the caller's frame is put back first, so that what the call left in a var
// parameter reaches the caller's argument instead of being overwritten by the saved value.
[[gnu::noinline]] void WriteBackVarArguments(const TscDesignatorItem* step, TscCustomVariable* item, int argCount,
                                             MaybeFrameSave& frame)
{
    if (!frame.Saved()) {
        for (int j = 0; j < argCount; ++j)
            if (item->GetParam(j)->IsVarParam)
                step->GetItem(j)->SetValue(item->GetParam(j)->GetValue());
        return;
    }
    std::vector<std::pair<int, Variant>> out;
    for (int j = 0; j < argCount; ++j)
        if (item->GetParam(j)->IsVarParam)
            out.emplace_back(j, item->GetParam(j)->GetValue());
    frame.PutBack();
    for (auto& [j, v] : out)
        step->GetItem(j)->SetValue(v);
}

// The loans of a call's var parameters: a var parameter given a String variable borrows its
// text while the call runs (TscStringVariable), so the routine appends to it without a copy.
// Made once the arguments are in their parameters; when the call ends, however it ends, every
// loan made ends and each parameter's Lender is back as it was (an outer call of the same
// routine may have one). Up to four per call; a var parameter past them copies as before.
class VarLoans {
public:
    VarLoans() = default;
    [[gnu::always_inline]] ~VarLoans()
    {
        if (FCount != 0) [[unlikely]]
            End();
    }
    VarLoans(const VarLoans&) = delete;
    VarLoans& operator=(const VarLoans&) = delete;

    [[gnu::noinline]] void Make(const TscDesignatorItem* step, TscCustomVariable* item, int argCount)
    {
        for (int j = 0; j < argCount && FCount < kMax; ++j) {
            TscParamItem* p = item->GetParam(j);
            if (!p->IsVarParam)
                continue;
            const TscExpression* e = step->GetItem(j);
            auto* lender = e->ReadOnly ? nullptr : dynamic_cast<TscStringVariable*>(e->SingleItem());
            if (!lender || !lender->Lend(p->Value))
                continue;
            FLoans[FCount++] = {p, lender, p->Lender};
            p->Lender = lender;
        }
    }

private:
    [[gnu::noinline]] void End() noexcept
    {
        while (FCount > 0) {
            const Loan& loan = FLoans[--FCount];
            loan.Param->Lender = loan.Before;
            loan.Lender->EndLoan();
        }
    }
    struct Loan {
        TscParamItem* Param;
        TscStringVariable* Lender;
        TscStringVariable* Before;
    };
    static constexpr int kMax = 4;
    Loan FLoans[kMax];
    int FCount = 0;
};

// The handover of a call's var parameters to a host routine that changes them where they lie
// (TscMethodHelper::ChangesVarInPlace: Delete, Insert, SetLength). A plain variable given to
// one lets go of its text or array while the call runs, so the routine holds it alone and
// Delete(s, Length(s), 1) or SetLength(a, Length(a) + 1) in a loop copies nothing; the write
// back at the call's end stores the result into the variable (Done). A call that fails
// gives each variable that still reads empty back what its parameter holds.
class VarHandover {
public:
    VarHandover() = default;
    ~VarHandover()
    {
        if (FCount != 0) [[unlikely]]
            Undo();
    }
    VarHandover(const VarHandover&) = delete;
    VarHandover& operator=(const VarHandover&) = delete;

    [[gnu::noinline]] void Make(const TscDesignatorItem* step, TscCustomVariable* item, int argCount)
    {
        for (int j = 0; j < argCount && FCount < kMax; ++j) {
            TscParamItem* p = item->GetParam(j);
            const TscExpression* e = step->GetItem(j);
            TscCustomVariable* v = p->IsVarParam && !e->ReadOnly ? e->SingleItem() : nullptr;
            if (!v || v->ReadOnly)
                continue;
            if (typeid(*v) == typeid(TscStringVariable)) {
                if (!static_cast<TscStringVariable*>(v)->HandOver(p->Value))
                    continue;
            } else if (typeid(*v) == typeid(TscVariable) && SamePayload(v->Value, p->Value)) {
                v->Value = Variant();
            } else {
                continue;
            }
            FGiven[FCount++] = {p, v};
        }
    }
    void Done() { FCount = 0; }

private:
    // The very text or array, not an equal one.
    static bool SamePayload(const Variant& a, const Variant& b)
    {
        if (a.StrPtr())
            return a.StrPtr() == b.StrPtr();
        if (!VarIsArray(a) || !VarIsArray(b) || VarArrayDimCount(a) != VarArrayDimCount(b))
            return false;
        int low[3];
        const int dims = VarArrayDimCount(a);
        if (dims > 3)
            return false;
        for (int d = 0; d < dims; ++d) {
            low[d] = VarArrayLowBound(a, d + 1);
            if (VarArrayHighBound(a, d + 1) < low[d] || VarArrayLowBound(b, d + 1) != low[d] ||
                VarArrayHighBound(b, d + 1) < low[d])
                return false;
        }
        const std::span<const int> at(low, static_cast<size_t>(dims));
        return &a.Elem(at) == &b.Elem(at);
    }
    [[gnu::noinline]] void Undo() noexcept
    {
        while (FCount > 0) {
            const Given& g = FGiven[--FCount];
            try {
                if (typeid(*g.Holder) == typeid(TscStringVariable)) {
                    auto* sv = static_cast<TscStringVariable*>(g.Holder);
                    if (sv->Text().empty())
                        sv->SetValue(g.Param->Value);
                } else if (VarIsEmpty(g.Holder->Value)) {
                    g.Holder->Value = g.Param->Value;
                }
            } catch (...) {
                // the variable keeps what it reads now
            }
        }
    }
    struct Given {
        TscParamItem* Param;
        TscCustomVariable* Holder;
    };
    static constexpr int kMax = 2;
    Given FGiven[kMax];
    int FCount = 0;
};


bool AnyVarParam(const TscCustomVariable* item, int argCount)
{
    for (int j = 0; j < argCount; ++j)
        if (item->GetParam(j)->IsVarParam)
            return true;
    return false;
}



// After a call of a host routine: its arguments are not read again (each call passes its
// own, defaults included), so texts and arrays given to it are let go. Held on to, they
// would make the caller's next change of that variable in place copy it whole, as in
// while Length(s) < n do s := s + t, or SetLength(a, i); a[i - 1] := x. Var parameters are
// written back first, and let go as well; an indexed property's index stays for a write
// back through it.
void ReleaseArguments(TscMethodHelper* helper, int argCount)
{
    if (!helper || helper->IsIndexMethod)
        return;
    for (int j = 0; j < argCount; ++j) {
        TscParamItem* param = helper->GetParam(j);
        const TVarType t = ::VarType(param->Value);
        if (t == varString || (t & varArray))
            param->Value = Variant();
    }
}

std::vector<Variant> EvaluateArguments(const TscDesignatorItem* step, bool macro)
{
    std::vector<Variant> args;
    args.reserve(static_cast<size_t>(step->Count()));
    for (int j = 0; j < step->Count(); ++j) {
        TscExpression* e = step->GetItem(j);
        args.push_back(macro ? Variant(e->SourceText) : e->GetValue());
    }
    return args;
}

} // namespace

// ---------------------------------------------------------------- TscDesignatorItem

void TscDesignatorItem::Classify()
{
    const TscCustomVariable* ref = Ref;
    FIntoStepBefore = false;
    if (dynamic_cast<const TscDesignator*>(ref)) {
        FKind = RefKind::Nested;
    } else if (auto* late = dynamic_cast<const TscLateMember*>(ref)) {
        FKind = RefKind::Late;
        FIntoStepBefore = late->Name == "[";
    } else if (dynamic_cast<const TscProcVariable*>(ref)) {
        FKind = RefKind::Proc;
    } else if (dynamic_cast<const TscCustomHelper*>(ref)) {
        FKind = RefKind::Helper;
        FIntoStepBefore = dynamic_cast<const TscStringHelper*>(ref) || dynamic_cast<const TscArrayHelper*>(ref);
    } else {
        FKind = RefKind::Other;
    }
    FInPlace = ref && (typeid(*ref) == typeid(TscVariable) || typeid(*ref) == typeid(TscParamItem));
    FMethod = FKind == RefKind::Helper ? dynamic_cast<TscMethodHelper*>(Ref) : nullptr;
    FKindOf = Ref;
}

void TscDesignatorItem::FindShapeOfCall()
{
    FShapeOf = Ref;
    FShapeArgs = Count();
    FShapeParams = Ref->ParamCount();
    FShape.ArgCount = std::min(FShapeArgs, FShapeParams);
    FShape.AnyVar = AnyVarParam(Ref, FShape.ArgCount);
    FShape.OneArgument = FShape.ArgCount == 1 && FShapeArgs == 1;
}

// ---------------------------------------------------------------- TscDesignator

TscDesignator::TscDesignator(TscScript* script) : TscCustomVariable(AnsiString(), fvtInt, AnsiString()), Script(script)
{
}

TscDesignator::~TscDesignator() = default;

TscDesignatorItem* TscDesignator::AddStep(TscCustomVariable* ref, const AnsiString& sourcePos)
{
    auto step = std::make_unique<TscDesignatorItem>();
    step->Ref = ref;
    step->SourcePos = sourcePos;
    FSteps.push_back(std::move(step));
    return FSteps.back().get();
}

void TscDesignator::RemoveLastStep()
{
    if (!FSteps.empty())
        FSteps.pop_back();
}

void TscDesignator::Finalize()
{
    Kind = dkOther;
    RefItem = nullptr;
    IndexExpr = nullptr;
    IndexItem = nullptr;
    if (FSteps.empty())
        return;
    const TscCustomVariable* last = FSteps.back()->Ref;
    VarType = last->VarType;
    TypeName = last->TypeName;
    if (VarType == fvtConstructor) {
        VarType = fvtClass;
        if (FSteps.size() >= 2)
            TypeName = FSteps[FSteps.size() - 2]->Ref->TypeName;
    }
    ReadOnly = last->ReadOnly;
    // A character or an element written goes back into the step before, and so on down
    // the chain: the write is possible only when the step it ends in takes it. A character
    // of a constant or of a function's result has nowhere to go and is refused, instead of
    // being dropped when it runs.
    for (size_t i = FSteps.size() - 1; i > 0 && FSteps[i]->WritesIntoStepBefore(); --i)
        ReadOnly = ReadOnly || FSteps[i - 1]->Ref->ReadOnly;
    TscCustomVariable* first = FSteps[0]->Ref;
    if (FSteps.size() == 1 && IsPlainVariable(first)) {
        Kind = dkVariable;
        RefItem = first;
    } else if (FSteps.size() == 2 && dynamic_cast<TscStringVariable*>(first) && FSteps[1]->Count() == 1 &&
               dynamic_cast<TscStringHelper*>(FSteps[1]->Ref)) {
        Kind = dkStringArray;
        RefItem = first;
        IndexExpr = FSteps[1]->GetItem(0);
    } else if (FSteps.size() == 2 && dynamic_cast<TscVariable*>(first) && first->VarType == fvtArray &&
               first->RefItem && FSteps[1]->Ref == first->RefItem) {
        Kind = dkArray;
        RefItem = first;
        IndexExpr = first->RefItem;
        IndexItem = FSteps[1].get();
    }
}

void TscDesignator::Borrow(TscDesignator& other)
{
    std::swap(FSteps, other.FSteps);
    Kind = other.Kind;
    IndexExpr = other.IndexExpr;
    IndexItem = other.IndexItem;
    VarType = other.VarType;
    TypeName = other.TypeName;
    ReadOnly = other.ReadOnly;
    RefItem = other.RefItem;
}

namespace {

// The arguments of step go into proc's parameters, as a call passes them.
[[gnu::always_inline]] inline void PassArguments(TscDesignatorItem* step, TscProcVariable* proc,
                                                 const TscDesignatorItem::CallShape& shape)
{
    const int argCount = shape.ArgCount;
    if (shape.OneArgument) {
        TscExpression* e = step->GetItem(0);
        TscParamItem* p = proc->GetParam(0);
        if (proc->IsMacro)
            p->Pass(Variant(e->SourceText));
        else if (!PassInteger(e, p) && !PassNumber(e, p))
            p->Pass(e->GetValue());
    } else if (argCount > 0) {
        ArgumentValues args(step, proc->IsMacro);
        for (int j = 0; j < argCount; ++j)
            proc->GetParam(j)->Pass(args.Take(static_cast<size_t>(j)));
    }
}

} // namespace

// The step of Walk for a call of a script routine, with what it decides found once per step
// (ShapeOfCall). One argument is computed whole before it is stored, so it goes straight
// into its parameter; an Integer argument to a parameter that keeps Integers goes there as
// a plain number when its tree computes one. The call's body runs in place (CallInPlace), or
// compactly (CompactCall.h) for a routine that RunsCompact.
[[gnu::always_inline]] inline Variant TscDesignator::CallRoutine(TscDesignatorItem* step)
{
    auto* proc = static_cast<TscProcVariable*>(step->Ref);
    if (proc->RunsCompact()) {
        Variant result;
        if (scCompactCall(step, proc, NeedResult, result)) [[likely]]
            return result;
    }
    const TscDesignatorItem::CallShape& shape = step->ShapeOfCall();
    MaybeFrameSave frame;
    const bool running = proc->Executing;
    if (running)
        frame.Save(proc);
    const int argCount = shape.ArgCount;
    PassArguments(step, proc, shape);
    VarLoans loans;
    if (shape.AnyVar) [[unlikely]]
        loans.Make(step, proc, argCount);
    proc->NeedResult = NeedResult;
    Variant result = proc->CallInPlace();
    if (shape.AnyVar) [[unlikely]]
        WriteBackVarArguments(step, proc, argCount, frame);
    if (!running)
        LetGoOfParameters(proc);
    return result;
}

TscReadLog* TscDesignator::ReadLog = nullptr;

Variant TscDesignator::GetValue()
{
    if (Logged && ReadLog) [[unlikely]]
        return GetLoggedValue();
    return GetValueNow();
}

Variant TscDesignator::GetLoggedValue()
{
    TscReadLog* log = ReadLog;
    Variant v;
    if (log->Serve(this, v))
        return v;
    log->Begin(this);
    v = GetValueNow();
    log->Record(this, v);
    return v;
}

Variant TscDesignator::GetValueNow()
{
    // Obj.Member first: its path hands on to the member without a frame of its own, which
    // the call path below needs.
    if (FSteps.size() == 2 && IsMemberRead())
        return ReadMember();
    // A call of a script routine on its own, the commonest designator of all.
    if (FSteps.size() == 1 && FSteps[0]->KindOfRef() == TscDesignatorItem::RefKind::Proc)
        return CallRoutine(FSteps[0].get());
    return Walk<false>(Null());
}

void TscDesignator::SetValue(const Variant& value)
{
    if (FSteps.size() == 2 && IsMemberWrite())
        return WriteMember(value);
    Walk<true>(value);
}

Variant TscDesignator::DoCalc(const Variant& value, bool assigning)
{
    return assigning ? Walk<true>(value) : Walk<false>(value);
}

template <bool Assigning>
Variant TscDesignator::Walk(const Variant& value)
{
    TscCustomVariable* previous = this;
    Variant current = Null();
    const size_t n = FSteps.size();
    // Assigning: the steps from ChainFirst on are the ones the write at the last step goes
    // back through, each into the one before it; their helpers are kept while an index after
    // them is computed. Late steps written through get writers (TscLateWriter), made as the
    // walk passes them; StepWriter is the one of the step before.
    [[maybe_unused]] std::conditional_t<Assigning, WriteBack, Nothing> back;
    if constexpr (Assigning) {
        back.ChainFirst = n ? n - 1 : 0;
        if (n && FSteps[n - 1]->WritesIntoStepBefore()) [[unlikely]]
            while (back.ChainFirst > 0 && FSteps[back.ChainFirst]->WritesIntoStepBefore())
                --back.ChainFirst;
    }
    for (size_t i = 0; i < n; ++i) {
        TscDesignatorItem* step = FSteps[i].get();
        TscCustomVariable* item = step->Ref;
        const bool last = i + 1 == n;
        const TscDesignatorItem::RefKind kind = step->KindOfRef();
        if (kind == TscDesignatorItem::RefKind::Nested) {
            auto* nested = static_cast<TscDesignator*>(item);
            previous = nested;
            current = nested->GetValue();
            continue;
        }
        // Made only when needed; freeing it puts the helpers back.
        [[maybe_unused]] std::conditional_t<Assigning, std::unique_ptr<KeptHelpers>, Nothing> kept;
        if constexpr (Assigning) {
            if (i > back.ChainFirst && step->Count() > 0 && ArgumentsRunCode(step)) {
                kept = std::make_unique<KeptHelpers>();
                kept->Save(FSteps, back.ChainFirst, i, item);
            }
        }
        if (kind == TscDesignatorItem::RefKind::Late) {
            auto* late = static_cast<TscLateMember*>(item);
            std::vector<Variant> args = EvaluateArguments(step, false);
            TscCustomVariable* parentRef = previous;
            if constexpr (Assigning) {
                kept.reset();
                if (back.StepWriter && step->WritesIntoStepBefore())
                    parentRef = back.StepWriter;
                back.StepWriter = nullptr;
                if (!last && FSteps[i + 1]->WritesIntoStepBefore()) {
                    back.Writers = std::make_unique<TscLateWriter>(late, parentRef, current, args, step->Indexed,
                                                                   Script, std::move(back.Writers));
                    back.StepWriter = back.Writers.get();
                }
            }
            std::vector<int> written;
            late->ParentRef = parentRef;
            late->ParentValue = std::move(current);
            late->Script = Script;
            late->NeedResult = !last || NeedResult;
            current = late->Invoke(args, Assigning && last, value, step->Indexed, &written);
            previous = late;
            // Var parameters of the member found: back into the argument expressions.
            for (int j : written)
                step->GetItem(j)->SetValue(args[static_cast<size_t>(j)]);
            continue;
        }
        // Only a recursive call saves a frame; other steps build none.
        MaybeFrameSave frame;
        const bool proc = kind == TscDesignatorItem::RefKind::Proc;
        const bool running = proc && static_cast<TscProcVariable*>(item)->Executing;
        if (running)
            frame.Save(static_cast<TscProcVariable*>(item));
        const int argCount = std::min(step->Count(), item->ParamCount());
        if (argCount > 0) {
            // All arguments first: they may read the old parameters of this very procedure.
            ArgumentValues args(step, item->IsMacro);
            if constexpr (Assigning)
                kept.reset();
            for (int j = 0; j < argCount; ++j)
                item->GetParam(j)->Pass(args.Take(static_cast<size_t>(j)));
        }
        VarLoans loans;
        if (proc && AnyVarParam(item, argCount))
            loans.Make(step, item, argCount);
        VarHandover handover;
        if (kind == TscDesignatorItem::RefKind::Helper && AnyVarParam(item, argCount))
            if (TscMethodHelper* m = step->MethodOfRef(); m && m->ChangesVarInPlace)
                handover.Make(step, item, argCount);
        if (kind == TscDesignatorItem::RefKind::Helper) {
            auto* helper = static_cast<TscCustomHelper*>(item);
            helper->ParentRef = previous;
            // Handed over: the value is read again from here, and an array written in
            // place must have no other holder that would make the write copy it.
            helper->ParentValue = std::move(current);
            helper->Script = Script;
        }
        previous = item;
        if (Assigning && last) {
            item->SetValue(value);
        } else {
            item->NeedResult = !last || NeedResult;
            current = item->GetValue();
        }
        if (AnyVarParam(item, argCount))
            WriteBackVarArguments(step, item, argCount, frame);
        handover.Done();
        if (proc && !running)
            LetGoOfParameters(static_cast<TscProcVariable*>(item));
        if (kind == TscDesignatorItem::RefKind::Helper && argCount > 0)
            ReleaseArguments(step->MethodOfRef(), argCount);
    }
    return current;
}

template Variant TscDesignator::Walk<false>(const Variant&);
template Variant TscDesignator::Walk<true>(const Variant&);

// Found once per pair of items: what each step is depends on its item alone.
void TscDesignator::FindMemberShape()
{
    using Kind = TscDesignatorItem::RefKind;
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* second = FSteps[1].get();
    const Kind k = first->KindOfRef();
    FMemberRead = (k == Kind::Other || k == Kind::Helper) && second->KindOfRef() == Kind::Helper;
    FMemberWrite = FMemberRead && !second->WritesIntoStepBefore();
    FMemberProperty = FMemberRead && second->Ref && typeid(*second->Ref) == typeid(TscPropertyHelper);
    FPlainProperty = FMemberProperty && FMemberWrite && first->ReadsInPlace();
    FShapeOf[0] = first->Ref;
    FShapeOf[1] = second->Ref;
    FKept.Member = nullptr;
    FKept.ObjectItem = nullptr;
}

inline bool TscDesignator::IsMemberRead()
{
    const TscDesignatorItem* first = FSteps[0].get();
    if (first->Ref != FShapeOf[0] || FSteps[1]->Ref != FShapeOf[1]) [[unlikely]]
        FindMemberShape();
    return FMemberRead && first->Count() == 0;
}

inline bool TscDesignator::IsMemberWrite()
{
    const TscDesignatorItem* first = FSteps[0].get();
    if (first->Ref != FShapeOf[0] || FSteps[1]->Ref != FShapeOf[1]) [[unlikely]]
        FindMemberShape();
    return FMemberWrite && first->Count() == 0;
}

// The first step of Obj.Member(args) as the walk takes it: the object's value (a plain
// variable's stored Value, as its GetValue gives it).
inline Variant TscDesignator::ObjectOfMember()
{
    TscDesignatorItem* first = FSteps[0].get();
    TscCustomVariable* object = first->Ref;
    if (first->ReadsInPlace()) {
        object->NeedResult = true;
        return object->Value;
    }
    if (first->KindOfRef() == TscDesignatorItem::RefKind::Helper) {
        auto* helper = static_cast<TscCustomHelper*>(object);
        helper->ParentRef = this;
        helper->ParentValue = Null();
        helper->Script = Script;
    }
    object->NeedResult = true;
    return object->GetValue();
}

namespace {

// The arguments of the member step, all computed before the first is stored.
[[gnu::noinline]] void PassMemberArguments(TscDesignatorItem* step, TscCustomHelper* member, int argCount)
{
    if (argCount == 1 && step->Count() == 1) {
        // One argument: computed whole before it is stored, so it goes straight in; a number
        // tree as the number it computes, as a call of a script routine passes it.
        TscExpression* e = step->GetItem(0);
        TscParamItem* p = member->GetParam(0);
        if (member->IsMacro)
            p->Pass(Variant(e->SourceText));
        else if (!PassInteger(e, p) && !PassNumber(e, p))
            p->Pass(e->GetValue());
    } else {
        ArgumentValues args(step, member->IsMacro);
        for (int j = 0; j < argCount; ++j)
            member->GetParam(j)->Pass(args.Take(static_cast<size_t>(j)));
    }
}

// After the member ran: var parameters back into their arguments, texts and arrays let go.
[[gnu::noinline]] void FinishMemberArguments(TscDesignatorItem* step, TscCustomHelper* member, int argCount)
{
    if (step->ShapeOfCall().AnyVar) {
        MaybeFrameSave none;
        WriteBackVarArguments(step, member, argCount, none);
    }
    ReleaseArguments(step->MethodOfRef(), argCount);
}

// Whether FinishMemberArguments has anything to do: a var parameter to write back, or a
// parameter left holding a text or an array. Numbers, the commonest arguments, need neither.
[[gnu::always_inline]] inline bool MemberArgumentsToFinish(TscDesignatorItem* step, TscCustomHelper* member,
                                                           int argCount)
{
    if (step->ShapeOfCall().AnyVar)
        return true;
    for (int j = 0; j < argCount; ++j) {
        const TVarType t = member->GetParam(j)->Value.VType();
        if (t == varString || (t & varArray))
            return true;
    }
    return false;
}

} // namespace

// The reading walk of Obj.Member(args) written out for its two steps (IsMemberRead): the
// same calls in the same order, without the loop and the tests for the kinds of step it
// cannot meet.
Variant TscDesignator::ReadMember()
{
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* step = FSteps[1].get();
    auto* member = static_cast<TscCustomHelper*>(step->Ref);
    if (step->Count() == 0 && first->ReadsInPlace()) {
        // A plain variable's value, nothing run between reading it and handing it over.
        TscCustomVariable* object = first->Ref;
        object->NeedResult = true;
        member->ParentRef = object;
        member->ParentValue = object->Value;
        member->Script = Script;
        member->NeedResult = NeedResult;
        return member->GetValue();
    }
    return ReadMemberWithArguments();
}

Variant TscDesignator::ReadMemberWithArguments()
{
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* step = FSteps[1].get();
    auto* member = static_cast<TscCustomHelper*>(step->Ref);
    const int argCount = std::min(step->Count(), member->ParamCount());
    Variant current = ObjectOfMember();
    if (argCount > 0)
        PassMemberArguments(step, member, argCount);
    member->ParentRef = first->Ref;
    member->ParentValue = std::move(current);
    member->Script = Script;
    member->NeedResult = NeedResult;
    Variant result = member->GetValue();
    if (argCount > 0 && MemberArgumentsToFinish(step, member, argCount))
        FinishMemberArguments(step, member, argCount);
    return result;
}

// The assigning walk of Obj.Prop := v and Obj.Items[i] := v written out the same way, for a
// member that takes the value itself (not a character or an element written back into the
// step before).
void TscDesignator::WriteMember(const Variant& value)
{
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* step = FSteps[1].get();
    auto* member = static_cast<TscCustomHelper*>(step->Ref);
    if (step->Count() == 0 && first->ReadsInPlace()) {
        TscCustomVariable* object = first->Ref;
        object->NeedResult = true;
        member->ParentRef = object;
        member->ParentValue = object->Value;
        member->Script = Script;
        return member->SetValue(value);
    }
    WriteMemberWithArguments(value);
}

void TscDesignator::WriteMemberWithArguments(const Variant& value)
{
    TscDesignatorItem* first = FSteps[0].get();
    TscDesignatorItem* step = FSteps[1].get();
    auto* member = static_cast<TscCustomHelper*>(step->Ref);
    const int argCount = std::min(step->Count(), member->ParamCount());
    Variant current = ObjectOfMember();
    if (argCount > 0)
        PassMemberArguments(step, member, argCount);
    member->ParentRef = first->Ref;
    member->ParentValue = std::move(current);
    member->Script = Script;
    member->SetValue(value);
    if (argCount > 0 && MemberArgumentsToFinish(step, member, argCount))
        FinishMemberArguments(step, member, argCount);
}

// ---------------------------------------------------------------- shortcuts

namespace {

int CheckedIndex(const Variant& index, const AnsiString& s)
{
    const int64_t i = index.AsInt64();
    if (i < 1 || i > static_cast<int64_t>(s.size()))
        scRaiseIndex(TscMessageId::SStringIndex, i, 1, static_cast<int64_t>(s.size()));
    return static_cast<int>(i);
}

} // namespace

Variant TscStringDesignator::GetValue()
{
    auto* s = static_cast<TscStringVariable*>(RefItem);
    // The index first: computing it may give the variable another text.
    const Variant index = IndexExpr->GetValue();
    const int i = CheckedIndex(index, s->Text());
    return Variant(AnsiString(1, s->Text()[static_cast<size_t>(i - 1)]));
}

void TscStringDesignator::SetValue(const Variant& value)
{
    auto* s = static_cast<TscStringVariable*>(RefItem);
    const Variant index = IndexExpr->GetValue();
    const int i = CheckedIndex(index, s->Text());
    const AnsiString text = VarToStr(value);
    s->MutableText()[static_cast<size_t>(i - 1)] = text.empty() ? '\0' : text[0];
}

void TscArrayDesignator::PassIndexes()
{
    auto* helper = static_cast<TscCustomHelper*>(IndexExpr);
    const int n = std::min(IndexItem->Count(), helper->ParamCount());
    if (n == 1) {
        Variant index = IndexItem->GetItem(0)->GetValue();
        helper->ParentRef = RefItem;
        helper->GetParam(0)->Pass(std::move(index));
        return;
    }
    // Every index first: one may read this same array (m[i, m[j, k]]) through
    // the helper, whose indexes would otherwise be half ours and half its.
    VariantBuffer<3> indexes(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j)
        indexes[static_cast<size_t>(j)] = IndexItem->GetItem(j)->GetValue();
    helper->ParentRef = RefItem;
    for (int j = 0; j < n; ++j)
        helper->GetParam(j)->Pass(std::move(indexes[static_cast<size_t>(j)]));
}

Variant TscArrayDesignator::GetValue()
{
    PassIndexes();
    return IndexExpr->GetValue();
}

void TscArrayDesignator::SetValue(const Variant& value)
{
    PassIndexes();
    IndexExpr->SetValue(value);
}

// ---------------------------------------------------------------- late binding

TscLateMember::TscLateMember(const AnsiString& name) : TscCustomHelper(name, fvtVariant, AnsiString())
{
}

TscLateMember::~TscLateMember() = default;

namespace {

// The script's class item for obj: its own class or the nearest registered ancestor.
TscClassVariable* ScriptClassOf(const TscScript* script, const TObject* obj)
{
    for (TClass c = obj->ClassType(); c && script; c = c->ClassParent())
        if (TscClassVariable* cls = script->FindClass(c->ClassName()))
            return cls;
    return nullptr;
}

// Calls member (found at run time) with args on the object in parentValue.
// Values of var parameters go back into args; written (when given) gets their
// indices.
Variant CallMember(TscCustomVariable* member, const Variant& parentValue, TscScript* script,
                   std::vector<Variant>& args, bool assigning, const Variant& value,
                   std::vector<int>* written = nullptr)
{
    const int params = member->ParamCount();
    if (static_cast<int>(args.size()) > params)
        scRaise(TscMessageId::STooManyParams);
    if (static_cast<int>(args.size()) < member->GetNumberOfRequiredParams())
        scRaise(TscMessageId::SNotEnoughParams);
    for (int j = 0; j < params; ++j) {
        TscParamItem* p = member->GetParam(j);
        p->SetValue(j < static_cast<int>(args.size()) ? args[static_cast<size_t>(j)] : p->DefValue);
    }
    if (auto* helper = dynamic_cast<TscCustomHelper*>(member)) {
        helper->ParentRef = member;
        helper->ParentValue = parentValue;
        helper->Script = script;
    }
    if (assigning) {
        if (member->ReadOnly && !dynamic_cast<TscMethodHelper*>(member))
            scRaise(TscMessageId::SLeftCantAssigned);
        member->SetValue(value);
        return value;
    }
    Variant result = member->GetValue();
    for (int j = 0; j < static_cast<int>(args.size()); ++j)
        if (member->GetParam(j)->IsVarParam) {
            args[static_cast<size_t>(j)] = member->GetParam(j)->GetValue();
            if (written)
                written->push_back(j);
        }
    ReleaseArguments(dynamic_cast<TscMethodHelper*>(member), params);
    return result;
}

// Writes a whole new value back through a member with no parameters, so that
// obj.Caption[1] := 'x' changes the property, not a copy of its text.
class TscMemberWriter : public TscCustomVariable {
public:
    TscMemberWriter(TscCustomVariable* member, const Variant& parentValue, TscScript* script)
        : TscCustomVariable(member->Name, fvtVariant, AnsiString()), FMember(member), FParentValue(parentValue),
          FScript(script)
    {
    }
    void SetValue(const Variant& value) override
    {
        std::vector<Variant> none;
        CallMember(FMember, FParentValue, FScript, none, true, value);
    }

private:
    TscCustomVariable* FMember;
    Variant FParentValue;
    TscScript* FScript;
};

Variant IndexArray(TscCustomVariable* parentRef, Variant& parentValue, std::vector<Variant>& args,
                   bool assigning, const Variant& value)
{
    const int dims = VarArrayDimCount(parentValue);
    if (static_cast<int>(args.size()) != dims)
        scRaise(static_cast<int>(args.size()) < dims ? TscMessageId::SNotEnoughParams : TscMessageId::STooManyParams);
    std::vector<int> index(static_cast<size_t>(dims));
    for (int d = 0; d < dims; ++d) {
        index[static_cast<size_t>(d)] = args[static_cast<size_t>(d)].AsInteger();
        const int lo = VarArrayLowBound(parentValue, d + 1), hi = VarArrayHighBound(parentValue, d + 1);
        if (index[static_cast<size_t>(d)] < lo || index[static_cast<size_t>(d)] > hi)
            scRaiseIndex(TscMessageId::SArrayIndex, index[static_cast<size_t>(d)], lo, hi);
    }
    if (!assigning)
        return VarArrayGet(parentValue, std::span<const int>(index));
    // The value read goes before the write: holding it too would make the write
    // copy the whole array first.
    parentValue = Variant();
    // Only an array held by a variable can be changed in place.
    if (!parentRef || !IsPlainVariable(parentRef) || !VarIsArray(parentRef->Value))
        scRaise(TscMessageId::SLeftCantAssigned);
    // An array made with an element type of its own converts the value to it.
    VarArrayPut(parentRef->Value, value, std::span<const int>(index));
    return value;
}

Variant IndexString(TscCustomVariable* parentRef, Variant& parentValue, std::vector<Variant>& args, bool assigning,
                    const Variant& value)
{
    if (args.size() != 1)
        scRaise(args.empty() ? TscMessageId::SNotEnoughParams : TscMessageId::STooManyParams);
    // A text is read where it lies, and a plain variable's text changed in place: a loop
    // over the characters of a long text must not copy the whole text for each one.
    if (const AnsiString* held = parentValue.StrPtr()) {
        const auto at = static_cast<size_t>(CheckedIndex(args[0], *held) - 1);
        if (!assigning)
            return Variant(AnsiString(1, (*held)[at]));
        const AnsiString text = VarToStr(value);
        if (parentRef && script_detail::SetCharInPlace(parentRef, parentValue, at, text.empty() ? '\0' : text[0]))
            return value;
    }
    AnsiString s = VarToStr(parentValue);
    const int i = CheckedIndex(args[0], s);
    if (!assigning)
        return Variant(AnsiString(1, s[static_cast<size_t>(i - 1)]));
    const AnsiString text = VarToStr(value);
    s[static_cast<size_t>(i - 1)] = text.empty() ? '\0' : text[0];
    if (!parentRef)
        scRaise(TscMessageId::SLeftCantAssigned);
    parentRef->SetValue(Variant(s));
    return value;
}

// target[args]: a character of a string, an element of an array, the default
// property of an object. parentRef receives a changed string or array element.
Variant IndexValue(TscCustomVariable* parentRef, Variant& target, TscScript* script,
                   std::vector<Variant>& args, bool assigning, const Variant& value)
{
    if (VarIsStr(target))
        return IndexString(parentRef, target, args, assigning, value);
    if (VarIsArray(target))
        return IndexArray(parentRef, target, args, assigning, value);
    if (VarIsNull(target) || VarIsEmpty(target) || !VarIsOrdinal(target))
        scRaise(TscMessageId::SArrayRequired);
    TObject* obj = script_detail::ResolveInstance(target, nullptr, false, "[]");
    TscClassVariable* cls = ScriptClassOf(script, obj);
    if (!cls || !cls->DefProperty)
        scRaise(TscMessageId::SClassError, obj->ClassName());
    return CallMember(cls->DefProperty, target, script, args, assigning, value);
}

} // namespace

Variant TscLateMember::Invoke(std::vector<Variant>& args, bool assigning, const Variant& value, bool indexed,
                              std::vector<int>* written)
{
    // Hold no object past the call (an automation server is released when
    // the script drops it).
    Variant target = std::move(ParentValue);
    ParentValue = Variant();
    if (Name == "[")
        return IndexValue(ParentRef, target, Script, args, assigning, value);
    if (::VarType(target) == varDispatch) {
        // One parameter per argument, as the helper collects them; more than it
        // takes are refused by it before the server is called.
        if (!FOle)
            FOle = std::make_unique<TscOLEHelper>(Name);
        while (FOle->ParamCount() < static_cast<int>(args.size()))
            FOle->AddParam(std::make_unique<TscParamItem>(AnsiString(), fvtVariant, "Variant", false, false));
        while (FOle->ParamCount() > static_cast<int>(args.size())) {
            std::unique_ptr<TObject> extra = FOle->Remove(FOle->GetParam(FOle->ParamCount() - 1));
        }
        for (size_t j = 0; j < args.size(); ++j)
            FOle->GetParam(static_cast<int>(j))->SetValue(args[j]);
        FOle->ParentRef = ParentRef;
        FOle->ParentValue = target;
        FOle->Script = Script;
        FOle->NeedResult = NeedResult;
        if (assigning) {
            FOle->SetValue(value);
            return value;
        }
        return FOle->GetValue();
    }
    TObject* obj = script_detail::ResolveInstance(target, nullptr, false, Name);
    TscClassVariable* cls = ScriptClassOf(Script, obj);
    if (!cls)
        scRaise(TscMessageId::SUnknownType, "'" + obj->ClassName() + "'");
    TscCustomVariable* member = cls->Find(Name);
    if (!member)
        scRaise(TscMessageId::SIdUndeclared, "'" + Name + "'");
    // obj.Lines[0] (or Lines(0) in BasicScript) where Lines takes no index: the
    // index applies to the member's value, as it would with a typed variable.
    const bool property = dynamic_cast<TscPropertyHelper*>(member) || dynamic_cast<TscComponentHelper*>(member);
    if (!args.empty() && member->ParamCount() == 0 && (indexed || property)) {
        std::vector<Variant> none;
        Variant inner = CallMember(member, target, Script, none, false, Null());
        TscMemberWriter writer(member, target, Script);
        return IndexValue(&writer, inner, Script, args, assigning, value);
    }
    return CallMember(member, target, Script, args, assigning, value, written);
}

void TscLateMember::SetValue(const Variant& /*value*/)
{
    scRaise(TscMessageId::SLeftCantAssigned);
}

// ---------------------------------------------------------------- sets

TscSetExpression::TscSetExpression() : TscCustomVariable(AnsiString(), fvtVariant, AnsiString())
{
}

TscSetExpression::~TscSetExpression() = default;

bool TscSetExpression::Check(const Variant& value)
{
    const int n = EntryCount();
    for (int i = 0; i < n; ++i) {
        if (!FEntries[static_cast<size_t>(i)])
            continue;
        if (i + 2 < n && !FEntries[static_cast<size_t>(i + 1)] && FEntries[static_cast<size_t>(i + 2)]) {
            const Variant low = FEntries[static_cast<size_t>(i)]->GetValue();
            const Variant high = FEntries[static_cast<size_t>(i + 2)]->GetValue();
            if (VarGe(value, low) && VarLe(value, high))
                return true;
            i += 2;
            continue;
        }
        if (VarEq(value, FEntries[static_cast<size_t>(i)]->GetValue()))
            return true;
    }
    return false;
}

Variant TscSetExpression::GetValue()
{
    const int n = EntryCount();
    if (n == 0)
        return VarArrayCreate({0, -1}, varVariant);
    Variant r = VarArrayCreate({0, n - 1}, varVariant);
    for (int i = 0; i < n; ++i)
        VarArrayPut(r, FEntries[static_cast<size_t>(i)] ? FEntries[static_cast<size_t>(i)]->GetValue() : Variant(0), {i});
    return r;
}

int64_t TscSetExpression::GetMask()
{
    const int n = EntryCount();
    int64_t mask = 0;
    for (int i = 0; i < n; ++i) {
        if (!FEntries[static_cast<size_t>(i)])
            continue;
        const Variant v = FEntries[static_cast<size_t>(i)]->GetValue();
        if (i + 2 < n && !FEntries[static_cast<size_t>(i + 1)] && FEntries[static_cast<size_t>(i + 2)]) {
            mask |= scMaskRange(v.AsInt64(), FEntries[static_cast<size_t>(i + 2)]->GetValue().AsInt64());
            i += 2;
            continue;
        }
        mask |= scSetToMask(v);
    }
    return mask;
}
