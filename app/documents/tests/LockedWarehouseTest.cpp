// Every command that changes stock, documents or the goods they name, run while another
// program holds the warehouse file's write lock (SQLite's own "database is locked", not an
// injected fault): the file stays exactly as it was, the user is told, and the same command
// lands once the lock is gone.
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Import.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit8.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "platform/db/ADODB.h"
#include "platform/db/Sqlite.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"

#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

namespace {

class LockedWarehouseTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartOnWarehouse();
        SeedGoodsAndRequests();
        d->Run([this] { Form1->OpenDatabase(w->Path()); });  // the groups seeded since the start
        d->ChooseNode(Form1->TreeView1, "Склад");
        // Waiting for the other program is not what is tested here.
        Form1->ADOConnection1->SetBusyTimeout(20);
    }
    // The warehouse without the scratch lines of the document being entered.
    std::string Held()
    {
        const std::string all = w->Snapshot();
        std::string out;
        bool scratch = false;
        for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string line = all.substr(at, end - at);
            if (line.rfind('[', 0) == 0)
                scratch = line.rfind("[Temp", 0) == 0;
            if (!scratch && line.rfind("seq Temp", 0) != 0)
                out += line + '\n';
        }
        return out;
    }
    double Stock(int64_t product)
    {
        return w->Scalar("Select Количество From Products Where ID=:id", {product}).AsDouble();
    }
    // A receipt entered in the document window, its lines picked by article; `ok` saves it.
    void Receipt(const std::function<void()>& ok)
    {
        d->ExpectModal(Form3, [&] {
            d->Select(Form3->ComboBox1, 0);
            d->Type(Form3->ComboBox2, "Рога");
            d->Type(Form3->ComboBox3, "Иванов");
            d->Select(Form3->ComboBox4, 0);
            Pick("A-Болт", "2,5", &TForm2::Button7);
            ok();
        });
        d->Run([&] { d->Click(Form1->Button5); });
    }
    void Pick(const char* article, const char* quantity, TButton* TForm2::*ok)
    {
        d->ExpectModal(Form2, [&] {
            d->Select(Form2->Art, article);
            d->ClickRow(Form2->DBGrid1, 0);
            d->Type(Form2->ComboBox6, quantity);
            d->Click(Form2->*ok);
        });
        d->Click(Form3->Button1);
    }
};

// Holds the write lock of the warehouse file, as another program writing it would.
class TOtherWriter {
public:
    explicit TOtherWriter(const AnsiString& path)
    {
        FDb.OpenWarehouse(path, false, 10);
        FDb.Exec("Begin Immediate");
    }
    ~TOtherWriter() { FDb.Exec("Rollback"); }

private:
    sqlite::Database FDb;
};

