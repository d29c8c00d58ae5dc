// ReportTemplate.cpp - libFuzzer entry: templates read into real report classes and drawn.
#include "report/model/fuzz/ClassesTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReportTemplate(data, size);
    return 0;
}
