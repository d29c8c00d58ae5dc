// The report library's database dataset over a real warehouse: text columns are as wide as
// the schema declares them, whether the query is open or not.
#include "app/db/testing/WarehouseFixture.h"

#include "report/model/rpDBSet.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportFieldWidth, DeclaredSizesOfTheWarehouseColumns)
{
    TWarehouseFixture w;
    struct Case {
        const char* sql;
        const char* field;
        int width;
    };
    const Case cases[] = {
        {"Select * From Products", "Наименование", 255},
        {"Select * From Products", "Марка", 100},
        {"Select * From Products", "№", 50},
        {"Select Наименование, Марка From Products", "Марка", 100},
        {"Select * From Groups", "NameGroup", 255},
        {"Select * From Products", "ID", 0},  // a number: the field's 11 when open, else 10
    };
    for (bool open : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(AnsiString(c.sql) + " / " + c.field + (open ? " (open)" : " (closed)"));
            TComponent form(nullptr);
            auto* q = new TADOQuery(&form);
            q->SetConnection(&w.Connection());
            q->GetSQL()->SetText(c.sql);
            auto* ds = new TrpDBDataset(&form);
            ds->SetName("D");
            ds->SetDataSet(q);
            if (open)
                q->Open();
            const int width = c.width ? c.width : open ? 11 : 10;
            EXPECT_EQ(ds->GetDisplayWidth(c.field), width);
            if (open) {
                ASSERT_NE(q->FindField(c.field), nullptr);
                if (q->FindField(c.field)->DataType() == ftString) {
                    EXPECT_EQ(q->FindField(c.field)->Size(), width);
                }
            }
        }
    }
}

}  // namespace
