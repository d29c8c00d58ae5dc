// rpDsgnIntf.cpp - registries, property editors, component editors, property lists.
#include "report/model/rpDsgnIntf.h"

#include "report/model/rpClass.h"
#include "report/model/rpRes.h"
#include "report/model/rpReportBase.h"

#include "platform/graphics/FontBackend.h"
#include "platform/gui/Dialogs.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

[[noreturn]] void RaiseIndex(int Index) { throw EListError(Format("List index out of bounds (%d)", {Index})); }

// Registered types are told apart by kind and name (a renamed integer such as TColor is
// its own type), so an editor registered for "TColor" finds every TColor property.
bool SameType(const TTypeInfo* A, const TTypeInfo* B)
{
    if (A == B)
        return true;
    if (!A || !B)
        return false;
    return A->Kind == B->Kind && SameText(A->Name, B->Name);
}

const TTypeInfo* NamedType(const TTypeInfo* Base, const char* Name) { return TTypeInfo::Renamed(Base, Name); }

}  // namespace

// ---------------------------------------------------------------- object registry

TrpObjectCollection& rpObjects()
{
    static TrpObjectCollection c;
    return c;
}

void TrpObjectCollection::RegisterObject(TClass ClassRef, TBitmap* ButtonBmp, const AnsiString& CategoryName)
{
    RegisterObject1(ClassRef, ButtonBmp, "", CategoryName, 0, -1);
}

void TrpObjectCollection::RegisterCategory(const AnsiString& CategoryName, TBitmap* ButtonBmp,
                                           const AnsiString& ButtonHint, int ImageIndex)
{
    RegisterObject1(nullptr, ButtonBmp, ButtonHint, CategoryName, 0, ImageIndex);
}

void TrpObjectCollection::RegisterObject1(TClass ClassRef, TBitmap* ButtonBmp, const AnsiString& ButtonHint,
                                          const AnsiString& CategoryName, int Flags, int ImageIndex)
{
    for (const TrpObjectItem& i : FItems)
        if (ClassRef && i.ClassRef == ClassRef && i.Flags == Flags)
            return;
    // A bitmap here holds its pixels only (no device handle to release).
    FItems.push_back({ClassRef, ButtonBmp, ImageIndex, ButtonHint, CategoryName, Flags});
    if (ClassRef)
        RegisterClass(ClassRef);
}

void TrpObjectCollection::Unregister(TClass ClassRef)
{
    std::erase_if(FItems, [&](const TrpObjectItem& i) { return i.ClassRef == ClassRef; });
}

const TrpObjectItem& TrpObjectCollection::GetObjectItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

// ---------------------------------------------------------------- component editors

TrpComponentEditorCollection& rpComponentEditors()
{
    static TrpComponentEditorCollection c;
    return c;
}

void TrpComponentEditorCollection::Register(TClass ComponentClass, TrpComponentEditorClass ComponentEditor)
{
    FItems.push_back({ComponentClass, ComponentEditor});
}

std::unique_ptr<TrpComponentEditor> TrpComponentEditorCollection::GetComponentEditor(TComponent* Component,
                                                                                     TrpCustomDesigner* Designer,
                                                                                     TMenu* Menu) const
{
    if (!Component)
        return nullptr;
    const TrpComponentEditorItem* found = nullptr;
    for (const TrpComponentEditorItem& i : FItems)
        if (i.ComponentClass == Component->ClassType()) {
            found = &i;
            break;
        }
    if (!found)
        for (const TrpComponentEditorItem& i : FItems)
            if (i.ComponentClass && Component->InheritsFrom(i.ComponentClass))
                found = &i;
    if (!found || !found->ComponentEditor)
        return nullptr;
    return found->ComponentEditor(Component, Designer, Menu);
}

SKLAD_DEFINE_ABSTRACT_CLASS(TrpComponentEditor)

TMenuItem* TrpComponentEditor::AddItem(const AnsiString& Caption, int Tag, bool Checked)
{
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    item->SetTag(Tag);
    item->SetChecked(Checked);
    if (Menu)
        Menu->GetItems()->Add(item);
    return item;
}

// ---------------------------------------------------------------- property-editor registry

TrpPropertyEditorCollection& rpPropertyEditors()
{
    static TrpPropertyEditorCollection c;
    return c;
}

void TrpPropertyEditorCollection::Register(const TTypeInfo* PropertyType, TClass ComponentClass,
                                           const AnsiString& PropertyName, TrpPropertyEditorClass EditorClass)
{
    FItems.push_back({PropertyType, ComponentClass, PropertyName, EditorClass});
}

void TrpPropertyEditorCollection::RegisterEventEditor(TrpPropertyEditorClass EditorClass)
{
    Register(nullptr, nullptr, "", EditorClass);
    EventEditorIndex = Count() - 1;
}

