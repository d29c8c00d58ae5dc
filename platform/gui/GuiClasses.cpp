// Registers the gui layer's classes by name, so layouts and scripts can create them.
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include "platform/classes/Streaming.h"

#include "platform/gui/DBGrids.h"

#include <mutex>

void RegisterGuiClasses()
{
    RegisterClassesUnit();
    RegisterGraphicsClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterIntegerConsts("TCursor", {
            {"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
            {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},
            {"crSizeNWSE", crSizeNWSE}, {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow},
            {"crHourGlass", crHourGlass}, {"crDrag", crDrag}, {"crNoDrop", crNoDrop},
            {"crHSplit", crHSplit}, {"crVSplit", crVSplit}, {"crMultiDrag", crMultiDrag},
            {"crSQLWait", crSQLWait}, {"crNo", crNo}, {"crAppStart", crAppStart}, {"crHelp", crHelp},
            {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
        });
        RegisterIntegerConsts("TModalResult", {
            {"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
            {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo},
            {"mrAll", mrAll}, {"mrNoToAll", mrNoToAll}, {"mrYesToAll", mrYesToAll},
        });
    });
    RegisterClasses({
        TControl::StaticClass(), TWinControl::StaticClass(), TGraphicControl::StaticClass(),
        TCustomControl::StaticClass(), TControlScrollBar::StaticClass(), TScrollingWinControl::StaticClass(),
        TScrollBox::StaticClass(),
        TCustomForm::StaticClass(), TForm::StaticClass(), TDataModule::StaticClass(),
        TScreen::StaticClass(), TApplication::StaticClass(),
        TCustomLabel::StaticClass(), TLabel::StaticClass(), TCustomEdit::StaticClass(), TEdit::StaticClass(),
        TMemo::StaticClass(), TCustomComboBox::StaticClass(), TComboBox::StaticClass(),
        TCustomListBox::StaticClass(), TListBox::StaticClass(), TButtonControl::StaticClass(),
        TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(),
        TCustomGroupBox::StaticClass(), TGroupBox::StaticClass(),
        TCustomPanel::StaticClass(), TPanel::StaticClass(), TSplitter::StaticClass(), TPaintBox::StaticClass(),
        TImage::StaticClass(), TBevel::StaticClass(), TTimer::StaticClass(),
        TSpeedButton::StaticClass(),
        TTreeView::StaticClass(), TToolButton::StaticClass(), TToolBar::StaticClass(),
        TCustomImageList::StaticClass(), TImageList::StaticClass(),
        TStatusPanel::StaticClass(), TStatusBar::StaticClass(), TProgressBar::StaticClass(),
        TUpDown::StaticClass(), TDateTimePicker::StaticClass(), TMonthCalendar::StaticClass(),
        TMenuItem::StaticClass(), TMenu::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass(),
        TCommonDialog::StaticClass(), TOpenDialog::StaticClass(), TSaveDialog::StaticClass(),
        TFontDialog::StaticClass(), TColorDialog::StaticClass(), TPrintDialog::StaticClass(),
        TPrinterSetupDialog::StaticClass(),
    });
    RegisterDBGridClasses();
}
