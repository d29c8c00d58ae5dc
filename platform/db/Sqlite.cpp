#include "platform/db/Sqlite.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace sqlite {

namespace {

int CollateRuNoCase(void*, int na, const void* a, int nb, const void* b)
{
    return Utf8AnsiCompareText(static_cast<const char*>(a), static_cast<size_t>(na),
                               static_cast<const char*>(b), static_cast<size_t>(nb));
}

// RoundTo(x, digit): the program's own rounding (halves to the even neighbour), so that a
// figure a statement rounds is the figure the windows round. Null stays Null.
void SqlRoundTo(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int digit = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    sqlite3_result_double(ctx, RoundTo(sqlite3_value_double(argv[0]), digit));
}

[[noreturn]] void Fail(TDbMessage id, std::initializer_list<std::string_view> args, int rc = 0)
{
    EDbError e(id, args);
    e.SetSqliteCode(rc);
    throw e;
}

AnsiString ErrorText(sqlite3* db, int rc)
{
    const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return Utf8ToAnsi(msg ? msg : "");
}

// The first 100 bytes of an SQLite file: magic text, then big-endian header fields.
struct FileHeader {
    bool IsSqlite = false;
    uint32_t ApplicationId = 0;
};

FileHeader ReadHeader(const std::string& utf8Path)
{
    FileHeader h;
    std::ifstream in(utf8Path, std::ios::binary);
    unsigned char buf[100];
    if (!in.read(reinterpret_cast<char*>(buf), sizeof buf))
        return h;
    if (std::memcmp(buf, "SQLite format 3\0", 16) != 0)
        return h;
    h.IsSqlite = true;
    h.ApplicationId = (uint32_t(buf[68]) << 24) | (uint32_t(buf[69]) << 16) | (uint32_t(buf[70]) << 8) | buf[71];
    return h;
}

}  // namespace

