// The Qt backends of the graphics and printing layers, on the offscreen platform.
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/printers/PrinterConsts.h"
#include "platform/printers/Printers.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtCanvasWidget.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtGraphics.h"
#include "platform/qt/QtPrinting.h"
#include "platform/qt/QtText.h"
#include "platform/qt/tests/QtTestApp.h"
#include "platform/rtl/testing/SharedFolder.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class QtGraphics : public testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        InstallQtGraphics();
    }
    void TearDown() override { UninstallQtGraphics(); }
};

int DarkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
    return dark;
}

// ---------------------------------------------------------------- font metrics

TEST_F(QtGraphics, WindowsNamesMeasureAsTheirLiberationFamilies)
{
    TQtFontBackend& fonts = QtFontBackend();
    const TFontSpec arial{"Arial", -13, {}}, tahoma{"Tahoma", -13, {}}, liberation{"Liberation Sans", -13, {}};
    const double w = fonts.TextWidth(arial, "Hello, world");
    EXPECT_GT(w, 40);
    EXPECT_DOUBLE_EQ(w, fonts.TextWidth(tahoma, "Hello, world"));
    EXPECT_DOUBLE_EQ(w, fonts.TextWidth(liberation, "Hello, world"));
    const TFontSpec mono{"Courier New", -10, {}};
    EXPECT_DOUBLE_EQ(fonts.TextWidth(mono, "iiii"), fonts.TextWidth(mono, "WWWW"));  // Liberation Mono
    const TFontMetrics m = fonts.GetMetrics(arial);
    EXPECT_NEAR(m.Height, m.Ascent + m.Descent, 1e-9);
    EXPECT_GT(m.Ascent, m.Descent);
}

TEST_F(QtGraphics, WidthsAreSumsOfAdvancesAndScaleWithTheSize)
{
    TQtFontBackend& fonts = QtFontBackend();
    const TFontSpec small{"Arial", -13, {}}, large{"Arial", -130, {}}, bold{"Arial", -13, {fsBold}};
    const AnsiString text = "Итого к оплате: 1 234,50";
    std::vector<double> advances;
    fonts.GetAdvances(small, text, advances);
    double sum = 0;
    for (double a : advances)
        sum += a;
    EXPECT_DOUBLE_EQ(sum, fonts.TextWidth(small, text));
    // No hinting: ten times the size is ten times the width, to the advances' 1/64 pixel.
    EXPECT_NEAR(fonts.TextWidth(large, text), 10 * fonts.TextWidth(small, text), 0.002 * fonts.TextWidth(large, text));
    EXPECT_GT(fonts.TextWidth(bold, text), fonts.TextWidth(small, text));
    EXPECT_NE(advances[0], fonts.TextWidth(small, "?"));  // Cyrillic is measured, not replaced
}

// ---------------------------------------------------------------- painting

TEST_F(QtGraphics, ImageCanvasPaintsShapesAndText)
{
    TQtImageCanvas image(120, 60);
    TCanvas& c = image.Canvas();
    c.GetBrush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 10, 10));
    c.GetPen()->SetColor(clBlue);
    c.GetBrush()->SetStyle(bsClear);
    c.Rectangle(20, 0, 30, 10);
    c.GetFont()->SetName("Arial");
    c.GetFont()->SetHeight(-20);
    c.GetFont()->SetColor(clBlack);
    c.TextOut(40, 30, "Тест");
    const QImage& img = image.Image();
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(10, 5), qRgb(255, 255, 255));  // FillRect stops before Right
    EXPECT_EQ(img.pixel(20, 5), qRgb(0, 0, 255));      // outline
    EXPECT_EQ(img.pixel(29, 5), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(25, 5), qRgb(255, 255, 255));  // clear brush
    c.GetPen()->SetColor(clBlack);
    c.MoveTo(0, 20);
    c.LineTo(10, 20);  // the end point stays unpainted, as on the platform
    EXPECT_EQ(img.pixel(9, 20), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(10, 20), qRgb(255, 255, 255));
    const int width = c.TextWidth("Тест");
    EXPECT_GT(DarkPixels(img, QRect(40, 30, width, 20)), 20);
    EXPECT_EQ(DarkPixels(img, QRect(40, 0, 80, 29)), 0);  // nothing above the cell
    EXPECT_EQ(c.GetPixel(5, 5), clRed);
}

// The rightmost column with ink in `area`, or area.left() - 1 without any.
int LastInkColumn(const QImage& image, const QRect& area)
{
    for (int x = area.right(); x >= area.left(); --x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < 160)
                return x;
    return area.left() - 1;
}

