// The fixture builder: a fresh database with the whole schema and exactly
// the rows a test asks for, opened as connection 1.
//
//   class Sale : public kvt::test::DatabaseTest {};
//   TEST_P(Sale, VoidedLineLosesItsTaxRows) {
//     Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTAR50 REFERENCE=1001 NAME='Miller, Al'"});
//     ... run the code under test on connection 1 ...
//     EXPECT_EQ(db().Count("KVTPOS3", "INVOICELNK = '12A'"), 0);
//   }
//   KVT_ON_BOTH_BACKENDS(Sale);
//
// Values are texts, bound by the column's type in the schema (dates in any
// form a date bind takes, numbers as text); a row without RECNO gets the next
// record number, as the till's own inserts do. Without KVT_PG the PostgreSQL
// instances are skipped and say why.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "schema/schema.h"
#include "tests/support/backends.h"
#include "tools/tempdb/tempdb.h"

namespace kvt::test {

class TestDatabase {
 public:
  // Null with *reason when the backend is not available or the schema could
  // not be created.
  static std::unique_ptr<TestDatabase> Create(Backend backend, std::string* reason);
  ~TestDatabase();

  // Inserts one row; false with error() when the table or a column is not in
  // the schema or the database refuses the row.
  bool Add(const std::string& table, const kvt::schema::Row& row);
  // Loads the demo store (a few thousand items; takes a moment).
  bool LoadDemo();

  // Reading back what the code under test wrote. `where` is SQL after WHERE.
  std::string Value(const std::string& sql);  // first column of the first row, "" without
  std::vector<std::vector<std::string>> Rows(const std::string& sql);
  int Count(const std::string& table, const std::string& where = "");

  const std::string& error() const { return error_; }
  TempDatabase& temp() { return *temp_; }
  Backend backend() const { return temp_->backend(); }

 private:
  std::unique_ptr<TempDatabase> temp_;
  std::unique_ptr<kvt::schema::RowWriter> writer_;
  std::string error_;
};

// "TABLE COLUMN=value COLUMN='a value with spaces' COLUMN=" as a table name
// and its row.
std::pair<std::string, kvt::schema::Row> ParseRow(const std::string& text);

// A parameterised test on a fresh schema per test, on each backend.
class DatabaseTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    std::string reason;
    if (GetParam() == Backend::PostgreSQL && !PostgresAvailable(&reason)) GTEST_SKIP() << reason;
    db_ = TestDatabase::Create(GetParam(), &reason);
    ASSERT_TRUE(db_) << reason;
  }
  void TearDown() override { db_.reset(); }

  TestDatabase& db() { return *db_; }
  bool IsPg() const { return GetParam() == Backend::PostgreSQL; }

  // Adds rows and fails the test on a refused one: a table and its row, or
  // rows as texts (ParseRow).
  void Add(const std::string& table, const kvt::schema::Row& row) {
    ASSERT_TRUE(db_->Add(table, row)) << table << ": " << db_->error();
  }
  void Add(std::initializer_list<std::string> rows) {
    for (const std::string& text : rows) {
      auto [table, row] = ParseRow(text);
      Add(table, row);
    }
  }

 private:
  std::unique_ptr<TestDatabase> db_;
};

}  // namespace kvt::test
