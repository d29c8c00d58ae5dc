// rpPreviewForm.h - the print-preview window: one TrpPreview filling it, a tool bar whose
// buttons map to the preview's commands, a zoom box, a page-number box and a status bar
// with the page text and the progress text.
//
// The report's PreviewOptions decide, in Init, which tool-bar groups exist (Buttons; the
// separators of absent groups are freed), the outline, the zoom, whether captions show,
// the caption (ReportOptions.Name) and the window state. While the report is being
// prepared into the window the close button reads "Отмена" and cancels instead of
// closing, the page commands are disabled and the window refuses to close.
//
// The tool bar holds its buttons in one fixed row; the zoom box and the page number sit
// in TrpTBPanel panels (rpDock.h). The buttons show the pictures of MainImages
// (rpPreviewImages.h) by their image index, and their hints as tooltips. The mouse wheel
// anywhere over the window scrolls the pages (FormMouseWheel, the form's OnMouseWheel).
//
// rpInstallPreviewWindows() makes this window, the progress window and the password prompt
// the ones the report library opens (start-up).
#pragma once

#include "report/output/rpCtrls.h"
#include "report/output/rpDock.h"
#include "report/output/rpPreview.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/Menus.h"

#include <memory>

class TrpPreviewForm : public TrpCustomPreviewForm, public TrpPreviewHost {
    SKLAD_CLASS_NOPUBLISH(TrpPreviewForm, TrpCustomPreviewForm)
public:
    explicit TrpPreviewForm(TComponent* AOwner);
    ~TrpPreviewForm() override;

    // -- TrpCustomPreviewForm
    TrpCustomPreview* GetPreview() const override { return Preview; }
    void Init() override;
    // Status panel 1, then pending messages.
    void SetMessageText(const AnsiString& Text) override;

    // The close box is refused while the report is being prepared into the window.
    bool UserCloseRequested() override;

    // -- TrpPreviewHost
    void UpdateControls() override;
    void UpdateZoom() override;
    void SetCloseCaption(const AnsiString& Text) override;

    TrpReport* GetReport() const { return Preview->Report; }
    void OnPageChanged(TrpPreview* Sender, int PageNo);
    // The mouse wheel turned over the window.
    void FormMouseWheel(int WheelDelta);

    // -- tool-bar commands
    void PrintBClick(TObject* Sender);
    void OpenBClick(TObject* Sender);
    void SaveBClick(TObject* Sender);
    void FindBClick(TObject* Sender);
    void PageSettingsBClick(TObject* Sender);
    void ZoomWholePageBClick(TObject* Sender);
    void ZoomPageWidthBClick(TObject* Sender);
    void Zoom100BClick(TObject* Sender);
    void Zoom50BClick(TObject* Sender);
    void ZoomCBClick(TObject* Sender);
    void OutlineBClick(TObject* Sender);
    void SelectToolBClick(TObject* Sender);
    void FirstBClick(TObject* Sender);
    void PriorBClick(TObject* Sender);
    void NextBClick(TObject* Sender);
    void LastBClick(TObject* Sender);
    void PageEClick(TObject* Sender);
    void NewPageBClick(TObject* Sender);
    void DelPageBClick(TObject* Sender);
    void DesignerBClick(TObject* Sender);
    void Showtemplate1Click(TObject* Sender);
    void ExportMIClick(TObject* Sender);
    void CancelBClick(TObject* Sender);

    bool FreeOnClose = false;
    TrpPreview* Preview = nullptr;

    TToolBar* ToolBar = nullptr;
    TImageList* MainImages = nullptr;
    TToolButton* PrintB = nullptr;
    TToolButton* OpenB = nullptr;
    TToolButton* SaveB = nullptr;
    TToolButton* ExportB = nullptr;
    TToolButton* FindB = nullptr;
    TToolButton* Sep1 = nullptr;
    TToolButton* ZoomWholePageB = nullptr;
    TToolButton* ZoomPageWidthB = nullptr;
    TToolButton* Zoom100B = nullptr;
    TToolButton* Zoom50B = nullptr;
    TrpTBPanel* Sep3 = nullptr;
    TrpComboBox* ZoomCB = nullptr;
    TToolButton* Sep2 = nullptr;
    TToolButton* PageSettingsB = nullptr;
    TToolButton* OutlineB = nullptr;
    TToolButton* Sep5 = nullptr;
    TToolButton* HandToolB = nullptr;
    TToolButton* ZoomToolB = nullptr;
    TToolButton* Sep7 = nullptr;
    TToolButton* NewPageB = nullptr;
    TToolButton* DelPageB = nullptr;
    TToolButton* DesignerB = nullptr;
    TToolButton* Sep6 = nullptr;
    TToolButton* FirstB = nullptr;
    TToolButton* PriorB = nullptr;
    TrpTBPanel* Sep4 = nullptr;
    TEdit* PageE = nullptr;
    TToolButton* NextB = nullptr;
    TToolButton* LastB = nullptr;
    TrpTBPanel* frTBPanel1 = nullptr;
    TSpeedButton* CancelB = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPopupMenu* ExportPopup = nullptr;
    TPopupMenu* HiddenMenu = nullptr;
    TMenuItem* Showtemplate1 = nullptr;

private:
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormMouseWheelEvent(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void DesignerBMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Captions and hints come from the window's resource text block.
    TToolButton* AddButton(const char* Name, int ImageIndex, void (TrpPreviewForm::*Click)(TObject*),
                           TToolButtonStyle Style = tbsButton);
    TToolButton* AddSeparator(const char* Name);
    TrpTBPanel* AddPanel(const char* Name, int Width);
    void FreeSeparator(TToolButton*& Separator);

    int FNextLeft = 0;
    // Posted calls check it: the window may be gone before they run.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Installs the preview window, the progress window and the password prompt as the ones
// the report library opens, and the preview as where clicked page links lead.
void rpInstallPreviewWindows();
