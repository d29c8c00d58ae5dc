// PreparedReportTarget.h - the .rpf reader as a fuzz target, shared by the libFuzzer
// program and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

int rpFuzzPreparedReport(const uint8_t* Data, size_t Size);
