// Typed statements, rows by column name, and the scoped transaction.
#include "platform/sql/query.h"

#include <strings.h>
#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

#include "platform/sql/connection.h"

namespace kvt::sql {

Value Text(std::string_view text) {
  return {std::string(text), 0};
}

Value Number(std::string_view text) {
  return {std::string(text), 2};
}

Value Number(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return {buf, 2};
}

Value Date(std::string_view text) {
  return {std::string(text), 3};
}

// ---- Row --------------------------------------------------------------------

Row::Row(std::shared_ptr<const std::vector<std::string>> names, std::vector<std::string> values)
    : names_(std::move(names)), values_(std::move(values)) {}

int Row::Index(std::string_view column) const {
  for (std::size_t i = 0; i < names_->size(); ++i) {
    const std::string& n = (*names_)[i];
    if (n.size() == column.size() && strncasecmp(n.data(), column.data(), n.size()) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

bool Row::Has(std::string_view column) const {
  return Index(column) >= 0;
}

const std::string& Row::operator[](std::string_view column) const {
  static const std::string kEmpty;
  int i = Index(column);
  assert(i >= 0 && "the statement returns no column of that name");
  return i >= 0 && i < static_cast<int>(values_.size()) ? values_[i] : kEmpty;
}

double Row::Num(std::string_view column) const {
  return std::atof((*this)[column].c_str());
}

// ---- Query ------------------------------------------------------------------

Result Result::Failure(std::string error) {
  Result r;
  r.error_ = error.empty() ? "the database failed without saying why" : std::move(error);
  return r;
}

Query::Query(std::string sql) : sql_(std::move(sql)), stmt_(std::make_unique<Stmt>()) {}
Query::~Query() = default;
Query::Query(Query&&) noexcept = default;
Query& Query::operator=(Query&&) noexcept = default;

Result Query::Run(std::initializer_list<Value> values) {
  return Run(std::vector<Value>(values));
}

Result Query::Run(const std::vector<Value>& values) {
  auto failed = [this] {
    Result f = Result::Failure(stmt_->error());
    f.unavailable_ = f.error_.rfind(KVTSqlUnavailable, 0) == 0;
    return f;
  };
  if (!stmt_->Prepare(sql_)) return failed();
  for (const Value& v : values)
    if (!stmt_->Bind(v.text.c_str(), v.type)) break;  // Execute reports the bad value
  if (!stmt_->Execute()) return failed();
  ResultData& data = stmt_->result();
  Result r;
  r.changed_ = data.changes;
  auto names = std::make_shared<const std::vector<std::string>>(std::move(data.names));
  r.rows_.reserve(data.rows.size());
  for (auto& values : data.rows) r.rows_.emplace_back(names, std::move(values));
  data.Clear();
  return r;
}

Result Query::Failed() const {
  Result f = Result::Failure(stmt_->error());
  f.unavailable_ = f.error_.rfind(KVTSqlUnavailable, 0) == 0;
  return f;
}

Result Query::Queue(const std::vector<Value>& values, std::size_t* number) {
  if (!stmt_->Prepare(sql_)) return Failed();
  for (const Value& v : values)
    if (!stmt_->Bind(v.text.c_str(), v.type)) break;  // Execute reports the bad value
  if (!stmt_->Execute(number)) return Failed();
  stmt_->result().Clear();
  return Result();
}

// ---- Pipeline ---------------------------------------------------------------

struct Pipeline::State {
  ConnectionOne::PipelineState queue;
};

namespace {
ConnectionOne::PipelineState& Open() {
  static ConnectionOne::PipelineState none;  // no pipeline: nothing was queued
  ConnectionOne::PipelineState* p = ConnectionOne::Get().pipeline();
  return p ? *p : none;
}
}  // namespace

Pipeline::Pipeline() {
  ConnectionOne& c = ConnectionOne::Get();
  if (c.pipeline()) return;
  state_ = std::make_unique<State>();
  c.SetPipeline(&state_->queue);
  opened_ = true;
}

Pipeline::~Pipeline() {
  if (!opened_) return;
  ConnectionOne& c = ConnectionOne::Get();
  // Changes still waiting belong to a unit of work that goes on without
  // the pipeline: they are sent now, in their order.
  std::string ignored;
  if (c.IsOpen()) c.Flush(&ignored);
  c.SetPipeline(nullptr);
}

std::size_t Pipeline::Add(Query& q, const std::vector<Value>& values) {
  ConnectionOne::PipelineState& p = Open();
  std::size_t number = std::string::npos;
  Result r = q.Queue(values, &number);
  if (number == std::string::npos) {
    // Refused before it was queued (a bad value, a text that does not
    // prepare): numbered all the same, with its failure as its answer.
    number = p.answers.size();
    p.answers.emplace_back();
    p.answered.push_back(false);
    if (!p.failed) {
      p.failed = true;
      p.failedNumber = number;
      p.failedText = q.sql();
      p.error = r.error();
    }
  }
  return number;
}

bool Pipeline::Send() {
  ConnectionOne& c = ConnectionOne::Get();
  if (failed()) return false;
  std::string error;
  return c.IsOpen() ? c.Flush(&error) : Open().waiting.empty();
}

std::size_t Pipeline::size() const {
  return Open().answers.size();
}

bool Pipeline::IsOpen() {
  return ConnectionOne::Get().pipeline() != nullptr;
}

bool Pipeline::queuing() const {
  return KVTChangesQueued();
}

Result Pipeline::Answer(std::size_t number) const {
  const ConnectionOne::PipelineState& p = Open();
  if (number >= p.answers.size() || !p.answered[number]) {
    if (p.failed && p.failedNumber == number) return Result::Failure(p.error);
    return Result::Failure("the statement was not run" +
                           (p.failed ? ": an earlier one failed" : std::string()));
  }
  const ResultData& data = p.answers[number];
  Result r;
  r.changed_ = data.changes;
  auto names = std::make_shared<const std::vector<std::string>>(data.names);
  for (const auto& values : data.rows) r.rows_.emplace_back(names, values);
  return r;
}

bool Pipeline::failed() const {
  return Open().failed;
}

const std::string& Pipeline::error() const {
  return Open().error;
}

const std::string& Pipeline::failedSql() const {
  return Open().failedText;
}

Result Run(std::string_view sql, std::initializer_list<Value> values) {
  return Query(std::string(sql)).Run(values);
}

Result Run(std::string_view sql, const std::vector<Value>& values) {
  return Query(std::string(sql)).Run(values);
}

// ---- InsertRows ---------------------------------------------------------------

InsertRows::InsertRows(std::string head, std::size_t columns)
    : head_(std::move(head)), columns_(columns) {}

InsertRows::~InsertRows() = default;

Result InsertRows::Run(const std::vector<Value>& values) {
  if (columns_ == 0 || values.size() % columns_ != 0)
    return Result::Failure("the values are not whole rows of the table");
  Result last;
  const std::size_t rows = values.size() / columns_;
  for (std::size_t first = 0; first < rows; first += kRowsAtOnce) {
    const std::size_t n = std::min(kRowsAtOnce, rows - first);
    auto q = byRows_.find(n);
    if (q == byRows_.end()) {
      std::string row = "(";
      for (std::size_t c = 0; c < columns_; ++c) row += c ? ",?" : "?";
      row += ")";
      std::string sql = head_;
      for (std::size_t r = 0; r < n; ++r) sql += (r ? "," : "") + row;
      q = byRows_.emplace(n, Query(std::move(sql))).first;
    }
    auto begin = values.begin() + static_cast<std::ptrdiff_t>(first * columns_);
    last =
        q->second.Run(std::vector<Value>(begin, begin + static_cast<std::ptrdiff_t>(n * columns_)));
    if (!last.ok()) return last;
  }
  return last;
}

bool InsertRows::Owns(const std::string& sql) const {
  for (const auto& [rows, q] : byRows_)
    if (q.sql() == sql) return true;
  return false;
}

// ---- Transaction ------------------------------------------------------------

Transaction::Transaction() {
  begun_ = ConnectionOne::Get().Begin(&error_);
  if (!begun_) {
    unavailable_ = error_.rfind(KVTSqlUnavailable, 0) == 0;
    ConnectionOne::Get().SetLastError(error_);
  }
}

Transaction::~Transaction() {
  Cancel();
}

bool Transaction::Commit() {
  if (!begun_) return false;
  if (ended_) {
    error_ = "the transaction has already ended";
    return false;
  }
  ended_ = true;
  ConnectionOne& c = ConnectionOne::Get();
  if (c.Commit(&error_)) return true;
  inDoubt_ = c.commitInDoubt();
  unavailable_ = error_.rfind(KVTSqlUnavailable, 0) == 0;
  c.SetLastError(error_);
  return false;
}

void Transaction::Cancel() {
  if (!begun_ || ended_) return;
  ended_ = true;
  std::string ignored;
  ConnectionOne::Get().Cancel(&ignored);
}

}  // namespace kvt::sql
