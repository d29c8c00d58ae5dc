#include "platform/gui/ComCtrls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/ScopeExit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <unordered_set>

// ---------------------------------------------------------------- TTreeNode

SKLAD_DEFINE_ABSTRACT_CLASS(TTreeNode)

TTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

void TTreeNode::SetText(const AnsiString& value)
{
    if (value == FText)
        return;
    FText = value;
    FOwner->NodesChanged(TTreeNodes::THint{this});
}

void TTreeNode::SetImageIndex(int value)
{
    FImageIndex = value;
    FOwner->NodesChanged(TTreeNodes::THint{this});
}

TTreeNode* TTreeNode::Item(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FChildren[size_t(index)];
}

// Each node keeps its last known place among its siblings. When a change has moved it, the
// places of all its siblings are read again at once, so that a walk along the siblings with
// GetNextSibling or GetPrevSibling costs their number, not its square.
int TTreeNode::Index() const
{
    const auto& list = FParent ? FParent->FChildren : FOwner->FTop;
    if (FIndex < list.size() && list[FIndex] == this)
        return int(FIndex);
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->FIndex = i;
    return FIndex < list.size() && list[FIndex] == this ? int(FIndex) : int(list.size());
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    const auto& list = FParent ? FParent->FChildren : FOwner->FTop;
    const int i = Index();
    return i + 1 < int(list.size()) ? list[size_t(i + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const
{
    const auto& list = FParent ? FParent->FChildren : FOwner->FTop;
    const int i = Index();
    return i > 0 ? list[size_t(i - 1)] : nullptr;
}

// A walk over the whole tree with GetNext or GetPrev costs its size: the display order is
// laid out once and each node knows its place in it.
TTreeNode* TTreeNode::GetNext() const
{
    const std::vector<TTreeNode*>& list = FOwner->Flat();
    const size_t next = size_t(FAbsoluteIndex) + 1;
    return next < list.size() ? list[next] : nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    const std::vector<TTreeNode*>& list = FOwner->Flat();
    return FAbsoluteIndex > 0 ? list[size_t(FAbsoluteIndex - 1)] : nullptr;
}

int TTreeNode::AbsoluteIndex() const
{
    FOwner->Flat();
    return FAbsoluteIndex;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (const TTreeNode* n = FParent; n; n = n->FParent)
        ++level;
    return level;
}

void TTreeNode::SetExpanded(bool value)
{
    if (value == FExpanded)
        return;
    TTreeView* tree = TreeView();
    bool allow = true;
    if (value)
        tree->OnExpanding(tree, this, allow);
    else
        tree->OnCollapsing(tree, this, allow);
    if (!allow)
        return;
    FExpanded = value;
    FOwner->NodesChanged(TTreeNodes::THint{this});
    if (value)
        tree->OnExpanded(tree, this);
    else
        tree->OnCollapsed(tree, this);
}

std::vector<TTreeNode*> TTreeNode::Subtree()
{
    // Parents before children, each child after its elder siblings; a stack of our own, so
    // any depth a damaged table of groups makes is walked.
    std::vector<TTreeNode*> nodes;
    for (std::vector<TTreeNode*> pending{this}; !pending.empty();) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        nodes.push_back(n);
        pending.insert(pending.end(), n->FChildren.rbegin(), n->FChildren.rend());
    }
    return nodes;
}

void TTreeNode::Expand(bool recurse)
{
    if (!recurse) {
        SetExpanded(true);
        return;
    }
    for (TTreeNode* n : Subtree())
        n->SetExpanded(true);
}

void TTreeNode::Collapse(bool recurse)
{
    if (!recurse) {
        SetExpanded(false);
        return;
    }
    for (TTreeNode* n : Subtree())
        n->SetExpanded(false);
}

bool TTreeNode::GetSelected() const { return TreeView()->GetSelected() == this; }

void TTreeNode::SetSelected(bool value)
{
    TTreeView* tree = TreeView();
    if (value)
        tree->SetSelected(this);
    else if (tree->GetSelected() == this)
        tree->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const
{
    for (const TTreeNode* n = FParent; n; n = n->FParent)
        if (!n->FExpanded)
            return false;
    return true;
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren()
{
    if (!FChildren.empty())
        FOwner->DeleteChildren(this);
}

void TTreeNode::MakeVisible()
{
    for (TTreeNode* n = FParent; n; n = n->FParent)
        n->SetExpanded(true);
}

bool TTreeNode::IsFirstNode() const { return FOwner->GetFirstNode() == this; }

// ---------------------------------------------------------------- TTreeNodes

SKLAD_DEFINE_ABSTRACT_CLASS(TTreeNodes)

TTreeNodes::TTreeNodes(TTreeView* owner) : FOwner(owner) {}
TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return Flat()[size_t(index)];
}

int TTreeNodes::IndexOf(const TTreeNode* node) const
{
    const std::vector<TTreeNode*>& list = Flat();
    const auto it = std::find(list.begin(), list.end(), node);
    return it == list.end() ? -1 : int(it - list.begin());
}

const std::vector<TTreeNode*>& TTreeNodes::Flat() const
{
    if (!FStale)
        return FList;
    FList.clear();
    FList.reserve(FStore.size());
    // Depth first with a stack of our own: a chain of nodes as deep as a damaged table of
    // groups makes it must not exhaust the call stack.
    std::vector<TTreeNode*> pending(FTop.rbegin(), FTop.rend());
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        n->FAbsoluteIndex = int(FList.size());
        FList.push_back(n);
        pending.insert(pending.end(), n->FChildren.rbegin(), n->FChildren.rend());
    }
    FStale = false;
    return FList;
}

void TTreeNodes::NodesChanged() { NodesChanged(THint{}); }

void TTreeNodes::NodesChanged(const THint& hint)
{
    if (FUpdateCount != 0)
        return;
    const THint outer = FHint;
    FHint = hint;
    TScopeExit told([&] { FHint = outer; });
    FOwner->NodesChanged();
}

TTreeNode* TTreeNodes::Attach(TTreeNode* parent, int childIndex, const AnsiString& text, void* data)
{
    if (parent && parent->FOwner != this)
        throw EInvalidOperation("The node belongs to another tree");
    auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this));
    TTreeNode* raw = node.get();
    raw->FText = text;
    raw->FData = data;
    raw->FParent = parent;
    auto& list = parent ? parent->FChildren : FTop;
    childIndex = std::clamp(childIndex, 0, int(list.size()));
    list.insert(list.begin() + childIndex, raw);
    raw->FStoreIndex = FStore.size();
    FStore.push_back(std::move(node));
    FStale = true;
    NodesChanged(THint{raw, childIndex, true});
    return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const AnsiString& text) { return AddObject(sibling, text, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const AnsiString& text, void* data)
{
    TTreeNode* parent = sibling ? sibling->FParent : nullptr;
    return Attach(parent, INT32_MAX, text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const AnsiString& text)
{
    if (!sibling)
        return Attach(nullptr, INT32_MAX, text, nullptr);
    return Attach(sibling->FParent, sibling->Index(), text, nullptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) { return AddChildObjectFirst(parent, text, nullptr); }
TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* parent, const AnsiString& text, void* data) { return Attach(parent, 0, text, data); }
TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const AnsiString& text) { return AddChildObject(parent, text, nullptr); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const AnsiString& text, void* data) { return Attach(parent, INT32_MAX, text, data); }

void TTreeNodes::Delete(TTreeNode* node)
{
    if (!node || node->FOwner != this)
        return;
    TTreeView* tree = FOwner;
    // The selection moves off a deleted subtree to its nearest neighbour.
    TTreeNode* newSelection = nullptr;
    bool selectionDeleted = false;
    for (TTreeNode* n = tree->FSelected; n; n = n->FParent)
        if (n == node)
            selectionDeleted = true;
    if (selectionDeleted) {
        newSelection = node->GetNextSibling();
        if (!newSelection)
            newSelection = node->GetPrevSibling();
        if (!newSelection)
            newSelection = node->FParent;
        tree->FSelected = nullptr;
    }
    auto& list = node->FParent ? node->FParent->FChildren : FTop;
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
    Free({node});
    NodesChanged();
    if (selectionDeleted) {
        tree->FSelected = newSelection;
        tree->Changed(TControlChange::ItemIndex);
        if (!tree->Destroying())
            tree->OnChange(tree, newSelection);
    }
}

void TTreeNodes::Free(std::vector<TTreeNode*> roots)
{
    std::vector<TTreeNode*> doomed;
    for (std::vector<TTreeNode*> pending(std::move(roots)); !pending.empty();) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        doomed.push_back(n);
        pending.insert(pending.end(), n->FChildren.begin(), n->FChildren.end());
    }
    // Each goes by its own slot, the store's last node taking its place: freeing costs what
    // is freed, not the whole tree.
    for (TTreeNode* n : doomed) {
        const size_t slot = n->FStoreIndex;
        if (slot + 1 != FStore.size()) {
            std::swap(FStore[slot], FStore.back());
            FStore[slot]->FStoreIndex = slot;
        }
        FStore.pop_back();
    }
    FStale = true;
}

