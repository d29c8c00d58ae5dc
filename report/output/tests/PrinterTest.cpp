// The report library's printers: the list with and without installed printers, the virtual
// printer, papers and bins, sheets, drawn and raw jobs on the recording backend.
#include "report/output/rpPrinter.h"

#include "report/model/rpClass.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpRes.h"

#include "script/GlobalUnit.h"

#include "platform/printers/PrinterConsts.h"
#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

namespace {

// Every test reads the printers afresh from the system it installs.
class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frAddClassesRes();
        rpFreePrinters();
    }
    void TearDown() override { rpFreePrinters(); }
};

std::vector<AnsiString> Names(const TStrings* list)
{
    std::vector<AnsiString> out;
    for (int k = 0; k < list->Count(); ++k)
        out.push_back(list->Strings(k));
    return out;
}

TEST_F(PrinterTest, NoPrintersInstalled)
{
    TNoPrinterSystem none;
    TPrinterSystemScope use(none);
    TrpPrinters& p = rpPrinters();
    EXPECT_FALSE(p.HasPhysicalPrinters());
    EXPECT_EQ(p.GetPrinters()->Count(), 0) << "the virtual printer is not listed";
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.GetPrinterIndex(), 0);
    TrpCustomPrinter* v = p.GetCurrentPrinter();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Name, "Виртуальный");
    EXPECT_TRUE(v->Initialized);
    EXPECT_EQ(v->DPI, (TPoint{600, 600}));
    EXPECT_EQ(v->DefPaper, DMPAPER_A4);
    EXPECT_EQ(v->DefPaperWidth, 210);
    EXPECT_EQ(v->DefPaperHeight, 297);
    EXPECT_EQ(v->GetPapers()->Count(), 67) << "the custom size and the 66 rows of the table";
    EXPECT_EQ(v->GetPaperCode(0), DMPAPER_USER);
    EXPECT_EQ(v->GetPaperCode(1), 1);
    EXPECT_EQ(v->GetBins()->Count(), 1);
    EXPECT_EQ(p.IndexOf("Виртуальный"), 0);
}

TEST_F(PrinterTest, VirtualPrinterCannotPrint)
{
    TNoPrinterSystem none;
    TPrinterSystemScope use(none);
    TrpCustomPrinter* v = rpPrinters().GetCurrentPrinter();
    try {
        v->BeginDoc();
        FAIL() << "a job on the virtual printer must not pass for printed";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), printer_msg::kNoDefaultPrinter);
    }
    EXPECT_THROW(v->BeginRAWDoc(), EPrinter);
    EXPECT_FALSE(v->Printing);
    EXPECT_NO_THROW(v->EndDoc());
    EXPECT_NO_THROW(v->Abort());
}

struct TVirtualSheetCase {
    const char* why;
    int code;
    TPrinterOrientation orientation;
    Extended width, height;  // passed
    int paper;
    Extended expectWidth, expectHeight;
};

const TVirtualSheetCase kVirtualSheets[] = {
    {"A4 portrait", 9, poPortrait, 0, 0, 9, 210, 297},
    {"A4 landscape swaps the sides", 9, poLandscape, 0, 0, 9, 297, 210},
    {"a row stored wider than tall stays so in portrait", 4, poPortrait, 0, 0, 4, 431.8L, 279.4L},
    {"an unknown code becomes a user size and keeps the passed size", 300, poPortrait, 100, 150, 256, 100, 150},
    {"code 48 has no row", 48, poLandscape, 120, 80, 256, 120, 80},
    {"a user size keeps the passed size", 256, poPortrait, 99, 199, 256, 99, 199},
};

TEST_F(PrinterTest, VirtualPrinterSheets)
{
    TNoPrinterSystem none;
    TPrinterSystemScope use(none);
    TrpCustomPrinter* v = rpPrinters().GetCurrentPrinter();
    for (const auto& c : kVirtualSheets) {
        SCOPED_TRACE(c.why);
        v->SetViewParams(c.code, c.width, c.height, c.orientation);
        EXPECT_EQ(v->Paper, c.paper);
        EXPECT_NEAR(double(v->PaperWidth), double(c.expectWidth), 1e-9);
        EXPECT_NEAR(double(v->PaperHeight), double(c.expectHeight), 1e-9);
        EXPECT_EQ(v->Orientation, c.orientation);
        EXPECT_EQ(v->LeftMargin, 5);
        EXPECT_EQ(v->BottomMargin, 5);
    }
    v->SetPrintParams(9, 0, 0, poPortrait, 4, 2, 1);
    EXPECT_EQ(v->Bin, 4);
}

