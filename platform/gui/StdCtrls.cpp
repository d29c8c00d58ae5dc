#include "platform/gui/StdCtrls.h"

#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// An upper- or lower-case edit keeps its text in that case, however it is set.
AnsiString Cased(TEditCharCase charCase, const AnsiString& text)
{
    if (charCase == ecUpperCase)
        return AnsiUpperCase(text);
    if (charCase == ecLowerCase)
        return AnsiLowerCase(text);
    return text;
}

} // namespace

// ---------------------------------------------------------------- TControlItems

SKLAD_DEFINE_ABSTRACT_CLASS(TControlItems)

TControlItems::TControlItems(std::function<void()> onChange) : FNotify(std::move(onChange))
{
    // A list or combo control keeps every string added to it, sorted or not: "Болт" and
    // "болт" are two items, placed side by side when the control sorts.
    SetDuplicates(dupAccept);
}

int TControlItems::AddObject(const AnsiString& S, TObject* AObject)
{
    int at = Count();
    if (Sorted())
        Find(S, at);  // where the list puts it, if it takes it
    const TInsert outer = FInsert;
    FInsert = {at, Count() + 1};
    TScopeExit done([&] { FInsert = outer; });
    return TStringList::AddObject(S, AObject);
}

void TControlItems::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    const TInsert outer = FInsert;
    FInsert = {Index, Count() + 1};
    TScopeExit done([&] { FInsert = outer; });
    TStringList::InsertObject(Index, S, AObject);
}

void TControlItems::SetUpdateState(bool Updating)
{
    // The changes of an update are told as one, never as a single insert.
    const TInsert outer = FInsert;
    FInsert = {};
    TScopeExit done([&] { FInsert = outer; });
    TStringList::SetUpdateState(Updating);
}

void TControlItems::Changed()
{
    TStringList::Changed();
    if (FNotify && !Updating()) {
        const int outer = FInserted;
        FInserted = FInsert.At >= 0 && Count() == FInsert.CountAfter ? FInsert.At : -1;
        TScopeExit done([&] { FInserted = outer; });
        FNotify();
    }
}

// ---------------------------------------------------------------- labels

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomLabel)
void TCustomLabel::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TCustomLabel::GetAlignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
    t.Prop("AutoSize", &TCustomLabel::GetAutoSize, &TCustomLabel::SetAutoSize).Default(true);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("FocusControl", &TCustomLabel::GetFocusControl, &TCustomLabel::SetFocusControl);
    t.Prop("Layout", &TCustomLabel::GetLayout, &TCustomLabel::SetLayout).Default(tlTop);
    t.Prop("Transparent", &TCustomLabel::GetTransparent, &TCustomLabel::SetTransparent).Default(false);
    t.Prop("WordWrap", &TCustomLabel::GetWordWrap, &TCustomLabel::SetWordWrap).Default(false);
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

void TCustomLabel::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(TControlChange::Style); } }
void TCustomLabel::SetLayout(TTextLayout value) { if (value != FLayout) { FLayout = value; Changed(TControlChange::Style); } }
void TCustomLabel::SetAutoSize(bool value) { if (value != FAutoSize) { FAutoSize = value; Changed(TControlChange::Style); } }
void TCustomLabel::SetWordWrap(bool value) { if (value != FWordWrap) { FWordWrap = value; Changed(TControlChange::Style); } }
void TCustomLabel::SetTransparent(bool value) { if (value != FTransparent) { FTransparent = value; Changed(TControlChange::Style); } }

void TCustomLabel::SetFocusControl(TWinControl* value)
{
    FFocusControl.Set(value);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    FFocusControl.Forget(component, operation);
}

SKLAD_DEFINE_CLASS(TLabel)
void TLabel::Publish(TPropertyTable&) {}
TLabel::TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}

