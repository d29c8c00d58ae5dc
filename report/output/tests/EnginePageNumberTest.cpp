// EnginePageNumberTest.cpp - what a band prints of the page number is the number of the page
// it lands on, whichever way it got there: a row that does not fit, blocks kept together,
// the later parts of a split band, rows of band columns, headers reprinted on a new page,
// a report page printed on the previous page, subreports.
#include "EngineTestSupport.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpViews.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <functional>
#include <set>

namespace {

// Every memo of the reports below that prints page numbers prints "<tag><record> p<Page#>
// P<Page> <one|more>", the last from an IIF on Page#.
AnsiString Numbered(const AnsiString& Tag, const AnsiString& Record)
{
    return Tag + Record + " p[Page#] P[Page] [IIF(<Page#> = 1, 'one', 'more')]";
}

struct TPageCheck {
    AnsiString wrong;              // the first text that names another page than its own
    std::vector<AnsiString> tags;  // the tag and record of every such text, in page order
    std::set<int> pages;           // the pages they print on
};

TPageCheck CheckPages(TrpPreviewPages* Pages)
{
    TPageCheck r;
    for (int i = 0; i < Pages->GetCount(); ++i)
        for (const AnsiString& text : PageTexts(Pages, i)) {
            std::vector<AnsiString> words;
            for (size_t at = 0, end; at < text.size(); at = end + 1) {
                end = std::min(text.find_first_of(" \r\n", at), text.size());
                if (end > at)
                    words.push_back(text.substr(at, end - at));
            }
            if (words.size() != 4 || words[1].substr(0, 1) != "p")
                continue;
            const AnsiString want = "p" + IntToStr(i + 1) + " P" + IntToStr(i + 1) + " " + (i == 0 ? "one" : "more");
            const AnsiString got = words[1] + " " + words[2] + " " + words[3];
            if (got != want && r.wrong.empty())
                r.wrong = "page " + IntToStr(i + 1) + ": " + text;
            r.tags.push_back(words[0]);
            r.pages.insert(i + 1);
        }
    return r;
}

AnsiString Join(const std::vector<AnsiString>& List)
{
    AnsiString r;
    for (const AnsiString& s : List)
        r += (r.empty() ? "" : " ") + s;
    return r;
}

// A subreport page of two lines under each record of D.
TrpReportPage* LinesPage(TTestReport& t, Extended Height)
{
    TrpReportPage* page = t.AddPage();
    auto* lines = t.Band<TrpMasterData>(0, Height, page);
    lines->SetRowCount(2);
    t.Memo(lines, 0, 0, 200, Height, Numbered("s", "[D.\"N\"].[Line]"));
    return page;
}

}  // namespace

