// The mouse wheel (handlers, notches, passing an unhandled turn up to the form), the
// scroll-bar hook of windows with their own bars, and image lists with the tool bar that
// shows them.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- wheel

// A form with a panel holding an edit; every wheel handler logs "Name.Kind delta".
struct WheelForm {
    TLogForm* Form;
    TPanel* Panel;
    TEdit* Edit;
    std::vector<std::string> Fired;
    // Which control marks which event handled ("Edit.Wheel", "Panel.Up", ...).
    std::vector<std::string> Handles;

    explicit WheelForm(TLogForm* form) : Form(form)
    {
        Panel = new TPanel(form);
        Panel->SetName("Panel");
        Panel->SetParent(form);
        Panel->SetBounds(10, 20, 200, 100);
        Edit = new TEdit(form);
        Edit->SetName("Edit");
        Edit->SetParent(Panel);
        Edit->SetBounds(5, 7, 100, 21);
        for (TControl* c : {static_cast<TControl*>(form), static_cast<TControl*>(Panel), static_cast<TControl*>(Edit)})
            Wire(c);
    }
    void Wire(TControl* c)
    {
        const std::string name = c->Name();
        c->OnMouseWheel = TMouseWheelEvent::Lambda(
            [this, name](TObject*, TShiftState, int delta, TPoint, bool& handled) {
                Fired.push_back(name + ".Wheel " + std::to_string(delta));
                handled = Marks(name + ".Wheel");
            },
            c);
        c->OnMouseWheelUp = TMouseWheelUpDownEvent::Lambda(
            [this, name](TObject*, TShiftState, TPoint, bool& handled) {
                Fired.push_back(name + ".Up");
                handled = Marks(name + ".Up");
            },
            c);
        c->OnMouseWheelDown = TMouseWheelUpDownEvent::Lambda(
            [this, name](TObject*, TShiftState, TPoint, bool& handled) {
                Fired.push_back(name + ".Down");
                handled = Marks(name + ".Down");
            },
            c);
    }
    bool Marks(const std::string& what) const
    {
        return std::find(Handles.begin(), Handles.end(), what) != Handles.end();
    }
};

using Lines = std::vector<std::string>;

struct WheelCase {
    const char* why;
    std::vector<int> deltas;  // turns, one after another, over the edit
    std::vector<std::string> handles;
    Lines expected;
    bool handled;  // of the last turn
};

const WheelCase kWheelCases[] = {
    {"a notch away from the user: the raw turn, then one Up, then the same up the parents",
     {120}, {"Edit.Up"}, {"Edit.Wheel 120", "Edit.Up"}, true},
    {"a notch towards the user turns down", {-120}, {"Edit.Down"}, {"Edit.Wheel -120", "Edit.Down"}, true},
    {"half notches add up to one Up on the second half; the first half, unhandled, goes up the parents",
     {60, 60}, {"Edit.Up"}, {"Edit.Wheel 60", "Panel.Wheel 60", "Form.Wheel 60", "Edit.Wheel 60", "Edit.Up"}, true},
    {"two notches at once give two Ups", {240}, {"Edit.Up"}, {"Edit.Wheel 240", "Edit.Up", "Edit.Up"}, true},
    {"a raw handler that takes the turn stops the notches and the parents",
     {120}, {"Edit.Wheel"}, {"Edit.Wheel 120"}, true},
    {"an unhandled turn goes to the panel and then the form",
     {-120}, {"Form.Down"},
     {"Edit.Wheel -120", "Edit.Down", "Panel.Wheel -120", "Panel.Down", "Form.Wheel -120", "Form.Down"}, true},
    {"the panel takes it: the form never hears it",
     {120}, {"Panel.Wheel"}, {"Edit.Wheel 120", "Edit.Up", "Panel.Wheel 120"}, true},
    {"nobody takes it", {120},
     {}, {"Edit.Wheel 120", "Edit.Up", "Panel.Wheel 120", "Panel.Up", "Form.Wheel 120", "Form.Up"}, false},
    {"a partial turn left over is not lost when the direction holds",
     {90, 90}, {"Edit.Up", "Edit.Wheel"}, {"Edit.Wheel 90", "Edit.Wheel 90"}, true},
};

class WheelTest : public GuiTest {};

TEST_F(WheelTest, HandlersNotchesAndParents)
{
    for (const WheelCase& c : kWheelCases) {
        SCOPED_TRACE(c.why);
        WheelForm f(NewForm("Form"));
        f.Form->Show();
        f.Handles = c.handles;
        bool handled = false;
        for (int delta : c.deltas)
            handled = D.Wheel(f.Edit, delta);
        EXPECT_EQ(f.Fired, c.expected);
        EXPECT_EQ(handled, c.handled);
        delete f.Form;
    }
}

