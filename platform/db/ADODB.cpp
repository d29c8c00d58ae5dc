#include "platform/db/ADODB.h"

#include "platform/db/DbFaults.h"
#include "platform/rtl/SysUtils.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kStatementCacheSize = 64;

AnsiString NameOf(const TComponent* c, const char* fallback)
{
    return c && !c->Name().empty() ? c->Name() : AnsiString(fallback);
}

bool Contains(std::string_view upper, std::string_view part) { return upper.find(part) != std::string_view::npos; }

// Field type of a declared column type, by SQLite's affinity words (schema.sql uses INTEGER,
// REAL, VARCHAR(n), DATETIME).
TFieldType FieldTypeOfDecl(const AnsiString& decl, int& size)
{
    size = 0;
    const AnsiString up = UpperCase(decl);
    if (up.empty())
        return ftUnknown;
    if (Contains(up, "DATETIME") || Contains(up, "TIMESTAMP"))
        return ftDateTime;
    if (Contains(up, "DATE"))
        return ftDate;
    if (Contains(up, "TIME"))
        return ftTime;
    if (Contains(up, "BOOL"))
        return ftBoolean;
    if (Contains(up, "BIGINT"))
        return ftLargeint;
    if (Contains(up, "SMALLINT"))
        return ftSmallint;
    if (Contains(up, "INT"))
        return ftInteger;
    if (Contains(up, "CHAR") || Contains(up, "TEXT") || Contains(up, "CLOB")) {
        const size_t open = up.find('(');
        if (open != AnsiString::npos)
            size = StrToIntDef(Trim(up.substr(open + 1, up.find(')', open) - open - 1)), 0);
        if (size <= 0)
            size = 255;
        return ftString;
    }
    if (Contains(up, "BLOB"))
        return ftBlob;
    if (Contains(up, "MONEY") || Contains(up, "CURRENCY"))
        return ftCurrency;
    return ftFloat;  // REAL, FLOAT, DOUBLE, NUMERIC, DECIMAL
}

// Binds one value by the parameter's declared type (ftUnknown: by the Variant's own type)
// into Out: a statement's slot, or an element of a JSON array (see TJsonElements).
template <class TOut>
void PutValue(TOut& Out, const TParameter& p, const Variant& v, const AnsiString& owner)
{
    if (v.IsEmpty())
        throw EDbError(TDbMessage::ParamNotSet, {owner, p.Name});
    if (v.IsNull()) {
        Out.Null();
        return;
    }
    const TVarType vt = VarType(v);
    auto asText = [&]() { return v.StrPtr() ? *v.StrPtr() : VarToStr(v); };
    switch (p.DataType) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
        if (VarIsStr(v)) {
            int64_t i;
            const AnsiString text = Trim(asText());
            if (!TryStrToInt64(text, i))
                throw EDbError(TDbMessage::ParamBadNumber, {p.Name, text});
            Out.Int(i);
        } else {
            Out.Int(v.AsInt64());
        }
        return;
    case ftFloat: case ftCurrency: case ftBCD:
        if (VarIsStr(v)) {
            const AnsiString text = Trim(asText());
            TFormatSettings fs = FormatSettings();
            double d;
            bool ok = TryStrToFloat(text, d, fs);
            if (!ok) {  // the other separator: "12.5" under a comma locale and the reverse
                fs.DecimalSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
                ok = TryStrToFloat(text, d, fs);
            }
            if (!ok)
                throw EDbError(TDbMessage::ParamBadNumber, {p.Name, text});
            Out.Real(d);
        } else {
            Out.Real(v.AsDouble());
        }
        return;
    case ftDate: case ftTime: case ftDateTime:
        if (VarIsStr(v)) {
            const AnsiString text = Trim(asText());
            TDateTime d;
            if (!TryStrToDateTime(text, d, FormatSettings()))
                throw EDbError(TDbMessage::ParamBadDate, {p.Name, text});
            Out.Real(d.Val);
        } else {
            Out.Real(v.AsDouble());
        }
        return;
    case ftBoolean:
        Out.Int(v.AsBoolean() ? 1 : 0);
        return;
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo:
        Out.Text(asText());
        return;
    case ftBlob: case ftGraphic: case ftBytes: case ftVarBytes: case ftTypedBinary:
        Out.Blob(asText());
        return;
    default:
        break;
    }
    switch (vt) {
    case varBoolean: Out.Int(v.AsBoolean() ? 1 : 0); return;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
        Out.Int(v.AsInt64());
        return;
    case varSingle: case varDouble: case varCurrency: case varDate: Out.Real(v.AsDouble()); return;
    case varString: case varOleStr: Out.Text(*v.StrPtr()); return;
    default: Out.Text(VarToStr(v)); return;
    }
}

