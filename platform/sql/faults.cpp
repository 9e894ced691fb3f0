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
  // The connection is lost at the next outermost commit, after the work
  // was kept (commitKept) or rolled back; or at the next statement.
  bool loseAtCommit = false;
  bool commitKept = false;
  bool awayAfterCommit = false;
  bool loseAtStatement = false;
  bool away = false;  // every connection, also a new one, is lost at once

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
    if (LoseNow(error)) return false;
    if (plan_->StatementFails(sql_, error)) return false;
    return inner_->Execute(params, inTransaction, out, error);
  }

 private:
  bool LoseNow(std::string* error);

  std::string sql_;
  std::unique_ptr<PreparedStatement> inner_;
  std::shared_ptr<Plan> plan_;
  class FaultyBackend* backend_ = nullptr;
  friend class FaultyBackend;
};

class FaultyBackend : public BackendDecorator {
 public:
  FaultyBackend(std::unique_ptr<Backend> inner, std::shared_ptr<Plan> plan)
      : BackendDecorator(std::move(inner)), plan_(std::move(plan)) {}

  std::unique_ptr<PreparedStatement> Prepare(const std::string& sql, std::string* error) override {
    auto inner = BackendDecorator::Prepare(sql, error);
    if (!inner) return nullptr;
    auto st = std::make_unique<FaultyStatement>(sql, std::move(inner), plan_);
    st->backend_ = this;
    return st;
  }
  bool RunOnce(const std::string& sql, const std::vector<BoundValue>& params, bool inTransaction,
               ResultData* out, std::string* error) override {
    if (LoseNow(error)) return false;
    if (plan_->StatementFails(sql, error)) return false;
    return BackendDecorator::RunOnce(sql, params, inTransaction, out, error);
  }
  // A lost session stays lost: connection 1 has to open a new one.
  bool LoseNow(std::string* error) {
    if (plan_->loseAtStatement || plan_->away) {
      plan_->loseAtStatement = false;
      lost_ = true;
    }
    if (!lost_) return false;
    *error = "injected loss of the connection";
    return true;
  }
  bool StillThere(std::string* why) override {
    if (!lost_ && !plan_->away) return BackendDecorator::StillThere(why);
    *why = "injected loss of the connection";
    return false;
  }
  bool Lost() override { return lost_ || BackendDecorator::Lost(); }
  bool Begin(std::string* error) override {
    if (LoseNow(error)) return false;
    return BackendDecorator::Begin(error);
  }
  bool RunScript(const std::string& sql, std::string* error) override {
    if (plan_->StatementFails(sql, error)) return false;
    return BackendDecorator::RunScript(sql, error);
  }
  // Connection 1 commits the backend only at the outermost level.
  bool Commit(std::string* error) override {
    if (LoseNow(error)) return false;
    if (plan_->loseAtCommit) {
      plan_->loseAtCommit = false;
      std::string ignored;
      if (plan_->commitKept)
        inner().Commit(&ignored);
      else
        inner().Rollback(&ignored);
      lost_ = true;
      plan_->away = plan_->awayAfterCommit;
      *error = "injected loss of the connection during the commit";
      return false;
    }
    if (!plan_->failCommit) return BackendDecorator::Commit(error);
    plan_->failCommit = false;
    std::string ignored;
    inner().Rollback(&ignored);
    *error = "injected failure of the commit";
    return false;
  }

 private:
  std::shared_ptr<Plan> plan_;
  bool lost_ = false;
};

bool FaultyStatement::LoseNow(std::string* error) {
  // A statement prepared on an earlier backend has none to ask.
  ConnectionOne& c = ConnectionOne::Get();
  if (!backend_ || c.backend() != backend_) return false;
  return backend_->LoseNow(error);
}

// The plan of the decorator on connection 1, installed on first use.
Plan& Installed() {
  static std::shared_ptr<Plan> plan;
  ConnectionOne& c = ConnectionOne::Get();
  if (!c.decorated() || !plan) {
    plan = std::make_shared<Plan>();
    c.Decorate([p = plan](std::unique_ptr<Backend> inner) -> std::unique_ptr<BackendDecorator> {
      if (p->away) return nullptr;  // the database cannot be reached
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

void KVTSqlLoseConnectionAtCommit(bool kept, bool stayAway) {
  kvt::sql::Plan& plan = kvt::sql::Installed();
  plan.loseAtCommit = true;
  plan.commitKept = kept;
  plan.awayAfterCommit = stayAway;
}

void KVTSqlLoseConnection() {
  kvt::sql::Installed().loseAtStatement = true;
}

void KVTSqlDatabaseAway(bool away) {
  kvt::sql::Installed().away = away;
}

void KVTSqlClearFaults() {
  kvt::sql::ConnectionOne::Get().Undecorate();
}
