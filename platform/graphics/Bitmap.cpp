#include "platform/graphics/Graphic.h"

#include "platform/graphics/GraphicIO.h"
#include "platform/graphics/RasterDevice.h"
#include "platform/graphics/Resources.h"

#include <algorithm>

// ---------------------------------------------------------------- TGraphic

SKLAD_DEFINE_ABSTRACT_CLASS(TGraphic)
void TGraphic::Publish(TPropertyTable& t)
{
    t.Prop("Height", &TGraphic::GetHeight, &TGraphic::SetHeight).Stored(false);
    t.Prop("Transparent", &TGraphic::GetTransparent, &TGraphic::SetTransparent).Default(false);
    t.Prop("Width", &TGraphic::GetWidth, &TGraphic::SetWidth).Stored(false);
}

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed()
{
    FModified = true;
    OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName)
{
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const AnsiString& fileName)
{
    TMemoryStream data;
    SaveToStream(data);
    SaveFileWhole(fileName, [&](TStream& stream) { data.SaveToStream(stream); });
}

void TGraphic::ReadData(TStream& stream)
{
    uint32_t size = 0;
    if (stream.Read(&size, 4) != 4)
        throw EInvalidGraphic("picture data: the length of the graphic is missing");
    if (int64_t(size) > stream.Remaining())
        throw EInvalidGraphic("picture data: the graphic is longer than the data that holds it");
    TMemoryStream data;
    if (size > 0)
        data.CopyFrom(stream, size);
    data.SetPosition(0);
    LoadFromStream(data);
}

void TGraphic::WriteData(TStream& stream)
{
    TMemoryStream data;
    SaveToStream(data);
    const uint32_t size = uint32_t(data.GetSize());
    stream.WriteBuffer(&size, 4);
    data.SaveToStream(stream);
}

// ---------------------------------------------------------------- the bitmap device

namespace {

TBitmapDeviceFactory& DeviceFactory()
{
    static TBitmapDeviceFactory factory;
    return factory;
}

std::unique_ptr<TCanvasDevice> MakeBitmapDevice(TPixelBuffer& pixels)
{
    if (DeviceFactory())
        return DeviceFactory()(pixels);
    return std::make_unique<TRasterDevice>(pixels);
}

void CheckSize(int64_t width, int64_t height, const char* what)
{
    if (width < 0 || height < 0 || width * height > kMaxBitmapPixels || width > 65535 || height > 65535)
        throw EInvalidGraphic(AnsiString(what) + ": a bitmap of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels is too large");
}

}  // namespace

void SetBitmapDeviceFactory(TBitmapDeviceFactory factory)
{
    DeviceFactory() = std::move(factory);
}

// ---------------------------------------------------------------- TBitmap

SKLAD_DEFINE_CLASS(TBitmap)
void TBitmap::Publish(TPropertyTable& t)
{
    t.Prop("Canvas", &TBitmap::GetCanvas).Stored(false);
    t.Prop("PixelFormat", &TBitmap::GetPixelFormat, &TBitmap::SetPixelFormat).Default(pfDevice).Stored(false);
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    if (FCanvas)
        FCanvas->SetDevice(nullptr);
}

void TBitmap::DropDevice()
{
    // The device may point into the old pixels: a canvas already handed out is moved
    // onto a device over the new ones.
    if (!FCanvas)
        return;
    FCanvas->SetDevice(nullptr);
    FDevice = MakeBitmapDevice(FPixels);
    FCanvas->SetDevice(FDevice.get());
}

TCanvas* TBitmap::GetCanvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        FDevice = MakeBitmapDevice(FPixels);
        FCanvas->SetDevice(FDevice.get());
    }
    return FCanvas.get();
}

void TBitmap::SetSize(int width, int height)
{
    if (width == FPixels.Width && height == FPixels.Height)
        return;
    CheckSize(width, height, "bitmap");
    TPixelBuffer resized;
    resized.Width = width;
    resized.Height = height;
    resized.Pixels.assign(size_t(width) * size_t(height), 0xFFFFFFFFu);
    for (int y = 0; y < std::min(height, FPixels.Height); ++y)
        std::copy_n(FPixels.Row(y), std::min(width, FPixels.Width), resized.Row(y));
    FPixels = std::move(resized);
    DropDevice();
    Changed();
}