// A line laid out with advances narrower than the glyphs (by rounding on a printer, by far
// on a screen) keeps to its end on both kinds of device: a vector page (one glyph run) and
// a pixel device (glyph by glyph).
// A frame is drawn side by side as lines: with a pen wider than a pixel the lines' round ends
// close the outer corner where two sides meet, as the platform's geometric pens do.
TEST_F(QtGraphics, WideLinesMeetingAtACornerCloseIt)
{
    for (int width : {3, 5, 9}) {
        SCOPED_TRACE(width);
        TQtImageCanvas image(60, 60);
        TCanvas& c = image.Canvas();
        c.GetPen()->SetColor(clBlack);
        c.GetPen()->SetWidth(width);
        c.MoveTo(20, 20);
        c.LineTo(50, 20);  // top side
        c.MoveTo(20, 20);
        c.LineTo(20, 50);  // left side
        const QImage& img = image.Image();
        // The pixel diagonally outside the corner, inside both pens' half widths.
        const int d = width / 2 - 1;
        EXPECT_LT(qGray(img.pixel(20 - d, 20 - d)), 128) << "the outer corner is closed";
        EXPECT_EQ(img.pixel(20 - width, 20 - width), qRgb(255, 255, 255)) << "and no more";
    }
}

TEST_F(QtGraphics, TextNeverRunsPastTheEndOfItsAdvances)
{
    struct Case {
        const char* why;
        double scale;  // advances given / the font's own (0: none given)
        bool clipped;  // a clip rectangle ending 10 dots before the run's end
    };
    const Case cases[] = {
        {"the font's own advances", 0, false},
        {"advances rounded down to whole dots", -1, false},
        {"advances a tenth narrower", 0.9, false},
        {"advances half the glyphs' widths", 0.5, false},
        {"a clip rectangle shorter than the text", 1, true},
    };
    const TFontSpec arial{"Arial", -40, {}};
    const AnsiString text = "Шкаф WWW 1234,50";
    std::vector<double> own;
    QtFontBackend().GetAdvances(arial, text, own);
    for (const Case& c : cases) {
        std::vector<int> dx;
        for (double a : own)
            dx.push_back(c.scale < 0 ? int(std::floor(a)) : int(std::lround(a * (c.scale > 0 ? c.scale : 1))));
        int end = 10;
        for (size_t i = 0; i < dx.size(); ++i)
            end += c.scale == 0 ? 0 : dx[i];
        if (c.scale == 0)
            end = 10 + int(std::ceil(QtFontBackend().TextWidth(arial, text)));
        for (bool vector : {true, false}) {
            SCOPED_TRACE(std::string(c.why) + (vector ? ", vector page" : ", pixel device"));
            QImage image(900, 80, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            {
                TQtPainterDevice device(&painter, 96, 96, Rect(0, 0, 900, 80), vector, vector ? nullptr : &image);
                TCanvas canvas(&device);
                canvas.GetFont()->SetName("Arial");
                canvas.GetFont()->SetHeight(-40);
                canvas.GetBrush()->SetStyle(bsClear);
                const TRect rect = Rect(10, 10, c.clipped ? end - 10 : 890, 70);
                canvas.ExtTextOut(10, 10, c.clipped ? ETO_CLIPPED : 0, &rect, text,
                                  c.scale == 0 ? nullptr : dx.data());
            }  // a vector page draws what it held back when it goes
            painter.end();
            const int last = LastInkColumn(image, QRect(0, 0, 900, 80));
            EXPECT_GT(last, end - 40) << "the text is drawn";
            EXPECT_LT(last, c.clipped ? end - 10 : end);
            EXPECT_EQ(DarkPixels(image, QRect(0, 0, 9, 80)), 0) << "nothing before the run's start";
        }
    }
}

TEST_F(QtGraphics, BitmapCanvasPaintsThroughQt)
{
    TBitmap b;
    b.SetSize(80, 30);
    TCanvas* c = b.GetCanvas();
    c->GetFont()->SetHeight(-20);
    c->GetFont()->SetColor(clBlack);
    c->GetBrush()->SetStyle(bsClear);
    c->TextOut(2, 2, "Wg");
    int dark = 0;
    for (uint32_t p : b.Pixels().Pixels)
        dark += qGray(QRgb(p)) < 128;
    EXPECT_GT(dark, 10);  // glyphs, which only a real font device draws
    c->SetPixel(79, 29, clGreen);
    EXPECT_EQ(c->GetPixel(79, 29), clGreen);
}

TEST_F(QtGraphics, PaintBoxPaintsThroughItsCanvasInAWidget)
{
    TPaintBox box(nullptr);
    box.SetBounds(0, 0, 40, 30);
    box.OnPaint = TNotifyEvent::Lambda([&](TObject*) {
        box.GetCanvas()->GetBrush()->SetColor(clLime);
        box.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
    });
    TQtCanvasWidget widget(box);
    widget.resize(40, 30);
    const QImage shot = widget.grab().toImage();
    EXPECT_EQ(shot.pixel(20, 15), qRgb(0, 255, 0));
    EXPECT_FALSE(box.GetCanvas()->HandleAllocated());  // detached after the paint
}

// ---------------------------------------------------------------- PDF

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A file of this run's own folder: two runs at once (the suites of two builds on one machine)
// never write, read or remove each other's files. The folder goes when the run ends.
std::string RunPath(const std::string& name)
{
    static const struct TRunFolder {
        std::string Path;
        TRunFolder()
        {
            std::string pattern = testing::TempDir() + "qt_graphics_XXXXXX";
            Path = ::mkdtemp(pattern.data()) ? pattern + "/" : testing::TempDir();
        }
        ~TRunFolder()
        {
            std::error_code ec;
            if (Path != testing::TempDir())
                std::filesystem::remove_all(Path, ec);
        }
    } folder;
    return folder.Path + name;
}

// The tool is started with fork() and exec, not QProcess: Qt starts programs with a vfork-like
// clone that runs in this process's memory and that the thread checker does not see, which
// leaves it blind to this thread's later locking and makes it report races that are not there.
QString RunTool(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return {};
    std::vector<std::string> words{exe.toStdString()};
    for (const QString& a : args)
        words.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; pid > 0 && (n = read(out[0], buf, sizeof buf)) != 0;) {
        if (n > 0)
            text.append(buf, static_cast<size_t>(n));
        else if (errno != EINTR)
            break;
    }
    close(out[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return QString::fromStdString(text);
}

// ---------------------------------------------------------------- stretch modes

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

// Two by two squares of red and blue.
TBitmap& Checker()
{
    static TBitmap checker;
    if (checker.Empty()) {
        TPixelBuffer p;
        p.Width = p.Height = 2;
        p.Pixels = {0xFF000000u | kRed, 0xFF000000u | kBlue, 0xFF000000u | kBlue, 0xFF000000u | kRed};
        checker.SetSize(2, 2);
        checker.SetPixels(std::move(p));
    }
    return checker;
}

std::set<uint32_t> ColoursOf(const TPixelBuffer& p)
{
    std::set<uint32_t> colours;
    for (uint32_t v : p.Pixels)
        colours.insert(v & 0xFFFFFF);
    return colours;
}

std::set<uint32_t> ColoursOf(const QImage& image)
{
    std::set<uint32_t> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

void DrawChecker(TCanvas& canvas, int mode, int size)
{
    EXPECT_EQ(canvas.SetStretchBltMode(mode), HALFTONE) << "a canvas starts smoothing";
    canvas.StretchDraw(Rect(0, 0, size, size), &Checker());
}

// The checker drawn 40 pixels wide in a stretch mode, on each device, and what came out.
std::set<uint32_t> OnRaster(int mode)
{
    TPixelBuffer p;
    p.Width = p.Height = 40;
    p.Pixels.assign(40 * 40, 0xFFFFFFFFu);
    TRasterDevice device(p);
    TCanvas canvas(&device);
    DrawChecker(canvas, mode, 40);
    canvas.SetDevice(nullptr);
    return ColoursOf(p);
}

std::set<uint32_t> RecordedOnRaster(int mode)
{
    TRecordingCanvas recorded;
    DrawChecker(recorded.Canvas, mode, 40);
    TPixelBuffer p;
    p.Width = p.Height = 40;
    p.Pixels.assign(40 * 40, 0xFFFFFFFFu);
    TRasterDevice device(p);
    PlayRecords(recorded.Device.Records(), device);
    return ColoursOf(p);
}

std::set<uint32_t> OnQtImage(int mode)
{
    TQtImageCanvas image(40, 40);
    DrawChecker(image.Canvas(), mode, 40);
    return ColoursOf(image.Image());
}

// A printer page records at its resolution; here the page is played 6.25 times larger,
// as a 96-dpi recording reaches a 600-dpi sheet.
std::set<uint32_t> RecordedOnQtAtPrinterScale(int mode)
{
    TRecordingCanvas recorded;
    DrawChecker(recorded.Canvas, mode, 40);
    TQtImageCanvas image(250, 250, 600);
    PlayRecords(recorded.Device.Records(), *image.Canvas().GetDevice(), 6.25, 6.25);
    return ColoursOf(image.Image());
}

// The mode travels in the metafile's stream, whatever the mode of the canvas it is drawn on.
std::set<uint32_t> MetafileThroughItsStream(int mode)
{
    TMetafile drawn;
    {
        TMetafileCanvas canvas(&drawn);
        DrawChecker(canvas, mode, 40);
    }
    const AnsiString bytes = drawn.Encode();
    TMetafile loaded;
    loaded.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    TQtImageCanvas image(80, 80);
    image.Canvas().StretchDraw(Rect(0, 0, 80, 80), &loaded);
    return ColoursOf(image.Image());
}

TEST_F(QtGraphics, ColourOnColourStretchKeepsOnlyThePictureColoursOnEveryDevice)
{
    struct Case {
        const char* device;
        std::set<uint32_t> (*draw)(int mode);
        bool smooths;  // in the default mode
    };
    const Case kCases[] = {
        {"software raster", OnRaster, false},
        {"recording played on the software raster", RecordedOnRaster, false},
        {"Qt image", OnQtImage, true},
        {"recording played on Qt at printer scale", RecordedOnQtAtPrinterScale, true},
        {"metafile saved, loaded and drawn on Qt", MetafileThroughItsStream, true},
    };
    const std::set<uint32_t> checker{kRed, kBlue};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(c.draw(COLORONCOLOR), checker);
        const std::set<uint32_t> smoothed = c.draw(HALFTONE);
        if (c.smooths)
            EXPECT_GT(smoothed.size(), 2u) << "the default mode blends neighbouring pixels";
        else
            EXPECT_EQ(smoothed, checker);
    }
}

// On a PDF page a picture stretched colour on colour keeps its own pixels and is not
// marked for smoothing: the viewer or printer enlarges it at its own resolution.
TEST_F(QtGraphics, PdfKeepsAColourOnColourPictureAtItsOwnSize)
{
    const std::string path = RunPath("qt_graphics_stretch.pdf");
    std::remove(path.c_str());
    TQtPdfDevice pdf(600);
    std::unique_ptr<TPrintJob> job = pdf.BeginDoc("Stretch", path, TPageSetup{});
    TCanvas& page = job->BeginPage();
    page.SetStretchBltMode(COLORONCOLOR);
    page.StretchDraw(Rect(600, 600, 850, 850), &Checker());
    job->EndPage();
    job->EndDoc();
    const QString list = RunTool("pdfimages", {"-list", QString::fromStdString(path)});
    std::remove(path.c_str());
    if (list.isEmpty())
        GTEST_SKIP() << "no pdfimages";
    // page num type width height color comp bpc enc interp ...
    EXPECT_TRUE(list.contains(QRegularExpression("\\n\\s*1\\s+\\d+\\s+image\\s+2\\s+2\\s+\\S+\\s+\\d+\\s+\\d+\\s+\\S+\\s+no\\s")))
        << list.toStdString();
}

TEST_F(QtGraphics, PdfDocumentHasItsPagesSheetsAndText)
{
    const std::string path = RunPath("qt_graphics_test.pdf");
    std::remove(path.c_str());
    TQtPdfDevice pdf(600);
    TPageSetup setup;  // A4 portrait
    std::unique_ptr<TPrintJob> job = pdf.BeginDoc("Проверка", path, setup);
    TCanvas& page1 = job->BeginPage();
    EXPECT_EQ(page1.PixelsPerInchY(), 600);
    page1.GetFont()->SetName("Arial");
    page1.GetFont()->SetSize(14);  // a printer canvas keeps the points at 600 dpi
    page1.TextOut(600, 600, "Накладная 17");
    EXPECT_EQ(page1.GetFont()->GetHeight(), -117);
    job->EndPage();
    setup.Orientation = poLandscape;
    job->SetPageSetup(setup);
    EXPECT_EQ(job->Geometry().PageWidth(), 7016);  // 297 mm at 600 dpi
    TCanvas& page2 = job->BeginPage();
    page2.Rectangle(100, 100, 7000, 4900);
    page2.TextOut(600, 600, "Second page");
    job->EndDoc();

    const std::string bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", "2", QString::fromStdString(path)});
    if (!info.isEmpty()) {
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2"))) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+1 size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)?"))) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+2 size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)?"))) << info.toStdString();
        EXPECT_TRUE(info.contains(ToQString("Проверка"))) << info.toStdString();
    }
    const QString text = RunTool("pdftotext", {QString::fromStdString(path), "-"});
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(ToQString("Накладная 17"))) << text.toStdString();
        EXPECT_TRUE(text.contains("Second page")) << text.toStdString();
    }
    std::remove(path.c_str());
}

