// ResourceImagesTest.cpp - the library's own pictures as program resources: the strips cut
// into the image lists, the cursors in the screen's slots, the empty-picture sign, and a
// dialog control drawn without a widget.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpViews.h"

#include "platform/graphics/Icon.h"
#include "platform/graphics/Metafile.h"

#include "platform/graphics/Resources.h"
#include "platform/graphics/testing/RecordingCanvas.h"
#include "platform/gui/StdCtrls.h"

#include <set>

namespace {

uint32_t Rgb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

uint32_t PixelAt(const TBitmap& b, int x, int y) { return b.Pixels().Row(y)[x] & 0xFFFFFFu; }

std::vector<uint32_t> ImagePixels(TCustomImageList* list, int index)
{
    TBitmap cell;
    list->GetBitmap(index, &cell);
    return cell.Pixels().Pixels;
}

class TrpCaptionControl : public TrpDialogControl {
    SKLAD_CLASS_NOPUBLISH(TrpCaptionControl, TrpDialogControl)
public:
    explicit TrpCaptionControl(TComponent* AOwner) : TrpDialogControl(AOwner)
    {
        InitControl(std::make_unique<TButton>(nullptr));
    }
};
SKLAD_DEFINE_CLASS(TrpCaptionControl)

}  // namespace

TEST_F(ReportTest, LibraryStripsAreCutIntoListsOfTheirSizes)
{
    struct Strip {
        const char* name;
        int cell;        // width and height of one image
        bool pairs;      // image and disabled twin side by side
        TCustomImageList* list;
        int leastCount;  // what the program asks for by index
    };
    const Strip kStrips[] = {
        {"rpBUTTONS", 16, true, rpResources().GetMainButtonImages(), 1},
        {"rpOBJECTS", 22, false, rpResources().GetObjectImages(), 6},  // dot-matrix text 2, line 5
    };
    for (const Strip& s : kStrips) {
        SCOPED_TRACE(s.name);
        TBitmap strip;
        strip.LoadFromResourceName(s.name);
        ASSERT_EQ(strip.GetHeight(), s.cell);
        const int cells = strip.GetWidth() / s.cell;
        ASSERT_EQ(strip.GetWidth() % (s.pairs ? 2 * s.cell : s.cell), 0);
        const int images = s.pairs ? cells / 2 : cells;
        EXPECT_GE(images, s.leastCount);
        EXPECT_EQ(s.list->Count(), images);
        EXPECT_EQ(s.list->GetWidth(), s.cell);
        EXPECT_EQ(s.list->GetHeight(), s.cell);
        std::set<std::vector<uint32_t>> distinct;
        for (int i = 0; i < images; ++i)
            distinct.insert(ImagePixels(s.list, i));
        EXPECT_EQ(int(distinct.size()), images) << "every image is a picture of its own";
    }
    TCustomImageList* disabled = rpResources().GetDisabledButtonImages();
    ASSERT_EQ(disabled->Count(), rpResources().GetMainButtonImages()->Count());
    for (int i = 0; i < disabled->Count(); ++i)
        EXPECT_NE(ImagePixels(disabled, i), ImagePixels(rpResources().GetMainButtonImages(), i)) << i;

    TBitmap empty;
    empty.LoadFromResourceName("RPEMPTY");  // resource names ignore case
    EXPECT_EQ(empty.GetWidth(), 16);
    EXPECT_EQ(empty.GetHeight(), 16);
    EXPECT_THROW(empty.LoadFromResourceName("rpNOSUCH"), EResNotFound);
    EXPECT_EQ(empty.GetWidth(), 16) << "a missing resource leaves the bitmap alone";
    rpResources().SetButtonImages(nullptr, true);  // the dictionary lives on between tests
    rpResources().SetObjectImages(nullptr, true);
}