// ---------------------------------------------------------------- edits

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomEdit)
void TCustomEdit::Publish(TPropertyTable& t)
{
    t.Prop("AutoSelect", &TCustomEdit::GetAutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
    t.Prop("BevelInner", &TCustomEdit::GetBevelInner, &TCustomEdit::SetBevelInner).Default(bvRaised);
    t.Prop("BevelKind", &TCustomEdit::GetBevelKind, &TCustomEdit::SetBevelKind).Default(bkNone);
    t.Prop("BorderStyle", &TCustomEdit::GetBorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle).Type("TBorderStyle");
    t.Prop("CharCase", &TCustomEdit::GetCharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
    t.Prop("MaxLength", &TCustomEdit::GetMaxLength, &TCustomEdit::SetMaxLength).Default(0);
    t.Prop("PasswordChar", &TCustomEdit::GetPasswordChar, &TCustomEdit::SetPasswordChar).Default(char(0));
    t.Prop("ReadOnly", &TCustomEdit::GetReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    t.Prop("Text", &TControl::GetText, &TControl::SetText);
    t.Event("OnChange", &TCustomEdit::OnChange);
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomEdit::SetPasswordChar(char value) { if (value != FPasswordChar) { FPasswordChar = value; Changed(TControlChange::Style); } }
void TCustomEdit::SetReadOnly(bool value) { if (value != FReadOnly) { FReadOnly = value; Changed(TControlChange::Style); } }
void TCustomEdit::SetBevelInner(TBevelCut value) { if (value != FBevelInner) { FBevelInner = value; Changed(TControlChange::Style); } }
void TCustomEdit::SetBorderStyle(TBorderStyle value) { if (value != FBorderStyle) { FBorderStyle = value; Changed(TControlChange::Style); } }
void TCustomEdit::SetBevelKind(TBevelKind value) { if (value != FBevelKind) { FBevelKind = value; Changed(TControlChange::Style); } }

void TCustomEdit::SetMaxLength(int value)
{
    FMaxLength = std::max(0, value);
    Changed(TControlChange::Style);
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (value == FCharCase)
        return;
    FCharCase = value;
    Changed(TControlChange::Style);
    if (value != ecNormal)
        SetText(Filter(GetText()));
}

void TCustomEdit::SetSelStart(int value)
{
    FSelStart = std::clamp(value, 0, int(GetText().size()));
    FSelLength = std::min(FSelLength, int(GetText().size()) - FSelStart);
    Changed(TControlChange::Selection);
}

void TCustomEdit::SetSelLength(int value)
{
    FSelLength = std::clamp(value, 0, int(GetText().size()) - FSelStart);
    Changed(TControlChange::Selection);
}

AnsiString TCustomEdit::GetSelText() const { return GetText().substr(size_t(FSelStart), size_t(FSelLength)); }

void TCustomEdit::SelectAll()
{
    FSelStart = 0;
    FSelLength = int(GetText().size());
    Changed(TControlChange::Selection);
}

void TCustomEdit::DoEnter()
{
    if (!EnteringByMouse())
        FocusRegained();
    TWinControl::DoEnter();
}

void TCustomEdit::FocusRegained()
{
    if (FAutoSelect && !MultiLine())
        SelectAll();
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && !shift.Contains(ssShift) && !shift.Contains(ssDouble) && FSelLength > 0) {
        FSelStart = int(GetText().size());
        FSelLength = 0;
        Changed(TControlChange::Selection);
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::TextChanged()
{
    // A new text drops the selection, as the platform's edit does.
    FSelStart = std::min(FSelStart, int(GetText().size()));
    FSelLength = 0;
    if (!Loading())
        Change();
}

void TCustomEdit::Change()
{
    FModified = true;
    OnChange(this);
}

AnsiString TCustomEdit::AdjustText(const AnsiString& value) const
{
    return Cased(FCharCase, value);
}

AnsiString TCustomEdit::Filter(const AnsiString& text) const
{
    AnsiString s = Cased(FCharCase, text);
    if (FMaxLength > 0 && int(s.size()) > FMaxLength)
        s.resize(size_t(FMaxLength));
    return s;
}

bool TCustomEdit::UserTyped(const AnsiString& text)
{
    if (!AcceptsInput() || FReadOnly)
        return false;
    const AnsiString filtered = Filter(text);
    Guarded([&] { SetText(filtered); });
    return true;
}

void TCustomEdit::DefaultKeyPress(char key)
{
    if (FReadOnly)
        return;
    // A character replaces the selected text, and Backspace takes it away; with nothing
    // selected, typing goes on at the end.
    AnsiString s = GetText();
    const bool printable = static_cast<unsigned char>(key) >= 32;
    if (key != '\b' && !printable)
        return;
    if (FSelLength > 0) {
        const int at = FSelStart;
        s.erase(size_t(at), size_t(FSelLength));
        if (printable)
            s.insert(size_t(at), 1, key);
    } else if (key == '\b') {
        if (!s.empty())
            s.pop_back();
    } else {
        s += key;
    }
    SetText(Filter(s));
}

SKLAD_DEFINE_CLASS(TEdit)
void TEdit::Publish(TPropertyTable&) {}
TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

SKLAD_DEFINE_CLASS(TMemo)
void TMemo::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TMemo::GetAlignment, &TMemo::SetAlignment).Default(taLeftJustify);
    t.Prop("Lines", &TMemo::GetLines, &TMemo::SetLines);
    t.Prop("ScrollBars", &TMemo::GetScrollBars, &TMemo::SetScrollBars).Default(ssNone);
    t.Prop("WantReturns", &TMemo::GetWantReturns, &TMemo::SetWantReturns).Default(true);
    t.Prop("WantTabs", &TMemo::GetWantTabs, &TMemo::SetWantTabs).Default(false);
    t.Prop("WordWrap", &TMemo::GetWordWrap, &TMemo::SetWordWrap).Default(true);
    t.Prop("Text", &TControl::GetText, &TControl::SetText).Stored(false);
}

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TControlItems>())
{
    SetBounds(0, 0, 185, 89);
    FLines->SetNotify([this] { LinesChanged(); });
}

TMemo::~TMemo() = default;

void TMemo::SetLines(TStrings* value) { FLines->Assign(value); }

void TMemo::LinesChanged()
{
    if (FSyncing) {
        FTextIsLines = false;  // an OnChange handler changed the lines under us
        return;
    }
    FSyncing = true;
    TScopeExit done([&] { FSyncing = false; });
    const int inserted = FLines->Inserted();
    if (FTextIsLines && inserted >= 0 && inserted == FLines->Count() - 1 && LineAppended(inserted))
        return;
    AnsiString text = FLines->GetText();
    // The lines' text ends every line with CR LF; the memo's text has no final break.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    // The lines take the memo's case too, before OnChange can read them.
    const AnsiString adjusted = AdjustText(text);
    FTextIsLines = adjusted == text;
    if (!FTextIsLines)
        FLines->SetText(adjusted);
    SetText(adjusted);
}

// A line added at the end: the text takes a break and the line, so filling a memo one
// line at a time costs its length, not its square. OnChange fires as for any new text.
bool TMemo::LineAppended(int index)
{
    const AnsiString line = FLines->Get(index);
    const AnsiString adjusted = AdjustText(line);
    if (adjusted != line) {
        if (FLines->Sorted())
            return false; // a sorted list may place the cased line elsewhere
        FLines->Put(index, adjusted); // the lines take the memo's case too
    }
    FTextIsLines = true;
    const AnsiString tail = index == 0 ? adjusted : "\r\n" + adjusted;
    if (tail.empty())
        return true;
    const int at = int(FText.size());
    FText += tail;
    {
        FAppendedAt = at;
        TScopeExit told([&] { FAppendedAt = -1; });
        Changed(TControlChange::Caption);
    }
    TextChanged();
    return true;
}

void TMemo::TextChanged()
{
    if (!FSyncing) {
        FSyncing = true;
        TScopeExit done([&] { FSyncing = false; });
        FLines->SetText(GetText());
        FTextIsLines = false;
    }
    TCustomEdit::TextChanged();
}

void TMemo::SetScrollBars(TScrollStyle value) { if (value != FScrollBars) { FScrollBars = value; Changed(TControlChange::Style); } }
void TMemo::SetWordWrap(bool value) { if (value != FWordWrap) { FWordWrap = value; Changed(TControlChange::Style); } }
void TMemo::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(TControlChange::Style); } }