void TTreeNodes::DeleteChildren(TTreeNode* parent)
{
    TTreeView* tree = FOwner;
    // A selection below `parent` ends on `parent`, as deleting the children one at a time
    // leaves it; the view hears of the change once.
    bool selectionDeleted = false;
    for (TTreeNode* n = tree->FSelected; n && !selectionDeleted; n = n->FParent)
        selectionDeleted = n->FParent == parent;
    if (selectionDeleted)
        tree->FSelected = nullptr;
    std::vector<TTreeNode*> children;
    children.swap(parent->FChildren);
    Free(std::move(children));
    NodesChanged();
    if (selectionDeleted) {
        tree->FSelected = parent;
        tree->Changed(TControlChange::ItemIndex);
        if (!tree->Destroying())
            tree->OnChange(tree, parent);
    }
}

void TTreeNodes::Clear()
{
    TTreeView* tree = FOwner;
    const bool hadSelection = tree->FSelected != nullptr;
    tree->FSelected = nullptr;
    FTop.clear();
    FList.clear();
    FStale = false;
    FStore.clear();
    NodesChanged();
    if (hadSelection && !tree->Destroying()) {
        tree->Changed(TControlChange::ItemIndex);
        tree->OnChange(tree, nullptr);
    }
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        NodesChanged();
}

