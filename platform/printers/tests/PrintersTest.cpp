#include "platform/printers/PrinterConsts.h"
#include "platform/printers/Printers.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/graphics/testing/Golden.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// ---------------------------------------------------------------- paper table

struct PaperCase {
    const char* why;
    int code;
    double width, height;
};

const PaperCase kPapers[] = {
    {"Letter", DMPAPER_LETTER, 215.9, 279.4},
    {"Legal", DMPAPER_LEGAL, 215.9, 355.6},
    {"A3", DMPAPER_A3, 297, 420},
    {"A4", DMPAPER_A4, 210, 297},
    {"A5", DMPAPER_A5, 148, 210},
    {"a row stored wider than tall stays so", 4, 431.8, 279.4},
    {"the last row", 68, 322, 445},
};

TEST(PaperTableTest, KnownSizes)
{
    for (const PaperCase& c : kPapers) {
        SCOPED_TRACE(c.why);
        double w = -1, h = -1;
        ASSERT_TRUE(GetPaperDimensions(c.code, w, h));
        EXPECT_DOUBLE_EQ(w, c.width);
        EXPECT_DOUBLE_EQ(h, c.height);
    }
}

TEST(PaperTableTest, SixtySixRowsWithoutCodes48And49OrUser)
{
    EXPECT_EQ(PaperTable().size(), 66u);
    std::set<int> codes;
    for (const TPaperInfo& p : PaperTable())
        EXPECT_TRUE(codes.insert(p.Code).second) << "code " << p.Code << " twice";
    for (int missing : {0, 48, 49, 69, DMPAPER_USER}) {
        SCOPED_TRACE(missing);
        double w = 1.5, h = 2.5;
        EXPECT_FALSE(GetPaperDimensions(missing, w, h));
        EXPECT_EQ(w, 1.5);  // untouched
        EXPECT_EQ(h, 2.5);
    }
    EXPECT_EQ(PaperCodeForSize(297, 210), DMPAPER_A4);  // either way round
    EXPECT_EQ(PaperCodeForSize(100, 100), DMPAPER_USER);
}

// ---------------------------------------------------------------- no printers

TEST(PrinterTest, WithNoPrintersEverythingSaysSo)
{
    TNoPrinterSystem none;
    TPrinter p(&none);
    EXPECT_EQ(p.GetPrinters()->GetCount(), 0);
    EXPECT_EQ(p.GetPrinterIndex(), -1);
    EXPECT_EQ(p.Device(), nullptr);
    EXPECT_EQ(p.PrinterName(), "");
    EXPECT_TRUE(p.Papers().empty());
    struct Action {
        const char* why;
        std::function<void()> run;
        const char* message;
    };
    const Action actions[] = {
        {"page size", [&] { p.PageWidth(); }, printer_msg::kNoDefaultPrinter},
        {"resolution", [&] { p.DPI(); }, printer_msg::kNoDefaultPrinter},
        {"a document", [&] { p.BeginDoc(); }, printer_msg::kNoDefaultPrinter},
        {"a printer that is not there", [&] { p.SetPrinterIndex(0); }, printer_msg::kPrinterIndexError},
        {"a canvas outside a document", [&] { p.GetCanvas(); }, printer_msg::kNotPrinting},
        {"a page outside a document", [&] { p.NewPage(); }, printer_msg::kNotPrinting},
        {"ending what never began", [&] { p.EndDoc(); }, printer_msg::kNotPrinting},
    };
    for (const Action& a : actions) {
        SCOPED_TRACE(a.why);
        try {
            a.run();
            ADD_FAILURE() << "no error";
        } catch (const EPrinter& e) {
            EXPECT_STREQ(e.what(), a.message);
        }
    }
    p.SetPrinterIndex(-1);  // asking for the default is no error: there simply is none
    EXPECT_EQ(p.GetPrinterIndex(), -1);
    EXPECT_THROW(none.Open("Office"), EPrinter);
}

TEST(PrinterTest, TheInstalledSystemHasNoPrintersUntilABackendComes)
{
    EXPECT_TRUE(PrinterSystem().Printers().empty());
    EXPECT_EQ(PrinterSystem().DefaultPrinter(), "");
}

// ---------------------------------------------------------------- choosing a printer

TRecordingPrinterSystem TwoPrinters(const AnsiString& defaultName = "Office")
{
    TRecordingPrinterSpec matrix{"Epson LX-300", "LPT1:"};
    matrix.DPI = {180, 180};
    return TRecordingPrinterSystem({matrix, TRecordingPrinterSpec{"Office"}}, defaultName);
}

TEST(PrinterTest, DefaultPrinterIsCurrent)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    TPrinter p(&printers);
    ASSERT_EQ(p.GetPrinters()->GetCount(), 2);
    EXPECT_EQ(p.GetPrinterIndex(), 1);
    EXPECT_EQ(p.PrinterName(), "Office");
    p.SetPrinterIndex(0);
    EXPECT_EQ(p.DPI(), (TPoint{180, 180}));
    p.Refresh();  // the chosen printer stays chosen
    EXPECT_EQ(p.PrinterName(), "Epson LX-300");
    EXPECT_THROW(p.SetPrinterIndex(2), EPrinter);
    EXPECT_EQ(p.GetPrinterIndex(), 0);
}

TEST(PrinterTest, UnknownDefaultFallsBackToTheFirstPrinter)
{
    TRecordingPrinterSystem printers = TwoPrinters("Gone");
    TPrinter p(&printers);
    EXPECT_EQ(p.GetPrinterIndex(), 0);
}

