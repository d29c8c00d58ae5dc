// The preview control: page layout, navigation, zoom, painting, search, outline, mouse
// and keys, and what it refuses while a report is being prepared into it.
#include "report/output/rpPreview.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/PreviewTestSupport.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- page list

struct LayoutCase {
    const char* why;
    int columns;
    std::vector<TPoint> sizes;
    int clientWidth;
    Extended zoom;
    int index;
    TRect expected;
};

const LayoutCase kLayout[] = {
    {"one column: the page is centred", 1, {{794, 1123}}, 1000, 1, 0, {103, 10, 897, 1133}},
    {"second page starts 10 below the first", 1, {{794, 1123}, {794, 1123}}, 1000, 1, 1, {103, 1143, 897, 2266}},
    {"a page wider than the client starts 10 from the left", 1, {{794, 1123}}, 500, 1, 0, {10, 10, 804, 1133}},
    {"zoom scales the offsets but not the fixed left gap", 1, {{794, 1123}}, 300, 0.5, 0, {10, 5, 407, 567}},
    {"halves round to even", 1, {{101, 100}}, 200, 0.5, 0, {75, 5, 125, 55}},
    {"two columns share a row, centred together", 2, {{400, 500}, {300, 600}}, 1000, 1, 1, {555, 10, 855, 610}},
    {"a third page starts a new row below the taller", 2, {{400, 500}, {300, 600}, {400, 500}}, 1000, 1, 2,
     {300, 620, 700, 1120}},
    {"outside the list: an empty A4 page", 1, {}, 1000, 1, 5, {103, 10, 897, 1133}},
};

TEST(PageListTest, Bounds)
{
    for (const LayoutCase& c : kLayout) {
        SCOPED_TRACE(c.why);
        TrpPageList list;
        list.SetColumnCount(c.columns);
        for (TPoint s : c.sizes)
            list.AddPage(s.X, s.Y);
        EXPECT_EQ(list.GetPageBounds(c.index, c.clientWidth, c.zoom), c.expected);
    }
}

TEST(PageListTest, MaxWidthCountsOneGapPerPage)
{
    TrpPageList list;
    list.SetColumnCount(2);
    list.AddPage(400, 500);
    list.AddPage(300, 600);
    list.AddPage(100, 100);
    EXPECT_EQ(list.MaxWidth(), 720);
    EXPECT_EQ(list.GetMaxBounds(1000, 1), Point(720, 720));
    EXPECT_EQ(TrpPageList().GetMaxBounds(1000, 1), Point(0, 0));
}

struct FindCase {
    const char* why;
    int offset;
    bool exact;
    int expected;
};

const FindCase kFind[] = {
    {"above the first page", -300, false, -1},
    {"the first page at the top", 0, false, 0},
    {"200 above the second page's top: it is already current (tolerance 225)", 1143 - 200, false, 1},
    {"230 above it: not yet", 1143 - 230, false, 0},
    {"exact: only once its top is reached", 1142, true, 0},
    {"exact at its top", 1143, true, 1},
    {"far below the last page", 100000, false, 2},
};

TEST(PageListTest, FindPage)
{
    TrpPageList list;
    for (int i = 0; i < 3; ++i)
        list.AddPage(794, 1123);
    for (const FindCase& c : kFind) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(list.FindPage(c.offset, 1, c.exact), c.expected);
    }
    EXPECT_EQ(TrpPageList().FindPage(0, 1, false), -1);
}

// ---------------------------------------------------------------- the control

