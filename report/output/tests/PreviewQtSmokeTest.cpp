// The preview window with Qt widget peers, offscreen: the window, its tool bar and the page
// surface get widgets, and painting the surface through its widget draws the pages.
#include "report/output/rpCtrls.h"
#include "report/output/rpDock.h"
#include "report/output/rpPreviewForm.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/PreviewTestSupport.h"

#include "platform/classes/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

struct TOffscreen {
    // `platform`: the offscreen platform with its options ("offscreen:configfile=...").
    explicit TOffscreen(const char* platform = "offscreen")
    {
        ::setenv("QT_QPA_PLATFORM", platform, 1);
        static int argc = 1;
        static char name[] = "test_report_preview_qt";
        static char* argv[] = {name, nullptr};
        Backend = std::make_unique<TQtBackend>(argc, argv);
    }
    std::unique_ptr<TQtBackend> Backend;
};

// A report of `pages` pages shown in its preview window, modeless and not maximised, with
// Qt widget peers offscreen.
struct TQtPreviewWindow {
    explicit TQtPreviewWindow(int pages)
    {
        report = env.NewReport(pages);
        report->GetPreviewOptions()->Modal = false;
        report->GetPreviewOptions()->Maximized = false;
        env.d.Run([&] { report->ShowPreparedReport(); });
        form = dynamic_cast<TrpPreviewForm*>(report->PreviewForm());
    }
    // The desktop's services, the test environment, the report and its window (nil when none opened).
    std::tuple<TGuiServices*, TPreviewEnv&, TrpReport*, TrpPreviewForm*> Parts()
    {
        return {qtServices, env, report, form};
    }
    TOffscreen qt;  // before the driver: the widget set stays, the driver answers the rest
    TGuiServices* qtServices = &Services();
    TPreviewEnv env;
    TrpReport* report = nullptr;
    TrpPreviewForm* form = nullptr;
};

// A form with a dock along its top (and one along its bottom when asked) and a tool bar
// of `buttons` speed buttons, not yet docked.
struct TBarForm {
    TForm* Form;
    TrpDock* Top;
    TrpDock* Bottom = nullptr;
    TrpToolBar* Bar;
    std::vector<TSpeedButton*> Buttons;
};

TBarForm MakeBarForm(int buttons, bool bottomDock)
{
    TBarForm f;
    f.Form = new TForm(Application);
    f.Form->SetBounds(100, 100, 640, 480);
    f.Top = new TrpDock(f.Form);
    f.Top->SetParent(f.Form);
    f.Top->AdjustBounds();
    if (bottomDock) {
        f.Bottom = new TrpDock(f.Form);
        f.Bottom->SetParent(f.Form);
        f.Bottom->SetAlign(alBottom);
        f.Bottom->AdjustBounds();
    }
    f.Bar = new TrpToolBar(f.Form);
    for (int i = 0; i < buttons; ++i) {
        auto* b = new TSpeedButton(f.Form);
        b->SetBounds(0, 0, 23, 22);
        b->SetParent(f.Bar);
        f.Buttons.push_back(b);
    }
    return f;
}

// The form shown with its bar, captioned "Навигация", docked in its top dock.
bool ShowWithNavigationBar(TForm* form, TrpDock* top, TrpToolBar* bar)
{
    bar->SetCaption("Навигация");
    if (!bar->DockTo(top, 0, 0))
        return false;
    form->Show();
    return true;
}

TEST(PreviewQtSmoke, WindowGetsWidgetsAndPaintsPages)
{
    TQtPreviewWindow window(3);
    auto [qtServices, env, report, form] = window.Parts();
    ASSERT_NE(form, nullptr);
    EXPECT_NE(form->Peer(), nullptr);
    EXPECT_NE(form->ToolBar->Peer(), nullptr);
    EXPECT_NE(form->ZoomCB->Peer(), nullptr);
    EXPECT_NE(form->Preview->Workspace->Surface->Peer(), nullptr);
    qtServices->ProcessNativeEvents();
    EXPECT_FALSE(TPreviewEnv::PagesOf(report)->DrawCalls.empty()) << "the surface's widget painted the pages";
    EXPECT_EQ(form->StatusBar->GetPanels()->Items(0)->GetText(), "Страница 1 из 3");
    env.d.Click(form->NextB);
    EXPECT_EQ(form->Preview->GetPageNo(), 2);
    env.d.Click(form->CancelB);
}

