// The inventory module stand-in's stock requests: quantity on hand and last
// sale date of a locked item move inside the caller's transaction, and every
// request that cannot be served says why without harming that transaction.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/kvtbase.h"
#include "suite/kvtinv/stock.h"
#include "tests/support/testdb.h"

namespace {

class InventoryStock : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(
        db().Add("KVTINV2", {{"REFERENCE", "HX"}, {"LOCATION", "01"}, {"QTYONHAND", "100"}}))
        << db().error();
  }
  // The result; the module's reason in `why`.
  int Send(const char* command, const std::string& request) {
    why[0] = '\0';
    return SendDLLMessageB(nullptr, &conn, command, request.c_str(), nullptr, 0, why, sizeof why);
  }
  std::string Qoh() { return db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = 'HX'"); }
  static std::string Update(const char* qty) {
    return std::string("HX\t01\t") + qty +
           "\t0.00000\t0.00000\t0.00000\t1.00000\t2.00000\tKVTPOS\tSales\t9A\t9\t03152024";
  }

  KVTConnection conn{1};
  char why[256] = "";
};

TEST_P(InventoryStock, ALockedItemMovesByTheQuantityAndRecordsTheSaleDate) {
  // clang-format off
  struct Case { const char* qty; const char* qoh; } cases[] = {
      {"-2.00000", "98.000"}, {"2.50000", "100.500"}, {"-0.50000", "100.000"}};
  // clang-format on
  EXPECT_EQ(Send("GETVERSION", ""), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.qty);
    ASSERT_EQ(Send("LOCKLOCATION", "HX\t01"), 1) << why;
    EXPECT_EQ(Send("UPDATEINVENTORY", Update(c.qty)), 1) << why;
    EXPECT_EQ(Send("UPDATELASTSALEDATE", "HX\t01\t03152024"), 1) << why;
    EXPECT_EQ(Send("UNLOCKLOCATION", "HX\t01"), 1) << why;
    EXPECT_EQ(Qoh(), c.qoh);
  }
  EXPECT_EQ(db().Value("SELECT LASTSALE FROM KVTINV2"), "03/15/2024");
  // Two moves under one lock are written together when it ends: both count.
  ASSERT_EQ(Send("LOCKLOCATION", "HX\t01"), 1) << why;
  EXPECT_EQ(Send("UPDATEINVENTORY", Update("-2.00000")), 1) << why;
  EXPECT_EQ(Send("UPDATEINVENTORY", Update("-0.50000")), 1) << why;
  EXPECT_EQ(Send("UNLOCKLOCATION", "HX\t01"), 1) << why;
  EXPECT_EQ(Qoh(), "97.500");
}

TEST_P(InventoryStock, RequestsThatCannotBeServedSayWhyAndChangeNothing) {
  // clang-format off
  struct Case { const char* command; std::string request; std::string reason; } cases[] = {
      {"LOCKLOCATION", "NOPE\t01", "Item NOPE is not stocked at location 01."},
      {"LOCKLOCATION", "HX\t02", "Item HX is not stocked at location 02."},
      {"UPDATEINVENTORY", Update("-1.00000"), "Item HX at location 01 is not locked."},
      {"UPDATELASTSALEDATE", "HX\t01\t03152024", "Item HX at location 01 is not locked."},
      {"UNLOCKLOCATION", "HX\t01", "Item HX at location 01 is not locked."},
      {"UPDATEINVENTORY", "HX\t01\tmany", "UPDATEINVENTORY needs item, location, quantities and amounts."},
      {"REBUILD", "", "Unknown inventory request \"REBUILD\"."},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.request);
    EXPECT_EQ(Send(c.command, c.request), 0);
    EXPECT_EQ(why, c.reason);
  }
  // A date the database would refuse is caught before it reaches it.
  ASSERT_EQ(Send("LOCKLOCATION", "HX\t01"), 1) << why;
  EXPECT_EQ(Send("UPDATELASTSALEDATE", "HX\t01\t1227"), 0);
  EXPECT_STREQ(why, "\"1227\" is not a date.");
  EXPECT_EQ(Send("UPDATEINVENTORY", Update("abc")), 0);
  EXPECT_STREQ(why, "UPDATEINVENTORY: \"abc\" is not a number.");
  EXPECT_EQ(Send("UNLOCKLOCATION", "HX\t01"), 1);
  EXPECT_EQ(Qoh(), "100");
  EXPECT_EQ(db().Value("SELECT LASTSALE FROM KVTINV2"), "");
}

TEST_P(InventoryStock, StockMovedInACancelledSaleMovesBack) {
  char tran[] = "SELECT RECNO FROM KVTPOS1";
  ASSERT_GT(conn.BeginTran(tran), 0);
  ASSERT_EQ(Send("LOCKLOCATION", "HX\t01"), 1) << why;
  ASSERT_EQ(Send("UPDATEINVENTORY", Update("-5.00000")), 1) << why;
  // A refused request on the way does not spoil the sale's transaction.
  EXPECT_EQ(Send("UPDATELASTSALEDATE", "HX\t01\tsoon"), 0);
  ASSERT_EQ(Send("UNLOCKLOCATION", "HX\t01"), 1) << why;
  EXPECT_EQ(Qoh(), "95.000");
  ASSERT_GT(conn.CancelTran(tran), 0);
  EXPECT_EQ(Qoh(), "100");

  ASSERT_GT(conn.BeginTran(tran), 0);
  ASSERT_EQ(Send("LOCKLOCATION", "HX\t01"), 1) << why;
  ASSERT_EQ(Send("UPDATEINVENTORY", Update("-5.00000")), 1) << why;
  ASSERT_EQ(Send("UNLOCKLOCATION", "HX\t01"), 1) << why;
  ASSERT_GT(conn.CommitTran(tran), 0) << conn.LastError();
  EXPECT_EQ(Qoh(), "95.000");
}

KVT_ON_BOTH_BACKENDS(InventoryStock);

}  // namespace
