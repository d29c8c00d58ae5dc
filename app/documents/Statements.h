// Statements.h - running one statement on a shared query, with every value bound.
//
// The windows keep the habit of the program: a shared query is closed, its text replaced
// by one statement, then opened (a select) or executed. Values never enter the text: they
// are :name placeholders bound from the list given here, so quotes, decimal commas and
// dates cannot break or change a statement. A list value (a vector of texts) fills an
// "In (:names)" with one bound slot per element.
#pragma once

#include "platform/rtl/Variant.h"

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

class TADOQuery;
class TDataSet;
class TADOConnection;

struct TSqlParam {
    const char* Name;
    Variant Value;
    const std::vector<AnsiString>* List = nullptr;  // set for a list parameter

    TSqlParam(const char* name, Variant value) : Name(name), Value(std::move(value)) {}
    TSqlParam(const char* name, const std::vector<AnsiString>& list) : Name(name), List(&list) {}
};

using TSqlParams = std::initializer_list<TSqlParam>;

// Whether a window command has a row to act on: the query is open and holds rows. The
// end-of-data flag is no test for this: a grid's Down past the last row or Ctrl+End sets it
// while the last row stays current and highlighted.
bool HasCurrentRow(const TDataSet* query);

// Close, replace the text, bind, open.
void OpenSql(TADOQuery* query, const AnsiString& sql, TSqlParams params = {});
// Close, replace the text, bind, execute; returns the number of rows changed.
int ExecSql(TADOQuery* query, const AnsiString& sql, TSqlParams params = {});

// A column name put into a statement's text (Order By, Select list) as a quoted identifier;
// only names the caller took from its own list may come here.
AnsiString QuoteName(std::string_view name);

// Runs fn inside one transaction of the connection: all of its statements land or none do.
void InTransaction(TADOConnection* connection, const std::function<void()>& fn);

// The connection string of a warehouse file: Data Source names the file (quoted where its
// path needs it), the other keys name the provider the main window's layout declares.
AnsiString JetConnectionString(const AnsiString& path);
