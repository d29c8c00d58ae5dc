// The prepared-pages store: outline and dictionary, pages as differences from their
// source objects, the page cache, page editing, cut and paste for keep-together,
// anchors, mirrored margins, the footer check and the last Y.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>

namespace {

TEST(PagesDictionary, UniqueNames)
{
    struct Case {
        const char* why;
        std::vector<const char*> present;
        const char* expected;
    };
    const Case cases[] = {
        {"empty dictionary", {}, "m1"},
        {"m1 to m5 present", {"m1", "m2", "m3", "m4", "m5"}, "m6"},
        {"only m2 present: the first free above it", {"m2"}, "m3"},
        {"halving lands below the highest", {"m1", "m2", "m3", "m4", "m5", "m6", "m7", "m8", "m9", "m10"}, "m11"},
        {"names ignore case", {"M1"}, "m2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpDictionary d;
        for (const char* n : c.present)
            d.Add(n, "Page0.X", nullptr);
        EXPECT_EQ(d.CreateUniqueName("m"), c.expected);
    }
    TrpDictionary d;
    EXPECT_EQ(d.GetObject("m1"), nullptr);
    EXPECT_EQ(d.GetSourceName("m1"), "");
}

// Short names handed out one after another (as a template's objects are registered), with
// names of a loaded file added in between: every name is the one the probing rule gives.
TEST(PagesDictionary, UniqueNamesInARow)
{
    struct Case {
        const char* why;
        std::vector<const char*> steps;  // "+name": added as it stands; otherwise the next unique name
    };
    const Case cases[] = {
        {"a gap below a name present", {"+m3", "m1", "m2", "m4", "m5"}},
        {"a name added after a run was passed", {"m1", "m2", "m3", "+m5", "m4", "m6", "+m8", "m7", "m9"}},
        {"a name in other case blocks its number", {"m1", "+M2", "m3", "+M4", "m5"}},
        {"halving lands inside a run", {"+m2", "+m4", "m5", "+m9", "m10", "m11"}},
        {"other stems are apart", {"m1", "+b1", "b2", "m2", "+b3", "b4", "m3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpDictionary d;
        for (const char* step : c.steps) {
            if (step[0] == '+') {
                d.Add(step + 1, "Page0.X", nullptr);
                continue;
            }
            const AnsiString stem(step, 1);
            EXPECT_EQ(d.AddUnique(stem, "Page0.X", nullptr), step);
        }
    }
    // Past the highest probe (10000) and across a clear.
    TrpDictionary d;
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 12000; ++i)
            if (d.AddUnique("m", "Page0.X", nullptr) != "m" + IntToStr(i)) {
                ADD_FAILURE() << "name " << i << " of round " << round;
                break;
            }
        d.Add("m12002", "Page0.X", nullptr);
        EXPECT_EQ(d.CreateUniqueName("m"), "m12001");
        d.Clear();
        EXPECT_EQ(d.CreateUniqueName("m"), "m1");
    }
}

TEST(PagesOutline, Levels)
{
    TTestReport t;
    TrpPreviewPages* pages = t.Pages();
    TrpOutline* o = pages->GetOutline();
    pages->CurPage = 3;
    o->LevelRoot();
    EXPECT_EQ(o->GetCurPosition(), o->Root()) << "an empty level is its own position";
    o->AddItem("A & <B>", 10);
    o->AddItem("A.1", 20);  // nests: AddItem makes the entry current
    o->LevelUp();
    o->LevelUp();
    o->LevelUp();  // at the root already: stays
    EXPECT_EQ(o->GetCount(), 1);
    AnsiString text;
    int page = -1, top = -1;
    o->GetItem(0, text, page, top);
    EXPECT_EQ(text, "A & <B>");
    EXPECT_EQ(page, 3);
    EXPECT_EQ(top, 10);
    o->LevelDown(0);
    EXPECT_EQ(o->GetCount(), 1);
    o->LevelRoot();
    o->Root()->Items(0)->Text = "text=\"no page\"";
    page = 7;
    o->GetItem(0, text, page, top);
    EXPECT_EQ(page, 7) << "a missing page attribute leaves the variable";
}

TEST(PagesOutline, ShiftItemsMovesOneSiblingSubtree)
{
    TTestReport t;
    TrpOutline* o = t.Pages()->GetOutline();
    t.Pages()->CurPage = 0;
    o->LevelRoot();
    o->AddItem("first", 5);
    o->LevelUp();
    TrpXMLItem* from = o->GetCurPosition();
    o->AddItem("moved", 150);
    o->AddItem("child", 170);
    o->LevelUp();
    o->LevelUp();
    o->AddItem("after", 180);
    o->LevelUp();
    o->ShiftItems(from, 30);
    TrpXMLItem* root = o->Root();
    EXPECT_EQ(root->Items(1)->Text, "text=\"moved\" page=\"1\" top=\"30\"");
    EXPECT_EQ(root->Items(1)->Items(0)->Text, "text=\"child\" page=\"1\" top=\"50\"");
    EXPECT_EQ(root->Items(2)->Text, "text=\"after\" page=\"0\" top=\"180\"");
}

TEST(PagesOutline, ClearedStoreForgetsTheLevel)
{
    TTestReport t;
    TrpOutline* o = t.Pages()->GetOutline();
    o->LevelRoot();
    o->AddItem("x", 0);
    t.Pages()->Clear();
    o->AddItem("y", 0);  // no LevelRoot: must start from the new root, not freed memory
    o->LevelRoot();
    EXPECT_EQ(o->GetCount(), 1);
}

// A two-page report of the frame kind, for the store's own operations.
struct TTwoPages : TTestReport {
    TTwoPages()
    {
        auto* master = Band<TrpMasterData>(20, 60);
        master->SetName("Master");
        master->SetDataSet(DataSet("Data", NumberedRows(4)));
        Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        Memo(Band<TrpPageFooter>(100, 15), 0, 0, 100, 15, "Footer");
        EXPECT_TRUE(Prepare()) << Errors();
    }
};

TEST(PagesStore, ObjectsAreStoredAsDifferences)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    ASSERT_EQ(pages->GetCount(), 2);
    TrpXMLItem* page = pages->PagesItem()->Items(0);
    EXPECT_EQ(page->Name, "page0");
    ASSERT_GE(page->Count(), 1);
    TrpXMLItem* band = page->Items(0);
    EXPECT_EQ(band->Name.substr(0, 1), "b");
    EXPECT_EQ(pages->Dictionary().GetSourceName(band->Name), "Page0.Master");
    ASSERT_EQ(band->Count(), 1);
    TrpXMLItem* memo = band->Items(0);
    EXPECT_EQ(memo->Name.substr(0, 1), "m");
    EXPECT_NE(memo->Text.find("Item 1"), AnsiString::npos) << memo->Text;
    EXPECT_EQ(memo->Text.find("Font"), AnsiString::npos) << "unchanged attributes are not stored: " << memo->Text;
    TrpReportPage* built = pages->GetPage(0);
    ASSERT_NE(built, nullptr);
    auto* builtMemo = dynamic_cast<TrpMemoView*>(built->Object(0)->Object(0));
    ASSERT_NE(builtMemo, nullptr);
    EXPECT_EQ(TrimRight(builtMemo->GetText()), "Item 1");
    EXPECT_EQ(builtMemo->Name(), t.Page()->Object(0)->Object(0)->Name());
}

TEST(PagesStore, SizesAndBadIndexes)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    EXPECT_EQ(pages->GetPageSize(0), (TPoint{378, 227}));
    EXPECT_EQ(pages->GetPageSize(2), (TPoint{0, 0}));
    EXPECT_EQ(pages->GetPageSize(-1), (TPoint{0, 0}));
    EXPECT_EQ(pages->GetPage(5), nullptr);
    TCursor cursor = 0;
    EXPECT_FALSE(pages->ObjectOver(9, 0, 0, mbLeft, {}, 1, 0, 0, true, cursor));
}