TEST_F(ReportTest, StartUpLoadsThreeDistinctCursorPictures)
{
    std::set<std::vector<uint32_t>> pictures;
    for (int slot : {50, 51, 52}) {
        SCOPED_TRACE(slot);
        const TCursorImage* c = TScreen::GetCursorImage(slot);
        ASSERT_NE(c, nullptr);
        ASSERT_EQ(c->Pixels.Width, 32);
        ASSERT_EQ(c->Pixels.Height, 32);
        EXPECT_TRUE(c->HotX >= 0 && c->HotX < 32 && c->HotY >= 0 && c->HotY < 32);
        EXPECT_EQ(c->Pixels.Row(0)[31] >> 24, 0u) << "a corner shows the screen through";
        EXPECT_EQ(c->Pixels.Row(c->HotY)[c->HotX] >> 24, 0xFFu) << "the hot spot lies on the picture";
        pictures.insert(c->Pixels.Pixels);
    }
    EXPECT_EQ(pictures.size(), 3u);
    EXPECT_EQ(TScreen::GetCursorImage(53), nullptr);
    TScreen::SetCursors(53, "rpNOSUCH");
    EXPECT_EQ(TScreen::GetCursorImage(53), nullptr) << "a missing resource loads no picture";
    TScreen::SetCursors(53, "");
}

// At design time a picture view without a picture shows the empty-picture sign at
// (X + 1, Y + 2), pixel for pixel; in a run it shows only its white background.
TEST_F(ReportTest, EmptyPictureViewDrawsTheSignAtItsPlace)
{
    TrpReport* r = MakeReport();
    auto* band = Add<TrpMasterData>(AddPage(r), "MasterData1");
    band->SetTop(0);
    auto* p = Add<TrpPictureView>(band, "Picture1");
    p->SetBounds(10, 20, 100, 50);
    const TPixelBuffer* sign = FindBitmapResource("rpEMPTY");
    ASSERT_NE(sign, nullptr);
    for (bool designing : {true, false}) {
        SCOPED_TRACE(designing ? "designing" : "running");
        p->IsDesigning = designing;
        TBitmap page;
        page.SetSize(160, 100);
        p->Draw(page.GetCanvas(), 1, 1, 0, 0);
        int same = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                same += PixelAt(page, 11 + x, 22 + y) == (sign->Row(y)[x] & 0xFFFFFFu);
        if (designing)
            EXPECT_EQ(same, 256);
        else
            EXPECT_LT(same, 256);
        EXPECT_EQ(PixelAt(page, 10, 21), 0xFFFFFFu) << "the sign starts one pixel right and two down";
    }
}

// Without a widget set the control is drawn as a raised frame on the button face.
TEST_F(ReportTest, ADialogControlWithoutAWidgetIsDrawnAsAFrame)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    auto* button = Add<TrpCaptionControl>(dlg, "Button1");
    button->SetBounds(10, 20, 40, 16);
    button->SetCaption("OK");
    TBitmap target;
    target.SetSize(80, 60);
    button->Draw(target.GetCanvas(), 2, 2, 5, 5);
    EXPECT_EQ(PixelAt(target, 10, 20), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(target, 49, 35), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(target, 15, 22), Rgb(clBtnFace));
    EXPECT_EQ(PixelAt(target, 50, 36), 0xFFFFFFu) << "nothing beyond the control";
}

namespace {

// An icon file of one 2 x 1 image, 32 bits per pixel: opaque red, then fully transparent
// (its colour bits say green, which must never show).
AnsiString TwoPixelIcon()
{
    auto put = [](AnsiString& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += char((v >> (8 * i)) & 0xFF);
    };
    AnsiString dib;
    put(dib, 40, 4);
    put(dib, 2, 4);
    put(dib, 2, 4);  // twice the height: colours and mask
    put(dib, 1, 2);
    put(dib, 32, 2);
    for (int i = 0; i < 6; ++i)
        put(dib, 0, 4);
    put(dib, 0xFFFF0000u, 4);  // BGRA in memory: red, opaque
    put(dib, 0x0000FF00u, 4);  // green, alpha 0
    put(dib, 0, 4);            // mask row
    AnsiString file;
    put(file, 0, 2);
    put(file, 1, 2);
    put(file, 1, 2);
    file += char(2);
    file += char(1);
    put(file, 0, 2);
    put(file, 1, 2);
    put(file, 32, 2);
    put(file, uint32_t(dib.size()), 4);
    put(file, 22, 4);
    return file + dib;
}

}  // namespace

