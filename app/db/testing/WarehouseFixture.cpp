#include "app/db/testing/WarehouseFixture.h"

#include "platform/db/Sqlite.h"
#include "platform/rtl/SysUtils.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

void Bind(sqlite::Statement& st, std::initializer_list<Variant> values)
{
    int i = 1;
    for (const Variant& v : values) {
        if (v.IsNull() || v.IsEmpty())
            st.BindNull(i);
        else if (VarIsOrdinal(v))
            st.BindInt64(i, v.AsInt64());
        else if (VarIsFloat(v))
            st.BindDouble(i, v.AsDouble());
        else
            st.BindText(i, VarToStr(v));
        ++i;
    }
}

// Runs `sql` (with :names turned into ?s) on a short-lived connection to `path`.
template <class F>
void WithStatement(const AnsiString& path, const AnsiString& sql, std::initializer_list<Variant> values, F&& use)
{
    sqlite::Database db;
    db.Open(path, sqlite::Database::Mode::ReadWrite, 5000);
    const TRewrittenSql r = RewriteSql(sql);
    sqlite::Statement st(db, AnsiToUtf8(r.Text), sql);
    Bind(st, values);
    use(db, st);
}

}  // namespace

AnsiString TWarehouseFixture::TemplatePath() { return Utf8ToAnsi(SKLAD_TEMPLATE_DB); }

TWarehouseFixture::TWarehouseFixture() : TWarehouseFixture(TemplatePath()) {}

TWarehouseFixture::TWarehouseFixture(const AnsiString& sourceFile)
{
    RegisterDbClasses();
    char tmpl[] = "/tmp/sklad_warehouse_XXXXXX";
    if (!::mkdtemp(tmpl))
        throw std::runtime_error("cannot make a temporary folder");
    FDir = Utf8ToAnsi(tmpl) + "/";
    FPath = FDir + "Склад.kvb";
    fs::copy_file(fs::path(AnsiToUtf8(sourceFile)), fs::path(AnsiToUtf8(FPath)));
}

TWarehouseFixture::~TWarehouseFixture()
{
    FConnection.reset();
    std::error_code ec;
    fs::remove_all(fs::path(AnsiToUtf8(FDir)), ec);
}

AnsiString TWarehouseFixture::ConnectionString() const
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + ConnectionStringQuote(FPath) +
           ";Mode=ReadWrite;Extended Properties=;Jet OLEDB:System database=;Jet OLEDB:Registry Path=;"
           "Jet OLEDB:Database Password=;Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;"
           "Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
           "Jet OLEDB:New Database Password=;Jet OLEDB:Create System Database=False;"
           "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
           "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";
}

TADOConnection& TWarehouseFixture::Connection()
{
    if (!FConnection) {
        FConnection = std::make_unique<TADOConnection>(nullptr);
        FConnection->SetLoginPrompt(false);
        FConnection->SetMode(cmReadWrite);
        FConnection->SetBusyTimeout(200);
        FConnection->SetConnectionString(ConnectionString());
        FConnection->Open();
    }
    return *FConnection;
}

int64_t TWarehouseFixture::Exec(const AnsiString& sql, std::initializer_list<Variant> values)
{
    int64_t id = 0;
    WithStatement(FPath, sql, values, [&](sqlite::Database& db, sqlite::Statement& st) {
        while (st.Step()) {
        }
        id = db.LastInsertRowId();
    });
    return id;
}

Variant TWarehouseFixture::Scalar(const AnsiString& sql, std::initializer_list<Variant> values)
{
    Variant result = Variant::Null();
    WithStatement(FPath, sql, values, [&](sqlite::Database&, sqlite::Statement& st) {
        if (!st.Step())
            return;
        switch (st.ColumnType(0)) {
        case SQLITE_INTEGER: result = Variant(static_cast<long long>(st.ColumnInt64(0))); break;
        case SQLITE_FLOAT: result = Variant(st.ColumnDouble(0)); break;
        case SQLITE_TEXT: result = Variant(st.ColumnText(0)); break;
        case SQLITE_BLOB: result = Variant(AnsiString(st.ColumnBlob(0))); break;
        default: break;
        }
    });
    return result;
}

int TWarehouseFixture::RootGroupId()
{
    return static_cast<int>(Scalar("Select ID From Groups Where IDName=0 Order By ID").AsInt64());
}

int TWarehouseFixture::AddGroup(const AnsiString& name, int parentId)
{
    return static_cast<int>(Exec("Insert Into Groups (NameGroup,IDName) Values (:n,:p)", {name, parentId}));
}

int TWarehouseFixture::AddProduct(const TProductSeed& p)
{
    return static_cast<int>(Exec(
        "Insert Into Products (№,Наименование,Марка,Цвет,Размеры,Единица_измерения,Имя_поставщика,Цена,Минимум,"
        "Максимум,Группа,Количество) Values (:a,:b,:c,:d,:e,:f,:g,:h,:i,:j,:k,:l)",
        {p.Article, p.Name, p.Brand, p.Colour, p.Sizes, p.Unit, p.Supplier, p.Price, p.Minimum, p.Maximum, p.Group,
         p.Quantity}));
}

void TWarehouseFixture::AddSupplier(const AnsiString& name) { Exec("Insert Into P (Название) Values (:n)", {name}); }

void TWarehouseFixture::SetPassword(const AnsiString& password)
{
    Exec("Delete From Passwords");
    Exec("Insert Into Passwords (Пароль) Values (:p)", {password});
}

std::string TWarehouseFixture::Snapshot()
{
    std::string out;
    sqlite::Database db;
    db.Open(FPath, sqlite::Database::Mode::ReadOnly, 5000);
    for (const AnsiString& table : sqlite::WarehouseTables()) {
        out += "[" + table + "]\n";
        sqlite::Statement st(db, AnsiToUtf8("SELECT * FROM \"" + table + "\" ORDER BY rowid"), "");
        while (st.Step()) {
            for (int c = 0; c < st.ColumnCount(); ++c) {
                switch (st.ColumnType(c)) {
                case SQLITE_NULL: out += "null"; break;
                case SQLITE_INTEGER: out += "i:" + std::to_string(st.ColumnInt64(c)); break;
                case SQLITE_FLOAT: out += "f:" + FloatToStr(st.ColumnDouble(c)); break;
                default: out += "t:" + st.ColumnText(c); break;
                }
                out += '|';
            }
            out += '\n';
        }
    }
    sqlite::Statement seq(db, "SELECT name, seq FROM sqlite_sequence ORDER BY name", "");
    while (seq.Step())
        out += "seq " + seq.ColumnText(0) + "=" + std::to_string(seq.ColumnInt64(1)) + "\n";
    return out;
}
