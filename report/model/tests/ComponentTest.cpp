// ComponentTest.cpp - the component tree: owners and parents, names, fonts, restrictions,
// difference text and alignment.
#include "report/model/tests/ModelTestClasses.h"

#include "report/model/rpRes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
struct Tree : ::testing::Test {
    void SetUp() override
    {
        RegisterModelTestClasses();
        report = std::make_unique<TTestReport>(nullptr);
        page = new TTestPage(report.get());
        page->SetName("Page1");
        band = new TTestBand(page);
        band->SetName("Band1");
    }
    std::unique_ptr<TTestReport> report;
    TTestPage* page = nullptr;
    TTestBand* band = nullptr;
};
}  // namespace

TEST_F(Tree, OwnerIsTheReportAndParentTheCreator)
{
    auto* m = new TTestMemo(band);
    EXPECT_EQ(m->Owner(), report.get());
    EXPECT_EQ(m->Parent(), band);
    EXPECT_EQ(m->GetPage(), page);
    EXPECT_EQ(m->GetReport(), report.get());
    EXPECT_EQ(report->GetAllObjects(), (std::vector<TrpComponent*>{page, band, m}));
    delete band;
    EXPECT_EQ(report->ComponentCount(), 1) << "freeing a parent frees its subtree from both lists";
    EXPECT_EQ(page->ObjectCount(), 0);
}

TEST_F(Tree, NoCycles)
{
    EXPECT_THROW(page->SetParent(band), EInvalidOperation);
    EXPECT_THROW(page->SetParent(page), EInvalidOperation);
    EXPECT_EQ(band->Parent(), page);
}

TEST_F(Tree, UniqueNamesIgnoringCase)
{
    auto* a = new TTestMemo(band);
    a->SetName("Memo1");
    auto* b = new TTestMemo(band);
    b->SetName("memo3");
    auto* c = new TTestMemo(band);
    c->CreateUniqueName();
    EXPECT_EQ(c->Name(), "Memo2");
    EXPECT_THROW(c->SetName("MEMO1"), EComponentError);
    EXPECT_EQ(c->Name(), "Memo2");
    EXPECT_NO_THROW(c->SetName("Memo2")) << "its own name again";
    EXPECT_NO_THROW(c->SetName("")) << "an empty name skips the duplicate test";
    try {
        b->SetName("Memo1");
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), rpResources().Get("prDupl"));
    }
}

