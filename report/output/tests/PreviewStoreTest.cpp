// The preview window over real prepared pages: a template built by the engine, saved to an
// .rpf file and opened again through the file dialogs, searched, navigated by its outline
// and printed through the print dialog onto a recording printer.
#include "report/output/rpPreviewForm.h"
#include "report/output/rpPrintDialog.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpUtils.h"

#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Sixty rows on A4 pages, 26 to a page: three pages with an outline entry per row.
struct TStoreReport : TTestReport {
    TStoreReport()
    {
        Page()->SetPaperSize(DMPAPER_A4);
        Page()->OutlineText = "'Лист'";
        auto* master = Band<TrpMasterData>(20, 40);
        master->SetName("Master");
        master->SetDataSet(DataSet("Data", NumberedRows(60)));
        master->OutlineText = "<Data.\"Name\">";
        Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        EXPECT_TRUE(Prepare()) << Errors();
    }
};

// A designer for prepared pages: a test edits the page it is given while it is shown.
class TPageDesigner : public TrpCustomDesigner {
    SKLAD_CLASS_NOPUBLISH(TPageDesigner, TrpCustomDesigner)
public:
    TPageDesigner(TComponent* AOwner, TrpReport* AReport, bool APreview) : TrpCustomDesigner(AOwner, AReport, APreview)
    {
        SetName("PageDesigner");
    }
    TStrings* GetCode() override { return nullptr; }
    void InsertExpression(const AnsiString&) override {}
    void Lock() override {}
    void ReloadPages(int) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override {}
    void UpdatePage() override {}
};
SKLAD_DEFINE_CLASS(TPageDesigner)

class PreviewStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EngineStartup();
        rpInstallOutputFactories();
        rpInstallPreviewWindows();
        rpFreePrinters();
        report = std::make_unique<TStoreReport>();
        file = (std::filesystem::temp_directory_path() / ("sklad-preview-" + std::to_string(::getpid()) + ".rpf"))
                   .string();
    }
    void TearDown() override
    {
        report.reset();
        rpSetPreviewFormFactory(nullptr);
        rpSetProgressFactory(nullptr);
        rpSetPasswordQuery(nullptr);
        rpSetPreviewNavigator(nullptr);
        rpFreePrinters();
        std::filesystem::remove(file);
    }
    void Show(const std::function<void(TrpPreviewForm&)>& Script)
    {
        d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            Script(*f);
            if (d.IsShowing(f))
                d.Click(f->CancelB);
        });
        d.Run([&] { report->Report()->ShowPreparedReport(); });
    }

    TTestDriver d;
    TRecordingPrinterSystem printers{{{"Office"}}, "Office"};
    TPrinterSystemScope use{printers};
    std::unique_ptr<TStoreReport> report;
    std::string file;
};

TEST_F(PreviewStoreTest, SaveAndOpenAnRpfFile)
{
    const int count = report->Pages()->GetCount();
    ASSERT_GE(count, 3);
    Show([&](TrpPreviewForm& f) {
        EXPECT_EQ(f.StatusBar->GetPanels()->Items(0)->GetText(), "Страница 1 из " + IntToStr(count));
        d.AnswerFileDialog(PathFromSystem(file));
        d.Click(f.SaveB);
        ASSERT_TRUE(std::filesystem::exists(file));
        // Emptied, then opened again from the file.
        f.Preview->Clear();
        EXPECT_EQ(f.Preview->GetPageCount(), 0);
        d.AnswerFileDialog(PathFromSystem(file));
        d.Click(f.OpenB);
        EXPECT_EQ(f.Preview->GetPageCount(), count);
        EXPECT_EQ(f.Preview->Workspace->PageList().Count(), count);
        EXPECT_EQ(f.Preview->GetPageNo(), 1);
        EXPECT_GT(f.Preview->OutlineTree->GetItems()->Count(), 0) << "the outline comes with the file";
    });
}