int TrpPropertyEditorCollection::GetPropertyEditor(const TTypeInfo* PropertyType, const TObject* Obj,
                                                   const AnsiString& PropertyName) const
{
    if (PropertyType) {
        const AnsiString name = LowerCase(PropertyType->Name);
        const size_t event = name.find("event");
        if (name.rfind("trp", 0) == 0 && event != AnsiString::npos && event + 5 == name.size())
            return EventEditorIndex;
    }
    int remembered = -1;
    for (int i = Count() - 1; i >= 0; --i) {
        const TrpPropertyEditorItem& item = FItems[static_cast<size_t>(i)];
        if (!item.ComponentClass) {
            if (!SameType(item.PropertyType, PropertyType))
                continue;
            if (item.PropertyName.empty())
                remembered = i;  // the scan goes on: the earliest such item wins
            else if (SameText(item.PropertyName, PropertyName))
                return i;
        } else if (Obj && Obj->InheritsFrom(item.ComponentClass) && SameText(item.PropertyName, PropertyName)) {
            return i;
        }
    }
    return remembered;
}

const TrpPropertyEditorItem& TrpPropertyEditorCollection::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TrpPropertyEditorCollection::Clear()
{
    FItems.clear();
    EventEditorIndex = -1;
}

void rpHideProperties(TClass ComponentClass, const AnsiString& Names)
{
    size_t from = 0;
    while (from <= Names.size()) {
        size_t to = Names.find(';', from);
        if (to == AnsiString::npos)
            to = Names.size();
        const AnsiString name = Trim(Names.substr(from, to - from));
        if (!name.empty())
            rpPropertyEditors().Register(nullptr, ComponentClass, name, nullptr);
        from = to + 1;
    }
}

// ---------------------------------------------------------------- wizards

TrpWizardCollection& rpWizards()
{
    static TrpWizardCollection c;
    return c;
}

void TrpWizardCollection::Register(TClass ClassRef, TBitmap* ButtonBmp, bool IsToolbarWizard)
{
    for (const TrpWizardItem& i : FItems)
        if (i.ClassRef == ClassRef)
            return;
    FItems.push_back({ClassRef, ButtonBmp, -1, IsToolbarWizard});
}

void TrpWizardCollection::Unregister(TClass ClassRef)
{
    std::erase_if(FItems, [&](const TrpWizardItem& i) { return i.ClassRef == ClassRef; });
}

const TrpWizardItem& TrpWizardCollection::GetWizardItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

void rpRegisterDesignTime()
{
    TrpPropertyEditorCollection& e = rpPropertyEditors();
    if (e.Count() > 0)
        return;
    e.Register(NamedType(TypeInfoString(), "TComponentName"), nullptr, "Name", rpEditorClass<TrpNameProperty>());
    e.Register(NamedType(TypeInfoInteger(), "TColor"), nullptr, "", rpEditorClass<TrpColorProperty>());
    e.Register(TypeInfoClass(TFont::StaticClass()), nullptr, "", rpEditorClass<TrpFontProperty>());
    e.Register(TypeInfoString(), TFont::StaticClass(), "Name", rpEditorClass<TrpFontNameProperty>());
    e.Register(TypeInfoInteger(), TFont::StaticClass(), "Charset", rpEditorClass<TrpFontCharsetProperty>());
    e.Register(NamedType(TypeInfoInteger(), "TModalResult"), nullptr, "", rpEditorClass<TrpModalResultProperty>());
    e.Register(NamedType(TypeInfoInteger(), "TShortCut"), nullptr, "", rpEditorClass<TrpShortCutProperty>());
    e.Register(NamedType(TypeInfoInteger(), "TCursor"), nullptr, "", rpEditorClass<TrpCursorProperty>());
}

void rpUnregisterDesignTime()
{
    rpPropertyEditors().Clear();
    rpComponentEditors().Clear();
    rpWizards().Clear();
}

// ---------------------------------------------------------------- TrpPropertyEditor

SKLAD_DEFINE_ABSTRACT_CLASS(TrpPropertyEditor)

TrpPropertyEditor::TrpPropertyEditor(TrpCustomDesigner* ADesigner)
    : Designer(ADesigner), Values(std::make_unique<TStringList>())
{
}

TrpPropertyEditor::~TrpPropertyEditor() = default;

void TrpPropertyEditor::InvalidValue() { throw EPropertyError(rpResources().Get("prInvProp")); }

void TrpPropertyEditor::Add(TObject* Obj, const TPropInfo* Prop)
{
    CompList.push_back(Obj);
    PropList.push_back(Prop);
}

bool TrpPropertyEditor::Edit()
{
    if (!GetAttributes().Contains(paValueList))
        return false;
    GetValues();
    if (Values->Count() == 0)
        return false;
    int i = Values->IndexOf(GetValue()) + 1;
    if (i >= Values->Count())
        i = 0;
    SetValue((*Values)[i]);
    return true;
}

