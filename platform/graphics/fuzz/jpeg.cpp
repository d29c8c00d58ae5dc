// Fuzz target: JPEG data as a picture would load it.
#include "platform/classes/Streams.h"
#include "platform/graphics/Jpeg.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TStringStream s(AnsiString(reinterpret_cast<const char*>(data), size));
    try {
        TJPEGImage image;
        image.SetGrayscale(size > 0 && (data[size - 1] & 1));
        image.LoadFromStream(s);
        TBitmap b;
        b.Assign(&image);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
