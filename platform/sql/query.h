// The module's one way to run SQL on connection 1: typed values checked as
// they are bound, columns read by name, and every answer one of found, not
// found or failed (with the database's message), so a failed look-up is never
// taken for "not found". A scoped transaction begins in its constructor and
// is cancelled by its destructor unless Commit() was called.
//
//   kvt::sql::Query find("SELECT NAME FROM KVTCOM11 WHERE EMPCODE = ?");
//   kvt::sql::Result r = find.Run({kvt::sql::Text(code)});
//   switch (r.found()) { case Found::Yes: r.first()["NAME"] ... }
//
// Values are bound, never formatted into the text. Everything here belongs to
// the thread that uses connection 1 (the user-interface thread).
#pragma once

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/export.h"

namespace kvt::sql {

class Stmt;

// One value for one "?", left to right. Number takes "12.50", " -3" or a
// double; Date takes "MM/DD/YYYY", "MMDDYYYY" or "YYYY-MM-DD". Empty numbers
// and dates bind NULL. A value that is not what its type says fails the
// statement before it runs, with a message naming the value.
struct Value {
  std::string text;
  int type = 0;  // 0 text, 2 number, 3 date (the binding library's codes)
};
KVT_EXPORT Value Text(std::string_view text);
KVT_EXPORT Value Number(std::string_view text);
KVT_EXPORT Value Number(double value);
KVT_EXPORT Value Date(std::string_view text);

enum class Found { Yes, No, Failed };

// One row of a result: columns by the names the statement gives them
// (without regard to case). Asking for a column the statement does not
// return is a fault in the caller: it stops a debug build, and reads "".
class KVT_EXPORT Row {
 public:
  Row(std::shared_ptr<const std::vector<std::string>> names, std::vector<std::string> values);
  const std::string& operator[](std::string_view column) const;
  double Num(std::string_view column) const;  // the column's text as a number (0 when empty)
  bool Has(std::string_view column) const;

 private:
  int Index(std::string_view column) const;
  std::shared_ptr<const std::vector<std::string>> names_;
  std::vector<std::string> values_;
};

// What a statement answered: its rows (text; NULL as "", dates as
// "MM/DD/YYYY"), the rows a change touched, or the failure.
class KVT_EXPORT Result {
 public:
  static Result Failure(std::string error);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // The failure was the database being away, not the statement; error()
  // then reads "The database is not available: ...".
  bool unavailable() const { return unavailable_; }
  Found found() const { return !ok() ? Found::Failed : rows_.empty() ? Found::No : Found::Yes; }
  // INSERT, UPDATE, DELETE: the rows changed (0 is still success).
  long changed() const { return changed_; }
  const std::vector<Row>& rows() const { return rows_; }
  // The first row; only when found() is Yes.
  const Row& first() const { return rows_.front(); }

 private:
  friend class Query;
  friend class Pipeline;
  std::string error_;
  bool unavailable_ = false;
  long changed_ = 0;
  std::vector<Row> rows_;
};

// A statement prepared once and run many times, with fresh values each run.
// It is prepared again by itself after connection 1 was reopened.
class KVT_EXPORT Query {
 public:
  explicit Query(std::string sql);
  ~Query();
  Query(Query&&) noexcept;
  Query& operator=(Query&&) noexcept;

  Result Run(std::initializer_list<Value> values = {});
  Result Run(const std::vector<Value>& values);
  const std::string& sql() const { return sql_; }