TrpPropertyAttributes TrpPropertyEditor::GetAttributes() { return {paMultiSelect}; }
AnsiString TrpPropertyEditor::GetName() { return GetPropInfo() ? GetPropInfo()->Name : AnsiString(); }
int TrpPropertyEditor::GetExtraLBSize() { return ItemHeight + 2; }
AnsiString TrpPropertyEditor::GetValue() { return "(Unknown)"; }
void TrpPropertyEditor::SetValue(const AnsiString&) {}

void TrpPropertyEditor::GetValues()
{
    Values->Clear();
    Values->SetSorted(GetAttributes().Contains(paSortList));
}

void TrpPropertyEditor::OnDrawLBItem(TCanvas* Canvas, int Index, const TRect& ARect)
{
    Canvas->FillRect(ARect);
    if (Index >= 0 && Index < Values->Count())
        Canvas->TextOut(ARect.Left + ItemHeight + 4, ARect.Top + 1, (*Values)[Index]);
    Canvas->GetPen()->SetColor(static_cast<TColor>(0x808080));
}

void TrpPropertyEditor::OnDrawItem(TCanvas* Canvas, const TRect& ARect)
{
    Canvas->TextOut(ARect.Left + ItemHeight - 2, ARect.Top, GetValue());
    Canvas->GetPen()->SetColor(static_cast<TColor>(0x808080));
}

int64_t TrpPropertyEditor::GetOrdValue() const { return GetOrdProp(CompList.front(), PropList.front()); }
void TrpPropertyEditor::SetOrdValue(int64_t Value)
{
    for (size_t i = 0; i < CompList.size(); ++i)
        SetOrdProp(CompList[i], PropList[i], Value);
}
Extended TrpPropertyEditor::GetFloatValue() const { return GetFloatProp(CompList.front(), PropList.front()); }
void TrpPropertyEditor::SetFloatValue(Extended Value)
{
    for (size_t i = 0; i < CompList.size(); ++i)
        SetFloatProp(CompList[i], PropList[i], Value);
}
AnsiString TrpPropertyEditor::GetStrValue() const { return GetStrProp(CompList.front(), PropList.front()); }
void TrpPropertyEditor::SetStrValue(const AnsiString& Value)
{
    for (size_t i = 0; i < CompList.size(); ++i)
        SetStrProp(CompList[i], PropList[i], Value);
}
Variant TrpPropertyEditor::GetVarValue() const { return GetVariantProp(CompList.front(), PropList.front()); }
void TrpPropertyEditor::SetVarValue(const Variant& Value)
{
    for (size_t i = 0; i < CompList.size(); ++i)
        SetVariantProp(CompList[i], PropList[i], Value);
}
TObject* TrpPropertyEditor::GetObjValue() const { return GetObjectProp(CompList.front(), PropList.front()); }
void TrpPropertyEditor::SetObjValue(TObject* Value)
{
    for (size_t i = 0; i < CompList.size(); ++i)
        SetObjectProp(CompList[i], PropList[i], Value);
}

// ---------------------------------------------------------------- the editor family

namespace {
constexpr TrpPropertyAttributes kListed{paMultiSelect, paValueList};
constexpr TrpPropertyAttributes kSortedList{paMultiSelect, paValueList, paSortList};
constexpr TrpPropertyAttributes kNested{paMultiSelect, paSubProperties, paReadOnly};

const char* const kModalResults[] = {"mrNone",  "mrOk",  "mrCancel", "mrAbort",   "mrRetry",   "mrIgnore",
                                     "mrYes",   "mrNo",  "mrAll",    "mrNoToAll", "mrYesToAll"};

struct CursorName {
    TCursor Value;
    const char* Name;
};
// One name per value: the list Edit steps through must not hold two names of one cursor,
// or stepping from the first would set the same value and stay there.
const CursorName kCursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},       {crCross, "crCross"},
    {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"},       {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},     {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"},     {crNo, "crNo"},             {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};
// crSize is the older name of crSizeAll: taken when typed, shown as crSizeAll.
constexpr CursorName kOldCursorName{crSize, "crSize"};