// One printer installed while it lives: without one the preview prints nothing.
struct TOfficePrinter {
    TRecordingPrinterSystem printers{{{"Office"}}, "Office"};
    TPrinterSystemScope use{printers};
    TOfficePrinter() { rpFreePrinters(); }
    ~TOfficePrinter() { rpFreePrinters(); }
};

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        report = env.NewReport(5);
        pages = TPreviewEnv::PagesOf(report);
        form = new TForm(Application);
        // The surface's client area comes out 834 x 600: the window less its edge and bars.
        form->SetClientWidth(834 + 2 * kClientEdgeWidth + kScrollBarSize);
        form->SetClientHeight(600 + 2 * kClientEdgeWidth + kScrollBarSize);
        preview = new TrpPreview(form);
        preview->SetParent(form);
        preview->SetAlign(alClient);
        preview->SetOutlineVisible(false);
        report->SetPreview(preview);
        form->Show();
    }

    TPreviewEnv env;
    TrpReport* report = nullptr;
    TFakePages* pages = nullptr;
    TForm* form = nullptr;
    TrpPreview* preview = nullptr;
    std::vector<int> changes;
};

TEST_F(PreviewTest, AttachedByTheReport)
{
    EXPECT_EQ(preview->Report, report);
    EXPECT_EQ(preview->PreviewPages, pages);
    EXPECT_EQ(preview->GetPageCount(), 5);
    EXPECT_EQ(preview->GetPageNo(), 1);
    EXPECT_EQ(preview->Workspace->GetClientWidth(), 834);
    EXPECT_EQ(preview->Workspace->GetWidth(), 855) << "the client edge and the vertical bar beside it";
    EXPECT_EQ(preview->Workspace->Surface->GetWidth(), 834) << "the surface fills the client area only";
    EXPECT_EQ(preview->Workspace->GetVertRange(), 10 + 5 * 1133 - 10 + 10) << "extent plus 10";
    EXPECT_EQ(preview->Workspace->GetVertPage(), 600);
    // What the bars show, and the user's scrolling on them.
    const TScrollBarInfo v = preview->Workspace->GetScrollBarInfo(sbVertical);
    EXPECT_EQ(v, (TScrollBarInfo{0, 5675, 600, 0, true}));
    EXPECT_FALSE(preview->Workspace->GetScrollBarInfo(sbHorizontal).Enabled) << "the page fits the width";
    env.d.Scroll(preview->Workspace, sbVertical, scLineDown);
    env.d.Scroll(preview->Workspace, sbVertical, scPageDown);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 308) << "steps of 8 and 300 pixels";
    env.d.Scroll(preview->Workspace, sbVertical, scTrack, 2300);
    EXPECT_EQ(preview->GetPageNo(), 3) << "the thumb dragged to the third page";
    env.d.Scroll(preview->Workspace, sbVertical, scEndScroll);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 2300);
}

TEST_F(PreviewTest, Navigation)
{
    preview->OnPageChanged = TrpPageChangedEvent::Lambda([&](TrpPreview*, int n) { changes.push_back(n); });
    struct Step {
        const char* why;
        std::function<void()> act;
        int page;
    };
    const Step steps[] = {
        {"next", [&] { preview->Next(); }, 2},
        {"last", [&] { preview->Last(); }, 5},
        {"next at the end stays", [&] { preview->Next(); }, 5},
        {"prior", [&] { preview->Prior(); }, 4},
        {"first", [&] { preview->First(); }, 1},
        {"prior at the start stays", [&] { preview->Prior(); }, 1},
        {"a number beyond the count is lowered", [&] { preview->SetPageNo(99); }, 5},
        {"zero is raised to 1", [&] { preview->SetPageNo(0); }, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        s.act();
        EXPECT_EQ(preview->GetPageNo(), s.page);
        // The view shows the page: its top is 10 pixels below the top edge.
        EXPECT_EQ(preview->Workspace->GetVertPosition(),
                  std::min(preview->Workspace->GetPageBounds(s.page - 1).Top - 10,
                           preview->Workspace->GetVertRange() - preview->Workspace->GetVertPage()));
        EXPECT_EQ(changes.back(), s.page);
    }
}

TEST_F(PreviewTest, ChosenPageStaysWhenTheLastPagesFitInTheView)
{
    pages->SetPages(3, 400, 250);
    preview->Init();
    preview->Next();
    EXPECT_EQ(preview->GetPageNo(), 2) << "the view cannot bring page 2 to the top, but it is the page chosen";
    preview->Last();
    EXPECT_EQ(preview->GetPageNo(), 3);
    // Scrolling by hand follows the top of the view again.
    preview->Workspace->SetVertPosition(0);
    EXPECT_EQ(preview->GetPageNo(), 1);
}

TEST_F(PreviewTest, ScrollingMovesThePageNumber)
{
    preview->Workspace->SetVertPosition(1133 * 2 + 10 - 200);
    EXPECT_EQ(preview->GetPageNo(), 3) << "a page becomes current a fifth of its height early";
    preview->Workspace->SetVertPosition(1133 * 2 + 10 - 230);
    EXPECT_EQ(preview->GetPageNo(), 2);
    preview->Workspace->SetVertPosition(-50);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 0);
}

