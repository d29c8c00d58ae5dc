// DrawText.cpp - libFuzzer entry for the text layout and its mark-up tags.
#include "report/model/fuzz/DrawTextTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzDrawText(data, size);
    return 0;
}
