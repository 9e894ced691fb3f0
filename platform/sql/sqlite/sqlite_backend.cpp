// Connection 1 on an SQLite database file: WAL, each commit flushed once
// its lock is let go, writers queued on a kernel lock beside the database,
// the module's functions.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sql/backend.h"
#include "platform/win/profile.h"

namespace kvt::sql {
namespace {

// ---- the module's functions -------------------------------------------------

void NumvalFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      sqlite3_result_double(ctx, 0);
      break;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      sqlite3_result_double(ctx, sqlite3_value_double(v));
      break;
    default:
      sqlite3_result_double(ctx, NumVal(reinterpret_cast<const char*>(sqlite3_value_text(v))));
  }
}

void StrFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
  }
  double x = sqlite3_value_type(argv[0]) == SQLITE_TEXT
                 ? NumVal(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])))
                 : sqlite3_value_double(argv[0]);
  int length = argc > 1 ? sqlite3_value_int(argv[1]) : 10;
  int decimals = argc > 2 ? sqlite3_value_int(argv[2]) : 0;
  std::optional<std::string> s = Str(x, length, decimals);
  if (!s)
    sqlite3_result_null(ctx);
  else
    sqlite3_result_text(ctx, s->c_str(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
}

// LEFT(text, n): the first n characters (UTF-8 aware).
void LeftFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const unsigned char* s = sqlite3_value_text(argv[0]);
  int bytes = sqlite3_value_bytes(argv[0]);
  long n = sqlite3_value_int64(argv[1]);
  if (n < 0) {
    sqlite3_result_null(ctx);
    return;
  }
  int end = 0;
  for (long chars = 0; end < bytes && chars < n; ++chars) {
    ++end;
    while (end < bytes && (s[end] & 0xC0) == 0x80) ++end;
  }
  sqlite3_result_text(ctx, reinterpret_cast<const char*>(s), end, SQLITE_TRANSIENT);
}

// ---- the database -----------------------------------------------------------

struct FileId {
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino; }
};

bool IdOf(const std::string& path, FileId* id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  *id = {st.st_dev, st.st_ino};
  return true;
}

// Copies the write-ahead log into the database file on a thread of its own
// once the log has grown, on a connection of its own. Done by the till whose
// commit grew it, the copy held the writers' lock while the other tills
// waited, and made that till's sale wait for the disk a second time.
class Checkpointer {
 public:
  static constexpr int kLogPages = 1000;  // as SQLite's own automatic copy

  Checkpointer(std::string file, FileId id) : file_(std::move(file)), id_(id) {}
  ~Checkpointer() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
  }
  Checkpointer(const Checkpointer&) = delete;
  Checkpointer& operator=(const Checkpointer&) = delete;

  // After each commit on the till's connection, with the log's length.
  // Without a connection of its own, or when tills saving without a pause
  // outrun the thread, the till copies, as SQLite would: the log stays
  // bounded.
  int Committed(sqlite3* db, const char* name, int pages) {
    if (pages < kLogPages) return SQLITE_OK;
    if (unusable_ || pages >= 4 * kLogPages)
      sqlite3_wal_checkpoint(db, name);
    else
      Wake();
    return SQLITE_OK;
  }

 private:
  void Wake() {
    {
      std::lock_guard<std::mutex> hold(mutex_);
      due_ = true;
      if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    wake_.notify_one();
  }
  void Run() {
    sqlite3* db = nullptr;
    FileId opened;
    // Only the database the till has open: a file put in its place is not
    // this one's to copy into.
    bool ok = sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                              nullptr) == SQLITE_OK &&
              IdOf(file_, &opened) && opened == id_ &&
              // a first read opens the log
              sqlite3_exec(db, "SELECT COUNT(*) FROM sqlite_master", nullptr, nullptr, nullptr) ==
                  SQLITE_OK;
    unusable_ = !ok;
    if (db) {
      // The till's connection closes after this one and removes the log.
      int keep = 1;
      sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stop_ || due_; });
      if (stop_) break;
      due_ = false;
      lock.unlock();
      if (ok) sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
      lock.lock();
    }
    lock.unlock();
    sqlite3_close_v2(db);
  }

  const std::string file_;
  const FileId id_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool due_ = false, stop_ = false;
  std::atomic<bool> unusable_{false};
  std::thread thread_;
};

