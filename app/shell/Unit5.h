// Unit5.h - the multi-purpose input dialog: one line of input for seven jobs.
//
// The opener chooses the job with SetJob(), which also shows the job's caption; the handlers
// decide by the job, never by comparing captions. Jobs: add a subgroup, rename a group, move
// the product under the goods grid's cursor to another group (the group list is shown), set
// its article, change the VAT percent, make a new warehouse, post a write-off act.
//
// A refused job shows why and leaves the dialog open with its input unchanged; a job that
// succeeds closes the dialog. Every value is bound. Work that writes several rows (renaming
// a group, posting an act) runs in one transaction. The VAT dialog stores the value shown on
// every close and cannot be closed while its text is not a whole percent of 0 or more.
//
// The write-off posting itself is WriteOff.h; the new warehouse is made here.
#pragma once

#include "app/documents/WriteOff.h"
#include "platform/gui/Forms.h"

class TEdit;
class TButton;
class TComboBox;

enum class TInputJob {
    None,
    AddSubgroup,     // "Добавить подгруппу"
    Rename,          // "Переименовать"
    MoveProduct,     // the group list is shown
    NewWarehouse,    // "Наименование нового склада"
    Vat,             // "Изменение НДС"
    WriteOff,        // "Введите пароль на списание"
    Article,         // "Добавить/изменить артикул"
};

// The caption a job shows (the move job keeps whatever caption its opener gives).
const char* InputJobCaption(TInputJob job);

class TForm5 : public TForm {
    SKLAD_CLASS(TForm5, TForm)
public:
    explicit TForm5(TComponent* AOwner);
    ~TForm5() override;

    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    TComboBox* ComboBox1 = nullptr;

    TInputJob Job() const { return FJob; }
    // Sets the job and its caption.
    void SetJob(TInputJob job);

    // -- openers: each arranges the dialog for its job and shows it modally.
    // A job of one line of input, the box holding `text` (hidden as typed for the write-off password).
    void Ask(TInputJob job, const AnsiString& text = {});
    // The move job: the list of every group instead of the box.
    void AskGroupToMoveTo();

    // The act the write-off job posts (set by ConfirmWriteOff) and whether it was posted.
    TWriteOffAct WriteOffAct;
    bool WriteOffPosted = false;

    void Button1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void AddSubgroup(const AnsiString& name);
    void RenameGroup(const AnsiString& name);
    void MoveProduct();
    void SetArticle(const AnsiString& article);
    void NewWarehouse(const AnsiString& name);
    void PostWriteOffAct(const AnsiString& password);
    // Parses the VAT text; on a bad one shows the message and returns false.
    bool ParseVat(int& value);
    void StoreVat(int value);

    TInputJob FJob = TInputJob::None;
};

extern TForm5* Form5;

// A name the new-warehouse job accepts as a file name in the program's folder.
bool IsValidWarehouseName(const AnsiString& name);
