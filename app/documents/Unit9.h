// Unit9.h - the report builder: report kind, period and the goods a stock report covers.
//
// The goods a report covers are marked in the catalogue itself (Products.V = "V"; Products.O
// holds the order that marked them), so marks are shared with every window and outlive the
// builder; each showing starts with none. Marking many goods runs in one transaction. The
// grid shows the main window's ADOQuery15: a group with its subgroups, a supplier's or an
// order's goods. "Печать" fills the report queries (Printing.h) and shows the kind's
// template, its variant chosen by table Name; a turnover period whose start is after its end
// is refused with a message. Every value is bound.
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

    enum class TReportKind { StockState, Turnover, Shortage, Surplus, Purchase };
    // The kind the radio buttons choose (stock state when none is checked).
    TReportKind ReportKind() const;

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
    // Opens the builder over the warehouse's groups, every product unmarked.
    void ShowBuilder();

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

private:
    void StockKindChosen();
    void HideCalendars();
};

extern TForm9* Form9;
