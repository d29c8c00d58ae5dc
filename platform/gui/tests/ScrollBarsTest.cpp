// The scroll bars of scroll boxes and forms: range, position and the children they move.
#include "platform/gui/Forms.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

namespace {

class TScrolledForm : public TForm {
    SKLAD_CLASS(TScrolledForm, TForm)
public:
    explicit TScrolledForm(TComponent* AOwner) : TForm(AOwner, TDeferLayout{}) {}
    void Load(const AnsiString& text) { InitLayoutText(text); }
};

struct ScrollBarsTest : ::testing::Test {
    TTestDriver d;
    // A 200 x 100 box holding a button reaching to (350, 260) and a panel aligned to the top.
    TScrollBox* Box = new TScrollBox(Application);
    TButton* Button = new TButton(Box);
    TPanel* Top = new TPanel(Box);
    ScrollBarsTest()
    {
        Box->SetBorderStyle(bsNone);
        Box->SetBounds(0, 0, 200, 100);
        Button->SetParent(Box);
        Button->SetBounds(300, 230, 50, 30);
        Top->SetParent(Box);
        Top->SetAlign(alTop);
        Top->SetHeight(20);
    }
    ~ScrollBarsTest() override { delete Box; }
};

TEST_F(ScrollBarsTest, AutoScrollRangesReachTheChildren)
{
    TControlScrollBar* h = Box->GetHorzScrollBar();
    TControlScrollBar* v = Box->GetVertScrollBar();
    EXPECT_EQ(h->GetKind(), sbHorizontal);
    EXPECT_EQ(v->GetKind(), sbVertical);
    EXPECT_EQ(h->GetRange(), 350);
    EXPECT_EQ(v->GetRange(), 260);
    EXPECT_TRUE(h->IsScrollBarVisible());
    h->SetMargin(10);
    EXPECT_EQ(h->GetRange(), 360);
    Button->SetBounds(10, 10, 50, 30);
    EXPECT_FALSE(h->IsScrollBarVisible()) << "everything fits";
    EXPECT_FALSE(v->IsScrollBarVisible());
}

TEST_F(ScrollBarsTest, PositionMovesTheChildrenWithinTheRange)
{
    struct Case {
        TScrollBarKind Kind;
        int Set, Position, Left, Top;
    };
    const Case cases[] = {
        {sbHorizontal, 100, 100, 200, 230},
        {sbHorizontal, 1000, 150, 150, 230},  // 350 - 200 is as far as it goes
        {sbHorizontal, -5, 0, 300, 230},
        {sbVertical, 60, 60, 300, 170},
        {sbVertical, 500, 160, 300, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Set);
        Box->GetHorzScrollBar()->SetPosition(0);
        Box->GetVertScrollBar()->SetPosition(0);
        TControlScrollBar* bar = c.Kind == sbHorizontal ? Box->GetHorzScrollBar() : Box->GetVertScrollBar();
        bar->SetPosition(c.Set);
        EXPECT_EQ(bar->GetPosition(), c.Position);
        EXPECT_EQ(bar->GetScrollPos(), c.Position);
        EXPECT_EQ(Button->GetLeft(), c.Left);
        EXPECT_EQ(Button->GetTop(), c.Top);
        EXPECT_EQ(Top->GetTop(), 0) << "aligned children stay";
    }
    Box->GetHorzScrollBar()->SetPosition(150);
    EXPECT_EQ(Box->GetHorzScrollBar()->GetRange(), 350) << "the range counts from the unscrolled origin";
    Box->GetHorzScrollBar()->SetVisible(false);
    EXPECT_EQ(Box->GetHorzScrollBar()->GetPosition(), 0);
    EXPECT_EQ(Button->GetLeft(), 300) << "a hidden bar scrolls back";
    Box->GetHorzScrollBar()->SetPosition(50);
    EXPECT_EQ(Box->GetHorzScrollBar()->GetPosition(), 0);
}

TEST_F(ScrollBarsTest, SettingTheRangeEndsAutoScroll)
{
    Box->GetVertScrollBar()->SetRange(1000);
    EXPECT_FALSE(Box->GetAutoScroll());
    EXPECT_EQ(Box->GetVertScrollBar()->GetRange(), 1000);
    Box->GetVertScrollBar()->SetPosition(950);
    EXPECT_EQ(Box->GetVertScrollBar()->GetPosition(), 900);
    Box->GetVertScrollBar()->SetRange(150);
    EXPECT_EQ(Box->GetVertScrollBar()->GetPosition(), 50) << "a smaller range pulls the position in";
    EXPECT_THROW(Box->GetVertScrollBar()->SetIncrement(0), ERangeError);
    Box->GetVertScrollBar()->SetIncrement(16);
    EXPECT_EQ(Box->GetVertScrollBar()->GetIncrement(), 16);
}

TEST_F(ScrollBarsTest, ScrollInViewShowsTheControl)
{
    Box->ScrollInView(Button);
    EXPECT_EQ(Box->GetHorzScrollBar()->GetPosition(), 150);
    EXPECT_EQ(Box->GetVertScrollBar()->GetPosition(), 160);
    EXPECT_EQ(Button->GetLeft() + Button->GetWidth(), 200);
}

TEST_F(ScrollBarsTest, FormsReadTheirBarsFromTheLayout)
{
    RegisterClass(TScrolledForm::StaticClass());
    auto* form = new TScrolledForm(Application);
    form->Load("object F: TScrolledForm\n"
               "  ClientWidth = 300\n"
               "  ClientHeight = 200\n"
               "  HorzScrollBar.Range = 800\n"
               "  HorzScrollBar.Increment = 20\n"
               "  VertScrollBar.Visible = False\n"
               "end\n");
    EXPECT_EQ(form->GetHorzScrollBar()->GetRange(), 800);
    EXPECT_EQ(form->GetHorzScrollBar()->GetIncrement(), 20);
    EXPECT_FALSE(form->GetAutoScroll());
    EXPECT_FALSE(form->GetVertScrollBar()->GetVisible());
    EXPECT_TRUE(form->GetHorzScrollBar()->IsScrollBarVisible());
    delete form;
}

// The box's bars are its own: shown while needed, and what the user does on them moves
// Position and the children (lines by Increment, pages by nine tenths of the client).
TEST_F(ScrollBarsTest, TheUserScrollsTheBoxThroughItsBars)
{
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 400, 300);
    Box->SetParent(form);
    d.Run([&] { form->Show(); });
    EXPECT_TRUE(Box->HasScrollBar(sbHorizontal));
    EXPECT_TRUE(Box->HasScrollBar(sbVertical));
    EXPECT_EQ(Box->GetScrollBarInfo(sbVertical), (TScrollBarInfo{0, 260, 100, 0, true}));
    struct Case {
        TScrollBarKind Kind;
        TScrollCode Code;
        int Pos, Position, Left, Top;
    };
    const Case cases[] = {
        {sbVertical, scLineDown, 0, 8, 300, 222},
        {sbVertical, scPageDown, 0, 98, 300, 132},
        {sbVertical, scBottom, 0, 160, 300, 70},
        {sbVertical, scLineUp, 0, 152, 300, 78},
        {sbVertical, scTrack, 40, 40, 300, 190},
        {sbVertical, scPosition, 500, 160, 300, 70},
        {sbVertical, scTop, 0, 0, 300, 230},
        {sbHorizontal, scPageDown, 0, 150, 150, 230},
        {sbHorizontal, scPageUp, 0, 0, 300, 230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Kind) << " " << int(c.Code));
        d.Scroll(Box, c.Kind, c.Code, c.Pos);
        TControlScrollBar* bar = c.Kind == sbHorizontal ? Box->GetHorzScrollBar() : Box->GetVertScrollBar();
        EXPECT_EQ(bar->GetPosition(), c.Position);
        EXPECT_EQ(Box->GetScrollBarInfo(c.Kind).Pos, c.Position);
        EXPECT_EQ(Button->GetLeft(), c.Left);
        EXPECT_EQ(Button->GetTop(), c.Top);
    }
    Box->GetVertScrollBar()->SetPosition(160);
    Button->SetBounds(300, 0, 50, 30);  // reaches to 190 from the unscrolled origin now
    EXPECT_EQ(Box->GetVertScrollBar()->GetPosition(), 90) << "a shorter range pulls the position in";
    EXPECT_EQ(Button->GetTop(), 70);
    Box->GetVertScrollBar()->SetPosition(0);
    Box->GetHorzScrollBar()->SetPosition(0);
    Button->SetBounds(10, 10, 50, 30);
    EXPECT_FALSE(Box->HasScrollBar(sbHorizontal)) << "everything fits";
    EXPECT_FALSE(Box->HasScrollBar(sbVertical));
    Box->SetParent(nullptr);
    delete form;
}

}  // namespace

SKLAD_DEFINE_CLASS(TScrolledForm)
void TScrolledForm::Publish(TPropertyTable&) {}