struct SheetCase {
    const char* why;
    int paper;
    TPrinterOrientation orientation;
    int width, height;  // printable pixels at 600 dpi, 5 mm margins
};

const SheetCase kSheets[] = {
    {"A4 portrait: 200 x 287 mm printable", DMPAPER_A4, poPortrait, 4724, 6780},
    {"A4 landscape swaps the sides", DMPAPER_A4, poLandscape, 6780, 4724},
    {"A5 portrait", DMPAPER_A5, poPortrait, 3260, 4724},
    {"Letter portrait", DMPAPER_LETTER, poPortrait, 4864, 6364},
};

TEST(PrinterTest, PageSizeInPixels)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    TPrinter p(&printers);
    for (const SheetCase& c : kSheets) {
        SCOPED_TRACE(c.why);
        p.SetPaper(c.paper);
        p.SetOrientation(c.orientation);
        EXPECT_EQ(p.PageWidth(), c.width);
        EXPECT_EQ(p.PageHeight(), c.height);
    }
    p.SetPaper(DMPAPER_USER, 100, 50);
    p.SetOrientation(poPortrait);
    EXPECT_EQ(p.Sheet().PaperCode, DMPAPER_USER);
    EXPECT_EQ(p.PageWidth(), 2126);  // 90 mm
}

// ---------------------------------------------------------------- printing

// Two pages on different sheets, as the recording printer writes them down.
AnsiString TwoSheetsDump()
{
    TRecordingPrinterSystem printers = TwoPrinters();
    TPrinter p(&printers);
    p.Title = "Накладная";
    p.BeginDoc();
    EXPECT_TRUE(p.Printing());
    TCanvas* c = p.GetCanvas();
    c->GetFont()->SetName("Arial");
    c->GetFont()->SetSize(10);
    c->TextOut(100, 100, "Страница 1");
    EXPECT_THROW(p.SetOrientation(poLandscape), EPrinter);  // not while printing
    TPageSetup landscape = p.GetPageSetup();
    landscape.Orientation = poLandscape;
    landscape.Bin = DMBIN_MANUAL;
    p.SetPageSetup(landscape);  // the next page may change its sheet
    p.NewPage();
    EXPECT_EQ(p.PageNumber(), 2);
    EXPECT_EQ(p.PageWidth(), 6780);
    p.GetCanvas()->Rectangle(0, 0, 6780, 4724);
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    EXPECT_EQ(printers.Spool().Documents.size(), 1u);
    return printers.Spool().Documents.empty() ? AnsiString() : printers.Spool().Documents[0].Dump();
}

TEST(PrinterTest, DocumentWithPagesOfDifferentSheets)
{
    ExpectGolden("two_pages", TwoSheetsDump());
}

// The sheets' sizes keep their decimal point under a desktop's decimal comma.
TEST(PrinterTest, DocumentDumpIsTheSameUnderADecimalComma)
{
    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    ExpectGolden("two_pages", TwoSheetsDump());
}

TEST(PrinterTest, AbortDropsTheDocument)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    TPrinter p(&printers);
    p.BeginDoc();
    p.GetCanvas()->Rectangle(0, 0, 10, 10);
    p.Abort();
    EXPECT_TRUE(p.Aborted());
    EXPECT_FALSE(p.Printing());
    ASSERT_EQ(printers.Spool().Documents.size(), 1u);
    EXPECT_TRUE(printers.Spool().Documents[0].Aborted);
    EXPECT_FALSE(printers.Spool().Documents[0].Ended);
    EXPECT_THROW(p.GetCanvas(), EPrinter);
}

TEST(PrinterTest, FileNameGoesWithTheDocument)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    TPrinter p(&printers);
    p.FileName = "/tmp/out.prn";
    p.BeginDoc();
    p.EndDoc();
    EXPECT_EQ(printers.Spool().Documents[0].FileName, "/tmp/out.prn");
}

TEST(PrinterTest, RawDocuments)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    std::unique_ptr<TPrintDevice> matrix = printers.Open("epson lx-300");  // names ignore case
    std::unique_ptr<TRawPrintJob> job = matrix->BeginRawDoc("Чек");
    job->Write("\x1B@Hello\f", 8);
    job->EndDoc();
    ASSERT_EQ(printers.Spool().Documents.size(), 1u);
    EXPECT_EQ(printers.Spool().Documents[0].RawBytes, AnsiString("\x1B@Hello\f", 8));
    EXPECT_THROW(job->Write("x", 1), EPrinter);

    TRecordingPrinterSpec laser{"Laser"};
    laser.AcceptsRaw = false;
    TRecordingPrinterSystem lasers({laser}, "Laser");
    EXPECT_THROW(lasers.Open("Laser")->BeginRawDoc("x"), EPrinter);
    EXPECT_THROW(lasers.Open("Nobody"), EPrinter);
}

TEST(PrinterTest, ScopeInstallsAndRestoresTheSystem)
{
    TRecordingPrinterSystem printers = TwoPrinters();
    {
        TPrinterSystemScope use(printers);
        EXPECT_EQ(PrinterSystem().Printers().size(), 2u);
        TPrinter p;
        EXPECT_EQ(p.PrinterName(), "Office");
    }
    EXPECT_TRUE(PrinterSystem().Printers().empty());
}

}  // namespace
