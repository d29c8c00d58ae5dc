// A new warehouse: the template copied beside the program, opened, remembered, given its password.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Statements.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "app/shell/Unit7.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Cp1251.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;

class NewWarehouseTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        // The template lies beside the program, as an install has it.
        fs::create_directories(Sys(w->Dir() + "New"));
        fs::copy_file(Sys(TWarehouseFixture::TemplatePath()), Sys(w->Dir() + "New/New.kvb"));
    }
    static fs::path Sys(const AnsiString& path) { return fs::path(PathToSystem(path)); }
    std::set<std::string> Files()
    {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(Sys(w->Dir())))
            names.insert(e.path().string());
        return names;
    }
    void OpenNewWarehouseCommand() { d->Run([&] { d->Click(Form1->Button8); }); }
};

TEST_F(NewWarehouseTest, ANewWarehouseIsOpenedRememberedAndGivenItsPassword)
{
    StartOnWarehouse();
    const AnsiString path = w->Dir() + "Второй склад.kvb";
    d->ExpectModal(Form5, [&] {
        EXPECT_EQ(Form5->GetCaption(), "Наименование нового склада");
        d->ExpectModal(Form7, [&] {
            // Open at once, and remembered before the password is set.
            EXPECT_EQ(Form1->GetCaption(), "Korvel Склад 1.0  " + path);
            EXPECT_NE(IniText().find("LastFile=" + path), AnsiString::npos);
            EXPECT_EQ(Form1->TreeView1->GetItems()->Count(), 1);
            EXPECT_EQ(Form1->TreeView1->GetSelected(), Form1->TreeView1->GetItems()->GetFirstNode());
            EXPECT_EQ(Form7->GetCaption(), "Введите пароль");
            d->Type(Form7->Edit1, "новый");
            d->Type(Form7->Edit2, "новый");
            d->Click(Form7->Button1);
        });
        d->Type(Form5->Edit1, "Второй склад");
        d->Click(Form5->Button1);
        EXPECT_FALSE(d->IsShowing(Form5));
    });
    OpenNewWarehouseCommand();
    EXPECT_EQ(Form1->DatabasePath(), path);
    TWarehouseFixture opened(path);  // a copy, to read the new file's rows
    EXPECT_EQ(opened.Scalar("Select Пароль From Passwords").AsString(), "новый");
    EXPECT_EQ(w->Scalar("Select Count(*) From Passwords").AsInteger(), 1) << "the old warehouse keeps its own";
}

