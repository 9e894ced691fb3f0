// The runtime singleton: backend, modal dialogs, frames, input routing.
#include "platform/forms/runtime.h"

#include <algorithm>
#include <cctype>

#include "platform/forms/dialogs.h"
#include "platform/forms/frames.h"
#include "platform/forms/msgbox.h"

KVTFormsBackend::~KVTFormsBackend() = default;

namespace {

// No front end: nobody to ask, so every question gets its default answer
// and a dialog ends at once.
class NoUser : public KVTFormsBackend {
 public:
  void RunModal(PVDialog* dialog) override { dialog->CloseWindow(IDCANCEL); }
  int ShowMessageBox(HWND, const std::string&, const std::string&, UINT flags) override {
    return MessageBoxDefault(flags);
  }
};

}  // namespace

KVTForms::KVTForms() : fallback_(new NoUser) {}

KVTForms& KVTForms::Instance() {
  static KVTForms* forms = new KVTForms;  // lives to the end of the process
  return *forms;
}

void KVTForms::SetBackend(KVTFormsBackend* backend) {
  backend_ = backend;
}

KVTFormsBackend& KVTForms::Backend() {
  return backend_ ? *backend_ : *fallback_;
}

PVmdiwinDlg* KVTForms::ActiveFrame() const {
  for (PVmdiwinDlg* f : frames_)
    if (f->IsVisible()) return f;
  return nullptr;
}

std::vector<PVmdiwinDlg*> KVTForms::Frames() const {
  return frames_;
}

KVTScreen* KVTForms::ActiveScreen() {
  if (!modal_.empty()) return modal_.back();
  PVmdiwinDlg* frame = ActiveFrame();
  return frame ? frame->ActiveScreen() : nullptr;
}

KVTWindowObject* KVTForms::ActiveWindow() {
  if (!modal_.empty()) return modal_.back();
  return ActiveFrame();
}

namespace {
Tbacktab* TabsOf(KVTScreen* screen) {
  auto* page = dynamic_cast<KVTPropertyPage*>(screen);
  return page ? page->TabWindow() : nullptr;
}

// The tab whose title marks `c` with "&", or KVT_NONE.
int MarkedTab(const Tbacktab& tabs, char c) {
  for (int i = 0; i < tabs.GetTabCount(); ++i)
    if (KVTMnemonic(tabs.GetTabTitle(i)) == c) return i;
  return KVT_NONE;
}
}  // namespace

bool KVTForms::Key(const KVTKey& key) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool used;
  {
    Busy busy;
    used = screen->UserKey(key);
    Tbacktab* tabs = TabsOf(screen);
    if (!used && key.vk == VK_TAB && key.ctrl && !key.alt && tabs) used = tabs->SelectNextTab();
    if (!used && key.alt && !key.ctrl && key.vk < 0x80 && std::isalnum(static_cast<int>(key.vk)) &&
        !screen->IsClosing() && screen->IsWindowEnabled()) {
      char c = static_cast<char>(key.vk);
      if (int id = screen->FindMnemonic(c))
        used = screen->UserClick(id);
      else if (int tab = tabs ? MarkedTab(*tabs, c) : KVT_NONE; tab != KVT_NONE)
        used = tabs->SelectTab(tab);
    }
  }
  Idle();
  return used;
}

bool KVTForms::SelectTab(Tbacktab* tabs, int index) {
  PVmdiwinDlg* frame = tabs ? tabs->Frame() : nullptr;
  if (!modal_.empty() || !frame || frame != ActiveFrame() || !frame->IsWindowEnabled())
    return false;
  bool ok;
  {
    Busy busy;
    ok = index != tabs->GetSelectedTab() ? tabs->SelectTab(index) : tabs->IsTabEnabled(index);
  }
  Idle();
  return ok;
}

