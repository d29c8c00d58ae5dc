// The mouse capture and owned windows, headless: while a control holds the capture every
// mouse message goes to it in its own coordinates, wherever it was reported; the test
// driver's pointer reaches controls as the window system would.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ExtCtrls.h"

#include <gtest/gtest.h>

namespace {

// Two windows side by side; the panel and the paint box on it, and a button on the other
// window, log the mouse messages they get as "Panel move 7,7".
struct TCaptureWindows {
    TCaptureWindows()
    {
        first = new TForm(Application);
        first->SetName("First");
        first->SetBounds(100, 100, 400, 300);
        panel = Place(new TPanel(first), first, "Panel", 10, 20, 100, 50);
        box = Place(new TPaintBox(first), panel, "Box", 5, 5, 20, 20);
        second = new TForm(Application);
        second->SetName("Second");
        second->SetBounds(600, 100, 200, 150);
        button = Place(new TButton(second), second, "Button", 10, 10, 75, 25);
        first->Show();
        second->Show();
    }
    template <class T>
    T* Place(T* control, TWinControl* parent, const char* name, int left, int top, int width, int height)
    {
        control->SetName(name);
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        const std::string who = name;
        control->OnMouseDown = TMouseEvent::Lambda([this, who](TObject*, TMouseButton, TShiftState, int x, int y) {
            Log.push_back(who + " down " + std::to_string(x) + "," + std::to_string(y));
        });
        control->OnMouseMove = TMouseMoveEvent::Lambda([this, who](TObject*, TShiftState, int x, int y) {
            Log.push_back(who + " move " + std::to_string(x) + "," + std::to_string(y));
        });
        control->OnMouseUp = TMouseEvent::Lambda([this, who](TObject*, TMouseButton, TShiftState, int x, int y) {
            Log.push_back(who + " up " + std::to_string(x) + "," + std::to_string(y));
        });
        return control;
    }
    std::vector<std::string> Take() { return std::exchange(Log, {}); }

    TTestDriver d;
    TForm* first = nullptr;
    TForm* second = nullptr;
    TPanel* panel = nullptr;
    TPaintBox* box = nullptr;
    TButton* button = nullptr;
    std::vector<std::string> Log;
};

TEST(MouseCaptureTest, EveryMessageGoesToTheHolderInItsCoordinates)
{
    TCaptureWindows w;
    // The panel lies at (110, 120) on the screen; its children at their bounds from its
    // corner (its bevel narrows only the area they are aligned in), as their widgets show.
    struct Case {
        const char* why;
        std::function<void()> act;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"a move over a child of the holder", [&] { w.box->UserMouseMove({}, 2, 2); }, {"Panel move 7,7"}},
        {"a press on another window", [&] { w.button->UserMouseDown(mbLeft, {ssLeft}, 2, 3); }, {"Panel down 502,-7"}},
        {"a release over the holder itself", [&] { w.panel->UserMouseUp(mbLeft, {}, 7, 8); }, {"Panel up 7,8"}},
        {"the pointer far outside every window", [&] { w.d.PointerMove({1200, 900}); }, {"Panel move 1090,780"}},
        {"the pointer over a control of the holder's own window", [&] { w.d.PointerMove({150, 130}); },
         {"Panel move 40,10"}},
    };
    EXPECT_EQ(SetCapture(w.panel), nullptr);
    EXPECT_EQ(GetCapture(), w.panel);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        c.act();
        EXPECT_EQ(w.Take(), c.expected);
    }
    // Hidden, the holder still gets them, as the window system delivers them.
    w.panel->Hide();
    w.button->UserMouseMove({}, 1, 1);
    EXPECT_EQ(w.Take(), (std::vector<std::string>{"Panel move 501,-9"}));
    w.panel->Show();

    // Released, each control hears its own again.
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_FALSE(ReleaseCapture()) << "nothing held it any more";
    w.box->UserMouseMove({}, 1, 1);
    w.button->UserMouseDown(mbLeft, {ssLeft}, 2, 3);
    EXPECT_EQ(w.Take(), (std::vector<std::string>{"Box move 1,1", "Button down 2,3"}));
}

TEST(MouseCaptureTest, TheCaptureEnds)
{
    // After the end, a move reported to the panel at (3, 4) goes where the log says.
    struct Case {
        const char* why;
        std::function<void(TCaptureWindows&)> end;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"another control takes it", [](TCaptureWindows& w) { EXPECT_EQ(SetCapture(w.button), w.box); },
         {"Button move -497,14"}},
        {"the holder is destroyed", [](TCaptureWindows& w) { delete w.box; }, {"Panel move 3,4"}},
        {"a modal form shows",
         [](TCaptureWindows& w) {
             auto* dialog = new TForm(Application);
             TControl* during = w.box;
             w.d.ExpectModal(dialog, [&] {
                 during = GetCapture();
                 dialog->SetModalResult(mrOk);
             });
             dialog->ShowModal();
             EXPECT_EQ(during, nullptr) << "the modal window takes the mouse";
             delete dialog;
         },
         {"Panel move 3,4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TCaptureWindows w;
        SetCapture(w.box);
        c.end(w);
        EXPECT_NE(GetCapture(), w.box);
        w.panel->UserMouseMove({}, 3, 4);
        EXPECT_EQ(w.Take(), c.expected);
        ReleaseCapture();
    }
}

TEST(MouseCaptureTest, ThePointerReachesWhatTheWindowSystemWouldDeliverTo)
{
    TCaptureWindows w;
    // Down on the paint box: while the button is held its messages follow it off the box.
    w.d.PointerDown({116, 126});
    w.d.PointerMove({699, 499});
    EXPECT_EQ(w.Take(), (std::vector<std::string>{"Box down 1,1", "Box move 584,374"}));
    // Hidden while the button is held, it takes nothing more, and nothing else does.
    w.box->Hide();
    w.d.PointerMove({120, 130});
    w.d.PointerUp({120, 130});
    EXPECT_EQ(w.Take(), std::vector<std::string>{});
    w.box->Show();
    // Unless a control holds the capture: then it gets them.
    w.d.PointerDown({116, 126});
    w.box->Hide();
    SetCapture(w.panel);
    w.d.PointerMove({120, 130});
    w.d.PointerUp({120, 130});
    EXPECT_EQ(w.Take(), (std::vector<std::string>{"Box down 1,1", "Panel move 10,10", "Panel up 10,10"}));
    ReleaseCapture();
    // With no button held, the control under the pointer.
    w.d.PointerMove({615, 115});
    EXPECT_EQ(w.Take(), (std::vector<std::string>{"Button move 5,5"}));
}

TEST(MouseCaptureTest, AnOwnedWindowStaysAboveItsOwner)
{
    TCaptureWindows w;
    // A window made before the second and lying over it is below it, unless the second owns it.
    auto* owned = new TForm(Application);
    owned->SetBounds(610, 110, 50, 50);
    owned->Show();
    auto* later = new TForm(Application);
    later->SetBounds(600, 100, 200, 150);
    later->Show();
    EXPECT_EQ(w.d.ControlAt({620, 120}), later);
    owned->SetPopupParent(later);
    EXPECT_EQ(owned->GetPopupParent(), later);
    EXPECT_EQ(w.d.ControlAt({620, 120}), owned);
    EXPECT_EQ(w.d.ControlAt({700, 200}), later) << "outside the owned window";
    delete later;
    EXPECT_EQ(owned->GetPopupParent(), nullptr) << "the owner went";
    owned->SetPopupParent(owned);
    EXPECT_EQ(owned->GetPopupParent(), nullptr) << "a window does not own itself";
    delete owned;
}

}  // namespace
