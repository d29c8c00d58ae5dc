// ComCtrls.h - tree view, tool bar, status bar, progress bar, up-down, date picker and
// month calendar.
//
// Tree view: nodes are held by TTreeNodes in display order (a node's children right after
// it), which is what the absolute index counts. Setting Selected from code fires OnChanging
// (which may refuse) and OnChange, as the user's choice does; unselecting fires OnChange
// with no node. Deleting the selected node selects its next sibling, else its previous
// sibling, else its parent (OnChange once); clearing the tree selects nothing.
#pragma once

#include "platform/gui/Controls.h"

#include "platform/rtl/SysUtils.h"

class TTreeView;
class TTreeNodes;
class TToolBar;
class TCustomImageList;
class TChangeLink;

// ---------------------------------------------------------------- tree view

class TTreeNode : public TPersistent {
    SKLAD_CLASS_NOPUBLISH(TTreeNode, TPersistent)
public:
    const AnsiString& GetText() const { return FText; }
    void SetText(const AnsiString& value);
    void* GetData() const { return FData; }
    void SetData(void* value) { FData = value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int GetSelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int value) { FSelectedIndex = value; }

    TTreeNode* GetParent() const { return FParent; }
    int Count() const { return int(FChildren.size()); }
    bool HasChildren() const { return !FChildren.empty(); }
    TTreeNode* Item(int index) const;
    TTreeNode* operator[](int index) const { return Item(index); }
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in display order (first child, else next sibling, else up).
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    int Index() const;          // among its siblings
    int AbsoluteIndex() const;  // among all nodes in display order
    int Level() const;          // 0 for top-level nodes
    TTreeNodes* Owner() const { return FOwner; }
    TTreeView* TreeView() const;

    bool GetExpanded() const { return FExpanded; }
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool GetSelected() const;
    // Selecting a node from code fires the tree's OnChange.
    void SetSelected(bool value);
    bool GetFocused() const { return GetSelected(); }
    bool IsVisible() const;     // all parents expanded
    // Removes the node and its children.
    void Delete();
    void DeleteChildren();
    void MakeVisible();
    bool IsFirstNode() const;

private:
    friend class TTreeNodes;
    explicit TTreeNode(TTreeNodes* owner) : FOwner(owner) {}
    // The node and all below it in display order.
    std::vector<TTreeNode*> Subtree();
    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    std::vector<TTreeNode*> FChildren;
    // The node's place in the owner's display order, set whenever that order is laid out.
    mutable int FAbsoluteIndex = -1;
    size_t FStoreIndex = 0;  // the slot in the owner's store that owns the node
    mutable size_t FIndex = 0;  // the place among its siblings when last read
    AnsiString FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    bool FExpanded = false;
};

class TTreeNodes : public TPersistent {
    SKLAD_CLASS_NOPUBLISH(TTreeNodes, TPersistent)
public:
    explicit TTreeNodes(TTreeView* owner);
    ~TTreeNodes() override;
    int Count() const { return int(FStore.size()); }
    int GetCount() const { return Count(); }
    // The node at an absolute index (display order); nullptr outside the range.
    TTreeNode* Item(int index) const;
    TTreeNode* operator[](int index) const { return Item(index); }
    TTreeNode* GetFirstNode() const { return FTop.empty() ? nullptr : FTop.front(); }

