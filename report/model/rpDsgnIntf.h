// rpDsgnIntf.h - the report library's design-time interface: registries, property
// editors, component editors and property lists.
//
// Five process-wide registries: report object classes (rpObjects), component editors
// (rpComponentEditors), property editors (rpPropertyEditors), export filters
// (rpExportFilters, rpClass.h) and wizards (rpWizards). rpRegisterDesignTime (called by
// rpInitReportClasses) enters the eight standard property editors; rpHideProperties
// leaves properties out of the lists of a class and its descendants.
//
// A property editor turns one published property of one or more objects into text and
// back. It reads from the first object and writes to every object (each through its own
// property description), and refuses a text it cannot take with the "prInvProp" error
// (EPropertyError), leaving the property unchanged. A property list holds one editor per
// published property of an object (events excepted, sorted by name), with nested lists
// for the members of a set and the properties of an owned sub-object;
// rpCreatePropertyList makes one list for several objects from the properties they share.
//
// Not here: the inspector and designer windows that would show them.
#pragma once

#include "report/model/rpComponent.h"

#include "platform/gui/Menus.h"

#include <memory>
#include <vector>

class TrpCustomDesigner;
class TrpPropertyEditor;
class TrpComponentEditor;

SKLAD_ENUM(TrpPropertyAttribute, paValueList, paSortList, paDialog, paMultiSelect, paSubProperties, paReadOnly,
           paOwnerDraw)
using TrpPropertyAttributes = TSet<TrpPropertyAttribute>;
SKLAD_SET(TrpPropertyAttributes, TrpPropertyAttribute)

// An editor "class": makes a new editor of that class for a designer.
using TrpPropertyEditorClass = std::unique_ptr<TrpPropertyEditor> (*)(TrpCustomDesigner* Designer);
template <class T>
std::unique_ptr<TrpPropertyEditor> rpNewPropertyEditor(TrpCustomDesigner* Designer)
{
    return std::make_unique<T>(Designer);
}
template <class T>
constexpr TrpPropertyEditorClass rpEditorClass()
{
    return &rpNewPropertyEditor<T>;
}

using TrpComponentEditorClass = std::unique_ptr<TrpComponentEditor> (*)(TComponent* Component,
                                                                        TrpCustomDesigner* Designer, TMenu* Menu);
template <class T>
std::unique_ptr<TrpComponentEditor> rpNewComponentEditor(TComponent* Component, TrpCustomDesigner* Designer,
                                                         TMenu* Menu)
{
    return std::make_unique<T>(Component, Designer, Menu);
}

// ---------------------------------------------------------------- registries

struct TrpObjectItem {
    TClass ClassRef = nullptr;
    TBitmap* ButtonBmp = nullptr;  // not owned
    int ButtonImageIndex = -1;
    AnsiString ButtonHint;
    AnsiString CategoryName;
    int Flags = 0;
};

class TrpObjectCollection {
public:
    // = RegisterObject1(ClassRef, ButtonBmp, "", CategoryName, 0, -1)
    void RegisterObject(TClass ClassRef, TBitmap* ButtonBmp, const AnsiString& CategoryName);
    // A category: an item without a class.
    void RegisterCategory(const AnsiString& CategoryName, TBitmap* ButtonBmp, const AnsiString& ButtonHint,
                          int ImageIndex);
    // An item with the same non-empty class and flags is not added again; a class is also
    // registered by name.
    void RegisterObject1(TClass ClassRef, TBitmap* ButtonBmp, const AnsiString& ButtonHint,
                         const AnsiString& CategoryName, int Flags, int ImageIndex);
    void Unregister(TClass ClassRef);  // every item of the class
    int Count() const { return static_cast<int>(FItems.size()); }
    const TrpObjectItem& GetObjectItem(int Index) const;  // EListError outside
    void Clear() { FItems.clear(); }

private:
    std::vector<TrpObjectItem> FItems;
};
TrpObjectCollection& rpObjects();

struct TrpComponentEditorItem {
    TClass ComponentClass = nullptr;
    TrpComponentEditorClass ComponentEditor = nullptr;
};

class TrpComponentEditorCollection {
public:
    void Register(TClass ComponentClass, TrpComponentEditorClass ComponentEditor);
    // An editor of the class registered for the component's own class (first such item),
    // else of the last item whose class the component inherits from; none otherwise.
    std::unique_ptr<TrpComponentEditor> GetComponentEditor(TComponent* Component, TrpCustomDesigner* Designer,
                                                           TMenu* Menu) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }

