// rpPrintDialog.cpp - the print dialog.
#include "report/output/rpPrintDialog.h"

#include "report/model/rpRes.h"
#include "report/output/rpPrinter.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

#include <cctype>

namespace {

constexpr int kMaxCopies = 9999;
// A range may not list more pages than this (a typo like "1-1000000000" is refused).
constexpr long long kMaxRangeSpan = 1000000;

constexpr const char* kBadCopies = "Количество копий должно быть целым числом от 1 до %d";
constexpr const char* kBadPageNumbers =
    "Неверно указаны номера страниц: \"%s\". Введите номера и/или диапазоны страниц, разделенные запятыми. "
    "Например, 1,3,5-12";

// The window as designed; its captions are the resource texts of the class's block,
// applied when the window is created.
constexpr const char* kLayout = R"(object rpPrintDialog: TrpPrintDialog
  BorderStyle = bsDialog
  ClientHeight = 263
  ClientWidth = 477
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  Position = poScreenCenter
  OnCloseQuery = FormCloseQuery
  OnClose = FormClose
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object Label12: TGroupBox
    Left = 4
    Top = 4
    Width = 469
    Height = 97
    TabOrder = 0
    object TypeL: TLabel
      Left = 16
      Top = 52
    end
    object TypeL1: TLabel
      Left = 52
      Top = 52
    end
    object WhereL: TLabel
      Left = 8
      Top = 72
    end
    object WhereL1: TLabel
      Left = 52
      Top = 72
    end
    object PrintersCB: TComboBox
      Left = 8
      Top = 20
      Width = 317
      Height = 22
      Style = csOwnerDrawFixed
      ItemHeight = 16
      TabOrder = 0
      OnChange = PrintersCBChange
    end
    object PropButton: TButton
      Left = 336
      Top = 20
      Width = 95
      Height = 22
      TabOrder = 1
      OnClick = PropButtonClick
    end
    object FileCB: TCheckBox
      Left = 332
      Top = 52
      Width = 129
      Height = 17
      TabOrder = 2
    end
    object ReverseCB: TCheckBox
      Left = 332
      Top = 72
      Width = 129
      Height = 17
      TabOrder = 3
    end
  end
  object Label1: TGroupBox
    Left = 4
    Top = 104
    Width = 261
    Height = 117
    TabOrder = 1
    object DescrL: TLabel
      Left = 8
      Top = 82
      Width = 249
      Height = 29
      AutoSize = False
      WordWrap = True
    end
    object AllRB: TRadioButton
      Left = 8
      Top = 20
      Width = 125
      Height = 17
      Checked = True
      TabOrder = 0
    end
    object CurPageRB: TRadioButton
      Left = 8
      Top = 40
      Width = 125
      Height = 17
      TabOrder = 1
    end
    object PageNumbersRB: TRadioButton
      Left = 8
      Top = 60
      Width = 77
      Height = 17
      TabOrder = 2
      OnClick = PageNumbersRBClick
    end
    object PageNumbersE: TEdit
      Left = 72
      Top = 58
      Width = 165
      Height = 21
      TabOrder = 3
      OnEnter = PageNumbersEEnter
    end
  end
  object Label2: TGroupBox
    Left = 272
    Top = 104
    Width = 201
    Height = 117
    TabOrder = 2
    object CopiesL: TLabel
      Left = 12
      Top = 20
      FocusControl = CopiesE
    end
    object CopiesPB: TPaintBox
      Left = 12
      Top = 48
      Width = 92
      Height = 53
      OnPaint = CopiesPBPaint
    end
    object CollateImg: TImage
      Left = 20
      Top = 48
      Width = 74
      Height = 53
      Visible = False
    end
    object NonCollateImg: TImage
      Left = 12
      Top = 56
      Width = 92
      Height = 40
      Visible = False
    end
    object CollateL: TLabel
      Left = 136
      Top = 60
      Width = 61
      Height = 41
      AutoSize = False
      WordWrap = True
      OnClick = CollateLClick
      OnDblClick = CollateLClick
    end
    object CopiesE: TEdit
      Left = 132
      Top = 16
      Width = 37
      Height = 21
      TabOrder = 0
      Text = '1'
    end
    object UpDown1: TUpDown
      Left = 169
      Top = 16
      Width = 16
      Height = 21
      Associate = CopiesE
      Min = 1
      Position = 1
      TabOrder = 1
    end
    object CollateCB: TCheckBox
      Left = 116
      Top = 58
      Width = 17
      Height = 17
      Checked = True
      TabOrder = 2
      OnClick = CollateCBClick
    end
  end
  object PrintL: TLabel
    Left = 4
    Top = 236
  end
  object PrinterImg: TImage
    Left = 260
    Top = 237
    Width = 18
    Height = 16
    Visible = False
  end
  object PrintPagesCB: TComboBox
    Left = 44
    Top = 232
    Width = 165
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    TabOrder = 3
  end
  object OkB: TButton
    Left = 318
    Top = 232
    Width = 75
    Height = 25
    Default = True
    ModalResult = 1
    TabOrder = 4
  end
  object CancelB: TButton
    Left = 398
    Top = 232
    Width = 75
    Height = 25
    Cancel = True
    ModalResult = 2
    TabOrder = 5
  end
  object FileDlg: TSaveDialog
    Filter = 'Printer files (*.prn)|*.prn'
    Title = 'Print To File'
  end
end
)";

