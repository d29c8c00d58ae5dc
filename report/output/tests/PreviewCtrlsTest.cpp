// The library's controls: the 32-bit scrolling window, the flat combo boxes, the font
// combo's recent fonts, the combo edit, tool-bar panels and saved positions.
#include "report/output/rpCtrls.h"
#include "report/output/rpDock.h"
#include "report/output/rpPrinter.h"
#include "platform/printers/RecordingPrinter.h"

#include "platform/classes/IniFiles.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

#include <functional>

#include <cstdlib>
#include <unistd.h>
#include <filesystem>

namespace {

// ---------------------------------------------------------------- scrolling window

class ScrollWinTest : public ::testing::Test {
protected:
    struct TCounting : TrpScrollWin {
        using TrpScrollWin::TrpScrollWin;
        int H = 0, V = 0;
        void OnHScrollChange() override { ++H; }
        void OnVScrollChange() override { ++V; }
    };
    TTestDriver d;
    TCounting* w = new TCounting(Application);
};

TEST_F(ScrollWinTest, PositionStaysInRange)
{
    w->SetVertRange(1000);
    w->SetVertPage(300);
    struct Case {
        const char* why;
        int set, expected, calls;
    };
    const Case cases[] = {
        {"below zero gives 0 (no change, no call)", -5, 0, 0},
        {"inside", 250, 250, 1},
        {"the same again calls nothing", 250, 250, 1},
        {"beyond range - page stops there", 5000, 700, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->SetVertPosition(c.set);
        EXPECT_EQ(w->GetVertPosition(), c.expected);
        EXPECT_EQ(w->V, c.calls);
    }
    EXPECT_EQ(w->H, 0);
}

TEST_F(ScrollWinTest, BarOfAPageLargerThanTheRange)
{
    w->SetHorzRange(200);
    w->SetHorzPage(500);
    EXPECT_EQ(w->ScrollBarInfo(true), (TrpScrollBarInfo{0, 0, 500, 0, false}));
    w->SetHorzPage(100);
    EXPECT_EQ(w->ScrollBarInfo(true), (TrpScrollBarInfo{0, 200, 100, 0, true}));
}

TEST_F(ScrollWinTest, ScrollCodes)
{
    w->SetVertRange(200000);
    w->SetVertPage(1000);
    w->SetSmallChange(8);
    w->SetLargeChange(300);
    struct Case {
        const char* why;
        TrpScrollCode code;
        int track, expected;
    };
    const Case cases[] = {
        {"line down", scLineDown, 0, 8},
        {"page down", scPageDown, 0, 308},
        {"line up", scLineUp, 0, 300},
        {"page up past the top", scPageUp, 0, 0},
        {"a thumb over 65535 uses the 32-bit track position", scThumbTrack, 150000, 150000},
        {"bottom: the range, kept within range - page", scBottom, 0, 199000},
        {"top", scTop, 0, 0},
        {"thumb position", scThumbPosition, 70000, 70000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->Scroll(false, c.code, c.track);
        EXPECT_EQ(w->GetVertPosition(), c.expected);
    }
}

// ---------------------------------------------------------------- combo boxes

TEST(ComboBoxTest, ListHeightWidthAndPlace)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    auto* box = new TrpComboBox(form);
    box->SetParent(form);
    box->SetBounds(10, 20, 49, 19);
    EXPECT_EQ(box->GetItemHeight(), 11) << "the font's text height: 8 points on the exact font";
    EXPECT_EQ(box->GetListHeight(), 11 + 4) << "without items: one row";
    for (const char* z : {"25%", "50%", "75%", "100%", "150%", "200%", "По ширине", "Страница целиком"})
        box->GetItems()->Add(z);
    EXPECT_EQ(box->GetDropDownCount(), 8);
    EXPECT_EQ(box->GetListHeight(), 8 * 11 + 4);
    box->PlaceList(1024);
    EXPECT_EQ(box->GetListRect().Width(), 48) << "box width - 1 without a list width";
    box->SetListWidth(100);
    box->PlaceList(1024);
    EXPECT_EQ(box->GetListRect().Width(), 100);
    EXPECT_FALSE(box->GetListInverted());
    const TPoint origin = box->ClientToScreen(Point(0, 0));
    EXPECT_EQ(box->GetListRect().Top, origin.Y + 19);
    box->PlaceList(origin.Y + 100);
    EXPECT_TRUE(box->GetListInverted()) << "no room below: the list opens upwards";
    EXPECT_EQ(box->GetListRect().Bottom, origin.Y - 2);
    EXPECT_EQ(box->EditRect(), Bounds(3, 3, 49 - 11 - 7, 19 - 6));
}

// The zoom box's list, 100 pixels wide under a 49-pixel box, stays on a screen whose right
// edge is near: it ends at that edge rather than past it.
TEST(ComboBoxTest, AWideListStaysOnTheScreen)
{
    struct Case {
        const char* why;
        int boxLeft, screenWidth, listLeft;
    };
    const Case cases[] = {
        {"room to the right: under the box", 10, 1024, 10},
        {"the box near the right edge: the list ends at it", 960, 1024, 924},
        {"the box at the very edge", 975, 1024, 924},
        {"a screen narrower than the list: it starts at the left edge", 10, 60, 0},
    };
    TTestDriver d;
    auto* form = new TForm(Application);
    auto* box = new TrpComboBox(form);
    box->SetParent(form);
    box->SetListWidth(100);
    for (const char* z : {"25%", "50%", "По ширине", "Страница целиком"})
        box->GetItems()->Add(z);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        box->SetBounds(c.boxLeft - form->ClientToScreen(Point(0, 0)).X, 20, 49, 19);
        ASSERT_EQ(box->ClientToScreen(Point(0, 0)).X, c.boxLeft);
        box->PlaceList(768, c.screenWidth);
        EXPECT_EQ(box->GetListRect().Left, c.listLeft);
        EXPECT_EQ(box->GetListRect().Width(), 100);
        EXPECT_FALSE(box->GetListInverted());
    }
    delete form;
}

// A list drops on the monitor its box lies on, wherever that monitor lies on the desktop.
TEST(ComboBoxTest, TheListDropsOnTheBoxsMonitor)
{
    TTestDriver d;
    d.SetMonitors({{Rect(0, 0, 1280, 1024), Rect(0, 0, 1280, 984)},
                   {Bounds(-1280, 0, 1280, 1024), {}},
                   {Bounds(1280, 200, 1024, 600), {}}});
    auto* form = new TForm(Application);
    form->Show();
    auto* box = new TrpComboBox(form);
    box->SetParent(form);
    box->SetListWidth(100);
    for (const char* z : {"25%", "50%", "По ширине", "Страница целиком"})
        box->GetItems()->Add(z);
    const struct {
        const char* why;
        TPoint box;  // on the desktop
        TPoint list;
        bool inverted;
    } cases[] = {
        {"the primary monitor", {10, 10}, {10, 29}, false},
        {"a monitor left of the primary one", {-1270, 10}, {-1270, 29}, false},
        {"its right edge", {-40, 10}, {-100, 29}, false},
        {"a monitor right of it, lower and shorter", {1300, 200 + 600 - 40}, {1300, 760 - box->GetListHeight() - 2}, true},
        {"the primary monitor's bottom", {10, 1024 - 40}, {10, 984 - box->GetListHeight() - 2}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        form->SetBounds(c.box.X - 100, c.box.Y - 100, 300, 200);
        const TPoint client = form->ClientToScreen(Point(0, 0));
        box->SetBounds(c.box.X - client.X, c.box.Y - client.Y, 49, 19);
        ASSERT_EQ(box->ClientToScreen(Point(0, 0)), c.box);
        d.Run([&] { box->UserDroppedDown(true); });
        EXPECT_EQ(Point(box->GetListRect().Left, box->GetListRect().Top), c.list);
        EXPECT_EQ(box->GetListInverted(), c.inverted);
        d.Run([&] { box->UserDroppedDown(false); });
    }
    delete form;
}

// The font combo's edit is read-only: its text is always one of the fonts, picked or stepped
// to. The zoom box takes typing ("150 %"); a box made read-only takes none.
TEST(ComboBoxTest, AReadOnlyBoxTakesNoTyping)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    form->Show();
    auto* zoom = new TrpComboBox(form);
    auto* locked = new TrpComboBox(form);
    locked->SetReadOnly(true);
    auto* fonts = new TrpFontComboBox(form);
    struct Case {
        const char* why;
        TrpCustomComboBox* box;
        bool typed;
    };
    const Case cases[] = {
        {"the zoom box", zoom, true},
        {"a box made read-only", locked, false},
        {"the font combo", fonts, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        c.box->SetParent(form);
        c.box->GetItems()->Add("100%");
        c.box->SetItemIndex(0);
        int changes = 0;
        c.box->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
        d.Press(c.box, "5\b");
        EXPECT_EQ(c.box->UserTyped("150 %"), c.typed);
        EXPECT_EQ(c.box->GetText(), c.typed ? "150 %" : "100%");
        EXPECT_EQ(changes, c.typed ? 3 : 0);
        EXPECT_TRUE(c.box->UserSelected(0)) << "the list still works";
        EXPECT_EQ(c.box->GetText(), "100%");
    }
    delete form;
}

TEST(ComboBoxTest, FlatAndActiveLooks)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    auto* box = new TrpComboBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 60, 20);
    EXPECT_EQ(box->ButtonState(), rbsFlat);
    box->SetMouseInControl(true);
    EXPECT_EQ(box->ButtonState(), rbsHot);
    box->SetMouseInControl(false);
    box->SetDroppedDown(true);
    EXPECT_EQ(box->ButtonState(), rbsPressed);
    box->SetDroppedDown(false);
    // The focus in the box's edit makes it active, the focus elsewhere flat again.
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(0, 30, 60, 20);
    form->Show();
    box->SetFocus();
    EXPECT_EQ(box->ButtonState(), rbsHot);
    other->SetFocus();
    EXPECT_EQ(box->ButtonState(), rbsFlat);
    form->Hide();
    TRecordingCanvas flat, disabled;
    box->Paint(flat.Canvas);
    box->SetEnabled(false);
    box->Paint(disabled.Canvas);
    EXPECT_NE(flat.Dump(), disabled.Dump());
    EXPECT_NE(flat.Dump().find("fill 47 2 58 18"), AnsiString::npos) << "the button's face";
}

class FontComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("sklad-fontcombo-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const char* old = std::getenv("XDG_CONFIG_HOME");
        oldConfig = old ? old : "";
        hadConfig = old != nullptr;
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        rpSetFontSource([] {
            std::vector<TrpFontEntry> fonts;
            for (const char* name : {"Arial", "Courier New", "Tahoma", "Times New Roman", "Verdana", "Georgia",
                                     "Impact"})
                fonts.push_back({name, TRUETYPE_FONTTYPE});
            return fonts;
        });
    }
    void TearDown() override
    {
        rpSetFontSource(nullptr);
        if (hadConfig)
            ::setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(dir);
    }
    std::vector<AnsiString> Recent(TrpFontComboBox* box)
    {
        std::vector<AnsiString> names;
        for (int i = 0; i <= box->GetMRUCount(); ++i)
            names.push_back(box->GetItems()->Strings(i));
        return names;
    }
    AnsiString Choose(TrpFontComboBox* box, const AnsiString& name)
    {
        // The family in the sorted part of the list, below the recent fonts.
        for (int i = box->GetMRUCount() + 1; i < box->GetItems()->Count(); ++i)
            if (box->GetItems()->Strings(i) == name) {
                d.Run([&] { box->UserChose(i); });
                return box->GetText();
            }
        return {};
    }

    std::filesystem::path dir;
    std::string oldConfig;
    bool hadConfig = false;
    TTestDriver d;
};

