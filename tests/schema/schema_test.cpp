// The schema on both databases: created complete, upgraded from an older
// version, refused when newer, checked; the demo store; the fixture builder.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "schema/demo.h"
#include "schema/schema.h"
#include "tests/support/testdb.h"

namespace {

using kvt::test::DatabaseTest;

bool Exec(const std::string& sql) {
  KVTSConnection s(1, nullptr, 0);
  return s.ExecSQLChange(sql.c_str()) >= 0;
}

bool Mentions(const std::vector<std::string>& problems, const std::string& text) {
  for (const std::string& p : problems)
    if (p.find(text) != std::string::npos) return true;
  return false;
}

TEST(SchemaList, EveryTableHasColumnsAndRecordNumbersAreUnique) {
  std::set<std::string> names;
  for (const auto& t : kvt::schema::Tables()) {
    SCOPED_TRACE(t.name);
    EXPECT_TRUE(names.insert(t.name).second) << "listed twice";
    EXPECT_FALSE(t.columns.empty());
    EXPECT_FALSE(t.about.empty());
    if (t.Column("RECNO")) {
      ASSERT_FALSE(t.indexes.empty());
      EXPECT_TRUE(t.indexes[0].unique);
      EXPECT_EQ(t.Column("RECNO")->type, KVTColumnType::Double);
    }
    for (const auto& ix : t.indexes)
      for (const auto& c : ix.columns) EXPECT_NE(t.Column(c), nullptr) << "index on " << c;
  }
  // Joined tables must not share the unqualified columns the till's joins name.
  EXPECT_EQ(kvt::schema::FindTable("KVTINV2")->Column("TAXABLE"), nullptr);
  EXPECT_EQ(kvt::schema::FindTable("KVTINV1")->Column("LISTPRICE"), nullptr);
  EXPECT_EQ(kvt::schema::FindTable("KVTPOS2")->Column("STORE"), nullptr);
  EXPECT_EQ(kvt::schema::FindTable("KVTAR57")->Column("REFERENCE"), nullptr);
  EXPECT_EQ(kvt::schema::FindTable("kvtpos1")->Column("invdate")->type, KVTColumnType::Date);
}

class Schema : public DatabaseTest {};

TEST_P(Schema, CreatedCompleteAndCreatingAgainChangesNothing) {
  EXPECT_EQ(kvt::schema::DatabaseVersion(), kvt::schema::kVersion);
  EXPECT_TRUE(kvt::schema::Check().empty());
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}}));
  std::string error;
  ASSERT_TRUE(kvt::schema::Create(&error)) << error;
  EXPECT_EQ(db().Count("KVTCOM13"), 1);
  EXPECT_TRUE(kvt::schema::Check().empty());
}

TEST_P(Schema, AnOlderDatabaseIsBroughtUpToDate) {
  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "1001"}, {"NAME", "Miller, Alan"}}));
  ASSERT_TRUE(Exec("ALTER TABLE KVTAR50 DROP COLUMN PURCODES"));
  ASSERT_TRUE(Exec("DROP TABLE KVTPOS99"));
  ASSERT_TRUE(Exec("DROP INDEX KVTPOS1_INVOICELNK"));
  ASSERT_TRUE(Exec("UPDATE KVTSCHEMA SET VERSION = 0"));
  auto problems = kvt::schema::Check();
  EXPECT_TRUE(Mentions(problems, "column KVTAR50.PURCODES is missing"));
  EXPECT_TRUE(Mentions(problems, "table KVTPOS99 is missing"));
  EXPECT_TRUE(Mentions(problems, "index KVTPOS1_INVOICELNK is missing"));
  EXPECT_TRUE(Mentions(problems, "no schema version"));

  std::string error;
  ASSERT_TRUE(kvt::schema::Create(&error)) << error;
  EXPECT_TRUE(kvt::schema::Check().empty());
  EXPECT_EQ(db().Value("SELECT NAME FROM KVTAR50 WHERE REFERENCE = '1001'"), "Miller, Alan");
  EXPECT_EQ(db().Value("SELECT PURCODES FROM KVTAR50 WHERE REFERENCE = '1001'"), "");
}

