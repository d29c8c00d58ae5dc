// CallSteps.h - steps of a call of a script routine shared by its paths (Designator.cpp,
// CompactCall.cpp): an argument stored into its parameter as a plain number, and the
// parameters let go after a call.
#pragma once

#include "script/Expression.h"
#include "script/Script.h"

#include <new>

namespace script_call {

// After a call of a script routine that was not running: nothing reads its parameters before
// the next call gives them new values (every call passes all of them, defaults included), so
// the texts and arrays they hold are let go once var parameters are written back. Kept, they
// would make the caller's next change of that variable in place copy it whole, as in
// for i := 1 to n do begin s := s + 'x'; P(s) end. While the call runs they hold their values
// (hosts read them by name); a recursive call leaves the values its frame puts back alone,
// and so does a parameter that a routine declared inside may read whenever it runs
// (TscParamItem::ReadAfterCall).
[[gnu::always_inline]] inline void LetGoOfParameters(TscProcVariable* proc)
{
    const int n = proc->ParamCount();
    for (int j = 0; j < n; ++j) {
        TscParamItem* p = proc->GetParam(j);
        const TVarType t = p->Value.VType();
        // A read-only parameter is given nothing by a call (Pass): it keeps its value.
        if ((t == varString || (t & varArray)) && !p->ReadOnly && !p->ReadAfterCall) [[unlikely]]
            p->Value = Variant();
    }
}

// An argument whose tree always computes an Integer, for a parameter that stores it as it
// comes (not a floating one, which converts): put there as the Variant Pass would store,
// without one in between. False, with nothing changed, for anything else.
[[gnu::always_inline]] inline bool PassInteger(const TscExpression* e, TscParamItem* p)
{
    const TscOperatorNode* root = e->NumRoot();
    if (!root || !root->IntCompute || p->ReadOnly || p->VarType == fvtFloat)
        return false;
    int32_t v;
    if (!root->IntCompute(root, v))
        return false;
    Variant& target = p->Value;
    if (target.VType() == varInteger || target.VType() == varEmpty || target.VType() == varNull)
        ::new (static_cast<void*>(&target)) Variant(v); // the old value owns nothing
    else
        target = Variant(v);
    return true;
}

// An argument that is a number tree without an Integer routine (a JScript n - 1, where the
// operands' types are known only when it runs), for the same kind of parameter: Num's value
// put there as Pass would store the Variant GetValue makes of it. False, with nothing changed,
// where Num gives up.
[[gnu::always_inline]] inline bool PassNumber(const TscExpression* e, TscParamItem* p)
{
    const TscOperatorNode* root = e->NumRoot();
    if (!root || p->ReadOnly || p->VarType == fvtFloat)
        return false;
    script_fast::Num n;
    if (!root->Num(n))
        return false;
    Variant& target = p->Value;
    const TVarType t = target.VType();
    if (t == varInteger || t == varInt64 || t == varDouble || t == varEmpty || t == varNull) {
        switch (n.Type) { // made over the old value, which owns nothing
        case varInteger: ::new (static_cast<void*>(&target)) Variant(static_cast<int32_t>(n.L)); break;
        case varInt64: ::new (static_cast<void*>(&target)) Variant(static_cast<long long>(n.L)); break;
        case varDouble: ::new (static_cast<void*>(&target)) Variant(n.D); break;
        default: ::new (static_cast<void*>(&target)) Variant(n.L != 0); break;
        }
    } else {
        target = n.ToVariant();
    }
    return true;
}

} // namespace script_call