TEST_F(WheelTest, PartialTurnsAreKeptPerControl)
{
    WheelForm f(NewForm("Form"));
    f.Form->Show();
    f.Handles = {"Edit.Up", "Edit.Down"};
    D.Wheel(f.Edit, 80);    // no notch anywhere: every control keeps 80
    D.Wheel(f.Edit, 80);    // edit 160: one Up, handled, 40 left
    D.Wheel(f.Edit, -160);  // edit -120: one Down
    D.Wheel(f.Edit, 110);   // edit 110: no notch; panel and form 190: one Up each
    EXPECT_EQ(f.Fired, (Lines{"Edit.Wheel 80", "Panel.Wheel 80", "Form.Wheel 80", "Edit.Wheel 80", "Edit.Up",
                              "Edit.Wheel -160", "Edit.Down", "Edit.Wheel 110", "Panel.Wheel 110", "Panel.Up",
                              "Form.Wheel 110", "Form.Up"}));
}

TEST_F(WheelTest, MousePositionIsOnTheScreenAndShiftKeysArePassed)
{
    WheelForm f(NewForm("Form"));
    f.Form->SetBounds(100, 50, 400, 300);
    f.Form->Show();
    TPoint seen{-1, -1};
    TShiftState shift;
    f.Edit->OnMouseWheel = TMouseWheelEvent::Lambda(
        [&](TObject*, TShiftState s, int, TPoint p, bool& handled) {
            seen = p;
            shift = s;
            handled = true;
        },
        f.Edit);
    D.Wheel(f.Edit, 120, TShiftState{ssCtrl}, 3, 4);
    EXPECT_EQ(seen, f.Edit->ClientToScreen({3, 4}));
    EXPECT_TRUE(shift.Contains(ssCtrl));
}

TEST_F(WheelTest, RefusedWhereInputIsNotAccepted)
{
    WheelForm f(NewForm("Form"));
    f.Form->Show();
    f.Panel->SetEnabled(false);
    bool handled = true;
    EXPECT_FALSE(f.Edit->UserMouseWheel(120, {}, {0, 0}, &handled));
    EXPECT_FALSE(handled);
    EXPECT_TRUE(f.Fired.empty());
}

TEST_F(WheelTest, HandlerThatFreesTheControlEndsThePassingQuietly)
{
    WheelForm f(NewForm("Form"));
    f.Form->Show();
    f.Edit->OnMouseWheel = TMouseWheelEvent::Lambda(
        [&](TObject*, TShiftState, int, TPoint, bool&) {
            delete f.Panel;  // takes the edit's parent with it from the chain
            f.Fired.push_back("freed");
        },
        f.Form);
    bool handled = true;
    EXPECT_TRUE(f.Edit->UserMouseWheel(120, {}, {0, 0}, &handled));
    EXPECT_EQ(f.Fired, (Lines{"freed", "Edit.Up"})) << "the edit lives on; the freed panel ends the walk";
    EXPECT_FALSE(handled);
}

TEST_F(WheelTest, FormPublishesItsWheelEvents)
{
    for (const char* name : {"OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(TCustomForm::StaticClass()->FindProperty(name), nullptr);
    }
}

// ---------------------------------------------------------------- window scroll bars

// A window with a vertical bar only, which logs the requests it gets.
class TBarWindow : public TCustomControl {
    SKLAD_CLASS_NOPUBLISH(TBarWindow, TCustomControl)
public:
    explicit TBarWindow(TComponent* AOwner) : TCustomControl(AOwner) {}
    bool HasScrollBar(TScrollBarKind kind) const override { return kind == sbVertical; }
    std::vector<std::string> Requests;

protected:
    void DoScroll(TScrollBarKind kind, TScrollCode code, int pos) override
    {
        Requests.push_back(std::string(kind == sbVertical ? "V " : "H ") + std::to_string(int(code)) + " " +
                           std::to_string(pos));
    }
};
SKLAD_DEFINE_CLASS(TBarWindow)

TEST_F(WheelTest, ScrollRequestsReachOnlyWindowsWithThatBar)
{
    TLogForm* form = NewForm("Form");
    auto* window = new TBarWindow(form);
    window->SetParent(form);
    form->Show();
    D.Scroll(window, sbVertical, scTrack, 70000);
    D.Scroll(window, sbVertical, scLineDown);
    EXPECT_FALSE(window->UserScroll(sbHorizontal, scLineDown)) << "no horizontal bar";
    window->SetEnabled(false);
    EXPECT_FALSE(window->UserScroll(sbVertical, scLineDown)) << "disabled";
    EXPECT_EQ(window->Requests, (Lines{"V 5 70000", "V 1 0"}));
    auto* plain = new TPanel(form);
    plain->SetParent(form);
    EXPECT_FALSE(plain->UserScroll(sbVertical, scLineDown)) << "a window without bars";
}

// ---------------------------------------------------------------- image lists

// A bitmap of `count` 16-pixel squares side by side, square i filled with colours[i], with
// one corner pixel of each in the mask colour clFuchsia.
std::unique_ptr<TBitmap> Strip(int width, const std::vector<TColor>& colours)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, 16);
    TCanvas* canvas = bitmap->GetCanvas();
    for (size_t i = 0; i < colours.size(); ++i) {
        canvas->GetBrush()->SetColor(colours[i]);
        canvas->FillRect(Rect(int(i) * 16, 0, int(i) * 16 + 16, 16));
        canvas->SetPixel(int(i) * 16, 0, clFuchsia);
    }
    return bitmap;
}

