// The document window: the new-document commands of the main window, saving receipts and
// requests in one transaction, the lines' supplier, the total, leaving the window, the act.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "app/documents/Unit6.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

namespace {

std::vector<AnsiString> Items(TComboBox* combo)
{
    std::vector<AnsiString> out;
    for (int i = 0; i < combo->GetItems()->Count(); ++i)
        out.push_back(combo->GetItems()->Strings(i));
    return out;
}

bool ColumnShown(int i) { return Form3->DBGrid1->GetColumns()->Items(i)->GetVisible(); }

void Abandon(TTestDriver& d)
{
    d.ExpectModal(Form11, [&] { d.Click(Form11->Button1); });
    d.Click(Form3->Button6);
}

TEST_F(DocumentTest, NewReceiptListsSuppliersAndThroughWhomAndArrangesTheWindow)
{
    StartOnWarehouse();
    w->AddSupplier("Альфа");
    w->AddSupplier("Бета");
    w->AddSupplier("Альфа");
    d->SetNow(Day(2027, 3, 1, 10));
    d->ExpectModal(Form3, [&] {
        EXPECT_EQ(Form3->GetCaption(), "Приход товара");
        EXPECT_EQ(Form3->Mode(), TDocumentMode::NewReceipt);
        // Suppliers as they stand in the table, duplicates kept; no receipts yet: one empty item.
        EXPECT_EQ(Items(Form3->ComboBox2), (std::vector<AnsiString>{"Альфа", "Бета", "Альфа"}));
        EXPECT_EQ(Items(Form3->ComboBox3), (std::vector<AnsiString>{""}));
        EXPECT_EQ(Form3->Label2->GetCaption(), "Поставщик");
        EXPECT_TRUE(Form3->CheckBox1->GetVisible());
        EXPECT_FALSE(Form3->CheckBox1->GetEnabled());
        EXPECT_FALSE(Form3->GroupBox3->GetVisible()) << "no type chosen yet: no number box";
        EXPECT_FALSE(Form3->ImportBtn->GetVisible());
        EXPECT_FALSE(Form3->GroupBox2->GetVisible());
        EXPECT_FALSE(ColumnShown(8) || ColumnShown(9) || ColumnShown(10));
        EXPECT_DOUBLE_EQ(Form3->DateTimePicker1->GetDateTime(), double(Day(2027, 3, 1)));
        d->Select(Form3->ComboBox1, 1);
        EXPECT_TRUE(Form3->GroupBox3->GetVisible());
        EXPECT_EQ(Form3->Label9->GetCaption(), "                   Копия чека №");
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });

    // The next receipt keeps the type, and its number box shows at once.
    d->ExpectModal(Form3, [&] {
        EXPECT_TRUE(Form3->GroupBox3->GetVisible());
        EXPECT_EQ(Form3->Label9->GetCaption(), "                   Копия чека №");
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });
}

TEST_F(DocumentTest, ThroughWhomListsEachPersonOnceInOrderOfFirstUse)
{
    StartOnWarehouse();
    for (const char* who : {"Петров", "Сидоров", "петров", "Сидоров"})
        w->Exec("Insert Into Documents (Через_кого) Values (:w)", {who});
    d->ExpectModal(Form3, [&] {
        EXPECT_EQ(Items(Form3->ComboBox3), (std::vector<AnsiString>{"Петров", "Сидоров", ""}));
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });
}

TEST_F(DocumentTest, NewRequestAndActCaptionsCarryTheDayOfTheCommand)
{
    StartOnWarehouse();
    d->SetNow(Day(2027, 4, 2, 9));
    d->ExpectModal(Form3, [&] {
        EXPECT_EQ(Form3->GetCaption(), "Заявка на заказ на 02.04.2027");
        EXPECT_TRUE(Form3->ImportBtn->GetVisible());
        EXPECT_FALSE(Form3->CheckBox1->GetVisible());
        EXPECT_TRUE(Form3->GroupBox2->GetVisible());
        EXPECT_TRUE(Form3->DateTimePicker2->GetVisible());
        Abandon(*d);
    });
    d->Run([] { Form1->Button6Click(nullptr); });
    d->ExpectModal(Form3, [&] {
        EXPECT_EQ(Form3->GetCaption(), "Списание по акту на 02.04.2027");
        EXPECT_EQ(Form3->GroupBox1->GetCaption(), "Причина списания");
        EXPECT_TRUE(Form3->Edit2->GetVisible());
        EXPECT_FALSE(Form3->ComboBox2->GetVisible());
        Abandon(*d);
    });
    d->Run([] { Form1->Button9Click(nullptr); });
}

TEST_F(DocumentTest, ArchiveViewMenuItemsStartNoDocument)
{
    StartOnWarehouse();
    d->Run([] { Form1->WorkingMode = wmArchive; });
    for (TMenuItem* item : {Form1->N6, Form1->N8, Form1->N12})
        d->Run([&] { item->Click(); });
    EXPECT_TRUE(d->Modals().empty());
}

// What a user sees of the window: every shown control, shown and enabled or not, the captions
// of labels and boxes, the grid's shown columns. Hidden controls and the texts the window keeps
// from one document to the next (the receipt's type and payment, GroupBox3 that follows the
// type) are left out.
std::vector<AnsiString> ShownState(TWinControl* parent, DocumentKind kind)
{
    std::vector<AnsiString> state;
    if (parent == Form3) {
        state.push_back("caption " + Form3->GetCaption());
        for (int i = 0; i < Form3->DBGrid1->GetColumns()->Count(); ++i)
            state.push_back("column " + IntToStr(int64_t(i)) + (ColumnShown(i) ? " shown" : " hidden"));
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (!c->GetVisible() || (kind == DocumentKind::Receipt && c == Form3->GroupBox3))
            continue;
        AnsiString s = c->Name() + (c->GetEnabled() ? " enabled" : " disabled");
        if (auto* label = dynamic_cast<TLabel*>(c))
            s += " '" + label->GetCaption() + "'";
        if (auto* box = dynamic_cast<TGroupBox*>(c))
            s += " '" + box->GetCaption() + "' " + IntToStr(int64_t(box->GetWidth()));
        state.push_back(s);
        if (auto* inner = dynamic_cast<TWinControl*>(c))
            for (const AnsiString& t : ShownState(inner, kind))
                state.push_back(t);
    }
    return state;
}

// The journal's view and issue commands leave the window read-only, narrowed, with other boxes
// and columns; a new document begun afterwards must look as it does when nothing came before.
TEST_F(DocumentTest, ANewDocumentLooksTheSameWhateverTheWindowShowedBefore)
{
    StartOnWarehouse();
    d->SetNow(Day(2027, 3, 1, 10));
    const int64_t p = w->AddProduct(Product("Болт", "Склад", 10, 2));
    const int64_t request = AddRequest(Day(2027, 2, 3), Day(2027, 2, 9), "Не выдавался");
    AddRequestLine(request, p, 5, 0, 10);
    AddLineOf("StructureDocuments", AddReceipt(Day(2027, 2, 1)), p, 1);
    AddLineOf("StructureOtpusk", AddIssue(Day(2027, 2, 2)), p, 1);
    AddLineOf("StructureAkt", AddAct(Day(2027, 2, 4)), p, 1);

    struct Command {
        DocumentKind kind;
        TControl* control;
    };
    const Command commands[] = {
        {DocumentKind::Receipt, Form1->Button5}, {DocumentKind::Request, Form1->Button6}, {DocumentKind::Act, nullptr}};
    const auto begin = [&](const Command& c) {
        std::vector<AnsiString> state;
        d->ExpectModal(Form3, [&] {
            state = ShownState(Form3, c.kind);
            Abandon(*d);
        });
        d->Run([&] {
            if (c.control)
                d->Click(c.control);
            else
                d->Menu(Form1->N12);  // Button9 is hidden in the layout
        });
        return state;
    };
    std::vector<AnsiString> first[3];
    for (int k = 0; k < 3; ++k)
        first[k] = begin(commands[k]);

    // In the journal: a view is a double click on the listed document, an issue is Button3.
    struct Before {
        const char* why;
        TRadioButton* view;
        bool issue;
    };
    const Before befores[] = {
        {"a receipt viewed", Form4->RadioButton7, false}, {"a request viewed", Form4->RadioButton9, false},
        {"an issue invoice viewed", Form4->RadioButton8, false}, {"an act viewed", Form4->RadioButton10, false},
        {"an issue invoice made from a request", Form4->RadioButton9, true},
    };
    for (const Before& b : befores)
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(std::string(b.why) + ", then new document " + std::to_string(k));
            InJournal([&] {
                d->Choose(b.view);
                d->ExpectModal(Form3, [&] {
                    if (b.issue) {
                        d->Tick(Form3->CheckBox1);  // VAT on: the box stays ticked when hidden
                        Abandon(*d);
                    } else {
                        d->CloseForm(Form3);
                    }
                });
                if (b.issue)
                    d->Click(Form4->Button3);
                else
                    d->DoubleClickRow(Form4->DBGrid1, 0);
            });
            EXPECT_EQ(begin(commands[k]), first[k]);
        }
}

