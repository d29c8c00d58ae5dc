// TList, TStringList and TCollection.
#include "platform/classes/Classes.h"

#include "platform/classes/tests/TestClasses.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

AnsiString Joined(const TStrings& s)
{
    AnsiString r;
    for (int i = 0; i < s.Count(); ++i)
        r += (i ? "|" : "") + s[i];
    return r;
}

TEST(TListTest, AddRemoveAndIndexErrors)
{
    TList l;
    TStringList a, b, c;
    EXPECT_EQ(l.Add(&a), 0);
    EXPECT_EQ(l.Add(&b), 1);
    l.Insert(1, &c);
    EXPECT_EQ(l.IndexOf(&b), 2);
    EXPECT_EQ(l.Remove(&c), 1);
    EXPECT_EQ(l.Remove(&c), -1);
    EXPECT_EQ(l.Count(), 2);
    l.Exchange(0, 1);
    EXPECT_EQ(l[0], &b);
    l.Add(nullptr);
    l.Pack();
    EXPECT_EQ(l.Count(), 2);
    EXPECT_THROW(l.Get(2), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(5, &a), EListError);
    try {
        l.Get(7);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (7)");
    }
}

struct TextCase {
    const char* why;
    const char* text;
    const char* lines;  // joined with '|'
};

TEST(TStringListTest, TextSplitsAtEveryLineBreakAndJoinsWithCrLf)
{
    const TextCase cases[] = {
        {"CR LF", "a\r\nb\r\n", "a|b"},
        {"LF only", "a\nb", "a|b"},
        {"CR only", "a\rb", "a|b"},
        {"empty lines kept", "a\r\n\r\nb", "a||b"},
        {"no trailing break", "a", "a"},
        {"empty text", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TStringList l;
        l.SetText(c.text);
        EXPECT_EQ(Joined(l), c.lines);
    }
    TStringList l;
    l.Add("a");
    l.Add("");
    EXPECT_EQ(l.GetText(), "a\r\n\r\n");
}

struct CommaCase {
    const char* why;
    const char* text;
    const char* lines;
};

TEST(TStringListTest, CommaTextReadsQuotesAndBlanks)
{
    const CommaCase cases[] = {
        {"plain items", "a,b,c", "a|b|c"},
        {"blanks separate too", "a b", "a|b"},
        {"quoted item keeps blanks and commas", "\"a b\",\"c,d\"", "a b|c,d"},
        {"doubled quotes inside", "\"say \"\"hi\"\"\"", "say \"hi\""},
        {"empty between commas", "a,,b", "a||b"},
        {"trailing comma gives an empty last item", "a,", "a|"},
        {"blanks around items are dropped", "  a ,  b  ", "a|b"},
        {"unterminated quote takes the rest", "\"abc", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TStringList l;
        l.SetCommaText(c.text);
        EXPECT_EQ(Joined(l), c.lines);
    }
    TStringList l;
    l.Add("plain");
    l.Add("with blank");
    l.Add("q\"uote");
    l.Add("");
    EXPECT_EQ(l.GetCommaText(), "plain,\"with blank\",\"q\"\"uote\",");
    TStringList back;
    back.SetCommaText(l.GetCommaText());
    EXPECT_EQ(Joined(back), Joined(l));
}

TEST(TStringListTest, NamesAndValues)
{
    TStringList l;
    l.Add("Имя=Иван");
    l.Add("Count=3");
    l.Add("no separator");
    EXPECT_EQ(l.IndexOfName("имя"), 0);  // Cyrillic ignoring case
    EXPECT_EQ(l.Values("COUNT"), "3");
    EXPECT_EQ(l.Names(1), "Count");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.Values("missing"), "");
    l.SetValue("Count", "4");
    EXPECT_EQ(l[1], "Count=4");
    l.SetValue("New", "x");
    EXPECT_EQ(l[3], "New=x");
    l.SetValue("Count", "");  // an empty value deletes the line
    EXPECT_EQ(l.IndexOfName("Count"), -1);
}

TEST(TStringListTest, CaseInsensitiveSearchUsesTheCp1251Tables)
{
    TStringList l;
    l.Add("Ёлка");
    l.Add("яблоко");
    EXPECT_EQ(l.IndexOf("ЁЛКА"), 0);
    EXPECT_EQ(l.IndexOf("ЯБЛОКО"), 1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("ЯБЛОКО"), -1);
}

TEST(TStringListTest, SortedListsFindAndOrderInRussian)
{
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"Яблоко", "ёж", "Ель", "банан", "apple", "Жук", "10"})
        l.Add(s);
    EXPECT_EQ(Joined(l), "10|apple|банан|Ель|ёж|Жук|Яблоко");
    int i = -1;
    EXPECT_TRUE(l.Find("ЖУК", i));
    EXPECT_EQ(i, 5);
    EXPECT_FALSE(l.Find("вишня", i));
    EXPECT_EQ(i, 3);  // where it would go
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.Put(0, "x"), EStringListError);
}

