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
  std::string out;
  EXPECT_TRUE(kvt::sql::NormalizeNumber(" -12.50 ", &out));
  EXPECT_EQ(out, "-12.50");
  EXPECT_TRUE(kvt::sql::NormalizeNumber("   ", &out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(kvt::sql::NormalizeNumber("1 2", &out));
  EXPECT_TRUE(kvt::sql::NormalizeDate("12/31/1999", &out));
  EXPECT_EQ(out, "1999-12-31");
  EXPECT_FALSE(kvt::sql::NormalizeDate("02/29/2023", &out));
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
  EXPECT_EQ(One("SELECT STR(12.4)"), "        12");
  EXPECT_EQ(One("SELECT STR('12.4', 6, 1)"), "  12.4");
  EXPECT_EQ(One("SELECT LTRIM(STR(NUMVAL('  -3.25kg') * 2, 15, 2))"), "-6.50");
  EXPECT_EQ(One("SELECT STR(NUMVAL('VOID') + 1)"), "         1");
  EXPECT_EQ(One("SELECT NUMVAL(NULL)"), "0");
  EXPECT_EQ(One("SELECT LEFT('ABCDEF', 3) + 'x'"), "ABCx");
  EXPECT_EQ(One("SELECT LEFT('Å' + 'BC', 2)"), "ÅB");
  EXPECT_EQ(One("SELECT TRIM('  a  ') + '|' + LTRIM('  b  ') + '|'"), "a|b  |");
  EXPECT_TRUE(KVTSqlFunctionsWork());
}

TEST_P(DialectOnDatabase, CategoryHistoryAddsToTheTextTotals) {
  std::vector<KVTColumnDef> cols = {{"REFERENCE", KVTColumnType::Text},
                                    {"LOCATION", KVTColumnType::Text}};
  for (const char* c : {"CURQTY3", "CURDOL3", "MTDQTY3", "MTDDOL3", "YTDQTY3", "YTDDOL3"})
    cols.push_back({c, KVTColumnType::Text});
  Table("KVTCOM12", cols);
  KVTSConnection s(1, nullptr, 0);
  ASSERT_EQ(s.ExecSQLChange("INSERT INTO KVTCOM12 (REFERENCE, LOCATION, CURQTY3, CURDOL3, MTDQTY3) "
                            "VALUES ('FEED', 'MAIN', '12.500', '100.10', 'VOID')"),
            1);
  KVTConnection c(1);
  char sql[] =
      "UPDATE KVTCOM12 SET CURQTY3 = LTRIM(STR(NUMVAL(CURQTY3)+(?),15,3)),CURDOL3 = "
      "LTRIM(STR(NUMVAL(CURDOL3)+(?),15,2)),MTDQTY3 = LTRIM(STR(NUMVAL(MTDQTY3)+(?),15,3)),MTDDOL3 "
      "= LTRIM(STR(NUMVAL(MTDDOL3)+(?),15,2)),YTDQTY3 = "
      "LTRIM(STR(NUMVAL(YTDQTY3)+(?),15,3)),YTDDOL3 "
      "= LTRIM(STR(NUMVAL(YTDDOL3)+(?),15,2)) WHERE REFERENCE = ? AND LOCATION = ?";
  ASSERT_GT(c.PrepareSQL(sql), 0);
  for (const char* v : {"2", "19.98", "2", "19.98", "2", "19.98"}) c.BindParam(sql, v, 2);
  c.BindParam(sql, "FEED", 0);
  c.BindParam(sql, "MAIN", 0);
  ASSERT_GT(c.ExecuteSQL(sql), 0) << c.LastError();
  EXPECT_EQ(c.RowsAffected(sql), 1);
  ASSERT_GT(s.ExecSQL("SELECT CURQTY3, CURDOL3, MTDQTY3, MTDDOL3, YTDQTY3 FROM KVTCOM12"), 0);
  ASSERT_TRUE(s.FetchNext());
  EXPECT_STREQ(s.ColumnVar(1), "14.500");
  EXPECT_STREQ(s.ColumnVar(2), "120.08");
  EXPECT_STREQ(s.ColumnVar(3), "2.000");  // text that is not a number counts as 0
  EXPECT_STREQ(s.ColumnVar(4), "19.98");  // an empty total starts from 0
  EXPECT_STREQ(s.ColumnVar(5), "2.000");

  // A return takes it back down.
  for (const char* v : {"-2", "-19.98", "-2", "-19.98", "-2", "-19.98"}) c.BindParam(sql, v, 2);
  c.BindParam(sql, "FEED", 0);
  c.BindParam(sql, "MAIN", 0);
  ASSERT_GT(c.ExecuteSQL(sql), 0);
  EXPECT_EQ(One("SELECT CURQTY3 FROM KVTCOM12"), "12.500");
  EXPECT_EQ(One("SELECT CURDOL3 FROM KVTCOM12"), "100.10");
}

TEST_P(DialectOnDatabase, CountBesideABareColumnFindsTheOnlyStore) {
  Table("KVTCOM13", {{"REFERENCE", KVTColumnType::Text}, {"RECNO", KVTColumnType::Double}});
  KVTSConnection s(1, nullptr, 0);
  ASSERT_GT(s.ExecSQL("SELECT COUNT(1),REFERENCE FROM KVTCOM13"), 0) << s.LastError();
  ASSERT_TRUE(s.FetchNext());
  EXPECT_STREQ(s.ColumnVar(1), "0");
  ASSERT_EQ(s.ExecSQLChange("INSERT INTO KVTCOM13 (REFERENCE, RECNO) VALUES ('MAIN', 1)"), 1);
  ASSERT_GT(s.ExecSQL("SELECT COUNT(1),REFERENCE FROM KVTCOM13"), 0);
  ASSERT_TRUE(s.FetchNext());
  EXPECT_STREQ(s.ColumnVar(1), "1");
  EXPECT_STREQ(s.ColumnVar(2), "MAIN");
}

TEST_P(DialectOnDatabase, DateLiteralsAreDates) {
  Table("KVTAR50N", {{"LINK", KVTColumnType::Text},
                     {"COMMDATE", KVTColumnType::Date},
                     {"COMMENT", KVTColumnType::Text},
                     {"RECNO", KVTColumnType::Double},
                     {"NUMCHANGE", KVTColumnType::Text}});
  KVTSConnection s(1, nullptr, 0);
  ASSERT_EQ(s.ExecSQLChange("INSERT INTO KVTAR50N (LINK, COMMDATE, COMMENT, RECNO, NUMCHANGE) "
                            "VALUES ('O''NEIL',{12/31/2023},'Past Due Balance: ', 7,'')"),
            1)
      << s.LastError();
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
  KVTSConnection s(1, nullptr, 0);
  for (const char* sql :
       {"INSERT INTO KVTAR50 (REFERENCE, ISACTIVE, RECNO) VALUES ('ADAMS', 0, 1), ('BAKER', 0, 2), "
        "('CLARK', 0, 3), ('DUNN', 1, 4)",
        "INSERT INTO KVTAR57 (CUSTLINK, TELEPHONE, RECNO) VALUES ('2', '555-0101', 10), "
        "('3', '555-0100', 11), ('4', '555-0099', 12)"})
    ASSERT_GT(s.ExecSQLChange(sql), 0) << s.LastError();

  const char* forward =
      "SELECT KVTAR50.REFERENCE,STR(KVTAR50.RECNO),KVTAR57.TELEPHONE,KVTAR57.RECNO FROM KVTAR50 "
      "LEFT OUTER JOIN KVTAR57 ON KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) WHERE "
      "(((KVTAR57.TELEPHONE = '' OR KVTAR57.TELEPHONE = NULL) AND KVTAR50.REFERENCE > '%s') OR "
      "KVTAR57.TELEPHONE > '') AND KVTAR50.ISACTIVE = 0 ORDER BY KVTAR57.TELEPHONE, "
      "KVTAR57.RECNO, KVTAR50.REFERENCE";
  char sql[1024];
  std::snprintf(sql, sizeof sql, forward, "");
  ASSERT_GT(s.ExecSQL(sql), 0) << s.LastError();
  std::vector<std::string> got;
  while (s.FetchNext()) got.push_back(std::string(s.ColumnVar(1)) + "|" + s.ColumnVar(2));
  EXPECT_EQ(got, (std::vector<std::string>{"CLARK|         3", "BAKER|         2"}));

  const char* backward =
      "SELECT KVTAR50.REFERENCE,STR(KVTAR50.RECNO),KVTAR57.TELEPHONE,KVTAR57.RECNO FROM KVTAR50 "
      "LEFT OUTER JOIN KVTAR57 ON KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) WHERE "
      "((LEFT(KVTAR57.TELEPHONE + '               ',15) = LEFT('%s' + '               ',15) AND "
      "KVTAR57.RECNO < %s) OR (LEFT(KVTAR57.TELEPHONE + '               ',15) < LEFT('%s' + '      "
      "         ',15))) AND KVTAR50.ISACTIVE = 0 ORDER BY KVTAR57.TELEPHONE DESC, "
      "KVTAR50.REFERENCE DESC, KVTAR57.RECNO DESC";
  std::snprintf(sql, sizeof sql, backward, "555-0101", "10", "555-0101");
  ASSERT_GT(s.ExecSQL(sql), 0) << s.LastError();
  ASSERT_TRUE(s.FetchNext());
  EXPECT_STREQ(s.ColumnVar(1), "CLARK");
  EXPECT_FALSE(s.FetchNext());  // DUNN is inactive

  // Sorting with NULLs: customers without a phone come first going forward.
  ASSERT_GT(s.ExecSQL("SELECT KVTAR50.REFERENCE FROM KVTAR50 LEFT OUTER JOIN KVTAR57 ON "
                      "KVTAR50.RECNO = NUMVAL(KVTAR57.CUSTLINK) ORDER BY KVTAR57.TELEPHONE, "
                      "KVTAR50.REFERENCE"),
            0);
  got.clear();
  while (s.FetchNext()) got.push_back(s.ColumnVar(1));
  EXPECT_EQ(got, (std::vector<std::string>{"ADAMS", "DUNN", "CLARK", "BAKER"}));
}

KVT_ON_BOTH_BACKENDS(DialectOnDatabase);

}  // namespace
