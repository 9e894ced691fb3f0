// The headless host shell.
#include "suite/host/host.h"

#include <cctype>
#include <cstring>

#include "platform/win/hostwin.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void CopyText(char* dest, std::size_t size, const std::string& text) {
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

}  // namespace

KVTHost::KVTHost(const std::string& moduleDir) : locks_(new KVTInProcessLockService) {
  if (!moduleDir.empty()) SetModuleDirectory(moduleDir);
  main_ = CreateKVTWindow("KVTMainFrame", "Kovatel Software", nullptr,
                          [this](HWND, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                            if (msg == KVT_MODULE_REQUEST) {
                              const char* name = reinterpret_cast<const char*>(lp);
                              return reinterpret_cast<LRESULT>(RequestModule(name ? name : ""));
                            }
                            if (msg == KVT_PROCESS_LOCK) return HandleLockRequest(wp, lp);
                            return 0;
                          });
  main_->userData = this;
  client_ = CreateKVTWindow("MDIClient", "", main_);
  main_->mdiClient = client_;
  KVTSetMDIWin(main_);
}

KVTHost::~KVTHost() {
  if (KVTReturnMDIWin() == main_) KVTSetMDIWin(nullptr);
  DestroyWindow(main_);
  if (pos_) {
    using TerminateFn = int (*)(HINSTANCE);
    if (auto terminate = GetProc<TerminateFn>(pos_, "Terminate")) terminate(Instance());
  }
  // Modules stay loaded until the process ends: a module's windows and
  // static objects may still be referenced by the others.
}

HMODULE KVTHost::RequestModule(const std::string& fileName) {
  std::string key = Upper(fileName);
  auto it = modules_.find(key);
  if (it != modules_.end()) return it->second;
  HMODULE m = LoadLibrary(fileName.c_str());
  if (!m) {
    error_ = LastModuleError();
    return nullptr;
  }
  modules_[key] = m;
  return m;
}

bool KVTHost::LoadPointOfSale() {
  pos_ = RequestModule("KVTPOS.DLL");
  if (!pos_) return false;
  using InitializeFn = int (*)(HINSTANCE);
  auto init = GetProc<InitializeFn>(pos_, "Initialize");
  if (!init) {
    error_ = "KVTPOS.DLL has no Initialize";
    return false;
  }
  init(Instance());
  return true;
}

void* KVTHost::Export(const char* name) const {
  return GetProcAddress(pos_, name);
}

void KVTHost::SetLockService(std::unique_ptr<KVTLockService> service) {
  if (service) locks_ = std::move(service);
}

LRESULT KVTHost::HandleLockRequest(WPARAM op, LPARAM request) {
  auto* r = reinterpret_cast<LockRequestInfo*>(request);
  if (!r) return 0;
  std::string package(r->szPackage, strnlen(r->szPackage, sizeof r->szPackage));
  std::string process(r->szProcess, strnlen(r->szProcess, sizeof r->szProcess));
  switch (op) {
    case KVT_LOCK_ACQUIRE:
      return locks_->Acquire(package, process);
    case KVT_LOCK_RELEASE:
      return locks_->Release(package, process);
    case KVT_LOCK_OWNER_USER:
      CopyText(r->szReturnString, sizeof r->szReturnString, locks_->OwnerUser(package, process));
      return 1;
    case KVT_LOCK_CURRENT_USER:
      CopyText(r->szReturnString, sizeof r->szReturnString, locks_->CurrentUser());
      return 1;
    default:
      return 0;
  }
}
