// Printing prepared pages on the recording printer backend: which pages in which order,
// copies by us or by the driver, bins and duplex per page, the scale at the printer's
// resolution, Cancel, and the print options and dialog around it.
#include "report/output/tests/EngineTestSupport.h"

#include "report/output/rpPrinter.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/printers/PrinterConsts.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/rtl/SysUtils.h"

namespace {

class PagesPrintTest : public ::testing::Test {
protected:
    void SetUp() override { rpFreePrinters(); }
    void TearDown() override { rpFreePrinters(); }

    // Five pages, each with one line "P<row>" (a row a page).
    struct TFive : TTestReport {
        TFive()
        {
            auto* band = Band<TrpMasterData>(0, 150);
            band->SetRowCount(5);
            Memo(band, 0, 0, 100, 20, "P[Line]");
            Page()->Bin = 4;
            Page()->BinOtherPages = 2;
            Page()->Duplex = dmVertical;
            EXPECT_TRUE(Prepare()) << Errors();
        }
    };

    // The pages of the spooled document by the text each shows, with the driver copies.
    static std::vector<AnsiString> Printed(const TRecordedDocument& Doc)
    {
        std::vector<AnsiString> out;
        for (const TRecordedPage& p : Doc.Pages) {
            AnsiString label;
            for (const TDrawRecord& r : p.Records)
                if (r.Op == TDrawOp::Text)
                    label += r.Text;
            out.push_back(label + "x" + IntToStr(p.Setup.Copies));
        }
        return out;
    }

    TRecordingPrinterSystem FSystem{{TRecordingPrinterSpec("Office"), TRecordingPrinterSpec("Lab")}, "Office"};
    TPrinterSystemScope FScope{FSystem};
};

TEST_F(PagesPrintTest, WhichPagesInWhichOrder)
{
    struct Case {
        const char* why;
        TrpPrintSettings settings;
        std::vector<AnsiString> expected;
    };
    auto s = [](int copies, bool collate, const char* numbers, TrpPrintPages which, bool reverse) {
        TrpPrintSettings r;
        r.Copies = copies;
        r.Collate = collate;
        r.PageNumbers = numbers;
        r.PrintPages = which;
        r.Reverse = reverse;
        return r;
    };
    const Case cases[] = {
        {"all pages once", s(1, true, "", ppAll, false), {"P1x1", "P2x1", "P3x1", "P4x1", "P5x1"}},
        {"page 2 and 4 to 5, reversed", s(1, true, "2,4-5", ppAll, true), {"P5x1", "P4x1", "P2x1"}},
        {"even pages", s(1, true, "", ppEven, false), {"P2x1", "P4x1"}},
        {"even pages of 1-3", s(1, true, "1-3", ppEven, false), {"P2x1"}},
        {"odd pages", s(1, true, "", ppOdd, false), {"P1x1", "P3x1", "P5x1"}},
        {"three collated copies in one job", s(3, true, "1-2", ppAll, false),
         {"P1x1", "P2x1", "P1x1", "P2x1", "P1x1", "P2x1"}},
        {"three copies by the driver", s(3, false, "1-2", ppAll, false), {"P1x3", "P2x3"}},
        {"copies 0 prints one", s(0, true, "1", ppAll, false), {"P1x1"}},
        {"a range written past the last page runs to it", s(1, true, "4-999999", ppAll, false), {"P4x1", "P5x1"}},
        {"pages chosen out of order print in the report's order", s(1, true, "5,1-3", ppAll, false),
         {"P1x1", "P2x1", "P3x1", "P5x1"}},
        {"a page chosen twice prints once", s(1, true, "3,1,3,1-1", ppAll, false), {"P1x1", "P3x1"}},
    };
    TFive t;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FSystem.Spool().Documents.clear();
        t.Pages()->PrintTo(*rpPrinters().GetCurrentPrinter(), c.settings);
        ASSERT_EQ(FSystem.Spool().Documents.size(), 1u);
        EXPECT_EQ(Printed(FSystem.Spool().Documents[0]), c.expected);
        EXPECT_TRUE(FSystem.Spool().Documents[0].Ended);
    }
}

