#include "platform/qt/QtServices.h"

#include "platform/qt/QtPeer.h"
#include "platform/qt/QtText.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QAbstractButton>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t kOfOverwritePrompt = 1u << ofOverwritePrompt;
constexpr uint32_t kOfAllowMultiSelect = 1u << ofAllowMultiSelect;

QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

// Buttons of a message dialog with the captions a Russian desktop shows, in TMsgDlgBtn order.
struct MsgButton {
    TMsgDlgBtn Button;
    const char* Caption;
    QMessageBox::ButtonRole Role;
};

constexpr MsgButton kMsgButtons[] = {
    {mbYes, "Да", QMessageBox::YesRole},
    {mbNo, "Нет", QMessageBox::NoRole},
    {mbOK, "OK", QMessageBox::AcceptRole},
    {mbCancel, "Отмена", QMessageBox::RejectRole},
    {mbAbort, "Прервать", QMessageBox::RejectRole},
    {mbRetry, "Повторить", QMessageBox::AcceptRole},
    {mbIgnore, "Пропустить", QMessageBox::AcceptRole},
    {mbAll, "Все", QMessageBox::YesRole},
    {mbNoToAll, "Нет для всех", QMessageBox::NoRole},
    {mbYesToAll, "Да для всех", QMessageBox::YesRole},
    {mbHelp, "Справка", QMessageBox::HelpRole},
};

// While alive (around a Qt dialog's exec), runs the model's due timers and posted calls
// from Qt's nested loop. It wakes when the next timer falls due, and at least every
// kPollMs, so a call posted by a handler is not left waiting for the dialog to close.
class TModelPump {
public:
    TModelPump()
    {
        FTimer.setSingleShot(true);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Turn(); });
        Arm();
    }
    TModelPump(const TModelPump&) = delete;
    TModelPump& operator=(const TModelPump&) = delete;

private:
    static constexpr int kPollMs = 100;
    void Arm()
    {
        const int due = Application ? Application->NextTimerDue() : -1;
        FTimer.start(due < 0 ? kPollMs : std::min(due, kPollMs));
    }
    void Turn()
    {
        if (Application && !FRunning) {
            // A handler may open another dialog (with its own pump); this one waits.
            FRunning = true;
            Application->DispatchPending();
            FRunning = false;
        }
        Arm();
    }
    QTimer FTimer;
    bool FRunning = false;
};

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QStringList ToQtNameFilters(const AnsiString& filter)
{
    // Pairs of "description|patterns"; a lone description without patterns is dropped.
    QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty())
            continue;
        // Qt reads the patterns from the last parentheses; keep a description that
        // already shows them as it is.
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << (description.isEmpty() ? patterns : description) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

TQtServices::TQtServices()
{
    FClock.start();
}

