// Window objects over platform windows.
#include "platform/forms/winobj.h"

#include "platform/forms/runtime.h"

KVTWindowObject::KVTWindowObject(HWND parent, std::string className, std::string title)
    : parent_(parent), className_(std::move(className)), title_(std::move(title)) {}

KVTWindowObject::~KVTWindowObject() {
  if (IsWindow(hwnd_)) {
    hwnd_->proc = nullptr;  // this object is going: no more messages for it
    hwnd_->userData = nullptr;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(h);
  }
}

KVTWindowObject* KVTWindowObject::FromHandle(HWND hwnd) {
  if (!IsWindow(hwnd) || !hwnd->proc) return nullptr;
  return static_cast<KVTWindowObject*>(hwnd->userData);
}

bool KVTWindowObject::Create() {
  if (hwnd_) return false;
  hwnd_ = CreateKVTWindow(className_, title_, parent_,
                          [this](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                            KVTForms::Busy busy;
                            if (msg == WM_DESTROY) {
                              hwnd_ = nullptr;
                              WindowDestroyed();
                              return 0;
                            }
                            return WindowProc(msg, w, l);
                          });
  hwnd_->userData = this;
  hwnd_->visible = visible_;
  {
    KVTForms::Busy busy;
    SetupWindow();
  }
  return true;
}

void KVTWindowObject::DestroyHandle() {
  if (!IsWindow(hwnd_)) {
    hwnd_ = nullptr;
    return;
  }
  DestroyWindow(hwnd_);  // its WM_DESTROY clears hwnd_
  hwnd_ = nullptr;
}

void KVTWindowObject::SetClassName(const std::string& name) {
  className_ = name;
  if (IsWindow(hwnd_)) hwnd_->className = name;
}

void KVTWindowObject::SetCaption(const std::string& title) {
  title_ = title;
  if (IsWindow(hwnd_)) SetWindowText(hwnd_, title);
  Changed();
}

void KVTWindowObject::Show(int cmd) {
  visible_ = cmd != SW_HIDE;
  if (cmd == SW_SHOWMINIMIZED || cmd == SW_MINIMIZE) minimized_ = true;
  if (cmd == SW_SHOWMAXIMIZED) {
    maximized_ = true;
    minimized_ = false;
  }
  if (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) minimized_ = maximized_ = false;
  if (IsWindow(hwnd_)) hwnd_->visible = visible_;
  Changed();
}

void KVTWindowObject::MoveWindow(int x, int y, int w, int h) {
  rect_ = {x, y, w, h};
  Changed();
}

void KVTWindowObject::EnableWindow(bool enable) {
  enabled_ = enable;
  Changed();
}

bool KVTWindowObject::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(hwnd_, msg, wParam, lParam);
}

LRESULT KVTWindowObject::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(hwnd_, msg, wParam, lParam);
}

LRESULT KVTWindowObject::WindowProc(UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND) EvCommand(static_cast<UINT>(wParam & 0xFFFF));
  return 0;
}

void KVTWindowObject::Changed() {
  KVTForms::Instance().Changed(this);
}
