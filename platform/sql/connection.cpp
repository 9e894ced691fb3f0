// Connection 1: opening, transactions by depth, and running statements.
#include "platform/sql/connection.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

#include "platform/win/profile.h"

const char* const KVTSqlUnavailable = "The database is not available: ";

namespace kvt::sql {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The length of the UTF-8 sequence `lead` starts, 0 when it starts none.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

bool ValidUtf8(std::string* text) {
  std::string& s = *text;
  for (std::size_t i = 0; i < s.size();) {
    int n = SequenceLength(static_cast<unsigned char>(s[i]));
    if (n == 0) return false;
    std::size_t have = 1;
    while (have < static_cast<std::size_t>(n) && i + have < s.size() &&
           (static_cast<unsigned char>(s[i + have]) & 0xC0) == 0x80)
      ++have;
    if (have < static_cast<std::size_t>(n)) {
      // A character cut at a field's width by its bytes: the part is dropped.
      if (i + have == s.size()) {
        s.resize(i);
        return true;
      }
      return false;
    }
    i += n;
  }
  return true;
}

std::string BesideSettings(const std::string& settingsFile, const std::string& path) {
  std::string p = path, f = settingsFile;
  for (char& c : p)
    if (c == '\\') c = '/';
  for (char& c : f)
    if (c == '\\') c = '/';
  if (p.empty() || p[0] == '/') return path;
  std::size_t slash = f.rfind('/');
  if (slash == std::string::npos) return p;
  std::string folder = f.substr(0, slash);
  if (folder == ".") return p;
  return (folder.empty() ? std::string("/") : folder + "/") + p;
}

namespace {

std::string Shorten(const std::string& sql) {
  std::string s = sql.size() > 300 ? sql.substr(0, 300) + "..." : sql;
  for (char& c : s)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return s;
}

bool StartsWithWord(const std::string& sql, const char* word) {
  std::size_t i = sql.find_first_not_of(" \t\r\n(");
  std::size_t n = std::strlen(word);
  return i != std::string::npos && sql.size() - i >= n &&
         strncasecmp(sql.c_str() + i, word, n) == 0;
}

bool Reads(const std::string& sql) {
  return StartsWithWord(sql, "SELECT");
}

// CREATE, ALTER or DROP: the statements prepared before may read other columns.
bool ChangesTables(const std::string& sql) {
  return StartsWithWord(sql, "CREATE") || StartsWithWord(sql, "ALTER") ||
         StartsWithWord(sql, "DROP");
}

}  // namespace

ConnectionOne& ConnectionOne::Get() {
  // Never destroyed: statement holders in other static objects may still be
  // torn down after this file's statics at exit.
  static ConnectionOne* one = new ConnectionOne;
  return *one;
}

std::unique_ptr<Backend> ConnectionOne::OpenBackend(const KVTConnectionSettings& settings,
                                                    std::string* error) {
  std::string kind = Upper(settings.translate);
  std::unique_ptr<Backend> b;
  if (kind.empty() || kind == "SQLITE") {
    b = OpenSqliteBackend(settings, error);
  } else if (kind == "PGSQL") {
    b = OpenPgBackend(settings, error);
  } else {
    *error = "Translate \"" + settings.translate +
             "\" is not a database this till serves (use SQLITE or PGSQL)";
    return nullptr;
  }
  if (b && decorate_) {
    b = decorate_(std::move(b));
    if (!b) *error = "the connection was refused";
  }
  return b;
}

bool ConnectionOne::Open(const KVTConnectionSettings& settings, std::string* error) {
  Close();
  std::unique_ptr<Backend> b = OpenBackend(settings, error);
  if (!b) return false;
  kind_ = b->Kind();
  backend_ = std::move(b);
  settings_ = settings;
  ++generation_;
  BackendChanged();
  return true;
}

void ConnectionOne::Close() {
  if (!backend_) return;
  if (depth_ > 0) {
    std::string ignored;
    if (!doomed_) backend_->Rollback(&ignored);
    RolledBack();
  }
  depth_ = 0;
  doomed_ = false;
  counterBackend_.reset();
  backend_.reset();
  ++generation_;
  BackendChanged();
  lost_ = commitInDoubt_ = false;
  nextAttemptMs_ = pauseMs_ = 0;
  awayWhy_.clear();
}

// ---- a database that went away ------------------------------------------------

namespace {

// The pause before the first attempt to reach a PostgreSQL server again
// after one failed, doubled after each failure up to the longest: a server
// restarting is found within a second or two, and a server that stays down
// costs the till one quick failure per statement, not a connect timeout.
constexpr std::int64_t kFirstPauseMs = 100;
constexpr std::int64_t kLongestPauseMs = 2000;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

}  // namespace

std::string ConnectionOne::Unavailable(const std::string& why) const {
  if (StartsWith(why, KVTSqlUnavailable)) return why;
  return KVTSqlUnavailable + why;
}

bool ConnectionOne::Reconnect(const std::string& why, std::string* error) {
  lost_ = true;
  std::int64_t now = NowMs();
  if (kind_ == DbKind::PostgreSQL && now < nextAttemptMs_) {
    *error = Unavailable(awayWhy_.empty() ? why : awayWhy_);
    return false;
  }
  // Never made again here: a missing file or schema stays an error.
  KVTConnectionSettings s = settings_;
  s.create = false;
  std::string e;
  std::unique_ptr<Backend> b = OpenBackend(s, &e);
  if (!b) {
    pauseMs_ = pauseMs_ == 0 ? kFirstPauseMs : std::min(pauseMs_ * 2, kLongestPauseMs);
    nextAttemptMs_ = now + pauseMs_;
    awayWhy_ = e.empty() ? why : e;
    *error = Unavailable(awayWhy_);
    return false;
  }
  counterBackend_.reset();
  backend_ = std::move(b);
  ++generation_;
  BackendChanged();
  pauseMs_ = nextAttemptMs_ = 0;
  awayWhy_.clear();
  lost_ = false;
  return true;
}

// Reads on an SQLite file removed a moment ago answer from the file as it
// was; writes are always checked first. A line keyed at the till costs a
// dozen reads, each of which would otherwise ask the file system.
// (A PostgreSQL session's state is known without asking anyone.)
constexpr std::int64_t kReadCheckMs = 100;

bool ConnectionOne::EnsureThere(std::string* error, bool reading) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return false;
  }
  if (depth_ > 0) return true;
  const std::int64_t now = NowMs();
  if (reading && kind_ == DbKind::SQLite && now - checkedAtMs_ < kReadCheckMs) return true;
  std::string why;
  if (backend_->StillThere(&why)) {
    checkedAtMs_ = now;
    return true;
  }
  checkedAtMs_ = -1000000;
  return Reconnect(why, error);
}