TEST_F(PreviewStoreTest, ADamagedFileLeavesThePagesShown)
{
    struct Case {
        const char* why;
        std::string content;
    };
    TMemoryStream whole;
    report->Pages()->SaveToStream(whole);
    const std::string saved = whole.DataString();
    const Case cases[] = {
        {"cut short after its pages, before the template pages they need", saved.substr(0, saved.find("<sourcepages>"))},
        {"cut short before its last closing tag", saved.substr(0, saved.rfind("</preparedreport>"))},
        {"not XML at all", "PK\x03\x04 this is a zip"},
        {"cut off inside an attribute",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport><previewpages><page0><m1 l=\"1"},
        {"another kind of XML", "<?xml version=\"1.0\"?><report/>"},
    };
    const int count = report->Pages()->GetCount();
    Show([&](TrpPreviewForm& f) {
        const int outline = f.Preview->OutlineTree->GetItems()->Count();
        f.Preview->SetPageNo(2);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            {
                std::ofstream out(file, std::ios::binary | std::ios::trunc);
                out << c.content;
            }
            d.AnswerFileDialog(PathFromSystem(file));
            d.Click(f.OpenB);
            EXPECT_EQ(d.TakeErrors().size(), 1u) << "the error is shown";
            EXPECT_EQ(f.Preview->GetPageCount(), count);
            EXPECT_EQ(f.Preview->Workspace->PageList().Count(), count);
            EXPECT_EQ(f.Preview->GetPageNo(), 2);
            EXPECT_EQ(f.Preview->OutlineTree->GetItems()->Count(), outline);
            EXPECT_FALSE(f.Preview->GetLocked());
            EXPECT_EQ(f.StatusBar->GetPanels()->Items(0)->GetText(), "Страница 2 из " + IntToStr(count));
        }
        // The pages are still whole: they save and open again.
        d.AnswerFileDialog(PathFromSystem(file));
        d.Click(f.SaveB);
        f.Preview->Clear();
        d.AnswerFileDialog(PathFromSystem(file));
        d.Click(f.OpenB);
        EXPECT_EQ(f.Preview->GetPageCount(), count);
    });
}

// A refused file tells only its refusal: the pages put back on show were told about when
// they were opened (here a page whose template page the file lacks), not again per refusal.
TEST_F(PreviewStoreTest, ARefusedFileDoesNotRetellThePagesShown)
{
    TMemoryStream whole;
    report->Pages()->SaveToStream(whole);
    const std::string saved = whole.DataString();
    std::string orphan = saved;
    orphan.insert(orphan.find("</previewpages>"), "<page7><b1 t=\"0\"/></page7>");
    const int count = report->Pages()->GetCount();
    std::vector<AnsiString> boxes;
    rpSetErrorMsgProc([&](const AnsiString& Text, const AnsiString&) { boxes.push_back(Text); });
    const auto open = [&](TrpPreviewForm& f, const std::string& content) {
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << content;
        }
        boxes.clear();
        d.AnswerFileDialog(PathFromSystem(file));
        d.Click(f.OpenB);
    };
    Show([&](TrpPreviewForm& f) {
        report->Report()->GetEngineOptions()->SilentMode = false;
        open(f, orphan);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find("Prepared page " + IntToStr(count + 1)), AnsiString::npos) << boxes[0];
        for (const std::string& refused : {saved.substr(0, saved.size() / 2), std::string("<?xml version=\"1.0\"?><report/>")}) {
            open(f, refused);
            EXPECT_EQ(d.TakeErrors().size(), 1u) << "the refusal";
            EXPECT_TRUE(boxes.empty()) << boxes.front();
            EXPECT_EQ(f.Preview->GetPageCount(), count + 1);
            EXPECT_FALSE(report->Report()->GetEngineOptions()->SilentMode);
        }
    });
    rpSetErrorMsgProc(nullptr);
}

TEST_F(PreviewStoreTest, FindAndOutlineOnPreparedPages)
{
    Show([&](TrpPreviewForm& f) {
        d.ExpectModal("TrpSearchDialog", [&] {
            auto* dialog = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
            d.Type(dialog->TextE, "item 55");
            d.Tick(dialog->TopCB);
            d.Click(dialog->OkB);
        });
        d.Click(f.FindB);
        ASSERT_TRUE(rpFindState().TextFound);
        TrpPreviewWorkspace* w = f.Preview->Workspace;
        EXPECT_EQ(w->SearchPage, 2) << "rows 53 to 60 are on the third page";
        // The hit is scrolled into view, 20 pixels above the bottom edge.
        const TRect page = w->GetPageBounds(2);
        const TRect hit = rpFindState().FoundRect;
        EXPECT_GE(page.Top + hit.Top, w->OffsetY);
        EXPECT_EQ(page.Top + hit.Bottom, w->OffsetY + w->GetClientHeight() - 20);

        d.Click(f.OutlineB);
        TTreeNodes* nodes = f.Preview->OutlineTree->GetItems();
        ASSERT_GT(nodes->Count(), 0);
        TTreeNode* item30 = nullptr;
        for (TTreeNode* n : nodes->List())
            if (n->GetText() == "Item 30")
                item30 = n;
        ASSERT_NE(item30, nullptr);
        d.ChooseNode(f.Preview->OutlineTree, item30);
        EXPECT_EQ(f.Preview->GetPageNo(), 2);
    });
}