TEST_F(PreviewTest, OutlivesItsReport)
{
    env.Reports.clear();
    EXPECT_EQ(preview->Report, nullptr);
    EXPECT_EQ(preview->PreviewPages, nullptr);
    EXPECT_EQ(preview->GetPageCount(), 0);
    TRecordingCanvas c;
    preview->Workspace->Paint(c.Canvas);
    EXPECT_EQ(c.Dump(), "brush clGray bsSolid\nbk opaque clGray\nfill 0 0 834 600\n");
    preview->Next();
    preview->Print();
    EXPECT_EQ(preview->GetPageNo(), 0);
}

TEST_F(PreviewTest, NoPages)
{
    pages->Pages.clear();
    preview->Init();
    EXPECT_EQ(preview->GetPageNo(), 0);
    preview->SetZoomMode(zmWholePage);
    EXPECT_EQ(preview->GetZoom(), 1) << "UpdateZoom does nothing without pages";
    TRecordingCanvas c;
    preview->Workspace->Paint(c.Canvas);
    EXPECT_EQ(c.Dump(), "brush clGray bsSolid\nbk opaque clGray\nfill 0 0 834 600\n");
}

struct ZoomCase {
    const char* why;
    std::function<void(TrpPreview*)> act;
    Extended zoom;
    int columns;
};

TEST_F(PreviewTest, ZoomModes)
{
    const ZoomCase cases[] = {
        {"whole page fits the height", [](TrpPreview* p) { p->SetZoomMode(zmWholePage); }, Extended(580) / 1123, 1},
        {"page width fits the width", [](TrpPreview* p) { p->SetZoomMode(zmPageWidth); }, Extended(814) / 794, 1},
        {"many pages: two side by side", [](TrpPreview* p) { p->SetZoomMode(zmManyPages); }, Extended(802) / 1588,
         2},
        {"a zoom value leaves many pages for one column", [](TrpPreview* p) { p->SetZoom(1); }, 1, 1},
        {"too small a zoom is raised to 0.25", [](TrpPreview* p) { p->SetZoom(0.1); }, 0.25, 1},
        {"there is no upper bound", [](TrpPreview* p) { p->SetZoom(40); }, 40, 1},
    };
    for (const ZoomCase& c : cases) {
        SCOPED_TRACE(c.why);
        c.act(preview);
        EXPECT_DOUBLE_EQ(double(preview->GetZoom()), double(c.zoom));
        EXPECT_EQ(preview->Workspace->PageList().GetColumnCount(), c.columns);
    }
}

TEST_F(PreviewTest, PaintingAtAZoom)
{
    pages->Pages.resize(2);
    preview->Init();
    preview->SetZoom(0.5);
    TRecordingCanvas c;
    preview->Workspace->Paint(c.Canvas);
    ExpectGolden("preview_two_pages_half", c.Dump());
    // Pages draw where the frames are.
    ASSERT_EQ(pages->DrawCalls.size(), 2u);
    EXPECT_EQ(pages->DrawCalls[0].OffsetX, preview->Workspace->GetPageBounds(0).Left);
    EXPECT_EQ(pages->DrawCalls[1].OffsetY, preview->Workspace->GetPageBounds(1).Top);
}

