// Printers: the printer selection record the module hands to the report
// module, the printers of the computer (the CUPS destinations) and print
// jobs sent to one of them through libcups.
//
// A test may capture jobs instead of sending them (KVTSetPrintCapture); the
// capture is process-wide, so a report module loaded in the same process
// prints into it too. Nothing throws; failures come back as false with the
// system's text.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"

// The printer selection record: a fixed binary layout of 591 bytes, little-
// endian, passed by pointer to the report module's entry points.
#pragma pack(push, 1)
struct KVT_PRINTER_SELECT {
  std::int16_t version;
  std::int16_t lpi;  // lines per inch
  std::int16_t copies;
  std::int16_t collate;
  std::int16_t spool;
  std::int16_t orientation;
  std::int16_t text_mode;  // 1: the printer takes control codes
  std::int32_t style;
  char destination[255];  // "View Window" or the printer's name
  std::int32_t iuser1;
  std::int32_t iuser2;
  char user1[100];
  char user2[100];
  char format[110];
};
#pragma pack(pop)
static_assert(sizeof(KVT_PRINTER_SELECT) == 591, "the report module reads 591 bytes");
static_assert(std::endian::native == std::endian::little, "the record is little-endian");

inline constexpr const char* KVT_VIEW_WINDOW = "View Window";

// A fresh record: version 1, 6 lines per inch, 1 copy, destination "View
// Window", everything else 0 or empty.
KVT_EXPORT KVT_PRINTER_SELECT KVTNewPrinterSelect();

// The printers of this computer by name, in the order the system gives them.
// False with the system's text when it cannot list them.
KVT_EXPORT bool KVTListPrinters(std::vector<std::string>* names, std::string* error);

// One print job.
struct KVTPrintJob {
  std::string printer;  // the destination's name
  std::string title;
  // "application/vnd.cups-raw" (bytes for the printer as they are, control
  // codes included), "text/plain" or "application/pdf".
  std::string format;
  std::string data;
};

// Sends the job to its printer; the capture takes it instead when one is set.
// False with the system's text (or the capture's) when it was not accepted.
KVT_EXPORT bool KVTPrint(const KVTPrintJob& job, std::string* error);

// Jobs go to `capture` instead of a printer while it is set (empty: to the
// printers again). Its answer is KVTPrint's.
using KVTPrintCapture = std::function<bool(const KVTPrintJob&, std::string* error)>;
KVT_EXPORT void KVTSetPrintCapture(KVTPrintCapture capture);
