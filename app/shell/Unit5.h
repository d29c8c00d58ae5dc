// Unit5.h - the multi-purpose input dialog: one line of input for seven jobs.
//
// The opener chooses the job with SetJob(), which also shows the job's caption; the
// handlers decide by the job, never by comparing captions. The jobs' own work (adding and
// renaming groups, moving goods, the article, the VAT rate, the new warehouse and the
// write-off posting) comes with the catalogue and document work; here the dialog has its
// layout, its jobs and its openers.
#pragma once

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

    TEdit* Edit1 = nullptr;
    TButton* Button1 = nullptr;
    TComboBox* ComboBox1 = nullptr;

    TInputJob Job() const { return FJob; }
    // Sets the job and its caption.
    void SetJob(TInputJob job);

    void Button1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    TInputJob FJob = TInputJob::None;
};

extern TForm5* Form5;