bool TMemo::WantsKey(Word key) const
{
    if (key == VK_RETURN)
        return FWantReturns;
    if (key == VK_TAB)
        return FWantTabs;
    return TCustomEdit::WantsKey(key);
}

// ---------------------------------------------------------------- combo box

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomComboBox)
void TCustomComboBox::Publish(TPropertyTable& t)
{
    t.Prop("AutoComplete", &TCustomComboBox::GetAutoComplete, &TCustomComboBox::SetAutoComplete).Default(true);
    t.Prop("AutoDropDown", &TCustomComboBox::GetAutoDropDown, &TCustomComboBox::SetAutoDropDown).Default(false);
    t.Prop("BevelInner", &TCustomComboBox::GetBevelInner, &TCustomComboBox::SetBevelInner).Default(bvRaised);
    t.Prop("BevelKind", &TCustomComboBox::GetBevelKind, &TCustomComboBox::SetBevelKind).Default(bkNone);
    t.Prop("CharCase", &TCustomComboBox::GetCharCase, &TCustomComboBox::SetCharCase).Default(ecNormal);
    t.Prop("DropDownCount", &TCustomComboBox::GetDropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    t.Prop("ItemHeight", &TCustomComboBox::GetItemHeight, &TCustomComboBox::SetItemHeight);
    t.Prop("Items", &TCustomComboBox::GetItems, &TCustomComboBox::SetItems);
    t.Prop("MaxLength", &TCustomComboBox::GetMaxLength, &TCustomComboBox::SetMaxLength).Default(0);
    t.Prop("Sorted", &TCustomComboBox::GetSorted, &TCustomComboBox::SetSorted).Default(false);
    t.Prop("Style", &TCustomComboBox::GetStyle, &TCustomComboBox::SetStyle).Default(csDropDown);
    t.Prop("Text", &TControl::GetText, &TControl::SetText);
    t.Prop("ItemIndex", &TCustomComboBox::GetItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
    t.Event("OnChange", &TCustomComboBox::OnChange);
    t.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
    t.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    t.Event("OnSelect", &TCustomComboBox::OnSelect);
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlItems>())
{
    FItems->SetNotify([this] { ItemsChanged(); });
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::SetItems(TStrings* value) { FItems->Assign(value); }

void TCustomComboBox::ItemsChanged()
{
    // The selection follows its text when items move (sorting, inserts); a deleted
    // selected item leaves none selected.
    if (FItemIndex >= 0) {
        const AnsiString text = GetText();
        int index = FItemIndex < FItems->Count() && Cased(FCharCase, FItems->Get(FItemIndex)) == text ? FItemIndex : -1;
        for (int i = 0; i < FItems->Count() && index < 0; ++i)
            if (Cased(FCharCase, FItems->Get(i)) == text)
                index = i;
        FItemIndex = index;
        if (FItemIndex < 0 && FStyle == csDropDownList) {
            FSettingIndex = true;
            SetText("");
            FSettingIndex = false;
        }
    }
    Changed(TControlChange::Items | TControlChange::ItemIndex);
}

void TCustomComboBox::SetItemIndex(int value)
{
    if (value < -1 || value >= FItems->Count())
        value = -1;
    FItemIndex = value;
    FSettingIndex = true;
    SetText(value >= 0 ? FItems->Get(value) : AnsiString());
    FSettingIndex = false;
    Changed(TControlChange::ItemIndex);
}

AnsiString TCustomComboBox::AdjustText(const AnsiString& value) const
{
    return Cased(FCharCase, value);
}

void TCustomComboBox::SetCharCase(TEditCharCase value)
{
    FCharCase = value;
    SetText(GetText());
}

void TCustomComboBox::TextChanged()
{
    // A new text drops the selection, as in an edit.
    FSelStart = std::min(FSelStart, int(GetText().size()));
    FSelLength = 0;
    if (FSettingIndex)
        return;
    // Text set from code: the item with exactly that text (in the box's case) becomes selected.
    int index = -1;
    for (int i = 0; i < FItems->Count(); ++i)
        if (Cased(FCharCase, FItems->Get(i)) == GetText()) {
            index = i;
            break;
        }
    FItemIndex = index;
    if (index < 0 && FStyle == csDropDownList && !GetText().empty() && !Loading()) {
        FSettingIndex = true;
        SetText("");
        FSettingIndex = false;
    }
    Changed(TControlChange::ItemIndex);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Changed(TControlChange::Style);
}

void TCustomComboBox::SetSorted(bool value)
{
    FItems->SetSorted(value);
    Changed(TControlChange::Items);
}

void TCustomComboBox::SetDropDownCount(int value)
{
    FDropDownCount = value;
    Changed(TControlChange::Style);
}

void TCustomComboBox::SetDroppedDown(bool value)
{
    if (value == FDroppedDown)
        return;
    // As on the platform: the list dropped down from code is announced as when the user
    // opens it, and closing it as when the user closes it.
    if (value)
        OnDropDown(this);
    FDroppedDown = value;
    Changed(TControlChange::DropDown);
    if (!value)
        OnCloseUp(this);
}

void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetItemIndex(-1);
    SetText("");
}

bool TCustomComboBox::WantsKey(Word key) const
{
    if (key == VK_RETURN || key == VK_ESCAPE)
        return FDroppedDown;
    return TWinControl::WantsKey(key);
}

bool TCustomComboBox::UserSelected(int index)
{
    if (!AcceptsInput() || index < 0 || index >= FItems->Count())
        return false;
    Guarded([&] {
        FItemIndex = index;
        FSettingIndex = true;
        SetText(FItems->Get(index));
        FSettingIndex = false;
        Changed(TControlChange::ItemIndex);
        if (FDroppedDown) {
            FDroppedDown = false;
            Changed(TControlChange::DropDown);
        }
        OnChange(this);
        OnSelect(this);
    });
    return true;
}

bool TCustomComboBox::UserStepped(int index) { return TCustomComboBox::UserSelected(index); }

bool TCustomComboBox::UserSelectedText(const AnsiString& text)
{
    int index = -1;
    for (int i = 0; i < FItems->Count() && index < 0; ++i)
        if (FItems->Get(i) == text)
            index = i;
    for (int i = 0; i < FItems->Count() && index < 0; ++i)
        if (AnsiCompareText(FItems->Get(i), text) == 0)
            index = i;
    return index >= 0 && UserSelected(index);
}

bool TCustomComboBox::UserTyped(const AnsiString& text)
{
    if (!AcceptsInput() || FStyle == csDropDownList || EditReadOnly())
        return false;
    Guarded([&] { TypedText(text); });
    return true;
}

void TCustomComboBox::TypedText(const AnsiString& text)
{
    AnsiString s = Cased(FCharCase, text);
    if (FMaxLength > 0 && int(s.size()) > FMaxLength)
        s.resize(size_t(FMaxLength));
    const bool differs = s != GetText();
    SetText(s);  // the item follows the text
    if (differs)
        OnChange(this);
}

void TCustomComboBox::SetSelStart(int value)
{
    FSelStart = std::clamp(value, 0, int(GetText().size()));
    FSelLength = std::min(FSelLength, int(GetText().size()) - FSelStart);
    Changed(TControlChange::Selection);
}

void TCustomComboBox::SetSelLength(int value)
{
    FSelLength = std::clamp(value, 0, int(GetText().size()) - FSelStart);
    Changed(TControlChange::Selection);
}

AnsiString TCustomComboBox::GetSelText() const { return GetText().substr(size_t(FSelStart), size_t(FSelLength)); }

void TCustomComboBox::SelectAll()
{
    if (!HasEditPart())
        return;
    FSelStart = 0;
    FSelLength = int(GetText().size());
    Changed(TControlChange::Selection);
}

void TCustomComboBox::DoEnter()
{
    if (!EnteringByMouse())
        FocusRegained();
    TWinControl::DoEnter();
}

void TCustomComboBox::FocusRegained() { SelectAll(); }

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && !shift.Contains(ssShift) && !shift.Contains(ssDouble) && FSelLength > 0) {
        FSelStart = int(GetText().size());
        FSelLength = 0;
        Changed(TControlChange::Selection);
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TCustomComboBox::DefaultKeyPress(char key)
{
    if (!HasEditPart() || EditReadOnly())
        return;
    const bool printable = static_cast<unsigned char>(key) >= 32;
    if (key != '\b' && !printable)
        return;
    AnsiString s = GetText();
    if (FSelLength > 0) {
        s.erase(size_t(FSelStart), size_t(FSelLength));
        if (printable)
            s.insert(size_t(FSelStart), 1, key);
    } else if (key == '\b') {
        if (!s.empty())
            s.pop_back();
    } else {
        s += key;
    }
    TypedText(s);
}

bool TCustomComboBox::UserDroppedDown(bool dropped)
{
    if (!AcceptsInput())
        return false;
    Guarded([&] {
        if (dropped == FDroppedDown)
            return;
        if (dropped)
            DropDown();
        FDroppedDown = dropped;
        Changed(TControlChange::DropDown);
        if (!dropped)
            CloseUp();
    });
    return true;
}

SKLAD_DEFINE_CLASS(TComboBox)
void TComboBox::Publish(TPropertyTable&) {}
TComboBox::TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

// ---------------------------------------------------------------- list box

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomListBox)
void TCustomListBox::Publish(TPropertyTable& t)
{
    t.Prop("BevelInner", &TCustomListBox::GetBevelInner, &TCustomListBox::SetBevelInner).Default(bvRaised);
    t.Prop("BorderStyle", &TCustomListBox::GetBorderStyle, &TCustomListBox::SetBorderStyle).Default(bsSingle).Type("TBorderStyle");
    t.Prop("ItemHeight", &TCustomListBox::GetItemHeight, &TCustomListBox::SetItemHeight);
    t.Prop("Items", &TCustomListBox::GetItems, &TCustomListBox::SetItems);
    t.Prop("MultiSelect", &TCustomListBox::GetMultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    t.Prop("Sorted", &TCustomListBox::GetSorted, &TCustomListBox::SetSorted).Default(false);
    t.Prop("Style", &TCustomListBox::GetStyle, &TCustomListBox::SetStyle).Default(lbStandard);
    t.Prop("ItemIndex", &TCustomListBox::GetItemIndex, &TCustomListBox::SetItemIndex).Default(-1);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value)
{
    if (value != FBorderStyle) {
        FBorderStyle = value;
        Changed(TControlChange::Style);
    }
}

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TControlItems>())
{
    FItems->SetNotify([this] { ItemsChanged(); });
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::SetItems(TStrings* value) { FItems->Assign(value); }

void TCustomListBox::ItemsChanged()
{
    FSelected.assign(size_t(FItems->Count()), false);
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    if (FItemIndex >= 0)
        FSelected[size_t(FItemIndex)] = true;
    Changed(TControlChange::Items | TControlChange::ItemIndex);
}

void TCustomListBox::SetItemIndex(int value)
{
    if (value < -1 || value >= FItems->Count())
        value = -1;
    FItemIndex = value;
    FSelected.assign(size_t(FItems->Count()), false);
    if (value >= 0)
        FSelected[size_t(value)] = true;
    Changed(TControlChange::ItemIndex);
}

void TCustomListBox::SetMultiSelect(bool value)
{
    FMultiSelect = value;
    Changed(TControlChange::Style);
}

bool TCustomListBox::GetSelected(int index) const
{
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return index < int(FSelected.size()) && FSelected[size_t(index)];
}

void TCustomListBox::SetSelected(int index, bool value)
{
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    FSelected.resize(size_t(FItems->Count()), false);
    if (!FMultiSelect) {
        SetItemIndex(value ? index : (FItemIndex == index ? -1 : FItemIndex));
        return;
    }
    FSelected[size_t(index)] = value;
    if (value)
        FItemIndex = index;
    Changed(TControlChange::ItemIndex);
}

int TCustomListBox::SelCount() const
{
    if (!FMultiSelect)
        return -1;
    return int(std::count(FSelected.begin(), FSelected.end(), true));
}

void TCustomListBox::SetSorted(bool value)
{
    FItems->SetSorted(value);
    Changed(TControlChange::Items);
}

void TCustomListBox::SetTopIndex(int value)
{
    FTopIndex = std::max(0, value);
    Changed(TControlChange::Scroll);
}

void TCustomListBox::Clear()
{
    FItems->Clear();
    SetItemIndex(-1);
}

bool TCustomListBox::UserSelected(int index)
{
    if (!AcceptsInput() || index < 0 || index >= FItems->Count())
        return false;
    Guarded([&] {
        SetItemIndex(index);
        Click();
    });
    return true;
}

SKLAD_DEFINE_CLASS(TListBox)
void TListBox::Publish(TPropertyTable&) {}
TListBox::TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

// ---------------------------------------------------------------- buttons

SKLAD_DEFINE_ABSTRACT_CLASS(TButtonControl)
void TButtonControl::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
}
TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }

