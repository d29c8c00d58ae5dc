// Fuzz target: our metafile stream, loaded and played onto a bitmap.
#include "platform/classes/Streams.h"
#include "platform/graphics/Metafile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TStringStream s(AnsiString(reinterpret_cast<const char*>(data), size));
    try {
        TMetafile m;
        m.LoadFromStream(s);
        TBitmap b;
        b.SetSize(64, 64);
        b.GetCanvas()->StretchDraw(Rect(0, 0, 64, 64), &m);
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
