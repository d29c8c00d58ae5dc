// QtDrawingTest.cpp - the library's pictures on the Qt backend, offscreen: the program's
// cursors become the widgets' cursors, and a dialog control's designer picture is what
// its widget paints.
#include "report/model/tests/ReportFixture.h"

#include "platform/graphics/Icon.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtProbe.h"

#include <cstdlib>

namespace {

struct TOffscreen {
    TOffscreen()
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_report_classes_qt";
        static char* argv[] = {name, nullptr};
        Backend = std::make_unique<TQtBackend>(argc, argv);
    }
    std::unique_ptr<TQtBackend> Backend;
};

class TrpEditControl : public TrpDialogControl {
    SKLAD_CLASS_NOPUBLISH(TrpEditControl, TrpDialogControl)
public:
    explicit TrpEditControl(TComponent* AOwner) : TrpDialogControl(AOwner)
    {
        InitControl(std::make_unique<TEdit>(nullptr));
    }
};
SKLAD_DEFINE_CLASS(TrpEditControl)

class TrpButtonControl : public TrpDialogControl {
    SKLAD_CLASS_NOPUBLISH(TrpButtonControl, TrpDialogControl)
public:
    explicit TrpButtonControl(TComponent* AOwner) : TrpDialogControl(AOwner)
    {
        InitControl(std::make_unique<TButton>(nullptr));
    }
};
SKLAD_DEFINE_CLASS(TrpButtonControl)

uint32_t PixelAt(const TBitmap& b, int x, int y) { return b.Pixels().Row(y)[x] & 0xFFFFFFu; }

}  // namespace

TEST_F(ReportTest, ProgramCursorsShowTheirPicturesOnWidgets)
{
    TOffscreen qt;
    TForm form(nullptr);
    auto* hand = new TPanel(&form);
    hand->SetParent(&form);
    hand->SetCursor(50);
    auto* zoom = new TPanel(&form);
    zoom->SetParent(&form);
    zoom->SetCursor(51);
    auto* pointing = new TPanel(&form);
    pointing->SetParent(&form);
    pointing->SetCursor(crHandPoint);
    form.Show();
    const TQtShownCursor h = QtShownCursor(hand), z = QtShownCursor(zoom), p = QtShownCursor(pointing);
    ASSERT_TRUE(h.Picture);
    EXPECT_EQ(h.Width, 32);
    EXPECT_EQ(h.Height, 32);
    EXPECT_EQ(h.HotX, TScreen::GetCursorImage(50)->HotX);
    EXPECT_EQ(h.HotY, TScreen::GetCursorImage(50)->HotY);
    ASSERT_TRUE(z.Picture);
    EXPECT_EQ(z.HotX, TScreen::GetCursorImage(51)->HotX);
    EXPECT_FALSE(p.Picture) << "the desktop's own pointing hand";
    form.Hide();
}

// The control on no shown window still paints through a widget of its own: an edit box
// shows its white field where the headless picture has only the button face.
TEST_F(ReportTest, ADialogControlIsDrawnByItsWidget)
{
    TOffscreen qt;
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    auto* edit = Add<TrpEditControl>(dlg, "Edit1");
    edit->SetBounds(10, 20, 80, 24);
    TBitmap target;
    target.SetSize(120, 60);
    edit->Draw(target.GetCanvas(), 1, 1, 0, 0);
    EXPECT_EQ(PixelAt(target, 50, 32), 0xFFFFFFu) << "the edit's field";
    EXPECT_NE(PixelAt(target, 10, 20), 0xFFFFFFu) << "its frame";
    EXPECT_EQ(PixelAt(target, 95, 50), 0xFFFFFFu) << "nothing beyond the control";

    auto* button = Add<TrpButtonControl>(dlg, "Button1");
    button->SetBounds(0, 0, 60, 24);
    button->SetCaption("ЖЖЖЖ");
    TBitmap face;
    face.SetSize(60, 24);
    button->Draw(face.GetCanvas(), 1, 1, 0, 0);
    int dark = 0;
    for (int y = 6; y < 18; ++y)
        for (int x = 15; x < 45; ++x)
            dark += (PixelAt(face, x, y) & 0xFF) < 0x60;
    EXPECT_GT(dark, 10) << "the caption's letters";
    EXPECT_EQ(edit->Control()->Peer(), nullptr) << "the painting widget is gone again";
}

