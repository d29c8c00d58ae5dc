#include "report/output/rpPreviewForm.h"

#include "report/output/rpPreviewImages.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpProgress.h"

#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

constexpr int kZoomPageWidthItem = 6, kZoomWholePageItem = 7;

}  // namespace

SKLAD_DEFINE_CLASS(TrpPreviewForm)

TrpPreviewForm::TrpPreviewForm(TComponent* AOwner) : TrpCustomPreviewForm(AOwner)
{
    SetClientWidth(741);
    SetClientHeight(584);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    SetKeyPreview(true);
    SetShowHint(true);

    ToolBar = new TToolBar(this);
    ToolBar->SetName("ToolBar");
    ToolBar->SetParent(this);
    ToolBar->SetAlign(alTop);
    ToolBar->SetFlat(true);
    ToolBar->SetAutoSize(true);
    ToolBar->SetBorderWidth(2);
    ToolBar->SetButtonHeight(23);
    ToolBar->SetWrapable(false);
    MainImages = new TImageList(this);
    MainImages->SetName("MainImages");
    rpLoadPreviewImages(MainImages);
    ToolBar->SetImages(MainImages);
    // The tool bar places its controls in order of their Left: each one is placed after the
    // one before it and the bar arranges them once, when all are there.
    ToolBar->DisableAlign();

    ExportPopup = new TPopupMenu(this);
    ExportPopup->SetName("ExportPopup");
    HiddenMenu = new TPopupMenu(this);
    HiddenMenu->SetName("HiddenMenu");
    Showtemplate1 = new TMenuItem(this);
    Showtemplate1->SetName("Showtemplate1");
    Showtemplate1->SetCaption("Show template");
    Showtemplate1->OnClick = TNotifyEvent(this, &TrpPreviewForm::Showtemplate1Click);
    HiddenMenu->GetItems()->Add(Showtemplate1);

    PrintB = AddButton("PrintB", 2, &TrpPreviewForm::PrintBClick);
    OpenB = AddButton("OpenB", 0, &TrpPreviewForm::OpenBClick);
    SaveB = AddButton("SaveB", 1, &TrpPreviewForm::SaveBClick);
    ExportB = AddButton("ExportB", 3, nullptr, tbsDropDown);
    ExportB->SetDropdownMenu(ExportPopup);
    FindB = AddButton("FindB", 4, &TrpPreviewForm::FindBClick);
    Sep1 = AddSeparator("Sep1");
    ZoomWholePageB =
        AddButton("ZoomWholePageB", 12, &TrpPreviewForm::ZoomWholePageBClick);
    ZoomPageWidthB = AddButton("ZoomPageWidthB", 13, &TrpPreviewForm::ZoomPageWidthBClick);
    Zoom100B = AddButton("Zoom100B", 14, &TrpPreviewForm::Zoom100BClick);
    Zoom50B = AddButton("Zoom50B", 15, &TrpPreviewForm::Zoom50BClick);
    Sep3 = AddPanel("Sep3", 56);
    ZoomCB = new TrpComboBox(this);
    ZoomCB->SetName("ZoomCB");
    ZoomCB->SetParent(Sep3);
    ZoomCB->SetAlign(alNone);
    ZoomCB->SetBounds(4, 2, 49, 19);
    ZoomCB->SetListWidth(100);
    ZoomCB->SetStyle(csDropDown);
    ZoomCB->SetTabStop(true);
    ZoomCB->OnSelect = TNotifyEvent(this, &TrpPreviewForm::ZoomCBClick);
    Sep2 = AddSeparator("Sep2");
    PageSettingsB =
        AddButton("PageSettingsB", 7, &TrpPreviewForm::PageSettingsBClick);
    OutlineB = AddButton("OutlineB", 5, &TrpPreviewForm::OutlineBClick, tbsCheck);
    Sep5 = AddSeparator("Sep5");
    HandToolB = AddButton("HandToolB", 16, &TrpPreviewForm::SelectToolBClick, tbsCheck);
    HandToolB->SetGrouped(true);
    HandToolB->SetDown(true);
    ZoomToolB = AddButton("ZoomToolB", 17, &TrpPreviewForm::SelectToolBClick, tbsCheck);
    ZoomToolB->SetGrouped(true);
    Sep7 = AddSeparator("Sep7");
    NewPageB = AddButton("NewPageB", 19, &TrpPreviewForm::NewPageBClick);
    DelPageB = AddButton("DelPageB", 20, &TrpPreviewForm::DelPageBClick);
    DesignerB = AddButton("DesignerB", 21, &TrpPreviewForm::DesignerBClick);
    DesignerB->OnMouseUp = TMouseEvent(this, &TrpPreviewForm::DesignerBMouseUp);
    Sep6 = AddSeparator("Sep6");
    FirstB = AddButton("FirstB", 8, &TrpPreviewForm::FirstBClick);
    PriorB = AddButton("PriorB", 9, &TrpPreviewForm::PriorBClick);
    Sep4 = AddPanel("Sep4", 47);
    PageE = new TEdit(this);
    PageE->SetName("PageE");
    PageE->SetParent(Sep4);
    PageE->SetAlign(alNone);
    PageE->SetBounds(4, 4, 37, 15);
    PageE->SetBorderStyle(bsNone);
    PageE->SetText("1");
    PageE->SetTabStop(true);
    NextB = AddButton("NextB", 10, &TrpPreviewForm::NextBClick);
    LastB = AddButton("LastB", 11, &TrpPreviewForm::LastBClick);
    frTBPanel1 = AddPanel("frTBPanel1", 50);
    CancelB = new TSpeedButton(this);
    CancelB->SetName("CancelB");
    CancelB->SetBounds(FNextLeft, 0, 68, 23);
    CancelB->SetParent(ToolBar);
    CancelB->SetSpacing(2);
    CancelB->OnClick = TNotifyEvent(this, &TrpPreviewForm::CancelBClick);
    ToolBar->EnableAlign();
    ToolBar->Realign();

    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->GetPanels()->Add()->SetWidth(150);
    StatusBar->GetPanels()->Add()->SetWidth(50);

    OnKeyDown = TKeyEvent(this, &TrpPreviewForm::FormKeyDown);
    OnMouseWheel = TMouseWheelEvent(this, &TrpPreviewForm::FormMouseWheelEvent);
    OnKeyPress = TKeyPressEvent(this, &TrpPreviewForm::FormKeyPress);
    OnCloseQuery = TCloseQueryEvent(this, &TrpPreviewForm::FormCloseQuery);
    OnClose = TCloseEvent(this, &TrpPreviewForm::FormClose);

    // What the form resource's creation handler does; every caption and hint comes from here.
    rpResources().LocalizeForm(this);
    TStrings* zooms = ZoomCB->GetItems();
    for (const char* z : {"25%", "50%", "75%", "100%", "150%", "200%"})
        zooms->Add(z);
    zooms->Add(rpResources().Get("zmPageWidth"));
    zooms->Add(rpResources().Get("zmWholePage"));
    ZoomCB->SetText("100%");
    Preview = new TrpPreview(this);
    Preview->SetName("Preview");
    Preview->SetParent(this);
    Preview->SetAlign(alClient);
    Preview->OnPageChanged = TrpPageChangedEvent(this, &TrpPreviewForm::OnPageChanged);
    SetActiveControl(Preview);
}

