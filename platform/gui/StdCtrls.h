// StdCtrls.h - the standard controls: label, edit, memo, combo box, list box, button,
// check box, radio button, group box.
//
// Event rules (the windows rely on them):
//   - setting Checked of a check box from code fires OnClick when the state changes
//     (either way); a radio button fires OnClick when it becomes checked, and unchecks
//     its siblings on the same parent without firing theirs;
//   - setting an edit's or memo's Text from code fires OnChange when the text changes;
//   - setting a combo box's Text or ItemIndex from code fires nothing; the user's
//     typing fires OnChange, the user's choice from the list OnChange then OnSelect;
//   - a list box fires OnClick when the user selects an item, not when code does.
#pragma once

#include "platform/gui/Controls.h"
#include "platform/classes/ComponentRef.h"

class TStringList;

// A string list that tells its control when it changes.
//
// While the control hears of a change, Inserted() says whether that change was one string
// inserted alone (its index), so that a list filled one Add at a time is shown one item at
// a time, not the whole list again per item; -1 for any other change.
class TControlItems : public TStringList {
    SKLAD_CLASS_NOPUBLISH(TControlItems, TStringList)
public:
    explicit TControlItems(std::function<void()> onChange = {});
    TControlItems(TCollection*) = delete;
    void SetNotify(std::function<void()> onChange) { FNotify = std::move(onChange); }
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
    int Inserted() const { return FInserted; }

protected:
    void Changed() override;
    void SetUpdateState(bool Updating) override;

private:
    std::function<void()> FNotify;
    struct TInsert {
        int At = -1;          // where the insert under way puts its string
        int CountAfter = -1;  // the count once it has
    };
    TInsert FInsert;
    int FInserted = -1;
};

class TCustomLabel : public TGraphicControl {
    SKLAD_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TWinControl* GetFocusControl() const { return FFocusControl.Get(); }
    void SetFocusControl(TWinControl* value);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    TComponentRef<TWinControl> FFocusControl{this};
};

class TLabel : public TCustomLabel {
    SKLAD_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner);
};

class TCustomEdit : public TWinControl {
    SKLAD_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    // Text (TControl::SetText) fires OnChange when it changes.
    char GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char value);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    TEditCharCase GetCharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TBevelKind GetBevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind value);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    bool GetAutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    bool GetModified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    int GetSelStart() const { return FSelStart; }
    void SetSelStart(int value);
    int GetSelLength() const { return FSelLength; }
    void SetSelLength(int value);
    AnsiString GetSelText() const;
    void SelectAll();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

    // The user replaced the text with `text` (a peer reports the whole new text).
    // Refused when read-only; cut to MaxLength; cased per CharCase; OnChange fires
    // when the text differs.
    bool UserTyped(const AnsiString& text);

protected:
    virtual void Change();
    void TextChanged() override;
    AnsiString AdjustText(const AnsiString& value) const override;
    void DefaultKeyPress(char key) override;
    // Applies MaxLength and CharCase to a text the user typed.
    AnsiString Filter(const AnsiString& text) const;
    // AutoSelect: the keys arriving by Tab, Shift+Tab, SetFocus or a form opening with the
    // focus here select the whole text, so that typing replaces it; a mouse click only
    // places the caret. The selection is made before OnEnter, which may change it.
    void DoEnter() override;
    void FocusRegained() override;
    // A click places the caret and drops the selection. The model knows no character
    // positions, so its caret goes to the end; a desktop widget puts it where the click was.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // A memo holds lines and never selects itself on entering.
    virtual bool MultiLine() const { return false; }

private:
    char FPasswordChar = 0;
    bool FReadOnly = false;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    TBorderStyle FBorderStyle = bsSingle;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    bool FAutoSelect = true;
    bool FModified = false;
    int FSelStart = 0, FSelLength = 0;
};

class TEdit : public TCustomEdit {
    SKLAD_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);
};

