#include "report/output/tests/PreviewTestSupport.h"
#include "report/output/tests/StopAtEnd.h"

#include "report/output/rpPreviewForm.h"
#include "report/output/rpPrinter.h"

#include "report/model/rpModel.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpRes.h"

#include "platform/graphics/Canvas.h"
#include "platform/gui/Services.h"
#include "platform/rtl/Math.h"

#include "script/GlobalUnit.h"

// ---------------------------------------------------------------- outline

std::vector<TFakeOutlineItem>& TFakeOutline::Level()
{
    std::vector<TFakeOutlineItem>* level = &Root;
    for (int i : FPath)
        level = &level->at(static_cast<size_t>(i)).Children;
    return *level;
}

void TFakeOutline::AddItem(const AnsiString& Text, int Top)
{
    Level().push_back({Text, PreviewPages->GetCount() - 1, Top, {}});
}

void TFakeOutline::GetItem(int Index, AnsiString& Text, int& Page, int& Top)
{
    const TFakeOutlineItem& item = Level().at(static_cast<size_t>(Index));
    Text = item.Text;
    Page = item.Page;
    Top = item.Top;
}

// ---------------------------------------------------------------- pages

TFakePages::TFakePages(TrpReport* AReport) : TrpCustomPreviewPages(AReport) {}

void TFakePages::SetPages(int Count, int Width, int Height)
{
    Pages.clear();
    for (int i = 0; i < Count; ++i) {
        TFakePage page;
        page.Width = Width;
        page.Height = Height;
        page.Texts.push_back({40, 40, "Страница " + IntToStr(i + 1), {}});
        Pages.push_back(page);
    }
}

TrpReportPage* TFakePages::GetPage(int Index)
{
    if (Index < 0 || Index >= GetCount())
        return nullptr;
    FPage = std::make_unique<TrpReportPage>(nullptr);
    FPage->SetDefaults();
    FPage->SetName("Page" + IntToStr(Index + 1));
    return FPage.get();
}

TPoint TFakePages::GetPageSize(int Index)
{
    if (Index < 0 || Index >= GetCount())
        return {};
    return Point(Pages[static_cast<size_t>(Index)].Width, Pages[static_cast<size_t>(Index)].Height);
}

void TFakePages::Initialize()
{
    Pages.clear();
    Report->InternalOnProgressStart(ptRunning);
}

void TFakePages::AddPage(TrpReportPage*)
{
    TFakePage page;
    page.Texts.push_back({40, 40, "Страница " + IntToStr(GetCount() + 1), {}});
    Pages.push_back(page);
    Report->InternalOnProgress(ptRunning, GetCount());
}

void TFakePages::Finish() { Report->InternalOnProgressStop(ptRunning); }

void TFakePages::AddEmptyPage(int Index)
{
    const size_t at = static_cast<size_t>(std::clamp(Index + 1, 0, GetCount()));
    Pages.insert(Pages.begin() + static_cast<std::ptrdiff_t>(at), TFakePage{});
}

void TFakePages::DeletePage(int Index)
{
    if (Index >= 0 && Index < GetCount())
        Pages.erase(Pages.begin() + Index);
}

void TFakePages::ModifyPage(int Index, TrpReportPage* Page)
{
    Modified.emplace_back(Index, Page ? Page->GetPaperWidth() : 0);
}

void TFakePages::DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                          Extended OffsetY)
{
    DrawCalls.push_back({Index, ScaleX, OffsetX, OffsetY});
    if (Index < 0 || Index >= GetCount())
        return;
    TFont* font = Canvas->GetFont();
    font->SetName("Arial");
    font->SetHeight(-static_cast<int>(Round(13 * ScaleY)));
    Canvas->GetBrush()->SetStyle(bsClear);
    for (const TFakeText& t : Pages[static_cast<size_t>(Index)].Texts)
        Canvas->TextOut(static_cast<int>(Round(OffsetX + t.X * ScaleX)), static_cast<int>(Round(OffsetY + t.Y * ScaleY)),
                        t.Text);
}

