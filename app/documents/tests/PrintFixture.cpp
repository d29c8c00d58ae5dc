#include "app/documents/tests/PrintFixture.h"

#include "app/shell/Unit1.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/output/rpPreviewForm.h"

int64_t PrintTest::AddOrder(const AnsiString& number, const AnsiString& state, int archived)
{
    return w->Exec("Insert Into Application (Дата_создания,Дата_сдачи,Получатель,Через_кого,Отпуск_товара,Заказчик,"
                   "№_заказа,Архив) Values (:a,:b,'Получатель','Курьер',:c,'Заказчик',:d,:e)",
                   {Day(2027, 1, 10), Day(2027, 1, 20), state, number, archived});
}

void PrintTest::SeedGoodsAndRequests()
{
    const int root = w->RootGroupId();
    const int fasteners = w->AddGroup("Крепёж", root);
    w->AddGroup("Винты", fasteners);
    w->AddGroup("Краски", root);
    auto product = [&](const char* name, const char* group, double quantity, double price, double min, double max,
                       const char* supplier) {
        TProductSeed p = Product(name, group, quantity, price);
        p.Minimum = min;
        p.Maximum = max;
        p.Supplier = supplier;
        p.Article = AnsiString("A-") + name;
        return w->AddProduct(p);
    };
    bolt = product("Болт", "Крепёж", 10, 2, 5, 8, "Рога");
    screw = product("Винт", "Винты", 1, 3, 4, 20, "О'Нил");
    paint = product("Эмаль", "Краски", 50, 100, 0, 20, "Колор");
    nut = product("Гайка", "Склад", 0, 1, 0, 0, "");
    w->AddSupplier("Рога");
    w->AddSupplier("О'Нил");
    w->AddSupplier("Колор");
    order7 = AddOrder("7", "Не выдавался", 0);
    AddRequestLine(order7, bolt, 4, 0, 8);
    AddRequestLine(order7, screw, 6, 1, 18);
    AddRequestLine(AddOrder("8", "Выдан", 0), paint, 5, 5, 500);
    const int64_t archived = AddOrder("9", "Не выдавался", 1);
    AddRequestLine(archived, paint, 100, 0, 10000);
    w->Exec("Update StructureApplication Set Архив=1 Where IDДокумента=:a", {archived});
}

TrpReport* PrintTest::Shown(TReportFamily family) { return Form1->ChooseTemplate(family); }

std::vector<AnsiString> PrintTest::PreparedTexts(TrpReport* report)
{
    std::vector<AnsiString> texts;
    if (!report)
        return texts;
    TrpCustomPreviewPages* pages = report->GetPreviewPages();
    for (int i = 0; i < pages->GetCount(); ++i) {
        TrpReportPage* page = pages->GetPage(i);
        if (!page)
            continue;
        for (TrpComponent* c : page->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
                texts.push_back(TrimRight(m->GetText()));
    }
    return texts;
}

bool PrintTest::HasText(TrpReport* report, const AnsiString& text)
{
    for (const AnsiString& t : PreparedTexts(report))
        if (t.find(text) != AnsiString::npos)
            return true;
    return false;
}

AnsiString PrintTest::Variable(TrpReport* report, const char* name)
{
    return report ? VarToStr(report->GetVariables()->GetVariable(name)) : AnsiString("(no report)");
}

void PrintTest::Print(const std::function<void()>& command)
{
    d->ExpectModal("TrpPreviewForm", [&] {
        auto* preview = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
        ASSERT_NE(preview, nullptr);
        d->AdvanceTime(1000);  // the report builds on its timer once the window is up
        if (d->IsShowing(preview))
            d->Click(preview->CancelB);
    });
    command();
}

std::vector<AnsiString> PrintTest::Column(TADOQuery* q, const char* field)
{
    std::vector<AnsiString> out;
    for (q->First(); !q->Eof(); q->Next())
        out.push_back(q->FieldByName(field)->AsString());
    q->First();
    return out;
}