// A whole number of at most 9 digits, or -1.
long long ParseNumber(const AnsiString& s)
{
    if (s.empty() || s.size() > 9)
        return -1;
    long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "name.txt" -> "name.prn", "name" -> "name.prn"; only the last part of the path counts.
AnsiString WithPrnExtension(const AnsiString& fileName)
{
    const size_t slash = fileName.find_last_of("/\\");
    const size_t dot = fileName.rfind('.');
    if (dot != AnsiString::npos && (slash == AnsiString::npos || dot > slash))
        return fileName.substr(0, dot) + ".prn";
    return fileName + ".prn";
}

}  // namespace

bool rpValidPageNumbers(const AnsiString& text)
{
    AnsiString t;
    for (char c : text)
        if (c != ' ')
            t += c;
    if (t.empty())
        return false;
    size_t start = 0;
    while (start <= t.size()) {
        size_t comma = t.find(',', start);
        if (comma == AnsiString::npos)
            comma = t.size();
        const AnsiString piece = t.substr(start, comma - start);
        const size_t dash = piece.find('-');
        if (dash == AnsiString::npos) {
            if (ParseNumber(piece) < 1)
                return false;
        } else {
            const long long from = ParseNumber(piece.substr(0, dash));
            const AnsiString toText = piece.substr(dash + 1);
            if (from < 1)
                return false;
            // An open range ("7-") runs to the last page; only the last piece may be open,
            // as the page list is read.
            if (toText.empty()) {
                if (comma != t.size())
                    return false;
            } else {
                const long long to = ParseNumber(toText);
                if (to < from || to - from > kMaxRangeSpan)
                    return false;
            }
        }
        start = comma + 1;
    }
    return true;
}

SKLAD_DEFINE_CLASS(TrpPrintDialog)

void TrpPrintDialog::Publish(TPropertyTable& t)
{
    t.Method("FormShow", &TrpPrintDialog::FormShow);
    t.Method("FormCloseQuery", &TrpPrintDialog::FormCloseQuery);
    t.Method("FormClose", &TrpPrintDialog::FormClose);
    t.Method("PrintersCBChange", &TrpPrintDialog::PrintersCBChange);
    t.Method("PropButtonClick", &TrpPrintDialog::PropButtonClick);
    t.Method("PageNumbersEEnter", &TrpPrintDialog::PageNumbersEEnter);
    t.Method("PageNumbersRBClick", &TrpPrintDialog::PageNumbersRBClick);
    t.Method("CollateLClick", &TrpPrintDialog::CollateLClick);
    t.Method("CollateCBClick", &TrpPrintDialog::CollateCBClick);
    t.Method("CopiesPBPaint", &TrpPrintDialog::CopiesPBPaint);
}

