// rpReportClasses.cpp - start-up of the report classes.
#include "report/model/rpReportClasses.h"

#include "report/model/rpClassRTTI.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpDialogs.h"
#include "report/model/rpModel.h"
#include "report/model/rpStyles.h"

#include "platform/rtl/SysUtils.h"

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
    rpObjects().RegisterObject1(TrpDMPMemoView::StaticClass(), nullptr, {}, {}, 0, 2);
    rpObjects().RegisterObject1(TrpDMPLineView::StaticClass(), nullptr, {}, {}, 0, 5);
    rpRegisterDesignTime();
    // The library's cursors: hand over clickable objects, zoom, format painter.
    TScreen::SetCursors(50, "rpHAND");
    TScreen::SetCursors(51, "rpZOOM");
    TScreen::SetCursors(52, "rpFORMAT");
    rpClassRTTIStartup();
}

void rpDoneReportClasses()
{
    rpUnregisterDesignTime();
    rpClassRTTIShutdown();
    rpFreeParentForm();
}
