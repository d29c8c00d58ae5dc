#include "platform/gui/Menus.h"

#include "platform/gui/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------- TMenuItem

SKLAD_DEFINE_CLASS(TMenuItem)
void TMenuItem::Publish(TPropertyTable& t)
{
    t.Prop("AutoCheck", &TMenuItem::GetAutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    t.Prop("Caption", &TMenuItem::GetCaption, &TMenuItem::SetCaption);
    t.Prop("Checked", &TMenuItem::GetChecked, &TMenuItem::SetChecked).Default(false);
    t.Prop("Enabled", &TMenuItem::GetEnabled, &TMenuItem::SetEnabled).Default(true);
    t.Prop("GroupIndex", &TMenuItem::GetGroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    t.Prop("Hint", &TMenuItem::GetHint, &TMenuItem::SetHint);
    t.Prop("RadioItem", &TMenuItem::GetRadioItem, &TMenuItem::SetRadioItem).Default(false);
    t.Prop("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut).Type("TShortCut").Default(0);
    t.Prop("Visible", &TMenuItem::GetVisible, &TMenuItem::SetVisible).Default(true);
    t.Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    if (FParent)
        FParent->Remove(this);
    // Items owned by a form go with the form; ownerless ones belong to their parent item.
    auto children = FItems;
    FItems.clear();
    for (TMenuItem* c : children) {
        c->FParent = nullptr;
        if (!c->Owner())
            delete c;
    }
}

void TMenuItem::MenuChanged()
{
    if (TMenu* menu = GetParentMenu())
        menu->Changed(uint32_t(TControlChange::Menu));
}

void TMenuItem::SetCaption(const AnsiString& value) { if (value != FCaption) { FCaption = value; MenuChanged(); } }
void TMenuItem::SetShortCut(TShortCut value) { if (value != FShortCut) { FShortCut = value; MenuChanged(); } }
void TMenuItem::SetVisible(bool value) { if (value != FVisible) { FVisible = value; MenuChanged(); } }
void TMenuItem::SetEnabled(bool value) { if (value != FEnabled) { FEnabled = value; MenuChanged(); } }
void TMenuItem::SetRadioItem(bool value) { if (value != FRadioItem) { FRadioItem = value; MenuChanged(); } }

void TMenuItem::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    FChecked = value;
    if (value && FRadioItem && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->FChecked = false;
    MenuChanged();
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FItems[size_t(index)];
}

int TMenuItem::MenuIndex() const
{
    if (!FParent)
        return -1;
    const auto& list = FParent->FItems;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item || item == this)
        return;
    if (item->FParent)
        item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FParent = nullptr;
    MenuChanged();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

bool TMenuItem::IsReachable() const
{
    for (const TMenuItem* item = this; item; item = item->FParent)
        if (item->FMenu == nullptr && (!item->FVisible || !item->FEnabled))
            return false;
    return true;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut)
{
    for (TMenuItem* item : FItems) {
        if (!item->FVisible || !item->FEnabled)
            continue;
        if (item->FShortCut == shortCut)
            return item;
        if (TMenuItem* found = item->FindShortCut(shortCut))
            return found;
    }
    return nullptr;
}

void TMenuItem::Click()
{
    if (FAutoCheck)
        SetChecked(!FChecked);
    OnClick(this);
}

bool TMenuItem::UserClicked()
{
    if (!IsReachable() || !FParent)
        return false;
    TMenu* menu = GetParentMenu();
    TCustomForm* form = menu ? menu->OwnerForm() : nullptr;
    if (form && (!form->GetVisible() || (Screen && Screen->IsBlocked(form)) || !form->IsEnabled() ||
                 form->ModalResultPending()))
        return false;
    if (Application)
        Application->Guard([this] { Click(); });
    else
        Click();
    return true;
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent*)
{
    for (TMenuItem* item : FItems)
        proc(item);
}

void TMenuItem::SetParentComponent(TComponent* value)
{
    if (auto* menu = dynamic_cast<TMenu*>(value))
        menu->GetItems()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(value))
        item->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (!FParent)
        return nullptr;
    if (FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

// ---------------------------------------------------------------- TMenu

SKLAD_DEFINE_ABSTRACT_CLASS(TMenu)
void TMenu::Publish(TPropertyTable& t)
{
    t.Prop("AutoHotkeys", &TMenu::GetAutoHotkeys, &TMenu::SetAutoHotkeys).Default(maAutomatic);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    FPeer.reset();
    FItems.reset();
}

bool TMenu::IsShortCut(TShortCut shortCut)
{
    if (!shortCut)
        return false;
    TMenuItem* item = FItems->FindShortCut(shortCut);
    if (!item)
        return false;
    item->Click();
    return true;
}

TMenuItem* TMenu::FindItem(std::string_view name) const
{
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* parent) -> TMenuItem* {
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (SameText(item->Name(), name))
                return item;
            if (TMenuItem* found = find(item))
                return found;
        }
        return nullptr;
    };
    return find(FItems.get());
}

TCustomForm* TMenu::OwnerForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TMenu::CreatePeer()
{
    if (!FPeer && WidgetSet())
        FPeer = WidgetSet()->CreateMenuPeer(*this);
}

void TMenu::DestroyPeer() { FPeer.reset(); }

void TMenu::Changed(TControlChanges what)
{
    if (FPeer)
        FPeer->Changed(what);
    if (TCustomForm* form = OwnerForm(); form && form->GetMenu() == this && form->Peer())
        form->Peer()->Changed(uint32_t(TControlChange::Menu));
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    FItems->GetChildren(proc, root);
}

SKLAD_DEFINE_CLASS(TMainMenu)
void TMainMenu::Publish(TPropertyTable&) {}
TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

SKLAD_DEFINE_CLASS(TPopupMenu)
void TPopupMenu::Publish(TPropertyTable& t)
{
    t.Prop("AutoPopup", &TPopupMenu::GetAutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    t.Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::Popup(int x, int y)
{
    PopupPoint = {x, y};
    OnPopup(this);
    CreatePeer();
    Changed(uint32_t(TControlChange::Visible));
}