TEST_F(PreviewStoreTest, PrintButtonPrintsThroughTheDialog)
{
    report->Report()->GetPrintOptions()->ShowDialog = true;
    Show([&](TrpPreviewForm& f) {
        d.Click(f.NextB);
        d.ExpectModal("TrpPrintDialog", [&] {
            auto* dialog = dynamic_cast<TrpPrintDialog*>(Screen->ModalForm());
            ASSERT_NE(dialog, nullptr);
            d.Choose(dialog->CurPageRB);
            d.Click(dialog->OkB);
        });
        d.Click(f.PrintB);
        EXPECT_EQ(f.Preview->GetPageNo(), 2) << "printing keeps the page the user was on";
        EXPECT_FALSE(f.Preview->GetLocked());
    });
    ASSERT_EQ(printers.Spool().Documents.size(), 1u);
    EXPECT_EQ(printers.Spool().Documents[0].Pages.size(), 1u) << "the current page only";
}

// The fitting zoom buttons fit the page again whenever the user resizes the window; a
// window too small to show any of the page keeps the zoom it had instead of a negative one.
TEST_F(PreviewStoreTest, FittedZoomFollowsTheWindowsSize)
{
    struct Case {
        const char* why;
        int width, height;
    };
    const Case sizes[] = {
        {"a large window", 1000, 800},
        {"a smaller one", 640, 480},
        {"narrower than the gaps round the page", 40, 480},
        {"lower than the gaps round the page", 640, 60},
        {"no room either way", 30, 60},
    };
    Show([&](TrpPreviewForm& f) {
        f.SetWindowState(wsNormal);
        for (TToolButton* button : {f.ZoomWholePageB, f.ZoomPageWidthB}) {
            const bool wholePage = button == f.ZoomWholePageB;
            SCOPED_TRACE(wholePage ? "whole page" : "page width");
            d.Click(button);
            for (const Case& c : sizes) {
                SCOPED_TRACE(c.why);
                const Extended before = f.Preview->GetZoom();
                ASSERT_TRUE(f.UserResized(c.width, c.height));
                TrpPreviewWorkspace* w = f.Preview->Workspace;
                const int room = wholePage ? w->GetClientHeight() - 20 : w->GetClientWidth() - 20;
                const Extended fitted = Extended(room) / (wholePage ? 1123 : 794);
                if (room > 0)
                    EXPECT_DOUBLE_EQ(double(f.Preview->GetZoom()), double(fitted)) << "fitted to the new size";
                else
                    EXPECT_EQ(f.Preview->GetZoom(), before) << "no room: the zoom it had";
                EXPECT_GT(f.Preview->GetZoom(), 0);
                EXPECT_EQ(f.ZoomCB->GetText().find('-'), AnsiString::npos) << f.ZoomCB->GetText();
            }
        }
    });
}

// A zoom typed into the zoom box has no upper bound of its own, but the pages are never
// laid out past what the surface's coordinates hold: no negative ranges, no overflow.
TEST_F(PreviewStoreTest, AHugeTypedZoomStaysWithinTheSurfacesCoordinates)
{
    struct Case {
        const char* typed;
        Extended zoom;  // 0: held at the largest zoom the layout allows
    };
    const Case cases[] = {
        {"100000", 1000},
        {"1e12", 0},
        {"1e300", 0},
        {"100", 1},
    };
    Show([&](TrpPreviewForm& f) {
        TrpPreview* p = f.Preview;
        TrpPreviewWorkspace* w = p->Workspace;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            f.ZoomCB->UserFocused();
            d.Type(f.ZoomCB, c.typed);
            d.Press(f.ZoomCB, "\r");
            EXPECT_TRUE(d.TakeErrors().empty());
            if (c.zoom > 0)
                EXPECT_EQ(p->GetZoom(), c.zoom);
            else
                EXPECT_GT(p->GetZoom(), 1000);
            EXPECT_GT(w->GetVertRange(), w->GetPageBounds(p->GetPageCount() - 1).Bottom);
            EXPECT_GT(w->GetHorzRange(), 0);
            EXPECT_EQ(f.ZoomCB->GetText().find('-'), AnsiString::npos) << f.ZoomCB->GetText();
            // Scrolled to the far end and painted there.
            d.Key(p, VK_END);
            EXPECT_EQ(p->GetPageNo(), p->GetPageCount());
            EXPECT_GE(w->GetVertPosition(), 0);
            d.Key(p, VK_HOME);
        }
    });
}

