// Importing one till's sales file from the host (DoKVTPOSImportSalesInformation):
// the options asked before a repeated import, and the import itself.
#pragma once

#include <string>

#include "platform/win/window.h"

// What a repeated import goes by; the options popup may change it.
struct KVTImportOptions {
  std::string store, tillRef, shift, date;  // date MM/DD/YYYY
  std::string trnST, trnPB, trnCST;         // the till's transfer targets ("T"/"F")
  std::string batch;
};

// Runs the re-transfer options popup over an import-sales screen; true when
// the operator chose to go on (the options may have changed).
bool KVTAskReimportOptions(HWND parent, KVTImportOptions* options);

// Imports the sales file; false with *error when it was not imported.
bool bDoKVTPOSImportSalesInformation(HWND parent, const std::string& fileName,
                                     const KVTImportOptions& options, bool reimport,
                                     std::string* error);
