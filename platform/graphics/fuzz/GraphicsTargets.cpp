#include "platform/graphics/fuzz/GraphicsTargets.h"

#include "platform/classes/Streams.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"

namespace {

AnsiString Bytes(const uint8_t* data, size_t size) { return AnsiString(reinterpret_cast<const char*>(data), size); }

}  // namespace

void FuzzJpeg(const uint8_t* data, size_t size)
{
    TStringStream s(Bytes(data, size));
    try {
        TJPEGImage image;
        image.SetGrayscale(size > 0 && (data[size - 1] & 1));
        image.LoadFromStream(s);
        TBitmap b;
        b.Assign(&image);
    } catch (const EInvalidGraphic&) {
    }
}

void FuzzBmp(const uint8_t* data, size_t size)
{
    TStringStream s(Bytes(data, size));
    try {
        TBitmap b;
        b.LoadFromStream(s);
    } catch (const EInvalidGraphic&) {
    }
}

void FuzzMetafile(const uint8_t* data, size_t size)
{
    TStringStream s(Bytes(data, size));
    try {
        TMetafile m;
        m.LoadFromStream(s);
        TBitmap b;
        b.SetSize(64, 64);
        b.GetCanvas()->StretchDraw(Rect(0, 0, 64, 64), &m);
    } catch (const EInvalidGraphic&) {
    }
}