bool ParseInt(const AnsiString& Text, int64_t& Value)
{
    const AnsiString t = Trim(Text);
    if (t.empty())
        return false;
    try {
        Value = StrToInt64(t);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

// Whether the property's type holds the value: a number it would cut to another value
// (300 for a byte) is refused, not stored wrapped.
bool TypeHolds(const TPropInfo* Prop, int64_t Value)
{
    const TTypeInfo* t = Prop ? Prop->PropType : nullptr;
    if (!t || t->Kind != tkInteger)
        return true;
    if (t->MinValue < t->MaxValue)
        return Value >= t->MinValue && Value <= t->MaxValue;
    return Value >= INT32_MIN && Value <= int64_t(UINT32_MAX);  // 32 bits, either sign
}

// The integer of Text, for every selected object's property. Hexadecimal text is a bit
// pattern, as a colour shows itself: "$FFFFFFFF" is -1 for a signed 32-bit property.
int64_t IntOrInvalid(const AnsiString& Text, const std::vector<const TPropInfo*>& Props)
{
    int64_t v = 0;
    if (!ParseInt(Text, v))
        throw EPropertyError(rpResources().Get("prInvProp"));
    const AnsiString t = Trim(Text);
    const bool hex = !t.empty() && (t[0] == '$' || (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')));
    const int64_t pattern = hex && v > INT32_MAX && v <= int64_t(UINT32_MAX) ? int64_t(int32_t(uint32_t(v))) : v;
    for (const TPropInfo* p : Props)
        if (!TypeHolds(p, v) && !TypeHolds(p, pattern))
            throw EPropertyError(rpResources().Get("prInvProp"));
    return v;
}
}  // namespace

#define RP_DEFINE_EDITOR(Name) SKLAD_DEFINE_ABSTRACT_CLASS(Name)
RP_DEFINE_EDITOR(TrpIntegerProperty)
RP_DEFINE_EDITOR(TrpFloatProperty)
RP_DEFINE_EDITOR(TrpCharProperty)
RP_DEFINE_EDITOR(TrpStringProperty)
RP_DEFINE_EDITOR(TrpEnumProperty)
RP_DEFINE_EDITOR(TrpSetProperty)
RP_DEFINE_EDITOR(TrpSetElementProperty)
RP_DEFINE_EDITOR(TrpClassProperty)
RP_DEFINE_EDITOR(TrpComponentProperty)
RP_DEFINE_EDITOR(TrpNameProperty)
RP_DEFINE_EDITOR(TrpColorProperty)
RP_DEFINE_EDITOR(TrpFontProperty)
RP_DEFINE_EDITOR(TrpFontNameProperty)
RP_DEFINE_EDITOR(TrpFontCharsetProperty)
RP_DEFINE_EDITOR(TrpModalResultProperty)
RP_DEFINE_EDITOR(TrpShortCutProperty)
RP_DEFINE_EDITOR(TrpCursorProperty)
#undef RP_DEFINE_EDITOR

// -- integer
TrpPropertyAttributes TrpIntegerProperty::GetAttributes() { return TrpPropertyEditor::GetAttributes(); }
AnsiString TrpIntegerProperty::GetValue() { return IntToStr(GetOrdValue()); }
void TrpIntegerProperty::SetValue(const AnsiString& Value) { SetOrdValue(IntOrInvalid(Value, PropList)); }

// -- float: either separator is taken
TrpPropertyAttributes TrpFloatProperty::GetAttributes() { return TrpPropertyEditor::GetAttributes(); }
AnsiString TrpFloatProperty::GetValue() { return FloatToStr(static_cast<double>(GetFloatValue())); }
void TrpFloatProperty::SetValue(const AnsiString& Value)
{
    AnsiString t = Trim(Value);
    const char sep = FormatSettings().DecimalSeparator;
    for (char& c : t)
        if (c == ',' || c == '.')
            c = sep;
    double v = 0;
    if (!TryStrToFloat(t, v))
        InvalidValue();
    SetFloatValue(v);
}

// -- character
TrpPropertyAttributes TrpCharProperty::GetAttributes() { return TrpPropertyEditor::GetAttributes(); }
AnsiString TrpCharProperty::GetValue()
{
    const int64_t code = GetOrdValue() & 0xFF;
    if (code < 33)
        return Format("#%d", {static_cast<int>(code)});
    return AnsiString(1, static_cast<char>(code));
}
void TrpCharProperty::SetValue(const AnsiString& Value)
{
    int64_t code = 0;
    if (Value.empty())
        code = 0;
    else if (Value.size() == 1)
        code = static_cast<unsigned char>(Value[0]);
    else if (Value[0] == '#' && ParseInt(Value.substr(1), code) && code >= 0 && code <= 255 &&
             Value.find_first_not_of("0123456789", 1) == AnsiString::npos)
        ;
    else
        InvalidValue();
    SetOrdValue(code);
}

// -- string
TrpPropertyAttributes TrpStringProperty::GetAttributes() { return TrpPropertyEditor::GetAttributes(); }
AnsiString TrpStringProperty::GetValue() { return GetStrValue(); }
void TrpStringProperty::SetValue(const AnsiString& Value) { SetStrValue(Value); }

// -- enumeration
TrpPropertyAttributes TrpEnumProperty::GetAttributes() { return kSortedList; }
AnsiString TrpEnumProperty::GetValue()
{
    return GetEnumName(GetPropInfo()->PropType, static_cast<int>(GetOrdValue()));
}
void TrpEnumProperty::SetValue(const AnsiString& Value)
{
    const int v = GetEnumValue(GetPropInfo()->PropType, Trim(Value));
    if (v < 0)
        InvalidValue();
    SetOrdValue(v);
}
void TrpEnumProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    const TTypeInfo* t = GetPropInfo()->PropType;
    for (int i = t->MinValue; i <= t->MaxValue; ++i)
        Values->Add(GetEnumName(t, i));
}

// -- set
TrpPropertyAttributes TrpSetProperty::GetAttributes() { return kNested; }
AnsiString TrpSetProperty::GetValue()
{
    const TTypeInfo* elements = GetPropInfo()->PropType->CompType;
    const auto bits = static_cast<uint32_t>(GetOrdValue());
    AnsiString r;
    for (int i = 0; i < 32; ++i)
        if (bits & (uint32_t(1) << i)) {
            if (!r.empty())
                r += ",";
            r += elements ? GetEnumName(elements, i) : IntToStr(i);
        }
    return "[" + r + "]";
}
void TrpSetProperty::SetValue(const AnsiString&) {}

// -- one member of a set
TrpPropertyAttributes TrpSetElementProperty::GetAttributes() { return kSortedList; }
AnsiString TrpSetElementProperty::GetName()
{
    const TTypeInfo* elements = GetPropInfo()->PropType->CompType;
    return elements ? GetEnumName(elements, Element) : IntToStr(Element);
}
AnsiString TrpSetElementProperty::GetValue()
{
    return (static_cast<uint32_t>(GetOrdValue()) & (uint32_t(1) << Element)) ? "True" : "False";
}
void TrpSetElementProperty::SetValue(const AnsiString& Value)
{
    const uint32_t bit = uint32_t(1) << Element;
    // Each object keeps its other members.
    for (size_t i = 0; i < CompList.size(); ++i) {
        auto bits = static_cast<uint32_t>(GetOrdProp(CompList[i], PropList[i]));
        if (SameText(Value, "True"))
            bits |= bit;
        else if (SameText(Value, "False"))
            bits &= ~bit;
        else
            InvalidValue();
        SetOrdProp(CompList[i], PropList[i], bits);
    }
}
void TrpSetElementProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    Values->Add("False");
    Values->Add("True");
}

// -- sub-object
TrpPropertyAttributes TrpClassProperty::GetAttributes() { return kNested; }
AnsiString TrpClassProperty::GetValue() { return {}; }
void TrpClassProperty::SetValue(const AnsiString&) {}

// -- component reference
TrpPropertyAttributes TrpComponentProperty::GetAttributes() { return kSortedList; }
AnsiString TrpComponentProperty::GetValue()
{
    auto* c = dynamic_cast<TComponent*>(GetObjValue());
    return c ? c->Name() : AnsiString();
}
void TrpComponentProperty::SetValue(const AnsiString& Value)
{
    if (Value.empty()) {
        SetObjValue(nullptr);
        return;
    }
    TrpComponent* edited = GetfrComponent();
    TrpComponent* found = nullptr;
    if (edited) {
        if (TrpCustomReport* report = edited->GetReport())
            found = report->FindObject(Value);
        else
            found = edited->FindObject(Value);
    }
    const TClass wanted = GetPropInfo()->PropType->ClassType;
    // The edited object is not among the values offered: a reference to itself would be
    // dropped by the object (or loop), so it is refused rather than cleared in silence.
    if (!found || found == edited || (wanted && !found->InheritsFrom(wanted)))
        InvalidValue();
    SetObjValue(found);
}
void TrpComponentProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    TrpComponent* edited = GetfrComponent();
    if (!edited)
        return;
    const TClass wanted = GetPropInfo()->PropType->ClassType;
    std::vector<TrpComponent*> candidates;
    if (dynamic_cast<TrpReportComponent*>(edited) && edited->GetPage())
        candidates = edited->GetPage()->GetAllObjects();
    else
        candidates = edited->Objects();
    for (TrpComponent* c : candidates)
        if (c != edited && (!wanted || c->InheritsFrom(wanted)) && !c->Name().empty())
            Values->Add(c->Name());
}