void ConnectionOne::Decorate(Decorator decorate) {
  Undecorate();
  decorate_ = std::move(decorate);
  if (backend_ && decorate_) {
    backend_ = decorate_(std::move(backend_));
    BackendChanged();
  }
}

void ConnectionOne::Undecorate() {
  if (!decorate_) return;
  decorate_ = nullptr;
  if (backend_) {
    backend_ = static_cast<BackendDecorator&>(*backend_).Release();
    BackendChanged();
  }
}

void ConnectionOne::RolledBack() {
  std::vector<std::function<void()>> hooks;
  hooks.swap(onRollback_);
  for (auto& fn : hooks) fn();
}

bool ConnectionOne::Begin(std::string* error) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return false;
  }
  if (doomed_) {
    *error = "the transaction was cancelled; end it before starting another";
    return false;
  }
  lost_ = false;
  if (depth_ == 0 && pipeline_) {
    // Sent with the first statements of the unit.
    if (!EnsureThere(error)) return false;
    pipeline_->waiting.push_back({{BatchStep::Kind::Begin, nullptr, {}, {}}, nullptr, "", 0});
  } else if (depth_ == 0) {
    if (!EnsureThere(error)) return false;
    if (!backend_->Begin(error)) {
      if (!backend_->Lost()) return false;
      // A session the server dropped is only found out by using it; nothing
      // has been done in this unit yet, so it begins again on a new one.
      std::string why = *error;
      if (!Reconnect(why, error)) return false;
      if (!backend_->Begin(error)) {
        if (backend_->Lost()) {
          lost_ = true;
          *error = Unavailable(*error);
        }
        return false;
      }
    }
  }
  ++depth_;
  return true;
}

