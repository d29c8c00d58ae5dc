// ImgList.h - image lists: equal-sized small pictures by index, for tool-bar buttons.
//
// Each image is Width x Height pixels with its own transparency: AddMasked makes every
// pixel of the mask colour transparent, Add takes a mask bitmap whose white pixels are
// transparent. A bitmap wider than Width is a strip and adds one image per Width pixels
// (left to right; a rest narrower than Width is dropped), as the platform does.
//
// Controls that show the images register a TChangeLink and are told after every change
// (add, delete, clear, resize). The list keeps pixels only; a peer turns them into the
// desktop's icons (platform/qt) and headless tests read them back with GetBitmap or Draw.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/CanvasDevice.h"
#include "platform/graphics/Graphics.h"

#include <functional>
#include <vector>

class TBitmap;
class TCanvas;
class TCustomImageList;

// Tells one client of an image list that the list changed.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;
    TCustomImageList* Sender() const { return FSender; }
    void Change();
    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
    SKLAD_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int GetWidth() const { return FWidth; }
    // Changing the size clears the list.
    void SetWidth(int Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds Image (a strip adds several); Mask's white pixels are transparent (nullptr:
    // none). Returns the index of the first image added, -1 when nothing was added.
    int Add(TBitmap* Image, TBitmap* Mask);
    // The same with every pixel of MaskColor transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    void Delete(int Index);
    void Clear();

    // Copies image Index into Image (Width x Height); transparent pixels become
    // clBtnFace, the colour a button shows through them. Nothing for a bad index.
    void GetBitmap(int Index, TBitmap* Image) const;
    // Image Index's pixels (0xAARRGGBB) with alpha 0 where it is transparent; an empty
    // buffer for a bad index.
    TPixelBuffer GetImagePixels(int Index) const;
    bool IsTransparent(int Index, int X, int Y) const;
    // Draws image Index at (X, Y), leaving transparent pixels alone; disabled images are
    // drawn in the button-shadow colour.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    TNotifyEvent OnChange;

private:
    struct TImage {
        TPixelBuffer Pixels;
        std::vector<bool> Transparent;
    };
    int AddPieces(TBitmap* Image, const std::function<bool(int x, int y)>& transparent);
    void Changed();
    int FWidth = 16, FHeight = 16;
    std::vector<TImage> FImages;
    std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
    SKLAD_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