TEST(PreviewQtSmoke, ScrollBarsWheelAndToolBarPictures)
{
    TQtPreviewWindow window(4);
    auto [qtServices, env, report, form] = window.Parts();
    ASSERT_NE(form, nullptr);
    TrpPreviewWorkspace* surface = form->Preview->Workspace;
    qtServices->ProcessNativeEvents();

    // The bar shows the model's range, page and position.
    const TScrollBarInfo model = surface->GetScrollBarInfo(sbVertical);
    EXPECT_EQ(QtShownScrollBar(surface, sbVertical), model);
    EXPECT_EQ(QtShownScrollBar(surface, sbHorizontal), surface->GetScrollBarInfo(sbHorizontal));
    EXPECT_TRUE(QtShownScrollBar(surface, sbHorizontal).Enabled) << "an A4 page is wider than this window";

    // Dragging the bar scrolls the model, and the page number follows.
    ASSERT_TRUE(QtDragScrollBar(surface, sbVertical, 2300));
    EXPECT_EQ(surface->GetVertPosition(), 2300);
    EXPECT_EQ(form->Preview->GetPageNo(), 3);
    // Moving the model moves the bar.
    form->Preview->First();
    EXPECT_EQ(QtShownScrollBar(surface, sbVertical).Pos, 0);

    // The wheel over the pages scrolls them by 20 pixels a turn.
    QtTurnWheel(surface->Surface, -120);
    EXPECT_EQ(surface->GetVertPosition(), 20);
    QtTurnWheel(form->StatusBar, -120);
    EXPECT_EQ(surface->GetVertPosition(), 40) << "anywhere over the window";

    // Tool buttons show pictures, and their hints as tooltips.
    for (TToolButton* b : {form->PrintB, form->OpenB, form->FindB, form->ZoomWholePageB, form->FirstB, form->LastB}) {
        SCOPED_TRACE(b->Name());
        EXPECT_TRUE(QtShowsPicture(b));
        EXPECT_EQ(QtToolTip(b), b->GetHint());
    }
    env.d.Click(form->CancelB);
}

// The zoom box is 49 pixels wide; its list drops ListWidth wide (100 in the window, so
// that "Страница целиком" can be read; wider where the desktop's font needs it), or as
// wide as the box with no ListWidth.
TEST(PreviewQtSmoke, TheZoomBoxDropsAListOfItsListWidth)
{
    TQtPreviewWindow window(2);
    auto [qtServices, env, report, form] = window.Parts();
    ASSERT_NE(form, nullptr);
    qtServices->ProcessNativeEvents();
    struct Case {
        const char* why;
        int listWidth;
        int shown;  // 0: at least the list width, and every item whole
        bool atTheScreensEdge;  // the box ends 20 pixels left of the screen's right edge
    };
    const Case cases[] = {
        {"as the window sets it", 100, 0, false},
        {"wider than the items need", 180, 180, false},
        {"no list width: the box's width", 0, 49, false},
        {"as the window sets it, by the screen's right edge", 100, 0, true},
        {"wider than the items need, by the screen's right edge", 180, 180, true},
    };
    const int formLeft = form->GetLeft();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        form->ZoomCB->SetListWidth(c.listWidth);
        form->SetLeft(formLeft);
        qtServices->ProcessNativeEvents();
        TRect screen;
        {
            TServicesScope desktop(*qtServices);  // the desktop's monitors, not the test driver's
            screen = Screen->MonitorFromRect(QtWidgetOnScreen(form->ZoomCB))->WorkareaRect();
        }
        if (c.atTheScreensEdge) {
            form->SetLeft(formLeft + screen.Right - 20 - QtWidgetOnScreen(form->ZoomCB).Right);
            qtServices->ProcessNativeEvents();
        }
        const TRect box = QtWidgetOnScreen(form->ZoomCB);
        ASSERT_EQ(box.Width(), 49);
        if (c.atTheScreensEdge) {
            ASSERT_EQ(box.Right, screen.Right - 20);
        }
        const TPoint arrow{box.Right - 4, box.Top + box.Height() / 2};
        QtPointer(TQtMouseAction::Press, arrow);
        QtPointer(TQtMouseAction::Release, arrow);
        qtServices->ProcessNativeEvents();
        EXPECT_TRUE(form->ZoomCB->GetDroppedDown());
        const TRect list = QtDroppedListOnScreen(form->ZoomCB);
        if (c.shown > 0) {
            EXPECT_EQ(list.Width(), c.shown);
        } else {
            EXPECT_GE(list.Width(), c.listWidth);
            EXPECT_TRUE(QtDroppedListShowsWholeItems(form->ZoomCB)) << "\"Страница целиком\" is not cut";
        }
        if (c.atTheScreensEdge) {
            EXPECT_EQ(list.Right, screen.Right) << "moved left as far as it passed the edge";
        } else {
            EXPECT_EQ(list.Left, box.Left) << "under the box";
        }
        ASSERT_TRUE(QtKey(VK_ESCAPE));
        qtServices->ProcessNativeEvents();
        EXPECT_TRUE(QtDroppedListOnScreen(form->ZoomCB).Width() == 0) << "Escape closes the list";
        EXPECT_TRUE(form->GetVisible()) << "and only the list";
    }
    env.d.Click(form->CancelB);
}

