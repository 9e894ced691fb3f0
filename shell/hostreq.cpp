// The host module request (message 7000).
#include "shell/hostreq.h"

#include "platform/forms/forms.h"
#include "platform/win/hostwin.h"

HMODULE KVTHostModuleRequest(HWND from, const char* fileName) {
  HWND top = GetTopWindow(from);
  if (!top || !fileName) return nullptr;
  LRESULT r = SendMessage(top, KVT_MODULE_REQUEST, 0, reinterpret_cast<LPARAM>(fileName));
  return reinterpret_cast<HMODULE>(r);
}

int KVTLoadManagedForm(HWND hWnd, const char* assembly, const char* formType) {
  HMODULE m = KVTHostModuleRequest(hWnd, "kvtDN.dll");
  auto fn = m ? GetProc<int (*)(const char*, const char*, HWND)>(m, "LoadDotNetWindow") : nullptr;
  if (!fn) {
    MessageBox(hWnd, "Could not find function LoadDotNetWindow in KVTDN.DLL", "Error",
               MB_OK | MB_ICONSTOP);
    return 0;
  }
  fn(assembly, formType, hWnd);
  return 0;
}

int KVTLoadManagedFormWithData(HWND hWnd, const char* assembly, const char* formType,
                               const char* data) {
  HMODULE m = KVTHostModuleRequest(hWnd, "kvtDN.dll");
  auto fn = m ? GetProc<int (*)(const char*, const char*, HWND, const char*)>(
                    m, "LoadDotNetWindowWithData")
              : nullptr;
  if (!fn) {
    MessageBox(hWnd, "Could not find function LoadDotNetWindowWithData in KVTDN.DLL", "Error",
               MB_OK | MB_ICONSTOP);
    return 0;
  }
  fn(assembly, formType, hWnd, data ? data : "");
  return 0;
}

void KVTSignaturePad(HWND hWnd, const char* data) {
  KVTLoadManagedFormWithData(hWnd, "KVSignaturePad.DLL", "KVSignaturePad.CaptureSignature", data);
}

void KVTCallCStoreSibling(HWND hWnd, const char* entry) {
  HWND main = KVTReturnMDIWin();
  HWND from = main && main->mdiClient ? main->mdiClient : main;
  HMODULE m = KVTHostModuleRequest(from, "KVTCOM.DLL");
  if (!m) return;
  if (auto fn = GetProc<void (*)(HWND)>(m, entry))
    fn(hWnd);
  else
    MessageBox(hWnd, "Unknown function call.", "Abort", MB_OK | MB_ICONEXCLAMATION);
}
