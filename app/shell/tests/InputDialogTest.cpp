// The input dialog's catalogue jobs: subgroups, renaming, moving goods, the article, the VAT rate.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Unit2.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit5.h"
#include "platform/db/DbFaults.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"

namespace {

AnsiString Children(TTreeNode* node)
{
    AnsiString s;
    for (int i = 0; i < node->Count(); ++i)
        s += (i ? " " : "") + node->Item(i)->GetText();
    return s;
}

AnsiString GoodsNames(TADOQuery* q)
{
    AnsiString s;
    for (q->First(); !q->Eof(); q->Next())
        s += (s.empty() ? "" : " ") + q->FieldByName("Наименование")->AsString();
    return s;
}

class InputDialogTest : public ShellTest {
protected:
    // Склад
    //   Краски
    //     Эмали      (ПФ-115, НЦ-132)
    //   Крепёж       (Болт)
    void Seed()
    {
        const int root = w->RootGroupId();
        const int paints = w->AddGroup("Краски", root);
        w->AddGroup("Эмали", paints);
        w->AddGroup("Крепёж", root);
        w->AddProduct(Product("ПФ-115", "Эмали", 5, 410));
        w->AddProduct(Product("НЦ-132", "Эмали", 1, 90));
        w->AddProduct(Product("Болт", "Крепёж", 7, 12.5));
    }
    void Select(const AnsiString& text) { d->ChooseNode(Form1->TreeView1, text); }
    TTreeNode* Node(const AnsiString& text)
    {
        for (int i = 0; i < Form1->TreeView1->GetItems()->Count(); ++i)
            if (Form1->TreeView1->GetItems()->Item(i)->GetText() == text)
                return Form1->TreeView1->GetItems()->Item(i);
        return nullptr;
    }
    // Types `text` and presses OK; returns whether the dialog is still open.
    bool TypeAndOk(const AnsiString& text)
    {
        d->Type(Form5->Edit1, text);
        d->Click(Form5->Button1);
        return d->IsShowing(Form5);
    }
};

// ---------------------------------------------------------------- add a subgroup

TEST_F(InputDialogTest, ANewSubgroupComesFirstUnderItsParentAndIsSelected)
{
    Seed();
    StartOnWarehouse();
    Select("Краски");
    d->ExpectModal(Form5, [&] { EXPECT_FALSE(TypeAndOk("Грунты 'ГФ'")); });
    d->Run([&] { d->Menu(Form1->N2); });
    TTreeNode* parent = Node("Краски");
    EXPECT_EQ(Children(parent), "Грунты 'ГФ' Эмали");
    ASSERT_NE(Form1->TreeView1->GetSelected(), nullptr);
    EXPECT_EQ(Form1->TreeView1->GetSelected()->GetText(), "Грунты 'ГФ'");
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "") << "the new group has no goods yet";
    EXPECT_EQ(w->Scalar("Select IDName From Groups Where NameGroup=:n", {"Грунты 'ГФ'"}).AsInteger(),
              w->Scalar("Select ID From Groups Where NameGroup='Краски'").AsInteger());
}

struct RefusedNameCase {
    const char* why;
    const char* typed;
    const char* message;
};

const RefusedNameCase kRefusedSubgroups[] = {
    {"a name used on another branch", "Крепёж", "Группа с таким именем уже существует"},
    {"the same name in other letter case", "КРЕПЁЖ", "Группа с таким именем уже существует"},
    {"the parent's own name", "Краски", "Группа с таким именем уже существует"},
    {"an empty box", "", "Поле не должно быть пустым"},
    {"a line break", "Эмали\r\nновые",
     "Текст \"Эмали\r\nновые\" содержит управляющие символы (перевод строки, табуляцию и т. п.): "
     "в названии их быть не может."},
    {"a tab", "Лаки\t2",
     "Текст \"Лаки\t2\" содержит управляющие символы (перевод строки, табуляцию и т. п.): "
     "в названии их быть не может."},
};

TEST_F(InputDialogTest, RefusedSubgroupNamesKeepTheDialogOpenAndWriteNothing)
{
    Seed();
    StartOnWarehouse();
    Select("Краски");
    const std::string before = w->Snapshot();
    d->ExpectModal(Form5, [&] {
        for (const auto& c : kRefusedSubgroups) {
            SCOPED_TRACE(c.why);
            d->ClearMessages();
            EXPECT_TRUE(TypeAndOk(c.typed));
            EXPECT_EQ(d->MessageTexts(), (std::vector<AnsiString>{c.message}));
            EXPECT_EQ(Form5->Edit1->GetText(), c.typed) << "the input stays for correcting";
        }
        d->CloseForm(Form5);
    });
    d->Run([&] { d->Menu(Form1->N2); });
    EXPECT_EQ(w->Snapshot(), before);
    EXPECT_EQ(Children(Node("Краски")), "Эмали");
}