struct Db {
  sqlite3* db = nullptr;
  std::unique_ptr<Checkpointer> checkpointer;  // stopped before db closes
  int lockFd = -1;
  bool writerLocked = false;
  std::string file;
  FileId fileId, walId;  // what was opened; the write-ahead log beside it
  bool haveWal = false;
  int lastCode = SQLITE_OK;
  // A commit returns once its log is on disk. The flush is made after the
  // writer lock is let go, so the tills queued behind this one wait for its
  // statements only, and their flushes overlap the next till's work.
  bool syncAfterCommit = false;
  bool committed = false;  // since the last flush
  int walFd = -1;          // the log as this connection opened it, once written

  // The write-ahead log's hook: after each commit on this connection.
  static int Committed(void* self, sqlite3* conn, const char* name, int pages) {
    auto* d = static_cast<Db*>(self);
    d->committed = true;
    return d->checkpointer->Committed(conn, name, pages);
  }

  // The log flushed up to this connection's last commit, the writer lock
  // let go first. The log stays while this connection is open, so it is
  // opened once, by the name SQLite gave it (beside the file a link leads
  // to). A flush that fails leaves the commit in doubt.
  bool SyncCommitted(std::string* error) {
    if (!committed || !syncAfterCommit) return true;
    committed = false;
    if (walFd < 0)
      walFd = ::open(sqlite3_filename_wal(sqlite3_db_filename(db, "main")), O_RDONLY | O_CLOEXEC);
    if (walFd >= 0 && ::fdatasync(walFd) == 0) return true;
    lastCode = SQLITE_IOERR;
    *error = "the disk did not confirm the commit: " + std::string(std::strerror(errno));
    return false;
  }

  ~Db() {
    checkpointer.reset();
    if (db) {
      // The last connection to close deletes the write-ahead log by its name.
      // When the database file was replaced, the log now at that name may be
      // another till's, of the new file: it must stay.
      FileId now;
      if (!haveWal || !IdOf(file + "-wal", &now) || !(now == walId)) {
        int keep = 1;
        sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
      }
      sqlite3_close_v2(db);  // statements still held finalize later
    }
    if (lockFd >= 0) ::close(lockFd);
    if (walFd >= 0) ::close(walFd);
  }

  // The file at the path is still the one opened.
  bool StillThere(std::string* why) const {
    FileId now;
    if (!IdOf(file, &now)) {
      *why = "the database file " + file + " is missing";
      return false;
    }
    if (!(now == fileId)) {
      *why = "the database file " + file + " was replaced";
      return false;
    }
    return true;
  }

  // Writers wait in the kernel's queue for the lock file, in order.
  bool LockWriter(std::string* error) {
    if (writerLocked) return true;
    while (::flock(lockFd, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      *error = std::string("cannot lock the database for writing: ") + std::strerror(errno);
      return false;
    }
    writerLocked = true;
    return true;
  }
  void UnlockWriter() {
    if (!writerLocked) return;
    ::flock(lockFd, LOCK_UN);
    writerLocked = false;
  }

  std::string Error() {
    lastCode = sqlite3_errcode(db) & 0xff;
    return sqlite3_errmsg(db);
  }

  bool Exec(const char* sql, std::string* error) {
    char* msg = nullptr;
    lastCode = SQLITE_OK;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
      std::string e = Error();
      *error = msg ? msg : e;
      sqlite3_free(msg);
      return false;
    }
    return true;
  }
};

bool IsDateType(const char* declared) {
  if (!declared) return false;
  std::string t = declared;
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t == "DATE";
}

std::string ColumnText(sqlite3_stmt* st, int i, bool isDate) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
      return "";
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
      return FormatDouble(sqlite3_column_double(st, i));
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      std::string s(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, i)));
      return isDate ? IsoToDisplayDate(s) : s;
    }
  }
}

