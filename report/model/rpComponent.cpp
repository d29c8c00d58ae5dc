// rpComponent.cpp - the report component tree.
#include "report/model/rpComponent.h"

#include "report/model/rpConsts.h"
#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"
#include "report/model/rpXMLSerializer.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <unordered_map>
#include <cmath>

TFontCharset rpCharset = DEFAULT_CHARSET;

bool FloatsDiffer(Extended A, Extended B) { return std::fabs(A - B) > 0.0001L; }

int ShiftStateToInt(TShiftState Shift)
{
    int r = 0;
    const TShiftStateElement order[] = {ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble};
    for (int i = 0; i < 7; ++i)
        if (Shift.Contains(order[i]))
            r |= 1 << i;
    return r;
}

// ---------------------------------------------------------------- TrpComponent

SKLAD_DEFINE_ABSTRACT_CLASS(TrpComponent)
SKLAD_DEFINE_ABSTRACT_CLASS(TrpPage)

namespace {
TComponent* OwnerFor(TComponent* AOwner)
{
    if (auto* rc = dynamic_cast<TrpComponent*>(AOwner))
        return rc->GetReport();
    return AOwner;
}

AnsiString MakeBaseName(AnsiString name)
{
    size_t at = name.find("Trp");
    if (at != AnsiString::npos)
        name.erase(at, 3);
    at = name.find("View");
    if (at != AnsiString::npos)
        name.erase(at, 4);
    return name;
}
}  // namespace

TrpComponent::TrpComponent(TComponent* AOwner) : TComponent(OwnerFor(AOwner)) { Init(AOwner); }

TrpComponent::TrpComponent(TComponent* AOwner, uint16_t /*Flags*/) : TComponent(OwnerFor(AOwner))
{
    IsDesigning = true;
    Init(AOwner);
}

void TrpComponent::Init(TComponent* AOwner)
{
    FFont = std::make_unique<TFont>();
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetColor(clBlack);
    FFont->SetCharset(rpCharset);
    FFont->OnChange = TNotifyEvent(this, &TrpComponent::FontChanged);
    FVisible = true;
    SetParentFont(true);
    if (auto* parent = dynamic_cast<TrpComponent*>(AOwner))
        SetParent(parent);
}

// ---- the report's name index

struct TrpComponent::TNameIndex {
    // Names as SameText compares them: ASCII letters folded.
    std::unordered_map<AnsiString, std::vector<TrpComponent*>> Names;
    // Per upper-cased base name: every number below it is taken (reset when a name goes).
    std::unordered_map<AnsiString, int> NextFree;
    void Add(TrpComponent* C)
    {
        if (!C->Name().empty())
            Names[UpperCase(C->Name())].push_back(C);
    }
    void Remove(TrpComponent* C, const AnsiString& Name)
    {
        if (Name.empty())
            return;
        auto it = Names.find(UpperCase(Name));
        if (it == Names.end())
            return;
        auto& list = it->second;
        list.erase(std::remove(list.begin(), list.end(), C), list.end());
        if (list.empty())
            Names.erase(it);
        NextFree.clear();
    }
    bool Has(const AnsiString& Name) const { return Names.count(UpperCase(Name)) != 0; }
};

TrpComponent::TNameIndex* TrpComponent::NameIndex() const
{
    if (!FNameIndex) {
        FNameIndex = std::make_unique<TNameIndex>();
        for (TrpComponent* c : GetAllObjects())
            FNameIndex->Add(c);
    }
    return FNameIndex.get();
}

TrpComponent::TNameIndex* TrpComponent::IndexOver(const TrpComponent* C)
{
    TrpCustomReport* report = C ? C->GetReport() : nullptr;
    return report ? report->FNameIndex.get() : nullptr;
}

void TrpComponent::IndexSubtree(TNameIndex* Index, bool Add)
{
    if (Add)
        Index->Add(this);
    else
        Index->Remove(this, Name());
    for (TrpComponent* c : GetAllObjects())
        if (Add)
            Index->Add(c);
        else
            Index->Remove(c, c->Name());
}

void TrpComponent::ChangeName(const AnsiString& NewName)
{
    TNameIndex* index = IndexOver(FParent);
    if (index)
        index->Remove(this, Name());
    TComponent::ChangeName(NewName);
    if (index)
        index->Add(this);
}

TrpComponent::~TrpComponent()
{
    FNameIndex.reset();
    SetParent(nullptr);
    Clear();
    FFont->OnChange = nullptr;
}

