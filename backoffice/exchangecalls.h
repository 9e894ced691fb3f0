// The transfer module's exchange events (KVTCTM.DLL through module events):
// initialise, check its version, then the event with its data string. Every
// failure comes back as the error text (the module's own, or "Error
// initializing CTM program module." / "Incorrect version of CTM
// (KVTCTM.DLL).") for the caller to show with its own caption.
#pragma once

#include <string>

#include "platform/win/window.h"

// One event; *result is the module's answer in Param2.
bool KVTCallTransferModule(HWND owner, const char* caption, const char* event,
                           const std::string& data, std::string* result, std::string* error);

// The exchange directory of a till.
bool bDoKVTPOSGetTransferDirectory(HWND owner, const std::string& store, const std::string& till,
                                   std::string* directory, std::string* error);
// Where imported files are kept.
bool bDoKVTPOSGetArchiveDirectory(HWND owner, std::string* directory, std::string* error);
// Writes the update files of a store and till (both empty: all of them).
bool bDoKVTPOSExportUpdateInformation(HWND owner, const std::string& store, const std::string& till,
                                      std::string* error);
// Reads one update file (an empty path: straight from the office database).
bool bDoKVTPOSImportUpdateInformation(HWND owner, const std::string& store, const std::string& till,
                                      const std::string& path, std::string* error);