bool TButtonControl::UserClicked()
{
    if (!AcceptsInput())
        return false;
    Guarded([this] {
        if (CanFocus())
            if (TCustomForm* form = ParentForm())
                form->SetActiveControl(this);
        Click();
    });
    return true;
}

SKLAD_DEFINE_CLASS(TButton)
void TButton::Publish(TPropertyTable& t)
{
    t.Prop("Cancel", &TButton::GetCancel, &TButton::SetCancel).Default(false);
    t.Prop("Default", &TButton::GetDefault, &TButton::SetDefault).Default(false);
    t.Prop("ModalResult", &TButton::GetModalResult, &TButton::SetModalResult).Type("TModalResult").Default(0);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::SetDefault(bool value)
{
    if (value == FDefault)
        return;
    FDefault = value;
    Changed(TControlChange::Style);
}

void TButton::Click()
{
    // The modal result goes to the form first, as the platform does, so a handler can
    // still clear it.
    if (FModalResult != mrNone)
        if (TCustomForm* form = ParentForm())
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

SKLAD_DEFINE_CLASS(TCheckBox)
void TCheckBox::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TCheckBox::GetAlignment, &TCheckBox::SetAlignment).Default(taRightJustify);
    t.Prop("AllowGrayed", &TCheckBox::GetAllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    t.Prop("Checked", &TCheckBox::GetChecked, &TCheckBox::SetChecked).Stored(false);
    t.Prop("State", &TCheckBox::GetState, &TCheckBox::SetState).Default(cbUnchecked);
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState value)
{
    if (value == FState)
        return;
    FState = value;
    Changed(TControlChange::Checked);
    // Setting the state from code fires OnClick, as a click does.
    if (!Loading())
        Click();
}

void TCheckBox::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(TControlChange::Style); } }

