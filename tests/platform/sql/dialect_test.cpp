// The SQL dialect: the rewrite of the module's text for each database, the
// NUMVAL and STR rules, and the module's own statements that use them run on
// both databases with the same results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sql/dialect.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/backends.h"

namespace {

using kvt::sql::DbKind;
using kvt::sql::Translation;
using Strings = std::vector<std::string>;

std::string Translate(DbKind kind, const std::string& sql) {
  Translation t;
  std::string error;
  EXPECT_TRUE(kvt::sql::TranslateSql(kind, sql, &t, &error)) << error;
  return t.sql;
}

TEST(Dialect, RewritesWhatADatabaseLacksAndNothingElse) {
  // clang-format off
  struct Case { const char* in; const char* sqlite; const char* pg; } cases[] = {  // null: as the one before
      // Untouched, including quoted text that looks like the constructs.
      {"SELECT A FROM T WHERE B = 'x + y' AND C = '{01/02/2024}'", nullptr, nullptr},
      {"SELECT NUMVAL(A)+(?) FROM T", nullptr, "SELECT NUMVAL(A)+($1) FROM T"},
      {"DELETE FROM T WHERE A = ? AND B = ? ", nullptr, "DELETE FROM T WHERE A = $1 AND B = $2 "},
      // Date literals.
      {"INSERT INTO N (D) VALUES ({03/15/2024})", "INSERT INTO N (D) VALUES ('2024-03-15')", nullptr},
      {"SELECT 1 WHERE D = {d '2024-03-15'} OR D = {  /  /    }", "SELECT 1 WHERE D = '2024-03-15' OR D = NULL", nullptr},
      // The owner prefix and the lock hint.
      {"SELECT %s,STR(RECNO) FROM KVTCOM12 (NOLOCK) WHERE dbo.TRIM(TILLCODE) <> ''", "SELECT %s,STR(RECNO) FROM KVTCOM12 WHERE TRIM(TILLCODE) <> ''", nullptr},
      {"SELECT A FROM T WITH (NOLOCK) WHERE B = 1", "SELECT A FROM T WHERE B = 1", nullptr},
      // + between texts, not between numbers; LEFT is a join word on SQLite.
      {"SELECT LEFT(P + '   ',15), 'a' + 'b', A + B, NUMVAL(X) + 2 FROM T", "SELECT KVTLEFT(P || '   ',15), 'a' || 'b', A + B, NUMVAL(X) + 2 FROM T", "SELECT LEFT(P || '   ',15), 'a' || 'b', A + B, NUMVAL(X) + 2 FROM T"},
      {"SELECT A FROM T1 LEFT OUTER JOIN T2 ON T1.R = T2.R", nullptr, nullptr},
      // A locking read: SQLite's writer already holds the whole file.
      {"SELECT N FROM C WHERE R = ? FOR UPDATE", "SELECT N FROM C WHERE R = ?", "SELECT N FROM C WHERE R = $1 FOR UPDATE"},
      {"SELECT 'FOR UPDATE' FROM T", nullptr, nullptr},
      // A table locked as a queue: the same file lock on SQLite.
      {"LOCK TABLE KVTPOS10 IN SHARE UPDATE EXCLUSIVE MODE", "SELECT 1 FROM KVTPOS10 WHERE 1 = 0", "LOCK TABLE KVTPOS10 IN SHARE UPDATE EXCLUSIVE MODE"},
      // A bare column beside an aggregate, only without GROUP BY.
      {"SELECT COUNT(1),REFERENCE FROM KVTCOM13", "SELECT COUNT(1),MIN(REFERENCE) FROM KVTCOM13", nullptr},
      {"SELECT COUNT(1),T.TILLNUM FROM KVTCOM14 T WHERE STOREREF = 'A'", "SELECT COUNT(1),MIN(T.TILLNUM) FROM KVTCOM14 T WHERE STOREREF = 'A'", nullptr},
      {"SELECT STORE, NULL, COUNT(1) FROM KVTPOS1 GROUP BY STORE", nullptr, nullptr},
      // NULL sorts lowest on PostgreSQL too.
      {"SELECT A FROM T ORDER BY A, B DESC, C ASC", nullptr, "SELECT A FROM T ORDER BY A NULLS FIRST, B DESC NULLS LAST, C ASC NULLS FIRST"},
      {"SELECT * FROM (SELECT A FROM T ORDER BY A) q ORDER BY q.A DESC LIMIT 1", nullptr, "SELECT * FROM (SELECT A FROM T ORDER BY A NULLS FIRST) q ORDER BY q.A DESC NULLS LAST LIMIT 1"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    std::string sqlite = c.sqlite ? c.sqlite : c.in;
    EXPECT_EQ(Translate(DbKind::SQLite, c.in), sqlite);
    EXPECT_EQ(Translate(DbKind::PostgreSQL, c.in), c.pg ? c.pg : sqlite);
  }
  // Text it cannot translate is refused.
  Translation t;
  std::string error;
  for (const char* bad :
       {"SELECT 'open", "SELECT {13/45/2024}", "SELECT {02/30/2024", "X = {d '2024-1'}"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(kvt::sql::TranslateSql(DbKind::SQLite, bad, &t, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(Dialect, NumvalTakesTheNumberAtTheStartOrZero) {
  // clang-format off
  struct Case { const char* text; double value; } cases[] = {
      {"12.500", 12.5}, {"  -3.25kg", -3.25}, {"+4", 4}, {".5", 0.5}, {"5.", 5}, {"VOID", 0}, {"", 0},
      {"-", 0}, {"1,234", 1}, {"$5", 0}, {"0012", 12}, {"1e5", 1}, {"\t7 ", 7}, {nullptr, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_DOUBLE_EQ(kvt::sql::NumVal(c.text), c.value);
  }
}

// SQL Server's STR: right-aligned, rounded half away from zero, fewer
// decimals when they do not fit, asterisks when the whole part does not.
// clang-format off
struct StrCase { double x; int length; int decimals; const char* text; /* null: NULL */ };
const StrCase kStrCases[] = {
    {12.5, 10, 0, "        13"}, {14.5, 15, 3, "         14.500"}, {-2.5, 10, 0, "        -3"},
    {2.675, 10, 2, "      2.68"},   // held in binary just below .675
    {1.005, 10, 2, "      1.01"}, {0.125, 6, 2, "  0.13"}, {0.0, 5, 1, "  0.0"},
    {-0.001, 8, 2, "    0.00"},     // no sign on a rounded zero
    {1234.5678, 6, 2, "1234.6"}, {1234.5678, 4, 2, "1235"},  // decimals give way to the whole part
    {99.96, 4, 1, " 100"},          // rounding carries into a new digit
    {123456, 3, 0, "***"}, {-123, 3, 0, "***"}, {1e15, 20, 0, "    1000000000000000"},
    {7, 1, 0, "7"}, {5, 0, 0, nullptr}, {5, 10, -1, nullptr},
    {0.1 + 0.2, 20, 17, "  0.3000000000000000"},  // 15 digits, at most 16 decimals
};
// clang-format on

TEST(Dialect, StrFollowsSqlServerRules) {
  for (const StrCase& c : kStrCases) {
    SCOPED_TRACE(std::to_string(c.x) + " " + std::to_string(c.length) + " " +
                 std::to_string(c.decimals));
    std::optional<std::string> s = kvt::sql::Str(c.x, c.length, c.decimals);
    if (!c.text) {
      EXPECT_FALSE(s.has_value());
    } else {
      ASSERT_TRUE(s.has_value());
      EXPECT_EQ(*s, c.text);
    }
  }
  EXPECT_EQ(*kvt::sql::Str(7), "         7");
}

TEST(Dialect, BindValuesAreCheckedAndDatesNormalised) {
  // clang-format off
  struct Case { bool (*normalize)(const char*, std::string*); const char* in; const char* out; } cases[] = {
      {kvt::sql::NormalizeNumber, " -12.50 ", "-12.50"}, {kvt::sql::NormalizeNumber, "   ", ""},
      {kvt::sql::NormalizeNumber, "1 2", nullptr}, {kvt::sql::NormalizeDate, "12/31/1999", "1999-12-31"},
      {kvt::sql::NormalizeDate, "02/29/2023", nullptr},  // null: refused
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(c.normalize(c.in, &out) ? out : "refused", c.out ? c.out : "refused") << c.in;
  }
  EXPECT_EQ(kvt::sql::IsoToDisplayDate("1999-12-31"), "12/31/1999");
  EXPECT_EQ(kvt::sql::IsoToDisplayDate("1999-12-31 10:00:00"), "12/31/1999");
  EXPECT_EQ(kvt::sql::IsoToDisplayDate("ABC"), "ABC");
  EXPECT_EQ(kvt::sql::FormatDouble(100), "100");
  EXPECT_EQ(kvt::sql::FormatDouble(0.1), "0.1");
  EXPECT_EQ(kvt::sql::FormatDouble(-12.5), "-12.5");
}

// ---- the same statements on both databases ----------------------------------

class DialectOnDatabase : public kvt::test::OnEachBackend {
 protected:
  static std::string One(const std::string& sql) {
    KVTSConnection s(1, nullptr, 0);
    if (!s.ExecSQL(sql.c_str())) return std::string("error: ") + s.LastError();
    if (!s.FetchNext()) return "no row";
    return s.ColumnVar(1);
  }
  // Every row, its columns joined by "|".
  static Strings Rows(const std::string& sql) {
    KVTSConnection s(1, nullptr, 0);
    if (!s.ExecSQL(sql.c_str())) return {std::string("error: ") + s.LastError()};
    Strings rows;
    while (s.FetchNext()) {
      rows.emplace_back();
      for (int i = 1; i <= s.ColumnCount(); ++i)
        rows.back() += (i > 1 ? "|" : "") + std::string(s.ColumnVar(i));
    }
    return rows;
  }
  void Table(const char* name, const std::vector<KVTColumnDef>& cols) {
    ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql(name, cols).c_str())) << KVTLastSqlError();
  }
};

TEST_P(DialectOnDatabase, StrAndNumvalGiveTheSameTextAsTheRules) {
  for (const StrCase& c : kStrCases) {
    char sql[128];
    std::snprintf(sql, sizeof sql, "SELECT STR(%.17g, %d, %d)", c.x, c.length, c.decimals);
    SCOPED_TRACE(sql);
    EXPECT_EQ(One(sql), c.text ? c.text : "");
  }
  // clang-format off
  const char* more[][2] = {
      {"SELECT STR(12.4)", "        12"}, {"SELECT STR('12.4', 6, 1)", "  12.4"},
      {"SELECT LTRIM(STR(NUMVAL('  -3.25kg') * 2, 15, 2))", "-6.50"}, {"SELECT STR(NUMVAL('VOID') + 1)", "         1"},
      {"SELECT NUMVAL(NULL)", "0"}, {"SELECT LEFT('ABCDEF', 3) + 'x'", "ABCx"}, {"SELECT LEFT('Å' + 'BC', 2)", "ÅB"},
      {"SELECT TRIM('  a  ') + '|' + LTRIM('  b  ') + '|'", "a|b  |"},
  };
  // clang-format on
  for (const auto& [sql, want] : more) EXPECT_EQ(One(sql), want) << sql;
  EXPECT_TRUE(KVTSqlFunctionsWork());
}

TEST_P(DialectOnDatabase, CategoryHistoryAddsToTheTextTotals) {
  std::vector<KVTColumnDef> cols = {{"REFERENCE", KVTColumnType::Text},
                                    {"LOCATION", KVTColumnType::Text}};
  std::string sql = "UPDATE KVTCOM12 SET ";
  for (const char* c : {"CURQTY3", "CURDOL3", "MTDQTY3", "MTDDOL3", "YTDQTY3", "YTDDOL3"}) {
    cols.push_back({c, KVTColumnType::Text});
    sql += std::string(cols.size() > 3 ? "," : "") + c + " = LTRIM(STR(NUMVAL(" + c + ")+(?),15," +
           (std::string(c).find("QTY") != std::string::npos ? "3))" : "2))");
  }
  sql += " WHERE REFERENCE = ? AND LOCATION = ?";
  Table("KVTCOM12", cols);
  KVTSConnection s(1, nullptr, 0);
  ASSERT_EQ(s.ExecSQLChange("INSERT INTO KVTCOM12 (REFERENCE, LOCATION, CURQTY3, CURDOL3, MTDQTY3) "
                            "VALUES ('FEED', 'MAIN', '12.500', '100.10', 'VOID')"),
            1);
  KVTConnection c(1);
  ASSERT_GT(c.PrepareSQL(sql.c_str()), 0);
  auto add = [&](const char* qty, const char* dollars) {
    for (int i = 0; i < 3; ++i)
      c.BindParam(sql.c_str(), qty, 2), c.BindParam(sql.c_str(), dollars, 2);
    c.BindParam(sql.c_str(), "FEED", 0);
    c.BindParam(sql.c_str(), "MAIN", 0);
    return c.ExecuteSQL(sql.c_str()) > 0 && c.RowsAffected(sql.c_str()) == 1;
  };
  ASSERT_TRUE(add("2", "19.98")) << c.LastError();
  // Text that is not a number counts as 0; an empty total starts from 0.
  EXPECT_EQ(Rows("SELECT CURQTY3, CURDOL3, MTDQTY3, MTDDOL3, YTDQTY3 FROM KVTCOM12"),
            Strings{"14.500|120.08|2.000|19.98|2.000"});
  ASSERT_TRUE(add("-2", "-19.98"));  // a return takes it back down
  EXPECT_EQ(Rows("SELECT CURQTY3, CURDOL3 FROM KVTCOM12"), Strings{"12.500|100.10"});
}

TEST_P(DialectOnDatabase, CountBesideABareColumnFindsTheOnlyStore) {
  Table("KVTCOM13", {{"REFERENCE", KVTColumnType::Text}, {"RECNO", KVTColumnType::Double}});
  EXPECT_EQ(Rows("SELECT COUNT(1),REFERENCE FROM KVTCOM13"), Strings{"0|"});
  ASSERT_EQ(Rows("INSERT INTO KVTCOM13 (REFERENCE, RECNO) VALUES ('MAIN', 1)"), Strings{});
  EXPECT_EQ(Rows("SELECT COUNT(1),REFERENCE FROM KVTCOM13"), Strings{"1|MAIN"});
}

TEST_P(DialectOnDatabase, DateLiteralsAreDates) {
  Table("KVTAR50N", {{"LINK", KVTColumnType::Text},
                     {"COMMDATE", KVTColumnType::Date},
                     {"COMMENT", KVTColumnType::Text},
                     {"RECNO", KVTColumnType::Double},
                     {"NUMCHANGE", KVTColumnType::Text}});
  ASSERT_EQ(Rows("INSERT INTO KVTAR50N (LINK, COMMDATE, COMMENT, RECNO, NUMCHANGE) "
                 "VALUES ('O''NEIL',{12/31/2023},'Past Due Balance: ', 7,'')"),
            Strings{});
  EXPECT_EQ(One("SELECT COMMDATE FROM KVTAR50N WHERE COMMDATE < {01/01/2024}"), "12/31/2023");
  EXPECT_EQ(One("SELECT LINK FROM KVTAR50N WHERE RECNO >= 7 AND RECNO <= 7"), "O'NEIL");
}

// The customer window's step by phone: text + blanks, LEFT, a join on
// NUMVAL, and customers without a phone (NULL) ordered first.
TEST_P(DialectOnDatabase, PhoneSteppingStatementsRunTheSameOnBothDatabases) {
  Table("KVTAR50", {{"REFERENCE", KVTColumnType::Text},
                    {"ISACTIVE", KVTColumnType::Integer},
                    {"RECNO", KVTColumnType::Double}});
  Table("KVTAR57", {{"CUSTLINK", KVTColumnType::Text},
                    {"TELEPHONE", KVTColumnType::Text},
                    {"RECNO", KVTColumnType::Double}});
  ASSERT_EQ(Rows("INSERT INTO KVTAR50 (REFERENCE, ISACTIVE, RECNO) VALUES ('ADAMS', 0, 1), "
                 "('BAKER', 0, 2), ('CLARK', 0, 3), ('DUNN', 1, 4)"),
            Strings{});
  ASSERT_EQ(Rows("INSERT INTO KVTAR57 (CUSTLINK, TELEPHONE, RECNO) VALUES ('2', '555-0101', 10), "
                 "('3', '555-0100', 11), ('4', '555-0099', 12)"),
            Strings{});
  const std::string select =
      "SELECT KVTAR50.REFERENCE,STR(KVTAR50.RECNO) FROM KVTAR50 LEFT OUTER JOIN KVTAR57 ON "
      "KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) WHERE ";
  EXPECT_EQ(
      Rows(select + "(((KVTAR57.TELEPHONE = '' OR KVTAR57.TELEPHONE = NULL) AND KVTAR50.REFERENCE "
                    "> '') OR KVTAR57.TELEPHONE > '') AND KVTAR50.ISACTIVE = 0 ORDER BY "
                    "KVTAR57.TELEPHONE, KVTAR57.RECNO, KVTAR50.REFERENCE"),
      (Strings{"CLARK|         3", "BAKER|         2"}));
  // Back from BAKER's phone: DUNN is inactive.
  EXPECT_EQ(
      Rows(select + "((LEFT(KVTAR57.TELEPHONE + '               ',15) = LEFT('555-0101' + '     "
                    "          ',15) AND KVTAR57.RECNO < 10) OR (LEFT(KVTAR57.TELEPHONE + '     "
                    "          ',15) < LEFT('555-0101' + '               ',15))) AND "
                    "KVTAR50.ISACTIVE = 0 ORDER BY KVTAR57.TELEPHONE DESC, KVTAR50.REFERENCE DESC, "
                    "KVTAR57.RECNO DESC"),
      (Strings{"CLARK|         3"}));
  // Customers without a phone come first going forward.
  EXPECT_EQ(Rows("SELECT KVTAR50.REFERENCE FROM KVTAR50 LEFT OUTER JOIN KVTAR57 ON "
                 "KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) ORDER BY KVTAR57.TELEPHONE, "
                 "KVTAR50.REFERENCE"),
            (Strings{"ADAMS", "DUNN", "CLARK", "BAKER"}));
}

KVT_ON_BOTH_BACKENDS(DialectOnDatabase);

}  // namespace
