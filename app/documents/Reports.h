// Reports.h - the main window's report templates: families, variants and variables.
//
// The main window owns 56 templates, rpReport1 .. rpReport56, loaded at its creation from
// the XML files app/forms/templates/rpReportN.xml that the program carries built in
// (tools/make_templates writes them; a test regenerates them and compares). They form 17
// families. Thirteen families come in four variants that differ only in whether the goods'
// colour and sizes are printed; the two flags of table Name (Цвет, Размеры) choose one:
//
//   Цвет, Размеры   variant   prints
//   1, 1            0 base    colour and sizes
//   0, 0            1 first   neither
//   0, 1            2 second  sizes only
//   1, 0            3 third   colour only
//
// Any other pair chooses no template: the command prints nothing. The four lists of the
// journal (receipts, issue invoices, requests, write-off acts) have one template each and
// do not depend on the flags.
//
// Report variables hold expressions; a fixed text is given to a report as a quoted literal
// (SetReportText), with any quote inside the text doubled, so that a group or supplier named
// with an apostrophe prints as typed instead of breaking the expression.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class TrpReport;

// The 17 families of templates, in the order of their base templates rpReport1 .. 17.
enum class TReportFamily : uint8_t {
    ReceiptInvoice,      // 1 / 18 / 19 / 20   "ПРИХОДНАЯ НАКЛАДНАЯ"
    IssueInvoice,        // 2 / 21 / 22 / 23   "РАСХОДНАЯ НАКЛАДНАЯ"
    SalesReceipt,        // 3 / 24 / 25 / 26   "ТОВАРНЫЙ ЧЕК"
    Turnover,            // 4 / 27 / 28 / 29   "ОБОРОТНАЯ ВЕДОМОСТЬ"
    StockState,          // 5 / 30 / 31 / 32   landscape, A4 when printed
    Shortage,            // 6 / 33 / 34 / 35   A4 when printed
    Surplus,             // 7 / 36 / 37 / 38
    OrderRequest,        // 8 / 39 / 40 / 41
    WriteOffAct,         // 9 / 42 / 43 / 44
    PurchaseBySupplier,  // 10 / 45 / 46 / 47
    PurchaseByOrder,     // 11 / 48 / 49 / 50
    Purchase,            // 12 / 51 / 52 / 53
    OrderState,          // 13 / 54 / 55 / 56  landscape, A4 when printed
    ReceiptsList,        // 14
    IssueInvoicesList,   // 15
    RequestsList,        // 16
    WriteOffActsList,    // 17
};
constexpr int kReportFamilyCount = 17;
constexpr int kReportTemplateCount = 56;

// The four variants, in the order the templates of a family stand.
enum class TTemplateVariant : uint8_t { Base, First, Second, Third };

// The variant for the flags of table Name; nothing for any pair but (1,1) (0,0) (0,1) (1,0).
std::optional<TTemplateVariant> TemplateVariant(int colour, int sizes);

// True for the 13 families that come in four variants.
bool FamilyHasVariants(TReportFamily family);

// The number N of the template rpReportN of a family and variant (1 .. 56). A family
// without variants has its one template for every variant.
int TemplateNumber(TReportFamily family, TTemplateVariant variant);

// The family a template number belongs to; EListError outside 1 .. 56.
TReportFamily FamilyOfTemplate(int number);

// The template's variant (Base for the four lists).
TTemplateVariant VariantOfTemplate(int number);

// The family's template number for the flags, or 0 when the pair chooses none.
int ChooseTemplateNumber(TReportFamily family, int colour, int sizes);

// The text as a quoted literal of the report's expressions: 'text', inner quotes doubled.
AnsiString ReportTextLiteral(const AnsiString& text);

// Sets the report variable of that name to the fixed text (ReportTextLiteral); a variable
// the template does not have is an error of the caller's and raises EListError.
void SetReportText(TrpReport* report, const AnsiString& name, const AnsiString& text);
// The same for the variable at Index of the report's Variables (0 is the category " itogo").
void SetReportTextAt(TrpReport* report, int index, const AnsiString& text);

// ---------------------------------------------------------------- built-in templates

// The templates as the program carries them (app/forms/templates, embedded by the build).
struct TEmbeddedTemplate {
    int Number;                 // N of rpReportN
    const unsigned char* Data;  // UTF-8 report XML
    size_t Size;
};
extern const TEmbeddedTemplate kEmbeddedTemplates[];
extern const int kEmbeddedTemplateCount;

// The UTF-8 text of template N; EFOpenError when the program carries none of that number.
std::string_view TemplateXmlUtf8(int number);

// Reads a template's XML (UTF-8) into a report. A text that is no report, or one the
// report reads with errors (an unknown class, a bad value, a missing dataset), raises an
// Exception naming the template and what was wrong; the program cannot print without it.
void LoadReportTemplate(TrpReport* report, std::string_view utf8Xml);

// Member of TForm1, declared in Unit1.h and defined in Reports.cpp:
//   TrpReport* TForm1::ChooseTemplate(TReportFamily family);
// reads the flags of table Name (first row; none or no row chooses nothing), applies
// TemplateVariant and returns the template, or nullptr when the pair chooses none.
// Also in Unit1.h: TrpReport* TForm1::rpReport(int n) (1 .. 56) and the five bridges
// rpDBDataset1 .. rpDBDataset5 over ADOQuery7, ADOQuery8, ADOQuery14, ADOQuery2, ADOQuery6.
