#include "platform/qt/QtPrinting.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streams.h"
#include "platform/graphics/RecordingDevice.h"
#include "platform/printers/PrinterConsts.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtText.h"
#include "platform/rtl/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

QPageLayout PageLayoutFor(const TPageSetup& setup)
{
    double w = setup.PaperWidth, h = setup.PaperHeight;
    GetPaperDimensions(setup.PaperCode, w, h);
    QPageSize size(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    const QPageSize::PageSizeId id = QPageSize::id(setup.PaperCode);
    if (setup.PaperCode != DMPAPER_USER && id != QPageSize::Custom) {
        // A named size, when Qt's size agrees with the table to the millimetre.
        const QSizeF named = QPageSize(id).size(QPageSize::Millimeter);
        if (std::fabs(named.width() - w) < 1 && std::fabs(named.height() - h) < 1)
            size = QPageSize(id);
    }
    return QPageLayout(size, setup.Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

std::vector<std::pair<std::string, std::string>> QueueJobOptions(const TPageSetup& setup)
{
    std::vector<std::pair<std::string, std::string>> options;
    // The sheet is the first page's, as the printer was set up when the document started.
    const QPageLayout layout = PageLayoutFor(setup);
    options.emplace_back("media", layout.pageSize().key().toStdString());
    // A boolean option needs its value: CUPS reads an empty one as false.
    if (setup.Orientation == poLandscape)
        options.emplace_back("landscape", "true");
    if (setup.Copies > 1) {
        options.emplace_back("copies", std::to_string(setup.Copies));
        // Copies the driver makes are uncollated; collated ones come page run by page run.
        options.emplace_back("Collate", "False");
    }
    options.emplace_back("sides", setup.Duplex == DMDUP_VERTICAL     ? "two-sided-long-edge"
                                  : setup.Duplex == DMDUP_HORIZONTAL ? "two-sided-short-edge"
                                                                     : "one-sided");
    return options;
}

namespace {

// A thread that runs tasks in the order given. Post waits while a few tasks are queued, so a
// fast producer holds at most that many pages in memory. A task that throws stops the tasks
// after it (those posted as cleanup still run); the failure is raised by the next Post or
// Finish, on the posting thread. One thread posts.
class TPainterThread {
public:
    TPainterThread() : FThread([this] { Run(); }) {}
    ~TPainterThread()
    {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FStop = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    TPainterThread(const TPainterThread&) = delete;
    TPainterThread& operator=(const TPainterThread&) = delete;

    void Post(std::function<void()> task, bool cleanup = false)
    {
        std::unique_lock<std::mutex> lock(FLock);
        FIdle.wait(lock, [this] { return FTasks.size() < kMaxQueued || FFailure; });
        if (FFailure && !cleanup)
            std::rethrow_exception(FFailure);
        FTasks.push_back({std::move(task), cleanup});
        std::deque<TTask> ran;
        ran.swap(FRan);
        lock.unlock();
        FWake.notify_one();
    }

    // Waits until every task posted has run.
    void Finish()
    {
        std::unique_lock<std::mutex> lock(FLock);
        FIdle.wait(lock, [this] { return FTasks.empty() && !FBusy; });
        FRan.clear();
        if (FFailure)
            std::rethrow_exception(FFailure);
    }

private:
    static constexpr size_t kMaxQueued = 4;  // two pages: their start and their drawing
    struct TTask {
        std::function<void()> Run;
        bool Cleanup = false;
    };

    void Run()
    {
        std::unique_lock<std::mutex> lock(FLock);
        for (;;) {
            FWake.wait(lock, [this] { return FStop || !FTasks.empty(); });
            if (FTasks.empty())
                return;
            TTask task = std::move(FTasks.front());
            FTasks.pop_front();
            const bool skip = FFailure && !task.Cleanup;
            FBusy = true;
            lock.unlock();
            std::exception_ptr failure;
            if (!skip) {
                try {
                    task.Run();
                } catch (...) {
                    failure = std::current_exception();
                }
            }
            lock.lock();
            FRan.push_back(std::move(task));
            if (failure && !FFailure)
                FFailure = failure;
            FBusy = false;
            FIdle.notify_all();
        }
    }

    std::mutex FLock;
    std::condition_variable FWake, FIdle;
    std::deque<TTask> FTasks;
    // Tasks that ran, released by the posting thread: what they hold was allocated there, and
    // freeing it on the painter thread would contend for that thread's allocator.
    std::deque<TTask> FRan;
    bool FStop = false, FBusy = false;
    std::exception_ptr FFailure;
    std::thread FThread;  // last: it starts once the rest is made
};

// The file a PDF document goes to. A regular file (or a new one) is written under a temporary
// name beside it and put in its place whole when the document is finished: the name never
// holds a document cut short, not while it is written, nor after a failure or Abort (what
// was there stays), and of two documents written to one name at once the one finished last
// is there, whole, with the old file's mode and (where the process may) owner and group.
// Anything else by that name (a device, a pipe) is written to directly. A file in a folder
// that refuses new files, or another's file in a folder with the sticky bit (where only its
// owner may replace it), is not written over in place: that is refused, and the file stays.
// A link is followed as a whole-file save follows it (FinalTarget), planted ones refused.
// Every write is checked: a full disk fails the document instead of leaving half of it.
class TPdfOutput {
public:
    // EPrinter when the file cannot be made.
    explicit TPdfOutput(const AnsiString& fileName) : FName(fileName)
    {
        // Links are followed here, not by Qt, which would follow one another user planted.
        QString path = QString::fromUtf8(AnsiToUtf8(fileName).c_str());
        try {
            path = QFile::decodeName(QByteArray::fromStdString(FinalTarget(QFile::encodeName(path).toStdString(), fileName)));
        } catch (const EFCreateError& e) {
            throw EPrinter(e.Message());
        }
        const QFileInfo info(path);
        if (info.exists() && info.isFile() && OnlyOwnerMayReplace(QFile::encodeName(info.canonicalFilePath()).toStdString()))
            throw EPrinter(Format(msg::kStickyRefusesSave, {fileName}));
        if (info.exists() && !info.isFile()) {
            FFile = std::make_unique<QFile>(path);
        } else {
            FSave = new QSaveFile(path);
            FFile.reset(FSave);
        }
        errno = 0;
        if (!FFile->open(QIODevice::WriteOnly)) {
            const int err = errno ? errno : EACCES;
            const QByteArray folder = QFile::encodeName(info.absolutePath());
            if (FSave && info.exists() && (FolderRefusesNewFiles(errno) || ::access(folder.constData(), W_OK | X_OK) != 0))
                throw EPrinter(Format(msg::kFolderRefusesSave, {fileName, Utf8ToAnsi(std::strerror(err))}));
            throw EPrinter("Cannot create file \"" + fileName + "\". " + FromQString(FFile->errorString()));
        }
        if (FSave && info.exists())
            KeepOwnerAndMode(FSave->handle(), QFile::encodeName(info.canonicalFilePath()).toStdString());
    }
    TPdfOutput(const TPdfOutput&) = delete;
    TPdfOutput& operator=(const TPdfOutput&) = delete;

    QIODevice* Device() { return FFile.get(); }

    // Puts the document in place; EPrinter when any of it could not be written.
    void Commit()
    {
        if (!FFile->isOpen())
            return;
        // The rest goes out first: a write that fails on closing would go unnoticed.
        bool written = FFile->flush() && FFile->error() == QFileDevice::NoError;
        QString why = written ? QString() : FFile->errorString();
        if (FSave) {
            if (!written)
                FSave->cancelWriting();
            if (!FSave->commit() && written) {
                written = false;
                why = FSave->errorString();
            }
        } else {
            FFile->close();
            if (written && FFile->error() != QFileDevice::NoError) {
                written = false;
                why = FFile->errorString();
            }
        }
        if (!written)
            throw EPrinter("Cannot write file \"" + FName + "\". " + FromQString(why));
    }

    // Drops the document: the file by that name stays as it was.
    void Discard()
    {
        if (!FFile->isOpen())
            return;
        if (FSave) {
            FSave->cancelWriting();
            FSave->commit();  // removes the temporary file
        } else {
            FFile->close();
        }
    }

private:
    AnsiString FName;
    std::unique_ptr<QFileDevice> FFile;
    QSaveFile* FSave = nullptr;  // FFile, when it is put in place at the end
};

// A document for a printer's queue. Qt hands its printed documents to CUPS without looking at
// the answer, so a queue that was removed, refuses jobs or cannot be reached would swallow the
// document while the print command reports success. The printer therefore writes the document
// (in the printer's own format and margins) into a temporary file, and the file goes to the
// queue here, once whole, with the answer checked.
class TQueueOutput {
public:
    // EPrinter when the temporary file cannot be made.
    TQueueOutput(const AnsiString& queue, const AnsiString& title) : FQueue(queue), FTitle(title)
    {
        // No ".pdf" suffix: that would turn the printer into Qt's plain PDF writer, without
        // the printer's margins.
        QTemporaryFile file(QDir::tempPath() + "/sklad-print-XXXXXX");
        file.setAutoRemove(false);
        if (!file.open())
            throw EPrinter("Cannot create a temporary file for the printer \"" + queue + "\". " +
                           FromQString(file.errorString()));
        FPath = file.fileName();
    }
    ~TQueueOutput() { QFile::remove(FPath); }
    TQueueOutput(const TQueueOutput&) = delete;
    TQueueOutput& operator=(const TQueueOutput&) = delete;

    const QString& Path() const { return FPath; }

    // Sends the document with the job's sheet, copies and duplex mode; EPrinter when the queue
    // does not take it.
    void Submit(const TPageSetup& setup)
    {
        cups_option_t* options = nullptr;
        int count = 0;
        for (const auto& [name, value] : QueueJobOptions(setup))
            count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
        const QByteArray queue = QString::fromUtf8(AnsiToUtf8(FQueue).c_str()).toLocal8Bit();
        const QByteArray title = QString::fromUtf8(AnsiToUtf8(FTitle).c_str()).toLocal8Bit();
        const int job = cupsPrintFile(queue.constData(), QFile::encodeName(FPath).constData(), title.constData(),
                                      count, options);
        cupsFreeOptions(count, options);
        if (job <= 0)
            throw EPrinter("The printer \"" + FQueue + "\" did not take the document. " +
                           FromQString(QString::fromLocal8Bit(cupsLastErrorString())));
    }

private:
    AnsiString FQueue, FTitle;
    QString FPath;
};

// One document on a paged Qt device (a PDF writer or a printer). The device's page layout
// is set before each page; the painter begins with the first page.
class TQtPagedJob : public TPrintJob {
public:
    // `output`: the file the device writes to, when the job owns it. `threaded`: pages are
    // painted on a thread of their own (see TThreadedPages below).
    TQtPagedJob(std::unique_ptr<QPagedPaintDevice> device, QPrinter* printer, TPoint dpi, TPageSetup first,
                std::function<TSheetGeometry(const TPageSetup&)> geometry,
                std::unique_ptr<TPdfOutput> output = nullptr, bool threaded = false,
                std::unique_ptr<TQueueOutput> queue = nullptr)
        : FOutput(std::move(output)), FQueue(std::move(queue)), FDevice(std::move(device)), FPrinter(printer), FDpi(dpi), FSetup(first),
          FGeometry(std::move(geometry))
    {
        if (threaded)
            FPainterThread = std::make_unique<TPainterThread>();
    }

    ~TQtPagedJob() override
    {
        if (!FDone)
            Abort();
        if (FPainterThread) {
            // Qt's fonts keep per-thread caches: what the painter thread made goes on that thread.
            FPainterThread->Post([this] { FThreadFonts.reset(); }, /*cleanup=*/true);
            try {
                FPainterThread->Finish();
            } catch (...) {
                // a page's failure was reported by EndDoc or is moot once the job is dropped
            }
        }
        FPainterThread.reset();  // joined before the painter and the device go
    }

    void SetPageSetup(const TPageSetup& setup) override { FSetup = setup; }
    TSheetGeometry Geometry() const override { return FGeometry(FSetup); }

    TCanvas& BeginPage() override
    {
        if (FDone)
            throw EPrinter(printer_msg::kNotPrinting);
        if (FInPage)
            EndPage();
        FCanvas.SetDevice(nullptr);
        FPageDevice.reset();
        if (FPainterThread)
            return BeginRecordedPage();
        StartPage(FSetup);
        const TSheetGeometry sheet = Geometry();
        FPageDevice = std::make_unique<TQtPainterDevice>(&FPainter, FDpi.X, FDpi.Y,
                                                         Rect(0, 0, sheet.PageWidth(), sheet.PageHeight()), true);
        FCanvas.SetDevice(FPageDevice.get());
        FInPage = true;
        return FCanvas;
    }

    void EndPage() override
    {
        FInPage = false;
        FCanvas.SetDevice(nullptr);
        FPageDevice.reset();
        if (FRecorder) {
            // The page's calls go to the painter thread, which plays them as this thread drew them.
            auto records = std::make_shared<TDrawRecords>(FRecorder->TakeRecords());
            FRecorder.reset();
            FPainterThread->Post([this, records, bounds = FRecordedBounds] {
                if (!FThreadFonts)
                    FThreadFonts = std::make_unique<TQtFontBackend>();
                TQtPainterDevice device(&FPainter, FDpi.X, FDpi.Y, bounds, true);
                device.SetFontBackend(FThreadFonts.get());
                PlayRecords(*records, device);
            });
        }
    }

    void EndDoc() override
    {
        if (FDone)
            throw EPrinter(printer_msg::kNotPrinting);
        try {
            EndPage();
            FDone = true;
            if (FPainterThread) {
                FPainterThread->Post([this] { FinishPainter(); });
                FPainterThread->Finish();
            } else {
                FinishPainter();
            }
        } catch (...) {
            // A document that failed is dropped as a whole, its painter ended where it painted.
            DropDocument();
            throw;
        }
    }

    void Abort() override
    {
        if (!FDone)
            DropDocument();
    }

private:
    void DropDocument()
    {
        FInPage = false;
        FCanvas.SetDevice(nullptr);
        FPageDevice.reset();
        FRecorder.reset();  // a page not finished is not printed
        FDone = true;
        if (FPainterThread) {
            FPainterThread->Post([this] { AbortPainter(); }, /*cleanup=*/true);
            try {
                FPainterThread->Finish();
            } catch (...) {
                // an earlier page's failure was reported already, or is moot once dropped
            }
            return;
        }
        AbortPainter();
    }

    // Threaded pages. The report draws a page into records while the painter thread paints the
    // pages before it: the painter, the device, the fonts Qt uses for them and the compression
    // of the page streams all stay on that thread, from the first page to the end of the
    // document. Only the start of the document is waited for, so that a device that cannot
    // start fails on the first BeginPage, as without the thread.
    TCanvas& BeginRecordedPage()
    {
        const TPageSetup setup = FSetup;
        const bool first = !FStarted;
        FStarted = true;
        FPainterThread->Post([this, setup] { StartPage(setup); });
        if (first)
            FPainterThread->Finish();
        const TSheetGeometry sheet = Geometry();
        FRecordedBounds = Rect(0, 0, sheet.PageWidth(), sheet.PageHeight());
        FRecorder = std::make_unique<TRecordingDevice>(&DefaultFontBackend(), FDpi.X, FDpi.Y, FRecordedBounds);
        FRecorder->SetPrinter(true);
        FCanvas.SetDevice(FRecorder.get());
        FInPage = true;
        return FCanvas;
    }

    // The device's page for `setup`: the first begins the painter, the others a new page.
    void StartPage(const TPageSetup& setup)
    {
        QPageLayout layout = PageLayoutFor(setup);
        if (FPrinter) {
            // Copies and duplex belong to the whole document: the printer takes them before it
            // starts, from the first page.
            if (!FPainter.isActive()) {
                // Copies the driver makes are uncollated: collated copies are printed page run
                // by page run by the print loop itself, asking the driver for one.
                FPrinter->setCopyCount(std::max(1, setup.Copies));
                FPrinter->setCollateCopies(false);
                FPrinter->setDuplex(setup.Duplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                                    : setup.Duplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                                        : QPrinter::DuplexNone);
                FDocumentSetup = setup;
            }
            // The painter's origin is the corner of the printable area the report was told
            // of (the sheet's geometry, in millimetres), so its shift by those margins lands
            // the page on the sheet's corner.
            const TSheetGeometry sheet = FGeometry(setup);
            layout.setMargins(QMarginsF(sheet.LeftMargin, sheet.TopMargin, sheet.RightMargin, sheet.BottomMargin));
        }
        FDevice->setPageLayout(layout);
        if (!FPainter.isActive()) {
            if (!FPainter.begin(FDevice.get()))
                throw EPrinter("Cannot start the document: the printer or file is not available");
        } else if (!FDevice->newPage()) {
            throw EPrinter("Cannot start a new page");
        }
    }

    // The end of the document, on the thread that painted it. A document without a page
    // leaves its file as it was.
    void FinishPainter()
    {
        if (!FPainter.isActive()) {
            if (FOutput)
                FOutput->Discard();
            return;
        }
        if (!FPainter.end())
            throw EPrinter("The document could not be finished");
        if (FOutput)
            FOutput->Commit();
        if (FQueue)
            FQueue->Submit(FDocumentSetup);
    }

    void AbortPainter()
    {
        if (FPrinter)
            FPrinter->abort();
        if (FPainter.isActive())
            FPainter.end();
        if (FOutput)
            FOutput->Discard();
    }

    std::unique_ptr<TPdfOutput> FOutput;  // before the device, which writes to it to the end
    std::unique_ptr<TQueueOutput> FQueue;  // likewise: the printer's file for its queue
    std::unique_ptr<QPagedPaintDevice> FDevice;
    QPrinter* FPrinter;  // FDevice itself when printing on a printer
    TPoint FDpi;
    TPageSetup FSetup;
    TPageSetup FDocumentSetup;  // the first page's: copies and duplex of the whole document
    std::function<TSheetGeometry(const TPageSetup&)> FGeometry;
    QPainter FPainter;
    std::unique_ptr<TQtPainterDevice> FPageDevice;
    TCanvas FCanvas;
    bool FInPage = false, FDone = false;
    // Threaded pages: the page being recorded, and what the painter thread alone uses.
    std::unique_ptr<TRecordingDevice> FRecorder;
    TRect FRecordedBounds;
    bool FStarted = false;
    std::unique_ptr<TQtFontBackend> FThreadFonts;
    std::unique_ptr<TPainterThread> FPainterThread;
};

std::vector<TNamedCode> TablePapers()
{
    std::vector<TNamedCode> papers;
    for (const TPaperInfo& p : PaperTable()) {
        const QPageSize::PageSizeId id = QPageSize::id(p.Code);
        AnsiString name = id != QPageSize::Custom ? FromQString(QPageSize::name(id)) : PaperName(p.Code);
        papers.push_back({name.empty() ? "Paper " + std::to_string(p.Code) : name, p.Code});
    }
    return papers;
}

}  // namespace

// ---------------------------------------------------------------- PDF

std::vector<TNamedCode> TQtPdfDevice::Papers()
{
    return TablePapers();
}

std::unique_ptr<TPrintJob> TQtPdfDevice::BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                  const TPageSetup& first)
{
    if (fileName.empty())
        throw EPrinter(printer_msg::kNoOutputFile);
    auto output = std::make_unique<TPdfOutput>(fileName);
    auto writer = std::make_unique<QPdfWriter>(output->Device());
    writer->setResolution(FDpi);
    writer->setTitle(ToQString(title));
    writer->setCreator("Korvel");
    const int dpi = FDpi;
    return std::make_unique<TQtPagedJob>(std::move(writer), nullptr, TPoint{dpi, dpi}, first,
                                         [dpi](const TPageSetup& s) { return SheetFor(s, {dpi, dpi}, 0); },
                                         std::move(output), /*threaded=*/true);
}

// ---------------------------------------------------------------- system printers

TQtPrinterDevice::TQtPrinterDevice(const AnsiString& name) : FName(name) {}

std::vector<TNamedCode> TQtPrinterDevice::Papers()
{
    std::vector<TNamedCode> papers;
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int code = size.windowsId();
        if (code > 0 && code != DMPAPER_USER)
            papers.push_back({FromQString(size.name()), code});
    }
    return papers.empty() ? TablePapers() : papers;
}

TPageSetup TQtPrinterDevice::DefaultSetup()
{
    TPageSetup setup;
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    const QPageSize size = info.defaultPageSize();
    if (size.isValid()) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        setup.PaperWidth = mm.width();
        setup.PaperHeight = mm.height();
        const int code = size.windowsId();
        setup.PaperCode = code > 0 && FindPaper(code) ? code : PaperCodeForSize(mm.width(), mm.height());
    }
    return setup;
}

TSheetGeometry TQtPrinterDevice::Geometry(const TPageSetup& setup)
{
    QPrinter printer(QPrinterInfo::printerInfo(ToQString(FName)), QPrinter::HighResolution);
    printer.setPageLayout(PageLayoutFor(setup));
    TSheetGeometry g = SheetFor(setup, {printer.resolution(), printer.resolution()}, 0);
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    g.LeftMargin = m.left();
    g.TopMargin = m.top();
    g.RightMargin = m.right();
    g.BottomMargin = m.bottom();
    return g;
}

std::unique_ptr<TPrintJob> TQtPrinterDevice::BeginDoc(const AnsiString& title, const AnsiString& fileName,
                                                      const TPageSetup& first)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(ToQString(FName));
    if (info.isNull())
        throw EPrinter(printer_msg::kInvalidPrinter);
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(ToQString(title));
    printer->setFullPage(false);
    std::unique_ptr<TQueueOutput> queue;
    if (fileName.empty()) {
        queue = std::make_unique<TQueueOutput>(FName, title);
        printer->setOutputFileName(queue->Path());
    } else {
        printer->setOutputFileName(QString::fromUtf8(AnsiToUtf8(fileName).c_str()));
    }
    QPrinter* raw = printer.get();
    const int dpi = printer->resolution();
    const AnsiString name = FName;  // the job may outlive this device object
    return std::make_unique<TQtPagedJob>(
        std::move(printer), raw, TPoint{dpi, dpi}, first,
        [name](const TPageSetup& s) { return TQtPrinterDevice(name).Geometry(s); }, nullptr, false, std::move(queue));
}

const char* const kPdfPrinterName = "Печать в PDF";

std::vector<TPrinterInfo> TQtPrinterSystem::Printers()
{
    std::vector<TPrinterInfo> list;
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        list.push_back({FromQString(name), {}, name == def});
    list.push_back({kPdfPrinterName, {}, false});
    return list;
}

AnsiString TQtPrinterSystem::DefaultPrinter()
{
    return FromQString(QPrinterInfo::defaultPrinterName());
}

std::unique_ptr<TPrintDevice> TQtPrinterSystem::Open(const AnsiString& name)
{
    // A queue of that very name comes first, as it does in the list.
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        if (AnsiSameText(FromQString(n), name))
            return std::make_unique<TQtPrinterDevice>(FromQString(n));
    if (AnsiSameText(name, kPdfPrinterName))
        return std::make_unique<TQtPdfDevice>();
    throw EPrinter(printer_msg::kInvalidPrinter);
}
