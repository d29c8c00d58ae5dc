// The Qt backend's keyboard, scrolling, popup and nested-loop paths, offscreen: typed
// characters pass the window's key handlers before the widget inserts them, Enter and
// Escape press the form's buttons, grid keys move the dataset, tree scrolling keeps hit
// tests exact, popup menus open where the model said, and timers tick under dialogs.
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtProbe.h"
#include "platform/qt/QtText.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/DBGrids.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Rows in memory, as a query holds them after Open.
class TRowsDataSet : public TDataSet {
public:
    explicit TRowsDataSet(TComponent* owner) : TDataSet(owner) {}
    int Count = 0;

protected:
    void InternalOpen() override
    {
        FieldDefs().Add("ID", ftInteger);
        FieldDefs().Add("Name", ftString, 40);
        for (int i = 1; i <= Count; ++i) {
            Variant* cells = AppendRow();
            cells[0] = i;
            cells[1] = "Товар " + IntToStr(i);
        }
    }
};

// Closes the dialog Qt shows modally right now; true when there was one.
bool CloseActiveDialog()
{
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        return true;
    }
    return false;
}

class QtInput : public ::testing::Test {
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
        Application->CreateForm(Form);
        Form->SetCaption("Ввод");
        Form->SetBounds(100, 80, 520, 420);
        Edit = Add<TEdit>(8, 8, 120, 21);
        Memo = Add<TMemo>(8, 36, 120, 60);
        Combo = Add<TComboBox>(8, 104, 120, 21);
        Combo->GetItems()->Add("штука");
        Ok = Add<TButton>(8, 360, 75, 25);
        Ok->SetDefault(true);
        Cancel = Add<TButton>(90, 360, 75, 25);
        Cancel->SetCancel(true);
        Ok->OnClick = TNotifyEvent::Lambda([this](TObject*) { Clicks.push_back("ok"); });
        Cancel->OnClick = TNotifyEvent::Lambda([this](TObject*) { Clicks.push_back("cancel"); });
        Form->Show();
        Activate();
    }
    void TearDown() override
    {
        QApplication::closeAllWindows();
        DestroyApplication();
        FBackend.reset();
        QApplication::processEvents();
    }

    template <class T>
    T* Add(int left, int top, int width, int height)
    {
        auto* control = new T(Form);
        control->SetParent(Form);
        control->SetBounds(left, top, width, height);
        return control;
    }
    void Activate()
    {
        QWidget* frame = QtPeerOf(Form)->Widget();
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame, 2000))
            QApplication::setActiveWindow(frame);
    }
    template <class W = QWidget>
    W* WidgetOf(TControl* control) const
    {
        TQtControlPeer* peer = QtPeerOf(control);
        return peer ? qobject_cast<W*>(peer->Widget()) : nullptr;
    }
    // Gives the control the focus as a click would and returns the widget that has it.
    QWidget* Focus(TWinControl* control)
    {
        WidgetOf(control)->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        return QApplication::focusWidget();
    }

    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TMemo* Memo = nullptr;
    TComboBox* Combo = nullptr;
    TButton* Ok = nullptr;
    TButton* Cancel = nullptr;
    std::vector<std::string> Clicks;

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TEST_F(QtInput, TypedCharactersPassTheWindowsKeyHandlersFirst)
{
    // A number field: '.' becomes the decimal comma, letters are refused, and the form's
    // key preview swallows '#'.
    const auto numberField = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '.')
            key = ',';
        else if (key >= 'a' && key <= 'z')
            key = 0;
    });
    Form->SetKeyPreview(true);
    Form->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, char& key) {
        if (key == '#')
            key = 0;
    });
    struct Case {
        const char* why;
        TWinControl* control;
        std::function<QString()> shown;
    };
    const Case kCases[] = {
        {"edit", Edit, [&] { return WidgetOf<QLineEdit>(Edit)->text(); }},
        {"memo", Memo, [&] { return WidgetOf<QPlainTextEdit>(Memo)->toPlainText(); }},
        {"combo box edit", Combo, [&] { return WidgetOf<QComboBox>(Combo)->currentText(); }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        c.control->OnKeyPress = numberField;
        QWidget* focus = Focus(c.control);
        ASSERT_NE(focus, nullptr) << "the window has the focus";
        QTest::keyClicks(focus, QStringLiteral("1.x#5"));
        EXPECT_EQ(c.control->GetText(), "1,5");
        EXPECT_EQ(c.shown(), QStringLiteral("1,5")) << "the widget inserted only what the handlers let through";
    }
}

TEST_F(QtInput, TextTheProgramSelectsShowsSelectedAndTypingReplacesIt)
{
    auto* line = WidgetOf<QLineEdit>(Edit);
    struct Case {
        const char* why;
        int start, length;  // -1: SelectAll
        QString shownSelected;
        AnsiString afterTyping;
    };
    const Case kCases[] = {
        {"all of it, as a find dialog offers its last text", 0, -1, QStringLiteral("Итого"), "x"},
        {"a part of it", 1, 2, QStringLiteral("то"), "Иxго"},
        {"nothing: typing goes on at the end", 0, 0, QString(), "Итогоx"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Edit->SetText("Итого");
        if (c.length < 0) {
            Edit->SelectAll();
        } else {
            Edit->SetSelStart(c.start);
            Edit->SetSelLength(c.length);
        }
        QWidget* focus = Focus(Edit);
        ASSERT_EQ(focus, line);
        EXPECT_EQ(line->selectedText(), c.shownSelected);
        if (c.length == 0)
            line->end(false);  // where the user left the caret
        QTest::keyClicks(focus, QStringLiteral("x"));
        EXPECT_EQ(Edit->GetText(), c.afterTyping);
        EXPECT_EQ(line->text(), ToQString(c.afterTyping));
    }
    Edit->SelectAll();
    Edit->SetText("new");
    EXPECT_FALSE(line->hasSelectedText()) << "a new text drops the selection";
    EXPECT_EQ(Edit->GetSelLength(), 0);
}

TEST_F(QtInput, ArrowKeysMoveTheCheckBetweenRadioButtons)
{
    auto* portrait = Add<TRadioButton>(140, 8, 120, 17);
    auto* landscape = Add<TRadioButton>(140, 30, 120, 17);
    portrait->SetChecked(true);
    QWidget* focus = Focus(portrait);
    ASSERT_EQ(focus, WidgetOf(portrait));
    QTest::keyClick(focus, Qt::Key_Down);
    EXPECT_TRUE(landscape->GetChecked());
    EXPECT_TRUE(WidgetOf<QRadioButton>(landscape)->isChecked());
    EXPECT_FALSE(WidgetOf<QRadioButton>(portrait)->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(landscape));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_TRUE(portrait->GetChecked());
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(portrait));
}

