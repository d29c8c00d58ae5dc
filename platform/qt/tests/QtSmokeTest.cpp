// Smoke tests of the Qt backend, offscreen: a form with one of each control read from
// its layout file gets widget peers that show the model, follow its changes, report
// user input back as calls on the model, and run modal loops nested on Qt's loop.
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtText.h"
#include "platform/qt/demo/DemoForm.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <QApplication>
#include <QWindow>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

QString U(const char16_t* text)
{
    return QString::fromUtf16(text);
}

class QtSmoke : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_qt";
        static char* argv[] = {name, nullptr};
        QtTestApp();
        static const bool registered = (RegisterGuiClasses(), true);
        (void)registered;
        FBackend = std::make_unique<TQtBackend>(argc, argv);
        CreateApplication();
        Form = CreateDemoForm();
        Form->Show();
    }
    void TearDown() override
    {
        DestroyApplication();
        FBackend.reset();
        QApplication::processEvents();  // widgets deleted later go now
    }

    template <class T>
    T* Model(const char* name) const
    {
        auto* component = dynamic_cast<T*>(Form->FindComponent(name));
        EXPECT_NE(component, nullptr) << name;
        return component;
    }
    template <class W>
    W* Widget(const char* name) const
    {
        TQtControlPeer* peer = QtPeerOf(Model<TControl>(name));
        EXPECT_NE(peer, nullptr) << name << " has no Qt peer";
        W* widget = peer ? qobject_cast<W*>(peer->Widget()) : nullptr;
        EXPECT_NE(widget, nullptr) << name << " has another kind of widget";
        return widget;
    }

    TForm* Form = nullptr;

private:
    std::unique_ptr<TQtBackend> FBackend;
};