bool TFakePages::ObjectOver(int Index, int X, int Y, TMouseButton Button, TShiftState, Extended Scale,
                            Extended OffsetX, Extended OffsetY, bool Click, TCursor& Cursor)
{
    OverCalls.push_back({Index, X, Y, Button, Scale, OffsetX, OffsetY, Click});
    if (Index < 0 || Index >= GetCount())
        return false;
    // An object covers 200 x 20 page pixels from its text position.
    for (const TFakeText& t : Pages[static_cast<size_t>(Index)].Texts) {
        const Extended px = (X - OffsetX) / Scale, py = (Y - OffsetY) / Scale;
        if (t.Link.empty() || px < t.X || px >= t.X + 200 || py < t.Y || py >= t.Y + 20)
            continue;
        Cursor = crHandPoint;
        if (Click)
            Services().ShellExecute("open", t.Link, "", "", SW_SHOWNORMAL);
        return true;
    }
    return false;
}

bool TFakePages::LoadFromFile(const AnsiString& FileName, bool)
{
    Loaded.push_back(FileName);
    SetPages(PagesInFile);
    return true;
}

bool TFakePages::Print()
{
    Printed.push_back(CurPreviewPage);
    if (OnPrint)
        OnPrint();
    return true;
}

// ---------------------------------------------------------------- engine

bool TFakeEngine::Run()
{
    TrpCustomPreviewPages* pages = Report->GetPreviewPages();
    Running = true;
    Built = 0;
    for (int pass = TwoPass ? 0 : 1; pass < 2; ++pass) {
        FinalPass = pass == 1;
        pages->Initialize();
        for (int i = 0; i < Count && !Report->GetTerminated(); ++i) {
            pages->AddPage(nullptr);
            ++Built;
            if (AfterPage)
                AfterPage(i + 1);
        }
        pages->Finish();
    }
    Running = false;
    return true;
}

// ---------------------------------------------------------------- environment

// The engine tests' start-up (EngineTestSupport.cpp), in a program that has it as well: the
// script engine, its class bindings and the report classes are started once, in the program's
// order, whichever kind of test comes first.
void EngineStartup() __attribute__((weak));

TPreviewEnv::TPreviewEnv()
{
    // Preparing a report compiles its (empty) script: the script engine must be up.
    static const bool started = [] {
        if (EngineStartup) {
            EngineStartup();
            return true;
        }
        ScriptEngineStartup();
        rpInitReportClasses();
        StopAtEnd([] {
            rpDoneReportClasses();
            ScriptEngineShutdown();
        });
        return true;
    }();
    (void)started;
    frAddClassesRes();
    rpFreePrinters();
    rpSetPreviewPagesFactory([](TrpReport* r) { return std::unique_ptr<TrpCustomPreviewPages>(new TFakePages(r)); });
    rpSetOutlineFactory([](TrpCustomPreviewPages* p) { return std::unique_ptr<TrpCustomOutline>(new TFakeOutline(p)); });
    rpSetEngineFactory([](TrpReport* r) { return std::unique_ptr<TrpCustomEngine>(new TFakeEngine(r)); });
    rpInstallPreviewWindows();
}

TPreviewEnv::~TPreviewEnv()
{
    Reports.clear();
    rpSetPreviewPagesFactory(nullptr);
    rpSetOutlineFactory(nullptr);
    rpSetEngineFactory(nullptr);
    rpSetPreviewFormFactory(nullptr);
    rpSetProgressFactory(nullptr);
    rpSetPasswordQuery(nullptr);
    rpFreePrinters();
}

TrpReport* TPreviewEnv::NewReport(int Pages)
{
    Reports.push_back(std::make_unique<TrpReport>(nullptr));
    TrpReport* report = Reports.back().get();
    report->GetEngineOptions()->SilentMode = true;
    report->GetEngineOptions()->RestoreReport = false;
    PagesOf(report)->SetPages(Pages);
    return report;
}

TFakePages* TPreviewEnv::PagesOf(TrpReport* Report) { return dynamic_cast<TFakePages*>(Report->GetPreviewPages()); }

TFakeEngine* TPreviewEnv::EngineOf(TrpReport* Report) { return dynamic_cast<TFakeEngine*>(Report->GetEngine()); }
