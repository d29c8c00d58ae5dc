// Tool bars that dock, drag and float, dock compaction, the dock site for windows, and
// saving and restoring their positions: driven headless as the user's mouse would.
#include "report/output/rpDock.h"

#include "platform/classes/IniFiles.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/rtl/SysUtils.h"

#include <functional>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

// A window with a dock on every edge and a tool bar of two buttons in the top dock.
struct TDockedWindow {
    TDockedWindow()
    {
        form = new TForm(Application);
        form->SetBounds(100, 100, 640, 480);
        top = MakeDock("TopDock", alTop);
        bottom = MakeDock("BottomDock", alBottom);
        left = MakeDock("LeftDock", alLeft);
        right = MakeDock("RightDock", alRight);
        notADock = new TPanel(form);
        notADock->SetName("Panel1");
        notADock->SetParent(form);
        notADock->SetAlign(alClient);
        bar = new TrpToolBar(form);
        bar->SetName("Bar1");
        bar->SetCaption("Навигация");
        for (int i = 0; i < 2; ++i) {
            auto* b = new TSpeedButton(form);
            b->SetBounds(0, 0, 23, 22);
            b->SetParent(bar);
        }
        EXPECT_TRUE(bar->DockTo(top, 0, 0));
        form->Show();
    }
    TrpDock* MakeDock(const char* name, TAlign align)
    {
        auto* dock = new TrpDock(form);
        dock->SetName(name);
        dock->SetParent(form);
        dock->SetAlign(align);
        dock->AdjustBounds();  // as after loading the window
        return dock;
    }
    // The grip pressed, the pointer moved to screen point `to` and (optionally) released.
    void PressGrip() const
    {
        TrpDragBox* grip = bar->DragBox();
        grip->UserMouseDown(mbLeft, {}, 3, 5);
    }
    void MoveTo(TPoint screen) const
    {
        // The events reach whichever control holds the pointer: the tool bar, in its
        // coordinates of the moment.
        const TPoint p = bar->ScreenToClient(screen);
        bar->UserMouseMove({}, p.X, p.Y);
    }
    void Release() const
    {
        bar->UserMouseUp(mbLeft, {}, 0, 0);
    }
    // Where the pointer is when the grip was taken at (3, 5): the grip hands the tool bar
    // (4, 6), one pixel of frame in.
    TPoint GripOnScreen() const { return bar->ClientToScreen({4, 6}); }

    TTestDriver d;
    TForm* form = nullptr;
    TrpDock *top = nullptr, *bottom = nullptr, *left = nullptr, *right = nullptr;
    TPanel* notADock = nullptr;
    TrpToolBar* bar = nullptr;
};

TEST(DockTest, ADockedToolBar)
{
    TDockedWindow w;
    EXPECT_EQ(w.bar->Dock(), w.top);
    EXPECT_FALSE(w.bar->IsFloat());
    EXPECT_EQ(w.bar->DragBox()->GetWidth(), 8);
    EXPECT_TRUE(w.bar->DragBox()->GetVisible());
    EXPECT_EQ(w.bar->GetHeight(), 26);
    EXPECT_EQ(w.bar->GetWidth(), 8 + 23 + 23 + 4) << "the grip and the buttons plus 4";
    EXPECT_EQ(w.top->GetHeight(), 27);
    EXPECT_EQ(w.bottom->GetHeight(), 1) << "a dock without tool bars is one pixel";
    EXPECT_EQ(w.bar->Controls(1)->GetLeft(), 1 + 8) << "laid one after another inside the frame";
    EXPECT_EQ(w.bar->Controls(2)->GetLeft(), 1 + 8 + 23);

    // A docked tool bar has the raised frame; its grip is striped on every odd row.
    TRecordingCanvas docked;
    w.bar->Paint(docked.Canvas);
    const std::string frame = docked.Dump();
    EXPECT_NE(frame.find("pen clBtnHighlight 1 psSolid pmCopy\nline 0 25 0 0\nline 0 0 57 0\n"
                         "pen clBtnShadow 1 psSolid pmCopy\nline 57 0 57 25\nline 57 25 -1 25"),
              std::string::npos)
        << frame;
    TRecordingCanvas grip;
    w.bar->DragBox()->Paint(grip.Canvas);
    EXPECT_NE(grip.Dump().find("line 2 1 6 1"), std::string::npos) << grip.Dump();
    EXPECT_NE(grip.Dump().find("line 2 3 6 3"), std::string::npos);

    // Turned into a right-hand dock the tool bar stands upright and its panels align to
    // the top.
    ASSERT_TRUE(w.bar->AddToDock(w.right));
    EXPECT_EQ(w.top->GetHeight(), 1);
    EXPECT_TRUE(w.bar->IsVertical());
    EXPECT_EQ(w.bar->GetWidth(), 26);
    EXPECT_EQ(w.bar->GetHeight(), 8 + 23 + 23 + 4) << "each keeps its length along the tool bar";
    EXPECT_EQ(w.right->GetWidth(), 27);
    EXPECT_EQ(w.bar->GetLeft(), 1) << "the first tool bar of a right dock starts at 1";
    auto* panel = new TrpTBPanel(w.form);
    panel->SetParent(w.bar);
    EXPECT_EQ(panel->GetAlign(), alTop);
    TRecordingCanvas upright;
    w.bar->DragBox()->Paint(upright.Canvas);
    EXPECT_NE(upright.Dump().find("line 1 2 1 6"), std::string::npos) << upright.Dump();
}