TEST_F(QtGraphics, PdfPagesPaintedBesideTheDrawingKeepTheirOrderSheetsAndText)
{
    // Pages are painted on a thread of their own while the next is drawn, a few pages behind:
    // more pages than it holds, each on its own sheet, come out in order, as drawn.
    const std::string path = RunPath("qt_graphics_threaded.pdf");
    std::remove(path.c_str());
    TQtPdfDevice pdf(300);
    TPageSetup setup;
    std::unique_ptr<TPrintJob> job = pdf.BeginDoc("Pages", path, setup);
    const int pages = 9;
    for (int i = 1; i <= pages; ++i) {
        setup.Orientation = i % 3 == 0 ? poLandscape : poPortrait;
        job->SetPageSetup(setup);
        TCanvas& c = job->BeginPage();
        c.GetFont()->SetName("Arial");
        c.GetFont()->SetSize(12);
        c.TextOut(300, 300, "Страница " + IntToStr(i));
        c.Rectangle(100, 100, 1000, 700);
        if (i % 2 == 0)
            job->EndPage();  // an odd page is ended by the next BeginPage
    }
    job->EndDoc();
    EXPECT_THROW(job->EndDoc(), EPrinter);
    job.reset();

    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", QString::number(pages), QString::fromStdString(path)});
    if (!info.isEmpty()) {
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+" + QString::number(pages)))) << info.toStdString();
        for (int i = 1; i <= pages; ++i) {
            const QString size = i % 3 == 0 ? "84[12](\\.\\d+)? x 595" : "595(\\.\\d+)? x 84[12]";
            EXPECT_TRUE(info.contains(QRegularExpression(QString("Page\\s+%1 size:\\s+").arg(i) + size)))
                << "page " << i << "\n" << info.toStdString();
        }
    }
    for (int i = 1; i <= pages; ++i) {
        const QString text = RunTool("pdftotext", {"-f", QString::number(i), "-l", QString::number(i),
                                                   QString::fromStdString(path), "-"});
        if (text.isEmpty())
            break;
        EXPECT_EQ(text.trimmed(), ToQString("Страница " + IntToStr(i))) << "page " << i;
    }
    std::remove(path.c_str());
}

