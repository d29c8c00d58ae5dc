// Aggregates: accumulation rules per function, resets and running totals, keep-together
// sections, finding calls in memo text, and totals of real runs in footers.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/rtl/SysUtils.h"

#include <functional>

namespace {

// Feeds an item values directly: the item's own rules without a report.
Variant Accumulate(TrpAggregateFunction Func, const std::vector<Variant>& Values)
{
    TrpAggregateItem item;
    item.Func = Func;
    for (const Variant& v : Values) {
        ++item.Count;
        // the same accumulation Calc does, reached through a keep section and its merge
        item.IsPageFooter = true;
        item.StartKeep();
        item.KeepValue = v;
        item.KeepCount = 0;
        item.EndKeep();
    }
    return item.Value();
}

TEST(Aggregates, FunctionsOverValues)
{
    struct Case {
        const char* why;
        TrpAggregateFunction func;
        std::vector<Variant> values;
        Variant expected;
    };
    const Case cases[] = {
        {"sum of numbers", agSum, {1, 2, 3}, 6},
        {"sum skips Null", agSum, {1, Null(), 3}, 4},
        {"no rows: sum is Null", agSum, {}, Null()},
        {"no rows: count is 0", agCount, {}, 0},
        {"count counts every row, Null or not", agCount, {1, Null(), 3}, 3},
        {"avg over 1, 2 and Null is 1: every row counts", agAvg, {1, 2, Null()}, 1.0},
        {"min of numbers", agMin, {5, 2, 9}, 2},
        {"max of numbers", agMax, {5, 2, 9}, 9},
        {"min of texts compares as text", agMin, {AnsiString("pear"), AnsiString("apple"), AnsiString("plum")},
         AnsiString("apple")},
        {"max with a leading Null", agMax, {Null(), 4, 7}, 7},
        {"a sum of money figures carries no float noise", agSum, std::vector<Variant>(97, Variant(0.35 * 1.5)),
         50.925},
        {"nor does one of tenths", agSum, std::vector<Variant>(100, Variant(0.1)), 10.0},
        {"nor their average", agAvg, std::vector<Variant>(100, Variant(0.1)), 0.1},
        {"whole numbers stay whole", agSum, {Variant(2), Variant(3)}, 5},
        {"a sum of texts joins them in row order", agSum,
         {AnsiString("ab"), AnsiString("cd"), Null(), AnsiString("ef")}, AnsiString("abcdef")},
        {"rows sharing one text each give it whole", agSum, std::vector<Variant>(3, Variant(AnsiString("xy"))),
         AnsiString("xyxyxy")},
        {"a text then a number add as numbers", agSum, {AnsiString("2"), AnsiString("1"), 3}, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Variant got = Accumulate(c.func, c.values);
        EXPECT_EQ(VarToStr(got), VarToStr(c.expected));
        EXPECT_EQ(got.IsNull(), c.expected.IsNull());
    }
}

// Every way a row's value reaches a total (straight, in a vertical column, through a kept,
// pending or held block that joins the total later) keeps the total free of float noise.
TEST(Aggregates, MoneyTotalsThroughEveryRoute)
{
    struct Case {
        const char* why;
        std::function<void(TrpAggregateItem&)> start, end;
        int column;
    };
    const auto none = [](TrpAggregateItem&) {};
    const Case cases[] = {
        {"straight", none, none, 0},
        {"in a vertical column", none, none, 3},
        {"kept", [](TrpAggregateItem& i) { i.StartKeep(); }, [](TrpAggregateItem& i) { i.EndKeep(); }, 0},
        {"kept and flushed", [](TrpAggregateItem& i) { i.StartKeep(); }, [](TrpAggregateItem& i) { i.FlushKeep(); },
         0},
        {"pending", [](TrpAggregateItem& i) { i.StartPending(); }, [](TrpAggregateItem& i) { i.EndPending(); }, 0},
        {"held inside pending",
         [](TrpAggregateItem& i) {
             i.StartPending();
             i.StartHold();
         },
         [](TrpAggregateItem& i) {
             i.EndHold();
             i.EndPending();
         },
         0},
    };
    for (const Case& c : cases) {
        for (TrpAggregateFunction func : {agSum, agAvg}) {
            SCOPED_TRACE(std::string(c.why) + (func == agSum ? ", SUM" : ", AVG"));
            TrpAggregateItem item;
            item.Func = func;
            item.IsPageFooter = true;
            item.VColumn = c.column;
            // Two blocks, so a merged block also meets a total that already has rows.
            for (int block = 0; block < 2; ++block) {
                c.start(item);
                for (int row = 0; row < 97; ++row)
                    item.Add(0.35 * 1.5);
                c.end(item);
            }
            item.VColumn = c.column;
            EXPECT_EQ(VarToStr(item.Value()), FloatToStr(func == agSum ? 101.85 : 0.525));
        }
    }
}

TEST(Aggregates, ResetAndRunningTotals)
{
    TrpAggregateItem item;
    item.Func = agSum;
    item.Count = 2;
    item.FValue = 30;
    item.DontReset = true;
    item.Reset();
    EXPECT_EQ(VarToStr(item.Value()), "30") << "a running total survives its footer once it has rows";
    item.ClearValue();
    EXPECT_TRUE(item.Value().IsNull()) << "between passes everything goes";
    item.DontReset = false;
    item.Count = 1;
    item.FValue = 5;
    item.Reset();
    EXPECT_TRUE(item.Value().IsNull());
}

TEST(Aggregates, KeepSectionsCountOnlyInPageFooters)
{
    TrpAggregateItem footer, other;
    footer.IsPageFooter = true;
    footer.StartKeep();
    other.StartKeep();
    EXPECT_TRUE(footer.Keeping);
    EXPECT_FALSE(other.Keeping);
}

TEST(Aggregates, ParseCalls)
{
    struct Case {
        const char* why;
        const char* text;
        TrpAggregateFunction func;
        const char* expr;
        bool band, invisible, dontReset;
    };
    const Case cases[] = {
        {"sum with a band", "SUM(<D.\"Sum\">,Master)", agSum, "<D.\"Sum\">", true, false, false},
        {"lower case name, spaces", " avg ( x , Master , 3 )", agAvg, "x", true, true, true},
        {"count names its band first", "COUNT(Master,2)", agCount, "", true, false, true},
        {"unknown band name gives none", "MAX(x,Nope)", agMax, "x", false, false, false},
        {"a comma inside quotes is text", "MIN('a,b',Master,1)", agMin, "'a,b'", true, true, false},
        {"nested call in the argument", "SUM(F(1,2),Master)", agSum, "F(1,2)", true, false, false},
        {"any other name is count", "TOTAL(Master)", agCount, "", true, false, false},
    };
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(0, 10);
    master->SetName("Master");
    TrpAggregateList list(t.Report());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpAggregateFunction func = agSum;
        AnsiString expr;
        TrpBand* band = nullptr;
        bool invisible = false, dontReset = false;
        list.ParseName(c.text, func, expr, band, invisible, dontReset);
        EXPECT_EQ(func, c.func);
        EXPECT_EQ(expr, c.expr);
        EXPECT_EQ(band != nullptr, c.band);
        EXPECT_EQ(invisible, c.invisible);
        EXPECT_EQ(dontReset, c.dontReset);
    }
}

TEST(Aggregates, FindCallsInMemoText)
{
    struct Case {
        const char* why;
        const char* text;
        std::vector<AnsiString> calls;
    };
    const Case cases[] = {
        {"one call", "Total: [SUM(<D.\"Sum\">)]", {"SUM(<D.\"Sum\">)"}},
        {"two calls in two brackets", "[COUNT(Master)] rows, [MAX(<D.\"N\">)]", {"COUNT(Master)", "MAX(<D.\"N\">)"}},
        {"a call inside a function call", "[FormatFloat('0.00', SUM(<D.\"Sum\">))]", {"SUM(<D.\"Sum\">)"}},
        {"a call word inside quotes is text", "['SUM(x)']", {}},
        {"a name that only starts like a call", "[SUMMARY(1)]", {}},
        {"an unclosed bracket finds nothing", "[SUM(x)", {}},
        {"a dataset field is not scanned", "[D.\"Sum\"]", {}},
        {"a report variable holding a call is expanded", "[Total]", {"SUM(<D.\"Sum\">)"}},
        {"a bracket inside quoted text is text", "[SUM(<D.\"N\"> + Length(')'),Master,2)]",
         {"SUM(<D.\"N\"> + Length(')'),Master,2)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.DataSet("D", NumberedRows(1));
        t.Report()->GetVariables()->SetVariable("Total", AnsiString("SUM(<D.\"Sum\">)"));
        auto* footer = t.Band<TrpFooter>(0, 10);
        TrpMemoView* memo = t.Memo(footer, 0, 0, 10, 10, c.text);
        TrpAggregateList list(t.Report());
        list.FindAggregates(memo, nullptr);
        std::vector<AnsiString> got;
        for (int i = 0; i < list.Count(); ++i)
            got.push_back(list.Items(i)->AggregateText);
        EXPECT_EQ(got, c.calls);
    }
}

TEST(Aggregates, VariablesNamingThemselvesTwiceEndTheScan)
{
    TTestReport t;
    t.Report()->GetVariables()->SetVariable("V", AnsiString("V V"));
    auto* footer = t.Band<TrpFooter>(0, 10);
    TrpMemoView* memo = t.Memo(footer, 0, 0, 10, 10, "[V] [SUM(x)]");
    TrpAggregateList list(t.Report());
    list.FindAggregates(memo, nullptr);  // must end
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->AggregateText, "SUM(x)");
}

TEST(Aggregates, DeepNestingIsBounded)
{
    TTestReport t;
    AnsiString text = "[";
    for (int i = 0; i < 5000; ++i)
        text += "(";
    text += "SUM(x)";
    for (int i = 0; i < 5000; ++i)
        text += ")";
    text += "]";
    auto* footer = t.Band<TrpFooter>(0, 10);
    TrpMemoView* memo = t.Memo(footer, 0, 0, 10, 10, text);
    TrpAggregateList list(t.Report());
    list.FindAggregates(memo, nullptr);  // must end, whatever it finds
    SUCCEED();
}

// Totals of runs: a footer's sum since it last printed, a running total with flags 2,
// rows of an invisible band counted with flags 1, and a call outside a footer is Null.
TEST(Aggregates, TotalsInRuns)
{
    struct Case {
        const char* why;
        const char* footerText;
        bool masterVisible;
        const char* expected;
    };
    const Case cases[] = {
        {"group totals restart", "[SUM(<D.\"Sum\">,Master)]", true, "60;150;70;"},
        {"flags 2: a running total", "[SUM(<D.\"Sum\">,Master,2)]", true, "60;210;280;"},
        {"count and average", "[COUNT(Master)]/[AVG(<D.\"N\">,Master)]", true, "3/2;3/5;1/7;"},
        {"an invisible band is not counted", "[COUNT(Master)]", false, "0;0;0;"},
        {"flags 1 counts an invisible band", "[COUNT(Master,1)]", false, "3;3;1;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Page()->SetPaperHeight(200);
        TRowsDataSet* data = t.DataSet("D", NumberedRows(7, 3));
        auto* gh = t.Band<TrpGroupHeader>(0, 10);
        gh->Condition = "D.\"Group\"";
        auto* master = t.Band<TrpMasterData>(20, 10);
        master->SetName("Master");
        master->SetDataSet(data);
        master->SetVisible(c.masterVisible);
        auto* gf = t.Band<TrpGroupFooter>(40, 10);
        t.Memo(gf, 0, 0, 100, 10, c.footerText);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        AnsiString got;
        for (const AnsiString& s : PageTexts(t.Pages(), 0))
            got += s + ";";
        EXPECT_EQ(got, c.expected);
    }
}

TEST(Aggregates, CallInADataBandIsNotFound)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(0, 10);
    master->SetName("Master");
    master->SetDataSet(t.DataSet("D", NumberedRows(2)));
    t.Memo(master, 0, 0, 100, 10, "x[SUM(<D.\"Sum\">,Master)]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(PageTexts(t.Pages(), 0), (std::vector<AnsiString>{"x", "x"}));
}

TEST(Aggregates, PageFooterTotalsPerPage)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(0, 60);
    master->SetName("Master");
    master->SetDataSet(t.DataSet("D", NumberedRows(5)));
    t.Memo(master, 0, 0, 100, 10, "[D.\"Sum\"]");
    t.Memo(t.Band<TrpPageFooter>(100, 15), 0, 0, 100, 15, "page [SUM(<D.\"Sum\">,Master)]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 3);
    EXPECT_EQ(PageTexts(t.Pages(), 0).back(), "page 30");
    EXPECT_EQ(PageTexts(t.Pages(), 1).back(), "page 70");
    EXPECT_EQ(PageTexts(t.Pages(), 2).back(), "page 50");
}

// A column footer's total covers its own column: it resets at the end of each column.
TEST(Aggregates, ColumnFooterTotalsPerColumn)
{
    TTestReport t;
    t.Page()->SetColumns(2);
    auto* master = t.Band<TrpMasterData>(0, 50);
    master->SetName("Master");
    master->SetDataSet(t.DataSet("D", NumberedRows(5)));
    t.Memo(master, 0, 0, 100, 10, "[D.\"N\"]");
    t.Memo(t.Band<TrpColumnFooter>(100, 20), 0, 0, 100, 20, "column [SUM(<D.\"N\">,Master)]");
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    ASSERT_EQ(t.Pages()->GetCount(), 1);
    // 189 units less a 20-unit footer hold three rows of 50 in a column.
    EXPECT_EQ(PageTexts(t.Pages(), 0),
              (std::vector<AnsiString>{"1", "2", "3", "column 6", "4", "5", "column 9"}));
}

// ---------------------------------------------------------------- money totals

// A printed figure in thousandths ("1234,56" -> 1234560), or -1 when it has more than three
// decimals or is no figure at all.
int64_t Thousandths(const AnsiString& Text)
{
    const size_t sep = Text.find_first_of(",.");
    const AnsiString whole = Text.substr(0, sep);
    const AnsiString fraction = sep == AnsiString::npos ? AnsiString() : Text.substr(sep + 1);
    if (whole.empty() || fraction.size() > 3 || whole.find_first_not_of("0123456789") != AnsiString::npos ||
        fraction.find_first_not_of("0123456789") != AnsiString::npos)
        return -1;
    const AnsiString padded = fraction + AnsiString(3 - fraction.size(), '0');
    return std::stoll(std::string(whole)) * 1000 + std::stoll(std::string(padded));
}

AnsiString Figure(int64_t Thousandths) { return FloatToStr(double(Thousandths) / 1000); }

// Totals of price x quantity over many rows print as the decimal sums of the rows printed,
// per page, per group, running and grand, with no tail of float rounding ("50,8249999999999").
TEST(Aggregates, MoneyTotalsReadAsTheDecimalSumsOfTheirRows)
{
    struct Case {
        const char* why;
        std::vector<std::pair<double, double>> pattern;  // price and quantity, repeated
        int rows;
    };
    const Case cases[] = {
        {"0.35 x 1.5 on every row", {{0.35, 1.5}}, 97},
        {"tenths", {{0.1, 1}}, 509},
        {"large and small figures mixed", {{1234.56, 1}, {0.1, 1}, {0.35, 1.5}}, 300},
        {"money times quantities", {{12.7, 3}, {0.35, 1.5}, {99.99, 7}, {0.01, 1}}, 200},
    };
    const AnsiString value = "<D.\"P\"> * <D.\"Q\">";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<std::map<AnsiString, Variant>> rows;
        for (int i = 0; i < c.rows; ++i) {
            const auto& [price, quantity] = c.pattern[i % c.pattern.size()];
            rows.push_back({{"P", price}, {"Q", quantity}, {"G", i / 7}});
        }
        TTestReport t;
        auto* gh = t.Band<TrpGroupHeader>(0, 2);
        gh->Condition = "D.\"G\"";
        auto* master = t.Band<TrpMasterData>(10, 8);
        master->SetName("Master");
        master->SetDataSet(t.DataSet("D", rows));
        t.Memo(master, 0, 0, 100, 8, "[" + value + "]");
        auto* gf = t.Band<TrpGroupFooter>(30, 16);
        t.Memo(gf, 0, 0, 100, 8, "group [SUM(" + value + ",Master)]");
        t.Memo(gf, 0, 8, 100, 8, "average [AVG(" + value + ",Master)]");
        auto* pf = t.Band<TrpPageFooter>(160, 16);
        t.Memo(pf, 0, 0, 100, 8, "page [SUM(" + value + ",Master)]");
        t.Memo(pf, 0, 8, 100, 8, "running [SUM(" + value + ",Master,2)]");
        t.Memo(t.Band<TrpReportSummary>(60, 8), 0, 0, 100, 8, "total [SUM(" + value + ",Master)]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_GT(t.Pages()->GetCount(), 2);

        int64_t page = 0, group = 0, running = 0, grand = 0;
        int groupRows = 0, pageRows = 0, totals = 0;
        for (int p = 0; p < t.Pages()->GetCount(); ++p)
            for (const AnsiString& text : PageTexts(t.Pages(), p)) {
                SCOPED_TRACE("page " + std::to_string(p + 1) + ": " + std::string(text));
                // "label figure"; a total over no rows is empty, and so is its figure.
                const size_t blank = text.find(' ');
                const AnsiString label = text.substr(0, blank);
                const AnsiString figure = blank == AnsiString::npos ? AnsiString() : text.substr(blank + 1);
                if (label == "group") {
                    EXPECT_EQ(figure, Figure(group));
                } else if (label == "average") {
                    EXPECT_EQ(figure, FloatToStr(double(group) / 1000 / groupRows));
                    group = groupRows = 0;
                } else if (label == "page") {
                    EXPECT_EQ(figure, pageRows ? Figure(page) : AnsiString());
                    page = pageRows = 0;
                } else if (label == "running") {
                    EXPECT_EQ(figure, Figure(running));
                } else if (label == "total") {
                    EXPECT_EQ(figure, Figure(grand));
                    ++totals;
                } else {
                    const int64_t row = Thousandths(text);
                    ASSERT_GE(row, 0) << "a row prints its figure as computed, to 15 digits";
                    page += row, group += row, running += row, grand += row;
                    ++groupRows, ++pageRows;
                }
            }
        EXPECT_EQ(totals, 1);
    }
}

}  // namespace