TEST_F(LockedWarehouseTest, ACommandRefusedByTheLockChangesNothingAndIsTold)
{
    // Each command, run with `locked` true under the lock and then again without it; it
    // returns once the command's windows are done.
    struct TRoute {
        const char* why;
        std::function<void(bool locked)> run;
        std::function<bool()> landed;
    } const routes[] = {
        {"a receipt saved",
         [&](bool locked) {
             Receipt([&] {
                 {
                     std::optional<TOtherWriter> other;
                     if (locked)
                         other.emplace(w->Path());
                     d->Click(Form3->Button4);
                 }
                 if (d->IsShowing(Form3)) {
                     d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                     d->Click(Form3->Button6);
                 }
             });
         },
         [&] { return Stock(bolt) == 12.5; }},
        {"a write-off act posted",
         [&](bool locked) {
             d->ExpectModal(Form3, [&] {
                 d->Type(Form3->Edit2, "Брак");
                 Pick("A-Эмаль", "0,75", &TForm2::Button3);
                 d->ExpectModal(Form5, [&] {
                     d->Type(Form5->Edit1, "1");
                     {
                         std::optional<TOtherWriter> other;
                         if (locked)
                             other.emplace(w->Path());
                         d->Click(Form5->Button1);
                     }
                     if (d->IsShowing(Form5))
                         d->CloseForm(Form5);
                 });
                 d->Click(Form3->Button4);
                 if (d->IsShowing(Form3)) {
                     d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                     d->Click(Form3->Button6);
                 }
             });
             d->Run([] { Form1->Button9Click(nullptr); });
         },
         [&] { return Stock(paint) == 49.25; }},
        {"an issue invoice saved from a request",
         [&](bool locked) {
             InJournal([&] {
                 d->Choose(Form4->RadioButton9);
                 int row = 0;
                 for (const AnsiString& id : Column(Form1->ADOQuery6, "ID"))
                     if (id == IntToStr(order7))
                         break;
                     else
                         ++row;
                 d->ClickRow(Form4->DBGrid1, row);
                 d->ExpectModal(Form3, [&] {
                     {
                         std::optional<TOtherWriter> other;
                         if (locked)
                             other.emplace(w->Path());
                         d->Click(Form3->Button4);
                     }
                     if (d->IsShowing(Form3)) {
                         d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                         d->Click(Form3->Button6);
                     }
                 });
                 d->Click(Form4->Button3);
             });
         },
         [&] { return w->Scalar("Select Count(*) From StructureOtpusk").AsInteger() == 2; }},
        {"a goods card's price stored",
         [&](bool locked) {
             int row = 0;
             for (const AnsiString& id : Column(Form1->ADOQuery1, "ID"))
                 if (id == IntToStr(bolt))
                     break;
                 else
                     ++row;
             d->ClickRow(Form1->DBGrid1, row);
             d->ExpectModal(Form2, [&] {
                 d->Type(Form2->Edit1, "7,5");
                 {
                     std::optional<TOtherWriter> other;
                     if (locked)
                         other.emplace(w->Path());
                     d->Click(Form2->Button7);
                 }
                 if (d->IsShowing(Form2))
                     d->Click(Form2->Button6);
             });
             d->Run([&] { d->Click(Form1->Button3); });
         },
         [&] { return w->Scalar("Select Цена From Products Where ID=:id", {bolt}).AsDouble() == 7.5; }},
        {"a group with goods renamed",
         [&](bool locked) {
             d->ChooseNode(Form1->TreeView1, "Краски");
             d->ExpectModal(Form5, [&] {
                 d->Type(Form5->Edit1, "Лаки");
                 {
                     std::optional<TOtherWriter> other;
                     if (locked)
                         other.emplace(w->Path());
                     d->Click(Form5->Button1);
                 }
                 if (d->IsShowing(Form5))
                     d->CloseForm(Form5);
             });
             d->Run([&] { d->Menu(Form1->N10); });
         },
         [&] { return w->Scalar("Select Группа From Products Where ID=:id", {paint}).AsString() == "Лаки"; }},
        {"a period archived",
         [&](bool locked) {
             d->ExpectModal(Form8, [&] {
                 d->PickDate(Form8->Date1, Day(2027, 1, 1));
                 d->PickDate(Form8->Date2, Day(2027, 12, 31));
                 {
                     std::optional<TOtherWriter> other;
                     if (locked)
                         other.emplace(w->Path());
                     d->Click(Form8->Button2);
                 }
                 if (d->IsShowing(Form8))
                     d->Click(Form8->Button3);
             });
             d->Run([&] { d->Menu(Form1->N17); });
         },
         [&] { return w->Scalar("Select Архив From Application Where №_заказа='8'").AsInteger() == 1; }},
    };
    for (const TRoute& r : routes) {
        SCOPED_TRACE(r.why);
        const std::string before = Held();
        d->ClearMessages();
        d->TakeErrors();
        r.run(true);
        EXPECT_EQ(Held(), before) << "nothing of it is written";
        EXPECT_TRUE(Form1->ADOQuery1->Active()) << "the goods grid still shows the warehouse";
        EXPECT_FALSE(d->MessageTexts().empty() && d->TakeErrors().empty()) << "the user is told";
        EXPECT_FALSE(r.landed());
        d->ClearMessages();
        d->TakeErrors();
        r.run(false);
        EXPECT_TRUE(r.landed()) << "the same command lands once the lock is gone";
    }
}