TEST_F(DocumentTest, AddingALineNeedsACompleteHeader)
{
    StartOnWarehouse();
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        d->Type(Form3->ComboBox2, "Альфа");
        d->Click(Form3->Button1);  // "Через кого" and "Вид оплаты" still empty
        EXPECT_EQ(d->MessageTexts().back(), "Заполнены не все данные о документе");
        EXPECT_FALSE(d->IsShowing(Form2));
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });
}

TEST_F(DocumentTest, SupplierChangeRestampsEveryLine)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    w->AddProduct(bolt);
    d->ExpectModal(Form3, [&] {
        AddLine(bolt, 1, "старый");
        AddLine(bolt, 2, "");
        w->Exec("Update TempStructureDocuments Set Имя_поставщика=Null Where Количество=2");
        d->Type(Form3->ComboBox2, "Поставщик 'Новый'");
        EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureDocuments Where Имя_поставщика=:s",
                            {"Поставщик 'Новый'"}).AsInteger(), 2);
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2);
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });
}

TEST_F(DocumentTest, ReceiptSavesHeaderLinesAndStockTogether)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    const int id = w->AddProduct(bolt);
    d->SetNow(Day(2027, 5, 6, 12));
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        d->Type(Form3->ComboBox2, "ООО \"Рога\" и 'Копыта'");
        d->Type(Form3->ComboBox3, "Петров");
        d->Select(Form3->ComboBox4, 1);
        d->Type(Form3->Edit3, "17'");
        AddLine(bolt, 4);
        AddLine(bolt, 0.5);
        Form3->ShowLines();
        Form3->UpdateTotal();
        EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 11,25");
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([&] { d->Click(Form1->Button5); });
    EXPECT_EQ(w->Scalar("Select Имя_поставщика From Documents").AsString(), "ООО \"Рога\" и 'Копыта'");
    EXPECT_EQ(w->Scalar("Select №_заказа From Documents").AsString(), "17'");
    EXPECT_EQ(w->Scalar("Select Вид_оплаты From Documents").AsString(), "Безналичный расчет");
    EXPECT_DOUBLE_EQ(w->Scalar("Select Дата_создания From Documents").AsDouble(), double(Day(2027, 5, 6)));
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureDocuments Where IDТовара=:p And Архив=0", {id}).AsInteger(), 2);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where ID=:p", {id}).AsDouble(), 14.5);
}

