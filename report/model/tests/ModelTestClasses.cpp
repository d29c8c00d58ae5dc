// ModelTestClasses.cpp - the stand-in report classes of the tests.
#include "report/model/tests/ModelTestClasses.h"

#include "report/model/rpModel.h"

SKLAD_DEFINE_CLASS(TTestReport)
void TTestReport::Publish(TPropertyTable& t)
{
    t.Prop("EngineOptions", &TTestReport::GetEngineOptions, &TTestReport::SetEngineOptions);
    t.Prop("PreviewOptions", &TTestReport::GetPreviewOptions, &TTestReport::SetPreviewOptions);
    t.Prop("PrintOptions", &TTestReport::GetPrintOptions, &TTestReport::SetPrintOptions);
    t.Prop("ReportOptions", &TTestReport::GetReportOptions, &TTestReport::SetReportOptions);
    t.Prop("ScriptLanguage", &TTestReport::GetScriptLanguage, &TTestReport::SetScriptLanguage);
    t.Prop("ScriptText", &TTestReport::GetScriptText, &TTestReport::SetScriptText);
    t.Prop("IniFile", &TTestReport::IniFile, &TTestReport::IniFile);
    t.Prop("ShowProgress", &TTestReport::ShowProgress, &TTestReport::ShowProgress).Default(true);
}

TTestReport::TTestReport(TComponent* AOwner) : TrpCustomReport(AOwner) { Clear(); }

void TTestReport::Clear()
{
    TrpCustomReport::Clear();
    FScriptLanguage = "PascalScript";
    FScriptText->SetText("begin\r\n\r\nend.");
}

SKLAD_DEFINE_CLASS(TTestPage)
void TTestPage::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TTestPage::GetLeft, &TTestPage::SetLeft);
    t.Prop("Top", &TTestPage::GetTop, &TTestPage::SetTop);
    t.Prop("Width", &TTestPage::GetWidth, &TTestPage::SetWidth);
    t.Prop("Height", &TTestPage::GetHeight, &TTestPage::SetHeight);
    t.Prop("PaperWidth", &TTestPage::PaperWidth, &TTestPage::PaperWidth);
}

SKLAD_DEFINE_CLASS(TTestBand)
void TTestBand::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TTestBand::GetLeft, &TTestBand::SetLeft);
    t.Prop("Top", &TTestBand::GetTop, &TTestBand::SetTop);
    t.Prop("Width", &TTestBand::GetWidth, &TTestBand::SetWidth);
    t.Prop("Height", &TTestBand::GetHeight, &TTestBand::SetHeight);
    t.Prop("DataSet", &TTestBand::GetDataSet, &TTestBand::SetDataSet);
}

SKLAD_DEFINE_CLASS(TTestMemo)
void TTestMemo::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TTestMemo::GetLeft, &TTestMemo::SetLeft);
    t.Prop("Top", &TTestMemo::GetTop, &TTestMemo::SetTop);
    t.Prop("Width", &TTestMemo::GetWidth, &TTestMemo::SetWidth);
    t.Prop("Height", &TTestMemo::GetHeight, &TTestMemo::SetHeight);
    t.Prop("Font", &TTestMemo::GetFont, &TTestMemo::SetFont).Stored(&TTestMemo::IsFontStored);
    t.Prop("ParentFont", &TTestMemo::GetParentFont, &TTestMemo::SetParentFont).Default(true);
    t.Prop("Visible", &TTestMemo::GetVisible, &TTestMemo::SetVisible).Default(true);
    t.Prop("Restrictions", &TTestMemo::GetRestrictions, &TTestMemo::SetRestrictions).Default(TrpRestrictions());
    t.Prop("GroupIndex", &TTestMemo::GetGroupIndex, &TTestMemo::SetGroupIndex).Default(0);
    t.Prop("Align", &TTestMemo::Align, &TTestMemo::Align).Default(baNone);
    t.Prop("HAlign", &TTestMemo::HAlign, &TTestMemo::HAlign).Default(haLeft);
    t.Prop("Memo", &TTestMemo::GetMemo, &TTestMemo::SetMemo);
    t.Prop("OnBeforePrint", &TTestMemo::OnBeforePrint, &TTestMemo::OnBeforePrint);
}

void RegisterModelTestClasses()
{
    rpInitModel();
    RegisterClasses({TTestReport::StaticClass(), TTestPage::StaticClass(), TTestBand::StaticClass(),
                     TTestMemo::StaticClass()});
}