void TTreeNodes::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TTreeNodes*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    Clear();
    // In display order every parent comes before its children, and each child after its
    // elder siblings: added last under its parent's copy, it keeps its place.
    std::unordered_map<const TTreeNode*, TTreeNode*> copies;
    for (TTreeNode* n : other->Flat()) {
        TTreeNode* c = AddChildObject(n->FParent ? copies.at(n->FParent) : nullptr, n->FText, n->FData);
        c->FExpanded = n->FExpanded;
        c->FImageIndex = n->FImageIndex;
        copies[n] = c;
    }
    EndUpdate();
}

// ---------------------------------------------------------------- TTreeView

SKLAD_DEFINE_CLASS(TTreeView)
void TTreeView::Publish(TPropertyTable& t)
{
    t.Prop("AutoExpand", &TTreeView::GetAutoExpand, &TTreeView::SetAutoExpand).Default(false);
    t.Prop("BorderStyle", &TTreeView::GetBorderStyle, &TTreeView::SetBorderStyle).Default(bsSingle).Type("TBorderStyle");
    t.Prop("HideSelection", &TTreeView::GetHideSelection, &TTreeView::SetHideSelection).Default(true);
    t.Prop("Indent", &TTreeView::GetIndent, &TTreeView::SetIndent);
    t.Prop("ReadOnly", &TTreeView::GetReadOnly, &TTreeView::SetReadOnly).Default(false);
    t.Prop("RowSelect", &TTreeView::GetRowSelect, &TTreeView::SetRowSelect).Default(false);
    t.Prop("ShowButtons", &TTreeView::GetShowButtons, &TTreeView::SetShowButtons).Default(true);
    t.Prop("ShowLines", &TTreeView::GetShowLines, &TTreeView::SetShowLines).Default(true);
    t.Prop("ShowRoot", &TTreeView::GetShowRoot, &TTreeView::SetShowRoot).Default(true);
    t.Event("OnChange", &TTreeView::OnChange);
    t.Event("OnChanging", &TTreeView::OnChanging);
    t.Event("OnCollapsed", &TTreeView::OnCollapsed);
    t.Event("OnCollapsing", &TTreeView::OnCollapsing).Type("TTVExpandingEvent");
    t.Event("OnEdited", &TTreeView::OnEdited);
    t.Event("OnEditing", &TTreeView::OnEditing).Type("TTVEditingEvent");
    t.Event("OnExpanded", &TTreeView::OnExpanded);
    t.Event("OnExpanding", &TTreeView::OnExpanding).Type("TTVExpandingEvent");
}

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TTreeNodes>(this))
{
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TTreeView::~TTreeView()
{
    FSelected = nullptr;
    FItems.reset();
}

void TTreeView::NodesChanged() { Changed(TControlChange::Items); }
void TTreeView::NodeDeleting(TTreeNode*) {}

void TTreeView::SetSelected(TTreeNode* value)
{
    if (value == FSelected)
        return;
    if (value && value->Owner() != FItems.get())
        throw EInvalidOperation("The node belongs to another tree");
    bool allow = true;
    if (!Loading())
        OnChanging(this, value, allow);
    if (!allow)
        return;
    FSelected = value;
    if (value)
        value->MakeVisible();
    Changed(TControlChange::ItemIndex);
    if (!Loading())
        OnChange(this, value);
}

TTreeNode* TTreeView::TopItem() const
{
    const std::vector<TTreeNode*> rows = VisibleNodes();
    return FTopIndex < int(rows.size()) ? rows[size_t(FTopIndex)] : nullptr;
}

std::vector<TTreeNode*> TTreeView::VisibleNodes() const
{
    // In display order a parent comes before its children, so whether it shows and is open
    // is known when they come: one walk, however deep the tree (asking each node for all
    // its parents would walk a long chain once per node).
    std::vector<TTreeNode*> rows;
    std::unordered_set<const TTreeNode*> open;
    for (TTreeNode* n : FItems->List()) {
        if (n->GetParent() && !open.count(n->GetParent()))
            continue;
        rows.push_back(n);
        if (n->GetExpanded() && n->HasChildren())
            open.insert(n);
    }
    return rows;
}

void TTreeView::SetReadOnly(bool value) { if (value != FReadOnly) { FReadOnly = value; Changed(TControlChange::Style); } }
void TTreeView::SetHideSelection(bool value) { if (value != FHideSelection) { FHideSelection = value; Changed(TControlChange::Style); } }
void TTreeView::SetIndent(int value) { if (value != FIndent) { FIndent = value; Changed(TControlChange::Style); } }
void TTreeView::SetShowButtons(bool value) { if (value != FShowButtons) { FShowButtons = value; Changed(TControlChange::Style); } }
void TTreeView::SetShowLines(bool value) { if (value != FShowLines) { FShowLines = value; Changed(TControlChange::Style); } }
void TTreeView::SetShowRoot(bool value) { if (value != FShowRoot) { FShowRoot = value; Changed(TControlChange::Style); } }
void TTreeView::SetRowSelect(bool value) { if (value != FRowSelect) { FRowSelect = value; Changed(TControlChange::Style); } }
void TTreeView::SetBorderStyle(TBorderStyle value) { if (value != FBorderStyle) { FBorderStyle = value; Changed(TControlChange::Style); } }

void TTreeView::FullExpand()
{
    FItems->BeginUpdate();
    for (TTreeNode* n : std::vector<TTreeNode*>(FItems->List()))
        n->SetExpanded(true);
    FItems->EndUpdate();
}

void TTreeView::FullCollapse()
{
    FItems->BeginUpdate();
    for (TTreeNode* n : std::vector<TTreeNode*>(FItems->List()))
        n->SetExpanded(false);
    FItems->EndUpdate();
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= GetClientWidth() || FItemHeight <= 0)
        return nullptr;
    const int row = y / FItemHeight + FTopIndex;
    const std::vector<TTreeNode*> rows = VisibleNodes();
    return row < int(rows.size()) ? rows[size_t(row)] : nullptr;
}