void TBitmap::SetPixels(TPixelBuffer pixels)
{
    CheckSize(pixels.Width, pixels.Height, "bitmap");
    if (pixels.Pixels.size() != size_t(pixels.Width) * size_t(pixels.Height))
        throw EInvalidGraphic("bitmap: the pixel buffer does not match its size");
    FPixels = std::move(pixels);
    DropDevice();
    Changed();
}

uint32_t* TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= FPixels.Height)
        throw EInvalidGraphic("Scan line index out of range");
    return FPixels.Row(y);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    canvas.DrawPixels(rect, FPixels);
}

void TBitmap::LoadFromStream(TStream& stream)
{
    const AnsiString data = ReadRest(stream, "BMP");
    TPixelBuffer pixels = DecodeBmp(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    FPixels = std::move(pixels);
    DropDevice();
    Changed();
}

void TBitmap::LoadFromResourceName(const AnsiString& name)
{
    const TPixelBuffer* pixels = FindBitmapResource(name);
    if (!pixels)
        throw EResNotFound("Resource " + name + " not found");
    SetPixels(*pixels);
}

void TBitmap::SaveToStream(TStream& stream)
{
    const AnsiString data = EncodeBmp(FPixels, FPixelFormat == pf32bit ? 32 : 24);
    stream.WriteBuffer(data.data(), int64_t(data.size()));
}

void TBitmap::Assign(TPersistent* source)
{
    if (!source) {
        SetPixels(TPixelBuffer{});
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        FPixelFormat = b->FPixelFormat;
        SetTransparent(b->GetTransparent());
        SetPixels(b->FPixels);
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        // Any other graphic is drawn onto a white bitmap of its size.
        TPixelBuffer blank;
        CheckSize(g->GetWidth(), g->GetHeight(), "bitmap");
        blank.Width = g->GetWidth();
        blank.Height = g->GetHeight();
        blank.Pixels.assign(size_t(blank.Width) * size_t(blank.Height), 0xFFFFFFFFu);
        SetPixels(std::move(blank));
        if (!g->Empty())
            GetCanvas()->StretchDraw(Rect(0, 0, FPixels.Width, FPixels.Height), g);
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

// ---------------------------------------------------------------- BMP

namespace {

struct Mask {
    uint32_t Bits = 0;
    int Shift = 0, Width = 0;
    explicit Mask(uint32_t bits = 0) : Bits(bits)
    {
        if (!bits)
            return;
        while (!((bits >> Shift) & 1))
            ++Shift;
        while (Shift + Width < 32 && ((bits >> (Shift + Width)) & 1))
            ++Width;
    }
    uint32_t Take(uint32_t v) const
    {
        if (!Width)
            return 0;
        const uint32_t x = (v & Bits) >> Shift;
        const uint32_t max = Width >= 32 ? 0xFFFFFFFFu : ((1u << Width) - 1);
        return uint32_t((uint64_t(x) * 255 + max / 2) / max);
    }
};

}  // namespace

TPixelBuffer DecodeBmp(const uint8_t* data, size_t size)
{
    TByteReader r(data, size, "BMP");
    if (r.U8("signature") != 'B' || r.U8("signature") != 'M')
        r.Fail("not a bitmap file (no BM signature)");
    r.Skip(8, "file header");
    const uint32_t offBits = r.U32("pixel offset");
    const size_t infoStart = r.Position();
    const uint32_t infoSize = r.U32("info header size");
    int64_t width = 0, height = 0;
    unsigned bpp = 0;
    uint32_t compression = 0, colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    bool core = false;
    if (infoSize == 12) {
        core = true;
        width = r.U16("width");
        height = int16_t(r.U16("height"));
        r.U16("planes");
        bpp = r.U16("bits per pixel");
    } else if (infoSize >= 40 && infoSize <= 1024) {
        width = r.I32("width");
        height = r.I32("height");
        r.U16("planes");
        bpp = r.U16("bits per pixel");
        compression = r.U32("compression");
        r.Skip(12, "info header");
        colorsUsed = r.U32("colours used");
        r.U32("important colours");
        if (compression == 3) {
            r.Seek(infoStart + 40, "bit masks");
            for (uint32_t& m : masks)
                m = r.U32("bit masks");
        }
        r.Seek(infoStart + infoSize, "info header");
    } else {
        r.Fail("unknown info header size " + std::to_string(infoSize));
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0)
        r.Fail("the bitmap has no pixels");
    if (width * height > kMaxBitmapPixels || width > 65535 || height > 65535)
        r.Fail("the bitmap is too large");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        r.Fail("unsupported bits per pixel: " + std::to_string(bpp));
    if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32)))
        r.Fail("compressed bitmaps are not supported");

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const uint32_t maxColors = 1u << bpp;
        const uint32_t count = colorsUsed ? colorsUsed : maxColors;
        if (count > maxColors)
            r.Fail("the colour table is larger than the pixel depth allows");
        const size_t entry = core ? 3 : 4;
        r.Need(size_t(count) * entry, "colour table");
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* p = r.Here();
            palette.push_back(0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
            r.Skip(entry, "colour table");
        }
    }
    Mask red, green, blue;
    if (compression == 3) {
        red = Mask(masks[0]);
        green = Mask(masks[1]);
        blue = Mask(masks[2]);
    } else if (bpp == 16) {
        red = Mask(0x7C00);
        green = Mask(0x03E0);
        blue = Mask(0x001F);
    }

    const uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    r.Seek(offBits, "pixel offset");
    r.Need(size_t(stride * uint64_t(height)), "pixel rows");
    const uint8_t* bits = r.Here();

    TPixelBuffer out;
    out.Width = int(width);
    out.Height = int(height);
    out.Pixels.resize(size_t(width * height));
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* src = bits + stride * uint64_t(row);
        uint32_t* dst = out.Row(int(topDown ? row : height - 1 - row));
        for (int64_t x = 0; x < width; ++x) {
            uint32_t px = 0;
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const uint64_t bit = uint64_t(x) * bpp;
                const unsigned index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = index < palette.size() ? palette[index] : 0xFF000000u;
                break;
            }
            case 16: {
                const uint32_t v = uint32_t(src[x * 2]) | (uint32_t(src[x * 2 + 1]) << 8);
                px = 0xFF000000u | (red.Take(v) << 16) | (green.Take(v) << 8) | blue.Take(v);
                break;
            }
            case 24:
                px = 0xFF000000u | (uint32_t(src[x * 3 + 2]) << 16) | (uint32_t(src[x * 3 + 1]) << 8) | src[x * 3];
                break;
            case 32: {
                const uint32_t v = uint32_t(src[x * 4]) | (uint32_t(src[x * 4 + 1]) << 8) |
                                   (uint32_t(src[x * 4 + 2]) << 16) | (uint32_t(src[x * 4 + 3]) << 24);
                px = compression == 3 ? 0xFF000000u | (red.Take(v) << 16) | (green.Take(v) << 8) | blue.Take(v)
                                      : 0xFF000000u | (v & 0xFFFFFF);
                break;
            }
            }
            dst[x] = px;
        }
    }
    return out;
}

