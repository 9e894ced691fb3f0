// Faults for tests of failure paths (kvtsqladmin.h): a backend decorator that
// a test puts around connection 1's backend. The connection itself knows
// nothing of faults; without a test asking for one, no decorator is there.
//
// Statements arrive here translated for the database, so the text a test
// names is compared with the dialect's rewrites undone where they touch what
// a test names: "$1" reads "?", "||" reads "+", KVTLEFT reads LEFT, the added
// NULLS FIRST / NULLS LAST are dropped, and blanks count as one. Table and
// column names pass the dialect unchanged.
#include <cctype>
#include <memory>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsqladmin.h"

namespace kvt::sql {
namespace {

std::string Comparable(const std::string& sql) {
  std::string out;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else if (c == '$' && i + 1 < sql.size() &&
               std::isdigit(static_cast<unsigned char>(sql[i + 1]))) {
      while (i + 1 < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i + 1]))) ++i;
      out += '?';
    } else if (c == '|' && i + 1 < sql.size() && sql[i + 1] == '|') {
      ++i;
      out += '+';
    } else {
      out += c;
    }
  }
  auto replace = [&out](const std::string& what, const std::string& with) {
    for (std::size_t at = 0; (at = out.find(what, at)) != std::string::npos; at += with.size())
      out.replace(at, what.size(), with);
  };
  replace("KVTLEFT(", "LEFT(");
  replace(" NULLS FIRST", "");
  replace(" NULLS LAST", "");
  return out;
}

// What the test asked for. Shared by the decorator and the statements it
// prepared, so a statement outliving its decorator stays safe.
struct Plan {
  std::string containing;  // Comparable()
  int count = 0;
  bool failCommit = false;

  bool StatementFails(const std::string& sql, std::string* error) {
    if (count <= 0 || Comparable(sql).find(containing) == std::string::npos) return false;
    --count;
    *error = "injected failure";
    return true;
  }
};

class FaultyStatement : public PreparedStatement {
 public:
  FaultyStatement(std::string sql, std::unique_ptr<PreparedStatement> inner,
                  std::shared_ptr<Plan> plan)
      : sql_(std::move(sql)), inner_(std::move(inner)), plan_(std::move(plan)) {}
  bool Execute(const std::vector<BoundValue>& params, bool inTransaction, ResultData* out,
               std::string* error) override {
    if (plan_->StatementFails(sql_, error)) return false;
    return inner_->Execute(params, inTransaction, out, error);
  }

 private:
  std::string sql_;
  std::unique_ptr<PreparedStatement> inner_;
  std::shared_ptr<Plan> plan_;
};

class FaultyBackend : public BackendDecorator {
 public:
  FaultyBackend(std::unique_ptr<Backend> inner, std::shared_ptr<Plan> plan)
      : BackendDecorator(std::move(inner)), plan_(std::move(plan)) {}

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    auto inner = BackendDecorator::Prepare(sql, error);
    if (!inner) return nullptr;
    return std::make_unique<FaultyStatement>(sql, std::move(inner), plan_);
  }
  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool inTransaction,
               ResultData* out, std::string* error) override {
    if (plan_->StatementFails(sql, error)) return false;
    return BackendDecorator::RunOnce(sql, params, inTransaction, out, error);
  }
  bool RunScript(const std::string& sql, std::string* error) override {
    if (plan_->StatementFails(sql, error)) return false;
    return BackendDecorator::RunScript(sql, error);
  }
  // Connection 1 commits the backend only at the outermost level.
  bool Commit(std::string* error) override {
    if (!plan_->failCommit) return BackendDecorator::Commit(error);
    plan_->failCommit = false;
    std::string ignored;
    inner().Rollback(&ignored);
    *error = "injected failure of the commit";
    return false;
  }

 private:
  std::shared_ptr<Plan> plan_;
};

// The plan of the decorator on connection 1, installed on first use.
Plan& Installed() {
  static std::shared_ptr<Plan> plan;
  ConnectionOne& c = ConnectionOne::Get();
  if (!c.decorated() || !plan) {
    plan = std::make_shared<Plan>();
    c.Decorate([p = plan](std::unique_ptr<Backend> inner) {
      return std::make_unique<FaultyBackend>(std::move(inner), p);
    });
  }
  return *plan;
}

}  // namespace
}  // namespace kvt::sql

void KVTSqlFailStatements(const char* containing, int count) {
  kvt::sql::Plan& plan = kvt::sql::Installed();
  plan.containing = kvt::sql::Comparable(containing ? containing : "");
  plan.count = count;
}

void KVTSqlFailNextCommit() {
  kvt::sql::Installed().failCommit = true;
}

void KVTSqlClearFaults() {
  kvt::sql::ConnectionOne::Get().Undecorate();
}