class TMemo : public TCustomEdit {
    SKLAD_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    // The text as lines; changing the lines changes Text (and fires OnChange).
    TStrings* GetLines() const { return FLines.get(); }
    void SetLines(TStrings* value);
    TScrollStyle GetScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // While the peer hears of a text change: the byte offset where the text kept before
    // ends, when the change only added text after it (a line added at the end), so the
    // widget can take the new part alone; -1 for any other change.
    int AppendedAt() const { return FAppendedAt; }

protected:
    void TextChanged() override;
    bool WantsKey(Word key) const override;
    bool MultiLine() const override { return true; }

private:
    void LinesChanged();
    bool LineAppended(int index);
    std::unique_ptr<TControlItems> FLines;
    bool FSyncing = false;
    // Text is exactly the lines joined by CR LF, so a line added at the end only adds
    // its break and itself to it. A text set whole (say "a" CR LF, kept as one line "a")
    // need not be, and the next change of the lines then builds the text again.
    bool FTextIsLines = true;
    int FAppendedAt = -1;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    TAlignment FAlignment = taLeftJustify;
};

class TCustomComboBox : public TWinControl {
    SKLAD_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* GetItems() const { return FItems.get(); }
    // While the control's peer hears of an items change: the index of the one string
    // inserted, or -1 (see TControlItems).
    int InsertedItem() const { return FItems->Inserted(); }
    void SetItems(TStrings* value);
    // Setting Text or ItemIndex from code fires nothing. ItemIndex -1 = no item; Text of
    // a drop-down list combo is the selected item's text.
    // Text follows the item. Setting Text selects the item with exactly that text
    // (ItemIndex -1 when none; a drop-down list combo then shows no text).
    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle value);
    bool GetSorted() const { return FItems->Sorted(); }
    void SetSorted(bool value);
    bool GetAutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool value) { FAutoComplete = value; }
    bool GetAutoDropDown() const { return FAutoDropDown; }
    void SetAutoDropDown(bool value) { FAutoDropDown = value; }
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int value);
    bool GetDroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool value);
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }
    int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int value) { FMaxLength = value; }
    TEditCharCase GetCharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    TBevelKind GetBevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind value) { FBevelKind = value; }
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value) { FBevelInner = value; }
    void Clear();
    // The selection in the edit part (a drop-down list combo has none).
    int GetSelStart() const { return FSelStart; }
    void SetSelStart(int value);
    int GetSelLength() const { return FSelLength; }
    void SetSelLength(int value);
    AnsiString GetSelText() const;
    void SelectAll();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    // The user picked item `index` from the list: ItemIndex and Text follow, then
    // OnChange and OnSelect. Refused for an index outside the items. Combo classes of
    // their own that rearrange their items on a choice add to this.
    virtual bool UserSelected(int index);
    // The user picked the item with this text (exact match, then ignoring case).
    bool UserSelectedText(const AnsiString& text);
    // The user stepped to item `index` in the closed box, with the arrow keys, a typed
    // letter or the wheel: the plain selection of UserSelected, which is not a choice from
    // the list (a combo class that rearranges its items on a choice leaves them be).
    bool UserStepped(int index);
    // The user typed `text` into the edit part (not for csDropDownList): Text follows,
    // ItemIndex becomes the item with exactly this text or -1, OnChange fires.
    bool UserTyped(const AnsiString& text);
    // The user opened or closed the list: DropDown / CloseUp (OnDropDown / OnCloseUp).
    bool UserDroppedDown(bool dropped = true);
    // How wide the dropped list is; 0: as wide as the box.
    virtual int DropDownWidth() const { return 0; }
    // Whether the edit part takes no typing (the items are still picked from the list and
    // stepped through with the keys); combo classes of their own that keep a read-only
    // edit say so here, and call Changed(TControlChange::Style) when it changes.
    virtual bool EditReadOnly() const { return false; }

