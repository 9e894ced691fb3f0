// A database of its own for one test (or one benchmark), opened as
// connection 1: an SQLite file in a fresh temporary folder, or a fresh schema
// on the PostgreSQL server named by the environment variable KVT_PG (a libpq
// connection string; ./test.sh starts a throwaway server and sets it).
// Destroying it closes connection 1 and removes the folder or the schema.
#pragma once

#include <memory>
#include <string>

#include "platform/sql/kvtsql.h"

namespace kvt::test {

enum class Backend { SQLite, PostgreSQL };

// "SQLite" or "PostgreSQL" (test names).
const char* BackendName(Backend backend);

// True when KVT_PG names a server; otherwise false with the reason.
bool PostgresAvailable(std::string* reason);

class TempDatabase {
 public:
  // Null with *reason when the backend is not available or the database
  // cannot be made. `synchronousFull` false runs SQLite with synchronous=NORMAL.
  static std::unique_ptr<TempDatabase> Create(Backend backend, std::string* reason,
                                              bool synchronousFull = true);
  ~TempDatabase();
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  Backend backend() const { return backend_; }
  const KVTConnectionSettings& settings() const { return settings_; }
  // The SQLite folder ("" on PostgreSQL).
  const std::string& folder() const { return folder_; }
  // Opens connection 1 on this database again (after a test closed it or
  // pointed it elsewhere).
  bool Reopen();
  // Writes section "KVTSQL Connection One" for this database into `iniPath`,
  // so a child process or a tool can open it by the usual settings file.
  bool WriteIni(const std::string& iniPath) const;

 private:
  TempDatabase() = default;

  Backend backend_ = Backend::SQLite;
  KVTConnectionSettings settings_;
  std::string folder_;
};

}  // namespace kvt::test
