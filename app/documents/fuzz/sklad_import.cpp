// sklad_import.cpp - fuzz target of the order-request (.sklad) reader.
//
// Any bytes: the reader returns a status and never reads outside them. A clean read must
// hold exactly Count records and fit the file.
#include "app/documents/Import.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    OrderRequestFile file;
    const TImportRead read = ReadOrderRequest(data, size, file);
    if (read.Status == TImportStatus::Ok) {
        if (file.Records.size() != file.Count ||
            OrderRequestFile::kHeaderSize + size_t(file.Count) * OrderRequestFile::kRecordSize > size)
            std::abort();
        for (const OrderRequestRecord& r : file.Records)
            if (r.ItemName.size() > OrderRequestFile::kTextSize || r.UnitName.size() > OrderRequestFile::kTextSize)
                std::abort();
    }
    return 0;
}