struct CompactionCase {
    const char* why;
    TAlign align;
    int depth;                   // the dock's depth before
    std::vector<int> starts;     // tool bars' starts across the dock (top or left)
    int expectedDepth;
    std::vector<int> expected;   // their starts afterwards
};

const CompactionCase kCompaction[] = {
    {"an empty row between two closes up", alTop, 79, {0, 52}, 53, {0, 26}},
    {"an empty first row closes up", alTop, 53, {26}, 27, {0}},
    {"a tool bar added beyond the rows of a top dock", alTop, 27, {0, 26}, 53, {0, 26}},
    {"a bottom dock grows from its outer edge: the new one starts at 1", alBottom, 27, {1, -25}, 53, {27, 1}},
    {"a bottom dock's empty outer row closes up", alBottom, 53, {1}, 27, {1}},
    {"a right dock like a bottom one", alRight, 27, {1, -25}, 53, {27, 1}},
    {"a bottom dock shifts a tool bar partly before its start to 1", alBottom, 27, {-3}, 27, {1}},
    {"a right dock shifts a tool bar partly before its start to 1", alRight, 27, {-3}, 27, {1}},
    {"a bottom dock shifts all of them, the first to 1", alBottom, 27, {-3, 23}, 53, {1, 27}},
    {"a tool bar off the row grid deepens a bottom dock by a pixel, not a row", alBottom, 27, {0}, 28, {1}},
    {"a tool bar off the row grid deepens a top dock by a pixel, not a row", alTop, 27, {1}, 28, {1}},
    {"a left dock like a top one", alLeft, 79, {0, 52}, 53, {0, 26}},
    {"a dock without tool bars is one pixel", alTop, 79, {}, 1, {}},
};

TEST(DockTest, Compaction)
{
    TTestDriver d;
    for (const CompactionCase& c : kCompaction) {
        SCOPED_TRACE(c.why);
        auto* form = new TForm(Application);
        form->SetBounds(0, 0, 640, 480);
        auto* dock = new TrpDock(form);
        dock->SetParent(form);
        dock->SetAlign(c.align);
        const bool vertical = c.align == alLeft || c.align == alRight;
        if (vertical)
            dock->SetWidth(c.depth);
        else
            dock->SetHeight(c.depth);
        const int outer = c.align == alBottom ? dock->GetTop() + dock->GetHeight()
                        : c.align == alRight  ? dock->GetLeft() + dock->GetWidth()
                                              : 0;
        std::vector<TControl*> bars;
        for (int start : c.starts) {
            auto* bar = new TPanel(form);
            bar->SetParent(dock);
            if (vertical)
                bar->SetBounds(start, 0, 26, 60);
            else
                bar->SetBounds(0, start, 60, 26);
            bars.push_back(bar);
        }
        dock->AdjustBounds();
        EXPECT_EQ(vertical ? dock->GetWidth() : dock->GetHeight(), c.expectedDepth);
        for (size_t i = 0; i < bars.size(); ++i)
            EXPECT_EQ(vertical ? bars[i]->GetLeft() : bars[i]->GetTop(), c.expected[i]) << "tool bar " << i;
        if (c.align == alBottom) {
            EXPECT_EQ(dock->GetTop() + dock->GetHeight(), outer) << "the outer edge stays";
        }
        if (c.align == alRight) {
            EXPECT_EQ(dock->GetLeft() + dock->GetWidth(), outer) << "the outer edge stays";
        }
        delete form;
    }
}

// A tool bar added to a dock that already holds one goes into a row of its own next to it,
// whichever way it stood before: the dock grows by exactly one row.
struct AddToDockCase {
    const char* why;
    int from;    // where the added tool bar stands: 0 top, 1 left dock, 2 floating, 3 floating upright only
    int target;  // 0 top, 1 bottom, 2 left, 3 right
    int resident, added;  // their starts across the dock afterwards
};

const AddToDockCase kAddToDock[] = {
    {"from the top dock into the bottom one", 0, 1, 27, 1},
    {"from the top dock into the right one", 0, 3, 27, 1},
    {"from the top dock into the left one", 0, 2, 0, 26},
    {"upright from the left dock into the bottom one", 1, 1, 27, 1},
    {"upright from the left dock into the right one", 1, 3, 27, 1},
    {"upright from the left dock into the top one", 1, 0, 0, 26},
    {"floating into the bottom dock", 2, 1, 27, 1},
    {"floating upright into the right dock", 3, 3, 27, 1},
    {"floating upright into the left dock", 3, 2, 0, 26},
};