bool ConnectionOne::Commit(std::string* error) {
  if (depth_ == 0) {
    *error = "there is no transaction to commit";
    return false;
  }
  --depth_;
  if (doomed_) {
    *error = "the transaction was cancelled; nothing was saved";
    if (depth_ == 0) doomed_ = false;
    return false;
  }
  if (depth_ > 0) return true;
  lost_ = commitInDoubt_ = false;
  if (pipeline_) return CommitQueued(error);
  if (!backend_->Commit(error)) {
    if (backend_->Lost()) {
      // The answer to COMMIT never came: the work may have been kept.
      lost_ = commitInDoubt_ = true;
      *error = Unavailable(*error);
    }
    RolledBack();
    return false;
  }
  onRollback_.clear();
  return true;
}

bool ConnectionOne::Cancel(std::string* error) {
  if (depth_ == 0) {
    *error = "there is no transaction to cancel";
    return false;
  }
  bool ok = true;
  // A unit whose begin was never sent has nothing at the database.
  bool begun = true;
  if (pipeline_ && depth_ == 1) {
    auto& w = pipeline_->waiting;
    begun = w.empty() || w.front().step.kind != BatchStep::Kind::Begin;
    w.clear();
  }
  if (!doomed_) {
    if (begun) ok = backend_->Rollback(error);
    RolledBack();
  }
  --depth_;
  doomed_ = depth_ > 0;
  return ok;
}

bool ConnectionOne::Run(const std::function<bool(std::string*)>& run, std::string* error,
                        bool reading) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return false;
  }
  if (doomed_) {
    *error = "the transaction was cancelled; the statement was not run";
    return false;
  }
  lost_ = false;
  if (!EnsureThere(error, reading)) return false;
  bool ok = run(error);
  if (!ok && !lost_ && backend_->Lost()) {
    lost_ = true;
    *error = Unavailable(*error);
  }
  if (!ok) StatementFailed();
  return ok;
}

void ConnectionOne::StatementFailed() {
  if (pipeline_) pipeline_->waiting.clear();
  if (depth_ == 0 || doomed_ || !backend_) return;
  std::string ignored;
  backend_->Rollback(&ignored);
  RolledBack();
  doomed_ = true;
}

std::shared_ptr<const ConnectionOne::Prepared> ConnectionOne::Prepare(const std::string& text,
                                                                      std::string* error,
                                                                      bool* translateFailed) {
  *translateFailed = false;
  if (auto found = prepared_.find(text); found != prepared_.end()) return found->second;
  auto p = std::make_shared<Prepared>();
  if (!TranslateSql(kind_, text, &p->translation, error)) {
    *translateFailed = true;
    return nullptr;
  }
  if (!Run(
          [&](std::string* e) {
            p->statement = backend_->Prepare(p->translation.sql, e);
            return p->statement != nullptr;
          },
          error, /*reading=*/true))
    return nullptr;
  // Texts built with their values in them would fill the cache without end;
  // the module's own statements are a few hundred.
  if (prepared_.size() >= 1000) prepared_.clear();
  prepared_.emplace(text, p);
  return p;
}

