// rpEngineModel.h - the few questions the engine, the aggregates and the prepared pages
// ask of the template classes, in one place.
#pragma once

#include "report/model/rpBands.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

inline TrpBand* rpFindPageBand(TrpReportPage* Page, TClass BandClass)
{
    return Page ? Page->FindBand(BandClass) : nullptr;
}
inline bool rpBandVertical(const TrpBand* Band) { return Band && Band->Vertical; }
inline int rpBandNumber(const TrpBand* Band) { return Band ? Band->BandNumber() : 0; }
inline bool rpMemoAllowExpressions(const TrpCustomMemoView* Memo) { return Memo->AllowExpressions; }
inline AnsiString rpMemoExpressionDelimiters(const TrpCustomMemoView* Memo) { return Memo->ExpressionDelimiters; }
inline AnsiString rpMemoText(const TrpCustomMemoView* Memo) { return Memo->GetMemo()->GetText(); }
inline void rpMemoSetTotalPages(TrpCustomMemoView* Memo, int Count) { Memo->PageTotal = Count; }