TEST(DockTest, AddToDockGoesIntoANewRow)
{
    for (const AddToDockCase& c : kAddToDock) {
        SCOPED_TRACE(c.why);
        TDockedWindow w;
        TrpDock* docks[] = {w.top, w.bottom, w.left, w.right};
        TrpDock* target = docks[c.target];
        auto* resident = new TrpToolBar(w.form);
        for (int i = 0; i < 3; ++i) {
            auto* b = new TSpeedButton(w.form);
            b->SetBounds(0, 0, 23, 22);
            b->SetParent(resident);
        }
        ASSERT_TRUE(resident->AddToDock(target));
        if (c.from == 1)
            ASSERT_TRUE(w.bar->AddToDock(w.left));
        if (c.from >= 2) {
            w.bar->Orientation = c.from == 3 ? toVertOnly : toAny;
            w.bar->FloatTo(300, 300);
        }
        ASSERT_TRUE(w.bar->AddToDock(target));
        const bool vertical = target->IsVertical();
        auto start = [vertical](const TControl* bar) { return vertical ? bar->GetLeft() : bar->GetTop(); };
        EXPECT_EQ(vertical ? target->GetWidth() : target->GetHeight(), 53) << "two rows";
        EXPECT_EQ(start(resident), c.resident);
        EXPECT_EQ(start(w.bar), c.added);
        EXPECT_EQ(vertical ? w.bar->GetWidth() : w.bar->GetHeight(), 26) << "across the dock";
    }
}

TEST(DockTest, DraggingFloatsAndDocks)
{
    TDockedWindow w;
    const TPoint start = w.GripOnScreen();
    w.PressGrip();
    EXPECT_TRUE(w.bar->Dragging());
    // Along the dock.
    w.MoveTo({start.X + 40, start.Y});
    EXPECT_EQ(w.bar->GetLeft(), 40);
    EXPECT_EQ(w.bar->Dock(), w.top);
    // Just below the dock: a second row, and the emptied first row closes up again.
    w.MoveTo({start.X + 40, start.Y + 30});
    EXPECT_EQ(w.bar->Dock(), w.top);
    EXPECT_EQ(w.top->GetHeight(), 27);
    EXPECT_EQ(w.bar->GetTop(), 0);
    // More than 20 pixels out of the dock: it floats at the cursor.
    const TPoint far{start.X + 100, w.top->ClientToScreen({0, 0}).Y + w.top->GetHeight() + 60};
    w.MoveTo(far);
    ASSERT_TRUE(w.bar->IsFloat());
    TrpFloatWindow* window = w.bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->GetVisible());
    EXPECT_TRUE(w.bar->GetVisible());
    EXPECT_EQ(window->GetBorderStyle(), bsNone);
    EXPECT_EQ(window->GetCaption(), "Навигация");
    EXPECT_EQ(w.bar->GetParent(), window);
    EXPECT_EQ(w.bar->BoundsRect(), Bounds(3, 18, w.bar->GetWidth(), w.bar->GetHeight()));
    EXPECT_EQ(window->GetClientWidth(), w.bar->GetWidth() + 6);
    EXPECT_EQ(window->GetClientHeight(), w.bar->GetHeight() + 21);
    EXPECT_FALSE(w.bar->DragBox()->GetVisible());
    EXPECT_EQ(w.top->GetHeight(), 1);
    EXPECT_EQ(w.GripOnScreen(), far) << "the tool bar stays under the pointer";
    EXPECT_EQ(window->CloseBtn->BoundsRect(), Bounds(window->GetWidth() - 14, 4, 11, 11));
    // The float window follows the pointer; no dock there.
    w.MoveTo({far.X + 30, far.Y + 10});
    EXPECT_TRUE(w.bar->IsFloat());
    EXPECT_EQ(w.GripOnScreen(), (TPoint{far.X + 30, far.Y + 10}));
    // A horizontal-only tool bar is not taken by the left dock...
    w.bar->Orientation = toHorzOnly;
    w.MoveTo(w.left->ClientToScreen({0, 100}));
    EXPECT_TRUE(w.bar->IsFloat());
    // ...but by the bottom one, keeping the bottom dock's outer edge.
    const int outer = w.bottom->GetTop() + w.bottom->GetHeight();
    w.MoveTo(w.bottom->ClientToScreen({200, 0}));
    EXPECT_FALSE(w.bar->IsFloat());
    EXPECT_EQ(w.bar->Dock(), w.bottom);
    EXPECT_EQ(w.bar->FloatWindow(), nullptr);
    EXPECT_TRUE(w.bar->DragBox()->GetVisible());
    EXPECT_EQ(w.bottom->GetHeight(), 27);
    EXPECT_EQ(w.bottom->GetTop() + w.bottom->GetHeight(), outer);
    EXPECT_EQ(w.bar->GetTop(), 1);
    w.Release();
    EXPECT_FALSE(w.bar->Dragging());

    // A tool bar that may not float stays in its dock however far it is dragged.
    w.bar->CanFloat = false;
    w.PressGrip();
    w.MoveTo({start.X, start.Y - 300});
    EXPECT_FALSE(w.bar->IsFloat());
    EXPECT_NE(w.bar->Dock(), nullptr);
    w.Release();
}

