// rpBands.cpp - the band classes.
#include "report/model/rpBands.h"

#include "report/model/rpDMPClass.h"
#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"

#include "platform/rtl/Math.h"

namespace {
Extended Snap(Extended Value, Extended Cell)
{
    return static_cast<Extended>(Round(Value / Cell)) * Cell;
}
}  // namespace

const std::array<TClass, 18>& rpBands()
{
    static const std::array<TClass, 18> bands = {
        TrpReportTitle::StaticClass(),  TrpReportSummary::StaticClass(), TrpPageHeader::StaticClass(),
        TrpPageFooter::StaticClass(),   TrpHeader::StaticClass(),        TrpFooter::StaticClass(),
        TrpMasterData::StaticClass(),   TrpDetailData::StaticClass(),    TrpSubdetailData::StaticClass(),
        TrpDataBand4::StaticClass(),    TrpDataBand5::StaticClass(),     TrpDataBand6::StaticClass(),
        TrpGroupHeader::StaticClass(),  TrpGroupFooter::StaticClass(),   TrpChild::StaticClass(),
        TrpColumnHeader::StaticClass(), TrpColumnFooter::StaticClass(),  TrpOverlay::StaticClass()};
    return bands;
}

// ---------------------------------------------------------------- TrpBand

SKLAD_DEFINE_ABSTRACT_CLASS(TrpBand)
void TrpBand::Publish(TPropertyTable& t)
{
    t.Prop("Font", &TrpBand::GetFont, &TrpBand::SetFont).Stored(&TrpBand::IsFontStored);
    t.Prop("Height", &TrpBand::GetHeight, &TrpBand::SetHeight);
    t.Prop("Left", &TrpBand::GetLeft, &TrpBand::SetLeft);
    t.Prop("ParentFont", &TrpBand::GetParentFont, &TrpBand::SetParentFont).Default(true);
    t.Prop("Restrictions", &TrpBand::GetRestrictions, &TrpBand::SetRestrictions).Default(TrpRestrictions());
    t.Prop("Top", &TrpBand::GetTop, &TrpBand::SetTop);
    t.Prop("Vertical", &TrpBand::Vertical, &TrpBand::Vertical).Default(false);
    t.Prop("Visible", &TrpBand::GetVisible, &TrpBand::SetVisible).Default(true);
    t.Prop("Width", &TrpBand::GetWidth, &TrpBand::SetWidth);
    t.Prop("OnAfterCalcHeight", &TrpBand::OnAfterCalcHeight, &TrpBand::OnAfterCalcHeight).Type("TrpNotifyEvent");
    t.Prop("OnAfterPrint", &TrpBand::OnAfterPrint, &TrpBand::OnAfterPrint).Type("TrpNotifyEvent");
    t.Prop("OnBeforePrint", &TrpBand::OnBeforePrint, &TrpBand::OnBeforePrint).Type("TrpNotifyEvent");
}

TrpBand::TrpBand(TComponent* AOwner) : TrpReportComponent(AOwner) {}
TrpBand::TrpBand(TComponent* AOwner, uint16_t Flags) : TrpReportComponent(AOwner, Flags) {}

TrpBand::~TrpBand() = default;

AnsiString TrpBand::GetDescription() const { return rpResources().Get("obBand"); }

AnsiString TrpBand::GetBandName() const
{
    AnsiString n = ClassName();
    if (size_t at = n.find("Trp"); at != AnsiString::npos)
        n.erase(at, 3);
    if (size_t at = n.find("Band"); at != AnsiString::npos)
        n.erase(at, 4);
    return n;
}

int TrpBand::BandNumber() const
{
    int r = 0;
    const auto& bands = rpBands();
    for (int i = 0; i < static_cast<int>(bands.size()); ++i)
        if (ClassType()->InheritsFrom(bands[static_cast<size_t>(i)]))
            r = i;
    return r;
}

void TrpBand::SetChild(TrpChild* Value)
{
    FChild.Set(Value == static_cast<TrpBand*>(this) ? nullptr : Value);  // a band is never its own child
}

void TrpBand::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpReportComponent::Notification(AComponent, Operation);
    FChild.Forget(AComponent, Operation);
}

bool TrpBand::OnDotMatrixPage() const { return dynamic_cast<TrpDMPPage*>(Parent()) != nullptr; }

void TrpBand::SetLeft(Extended Value) { TrpReportComponent::SetLeft(OnDotMatrixPage() ? Snap(Value, 9.6L) : Value); }
void TrpBand::SetTop(Extended Value) { TrpReportComponent::SetTop(OnDotMatrixPage() ? Snap(Value, 17) : Value); }
void TrpBand::SetHeight(Extended Value)
{
    TrpReportComponent::SetHeight(OnDotMatrixPage() ? Snap(Value, 17) : Value);
}