// A file keeps no driver copies: whether the copies are collated or not, the file holds
// all of them, uncollated ones page by page.
TEST_F(PagesPrintTest, CopiesGoIntoAFileWhetherCollatedOrNot)
{
    struct Case {
        const char* why;
        const char* printer;
        const char* fileName;
        int copies;
        bool collate;
        std::vector<AnsiString> expected;
    };
    const Case cases[] = {
        {"a file printer, uncollated", "File", "out.pdf", 3, false, {"P1x1", "P1x1", "P1x1", "P2x1", "P2x1", "P2x1"}},
        {"a file printer, collated", "File", "out.pdf", 3, true, {"P1x1", "P2x1", "P1x1", "P2x1", "P1x1", "P2x1"}},
        {"a file printer, copies 0", "File", "out.pdf", 0, false, {"P1x1", "P2x1"}},
        {"a printer printing to a file, uncollated", "Office", "out.prn", 2, false, {"P1x1", "P1x1", "P2x1", "P2x1"}},
        {"a printer, uncollated: the driver's copies", "Office", "", 2, false, {"P1x2", "P2x2"}},
    };
    TRecordingPrinterSpec file("File");
    file.WritesFiles = true;
    TRecordingPrinterSystem system{{TRecordingPrinterSpec("Office"), file}, "Office"};
    TPrinterSystemScope scope{system};
    rpFreePrinters();
    {
        TFive t;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            system.Spool().Documents.clear();
            rpPrinters().SetPrinterIndex(rpPrinters().IndexOf(c.printer));
            TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
            printer->FileName = c.fileName;
            TrpPrintSettings s;
            s.Copies = c.copies;
            s.Collate = c.collate;
            s.PageNumbers = "1-2";
            t.Pages()->PrintTo(*printer, s);
            printer->FileName.clear();
            ASSERT_EQ(system.Spool().Documents.size(), 1u);
            EXPECT_EQ(Printed(system.Spool().Documents[0]), c.expected);
        }
    }
    rpFreePrinters();
}

TEST_F(PagesPrintTest, NoPageChosenStartsNoJob)
{
    TFive t;
    TrpPrintSettings s;
    s.PageNumbers = "9";
    t.Pages()->PrintTo(*rpPrinters().GetCurrentPrinter(), s);
    EXPECT_TRUE(FSystem.Spool().Documents.empty());
}

TEST_F(PagesPrintTest, BinsDuplexAndScale)
{
    TFive t;
    t.Report()->GetReportOptions()->Name = "Stock list";
    TrpPrintSettings s;
    s.PageNumbers = "1-2";
    t.Pages()->PrintTo(*rpPrinters().GetCurrentPrinter(), s);
    ASSERT_EQ(FSystem.Spool().Documents.size(), 1u);
    const TRecordedDocument& doc = FSystem.Spool().Documents[0];
    EXPECT_EQ(doc.Title, "Stock list");
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(doc.Pages[0].Setup.Bin, 4) << "the first page of the report from its page's Bin";
    EXPECT_EQ(doc.Pages[1].Setup.Bin, 2) << "later pages from BinOtherPages";
    EXPECT_EQ(doc.Pages[0].Setup.Duplex, 2);
    EXPECT_EQ(doc.Pages[0].Setup.PaperCode, 256);
    ExpectGolden("pages_printed_two", doc.Dump());
}

TEST_F(PagesPrintTest, CancelAbortsTheJob)
{
    TFive t;
    t.Report()->OnProgress = TrpProgressEvent::Lambda([](TrpReport* r, TrpProgressType type, int page) {
        if (type == ptPrinting && page == 2)
            r->SetTerminated(true);
    });
    t.Pages()->PrintTo(*rpPrinters().GetCurrentPrinter(), TrpPrintSettings{});
    ASSERT_EQ(FSystem.Spool().Documents.size(), 1u);
    EXPECT_EQ(FSystem.Spool().Documents[0].Pages.size(), 2u);
    EXPECT_TRUE(FSystem.Spool().Documents[0].Aborted);
}