// ---------------------------------------------------------------- rename

TEST_F(InputDialogTest, RenamingALeafRepointsItsGoodsAndReloadsTheGrid)
{
    Seed();
    StartOnWarehouse();
    Select("Эмали");
    d->ExpectModal(Form5, [&] {
        EXPECT_TRUE(TypeAndOk("Эмали")) << "the unchanged name is refused";
        EXPECT_EQ(d->MessageTexts().back(), "Группа с таким именем уже существует");
        EXPECT_FALSE(TypeAndOk("Эмали д'Арт"));
    });
    d->Run([&] { d->Menu(Form1->N10); });
    EXPECT_EQ(Form1->TreeView1->GetSelected()->GetText(), "Эмали д'Арт");
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Группа=:g", {"Эмали д'Арт"}).AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups Where NameGroup='Эмали'").AsInteger(), 0);
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "ПФ-115 НЦ-132");
    // The grid follows the new name from now on.
    Select("Крепёж");
    Select("Эмали д'Арт");
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "ПФ-115 НЦ-132");
    // A quote in the old name is no trouble either.
    d->ExpectModal(Form5, [&] { EXPECT_FALSE(TypeAndOk("Эмали")); });
    d->Run([&] { d->Menu(Form1->N10); });
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Группа='Эмали'").AsInteger(), 2);
}

TEST_F(InputDialogTest, RenamingAGroupWithSubgroupsLeavesTheGridAndTheSubgroupGoods)
{
    Seed();
    StartOnWarehouse();
    Select("Краски");
    const AnsiString shown = GoodsNames(Form1->ADOQuery1);
    d->ExpectModal(Form5, [&] { EXPECT_FALSE(TypeAndOk("Лакокраска")); });
    d->Run([&] { d->Menu(Form1->N10); });
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), shown);
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Группа='Эмали'").AsInteger(), 2);
    EXPECT_EQ(w->Scalar("Select Count(*) From Groups Where NameGroup='Лакокраска'").AsInteger(), 1);
}

TEST_F(InputDialogTest, ARenameBrokenAtAnyStatementChangesNothingAndSaysWhy)
{
    Seed();
    StartOnWarehouse();
    Select("Эмали");
    const std::string before = w->Snapshot();
    for (int failAt = 1;; ++failAt) {
        SCOPED_TRACE("failure injected at statement " + std::to_string(failAt));
        bool open = false;
        d->ClearMessages();
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, "Эмали новые");
            DbFaults::FailStatement(failAt);
            d->Click(Form5->Button1);
            DbFaults::Clear();
            open = d->IsShowing(Form5);
            if (open)
                d->CloseForm(Form5);
        });
        d->Run([&] { d->Menu(Form1->N10); });
        const std::vector<AnsiString> errors = d->TakeErrors();
        if (!open)
            break;  // every statement ran
        EXPECT_EQ(w->Snapshot(), before);
        EXPECT_FALSE(d->MessageTexts().empty() && errors.empty()) << "the user is told";
        EXPECT_EQ(Form1->TreeView1->GetSelected()->GetText(), "Эмали");
        ASSERT_LT(failAt, 20);
    }
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Группа='Эмали новые'").AsInteger(), 2);
}

// A subgroup added or a group renamed has landed, and the goods cannot be read again right
// after (a disk error, a lock): the dialog closes, the user is told that the change was saved
// and the list was not (no bare database error), and the grid shows no figures from before.
TEST_F(InputDialogTest, AGroupChangedWhileTheGoodsCannotBeReadIsToldAndClosed)
{
    const struct {
        const char* why;
        const char* group;
        TMenuItem* TForm1::*menu;
        const char* name;
        const char* sql;  // counts 1 once the change landed
    } cases[] = {
        {"a subgroup added", "Краски", &TForm1::N2, "Грунты", "Select Count(*) From Groups Where NameGroup='Грунты'"},
        {"a leaf renamed", "Крепёж", &TForm1::N10, "Метизы", "Select Count(*) From Products Where Группа='Метизы'"},
    };
    Seed();
    StartOnWarehouse();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Select(c.group);
        // OK with the n-th statement failing, n = 1, 2, ..., until the change lands and the
        // dialog closes; the statement that fails then is one of the reading of the goods.
        std::vector<AnsiString> told, errors;
        d->ExpectModal(Form5, [&] {
            d->Type(Form5->Edit1, c.name);
            for (int n = 1; d->IsShowing(Form5) && n < 40; ++n) {
                d->ClearMessages();
                d->TakeErrors();
                DbFaults::FailStatement(n);
                d->Click(Form5->Button1);
                DbFaults::Clear();
                told = d->MessageTexts();
                errors = d->TakeErrors();
            }
            EXPECT_FALSE(d->IsShowing(Form5));
            TADOQuery* grid = Form1->ADOQuery1;
            EXPECT_EQ(grid->Active() ? GoodsNames(grid) : AnsiString(), "") << "no goods from before";
        });
        d->Run([&] { d->Menu(Form1->*c.menu); });
        EXPECT_EQ(w->Scalar(c.sql).AsInteger(), 1) << "the change landed";
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].substr(0, told[0].find('\n')), "Изменения сохранены, но список товаров не прочитан заново.");
        EXPECT_TRUE(errors.empty());
        ASSERT_NE(Form1->TreeView1->GetSelected(), nullptr);
        EXPECT_EQ(Form1->TreeView1->GetSelected()->GetText(), c.name);
    }
}