// ---------------------------------------------------------------- band kinds

#define RP_PUBLISH_CHILD(C)                                                                               \
    t.Prop("Child", &C::GetChild, &C::SetChild);                                                          \
    t.Prop("KeepChild", &C::KeepChild, &C::KeepChild).Default(false);                                     \
    t.Prop("PrintChildIfInvisible", &C::PrintChildIfInvisible, &C::PrintChildIfInvisible).Default(false);
#define RP_PUBLISH(C, Name) t.Prop(#Name, &C::Name, &C::Name).Default(false);

SKLAD_DEFINE_CLASS(TrpReportTitle)
void TrpReportTitle::Publish(TPropertyTable& t)
{
    RP_PUBLISH_CHILD(TrpReportTitle)
    RP_PUBLISH(TrpReportTitle, StartNewPage)
    RP_PUBLISH(TrpReportTitle, Stretched)
}

SKLAD_DEFINE_CLASS(TrpReportSummary)
void TrpReportSummary::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpReportSummary, AllowSplit)
    RP_PUBLISH_CHILD(TrpReportSummary)
    RP_PUBLISH(TrpReportSummary, StartNewPage)
    RP_PUBLISH(TrpReportSummary, Stretched)
}

SKLAD_DEFINE_CLASS(TrpPageHeader)
void TrpPageHeader::Publish(TPropertyTable& t)
{
    t.Prop("Child", &TrpPageHeader::GetChild, &TrpPageHeader::SetChild);
    RP_PUBLISH(TrpPageHeader, PrintChildIfInvisible)
    t.Prop("PrintOnFirstPage", &TrpPageHeader::PrintOnFirstPage, &TrpPageHeader::PrintOnFirstPage).Default(true);
    RP_PUBLISH(TrpPageHeader, Stretched)
}

SKLAD_DEFINE_CLASS(TrpPageFooter)
void TrpPageFooter::Publish(TPropertyTable& t)
{
    t.Prop("PrintOnFirstPage", &TrpPageFooter::PrintOnFirstPage, &TrpPageFooter::PrintOnFirstPage).Default(true);
    t.Prop("PrintOnLastPage", &TrpPageFooter::PrintOnLastPage, &TrpPageFooter::PrintOnLastPage).Default(true);
}

SKLAD_DEFINE_CLASS(TrpHeader)
void TrpHeader::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpHeader, AllowSplit)
    RP_PUBLISH_CHILD(TrpHeader)
    RP_PUBLISH(TrpHeader, ReprintOnNewPage)
    RP_PUBLISH(TrpHeader, StartNewPage)
    RP_PUBLISH(TrpHeader, Stretched)
}

SKLAD_DEFINE_CLASS(TrpFooter)
void TrpFooter::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpFooter, AllowSplit)
    RP_PUBLISH_CHILD(TrpFooter)
    RP_PUBLISH(TrpFooter, Stretched)
}

SKLAD_DEFINE_CLASS(TrpGroupHeader)
void TrpGroupHeader::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpGroupHeader, AllowSplit)
    t.Prop("Child", &TrpGroupHeader::GetChild, &TrpGroupHeader::SetChild);
    t.Prop("Condition", &TrpGroupHeader::Condition, &TrpGroupHeader::Condition);
    RP_PUBLISH(TrpGroupHeader, KeepChild)
    RP_PUBLISH(TrpGroupHeader, KeepTogether)
    RP_PUBLISH(TrpGroupHeader, ReprintOnNewPage)
    t.Prop("OutlineText", &TrpGroupHeader::OutlineText, &TrpGroupHeader::OutlineText);
    RP_PUBLISH(TrpGroupHeader, PrintChildIfInvisible)
    RP_PUBLISH(TrpGroupHeader, StartNewPage)
    RP_PUBLISH(TrpGroupHeader, Stretched)
}

SKLAD_DEFINE_CLASS(TrpGroupFooter)
void TrpGroupFooter::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpGroupFooter, AllowSplit)
    RP_PUBLISH_CHILD(TrpGroupFooter)
    RP_PUBLISH(TrpGroupFooter, Stretched)
}

SKLAD_DEFINE_CLASS(TrpChild)
void TrpChild::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpChild, AllowSplit)
    RP_PUBLISH_CHILD(TrpChild)
    RP_PUBLISH(TrpChild, StartNewPage)
    RP_PUBLISH(TrpChild, Stretched)
}

SKLAD_DEFINE_CLASS(TrpColumnHeader)
void TrpColumnHeader::Publish(TPropertyTable& t) { RP_PUBLISH(TrpColumnHeader, Stretched) }

