// A form with one of each control, read from layouts/AllControls.dfm beside the tests. The
// scenario tests use it, and so can the Qt backend's smoke test.
#pragma once

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <string>
#include <vector>

class TAllControls : public TForm {
    SKLAD_CLASS(TAllControls, TForm)
public:
    // Reads `layoutFile` (default: the file beside the tests).
    explicit TAllControls(TComponent* AOwner)
        : TAllControls(AOwner, AnsiString(SKLAD_TESTS_DIR) + "/layouts/AllControls.dfm")
    {
    }
    TAllControls(TComponent* AOwner, const AnsiString& layoutFile);

    TToolBar* ToolBar1 = nullptr;
    TToolButton* ToolButton1 = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TTreeView* TreeView1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    TMemo* Memo1 = nullptr;
    TListBox* ListBox1 = nullptr;
    TDateTimePicker* DateTimePicker1 = nullptr;
    TMonthCalendar* MonthCalendar1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TButton* Button1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* N3 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TTimer* Timer1 = nullptr;

    std::vector<std::string> Events;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Button1Click(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void TreeView1Change(TObject* Sender, TTreeNode* Node);
};

// Registers TAllControls (and the gui classes) by name.
void RegisterAllControlsForm();
