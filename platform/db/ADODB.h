// ADODB.h - the connection and the query the windows use, over one SQLite warehouse file.
//
// How window code runs SQL (the one way; values are never pasted into the text):
//
//     Q->Close();
//     Q->SQL()->Clear();
//     Q->SQL()->Add("Select * From Groups Where NameGroup=:name");
//     Q->Parameters()->ParamByName("name")->Value = name;        // any text, quotes included
//     Q->Open();                                                  // or Q->ExecSQL() for a write
//
// or the same in one call:  Q->OpenSql("Select ... Where ID=:id", {{"id", id}});
//                           Q->ExecSql("Update Products Set Цена=:p Where ID=:id", {{"p", 12.5}, {"id", id}});
//
// Parameters. Setting the SQL text makes one parameter per distinct :name (compared ignoring
// case); each must be given a value before Open/ExecSQL (a forgotten one raises instead of
// binding Null). The value's Variant type decides how it is bound: integers and Booleans as
// integers (True = 1), Single/Double/Currency as reals, Dates as day numbers, strings as text,
// Null as NULL. Setting DataType converts a text value first, with the locale's rules:
// ftFloat/ftCurrency accept "12,5" as well as "12.5", ftInteger whole numbers, ftDate/ftDateTime
// the short date format; text that is no number or date raises a clear error. A Variant array
// (or SetList) makes a list parameter: "Where ID In (:ids)" binds one value per element, and an
// empty list matches nothing.
//
// The statement text goes through SqlDialect.h (Delete * From, digit column names, Or/And chains
// folded into In), then to SQLite. Prepared statements are cached per connection, so running the
// same text again with other values costs a bind and a step.
//
// Open reads the whole result into memory and releases the statement at once, so no query holds
// a read lock between calls. The field types come from the columns' declared types (INTEGER,
// REAL, VARCHAR(n), DATETIME ...; see schema.sql); an expression column takes the type of its
// first non-Null value. Columns that share a name in a join are named Table.Column, as the old
// provider did.
//
// Transactions: BeginTrans starts BEGIN IMMEDIATE (a writer takes the file at once, waiting up to
// BusyTimeout for another one to finish); nested calls use savepoints. TTransaction is the RAII
// form: it rolls back unless Commit() was reached.
//
// Errors: EDbError with SQLite's message and the statement text. The connection refuses a file
// that is not a warehouse, is missing, read-only (when opened for writing) or locked by another
// program, with a message naming the file (see Sqlite.h).
#pragma once

#include "platform/db/DB.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqlDialect.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class TADOQuery;

// What a prepared statement's columns are, kept beside it in the connection's cache.
struct TColumnInfo {
    AnsiString Name, TableName, OriginName;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false, IsKey = false;
};

SKLAD_ENUM(TConnectMode, cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite,
           cmShareExclusive, cmShareDenyNone)

// One "Key=Value" item of a connection string; keys compare ignoring case. A value may be
// quoted with " or ', the quote doubled inside standing for itself.
AnsiString ConnectionStringValue(const AnsiString& connectionString, std::string_view key);
// A value written so that ConnectionStringValue reads it back whole, whatever ';', quotes or
// blanks it holds (a path, say).
AnsiString ConnectionStringQuote(const AnsiString& value);

class TADOConnection : public TComponent {
    SKLAD_CLASS(TADOConnection, TComponent)
public:
    explicit TADOConnection(TComponent* AOwner);
    ~TADOConnection() override;

    const AnsiString& GetConnectionString() const { return FConnectionString; }
    void SetConnectionString(const AnsiString& value);
    AnsiString ConnectionString() const { return FConnectionString; }
    // The file named by "Data Source" (backslashes taken as path delimiters).
    AnsiString DataSource() const;
    bool GetLoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool value) { FLoginPrompt = value; }
    TConnectMode GetMode() const { return FMode; }
    void SetMode(TConnectMode value) { FMode = value; }
    const AnsiString& GetProvider() const { return FProvider; }
    void SetProvider(const AnsiString& value) { FProvider = value; }
    int GetBusyTimeout() const { return FBusyTimeout; }  // milliseconds
    void SetBusyTimeout(int value);

    void Open();
    void Close();  // closes every query on this connection first
    // Raises EDbError(DamagedFile) unless the open warehouse passes SQLite's integrity check.
    void CheckIntegrity();
    bool Connected() const { return FDb.IsOpen(); }
    bool GetConnected() const { return Connected(); }
    void SetConnected(bool value);

    int BeginTrans();  // returns the new nesting level
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return FTransLevel > 0; }
    int TransLevel() const { return FTransLevel; }

    // Runs one statement with no parameters; returns rows affected.
    int Execute(const AnsiString& sql);
    // Runs a select with no parameters and hands each row to `row` as it is read, keeping
    // none: for callers that boil a large table down to little (the distinct values of a
    // column). A row's texts are valid only during the call.
    void ReadRows(const AnsiString& sql, const std::function<void(const sqlite::Statement&)>& row);
    int64_t LastInsertId() const { return FDb.LastInsertRowId(); }
    // Changes whenever the warehouse file changes (sqlite::Database::DataVersion): a reader
    // that kept the value it read at knows whether its rows may be stale.
    uint32_t DataVersion() const { return FDb.DataVersion(); }

    // For the layer and its tests: the SQLite connection and the cached statement for a text.
    sqlite::Database& Database() { return FDb; }
    sqlite::Statement& Prepare(const AnsiString& sqliteText, const AnsiString& shownText);
    // The most values one statement may bind (SQLite's limit on this connection).
    size_t MaxBoundValues() const;
    // The field definitions read for the statement Prepare returned last (empty until stored).
    std::vector<TColumnInfo>& CachedFieldDefs() { return FLastDefs->Columns; }
    // Names that list as it stands: a new number whenever it is stored again, never reused,
    // so a query can tell that its definitions were made from it.
    uint64_t CachedFieldDefsStamp() const { return FLastDefs->Stamp; }
    void CachedFieldDefsStored();
    int DataSetCount() const { return static_cast<int>(FDataSets.size()); }

    TNotifyEvent AfterConnect, BeforeDisconnect, AfterDisconnect;

