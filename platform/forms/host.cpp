// The host window with its MDI client, and MDI child look-up.
#include "platform/forms/host.h"

#include "platform/forms/frames.h"
#include "platform/forms/runtime.h"

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

int GetSystemMetrics(int index) {
  KVTRect desk = KVTForms::Instance().Backend().ScreenRect();
  return index == SM_CXSCREEN ? desk.w : index == SM_CYSCREEN ? desk.h : 0;
}

void CenterDialog(HWND hwnd) {
  KVTWindowObject* w = KVTWindowObject::FromHandle(hwnd);
  if (!w) return;
  KVTRect desk = KVTForms::Instance().Backend().ScreenRect();
  KVTRect r = w->GetWindowRect();
  w->MoveWindow(desk.x + (desk.w - r.w) / 2, desk.y + (desk.h - r.h) / 2, r.w, r.h);
}