// A huge zoom holds while a build adds pages to the open window: each page that would take
// the layout past the surface's coordinates brings the zoom down as it comes, so the
// ranges and page positions never overflow on the way, whether the zoom came with the
// report's options or was typed into the box while the build ran.
TEST_F(PreviewStoreTest, AHugeZoomComesDownAsABuildAddsPages)
{
    struct Case {
        const char* why;
        Extended optionZoom;
        const char* typedAtPage3;
    };
    const Case cases[] = {
        {"the report's preview options", 1e12, nullptr},
        {"typed into the zoom box during the build", 1, "1e12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* rows = t.Band<TrpMasterData>(10, 150);
        rows->SetDataSet(t.DataSet("Data", NumberedRows(60)));
        t.Memo(rows, 0, 0, 100, 20, "[Data.\"N\"]");
        t.Report()->GetPreviewOptions()->Zoom = c.optionZoom;
        int progress = 0;
        AnsiString overflows;
        t.Report()->OnProgress = TrpProgressEvent::Lambda([&](TrpReport* r, TrpProgressType, int page) {
            auto* f = dynamic_cast<TrpPreviewForm*>(r->PreviewForm());
            if (!f)
                return;
            ++progress;
            if (c.typedAtPage3 && page == 3) {
                f->ZoomCB->UserFocused();
                d.Type(f->ZoomCB, c.typedAtPage3);
                d.Press(f->ZoomCB, "\r");
            }
            TrpPreview* p = f->Preview;
            TrpPreviewWorkspace* w = p->Workspace;
            const int laidOut = w->PageList().Count();
            if (laidOut > 0 && (w->GetVertRange() < 0 || w->GetHorzRange() < 0 ||
                                w->GetPageBounds(laidOut - 1).Bottom <= w->GetPageBounds(0).Top))
                overflows += " " + IntToStr(page);
        });
        d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            d.AdvanceTime(60);
            TrpPreview* p = f->Preview;
            TrpPreviewWorkspace* w = p->Workspace;
            EXPECT_EQ(p->GetPageCount(), 60);
            EXPECT_GT(p->GetZoom(), 1000) << "as large as the pages allow";
            EXPECT_GT(w->GetVertRange(), w->GetPageBounds(59).Bottom);
            EXPECT_TRUE(d.TakeErrors().empty());
            d.Click(f->CancelB);
        });
        d.Run([&] { t.Report()->ShowReport(); });
        EXPECT_EQ(progress, 60);
        EXPECT_EQ(overflows, "") << "pages whose build saw the ranges overflow";
    }
}

// A file printer listed after the office queue (as a desktop's PDF printer is): printing
// to it asks for the file name with the save dialog; cancelling it prints nothing.
TEST_F(PreviewStoreTest, APdfPrinterAsksWhereToWrite)
{
    TRecordingPrinterSpec pdf("Печать в PDF");
    pdf.WritesFiles = true;
    TRecordingPrinterSystem system{{{"Office"}, pdf}, "Office"};
    TPrinterSystemScope usePdf{system};
    rpFreePrinters();
    EXPECT_EQ(rpPrinters().GetCurrentPrinter()->Name, "Office") << "the system's default stays the default";
    rpPrinters().SetPrinterIndex(rpPrinters().IndexOf("Печать в PDF"));
    const std::string base = file.substr(0, file.size() - 4);
    Show([&](TrpPreviewForm& f) {
        d.CancelFileDialog();
        d.Click(f.PrintB);
        EXPECT_TRUE(system.Spool().Documents.empty()) << "cancelling the save dialog prints nothing";
        d.AnswerFileDialog(PathFromSystem(base + ".txt"));
        d.Click(f.PrintB);
        ASSERT_EQ(d.FileDialogs().size(), 2u);
        EXPECT_EQ(d.FileDialogs()[1].Kind, TFileDialogKind::Save);
        EXPECT_EQ(d.FileDialogs()[1].Filter, "PDF (*.pdf)|*.pdf");
        EXPECT_TRUE(d.TakeErrors().empty());
    });
    ASSERT_EQ(system.Spool().Documents.size(), 1u);
    EXPECT_EQ(system.Spool().Documents[0].FileName, PathFromSystem(base + ".txt.pdf"));
    EXPECT_EQ(system.Spool().Documents[0].Pages.size(), size_t(report->Pages()->GetCount()));
    EXPECT_EQ(rpPrinters().GetCurrentPrinter()->FileName, "") << "the next print command asks again";
}

}  // namespace

