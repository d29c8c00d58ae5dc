#include "app/documents/Reports.h"

#include "app/documents/Statements.h"
#include "platform/db/ADODB.h"
#include "report/model/rpVariables.h"
#include "report/model/rpClass.h"

namespace {

// Base template of each family; the variants of family f (f < 13) are 18 + 3f .. 20 + 3f.
constexpr int kVariantFamilies = 13;

int FamilyIndex(TReportFamily family) { return static_cast<int>(family); }

}  // namespace

std::optional<TTemplateVariant> TemplateVariant(int colour, int sizes)
{
    if (colour == 1 && sizes == 1)
        return TTemplateVariant::Base;
    if (colour == 0 && sizes == 0)
        return TTemplateVariant::First;
    if (colour == 0 && sizes == 1)
        return TTemplateVariant::Second;
    if (colour == 1 && sizes == 0)
        return TTemplateVariant::Third;
    return std::nullopt;
}

bool FamilyHasVariants(TReportFamily family) { return FamilyIndex(family) < kVariantFamilies; }

int TemplateNumber(TReportFamily family, TTemplateVariant variant)
{
    const int f = FamilyIndex(family);
    if (!FamilyHasVariants(family) || variant == TTemplateVariant::Base)
        return f + 1;
    return 18 + 3 * f + (static_cast<int>(variant) - 1);
}

TReportFamily FamilyOfTemplate(int number)
{
    if (number < 1 || number > kReportTemplateCount)
        throw EListError(Format("Шаблона отчета %d нет (1 .. %d)", {number, kReportTemplateCount}));
    if (number <= kReportFamilyCount)
        return static_cast<TReportFamily>(number - 1);
    return static_cast<TReportFamily>((number - 18) / 3);
}

TTemplateVariant VariantOfTemplate(int number)
{
    FamilyOfTemplate(number);  // checks the range
    if (number <= kReportFamilyCount)
        return TTemplateVariant::Base;
    return static_cast<TTemplateVariant>((number - 18) % 3 + 1);
}

int ChooseTemplateNumber(TReportFamily family, int colour, int sizes)
{
    if (!FamilyHasVariants(family))
        return TemplateNumber(family, TTemplateVariant::Base);
    const auto variant = TemplateVariant(colour, sizes);
    return variant ? TemplateNumber(family, *variant) : 0;
}

AnsiString ReportTextLiteral(const AnsiString& text)
{
    // Quoted runs for what a literal can hold, character codes (#13) for control characters:
    // 'a'#13#10'b'. A quote inside a run is doubled.
    AnsiString out;
    bool inRun = false;
    for (char ch : text) {
        const auto code = static_cast<unsigned char>(ch);
        if (code < 0x20 || code == 0x7F) {
            if (inRun)
                out += '\'';
            inRun = false;
            out += '#' + IntToStr(code);
            continue;
        }
        if (!inRun)
            out += '\'';
        inRun = true;
        out += ch;
        if (ch == '\'')
            out += '\'';
    }
    if (out.empty())
        return "''";
    if (inRun)
        out += '\'';
    return out;
}

void SetReportText(TrpReport* report, const AnsiString& name, const AnsiString& text)
{
    TrpVariables* vars = report->GetVariables();
    const int index = vars->IndexOf(name);
    if (index < 0)
        throw EListError(Format("В шаблоне %s нет переменной %s", {report->Name(), name}));
    vars->Items(index)->SetValue(ReportTextLiteral(text));
}

void SetReportTextAt(TrpReport* report, int index, const AnsiString& text)
{
    report->GetVariables()->Items(index)->SetValue(ReportTextLiteral(text));
}

// ---------------------------------------------------------------- built-in templates

std::string_view TemplateXmlUtf8(int number)
{
    for (int i = 0; i < kEmbeddedTemplateCount; ++i)
        if (kEmbeddedTemplates[i].Number == number)
            return {reinterpret_cast<const char*>(kEmbeddedTemplates[i].Data), kEmbeddedTemplates[i].Size};
    throw EFOpenError(Format("Шаблона отчета rpReport%d нет в программе", {number}));
}

void LoadReportTemplate(TrpReport* report, std::string_view utf8Xml)
{
    const AnsiString name = report->Name();
    TrpEngineOptions* options = report->GetEngineOptions();
    const bool silent = options->SilentMode;
    // The errors are gathered and raised here, not shown in a box of their own.
    options->SilentMode = true;
    try {
        TStringStream in(Utf8ToAnsi(utf8Xml));
        report->LoadFromStream(in);
    } catch (const Exception& e) {
        options->SilentMode = silent;
        throw Exception("Шаблон отчета " + name + " не прочитан: " + e.Message());
    }
    options->SilentMode = silent;
    if (report->Name() != name)
        report->SetName(name);
    if (report->Errors.Count() > 0) {
        AnsiString lines;
        for (int i = 0; i < report->Errors.Count(); ++i)
            lines += (i ? "; " : "") + report->Errors[i];
        throw Exception("Шаблон отчета " + name + " прочитан с ошибками: " + lines);
    }
}
