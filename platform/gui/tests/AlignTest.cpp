// The model lays out aligned and anchored controls itself.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// The main window's shape: a tool bar on top, the tree panel on the left, a splitter,
// and the grid area filling the rest.
struct MainShape {
    TLogForm* Form;
    TToolBar* Bar;
    TPanel* Side;
    TSplitter* Split;
    TPanel* Client;
    TPanel* Bottom;

    explicit MainShape(TLogForm* form) : Form(form)
    {
        form->SetBorderStyle(bsNone);  // client area = bounds, to keep the numbers plain
        form->SetBounds(0, 0, 1000, 700);
        Bar = new TToolBar(form);
        Bar->SetParent(form);
        Bar->SetHeight(29);
        Side = new TPanel(form);
        Side->SetBevelOuter(bvNone);
        Side->SetBounds(0, 40, 259, 100);
        Side->SetParent(form);
        Side->SetAlign(alLeft);
        Split = new TSplitter(form);
        Split->SetBounds(300, 40, 6, 100);  // right of the panel
        Split->SetParent(form);
        Client = new TPanel(form);
        Client->SetBevelOuter(bvNone);
        Client->SetParent(form);
        Client->SetAlign(alClient);
        Bottom = new TPanel(Client);
        Bottom->SetBevelOuter(bvNone);
        Bottom->SetHeight(41);
        Bottom->SetParent(Client);
        Bottom->SetAlign(alBottom);
    }
};

TEST_F(GuiTest, ToolBarSidePanelSplitterAndClientAreaAlign)
{
    MainShape m(NewForm("Main"));
    EXPECT_EQ(m.Bar->BoundsRect(), Rect(0, 0, 1000, 29));
    EXPECT_EQ(m.Side->BoundsRect(), Rect(0, 29, 259, 700));
    EXPECT_EQ(m.Split->BoundsRect(), Rect(259, 29, 265, 700));
    EXPECT_EQ(m.Client->BoundsRect(), Rect(265, 29, 1000, 700));
    EXPECT_EQ(m.Bottom->BoundsRect(), Rect(0, 630, 735, 671)) << "aligned inside the client panel";

    m.Form->SetBounds(0, 0, 800, 600);
    EXPECT_EQ(m.Bar->BoundsRect(), Rect(0, 0, 800, 29));
    EXPECT_EQ(m.Side->BoundsRect(), Rect(0, 29, 259, 600)) << "the side panel keeps its width";
    EXPECT_EQ(m.Client->BoundsRect(), Rect(265, 29, 800, 600));
    EXPECT_EQ(m.Bottom->BoundsRect(), Rect(0, 530, 535, 571));
}

// A resize handler fits its contents to the new size (the preview's whole-page zoom): by
// the time it runs, the children aligned inside have their new sizes already.
TEST_F(GuiTest, ResizeHandlersSeeTheirChildrenAlreadyAligned)
{
    struct Case {
        const char* why;
        TRect bounds;
    };
    const Case cases[] = {
        {"the window shrinks", Rect(0, 0, 800, 600)},
        {"the window grows", Rect(0, 0, 1200, 900)},
        {"only the height changes", Rect(0, 0, 1200, 500)},
    };
    MainShape m(NewForm("Main"));
    std::vector<AnsiString> seen;
    auto log = [&](const char* who, TControl* inner) {
        return TNotifyEvent::Lambda([&seen, who, inner](TObject*) {
            seen.push_back(AnsiString(who) + " " + IntToStr(inner->GetWidth()) + "x" + IntToStr(inner->GetHeight()));
        });
    };
    m.Form->OnResize = log("form", m.Client);
    m.Client->OnResize = log("client", m.Bottom);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        seen.clear();
        m.Form->SetBounds(c.bounds.Left, c.bounds.Top, c.bounds.Width(), c.bounds.Height());
        const int clientWidth = c.bounds.Width() - 265, clientHeight = c.bounds.Height() - 29;
        EXPECT_EQ(seen, (std::vector<AnsiString>{"client " + IntToStr(clientWidth) + "x41",
                                                 "form " + IntToStr(clientWidth) + "x" + IntToStr(clientHeight)}));
    }
}

TEST_F(GuiTest, DraggingTheSplitterResizesThePanelBeforeIt)
{
    MainShape m(NewForm("Main"));
    m.Form->Show();
    EXPECT_EQ(m.Split->ResizeControl(), m.Side);
    int moved = 0;
    m.Split->OnMoved = TNotifyEvent::Lambda([&](TObject*) { ++moved; });
    D.Drag(m.Split, 41);
    EXPECT_EQ(m.Side->GetWidth(), 300);
    EXPECT_EQ(m.Split->GetLeft(), 300);
    EXPECT_EQ(m.Client->GetLeft(), 306);
    D.Drag(m.Split, -1000);
    EXPECT_EQ(m.Side->GetWidth(), 30) << "never below MinSize";
    D.Drag(m.Split, 5000);
    EXPECT_EQ(m.Client->GetWidth(), 30) << "the client area keeps MinSize too";
    EXPECT_EQ(moved, 3);
}

TEST_F(GuiTest, HidingAnAlignedControlGivesItsSpaceAway)
{
    MainShape m(NewForm("Main"));
    m.Bar->Hide();
    EXPECT_EQ(m.Side->GetTop(), 0);
    EXPECT_EQ(m.Client->BoundsRect(), Rect(265, 0, 1000, 700));
    m.Bar->Show();
    EXPECT_EQ(m.Client->GetTop(), 29);
}

TEST_F(GuiTest, ToolBarPlacesItsButtonsInARow)
{
    TLogForm* form = NewForm("Main");
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 100);
    auto* bar = new TToolBar(form);
    bar->SetParent(form);
    bar->SetButtonWidth(60);
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < 4; ++i) {
        auto* b = new TToolButton(form);
        b->SetLeft(i * 1000);  // order by position
        b->SetParent(bar);
        buttons.push_back(b);
    }
    buttons[1]->SetStyle(tbsSeparator);
    bar->AlignControls();
    EXPECT_EQ(buttons[0]->BoundsRect(), Rect(0, 0, 60, 22));
    EXPECT_EQ(buttons[1]->BoundsRect(), Rect(60, 0, 68, 22)) << "a separator keeps its own width";
    EXPECT_EQ(buttons[2]->BoundsRect(), Rect(68, 0, 128, 22));
    EXPECT_EQ(buttons[3]->BoundsRect(), Rect(128, 0, 188, 22));
}

TEST_F(GuiTest, RightAndBottomAnchorsKeepTheirDistance)
{
    TLogForm* form = NewForm("Dialog");
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(310, 260, 75, 25);
    ok->SetAnchors(TAnchors{akRight, akBottom});
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 10, 380, 240);
    memo->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    form->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(ok->BoundsRect(), Rect(410, 360, 485, 385));
    EXPECT_EQ(memo->BoundsRect(), Rect(10, 10, 490, 350));
}

TEST_F(GuiTest, FormFrameAndMenuShrinkTheClientArea)
{
    TLogForm* form = NewForm("Main");
    form->SetBorderStyle(bsDialog);
    form->SetClientWidth(271);
    form->SetClientHeight(50);
    EXPECT_EQ(form->GetClientWidth(), 271);
    EXPECT_EQ(form->GetClientHeight(), 50);
    EXPECT_GT(form->GetWidth(), 271);
    EXPECT_GT(form->GetHeight(), 50);
}

}  // namespace