TrpComponent* TrpComponent::Object(int Index) const
{
    if (Index < 0 || Index >= ObjectCount())
        throw EListError(Format(rpmsg::kListIndex, {Index}));
    return FObjects[static_cast<size_t>(Index)];
}

void TrpComponent::SetParent(TrpComponent* AParent)
{
    if (AParent == FParent)
        return;
    for (TrpComponent* p = AParent; p; p = p->FParent)
        if (p == this)
            throw EInvalidOperation(Format(rpmsg::kParentCycle, {Name().empty() ? ClassName() : Name()}));
    if (FParent) {
        if (TNameIndex* index = IndexOver(FParent))
            IndexSubtree(index, false);
        auto& list = FParent->FObjects;
        auto it = std::find(list.rbegin(), list.rend(), this);  // freeing goes from the end
        if (it != list.rend())
            list.erase(std::next(it).base());
    }
    FParent = AParent;
    if (FParent) {
        FParent->FObjects.push_back(this);
        SetParentFont(FParentFont);
        if (TNameIndex* index = IndexOver(FParent))
            IndexSubtree(index, true);
    }
}

void TrpComponent::SetParentComponent(TComponent* Value)
{
    if (auto* parent = dynamic_cast<TrpComponent*>(Value))
        SetParent(parent);
}

void TrpComponent::Clear()
{
    // Last first: each child leaves the end of this list and of its owner's, so freeing
    // n objects costs n steps.
    while (!FObjects.empty())
        delete FObjects.back();  // its destructor takes it off the list
}

namespace {

TList* Refill(std::unique_ptr<TList>& List, const std::vector<TrpComponent*>& Items)
{
    if (!List)
        List = std::make_unique<TList>();
    List->Clear();
    for (TrpComponent* c : Items)
        List->Add(c);
    return List.get();
}

}  // namespace

TList* TrpComponent::GetObjectsList() { return Refill(FObjectsList, FObjects); }

TList* TrpComponent::GetAllObjectsList() { return Refill(FAllObjectsList, GetAllObjects()); }

std::vector<TrpComponent*> TrpComponent::GetAllObjects() const
{
    std::vector<TrpComponent*> all;
    // Depth first without recursion: a stack of (component, next child index).
    std::vector<std::pair<const TrpComponent*, size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [comp, next] = stack.back();
        if (next >= comp->FObjects.size()) {
            stack.pop_back();
            continue;
        }
        TrpComponent* child = comp->FObjects[next++];
        all.push_back(child);
        stack.emplace_back(child, 0);
    }
    return all;
}

bool TrpComponent::IsDescendantOf(const TrpComponent* Ancestor) const
{
    for (const TrpComponent* p = FParent; p; p = p->FParent)
        if (p == Ancestor)
            return true;
    return false;
}

TrpComponent* TrpComponent::FindObject(std::string_view AName) const
{
    // The report's name index finds the objects it owns (all that a load makes) at once.
    if (!AName.empty())
        if (const TrpCustomReport* report = GetReport())
            if (auto* c = dynamic_cast<TrpComponent*>(report->FindComponent(AName)))
                if (c->IsDescendantOf(this))
                    return c;
    if (TrpCustomReport* report = GetReport(); report && !AName.empty()) {
        // Every object of the report's tree is in its index: no walk needed.
        const auto& names = report->NameIndex()->Names;
        auto it = names.find(UpperCase(AnsiString(AName)));
        if (it == names.end())
            return nullptr;
        TrpComponent* found = nullptr;
        for (TrpComponent* c : it->second)
            if (c->IsDescendantOf(this))
                found = found ? found : c;
        if (!found || it->second.size() == 1)
            return found;
        // The same name twice (a damaged file): the first in tree order, as before.
    }
    for (TrpComponent* c : GetAllObjects())
        if (SameText(c->Name(), AName))
            return c;
    return nullptr;
}

TrpPage* TrpComponent::GetPage() const
{
    for (const TrpComponent* p = this; p; p = p->FParent)
        if (auto* page = dynamic_cast<const TrpPage*>(p))
            return const_cast<TrpPage*>(page);
    return nullptr;
}

TrpCustomReport* TrpComponent::GetReport() const
{
    // Drawing asks for every object's report: the class table answers faster than
    // dynamic_cast, which compares type names across libraries.
    const TClass report = TrpCustomReport::StaticClass();
    for (const TrpComponent* p = this; p; p = p->FParent)
        if (p->ClassType()->InheritsFrom(report))
            return static_cast<TrpCustomReport*>(const_cast<TrpComponent*>(p));
    return nullptr;
}