// Controls without a click of their own (a clickable caption such as the print dialog's
// "collate" label, an edit, a memo, the form's own surface) are clicked by the left
// button going down and up on them.
TEST_F(QtInput, ALeftPressAndReleaseClickControlsWithoutAClickOfTheirOwn)
{
    struct TCase {
        const char* why;
        TControl* control;
    };
    auto* box = Add<TGroupBox>(280, 8, 100, 60);
    const TCase cases[] = {
        {"label", Add<TLabel>(140, 8, 60, 20)},
        {"panel", Add<TPanel>(140, 40, 60, 30)},
        {"group box", box},
        {"paint box", Add<TPaintBox>(140, 80, 60, 30)},
        {"image", Add<TImage>(140, 120, 60, 30)},
        {"edit", Edit},
        {"memo", Memo},
        {"the form itself (last: disabling it disables the rest)", Form},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        int clicks = 0, ups = 0;
        std::vector<std::string> order;
        c.control->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; order.push_back("click"); });
        c.control->OnMouseUp = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) {
            ++ups;
            order.push_back("up");
        });
        QWidget* w = WidgetOf(c.control);
        ASSERT_NE(w, nullptr);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(order, (std::vector<std::string>{"click", "up"})) << "the click comes before the release";
        QTest::mouseClick(w, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_EQ(clicks, 1) << "the right button clicks nothing";
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(w->width() + 10, 5));
        EXPECT_EQ(clicks, 1) << "a release away from the control is no click";
        c.control->SetEnabled(false);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(clicks, 1) << "a disabled control takes no click";
        EXPECT_EQ(ups, 3);
    }
}

TEST_F(QtInput, KeysArrivingInAnEditSelectItsTextAClickPlacesTheCaret)
{
    auto* line = WidgetOf<QLineEdit>(Edit);
    struct Case {
        const char* why;
        std::function<void()> focus;
        QString shownSelected;
        AnsiString afterTyping;
    };
    const Case kCases[] = {
        {"Tab from the last button wraps round to the edit",
         [&] { QTest::keyClick(Focus(Cancel), Qt::Key_Tab); }, QStringLiteral("18"), "20"},
        {"Shift+Tab from the memo",
         [&] { QTest::keyClick(Focus(Memo), Qt::Key_Backtab, Qt::ShiftModifier); }, QStringLiteral("18"), "20"},
        {"the program calls SetFocus", [&] { Edit->SetFocus(); }, QStringLiteral("18"), "20"},
        {"a click at the end of the text",
         [&] { QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(line->width() - 4, line->height() / 2)); },
         QString(), "1820"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Focus(Ok);
        Edit->SetText("18");
        c.focus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), line);
        ASSERT_EQ(Form->GetActiveControl(), Edit);
        EXPECT_EQ(line->selectedText(), c.shownSelected);
        QTest::keyClicks(line, QStringLiteral("20"));
        EXPECT_EQ(Edit->GetText(), c.afterTyping);
        EXPECT_EQ(line->text(), ToQString(c.afterTyping));
    }

    // A memo holds lines: Tab into it selects nothing.
    Memo->SetText("строка");
    QTest::keyClick(Focus(Edit), Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_EQ(Form->GetActiveControl(), Memo);
    EXPECT_FALSE(WidgetOf<QPlainTextEdit>(Memo)->textCursor().hasSelection());
    EXPECT_EQ(Memo->GetSelLength(), 0);
}