protected:
    // The list drops (before it shows) and closes (after); combo classes of their own add
    // to these and call the inherited step, which fires the event.
    virtual void DropDown() { OnDropDown(this); }
    virtual void CloseUp() { OnCloseUp(this); }
    void ItemsChanged();
    void TextChanged() override;
    AnsiString AdjustText(const AnsiString& value) const override;
    bool WantsKey(Word key) const override;
    // As the platform's drop-down combo: the keys arriving by Tab, Shift+Tab, SetFocus or a
    // form opening with the focus here select the whole text of the edit part, so that
    // typing replaces it; a mouse click only places the caret. Made before OnEnter.
    void DoEnter() override;
    void FocusRegained() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // A character typed into the edit part replaces the selected text (see TCustomEdit).
    void DefaultKeyPress(char key) override;

private:
    bool HasEditPart() const { return FStyle != csDropDownList; }
    // The user's new text in the edit part: cased, cut to MaxLength, OnChange when it differs.
    void TypedText(const AnsiString& text);

    std::unique_ptr<TControlItems> FItems;
    int FItemIndex = -1;
    bool FSettingIndex = false;
    TComboBoxStyle FStyle = csDropDown;
    bool FAutoComplete = true;
    bool FAutoDropDown = false;
    int FDropDownCount = 8;
    bool FDroppedDown = false;
    int FItemHeight = 13;
    int FMaxLength = 0;
    TEditCharCase FCharCase = ecNormal;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    int FSelStart = 0;
    int FSelLength = 0;
};

class TComboBox : public TCustomComboBox {
    SKLAD_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner);
};

class TCustomListBox : public TWinControl {
    SKLAD_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    TStrings* GetItems() const { return FItems.get(); }
    // While the control's peer hears of an items change: the index of the one string
    // inserted, or -1 (see TControlItems).
    int InsertedItem() const { return FItems->Inserted(); }
    void SetItems(TStrings* value);
    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    bool GetSelected(int index) const;
    void SetSelected(int index, bool value);
    int SelCount() const;
    bool GetSorted() const { return FItems->Sorted(); }
    void SetSorted(bool value);
    TListBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TListBoxStyle value) { FStyle = value; }
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value) { FBevelInner = value; }
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }
    int GetTopIndex() const { return FTopIndex; }
    void SetTopIndex(int value);
    void Clear();

    // The user clicked item `index`: selection follows, then OnClick.
    virtual bool UserSelected(int index);

protected:
    void ItemsChanged();

private:
    std::unique_ptr<TControlItems> FItems;
    int FItemIndex = -1;
    bool FMultiSelect = false;
    std::vector<bool> FSelected;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    TBevelCut FBevelInner = bvRaised;
    int FItemHeight = 13;
    int FTopIndex = 0;
};

class TListBox : public TCustomListBox {
    SKLAD_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner);
};

class TButtonControl : public TWinControl {
    SKLAD_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    // A click takes the focus first (the edit left fires OnExit), then clicks.
    bool UserClicked() override;
};

class TButton : public TButtonControl {
    SKLAD_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool value);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }
    // OnClick, then the button's ModalResult (when not mrNone) goes to its form.
    void Click() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TCheckBox : public TButtonControl {
    SKLAD_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);
    bool GetChecked() const { return FState == cbChecked; }
    // Fires OnClick when the state changes.
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState value);
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool value) { FAllowGrayed = value; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // The user clicked: the state toggles (unchecked -> checked -> grayed when allowed),
    // which fires OnClick.
    bool UserClicked() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TRadioButton : public TButtonControl {
    SKLAD_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool GetChecked() const { return FChecked; }
    // Checking unchecks the siblings and fires OnClick; unchecking fires nothing.
    void SetChecked(bool value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    // The user clicked: the button becomes checked (OnClick when it was not).
    bool UserClicked() override;

protected:
    // Arrow keys move the focus and the check to the next or previous radio button of
    // the same parent, in tab order, round the group.
    void KeyDown(Word& key, TShiftState shift) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

class TCustomGroupBox : public TCustomControl {
    SKLAD_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    TRect ClientRect() const override;
};

class TGroupBox : public TCustomGroupBox {
    SKLAD_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner);
};
