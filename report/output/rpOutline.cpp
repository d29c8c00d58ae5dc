// rpOutline.cpp - outline entries in the prepared report's tree; the short-name dictionary.
#include "report/output/rpOutline.h"

#include "report/output/rpPreviewPages.h"

#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace {

int IntProp(const TrpXMLItem* Item, std::string_view Name, int Default)
{
    try {
        int v = 0;
        return TryStrToInt(Trim(Item->Prop(Name)), v) ? v : Default;
    } catch (const Exception&) {
        return Default;  // a damaged reference in a loaded file
    }
}

AnsiString EntryText(const AnsiString& Text, int Page, int Top)
{
    return "text=\"" + rpStrToXML(Text) + "\" page=\"" + IntToStr(Page) + "\" top=\"" + IntToStr(Top) + "\"";
}

void ShiftTree(TrpXMLItem* Item, int Delta, int Depth)
{
    if (Depth > kMaxXMLDepth)
        return;
    Item->SetProp("page", IntToStr(IntProp(Item, "page", 0) + 1));
    Item->SetProp("top", IntToStr(IntProp(Item, "top", 0) + Delta));
    for (int i = 0; i < Item->Count(); ++i)
        ShiftTree(Item->Items(i), Delta, Depth + 1);
}

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TrpOutline)

TrpOutline::TrpOutline(TrpCustomPreviewPages* APreviewPages) : TrpCustomOutline(APreviewPages) {}

TrpXMLItem* TrpOutline::Root()
{
    auto* pages = dynamic_cast<TrpPreviewPages*>(PreviewPages);
    if (!pages)
        return nullptr;
    return pages->XMLDoc()->Root()->FindItem("outline");
}

TrpXMLItem* TrpOutline::Current()
{
    if (!CurItem)
        CurItem = Root();
    return CurItem;
}

int TrpOutline::GetCount()
{
    TrpXMLItem* cur = Current();
    return cur ? cur->Count() : 0;
}

void TrpOutline::AddItem(const AnsiString& Text, int Top)
{
    TrpXMLItem* cur = Current();
    if (!cur)
        return;
    TrpXMLItem* item = cur->Add();
    item->Name = "item";
    item->Text = EntryText(Text, PreviewPages ? PreviewPages->CurPage : 0, Top);
    CurItem = item;
}

void TrpOutline::LevelDown(int Index)
{
    TrpXMLItem* cur = Current();
    if (cur)
        CurItem = cur->Items(Index);
}

void TrpOutline::LevelRoot() { CurItem = Root(); }

void TrpOutline::LevelUp()
{
    TrpXMLItem* cur = Current();
    if (cur && cur != Root() && cur->Parent())
        CurItem = cur->Parent();
}

void TrpOutline::GetItem(int Index, AnsiString& Text, int& Page, int& Top)
{
    TrpXMLItem* cur = Current();
    if (!cur)
        return;
    TrpXMLItem* item = cur->Items(Index);
    try {
        Text = item->Prop("text");
    } catch (const Exception&) {
        Text = item->Text;  // undecodable reference in a loaded file: show it raw
    }
    if (item->PropExists("page"))
        Page = IntProp(item, "page", Page);
    if (item->PropExists("top"))
        Top = IntProp(item, "top", Top);
}

void TrpOutline::ShiftItems(TrpXMLItem* From, int NewTop)
{
    if (!From || !From->Parent())
        return;
    TrpXMLItem* parent = From->Parent();
    const int i = parent->IndexOf(From);
    if (i < 0 || i + 1 >= parent->Count())
        return;
    TrpXMLItem* next = parent->Items(i + 1);
    ShiftTree(next, NewTop - IntProp(next, "top", 0), 0);
}

TrpOutline::TMark TrpOutline::Mark()
{
    TMark mark;
    TrpXMLItem* root = Root();
    for (TrpXMLItem* i = Current(); i && static_cast<int>(mark.size()) <= kMaxXMLDepth; i = i->Parent()) {
        mark.emplace_back(i, i->Count());
        if (i == root)
            break;
    }
    return mark;  // deepest level first: the order the new entries come in
}

