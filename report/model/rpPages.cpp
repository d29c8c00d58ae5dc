// rpPages.cpp - the report page.
#include "report/model/rpPages.h"

#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"

#include "platform/printers/PaperTable.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <utility>

namespace {
TrpPrinterPaperQuery& PaperQuery()
{
    static TrpPrinterPaperQuery q;
    return q;
}
}  // namespace

void rpSetPrinterPaperQuery(TrpPrinterPaperQuery Query) { PaperQuery() = std::move(Query); }

bool rpGetPaperDimensions(int PaperSize, Extended& Width, Extended& Height)
{
    double w = 0, h = 0;
    if (!GetPaperDimensions(PaperSize, w, h))
        return false;
    Width = w;
    Height = h;
    return true;
}

SKLAD_DEFINE_CLASS(TrpReportPage)
void TrpReportPage::Publish(TPropertyTable& t)
{
    using P = TrpReportPage;
    t.Prop("Bin", &P::Bin, &P::Bin).Default(7);
    t.Prop("BinOtherPages", &P::BinOtherPages, &P::BinOtherPages).Default(7);
    t.Prop("BottomMargin", &P::BottomMargin, &P::BottomMargin);
    t.Prop("Columns", &P::GetColumns, &P::SetColumns).Default(0);
    t.Prop("ColumnWidth", &P::ColumnWidth, &P::ColumnWidth);
    t.Prop("ColumnPositions", &P::GetColumnPositions, &P::SetColumnPositions);
    t.Prop("DataSet", &P::GetDataSet, &P::SetDataSet);
    t.Prop("DataSetName", &P::GetDataSetName, &P::SetDataSetName);
    t.Prop("Duplex", &P::Duplex, &P::Duplex).Default(dmNone);
    t.Prop("HGuides", &P::GetHGuides, &P::SetHGuides);
    t.Prop("LargeDesignHeight", &P::LargeDesignHeight, &P::LargeDesignHeight).Default(false);
    t.Prop("LeftMargin", &P::LeftMargin, &P::LeftMargin);
    t.Prop("MirrorMargins", &P::MirrorMargins, &P::MirrorMargins).Default(false);
    t.Prop("Orientation", &P::GetOrientation, &P::SetOrientation).Default(poPortrait);
    t.Prop("OutlineText", &P::OutlineText, &P::OutlineText);
    t.Prop("PrintIfEmpty", &P::PrintIfEmpty, &P::PrintIfEmpty).Default(true);
    t.Prop("PrintOnPreviousPage", &P::PrintOnPreviousPage, &P::PrintOnPreviousPage).Default(false);
    t.Prop("RightMargin", &P::RightMargin, &P::RightMargin);
    t.Prop("TitleBeforeHeader", &P::TitleBeforeHeader, &P::TitleBeforeHeader).Default(true);
    t.Prop("TopMargin", &P::TopMargin, &P::TopMargin);
    t.Prop("VGuides", &P::GetVGuides, &P::SetVGuides);
    t.Prop("OnAfterPrint", &P::OnAfterPrint, &P::OnAfterPrint).Type("TrpNotifyEvent");
    t.Prop("OnBeforePrint", &P::OnBeforePrint, &P::OnBeforePrint).Type("TrpNotifyEvent");
    t.Prop("OnManualBuild", &P::OnManualBuild, &P::OnManualBuild).Type("TrpNotifyEvent");
    t.Prop("PaperHeight", &P::GetPaperHeight, &P::SetPaperHeight);
    t.Prop("PaperSize", &P::GetPaperSize, &P::SetPaperSize);
    t.Prop("PaperWidth", &P::GetPaperWidth, &P::SetPaperWidth);
    t.Prop("Frame", &P::GetFrame, &P::SetFrame);
    t.Prop("Color", &P::GetColor, &P::SetColor).Type("TColor").Default(clNone);
    t.Prop("BackPicture", &P::GetBackPicture, &P::SetBackPicture);
    t.Prop("Font", &P::GetFont, &P::SetFont).Stored(&P::IsFontStored);
    t.Prop("Visible", &P::GetVisible, &P::SetVisible).Default(true);
}

