// Connection 1 on a PostgreSQL server through libpq: READ COMMITTED,
// commits that let go of their locks before they wait for the disk, dates
// in ISO, the module's functions in the schema.
#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sql/backend.h"

namespace kvt::sql {
namespace {

constexpr Oid kDateOid = 1082;

struct Conn {
  PGconn* conn = nullptr;
  int nextStatement = 0;
  bool lost = false;  // a call failed with the connection, not the statement
  // A unit of work lets go of its locks at its commit and waits for the
  // disk after (kUnitBegins, kCommitFlushed): the tills queued behind a
  // sale's counters wait for its statements, not for its flush as well,
  // and their flushes overlap the next sale's work.
  bool releaseFirst = false;
  ~Conn() {
    if (conn) PQfinish(conn);
  }
  std::string Error() const {
    std::string e = conn ? PQerrorMessage(conn) : "not connected";
    while (!e.empty() && (e.back() == '\n' || e.back() == ' ')) e.pop_back();
    return e;
  }
};

// Whether a failed result means the session is gone: no result at all, a
// session libpq has closed, an error libpq made itself (the server's errors
// carry an SQLSTATE) or the server's own connection and shutdown errors
// (classes 08 and 57P).
bool SessionGone(PGresult* r, const Conn& c) {
  if (!r || !c.conn || PQstatus(c.conn) != CONNECTION_OK) return true;
  const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
  if (!state || !*state) return PQresultStatus(r) == PGRES_FATAL_ERROR;
  return std::strncmp(state, "08", 2) == 0 || std::strncmp(state, "57P", 3) == 0;
}

std::string ResultError(PGresult* r, const Conn& c) {
  if (SessionGone(r, c)) const_cast<Conn&>(c).lost = true;
  std::string e = r ? PQresultErrorMessage(r) : "";
  if (e.empty()) e = c.Error();
  while (!e.empty() && (e.back() == '\n' || e.back() == ' ')) e.pop_back();
  return e;
}

// Takes the result apart into text rows; frees it.
bool Collect(PGresult* r, const Conn& c, ResultData* out, std::string* error) {
  out->Clear();
  ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
  if (status == PGRES_TUPLES_OK) {
    int cols = PQnfields(r), rows = PQntuples(r);
    std::vector<bool> dates(cols);
    for (int i = 0; i < cols; ++i) {
      out->names.push_back(PQfname(r, i));
      dates[i] = PQftype(r, i) == kDateOid;
    }
    out->rows.reserve(rows);
    for (int row = 0; row < rows; ++row) {
      std::vector<std::string> values;
      values.reserve(cols);
      for (int i = 0; i < cols; ++i) {
        if (PQgetisnull(r, row, i)) {
          values.emplace_back();
        } else {
          std::string v(PQgetvalue(r, row, i), static_cast<std::size_t>(PQgetlength(r, row, i)));
          values.push_back(dates[i] ? IsoToDisplayDate(v) : std::move(v));
        }
      }
      out->rows.push_back(std::move(values));
    }
    // Rows changed by an INSERT, UPDATE or DELETE ... RETURNING; a SELECT changes none.
    if (std::strncmp(PQcmdStatus(r), "SELECT", 6) != 0) out->changes = std::atol(PQcmdTuples(r));
    PQclear(r);
    return true;
  }
  if (status == PGRES_COMMAND_OK) {
    out->changes = std::atol(PQcmdTuples(r));
    PQclear(r);
    return true;
  }
  *error = status == PGRES_EMPTY_QUERY ? "the SQL text holds no statement" : ResultError(r, c);
  PQclear(r);
  return false;
}

std::vector<const char*> Values(const std::vector<BoundValue>& params) {
  std::vector<const char*> v;
  v.reserve(params.size());
  for (const BoundValue& p : params) v.push_back(p.isNull ? nullptr : p.text.c_str());
  return v;
}

// Said in a unit before its first statement, when the session releases first.
constexpr const char* kUnitBegins = "SET LOCAL synchronous_commit TO off";
// Said after the commit: when the log is not on disk up to where it has
// been written (the commit included), a one-row record of a transaction
// of its own is written, and that transaction's commit waits for the disk
// up to itself, so for the unit's commit too. When another session's flush
// has already covered it, nothing is written.
constexpr const char* kCommitFlushed =
    "SELECT pg_logical_emit_message(true, 'kvtpos', '') FROM (SELECT 1) AS o "
    "WHERE pg_current_wal_insert_lsn() > pg_current_wal_flush_lsn()";

bool Command(Conn& c, const char* sql, std::string* error) {
  PGresult* r = PQexec(c.conn, sql);
  bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) *error = ResultError(r, c);
  PQclear(r);
  return ok;
}

class PgStatement : public PreparedStatement {
 public:
  PgStatement(std::shared_ptr<Conn> c, std::string name)
      : c_(std::move(c)), name_(std::move(name)) {}
  ~PgStatement() override {
    // A statement of a connection that is gone, or inside a failed
    // transaction, needs no release: the server drops it with the session.
    if (c_->conn && PQstatus(c_->conn) == CONNECTION_OK &&
        PQtransactionStatus(c_->conn) != PQTRANS_INERROR) {
      std::string ignored;
      Command(*c_, ("DEALLOCATE " + name_).c_str(), &ignored);
    }
  }
  const std::string& name() const { return name_; }
  bool Execute(const std::vector<BoundValue>& params, bool, ResultData* out,
               std::string* error) override {
    std::vector<const char*> values = Values(params);
    PGresult* r = PQexecPrepared(c_->conn, name_.c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0);
    return Collect(r, *c_, out, error);
  }

