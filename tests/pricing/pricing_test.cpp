// The price lookup service against a scripted inventory module: the request
// the module receives, how replies are read, the failure mark, the net amount
// and the default location.
#include "pricing/pricing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/pricing/pricing_fixture.h"

namespace {

using ScriptFn = void (*)(const char*, int, int);
using CallsFn = int (*)();
using TextFn = const char* (*)();

class PriceLookup : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    host.modules["KVTINV.DLL"] = "KVTINVFAKE.DLL";
    fake = LoadLibrary("KVTINVFAKE.DLL");
    ASSERT_NE(fake, nullptr) << LastModuleError();
    script = GetProc<ScriptFn>(fake, "FakeInvScript");
    calls = GetProc<CallsFn>(fake, "FakeInvCalls");
    command = GetProc<TextFn>(fake, "FakeInvCommand");
    request = GetProc<TextFn>(fake, "FakeInvRequest");
    ASSERT_TRUE(script && calls && command && request);
    script("", 1, 0);
  }

  // GetPrice of item "FD0001" at "01" for 3 units, as item entry asks.
  int Ask(const char* custRef, const char* pricingCode, char* ret) {
    return GetPrice(nullptr, host.Window(), 1, 0, 0, "FD0001", "01", "3", "", "", "", custRef, ret,
                    pricingCode);
  }

  // The request text from offset 50.
  std::string RequestText() const { return request() + KVT_PRICING_TEXT_AT; }

  ModuleHost host;
  HMODULE fake = nullptr;
  ScriptFn script = nullptr;
  CallsFn calls = nullptr;
  TextFn command = nullptr;
  TextFn request = nullptr;
};

TEST_P(PriceLookup, SendsTheRequestLayoutToTheInventoryModule) {
  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "1004"}, {"PURCODES", "FARM"}})) << db().error();
  char ret[KVT_PRICING_RETURN_LEN];
  ASSERT_EQ(GetPrice(nullptr, host.Window(), 1, 0, 1, "FD0001", "01", "3", "8.10", "12.50", "5%",
                     "1004", ret, ""),
            1);
  ASSERT_EQ(host.requested, std::vector<std::string>{"KVTINV.DLL"});
  EXPECT_STREQ(command(), "GETPRICING");
  EXPECT_EQ(std::string(request(), 50), std::string(50, ' '));
  EXPECT_EQ(RequestText(), "FD0001,01,3,FARM,T,F,T,8.10,12.50,5%");

  // A null cost goes empty; flags off are "F".
  ASSERT_EQ(
      GetPrice(nullptr, host.Window(), 0, 1, 0, "FD0001", "01", "1", nullptr, "", "", "", ret, ""),
      1);
  EXPECT_EQ(RequestText(), "FD0001,01,1,,F,T,F,,,");
}

TEST_P(PriceLookup, PricingTypeComesFromTheCallerBeforeTheCustomer) {
  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "1004"}, {"PURCODES", "FARM"}})) << db().error();
  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "O'Brien"}, {"PURCODES", "DEALER"}}))
      << db().error();
  struct Case {
    const char* customer;
    const char* code;
    const char* type;
  } cases[] = {
      {"1004", "", "FARM"},          // the customer's pricing type
      {"1004", "RETAIL", "RETAIL"},  // the caller's code wins
      {"", "RETAIL", "RETAIL"},      // no customer
      {"9999", "", ""},              // no such customer
      {"", "", ""},                  // neither
      {"O'Brien", "", "DEALER"},     // a quote in the reference
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.customer) + "/" + c.code);
    char ret[KVT_PRICING_RETURN_LEN];
    ASSERT_EQ(Ask(c.customer, c.code, ret), 1);
    EXPECT_EQ(RequestText(), std::string("FD0001,01,3,") + c.type + ",T,F,F,,,");
  }
}