namespace {

void MoveTree(TrpXMLItem* Item, int Page, int Delta, int Depth)
{
    if (Depth > kMaxXMLDepth)
        return;
    Item->SetProp("page", IntToStr(Page));
    Item->SetProp("top", IntToStr(IntProp(Item, "top", 0) + Delta));
    for (int i = 0; i < Item->Count(); ++i)
        MoveTree(Item->Items(i), Page, Delta, Depth + 1);
}

}  // namespace

void TrpOutline::MoveSince(const TMark& Mark, int NewTop, std::optional<Extended> Delta)
{
    const int page = PreviewPages ? PreviewPages->CurPage : 0;
    bool first = !Delta;
    int delta = Delta ? static_cast<int>(std::lround(static_cast<double>(*Delta))) : 0;
    for (const auto& [level, count] : Mark)
        for (int i = count; i < level->Count(); ++i) {
            TrpXMLItem* item = level->Items(i);
            if (first) {
                delta = NewTop - IntProp(item, "top", 0);
                first = false;
            }
            MoveTree(item, page, delta, 0);
        }
}

void TrpOutline::MoveEntries(TrpXMLItem* From, TrpXMLItem* Under, int Delta)
{
    if (!From || !Under)
        return;
    const int page = PreviewPages ? PreviewPages->CurPage : 0;
    while (From->Count() > 0) {
        TrpXMLItem* item = From->Items(0);
        MoveTree(item, page, Delta, 0);
        Under->AddItem(item);
    }
}

TrpXMLItem* TrpOutline::GetCurPosition()
{
    TrpXMLItem* cur = Current();
    if (!cur)
        return nullptr;
    return cur->Count() > 0 ? cur->Items(cur->Count() - 1) : cur;
}

// ---------------------------------------------------------------- TrpDictionary

void TrpDictionary::Clear()
{
    FNames.clear();
    FSources.clear();
    FTakenRuns.clear();
}

void TrpDictionary::Add(const AnsiString& Name, const AnsiString& SourceName, TObject* Obj)
{
    FSources.push_back({SourceName, Obj});
    FNames[Name] = static_cast<int>(FSources.size()) - 1;
}

AnsiString TrpDictionary::AddUnique(const AnsiString& Base, const AnsiString& SourceName, TObject* Obj)
{
    const AnsiString name = CreateUniqueName(Base);
    Add(name, SourceName, Obj);
    return name;
}

AnsiString TrpDictionary::CreateUniqueName(const AnsiString& Base) const
{
    // Names are handed out rising, so halving from 10000 lands just below the highest used.
    int n = 10000;
    while (n > 1 && !FNames.count(Base + IntToStr(n)))
        n /= 2;
    // Counting up from there jumps over the runs found by earlier calls.
    std::unordered_map<int, int>& runs = FTakenRuns[Base];
    std::vector<int> passed;
    for (;;) {
        if (auto it = runs.find(n); it != runs.end()) {
            passed.push_back(n);
            n = it->second;
        } else if (FNames.count(Base + IntToStr(n))) {
            passed.push_back(n);
            ++n;
        } else {
            break;
        }
    }
    for (int p : passed)
        runs[p] = n;
    return Base + IntToStr(n);
}

TObject* TrpDictionary::GetObject(const AnsiString& Name) const
{
    auto it = FNames.find(Name);
    return it == FNames.end() ? nullptr : FSources[it->second].Obj;
}

AnsiString TrpDictionary::GetSourceName(const AnsiString& Name) const
{
    auto it = FNames.find(Name);
    return it == FNames.end() ? AnsiString() : FSources[it->second].Name;
}

std::vector<AnsiString> TrpDictionary::SortedNames() const
{
    std::vector<AnsiString> names;
    names.reserve(FNames.size());
    for (const auto& [name, row] : FNames)
        names.push_back(name);
    return names;
}

void TrpDictionary::ForgetObject(const TObject* Obj)
{
    for (auto& s : FSources)
        if (s.Obj == Obj)
            s.Obj = nullptr;
}
