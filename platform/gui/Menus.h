// Menus.h - main menus, popup menus and their items.
//
// Items form a tree (a menu's Items is the invisible root). A menu has one peer; an
// item's change is reported to its menu's peer with TControlChange::Menu. Short-cuts are
// matched by the form's key handling before dialog keys, only for visible and enabled
// items whose parents are visible and enabled too.
#pragma once

#include "platform/gui/Controls.h"

class TMenu;

SKLAD_ENUM(TMenuAutoFlag, maAutomatic, maManual, maParent)

class TMenuItem : public TComponent {
    SKLAD_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const AnsiString& GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& value);
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool value);
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    const AnsiString& GetHint() const { return FHint; }
    void SetHint(const AnsiString& value) { FHint = value; }
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* operator[](int index) const { return Items(index); }
    TMenuItem* GetParentItem() const { return FParent; }
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    // The menu this item belongs to (through its parents), or nullptr.
    TMenu* GetParentMenu() const;
    // Visible and enabled here and in every parent item.
    bool IsReachable() const;
    // The item under this one (at any depth) with that short-cut and reachable.
    TMenuItem* FindShortCut(TShortCut shortCut);

    TNotifyEvent OnClick;
    // OnClick (AutoCheck toggles Checked first).
    virtual void Click();
    // The user chose the item: refused when unreachable or its form is blocked.
    bool UserClicked();

    // Streaming: items are written and read as children of their parent item.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void SetParentComponent(TComponent* value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

private:
    friend class TMenu;
    void MenuChanged();
    AnsiString FCaption;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FChecked = false;
    bool FRadioItem = false;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
    AnsiString FHint;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item only
    std::vector<TMenuItem*> FItems;
};

class TMenu : public TComponent {
    SKLAD_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root; its children are the top-level items.
    TMenuItem* GetItems() const { return FItems.get(); }
    TMenuAutoFlag GetAutoHotkeys() const { return FAutoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag value) { FAutoHotkeys = value; }
    // Clicks the reachable item with this short-cut; true when one was found.
    bool IsShortCut(TShortCut shortCut);
    // The item of that component name anywhere in the menu (ignores case), or nullptr.
    TMenuItem* FindItem(std::string_view name) const;
    // The form this menu belongs to (its owner, when a form).
    TCustomForm* OwnerForm() const;

    TPeer* Peer() const { return FPeer.get(); }
    void CreatePeer();
    void DestroyPeer();
    void Changed(TControlChanges what);

    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TMenuAutoFlag FAutoHotkeys = maAutomatic;
    std::unique_ptr<TPeer> FPeer;
};

class TMainMenu : public TMenu {
    SKLAD_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);
};

class TPopupMenu : public TMenu {
    SKLAD_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    TNotifyEvent OnPopup;
    // Shows the menu at a screen point: OnPopup, then the peer shows it. Headless,
    // nothing further happens; the driver then chooses an item with UserClicked.
    void Popup(int x, int y);
    // The control the menu popped up for (the platform's PopupComponent).
    TComponent* PopupComponent = nullptr;
    TPoint PopupPoint;

private:
    bool FAutoPopup = true;
};