bool TTreeView::UserScrolled(int topIndex)
{
    const int rows = int(VisibleNodes().size());
    FTopIndex = std::clamp(topIndex, 0, std::max(0, rows - 1));
    return true;
}

TRect TTreeView::NodeRect(const TTreeNode* node) const
{
    const std::vector<TTreeNode*> rows = VisibleNodes();
    const auto it = std::find(rows.begin(), rows.end(), node);
    if (it == rows.end())
        return {};
    const int top = (int(it - rows.begin()) - FTopIndex) * FItemHeight;
    return Rect(node->Level() * FIndent, top, GetClientWidth(), top + FItemHeight);
}

TPoint TTreeView::ContextMenuPoint() const
{
    // Under the selected node's row, where the user's eyes are, when it shows.
    const TRect r = FSelected ? NodeRect(FSelected) : TRect{};
    if (r.Bottom <= 0 || r.Top >= GetClientHeight())
        return {0, 0};
    return {std::min(r.Left, GetClientWidth() - 1), r.Bottom};
}

bool TTreeView::UserSelectedNode(TTreeNode* node)
{
    if (!AcceptsInput() || !node || node->Owner() != FItems.get())
        return false;
    Guarded([&] {
        if (CanFocus())
            if (TCustomForm* form = ParentForm())
                form->SetActiveControl(this);
        SetSelected(node);
        Click();
    });
    return true;
}

bool TTreeView::UserExpanded(TTreeNode* node, bool expanded)
{
    if (!AcceptsInput() || !node || node->Owner() != FItems.get())
        return false;
    Guarded([&] { node->SetExpanded(expanded); });
    return true;
}

bool TTreeView::UserEdited(TTreeNode* node, const AnsiString& text)
{
    if (!AcceptsInput() || FReadOnly || !node || node->Owner() != FItems.get())
        return false;
    Guarded([&] {
        bool allow = true;
        OnEditing(this, node, allow);
        if (!allow)
            return;
        AnsiString s = text;
        OnEdited(this, node, s);
        node->SetText(s);
    });
    return true;
}

// ---------------------------------------------------------------- tool bar

