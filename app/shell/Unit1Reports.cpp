// Unit1Reports.cpp - the main window's report templates and dataset bridges.
//
// The five bridges and the 56 templates are made when the window is created, before
// FormCreate: the templates from the XML the program carries (Reports.h), each bound to
// the window's before-print hook. A template that cannot be read stops the creation with
// a message naming it; the program would otherwise fail later, at the first print.
#include "app/documents/Reports.h"
#include "app/documents/Statements.h"
#include "app/shell/Unit1.h"

#include "platform/db/ADODB.h"
#include "report/model/rpClass.h"
#include "report/model/rpDBSet.h"
#include "report/model/rpPages.h"

void TForm1::CreateReports()
{
    TADOQuery* const sources[] = {ADOQuery7, ADOQuery8, ADOQuery14, ADOQuery2, ADOQuery6};
    TrpDBDataset** const bridges[] = {&rpDBDataset1, &rpDBDataset2, &rpDBDataset3, &rpDBDataset4, &rpDBDataset5};
    for (int i = 0; i < 5; ++i) {
        auto* bridge = new TrpDBDataset(this);
        bridge->SetName("rpDBDataset" + IntToStr(i + 1));  // the user name follows
        bridge->SetDataSet(sources[i]);
        bridge->CloseDataSource = false;
        *bridges[i] = bridge;
    }
    FReports.clear();
    for (int n = 1; n <= kReportTemplateCount; ++n) {
        auto* report = new TrpReport(this);
        report->SetName("rpReport" + IntToStr(n));
        LoadReportTemplate(report, TemplateXmlUtf8(n));
        report->OnBeforePrint = TrpBeforePrintEvent(this, &TForm1::rpReport1BeforePrint);
        FReports.push_back(report);
    }
}

void TForm1::rpReport1BeforePrint(TrpReportComponent* Sender)
{
    // The templates' memos (Memo1, Memo2 ...) print Cyrillic whatever character set they kept.
    if (Sender && !Sender->Name().empty() && Sender->Name()[0] == 'M')
        Sender->GetFont()->SetCharset(204);
    // The stock-state, shortage and order-state reports print on A4.
    for (int n : {5, 30, 31, 32, 6, 33, 34, 35, 56, 13, 54, 55}) {
        TrpReport* report = rpReport(n);
        for (int i = 0; i < report->GetPagesCount(); ++i)
            if (auto* page = dynamic_cast<TrpReportPage*>(report->GetPages(i)))
                page->SetPaperSize(9);
    }
}

TrpReport* TForm1::rpReport(int n) const
{
    if (n < 1 || n > static_cast<int>(FReports.size()))
        throw EListError(Format("Шаблона отчета %d нет (1 .. %d)", {n, static_cast<int>(FReports.size())}));
    return FReports[static_cast<size_t>(n - 1)];
}

TrpReport* TForm1::ChooseTemplate(TReportFamily family)
{
    if (!FamilyHasVariants(family))
        return rpReport(TemplateNumber(family, TTemplateVariant::Base));
    // A query of its own, so that choosing leaves the shared work queries as they were.
    TADOQuery flags(nullptr);
    flags.SetConnection(ADOConnection1);
    OpenSql(&flags, "Select * From Name");
    if (flags.IsEmpty())
        return nullptr;
    TField* colour = flags.FieldByName("Цвет");
    TField* sizes = flags.FieldByName("Размеры");
    if (colour->IsNull() || sizes->IsNull())
        return nullptr;
    const int number = ChooseTemplateNumber(family, colour->AsInteger(), sizes->AsInteger());
    return number ? rpReport(number) : nullptr;
}
