// The walk over data bands and the page frame around it, as a reader of the prepared pages
// sees them: row numbers that stay the row's whatever the page break reprints above it, and
// objects lying on the page outside bands that print their data like any other.
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpRes.h"

#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/rtl/SysUtils.h"

#include <functional>
#include <set>
#include <string>

namespace {

AnsiString Texts(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        out += "|";
        for (const AnsiString& s : PageTexts(Pages, i))
            out += s + ";";
    }
    return out;
}

// Rows of 15 with a child of 10 under each on a page of 189 with a page header and footer of
// 10: six rows and their children fit, the seventh row takes the page on. The reprinted
// band is a header, a group header or the column header, each with counters of its own.
struct TReprintReport : TTestReport {
    enum TReprinted { rHeader, rGroupHeader, rColumnHeader };
    TReprintReport(TReprinted Reprinted, bool FooterAfterEach)
    {
        TRowsDataSet* data = DataSet("Data", NumberedRows(8, 20));
        Memo(Band<TrpPageHeader>(0, 10), 0, 0, 100, 10, "PH");
        if (Reprinted == rColumnHeader) {
            Memo(Band<TrpColumnHeader>(12, 10), 0, 0, 100, 10, "CH");
        } else if (Reprinted == rHeader) {
            auto* h = Band<TrpHeader>(12, 10);
            h->ReprintOnNewPage = true;
            Memo(h, 0, 0, 100, 10, "H");
        } else {
            auto* gh = Band<TrpGroupHeader>(12, 10);
            gh->Condition = "Data.\"Group\"";
            gh->ReprintOnNewPage = true;
            Memo(gh, 0, 0, 100, 10, "GH [Line]/[Line#]");
        }
        auto* master = Band<TrpMasterData>(30, 15);
        master->SetDataSet(data);
        master->FooterAfterEach = FooterAfterEach;
        Memo(master, 0, 0, 100, 15, "[Data.\"N\"]");
        if (FooterAfterEach) {
            Memo(Band<TrpFooter>(50, 10), 0, 0, 100, 10, "F [Line]/[Line#]");
        } else {
            auto* child = Band<TrpChild>(50, 10);
            Memo(child, 0, 0, 100, 10, "C [Line]/[Line#]");
            master->SetChild(child);
        }
        Memo(Band<TrpPageFooter>(120, 10), 0, 0, 100, 10, "PF");
    }
};

// Detail rows that follow the master's record: record N has N % 2 of them.
class TOddDetails : public TRowsDataSet {
public:
    TOddDetails(TRowsDataSet* AMaster) : TRowsDataSet(nullptr), Master(AMaster)
    {
        SetName("D");
        SetUserName("D");
    }
    void First() override
    {
        const int n = Master->GetValue("N").AsInteger();
        std::vector<std::map<AnsiString, Variant>> rows;
        for (int i = 1; i <= n % 2; ++i)
            rows.push_back({{"D", AnsiString("d") + IntToStr(n)}});
        SetRows(std::move(rows));
        TRowsDataSet::First();
    }
    TRowsDataSet* Master;
};

}  // namespace