struct TStatementSlot {
    sqlite::Statement& St;
    int Index;
    void Null() { St.BindNull(Index); }
    void Int(int64_t v) { St.BindInt64(Index, v); }
    void Real(double v) { St.BindDouble(Index, v); }
    void Text(std::string_view v) { St.BindText(Index, v); }
    void Blob(std::string_view v) { St.BindBlob(Index, v); }
};

void BindValue(sqlite::Statement& st, int index, const TParameter& p, const Variant& v, const AnsiString& owner)
{
    TStatementSlot slot{st, index};
    PutValue(slot, p, v, owner);
}

// A finite double as JSON that SQLite reads back as the same real on any desktop: its
// shortest digits as a whole number with an exponent, "25e-1" for 2.5. A decimal point is
// out: SQLite's JSON reads reals with strtod, which under Qt takes the desktop's decimal
// comma ("2.5" became 2). The exponent keeps a whole value a real ("3e0").
AnsiString JsonReal(double v)
{
    char buf[32];  // "-d.dddddddddddddddde-308"
    const char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
    const std::string_view text(buf, static_cast<size_t>(end - buf));
    const size_t e = text.find('e');
    const size_t point = text.find('.');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    AnsiString out(text.substr(0, std::min(point, e)));
    if (point < e) {
        out += text.substr(point + 1, e - point - 1);
        exponent -= static_cast<int>(e - point - 1);
    }
    return out + "e" + IntToStr(exponent);
}

// The elements of a list parameter as one JSON array, each value as PutValue binds it, for
// json_each to give back: integers as integers, numbers as reals, texts as texts (still
// CP1251 here; the text is converted with the rest when bound), Null as null.
struct TJsonElements {
    AnsiString Json = "[";
    void Next()
    {
        if (Json.size() > 1)
            Json += ',';
    }
    void Null() { Next(); Json += "null"; }
    void Int(int64_t v) { Next(); Json += IntToStr(v); }
    void Real(double v)
    {
        Next();
        if (std::isnan(v)) {
            Json += "null";  // what binding a NaN gives
        } else if (std::isinf(v)) {
            Json += v > 0 ? "9e999" : "-9e999";  // SQLite's JSON reads these as infinities
        } else {
            Json += JsonReal(v);
        }
    }
    void Text(std::string_view v)
    {
        Next();
        Json += '"';
        for (char c : v) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                Json += '\\';
                Json += c;
            } else if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                Json += buf;
            } else {
                Json += c;
            }
        }
        Json += '"';
    }
    void Blob(std::string_view v) { Text(v); }
};

AnsiString ListAsJson(const TParameter& p, const AnsiString& owner)
{
    TJsonElements out;
    const int lo = VarArrayLowBound(p.Value, 1), hi = VarArrayHighBound(p.Value, 1);
    for (int i = lo; i <= hi; ++i)
        PutValue(out, p, VarArrayGet(p.Value, {i}), owner);
    out.Json += ']';
    return out.Json;
}

}  // namespace

AnsiString ConnectionStringValue(const AnsiString& cs, std::string_view key)
{
    size_t i = 0;
    while (i < cs.size()) {
        size_t end = cs.find(';', i);
        const size_t eq = cs.find('=', i);
        if (eq != AnsiString::npos && (end == AnsiString::npos || eq < end)) {
            const AnsiString k = Trim(cs.substr(i, eq - i));
            size_t vstart = eq + 1;
            while (vstart < cs.size() && cs[vstart] == ' ')
                ++vstart;
            AnsiString value;
            if (vstart < cs.size() && (cs[vstart] == '"' || cs[vstart] == '\'')) {
                // A quoted value runs to its closing quote; the quote doubled stands for itself.
                const char q = cs[vstart];
                size_t at = vstart + 1;
                for (; at < cs.size(); ++at) {
                    if (cs[at] != q) {
                        value += cs[at];
                    } else if (at + 1 < cs.size() && cs[at + 1] == q) {
                        value += q;
                        ++at;
                    } else {
                        break;
                    }
                }
                end = at >= cs.size() ? AnsiString::npos : cs.find(';', at);
            } else {
                value = Trim(cs.substr(vstart, (end == AnsiString::npos ? cs.size() : end) - vstart));
            }
            if (SameText(k, key))
                return value;
        }
        if (end == AnsiString::npos)
            break;
        i = end + 1;
    }
    return AnsiString();
}

