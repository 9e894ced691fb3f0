// A record of what connection 1 sends to its database (kvtsqladmin.h), for
// the benchmarks that compare a save with the same statements written by
// hand: a backend decorator that notes each statement as the database gets
// it, and each begin, commit and rollback.
#include <memory>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsqladmin.h"

namespace kvt::sql {
namespace {

using Log = std::vector<std::string>;

class TracedStatement : public PreparedStatement {
 public:
  TracedStatement(std::string sql, std::unique_ptr<PreparedStatement> inner, Log* log)
      : sql_(std::move(sql)), inner_(std::move(inner)), log_(log) {}
  bool Execute(const std::vector<BoundValue>& params, bool inTransaction, ResultData* out,
               std::string* error) override {
    log_->push_back(sql_);
    return inner_->Execute(params, inTransaction, out, error);
  }
  PreparedStatement* Undecorated() override { return inner_->Undecorated(); }
  const std::string& sql() const { return sql_; }

 private:
  std::string sql_;
  std::unique_ptr<PreparedStatement> inner_;
  Log* log_;
};

class TracingBackend : public BackendDecorator {
 public:
  TracingBackend(std::unique_ptr<Backend> inner, Log* log)
      : BackendDecorator(std::move(inner)), log_(log) {}
  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    auto inner = BackendDecorator::Prepare(sql, error);
    if (!inner) return nullptr;
    return std::make_unique<TracedStatement>(sql, std::move(inner), log_);
  }
  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool inTransaction,
               ResultData* out, std::string* error) override {
    log_->push_back(sql);
    return BackendDecorator::RunOnce(sql, params, inTransaction, out, error);
  }
  // A batch the database gets in one round trip is noted as such: every
  // step after the first with "+ " before it.
  bool RunBatch(std::vector<BatchStep>* steps, std::size_t* failed, std::string* error) override {
    if (!inner().Pipelines()) return Backend::RunBatch(steps, failed, error);
    for (std::size_t i = 0; i < steps->size(); ++i) {
      const BatchStep& s = (*steps)[i];
      auto* traced = dynamic_cast<TracedStatement*>(s.statement);
      std::string what = s.kind == BatchStep::Kind::Begin    ? "BEGIN"
                         : s.kind == BatchStep::Kind::Commit ? "COMMIT"
                         : traced                            ? traced->sql()
                                                             : "?";
      log_->push_back((i == 0 ? "" : "+ ") + what);
    }
    return inner().RunBatch(steps, failed, error);
  }
  bool Begin(std::string* error) override {
    log_->push_back("BEGIN");
    return BackendDecorator::Begin(error);
  }
  bool Commit(std::string* error) override {
    log_->push_back("COMMIT");
    return BackendDecorator::Commit(error);
  }
  bool Rollback(std::string* error) override {
    log_->push_back("ROLLBACK");
    return BackendDecorator::Rollback(error);
  }

 private:
  Log* log_;
};

}  // namespace
}  // namespace kvt::sql

void KVTSqlTraceStatements(std::vector<std::string>* into) {
  kvt::sql::ConnectionOne& c = kvt::sql::ConnectionOne::Get();
  if (!into) {
    c.Undecorate();
    return;
  }
  c.Decorate([into](std::unique_ptr<kvt::sql::Backend> inner) {
    return std::make_unique<kvt::sql::TracingBackend>(std::move(inner), into);
  });
}