TEST_F(QtInput, KeysArrivingInAComboSelectItsTextAClickPlacesTheCaret)
{
    // A quantity box shows "1": entered by the keyboard or from code, typing 3 replaces it.
    auto* box = WidgetOf<QComboBox>(Combo);
    Combo->GetItems()->Clear();
    Combo->GetItems()->Add("1");
    Combo->GetItems()->Add("3");
    struct Case {
        const char* why;
        TComboBoxStyle style;
        std::function<void()> focus;
        QString shownSelected;
        AnsiString afterTyping;
    };
    const Case kCases[] = {
        {"Tab from the memo", csDropDown, [&] { QTest::keyClick(Focus(Memo), Qt::Key_Tab); }, QStringLiteral("1"), "3"},
        {"Shift+Tab from the button after", csDropDown,
         [&] { QTest::keyClick(Focus(Ok), Qt::Key_Backtab, Qt::ShiftModifier); }, QStringLiteral("1"), "3"},
        {"the program calls SetFocus", csDropDown, [&] { Combo->SetFocus(); }, QStringLiteral("1"), "3"},
        {"a simple combo, by SetFocus", csSimple, [&] { Combo->SetFocus(); }, QStringLiteral("1"), "3"},
        {"a click at the end of the text", csDropDown,
         [&] {
             QLineEdit* line = box->lineEdit();
             QTest::mouseClick(line, Qt::LeftButton, {}, QPoint(line->width() - 2, line->height() / 2));
         },
         QString(), "13"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Combo->SetStyle(c.style);
        Focus(Edit);
        Combo->SetItemIndex(0);
        c.focus();
        QApplication::processEvents();
        ASSERT_EQ(Form->GetActiveControl(), Combo);
        ASSERT_NE(box->lineEdit(), nullptr);
        EXPECT_EQ(box->lineEdit()->selectedText(), c.shownSelected);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
        QApplication::processEvents();
        EXPECT_EQ(Combo->GetText(), c.afterTyping);
        EXPECT_EQ(box->currentText(), ToQString(c.afterTyping));
    }
}

TEST_F(QtInput, TwoClicksOnOkReachingADialogAtOnceRunItOnce)
{
    // A double click on OK, or a click landing while a slow save runs: both reach the dialog
    // before its loop turns, and the second finds it closing.
    TForm* dialog = nullptr;
    Application->CreateForm(dialog);
    dialog->SetBounds(120, 100, 200, 120);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(8, 8, 75, 25);
    int saved = 0;
    ok->OnClick = TNotifyEvent::Lambda([&](TObject*) {
        ++saved;
        dialog->SetModalResult(mrOk);
    });
    QTimer::singleShot(0, [&] {
        QWidget* button = WidgetOf(ok);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        if (dialog->GetModalResult() == mrNone)
            dialog->SetModalResult(mrCancel);  // the clicks missed: end the loop anyway
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(saved, 1);
}

TEST_F(QtInput, EnterAndEscapePressTheFormsButtons)
{
    std::vector<char> pressed;
    Edit->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) { pressed.push_back(key); });
    QWidget* edit = Focus(Edit);
    ASSERT_EQ(edit, WidgetOf(Edit));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(Clicks, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_TRUE(pressed.empty()) << "a key the buttons took is no key press";

    // Without a default button Enter is the edit's own: OnKeyPress sees #13.
    Ok->SetDefault(false);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(pressed, std::vector<char>{'\r'});
    EXPECT_EQ(Clicks.size(), 2u);
}

TEST_F(QtInput, EnterEndsAModalDialogThroughItsDefaultButton)
{
    TForm* dialog = nullptr;
    Application->CreateForm(dialog);
    auto* field = new TEdit(dialog);
    field->SetParent(dialog);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetTop(40);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    dialog->SetActiveControl(field);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { dialog->SetModalResult(mrAbort); });
    watchdog.start(10000);
    QTimer::singleShot(0, [&] {
        QWidget* frame = QtPeerOf(dialog)->Widget();
        frame->activateWindow();
        QApplication::setActiveWindow(frame);
        WidgetOf(field)->setFocus();
        QTest::keyClicks(WidgetOf(field), QStringLiteral("18"));
        QTest::keyClick(WidgetOf(field), Qt::Key_Return);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(field->GetText(), "18");
}

struct GridCounters {
    int After = 0, CellClicks = 0;
};

TEST_F(QtInput, GridKeysMoveTheDatasetAndTheViewShowsTheCurrentRow)
{
    auto* rows = new TRowsDataSet(Form);
    rows->Count = 30;
    auto* source = new TDataSource(Form);
    source->SetDataSet(rows);
    auto* grid = Add<TDBGrid>(140, 8, 360, 120);  // 5 rows a page
    grid->SetOptions(grid->GetOptions() + TDBGridOptions{dgRowSelect});
    grid->SetDataSource(source);
    rows->Open();
    GridCounters count;
    rows->AfterScroll = TDataSetNotifyEvent::Lambda([&](TDataSet*) { ++count.After; });
    grid->OnCellClick = TDBGridClickEvent::Lambda([&](TColumn*) { ++count.CellClicks; });
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);

    // Painting every visible row reads cells of other rows: no scroll event may run.
    (void)view->grab();
    for (int row = 0; row < 30; ++row)
        (void)view->model()->index(row, 1).data();
    EXPECT_EQ(count.After, 0);
    EXPECT_EQ(rows->RecNo(), 1);

    struct Case {
        const char* why;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int recNo;
    };
    const Case kCases[] = {
        {"Down", Qt::Key_Down, Qt::NoModifier, 2},
        {"Page Down", Qt::Key_PageDown, Qt::NoModifier, 7},
        {"Up", Qt::Key_Up, Qt::NoModifier, 6},
        {"End", Qt::Key_End, Qt::NoModifier, 30},
        {"Page Up", Qt::Key_PageUp, Qt::NoModifier, 25},
        {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, 1},
    };
    QWidget* focus = Focus(grid);
    ASSERT_EQ(focus, view);
    int scrolls = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        QTest::keyClick(focus, c.key, c.modifiers);
        EXPECT_EQ(rows->RecNo(), c.recNo);
        EXPECT_EQ(count.After, ++scrolls) << "the dataset's scroll events run once per key";
        EXPECT_EQ(view->selectionModel()->currentIndex().row(), c.recNo - 1) << "the view did not move on its own";
    }
    EXPECT_EQ(count.CellClicks, 0) << "keys are not cell clicks";
    char typed = 0;
    grid->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) { typed = key; });
    QTest::keyClick(focus, Qt::Key_2);
    EXPECT_EQ(typed, '2') << "the window hears the character";
    EXPECT_EQ(rows->RecNo(), 1) << "the view's typing search does not move the row";

    // Code moves the cursor: the view shows that row selected, all of it.
    rows->SetRecNo(17);
    QItemSelectionModel* selection = view->selectionModel();
    EXPECT_TRUE(selection->isRowSelected(16, {}));
    EXPECT_EQ(selection->selectedRows().size(), 1);
    EXPECT_EQ(selection->selectedIndexes().size(), 2) << "whole-row select: both columns";
}

TEST_F(QtInput, GridWalkedInCodeScrollsOnceToWhereTheWalkEnds)
{
    auto* rows = new TRowsDataSet(Form);
    rows->Count = 200;
    auto* source = new TDataSource(Form);
    source->SetDataSet(rows);
    auto* grid = Add<TDBGrid>(140, 8, 360, 120);  // 5 rows a page
    grid->SetDataSource(source);
    rows->Open();
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);
    QApplication::processEvents();
    int scrolls = 0;
    QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, [&] { ++scrolls; });

    struct Case {
        const char* why;
        std::function<void()> move;
        int recNo;
    };
    const Case kCases[] = {
        {"every record in turn", [&] { for (rows->First(); !rows->Eof(); rows->Next()) {} }, 200},
        {"back to the first", [&] { rows->First(); }, 1},
        {"a jump", [&] { rows->SetRecNo(120); }, 120},
        {"there and back", [&] { rows->Last(); rows->SetRecNo(3); }, 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        scrolls = 0;
        c.move();
        EXPECT_EQ(view->selectionModel()->currentIndex().row(), c.recNo - 1) << "the selection follows at once";
        EXPECT_EQ(scrolls, 0) << "the viewport waits for the event loop";
        QApplication::processEvents();
        EXPECT_LE(scrolls, 1);
        const QRect shown = view->visualRect(view->model()->index(c.recNo - 1, 0));
        EXPECT_TRUE(view->viewport()->rect().contains(shown)) << "the current row is in view";
    }

    // A grid freed with its scroll still pending: the queued scroll goes with it.
    rows->SetRecNo(50);
    delete grid;
    QApplication::processEvents();
    EXPECT_EQ(rows->RecNo(), 50);
}

