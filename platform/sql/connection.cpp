// Connection 1: opening, transactions by depth, and running statements.
#include "platform/sql/connection.h"

#include <algorithm>
#include <cctype>

#include "platform/win/profile.h"

namespace kvt::sql {
namespace {

constexpr const char* kSection = "KVTSQL Connection One";

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Shorten(const std::string& sql) {
  std::string s = sql.size() > 300 ? sql.substr(0, 300) + "..." : sql;
  for (char& c : s)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return s;
}

// CREATE, ALTER or DROP: the statements prepared before may read other columns.
bool ChangesTables(const std::string& sql) {
  std::size_t i = sql.find_first_not_of(" \t\r\n(");
  if (i == std::string::npos) return false;
  std::string verb = Upper(sql.substr(i, 6));
  return verb.starts_with("CREATE") || verb.starts_with("ALTER") || verb.starts_with("DROP");
}

}  // namespace

ConnectionOne& ConnectionOne::Get() {
  // Never destroyed: statement holders in other static objects may still be
  // torn down after this file's statics at exit.
  static ConnectionOne* one = new ConnectionOne;
  return *one;
}

bool ConnectionOne::Open(const KVTConnectionSettings& settings, std::string* error) {
  Close();
  std::string kind = Upper(settings.translate);
  std::unique_ptr<Backend> b;
  if (kind.empty() || kind == "SQLITE") {
    b = OpenSqliteBackend(settings, error);
  } else if (kind == "PGSQL") {
    b = OpenPgBackend(settings, error);
  } else {
    *error = "Translate \"" + settings.translate +
             "\" is not a database this till serves (use SQLITE or PGSQL)";
    return false;
  }
  if (!b) return false;
  if (decorate_) b = decorate_(std::move(b));
  kind_ = b->Kind();
  backend_ = std::move(b);
  settings_ = settings;
  ++generation_;
  ++backendVersion_;
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
  ++backendVersion_;
}

void ConnectionOne::Decorate(Decorator decorate) {
  Undecorate();
  decorate_ = std::move(decorate);
  if (backend_ && decorate_) {
    backend_ = decorate_(std::move(backend_));
    ++backendVersion_;
  }
}

void ConnectionOne::Undecorate() {
  if (!decorate_) return;
  decorate_ = nullptr;
  if (backend_) {
    backend_ = static_cast<BackendDecorator&>(*backend_).Release();
    ++backendVersion_;
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
  if (depth_ == 0 && !backend_->Begin(error)) return false;
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
  if (!backend_->Commit(error)) {
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
  if (!doomed_) {
    ok = backend_->Rollback(error);
    RolledBack();
  }
  --depth_;
  doomed_ = depth_ > 0;
  return ok;
}

bool ConnectionOne::Run(const std::function<bool(std::string*)>& run, std::string* error) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return false;
  }
  if (doomed_) {
    *error = "the transaction was cancelled; the statement was not run";
    return false;
  }
  bool ok = run(error);
  if (!ok) StatementFailed();
  return ok;
}

void ConnectionOne::StatementFailed() {
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
  if (preparedVersion_ != backendVersion_) {
    prepared_.clear();
    preparedVersion_ = backendVersion_;
  }
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
          error))
    return nullptr;
  // Texts built with their values in them would fill the cache without end;
  // the module's own statements are a few hundred.
  if (prepared_.size() >= 1000) prepared_.clear();
  prepared_.emplace(text, p);
  return p;
}

Backend* ConnectionOne::CounterBackend(std::string* error) {
  if (!backend_) {
    *error = "connection 1 is not open";
    return nullptr;
  }
  if (kind_ != DbKind::PostgreSQL) return backend_.get();
  if (!counterBackend_) counterBackend_ = OpenPgBackend(settings_, error);
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

bool Stmt::Execute() {
  ConnectionOne& c = ConnectionOne::Get();
  std::vector<BoundValue> params;
  params.swap(params_);
  std::string bindError;
  bindError.swap(bindError_);
  result_.Clear();
  row_ = -1;
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
  std::string error;
  bool ok = c.Run(
      [&](std::string* e) {
        return prepared_->statement->Execute(params, c.depth() > 0, &result_, e);
      },
      &error);
  if (!ok) {
    result_.Clear();
    return Fail(error);
  }
  return true;
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
  if (!bindError.empty()) return Fail(bindError + "; the statement was not run", true);
  Translation t;
  if (!Translate(text, &t)) return false;
  if (ChangesTables(t.sql)) c.ForgetPrepared();
  if (static_cast<int>(params.size()) != t.placeholders)
    return Fail("the statement takes " + std::to_string(t.placeholders) + " values, " +
                    std::to_string(params.size()) + " were bound",
                true);
  std::string error;
  bool ok = c.Run(
      [&](std::string* e) {
        return c.backend()->RunOnce(t.sql, params, c.depth() > 0, &result_, e);
      },
      &error);
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
  std::string kind = s.translate;
  for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (kind != "SQLITE" && kind != "PGSQL") {
    ConnectionOne::Get().SetLastError("Translate \"" + s.translate + "\" in " + file +
                                      " is not a database this till serves (SQLITE or PGSQL)");
    return false;
  }
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