// Qt's own dialogs (file, font, colour, print) speak Russian like the rest of the program.
TEST(PreviewQtSmoke, QtDialogsSpeakRussian)
{
    TOffscreen qt;
    struct Case {
        const char* context;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"QPlatformTheme", "Cancel", "Отмена"},
        {"QFileDialog", "File &name:", "&Имя файла:"},
        {"QFontDialog", "Select Font", "Выбор шрифта"},
        {"QColorDialog", "Select Color", "Выбор цвета"},
        {"QPrintDialog", "Print", "Печать"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(QtTranslated(c.context, c.text), c.expected);
    }
}

// A tool bar with widgets: taken by its grip's widget and dragged out of its dock it
// floats in a frameless window of its own; the close button hides it; docked again, its
// widget stands in the dock.
TEST(PreviewQtSmoke, ToolBarFloatsAndDocksWithWidgets)
{
    TOffscreen qt;
    TGuiServices* qtServices = &Services();
    TTestDriver d;
    const auto [form, top, bottom, bar, buttons] = MakeBarForm(3, true);
    ASSERT_TRUE(ShowWithNavigationBar(form, top, bar));
    qtServices->ProcessNativeEvents();
    EXPECT_TRUE(QtWidgetShown(bar));
    EXPECT_TRUE(QtWidgetInside(bar, top));
    EXPECT_TRUE(QtWidgetShown(bar->DragBox()));

    QtMouse(bar->DragBox(), TQtMouseAction::Press, 3, 5);
    EXPECT_TRUE(bar->Dragging());
    QtMouse(bar, TQtMouseAction::Move, 4, 6 + 120);
    ASSERT_TRUE(bar->IsFloat());
    QtMouse(bar, TQtMouseAction::Release, 4, 6);
    qtServices->ProcessNativeEvents();
    TrpFloatWindow* window = bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(QtWidgetShown(window));
    EXPECT_TRUE(QtWindowFrameless(window));
    EXPECT_TRUE(QtWidgetInside(bar, window));
    EXPECT_TRUE(QtWidgetShown(bar));
    EXPECT_TRUE(QtWidgetShown(window->CloseBtn));

    d.Click(window->CloseBtn);
    qtServices->ProcessNativeEvents();
    EXPECT_FALSE(QtWidgetShown(window));
    EXPECT_FALSE(bar->GetVisible());
    bar->SetVisible(true);
    qtServices->ProcessNativeEvents();
    EXPECT_TRUE(QtWidgetShown(bar));

    ASSERT_TRUE(bar->AddToDock(bottom));
    d.Run([] { Application->ProcessMessages(); });
    qtServices->ProcessNativeEvents();
    EXPECT_EQ(bar->FloatWindow(), nullptr);
    EXPECT_TRUE(QtWidgetInside(bar, bottom));
    EXPECT_TRUE(QtWidgetShown(bar));
    EXPECT_EQ(bottom->GetHeight(), 27);
    delete form;
}