TEST_F(FontComboTest, RecentFontsComeFirstAndSurvive)
{
    auto* form = new TForm(Application);
    form->Show();
    auto* box = new TrpFontComboBox(form);
    box->SetParent(form);
    box->Reset();
    EXPECT_EQ(box->GetItems()->Count(), 7);
    EXPECT_EQ(box->GetMRUCount(), -1);
    int clicks = 0;
    box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    for (const char* name : {"Tahoma", "Verdana", "Impact", "Georgia", "Courier New"})
        EXPECT_EQ(Choose(box, name), name);
    EXPECT_EQ(Recent(box), (std::vector<AnsiString>{"Courier New", "Georgia", "Impact", "Verdana", "Tahoma"}));
    EXPECT_EQ(clicks, 5);
    // A sixth distinct font drops the oldest.
    Choose(box, "Arial");
    EXPECT_EQ(Recent(box), (std::vector<AnsiString>{"Arial", "Courier New", "Georgia", "Impact", "Verdana"}));
    // A recent font chosen again moves to the top.
    d.Run([&] { box->UserChose(3); });
    EXPECT_EQ(Recent(box), (std::vector<AnsiString>{"Impact", "Arial", "Courier New", "Georgia", "Verdana"}));
    EXPECT_EQ(box->GetItemIndex(), 0);
    EXPECT_EQ(box->GetItems()->Count(), 12);

    // The next box reads them back; a font no longer installed goes from the registry.
    rpSetFontSource([] {
        return std::vector<TrpFontEntry>{{"Arial", 4}, {"Courier New", 4}, {"Georgia", 4}, {"Verdana", 4}};
    });
    auto* next = new TrpFontComboBox(form);
    next->SetParent(form);
    next->Reset();
    EXPECT_EQ(Recent(next), (std::vector<AnsiString>{"Arial", "Courier New", "Georgia", "Verdana"}));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Report Library\\MRUFont", false));
    EXPECT_EQ(reg.ReadString("Font0"), "");
    EXPECT_EQ(reg.ReadInteger("FontType0"), 0);
}

