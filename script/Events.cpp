// Events.cpp - see Events.h.
#include "script/Events.h"

#include "script/Messages.h"

#include "platform/classes/Handles.h"

#include <array>

// ---------------------------------------------------------------- common part

TscEventAdapter::TscEventAdapter(TObject* instance, TscProcVariable* handler)
    : TscCustomEvent(instance, handler), FHandlerHandle(HandleOf(handler))
{
}

TscEventAdapter::~TscEventAdapter()
{
    THandleTable::Forget(this); // closures still installed in host objects go quiet now
}

bool TscEventAdapter::HandlerAlive() const
{
    return FHandlerHandle != 0 && IsLiveHandle(FHandlerHandle);
}

bool TscEventAdapter::Run(std::span<const TVarRec> values)
{
    if (!HandlerAlive())
        return false;
    // Parameters the event does not supply start empty, not with the last call's values.
    if (!Handler->Executing)
        for (int i = static_cast<int>(values.size()); i < Handler->ParamCount(); ++i)
            Handler->GetParam(i)->SetValue(Null());
    const uint32_t self = HandleOf(this);
    CallHandler(values);
    // The handler may have freed the object, and with it this adapter.
    return IsLiveHandle(self) && HandlerAlive();
}

TscParamItem* TscEventAdapter::Param(int i) const
{
    if (!HandlerAlive() || i >= Handler->ParamCount())
        return nullptr;
    return Handler->GetParam(i);
}

TVarRec TscEventAdapter::ObjectArg(TObject* obj)
{
    TVarRec r;
    r.VType = vtObject;
    r.VPointer = obj;
    return r;
}

namespace {

int ShiftBits(TShiftState shift)
{
    return static_cast<int>(shift.Bits());
}

} // namespace

// ---------------------------------------------------------------- the adapters

TMethod TscNotifyEvent::GetMethod()
{
    return MakeMethod<TNotifyEvent::Signature, &TscNotifyEvent::DoEvent>();
}

void TscNotifyEvent::DoEvent(TObject* Sender)
{
    const TVarRec values[] = {ObjectArg(Sender)};
    Run(values);
}

TMethod TscMouseEvent::GetMethod()
{
    return MakeMethod<TMouseEvent::Signature, &TscMouseEvent::DoEvent>();
}

void TscMouseEvent::DoEvent(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(static_cast<int>(Button)), TVarRec(ShiftBits(Shift)),
                              TVarRec(X), TVarRec(Y)};
    Run(values);
}

TMethod TscMouseMoveEvent::GetMethod()
{
    return MakeMethod<TMouseMoveEvent::Signature, &TscMouseMoveEvent::DoEvent>();
}

void TscMouseMoveEvent::DoEvent(TObject* Sender, TShiftState Shift, int X, int Y)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(ShiftBits(Shift)), TVarRec(X), TVarRec(Y)};
    Run(values);
}

TMethod TscKeyEvent::GetMethod()
{
    return MakeMethod<TKeyEvent::Signature, &TscKeyEvent::DoEvent>();
}

void TscKeyEvent::DoEvent(TObject* Sender, uint16_t& Key, TShiftState Shift)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(static_cast<int>(Key)), TVarRec(ShiftBits(Shift))};
    if (!Run(values))
        return;
    if (TscParamItem* p = Param(1))
        Key = static_cast<uint16_t>(p->GetValue().AsInt64() & 0xFFFF);
}

TMethod TscKeyPressEvent::GetMethod()
{
    return MakeMethod<TKeyPressEvent::Signature, &TscKeyPressEvent::DoEvent>();
}

void TscKeyPressEvent::DoEvent(TObject* Sender, char& Key)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(Key)};
    if (!Run(values))
        return;
    if (TscParamItem* p = Param(1)) {
        // Empty text delivers character 0, which controls take as "no key".
        const AnsiString text = VarToStr(p->GetValue());
        Key = text.empty() ? '\0' : text[0];
    }
}

TMethod TscCloseEvent::GetMethod()
{
    return MakeMethod<TCloseEvent::Signature, &TscCloseEvent::DoEvent>();
}

void TscCloseEvent::DoEvent(TObject* Sender, TCloseAction& Action)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(static_cast<int>(Action))};
    if (!Run(values))
        return;
    if (TscParamItem* p = Param(1)) {
        const int64_t v = p->GetValue().AsInt64() & 0xFF;
        // Only the four actions exist; any other number would be no action at all.
        if (v > caMinimize)
            throw EScriptError(TscMessageId::SEventValue,
                               Format(scMessage(TscMessageId::SEventValue), {AnsiString("Action")}));
        Action = static_cast<TCloseAction>(v);
    }
}

TMethod TscCloseQueryEvent::GetMethod()
{
    return MakeMethod<TCloseQueryEvent::Signature, &TscCloseQueryEvent::DoEvent>();
}

void TscCloseQueryEvent::DoEvent(TObject* Sender, bool& CanClose)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(CanClose)};
    if (!Run(values))
        return;
    if (TscParamItem* p = Param(1))
        CanClose = p->GetValue().AsBoolean();
}

TMethod TscCanResizeEvent::GetMethod()
{
    return MakeMethod<TCanResizeEvent::Signature, &TscCanResizeEvent::DoEvent>();
}

void TscCanResizeEvent::DoEvent(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)
{
    const TVarRec values[] = {ObjectArg(Sender), TVarRec(NewWidth), TVarRec(NewHeight), TVarRec(Resize)};
    if (!Run(values))
        return;
    // Converted first, stored after: a bad value leaves all three as they were.
    TscParamItem* w = Param(1);
    TscParamItem* h = Param(2);
    TscParamItem* r = Param(3);
    const int width = w ? w->GetValue().AsInteger() : NewWidth;
    const int height = h ? h->GetValue().AsInteger() : NewHeight;
    const bool resize = r ? r->GetValue().AsBoolean() : Resize;
    NewWidth = width;
    NewHeight = height;
    Resize = resize;
}

// ---------------------------------------------------------------- by type name

TscEventClass scFindEventClass(const AnsiString& eventTypeName)
{
    struct Entry {
        const char* Name;
        TscEventClass (*Make)();
    };
    static const std::array<Entry, 8> kAdapters = {{
        {"TNotifyEvent", &scEventClass<TscNotifyEvent>},
        {"TMouseEvent", &scEventClass<TscMouseEvent>},
        {"TMouseMoveEvent", &scEventClass<TscMouseMoveEvent>},
        {"TKeyEvent", &scEventClass<TscKeyEvent>},
        {"TKeyPressEvent", &scEventClass<TscKeyPressEvent>},
        {"TCloseEvent", &scEventClass<TscCloseEvent>},
        {"TCloseQueryEvent", &scEventClass<TscCloseQueryEvent>},
        {"TCanResizeEvent", &scEventClass<TscCanResizeEvent>},
    }};
    for (const Entry& e : kAdapters)
        if (AnsiSameText(e.Name, eventTypeName))
            return e.Make();
    return {};
}
