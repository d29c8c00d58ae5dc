// Classes.h - the component model and the basic containers: TPersistent, TComponent,
// TList, TStrings/TStringList, TCollection/TCollectionItem, and the common event types.
//
// Ownership follows the component model: a component created with an owner is destroyed
// by that owner (last created first); one created without an owner belongs to whoever
// holds it (a std::unique_ptr). References to components one does not own are cleared
// through FreeNotification/Notification. A collection owns its items; deleting an item
// removes it from its collection.
//
// Names of components are identifiers (letters, digits and '_', not starting with a
// digit) and unique among the components of one owner, compared ignoring case.
//
// Text containers compare without regard to case through the CP1251 tables of
// platform/rtl (AnsiCompareText), unless CaseSensitive is set.
#pragma once

#include "platform/classes/CountedSeq.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"

#include <functional>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

// ---------------------------------------------------------------- common event types

SKLAD_ENUM(TShiftStateElement, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateElement>;
SKLAD_SET(TShiftState, TShiftStateElement)
SKLAD_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
SKLAD_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
SKLAD_EVENT_TYPE(TMouseEvent)
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
SKLAD_EVENT_TYPE(TMouseMoveEvent)
using TKeyEvent = TEvent<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
SKLAD_EVENT_TYPE(TKeyEvent)
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
SKLAD_EVENT_TYPE(TKeyPressEvent)
using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
SKLAD_EVENT_TYPE(TCloseEvent)
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
SKLAD_EVENT_TYPE(TCloseQueryEvent)
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
SKLAD_EVENT_TYPE(TCanResizeEvent)

// ---------------------------------------------------------------- TPersistent

class TPersistent : public TObject {
    SKLAD_CLASS_NOPUBLISH(TPersistent, TObject)
public:
    // Copies Source into this object. The default asks Source->AssignTo(this), which
    // raises EConvertError "Cannot assign a %s to a %s" when neither side knows how.
    virtual void Assign(TPersistent* Source);
    // Properties stored in component streams beyond the published ones (TFiler.h).
    virtual void DefineProperties(TFiler* Filer);
    virtual TPersistent* GetOwner() const { return nullptr; }
    virtual AnsiString GetNamePath() const;

protected:
    virtual void AssignTo(TPersistent* Dest) const;
};

// ---------------------------------------------------------------- TComponent

SKLAD_ENUM(TComponentStateElement, csLoading, csReading, csWriting, csDestroying, csDesigning,
           csAncestor, csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = TSet<TComponentStateElement>;
SKLAD_SET(TComponentState, TComponentStateElement)
SKLAD_ENUM(TOperation, opInsert, opRemove)

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
    SKLAD_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    // Destruction runs in two steps, as on the platform. BeforeDestruction runs while the
    // whole object still stands (a form fires OnDestroy there) and marks it Destroying;
    // then the destructors run, the last of them telling the components that asked
    // (Notification opRemove). `delete` (by an owner, a std::unique_ptr or by hand) takes
    // both steps; a component that is not deleted (a local) gets only the destructors.
    virtual void BeforeDestruction();
    static void operator delete(TComponent* component, std::destroying_delete_t);

    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }
    AnsiString GetNamePath() const override { return FName; }

    const AnsiString& Name() const { return FName; }
    const AnsiString& GetName() const { return FName; }
    // Validates the name (an identifier, unique among the owner's components ignoring
    // case; EComponentError otherwise) and renames. An empty name is allowed.
    virtual void SetName(const AnsiString& NewName);
    int GetTag() const { return FTag; }
    void SetTag(int value) { FTag = value; }
    int Tag() const { return FTag; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const;  // EListError outside the range
    int ComponentIndex() const;               // position in the owner's list, -1 without owner
    // The owned component of that name (ignoring case), or nullptr.
    TComponent* FindComponent(std::string_view AName) const;

    void InsertComponent(TComponent* AComponent);  // takes ownership
    void RemoveComponent(TComponent* AComponent);  // gives ownership back to the caller
    void DestroyComponents();

    // Asks to be told (Notification opRemove) when AComponent is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    TComponentState ComponentState() const { return FComponentState; }
    bool Loading() const { return FComponentState.Contains(csLoading); }
    bool Designing() const { return FComponentState.Contains(csDesigning); }
    bool Destroying() const { return FComponentState.Contains(csDestroying); }
    void SetDesigning(bool value, bool setChildren = true);
    // Streaming hooks.
    virtual void Loaded();         // after all properties of the tree were read
    virtual void ReadState(TReader* Reader);
    virtual void WriteState(TWriter* Writer);
    // The components written as children of this one: by default, for the root of a
    // stream (Root == this), its owned components without a parent of their own.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    // Owner of the children read inside this component (nullptr: the root).
    virtual TComponent* GetChildOwner() { return nullptr; }
    // Parent of the children read inside this component (nullptr: this component).
    virtual TComponent* GetChildParent() { return this; }
    // Called by the reader for a child read inside this component (sets its parent).
    virtual void SetParentComponent(TComponent* /*Value*/) {}
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual bool HasParent() const { return false; }

    // Design position, streamed as the defined properties "Left"/"Top" when not zero.
    int32_t DesignLeft = 0;
    int32_t DesignTop = 0;
    void DefineProperties(TFiler* Filer) override;

    // For TReader/TWriter.
    void SetComponentState(TComponentStateElement e, bool on);

protected:
    virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
    virtual void ChangeName(const AnsiString& NewName) { FName = NewName; }
    // Tells the components that asked (Notification opRemove) and forgets them. The
    // destructor of TComponent does it; a derived destructor whose clients call back into
    // it (an image list's tool bars) does it first, while its own part still stands.
    void SendFreeNotifications();

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    TComponent* FOwner = nullptr;
    AnsiString FName;
    int FTag = 0;
    std::vector<TComponent*> FComponents;   // owned
    std::unordered_map<AnsiString, TComponent*> FNameIndex;  // upper-cased names of FComponents
    // Told of our destruction, and we of theirs. A link counts the requests on both sides, so
    // two components referring to each other (A.Child = B, B.Child = A) keep their link
    // until both references are dropped; the count is the same on both sides.
    struct TFreeLink {
        TComponent* Peer;
        int Uses;
    };
    std::vector<TFreeLink> FFreeNotifies;
    TFreeLink* FindFreeLink(TComponent* peer);
    void DropFreeLink(TComponent* peer);
    TComponentState FComponentState;
};

// True for identifiers as the platform understands them (ASCII letters, digits, '_').
bool IsValidIdent(std::string_view ident);

// Global lookup of forms and data modules by name ("Form2"); each provider is asked in
// turn. The gui layer registers the application's forms; tests may register their own.
using TFindGlobalComponent = std::function<TComponent*(std::string_view Name)>;
int RegisterFindGlobalComponentProc(TFindGlobalComponent proc);  // returns a cookie
void UnregisterFindGlobalComponentProc(int cookie);
TComponent* FindGlobalComponent(std::string_view Name);

// ---------------------------------------------------------------- TList

// A list of object references (not owned). Index errors raise EListError
// "List index out of bounds (%d)".
class TList : public TObject {
    SKLAD_CLASS_NOPUBLISH(TList, TObject)
public:
    TList() = default;
    int Add(TObject* Item);
    void Insert(int Index, TObject* Item);
    void Delete(int Index);
    int Remove(TObject* Item);  // index it had, or -1
    TObject* Extract(TObject* Item);
    int IndexOf(const TObject* Item) const;
    void Clear() { FItems.clear(); }
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Pack();  // drops nullptr entries
    void Sort(const std::function<int(TObject*, TObject*)>& Compare);
    TObject* First() const { return Get(0); }
    TObject* Last() const { return Get(Count() - 1); }
    int Count() const { return static_cast<int>(FItems.size()); }
    int GetCount() const { return Count(); }
    TObject* Get(int Index) const;
    void Put(int Index, TObject* Item);
    TObject* operator[](int Index) const { return Get(Index); }
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int value);
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    void Check(int Index) const;
    std::vector<TObject*> FItems;
};