// A font picked from the list with the mouse, or by its name from the keys, goes to the
// top of the recent fonts as a chosen one does; the box then shows it, and OnChange,
// OnSelect and OnClick each fire once.
TEST_F(FontComboTest, PickingWithTheMouseOrTheKeysKeepsTheRecentFonts)
{
    struct Case {
        const char* why;
        std::function<void(TTestDriver&, TrpFontComboBox*)> pick;
        std::vector<AnsiString> recent;
    };
    const Case cases[] = {
        {"mouse: Verdana from the sorted list", [](TTestDriver& d, TrpFontComboBox* b) { d.Select(b, 6); },
         {"Verdana"}},
        {"keys: Georgia by its name", [](TTestDriver& d, TrpFontComboBox* b) { d.Select(b, AnsiString("Georgia")); },
         {"Georgia", "Verdana"}},
        {"mouse: the second recent font moves to the top",
         [](TTestDriver& d, TrpFontComboBox* b) { d.Select(b, 1); }, {"Verdana", "Georgia"}},
        {"mouse: the first entry changes nothing", [](TTestDriver& d, TrpFontComboBox* b) { d.Select(b, 0); },
         {"Verdana", "Georgia"}},
    };
    auto* form = new TForm(Application);
    form->Show();
    auto* box = new TrpFontComboBox(form);
    box->SetParent(form);
    box->Reset();
    int changes = 0, selects = 0, clicks = 0;
    box->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    box->OnSelect = TNotifyEvent::Lambda([&](TObject*) { ++selects; });
    box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        changes = selects = clicks = 0;
        c.pick(d, box);
        EXPECT_EQ(Recent(box), c.recent);
        EXPECT_EQ(box->GetItemIndex(), 0);
        EXPECT_EQ(box->GetText(), c.recent.front());
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(selects, 1);
        EXPECT_EQ(clicks, 1);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Report Library\\MRUFont", false));
    EXPECT_EQ(reg.ReadString("Font0"), "Verdana");
    EXPECT_EQ(reg.ReadString("Font1"), "Georgia");
}

