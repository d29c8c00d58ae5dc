// Component.cpp - TPersistent and TComponent: ownership, names, notifications.
#include "platform/classes/Classes.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streaming.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <map>

SKLAD_DEFINE_CLASS(TPersistent)
SKLAD_DEFINE_CLASS(TComponent)

// ---------------------------------------------------------------- TPersistent

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError(Format(msg::kCannotAssign, {"nil", ClassName()}));
}

void TPersistent::AssignTo(TPersistent* Dest) const
{
    throw EConvertError(Format(msg::kCannotAssign, {ClassName(), Dest ? Dest->ClassName() : AnsiString("nil")}));
}

void TPersistent::DefineProperties(TFiler*) {}

AnsiString TPersistent::GetNamePath() const
{
    return ClassName();
}

// ---------------------------------------------------------------- TComponent

void TComponent::Publish(TPropertyTable& t)
{
    t.Prop("Name", &TComponent::GetName, &TComponent::SetName).Stored(false).Type("TComponentName");
    t.Prop("Tag", &TComponent::GetTag, &TComponent::SetTag).Default(0);
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    FComponentState.Include(csDestroying);
    SendFreeNotifications();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    FComponentState.Include(csDestroying);
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t)
{
    // The memory block starts at the most derived object.
    void* block = dynamic_cast<void*>(component);
    component->BeforeDestruction();
    component->~TComponent();
    ::operator delete(block);
}

void TComponent::SendFreeNotifications()
{
    // Tell everyone who asked, then forget them both ways.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back().Peer;
        FFreeNotifies.pop_back();
        other->DropFreeLink(this);
        other->Notification(this, opRemove);
    }
}

void TComponent::SetComponentState(TComponentStateElement e, bool on)
{
    if (on)
        FComponentState.Include(e);
    else
        FComponentState.Exclude(e);
}