TrpReportPage::TrpReportPage(TComponent* AOwner)
    : TrpPage(AOwner),
      FBackground(std::make_unique<TrpPictureView>(nullptr)),
      FColumnPositions(std::make_unique<TStringList>()),
      FHGuides(std::make_unique<TStringList>()),
      FVGuides(std::make_unique<TStringList>())
{
    FBackground->Color = clNone;
    FBackground->KeepAspectRatio = false;
    FOrientation = poPortrait;
    TrpReportPage::SetPaperSize(9);
    BaseName = "Page";
}

TrpReportPage::~TrpReportPage()
{
    // The objects go while the page is whole: a subreport on this page that shows this
    // page touches it from its destructor.
    Clear();
}

void TrpReportPage::UpdateDimensions()
{
    SetWidth(static_cast<Extended>(Round(FPaperWidth * rpMMToUnits)));
    SetHeight(static_cast<Extended>(Round(FPaperHeight * rpMMToUnits)));
}

void TrpReportPage::SetPaperSize(int Value)
{
    FPaperSize = Value;
    if (Value >= 256)
        return;
    Extended w = 0, h = 0;
    if (!rpGetPaperDimensions(Value, w, h))
        return;  // an unknown code keeps the current sheet
    if (FOrientation == poLandscape)
        std::swap(w, h);
    FPaperWidth = w;
    FPaperHeight = h;
    UpdateDimensions();
}

// While a template is read, a stored size is only stored: the stored paper code follows
// and must not be turned into a custom size by the attribute order.
void TrpReportPage::SetPaperWidth(Extended Value)
{
    FPaperWidth = Value;
    if (!GetIsLoading())
        FPaperSize = DMPAPER_USER;
    UpdateDimensions();
}

void TrpReportPage::SetPaperHeight(Extended Value)
{
    FPaperHeight = Value;
    if (!GetIsLoading())
        FPaperSize = DMPAPER_USER;
    UpdateDimensions();
}

// A stored sheet that is not the paper its code names (the code is missing from the file,
// or another writer made it) is a custom sheet: kept under the paper's code, it would be
// saved with that code and come back as that paper the next time the file is read. Within
// half a millimetre it is the paper (a printer's A4 in points is 209.9 mm wide); a
// dot-matrix page compares with the paper as it rounds it.
void TrpReportPage::Loaded()
{
    TrpPage::Loaded();
    if (FPaperSize >= DMPAPER_USER)
        return;
    const int code = FPaperSize;
    const Extended width = FPaperWidth, height = FPaperHeight;
    SetPaperSize(code);
    const bool isThePaper = std::fabs(static_cast<double>(FPaperWidth - width)) <= 0.5 &&
                            std::fabs(static_cast<double>(FPaperHeight - height)) <= 0.5;
    FPaperWidth = width;
    FPaperHeight = height;
    FPaperSize = isThePaper ? code : DMPAPER_USER;
    UpdateDimensions();
}

void TrpReportPage::SetDefaults()
{
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    int size = DMPAPER_A4;
    Extended w = 210, h = 297;
    TPrinterOrientation o = poPortrait;
    if (PaperQuery() && PaperQuery()(size, w, h, o)) {
        FPaperSize = size;
        FPaperWidth = w;
        FPaperHeight = h;
        FOrientation = o;
    } else {
        FPaperSize = DMPAPER_A4;
        FPaperWidth = 210;
        FPaperHeight = 297;
        FOrientation = poPortrait;
    }
    UpdateDimensions();
}

