// The database layer side by side with the raw SQLite C API on the same work:
//   ScanProducts   Select * From Products over 100,000 rows, every field read
//   PointSelect    10,000 selects of one product by ID
//   Insert         100,000 inserts in one transaction
//   IdList         Select ... Where ID In (:ids) with a bound list of 30,000 and of 300,000 ids
//                  (more than SQLite binds value by value: the list goes as one JSON array)
//   SqlRoundTo     the program's RoundTo as an SQL function (what the stock reports round their
//                  figures by) over 300,000 products, two figures a row, beside SQLite's own
//                  Round on the same rows: counter "x_round" is RoundTo's time over Round's
// Each pair runs on its own fresh copy of the schema. The ratio layer/raw is printed by the
// Layer* runs as the counter "x_raw" of wall time and "x_raw_cpu" of the process's CPU time,
// each between the fastest runs of the two (the raw time is measured once per process per work).
// SKLAD_BENCH_QUICK (the test run) cuts the sizes to a hundredth; the files are the process's own.
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const bool kQuick = std::getenv("SKLAD_BENCH_QUICK") != nullptr;
const int kRows = kQuick ? 1000 : 100000;
const int kPoints = kQuick ? 100 : 10000;

std::string Schema()
{
    std::ifstream in(SKLAD_BENCH_SCHEMA, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "bench_db: cannot read %s\n", SKLAD_BENCH_SCHEMA);
        std::exit(1);
    }
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A warehouse file with the schema; `rows` products when asked.
std::string MakeWarehouse(const char* name, int rows)
{
    const std::string path = (fs::temp_directory_path() / (std::to_string(getpid()) + "_" + name)).string();
    fs::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite::RegisterCollations(db);
    char* err = nullptr;
    if (sqlite3_exec(db, ("PRAGMA synchronous=OFF;" + Schema()).c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "bench_db: the schema failed: %s\n", err ? err : "error");
        std::exit(1);
    }
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    // Program text is CP1251; SQLite takes UTF-8.
    const std::string insert = AnsiToUtf8(
        "INSERT INTO Products (\"№\",Наименование,Марка,Цвет,Размеры,Единица_измерения,Имя_поставщика,"
        "Цена,Минимум,Максимум,Группа,Количество) VALUES (?,?,'Марка','красный','10x20','шт','Поставщик',?,1,100,'Склад',?)");
    sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr);
    for (int i = 0; i < rows; ++i) {
        const std::string art = "A" + std::to_string(i), nm = AnsiToUtf8("Товар номер " + std::to_string(i));
        sqlite3_bind_text(st, 1, art.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, nm.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 3, 10.5 + i);
        sqlite3_bind_double(st, 4, i % 50);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

// Opened as the layer opens a warehouse (sqlite::Database::OpenWarehouse): no locking per call,
// the same collations, busy timeout and page cache, so the ratio measures the layer alone.
sqlite3* OpenRaw(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite::RegisterCollations(db);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "PRAGMA cache_size=-32768", nullptr, nullptr, nullptr);
    return db;
}

// The fastest of a work's runs: on a shared machine the slow runs measure the neighbours.
struct TTimes {
    double Wall = 1e30, Cpu = 1e30;
    void Keep(const TTimes& t)
    {
        Wall = std::min(Wall, t.Wall);
        Cpu = std::min(Cpu, t.Cpu);
    }
};

std::map<std::string, TTimes>& RawSeconds()
{
    static std::map<std::string, TTimes> m;
    return m;
}

double CpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <class F>
TTimes Seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = CpuNow();
    f();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), CpuNow() - c0};
}

// ---------------------------------------------------------------- the work, raw

void RawScan(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "Select * From Products", -1, &st, nullptr);
    int64_t sum = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: sum += sqlite3_column_int64(st, c); break;
            case SQLITE_FLOAT: sum += static_cast<int64_t>(sqlite3_column_double(st, c)); break;
            case SQLITE_TEXT: (void)sqlite3_column_text(st, c); sum += sqlite3_column_bytes(st, c); break;
            default: break;
            }
        }
    }
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(sum);
}

