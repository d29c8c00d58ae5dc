// Events.h - the adapters that let a script procedure handle an event of a host object.
//
// A host object can only call a closure of its event's native signature. When
// a script assigns one of its procedures to an event property, the event
// member makes an adapter of the kind the binding named (scEventClass<T>()),
// keeps it in scEventList and installs the adapter's DoEvent as the closure.
// DoEvent turns the native arguments into script values, runs the procedure
// and copies the var parameters back:
//
//   adapter               native type       passed to the script           copied back
//   TscNotifyEvent        TNotifyEvent      Sender                         -
//   TscMouseEvent         TMouseEvent       Sender, Button, Shift, X, Y    -
//   TscMouseMoveEvent     TMouseMoveEvent   Sender, Shift, X, Y            -
//   TscKeyEvent           TKeyEvent         Sender, Key, Shift             Key (low 16 bits)
//   TscKeyPressEvent      TKeyPressEvent    Sender, Key (one character)    Key (first character, #0 if empty)
//   TscCloseEvent         TCloseEvent       Sender, Action                 Action (caNone..caMinimize)
//   TscCloseQueryEvent    TCloseQueryEvent  Sender, CanClose               CanClose
//   TscCanResizeEvent     TCanResizeEvent   Sender, NewWidth, NewHeight,   all three
//                                           Resize
//
// Sender is an object handle, Button and Action ordinals, Shift the bit set
// (bit 0 ssShift .. bit 6 ssDouble).
//
// Safety: the closure holds the adapter by handle only, and the adapter holds its
// procedure by handle. Firing an event after its adapter was freed (the object's
// events released, the engine shut down) or after the script that owned the
// procedure was freed does nothing and leaves the var arguments as they were.
// A handler with fewer parameters than the event supplies gets what fits and
// copies back only what it has; extra parameters are set to Null.
// An exception in the handler leaves DoEvent before anything is copied back.
#pragma once

#include "script/GlobalUnit.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"

#include <memory>

// What a plain adapter puts around a dispatch: nothing.
struct TscNoDispatchScope {};

// Common part of the eight adapters.
class TscEventAdapter : public TscCustomEvent {
public:
    TscEventAdapter(TObject* instance, TscProcVariable* handler);
    ~TscEventAdapter() override;

protected:
    // The closure around doEvent, with a Scope object alive around each call. It
    // knows this adapter by handle alone: it does nothing once the adapter is gone,
    // and is small enough to need no memory of its own.
    template <class Sig, auto doEvent, class Scope = TscNoDispatchScope>
    TMethod MakeMethod()
    {
        return MakeMethodOf<Sig, doEvent, Scope>(doEvent);
    }
    // Whether the handler's script still exists.
    bool HandlerAlive() const;
    // Runs the handler with values (CallHandler). False when the handler is
    // gone, or when this adapter itself was freed while the handler ran: then
    // nothing may be copied back and `this` must not be touched again.
    bool Run(std::span<const TVarRec> values);
    // The handler's parameter i (counted from 0) when it has one and is alive.
    TscParamItem* Param(int i) const;
    static TVarRec ObjectArg(TObject* obj);

private:
    template <class Sig, auto doEvent, class Scope, class Self, class... A>
    TMethod MakeMethodOf(void (Self::*)(A...))
    {
        const uint32_t self = HandleOf(this);
        return TMethod::Make<Sig>(this, MemberCode(doEvent), [self](A... args) {
            [[maybe_unused]] Scope scope;
            if (IsLiveHandle(self))
                (static_cast<Self*>(ResolveHandle(self))->*doEvent)(std::forward<A>(args)...);
        });
    }

    uint32_t FHandlerHandle;
};

class TscNotifyEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender);
};

class TscMouseEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

class TscMouseMoveEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, TShiftState Shift, int X, int Y);
};

class TscKeyEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, uint16_t& Key, TShiftState Shift);
};

class TscKeyPressEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, char& Key);
};

class TscCloseEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, TCloseAction& Action);
};

class TscCloseQueryEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, bool& CanClose);
};

class TscCanResizeEvent : public TscEventAdapter {
public:
    using TscEventAdapter::TscEventAdapter;
    TMethod GetMethod() override;
    void DoEvent(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
};

// The factory the bindings name for an event: AddEvent("OnClick", scEventClass<TscNotifyEvent>()).
template <class Adapter>
TscEventClass scEventClass()
{
    return [](TObject* instance, TscProcVariable* handler) -> std::unique_ptr<TscCustomEvent> {
        return std::make_unique<Adapter>(instance, handler);
    };
}

// The adapter factory for a native event type name ("TNotifyEvent", "TCloseEvent" ...),
// compared without regard to case; an empty function when there is none.
TscEventClass scFindEventClass(const AnsiString& eventTypeName);