TEST_F(FontComboTest, PreviewItemsAndThePrintersFonts)
{
    TRecordingPrinterSpec office("Office");
    office.Fonts = {{"Courier Printer", 0}};
    TRecordingPrinterSystem printers{{office}, "Office"};
    TPrinterSystemScope use{printers};
    rpFreePrinters();
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 600, 400);
    form->Show();
    auto* box = new TrpFontComboBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 150, 21);
    box->Reset();
    EXPECT_EQ(box->GetItems()->Count(), 8) << "the screen's seven and the printer's own";
    const int printerFont = box->GetItems()->IndexOf("Courier Printer");
    ASSERT_GE(printerFont, 0);
    EXPECT_EQ(box->FontTypeOf(printerFont), 0);

    // The item height leaves room for the TrueType picture even with a small font.
    box->GetFont()->SetSize(5);
    EXPECT_EQ(box->GetItemHeight(), kTrueTypePictureHeight + 1);
    box->GetFont()->SetSize(20);
    EXPECT_GT(box->GetItemHeight(), kTrueTypePictureHeight + 1);
    box->GetFont()->SetSize(8);

    TrpFontPreview* preview = box->FontPreview;
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetParent(), form);
    EXPECT_FALSE(preview->GetVisible());
    EXPECT_EQ(preview->GetWidth(), 200);
    EXPECT_EQ(preview->GetHeight(), 50);
    EXPECT_EQ(preview->Panel->GetFont()->GetSize(), 18);
    EXPECT_EQ(preview->Panel->GetColor(), clWindow);

    Choose(box, "Tahoma");
    Choose(box, "Georgia");
    ASSERT_EQ(box->GetMRUCount(), 1);
    // Dropping the list shows the sample of the first entry right of the box.
    d.Run([&] { box->UserDroppedDown(true); });
    EXPECT_TRUE(preview->GetVisible());
    EXPECT_EQ(preview->Panel->GetCaption(), "Georgia");
    EXPECT_EQ(preview->Panel->GetFont()->GetName(), "Georgia");
    EXPECT_EQ(preview->GetLeft(), 10 + 150);
    EXPECT_EQ(preview->GetTop(), 10);

    struct ItemCase {
        const char* why;
        AnsiString name;
        bool selected;
        std::vector<std::string> drawn, notDrawn;
    };
    const TRect r = Bounds(0, 26, 150, 13);
    const ItemCase items[] = {
        {"a TrueType font: the picture, the name after it", "Arial", false, {"pen clGray", "text 14 "}, {"clBtnShadow"}},
        {"the last recent font (the first chosen): the line under it", "Tahoma", false, {"line 0 37 150 37"}, {}},
        {"a font without the picture: 15 pixels kept free", "Courier Printer", false, {"text 17 "}, {"pen clGray"}},
        {"the highlighted font goes to the sample", "Courier Printer", true, {"brush clHighlight"}, {}},
    };
    for (const ItemCase& c : items) {
        SCOPED_TRACE(c.why);
        int index = -1;
        for (int i = 0; i < box->GetItems()->Count() && index < 0; ++i)
            if (box->GetItems()->Strings(i) == c.name)
                index = i;
        TRecordingCanvas canvas;
        box->DrawItem(canvas.Canvas, index, r, c.selected);
        const std::string dump = canvas.Dump();
        for (const std::string& part : c.drawn)
            EXPECT_NE(dump.find(part), std::string::npos) << part << "\n" << dump;
        for (const std::string& part : c.notDrawn)
            EXPECT_EQ(dump.find(part), std::string::npos) << part << "\n" << dump;
    }
    EXPECT_EQ(preview->Panel->GetCaption(), "Courier Printer");
    d.Run([&] { box->UserDroppedDown(false); });
    EXPECT_FALSE(preview->GetVisible());

    // Near the bottom of the screen the list opens upwards, and the sample goes above the
    // box's level with it; near the right edge the sample goes left of the box.
    const struct {
        const char* why;
        TPoint box;  // where the box lies on the screen
        bool inverted;
        TPoint sample;
    } places[] = {
        {"room below and to the right", {10, 10}, false, {160, 10}},
        {"near the bottom: the list and the sample go up", {10, 1024 - 60}, true, {160, 1024 - 60 - 50}},
        {"near the right edge: the sample goes left", {1280 - 160, 10}, false, {1280 - 160 - 200, 10}},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.why);
        form->SetBounds(0, 0, 1280, 1024);
        const TPoint client = form->ClientToScreen(Point(0, 0));
        box->SetBounds(p.box.X - client.X, p.box.Y - client.Y, 150, 21);
        d.Run([&] { box->UserDroppedDown(true); });
        EXPECT_EQ(box->GetListInverted(), p.inverted);
        EXPECT_EQ(form->ClientToScreen(Point(preview->GetLeft(), preview->GetTop())), p.sample);
        d.Run([&] { box->UserDroppedDown(false); });
    }
    rpFreePrinters();
}

