// BindingsCommon.h - what the four binding units share: argument conversion,
// checked objects, the rules for freeing, and the registrar base.
//
// Arguments: a handler receives the declared parameters as a zero-based Variant
// array. Object arguments are resolved with the class the declaration names
// (TStream, TPersistent, TWinControl ...): nil is refused unless the parameter
// may be nil, and a stale or forged handle or one of another class raises the
// engine's own object errors. Counts and indexes are checked before anything
// is read or reserved.
//
// Freeing (TObject.Free), where the platform would crash and we refuse or wait:
//   - an object a script made, a component with an owner (it leaves the owner),
//     a collection item and an XML item inside a tree may be freed;
//   - anything else belongs to someone else (a control's Font, a memo's Lines,
//     a document's Root, the Application object) and freeing it is a script
//     error (kNotOwned);
//   - a control or form freed while a script handler of an event is running
//     is taken away at once (its handle goes stale, it leaves its parent and
//     owner, a form hides) and destroyed later from the event loop, once the
//     code that fired the event has returned.
// Objects a script made and never freed (and that nothing owns now) are
// destroyed at ScriptBindingsShutdown, so a script's forms, lists and streams
// never outlive the bindings. Call it before the application object goes.
//
// Raw containers (TList, TStrings.Objects) hold plain pointers. An object read
// back from one is returned by the handle it had when it was stored, so an
// object freed since then reads as a stale handle instead of freed memory,
// until another object is born at its address: the pointer then names that one.
#pragma once

#include "script/Events.h"
#include "script/GlobalUnit.h"
#include "script/Items.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"

#include <memory>

namespace script_bindings {

// Messages of the bindings (CP1251 once compiled).
inline constexpr const char* kNotOwned = "Объект %s принадлежит другому объекту и не может быть уничтожен сценарием";
inline constexpr const char* kBadCount = "Недопустимое число байтов: %s";
inline constexpr const char* kStreamNotOpen = "Файловый поток не открыт";

// ---------------------------------------------------------------- arguments

Variant Arg(const Variant& params, int i);
void SetArg(Variant& params, int i, const Variant& value);
int IntArg(const Variant& params, int i);
int64_t Int64Arg(const Variant& params, int i);
bool BoolArg(const Variant& params, int i);
AnsiString StrArg(const Variant& params, int i);
// A set argument: the bit mask, or a set constructor's array of member values
// (each already a bit value; a range's gap counts nothing).
int64_t SetArg(const Variant& params, int i);

// The object argument i, of class cls or a descendant; `what` names it in errors.
TObject* ObjArg(const Variant& params, int i, TClass cls, const AnsiString& what, bool allowNil = false);
template <class T>
T* ObjArgAs(const Variant& params, int i, const AnsiString& what, bool allowNil = false)
{
    return static_cast<T*>(ObjArg(params, i, T::StaticClass(), what, allowNil));
}
// The same for a property value.
TObject* ObjValue(const Variant& value, TClass cls, const AnsiString& what, bool allowNil = false);

// An object as a script value: 0 for nil. RememberStored/StoredObject are the
// pair for raw containers (see the file header).
Variant ObjOut(const TObject* obj);
void RememberStored(const TObject* obj);
Variant StoredObject(const TObject* obj);

// ---------------------------------------------------------------- lifetime

// Called by every constructor member on the instance it finished: true when the
// object is new (the engine just made it), which then counts as the script's
// own; false when Create was called on an object that already existed.
bool TakeIfFresh(TObject* obj);
void MarkScriptMade(TObject* obj);
bool IsScriptMade(const TObject* obj);
// TObject.Free with the rules above.
void FreeObject(TObject* obj);
// Destroys what waits for the event loop, and (at shutdown) what scripts made
// and left without an owner.
void FlushPendingFrees();
void FreeScriptOrphans();

// Number of script event handlers running now (through the adapters below).
int EventDepth();

// The adapter factory the forms unit names for an event: the engine's adapter,
// whose closure also counts the dispatch (EventDepth) so freeing can wait.
template <class Adapter, class Sig>
class TCountingAdapter;

class TDispatchScope {
public:
    TDispatchScope();
    ~TDispatchScope();
    TDispatchScope(const TDispatchScope&) = delete;
    TDispatchScope& operator=(const TDispatchScope&) = delete;
};

template <class Adapter, class... A>
class TCountingAdapter<Adapter, void(A...)> : public Adapter {
public:
    using Adapter::Adapter;
    TMethod GetMethod() override
    {
        return this->template MakeMethod<void(A...), &Adapter::DoEvent, TDispatchScope>();
    }
};

template <class Adapter, class Event>
TscEventClass CountingEventClass()
{
    return scEventClass<TCountingAdapter<Adapter, typename Event::Signature>>();
}

// ---------------------------------------------------------------- registrars

// Base of the four registrars: the constructor of a unit registers with
// scGlobalUnit()->RegisteringOwner set to the registrar; the destructor takes
// the registrar's items out again while the global unit exists.
class TBindingRegistrar : public TObject {
public:
    TBindingRegistrar() = default;
    ~TBindingRegistrar() override;
    TBindingRegistrar(const TBindingRegistrar&) = delete;
    TBindingRegistrar& operator=(const TBindingRegistrar&) = delete;

protected:
    // Sets the owner mark for the registrations made inside the scope.
    class TRegistering {
    public:
        TRegistering(TscScript& unit, const TObject* owner) : FUnit(unit) { FUnit.RegisteringOwner = owner; }
        ~TRegistering() { FUnit.RegisteringOwner = nullptr; }

    private:
        TscScript& FUnit;
    };
    // A class with its ancestor; raises when the name is taken (each class is
    // registered by one unit only, so that is our own mistake).
    static TscClassVariable& Class(TscScript& unit, TClass cls, const AnsiString& ancestor);
};

std::unique_ptr<TBindingRegistrar> CreateClassesRegistrar();
std::unique_ptr<TBindingRegistrar> CreateDialogsRegistrar();
std::unique_ptr<TBindingRegistrar> CreateGraphicsRegistrar();
std::unique_ptr<TBindingRegistrar> CreateFormsRegistrar();

} // namespace script_bindings