// Binds, steps to the end collecting the rows, resets. Outside a
// transaction a statement that writes takes the writer lock around itself.
bool Run(Db& db, sqlite3_stmt* st, const std::vector<BoundValue>& params, bool inTransaction,
         ResultData* out, std::string* error) {
  db.lastCode = SQLITE_OK;
  sqlite3_reset(st);
  sqlite3_clear_bindings(st);
  int expected = sqlite3_bind_parameter_count(st);
  if (expected != static_cast<int>(params.size())) {
    *error = "the statement has " + std::to_string(expected) + " parameters, " +
             std::to_string(params.size()) + " were bound";
    return false;
  }
  for (std::size_t i = 0; i < params.size(); ++i) {
    int rc = params[i].isNull
                 ? sqlite3_bind_null(st, static_cast<int>(i + 1))
                 : sqlite3_bind_text(st, static_cast<int>(i + 1), params[i].text.c_str(),
                                     static_cast<int>(params[i].text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
      *error = db.Error();
      return false;
    }
  }
  bool writes = !sqlite3_stmt_readonly(st);
  bool locked = false;
  if (writes && !inTransaction) {
    if (!db.LockWriter(error)) return false;
    locked = true;
  }
  out->Clear();
  int columns = sqlite3_column_count(st);
  std::vector<bool> dates(columns);
  for (int i = 0; i < columns; ++i) {
    const char* name = sqlite3_column_name(st, i);
    out->names.push_back(name ? name : "");
    dates[i] = IsDateType(sqlite3_column_decltype(st, i));
  }
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::vector<std::string> row;
    row.reserve(columns);
    for (int i = 0; i < columns; ++i) row.push_back(ColumnText(st, i, dates[i]));
    out->rows.push_back(std::move(row));
  }
  bool ok = rc == SQLITE_DONE;
  if (!ok) *error = db.Error();
  out->changes = writes && ok ? static_cast<long>(sqlite3_changes64(db.db)) : 0;
  sqlite3_reset(st);
  if (locked) db.UnlockWriter();
  return db.SyncCommitted(error) && ok;
}

// A text is one statement, as on PostgreSQL: SQLite would quietly run the
// first of several and drop the rest. Finalizes `st` when refusing it.
bool OneStatement(sqlite3_stmt* st, const char* tail, std::string* error) {
  if (!st) {
    *error = "the SQL text holds no statement";
    return false;
  }
  for (const char* p = tail; p && *p; ++p) {
    if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';') {
      sqlite3_finalize(st);
      *error = "the SQL text holds more than one statement";
      return false;
    }
  }
  return true;
}

class SqliteStatement : public PreparedStatement {
 public:
  SqliteStatement(std::shared_ptr<Db> db, sqlite3_stmt* st) : db_(std::move(db)), st_(st) {}
  ~SqliteStatement() override { sqlite3_finalize(st_); }
  bool Execute(const std::vector<BoundValue>& params, bool inTransaction, ResultData* out,
               std::string* error) override {
    return Run(*db_, st_, params, inTransaction, out, error);
  }

 private:
  std::shared_ptr<Db> db_;
  sqlite3_stmt* st_;
};

class SqliteBackend : public Backend {
 public:
  explicit SqliteBackend(std::shared_ptr<Db> db) : db_(std::move(db)) {}
  ~SqliteBackend() override {
    if (db_->writerLocked) {
      std::string ignored;
      db_->Exec("ROLLBACK", &ignored);
      db_->UnlockWriter();
    }
  }

  DbKind Kind() const override { return DbKind::SQLite; }

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    db_->lastCode = SQLITE_OK;
    if (sqlite3_prepare_v3(db_->db, sql.c_str(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &st, &tail) != SQLITE_OK) {
      *error = db_->Error();
      return nullptr;
    }
    if (!OneStatement(st, tail, error)) return nullptr;
    return std::make_unique<SqliteStatement>(db_, st);
  }

  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool inTransaction,
               ResultData* out, std::string* error) override {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_->db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail) !=
        SQLITE_OK) {
      *error = db_->Error();
      return false;
    }
    if (!OneStatement(st, tail, error)) return false;
    bool ok = Run(*db_, st, params, inTransaction, out, error);
    sqlite3_finalize(st);
    return ok;
  }

  bool RunScript(const std::string& sql, std::string* error) override {
    bool locked = !db_->writerLocked;
    if (locked && !db_->LockWriter(error)) return false;
    bool ok = db_->Exec(sql.c_str(), error);
    if (locked) db_->UnlockWriter();
    return db_->SyncCommitted(error) && ok;
  }

  bool Begin(std::string* error) override {
    if (!db_->LockWriter(error)) return false;
    if (!db_->Exec("BEGIN IMMEDIATE", error)) {
      db_->UnlockWriter();
      return false;
    }
    return true;
  }

  bool Commit(std::string* error) override {
    bool ok = db_->Exec("COMMIT", error);
    if (!ok) {
      std::string ignored;
      db_->Exec("ROLLBACK", &ignored);
    }
    db_->UnlockWriter();
    return db_->SyncCommitted(error) && ok;
  }

  bool Rollback(std::string* error) override {
    bool ok = sqlite3_get_autocommit(db_->db) || db_->Exec("ROLLBACK", error);
    db_->UnlockWriter();
    return ok;
  }

  bool TableColumns(const std::string& table, std::vector<ColumnInfo>* columns,
                    std::string* error) override {
    columns->clear();
    if (!IsSqlName(table)) {
      *error = "\"" + table + "\" is not a table name";
      return false;
    }
    ResultData r;
    if (!RunOnce("PRAGMA table_info(" + table + ")", {}, true, &r, error)) return false;
    for (const auto& row : r.rows) {
      ColumnInfo c;
      c.name = row[1];
      std::string t = row[2];
      for (char& ch : t) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (t == "DATE")
        c.type = ColumnType::Date;
      else if (t.find("INT") != std::string::npos)
        c.type = ColumnType::Integer;
      else if (t.find("DOUB") != std::string::npos || t.find("REAL") != std::string::npos ||
               t.find("FLOA") != std::string::npos || t.find("NUM") != std::string::npos)
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
               "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE "
               "NOCASE",
               {name}, true, &r, &error) &&
           !r.rows.empty();
  }

  bool IndexExists(const std::string& index) override {
    ResultData r;
    std::string error;
    BoundValue name{false, index, 0};
    return RunOnce("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE",
                   {name}, true, &r, &error) &&
           !r.rows.empty();
  }

  bool InstallFunctions(std::string*) override { return true; }  // registered at open

  bool StillThere(std::string* why) override { return db_->StillThere(why); }

  bool Lost() override {
    std::string why;
    int code = db_->lastCode;
    return code == SQLITE_IOERR || code == SQLITE_CANTOPEN || code == SQLITE_NOTADB ||
           code == SQLITE_READONLY || !db_->StillThere(&why);
  }

  bool CheckIntegrity(std::vector<std::string>* problems, std::string* error) override {
    problems->clear();
    ResultData r;
    if (!RunOnce("PRAGMA integrity_check", {}, false, &r, error)) return false;
    for (const auto& row : r.rows)
      if (!row.empty() && row[0] != "ok") problems->push_back(row[0]);
    return true;
  }

 private:
  std::shared_ptr<Db> db_;
};