// ---------------------------------------------------------------- move and article

TEST_F(InputDialogTest, MovingAProductNeedsAGroupFromTheListAndIgnoresTheEditBox)
{
    Seed();
    StartOnWarehouse();
    Select("Крепёж");
    d->ExpectModal(Form5, [&] {
        EXPECT_TRUE(Form5->ComboBox1->GetVisible());
        d->Type(Form5->ComboBox1, "Эмал");  // typed, not picked
        d->Click(Form5->Button1);
        EXPECT_EQ(d->MessageTexts().back(), "Выберите группу из списка");
        EXPECT_TRUE(d->IsShowing(Form5));
        EXPECT_EQ(Form5->Edit1->GetText(), "");
        d->Select(Form5->ComboBox1, "Эмали");
        d->Click(Form5->Button1);
        EXPECT_FALSE(d->IsShowing(Form5));
    });
    d->Run([&] { d->Click(Form1->Button11); });
    EXPECT_EQ(w->Scalar("Select Группа From Products Where Наименование='Болт'").AsString(), "Эмали");
    EXPECT_EQ(GoodsNames(Form1->ADOQuery1), "") << "the grid reloads without the moved product";
}

// Goods sit only in groups without subgroups: the move offers those, in the tree's order, and
// nothing else, whether the list is opened on a leaf or on the group above it.
TEST_F(InputDialogTest, TheMoveOffersOnlyGroupsWithoutSubgroups)
{
    Seed();
    w->AddGroup("Грунты", w->Scalar("Select ID From Groups Where NameGroup='Краски'").AsInteger());
    StartOnWarehouse();
    for (const char* from : {"Крепёж", "Краски"}) {
        SCOPED_TRACE(from);
        Select(from);
        d->ExpectModal(Form5, [&] {
            std::vector<AnsiString> offered;
            for (int i = 0; i < Form5->ComboBox1->GetItems()->Count(); ++i)
                offered.push_back(Form5->ComboBox1->GetItems()->Strings(i));
            EXPECT_EQ(offered, (std::vector<AnsiString>{"Эмали", "Грунты", "Крепёж"}));
            // A group above others cannot be typed in instead.
            d->Type(Form5->ComboBox1, "Краски");
            d->Click(Form5->Button1);
            EXPECT_EQ(d->MessageTexts().back(), "Выберите группу из списка");
            d->CloseForm(Form5);
        });
        d->Run([&] { d->Click(Form1->Button11); });
    }
    EXPECT_EQ(w->Scalar("Select Count(*) From Products Where Группа='Краски'").AsInteger(), 0);
}

TEST_F(InputDialogTest, TheArticleIsStoredForTheProductUnderTheCursor)
{
    Seed();
    StartOnWarehouse();
    Select("Эмали");
    d->ClickRow(Form1->DBGrid1, 1);
    d->ExpectModal(Form5, [&] {
        EXPECT_EQ(Form5->GetCaption(), "Добавить/изменить артикул");
        EXPECT_TRUE(TypeAndOk("A-7\nБ"));
        EXPECT_NE(d->MessageTexts().back().find("управляющие символы"), AnsiString::npos);
        EXPECT_FALSE(TypeAndOk("A-7'Б"));
    });
    d->Run([] { Form1->Button10Click(nullptr); });
    EXPECT_EQ(w->Scalar("Select № From Products Where Наименование='НЦ-132'").AsString(), "A-7'Б");
    EXPECT_EQ(w->Scalar("Select № From Products Where Наименование='ПФ-115'").AsString(), "");
}

