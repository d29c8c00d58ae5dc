// Controls lying at the same place, offscreen: the one created later lies on top, also
// after it was hidden and shown again (a drop-down list laid over an edit box).
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class QtStacking : public ::testing::Test {
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
        Form->SetBounds(100, 80, 300, 100);
    }
    void TearDown() override
    {
        QApplication::closeAllWindows();
        DestroyApplication();
        FBackend.reset();
        QApplication::processEvents();
    }

    TForm* Form = nullptr;

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TEST_F(QtStacking, AListShownOverAnEditLiesOnTop)
{
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(8, 16, 161, 19);
    edit->SetTabOrder(0);
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetBounds(177, 16, 89, 25);
    button->SetTabOrder(1);
    auto* combo = new TComboBox(Form);
    combo->SetParent(Form);
    combo->SetBounds(8, 16, 161, 21);
    combo->SetTabOrder(2);
    Form->Show();
    QApplication::processEvents();
    QWidget* list = QtPeerOf(combo)->Widget();
    QWidget* frame = list->parentWidget();
    ASSERT_NE(frame, nullptr);
    auto topAt = [&] {
        QWidget* w = frame->childAt(QPoint(20, 24));
        while (w && w->parentWidget() != frame)
            w = w->parentWidget();
        return w;
    };
    EXPECT_EQ(topAt(), list) << "as laid out";

    const struct {
        bool EditShown;
        const char* why;
    } rows[] = {
        {true, "list hidden, then shown again with the edit"},
        {false, "list hidden, then shown again alone"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        combo->SetVisible(false);
        Form->Hide();
        QApplication::processEvents();
        edit->SetVisible(row.EditShown);
        edit->SetEnabled(true);
        combo->SetVisible(true);
        Form->Show();
        if (row.EditShown)
            edit->SetFocus();
        QApplication::processEvents();
        EXPECT_EQ(topAt(), list);
    }
}

}  // namespace