// -- Name
TrpPropertyAttributes TrpNameProperty::GetAttributes() { return {}; }
AnsiString TrpNameProperty::GetValue() { return GetStrValue(); }
void TrpNameProperty::SetValue(const AnsiString& Value) { SetStrValue(Value); }

// -- colour
TrpPropertyAttributes TrpColorProperty::GetAttributes() { return {paMultiSelect, paValueList, paOwnerDraw}; }
AnsiString TrpColorProperty::GetValue() { return ColorToString(static_cast<TColor>(GetOrdValue())); }
void TrpColorProperty::SetValue(const AnsiString& Value)
{
    int color = 0;
    if (IdentToColor(Trim(Value), color)) {
        SetOrdValue(color);
        return;
    }
    SetOrdValue(IntOrInvalid(Value, PropList));
}
void TrpColorProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    GetColorValues([this](const AnsiString& s) { Values->Add(s); });
}
bool TrpColorProperty::Edit()
{
    TColorDialog dialog(nullptr);
    dialog.Color = static_cast<TColor>(GetOrdValue());
    if (!dialog.Execute())
        return false;
    SetOrdValue(dialog.Color);
    return true;
}
namespace {
// A square swatch as high as the row at its left, then the text after it.
void DrawSwatch(TCanvas* Canvas, const TRect& ARect, TColor Color)
{
    const int side = ARect.Bottom - ARect.Top;
    TColor oldBrush = Canvas->GetBrush()->GetColor();
    TColor oldPen = Canvas->GetPen()->GetColor();
    Canvas->GetBrush()->SetColor(Color);
    Canvas->GetPen()->SetColor(clBlack);
    Canvas->Rectangle(ARect.Left, ARect.Top, ARect.Left + side, ARect.Bottom);
    Canvas->GetBrush()->SetColor(oldBrush);
    Canvas->GetPen()->SetColor(oldPen);
}
}  // namespace
void TrpColorProperty::OnDrawLBItem(TCanvas* Canvas, int Index, const TRect& ARect)
{
    // The row with its text first: filling it after the swatch would paint over it.
    TrpPropertyEditor::OnDrawLBItem(Canvas, Index, ARect);
    if (Index >= 0 && Index < Values->Count()) {
        int color = clBlack;
        if (!IdentToColor((*Values)[Index], color))
            color = clBlack;
        DrawSwatch(Canvas, ARect, static_cast<TColor>(color));
    }
}
void TrpColorProperty::OnDrawItem(TCanvas* Canvas, const TRect& ARect)
{
    DrawSwatch(Canvas, ARect, static_cast<TColor>(GetOrdValue()));
    TrpPropertyEditor::OnDrawItem(Canvas, ARect);
}