// A page break reprints bands at the top of the new page, each with its own row counters;
// what the row that took the page on prints after that still has the row's "Line" and
// "Line#" (it used to show the reprinted band's, 0 for a header).
TEST(EngineDataBands, RowKeepsItsLineNumbersAfterAPageBreak)
{
    struct Case {
        const char* why;
        TReprintReport::TReprinted reprinted;
        bool footerAfterEach;
        const char* secondPage;
    };
    const Case cases[] = {
        {"child under a header reprinted", TReprintReport::rHeader, false,
         "|PH;H;7;C 7/7;8;C 8/8;PF;"},
        {"child under the column header", TReprintReport::rColumnHeader, false,
         "|PH;CH;7;C 7/7;8;C 8/8;PF;"},
        {"child under a group header reprinted with its own counters", TReprintReport::rGroupHeader, false,
         "|PH;GH 1/1;7;C 7/7;8;C 8/8;PF;"},
        {"footer after each row under a header reprinted", TReprintReport::rHeader, true,
         "|PH;H;7;F 7/7;8;F 8/8;PF;"},
        {"footer after each row under a group header reprinted", TReprintReport::rGroupHeader, true,
         "|PH;GH 1/1;7;F 7/7;8;F 8/8;PF;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TReprintReport t(c.reprinted, c.footerAfterEach);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 2);
        const AnsiString texts = Texts(t.Pages());
        EXPECT_EQ(texts.substr(texts.rfind('|')), c.secondPage);
    }
}

// Objects lying on the page outside bands print on the report page's first page with their
// expressions and the page's font (they had neither: no report was found above them), and
// the page has its objects back in their order after the run.
TEST(EngineDataBands, ObjectsOutsideBandsPrintTheirData)
{
    TTestReport t;
    t.Page()->GetFont()->SetName("Courier New");
    t.Page()->GetFont()->SetSize(14);
    TrpMemoView* loose = t.Memo(t.Page(), 200, 100, 150, 20, "P[Page#] [2*3]");
    auto* master = t.Band<TrpMasterData>(10, 20);
    master->SetDataSet(t.DataSet("Data", NumberedRows(12)));
    t.Memo(master, 0, 0, 100, 20, "[Data.\"N\"]");
    TrpMemoView* other = t.Memo(t.Page(), 200, 150, 150, 20, "[Data.\"Name\"]");
    const std::vector<TrpComponent*> before(t.Page()->Objects());
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 2);
    const std::vector<AnsiString> texts = PageTexts(t.Pages(), 0);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "P1 6");
    EXPECT_EQ(texts[1], "Item 1");
    EXPECT_EQ(texts[2], "1");
    TRecordingCanvas c;
    t.Pages()->DrawPage(0, &c.Canvas, 1, 1, 0, 0);
    EXPECT_NE(c.Dump().find("font \"Courier New\" -19"), AnsiString::npos) << c.Dump();
    EXPECT_EQ(t.Page()->Objects(), before);
    EXPECT_EQ(loose->Parent(), t.Page());
    EXPECT_EQ(other->Parent(), t.Page());
}

// A report built onto pages already prepared counts "Page" and "TotalPages" from its own
// first page, also when its first report page prints nothing (it counted from the pages
// before it).
TEST(EngineDataBands, PageNumbersCountFromTheFirstPagePrinted)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&, TrpReportPage*)> set;
        const char* appended;
    };
    const Case cases[] = {
        {"both pages print", [](TTestReport&, TrpReportPage*) {}, "|P1 1/3 4;|P2 2/3 5;|P2 3/3 6;"},
        {"the first page is hidden", [](TTestReport&, TrpReportPage* First) { First->SetVisible(false); },
         "|P2 1/2 3;|P2 2/2 4;"},
        {"the first page is empty and empty pages are not printed",
         [](TTestReport& t, TrpReportPage*) { t.Report()->GetEngineOptions()->PrintIfEmpty = false; },
         "|P2 1/2 3;|P2 2/2 4;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Report()->GetEngineOptions()->DoublePass = true;
        TrpReportPage* first = t.Page();
        t.Band<TrpMasterData>(20, 20)->SetDataSet(t.DataSet("Empty", {}));
        t.Memo(t.Band<TrpPageFooter>(70, 10), 0, 0, 100, 10, "P1 [Page]/[TotalPages] [Page#]");
        TrpReportPage* second = t.AddPage();
        auto* master = t.Band<TrpMasterData>(20, 20, second);
        master->SetDataSet(t.DataSet("Data", NumberedRows(10)));
        t.Memo(t.Band<TrpPageFooter>(70, 10, second), 0, 0, 100, 10, "P2 [Page]/[TotalPages] [Page#]");
        c.set(t, first);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        const int once = t.Pages()->GetCount();
        ASSERT_TRUE(t.Report()->PrepareReport(false)) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 2 * once);
        AnsiString appended;
        for (int i = once; i < t.Pages()->GetCount(); ++i) {
            appended += "|";
            for (const AnsiString& s : PageTexts(t.Pages(), i))
                if (s.substr(0, 1) == "P")
                    appended += s + ";";
        }
        EXPECT_EQ(appended, c.appended);
    }
}