// The user's pointer, delivered where the window system would: the press on the grip, then
// moves that leave the grip far behind (it hides as the tool bar floats).
TEST(DockTest, ThePointerDragsAToolBarOutAndItsFloatWindowFollows)
{
    TDockedWindow w;
    const TPoint grip = w.bar->DragBox()->ClientToScreen({3, 5});
    // Where the pointer holds the tool bar once it floats: the same point of it all along.
    std::optional<TPoint> grab;
    w.d.PointerDown(grip);
    ASSERT_TRUE(w.bar->Dragging());
    struct Step {
        const char* why;
        TPoint to;
        bool floating;
    };
    const Step path[] = {
        {"along the dock", {grip.X + 40, grip.Y}, false},
        {"more than 20 pixels below the dock: it floats", {grip.X + 100, grip.Y + 80}, true},
        {"on, far from where the button went down", {grip.X + 200, grip.Y + 180}, true},
        {"back over the window's middle", {grip.X + 150, grip.Y + 120}, true},
        {"outside the window altogether", {grip.X + 700, grip.Y + 60}, true},
    };
    for (const Step& step : path) {
        SCOPED_TRACE(step.why);
        w.d.PointerMove(step.to);
        ASSERT_EQ(w.bar->IsFloat(), step.floating);
        EXPECT_TRUE(w.bar->Dragging());
        if (step.floating) {
            const TPoint corner = w.bar->ClientToScreen({0, 0});
            const TPoint held{step.to.X - corner.X, step.to.Y - corner.Y};
            EXPECT_TRUE(Rect(0, 0, w.bar->GetWidth(), w.bar->GetHeight()).Contains(held)) << "under the pointer";
            if (!grab)
                grab = held;
            EXPECT_EQ(held, *grab) << "it follows the pointer";
            EXPECT_EQ(GetCapture(), w.bar->FloatWindow());
        }
    }
    TrpFloatWindow* window = w.bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetPopupParent(), w.form) << "owned by the tool bar's form";
    w.d.PointerUp({grip.X + 700, grip.Y + 60});
    EXPECT_FALSE(w.bar->Dragging()) << "the release ends the drag";
    EXPECT_EQ(GetCapture(), nullptr);

    // The float window lies over the form and above it: its caption bar takes the pointer.
    w.d.PointerMove({grip.X + 150, grip.Y + 120});
    const TPoint caption = window->ClientToScreen({30, 10});
    EXPECT_EQ(w.d.ControlAt(caption), window->Surface);
    // Dragged by it over the bottom dock: docked there, and the drag goes on in the dock.
    w.d.PointerDown(caption);
    const TPoint overDock = w.bottom->ClientToScreen({200, 0});
    w.d.PointerMove(overDock);
    ASSERT_FALSE(w.bar->IsFloat());
    EXPECT_EQ(w.bar->Dock(), w.bottom);
    EXPECT_EQ(GetCapture(), w.bar);
    const int along = w.bar->GetLeft();
    w.d.PointerMove({overDock.X + 30, overDock.Y});
    EXPECT_EQ(w.bar->GetLeft(), along + 30) << "it moves along the dock with the pointer";
    w.d.PointerUp({overDock.X + 30, overDock.Y});
    EXPECT_FALSE(w.bar->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);

    // Floated by code, with no button held, the window takes no capture.
    w.bar->MakeFloat();
    EXPECT_TRUE(w.bar->IsFloat());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(DockTest, DraggingPastNeighboursAndBetweenRows)
{
    TDockedWindow w;
    auto* second = new TrpToolBar(w.form);
    second->SetName("Bar2");
    auto* b = new TSpeedButton(w.form);
    b->SetBounds(0, 0, 23, 22);
    b->SetParent(second);
    ASSERT_TRUE(second->DockTo(w.top, w.bar->GetWidth(), 0));
    ASSERT_EQ(second->GetLeft(), 58);
    ASSERT_EQ(w.top->GetHeight(), 27);

    // The first dragged beyond the start of the second goes after it.
    const TPoint start = w.GripOnScreen();
    w.PressGrip();
    w.MoveTo({start.X + 70, start.Y});
    EXPECT_EQ(second->GetLeft(), 58) << "the one passed keeps its place";
    EXPECT_EQ(w.bar->GetLeft(), second->GetLeft() + second->GetWidth()) << "the dragged one goes after it";
    // Down into a row of its own: the dock grows by a row.
    w.MoveTo({start.X + 70, start.Y + 30});
    EXPECT_EQ(w.bar->GetTop(), 26);
    EXPECT_EQ(second->GetTop(), 0);
    EXPECT_EQ(w.top->GetHeight(), 53);
    // Back up: the emptied second row closes up again.
    w.MoveTo({start.X, start.Y});
    w.Release();
    EXPECT_EQ(w.bar->GetTop(), 0);
    EXPECT_EQ(w.top->GetHeight(), 27);
    EXPECT_EQ(w.bar->GetLeft(), 0);
    EXPECT_GE(second->GetLeft(), w.bar->GetWidth()) << "the neighbour moved on to make room";
}