// Names are looked up many times while a report is built in code; each answer follows
// every rename, move and free made since the last one.
TEST_F(Tree, NamesFollowRenamesMovesAndFrees)
{
    struct Case {
        const char* why;
        std::function<void(Tree&, TTestMemo*)> change;
        const char* name;     // the name then looked up
        bool found;           // FindObject on the report finds it
        const char* created;  // what CreateUniqueName gives a new memo
    };
    const Case cases[] = {
        {"a name taken", [](Tree&, TTestMemo*) {}, "memo2", true, "Memo4"},
        {"a name given away", [](Tree&, TTestMemo* m) { m->SetName("Other"); }, "Memo2", false, "Memo2"},
        {"a memo freed", [](Tree&, TTestMemo* m) { delete m; }, "Memo2", false, "Memo2"},
        {"a memo moved out of the report",
         [](Tree&, TTestMemo* m) { m->SetParent(nullptr); delete m; }, "Memo2", false, "Memo2"},
        {"a band with its memos moved to another page",
         [](Tree& t, TTestMemo*) {
             auto* other = new TTestPage(t.report.get());
             other->SetName("Page2");
             t.band->SetParent(other);
         },
         "MEMO3", true, "Memo4"},
        {"a band freed with its memos", [](Tree& t, TTestMemo*) { delete t.band; }, "Memo1", false, "Memo1"},
        {"a page freed by clearing the report", [](Tree& t, TTestMemo*) { t.report->Clear(); }, "Band1", false,
         "Memo1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        TTestMemo* memos[3];
        for (TTestMemo*& m : memos) {
            m = new TTestMemo(band);
            m->CreateUniqueName();
        }
        ASSERT_EQ(memos[2]->Name(), "Memo3");
        ASSERT_EQ(report->FindObject("Memo2"), memos[1]) << "the index is made by now";
        c.change(*this, memos[1]);
        EXPECT_EQ(report->FindObject(c.name) != nullptr, c.found);
        if (!report->FindObject("Page1")) {
            page = new TTestPage(report.get());
            page->SetName("Page1");
        }
        auto* fresh = new TTestMemo(page);
        fresh->CreateUniqueName();
        EXPECT_EQ(fresh->Name(), c.created);
        EXPECT_THROW(fresh->SetName("page1"), EComponentError);
        EXPECT_EQ(report->FindObject(fresh->Name()), fresh);
    }
}

TEST_F(Tree, FontsFlowDown)
{
    auto* m = new TTestMemo(band);
    EXPECT_EQ(m->GetFont()->GetName(), "Arial");
    EXPECT_EQ(m->GetFont()->GetSize(), 10);
    EXPECT_TRUE(m->GetParentFont());
    band->GetFont()->SetSize(14);
    EXPECT_FALSE(band->GetParentFont()) << "a changed font is the object's own";
    EXPECT_EQ(m->GetFont()->GetSize(), 14) << "children with ParentFont follow";
    auto* other = new TTestBand(page);
    other->GetFont()->SetName("Tahoma");
    m->SetParent(other);
    EXPECT_EQ(m->GetFont()->GetName(), "Tahoma") << "moved under a new parent, takes its font";
    TFont f;
    f.SetSize(20);
    m->SetFont(&f);
    EXPECT_FALSE(m->GetParentFont());
    other->GetFont()->SetSize(8);
    EXPECT_EQ(m->GetFont()->GetSize(), 20);
}

TEST_F(Tree, RestrictionsOnlyWhileDesigning)
{
    auto* m = new TTestMemo(band);
    m->Restrictions = TrpRestrictions{rfDontMove, rfDontSize};
    m->SetLeft(10);
    EXPECT_DOUBLE_EQ(static_cast<double>(m->GetLeft()), 10);
    m->IsDesigning = true;
    m->SetLeft(20);
    m->SetWidth(30);
    EXPECT_DOUBLE_EQ(static_cast<double>(m->GetLeft()), 10);
    EXPECT_DOUBLE_EQ(static_cast<double>(m->GetWidth()), 0);
}

TEST_F(Tree, DifferenceText)
{
    auto* a = new TTestMemo(band);
    auto* b = new TTestMemo(band);
    struct Case { const char* why; std::function<void()> change; AnsiString diff; };
    const Case cases[] = {
        {"equal objects", [] {}, ""},
        {"within 0.0001", [&] { a->SetLeft(37.80004L); b->SetLeft(37.8L); }, ""},
        {"left differs", [&] { a->SetLeft(12.5L); }, " l=\"12,5\""},
        {"visible differs", [&] { a->SetVisible(false); }, " l=\"12,5\" Visible=\"0\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        c.change();
        EXPECT_EQ(a->InternalDiff(b), c.diff);
    }
    auto* b2 = new TTestBand(page);
    EXPECT_EQ(b2->InternalDiff(band), " t=\"0\"") << "bands always carry their top";
    TFont f1, f2;
    f1.SetName("Arial");
    f2.SetName("Arial");
    f1.SetStyle(TFontStyles{fsBold, fsUnderline});
    EXPECT_EQ(TrpComponent::DiffFont(&f1, &f2, " "), " Font.Style=\"5\"");
}

TEST_F(Tree, SaveAndLoadKeepTheSubtree)
{
    auto* m = new TTestMemo(band);
    m->SetName("Memo1");
    m->SetBounds(1, 2, 3, 4);
    TMemoryStream ms;
    band->SaveToStream(ms);
    auto copy = std::make_unique<TTestBand>(nullptr);
    ms.SetPosition(0);
    copy->LoadFromStream(ms);
    ASSERT_EQ(copy->ObjectCount(), 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(copy->Object(0)->GetHeight()), 4);
    auto other = std::make_unique<TTestBand>(nullptr);
    other->Assign(band);
    EXPECT_EQ(other->ObjectCount(), 0) << "Assign copies without children";
    other->AssignAll(band);
    EXPECT_EQ(other->ObjectCount(), 1);
}

TEST_F(Tree, AlignChildren)
{
    band->SetBounds(0, 0, 200, 20);
    auto* a = new TTestMemo(band);
    a->SetBounds(50, 0, 30, 20);
    a->Align = baLeft;
    auto* b = new TTestMemo(band);
    b->SetBounds(120, 0, 40, 20);
    b->Align = baLeft;
    auto* w = new TTestMemo(band);
    w->SetBounds(170, 0, 5, 20);
    w->Align = baWidth;
    auto* r = new TTestMemo(band);
    r->SetBounds(190, 0, 10, 20);
    r->Align = baRight;
    band->AlignChildren();
    EXPECT_DOUBLE_EQ(static_cast<double>(a->GetLeft()), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(b->GetLeft()), 30) << "stacks against the first";
    EXPECT_DOUBLE_EQ(static_cast<double>(w->GetLeft()), 70);
    EXPECT_DOUBLE_EQ(static_cast<double>(r->GetLeft()), 190);
    EXPECT_DOUBLE_EQ(static_cast<double>(w->GetWidth()), 120) << "stretches to the right neighbour";
}

// Children are placed in the order of their Left (at or below 0 first, nearest 0 first);
// of children at the same Left the one added last is placed first.
TEST_F(Tree, AlignChildrenPlacesInOrderOfLeft)
{
    struct Case {
        const char* why;
        std::vector<std::pair<double, double>> children;  // Left, Width; all aligned left
        std::vector<double> lefts;                         // Left of each after aligning
    };
    const Case cases[] = {
        {"left to right", {{50, 10}, {20, 30}, {90, 5}}, {30, 0, 40}},
        {"the same Left: the later first", {{40, 10}, {40, 30}}, {30, 0}},
        {"three at one Left", {{5, 1}, {5, 2}, {5, 4}}, {6, 4, 0}},
        {"below 0 first, nearest 0 first", {{10, 7}, {-5, 3}, {-1, 2}, {-20, 1}}, {1, 0, 0, 0}},
        {"equal to two decimals: the later first", {{3.01, 2}, {3.004, 5}, {3, 11}}, {11, 11, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        band->SetBounds(0, 0, 500, 20);
        std::vector<TTestMemo*> memos;
        for (const auto& [left, width] : c.children) {
            auto* m = new TTestMemo(band);
            m->SetBounds(left, 0, width, 20);
            m->Align = baLeft;
            memos.push_back(m);
        }
        band->AlignChildren();
        for (size_t i = 0; i < memos.size(); ++i)
            EXPECT_DOUBLE_EQ(static_cast<double>(memos[i]->GetLeft()), c.lefts[i]) << "child " << i;
    }
}

TEST(ComponentHelpers, ShiftStateToInt)
{
    EXPECT_EQ(ShiftStateToInt(TShiftState{ssShift, ssRight}), 17);
    EXPECT_EQ(ShiftStateToInt(TShiftState{ssDouble}), 64);
    EXPECT_FALSE(FloatsDiffer(1.0L, 1.00005L));
    EXPECT_TRUE(FloatsDiffer(1.0L, 1.00011L));
}
