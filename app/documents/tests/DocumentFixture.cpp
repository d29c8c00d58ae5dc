#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit4.h"
#include "app/shell/Unit1.h"
#include "platform/db/DbFaults.h"
#include "platform/gui/StdCtrls.h"

TDateTime Day(int year, int month, int day, int hour, int minute)
{
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, 0, 0);
}

void DocumentTest::AddLine(const TProductSeed& p, double quantity, const AnsiString& supplier)
{
    const double sum = RoundTo(quantity * p.Price, -2);
    w->Exec("Insert Into TempStructureDocuments (Наименование,Марка,Цвет,Размеры,Единица_измерения,Группа,Цена,"
            "Количество,Сумма,Ставка,Сумма_с_НДС,Имя_поставщика) Values (:a,:b,:c,:d,:e,:f,:g,:h,:i,0,:j,:k)",
            {p.Name, p.Brand, p.Colour, p.Sizes, p.Unit, p.Group, p.Price, quantity, sum, sum, supplier});
}

int64_t DocumentTest::AddRequest(TDateTime created, TDateTime due, const AnsiString& state, int archived,
                                 const AnsiString& recipient)
{
    return w->Exec("Insert Into Application (Дата_создания,Дата_сдачи,Получатель,Через_кого,Отпуск_товара,Заказчик,"
                   "№_заказа,Архив) Values (:a,:b,:c,'Курьер',:d,'Заказчик','7',:e)",
                   {created, due, recipient, state, archived});
}

void DocumentTest::AddRequestLine(int64_t request, int64_t product, double quantity, double issued, double sum)
{
    w->Exec("Insert Into StructureApplication (IDДокумента,IDТовара,Количество,Сумма,Отпущено) Values (:a,:b,:c,:d,:e)",
            {request, product, quantity, sum, issued});
}

int64_t DocumentTest::AddReceipt(TDateTime created, int archived, const AnsiString& number)
{
    return w->Exec("Insert Into Documents (Дата_создания,№_заказа,Тип_документа,Вид_оплаты,Имя_поставщика,Через_кого,"
                   "Архив) Values (:a,:b,'Накладная','Наличный расчет','Поставщик','Курьер',:c)",
                   {created, number, archived});
}

int64_t DocumentTest::AddIssue(TDateTime created, int archived)
{
    return w->Exec("Insert Into Otpusk (Дата_создания,Получатель,Через_кого,Заказчик,№_заказа,Архив) "
                   "Values (:a,'Получатель','Курьер','Заказчик','7',:b)",
                   {created, archived});
}

int64_t DocumentTest::AddAct(TDateTime created, int archived, const AnsiString& reason)
{
    return w->Exec("Insert Into Akt (Дата_создания,Причина,Архив) Values (:a,:b,:c)", {created, reason, archived});
}

void DocumentTest::AddLineOf(const char* table, int64_t document, int64_t product, double quantity, int archived)
{
    w->Exec(AnsiString("Insert Into ") + table + " (IDДокумента,IDТовара,Количество,Архив) Values (:a,:b,:c,:d)",
            {document, product, quantity, archived});
}

void DocumentTest::InJournal(const std::function<void()>& script)
{
    d->ExpectModal(Form4, [&] {
        script();
        if (d->IsShowing(Form4))
            d->Click(Form4->Button8);
    });
    d->Run([&] { d->Click(Form1->Button7); });
}

void DocumentTest::EveryStepFails(const std::function<void()>& attempt, const AnsiString& told)
{
    const std::string before = w->Snapshot();
    int failAt = 1;
    for (; failAt < 200; ++failAt) {
        SCOPED_TRACE("failure injected at statement " + std::to_string(failAt));
        d->ClearMessages();
        DbFaults::FailStatement(failAt);
        attempt();
        DbFaults::Clear();
        // Landed: every statement of the operation ran. A fault after it (reloading a list)
        // reaches the error dialog and changes nothing written.
        if (w->Snapshot() != before) {
            d->TakeErrors();
            break;
        }
        ASSERT_FALSE(d->MessageTexts().empty()) << "the user was not told";
        EXPECT_EQ(d->MessageTexts().back().substr(0, told.size()), told);
        EXPECT_TRUE(d->Errors().empty());
    }
    EXPECT_GT(failAt, 2) << "the operation ran fewer statements than expected";
    EXPECT_LT(failAt, 200);
}
