// bench_documents.cpp - opening the document windows whose lists are filled from earlier
// documents, on a warehouse ten times the size a real one reaches.
//
// The warehouse: 100,000 goods, 10,000 order requests of three lines each (2,000 recipients,
// 500 persons "Через кого", 5,000 customers, every order number its own) and 10,000 receipts
// (1,000 persons "Через кого"). Each benchmark times one command of the program from the
// click to the end of its window's OnShow, what the user waits for (with no driver installed
// the window is then cancelled at once, and what follows is not timed). Each should stay
// under 100 ms.
//
//   BM_NewReceipt          "Приход товара"         the list "Через кого" of the receipts
//   BM_NewRequest          "Заявка на заказ"       four lists of the requests
//   BM_EditRequest         journal "Изменить"      the same four lists, and the request's lines
//   BM_IssueFromRequest    journal "Сформировать накладную на отпуск"
//   BM_ImportRequest       "Импорт" of a .sklad file of 20, 1,000 and 10,000 lines into a new
//                          request (the time per line stays flat)
//   BM_ReportBuilder       the report builder, its order-number list
//   BM_StockSheetRows      the rows of the stock-state, turnover and purchase-request sheets
//                          over all 100,000 goods, each row's money made in whole kopecks
//   BM_LinePicker          "Добавить" in a receipt: the goods card's lists of 100,000 goods
//   BM_GoodsCardGroups     the goods card's lists filled with 3,000 and 30,000 groups without
//                          subgroups and as many suppliers: its group and supplier lists are
//                          sorted, and the time of both sizes stays near that of the lists of
//                          100,000 goods
//   BM_OpenWarehouse       "Открыть склад" of this warehouse, its whole-file check included
//                          (should stay under 1 s)
//   BM_JournalRequests     the journal's request list over all 10,000 requests: 0 "Сортировка по
//                          срочности сдачи", 1 "Просроченные" (each pass rereads every request's
//                          due date and writes the figures that changed), 2 a click on the title
//                          "Дата сдачи" of the whole list; each should stay under 200 ms
#include "app/documents/Import.h"
#include "app/documents/Printing.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit9.h"
#include "app/shell/Startup.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kGoods = 100000;
constexpr int kRequests = 10000;
constexpr int kReceipts = 10000;