TEST_F(PrinterTest, PaperDimensions)
{
    Extended w = -1, h = -1;
    EXPECT_FALSE(rpGetPaperDimensions(48, w, h));
    EXPECT_EQ(w, -1) << "a code without a row leaves the outputs alone";
    EXPECT_EQ(h, -1);
    EXPECT_FALSE(rpGetPaperDimensions(256, w, h));
    EXPECT_EQ(w, -1);
    EXPECT_TRUE(rpGetPaperDimensions(9, w, h));
    EXPECT_NEAR(double(w), 210, 1e-9);
    EXPECT_NEAR(double(h), 297, 1e-9);
    rpGetPaperDimensions(39, w, h);
    EXPECT_NEAR(double(w), 377.8, 1e-9);
}

TEST_F(PrinterTest, NewPagesTakeTheCurrentPrintersPaper)
{
    TRecordingPrinterSpec office{"Office"};
    office.Default.PaperCode = DMPAPER_A5;
    office.Default.Orientation = poLandscape;
    TRecordingPrinterSystem system({office}, "Office");
    TPrinterSystemScope use(system);
    rpInstallPrinterPaperQuery();
    TrpReportPage page(nullptr);
    page.SetDefaults();
    rpSetPrinterPaperQuery({});
    EXPECT_EQ(page.GetPaperSize(), DMPAPER_A5);
    EXPECT_EQ(page.GetOrientation(), poLandscape);
    EXPECT_NEAR(double(page.GetPaperWidth()), 210, 1e-9);
    EXPECT_NEAR(double(page.GetPaperHeight()), 148, 1e-9);
}

TEST_F(PrinterTest, AReportSelectsThePrinterItsOptionsName)
{
    TRecordingPrinterSystem system({{"Office"}, {"Lab"}}, "Office");
    TPrinterSystemScope use(system);
    rpInstallPrinterPaperQuery();
    ScriptEngineStartup();
    rpInitReportClasses();
    {
        TrpReport report(nullptr);
        EXPECT_EQ(rpPrinters().GetPrinterIndex(), 0);
        report.GetPrintOptions()->Printer = "lab";
        report.SelectPrinter();
        EXPECT_EQ(rpPrinters().GetPrinterIndex(), 1);
        report.GetPrintOptions()->Printer = "Gone";
        report.SelectPrinter();
        EXPECT_EQ(rpPrinters().GetPrinterIndex(), 1) << "a printer not in the list changes nothing";
    }
    rpSetPrinterSelector(nullptr);
    rpSetPrinterPaperQuery({});
    rpDoneReportClasses();
    ScriptEngineShutdown();
}

TEST_F(PrinterTest, ListIndexOutsideIsAnError)
{
    TNoPrinterSystem none;
    TPrinterSystemScope use(none);
    EXPECT_THROW(rpPrinters().GetItem(1), EListError);
    EXPECT_THROW(rpPrinters().GetItem(-1), EListError);
    EXPECT_THROW(rpPrinters().SetPrinterIndex(3), EListError);
    rpPrinters().SetPrinterIndex(-1);
    EXPECT_EQ(rpPrinters().GetCurrentPrinter(), nullptr);
}

TRecordingPrinterSpec Epson()
{
    TRecordingPrinterSpec s{"Epson LX-300", "LPT1:,LPT2:"};
    s.DPI = {180, 180};
    s.Papers = {{"A4", 9}, {"Произвольный", 256}, {"Letter", 1}};
    s.Bins = {{"Auto", DMBIN_AUTO}, {"Tractor", 8}, {"Manual", DMBIN_MANUAL}};
    return s;
}

