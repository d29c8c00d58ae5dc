#include "report/output/rpPreviewImages.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"
#include "platform/gui/ImgList.h"

#include <vector>

namespace {

constexpr int kSide = 16;
constexpr TColor kInk = TColor(0x404040);  // outlines: dark enough not to look disabled

// Draws one picture with its origin at the left of its cell.
class TPainter {
public:
    TPainter(TCanvas& canvas, int index) : C(canvas), X(index * kSide) {}

    void Fill(int l, int t, int r, int b, TColor color)
    {
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(color);
        C.FillRect(Rect(X + l, t, X + r, b));
    }
    // A filled rectangle with a one-pixel outline.
    void Box(int l, int t, int r, int b, TColor fill, TColor line = clBlack)
    {
        Pen(line);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Rectangle(X + l, t, X + r, b);
    }
    void Line(int x1, int y1, int x2, int y2, TColor color, int width = 1)
    {
        Pen(color, width);
        C.MoveTo(X + x1, y1);
        C.LineTo(X + x2, y2);
    }
    void Shape(std::vector<TPoint> points, TColor fill, TColor line = clBlack)
    {
        for (TPoint& p : points)
            p.X += X;
        Pen(line);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Polygon(points);
    }
    void Ring(int l, int t, int r, int b, TColor fill, TColor line, int width = 1)
    {
        Pen(line, width);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(fill);
        C.Ellipse(X + l, t, X + r, b);
    }
    // A sheet of paper with a folded corner and text lines.
    void Sheet(int l, int t, int r, int b, bool lines = true)
    {
        Shape({{l, t}, {r - 4, t}, {r - 1, t + 3}, {r - 1, b - 1}, {l, b - 1}}, clWhite, kInk);
        Line(r - 4, t, r - 4, t + 3, kInk);
        Line(r - 4, t + 3, r - 1, t + 3, kInk);
        if (lines)
            for (int y = t + 4; y < b - 2; y += 2)
                Line(l + 2, y, r - 3, y, clGray);
    }

private:
    void Pen(TColor color, int width = 1)
    {
        TPen* pen = C.GetPen();
        pen->SetStyle(psSolid);
        pen->SetMode(pmCopy);
        pen->SetWidth(width);
        pen->SetColor(color);
    }
    TCanvas& C;
    int X;
};

constexpr TColor kBlue = TColor(0xB05A1E);    // RGB 30, 90, 176
constexpr TColor kYellow = TColor(0x40C8F0);  // RGB 240, 200, 64
constexpr TColor kGreen = TColor(0x30A030);
constexpr TColor kRed = TColor(0x2020D0);

// Arrow heads for the page buttons, pointing left (dir -1) or right (+1).
void Arrow(TPainter& p, int tipX, int dir)
{
    p.Shape({{tipX, 8}, {tipX - 6 * dir, 2}, {tipX - 6 * dir, 14}}, kBlue, kBlue);
}

void Magnifier(TPainter& p, int l, int t, int d)
{
    p.Line(l + d - 2, t + d - 2, 14, 14, clBlack, 3);
    p.Ring(l, t, l + d, t + d, TColor(0xFFF0E0), clBlack, 2);
}

void DrawPicture(TCanvas& canvas, int index)
{
    TPainter p(canvas, index);
    switch (index) {
    case 0:  // open: a folder
        p.Shape({{1, 4}, {6, 4}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}, TColor(0x20A0D8));
        p.Shape({{3, 7}, {15, 7}, {13, 13}, {1, 13}}, kYellow);
        break;
    case 1:  // save: a diskette
        p.Box(1, 1, 15, 15, kBlue);
        p.Fill(4, 2, 12, 7, clWhite);
        p.Fill(5, 10, 11, 14, clSilver);
        p.Fill(6, 11, 8, 13, kBlue);
        break;
    case 2:  // print: a printer with a sheet in it
        p.Sheet(4, 1, 12, 7, false);
        p.Box(1, 6, 15, 12, TColor(0x787878), kInk);
        p.Fill(3, 8, 5, 9, TColor(0x30E030));
        p.Sheet(4, 10, 12, 15, true);
        break;
    case 3:  // export: a sheet and an arrow leaving it
        p.Sheet(1, 1, 11, 15);
        p.Line(6, 9, 14, 9, kGreen, 2);
        p.Shape({{15, 9}, {11, 5}, {11, 13}}, kGreen, kGreen);
        break;
    case 4:  // find: a magnifier over a sheet
        p.Sheet(1, 1, 12, 15);
        Magnifier(p, 5, 5, 7);
        break;
    case 5:  // outline: a small tree
        p.Line(3, 3, 3, 13, clGray);
        p.Line(3, 8, 7, 8, clGray);
        p.Line(3, 13, 7, 13, clGray);
        p.Box(1, 1, 6, 5, kYellow);
        p.Box(7, 6, 14, 10, clWhite, kBlue);
        p.Box(7, 11, 14, 15, clWhite, kBlue);
        break;
    case 7:  // page settings: a sheet with its margins
        p.Sheet(2, 1, 14, 15, false);
        p.Line(5, 2, 5, 14, kBlue);
        p.Line(10, 2, 10, 14, kBlue);
        p.Line(3, 4, 13, 4, kBlue);
        p.Line(3, 12, 13, 12, kBlue);
        break;
    case 8:  // first page
        p.Fill(2, 2, 4, 14, kBlue);
        Arrow(p, 5, -1);
        Arrow(p, 10, -1);
        break;
    case 9:  // prior page
        Arrow(p, 5, -1);
        break;
    case 10:  // next page
        Arrow(p, 11, 1);
        break;
    case 11:  // last page
        Arrow(p, 6, 1);
        Arrow(p, 11, 1);
        p.Fill(12, 2, 14, 14, kBlue);
        break;
    case 12:  // whole page: a sheet inside the corners of the view
        p.Sheet(4, 2, 12, 14);
        for (int x : {0, 15})
            for (int y : {0, 15}) {
                p.Line(x, y, x == 0 ? 4 : 11, y, kBlue);
                p.Line(x, y, x, y == 0 ? 4 : 11, kBlue);
            }
        break;
    case 13:  // page width: a sheet with arrows to both sides
        p.Sheet(3, 1, 13, 15);
        p.Line(1, 8, 15, 8, kBlue);
        p.Shape({{0, 8}, {3, 5}, {3, 11}}, kBlue, kBlue);
        p.Shape({{15, 8}, {12, 5}, {12, 11}}, kBlue, kBlue);
        break;
    case 14:  // 100%: "1:1" on a sheet
        p.Sheet(1, 1, 15, 15, false);
        p.Line(4, 4, 4, 12, clBlack, 2);
        p.Fill(7, 6, 9, 8, clBlack);
        p.Fill(7, 10, 9, 12, clBlack);
        p.Line(11, 4, 11, 12, clBlack, 2);
        break;
    case 15:  // two pages side by side
        p.Sheet(0, 2, 8, 14);
        p.Sheet(8, 2, 16, 14);
        break;
    case 16:  // hand: an open palm
        p.Shape({{4, 15}, {2, 9}, {3, 8}, {5, 10}, {5, 3}, {7, 3}, {7, 8}, {7, 2}, {9, 2}, {9, 8}, {9, 3},
                 {11, 3}, {11, 8}, {11, 5}, {13, 5}, {13, 11}, {11, 15}},
                TColor(0xB4D7F5), clBlack);
        break;
    case 17:  // zoom: a magnifier with a plus
        Magnifier(p, 1, 1, 10);
        p.Line(4, 6, 9, 6, clBlack);
        p.Line(6, 4, 6, 9, clBlack);
        break;
    case 19:  // add a page
        p.Sheet(1, 1, 12, 15);
        p.Fill(9, 5, 11, 15, kGreen);
        p.Fill(5, 9, 15, 11, kGreen);
        break;
    case 20:  // delete the page
        p.Sheet(1, 1, 12, 15);
        p.Line(6, 6, 14, 14, kRed, 2);
        p.Line(14, 6, 6, 14, kRed, 2);
        break;
    case 21:  // edit the page: a sheet and a pencil
        p.Sheet(1, 1, 12, 15);
        p.Shape({{15, 4}, {13, 2}, {6, 9}, {5, 12}, {8, 11}}, kYellow);
        break;
    default: break;
    }
}

}  // namespace

std::unique_ptr<TBitmap> rpDrawPreviewImages()
{
    auto strip = std::make_unique<TBitmap>();
    strip->SetSize(rpPreviewImageCount * kSide, kSide);
    TCanvas* canvas = strip->GetCanvas();
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(rpPreviewImageMask);
    canvas->FillRect(Rect(0, 0, strip->GetWidth(), kSide));
    for (int i = 0; i < rpPreviewImageCount; ++i) {
        // Each picture stays inside its own cell.
        canvas->SetClipRect(Rect(i * kSide, 0, (i + 1) * kSide, kSide));
        DrawPicture(*canvas, i);
    }
    canvas->ResetClip();
    return strip;
}

void rpLoadPreviewImages(TCustomImageList* Images)
{
    if (!Images)
        return;
    Images->SetWidth(kSide);
    Images->SetHeight(kSide);
    Images->Clear();
    const std::unique_ptr<TBitmap> strip = rpDrawPreviewImages();
    Images->AddMasked(strip.get(), rpPreviewImageMask);
}