TEST_F(QtGraphics, AnAbortedOrDroppedPdfJobEndsItsPainterAndLetsTheFileBeWrittenAgain)
{
    const std::string path = RunPath("qt_graphics_aborted.pdf");
    for (const bool abort : {true, false}) {
        SCOPED_TRACE(abort ? "Abort" : "the job destroyed in the middle of a page");
        TQtPdfDevice pdf(300);
        std::unique_ptr<TPrintJob> job = pdf.BeginDoc("x", path, TPageSetup{});
        for (int i = 0; i < 6; ++i)
            job->BeginPage().TextOut(100, 100, "page");
        if (abort) {
            job->Abort();
            EXPECT_THROW(job->BeginPage(), EPrinter);
        }
        job.reset();
        std::unique_ptr<TPrintJob> again = pdf.BeginDoc("x", path, TPageSetup{});
        again->BeginPage().TextOut(100, 100, "again");
        again->EndDoc();
        const std::string bytes = ReadAll(path);
        ASSERT_GE(bytes.size(), 5u);
        EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    }
    std::remove(path.c_str());
}

// A PDF saved over a file keeps what the file had: in a folder that refuses new files the
// old file stays (it is not written over in place), and a replaced file keeps its mode and
// group.
TEST_F(QtGraphics, APdfSavedOverAFileKeepsItOrItsModeAndGroup)
{
    char pattern[] = "/tmp/sklad_pdf_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern, path = dir + "/invoice.pdf";
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), 0640);
    const gid_t group = AnotherGroupOfMine();
    if (group != gid_t(-1))
        ASSERT_EQ(::chown(path.c_str(), uid_t(-1), group), 0);
    struct stat before {};
    ::stat(path.c_str(), &before);
    auto print = [&] {
        TQtPdfDevice pdf(300);
        std::unique_ptr<TPrintJob> job = pdf.BeginDoc("x", path, TPageSetup{});
        job->BeginPage().TextOut(100, 100, "new");
        job->EndDoc();
    };

    if (RefuseNewFiles(dir, true)) {
        std::string message;
        try {
            print();
        } catch (const EPrinter& e) {
            message = e.Message();
        }
        RefuseNewFiles(dir, false);
        EXPECT_NE(message.find("does not allow new files"), std::string::npos) << message;
        EXPECT_EQ(ReadAll(path), "old");
    } else {
        std::cout << "skipped the refusing folder: this file system has none for this user\n";
    }

    print();
    EXPECT_EQ(ReadAll(path).substr(0, 5), "%PDF-");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (group != gid_t(-1))
        EXPECT_EQ(after.st_gid, group);
    else
        std::cout << "group not checked: the user belongs to one group only\n";
    std::filesystem::remove_all(dir);
}