QStringList ItemTexts(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

QStringList ItemTexts(const QListWidget& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.item(i)->text();
    return items;
}

// A list or combo box filled one Add at a time gets its items one at a time; whatever way
// its list changes after that, the widget shows the model's list, in the model's order.
TEST_F(QtSmoke, ListsShowTheModelsItemsAfterEveryKindOfChange)
{
    auto* combo = Model<TComboBox>("ComboBox1");
    auto* list = Model<TListBox>("ListBox1");
    struct Change {
        const char* why;
        std::function<void(TStrings&)> apply;
        bool sorted = false;  // the control sorts from this change on
    };
    const Change kChanges[] = {
        {"emptied", [](TStrings& s) { s.Clear(); }},
        {"added one by one", [](TStrings& s) { for (const char* t : {"яблоко", "груша", "слива"}) s.Add(t); }},
        {"inserted at the front", [](TStrings& s) { s.Insert(0, "айва"); }},
        {"inserted in the middle", [](TStrings& s) { s.Insert(2, "вишня"); }},
        {"inserted past the last", [](TStrings& s) { s.Insert(s.Count(), "дыня"); }},
        {"deleted", [](TStrings& s) { s.Delete(1); }},
        {"replaced", [](TStrings& s) { s.Put(0, "инжир"); }},
        {"changed inside one update",
         [](TStrings& s) {
             s.BeginUpdate();
             s.Add("киви");
             s.Insert(0, "лайм");
             s.Delete(3);
             s.EndUpdate();
         }},
        {"sorted, then added where each sorts",
         [](TStrings& s) {
             for (const char* t : {"манго", "абрикос", "манго", "Яблоко", "ананас"})
                 s.Add(t);
         },
         true},
        {"refilled one by one, sorted",
         [](TStrings& s) {
             s.Clear();
             for (int i = 0; i < 60; ++i)
                 s.Add(IntToStr(i * 37 % 60));
         },
         true},
    };
    for (const Change& c : kChanges) {
        SCOPED_TRACE(c.why);
        if (c.sorted) {
            combo->SetSorted(true);
            list->SetSorted(true);
        }
        c.apply(*combo->GetItems());
        c.apply(*list->GetItems());
        QStringList want;
        for (int i = 0; i < combo->GetItems()->Count(); ++i)
            want << ToQString(combo->GetItems()->Get(i));
        EXPECT_EQ(ItemTexts(*Widget<QComboBox>("ComboBox1")), want);
        want.clear();
        for (int i = 0; i < list->GetItems()->Count(); ++i)
            want << ToQString(list->GetItems()->Get(i));
        EXPECT_EQ(ItemTexts(*Widget<QListWidget>("ListBox1")), want);
    }
}

// A memo filled one line at a time gets each new line alone; whatever way its lines or
// text change, the widget shows the model's text.
TEST_F(QtSmoke, MemoShowsTheModelsTextAfterEveryKindOfChange)
{
    auto* memo = Model<TMemo>("Memo1");
    TStrings* lines = memo->GetLines();
    struct Change {
        const char* why;
        std::function<void()> apply;
    };
    const Change kChanges[] = {
        {"emptied", [&] { lines->Clear(); }},
        {"an empty first line", [&] { lines->Add(""); }},
        {"added one by one", [&] { for (const char* t : {"яблоко", "груша", "", "слива"}) lines->Add(t); }},
        {"inserted at the front", [&] { lines->Insert(0, "айва"); }},
        {"inserted past the last", [&] { lines->Insert(lines->Count(), "дыня"); }},
        {"deleted", [&] { lines->Delete(1); }},
        {"replaced", [&] { lines->Put(0, "инжир"); }},
        {"text set whole, with a final break", [&] { memo->SetText("киви\r\nлайм\r\n"); }},
        {"added after that text", [&] { lines->Add("манго"); }},
        {"changed inside one update",
         [&] {
             lines->BeginUpdate();
             lines->Add("нектарин");
             lines->Insert(0, "орех");
             lines->Delete(2);
             lines->EndUpdate();
         }},
        {"typed by the user, then added to",
         [&] {
             memo->UserTyped(memo->GetText() + "\r\nперсик");
             lines->Add("рябина");
         }},
        {"upper case, then added to",
         [&] {
             memo->SetCharCase(ecUpperCase);
             lines->Add("смородина");
         }},
        {"many added", [&] { for (int i = 0; i < 200; ++i) lines->Add("Строка " + IntToStr(i)); }},
    };
    auto* w = Widget<QPlainTextEdit>("Memo1");
    for (const Change& c : kChanges) {
        SCOPED_TRACE(c.why);
        c.apply();
        QString want = ToQString(memo->GetText());
        want.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(w->toPlainText(), want);
        EXPECT_FALSE(w->document()->isUndoAvailable()) << "the program's text is no typing to undo";
    }
}

// Lines added one at a time show as the memo's whole text shown at once does, whatever
// breaks the lines hold: a lone CR ending a line meets the next line's break.
TEST_F(QtSmoke, MemoShowsLinesAddedOneByOneAsItsWholeText)
{
    auto* memo = Model<TMemo>("Memo1");
    auto* w = Widget<QPlainTextEdit>("Memo1");
    struct Lines {
        const char* why;
        std::vector<const char*> lines;
    };
    const Lines kLines[] = {
        {"a line ending with a lone CR, then another", {"a\r", "b"}},
        {"a lone CR as the first line, then more", {"\r", "x", "y\r", ""}},
        {"a line feed inside a line", {"a\nb", "c"}},
        {"a line ending with CR LF", {"a\r\n", "b"}},
        {"a lone CR inside a line", {"a\rb", "c"}},
        {"empty lines", {"", "", "c"}},
    };
    for (const Lines& c : kLines) {
        SCOPED_TRACE(c.why);
        memo->GetLines()->Clear();
        for (const char* line : c.lines)
            memo->GetLines()->Add(line);
        QPlainTextEdit whole;
        QString text = ToQString(memo->GetText());
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        whole.setPlainText(text);
        EXPECT_EQ(w->document()->blockCount(), whole.document()->blockCount());
        EXPECT_EQ(w->toPlainText(), whole.toPlainText());
    }
}

QStringList TreeRows(const QTreeWidgetItem* item, int level = 0)
{
    QStringList rows;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        rows << QString(level * 2, QLatin1Char(' ')) + child->text(0) +
                    (child->isExpanded() ? QStringLiteral(" +") : QString());
        rows << TreeRows(child, level + 1);
    }
    return rows;
}

