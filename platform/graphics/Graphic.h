// Graphic.h - pictures: TGraphic and its kinds (bitmap, metafile), and TPicture.
//
// A graphic knows its size, draws itself stretched into a rectangle of a canvas, and
// reads and writes its own file format: TBitmap the BMP format, TMetafile a recorded
// list of drawing calls in a stream format of our own (Metafile.h), TJPEGImage JPEG
// (Jpeg.h). Every reader checks every length before it uses it; damaged data raises
// EInvalidGraphic with what was wrong and leaves the graphic as it was.
//
// TPicture holds one graphic of any kind, picks the kind from a file extension or from
// the first bytes of the data, and stores itself in component streams as the binary
// property "Data": the graphic's class name, then the graphic's own data with its length.
#pragma once

#include "platform/classes/Streams.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/CanvasDevice.h"
#include "platform/graphics/GraphicsObjects.h"

#include <functional>
#include <memory>

SKLAD_EXCEPTION(EInvalidGraphic, Exception)
SKLAD_EXCEPTION(EInvalidGraphicOperation, Exception)

class TGraphic : public TPersistent {
    SKLAD_CLASS(TGraphic, TPersistent)
public:
    TNotifyEvent OnChange;

    virtual bool Empty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool GetModified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }

    // Draws the whole graphic stretched into `rect` (the canvas calls this).
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);

    // The form inside a picture's "Data": a 32-bit length, then SaveToStream's bytes.
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream);

protected:
    void Changed();

private:
    bool FTransparent = false;
    bool FModified = false;
};

using TGraphicClass = TClass;

// ---------------------------------------------------------------- bitmaps

SKLAD_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)

// Makes the device a bitmap's canvas draws on. The default is the software raster of
// RasterDevice.h; the Qt start-up installs a painter over the same pixels.
using TBitmapDeviceFactory = std::function<std::unique_ptr<TCanvasDevice>(TPixelBuffer& pixels)>;
void SetBitmapDeviceFactory(TBitmapDeviceFactory factory);

// Bitmaps larger than this many pixels are refused (a damaged header must not make the
// program reserve gigabytes).
constexpr int64_t kMaxBitmapPixels = 64ll * 1024 * 1024;

class TBitmap : public TGraphic {
    SKLAD_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return FPixels.Width == 0 || FPixels.Height == 0; }
    int GetWidth() const override { return FPixels.Width; }
    int GetHeight() const override { return FPixels.Height; }
    void SetWidth(int value) override { SetSize(value, FPixels.Height); }
    void SetHeight(int value) override { SetSize(FPixels.Width, value); }
    // Keeps the pixels that still fit; new pixels are white. EInvalidGraphic past the limit.
    void SetSize(int width, int height);
    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }

    // The canvas drawing on the pixels; made on first use, kept for the bitmap's life.
    TCanvas* GetCanvas();
    const TPixelBuffer& Pixels() const { return FPixels; }
    // Replaces all pixels (EInvalidGraphic when the buffer's size does not match).
    void SetPixels(TPixelBuffer pixels);
    uint32_t* ScanLine(int y);

    void Draw(TCanvas& canvas, const TRect& rect) override;
    // BMP: reads 1, 4, 8, 24 and 32 bits per pixel, uncompressed or with bit fields;
    // writes 24 bits per pixel (32 for pf32bit).
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Assign(TPersistent* source) override;
    // The program's bitmap resource of that name (Resources.h); EResNotFound when none.
    void LoadFromResourceName(const AnsiString& name);

private:
    void DropDevice();
    TPixelBuffer FPixels;
    TPixelFormat FPixelFormat = pfDevice;
    std::unique_ptr<TCanvasDevice> FDevice;
    std::unique_ptr<TCanvas> FCanvas;
};

// Decodes a BMP file held in memory; EInvalidGraphic on damage.
TPixelBuffer DecodeBmp(const uint8_t* data, size_t size);
// Encodes pixels as a BMP file (24 or 32 bits per pixel).
AnsiString EncodeBmp(const TPixelBuffer& pixels, int bitsPerPixel);

// ---------------------------------------------------------------- pictures

class TPicture : public TPersistent {
    SKLAD_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    TNotifyEvent OnChange;

    TGraphic* GetGraphic() const { return FGraphic.get(); }
    // Copies `value` into a new graphic of the same class (nullptr clears).
    void SetGraphic(TGraphic* value);
    // Takes the graphic over.
    void SetGraphic(std::unique_ptr<TGraphic> value);
    // The graphic as a bitmap; any other kind is replaced by an empty bitmap.
    TBitmap* GetBitmap();
    int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
    int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

    // The kind comes from the extension: .bmp, .jpg/.jpeg, .emf/.wmf (our metafiles).
    // EInvalidGraphic "Unknown picture file extension (.xyz)" for any other.
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);
    // The kind comes from the first bytes (BM, FF D8, our metafile signature).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    void Assign(TPersistent* source) override;
    void DefineProperties(TFiler* filer) override;
    // The "Data" property's bytes: class name (length byte first), then WriteData.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream);

private:
    void GraphicChanged(TObject*);
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};

// Graphic kinds by file extension ("jpg" without the dot) and by class name.
void RegisterFileFormat(const AnsiString& extension, const AnsiString& description, TGraphicClass cls);
TGraphicClass GraphicClassForExtension(const AnsiString& extension);
TGraphicClass GraphicClassByName(const AnsiString& className);
std::unique_ptr<TGraphic> NewGraphic(TGraphicClass cls);