TrpPreviewForm::~TrpPreviewForm() { *FAlive = false; }

TToolButton* TrpPreviewForm::AddButton(const char* Name, int ImageIndex, void (TrpPreviewForm::*Click)(TObject*),
                                       TToolButtonStyle Style)
{
    auto* button = new TToolButton(this);
    button->SetName(Name);
    button->SetStyle(Style);
    button->SetLeft(FNextLeft);
    button->SetParent(ToolBar);
    button->SetImageIndex(ImageIndex);
    if (Click)
        button->OnClick = TNotifyEvent(this, Click);
    FNextLeft += button->GetWidth();
    return button;
}

TToolButton* TrpPreviewForm::AddSeparator(const char* Name)
{
    auto* separator = new TToolButton(this);
    separator->SetName(Name);
    separator->SetStyle(tbsSeparator);
    separator->SetBounds(FNextLeft, 0, 8, 22);
    separator->SetParent(ToolBar);
    FNextLeft += 8;
    return separator;
}

TrpTBPanel* TrpPreviewForm::AddPanel(const char* Name, int Width)
{
    auto* panel = new TrpTBPanel(this);
    panel->SetName(Name);
    panel->SetAlign(alNone);
    panel->SetBounds(FNextLeft, 0, Width, 23);
    panel->SetParent(ToolBar);
    FNextLeft += Width;
    return panel;
}