    // A new last sibling of `sibling` (nullptr: a new last top-level node).
    TTreeNode* Add(TTreeNode* sibling, const AnsiString& text);
    TTreeNode* AddObject(TTreeNode* sibling, const AnsiString& text, void* data);
    // A new sibling before `sibling` (nullptr: last top-level node).
    TTreeNode* Insert(TTreeNode* sibling, const AnsiString& text);
    // A new first child of `parent` (nullptr: first top-level node).
    TTreeNode* AddChildFirst(TTreeNode* parent, const AnsiString& text);
    TTreeNode* AddChildObjectFirst(TTreeNode* parent, const AnsiString& text, void* data);
    // A new last child of `parent` (nullptr: last top-level node).
    TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
    TTreeNode* AddChildObject(TTreeNode* parent, const AnsiString& text, void* data);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    TTreeView* Owner() const { return FOwner; }
    const std::vector<TTreeNode*>& List() const { return Flat(); }
    int IndexOf(const TTreeNode* node) const;
    void Assign(TPersistent* source) override;
    // While the view hears of a change of the nodes outside an update, whether it was one
    // node alone, so that a tree filled or renamed one node at a time is shown a node at a
    // time, not whole again per node:
    //   Attached()  the node added (at AttachedIndex() among its siblings), else nullptr;
    //   Altered()   the node whose text, image or expansion changed, else nullptr.
    TTreeNode* Attached() const { return FHint.Added ? FHint.Node : nullptr; }
    int AttachedIndex() const { return FHint.Added ? FHint.Index : -1; }
    TTreeNode* Altered() const { return FHint.Added ? nullptr : FHint.Node; }

private:
    friend class TTreeNode;
    TTreeNode* Attach(TTreeNode* parent, int childIndex, const AnsiString& text, void* data);
    // Removes every child of `parent` (and all below them) in one pass.
    void DeleteChildren(TTreeNode* parent);
    // Frees the detached `roots` and every node below them, in one pass over the store.
    void Free(std::vector<TTreeNode*> roots);
    // Every node in display order, laid out again only when it is read after a change: a
    // tree filled one node at a time costs its size, not its square.
    const std::vector<TTreeNode*>& Flat() const;
    struct THint {
        TTreeNode* Node = nullptr;
        int Index = -1;
        bool Added = false;
    };
    // Tells the view, outside an update, with what the change was if it was one node.
    void NodesChanged(const THint& hint);
    void NodesChanged();
    TTreeView* FOwner;
    std::vector<TTreeNode*> FTop;   // top-level nodes
    mutable std::vector<TTreeNode*> FList;  // every node, display order, while not FStale
    mutable bool FStale = false;
    std::vector<std::unique_ptr<TTreeNode>> FStore;
    int FUpdateCount = 0;
    THint FHint;
};

using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
SKLAD_EVENT_TYPE(TTVChangedEvent)
using TTVChangingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
SKLAD_EVENT_TYPE(TTVChangingEvent)
// Same signature as TTVChangingEvent; published under its own name with .Type().
using TTVExpandingEvent = TTVChangingEvent;
using TTVEditingEvent = TTVChangingEvent;
using TTVEditedEvent = TEvent<void(TObject* Sender, TTreeNode* Node, AnsiString& S)>;
SKLAD_EVENT_TYPE(TTVEditedEvent)

SKLAD_ENUM(THitTest, htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent,
           htOnLabel, htOnRight, htOnStateIcon, htToLeft, htToRight)

class TTreeView : public TWinControl {
    SKLAD_CLASS(TTreeView, TWinControl)
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;

    TTreeNodes* GetItems() const { return FItems.get(); }
    void SetItems(TTreeNodes* value) { FItems->Assign(value); }
    TTreeNode* GetSelected() const { return FSelected; }
    // Fires OnChanging (which may refuse) and OnChange when the selection changes.
    void SetSelected(TTreeNode* value);
    TTreeNode* TopItem() const;
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    bool GetHideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    int GetIndent() const { return FIndent; }
    void SetIndent(int value);
    bool GetShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool value);
    bool GetShowLines() const { return FShowLines; }
    void SetShowLines(bool value);
    bool GetShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool value);
    bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool value);
    bool GetAutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool value) { FAutoExpand = value; }
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);

    void FullExpand();
    void FullCollapse();
    // The node whose row lies under a client point (rows of ItemHeight pixels for the
    // visible nodes from the top, scrolled by TopItem), or nullptr. Exact while the peer
    // reports its scrolling (UserScrolled).
    TTreeNode* GetNodeAt(int x, int y) const;
    // The client rectangle of a visible node's row.
    TRect NodeRect(const TTreeNode* node) const;
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandingEvent OnCollapsing;
    TTVChangedEvent OnExpanded;
    TTVChangedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;

    // The user clicked a node: it becomes selected (OnChanging/OnChange), then OnClick.
    bool UserSelectedNode(TTreeNode* node);
    // The user expanded or collapsed a node.
    bool UserExpanded(TTreeNode* node, bool expanded);
    // The user finished editing a node's text (refused when read-only): OnEdited may
    // change or veto it.
    bool UserEdited(TTreeNode* node, const AnsiString& text);
    // The view scrolled: the visible row `topIndex` (counting visible nodes in display
    // order from 0) is now the top one. Kept within the visible rows. No event runs, and
    // it is taken even from a blocked form: it reports what the view shows, not a wish.
    bool UserScrolled(int topIndex);
    // The visible row at the top of the view.
    int TopIndex() const { return FTopIndex; }