TEST_F(PreviewTest, LockedPaintsOnlyTheBackground)
{
    preview->Lock();
    TRecordingCanvas c;
    preview->Workspace->Paint(c.Canvas);
    EXPECT_TRUE(pages->DrawCalls.empty());
    preview->Unlock();
    preview->Workspace->Paint(c.Canvas);
    EXPECT_FALSE(pages->DrawCalls.empty());
}

TEST_F(PreviewTest, PaintingWalksOnlyThePagesNearTheView)
{
    pages->SetPages(100);
    preview->Init();
    preview->SetZoom(0.25);
    preview->SetPageNo(60);
    TRecordingCanvas c(96, 96, false, Rect(0, 0, 834, 600));
    preview->Workspace->Paint(c.Canvas);
    ASSERT_FALSE(pages->DrawCalls.empty());
    for (const TDrawCall& call : pages->DrawCalls)
        EXPECT_TRUE(call.Index >= 59 - 20 && call.Index <= 59 + 20) << call.Index;
}

TEST_F(PreviewTest, FindMovesToThePageAndMarksTheHit)
{
    pages->Pages[3].Texts.push_back({100, 900, "Итого по складу", {}});
    preview->Init();
    env.d.ExpectModal("TrpSearchDialog", [&] {
        auto* dialog = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
        ASSERT_NE(dialog, nullptr);
        env.d.Type(dialog->TextE, "итого");
        env.d.Click(dialog->OkB);
    });
    env.d.Run([&] { preview->Find(); });
    const TrpFindState& find = rpFindState();
    ASSERT_TRUE(find.TextFound);
    EXPECT_EQ(preview->Workspace->SearchPage, 3);
    EXPECT_EQ(preview->GetPageNo(), 4);
    // "Итого по складу": 15 letters of 13-pixel Arial on the exact font, 7.8 each.
    EXPECT_EQ(find.FoundRect, Rect(100, 900, 217, 913));
    TRecordingCanvas c;
    preview->Workspace->Paint(c.Canvas);
    EXPECT_NE(c.Dump().find("pen clWhite 1 psSolid pmXor"), AnsiString::npos);
    // Nothing further: F3 returns without moving.
    const int position = preview->Workspace->GetVertPosition();
    preview->FindNext();
    EXPECT_FALSE(rpFindState().TextFound);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), position);
}

TEST_F(PreviewTest, FindIsCaseSensitiveOnRequestAndFindsTheNextHitOnTheSamePage)
{
    pages->Pages[1].Texts = {{10, 10, "Склад", {}}, {10, 500, "СКЛАД", {}}, {10, 900, "склад", {}}};
    preview->Init();
    env.d.ExpectModal("TrpSearchDialog", [&] {
        auto* dialog = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
        env.d.Type(dialog->TextE, "склад");
        env.d.Tick(dialog->CaseCB);
        env.d.Click(dialog->OkB);
    });
    env.d.Run([&] { preview->Find(); });
    ASSERT_TRUE(rpFindState().TextFound);
    EXPECT_EQ(rpFindState().FoundRect.Top, 900);
    EXPECT_EQ(rpLastSearchText(), "склад");

    // Without the case box: every record in turn, then nothing.
    rpFindState().CaseSensitive = false;
    preview->Workspace->SearchPage = 1;
    rpFindState().LastFoundRecord = -1;
    std::vector<int> tops;
    for (int i = 0; i < 4; ++i) {
        preview->FindNext();
        if (rpFindState().TextFound)
            tops.push_back(rpFindState().FoundRect.Top);
    }
    EXPECT_EQ(tops, (std::vector<int>{10, 500, 900}));
}

TEST_F(PreviewTest, CancelledFindStillAllowsF3)
{
    env.d.ExpectModal("TrpSearchDialog", [&] {
        env.d.Click(dynamic_cast<TrpSearchDialog*>(Screen->ModalForm())->CancelB);
    });
    env.d.Run([&] { preview->Find(); });
    EXPECT_TRUE(preview->GetAllowF3());
}