TEST(EnginePageNumbers, MovedBandsPrintThePageTheyLandOn)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&)> build;
        const char* tags;  // what prints page numbers, in page order
    };
    const Case cases[] = {
        {"a row that does not fit",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(6)));
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
         },
         "r1 r2 r3 r4 r5 r6"},
        {"a row that reads the page through report variables",
         [](TTestReport& t) {
             t.Report()->GetVariables()->SetVariable("PN", Variant(AnsiString("Page#")));
             t.Report()->GetVariables()->SetVariable("PN1", Variant(AnsiString("Page")));
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(6)));
             t.Memo(m, 0, 0, 200, 40, "v[D.\"N\"] p[PN] P[PN1] [IIF(<PN> = 1, 'one', 'more')]");
         },
         "v1 v2 v3 v4 v5 v6"},
        {"a row kept with its child",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(4)));
             m->KeepChild = true;
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
             auto* c = t.Band<TrpChild>(60, 30);
             t.Memo(c, 0, 0, 200, 30, Numbered("c", "[D.\"N\"]"));
             m->SetChild(c);
         },
         "r1 c1 r2 c2 r3 c3 r4 c4"},
        {"the last row kept with the footer",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(4)));
             m->KeepFooter = true;
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
             t.Memo(t.Band<TrpFooter>(60, 40), 0, 0, 200, 40, Numbered("f", "[SUM(<D.\"N\">)]"));
         },
         "r1 r2 r3 r4 f10"},
        {"rows kept with their details",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(3)));
             m->KeepTogether = true;
             t.Memo(m, 0, 0, 200, 30, Numbered("r", "[D.\"N\"]"));
             auto* d = t.Band<TrpDetailData>(50, 25);
             d->SetDataSet(t.DataSet("S", NumberedRows(2)));
             t.Memo(d, 0, 0, 200, 25, Numbered("d", "[D.\"N\"].[S.\"N\"]"));
         },
         "r1 d1.1 d1.2 r2 d2.1 d2.2 r3 d3.1 d3.2"},
        {"groups kept together",
         [](TTestReport& t) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             t.Memo(g, 0, 0, 200, 20, Numbered("g", "[D.\"Group\"]"));
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
             t.Memo(m, 0, 0, 200, 30, Numbered("r", "[D.\"N\"]"));
         },
         "gG1 r1 r2 r3 gG2 r4 r5 r6 gG3 r7 r8 r9"},
        {"a group header reprinted on every page",
         [](TTestReport& t) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->ReprintOnNewPage = true;
             t.Memo(g, 0, 0, 200, 20, Numbered("g", "[D.\"Group\"]"));
             auto* m = t.Band<TrpMasterData>(30, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(6, 6)));
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
         },
         "gG1 r1 r2 r3 r4 gG1 r5 r6"},
        {"the later parts of a split band",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 150);
             m->SetDataSet(t.DataSet("D", NumberedRows(2)));
             m->AllowSplit = true;
             t.Memo(m, 0, 0, 200, 20, Numbered("a", "[D.\"N\"]"));
             t.Memo(m, 0, 60, 200, 20, Numbered("b", "[D.\"N\"]"));
             t.Memo(m, 0, 120, 200, 20, Numbered("c", "[D.\"N\"]"));
         },
         "a1 b1 c1 a2 b2 c2"},
        {"rows of band columns",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->Columns = 2;
             m->ColumnWidth = 150;
             m->SetDataSet(t.DataSet("D", NumberedRows(12)));
             t.Memo(m, 0, 0, 140, 40, Numbered("r", "[D.\"N\"]"));
         },
         "r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11 r12"},
        {"rows of band columns kept with the footer",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->Columns = 2;
             m->ColumnWidth = 150;
             m->KeepFooter = true;
             m->SetDataSet(t.DataSet("D", NumberedRows(8)));
             t.Memo(m, 0, 0, 140, 40, Numbered("r", "[D.\"N\"]"));
             t.Memo(t.Band<TrpFooter>(60, 40), 0, 0, 200, 40, Numbered("f", "[COUNT(0)]"));
         },
         "r1 r2 r3 r4 r5 r6 r7 r8 f8"},
        {"page columns",
         [](TTestReport& t) {
             t.Page()->SetColumns(2);
             t.Page()->GetColumnPositions()->Clear();
             t.Page()->GetColumnPositions()->Add("0");
             t.Page()->GetColumnPositions()->Add("45");
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->KeepChild = true;
             m->SetDataSet(t.DataSet("D", NumberedRows(7)));
             t.Memo(m, 0, 0, 150, 40, Numbered("r", "[D.\"N\"]"));
             auto* c = t.Band<TrpChild>(60, 30);
             t.Memo(c, 0, 0, 150, 30, Numbered("c", "[D.\"N\"]"));
             m->SetChild(c);
         },
         "r1 c1 r2 c2 r3 c3 r4 c4 r5 c5 r6 c6 r7 c7"},
        {"a report page printed on the previous page",
         [](TTestReport& t) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(3)));
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
             TrpReportPage* second = t.AddPage();
             second->PrintOnPreviousPage = true;
             auto* rows = t.Band<TrpMasterData>(10, 30, second);
             rows->SetDataSet(t.DataSet("E", NumberedRows(3)));
             t.Memo(rows, 0, 0, 200, 30, Numbered("e", "[E.\"N\"]"));
         },
         "r1 r2 r3 e1 e2 e3"},
        {"a subreport printed into its band",
         [](TTestReport& t) {
             TrpReportPage* sub = LinesPage(t, 20);
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(6)));
             t.Memo(m, 0, 0, 100, 20, Numbered("r", "[D.\"N\"]"));
             auto* s = new TrpSubreport(m);
             s->SetName("Sub1");
             s->SetBounds(150, 0, 200, 20);
             s->SetSubPage(sub);
             s->PrintOnParent = true;
         },
         "r1 s1.1 s1.2 r2 s2.1 s2.2 r3 s3.1 s3.2 r4 s4.1 s4.2 r5 s5.1 s5.2 r6 s6.1 s6.2"},
        {"a kept group taller than a page",
         [](TTestReport& t) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             t.Memo(g, 0, 0, 200, 20, Numbered("g", "[D.\"Group\"]"));
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(14, 7)));
             t.Memo(m, 0, 0, 200, 30, Numbered("r", "[D.\"N\"]"));
         },
         "gG1 r1 r2 r3 r4 r5 r6 r7 gG2 r8 r9 r10 r11 r12 r13 r14"},
        {"two passes, the total of pages printed",
         [](TTestReport& t) {
             t.Report()->GetEngineOptions()->DoublePass = true;
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             t.Memo(g, 0, 0, 200, 20, Numbered("g", "[D.\"Group\"]/[TotalPages]"));
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
             t.Memo(m, 0, 0, 200, 30, Numbered("r", "[D.\"N\"]/[TotalPages]"));
         },
         "gG1/3 r1/3 r2/3 r3/3 gG2/3 r4/3 r5/3 r6/3 gG3/3 r7/3 r8/3 r9/3"},
        {"a new page asked by the script",
         [](TTestReport& t) {
             t.Report()->GetScriptText()->SetText(
                 "procedure Row(Sender: TrpComponent);\nbegin\n"
                 "  if Get('D.\"N\"') mod 3 = 0 then Engine.NewPage;\nend;\nbegin\nend.");
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(8)));
             m->KeepChild = true;
             m->OnAfterPrint = "Row";
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[D.\"N\"]"));
             auto* c = t.Band<TrpChild>(60, 30);
             t.Memo(c, 0, 0, 200, 30, Numbered("c", "[D.\"N\"]"));
             m->SetChild(c);
         },
         "r1 c1 r2 c2 r3 c3 r4 c4 r5 c5 r6 c6 r7 c7 r8 c8"},
        {"rows kept with their child after wide rows over three pages",
         [](TTestReport& t) {
             auto* w = t.Band<TrpMasterData>(10, 20);
             w->SetDataSet(t.DataSet("D", NumberedRows(2)));
             t.Memo(w, 0, 0, 50, 20, "w[D.\"N\"]");
             t.Memo(w, 50, 0, 50, 20, "[V.\"N\"]");
             auto* v = t.Band<TrpMasterData>(0, 0);
             v->Vertical = true;
             v->SetBounds(50, 0, 50, 100);
             v->SetDataSet(t.DataSet("V", NumberedRows(16)));
             auto* m = t.Band<TrpMasterData>(40, 40);
             m->SetDataSet(t.DataSet("E", NumberedRows(5)));
             m->KeepChild = true;
             t.Memo(m, 0, 0, 200, 40, Numbered("r", "[E.\"N\"]"));
             auto* c = t.Band<TrpChild>(90, 30);
             t.Memo(c, 0, 0, 200, 30, Numbered("c", "[E.\"N\"]"));
             m->SetChild(c);
         },
         "r1 c1 r2 c2 r3 c3 r4 c4 r5 c5"},
        {"a subreport beside its band",
         [](TTestReport& t) {
             TrpReportPage* sub = LinesPage(t, 20);
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(4)));
             m->KeepTogether = true;
             t.Memo(m, 0, 0, 100, 20, Numbered("r", "[D.\"N\"]"));
             auto* s = new TrpSubreport(m);
             s->SetName("Sub1");
             s->SetBounds(150, 20, 200, 20);
             s->SetSubPage(sub);
         },
         "r1 s1.1 s1.2 r2 s2.1 s2.2 r3 s3.1 s3.2 r4 s4.1 s4.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        c.build(t);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        const TPageCheck check = CheckPages(t.Pages());
        EXPECT_EQ(check.wrong, "");
        // Made again with the data of its own record, once each.
        EXPECT_EQ(Join(check.tags), c.tags);
        EXPECT_GE(check.pages.size(), 2u) << "nothing moved to another page";
    }
}