// ---- geometry

void TrpComponent::SetLeft(Extended Value)
{
    if (IsDesigning && Restrictions.Contains(rfDontMove))
        return;
    FLeft = Value;
}

void TrpComponent::SetTop(Extended Value)
{
    if (IsDesigning && Restrictions.Contains(rfDontMove))
        return;
    FTop = Value;
}

void TrpComponent::SetWidth(Extended Value)
{
    if (IsDesigning && Restrictions.Contains(rfDontSize))
        return;
    FWidth = Value;
}

void TrpComponent::SetHeight(Extended Value)
{
    if (IsDesigning && Restrictions.Contains(rfDontSize))
        return;
    FHeight = Value;
}

void TrpComponent::SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight)
{
    SetLeft(ALeft);
    SetTop(ATop);
    SetWidth(AWidth);
    SetHeight(AHeight);
}

Extended TrpComponent::GetAbsLeft() const
{
    Extended r = FLeft;
    for (const TrpComponent* p = FParent; p && !p->IsDialogPage(); p = p->FParent)
        r += p->FLeft;
    return r;
}

Extended TrpComponent::GetAbsTop() const
{
    Extended r = FTop;
    for (const TrpComponent* p = FParent; p && !p->IsDialogPage(); p = p->FParent)
        r += p->FTop;
    return r;
}

void TrpComponent::SetFont(TFont* Value)
{
    if (Value && Value != FFont.get())
        FFont->Assign(Value);
    FParentFont = false;
}

void TrpComponent::SetParentFont(bool Value)
{
    if (Value && FParent)
        SetFont(FParent->GetFont());
    FParentFont = Value;
}

void TrpComponent::FontChanged(TObject* /*Sender*/)
{
    FParentFont = false;
    for (TrpComponent* child : FObjects)
        if (child->FParentFont)
            child->SetParentFont(true);
}

void TrpComponent::SetVisible(bool Value) { FVisible = Value; }

// ---- names

void TrpComponent::SetName(const AnsiString& NewName)
{
    if (!NewName.empty()) {
        if (TrpCustomReport* report = GetReport()) {
            // While a load runs every object it makes is owned by the report, whose name
            // index (TComponent::SetName) answers without walking the tree per name.
            TrpComponent* other = report->CurSerializer && Owner() == report
                                      ? dynamic_cast<TrpComponent*>(report->FindComponent(NewName))
                                      : report->FindObject(NewName);
            if (other && other != this)
                throw EComponentError(rpResources().Get("prDupl"));
        }
    }
    TComponent::SetName(NewName);
}

AnsiString TrpComponent::GetBaseName() const { return BaseName.empty() ? DefaultBaseName() : BaseName; }

AnsiString TrpComponent::DefaultBaseName() const { return MakeBaseName(ClassName()); }

void TrpComponent::CreateUniqueName()
{
    if (TrpCustomReport* report = GetReport()) {
        // The report's index answers each candidate at once, and remembers where the free
        // numbers of a stem begin: naming n objects in a row costs n steps, not n squared.
        TNameIndex* index = report->NameIndex();
        const AnsiString base = GetBaseName();
        int& next = index->NextFree[UpperCase(base)];
        int n = std::max(next, 1);
        while (index->Has(base + IntToStr(n)))
            ++n;
        SetName(base + IntToStr(n));
        // SetName may have reset the hints (the old name went); this number is taken now.
        index->NextFree[UpperCase(base)] = n + 1;
        return;
    }
    TStringList names;
    names.SetSorted(true);
    names.SetDuplicates(dupIgnore);
    if (FParent)
        for (TrpComponent* c : FParent->GetAllObjects())
            names.Add(c->Name());
    for (int n = 1;; ++n) {
        const AnsiString candidate = GetBaseName() + IntToStr(n);
        int at;
        if (!names.Find(candidate, at)) {
            SetName(candidate);
            return;
        }
    }
}

// ---- alignment of children