bool Backend::RunBatch(std::vector<BatchStep>* steps, std::size_t* failed, std::string* error) {
  for (std::size_t i = 0; i < steps->size(); ++i) {
    BatchStep& s = (*steps)[i];
    bool ok = s.kind == BatchStep::Kind::Begin ? Begin(error)
              : s.kind == BatchStep::Kind::Commit
                  ? Commit(error)
                  : s.statement->Execute(s.params, true, &s.result, error);
    if (!ok) {
      *failed = i;
      return false;
    }
  }
  return true;
}

std::size_t ConnectionOne::Enqueue(std::shared_ptr<const Prepared> prepared,
                                   const std::string& text, std::vector<BoundValue> params) {
  PipelineState& p = *pipeline_;
  std::size_t number = p.answers.size();
  p.answers.emplace_back();
  p.answered.push_back(false);
  BatchStep step{BatchStep::Kind::Statement, prepared->statement.get(), std::move(params), {}};
  p.waiting.push_back({std::move(step), std::move(prepared), text, number});
  return number;
}

bool ConnectionOne::Flush(std::string* error) {
  PipelineState& p = *pipeline_;
  if (p.waiting.empty()) return true;
  std::vector<PipelineState::Waiting> waiting;
  waiting.swap(p.waiting);
  if (!backend_) {
    *error = "connection 1 is not open";
    return false;
  }
  if (doomed_) {
    *error = "the transaction was cancelled; the statements were not run";
    return false;
  }
  lost_ = false;
  // Reads outside a unit of work may find the database gone and open it
  // again; inside one, a lost connection is an answer in itself.
  if (depth_ == 0 && waiting.back().step.kind != BatchStep::Kind::Commit && !EnsureThere(error))
    return false;
  std::vector<BatchStep> steps;
  steps.reserve(waiting.size());
  for (auto& w : waiting) steps.push_back(std::move(w.step));
  std::size_t failed = 0;
  std::string e;
  auto send = [&] {
    failed = steps.size();
    e.clear();
    return backend_->RunBatch(&steps, &failed, &e);
  };
  bool ok = send();
  if (!ok && failed == 0 && steps.front().kind == BatchStep::Kind::Begin && backend_->Lost()) {
    // A session the server dropped is only found out by using it; the unit
    // had not begun, so it begins on a new one, its statements prepared anew.
    std::string why = e;
    ok = Reconnect(why, &e);
    for (std::size_t i = 0; i < waiting.size(); ++i) {
      PipelineState::Waiting& w = waiting[i];
      if (!ok || steps[i].kind != BatchStep::Kind::Statement) continue;
      bool translateFailed = false;
      w.prepared = Prepare(w.text, &e, &translateFailed);
      ok = w.prepared != nullptr;
      if (ok) steps[i].statement = w.prepared->statement.get();
    }
    ok = ok && send();
  }
  for (std::size_t i = 0; i < steps.size() && i < failed; ++i) {
    if (steps[i].kind != BatchStep::Kind::Statement) continue;
    p.answers[waiting[i].number] = std::move(steps[i].result);
    p.answered[waiting[i].number] = true;
  }
  if (ok) return true;
  if (backend_ && backend_->Lost()) {
    lost_ = true;
    e = Unavailable(e);
  }
  if (failed >= waiting.size()) failed = waiting.size() - 1;
  const PipelineState::Waiting& w = waiting[failed];
  if (!p.failed) {
    p.failed = true;
    p.failedNumber =
        steps[failed].kind == BatchStep::Kind::Statement ? w.number : std::string::npos;
    p.failedText = w.text;
    p.error = w.text.empty() ? e : e + " (in: " + Shorten(w.text) + ")";
  }
  *error = p.error;
  SetLastError(*error);
  StatementFailed();
  return false;
}

