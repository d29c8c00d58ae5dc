// One long memo of plain text (paragraphs of about 600 bytes, word wrap on, 180 mm wide,
// Arial 10) laid out through the Qt font backend. The argument is the text's size in KB.
//   Measure  CalcHeight, as the engine stretches a band, laid out anew every time (also
//            with the whole text one paragraph), and again at the same size (kept layout)
//   Split    InitPart, then DrawPart into parts of one A4 page's height until nothing is left
//            (also with a paragraph gap and with the width following the text; and each of
//            the three with the whole text one paragraph; and one paragraph with mark-up
//            allowed and "<" that opens no tag, or a "<font color" no ">" closes, laid out
//            part by part for a paragraph gap)
//   Draw     the whole memo drawn once on a canvas that records nothing
//   PrepareAndDraw/FromData, /InTemplate
//            a report whose one band holds the memo, split across A4 pages, prepared and
//            every page drawn: the text comes from a dataset field, or is held in the
//            template itself (the memo's own text, escaped in the saved pages)
//   MeasureOneWordHyphenated, SplitOneWordHyphenated
//            the text one word with no blank in it, broken with hyphens at every line (split
//            also with a paragraph gap, each part laid out from a start cut inside the word)
//   MeasureTagged
//            CalcHeight of the text as one paragraph with mark-up tags on every word
// Counter us_per_KB: time per KB of text; it should stay level as the text grows.
#include "platform/graphics/CanvasDevice.h"
#include "platform/qt/QtBackend.h"
#include "platform/rtl/SysUtils.h"
#include "report/model/rpBands.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/output/rpPreviewPages.h"
#include "script/GlobalUnit.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

void Startup()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_textlayout";
    static char* argv[] = {name, nullptr};
    static TQtBackend backend(argc, argv);
    ScriptEngineStartup();
    rpInitReportClasses();
    rpInstallOutputFactories();
}

AnsiString MakeText(int KB, size_t ParagraphSize = 600)
{
    static const char* const kWords[] = {"болт", "оцинкованный", "гайка", "шайба", "М8", "склад", "поставка",
                                         "накладная", "количество", "цена", "товар", "остаток"};
    AnsiString text;
    const size_t size = size_t(KB) * 1024;
    text.reserve(size + 64);
    size_t paragraph = 0;
    for (unsigned k = 0; text.size() < size; ++k) {
        const AnsiString w = kWords[(k * 7 + k / 5) % std::size(kWords)];
        text += w;
        paragraph += w.size() + 1;
        if (paragraph > ParagraphSize) {
            text += "\r\n";
            paragraph = 0;
        } else {
            text += ' ';
        }
    }
    return text;
}

std::unique_ptr<TrpMemoView> MakeMemo(int KB, size_t ParagraphSize = 600)
{
    Startup();
    auto memo = std::make_unique<TrpMemoView>(nullptr);
    memo->SetBounds(0, 0, 180 * 3.77953L, 100);
    memo->GetFont()->SetName("Arial");
    memo->GetFont()->SetSize(10);
    memo->WordWrap = true;
    memo->SetText(MakeText(KB, ParagraphSize));
    return memo;
}

