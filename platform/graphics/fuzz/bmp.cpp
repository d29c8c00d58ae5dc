// Fuzz target: BMP files.
#include "platform/graphics/fuzz/GraphicsTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzBmp(data, size);
    return 0;
}
