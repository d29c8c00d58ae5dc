#include "app/documents/Statements.h"

#include "platform/db/ADODB.h"

namespace {

void Prepare(TADOQuery* query, const AnsiString& sql, TSqlParams params)
{
    query->Close();
    query->SQL()->Clear();
    query->SQL()->Add(sql);
    // Only the parameters the statement names are given; the callers share lists.
    for (const TSqlParam& p : params) {
        TParameter* param = query->Parameters()->FindParam(p.Name);
        if (!param)
            continue;
        if (p.List) {
            std::vector<Variant> values(p.List->begin(), p.List->end());
            param->SetList(values);
        } else {
            param->Value = p.Value;
        }
    }
}

}  // namespace

bool HasCurrentRow(const TDataSet* query)
{
    return query && query->Active() && !query->IsEmpty();
}

void OpenSql(TADOQuery* query, const AnsiString& sql, TSqlParams params)
{
    Prepare(query, sql, params);
    query->Open();
}

int ExecSql(TADOQuery* query, const AnsiString& sql, TSqlParams params)
{
    Prepare(query, sql, params);
    return query->ExecSQL();
}

AnsiString QuoteName(std::string_view name)
{
    AnsiString out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

void InTransaction(TADOConnection* connection, const std::function<void()>& fn)
{
    TTransaction transaction(*connection);
    fn();
    transaction.Commit();
}

AnsiString JetConnectionString(const AnsiString& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + ConnectionStringQuote(path) +
           ";Mode=ReadWrite;Extended Properties=;Jet OLEDB:System database=;Jet OLEDB:Registry Path=;"
           "Jet OLEDB:Database Password=;Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;"
           "Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
           "Jet OLEDB:New Database Password=;Jet OLEDB:Create System Database=False;"
           "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
           "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";
}
