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