// -- font
TrpPropertyAttributes TrpFontProperty::GetAttributes() { return {paMultiSelect, paSubProperties, paReadOnly, paDialog}; }
AnsiString TrpFontProperty::GetValue() { return {}; }
void TrpFontProperty::SetValue(const AnsiString&) {}
bool TrpFontProperty::Edit()
{
    auto* font = dynamic_cast<TFont*>(GetObjValue());
    TFontDialog dialog(nullptr);
    if (font)
        dialog.SetFont(font);
    if (!dialog.Execute())
        return false;
    for (size_t i = 0; i < CompList.size(); ++i)
        if (auto* f = dynamic_cast<TFont*>(GetObjectProp(CompList[i], PropList[i])))
            f->Assign(dialog.GetFont());
    return true;
}

// -- font name
TrpPropertyAttributes TrpFontNameProperty::GetAttributes() { return kSortedList; }
AnsiString TrpFontNameProperty::GetValue() { return GetStrValue(); }
void TrpFontNameProperty::SetValue(const AnsiString& Value) { SetStrValue(Value); }
void TrpFontNameProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    rpGetFontNames(Values.get());
}

void rpGetFontNames(TStrings* List)
{
    const std::vector<AnsiString> installed = DefaultFontBackend().Families();
    if (!installed.empty()) {
        for (const AnsiString& name : installed)
            List->Add(name);
        return;
    }
    // No font database (headless): the names the library's templates use.
    for (const char* name : {"Arial", "Arial Cyr", "Courier New", "Courier New Cyr", "MS Sans Serif", "Tahoma",
                             "Times New Roman", "Times New Roman Cyr"})
        List->Add(name);
}

// -- font charset
TrpPropertyAttributes TrpFontCharsetProperty::GetAttributes() { return kSortedList; }
AnsiString TrpFontCharsetProperty::GetValue()
{
    AnsiString ident;
    const int v = static_cast<int>(GetOrdValue());
    return CharsetToIdent(v, ident) ? ident : Format("%d", {v});
}
void TrpFontCharsetProperty::SetValue(const AnsiString& Value)
{
    int charset = 0;
    if (IdentToCharset(Trim(Value), charset)) {
        SetOrdValue(charset);
        return;
    }
    SetOrdValue(IntOrInvalid(Value, PropList));
}
void TrpFontCharsetProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (int c = 0; c < 256; ++c) {
        AnsiString ident;
        if (CharsetToIdent(c, ident))
            Values->Add(ident);
    }
}

// -- modal result
TrpPropertyAttributes TrpModalResultProperty::GetAttributes() { return kListed; }
AnsiString TrpModalResultProperty::GetValue()
{
    const int64_t v = GetOrdValue();
    if (v >= 0 && v < static_cast<int64_t>(std::size(kModalResults)))
        return kModalResults[v];
    return IntToStr(v);
}
void TrpModalResultProperty::SetValue(const AnsiString& Value)
{
    if (Value.empty()) {
        SetOrdValue(0);
        return;
    }
    for (size_t i = 0; i < std::size(kModalResults); ++i)
        if (SameText(Value, kModalResults[i])) {
            SetOrdValue(static_cast<int64_t>(i));
            return;
        }
    SetOrdValue(IntOrInvalid(Value, PropList));
}
void TrpModalResultProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const char* name : kModalResults)
        Values->Add(name);
}

