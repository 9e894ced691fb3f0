// The statement holders on connection 1: KVTConnection (statements named by
// their SQL buffer), KVTSConnection (one complete text at a time) and the raw
// vw handles of the binding library.
#include <map>
#include <memory>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsql.h"

using kvt::sql::ConnectionOne;
using kvt::sql::Stmt;

namespace {

const char* kNotConnectionOne = "only connection 1 (the host's database) is served here";

int Result(bool ok) {
  return ok ? 1 : 0;
}

// Transaction calls shared by the holders; the error goes to `*error`.
int TranCall(bool (ConnectionOne::*call)(std::string*), std::string* error) {
  std::string e;
  bool ok = (ConnectionOne::Get().*call)(&e);
  if (!ok) {
    *error = e;
    ConnectionOne::Get().SetLastError(e);
  }
  return Result(ok);
}

}  // namespace

// ---- KVTConnection ------------------------------------------------------------

struct KVTConnection::Impl {
  int number = 1;
  std::map<const char*, std::unique_ptr<Stmt>> statements;
  std::string error;

  bool Usable() {
    if (number == 1) return true;
    error = kNotConnectionOne;
    ConnectionOne::Get().SetLastError(error);
    return false;
  }
  Stmt* Find(const char* stmt) {
    auto it = statements.find(stmt);
    return it == statements.end() ? nullptr : it->second.get();
  }
  Stmt* Get(const char* stmt) {
    auto& s = statements[stmt];
    if (!s) s = std::make_unique<Stmt>();
    return s.get();
  }
  int Done(Stmt* s, bool ok) {
    if (!ok) error = s->error();
    return Result(ok);
  }
};

KVTConnection::KVTConnection(int connectionNumber) : impl_(new Impl) {
  impl_->number = connectionNumber;
}

KVTConnection::~KVTConnection() {
  delete impl_;
}

int KVTConnection::PrepareSQL(const char* stmt, const char*) {
  if (!stmt || !impl_->Usable()) return 0;
  Stmt* s = impl_->Get(stmt);
  return impl_->Done(s, s->Prepare(stmt));
}

int KVTConnection::BindParam(const char* stmt, const char* value, int type) {
  if (!stmt || !impl_->Usable()) return 0;
  Stmt* s = impl_->Get(stmt);
  return impl_->Done(s, s->Bind(value, type));
}

int KVTConnection::ExecuteSQL(const char* stmt) {
  if (!stmt || !impl_->Usable()) return 0;
  Stmt* s = impl_->Get(stmt);
  // Text put in the buffer since PrepareSQL is prepared anew.
  if (s->text() != stmt && !s->Prepare(stmt, false)) return impl_->Done(s, false);
  return impl_->Done(s, s->Execute());
}

long KVTConnection::RowsAffected(const char* stmt) const {
  Stmt* s = impl_->Find(stmt);
  return s ? s->Changes() : 0;
}

bool KVTConnection::FetchNext(const char* stmt) {
  Stmt* s = impl_->Find(stmt);
  return s && s->Fetch();
}

const char* KVTConnection::ColumnVar(const char* stmt, int column) {
  Stmt* s = impl_->Find(stmt);
  return s ? s->Column(column) : "";
}

int KVTConnection::ColumnCount(const char* stmt) const {
  Stmt* s = impl_->Find(stmt);
  return s ? s->ColumnCount() : 0;
}

void KVTConnection::FreeStatement(const char* stmt) {
  impl_->statements.erase(stmt);
}

int KVTConnection::BeginTran(const char*) {
  return impl_->Usable() ? TranCall(&ConnectionOne::Begin, &impl_->error) : 0;
}
int KVTConnection::CommitTran(const char*) {
  return impl_->Usable() ? TranCall(&ConnectionOne::Commit, &impl_->error) : 0;
}
int KVTConnection::CancelTran(const char*) {
  return impl_->Usable() ? TranCall(&ConnectionOne::Cancel, &impl_->error) : 0;
}

const char* KVTConnection::LastError() const {
  return impl_->error.c_str();
}

// ---- KVTSConnection -----------------------------------------------------------

struct KVTSConnection::Impl {
  int number = 1;
  Stmt stmt;
  std::string error;

  bool Usable() {
    if (number == 1) return true;
    error = kNotConnectionOne;
    ConnectionOne::Get().SetLastError(error);
    return false;
  }
};

KVTSConnection::KVTSConnection(int connectionNumber, HINSTANCE, int) : impl_(new Impl) {
  impl_->number = connectionNumber;
}

KVTSConnection::~KVTSConnection() {
  delete impl_;
}

int KVTSConnection::ExecSQL(const char* sql) {
  if (!sql || !impl_->Usable()) return 0;
  bool ok = impl_->stmt.ExecuteText(sql);
  if (!ok) impl_->error = impl_->stmt.error();
  return Result(ok);
}

bool KVTSConnection::FetchNext() {
  return impl_->stmt.Fetch();
}

const char* KVTSConnection::ColumnVar(int column) {
  return impl_->stmt.Column(column);
}

int KVTSConnection::ColumnCount() const {
  return impl_->stmt.ColumnCount();
}

long KVTSConnection::ExecSQLChange(const char* sql) {
  if (!ExecSQL(sql)) return -1;
  return impl_->stmt.Changes();
}

void KVTSConnection::FreeStatement() {
  impl_->stmt.Free();
}

int KVTSConnection::BeginTran() {
  return impl_->Usable() ? TranCall(&ConnectionOne::Begin, &impl_->error) : 0;
}
int KVTSConnection::CommitTran() {
  return impl_->Usable() ? TranCall(&ConnectionOne::Commit, &impl_->error) : 0;
}
int KVTSConnection::CancelTran() {
  return impl_->Usable() ? TranCall(&ConnectionOne::Cancel, &impl_->error) : 0;
}

const char* KVTSConnection::LastError() const {
  return impl_->error.c_str();
}

// ---- raw vw handles -------------------------------------------------------------

struct KVTvwHandle {
  Stmt stmt;
};

HVWCONN vwConnect(HINSTANCE, int connectionNumber, int) {
  if (connectionNumber != 1) {
    ConnectionOne::Get().SetLastError(kNotConnectionOne);
    return nullptr;
  }
  if (!ConnectionOne::Get().IsOpen()) {
    ConnectionOne::Get().SetLastError("connection 1 is not open");
    return nullptr;
  }
  return new KVTvwHandle;
}

int KVTvwExecSQL(HVWCONN handle, const char* sql) {
  if (!handle || !sql) return 0;
  return Result(handle->stmt.ExecuteText(sql));
}

int vwSetFetchable(HVWCONN handle, int) {
  return handle ? 1 : 0;
}

int KVTvwFetchNext(HVWCONN handle) {
  return handle && handle->stmt.Fetch() ? 1 : 0;
}

const char* KVTvwColumn(HVWCONN handle, int column) {
  return handle ? handle->stmt.Column(column) : "";
}

long KVTvwExecSQLChange(HVWCONN handle, const char* sql) {
  if (!handle || !sql || !handle->stmt.ExecuteText(sql)) return -1;
  return handle->stmt.Changes();
}

void vwFreeStatement(HVWCONN handle) {
  if (handle) handle->stmt.Free();
}

void vwDisconnect(HVWCONN handle) {
  delete handle;
}
