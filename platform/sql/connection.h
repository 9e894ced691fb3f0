// Connection 1 inside platform/sql: the open backend, the connection-wide
// transaction depth, and the one path every statement takes to the database.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sql/backend.h"

namespace kvt::sql {

// Text goes to the database as UTF-8: the part of a character cut off at
// the end (a width counted in bytes) is dropped; false for text that is not
// UTF-8 at all.
bool ValidUtf8(std::string* text);
// A path named in a settings file, as seen from here: a relative path is
// relative to the settings file's folder, not to the working folder.
std::string BesideSettings(const std::string& settingsFile, const std::string& path);

class ConnectionOne {
 public:
  static ConnectionOne& Get();

  bool Open(const KVTConnectionSettings& settings, std::string* error);
  void Close();
  bool IsOpen() const { return backend_ != nullptr; }
  Backend* backend() { return backend_.get(); }
  DbKind kind() const { return kind_; }
  const KVTConnectionSettings& settings() const { return settings_; }
  // Changes every time connection 1 is opened: caches made on an earlier
  // connection know they are stale.
  std::uint64_t generation() const { return generation_; }
  // Changes whenever backend() becomes another object (an open, a close, a
  // decorator put on or taken off): statements prepared on the old one are
  // prepared again.
  std::uint64_t backendVersion() const { return backendVersion_; }

  // A seam for tests: `decorate` is put around the open backend now and
  // around the one every later Open makes, until Undecorate takes it off.
  // The counter session of PostgreSQL (NextNum) is left as it is. A
  // decorator that returns null refuses the connection being opened.
  using Decorator = std::function<std::unique_ptr<BackendDecorator>(std::unique_ptr<Backend>)>;
  void Decorate(Decorator decorate);
  void Undecorate();
  bool decorated() const { return static_cast<bool>(decorate_); }

  // Transactions: see kvtsql.h.
  bool Begin(std::string* error);
  bool Commit(std::string* error);
  bool Cancel(std::string* error);
  int depth() const { return depth_; }
  // Called once when the current unit of work is rolled back.
  void OnRollback(std::function<void()> fn) { onRollback_.push_back(std::move(fn)); }

  // Runs a statement: checks that the connection is open and the unit of work
  // not cancelled, and cancels the unit of work when the statement fails
  // inside it. Outside a unit of work the database is first checked to be
  // still there (and opened again when it went away). A failure of the
  // connection itself reads "The database is not available: ..." and sets
  // lost().
  // `reading`: a SELECT, which may skip the check that the database is
  // still there when it was made a moment ago.
  bool Run(const std::function<bool(std::string*)>& run, std::string* error, bool reading = false);
  // The last Run, Begin or Commit failed because the database was away.
  bool lost() const { return lost_; }
  // The last outermost Commit lost the connection before the answer came:
  // the work may or may not have been kept.
  bool commitInDoubt() const { return commitInDoubt_; }
  // Outside a unit of work: the database is still the one opened, or is
  // opened again now. False, with "The database is not available: ...",
  // while it cannot be (attempts are spaced by a growing pause).
  bool EnsureThere(std::string* error, bool reading = false);
  // A statement failed: inside a transaction the unit of work is cancelled
  // (PostgreSQL refuses anything more in it; SQLite is made to agree).
  void StatementFailed();

  // PostgreSQL keeps a second session for record-number counters, so their
  // row locks never wait for a sale to commit; SQLite uses connection 1.
  Backend* CounterBackend(std::string* error);
  // The counter session failed with its connection: the next use opens it again.
  void CounterLost() { counterBackend_.reset(); }

  // A statement as the module writes it, translated and prepared once per
  // backend and shared by every Stmt that runs the same text; null with
  // `error` when it does not translate or prepare.
  struct Prepared {
    Translation translation;
    std::shared_ptr<PreparedStatement> statement;
  };
  std::shared_ptr<const Prepared> Prepare(const std::string& text, std::string* error,
                                          bool* translateFailed);
  // After a change to the tables a statement's columns may be others.
  void ForgetPrepared() { prepared_.clear(); }

