#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Unit2.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/StdCtrls.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/output/rpPreviewForm.h"
#include "report/output/rpPreviewPages.h"

#include <map>

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
    const int64_t archived = AddOrder("9", "Выдан", 1);
    AddRequestLine(archived, paint, 100, 100, 10000);
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

void PrintTest::InBuilder(const std::function<void()>& script)
{
    d->ExpectModal(Form9, [&] {
        script();
        if (d->IsShowing(Form9))
            d->Click(Form9->Button3);
    });
    d->Run([&] { d->Menu(Form1->N21); });
}

AnsiString PrintTest::BuilderFigure(TRadioButton* TForm9::*kind, const AnsiString& name, const char* column)
{
    AnsiString figure = "(not listed)";
    InBuilder([&] {
        d->Choose(Form9->*kind);
        w->Exec("Update Products Set V='V'");
        Print([&] { d->Click(Form9->Button2); });
        const std::vector<AnsiString> names = Column(Form1->ADOQuery7, "Наименование");
        const auto at = std::find(names.begin(), names.end(), name);
        if (at != names.end())
            figure = Column(Form1->ADOQuery7, column)[size_t(at - names.begin())];
    });
    return figure;
}

AnsiString PrintTest::PrintedCell(TrpReport* report, const AnsiString& key, const AnsiString& keyText,
                                  const AnsiString& cell)
{
    // The template's memos by their texts.
    AnsiString keyMemo, cellMemo;
    for (TrpComponent* o : report->GetPages(0)->GetAllObjects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(o)) {
            const AnsiString text = TrimRight(m->GetMemo()->GetText());
            if (text == key)
                keyMemo = m->GetName();
            if (text == cell)
                cellMemo = m->GetName();
        }
    if (keyMemo.empty() || cellMemo.empty())
        return "(no memo " + (keyMemo.empty() ? key : cell) + ")";
    auto* pages = dynamic_cast<TrpPreviewPages*>(report->GetPreviewPages());
    if (!pages)
        return "(no pages)";
    // Each printed band holds one copy of each of its memos.
    for (int p = 0; p < pages->GetCount(); ++p) {
        std::map<TrpComponent*, AnsiString> keys, cells;
        for (TrpComponent* o : pages->GetPage(p)->GetAllObjects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o)) {
                const AnsiString source = pages->Dictionary().GetSourceName(m->GetName());
                const auto from = [&](const AnsiString& name) {
                    return m->GetName() == name || source.ends_with("." + name);
                };
                if (from(keyMemo))
                    keys[m->GetParent()] = TrimRight(m->GetText());
                if (from(cellMemo))
                    cells[m->GetParent()] = TrimRight(m->GetText());
            }
        for (const auto& [band, text] : keys)
            if (text == keyText && cells.count(band))
                return cells[band];
    }
    return "(no row)";
}

PrintTest::TCardFigures PrintTest::CardFigures(int64_t product)
{
    Form1->RefreshGoodsGrid();
    const std::vector<AnsiString> ids = Column(Form1->ADOQuery1, "ID");
    const auto at = std::find(ids.begin(), ids.end(), IntToStr(product));
    if (at == ids.end()) {
        ADD_FAILURE() << "product " << product << " is not in the main grid";
        return {};
    }
    d->ClickRow(Form1->DBGrid1, int(at - ids.begin()));
    TCardFigures f;
    d->ExpectModal(Form2, [&] {
        f = {Form2->Edit7->GetText(), Form2->Edit9->GetText(), Form2->Edit6->GetText(), Form2->Edit4->GetText(),
             Form2->Edit5->GetText()};
        d->Click(Form2->Button6);
    });
    d->Run([&] { d->Click(Form1->Button3); });
    return f;
}