SKLAD_DEFINE_CLASS(TToolButton)
void TToolButton::Publish(TPropertyTable& t)
{
    t.Prop("AllowAllUp", &TToolButton::GetAllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("Down", &TToolButton::GetDown, &TToolButton::SetDown).Default(false);
    t.Prop("DropdownMenu", &TToolButton::GetDropdownMenu, &TToolButton::SetDropdownMenu);
    t.Prop("Grouped", &TToolButton::GetGrouped, &TToolButton::SetGrouped).Default(false);
    t.Prop("ImageIndex", &TToolButton::GetImageIndex, &TToolButton::SetImageIndex).Default(-1);
    t.Prop("Style", &TToolButton::GetStyle, &TToolButton::SetStyle).Default(tbsButton);
    t.Prop("Wrap", &TToolButton::GetWrap, &TToolButton::SetWrap).Default(false);
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(GetParent()); }

void TToolButton::SetStyle(TToolButtonStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    if ((value == tbsSeparator || value == tbsDivider) && !Loading())
        SetWidth(8);
    Changed(TControlChange::Style);
    RequestAlign();
}

void TToolButton::SetImageIndex(int value) { if (value != FImageIndex) { FImageIndex = value; Changed(TControlChange::Image); } }

void TToolButton::SetDown(bool value)
{
    if (value == FDown)
        return;
    FDown = value;
    if (value && FGrouped && GetParent()) {
        // Grouped check buttons next to each other act like radio buttons.
        const auto& list = GetParent()->ControlList();
        for (TControl* c : list)
            if (auto* b = dynamic_cast<TToolButton*>(c); b && b != this && b->FGrouped && b->FStyle == tbsCheck && b->FDown) {
                b->FDown = false;
                b->Changed(TControlChange::Checked);
            }
    }
    Changed(TControlChange::Checked);
}

void TToolButton::SetDropdownMenu(TPopupMenu* value)
{
    FDropdownMenu.Set(value);
}

void TToolButton::SetWrap(bool value) { if (value != FWrap) { FWrap = value; RequestAlign(); } }

void TToolButton::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    FDropdownMenu.Forget(component, operation);
}

void TToolButton::Click()
{
    if (FStyle == tbsCheck) {
        if (!FDown)
            SetDown(true);
        else if (!FGrouped || FAllowAllUp)
            SetDown(false);
    }
    TGraphicControl::Click();
}

SKLAD_DEFINE_CLASS(TToolBar)
void TToolBar::Publish(TPropertyTable& t)
{
    t.Prop("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alTop);
    t.Prop("AutoSize", &TToolBar::GetAutoSize, &TToolBar::SetAutoSize).Default(false);
    t.Prop("BorderWidth", &TToolBar::GetBorderWidth, &TToolBar::SetBorderWidth).Default(0);
    t.Prop("ButtonHeight", &TToolBar::GetButtonHeight, &TToolBar::SetButtonHeight).Default(22);
    t.Prop("ButtonWidth", &TToolBar::GetButtonWidth, &TToolBar::SetButtonWidth).Default(23);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("Flat", &TToolBar::GetFlat, &TToolBar::SetFlat).Default(false);
    t.Prop("Images", &TToolBar::GetImages, &TToolBar::SetImages);
    t.Prop("ShowCaptions", &TToolBar::GetShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    t.Prop("Wrapable", &TToolBar::GetWrapable, &TToolBar::SetWrapable).Default(true);
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FImageChangeLink(std::make_unique<TChangeLink>())
{
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
    FImageChangeLink->OnChange = TNotifyEvent(this, &TToolBar::ImageListChange);
}

TToolBar::~TToolBar()
{
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink.get());
}

void TToolBar::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    if (FImages)
        FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages.Set(value);
    if (FImages)
        FImages->RegisterChanges(FImageChangeLink.get());
    ButtonsChanged();
}

void TToolBar::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component && component == FImages.Get()) {
        FImages->UnRegisterChanges(FImageChangeLink.get());
        FImages.Forget(component, operation);
        ButtonsChanged();
    }
}

void TToolBar::ImageListChange(TObject*) { ButtonsChanged(); }

void TToolBar::ButtonsChanged()
{
    for (TControl* c : ControlList())
        if (auto* b = dynamic_cast<TToolButton*>(c))
            b->ImagesChanged();
}