// No tool bar lies over another once one is dropped or restored into a dock, whatever
// the order in which a window restores its tool bars.
bool Overlap(const TControl* a, const TControl* b)
{
    return a->GetLeft() < b->GetLeft() + b->GetWidth() && b->GetLeft() < a->GetLeft() + a->GetWidth() &&
           a->GetTop() < b->GetTop() + b->GetHeight() && b->GetTop() < a->GetTop() + a->GetHeight();
}

TEST(DockTest, RestoredToolBarsDoNotOverlap)
{
    for (int k = 0; k < 4; ++k) {
        for (bool secondFirst : {false, true}) {
            for (bool inPlace : {false, true}) {
                SCOPED_TRACE(testing::Message() << "dock " << k << (secondFirst ? ", restored second first" : "")
                                                << (inPlace ? ", both still there" : ""));
                TDockedWindow w;
                TrpDock* docks[] = {w.top, w.bottom, w.left, w.right};
                TrpDock* dock = docks[k];
                auto* second = new TrpToolBar(w.form);
                second->SetName("Bar2");
                auto* b = new TSpeedButton(w.form);
                b->SetBounds(0, 0, 23, 22);
                b->SetParent(second);
                ASSERT_TRUE(w.bar->AddToDock(dock));
                ASSERT_TRUE(second->AddToDock(dock));  // a row of its own
                const std::string path = (std::filesystem::temp_directory_path() /
                                          ("sklad-rows-" + std::to_string(::getpid()) + ".ini")).string();
                std::filesystem::remove(path);
                {
                    TIniFile ini(PathFromSystem(path));
                    rpSaveToolbarPosition(ini, w.bar);
                    rpSaveToolbarPosition(ini, second);
                    if (!inPlace) {
                        w.bar->FloatTo(300, 300);
                        second->FloatTo(400, 400);
                    }
                    for (TrpToolBar* bar : secondFirst ? std::vector{second, w.bar} : std::vector{w.bar, second})
                        rpRestoreToolbarPosition(ini, bar);
                }
                std::filesystem::remove(path);
                ASSERT_EQ(w.bar->Dock(), dock);
                ASSERT_EQ(second->Dock(), dock);
                EXPECT_FALSE(Overlap(w.bar, second))
                    << w.bar->BoundsRect().Left << "," << w.bar->BoundsRect().Top << " and "
                    << second->BoundsRect().Left << "," << second->BoundsRect().Top;
            }
        }
    }
}

TEST(DockTest, AFloatWindowDroppedOnAToolBarPushesItOn)
{
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << "dock " << k);
        TDockedWindow w;
        TrpDock* docks[] = {w.top, w.bottom, w.left, w.right};
        TrpDock* dock = docks[k];
        auto* second = new TrpToolBar(w.form);
        auto* b = new TSpeedButton(w.form);
        b->SetBounds(0, 0, 23, 22);
        b->SetParent(second);
        ASSERT_TRUE(second->AddToDock(dock));
        w.bar->FloatTo(300, 200);
        // The float window's caption taken and let go over the other tool bar's middle in
        // one move.
        const TPoint caption = w.bar->FloatWindow()->ClientToScreen({20, 10});
        w.d.PointerDown(caption);
        const TPoint over = dock->IsVertical() ? second->ClientToScreen({10, second->GetHeight() / 2})
                                               : second->ClientToScreen({second->GetWidth() / 2, 10});
        w.d.PointerMove(over);
        w.d.PointerUp(over);
        ASSERT_EQ(w.bar->Dock(), dock);
        EXPECT_FALSE(Overlap(w.bar, second));
        EXPECT_EQ(dock->IsVertical() ? dock->GetWidth() : dock->GetHeight(), 27) << "both in one row";
        EXPECT_EQ(dock->IsVertical() ? w.bar->GetLeft() : w.bar->GetTop(), dock->CountsFromEnd() ? 1 : 0);
    }
}