SKLAD_DEFINE_CLASS(TrpColumnFooter)
void TrpColumnFooter::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpOverlay)
void TrpOverlay::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpNullBand)
void TrpNullBand::Publish(TPropertyTable&) {}

// ---------------------------------------------------------------- TrpDataBand

SKLAD_DEFINE_ABSTRACT_CLASS(TrpDataBand)
void TrpDataBand::Publish(TPropertyTable& t)
{
    RP_PUBLISH(TrpDataBand, AllowSplit)
    t.Prop("Child", &TrpDataBand::GetChild, &TrpDataBand::SetChild);
    t.Prop("Columns", &TrpDataBand::Columns, &TrpDataBand::Columns).Default(0);
    t.Prop("ColumnWidth", &TrpDataBand::ColumnWidth, &TrpDataBand::ColumnWidth);
    t.Prop("ColumnGap", &TrpDataBand::ColumnGap, &TrpDataBand::ColumnGap);
    t.Prop("DataSet", &TrpDataBand::GetDataSet, &TrpDataBand::SetDataSet);
    t.Prop("DataSetName", &TrpDataBand::GetDataSetName, &TrpDataBand::SetDataSetName);
    RP_PUBLISH(TrpDataBand, FooterAfterEach)
    RP_PUBLISH(TrpDataBand, KeepChild)
    RP_PUBLISH(TrpDataBand, KeepFooter)
    RP_PUBLISH(TrpDataBand, KeepHeader)
    RP_PUBLISH(TrpDataBand, KeepTogether)
    t.Prop("OutlineText", &TrpDataBand::OutlineText, &TrpDataBand::OutlineText);
    RP_PUBLISH(TrpDataBand, PrintChildIfInvisible)
    RP_PUBLISH(TrpDataBand, PrintIfDetailEmpty)
    t.Prop("RowCount", &TrpDataBand::GetRowCount, &TrpDataBand::SetRowCount).Default(0);
    RP_PUBLISH(TrpDataBand, StartNewPage)
    RP_PUBLISH(TrpDataBand, Stretched)
    t.Prop("OnMasterDetail", &TrpDataBand::OnMasterDetail, &TrpDataBand::OnMasterDetail).Type("TrpNotifyEvent");
}

#undef RP_PUBLISH
#undef RP_PUBLISH_CHILD

SKLAD_DEFINE_CLASS(TrpMasterData)
void TrpMasterData::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpDetailData)
void TrpDetailData::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpSubdetailData)
void TrpSubdetailData::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpDataBand4)
void TrpDataBand4::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpDataBand5)
void TrpDataBand5::Publish(TPropertyTable&) {}
SKLAD_DEFINE_CLASS(TrpDataBand6)
void TrpDataBand6::Publish(TPropertyTable&) {}

TrpDataBand::TrpDataBand(TComponent* AOwner) : TrpBand(AOwner) {}

TrpUserDataSet* TrpDataBand::VirtualDataSet() const
{
    if (!FVirtualDataSet) {
        FVirtualDataSet = std::make_unique<TrpUserDataSet>(nullptr);
        FVirtualDataSet->RangeEnd = reCount;
        FVirtualDataSet->RangeEndCount = FRowCount;
    }
    return FVirtualDataSet.get();
}

TrpDataBand::~TrpDataBand() = default;

AnsiString TrpDataBand::GetDescription() const { return rpResources().Get("obDataBand"); }

void TrpDataBand::SetDataSet(TrpDataSet* Value)
{
    FDataSet.Set(Value);
    FDataSetName = FDataSet ? FDataSet->GetUserName() : AnsiString();
}

AnsiString TrpDataBand::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TrpDataBand::SetDataSetName(const AnsiString& Value)
{
    FDataSetName = Value;
    TrpDataSet* found = rpFindDataSet(FDataSet, Value, GetReport());
    if (found && found != FDataSet)
        SetDataSet(found);
}

void TrpDataBand::Notification(TComponent* AComponent, TOperation Operation)
{
    TrpBand::Notification(AComponent, Operation);
    FDataSet.Forget(AComponent, Operation);
}

void TrpDataBand::SetRowCount(int Value)
{
    FRowCount = Value;
    if (FVirtualDataSet)
        FVirtualDataSet->RangeEndCount = Value;
}

void TrpDataBand::SetCurColumn(int Value)
{
    // Columns 0 means one column: "the last column" of such a band is its first, not 0.
    if (Value > Columns || Value < 1)
        Value = 1;
    FCurColumn = Value;
    if (Value == 1)
        ColumnBottom = 0;
    FLeft = (FCurColumn - 1) * (ColumnWidth + ColumnGap);
}