TEST_P(Schema, ANewerDatabaseOrAColumnOfAnotherTypeIsRefusedUnchanged) {
  ASSERT_TRUE(Exec("UPDATE KVTSCHEMA SET VERSION = " + std::to_string(kvt::schema::kVersion + 1)));
  ASSERT_TRUE(Exec("DROP TABLE KVTPOS99"));
  std::string error;
  EXPECT_FALSE(kvt::schema::Create(&error));
  EXPECT_NE(error.find("newer"), std::string::npos) << error;
  EXPECT_FALSE(KVTTableExists("KVTPOS99"));

  ASSERT_TRUE(Exec("UPDATE KVTSCHEMA SET VERSION = 1"));
  ASSERT_TRUE(Exec("DROP TABLE KVTPOS11"));
  ASSERT_TRUE(Exec("CREATE TABLE KVTPOS11 (CKACCTNUM INTEGER, RECNO DOUBLE PRECISION)"));
  EXPECT_TRUE(
      Mentions(kvt::schema::Check(), "column KVTPOS11.CKACCTNUM is integer, should be text"));
  EXPECT_FALSE(kvt::schema::Create(&error));
  EXPECT_NE(error.find("KVTPOS11.CKACCTNUM"), std::string::npos) << error;
  EXPECT_FALSE(KVTTableExists("KVTPOS99"));  // the failed upgrade left nothing half done
}

TEST_P(Schema, RecordNumbersAreUniquePerTable) {
  ASSERT_TRUE(db().Add("KVTPOS9", {{"STORE", "MAIN"}, {"INVDATE", "01/15/2024"}, {"RECNO", "5"}}));
  EXPECT_FALSE(db().Add("KVTPOS9", {{"STORE", "WEST"}, {"RECNO", "5"}}));
  EXPECT_TRUE(db().Add("KVTPOS9", {{"STORE", "WEST"}}));  // NextNum goes above 5
  EXPECT_EQ(db().Value("SELECT RECNO FROM KVTPOS9 WHERE STORE = 'WEST'"), "6");
}

TEST_P(Schema, TheFixtureWritesByColumnTypeAndRefusesUnknownNames) {
  ASSERT_TRUE(db().Add(
      "KVTPOS1",
      {{"INVOICENUM", "1001"}, {"INVDATE", "01152024"}, {"INVCTOTAL", "12.50"}, {"STATUS", "C"}}))
      << db().error();
  EXPECT_EQ(db().Value("SELECT INVDATE FROM KVTPOS1 WHERE INVDATE < {02/01/2024}"), "01/15/2024");
  EXPECT_EQ(db().Value("SELECT INVCTOTAL FROM KVTPOS1"), "12.50");
  EXPECT_EQ(db().Value("SELECT TRANSNUM FROM KVTPOS1"), "");  // unset text is empty
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM = ''"), 1);
  EXPECT_FALSE(db().Add("KVTPOS1", {{"NO_SUCH_COLUMN", "x"}}));
  EXPECT_NE(db().error().find("NO_SUCH_COLUMN"), std::string::npos);
  EXPECT_FALSE(db().Add("NO_SUCH_TABLE", {{"A", "x"}}));
  EXPECT_FALSE(db().Add("KVTPOS1", {{"INVDATE", "31/01/2024"}}));
  EXPECT_EQ(db().Count("KVTPOS1"), 1);
}

KVT_ON_BOTH_BACKENDS(Schema);

class DemoStore : public DatabaseTest {};