// The pointer holds the same point of a tool bar through a drag that floats it out of a
// dock or docks it by its float window's caption, on every side: in a side dock the bar
// turns upright and the point it was held at along its length stays under the pointer; a
// hold on the caption, which a docked bar has not, comes onto the bar's leading edge.
TEST(DockTest, TheBarStaysUnderThePointerAsItDocksAndFloatsOnEverySide)
{
    struct Case {
        const char* why;
        int dock;  // top, bottom, left, right
        TrpOrientation orientation;
        int along;  // where the pointer holds the docked bar along its length
    };
    const Case cases[] = {
        {"top", 0, toAny, 17},
        {"bottom", 1, toAny, 17},
        {"left: the bar turns upright", 2, toAny, 17},
        {"right: the bar turns upright", 3, toAny, 17},
        {"left, an upright bar held above its end", 2, toVertOnly, 0},
        {"right, an upright bar held above its end", 3, toVertOnly, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TDockedWindow w;
        TrpDock* docks[] = {w.top, w.bottom, w.left, w.right};
        TrpDock* dock = docks[c.dock];
        w.bar->Orientation = c.orientation;
        w.bar->FloatTo(300, 200);
        // Where the pointer holds the bar, from its outer corner.
        auto held = [&](TPoint pointer) {
            const TPoint corner = w.bar->GetParent()->ClientToScreen({w.bar->GetLeft(), w.bar->GetTop()});
            return TPoint{pointer.X - corner.X, pointer.Y - corner.Y};
        };
        auto onBar = [&](TPoint pointer) {
            return Rect(0, 0, w.bar->GetWidth(), w.bar->GetHeight()).Contains(held(pointer));
        };
        // The caption taken 20 pixels in (17 along the bar below it), or short of the close
        // button of an upright one, and brought over the dock.
        const int x = c.orientation == toVertOnly ? 8 : 20;
        ASSERT_EQ(w.d.ControlAt(w.bar->FloatWindow()->ClientToScreen({x, 10})), w.bar->FloatWindow()->Surface);
        w.d.PointerDown(w.bar->FloatWindow()->ClientToScreen({x, 10}));
        const TPoint over = dock->ClientToScreen(dock->IsVertical() ? TPoint{0, 200} : TPoint{200, 0});
        w.d.PointerMove(over);
        ASSERT_EQ(w.bar->Dock(), dock);
        EXPECT_TRUE(onBar(over)) << "on the bar, not beside it";
        const TPoint grab = held(over);
        EXPECT_EQ(dock->IsVertical() ? grab.Y : grab.X, c.along);
        // The drag goes on along the dock, the same point held.
        const TPoint on = dock->IsVertical() ? TPoint{over.X, over.Y + 30} : TPoint{over.X + 30, over.Y};
        w.d.PointerMove(on);
        EXPECT_EQ(held(on), grab) << "it moves with the pointer";
        // Out again past the float distance, into the form's middle: floating, still held.
        const TPoint out = w.notADock->ClientToScreen({200, 150});
        w.d.PointerMove(out);
        ASSERT_TRUE(w.bar->IsFloat());
        EXPECT_TRUE(onBar(out)) << "the float window came with the pointer";
        w.d.PointerUp(out);
        EXPECT_FALSE(w.bar->Dragging());
    }
}

// Floating a tool bar, or showing its float window again, leaves the window that had the
// keys active; a click on the float window still activates it.
TEST(DockTest, AFloatWindowShowsWithoutActivating)
{
    TDockedWindow w;
    int deactivated = 0;
    w.form->OnDeactivate = TNotifyEvent::Lambda([&](TObject*) { ++deactivated; });
    ASSERT_EQ(Screen->GetActiveForm(), w.form);
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"floated", [&] { w.bar->FloatTo(300, 200); }},
        {"hidden and shown again", [&] { w.bar->SetVisible(false); w.bar->SetVisible(true); }},
        {"shown while shown", [&] { w.bar->SetVisible(true); }},
    };
    for (const auto& [why, act] : steps) {
        SCOPED_TRACE(why);
        act();
        ASSERT_NE(w.bar->FloatWindow(), nullptr);
        EXPECT_TRUE(w.bar->FloatWindow()->GetVisible());
        EXPECT_EQ(Screen->GetActiveForm(), w.form);
        EXPECT_EQ(deactivated, 0);
    }
    w.bar->FloatWindow()->UserActivated();
    EXPECT_EQ(Screen->GetActiveForm(), w.bar->FloatWindow());
}

