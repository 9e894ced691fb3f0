// Named locks held by a database session, for the host's process-lock
// service when the tills share a database server: a lock is granted to one
// session at a time, the server drops it when the session ends (also when the
// process that owned the session dies), and every session can read who holds
// it.
//
// The session is the lock holder's own, never connection 1: a lock must not
// come or go with the sale transactions on connection 1, and connection 1
// may be closed and opened again while a window keeps its id.
//
// Belongs to one thread at a time. Nothing throws; failures are results.
#pragma once

#include <memory>
#include <string>

#include "platform/base/export.h"
#include "platform/sql/kvtsql.h"

class KVT_EXPORT KVTSessionLocks {
 public:
  // Opens a session on the server database that `settings` names, known to
  // other sessions as `holder` (what Holder reports; up to 63 characters are
  // kept). Locks are scoped to the database and the settings' schema, so two
  // stores kept as schemas of one database do not share them. Null, with the
  // reason in *error, on a file database (SQLITE has no server sessions; its
  // tills lock files beside it) or when the server cannot be reached.
  static std::unique_ptr<KVTSessionLocks> Open(const KVTConnectionSettings& settings,
                                               const std::string& holder, std::string* error);
  ~KVTSessionLocks();
  KVTSessionLocks(const KVTSessionLocks&) = delete;
  KVTSessionLocks& operator=(const KVTSessionLocks&) = delete;

  // True when this session got the lock now. False when another session
  // holds it or the server could not be asked (LastError says which). A
  // session asking again for a lock it holds gets true and holds it twice;
  // callers keep count of what they hold.
  bool TryLock(const std::string& name);
  // True when this session held the lock and has let it go (once).
  bool Unlock(const std::string& name);
  // The holder text of the session that holds the lock; "" when nobody does
  // or the server could not be asked.
  std::string Holder(const std::string& name);
  const std::string& LastError() const;

 private:
  struct Impl;
  explicit KVTSessionLocks(Impl* impl);
  Impl* impl_;
};