TEST(PagesStore, CacheKeepsFiftyMostRecentlyUsed)
{
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 200);
    band->SetRowCount(51);
    t.Memo(band, 0, 0, 100, 20, "[Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TrpPreviewPages* pages = t.Pages();
    ASSERT_EQ(pages->GetCount(), 51);
    TrpReportPage* first = pages->GetPage(0);
    for (int i = 1; i < 50; ++i)
        pages->GetPage(i);
    EXPECT_EQ(pages->GetPage(0), first) << "a cached page comes back without being built";
    EXPECT_EQ(pages->CachedPages(), 50);
    pages->GetPage(50);  // the least recently used (page 1) goes
    EXPECT_EQ(pages->CachedPages(), 50);
    EXPECT_EQ(pages->GetPage(0), first);
}

TEST(PagesStore, EmptyPagesAndDeleting)
{
    TTestReport t;
    t.Memo(t.Band<TrpReportTitle>(0, 20), 0, 0, 100, 20, "only");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TrpPreviewPages* pages = t.Pages();
    ASSERT_EQ(pages->GetCount(), 1);
    pages->DeletePage(0);
    EXPECT_EQ(pages->GetCount(), 1) << "the last page stays";
    pages->AddEmptyPage(0);
    ASSERT_EQ(pages->GetCount(), 2);
    EXPECT_TRUE(PageTexts(pages, 0).empty());
    EXPECT_EQ(PageTexts(pages, 1), (std::vector<AnsiString>{"only"}));
    EXPECT_EQ(pages->GetPageSize(0), pages->GetPageSize(1));
    pages->DeletePage(0);
    EXPECT_EQ(PageTexts(pages, 0), (std::vector<AnsiString>{"only"}));
}