AnsiString ConnectionStringQuote(const AnsiString& value)
{
    const bool plain = value.find_first_of(";'\"") == AnsiString::npos &&
                       (value.empty() || (value.front() != ' ' && value.back() != ' '));
    if (plain)
        return value;
    const char q = value.find('"') == AnsiString::npos || value.find('\'') != AnsiString::npos ? '"' : '\'';
    AnsiString out(1, q);
    for (char c : value) {
        out += c;
        if (c == q)
            out += q;
    }
    return out + q;
}

// ---------------------------------------------------------------------------- TADOConnection

SKLAD_DEFINE_CLASS(TADOConnection)

void TADOConnection::Publish(TPropertyTable& t)
{
    t.Prop("ConnectionString", &TADOConnection::GetConnectionString, &TADOConnection::SetConnectionString);
    t.Prop("LoginPrompt", &TADOConnection::GetLoginPrompt, &TADOConnection::SetLoginPrompt).Default(true);
    t.Prop("Mode", &TADOConnection::GetMode, &TADOConnection::SetMode).Default(cmUnknown);
    t.Prop("Provider", &TADOConnection::GetProvider, &TADOConnection::SetProvider);
    t.Prop("BusyTimeout", &TADOConnection::GetBusyTimeout, &TADOConnection::SetBusyTimeout).Default(5000);
    t.Prop("Connected", &TADOConnection::GetConnected, &TADOConnection::SetConnected).Default(false);
    t.Event("AfterConnect", &TADOConnection::AfterConnect);
    t.Event("BeforeDisconnect", &TADOConnection::BeforeDisconnect);
    t.Event("AfterDisconnect", &TADOConnection::AfterDisconnect);
}

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection()
{
    for (TADOQuery* q : FDataSets)
        q->FConnection = nullptr;
    FDataSets.clear();
    ClearCache();
    FDb.Close();
}

void TADOConnection::SetConnectionString(const AnsiString& value)
{
    if (value == FConnectionString)
        return;
    if (Connected())
        Close();
    FConnectionString = value;
    const AnsiString provider = ConnectionStringValue(value, "Provider");
    if (!provider.empty())
        FProvider = provider;
}

