#include "report/output/rpPageSettings.h"

#include "report/output/rpPrinter.h"
#include "report/output/rpWindows.h"

#include "report/model/rpPages.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

TrpPageParams rpReadPageParams(const TrpReportPage* Page)
{
    TrpPageParams p;
    if (!Page)
        return p;
    p.Orientation = Page->GetOrientation();
    p.PaperWidth = Page->GetPaperWidth();
    p.PaperHeight = Page->GetPaperHeight();
    p.PaperSize = Page->GetPaperSize();
    p.LeftMargin = Page->LeftMargin;
    p.RightMargin = Page->RightMargin;
    p.TopMargin = Page->TopMargin;
    p.BottomMargin = Page->BottomMargin;
    return p;
}

void rpApplyPageParams(TrpPage* Page, const TrpPageParams& Params)
{
    auto* page = dynamic_cast<TrpReportPage*>(Page);
    if (!page)
        return;
    page->SetOrientation(Params.Orientation);
    page->SetPaperWidth(Params.PaperWidth);
    page->SetPaperHeight(Params.PaperHeight);
    page->SetPaperSize(Params.PaperSize);
    page->LeftMargin = Params.LeftMargin;
    page->RightMargin = Params.RightMargin;
    page->TopMargin = Params.TopMargin;
    page->BottomMargin = Params.BottomMargin;
}

SKLAD_DEFINE_CLASS(TrpPageSettingsForm)

