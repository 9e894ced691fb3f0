// The host module request (message 7000).
#include "shell/hostreq.h"

HMODULE KVTHostModuleRequest(HWND from, const char* fileName) {
  HWND top = GetTopWindow(from);
  if (!top || !fileName) return nullptr;
  LRESULT r = SendMessage(top, KVT_MODULE_REQUEST, 0, reinterpret_cast<LPARAM>(fileName));
  return reinterpret_cast<HMODULE>(r);
}