// A picture is copied into the rectangle whole: what it leaves transparent is white, not
// what lies under the view; drawn plainly, the same icon lets the background through.
TEST_F(ReportTest, DrawGraphicCoversTheRectangleWhole)
{
    TIcon icon;
    TStringStream data(TwoPixelIcon());
    icon.LoadFromStream(data);
    ASSERT_EQ(icon.GetWidth(), 2);
    struct Case {
        const char* why;
        bool throughDrawGraphic;
        uint32_t transparentPart;
    };
    const Case kCases[] = {
        {"rpDrawGraphic: the white of its work bitmap", true, 0xFFFFFFu},
        {"the canvas's own drawing: the blue below", false, 0x0000FFu},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TBitmap target;
        target.SetSize(8, 4);
        target.GetCanvas()->GetBrush()->SetColor(clBlue);
        target.GetCanvas()->FillRect(Rect(0, 0, 8, 4));
        if (c.throughDrawGraphic)
            rpDrawGraphic(target.GetCanvas(), Rect(0, 0, 4, 2), &icon);
        else
            target.GetCanvas()->StretchDraw(Rect(0, 0, 4, 2), &icon);
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(PixelAt(target, 1, y), 0xFF0000u);
            EXPECT_EQ(PixelAt(target, 3, y), c.transparentPart);
        }
        EXPECT_EQ(PixelAt(target, 4, 0), 0x0000FFu) << "nothing beyond the rectangle";
    }
}