TEST_P(PriceLookup, RepliesAreSplitIntoPriceDiscountAndCost) {
  struct Case {
    const char* answer;
    const char* price;
    const char* discount;
    const char* cost;
  } cases[] = {
      {"12.50,5%,8.10", "12.50", "5%", "8.10"},
      {"12.50", "12.50", "", ""},
      {"9.99*,,4.00", "9.99*", "", "4.00"},              // the mark stays on the text
      {"12.50,0.50,8.10,X,Y", "12.50", "0.50", "8.10"},  // fields after the cost ignored
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    script(c.answer, 1, 0);
    char ret[KVT_PRICING_RETURN_LEN];
    ASSERT_EQ(Ask("", "", ret), 1);
    EXPECT_STREQ(ret, c.answer);
    char price[KVT_PRICE_TEXT_LEN] = "x", discount[KVT_PRICE_TEXT_LEN] = "x",
         cost[KVT_PRICE_TEXT_LEN] = "x";
    LoadPriceDiscountCost(ret, host.Window(), price, discount, cost);
    EXPECT_STREQ(price, c.price);
    EXPECT_STREQ(discount, c.discount);
    EXPECT_STREQ(cost, c.cost);
    LoadPriceDiscountCost(ret, host.Window(), price, discount, nullptr);  // cost not wanted
    EXPECT_STREQ(price, c.price);
  }
}

TEST_P(PriceLookup, OnlyAResultOfZeroWithTheMarkFails) {
  struct Case {
    int result;
    int marked;
    int ok;
  } cases[] = {{0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {1, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "result " << c.result << " marked " << c.marked);
    script("12.50,,8.10", c.result, c.marked);
    char ret[KVT_PRICING_RETURN_LEN] = "left over";
    EXPECT_EQ(Ask("", "", ret), c.ok);
    EXPECT_STREQ(ret, c.ok ? "12.50,,8.10" : "");
  }
}

TEST_P(PriceLookup, FailsWithoutAnItemOrAModule) {
  char ret[KVT_PRICING_RETURN_LEN] = "left over";
  EXPECT_EQ(GetPrice(nullptr, host.Window(), 1, 0, 0, "", "01", "1", "", "", "", "", ret, ""), 0);
  EXPECT_STREQ(ret, "");
  EXPECT_EQ(GetPrice(nullptr, host.Window(), 1, 0, 0, nullptr, "01", "1", "", "", "", "", ret, ""),
            0);
  EXPECT_TRUE(host.requested.empty());  // an empty reference asks nobody
  EXPECT_EQ(calls(), 0);

  host.modules.clear();
  std::strcpy(ret, "left over");
  EXPECT_EQ(Ask("", "", ret), 0);
  EXPECT_STREQ(ret, "");
  EXPECT_EQ(GetPrice(nullptr, nullptr, 1, 0, 0, "FD0001", "01", "1", "", "", "", "", ret, ""), 0);

  // A module without SendDLLMessage.
  host.modules["KVTINV.DLL"] = "KVTMS.DLL";
  EXPECT_EQ(Ask("", "", ret), 0);
}

TEST_P(PriceLookup, NetAmountIsPriceLessTheUnitDiscountTimesQuantity) {
  struct Case {
    double qty;
    const char* price;
    const char* discount;
    double amount;
  } cases[] = {
      {3, "20.00", "5%", 57.00},
      {2, "20.00", "1.50", 37.00},
      {2, "9.99*", "", 19.98},
      {2, "20.00", "1.50*", 37.00},
      {-1, "20.00", "5%", -19.00},
      {0, "20.00", "5%", 0},
      {1, "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.price) + " " + c.discount);
    EXPECT_NEAR(CalculateDiscount(host.Window(), c.qty, c.price, c.discount), c.amount, 1e-9);
  }
  host.modules["KVTINV.DLL"] = "KVTINVFAKENODISC.DLL";  // no GetPriceDiscount
  EXPECT_EQ(CalculateDiscount(host.Window(), 3, "20.00", "5%"), 0);
  host.modules.clear();
  EXPECT_EQ(CalculateDiscount(host.Window(), 3, "20.00", "5%"), 0);
}

TEST_P(PriceLookup, DefaultLocationIsTheInventoryConfiguration) {
  EXPECT_STREQ(GetDefaultLocation(), "");
  ASSERT_TRUE(db().Add("KVTINV17", {{"UNITSDEC", "2"}, {"CONFIG10", "01"}})) << db().error();
  EXPECT_STREQ(GetDefaultLocation(), "01");
}

KVT_ON_BOTH_BACKENDS(PriceLookup);

}  // namespace
