// Sqlite.h - a thin RAII layer over the SQLite C API, the one place where text crosses to UTF-8.
//
// Database owns one sqlite3 connection, Statement one prepared statement; both close in their
// destructors. Everything above this file speaks CP1251: SQL text, bound texts and file names
// are converted to UTF-8 here, and column texts and error messages come back as CP1251.
//
// Every connection gets the RUNOCASE collation (text compared without regard to case, Cyrillic
// and Ё included, in Russian alphabetical order, by the CP1251 tables of platform/rtl), the SQL
// function RoundTo (the program's rounding, for figures a statement rounds) and a busy timeout.
// Warehouse files use the rollback journal, never WAL, so a warehouse stays one file.
//
// OpenWarehouse() refuses, before SQLite touches the file, anything that is not a warehouse: a
// missing file, a file without the SQLite header (empty, text, random bytes), and an SQLite file
// whose application id is not 'KVB1' (another program's database); once open, a file that lacks
// a table or a column of a warehouse. Nothing is written to a refused file. A writable open of
// a file the user may not write is refused as read-only rather than silently degraded.
//
// CheckIntegrity() reads the whole file through SQLite's integrity check: every page and record
// is visited and every index is compared with its table (a damaged index makes lists and
// lookups silently wrong, so it counts as a damaged file): a damaged file raises DamagedFile.
//
// Errors raise EDbError with SQLite's message, the statement text and the SQLite result code.
#pragma once

#include "platform/db/DbConsts.h"
#include "platform/rtl/System.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlite {

constexpr const char* kCollation = "RUNOCASE";
constexpr uint32_t kWarehouseApplicationId = 0x4B564231;  // 'KVB1'

// The tables every warehouse holds, in schema order.
const std::vector<AnsiString>& WarehouseTables();

// The columns of each of those tables that every warehouse has; OpenWarehouse refuses a file
// whose table lacks one (MissingColumn).
struct TWarehouseTable {
    AnsiString Name;
    std::vector<AnsiString> Columns;
};
const std::vector<TWarehouseTable>& WarehouseColumns();

// Registers RUNOCASE and the function RoundTo(x, digit) (the program's RoundTo: halves to the
// even neighbour, where SQLite's Round takes them away from zero) on a raw connection (the
// template builder uses this too).
void RegisterCollations(sqlite3* db);

class Database {
public:
    enum class Mode { ReadWrite, ReadOnly, Create };

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens any SQLite file (Create makes it when missing). Path in CP1251.
    void Open(const AnsiString& path, Mode mode, int busyTimeoutMs = 5000);
    // Opens a warehouse file after the checks described at the top of this file.
    void OpenWarehouse(const AnsiString& path, bool readOnly, int busyTimeoutMs = 5000);
    void Close() noexcept;
    // Raises EDbError(DamagedFile) unless the open file passes SQLite's quick check.
    void CheckIntegrity();
    bool IsOpen() const noexcept { return FDb != nullptr; }
    sqlite3* Handle() const noexcept { return FDb; }
    const AnsiString& Path() const noexcept { return FPath; }

    // Runs statements that return no rows; several may be separated by ';'. Text in CP1251.
    void Exec(std::string_view ansiSql);
    int64_t Changes() const;
    // Moves on whenever the main file changes, by this connection or by another one (seen at
    // this connection's next read); what is read at one value is still so at the same value.
    uint32_t DataVersion() const;
    int64_t LastInsertRowId() const;
    bool InTransaction() const;
    void SetBusyTimeout(int ms);

    // Raises EDbError(StatementFailed) for result code rc with SQLite's message and the text.
    [[noreturn]] void Raise(int rc, std::string_view ansiSql) const;

private:
    sqlite3* FDb = nullptr;
    AnsiString FPath;
};

class Statement {
public:
    // Prepares UTF-8 text; ansiSql is what error messages quote.
    Statement(const Database& db, std::string_view utf8Sql, std::string_view ansiSql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Runs to the next row; false when done. Raises on error.
    bool Step();
    void Reset() noexcept;
    void ClearBindings() noexcept;
    bool ReadOnly() const noexcept;  // true for a statement that cannot write (a select)

    int ParamCount() const noexcept;
    void BindNull(int index);
    void BindInt64(int index, int64_t v);
    void BindDouble(int index, double v);
    void BindText(int index, std::string_view ansi);  // converted to UTF-8
    void BindBlob(int index, std::string_view bytes);

    int ColumnCount() const noexcept;
    int ColumnType(int col) const noexcept;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
    int64_t ColumnInt64(int col) const noexcept;
    double ColumnDouble(int col) const noexcept;
    AnsiString ColumnText(int col) const;  // converted to CP1251
    std::string_view ColumnUtf8(int col) const noexcept;  // as stored, valid until the next step
    std::string_view ColumnBlob(int col) const noexcept;
    AnsiString ColumnName(int col) const;
    AnsiString ColumnDeclType(int col) const;  // "" for an expression
    AnsiString ColumnTableName(int col) const;  // "" for an expression
    AnsiString ColumnOriginName(int col) const;

    sqlite3_stmt* Handle() const noexcept { return FStmt; }
    const AnsiString& Sql() const noexcept { return FAnsiSql; }

private:
    const Database& FDb;
    sqlite3_stmt* FStmt = nullptr;
    AnsiString FAnsiSql;
};

}  // namespace sqlite