private:
    std::vector<TrpComponentEditorItem> FItems;
};
TrpComponentEditorCollection& rpComponentEditors();

struct TrpPropertyEditorItem {
    const TTypeInfo* PropertyType = nullptr;
    TClass ComponentClass = nullptr;
    AnsiString PropertyName;
    TrpPropertyEditorClass EditorClass = nullptr;  // none: the property is hidden
};

class TrpPropertyEditorCollection {
public:
    void Register(const TTypeInfo* PropertyType, TClass ComponentClass, const AnsiString& PropertyName,
                  TrpPropertyEditorClass EditorClass);
    void RegisterEventEditor(TrpPropertyEditorClass EditorClass);
    // The index of the item that decides the editor of a property, or -1.
    int GetPropertyEditor(const TTypeInfo* PropertyType, const TObject* Obj, const AnsiString& PropertyName) const;
    const TrpPropertyEditorItem& GetItem(int Index) const;  // EListError outside
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear();
    int EventEditorIndex = -1;

private:
    std::vector<TrpPropertyEditorItem> FItems;
};
TrpPropertyEditorCollection& rpPropertyEditors();

struct TrpWizardItem {
    TClass ClassRef = nullptr;
    TBitmap* ButtonBmp = nullptr;  // not owned
    int ButtonImageIndex = -1;
    bool IsToolbarWizard = false;
};

class TrpWizardCollection {
public:
    void Register(TClass ClassRef, TBitmap* ButtonBmp, bool IsToolbarWizard = false);  // a class once
    void Unregister(TClass ClassRef);
    const TrpWizardItem& GetWizardItem(int Index) const;  // EListError outside
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }

private:
    std::vector<TrpWizardItem> FItems;
};
TrpWizardCollection& rpWizards();

// Leaves the properties named in Names (separated by ";") out of the property lists of
// ComponentClass and its descendants.
void rpHideProperties(TClass ComponentClass, const AnsiString& Names);

// The eight standard property editors (start-up), and emptying every registry but the
// export filters (shutdown).
void rpRegisterDesignTime();
void rpUnregisterDesignTime();

// ---------------------------------------------------------------- property editors

class TrpPropertyEditor : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpPropertyEditor, TObject)
public:
    explicit TrpPropertyEditor(TrpCustomDesigner* ADesigner);
    ~TrpPropertyEditor() override;

    // With a value list: sets the value after the current one (the first after the last);
    // false when the list is empty.
    virtual bool Edit();
    virtual TrpPropertyAttributes GetAttributes();
    virtual AnsiString GetName();
    virtual int GetExtraLBSize();
    virtual AnsiString GetValue();
    // Fills Values (the base empties it, sorted when paSortList).
    virtual void GetValues();
    virtual void SetValue(const AnsiString& Value);
    virtual void OnDrawLBItem(TCanvas* Canvas, int Index, const TRect& ARect);
    virtual void OnDrawItem(TCanvas* Canvas, const TRect& ARect);

    // The edited objects and their property descriptions, position by position.
    void Add(TObject* Obj, const TPropInfo* Prop);
    TObject* GetComponent() const { return CompList.empty() ? nullptr : CompList.front(); }
    TrpComponent* GetfrComponent() const { return dynamic_cast<TrpComponent*>(GetComponent()); }
    const TPropInfo* GetPropInfo() const { return PropList.empty() ? nullptr : PropList.front(); }

    int64_t GetOrdValue() const;
    void SetOrdValue(int64_t Value);
    Extended GetFloatValue() const;
    void SetFloatValue(Extended Value);
    AnsiString GetStrValue() const;
    void SetStrValue(const AnsiString& Value);
    Variant GetVarValue() const;
    void SetVarValue(const Variant& Value);
    TObject* GetObjValue() const;
    void SetObjValue(TObject* Value);

    TrpCustomDesigner* Designer;
    std::vector<TObject*> CompList;
    std::vector<const TPropInfo*> PropList;
    int ItemHeight = 16;
    std::unique_ptr<TStringList> Values;

protected:
    [[noreturn]] static void InvalidValue();
};

