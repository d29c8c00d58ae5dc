// ReportFixture.h - what the report-class tests share: engine start-up around each test,
// an in-memory database dataset, and stand-ins for the output layer's engine, prepared
// pages and preview that record what the report asks of them.
#pragma once

#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpDialogs.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpStyles.h"
#include "report/model/rpUtils.h"

#include "script/GlobalUnit.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Rows of (ID integer, Name string, Sum float, Flag boolean); Null where a cell is Empty().
class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* AOwner) : TDataSet(AOwner) {}
    struct Row {
        Variant ID, Name, Sum, Flag;
    };
    std::vector<Row> Rows;

protected:
    void InternalOpen() override
    {
        FieldDefs().Clear();
        FieldDefs().Add("ID", ftInteger);
        FieldDefs().Add("Name", ftString, 40);
        FieldDefs().Add("Сумма", ftFloat);
        FieldDefs().Add("Flag", ftBoolean);
        for (const Row& r : Rows) {
            Variant* row = AppendRow();
            row[0] = r.ID;
            row[1] = r.Name;
            row[2] = r.Sum;
            row[3] = r.Flag;
        }
    }
};

// The engine stand-in: Run calls RunBody (if any); aggregates are recorded and answered 42.
class TFakeEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::TrpCustomEngine;
    void EndPage() override {}
    void NewColumn() override { ++NewColumns; }
    void NewPage() override { ++NewPages; }
    void ShowBand(TrpBand* Band) override { Shown.push_back(Band); }
    void ShowBand(TClass) override {}
    Extended FooterHeight() override { return 0; }
    Extended FreeSpace() override { return 123.5; }
    Variant GetAggregateValue(const AnsiString& Name, const AnsiString& Expression, TrpBand* Band, int Flags) override
    {
        Aggregates.push_back(Name + "|" + Expression + "|" + (Band ? Band->Name() : AnsiString("-")) + "|" +
                             IntToStr(Flags));
        return Variant(42);
    }
    bool Run() override
    {
        Running = true;
        struct Stop {
            bool& r;
            ~Stop() { r = false; }
        } stop{Running};
        return RunBody ? RunBody(*this) : true;
    }
    std::function<bool(TFakeEngine&)> RunBody;
    std::vector<AnsiString> Aggregates;
    std::vector<TrpBand*> Shown;
    int NewPages = 0, NewColumns = 0;
};

// The library's empty store, counting what the engine asks of it.
class TFakePreviewPages : public TrpNoPreviewPages {
public:
    using TrpNoPreviewPages::TrpNoPreviewPages;
    int GetCount() override { return Pages; }
    void Clear() override { ++Clears; }
    bool Print() override { return true; }
    bool Export(TrpCustomExportFilter*) override { return true; }
    int Pages = 0;
    int Clears = 0;
};

class TFakePreview : public TrpCustomPreview {
public:
    using TrpCustomPreview::TrpCustomPreview;
    void Init() override { ++Inits; }
    void Lock() override {}
    void Unlock() override {}
    void InternalOnProgressStart(TrpReport*, TrpProgressType, int) override { Log.push_back("start"); }
    void InternalOnProgress(TrpReport*, TrpProgressType, int Progress) override
    {
        Log.push_back("progress " + IntToStr(Progress));
    }
    void InternalOnProgressStop(TrpReport*, TrpProgressType, int) override { Log.push_back("stop"); }
    int Inits = 0;
    std::vector<AnsiString> Log;
};

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptEngineStartup();
        rpInitReportClasses();
        rpSetEngineFactory([](TrpReport* r) { return std::make_unique<TFakeEngine>(r); });
        rpSetPreviewPagesFactory([](TrpReport* r) { return std::make_unique<TFakePreviewPages>(r); });
        rpSetErrorMsgProc([this](const AnsiString& m, const AnsiString&) { Boxes.push_back(m); });
        Owner = std::make_unique<TComponent>(nullptr);
    }
    void TearDown() override
    {
        Owner.reset();
        rpSetErrorMsgProc(nullptr);
        rpSetEngineFactory(nullptr);
        rpSetPreviewPagesFactory(nullptr);
        rpDoneReportClasses();
        ScriptEngineShutdown();
    }

    // A report with one page, a master data band and the given memo texts.
    TrpReport* MakeReport(const AnsiString& name = "rpReport1")
    {
        auto* r = new TrpReport(Owner.get());
        r->SetName(name);
        r->GetEngineOptions()->SilentMode = true;
        r->GetEngineOptions()->RestoreReport = false;
        return r;
    }
    TrpReportPage* AddPage(TrpReport* r)
    {
        auto* p = new TrpReportPage(r);
        p->CreateUniqueName();
        return p;
    }
    template <class T>
    T* Add(TrpComponent* parent, const AnsiString& name)
    {
        auto* c = new T(parent);
        c->SetName(name);
        return c;
    }
    // An open database dataset with rows, bridged by a TrpDBDataset listed in the report.
    TrpDBDataset* AddDataSet(TrpReport* r, const AnsiString& name, std::vector<TMemDataSet::Row> rows)
    {
        auto* mem = new TMemDataSet(Owner.get());
        mem->Rows = std::move(rows);
        mem->Open();
        auto* ds = new TrpDBDataset(Owner.get());
        ds->SetName(name);
        ds->SetDataSet(mem);
        r->GetDataSets()->Add(ds);
        return ds;
    }
    static TFakeEngine* Engine(TrpReport* r) { return static_cast<TFakeEngine*>(r->GetEngine()); }
    static TFakePreviewPages* Pages(TrpReport* r) { return static_cast<TFakePreviewPages*>(r->GetPreviewPages()); }

    std::unique_ptr<TComponent> Owner;
    std::vector<AnsiString> Boxes;
};
