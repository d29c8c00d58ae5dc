// rpPrintDialog.h - the print dialog: printer, driver settings, copies and collation, the
// page range (all, current, or a list such as "1,3,5-12"), odd or even pages, reverse
// order and printing to a file.
//
// The caller fills the dialog (SetChoices), shows it modally and, on OK, reads the choices
// back (GetChoices); rpExecutePrintDialog does the three steps. The printer chosen in the
// box becomes current in rpPrinters() at once (each choice initialises that printer); OK
// keeps it, any other way out restores the printer that was current when the dialog
// opened. Printing to a file asks for the file on OK and puts it, with the extension
// ".prn", into the current printer's FileName; cancelling that file dialog cancels the
// whole print command.
//
// OK is refused, with a message and the dialog left open, while the number of copies is
// not a whole number from 1 to 9999 or the listed pages (when chosen) are not a valid list
// of numbers and ranges; so the caller never reads back a value it cannot use.
#pragma once

#include "platform/gui/Forms.h"

class TGroupBox;
class TComboBox;
class TButton;
class TLabel;
class TCheckBox;
class TRadioButton;
class TEdit;
class TUpDown;
class TPaintBox;
class TImage;
class TSaveDialog;

// What the dialog hands back.
struct TrpPrintChoices {
    int Copies = 1;
    bool Collate = true;
    AnsiString PageNumbers;  // "" = all pages
    int PrintPages = 0;      // 0 all, 1 odd, 2 even
    bool Reverse = false;
    bool operator==(const TrpPrintChoices&) const = default;
};

class TrpPrintDialog : public TForm {
    SKLAD_CLASS(TrpPrintDialog, TForm)
public:
    explicit TrpPrintDialog(TComponent* AOwner);

    // Copies (through the up-down), collation and the page list text.
    void SetChoices(int copies, bool collate, const AnsiString& pageNumbers);
    // The choices after OK; `currentPage` is the page shown in the preview, handed back as
    // the page list when "current page" is chosen.
    TrpPrintChoices GetChoices(int currentPage) const;

    TGroupBox* Label12 = nullptr;
    TComboBox* PrintersCB = nullptr;
    TButton* PropButton = nullptr;
    TLabel* TypeL = nullptr;
    TLabel* TypeL1 = nullptr;
    TLabel* WhereL = nullptr;
    TLabel* WhereL1 = nullptr;
    TCheckBox* FileCB = nullptr;
    TCheckBox* ReverseCB = nullptr;
    TGroupBox* Label1 = nullptr;
    TRadioButton* AllRB = nullptr;
    TRadioButton* CurPageRB = nullptr;
    TRadioButton* PageNumbersRB = nullptr;
    TEdit* PageNumbersE = nullptr;
    TLabel* DescrL = nullptr;
    TGroupBox* Label2 = nullptr;
    TLabel* CopiesL = nullptr;
    TEdit* CopiesE = nullptr;
    TUpDown* UpDown1 = nullptr;
    TPaintBox* CopiesPB = nullptr;
    TImage* CollateImg = nullptr;
    TImage* NonCollateImg = nullptr;
    TCheckBox* CollateCB = nullptr;
    TLabel* CollateL = nullptr;
    TLabel* PrintL = nullptr;
    TComboBox* PrintPagesCB = nullptr;
    TImage* PrinterImg = nullptr;
    TButton* OkB = nullptr;
    TButton* CancelB = nullptr;
    TSaveDialog* FileDlg = nullptr;

    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void PrintersCBChange(TObject* Sender);
    void PropButtonClick(TObject* Sender);
    void PageNumbersEEnter(TObject* Sender);
    void PageNumbersRBClick(TObject* Sender);
    void CollateLClick(TObject* Sender);
    void CollateCBClick(TObject* Sender);
    void CopiesPBPaint(TObject* Sender);

    // Draws one item of the printer box: the icon, then the name.
    void DrawPrinterItem(TCanvas& canvas, int index, const TRect& rect);

private:
    int OldPrinterIndex = -1;
};

// Whether `text` is a list of page numbers and ranges: "1", "3-5", an open range "7-", with
// commas between and blanks anywhere; numbers from 1, a range not running backwards.
bool rpValidPageNumbers(const AnsiString& text);

// Fills, shows and reads the dialog; false when the user cancelled (choices unchanged).
bool rpExecutePrintDialog(TrpPrintChoices& choices, int currentPage);