TEST(PagesStore, ModifiedPageIsStoredWhole)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    TrpReportPage* page = pages->GetPage(1);
    auto* memo = dynamic_cast<TrpMemoView*>(page->Object(0)->Object(0));
    ASSERT_NE(memo, nullptr);
    memo->SetText("Edited");
    pages->ModifyPage(1, page);
    EXPECT_EQ(pages->PagesItem()->Items(1)->Name, "TrpReportPage");
    EXPECT_EQ(PageTexts(pages, 1).front(), "Edited");
}

TEST(PagesStore, CutAndPasteKeepDistances)
{
    TTestReport t;
    TrpPreviewPages* pages = t.Pages();
    pages->AddPage(t.Page());
    TrpXMLItem* page = pages->CurXMLPage();
    ASSERT_NE(page, nullptr);
    for (const char* text : {"l=\"3\" t=\"10\"", "l=\"5\" t=\"500\"", "t=\"520\""}) {
        TrpXMLItem* item = page->Add();
        item->Name = "TrpMemoView";
        item->Text = text;
    }
    pages->CutObjects(1);
    EXPECT_EQ(page->Count(), 1);
    pages->PasteObjects(0, 100);
    ASSERT_EQ(page->Count(), 3);
    EXPECT_EQ(page->Items(1)->Prop("t"), "100");
    EXPECT_EQ(page->Items(2)->Prop("t"), "120");
    EXPECT_EQ(page->Items(1)->Prop("l"), "0");
    EXPECT_EQ(page->Items(2)->Prop("l"), "-5") << "an element without l counts as l = 0";
    EXPECT_EQ(pages->XMLDoc()->Root()->Find("cutted"), -1);
}

TEST(PagesStore, Anchors)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    EXPECT_EQ(pages->GetAnchorPage("nowhere"), 1);
    pages->CurPage = 0;
    pages->AddAnchor("Intro");
    pages->CurPage = 1;
    pages->AddAnchor("intro");
    EXPECT_EQ(pages->GetAnchorPage("INTRO"), 2) << "the later anchor of a text wins";
}

