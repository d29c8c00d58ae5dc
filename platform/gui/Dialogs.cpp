#include "platform/gui/Dialogs.h"

#include "platform/gui/Forms.h"
#include "platform/printers/PaperTable.h"
#include "platform/printers/Printers.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

AnsiString Title()
{
    if (Application && !Application->GetTitle().empty())
        return Application->GetTitle();
    return ChangeFileExt(ExtractFileName(Services().ExeName()), "");
}

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TCommonDialog)
void TCommonDialog::Publish(TPropertyTable& t)
{
    t.Prop("Ctl3D", &TCommonDialog::GetCtl3D, &TCommonDialog::SetCtl3D).Default(true);
    t.Prop("HelpContext", &TCommonDialog::GetHelpContext, &TCommonDialog::SetHelpContext).Default(0);
    t.Event("OnClose", &TCommonDialog::OnClose);
    t.Event("OnShow", &TCommonDialog::OnShow);
}

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

SKLAD_DEFINE_CLASS(TOpenDialog)
void TOpenDialog::Publish(TPropertyTable& t)
{
    t.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::DefaultExt);
    t.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::FileName);
    t.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::Filter);
    t.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex).Default(1);
    t.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::InitialDir);
    t.Prop("Options", &TOpenDialog::Options, &TOpenDialog::Options).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    t.Prop("OptionsEx", &TOpenDialog::OptionsEx, &TOpenDialog::OptionsEx).Default(TOpenOptionsEx{});
    t.Prop("Title", &TOpenDialog::Title, &TOpenDialog::Title);
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute()
{
    TFileDialogRequest request;
    request.Kind = Kind();
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    request.Options = Options.Bits();
    OnShow(this);
    const bool chosen = Services().ExecuteFileDialog(request);
    OnClose(this);
    if (!chosen)
        return false;
    FileName = request.FileName;
    FilterIndex = request.FilterIndex;
    FFiles->Clear();
    if (request.Files.empty())
        FFiles->Add(request.FileName);
    for (const AnsiString& f : request.Files)
        FFiles->Add(f);
    return true;
}

SKLAD_DEFINE_CLASS(TSaveDialog)
void TSaveDialog::Publish(TPropertyTable&) {}
TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

SKLAD_DEFINE_CLASS(TFontDialog)
void TFontDialog::Publish(TPropertyTable& t)
{
    t.Prop("Device", &TFontDialog::Device, &TFontDialog::Device).Default(fdScreen);
    t.Prop("Font", &TFontDialog::GetFont, &TFontDialog::SetFont);
    t.Prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::MaxFontSize).Default(0);
    t.Prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::MinFontSize).Default(0);
    t.Prop("Options", &TFontDialog::Options, &TFontDialog::Options).Default(TFontDialogOptions{fdEffects});
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute()
{
    TFont work;
    work.Assign(FFont.get());
    OnShow(this);
    const bool chosen = Services().ExecuteFontDialog(work);
    OnClose(this);
    if (chosen)
        FFont->Assign(&work);
    return chosen;
}

