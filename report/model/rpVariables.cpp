// rpVariables.cpp - report variables.
#include "report/model/rpVariables.h"

#include "report/model/rpConsts.h"
#include "report/model/rpXMLSerializer.h"

#include "platform/rtl/SysUtils.h"

uint64_t rp_detail::gVariableNamesStamp = 0;
using rp_detail::gVariableNamesStamp;

SKLAD_DEFINE_CLASS(TrpVariable)

TrpVariable::TrpVariable(TCollection* Collection) : TCollectionItem(Collection) { ++gVariableNamesStamp; }

TrpVariable::~TrpVariable() { ++gVariableNamesStamp; }

void TrpVariable::SetName(const AnsiString& Value)
{
    FName = Value;
    ++gVariableNamesStamp;
}

void TrpVariable::Publish(TPropertyTable& t)
{
    t.Prop("Name", &TrpVariable::GetName, &TrpVariable::SetName);
    t.Prop("Value", &TrpVariable::GetValue, &TrpVariable::SetValue);
}

void TrpVariable::Assign(TPersistent* Source)
{
    if (auto* v = dynamic_cast<TrpVariable*>(Source)) {
        FName = v->FName;
        FValue = v->FValue;
        ++gVariableNamesStamp;
        return;
    }
    TCollectionItem::Assign(Source);
}

SKLAD_DEFINE_CLASS(TrpVariables)

void TrpVariables::Update(TCollectionItem*) { ++gVariableNamesStamp; }

int TrpVariables::IndexOf(std::string_view Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->GetName(), Name))
            return i;
    return -1;
}

Variant TrpVariables::GetVariable(std::string_view Name) const
{
    const int i = IndexOf(Name);
    return i < 0 ? Null() : Items(i)->GetValue();
}

void TrpVariables::SetVariable(std::string_view Name, const Variant& Value)
{
    const int i = IndexOf(Name);
    TrpVariable* v = i < 0 ? Add() : Items(i);
    if (i < 0)
        v->SetName(AnsiString(Name));
    v->SetValue(Value);
}

int TrpVariables::HeadingIndex(std::string_view Category) const { return IndexOf(" " + AnsiString(Category)); }

int TrpVariables::CategoryEnd(int from) const
{
    int i = from;
    while (i < Count()) {
        const AnsiString& n = Items(i)->GetName();
        if (n.empty() || n[0] == ' ')
            break;
        ++i;
    }
    return i;
}

void TrpVariables::AddVariable(std::string_view Category, const AnsiString& Name, const Variant& Value)
{
    const int h = HeadingIndex(Category);
    if (h < 0)
        return;
    const int end = CategoryEnd(h + 1);
    TrpVariable* v = end < Count() ? Insert(end) : Add();
    v->SetName(Name);
    v->SetValue(Value);
}

void TrpVariables::DeleteVariable(std::string_view Name)
{
    const int i = IndexOf(Name);
    if (i >= 0)
        Delete(i);
}

void TrpVariables::DeleteCategory(std::string_view Name)
{
    const int h = HeadingIndex(Name);
    if (h < 0)
        return;
    const int end = CategoryEnd(h + 1);
    for (int i = end - 1; i >= h; --i)
        Delete(i);
}

void TrpVariables::GetCategoriesList(TStrings* List, bool ClearList) const
{
    if (ClearList)
        List->Clear();
    for (int i = 0; i < Count(); ++i) {
        const AnsiString& n = Items(i)->GetName();
        if (!n.empty() && n[0] == ' ')
            List->Add(n.substr(1, 255));
    }
}

void TrpVariables::GetVariablesList(std::string_view Category, TStrings* List) const
{
    List->Clear();
    if (Category.empty()) {
        // Outside any category: everything before the first heading, empty names too.
        for (int i = 0; i < Count(); ++i) {
            const AnsiString& n = Items(i)->GetName();
            if (!n.empty() && n[0] == ' ')
                break;
            List->Add(n);
        }
        return;
    }
    const int h = HeadingIndex(Category);
    if (h < 0)
        return;
    const int end = CategoryEnd(h + 1);
    for (int i = h + 1; i < end; ++i)
        List->Add(Items(i)->GetName());
}

void TrpVariables::LoadFromFile(const AnsiString& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TrpVariables::SaveToFile(const AnsiString& FileName)
{
    SaveFileWhole(FileName, [&](TStream& f) { SaveToStream(f); });
}

void TrpVariables::LoadFromStream(TStream& Stream)
{
    Clear();
    TrpXMLDocument doc;
    doc.LoadWholeFromStream(Stream);
    // Another root (a style file, a report) leaves the list empty, and says so.
    if (!SameText(doc.Root()->Name, "variables"))
        throw EXMLFormatError(Format(rpmsg::kWrongRoot, {doc.Root()->Name, "variables", "variables"}));
    LoadFromXMLItem(doc.Root());
}

void TrpVariables::LoadFromXMLItem(TrpXMLItem* Item)
{
    Clear();
    TrpXMLSerializer s;
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* child = Item->Items(i);
        if (!SameText(child->Name, "item"))
            continue;
        s.XMLToObj(child->Text, Add());
    }
}

void TrpVariables::SaveToStream(TStream& Stream)
{
    TrpXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "variables";
    SaveToXMLItem(doc.Root());
    doc.SaveToStream(Stream);
}

void TrpVariables::SaveToXMLItem(TrpXMLItem* Item)
{
    TrpXMLSerializer s;
    for (int i = 0; i < Count(); ++i) {
        TrpXMLItem* child = Item->Add();
        child->Name = "item";
        child->Text = s.ObjToXML(Items(i));
    }
}