TrpPrintDialog::TrpPrintDialog(TComponent* AOwner) : TForm(AOwner, TDeferLayout{})
{
    InitLayoutText(kLayout, [this] {
        Bind(Label12, "Label12");
        Bind(PrintersCB, "PrintersCB");
        Bind(PropButton, "PropButton");
        Bind(TypeL, "TypeL");
        Bind(TypeL1, "TypeL1");
        Bind(WhereL, "WhereL");
        Bind(WhereL1, "WhereL1");
        Bind(FileCB, "FileCB");
        Bind(ReverseCB, "ReverseCB");
        Bind(Label1, "Label1");
        Bind(AllRB, "AllRB");
        Bind(CurPageRB, "CurPageRB");
        Bind(PageNumbersRB, "PageNumbersRB");
        Bind(PageNumbersE, "PageNumbersE");
        Bind(DescrL, "DescrL");
        Bind(Label2, "Label2");
        Bind(CopiesL, "CopiesL");
        Bind(CopiesE, "CopiesE");
        Bind(UpDown1, "UpDown1");
        Bind(CopiesPB, "CopiesPB");
        Bind(CollateImg, "CollateImg");
        Bind(NonCollateImg, "NonCollateImg");
        Bind(CollateCB, "CollateCB");
        Bind(CollateL, "CollateL");
        Bind(PrintL, "PrintL");
        Bind(PrintPagesCB, "PrintPagesCB");
        Bind(PrinterImg, "PrinterImg");
        Bind(OkB, "OkB");
        Bind(CancelB, "CancelB");
        Bind(FileDlg, "FileDlg");
    });
    rpResources().LocalizeForm(this);
    PrintPagesCB->GetItems()->Clear();
    PrintPagesCB->GetItems()->Add(rpResources().Get("ppAll"));
    PrintPagesCB->GetItems()->Add(rpResources().Get("ppOdd"));
    PrintPagesCB->GetItems()->Add(rpResources().Get("ppEven"));
}

void TrpPrintDialog::SetChoices(int copies, bool collate, const AnsiString& pageNumbers)
{
    UpDown1->SetPosition(copies);
    CopiesE->SetText(IntToStr(UpDown1->GetPosition()));
    CollateCB->SetChecked(collate);
    PageNumbersE->SetText(pageNumbers);
}

TrpPrintChoices TrpPrintDialog::GetChoices(int currentPage) const
{
    TrpPrintChoices c;
    c.Copies = StrToIntDef(Trim(CopiesE->GetText()), 1);
    c.Collate = CollateCB->GetChecked();
    if (AllRB->GetChecked())
        c.PageNumbers = "";
    else if (CurPageRB->GetChecked())
        c.PageNumbers = IntToStr(currentPage);
    else
        c.PageNumbers = PageNumbersE->GetText();
    c.PrintPages = PrintPagesCB->GetItemIndex() < 0 ? 0 : PrintPagesCB->GetItemIndex();
    c.Reverse = ReverseCB->GetChecked();
    return c;
}

void TrpPrintDialog::FormShow(TObject*)
{
    TrpPrinters& printers = rpPrinters();
    PrintersCB->GetItems()->Assign(printers.GetPrinters());
    PrintersCB->SetItemIndex(printers.GetPrinterIndex() < PrintersCB->GetItems()->Count()
                                 ? printers.GetPrinterIndex()
                                 : -1);
    PrintersCBChange(PrintersCB);
    OldPrinterIndex = printers.GetPrinterIndex();
    CopiesPB->Repaint();
    PrintPagesCB->SetItemIndex(0);
    PrintPagesCB->SetLeft(PrintL->GetLeft() + PrintL->GetWidth() + 11);
}

void TrpPrintDialog::PrintersCBChange(TObject*)
{
    TrpPrinters& printers = rpPrinters();
    const int index = PrintersCB->GetItemIndex();
    // Without installed printers the box is empty and the virtual printer stays current.
    if (index >= 0 && index < printers.Count())
        printers.SetPrinterIndex(index);
    const TrpCustomPrinter* current = printers.GetCurrentPrinter();
    TypeL1->SetCaption(current ? current->Name : AnsiString());
    WhereL1->SetCaption(current ? current->Port : AnsiString());
}