// Page `i` of a job says "<job> <i>".
void PrintJobPage(TPrintJob& job, const AnsiString& name, int i)
{
    TCanvas& c = job.BeginPage();
    c.GetFont()->SetName("Arial");
    c.TextOut(300, 300, name + " " + IntToStr(i));
}

// Each page of a job's file says "<job> <page>", in order, and no other page is there.
void ExpectJobPages(const std::string& path, const AnsiString& job, int pages)
{
    const std::string bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 5u) << job;
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-") << job;
    const QString info = RunTool("pdfinfo", {QString::fromStdString(path)});
    if (!info.isEmpty()) {
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+" + QString::number(pages)))) << job << info.toStdString();
    }
    for (int i = 1; i <= pages; ++i) {
        const QString text = RunTool("pdftotext", {"-f", QString::number(i), "-l", QString::number(i),
                                                   QString::fromStdString(path), "-"});
        if (text.isEmpty())
            break;
        EXPECT_EQ(text.trimmed(), ToQString(job + " " + IntToStr(i))) << "page " << i;
    }
}

TEST_F(QtGraphics, PdfJobsInARowOrSideBySideEachPaintTheirOwnPagesWhileOthersAreDropped)
{
    // Every job has a painter thread of its own: jobs one after another on one device, a job
    // dropped in the middle between them, and two jobs open at once must not mix their pages.
    auto pathOf = [](int job) { return RunPath("qt_graphics_job" + std::to_string(job) + ".pdf"); };
    auto page = PrintJobPage;
    struct Case {
        const char* Name;
        bool SideBySide;
    };
    for (const Case& t : {Case{"in a row", false}, Case{"side by side", true}}) {
        SCOPED_TRACE(t.Name);
        TQtPdfDevice first(150), second(150);
        std::vector<std::unique_ptr<TPrintJob>> open;
        for (int j = 0; j < 4; ++j) {
            const AnsiString name = "Job" + IntToStr(j);
            TQtPdfDevice& pdf = j % 2 == 0 ? first : second;
            if (j == 2) {  // dropped after more pages than the painter holds, in a page
                std::unique_ptr<TPrintJob> dropped = pdf.BeginDoc("dropped", pathOf(9), TPageSetup{});
                for (int i = 1; i <= 5; ++i)
                    page(*dropped, "dropped", i);
            }
            open.push_back(pdf.BeginDoc(name, pathOf(j), TPageSetup{}));
            if (!t.SideBySide) {
                for (int i = 1; i <= 3 + j; ++i)
                    page(*open.back(), name, i);
                open.back()->EndDoc();
                open.back().reset();
            }
        }
        if (t.SideBySide) {
            for (int i = 1; i <= 6; ++i)
                for (int j = 0; j < 4; ++j)
                    if (i <= 3 + j)
                        page(*open[j], "Job" + IntToStr(j), i);
            for (auto& job : open)
                job->EndDoc();
            open.clear();
        }
        for (int j = 0; j < 4; ++j) {
            ExpectJobPages(pathOf(j), "Job" + IntToStr(j), 3 + j);
            std::remove(pathOf(j).c_str());
        }
        std::remove(pathOf(9).c_str());
    }
}

