// The database schema of the point of sale (schema/tables.txt), created,
// upgraded and checked on the database of connection 1, and rows written by
// the schema's column types (used by the demo store and the test fixtures).
//
// Versions: KVTSCHEMA holds the version of the list a database was made
// from. Create() brings any older database up to kVersion by adding what the
// list has and the database lacks (tables, columns, indexes, functions) in one
// transaction; it refuses a database of a newer version. See schema/README.md.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/sql/kvtsqladmin.h"

namespace kvt::schema {

// Raise by one with every change to tables.txt.
constexpr int kVersion = 3;

struct Index {
  std::vector<std::string> columns;
  bool unique = false;
};

struct Table {
  std::string name;
  std::string about;
  std::vector<KVTColumnDef> columns;
  std::string primaryKey;
  std::vector<Index> indexes;  // RECNO's unique index included

  const KVTColumnDef* Column(const std::string& name) const;  // without regard to case
};

// The list, read once from tables.txt as built into the program.
const std::vector<Table>& Tables();
const Table* FindTable(const std::string& name);  // without regard to case

// Creates or upgrades the schema on connection 1. False with *error, nothing
// changed, when the database cannot be brought to kVersion.
bool Create(std::string* error);

// The version recorded in the database: 0 when it has none (an empty or
// foreign database), -1 when it cannot be read.
int DatabaseVersion();

// What is missing or wrong in the database of connection 1, one line each:
// missing tables and columns, columns of another type, missing indexes, the
// version, the functions NUMVAL and STR. Empty when all is in order.
std::vector<std::string> Check();

// A row for Insert: column names and their texts. Dates in any form a date
// bind takes ("MM/DD/YYYY", "MMDDYYYY"), numbers as text.
using Row = std::vector<std::pair<std::string, std::string>>;

// Writes rows into the tables of the list, each value bound by its column's
// type; a row without RECNO gets one from NextNum. Statements are kept
// prepared per table and column set, so loading thousands of rows is quick.
class RowWriter {
 public:
  RowWriter();
  ~RowWriter();
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // False with error() when the table or a column is not in the list or the
  // database refuses the row.
  bool Insert(const std::string& table, const Row& row);
  const std::string& error() const { return error_; }

 private:
  struct Impl;
  Impl* impl_;
  std::string error_;
};

}  // namespace kvt::schema
