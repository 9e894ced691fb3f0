// Form result sets: a screen's fields read from and written to one row.
#include "platform/sql/resultset.h"

#include <cctype>

#include "platform/sql/connection.h"
#include "platform/sql/kvtsql.h"

using kvt::sql::ColumnInfo;
using kvt::sql::ColumnType;
using kvt::sql::ConnectionOne;
using kvt::sql::Stmt;

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

int BindType(ColumnType t) {
  switch (t) {
    case ColumnType::Date:
      return 3;
    case ColumnType::Double:
    case ColumnType::Integer:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

struct KVTResultSet {
  KVTRecordFields* screen = nullptr;
  std::string table;
  // The screen's fields that are columns: the screen's name and the column.
  struct Bound {
    std::string field;
    ColumnInfo column;
  };
  std::vector<Bound> bound;
  std::string recnoField;  // the screen's name of RECNO, "" when not bound
  Stmt stmt;

  bool Fail(const std::string& e) {
    stmt.Free();  // values bound before the failure must not reach the next statement
    ConnectionOne::Get().SetLastError(e);
    return false;
  }
};

HVWRS vwGetFormResultSet(KVTRecordFields* screen, const char* table) {
  ConnectionOne& c = ConnectionOne::Get();
  if (!screen || !table) return nullptr;
  if (!c.IsOpen()) {
    c.SetLastError("connection 1 is not open");
    return nullptr;
  }
  std::vector<ColumnInfo> columns;
  std::string error;
  if (!kvt::sql::IsSqlName(table) || !c.backend()->TableColumns(table, &columns, &error)) {
    c.SetLastError(error.empty() ? std::string("\"") + table + "\" is not a table name" : error);
    return nullptr;
  }
  auto* rs = new KVTResultSet;
  rs->screen = screen;
  rs->table = table;
  for (const std::string& field : screen->Columns()) {
    for (const ColumnInfo& col : columns) {
      if (Upper(col.name) != Upper(field)) continue;
      rs->bound.push_back({field, col});
      if (Upper(field) == "RECNO") rs->recnoField = field;
    }
  }
  return rs;
}

void vwFreeResultSet(HVWRS rs) {
  delete rs;
}

int vwClearFields(HVWRS rs) {
  if (!rs) return 0;
  for (const auto& b : rs->bound) rs->screen->Set(b.field, "");
  return 1;
}

int vwRSNew(HVWRS rs) {
  if (!vwClearFields(rs)) return 0;
  if (!rs->recnoField.empty()) rs->screen->Set(rs->recnoField, "0");
  return 1;
}

int vwRSLoad(HVWRS rs, double recno) {
  if (!rs || rs->bound.empty()) return 0;
  std::string cols;
  for (const auto& b : rs->bound) cols += (cols.empty() ? "" : ",") + b.column.name;
  rs->stmt.Bind(kvt::sql::FormatDouble(recno).c_str(), 2);
  if (!rs->stmt.ExecuteText("SELECT " + cols + " FROM " + rs->table + " WHERE RECNO = ?") ||
      !rs->stmt.Fetch())
    return 0;
  for (std::size_t i = 0; i < rs->bound.size(); ++i)
    rs->screen->Set(rs->bound[i].field, rs->stmt.Column(static_cast<int>(i + 1)));
  return 1;
}

int vwRSSave(HVWRS rs) {
  if (!rs) return 0;
  if (rs->recnoField.empty()) return rs->Fail("the screen has no RECNO field for " + rs->table);
  std::string recnoText = rs->screen->Get(rs->recnoField);
  std::string recno;
  if (!kvt::sql::NormalizeNumber(recnoText.c_str(), &recno) || kvt::sql::NumVal(recno.c_str()) == 0)
    return rs->Fail("the record of " + rs->table + " has no record number; nothing was saved");

  rs->stmt.Bind(recno.c_str(), 2);
  if (!rs->stmt.ExecuteText("SELECT RECNO FROM " + rs->table + " WHERE RECNO = ?"))
    return rs->Fail(rs->stmt.error());
  bool exists = rs->stmt.Fetch();

  std::string sql;
  if (exists) {
    std::string sets;
    for (const auto& b : rs->bound) {
      if (b.field == rs->recnoField) continue;
      sets += (sets.empty() ? "" : ",") + b.column.name + " = ?";
      if (!rs->stmt.Bind(rs->screen->Get(b.field).c_str(), BindType(b.column.type)))
        return rs->Fail(rs->stmt.error());
    }
    if (sets.empty()) return 1;
    rs->stmt.Bind(recno.c_str(), 2);
    sql = "UPDATE " + rs->table + " SET " + sets + " WHERE RECNO = ?";
  } else {
    std::string cols, marks;
    for (const auto& b : rs->bound) {
      cols += (cols.empty() ? "" : ",") + b.column.name;
      marks += marks.empty() ? "?" : ",?";
      if (!rs->stmt.Bind(rs->screen->Get(b.field).c_str(), BindType(b.column.type)))
        return rs->Fail(rs->stmt.error());
    }
    sql = "INSERT INTO " + rs->table + " (" + cols + ") VALUES (" + marks + ")";
  }
  if (!rs->stmt.ExecuteText(sql)) return rs->Fail(rs->stmt.error());
  return rs->stmt.Changes() == 1 ? 1 : rs->Fail("no row of " + rs->table + " was written");
}