// The tool bar shows its controls in the window's order, side by side with neither overlaps
// nor gaps, whichever groups the preview options leave out.
TEST_F(PreviewStoreTest, ToolBarKeepsItsOrder)
{
    const std::vector<AnsiString> everything = {
        "PrintB", "OpenB", "SaveB", "ExportB", "FindB", "Sep1", "ZoomWholePageB", "ZoomPageWidthB", "Zoom100B",
        "Zoom50B", "Sep3", "Sep2", "PageSettingsB", "OutlineB", "Sep5", "HandToolB", "ZoomToolB", "Sep7",
        "NewPageB", "DelPageB", "DesignerB", "Sep6", "FirstB", "PriorB", "Sep4", "NextB", "LastB", "frTBPanel1",
        "CancelB"};
    struct Case {
        const char* why;
        std::vector<TrpPreviewButton> buttons;
    };
    const Case cases[] = {
        {"every group", {pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit,
                         pbNavigator}},
        {"a few groups", {pbSave, pbOutline, pbTools, pbNavigator}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpPreviewButtons set;
        for (TrpPreviewButton b : c.buttons)
            set.Include(b);
        report->Report()->GetPreviewOptions()->Buttons = set;
        Show([&](TrpPreviewForm& f) {
            std::vector<AnsiString> expected;
            for (const AnsiString& name : everything)
                if (auto* control = dynamic_cast<TControl*>(f.FindComponent(name)); control && control->GetVisible())
                    expected.push_back(name);
            std::vector<TControl*> shown;
            for (TControl* control : f.ToolBar->ControlList())
                if (control->GetVisible())
                    shown.push_back(control);
            std::stable_sort(shown.begin(), shown.end(),
                             [](TControl* a, TControl* b) { return a->GetLeft() < b->GetLeft(); });
            std::vector<AnsiString> order;
            for (size_t i = 0; i < shown.size(); ++i) {
                order.push_back(shown[i]->Name());
                if (i > 0)
                    EXPECT_EQ(shown[i]->GetLeft(), shown[i - 1]->GetLeft() + shown[i - 1]->GetWidth())
                        << shown[i]->Name() << " does not follow " << shown[i - 1]->Name();
            }
            EXPECT_EQ(order, expected);
        });
    }
}

// Links on prepared pages clicked in the preview: "@" and a page number shows that page,
// "#" and an anchor's text scrolls to the anchor, anything else goes to the shell.
// In the two-page view the pointer reaches the object under it on the left page as on the
// right: the link's hand shows over it, and a click opens it and reaches the report.
TEST_F(PreviewStoreTest, TwoPagesSideBySideBothAnswerThePointer)
{
    TrpPreviewPages* pages = report->Pages();
    ASSERT_GE(pages->GetCount(), 3);
    std::vector<AnsiString> clicked;
    report->Report()->OnClickObject = TrpClickObjectEvent::Lambda(
        [&](TrpView* view, TMouseButton, TShiftState, bool&) {
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(view))
                clicked.push_back(TrimRight(m->GetText()));
        },
        nullptr);
    // The first row of each page, where the pointer goes, and what it shows.
    struct Row {
        int Page;
        Extended Left, Top;
        AnsiString Text;
    };
    std::vector<Row> rows;
    for (int i = 0; i < 3; ++i) {
        TrpReportPage* page = pages->GetPage(i);
        for (TrpComponent* c : page->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c)) {
                rows.push_back({i, page->LeftMargin * 3.77953 + m->GetAbsLeft() + 50,
                                page->TopMargin * 3.77953 + m->GetAbsTop() + 10, TrimRight(m->GetText())});
                break;
            }
    }
    ASSERT_EQ(rows.size(), 3u);
    for (TrpComponent* c : dynamic_cast<TrpBand*>(report->Report()->FindObject("Master"))->Objects())
        dynamic_cast<TrpView*>(c)->URL = "http://example.invalid/";
    ASSERT_TRUE(report->Prepare());
    Show([&](TrpPreviewForm& f) {
        d.Click(f.Zoom50B);
        TrpPreview* preview = f.Preview;
        TrpPreviewWorkspace* w = preview->Workspace;
        ASSERT_EQ(preview->GetZoomMode(), zmManyPages);
        ASSERT_EQ(w->GetPageBounds(0).Top, w->GetPageBounds(1).Top) << "the first two pages share a row";
        for (const Row& row : rows) {
            SCOPED_TRACE(row.Text);
            w->SetVertPosition(w->GetPageBounds(row.Page).Top - 10);
            const TRect r = w->GetPageBounds(row.Page);
            const Extended zoom = preview->GetZoom();
            const TPoint at = w->Surface->ClientToScreen(
                TPoint{r.Left - w->OffsetX + rpDevRound(row.Left * zoom), r.Top - w->OffsetY + rpDevRound(row.Top * zoom)});
            d.PointerMove(at);
            EXPECT_EQ(w->Surface->GetCursor(), crHandPoint) << "page " << row.Page + 1;
            clicked.clear();
            d.PointerDown(at);
            d.PointerUp(at);
            EXPECT_EQ(clicked, std::vector<AnsiString>{row.Text}) << "page " << row.Page + 1;
        }
        EXPECT_EQ(d.ShellCalls().size(), 3u);
    });
}