bool ConnectionOne::CommitQueued(std::string* error) {
  pipeline_->waiting.push_back({{BatchStep::Kind::Commit, nullptr, {}, {}}, nullptr, "", 0});
  if (Flush(error)) {
    onRollback_.clear();
    return true;
  }
  // The answer to COMMIT never came: the work may have been kept.
  if (lost_) {
    commitInDoubt_ = true;
  } else {
    std::string ignored;
    backend_->Rollback(&ignored);
  }
  RolledBack();
  return false;
}

Backend* ConnectionOne::CounterBackend(std::string* error) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return nullptr;
  }
  if (kind_ != DbKind::PostgreSQL) return backend_.get();
  std::string why;
  if (counterBackend_ && !counterBackend_->StillThere(&why)) counterBackend_.reset();
  if (!counterBackend_) {
    KVTConnectionSettings s = settings_;
    s.create = false;
    // A block's move need not wait for the disk: a sale that uses its
    // numbers commits after it, and that commit writes the log up to
    // itself, the move included. A move no saved sale used may be lost in
    // a crash; the next block is taken above the table's highest number.
    s.synchronousFull = false;
    counterBackend_ = OpenPgBackend(s, error);
    if (!counterBackend_) *error = Unavailable(*error);
  }
  return counterBackend_.get();
}

// ---- Stmt -------------------------------------------------------------------

Stmt::~Stmt() = default;

bool Stmt::Fail(const std::string& message, bool cancelsUnit) {
  if (cancelsUnit) ConnectionOne::Get().StatementFailed();
  error_ = message;
  if (!text_.empty()) error_ += " (in: " + Shorten(text_) + ")";
  ConnectionOne::Get().SetLastError(error_);
  return false;
}

bool Stmt::Translate(const std::string& text, Translation* out) {
  std::string error;
  if (!TranslateSql(ConnectionOne::Get().kind(), text, out, &error)) return Fail(error, true);
  return true;
}

bool Stmt::Prepare(const std::string& text, bool restartBinding) {
  ConnectionOne& c = ConnectionOne::Get();
  result_.Clear();
  row_ = -1;
  if (restartBinding) {
    params_.clear();
    bindError_.clear();
  }
  if (prepared_ && backendVersion_ == c.backendVersion() && text == text_) return true;
  prepared_.reset();
  text_ = text;
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  std::string error;
  bool translateFailed = false;
  prepared_ = c.Prepare(text, &error, &translateFailed);
  if (!prepared_) return Fail(error, translateFailed);
  backendVersion_ = c.backendVersion();
  return true;
}

bool Stmt::Bind(const char* value, int type) {
  BoundValue v;
  v.type = type;
  std::string text = value ? value : "";
  switch (type) {
    case 0:
      if (!ValidUtf8(&text)) {
        bindError_ =
            "\"" + text + "\" is not UTF-8 text (value " + std::to_string(params_.size() + 1) + ")";
        return Fail(bindError_);
      }
      v.text = text;
      break;
    case 2:
      if (!NormalizeNumber(text.c_str(), &v.text)) {
        bindError_ =
            "\"" + text + "\" is not a number (value " + std::to_string(params_.size() + 1) + ")";
        return Fail(bindError_);
      }
      v.isNull = v.text.empty();
      break;
    case 3:
      if (!NormalizeDate(text.c_str(), &v.text)) {
        bindError_ =
            "\"" + text + "\" is not a date (value " + std::to_string(params_.size() + 1) + ")";
        return Fail(bindError_);
      }
      v.isNull = v.text.empty();
      break;
    default:
      bindError_ =
          "bind type " + std::to_string(type) + " is not one of 0 (text), 2 (number), 3 (date)";
      return Fail(bindError_);
  }
  params_.push_back(std::move(v));
  return true;
}

