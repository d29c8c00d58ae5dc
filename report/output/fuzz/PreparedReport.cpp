// libFuzzer entry for the prepared-report (.rpf) reader.
#include "report/output/fuzz/PreparedReportTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return rpFuzzPreparedReport(Data, Size); }