TrpPageSettingsForm::TrpPageSettingsForm(TComponent* AOwner) : TForm(AOwner)
{
    rpSetDialogLook(this, 286, 359);

    SizeL = rpMakeControl<TGroupBox>(this, this, "SizeL", 8, 4, 270, 97);
    SizeCB = rpMakeControl<TComboBox>(this, SizeL, "SizeCB", 8, 18, 253, 21);
    SizeCB->SetStyle(csDropDownList);
    SizeCB->SetDropDownCount(16);
    WidthL = rpMakeControl<TLabel>(this, SizeL, "WidthL", 8, 48, 60, 13);
    WidthE = rpMakeControl<TEdit>(this, SizeL, "WidthE", 80, 44, 57, 21);
    rpMakeControl<TLabel>(this, SizeL, "cmL1", 142, 48, 15, 13);
    HeightL = rpMakeControl<TLabel>(this, SizeL, "HeightL", 8, 72, 60, 13);
    HeightE = rpMakeControl<TEdit>(this, SizeL, "HeightE", 80, 68, 57, 21);
    rpMakeControl<TLabel>(this, SizeL, "cmL2", 142, 72, 15, 13);

    OrientationL = rpMakeControl<TGroupBox>(this, this, "OrientationL", 8, 104, 270, 65);
    PortraitRB = rpMakeControl<TRadioButton>(this, OrientationL, "PortraitRB", 60, 18, 200, 17);
    LandscapeRB = rpMakeControl<TRadioButton>(this, OrientationL, "LandscapeRB", 60, 40, 200, 17);
    PortraitImg = rpMakeControl<TImage>(this, OrientationL, "PortraitImg", 12, 18, 32, 40);
    LandscapeImg = rpMakeControl<TImage>(this, OrientationL, "LandscapeImg", 12, 18, 32, 40);
    LandscapeImg->SetVisible(false);
    PortraitRB->SetChecked(true);

    MarginsL = rpMakeControl<TGroupBox>(this, this, "MarginsL", 8, 172, 270, 73);
    LeftL = rpMakeControl<TLabel>(this, MarginsL, "LeftL", 8, 20, 50, 13);
    MarginLeftE = rpMakeControl<TEdit>(this, MarginsL, "MarginLeftE", 64, 16, 49, 21);
    rpMakeControl<TLabel>(this, MarginsL, "cmL3", 117, 20, 15, 13);
    TopL = rpMakeControl<TLabel>(this, MarginsL, "TopL", 8, 46, 50, 13);
    MarginTopE = rpMakeControl<TEdit>(this, MarginsL, "MarginTopE", 64, 42, 49, 21);
    rpMakeControl<TLabel>(this, MarginsL, "cmL4", 117, 46, 15, 13);
    RightL = rpMakeControl<TLabel>(this, MarginsL, "RightL", 140, 20, 50, 13);
    MarginRightE = rpMakeControl<TEdit>(this, MarginsL, "MarginRightE", 196, 16, 49, 21);
    rpMakeControl<TLabel>(this, MarginsL, "cmL5", 249, 20, 15, 13);
    BottomL = rpMakeControl<TLabel>(this, MarginsL, "BottomL", 140, 46, 50, 13);
    MarginBottomE = rpMakeControl<TEdit>(this, MarginsL, "MarginBottomE", 196, 42, 49, 21);
    rpMakeControl<TLabel>(this, MarginsL, "cmL6", 249, 46, 15, 13);

    OtherL = rpMakeControl<TGroupBox>(this, this, "OtherL", 8, 248, 270, 69);
    ApplyToCurRB =
        rpMakeControl<TRadioButton>(this, OtherL, "ApplyToCurRB", 8, 20, 250, 17);
    ApplyToAllRB =
        rpMakeControl<TRadioButton>(this, OtherL, "ApplyToAllRB", 8, 42, 250, 17);
    ApplyToCurRB->SetChecked(true);

    OKB = rpMakeControl<TButton>(this, this, "OKB", 122, 326, 75, 25);
    OKB->SetDefault(true);
    OKB->SetModalResult(mrOk);
    CancelB = rpMakeControl<TButton>(this, this, "CancelB", 203, 326, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    SizeCB->OnSelect = TNotifyEvent(this, &TrpPageSettingsForm::SizeCBClick);
    PortraitRB->OnClick = TNotifyEvent(this, &TrpPageSettingsForm::PortraitRBClick);
    LandscapeRB->OnClick = TNotifyEvent(this, &TrpPageSettingsForm::PortraitRBClick);
    WidthE->OnChange = TNotifyEvent(this, &TrpPageSettingsForm::WidthEChange);
    HeightE->OnChange = TNotifyEvent(this, &TrpPageSettingsForm::WidthEChange);
    OnShow = TNotifyEvent(this, &TrpPageSettingsForm::FormShow);
    OnHide = TNotifyEvent(this, &TrpPageSettingsForm::FormHide);
    OnCloseQuery = TCloseQueryEvent(this, &TrpPageSettingsForm::FormCloseQuery);
    rpResources().LocalizeForm(this);
}

namespace {

// Cleared again on every way out, so a conversion error leaves the dialog working.
struct TUpdating {
    bool& Flag;
    explicit TUpdating(bool& flag) : Flag(flag) { Flag = true; }
    ~TUpdating() { Flag = false; }
};

AnsiString Centimetres(long double mm) { return rpFloatToStr(mm / 10); }

// The code of the chosen paper, found by its place in the list: paper names may be blank
// or repeated, codes are not. No choice gives the first entry's code (the custom size).
int ChosenPaper(const TrpCustomPrinter& printer, const TComboBox& list)
{
    const int index = list.GetItemIndex();
    const int count = printer.GetPapers()->Count();
    if (count == 0)
        return DMPAPER_USER;
    return printer.GetPaperCode(index >= 0 && index < count ? index : 0);
}

}  // namespace

void TrpPageSettingsForm::FormShow(TObject*)
{
    TUpdating updating(FUpdating);
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    const TrpPageParams p = rpReadPageParams(Page);
    SizeCB->GetItems()->Clear();
    if (printer) {
        SizeCB->GetItems()->Assign(const_cast<TStrings*>(printer->GetPapers()));
        int index = printer->PaperIndex(p.PaperSize);
        if (index < 0)
            index = printer->PaperIndex(DMPAPER_USER);
        SizeCB->SetItemIndex(index);
    }
    WidthE->SetText(Centimetres(p.PaperWidth));
    HeightE->SetText(Centimetres(p.PaperHeight));
    if (p.Orientation == poPortrait)
        PortraitRB->SetChecked(true);
    else
        LandscapeRB->SetChecked(true);
    MarginLeftE->SetText(Centimetres(p.LeftMargin));
    MarginRightE->SetText(Centimetres(p.RightMargin));
    MarginTopE->SetText(Centimetres(p.TopMargin));
    MarginBottomE->SetText(Centimetres(p.BottomMargin));
    PortraitRBClick(this);
}

void TrpPageSettingsForm::PortraitRBClick(TObject*)
{
    PortraitImg->SetVisible(PortraitRB->GetChecked());
    LandscapeImg->SetVisible(LandscapeRB->GetChecked());
    SizeCBClick(this);
}

void TrpPageSettingsForm::SizeCBClick(TObject*)
{
    if (FUpdating)
        return;
    TUpdating updating(FUpdating);
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    if (!printer)
        return;
    const int paper = ChosenPaper(*printer, *SizeCB);
    const long double w = rpStrToFloat(WidthE->GetText()) * 10;
    const long double h = rpStrToFloat(HeightE->GetText()) * 10;
    const TPrinterOrientation orientation = PortraitRB->GetChecked() ? poPortrait : poLandscape;
    if (paper == DMPAPER_USER)
        printer->SetViewParams(DMPAPER_USER, h, w, orientation);
    else
        printer->SetViewParams(paper, w, h, orientation);
    WidthE->SetText(Centimetres(printer->PaperWidth));
    HeightE->SetText(Centimetres(printer->PaperHeight));
}

void TrpPageSettingsForm::WidthEChange(TObject*)
{
    if (FUpdating)
        return;
    SizeCB->SetItemIndex(0);
}

void TrpPageSettingsForm::FormCloseQuery(TObject*, bool& CanClose)
{
    // A size or margin that is not a number keeps the dialog open, with the reason shown,
    // instead of closing with OK and changing nothing.
    if (GetModalResult() != mrOk)
        return;
    try {
        for (TEdit* edit : {WidthE, HeightE, MarginLeftE, MarginRightE, MarginTopE, MarginBottomE})
            rpStrToFloat(edit->GetText());
    } catch (const Exception& e) {
        CanClose = false;
        Application->ShowException(e);
    }
}

void TrpPageSettingsForm::FormHide(TObject*)
{
    if (GetModalResult() != mrOk)
        return;
    TrpPageParams p;
    p.Orientation = PortraitRB->GetChecked() ? poPortrait : poLandscape;
    p.PaperWidth = rpStrToFloat(WidthE->GetText()) * 10;
    p.PaperHeight = rpStrToFloat(HeightE->GetText()) * 10;
    TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
    p.PaperSize = printer ? ChosenPaper(*printer, *SizeCB) : DMPAPER_USER;
    p.LeftMargin = rpStrToFloat(MarginLeftE->GetText()) * 10;
    p.RightMargin = rpStrToFloat(MarginRightE->GetText()) * 10;
    p.TopMargin = rpStrToFloat(MarginTopE->GetText()) * 10;
    p.BottomMargin = rpStrToFloat(MarginBottomE->GetText()) * 10;
    Params = p;
    if (Page) {
        rpApplyPageParams(Page, p);
        Page->AlignChildren();
    }
}
