// Icon.h - TIcon: the platform's icon picture (.ico data).
//
// An icon file holds one or more images of different sizes; the icon shows the largest
// (the first of equal ones). Each image is a device-independent bitmap of 1, 4, 8, 24 or
// 32 bits per pixel followed by its transparency mask (32-bit images carry their own
// alpha). PNG-compressed images are not read. The original bytes are kept and written
// back unchanged. Damaged data raises EInvalidGraphic and leaves the icon as it was.
#pragma once

#include "platform/graphics/Graphic.h"

class TIcon : public TGraphic {
    SKLAD_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    bool Empty() const override { return FPixels.Width == 0 || FPixels.Height == 0; }
    int GetWidth() const override { return FPixels.Width; }
    int GetHeight() const override { return FPixels.Height; }
    // An icon's size is the size of its image.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* source) override;
    // Pixels with alpha: 0 where the icon is transparent.
    const TPixelBuffer& Pixels() const { return FPixels; }

private:
    AnsiString FData;
    TPixelBuffer FPixels;
};

// The image of an icon file held in memory; EInvalidGraphic on damage.
TPixelBuffer DecodeIcon(const uint8_t* data, size_t size);