void TrpReportPage::SetOrientation(TPrinterOrientation Value)
{
    // Stored margins and sizes already belong to the stored orientation: reading it must
    // not turn them a second time.
    if (Value != FOrientation && !GetIsLoading()) {
        std::swap(FPaperWidth, FPaperHeight);
        const Extended l = LeftMargin, r = RightMargin, t = TopMargin, b = BottomMargin;
        if (Value == poLandscape) {
            LeftMargin = t;
            RightMargin = b;
            TopMargin = r;
            BottomMargin = l;
        } else {
            LeftMargin = b;
            RightMargin = t;
            TopMargin = l;
            BottomMargin = r;
        }
        FOrientation = Value;
        UpdateDimensions();
    }
    FOrientation = Value;
}

void TrpReportPage::SetColumns(int Value)
{
    FColumns = Value;
    FColumnPositions->Clear();
    if (FColumns <= 0)
        return;
    ColumnWidth = (FPaperWidth - LeftMargin - RightMargin) / FColumns;
    const int n = std::min(FColumns, 1000);  // one line per column; a damaged count stays bounded
    for (int i = 0; i < n; ++i)
        FColumnPositions->Add(FloatToStr(static_cast<double>(i * ColumnWidth)));
}

void TrpReportPage::ClearGuides()
{
    FHGuides->Clear();
    FVGuides->Clear();
}

TColor TrpReportPage::GetColor() const { return FBackground->Color; }
void TrpReportPage::SetColor(TColor Value) { FBackground->Color = Value; }
TrpFrame* TrpReportPage::GetFrame() const { return FBackground->GetFrame(); }
void TrpReportPage::SetFrame(TrpFrame* Value) { FBackground->SetFrame(Value); }
TPicture* TrpReportPage::GetBackPicture() const { return FBackground->GetPicture(); }
void TrpReportPage::SetBackPicture(TPicture* Value) { FBackground->SetPicture(Value); }

void TrpReportPage::SetDataSet(TrpDataSet* Value)
{
    FDataSet.Set(Value);
    FDataSetName = FDataSet ? FDataSet->GetUserName() : AnsiString();
}

AnsiString TrpReportPage::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TrpReportPage::SetDataSetName(const AnsiString& Value)
{
    FDataSetName = Value;
    TrpDataSet* found = rpFindDataSet(FDataSet, Value, GetReport());
    if (found && found != FDataSet)
        SetDataSet(found);
}

void TrpReportPage::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpPage::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FDataSet.Forget(AComponent, Operation);
    if (AComponent == SubReport)
        SubReport = nullptr;
}

TrpBand* TrpReportPage::FindBand(TClass AClass) const
{
    for (TrpComponent* c : Objects())
        if (c->ClassType()->InheritsFrom(AClass))
            if (auto* b = dynamic_cast<TrpBand*>(c))
                return b;
    return nullptr;
}

AnsiString TrpReportPage::GetDescription() const { return rpResources().Get("obRepPage"); }

void TrpReportPage::Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY)
{
    FBackground->SetWidth(rpMMToUnits * (FPaperWidth - LeftMargin - RightMargin));
    FBackground->SetHeight(rpMMToUnits * (FPaperHeight - TopMargin - BottomMargin));
    FBackground->Draw(Canvas, ScaleX, ScaleY, OffsetX + LeftMargin * rpMMToUnits * ScaleX,
                      OffsetY + TopMargin * rpMMToUnits * ScaleY);
}

void TrpReportPage::AlignChildren()
{
    SetWidth(rpMMToUnits * (FPaperWidth - LeftMargin - RightMargin));
    TrpPage::AlignChildren();
    for (TrpComponent* c : Objects()) {
        auto* band = dynamic_cast<TrpBand*>(c);
        if (!band)
            continue;
        if (!band->Vertical)
            band->SetWidth(FWidth - band->GetLeft());
        else
            band->SetHeight(rpMMToUnits * (FPaperHeight - TopMargin - BottomMargin) - band->GetTop());
        band->AlignChildren();
    }
    UpdateDimensions();
}
