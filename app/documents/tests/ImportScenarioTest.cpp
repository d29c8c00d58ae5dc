// The order-request import from the main window's menu and from the document window:
// existing and missing goods, the group "Импорт", figures, and files that are refused.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Import.h"
#include "app/documents/Statements.h"
#include "app/documents/Unit11.h"
#include "app/documents/Unit3.h"
#include "app/shell/Unit1.h"
#include "platform/db/ADODB.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"

#include <fstream>

namespace {

class ImportTest : public DocumentTest {
protected:
    AnsiString WriteFile(const OrderRequestFile& f, const char* name = "order.sklad")
    {
        const std::vector<uint8_t> bytes = WriteOrderRequest(f);
        return WriteBytes(bytes, name);
    }
    AnsiString WriteBytes(const std::vector<uint8_t>& bytes, const char* name)
    {
        const AnsiString path = w->Dir() + name;
        std::ofstream out(PathToSystem(path), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    static OrderRequestFile Order()
    {
        OrderRequestFile f;
        f.Magic = OrderRequestFile::kMagic;
        f.Customer = "Иванов 'мл.'";
        f.DocumentNumber = "З-17";
        f.DueDate = "15.03.2027";
        f.Records.push_back({"", "Болт", 0.1f, "шт", 33.333f});   // known goods
        f.Records.push_back({"", "Шуруп", 3.0f, "шт", 33.333f});  // not in the warehouse
        return f;
    }
    // Runs the menu command on `path`, answering the question; `window` runs in the shown window.
    void Import(const AnsiString& path, TModalResult answer, const std::function<void()>& window)
    {
        d->AnswerFileDialog(path);
        d->AnswerMessage("Заносить несуществующие товары на склад?", answer);
        d->ExpectModal(Form3, [&] {
            window();
            if (d->IsShowing(Form3)) {
                d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
                d->Click(Form3->Button6);
            }
        });
        d->Run([] { Form1->N1Click(nullptr); });
    }
    double Line(const char* column, const char* name)
    {
        return w->Scalar(AnsiString("Select ") + column + " From TempStructureDocuments Where Наименование=:n", {name})
            .AsDouble();
    }
};

TEST_F(ImportTest, KnownAndMissingGoodsBecomeLinesOfANewRequest)
{
    StartOnWarehouse();
    TProductSeed bolt = Product("Болт", "Склад", 10, 1);
    bolt.Brand = "М8";
    w->AddProduct(bolt);
    const AnsiString path = WriteFile(Order());
    Import(path, mrYes, [&] {
        EXPECT_EQ(Form3->Mode(), TDocumentMode::NewRequest);
        EXPECT_EQ(Form3->ComboBox5->GetText(), "Иванов 'мл.'");
        EXPECT_EQ(Form3->ComboBox6->GetText(), "З-17");
        EXPECT_EQ(Form3->ComboBox2->GetText(), "-");
        EXPECT_DOUBLE_EQ(Form3->DateTimePicker2->GetDateTime(), double(EncodeDate(2027, 3, 15)));
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2);
    });
    // The single 0.1 is the 0.1 its writer meant, in Максимум too; the price is rounded to
    // cents first.
    EXPECT_DOUBLE_EQ(Line("Количество", "Болт"), 0.1);
    EXPECT_EQ(FloatToStr(Line("Максимум", "Болт")), "0,1");
    EXPECT_DOUBLE_EQ(Line("Цена", "Шуруп"), 33.33);
    EXPECT_DOUBLE_EQ(Line("Сумма", "Шуруп"), 99.99);
    EXPECT_DOUBLE_EQ(Line("Сумма_с_НДС", "Шуруп"), 99.99);
    EXPECT_EQ(w->Scalar("Select Марка From TempStructureDocuments Where Наименование='Болт'").AsString(), "М8");
    EXPECT_EQ(w->Scalar("Select Группа From Products Where Наименование='Шуруп'").AsString(), "Импорт");
    EXPECT_EQ(w->Scalar("Select Имя_поставщика From Products Where Наименование='Шуруп'").AsString(), "Иванов 'мл.'");
    EXPECT_EQ(w->Scalar("Select IDName From Groups Where NameGroup='Импорт'").AsInteger(), w->RootGroupId());
    bool inTree = false;
    for (int i = 0; i < Form1->TreeView1->GetItems()->Count(); ++i)
        inTree = inTree || Form1->TreeView1->GetItems()->Item(i)->GetText() == "Импорт";
    EXPECT_TRUE(inTree);

    // A second import finds the group and the goods it made.
    Import(path, mrYes, [&] { EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups Where NameGroup='Импорт'").AsInteger(), 1);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Наименование='Шуруп'").AsInteger(), 1);
}

TEST_F(ImportTest, NoLeavesMissingGoodsOutAndAnotherUnitIsOtherGoods)
{
    StartOnWarehouse();
    w->AddProduct(Product("Шуруп", "Склад", 10, 1));  // unit "шт" ...
    OrderRequestFile f = Order();
    f.Records[1].UnitName = "кг";  // ... the file asks for kilograms
    const AnsiString path = WriteFile(f);
    Import(path, mrNo, [&] { EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 0); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups Where NameGroup='Импорт'").AsInteger(), 0);
    Import(path, mrYes, [&] { EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Наименование='Шуруп'").AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Наименование='Шуруп' And Единица_измерения='кг'")
                  .AsInteger(), 1);
}

// Goods whose names differ only in case are two cards: each record takes the one spelt as the
// file spells it, whichever was made first; a name spelt like neither takes the first.
TEST_F(ImportTest, ARecordTakesTheGoodsSpeltAsTheFileSpellsThem)
{
    StartOnWarehouse();
    const int64_t upper = w->AddProduct(Product("БОЛТ", "Склад", 10, 1));
    const int64_t lower = w->AddProduct(Product("болт", "Склад", 10, 1));
    OrderRequestFile f = Order();
    f.Records = {{"", "болт", 1, "шт", 1}, {"", "БОЛТ", 2, "шт", 1}, {"", "Болт", 3, "шт", 1}};
    Import(WriteFile(f), mrNo, [&] { EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 3); });
    std::vector<int64_t> products;
    OpenSql(Form1->ADOQuery2, "Select IDТовара From TempStructureDocuments Order By ID");
    for (Form1->ADOQuery2->First(); !Form1->ADOQuery2->Eof(); Form1->ADOQuery2->Next())
        products.push_back(Form1->ADOQuery2->Fields().Fields(0)->AsLargeInt());
    EXPECT_EQ(products, (std::vector<int64_t>{lower, upper, upper}));
}

TEST_F(ImportTest, ARefusedFileChangesNothingAndSaysWhy)
{
    StartOnWarehouse();
    w->AddProduct(Product("Болт", "Склад", 10, 1));
    std::vector<uint8_t> good = WriteOrderRequest(Order());
    std::vector<uint8_t> version = good;
    version[0] = 1;
    std::vector<uint8_t> magic = good;
    magic[4] = 0;
    OrderRequestFile badDate = Order();
    badDate.DueDate = "завтра";
    struct Case {
        const char* why;
        std::vector<uint8_t> bytes;
        AnsiString message;  // "" = nothing said
    };
    const Case cases[] = {
        {"a version above 0", version, "Версия не поддерживается"},
        {"another magic", magic, "Не поддерживаемый файл"},
        {"an empty file", {}, "Не поддерживаемый файл"},
        {"cut inside the second record", {good.begin(), good.end() - 100}, "Файл заявки"},
        {"a due date that is no date", WriteOrderRequest(badDate), "Файл заявки"},
        {"no records at all", WriteOrderRequest([] { auto f = Order(); f.Records.clear(); return f; }()), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const AnsiString path = WriteBytes(c.bytes, "bad.sklad");
        const std::string before = w->Snapshot();
        d->ClearMessages();
        d->AnswerFileDialog(path);
        d->Run([] { Form1->N1Click(nullptr); });
        EXPECT_EQ(w->Snapshot(), before);
        if (c.message.empty()) {
            EXPECT_TRUE(d->MessageTexts().empty());
        } else {
            ASSERT_EQ(d->MessageTexts().size(), 1u) << "no question before a refused file";
            EXPECT_EQ(d->MessageTexts()[0].substr(0, c.message.size()), c.message);
        }
    }
    EXPECT_TRUE(d->Modals().empty());
}

TEST_F(ImportTest, ImportIsAllOrNothingUnderFaults)
{
    StartOnWarehouse();
    w->AddProduct(Product("Болт", "Склад", 10, 1));
    const AnsiString path = WriteFile(Order());
    d->Run([] { Form3->PrepareNew(DocumentKind::Request); });
    const std::string before = w->Snapshot();
    int failAt = 1;
    for (; failAt < 100; ++failAt) {
        SCOPED_TRACE("failure injected at statement " + std::to_string(failAt));
        d->ClearMessages();
        d->AnswerMessage("Заносить несуществующие товары на склад?", mrYes);
        DbFaults::FailStatement(failAt);
        d->Run([&] { Form1->ImportOrderRequest(path, TImportTarget::EnteredRequest); });
        DbFaults::Clear();
        if (w->Snapshot() != before) {
            d->TakeErrors();  // a fault after the import landed, while the lines were shown again
            break;
        }
        EXPECT_TRUE(d->TakeErrors().empty());
        ASSERT_FALSE(d->MessageTexts().empty());
        EXPECT_EQ(d->MessageTexts().back().rfind("Заявка из файла не загружена.", 0), 0u) << d->MessageTexts().back();
    }
    EXPECT_GT(failAt, 3);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products").AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From TempStructureDocuments").AsInteger(), 2);
}

TEST_F(ImportTest, ImportButtonAddsToTheRequestBeingEnteredAndKeepsItsHeader)
{
    StartOnWarehouse();
    w->AddProduct(Product("Болт", "Склад", 10, 1));
    const AnsiString path = WriteFile(Order());
    d->ExpectModal(Form3, [&] {
        d->Type(Form3->ComboBox2, "Цех");
        d->Type(Form3->ComboBox5, "Петров");
        AddLine(Product("Болт", "Склад", 10, 1), 2);
        d->AnswerFileDialog(path);
        d->AnswerMessage("Заносить несуществующие товары на склад?", mrNo);
        d->Click(Form3->ImportBtn);
        EXPECT_EQ(Form3->ComboBox2->GetText(), "Цех");
        EXPECT_EQ(Form3->ComboBox5->GetText(), "Петров");
        EXPECT_EQ(Form3->ComboBox3->GetText(), "-");
        EXPECT_EQ(Form1->ADOQuery4->RecordCount(), 2);
        d->ExpectModal(Form11, [&] { d->Click(Form11->Button1); });
        d->Click(Form3->Button6);
    });
    d->Run([&] { d->Click(Form1->Button6); });
}

}  // namespace
