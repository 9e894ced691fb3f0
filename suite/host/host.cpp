// The headless host shell.
#include "suite/host/host.h"

#include <cctype>
#include <cstring>

#include "platform/base/textwidth.h"
#include "platform/forms/host.h"
#include "platform/forms/query.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/folders.h"
#include "platform/win/hostwin.h"
#include "platform/win/profile.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void CopyText(char* dest, std::size_t size, const std::string& text) {
  KVTCopyText(dest, size, text);
}

}  // namespace

KVTHost::KVTHost(const std::string& moduleDir) : locks_(new KVTInProcessLockService) {
  if (!moduleDir.empty()) SetModuleDirectory(moduleDir);
  main_ =
      KVTCreateMDIHost("Kovatel Software", [this](HWND, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == KVT_MODULE_REQUEST) {
          const char* name = reinterpret_cast<const char*>(lp);
          return reinterpret_cast<LRESULT>(RequestModule(name ? name : ""));
        }
        if (msg == KVT_PROCESS_LOCK) return HandleLockRequest(wp, lp);
        return 0;
      });
  client_ = main_->mdiClient;
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

bool KVTHost::OpenDatabase(const std::string& spec) {
  KVTConnectionSettings settings;
  std::string lower = spec;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  bool isIni = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".ini") == 0;
  if (isIni) {
    if (!FileExists(kvt::ResolvePath(spec))) {
      error_ = "cannot connect to \"" + spec + "\": no such settings file";
      return false;
    }
    if (!KVTReadConnectionSettings(spec.c_str(), &settings)) {
      error_ = "cannot connect to \"" + spec + "\": " + KVTLastSqlError();
      return false;
    }
  } else {
    // A database file must exist: a mistyped name must not create an empty one.
    if (!FileExists(spec)) {
      error_ = "cannot connect to \"" + spec + "\": no such database file";
      return false;
    }
    settings.translate = "SQLITE";
    settings.dataPath = spec;
  }
  if (!KVTOpenConnectionOne(settings)) {
    error_ = "cannot connect to \"" + spec + "\": " + KVTLastSqlError();
    return false;
  }
  std::string why;
  std::unique_ptr<KVTLockService> locks = KVTLockServiceFor(settings, &why);
  if (!locks) {
    error_ = "cannot hold process locks on \"" + spec + "\": " + why;
    KVTCloseConnectionOne();
    return false;
  }
  SetLockService(std::move(locks));
  SetFormsQuery([](const std::string& sql, std::vector<std::vector<std::string>>* rows) {
    KVTSConnection conn(1, nullptr, 0);
    if (conn.ExecSQL(sql.c_str()) <= 0) return false;
    rows->clear();
    while (conn.FetchNext()) {
      std::vector<std::string> row;
      for (int c = 1; c <= conn.ColumnCount(); ++c) row.emplace_back(conn.ColumnVar(c));
      rows->push_back(std::move(row));
    }
    return true;
  });
  return true;
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
