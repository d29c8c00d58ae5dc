// VariantImpl.h - the inside of Variant, shared by Variant*.cpp. Internal to platform/rtl.
#pragma once

#include "platform/rtl/Variant.h"

#include <memory>
#include <vector>

namespace detail {

struct VarStrRep {
    int Refs = 1;
    AnsiString Text;
    // Records come from a short free list of the thread: a dataset reopened for every
    // point select frees and makes the same few strings again.
    static void* operator new(size_t size);
    static void operator delete(void* p) noexcept;
};

// Elements are stored with the first index varying fastest, so changing the last bound
// keeps every remaining element in place.
struct VarArrayRep {
    int Refs = 1;
    TVarType ElemType = varVariant;
    int Dims = 0;
    int Low[3] = {};
    int High[3] = {};
    std::vector<Variant> Items;
};

}  // namespace detail

class VariantAccess {
public:
    static detail::VarStrRep* Str(const Variant& v) { return v.FData.VString; }
    static detail::VarArrayRep* Arr(const Variant& v) { return v.FData.VArray; }
    static const Variant::Data& Data(const Variant& v) { return v.FData; }
    static Variant MakeArray(detail::VarArrayRep* rep);
    // Makes the array unique (copy on write) and returns it.
    static detail::VarArrayRep* MutableArr(Variant& v);
};

namespace rtl_variant {
[[noreturn]] void CastError(TVarType from, TVarType to);
[[noreturn]] void OverflowError(TVarType from, TVarType to);
[[noreturn]] void InvalidOp();
bool IsIntType(TVarType t);
}  // namespace rtl_variant