bool TCheckBox::UserClicked()
{
    if (!AcceptsInput())
        return false;
    Guarded([this] {
        if (CanFocus())
            if (TCustomForm* form = ParentForm())
                form->SetActiveControl(this);
        switch (FState) {
        case cbUnchecked: SetState(cbChecked); break;
        case cbChecked: SetState(FAllowGrayed ? cbGrayed : cbUnchecked); break;
        case cbGrayed: SetState(cbUnchecked); break;
        }
    });
    return true;
}

SKLAD_DEFINE_CLASS(TRadioButton)
void TRadioButton::Publish(TPropertyTable& t)
{
    t.Prop("Alignment", &TRadioButton::GetAlignment, &TRadioButton::SetAlignment).Default(taRightJustify);
    t.Prop("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked).Default(false);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    FChecked = value;
    Changed(TControlChange::Checked);
    if (!value)
        return;
    if (TWinControl* parent = GetParent())
        for (TControl* c : parent->ControlList())
            if (auto* r = dynamic_cast<TRadioButton*>(c); r && r != this && r->FChecked) {
                r->FChecked = false;
                r->Changed(TControlChange::Checked);
            }
    if (!Loading())
        Click();
}

void TRadioButton::SetAlignment(TAlignment value) { if (value != FAlignment) { FAlignment = value; Changed(TControlChange::Style); } }

bool TRadioButton::UserClicked()
{
    if (!AcceptsInput())
        return false;
    Guarded([this] {
        if (CanFocus())
            if (TCustomForm* form = ParentForm())
                form->SetActiveControl(this);
        SetChecked(true);
    });
    return true;
}

void TRadioButton::KeyDown(Word& key, TShiftState shift)
{
    TButtonControl::KeyDown(key, shift);
    const bool back = key == VK_UP || key == VK_LEFT;
    if ((!back && key != VK_DOWN && key != VK_RIGHT) || shift.Contains(ssCtrl) || shift.Contains(ssAlt))
        return;
    TWinControl* parent = GetParent();
    if (!parent)
        return;
    std::vector<TRadioButton*> group;
    for (TControl* c : parent->ControlList())
        if (auto* r = dynamic_cast<TRadioButton*>(c); r && (r == this || r->CanFocus()))
            group.push_back(r);
    if (group.size() < 2)
        return;
    std::stable_sort(group.begin(), group.end(),
                     [](const TRadioButton* a, const TRadioButton* b) { return a->GetTabOrder() < b->GetTabOrder(); });
    const size_t at = size_t(std::find(group.begin(), group.end(), this) - group.begin());
    TRadioButton* next = group[(at + (back ? group.size() - 1 : 1)) % group.size()];
    key = 0;
    if (TCustomForm* form = ParentForm())
        form->SetActiveControl(next);
    next->SetChecked(true);
}

// ---------------------------------------------------------------- group box

SKLAD_DEFINE_ABSTRACT_CLASS(TCustomGroupBox)
void TCustomGroupBox::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 185, 105); }

TRect TCustomGroupBox::ClientRect() const
{
    // The caption line on top and a two-pixel frame around.
    return Rect(2, 15, std::max(2, FWidth - 2), std::max(15, FHeight - 2));
}

SKLAD_DEFINE_CLASS(TGroupBox)
void TGroupBox::Publish(TPropertyTable&) {}
TGroupBox::TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
