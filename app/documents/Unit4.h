// Unit4.h - the document journal: one kind of document at a time, working or archived.
//
// Lists one kind of document (receipts, issue invoices, order requests, write-off acts) in
// the main window's ADOQuery6, working or archived by the main window's WorkingMode, all
// documents or those holding one product (ProductFilter). The request view filters
// and orders requests by state, urgency and lateness. The commands on the selected row view
// a document, make an issue invoice from a request, reopen a request, and archive or restore
// a document with its lines in one transaction. Every value is bound; the list of a sorted
// view is the ids of the listed documents bound as one In list.
#pragma once

#include "app/documents/Documents.h"
#include "platform/gui/Forms.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

class TButton;
class TDBGrid;
class TEdit;
class TGroupBox;
class TMonthCalendar;
class TRadioButton;
class TColumn;

using TSqlListParams = std::initializer_list<std::pair<const char*, Variant>>;

class TForm4 : public TForm {
    SKLAD_CLASS(TForm4, TForm)
public:
    explicit TForm4(TComponent* AOwner);

    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TRadioButton* RadioButton3 = nullptr;
    TRadioButton* RadioButton4 = nullptr;
    TRadioButton* RadioButton5 = nullptr;
    TRadioButton* RadioButton6 = nullptr;
    TRadioButton* RadioButton7 = nullptr;
    TRadioButton* RadioButton8 = nullptr;
    TRadioButton* RadioButton9 = nullptr;
    TRadioButton* RadioButton10 = nullptr;
    TRadioButton* RadioButton11 = nullptr;
    TRadioButton* RadioButton12 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TMonthCalendar* MonthCalendar1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button9 = nullptr;
    TButton* Button10 = nullptr;

    uint8_t FirstShow = 0;
    // The Products.ID whose documents the journal shows; empty: all documents.
    AnsiString ProductFilter;
    // The column the list was last ordered by (a title click).
    AnsiString SortColumn;

    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void RadioButton3Click(TObject* Sender);
    void RadioButton4Click(TObject* Sender);
    void RadioButton5Click(TObject* Sender);
    void RadioButton6Click(TObject* Sender);
    void RadioButton7Click(TObject* Sender);
    void RadioButton8Click(TObject* Sender);
    void RadioButton9Click(TObject* Sender);
    void RadioButton10Click(TObject* Sender);
    void RadioButton11Click(TObject* Sender);
    void RadioButton12Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void MonthCalendar1Click(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DBGrid1TitleClick(TColumn* Column);

    // -- openers
    // All documents, working or archived by the main window's mode, receipts first.
    void ShowJournal();
    // The documents holding one product (its Products.ID as text; empty keeps the filter
    // as it was); `product` is the caption's description of it.
    void ShowProductDocuments(const AnsiString& productId, const AnsiString& product);

    // The kind of the selected view (RadioButton7..10).
    DocumentKind SelectedKind() const;

private:
    // Loads a list: one statement on ADOQuery6, with the product filter bound when it is used.
    void LoadList(const AnsiString& sql, TSqlListParams params = {});
    void ShowColumns(const std::vector<int>& visible);
    // Lists the documents of one kind with the view's columns and commands.
    void ShowView(DocumentKind kind);
    // Shows the calendar under the date box at `left`, or hides it when it is already there.
    void ToggleCalendar(int left);
    void RequestFilter(bool issueOn, bool editOn, const char* state);
    void FilterEnd();
    // Writes Sort of the requests not yet issued; `lateOnly` leaves requests due after today at 0.
    void StoreSort(bool lateOnly);
    void ReloadView(DocumentKind kind);
    // Captions "Button5" for what it does in the main window's current mode.
    void ShowArchiveCommand();
    bool ProductFiltered() const;
    int64_t FilteredProduct() const;
    bool HasSelection() const;
};

extern TForm4* Form4;