// The edit button hands the page shown to the designer as a page of its own: its objects
// lifted out of their bands onto the page at their places, bound to no data. What the
// designer changes lands on that prepared page only; the template and the other pages stay.
TEST_F(PreviewStoreTest, EditingAPageInTheDesignerChangesThatPageOnly)
{
    TrpPreviewPages* pages = report->Pages();
    const int count = pages->GetCount();
    ASSERT_GE(count, 3);
    const std::vector<AnsiString> second = PageTexts(pages, 1), third = PageTexts(pages, 2);
    ASSERT_FALSE(second.empty());
    TrpMemoView* templateMemo = nullptr;
    for (TrpComponent* c : dynamic_cast<TrpBand*>(report->Report()->FindObject("Master"))->Objects())
        templateMemo = dynamic_cast<TrpMemoView*>(c);
    ASSERT_NE(templateMemo, nullptr);
    const AnsiString templateText = templateMemo->GetText();
    // Where the first row of the second page was printed, from the page's top left.
    Extended firstLeft = 0, firstTop = 0;
    for (TrpComponent* c : pages->GetPage(1)->GetAllObjects())
        if (dynamic_cast<TrpCustomMemoView*>(c)) {
            firstLeft = c->GetAbsLeft();
            firstTop = c->GetAbsTop();
            break;
        }
    rpRegisterDesignerClass<TPageDesigner>();
    struct TUnregister {
        ~TUnregister() { rpSetDesignerClass(nullptr, nullptr); }
    } unregister;
    for (bool change : {false, true}) {
        SCOPED_TRACE(change ? "changed in the designer" : "closed unchanged");
        int shown = 0;
        d.ExpectModal("PageDesigner", [&] {
            ++shown;
            TrpCustomDesigner* designer = report->Report()->Designer;
            ASSERT_EQ(designer, nullptr) << "the template itself is not in the designer";
            auto* form = dynamic_cast<TrpCustomDesigner*>(Screen->ModalForm());
            ASSERT_NE(form, nullptr);
            ASSERT_NE(form->Report, report->Report());
            EXPECT_TRUE(form->IsPreviewDesigner);
            ASSERT_EQ(form->Report->GetPagesCount(), 1);
            TrpPage* page = form->Report->GetPages(0);
            std::vector<TrpMemoView*> memos;
            for (TrpComponent* c : page->GetAllObjects()) {
                EXPECT_EQ(dynamic_cast<TrpBand*>(c), nullptr) << "no bands";
                EXPECT_EQ(c->Parent(), page);
                if (auto* m = dynamic_cast<TrpMemoView*>(c)) {
                    EXPECT_EQ(m->GetDataSet(), nullptr);
                    memos.push_back(m);
                }
            }
            ASSERT_EQ(memos.size(), second.size());
            EXPECT_EQ(TrimRight(memos[0]->GetText()), second[0]);
            EXPECT_NEAR(double(memos[0]->GetLeft()), double(firstLeft), 1e-6);
            EXPECT_NEAR(double(memos[0]->GetTop()), double(firstTop), 1e-6);
            if (change) {
                memos[0]->SetText("Edited");
                form->SetModified(true);
            }
            d.CloseForm(form);
        });
        Show([&](TrpPreviewForm& f) {
            d.Click(f.NextB);
            ASSERT_EQ(f.Preview->GetPageNo(), 2);
            d.Click(f.DesignerB);
            EXPECT_EQ(f.Preview->GetPageNo(), 2) << "the page edited stays in view";
        });
        EXPECT_EQ(shown, 1);
        ASSERT_EQ(pages->GetCount(), count);
        std::vector<AnsiString> want = second;
        if (change)
            want[0] = "Edited";
        EXPECT_EQ(PageTexts(pages, 1), want);
        EXPECT_EQ(PageTexts(pages, 2), third);
        EXPECT_EQ(templateMemo->GetText(), templateText);
    }
}

