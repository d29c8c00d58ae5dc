// Automation.cpp - see Automation.h.
#include "script/Automation.h"

#include "script/Messages.h"

#include "platform/rtl/SysUtils.h"

#include <vector>

namespace {

TscOleObjectFactory gOleFactory;

} // namespace

AnsiString scOleErrorText(uint32_t status, const AnsiString& name)
{
    return "OLE error " + IntToHex(status, 8) + ": " + name;
}

TscOLEHelper::TscOLEHelper(const AnsiString& name) : TscCustomHelper(name, fvtVariant, AnsiString())
{
}

Variant TscOLEHelper::CollectParams(int extra) const
{
    const int count = ParamCount();
    if (count + extra > MaxArgs)
        scRaise(TscMessageId::SOleTooManyArgs, Name);
    if (count + extra == 0)
        return Variant();
    Variant params = VarArrayCreate({0, count + extra - 1}, varVariant);
    for (int i = 0; i < count; ++i)
        params.Elem(i) = GetParam(i)->GetValue();
    return params;
}

Variant TscOLEHelper::GetValue()
{
    const Variant params = CollectParams(0);
    return DispatchInvoke(params, ParamCount(), DISPATCH_METHOD);
}

void TscOLEHelper::SetValue(const Variant& value)
{
    Variant params = CollectParams(1);
    params.Elem(ParamCount()) = value;
    DispatchInvoke(params, ParamCount() + 1, DISPATCH_PROPERTYPUT);
}

Variant TscOLEHelper::DispatchInvoke(const Variant& params, int paramCount, uint16_t flags)
{
    if (paramCount < 0 || paramCount > MaxArgs)
        scRaise(TscMessageId::SOleTooManyArgs, Name);
    if (::VarType(ParentValue) != varDispatch)
        scRaise(TscMessageId::SOleNoObject, Name);
    IVariantDispatch* disp = ParentValue.AsDispatch();
    if (!disp)
        scRaise(TscMessageId::SOleNoObject, Name);
    // The server may drop its last other reference during the call.
    const Variant keep = ParentValue;
    // Nor the object nor its arguments stay held once the call is over:
    // v := Null must release the server.
    struct Release {
        TscOLEHelper& helper;
        ~Release()
        {
            helper.ParentValue = Variant();
            for (int i = 0; i < helper.ParamCount(); ++i)
                helper.GetParam(i)->Value = Variant();
        }
    } release{*this};

    // Arguments in source order; a put carries the new value last, which is
    // what the reserved "value being put" argument names.
    std::vector<Variant> args;
    args.reserve(static_cast<size_t>(paramCount));
    if (paramCount > 0) {
        if (!VarIsArray(params))
            scRaise(TscMessageId::SOleNoObject, Name);
        const int low = VarArrayLowBound(params, 1);
        if (VarArrayHighBound(params, 1) - low + 1 < paramCount)
            throw Exception(scOleErrorText(DISP_E_BADPARAMCOUNT, Name));
        for (int i = 0; i < paramCount; ++i)
            args.push_back(VarArrayGet(params, {low + i}));
    }

    const bool wantResult = NeedResult && flags != DISPATCH_PROPERTYPUT;
    if (wantResult && flags == DISPATCH_METHOD)
        flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

    const int32_t id = disp->GetIDOfName(Name);
    if (id == DISPID_UNKNOWN)
        throw Exception(scOleErrorText(DISP_E_UNKNOWNNAME, Name));
    Variant result;
    try {
        result = disp->Invoke(id, flags, args);
    } catch (const EOleError& e) {
        throw Exception(scOleErrorText(e.ErrorCode, Name));
    } catch (const std::exception&) {
        throw Exception(scOleErrorText(DISP_E_EXCEPTION, Name));
    }
    if (!wantResult)
        return Variant();
    // A text the server gives is a script string like any other: refused past the cap.
    script_detail::CheckHostText(result);
    return result;
}

void scSetOleObjectFactory(TscOleObjectFactory factory)
{
    gOleFactory = std::move(factory);
}

Variant scCreateOleObject(const AnsiString& className)
{
    IVariantDispatch* obj = gOleFactory ? gOleFactory(className) : nullptr;
    if (!obj)
        scRaise(TscMessageId::SOleNotAvailable, className);
    return Variant(obj);
}