void TrpComponent::AlignChildren()
{
    // The order of a sorted string list that accepts duplicates (each new key goes before
    // its equals), sorted once instead of inserted one by one: a band of many objects is
    // not quadratic.
    struct Entry {
        AnsiString Key;
        size_t Index;
        TrpComponent* Child;
    };
    std::vector<Entry> entries;
    entries.reserve(FObjects.size());
    for (TrpComponent* c : FObjects) {
        if (c->IsBand())
            continue;
        const double l = static_cast<double>(c->FLeft);
        const AnsiString key = l > 0 ? "1" + Format("%9.2f", {l}) : "0" + Format("%9.2f", {-l});
        entries.push_back({key, entries.size(), c});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = AnsiCompareText(a.Key, b.Key);
        return c != 0 ? c < 0 : a.Index > b.Index;
    });
    std::vector<TrpComponent*> list;
    list.reserve(entries.size());
    for (const Entry& e : entries)
        list.push_back(e.Child);
    for (size_t i = 0; i < list.size(); ++i) {
        TrpComponent* v = list[i];
        if (!v->IsView())
            continue;
        switch (v->GetAlign()) {
        case baLeft: case baRight: case baWidth: AlignChild(v, static_cast<int>(i), list); break;
        case baCenter: v->SetLeft((FWidth - v->FWidth) / 2); break;
        case baBottom: v->SetTop(FHeight - v->FHeight); break;
        case baClient: v->SetLeft(0); v->SetTop(0); v->SetWidth(FWidth); v->SetHeight(FHeight); break;
        case baNone: break;
        }
    }
}

void TrpComponent::AlignChild(TrpComponent* View, int I, const std::vector<TrpComponent*>& Sorted)
{
    auto overlaps = [](TrpComponent* a, TrpComponent* b) {
        return !(a->GetAbsTop() >= b->GetAbsTop() + b->FHeight) && !(b->GetAbsTop() >= a->GetAbsTop() + a->FHeight);
    };
    const TrpAlign align = View->GetAlign();
    TrpComponent* left = nullptr;
    for (int j = I - 1; j >= 0; --j) {
        TrpComponent* c = Sorted[static_cast<size_t>(j)];
        if (overlaps(View, c) && c->GetAbsLeft() < View->GetAbsLeft()) {
            left = c;
            break;
        }
    }
    if (align == baLeft || align == baWidth)
        View->SetLeft(left ? left->FLeft + left->FWidth : 0);
    TrpComponent* right = nullptr;
    for (size_t j = static_cast<size_t>(I) + 1; j < Sorted.size(); ++j) {
        TrpComponent* c = Sorted[j];
        if (overlaps(View, c) && c->GetAbsLeft() + c->FWidth > View->GetAbsLeft() + View->FWidth) {
            right = c;
            break;
        }
    }
    if (align == baRight)
        View->SetLeft(right ? right->FLeft - View->FWidth : FWidth - View->FWidth);
    if (align == baWidth)
        View->SetWidth(right ? right->FLeft - View->FLeft : FWidth - View->FLeft);
}

// ---- streams

void TrpComponent::GetChildren(const TGetChildProc& Proc, TComponent* /*Root*/)
{
    const std::vector<TrpComponent*> children = FObjects;
    for (TrpComponent* c : children)
        Proc(c);
}

void TrpComponent::SaveToStream(TStream& Stream, bool SaveChildren, bool SaveDefaultValues)
{
    const AnsiString savedName = Name();
    ChangeName({});
    TrpXMLSerializer s(&Stream);
    s.Owner = GetReport();
    s.SerializeDefaultValues = SaveDefaultValues;
    try {
        s.WriteRootComponent(this, SaveChildren);
    } catch (...) {
        ChangeName(savedName);
        throw;
    }
    ChangeName(savedName);
}

void TrpComponent::LoadFromStream(TStream& Stream)
{
    // The document is parsed before anything is touched: malformed XML changes nothing.
    TrpXMLDocument doc;
    doc.LoadWholeFromStream(Stream);
    // A report takes only a report's file: a page or a view saved on its own would hang
    // its bands or objects straight under the report, where nothing prints them.
    if (ClassType()->InheritsFrom(TrpCustomReport::StaticClass()))
        if (TClass root = GetClass(doc.Root()->Name); root && !root->InheritsFrom(TrpCustomReport::StaticClass()))
            throw EReadError(Format(rpmsg::kRootMismatch, {doc.Root()->Name, ClassName()}));

    const AnsiString savedName = Name();
    Clear();
    TrpXMLSerializer s(&Stream);
    TrpCustomReport* report = GetReport();
    TrpXMLSerializer* outer = report ? report->CurSerializer : nullptr;
    if (report)
        report->CurSerializer = &s;
    ChangeName({});
    s.Owner = report;
    try {
        s.ReadRootComponent(this, doc.Root());
    } catch (...) {
        if (report)
            report->CurSerializer = outer;
        ChangeName(savedName);
        throw;
    }
    if (report) {
        for (int i = 0; i < s.Errors.Count(); ++i)
            report->Errors.Add(s.Errors[i]);
        report->CurSerializer = outer;
    }
    ChangeName(savedName);
}

