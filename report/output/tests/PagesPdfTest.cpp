// Printing prepared pages into a PDF file through the Qt PDF backend (offscreen): the file
// is a PDF and holds one page per printed page.
#include "report/output/rpPrinter.h"
#include "report/output/tests/EngineTestSupport.h"

#include "platform/printers/RecordingPrinter.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPrinting.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

// The Qt backend, offscreen, started once for the whole program.
void StartQt()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_report_engine_pdf";
    static char* argv[] = {name, nullptr};
    static TQtBackend backend(argc, argv);
}

// One printer, "PDF", whose documents go to PDF files.
class TPdfPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override { return {{"PDF", "", true}}; }
    AnsiString DefaultPrinter() override { return "PDF"; }
    std::unique_ptr<TPrintDevice> Open(const AnsiString&) override { return std::make_unique<TQtPdfDevice>(300); }
};

TEST(PagesPdf, PrintedPagesMakeAPdfFile)
{
    StartQt();

    TPdfPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 150);
    band->SetRowCount(3);
    t.Memo(band, 0, 0, 200, 20, "Строка [Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 3);

    const std::string path = (std::filesystem::temp_directory_path() / "engine-pages.pdf").string();
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    ASSERT_NE(printer, nullptr);
    printer->FileName = path;
    TrpPrintSettings settings;
    settings.PageNumbers = "1,3";
    t.Pages()->PrintTo(*printer, settings);
    printer->FileName.clear();
    rpFreePrinters();

    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 2);
    std::filesystem::remove(path);
}

// A PDF file holds every copy asked for, collated or not.
TEST(PagesPdf, CopiesGoIntoThePdfCollatedOrNot)
{
    StartQt();

    TPdfPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 150);
    band->SetRowCount(3);
    t.Memo(band, 0, 0, 200, 20, "Строка [Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    const std::string path = (std::filesystem::temp_directory_path() / "engine-copies.pdf").string();
    for (const bool collate : {false, true}) {
        SCOPED_TRACE(collate ? "collated" : "not collated");
        TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
        ASSERT_NE(printer, nullptr);
        printer->FileName = path;
        TrpPrintSettings settings;
        settings.Copies = 2;
        settings.Collate = collate;
        settings.PageNumbers = "1,3";
        t.Pages()->PrintTo(*printer, settings);
        printer->FileName.clear();
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::regex page("/Type\\s*/Page[^s]");
        EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 4);
        std::filesystem::remove(path);
    }
    rpFreePrinters();
}

// A file that cannot be written fails the run before its first page is drawn, with pages
// already built ahead; the store stays whole and the next run prints every page.
TEST(PagesPdf, AnUnwritableFileFailsOnTheFirstPage)
{
    StartQt();

    TPdfPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 150);
    band->SetRowCount(4);
    t.Memo(band, 0, 0, 200, 20, "Строка [Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    int printed = 0;
    t.Report()->OnProgress = TrpProgressEvent::Lambda([&](TrpReport*, TrpProgressType type, int) {
        if (type == ptPrinting)
            ++printed;
    });
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    ASSERT_NE(printer, nullptr);
    printer->FileName = "/nonexistent-folder/pages.pdf";
    EXPECT_THROW(t.Pages()->PrintTo(*printer, TrpPrintSettings{}), EPrinter);
    EXPECT_EQ(printed, 0);

    const std::string path = (std::filesystem::temp_directory_path() / "engine-pages-after-failure.pdf").string();
    printer->FileName = path;
    t.Pages()->PrintTo(*printer, TrpPrintSettings{});
    printer->FileName.clear();
    rpFreePrinters();
    EXPECT_EQ(printed, 4);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 4);
    std::filesystem::remove(path);
}

