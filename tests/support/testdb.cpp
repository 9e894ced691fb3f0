// Test databases with the schema and chosen rows.
#include "tests/support/testdb.h"

#include "platform/sql/kvtsql.h"
#include "schema/demo.h"

namespace kvt::test {

std::unique_ptr<TestDatabase> TestDatabase::Create(Backend backend, std::string* reason) {
  std::unique_ptr<TestDatabase> db(new TestDatabase);
  db->temp_ = TempDatabase::Create(backend, reason);
  if (!db->temp_) return nullptr;
  std::string error;
  if (!kvt::schema::Create(&error)) {
    *reason = "cannot create the schema: " + error;
    return nullptr;
  }
  db->writer_ = std::make_unique<kvt::schema::RowWriter>();
  return db;
}

TestDatabase::~TestDatabase() {
  writer_.reset();  // its statements belong to this database's connection
}

bool TestDatabase::Add(const std::string& table, const kvt::schema::Row& row) {
  if (writer_->Insert(table, row)) return true;
  error_ = writer_->error();
  return false;
}

std::pair<std::string, kvt::schema::Row> ParseRow(const std::string& text) {
  std::pair<std::string, kvt::schema::Row> out;
  std::size_t i = text.find(' ');
  out.first = text.substr(0, i);
  while (i < text.size()) {
    std::size_t start = text.find_first_not_of(' ', i);
    if (start == std::string::npos) break;
    std::size_t eq = text.find('=', start);
    if (eq == std::string::npos) {
      ADD_FAILURE() << "no value in " << text;
      break;
    }
    std::string value;
    if (eq + 1 < text.size() && text[eq + 1] == '\'') {
      std::size_t close = text.find('\'', eq + 2);
      value = text.substr(eq + 2, close - eq - 2);
      i = close == std::string::npos ? close : close + 1;
    } else {
      i = text.find(' ', eq);
      value = text.substr(eq + 1, i == std::string::npos ? i : i - eq - 1);
    }
    out.second.emplace_back(text.substr(start, eq - start), value);
  }
  return out;
}

bool TestDatabase::LoadDemo() {
  if (kvt::schema::LoadDemoStore(&error_)) return true;
  return false;
}

std::vector<std::vector<std::string>> TestDatabase::Rows(const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  KVTSConnection s(1, nullptr, 0);
  if (!s.ExecSQL(sql.c_str())) {
    error_ = s.LastError();
    ADD_FAILURE() << "cannot read back: " << error_;
    return rows;
  }
  while (s.FetchNext()) {
    std::vector<std::string> row;
    for (int i = 1; i <= s.ColumnCount(); ++i) row.push_back(s.ColumnVar(i));
    rows.push_back(row);
  }
  return rows;
}

std::string TestDatabase::Value(const std::string& sql) {
  auto rows = Rows(sql);
  return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

int TestDatabase::Count(const std::string& table, const std::string& where) {
  std::string sql = "SELECT COUNT(1) FROM " + table + (where.empty() ? "" : " WHERE " + where);
  return std::atoi(Value(sql).c_str());
}

}  // namespace kvt::test
