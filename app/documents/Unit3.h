// Unit3.h - the document window: receipts, order requests, issue invoices and write-off acts are entered and viewed here.
//
// The window never guesses what it holds and arranges itself: its openers (StartNew,
// ShowDocument, StartIssue, EditRequest), called by the main window's new-document commands,
// the journal and the import, lay out the controls as the document needs them and set the
// window's mode; the handlers decide by the mode. No other window touches its controls. Lines being entered live in the scratch tables (TempStructureDocuments, or
// TempStructureOtpusk for an issue invoice) and are shown through the main window's
// ADOQuery4; the goods card (TForm2) picks and changes them.
//
// Saving runs in one transaction (Documents.h): a document lands whole or not at all, and a
// refused one leaves the window open with its lines and says why. A write-off act is posted
// by the input dialog (app/documents/WriteOff.h).
#pragma once

#include "app/documents/Documents.h"
#include "platform/gui/Forms.h"

#include <cstdint>
#include <functional>

class TADOQuery;
class TButton;
class TCheckBox;
class TComboBox;
class TDBGrid;
class TDateTimePicker;
class TEdit;
class TGroupBox;
class TLabel;
class TOpenDialog;

// What the window holds.
enum class TDocumentMode {
    NewReceipt,
    NewRequest,   // also a request read from an import file
    NewAct,
    NewIssue,     // an issue invoice made from a request
    EditRequest,  // a saved request reopened
    View,         // any kind, read-only
};

class TForm3 : public TForm {
    SKLAD_CLASS(TForm3, TForm)
public:
    explicit TForm3(TComponent* AOwner);

    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TComboBox* ComboBox4 = nullptr;
    TComboBox* ComboBox5 = nullptr;
    TComboBox* ComboBox6 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label10 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TDateTimePicker* DateTimePicker1 = nullptr;
    TDateTimePicker* DateTimePicker2 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button9 = nullptr;
    TButton* ImportBtn = nullptr;
    TOpenDialog* Import = nullptr;
    TADOQuery* ImportQuery = nullptr;

    // Working figures of the document, single precision as the program keeps them.
    double DocTotal = 0;  // the last total shown (LinesTotal), also scratch
    float LineQuantity = 0;
    float LinePrice = 0;
    float NewStock = 0;

    // Set when a warehouse is shown; the first showing after it loads the saved column widths.
    uint8_t FirstShow = 0;

    TDocumentMode Mode() const { return FMode; }
    DocumentKind Kind() const { return FKind; }
    int64_t RequestId() const { return FRequestId; }
    // Sets what the window holds; `requestId` is the request an issue invoice is made from
    // or the request being edited. Forgets dates given by an earlier opener.
    void SetMode(TDocumentMode mode, DocumentKind kind, int64_t requestId = 0);
    // The opener has put the document's own dates into the pickers: FormShow keeps them.
    void KeepGivenDates() { FDatesGiven = true; }
    // Reopens the lines (WarehouseData->ADOQuery4) on the scratch table of the mode.
    void ShowLines();
    // Recomputes DocTotal from the scratch lines and shows it in Label4.
    void UpdateTotal();
    bool Editing() const { return FMode != TDocumentMode::View; }
    // The header's supplier (receipt) or recipient (request, issue invoice) as typed.
    AnsiString Party() const;

    // -- openers: each arranges the window for what it shows, then shows it modally.
    // A new receipt, order request or write-off act with empty lines.
    void StartNew(DocumentKind kind);
    // The same without showing: the import fills a new request before it is shown.
    void PrepareNew(DocumentKind kind);
    // An imported request's header; into a request being entered only the boxes left empty.
    void TakeImportHeader(const AnsiString& customer, const AnsiString& number, TDateTime due, bool intoWindow);
    // A saved document of `kind`, read-only.
    void ShowDocument(DocumentKind kind, int64_t id);
    // An issue invoice made from request `requestId`; false (and why told) when its lines could not be made.
    bool StartIssue(int64_t requestId);
    // A saved request reopened for changes; false (and why told) when its lines could not be read.
    bool EditRequest(int64_t requestId);
    // Columns 8, 9 and 10 of the lines grid: rate, sum with VAT, issued.
    void ShowLineColumns(bool rate, bool vat, bool issued);
    // The journal switched to a view of `kind`: the lines grid shows that kind's columns.
    void FollowJournalView(DocumentKind kind, bool lineRate, bool lineVat);

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void ImportBtnClick(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);
    void FormShow(TObject* Sender);

protected:
    // The document is over: the scratch lines are this program's no longer.
    void DoHide() override;

private:
    // Takes the scratch lines for a document about to be begun; false (and why told) when
    // another program holds them.
    bool BeginLines();
    bool HeaderComplete() const;
    // Runs a save; a refused or failed one is told and leaves the window open.
    void Save(const std::function<void()>& write);
    void PrepareReceipt();
    void PrepareRequest();
    void PrepareAct();

    TDocumentMode FMode = TDocumentMode::NewReceipt;
    DocumentKind FKind = DocumentKind::Receipt;
    int64_t FRequestId = 0;
    bool FDatesGiven = false;
    bool FRestoringVat = false;  // "НДС" is being set back after its lines could not be written
};

extern TForm3* Form3;