// Anchors asked for between additions, after the store is cleared, and many in a row as a
// table of contents asks: each answer counts every anchor added before it, the latest of
// equal texts (ignoring case).
TEST(PagesStore, AnchorsFoundBetweenAdditions)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    struct Step {
        const char* why;
        int page;         // where the anchor is added, or -1 for none
        const char* add;
        const char* ask;
        int want;
    };
    const Step kSteps[] = {
        {"the first anchor", 0, "Глава 1", "глава 1", 1},
        {"another text", 1, "Глава 2", "ГЛАВА 2", 2},
        {"the first again, nothing added since", -1, nullptr, "Глава 1", 1},
        {"a later anchor of the first text", 1, "глава 1", "Глава 1", 2},
        {"a text never added", -1, nullptr, "Глава 3", 1},
        {"quotes and a line break", 0, "\"Итог\"\r\nвсего", "\"ИТОГ\"\r\nВСЕГО", 1},
    };
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.why);
        if (s.add) {
            pages->CurPage = s.page;
            pages->AddAnchor(s.add);
        }
        EXPECT_EQ(pages->GetAnchorPage(s.ask), s.want);
    }
    pages->Clear();
    EXPECT_EQ(pages->GetAnchorPage("Глава 2"), 1) << "a cleared store has no anchors";
    int wrong = 0;
    for (int i = 0; i < 3000; ++i) {
        pages->CurPage = i % 7;
        pages->AddAnchor("Строка " + IntToStr(i));
    }
    for (int i = 0; i < 3000; ++i)
        wrong += pages->GetAnchorPage("строка " + IntToStr(i)) != i % 7 + 1;
    EXPECT_EQ(wrong, 0);
}

TEST(PagesStore, FooterCheckAndLastY)
{
    TTwoPages t;
    TrpPreviewPages* pages = t.Pages();
    pages->CurPage = 0;
    auto* master = dynamic_cast<TrpBand*>(t.Report()->FindObject("Master"));
    EXPECT_TRUE(pages->BandExists(master));
    EXPECT_TRUE(pages->BandExists(t.Page()->FindBand(TrpPageFooter::StaticClass())));
    EXPECT_FALSE(pages->BandExists(nullptr));
    EXPECT_EQ(static_cast<double>(pages->GetLastY()), 120.0) << "two rows of 60, the page footer not counted";
}

TEST(PagesStore, MirroredMarginsOnEvenPages)
{
    TTwoPages t;
    t.Page()->MirrorMargins = true;
    t.Page()->LeftMargin = 20;
    t.Report()->GetEngineOptions()->RestoreReport = false;
    ASSERT_TRUE(t.Prepare());
    TrpPreviewPages* pages = t.Pages();
    auto firstTextX = [&](int index) {
        TRecordingCanvas c;
        pages->DrawPage(index, &c.Canvas, 1, 1, 0, 0);
        for (const TDrawRecord& r : c.Device.Records())
            if (r.Op == TDrawOp::Text)
                return r.Args[0];
        return -1;
    };
    EXPECT_EQ(firstTextX(0), 78) << "20 mm left margin";
    EXPECT_EQ(firstTextX(1), 21) << "the second page takes the 5 mm right margin on the left";
}

// What an export filter is given: for each chosen page, the page placed at its margins,
// a background object over the printable area, then the page's objects with their page
// count filled in and their highlight font taken.
class TListingFilter : public TrpCustomExportFilter {
public:
    TListingFilter() { ShowDialog = false; }
    void StartPage(TrpReportPage* Page, int Index) override
    {
        Lines.push_back("page " + IntToStr(Index));
    }
    void ExportObject(TrpComponent* Obj) override
    {
        // Positions on the sheet: the page's own place is its margins.
        const AnsiString where = Round(Obj->GetAbsLeft()) + "," + Round(Obj->GetAbsTop());
        if (Obj->Name() == "_pagebackground") {
            auto* v = dynamic_cast<TrpPictureView*>(Obj);
            Lines.push_back("background " + where + " " + Round(Obj->GetWidth()) + "x" + Round(Obj->GetHeight()) +
                            (v && v->Stretched && !v->KeepAspectRatio ? " stretched" : ""));
        } else if (auto* memo = dynamic_cast<TrpMemoView*>(Obj)) {
            Lines.push_back("memo " + Trim(memo->GetText()) + " " + where + " size " +
                            IntToStr(memo->GetFont()->GetSize()));
        }
    }
    std::vector<AnsiString> Lines;

private:
    static AnsiString Round(Extended v) { return IntToStr(static_cast<int>(std::lround(static_cast<double>(v)))); }
};

