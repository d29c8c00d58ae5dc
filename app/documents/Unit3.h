// Unit3.h - the document window: receipts, order requests, issue invoices and write-off acts are entered and viewed here.
//
// The window's layout (app/forms/Unit3.dfm) is complete; the behaviour of its handlers comes
// with the document work, so most of them do nothing yet.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

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
    float DocTotal = 0;
    float LineQuantity = 0;
    float LinePrice = 0;
    float NewStock = 0;

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
};

extern TForm3* Form3;