// While it lives, no file grows past `bytes`, as on a full disk.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldSignal);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldSignal)(int) = SIG_DFL;
};

TEST_F(QtGraphics, APdfFileHoldsAWholeDocumentOrTheOneBeforeItHowEverItsJobsEnd)
{
    // Once EndDoc has returned, the file holds the job's whole document; after a job that
    // failed or was dropped it holds what it held before. Never a document cut short, nor two
    // written over each other, whatever other job writes the same file.
    const std::string path = RunPath("qt_graphics_whole.pdf");
    TQtPdfDevice pdf(150);
    auto print = [&](const AnsiString& name, int pages) {
        std::unique_ptr<TPrintJob> job = pdf.BeginDoc(name, path, TPageSetup{});
        for (int i = 1; i <= pages; ++i)
            PrintJobPage(*job, name, i);
        return job;
    };
    struct Case {
        const char* Name;
        std::function<void()> Run;
        AnsiString Holds;
        int Pages;
    };
    const Case cases[] = {
        {"ended", [&] { print("New", 3)->EndDoc(); }, "New", 3},
        {"aborted", [&] { print("New", 3)->Abort(); }, "Old", 1},
        {"dropped in a page", [&] { print("New", 5); }, "Old", 1},
        {"no page", [&] { print("New", 0)->EndDoc(); }, "Old", 1},
        {"two at once, ended in turn",
         [&] {
             auto other = print("Other", 6);
             auto job = print("New", 2);
             other->EndDoc();
             job->EndDoc();
         },
         "New", 2},
        {"two at once, the other dropped",
         [&] {
             auto other = print("Other", 6);
             auto job = print("New", 2);
             other.reset();
             job->EndDoc();
         },
         "New", 2},
        {"after a job dropped in a page",
         [&] {
             print("Other", 5);
             print("New", 3)->EndDoc();
         },
         "New", 3},
        {"on a full disk",
         [&] {
             auto job = print("New", 3);
             TFileSizeLimit full(1000);
             EXPECT_THROW(job->EndDoc(), EPrinter);
         },
         "Old", 1},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.Name);
        print("Old", 1)->EndDoc();
        t.Run();
        ExpectJobPages(path, t.Holds, t.Pages);
        int files = 0;  // no temporary file is left beside it
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
            files += entry.path().filename().string().rfind("qt_graphics_whole", 0) == 0;
        EXPECT_EQ(files, 1);
    }
    std::remove(path.c_str());

    // What is not a file is written to directly, and its failures are reported as well.
    if (QFile::exists("/dev/full")) {
        std::unique_ptr<TPrintJob> job = pdf.BeginDoc("Full", "/dev/full", TPageSetup{});
        PrintJobPage(*job, "Full", 1);
        EXPECT_THROW(job->EndDoc(), EPrinter);
    }
}