// Details count their own lines; what prints after them for their record (its footer after
// each record, the footers of the groups it closes, the data footer) counts the record's.
TEST(EngineDataBands, RecordKeepsItsLineNumbersAfterItsDetails)
{
    struct Case {
        const char* why;
        int details;
        bool footerAfterEach;
        const char* expected;
    };
    const Case cases[] = {
        {"no details", 0, false, "GH;1;2;GF 2/2;GH;3;4;GF 2/4;F 2/4;"},
        {"three details a record", 3, false,
         "GH;1;d1;d2;d3;2;d1;d2;d3;GF 2/2;GH;3;d1;d2;d3;4;d1;d2;d3;GF 2/4;F 2/4;"},
        {"three details and a footer after each record", 3, true,
         "GH;1;d1;d2;d3;F 1/1;2;d1;d2;d3;F 2/2;GF 2/2;GH;3;d1;d2;d3;F 1/3;4;d1;d2;d3;F 2/4;GF 2/4;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->SetPaperHeight(400);
        auto* gh = t.Band<TrpGroupHeader>(10, 10);
        gh->Condition = "Data.\"Group\"";
        t.Memo(gh, 0, 0, 100, 10, "GH");
        auto* master = t.Band<TrpMasterData>(24, 10);
        master->SetDataSet(t.DataSet("Data", NumberedRows(4, 2)));
        master->FooterAfterEach = c.footerAfterEach;
        t.Memo(master, 0, 0, 100, 10, "[Data.\"N\"]");
        t.Memo(t.Band<TrpFooter>(36, 10), 0, 0, 100, 10, "F [Line]/[Line#]");
        if (c.details) {
            auto* detail = t.Band<TrpDetailData>(50, 10);
            detail->SetRowCount(c.details);
            t.Memo(detail, 0, 0, 100, 10, "d[Line]");
        }
        t.Memo(t.Band<TrpGroupFooter>(70, 10), 0, 0, 100, 10, "GF [Line]/[Line#]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), AnsiString("|") + c.expected);
    }
}

// A record left out because its details print nothing leaves out its footer after each
// record too (it printed alone, with the left-out record's values and empty totals).
TEST(EngineDataBands, FooterAfterEachFollowsOnlyRecordsPrinted)
{
    for (bool printIfDetailEmpty : {false, true}) {
        SCOPED_TRACE(printIfDetailEmpty ? "every record prints" : "records without details are left out");
        std::unique_ptr<TOddDetails> details;
        TTestReport t;
        t.Page()->SetPaperHeight(300);
        TRowsDataSet* data = t.DataSet("M", NumberedRows(4));
        details = std::make_unique<TOddDetails>(data);
        t.Report()->GetDataSets()->Add(details.get());
        auto* master = t.Band<TrpMasterData>(20, 10);
        master->SetName("Master");
        master->SetDataSet(data);
        master->FooterAfterEach = true;
        master->PrintIfDetailEmpty = printIfDetailEmpty;
        t.Memo(master, 0, 0, 100, 10, "M[M.\"N\"]");
        t.Memo(t.Band<TrpFooter>(35, 10), 0, 0, 100, 10, "F[M.\"N\"] [SUM(<M.\"Sum\">,Master)]");
        auto* detail = t.Band<TrpDetailData>(50, 10);
        detail->SetDataSet(details.get());
        t.Memo(detail, 0, 0, 100, 10, "[D.\"D\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), printIfDetailEmpty ? "|M1;d1;F1 10;M2;F2 20;M3;d3;F3 30;M4;F4 40;"
                                                       : "|M1;d1;F1 10;M3;d3;F3 30;");
    }
}

// At a group change the group's footer prints with the last record of the old group that
// was printed: records left out between (no details) may belong to the new group already.
TEST(EngineDataBands, GroupFooterPrintsWithTheLastRecordPrinted)
{
    for (bool printIfDetailEmpty : {false, true}) {
        SCOPED_TRACE(printIfDetailEmpty ? "every record prints" : "records without details are left out");
        std::unique_ptr<TOddDetails> details;
        TTestReport t;
        t.Page()->SetPaperHeight(300);
        TRowsDataSet* data = t.DataSet("M", NumberedRows(5, 3));
        details = std::make_unique<TOddDetails>(data);
        t.Report()->GetDataSets()->Add(details.get());
        auto* gh = t.Band<TrpGroupHeader>(5, 10);
        gh->Condition = "M.\"Group\"";
        t.Memo(gh, 0, 0, 100, 10, "GH [M.\"Group\"]");
        auto* master = t.Band<TrpMasterData>(20, 10);
        master->SetName("Master");
        master->SetDataSet(data);
        master->PrintIfDetailEmpty = printIfDetailEmpty;
        t.Memo(master, 0, 0, 100, 10, "M[M.\"N\"]");
        t.Band<TrpDetailData>(35, 10)->SetDataSet(details.get());
        t.Memo(t.Band<TrpGroupFooter>(50, 10), 0, 0, 200, 10,
               "GF [M.\"Group\"] [M.\"N\"] [SUM(<M.\"Sum\">,Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), printIfDetailEmpty
                                        ? "|GH G1;M1;M2;M3;GF G1 3 60;GH G2;M4;M5;GF G2 5 90;"
                                        : "|GH G1;M1;M3;GF G1 3 40;GH G2;M5;GF G2 5 50;");
    }
}

// The same for vertical bands: a column's details count their own lines, and the footer
// after each column of the record counts the record's.
TEST(EngineDataBands, VerticalRecordKeepsItsLineNumbersAfterItsDetails)
{
    for (int details : {0, 2}) {
        SCOPED_TRACE(details ? "two detail columns a record" : "no details");
        TTestReport t;
        t.Page()->SetPaperWidth(400);
        auto* row = t.Band<TrpMasterData>(10, 20);
        row->SetRowCount(1);
        // In the template the footer lies next to its data band, the details after it.
        t.Memo(row, 0, 0, 30, 20, "M[Line]");
        t.Memo(row, 30, 0, 30, 20, "F[Line]");
        if (details)
            t.Memo(row, 60, 0, 30, 20, "d[Line]");
        auto* master = t.Band<TrpMasterData>(0, 0);
        master->Vertical = true;
        master->SetBounds(0, 0, 30, 100);
        master->SetDataSet(t.DataSet("V", NumberedRows(2)));
        master->FooterAfterEach = true;
        if (details) {
            auto* detail = t.Band<TrpDetailData>(0, 0);
            detail->Vertical = true;
            detail->SetBounds(60, 0, 30, 100);
            detail->SetRowCount(details);
        }
        auto* footer = t.Band<TrpFooter>(0, 0);
        footer->Vertical = true;
        footer->SetBounds(30, 0, 30, 100);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), details ? "|M1;d1;d2;F1;M2;d1;d2;F2;" : "|M1;F1;M2;F2;");
    }
}