struct StripCase {
    const char* why;
    int width;
    int added;  // images added
    int first;  // index returned
};

const StripCase kStrips[] = {
    {"a single square adds one image", 16, 1, 0},
    {"a strip of three adds three, left to right", 48, 3, 0},
    {"a rest narrower than the width is dropped", 40, 2, 0},
    {"a bitmap narrower than one image adds nothing", 10, 0, -1},
};

TEST(ImageListTest, StripsAddOneImagePerWidth)
{
    for (const StripCase& c : kStrips) {
        SCOPED_TRACE(c.why);
        TImageList list(nullptr);
        auto bitmap = Strip(c.width, {clRed, clGreen, clBlue});
        EXPECT_EQ(list.AddMasked(bitmap.get(), clFuchsia), c.first);
        EXPECT_EQ(list.Count(), c.added);
    }
    TImageList list(nullptr);
    TBitmap empty;
    EXPECT_EQ(list.Add(&empty, nullptr), -1);
    EXPECT_EQ(list.Add(nullptr, nullptr), -1);
}

TEST(ImageListTest, TransparencyByMaskColourAndByMaskBitmap)
{
    TImageList list(nullptr);
    auto strip = Strip(32, {clRed, clBlue});
    ASSERT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
    EXPECT_TRUE(list.IsTransparent(1, 0, 0)) << "the mask colour of the second piece";
    EXPECT_FALSE(list.IsTransparent(1, 1, 0));
    const TPixelBuffer pixels = list.GetImagePixels(1);
    ASSERT_EQ(pixels.Width, 16);
    EXPECT_EQ(pixels.Row(0)[0] >> 24, 0u) << "transparent pixels carry alpha 0";
    EXPECT_EQ(pixels.Row(5)[5], 0xFF0000FFu) << "blue stays opaque blue";

    TBitmap copy;
    list.GetBitmap(1, &copy);
    EXPECT_EQ(copy.GetWidth(), 16);
    EXPECT_EQ(copy.GetCanvas()->GetPixel(0, 0), ColorToRGB(clBtnFace)) << "a button shows through";
    EXPECT_EQ(copy.GetCanvas()->GetPixel(3, 3), clBlue);

    // A mask bitmap: white pixels are transparent.
    TBitmap mask;
    mask.SetSize(16, 16);
    mask.GetCanvas()->GetBrush()->SetColor(clBlack);
    mask.GetCanvas()->FillRect(Rect(0, 0, 16, 16));
    mask.GetCanvas()->SetPixel(2, 3, clWhite);
    auto one = Strip(16, {clGreen});
    ASSERT_EQ(list.Add(one.get(), &mask), 2);
    EXPECT_TRUE(list.IsTransparent(2, 2, 3));
    EXPECT_FALSE(list.IsTransparent(2, 0, 0)) << "the mask, not the colour, decides";
    EXPECT_TRUE(list.IsTransparent(7, 0, 0)) << "outside the list everything is transparent";
}

TEST(ImageListTest, DrawLeavesTransparentPixelsAlone)
{
    TImageList list(nullptr);
    auto strip = Strip(16, {clRed});
    list.AddMasked(strip.get(), clFuchsia);
    TBitmap target;
    target.SetSize(20, 20);
    target.GetCanvas()->GetBrush()->SetColor(clYellow);
    target.GetCanvas()->FillRect(Rect(0, 0, 20, 20));
    list.Draw(target.GetCanvas(), 2, 2, 0);
    EXPECT_EQ(target.GetCanvas()->GetPixel(2, 2), clYellow) << "the transparent corner";
    EXPECT_EQ(target.GetCanvas()->GetPixel(3, 2), clRed);
    EXPECT_EQ(target.GetCanvas()->GetPixel(1, 1), clYellow) << "outside the image";
    list.Draw(target.GetCanvas(), 2, 2, 0, false);
    EXPECT_EQ(target.GetCanvas()->GetPixel(3, 2), ColorToRGB(clBtnShadow)) << "disabled";
    list.Draw(target.GetCanvas(), 2, 2, 5);  // a bad index draws nothing
}

