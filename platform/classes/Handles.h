// Handles.h - checked object handles for scripts and Variants.
//
// Objects never leave C++ as raw pointers. The first time an object is handed to a script
// or stored in a Variant it gets a 32-bit handle from one process-wide table. Handles are
// handed out in rising order from 1 up to 0x7FFFFFFF and are never reused while the process
// runs, so a handle kept after its object died can never name another object. 0 is nil.
// Handles are positive, so in a Variant they are plain Integer values.
//
// Destroying an object (TObject's destructor) removes its handle from the table; resolving
// it afterwards raises EInvalidHandle instead of touching freed memory. Resolving checks the
// class too: a handle of a TStringList given where a TComponent is expected is an error.
// The table counts the handles it has forgotten (HandleDeaths): a caller that resolved a
// handle once may keep the object while the count stays the same, since no object with a
// handle has died meanwhile (a script calling one object in a loop resolves it once).
//
// Invariant: the table maps exactly the live objects that were ever given a handle.
// Not here: ownership. Who frees what is TComponent's business; this table only forgets.
// Single-threaded, like the rest of the program.
#pragma once

#include "platform/classes/TypInfo.h"

#include <cstdint>

// The handle of an object, assigning one on first use; 0 for nullptr. Raises
// EOutOfResources if the process ever runs out of handles.
uint32_t HandleOf(const TObject* obj);
// The handle an object has already, 0 when it has none yet (none is assigned).
uint32_t ExistingHandleOf(const TObject* obj);
// The object behind a handle: nullptr for 0; EInvalidHandle for a handle that was never
// given out or whose object was destroyed.
TObject* ResolveHandle(uint32_t handle);
// The object behind a handle, nullptr for 0 and for a handle with no live object: the
// lookup of ResolveHandle without the exception, for callers that raise their own error.
TObject* LiveObjectOf(uint32_t handle) noexcept;
// Handles forgotten so far (objects with a handle destroyed, or Forget): while it stays the
// same, every object resolved before is still alive under the same handle.
namespace handles_detail {
inline uint64_t gDeaths = 0;
}
inline uint64_t HandleDeaths() noexcept { return handles_detail::gDeaths; }
// As above, and the object must be of `expected` or a descendant (EInvalidHandle otherwise).
TObject* ResolveHandle(uint32_t handle, TClass expected);
template <class T>
T* ResolveHandleAs(uint32_t handle)
{
    return static_cast<T*>(ResolveHandle(handle, T::StaticClass()));
}
// True when the handle names a live object (0 counts as not alive).
bool IsLiveHandle(uint32_t handle);
// Number of live objects with a handle (for tests and leak checks).
size_t LiveHandleCount();

// Objects in Variants: an Integer Variant holding the handle (0 for nil).
Variant ObjectToVariant(const TObject* obj);
// Null, Empty and 0 give nullptr; anything else must be a live handle of `expected`
// (when given); EInvalidHandle otherwise.
TObject* VariantToObject(const Variant& value, TClass expected = nullptr);
template <class T>
T* VariantToObjectAs(const Variant& value)
{
    return static_cast<T*>(VariantToObject(value, T::StaticClass()));
}

// Raw containers (a TList, the objects of a TStrings) hold bare pointers that can outlive
// their objects. TraceAddress(obj) follows obj's address from then on: DeadHandleAt(p)
// gives, for a traced address where no object lives now, the handle of the last one that
// lived there (dead), so a pointer a container still holds is answered without reading
// freed memory; 0 while an object lives there (born there since, perhaps: the pointer
// names it now) and for an address never traced. An object whose handle was taken away
// (Forget) counts as gone. Safe from any thread (objects are born on painting threads too).
void TraceAddress(const TObject* obj);
uint32_t DeadHandleAt(const void* address);
void ClearAddressTraces();
size_t AddressTraceCount();

// The table itself; HandleOf and TObject's destructor go through it.
class THandleTable {
public:
    static uint32_t Assign(const TObject* obj);
    static uint32_t Existing(const TObject* obj) { return obj->FHandle; }
    static void Forget(const TObject* obj) noexcept;
    // TObject's constructor and destructor: an object born or dying at a traced address.
    static void Born(const TObject* obj) noexcept;
    static void Died(const TObject* obj, uint32_t handle) noexcept;
};