// The platform's printer list ends with its PDF printer; the system's default (if any)
// stays current. Printing to the PDF printer asks for the file name and writes the PDF.
TEST(PagesPdf, ThePlatformAlwaysHasAPdfPrinter)
{
    StartQt();

    TQtPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TrpPrinters& printers = rpPrinters();
    EXPECT_TRUE(printers.HasPhysicalPrinters()) << "nothing says there is no printer";
    const int pdf = printers.GetPrinters()->Count() - 1;
    ASSERT_GE(pdf, 0);
    EXPECT_EQ(printers.GetPrinters()->Strings(pdf), kPdfPrinterName) << "listed after the queues";
    const AnsiString def = system.DefaultPrinter();
    EXPECT_EQ(printers.GetCurrentPrinter()->Name, def.empty() ? AnsiString(kPdfPrinterName) : def);
    printers.SetPrinterIndex(pdf);
    EXPECT_TRUE(printers.GetCurrentPrinter()->WritesFiles());

    TTestDriver d;
    TTestReport t;
    auto* band = t.Band<TrpMasterData>(0, 150);
    band->SetRowCount(3);
    t.Memo(band, 0, 0, 200, 20, "Строка [Line]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    t.Report()->GetPrintOptions()->ShowDialog = false;
    const std::string path = (std::filesystem::temp_directory_path() / "pdf-printer-pages").string();
    std::filesystem::remove(path + ".pdf");
    d.AnswerFileDialog(PathFromSystem(path));
    d.Run([&] { t.Pages()->Print(); });
    EXPECT_TRUE(d.TakeErrors().empty());
    rpFreePrinters();

    std::ifstream in(path + ".pdf", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 3);
    std::filesystem::remove(path + ".pdf");
}

// ---------------------------------------------------------------- a desktop's decimal comma

// Qt hands the desktop's locale to the C library: on a Russian desktop its numbers take a
// decimal comma. Templates, prepared reports (.rpf) and PDF files must not notice.
struct TReportFiles {
    AnsiString Template, Prepared;
    std::string Pdf;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A page of 100.5 x 60.25 mm with a memo at fractional places; the memo's name.
AnsiString MakeFractionalReport(TTestReport& t)
{
    t.Page()->SetPaperWidth(100.5);
    t.Page()->SetPaperHeight(60.25);
    t.Page()->LeftMargin = 5.5;
    t.Page()->TopMargin = 4.75;
    auto* band = t.Band<TrpMasterData>(0.5, 40.25);
    band->SetRowCount(2);
    return t.Memo(band, 10.5, 2.25, 150.75, 12.5, "Строка [Line]")->GetName();
}

TReportFiles SaveReportFiles(TTestReport& t)
{
    TReportFiles f;
    TMemoryStream stream;
    t.Report()->SaveToStream(stream);
    f.Template = stream.DataString();
    const std::string stem = (std::filesystem::temp_directory_path() / "engine-locale").string();
    t.Pages()->SaveToFile(stem + ".rpf");
    f.Prepared = ReadBytes(stem + ".rpf");
    std::filesystem::remove(stem + ".rpf");

    TPdfPrinterSystem system;
    TPrinterSystemScope scope(system);
    rpFreePrinters();
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    EXPECT_NE(printer, nullptr);
    if (printer) {
        printer->FileName = stem + ".pdf";
        t.Pages()->PrintTo(*printer, TrpPrintSettings{});
        printer->FileName.clear();
    }
    rpFreePrinters();
    f.Pdf = ReadBytes(stem + ".pdf");
    std::filesystem::remove(stem + ".pdf");
    return f;
}

TEST(PagesPdf, FilesHoldTheSameNumbersUnderADecimalComma)
{
    StartQt();
    SetClockForTesting(TDateTime(46363.5));  // templates keep when they were saved
    struct TClockBack {
        ~TClockBack() { ResetClock(); }
    } clockBack;
    TTestReport inC;
    MakeFractionalReport(inC);
    ASSERT_TRUE(inC.Prepare()) << inC.Errors();
    const TReportFiles c = SaveReportFiles(inC);

    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    TTestReport t;
    const AnsiString memoName = MakeFractionalReport(t);
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    const TReportFiles f = SaveReportFiles(t);
    EXPECT_EQ(f.Template, c.Template);
    EXPECT_EQ(f.Prepared, c.Prepared);

    // Both load back under the comma with their fractions.
    TTestReport loaded;
    TMemoryStream stream;
    stream.WriteBuffer(f.Template.data(), static_cast<int64_t>(f.Template.size()));
    stream.SetPosition(0);
    loaded.Report()->LoadFromStream(stream);
    EXPECT_EQ(loaded.Report()->Errors.Count(), 0);
    auto* memo = dynamic_cast<TrpMemoView*>(loaded.Report()->FindObject(memoName));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->GetLeft(), 10.5L);
    EXPECT_EQ(memo->GetWidth(), 150.75L);
    auto* page = dynamic_cast<TrpReportPage*>(loaded.Report()->FindObject(t.Page()->GetName()));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetPaperWidth(), 100.5L);
    EXPECT_EQ(page->TopMargin, 4.75L);

    const std::string rpf = (std::filesystem::temp_directory_path() / "engine-locale-load.rpf").string();
    std::ofstream(rpf, std::ios::binary) << f.Prepared;
    TTestReport other;
    EXPECT_TRUE(other.Pages()->LoadFromFile(rpf));
    EXPECT_EQ(DrawDump(other.Pages()), DrawDump(inC.Pages()));
    std::filesystem::remove(rpf);

    // The PDF's page boxes are in points (100.5 x 60.25 mm) with a decimal point.
    const std::regex box("/MediaBox\\s*\\[\\s*0\\s+0\\s+([^ \\]]+)\\s+([^ \\]]+)\\s*\\]");
    for (const std::string* pdf : {&c.Pdf, &f.Pdf}) {
        SCOPED_TRACE(pdf == &c.Pdf ? "C locale" : "decimal comma");
        EXPECT_EQ(pdf->substr(0, 5), "%PDF-");
        std::smatch m;
        ASSERT_TRUE(std::regex_search(*pdf, m, box));
        for (const auto& [text, mm] : {std::pair{m[1].str(), 100.5}, std::pair{m[2].str(), 60.25}}) {
            EXPECT_EQ(text.find(','), std::string::npos) << text;
            double points = 0;
            std::from_chars(text.data(), text.data() + text.size(), points);
            EXPECT_NEAR(points, mm / 25.4 * 72, 1.0) << text;
        }
    }
}

}  // namespace
