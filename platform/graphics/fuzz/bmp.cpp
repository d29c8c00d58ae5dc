// Fuzz target: BMP files.
#include "platform/classes/Streams.h"
#include "platform/graphics/Graphic.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TStringStream s(AnsiString(reinterpret_cast<const char*>(data), size));
    try {
        TBitmap b;
        b.LoadFromStream(s);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
