// Tab windows and MDI child frames.
#include "platform/forms/frames.h"

#include "platform/forms/runtime.h"

Tbacktab::Tbacktab(HWND parent) : KVTWindowObject(parent, "Tbacktab", "") {}

Tbacktab::~Tbacktab() = default;

int Tbacktab::AddTab(const std::string& title, KVTPropertyPage* page) {
  page->tabs_ = this;
  tabs_.push_back({title, std::unique_ptr<KVTPropertyPage>(page), true});
  if (IsCreated()) {
    page->SetParent(Handle());
    page->Show(SW_HIDE);
    page->Create();
    if (selected_ == KVT_NONE) SelectTab(GetTabCount() - 1);
  }
  Changed();
  return GetTabCount() - 1;
}

KVTPropertyPage* Tbacktab::GetPage(int index) const {
  return index >= 0 && index < GetTabCount() ? tabs_[static_cast<std::size_t>(index)].page.get()
                                             : nullptr;
}

std::string Tbacktab::GetTabTitle(int index) const {
  return index >= 0 && index < GetTabCount() ? tabs_[static_cast<std::size_t>(index)].title : "";
}

int Tbacktab::IndexOf(const KVTPropertyPage* page) const {
  for (int i = 0; i < GetTabCount(); ++i)
    if (tabs_[static_cast<std::size_t>(i)].page.get() == page) return i;
  return KVT_NONE;
}

bool Tbacktab::SelectTab(int index) {
  if (!IsTabEnabled(index)) return false;
  if (KVTPropertyPage* old = SelectedPage(); old && selected_ != index) old->Show(SW_HIDE);
  selected_ = index;
  KVTPropertyPage* page = GetPage(index);
  page->Show(SW_SHOW);
  Changed();
  KVTForms::Busy busy;
  page->PageSelected();
  return true;
}

void Tbacktab::EnableTab(int index, bool enable) {
  if (index < 0 || index >= GetTabCount()) return;
  tabs_[static_cast<std::size_t>(index)].enabled = enable;
  Changed();
}

bool Tbacktab::IsTabEnabled(int index) const {
  return index >= 0 && index < GetTabCount() && tabs_[static_cast<std::size_t>(index)].enabled;
}

bool Tbacktab::SelectNextTab() {
  int n = GetTabCount();
  for (int k = 1; k < n; ++k) {
    int i = (selected_ + k) % n;
    if (IsTabEnabled(i)) return SelectTab(i);
  }
  return false;
}

bool Tbacktab::Create() {
  if (!KVTWindowObject::Create()) return false;
  for (Tab& t : tabs_) {
    t.page->SetParent(Handle());
    t.page->Show(SW_HIDE);
    t.page->Create();
  }
  for (int i = 0; i < GetTabCount(); ++i)
    if (IsTabEnabled(i)) {
      SelectTab(i);
      break;
    }
  return true;
}

PVmdiwinDlg* Tbacktab::Frame() const {
  return dynamic_cast<PVmdiwinDlg*>(KVTWindowObject::FromHandle(Parent()));
}

void Tbacktab::EvCommand(UINT id) {
  if (KVTPropertyPage* page = SelectedPage()) page->SendMessage(WM_COMMAND, id);
}

void Tbacktab::CloseWindow(int code) {
  if (PVmdiwinDlg* frame = Frame())
    frame->CloseWindow(code);
  else
    DestroyHandle();
}

PVmdiwinDlg::PVmdiwinDlg(HWND mdiClient, const std::string& title, KVTWindowObject* client)
    : KVTWindowObject(mdiClient, "PVmdiwinDlg", title), client_(client) {}

PVmdiwinDlg::~PVmdiwinDlg() {
  client_.reset();
}

bool PVmdiwinDlg::Create() {
  if (IsCreated() || !IsWindow(Parent())) return false;
  Show(SW_HIDE);
  if (!KVTWindowObject::Create()) return false;
  KVTForms::Instance().AddFrame(this);
  registered_ = true;
  if (client_) {
    client_->SetParent(Handle());
    client_->Create();
  }
  KVTForms::Instance().Backend().WindowOpened(this);
  return true;
}

KVTScreen* PVmdiwinDlg::ActiveScreen() const {
  if (auto* tabs = dynamic_cast<Tbacktab*>(client_.get())) return tabs->SelectedPage();
  return dynamic_cast<KVTScreen*>(client_.get());
}

void PVmdiwinDlg::EvCommand(UINT id) {
  if (client_ && !closing_) client_->SendMessage(WM_COMMAND, id);
}

void PVmdiwinDlg::SetFocus() {
  if (registered_ && !closing_) KVTForms::Instance().ActivateFrame(this);
}

void PVmdiwinDlg::CloseWindow(int) {
  if (closing_) return;
  closing_ = true;
  Show(SW_HIDE);
  if (registered_) KVTForms::Instance().RemoveFrame(this);
}

void PVmdiwinDlg::WindowDestroyed() {
  // Destroyed with the host's MDI client: the runtime lets go of it.
  if (!closing_) CloseWindow(IDCANCEL);
}