TEST_F(PreviewTest, OutlineSelectsAPage)
{
    TFakeOutline* outline = pages->FakeOutline();
    outline->Root = {{"Склад", 0, 0, {{"Обувь", 2, 1001, {}}, {"Одежда", 4, 0, {}}}}};
    preview->SetOutlineVisible(true);
    preview->UpdateOutline();
    TTreeNodes* nodes = preview->OutlineTree->GetItems();
    ASSERT_EQ(nodes->Count(), 3);
    EXPECT_TRUE(nodes->Item(0)->GetExpanded());
    EXPECT_EQ(reinterpret_cast<intptr_t>(nodes->Item(1)->GetData()), 3 + 500 * (1 << 20));
    env.d.ChooseNode(preview->OutlineTree, "Обувь");
    // The third page, at 1000 pixels below its printable top (10 mm of margin).
    const int expected = preview->Workspace->GetPageBounds(2).Top - 10 + int(Round((1000 + 10 * 3.77953L)));
    EXPECT_EQ(preview->Workspace->GetVertPosition(), expected);
    EXPECT_EQ(preview->GetPageNo(), 4) << "the view is 85 pixels above the fourth page: it is current";
    env.d.ChooseNode(preview->OutlineTree, "Одежда");
    EXPECT_EQ(preview->GetPageNo(), 5);
}

TEST_F(PreviewTest, OutlineReachesFarDownTallPages)
{
    struct Case {
        const char* why;
        int page, top;
        bool classic;  // stored in the 32-bit form others read
        int reached;   // the top the view is brought to
    };
    const Case cases[] = {
        {"a top that fits keeps the classic form (odd tops round down)", 1, 4093, true, 4092},
        {"a top beyond 4095 pixels is carried whole", 1, 5001, false, 5001},
        {"near the foot of the first page, over a metre and a half tall", 0, 5800, false, 5800},
    };
    pages->SetPages(3, 794, 6000);
    preview->Init();
    TFakeOutline* outline = pages->FakeOutline();
    outline->Root.clear();
    for (const Case& c : cases)
        outline->Root.push_back({c.why, c.page, c.top, {}});
    preview->SetOutlineVisible(true);
    preview->UpdateOutline();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTreeNode* node = nullptr;
        for (int k = 0; k < preview->OutlineTree->GetItems()->Count(); ++k)
            if (preview->OutlineTree->GetItems()->Item(k)->GetText() == c.why)
                node = preview->OutlineTree->GetItems()->Item(k);
        ASSERT_NE(node, nullptr);
        const intptr_t data = reinterpret_cast<intptr_t>(node->GetData());
        if (c.classic) {
            EXPECT_EQ(data, (c.page + 1) + (c.top / 2) * (1 << 20));
        }
        env.d.ChooseNode(preview->OutlineTree, c.why);
        const int expected =
            preview->Workspace->GetPageBounds(c.page).Top - 10 + int(Round((c.reached + 10 * 3.77953L)));
        EXPECT_EQ(preview->Workspace->GetVertPosition(), expected);
    }
}

