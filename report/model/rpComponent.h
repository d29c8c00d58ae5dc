// rpComponent.h - the report component tree: TrpComponent, TrpReportComponent, TrpPage.
//
// Every object of a template (report, pages, bands, views, datasets) is a TrpComponent: a
// named component in a tree of parents and children, with a rectangle in report units
// (pixels at 96 per inch, 80-bit floats) and a font. Two relations hold at once:
//   - Parent/Objects: the tree the engine and the XML walk. A parent frees its children.
//   - Owner (TComponent): the report, for names and for the form reader. An object made
//     with another report object as AOwner is owned by that object's report and becomes
//     that object's child; freeing it removes it from both lists.
// Names are unique within a report, ignoring case ("prDupl" otherwise).
//
// Subclasses tell the tree what they are through a few virtual questions (IsBand,
// GetAlign, ...), so this layer needs none of the page, band and view classes built on it.
//
// Not here: the report itself (TrpCustomReport in rpReportBase.h is the part this layer
// needs; TrpReport builds on it), drawing, the engine.
#pragma once

#include "report/model/rpXML.h"

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"

#include <vector>

class TrpCustomReport;
class TrpPage;
class TrpXMLSerializer;

using Extended = long double;

SKLAD_ENUM(TrpRestriction, rfDontModify, rfDontSize, rfDontMove, rfDontDelete)
using TrpRestrictions = TSet<TrpRestriction>;
SKLAD_SET(TrpRestrictions, TrpRestriction)
SKLAD_ENUM(TrpAlign, baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient)

struct TrpRect {
    Extended Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TrpPoint {
    Extended X = 0, Y = 0;
};

// Character set given to new fonts of report objects (1, the default character set).
extern TFontCharset rpCharset;

// Two positions or sizes differ when they are more than 0.0001 apart.
bool FloatsDiffer(Extended A, Extended B);
// A shift state as the integer scripts get: Shift 1, Alt 2, Ctrl 4, left 8, right 16,
// middle 32, double click 64.
int ShiftStateToInt(TShiftState Shift);

class TrpComponent : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TrpComponent, TComponent)
public:
    // The TComponent owner is AOwner's report when AOwner is a report object (none when it
    // has no report), else AOwner; a report-object AOwner also becomes the parent.
    explicit TrpComponent(TComponent* AOwner);
    // The same, marking the object as being edited (Flags have no meaning here).
    TrpComponent(TComponent* AOwner, uint16_t Flags);
    ~TrpComponent() override;

    // ---- tree
    TrpComponent* Parent() const { return FParent; }
    TrpComponent* GetParent() const { return FParent; }
    // Moves the object under another parent (appended last). Raises EInvalidOperation when
    // AParent is the object itself or one of its descendants.
    virtual void SetParent(TrpComponent* AParent);
    const std::vector<TrpComponent*>& Objects() const { return FObjects; }
    int ObjectCount() const { return static_cast<int>(FObjects.size()); }
    TrpComponent* Object(int Index) const;  // EListError outside the range
    // Frees every child.
    virtual void Clear();
    // Every descendant, depth first, parents before children (a fresh list each call).
    std::vector<TrpComponent*> GetAllObjects() const;
    // The children and all descendants as the lists scripts read: refilled on every call,
    // owned by this object; changing them changes nothing in the tree.
    TList* GetObjectsList();
    TList* GetAllObjectsList();
    TrpComponent* FindObject(std::string_view AName) const;
    bool IsDescendantOf(const TrpComponent* Ancestor) const;
    TrpPage* GetPage() const;
    TrpCustomReport* GetReport() const;
    bool GetIsLoading() const { return IsLoading || Loading(); }

    // ---- geometry and appearance
    Extended GetLeft() const { return FLeft; }
    Extended GetTop() const { return FTop; }
    Extended GetWidth() const { return FWidth; }
    Extended GetHeight() const { return FHeight; }
    virtual void SetLeft(Extended Value);
    virtual void SetTop(Extended Value);
    virtual void SetWidth(Extended Value);
    virtual void SetHeight(Extended Value);
    void SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight);
    Extended GetAbsLeft() const;
    Extended GetAbsTop() const;
    TFont* GetFont() const { return FFont.get(); }
    virtual void SetFont(TFont* Value);  // copies; clears ParentFont
    bool GetParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool Value);
    bool IsFontStored() const { return !FParentFont; }
    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    TrpRestrictions GetRestrictions() const { return Restrictions; }
    void SetRestrictions(TrpRestrictions Value) { Restrictions = Value; }
    int GetGroupIndex() const { return GroupIndex; }
    void SetGroupIndex(int Value) { GroupIndex = Value; }
    // Places the children that are views by their Align (pages override).
    virtual void AlignChildren();

    // ---- names
    void SetName(const AnsiString& NewName) override;
    void CreateUniqueName();
    // The stem of generated names: BaseName when set, else DefaultBaseName.
    AnsiString GetBaseName() const;
    // The class name without the first "Trp" and the first "View" (TrpMemoView gives "Memo").
    virtual AnsiString DefaultBaseName() const;
    virtual AnsiString GetDescription() const { return ClassName(); }

    // ---- hooks
    virtual void BeforeStartReport() {}
    virtual void OnNotify(TObject* /*Sender*/) {}

    // ---- copies and streams (XML, see rpXMLSerializer.h)
    virtual void SaveToStream(TStream& Stream, bool SaveChildren = true, bool SaveDefaultValues = false);
    // Parses the whole document first: malformed XML, data cut short and, for a report, the
    // file of another kind of object raise and leave this object as it was. Then the
    // children are replaced by those read; errors of single elements or values go to the
    // report's Errors.
    virtual void LoadFromStream(TStream& Stream);
    void Assign(TPersistent* Source) override;  // without children
    void AssignAll(TrpComponent* Source);       // with children

    // ---- difference text (prepared pages)
    virtual AnsiString Diff(TrpComponent* AObj);
    AnsiString InternalDiff(TrpComponent* AObj);
    static AnsiString DiffFont(TFont* F1, TFont* F2, const AnsiString& Add);
    AnsiString AllDiff(TrpComponent* AObj);

    // ---- what a subclass is, for the rules of this layer
    virtual bool IsBand() const { return false; }           // bands: InternalDiff always writes t
    virtual bool IsView() const { return false; }
    virtual TrpAlign GetAlign() const { return baNone; }     // views: their Align
    virtual bool HasAutoWidth() const { return false; }     // memos with AutoWidth: no w in diffs
    virtual bool IsDialogPage() const { return false; }     // absolute positions stop here
    // The compact page-object attribute "x" (memo views set their text; others ignore it).
    virtual void SetCompactText(const AnsiString& /*Value*/) {}

    // ---- form-resource streaming
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return this; }
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override { return FParent; }
    bool HasParent() const override { return FParent != nullptr; }

    // Public state, as the engine and the serializer use it.
    int GroupIndex = 0;
    bool IsDesigning = false;
    bool IsLoading = false;
    bool IsPrinting = false;
    bool IsWriting = false;
    bool FullDiff = false;
    TrpRestrictions Restrictions;
    AnsiString AliasName;
    AnsiString BaseName;  // empty: taken from the class name (see GetBaseName)
    TrpComponent* OriginalComponent = nullptr;
    TrpRect OriginalRect;  // Left, Top, Width, Height saved by BeforePrint

