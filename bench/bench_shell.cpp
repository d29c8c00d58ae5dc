// bench_shell.cpp - opening a large warehouse, showing all its goods, selecting a group, the
// main window activated again after a dialog.
//
// Scale k makes 500k groups (a tree of three levels under the top-level group) and 10,000k
// goods spread over the leaf groups; k = 10 is the 5,000 groups and 100,000 goods the
// program must handle well under a second to open, and under 100 ms for a group. The
// warehouses are made once per scale from the template beside the benchmark
// (bin/New/New.kvb) in a temporary folder that is also the program's directory.
#include "app/shell/Startup.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

// The warehouses' folder, made on first use and removed with everything in it at exit.
class TBenchDir {
public:
    TBenchDir()
    {
        char tmpl[] = "/tmp/bench_shell_XXXXXX";
        if (const char* made = mkdtemp(tmpl))
            FMade = made;
    }
    ~TBenchDir()
    {
        std::error_code ec;
        if (!FMade.empty())
            std::filesystem::remove_all(FMade, ec);
    }
    AnsiString Path() const { return IncludeTrailingPathDelimiter(FMade.empty() ? AnsiString("/tmp") : FMade); }

private:
    AnsiString FMade;
};

AnsiString BenchDir()
{
    static const TBenchDir dir;
    return dir.Path();
}

AnsiString TemplatePath()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    buf[n > 0 ? n : 0] = 0;
    return ExtractFilePath(PathFromSystem(buf)) + "New/New.kvb";
}

// A warehouse of the given scale; the mid-level group to select is "Группа 1.1".
AnsiString MakeWarehouse(int k)
{
    const AnsiString path = BenchDir() + "w" + IntToStr(k) + ".kvb";
    if (FileExists(path))
        return path;
    CopyFile(TemplatePath(), path, false);
    sqlite::Database db;
    db.OpenWarehouse(path, false);
    db.Exec("BEGIN IMMEDIATE");
    db.Exec("Insert Into Passwords (Пароль) Values ('1')");
    const int groups = 500 * k;
    const int top = 10, middle = 10;  // per parent
    std::vector<AnsiString> leaves;
    {
        sqlite::Statement ins(db, AnsiToUtf8("Insert Into Groups (NameGroup, IDName) Values (?, ?)"), "insert group");
        int made = 0;
        std::vector<std::pair<int64_t, AnsiString>> level1, level2;
        for (int i = 0; i < top && made < groups; ++i, ++made) {
            const AnsiString name = "Группа " + IntToStr(i);
            ins.BindText(1, name);
            ins.BindInt64(2, 1);
            ins.Step();
            ins.Reset();
            level1.push_back({db.LastInsertRowId(), name});
        }
        for (const auto& [id, name] : level1)
            for (int j = 0; j < middle && made < groups; ++j, ++made) {
                const AnsiString child = name + "." + IntToStr(j);
                ins.BindText(1, child);
                ins.BindInt64(2, id);
                ins.Step();
                ins.Reset();
                level2.push_back({db.LastInsertRowId(), child});
            }
        for (size_t n = 0; made < groups; ++n, ++made) {
            const auto& [id, name] = level2[n % level2.size()];
            const AnsiString leaf = name + "." + IntToStr(int64_t(n / level2.size()));
            ins.BindText(1, leaf);
            ins.BindInt64(2, id);
            ins.Step();
            ins.Reset();
            leaves.push_back(leaf);
        }
    }
    {
        sqlite::Statement ins(db, AnsiToUtf8("Insert Into Products (Наименование, Группа, Цена, Количество) Values (?, ?, ?, ?)"),
                              "insert product");
        for (int i = 0; i < 10000 * k; ++i) {
            ins.BindText(1, "Товар " + IntToStr(i));
            ins.BindText(2, leaves[size_t(i) % leaves.size()]);
            ins.BindDouble(3, 10 + i % 1000);
            ins.BindInt64(4, i % 50);
            ins.Step();
            ins.Reset();
        }
    }
    db.Exec("COMMIT");
    return path;
}

// The program's windows, made once for the whole run on the first warehouse.
void EnsureProgram(const AnsiString& firstWarehouse)
{
    static bool started = false;
    if (started)
        return;
    started = true;
    setenv("SKLAD_HOME", PathToSystem(BenchDir()).c_str(), 1);
    FILE* ini = std::fopen(PathToSystem(BenchDir() + "sklad.ini").c_str(), "wb");
    std::fprintf(ini, "[LASTFILE]\r\nLastFile=%s\r\n", AnsiToUtf8(firstWarehouse).c_str());
    std::fclose(ini);
    CreateApplication();
    StartLibraries();  // the script engine and the report classes the program's reports are made of
    RegisterProgramClasses();
    CreateForms();
}

TTreeNode* FindNode(const AnsiString& text)
{
    TTreeNodes* items = Form1->TreeView1->GetItems();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Item(i)->GetText() == text)
            return items->Item(i);
    return nullptr;
}

void BM_OpenWarehouseAndShowRoot(benchmark::State& state)
{
    const AnsiString path = MakeWarehouse(int(state.range(0)));
    EnsureProgram(path);
    for (auto _ : state) {
        Form1->OpenDatabase(path);
        Form1->TreeView1->SetSelected(Form1->TreeView1->GetItems()->GetFirstNode());
        benchmark::DoNotOptimize(Form1->ADOQuery1->RecordCount());
    }
    state.counters["goods"] = double(Form1->ADOQuery1->RecordCount());
    state.counters["groups"] = double(Form1->TreeView1->GetItems()->Count());
}

void BM_SelectMidLevelGroup(benchmark::State& state)
{
    const AnsiString path = MakeWarehouse(int(state.range(0)));
    EnsureProgram(path);
    Form1->OpenDatabase(path);
    // Two mid-level groups in turn, so every iteration is a real change of selection.
    TTreeNode* mid[2] = {FindNode("Группа 1.1"), FindNode("Группа 2.1")};
    int turn = 0;
    for (auto _ : state) {
        Form1->TreeView1->SetSelected(mid[turn]);
        turn ^= 1;
        benchmark::DoNotOptimize(Form1->ADOQuery1->RecordCount());
    }
    state.counters["goods"] = double(Form1->ADOQuery1->RecordCount());
}

// The main window is activated after every dialog. Second argument 0: nothing changed while
// the dialog was open, and the goods are not read again; 1: a price changed, and all the goods
// are read again in the order shown, the cursor finding its product.
void BM_ActivateAfterDialog(benchmark::State& state)
{
    const AnsiString path = MakeWarehouse(int(state.range(0)));
    const bool changed = state.range(1) != 0;
    EnsureProgram(path);
    Form1->OpenDatabase(path);
    Form1->TreeView1->SetSelected(Form1->TreeView1->GetItems()->GetFirstNode());
    Form1->ADOQuery1->SetRecNo(Form1->ADOQuery1->RecordCount() / 2);
    for (auto _ : state) {
        if (changed) {
            state.PauseTiming();
            Form1->ADOConnection1->Execute("Update Products Set Цена=Цена+1 Where ID=1");
            state.ResumeTiming();
        }
        Form1->FormActivate(Form1);
        benchmark::DoNotOptimize(Form1->ADOQuery1->RecNo());
    }
    state.counters["goods"] = double(Form1->ADOQuery1->RecordCount());
}

}  // namespace

BENCHMARK(BM_ActivateAfterDialog)->ArgsProduct({{1, 10}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWarehouseAndShowRoot)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectMidLevelGroup)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