TEST_F(PreviewTest, DeletingAndAddingPages)
{
    struct Case {
        const char* why;
        int at, pageAfter, countAfter;
    };
    const Case cases[] = {
        {"deleting page 4 of 5 moves to page 3", 4, 3, 4},
        {"deleting page 2 of 5 keeps page 2", 2, 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        pages->SetPages(5);
        preview->Init();
        preview->SetPageNo(c.at);
        preview->DeletePage();
        EXPECT_EQ(preview->GetPageNo(), c.pageAfter);
        EXPECT_EQ(preview->GetPageCount(), c.countAfter);
        EXPECT_EQ(preview->Workspace->PageList().Count(), c.countAfter);
    }
    preview->AddPage();
    EXPECT_EQ(preview->GetPageCount(), 5);
}

TEST_F(PreviewTest, CommandsWaitWhileAReportIsPrepared)
{
    const TOfficePrinter office;
    preview->InternalOnProgressStart(report, ptRunning, 0);
    EXPECT_TRUE(preview->GetRunning());
    preview->Print();
    preview->SaveToFile("x.rpf");
    preview->LoadFromFile("x.rpf");
    preview->DeletePage();
    preview->AddPage();
    preview->PageSetupDlg();
    EXPECT_TRUE(pages->Printed.empty());
    EXPECT_TRUE(pages->Saved.empty());
    EXPECT_TRUE(pages->Loaded.empty());
    preview->Cancel();
    EXPECT_TRUE(report->GetTerminated());
    preview->InternalOnProgressStop(report, ptRunning, 0);
    EXPECT_FALSE(preview->GetRunning());
    preview->Print();
    EXPECT_EQ(pages->Printed.size(), 1u);
}

TEST_F(PreviewTest, PrintingKeepsThePageTheUserWasOn)
{
    const TOfficePrinter office;
    preview->SetPageNo(4);
    preview->Print();
    ASSERT_EQ(pages->Printed, (std::vector<int>{4}));
    EXPECT_EQ(preview->GetPageNo(), 4);
    preview->Next();
    EXPECT_EQ(preview->GetPageNo(), 5);
}

TEST_F(PreviewTest, SaveAndLoadThroughTheFileDialogs)
{
    env.d.AnswerFileDialog("/tmp/склад/отчет.txt");
    env.d.Run([&] { preview->SaveToFile(); });
    ASSERT_EQ(pages->Saved, (std::vector<AnsiString>{"/tmp/склад/отчет.rpf"}));
    ASSERT_EQ(env.d.FileDialogs().size(), 1u);
    EXPECT_EQ(env.d.FileDialogs()[0].Kind, TFileDialogKind::Save);
    EXPECT_EQ(env.d.FileDialogs()[0].Filter, "Готовый отчет (*.rpf)|*.rpf");
    EXPECT_FALSE(preview->GetLocked());
    EXPECT_FALSE(preview->MessagePanel->GetVisible());

    preview->SetPageNo(5);
    env.d.AnswerFileDialog("/tmp/old.rpf");
    env.d.Run([&] { preview->LoadFromFile(); });
    EXPECT_EQ(pages->Loaded, (std::vector<AnsiString>{"/tmp/old.rpf"}));
    EXPECT_EQ(preview->GetPageCount(), 3);
    EXPECT_EQ(preview->GetPageNo(), 1);
    EXPECT_EQ(preview->Workspace->PageList().Count(), 3);

    env.d.CancelFileDialog();
    env.d.Run([&] { preview->SaveToFile(); });
    EXPECT_EQ(pages->Saved.size(), 1u);
}

TEST_F(PreviewTest, HandToolDragsTheView)
{
    preview->SetZoom(1);
    TPaintBox* surface = preview->Workspace->Surface;
    surface->UserMouseDown(mbLeft, {ssLeft}, 300, 300);
    surface->UserMouseMove({ssLeft}, 280, 200);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 100);
    EXPECT_EQ(preview->Workspace->GetHorzPosition(), 0) << "the page is narrower than the view";
    surface->UserMouseUp(mbLeft, {}, 280, 200);
    EXPECT_FALSE(preview->Workspace->Down);
    EXPECT_EQ(preview->Workspace->Surface->GetCursor(), crrpHand);
}

TEST_F(PreviewTest, ZoomToolClicks)
{
    preview->SetTool(ptZoom);
    EXPECT_EQ(preview->Workspace->DefaultCursor, crrpZoom);
    TPaintBox* surface = preview->Workspace->Surface;
    surface->UserMouseUp(mbLeft, {}, 10, 10);
    EXPECT_DOUBLE_EQ(double(preview->GetZoom()), 1.25);
    preview->SetZoom(0.25);
    surface->UserMouseUp(mbRight, {}, 10, 10);
    EXPECT_DOUBLE_EQ(double(preview->GetZoom()), 0.25) << "a right click at 0.25 stays there";
    EXPECT_TRUE(pages->OverCalls.empty()) << "zoom clicks are not object clicks";
}

