// Import.h - the order-request files (.sklad) of the Korvel 3D programs.
//
// Layout (little-endian, no padding):
//
//   offset  size  field
//   0       4     Version        unsigned; only 0 is read
//   4       4     Magic          unsigned; 1985 (0x7C1)
//   8       4     Count          unsigned; number of records
//   12      100   Customer       text
//   112     100   DocumentNumber text
//   212     100   DueDate        text, a date (and time) in the locale's format
//   312     308 × Count records:
//                 0    100  Spare     text, not used
//                 100  100  ItemName  text
//                 200  4    Quantity  IEEE single
//                 204  100  UnitName  text
//                 304  4    Price     IEEE single
//
// Texts are CP1251, ended by the first zero byte or by the end of their 100 bytes.
//
// The file is outside data: ReadOrderRequest checks every length against the bytes it was
// given before it reads them, so a truncated or damaged file, or a Count that the file
// cannot hold, is refused with a message naming what is wrong and nothing is read past the
// end. Numbers that are not finite are refused too. The reader touches nothing but its
// output; writing the request is the caller's business, and only after a clean read.
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct OrderRequestRecord {
    AnsiString Spare;
    AnsiString ItemName;
    float Quantity = 0;
    AnsiString UnitName;
    float Price = 0;
};

struct OrderRequestFile {
    static constexpr uint32_t kMagic = 1985;
    static constexpr size_t kHeaderSize = 312;
    static constexpr size_t kRecordSize = 308;
    static constexpr size_t kTextSize = 100;
    // The most a request file is taken to hold; a bigger one is not an order request.
    static constexpr size_t kMaxFileSize = 64u << 20;

    uint32_t Version = 0;
    uint32_t Magic = 0;
    uint32_t Count = 0;
    AnsiString Customer;
    AnsiString DocumentNumber;
    AnsiString DueDate;
    TDateTime Due = 0;  // DueDate converted
    std::vector<OrderRequestRecord> Records;
};

enum class TImportStatus {
    Ok,
    Empty,          // Count is 0: nothing to import, nothing said
    BadVersion,     // "Версия не поддерживается"
    NotRequest,     // "Не поддерживаемый файл": wrong magic, or too short for one
    Damaged,        // a length, count, date or number the file cannot hold; Detail says which
};

struct TImportRead {
    TImportStatus Status = TImportStatus::NotRequest;
    AnsiString Detail;  // for Damaged: what was wrong, in the program's words
};

// A single-precision figure of the file as the decimal its writer meant: the shortest decimal
// text that reads back as this single, read as a double (0.1f is 0.1, not 0.100000001490116;
// 33.333f is 33.333). The quantities and prices of a file are taken by it, so no digit of
// single precision's binary noise reaches a line or a product.
double ExactFigure(float value);

// Reads a whole file's bytes. `fs` converts the due date.
TImportRead ReadOrderRequest(const uint8_t* data, size_t size, OrderRequestFile& out, const TFormatSettings& fs);
TImportRead ReadOrderRequest(const uint8_t* data, size_t size, OrderRequestFile& out);

// The bytes of a file; false when it cannot be read or is larger than kMaxFileSize.
bool ReadImportFile(const AnsiString& path, std::vector<uint8_t>& bytes);

// The message a refused read shows ("" for Ok and Empty).
AnsiString ImportStatusText(const TImportRead& read, const AnsiString& path);

// Writes a file of this format (for tests and the demo); Count is Records.size().
std::vector<uint8_t> WriteOrderRequest(const OrderRequestFile& file);
