// VariantImpl.h - the inside of Variant, shared by Variant*.cpp. Internal to platform/rtl.
#pragma once

#include "platform/rtl/Variant.h"

#include <memory>
#include <vector>

namespace detail {

// String records are made by NewStrRep and given back by FreeStrRep: a record freed goes
// to a short free list of the thread with its text's buffer, so a text made again (a
// dataset's cells read row after row, a dataset reopened for every point select) is written
// into a buffer that is already there, without the heap.
VarStrRep* NewStrRep();  // Refs 1, Text empty (its buffer may be a reused one)

// VarArrayRep, an array's elements, is in Variant.h (VarArrayListElems reads it inline).

}  // namespace detail

class VariantAccess {
public:
    static detail::VarStrRep* Str(const Variant& v) { return v.FData.VString; }
    static detail::VarArrayRep* Arr(const Variant& v) { return v.FData.VArray; }
    static const Variant::Data& Data(const Variant& v) { return v.FData; }
    static Variant MakeArray(detail::VarArrayRep* rep);
    static Variant MakeStr(detail::VarStrRep* rep)
    {
        Variant v;
        v.FType = varString;
        v.FData.VString = rep;
        return v;
    }
    // Makes the array unique (copy on write) and returns it.
    static detail::VarArrayRep* MutableArr(Variant& v);
};

namespace rtl_variant {
[[noreturn]] void CastError(TVarType from, TVarType to);
[[noreturn]] void OverflowError(TVarType from, TVarType to);
[[noreturn]] void InvalidOp();
bool IsIntType(TVarType t);
}  // namespace rtl_variant
