// libFuzzer entry for the object-text (layout) reader.
#include "platform/classes/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzObjectText(data, size);
    return 0;
}