// A tree filled one node at a time gets each node alone, in its place; whatever way the
// nodes change, the widget shows the model's nodes in its order, with its expansion and
// its selection.
TEST_F(QtSmoke, TreeShowsTheModelsNodesAfterEveryKindOfChange)
{
    auto* tree = Model<TTreeView>("TreeView1");
    TTreeNodes* nodes = tree->GetItems();
    const auto node = [&](const char* text) {
        for (TTreeNode* n : nodes->List())
            if (n->GetText() == text)
                return n;
        ADD_FAILURE() << "no node " << text;
        return static_cast<TTreeNode*>(nullptr);
    };
    struct Change {
        const char* why;
        std::function<void()> apply;
    };
    const Change kChanges[] = {
        {"selected before the changes", [&] { tree->SetSelected(node("Молотки")); }},
        {"a last top-level node", [&] { nodes->Add(nullptr, "Архив"); }},
        {"last children of an expanded node",
         [&] { for (const char* t : {"Гвозди", "Шурупы"}) nodes->AddChild(node("Крепёж"), t); }},
        {"children of a collapsed node", [&] { for (const char* t : {"2024", "2025"}) nodes->AddChild(node("Архив"), t); }},
        {"a first child", [&] { nodes->AddChildFirst(node("Крепёж"), "Болты"); }},
        {"a first top-level node", [&] { nodes->AddChildFirst(nullptr, "Входящие"); }},
        {"a sibling before a node", [&] { nodes->Insert(node("Шурупы"), "Дюбели"); }},
        {"a node expanded before it has children, then given one",
         [&] {
             node("Дюбели")->Expand(false);
             nodes->AddChild(node("Дюбели"), "Пластиковые");
         }},
        {"a node expanded", [&] { node("Архив")->Expand(false); }},
        {"a node collapsed", [&] { node("Инструмент")->Collapse(false); }},
        {"a node renamed", [&] { node("Гвозди")->SetText("Гвозди строительные"); }},
        {"a node selected", [&] { tree->SetSelected(node("2025")); }},
        {"the selected node deleted", [&] { nodes->Delete(node("2025")); }},
        {"a subtree deleted", [&] { nodes->Delete(node("Инструмент")); }},
        {"added inside one update",
         [&] {
             nodes->BeginUpdate();
             nodes->AddChild(node("Архив"), "2026");
             nodes->AddChildFirst(nullptr, "Исходящие");
             nodes->EndUpdate();
         }},
        {"cleared", [&] { nodes->Clear(); }},
        {"filled again one by one",
         [&] {
             TTreeNode* root = nodes->Add(nullptr, "Склад");
             for (int i = 0; i < 50; ++i)
                 nodes->AddChild(i % 10 ? root->GetLastChild() : root, "Группа " + IntToStr(i));
             root->Expand(false);
             tree->SetSelected(root->GetLastChild());
         }},
    };
    auto* w = Widget<QTreeWidget>("TreeView1");
    for (const Change& c : kChanges) {
        SCOPED_TRACE(c.why);
        c.apply();
        QStringList want;
        for (TTreeNode* n : nodes->List())
            want << QString(n->Level() * 2, QLatin1Char(' ')) + ToQString(n->GetText()) +
                        (n->GetExpanded() ? QStringLiteral(" +") : QString());
        EXPECT_EQ(TreeRows(w->invisibleRootItem()), want);
        const QTreeWidgetItem* current = w->currentItem();
        EXPECT_EQ(current ? current->text(0) : QString(),
                  tree->GetSelected() ? ToQString(tree->GetSelected()->GetText()) : QString());
    }
}