namespace {

// The rows of the footer table: N 1..Rows, groups of three ("G1", "G2"...).
Variant FooterRowValue(int RecNo, const AnsiString& Field)
{
    if (AnsiCompareText(Field, "N") == 0)
        return RecNo + 1;
    return AnsiString("G") + IntToStr(RecNo / 3 + 1);
}

// A database dataset's rows, read whole on Open like a query.
class TFooterRows : public TDataSet {
public:
    explicit TFooterRows(int ARows) : TDataSet(nullptr), Rows(ARows) {}
    int Rows;

protected:
    void InternalOpen() override
    {
        FieldDefs().Clear();
        FieldDefs().Add("N", ftInteger);
        FieldDefs().Add("Group", ftString, 10);
        for (int i = 0; i < Rows; ++i) {
            Variant* row = AppendRow();
            row[0] = FooterRowValue(i, "N");
            row[1] = FooterRowValue(i, "Group");
        }
    }
};

// The master dataset of each kind the engine binds, over the same rows: a database dataset
// stays on its last record at the end, a user dataset's own cursor goes one past it, a
// count range stops the walk with RecNo one past (a database cursor one record on).
struct TFooterMaster {
    enum TKind { kDatabase, kDatabaseCount, kUser, kUserCount };
    TFooterMaster(TKind Kind, int Rows)
    {
        const bool counted = Kind == kDatabaseCount || Kind == kUserCount;
        if (Kind == kDatabase || Kind == kDatabaseCount) {
            // Two rows more in the table than the range takes.
            Query = std::make_unique<TFooterRows>(counted ? Rows + 2 : Rows);
            auto* db = new TrpDBDataset(nullptr);
            db->SetDataSet(Query.get());
            DataSet.reset(db);
        } else {
            auto* user = new TrpUserDataSet(nullptr);
            // The user's cursor follows the events; a value read where RecNo and the cursor
            // disagree, or past the rows, shows as such.
            user->OnFirst = TNotifyEvent::Lambda([this](TObject*) { Cursor = 0; });
            user->OnNext = TNotifyEvent::Lambda([this](TObject*) { ++Cursor; });
            user->OnPrior = TNotifyEvent::Lambda([this](TObject*) { --Cursor; });
            if (!counted)
                user->OnCheckEOF =
                    TrpCheckEOFEvent::Lambda([this, Rows](TObject*, bool& eof) { eof = Cursor >= Rows; });
            user->OnGetValue = TrpGetValueEvent::Lambda([this, user, Rows](const AnsiString& name, Variant& v) {
                if (Cursor != user->RecNo)
                    v = AnsiString("cursor") + IntToStr(Cursor) + "/RecNo" + IntToStr(user->RecNo);
                else if (Cursor < 0 || Cursor >= Rows)
                    v = AnsiString("past");
                else
                    v = FooterRowValue(Cursor, name);
            });
            user->GetFields()->Add("N");
            user->GetFields()->Add("Group");
            DataSet.reset(user);
        }
        DataSet->SetName("M");
        DataSet->SetUserName("M");
        if (counted) {
            DataSet->RangeEnd = reCount;
            DataSet->RangeEndCount = Rows;
        }
    }
    std::unique_ptr<TFooterRows> Query;
    std::unique_ptr<TrpDataSet> DataSet;
    int Cursor = 0;
};

// One detail row for each master record but those left out.
class TFooterDetails : public TRowsDataSet {
public:
    TFooterDetails(TrpDataSet* AMaster, std::set<int> ALeftOut)
        : TRowsDataSet(nullptr), Master(AMaster), LeftOut(std::move(ALeftOut))
    {
        SetName("D");
        SetUserName("D");
    }
    void First() override
    {
        std::vector<std::map<AnsiString, Variant>> rows;
        if (!LeftOut.count(Master->GetValue("N").AsInteger()))
            rows.push_back({{"D", AnsiString("d")}});
        SetRows(std::move(rows));
        TRowsDataSet::First();
    }
    TrpDataSet* Master;
    std::set<int> LeftOut;
};

}  // namespace

