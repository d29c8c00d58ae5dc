// NumberStore.h - numbers put into a variable's value in place, shared by the statements
// (Statements.cpp) and the compact call path (CompactCall.cpp).
#pragma once

#include "script/Expression.h"

#include <climits>
#include <new>

namespace script_store {

// Puts a number where v's value was: the old value goes as an assignment would let it go
// (a number owns nothing, so over one the new value is simply made), and the new one is made
// in place, with no temporary Variant to copy through.
template <class T>
[[gnu::always_inline]] inline void PutNumber(Variant& v, T x)
{
    const TVarType t = v.VType();
    if (t != varInteger && t != varInt64 && t != varDouble && t != varEmpty) [[unlikely]]
        v.~Variant();
    ::new (static_cast<void*>(&v)) Variant(x);
}

// PutNumber where the old value is most often a number itself (a routine's Result between
// calls), which owns nothing to let go: the new one is made over it.
template <class T>
[[gnu::always_inline]] inline void PutOverNumber(Variant& v, T x)
{
    const TVarType t = v.VType();
    if (t == varInteger || t == varInt64 || t == varEmpty || t == varNull)
        ::new (static_cast<void*>(&v)) Variant(x);
    else
        PutNumber(v, x);
}

// What op's Join gives for two integers (Integer or Int64), made here without the call and
// put straight into target, where the old value is let go as an assignment lets it go; false,
// with target unchanged, for anything else, or an Int64 overflow, which Join then takes.
[[gnu::always_inline]] inline bool JoinIntegersInto(const TscOperatorNode& op, const Variant& a, const Variant& b,
                                                    Variant& target)
{
    const TVarType ta = a.VType(), tb = b.VType();
    if (op.StrCat)
        return false;
    if (op.BothInteger) {
        if (ta != varInteger || tb != varInteger)
            return false;
        const uint32_t sum = static_cast<uint32_t>(a.RawInteger()) + static_cast<uint32_t>(b.RawInteger());
        PutOverNumber(target, static_cast<int32_t>(sum)); // wraps as Join's does
        return true;
    }
    if ((ta != varInteger && ta != varInt64) || (tb != varInteger && tb != varInt64))
        return false;
    int64_t v;
    if (__builtin_add_overflow(script_fast::AsInt(a), script_fast::AsInt(b), &v))
        return false;
    // As TryIntArith types it: Int64 when an operand is one or the sum leaves 32 bits.
    if (ta == varInt64 || tb == varInt64 || v < INT32_MIN || v > INT32_MAX)
        PutOverNumber(target, static_cast<long long>(v));
    else
        PutOverNumber(target, static_cast<int32_t>(v));
    return true;
}

} // namespace script_store