// ---------------------------------------------------------------- TStrings

SKLAD_ENUM(TDuplicates, dupIgnore, dupAccept, dupError)

// Abstract list of strings with attached objects (not owned). Text joins lines with CR LF
// (each line followed by one); setting Text splits at CR LF, LF or CR.
class TStrings : public TPersistent {
    SKLAD_CLASS_NOPUBLISH(TStrings, TPersistent)
public:
    virtual int GetCount() const = 0;
    virtual AnsiString Get(int Index) const = 0;
    virtual void Put(int Index, const AnsiString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void InsertObject(int Index, const AnsiString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* AObject);
    virtual void AddStrings(const TStrings& Strings);
    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfName(const AnsiString& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    bool Equals(const TStrings& Strings) const;

    int Count() const { return GetCount(); }
    AnsiString Strings(int Index) const { return Get(Index); }
    AnsiString operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    // "Name=Value" lines: Names(i) is the part before the first '=', "" when there is none.
    AnsiString Names(int Index) const;
    AnsiString ValueFromIndex(int Index) const;
    AnsiString Values(const AnsiString& Name) const;
    // Sets the value of the line with that name; an empty value deletes the line.
    void SetValue(const AnsiString& Name, const AnsiString& Value);

    virtual AnsiString GetText() const;
    virtual void SetText(const AnsiString& Text);
    AnsiString Text() const { return GetText(); }
    // Items separated by ','; an item holding a blank, a control character, ',' or '"' is
    // written in double quotes with inner quotes doubled. Reading splits at ',' and at
    // blanks and control characters outside quotes.
    AnsiString GetCommaText() const;
    void SetCommaText(const AnsiString& Value);
    AnsiString CommaText() const { return GetCommaText(); }
    char Delimiter = ',';
    char QuoteChar = '"';
    AnsiString GetDelimitedText() const;
    void SetDelimitedText(const AnsiString& Value);

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

    // Files hold the CP1251 bytes as they are (the file name is converted for the system).
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName) const;
    virtual void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;

    void Assign(TPersistent* Source) override;
    // Streams its lines as the defined property "Strings" (a list of strings).
    void DefineProperties(TFiler* Filer) override;

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}
    virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
    void Error(const char* msg, int data) const;

private:
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
    SKLAD_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    AnsiString Get(int Index) const override;
    void Put(int Index, const AnsiString& S) override;  // EStringListError on a sorted list
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;  // EStringListError on a sorted list
    void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* AObject) override;
    // On a sorted list: the same list as adding the strings one by one, in n log n.
    void AddStrings(const TStrings& Strings) override;
    int IndexOf(const AnsiString& S) const override;
    // Binary search on a sorted list: true when found; Index is the position found or the
    // position where S would be inserted.
    virtual bool Find(const AnsiString& S, int& Index) const;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList&, int, int)>& Compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool Sorted() const { return FSorted; }
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    TDuplicates Duplicates() const { return FDuplicates; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    int CompareStrings(const AnsiString& S1, const AnsiString& S2) const override;
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item { AnsiString S; TObject* Obj = nullptr; };
    void InsertItem(int Index, const AnsiString& S, TObject* AObject);
    // AddStrings into an empty sorted list: false (nothing done) unless Strings come in order.
    bool AddInOrder(const TStrings& Strings);
    void Check(int Index) const;
    // A counted tree: an insert or delete anywhere (a sorted list filled in random order, a
    // list taken apart from its head) costs O(log n); reads in a row cost one step each.
    TCountedSeq<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};