bool Stmt::Execute(std::size_t* queuedAs) {
  ConnectionOne& c = ConnectionOne::Get();
  std::vector<BoundValue> params;
  params.swap(params_);
  std::string bindError;
  bindError.swap(bindError_);
  result_.Clear();
  row_ = -1;
  // A database that went away is opened again before the statement is
  // looked at, so one prepared on the old connection is prepared anew.
  std::string away;
  const bool reading = Reads(text_);
  ConnectionOne::PipelineState* pipeline = c.IsOpen() ? c.pipeline() : nullptr;
  const bool queue = pipeline && (queuedAs || (c.depth() > 0 && !reading));
  if (pipeline && !queue && !c.Flush(&away)) {
    // What was queued before failed: this statement is not run.
    error_ = away;
    return false;
  }
  if (c.IsOpen() && c.depth() == 0 && !queue && !c.EnsureThere(&away, reading)) return Fail(away);
  if (!prepared_ || backendVersion_ != c.backendVersion()) {
    std::string text = text_;
    prepared_.reset();
    text_.clear();
    if (text.empty()) return Fail("the statement was not prepared", true);
    if (!Prepare(text, false)) return false;
  }
  if (!bindError.empty()) return Fail(bindError + "; the statement was not run", true);
  if (static_cast<int>(params.size()) != prepared_->translation.placeholders)
    return Fail("the statement takes " + std::to_string(prepared_->translation.placeholders) +
                    " values, " + std::to_string(params.size()) + " were bound",
                true);
  if (queue) {
    // A change that returns rows is read at once.
    if (queuedAs || prepared_->translation.sql.find("RETURNING") == std::string::npos) {
      std::size_t number = c.Enqueue(prepared_, text_, std::move(params));
      if (queuedAs) *queuedAs = number;
      result_.changes = 1;
      return true;
    }
    if (!c.Flush(&away)) {
      error_ = away;
      return false;
    }
  }
  std::string error;
  bool ok = c.Run(
      [&](std::string* e) {
        return prepared_->statement->Execute(params, c.depth() > 0, &result_, e);
      },
      &error, reading);
  if (!ok && RetryRead(prepared_->translation.sql)) {
    // The connection was opened again: a read outside a unit of work is run
    // once more on it, prepared anew.
    std::string text = text_;
    prepared_.reset();
    if (!Prepare(text, false)) return false;
    ok = c.Run(
        [&](std::string* e) {
          return prepared_->statement->Execute(params, c.depth() > 0, &result_, e);
        },
        &error);
  }
  if (!ok) {
    result_.Clear();
    return Fail(error);
  }
  return true;
}

bool Stmt::RetryRead(const std::string& sql) {
  ConnectionOne& c = ConnectionOne::Get();
  if (!c.lost() || c.depth() > 0) return false;
  std::size_t at = sql.find_first_not_of(" \t\r\n(");
  if (at == std::string::npos || Upper(sql.substr(at, 6)) != "SELECT") return false;
  std::string ignored;
  return c.EnsureThere(&ignored);
}

bool Stmt::ExecuteText(const std::string& text) {
  ConnectionOne& c = ConnectionOne::Get();
  std::vector<BoundValue> params;
  params.swap(params_);
  std::string bindError;
  bindError.swap(bindError_);
  prepared_.reset();
  result_.Clear();
  row_ = -1;
  text_ = text;
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  std::string queuedFailed;
  if (c.pipeline() && !c.Flush(&queuedFailed)) {
    error_ = queuedFailed;
    return false;
  }
  if (!bindError.empty()) return Fail(bindError + "; the statement was not run", true);
  Translation t;
  if (!Translate(text, &t)) return false;
  if (ChangesTables(t.sql)) c.ForgetPrepared();
  if (static_cast<int>(params.size()) != t.placeholders)
    return Fail("the statement takes " + std::to_string(t.placeholders) + " values, " +
                    std::to_string(params.size()) + " were bound",
                true);
  std::string error;
  auto run = [&](std::string* e) {
    return c.backend()->RunOnce(t.sql, params, c.depth() > 0, &result_, e);
  };
  bool ok = c.Run(run, &error);
  if (!ok && RetryRead(t.sql)) ok = c.Run(run, &error);
  if (!ok) {
    result_.Clear();
    return Fail(error);
  }
  return true;
}

