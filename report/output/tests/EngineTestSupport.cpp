#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpReportClasses.h"
#include "report/model/rpRes.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/tests/StopAtEnd.h"

#include "script/GlobalUnit.h"
#include "script/bindings/Bindings.h"

#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

void EngineStartup()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    // In the program's order: the class bindings come before the report classes.
    ScriptEngineStartup();
    ScriptBindingsStartup();
    rpInitReportClasses();
    rpInstallOutputFactories();
    RegisterClass(TRowsDataSet::StaticClass());
    StopAtEnd([] {
        // In reverse, as the program stops them.
        rpSetEngineFactory(nullptr);
        rpSetPreviewPagesFactory(nullptr);
        rpSetOutlineFactory(nullptr);
        rpDoneReportClasses();
        ScriptBindingsShutdown();
        ScriptEngineShutdown();
    });
}

SKLAD_DEFINE_CLASS(TRowsDataSet)

TRowsDataSet::TRowsDataSet(TComponent* AOwner) : TrpUserDataSet(AOwner) { RangeEnd = reCount; }

void TRowsDataSet::SetRows(std::vector<std::map<AnsiString, Variant>> Value)
{
    Rows = std::move(Value);
    RangeEndCount = static_cast<int>(Rows.size());
}

Variant TRowsDataSet::GetValue(const AnsiString& Index)
{
    // Past the end the cursor stays on the last row, as a database cursor does.
    if (Rows.empty())
        return Null();
    const auto& row = Rows[static_cast<size_t>(std::clamp(RecNo, 0, static_cast<int>(Rows.size()) - 1))];
    for (const auto& [name, value] : row)
        if (AnsiCompareText(name, Index) == 0)
            return value;
    return Null();
}

AnsiString TRowsDataSet::GetDisplayText(const AnsiString& Index) { return VarToStr(GetValue(Index)); }

void TRowsDataSet::GetFieldList(TStrings* List)
{
    List->Clear();
    if (!Rows.empty())
        for (const auto& [name, value] : Rows.front())
            List->Add(name);
}

int TRowsDataSet::FieldsCount() { return Rows.empty() ? 0 : static_cast<int>(Rows.front().size()); }

// ---------------------------------------------------------------- TTestReport

TTestReport::TTestReport()
{
    EngineStartup();
    FReport = std::make_unique<TrpReport>(nullptr);
    FReport->SetName("Report1");
    FReport->GetEngineOptions()->SilentMode = true;
    FReport->GetEngineOptions()->RestoreReport = false;
    FReport->GetPrintOptions()->ShowDialog = false;
    FReport->ShowProgress = false;
    FPage = AddPage();
}

TTestReport::~TTestReport()
{
    FReport.reset();
    FDataSets.clear();
}

TrpPreviewPages* TTestReport::Pages() const { return dynamic_cast<TrpPreviewPages*>(FReport->GetPreviewPages()); }
TrpEngine* TTestReport::Engine() const { return dynamic_cast<TrpEngine*>(FReport->GetEngine()); }

AnsiString TTestReport::Unique(const AnsiString& Stem) { return Stem + IntToStr(++FCounter); }

TrpReportPage* TTestReport::AddPage(Extended WidthMM, Extended HeightMM)
{
    auto* page = new TrpReportPage(FReport.get());
    page->SetName(Unique("Page"));
    page->SetPaperWidth(WidthMM);
    page->SetPaperHeight(HeightMM);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 5;
    return page;
}

TrpMemoView* TTestReport::Memo(TrpComponent* Parent, Extended Left, Extended Top, Extended Width, Extended Height,
                               const AnsiString& Text)
{
    auto* m = new TrpMemoView(Parent);
    m->SetName(Unique("Memo"));
    m->SetBounds(Left, Top, Width, Height);
    m->SetText(Text);
    return m;
}

TRowsDataSet* TTestReport::DataSet(const AnsiString& UserName, std::vector<std::map<AnsiString, Variant>> Rows)
{
    auto ds = std::make_unique<TRowsDataSet>(nullptr);
    ds->SetName(UserName);
    ds->SetUserName(UserName);
    ds->SetRows(std::move(Rows));
    FReport->GetDataSets()->Add(ds.get());
    FDataSets.push_back(std::move(ds));
    return FDataSets.back().get();
}

bool TTestReport::Prepare() { return FReport->PrepareReport(true); }

AnsiString TTestReport::Errors() const { return FReport->Errors.Text(); }

std::vector<std::map<AnsiString, Variant>> NumberedRows(int Count, int GroupSize)
{
    std::vector<std::map<AnsiString, Variant>> rows;
    for (int i = 1; i <= Count; ++i) {
        std::map<AnsiString, Variant> row;
        row["N"] = i;
        row["Name"] = AnsiString("Item ") + IntToStr(i);
        row["Sum"] = i * 10;
        row["Group"] = AnsiString("G") + IntToStr(GroupSize > 0 ? (i - 1) / GroupSize + 1 : 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------- dumps

AnsiString DrawDump(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        const TPoint size = Pages->GetPageSize(i);
        TRecordingCanvas c;
        Pages->DrawPage(i, &c.Canvas, 1, 1, 0, 0);
        out += "page " + IntToStr(i + 1) + " " + IntToStr(size.X) + "x" + IntToStr(size.Y) + "\n" + c.Dump();
    }
    return out;
}

namespace {

AnsiString Num(Extended v) { return FormatFloat("0.##", static_cast<double>(v)); }

void DumpObject(TrpComponent* C, int Depth, AnsiString& Out)
{
    Out += StringOfChar(' ', Depth * 2) + (C->IsBand() ? C->ClassName() : AnsiString("memo")) + " t=" +
           Num(C->GetTop()) + " h=" + Num(C->GetHeight());
    if (auto* m = dynamic_cast<TrpCustomMemoView*>(C))
        Out += " \"" + StringReplace(TrimRight(m->GetText()), "\r\n", "|", rfReplaceAll) + "\"";
    Out += "\n";
    for (TrpComponent* child : C->Objects())
        DumpObject(child, Depth + 1, Out);
}

}  // namespace

AnsiString LayoutDump(TrpPreviewPages* Pages)
{
    AnsiString out;
    for (int i = 0; i < Pages->GetCount(); ++i) {
        out += "page " + IntToStr(i + 1) + "\n";
        TrpReportPage* page = Pages->GetPage(i);
        if (!page)
            continue;
        for (TrpComponent* c : page->Objects())
            DumpObject(c, 1, out);
    }
    return out;
}

std::vector<AnsiString> PageTexts(TrpPreviewPages* Pages, int Index)
{
    std::vector<AnsiString> texts;
    TrpReportPage* page = Pages->GetPage(Index);
    if (!page)
        return texts;
    for (TrpComponent* c : page->GetAllObjects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
            texts.push_back(TrimRight(m->GetText()));
    return texts;
}