// A text made again for another page runs no event again, and a text an event wrote
// is the event's.
TEST(EnginePageNumbers, EventsRunOnceAndTheirTextsStay)
{
    TTestReport t;
    t.Report()->GetScriptText()->SetText(
        "var n: Integer;\n"
        "procedure Tally(Sender: TrpComponent);\nbegin\n  n := n + 1;\nend;\n"
        "procedure Own(Sender: TrpComponent);\nbegin\n  Mine.Text := 'own ' + IntToStr(n);\nend;\n"
        "begin\n  n := 0;\nend.");
    auto* m = t.Band<TrpMasterData>(10, 40);
    m->SetDataSet(t.DataSet("D", NumberedRows(6)));
    t.Memo(m, 0, 0, 200, 20, Numbered("r", "[D.\"N\"]"))->OnAfterData = "Tally";
    auto* mine = t.Memo(m, 0, 20, 200, 20, "p[Page#]");
    mine->SetName("Mine");
    mine->OnAfterData = "Own";
    t.Memo(t.Band<TrpReportSummary>(160, 20), 0, 0, 200, 20, "n[n]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(CheckPages(t.Pages()).wrong, "");
    AnsiString all;
    for (int i = 0; i < t.Pages()->GetCount(); ++i)
        for (const AnsiString& s : PageTexts(t.Pages(), i))
            if (s.substr(0, 1) != "r")
                all += TrimRight(s) + ";";
    EXPECT_EQ(all, "own 1;own 2;own 3;own 4;own 5;own 6;n6;");
}

// A part of a text the page number does not go into is what it was on the page before:
// a script variable keeps what its own row set, a script function is not called again.
TEST(EnginePageNumbers, PartsWithoutThePageAreNotComputedAgain)
{
    struct Case {
        const char* why;
        std::function<void(TTestReport&, const AnsiString&)> build;  // memos of the given text
    };
    const Case cases[] = {
        {"a row kept with its child",
         [](TTestReport& t, const AnsiString& text) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(8)));
             m->KeepChild = true;
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 40, "r" + text);
             auto* c = t.Band<TrpChild>(60, 30);
             t.Memo(c, 0, 0, 200, 30, "c" + text);
             m->SetChild(c);
         }},
        {"groups kept together, their rows read on before the group moves",
         [](TTestReport& t, const AnsiString& text) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             g->OnBeforePrint = "Row";
             t.Memo(g, 0, 0, 200, 20, "g" + text);
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 30, "r" + text);
         }},
        {"the later parts of a split band",
         [](TTestReport& t, const AnsiString& text) {
             auto* m = t.Band<TrpMasterData>(10, 150);
             m->SetDataSet(t.DataSet("D", NumberedRows(2)));
             m->AllowSplit = true;
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 20, "a" + text);
             t.Memo(m, 0, 60, 200, 20, "b" + text);
             t.Memo(m, 0, 120, 200, 20, "c" + text);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Report()->GetScriptText()->SetText(
            "var cur, calls: Integer;\n"
            "procedure Row(Sender: TrpComponent);\nbegin\n  cur := Get('D.\"N\"');\nend;\n"
            "function Seen(x: Variant): Variant;\nbegin\n  calls := calls + 1;\n  Result := x;\nend;\n"
            "begin\n  cur := 0;\n  calls := 0;\nend.");
        c.build(t, "[D.\"N\"] v[cur + 0] s[Seen(<D.\"N\">)] p[Page#]");
        t.Memo(t.Band<TrpReportSummary>(200, 20), 0, 0, 200, 20, "calls [calls]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        int texts = 0;
        std::set<int> pages;
        AnsiString calls;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (const AnsiString& text : PageTexts(t.Pages(), i)) {
                if (text.substr(0, 6) == "calls ") {
                    calls = TrimRight(text);
                    continue;
                }
                const AnsiString n = text.substr(1, text.find(' ') - 1);
                EXPECT_EQ(TrimRight(text.substr(1)), n + " v" + n + " s" + n + " p" + IntToStr(i + 1))
                    << "on page " << i + 1;
                ++texts;
                pages.insert(i + 1);
            }
        EXPECT_EQ(calls, "calls " + IntToStr(texts));
        EXPECT_GE(pages.size(), 2u) << "nothing moved to another page";
    }
}