protected:
    void Loaded() override;

private:
    friend class TADOQuery;
    void CheckConnected() const;
    void ClearCache();

    AnsiString FConnectionString;
    AnsiString FProvider;
    bool FLoginPrompt = true;
    TConnectMode FMode = cmUnknown;
    int FBusyTimeout = 5000;
    bool FConnectWhenLoaded = false;
    int FTransLevel = 0;
    sqlite::Database FDb;
    struct CacheEntry {
        AnsiString Text;
        std::unique_ptr<sqlite::Statement> Stmt;
        uint64_t LastUse = 0;
        struct TDefs {
            std::vector<TColumnInfo> Columns;
            uint64_t Stamp = 0;
        };
        std::unique_ptr<TDefs> Defs = std::make_unique<TDefs>();
    };
    CacheEntry::TDefs* FLastDefs = nullptr;
    std::vector<CacheEntry> FCache;
    uint64_t FUseClock = 0;
    std::vector<TADOQuery*> FDataSets;
};

// Rolls back on scope exit unless Commit() ran to its end.
class TTransaction {
public:
    explicit TTransaction(TADOConnection& connection) : FConnection(&connection) { connection.BeginTrans(); }
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();

private:
    TADOConnection* FConnection;
};

class TParameter : public TObject {
    SKLAD_CLASS_NOPUBLISH(TParameter, TObject)
public:
    TParameter() = default;
    explicit TParameter(const AnsiString& name) : Name(name) {}
    AnsiString Name;
    TFieldType DataType = ftUnknown;  // ftUnknown: bind by the Variant's own type
    Variant Value;                    // Empty until given
    // Makes this a list parameter (for "In (:name)").
    void SetList(std::span<const Variant> values);
    void SetList(std::initializer_list<Variant> values);
    int ListSize() const;  // -1 unless the value is an array
};

class TParameters : public TObject {
    SKLAD_CLASS_NOPUBLISH(TParameters, TObject)
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TParameter* Items(int index) const;
    TParameter* operator[](int index) const { return Items(index); }
    TParameter* FindParam(std::string_view name) const;  // ignores case; nullptr when absent
    TParameter* ParamByName(std::string_view name) const;  // raises ParamNotFound
    Variant ParamValues(std::string_view name) const { return ParamByName(name)->Value; }
    void SetParamValue(std::string_view name, const Variant& value) { ParamByName(name)->Value = value; }
    TParameter* AddParameter(const AnsiString& name);
    void Clear() { FItems.clear(); }
    // Rebuilds the list from the :names of a statement.
    void ParseSQL(const AnsiString& sql);

    AnsiString OwnerName;  // for messages

private:
    std::vector<std::unique_ptr<TParameter>> FItems;
};

class TADOQuery : public TDataSet {
    SKLAD_CLASS(TADOQuery, TDataSet)
public:
    explicit TADOQuery(TComponent* AOwner);
    ~TADOQuery() override;

    TADOConnection* Connection() const { return FConnection; }
    TADOConnection* GetConnection() const { return FConnection; }
    void SetConnection(TADOConnection* value);
    TStrings* SQL() const { return FSQL.get(); }
    TStrings* GetSQL() const { return FSQL.get(); }
    void SetSQL(TStrings* value);
    TParameters* Parameters() const { return FParameters.get(); }
    bool GetParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool value) { FParamCheck = value; }

    // Runs a statement that returns no rows; returns the rows it changed.
    int ExecSQL();
    int RowsAffected() const { return FRowsAffected; }
    // Runs the same statement again (Close and Open).
    void Requery();
    int64_t LastInsertId() const;

    using TNamedValue = std::pair<const char*, Variant>;
    // Close, set the text, give the parameters, then Open / ExecSQL.
    void OpenSql(const AnsiString& sql, std::initializer_list<TNamedValue> params = {});
    int ExecSql(const AnsiString& sql, std::initializer_list<TNamedValue> params = {});

protected:
    void InternalOpen() override;
    void InternalDelete(int row) override;
    void InternalInitFieldDefs() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TADOConnection;
    void SqlChanged(TObject* Sender);
    void SetTextAndParams(const AnsiString& sql, std::initializer_list<TNamedValue> params);
    sqlite::Statement& PrepareBound();
    void ReadFieldDefs(sqlite::Statement& st);

    TADOConnection* FConnection = nullptr;
    std::unique_ptr<TStringList> FSQL;
    std::unique_ptr<TParameters> FParameters;
    bool FParamCheck = true;
    int FRowsAffected = 0;
    // The last rewrite, reused while the text and the list sizes stay the same.
    AnsiString FRewriteSource;
    std::vector<int> FRewriteLists;
    TRewrittenSql FRewritten;
    // The stamp of the cached columns the field definitions were last made from (0: none).
    uint64_t FDefsStamp = 0;
};

// Registers the layer's classes by name (TADOConnection, TADOQuery, TDataSource, TField), for
// window layouts. Called from the program's start-up and from test fixtures.
void RegisterDbClasses();
