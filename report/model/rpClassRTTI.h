// rpClassRTTI.h - the report classes as scripts see them.
//
// One registrar (TrpFunctions) adds to the global script unit the report classes with their
// ancestors, the methods and non-published properties scripts may use, the library's
// enumerations and sets, ten constants and eight global functions; everything it adds is
// stamped with it, so its destructor takes exactly that out again. Published properties
// come with the class registration itself.
//
// Objects travel as checked handles: a stale or wrong-class handle given to a method is
// a clear script run-time error, never a dangling pointer. A script may not clear or
// reload a report's objects, nor show the report again, while that report is being built
// (the objects it is running would be freed under it).
#pragma once

#include "platform/classes/TypInfo.h"
#include "platform/rtl/Variant.h"

class TrpFunctions : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpFunctions, TObject)
public:
    TrpFunctions();
    ~TrpFunctions() override;
    Variant ReportCallMethod(TObject* Instance, TClass ClassType, const AnsiString& MethodName, Variant& Params);
    Variant ReportGetProp(TObject* Instance, TClass ClassType, const AnsiString& PropName);
    void ReportSetProp(TObject* Instance, TClass ClassType, const AnsiString& PropName, const Variant& Value);
};

// Registers into scGlobalUnit (once; the script engine must have started) and removes again.
void rpClassRTTIStartup();
void rpClassRTTIShutdown();
