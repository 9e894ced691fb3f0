// The sales import of this version: importing till files is not part of it
// yet, so a request to import is answered as a failed import, and a repeated
// import is not started.
#include "shell/imports.h"

bool KVTAskReimportOptions(HWND, KVTImportOptions*) {
  return false;
}

bool bDoKVTPOSImportSalesInformation(HWND, const std::string& fileName, const KVTImportOptions&,
                                     bool, std::string* error) {
  *error = "Importing sales files is not available in this version (" + fileName + ").";
  return false;
}
