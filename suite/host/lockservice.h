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

// Locks across processes on one computer or several sharing a folder: one
// lock file per named lock in `lockFolder` (beside the database), held with
// flock. The holder writes its user number ("host:pid") into the file. The
// kernel drops the lock when the holding process ends, so a crashed till
// frees its locks at once.
class KVT_EXPORT KVTFileLockService : public KVTLockService {
 public:
  explicit KVTFileLockService(std::string lockFolder);
  ~KVTFileLockService() override;
  int Acquire(const std::string& package, const std::string& process) override;
  int Release(const std::string& package, const std::string& process) override;
  std::string OwnerUser(const std::string& package, const std::string& process) override;
  std::string CurrentUser() override;

 private:
  std::string PathOf(const std::string& package, const std::string& process) const;

  std::string folder_;
  std::map<std::pair<std::string, std::string>, int> held_;  // open, locked descriptors
};

// "host:pid": who this process is, for lock owners.
KVT_EXPORT std::string KVTProcessUserNumber();
