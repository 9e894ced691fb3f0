// The host's process-lock service (message 7003): grants a named lock
// (package, process) to one holder and reports who holds it.
//
// A lock is granted once: asking for a lock that is held fails, also when
// this process is the holder, so two sale windows of one till never share an
// instance id.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/base/export.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqllocks.h"

class KVT_EXPORT KVTLockService {
 public:
  virtual ~KVTLockService() = default;
  // Non-zero when this process got the lock now; 0 when it is held already
  // (by anyone, this process included) or cannot be had.
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

// Locks across processes and computers sharing a database server: one
// session advisory lock per named lock, held by a database session of this
// process's own (KVTSessionLocks) that other sessions know by this process's
// user number. The server drops the locks of a session that ends, so a
// crashed till frees its ids once the server notices the connection is gone.
class KVT_EXPORT KVTSessionLockService : public KVTLockService {
 public:
  explicit KVTSessionLockService(std::unique_ptr<KVTSessionLocks> session);
  int Acquire(const std::string& package, const std::string& process) override;
  int Release(const std::string& package, const std::string& process) override;
  std::string OwnerUser(const std::string& package, const std::string& process) override;
  std::string CurrentUser() override;

 private:
  std::unique_ptr<KVTSessionLocks> session_;
  std::set<std::pair<std::string, std::string>> held_;
};

// The lock service for the database of connection 1's settings: lock files
// in "<database file>.locks" for SQLITE, session locks on the server for
// PGSQL. Null, with the reason in *error, when it cannot be made.
KVT_EXPORT std::unique_ptr<KVTLockService> KVTLockServiceFor(const KVTConnectionSettings& settings,
                                                             std::string* error);

// "host:pid": who this process is, for lock owners.
KVT_EXPORT std::string KVTProcessUserNumber();
