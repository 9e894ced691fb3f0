// Parked sales of a till shift and the count of its untransferred sales,
// read from the sale tables.
#include "sale/suspended.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/testdb.h"

namespace {

using kvt::sale::TillShift;

class Parked : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // link, store, date, till, shift, status, transferred batch
    const char* sales[][7] = {
        {"L1", "MAIN", "06/15/2026", "1", "1", "S", ""},
        {"L2", "MAIN", "06/15/2026", "1", "1", "C", ""},
        {"L3", "MAIN", "06/15/2026", "1", "2", "S", ""},
        {"L4", "MAIN", "06/15/2026", "1", "1", "C", "T0001"},
        {"L5", "MAIN", "06/14/2026", "1", "1", "S", ""},
        {"L6", "MAIN", "06/15/2026", "2", "1", "S", ""},
        {"L7", "WEST", "06/15/2026", "1", "1", "S", ""},
    };
    int recno = 1;
    for (auto& s : sales)
      Add({std::string("KVTPOS1 INVOICELNK=") + s[0] + " INVOICENUM=10" + s[0] + " STORE=" + s[1] +
           " INVDATE=" + s[2] + " TILLREF=" + s[3] + " SHIFT=" + s[4] + " STATUS=" + s[5] +
           " TRANSNUM=" + s[6] + " SLSMAN=100 INVCTOTAL=12.50 RECNO=" + std::to_string(recno++)});
    Add(
        {"KVTPOS2 INVOICELNK=L1 INVREF=P2000 DESCR='Gate hinge' QTYORDERED=2 PRICE=6.25 "
         "ENTRYTOTAL=12.50 FOODSTAMPS=1 TAXABLE=0 RECNO=1"});
  }
};

TEST_P(Parked, OnlyTheTillShiftsParkedSalesAreListed) {
  std::vector<kvt::sale::ParkedSale> sales;
  std::string error;
  ASSERT_TRUE(kvt::sale::ParkedSales({"MAIN", "06152026", "1", "1"}, &sales, &error)) << error;
  ASSERT_EQ(sales.size(), 1u);
  EXPECT_EQ(sales[0].link, "L1");
  EXPECT_EQ(sales[0].number, "10L1");
  EXPECT_EQ(sales[0].employee, "100");
  EXPECT_EQ(std::stod(sales[0].total), 12.5);
  ASSERT_TRUE(kvt::sale::SalesToVoid({"MAIN", "06/15/2026", "1", "2"}, &sales, &error)) << error;
  ASSERT_EQ(sales.size(), 1u);
  EXPECT_EQ(sales[0].link, "L3");
  ASSERT_TRUE(kvt::sale::ParkedSales({"EAST", "06152026", "1", "1"}, &sales, &error)) << error;
  EXPECT_TRUE(sales.empty());
}

TEST_P(Parked, TheLinesShowTheirFlagsAsYesOrNo) {
  std::vector<kvt::sale::ParkedItem> items;
  std::string error;
  ASSERT_TRUE(kvt::sale::ParkedItems("L1", &items, &error)) << error;
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].reference, "P2000");
  EXPECT_EQ(items[0].description, "Gate hinge");
  EXPECT_EQ(items[0].fs, "Y");
  EXPECT_EQ(items[0].tax, "N");
  ASSERT_TRUE(kvt::sale::ParkedItems("L9", &items, &error)) << error;
  EXPECT_TRUE(items.empty());
}

TEST_P(Parked, TheUntransferredSalesAreCountedByShiftOrAll) {
  // clang-format off
  struct Case { TillShift shift; const char* count; } cases[] = {
      {{"MAIN", "06152026", "1", "1"}, "2"},  // L1, L2; L4 is transferred
      {{"MAIN", "06152026", "1", ""}, "3"},   // every shift: L3 too
      {{"MAIN", "06152026", "1", "3"}, "0"}, {{"MAIN", "06142026", "1", ""}, "1"}, {{"WEST", "06152026", "2", ""}, "0"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string count, error;
    ASSERT_TRUE(kvt::sale::CountUntransferred(c.shift, &count, &error)) << error;
    EXPECT_EQ(count, c.count) << c.shift.store << c.shift.date << c.shift.till << c.shift.shift;
  }
}

TEST_P(Parked, ABadDateIsAFailureNotNone) {
  std::vector<kvt::sale::ParkedSale> sales;
  std::string error, count;
  EXPECT_FALSE(kvt::sale::ParkedSales({"MAIN", "June", "1", "1"}, &sales, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(kvt::sale::CountUntransferred({"MAIN", "June", "1", ""}, &count, &error));
}

KVT_ON_BOTH_BACKENDS(Parked);

}  // namespace