TEST_F(QtSmoke, PeersShowTheLayoutsCaptionsItemsAndChecks)
{
    struct Caption {
        const char* why;
        const char* control;
        const char16_t* text;
    };
    const Caption kCaptions[] = {
        {"label caption", "Label1", u"Наименование:"},
        {"edit text", "Edit1", u"Гвозди"},
        {"button caption", "Button1", u"Просмотр"},
        {"check box caption", "CheckBox1", u"С НДС"},
        {"radio caption", "RadioButton2", u"Архив"},
        {"group box title", "GroupBox1", u"Режим"},
    };
    for (const Caption& c : kCaptions) {
        SCOPED_TRACE(c.why);
        TQtControlPeer* peer = QtPeerOf(Model<TControl>(c.control));
        ASSERT_NE(peer, nullptr);
        QWidget* w = peer->Widget();
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(w)) shown = label->text();
        else if (auto* edit = qobject_cast<QLineEdit*>(w)) shown = edit->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) shown = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(w)) shown = box->title();
        EXPECT_EQ(shown, U(c.text));
    }

    EXPECT_EQ(QtPeerOf(Form)->Widget()->windowTitle(), U(u"Склад: все элементы"));
    EXPECT_TRUE(QtPeerOf(Form)->Widget()->isVisible());

    EXPECT_TRUE(Widget<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_TRUE(Widget<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_FALSE(Widget<QRadioButton>("RadioButton2")->isChecked());

    const QStringList units{U(u"штука"), U(u"килограмм"), U(u"метр")};
    EXPECT_EQ(ItemTexts(*Widget<QComboBox>("ComboBox1")), units);
    EXPECT_FALSE(Widget<QComboBox>("ComboBox1")->isEditable()) << "a drop-down list is not editable";
    EXPECT_EQ(ItemTexts(*Widget<QListWidget>("ListBox1")), (QStringList{U(u"Приход"), U(u"Заявка"), U(u"Списание")}));
    EXPECT_EQ(Widget<QPlainTextEdit>("Memo1")->toPlainText(), U(u"Первая строка\nВторая строка"));
    EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 40);

    auto* tree = Widget<QTreeWidget>("TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), U(u"Склад"));
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), U(u"Крепёж"));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());

    // The main menu, with short-cuts shown beside the captions.
    QMenuBar* bar = QtPeerOf(Form)->Widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), U(u"Файл"));
    QMenu* file = bar->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->actions().size(), 2);
    EXPECT_EQ(file->actions()[0]->text(), U(u"Создать новый склад\tCtrl+N"));
}

TEST_F(QtSmoke, EveryWidgetSitsWhereTheModelsLayoutPutIt)
{
    // The model aligns (tool bar on top, status bar at the bottom, side panel, splitter,
    // client area); the widgets only take the bounds. Moving the splitter moves them all.
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int i = 0; i < Form->ComponentCount(); ++i) {
            auto* control = dynamic_cast<TControl*>(Form->Components(i));
            if (!control || control == Form)
                continue;
            SCOPED_TRACE(control->Name());
            TQtControlPeer* peer = QtPeerOf(control);
            ASSERT_NE(peer, nullptr);
            QRect shown = peer->Widget()->geometry();
            // An auto-sized label may be wider, to show its whole caption in this font.
            if (auto* label = dynamic_cast<TLabel*>(control); label && label->GetAutoSize() && shown.width() > control->GetWidth())
                shown.setWidth(control->GetWidth());
            EXPECT_EQ(shown, QRect(control->GetLeft(), control->GetTop(), control->GetWidth(), control->GetHeight()));
        }
    };
    check("as laid out");
    ASSERT_TRUE(Model<TSplitter>("Splitter1")->UserDragged(40));
    EXPECT_EQ(Model<TControl>("Panel1")->GetWidth(), 240);
    check("after the splitter moved 40 pixels right");
}