// Another copy of the program entering a document in the same warehouse: it holds the
// scratch lines (the lock beside the file), as the program itself does while its document
// window is open.
class TOtherEntry {
public:
    explicit TOtherEntry(const AnsiString& warehouse)
    {
        FFd = ::open(PathToSystem(warehouse + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        FHeld = FFd >= 0 && ::flock(FFd, LOCK_EX | LOCK_NB) == 0;
    }
    ~TOtherEntry()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    bool Held() const { return FHeld; }

private:
    int FFd = -1;
    bool FHeld = false;
};

TEST_F(LockedWarehouseTest, ADocumentIsNotBegunOnTheLinesAnotherProgramIsEntering)
{
    // The other program has a write-off act of 3 bolts in the scratch lines. Every way of
    // beginning a document here would empty them, and its save would post them as its own.
    w->Exec("Insert Into TempStructureDocuments (Наименование,Группа,Количество,Цена,Сумма,IDТовара) "
            "Select Наименование,Группа,3,Цена,3*Цена,ID From Products Where ID=:id",
            {bolt});
    OrderRequestFile order;
    order.Magic = OrderRequestFile::kMagic;
    order.Customer = "Иванов";
    order.DocumentNumber = "З-17";
    order.DueDate = "15.03.2027";
    order.Records.push_back({"", "Болт", 2.0f, "шт", 2.0f});
    const std::vector<uint8_t> bytes = WriteOrderRequest(order);
    const AnsiString orderPath = w->Dir() + "order.sklad";
    std::ofstream(PathToSystem(orderPath), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    struct TRoute {
        const char* why;
        std::function<void()> begin;  // shows the document window when it is let through
        bool asks = false;            // asks whether to add unknown goods when let through
    } const routes[] = {
        {"a request imported from a file",
         [&] {
             d->AnswerFileDialog(orderPath);
             d->Run([] { Form1->N1Click(nullptr); });
         },
         true},
        {"a new receipt", [&] { d->Run([&] { d->Click(Form1->Button5); }); }},
        {"a new request", [&] { d->Run([&] { d->Click(Form1->Button6); }); }},
        {"a new write-off act", [&] { d->Run([] { Form1->Button9Click(nullptr); }); }},
        {"a new document from the journal", [&] { InJournal([&] { d->Click(Form4->Button1); }); }},
        {"an issue invoice from a request",
         [&] {
             InJournal([&] {
                 d->Choose(Form4->RadioButton9);
                 d->Choose(Form4->RadioButton3);
                 d->Click(Form4->Button3);
             });
         }},
        {"a request reopened for changes",
         [&] {
             InJournal([&] {
                 d->Choose(Form4->RadioButton9);
                 d->Choose(Form4->RadioButton3);
                 d->Click(Form4->Button4);
             });
         }},
    };
    for (const TRoute& r : routes) {
        SCOPED_TRACE(r.why);
        {
            TOtherEntry other(w->Path());
            ASSERT_TRUE(other.Held());
            const std::string before = w->Snapshot();
            d->ClearMessages();
            r.begin();
            EXPECT_EQ(w->Snapshot(), before) << "the other program's lines stay as they are";
            ASSERT_FALSE(d->MessageTexts().empty());
            EXPECT_EQ(d->MessageTexts().back().substr(0, 27), "На этом складе уже вводится");
        }
        // Once the other program is done, the document is begun, and while its window is
        // open the lines are this program's.
        if (r.asks)
            d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
        d->ExpectModal(Form3, [&] {
            EXPECT_FALSE(TOtherEntry(w->Path()).Held());
            d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
            d->Click(Form3->Button6);
        });
        r.begin();
        EXPECT_TRUE(TOtherEntry(w->Path()).Held()) << "given up when the window closed";
    }
}


TEST_F(LockedWarehouseTest, ABeginningThatFailsGivesUpTheScratchLines)
{
    // Another program writing the file makes emptying the scratch lines fail (SQLite's
    // "database is locked"): the document is not begun, and the scratch lines are not kept
    // from the other copies of the program either, whichever way it was begun.
    const AnsiString orderPath = w->Dir() + "order.sklad";
    {
        OrderRequestFile order;
        order.Magic = OrderRequestFile::kMagic;
        order.Customer = "Иванов";
        order.DocumentNumber = "З-17";
        order.DueDate = "15.03.2027";
        order.Records.push_back({"", "Болт", 2.0f, "шт", 2.0f});
        const std::vector<uint8_t> bytes = WriteOrderRequest(order);
        std::ofstream(PathToSystem(orderPath), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    struct TRoute {
        const char* why;
        std::function<void()> begin;
    } const routes[] = {
        {"a new receipt", [&] { d->Run([&] { d->Click(Form1->Button5); }); }},
        {"a new request", [&] { d->Run([&] { d->Click(Form1->Button6); }); }},
        {"a new write-off act", [&] { d->Run([] { Form1->Button9Click(nullptr); }); }},
        {"a new document from the journal", [&] { InJournal([&] { d->Click(Form4->Button1); }); }},
        {"a request imported from a file",
         [&] {
             d->AnswerFileDialog(orderPath);
             d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
             d->Run([] { Form1->N1Click(nullptr); });
         }},
        {"an issue invoice from a request",
         [&] {
             InJournal([&] {
                 d->Choose(Form4->RadioButton9);
                 d->Choose(Form4->RadioButton3);
                 d->Click(Form4->Button3);
             });
         }},
        {"a request reopened for changes",
         [&] {
             InJournal([&] {
                 d->Choose(Form4->RadioButton9);
                 d->Choose(Form4->RadioButton3);
                 d->Click(Form4->Button4);
             });
         }},
    };
    for (const TRoute& r : routes) {
        SCOPED_TRACE(r.why);
        d->ClearMessages();
        {
            TOtherWriter writer(w->Path());
            r.begin();
        }
        EXPECT_FALSE(d->IsShowing(Form3));
        EXPECT_FALSE(d->MessageTexts().empty() && d->TakeErrors().empty()) << "the user is told";
        d->TakeErrors();
        EXPECT_TRUE(TOtherEntry(w->Path()).Held()) << "another copy of the program can begin a document";
    }
}

TEST_F(LockedWarehouseTest, AWarehouseOpenedByAnotherNameSharesItsScratchLines)
{
    // The same file reached through a link, or by a path with "..", is the same warehouse:
    // the other program holds its lines whatever name either of them opened it by.
    const AnsiString real = w->Path();
    const AnsiString link = w->Dir() + "link.kvb";
    ASSERT_EQ(::symlink(PathToSystem(real).c_str(), PathToSystem(link).c_str()), 0);
    const size_t slash = real.rfind('/');
    ASSERT_NE(slash, AnsiString::npos);
    const AnsiString dotted = real.substr(0, slash) + "/../" +
                              real.substr(real.rfind('/', slash - 1) + 1);
    for (const AnsiString& path : {link, dotted}) {
        SCOPED_TRACE(path);
        d->Run([&] { Form1->OpenDatabase(path); });
        ASSERT_EQ(Form1->DatabasePath(), path);
        TOtherEntry other(real);
        ASSERT_TRUE(other.Held());
        d->ClearMessages();
        d->Run([&] { d->Click(Form1->Button5); });
        ASSERT_FALSE(d->MessageTexts().empty());
        EXPECT_EQ(d->MessageTexts().back().substr(0, 27), "На этом складе уже вводится");
    }
}

}  // namespace