void TToolBar::SetButtonWidth(int value) { if (value != FButtonWidth) { FButtonWidth = value; AlignControls(); } }
void TToolBar::SetButtonHeight(int value) { if (value != FButtonHeight) { FButtonHeight = value; AlignControls(); } }
void TToolBar::SetFlat(bool value) { if (value != FFlat) { FFlat = value; Changed(TControlChange::Style); } }
void TToolBar::SetShowCaptions(bool value)
{
    if (value == FShowCaptions)
        return;
    FShowCaptions = value;
    Changed(TControlChange::Style);
    ButtonsChanged();
}
void TToolBar::SetWrapable(bool value) { if (value != FWrapable) { FWrapable = value; AlignControls(); } }
void TToolBar::SetAutoSize(bool value) { if (value != FAutoSize) { FAutoSize = value; AlignControls(); } }
void TToolBar::SetBorderWidth(int value) { if (value != FBorderWidth) { FBorderWidth = value; AlignControls(); } }

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (TControl* c : ControlList())
        if (dynamic_cast<TToolButton*>(c))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const
{
    int n = 0;
    for (TControl* c : ControlList())
        if (auto* b = dynamic_cast<TToolButton*>(c))
            if (n++ == index)
                return b;
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TToolBar::ArrangeChildren(TRect& rect)
{
    if (FArranging)
        return;
    FArranging = true;
    std::vector<TControl*> items;
    for (TControl* c : ControlList())
        if (c->GetVisible() && c->GetAlign() == alNone)
            items.push_back(c);
    std::stable_sort(items.begin(), items.end(), [](TControl* a, TControl* b) { return a->GetLeft() < b->GetLeft(); });
    int x = rect.Left + FBorderWidth, y = rect.Top + FBorderWidth, rowHeight = FButtonHeight;
    const int right = rect.Right - FBorderWidth;
    for (TControl* c : items) {
        auto* b = dynamic_cast<TToolButton*>(c);
        const bool separator = b && (b->GetStyle() == tbsSeparator || b->GetStyle() == tbsDivider);
        const int w = b && !separator ? FButtonWidth : c->GetWidth();
        const int h = b ? FButtonHeight : c->GetHeight();
        if (FWrapable && x > rect.Left + FBorderWidth && x + w > right) {
            x = rect.Left + FBorderWidth;
            y += rowHeight;
            rowHeight = FButtonHeight;
        }
        c->SetBounds(x, y, w, h);
        x += w;
        rowHeight = std::max(rowHeight, h);
        if (b && b->GetWrap()) {
            x = rect.Left + FBorderWidth;
            y += rowHeight;
            rowHeight = FButtonHeight;
        }
    }
    if (FAutoSize) {
        const int height = (y - rect.Top) + rowHeight + FBorderWidth + (FHeight - GetClientHeight());
        if (height != FHeight)
            SetHeight(height);
    }
    FArranging = false;
}

// ---------------------------------------------------------------- status bar

SKLAD_DEFINE_CLASS(TStatusPanel)
void TStatusPanel::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TStatusPanel::GetAlignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    t.Prop("Style", &TStatusPanel::GetStyle, &TStatusPanel::SetStyle).Default(psText);
    t.Prop("Text", &TStatusPanel::GetText, &TStatusPanel::SetText);
    t.Prop("Width", &TStatusPanel::GetWidth, &TStatusPanel::SetWidth);
}

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
void TStatusPanel::SetText(const AnsiString& value) { if (value != FText) { FText = value; Changed(false); } }
void TStatusPanel::SetWidth(int value) { if (value != FWidth) { FWidth = value; Changed(false); } }
void TStatusPanel::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(false); } }
void TStatusPanel::SetStyle(TStatusPanelStyle value) { if (value != FStyle) { FStyle = value; Changed(false); } }

void TStatusPanel::Assign(TPersistent* source)
{
    auto* p = dynamic_cast<TStatusPanel*>(source);
    if (!p) {
        TCollectionItem::Assign(source);
        return;
    }
    FText = p->FText;
    FWidth = p->FWidth;
    FAlignment = p->FAlignment;
    FStyle = p->FStyle;
    Changed(false);
}

SKLAD_DEFINE_ABSTRACT_CLASS(TStatusPanels)
TStatusPanels::TStatusPanels(TStatusBar* owner) : TCollection(TStatusPanel::StaticClass(), owner), FBar(owner) {}
void TStatusPanels::Update(TCollectionItem*) { FBar->Changed(TControlChange::Items); }

SKLAD_DEFINE_CLASS(TStatusBar)
void TStatusBar::Publish(TPropertyTable& t)
{
    t.Prop("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alBottom);
    t.Prop("Panels", &TStatusBar::GetPanels, &TStatusBar::SetPanels);
    t.Prop("SimplePanel", &TStatusBar::GetSimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    t.Prop("SimpleText", &TStatusBar::GetSimpleText, &TStatusBar::SetSimpleText);
    t.Prop("SizeGrip", &TStatusBar::GetSizeGrip, &TStatusBar::SetSizeGrip).Default(true);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this))
{
    FPanels->PropName = "Panels";
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool value) { if (value != FSimplePanel) { FSimplePanel = value; Changed(TControlChange::Items); } }
void TStatusBar::SetSimpleText(const AnsiString& value) { if (value != FSimpleText) { FSimpleText = value; Changed(TControlChange::Items); } }

// ---------------------------------------------------------------- progress bar

SKLAD_DEFINE_CLASS(TProgressBar)
void TProgressBar::Publish(TPropertyTable& t)
{
    t.Prop("Max", &TProgressBar::GetMax, &TProgressBar::SetMax).Default(100);
    t.Prop("Min", &TProgressBar::GetMin, &TProgressBar::SetMin).Default(0);
    t.Prop("Orientation", &TProgressBar::GetOrientation, &TProgressBar::SetOrientation).Default(pbHorizontal);
    t.Prop("Position", &TProgressBar::GetPosition, &TProgressBar::SetPosition).Default(0);
    t.Prop("Smooth", &TProgressBar::GetSmooth, &TProgressBar::SetSmooth).Default(false);
    t.Prop("Step", &TProgressBar::GetStep, &TProgressBar::SetStep).Default(10);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int value)
{
    FMin = value;
    if (FMax < FMin)
        FMax = FMin;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Changed(TControlChange::Value);
}

void TProgressBar::SetMax(int value)
{
    FMax = value;
    if (FMin > FMax)
        FMin = FMax;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Changed(TControlChange::Value);
}

void TProgressBar::SetPosition(int value)
{
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition)
        return;
    FPosition = value;
    Changed(TControlChange::Value);
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) { if (value != FOrientation) { FOrientation = value; Changed(TControlChange::Style); } }
void TProgressBar::SetSmooth(bool value) { if (value != FSmooth) { FSmooth = value; Changed(TControlChange::Style); } }