// A picture is stretched colour on colour whatever the canvas's mode, and the canvas keeps
// its own mode afterwards; a metafile is played with the modes of its own records.
TEST_F(ReportTest, DrawGraphicStretchesColourOnColourAndRestoresTheMode)
{
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    TMetafile smoothed;
    {
        TMetafileCanvas c(&smoothed);
        c.StretchDraw(Rect(0, 0, 4, 4), &bitmap);
    }
    struct Case {
        const char* why;
        TGraphic* graphic;
        int canvasMode;
        const char* suffix;  // of the bitmap record drawn
    };
    const Case kCases[] = {
        {"a bitmap on a smoothing canvas", &bitmap, HALFTONE, " coloroncolor"},
        {"a bitmap on a colour-on-colour canvas", &bitmap, COLORONCOLOR, " coloroncolor"},
        {"a metafile keeps its records' mode", &smoothed, COLORONCOLOR, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TRecordingCanvas rec;
        rec.Canvas.SetStretchBltMode(c.canvasMode);
        rpDrawGraphic(&rec.Canvas, Rect(0, 0, 40, 40), c.graphic);
        EXPECT_EQ(rec.Canvas.GetStretchBltMode(), c.canvasMode);
        const AnsiString dump = rec.Dump();
        const std::string prefix = "bitmap 0 0 40 40 2x2 #";
        const size_t at = dump.find(prefix);
        ASSERT_NE(at, AnsiString::npos) << dump;
        const size_t from = at + prefix.size() + 8;  // past the checksum
        EXPECT_EQ(dump.substr(from, dump.find('\n', at) - from), c.suffix) << dump;
    }
}

// Strips of 1, 2 and 3 cells with disabled twins, and a strip whose last cell is cut off.
TEST_F(ReportTest, AssignImagesKeepsTheTwoListsInStep)
{
    auto strip = [](int cells, int width) {
        TPixelBuffer p;
        p.Width = width;
        p.Height = 2;
        p.Pixels.assign(size_t(width) * 2, 0xFF102030u);
        for (int c = 0; c < cells; ++c) {
            p.Row(0)[c * 2] = 0xFFFFFFFFu;        // white: greyed in a disabled image
            p.Row(0)[c * 2 + 1] = 0xFF000000u + uint32_t(c);  // tells the cells apart
            p.Row(1)[c * 2] = 0xFFFF00FFu;        // bottom left: the transparent colour
        }
        return p;
    };
    struct Case {
        const char* why;
        int cells, width;
        bool twins;
        int normal, disabled;
    };
    const Case kCases[] = {
        {"one cell: its twin is the cell itself, greyed", 1, 2, true, 1, 1},
        {"one pair", 2, 4, true, 1, 1},
        {"an odd strip: the last image's twin is that image, greyed", 3, 6, true, 2, 2},
        {"a cut-off cell keeps the rest of the cell before", 2, 3, false, 2, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TBitmap b;
        b.SetPixels(strip(c.cells, c.width));
        TImageList normal(nullptr), disabled(nullptr);
        for (TImageList* l : {&normal, &disabled}) {
            l->SetWidth(2);
            l->SetHeight(2);
        }
        rpAssignImages(&b, 2, 2, &normal, c.twins ? &disabled : nullptr);
        ASSERT_EQ(normal.Count(), c.normal);
        ASSERT_EQ(disabled.Count(), c.disabled);
        if (c.twins) {
            const std::vector<uint32_t> last = ImagePixels(&normal, c.normal - 1);
            const std::vector<uint32_t> twin = ImagePixels(&disabled, c.disabled - 1);
            EXPECT_EQ(twin[0] & 0xFFFFFFu, 0xE0E0E0u) << "white turns light grey";
            if (c.cells % 2) {
                EXPECT_EQ(twin[1], last[1]) << "the missing twin repeats its image";
            }
        } else {
            EXPECT_EQ(ImagePixels(&normal, 1)[1], ImagePixels(&normal, 0)[1]);
        }
    }
}

// A bitmap drawn leaving out its transparent colour comes out whole at any size: every
// corner but the bottom-left one (the transparent colour itself) lands on the target, on
// a picture canvas and in a recorded metafile alike.
TEST_F(ReportTest, DrawTransparentDrawsBitmapsOfAnySizeWhole)
{
    struct Case {
        int w, h;
    };
    const Case cases[] = {{16, 16}, {300, 20}, {20, 300}, {257, 257}, {1, 2}, {3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        TBitmap picture;
        picture.SetSize(c.w, c.h);
        picture.GetCanvas()->GetBrush()->SetColor(clRed);
        picture.GetCanvas()->FillRect(TRect{0, 0, c.w, c.h});
        picture.GetCanvas()->SetPixel(0, c.h - 1, clLime);
        TBitmap target;
        target.SetSize(c.w + 4, c.h + 4);
        rpDrawTransparent(target.GetCanvas(), 2, 2, &picture);
        const TPoint corners[] = {{c.w - 1, 0}, {c.w - 1, c.h - 1}, {0, 0}};
        for (const TPoint& p : corners) {
            if (p.X != 0 || p.Y != c.h - 1) {
                EXPECT_EQ(PixelAt(target, 2 + p.X, 2 + p.Y), 0xFF0000u) << p.X << "," << p.Y;
            }
        }
        EXPECT_EQ(PixelAt(target, 2, 2 + c.h - 1), 0xFFFFFFu) << "the transparent colour is left out";
        EXPECT_EQ(PixelAt(target, 2 + c.w, 2 + c.h), 0xFFFFFFu) << "nothing beyond the bitmap";

        TMetafile metafile;
        metafile.SetWidth(c.w + 4);
        metafile.SetHeight(c.h + 4);
        {
            TMetafileCanvas canvas(&metafile);
            rpDrawTransparent(&canvas, 2, 2, &picture);
        }
        TBitmap replayed;
        replayed.SetSize(c.w + 4, c.h + 4);
        replayed.GetCanvas()->Draw(0, 0, &metafile);
        EXPECT_EQ(replayed.Pixels().Pixels, target.Pixels().Pixels) << "the metafile shows the same";
    }
}

// An icon drawn into a metafile keeps its mask: played back, saved and read again or not,
// its transparent part lets what lies below through, as drawn straight on a bitmap.
TEST_F(ReportTest, IconsKeepTheirMaskInMetafiles)
{
    TIcon icon;
    TStringStream data(TwoPixelIcon());
    icon.LoadFromStream(data);
    TMetafile recorded;
    recorded.SetWidth(8);
    recorded.SetHeight(4);
    {
        TMetafileCanvas canvas(&recorded);
        canvas.StretchDraw(TRect{0, 0, 8, 4}, &icon);
    }
    TMemoryStream saved;
    recorded.SaveToStream(saved);
    saved.SetPosition(0);
    TMetafile reread;
    reread.LoadFromStream(saved);
    for (TMetafile* m : {&recorded, &reread}) {
        SCOPED_TRACE(m == &recorded ? "recorded" : "read again");
        TBitmap target;
        target.SetSize(8, 4);
        target.GetCanvas()->GetBrush()->SetColor(clBlue);
        target.GetCanvas()->FillRect(TRect{0, 0, 8, 4});
        target.GetCanvas()->Draw(0, 0, m);
        EXPECT_EQ(PixelAt(target, 1, 1), 0xFF0000u);
        EXPECT_EQ(PixelAt(target, 6, 1), 0x0000FFu) << "the blue below shows through";
    }
}
