// Narrow combo boxes, offscreen: Qt's drop-down button is wider than the platform's, so
// the peer slims it; a tool-bar zoom box 49 pixels wide shows "100%" whole.
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace {

class QtComboArrow : public ::testing::Test {
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
        Form->SetBounds(100, 80, 400, 300);
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

TEST_F(QtComboArrow, NarrowEditableBoxesShowTheirTextWhole)
{
    const struct {
        int Width;
        const char* Text;
        const char* why;
    } rows[] = {
        {49, "100%", "the preview's zoom box"},
        {49, "500%", "the widest zoom it offers"},
        {64, "Ширина", "a short word in a slightly wider box"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        auto* combo = new TComboBox(Form);
        combo->SetParent(Form);
        combo->SetBounds(4, 2, row.Width, 19);
        combo->SetText(row.Text);
        Form->Show();
        QApplication::processEvents();
        auto* w = qobject_cast<QComboBox*>(QtPeerOf(combo)->Widget());
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isEditable());
        EXPECT_EQ(w->width(), row.Width);
        QLineEdit* edit = w->lineEdit();
        const int need = edit->fontMetrics().horizontalAdvance(edit->text()) + 4;  // the edit's own side margins
        EXPECT_GE(edit->width(), need) << "edit " << edit->width() << " px for " << need << " px of text";
        EXPECT_LE(edit->geometry().right(), w->width()) << "the edit stays inside the box";
        delete combo;
    }
}

TEST_F(QtComboArrow, ADropDownListStillLeavesRoomForItsArrow)
{
    auto* combo = new TComboBox(Form);
    combo->SetParent(Form);
    combo->SetStyle(csDropDownList);
    combo->GetItems()->Add("шт");
    combo->SetItemIndex(0);
    combo->SetBounds(4, 2, 80, 21);
    Form->Show();
    QApplication::processEvents();
    auto* w = qobject_cast<QComboBox*>(QtPeerOf(combo)->Widget());
    ASSERT_NE(w, nullptr);
    QStyleOptionComboBox option;
    option.initFrom(w);
    option.editable = false;
    const QRect arrow = w->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, w);
    EXPECT_GE(arrow.width(), 10) << "the arrow is slim, not gone";
    EXPECT_LE(arrow.width(), 16);
}

}  // namespace
