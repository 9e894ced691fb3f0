// The host window with its MDI client, and MDI child look-up.
#include "platform/forms/host.h"

#include "platform/forms/frames.h"

HWND KVTCreateMDIHost(const std::string& title, WNDPROC proc) {
  HWND host = CreateKVTWindow("KVTHost", title, nullptr, std::move(proc));
  host->mdiClient = CreateKVTWindow("MDIClient", "", host);
  return host;
}

HWND KVTFindMDIClient(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  if (hwnd->className == "MDIClient") return hwnd;
  HWND top = GetTopWindow(hwnd);
  return IsWindow(top->mdiClient) ? top->mdiClient : nullptr;
}

bool KVTActivateMDIChild(HWND mdiClient, const std::string& className) {
  const std::string want = className.substr(0, 25);
  for (HWND child : GetChildWindows(mdiClient)) {
    if (child->className.substr(0, 25) != want) continue;
    auto* frame = dynamic_cast<PVmdiwinDlg*>(KVTWindowObject::FromHandle(child));
    if (!frame || frame->IsClosing()) continue;
    if (frame->IsIconic()) frame->Show(SW_RESTORE);
    frame->SetFocus();
    frame->BringToTop();
    return true;
  }
  return false;
}