const std::vector<TWarehouseTable>& WarehouseColumns()
{
    // The columns the windows read and write by name; a scratch column that a newer program
    // adds to an older file (TForm1::UpgradeSchema) is not among them.
    static const std::vector<TWarehouseTable> tables = {
        {"Groups", {"ID", "NameGroup", "IDName"}},
        {"Products", {"ID", "№", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения", "Имя_поставщика",
                      "Цена", "Минимум", "Максимум", "Группа", "Количество", "ПоставщикОстатка", "КоличествоОстатка",
                      "V", "O"}},
        {"P", {"Название", "Адрес", "Рс", "Кс", "В", "БИК", "ИНН", "КПП", "ОКОНХ", "ОКПО", "Тел", "Директор"}},
        {"Owner", {"Название", "Адрес", "Рс", "Кс", "В", "БИК", "ИНН", "КПП", "ОКОНХ", "ОКПО", "Тел", "Директор"}},
        {"NDS", {"НДС"}},
        {"Passwords", {"Пароль"}},
        {"Name", {"Цвет", "Размеры"}},
        {"ColumnSize", {"ID", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}},
        {"Documents", {"ID", "Дата_создания", "№_заказа", "Тип_документа", "Вид_оплаты", "Имя_поставщика",
                       "Через_кого", "Архив"}},
        {"StructureDocuments", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Ставка", "Сумма_с_НДС", "Архив"}},
        {"Otpusk", {"ID", "Дата_создания", "Получатель", "Через_кого", "Заказчик", "№_заказа", "IDЗаявки", "Архив"}},
        {"StructureOtpusk", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Ставка", "Сумма_с_НДС", "Архив"}},
        {"Application", {"ID", "Дата_создания", "Дата_сдачи", "Получатель", "Через_кого", "Отпуск_товара", "Заказчик",
                         "№_заказа", "Sort", "Архив"}},
        {"StructureApplication", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Отпущено", "Архив"}},
        {"Akt", {"ID", "Дата_создания", "Причина", "Дата", "Архив"}},
        {"StructureAkt", {"IDДокумента", "IDТовара", "Количество", "Сумма", "Архив"}},
        {"TempStructureDocuments", {"ID", "Наименование", "Марка", "Цвет", "Размеры", "Единица_измерения",
                                    "Имя_поставщика", "Цена", "Минимум", "Максимум", "Группа", "Количество", "Сумма",
                                    "Ставка", "Сумма_с_НДС"}},
        {"TempStructureOtpusk", {"ID", "IDТовара", "Количество", "Макс", "Сумма", "Ставка", "Сумма_с_НДС"}},
    };
    return tables;
}

const std::vector<AnsiString>& WarehouseTables()
{
    static const std::vector<AnsiString> names = [] {
        std::vector<AnsiString> out;
        for (const TWarehouseTable& t : WarehouseColumns())
            out.push_back(t.Name);
        return out;
    }();
    return names;
}

void RegisterCollations(sqlite3* db)
{
    sqlite3_create_collation_v2(db, kCollation, SQLITE_UTF8, nullptr, CollateRuNoCase, nullptr);
    sqlite3_create_function_v2(db, "RoundTo", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, SqlRoundTo, nullptr,
                               nullptr, nullptr);
}

// ---------------------------------------------------------------------------- Database

Database::~Database() { Close(); }

void Database::Open(const AnsiString& path, Mode mode, int busyTimeoutMs)
{
    Close();
    int flags = SQLITE_OPEN_NOMUTEX;  // one thread uses a connection; no locking per call
    switch (mode) {
    case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(AnsiToUtf8(path).c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        AnsiString msg = ErrorText(db, rc);
        sqlite3_close_v2(db);
        Fail(TDbMessage::OpenFailed, {path, msg}, rc);
    }
    FDb = db;
    FPath = path;
    sqlite3_extended_result_codes(FDb, 1);
    RegisterCollations(FDb);
    SetBusyTimeout(busyTimeoutMs);
}

void Database::OpenWarehouse(const AnsiString& path, bool readOnly, int busyTimeoutMs)
{
    Close();
    const std::string utf8 = AnsiToUtf8(path);
    struct stat st {};
    if (utf8.empty() || ::stat(utf8.c_str(), &st) != 0)
        Fail(TDbMessage::FileMissing, {path});
    if (!S_ISREG(st.st_mode))
        Fail(TDbMessage::NotADatabase, {path});
    const FileHeader header = ReadHeader(utf8);
    if (!header.IsSqlite)
        Fail(TDbMessage::NotADatabase, {path}, SQLITE_NOTADB);
    if (header.ApplicationId != kWarehouseApplicationId)
        Fail(TDbMessage::ForeignDatabase, {path});
    if (!readOnly && ::access(utf8.c_str(), W_OK) != 0)
        Fail(TDbMessage::ReadOnlyFile, {path}, SQLITE_READONLY);

    Open(path, readOnly ? Mode::ReadOnly : Mode::ReadWrite, busyTimeoutMs);
    try {
        if (!readOnly && sqlite3_db_readonly(FDb, "main") == 1)
            Fail(TDbMessage::ReadOnlyFile, {path}, SQLITE_READONLY);

        // Reading the schema also takes the first shared lock: a file another program holds
        // exclusively is reported as busy here, after the busy timeout.
        Statement tables(*this, "SELECT name FROM sqlite_master WHERE type='table'", "");
        std::vector<AnsiString> present;
        try {
            while (tables.Step())
                present.push_back(tables.ColumnText(0));
        } catch (const EDbError& e) {
            const int primary = e.SqliteCode() & 0xff;
            if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
                Fail(TDbMessage::FileLocked, {path}, e.SqliteCode());
            if (primary == SQLITE_CORRUPT)
                Fail(TDbMessage::DamagedFile, {path}, e.SqliteCode());
            if (primary == SQLITE_NOTADB)
                Fail(TDbMessage::NotADatabase, {path}, e.SqliteCode());
            throw;
        }
        for (const AnsiString& t : WarehouseTables()) {
            bool found = false;
            for (const AnsiString& p : present)
                found = found || SameText(p, t);
            if (!found)
                Fail(TDbMessage::MissingTable, {path, t});
        }
        // A table without a column the program names is another program's table of that name:
        // the file is refused now rather than failing in the middle of a document or a report.
        for (const TWarehouseTable& t : WarehouseColumns()) {
            Statement info(*this, AnsiToUtf8("SELECT name FROM pragma_table_info('" + t.Name + "')"), "");
            std::vector<AnsiString> columns;
            while (info.Step())
                columns.push_back(info.ColumnText(0));
            for (const AnsiString& c : t.Columns) {
                bool found = false;
                for (const AnsiString& have : columns)
                    found = found || SameText(have, c);
                if (!found)
                    Fail(TDbMessage::MissingColumn, {path, t.Name, c});
            }
        }
        // Room for a large warehouse's pages (32 MB at most): the windows read whole tables
        // again and again, and pages kept here need no read from the file while it is unchanged.
        Exec("PRAGMA cache_size=-32768");
        if (!readOnly) {
            Statement mode(*this, "PRAGMA journal_mode", "PRAGMA journal_mode");
            if (mode.Step() && SameText(mode.ColumnText(0), "wal"))
                Exec("PRAGMA journal_mode=DELETE");
        }
    } catch (const EDbError& e) {
        Close();
        const int primary = e.SqliteCode() & 0xff;
        if (e.Id() == TDbMessage::StatementFailed && (primary == SQLITE_BUSY || primary == SQLITE_LOCKED))
            Fail(TDbMessage::FileLocked, {path}, e.SqliteCode());
        if (e.Id() == TDbMessage::StatementFailed && primary == SQLITE_CORRUPT)
            Fail(TDbMessage::DamagedFile, {path}, e.SqliteCode());
        if (e.Id() == TDbMessage::StatementFailed && primary == SQLITE_NOTADB)
            Fail(TDbMessage::NotADatabase, {path}, e.SqliteCode());
        throw;
    }
}

void Database::CheckIntegrity()
{
    try {
        // SQLite reads a short last page as if its missing bytes were zeros, and its check then
        // finds nothing wrong: a file cut by a few bytes would open with the end of its last
        // row quietly changed. A whole file is always its pages, whole.
        struct stat st {};
        const std::string utf8 = AnsiToUtf8(FPath);
        Statement size(*this, "SELECT page_size * page_count FROM pragma_page_size, pragma_page_count", "PRAGMA page_count");
        if (!size.Step() || ::stat(utf8.c_str(), &st) != 0 || int64_t(st.st_size) != size.ColumnInt64(0))
            Fail(TDbMessage::DamagedFile, {FPath}, SQLITE_CORRUPT);
        Statement check(*this, "PRAGMA integrity_check", "PRAGMA integrity_check");
        if (check.Step() && check.ColumnText(0) == "ok" && !check.Step())
            return;
    } catch (const EDbError& e) {
        const int primary = e.SqliteCode() & 0xff;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            Fail(TDbMessage::FileLocked, {FPath}, e.SqliteCode());
        if (primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB && primary != SQLITE_IOERR)
            throw;
    }
    Fail(TDbMessage::DamagedFile, {FPath}, SQLITE_CORRUPT);
}

void Database::Close() noexcept
{
    if (FDb) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
    }
    FPath.clear();
}

void Database::Exec(std::string_view ansiSql)
{
    if (!FDb)
        Fail(TDbMessage::NotConnected, {});
    const std::string utf8 = AnsiToUtf8(ansiSql);
    char* err = nullptr;
    const int rc = sqlite3_exec(FDb, utf8.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        Raise(rc, ansiSql);
}

int64_t Database::Changes() const { return FDb ? sqlite3_changes64(FDb) : 0; }
uint32_t Database::DataVersion() const
{
    unsigned version = 0;
    if (FDb)
        sqlite3_file_control(FDb, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}
int64_t Database::LastInsertRowId() const { return FDb ? sqlite3_last_insert_rowid(FDb) : 0; }
bool Database::InTransaction() const { return FDb && !sqlite3_get_autocommit(FDb); }

void Database::SetBusyTimeout(int ms)
{
    if (FDb)
        sqlite3_busy_timeout(FDb, ms);
}

void Database::Raise(int rc, std::string_view ansiSql) const
{
    Fail(TDbMessage::StatementFailed, {ErrorText(FDb, rc), ansiSql}, FDb ? sqlite3_extended_errcode(FDb) : rc);
}

// ---------------------------------------------------------------------------- Statement

Statement::Statement(const Database& db, std::string_view utf8Sql, std::string_view ansiSql)
    : FDb(db), FAnsiSql(ansiSql.empty() ? Utf8ToAnsi(utf8Sql) : AnsiString(ansiSql))
{
    if (!db.Handle())
        Fail(TDbMessage::NotConnected, {});
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db.Handle(), utf8Sql.data(), static_cast<int>(utf8Sql.size()), &FStmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(FStmt);
        FStmt = nullptr;
        db.Raise(rc, FAnsiSql);
    }
    if (!FStmt)  // only blanks or comments
        Fail(TDbMessage::EmptySql, {"SQL"});
}

Statement::~Statement() { sqlite3_finalize(FStmt); }

bool Statement::Step()
{
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(FStmt);
    FDb.Raise(rc, FAnsiSql);
}

void Statement::Reset() noexcept { sqlite3_reset(FStmt); }
void Statement::ClearBindings() noexcept { sqlite3_clear_bindings(FStmt); }
bool Statement::ReadOnly() const noexcept { return sqlite3_stmt_readonly(FStmt) != 0; }
int Statement::ParamCount() const noexcept { return sqlite3_bind_parameter_count(FStmt); }

void Statement::BindNull(int index)
{
    if (int rc = sqlite3_bind_null(FStmt, index))
        FDb.Raise(rc, FAnsiSql);
}

void Statement::BindInt64(int index, int64_t v)
{
    if (int rc = sqlite3_bind_int64(FStmt, index, v))
        FDb.Raise(rc, FAnsiSql);
}

void Statement::BindDouble(int index, double v)
{
    if (int rc = sqlite3_bind_double(FStmt, index, v))
        FDb.Raise(rc, FAnsiSql);
}

void Statement::BindText(int index, std::string_view ansi)
{
    const std::string utf8 = AnsiToUtf8(ansi);
    if (int rc = sqlite3_bind_text64(FStmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8))
        FDb.Raise(rc, FAnsiSql);
}

void Statement::BindBlob(int index, std::string_view bytes)
{
    if (int rc = sqlite3_bind_blob64(FStmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT))
        FDb.Raise(rc, FAnsiSql);
}

int Statement::ColumnCount() const noexcept { return sqlite3_column_count(FStmt); }
int Statement::ColumnType(int col) const noexcept { return sqlite3_column_type(FStmt, col); }
int64_t Statement::ColumnInt64(int col) const noexcept { return sqlite3_column_int64(FStmt, col); }
double Statement::ColumnDouble(int col) const noexcept { return sqlite3_column_double(FStmt, col); }

AnsiString Statement::ColumnText(int col) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, col));
    const int n = sqlite3_column_bytes(FStmt, col);
    return p ? Utf8ToAnsi(std::string_view(p, static_cast<size_t>(n))) : AnsiString();
}

std::string_view Statement::ColumnUtf8(int col) const noexcept
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, col));
    const int n = sqlite3_column_bytes(FStmt, col);
    return p ? std::string_view(p, static_cast<size_t>(n)) : std::string_view();
}

std::string_view Statement::ColumnBlob(int col) const noexcept
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(FStmt, col));
    const int n = sqlite3_column_bytes(FStmt, col);
    return p ? std::string_view(p, static_cast<size_t>(n)) : std::string_view();
}

namespace {
AnsiString FromUtf8(const char* s) { return s ? Utf8ToAnsi(s) : AnsiString(); }
}  // namespace

AnsiString Statement::ColumnName(int col) const { return FromUtf8(sqlite3_column_name(FStmt, col)); }
AnsiString Statement::ColumnDeclType(int col) const { return FromUtf8(sqlite3_column_decltype(FStmt, col)); }
AnsiString Statement::ColumnTableName(int col) const { return FromUtf8(sqlite3_column_table_name(FStmt, col)); }
AnsiString Statement::ColumnOriginName(int col) const { return FromUtf8(sqlite3_column_origin_name(FStmt, col)); }

}  // namespace sqlite
