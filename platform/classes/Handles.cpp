// Handles.cpp - the process-wide handle table.
#include "platform/classes/Handles.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/FlatMap.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <atomic>
#include <mutex>

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

// Traced addresses -> the handle of the last object there, with kAlive while one lives
// there (see TraceAddress).
constexpr uint32_t kAlive = 0x80000000u;  // handles stay below it

struct Traces {
    std::mutex Lock;
    TFlatMap<const void*, uint32_t> ByAddress;
    std::atomic<size_t> Count{0};  // read without the lock by every constructor
};

Traces& Trc()
{
    static Traces t;
    return t;
}

}  // namespace

void TraceAddress(const TObject* obj)
{
    if (!obj)
        return;
    const uint32_t h = HandleOf(obj);
    Traces& t = Trc();
    std::lock_guard<std::mutex> guard(t.Lock);
    t.ByAddress[obj] = h | kAlive;
    t.Count.store(t.ByAddress.Size(), std::memory_order_relaxed);
}

uint32_t DeadHandleAt(const void* address)
{
    Traces& t = Trc();
    if (!address || t.Count.load(std::memory_order_relaxed) == 0)
        return 0;
    std::lock_guard<std::mutex> guard(t.Lock);
    const uint32_t* v = t.ByAddress.Find(address);
    return v && !(*v & kAlive) ? *v : 0;
}

void ClearAddressTraces()
{
    Traces& t = Trc();
    std::lock_guard<std::mutex> guard(t.Lock);
    t.ByAddress.Clear();
    t.Count.store(0, std::memory_order_relaxed);
}

size_t AddressTraceCount()
{
    return Trc().Count.load(std::memory_order_relaxed);
}

void THandleTable::Born(const TObject* obj) noexcept
{
    Traces& t = Trc();
    if (t.Count.load(std::memory_order_relaxed) == 0)
        return;
    std::lock_guard<std::mutex> guard(t.Lock);
    if (uint32_t* v = t.ByAddress.Find(obj))
        *v |= kAlive;
}

void THandleTable::Died(const TObject* obj, uint32_t handle) noexcept
{
    Traces& t = Trc();
    if (t.Count.load(std::memory_order_relaxed) == 0)
        return;
    std::lock_guard<std::mutex> guard(t.Lock);
    if (uint32_t* v = t.ByAddress.Find(obj))
        *v = handle ? handle : (*v & ~kAlive);
}

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
        ++handles_detail::gDeaths;
        Tab().Live.Erase(obj->FHandle);
        Died(obj, obj->FHandle);
        obj->FHandle = 0;
    }
}

uint32_t HandleOf(const TObject* obj) { return obj ? THandleTable::Assign(obj) : 0; }
uint32_t ExistingHandleOf(const TObject* obj) { return obj ? THandleTable::Existing(obj) : 0; }

TObject* LiveObjectOf(uint32_t handle) noexcept
{
    TObject* const* obj = Tab().Live.Find(handle);
    return obj ? *obj : nullptr;
}

TObject* ResolveHandle(uint32_t handle)
{
    if (handle == 0)
        return nullptr;
    TObject* obj = LiveObjectOf(handle);
    if (!obj)
        Stale(handle);
    return obj;
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