// Group footers and the data footer print with the last record printed, whatever kind of
// dataset the band walks and however the walk ended: at the end of the data past records
// left out (a whole trailing group among them), after a row count, at a count range's end.
// They printed with where the walk stopped: the last record walked, one past it, or the
// record after it; G1's footer showed G2's name.
TEST(EngineDataBands, FootersPrintWithTheLastRecordPrintedAtTheEnd)
{
    struct Kind {
        const char* why;
        TFooterMaster::TKind kind;
    };
    const Kind kinds[] = {
        {"database dataset", TFooterMaster::kDatabase},
        {"database dataset with a count range", TFooterMaster::kDatabaseCount},
        {"user dataset", TFooterMaster::kUser},
        {"user dataset with a count range", TFooterMaster::kUserCount},
    };
    struct Case {
        const char* why;
        std::set<int> leftOut;
        int rowCount;
        bool footerAfterEach;
        const char* expected;
    };
    const Case cases[] = {
        {"no record left out", {}, 0, false,
         "GH G1;M1;d;M2;d;M3;d;GF G1 3;GH G2;M4;d;M5;d;M6;d;GF G2 6;F 6;"},
        {"the last records left out", {5, 6}, 0, false,
         "GH G1;M1;d;M2;d;M3;d;GF G1 3;GH G2;M4;d;GF G2 4;F 4;"},
        {"a whole trailing group left out", {4, 5, 6}, 0, false, "GH G1;M1;d;M2;d;M3;d;GF G1 3;F 3;"},
        {"records left out inside and at the end", {2, 6}, 0, false,
         "GH G1;M1;d;M3;d;GF G1 3;GH G2;M4;d;M5;d;GF G2 5;F 5;"},
        {"a row count ends the walk", {}, 2, false, "GH G1;M1;d;M2;d;GF G1 2;F 2;"},
        {"footer after each, no record left out", {}, 0, true,
         "GH G1;M1;d;F 1;M2;d;F 2;M3;d;F 3;GF G1 3;GH G2;M4;d;F 4;M5;d;F 5;M6;d;F 6;GF G2 6;"},
        {"footer after each, a whole trailing group left out", {4, 5, 6}, 0, true,
         "GH G1;M1;d;F 1;M2;d;F 2;M3;d;F 3;GF G1 3;"},
        {"footer after each, a row count ends the walk", {}, 2, true, "GH G1;M1;d;F 1;M2;d;F 2;GF G1 2;"},
    };
    for (const Kind& k : kinds) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(k.why) + ", " + c.why);
            TFooterMaster m(k.kind, 6);
            auto details = std::make_unique<TFooterDetails>(m.DataSet.get(), c.leftOut);
            TTestReport t;
            t.Page()->SetPaperHeight(400);
            t.Report()->GetDataSets()->Add(m.DataSet.get());
            t.Report()->GetDataSets()->Add(details.get());
            auto* gh = t.Band<TrpGroupHeader>(5, 10);
            gh->Condition = "M.\"Group\"";
            t.Memo(gh, 0, 0, 100, 10, "GH [M.\"Group\"]");
            auto* master = t.Band<TrpMasterData>(20, 10);
            master->SetDataSet(m.DataSet.get());
            master->PrintIfDetailEmpty = false;
            master->FooterAfterEach = c.footerAfterEach;
            master->SetRowCount(c.rowCount);
            t.Memo(master, 0, 0, 100, 10, "M[M.\"N\"]");
            // The master's footer follows the master directly: a footer binds to the data
            // band just before it.
            t.Memo(t.Band<TrpFooter>(31, 10), 0, 0, 100, 10, "F [M.\"N\"]");
            auto* detail = t.Band<TrpDetailData>(42, 10);
            detail->SetDataSet(details.get());
            t.Memo(detail, 0, 0, 100, 10, "d");
            t.Memo(t.Band<TrpGroupFooter>(54, 10), 0, 0, 200, 10, "GF [M.\"Group\"] [M.\"N\"]");
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            EXPECT_EQ(Texts(t.Pages()), AnsiString("|") + c.expected);
        }
    }
}