void TrpPrintDialog::PropButtonClick(TObject*)
{
    if (TrpCustomPrinter* current = rpPrinters().GetCurrentPrinter())
        current->PropertiesDlg();
}

void TrpPrintDialog::PageNumbersEEnter(TObject*)
{
    PageNumbersRB->SetChecked(true);
}

void TrpPrintDialog::PageNumbersRBClick(TObject*)
{
    if (PageNumbersE->CanFocus())
        PageNumbersE->SetFocus();
}

void TrpPrintDialog::CollateLClick(TObject*)
{
    CollateCB->SetChecked(!CollateCB->GetChecked());
}

void TrpPrintDialog::CollateCBClick(TObject*)
{
    CopiesPB->Repaint();
}

void TrpPrintDialog::CopiesPBPaint(TObject*)
{
    // Collated: two sets "1 2 3" side by side; not collated: pairs "1 1", "2 2", "3 3".
    TCanvas& c = *CopiesPB->GetCanvas();
    c.GetBrush()->SetColor(GetColor());
    c.GetBrush()->SetStyle(bsSolid);
    c.FillRect(Rect(0, 0, CopiesPB->GetWidth(), CopiesPB->GetHeight()));
    c.GetPen()->SetColor(clBlack);
    c.GetBrush()->SetColor(clWhite);
    const bool collate = CollateCB->GetChecked();
    for (int set = 0; set < 2; ++set)
        for (int page = 0; page < 3; ++page) {
            const int x = collate ? set * 40 + page * 8 : page * 30 + set * 8;
            const int y = page * 6;
            c.Rectangle(x, y, x + 20, y + 28);
            c.SetBkMode(false);
            c.TextOut(x + 6, y + 14, IntToStr(page + 1));
        }
}

void TrpPrintDialog::DrawPrinterItem(TCanvas& canvas, int index, const TRect& rect)
{
    canvas.FillRect(rect);
    // The printer icon: a small box with a paper tray.
    canvas.Rectangle(rect.Left + 2, rect.Top + 5, rect.Left + 20, rect.Top + 14);
    canvas.Rectangle(rect.Left + 6, rect.Top + 1, rect.Left + 16, rect.Top + 6);
    if (index >= 0 && index < PrintersCB->GetItems()->Count())
        canvas.TextOut(rect.Left + 24, rect.Top + 1, PrintersCB->GetItems()->Strings(index));
}

void TrpPrintDialog::FormCloseQuery(TObject*, bool& CanClose)
{
    if (GetModalResult() != mrOk)
        return;
    const int copies = StrToIntDef(Trim(CopiesE->GetText()), 0);
    if (copies < 1 || copies > kMaxCopies) {
        Application->MessageBox(Format(kBadCopies, {kMaxCopies}), GetCaption(), MB_OK | MB_ICONERROR);
        CanClose = false;
        return;
    }
    if (PageNumbersRB->GetChecked() && !rpValidPageNumbers(PageNumbersE->GetText())) {
        Application->MessageBox(Format(kBadPageNumbers, {PageNumbersE->GetText()}), GetCaption(),
                                MB_OK | MB_ICONERROR);
        CanClose = false;
        return;
    }
    TrpCustomPrinter* current = rpPrinters().GetCurrentPrinter();
    if (current)
        current->FileName = "";
    if (FileCB->GetChecked()) {
        if (FileDlg->Execute()) {
            if (current)
                current->FileName = WithPrnExtension(FileDlg->FileName);
        } else {
            SetModalResult(mrCancel);  // no file, no printing
        }
    }
}

void TrpPrintDialog::FormClose(TObject*, TCloseAction&)
{
    // Any way out but OK takes back a printer chosen in the window.
    if (GetModalResult() != mrOk)
        rpPrinters().SetPrinterIndex(OldPrinterIndex);
}

bool rpExecutePrintDialog(TrpPrintChoices& choices, int currentPage)
{
    std::unique_ptr<TrpPrintDialog> dialog = std::make_unique<TrpPrintDialog>(Application);
    dialog->SetChoices(choices.Copies, choices.Collate, choices.PageNumbers);
    if (dialog->ShowModal() != mrOk)
        return false;
    choices = dialog->GetChoices(currentPage);
    return true;
}