protected:
    TPoint ContextMenuPoint() const override;
    friend class TTreeNodes;
    friend class TTreeNode;
    void NodeDeleting(TTreeNode* node);
    void NodesChanged();

private:
    // The nodes shown as rows (all their parents expanded), in display order.
    std::vector<TTreeNode*> VisibleNodes() const;

    std::unique_ptr<TTreeNodes> FItems;
    TTreeNode* FSelected = nullptr;
    bool FReadOnly = false;
    bool FHideSelection = true;
    int FIndent = 19;
    bool FShowButtons = true, FShowLines = true, FShowRoot = true, FRowSelect = false, FAutoExpand = false;
    TBorderStyle FBorderStyle = bsSingle;
    int FItemHeight = 16;
    int FTopIndex = 0;
};

// ---------------------------------------------------------------- tool bar

class TToolButton : public TGraphicControl {
    SKLAD_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* AOwner);
    TToolButtonStyle GetStyle() const { return FStyle; }
    void SetStyle(TToolButtonStyle value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    bool GetDown() const { return FDown; }
    void SetDown(bool value);
    bool GetGrouped() const { return FGrouped; }
    void SetGrouped(bool value) { FGrouped = value; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    TPopupMenu* GetDropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* value);
    bool GetWrap() const { return FWrap; }
    void SetWrap(bool value);
    TToolBar* ToolBar() const;
    // Check buttons toggle Down (a grouped one releases its group), then OnClick.
    void Click() override;
    // The tool bar's image list or its caption display changed: the peer redraws.
    void ImagesChanged() { Changed(TControlChange::Image | TControlChange::Style); }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    bool FAllowAllUp = false;
    bool FWrap = false;
    TComponentRef<TPopupMenu> FDropdownMenu{this};
};

// Lays its controls out in one row from the left (wrapping when Wrapable), each button
// ButtonWidth x ButtonHeight, separators their own width.
class TToolBar : public TWinControl {
    SKLAD_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    int GetButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int value);
    int GetButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool value);
    bool GetShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool value);
    bool GetWrapable() const { return FWrapable; }
    void SetWrapable(bool value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    // The pictures of the buttons, by each button's ImageIndex. A button without a
    // picture (no list, or an index outside it) shows its caption instead.
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* value);
    ~TToolBar() override;

protected:
    // Places the controls in rows from the left, in order of their Left.
    void ArrangeChildren(TRect& rect) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void ImageListChange(TObject* Sender);
    void ButtonsChanged();
    TComponentRef<TCustomImageList> FImages{this};
    std::unique_ptr<TChangeLink> FImageChangeLink;
    int FButtonWidth = 23, FButtonHeight = 22;
    bool FFlat = false, FShowCaptions = false, FWrapable = true, FAutoSize = false;
    int FBorderWidth = 0;
    bool FArranging = false;
};

// ---------------------------------------------------------------- status bar

class TStatusPanel : public TCollectionItem {
    SKLAD_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* collection);
    const AnsiString& GetText() const { return FText; }
    void SetText(const AnsiString& value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TStatusPanelStyle GetStyle() const { return FStyle; }
    void SetStyle(TStatusPanelStyle value);
    void Assign(TPersistent* source) override;

private:
    AnsiString FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelStyle FStyle = psText;
};

class TStatusBar;

class TStatusPanels : public TCollection {
    SKLAD_CLASS_NOPUBLISH(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* owner);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* operator[](int index) const { return Items(index); }
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* FBar;
};

class TStatusBar : public TWinControl {
    SKLAD_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    TStatusPanels* GetPanels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* value) { FPanels->Assign(value); }
    bool GetSimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool value);
    const AnsiString& GetSimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& value);
    bool GetSizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool value) { FSizeGrip = value; }

private:
    friend class TStatusPanels;
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    bool FSizeGrip = true;
};

// ---------------------------------------------------------------- progress, up-down

