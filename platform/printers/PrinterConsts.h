// PrinterConsts.h - the printing layer's messages, in one table.
#pragma once

namespace printer_msg {
inline constexpr const char* kNoDefaultPrinter = "There is no default printer currently selected";
inline constexpr const char* kNotPrinting = "Printer is not currently printing";
inline constexpr const char* kPrinting = "Printing in progress";
inline constexpr const char* kInvalidPrinter = "Printer selected is not valid";
inline constexpr const char* kPrinterIndexError = "Printer index out of range";
inline constexpr const char* kNoRawDocuments = "This printer does not accept raw documents";
inline constexpr const char* kNoOutputFile = "A PDF document needs the name of its file";
}  // namespace printer_msg