void PerKB(benchmark::State& state)
{
    state.counters["us_per_KB"] = benchmark::Counter(double(state.range(0)) / 1e6,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// Every iteration lays the text out anew: the width changes by one unit each time.
void MeasureAt(benchmark::State& state, size_t ParagraphSize)
{
    auto memo = MakeMemo(int(state.range(0)), ParagraphSize);
    const Extended width = memo->GetWidth();
    bool wide = false;
    for (auto _ : state) {
        memo->SetWidth(width + (wide ? 1 : 0));
        wide = !wide;
        benchmark::DoNotOptimize(memo->CalcHeight());
    }
    PerKB(state);
}

void Measure(benchmark::State& state) { MeasureAt(state, 600); }
// The whole text one paragraph.
void MeasureOneParagraph(benchmark::State& state) { MeasureAt(state, size_t(-1)); }

// The whole text one paragraph with mark-up on every word (bold, a colour, a subscript)
// and font tags left unfinished: cutting the tags out stays linear in the line.
void MeasureTagged(benchmark::State& state)
{
    auto memo = MakeMemo(int(state.range(0)), size_t(-1));
    const AnsiString plain = memo->GetText();
    AnsiString tagged;
    tagged.reserve(plain.size() * 4);
    static const char* const kOpen[] = {"<b>", "<font color=red>", "<sub>", "<font color", "<i>"};
    static const char* const kClose[] = {"</b>", "</font>", "</sub>", "", "</i>"};
    unsigned k = 0;
    for (size_t at = 0; at < plain.size();) {
        size_t end = plain.find(' ', at);
        if (end == AnsiString::npos)
            end = plain.size();
        tagged += kOpen[k % 5] + plain.substr(at, end - at) + kClose[k % 5] + " ";
        at = end + 1;
        ++k;
    }
    memo->AllowHTMLTags = true;
    memo->SetText(tagged);
    const Extended width = memo->GetWidth();
    bool wide = false;
    for (auto _ : state) {
        memo->SetWidth(width + (wide ? 1 : 0));
        wide = !wide;
        benchmark::DoNotOptimize(memo->CalcHeight());
    }
    PerKB(state);
}

// Measured again at the same size: the layout is kept.
void MeasureAgain(benchmark::State& state)
{
    auto memo = MakeMemo(int(state.range(0)));
    memo->CalcHeight();
    for (auto _ : state)
        benchmark::DoNotOptimize(memo->CalcHeight());
    PerKB(state);
}

enum class TSplitKind { Plain, ParagraphGap, AutoWidth };

void SplitAs(benchmark::State& state, TSplitKind Kind, size_t ParagraphSize = 600)
{
    auto memo = MakeMemo(int(state.range(0)), ParagraphSize);
    if (Kind == TSplitKind::ParagraphGap)
        memo->ParagraphGap = 10;
    else if (Kind == TSplitKind::AutoWidth)
        memo->AutoWidth = true;
    const AnsiString text = memo->GetText();
    const Extended page = 277 * 3.77953L;
    int parts = 0;
    for (auto _ : state) {
        memo->SetText(text);
        memo->InitPart();
        parts = 0;
        while (!memo->RestText.empty() && parts < 100000) {
            memo->SetHeight(page);
            memo->DrawPart();
            ++parts;
        }
    }
    state.counters["parts"] = parts;
    PerKB(state);
}

// One paragraph with mark-up allowed, laid out anew for a paragraph gap, holding every tenth
// word a "<" that opens no tag ("a<b", or a "<font color" that no ">" closes): the cuts
// between parts need not wait for a ">".
void SplitOneParagraphGapStray(benchmark::State& state, const char* Stray)
{
    auto memo = MakeMemo(int(state.range(0)), size_t(-1));
    const AnsiString plain = memo->GetText();
    AnsiString text;
    text.reserve(plain.size() * 2);
    unsigned k = 0;
    for (size_t at = 0; at < plain.size();) {
        size_t end = plain.find(' ', at);
        if (end == AnsiString::npos)
            end = plain.size();
        text += (k++ % 10 == 0 ? Stray : "") + plain.substr(at, end - at) + " ";
        at = end + 1;
    }
    memo->AllowHTMLTags = true;
    memo->ParagraphGap = 10;
    const Extended page = 277 * 3.77953L;
    int parts = 0;
    for (auto _ : state) {
        memo->SetText(text);
        memo->InitPart();
        parts = 0;
        while (!memo->RestText.empty() && parts < 100000) {
            memo->SetHeight(page);
            memo->DrawPart();
            ++parts;
        }
    }
    state.counters["parts"] = parts;
    PerKB(state);
}

void SplitOneParagraphGapStrayLess(benchmark::State& state) { SplitOneParagraphGapStray(state, "a<"); }
// "<font color " that no ">" closes: it holds a cut back no further than a font tag could reach.
void SplitOneParagraphGapStrayFont(benchmark::State& state) { SplitOneParagraphGapStray(state, "<font color "); }

void Split(benchmark::State& state) { SplitAs(state, TSplitKind::Plain); }
// Parts laid out anew: the paragraph that goes on starts as a new one, or the width follows the text.
void SplitParagraphGap(benchmark::State& state) { SplitAs(state, TSplitKind::ParagraphGap); }
void SplitAutoWidth(benchmark::State& state) { SplitAs(state, TSplitKind::AutoWidth); }
// The whole text one paragraph, split in each of the three ways.
void SplitOneParagraph(benchmark::State& state) { SplitAs(state, TSplitKind::Plain, size_t(-1)); }
void SplitOneParagraphGap(benchmark::State& state) { SplitAs(state, TSplitKind::ParagraphGap, size_t(-1)); }
void SplitOneParagraphAutoWidth(benchmark::State& state) { SplitAs(state, TSplitKind::AutoWidth, size_t(-1)); }

// One word of the whole text's length (no blank in it), hyphenated at every line: each
// break looks at its own line's letters, not at the rest of the word.
std::unique_ptr<TrpMemoView> MakeOneWordMemo(int KB)
{
    auto memo = MakeMemo(1);
    AnsiString word;
    word.reserve(size_t(KB) * 1024 + 16);
    while (word.size() < size_t(KB) * 1024)
        word += "оцинкованный";
    memo->WordBreak = true;
    memo->SetText(word);
    return memo;
}

void MeasureOneWordHyphenated(benchmark::State& state)
{
    auto memo = MakeOneWordMemo(int(state.range(0)));
    const Extended width = memo->GetWidth();
    bool wide = false;
    for (auto _ : state) {
        memo->SetWidth(width + (wide ? 1 : 0));
        wide = !wide;
        benchmark::DoNotOptimize(memo->CalcHeight());
    }
    PerKB(state);
}

void SplitOneWordAs(benchmark::State& state, bool ParagraphGap)
{
    auto memo = MakeOneWordMemo(int(state.range(0)));
    if (ParagraphGap)
        memo->ParagraphGap = 10;
    const AnsiString text = memo->GetText();
    const Extended page = 277 * 3.77953L;
    int parts = 0;
    for (auto _ : state) {
        memo->SetText(text);
        memo->InitPart();
        parts = 0;
        while (!memo->RestText.empty() && parts < 100000) {
            memo->SetHeight(page);
            memo->DrawPart();
            ++parts;
        }
    }
    state.counters["parts"] = parts;
    PerKB(state);
}

void SplitOneWordHyphenated(benchmark::State& state) { SplitOneWordAs(state, false); }
// Parts laid out anew: each is laid out from a start cut inside the word.
void SplitOneWordHyphenatedParagraphGap(benchmark::State& state) { SplitOneWordAs(state, true); }

void Draw(benchmark::State& state)
{
    auto memo = MakeMemo(int(state.range(0)));
    memo->SetHeight(memo->CalcHeight());
    TNullDevice device;
    TCanvas canvas(&device);
    for (auto _ : state)
        memo->Draw(&canvas, 1, 1, 0, 0);
    PerKB(state);
}

// One row whose field "T" is the text.
class TTextRow : public TrpUserDataSet {
    SKLAD_CLASS_NOPUBLISH(TTextRow, TrpUserDataSet)
public:
    explicit TTextRow(TComponent* AOwner) : TrpUserDataSet(AOwner)
    {
        RangeEnd = reCount;
        RangeEndCount = 1;
    }
    Variant GetValue(const AnsiString&) override { return Text; }
    AnsiString GetDisplayText(const AnsiString&) override { return Text; }
    void GetFieldList(TStrings* List) override
    {
        List->Clear();
        List->Add("T");
    }
    int FieldsCount() override { return 1; }
    AnsiString Text;
};
SKLAD_DEFINE_CLASS(TTextRow)

void PrepareAndDraw(benchmark::State& state, bool InTemplate)
{
    Startup();
    const AnsiString text = MakeText(int(state.range(0)));
    TTextRow rows(nullptr);
    rows.SetUserName("D");
    rows.Text = text;
    TrpReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    report.ShowProgress = false;
    report.GetDataSets()->Add(&rows);
    auto* page = new TrpReportPage(&report);
    page->SetName("Page1");
    page->SetPaperSize(9);  // A4
    auto* band = new TrpMasterData(page);
    band->SetName("MasterData1");
    band->SetBounds(0, 0, 0, 20);
    band->SetDataSet(&rows);
    band->Stretched = true;
    band->AllowSplit = true;
    auto* memo = new TrpMemoView(band);
    memo->SetName("Memo1");
    memo->SetBounds(0, 0, 180 * 3.77953L, 20);
    memo->GetFont()->SetName("Arial");
    memo->GetFont()->SetSize(10);
    memo->WordWrap = true;
    memo->StretchMode = smMaxHeight;
    memo->SetText(InTemplate ? text : AnsiString("[D.\"T\"]"));
    TNullDevice device;
    TCanvas canvas(&device);
    int pages = 0;
    for (auto _ : state) {
        if (!report.PrepareReport(true))
            std::abort();
        auto* prepared = dynamic_cast<TrpPreviewPages*>(report.GetPreviewPages());
        pages = prepared->GetCount();
        for (int i = 0; i < pages; ++i)
            prepared->DrawPage(i, &canvas, 1, 1, 0, 0);
    }
    state.counters["pages"] = pages;
    PerKB(state);
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10)->Arg(100);
    if (!std::getenv("SKLAD_BENCH_QUICK"))
        b->Arg(1024);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(Measure)->Apply(Sizes);
BENCHMARK(MeasureOneParagraph)->Apply(Sizes);
BENCHMARK(MeasureTagged)->Apply(Sizes);
BENCHMARK(MeasureAgain)->Apply(Sizes);
BENCHMARK(Split)->Apply(Sizes);
BENCHMARK(SplitParagraphGap)->Apply(Sizes);
BENCHMARK(SplitAutoWidth)->Apply(Sizes);
BENCHMARK(SplitOneParagraph)->Apply(Sizes);
BENCHMARK(SplitOneParagraphGap)->Apply(Sizes);
BENCHMARK(SplitOneParagraphAutoWidth)->Apply(Sizes);
BENCHMARK(SplitOneParagraphGapStrayLess)->Apply(Sizes);
BENCHMARK(SplitOneParagraphGapStrayFont)->Apply(Sizes);
// Memos of many pages (a part a page: 1 MB makes about 200 parts, 16 MB about 3,000).
BENCHMARK(Split)->Name("SplitManyPages")->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SplitParagraphGap)
    ->Name("SplitManyPagesParagraphGap")
    ->Arg(1024)
    ->Arg(4096)
    ->Arg(16384)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(MeasureOneWordHyphenated)->Apply(Sizes);
BENCHMARK(SplitOneWordHyphenated)->Apply(Sizes);
BENCHMARK(SplitOneWordHyphenatedParagraphGap)->Apply(Sizes);
BENCHMARK(Draw)->Apply(Sizes);
BENCHMARK_CAPTURE(PrepareAndDraw, FromData, false)->Apply(Sizes);
BENCHMARK_CAPTURE(PrepareAndDraw, InTemplate, true)->Apply(Sizes);

}  // namespace