void TrpPreviewForm::FreeSeparator(TToolButton*& Separator)
{
    delete Separator;
    Separator = nullptr;
}

void TrpPreviewForm::Init()
{
    TrpReport* report = GetReport();
    if (!report)
        return;
    TrpPreviewOptions* options = report->GetPreviewOptions();
    if (options->Maximized)
        SetWindowState(wsMaximized);
    if (options->MDIChild)
        SetFormStyle(fsMDIChild);
    Preview->SetOutlineVisible(options->OutlineVisible);
    Preview->OutlineTree->SetWidth(options->OutlineWidth);
    Preview->SetZoom(options->Zoom);
    Preview->SetZoomMode(options->ZoomMode);
    NewPageB->SetEnabled(options->AllowEdit);
    DelPageB->SetEnabled(options->AllowEdit);
    DesignerB->SetEnabled(options->AllowEdit);

    const TrpPreviewButtons buttons = options->Buttons;
    auto show = [&](TrpPreviewButton b, std::initializer_list<TControl*> controls) {
        for (TControl* c : controls)
            c->SetVisible(buttons.Contains(b));
        return buttons.Contains(b);
    };
    show(pbPrint, {PrintB});
    show(pbLoad, {OpenB});
    show(pbSave, {SaveB});
    show(pbExport, {ExportB});
    if (!show(pbZoom, {ZoomWholePageB, ZoomPageWidthB, Zoom100B, Zoom50B, Sep3}) && Sep1)
        FreeSeparator(Sep1);
    show(pbFind, {FindB});
    if (show(pbOutline, {OutlineB}))
        OutlineB->SetDown(options->OutlineVisible);
    show(pbPageSetup, {PageSettingsB});
    if (!buttons.Contains(pbOutline) && !buttons.Contains(pbPageSetup) && Sep2)
        FreeSeparator(Sep2);
    if (!show(pbTools, {HandToolB, ZoomToolB}) && Sep5)
        FreeSeparator(Sep5);
    if (!show(pbEdit, {NewPageB, DelPageB, DesignerB}) && Sep7)
        FreeSeparator(Sep7);
    if (!show(pbNavigator, {FirstB, PriorB, NextB, LastB, Sep4}) && Sep6)
        FreeSeparator(Sep6);
    ToolBar->SetShowCaptions(options->ShowCaptions);
    ToolBar->Realign();  // the shown controls close up where others went

    // One item per registered export filter; nothing registers one in this program.
    while (ExportPopup->GetItems()->Count() > 0)
        delete ExportPopup->GetItems()->Items(0);
    for (int i = 0; i < rpExportFilters().Count(); ++i) {
        TrpCustomExportFilter* filter = rpExportFilters().GetExportFilterItem(i);
        auto* item = new TMenuItem(this);
        item->SetCaption(filter->GetDescription() + "...");
        item->SetTag(i);
        item->OnClick = TNotifyEvent(this, &TrpPreviewForm::ExportMIClick);
        ExportPopup->GetItems()->Add(item);
    }
    if (!report->GetReportOptions()->Name.empty())
        SetCaption(report->GetReportOptions()->Name);
    Preview->Init();
}