TEST_P(DemoStore, LoadsAConsistentStoreOnlyIntoAnEmptyDatabase) {
  kvt::schema::DemoCounts counts;
  std::string error;
  ASSERT_TRUE(kvt::schema::LoadDemoStore(&error, &counts)) << error;
  EXPECT_EQ(counts.stores, 2);
  EXPECT_GE(counts.items, 2000);
  EXPECT_EQ(db().Count("KVTINV1"), counts.items);
  EXPECT_EQ(db().Count("KVTAR50"), counts.customers);
  EXPECT_TRUE(kvt::schema::Check().empty());

  // Every price record names a category of the store, every category's tax
  // authority has codes with rates, every customer has terms and a balance.
  EXPECT_EQ(db().Count("KVTPRB1", "CSTRCAT NOT IN (SELECT REFERENCE FROM KVTCOM12)"), 0);
  EXPECT_EQ(db().Count("KVTCOM12", "TAXAUTH NOT IN (SELECT TAXAUTH FROM KVTAR16A)"), 0);
  EXPECT_EQ(db().Count("KVTAR16A", "TAXCODE NOT IN (SELECT TAXCODE FROM KVTAR19)"), 0);
  EXPECT_EQ(db().Count("KVTAR50", "REFERENCE NOT IN (SELECT REFERENCE FROM KVTAR51)"), 0);
  EXPECT_EQ(db().Count("KVTAR50", "REFERENCE NOT IN (SELECT REFERENCE FROM KVTAR54)"), 0);
  EXPECT_EQ(
      db().Count("KVTINV1", "BARCODE <> ''"),
      std::atoi(
          db().Value("SELECT COUNT(DISTINCT BARCODE) FROM KVTINV1 WHERE BARCODE <> ''").c_str()));
  // The configuration record the till reads, and one store each way.
  EXPECT_EQ(db().Value("SELECT MAXCHRDEPT FROM KVTPOS10 WHERE STORE = '' AND TILLREF = '' AND "
                       "SLSMAN = ''"),
            "3");
  EXPECT_EQ(db().Value("SELECT LOCATION FROM KVTCOM13 WHERE REFERENCE = 'MAIN'"), "01");
  // Features a till exercises: capped tax codes, quantity and mix prices,
  // discounts by pricing type.
  // clang-format off
  for (auto [table, where] : {std::pair{"KVTCOM12", "TOBACCO = '1'"}, {"KVTCOM12", "ALCOHOL = '1' AND TAGALGCAT <> ''"},
           {"KVTCOM12", "PRICESIGN = 'N'"}, {"KVTCOM12", "SECRETUNIT <> ''"}, {"KVTCOM12", "MARKDOWN <> ''"},
           {"KVTAR19", "AMOUNT <> ''"}, {"KVTPRB1", "PQTY1 <> ''"}, {"KVTPRB1", "MIXNUM <> ''"}, {"KVTINV18", ""},
           {"KVTINVRB", ""}, {"KVTINV19", ""}, {"KVTAR50", "PURCODES IN (SELECT PRICETYPE FROM KVTINV19)"},
           {"KVTAR50N", ""}, {"KVTAR50", "ISACTIVE <> 0"}})
    EXPECT_GT(db().Count(table, where), 0) << table << " " << where;
  // clang-format on

  EXPECT_FALSE(kvt::schema::LoadDemoStore(&error, &counts));
  EXPECT_NE(error.find("already holds"), std::string::npos);
  EXPECT_EQ(counts.items, 0);
}

TEST_P(DemoStore, AFailedLoadLeavesTheDatabaseEmpty) {
  KVTSqlFailStatements("INSERT INTO KVTINV1 ");
  std::string error;
  EXPECT_FALSE(kvt::schema::LoadDemoStore(&error));
  KVTSqlClearFaults();
  EXPECT_NE(error.find("injected failure"), std::string::npos) << error;
  EXPECT_EQ(db().Count("KVTCOM13"), 0);
}

KVT_ON_BOTH_BACKENDS(DemoStore);

// The same rows every time and on either database: loaded on SQLite and then
// on PostgreSQL (or on SQLite again without a server), the content agrees.
TEST(DemoStoreContent, IsTheSameEveryTimeAndOnEitherDatabase) {
  auto digest = [](kvt::test::TestDatabase& db) {
    return db.Value("SELECT LTRIM(STR(SUM(NUMVAL(LISTPRICE) * RECNO), 20, 2)) FROM KVTINV2") + "|" +
           db.Value("SELECT MIN(DESCRIPT) FROM KVTINV1 WHERE REFERENCE >= 'CL'") + "|" +
           db.Value("SELECT LTRIM(STR(SUM(NUMVAL(CURRENT)), 15, 2)) FROM KVTAR54") + "|" +
           db.Value("SELECT MAX(BARCODE) FROM KVTINV1");
  };
  std::string reason;
  auto first = kvt::test::TestDatabase::Create(kvt::test::Backend::SQLite, &reason);
  ASSERT_TRUE(first) << reason;
  ASSERT_TRUE(first->LoadDemo()) << first->error();
  std::string expected = digest(*first);
  first.reset();
  auto second = kvt::test::TestDatabase::Create(kvt::test::PostgresAvailable(nullptr)
                                                    ? kvt::test::Backend::PostgreSQL
                                                    : kvt::test::Backend::SQLite,
                                                &reason);
  ASSERT_TRUE(second) << reason;
  ASSERT_TRUE(second->LoadDemo()) << second->error();
  EXPECT_EQ(digest(*second), expected);
}

}  // namespace
