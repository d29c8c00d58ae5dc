// libFuzzer entry for the binary component-stream reader.
#include "platform/classes/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzComponentStream(data, size);
    return 0;
}
