// Every statement of the till runs on both databases against the schema and
// the demo store: the statements read from the module's own sources (each
// run of adjacent string literals that starts with SELECT, INSERT, UPDATE or
// DELETE and is whole), with values formatted in where the module formats
// them and bound by column type where it binds.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "schema/schema.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace {

// The whole statements of the module folders' .cpp files: a run of adjacent
// literals, so a statement split over lines is one; a piece the module puts
// together with others (no FROM, ends in a keyword, an = or an open quote, or
// names its table or columns with %s) is left out.
std::vector<std::string> ModuleStatements() {
  std::vector<std::string> out;
  const std::regex run("(\"([^\"\\\\\\n]|\\\\.)*\"\\s*)+"), literal("\"(([^\"\\\\\\n]|\\\\.)*)\"");
  const std::regex whole("(SELECT .* FROM |INSERT INTO |UPDATE \\w+ SET \\w|DELETE FROM ).*");
  const std::regex piece(".*(%s FROM.*|SELECT %s.*|( WHERE| AND| SET| FROM| VALUES|=|= ') *)");
  for (const char* folder : {"shell", "pricing", "sale", "payment", "backoffice", "setup"})
    for (const auto& f : std::filesystem::recursive_directory_iterator(
             std::filesystem::path(KVT_SOURCE_DIR) / folder)) {
      if (f.path().extension() != ".cpp") continue;
      const std::string src = kvt::test::Slurp(f.path());
      for (std::sregex_iterator r(src.begin(), src.end(), run), end; r != end; ++r) {
        std::string sql, runText = r->str();
        for (std::sregex_iterator l(runText.begin(), runText.end(), literal); l != end; ++l)
          sql += (*l)[1].str();
        if (std::regex_match(sql, whole) && !std::regex_match(sql, piece)) out.push_back(sql);
      }
    }
  return out;
}

std::string Fill(const std::string& sql) {
  std::string s = std::regex_replace(sql, std::regex("\\{%s\\}"), "{01/15/2024}");
  s = std::regex_replace(s, std::regex("'%s'"), "'MAIN'");
  s = std::regex_replace(s, std::regex("%li|%\\.0f|%s"), "7");
  return s;
}

// The tables a statement names, to find the type of a bound column.
std::vector<const kvt::schema::Table*> TablesOf(const std::string& sql) {
  std::vector<const kvt::schema::Table*> tables;
  std::regex word("[A-Z][A-Z0-9_]*");
  for (auto it = std::sregex_iterator(sql.begin(), sql.end(), word); it != std::sregex_iterator();
       ++it)
    if (const auto* t = kvt::schema::FindTable(it->str())) tables.push_back(t);
  return tables;
}

KVTColumnType TypeOf(const std::vector<const kvt::schema::Table*>& tables, std::string column) {
  std::size_t dot = column.rfind('.');
  if (dot != std::string::npos) column = column.substr(dot + 1);
  for (const auto* t : tables)
    if (const auto* c = t->Column(column)) return c->type;
  return KVTColumnType::Text;
}

// The column each "?" stands for, in order: the insert's column list, or
// the column compared with or set to it; "+(?)" is an amount.
std::vector<std::string> BoundColumns(const std::string& sql) {
  std::vector<std::string> cols;
  std::smatch m;
  if (sql.find('?') == std::string::npos) return cols;
  if (std::regex_search(sql, m,
                        std::regex("INSERT INTO \\w+ ?\\(([^)]*)\\) ?VALUES ?\\(([^)]*)\\)"))) {
    // The columns whose value is a "?"; a value written in is no bind.
    std::istringstream names(m[1].str()), values(m[2].str());
    for (std::string name, value;
         std::getline(names, name, ',') && std::getline(values, value, ',');)
      if (value.find('?') != std::string::npos)
        cols.push_back(std::regex_replace(name, std::regex(" "), ""));
    return cols;
  }
  std::regex before("([A-Z0-9_.]+) *(=|<=|>=|<|>) *\\?|\\+\\(\\?\\)");
  for (auto it = std::sregex_iterator(sql.begin(), sql.end(), before); it != std::sregex_iterator();
       ++it)
    cols.push_back((*it)[1].matched ? (*it)[1].str() : "+");
  return cols;
}

class TillStatements : public kvt::test::DatabaseTest {};

TEST_P(TillStatements, EveryStatementRunsAgainstTheDemoStore) {
  ASSERT_TRUE(db().LoadDemo()) << db().error();
  KVTConnection c(1);
  char tran[] = "statements";
  const std::vector<std::string> statements = ModuleStatements();
  ASSERT_GT(statements.size(), 100u) << "the sources were not found in " << KVT_SOURCE_DIR;
  for (const std::string& text : statements) {
    std::string sql = Fill(text);
    SCOPED_TRACE(sql);
    auto tables = TablesOf(sql);
    auto cols = BoundColumns(sql);
    ASSERT_EQ(static_cast<long>(cols.size()), std::count(sql.begin(), sql.end(), '?'));
    // Each in a transaction that is cancelled, so the demo store stays as it is.
    ASSERT_GT(c.BeginTran(tran), 0) << c.LastError();
    const char* stmt = sql.c_str();
    ASSERT_GT(c.PrepareSQL(stmt), 0) << c.LastError();
    for (const std::string& col : cols) {
      KVTColumnType type = col == "+" ? KVTColumnType::Double : TypeOf(tables, col);
      switch (type) {
        case KVTColumnType::Date:
          c.BindParam(stmt, "01/15/2024", 3);
          break;
        case KVTColumnType::Double:
        case KVTColumnType::Integer:
          // A new row takes a record number of its own: they are unique.
          c.BindParam(stmt, col == "RECNO" && sql.rfind("INSERT", 0) == 0 ? "900001" : "1", 2);
          break;
        default:
          c.BindParam(stmt, "MAIN", 0);
      }
    }
    EXPECT_GT(c.ExecuteSQL(stmt), 0) << c.LastError();
    while (c.FetchNext(stmt)) {
    }
    c.FreeStatement(stmt);
    ASSERT_GT(c.CancelTran(tran), 0);
  }
  EXPECT_GT(db().Count("KVTAR50"), 0);  // the deletes were all rolled back
}

KVT_ON_BOTH_BACKENDS(TillStatements);

}  // namespace