// The warehouses' folder, made on first use and removed with everything in it at exit.
class TBenchDir {
public:
    TBenchDir()
    {
        char tmpl[] = "/tmp/bench_documents_XXXXXX";
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

AnsiString MakeWarehouse()
{
    const AnsiString path = BenchDir() + "documents.kvb";
    if (FileExists(path))
        return path;
    CopyFile(TemplatePath(), path, false);
    sqlite::Database db;
    db.OpenWarehouse(path, false);
    db.Exec("BEGIN IMMEDIATE");
    db.Exec("Insert Into Passwords (Пароль) Values ('1')");
    {
        sqlite::Statement ins(db,
                              AnsiToUtf8("Insert Into Products (№,Наименование,Марка,Цвет,Размеры,Единица_измерения,"
                                         "Имя_поставщика,Группа,Цена,Количество) Values (?,?,?,?,?,?,?,'Склад',?,?)"),
                              "insert product");
        for (int i = 0; i < kGoods; ++i) {
            ins.BindText(1, "A-" + IntToStr(i));
            ins.BindText(2, "Товар " + IntToStr(i / 3));
            ins.BindText(3, "Марка " + IntToStr(i % 700));
            ins.BindText(4, "Цвет " + IntToStr(i % 60));
            ins.BindText(5, IntToStr(i % 200) + "x" + IntToStr(i % 13));
            ins.BindText(6, i % 2 ? "шт" : "кг");
            ins.BindText(7, "Поставщик " + IntToStr(i % 300));
            ins.BindDouble(8, 10 + i % 1000);
            ins.BindInt64(9, i % 50);
            ins.Step();
            ins.Reset();
        }
    }
    {
        sqlite::Statement head(db,
                               AnsiToUtf8("Insert Into Application (Дата_создания,Дата_сдачи,Получатель,Через_кого,"
                                          "Заказчик,№_заказа,Отпуск_товара) Values (?,?,?,?,?,?,'Не выдавался')"),
                               "insert request");
        sqlite::Statement line(db,
                               AnsiToUtf8("Insert Into StructureApplication (IDДокумента,IDТовара,Количество,Сумма,"
                                          "Отпущено) Values (?,?,?,?,0)"),
                               "insert request line");
        for (int i = 0; i < kRequests; ++i) {
            head.BindDouble(1, 46000 + i / 10);
            head.BindDouble(2, 46010 + i / 10);
            head.BindText(3, "Получатель " + IntToStr(i % 2000));
            head.BindText(4, "Курьер " + IntToStr(i % 500));
            head.BindText(5, "Заказчик " + IntToStr(i % 5000));
            head.BindText(6, "З-" + IntToStr(i));
            head.Step();
            head.Reset();
            const int64_t id = db.LastInsertRowId();
            for (int j = 0; j < 3; ++j) {
                line.BindInt64(1, id);
                line.BindInt64(2, 1 + (i * 7 + j * 31) % kGoods);
                line.BindDouble(3, 1 + j);
                line.BindDouble(4, 10 * (1 + j));
                line.Step();
                line.Reset();
            }
        }
    }
    {
        sqlite::Statement ins(db,
                              AnsiToUtf8("Insert Into Documents (Дата_создания,№_заказа,Тип_документа,Вид_оплаты,"
                                         "Имя_поставщика,Через_кого) Values (?,?,'Накладная','Наличный расчет',?,?)"),
                              "insert receipt");
        for (int i = 0; i < kReceipts; ++i) {
            ins.BindDouble(1, 46000 + i / 10);
            ins.BindText(2, IntToStr(i));
            ins.BindText(3, "Поставщик " + IntToStr(i % 300));
            ins.BindText(4, "Экспедитор " + IntToStr(i % 1000));
            ins.Step();
            ins.Reset();
        }
    }
    db.Exec("COMMIT");
    return path;
}

AnsiString MakeImportFile(int lines)
{
    OrderRequestFile f;
    f.Magic = OrderRequestFile::kMagic;
    f.Customer = "Заказчик 1";
    f.DocumentNumber = "И-1";
    f.DueDate = "01.02.2027";
    for (int i = 0; i < lines; ++i) {
        OrderRequestRecord r;
        r.ItemName = "Товар " + IntToStr(i * 1000 % (kGoods / 3));
        r.UnitName = i % 2 ? "шт" : "кг";
        r.Quantity = float(1 + i);
        r.Price = float(10 + i);
        f.Records.push_back(r);
    }
    const std::vector<uint8_t> bytes = WriteOrderRequest(f);
    const AnsiString path = BenchDir() + "order" + IntToStr(lines) + ".sklad";
    FILE* out = std::fopen(PathToSystem(path).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return path;
}

// The program on the warehouse, made once for the whole run.
void EnsureProgram()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    const AnsiString path = MakeWarehouse();
    setenv("SKLAD_HOME", PathToSystem(BenchDir()).c_str(), 1);
    FILE* ini = std::fopen(PathToSystem(BenchDir() + "sklad.ini").c_str(), "wb");
    std::fprintf(ini, "[LASTFILE]\r\nLastFile=%s\r\n", AnsiToUtf8(path).c_str());
    std::fclose(ini);
    CreateApplication();
    StartLibraries();
    RegisterProgramClasses();
    CreateForms();
}

// Runs `command` (after `before`, which is not timed) and times it from its start to the
// moment its window has shown (the end of the window's OnShow): what the user waits for.
void TimeToShow(benchmark::State& state, TForm* window, const std::function<void()>& before,
                const std::function<void()>& command)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point shown;
    const TNotifyEvent original = window->OnShow;
    window->OnShow = TNotifyEvent::Lambda([&](TObject* sender) {
        if (original)
            original(sender);
        shown = Clock::now();
    });
    for (auto _ : state) {
        before();
        shown = {};
        const Clock::time_point start = Clock::now();
        command();
        if (shown == Clock::time_point{}) {
            state.SkipWithError("the window did not show");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
    window->OnShow = original;
}

void Nothing() {}

void BM_NewReceipt(benchmark::State& state)
{
    EnsureProgram();
    TimeToShow(state, Form3, Nothing, [] { Form1->Button5Click(nullptr); });
    state.counters["items"] = double(Form3->ComboBox3->GetItems()->Count());
}

void BM_NewRequest(benchmark::State& state)
{
    EnsureProgram();
    TimeToShow(state, Form3, Nothing, [] { Form1->Button6Click(nullptr); });
    state.counters["items"] = double(Form3->ComboBox6->GetItems()->Count());
}

// The journal's list of requests, its first one selected.
void RequestList()
{
    Form4->RadioButton9->SetChecked(true);
    Form4->RadioButton9Click(nullptr);
}

void BM_EditRequest(benchmark::State& state)
{
    EnsureProgram();
    TimeToShow(state, Form3, RequestList, [] { Form4->Button4Click(nullptr); });
    state.counters["items"] = double(Form3->ComboBox6->GetItems()->Count());
}

void BM_IssueFromRequest(benchmark::State& state)
{
    EnsureProgram();
    TimeToShow(state, Form3, RequestList, [] { Form4->Button3Click(nullptr); });
    state.counters["lines"] = double(Form1->ADOQuery4->RecordCount());
}

void BM_ImportRequest(benchmark::State& state)
{
    EnsureProgram();
    const AnsiString file = MakeImportFile(static_cast<int>(state.range(0)));
    TimeToShow(state, Form3, Nothing, [&] { Form1->ImportOrderRequest(file, TImportTarget::NewRequest); });
    state.counters["lines"] = double(Form1->ADOQuery4->RecordCount());
    state.counters["per_line"] = benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                                                                 benchmark::Counter::kInvert);
}

void BM_ReportBuilder(benchmark::State& state)
{
    EnsureProgram();
    TimeToShow(state, Form9, Nothing, [] { Form1->N21Click(nullptr); });
    state.counters["goods"] = double(Form1->ADOQuery15->RecordCount());
}

void BM_StockSheetRows(benchmark::State& state)
{
    EnsureProgram();
    TADOQuery q(nullptr);
    q.SetConnection(Form1->ADOConnection1);
    q.SQL()->SetText("Update Products Set V='V'");
    q.ExecSQL();
    const TReportQueries rows = MainReportQueries();
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: LoadStockRows(rows.Header, TStockReport::StockState); break;
        case 1: LoadTurnoverRows(rows.Header, rows.Lines, TDateTime(46000), TDateTime(47000)); break;
        default: LoadPurchaseRows(rows.Header, TPurchaseKind::Plain); break;
        }
    }
    state.counters["rows"] = double(rows.Header->RecordCount());
}

