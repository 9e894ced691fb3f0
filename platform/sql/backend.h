// What connection 1 needs of a database: prepared statements, one-shot
// statements, transactions and a look at a table's columns. Implemented by
// platform/sql/sqlite and platform/sql/pgsql; nothing outside platform/sql
// sees this header.
//
// Statements arrive translated (dialect.h). Results come back as text, with
// NULL as "" and dates as "MM/DD/YYYY", all rows read at once so that later
// statements on the connection never wait on an open cursor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sql/dialect.h"
#include "platform/sql/kvtsql.h"

namespace kvt::sql {

// A checked bind value: the text sent to the database, or NULL.
struct BoundValue {
  bool isNull = false;
  std::string text;
  int type = 0;  // 0 text, 2 number, 3 date (ISO)
};

struct ResultData {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> rows;
  long changes = 0;
  void Clear() {
    names.clear();
    rows.clear();
    changes = 0;
  }
};

enum class ColumnType { Text, Double, Integer, Date };

struct ColumnInfo {
  std::string name;  // as the database reports it (PostgreSQL: lower case)
  ColumnType type = ColumnType::Text;
};

class PreparedStatement {
 public:
  virtual ~PreparedStatement() = default;
  // The statement a decorator's statement wraps (itself when it wraps none).
  virtual PreparedStatement* Undecorated() { return this; }
  // Runs with these values. `inTransaction`: the connection is inside
  // BeginTran (SQLite then holds the writer lock already).
  virtual bool Execute(const std::vector<BoundValue>& params, bool inTransaction, ResultData* out,
                       std::string* error) = 0;
};

// One step of a batch: a prepared statement with its values, or the begin
// or the commit of the unit of work. `result` is filled as it is answered.
struct BatchStep {
  enum class Kind { Statement, Begin, Commit } kind = Kind::Statement;
  PreparedStatement* statement = nullptr;
  std::vector<BoundValue> params;
  ResultData result;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // Runs the steps in order, in as few round trips as the database allows,
  // and stops at the first that fails: false with its index in *failed and
  // its message (*failed is left alone on success). Steps after it are not run; the unit of work is
  // left for the caller to roll back. Here: one by one, each as its own call.
  virtual bool RunBatch(std::vector<BatchStep>* steps, std::size_t* failed, std::string* error);
  // Whether RunBatch sends a batch in one round trip.
  virtual bool Pipelines() const { return false; }
  virtual DbKind Kind() const = 0;
  virtual std::unique_ptr<PreparedStatement> Prepare(const std::string& sql,
                                                     std::string* error) = 0;
  // Prepares, runs and forgets: one round trip where the database allows.
  virtual bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params,
                       bool inTransaction, ResultData* out, std::string* error) = 0;
  // Several statements without parameters (schema scripts).
  virtual bool RunScript(const std::string& sql, std::string* error) = 0;
  virtual bool Begin(std::string* error) = 0;
  virtual bool Commit(std::string* error) = 0;
  virtual bool Rollback(std::string* error) = 0;
  // The columns of a table; false when it does not exist.
  virtual bool TableColumns(const std::string& table, std::vector<ColumnInfo>* columns,
                            std::string* error) = 0;
  virtual bool TableExists(const std::string& table) = 0;
  virtual bool IndexExists(const std::string& index) = 0;
  // NUMVAL and STR where the database keeps functions in the schema.
  virtual bool InstallFunctions(std::string* error) = 0;
  // Whether the connection still reaches the database it was opened on,
  // asked before work begins: SQLite compares the file's device and inode
  // with those it opened (a removed or replaced file is noticed); PostgreSQL
  // asks whether the session is up. False with the reason.
  virtual bool StillThere(std::string* why) = 0;
  // After a failed call: true when the connection failed, not the statement
  // (a session closed by the server, a file gone or unreadable).
  virtual bool Lost() = 0;
  // The database's own check of its pages (SQLite "PRAGMA integrity_check");
  // the problems it reports, none when sound. False when it could not run.
  virtual bool CheckIntegrity(std::vector<std::string>* problems, std::string* error) = 0;
};

// A backend around another one that passes every call through. A test
// derives from it to change a few calls (faults.cpp) and puts it around
// connection 1's backend with ConnectionOne::Decorate; Release() hands the
// inner backend back when the decorator is taken off.
class BackendDecorator : public Backend {
 public:
  explicit BackendDecorator(std::unique_ptr<Backend> inner) : inner_(std::move(inner)) {}
  std::unique_ptr<Backend> Release() { return std::move(inner_); }

  DbKind Kind() const override { return inner_->Kind(); }
  // RunBatch is the one by one of Backend, through this decorator's calls,
  // unless a decorator passes a batch on whole.
  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    return inner_->Prepare(sql, error);
  }
  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool inTransaction,
               ResultData* out, std::string* error) override {
    return inner_->RunOnce(sql, params, inTransaction, out, error);
  }
  bool RunScript(const std::string& sql, std::string* error) override {
    return inner_->RunScript(sql, error);
  }
  bool Begin(std::string* error) override { return inner_->Begin(error); }
  bool Commit(std::string* error) override { return inner_->Commit(error); }
  bool Rollback(std::string* error) override { return inner_->Rollback(error); }
  bool TableColumns(const std::string& table, std::vector<ColumnInfo>* columns,
                    std::string* error) override {
    return inner_->TableColumns(table, columns, error);
  }
  bool TableExists(const std::string& table) override { return inner_->TableExists(table); }
  bool IndexExists(const std::string& index) override { return inner_->IndexExists(index); }
  bool InstallFunctions(std::string* error) override { return inner_->InstallFunctions(error); }
  bool StillThere(std::string* why) override { return inner_->StillThere(why); }
  bool Lost() override { return inner_->Lost(); }
  bool CheckIntegrity(std::vector<std::string>* problems, std::string* error) override {
    return inner_->CheckIntegrity(problems, error);
  }

 protected:
  Backend& inner() { return *inner_; }

 private:
  std::unique_ptr<Backend> inner_;
};

std::unique_ptr<Backend> OpenSqliteBackend(const KVTConnectionSettings& settings,
                                           std::string* error);
std::unique_ptr<Backend> OpenPgBackend(const KVTConnectionSettings& settings, std::string* error);
// The libpq connection string of the settings (ConnInfo, else Server,
// Database, UserName, Password, Port).
std::string PgConnInfo(const KVTConnectionSettings& settings);

}  // namespace kvt::sql