void TComponent::SetDesigning(bool value, bool setChildren)
{
    SetComponentState(csDesigning, value);
    if (setChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(value, true);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError(Format(msg::kListIndexError, {index}));
    return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    const auto& v = FOwner->FComponents;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(std::string_view AName) const
{
    if (AName.empty())
        return nullptr;
    auto it = FNameIndex.find(UpperCase(AName));
    return it == FNameIndex.end() ? nullptr : it->second;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent)
        return;
    for (TComponent* o = this; o; o = o->FOwner)
        if (o == AComponent)
            throw EComponentError(Format(msg::kOwnerCycle, {AComponent->FName}));
    ValidateRename(AComponent, {}, AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    if (!AComponent->FName.empty())
        FNameIndex[UpperCase(AComponent->FName)] = AComponent;
}

void TComponent::Remove(TComponent* AComponent)
{
    // Searched from the end: components usually go in the reverse order they came.
    auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (it != FComponents.rend())
        FComponents.erase(std::next(it).base());
    if (!AComponent->FName.empty()) {
        auto named = FNameIndex.find(UpperCase(AComponent->FName));
        if (named != FNameIndex.end() && named->second == AComponent)
            FNameIndex.erase(named);
    }
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Last created first; each is unlinked before it goes, so it does not call back into
    // a list being emptied.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
    FNameIndex.clear();
}

TComponent::TFreeLink* TComponent::FindFreeLink(TComponent* peer)
{
    for (TFreeLink& link : FFreeNotifies)
        if (link.Peer == peer)
            return &link;
    return nullptr;
}

void TComponent::DropFreeLink(TComponent* peer)
{
    std::erase_if(FFreeNotifies, [peer](const TFreeLink& link) { return link.Peer == peer; });
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (TFreeLink* mine = FindFreeLink(AComponent)) {
        ++mine->Uses;
        ++AComponent->FindFreeLink(this)->Uses;
    } else {
        FFreeNotifies.push_back({AComponent, 1});
        AComponent->FFreeNotifies.push_back({this, 1});
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    TFreeLink* mine = AComponent ? FindFreeLink(AComponent) : nullptr;
    if (!mine)
        return;
    if (--mine->Uses > 0) {
        --AComponent->FindFreeLink(this)->Uses;
        return;
    }
    DropFreeLink(AComponent);
    AComponent->DropFreeLink(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    // A free link is dropped at both ends or not at all: here the component may only be
    // leaving its owner, and one end left behind would call into this one after it is gone.
    // Owned components hear when a sibling goes, so none keeps a pointer to it. An
    // arrival is told to the owner only: nothing reacts to a sibling's arrival, and
    // telling everyone made filling a form with n controls take n * n calls.
    if (Operation == opInsert)
        return;
    // Iterate by index from the end because a handler may remove entries.
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size())
            continue;
        TComponent* c = FComponents[i];
        if (c != AComponent)
            c->Notification(AComponent, Operation);
    }
}

bool IsValidIdent(std::string_view ident)
{
    if (ident.empty())
        return false;
    auto alpha = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(static_cast<unsigned char>(ident[0])))
        return false;
    for (char ch : ident) {
        auto c = static_cast<unsigned char>(ch);
        if (!alpha(c) && !(c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName)
{
    if (!NewName.empty() && !SameText(CurName, NewName)) {
        TComponent* existing = FindComponent(NewName);
        if (existing && existing != AComponent)
            throw EComponentError(Format(msg::kDuplicateName, {NewName}));
    }
}

void TComponent::SetName(const AnsiString& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(Format(msg::kInvalidName, {NewName}));
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    const AnsiString oldName = FName;
    ChangeName(NewName);
    if (FOwner) {
        auto& index = FOwner->FNameIndex;
        if (!oldName.empty()) {
            auto it = index.find(UpperCase(oldName));
            if (it != index.end() && it->second == this)
                index.erase(it);
        }
        if (!FName.empty())
            index[UpperCase(FName)] = this;
    }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::ReadState(TReader*) {}
void TComponent::WriteState(TWriter*) {}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    // The root of a stream writes the components it owns that have no parent of their
    // own (controls with a parent are written by that parent).
    if (Root != this)
        return;
    for (TComponent* c : std::vector<TComponent*>(FComponents))
        if (!c->HasParent())
            Proc(c);
}

void TComponent::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty("Left", [this](TReader& r) { DesignLeft = r.ReadInteger(); },
                          [this](TWriter& w) { w.WriteInteger(DesignLeft); }, DesignLeft != 0);
    Filer->DefineProperty("Top", [this](TReader& r) { DesignTop = r.ReadInteger(); },
                          [this](TWriter& w) { w.WriteInteger(DesignTop); }, DesignTop != 0);
}

// ---------------------------------------------------------------- global lookup

namespace {
std::map<int, TFindGlobalComponent>& GlobalProcs()
{
    static std::map<int, TFindGlobalComponent> m;
    return m;
}
}  // namespace

int RegisterFindGlobalComponentProc(TFindGlobalComponent proc)
{
    static int next = 0;
    GlobalProcs().emplace(++next, std::move(proc));
    return next;
}

void UnregisterFindGlobalComponentProc(int cookie) { GlobalProcs().erase(cookie); }

TComponent* FindGlobalComponent(std::string_view Name)
{
    for (auto& [cookie, proc] : GlobalProcs())
        if (TComponent* c = proc(Name))
            return c;
    return nullptr;
}

void RegisterClassesUnit()
{
    RegisterClasses({TObject::StaticClass(), TPersistent::StaticClass(), TComponent::StaticClass(),
                     TCollectionItem::StaticClass(), TCollection::StaticClass(), TList::StaticClass(),
                     TStrings::StaticClass(), TStringList::StaticClass(), TStream::StaticClass(),
                     TMemoryStream::StaticClass(), TFileStream::StaticClass(), TStringStream::StaticClass()});
}
