// Fuzz target: JPEG data as a picture would load it.
#include "platform/graphics/fuzz/GraphicsTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzJpeg(data, size);
    return 0;
}
