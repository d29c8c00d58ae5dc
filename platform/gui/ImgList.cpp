#include "platform/gui/ImgList.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <algorithm>

namespace {

constexpr int kMaxImageSide = 256;

uint32_t ToPixel(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return 0xFF000000u | (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

TColor ToColor(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

}  // namespace

// ---------------------------------------------------------------- TChangeLink

TChangeLink::~TChangeLink()
{
    if (FSender)
        FSender->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (FSender)
        OnChange(FSender);
}

// ---------------------------------------------------------------- TCustomImageList

SKLAD_DEFINE_CLASS(TCustomImageList)
void TCustomImageList::Publish(TPropertyTable& t)
{
    t.Prop("Height", &TCustomImageList::GetHeight, &TCustomImageList::SetHeight).Default(16);
    t.Prop("Width", &TCustomImageList::GetWidth, &TCustomImageList::SetWidth).Default(16);
    t.Event("OnChange", &TCustomImageList::OnChange);
}

SKLAD_DEFINE_CLASS(TImageList)
void TImageList::Publish(TPropertyTable&) {}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList()
{
    // Clients hear of the end while the list is whole (they unregister their links), and
    // only then are the links that remain cut off.
    SendFreeNotifications();
    for (TChangeLink* link : FLinks)
        link->FSender = nullptr;
}

void TCustomImageList::SetWidth(int Value)
{
    Value = std::clamp(Value, 1, kMaxImageSide);
    if (Value == FWidth)
        return;
    FWidth = Value;
    FImages.clear();
    Changed();
}

void TCustomImageList::SetHeight(int Value)
{
    Value = std::clamp(Value, 1, kMaxImageSide);
    if (Value == FHeight)
        return;
    FHeight = Value;
    FImages.clear();
    Changed();
}

int TCustomImageList::AddPieces(TBitmap* Image, const std::function<bool(int x, int y)>& transparent)
{
    if (!Image || Image->Empty())
        return -1;
    const TPixelBuffer& source = Image->Pixels();
    const int pieces = source.Width / FWidth;
    if (pieces == 0)
        return -1;
    const int first = Count();
    for (int p = 0; p < pieces; ++p) {
        TImage image;
        image.Pixels.Width = FWidth;
        image.Pixels.Height = FHeight;
        image.Pixels.Pixels.assign(size_t(FWidth) * size_t(FHeight), ToPixel(clBtnFace));
        // A bitmap shorter than the list's height leaves the rest transparent.
        image.Transparent.assign(size_t(FWidth) * size_t(FHeight), true);
        for (int y = 0; y < std::min(FHeight, source.Height); ++y)
            for (int x = 0; x < FWidth; ++x) {
                const int sx = p * FWidth + x;
                const size_t i = size_t(y) * size_t(FWidth) + size_t(x);
                image.Pixels.Pixels[i] = source.Row(y)[sx] | 0xFF000000u;
                image.Transparent[i] = transparent(sx, y);
            }
        FImages.push_back(std::move(image));
    }
    Changed();
    return first;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    const TPixelBuffer* mask = Mask && !Mask->Empty() ? &Mask->Pixels() : nullptr;
    return AddPieces(Image, [mask](int x, int y) {
        if (!mask || x >= mask->Width || y >= mask->Height)
            return false;
        return (mask->Row(y)[x] & 0xFFFFFFu) == 0xFFFFFFu;
    });
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (!Image)
        return -1;
    const uint32_t key = ToPixel(MaskColor) & 0xFFFFFFu;
    const TPixelBuffer& pixels = Image->Pixels();
    return AddPieces(Image, [&pixels, key](int x, int y) { return (pixels.Row(y)[x] & 0xFFFFFFu) == key; });
}

void TCustomImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FImages.erase(FImages.begin() + Index);
    Changed();
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Changed();
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) const
{
    if (!Image || Index < 0 || Index >= Count())
        return;
    TPixelBuffer pixels = FImages[size_t(Index)].Pixels;
    const uint32_t face = ToPixel(clBtnFace);
    for (size_t i = 0; i < pixels.Pixels.size(); ++i)
        if (FImages[size_t(Index)].Transparent[i])
            pixels.Pixels[i] = face;
    Image->SetSize(FWidth, FHeight);
    Image->SetPixels(std::move(pixels));
}

TPixelBuffer TCustomImageList::GetImagePixels(int Index) const
{
    if (Index < 0 || Index >= Count())
        return {};
    TPixelBuffer pixels = FImages[size_t(Index)].Pixels;
    for (size_t i = 0; i < pixels.Pixels.size(); ++i)
        if (FImages[size_t(Index)].Transparent[i])
            pixels.Pixels[i] &= 0x00FFFFFFu;
    return pixels;
}

bool TCustomImageList::IsTransparent(int Index, int X, int Y) const
{
    if (Index < 0 || Index >= Count() || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return true;
    return FImages[size_t(Index)].Transparent[size_t(Y) * size_t(FWidth) + size_t(X)];
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    const TImage& image = FImages[size_t(Index)];
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const size_t i = size_t(y) * size_t(FWidth) + size_t(x);
            if (!image.Transparent[i])
                Canvas->SetPixel(X + x, Y + y, Enabled ? ToColor(image.Pixels.Pixels[i]) : clBtnShadow);
        }
}

void TCustomImageList::RegisterChanges(TChangeLink* Value)
{
    if (!Value || Value->FSender == this)
        return;
    if (Value->FSender)
        Value->FSender->UnRegisterChanges(Value);
    Value->FSender = this;
    FLinks.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value)
{
    const auto found = std::find(FLinks.begin(), FLinks.end(), Value);
    if (found == FLinks.end())
        return;
    FLinks.erase(found);
    Value->FSender = nullptr;
}

void TCustomImageList::Changed()
{
    // A client may unregister itself from its handler.
    const std::vector<TChangeLink*> links = FLinks;
    for (TChangeLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            link->Change();
    OnChange(this);
}