// A run builds each page while the one before it is drawn: what events between pages do
// with the store, and pages that cannot be built whole, come out as when built in turn.
TEST_F(PagesPrintTest, PagesBuiltAheadPrintAsTheStoreHoldsThem)
{
    struct Case {
        const char* why;
        std::function<void(TFive&)> setup;
        TrpPrintSettings settings;
        std::vector<AnsiString> expected;
        const char* error;  // a line of the report's errors holds this; empty: no errors
    };
    auto reverse = [] {
        TrpPrintSettings s;
        s.Reverse = true;
        s.Copies = 2;
        return s;
    };
    const Case cases[] = {
        {"events between pages read other pages",
         [](TFive& t) {
             t.Report()->OnProgress = TrpProgressEvent::Lambda([&t](TrpReport*, TrpProgressType type, int page) {
                 if (type != ptPrinting)
                     return;
                 t.Pages()->GetPage(page % 5);
                 t.Pages()->FindText((page + 2) % 5, "P");
             });
         },
         {}, {"P1x1", "P2x1", "P3x1", "P4x1", "P5x1"}, ""},
        {"events between pages drop the cached pages",
         [](TFive& t) {
             t.Report()->OnProgress = TrpProgressEvent::Lambda([&t](TrpReport*, TrpProgressType, int) {
                 t.Pages()->GetPage(0);
                 t.Pages()->ClearPageCache();
             });
         },
         reverse(), {"P5x1", "P4x1", "P3x1", "P2x1", "P1x1", "P5x1", "P4x1", "P3x1", "P2x1", "P1x1"}, ""},
        {"an event changes a later page: it prints changed",
         [](TFive& t) {
             t.Report()->OnProgress = TrpProgressEvent::Lambda([&t](TrpReport*, TrpProgressType type, int page) {
                 if (type != ptPrinting || page != 1)
                     return;
                 TrpReportPage* second = t.Pages()->GetPage(1);
                 for (TrpComponent* c : second->GetAllObjects())
                     if (auto* memo = dynamic_cast<TrpMemoView*>(c))
                         memo->SetText("Changed");
                 t.Pages()->ModifyPage(1, second);
             });
         },
         {}, {"P1x1", "Changedx1", "P3x1", "P4x1", "P5x1"}, ""},
        {"a damaged object is left out, its page prints, the error says which page",
         [](TFive& t) {
             TrpXMLItem* object = t.Pages()->PagesItem()->Items(2)->Items(0);
             object->Name = "NoSuchClass";
             object->Text.clear();
         },
         {}, {"P1x1", "P2x1", "x1", "P4x1", "P5x1"}, "Prepared page 3"},
        {"a page naming no source page is passed over",
         [](TFive& t) { t.Pages()->PagesItem()->Items(1)->Name = "page9"; },
         {}, {"P1x1", "P3x1", "P4x1", "P5x1"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TFive t;
        c.setup(t);
        FSystem.Spool().Documents.clear();
        t.Report()->Errors.Clear();
        t.Pages()->PrintTo(*rpPrinters().GetCurrentPrinter(), c.settings);
        ASSERT_EQ(FSystem.Spool().Documents.size(), 1u);
        EXPECT_EQ(Printed(FSystem.Spool().Documents[0]), c.expected);
        EXPECT_TRUE(FSystem.Spool().Documents[0].Ended);
        const AnsiString errors = t.Report()->Errors.Text();
        if (*c.error)
            EXPECT_NE(errors.find(c.error), AnsiString::npos) << errors;
        else
            EXPECT_EQ(errors, "");
    }
}

TEST_F(PagesPrintTest, PrintUsesThePrintOptionsAndTheirPrinter)
{
    TFive t;
    TrpPrintOptions* o = t.Report()->GetPrintOptions();
    o->Printer = "Lab";
    o->PageNumbers = "3";
    o->Copies = 2;
    o->Collate = false;
    int before = 0, after = 0;
    t.Report()->OnPrintReport = TNotifyEvent::Lambda([&](TObject*) { ++before; });
    t.Report()->OnAfterPrintReport = TNotifyEvent::Lambda([&](TObject*) { ++after; });
    EXPECT_TRUE(t.Pages()->Print());
    ASSERT_EQ(FSystem.Spool().Documents.size(), 1u);
    EXPECT_EQ(FSystem.Spool().Documents[0].Printer, "Lab");
    EXPECT_EQ(Printed(FSystem.Spool().Documents[0]), (std::vector<AnsiString>{"P3x2"}));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
}

TEST_F(PagesPrintTest, CancelledDialogPrintsNothing)
{
    TTestDriver d;
    TFive t;
    t.Report()->GetPrintOptions()->ShowDialog = true;
    int before = 0;
    t.Report()->OnPrintReport = TNotifyEvent::Lambda([&](TObject*) { ++before; });
    d.ExpectModal("TrpPrintDialog", [&] { Screen->GetActiveForm()->SetModalResult(mrCancel); });
    EXPECT_FALSE(t.Pages()->Print());
    EXPECT_TRUE(FSystem.Spool().Documents.empty());
    EXPECT_EQ(before, 0);
}

}  // namespace
