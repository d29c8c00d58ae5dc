// Handles.cpp - the process-wide handle table.
#include "platform/classes/Handles.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/FlatMap.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

namespace {

constexpr uint32_t kLastHandle = 0x7FFFFFFFu;

struct Table {
    TFlatMap<uint32_t, TObject*> Live; // one flat array: no heap node per handle
    uint32_t Next = 1;
};

Table& Tab()
{
    static Table t;
    return t;
}

[[noreturn]] void Stale(uint32_t h)
{
    throw EInvalidHandle(Format(msg::kStaleHandle, {UIntToStr(h)}));
}

}  // namespace

uint32_t THandleTable::Assign(const TObject* obj)
{
    if (obj->FHandle)
        return obj->FHandle;
    Table& t = Tab();
    if (t.Next > kLastHandle)
        throw EOutOfResources(msg::kOutOfHandles);
    const uint32_t h = t.Next++;
    t.Live[h] = const_cast<TObject*>(obj);
    obj->FHandle = h;
    return h;
}

void THandleTable::Forget(const TObject* obj) noexcept
{
    if (obj->FHandle) {
        Tab().Live.Erase(obj->FHandle);
        obj->FHandle = 0;
    }
}

uint32_t HandleOf(const TObject* obj) { return obj ? THandleTable::Assign(obj) : 0; }
uint32_t ExistingHandleOf(const TObject* obj) { return obj ? THandleTable::Existing(obj) : 0; }

TObject* ResolveHandle(uint32_t handle)
{
    if (handle == 0)
        return nullptr;
    const Table& t = Tab();
    TObject* const* obj = t.Live.Find(handle);
    if (!obj)
        Stale(handle);
    return *obj;
}

TObject* ResolveHandle(uint32_t handle, TClass expected)
{
    TObject* obj = ResolveHandle(handle);
    if (obj && expected && !obj->InheritsFrom(expected))
        throw EInvalidHandle(Format(msg::kWrongClassHandle, {UIntToStr(handle), obj->ClassName(), expected->ClassName()}));
    return obj;
}

bool IsLiveHandle(uint32_t handle) { return handle != 0 && Tab().Live.Contains(handle); }

size_t LiveHandleCount() { return Tab().Live.Size(); }

Variant ObjectToVariant(const TObject* obj) { return Variant(static_cast<int>(HandleOf(obj))); }

TObject* VariantToObject(const Variant& value, TClass expected)
{
    if (value.IsNull() || value.IsEmpty())
        return nullptr;
    int64_t h = 0;
    switch (value.VType()) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
        h = value.AsInt64();
        break;
    default:
        throw EInvalidHandle(Format(msg::kNotAHandle, {VarTypeAsText(value.VType())}));
    }
    if (h < 0 || h > static_cast<int64_t>(kLastHandle))
        throw EInvalidHandle(Format(msg::kStaleHandle, {IntToStr(h)}));
    return ResolveHandle(static_cast<uint32_t>(h), expected);
}