TEST(ImageListTest, ClientsHearEveryChange)
{
    TImageList list(nullptr);
    int changes = 0;
    TChangeLink link;
    link.OnChange = TNotifyEvent::Lambda([&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changes;
    });
    list.RegisterChanges(&link);
    auto strip = Strip(32, {clRed, clBlue});
    list.AddMasked(strip.get(), clFuchsia);
    list.Delete(0);
    list.Delete(9);  // nothing to delete, nothing heard
    list.SetWidth(24);
    EXPECT_EQ(list.Count(), 0) << "a new size clears the list";
    list.Clear();  // already empty
    EXPECT_EQ(changes, 3);
    list.UnRegisterChanges(&link);
    list.AddMasked(strip.get(), clFuchsia);
    EXPECT_EQ(changes, 3);

    // A link outliving its list is simply cut off.
    TChangeLink orphan;
    {
        TImageList shortLived(nullptr);
        shortLived.RegisterChanges(&orphan);
    }
    EXPECT_EQ(orphan.Sender(), nullptr);
}

// Records the Image changes told to tool-button peers.
struct ImageRecord {
    std::vector<std::string> Events;
};

class TImagePeer : public TPeer {
public:
    TImagePeer(TControl& control, ImageRecord& record) : FControl(control), FRecord(record) {}
    void Changed(TControlChanges what) override
    {
        if (HasChange(what, TControlChange::Image) && what != TControlChanges(TControlChange::All))
            FRecord.Events.push_back(std::string(FControl.Name()) + " image");
    }

private:
    TControl& FControl;
    ImageRecord& FRecord;
};

class TImageWidgetSet : public TWidgetSet {
public:
    ImageRecord R;
    std::unique_ptr<TPeer> CreatePeer(TControl& control) override
    {
        return std::make_unique<TImagePeer>(control, R);
    }
    std::unique_ptr<TPeer> CreateMenuPeer(TMenu&) override { return nullptr; }
};

struct ToolBarImagesTest : GuiTest {
    TImageWidgetSet Widgets;
    ToolBarImagesTest() { SetWidgetSet(&Widgets); }
    ~ToolBarImagesTest() override
    {
        for (TCustomForm* f : Screen->FormList())
            f->DestroyPeers();
        SetWidgetSet(nullptr);
    }
};

TEST_F(ToolBarImagesTest, ButtonsRedrawWhenTheListOrItsContentsChange)
{
    TLogForm* form = NewForm("Form");
    auto* bar = new TToolBar(form);
    bar->SetParent(form);
    auto* button = new TToolButton(form);
    button->SetName("PrintB");
    button->SetParent(bar);
    button->SetImageIndex(0);
    auto* list = new TImageList(form);
    form->Show();

    bar->SetImages(list);
    auto strip = Strip(16, {clRed});
    list->AddMasked(strip.get(), clFuchsia);
    bar->SetShowCaptions(true);
    EXPECT_EQ(Widgets.R.Events, (Lines{"PrintB image", "PrintB image", "PrintB image"}));
    EXPECT_EQ(bar->GetImages(), list);

    // The list goes away: the bar forgets it and the buttons fall back to captions.
    Widgets.R.Events.clear();
    delete list;
    EXPECT_EQ(bar->GetImages(), nullptr);
    EXPECT_EQ(Widgets.R.Events, (Lines{"PrintB image"}));
}

TEST_F(ToolBarImagesTest, ImagesIsAPublishedReference)
{
    EXPECT_NE(TToolBar::StaticClass()->FindProperty("Images"), nullptr);
}

}  // namespace

namespace {

// Hints show as tooltips only where ShowHint is on; children follow their parent's unless
// they set their own, as on the platform.
TEST_F(WheelTest, ShowHintFollowsTheParentUnlessSetOnTheControl)
{
    TLogForm* form = NewForm("Form");
    auto* bar = new TToolBar(form);
    bar->SetParent(form);
    auto* early = new TToolButton(form);
    early->SetParent(bar);
    auto* own = new TToolButton(form);
    own->SetParent(bar);
    own->SetShowHint(false);
    form->SetShowHint(true);
    EXPECT_TRUE(bar->GetShowHint());
    EXPECT_TRUE(early->GetShowHint()) << "down the tree";
    EXPECT_FALSE(own->GetShowHint()) << "set on the control itself";
    auto* late = new TToolButton(form);
    late->SetParent(bar);
    EXPECT_TRUE(late->GetShowHint()) << "put on a parent that shows hints";
    own->SetParentShowHint(true);
    EXPECT_TRUE(own->GetShowHint());
    form->SetShowHint(false);
    EXPECT_FALSE(late->GetShowHint());
}

}  // namespace
