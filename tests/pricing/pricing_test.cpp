// The price lookup service against a scripted inventory module: the request
// the module receives, how replies are read, the failure mark, the net amount
// and the default location.
#include "pricing/pricing.h"

#include <gtest/gtest.h>

#include "platform/sql/kvtsqladmin.h"
#include "tests/pricing/pricing_fixture.h"

namespace {

class PriceLookup : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    host.modules["KVTINV.DLL"] = "KVTINVFAKE.DLL";
    HMODULE fake = LoadLibrary("KVTINVFAKE.DLL");
    ASSERT_NE(fake, nullptr) << LastModuleError();
    script = GetProc<void (*)(const char*, int, int)>(fake, "FakeInvScript");
    request = GetProc<const char* (*)()>(fake, "FakeInvRequest");
    ASSERT_TRUE(script && request);
  }
  ModuleHost host;
  void (*script)(const char* answer, int result, int markFailed) = nullptr;
  const char* (*request)() = nullptr;  // the last request, all 400 bytes
};

TEST_P(PriceLookup, TheRequestLayoutAndTheReply) {
  ASSERT_TRUE(AddRows(
      db(), "KVTAR50 REFERENCE=1004 PURCODES=FARM; KVTAR50 REFERENCE=O'Brien PURCODES=DEALER"));
  // clang-format off
  struct Case { int redo, level, net; const char *item, *cost, *customer, *code, *answer; int result, marked, ok; const char* sent; } cases[] = {
      {1, 0, 1, "FD0001", "8.10", "1004", "", "12.50,5%,8.10", 1, 0, 1, "FD0001,01,3,FARM,T,F,T,8.10,12.50,5%"},
      {0, 1, 0, "FD0001", nullptr, "", "", "12.50", 1, 0, 1, "FD0001,01,3,,F,T,F,,12.50,5%"},  // no cost: sent empty
      {1, 0, 0, "FD0001", "", "1004", "RETAIL", "1", 1, 0, 1, "FD0001,01,3,RETAIL,T,F,F,,12.50,5%"},  // the caller's code wins
      {1, 0, 0, "FD0001", "", "9999", "", "1", 1, 0, 1, "FD0001,01,3,,T,F,F,,12.50,5%"},      // no such customer
      {1, 0, 0, "FD0001", "", "O'Brien", "", "1", 1, 0, 1, "FD0001,01,3,DEALER,T,F,F,,12.50,5%"},
      {1, 0, 0, "FD0001", "", "", "", "12.50", 0, 1, 0, "FD0001,01,3,,T,F,F,,12.50,5%"},      // only 0 with the mark fails
      {1, 0, 0, "FD0001", "", "", "", "12.50", 0, 0, 1, "FD0001,01,3,,T,F,F,,12.50,5%"},
      {1, 0, 0, "FD0001", "", "", "", "12.50", 1, 1, 1, "FD0001,01,3,,T,F,F,,12.50,5%"},
      {1, 0, 0, "", "", "", "", "12.50", 1, 0, 0, ""},                                         // no item: nobody asked
  };
  // clang-format on
  for (const Case& c : cases) {
    script(c.answer, c.result, c.marked);
    char ret[KVT_PRICING_RETURN_LEN] = "left over";
    EXPECT_EQ(GetPrice(nullptr, host.Window(), c.redo, c.level, c.net, c.item, "01", "3", c.cost,
                       "12.50", "5%", c.customer, ret, c.code),
              c.ok)
        << c.sent;
    std::string sent = *request() ? std::string(request(), 50) + (request() + 50) : "";
    EXPECT_EQ(sent, *c.sent ? std::string(50, ' ') + c.sent : "") << c.sent;
    EXPECT_STREQ(ret, c.ok ? c.answer : "");
  }
  char ret[KVT_PRICING_RETURN_LEN];
  std::string error;
  KVTSqlFailStatements("KVTAR50");  // the customer's type unread: no price, and why
  EXPECT_EQ(GetPrice(nullptr, host.Window(), 1, 0, 0, "FD0001", "01", "1", "", "", "", "1004", ret,
                     "", &error),
            0);
  EXPECT_NE(error.find("pricing type of customer 1004 could not be read"), std::string::npos);
  KVTSqlClearFaults();
  for (const char* module : {"KVTMS.DLL", ""}) {  // without SendDLLMessage, without a module
    host.modules.clear();
    if (*module) host.modules["KVTINV.DLL"] = module;
    EXPECT_EQ(
        GetPrice(nullptr, host.Window(), 1, 0, 0, "FD0001", "01", "1", "", "", "", "", ret, ""), 0);
  }
  EXPECT_EQ(GetPrice(nullptr, nullptr, 1, 0, 0, "FD0001", "01", "1", "", "", "", "", ret, ""), 0);
}

TEST_P(PriceLookup, RepliesSplitNetAmountsAndTheDefaultLocation) {
  // clang-format off
  struct Split { const char *answer, *shown; } splits[] = {
      {"12.50,5%,8.10", "12.50|5%|8.10"}, {"12.50", "12.50||"}, {"9.99*,,4.00", "9.99*||4.00"},  // the mark stays
      {"12.50,0.50,8.10,X,Y", "12.50|0.50|8.10"}, {"", "||"},
  };
  struct Net { double qty; const char *price, *discount; double amount; } nets[] = {
      {3, "20.00", "5%", 57.00}, {2, "20.00", "1.50", 37.00}, {2, "9.99*", "", 19.98}, {2, "20.00", "1.50*", 37.00},
      {-1, "20.00", "5%", -19.00}, {0, "20.00", "5%", 0}, {1, "", "", 0},
  };
  // clang-format on
  for (const Split& s : splits) {
    char price[KVT_PRICE_TEXT_LEN] = "x", discount[KVT_PRICE_TEXT_LEN] = "x",
         cost[KVT_PRICE_TEXT_LEN] = "x";
    LoadPriceDiscountCost(s.answer, host.Window(), price, discount, cost);
    EXPECT_EQ(std::string(price) + "|" + discount + "|" + cost, s.shown);
    price[0] = discount[0] = '\0';
    LoadPriceDiscountCost(s.answer, host.Window(), price, discount, nullptr);  // cost not wanted
    EXPECT_EQ(std::string(price) + "|" + discount + "|" + cost, s.shown);
  }
  for (const Net& n : nets)
    EXPECT_NEAR(CalculateDiscount(host.Window(), n.qty, n.price, n.discount), n.amount, 1e-9)
        << n.price << " " << n.discount;
  for (const char* module :
       {"KVTINVFAKENODISC.DLL", ""}) {  // without GetPriceDiscount, without one
    host.modules.clear();
    if (*module) host.modules["KVTINV.DLL"] = module;
    EXPECT_EQ(CalculateDiscount(host.Window(), 3, "20.00", "5%"), 0);
  }

  EXPECT_STREQ(GetDefaultLocation(), "");
  ASSERT_TRUE(AddRows(db(), "KVTINV17 UNITSDEC=2 CONFIG10=01"));
  EXPECT_STREQ(GetDefaultLocation(), "01");
  KVTSqlFailStatements("KVTINV17");
  EXPECT_TRUE(DefaultLocation().failed());
  KVTSqlClearFaults();
}

KVT_ON_BOTH_BACKENDS(PriceLookup);

}  // namespace