// A group kept together moves on once its rows were read: what the page number chooses on
// the new page that its own page never read is not read from the row the data is on now,
// but as it was when the header was made (the other branch is read then too).
TEST(EnginePageNumbers, ABranchThePageChoosesReadsNoLaterRow)
{
    struct Case {
        const char* why;
        const char* branch;  // read only where Page# is not 1
        std::function<AnsiString(int)> own;  // what it gives for the group's first row
    };
    const Case cases[] = {
        {"a field", "<D.\"Sum\">", [](int n) { return IntToStr(n * 10); }},
        {"the line number", "<Line#>", [](int n) { return IntToStr((n + 2) / 3); }},
        {"a field of text", "<D.\"Name\">", [](int n) { return "Item " + IntToStr(n); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        auto* g = t.Band<TrpGroupHeader>(0, 20);
        g->Condition = "D.\"Group\"";
        g->KeepTogether = true;
        t.Memo(g, 0, 0, 200, 20, "g[D.\"N\"] p[Page#] b[IIF(<Page#> = 1, '-', " + AnsiString(c.branch) + ")]");
        auto* m = t.Band<TrpMasterData>(30, 30);
        m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
        t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"] p[Page#]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        int moved = 0;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (const AnsiString& text : PageTexts(t.Pages(), i)) {
                const size_t p = text.find(" p");
                const int n = StrToInt(text.substr(1, p - 1));
                EXPECT_EQ(text.substr(p, text.find(' ', p + 1) - p), " p" + IntToStr(i + 1)) << text;
                const size_t b = text.find(" b");
                if (b == AnsiString::npos)
                    continue;
                const AnsiString got = TrimRight(text.substr(b + 2));
                // Made on page 1 and moved on: its own row's value, not another row's.
                EXPECT_EQ(got, i == 0 ? AnsiString("-") : c.own(n)) << text;
                if (i > 0 && n == 4)
                    ++moved;
            }
        EXPECT_EQ(moved, 1) << "the second group is to move on from page 1";
    }
}

namespace {

// A database table of Count rows, N 1..Count in groups of three ("G1", "G2"...), read whole
// on Open like a query.
class TNumberedTable : public TDataSet {
public:
    explicit TNumberedTable(int ACount) : TDataSet(nullptr), Count(ACount) {}
    int Count;

protected:
    void InternalOpen() override
    {
        FieldDefs().Clear();
        FieldDefs().Add("N", ftInteger);
        FieldDefs().Add("Group", ftString, 10);
        for (int i = 0; i < Count; ++i) {
            Variant* row = AppendRow();
            row[0] = i + 1;
            row[1] = AnsiString("G") + IntToStr(i / 3 + 1);
        }
    }
};

}  // namespace

// A text made again for another page prints the figures of its own record also where they
// are computed from database fields (<a> * 1, <a> + <a> - <a>): the values it read are the
// ones it had, not those of the rows the datasets stand on by then.
TEST(EnginePageNumbers, FiguresFromFieldsAreTheRecordsOwn)
{
    struct Form {
        const char* why;
        AnsiString (*of)(const AnsiString& Field);
    };
    const Form forms[] = {
        {"the field", [](const AnsiString& f) { return "[" + f + "]"; }},
        {"times a literal", [](const AnsiString& f) { return "[<" + f + "> * 1]"; }},
        {"a chain of operators", [](const AnsiString& f) { return "[<" + f + "> + <" + f + "> - <" + f + ">]"; }},
        {"a Double between", [](const AnsiString& f) { return "[<" + f + "> * 2 / 2]"; }},
    };
    // Rows kept with their details, and groups kept together: the header is made again
    // when its group has moved on to its last row or past it.
    for (const bool groups : {false, true})
        for (const Form& form : forms) {
            SCOPED_TRACE(AnsiString(form.why) + (groups ? ", groups kept together" : ", rows kept with details"));
            TTestReport t;
            TNumberedTable masterRows(groups ? 9 : 3), detailRows(2);
            TrpDBDataset master(nullptr), detail(nullptr);
            master.SetDataSet(&masterRows);
            detail.SetDataSet(&detailRows);
            for (auto [ds, name] : {std::pair{&master, "D"}, std::pair{&detail, "S"}}) {
                ds->SetName(name);
                ds->SetUserName(name);
                t.Report()->GetDataSets()->Add(ds);
            }
            const AnsiString n = form.of("D.\"N\"");
            if (groups) {
                auto* g = t.Band<TrpGroupHeader>(0, 20);
                g->Condition = "D.\"Group\"";
                g->KeepTogether = true;
                t.Memo(g, 0, 0, 200, 20, Numbered("g", n));
                auto* m = t.Band<TrpMasterData>(30, 30);
                m->SetDataSet(&master);
                t.Memo(m, 0, 0, 200, 30, Numbered("r", n));
            } else {
                auto* m = t.Band<TrpMasterData>(10, 30);
                m->SetDataSet(&master);
                m->KeepTogether = true;
                t.Memo(m, 0, 0, 200, 30, Numbered("r", n));
                auto* d = t.Band<TrpDetailData>(50, 25);
                d->SetDataSet(&detail);
                t.Memo(d, 0, 0, 200, 25, Numbered("d", n + "." + form.of("S.\"N\"")));
            }
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            const TPageCheck check = CheckPages(t.Pages());
            EXPECT_EQ(check.wrong, "");
            EXPECT_EQ(Join(check.tags), groups ? "g1 r1 r2 r3 g4 r4 r5 r6 g7 r7 r8 r9"
                                               : "r1 d1.1 d1.2 r2 d2.1 d2.2 r3 d3.1 d3.2");
            EXPECT_GE(check.pages.size(), 2u) << "nothing moved to another page";
            t.Report()->GetDataSets()->Clear();
        }
}

// A text made again for the page its band moved to shows what making it on that page would
// have shown: whatever the page number chooses reads the values of the memo's own row, as
// they were when the band was made, not what later rows left in script variables, fields,
// report variables or the script's functions.
TEST(EnginePageNumbers, WhatThePageChoosesIsReadAsTheBandWasMade)
{
    struct Shape {
        const char* why;
        const char* branch;  // read only where Page# is not 1; gives the row's N
    };
    const Shape shapes[] = {
        {"a script variable", "cur + 0"},
        {"a script variable of text", "StrToInt(curText)"},
        {"a field under operators", "<D.\"N\"> * 2 div 2"},
        {"a report variable", "<RowN> + 0"},
        {"a function of the script", "Twice(cur) div 2"},
        {"a nested choice", "IIF(<Page#> > 0, cur, -1)"},
        {"beside the line number", "<Line#> * 0 + cur"},
        {"beside a total", "Length(VarToStr(COUNT(0))) * 0 + cur"},
    };
    struct Place {
        const char* why;
        std::function<void(TTestReport&, const AnsiString&)> build;  // memos of the given text
    };
    const Place places[] = {
        {"a kept group's header",
         [](TTestReport& t, const AnsiString& text) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             g->OnBeforePrint = "Row";
             t.Memo(g, 0, 0, 200, 20, "g" + text);
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
             m->OnBeforePrint = "Spoil";
             t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
         }},
        {"a kept group's footer",
         [](TTestReport& t, const AnsiString& text) {
             auto* g = t.Band<TrpGroupHeader>(0, 20);
             g->Condition = "D.\"Group\"";
             g->KeepTogether = true;
             g->OnBeforePrint = "Spoil";
             t.Memo(g, 0, 0, 200, 20, "h[D.\"N\"]");
             auto* m = t.Band<TrpMasterData>(30, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
             m->OnBeforePrint = "Spoil";
             t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
             auto* f = t.Band<TrpGroupFooter>(70, 30);
             f->OnBeforePrint = "Row";
             t.Memo(f, 0, 0, 200, 30, "f" + text);
         }},
        {"a data band kept with its child",
         [](TTestReport& t, const AnsiString& text) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(8)));
             m->KeepChild = true;
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 40, "r" + text);
             auto* c = t.Band<TrpChild>(60, 30);
             c->OnBeforePrint = "Spoil";
             t.Memo(c, 0, 0, 200, 30, "c[D.\"N\"]");
             m->SetChild(c);
         }},
        {"a child kept with its row",
         [](TTestReport& t, const AnsiString& text) {
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->SetDataSet(t.DataSet("D", NumberedRows(8)));
             m->KeepChild = true;
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 40, "r[D.\"N\"]");
             auto* c = t.Band<TrpChild>(60, 30);
             c->OnBeforePrint = "Row";
             t.Memo(c, 0, 0, 200, 30, "c" + text);
             m->SetChild(c);
         }},
        {"rows kept with their details",
         [](TTestReport& t, const AnsiString& text) {
             auto* m = t.Band<TrpMasterData>(10, 30);
             m->SetDataSet(t.DataSet("D", NumberedRows(3)));
             m->KeepTogether = true;
             m->OnBeforePrint = "Row";
             t.Memo(m, 0, 0, 200, 30, "r" + text);
             auto* d = t.Band<TrpDetailData>(50, 25);
             d->SetDataSet(t.DataSet("S", NumberedRows(2)));
             d->OnBeforePrint = "Spoil";
             t.Memo(d, 0, 0, 200, 25, "d[S.\"N\"]");
         }},
        {"page columns",
         [](TTestReport& t, const AnsiString& text) {
             t.Page()->SetColumns(2);
             t.Page()->GetColumnPositions()->Clear();
             t.Page()->GetColumnPositions()->Add("0");
             t.Page()->GetColumnPositions()->Add("45");
             auto* m = t.Band<TrpMasterData>(10, 40);
             m->KeepChild = true;
             m->OnBeforePrint = "Row";
             m->SetDataSet(t.DataSet("D", NumberedRows(7)));
             t.Memo(m, 0, 0, 150, 40, "r" + text);
             auto* c = t.Band<TrpChild>(60, 30);
             c->OnBeforePrint = "Spoil";
             t.Memo(c, 0, 0, 150, 30, "c[D.\"N\"]");
             m->SetChild(c);
         }},
    };
    for (const Place& place : places)
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(AnsiString(place.why) + ", " + shape.why);
            TTestReport t;
            t.Report()->GetVariables()->SetVariable("RowN", Variant(AnsiString("cur")));
            t.Report()->GetScriptText()->SetText(
                "var cur, calls: Integer; curText: String;\n"
                "procedure Row(Sender: TrpComponent);\nbegin\n  cur := Get('D.\"N\"');\n"
                "  curText := IntToStr(cur);\nend;\n"
                "procedure Spoil(Sender: TrpComponent);\nbegin\n  cur := -1;\n  curText := '-1';\nend;\n"
                "function Twice(x: Integer): Integer;\nbegin\n  calls := calls + 1;\n  Result := x + cur;\nend;\n"
                "begin\n  cur := 0;\n  calls := 0;\nend.");
            place.build(t, "[D.\"N\"] p[Page#] b[IIF(<Page#> = 1, '-', " + AnsiString(shape.branch) +
                               ")] q[IntToStr(<Page#>) + '/' + IntToStr(cur)]");
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            int later = 0;
            for (int i = 0; i < t.Pages()->GetCount(); ++i)
                for (const AnsiString& text : PageTexts(t.Pages(), i)) {
                    const size_t b = text.find(" b");
                    if (b == AnsiString::npos)
                        continue;
                    const AnsiString n = text.substr(1, text.find(' ') - 1);
                    const AnsiString page = IntToStr(i + 1);
                    // As a band made on this very page prints it.
                    EXPECT_EQ(TrimRight(text.substr(1)),
                              n + " p" + page + " b" + (i == 0 ? AnsiString("-") : n) + " q" + page + "/" + n);
                    if (i > 0)
                        ++later;
                }
            EXPECT_GT(later, 0) << "nothing printed past the first page";
        }
}

