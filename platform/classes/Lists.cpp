// Lists.cpp - TList, TStrings, TStringList, TCollection and TCollectionItem.
#include "platform/classes/Classes.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streaming.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

SKLAD_DEFINE_CLASS(TList)
SKLAD_DEFINE_CLASS(TStrings)
SKLAD_DEFINE_CLASS(TStringList)
SKLAD_DEFINE_CLASS(TCollectionItem)
SKLAD_DEFINE_CLASS(TCollection)

namespace {
[[noreturn]] void IndexError(int index) { throw EListError(Format(msg::kListIndexError, {index})); }
}  // namespace

// ---------------------------------------------------------------- TList

void TList::Check(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
}

int TList::Add(TObject* Item)
{
    FItems.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, TObject* Item)
{
    if (Index < 0 || Index > Count())
        IndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
}

void TList::Delete(int Index)
{
    Check(Index);
    FItems.erase(FItems.begin() + Index);
}

int TList::Remove(TObject* Item)
{
    int i = IndexOf(Item);
    if (i >= 0)
        Delete(i);
    return i;
}

TObject* TList::Extract(TObject* Item)
{
    return Remove(Item) >= 0 ? Item : nullptr;
}

int TList::IndexOf(const TObject* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    Check(Index1);
    Check(Index2);
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    Check(CurIndex);
    Check(NewIndex);
    TObject* item = FItems[static_cast<size_t>(CurIndex)];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

void TList::Sort(const std::function<int(TObject*, TObject*)>& Compare)
{
    std::stable_sort(FItems.begin(), FItems.end(), [&](TObject* a, TObject* b) { return Compare(a, b) < 0; });
}

TObject* TList::Get(int Index) const
{
    Check(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TList::Put(int Index, TObject* Item)
{
    Check(Index);
    FItems[static_cast<size_t>(Index)] = Item;
}

void TList::SetCount(int NewCount)
{
    if (NewCount < 0)
        throw EListError(Format(msg::kListCountError, {NewCount}));
    FItems.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::SetCapacity(int value)
{
    if (value < Count())
        throw EListError(Format(msg::kListCountError, {value}));
    FItems.reserve(static_cast<size_t>(value));
}

// ---------------------------------------------------------------- TStrings

void TStrings::Error(const char* msg, int data) const { throw EStringListError(Format(msg, {data})); }

void TStrings::Put(int Index, const AnsiString& S)
{
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const AnsiString& S)
{
    int i = GetCount();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject)
{
    int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TStrings::AddStrings(const TStrings& Strings)
{
    BeginUpdate();
    TScopeExit cleanup([&] { EndUpdate(); });
    for (int i = 0; i < Strings.GetCount(); ++i)
        AddObject(Strings.Get(i), Strings.GetObject(i));
}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const { return AnsiCompareText(S1, S2); }

int TStrings::IndexOf(const AnsiString& S) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        AnsiString s = Get(i);
        size_t p = s.find('=');
        if (p != AnsiString::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

void TStrings::Exchange(int Index1, int Index2)
{
    BeginUpdate();
    TScopeExit cleanup([&] { EndUpdate(); });
    AnsiString s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    PutObject(Index1, o2);
    Put(Index2, s1);
    PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    TScopeExit cleanup([&] { EndUpdate(); });
    AnsiString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

bool TStrings::Equals(const TStrings& Strings) const
{
    if (GetCount() != Strings.GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Strings.Get(i))
            return false;
    return true;
}

AnsiString TStrings::Names(int Index) const
{
    AnsiString s = Get(Index);
    size_t p = s.find('=');
    return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::ValueFromIndex(int Index) const
{
    AnsiString s = Get(Index);
    size_t p = s.find('=');
    return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

AnsiString TStrings::Values(const AnsiString& Name) const
{
    int i = IndexOfName(Name);
    return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value)
{
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        Add(Name + "=" + Value);
    else
        Put(i, Name + "=" + Value);
}

AnsiString TStrings::GetText() const
{
    AnsiString r;
    for (int i = 0; i < GetCount(); ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(const AnsiString& Text)
{
    BeginUpdate();
    TScopeExit cleanup([&] { EndUpdate(); });
    Clear();
    size_t i = 0;
    const size_t n = Text.size();
    while (i < n) {
        size_t j = i;
        while (j < n && Text[j] != '\r' && Text[j] != '\n')
            ++j;
        Add(Text.substr(i, j - i));
        if (j < n && Text[j] == '\r')
            ++j;
        if (j < n && Text[j] == '\n')
            ++j;
        i = j;
    }
}

namespace {
AnsiString QuoteItem(const AnsiString& s, char quote, char delimiter)
{
    bool needs = s.empty() ? false : false;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || ch == quote || ch == delimiter) {
            needs = true;
            break;
        }
    }
    if (!needs)
        return s;
    AnsiString r(1, quote);
    for (char ch : s) {
        if (ch == quote)
            r += quote;
        r += ch;
    }
    r += quote;
    return r;
}
}  // namespace

AnsiString TStrings::GetDelimitedText() const
{
    const int n = GetCount();
    if (n == 1 && Get(0).empty())
        return AnsiString(2, QuoteChar);
    AnsiString r;
    for (int i = 0; i < n; ++i) {
        if (i)
            r += Delimiter;
        r += QuoteItem(Get(i), QuoteChar, Delimiter);
    }
    return r;
}

void TStrings::SetDelimitedText(const AnsiString& Value)
{
    BeginUpdate();
    TScopeExit cleanup([&] { EndUpdate(); });
    Clear();
    const size_t n = Value.size();
    size_t i = 0;
    auto space = [&](size_t k) { return k < n && static_cast<unsigned char>(Value[k]) <= ' '; };
    while (space(i))
        ++i;
    while (i < n) {
        AnsiString item;
        if (Value[i] == QuoteChar) {
            ++i;
            while (i < n) {
                if (Value[i] == QuoteChar) {
                    if (i + 1 < n && Value[i + 1] == QuoteChar) {
                        item += QuoteChar;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += Value[i++];
            }
        } else {
            while (i < n && !space(i) && Value[i] != Delimiter)
                item += Value[i++];
        }
        Add(item);
        while (space(i))
            ++i;
        if (i < n && Value[i] == Delimiter) {
            ++i;
            // A delimiter at the very end adds an empty last item.
            if (i >= n)
                Add(AnsiString());
            while (space(i))
                ++i;
        }
    }
}

AnsiString TStrings::GetCommaText() const
{
    TStrings* self = const_cast<TStrings*>(this);
    const char d = Delimiter, q = QuoteChar;
    self->Delimiter = ',';
    self->QuoteChar = '"';
    AnsiString r = GetDelimitedText();
    self->Delimiter = d;
    self->QuoteChar = q;
    return r;
}

void TStrings::SetCommaText(const AnsiString& Value)
{
    const char d = Delimiter, q = QuoteChar;
    Delimiter = ',';
    QuoteChar = '"';
    TScopeExit cleanup([&] { Delimiter = d; QuoteChar = q; });
    SetDelimitedText(Value);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromFile(const AnsiString& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const AnsiString& FileName) const
{
    SaveFileWhole(FileName, [this](TStream& f) { SaveToStream(f); });
}

void TStrings::LoadFromStream(TStream& Stream)
{
    const int64_t n = Stream.GetSize() - Stream.GetPosition();
    AnsiString s;
    if (n > 0) {
        s.resize(static_cast<size_t>(n));
        s.resize(static_cast<size_t>(Stream.Read(s.data(), n)));
    }
    SetText(s);
}

void TStrings::SaveToStream(TStream& Stream) const
{
    AnsiString s = GetText();
    Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        BeginUpdate();
        TScopeExit cleanup([&] { EndUpdate(); });
        Clear();
        AddStrings(*src);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler* Filer)
{
    Filer->DefineProperty(
        "Strings",
        [this](TReader& r) {
            r.ReadListBegin();
            {
                BeginUpdate();
                TScopeExit cleanup([&] { EndUpdate(); });
                Clear();
                while (!r.EndOfList())
                    Add(r.ReadString());
            }
            r.ReadListEnd();
        },
        [this](TWriter& w) {
            w.WriteListBegin();
            for (int i = 0; i < GetCount(); ++i)
                w.WriteString(Get(i));
            w.WriteListEnd();
        },
        GetCount() > 0);
}

// ---------------------------------------------------------------- TStringList

void TStringList::Publish(TPropertyTable& t)
{
    t.Prop("Duplicates", &TStringList::GetDuplicates, &TStringList::SetDuplicates).Default(dupIgnore);
    t.Prop("Sorted", &TStringList::GetSorted, &TStringList::SetSorted).Default(false);
    t.Prop("CaseSensitive", &TStringList::GetCaseSensitive, &TStringList::SetCaseSensitive).Default(false);
    t.Event("OnChange", &TStringList::OnChange);
    t.Event("OnChanging", &TStringList::OnChanging);
}

void TStringList::Check(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error(msg::kListIndexError, Index);
}

void TStringList::Changed()
{
    if (!Updating() && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (!Updating() && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) const
{
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

AnsiString TStringList::Get(int Index) const
{
    Check(Index);
    return FList[static_cast<size_t>(Index)].S;
}

void TStringList::Put(int Index, const AnsiString& S)
{
    if (FSorted)
        Error(msg::kSortedListError, 0);
    Check(Index);
    Changing();
    Check(Index);  // OnChanging may have changed the list
    FList[static_cast<size_t>(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    Check(Index);
    return FList[static_cast<size_t>(Index)].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    Check(Index);
    Changing();
    Check(Index);
    FList[static_cast<size_t>(Index)].Obj = AObject;
    Changed();
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject)
{
    Changing();
    // OnChanging may have changed the list: the place found before must still be in it.
    if (Index < 0 || Index > GetCount())
        Error(msg::kListIndexError, Index);
    FList.insert(static_cast<size_t>(Index), Item{S, AObject});
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    if (FSorted)
        Error(msg::kSortedListError, 0);
    if (Index < 0 || Index > GetCount())
        Error(msg::kListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::Delete(int Index)
{
    Check(Index);
    Changing();
    Check(Index);
    FList.erase(static_cast<size_t>(Index));
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    FList.clear();
    Changed();
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* AObject)
{
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(S, index)) {
        switch (FDuplicates) {
        case dupIgnore: return index;
        case dupError: throw EStringListError(msg::kDuplicateString);
        case dupAccept: break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::AddStrings(const TStrings& Strings)
{
    const int n = Strings.GetCount();
    if (!FSorted || FDuplicates == dupError || &Strings == this || n < 8) {
        TStrings::AddStrings(Strings);
        return;
    }
    // One by one, each string would go before the strings equal to it (Find gives the first
    // of them): among equal strings the later added come first, all before those already
    // here. With dupIgnore a string equal to one already here, or to one added before it,
    // is dropped. One sort by (string, rank) gives that order: rank i >= 0 for the item at
    // index i, -1 - j for the j-th string added.
    if (FList.empty() && AddInOrder(Strings))
        return;
    struct Ranked {
        Item It;
        long Rank;
    };
    std::vector<Ranked> all;
    all.reserve(FList.size() + static_cast<size_t>(n));
    for (int j = 0; j < n; ++j)
        all.push_back({Item{Strings.Get(j), Strings.GetObject(j)}, -1L - j});
    std::vector<Item> here = FList.take();
    for (size_t i = 0; i < here.size(); ++i)
        all.push_back({std::move(here[i]), static_cast<long>(i)});
    std::sort(all.begin(), all.end(), [this](const Ranked& a, const Ranked& b) {
        const int c = CompareStrings(a.It.S, b.It.S);
        return c != 0 ? c < 0 : a.Rank < b.Rank;
    });
    std::vector<Item> merged;
    for (size_t i = 0; i < all.size();) {
        size_t end = i + 1;
        while (end < all.size() && CompareStrings(all[i].It.S, all[end].It.S) == 0)
            ++end;
        if (FDuplicates == dupAccept) {
            for (size_t k = i; k < end; ++k)
                merged.push_back(std::move(all[k].It));
        } else if (all[end - 1].Rank >= 0) {
            // dupIgnore: what was here stays, the added strings equal to it go.
            for (size_t k = i; k < end; ++k)
                if (all[k].Rank >= 0)
                    merged.push_back(std::move(all[k].It));
        } else {
            // dupIgnore, only added strings: the first of them, last in the run.
            merged.push_back(std::move(all[end - 1].It));
        }
        i = end;
    }
    BeginUpdate();
    FList.assign(std::move(merged));
    EndUpdate();
}

bool TStringList::AddInOrder(const TStrings& Strings)
{
    // Strings that come in order need no sort: one pass checks it and builds what the sort
    // would, each run of equal strings reversed (dupAccept) or cut to its first (dupIgnore).
    const int n = Strings.GetCount();
    std::vector<Item> merged;
    AnsiString previous;
    for (int j = 0; j < n;) {
        AnsiString s = Strings.Get(j);
        if (j > 0 && CompareStrings(previous, s) > 0)
            return false;
        int end = j + 1;
        while (end < n && CompareStrings(s, Strings.Get(end)) == 0)
            ++end;
        if (FDuplicates == dupAccept) {
            for (int k = end - 1; k >= j; --k)
                merged.push_back(Item{k == j ? s : Strings.Get(k), Strings.GetObject(k)});
        } else {
            merged.push_back(Item{s, Strings.GetObject(j)});
        }
        previous = std::move(s);
        j = end;
    }
    BeginUpdate();
    FList.assign(std::move(merged));
    EndUpdate();
    return true;
}

bool TStringList::Find(const AnsiString& S, int& Index) const
{
    // Binary search; with duplicates accepted it finds the first of equal strings.
    bool found = false;
    int lo = 0, hi = GetCount() - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareStrings(FList[static_cast<size_t>(mid)].S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept)
                    lo = mid;
            }
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const AnsiString& S) const
{
    if (!FSorted) {
        // The strings compared where they lie: Get would copy each one.
        for (size_t i = 0; i < FList.size(); ++i)
            if (CompareStrings(FList[i].S, S) == 0)
                return static_cast<int>(i);
        return -1;
    }
    int i;
    return Find(S, i) ? i : -1;
}

void TStringList::Sort()
{
    // The same order CustomSort gives with CompareStrings, sorted where the items lie.
    if (GetCount() < 2)
        return;
    Changing();
    std::vector<Item> items = FList.take();
    std::stable_sort(items.begin(), items.end(), [this](const Item& a, const Item& b) { return CompareStrings(a.S, b.S) < 0; });
    FList.assign(std::move(items));
    Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& Compare)
{
    if (GetCount() < 2)
        return;
    Changing();
    // Sort an index permutation so the comparer sees the items at their current indexes.
    std::vector<int> order(FList.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    // A merge of runs kept within their bounds by the loop, not by the comparer: one that
    // contradicts itself gives some order, never a read past the ends.
    std::vector<int> merged(order.size());
    for (size_t width = 1; width < order.size(); width *= 2) {
        for (size_t lo = 0; lo < order.size(); lo += 2 * width) {
            const size_t mid = std::min(lo + width, order.size()), hi = std::min(lo + 2 * width, order.size());
            size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi)
                merged[out++] = Compare(*this, order[b], order[a]) < 0 ? order[b++] : order[a++];
            while (a < mid)
                merged[out++] = order[a++];
            while (b < hi)
                merged[out++] = order[b++];
        }
        order.swap(merged);
    }
    // A comparer that added or deleted strings leaves indexes that no longer fit the list.
    if (order.size() != FList.size())
        Error(msg::kListIndexError, static_cast<int>(order.size()));
    std::vector<Item> items = FList.take();
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (int i : order)
        sorted.push_back(std::move(items[static_cast<size_t>(i)]));
    FList.assign(std::move(sorted));
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

// ---------------------------------------------------------------- TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& v = FCollection->FItems;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int cur = Index();
    if (cur < 0 || cur == Value)
        return;
    auto& v = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(v.size()))
        IndexError(Value);
    v.erase(v.begin() + cur);
    v.insert(v.begin() + Value, this);
    Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

AnsiString TCollectionItem::GetNamePath() const
{
    if (!FCollection)
        return ClassName();
    return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TClass ItemClass, TPersistent* Owner) : FItemClass(ItemClass), FOwner(Owner)
{
    if (!FItemClass || !FItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EComponentError(Format(msg::kCannotCreate, {FItemClass ? FItemClass->ClassName() : AnsiString("nil")}));
}

TCollection::~TCollection()
{
    ++FUpdateCount;  // no Update calls while the items go
    while (!FItems.empty())
        delete FItems.back();  // the item's destructor unlinks it
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

TCollectionItem* TCollection::Add() { return FItemClass->CreateItem(*this); }

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        IndexError(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* i : FItems)
        if (i->FID == ID)
            return i;
    return nullptr;
}

AnsiString TCollection::GetNamePath() const
{
    if (!FOwner || PropName.empty())
        return ClassName();
    AnsiString owner = FOwner->GetNamePath();
    return owner.empty() ? PropName : owner + "." + PropName;
}

void TCollection::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TCollection*>(Source)) {
        if (src == this)
            return;
        BeginUpdate();
        TScopeExit cleanup([&] { EndUpdate(); });
        Clear();
        for (TCollectionItem* item : src->FItems)
            Add()->Assign(item);
        return;
    }
    TPersistent::Assign(Source);
}
