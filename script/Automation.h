// Automation.h - late-bound member calls on automation objects held in Variants.
//
// A script may keep an automation object in a Variant and use its members with
// ordinary designator syntax. Such members are unknown when the script is
// compiled, so the program builder makes one TscOLEHelper per member name met
// after a Variant-typed step; at run time the designator hands it the object
// (ParentValue) and the argument values (its parameters) and reads or writes it.
// Each use is one call of the object's IVariantDispatch: member number by name,
// then Invoke with the arguments in source order.
//
//   read  x.Name / x.Name(a, b)       -> Invoke(id, 3, [a, b])   result wanted
//   call statement x.Name(a, b)       -> Invoke(id, 1, [a, b])   result dropped
//   x.Name[i] := v                    -> Invoke(id, 4, [i, v])   the value last
//
// Failures: a value that is not a live automation object raises SOleNoObject;
// more than 64 arguments SOleTooManyArgs (before anything is called); an
// unknown member or a failing call raises a general Exception
// "OLE error XXXXXXXX: Name" with the status in 8 hex digits. A server that
// wants a particular status raises EOleError with it; any other exception of
// the server becomes DISP_E_EXCEPTION.
//
// There is no COM here. CreateOleObject asks the factory the program set with
// scSetOleObjectFactory; without one it raises SOleNotAvailable.
#pragma once

#include "script/Items.h"

#include <functional>

// Status codes of late-bound calls.
constexpr uint32_t DISP_E_UNKNOWNNAME = 0x80020006u;
constexpr uint32_t DISP_E_EXCEPTION = 0x80020009u;
constexpr uint32_t DISP_E_BADPARAMCOUNT = 0x8002000Eu;
constexpr uint32_t DISP_E_MEMBERNOTFOUND = 0x80020003u;

// Raised by an automation server to fail a call with a status of its choice.
class EOleError : public Exception {
public:
    EOleError(uint32_t errorCode, AnsiString message) : Exception(std::move(message)), ErrorCode(errorCode) {}
    const char* ClassName() const noexcept override { return "EOleError"; }
    uint32_t ErrorCode;
};

class TscOLEHelper : public TscCustomHelper {
public:
    // The most arguments one late-bound call takes.
    static constexpr int MaxArgs = 64;

    explicit TscOLEHelper(const AnsiString& name);
    // The member's value or the method's result (Flags 3 when NeedResult, else 1).
    Variant GetValue() override;
    // Assigns the property: the parameter values, then value (Flags 4).
    void SetValue(const Variant& value) override;
    // One late-bound call on ParentValue; returns Empty when no result was asked for.
    Variant DispatchInvoke(const Variant& params, int paramCount, uint16_t flags);

private:
    Variant CollectParams(int extra) const;
};

// "OLE error 80020006: Name"
AnsiString scOleErrorText(uint32_t status, const AnsiString& name);

// Creates an automation object from its class name, or nullptr when the
// factory does not know the name.
using TscOleObjectFactory = std::function<IVariantDispatch*(const AnsiString& className)>;
void scSetOleObjectFactory(TscOleObjectFactory factory);
// A dispatch Variant holding a new object of className; SOleNotAvailable when
// no factory is set or it does not know the name.
Variant scCreateOleObject(const AnsiString& className);
