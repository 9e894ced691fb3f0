// In-process and database-session lock services, and the choice between them.
#include "suite/host/lockservice.h"

#include <unistd.h>

#include "platform/win/folders.h"

int KVTInProcessLockService::Acquire(const std::string& package, const std::string& process) {
  return held_.emplace(std::make_pair(package, process), CurrentUser()).second ? 1 : 0;
}

int KVTInProcessLockService::Release(const std::string& package, const std::string& process) {
  return held_.erase({package, process}) ? 1 : 0;
}

std::string KVTInProcessLockService::OwnerUser(const std::string& package,
                                               const std::string& process) {
  auto it = held_.find({package, process});
  return it == held_.end() ? std::string() : it->second;
}

std::string KVTInProcessLockService::CurrentUser() {
  return KVTProcessUserNumber();
}

namespace {

// One text per (package, process): names are codes, a newline is in neither.
std::string LockName(const std::string& package, const std::string& process) {
  return package + "\n" + process;
}

}  // namespace

KVTSessionLockService::KVTSessionLockService(std::unique_ptr<KVTSessionLocks> session)
    : session_(std::move(session)) {}

int KVTSessionLockService::Acquire(const std::string& package, const std::string& process) {
  auto key = std::make_pair(package, process);
  if (held_.count(key) || !session_->TryLock(LockName(package, process))) return 0;
  held_.insert(key);
  return 1;
}

int KVTSessionLockService::Release(const std::string& package, const std::string& process) {
  if (!held_.erase({package, process})) return 0;
  return session_->Unlock(LockName(package, process)) ? 1 : 0;
}

std::string KVTSessionLockService::OwnerUser(const std::string& package,
                                             const std::string& process) {
  if (held_.count({package, process})) return CurrentUser();
  return session_->Holder(LockName(package, process));
}

std::string KVTSessionLockService::CurrentUser() {
  return KVTProcessUserNumber();
}

std::unique_ptr<KVTLockService> KVTLockServiceFor(const KVTConnectionSettings& settings,
                                                  std::string* error) {
  if (settings.translate == "PGSQL") {
    auto session = KVTSessionLocks::Open(settings, KVTProcessUserNumber(), error);
    if (!session) return nullptr;
    return std::make_unique<KVTSessionLockService>(std::move(session));
  }
  if (settings.translate == "SQLITE") {
    std::string file =
        FolderExists(settings.dataPath) ? settings.dataPath + "/kvtpos.db" : settings.dataPath;
    std::string folder = file + ".locks";
    if (!CreateFolder(folder, error)) return nullptr;
    return std::make_unique<KVTFileLockService>(folder);
  }
  *error = "no process-lock service for a " + settings.translate + " database";
  return nullptr;
}
