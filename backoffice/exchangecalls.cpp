#include "backoffice/exchangecalls.h"

#include "backoffice/exchange.h"
#include "shell/kvtintob.h"

bool KVTCallTransferModule(HWND owner, const char* caption, const char* event,
                           const std::string& data, std::string* result, std::string* error) {
  error->clear();
  result->clear();
  KVTModuleInterface ctm;
  ctm.SetOwner(owner);
  ctm.SetClass(caption);
  ctm.AddModule("KVTCTM.DLL");
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.CallEvent("KVTInitializeEvent");
  if (ctm.Error()) {
    *error = "Error initializing CTM program module.";
    return false;
  }
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.CallEvent("QueryVersion");
  if (ctm.Error() || ctm.iParam1 < 1) {
    *error = "Incorrect version of CTM (KVTCTM.DLL).";
    return false;
  }
  ctm.Reset();
  ctm.hWnd = owner;
  ctm.Param1 = data;
  ctm.CallEvent(event);
  if (ctm.Error()) {
    *error = ctm.GetErrorString();
    if (error->empty()) *error = std::string("The transfer module could not run ") + event + ".";
    return false;
  }
  *result = ctm.Param2;
  return true;
}

bool bDoKVTPOSGetTransferDirectory(HWND owner, const std::string& store, const std::string& till,
                                   std::string* directory, std::string* error) {
  return KVTCallTransferModule(owner, "KVT POS Export Update", "DoKVTPOSGetCompressionDirectory",
                               KVTExchange::TillData(store, till), directory, error);
}

bool bDoKVTPOSGetArchiveDirectory(HWND owner, std::string* directory, std::string* error) {
  return KVTCallTransferModule(owner, "KVT POS Export Update", "DoKVTPOSGetArchiveDirectory", "",
                               directory, error);
}

bool bDoKVTPOSExportUpdateInformation(HWND owner, const std::string& store, const std::string& till,
                                      std::string* error) {
  std::string result;
  return KVTCallTransferModule(owner, "KVT POS Export Update", "DoKVTPOSCreateUpdate",
                               KVTExchange::TillData(store, till), &result, error);
}

bool bDoKVTPOSImportUpdateInformation(HWND owner, const std::string& store, const std::string& till,
                                      const std::string& path, std::string* error) {
  std::string result;
  return KVTCallTransferModule(owner, "KVT POS Import Update", "DoKVTPOSUpdateFromUpload",
                               KVTExchange::TillData(store, till) + "03=" + path + "\t", &result,
                               error);
}
