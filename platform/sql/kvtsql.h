// The module's view of the database: connection number 1, the statement
// holders that share it (KVTConnection, KVTSConnection, the raw vw handles),
// transactions, the ordered fetch, form result sets, record numbers (NextNum)
// and the one quoting helper for values formatted into SQL text.
//
// Connection 1 is one connection per process, opened by the host from
// ".\KVTSQL.ini". Every holder runs its statements on it, so a transaction
// begun through one holder covers what all of them do until it ends.
//
// SQL is the module's own text. The backend translates the few constructs its
// database lacks (NUMVAL, STR, LEFT, dbo.TRIM, {MM/DD/YYYY}, + between texts,
// a bare column beside COUNT(1)); see platform/sql/dialect.h.
//
// Results, never exceptions: an int above 0 or true is success. A failure
// leaves its reason in LastError() of the holder and in KVTLastSqlError().
// Everything here belongs to one thread at a time (the user-interface thread).
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/sql/orderedfetch.h"
#include "platform/sql/resultset.h"
#include "platform/win/window.h"

// ---------------------------------------------------------------------------
// Connection 1
// ---------------------------------------------------------------------------

// Where connection 1 goes. Read from section "KVTSQL Connection One":
//   Translate  "SQLITE" (default when empty) or "PGSQL"
//   DataPath   SQLITE: the database file; a folder means "<folder>/kvtpos.db"
//   Server, Database, UserName, Password, Port   PGSQL: where and who
//   ConnInfo   PGSQL: a libpq connection string, used instead of the above
//   Schema     PGSQL: the schema the tables live in (default: the server's)
struct KVTConnectionSettings {
  std::string translate = "SQLITE";
  std::string dataPath;
  std::string server;
  std::string database;
  std::string userName;
  std::string password;
  std::string port;
  std::string connInfo;
  std::string schema;
  // A commit returns once it is on disk, so a confirmed sale survives a
  // power cut; it lets go of its locks first and then waits for the disk, so
  // other tills do not wait for its flush. false: commits do not wait for the
  // disk (SQLITE synchronous=NORMAL, measured by the benchmarks; PGSQL
  // synchronous_commit off, only the session of the record-number counters).
  bool synchronousFull = true;
  // Make the database when it is missing (SQLITE: the file; PGSQL: the
  // schema). Only the schema tool's init and demo, test databases and
  // benchmarks ask for it: a till refuses a missing database, naming it.
  bool create = false;
};

// Reads the settings; false (with KVTLastSqlError) when Translate names a
// database this build does not serve.
KVT_EXPORT bool KVTReadConnectionSettings(const char* iniPath, KVTConnectionSettings* out);

// Opens connection 1 (closing one that is open). SQLITE runs in WAL mode;
// PGSQL connects through libpq at READ COMMITTED. A missing database file or
// schema is refused unless `create` asks for it. False with KVTLastSqlError
// when the database cannot be reached.
//
// The connection is watched from then on: before each write transaction and
// each statement outside one, the SQLite file is checked by device and inode
// and the PostgreSQL session by its state; a database that went away is
// opened again (PostgreSQL with a growing pause between attempts). While it
// cannot be, every statement fails with "The database is not available: ..."
// (KVTSqlUnavailable), never with an empty answer.
KVT_EXPORT bool KVTOpenConnectionOne(const char* iniPath = ".\\KVTSQL.ini");
KVT_EXPORT bool KVTOpenConnectionOne(const KVTConnectionSettings& settings);
// Closes connection 1; an open transaction is rolled back. Holders that
// outlive it fail until a connection is opened again, then carry on.
KVT_EXPORT void KVTCloseConnectionOne();
KVT_EXPORT bool KVTConnectionOneIsOpen();
// "SQLITE" or "PGSQL"; "" while connection 1 is closed.
KVT_EXPORT const char* KVTDatabaseKind();
// The reason of the last failure of any holder in this process ("" after none).
KVT_EXPORT const char* KVTLastSqlError();
// The start of every failure that comes from the database being away rather
// than from a statement: "The database is not available: ".
KVT_EXPORT extern const char* const KVTSqlUnavailable;

// The text to put between single quotes in SQL: every apostrophe doubled, so
// no typed value can change a statement. "O'Neil" -> "O''Neil". Null -> "".
KVT_EXPORT std::string KVTSqlQuote(const char* value);

// ---------------------------------------------------------------------------
// Transactions (connection-wide)
// ---------------------------------------------------------------------------
//
// BeginTran/CommitTran/CancelTran of any holder act on connection 1. They
// nest by depth: only the outermost CommitTran commits. A CancelTran at any
// depth rolls back the whole unit of work at once; until the outermost level
// ends (by CancelTran, or by CommitTran, which then reports failure) every
// statement fails without running.
// A statement that fails inside a transaction cancels the unit the same way
// (PostgreSQL cannot go on after a failed statement; SQLite is made to agree),
// so nothing is ever half saved.
//
// On SQLite a transaction is BEGIN IMMEDIATE after the writer lock (flock on
// "<database>.lock"), so writers queue in the kernel and never fail half way.

// True while a change made on connection 1 is queued rather than run (a
// kvt::sql::Pipeline and a unit of work are open): it counts as one row
// changed now, and its real answer comes with the pipeline's next send.
KVT_EXPORT bool KVTChangesQueued();