class TProgressBar : public TWinControl {
    SKLAD_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);
    int GetMin() const { return FMin; }
    void SetMin(int value);
    int GetMax() const { return FMax; }
    void SetMax(int value);
    // Kept within Min..Max.
    int GetPosition() const { return FPosition; }
    void SetPosition(int value);
    int GetStep() const { return FStep; }
    void SetStep(int value) { FStep = value; }
    TProgressBarOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation value);
    bool GetSmooth() const { return FSmooth; }
    void SetSmooth(bool value);
    void StepIt();
    void StepBy(int delta);

private:
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    TProgressBarOrientation FOrientation = pbHorizontal;
    bool FSmooth = false;
};

using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
SKLAD_EVENT_TYPE(TUDClickEvent)
// Same signature as TCloseQueryEvent; published under its own name with .Type().
using TUDChangingEvent = TCloseQueryEvent;

// Steps a number; with an Associate edit, the edit shows the position.
class TUpDown : public TWinControl {
    SKLAD_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* AOwner);
    int GetMin() const { return FMin; }
    void SetMin(int value);
    int GetMax() const { return FMax; }
    void SetMax(int value);
    int GetPosition() const { return FPosition; }
    void SetPosition(int value);
    int GetIncrement() const { return FIncrement; }
    void SetIncrement(int value) { FIncrement = value; }
    bool GetWrap() const { return FWrap; }
    void SetWrap(bool value) { FWrap = value; }
    TUDOrientation GetOrientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation value);
    TUDAlignButton GetAlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton value) { FAlignButton = value; }
    bool GetThousands() const { return FThousands; }
    void SetThousands(bool value) { FThousands = value; }
    TWinControl* GetAssociate() const { return FAssociate; }
    void SetAssociate(TWinControl* value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    // The user pressed the up (btNext) or down (btPrev) arrow.
    bool UserStepped(TUDBtnType button);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    bool StepForBuddy(TWinControl* buddy, Word key) override;
    void KeyDown(Word& key, TShiftState shift) override;

private:
    // The arrow a key works: Up the next, Down the previous, in either orientation;
    // false for any other key.
    static bool ArrowOfKey(Word key, TUDBtnType& button);
    void UpdateAssociate();
    // Takes the number the associate edit shows as the position (clamped), when it is one.
    void SyncFromAssociate();
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false, FThousands = true;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    TComponentRef<TWinControl> FAssociate{this};
};

// ---------------------------------------------------------------- dates

// A date (or time) field with a drop-down calendar. Setting Date from code fires
// nothing; the user's choice fires OnChange.
class TDateTimePicker : public TWinControl {
    SKLAD_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    TDateTime GetDateTime() const { return FDateTime; }
    void SetDateTime(TDateTime value);
    // The date part; setting it keeps the time of day.
    TDateTime GetDate() const;
    void SetDate(TDateTime value);
    TDateTime GetTime() const;
    void SetTime(TDateTime value);
    TDateTimeKind GetKind() const { return FKind; }
    void SetKind(TDateTimeKind value);
    TDTDateFormat GetDateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat value);
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool value);
    bool GetShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool value);
    TDateTime GetMinDate() const { return FMinDate; }
    void SetMinDate(TDateTime value) { FMinDate = value; }
    TDateTime GetMaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime value) { FMaxDate = value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnDropDown;

    // The user picked a date (time of day kept for dtkDate).
    bool UserPicked(TDateTime value);

private:
    TDateTime FDateTime;
    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    bool FChecked = true, FShowCheckbox = false;
    TDateTime FMinDate, FMaxDate;
};

// A month calendar. Clicking a day sets Date and fires OnClick.
class TMonthCalendar : public TWinControl {
    SKLAD_CLASS(TMonthCalendar, TWinControl)
public:
    explicit TMonthCalendar(TComponent* AOwner);
    TDateTime GetDate() const { return FDate; }
    void SetDate(TDateTime value);
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value) { FMultiSelect = value; }
    bool GetWeekNumbers() const { return FWeekNumbers; }
    void SetWeekNumbers(bool value);

    TNotifyEvent OnChange;
    TNotifyEvent OnGetMonthInfo;

    // The user clicked a day: Date follows, OnChange when it changed, then OnClick.
    bool UserPicked(TDateTime value);

private:
    TDateTime FDate;
    bool FMultiSelect = false, FWeekNumbers = false;
};