TEST(ComboEditTest, ButtonAtTheRightEnd)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    form->Show();
    auto* edit = new TrpComboEdit(form);
    edit->SetParent(form);
    edit->SetBounds(0, 0, 150, 21);
    EXPECT_EQ(edit->ButtonPanel->BoundsRect(), Bounds(150 - 21 + 2, 2, 17, 17));
    int clicks = 0;
    edit->OnButtonClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    d.Click(edit->Button);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->GetActiveControl(), edit);
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->Button->GetEnabled());
    edit->SetEnabled(true);
    edit->SetButtonEnabled(false);
    EXPECT_FALSE(edit->Button->GetEnabled());
}

// ---------------------------------------------------------------- tool bars

TEST(DockTest, PanelAlignmentFollowsItsParent)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    struct Case {
        const char* why;
        TAlign parentAlign;
        bool panelParent;
        TAlign expected;
    };
    const Case cases[] = {
        {"in a tool bar of a right-hand dock: top", alRight, true, alTop},
        {"in a left one: top", alLeft, true, alTop},
        {"in a top one: left", alTop, true, alLeft},
        {"on a plain form it keeps its alignment", alNone, false, alBottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto* panel = new TrpTBPanel(form);
        EXPECT_EQ(panel->GetAlign(), alLeft);
        EXPECT_EQ(panel->GetWidth(), 8);
        panel->SetAlign(alBottom);
        if (c.panelParent) {
            auto* bar = new TPanel(form);
            bar->SetParent(form);
            bar->SetAlign(c.parentAlign);
            panel->SetParent(bar);
        } else {
            panel->SetParent(form);
        }
        EXPECT_EQ(panel->GetAlign(), c.expected);
    }
}

TEST(DockTest, PositionsRoundTrip)
{
    TTestDriver d;
    auto* form = new TForm(Application);
    auto* top = new TrpDock(form);
    top->SetName("TopDock");
    top->SetParent(form);
    auto* bottom = new TrpDock(form);
    bottom->SetName("BottomDock");
    bottom->SetParent(form);
    bottom->SetAlign(alBottom);
    auto* notADock = new TPanel(form);
    notADock->SetName("Panel1");
    auto* bar = new TrpToolBar(form);
    bar->SetName("Bar1");
    auto* button = new TPanel(form);
    button->SetParent(bar);
    button->SetBounds(0, 0, 30, 22);
    ASSERT_TRUE(bar->DockTo(top, 0, 0));
    EXPECT_EQ(bar->GetWidth(), 8 + 30 + 4) << "the grip, the button, plus 4";
    EXPECT_EQ(top->GetHeight(), 26 + 1);

    const std::string path = (std::filesystem::temp_directory_path() / "sklad-dock-test.ini").string();
    std::filesystem::remove(path);
    {
        TIniFile ini(PathFromSystem(path));
        rpSaveToolbarPosition(ini, bar);
        ini.WriteString("ToolBar.Bar1", "Dock", "BottomDock");
        rpRestoreToolbarPosition(ini, bar);
        EXPECT_EQ(bar->Dock(), bottom);
        EXPECT_EQ(top->GetHeight(), 1) << "an empty dock shrinks to one pixel";
        ini.WriteString("ToolBar.Bar1", "Dock", "Panel1");
        rpRestoreToolbarPosition(ini, bar);
        EXPECT_EQ(bar->Dock(), bottom) << "a name that is not a dock leaves it where it is";
        EXPECT_TRUE(bar->GetVisible());

        form->SetBounds(40, 50, 600, 400);
        rpSaveFormPosition(ini, form);
        form->SetBounds(0, 0, 10, 10);
        rpRestoreFormPosition(ini, form);
        EXPECT_EQ(form->BoundsRect(), Bounds(40, 50, 600, 400));
        EXPECT_EQ(ini.ReadString("Form.TForm", "Dock", "?"), "");
    }
    std::filesystem::remove(path);
}

}  // namespace