struct DupCase {
    const char* why;
    TDuplicates dup;
    int count;
    bool raises;
};

TEST(TStringListTest, DuplicatesOnSortedLists)
{
    const DupCase cases[] = {
        {"ignore keeps one and returns its index", dupIgnore, 2, false},
        {"accept keeps both", dupAccept, 3, false},
        {"error raises and keeps one", dupError, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TStringList l;
        l.SetDuplicates(c.dup);
        l.SetSorted(true);
        l.Add("b");
        l.Add("a");
        if (c.raises)
            EXPECT_THROW(l.Add("A"), EStringListError);
        else
            EXPECT_GE(l.Add("A"), 0);
        EXPECT_EQ(l.Count(), c.count);
    }
}

TEST(TStringListTest, AddStringsOnASortedListEqualsAddingOneByOne)
{
    // Case variants and repeats, added to lists that already hold some of them.
    const char* const pool[] = {"болт", "Болт", "БОЛТ", "анкер", "Анкер", "винт", "", "Ёж", "ёж", "еж", "b", "B"};
    uint32_t seed = 7;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % 12; };
    for (TDuplicates dup : {dupAccept, dupIgnore}) {
        for (int round = 0; round < 40; ++round) {
            SCOPED_TRACE(std::to_string(int(dup)) + " round " + std::to_string(round));
            TStringList start, batch;
            for (int i = 0, n = int(next()); i < n; ++i)
                start.Add(pool[next()]);
            for (int i = 0, n = 8 + int(next()) * 3; i < n; ++i)
                batch.AddObject(pool[next()], reinterpret_cast<TObject*>(uintptr_t(i + 1)));
            TStringList one, many;
            for (TStringList* l : {&one, &many}) {
                l->SetDuplicates(dup);
                l->SetSorted(true);
                l->AddStrings(start);
            }
            for (int i = 0; i < batch.Count(); ++i)
                one.AddObject(batch[i], batch.Objects(i));
            many.AddStrings(batch);
            ASSERT_EQ(many.Count(), one.Count());
            for (int i = 0; i < one.Count(); ++i) {
                EXPECT_EQ(many[i], one[i]) << i;
                EXPECT_EQ(many.Objects(i), one.Objects(i)) << i;
            }
        }
    }
}

TEST(TStringListTest, AddStringsInOrderIntoAnEmptySortedListEqualsAddingOneByOne)
{
    // Batches that already come in the list's order (runs of case variants included) take
    // the short way; they must still land as one-by-one adding puts them.
    struct Case {
        const char* why;
        std::vector<const char*> batch;
    };
    const Case cases[] = {
        {"distinct, in order", {"", "1", "9", "a", "B", "c", "Анкер", "болт", "винт", "еж", "ёж", "Ёжик"}},
        {"case variants side by side", {"анкер", "болт", "Болт", "БОЛТ", "винт", "Винт", "ж", "з", "и"}},
        {"a repeat at the start and the end", {"a", "a", "b", "c", "d", "e", "f", "g", "h", "h"}},
        {"every string equal", {"x", "X", "x", "X", "x", "X", "x", "X"}},
        {"out of order at the end", {"a", "b", "c", "d", "e", "f", "g", "h", "A"}},
        {"out of order at the start", {"b", "a", "c", "d", "e", "f", "g", "h"}},
    };
    for (TDuplicates dup : {dupAccept, dupIgnore})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (dup == dupAccept ? " (accept)" : " (ignore)"));
            TStringList batch, one, many;
            for (size_t i = 0; i < c.batch.size(); ++i)
                batch.AddObject(c.batch[i], reinterpret_cast<TObject*>(uintptr_t(i + 1)));
            for (TStringList* l : {&one, &many}) {
                l->SetDuplicates(dup);
                l->SetSorted(true);
            }
            for (int i = 0; i < batch.Count(); ++i)
                one.AddObject(batch[i], batch.Objects(i));
            many.AddStrings(batch);
            ASSERT_EQ(many.Count(), one.Count());
            for (int i = 0; i < one.Count(); ++i) {
                EXPECT_EQ(many[i], one[i]) << i;
                EXPECT_EQ(many.Objects(i), one.Objects(i)) << i;
            }
        }
}