// ---------------------------------------------------------------- TCollection

class TCollectionItem : public TPersistent {
    SKLAD_CLASS_NOPUBLISH(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;  // removes the item from its collection
    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    int ID() const { return FID; }
    virtual AnsiString GetDisplayName() const { return ClassName(); }
    TPersistent* GetOwner() const override;
    AnsiString GetNamePath() const override;

protected:
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// An ordered collection of items of one class, which it owns. Index errors raise
// EListError "List index out of bounds (%d)".
class TCollection : public TPersistent {
    SKLAD_CLASS_NOPUBLISH(TCollection, TPersistent)
public:
    explicit TCollection(TClass ItemClass, TPersistent* Owner = nullptr);
    ~TCollection() override;
    TCollectionItem* Add();             // a new item of ItemClass at the end
    TCollectionItem* Insert(int Index);
    void Delete(int Index);             // frees the item
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* GetItem(int Index) const { return Items(Index); }
    TCollectionItem* FindItemID(int ID) const;
    TClass ItemClass() const { return FItemClass; }
    TPersistent* GetOwner() const override { return FOwner; }
    AnsiString GetNamePath() const override;
    void Assign(TPersistent* Source) override;  // copies items through their Assign
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // Called after a change (nullptr: the whole collection); descendants override.
    virtual void Update(TCollectionItem* /*Item*/) {}
    // Name under which the owner publishes the collection (for GetNamePath).
    AnsiString PropName;
    template <class T>
    T* AddItem() { return static_cast<T*>(Add()); }

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void Changed();
    TClass FItemClass;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;  // owned
    int FNextID = 0;
    int FUpdateCount = 0;
};

// Registers the classes of this layer by name (TComponent, TStringList, TMemoryStream,
// ...). Called from the application's and the tests' start-up; safe to call twice.
void RegisterClassesUnit();