TEST_F(InputDialogTest, ACaptionOfNoJobMakesOkDoNothing)
{
    Seed();
    StartOnWarehouse();
    const std::string before = w->Snapshot();
    d->ExpectModal(Form5, [&] {
        EXPECT_TRUE(TypeAndOk("что-нибудь"));
        EXPECT_TRUE(d->MessageTexts().empty());
        d->CloseForm(Form5);
    });
    d->Run([] {
        Form5->ComboBox1->SetVisible(false);
        Form5->SetJob(TInputJob::None);
        Form5->ShowModal();
    });
    EXPECT_EQ(w->Snapshot(), before);
}

// ---------------------------------------------------------------- VAT

struct VatCase {
    const char* why;
    const char* typed;
    bool stored;
};

const VatCase kVat[] = {
    {"a whole percent", "20", true},
    {"zero is a rate", "0", true},
    {"a percent sign is not a number", "18%", false},
    {"a fraction is not a whole percent", "18,5", false},
    {"a negative rate would lower prices", "-5", false},
    {"more than a hundred percent is still a rate", "101", true},
    {"the largest integer", "2147483647", true},
    {"words", "НДС", false},
    {"too big for an integer", "99999999999", false},
};

TEST_F(InputDialogTest, TheVatDialogStoresOnlyAPercent)
{
    StartOnWarehouse();
    for (const auto& c : kVat) {
        SCOPED_TRACE(c.why);
        w->Exec("Update NDS Set НДС=18");
        Form1->VatRate = 18;
        d->ClearMessages();
        d->ExpectModal(Form5, [&] {
            EXPECT_EQ(Form5->Edit1->GetText(), "18") << "the stored rate is shown";
            const bool open = TypeAndOk(c.typed);
            EXPECT_EQ(open, !c.stored);
            if (open) {
                EXPECT_EQ(d->MessageTexts(), (std::vector<AnsiString>{"Введены ошибочные данные"}));
                EXPECT_EQ(d->Messages().back().Caption, "Повторите ввод");
                EXPECT_EQ(Form5->Edit1->GetText(), c.typed);
                EXPECT_EQ(Form2->VatInputValid, 0);
                d->Type(Form5->Edit1, "18");
                d->CloseForm(Form5);
            }
        });
        d->Run([&] { d->Menu(Form1->N20); });
        const int expected = c.stored ? std::atoi(c.typed) : 18;
        EXPECT_EQ(w->Scalar("Select НДС From NDS").AsInteger(), expected);
        EXPECT_EQ(Form1->VatRate, expected);
        EXPECT_EQ(w->Scalar("Select Count(*) From NDS").AsInteger(), 1);
    }
}

TEST_F(InputDialogTest, TypingOverTheShownVatReplacesItAClickFirstAddsToIt)
{
    // The dialog opens with the focus in the box and the rate selected; the same dialog
    // opens again for each case, so the later ones find the box already focused.
    struct Case {
        const char* why;
        bool click;
        int stored;
    };
    const Case kCases[] = {
        {"typed at once: the new rate", false, 20},
        {"typed at once when the dialog opens again", false, 20},
        {"a click puts the caret after the rate: the digits are added", true, 1820},
        {"the keys select again on the next opening", false, 20},
    };
    StartOnWarehouse();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        w->Exec("Update NDS Set НДС=18");
        d->ExpectModal(Form5, [&] {
            EXPECT_EQ(Form5->Edit1->GetText(), "18");
            EXPECT_EQ(Form5->GetActiveControl(), Form5->Edit1);
            if (c.click) {
                const TPoint at = Form5->Edit1->ClientToScreen({Form5->Edit1->GetWidth() - 2, 4});
                d->PointerDown(at);
                d->PointerUp(at);
            }
            d->Press(Form5->Edit1, "20");
            d->Click(Form5->Button1);
            EXPECT_FALSE(d->IsShowing(Form5));
        });
        d->Run([&] { d->Menu(Form1->N20); });
        EXPECT_EQ(w->Scalar("Select НДС From NDS").AsInteger(), c.stored);
    }
}

TEST_F(InputDialogTest, TheVatDialogCannotBeClosedEmptyAndOkOnEmptyAsksForText)
{
    StartOnWarehouse();
    d->ExpectModal(Form5, [&] {
        EXPECT_TRUE(TypeAndOk(""));
        EXPECT_EQ(d->MessageTexts().back(), "Поле не должно быть пустым");
        d->CloseForm(Form5);
        EXPECT_EQ(d->MessageTexts().back(), "Введены ошибочные данные");
        EXPECT_TRUE(d->IsShowing(Form5));
        d->Type(Form5->Edit1, "10");
        d->CloseForm(Form5);  // the close box stores the value shown
        EXPECT_FALSE(d->IsShowing(Form5));
    });
    d->Run([&] { d->Menu(Form1->N20); });
    EXPECT_EQ(w->Scalar("Select НДС From NDS").AsInteger(), 10);
    EXPECT_EQ(Form1->VatRate, 10);
}

}  // namespace