TEST_F(QtInput, GridShowsTheCurrentRowWhereverTheDatasetWasLeft)
{
    // However the row got where it is before the event loop came round (code, keys, the
    // dataset reopened with other rows, the grid hidden), the view then shows it selected.
    auto* rows = new TRowsDataSet(Form);
    rows->Count = 200;
    auto* source = new TDataSource(Form);
    source->SetDataSet(rows);
    auto* grid = Add<TDBGrid>(140, 8, 360, 120);  // 5 rows a page
    grid->SetDataSource(source);
    rows->Open();
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);
    QWidget* focus = Focus(grid);
    ASSERT_EQ(focus, view);

    struct Case {
        const char* why;
        std::function<void()> move;
        int recNo;
    };
    const Case kCases[] = {
        {"a walk, then Down", [&] { rows->SetRecNo(150); QTest::keyClick(focus, Qt::Key_Down); }, 151},
        {"a walk, then Ctrl+End", [&] { rows->SetRecNo(30); QTest::keyClick(focus, Qt::Key_End, Qt::ControlModifier); }, 200},
        {"a walk, then Page Up", [&] { rows->SetRecNo(100); QTest::keyClick(focus, Qt::Key_PageUp); }, 95},
        {"a walk with the controls off",
         [&] {
             rows->DisableControls();
             for (rows->First(); !rows->Eof(); rows->Next()) {}
             rows->SetRecNo(170);
             rows->EnableControls();
         },
         170},
        {"reopened with more rows, then the last",
         [&] {
             rows->Close();
             rows->Count = 300;
             rows->Open();
             rows->Last();
         },
         300},
        {"moved while hidden, shown in the same turn",
         [&] {
             grid->Hide();
             rows->SetRecNo(20);
             grid->Show();
         },
         20},
        {"moved while hidden, shown a turn later",
         [&] {
             grid->Hide();
             rows->SetRecNo(250);
             QApplication::processEvents();
             grid->Show();
         },
         250},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        QApplication::processEvents();
        c.move();
        QApplication::processEvents();
        ASSERT_EQ(rows->RecNo(), c.recNo);
        EXPECT_EQ(view->currentIndex().row(), c.recNo - 1);
        const QRect shown = view->visualRect(view->model()->index(c.recNo - 1, 0));
        EXPECT_GE(shown.top(), 0) << "the current row is in view";
        EXPECT_LE(shown.bottom(), view->viewport()->rect().bottom()) << "the current row is in view";
    }

    // The dataset closed while a scroll waits: nothing to scroll to, and no harm.
    rows->SetRecNo(100);
    rows->Close();
    QApplication::processEvents();
    EXPECT_FALSE(view->currentIndex().isValid());
}

TEST_F(QtInput, TreeScrollingKeepsHitTestsExact)
{
    auto* tree = Add<TTreeView>(140, 140, 200, 120);
    for (int i = 0; i < 60; ++i)
        tree->GetItems()->Add(nullptr, "Группа " + IntToStr(i));
    auto* w = WidgetOf<QTreeWidget>(tree);
    ASSERT_NE(w, nullptr);
    QApplication::processEvents();

    for (int top : {0, 10, 37}) {
        SCOPED_TRACE(top);
        w->verticalScrollBar()->setValue(top);
        EXPECT_EQ(tree->TopIndex(), top);
        ASSERT_NE(tree->TopItem(), nullptr);
        EXPECT_EQ(tree->TopItem()->GetText(), "Группа " + IntToStr(top));
        for (int y : {2, 17, 40, 90}) {
            SCOPED_TRACE(y);
            QTreeWidgetItem* shown = w->itemAt(30, y);
            TTreeNode* hit = tree->GetNodeAt(30, y);
            ASSERT_NE(shown, nullptr);
            ASSERT_NE(hit, nullptr);
            EXPECT_EQ(ToQString(hit->GetText()), shown->text(0)) << "the model's hit test names the row Qt shows";
        }
    }

    // Selecting from code scrolls the view to the node; the model hears of it too.
    tree->SetSelected(tree->GetItems()->Item(55));
    QApplication::processEvents();
    EXPECT_EQ(tree->TopIndex(), w->verticalScrollBar()->value());
    EXPECT_EQ(ToQString(tree->GetNodeAt(30, 2)->GetText()), w->itemAt(30, 2)->text(0));
}

// The selected node stays selected on screen whatever the mouse does beside it: a click
// below the nodes, with either button, or a Ctrl+click on the node itself (which takes a
// Qt view's highlight away) neither changes the tree's selection nor hides it, so a list
// shown for the selected node is never shown for no node the user can see.
TEST_F(QtInput, TheSelectedNodeStaysHighlightedAfterClicksBesideIt)
{
    auto* tree = Add<TTreeView>(140, 140, 200, 120);
    for (const char* text : {"Склад", "Краски", "Крепёж"})
        tree->GetItems()->Add(nullptr, text);
    int changes = 0;
    tree->OnChange = TTVChangedEvent::Lambda([&](TObject*, TTreeNode*) { ++changes; });
    auto* w = WidgetOf<QTreeWidget>(tree);
    ASSERT_NE(w, nullptr);
    Form->Show();
    Activate();
    QApplication::processEvents();
    QTreeWidgetItem* second = w->topLevelItem(1);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(second).center());
    ASSERT_EQ(tree->GetSelected(), tree->GetItems()->Item(1));
    const QPoint below(5, w->viewport()->height() - 3);
    ASSERT_EQ(w->itemAt(below), nullptr);
    const struct {
        const char* why;
        std::function<void()> click;
    } clicks[] = {
        {"left button below the nodes", [&] { QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, below); }},
        {"right button below the nodes", [&] { QTest::mouseClick(w->viewport(), Qt::RightButton, {}, below); }},
        {"Ctrl+click on the selected node",
         [&] { QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::ControlModifier, w->visualItemRect(second).center()); }},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.why);
        changes = 0;
        c.click();
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QApplication::processEvents();
        EXPECT_EQ(tree->GetSelected(), tree->GetItems()->Item(1));
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(w->selectedItems(), QList<QTreeWidgetItem*>{second});
    }
}