TEST(DockTest, FloatWindowAndPositions)
{
    TDockedWindow w;
    w.bar->FloatTo(300, 200);
    TrpFloatWindow* window = w.bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetLeft(), 300);
    EXPECT_EQ(window->GetTop(), 200);

    // The window's frame, caption bar and bold caption; a floating tool bar has no frame.
    TRecordingCanvas frame;
    window->PaintFrame(frame.Canvas);
    const std::string dump = frame.Dump();
    const int ww = window->GetWidth(), wh = window->GetHeight();
    for (const std::string& part : std::vector<std::string>{"brush clGray bsSolid", "fill 0 0 " + std::to_string(ww) + " 3",
                                    "fill 3 3 " + std::to_string(ww - 3) + " 18", "pen clBtnFace",
                                    "fill 0 " + std::to_string(wh - 3) + " " + std::to_string(ww) + " " + std::to_string(wh),
                                    std::string("[fsBold]"), std::string("text 6 3 \"Навигация\"")})
        EXPECT_NE(dump.find(part), std::string::npos) << part << "\n" << dump;
    TRecordingCanvas floating, docked;
    w.bar->Paint(floating.Canvas);

    const std::string path =
        (std::filesystem::temp_directory_path() / ("sklad-dock-" + std::to_string(::getpid()) + ".ini")).string();
    std::filesystem::remove(path);
    {
        TIniFile ini(PathFromSystem(path));
        rpSaveToolbarPosition(ini, w.bar);
        EXPECT_TRUE(ini.ReadBool("ToolBar.Bar1", "Float", false));
        EXPECT_EQ(ini.ReadInteger("ToolBar.Bar1", "Left", 0), 300) << "the float window's left, not the tool bar's";
        EXPECT_EQ(ini.ReadInteger("ToolBar.Bar1", "Top", 0), 200);
        EXPECT_EQ(ini.ReadString("ToolBar.Bar1", "Dock", "none"), "none") << "no dock while floating";

        // The close button hides the window and the tool bar with it.
        w.d.Click(window->CloseBtn);
        EXPECT_FALSE(w.bar->GetVisible());
        EXPECT_FALSE(window->GetVisible());
        w.bar->SetVisible(true);
        EXPECT_TRUE(window->GetVisible());

        // Restoring the saved float position after docking floats it there again.
        w.bar->DockTo(w.top, 0, 0);
        w.d.Run([] { Application->ProcessMessages(); });  // the released window goes
        rpRestoreToolbarPosition(ini, w.bar);
        ASSERT_TRUE(w.bar->IsFloat());
        EXPECT_EQ(w.bar->FloatWindow()->GetLeft(), 300);
        EXPECT_TRUE(w.bar->GetVisible());

        // A saved size other than the docked one: the float window holds the tool bar
        // with its frame on both sides.
        w.bar->DockTo(w.top, 0, 0);
        w.d.Run([] { Application->ProcessMessages(); });
        ini.WriteInteger("ToolBar.Bar1", "Width", 120);
        rpRestoreToolbarPosition(ini, w.bar);
        ASSERT_TRUE(w.bar->IsFloat());
        EXPECT_EQ(w.bar->GetWidth(), 120);
        EXPECT_EQ(w.bar->FloatWindow()->GetClientWidth(), 126);
        EXPECT_EQ(w.bar->FloatWindow()->GetClientHeight(), w.bar->GetHeight() + 21);

        // Docked by name; a name that is not a dock leaves it where it is.
        ini.WriteBool("ToolBar.Bar1", "Float", false);
        ini.WriteString("ToolBar.Bar1", "Dock", "BottomDock");
        ini.WriteInteger("ToolBar.Bar1", "Left", 0);
        ini.WriteInteger("ToolBar.Bar1", "Top", 1);
        rpRestoreToolbarPosition(ini, w.bar);
        EXPECT_EQ(w.bar->Dock(), w.bottom);
        EXPECT_FALSE(w.bar->IsFloat());
        w.bar->Paint(docked.Canvas);
        ini.WriteString("ToolBar.Bar1", "Dock", "Panel1");
        rpRestoreToolbarPosition(ini, w.bar);
        EXPECT_EQ(w.bar->Dock(), w.bottom);
        EXPECT_TRUE(w.bar->GetVisible());
        EXPECT_GE(w.bottom->GetHeight(), w.bar->GetHeight()) << "the dock still holds its visible tool bar";
    }
    EXPECT_NE(floating.Dump(), docked.Dump()) << "only a docked tool bar paints the raised frame";
    std::filesystem::remove(path);
}