  // ---- statements sent together (Pipeline, query.h) ----
  // While a pipeline is open, the begin and the commit of the outermost unit
  // of work and every change inside it wait in a queue, sent by Flush (a
  // read first sends what waits, the commit sends itself). Every statement
  // added gets a number; its answer is had by that number once sent.
  struct PipelineState {
    struct Waiting {
      BatchStep step;
      std::shared_ptr<const Prepared> prepared;  // keeps the statement while it waits
      std::string text;                          // as the module wrote it
      std::size_t number = 0;                    // of a statement
    };
    std::vector<Waiting> waiting;
    std::vector<ResultData> answers;  // by number
    std::vector<bool> answered;
    // The first statement that failed: its number (npos: the begin or the
    // commit), its text and its message.
    bool failed = false;
    std::size_t failedNumber = 0;
    std::string failedText, error;
  };
  PipelineState* pipeline() { return pipeline_; }
  void SetPipeline(PipelineState* p) { pipeline_ = p; }
  // Queues a statement; its number.
  std::size_t Enqueue(std::shared_ptr<const Prepared> prepared, const std::string& text,
                      std::vector<BoundValue> params);
  // Sends what waits in one go; false with the first failure's message
  // (the unit of work is then cancelled).
  bool Flush(std::string* error);

  void SetLastError(const std::string& e) { lastError_ = e; }
  const std::string& lastError() const { return lastError_; }

 private:
  void RolledBack();
  // backend() is another object: what was prepared on the old one goes,
  // and with it the old one's last hold on its database.
  void BackendChanged() {
    ++backendVersion_;
    prepared_.clear();
  }
  std::unique_ptr<Backend> OpenBackend(const KVTConnectionSettings& settings, std::string* error);
  bool Reconnect(const std::string& why, std::string* error);
  std::string Unavailable(const std::string& why) const;

  bool CommitQueued(std::string* error);

  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Backend> counterBackend_;
  PipelineState* pipeline_ = nullptr;
  KVTConnectionSettings settings_;
  DbKind kind_ = DbKind::SQLite;
  std::uint64_t generation_ = 0;
  std::uint64_t backendVersion_ = 0;
  Decorator decorate_;
  int depth_ = 0;
  bool doomed_ = false;  // rolled back while outer levels are still open
  std::vector<std::function<void()>> onRollback_;
  std::string lastError_;
  std::unordered_map<std::string, std::shared_ptr<const Prepared>> prepared_;
  bool lost_ = false;
  bool commitInDoubt_ = false;
  // Reopening after a loss: not before nextAttempt_, the pause doubling
  // from kFirstPause up to kLongestPause while attempts fail.
  std::int64_t nextAttemptMs_ = 0;
  std::int64_t pauseMs_ = 0;
  std::string awayWhy_;
  std::int64_t checkedAtMs_ = -1000000;  // the last time the database was found there
};

// A statement with its bound values and its buffered result.
class Stmt {
 public:
  ~Stmt();
  // Prepares `text` on connection 1 (again when the text or the connection
  // changed). `restartBinding`: values bound so far are dropped.
  bool Prepare(const std::string& text, bool restartBinding = true);
  bool Bind(const char* value, int type);
  // Runs the prepared text with the bound values; binding starts over.
  // Inside a unit of work with a pipeline open, a change is queued instead
  // and counts as one row changed until it is sent; `queuedAs`: queue it in
  // any case (a read too), its number there.
  bool Execute(std::size_t* queuedAs = nullptr);
  // Prepares, runs and forgets `text` with the bound values.
  bool ExecuteText(const std::string& text);
  bool Fetch();
  const char* Column(int column1) const;
  const char* Column(const std::string& name) const;
  int ColumnCount() const { return static_cast<int>(result_.names.size()); }
  const std::vector<std::string>& Names() const { return result_.names; }
  long Changes() const { return result_.changes; }
  // The whole buffered result, for readers that take it at once.
  ResultData& result() { return result_; }
  bool HasRow() const { return row_ >= 0 && row_ < static_cast<long>(result_.rows.size()); }
  void Free();
  const std::string& error() const { return error_; }
  const std::string& text() const { return text_; }

 private:
  bool Fail(const std::string& message, bool cancelsUnit = false);
  bool Translate(const std::string& text, Translation* out);
  // After a read failed with the connection outside a unit of work: the
  // connection is there again, so the read may run once more.
  bool RetryRead(const std::string& sql);

  std::string text_;
  std::shared_ptr<const ConnectionOne::Prepared> prepared_;
  std::uint64_t backendVersion_ = 0;
  std::vector<BoundValue> params_;
  std::string bindError_;
  ResultData result_;
  long row_ = -1;
  std::string error_;
};

}  // namespace kvt::sql
