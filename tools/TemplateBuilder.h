// TemplateBuilder.h - the 56 report templates of the warehouse program, built in code.
//
// Each template is made through the report classes (a report, one page, its bands and
// memos, its variables and datasets) and written with the report serializer. The files
// app/forms/templates/rpReportN.xml are this builder's output, converted to UTF-8 so that
// they read and diff as text; the program converts them back when it loads them. A test
// builds them again and compares, so the files never drift from this code.
//
// Families and variants follow app/documents/Reports.h: templates 1 .. 17 are the base of the
// 17 families, 18 .. 56 the first, second and third variants of families 1 .. 13 (without
// colour and sizes, sizes only, colour only). Every template has one report page, paper
// code 256 with 210 x 297 mm portrait or 297 x 210 mm landscape, margins of 10 mm; a page
// footer with the page number, a column header with the title block and the column titles,
// one master-data band "MasterData1" over the family's line dataset with "[Line#]" under
// "№ п.п.", and where the family has totals or signatures a column footer. Memo names are
// Memo1, Memo2 ... in creation order.
//
// Column titles of the stock reports' computed fields, for whoever fills the queries:
// "Не_выдано" prints as "Не выдано", "O" as "Остаток", "R" as "Расход".
//
// Needs the report classes started (rpInitModel, rpInitReportClasses).
#pragma once

#include "platform/classes/Classes.h"

#include <memory>

class TrpReport;

// The five dataset bridges rpDBDataset1 .. 5, owned by a stand-in for the main window, with
// the templates built beside them so that references are written by plain name.
class TTemplateOwner {
public:
    TTemplateOwner();
    ~TTemplateOwner();
    TComponent* Root() const { return FRoot.get(); }

private:
    std::unique_ptr<TComponent> FRoot;
};

// Template n (1 .. 56), named rpReportN, owned by Owner's root.
TrpReport* BuildTemplate(int n, TTemplateOwner& Owner);

// The file text of template n: the serializer's output in UTF-8.
AnsiString TemplateFileText(int n, TTemplateOwner& Owner);
