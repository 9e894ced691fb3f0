// The inventory module's pricing: "GETPRICING" answered from the inventory
// tables (list price, matrix levels, discounts by pricing type, cost) and the
// discount of one unit.
#include "suite/kvtinv/kvtinv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/testdb.h"

namespace {

struct Reply {
  int result;
  bool failed;         // 0xFF in the first byte
  std::string answer;  // from offset 50
  std::string raw;     // the first 206 bytes
};

// Sends a request laid out as the point of sale lays it out.
Reply Send(const char* command, const std::string& text, int size = 400) {
  char request[400], reply[400];
  std::memset(request, ' ', 206);
  request[206] = '\0';
  std::snprintf(request + 50, sizeof request - 50, "%s", text.c_str());
  std::memset(reply, ' ', 205);
  reply[205] = '\0';
  int r = SendDLLMessage(command, request, reply, size);
  return {r, static_cast<unsigned char>(reply[0]) == 0xFF, reply + 50, std::string(reply, 206)};
}

class InventoryModule : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Levels out of order: the highest quantity reached wins; a level
    // without a price is no level.
    Add({"KVTINV2 REFERENCE=FD0001 LOCATION=01 LISTPRICE=12.50 COST=8.10",
         "KVTINV2 REFERENCE=FD0001 LOCATION=02 LISTPRICE=12.99 COST=8.10",
         "KVTINV2 REFERENCE=TWINE LOCATION=01 LISTPRICE=32.99 COST=24.15",
         "KVTINV2 REFERENCE=PROP20 LOCATION=01 LISTPRICE=' 18.99 ' COST=12.40",
         "KVTINV18 REFERENCE=TWINE LOCATION=01 Q1=1 P1=32.99 Q2=40 P2=28.99 Q3=10 P3=30.99 Q4=100 "
         "P4=",
         "KVTINV19 PRICETYPE=FARM LOCATION=01 REFERENCE= DISCOUNT=5%",
         "KVTINV19 PRICETYPE=DEALER LOCATION=01 REFERENCE= DISCOUNT=10%",
         "KVTINV19 PRICETYPE=DEALER LOCATION=01 REFERENCE=PROP20 DISCOUNT=2.00"});
  }
};

TEST_P(InventoryModule, PricesFromTheInventoryTables) {
  // clang-format off
  // request: item,location,quantity,type,redo,level,net,cost,price,discount
  struct Case { const char* request; const char* answer; } cases[] = {
      {"FD0001,01,1,,T,F,F,,,", "12.50,,8.10"},
      {"FD0001,02,1,,T,F,F,,,", "12.99,,8.10"},   // the location's own price
      {"PROP20,01,1,,T,F,F,,,", "18.99,,12.40"},  // trimmed as stored
      // Matrix: the highest level the quantity reaches.
      {"TWINE,01,0,,T,F,F,,,", "32.99,,24.15"}, {"TWINE,01,9,,T,F,F,,,", "32.99,,24.15"},
      {"TWINE,01,12,,T,F,F,,,", "30.99,,24.15"}, {"TWINE,01,40,,T,F,F,,,", "28.99,,24.15"},
      {"TWINE,01,500,,T,F,F,,,", "28.99,,24.15"},
      // Discounts by pricing type: the item's own row before every item's.
      {"FD0001,01,1,FARM,T,F,F,,,", "12.50,5%,8.10"},
      {"FD0001,01,1,DEALER,T,F,F,,,", "12.50,10%,8.10"},
      {"PROP20,01,1,DEALER,T,F,F,,,", "18.99,2.00,12.40"},
      {"FD0001,02,1,FARM,T,F,F,,,", "12.99,,8.10"},  // no discount at that location
      {"FD0001,01,1,RETAIL,T,F,F,,,", "12.50,,8.10"},
      // Redo "F": what the caller already has stands.
      {"FD0001,01,1,FARM,F,F,F,7.00,11.00,1.00", "11.00,1.00,7.00"},
      {"FD0001,01,1,FARM,F,F,F,,,", "12.50,5%,8.10"},
      {"FD0001,01,1,FARM,T,F,F,7.00,11.00,1.00", "12.50,5%,8.10"},
      {"FD0001,01", "12.50,,8.10"},  // fields left off are empty
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    Reply r = Send("GETPRICING", c.request);
    EXPECT_EQ(r.result, 1);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.answer, c.answer);
  }
}

TEST_P(InventoryModule, UnknownItemsAndCommandsFail) {
  for (const char* request :
       {"NOSUCH,01,1,,T,F,F,,,", "FD0001,03,1,,T,F,F,,,", ",01,1,,T,F,F,,,", ""}) {
    SCOPED_TRACE(request);
    Reply r = Send("GETPRICING", request);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.failed);
  }
  Reply r = Send("NOSUCHCOMMAND", "FD0001,01,1,,T,F,F,,,");
  EXPECT_EQ(r.result, 0);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(r.answer, std::string(155, ' '));  // the reply untouched
  EXPECT_EQ(SendDLLMessage("GETPRICING", nullptr, nullptr, 400), 0);
  EXPECT_EQ(Send("GETPRICING", "FD0001,01,1,,T,F,F,,,", 50).result, 0);  // no room for an answer
  // 60 bytes: the request is read up to byte 59, the answer cut to 9 characters.
  Reply cut = Send("GETPRICING", "FD0001,01,1,,T,F,F,,,", 60);
  EXPECT_EQ(cut.result, 1);
  EXPECT_EQ(cut.answer, "12.50,,8.");
  EXPECT_EQ(cut.raw.substr(60, 145), std::string(145, ' '));  // nothing written past the size
}

TEST_P(InventoryModule, DiscountOfOneUnit) {
  // clang-format off
  struct Case { double price; const char* discount; double perUnit; } cases[] = {
      {20.00, "5%", 1.00},   {20.00, " 5% ", 1.00}, {20.00, "0.50", 0.50}, {20.00, "0.50*", 0.50},
      {20.00, "10%*", 2.00}, {20.00, "", 0},        {20.00, "abc", 0},     {-20.00, "5%", -1.00},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.discount);
    EXPECT_NEAR(GetPriceDiscount(c.price, c.discount), c.perUnit, 1e-12);
  }
  EXPECT_EQ(GetPriceDiscount(20.00, nullptr), 0);
}

KVT_ON_BOTH_BACKENDS(InventoryModule);

}  // namespace