// In a folder with the sticky bit (as /tmp) a user may be allowed to write another's file but
// not to replace it. Writing over it in place would lose the old document to a failure half-way,
// so the save is refused and the file stays; the file's owner has it replaced whole. The same
// holds for a PDF document and for a file saved whole.
TEST_F(QtGraphics, AFileAnotherOwnsInAStickyFolderIsRefusedNotWrittenInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the job is run as another user";
    const uid_t nobody = 65534;
    std::string top = "/tmp/qt_graphics_sticky_XXXXXX";
    ASSERT_NE(::mkdtemp(top.data()), nullptr);
    const std::string folder = top + "/shared";
    std::filesystem::create_directory(folder);
    ::chmod(top.c_str(), 0755);
    ::chmod(folder.c_str(), 01777);
    TQtPdfDevice pdf(150);
    const auto pdfOf = [&](const AnsiString& name, int pages) {
        return [&pdf, name, pages](const std::string& path) {
            std::unique_ptr<TPrintJob> job = pdf.BeginDoc(name, path, TPageSetup{});
            for (int i = 1; i <= pages; ++i)
                PrintJobPage(*job, name, i);
            job->EndDoc();
        };
    };
    const auto linesOf = [](const char* text) {
        return [text](const std::string& path) {
            TStringList lines;
            lines.SetText(text);
            lines.SaveToFile(path);
        };
    };
    const auto pagesAre = [](const AnsiString& name, int pages) {
        return [name, pages](const std::string& path) { ExpectJobPages(path, name, pages); };
    };
    const auto textIs = [](const char* text) {
        return [text](const std::string& path) {
            std::ifstream in(path, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
        };
    };
    const struct {
        const char* route;
        std::function<void(const std::string&)> old, save, isOld, isNew;
    } routes[] = {
        {"PDF document", pdfOf("Old", 1), pdfOf("New", 2), pagesAre("Old", 1), pagesAre("New", 2)},
        {"file saved whole", linesOf("old"), linesOf("new"), textIs("old\r\n"), textIs("new\r\n")},
    };
    const struct {
        const char* why;
        uid_t owner;
        bool replaced;
    } owners[] = {{"another's file", 0, false}, {"the user's own file", nobody, true}};
    for (const auto& r : routes)
        for (const auto& o : owners) {
            SCOPED_TRACE(std::string(r.route) + ", " + o.why);
            const std::string path = folder + "/out.pdf";
            std::filesystem::remove(path);
            r.old(path);
            ASSERT_EQ(::chown(path.c_str(), o.owner, o.owner), 0);
            ::chmod(path.c_str(), 0666);
            struct stat before{};
            ::stat(path.c_str(), &before);
            const pid_t pid = fork();
            if (pid == 0) {
                alarm(60);
                if (setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
                    _exit(2);
                try {
                    r.save(path);
                } catch (const std::exception& e) {
                    _exit(std::string(e.what()).find("only its owner may replace it") != std::string::npos ? 3 : 1);
                }
                _exit(0);
            }
            ASSERT_GT(pid, 0);
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), o.replaced ? 0 : 3) << "0: saved, 3: refused saying why";
            (o.replaced ? r.isNew : r.isOld)(path);
            struct stat after{};
            ::stat(path.c_str(), &after);
            EXPECT_EQ(after.st_ino != before.st_ino, o.replaced) << "replaced whole, never written in place";
            size_t left = 0;
            for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
                ++left;
            EXPECT_EQ(left, 1u) << "no temporary file is left behind";
        }
    std::error_code ec;
    std::filesystem::remove_all(top, ec);
}

// A link another user planted in a folder anyone may add files to (as /tmp) may point at a
// file of the user's own elsewhere: a save through it is refused and that file stays, as the
// system itself follows no such link. A link the user, or the folder's owner, made is followed.
TEST_F(QtGraphics, ASaveDoesNotFollowALinkAnotherUserPlantedInAStickyFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the job is run as another user";
    const uid_t nobody = 65534, other = 1;
    std::string top = "/tmp/qt_graphics_link_XXXXXX";
    ASSERT_NE(::mkdtemp(top.data()), nullptr);
    ::chmod(top.c_str(), 0755);
    const std::string shared = top + "/shared", home = top + "/home", link = shared + "/out",
                      own = home + "/precious";
    std::filesystem::create_directory(shared);
    std::filesystem::create_directory(home);
    ::chmod(shared.c_str(), 01777);
    ASSERT_EQ(::chown(home.c_str(), nobody, nobody), 0);
    TQtPdfDevice pdf(150);
    const struct {
        const char* route;
        std::function<void(const std::string&)> save;
    } routes[] = {
        {"PDF document",
         [&pdf](const std::string& path) {
             std::unique_ptr<TPrintJob> job = pdf.BeginDoc("New", path, TPageSetup{});
             PrintJobPage(*job, "New", 1);
             job->EndDoc();
         }},
        {"file saved whole",
         [](const std::string& path) {
             TStringList lines;
             lines.SetText("new");
             lines.SaveToFile(path);
         }},
    };
    const struct {
        const char* why;
        uid_t linkOwner;
        bool followed;
    } links[] = {{"planted by another user", other, false},
                 {"made by the user", nobody, true},
                 {"made by the folder's owner", 0, true}};
    for (const auto& r : routes)
        for (const auto& l : links) {
            SCOPED_TRACE(std::string(r.route) + ", a link " + l.why);
            std::filesystem::remove(link);
            {
                std::ofstream(own, std::ios::binary | std::ios::trunc) << "mine";
            }
            ASSERT_EQ(::chown(own.c_str(), nobody, nobody), 0);
            ASSERT_EQ(::symlink(own.c_str(), link.c_str()), 0);
            ASSERT_EQ(::lchown(link.c_str(), l.linkOwner, l.linkOwner), 0);
            const pid_t pid = fork();
            if (pid == 0) {
                alarm(60);
                if (setresgid(nobody, nobody, nobody) != 0 || setresuid(nobody, nobody, nobody) != 0)
                    _exit(2);
                try {
                    r.save(link);
                } catch (const std::exception& e) {
                    _exit(std::string(e.what()).find("a save does not follow such a link") != std::string::npos ? 3 : 1);
                }
                _exit(0);
            }
            ASSERT_GT(pid, 0);
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), l.followed ? 0 : 3) << "0: saved, 3: refused saying why";
            std::ifstream in(own, std::ios::binary);
            const std::string text(std::istreambuf_iterator<char>(in), {});
            EXPECT_EQ(text == "mine", !l.followed) << "the file the link points at";
            EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link stays a link";
        }
    std::error_code ec;
    std::filesystem::remove_all(top, ec);
}