AnsiString TADOConnection::DataSource() const
{
    AnsiString path = ConnectionStringValue(FConnectionString, "Data Source");
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

void TADOConnection::SetBusyTimeout(int value)
{
    FBusyTimeout = std::max(0, value);
    FDb.SetBusyTimeout(FBusyTimeout);
}

void TADOConnection::Loaded()
{
    TComponent::Loaded();
    if (FConnectWhenLoaded) {
        FConnectWhenLoaded = false;
        Open();
    }
}

void TADOConnection::SetConnected(bool value)
{
    if (Loading()) {
        FConnectWhenLoaded = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TADOConnection::Open()
{
    if (Connected())
        return;
    const AnsiString path = DataSource();
    if (path.empty())
        throw EDbError(TDbMessage::NoDataSource);
    bool readOnly = FMode == cmRead;
    if (FMode == cmUnknown) {
        const AnsiString mode = ConnectionStringValue(FConnectionString, "Mode");
        readOnly = SameText(mode, "Read");
    }
    FDb.OpenWarehouse(path, readOnly, FBusyTimeout);
    FTransLevel = 0;
    AfterConnect(this);
}

void TADOConnection::Close()
{
    if (!Connected())
        return;
    BeforeDisconnect(this);
    const std::vector<TADOQuery*> queries = FDataSets;
    for (TADOQuery* q : queries)
        q->Close();
    if (FTransLevel > 0) {
        try {
            FDb.Exec("ROLLBACK");
        } catch (const EDbError&) {
        }
        FTransLevel = 0;
    }
    ClearCache();
    FDb.Close();
    AfterDisconnect(this);
}

void TADOConnection::CheckIntegrity()
{
    CheckConnected();
    FDb.CheckIntegrity();
}

void TADOConnection::CheckConnected() const
{
    if (!Connected())
        throw EDbError(TDbMessage::NotConnected);
}

void TADOConnection::ClearCache() { FCache.clear(); }

void TADOConnection::CachedFieldDefsStored()
{
    static uint64_t stamps = 0;  // process-wide: a stamp never names another list
    FLastDefs->Stamp = ++stamps;
}

size_t TADOConnection::MaxBoundValues() const
{
    return FDb.IsOpen() ? static_cast<size_t>(sqlite3_limit(FDb.Handle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1)) : 0;
}

sqlite::Statement& TADOConnection::Prepare(const AnsiString& sqliteText, const AnsiString& shownText)
{
    CheckConnected();
    ++FUseClock;
    for (CacheEntry& e : FCache)
        if (e.Text == sqliteText) {
            e.LastUse = FUseClock;
            e.Stmt->Reset();
            e.Stmt->ClearBindings();
            FLastDefs = e.Defs.get();
            return *e.Stmt;
        }
    auto stmt = std::make_unique<sqlite::Statement>(FDb, AnsiToUtf8(sqliteText), shownText);
    if (FCache.size() >= kStatementCacheSize) {
        auto oldest = std::min_element(FCache.begin(), FCache.end(),
                                       [](const CacheEntry& a, const CacheEntry& b) { return a.LastUse < b.LastUse; });
        FCache.erase(oldest);
    }
    FCache.push_back({sqliteText, std::move(stmt), FUseClock});
    FLastDefs = FCache.back().Defs.get();
    return *FCache.back().Stmt;
}

int TADOConnection::BeginTrans()
{
    CheckConnected();
    if (FTransLevel == 0)
        FDb.Exec("BEGIN IMMEDIATE");
    else
        FDb.Exec("SAVEPOINT sklad" + IntToStr(FTransLevel + 1));
    return ++FTransLevel;
}

void TADOConnection::CommitTrans()
{
    CheckConnected();
    if (FTransLevel == 0)
        throw EDbError(TDbMessage::NoTransaction);
    if (FTransLevel == 1) {
        DbFaults::BeforeStatement();
        FDb.Exec("COMMIT");  // on failure the transaction stays open for RollbackTrans
    } else {
        FDb.Exec("RELEASE sklad" + IntToStr(FTransLevel));
    }
    --FTransLevel;
}

void TADOConnection::RollbackTrans()
{
    CheckConnected();
    if (FTransLevel == 0)
        throw EDbError(TDbMessage::NoTransaction);
    if (FTransLevel == 1) {
        // SQLite may already have rolled back by itself after a hard error.
        if (FDb.InTransaction())
            FDb.Exec("ROLLBACK");
    } else {
        const AnsiString sp = "sklad" + IntToStr(FTransLevel);
        FDb.Exec("ROLLBACK TO " + sp + "; RELEASE " + sp);
    }
    --FTransLevel;
}

int TADOConnection::Execute(const AnsiString& sql)
{
    CheckConnected();
    const TRewrittenSql r = RewriteSql(sql);
    sqlite::Statement& st = Prepare(r.Text, sql);
    if (st.ParamCount() > 0)
        throw EDbError(TDbMessage::ParamNotSet, {NameOf(this, "Connection"), r.Slots.empty() ? "?" : r.Slots[0].Name});
    DbFaults::BeforeStatement();
    while (st.Step()) {
    }
    st.Reset();
    return st.ReadOnly() ? 0 : static_cast<int>(FDb.Changes());
}

void TADOConnection::ReadRows(const AnsiString& sql, const std::function<void(const sqlite::Statement&)>& row)
{
    CheckConnected();
    const TRewrittenSql r = RewriteSql(sql);
    sqlite::Statement& st = Prepare(r.Text, sql);
    if (st.ParamCount() > 0)
        throw EDbError(TDbMessage::ParamNotSet, {NameOf(this, "Connection"), r.Slots.empty() ? "?" : r.Slots[0].Name});
    DbFaults::BeforeStatement();
    try {
        while (st.Step())
            row(st);
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
}

TTransaction::~TTransaction()
{
    if (!FConnection)
        return;
    try {
        FConnection->RollbackTrans();
    } catch (const Exception&) {
        // Nothing more can be done from a destructor; SQLite rolls back on close.
    }
}

void TTransaction::Commit()
{
    FConnection->CommitTrans();
    FConnection = nullptr;
}

// ---------------------------------------------------------------------------- TParameters

void TParameter::SetList(std::span<const Variant> values) { Value = VarArrayOf(values); }
void TParameter::SetList(std::initializer_list<Variant> values) { Value = VarArrayOf(values); }

int TParameter::ListSize() const
{
    if (!Value.IsArray())
        return -1;
    return VarArrayHighBound(Value, 1) - VarArrayLowBound(Value, 1) + 1;
}

TParameter* TParameters::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return FItems[static_cast<size_t>(index)].get();
}

TParameter* TParameters::FindParam(std::string_view name) const
{
    for (const auto& p : FItems)
        if (AnsiSameText(p->Name, name))
            return p.get();
    return nullptr;
}

TParameter* TParameters::ParamByName(std::string_view name) const
{
    if (TParameter* p = FindParam(name))
        return p;
    throw EDbError(TDbMessage::ParamNotFound, {OwnerName, name});
}

TParameter* TParameters::AddParameter(const AnsiString& name)
{
    FItems.push_back(std::make_unique<TParameter>(name));
    return FItems.back().get();
}

void TParameters::ParseSQL(const AnsiString& sql)
{
    Clear();
    for (const AnsiString& name : SqlParamNames(sql))
        AddParameter(name);
}

// ---------------------------------------------------------------------------- TADOQuery

SKLAD_DEFINE_CLASS(TADOQuery)

void TADOQuery::Publish(TPropertyTable& t)
{
    t.Prop("Connection", &TADOQuery::GetConnection, &TADOQuery::SetConnection);
    t.Prop("ParamCheck", &TADOQuery::GetParamCheck, &TADOQuery::SetParamCheck).Default(true);
    t.Prop("SQL", &TADOQuery::GetSQL, &TADOQuery::SetSQL);
}

TADOQuery::TADOQuery(TComponent* AOwner)
    : TDataSet(AOwner), FSQL(std::make_unique<TStringList>()), FParameters(std::make_unique<TParameters>())
{
    FSQL->OnChange = TNotifyEvent(this, &TADOQuery::SqlChanged);
}

TADOQuery::~TADOQuery()
{
    FSQL->OnChange.Clear();
    SetConnection(nullptr);
}

void TADOQuery::SetConnection(TADOConnection* value)
{
    if (FConnection == value)
        return;
    if (Active())
        Close();
    if (FConnection) {
        auto& list = FConnection->FDataSets;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        FConnection->RemoveFreeNotification(this);
    }
    FConnection = value;
    if (FConnection) {
        FConnection->FDataSets.push_back(this);
        FConnection->FreeNotification(this);
    }
}

void TADOQuery::Notification(TComponent* AComponent, TOperation Operation)
{
    TDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FConnection)
        FConnection = nullptr;  // it closed us already (its destructor detaches its queries)
}

void TADOQuery::SetSQL(TStrings* value)
{
    if (value)
        FSQL->Assign(value);
    else
        FSQL->Clear();
}

void TADOQuery::SqlChanged(TObject*)
{
    // Changing the text closes the query and makes its parameters anew, as the platform does.
    if (Active())
        Close();
    FParameters->OwnerName = NameOf(this, "ADOQuery");
    if (FParamCheck)
        FParameters->ParseSQL(FSQL->Text());
    FieldDefs().Updated = false;
}

sqlite::Statement& TADOQuery::PrepareBound()
{
    if (!FConnection)
        throw EDbError(TDbMessage::NoConnection, {NameOf(this, "ADOQuery")});
    // A closed connection stays closed: whoever closed it decides when, and to which file,
    // it connects again. Reconnecting here would skip the opener's own checks.
    FConnection->CheckConnected();
    const AnsiString text = FSQL->Text();
    if (Trim(text).empty())
        throw EDbError(TDbMessage::EmptySql, {NameOf(this, "ADOQuery")});

    // The rewrite depends on the text and on the sizes of list parameters.
    bool sameLists = static_cast<int>(FRewriteLists.size()) == FParameters->Count();
    for (int i = 0; sameLists && i < FParameters->Count(); ++i)
        sameLists = FParameters->Items(i)->ListSize() == FRewriteLists[static_cast<size_t>(i)];
    if (text != FRewriteSource || !sameLists) {
        std::vector<int> lists;
        lists.reserve(static_cast<size_t>(FParameters->Count()));
        for (int i = 0; i < FParameters->Count(); ++i)
            lists.push_back(FParameters->Items(i)->ListSize());
        FRewritten = RewriteSql(text, [this](std::string_view name) {
            const TParameter* p = FParameters->FindParam(name);
            return p ? p->ListSize() : -1;
        });
        // More values than SQLite takes in one statement (a year of documents archived at
        // once): each list then goes whole, as one JSON array.
        if (FRewritten.Slots.size() > FConnection->MaxBoundValues())
            FRewritten = RewriteSql(text, [this](std::string_view name) {
                const TParameter* p = FParameters->FindParam(name);
                return p && p->ListSize() >= 0 ? kListAsJson : -1;
            });
        FRewriteSource = text;
        FRewriteLists = std::move(lists);
    }
    sqlite::Statement& st = FConnection->Prepare(FRewritten.Text, text);
    const AnsiString owner = NameOf(this, "ADOQuery");
    for (size_t i = 0; i < FRewritten.Slots.size(); ++i) {
        const TSqlSlot& slot = FRewritten.Slots[i];
        const TParameter* p = FParameters->FindParam(slot.Name);
        if (!p)
            throw EDbError(TDbMessage::ParamNotFound, {owner, slot.Name});
        const int index = static_cast<int>(i) + 1;
        if (slot.Element == kListAsJson)
            st.BindText(index, ListAsJson(*p, owner));
        else if (slot.Element < 0)
            BindValue(st, index, *p, p->Value, owner);
        else
            BindValue(st, index, *p, VarArrayGet(p->Value, {VarArrayLowBound(p->Value, 1) + slot.Element}), owner);
    }
    return st;
}

void TADOQuery::ReadFieldDefs(sqlite::Statement& st)
{
    // Column metadata is read once per prepared statement; the program never alters tables.
    std::vector<TColumnInfo>& cached = FConnection->CachedFieldDefs();
    TFieldDefs& defs = FieldDefs();
    defs.Clear();
    const int count = static_cast<int>(cached.size());
    if (count > 0 && count == st.ColumnCount()) {
        // The same statement and columns as this query's last opening: its definitions stand.
        const uint64_t stamp = FConnection->CachedFieldDefsStamp();
        if (stamp == FDefsStamp && defs.Restore(count))
            return;
        FDefsStamp = stamp;
        for (const TColumnInfo& c : cached) {
            TFieldDef* d = defs.Add(c.Name, c.DataType, c.Size);
            d->Required = c.Required;
            d->TableName = c.TableName;
            d->OriginName = c.OriginName;
            d->IsKey = c.IsKey;
        }
        return;
    }
    const int n = st.ColumnCount();
    std::vector<AnsiString> names(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c)
        names[static_cast<size_t>(c)] = st.ColumnName(c);
    for (int c = 0; c < n; ++c) {
        AnsiString name = names[static_cast<size_t>(c)];
        const AnsiString table = st.ColumnTableName(c);
        bool duplicate = false;
        for (int o = 0; o < n; ++o)
            duplicate = duplicate || (o != c && AnsiSameText(names[static_cast<size_t>(o)], name));
        if (duplicate && !table.empty())
            name = table + "." + name;
        // The type first: it gives the size (the order of a call's arguments is not fixed).
        int size = 0;
        const TFieldType type = FieldTypeOfDecl(st.ColumnDeclType(c), size);
        TFieldDef* def = defs.Add(name, type, size);
        def->TableName = table;
        def->OriginName = st.ColumnOriginName(c);
        if (!table.empty()) {
            int notNull = 0, primaryKey = 0, autoInc = 0;
            const std::string utf8Table = AnsiToUtf8(table), utf8Column = AnsiToUtf8(def->OriginName);
            if (sqlite3_table_column_metadata(FConnection->Database().Handle(), nullptr, utf8Table.c_str(),
                                              utf8Column.c_str(), nullptr, nullptr, &notNull, &primaryKey,
                                              &autoInc) == SQLITE_OK) {
                def->Required = notNull != 0;
                def->IsKey = primaryKey != 0 && def->DataType == ftInteger;
                if (autoInc)
                    def->DataType = ftAutoInc;
            }
        }
    }
    cached.clear();
    bool complete = true;
    for (int c = 0; c < n; ++c) {
        complete = complete && defs[c]->DataType != ftUnknown;
        const TFieldDef* d = defs[c];
        cached.push_back({d->Name, d->TableName, d->OriginName, d->DataType, d->Size, d->Required, d->IsKey});
    }
    if (!complete)
        cached.clear();  // expression columns are typed from their values each time
    FConnection->CachedFieldDefsStored();
    FDefsStamp = complete ? FConnection->CachedFieldDefsStamp() : 0;
}

void TADOQuery::InternalInitFieldDefs()
{
    sqlite::Statement& st = PrepareBound();
    ReadFieldDefs(st);
    st.Reset();
}

void TADOQuery::InternalOpen()
{
    sqlite::Statement& st = PrepareBound();
    if (st.ColumnCount() == 0)
        throw EDbError(TDbMessage::NotASelect, {NameOf(this, "ADOQuery")});
    ReadFieldDefs(st);
    TFieldDefs& defs = FieldDefs();
    const int n = defs.Count();
    std::vector<TFieldType> types(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c)
        types[static_cast<size_t>(c)] = defs[c]->DataType;

    DbFaults::BeforeStatement();
    ReserveRows(16);
    // One call into the statement per cell: the column's value is read through the value
    // calls, which skip the statement's per-call error bookkeeping. The connection is used by
    // one thread (opened without SQLite's mutexes), which is what reading a column's value
    // this way asks for.
    sqlite3_stmt* const h = st.Handle();
    try {
        while (st.Step()) {
            Variant* cells = AppendRow();
            for (int c = 0; c < n; ++c) {
                const TFieldType type = types[static_cast<size_t>(c)];
                sqlite3_value* const cell = sqlite3_column_value(h, c);
                switch (sqlite3_value_type(cell)) {
                case SQLITE_NULL: break;
                case SQLITE_INTEGER: {
                    const int64_t i = sqlite3_value_int64(cell);
                    switch (type) {
                    case ftFloat: case ftCurrency: case ftBCD: cells[c] = Variant(double(i)); break;
                    case ftDate: case ftTime: case ftDateTime: cells[c] = Variant(TDateTime(double(i))); break;
                    case ftBoolean: cells[c] = Variant(i != 0); break;
                    case ftString: case ftFixedChar: case ftWideString: cells[c] = Variant(IntToStr(i)); break;
                    default:
                        if (i >= INT32_MIN && i <= INT32_MAX)
                            cells[c] = Variant(static_cast<int>(i));
                        else
                            cells[c] = Variant(static_cast<long long>(i));
                    }
                    break;
                }
                case SQLITE_FLOAT: {
                    const double d = sqlite3_value_double(cell);
                    if (type == ftDate || type == ftTime || type == ftDateTime)
                        cells[c] = Variant(TDateTime(d));
                    else if (type == ftString || type == ftFixedChar || type == ftWideString)
                        cells[c] = Variant(FloatToStr(d));
                    else
                        cells[c] = Variant(d);
                    break;
                }
                case SQLITE_TEXT: {
                    // UTF-8 text is taken as stored: asking for it as text would first copy
                    // it to add the terminating zero, which the cell has no use for.
                    const void* text = sqlite3_value_encoding(cell) == SQLITE_UTF8 ? sqlite3_value_blob(cell)
                                                                                 : sqlite3_value_text(cell);
                    const auto size = static_cast<size_t>(sqlite3_value_bytes(cell));
                    SetTextCell(c, text ? std::string_view(static_cast<const char*>(text), size) : std::string_view());
                    break;
                }
                default: {
                    const auto* blob = static_cast<const char*>(sqlite3_value_blob(cell));
                    const auto size = static_cast<size_t>(sqlite3_value_bytes(cell));
                    cells[c] = Variant(AnsiString(blob ? std::string_view(blob, size) : std::string_view()));
                    break;
                }
                }
            }
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();

    // Expression columns take the kind of their first non-Null value.
    const int rows = RowCount();
    for (int c = 0; c < n; ++c) {
        TFieldDef* def = defs[c];
        if (def->DataType != ftUnknown)
            continue;
        def->DataType = ftString;
        def->Size = 1;
        bool typed = false;
        for (int r = 0; r < rows; ++r) {
            const Variant& v = CellAt(r, c);
            if (v.IsNull())
                continue;
            if (!typed) {
                typed = true;
                if (VarIsOrdinal(v))
                    def->DataType = VarType(v) == varInt64 ? ftLargeint : ftInteger;
                else if (VarIsFloat(v))
                    def->DataType = ftFloat;
                else
                    def->DataType = ftString;
            }
            if (def->DataType == ftString && v.StrPtr())
                def->Size = std::max(def->Size, static_cast<int>(v.StrPtr()->size()));
        }
    }
}

void TADOQuery::InternalDelete(int row)
{
    TFieldDefs& defs = FieldDefs();
    AnsiString table;
    int key = -1;
    bool single = true;
    for (int c = 0; c < defs.Count(); ++c) {
        const TFieldDef* d = defs[c];
        if (d->TableName.empty())
            continue;
        if (table.empty())
            table = d->TableName;
        else if (!AnsiSameText(table, d->TableName))
            single = false;
        if (d->IsKey)
            key = c;
    }
    if (table.empty() || !single || !FConnection)
        throw EDbError(TDbMessage::CannotDelete, {NameOf(this, "ADOQuery")});

    auto quote = [](const AnsiString& name) { return "\"" + StringReplace(name, "\"", "\"\"", rfReplaceAll) + "\""; };
    AnsiString sql;
    std::vector<int> columns;
    if (key >= 0) {
        sql = "DELETE FROM " + quote(table) + " WHERE " + quote(defs[key]->OriginName) + " = ?";
        columns.push_back(key);
    } else {
        AnsiString where;
        for (int c = 0; c < defs.Count(); ++c) {
            if (defs[c]->TableName.empty())
                continue;
            where += (where.empty() ? "" : " AND ") + quote(defs[c]->OriginName) + " IS ?";
            columns.push_back(c);
        }
        sql = "DELETE FROM " + quote(table) + " WHERE rowid = (SELECT rowid FROM " + quote(table) + " WHERE " + where +
              " LIMIT 1)";
    }
    sqlite::Statement& st = FConnection->Prepare(sql, sql);
    for (size_t i = 0; i < columns.size(); ++i) {
        const Variant& v = CellAt(row, columns[i]);
        const int index = static_cast<int>(i) + 1;
        if (v.IsNull())
            st.BindNull(index);
        else if (VarIsOrdinal(v))
            st.BindInt64(index, v.AsInt64());
        else if (VarIsFloat(v))
            st.BindDouble(index, v.AsDouble());
        else if (defs[columns[i]]->DataType == ftBlob)
            st.BindBlob(index, *v.StrPtr());
        else
            st.BindText(index, VarToStr(v));
    }
    DbFaults::BeforeStatement();
    while (st.Step()) {
    }
    st.Reset();
    if (FConnection->Database().Changes() == 0)
        throw EDbError(TDbMessage::RowNotFound, {NameOf(this, "ADOQuery")});
    TDataSet::InternalDelete(row);
}

int TADOQuery::ExecSQL()
{
    if (Active())
        Close();
    sqlite::Statement& st = PrepareBound();
    DbFaults::BeforeStatement();
    try {
        while (st.Step()) {
        }
    } catch (...) {
        st.Reset();
        throw;
    }
    st.Reset();
    FRowsAffected = st.ReadOnly() ? 0 : static_cast<int>(FConnection->Database().Changes());
    return FRowsAffected;
}

void TADOQuery::Requery()
{
    Close();
    Open();
}

int64_t TADOQuery::LastInsertId() const { return FConnection ? FConnection->LastInsertId() : 0; }

void TADOQuery::SetTextAndParams(const AnsiString& sql, std::initializer_list<TNamedValue> params)
{
    Close();
    FSQL->SetText(sql);
    for (const auto& [name, value] : params)
        FParameters->ParamByName(name)->Value = value;
}

void TADOQuery::OpenSql(const AnsiString& sql, std::initializer_list<TNamedValue> params)
{
    SetTextAndParams(sql, params);
    Open();
}

int TADOQuery::ExecSql(const AnsiString& sql, std::initializer_list<TNamedValue> params)
{
    SetTextAndParams(sql, params);
    return ExecSQL();
}

void RegisterDbClasses()
{
    RegisterClasses({TADOConnection::StaticClass(), TADOQuery::StaticClass(), TDataSource::StaticClass(),
                     TField::StaticClass()});
}

SKLAD_DEFINE_CLASS(TParameter)
SKLAD_DEFINE_CLASS(TParameters)