bool KVTForms::Cancel(KVTWindowObject* window) {
  KVTScreen* screen = nullptr;
  if (auto* dialog = dynamic_cast<PVDialog*>(window)) {
    if (modal_.empty() || modal_.back() != dialog) return false;
    screen = dialog;
  } else if (auto* frame = dynamic_cast<PVmdiwinDlg*>(window)) {
    if (!modal_.empty() || frame->IsClosing()) return false;
    screen = frame->ActiveScreen();
  }
  if (!screen || screen->IsClosing() || !screen->IsCreated() || !screen->IsWindowEnabled())
    return false;
  {
    Busy busy;
    kvt::forms_detail::SetKeyModifiers(false, false, false);
    kvt::forms_detail::SetLastMessageWasKey(false);
    screen->SendMessage(WM_COMMAND, IDCANCEL);
  }
  Idle();
  return true;
}

bool KVTForms::Type(const std::string& text) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserType(text);
  Idle();
  return ok;
}

bool KVTForms::Click(int id) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserClick(id);
  Idle();
  return ok;
}

bool KVTForms::ClickButton(const std::string& caption) {
  KVTScreen* screen = ActiveScreen();
  int id = screen ? screen->FindButton(caption) : 0;
  return id != 0 && Click(id);
}

bool KVTForms::SelectItem(int id, int index) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserSelectItem(id, index);
  Idle();
  return ok;
}

bool KVTForms::ClickRow(int gridId, int row) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserClickRow(gridId, row);
  Idle();
  return ok;
}

bool KVTForms::DoubleClickRow(int gridId, int row) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserDoubleClickRow(gridId, row);
  Idle();
  return ok;
}

bool KVTForms::Draw(int id, const std::string& stroke) {
  KVTScreen* screen = ActiveScreen();
  if (!screen) return false;
  bool ok = screen->UserDraw(id, stroke);
  Idle();
  return ok;
}

void KVTForms::Idle() {
  PumpWaitingMessages();
  if (busy_ == 0) Flush();
}

void KVTForms::CloseAll() {
  for (PVDialog* d : std::vector<PVDialog*>(modal_)) d->CloseWindow(IDCANCEL);
  for (PVmdiwinDlg* f : std::vector<PVmdiwinDlg*>(frames_)) f->CloseWindow(IDCANCEL);
  if (busy_ == 0) Flush();
}

int KVTForms::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                             UINT flags) {
  Busy busy;
  return Backend().ShowMessageBox(owner, text, caption, flags);
}

void KVTForms::Beep() {
  Backend().Beep();
}

void KVTForms::Changed(KVTWindowObject* window) {
  if (window) Backend().Changed(window);
}

KVTForms::Busy::Busy() {
  ++KVTForms::Instance().busy_;
}

KVTForms::Busy::~Busy() {
  KVTForms& f = KVTForms::Instance();
  if (--f.busy_ == 0) f.Flush();
}

void KVTForms::PushModal(PVDialog* dialog) {
  modal_.push_back(dialog);
}

void KVTForms::PopModal(PVDialog* dialog) {
  modal_.erase(std::remove(modal_.begin(), modal_.end(), dialog), modal_.end());
}

void KVTForms::AddFrame(PVmdiwinDlg* frame) {
  frames_.insert(frames_.begin(), frame);
}

void KVTForms::ActivateFrame(PVmdiwinDlg* frame) {
  auto it = std::find(frames_.begin(), frames_.end(), frame);
  if (it == frames_.end()) return;
  frames_.erase(it);
  frames_.insert(frames_.begin(), frame);
  Backend().Changed(frame);
}

void KVTForms::RemoveFrame(PVmdiwinDlg* frame) {
  auto it = std::find(frames_.begin(), frames_.end(), frame);
  if (it == frames_.end()) return;
  frames_.erase(it);
  closed_.push_back(frame);
  Backend().WindowClosed(frame);
}

void KVTForms::Flush() {
  if (flushing_) return;
  flushing_ = true;
  while (!closed_.empty()) {
    PVmdiwinDlg* f = closed_.back();
    closed_.pop_back();
    delete f;
  }
  flushing_ = false;
}

namespace {
int g_waiting = 0;
}

KVTWaitCursor::KVTWaitCursor() {
  if (g_waiting++ == 0) KVTForms::Instance().Backend().SetBusy(true);
}

KVTWaitCursor::~KVTWaitCursor() {
  if (--g_waiting == 0) KVTForms::Instance().Backend().SetBusy(false);
}