SKLAD_DEFINE_CLASS(TColorDialog)
void TColorDialog::Publish(TPropertyTable& t)
{
    t.Prop("Color", &TColorDialog::Color, &TColorDialog::Color).Type("TColor").Default(clBlack);
    t.Prop("CustomColors", &TColorDialog::GetCustomColors, &TColorDialog::SetCustomColors);
    t.Prop("Options", &TColorDialog::Options, &TColorDialog::Options).Default(TColorDialogOptions{});
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute()
{
    TColor work = Color;
    OnShow(this);
    const bool chosen = Services().ExecuteColorDialog(work);
    OnClose(this);
    if (chosen)
        Color = work;
    return chosen;
}

namespace {

// The installed printers and the current one, as the dialogs show them. False (after the
// warning when asked for) when there is none.
bool FillPrinters(TPrintDialogRequest& request, bool warn)
{
    TPrinter* printer = Printer();
    TStrings* names = printer->GetPrinters();
    for (int i = 0; i < names->Count(); ++i)
        request.Printers.push_back(names->Strings(i));
    request.PrinterIndex = printer->GetPrinterIndex();
    if (!request.Printers.empty() || !warn)
        return true;
    TMessageRequest message;
    message.Kind = TMessageKind::MessageBox;
    message.Text = "Принтеры не установлены";
    message.Caption = Title();
    message.Type = mtWarning;
    message.Buttons = TMsgDlgButtons{mbOK};
    Services().ShowMessageBox(message);
    return false;
}

// Makes the printer the user chose current; an answer outside the list keeps the old one.
void TakePrinter(const TPrintDialogRequest& request)
{
    TPrinter* printer = Printer();
    if (request.PrinterIndex >= 0 && request.PrinterIndex < printer->GetPrinters()->Count() &&
        request.PrinterIndex != printer->GetPrinterIndex())
        printer->SetPrinterIndex(request.PrinterIndex);
}

}  // namespace

SKLAD_DEFINE_CLASS(TPrintDialog)
void TPrintDialog::Publish(TPropertyTable& t)
{
    t.Prop("Collate", &TPrintDialog::Collate, &TPrintDialog::Collate).Default(false);
    t.Prop("Copies", &TPrintDialog::Copies, &TPrintDialog::Copies).Default(0);
    t.Prop("FromPage", &TPrintDialog::FromPage, &TPrintDialog::FromPage).Default(0);
    t.Prop("MinPage", &TPrintDialog::MinPage, &TPrintDialog::MinPage).Default(0);
    t.Prop("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::MaxPage).Default(0);
    t.Prop("Options", &TPrintDialog::Options, &TPrintDialog::Options).Default(TPrintDialogOptions{});
    t.Prop("PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::PrintToFile).Default(false);
    t.Prop("PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::PrintRange).Default(prAllPages);
    t.Prop("ToPage", &TPrintDialog::ToPage, &TPrintDialog::ToPage).Default(0);
}

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::Execute()
{
    TPrintDialogRequest request;
    if (!FillPrinters(request, Options.Contains(poWarning)))
        return false;
    // The page boxes show the range the program allows: pages outside it start at its ends.
    const bool bounded = MaxPage >= MinPage && MaxPage > 0;
    auto inRange = [&](int page) { return bounded ? std::clamp(page, MinPage, MaxPage) : std::max(page, 0); };
    request.Copies = std::max(Copies, 1);
    request.Collate = Collate;
    request.MinPage = MinPage;
    request.MaxPage = MaxPage;
    request.FromPage = inRange(FromPage);
    request.ToPage = inRange(ToPage);
    request.PrintRange = PrintRange;
    request.Options = Options.Bits();
    request.PrintToFile = PrintToFile;
    OnShow(this);
    const bool chosen = Services().ExecutePrintDialog(request);
    OnClose(this);
    if (!chosen)
        return false;
    // What the dialog lets the user choose, and nothing else.
    TPrintRange range = prAllPages;
    if (request.PrintRange == prPageNums && Options.Contains(poPageNums))
        range = prPageNums;
    else if (request.PrintRange == prSelection && Options.Contains(poSelection))
        range = prSelection;
    if (range == prPageNums) {
        const int from = inRange(request.FromPage), to = inRange(request.ToPage);
        FromPage = std::min(from, to);
        ToPage = std::max(from, to);
    }
    PrintRange = range;
    Copies = std::max(request.Copies, 1);
    Collate = request.Collate;
    PrintToFile = request.PrintToFile && Options.Contains(poPrintToFile) && !Options.Contains(poDisablePrintToFile);
    TakePrinter(request);
    return true;
}

SKLAD_DEFINE_CLASS(TPrinterSetupDialog)
void TPrinterSetupDialog::Publish(TPropertyTable&) {}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrinterSetupDialog::Execute()
{
    TPrintDialogRequest request;
    request.Setup = true;
    FillPrinters(request, false);
    TPrinter* printer = Printer();
    request.PaperCode = printer->GetPaper();
    request.Orientation = printer->GetOrientation();
    OnShow(this);
    const bool chosen = Services().ExecutePrintDialog(request);
    OnClose(this);
    if (!chosen)
        return false;
    TakePrinter(request);
    printer->SetOrientation(request.Orientation == poLandscape ? poLandscape : poPortrait);
    // A paper the platform does not know keeps the one chosen before.
    if (FindPaper(request.PaperCode))
        printer->SetPaper(request.PaperCode);
    return true;
}

void ShowMessage(const AnsiString& msg)
{
    TMessageRequest request;
    request.Kind = TMessageKind::ShowMessage;
    request.Text = msg;
    request.Caption = Title();
    request.Type = mtCustom;
    request.Buttons = TMsgDlgButtons{mbOK};
    Services().ShowMessageBox(request);
}

int MessageDlg(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int)
{
    static const char* const kCaptions[] = {"Предупреждение", "Ошибка", "Информация", "Подтверждение"};
    TMessageRequest request;
    request.Kind = TMessageKind::MessageDlg;
    request.Text = msg;
    request.Caption = dlgType == mtCustom ? Title() : AnsiString(kCaptions[dlgType]);
    request.Type = dlgType;
    request.Buttons = buttons.Empty() ? TMsgDlgButtons{mbOK} : buttons;
    return Services().ShowMessageBox(request);
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue)
{
    AnsiString value = defaultValue;
    return Services().InputQuery(caption, prompt, value) ? value : defaultValue;
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    AnsiString work = value;
    if (!Services().InputQuery(caption, prompt, work))
        return false;
    value = work;
    return true;
}