TEST_F(PreviewStoreTest, ClickedLinksGoToTheirPageOrAnchor)
{
    report = std::make_unique<TStoreReport>();
    TTestReport& t = *report;
    t.Report()->ScriptLanguage = "PascalScript";
    t.Report()->GetScriptText()->SetText(
        "procedure RowEvent;\nbegin\n  Engine.AddAnchor(<Data.\"Name\">);\nend;\nbegin end.");
    dynamic_cast<TrpBand*>(t.Report()->FindObject("Master"))->OnBeforePrint = "RowEvent";
    auto* title = t.Band<TrpReportTitle>(0, 20);
    struct Link {
        const char* url;
        int left;
    };
    const Link kLinks[] = {{"@3", 0}, {"#item 55", 100}, {"#Item 2", 200}, {"http://example.invalid/", 300}};
    for (const Link& l : kLinks)
        t.Memo(title, l.left, 0, 90, 20, "link")->URL = l.url;
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TrpPreviewPages* pages = t.Pages();
    // The anchor's top on its page, as the store keeps it.
    auto anchorTop = [&](const AnsiString& text) {
        TrpXMLItem* a = pages->FindAnchor(text);
        return a ? StrToIntDef(a->Prop("top"), -1) : -1;
    };
    const int top55 = anchorTop("Item 55");
    ASSERT_GT(top55, 0);
    Show([&](TrpPreviewForm& f) {
        TrpPreview* preview = f.Preview;
        TrpPreviewWorkspace* w = preview->Workspace;
        TrpReportPage* first = pages->GetPage(0);
        const Extended zoom = preview->GetZoom();
        auto click = [&](int left) {
            // The link's middle on the first page, scrolled back to the top.
            w->SetVertPosition(0);
            const TRect r = w->GetPageBounds(0);
            const int x = r.Left - w->OffsetX + rpDevRound((first->LeftMargin * 3.77953 + left + 45) * zoom);
            const int y = r.Top - w->OffsetY + rpDevRound((first->TopMargin * 3.77953 + 10) * zoom);
            const TPoint at = w->Surface->ClientToScreen(TPoint{x, y});
            d.PointerDown(at);
            d.PointerUp(at);
        };
        click(0);
        EXPECT_EQ(preview->GetPageNo(), 3) << "@3 shows the third page";
        click(100);
        const TRect third = w->GetPageBounds(2);
        EXPECT_GT(w->OffsetY, third.Top) << "#item 55 scrolls into the third page";
        EXPECT_LT(w->OffsetY, third.Bottom);
        click(200);
        EXPECT_LT(w->OffsetY, w->GetPageBounds(0).Bottom) << "#Item 2 stays on the first page";
        EXPECT_GT(w->OffsetY, 0);
        click(300);
        ASSERT_EQ(d.ShellCalls().size(), 1u);
        EXPECT_EQ(d.ShellCalls()[0].File, "http://example.invalid/");
    });
}

