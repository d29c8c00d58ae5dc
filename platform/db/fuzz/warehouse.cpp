// libFuzzer target: arbitrary bytes opened as a warehouse file.
#include "platform/db/fuzz/WarehouseFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzWarehouseFile(data, size); }