TEST_F(QtInput, PopupMenusOpenWhereTheModelSays)
{
    auto* tree = Add<TTreeView>(140, 140, 200, 120);
    tree->GetItems()->Add(nullptr, "Склад");
    auto* menu = new TPopupMenu(Form);
    auto* item = new TMenuItem(Form);
    item->SetCaption("Добавить группу");
    menu->GetItems()->Add(item);
    tree->SetPopupMenu(menu);
    QApplication::processEvents();

    // The right button over the tree: the menu opens at the click, in Qt's coordinates.
    ASSERT_TRUE(tree->UserContextMenu(15, 25));
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    const QPoint expected = QtPeerOf(tree)->OriginWidget()->mapToGlobal(QPoint(15, 25));
    EXPECT_EQ(popup->pos(), expected);
    popup->hide();

    // Code pops it up at a point of its own (the model's screen coordinates).
    menu->PopupComponent = nullptr;
    const TPoint p = Form->ClientToScreen({40, 50});
    menu->Popup(p.X, p.Y);
    popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->pos(), QtPeerOf(Form)->OriginWidget()->mapToGlobal(QPoint(40, 50)))
        << "taken back through the menu's form";
    popup->hide();
}

// The timer's handler closes the dialog: if timers did not tick under it, only the
// watchdog would, and the test fails.
void ExpectTimersTickUnder(const std::function<void()>& openDialog)
{
    auto* timer = new TTimer(Application);
    timer->SetInterval(10);
    int ticks = 0;
    bool posted = false;
    timer->OnTimer = TNotifyEvent::Lambda([&](TObject*) {
        if (++ticks == 1)
            Application->PostCall([&] { posted = true; });
        if (ticks == 3)
            CloseActiveDialog();
    });
    bool rescued = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { rescued = CloseActiveDialog(); });
    watchdog.start(10000);
    openDialog();
    EXPECT_FALSE(rescued) << "the dialog stayed open: the program's timers did not tick";
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(posted) << "calls posted meanwhile ran too";
    delete timer;
}

TEST_F(QtInput, TimersTickWhileAMessageBoxIsOpen)
{
    ExpectTimersTickUnder([] {
        TMessageRequest request;
        request.Kind = TMessageKind::MessageDlg;
        request.Text = "Удалить документ?";
        request.Buttons = TMsgDlgButtons{mbYes, mbNo};
        EXPECT_EQ(Services().ShowMessageBox(request), mrNo) << "closed without a choice";
    });
}

TEST_F(QtInput, TimersTickWhileAFileDialogIsOpen)
{
    ExpectTimersTickUnder([] {
        TFileDialogRequest request;
        request.Filter = "Склад (*.kvb)|*.kvb";
        EXPECT_FALSE(Services().ExecuteFileDialog(request));
    });
}

TEST_F(QtInput, TimersTickWhileAPrintDialogIsOpen)
{
    ExpectTimersTickUnder([] {
        TPrintDialogRequest request;
        EXPECT_FALSE(Services().ExecutePrintDialog(request));
    });
}

TEST_F(QtInput, ThePrintDialogOffersWhatTheOptionsAllowAndGivesBackTheChoice)
{
    TPrintDialogRequest request;
    request.Options = (1u << poPageNums) | (1u << poDisablePrintToFile);
    request.MinPage = 1;
    request.MaxPage = 9;
    request.FromPage = 2;
    request.ToPage = 4;
    request.PrintRange = prPageNums;
    request.Copies = 2;
    request.Collate = true;
    bool seen = false;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        EXPECT_TRUE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintToFile));
        EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_EQ(dialog->minPage(), 1);
        EXPECT_EQ(dialog->maxPage(), 9);
        dialog->accept();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { CloseActiveDialog(); });
    watchdog.start(10000);
    EXPECT_TRUE(Services().ExecutePrintDialog(request));
    EXPECT_TRUE(seen);
    EXPECT_EQ(request.PrintRange, prPageNums);
    EXPECT_EQ(request.FromPage, 2);
    EXPECT_EQ(request.ToPage, 4);
    EXPECT_EQ(request.Copies, 2);
    EXPECT_TRUE(request.Collate);
}

TEST_F(QtInput, TheTextAComboBoxCompletesIsTheTextTheProgramSees)
{
    // A filter box narrows a list on every change: the completed name must reach it, or
    // the list stays empty while the box shows a product.
    Combo->GetItems()->Clear();
    Combo->GetItems()->Add("Cable NYM");
    Combo->GetItems()->Add("Wire PVS");
    std::vector<AnsiString> changes;
    Combo->OnChange = TNotifyEvent::Lambda([&](TObject*) { changes.push_back(Combo->GetText()); });
    QWidget* focus = Focus(Combo);
    ASSERT_NE(focus, nullptr);
    QTest::keyClicks(focus, QStringLiteral("Cab"));
    QApplication::processEvents();
    auto* shown = WidgetOf<QComboBox>(Combo);
    ASSERT_EQ(shown->currentText(), QStringLiteral("Cable NYM")) << "the box completed the name";
    EXPECT_EQ(Combo->GetText(), "Cable NYM");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), "Cable NYM");
}

}  // namespace