// A float window or a window whose saved place lies on no monitor any more comes back onto
// the nearest one, wholly; one any monitor shows a part of stays where it was left.
TEST(DockTest, APositionSavedOffEveryMonitorIsRestoredOntoTheNearest)
{
    struct Case {
        const char* why;
        bool twoMonitors;
        TPoint saved;
        TPoint expected;  // -1: the right or bottom edge of the monitor's work area
    };
    const Case cases[] = {
        {"one monitor, on it", false, {300, 200}, {300, 200}},
        {"one monitor, far below and right", false, {3000, 2000}, {-1, -1}},
        {"one monitor, left and above", false, {-900, -700}, {0, 0}},
        {"two, on the second", true, {1500, 400}, {1500, 400}},
        {"two, partly over the primary's edge", true, {1250, 50}, {1250, 50}},
        {"two, where a third monitor was", true, {3000, 400}, {-1, 400}},
        {"two, above the second", true, {1800, -100}, {1800, 200}},
    };
    const std::string path =
        (std::filesystem::temp_directory_path() / ("sklad-monitors-" + std::to_string(::getpid()) + ".ini")).string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TDockedWindow w;
        if (c.twoMonitors)
            w.d.SetMonitors({{Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 984)}, {Bounds(1280, 200, 1024, 768), {}}});
        std::filesystem::remove(path);
        TIniFile ini(PathFromSystem(path));
        auto expected = [&](const TCustomForm* window) {
            const TRect area = (c.saved.X > 1280 && c.twoMonitors) ? Bounds(1280, 200, 1024, 768)
                               : c.twoMonitors                     ? Rect(0, 0, 1280, 984)
                                                                   : Rect(0, 0, 1280, 1024);
            return TPoint{c.expected.X < 0 ? area.Right - window->GetWidth() : c.expected.X,
                          c.expected.Y < 0 ? area.Bottom - window->GetHeight() : c.expected.Y};
        };
        {
            SCOPED_TRACE("a floating tool bar");
            w.bar->FloatTo(100, 100);
            rpSaveToolbarPosition(ini, w.bar);
            ini.WriteInteger("ToolBar.Bar1", "Left", c.saved.X);
            ini.WriteInteger("ToolBar.Bar1", "Top", c.saved.Y);
            w.bar->DockTo(w.top, 0, 0);
            rpRestoreToolbarPosition(ini, w.bar);
            ASSERT_TRUE(w.bar->IsFloat());
            const TrpFloatWindow* window = w.bar->FloatWindow();
            EXPECT_EQ((TPoint{window->GetLeft(), window->GetTop()}), expected(window));
        }
        {
            SCOPED_TRACE("a window");
            rpSaveFormPosition(ini, w.form);
            ini.WriteInteger("Form.TForm", "Left", c.saved.X);
            ini.WriteInteger("Form.TForm", "Top", c.saved.Y);
            ini.WriteInteger("Form.TForm", "Width", 400);
            ini.WriteInteger("Form.TForm", "Height", 300);
            rpRestoreFormPosition(ini, w.form);
            EXPECT_EQ((TPoint{w.form->GetLeft(), w.form->GetTop()}), expected(w.form));
            EXPECT_EQ(w.form->GetWidth(), 400);
        }
    }
    std::filesystem::remove(path);
}

TEST(DockTest, DockSiteForWindows)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 800, 600);
    auto* site = new TrpDockSite(form);
    site->SetName("Site1");
    site->SetParent(form);
    form->Show();
    EXPECT_EQ(site->GetCaption(), " ");
    EXPECT_EQ(site->GetWidth(), 10);
    EXPECT_EQ(site->GetAlign(), alLeft);
    EXPECT_FALSE(site->Splitter->GetVisible());
    auto* tool = new TForm(form);
    tool->SetName("ToolWindow");
    tool->SetBounds(0, 0, 150, 200);
    auto* memo = new TPanel(tool);
    memo->SetParent(tool);

    site->DockForm(tool);
    EXPECT_TRUE(site->ContainsControl(memo)) << "the window's controls stand in the site";
    EXPECT_FALSE(tool->GetVisible());
    EXPECT_EQ(site->DockWidth, 150);
    EXPECT_EQ(site->GetWidth(), 150) << "widened to the dropped window";
    EXPECT_TRUE(site->Splitter->GetVisible());
    EXPECT_EQ(site->Splitter->GetLeft(), site->GetLeft() + site->GetWidth());
    EXPECT_EQ(site->Splitter->GetWidth(), 3);

    // Dragging the splitter resizes the site.
    site->Splitter->UserMouseDown(mbLeft, {}, 1, 10);
    EXPECT_TRUE(site->Resizing);
    site->Splitter->UserMouseMove({ssLeft}, 30, 10);
    EXPECT_EQ(site->GetWidth(), 180);
    site->Splitter->UserMouseUp(mbLeft, {}, 1, 10);
    EXPECT_FALSE(site->Resizing);
    site->Splitter->UserMouseMove({}, 50, 10);
    EXPECT_EQ(site->GetWidth(), 180) << "only while the splitter is held";

    const std::string path =
        (std::filesystem::temp_directory_path() / ("sklad-site-" + std::to_string(::getpid()) + ".ini")).string();
    std::filesystem::remove(path);
    {
        TIniFile ini(PathFromSystem(path));
        rpSaveDock(ini, site);
        rpSaveFormPosition(ini, tool);
        EXPECT_EQ(ini.ReadString("Form.TForm", "Dock", ""), "Site1");
        EXPECT_FALSE(ini.ReadString("Dock.Site1", "Data", "").empty());
        site->UndockForm(tool);
        EXPECT_FALSE(site->Splitter->GetVisible()) << "the last window left";
        site->SetWidth(10);
        EXPECT_EQ(memo->GetParent(), tool) << "undocked, the controls are the window's again";
        rpRestoreDock(ini, site);
        EXPECT_TRUE(site->IsDocked(tool));
        EXPECT_EQ(site->GetWidth(), 180);
        site->UndockForm(tool);
        rpRestoreFormPosition(ini, tool);
        EXPECT_TRUE(site->IsDocked(tool));
        EXPECT_TRUE(site->Splitter->GetVisible());
    }
    std::filesystem::remove(path);
    delete site;
    EXPECT_EQ(memo->GetParent(), tool) << "a site that goes gives the window its controls back";
}

}  // namespace