TEST(TStringListTest, InsertsAndDeletesAtEitherEndOrInsideKeepOrderAndObjects)
{
    // Random inserts and deletes at the head, the tail and inside, checked against a plain
    // vector after every step: strings and their objects stay paired and in order.
    TStringList list;
    std::vector<std::pair<AnsiString, intptr_t>> model;
    unsigned seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int step = 0; step < 4000; ++step) {
        const unsigned kind = next() % 6;
        const int count = list.Count();
        const AnsiString s = "s" + IntToStr(int64_t(step));
        auto* obj = reinterpret_cast<TObject*>(intptr_t(step + 1));
        if (kind < 3 || count == 0) {
            const int at = kind == 0 ? 0 : kind == 1 ? count : int(next() % unsigned(count + 1));
            list.InsertObject(at, s, obj);
            model.insert(model.begin() + at, {s, intptr_t(step + 1)});
        } else {
            const int at = kind == 3 ? 0 : kind == 4 ? count - 1 : int(next() % unsigned(count));
            list.Delete(at);
            model.erase(model.begin() + at);
        }
        ASSERT_EQ(list.Count(), int(model.size())) << step;
        if (step % 97 == 0 || step > 3990)
            for (int i = 0; i < list.Count(); ++i) {
                ASSERT_EQ(list[i], model[size_t(i)].first) << step << " " << i;
                ASSERT_EQ(reinterpret_cast<intptr_t>(list.Objects(i)), model[size_t(i)].second) << step << " " << i;
            }
    }
}

TEST(TStringListTest, SortedListFilledInRandomOrderHoldsTheOneByOneOrder)
{
    // Enough strings to fill many leaves and inner nodes of the list's tree, added in random
    // order with repeats and case variants, then deleted at random places down to nothing:
    // checked against a vector kept by the same rules (a new string goes before those equal
    // to it; with dupIgnore an equal one is dropped).
    struct Case {
        const char* why;
        TDuplicates dup;
        bool caseSensitive;
    };
    const Case cases[] = {
        {"accept, any case", dupAccept, false},
        {"ignore, case sensitive", dupIgnore, true},
    };
    const char* const stems[] = {"болт", "Болт", "анкер", "АНКЕР", "b", "B", "винт"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TStringList list;
        list.SetCaseSensitive(c.caseSensitive);
        list.SetDuplicates(c.dup);
        list.SetSorted(true);
        std::vector<std::pair<AnsiString, intptr_t>> model;
        const auto less = [&](const AnsiString& a, const AnsiString& b) {
            return (c.caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b)) < 0;
        };
        unsigned seed = 99;
        const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
        for (int i = 0; i < 9000; ++i) {
            const AnsiString s = AnsiString(stems[next() % 7]) + IntToStr(int64_t(next() % 9000));
            const auto at = std::lower_bound(model.begin(), model.end(), s,
                                             [&](const auto& item, const AnsiString& v) { return less(item.first, v); });
            const bool present = at != model.end() && !less(s, at->first);
            const int index = list.AddObject(s, reinterpret_cast<TObject*>(intptr_t(i + 1)));
            ASSERT_EQ(index, int(at - model.begin())) << i;
            if (!present || c.dup == dupAccept)
                model.insert(at, {s, intptr_t(i + 1)});
        }
        const auto same = [&] {
            ASSERT_EQ(list.Count(), int(model.size()));
            for (int i = 0; i < list.Count(); ++i) {
                ASSERT_EQ(list[i], model[size_t(i)].first) << i;
                ASSERT_EQ(reinterpret_cast<intptr_t>(list.Objects(i)), model[size_t(i)].second) << i;
            }
        };
        same();
        for (size_t i = 0; i < model.size(); i += 37) {
            int found = -1;
            ASSERT_TRUE(list.Find(model[i].first, found)) << i;
            EXPECT_EQ(0, AnsiCompareText(list[found], model[i].first)) << i;
        }
        while (!model.empty()) {
            const int at = int(next() % model.size());
            list.Delete(at);
            model.erase(model.begin() + at);
            if (model.size() % 2999 == 0)
                same();
        }
        EXPECT_EQ(list.Add("z"), 0);
        EXPECT_EQ(list.Count(), 1);
    }
}