TEST_F(PreviewTest, HyperlinkOpensThroughTheShell)
{
    pages->Pages[0].Texts.push_back({100, 200, "www", "http://example.org/склад"});
    preview->Init();
    const TRect r = preview->Workspace->GetPageBounds(0);
    TPaintBox* surface = preview->Workspace->Surface;
    surface->UserMouseMove({}, r.Left + 110, r.Top + 205);
    EXPECT_EQ(surface->GetCursor(), crHandPoint);
    ASSERT_FALSE(pages->OverCalls.empty());
    EXPECT_FALSE(pages->OverCalls.back().Click);
    EXPECT_EQ(pages->OverCalls.back().OffsetX, r.Left);
    surface->UserMouseMove({}, r.Left + 500, r.Top + 700);
    EXPECT_EQ(surface->GetCursor(), crrpHand);
    surface->UserMouseDown(mbLeft, {ssLeft}, r.Left + 110, r.Top + 205);
    surface->UserMouseUp(mbLeft, {}, r.Left + 110, r.Top + 205);
    ASSERT_EQ(env.d.ShellCalls().size(), 1u);
    EXPECT_EQ(env.d.ShellCalls()[0].File, "http://example.org/склад");
    EXPECT_TRUE(pages->OverCalls.back().Click);
}

TEST_F(PreviewTest, Keys)
{
    struct Case {
        const char* why;
        Word key;
        int position;
        int page;
    };
    const Case cases[] = {
        {"down arrow: 8 pixels", VK_DOWN, 8, 1},
        {"page down: 300 more", VK_NEXT, 308, 1},
        {"page up", VK_PRIOR, 8, 1},
        {"end: the last page", VK_END, 10 + 4 * 1133 - 10, 5},
        {"home: the first", VK_HOME, 0, 1},
    };
    // The page surface is part of the preview: with the focus there (tabbed to) the keys
    // do the same.
    for (TWinControl* target : {static_cast<TWinControl*>(preview), static_cast<TWinControl*>(preview->Workspace)}) {
        SCOPED_TRACE(target == preview ? "keys into the preview" : "keys into its page surface");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            env.d.Key(target, c.key);
            EXPECT_EQ(preview->Workspace->GetVertPosition(), c.position);
            EXPECT_EQ(preview->GetPageNo(), c.page);
        }
    }
    preview->MouseWheelScroll(-120);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 20);
    preview->MouseWheelScroll(0);
    EXPECT_EQ(preview->Workspace->GetVertPosition(), 20);
}

TEST_F(PreviewTest, CtrlKeysFollowTheButtons)
{
    const TOfficePrinter office;
    report->GetPreviewOptions()->Buttons = TrpPreviewButtons{pbSave};
    env.d.Key(preview, 'P', {ssCtrl});
    EXPECT_TRUE(pages->Printed.empty()) << "no print button, no Ctrl+P";
    report->GetPreviewOptions()->Buttons = TrpPreviewButtons{pbPrint};
    env.d.Key(preview, 'P', {ssCtrl});
    EXPECT_EQ(pages->Printed.size(), 1u);
}

TEST_F(PreviewTest, ProgressRefreshesEverySoManyPages)
{
    TPreviewEnv::EngineOf(report)->FinalPass = true;
    pages->Pages.clear();
    preview->InternalOnProgressStart(report, ptRunning, 0);
    EXPECT_EQ(preview->GetPageCount(), 0);
    for (int i = 0; i < 3; ++i) {
        pages->Pages.push_back({});
        preview->InternalOnProgress(report, ptRunning, i);
    }
    EXPECT_EQ(preview->Tick, 50u) << "the second page came at once: refresh every 50 pages";
    EXPECT_EQ(preview->Workspace->PageList().Count(), 3);
    EXPECT_EQ(preview->GetPageNo(), 1);
    preview->InternalOnProgressStop(report, ptRunning, 0);
    EXPECT_FALSE(preview->GetRunning());
}

}  // namespace
