// A memo's text that does not fit flows into another memo while the report runs; the
// template keeps its own text in that memo: saved after a run, however the run ended, it
// is the template saved before.
#include "report/output/tests/EngineTestSupport.h"

#include "platform/rtl/SysUtils.h"

namespace {

AnsiString Saved(TrpReport* Report)
{
    TMemoryStream s;
    Report->SaveToStream(s);
    return s.DataString();
}

enum TLayout { lyAfter, lyBefore, lyOtherBand, lyChain };
enum TEnding { enEnds, enRaises, enCancelled };

TEST(EngineFlow, ARunLeavesTheMemosFlowedIntoAsTheTemplateHasThem)
{
    const struct {
        const char* What;
        TLayout Layout;
    } layouts[] = {
        {"into a memo after it in the band", lyAfter},
        {"into a memo before it in the band", lyBefore},
        {"into a memo of another band", lyOtherBand},
        {"into a memo that flows on into a third", lyChain},
    };
    const struct {
        const char* What;
        TEnding Ending;
    } endings[] = {
        {"a run that ends", enEnds},
        {"a run that raises", enRaises},
        {"a cancelled run", enCancelled},
    };
    AnsiString text;
    for (int i = 1; i <= 12; ++i)
        text += "Line " + IntToStr(i) + " of [Data.\"Name\"]" + (i < 12 ? "\r\n" : "");
    for (const auto& l : layouts) {
        for (const auto& e : endings) {
            SCOPED_TRACE(std::string(l.What) + ", " + e.What);
            TTestReport t;
            auto* master = t.Band<TrpMasterData>(20, 40);
            master->SetDataSet(t.DataSet("Data", NumberedRows(3)));
            TrpMemoView* target = nullptr;
            if (l.Layout == lyBefore)
                target = t.Memo(master, 150, 0, 100, 36, "Target [Data.\"N\"]");
            TrpMemoView* source = t.Memo(master, 0, 0, 100, 36, text);
            if (l.Layout == lyAfter || l.Layout == lyChain)
                target = t.Memo(master, 150, 0, 100, 36, "Target [Data.\"N\"]");
            if (l.Layout == lyOtherBand)
                target = t.Memo(t.Band<TrpReportSummary>(100, 40), 0, 0, 200, 36, "Target [Data.\"N\"]");
            source->SetFlowTo(target);
            TrpMemoView* third = nullptr;
            if (l.Layout == lyChain) {
                third = t.Memo(master, 260, 0, 90, 36, "Third");
                third->AllowExpressions = false;
                target->SetFlowTo(third);
            }
            int rows = 0;
            t.Report()->OnBeforePrint = TrpBeforePrintEvent::Lambda([&](TrpReportComponent* Sender) {
                if (Sender != master || ++rows < 2)
                    return;
                if (e.Ending == enRaises)
                    throw Exception("the second row fails");
                if (e.Ending == enCancelled)
                    t.Report()->SetTerminated(true);
            });
            const AnsiString before = Saved(t.Report());
            t.Prepare();
            if (e.Ending == enEnds) {
                bool flowed = false;
                for (int p = 0; p < t.Pages()->GetCount(); ++p)
                    for (const AnsiString& s : PageTexts(t.Pages(), p))
                        flowed = flowed || (s.find("Line 12") != AnsiString::npos && s.find("Line 1 ") == AnsiString::npos);
                EXPECT_TRUE(flowed) << "the rest of the text was printed in the memo flowed into";
            }
            EXPECT_EQ(Saved(t.Report()), before);
            EXPECT_EQ(TrimRight(target->GetText()), "Target [Data.\"N\"]");
            EXPECT_TRUE(target->AllowExpressions);
            if (third) {
                EXPECT_EQ(TrimRight(third->GetText()), "Third");
                EXPECT_FALSE(third->AllowExpressions);
            }
        }
    }
}

// The memo flowed into shows the rest as the memo it comes from reads it: mark-up there is
// mark-up, so a memo that prints tags as typed gets the text without them (and without the
// styles re-opened in front of the rest); a memo that reads tags too keeps them.
TEST(EngineFlow, TheMemoFlowedIntoShowsTheRestAsTheFirstReadsIt)
{
    const struct {
        bool SourceTags, TargetTags;
        const char* Want;  // the target's text on the page, lines joined by "|"
    } cases[] = {
        {true, false, "two bold|red three|four"},
        {true, true, "<font color=\"#000000\"><b>two bold</b>|<font color=red>red</font> three|four"},
        {false, false, "<b>two bold</b>|<font color=red>red</font> three|four"},
        {false, true, "<b>two bold</b>|<font color=red>red</font> three|four"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(AnsiString(c.SourceTags ? "tags" : "text") + " into " + (c.TargetTags ? "tags" : "text"));
        TTestReport t;
        auto* band = t.Band<TrpMasterData>(10, 100);
        band->SetRowCount(1);
        TrpMemoView* source =
            t.Memo(band, 0, 0, 200, 20, "<i>one</i>\r\n<b>two bold</b>\r\n<font color=red>red</font> three\r\nfour");
        source->AllowHTMLTags = c.SourceTags;
        TrpMemoView* target = t.Memo(band, 0, 50, 200, 100, "");
        target->AllowHTMLTags = c.TargetTags;
        source->SetFlowTo(target);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        const std::vector<AnsiString> texts = PageTexts(t.Pages(), 0);
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(StringReplace(texts[1], "\r\n", "|", rfReplaceAll), c.Want);
    }
}

}  // namespace