TEST_F(PrinterTest, InstalledPrinters)
{
    TRecordingPrinterSystem system({{"Office"}, Epson()}, "Epson LX-300,winspool,LPT1:");
    TPrinterSystemScope use(system);
    TrpPrinters& p = rpPrinters();
    EXPECT_TRUE(p.HasPhysicalPrinters());
    EXPECT_EQ(Names(p.GetPrinters()), (std::vector<AnsiString>{"Office", "Epson LX-300", "Epson LX-300"}))
        << "a printer on two ports stands twice";
    EXPECT_EQ(p.GetItem(1)->Port, "LPT1:");
    EXPECT_EQ(p.GetItem(2)->Port, "LPT2:");
    EXPECT_EQ(p.GetPrinterIndex(), 1) << "the default printer, its name cut before the first comma";
    EXPECT_EQ(p.IndexOf("epson lx-300"), 1);

    TrpCustomPrinter* e = p.GetCurrentPrinter();
    ASSERT_TRUE(e->Initialized);
    EXPECT_EQ(e->DPI, (TPoint{180, 180}));
    EXPECT_EQ(Names(e->GetPapers()), (std::vector<AnsiString>{"Пользовательский", "A4", "Letter"}))
        << "the driver's user size does not give a second custom entry";
    EXPECT_EQ(Names(e->GetBins()), (std::vector<AnsiString>{"По умолчанию", "Tractor", "Manual"}))
        << "the driver's automatic bin does not give a second default entry";
    EXPECT_EQ(e->PaperIndex(1), 2);
    EXPECT_EQ(e->BinIndex(8), 1);
    EXPECT_EQ(e->BinNameToNumber("Tractor"), 8);
    EXPECT_EQ(e->BinNameToNumber("Nope"), DMBIN_AUTO) << "an unknown name maps to the first entry";
    EXPECT_EQ(e->PaperNameToNumber("Nope"), DMPAPER_USER);

    EXPECT_FALSE(p.GetItem(0)->Initialized) << "a printer is initialised when it becomes current";
    p.SetPrinterIndex(0);
    EXPECT_TRUE(p.GetItem(0)->Initialized);
}

TEST_F(PrinterTest, DefaultNotInstalledMakesTheFirstCurrent)
{
    TRecordingPrinterSystem system({{"Office"}, {"Lab"}}, "Gone");
    TPrinterSystemScope use(system);
    EXPECT_EQ(rpPrinters().GetPrinterIndex(), 0);
    ASSERT_NE(rpPrinters().GetCurrentPrinter(), nullptr);
}

// A printer the system lists but cannot open.
class TGhostSystem : public TNoPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override { return {{"Ghost", "", true}}; }
    AnsiString DefaultPrinter() override { return "Ghost"; }
};

TEST_F(PrinterTest, UnreadablePrinterStaysUninitialised)
{
    TGhostSystem system;
    TPrinterSystemScope use(system);
    TrpCustomPrinter* g = rpPrinters().GetCurrentPrinter();
    ASSERT_NE(g, nullptr);
    EXPECT_FALSE(g->Initialized);
    EXPECT_EQ(g->GetPapers()->Count(), 1);
    EXPECT_EQ(g->GetBins()->Count(), 1);
    EXPECT_THROW(g->BeginDoc(), EPrinter) << "no job on a printer that is not there";
}

TEST_F(PrinterTest, UserSizeOnAPhysicalPrinterTakesA4Margins)
{
    TRecordingPrinterSpec office{"Office"};
    office.Margin = 4.5;
    TRecordingPrinterSystem system({office}, "Office");
    TPrinterSystemScope use(system);
    TrpCustomPrinter* o = rpPrinters().GetCurrentPrinter();
    o->SetViewParams(DMPAPER_USER, 100, 150, poLandscape);
    EXPECT_EQ(o->Paper, DMPAPER_USER);
    EXPECT_EQ(o->Orientation, poLandscape);
    EXPECT_EQ(o->PaperWidth, 100);
    EXPECT_EQ(o->PaperHeight, 150);
    EXPECT_NEAR(double(o->LeftMargin), 4.5, 1e-9);
    o->SetViewParams(DMPAPER_A4, 0, 0, poLandscape);
    EXPECT_NEAR(double(o->PaperWidth), 297, 1e-9);
}