TEST_F(DocumentTest, ReceiptSaveIsAllOrNothingUnderFaults)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    const TProductSeed nut = Product("Гайка", "Склад", 1, 1);
    w->AddProduct(bolt);
    w->AddProduct(nut);
    d->ExpectModal(Form3, [&] {
        d->Select(Form3->ComboBox1, 0);
        d->Type(Form3->ComboBox2, "Альфа");
        d->Type(Form3->ComboBox3, "Петров");
        d->Select(Form3->ComboBox4, 0);
        AddLine(bolt, 4);
        AddLine(nut, 2);
        EveryStepFails([&] { d->Click(Form3->Button4); }, "Документ не сохранен.");
    });
    d->Run([&] { d->Click(Form1->Button5); });
    EXPECT_EQ(w->Scalar("Select Count(*) From StructureDocuments").AsInteger(), 2);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where Наименование='Гайка'").AsDouble(), 3);
}

struct RefusedCase {
    const char* why;
    std::function<void(DocumentTest&, const TProductSeed&)> lines;
    const char* message;
};

TEST_F(DocumentTest, ARequestThatCannotBeWrittenWritesNothing)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    w->AddProduct(bolt);
    TProductSeed gone = bolt;
    gone.Colour = "красный";  // the card was changed after the line was entered
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Документ не сохранен.\nВ документе нет ни одной строки.", [] {}},
        {"Документ не сохранен.\nТовара \"Болт\" (, красный, , шт, группа Склад) больше нет на складе.",
         [&] { AddLine(bolt, 1); AddLine(gone, 1); }},
        {"Документ не сохранен.\nКоличество товара \"Болт\" должно быть больше нуля.", [&] { AddLine(bolt, 0); }},
    };
    for (const auto& [message, lines] : cases) {
        SCOPED_TRACE(message);
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->ComboBox2, "Получатель");
            d->Type(Form3->ComboBox3, "Курьер");
            d->Type(Form3->ComboBox5, "Заказчик");
            d->Type(Form3->ComboBox6, "5");
            lines();
            const std::string before = w->Snapshot();
            d->Click(Form3->Button4);
            EXPECT_EQ(d->MessageTexts().back(), message);
            EXPECT_TRUE(d->IsShowing(Form3));
            EXPECT_EQ(w->Snapshot(), before);
            Abandon(*d);
        });
        d->Run([&] { d->Click(Form1->Button6); });
    }
}

