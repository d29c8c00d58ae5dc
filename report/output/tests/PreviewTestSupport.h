// PreviewTestSupport.h - a small stand-in for the prepared pages, its outline and an
// engine that "prepares" pages into it, so that the preview and its window can be tested
// without templates.
//
// Each fake page has a size and a few texts at page positions; DrawPage writes the texts
// through the canvas, scaled and offset as the real store does. Objects with a link open
// it through the shell service when clicked (what the real store does for a hyperlink).
#pragma once

#include "report/model/rpClass.h"
#include "report/model/rpPages.h"

#include "platform/gui/testing/TestDriver.h"

#include <functional>
#include <memory>
#include <vector>

struct TFakeText {
    int X = 0, Y = 0;
    AnsiString Text;
    AnsiString Link;  // opened on a click when set
};

struct TFakePage {
    int Width = 794, Height = 1123;
    std::vector<TFakeText> Texts;
};

struct TFakeOutlineItem {
    AnsiString Text;
    int Page = 0, Top = 0;
    std::vector<TFakeOutlineItem> Children;
};

class TFakeOutline : public TrpCustomOutline {
public:
    explicit TFakeOutline(TrpCustomPreviewPages* Pages) : TrpCustomOutline(Pages) {}
    int GetCount() override { return static_cast<int>(Level().size()); }
    void AddItem(const AnsiString& Text, int Top) override;
    void LevelDown(int Index) override { FPath.push_back(Index); }
    void LevelRoot() override { FPath.clear(); }
    void LevelUp() override
    {
        if (!FPath.empty())
            FPath.pop_back();
    }
    void GetItem(int Index, AnsiString& Text, int& Page, int& Top) override;
    void ShiftItems(TrpXMLItem*, int) override {}
    TrpXMLItem* GetCurPosition() override { return nullptr; }

    std::vector<TFakeOutlineItem> Root;

private:
    std::vector<TFakeOutlineItem>& Level();
    std::vector<int> FPath;
};

struct TDrawCall {
    int Index;
    Extended Scale, OffsetX, OffsetY;
};

struct TObjectOverCall {
    int Index, X, Y;
    TMouseButton Button;
    Extended Scale, OffsetX, OffsetY;
    bool Click;
};

class TFakePages : public TrpCustomPreviewPages {
public:
    explicit TFakePages(TrpReport* AReport);

    // The report this store belongs to, its outline, and the pages.
    TFakeOutline* FakeOutline() const { return static_cast<TFakeOutline*>(Outline()); }
    void SetPages(int Count, int Width = 794, int Height = 1123);
    std::vector<TFakePage> Pages;

    int GetCount() override { return static_cast<int>(Pages.size()); }
    TrpReportPage* GetPage(int Index) override;
    TPoint GetPageSize(int Index) override;
    void Clear() override { Pages.clear(); }
    void Initialize() override;
    void AddObject(TrpComponent*) override {}
    void AddPage(TrpReportPage*) override;
    void AddSourcePage(TrpReportPage*) override {}
    void AddToSourcePage(TrpComponent*) override {}
    void BeginPass() override {}
    void ClearFirstPassPages() override {}
    void CutObjects(int) override {}
    void Finish() override;
    void PasteObjects(Extended, Extended) override {}
    bool BandExists(TrpBand*) override { return false; }
    int GetCurPosition() override { return 0; }
    Extended GetLastY() override { return 0; }
    void AddEmptyPage(int Index) override;
    void DeletePage(int Index) override;
    void ModifyPage(int Index, TrpReportPage* Page) override;
    void DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                  Extended OffsetY) override;
    bool ObjectOver(int Index, int X, int Y, TMouseButton Button, TShiftState Shift, Extended Scale, Extended OffsetX,
                    Extended OffsetY, bool Click, TCursor& Cursor) override;
    void LoadFromStream(TStream&, bool = false) override {}
    void SaveToStream(TStream&) override {}
    bool LoadFromFile(const AnsiString& FileName, bool = false) override;
    void SaveToFile(const AnsiString& FileName) override { Saved.push_back(FileName); }
    bool Print() override;
    bool Export(TrpCustomExportFilter*) override { return true; }

    std::vector<AnsiString> Saved, Loaded;
    std::vector<int> Printed;  // CurPreviewPage of each Print
    std::vector<std::pair<int, Extended>> Modified;  // index, paper width given
    std::vector<TObjectOverCall> OverCalls;
    std::vector<TDrawCall> DrawCalls;
    // Run inside Print (a test answers the print dialog there).
    std::function<void()> OnPrint;
    // What LoadFromFile puts in place of the pages.
    int PagesInFile = 3;

private:
    std::unique_ptr<TrpReportPage> FPage;  // what GetPage hands out, valid until the next call
};

// "Prepares" Count pages into the report's fake store, page by page, as the engine does:
// Initialize, AddPage for each, Finish. AfterPage runs after every page (a test presses
// Cancel there); Terminated stops the run.
class TFakeEngine : public TrpCustomEngine {
public:
    explicit TFakeEngine(TrpReport* AReport) : TrpCustomEngine(AReport) {}
    void EndPage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TrpBand*) override {}
    void ShowBand(TClass) override {}
    Extended FooterHeight() override { return 0; }
    Extended FreeSpace() override { return 0; }
    Variant GetAggregateValue(const AnsiString&, const AnsiString&, TrpBand*, int) override { return {}; }
    bool Run() override;

    int Count = 5;
    bool TwoPass = false;
    std::function<void(int Page)> AfterPage;
    int Built = 0;
};

// Installs the fake factories and the preview windows for one test; restores the
// fallbacks afterwards.
struct TPreviewEnv {
    TPreviewEnv();
    ~TPreviewEnv();
    TPreviewEnv(const TPreviewEnv&) = delete;
    TPreviewEnv& operator=(const TPreviewEnv&) = delete;

    // A new report (owned by the environment) with a fake store of Pages pages.
    TrpReport* NewReport(int Pages = 0);
    static TFakePages* PagesOf(TrpReport* Report);
    static TFakeEngine* EngineOf(TrpReport* Report);

    TTestDriver d;
    std::vector<std::unique_ptr<TrpReport>> Reports;
};
