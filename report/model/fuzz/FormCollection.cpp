// FormCollection.cpp - libFuzzer entry for form-resource collections.
#include "report/model/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFormCollection(data, size);
    return 0;
}