TEST_F(DocumentTest, RequestIsSavedNotIssuedWithItsDueDate)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    const int id = w->AddProduct(bolt);
    d->SetNow(Day(2027, 5, 6, 12));
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->ComboBox2, "Цех №1");
        d->Type(Form3->ComboBox3, "Курьер");
        d->Type(Form3->ComboBox5, "Иванов");
        d->Type(Form3->ComboBox6, "З-17");
        d->PickDate(Form3->DateTimePicker2, Day(2027, 5, 20));
        AddLine(bolt, 4);
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([&] { d->Click(Form1->Button6); });
    EXPECT_EQ(w->Scalar("Select Отпуск_товара From Application").AsString(), "Не выдавался");
    EXPECT_EQ(w->Scalar("Select Заказчик From Application").AsString(), "Иванов");
    EXPECT_DOUBLE_EQ(w->Scalar("Select Дата_сдачи From Application").AsDouble(), double(Day(2027, 5, 20)));
    EXPECT_DOUBLE_EQ(w->Scalar("Select Дата_создания From Application").AsDouble(), double(Day(2027, 5, 6)));
    EXPECT_DOUBLE_EQ(w->Scalar("Select Отпущено From StructureApplication Where IDТовара=:p", {id}).AsDouble(), 0);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Сумма From StructureApplication").AsDouble(), 10);
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products").AsDouble(), 10) << "a request moves no stock";
}

TEST_F(DocumentTest, CancelAsksAndNoKeepsTheLines)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    w->AddProduct(bolt);
    d->ExpectModal(Form3, [&] {
        AddLine(bolt, 1);
        Form3->ShowLines();
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button2); });
        d->Click(Form3->Button6);
        EXPECT_TRUE(d->IsShowing(Form3));
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 1);
        Abandon(*d);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([&] { d->Click(Form1->Button6); });
    EXPECT_EQ(d->ModalNames(), (std::vector<AnsiString>{"Form3", "Form11", "Form11"}));
}

TEST_F(DocumentTest, RemovingALineRemovesThatLineOnly)
{
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    w->AddProduct(bolt);
    d->ExpectModal(Form3, [&] {
        AddLine(bolt, 1);
        AddLine(bolt, 2);
        Form3->ShowLines();
        d->ClickRow(Form3->DBGrid1, 1);
        d->Click(Form3->Button2);
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 1);
        EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From TempStructureDocuments").AsDouble(), 1);
        EXPECT_EQ(Form3->Label4->GetCaption(), "Итого на сумму 2,5");
        Abandon(*d);
    });
    d->Run([] { Form1->Button9Click(nullptr); });
}

TEST_F(DocumentTest, ActOkHandsTheActToThePasswordDialog)
{
    StartOnWarehouse();  // password "1"
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    const int id = w->AddProduct(bolt);
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->Edit2, "Брак при 'разгрузке'");
        AddLine(bolt, 4);
        d->ExpectModal(Form5, [&] {
            EXPECT_EQ(Form5->GetCaption(), "Введите пароль на списание");
            d->Type(Form5->Edit1, "1");
            d->Click(Form5->Button1);
        });
        d->Click(Form3->Button4);
        EXPECT_FALSE(d->IsShowing(Form3));
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    EXPECT_EQ(w->Scalar("Select Причина From Akt").AsString(), "Брак при 'разгрузке'");
    EXPECT_DOUBLE_EQ(w->Scalar("Select Количество From Products Where ID=:p", {id}).AsDouble(), 6);
}