// A tool bar dragged out of its dock by the user's mouse, as the window system delivers
// it: the float window takes the pointer, follows it to wherever it goes, stays above the
// form that owns it, and lets go at the release; dragged by its caption bar over a dock, it
// docks there and the drag goes on in the dock.
TEST(PreviewQtSmoke, AFloatingToolBarFollowsThePointerUntilTheRelease)
{
    TOffscreen qt;
    TGuiServices* qtServices = &Services();
    TTestDriver d;
    const auto [form, top, bottom, bar, buttons] = MakeBarForm(3, true);
    ASSERT_TRUE(ShowWithNavigationBar(form, top, bar));
    qtServices->ProcessNativeEvents();
    // Where the pointer takes the tool bar (the grip's (3, 5)), from its outer corner.
    const TPoint grip = bar->DragBox()->ClientToScreen({3, 5});
    const TPoint grab{grip.X - bar->ClientToScreen({0, 0}).X, grip.Y - bar->ClientToScreen({0, 0}).Y};
    auto barCorner = [&] { return bar->ClientToScreen({0, 0}); };

    QtPointer(TQtMouseAction::Press, grip);
    ASSERT_TRUE(bar->Dragging());
    EXPECT_TRUE(QtGrabsMouse(bar)) << "the drag holds the pointer from the press";
    struct Step {
        const char* why;
        TPoint to;
        bool floating;
    };
    const Step path[] = {
        {"along the dock", {grip.X + 40, grip.Y}, false},
        {"more than 20 pixels below the dock: it floats", {grip.X + 100, grip.Y + 80}, true},
        {"on, down and right, far from where it went down", {grip.X + 200, grip.Y + 180}, true},
        {"back over the form's middle", {grip.X + 150, grip.Y + 120}, true},
        {"outside the form altogether", {grip.X + 700, grip.Y + 60}, true},
    };
    for (const Step& step : path) {
        SCOPED_TRACE(step.why);
        QtPointer(TQtMouseAction::Move, step.to);
        qtServices->ProcessNativeEvents();
        ASSERT_EQ(bar->IsFloat(), step.floating);
        EXPECT_TRUE(bar->Dragging());
        if (!step.floating)
            continue;
        EXPECT_EQ(barCorner(), (TPoint{step.to.X - grab.X, step.to.Y - grab.Y})) << "under the pointer";
        TrpFloatWindow* window = bar->FloatWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(QtWidgetOnScreen(window), window->BoundsRect()) << "the window itself moved there";
        EXPECT_TRUE(QtGrabsMouse(window));
    }
    TrpFloatWindow* window = bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetPopupParent(), form);
    EXPECT_TRUE(QtWindowOwnedBy(window, form)) << "the float window stays above its form";

    QtPointer(TQtMouseAction::Release, {grip.X + 700, grip.Y + 60});
    qtServices->ProcessNativeEvents();
    EXPECT_FALSE(bar->Dragging()) << "the release ends the drag";
    EXPECT_FALSE(QtGrabsMouse(window));
    EXPECT_EQ(GetCapture(), nullptr);
    QtPointer(TQtMouseAction::Move, {grip.X + 750, grip.Y + 90});
    EXPECT_EQ(window->GetLeft(), grip.X + 700 - grab.X - 3) << "a move without the button leaves it";

    // Its caption bar dragged over the bottom dock: docked there, and the drag goes on in it.
    const TPoint caption = window->ClientToScreen({30, 10});
    QtPointer(TQtMouseAction::Press, caption);
    ASSERT_TRUE(bar->Dragging());
    const TPoint overDock = bottom->ClientToScreen({200, 0});
    QtPointer(TQtMouseAction::Move, overDock);
    qtServices->ProcessNativeEvents();
    ASSERT_FALSE(bar->IsFloat());
    EXPECT_EQ(bar->Dock(), bottom);
    EXPECT_TRUE(QtGrabsMouse(bar));
    QtPointer(TQtMouseAction::Move, {overDock.X + 30, overDock.Y});
    EXPECT_EQ(bar->Dock(), bottom);
    const int along = bar->GetLeft();
    QtPointer(TQtMouseAction::Release, {overDock.X + 30, overDock.Y});
    d.Run([] { Application->ProcessMessages(); });
    qtServices->ProcessNativeEvents();
    EXPECT_FALSE(bar->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(QtWidgetInside(bar, bottom));
    EXPECT_GT(along, 0) << "it moved along the dock with the pointer";
    delete form;
}

}  // namespace

