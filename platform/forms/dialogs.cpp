// Modal dialogs, MDI screens and tab pages.
#include "platform/forms/dialogs.h"

#include "platform/forms/frames.h"
#include "platform/forms/host.h"
#include "platform/forms/runtime.h"

PVDialog::PVDialog(HWND parent, const KVTFormDecl& form, void* buffer)
    : KVTScreen(parent, form, buffer) {}

int PVDialog::Execute() {
  if (!Create()) return -1;
  KVTForms& forms = KVTForms::Instance();
  running_ = true;
  endCode_ = IDCANCEL;
  forms.PushModal(this);
  forms.Backend().WindowOpened(this);
  PumpWaitingMessages();
  if (running_) forms.Backend().RunModal(this);
  if (running_) CloseWindow(IDCANCEL);  // the front end gave up
  forms.PopModal(this);
  forms.Backend().WindowClosed(this);
  DestroyHandle();
  return endCode_;
}

void PVDialog::CloseWindow(int code) {
  endCode_ = code;
  running_ = false;
  MarkClosing();
  Changed();  // a front end waiting in its modal loop learns it is over
}

PVMDIDialog::PVMDIDialog(HWND parent, const KVTFormDecl& form, void* buffer)
    : KVTScreen(parent, form, buffer) {}

PVmdiwinDlg* PVMDIDialog::Frame() const {
  return dynamic_cast<PVmdiwinDlg*>(KVTWindowObject::FromHandle(Parent()));
}

bool PVMDIDialog::Create() {
  if (Frame()) return KVTScreen::Create();
  HWND client = KVTFindMDIClient(Parent());
  if (!client || IsCreated()) return false;
  auto* frame = new PVmdiwinDlg(client, Caption(), this);
  frame->SetClassName(ClassName());
  if (!frame->Create()) {
    frame->ReleaseClient();
    delete frame;
    return false;
  }
  frame->Show(SW_SHOW);
  frame->SetFocus();
  return true;
}

void PVMDIDialog::CloseWindow(int code) {
  MarkClosing();
  if (PVmdiwinDlg* frame = Frame())
    frame->CloseWindow(code);
  else
    KVTScreen::CloseWindow(code);
}

KVTPropertyPage::KVTPropertyPage(HWND parent, const KVTFormDecl& form, void* buffer)
    : KVTScreen(parent, form, buffer) {}

void KVTPropertyPage::CloseWindow(int code) {
  MarkClosing();
  if (tabs_)
    tabs_->CloseWindow(code);
  else
    KVTScreen::CloseWindow(code);
}
