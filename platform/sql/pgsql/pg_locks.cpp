// Named locks as PostgreSQL session advisory locks on a session of their own.
#include <libpq-fe.h>

#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sql/backend.h"
#include "platform/sql/kvtsqllocks.h"

struct KVTSessionLocks::Impl {
  PGconn* conn = nullptr;
  std::string scope;   // the schema the locks belong to ("" for the server's default)
  std::string holder;  // what other sessions read as the holder
  std::string error;

  ~Impl() {
    if (conn) PQfinish(conn);
  }

  std::string ConnError() const {
    std::string e = conn ? PQerrorMessage(conn) : "not connected";
    while (!e.empty() && (e.back() == '\n' || e.back() == ' ')) e.pop_back();
    return e;
  }

  // Runs a statement with text parameters; the first value of the first row
  // into *value. False with `error` set when the server did not answer.
  bool Query(const char* sql, std::initializer_list<std::string> params, std::string* value) {
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    PGresult* r = PQexecParams(conn, sql, static_cast<int>(values.size()), nullptr, values.data(),
                               nullptr, nullptr, 0);
    bool ok = r && PQresultStatus(r) == PGRES_TUPLES_OK;
    if (ok) {
      value->clear();
      if (PQntuples(r) > 0 && PQnfields(r) > 0) value->assign(PQgetvalue(r, 0, 0));
      error.clear();
    } else {
      error = r ? PQresultErrorMessage(r) : ConnError();
      while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) error.pop_back();
    }
    PQclear(r);
    return ok;
  }

  bool Label() {
    std::string ignored;
    return Query("SELECT set_config('application_name', $1, false)", {holder}, &ignored);
  }

  // A session that broke is made again; the locks it held died with it.
  bool Connected() {
    if (PQstatus(conn) == CONNECTION_OK) return true;
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK) {
      error = "the lock session lost the database server: " + ConnError();
      return false;
    }
    return Label();
  }

  // The 64-bit advisory lock key of a name: FNV-1a over the scope and the name.
  std::uint64_t Key(const std::string& name) const {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](unsigned char c) {
      h ^= c;
      h *= 1099511628211ull;
    };
    for (char c : scope) mix(static_cast<unsigned char>(c));
    mix(0);
    for (char c : name) mix(static_cast<unsigned char>(c));
    return h;
  }
  std::string KeyText(const std::string& name) const {
    return std::to_string(static_cast<std::int64_t>(Key(name)));
  }
};

std::unique_ptr<KVTSessionLocks> KVTSessionLocks::Open(const KVTConnectionSettings& settings,
                                                       const std::string& holder,
                                                       std::string* error) {
  if (settings.translate != "PGSQL") {
    *error = "a " + settings.translate +
             " database has no server sessions to hold locks; its tills lock files beside it";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->conn = PQconnectdb(kvt::sql::PgConnInfo(settings).c_str());
  if (!impl->conn || PQstatus(impl->conn) != CONNECTION_OK) {
    *error = "the lock session cannot reach the PostgreSQL server: " + impl->ConnError();
    return nullptr;
  }
  for (char c : settings.schema)
    impl->scope += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  impl->holder = holder.substr(0, 63);
  if (!impl->Label()) {
    *error = "the lock session cannot name itself: " + impl->error;
    return nullptr;
  }
  return std::unique_ptr<KVTSessionLocks>(new KVTSessionLocks(impl.release()));
}

KVTSessionLocks::KVTSessionLocks(Impl* impl) : impl_(impl) {}

KVTSessionLocks::~KVTSessionLocks() {
  delete impl_;  // ending the session lets go of every lock it held
}

bool KVTSessionLocks::TryLock(const std::string& name) {
  std::string got;
  return impl_->Connected() &&
         impl_->Query("SELECT pg_try_advisory_lock($1::bigint)", {impl_->KeyText(name)}, &got) &&
         got == "t";
}

bool KVTSessionLocks::Unlock(const std::string& name) {
  std::string done;
  return impl_->Connected() &&
         impl_->Query("SELECT pg_advisory_unlock($1::bigint)", {impl_->KeyText(name)}, &done) &&
         done == "t";
}

std::string KVTSessionLocks::Holder(const std::string& name) {
  // A bigint advisory lock shows in pg_locks as its high and low 32 bits.
  std::uint64_t key = impl_->Key(name);
  std::string holder;
  if (!impl_->Connected() ||
      !impl_->Query("SELECT a.application_name FROM pg_locks l "
                    "JOIN pg_stat_activity a ON a.pid = l.pid "
                    "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 1 "
                    "AND l.database = (SELECT oid FROM pg_database "
                    "WHERE datname = current_database()) "
                    "AND l.classid = $1::oid AND l.objid = $2::oid",
                    {std::to_string(key >> 32), std::to_string(key & 0xffffffffull)}, &holder))
    return "";
  return holder;
}

const std::string& KVTSessionLocks::LastError() const {
  return impl_->error;
}