void TProgressBar::StepIt()
{
    // Stepping past the end starts again from the beginning, as the platform's bar does.
    int next = FPosition + FStep;
    if (next > FMax)
        next = FMin + (next - FMax);
    SetPosition(next);
}

void TProgressBar::StepBy(int delta) { SetPosition(FPosition + delta); }

// ---------------------------------------------------------------- up-down

SKLAD_DEFINE_CLASS(TUpDown)
void TUpDown::Publish(TPropertyTable& t)
{
    t.Prop("AlignButton", &TUpDown::GetAlignButton, &TUpDown::SetAlignButton).Default(udRight);
    t.Prop("Associate", &TUpDown::GetAssociate, &TUpDown::SetAssociate);
    t.Prop("Increment", &TUpDown::GetIncrement, &TUpDown::SetIncrement).Default(1);
    t.Prop("Max", &TUpDown::GetMax, &TUpDown::SetMax).Default(100);
    t.Prop("Min", &TUpDown::GetMin, &TUpDown::SetMin).Default(0);
    t.Prop("Orientation", &TUpDown::GetOrientation, &TUpDown::SetOrientation).Default(udVertical);
    t.Prop("Position", &TUpDown::GetPosition, &TUpDown::SetPosition).Default(0);
    t.Prop("Thousands", &TUpDown::GetThousands, &TUpDown::SetThousands).Default(true);
    t.Prop("Wrap", &TUpDown::GetWrap, &TUpDown::SetWrap).Default(false);
    t.Event("OnChanging", &TUpDown::OnChanging).Type("TUDChangingEvent");
    t.Event("OnClick", &TUpDown::OnClick);
}

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 17, 25); }

void TUpDown::SetMin(int value) { FMin = value; SetPosition(FPosition); Changed(TControlChange::Value); }
void TUpDown::SetMax(int value) { FMax = value; SetPosition(FPosition); Changed(TControlChange::Value); }

void TUpDown::SetPosition(int value)
{
    const int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    value = std::clamp(value, lo, hi);
    if (value == FPosition)
        return;
    FPosition = value;
    Changed(TControlChange::Value);
    UpdateAssociate();
}

void TUpDown::SetOrientation(TUDOrientation value) { if (value != FOrientation) { FOrientation = value; Changed(TControlChange::Style); } }

void TUpDown::SetAssociate(TWinControl* value)
{
    FAssociate.Set(value);
    if (value)
        UpdateAssociate();
}

void TUpDown::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    FAssociate.Forget(component, operation);
}

void TUpDown::UpdateAssociate()
{
    if (!FAssociate || Loading())
        return;
    AnsiString text = IntToStr(FPosition);
    if (FThousands && std::abs(FPosition) >= 1000) {
        const bool negative = FPosition < 0;
        AnsiString digits = IntToStr(std::abs(FPosition)), grouped;
        for (size_t i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                grouped += FormatSettings().ThousandSeparator;
            grouped += digits[i];
        }
        text = (negative ? "-" : "") + grouped;
    }
    FAssociate->SetText(text);
}

void TUpDown::SyncFromAssociate()
{
    if (!FAssociate)
        return;
    AnsiString digits;
    for (char c : FAssociate->GetText())
        if (c != ' ' && c != '\xA0' && c != FormatSettings().ThousandSeparator)
            digits += c;
    int value = 0;
    if (!TryStrToInt(digits, value))
        return;
    const int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    value = std::clamp(value, lo, hi);
    if (value != FPosition) {
        FPosition = value;
        Changed(TControlChange::Value);
    }
}

bool TUpDown::UserStepped(TUDBtnType button)
{
    if (!AcceptsInput())
        return false;
    Guarded([&] {
        bool allow = true;
        OnChanging(this, allow);
        if (!allow)
            return;
        // The arrows step from what the edit shows, which the user may have typed since.
        SyncFromAssociate();
        int next = FPosition + (button == btNext ? FIncrement : -FIncrement);
        if (FWrap) {
            if (next > FMax)
                next = FMin;
            else if (next < FMin)
                next = FMax;
        }
        SetPosition(next);
        UpdateAssociate();  // also at either end, where a typed number out of range is put back
        OnClick(this, button);
    });
    return true;
}

bool TUpDown::ArrowOfKey(Word key, TUDBtnType& button)
{
    // Up and Down, whichever way the arrows lie; Left and Right stay the edit's caret keys.
    if (key != VK_UP && key != VK_DOWN)
        return false;
    button = key == VK_UP ? btNext : btPrev;
    return true;
}