void TrpPreviewForm::UpdateControls()
{
    const bool idle = !Preview->GetRunning();
    const bool edit = idle && GetReport() && GetReport()->GetPreviewOptions()->AllowEdit;
    auto enable = [](std::initializer_list<TToolButton*> controls, bool value) {
        for (TToolButton* b : controls) {
            b->SetEnabled(value);
            if (!value && b->GetDown())
                b->SetDown(false);
        }
    };
    enable({PrintB, OpenB, SaveB, ExportB, FindB, PageSettingsB}, idle);
    enable({NewPageB, DelPageB, DesignerB}, edit);
}

void TrpPreviewForm::UpdateZoom() { ZoomCB->SetText(IntToStr(static_cast<int>(Round(Preview->GetZoom() * 100))) + "%"); }

void TrpPreviewForm::SetCloseCaption(const AnsiString& Text) { CancelB->SetCaption(Text); }

void TrpPreviewForm::SetMessageText(const AnsiString& Text)
{
    StatusBar->GetPanels()->Items(1)->SetText(Text);
    if (Application)
        Application->ProcessMessages();
}

void TrpPreviewForm::OnPageChanged(TrpPreview* Sender, int PageNo)
{
    const int count = Sender->GetPageCount();
    TrpReport* report = GetReport();
    TrpCustomEngine* engine = report ? report->GetEngine() : nullptr;
    // The first pass of a two-pass build counts pages it will throw away.
    const bool firstPass = Sender->GetRunning() && engine && !engine->FinalPass;
    const AnsiString text = firstPass ? rpResources().Get("clFirstPass") + IntToStr(count)
                                      : Format(rpResources().Get("clPageOf"), {PageNo, count});
    StatusBar->GetPanels()->Items(0)->SetText(text);
    PageE->SetText(IntToStr(PageNo));
}

void TrpPreviewForm::FormMouseWheel(int WheelDelta) { Preview->MouseWheelScroll(WheelDelta); }

// Not marked handled: a control under the mouse that scrolls by itself (the outline
// tree) still does.
void TrpPreviewForm::FormMouseWheelEvent(TObject*, TShiftState, int WheelDelta, TPoint, bool&)
{
    FormMouseWheel(WheelDelta);
}

void TrpPreviewForm::PrintBClick(TObject*)
{
    // The preview's Print tells when no printer is installed, for Ctrl+P as well.
    Preview->Print();
    SetEnabled(true);
}

void TrpPreviewForm::OpenBClick(TObject*) { Preview->LoadFromFile(); }
void TrpPreviewForm::SaveBClick(TObject*) { Preview->SaveToFile(); }
void TrpPreviewForm::FindBClick(TObject*) { Preview->Find(); }
void TrpPreviewForm::PageSettingsBClick(TObject*) { Preview->PageSetupDlg(); }

void TrpPreviewForm::ZoomWholePageBClick(TObject*)
{
    Preview->SetZoomMode(zmWholePage);
    UpdateZoom();
}

void TrpPreviewForm::ZoomPageWidthBClick(TObject*)
{
    Preview->SetZoomMode(zmPageWidth);
    UpdateZoom();
}

void TrpPreviewForm::Zoom100BClick(TObject*)
{
    Preview->SetZoom(1);
    UpdateZoom();
}

void TrpPreviewForm::Zoom50BClick(TObject*)
{
    Preview->SetZoomMode(zmManyPages);
    UpdateZoom();
}

void TrpPreviewForm::ZoomCBClick(TObject*)
{
    if (Preview->CanFocus())
        SetActiveControl(Preview);
    // The box text is rewritten once the list has closed, whatever happens here.
    if (Application) {
        std::weak_ptr<bool> alive = FAlive;
        Application->PostCall([this, alive] {
            if (auto a = alive.lock(); a && *a)
                UpdateZoom();
        });
    }
    const int index = ZoomCB->GetItemIndex();
    if (index == kZoomPageWidthItem) {
        ZoomPageWidthBClick(this);
    } else if (index == kZoomWholePageItem) {
        ZoomWholePageBClick(this);
    } else {
        AnsiString text = ZoomCB->GetText();
        if (const size_t percent = text.find('%'); percent != AnsiString::npos)
            text[percent] = ' ';
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        if (!text.empty())
            Preview->SetZoom(rpStrToFloat(text) / 100);
    }
}

