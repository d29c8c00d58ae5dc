// Fuzz target: our metafile stream, loaded and played onto a bitmap.
#include "platform/graphics/fuzz/GraphicsTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzMetafile(data, size);
    return 0;
}