AnsiString EncodeBmp(const TPixelBuffer& pixels, int bitsPerPixel)
{
    const int bpp = bitsPerPixel == 32 ? 32 : 24;
    const uint32_t stride = ((uint32_t(pixels.Width) * bpp + 31) / 32) * 4;
    const uint32_t imageSize = stride * uint32_t(pixels.Height);
    AnsiString out;
    out.reserve(54 + imageSize);
    out += "BM";
    PutU32(out, 54 + imageSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, uint32_t(pixels.Width));
    PutU32(out, uint32_t(pixels.Height));
    PutU16(out, 1);
    PutU16(out, uint16_t(bpp));
    PutU32(out, 0);
    PutU32(out, imageSize);
    PutU32(out, 3780);  // 96 pixels per inch
    PutU32(out, 3780);
    PutU32(out, 0);
    PutU32(out, 0);
    for (int y = pixels.Height - 1; y >= 0; --y) {
        const uint32_t* row = pixels.Row(y);
        const size_t start = out.size();
        for (int x = 0; x < pixels.Width; ++x) {
            out.push_back(char(row[x] & 0xFF));
            out.push_back(char((row[x] >> 8) & 0xFF));
            out.push_back(char((row[x] >> 16) & 0xFF));
            if (bpp == 32)
                out.push_back(char((row[x] >> 24) & 0xFF));
        }
        out.append(stride - (out.size() - start), '\0');
    }
    return out;
}
