// StyleFile.cpp - libFuzzer entry: style files and style sheets.
#include "report/model/fuzz/ClassesTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzStyleFile(data, size);
    return 0;
}