// A long report kept partly in the swap file (one megabyte in memory): walking through it
// in the preview and back reads pages back, and those count in the memory kept, which
// stays within the limit but for the page shown.
TEST_F(PreviewStoreTest, PagesReadBackCountInTheMemoryKept)
{
    auto build = [](TTestReport& t, bool fileCache) {
        t.Page()->SetPaperSize(DMPAPER_A4);
        t.Report()->GetEngineOptions()->UseFileCache = fileCache;
        t.Report()->GetEngineOptions()->MaxMemSize = 1;
        auto* rows = t.Band<TrpMasterData>(20, 20);
        rows->SetDataSet(t.DataSet("Data", NumberedRows(4000)));
        for (int i = 0; i < 4; ++i)
            t.Memo(rows, i * 180, 0, 170, 20, "[Data.\"Name\"] " + AnsiString(150, 'x'));
        ASSERT_TRUE(t.Prepare()) << t.Errors();
    };
    TTestReport whole;
    build(whole, false);
    TrpPreviewPages* all = whole.Pages();
    const int64_t onePage = all->HeldMemory() / all->GetCount() * 3 / 2;
    const int64_t limit = 1 << 20;
    ASSERT_GT(all->HeldMemory(), 4 * limit) << "the report is to be larger than the memory kept";

    TTestReport t;
    build(t, true);
    TrpPreviewPages* pages = t.Pages();
    EXPECT_EQ(pages->MemoryUsed, pages->HeldMemory());
    int steps = 0;
    d.ExpectModal("TrpPreviewForm", [&] {
        auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
        ASSERT_NE(f, nullptr);
        TrpPreview* p = f->Preview;
        const int count = p->GetPageCount();
        ASSERT_EQ(count, all->GetCount());
        auto step = [&](const char* way) {
            TRecordingCanvas c;
            p->Workspace->Paint(c.Canvas);
            const int64_t held = pages->HeldMemory();
            EXPECT_EQ(pages->MemoryUsed, held) << way << " at page " << p->GetPageNo();
            EXPECT_LE(held, limit + onePage) << way << " at page " << p->GetPageNo();
            ++steps;
        };
        for (p->First(); p->GetPageNo() < count; p->Next())
            step("forth");
        for (; p->GetPageNo() > 1; p->Prior())
            step("back");
        for (int i = 0; i < 3; ++i) {
            p->Last();
            step("to the last");
            p->First();
            step("to the first");
        }
        d.Click(f->CancelB);
    });
    d.Run([&] { t.Report()->ShowPreparedReport(); });
    EXPECT_GT(steps, 2 * all->GetCount() - 2);
}

// Pages added, deleted or edited in the preview of a long report kept partly in the swap
// file: the memory counted stays what is held, and every page shows its own rows.
TEST_F(PreviewStoreTest, PagesAddedOrDeletedKeepTheMemoryCounted)
{
    const struct {
        const char* why;
        std::function<void(TrpPreview*)> change;
        int shift;  // where the old pages stand now, past the change
    } cases[] = {
        {"a page added", [](TrpPreview* p) { p->AddPage(); }, 1},
        {"a page deleted", [](TrpPreview* p) { p->DeletePage(); }, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->SetPaperSize(DMPAPER_A4);
        t.Report()->GetEngineOptions()->UseFileCache = true;
        t.Report()->GetEngineOptions()->MaxMemSize = 1;
        auto* rows = t.Band<TrpMasterData>(20, 20);
        rows->SetDataSet(t.DataSet("Data", NumberedRows(4000)));
        for (int i = 0; i < 4; ++i)
            t.Memo(rows, i * 180, 0, 170, 20, "[Data.\"Name\"] " + AnsiString(150, 'x'));
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        TrpPreviewPages* pages = t.Pages();
        const int64_t onePage = pages->HeldMemory() / 2;  // the two first pages never go out
        std::vector<AnsiString> firsts;  // the first text of each page as made
        for (int i = 0; i < pages->GetCount(); ++i)
            firsts.push_back(PageTexts(pages, i).at(0));
        d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            TrpPreview* p = f->Preview;
            TRecordingCanvas canvas;
            // Pages far on are read back, then the change is made on the third page.
            for (p->Last(); p->GetPageNo() > 3; p->Prior())
                p->Workspace->Paint(canvas.Canvas);
            c.change(p);
            EXPECT_EQ(pages->MemoryUsed, pages->HeldMemory()) << "after the change";
            for (p->First(); p->GetPageNo() < p->GetPageCount(); p->Next()) {
                p->Workspace->Paint(canvas.Canvas);
                EXPECT_EQ(pages->MemoryUsed, pages->HeldMemory()) << "at page " << p->GetPageNo();
                EXPECT_LE(pages->HeldMemory(), (1 << 20) + onePage) << "at page " << p->GetPageNo();
            }
            d.Click(f->CancelB);
        });
        d.Run([&] { t.Report()->ShowPreparedReport(); });
        ASSERT_EQ(pages->GetCount(), static_cast<int>(firsts.size()) + c.shift);
        for (int i = 4; i < pages->GetCount(); ++i)
            EXPECT_EQ(PageTexts(pages, i).at(0), firsts[i - c.shift]) << "page " << i + 1;
    }
}