// -- short-cut
TrpPropertyAttributes TrpShortCutProperty::GetAttributes() { return kListed; }
AnsiString TrpShortCutProperty::GetValue()
{
    const auto v = static_cast<TShortCut>(GetOrdValue());
    return v == 0 ? AnsiString("(None)") : ShortCutToText(v);
}
void TrpShortCutProperty::SetValue(const AnsiString& Value)
{
    if (Value.empty() || Value == "(None)") {
        SetOrdValue(0);
        return;
    }
    const TShortCut s = TextToShortCut(Value);
    if (s == 0)
        InvalidValue();
    SetOrdValue(s);
}
void TrpShortCutProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    Values->Add("(None)");
    auto add = [this](Word key, TShiftState shift) { Values->Add(ShortCutToText(ShortCut(key, shift))); };
    for (Word k = 'A'; k <= 'Z'; ++k)
        add(k, {ssCtrl});
    for (Word k = 'A'; k <= 'Z'; ++k)
        add(k, {ssCtrl, ssShift});
    for (Word k = VK_F1; k <= VK_F12; ++k)
        add(k, {});
    for (Word k = VK_F1; k <= VK_F12; ++k)
        add(k, {ssCtrl});
    for (Word k = VK_F1; k <= VK_F12; ++k)
        add(k, {ssShift});
    for (Word k = VK_F1; k <= VK_F12; ++k)
        add(k, {ssShift, ssCtrl});
    add(VK_INSERT, {});
    add(VK_INSERT, {ssShift});
    add(VK_INSERT, {ssCtrl});
    add(VK_DELETE, {});
    add(VK_DELETE, {ssShift});
    add(VK_DELETE, {ssCtrl});
    add(VK_BACK, {ssAlt});
    add(VK_BACK, {ssShift, ssAlt});
}

// -- cursor
TrpPropertyAttributes TrpCursorProperty::GetAttributes() { return kSortedList; }
AnsiString TrpCursorProperty::GetValue()
{
    const auto v = static_cast<TCursor>(GetOrdValue());
    for (const CursorName& c : kCursors)
        if (c.Value == v)
            return c.Name;
    return IntToStr(v);
}
void TrpCursorProperty::SetValue(const AnsiString& Value)
{
    for (const CursorName& c : kCursors)
        if (SameText(Trim(Value), c.Name)) {
            SetOrdValue(c.Value);
            return;
        }
    if (SameText(Trim(Value), kOldCursorName.Name)) {
        SetOrdValue(kOldCursorName.Value);
        return;
    }
    SetOrdValue(IntOrInvalid(Value, PropList));
}
void TrpCursorProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    for (const CursorName& c : kCursors)
        Values->Add(c.Name);
}

// ---------------------------------------------------------------- property lists

TrpPropertyItem* TrpPropertyList::Add()
{
    FItems.push_back(std::make_unique<TrpPropertyItem>());
    return FItems.back().get();
}

