// Printing prepared pages to a printer's queue through the Qt backend and CUPS: a queue that
// takes the document gets one job; a queue that refuses jobs or is removed while the pages are
// drawn fails the print command with a message instead of reporting it printed.
//
// The queues belong to a CUPS scheduler of the test's own, in a temporary folder and reached
// through its own socket; without the scheduler's programs (cupsd, lpadmin, cupsreject) the
// test is skipped.
#include "report/output/rpPrinter.h"
#include "report/output/tests/EngineTestSupport.h"

#include "platform/gui/testing/TestDriver.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPrinting.h"
#include "platform/printers/RecordingPrinter.h"

#include <cups/cups.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void StartQt()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_report_engine_queue";
    static char* argv[] = {name, nullptr};
    static TQtBackend backend(argc, argv);
}

// Runs a program with fork and exec (see QtGraphicsTest: Qt's own way hides from the thread
// checker); its exit status, or -1.
int Run(std::vector<std::string> words)
{
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// A scheduler of the test's own with one queue that throws its documents away.
class TPrivateCups {
public:
    static constexpr const char* kQueue = "SkladTestQueue";

    TPrivateCups()
    {
        for (const char* tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsreject"})
            if (access(tool, X_OK) != 0)
                return;
        FDir = std::filesystem::temp_directory_path() / ("sklad-cups-" + std::to_string(getpid()));
        std::filesystem::remove_all(FDir);
        for (const char* sub : {"spool", "cache", "state", "log", "tmp"})
            std::filesystem::create_directories(FDir / sub);
        FSocket = (FDir / "cups.sock").string();
        const std::string d = FDir.string();
        std::ofstream(FDir / "cupsd.conf") << "Listen " << FSocket << "\nLogLevel warn\nWebInterface No\n"
                                           << "Browsing No\n<Location />\n  Order allow,deny\n  Allow all\n"
                                           << "</Location>\n";
        std::ofstream(FDir / "cups-files.conf")
            << "ServerRoot " << d << "\nRequestRoot " << d << "/spool\nCacheDir " << d << "/cache\nStateDir " << d
            << "/state\nTempDir " << d << "/tmp\nErrorLog " << d << "/log/error_log\nAccessLog " << d
            << "/log/access_log\nPageLog " << d << "/log/page_log\nFileDevice Yes\n";
        const std::string conf = (FDir / "cupsd.conf").string(), files = (FDir / "cups-files.conf").string();
        FPid = fork();
        if (FPid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
            _exit(127);
        }
        setenv("CUPS_SERVER", FSocket.c_str(), 1);
        cupsSetServer(FSocket.c_str());
        // The scheduler takes a moment to listen.
        for (int i = 0; i < 100 && !FReady; ++i) {
            FReady = AddQueue();
            if (!FReady)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ~TPrivateCups()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
        if (!FSocket.empty()) {
            unsetenv("CUPS_SERVER");
            cupsSetServer(nullptr);
        }
        if (!FDir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(FDir, ec);
        }
    }

    bool Ready() const { return FReady; }
    bool AddQueue() { return Run({"/usr/sbin/lpadmin", "-p", kQueue, "-E", "-v", "file:///dev/null"}) == 0; }
    // A queue whose A4 sheet has the unprintable area `area` ("left bottom right top", points).
    bool AddQueueWithMargins(const char* name, const char* area)
    {
        const std::string ppd = (FDir / (std::string(name) + ".ppd")).string();
        std::ofstream(ppd) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                              "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"SKLAD.PPD\"\n"
                              "*Manufacturer: \"Sklad\"\n*Product: \"(Sklad)\"\n*ModelName: \"Sklad margins\"\n"
                              "*ShortNickName: \"Sklad margins\"\n*NickName: \"Sklad margins\"\n"
                              "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
                              "*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
                              "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
                              "*cupsFilter: \"application/pdf 0 -\"\n"
                              "*OpenUI *PageSize/Media Size: PickOne\n*DefaultPageSize: A4\n"
                              "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
                              "*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: A4\n"
                              "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageRegion\n"
                              "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"" << area << "\"\n"
                              "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";
        return Run({"/usr/sbin/lpadmin", "-p", name, "-E", "-v", "file:///dev/null", "-P", ppd}) == 0;
    }
    bool RemoveQueue() { return Run({"/usr/sbin/lpadmin", "-x", kQueue}) == 0; }
    bool RefuseJobs() { return Run({"/usr/sbin/cupsreject", kQueue}) == 0; }
    int Jobs() const
    {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs(&jobs, kQueue, 0, CUPS_WHICHJOBS_ALL);
        cupsFreeJobs(n, jobs);
        return n;
    }

private:
    std::filesystem::path FDir;
    std::string FSocket;
    pid_t FPid = -1;
    bool FReady = false;
};

}  // namespace

TEST(PagesQueue, AQueueThatDoesNotTakeTheDocumentFailsThePrintCommand)
{
    StartQt();
    TPrivateCups cups;
    if (!cups.Ready()) {
        GTEST_SKIP() << "no CUPS scheduler here";
    }

    enum TWhat { kTakes, kRefusesJobs, kRemovedWhilePrinting };
    struct TCase {
        const char* why;
        TWhat what;
    };
    const TCase cases[] = {
        {"a queue that takes the document has one job more", kTakes},
        {"a queue that refuses jobs is told", kRefusesJobs},
        {"a queue removed after the first page is told", kRemovedWhilePrinting},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TQtPrinterSystem system;
        TPrinterSystemScope scope(system);
        rpFreePrinters();
        const int index = rpPrinters().IndexOf(TPrivateCups::kQueue);
        ASSERT_GE(index, 0);
        rpPrinters().SetPrinterIndex(index);

        TTestDriver d;
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(0, 150);
        band->SetRowCount(3);
        t.Memo(band, 0, 0, 200, 20, "Строка [Line]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        t.Report()->GetPrintOptions()->ShowDialog = false;
        if (c.what == kRefusesJobs) {
            ASSERT_TRUE(cups.RefuseJobs());
        }
        if (c.what == kRemovedWhilePrinting)
            t.Report()->OnProgress = TrpProgressEvent::Lambda([&](TrpReport*, TrpProgressType type, int page) {
                if (type == ptPrinting && page == 1)
                    cups.RemoveQueue();
            });
        const int jobs = cups.Jobs();
        bool printed = false;
        d.Run([&] { printed = t.Pages()->Print(); });
        const std::vector<AnsiString> errors = d.TakeErrors();
        if (c.what == kTakes) {
            EXPECT_TRUE(printed);
            EXPECT_TRUE(errors.empty());
            EXPECT_EQ(cups.Jobs(), jobs + 1);
        } else {
            EXPECT_FALSE(printed);
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_NE(errors[0].find(TPrivateCups::kQueue), AnsiString::npos) << errors[0];
        }
        rpFreePrinters();
        // The next case starts from a queue that takes jobs.
        cups.RemoveQueue();
        ASSERT_TRUE(cups.AddQueue());
    }
}

// Where a page's first word stands in a PDF file (points from the sheet's top left corner),
// as pdftotext reads it; {-1, -1} without it. The sheet's width goes to `sheetWidth` when given.
std::pair<double, double> FirstWordAt(const std::string& pdf, double* sheetWidth = nullptr)
{
    const std::string out = pdf + ".html";
    if (Run({"/usr/bin/pdftotext", "-bbox", pdf, out}) != 0)
        return {-1, -1};
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(out);
    const size_t word = text.find("<word xMin=\"");
    if (word == std::string::npos)
        return {-1, -1};
    if (sheetWidth) {
        const size_t w = text.find("<page width=\"");
        *sheetWidth = w == std::string::npos ? -1 : std::atof(text.c_str() + w + 13);
    }
    const double x = std::atof(text.c_str() + word + 12);
    const size_t y = text.find("yMin=\"", word);
    return {x, std::atof(text.c_str() + y + 6)};
}

// A printer with unprintable margins prints the page where the PDF printer, which has none,
// does: the report's page is drawn from the sheet's corner on every sheet and orientation.
TEST(PagesQueue, PagesStandWhereTheyStandOnASheetWithoutMargins)
{
    StartQt();
    TPrivateCups cups;
    if (!cups.Ready() || access("/usr/bin/pdftotext", X_OK) != 0) {
        GTEST_SKIP() << "no CUPS scheduler or pdftotext here";
    }
    // Half an inch all round, and 5 mm (not a whole number of points).
    const char* const queues[] = {"SkladMargins", "SkladMargins5mm"};
    ASSERT_TRUE(cups.AddQueueWithMargins(queues[0], "36 36 559 806"));
    ASSERT_TRUE(cups.AddQueueWithMargins(queues[1], "14.17 14.17 580.83 827.83"));
    TQtPrinterSystem system;
    TPrinterSystemScope scope(system);
    for (const char* queue : queues)
    for (const TPrinterOrientation orientation : {poPortrait, poLandscape}) {
        SCOPED_TRACE(std::string(queue) + (orientation == poPortrait ? ", portrait" : ", landscape"));
        std::pair<double, double> at[2];
        double width[2] = {-1, -1};
        for (const bool margins : {false, true}) {
            rpFreePrinters();
            TrpPrinters& printers = rpPrinters();
            printers.SetPrinterIndex(margins ? printers.IndexOf(queue) : printers.Count() - 1);
            TrpCustomPrinter* printer = printers.GetCurrentPrinter();
            TTestReport t;
            auto* page = t.AddPage();
            page->SetPaperSize(DMPAPER_A4);
            page->SetOrientation(orientation);
            page->LeftMargin = page->TopMargin = 10;
            t.Memo(t.Band<TrpReportTitle>(0, 60, page), 0, 0, 200, 40, "Word");
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            const std::string path = (std::filesystem::temp_directory_path() / "pages-margins.pdf").string();
            printer->FileName = path;
            TrpPrintSettings settings;
            settings.PageNumbers = "2";
            t.Pages()->PrintTo(*printer, settings);
            printer->FileName.clear();
            at[margins] = FirstWordAt(path, &width[margins]);
            std::filesystem::remove(path);
        }
        rpFreePrinters();
        ASSERT_GE(at[0].first, 0);
        EXPECT_NEAR(at[1].first, at[0].first, 1);
        EXPECT_NEAR(at[1].second, at[0].second, 1);
        EXPECT_NEAR(width[1], width[0], 1) << "the sheet as the report set it up";
    }
}
