// The transfer form of the suite's transfer module for one till shift, as
// the till's close-with-transfer opens it: the data text it gets and the
// two exports that open it through the managed-window loader.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/win/window.h"

// "%i" of the owner's handle, then the store, till, shift, date
// (MM/DD/YYYY), batch and flag, each after a ",". Null texts read as empty.
std::string KVTTransferFormData(HWND owner, const char* store, const char* till, const char* shift,
                                const char* date, const char* batch, const char* flag);

// Opens "KVCTM.TransferPOS.Transfer" for the group with the data text above.
KVT_EXTERN_C int DoTransfer(HWND hWnd, const char* szStore, const char* szTillRef,
                            const char* szShift, const char* szDate, const char* szBatch,
                            const char* szFlag);
// Opens "KVCTM.TransferPOS.Transfer" ("KVCTM.dll") with `szData`; a
// missing loader or entry is said in a box. Returns 0.
KVT_EXTERN_C int OpenDoTransfer(HWND hWnd, const char* szData);
