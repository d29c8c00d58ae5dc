// ModelTestClasses.h - small report classes for the model's tests and fuzz targets.
//
// The real report, pages, bands and views are built on this layer elsewhere; these stand
// in for them with just what the tests need: a report root that streams its collections,
// a page, a band, and a memo-like view with an enumeration, a string list, a font, a
// dataset reference and the compact text attribute.
#pragma once

#include "report/model/rpReportBase.h"
#include "report/model/rpUtils.h"

SKLAD_ENUM(TTestHAlign, haLeft, haRight, haCenter)

class TTestReport : public TrpCustomReport {
    SKLAD_CLASS(TTestReport, TrpCustomReport)
public:
    explicit TTestReport(TComponent* AOwner);
    AnsiString GetScriptLanguage() const { return FScriptLanguage; }
    void SetScriptLanguage(const AnsiString& v) { FScriptLanguage = v; }
    TStrings* GetScriptText() const { return FScriptText.get(); }
    void SetScriptText(TStrings* v) { FScriptText->Assign(v); }
    void Clear() override;

private:
    AnsiString FScriptLanguage = "PascalScript";
    std::unique_ptr<TStringList> FScriptText = std::make_unique<TStringList>();
};

class TTestPage : public TrpPage {
    SKLAD_CLASS(TTestPage, TrpPage)
public:
    explicit TTestPage(TComponent* AOwner) : TrpPage(AOwner) {}
    Extended PaperWidth = 210;
};

class TTestBand : public TrpReportComponent {
    SKLAD_CLASS(TTestBand, TrpReportComponent)
public:
    explicit TTestBand(TComponent* AOwner) : TrpReportComponent(AOwner) {}
    void Draw(TCanvas*, Extended, Extended, Extended, Extended) override {}
    bool IsBand() const override { return true; }
    TrpDataSet* DataSet = nullptr;
    TrpDataSet* GetDataSet() const { return DataSet; }
    void SetDataSet(TrpDataSet* v) { DataSet = v; }
};

class TTestMemo : public TrpReportComponent {
    SKLAD_CLASS(TTestMemo, TrpReportComponent)
public:
    explicit TTestMemo(TComponent* AOwner) : TrpReportComponent(AOwner) { BaseName = "Memo"; }
    void Draw(TCanvas*, Extended, Extended, Extended, Extended) override {}
    bool IsView() const override { return true; }
    TrpAlign GetAlign() const override { return Align; }
    void SetCompactText(const AnsiString& v) override { Memo->SetText(v); }
    TStrings* GetMemo() const { return Memo.get(); }
    void SetMemo(TStrings* v) { Memo->Assign(v); }

    TrpAlign Align = baNone;
    TTestHAlign HAlign = haLeft;
    std::unique_ptr<TStringList> Memo = std::make_unique<TStringList>();
};

// Registers the test classes (and the model's) by name; safe to call twice.
void RegisterModelTestClasses();
