// EngineTestSupport.h - what the engine and prepared-pages tests share: start-up of the
// script engine and the report classes once per program, an in-memory dataset, a small
// template builder and dumps of prepared pages on the recording canvas with the exact font.
#pragma once

#include "report/output/rpEngine.h"
#include "report/output/rpPreviewPages.h"

#include "report/model/rpBands.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

// Script engine, report classes and this layer's factories, started once per program.
void EngineStartup();

// Rows of named values; the dataset walks them as the report's datasets do.
class TRowsDataSet : public TrpUserDataSet {
    SKLAD_CLASS_NOPUBLISH(TRowsDataSet, TrpUserDataSet)
public:
    explicit TRowsDataSet(TComponent* AOwner);
    void SetRows(std::vector<std::map<AnsiString, Variant>> Rows);
    Variant GetValue(const AnsiString& Index) override;
    AnsiString GetDisplayText(const AnsiString& Index) override;
    void GetFieldList(TStrings* List) override;
    int FieldsCount() override;
    std::vector<std::map<AnsiString, Variant>> Rows;
};

// A report with one small page (100 x 60 mm, 5 mm margins: 359 x 189 units inside), made
// in code. Every object gets a unique name.
class TTestReport {
public:
    TTestReport();
    ~TTestReport();
    TrpReport* Report() const { return FReport.get(); }
    TrpReportPage* Page() const { return FPage; }
    TrpPreviewPages* Pages() const;
    TrpEngine* Engine() const;

    TrpReportPage* AddPage(Extended WidthMM = 100, Extended HeightMM = 60);
    template <class B>
    B* Band(Extended Top, Extended Height, TrpReportPage* OnPage = nullptr)
    {
        auto* b = new B(OnPage ? OnPage : FPage);
        b->SetName(Unique(b->GetBaseName()));
        b->SetBounds(0, Top, 0, Height);
        return b;
    }
    TrpMemoView* Memo(TrpComponent* Parent, Extended Left, Extended Top, Extended Width, Extended Height,
                      const AnsiString& Text);
    TRowsDataSet* DataSet(const AnsiString& UserName, std::vector<std::map<AnsiString, Variant>> Rows);
    // PrepareReport with silent errors; true when it built pages.
    bool Prepare();
    AnsiString Errors() const;

private:
    AnsiString Unique(const AnsiString& Stem);
    std::unique_ptr<TrpReport> FReport;
    TrpReportPage* FPage = nullptr;
    std::vector<std::unique_ptr<TRowsDataSet>> FDataSets;
    int FCounter = 0;
};

// Rows {"N": 1..n, "Name": "Item i", "Sum": i * 10, "Group": ...}.
std::vector<std::map<AnsiString, Variant>> NumberedRows(int Count, int GroupSize = 0);

// Each page drawn on the recording canvas at scale 1: "page i w x h" and its records.
AnsiString DrawDump(TrpPreviewPages* Pages);
// Each page as the bands and memos built from it: one line per object with its class (or
// name), top, height and, for memos, the text.
AnsiString LayoutDump(TrpPreviewPages* Pages);
// The memo texts of one page in drawing order.
std::vector<AnsiString> PageTexts(TrpPreviewPages* Pages, int Index);
