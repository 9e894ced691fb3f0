// Table definitions per database, a look at a database.
#include "platform/sql/connection.h"
#include "platform/sql/kvtsqladmin.h"

using kvt::sql::ConnectionOne;
using kvt::sql::DbKind;

namespace {

bool Pg() {
  return ConnectionOne::Get().kind() == DbKind::PostgreSQL;
}

bool Fail(const std::string& e) {
  ConnectionOne::Get().SetLastError(e);
  return false;
}

}  // namespace

std::string KVTColumnTypeSql(KVTColumnType type) {
  switch (type) {
    case KVTColumnType::Text:
      return Pg() ? "text COLLATE \"C\" DEFAULT ''" : "TEXT DEFAULT ''";
    case KVTColumnType::Double:
      return Pg() ? "double precision" : "DOUBLE PRECISION";
    case KVTColumnType::Integer:
      return Pg() ? "integer DEFAULT 0" : "INTEGER DEFAULT 0";
    case KVTColumnType::Date:
      return Pg() ? "date" : "DATE";
  }
  return "";
}

const char* KVTColumnTypeName(KVTColumnType type) {
  switch (type) {
    case KVTColumnType::Text:
      return "text";
    case KVTColumnType::Double:
      return "double";
    case KVTColumnType::Integer:
      return "integer";
    case KVTColumnType::Date:
      return "date";
  }
  return "";
}

std::string KVTCreateTableSql(const std::string& table, const std::vector<KVTColumnDef>& columns,
                              const std::string& primaryKey) {
  std::string sql = "CREATE TABLE " + table + " (";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i) sql += ", ";
    sql += columns[i].name + " " + KVTColumnTypeSql(columns[i].type);
  }
  if (!primaryKey.empty()) sql += ", PRIMARY KEY (" + primaryKey + ")";
  return sql + ")";
}

bool KVTRunSqlScript(const char* sql) {
  ConnectionOne& c = ConnectionOne::Get();
  std::string error;
  bool ok =
      c.Run([&](std::string* e) { return c.backend()->RunScript(sql ? sql : "", e); }, &error);
  c.ForgetPrepared();
  return ok || Fail(error);
}

bool KVTTableExists(const char* table) {
  ConnectionOne& c = ConnectionOne::Get();
  return c.IsOpen() && table && kvt::sql::IsSqlName(table) && c.backend()->TableExists(table);
}

bool KVTIndexExists(const char* index) {
  ConnectionOne& c = ConnectionOne::Get();
  return c.IsOpen() && index && kvt::sql::IsSqlName(index) && c.backend()->IndexExists(index);
}

bool KVTDescribeTable(const char* table, std::vector<KVTColumnDef>* columns) {
  ConnectionOne& c = ConnectionOne::Get();
  columns->clear();
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  std::vector<kvt::sql::ColumnInfo> info;
  std::string error;
  if (!table || !c.backend()->TableColumns(table, &info, &error)) return Fail(error);
  for (const auto& i : info) {
    KVTColumnDef d;
    d.name = i.name;
    for (char& ch : d.name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    switch (i.type) {
      case kvt::sql::ColumnType::Double:
        d.type = KVTColumnType::Double;
        break;
      case kvt::sql::ColumnType::Integer:
        d.type = KVTColumnType::Integer;
        break;
      case kvt::sql::ColumnType::Date:
        d.type = KVTColumnType::Date;
        break;
      default:
        d.type = KVTColumnType::Text;
    }
    columns->push_back(d);
  }
  return true;
}

bool KVTInstallSqlFunctions() {
  ConnectionOne& c = ConnectionOne::Get();
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  std::string error;
  return c.backend()->InstallFunctions(&error) || Fail("cannot create NUMVAL and STR: " + error);
}

bool KVTSqlFunctionsWork() {
  KVTSConnection s(1, nullptr, 0);
  if (!s.ExecSQL("SELECT LTRIM(STR(NUMVAL('12.500')+2,15,3)), STR(7), LEFT('ABC' + 'DEF', 4), "
                 "{01/31/2024}") ||
      !s.FetchNext())
    return false;
  bool ok = std::string(s.ColumnVar(1)) == "14.500" &&
            std::string(s.ColumnVar(2)) == "         7" && std::string(s.ColumnVar(3)) == "ABCD" &&
            std::string(s.ColumnVar(4)) == "2024-01-31";
  return ok || Fail("the database functions NUMVAL, STR or LEFT do not answer as expected");
}

bool KVTCheckIntegrity(std::vector<std::string>* problems) {
  ConnectionOne& c = ConnectionOne::Get();
  problems->clear();
  if (!c.IsOpen()) return Fail("connection 1 is not open");
  std::string error;
  bool ok = c.Run([&](std::string* e) { return c.backend()->CheckIntegrity(problems, e); }, &error);
  return ok || Fail(error);
}
