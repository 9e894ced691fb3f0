// The host's main window, as known to the modules of the process.
#include "platform/win/hostwin.h"

#include <atomic>

namespace {
std::atomic<HWND> g_mdiWin{nullptr};
}

void KVTSetMDIWin(HWND mainWindow) {
  g_mdiWin = mainWindow;
}

HWND KVTReturnMDIWin() {
  HWND w = g_mdiWin.load();
  return IsWindow(w) ? w : nullptr;
}
