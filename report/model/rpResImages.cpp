// rpResImages.cpp - the report library's own pictures, registered as program resources.
//
// Bitmaps: "rpBUTTONS" (kButtonPairs pairs of 16 x 16 cells: a button's picture, then its
// disabled twin), "rpOBJECTS" (kObjectImages cells of 22 x 22, the report objects) and
// "rpEMPTY" (16 x 16, the sign of a picture view without a picture). Cursors: "rpHAND",
// "rpZOOM" and "rpFORMAT" (32 x 32 with their hot spots). Everything is drawn here, in code,
// on the software raster, so the pictures are the same with or without a display. In the
// strips the bottom-left pixel of every cell is the cell's transparent colour.
#include "report/model/rpRes.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/RasterDevice.h"
#include "platform/graphics/Resources.h"

#include <array>
#include <string_view>

namespace {

constexpr TColor kBack = TColor(0xFF00FF);  // transparent in the strips (magenta)
constexpr TColor kInk = TColor(0x303030);
constexpr TColor kPaper = clWhite;
constexpr TColor kBlue = TColor(0xC06020);   // BGR: a mid blue
constexpr TColor kYellow = TColor(0x40D0F0);
constexpr TColor kRed = TColor(0x2020D0);
constexpr TColor kGreen = TColor(0x40A040);
constexpr TColor kGrey = TColor(0xA0A0A0);

TPixelBuffer Blank(int w, int h, uint32_t argb)
{
    TPixelBuffer p;
    p.Width = w;
    p.Height = h;
    p.Pixels.assign(size_t(w) * size_t(h), argb);
    return p;
}

uint32_t Argb(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return 0xFF000000u | (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

// Draws pictures into cells of a strip: coordinates are relative to the current cell.
class TCellPainter {
public:
    explicit TCellPainter(TPixelBuffer& strip) : FDevice(strip), C(&FDevice) {}
    void Cell(int x) { X = x; }
    void Pen(TColor color, int width = 1)
    {
        C.GetPen()->SetStyle(psSolid);
        C.GetPen()->SetColor(color);
        C.GetPen()->SetWidth(width);
    }
    void Box(int l, int t, int r, int b, TColor fill, TColor line = kInk)
    {
        Pen(line);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Rectangle(X + l, t, X + r, b);
    }
    void Fill(int l, int t, int r, int b, TColor fill)
    {
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.FillRect(Rect(X + l, t, X + r, b));
    }
    void Line(int x1, int y1, int x2, int y2, TColor color, int width = 1)
    {
        Pen(color, width);
        C.MoveTo(X + x1, y1);
        C.LineTo(X + x2, y2);
    }
    void Shape(std::vector<TPoint> points, TColor fill, TColor line = kInk)
    {
        for (TPoint& p : points)
            p.X += X;
        Pen(line);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Polygon(points);
    }
    void Ring(int l, int t, int r, int b, TColor fill, TColor line = kInk)
    {
        Pen(line);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Ellipse(X + l, t, X + r, b);
    }
    // A sheet of paper with a folded corner and text lines.
    void Sheet(int l, int t, int r, int b)
    {
        Shape({{l, t}, {r - 4, t}, {r - 1, t + 3}, {r - 1, b - 1}, {l, b - 1}}, kPaper);
        for (int y = t + 4; y < b - 2; y += 2)
            Line(l + 2, y, r - 3, y, kGrey);
    }

private:
    TRasterDevice FDevice;
    TCanvas C;
    int X = 0;
};

// ---------------------------------------------------------------- buttons

constexpr int kButton = 16;
constexpr int kButtonPairs = 10;  // new, open, save, preview, print, cut, copy, paste, undo, delete

void DrawButton(TCellPainter& p, int index)
{
    switch (index) {
    case 0:  // new report
        p.Sheet(2, 1, 14, 15);
        break;
    case 1:  // open: a folder
        p.Shape({{1, 4}, {6, 4}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}, kYellow);
        p.Shape({{3, 8}, {15, 8}, {13, 13}, {1, 13}}, TColor(0x60E8FF));
        break;
    case 2:  // save: a disk
        p.Box(1, 1, 15, 15, kBlue);
        p.Box(4, 2, 12, 7, kPaper);
        p.Box(4, 10, 12, 15, kGrey);
        break;
    case 3:  // preview: a sheet under a magnifier
        p.Sheet(1, 1, 11, 14);
        p.Ring(6, 5, 13, 12, TColor(0xF0E0C0));
        p.Line(12, 11, 15, 14, kInk, 2);
        break;
    case 4:  // print: a printer
        p.Box(4, 1, 12, 6, kPaper);
        p.Box(1, 6, 15, 12, kGrey);
        p.Box(4, 10, 12, 15, kPaper);
        p.Fill(11, 7, 13, 9, kGreen);
        break;
    case 5:  // cut: scissors
        p.Line(4, 1, 10, 10, kInk);
        p.Line(11, 1, 5, 10, kInk);
        p.Ring(1, 9, 7, 15, kPaper, kRed);
        p.Ring(8, 9, 14, 15, kPaper, kRed);
        break;
    case 6:  // copy: two sheets
        p.Sheet(1, 1, 10, 11);
        p.Sheet(6, 5, 15, 15);
        break;
    case 7:  // paste: a clipboard with a sheet
        p.Box(1, 2, 12, 15, TColor(0x3080B0));
        p.Box(4, 1, 9, 4, kGrey);
        p.Sheet(7, 6, 15, 15);
        break;
    case 8:  // undo: a curved arrow to the left
        p.Line(4, 6, 11, 6, kBlue, 2);
        p.Line(11, 6, 13, 9, kBlue, 2);
        p.Line(13, 9, 11, 12, kBlue, 2);
        p.Shape({{1, 6}, {5, 2}, {5, 10}}, kBlue, kBlue);
        break;
    case 9:  // delete: a red cross
        p.Line(3, 3, 12, 12, kRed, 3);
        p.Line(12, 3, 3, 12, kRed, 3);
        break;
    }
}

// The disabled twin: every colour but the background and white becomes a grey of its
// brightness, kept light so that it reads as switched off.
uint32_t Disabled(uint32_t px, uint32_t back)
{
    if (px == back || (px & 0xFFFFFFu) == 0xFFFFFFu)
        return px;
    const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    const uint32_t grey = 0x80 + (r * 30 + g * 59 + b * 11) / 100 / 3;
    return 0xFF000000u | (grey << 16) | (grey << 8) | grey;
}

TPixelBuffer MakeButtons()
{
    const uint32_t back = Argb(kBack);
    TPixelBuffer strip = Blank(kButton * 2 * kButtonPairs, kButton, back);
    {
        TCellPainter p(strip);
        for (int i = 0; i < kButtonPairs; ++i) {
            p.Cell(i * 2 * kButton);
            DrawButton(p, i);
        }
    }
    for (int i = 0; i < kButtonPairs; ++i)
        for (int y = 0; y < kButton; ++y)
            for (int x = 0; x < kButton; ++x) {
                uint32_t* row = strip.Row(y);
                row[(i * 2 + 1) * kButton + x] = Disabled(row[i * 2 * kButton + x], back);
            }
    return strip;
}

// ---------------------------------------------------------------- report objects

constexpr int kObject = 22;
// In this order: selection arrow, band, text, picture, subreport, line, shape, dataset,
// database, dialog page (the dot-matrix text and line reuse 2 and 5).
constexpr int kObjectImages = 10;

void DrawObject(TCellPainter& p, int index)
{
    switch (index) {
    case 0:  // the selection arrow
        p.Shape({{6, 2}, {6, 18}, {10, 14}, {13, 20}, {15, 19}, {12, 13}, {17, 13}}, kPaper);
        break;
    case 1:  // a band: a strip across a page
        p.Box(2, 2, 20, 20, kPaper, kGrey);
        p.Box(2, 8, 20, 14, kYellow);
        break;
    case 2:  // text: a letter on a frame
        p.Box(2, 3, 20, 19, kPaper);
        p.Line(6, 16, 11, 6, kInk, 2);
        p.Line(11, 6, 16, 16, kInk, 2);
        p.Line(8, 12, 14, 12, kInk);
        break;
    case 3:  // picture: a landscape in a frame
        p.Box(2, 3, 20, 19, TColor(0xF0D8A0));
        p.Shape({{3, 18}, {9, 9}, {13, 14}, {15, 12}, {19, 18}}, kGreen, kGreen);
        p.Ring(14, 5, 18, 9, kYellow, kYellow);
        break;
    case 4:  // subreport: a page inside a page
        p.Box(2, 2, 20, 20, kPaper);
        p.Box(6, 8, 17, 17, TColor(0xE0E0E0), kBlue);
        break;
    case 5:  // line
        p.Line(3, 18, 18, 3, kInk, 2);
        break;
    case 6:  // shape: a rectangle and an ellipse
        p.Box(2, 2, 13, 13, kBlue);
        p.Ring(8, 8, 20, 20, kYellow);
        break;
    case 7:  // dataset: a table
        p.Box(2, 3, 20, 19, kPaper);
        p.Fill(3, 4, 19, 8, kBlue);
        for (int y = 11; y < 19; y += 4)
            p.Line(2, y, 20, y, kGrey);
        p.Line(10, 8, 10, 19, kGrey);
        break;
    case 8:  // database: a cylinder
        p.Box(4, 5, 18, 18, kGrey);
        p.Ring(4, 14, 18, 21, kGrey);
        p.Ring(4, 2, 18, 9, TColor(0xD0D0D0));
        break;
    case 9:  // dialog page: a window with a title bar and a button
        p.Box(2, 3, 20, 19, TColor(0xD0D0D0));
        p.Fill(3, 4, 19, 7, kBlue);
        p.Box(11, 13, 18, 17, TColor(0xE8E8E8));
        break;
    }
}

TPixelBuffer MakeObjects()
{
    TPixelBuffer strip = Blank(kObject * kObjectImages, kObject, Argb(kBack));
    TCellPainter p(strip);
    for (int i = 0; i < kObjectImages; ++i) {
        p.Cell(i * kObject);
        DrawObject(p, i);
    }
    return strip;
}

// ---------------------------------------------------------------- pictures by hand

// 16 rows of 16 characters: '.' the background, '#' ink, 'o' white, 'b' blue, 'g' green,
// 'y' yellow, 'r' red.
using TArt = std::array<std::string_view, 16>;

uint32_t ArtColour(char c, uint32_t background)
{
    switch (c) {
    case '#': return Argb(kInk);
    case 'o': return 0xFFFFFFFFu;
    case 'b': return Argb(TColor(0xF0C080));
    case 'g': return Argb(kGreen);
    case 'y': return Argb(kYellow);
    case 'r': return Argb(kRed);
    default: return background;
    }
}

// The empty-picture sign: a small framed landscape with a red stroke across.
constexpr TArt kEmpty = {
    "################",
    "#bbbbbbbbbbbbbr#",
    "#bbbbbbbbyybbrb#",
    "#bbbbbbbyyyyrbb#",
    "#bbbbbbbyyyrbbb#",
    "#bbbbbbbbyrbbbb#",
    "#bbbbgbbbrbbbbb#",
    "#bbbgggbrbbbbbb#",
    "#bbgggggrbbbbbb#",
    "#bgggggrggbbbbb#",
    "#ggggrgggggbbgg#",
    "#ggggrggggggggg#",
    "#gggrgggggggggg#",
    "#ggrggggggggggg#",
    "#grgggggggggggg#",
    "################",
};

TPixelBuffer MakeEmpty()
{
    TPixelBuffer p = Blank(16, 16, 0xFFFFFFFFu);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            p.Row(y)[x] = ArtColour(kEmpty[size_t(y)][size_t(x)], 0xFFFFFFFFu);
    return p;
}

// Cursors: drawn at 16 x 16 and doubled, transparent where the art has '.'.
TCursorImage MakeCursor(const TArt& art, int hotX, int hotY)
{
    TCursorImage c;
    c.Pixels = Blank(32, 32, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            c.Pixels.Row(y)[x] = ArtColour(art[size_t(y / 2)][size_t(x / 2)], 0);
    c.HotX = hotX;
    c.HotY = hotY;
    return c;
}

// The hand that drags pages about; it points with its middle.
constexpr TArt kHand = {
    ".......##.......",
    "...##.#oo###....",
    "..#oo##oo#oo#...",
    "..#oo##oo#oo#.#.",
    "...#oo#oo#oo##o#",
    "...#oo#oo#oo#oo#",
    ".##.#ooooooo#oo#",
    "#oo##ooooooooo#.",
    "#ooo#oooooooo#..",
    ".#ooooooooooo#..",
    "..#oooooooooo#..",
    "..#ooooooooo#...",
    "...#oooooooo#...",
    "....#ooooooo#...",
    ".....#oooooo#...",
    ".....########...",
};

// The magnifier; it points with the middle of its lens.
constexpr TArt kZoom = {
    "...####.........",
    ".##oooo##.......",
    ".#ooo#oo#.......",
    "#oooo#ooo#......",
    "#o#######o#.....",
    "#oooo#ooo#......",
    "#oooo#ooo#......",
    ".#ooooooo#......",
    ".##ooooo###.....",
    "...#####.###....",
    ".........###....",
    "..........###...",
    "...........###..",
    "............###.",
    ".............##.",
    "................",
};

// The format brush; it points with the tip of its bristles.
constexpr TArt kFormat = {
    "....#######.....",
    "....#yyyyy##....",
    "....#yyyyy#y#...",
    "....#######y#...",
    ".....#yyyyy##...",
    "......#ooo#.....",
    ".......#o#......",
    ".......#o#......",
    ".......#o#......",
    "......#bbb#.....",
    "......#bbb#.....",
    "......#bbb#.....",
    "......#bbb#.....",
    ".......#b#......",
    "........#.......",
    "................",
};

}  // namespace

void rpRegisterResourceImages()
{
    RegisterBitmapResource("rpBUTTONS", MakeButtons);
    RegisterBitmapResource("rpOBJECTS", MakeObjects);
    RegisterBitmapResource("rpEMPTY", MakeEmpty);
    RegisterCursorResource("rpHAND", [] { return MakeCursor(kHand, 16, 16); });
    RegisterCursorResource("rpZOOM", [] { return MakeCursor(kZoom, 11, 11); });
    RegisterCursorResource("rpFORMAT", [] { return MakeCursor(kFormat, 17, 29); });
}