void TrpPreviewForm::OutlineBClick(TObject*)
{
    Preview->SetOutlineVisible(OutlineB->GetDown());
    Preview->UpdateZoom();
}

void TrpPreviewForm::SelectToolBClick(TObject*)
{
    if (HandToolB->GetDown())
        Preview->SetTool(ptHand);
    else if (ZoomToolB->GetDown())
        Preview->SetTool(ptZoom);
}

void TrpPreviewForm::FirstBClick(TObject*) { Preview->First(); }
void TrpPreviewForm::PriorBClick(TObject*) { Preview->Prior(); }
void TrpPreviewForm::NextBClick(TObject*) { Preview->Next(); }
void TrpPreviewForm::LastBClick(TObject*) { Preview->Last(); }

void TrpPreviewForm::PageEClick(TObject*)
{
    Preview->SetPageNo(StrToInt(PageE->GetText()));
    if (Preview->CanFocus())
        SetActiveControl(Preview);
}

void TrpPreviewForm::NewPageBClick(TObject*) { Preview->AddPage(); }
void TrpPreviewForm::DelPageBClick(TObject*) { Preview->DeletePage(); }
void TrpPreviewForm::DesignerBClick(TObject*) { Preview->Edit(); }
void TrpPreviewForm::Showtemplate1Click(TObject*) { Preview->EditTemplate(); }

void TrpPreviewForm::DesignerBMouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button != mbRight)
        return;
    const TPoint p = DesignerB->ClientToScreen(Point(0, 0));
    HiddenMenu->Popup(p.X, p.Y);
}

void TrpPreviewForm::ExportMIClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || item->GetTag() < 0 || item->GetTag() >= rpExportFilters().Count())
        return;
    Preview->Export(rpExportFilters().GetExportFilterItem(item->GetTag()));
    SetEnabled(true);
}

void TrpPreviewForm::CancelBClick(TObject*)
{
    if (!Preview->GetRunning())
        Close();
    else
        Preview->Cancel();
}

void TrpPreviewForm::FormKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_ESCAPE)
        CancelBClick(this);
}

void TrpPreviewForm::FormKeyPress(TObject*, char& Key)
{
    if (Key != '\r')
        return;
    if (GetActiveControl() == ZoomCB)
        ZoomCBClick(this);
    else if (GetActiveControl() == PageE)
        PageEClick(this);
}

void TrpPreviewForm::FormCloseQuery(TObject*, bool& CanClose) { CanClose = !Preview->GetRunning(); }

bool TrpPreviewForm::UserCloseRequested()
{
    // The build runs inside this window's loop (on its timer), so the loop cannot ask
    // FormCloseQuery until the build is over: a close result set now would stand all that
    // time, and a modal window with its result set takes no more input, "Отмена" included.
    // Refused at once, as FormCloseQuery would.
    if (Preview && Preview->GetRunning())
        return AcceptsInput();
    return TrpCustomPreviewForm::UserCloseRequested();
}

void TrpPreviewForm::FormClose(TObject*, TCloseAction& Action)
{
    if (FreeOnClose)
        Action = caFree;
}

void rpInstallPreviewWindows()
{
    rpSetPreviewFormFactory([](TComponent* Owner) -> TrpCustomPreviewForm* { return new TrpPreviewForm(Owner); });
    rpSetProgressFactory([] { return std::unique_ptr<TrpCustomProgress>(new TrpProgress(nullptr)); });
    rpSetPasswordQuery([](AnsiString& Typed) { return rpAskPassword(Typed); });
    // A link clicked on a prepared page ("@" a page number, "#" an anchor) moves the preview
    // it was clicked in.
    rpSetPreviewNavigator([](TrpCustomPreview* Preview, int Page, int Top) {
        auto* preview = dynamic_cast<TrpPreview*>(Preview);
        if (!preview)
            return;
        if (Top < 0)
            preview->SetPageNo(Page);
        else
            preview->SetPosition(Page, Top);
    });
}