#define RP_PROPERTY_EDITOR(Name)                                          \
    class Name : public TrpPropertyEditor {                               \
        SKLAD_CLASS_NOPUBLISH(Name, TrpPropertyEditor)                    \
    public:                                                               \
        using TrpPropertyEditor::TrpPropertyEditor;                       \
        TrpPropertyAttributes GetAttributes() override;                   \
        AnsiString GetValue() override;                                   \
        void SetValue(const AnsiString& Value) override;

RP_PROPERTY_EDITOR(TrpIntegerProperty)
};
RP_PROPERTY_EDITOR(TrpFloatProperty)
};
RP_PROPERTY_EDITOR(TrpCharProperty)
};
RP_PROPERTY_EDITOR(TrpStringProperty)
};
RP_PROPERTY_EDITOR(TrpEnumProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpSetProperty)
};
RP_PROPERTY_EDITOR(TrpSetElementProperty)
    AnsiString GetName() override;
    void GetValues() override;
    int Element = 0;  // the member this editor stands for
};
RP_PROPERTY_EDITOR(TrpClassProperty)
};
RP_PROPERTY_EDITOR(TrpComponentProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpNameProperty)
};
RP_PROPERTY_EDITOR(TrpColorProperty)
    void GetValues() override;
    bool Edit() override;  // the colour dialog
    void OnDrawLBItem(TCanvas* Canvas, int Index, const TRect& ARect) override;
    void OnDrawItem(TCanvas* Canvas, const TRect& ARect) override;
};
RP_PROPERTY_EDITOR(TrpFontProperty)
    bool Edit() override;  // the font dialog
};
RP_PROPERTY_EDITOR(TrpFontNameProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpFontCharsetProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpModalResultProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpShortCutProperty)
    void GetValues() override;
};
RP_PROPERTY_EDITOR(TrpCursorProperty)
    void GetValues() override;
};
#undef RP_PROPERTY_EDITOR

// ---------------------------------------------------------------- component editor

class TrpComponentEditor : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpComponentEditor, TObject)
public:
    TrpComponentEditor(TComponent* AComponent, TrpCustomDesigner* ADesigner, TMenu* AMenu)
        : Component(AComponent), Designer(ADesigner), Menu(AMenu)
    {
    }
    virtual bool Edit() { return false; }
    virtual bool HasEditor() { return false; }
    virtual void GetMenuItems() {}
    virtual bool Execute(int /*Tag*/, bool /*Checked*/) { return false; }
    // A new item of Menu (owned by it) with that caption, tag and check mark.
    TMenuItem* AddItem(const AnsiString& Caption, int Tag, bool Checked);

    TComponent* Component;
    TrpCustomDesigner* Designer;
    TMenu* Menu;
};

// The editor of a report on a form: editing it opens the report's designer.
class TrpReportEditor : public TrpComponentEditor {
    SKLAD_CLASS_NOPUBLISH(TrpReportEditor, TrpComponentEditor)
public:
    using TrpComponentEditor::TrpComponentEditor;
    bool Edit() override;
    bool HasEditor() override { return true; }
};

// ---------------------------------------------------------------- property lists

class TrpPropertyList;

class TrpPropertyItem {
public:
    std::unique_ptr<TrpPropertyEditor> Editor;
    std::unique_ptr<TrpPropertyList> SubProperty;  // set members or a sub-object's properties
};

class TrpPropertyList {
public:
    explicit TrpPropertyList(TrpCustomDesigner* ADesigner) : Designer(ADesigner) {}
    // Empties the list and fills it for the object.
    void SetComponent(TObject* Value);
    TrpPropertyItem* Add();
    TrpPropertyItem* GetPropertyItem(int Index) const;  // EListError outside
    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    // Keeps the items that Other has too (same name and type kind) and that allow multi-select.
    void FillCommonProperties(TrpPropertyList* Other);
    // Adds Other's objects and property descriptions to these editors, each to the editor
    // of the property of the same name and kind.
    void AddProperties(TrpPropertyList* Other);
    // The item of that name (ignoring case), or none.
    TrpPropertyItem* Find(const AnsiString& Name) const;

    TObject* Component = nullptr;
    TrpCustomDesigner* Designer;
    TrpPropertyList* Parent = nullptr;

private:
    void FillProperties(TObject* Obj);
    std::vector<std::unique_ptr<TrpPropertyItem>> FItems;
};

// One list for several selected objects (none for an empty selection): the properties
// every object has and that allow multi-select; its editors write to all of them.
std::unique_ptr<TrpPropertyList> rpCreatePropertyList(const std::vector<TObject*>& Objects,
                                                      TrpCustomDesigner* Designer);

// The names the font-name editor offers: the fonts the program's font table knows.
void rpGetFontNames(TStrings* List);
