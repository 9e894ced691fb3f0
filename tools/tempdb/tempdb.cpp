// Temporary databases for tests and benchmarks.
#include "tools/tempdb/tempdb.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/sql/kvtsqladmin.h"
#include "platform/win/profile.h"

namespace kvt::test {

const char* BackendName(Backend backend) {
  return backend == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

bool PostgresAvailable(std::string* reason) {
  const char* pg = std::getenv("KVT_PG");
  if (pg && *pg) return true;
  if (reason)
    *reason =
        "KVT_PG is not set: no PostgreSQL server to test against "
        "(./test.sh starts one and sets it)";
  return false;
}

std::unique_ptr<TempDatabase> TempDatabase::Create(Backend backend, std::string* reason,
                                                   bool synchronousFull) {
  static std::atomic<int> counter{0};
  std::unique_ptr<TempDatabase> db(new TempDatabase);
  db->backend_ = backend;
  db->settings_.synchronousFull = synchronousFull;
  std::random_device rd;
  std::string unique = std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_" +
                       std::to_string(rd() % 100000);
  if (backend == Backend::SQLite) {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::filesystem::path dir = base / ("kvtpos-test-" + unique);
    if (ec || !std::filesystem::create_directories(dir, ec)) {
      *reason = "cannot create a temporary folder under " + base.string();
      return nullptr;
    }
    db->folder_ = dir.string();
    db->settings_.translate = "SQLITE";
    db->settings_.dataPath = (dir / "kvtpos.db").string();
  } else {
    if (!PostgresAvailable(reason)) return nullptr;
    db->settings_.translate = "PGSQL";
    db->settings_.connInfo = std::getenv("KVT_PG");
    db->settings_.schema = "kvt_test_" + unique;
  }
  // Made here, once; a reopen finds it (and refuses it when a test removed it).
  KVTConnectionSettings making = db->settings_;
  making.create = true;
  if (!KVTOpenConnectionOne(making)) {
    *reason = std::string("cannot open the test database: ") + KVTLastSqlError();
    if (backend == Backend::SQLite) {
      std::error_code ec;
      std::filesystem::remove_all(db->folder_, ec);
    }
    db->folder_.clear();
    db->settings_.schema.clear();
    return nullptr;
  }
  return db;
}

TempDatabase::~TempDatabase() {
  if (backend_ == Backend::PostgreSQL && !settings_.schema.empty()) {
    if (Reopen()) KVTRunSqlScript(("DROP SCHEMA " + settings_.schema + " CASCADE").c_str());
  }
  KVTCloseConnectionOne();
  if (!folder_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
}

bool TempDatabase::Reopen() {
  return KVTOpenConnectionOne(settings_);
}

bool TempDatabase::WriteIni(const std::string& iniPath) const {
  const char* s = "KVTSQL Connection One";
  const char* f = iniPath.c_str();
  return WritePrivateProfileString(s, "Translate", settings_.translate.c_str(), f) &&
         WritePrivateProfileString(s, "DataPath", settings_.dataPath.c_str(), f) &&
         WritePrivateProfileString(s, "ConnInfo", settings_.connInfo.c_str(), f) &&
         WritePrivateProfileString(s, "Schema", settings_.schema.c_str(), f);
}

}  // namespace kvt::test