TEST_F(QtGraphics, PdfNeedsAWritableFile)
{
    TQtPdfDevice pdf;
    try {
        pdf.BeginDoc("x", "", TPageSetup{});
        FAIL();
    } catch (const EPrinter& e) {
        EXPECT_STREQ(e.what(), printer_msg::kNoOutputFile);
    }
    EXPECT_THROW(pdf.BeginDoc("x", "/nonexistent-folder/out.pdf", TPageSetup{}), EPrinter);
}

// ---------------------------------------------------------------- system printers

TEST_F(QtGraphics, SystemPrintersEndWithAPdfPrinter)
{
    TQtPrinterSystem system;
    const std::vector<TPrinterInfo> list = system.Printers();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.back().Name, kPdfPrinterName);
    EXPECT_FALSE(list.back().IsDefault);
    EXPECT_NE(system.DefaultPrinter(), kPdfPrinterName);
    EXPECT_TRUE(system.Open(kPdfPrinterName)->WritesFiles());
    EXPECT_THROW(system.Open("Office"), EPrinter);
    if (list.size() > 1)
        GTEST_SKIP() << "this machine has print queues";
    // No queue: the PDF printer is the only one, and current, but there is no default.
    EXPECT_EQ(system.DefaultPrinter(), "");
    TPrinter printer(&system);
    EXPECT_EQ(printer.GetPrinters()->GetCount(), 1);
    EXPECT_EQ(printer.GetPrinterIndex(), 0);
}

// What a queue is told of a document, as CUPS encodes the options into the job's request.
TEST_F(QtGraphics, AQueueIsToldTheSheetCopiesAndSidesOfTheDocument)
{
    struct Case {
        const char* why;
        TPageSetup setup;
        const char* media;
        bool landscape;
        int copies;  // 0: not sent
        const char* sides;
    };
    TPageSetup landscape;
    landscape.Orientation = poLandscape;
    TPageSetup a5Copies;
    a5Copies.PaperCode = DMPAPER_A5;
    a5Copies.Copies = 3;
    a5Copies.Duplex = DMDUP_VERTICAL;
    TPageSetup user;
    user.PaperCode = DMPAPER_USER;
    user.PaperWidth = 100;
    user.PaperHeight = 150;
    user.Orientation = poLandscape;
    user.Duplex = DMDUP_HORIZONTAL;
    const Case cases[] = {
        {"portrait A4, one copy", TPageSetup{}, "A4", false, 0, "one-sided"},
        {"a landscape document says so: an option without a value would read as false", landscape, "A4", true, 0,
         "one-sided"},
        {"the driver's copies, long-edge duplex", a5Copies, "A5", false, 3, "two-sided-long-edge"},
        {"a user size keeps its millimetres", user, "Custom.100x150mm", true, 0, "two-sided-short-edge"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        cups_option_t* options = nullptr;
        int count = 0;
        for (const auto& [name, value] : QueueJobOptions(c.setup))
            count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
        ipp_t* request = ippNew();
        cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
        cupsFreeOptions(count, options);
        ipp_attribute_t* media = ippFindAttribute(request, "media", IPP_TAG_ZERO);
        ASSERT_NE(media, nullptr);
        EXPECT_STREQ(ippGetString(media, 0, nullptr), c.media);
        ipp_attribute_t* turned = ippFindAttribute(request, "landscape", IPP_TAG_BOOLEAN);
        EXPECT_EQ(turned != nullptr && ippGetBoolean(turned, 0), c.landscape);
        ipp_attribute_t* copies = ippFindAttribute(request, "copies", IPP_TAG_INTEGER);
        EXPECT_EQ(copies ? ippGetInteger(copies, 0) : 0, c.copies);
        ipp_attribute_t* sides = ippFindAttribute(request, "sides", IPP_TAG_ZERO);
        ASSERT_NE(sides, nullptr);
        EXPECT_STREQ(ippGetString(sides, 0, nullptr), c.sides);
        ippDelete(request);
    }
}

}  // namespace
