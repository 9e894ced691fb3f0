// The transfer form of one till shift.
#include "shell/dotransfer.h"

#include <cstdint>

#include "shell/hostreq.h"

std::string KVTTransferFormData(HWND owner, const char* store, const char* till, const char* shift,
                                const char* date, const char* batch, const char* flag) {
  std::string data = std::to_string(static_cast<int>(reinterpret_cast<std::intptr_t>(owner)));
  for (const char* part : {store, till, shift, date, batch, flag}) {
    data += ',';
    data += part ? part : "";
  }
  return data;
}

int DoTransfer(HWND hWnd, const char* szStore, const char* szTillRef, const char* szShift,
               const char* szDate, const char* szBatch, const char* szFlag) {
  const std::string data =
      KVTTransferFormData(hWnd, szStore, szTillRef, szShift, szDate, szBatch, szFlag);
  return OpenDoTransfer(hWnd, data.c_str());
}

int OpenDoTransfer(HWND hWnd, const char* szData) {
  return KVTLoadManagedFormWithData(hWnd, "KVCTM.dll", "KVCTM.TransferPOS.Transfer", szData);
}
