// A form shown maximized from the start, offscreen: Qt gives the window the screen, the
// model takes the new size at once and lays its aligned children out on it, and every
// child widget is shown at its model bounds right after the show, with no resize needed.
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/tests/QtTestApp.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

namespace {

class QtMaximizedForm : public ::testing::Test {
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
        Top = Add(alTop, 30);
        Bottom = Add(alBottom, 20);
        Client = Add(alClient, 0);
    }
    void TearDown() override
    {
        QApplication::closeAllWindows();
        DestroyApplication();
        FBackend.reset();
        QApplication::processEvents();
    }
    TPanel* Add(TAlign align, int height)
    {
        auto* panel = new TPanel(Form);
        panel->SetParent(Form);
        panel->SetHeight(height);
        panel->SetAlign(align);
        return panel;
    }
    static QWidget* WidgetOf(TControl* control)
    {
        TQtControlPeer* peer = QtPeerOf(control);
        return peer ? peer->Widget() : nullptr;
    }
    // What the window shows right after the show: the client size Qt gave the form and
    // each child's widget, compared with the model.
    void CheckShown()
    {
        QWidget* frame = WidgetOf(Form);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->isVisible());
        EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
        const QRect screen = frame->screen()->availableGeometry();
        EXPECT_EQ(frame->size(), screen.size()) << "offscreen Qt gives a maximized window the screen";
        const TRect client = Form->ClientRect();
        EXPECT_EQ(client.Width(), frame->width());
        EXPECT_EQ(client.Height(), frame->height());
        const struct {
            TPanel* Panel;
            QRect Want;
            const char* why;
        } rows[] = {
            {Top, QRect(0, 0, client.Width(), 30), "the top panel spans the maximized width"},
            {Bottom, QRect(0, client.Height() - 20, client.Width(), 20), "the bottom panel sits at the new bottom"},
            {Client, QRect(0, 30, client.Width(), client.Height() - 50), "the client panel fills the rest"},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.why);
            EXPECT_EQ(QRect(row.Panel->GetLeft(), row.Panel->GetTop(), row.Panel->GetWidth(), row.Panel->GetHeight()),
                      row.Want);
            QWidget* widget = WidgetOf(row.Panel);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(widget->isVisible());
            EXPECT_EQ(widget->geometry(), row.Want);
        }
        Checked = true;
    }

    TForm* Form = nullptr;
    TPanel* Top = nullptr;
    TPanel* Bottom = nullptr;
    TPanel* Client = nullptr;
    bool Checked = false;

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TEST_F(QtMaximizedForm, AModelessFormShownMaximizedLaysItsChildrenOutOnTheScreen)
{
    Form->SetWindowState(wsMaximized);
    Form->Show();
    CheckShown();
    EXPECT_EQ(Form->GetWindowState(), wsMaximized);
}

TEST_F(QtMaximizedForm, AModalFormShownMaximizedIsLaidOutBeforeTheFirstTurnOfItsLoop)
{
    Form->SetWindowState(wsMaximized);
    QTimer::singleShot(0, [&] {
        CheckShown();
        Form->SetModalResult(mrOk);
    });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_TRUE(Checked);
}

TEST_F(QtMaximizedForm, BackToNormalTheFormTakesItsOwnBoundsAgain)
{
    const int normalWidth = Form->ClientRect().Width();
    Form->SetWindowState(wsMaximized);
    Form->Show();
    Form->SetWindowState(wsNormal);
    QApplication::processEvents();
    QWidget* frame = WidgetOf(Form);
    EXPECT_FALSE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->width(), normalWidth) << "the bounds from before the maximizing";
    EXPECT_EQ(frame->width(), Form->ClientRect().Width());
    EXPECT_EQ(WidgetOf(Client)->width(), Form->ClientRect().Width());
    EXPECT_EQ(WidgetOf(Top)->width(), frame->width());
}

}  // namespace

// The window manager maximises, minimises and restores the window on its own (a double
// click on the title bar, its keys): the state reaches Qt through the window, not through
// the widget, and the model follows it; the model's own changes still reach the window.
TEST_F(QtMaximizedForm, TheFormsStateFollowsTheWindowManager)
{
    Form->Show();
    QApplication::processEvents();
    QWidget* frame = WidgetOf(Form);
    ASSERT_NE(frame, nullptr);
    QWindow* window = frame->windowHandle();
    ASSERT_NE(window, nullptr);
    const struct {
        const char* why;
        std::function<void()> act;
        TWindowState model;
        Qt::WindowStates shown;
    } steps[] = {
        {"maximised by the window manager", [&] { window->setWindowStates(Qt::WindowMaximized); }, wsMaximized,
         Qt::WindowMaximized},
        {"restored by the window manager", [&] { window->setWindowStates(Qt::WindowNoState); }, wsNormal,
         Qt::WindowNoState},
        {"maximised again", [&] { window->setWindowStates(Qt::WindowMaximized); }, wsMaximized, Qt::WindowMaximized},
        {"then restored by the program", [&] { Form->SetWindowState(wsNormal); }, wsNormal, Qt::WindowNoState},
        {"maximised by the program", [&] { Form->SetWindowState(wsMaximized); }, wsMaximized, Qt::WindowMaximized},
        {"minimised by the window manager (the widget keeps maximised for the way back)",
         [&] { window->setWindowStates(Qt::WindowMinimized); }, wsMinimized, Qt::WindowMinimized | Qt::WindowMaximized},
        {"restored from there by the window manager", [&] { window->setWindowStates(Qt::WindowNoState); }, wsNormal,
         Qt::WindowNoState},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        step.act();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        EXPECT_EQ(Form->GetWindowState(), step.model);
        EXPECT_EQ(frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), step.shown);
    }
}

// Application.Restore after the maximized main window was minimized gives the window back
// maximized, at its maximized size, and a later return to normal still finds the form's own
// bounds; whether the program or the window manager minimized it.
TEST_F(QtMaximizedForm, RestoredAfterMinimizingTheMaximizedWindowIsMaximizedAgain)
{
    const int normalWidth = Form->ClientRect().Width();
    Form->Show();
    QApplication::processEvents();
    QWidget* frame = WidgetOf(Form);
    ASSERT_NE(frame, nullptr);
    const struct {
        const char* why;
        std::function<void()> minimize;
    } cases[] = {
        {"minimized by the program", [&] { Application->Minimize(); }},
        {"minimized by the window manager",
         [&] { frame->windowHandle()->setWindowStates(Qt::WindowMinimized | Qt::WindowMaximized); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Form->SetWindowState(wsMaximized);
        QApplication::processEvents();
        const QSize maximized = frame->size();
        c.minimize();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        ASSERT_EQ(Form->GetWindowState(), wsMinimized);
        Application->Restore();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        EXPECT_EQ(Form->GetWindowState(), wsMaximized);
        EXPECT_EQ(frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized), Qt::WindowMaximized);
        EXPECT_EQ(frame->size(), maximized);
        Form->SetWindowState(wsNormal);
        QApplication::processEvents();
        EXPECT_EQ(frame->width(), normalWidth) << "the bounds from before the maximizing";
    }
}