// ---------------------------------------------------------------------------
// KVTConnection: prepared statements named by their SQL text buffer
// ---------------------------------------------------------------------------
//
// A statement is the buffer holding its SQL text; every call names it by that
// pointer. One text is one statement (a second one after ";" is refused). PrepareSQL reads the
// text; preparing again after the text changed prepares the new text. Parameters are bound left to
// right, one BindParam per
// "?", and ExecuteSQL starts the next round of binding.
//
// Bind types: 0 text (as given), 2 number as text ("12.50", " -3"; empty binds
// NULL; anything else fails), 3 date ("MM/DD/YYYY", "MMDDYYYY" or
// "YYYY-MM-DD"; empty binds NULL; stored as a date). A failed bind makes the
// following ExecuteSQL fail without running anything. A number goes to the
// database as its text and takes the type of the column it meets (a text
// column keeps "12.50" as written); on SQLite compare it with a column, not
// with an expression such as NUMVAL(X) = ?, which would compare it as text.
//
// Columns read back as text: NULL as "", dates as "MM/DD/YYYY", numbers in
// their shortest exact form (100, 12.5).
class KVT_EXPORT KVTConnection {
 public:
  explicit KVTConnection(int connectionNumber = 1);
  ~KVTConnection();
  KVTConnection(const KVTConnection&) = delete;
  KVTConnection& operator=(const KVTConnection&) = delete;

  int PrepareSQL(const char* stmt, const char* cursorName = nullptr);
  int BindParam(const char* stmt, const char* value, int type);
  // Runs the statement: above 0 on success. A SELECT's rows are then read with
  // FetchNext; for INSERT, UPDATE and DELETE RowsAffected tells how many rows
  // changed (0 is still success).
  int ExecuteSQL(const char* stmt);
  long RowsAffected(const char* stmt) const;
  // True while a row came; its columns stay valid until the next FetchNext,
  // ExecuteSQL or FreeStatement of this statement.
  bool FetchNext(const char* stmt);
  // 1-based; "" for NULL, before the first row and beyond the last column.
  const char* ColumnVar(const char* stmt, int column);
  int ColumnCount(const char* stmt) const;
  void FreeStatement(const char* stmt);

  int BeginTran(const char* stmt);
  int CommitTran(const char* stmt);
  int CancelTran(const char* stmt);

  const char* LastError() const;

 private:
  struct Impl;
  Impl* impl_;
};

// ---------------------------------------------------------------------------
// KVTSConnection: one complete SQL text at a time, values quoted in
// ---------------------------------------------------------------------------
class KVT_EXPORT KVTSConnection {
 public:
  KVTSConnection(int connectionNumber, HINSTANCE app, int flags = 0);
  ~KVTSConnection();
  KVTSConnection(const KVTSConnection&) = delete;
  KVTSConnection& operator=(const KVTSConnection&) = delete;

  // Runs the text: above 0 on success; a SELECT's rows are then fetched.
  int ExecSQL(const char* sql);
  bool FetchNext();
  const char* ColumnVar(int column);  // 1-based, as KVTConnection::ColumnVar
  int ColumnCount() const;
  // INSERT, UPDATE, DELETE (or DDL): the number of rows changed, 0 or more;
  // -1 when the statement failed. A conditional counter update that changed
  // nothing answers 0, so the caller can read the counter again.
  long ExecSQLChange(const char* sql);
  void FreeStatement();

  int BeginTran();
  int CommitTran();
  int CancelTran();

  const char* LastError() const;

 private:
  struct Impl;
  Impl* impl_;
};

// ---------------------------------------------------------------------------
// Raw statement handles of the binding library
// ---------------------------------------------------------------------------
//
// vwConnect gives a handle on connection 1 (null while it is closed); the
// handle holds one statement at a time. Call vwFreeStatement, then
// vwDisconnect, which frees the handle.
struct KVTvwHandle;
using HVWCONN = KVTvwHandle*;

KVT_EXPORT HVWCONN vwConnect(HINSTANCE app, int connectionNumber, int flags);
KVT_EXPORT int KVTvwExecSQL(HVWCONN handle, const char* sql);  // above 0 on success
// Kept for the binding library's call order; every result is fetchable. Returns 1.
KVT_EXPORT int vwSetFetchable(HVWCONN handle, int fetchable = 1);
KVT_EXPORT int KVTvwFetchNext(HVWCONN handle);                        // non-zero when a row came
KVT_EXPORT const char* KVTvwColumn(HVWCONN handle, int column);       // 1-based
KVT_EXPORT long KVTvwExecSQLChange(HVWCONN handle, const char* sql);  // rows changed, -1 failed
KVT_EXPORT void vwFreeStatement(HVWCONN handle);
KVT_EXPORT void vwDisconnect(HVWCONN handle);

// ---------------------------------------------------------------------------
// Record numbers
// ---------------------------------------------------------------------------
//
// The next free RECNO of `table`: handed out from the counter table KVTNEXTNUM
// in blocks of `block` (at least 1) kept by this process, never twice, also
// across processes and computers. A new block starts above both the counter
// and the highest RECNO already in the table. Numbers taken inside a
// transaction that is cancelled are not reused by this process (their rows are
// gone with it). 0 on failure (KVTLastSqlError says why). The last two
// arguments are those of the base library's call (0, 1) and are not consulted.
KVT_EXPORT double NextNum(HINSTANCE host, int connectionNumber, const char* table, int block,
                          int field = 0, int flag = 1);
KVT_EXPORT double NextNum(int connectionNumber, const char* table, int block, int field = 0);