TEST(PagesStore, ExportGivesEachChosenPageAtItsMargins)
{
    struct Case {
        const char* why;
        bool mirror;
        const char* pageNumbers;
        std::vector<AnsiString> lines;
    };
    // 100 x 60 mm pages, margins 20 (left), 5 (right), 10 (top), 4 (bottom): the printable
    // area is 284 x 174 units at (76, 38); two rows of 60 a page, the footer at its bottom.
    const Case cases[] = {
        {"every page", false, "",
         {"page 0", "background 76,38 284x174 stretched", "memo Item 1 76,38 size 10", "memo Item 2 76,98 size 10",
          "memo 1 of 2 76,197 size 10", "page 1", "background 76,38 284x174 stretched", "memo Item 3 76,38 size 10",
          "memo Item 4 76,98 size 10", "memo 2 of 2 76,197 size 14"}},
        {"mirrored margins: the second page at its right margin", true, "",
         {"page 0", "background 76,38 284x174 stretched", "memo Item 1 76,38 size 10", "memo Item 2 76,98 size 10",
          "memo 1 of 2 76,197 size 10", "page 1", "background 19,38 284x174 stretched", "memo Item 3 19,38 size 10",
          "memo Item 4 19,98 size 10", "memo 2 of 2 19,197 size 14"}},
        {"pages chosen out of order and twice: the report's order, each once", false, "2,1,2",
         {"page 0", "background 76,38 284x174 stretched", "memo Item 1 76,38 size 10", "memo Item 2 76,98 size 10",
          "memo 1 of 2 76,197 size 10", "page 1", "background 76,38 284x174 stretched", "memo Item 3 76,38 size 10",
          "memo Item 4 76,98 size 10", "memo 2 of 2 76,197 size 14"}},
        {"the second page only", false, "2",
         {"page 1", "background 76,38 284x174 stretched", "memo Item 3 76,38 size 10", "memo Item 4 76,98 size 10",
          "memo 2 of 2 76,197 size 14"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        TrpReportPage* page = t.Page();
        page->LeftMargin = 20;
        page->RightMargin = 5;
        page->TopMargin = 10;
        page->BottomMargin = 4;
        page->MirrorMargins = c.mirror;
        auto* master = t.Band<TrpMasterData>(20, 60);
        master->SetDataSet(t.DataSet("Data", NumberedRows(4)));
        t.Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        TrpMemoView* footer = t.Memo(t.Band<TrpPageFooter>(100, 15), 0, 0, 100, 15, "[Page#] of [TotalPages#]");
        footer->GetHighlight()->Condition = "<Page#> = 2";
        footer->GetHighlight()->GetFont()->SetSize(14);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 2);
        TListingFilter filter;
        filter.PageNumbers = c.pageNumbers;
        EXPECT_TRUE(t.Pages()->Export(&filter));
        EXPECT_EQ(filter.Lines, c.lines);
    }
}

TEST(PagesStore, FindText)
{
    TTwoPages t;
    EXPECT_EQ(t.Pages()->FindText(0, "item 2").size(), 1u);
    EXPECT_EQ(t.Pages()->FindText(0, "item 2", true).size(), 0u);
    EXPECT_EQ(t.Pages()->FindText(1, "Footer").size(), 1u);
}

}  // namespace