// What it takes to make a text again goes once its page can no longer move: a report four
// times as long holds no more of them at once, and every moved text still names its page.
TEST(EnginePageNumbers, RecordsGoOnceTheirPageIsDone)
{
    const struct {
        const char* why;
        bool group;
    } cases[] = {{"rows kept with their child", false}, {"groups kept together", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<size_t> peaks;
        for (const int rows : {60, 240}) {
            TTestReport t;
            if (c.group) {
                auto* g = t.Band<TrpGroupHeader>(0, 20);
                g->Condition = "D.\"Group\"";
                g->KeepTogether = true;
                t.Memo(g, 0, 0, 200, 20, Numbered("g", "[D.\"N\"]"));
            }
            auto* m = t.Band<TrpMasterData>(30, 30);
            m->SetDataSet(t.DataSet("D", NumberedRows(rows, 3)));
            t.Memo(m, 0, 0, 200, 30, Numbered("r", "[D.\"N\"]"));
            if (!c.group) {
                m->KeepChild = true;
                auto* ch = t.Band<TrpChild>(60, 30);
                t.Memo(ch, 0, 0, 200, 30, Numbered("c", "[D.\"N\"]"));
                m->SetChild(ch);
            }
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            EXPECT_EQ(CheckPages(t.Pages()).wrong, "");
            EXPECT_GT(t.Pages()->GetCount(), rows / 10);
            peaks.push_back(t.Engine()->PageTextRecordsPeak);
        }
        EXPECT_GT(peaks[0], 0u);
        EXPECT_EQ(peaks[1], peaks[0]) << "records held grow with the report";
    }
}

// The same in each of the script's syntaxes: a variable of the report's script, whatever
// language declares it, is read as it was when the moved header was made.
TEST(EnginePageNumbers, ScriptVariablesOfEverySyntaxAreReadAsMade)
{
    const struct {
        const char* language;
        const char* script;
    } cases[] = {
        {"PascalScript",
         "var cur: Integer;\n"
         "procedure Row(Sender: TrpComponent);\nbegin\n  cur := Get('D.\"N\"');\nend;\n"
         "procedure Spoil(Sender: TrpComponent);\nbegin\n  cur := -1;\nend;\n"
         "begin\n  cur := 0;\nend."},
        {"C++Script",
         "int cur;\n"
         "void Row(TrpComponent Sender) {\n  cur = Get(\"D.\\\"N\\\"\");\n}\n"
         "void Spoil(TrpComponent Sender) {\n  cur = -1;\n}\n"
         "{ cur = 0; }"},
        {"JScript",
         "var cur = 0;\n"
         "function Row(Sender) {\n  cur = Get(\"D.\\\"N\\\"\");\n}\n"
         "function Spoil(Sender) {\n  cur = -1;\n}\n"},
        {"BasicScript",
         "Dim cur\n"
         "Sub Row(Sender)\n  cur = Get(\"D.\" & Chr(34) & \"N\" & Chr(34))\nEnd Sub\n"
         "Sub Spoil(Sender)\n  cur = -1\nEnd Sub\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        t.Report()->ScriptLanguage = c.language;
        t.Report()->GetScriptText()->SetText(c.script);
        auto* g = t.Band<TrpGroupHeader>(0, 20);
        g->Condition = "D.\"Group\"";
        g->KeepTogether = true;
        g->OnBeforePrint = "Row";
        t.Memo(g, 0, 0, 200, 20, "g[D.\"N\"] b[IIF(<Page#> = 1, '-', cur + 0)]");
        auto* m = t.Band<TrpMasterData>(30, 30);
        m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
        m->OnBeforePrint = "Spoil";
        t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(t.Errors(), "");
        AnsiString headers;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (const AnsiString& text : PageTexts(t.Pages(), i))
                if (text.substr(0, 1) == "g")
                    headers += IntToStr(i + 1) + ":" + TrimRight(text) + ";";
        EXPECT_EQ(headers, "1:g1 b-;2:g4 b4;3:g7 b7;");
    }
}

// Where the page number chooses a branch of IIF, a branch that is not taken runs nothing:
// a function that changes an object or counts in the host is called only
// where its branch prints, once, whether the band stays on its page or moves on.
TEST(EnginePageNumbers, ABranchNotTakenRunsNothing)
{
    const struct {
        const char* why;
        const char* branch;   // the branch printed past the first page; gives the row's N
        const char* counted;  // the summary's text: how often the branch ran
    } cases[] = {
        {"an object's property", "Bump(<D.\"N\">)", "[Counter.Tag]"},
        {"the host", "Tally(<D.\"N\">)", "[Tallied(0)]"},
        {"a nested choice", "IIF(<D.\"N\"> > 0, Bump(<D.\"N\">), 0)", "[Counter.Tag]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        int tallied = 0;
        t.Report()->OnUserFunction = TrpUserFunctionEvent::Lambda([&](const AnsiString& Name, Variant& Params) {
            if (Name == "TALLIED")
                return Variant(tallied);
            ++tallied;
            return VarArrayGet(Params, {0});
        });
        t.Report()->AddFunction("function Tally(X: Integer): Integer");
        t.Report()->AddFunction("function Tallied(X: Integer): Integer");
        t.Report()->GetScriptText()->SetText(
            "function Bump(x: Integer): Integer;\nbegin\n  Counter.Tag := Counter.Tag + 1;\n  Result := x;\nend;\n"
            "begin\nend.");
        auto* g = t.Band<TrpGroupHeader>(0, 20);
        g->Condition = "D.\"Group\"";
        g->KeepTogether = true;
        t.Memo(g, 0, 0, 200, 20, "g[D.\"N\"] b[IIF(<Page#> = 1, '-', " + AnsiString(c.branch) + ")]");
        auto* m = t.Band<TrpMasterData>(30, 30);
        m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
        t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
        t.Memo(t.Band<TrpReportSummary>(200, 20), 0, 0, 200, 20, "n" + AnsiString(c.counted))->SetName("Counter");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString headers, summary;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (const AnsiString& text : PageTexts(t.Pages(), i))
                if (text.substr(0, 1) == "g")
                    headers += IntToStr(i + 1) + ":" + TrimRight(text) + ";";
                else if (text.substr(0, 1) == "n")
                    summary = TrimRight(text);
        EXPECT_EQ(headers, "1:g1 b-;2:g4 b4;3:g7 b7;");
        // Two headers print the branch.
        EXPECT_EQ(summary, "n2");
    }
}

// A text made again for another page, or once the page count is known, reads what objects
// held when it was first made: a property, a property of a property, a method's result. The
// row's event leaves its number in them; the next row's spoils them before the text is made
// again. (A method in a branch of IIF the first making did not take is not called then:
// it may change what it reads.)
TEST(EnginePageNumbers, ObjectsAreReadAsTheTextWasMade)
{
    struct Shape {
        const char* why;
        const char* value;  // gives the row's N as the row left the objects
        bool calls;         // calls a method
    };
    const Shape shapes[] = {
        {"a property", "Keeper.Tag", false},
        {"a property under operators", "Keeper.Tag * 2 div 2", false},
        {"a property of a property", "Keeper.Font.Size - 100", false},
        {"a method's result", "Keeper.Memo.IndexOf('k')", true},
        {"a property beside a field", "<D.\"N\"> * 0 + Keeper.Tag", false},
    };
    struct Place {
        const char* why;
        const char* text;  // of the memo that reads the page number or the page count
        const char* expected;
    };
    const Place places[] = {
        {"a choice by the page number", "[IIF(<Page#> = 1, 0, %s)]", "g1 v0;g4 v4;g7 v7;"},
        {"beside the page number", "[<Page#> * 0 + %s]", "g1 v1;g4 v4;g7 v7;"},
        {"beside the page count", "[<TotalPages#> * 0 + %s]", "g1 v1;g4 v4;g7 v7;"},
    };
    for (const Place& place : places)
        for (const Shape& shape : shapes) {
            if (shape.calls && AnsiString(place.text).find("IIF") != AnsiString::npos)
                continue;
            SCOPED_TRACE(AnsiString(place.why) + ", " + shape.why);
            TTestReport t;
            t.Report()->GetScriptText()->SetText(
                "procedure Row(Sender: TrpComponent);\nvar i: Integer;\nbegin\n"
                "  Keeper.Tag := Get('D.\"N\"');\n  Keeper.Font.Size := 100 + Keeper.Tag;\n"
                "  Keeper.Memo.Clear;\n  for i := 1 to Keeper.Tag do Keeper.Memo.Add('x');\n"
                "  Keeper.Memo.Add('k');\nend;\n"
                "procedure Spoil(Sender: TrpComponent);\nbegin\n  Keeper.Tag := -1;\n"
                "  Keeper.Font.Size := 99;\n  Keeper.Memo.Text := 'k';\nend;\n"
                "begin\nend.");
            t.Memo(t.Band<TrpReportTitle>(0, 5), 0, 0, 20, 5, "")->SetName("Keeper");
            auto* g = t.Band<TrpGroupHeader>(10, 20);
            g->Condition = "D.\"Group\"";
            g->KeepTogether = true;
            g->OnBeforePrint = "Row";
            t.Memo(g, 0, 0, 200, 20, "g[D.\"N\"] v" + StringReplace(place.text, "%s", shape.value, TReplaceFlags()));
            auto* m = t.Band<TrpMasterData>(40, 30);
            m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
            m->OnBeforePrint = "Spoil";
            t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
            ASSERT_TRUE(t.Prepare()) << t.Errors();
            EXPECT_EQ(t.Errors(), "");
            AnsiString headers;
            for (int i = 0; i < t.Pages()->GetCount(); ++i)
                for (const AnsiString& text : PageTexts(t.Pages(), i))
                    if (text.substr(0, 1) == "g")
                        headers += TrimRight(text) + ";";
            EXPECT_EQ(headers, place.expected);
        }
}

// The same in each of the script's syntaxes: an object's property that the script sets.
TEST(EnginePageNumbers, ObjectsAreReadAsMadeInEverySyntax)
{
    const struct {
        const char* language;
        const char* script;
    } cases[] = {
        {"PascalScript",
         "procedure Row(Sender: TrpComponent);\nbegin\n  Keeper.Tag := Get('D.\"N\"');\nend;\n"
         "procedure Spoil(Sender: TrpComponent);\nbegin\n  Keeper.Tag := -1;\nend;\n"
         "begin\nend."},
        {"C++Script",
         "void Row(TrpComponent Sender) {\n  Keeper.Tag = Get(\"D.\\\"N\\\"\");\n}\n"
         "void Spoil(TrpComponent Sender) {\n  Keeper.Tag = -1;\n}\n"
         "{ }"},
        {"JScript",
         "function Row(Sender) {\n  Keeper.Tag = Get(\"D.\\\"N\\\"\");\n}\n"
         "function Spoil(Sender) {\n  Keeper.Tag = -1;\n}\n"},
        {"BasicScript",
         "Sub Row(Sender)\n  Keeper.Tag = Get(\"D.\" & Chr(34) & \"N\" & Chr(34))\nEnd Sub\n"
         "Sub Spoil(Sender)\n  Keeper.Tag = -1\nEnd Sub\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        TTestReport t;
        t.Report()->ScriptLanguage = c.language;
        t.Report()->GetScriptText()->SetText(c.script);
        t.Memo(t.Band<TrpReportTitle>(0, 5), 0, 0, 20, 5, "")->SetName("Keeper");
        auto* g = t.Band<TrpGroupHeader>(10, 20);
        g->Condition = "D.\"Group\"";
        g->KeepTogether = true;
        g->OnBeforePrint = "Row";
        t.Memo(g, 0, 0, 200, 20, "g[D.\"N\"] t[<Page#> * 100 + Keeper.Tag]");
        auto* m = t.Band<TrpMasterData>(40, 30);
        m->SetDataSet(t.DataSet("D", NumberedRows(9, 3)));
        m->OnBeforePrint = "Spoil";
        t.Memo(m, 0, 0, 200, 30, "r[D.\"N\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(t.Errors(), "");
        AnsiString headers;
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            for (const AnsiString& text : PageTexts(t.Pages(), i))
                if (text.substr(0, 1) == "g")
                    headers += TrimRight(text) + ";";
        EXPECT_EQ(headers, "g1 t101;g4 t204;g7 t307;");
    }
}
