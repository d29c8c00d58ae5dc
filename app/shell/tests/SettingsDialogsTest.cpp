// The settings dialogs: password, company and supplier details, name-column flags, about.
#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Unit1.h"
#include "app/shell/Unit10.h"
#include "app/shell/Unit12.h"
#include "app/documents/Unit6.h"
#include "app/shell/Unit7.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {

TEST_F(ShellTest, PasswordChangeAsksTheOldOneThenStoresTheNewOne)
{
    StartOnWarehouse();  // password "1"
    d->ExpectModal(Form7, [&] {
        EXPECT_EQ(Form7->GetCaption(), "Введите старый пароль");
        EXPECT_FALSE(Form7->Panel1->GetVisible());
        EXPECT_EQ(Form7->GetHeight(), 116);
        d->Type(Form7->Edit1, "2");
        d->Click(Form7->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Неверный пароль");
        EXPECT_EQ(Form7->GetCaption(), "Введите старый пароль");
        d->Type(Form7->Edit1, "1");
        d->Click(Form7->Button1);
        EXPECT_EQ(Form7->GetCaption(), "Изменение пароля");
        EXPECT_TRUE(Form7->Panel1->GetVisible());
        EXPECT_TRUE(Form7->Edit2->GetEnabled());
        EXPECT_EQ(Form7->Edit1->GetText(), "");
        EXPECT_EQ(Form7->Edit2->GetText(), "");
        d->Type(Form7->Edit1, "new'pass");
        d->Type(Form7->Edit2, "другой");
        d->Click(Form7->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Подтверждение не совпадает с паролем");
        d->Type(Form7->Edit2, "new'pass");
        d->Click(Form7->Button1);
    });
    d->Run([&] { d->Menu(Form1->N16); });
    EXPECT_FALSE(d->IsShowing(Form7));
    EXPECT_EQ(w->Scalar("Select Count(*) From Passwords").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Пароль From Passwords").AsString(), "new'pass");
}

TEST_F(ShellTest, TheFirstPasswordReplacesAnyRowsAndEmptyOnesAreRefused)
{
    StartOnWarehouse();
    w->Exec("Insert Into Passwords (Пароль) Values ('лишний')");
    d->ExpectModal(Form7, [&] {
        d->Click(Form7->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Ошибка - пустой пароль");
        d->CloseForm(Form7);
        EXPECT_EQ(d->MessageTexts().back(), "Нужно обязательно ввести пароль");
        EXPECT_TRUE(d->IsShowing(Form7));
        d->Type(Form7->Edit1, "abc");
        d->Type(Form7->Edit2, "abc");
        d->Click(Form7->Button1);
    });
    d->Run([] {
        Form7->SetMode(TPasswordMode::First);
        Form7->ShowModal();
    });
    EXPECT_EQ(w->Scalar("Select Count(*) From Passwords").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Пароль From Passwords").AsString(), "abc");
    EXPECT_EQ(Form7->Cancelled, 0);
}

TEST_F(ShellTest, CancelInTheFirstPasswordDialogClosesWithoutAMessage)
{
    StartOnWarehouse();
    d->ExpectModal(Form7, [&] { d->Click(Form7->Button2); });
    d->ClearMessages();
    d->Run([] {
        Form7->SetMode(TPasswordMode::First);
        Form7->ShowModal();
    });
    EXPECT_TRUE(d->MessageTexts().empty());
    EXPECT_EQ(Form7->Cancelled, 1);
}

struct NameFlagsCase {
    const char* why;
    int color, sizes;
    bool colorTicked, sizesTicked;
    const char* hint;
};

const NameFlagsCase kNameFlags[] = {
    {"both columns", 1, 1, true, true, "Наименование должно содержать не более 14 символов"},
    {"sizes only", 0, 1, false, true, "Наименование должно содержать не более 22 символов"},
    {"colour only", 1, 0, true, false, "Наименование должно содержать не более 22 символов"},
    {"neither", 0, 0, false, false, "Наименование должно содержать не более 30 символов"},
};

TEST_F(ShellTest, NameColumnFlagsShowTheirHintAndAreWrittenBack)
{
    StartOnWarehouse();
    for (const auto& c : kNameFlags) {
        SCOPED_TRACE(c.why);
        w->Exec("Update Name Set Цвет=:c, Размеры=:s", {c.color, c.sizes});
        d->ExpectModal(Form12, [&] {
            EXPECT_EQ(Form12->CheckBox1->GetChecked(), c.colorTicked);
            EXPECT_EQ(Form12->CheckBox2->GetChecked(), c.sizesTicked);
            EXPECT_EQ(Form12->Label2->GetCaption(), c.hint);
            d->Tick(Form12->CheckBox1, !c.colorTicked);  // flip colour, see the hint follow
            EXPECT_NE(Form12->Label2->GetCaption(), c.hint);
            d->Click(Form12->Button1);
        });
        d->Run([&] { d->Menu(Form1->N26); });
        EXPECT_EQ(w->Scalar("Select Цвет From Name").AsInteger(), c.colorTicked ? 0 : 1);
        EXPECT_EQ(w->Scalar("Select Размеры From Name").AsInteger(), c.sizes);
    }
}

TEST_F(ShellTest, NameColumnOkKeepsTheChoiceWhenTheFileLostItsRow)
{
    StartOnWarehouse();
    w->Exec("Delete From Name");
    d->ExpectModal(Form12, [&] {
        d->Tick(Form12->CheckBox1, false);
        d->Tick(Form12->CheckBox2, true);
        d->Click(Form12->Button1);
    });
    d->Run([&] { d->Menu(Form1->N26); });
    ASSERT_EQ(w->Scalar("Select Count(*) From Name").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Цвет From Name").AsInteger(), 0);
    EXPECT_EQ(w->Scalar("Select Размеры From Name").AsInteger(), 1);
}

TEST_F(ShellTest, CancelInTheNameColumnDialogWritesNothing)
{
    StartOnWarehouse();
    const std::string before = w->Snapshot();
    d->ExpectModal(Form12, [&] {
        d->Tick(Form12->CheckBox2, false);
        d->Click(Form12->Button2);
    });
    d->Run([&] { d->Menu(Form1->N26); });
    EXPECT_EQ(w->Snapshot(), before);
}

TEST_F(ShellTest, CompanyDetailsAreWrittenToOwner)
{
    StartOnWarehouse();
    w->AddSupplier("Поставщик");
    d->ExpectModal(Form6, [&] {
        EXPECT_EQ(Form6->GetCaption(), "Информация о фирме");
        d->Type(Form6->Edit[0], "ООО \"Ромашка\"");
        d->Type(Form6->Edit[6], "7701234567");
        d->Type(Form6->Edit[11], "О'Нил");
        d->Click(Form6->Button1);
    });
    d->Run([&] { d->Menu(Form1->N14); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Owner").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Название From Owner").AsString(), "ООО \"Ромашка\"");
    EXPECT_EQ(w->Scalar("Select ИНН From Owner").AsString(), "7701234567");
    EXPECT_EQ(w->Scalar("Select Директор From Owner").AsString(), "О'Нил");
    EXPECT_EQ(w->Scalar("Select Название From P").AsString(), "Поставщик") << "suppliers untouched";
}

TEST_F(ShellTest, SupplierDetailsAreWrittenToTheirOwnRow)
{
    StartOnWarehouse();
    w->AddSupplier("Первый");
    w->AddSupplier("Второй");
    d->ExpectModal(Form6, [&] {
        EXPECT_EQ(Form6->GetCaption(), "Информация о поставщике ");
        d->Type(Form6->Edit[1], "Тула");
        d->Click(Form6->Button1);
    });
    d->Run([] {
        Form6->SetMode(TDetailsMode::Supplier, "Второй");
        Form6->Edit[0]->SetText("Второй");
        Form6->ShowModal();
    });
    d->ExpectModal(Form6, [&] { d->Click(Form6->Button1); });
    d->Run([] {
        Form6->SetMode(TDetailsMode::NewSupplier);
        Form6->Edit[0]->SetText("Третий");
        Form6->ShowModal();
    });
    EXPECT_EQ(w->Scalar("Select Адрес From P Where Название='Второй'").AsString(), "Тула");
    EXPECT_EQ(w->Scalar("Select Адрес From P Where Название='Первый'").AsString(), "");
    EXPECT_EQ(w->Scalar("Select Count(*) From P").AsInteger(), 3);
    EXPECT_EQ(w->Scalar("Select Count(*) From Owner Where Название='Второй'").AsInteger(), 0);
}

TEST_F(ShellTest, SupplierDetailsWithControlCharactersAreRefused)
{
    StartOnWarehouse();
    const std::string before = w->Snapshot();
    d->ExpectModal(Form6, [&] {
        for (int field : {0, 1}) {
            SCOPED_TRACE(field);
            d->Type(Form6->Edit[field], AnsiString("Тула\0Север", 10));
            d->Click(Form6->Button1);
            EXPECT_TRUE(d->IsShowing(Form6));
            EXPECT_NE(d->MessageTexts().back().find("управляющие символы"), AnsiString::npos);
            d->Type(Form6->Edit[field], "Тула");
        }
        d->CloseForm(Form6);
    });
    d->Run([] {
        Form6->SetMode(TDetailsMode::NewSupplier);
        Form6->ShowModal();
    });
    EXPECT_EQ(w->Snapshot(), before);
}

TEST_F(ShellTest, TheAboutBoxAndTheNameColumnWorkInTheArchiveView)
{
    StartOnWarehouse();
    Form1->WorkingMode = wmArchive;
    d->ExpectModal(Form10, [&] {
        EXPECT_EQ(Form10->GetCaption(), "О программе");
        d->Click(Form10->Button1);
    });
    d->ExpectModal(Form12, [&] { d->Click(Form12->Button2); });
    d->Run([&] {
        d->Menu(Form1->N24);
        d->Menu(Form1->N26);
        d->Menu(Form1->N14);
        d->Menu(Form1->N16);
        d->Menu(Form1->N20);
    });
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form10", "Form12"}));
}

}  // namespace