TEST_F(NewWarehouseTest, CancellingThePasswordGoesBackToThePreviousWarehouse)
{
    StartOnWarehouse();
    const AnsiString iniBefore = IniText();
    const AnsiString path = w->Dir() + "Временный.kvb";
    d->ExpectModal(Form5, [&] {
        d->ExpectModal(Form7, [&] { d->Click(Form7->Button2); });
        d->Type(Form5->Edit1, "Временный");
        d->Click(Form5->Button1);
        EXPECT_TRUE(d->IsShowing(Form5));
        EXPECT_EQ(Form5->Edit1->GetText(), "Временный");
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    EXPECT_EQ(Form1->DatabasePath(), w->Path());
    EXPECT_EQ(Form1->GetCaption(), "Korvel Склад 1.0  " + w->Path());
    EXPECT_FALSE(FileExists(path)) << "the new file is deleted";
    EXPECT_EQ(IniText(), iniBefore);
}

TEST_F(NewWarehouseTest, CancellingThePasswordWhenThePreviousWarehouseIsGoneLeavesNoneOpen)
{
    StartOnWarehouse();
    const AnsiString iniBefore = IniText();
    const AnsiString path = w->Dir() + "Временный.kvb";
    d->ExpectModal(Form5, [&] {
        d->ExpectModal(Form7, [&] {
            DeleteFile(w->Path());  // the warehouse open before can no longer be opened
            d->Click(Form7->Button2);
        });
        d->Type(Form5->Edit1, "Временный");
        d->Click(Form5->Button1);
        d->CloseForm(Form5);
    });
    d->ClearMessages();
    OpenNewWarehouseCommand();
    EXPECT_FALSE(Form1->DatabaseOpen()) << "not left on a new warehouse without a password";
    EXPECT_FALSE(FileExists(path)) << "the new file is deleted";
    EXPECT_EQ(IniText(), iniBefore);
    ASSERT_EQ(d->MessageTexts().size(), 1u);
    EXPECT_NE(d->MessageTexts()[0].find("Склад " + w->Path() + " не открыт"), AnsiString::npos);
    EXPECT_EQ(d->MessageTexts()[0].find("прежним"), AnsiString::npos) << d->MessageTexts()[0];
}

TEST_F(NewWarehouseTest, WithNoWarehouseOpenNothingReachesTheCancelledFileAndOpeningStillWorks)
{
    StartOnWarehouse();
    const AnsiString cancelled = w->Dir() + "Временный.kvb";
    const AnsiString other = w->Dir() + "Другой.kvb";
    CopyFile(w->Path(), other, false);
    d->ExpectModal(Form5, [&] {
        d->ExpectModal(Form7, [&] {
            DeleteFile(w->Path());
            d->Click(Form7->Button2);
        });
        d->Type(Form5->Edit1, "Временный");
        d->Click(Form5->Button1);
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    ASSERT_FALSE(Form1->DatabaseOpen());
    d->ClearMessages();
    const size_t modals = d->Modals().size();

    // The shared queries do not reconnect by themselves to the file just cancelled.
    d->Run([] { OpenSql(Form1->ADOQuery2, "Select * From Groups"); });
    EXPECT_EQ(d->TakeErrors().size(), 1u);
    EXPECT_FALSE(Form1->DatabaseOpen());

    struct TCommand {
        const char* Name;
        TControl* Button;
        TMenuItem* Item;
    };
    const TCommand commands[] = {
        {"Работа с док.", Form1->Button7, nullptr},     {"Приход товара", Form1->Button5, nullptr},
        {"Заявка на заказ", Form1->Button6, nullptr},   {"Артикул", Form1->Button10, nullptr},
        {"Списание по акту", Form1->Button9, nullptr},  {"Просмотр", Form1->Button3, nullptr},
        {"Добавить карточку", Form1->Button2, nullptr}, {"Удалить карточку", Form1->Button4, nullptr},
        {"Переместить", Form1->Button11, nullptr},      {"Добавить группу", Form1->SpeedButton2, nullptr},
        {"Удалить группу", Form1->SpeedButton3, nullptr}, {"Переименовать группу", Form1->SpeedButton1, nullptr},
        {"Закрыть архив", nullptr, Form1->N19},          {"Импорт", nullptr, Form1->N1},
        {"Информация", nullptr, Form1->N14},             {"Графа \"Наименование\"", nullptr, Form1->N26},
        {"НДС", nullptr, Form1->N20},                    {"Изменить пароль", nullptr, Form1->N16},
        {"Работа с документами", nullptr, Form1->N25},   {"Новый приход", nullptr, Form1->N6},
        {"Списание", nullptr, Form1->N12},               {"Заявка", nullptr, Form1->N8},
        {"Открыть архив", nullptr, Form1->N18},          {"Экспорт в архив", nullptr, Form1->N17},
        {"Сформировать отчет", nullptr, Form1->N21},     {"Переименовать", nullptr, Form1->N10},
        {"Добавить подгруппу", nullptr, Form1->N2},      {"Удалить группу (меню)", nullptr, Form1->N3},
    };
    for (const TCommand& c : commands) {
        SCOPED_TRACE(c.Name);
        const bool enabled = c.Button ? c.Button->GetEnabled() : c.Item->GetEnabled();
        if (enabled) {
            d->ClearMessages();
            if (c.Button)
                d->Click(c.Button);
            else
                d->Menu(c.Item);
            ASSERT_FALSE(d->MessageTexts().empty()) << "enabled, and says nothing";
            EXPECT_EQ(d->MessageTexts().back(), "Склад не открыт");
        }
        EXPECT_EQ(d->Errors(), std::vector<AnsiString>{});
        EXPECT_EQ(d->Modals().size(), modals) << "a window was shown";
        EXPECT_FALSE(FileExists(cancelled));
    }
    d->Run([&] { d->DoubleClick(Form1->DBGrid1); });
    EXPECT_EQ(d->Modals().size(), modals);

    // "Открыть склад" opens another warehouse, and its commands are there again.
    EXPECT_TRUE(Form1->N4->GetEnabled() && Form1->Button1->GetEnabled() && Form1->N13->GetEnabled() &&
                Form1->Button8->GetEnabled());
    d->AnswerFileDialog(other);
    d->Menu(Form1->N4);
    EXPECT_TRUE(Form1->DatabaseOpen());
    EXPECT_EQ(Form1->GetCaption(), "Korvel Склад 1.0  " + other);
    for (const TCommand& c : commands)
        EXPECT_TRUE(c.Button ? c.Button->GetEnabled() : c.Item->GetEnabled()) << c.Name;
    EXPECT_EQ(d->Errors(), std::vector<AnsiString>{});
}

TEST_F(NewWarehouseTest, AnExistingFileIsNeverOverwritten)
{
    StartOnWarehouse();
    {
        std::ofstream out(Sys(w->Dir() + "Занят.kvb"), std::ios::binary);
        out << "чужой файл";
    }
    const std::string before = w->Snapshot();
    const auto files = Files();
    d->ExpectModal(Form5, [&] {
        d->Type(Form5->Edit1, "Занят");
        d->Click(Form5->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Файл с таким именем уже существует");
        d->Type(Form5->Edit1, "Склад");  // the open warehouse itself
        d->Click(Form5->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Файл с таким именем уже существует");
        EXPECT_TRUE(d->IsShowing(Form5));
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    std::ifstream in(Sys(w->Dir() + "Занят.kvb"), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "чужой файл");
    EXPECT_EQ(w->Snapshot(), before);
    EXPECT_EQ(Files(), files);
    EXPECT_EQ(Form1->DatabasePath(), w->Path());
}

TEST_F(NewWarehouseTest, NamesWithSemicolonsAndQuotesOpen)
{
    StartOnWarehouse();
    for (const AnsiString name : {"x;y", "Склад 'Север'; второй"}) {
        SCOPED_TRACE(name);
        const AnsiString path = w->Dir() + name + ".kvb";
        d->ExpectModal(Form5, [&] {
            d->ExpectModal(Form7, [&] {
                EXPECT_EQ(Form1->DatabasePath(), path);
                d->Type(Form7->Edit1, "1");
                d->Type(Form7->Edit2, "1");
                d->Click(Form7->Button1);
            });
            d->Type(Form5->Edit1, name);
            d->Click(Form5->Button1);
        });
        OpenNewWarehouseCommand();
        EXPECT_EQ(Form1->DatabasePath(), path);
        EXPECT_TRUE(d->MessageTexts().empty());
    }
}

struct BadNameCase {
    const char* why;
    const char* name;
};

const BadNameCase kBadNames[] = {
    {"a parent folder would put the file outside the program's folder", "../Побег"},
    {"a folder part", "папка/склад"},
    {"a backslash is a folder part for the connection", "папка\\склад"},
    {"a colon", "Склад: 2"},
    {"a control character", "Склад\t2"},
    {"a blank at the end", "Склад 2 "},
    {"a dot at the end", "Склад 2."},
    {"a device name", "CON"},
    {"a device name in small letters", "nul"},
    {"a numbered device name", "COM1"},
    {"a device name with an extension", "lpt9.old"},
    {"the console input", "CONIN$"},
    {"the console output, with an extension", "conout$.kvb"},
    {"port number 0", "COM0"},
    {"printer number 0, with a blank before the dot", "LPT0 .old"},
};

TEST_F(NewWarehouseTest, NamesThatAreNoPlainFileNameAreRefused)
{
    StartOnWarehouse();
    fs::create_directories(Sys(w->Dir() + "папка"));
    const auto files = Files();
    d->ExpectModal(Form5, [&] {
        for (const auto& c : kBadNames) {
            SCOPED_TRACE(c.why);
            d->Type(Form5->Edit1, c.name);
            d->Click(Form5->Button1);
            EXPECT_TRUE(d->IsShowing(Form5));
            EXPECT_EQ(d->MessageTexts().back().rfind("Недопустимое имя склада", 0), 0u);
            EXPECT_EQ(Form5->Edit1->GetText(), c.name);
        }
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    EXPECT_EQ(Files(), files);
    EXPECT_FALSE(FileExists(w->Dir() + "../Побег.kvb"));
}

TEST_F(NewWarehouseTest, AMissingTemplateIsNamed)
{
    StartOnWarehouse();
    fs::remove(Sys(w->Dir() + "New/New.kvb"));
    d->ExpectModal(Form5, [&] {
        d->Type(Form5->Edit1, "Новый");
        d->Click(Form5->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Не найден шаблон нового склада " + w->Dir() + "New/New.kvb");
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    EXPECT_FALSE(FileExists(w->Dir() + "Новый.kvb"));
}

}  // namespace

namespace {

TEST_F(NewWarehouseTest, ATemplateThatIsNoWarehouseLeavesNoFileBehind)
{
    StartOnWarehouse();
    {
        std::ofstream out(Sys(w->Dir() + "New/New.kvb"), std::ios::binary | std::ios::trunc);
        out << "not a database";
    }
    const AnsiString iniBefore = IniText();
    d->ExpectModal(Form5, [&] {
        d->Type(Form5->Edit1, "Новый");
        d->Click(Form5->Button1);
        EXPECT_TRUE(d->IsShowing(Form5));
        EXPECT_FALSE(d->MessageTexts().empty()) << "the open failure is explained";
        d->CloseForm(Form5);
    });
    OpenNewWarehouseCommand();
    EXPECT_FALSE(FileExists(w->Dir() + "Новый.kvb"));
    EXPECT_EQ(Form1->DatabasePath(), w->Path());
    EXPECT_EQ(IniText(), iniBefore);
}

}  // namespace
