// The host's process-lock service (message 7003): grants a named lock
// (package, process) to one holder and reports who holds it.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/base/export.h"

class KVT_EXPORT KVTLockService {
 public:
  virtual ~KVTLockService() = default;
  // Non-zero when this process now holds the lock (also when it already did).
  virtual int Acquire(const std::string& package, const std::string& process) = 0;
  // Non-zero when the lock was held by this process and is now free.
  virtual int Release(const std::string& package, const std::string& process) = 0;
  // The user number of the lock's holder, "" when nobody holds it.
  virtual std::string OwnerUser(const std::string& package, const std::string& process) = 0;
  // The user number of this process.
  virtual std::string CurrentUser() = 0;
};

// Locks among the windows of one process: enough for a single till.
class KVT_EXPORT KVTInProcessLockService : public KVTLockService {
 public:
  int Acquire(const std::string& package, const std::string& process) override;
  int Release(const std::string& package, const std::string& process) override;
  std::string OwnerUser(const std::string& package, const std::string& process) override;
  std::string CurrentUser() override;

 private:
  std::map<std::pair<std::string, std::string>, std::string> held_;
};