 private:
  std::shared_ptr<Conn> c_;
  std::string name_;
};

class PgBackend : public Backend {
 public:
  explicit PgBackend(std::shared_ptr<Conn> c) : c_(std::move(c)) {}
  ~PgBackend() override {
    // Statements that outlive the connection see it closed.
    PQfinish(c_->conn);
    c_->conn = nullptr;
  }

  DbKind Kind() const override { return DbKind::PostgreSQL; }

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    std::string name = "kvt" + std::to_string(++c_->nextStatement);
    PGresult* r = PQprepare(c_->conn, name.c_str(), sql.c_str(), 0, nullptr);
    ResultData ignored;
    if (!Collect(r, *c_, &ignored, error)) return nullptr;
    return std::make_unique<PgStatement>(c_, name);
  }

  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool, ResultData* out,
               std::string* error) override {
    std::vector<const char*> values = Values(params);
    PGresult* r = PQexecParams(c_->conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0);
    return Collect(r, *c_, out, error);
  }

  bool Pipelines() const override { return true; }

  // The steps in one round trip: sent in pipeline mode, one sync after the
  // last, the answers read in order. After a failure the server skips the
  // rest up to the sync (and leaves a begun unit in its failed state).
  bool RunBatch(std::vector<BatchStep>* steps, std::size_t* failed, std::string* error) override {
    PGconn* conn = c_->conn;
    if (!conn || PQenterPipelineMode(conn) != 1) {
      *failed = 0;
      *error = c_->Error();
      if (!conn || PQstatus(conn) != CONNECTION_OK) c_->lost = true;
      return false;
    }
    std::size_t sent = 0;
    for (BatchStep& s : *steps) {
      int ok = 0;
      if (s.kind == BatchStep::Kind::Statement) {
        auto* st = dynamic_cast<PgStatement*>(s.statement->Undecorated());
        if (!st) break;
        std::vector<const char*> values = Values(s.params);
        ok = PQsendQueryPrepared(conn, st->name().c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0);
      } else {
        const bool begin = s.kind == BatchStep::Kind::Begin;
        ok = PQsendQueryParams(conn, begin ? "BEGIN" : "COMMIT", 0, nullptr, nullptr, nullptr,
                               nullptr, 0);
        if (ok && c_->releaseFirst)
          ok = PQsendQueryParams(conn, begin ? kUnitBegins : kCommitFlushed, 0, nullptr, nullptr,
                                 nullptr, nullptr, 0);
      }
      if (!ok) break;
      ++sent;
    }
    bool synced = PQpipelineSync(conn) == 1;
    bool ok = sent == steps->size() && synced;
    if (!ok) {
      *failed = sent < steps->size() ? sent : 0;
      *error = PQstatus(conn) != CONNECTION_OK || sent == steps->size()
                   ? c_->Error()
                   : "the statement is not one of this connection";
      if (PQstatus(conn) != CONNECTION_OK) c_->lost = true;
    }
    for (std::size_t i = 0; i < sent; ++i) {
      PGresult* r = PQgetResult(conn);
      if (!r) {  // the connection went before every answer came
        if (ok) {
          ok = false;
          *failed = i;
          *error = c_->Error();
        }
        c_->lost = true;
        break;
      }
      BatchStep& s = (*steps)[i];
      ExecStatusType status = PQresultStatus(r);
      if (!ok) {
        PQclear(r);
      } else if (status == PGRES_PIPELINE_ABORTED) {
        PQclear(r);
        ok = false;
        *failed = i;
        *error = "the statement was skipped by the database";
      } else {
        std::string e;
        bool committed = s.kind != BatchStep::Kind::Commit ||
                         (status == PGRES_COMMAND_OK && std::strcmp(PQcmdStatus(r), "COMMIT") == 0);
        if (!Collect(r, *c_, &s.result, &e) || !committed) {
          ok = false;
          *failed = i;
          *error = e.empty() ? "the transaction failed and was rolled back" : e;
        }
      }
      // Each answer ends with a null result.
      while (PGresult* more = PQgetResult(conn)) PQclear(more);
      if (s.kind != BatchStep::Kind::Statement && c_->releaseFirst &&
          !TakeSecond(s, i, &ok, failed, error))
        break;
    }
    if (!c_->lost) {
      for (PGresult* r; (r = PQgetResult(conn)) != nullptr;) {
        bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
        PQclear(r);
        if (sync) break;
      }
    }
    if (PQexitPipelineMode(conn) != 1 && ok) {
      ok = false;
      *failed = steps->size() - 1;
      *error = c_->Error();
    }
    if (PQstatus(conn) != CONNECTION_OK) c_->lost = true;
    return ok;
  }

  // The answer to what follows a begin or a commit in a session that
  // releases first. A commit whose flush went unanswered is in doubt as
  // one whose own answer never came; a flush the server refused leaves the
  // commit as it was (its log goes to disk with the next write of any till).
  bool TakeSecond(const BatchStep& s, std::size_t i, bool* ok, std::size_t* failed,
                  std::string* error) {
    PGresult* r = PQgetResult(c_->conn);
    if (!r) {
      if (*ok) {
        *ok = false;
        *failed = i;
        *error = c_->Error();
      }
      c_->lost = true;
      return false;
    }
    const ExecStatusType status = PQresultStatus(r);
    if (*ok && s.kind == BatchStep::Kind::Begin && status != PGRES_COMMAND_OK) {
      *ok = false;
      *failed = i;
      *error = ResultError(r, *c_);
    }
    PQclear(r);
    while (PGresult* more = PQgetResult(c_->conn)) PQclear(more);
    return true;
  }

  bool RunScript(const std::string& sql, std::string* error) override {
    PGresult* r = PQexec(c_->conn, sql.c_str());
    ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    bool ok = s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY;
    if (!ok) *error = ResultError(r, *c_);
    PQclear(r);
    return ok;
  }

  bool Begin(std::string* error) override {
    static const std::string releasing = std::string("BEGIN; ") + kUnitBegins;
    return Command(*c_, c_->releaseFirst ? releasing.c_str() : "BEGIN", error);
  }

  bool Commit(std::string* error) override {
    PGresult* r = PQexec(c_->conn, "COMMIT");
    bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    // The server answers ROLLBACK to a COMMIT of a transaction that failed.
    if (ok && std::strcmp(PQcmdStatus(r), "COMMIT") != 0) {
      ok = false;
      *error = "the transaction failed and was rolled back";
    } else if (!ok) {
      *error = ResultError(r, *c_);
    }
    PQclear(r);
    if (ok && c_->releaseFirst) {
      r = PQexec(c_->conn, kCommitFlushed);
      if (!r || PQstatus(c_->conn) != CONNECTION_OK) {
        ok = false;
        *error = c_->Error();
        c_->lost = true;
      }
      PQclear(r);
    }
    return ok;
  }

  bool Rollback(std::string* error) override {
    if (PQtransactionStatus(c_->conn) == PQTRANS_IDLE) return true;
    return Command(*c_, "ROLLBACK", error);
  }

  bool TableColumns(const std::string& table, std::vector<ColumnInfo>* columns,
                    std::string* error) override {
    columns->clear();
    ResultData r;
    BoundValue name{false, table, 0};
    if (!RunOnce("SELECT column_name, data_type FROM information_schema.columns "
                 "WHERE table_schema = current_schema() AND table_name = lower($1) "
                 "ORDER BY ordinal_position",
                 {name}, true, &r, error))
      return false;
    for (const auto& row : r.rows) {
      ColumnInfo c;
      c.name = row[0];
      const std::string& t = row[1];
      if (t == "date")
        c.type = ColumnType::Date;
      else if (t == "integer" || t == "bigint" || t == "smallint")
        c.type = ColumnType::Integer;
      else if (t == "double precision" || t == "real" || t == "numeric")
        c.type = ColumnType::Double;
      else
        c.type = ColumnType::Text;
      columns->push_back(c);
    }
    if (columns->empty()) {
      *error = "table " + table + " does not exist";
      return false;
    }
    return true;
  }

  bool TableExists(const std::string& table) override {
    ResultData r;
    std::string error;
    BoundValue name{false, table, 0};
    return RunOnce(
               "SELECT 1 FROM information_schema.tables "
               "WHERE table_schema = current_schema() AND table_name = lower($1)",
               {name}, true, &r, &error) &&
           !r.rows.empty();
  }

  bool IndexExists(const std::string& index) override {
    ResultData r;
    std::string error;
    BoundValue name{false, index, 0};
    return RunOnce(
               "SELECT 1 FROM pg_indexes "
               "WHERE schemaname = current_schema() AND indexname = lower($1)",
               {name}, true, &r, &error) &&
           !r.rows.empty();
  }

  bool InstallFunctions(std::string* error) override { return RunScript(PgFunctionsSql(), error); }

  bool StillThere(std::string* why) override {
    if (c_->conn && !c_->lost && PQstatus(c_->conn) == CONNECTION_OK) return true;
    *why = "the connection to the PostgreSQL server was lost";
    if (c_->conn && *PQerrorMessage(c_->conn)) *why += ": " + c_->Error();
    return false;
  }

  bool Lost() override { return c_->lost || !c_->conn || PQstatus(c_->conn) != CONNECTION_OK; }

  // The server keeps its pages checked itself (checksums, WAL); what can be
  // asked of it here is that every table of the schema can be read.
  bool CheckIntegrity(std::vector<std::string>* problems, std::string* error) override {
    problems->clear();
    ResultData tables;
    if (!RunOnce("SELECT table_name FROM information_schema.tables "
                 "WHERE table_schema = current_schema() AND table_type = 'BASE TABLE'",
                 {}, false, &tables, error))
      return false;
    for (const auto& row : tables.rows) {
      ResultData ignored;
      std::string why;
      if (!RunOnce("SELECT count(*) FROM \"" + row[0] + "\"", {}, false, &ignored, &why))
        problems->push_back(row[0] + ": " + why);
    }
    return true;
  }

  bool FunctionsInstalled() {
    ResultData r;
    std::string error;
    return RunOnce(
               "SELECT count(DISTINCT p.proname) FROM pg_proc p "
               "JOIN pg_namespace n ON n.oid = p.pronamespace "
               "WHERE n.nspname = current_schema() AND p.proname IN ('numval', 'str')",
               {}, true, &r, &error) &&
           !r.rows.empty() && r.rows[0][0] == "2";
  }

 private:
  std::shared_ptr<Conn> c_;
};