namespace {
// An icon file of one 2 x 1 image, 32 bits per pixel: opaque red, then fully transparent.
AnsiString RedAndClearIcon()
{
    auto put = [](AnsiString& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += char((v >> (8 * i)) & 0xFF);
    };
    AnsiString dib;
    for (uint32_t v : {40u, 2u, 2u})
        put(dib, v, 4);
    put(dib, 1, 2);
    put(dib, 32, 2);
    for (int i = 0; i < 6; ++i)
        put(dib, 0, 4);
    for (uint32_t v : {0xFFFF0000u, 0x0000FF00u, 0u})
        put(dib, v, 4);
    AnsiString file;
    for (uint32_t v : {0u, 1u, 1u})
        put(file, v, 2);
    file += "\x02\x01";
    for (uint32_t v : {0u, 1u, 32u})
        put(file, v, 2);
    put(file, uint32_t(dib.size()), 4);
    put(file, 22, 4);
    return file + dib;
}
}  // namespace

// An icon stretched into a rectangle given right to left or bottom to top comes out
// mirrored, as every other picture does, instead of not at all.
TEST_F(ReportTest, IconsDrawnIntoMirroredRectanglesShowMirrored)
{
    TOffscreen qt;
    TIcon icon;
    TStringStream data(RedAndClearIcon());
    icon.LoadFromStream(data);
    struct Case {
        const char* why;
        TRect rect;
        TPoint red, clear;
    };
    const Case cases[] = {
        {"as given", TRect{0, 0, 8, 4}, {1, 1}, {6, 1}},
        {"right to left", TRect{8, 0, 0, 4}, {6, 1}, {1, 1}},
        {"bottom to top", TRect{0, 4, 8, 0}, {1, 1}, {6, 1}},
        {"both", TRect{8, 4, 0, 0}, {6, 2}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TBitmap target;
        target.SetSize(10, 6);
        target.GetCanvas()->StretchDraw(c.rect, &icon);
        EXPECT_EQ(PixelAt(target, c.red.X, c.red.Y), 0xFF0000u);
        EXPECT_EQ(PixelAt(target, c.clear.X, c.clear.Y), 0xFFFFFFu);
    }
}

// Under Qt a memo of any font size, and a canvas with the same font, measure a text as a
// positive height and width: Qt's ascent turns negative past 16384 pixels, so the fonts
// stay below it on the screen and on the 600-dpi measuring canvas alike.
TEST_F(ReportTest, MemosOfAnyFontSizeMeasurePositiveUnderQt)
{
    TOffscreen qt;
    TrpReport* r = MakeReport();
    auto* band = Add<TrpMasterData>(AddPage(r), "MasterData1");
    struct Case {
        int size;    // points, or 0 to set the height instead
        int height;  // pixels; positive is the cell height
    };
    const Case cases[] = {{8, 0}, {1000, 0}, {1500, 0}, {2500, 0}, {5000, 0}, {20000, 0},
                          {2000000000, 0}, {-2000000000, 0}, {0, 40000}, {0, -40000}};
    for (const char* name : {"Arial", "Times New Roman", "Courier New"})
        for (const Case& c : cases) {
            SCOPED_TRACE(Format("%s size %d height %d", {name, c.size, c.height}));
            auto* m = new TrpMemoView(band);
            m->SetBounds(0, 0, 2000, 20);
            m->SetText("Wide");
            m->WordWrap = false;
            m->GetFont()->SetName(name);
            if (c.size != 0)
                m->GetFont()->SetSize(c.size);
            else
                m->GetFont()->SetHeight(c.height);
            EXPECT_GT(m->CalcHeight(), 0);
            EXPECT_GT(m->CalcWidth(), 0);
            TBitmap b;
            b.SetWidth(50);
            b.SetHeight(50);
            m->Draw(b.GetCanvas(), 1, 1, 0, 0);
            b.GetCanvas()->GetFont()->Assign(m->GetFont());
            EXPECT_GT(b.GetCanvas()->TextHeight("Wide"), 0);
            EXPECT_GT(b.GetCanvas()->TextWidth("Wide"), 0);
            delete m;
        }
}
