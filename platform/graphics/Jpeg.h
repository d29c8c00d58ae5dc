// Jpeg.h - TJPEGImage: JPEG pictures through libjpeg.
//
// The image keeps its compressed bytes and decodes them into a bitmap when it is drawn
// or its pixels are asked for. Loading checks the whole stream at once: a damaged or
// truncated JPEG (libjpeg's warnings included, which would otherwise give a grey-filled
// picture) raises EInvalidGraphic and leaves the image as it was. libjpeg's errors never
// reach exit() or abort(): its error manager returns here through longjmp from frames
// that hold no C++ objects.
//
// Assigning a bitmap makes the image compress that bitmap with CompressionQuality
// (1..100) and Grayscale when it is saved. Grayscale also decodes to grey.
#pragma once

#include "platform/graphics/Graphic.h"

#include <memory>

SKLAD_ENUM(TJPEGPerformance, jpBestQuality, jpBestSpeed)
SKLAD_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)

// Images with more pixels than this are refused before any pixel is decoded.
constexpr int64_t kMaxJpegPixels = kMaxBitmapPixels;

struct TJpegInfo {
    int Width = 0, Height = 0, Components = 0;
    bool Progressive = false;
};

// Decodes a whole JPEG into 0xFFRRGGBB pixels; EInvalidGraphic on any damage.
TPixelBuffer DecodeJpeg(const uint8_t* data, size_t size, bool grayscale = false, TJpegInfo* info = nullptr);
// Reads only the header (size and components); EInvalidGraphic on damage.
TJpegInfo ReadJpegHeader(const uint8_t* data, size_t size);
// Compresses pixels; quality 1..100.
AnsiString EncodeJpeg(const TPixelBuffer& pixels, int quality, bool grayscale, bool progressive = false);

class TJPEGImage : public TGraphic {
    SKLAD_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override { return FData.empty() && !FBitmap; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    // The size of a JPEG is its data's; setting it is refused, as on the platform.
    void SetWidth(int) override;
    void SetHeight(int) override;

    int GetCompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int value);
    bool GetGrayscale() const { return FGrayscale; }
    void SetGrayscale(bool value);
    bool GetProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool value) { FProgressive = value; }
    TJPEGPerformance GetPerformance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance value) { FPerformance = value; }
    TJPEGScale GetScale() const { return FScale; }
    void SetScale(TJPEGScale value) { FScale = value; }

    // The decoded pixels (decoding on first use).
    TBitmap* GetBitmap();
    // Compresses the assigned bitmap now, if one waits.
    void Compress();
    void DIBNeeded() { GetBitmap(); }
    void JPEGNeeded() { Compress(); }
    const AnsiString& Data() const { return FData; }

    void Draw(TCanvas& canvas, const TRect& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* source) override;

private:
    AnsiString FData;                  // compressed bytes (empty while a bitmap waits)
    std::unique_ptr<TBitmap> FBitmap;  // decoded, or assigned and waiting for Compress
    bool FBitmapIsSource = false;
    int FWidth = 0, FHeight = 0;
    int FQuality = 90;
    bool FGrayscale = false, FProgressive = false;
    TJPEGPerformance FPerformance = jpBestQuality;
    TJPEGScale FScale = jsFullSize;
};