void BM_LinePicker(benchmark::State& state)
{
    EnsureProgram();
    Form1->Button5Click(nullptr);  // a receipt with its header filled in
    Form3->ComboBox1->SetItemIndex(0);
    Form3->ComboBox2->SetText("Поставщик 1");
    Form3->ComboBox3->SetText("Экспедитор 1");
    Form3->ComboBox4->SetItemIndex(0);
    TimeToShow(state, Form2, Nothing, [] { Form3->Button1Click(nullptr); });
    state.counters["names"] = double(Form2->ComboBox1->GetItems()->Count());
}

void BM_GoodsCardGroups(benchmark::State& state)
{
    EnsureProgram();
    const int n = static_cast<int>(state.range(0));
    TADOQuery q(nullptr);
    q.SetConnection(Form1->ADOConnection1);
    const auto exec = [&](const AnsiString& sql) {
        q.SQL()->SetText(sql);
        q.ExecSQL();
    };
    q.SQL()->SetText("Select ID From Groups Where IDName=0");
    q.Open();
    const int64_t root = q.FieldByName("ID")->AsLargeInt();
    q.Close();
    // Names in no order, as groups are made over the years.
    Form1->ADOConnection1->BeginTrans();
    for (int i = 0; i < n; ++i) {
        const AnsiString k = IntToStr(int64_t(i) * 7919 % n);
        q.SQL()->SetText("Insert Into Groups (NameGroup, IDName) Values (:n, :p)");
        q.Parameters()->ParamByName("n")->Value = "Группа " + k;
        q.Parameters()->ParamByName("p")->Value = root;
        q.ExecSQL();
        q.SQL()->SetText("Insert Into P (Название) Values (:n)");
        q.Parameters()->ParamByName("n")->Value = "Поставщик " + k;
        q.ExecSQL();
    }
    Form1->ADOConnection1->CommitTrans();
    Form1->BuildGroupsTree(Form1->TreeView1, false);
    for (auto _ : state)
        Form2->FillLists();
    state.counters["groups"] = double(Form2->ComboBox7->GetItems()->Count());
    state.counters["per_group"] = benchmark::Counter(double(n), benchmark::Counter::kIsIterationInvariantRate |
                                                                    benchmark::Counter::kInvert);
    exec("Delete From Groups Where IDName<>0");
    exec("Delete From P");
    Form1->BuildGroupsTree(Form1->TreeView1, false);
}

void BM_OpenWarehouse(benchmark::State& state)
{
    EnsureProgram();
    const AnsiString path = MakeWarehouse();
    for (auto _ : state) {
        if (Form1->OpenDatabase(path) != TOpenResult::Opened) {
            state.SkipWithError("the warehouse did not open");
            break;
        }
    }
    state.counters["groups"] = double(Form1->TreeView1->GetItems()->Count());
}

void BM_JournalRequests(benchmark::State& state)
{
    EnsureProgram();
    RequestList();
    // Every other request is due half a day later, so both passes find figures to write.
    TADOQuery q(nullptr);
    q.SetConnection(Form1->ADOConnection1);
    q.SQL()->SetText("Update Application Set Дата_сдачи=Дата_сдачи+0.5 Where ID % 2=0");
    q.ExecSQL();
    TColumn* due = Form4->DBGrid1->GetColumns()->Items(4);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: Form4->RadioButton5Click(nullptr); break;
        case 1: Form4->RadioButton6Click(nullptr); break;
        default:
            state.PauseTiming();
            RequestList();
            state.ResumeTiming();
            Form4->DBGrid1TitleClick(due);
            break;
        }
    }
    state.counters["listed"] = double(Form1->ADOQuery6->RecordCount());
    q.SQL()->SetText("Update Application Set Дата_сдачи=Дата_сдачи-0.5 Where ID % 2=0");
    q.ExecSQL();
}

}  // namespace

BENCHMARK(BM_NewReceipt)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewRequest)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditRequest)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IssueFromRequest)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportRequest)->Arg(20)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportBuilder)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StockSheetRows)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinePicker)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoodsCardGroups)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWarehouse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalRequests)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