// Keys pressed on the desktop reach the preview the way the window system sends them:
// to the focused window, then to the widget Qt has focused there.
TEST(PreviewQtSmoke, KeysFromTheWindowSystemMoveThePagesAndEscapeCloses)
{
    TQtPreviewWindow window(4);
    auto [qtServices, env, report, form] = window.Parts();
    ASSERT_NE(form, nullptr);
    TrpPreview* preview = form->Preview;
    TrpPreviewWorkspace* surface = preview->Workspace;
    qtServices->ProcessNativeEvents();
    ASSERT_TRUE(QtWindowHasKeys(form));

    struct Case {
        const char* why;
        Word key;
        int page, top, left;  // -1: not checked
    };
    const Case cases[] = {
        {"End goes to the last page", VK_END, 4, -1, -1},
        {"Home goes to the first page", VK_HOME, 1, 0, -1},
        {"Page Down scrolls 300 pixels", VK_NEXT, -1, 300, -1},
        {"Down scrolls 8 more", VK_DOWN, -1, 308, -1},
        {"Up scrolls back 8", VK_UP, -1, 300, -1},
        {"Page Up scrolls back 300", VK_PRIOR, 1, 0, -1},
        {"Right scrolls sideways 8", VK_RIGHT, -1, -1, 8},
        {"Left scrolls back", VK_LEFT, -1, -1, 0},
    };
    // As the window opens, after a click on the pages, and after a click on the pages once
    // the page number box had the keys.
    for (int phase : {0, 1, 2}) {
    SCOPED_TRACE(phase == 0 ? "as the window opens" : phase == 1 ? "after a click on the pages"
                                                                 : "after a click on the pages from the page number");
    if (phase == 2) {
        const TRect box = QtWidgetOnScreen(form->PageE);
        QtPointer(TQtMouseAction::Press, TPoint{box.Left + 5, box.Top + 5});
        QtPointer(TQtMouseAction::Release, TPoint{box.Left + 5, box.Top + 5});
        ASSERT_EQ(form->GetActiveControl(), form->PageE);
    }
    if (phase > 0) {
        const TRect r = QtWidgetOnScreen(surface->Surface);
        QtPointer(TQtMouseAction::Press, TPoint{r.Left + 50, r.Top + 50});
        QtPointer(TQtMouseAction::Release, TPoint{r.Left + 50, r.Top + 50});
        EXPECT_EQ(form->GetActiveControl(), preview) << "a click leaves the keys with the preview";
        surface->SetHorzPosition(0);
        preview->First();
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(QtKey(c.key));
        if (c.page >= 0) {
            EXPECT_EQ(preview->GetPageNo(), c.page);
        }
        if (c.top >= 0) {
            EXPECT_EQ(surface->GetVertPosition(), c.top);
        }
        if (c.left >= 0) {
            EXPECT_EQ(surface->GetHorzPosition(), c.left);
        }
    }
    }
    ASSERT_TRUE(QtKey(VK_ESCAPE));
    EXPECT_FALSE(form->GetVisible()) << "Escape closes the window";
}