TEST_F(QtSmoke, ModelChangesReachThePeers)
{
    Model<TEdit>("Edit1")->SetText("Шурупы");
    EXPECT_EQ(Widget<QLineEdit>("Edit1")->text(), U(u"Шурупы"));

    Model<TCheckBox>("CheckBox1")->SetChecked(false);
    EXPECT_FALSE(Widget<QCheckBox>("CheckBox1")->isChecked());

    Model<TRadioButton>("RadioButton2")->SetChecked(true);
    EXPECT_TRUE(Widget<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_FALSE(Widget<QRadioButton>("RadioButton1")->isChecked()) << "the model unchecks the sibling";

    auto* combo = Model<TComboBox>("ComboBox1");
    combo->GetItems()->Add("упаковка");
    combo->SetItemIndex(3);
    EXPECT_EQ(Widget<QComboBox>("ComboBox1")->count(), 4);
    EXPECT_EQ(Widget<QComboBox>("ComboBox1")->currentText(), U(u"упаковка"));

    Model<TControl>("Panel2")->SetEnabled(false);
    EXPECT_FALSE(Widget<QLineEdit>("Edit1")->isEnabled()) << "a disabled parent disables its children";
    Model<TControl>("Button1")->SetVisible(false);
    EXPECT_TRUE(Widget<QPushButton>("Button1")->isHidden());

    auto* tree = Model<TTreeView>("TreeView1");
    TTreeNode* fasteners = tree->GetItems()->Item(3);
    tree->SetSelected(fasteners);
    EXPECT_EQ(Widget<QTreeWidget>("TreeView1")->currentItem()->text(0), U(u"Крепёж"));

    Model<TMenuItem>("N4")->SetCaption("Открыть другой склад");
    QMenu* file = QtPeerOf(Form)->Widget()->findChild<QMenuBar*>()->actions()[0]->menu();
    EXPECT_EQ(file->actions()[1]->text(), U(u"Открыть другой склад\tCtrl+O"));
}

TEST_F(QtSmoke, UserInputReachesTheModelsEvents)
{
    std::vector<std::string> events;
    auto record = [&](const char* what) {
        return TNotifyEvent::Lambda([&events, what](TObject*) { events.push_back(what); });
    };
    Model<TButton>("Button1")->OnClick = record("button");
    Model<TCheckBox>("CheckBox1")->OnClick = record("check");
    Model<TEdit>("Edit1")->OnChange = record("edit");
    Model<TComboBox>("ComboBox1")->OnSelect = record("combo");
    Model<TListBox>("ListBox1")->OnClick = record("list");
    Model<TMenuItem>("N24")->OnClick = record("menu");
    Model<TTreeView>("TreeView1")->OnChange =
        TTVChangedEvent::Lambda([&](TObject*, TTreeNode*) { events.push_back("tree"); });

    Widget<QPushButton>("Button1")->click();
    Widget<QCheckBox>("CheckBox1")->click();
    EXPECT_FALSE(Model<TCheckBox>("CheckBox1")->GetChecked());
    auto* edit = Widget<QLineEdit>("Edit1");
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("!"));
    EXPECT_EQ(Model<TEdit>("Edit1")->GetText(), AnsiString("Гвозди!"));
    emit Widget<QComboBox>("ComboBox1")->activated(2);
    EXPECT_EQ(Model<TComboBox>("ComboBox1")->GetItemIndex(), 2);
    EXPECT_EQ(Model<TComboBox>("ComboBox1")->GetText(), AnsiString("метр"));
    Widget<QListWidget>("ListBox1")->setCurrentRow(1);
    EXPECT_EQ(Model<TListBox>("ListBox1")->GetItemIndex(), 1);
    auto* tree = Widget<QTreeWidget>("TreeView1");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(Model<TTreeView>("TreeView1")->GetSelected()->GetText(), AnsiString("Инструмент"));
    QMenu* help = QtPeerOf(Form)->Widget()->findChild<QMenuBar*>()->actions()[1]->menu();
    help->actions()[0]->trigger();

    EXPECT_EQ(events, (std::vector<std::string>{"button", "check", "edit", "combo", "list", "tree", "menu"}));
}