 private:
  friend class Pipeline;
  // Queues the statement in the open pipeline: false with the failure.
  Result Queue(const std::vector<Value>& values, std::size_t* number);
  Result Failed() const;
  std::string sql_;
  std::unique_ptr<Stmt> stmt_;
};

// Rows of one table inserted by one statement for up to kRowsAtOnce of
// them, each row count's statement prepared once: a sale's lines go to the
// database in one statement, not one each.
//
//   kvt::sql::InsertRows lines("INSERT INTO KVTPOS2 (INVREF,QTYORDERED) VALUES ", 2);
//   Result r = lines.Run({Text("HX"), Number(2), Text("SEED"), Number(1)});  // two rows
class KVT_EXPORT InsertRows {
 public:
  static constexpr std::size_t kRowsAtOnce = 16;
  // `head`: the statement up to and with "VALUES ".
  InsertRows(std::string head, std::size_t columns);
  ~InsertRows();
  // `values`: the rows one after the other. The answer of the first
  // statement that failed, else of the last.
  Result Run(const std::vector<Value>& values);
  // Whether `sql` is one of its statements.
  bool Owns(const std::string& sql) const;

 private:
  std::string head_;
  std::size_t columns_;
  std::map<std::size_t, Query> byRows_;
};

// Statements sent to the database together: on PostgreSQL all that were
// added since the last Send go in one round trip (libpq's pipeline); on
// SQLite they run one by one when sent. While a pipeline is open, the begin
// and commit of the outermost Transaction wait for the next Send too, and
// any change made inside the unit of work (by a Query or any holder of
// connection 1) is queued: it counts as one row changed until it is sent,
// and its real answer is had by its number. A read sends what waits first.
// A statement that fails stops the rest: the unit of work is cancelled and
// error() is that statement's message, as Query would give it.
//
//   kvt::sql::Pipeline pipe;
//   kvt::sql::Transaction tran;              // sent with the first Send
//   std::size_t n = pipe.Add(update, {...});
//   if (!tran.Commit()) ... pipe.failedSql() // the commit sends the rest
class KVT_EXPORT Pipeline {
 public:
  Pipeline();
  ~Pipeline();
  // Whether a pipeline is open on connection 1.
  static bool IsOpen();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  // Queues `q` (a read too) with its values; its number.
  std::size_t Add(Query& q, const std::vector<Value>& values);
  // Sends what waits and waits for the answers.
  bool Send();
  // Statements numbered so far (the next one's number).
  std::size_t size() const;
  // A change made now is queued (a unit of work is open): its answer is
  // had by its number after the next Send.
  bool queuing() const;
  // The answer of statement `number` once sent; a failure when it was not run.
  Result Answer(std::size_t number) const;
  // The first failure: its message and the statement as written ("" for
  // the begin or the commit, or when none failed).
  bool failed() const;
  const std::string& error() const;
  const std::string& failedSql() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  bool opened_ = false;  // false: another pipeline was open, this one adds to it
};

// Prepares, runs and forgets one statement (for texts run once).
KVT_EXPORT Result Run(std::string_view sql, std::initializer_list<Value> values = {});
KVT_EXPORT Result Run(std::string_view sql, const std::vector<Value>& values);

// A unit of work on connection 1. Transactions nest: only the outermost
// Commit() commits; a failed statement or a Cancel at any depth rolls back
// the whole unit. Destroyed without Commit(), the unit is cancelled, so no
// return path leaves a sale half saved.
class KVT_EXPORT Transaction {
 public:
  Transaction();
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // False when the transaction could not begin (error() says why); Commit
  // then fails and nothing is cancelled at the end.
  bool ok() const { return begun_; }
  const std::string& error() const { return error_; }
  // Ends the unit with its work kept. False with error() when the database
  // refused the commit or the unit had been cancelled: nothing was saved;
  // or when the connection was lost before the commit was answered
  // (inDoubt()): the work may have been kept, and only a look after
  // reconnecting can tell.
  bool Commit();
  bool inDoubt() const { return inDoubt_; }
  // Beginning or committing failed because the database was away.
  bool unavailable() const { return unavailable_; }
  // Ends the unit with its work undone.
  void Cancel();

 private:
  bool begun_ = false;
  bool ended_ = false;
  bool inDoubt_ = false;
  bool unavailable_ = false;
  std::string error_;
};

}  // namespace kvt::sql
