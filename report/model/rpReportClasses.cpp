// rpReportClasses.cpp - start-up of the report classes.
#include "report/model/rpReportClasses.h"

#include "report/model/rpClassRTTI.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpDialogs.h"
#include "report/model/rpModel.h"
#include "report/model/rpStyles.h"

#include "platform/rtl/SysUtils.h"

TrpObjectCollection& rpObjects()
{
    static TrpObjectCollection c;
    return c;
}

void TrpObjectCollection::RegisterObject1(TClass ClassRef, const AnsiString& ButtonHint, const AnsiString& CategoryName,
                                          int Flags, int ImageIndex)
{
    for (const TrpObjectItem& i : FItems)
        if (ClassRef && i.ClassRef == ClassRef && i.Flags == Flags)
            return;
    FItems.push_back({ClassRef, ImageIndex, ButtonHint, CategoryName, Flags});
    if (ClassRef)
        RegisterClass(ClassRef);
}

void TrpObjectCollection::Unregister(TClass ClassRef)
{
    std::erase_if(FItems, [&](const TrpObjectItem& i) { return i.ClassRef == ClassRef; });
}

const TrpObjectItem& TrpObjectCollection::GetObjectItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<size_t>(Index)];
}

void rpInitReportClasses()
{
    rpInitModel();
    RegisterClasses({TrpChild::StaticClass(),        TrpColumnFooter::StaticClass(), TrpColumnHeader::StaticClass(),
                     TrpCustomMemoView::StaticClass(), TrpMasterData::StaticClass(), TrpDetailData::StaticClass(),
                     TrpSubdetailData::StaticClass(), TrpDataBand4::StaticClass(),   TrpDataBand5::StaticClass(),
                     TrpDataBand6::StaticClass(),     TrpDialogPage::StaticClass(),  TrpFooter::StaticClass(),
                     TrpFrame::StaticClass(),         TrpGroupFooter::StaticClass(), TrpGroupHeader::StaticClass(),
                     TrpHeader::StaticClass(),        TrpHighlight::StaticClass(),   TrpLineView::StaticClass(),
                     TrpMemoView::StaticClass(),      TrpOverlay::StaticClass(),     TrpPageFooter::StaticClass(),
                     TrpPageHeader::StaticClass(),    TrpPictureView::StaticClass(), TrpReport::StaticClass(),
                     TrpReportPage::StaticClass(),    TrpReportSummary::StaticClass(), TrpReportTitle::StaticClass(),
                     TrpShapeView::StaticClass(),     TrpSubreport::StaticClass(),   TrpSysMemoView::StaticClass(),
                     TrpStyleItem::StaticClass(),     TrpNullBand::StaticClass(),    TrpCustomLineView::StaticClass()});
    RegisterClasses({TrpDMPPage::StaticClass(), TrpFormat::StaticClass(), TrpDBDataset::StaticClass(),
                     TrpUserDataSet::StaticClass()});
    rpObjects().RegisterObject1(TrpDMPMemoView::StaticClass(), {}, {}, 0, 2);
    rpObjects().RegisterObject1(TrpDMPLineView::StaticClass(), {}, {}, 0, 5);
    rpClassRTTIStartup();
}

void rpDoneReportClasses()
{
    rpClassRTTIShutdown();
    rpFreeParentForm();
}