TEST_F(PrinterTest, DrawnJob)
{
    TRecordingPrinterSystem system({{"Office"}}, "Office");
    TPrinterSystemScope use(system);
    TrpCustomPrinter* o = rpPrinters().GetCurrentPrinter();
    o->Title = "Накладная";
    o->BeginDoc();
    EXPECT_TRUE(o->Printing);
    for (int page = 0; page < 2; ++page) {
        o->SetPrintParams(page == 0 ? DMPAPER_A4 : DMPAPER_A5, 0, 0, page == 0 ? poPortrait : poLandscape, 4, 3,
                          DMDUP_SIMPLEX);
        o->BeginPage();
        TCanvas* c = o->GetCanvas();
        c->GetFont()->SetName("Arial");
        c->GetFont()->SetSize(10);
        c->TextOut(100, 100, "Страница");
        o->EndPage();
    }
    o->Bin = 2;
    o->EndDoc();
    EXPECT_FALSE(o->Printing);
    EXPECT_EQ(o->Bin, -1) << "the driver dialog's bin lasts one job";

    ASSERT_EQ(system.Spool().Documents.size(), 1u);
    const TRecordedDocument& d = system.Spool().Documents[0];
    EXPECT_EQ(d.Title, "Накладная");
    EXPECT_TRUE(d.Ended);
    ASSERT_EQ(d.Pages.size(), 2u);
    EXPECT_EQ(d.Pages[0].Setup.Copies, 3);
    EXPECT_EQ(d.Pages[0].Setup.Bin, 4);
    EXPECT_EQ(d.Pages[1].Sheet.PaperCode, DMPAPER_A5);
    EXPECT_EQ(d.Pages[1].Sheet.Orientation, poLandscape);
    const AnsiString dump = d.Dump();
    EXPECT_NE(dump.find("font \"Arial\" -83"), AnsiString::npos) << "10 points at 600 dpi:\n" << dump;
    EXPECT_NE(dump.find("\"Страница\""), AnsiString::npos);
}

TEST_F(PrinterTest, BinChosenForAJobOverridesThePages)
{
    TRecordingPrinterSystem system({{"Office"}}, "Office");
    TPrinterSystemScope use(system);
    TrpPrinter* o = dynamic_cast<TrpPrinter*>(rpPrinters().GetCurrentPrinter());
    ASSERT_NE(o, nullptr);
    o->Bin = DMBIN_MANUAL;
    o->BeginDoc();
    o->SetPrintParams(DMPAPER_A4, 0, 0, poPortrait, DMBIN_UPPER, 1, DMDUP_SIMPLEX);
    EXPECT_EQ(o->DeviceSetup().Bin, DMBIN_MANUAL);
    o->Abort();
    EXPECT_FALSE(o->Printing);
    ASSERT_EQ(system.Spool().Documents.size(), 1u);
    EXPECT_TRUE(system.Spool().Documents[0].Aborted);
    o->SetPrintParams(DMPAPER_A4, 0, 0, poPortrait, DMBIN_UPPER, 1, DMDUP_SIMPLEX);
    EXPECT_EQ(o->DeviceSetup().Bin, DMBIN_UPPER) << "after the job the pages' bins count again";
}

TEST_F(PrinterTest, RawJob)
{
    TRecordingPrinterSystem system({Epson()}, "Epson LX-300");
    TPrinterSystemScope use(system);
    TrpCustomPrinter* e = rpPrinters().GetCurrentPrinter();
    EXPECT_THROW(e->WriteRAWDoc("x"), EPrinter) << "no raw document started";
    e->Title = "Чек";
    e->BeginRAWDoc();
    e->WriteRAWDoc(AnsiString("\x1b@Hello\f", 8));
    e->EndRAWDoc();
    ASSERT_EQ(system.Spool().Documents.size(), 1u);
    EXPECT_TRUE(system.Spool().Documents[0].Raw);
    EXPECT_EQ(system.Spool().Documents[0].RawBytes, AnsiString("\x1b@Hello\f", 8));
}

TEST_F(PrinterTest, PrinterCanvasMeasuresAtTheDeviceResolution)
{
    TRecordingPrinterSystem system({Epson()}, "Epson LX-300");
    TPrinterSystemScope use(system);
    TCanvas* c = rpPrinters().GetCurrentPrinter()->GetCanvas();
    EXPECT_EQ(c->PixelsPerInchY(), 180);
    c->GetFont()->SetSize(10);
    EXPECT_EQ(c->TextHeight("A"), 25) << "10 points at 180 dpi";
}

}  // namespace