TEST_F(QtSmoke, TheGridShowsTheBoundRowsAndReportsClicks)
{
    auto* view = Widget<QTableView>("DBGrid1");
    QAbstractItemModel* rows = view->model();
    ASSERT_EQ(rows->columnCount(), 4);
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->headerData(0, Qt::Horizontal).toString(), U(u"Артикул")) << "the layout's title";
    EXPECT_EQ(rows->headerData(1, Qt::Horizontal).toString(), U(u"Наименование")) << "the field name";
    EXPECT_EQ(rows->index(1, 1).data().toString(), U(u"Шурупы 30 мм"));
    EXPECT_EQ(rows->index(2, 2).data().toString(), QStringLiteral("450"));
    EXPECT_EQ(rows->index(0, 3).data().toString(), QString()) << "a column without its field shows blank";
    EXPECT_EQ(view->columnWidth(1), 200);

    auto* grid = Model<TDBGrid>("DBGrid1");
    std::vector<AnsiString> titles;
    grid->OnTitleClick = TDBGridClickEvent::Lambda([&](TColumn* column) { titles.push_back(column->GetFieldName()); });
    emit view->clicked(rows->index(2, 1));
    EXPECT_EQ(grid->DataSet()->RecNo(), 3) << "a click on a row moves the dataset";
    EXPECT_EQ(view->selectionModel()->currentIndex().row(), 2);
    emit view->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(titles, std::vector<AnsiString>{"Цена"});

    grid->DataSet()->First();
    EXPECT_EQ(view->selectionModel()->currentIndex().row(), 0) << "moving the dataset moves the grid";
}

TEST_F(QtSmoke, TheCloseBoxAsksTheModel)
{
    bool asked = false;
    Form->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& canClose) {
        asked = true;
        canClose = false;
    });
    QtPeerOf(Form)->Widget()->close();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Form->GetVisible()) << "the model refused, so the form stays";
    EXPECT_TRUE(QtPeerOf(Form)->Widget()->isVisible());
}

TEST_F(QtSmoke, NestedModalLoopsRunOnQtsLoopAndReturnTheirResults)
{
    // Outer dialog: its button opens the inner dialog; the inner one's OK ends it.
    TForm* outer = nullptr;
    Application->CreateForm(outer);
    outer->SetCaption("Внешний");
    auto* open = new TButton(outer);
    open->SetParent(outer);
    open->SetModalResult(mrYes);
    TForm* inner = nullptr;
    Application->CreateForm(inner);
    inner->SetCaption("Внутренний");
    auto* ok = new TButton(inner);
    ok->SetParent(inner);
    ok->SetModalResult(mrOk);

    // A stuck loop fails the test instead of hanging it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        inner->SetModalResult(mrAbort);
        outer->SetModalResult(mrAbort);
    });
    watchdog.start(10000);

    TModalResult innerResult = mrNone;
    bool outerBlocked = false;
    Qt::WindowModality innerModality = Qt::NonModal;
    open->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        QTimer::singleShot(0, [&] {
            innerModality = QtPeerOf(inner)->Widget()->windowModality();
            outerBlocked = !open->UserClicked();
            qobject_cast<QPushButton*>(QtPeerOf(ok)->Widget())->click();
        });
        innerResult = inner->ShowModal();
    });
    QTimer::singleShot(0, [&] { qobject_cast<QPushButton*>(QtPeerOf(open)->Widget())->click(); });

    const TModalResult outerResult = outer->ShowModal();

    EXPECT_EQ(innerResult, mrOk);
    EXPECT_EQ(outerResult, mrYes) << "the outer button's ModalResult ends the outer loop";
    EXPECT_TRUE(outerBlocked) << "the outer form refuses input while the inner one is modal";
    EXPECT_EQ(innerModality, Qt::ApplicationModal);
    EXPECT_FALSE(QtPeerOf(inner)->Widget()->isVisible());
    EXPECT_FALSE(QtPeerOf(outer)->Widget()->isVisible());
}