// A tool bar floated, or its float window shown again, leaves the keys with the window
// that had them: the model's active form and the window Qt gives the keys to.
TEST(PreviewQtSmoke, AFloatWindowShowsWithoutTakingTheKeys)
{
    TOffscreen qt;
    TGuiServices* qtServices = &Services();
    TTestDriver d;
    const auto [form, top, bottom, bar, buttons] = MakeBarForm(1, false);
    form->SetKeyPreview(true);
    Word heard = 0;
    form->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& key, TShiftState) { heard = key; });
    ASSERT_TRUE(bar->DockTo(top, 0, 0));
    form->Show();
    qtServices->ProcessNativeEvents();
    ASSERT_TRUE(QtWindowHasKeys(form));

    struct Step {
        const char* why;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"floated", [&] { bar->FloatTo(300, 300); }},
        {"hidden and shown again", [&] { bar->SetVisible(false); bar->SetVisible(true); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        s.act();
        qtServices->ProcessNativeEvents();
        ASSERT_NE(bar->FloatWindow(), nullptr);
        EXPECT_TRUE(QtWidgetShown(bar->FloatWindow()));
        EXPECT_EQ(Screen->GetActiveForm(), form);
        EXPECT_TRUE(QtWindowHasKeys(form));
        heard = 0;
        ASSERT_TRUE(QtKey(VK_NEXT));
        EXPECT_EQ(heard, VK_NEXT) << "the form hears the keys";
    }
    delete form;
}

// The screen has the monitors Qt reports, and a float window whose saved place lies on none
// of them comes back onto the nearest, where Qt shows it.
TEST(PreviewQtSmoke, AFloatWindowSavedOffTheMonitorsComesBackOnTheNearest)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("sklad-screens-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // Two monitors side by side, the second lower and smaller.
    std::ofstream(folder / "screens.json")
        << R"({"screens": [{"name": "A", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96},
                           {"name": "B", "x": 1280, "y": 200, "width": 1024, "height": 768, "logicalDpi": 96}]})";
    {
        const std::string platform = "offscreen:configfile=" + (folder / "screens.json").string();
        TOffscreen qt(platform.c_str());
        TGuiServices* qtServices = &Services();
        TTestDriver d;
        const auto [form, top, bottom, bar, buttons] = MakeBarForm(1, false);
        bar->SetName("Bar1");
        bar->FloatTo(0, 0);
        form->Show();
        {
            // The desktop's answers, not the test driver's.
            TServicesScope desktop(*qtServices);
            ASSERT_EQ(Screen->MonitorCount(), 2);
            EXPECT_EQ(Screen->Monitors(1)->BoundsRect(), Bounds(1280, 200, 1024, 768));
            TIniFile ini(PathFromSystem((folder / "positions.ini").string()));
            ini.WriteBool("ToolBar.Bar1", "Float", true);
            ini.WriteInteger("ToolBar.Bar1", "Left", 4000);
            ini.WriteInteger("ToolBar.Bar1", "Top", 500);
            rpRestoreToolbarPosition(ini, bar);
        }
        qtServices->ProcessNativeEvents();
        TrpFloatWindow* window = bar->FloatWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->BoundsRect(), Bounds(2304 - window->GetWidth(), 500, window->GetWidth(), window->GetHeight()));
        EXPECT_EQ(QtWidgetOnScreen(window), window->BoundsRect()) << "Qt shows it there";
        delete form;
    }
    std::filesystem::remove_all(folder);
}