// Pages gone to the swap file while the engine writes elsewhere: a second subreport beside
// a long first one comes back to the pages the first one left. What it writes there must be
// on those pages, in the order written, when they are shown, saved and loaded again, as
// without the swap file.
TEST(PagesStore, PagesTheEngineComesBackToAreReadBackFromTheSwapFile)
{
    struct Case {
        const char* why;
        bool fileCache;
        bool doublePass;
    };
    const Case kCases[] = {
        {"in memory", false, false},
        {"swap file", true, false},
        {"swap file, two passes", true, true},
    };
    auto allTexts = [](TrpPreviewPages* pages) {
        AnsiString out;
        for (int i = 0; i < pages->GetCount(); ++i) {
            out += "|";
            for (const AnsiString& s : PageTexts(pages, i))
                out += s + ";";
        }
        return out;
    };
    AnsiString expected;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Report()->GetEngineOptions()->UseFileCache = c.fileCache;
        t.Report()->GetEngineOptions()->MaxMemSize = 0;  // every new page swaps the earlier ones out
        t.Report()->GetEngineOptions()->DoublePass = c.doublePass;
        TrpReportPage* left = t.AddPage();
        auto* lb = t.Band<TrpMasterData>(5, 15, left);
        lb->SetDataSet(t.DataSet("L", NumberedRows(40)));
        t.Memo(lb, 0, 0, 100, 15, "L[L.\"N\"]");
        TrpReportPage* right = t.AddPage();
        auto* rb = t.Band<TrpMasterData>(5, 15, right);
        rb->SetDataSet(t.DataSet("R", NumberedRows(30)));
        t.Memo(rb, 0, 0, 100, 15, "R[R.\"N\"]");
        auto* band = t.Band<TrpMasterData>(10, 30);
        band->SetRowCount(1);
        t.Memo(band, 0, 0, 100, 15, "Row");
        for (auto [sub, x] : {std::pair{left, 120}, std::pair{right, 240}}) {
            auto* s = new TrpSubreport(band);
            s->SetBounds(x, 5, 100, 15);
            s->SetSubPage(sub);
        }
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        // Saved before any page is shown: the file holds what was written.
        TMemoryStream saved;
        t.Pages()->SaveToStream(saved);
        const AnsiString shown = allTexts(t.Pages());
        if (expected.empty())
            expected = shown;
        EXPECT_EQ(shown, expected);
        saved.Seek(0, soBeginning);
        t.Pages()->LoadFromStream(saved, false);
        EXPECT_EQ(allTexts(t.Pages()), expected) << "loaded from the saved file";
    }
    EXPECT_NE(expected.find("R25;R26;R27;R28;R29;R30;|L37;"), AnsiString::npos) << expected;
}

// A view with a negative width or height (a rising diagonal, a line drawn from its right or
// lower end) covers the pixels of its mirror image: a clipped canvas draws it, and the mouse
// over it finds it, for every kind of view.
TEST(PagesStore, ViewsWithNegativeSizesAreDrawnAndFound)
{
    struct Case {
        const char* why;
        std::function<TrpView*(TrpBand*)> make;
        Extended width, height;
    };
    auto shape = [](TrpShapeKind kind) {
        return [kind](TrpBand* band) {
            auto* s = new TrpShapeView(band);
            s->Shape = kind;
            return static_cast<TrpView*>(s);
        };
    };
    auto diagonal = [](TrpBand* band) {
        auto* l = new TrpLineView(band);
        l->Diagonal = true;
        return static_cast<TrpView*>(l);
    };
    const Case cases[] = {
        {"rising diagonal line, width negative", diagonal, -100, 60},
        {"diagonal line, height negative", diagonal, 100, -60},
        {"rectangle, width negative", shape(skRectangle), -80, 50},
        {"ellipse, height negative", shape(skEllipse), 80, -50},
        {"diamond, both negative", shape(skDiamond), -80, -50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(0, 150);
        band->SetRowCount(1);
        TrpView* view = c.make(band);
        view->SetName("View1");
        view->SetBounds(150, 70, c.width, c.height);
        view->Cursor = crHandPoint;
        ASSERT_TRUE(t.Prepare()) << t.Errors();

        TRecordingCanvas rc;
        rc.Canvas.SetClipRect(Rect(0, 0, 400, 300));
        t.Pages()->DrawPage(0, &rc.Canvas, 1, 1, 0, 0);
        const AnsiString dump = rc.Dump();
        const bool drawn = dump.find("line ") != AnsiString::npos || dump.find("rect ") != AnsiString::npos ||
                           dump.find("ellipse ") != AnsiString::npos || dump.find("polygon ") != AnsiString::npos;
        EXPECT_TRUE(drawn) << dump;

        // A point inside the mirror image, inside the page margins (5 mm, 19 units).
        const int x = 19 + 150 + (c.width < 0 ? -10 : 10), y = 19 + 70 + (c.height < 0 ? -5 : 0);
        TCursor cursor = crDefault;
        EXPECT_TRUE(t.Pages()->ObjectOver(0, x, y, mbLeft, {}, 1, 0, 0, false, cursor));
        EXPECT_EQ(cursor, crHandPoint);
    }
}