// A user dataset whose own cursor follows OnNext and has no OnPrior (as a script writes one)
// cannot go back for the footers: they print where it stands, and every record prints once.
// Counting RecNo back while the cursor stayed sent the Next after the footers one record on:
// the first record of each new group was never printed, and a record past the data was.
TEST(EngineDataBands, CursorWithoutAWayBackLosesNoRecordToItsFooters)
{
    struct Case {
        const char* why;
        bool counted;
        std::set<int> leftOut;
        bool footerAfterEach;
        const char* expected;
    };
    const Case cases[] = {
        {"groups", false, {}, false,
         "GH G1;M1;d;M2;d;M3;d;GF G2 4;GH G2;M4;d;M5;d;M6;d;GF G3 7;GH G3;M7;d;GF past past;F past;"},
        {"groups in a count range", true, {}, false,
         "GH G1;M1;d;M2;d;M3;d;GF G2 4;GH G2;M4;d;M5;d;M6;d;GF G3 7;GH G3;M7;d;GF G3 7;F 7;"},
        {"records left out before a group break", false, {3, 6}, false,
         "GH G1;M1;d;M2;d;GF G2 4;GH G2;M4;d;M5;d;GF G3 7;GH G3;M7;d;GF past past;F past;"},
        {"footer after each", false, {}, true,
         "GH G1;M1;d;F 1;M2;d;F 2;M3;d;F 3;GF G2 4;GH G2;M4;d;F 4;M5;d;F 5;M6;d;F 6;GF G3 7;GH G3;M7;d;F 7;"
         "GF past past;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TFooterMaster m(c.counted ? TFooterMaster::kUserCount : TFooterMaster::kUser, 7);
        m.DataSet->OnPrior = TNotifyEvent();
        auto details = std::make_unique<TFooterDetails>(m.DataSet.get(), c.leftOut);
        TTestReport t;
        t.Page()->SetPaperHeight(400);
        t.Report()->GetDataSets()->Add(m.DataSet.get());
        t.Report()->GetDataSets()->Add(details.get());
        auto* gh = t.Band<TrpGroupHeader>(5, 10);
        gh->Condition = "M.\"Group\"";
        t.Memo(gh, 0, 0, 100, 10, "GH [M.\"Group\"]");
        auto* master = t.Band<TrpMasterData>(20, 10);
        master->SetDataSet(m.DataSet.get());
        master->PrintIfDetailEmpty = false;
        master->FooterAfterEach = c.footerAfterEach;
        t.Memo(master, 0, 0, 100, 10, "M[M.\"N\"]");
        t.Memo(t.Band<TrpFooter>(31, 10), 0, 0, 100, 10, "F [M.\"N\"]");
        auto* detail = t.Band<TrpDetailData>(42, 10);
        detail->SetDataSet(details.get());
        t.Memo(detail, 0, 0, 100, 10, "d");
        t.Memo(t.Band<TrpGroupFooter>(54, 10), 0, 0, 200, 10, "GF [M.\"Group\"] [M.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(Texts(t.Pages()), AnsiString("|") + c.expected);
    }
}

// A footer binds only to the data band directly above it: a master's footer placed after the
// master's details is reported by name, horizontally and vertically, and the run stops.
TEST(EngineDataBands, AFooterNotDirectlyAfterItsDataBandIsReported)
{
    for (const bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        TTestReport t;
        auto place = [&](TrpBand* b, int i) {
            if (vertical) {
                b->Vertical = true;
                b->SetBounds(30 * i, 0, 30, 100);
            } else {
                b->SetBounds(0, 10 + 12 * i, 200, 10);
            }
            return b;
        };
        auto* master = static_cast<TrpMasterData*>(place(t.Band<TrpMasterData>(0, 0), 0));
        master->SetRowCount(2);
        static_cast<TrpDetailData*>(place(t.Band<TrpDetailData>(0, 0), 1))->SetRowCount(2);
        place(t.Band<TrpFooter>(0, 0), 2);  // the detail's own
        TrpBand* stray = place(t.Band<TrpFooter>(0, 0), 3);
        EXPECT_FALSE(t.Prepare());
        EXPECT_EQ(Trim(t.Errors()), rpResources().Get("enUnconnHeader") + " " + stray->Name());
    }
}

// Page and column footers count the rows that are on their page: "[Line#]" there is the
// number of the last row printed above it, also on pages that a row too tall for the rest
// of the page ends (it used to show that next row's number), whatever the last band is and
// however the row moved on: whole, split, in a kept block, in a row of columns.
TEST(EngineDataBands, FootersCountTheRowsOnTheirPage)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&, TrpMasterData*)> build;
    };
    const Case cases[] = {
        {"rows only", [](TTestReport&, TrpMasterData*) {}},
        {"a child band under each row",
         [](TTestReport& t, TrpMasterData* m) {
             auto* child = t.Band<TrpChild>(60, 12);
             t.Memo(child, 0, 0, 100, 12, "C");
             m->SetChild(child);
         }},
        {"a footer after each row",
         [](TTestReport& t, TrpMasterData* m) {
             m->FooterAfterEach = true;
             t.Memo(t.Band<TrpFooter>(60, 12), 0, 0, 100, 12, "F");
         }},
        {"groups of three with their footers",
         [](TTestReport& t, TrpMasterData*) {
             auto* gh = t.Band<TrpGroupHeader>(20, 10);
             gh->Condition = "Data.\"Group\"";
             t.Memo(gh, 0, 0, 100, 10, "G");
             t.Memo(t.Band<TrpGroupFooter>(60, 10), 0, 0, 100, 10, "GF");
         }},
        {"groups kept together move whole",
         [](TTestReport& t, TrpMasterData* m) {
             auto* gh = t.Band<TrpGroupHeader>(20, 10);
             gh->Condition = "Data.\"Group\"";
             gh->KeepTogether = true;
             m->KeepTogether = true;
             t.Memo(gh, 0, 0, 100, 10, "G");
             t.Memo(t.Band<TrpGroupFooter>(60, 10), 0, 0, 100, 10, "GF");
         }},
        {"tall rows split",
         [](TTestReport& t, TrpMasterData* m) {
             m->SetHeight(70);
             m->AllowSplit = true;
             t.Memo(m, 0, 40, 100, 15, "lower half");
         }},
        {"a page of two columns",
         [](TTestReport& t, TrpMasterData*) {
             t.Page()->SetColumns(2);
             t.Page()->GetColumnPositions()->Clear();
             t.Page()->GetColumnPositions()->Add("0");
             t.Page()->GetColumnPositions()->Add("45");
         }},
        {"a band of two columns",
         [](TTestReport&, TrpMasterData* m) {
             m->Columns = 2;
             m->ColumnWidth = 150;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Memo(t.Band<TrpPageHeader>(0, 10), 0, 0, 100, 10, "PH");
        auto* master = t.Band<TrpMasterData>(40, 15);
        master->SetDataSet(t.DataSet("Data", NumberedRows(40, 3)));
        t.Memo(master, 0, 0, 100, 15, "R[Data.\"N\"]");
        c.build(t, master);
        t.Memo(t.Band<TrpColumnFooter>(100, 10), 0, 0, 100, 10, "CF[Line#]");
        t.Memo(t.Band<TrpPageFooter>(120, 10), 0, 0, 100, 10, "PF[Line#]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_GE(t.Pages()->GetCount(), 2);
        int footers = 0;
        AnsiString lastRow = "0";  // a page holding only the rest of a split row shows that row
        for (int i = 0; i < t.Pages()->GetCount(); ++i) {
            for (const AnsiString& s : PageTexts(t.Pages(), i)) {
                if (s.rfind("R", 0) == 0)
                    lastRow = s.substr(1);
                else if (s.rfind("CF", 0) == 0 || s.rfind("PF", 0) == 0) {
                    EXPECT_EQ(s.substr(2), lastRow) << "page " << i + 1 << ": " << s;
                    ++footers;
                }
            }
        }
        EXPECT_GE(footers, 4);
    }
}

// The title reads the master's first record on every run of the template and in both
// passes of a double pass; it used to read the record the last walk ended on.
TEST(EngineDataBands, TitleReadsTheFirstRecordOnEveryRun)
{
    for (bool doublePass : {false, true}) {
        for (bool printIfEmpty : {true, false}) {
            SCOPED_TRACE(AnsiString(doublePass ? "double pass" : "one pass") +
                         (printIfEmpty ? ", print if empty" : ", not if empty"));
            TTestReport t;
            t.Report()->GetEngineOptions()->DoublePass = doublePass;
            t.Report()->GetEngineOptions()->PrintIfEmpty = printIfEmpty;
            TRowsDataSet* data = t.DataSet("Data", NumberedRows(4));
            t.Memo(t.Band<TrpReportTitle>(0, 15), 0, 0, 100, 15, "T[Data.\"Name\"]");
            auto* master = t.Band<TrpMasterData>(30, 15);
            master->SetDataSet(data);
            t.Memo(master, 0, 0, 100, 15, "[Data.\"N\"]");
            for (int run = 1; run <= 2; ++run) {
                SCOPED_TRACE(run == 1 ? "first run" : "second run");
                ASSERT_TRUE(t.Prepare()) << t.Errors();
                ASSERT_GE(t.Pages()->GetCount(), 1);
                EXPECT_EQ(PageTexts(t.Pages(), 0).at(0), "TItem 1");
            }
        }
    }
}
