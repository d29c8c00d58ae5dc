// Icon.cpp - reading and drawing icon files.
#include "platform/graphics/Icon.h"

#include "platform/rtl/SysUtils.h"

#include <cstring>

namespace {

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

[[noreturn]] void Fail(const std::string& what) { throw EInvalidGraphic("Invalid icon: " + what); }

void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xFF);
}

}  // namespace

TPixelBuffer DecodeIcon(const uint8_t* data, size_t size)
{
    if (size < 6)
        Fail("the header is cut off");
    if (U16(data) != 0 || U16(data + 2) != 1)
        Fail("not an icon file");
    const unsigned count = U16(data + 4);
    if (count == 0)
        Fail("the file holds no image");
    if (size < 6 + size_t(count) * 16)
        Fail("the image directory is cut off");
    // The largest image; the first of equal ones.
    const uint8_t* best = nullptr;
    unsigned bestArea = 0;
    for (unsigned i = 0; i < count; ++i) {
        const uint8_t* e = data + 6 + size_t(i) * 16;
        const unsigned w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        if (!best || w * h > bestArea) {
            best = e;
            bestArea = w * h;
        }
    }
    const uint32_t length = U32(best + 8), offset = U32(best + 12);
    if (offset > size || length > size - offset)
        Fail("an image lies outside the file");
    const uint8_t* dib = data + offset;
    if (length >= 8 && std::memcmp(dib, "\x89PNG", 4) == 0)
        Fail("PNG-compressed images are not supported");
    if (length < 40)
        Fail("the image header is cut off");
    const uint32_t infoSize = U32(dib);
    if (infoSize < 40 || infoSize > length)
        Fail("the image header is damaged");
    const int32_t width = int32_t(U32(dib + 4));
    const int32_t doubled = int32_t(U32(dib + 8));
    const unsigned bpp = U16(dib + 14);
    const uint32_t colorsUsed = U32(dib + 32);
    if (width <= 0 || width > 1024 || doubled <= 0 || doubled > 2048)
        Fail("the image size is out of range");
    const int32_t height = doubled / 2;
    if (height <= 0)
        Fail("the image has no rows");
    const uint32_t paletteCount = bpp <= 8 ? (colorsUsed ? colorsUsed : (1u << bpp)) : 0;
    if (bpp <= 8 && paletteCount > (1u << bpp))
        Fail("the colour table is larger than the pixel depth allows");
    const uint64_t colorStride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    const uint64_t maskStride = ((uint64_t(width) + 31) / 32) * 4;
    const uint64_t pixelsAt = uint64_t(infoSize) + uint64_t(paletteCount) * 4;
    const uint64_t maskAt = pixelsAt + colorStride * uint64_t(height);
    if (maskAt > length)
        Fail("the pixels are cut off");
    const bool hasMask = maskAt + maskStride * uint64_t(height) <= length;

    // The colour part as a bitmap file of the real height.
    std::string bmp = "BM";
    Put32(bmp, uint32_t(14 + maskAt));
    Put32(bmp, 0);
    Put32(bmp, uint32_t(14 + pixelsAt));
    bmp.append(reinterpret_cast<const char*>(dib), size_t(maskAt));
    uint8_t* info = reinterpret_cast<uint8_t*>(bmp.data()) + 14;
    const uint32_t h = uint32_t(height);
    std::memcpy(info + 8, &h, 4);  // little-endian host
    info[16] = info[17] = info[18] = info[19] = 0;  // uncompressed
    TPixelBuffer pixels = DecodeBmp(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size());

    bool alpha = false;
    if (bpp == 32) {
        for (int32_t row = 0; row < height && !alpha; ++row)
            for (int32_t x = 0; x < width; ++x)
                if (dib[pixelsAt + colorStride * uint64_t(row) + uint64_t(x) * 4 + 3] != 0) {
                    alpha = true;
                    break;
                }
    }
    for (int32_t row = 0; row < height; ++row) {
        uint32_t* dst = pixels.Row(height - 1 - row);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t a = 0xFF;
            if (alpha)
                a = dib[pixelsAt + colorStride * uint64_t(row) + uint64_t(x) * 4 + 3];
            else if (hasMask && (dib[maskAt + maskStride * uint64_t(row) + uint64_t(x) / 8] & (0x80 >> (x % 8))))
                a = 0;
            dst[x] = (dst[x] & 0x00FFFFFFu) | (a << 24);
        }
    }
    return pixels;
}

SKLAD_DEFINE_CLASS(TIcon)
void TIcon::Publish(TPropertyTable&) {}

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect)
{
    // Drawn through its mask, as the platform draws icons.
    if (!Empty())
        canvas.DrawPixelsAlpha(rect, FPixels);
}

void TIcon::LoadFromStream(TStream& stream)
{
    const int64_t left = stream.GetSize() - stream.GetPosition();
    if (left < 0 || left > 64ll * 1024 * 1024)
        throw EInvalidGraphic("Invalid icon: the data is too large");
    AnsiString data(size_t(left), '\0');
    if (left > 0)
        stream.ReadBuffer(data.data(), left);
    TPixelBuffer pixels = DecodeIcon(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    FData = std::move(data);
    FPixels = std::move(pixels);
    Changed();
}

void TIcon::SaveToStream(TStream& stream)
{
    if (!FData.empty())
        stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TIcon::Assign(TPersistent* source)
{
    if (auto* icon = dynamic_cast<TIcon*>(source)) {
        FData = icon->FData;
        FPixels = icon->FPixels;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}