bool Stmt::Fetch() {
  if (row_ + 1 >= static_cast<long>(result_.rows.size())) {
    row_ = static_cast<long>(result_.rows.size());
    return false;
  }
  ++row_;
  return true;
}

const char* Stmt::Column(int column1) const {
  if (!HasRow() || column1 < 1 || column1 > static_cast<int>(result_.rows[row_].size())) return "";
  return result_.rows[row_][column1 - 1].c_str();
}

const char* Stmt::Column(const std::string& name) const {
  std::string want = Upper(name);
  for (std::size_t i = 0; i < result_.names.size(); ++i)
    if (Upper(result_.names[i]) == want) return Column(static_cast<int>(i + 1));
  return "";
}

void Stmt::Free() {
  prepared_.reset();
  params_.clear();
  bindError_.clear();
  result_.Clear();
  row_ = -1;
  text_.clear();
}

}  // namespace kvt::sql

// ---- the public connection-one calls ----------------------------------------

using kvt::sql::ConnectionOne;

bool KVTReadConnectionSettings(const char* iniPath, KVTConnectionSettings* out) {
  const char* file = iniPath ? iniPath : ".\\KVTSQL.ini";
  auto get = [&](const char* key) {
    return kvt::ProfileString(file, "KVTSQL Connection One", key);
  };
  KVTConnectionSettings s;
  s.translate = get("Translate");
  if (s.translate.empty()) s.translate = "SQLITE";
  s.dataPath = get("DataPath");
  s.server = get("Server");
  s.database = get("Database");
  s.userName = get("UserName");
  s.password = get("Password");
  s.port = get("Port");
  s.connInfo = get("ConnInfo");
  s.schema = get("Schema");
  // The kind is a name, whatever its case: "pgsql" is PostgreSQL.
  std::string kind = s.translate;
  for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (kind != "SQLITE" && kind != "PGSQL") {
    ConnectionOne::Get().SetLastError("Translate \"" + s.translate + "\" in " + file +
                                      " is not a database this till serves (SQLITE or PGSQL)");
    return false;
  }
  s.translate = kind;
  s.dataPath = kvt::sql::BesideSettings(file, s.dataPath);
  *out = s;
  return true;
}

bool KVTOpenConnectionOne(const char* iniPath) {
  KVTConnectionSettings s;
  if (!KVTReadConnectionSettings(iniPath, &s)) return false;
  return KVTOpenConnectionOne(s);
}

bool KVTOpenConnectionOne(const KVTConnectionSettings& settings) {
  std::string error;
  if (!ConnectionOne::Get().Open(settings, &error)) {
    ConnectionOne::Get().SetLastError(error);
    return false;
  }
  ConnectionOne::Get().SetLastError("");
  return true;
}

void KVTCloseConnectionOne() {
  ConnectionOne::Get().Close();
}

bool KVTConnectionOneIsOpen() {
  return ConnectionOne::Get().IsOpen();
}

bool KVTChangesQueued() {
  ConnectionOne& c = ConnectionOne::Get();
  return c.pipeline() && c.depth() > 0;
}

const char* KVTDatabaseKind() {
  ConnectionOne& c = ConnectionOne::Get();
  if (!c.IsOpen()) return "";
  return c.kind() == kvt::sql::DbKind::PostgreSQL ? "PGSQL" : "SQLITE";
}

const char* KVTLastSqlError() {
  return ConnectionOne::Get().lastError().c_str();
}

std::string KVTSqlQuote(const char* value) {
  std::string out;
  for (const char* p = value ? value : ""; *p; ++p) {
    out += *p;
    if (*p == '\'') out += '\'';
  }
  return out;
}
