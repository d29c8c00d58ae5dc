// rpVariables.h - the report's named variables, grouped in categories.
//
// The list is flat but grouped: an entry whose name begins with a blank is a category
// heading (the category's name is the rest), and the variables after it, up to the next
// heading or an entry with an empty name, belong to it. A string value is itself an
// expression, so a literal text is written in quotes. The list travels in form resources,
// inside the report XML and in a file of its own (root "variables", one "item" each).
#pragma once

#include "report/model/rpXML.h"

#include "platform/classes/Classes.h"
#include "platform/rtl/Variant.h"

// Moves on whenever a report variable is made, freed, renamed or moved in its list, so
// what a name was found to be can be remembered until then.
namespace rp_detail {
extern uint64_t gVariableNamesStamp;
}
inline uint64_t rpVariableNamesStamp() { return rp_detail::gVariableNamesStamp; }

class TrpVariable : public TCollectionItem {
    SKLAD_CLASS(TrpVariable, TCollectionItem)
public:
    explicit TrpVariable(TCollection* Collection);
    ~TrpVariable() override;
    const AnsiString& GetName() const { return FName; }
    void SetName(const AnsiString& Value);
    const Variant& GetValue() const { return FValue; }
    void SetValue(const Variant& Value) { FValue = Value; }
    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() const override { return FName; }

private:
    AnsiString FName;
    Variant FValue = Null();
};

class TrpVariables : public TCollection {
    SKLAD_CLASS_NOPUBLISH(TrpVariables, TCollection)
public:
    TrpVariables() : TCollection(TrpVariable::StaticClass()) {}
    TrpVariable* Add() { return static_cast<TrpVariable*>(TCollection::Add()); }
    TrpVariable* Insert(int Index) { return static_cast<TrpVariable*>(TCollection::Insert(Index)); }
    TrpVariable* Items(int Index) const { return static_cast<TrpVariable*>(TCollection::Items(Index)); }
    int IndexOf(std::string_view Name) const;
    // The value of the entry of that name (Null when none); writing appends a missing one.
    Variant GetVariable(std::string_view Name) const;
    void SetVariable(std::string_view Name, const Variant& Value);
    // Adds after the last variable of the category; nothing when there is no such heading.
    void AddVariable(std::string_view Category, const AnsiString& Name, const Variant& Value);
    void DeleteVariable(std::string_view Name);
    void DeleteCategory(std::string_view Name);
    void GetCategoriesList(TStrings* List, bool ClearList = true) const;
    void GetVariablesList(std::string_view Category, TStrings* List) const;

    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void LoadFromXMLItem(TrpXMLItem* Item);
    void SaveToXMLItem(TrpXMLItem* Item);
    void Update(TCollectionItem* Item) override;  // an item added, removed or moved

private:
    int HeadingIndex(std::string_view Category) const;
    // Index of the next heading or empty name after `from`, or Count().
    int CategoryEnd(int from) const;
};