void TrpComponent::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TrpComponent*>(Source);
    if (!src || src == this)
        return;
    TMemoryStream ms;
    src->SaveToStream(ms, false, true);
    ms.SetPosition(0);
    LoadFromStream(ms);
}

void TrpComponent::AssignAll(TrpComponent* Source)
{
    if (!Source || Source == this)
        return;
    TMemoryStream ms;
    Source->SaveToStream(ms, true, true);
    ms.SetPosition(0);
    LoadFromStream(ms);
}

// ---- difference text

namespace {
AnsiString Attr(const char* name, const AnsiString& value) { return AnsiString(" ") + name + "=\"" + value + "\""; }
AnsiString BoolText(bool b) { return b ? "1" : "0"; }
}  // namespace

AnsiString TrpComponent::Diff(TrpComponent* AObj) { return InternalDiff(AObj); }

AnsiString TrpComponent::InternalDiff(TrpComponent* AObj)
{
    AnsiString r;
    if (!(IsView() && GetAlign() != baNone) && FloatsDiffer(FLeft, AObj->FLeft))
        r += Attr("l", FloatToStr(static_cast<double>(FLeft)));
    if (IsBand() || FloatsDiffer(FTop, AObj->FTop))
        r += Attr("t", FloatToStr(static_cast<double>(FTop)));
    if (!HasAutoWidth() && FloatsDiffer(FWidth, AObj->FWidth))
        r += Attr("w", FloatToStr(static_cast<double>(FWidth)));
    if (FloatsDiffer(FHeight, AObj->FHeight))
        r += Attr("h", FloatToStr(static_cast<double>(FHeight)));
    if (FVisible != AObj->FVisible)
        r += Attr("Visible", BoolText(FVisible));
    if (!FParentFont)
        r += DiffFont(FFont.get(), AObj->FFont.get(), " ");
    if (FParentFont != AObj->FParentFont)
        r += Attr("ParentFont", BoolText(FParentFont));
    if (Tag() != AObj->Tag())
        r += Attr("Tag", IntToStr(Tag()));
    return r;
}

AnsiString TrpComponent::DiffFont(TFont* F1, TFont* F2, const AnsiString& Add)
{
    AnsiString r;
    auto put = [&](const char* name, const AnsiString& value) { r += Add + name + "=\"" + value + "\""; };
    if (F1->GetName() != F2->GetName())
        put("Font.Name", rpStrToXML(F1->GetName()));
    if (F1->GetSize() != F2->GetSize())
        put("Font.Size", IntToStr(F1->GetSize()));
    if (F1->GetColor() != F2->GetColor())
        put("Font.Color", IntToStr(F1->GetColor()));
    if (F1->GetStyle() != F2->GetStyle())
        put("Font.Style", IntToStr(F1->GetStyle().Bits()));
    if (F1->GetCharset() != F2->GetCharset())
        put("Font.Charset", IntToStr(F1->GetCharset()));
    return r;
}

AnsiString TrpComponent::AllDiff(TrpComponent* AObj)
{
    TrpXMLSerializer s(nullptr);
    s.Owner = GetReport();
    AnsiString r = s.ObjToXML(this);
    if (!r.empty() && r[0] == ' ')
        r.erase(0, 1);
    if (AObj)
        r += " " + InternalDiff(AObj);
    return r;
}

// ---------------------------------------------------------------- TrpReportComponent

SKLAD_DEFINE_ABSTRACT_CLASS(TrpReportComponent)

TrpReportComponent::TrpReportComponent(TComponent* AOwner) : TrpComponent(AOwner) {}
TrpReportComponent::TrpReportComponent(TComponent* AOwner, uint16_t Flags) : TrpComponent(AOwner, Flags) {}

void TrpReportComponent::BeforePrint() { OriginalRect = {FLeft, FTop, FWidth, FHeight}; }

void TrpReportComponent::AfterPrint()
{
    SetBounds(OriginalRect.Left, OriginalRect.Top, OriginalRect.Right, OriginalRect.Bottom);
}