void RawPoints(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "Select * From Products Where ID=?", -1, &st, nullptr);
    int64_t sum = 0;
    for (int i = 0; i < kPoints; ++i) {
        sqlite3_bind_int64(st, 1, 1 + (i * 7919) % kRows);
        while (sqlite3_step(st) == SQLITE_ROW) {
            (void)sqlite3_column_text(st, 2);  // the text itself, as the layer's AsString reads it
            sum += sqlite3_column_bytes(st, 2);
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    benchmark::DoNotOptimize(sum);
}

void RawInsert(sqlite3* db)
{
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    const std::string insert = AnsiToUtf8("Insert Into StructureAkt (IDДокумента,IDТовара,Количество,Сумма) Values (?,?,?,?)");
    sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr);
    for (int i = 0; i < kRows; ++i) {
        sqlite3_bind_int64(st, 1, 1);
        sqlite3_bind_int64(st, 2, i);
        sqlite3_bind_double(st, 3, 2.5);
        sqlite3_bind_double(st, 4, 10.25);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------- the work, through the layer

void LayerScan(TADOQuery& q)
{
    q.OpenSql("Select * From Products");
    int64_t sum = 0;
    const int n = q.FieldCount();
    for (q.First(); !q.Eof(); q.Next())
        for (int c = 0; c < n; ++c) {
            const Variant v = q.Fields()[c]->Value();
            if (const AnsiString* s = v.StrPtr())
                sum += static_cast<int64_t>(s->size());
            else if (!v.IsNull())
                sum += static_cast<int64_t>(v.AsDouble());
        }
    q.Close();
    benchmark::DoNotOptimize(sum);
}

void LayerPoints(TADOQuery& q)
{
    int64_t sum = 0;
    q.SQL()->SetText("Select * From Products Where ID=:id");
    TParameter* id = q.Parameters()->ParamByName("id");
    for (int i = 0; i < kPoints; ++i) {
        q.Close();
        id->Value = 1 + (i * 7919) % kRows;
        q.Open();
        sum += static_cast<int64_t>(q.Fields()[2]->AsString().size());
    }
    q.Close();
    benchmark::DoNotOptimize(sum);
}

void LayerInsert(TADOConnection& c, TADOQuery& q)
{
    TTransaction t(c);
    q.SQL()->SetText("Insert Into StructureAkt (IDДокумента,IDТовара,Количество,Сумма) Values (:d,:p,:q,:s)");
    TParameters& ps = *q.Parameters();
    TParameter *d = ps.ParamByName("d"), *p = ps.ParamByName("p"), *qty = ps.ParamByName("q"), *s = ps.ParamByName("s");
    for (int i = 0; i < kRows; ++i) {
        d->Value = 1;
        p->Value = i;
        qty->Value = 2.5;
        s->Value = 10.25;
        q.ExecSQL();
    }
    t.Commit();
}

struct LayerSession {
    TADOConnection Conn{nullptr};
    TADOQuery Query{nullptr};
    explicit LayerSession(const std::string& path)
    {
        Conn.SetConnectionString("Data Source=" + Utf8ToAnsi(path));
        Conn.Open();
        Query.SetConnection(&Conn);
    }
};

// Made on first use and removed when the process ends.
const std::string& ScanFile()
{
    static const struct TScanFile {
        std::string Path = MakeWarehouse("sklad_bench_scan.kvb", kRows);
        ~TScanFile() { fs::remove(Path); }
    } file;
    return file.Path;
}

void ReportRatio(benchmark::State& state, const char* work, TTimes layer, int iterations)
{
    const auto found = RawSeconds().find(work);
    if (found == RawSeconds().end() || iterations == 0)
        return;
    const TTimes raw = found->second;
    if (raw.Wall > 0)
        state.counters["x_raw"] = layer.Wall / raw.Wall;
    if (raw.Cpu > 0)
        state.counters["x_raw_cpu"] = layer.Cpu / raw.Cpu;
}

template <class F>
void RunRaw(benchmark::State& state, const char* work, F&& f)
{
    TTimes best;
    for (auto _ : state)
        best.Keep(Seconds(f));
    RawSeconds()[work] = best;
}

// ---------------------------------------------------------------- benchmarks

void BM_RawScanProducts(benchmark::State& state)
{
    sqlite3* db = OpenRaw(ScanFile());
    RunRaw(state, "scan", [&] { RawScan(db); });
    sqlite3_close(db);
}

void BM_LayerScanProducts(benchmark::State& state)
{
    LayerSession s(ScanFile());
    TTimes total;
    int n = 0;
    for (auto _ : state) {
        total.Keep(Seconds([&] { LayerScan(s.Query); }));
        ++n;
    }
    ReportRatio(state, "scan", total, n);
}

void BM_RawPointSelect(benchmark::State& state)
{
    sqlite3* db = OpenRaw(ScanFile());
    RunRaw(state, "points", [&] { RawPoints(db); });
    sqlite3_close(db);
}

void BM_LayerPointSelect(benchmark::State& state)
{
    LayerSession s(ScanFile());
    TTimes total;
    int n = 0;
    for (auto _ : state) {
        total.Keep(Seconds([&] { LayerPoints(s.Query); }));
        ++n;
    }
    ReportRatio(state, "points", total, n);
}

void BM_RawInsert(benchmark::State& state)
{
    const std::string path = MakeWarehouse("sklad_bench_raw_insert.kvb", 0);
    sqlite3* db = OpenRaw(path);
    RunRaw(state, "insert", [&] { RawInsert(db); });
    sqlite3_close(db);
    fs::remove(path);
}

void BM_LayerInsert(benchmark::State& state)
{
    const std::string path = MakeWarehouse("sklad_bench_layer_insert.kvb", 0);
    TTimes total;
    int n = 0;
    {
        LayerSession s(path);
        for (auto _ : state) {
            total.Keep(Seconds([&] { LayerInsert(s.Conn, s.Query); }));
            ++n;
        }
    }
    ReportRatio(state, "insert", total, n);
    fs::remove(path);
}

void BM_LayerIdList(benchmark::State& state)
{
    const int n = kQuick ? 1000 : static_cast<int>(state.range(0));
    const std::string path = MakeWarehouse("sklad_bench_id_list.kvb", n);
    {
        LayerSession s(path);
        std::vector<Variant> ids;
        for (int i = 1; i <= n; ++i)
            ids.emplace_back(i);
        for (auto _ : state) {
            s.Query.Close();
            s.Query.SQL()->SetText("Select ID From Products Where ID In (:ids)");
            s.Query.Parameters()->ParamByName("ids")->SetList(ids);
            s.Query.Open();
            if (s.Query.RecordCount() != n) {
                state.SkipWithError("rows missing");
                break;
            }
        }
    }
    state.counters["ids"] = n;
    fs::remove(path);
}

// Two figures of every product rounded to the cent and added up, by `function` ("RoundTo(%,-2)"
// or "Round(%,2)", % standing for the figure).
double SumRounded(sqlite3* db, const std::string& function)
{
    const auto call = [&](const std::string& figure) {
        std::string f = function;
        return f.replace(f.find('%'), 1, figure);
    };
    const std::string sql = AnsiToUtf8(("Select Sum(" + call("Количество") + "+" + call("Цена*Количество/3") +
                                        ") From Products").c_str());
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    double sum = 0;
    if (sqlite3_step(st) == SQLITE_ROW)
        sum = sqlite3_column_double(st, 0);
    sqlite3_finalize(st);
    return sum;
}

void BM_SqlRoundTo(benchmark::State& state)
{
    const int n = kQuick ? 1000 : 300000;
    const std::string path = MakeWarehouse("sklad_bench_round_to.kvb", n);
    sqlite3* db = OpenRaw(path);
    TTimes round, roundTo;
    for (auto _ : state) {
        round.Keep(Seconds([&] { benchmark::DoNotOptimize(SumRounded(db, "Round(%,2)")); }));
        roundTo.Keep(Seconds([&] { benchmark::DoNotOptimize(SumRounded(db, "RoundTo(%,-2)")); }));
    }
    if (round.Wall > 0)
        state.counters["x_round"] = roundTo.Wall / round.Wall;
    state.counters["rows"] = n;
    sqlite3_close(db);
    fs::remove(path);
}

}  // namespace

BENCHMARK(BM_SqlRoundTo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayerIdList)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawScanProducts)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayerScanProducts)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawPointSelect)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayerPointSelect)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RawInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayerInsert)->Unit(benchmark::kMillisecond)->Iterations(3);
