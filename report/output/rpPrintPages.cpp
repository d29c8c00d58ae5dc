// rpPrintPages.cpp - printing prepared pages on the current report printer: one job,
// page by page with each page's paper, orientation, bin and duplex, copies collated by
// us or by the driver.
#include "report/output/rpPreviewPages.h"

#include "report/output/rpEngineModel.h"
#include "report/output/rpPrintDialog.h"
#include "report/output/rpPrinter.h"

#include "report/model/rpUtils.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

bool TrpPreviewPages::Print()
{
    TrpPrintOptions* options = Report->GetPrintOptions();
    TrpPrintSettings settings;
    settings.Copies = options->Copies;
    settings.Collate = options->Collate;
    settings.PageNumbers = options->PageNumbers;
    settings.PrintPages = options->PrintPages;
    settings.Reverse = false;
    Report->SelectPrinter();
    if (!options->Printer.empty()) {
        const int i = rpPrinters().IndexOf(options->Printer);
        if (i >= 0 && i != rpPrinters().GetPrinterIndex())
            rpPrinters().SetPrinterIndex(i);
    }
    if (options->ShowDialog) {
        TrpPrintChoices choices;
        choices.Copies = settings.Copies;
        choices.Collate = settings.Collate;
        choices.PageNumbers = settings.PageNumbers;
        choices.PrintPages = static_cast<int>(settings.PrintPages);
        if (!rpExecutePrintDialog(choices, CurPreviewPage))
            return false;
        settings.Copies = choices.Copies;
        settings.Collate = choices.Collate;
        settings.PageNumbers = choices.PageNumbers;
        settings.PrintPages = static_cast<TrpPrintPages>(std::clamp(choices.PrintPages, 0, 2));
        settings.Reverse = choices.Reverse;
    }
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    if (!printer)
        throw EPrinter("There is no default printer currently selected");
    // A file printer (PDF) writes where the user says; the name serves this job only, so
    // the next print command asks again. Cancelling the save dialog cancels the command.
    struct TJobFileName {
        TrpCustomPrinter* p = nullptr;
        ~TJobFileName()
        {
            if (p)
                p->FileName.clear();
        }
    } jobFile;
    if (printer->WritesFiles() && printer->FileName.empty()) {
        TSaveDialog dialog(Application);
        dialog.Filter = "PDF (*.pdf)|*.pdf";
        dialog.DefaultExt = "pdf";
        dialog.Options = TOpenOptions{ofHideReadOnly, ofOverwritePrompt, ofEnableSizing};
        if (!dialog.Execute())
            return false;
        AnsiString name = dialog.FileName;
        if (!SameText(ExtractFileExt(name), ".pdf"))
            name += ".pdf";
        printer->FileName = name;
        jobFile.p = printer;
    }
    if (Report->OnPrintReport)
        Report->OnPrintReport(Report);
    if (TrpCustomPreview* preview = Report->GetPreview())
        preview->Lock();
    struct After {
        TrpReport* r;
        ~After()
        {
            if (r->OnAfterPrintReport)
                r->OnAfterPrintReport(r);
        }
    } after{Report};
    PrintTo(*printer, settings);
    return true;
}

void TrpPreviewPages::PrintTo(TrpCustomPrinter& Printer, const TrpPrintSettings& Settings)
{
    TStringList pageList;
    rpParsePageNumbers(Settings.PageNumbers, &pageList, GetCount());
    Report->SetTerminated(false);
    Report->InternalOnProgressStart(ptPrinting);
    struct Stop {
        TrpReport* r;
        bool& printing;
        ~Stop()
        {
            printing = false;
            r->InternalOnProgressStop(ptPrinting);
        }
    } stop{Report, FPrinting};
    FPrinting = true;
    const AnsiString name = Report->GetReportOptions()->Name;
    Printer.Title = !name.empty() ? name : Report->FileName;
    const int copies = std::max(Settings.Copies, 1);
    const int driverCopies = Settings.Collate ? 1 : copies;
    bool started = false;
    auto printPages = [&]() {
        const int count = GetCount();
        for (int k = 0; k < count; ++k) {
            const int i = Settings.Reverse ? count - 1 - k : k;
            if (!PrintPage(i, Printer, Settings, pageList, started, driverCopies))
                return false;
        }
        return true;
    };
    try {
        if (Settings.Collate) {
            for (int c = 0; c < copies && !Report->GetTerminated(); ++c)
                if (!printPages())
                    break;
        } else {
            printPages();
        }
    } catch (...) {
        if (started)
            Printer.Abort();
        throw;
    }
    if (started)
        Printer.EndDoc();
}

bool TrpPreviewPages::PrintPage(int Index, TrpCustomPrinter& Printer, const TrpPrintSettings& Settings,
                                TStrings& PageList, bool& Started, int DriverCopies)
{
    const int number = Index + 1;
    if (Index >= GetCount())
        return true;
    if (PageList.Count() > 0 && PageList.IndexOf(IntToStr(number)) < 0)
        return true;
    if (Settings.PrintPages == ppOdd && number % 2 == 0)
        return true;
    if (Settings.PrintPages == ppEven && number % 2 == 1)
        return true;
    if (Report->GetTerminated()) {
        if (Started)
            Printer.Abort();
        Started = false;  // an aborted job has no end
        return false;
    }
    TrpReportPage* page = GetPage(Index);
    if (!page)
        return true;
    // Copy what the job needs before the page cache may drop the page.
    const int paperSize = page->GetPaperSize();
    const Extended paperWidth = page->GetPaperWidth(), paperHeight = page->GetPaperHeight();
    const TPrinterOrientation orientation = page->GetOrientation();
    const int bin = Index == 0 ? page->Bin : page->BinOtherPages;
    const int duplex = static_cast<int>(page->Duplex) + 1;
    if (!Started)
        Printer.BeginDoc();
    Started = true;
    Printer.SetPrintParams(paperSize, paperWidth, paperHeight, orientation, bin, DriverCopies, duplex);
    Printer.BeginPage();
    const Extended dpiX = Printer.DPI.X, dpiY = Printer.DPI.Y;
    DrawPage(Index, Printer.GetCanvas(), dpiX / 96, dpiY / 96, -Printer.LeftMargin * dpiX / 25.4L,
             -Printer.TopMargin * dpiY / 25.4L);
    Report->InternalOnProgress(ptPrinting, number);
    Printer.EndPage();
    if (Application)
        Application->ProcessMessages();
    ClearPageCache();
    return true;
}