// A scroll box shows the bars its model needs and moves its children only by the model's
// Position: the user's bar actions go to the model, and a script's Position shows on the bar.
TEST_F(QtInput, AScrollBoxScrollsByItsModelsPosition)
{
    auto* box = Add<TScrollBox>(200, 8, 200, 100);
    auto* inner = new TButton(Form);
    inner->SetParent(box);
    inner->SetBounds(10, 300, 50, 20);
    QApplication::processEvents();
    QScrollBar* bars[2] = {};
    for (QScrollBar* bar : WidgetOf(box)->findChildren<QScrollBar*>())
        bars[bar->orientation() == Qt::Horizontal ? sbHorizontal : sbVertical] = bar;
    ASSERT_TRUE(bars[sbHorizontal] && bars[sbVertical]);
    EXPECT_TRUE(bars[sbHorizontal]->isHidden()) << "nothing to scroll sideways";
    EXPECT_FALSE(bars[sbVertical]->isHidden());
    EXPECT_EQ(bars[sbVertical]->maximum(), 320 - 96);
    QScrollBar* v = bars[sbVertical];
    struct Step {
        const char* what;
        std::function<void()> act;
        int position;
    };
    const Step steps[] = {
        {"the program sets Position", [&] { box->GetVertScrollBar()->SetPosition(50); }, 50},
        {"the user's arrow", [&] { v->triggerAction(QAbstractSlider::SliderSingleStepAdd); }, 58},
        {"the user's page", [&] { v->triggerAction(QAbstractSlider::SliderPageStepAdd); }, 58 + 86},
        {"the user's end", [&] { v->triggerAction(QAbstractSlider::SliderToMaximum); }, 224},
        {"the user's start", [&] { v->triggerAction(QAbstractSlider::SliderToMinimum); }, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        QApplication::processEvents();
        EXPECT_EQ(box->GetVertScrollBar()->GetPosition(), s.position);
        EXPECT_EQ(v->value(), s.position);
        EXPECT_EQ(WidgetOf(inner)->y(), 300 - s.position) << "the child sits where the model put it";
    }
    inner->SetBounds(10, 10, 50, 20);
    QApplication::processEvents();
    EXPECT_TRUE(v->isHidden()) << "everything fits";
}

// A form whose controls reach past its client area shows the bars its model needs, over
// the client's edges, and the user's bar actions scroll the controls through the model.
TEST_F(QtInput, AFormShowsTheBarsItsControlsNeed)
{
    auto* far = Add<TButton>(700, 30, 75, 25);
    QApplication::processEvents();
    QScrollBar* bars[2] = {};
    for (QScrollBar* bar : QtPeerOf(Form)->Widget()->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
        bars[bar->orientation() == Qt::Horizontal ? sbHorizontal : sbVertical] = bar;
    ASSERT_TRUE(bars[sbHorizontal] && bars[sbVertical]);
    QScrollBar* h = bars[sbHorizontal];
    EXPECT_FALSE(h->isHidden()) << "a button out to the right";
    EXPECT_TRUE(bars[sbVertical]->isHidden()) << "nothing below the client area";
    const int client = Form->GetClientWidth();
    EXPECT_EQ(h->maximum(), 775 - client);
    EXPECT_EQ(h->geometry().bottom(), WidgetOf(Form)->height() - 1) << "over the client's bottom edge";
    h->triggerAction(QAbstractSlider::SliderToMaximum);
    QApplication::processEvents();
    EXPECT_EQ(Form->GetHorzScrollBar()->GetPosition(), 775 - client);
    EXPECT_EQ(WidgetOf(far)->x(), client - 75) << "the button scrolled into view";
    Form->GetHorzScrollBar()->SetPosition(0);
    QApplication::processEvents();
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(WidgetOf(far)->x(), 700);
    far->SetLeft(100);
    QApplication::processEvents();
    EXPECT_TRUE(h->isHidden()) << "everything fits";
}

// A form's OnPaint runs when the window paints, and what it draws on the form's Canvas is
// what the user sees there.
TEST_F(QtInput, AFormPaintsWhatItsOnPaintDraws)
{
    int paints = 0;
    Form->OnPaint = TNotifyEvent::Lambda([&](TObject*) {
        ++paints;
        TCanvas* canvas = Form->GetCanvas();
        canvas->GetBrush()->SetColor(clRed);
        canvas->FillRect(Rect(200, 150, 260, 190));
    });
    QWidget* client = QtPeerOf(Form)->Container();
    const QImage shot = client->grab().toImage();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(shot.pixelColor(230, 170), QColor(Qt::red));
    EXPECT_NE(shot.pixelColor(300, 170), QColor(Qt::red)) << "only where it drew";
}

// The control holding the mouse capture grabs Qt's pointer: a move the window system
// reports to another window reaches it, in its own coordinates, which are the model's
// too. A window with an owner is a tool window whose transient parent is the owner's.
TEST_F(QtInput, TheCaptureHolderGetsThePointerFromAnyWindowAndOwnedWindowsStayAbove)
{
    auto* box = Add<TPaintBox>(200, 150, 60, 40);
    std::vector<QPoint> moves;
    box->OnMouseMove = TMouseMoveEvent::Lambda([&](TObject*, TShiftState, int x, int y) { moves.push_back({x, y}); });
    auto* other = new TForm(Application);
    other->SetBounds(700, 80, 200, 150);
    other->SetPopupParent(Form);
    other->Show();
    QApplication::processEvents();
    QWidget* otherFrame = WidgetOf(other)->window();
    ASSERT_NE(otherFrame->windowHandle(), nullptr);
    EXPECT_EQ(otherFrame->windowType(), Qt::Tool);
    EXPECT_EQ(otherFrame->windowHandle()->transientParent(), WidgetOf(Form)->window()->windowHandle());

    // The button held, as in a drag (Qt hands moves without one only to tracking widgets).
    QWindow* otherWindow = otherFrame->windowHandle();
    SetCapture(box);
    EXPECT_EQ(QWidget::mouseGrabber(), WidgetOf(box));
    QTest::mousePress(otherWindow, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(otherWindow, QPoint(10, 10));
    const QPoint global = otherWindow->mapToGlobal(QPoint(10, 10));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], WidgetOf(box)->mapFromGlobal(global));
    const TPoint model = box->ScreenToClient({global.x(), global.y()});
    EXPECT_EQ(moves[0], QPoint(model.X, model.Y)) << "the model's screen is the desktop's";
    ReleaseCapture();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseMove(otherWindow, QPoint(20, 20));
    QTest::mouseRelease(otherWindow, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(moves.size(), 1u) << "released, the box hears nothing from the other window";

    other->SetPopupParent(nullptr);
    QApplication::processEvents();
    otherFrame = WidgetOf(other)->window();
    EXPECT_EQ(otherFrame->windowType(), Qt::Window);
    EXPECT_EQ(otherFrame->windowHandle()->transientParent(), nullptr);
    delete other;
}

// A child's screen point is where its widget shows, inside panels with bevels and borders
// and inside a group box: the model counts the parent's frame once, as the widgets do.
TEST_F(QtInput, AChildsScreenPointIsWhereItsWidgetShows)
{
    struct Case {
        const char* why;
        std::function<TWinControl*()> make;
    };
    const Case cases[] = {
        {"a raised panel", [this] { return Add<TPanel>(20, 20, 200, 100); }},
        {"a panel with both bevels two wide and a border",
         [this] {
             auto* p = Add<TPanel>(20, 20, 200, 100);
             p->SetBevelInner(bvLowered);
             p->SetBevelWidth(2);
             p->SetBorderWidth(3);
             return p;
         }},
        {"a flat panel", [this] {
             auto* p = Add<TPanel>(20, 20, 200, 100);
             p->SetBevelOuter(bvNone);
             return p;
         }},
        {"a group box", [this] { return Add<TGroupBox>(20, 20, 200, 100); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TWinControl* parent = c.make();
        auto* child = new TButton(Form);
        child->SetParent(parent);
        child->SetBounds(30, 40, 60, 25);
        Form->Show();
        QApplication::processEvents();
        const TRect shown = QtWidgetOnScreen(child);
        EXPECT_EQ(child->ClientToScreen({0, 0}), (TPoint{shown.Left, shown.Top}));
        EXPECT_EQ(child->ClientToScreen({0, 0}), parent->ClientToScreen({30, 40})) << "the same point of the parent";
        EXPECT_EQ(child->ScreenToClient({shown.Left + 5, shown.Top + 6}), (TPoint{5, 6}));
        delete parent;
    }
}

namespace {

// A day of a month calendar is picked with the keyboard as with the mouse: arrows move to it,
// Enter picks it (Date follows and OnClick runs once), arrows alone pick nothing.
TEST_F(QtInput, EnterPicksTheCalendarsDayAsAClickDoes)
{
    auto* calendar = Add<TMonthCalendar>(8, 100, 220, 160);
    calendar->SetDate(EncodeDate(2027, 2, 10));
    int clicks = 0;
    calendar->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    Form->Show();
    Activate();
    auto* w = WidgetOf<QCalendarWidget>(calendar);
    ASSERT_NE(w, nullptr);
    auto* view = w->findChild<QAbstractItemView*>();
    ASSERT_NE(view, nullptr);
    view->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(clicks, 0) << "moving alone picks nothing";
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(DateToStr(calendar->GetDate()), "11.02.2027");
    QTest::keyClick(view, Qt::Key_Right);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
    EXPECT_EQ(clicks, 2) << "the mouse picks as before";
    EXPECT_EQ(DateToStr(calendar->GetDate()), "12.02.2027");
}

}  // namespace

namespace {

// A right click or a double click from the window system reaches only the control under
// the pointer, however deep it sits: its own menu pops (without one, its nearest parent's),
// once, and only its OnDblClick runs. The form and the panels around it have both too.
TEST_F(QtInput, RightAndDoubleClicksReachOnlyTheControlUnderThePointer)
{
    std::vector<std::string> heard;
    std::vector<TPopupMenu*> menus;
    auto listen = [&](TControl* control, const std::string& name, bool withMenu) {
        control->SetName(name.c_str());
        control->OnDblClick = TNotifyEvent::Lambda([&heard, name](TObject*) { heard.push_back("double click " + name); });
        if (!withMenu)
            return;
        auto* menu = new TPopupMenu(Form);
        auto* item = new TMenuItem(Form);
        item->SetCaption("Пункт");
        menu->GetItems()->Add(item);
        menu->OnPopup = TNotifyEvent::Lambda([&heard, menu](TObject*) {
            heard.push_back("menu of " + std::string(menu->PopupComponent ? menu->PopupComponent->GetName().c_str() : "?"));
        });
        control->SetPopupMenu(menu);
        menus.push_back(menu);
    };
    listen(Form, "Form", true);

    struct Case {
        const char* why;
        std::function<TWinControl*()> parent;  // nullptr: on the form
        bool ownMenu;
        const char* menu;  // the one menu that pops
    };
    const Case cases[] = {
        {"a control on the form", nullptr, true, "menu of Box"},
        {"a control in a panel", [this] { return Add<TPanel>(200, 100, 200, 150); }, true, "menu of Box"},
        {"a control in a group box", [this] { return Add<TGroupBox>(200, 100, 200, 150); }, true, "menu of Box"},
        {"a control without a menu in a panel with one", [this] { return Add<TPanel>(200, 100, 200, 150); }, false,
         "menu of Outer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TWinControl* parent = c.parent ? c.parent() : nullptr;
        if (parent)
            listen(parent, "Outer", true);
        auto* box = new TPaintBox(Form);
        box->SetParent(parent ? parent : Form);
        // Clear of the fixture's controls on the form.
        box->SetBounds(parent ? 20 : 220, parent ? 30 : 130, 60, 40);
        listen(box, "Box", c.ownMenu);
        Form->Show();
        QApplication::processEvents();
        const TPoint at = box->ClientToScreen({10, 10});
        ASSERT_EQ(QApplication::widgetAt(at.X, at.Y), WidgetOf(box));

        heard.clear();
        QtPointer(TQtMouseAction::Press, at, mbRight);
        QtPointer(TQtMouseAction::Release, at, mbRight);
        EXPECT_EQ(heard, std::vector<std::string>{c.menu}) << "the right click";
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();

        heard.clear();
        QtDoubleClick(at);
        EXPECT_EQ(heard, std::vector<std::string>{"double click Box"}) << "the double click";

        delete box;
        delete parent;
        for (TPopupMenu* menu : menus)
            if (menu != Form->GetPopupMenu())
                delete menu;
        std::erase_if(menus, [this](TPopupMenu* menu) { return menu != Form->GetPopupMenu(); });
    }
}

}  // namespace

namespace {

// The window system's notices of activation arrive late, after the program may have asked
// for another window: the model follows each one without asking back, so two windows do
// not take the focus from each other for ever (the stale notices answered, each with a
// request of its own, kept the two alternating while the program ran).
TEST_F(QtInput, LateNoticesOfActivationDoNotMakeTwoWindowsAlternate)
{
    auto* other = new TForm(Application);
    other->SetBounds(700, 80, 200, 150);
    int formActivated = 0, otherActivated = 0;
    // Alternating for ever, the two would never let the event loop return: hiding one
    // ends it, and the counts tell.
    auto count = [&](int& activations) {
        if (++activations > 10 && other->GetVisible())
            other->Hide();
    };
    Form->OnActivate = TNotifyEvent::Lambda([&](TObject*) { count(formActivated); });
    other->OnActivate = TNotifyEvent::Lambda([&](TObject*) { count(otherActivated); });
    other->Show();
    QApplication::processEvents();
    ASSERT_EQ(Screen->GetActiveForm(), other);
    formActivated = otherActivated = 0;
    // Two notices on their way at once: the form activated, then the other window.
    WidgetOf(Form)->window()->windowHandle()->requestActivate();
    WidgetOf(other)->window()->windowHandle()->requestActivate();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    EXPECT_EQ(formActivated, 1);
    EXPECT_EQ(otherActivated, 1);
    EXPECT_EQ(Screen->GetActiveForm(), other) << "the last notice holds";
    EXPECT_EQ(QGuiApplication::focusWindow(), WidgetOf(other)->window()->windowHandle());
    delete other;
}

}  // namespace

namespace {

// Keys reach the model from Qt's widgets: Up and Down in an up-down's edit step it in either
// orientation (Left and Right move the caret), and the Menu key or Shift+F10 opens the same popup menu as the right
// button (the offscreen platform sends the key alone, no context-menu event).
TEST_F(QtInput, UpAndDownStepAnUpDownOfEitherOrientationInItsEdit)
{
    auto* upDown = Add<TUpDown>(130, 8, 17, 21);
    upDown->SetAssociate(Edit);
    upDown->SetPosition(5);
    auto* line = WidgetOf<QLineEdit>(Edit);
    struct TCase {
        TUDOrientation orientation;
        Qt::Key key;
        int expected;
        int caretMove;  // Left and Right stay the edit's
    };
    const TCase cases[] = {
        {udVertical, Qt::Key_Up, 6, 0},     {udVertical, Qt::Key_Down, 5, 0},    {udVertical, Qt::Key_Left, 5, -1},
        {udVertical, Qt::Key_Right, 5, 1},  {udHorizontal, Qt::Key_Up, 6, 0},    {udHorizontal, Qt::Key_Down, 5, 0},
        {udHorizontal, Qt::Key_Left, 5, -1}, {udHorizontal, Qt::Key_Right, 5, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.orientation)) + " key " + std::to_string(c.key));
        upDown->SetOrientation(c.orientation);
        QWidget* focus = Focus(Edit);
        line->setCursorPosition(c.caretMove < 0 ? 1 : 0);
        const int caret = line->cursorPosition();
        QTest::keyClick(focus, c.key);
        EXPECT_EQ(upDown->GetPosition(), c.expected);
        EXPECT_EQ(Edit->GetText(), IntToStr(c.expected));
        if (c.caretMove != 0)  // a step puts the caret after the new number
            EXPECT_EQ(line->cursorPosition(), caret + c.caretMove);
    }
}

TEST_F(QtInput, TheMenuKeyAndShiftF10OpenTheRightButtonsMenu)
{
    auto* tree = Add<TTreeView>(140, 140, 200, 120);
    tree->GetItems()->Add(nullptr, "Склад");
    auto* list = Add<TListBox>(360, 8, 100, 80);
    list->GetItems()->Add("Обувь");
    std::vector<TComponent*> popped;
    for (TWinControl* control : std::initializer_list<TWinControl*>{Edit, Memo, tree, list}) {
        auto* menu = new TPopupMenu(Form);
        auto* item = new TMenuItem(Form);
        item->SetCaption("Пункт");
        menu->GetItems()->Add(item);
        menu->OnPopup = TNotifyEvent::Lambda([&popped, menu](TObject*) { popped.push_back(menu->PopupComponent); });
        control->SetPopupMenu(menu);
    }
    QApplication::processEvents();
    struct TCase {
        const char* why;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const TCase routes[] = {{"Menu key", Qt::Key_Menu, Qt::NoModifier}, {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier}};
    for (TWinControl* control : std::initializer_list<TWinControl*>{Edit, Memo, tree, list})
        for (const TCase& r : routes) {
            SCOPED_TRACE(std::string(control->ClassName().c_str()) + ", " + r.why);
            popped.clear();
            Activate();  // a closed popup leaves the window to the window system
            QWidget* focus = Focus(control);
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, r.key, r.modifiers);
            EXPECT_EQ(popped, std::vector<TComponent*>{control});
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr) << "the menu shows";
            if (control != tree)  // a tree's shows under its selected node
                EXPECT_EQ(popup->pos(), QtPeerOf(control)->OriginWidget()->mapToGlobal(QPoint(0, 0)));
            popup->hide();
            // The right button opens the same menu.
            popped.clear();
            ASSERT_TRUE(control->UserContextMenu(5, 5));
            EXPECT_EQ(popped, std::vector<TComponent*>{control});
            while (QWidget* open = QApplication::activePopupWidget())
                open->close();
        }
}

}  // namespace

namespace {

// A chain of nested nodes deeper than the call stack could hold a frame for each shows,
// expands, collapses and goes away on screen without a crash, as it does in the model:
// Qt's tree view lays out each open level by calling itself, so the widget opens no more
// than a thousand levels.
TEST_F(QtInput, AChainOfNodesDeeperThanTheStackShowsWithoutACrash)
{
    constexpr int kDepth = 100000;
    auto* tree = Add<TTreeView>(140, 140, 200, 120);
    QApplication::processEvents();
    TTreeNodes* nodes = tree->GetItems();
    nodes->BeginUpdate();
    TTreeNode* node = nullptr;
    for (int i = 0; i < kDepth; ++i)
        node = nodes->AddChild(node, "Группа " + IntToStr(i));
    nodes->EndUpdate();
    QApplication::processEvents();
    auto* w = WidgetOf<QTreeWidget>(tree);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->topLevelItemCount(), 1);

    tree->FullExpand();
    QApplication::processEvents();
    w->repaint();
    tree->SetSelected(node);
    QApplication::processEvents();
    EXPECT_EQ(tree->GetSelected(), node) << "the model keeps its selection";
    // The widget opens a thousand levels; the selection shows on the deepest one in view.
    ASSERT_NE(w->currentItem(), nullptr);
    EXPECT_EQ(w->currentItem()->text(0), QStringLiteral("Группа 1000"));
    EXPECT_TRUE(w->currentItem()->parent()->isExpanded());
    EXPECT_FALSE(w->currentItem()->isExpanded());
    // The user's ways to open it, mouse and keyboard: it stays closed (deeper levels would
    // run the stack out), and its node stays open in the model, as FullExpand left it.
    QTreeWidgetItem* deepest = w->currentItem();
    TTreeNode* deepestNode = node;
    while (deepestNode->Level() > 1000)
        deepestNode = deepestNode->GetParent();
    const std::pair<const char*, std::function<void()>> routes[] = {
        {"a click on its box", [&] { deepest->setExpanded(true); }},
        {"Right", [&] { QTest::keyClick(w, Qt::Key_Right); }},
        {"+", [&] { QTest::keyClick(w, Qt::Key_Plus); }},
        {"*", [&] { QTest::keyClick(w, Qt::Key_Asterisk); }},
    };
    for (const auto& [why, open] : routes) {
        SCOPED_TRACE(why);
        w->setFocus();
        open();
        QApplication::processEvents();
        EXPECT_FALSE(deepest->isExpanded());
        EXPECT_TRUE(deepestNode->GetExpanded()) << "the model keeps its state";
        EXPECT_EQ(tree->GetSelected(), node);
    }
    tree->FullCollapse();
    QApplication::processEvents();
    nodes->Clear();
    QApplication::processEvents();
    EXPECT_EQ(w->topLevelItemCount(), 0);
}

}  // namespace