TEST(TStringListTest, ObjectsTravelWithTheirStrings)
{
    TStringList l, other;
    l.AddObject("b", &other);
    l.AddObject("a", &l);
    l.SetSorted(true);
    EXPECT_EQ(l.Objects(0), &l);
    EXPECT_EQ(l.IndexOfObject(&other), 1);
    TStringList copy;
    copy.Assign(&l);
    EXPECT_EQ(copy.Objects(1), &other);
    EXPECT_TRUE(copy.Equals(l));
}

TEST(TStringListTest, ChangeEventsFireOncePerUpdate)
{
    TStringList l;
    int changes = 0;
    l.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    l.Add("a");
    EXPECT_EQ(changes, 1);
    l.SetText("x\r\ny\r\nz");
    EXPECT_EQ(changes, 2);
}

TEST(TStringListTest, AChangeMadeByOnChangingLeavesNoPlaceOutsideTheList)
{
    // The handler empties the list before the change it announces: the index the change was
    // going to use no longer exists, and the list says so instead of writing past its end.
    struct Case {
        const char* why;
        bool sorted;
        void (*change)(TStringList&);
    };
    const Case cases[] = {
        {"add at the end", false, [](TStringList& l) { l.Add("z"); }},
        {"add in a sorted list", true, [](TStringList& l) { l.Add("zz"); }},
        {"insert", false, [](TStringList& l) { l.Insert(2, "x"); }},
        {"delete", false, [](TStringList& l) { l.Delete(2); }},
        {"put", false, [](TStringList& l) { l.Put(2, "x"); }},
        {"put an object", false, [](TStringList& l) { l.PutObject(2, &l); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TStringList l;
        for (int i = 0; i < 300; ++i)
            l.Add("s" + IntToStr(1000 + i));
        l.SetSorted(c.sorted);
        // The handler stays set (setting it to nothing from inside would free the running
        // handler); it empties the list once.
        bool armed = true;
        l.OnChanging = TNotifyEvent::Lambda([&](TObject*) {
            if (!armed)
                return;
            armed = false;
            l.Clear();
        });
        EXPECT_THROW(c.change(l), EStringListError);
        EXPECT_EQ(l.Count(), 0);
        l.Add("a");
        EXPECT_EQ(Joined(l), "a");
    }
}

TEST(TStringListTest, CustomSortWithAComparerThatContradictsItselfKeepsEveryString)
{
    // Whatever the comparer answers, the list afterwards holds the same strings; one that
    // deletes strings while the list sorts leaves the list as it was.
    for (unsigned seed : {1u, 7u, 42u}) {
        SCOPED_TRACE(seed);
        TStringList l;
        for (int i = 0; i < 2000; ++i)
            l.AddObject("s" + IntToStr(i), reinterpret_cast<TObject*>(intptr_t(i + 1)));
        unsigned r = seed;
        l.CustomSort([&](TStringList&, int, int) { return (r = r * 1103515245u + 12345u) >> 16 & 1 ? -1 : 1; });
        ASSERT_EQ(l.Count(), 2000);
        std::vector<int> seen;
        for (int i = 0; i < l.Count(); ++i) {
            EXPECT_EQ(l[i], "s" + IntToStr(reinterpret_cast<intptr_t>(l.Objects(i)) - 1)) << i;
            seen.push_back(int(reinterpret_cast<intptr_t>(l.Objects(i))));
        }
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(seen[size_t(i)], i + 1);
    }
    TStringList l;
    for (int i = 0; i < 50; ++i)
        l.Add("s" + IntToStr(100 + i));
    EXPECT_THROW(l.CustomSort([](TStringList& list, int, int) {
        if (list.Count() > 40)
            list.Delete(list.Count() - 1);
        return 0;
    }),
                 EStringListError);
    ASSERT_EQ(l.Count(), 40);
    EXPECT_EQ(l[0], "s100");
    EXPECT_EQ(l[39], "s139");
}

// An item whose copy or move can be made to fail: the countdown reaching zero throws.
struct TFragile {
    static inline int Countdown = 0;
    int V = 0;
    explicit TFragile(int v) : V(v) {}
    TFragile(const TFragile& o) : V(o.V) { Tick(); }
    TFragile(TFragile&& o) : V(o.V) { Tick(); }
    TFragile& operator=(const TFragile&) = default;
    TFragile& operator=(TFragile&&) = default;
    static void Tick()
    {
        if (Countdown > 0 && --Countdown == 0)
            throw std::runtime_error("no room");
    }
};

TEST(TCountedSeqTest, AnInsertThatFailsLeavesTheSequenceAsItWas)
{
    // The failure comes as the item is placed in its leaf (at either end of the sequence,
    // one leaf or several): the counts must not have moved.
    struct Case {
        const char* why;
        int items;
        bool atEnd;
    };
    const Case cases[] = {
        {"one leaf, at the end", 10, true},
        {"one leaf, at the front", 10, false},
        {"many leaves, at the end", 9000, true},
        {"many leaves, at the front", 9000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TCountedSeq<TFragile> seq;
        for (int i = 0; i < c.items; ++i)
            seq.insert(seq.size(), TFragile(i));
        const TFragile item(-1);
        TFragile::Countdown = 2;  // the copy into the argument, then the move into the leaf
        EXPECT_THROW(seq.insert(c.atEnd ? seq.size() : 0, item), std::runtime_error);
        TFragile::Countdown = 0;
        ASSERT_EQ(seq.size(), size_t(c.items));
        for (int i = 0; i < c.items; ++i)
            ASSERT_EQ(seq[size_t(i)].V, i) << i;
        seq.insert(seq.size(), TFragile(c.items));
        EXPECT_EQ(seq[size_t(c.items)].V, c.items);
    }
}

TEST(TStringListTest, FilesRoundTripBytes)
{
    const AnsiString name = CreateTempFile("", "sl");
    TStringList l;
    l.Add("Склад");
    l.Add("line 2");
    l.SaveToFile(name);
    TStringList back;
    back.LoadFromFile(name);
    EXPECT_EQ(Joined(back), "Склад|line 2");
    DeleteFile(name);
    EXPECT_THROW(back.LoadFromFile(name), EFOpenError);
}

TEST(TCollectionTest, ItemsAreOwnedAndFreeingOneRemovesIt)
{
    TCollection c(TTestItem::StaticClass());
    auto* a = c.AddItem<TTestItem>();
    auto* b = c.AddItem<TTestItem>();
    auto* x = static_cast<TTestItem*>(c.Insert(0));
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Items(0), x);
    EXPECT_EQ(b->Index(), 2);
    delete a;
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(b->Index(), 1);
    c.Delete(0);
    EXPECT_EQ(c.Items(0), b);
    EXPECT_THROW(c.Items(1), EListError);
    EXPECT_THROW(c.Insert(5), EListError);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
}

TEST(TCollectionTest, AssignCopiesItems)
{
    TCollection a(TTestItem::StaticClass()), b(TTestItem::StaticClass());
    a.AddItem<TTestItem>()->FTitle = "first";
    a.AddItem<TTestItem>()->FWidth = 10;
    b.AddItem<TTestItem>();
    b.Assign(&a);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(b.Items(0))->FTitle, "first");
    EXPECT_EQ(static_cast<TTestItem*>(b.Items(1))->FWidth, 10);
    EXPECT_NE(b.Items(0), a.Items(0));
}

TEST(TCollectionTest, ItemClassMustBeACollectionItem)
{
    EXPECT_THROW(TCollection(TStringList::StaticClass()), EComponentError);
}

}  // namespace

// The page builder reads the report's lists while the printing thread draws: reads of one
// list on several threads at once each get their own line, whatever order they come in.
TEST(TStringListTest, ReadsOnTwoThreadsAtOnceEachGetTheirLine)
{
    const int n = 20000;
    TStringList list;
    for (int i = 0; i < n; ++i)
        list.Add(IntToStr(i));
    const struct {
        const char* why;
        int step;  // how far each read jumps: 1 walks the leaves, others leave them at once
    } readers[] = {
        {"a walk from the first line", 1},
        {"jumps across leaves", 7919},
        {"a walk from the last line back", -1},
    };
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (const auto& r : readers)
        threads.emplace_back([&list, &wrong, step = r.step] {
            int at = step < 0 ? n - 1 : 0;
            for (int k = 0; k < 300000; ++k) {
                if (list[at] != IntToStr(at))
                    ++wrong;
                at = ((at + step) % n + n) % n;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}