// A conninfo value in single quotes, as libpq reads them.
std::string Quoted(const std::string& v) {
  std::string q = "'";
  for (char c : v) {
    if (c == '\'' || c == '\\') q += '\\';
    q += c;
  }
  return q + "'";
}

std::string ConnInfo(const KVTConnectionSettings& s) {
  if (!s.connInfo.empty()) return s.connInfo;
  std::string host = s.server, port = s.port;
  std::size_t sep = host.find_first_of(",:");
  if (sep != std::string::npos) {
    if (port.empty()) port = host.substr(sep + 1);
    host = host.substr(0, sep);
  }
  std::string info;
  auto add = [&](const char* key, const std::string& value) {
    if (!value.empty()) info += std::string(key) + "=" + Quoted(value) + " ";
  };
  add("host", host);
  add("port", port);
  add("dbname", s.database);
  add("user", s.userName);
  add("password", s.password);
  add("connect_timeout", "10");
  add("application_name", "kvtpos");
  return info;
}

void IgnoreNotice(void*, const char*) {}

}  // namespace

std::string PgConnInfo(const KVTConnectionSettings& settings) {
  return ConnInfo(settings);
}

std::unique_ptr<Backend> OpenPgBackend(const KVTConnectionSettings& settings, std::string* error) {
  auto c = std::make_shared<Conn>();
  c->conn = PQconnectdb(ConnInfo(settings).c_str());
  if (!c->conn || PQstatus(c->conn) != CONNECTION_OK) {
    *error = "cannot connect to the PostgreSQL server: " + c->Error();
    return nullptr;
  }
  PQsetNoticeProcessor(c->conn, IgnoreNotice, nullptr);
  const std::string setUp = std::string(
                                "SET datestyle TO 'ISO, MDY'; SET client_encoding TO "
                                "'UTF8'; SET synchronous_commit TO ") +
                            (settings.synchronousFull ? "on" : "off") +
                            "; SET standard_conforming_strings TO on; "
                            "SET default_transaction_isolation TO 'read committed'";
  if (!Command(*c, setUp.c_str(), error)) {
    *error = "cannot set up the PostgreSQL session: " + *error;
    return nullptr;
  }
  // A server that refuses the flush (a user not allowed its functions, a
  // standby) has its units wait for the disk inside their commit.
  if (settings.synchronousFull) {
    PGresult* r = PQexec(c->conn, kCommitFlushed);
    c->releaseFirst = r && PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
  }
  if (!settings.schema.empty()) {
    if (!IsSqlName(settings.schema)) {
      *error = "\"" + settings.schema + "\" is not a schema name";
      return nullptr;
    }
    std::string schema = settings.schema;
    for (char& ch : schema) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    PGresult* r =
        PQexecParams(c->conn, "SELECT 1 FROM pg_namespace WHERE nspname = $1", 1, nullptr,
                     std::vector<const char*>{schema.c_str()}.data(), nullptr, nullptr, 0);
    bool exists = r && PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0;
    PQclear(r);
    if (!exists && !settings.create) {
      *error = "there is no schema " + schema + " in the PostgreSQL database";
      return nullptr;
    }
    if ((!exists && !Command(*c, ("CREATE SCHEMA " + schema).c_str(), error)) ||
        !Command(*c, ("SET search_path TO " + schema).c_str(), error)) {
      *error = "cannot use the schema " + schema + ": " + *error;
      return nullptr;
    }
  }
  auto backend = std::make_unique<PgBackend>(std::move(c));
  if (!backend->FunctionsInstalled() && !backend->InstallFunctions(error)) {
    // A database the schema tool has not prepared, and no right to create them.
    *error = "the database functions NUMVAL and STR are missing and cannot be created: " + *error;
    return nullptr;
  }
  return backend;
}

}  // namespace kvt::sql