void TQtServices::WaitForInput(const TLoopInfo&, int maxWaitMs)
{
    // A fresh QEventLoop per wait: a handler run from here may show a modal form,
    // whose loop waits in its own QEventLoop one level deeper.
    QEventLoop loop;
    QTimer wake;
    if (maxWaitMs >= 0) {
        wake.setSingleShot(true);
        QObject::connect(&wake, &QTimer::timeout, &loop, [] {});
        wake.start(maxWaitMs);
    }
    loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TQtServices::ProcessNativeEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TModalResult TQtServices::ShowMessageBox(const TMessageRequest& request)
{
    QMessageBox box(DialogParent());
    box.setWindowTitle(ToQString(request.Caption.empty() ? AnsiString(" ") : request.Caption));
    box.setText(ToQString(request.Text));
    box.setIcon(request.Kind == TMessageKind::Error ? QMessageBox::Critical : IconOf(request.Type));
    const TMsgDlgButtons offered = request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : request.Buttons;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> buttons;
    for (const MsgButton& b : kMsgButtons)
        if (offered.Contains(b.Button))
            buttons.emplace_back(static_cast<QAbstractButton*>(box.addButton(ToQString(b.Caption), b.Role)), b.Button);
    {
        TModelPump pump;
        box.exec();
    }
    for (const auto& [widget, button] : buttons)
        if (widget == box.clickedButton())
            return ModalResultOf(button);
    return DefaultAnswer(offered);  // closed with Esc or the title bar
}

bool TQtServices::ExecuteFileDialog(TFileDialogRequest& request)
{
    const bool save = request.Kind == TFileDialogKind::Save;
    QFileDialog dialog(DialogParent(), ToQString(request.Title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode((request.Options & kOfAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                                   : QFileDialog::ExistingFile);
    if (save && !(request.Options & kOfOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = ToQtNameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    }
    if (!request.DefaultExt.empty())
        dialog.setDefaultSuffix(ToQString(request.DefaultExt));
    const QString proposed = ToQString(request.FileName);
    if (!request.InitialDir.empty())
        dialog.setDirectory(ToQString(request.InitialDir));
    else if (!proposed.isEmpty() && QFileInfo(proposed).isAbsolute())
        dialog.setDirectory(QFileInfo(proposed).absolutePath());
    if (!proposed.isEmpty())
        dialog.selectFile(QFileInfo(proposed).fileName());
    int answer;
    {
        TModelPump pump;
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    request.Files.clear();
    for (const QString& file : chosen)
        request.Files.push_back(FromQString(file));
    request.FileName = request.Files.front();
    const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        request.FilterIndex = int(index) + 1;
    return true;
}

bool TQtServices::ExecuteFontDialog(TFont& font)
{
    bool ok = false;
    TModelPump pump;
    const QFont chosen = QFontDialog::getFont(&ok, ToQFont(font), DialogParent());
    if (!ok)
        return false;
    font.SetName(FromQString(chosen.family()));
    if (chosen.pixelSize() > 0)
        font.SetHeight(-chosen.pixelSize());
    else
        font.SetSize(int(chosen.pointSizeF() + 0.5));
    TFontStyles style;
    if (chosen.bold()) style.Include(fsBold);
    if (chosen.italic()) style.Include(fsItalic);
    if (chosen.underline()) style.Include(fsUnderline);
    if (chosen.strikeOut()) style.Include(fsStrikeOut);
    font.SetStyle(style);
    return true;
}

bool TQtServices::ExecuteColorDialog(TColor& color)
{
    // TColor is 0x00BBGGRR.
    const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    TModelPump pump;
    const QColor chosen = QColorDialog::getColor(initial, DialogParent());
    if (!chosen.isValid())
        return false;
    color = TColor(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
    return true;
}

bool TQtServices::ExecutePrintDialog(TPrintDialogRequest& request)
{
    const int count = static_cast<int>(request.Printers.size());
    QPrinter printer(QPrinter::HighResolution);
    if (request.PrinterIndex >= 0 && request.PrinterIndex < count)
        printer.setPrinterName(ToQString(request.Printers[size_t(request.PrinterIndex)]));
    TModelPump pump;
    if (request.Setup) {
        const QPageSize::PageSizeId id = QPageSize::id(request.PaperCode);
        if (id != QPageSize::Custom)
            printer.setPageSize(QPageSize(id));
        printer.setPageOrientation(request.Orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
        QPageSetupDialog dialog(&printer, DialogParent());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        request.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0;
        request.PaperCode = printer.pageLayout().pageSize().windowsId();
    } else {
        const auto has = [&](TPrintDialogOption o) { return (request.Options & (1u << o)) != 0; };
        // The dialog takes copies and pages from the printer when it is made.
        if (request.FromPage > 0 && request.ToPage >= request.FromPage)
            printer.setFromTo(request.FromPage, request.ToPage);
        printer.setPrintRange(request.PrintRange == prPageNums  ? QPrinter::PageRange
                              : request.PrintRange == prSelection ? QPrinter::Selection
                                                                  : QPrinter::AllPages);
        printer.setCopyCount(std::max(request.Copies, 1));
        printer.setCollateCopies(request.Collate);
        QPrintDialog dialog(&printer, DialogParent());
        QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintCollateCopies |
                                                           QAbstractPrintDialog::PrintShowPageSize;
        if (has(poPrintToFile) && !has(poDisablePrintToFile))
            options |= QAbstractPrintDialog::PrintToFile;
        if (has(poSelection))
            options |= QAbstractPrintDialog::PrintSelection;
        if (has(poPageNums))
            options |= QAbstractPrintDialog::PrintPageRange;
        dialog.setOptions(options);
        if (request.MaxPage > 0 && request.MaxPage >= request.MinPage)
            dialog.setMinMax(std::max(request.MinPage, 1), request.MaxPage);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        request.Copies = printer.copyCount();
        request.Collate = printer.collateCopies();
        switch (printer.printRange()) {
        case QPrinter::PageRange: request.PrintRange = prPageNums; break;
        case QPrinter::Selection: request.PrintRange = prSelection; break;
        default: request.PrintRange = prAllPages; break;
        }
        request.FromPage = printer.fromPage();
        request.ToPage = printer.toPage();
        request.PrintToFile = !printer.outputFileName().isEmpty();
    }
    const AnsiString chosen = FromQString(printer.printerName());
    for (int i = 0; i < count; ++i)
        if (request.Printers[size_t(i)] == chosen)
            request.PrinterIndex = i;
    return true;
}

bool TQtServices::InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    bool ok = false;
    TModelPump pump;
    const QString text = QInputDialog::getText(DialogParent(), ToQString(caption), ToQString(prompt),
                                               QLineEdit::Normal, ToQString(value), &ok);
    if (ok)
        value = FromQString(text);
    return ok;
}

uint64_t TQtServices::TickCount()
{
    return uint64_t(FClock.elapsed());
}

int TQtServices::ShellExecute(const AnsiString&, const AnsiString& file, const AnsiString&, const AnsiString&,
                              int)
{
    constexpr int kFileNotFound = 2, kNoAssociation = 31, kSuccess = 33;
    const QString target = ToQString(file);
    QUrl url = QUrl(target);
    if (url.scheme().size() <= 1) {  // a path, drive letters included
        if (!QFileInfo::exists(target))
            return kFileNotFound;
        url = QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    }
    return QDesktopServices::openUrl(url) ? kSuccess : kNoAssociation;
}

void TQtServices::ExitProcess(int code)
{
    // At once, as the platform does: no further events, no window closing. Why nothing
    // is lost: see ExitProcessNow.
    ExitProcessNow(code);
}

AnsiString TQtServices::ExeName()
{
    return FromQString(QCoreApplication::applicationFilePath());
}

std::vector<TMonitorArea> TQtServices::MonitorAreas()
{
    const auto toRect = [](const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); };
    std::vector<TMonitorArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.push_back({toRect(primary->geometry()), toRect(primary->availableGeometry())});
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.push_back({toRect(screen->geometry()), toRect(screen->availableGeometry())});
    if (areas.empty())
        return TGuiServices::MonitorAreas();
    return areas;
}

TRect TQtServices::ScreenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return TGuiServices::ScreenRect();
    const QRect r = screen->geometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
}
