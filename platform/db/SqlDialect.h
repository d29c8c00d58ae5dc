// SqlDialect.h - turns the statements the windows are written with into SQLite statements.
//
// The windows keep the old statement shapes; this file makes them run on SQLite, on CP1251
// text, before the connection converts it to UTF-8:
//
//   Delete * From T Where ...           ->  Delete From T Where ...
//   Update ColumnSize Set 3=46 ...      ->  Update ColumnSize Set "3"=46 ...   (digit column names,
//   Insert Into ColumnSize (0,1) ...    ->  Insert Into ColumnSize ("0","1")    also T.0 -> T."0")
//   (ID=:a) Or (ID=:b) Or (ID=:c)       ->  (ID In (:a,:b,:c))
//   (C <> :a) And (C <> :b)             ->  (C Not In (:a,:b))
//   :name                               ->  ?   (one slot per placeholder, named in Slots)
//   :list  (a parameter holding a list) ->  ?,?,?  (one slot per element; none for an empty list)
//
// Chains. A run of two or more parenthesised terms on the same column, `(col = value)` joined by
// Or or `(col <> value)` joined by And, where each value is one literal or parameter, becomes one
// In / Not In term, so a thousand groups or ids never reach SQLite's expression depth limit. A run
// is only folded when the operators around it bind no tighter than its own (an Or run must not
// touch an And or a Not), so the meaning never changes: `a In (x, y)` compares with a's affinity
// and collation exactly as `a = x Or a = y` does, and `a Not In` matches `a <> x And a <> y`,
// Null included.
//
// Literals, quoted names and comments are copied untouched; a colon inside a string is text.
#pragma once

#include "platform/rtl/System.h"

#include <functional>
#include <string_view>
#include <vector>

enum class TSqlTokenKind { Space, Comment, Word, Number, String, QuotedId, Param, Punct };

struct TSqlToken {
    TSqlTokenKind Kind;
    std::string_view Text;  // a view into the tokenized text
    size_t Offset;
};

// Splits SQL text into tokens; the texts of all tokens concatenated give the input back.
std::vector<TSqlToken> TokenizeSql(std::string_view sql);

// Names of the :name placeholders in order of first appearance, each once (compared ignoring case).
std::vector<AnsiString> SqlParamNames(std::string_view sql);

// Folds Or/And chains into In/Not In terms (the first step of RewriteSql, exposed for tests).
AnsiString FoldSqlChains(std::string_view sql);

// A list parameter written as "In (Select value From json_each(?))" and bound as one JSON
// array of its elements: for a list longer than SQLite binds value by value.
constexpr int kListAsJson = -2;

struct TSqlSlot {
    AnsiString Name;  // the parameter's name as written
    int Element;      // -1 for a single value, kListAsJson for a whole list, else the index into the list
};

struct TRewrittenSql {
    AnsiString Text;              // the SQLite statement, still CP1251
    std::vector<TSqlSlot> Slots;  // Slots[i] fills the (i+1)-th '?'
};

// listSize(name) gives the number of elements of a list parameter, -1 for a single value, or
// kListAsJson for a list bound whole.
TRewrittenSql RewriteSql(std::string_view sql, const std::function<int(std::string_view)>& listSize = {});
