// In-process lock service.
#include "suite/host/lockservice.h"

#include <unistd.h>

int KVTInProcessLockService::Acquire(const std::string& package, const std::string& process) {
  auto [it, inserted] = held_.emplace(std::make_pair(package, process), CurrentUser());
  return inserted || it->second == CurrentUser() ? 1 : 0;
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