protected:
    // The font's change event: the object's own font from now on, and the children that
    // take their parent's font follow.
    virtual void FontChanged(TObject* Sender);
    void ChangeName(const AnsiString& NewName) override;
    Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;

private:
    // On a report: the names of every object of its tree, made on the first name lookup
    // and kept up to date by every rename, move and free from then on, so naming and
    // finding objects does not walk the whole tree per name.
    struct TNameIndex;
    TNameIndex* NameIndex() const;
    static TNameIndex* IndexOver(const TrpComponent* C);
    void IndexSubtree(TNameIndex* Index, bool Add);
    mutable std::unique_ptr<TNameIndex> FNameIndex;
    void Init(TComponent* AOwner);
    void AlignChild(TrpComponent* View, int I, const std::vector<TrpComponent*>& Sorted);
    TrpComponent* FParent = nullptr;
    std::vector<TrpComponent*> FObjects;  // owned
    std::unique_ptr<TList> FObjectsList, FAllObjectsList;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = false;
};

// What the engine needs of every printable object.
class TrpReportComponent : public TrpComponent {
    SKLAD_CLASS_NOPUBLISH(TrpReportComponent, TrpComponent)
public:
    explicit TrpReportComponent(TComponent* AOwner);
    TrpReportComponent(TComponent* AOwner, uint16_t Flags);

    virtual void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) = 0;
    virtual void BeforePrint();  // saves the rectangle in OriginalRect
    virtual void GetData() {}
    virtual void AfterPrint();   // puts the saved rectangle back
    virtual AnsiString GetComponentText() { return {}; }

    // Script procedure names (published by the views).
    AnsiString OnAfterData;
    AnsiString OnAfterPrint;
    AnsiString OnBeforePrint;
    AnsiString OnPreviewClick;
};

// The base of report and dialog pages; adds nothing of its own.
class TrpPage : public TrpComponent {
    SKLAD_CLASS_NOPUBLISH(TrpPage, TrpComponent)
public:
    using TrpComponent::TrpComponent;
};