TrpPropertyItem* TrpPropertyList::GetPropertyItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndex(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

TrpPropertyItem* TrpPropertyList::Find(const AnsiString& Name) const
{
    for (const auto& item : FItems)
        if (SameText(item->Editor->GetName(), Name))
            return item.get();
    return nullptr;
}

void TrpPropertyList::SetComponent(TObject* Value)
{
    Clear();
    Component = Value;
    if (Value)
        FillProperties(Value);
}

void TrpPropertyList::FillProperties(TObject* Obj)
{
    std::vector<const TPropInfo*> props;
    for (const TPropInfo* p : Obj->ClassType()->Properties())
        if (p->Kind() != tkMethod)
            props.push_back(p);
    std::stable_sort(props.begin(), props.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });

    for (const TPropInfo* p : props) {
        TrpPropertyEditorClass editorClass = nullptr;
        const int index = rpPropertyEditors().GetPropertyEditor(p->PropType, Obj, p->Name);
        std::unique_ptr<TrpPropertyList> sub;
        if (index >= 0) {
            editorClass = rpPropertyEditors().GetItem(index).EditorClass;
            if (!editorClass)
                continue;  // hidden
        }
        const bool registered = editorClass != nullptr;
        switch (p->Kind()) {
        case tkInteger:
        case tkInt64:
            if (!registered)
                editorClass = rpEditorClass<TrpIntegerProperty>();
            break;
        case tkChar:
        case tkWChar:
            if (!registered)
                editorClass = rpEditorClass<TrpCharProperty>();
            break;
        case tkEnumeration:
            if (!registered)
                editorClass = rpEditorClass<TrpEnumProperty>();
            break;
        case tkFloat:
            if (!registered)
                editorClass = rpEditorClass<TrpFloatProperty>();
            break;
        case tkString:
        case tkLString:
        case tkWString:
            if (!registered)
                editorClass = rpEditorClass<TrpStringProperty>();
            break;
        case tkSet:
            if (!registered)
                editorClass = rpEditorClass<TrpSetProperty>();
            sub = std::make_unique<TrpPropertyList>(Designer);
            sub->Parent = this;
            sub->Component = Obj;
            if (const TTypeInfo* elements = p->PropType->CompType)
                for (int e = elements->MinValue; e <= elements->MaxValue; ++e) {
                    auto element = std::make_unique<TrpSetElementProperty>(Designer);
                    element->Element = e;
                    element->Add(Obj, p);
                    sub->Add()->Editor = std::move(element);
                }
            break;
        case tkClass: {
            const TClass cls = p->PropType->ClassType;
            if (cls && cls->InheritsFrom(TComponent::StaticClass())) {
                if (!registered)
                    editorClass = rpEditorClass<TrpComponentProperty>();
            } else {
                if (!registered)
                    editorClass = rpEditorClass<TrpClassProperty>();
                if (TObject* value = p->Readable ? GetObjectProp(Obj, p) : nullptr) {
                    sub = std::make_unique<TrpPropertyList>(Designer);
                    sub->Parent = this;
                    sub->SetComponent(value);
                    if (sub->Count() == 0)
                        sub.reset();
                }
            }
            break;
        }
        default:
            if (!registered)
                continue;
            break;
        }
        if (!editorClass)
            continue;
        TrpPropertyItem* item = Add();
        item->Editor = editorClass(Designer);
        item->Editor->Add(Obj, p);
        item->SubProperty = std::move(sub);
    }
}

void TrpPropertyList::FillCommonProperties(TrpPropertyList* Other)
{
    std::erase_if(FItems, [Other](const std::unique_ptr<TrpPropertyItem>& item) {
        if (!item->Editor->GetAttributes().Contains(paMultiSelect))
            return true;
        const TPropInfo* mine = item->Editor->GetPropInfo();
        for (const auto& o : Other->FItems) {
            const TPropInfo* theirs = o->Editor->GetPropInfo();
            if (theirs->Kind() == mine->Kind() && SameText(theirs->Name, mine->Name))
                return false;
        }
        return true;
    });
}

void TrpPropertyList::AddProperties(TrpPropertyList* Other)
{
    // Paired by name, not by position: a property one class edits alone (an editor of its
    // own without multi-select) is missing from that class's list only.
    for (const auto& mineItem : FItems) {
        TrpPropertyItem* mine = mineItem.get();
        const TPropInfo* info = mine->Editor->GetPropInfo();
        TrpPropertyItem* theirs = nullptr;
        for (const auto& o : Other->FItems) {
            const TPropInfo* other = o->Editor->GetPropInfo();
            if (info && other && other->Kind() == info->Kind() && SameText(other->Name, info->Name)) {
                theirs = o.get();
                break;
            }
        }
        if (!theirs)
            continue;
        for (size_t k = 0; k < theirs->Editor->CompList.size(); ++k)
            mine->Editor->Add(theirs->Editor->CompList[k], theirs->Editor->PropList[k]);
        if (mine->SubProperty && theirs->SubProperty)
            mine->SubProperty->AddProperties(theirs->SubProperty.get());
    }
}

std::unique_ptr<TrpPropertyList> rpCreatePropertyList(const std::vector<TObject*>& Objects,
                                                      TrpCustomDesigner* Designer)
{
    if (Objects.empty())
        return nullptr;
    std::vector<std::unique_ptr<TrpPropertyList>> lists;
    for (TObject* o : Objects) {
        lists.push_back(std::make_unique<TrpPropertyList>(Designer));
        lists.back()->SetComponent(o);
    }
    TrpPropertyList* first = lists.front().get();
    for (size_t i = 1; i < lists.size(); ++i)
        first->FillCommonProperties(lists[i].get());
    // What another list leaves out (its editor edits one object only) goes from the first
    // too, so every editor left writes to every selected object.
    for (size_t i = 1; i < lists.size(); ++i)
        lists[i]->FillCommonProperties(first);
    for (size_t i = 1; i < lists.size(); ++i)
        first->FillCommonProperties(lists[i].get());
    for (size_t i = 1; i < lists.size(); ++i)
        first->AddProperties(lists[i].get());
    return std::move(lists.front());
}

// ---------------------------------------------------------------- TrpReportEditor

SKLAD_DEFINE_CLASS(TrpReportEditor)

bool TrpReportEditor::Edit()
{
    auto* report = dynamic_cast<TrpReport*>(Component);
    return report && report->DesignReport(Designer, this);
}
