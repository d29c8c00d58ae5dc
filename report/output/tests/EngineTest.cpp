// The engine on small templates over in-memory data: the page frame, data bands, groups,
// page numbers in two passes, columns, stretching and splitting, keeping together,
// subreports; and what it does with templates and data that can never give pages.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/graphics/testing/Golden.h"
#include "platform/rtl/SysUtils.h"

namespace {

TEST(EngineSmoke, MasterBandOverRows)
{
    TTestReport t;
    TRowsDataSet* ds = t.DataSet("Data", NumberedRows(3));
    auto* master = t.Band<TrpMasterData>(40, 20);
    master->SetDataSet(ds);
    t.Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 1);
    EXPECT_EQ(PageTexts(t.Pages(), 0), (std::vector<AnsiString>{"Item 1", "Item 2", "Item 3"}));
}

}  // namespace