// A floating tool bar's window takes the keys when the user clicks into a control of it
// that types (an edit), not on showing nor on a click of a tool button; the form they came
// from gets them back when clicked into, and the window shown again leaves them there.
TEST(PreviewQtSmoke, AClickIntoAFloatingBarsEditGivesItTheKeys)
{
    TOffscreen qt;
    TGuiServices* qtServices = &Services();
    TTestDriver d;
    const auto [form, top, bottom, bar, buttons] = MakeBarForm(1, false);
    TSpeedButton* button = buttons[0];
    auto* holder = new TrpTBPanel(form);
    holder->SetParent(bar);
    holder->SetWidth(60);
    auto* edit = new TEdit(form);
    edit->SetParent(holder);
    edit->SetBounds(2, 1, 56, 20);
    ASSERT_TRUE(bar->DockTo(top, 0, 0));
    form->Show();
    bar->FloatTo(300, 300);
    qtServices->ProcessNativeEvents();
    TrpFloatWindow* window = bar->FloatWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QtWindowHasKeys(form));
    auto click = [&](const TControl* control) {
        const TRect r = QtWidgetOnScreen(control);
        const TPoint at{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
        QtPointer(TQtMouseAction::Press, at);
        QtPointer(TQtMouseAction::Release, at);
        qtServices->ProcessNativeEvents();
    };
    // The window manager activates a window clicked into; there is none offscreen.
    auto backToTheForm = [&] {
        form->UserActivated();
        qtServices->ProcessNativeEvents();
    };
    struct Step {
        const char* why;
        std::function<void()> act;
        bool windowHasKeys;
    };
    const Step steps[] = {
        {"a tool button clicked", [&] { click(button); }, false},
        {"the edit clicked", [&] { click(edit); }, true},
        {"the form activated", backToTheForm, false},
        {"the edit clicked again", [&] { click(edit); }, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        s.act();
        EXPECT_EQ(QtWindowHasKeys(window), s.windowHasKeys);
        EXPECT_EQ(QtWindowHasKeys(form), !s.windowHasKeys);
        EXPECT_EQ(Screen->GetActiveForm(), s.windowHasKeys ? static_cast<TCustomForm*>(window) : form);
    }
    ASSERT_TRUE(QtKey('7'));
    ASSERT_TRUE(QtKey('5'));
    EXPECT_EQ(edit->GetText(), "75") << "typed into the floating bar";
    EXPECT_EQ(window->GetActiveControl(), edit);

    // Back to the form, the window hidden and shown again: the keys stay with the form.
    backToTheForm();
    bar->SetVisible(false);
    bar->SetVisible(true);
    qtServices->ProcessNativeEvents();
    EXPECT_TRUE(QtWindowHasKeys(form));
    EXPECT_EQ(Screen->GetActiveForm(), form);
    click(edit);
    EXPECT_TRUE(QtWindowHasKeys(window)) << "and a click into it takes them again";
    delete form;
}

// The font combo's recent fonts change only on a choice from its dropped list: the arrow
// keys and the wheel on the closed box walk the fonts in order, as in any combo box, and
// never shuffle the list under the user (a step moved to the top would be stepped back
// over at the next key).
TEST(PreviewQtSmoke, TheFontComboRemembersChoicesFromItsListNotSteps)
{
    TOffscreen qt;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("sklad-fontcombo-qt-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    rpSetFontSource([] {
        std::vector<TrpFontEntry> fonts;
        for (const char* name : {"Arial", "Courier New", "Georgia", "Tahoma", "Verdana"})
            fonts.push_back({name, TRUETYPE_FONTTYPE});
        return fonts;
    });
    auto* form = new TForm(Application);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    auto* box = new TrpFontComboBox(form);
    box->SetParent(form);
    box->Reset();
    box->SetItemIndex(0);
    box->SetFocus();
    Services().ProcessNativeEvents();
    const auto drop = [&] {
        const TRect r = QtWidgetOnScreen(box);
        const TPoint arrow{r.Right - 4, r.Top + r.Height() / 2};
        QtPointer(TQtMouseAction::Press, arrow);
        QtPointer(TQtMouseAction::Release, arrow);
        Services().ProcessNativeEvents();
        ASSERT_TRUE(box->GetDroppedDown());
    };
    const auto key = [](Word k) {
        ASSERT_TRUE(QtKey(k));
        Services().ProcessNativeEvents();
    };
    struct Case {
        const char* why;
        std::function<void()> act;
        AnsiString text;
        std::vector<AnsiString> recent;
    };
    const Case cases[] = {
        {"Down on the closed box", [&] { key(VK_DOWN); }, "Courier New", {}},
        {"Down again goes on down", [&] { key(VK_DOWN); }, "Georgia", {}},
        {"Up goes back up", [&] { key(VK_UP); }, "Courier New", {}},
        {"the wheel steps too", [&] { QtTurnWheel(box, -120); Services().ProcessNativeEvents(); }, "Georgia", {}},
        {"Down and Enter in the dropped list choose",
         [&] { drop(); key(VK_DOWN); key(VK_RETURN); }, "Tahoma", {"Tahoma"}},
        {"a list closed by Escape chooses nothing", [&] { drop(); key(VK_ESCAPE); }, "Tahoma", {"Tahoma"}},
        {"nor does a step after it", [&] { key(VK_DOWN); }, "Arial", {"Tahoma"}},
        {"a click on an item of the list chooses",
         [&] {
             drop();
             const TRect list = QtDroppedListOnScreen(box);
             const TPoint last{list.Left + 20, list.Bottom - 6};
             QtPointer(TQtMouseAction::Press, last);
             QtPointer(TQtMouseAction::Release, last);
             Services().ProcessNativeEvents();
         },
         "Verdana", {"Verdana", "Tahoma"}},
        {"a letter typed into its read-only edit changes nothing",
         [&] {
             const TRect r = QtWidgetOnScreen(box);
             const TPoint text{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
             QtPointer(TQtMouseAction::Press, text);
             QtPointer(TQtMouseAction::Release, text);
             Services().ProcessNativeEvents();
             ASSERT_TRUE(QtWindowHasKeys(box));
             key('G');
         },
         "Verdana", {"Verdana", "Tahoma"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        c.act();
        EXPECT_EQ(box->GetText(), c.text);
        std::vector<AnsiString> recent;
        for (int i = 0; i <= box->GetMRUCount(); ++i)
            recent.push_back(box->GetItems()->Strings(i));
        EXPECT_EQ(recent, c.recent);
        EXPECT_FALSE(box->GetDroppedDown());
    }
    delete form;
    rpSetFontSource(nullptr);
    std::filesystem::remove_all(dir);
}

// A page number typed into the page box with the desktop's keys, after a click into it:
// Enter moves the pages there and gives the keys back to the pages.
TEST(PreviewQtSmoke, APageNumberTypedIntoTheBoxMovesThePagesOnEnter)
{
    TQtPreviewWindow window(4);
    auto [qtServices, env, report, form] = window.Parts();
    ASSERT_NE(form, nullptr);
    qtServices->ProcessNativeEvents();
    ASSERT_TRUE(QtWindowHasKeys(form));
    struct Case {
        Word digit;
        int page;
    };
    for (const Case& c : {Case{'3', 3}, Case{'4', 4}, Case{'1', 1}}) {
        SCOPED_TRACE(c.page);
        const TRect box = QtWidgetOnScreen(form->PageE);
        QtPointer(TQtMouseAction::Press, TPoint{box.Left + 5, box.Top + 5});
        QtPointer(TQtMouseAction::Release, TPoint{box.Left + 5, box.Top + 5});
        ASSERT_EQ(form->GetActiveControl(), form->PageE);
        ASSERT_TRUE(QtKey(VK_END));
        ASSERT_TRUE(QtKey(VK_BACK));
        ASSERT_TRUE(QtKey(c.digit));
        EXPECT_EQ(form->PageE->GetText(), IntToStr(c.page));
        ASSERT_TRUE(QtKey(VK_RETURN));
        qtServices->ProcessNativeEvents();
        EXPECT_EQ(form->Preview->GetPageNo(), c.page);
        EXPECT_EQ(form->GetActiveControl(), form->Preview);
    }
    delete form;
}

// The find dialog on the desktop offers the last text selected: what the user types
// replaces it, and Enter searches for the new text.
TEST(PreviewQtSmoke, TheFindDialogOffersTheLastTextSelected)
{
    TOffscreen qt;
    TGuiServices* qtServices = &Services();  // before the driver takes the services over
    TPreviewEnv env;
    rpLastSearchText() = "Итого";
    env.d.ExpectModal("TrpSearchDialog", [&] {
        auto* f = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
        qtServices->ProcessNativeEvents();
        ASSERT_TRUE(QtWindowHasKeys(f->TextE));
        ASSERT_TRUE(QtKey('7'));
        EXPECT_EQ(f->TextE->GetText(), "7");
        ASSERT_TRUE(QtKey(VK_RETURN));
    });
    std::unique_ptr<TrpSearchDialog> dialog(new TrpSearchDialog(Application));
    TModalResult result = mrNone;
    env.d.Run([&] { result = dialog->ShowModal(); });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(rpLastSearchText(), "7");
}
