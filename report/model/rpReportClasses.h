// rpReportClasses.h - start-up and shutdown of the report classes.
//
// rpInitReportClasses (after the script engine's start-up) registers every creatable
// report class by name, so templates and form resources can make them, enters the
// dot-matrix objects in the object registry and registers the classes in the global
// script unit. rpDoneReportClasses undoes it, before the script engine's shutdown.
// Both are safe to call more than once.
//
// Design-time editors, component editors and wizards have no use in a program without a
// designer and are not provided; properties carry their type names (TColor, TCursor,
// TrpNotifyEvent ...) for whoever lists them.
#pragma once

#include "platform/classes/TypInfo.h"

#include <vector>

void rpInitReportClasses();
void rpDoneReportClasses();

// The object registry: report object classes a designer would offer.
struct TrpObjectItem {
    TClass ClassRef = nullptr;
    int ButtonImageIndex = -1;
    AnsiString ButtonHint;
    AnsiString CategoryName;
    int Flags = 0;
};
class TrpObjectCollection {
public:
    // An item with the same non-empty class and flags is not added again; a class is also
    // registered by name.
    void RegisterObject1(TClass ClassRef, const AnsiString& ButtonHint, const AnsiString& CategoryName, int Flags,
                         int ImageIndex);
    void Unregister(TClass ClassRef);
    int Count() const { return static_cast<int>(FItems.size()); }
    const TrpObjectItem& GetObjectItem(int Index) const;  // EListError outside

private:
    std::vector<TrpObjectItem> FItems;
};
TrpObjectCollection& rpObjects();