TEST_F(QtSmoke, ADialogShownModallyAgainFromAModalFormTakesInput)
{
    // A document window (modal) opens its picker (modal) twice: the second time the
    // picker must again be the modal window Qt delivers input to.
    TForm* outer = nullptr;
    Application->CreateForm(outer);
    auto* open = new TButton(outer);
    open->SetParent(outer);
    TForm* inner = nullptr;
    Application->CreateForm(inner);
    auto* ok = new TButton(inner);
    ok->SetParent(inner);
    ok->SetModalResult(mrOk);

    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        inner->SetModalResult(mrAbort);
        outer->SetModalResult(mrAbort);
    });
    watchdog.start(10000);

    struct Seen {
        bool innerIsQtsModalWindow = false;
        bool outerBlocked = false;
    };
    std::vector<Seen> seen;
    open->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        QTimer::singleShot(0, [&] {
            Seen s;
            QWidget* frame = QtPeerOf(inner)->Widget();
            s.innerIsQtsModalWindow = frame->windowHandle() && QGuiApplication::modalWindow() == frame->windowHandle();
            s.outerBlocked = !open->UserClicked();
            seen.push_back(s);
            qobject_cast<QPushButton*>(QtPeerOf(ok)->Widget())->click();
        });
        inner->ShowModal();
    });
    QTimer::singleShot(0, [&] {
        auto* button = qobject_cast<QPushButton*>(QtPeerOf(open)->Widget());
        button->click();
        button->click();
        outer->SetModalResult(mrOk);
    });

    outer->ShowModal();

    ASSERT_EQ(seen.size(), 2u);
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i == 0 ? "first showing" : "second showing");
        EXPECT_TRUE(seen[i].innerIsQtsModalWindow) << "the dialog on top gets the input";
        EXPECT_TRUE(seen[i].outerBlocked);
    }
}

TEST_F(QtSmoke, AnAutoSizedLabelShowsItsWholeCaption)
{
    // A total written at run time into a label laid out for the shorter caption.
    struct Case {
        const char* why;
        bool autoSize;
        TAlignment alignment;
        bool grows;
        bool keepsRightEdge;
    } const cases[] = {
        {"left-aligned grows to the right", true, taLeftJustify, true, false},
        {"right-aligned grows to the left", true, taRightJustify, true, true},
        {"a fixed-size label keeps its box", false, taLeftJustify, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto* label = new TLabel(Form);
        label->SetParent(Form);
        label->SetBounds(100, 10, 83, 13);
        label->SetAutoSize(c.autoSize);
        label->SetAlignment(c.alignment);
        label->SetCaption("Итого на сумму 1234567,89");
        auto* w = qobject_cast<QLabel*>(QtPeerOf(label)->Widget());
        ASSERT_NE(w, nullptr);
        const int textWidth = w->fontMetrics().horizontalAdvance(w->text());
        ASSERT_GT(textWidth, 83) << "the caption is wider than the laid-out box";
        if (c.grows)
            EXPECT_GE(w->width(), textWidth);
        else
            EXPECT_EQ(w->width(), 83);
        EXPECT_EQ(w->geometry().right(), c.keepsRightEdge || !c.grows ? 100 + 83 - 1 : 100 + w->width() - 1);
        EXPECT_EQ(w->y(), 10);

        label->SetCaption("Итого");
        EXPECT_EQ(w->geometry(), QRect(100, 10, 83, 13)) << "a short caption never shrinks the box";
        delete label;
    }
}

}  // namespace