bool TUpDown::StepForBuddy(TWinControl* buddy, Word key)
{
    // The arrow keys in the associate edit work the arrows, as clicks on them would.
    TUDBtnType button;
    if (buddy != FAssociate.Get() || !ArrowOfKey(key, button) || !IsShowing() || !GetEnabled())
        return false;
    UserStepped(button);
    return true;
}

void TUpDown::KeyDown(Word& key, TShiftState shift)
{
    TWinControl::KeyDown(key, shift);
    TUDBtnType button;
    if (key && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && ArrowOfKey(key, button)) {
        key = 0;
        UserStepped(button);
    }
}

// ---------------------------------------------------------------- dates

SKLAD_DEFINE_CLASS(TDateTimePicker)
void TDateTimePicker::Publish(TPropertyTable& t)
{
    t.Prop("Checked", &TDateTimePicker::GetChecked, &TDateTimePicker::SetChecked).Default(true);
    t.Prop("Date", &TDateTimePicker::GetDate, &TDateTimePicker::SetDate).Type("TDate");
    t.Prop("DateFormat", &TDateTimePicker::GetDateFormat, &TDateTimePicker::SetDateFormat).Default(dfShort);
    t.Prop("Kind", &TDateTimePicker::GetKind, &TDateTimePicker::SetKind).Default(dtkDate);
    t.Prop("ShowCheckbox", &TDateTimePicker::GetShowCheckbox, &TDateTimePicker::SetShowCheckbox).Default(false);
    t.Prop("Time", &TDateTimePicker::GetTime, &TDateTimePicker::SetTime).Type("TTime");
    t.Event("OnChange", &TDateTimePicker::OnChange);
    t.Event("OnCloseUp", &TDateTimePicker::OnCloseUp);
    t.Event("OnDropDown", &TDateTimePicker::OnDropDown);
}

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), FDateTime(Now())
{
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TDateTimePicker::SetDateTime(TDateTime value)
{
    if (double(value) == double(FDateTime))
        return;
    FDateTime = value;
    Changed(TControlChange::Value);
}

TDateTime TDateTimePicker::GetDate() const { return DateOf(FDateTime); }
TDateTime TDateTimePicker::GetTime() const { return TimeOf(FDateTime); }

void TDateTimePicker::SetDate(TDateTime value)
{
    // The date part replaces ours; the time of day stays.
    SetDateTime(double(DateOf(value)) + double(TimeOf(FDateTime)));
}

void TDateTimePicker::SetTime(TDateTime value) { SetDateTime(double(DateOf(FDateTime)) + double(TimeOf(value))); }

void TDateTimePicker::SetKind(TDateTimeKind value) { if (value != FKind) { FKind = value; Changed(TControlChange::Style); } }
void TDateTimePicker::SetDateFormat(TDTDateFormat value) { if (value != FDateFormat) { FDateFormat = value; Changed(TControlChange::Style); } }
void TDateTimePicker::SetChecked(bool value) { if (value != FChecked) { FChecked = value; Changed(TControlChange::Checked); } }
void TDateTimePicker::SetShowCheckbox(bool value) { if (value != FShowCheckbox) { FShowCheckbox = value; Changed(TControlChange::Style); } }

bool TDateTimePicker::UserPicked(TDateTime value)
{
    if (!AcceptsInput())
        return false;
    Guarded([&] {
        const TDateTime before = FDateTime;
        if (FKind == dtkDate)
            SetDate(value);
        else
            SetTime(value);
        if (double(before) != double(FDateTime))
            OnChange(this);
    });
    return true;
}

SKLAD_DEFINE_CLASS(TMonthCalendar)
void TMonthCalendar::Publish(TPropertyTable& t)
{
    t.Prop("Date", &TMonthCalendar::GetDate, &TMonthCalendar::SetDate).Type("TDate");
    t.Prop("MultiSelect", &TMonthCalendar::GetMultiSelect, &TMonthCalendar::SetMultiSelect).Default(false);
    t.Prop("WeekNumbers", &TMonthCalendar::GetWeekNumbers, &TMonthCalendar::SetWeekNumbers).Default(false);
    t.Event("OnChange", &TMonthCalendar::OnChange);
}

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TWinControl(AOwner), FDate(DateOf(Now()))
{
    SetBounds(0, 0, 191, 154);
    SetTabStop(true);
}

void TMonthCalendar::SetDate(TDateTime value)
{
    value = DateOf(value);
    if (double(value) == double(FDate))
        return;
    FDate = value;
    Changed(TControlChange::Value);
}

void TMonthCalendar::SetWeekNumbers(bool value) { if (value != FWeekNumbers) { FWeekNumbers = value; Changed(TControlChange::Style); } }

bool TMonthCalendar::UserPicked(TDateTime value)
{
    if (!AcceptsInput())
        return false;
    Guarded([&] {
        const TDateTime before = FDate;
        SetDate(value);
        if (double(before) != double(FDate))
            OnChange(this);
        Click();
    });
    return true;
}
