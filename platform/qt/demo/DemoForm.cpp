#include "platform/qt/demo/DemoForm.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Forms.h"

#include "platform/db/DB.h"
#include "platform/rtl/Cp1251.h"

#include <fstream>
#include <sstream>

namespace {

// A few goods rows held in memory; the grid's fourth column names a field these rows
// lack, so it shows blank.
class TDemoGoods : public TDataSet {
public:
    explicit TDemoGoods(TComponent* owner) : TDataSet(owner) {}

protected:
    void InternalOpen() override
    {
        FieldDefs().Add("№", ftString, 10);
        FieldDefs().Add("Наименование", ftString, 60);
        FieldDefs().Add("Цена", ftFloat, 0);
        const struct {
            const char* article;
            const char* name;
            double price;
        } kRows[] = {
            {"101", "Гвозди 50 мм", 12.5},
            {"102", "Шурупы 30 мм", 8.75},
            {"205", "Молоток", 450},
        };
        for (const auto& row : kRows) {
            Variant* cells = AppendRow();
            cells[0] = AnsiString(row.article);
            cells[1] = AnsiString(row.name);
            cells[2] = row.price;
        }
    }
};

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner) : TForm(owner, TDeferLayout{})
    {
        std::ifstream in(DemoLayoutPath(), std::ios::binary);
        if (!in)
            throw Exception("demo layout not found: " + DemoLayoutPath());
        std::ostringstream text;
        text << in.rdbuf();
        InitLayoutText(Utf8ToAnsi(text.str()));  // layout files are UTF-8 on disk
    }
};

}  // namespace

AnsiString DemoLayoutPath()
{
    return SKLAD_QT_DEMO_DIR "/AllControls.dfm";
}

TForm* CreateDemoForm()
{
    TDemoForm* form = nullptr;
    Application->CreateForm(form);

    auto* tree = form->Bind<TTreeView>("TreeView1");
    TTreeNodes* nodes = tree->GetItems();
    TTreeNode* root = nodes->Add(nullptr, "Склад");
    TTreeNode* tools = nodes->AddChild(root, "Инструмент");
    nodes->AddChild(tools, "Молотки");
    nodes->AddChild(root, "Крепёж");
    tree->FullExpand();

    auto* goods = new TDemoGoods(form);
    goods->SetName("Goods");
    auto* source = new TDataSource(form);
    source->SetName("DataSource1");
    source->SetDataSet(goods);
    form->Bind<TDBGrid>("DBGrid1")->SetDataSource(source);
    goods->Open();
    return form;
}
