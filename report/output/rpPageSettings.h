// rpPageSettings.h - the page settings dialog of the preview: paper, orientation, margins,
// and whether the change applies to the shown page or to every page (a rebuild).
//
// Sizes and margins are shown in centimetres (the page keeps millimetres). The paper list
// is the current printer's (rpPrinters); its first entry is the custom size (256).
// Choosing a listed paper fills in its dimensions for the chosen orientation; typing a
// size selects the custom entry; with the custom size, switching the orientation
// exchanges width and height.
//
// The page is changed only when the dialog closes with OK. OK with a size or margin that is
// not a number shows the conversion error and keeps the dialog open; choosing a paper then
// shows it too, and the dialog keeps working.
#pragma once

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/printers/PrintBackend.h"

class TrpReportPage;
class TrpPage;

// The settings the dialog edits, as a page holds them (mm).
struct TrpPageParams {
    TPrinterOrientation Orientation = poPortrait;
    long double PaperWidth = 0, PaperHeight = 0;
    int PaperSize = 0;
    long double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
};

TrpPageParams rpReadPageParams(const TrpReportPage* Page);
// Orientation, width, height and paper through their setters, then the margins; does
// nothing to a page that is not a report page.
void rpApplyPageParams(TrpPage* Page, const TrpPageParams& Params);

class TrpPageSettingsForm : public TForm {
    SKLAD_CLASS_NOPUBLISH(TrpPageSettingsForm, TForm)
public:
    explicit TrpPageSettingsForm(TComponent* AOwner);

    // Apply to all pages chosen: the caller rebuilds the report.
    bool GetNeedRebuild() const { return ApplyToAllRB->GetChecked(); }

    TrpReportPage* Page = nullptr;  // set by the caller before showing
    TrpPageParams Params;           // what OK gave

    TGroupBox* SizeL = nullptr;
    TComboBox* SizeCB = nullptr;
    TLabel* WidthL = nullptr;
    TEdit* WidthE = nullptr;
    TLabel* HeightL = nullptr;
    TEdit* HeightE = nullptr;
    TGroupBox* OrientationL = nullptr;
    TRadioButton* PortraitRB = nullptr;
    TRadioButton* LandscapeRB = nullptr;
    TImage* PortraitImg = nullptr;
    TImage* LandscapeImg = nullptr;
    TGroupBox* MarginsL = nullptr;
    TLabel* LeftL = nullptr;
    TEdit* MarginLeftE = nullptr;
    TLabel* TopL = nullptr;
    TEdit* MarginTopE = nullptr;
    TLabel* RightL = nullptr;
    TEdit* MarginRightE = nullptr;
    TLabel* BottomL = nullptr;
    TEdit* MarginBottomE = nullptr;
    TGroupBox* OtherL = nullptr;
    TRadioButton* ApplyToCurRB = nullptr;
    TRadioButton* ApplyToAllRB = nullptr;
    TButton* OKB = nullptr;
    TButton* CancelB = nullptr;

    void SizeCBClick(TObject* Sender);
    void PortraitRBClick(TObject* Sender);
    void WidthEChange(TObject* Sender);

private:
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    bool FUpdating = false;
};
