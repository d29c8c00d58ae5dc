// ReportXML.cpp - libFuzzer entry for the report XML reader.
#include "report/model/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReportXML(data, size);
    return 0;
}
