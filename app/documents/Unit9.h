// Unit9.h - the report builder: report kind, period and the goods a stock report covers.
//
// The window's layout (app/forms/Unit9.dfm) is complete; the behaviour of its handlers comes
// with the document work, so most of them do nothing yet.
#pragma once

#include "platform/gui/Forms.h"

#include <cstdint>

class TButton;
class TCheckBox;
class TComboBox;
class TDBGrid;
class TEdit;
class TGroupBox;
class TMonthCalendar;
class TRadioButton;
class TTreeView;
class TTreeNode;
class TColumn;

class TForm9 : public TForm {
    SKLAD_CLASS(TForm9, TForm)
public:
    explicit TForm9(TComponent* AOwner);

    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TRadioButton* RadioButton3 = nullptr;
    TRadioButton* RadioButton4 = nullptr;
    TRadioButton* RadioButton5 = nullptr;
    TRadioButton* RadioButton7 = nullptr;
    TRadioButton* RadioButton8 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TMonthCalendar* MonthCalendar1 = nullptr;
    TMonthCalendar* MonthCalendar2 = nullptr;
    TTreeView* TreeView1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;

    uint8_t FirstShow = 0;

    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void RadioButton3Click(TObject* Sender);
    void RadioButton4Click(TObject* Sender);
    void RadioButton5Click(TObject* Sender);
    void RadioButton7Click(TObject* Sender);
    void RadioButton8Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void MonthCalendar1Click(TObject* Sender);
    void MonthCalendar2Click(TObject* Sender);
    void TreeView1Click(TObject* Sender);
    void FormClick(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void DBGrid1DblClick(TObject* Sender);
    void GroupBox1Click(TObject* Sender);
    void GroupBox2Click(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    void ComboBox2Select(TObject* Sender);
    void FormShow(TObject* Sender);
    void TreeView1Change(TObject* Sender, TTreeNode* Node);
    void DBGrid1TitleClick(TColumn* Column);
};

extern TForm9* Form9;