std::string DatabaseFile(const std::string& dataPath) {
  std::string path = kvt::ResolvePath(dataPath);
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (!path.empty() && path.back() != '/') path += '/';
    path += "kvtpos.db";
  }
  return path;
}

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const KVTConnectionSettings& settings,
                                           std::string* error) {
  if (settings.dataPath.empty()) {
    *error = "DataPath is not set: SQLITE needs the database file";
    return nullptr;
  }
  std::string file = DatabaseFile(settings.dataPath);
  auto db = std::make_shared<Db>();
  db->file = file;
  struct stat st {};
  if (!settings.create && ::stat(file.c_str(), &st) != 0) {
    *error = "there is no database file " + file;
    return nullptr;
  }
  int openFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
  if (settings.create) openFlags |= SQLITE_OPEN_CREATE;
  int rc = sqlite3_open_v2(file.c_str(), &db->db, openFlags, nullptr);
  if (rc != SQLITE_OK) {
    *error = "cannot open the database " + file + ": " +
             (db->db ? db->Error() : std::string(sqlite3_errstr(rc)));
    return nullptr;
  }
  sqlite3_extended_result_codes(db->db, 1);
  sqlite3_busy_timeout(db->db, 30000);
  std::string lockFile = file + ".lock";
  db->lockFd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (db->lockFd < 0) {
    *error = "cannot open the lock file " + lockFile + ": " + std::strerror(errno);
    return nullptr;
  }
  // NORMAL flushes the log before each copy into the database and the
  // database after it; the flush of each commit is SyncCommitted's.
  db->syncAfterCommit = settings.synchronousFull;
  if (!db->Exec("PRAGMA journal_mode=WAL", error) ||
      !db->Exec("PRAGMA synchronous=NORMAL", error)) {
    *error = "cannot set up " + file + ": " + *error;
    return nullptr;
  }
  if (!IdOf(file, &db->fileId)) {
    *error = "there is no database file " + file;
    return nullptr;
  }
  db->haveWal = IdOf(file + "-wal", &db->walId);
  db->checkpointer = std::make_unique<Checkpointer>(file, db->fileId);
  sqlite3_wal_hook(db->db, Db::Committed, db.get());
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db->db, "NUMVAL", 1, flags, nullptr, NumvalFunction, nullptr, nullptr);
  for (int args = 1; args <= 3; ++args)
    sqlite3_create_function(db->db, "STR", args, flags, nullptr, StrFunction, nullptr, nullptr);
  sqlite3_create_function(db->db, "KVTLEFT", 2, flags, nullptr, LeftFunction, nullptr, nullptr);
  return std::make_unique<SqliteBackend>(std::move(db));
}

}  // namespace kvt::sql
