// rpRes.h - the report library's user-interface texts, by key.
//
// One process-wide dictionary (rpResources()) holds every text the library shows: single
// messages ("clErrors") and text blocks named after a window class, whose lines set the
// window's captions and hints ("PrintB.Caption=Печать"). frAddClassesRes() fills it with the
// Russian texts at start-up; a key with no text comes back as the key itself.
//
// Not here: the button and object image strips (they arrive with the bitmap classes).
#pragma once

#include "platform/classes/Classes.h"

class TrpResources : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpResources, TObject)
public:
    TrpResources();
    // Replaces the text of an existing key, or adds the key.
    void Add(const AnsiString& Ref, const AnsiString& Str);
    // The text of the key (ignoring case), or the key itself.
    AnsiString Get(const AnsiString& Ref) const;
    bool Has(const AnsiString& Ref) const;
    void Clear();
    int Count() const { return FValues.Count(); }
    // Sets the captions and hints of a window (or any component) from the block named
    // after its class: "Component.Property=text" or "Property=text" lines. Lines naming
    // no component, or a property that is not a string, are skipped.
    void LocalizeForm(TComponent* Form) const;

private:
    TStringList FNames;   // sorted keys, object = index into FValues
    TStringList FValues;
};

// The one dictionary, created on first use.
TrpResources& rpResources();
// Adds the library's 46 Russian texts (six window blocks, forty messages), in order.
void frAddClassesRes();