TEST_F(DocumentTest, TheDocumentWindowsSupplierCardIsCaptionedWithoutATrailingBlank)
{
    // The document window's captions end in the last letter, by mouse or by keyboard, even
    // right after the goods card showed its own (which end in a blank).
    StartOnWarehouse();
    w->AddSupplier("Альфа");
    struct TCase {
        const char* Name;
        const char* Supplier;
        const char* Caption;
        std::function<void()> Open;
    };
    const TCase cases[] = {
        {"click, known", "Альфа", "Информация о поставщике", [&] { d->Click(Form3->Button9); }},
        {"Enter, known", "Альфа", "Информация о поставщике", [&] { d->Key(Form3->Button9, VK_RETURN); }},
        {"click, new", "Гамма", "Информация о новом поставщике", [&] { d->Click(Form3->Button9); }},
        {"Enter, new", "Гамма", "Информация о новом поставщике", [&] { d->Key(Form3->Button9, VK_RETURN); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Form6->SetMode(TDetailsMode::Supplier, "Альфа");  // the goods card's caption, last shown
        d->ExpectModal(Form3, [&] {
            d->Type(Form3->ComboBox2, c.Supplier);
            d->ExpectModal(Form6, [&] {
                EXPECT_EQ(Form6->GetCaption(), c.Caption);
                d->Click(Form6->Button2);
            });
            c.Open();
            Abandon(*d);
        });
        d->Run([&] { d->Click(Form1->Button5); });
    }
}

TEST_F(DocumentTest, SupplierCardShowsTheSupplierOrANewOne)
{
    StartOnWarehouse();
    w->AddSupplier("Альфа 'плюс'");
    w->Exec("Update P Set Адрес='Москва'");
    d->ExpectModal(Form3, [&] {
        d->Click(Form3->Button9);
        EXPECT_EQ(d->MessageTexts().back(), "Введите название поставщика");
        d->ExpectModal(Form6, [&] {
            EXPECT_EQ(Form6->GetCaption(), "Информация о поставщике");
            EXPECT_EQ(Form6->Edit[0]->GetText(), "Альфа 'плюс'");
            EXPECT_EQ(Form6->Edit[1]->GetText(), "Москва");
            d->Click(Form6->Button2);
        });
        d->Select(Form3->ComboBox2, "Альфа 'плюс'");
        d->Click(Form3->Button9);
        d->ExpectModal(Form6, [&] {
            EXPECT_EQ(Form6->GetCaption(), "Информация о новом поставщике");
            EXPECT_EQ(Form6->Edit[0]->GetText(), "Бета");
            EXPECT_EQ(Form6->Edit[1]->GetText(), "");
            d->Click(Form6->Button2);
        });
        d->Type(Form3->ComboBox2, "Бета");
        d->Click(Form3->Button9);
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button5); });
}

TEST_F(DocumentTest, DoubleClickOnTheLinesAddsWhenThereAreNone)
{
    StartOnWarehouse();
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->ComboBox2, "Цех");
        d->Type(Form3->ComboBox3, "Курьер");
        d->Type(Form3->ComboBox5, "Иванов");
        d->Type(Form3->ComboBox6, "1");
        d->ExpectModal(Form2, [&] {
            EXPECT_EQ(Form2->GetCaption(), "Добавление товара в документ");
            EXPECT_EQ(Form2->GetWidth(), 800);
            EXPECT_EQ(Form2->Label6->GetCaption(), "Количество");
            EXPECT_TRUE(Form2->Button7->GetVisible());
            EXPECT_FALSE(Form2->Button3->GetVisible());
            d->Click(Form2->Button6);
        });
        d->DoubleClick(Form3->DBGrid1);
        Abandon(*d);
    });
    d->Run([&] { d->Click(Form1->Button6); });
}

TEST_F(DocumentTest, ThePickerShowsTodaysStockNotTheListOfItsLastShowing)
{
    // The picker's list stays open between showings; stock written off in between must
    // show, or the worker picks from yesterday's figures.
    StartOnWarehouse();
    const TProductSeed bolt = Product("Болт", "Склад", 10, 2.5);
    const int id = w->AddProduct(bolt);
    std::vector<double> shown;
    const auto look = [&](bool filter) {
        d->ExpectModal(Form2, [&] {
            if (filter)
                d->Type(Form2->ComboBox1, "Болт");
            ASSERT_TRUE(Form1->ADOQuery5->Active());
            ASSERT_FALSE(Form1->ADOQuery5->IsEmpty());
            shown.push_back(Form1->ADOQuery5->FieldByName("Количество")->AsFloat());
            d->Click(Form2->Button6);
        });
        d->Click(Form3->Button1);
    };
    d->ExpectModal(Form3, [&] {
        look(true);
        w->Exec("Update Products Set Количество=3 Where ID=:p", {id});
        look(false);
        Abandon(*d);
    });
    d->Run([] { Form1->Button9Click(nullptr); });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_DOUBLE_EQ(shown[0], 10);
    EXPECT_DOUBLE_EQ(shown[1], 3) << "the second showing lists the stock as it is now";
}

}  // namespace
