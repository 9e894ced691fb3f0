// Price determination: till code prices, the module's net price, inventory
// prices (promotion, dated tables), quantity breaks, the matrix and
// mix-and-match over priced lines, and failed reads.
#include "pricing/prices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/sql/kvtsqladmin.h"
#include "tests/pricing/pricing_fixture.h"

namespace kvt::pricing {
namespace {

// An inventory module answering from price levels by quantity; a discount
// "N%" takes N percent off, any other an amount per unit.
struct FakeInventory : InventoryModule {
  struct Item {
    std::map<double, std::string> levels;
    std::string discount, cost;
  };
  std::map<std::string, Item> items;
  Looked<ModuleAnswer> Ask(const PriceQuestion& q) override {
    auto it = items.find(q.item);
    if (it == items.end()) return {};
    std::string price;
    for (const auto& [from, p] : it->second.levels)
      if (std::atof(q.qty.c_str()) >= from) price = p;
    return Answer(ModuleAnswer{price, it->second.discount, it->second.cost});
  }
  double NetAmount(double qty, const std::string& price, const std::string& discount) override {
    double p = std::atof(price.c_str()), d = std::atof(discount.c_str());
    return (p - (!discount.empty() && discount.back() == '%' ? p * d / 100 : d)) * qty;
  }
};

// "REF QTY PRICE AMOUNT[ KIND], ..." ("-" an empty price); the lines carry `mix`.
std::vector<PricedLine> Lines(const std::string& spec, const std::string& mix = "") {
  std::vector<PricedLine> lines;
  std::istringstream all(spec);
  for (std::string one; std::getline(all, one, ',');) {
    PricedLine l;
    std::string kind;
    std::istringstream(one) >> l.ref >> l.qty >> l.price >> l.amount >> kind;
    if (l.price == "-") l.price.clear();
    l.isVoid = l.amount == "VOID";
    l.qtyPricing = kind[0];
    l.mix = mix;
    lines.push_back(l);
  }
  return lines;
}

// "price amount" of every line.
std::string Shown(const std::vector<PricedLine>& lines) {
  std::string out;
  for (const PricedLine& l : lines) out += (out.empty() ? "" : ", ") + l.price + " " + l.amount;
  return out;
}

TEST(TillCodePrice, MarkdownWindowSignRulesAndTheSecretPrice) {
  // clang-format off
  struct Case { TillCode code; const char *regular; bool zero, secret; const char *current, *toggled; } cases[] = {
      {{"20.00", "", "10%", "03/01/2024", "03/15/2024"}, "18.00", false, false, "18.00", "18.00"},  // the window ends today
      {{"20.00", "", "10%", "03/16/2024", "03/31/2024"}, "20.00", false, false, "", "20.00"},       // ... starts tomorrow
      {{"20.00", "", "1.5", "01/01/2024", "12/31/2024"}, "18.50", false, false, "", "18.50"},       // an amount off
      {{"20.00", "", "1.5", "01/01/2024", ""}, "20.00", false, false, "", "20.00"},                 // no end: never
      {{"20.00", "10.00", "50%", "12/01/2023", "04/30/2024"}, "10.00", false, true, "10.00", "5.00"},  // both marked down
      {{"5.00", "3.00", "", "", "", true}, "-5.00", false, true, "-5.00", "-3.00"},                 // a negative code
      {{"-5.00", "-3.00", "", "", "", false}, "5.00", false, true, "5.00", "3.00"},                 // a positive one
      {{"0.00"}, "0.00", true, false, "", "0.00"},                                                  // a zero-price code
      {{"0"}, "0.00", false, false, "", "0.00"},
      {{"5.00", "3.00"}, "5.00", false, true, "3.00", "5.00"},                                      // secret back to regular
      {{"5.00", "3.00"}, "5.00", false, true, "4.10", "5.00"},                                      // any other to regular
      {{" 1.23", "", "", "", "", false, {"5", "9"}, {"9", "5"}}, "1.29", false, false, "", "1.29"},  // rule 1 below its limit
      {{"1.27", "", "", "", "", false, {" 5 ", "9"}, {"8", "5"}}, "1.25", false, false, "", "1.25"}, // rule 1 not, rule 2 below
      {{"1.28", "", "", "", "", false, {"5", "9"}, {"8", "5"}}, "1.28", false, false, "", "1.28"},
      {{"1.27", "", "", "", "", false, {"", ""}, {"0", "0"}}, "1.20", false, false, "", "1.20"},     // limit 0: always
      {{"1.29", "", "", "", "", false, {"0", "9"}, {"0", "5"}}, "1.29", false, false, "", "1.29"},   // rule 1 applied stops rule 2
      {{"1.23", "", "", "", "", false, {"5", ""}}, "1.23", false, false, "", "1.23"},                // half a rule is none
      {{"-3.12", "", "", "", "", false, {"9", "5"}}, "3.15", false, false, "", "3.15"},
      {{"2.00", "", "10%", "03/15/2024", "03/15/2024", false, {"0", "9"}}, "1.89", false, false, "", "1.89"},  // after the markdown
      {{"5.00", "3.00", "", "", "", false, {"0", "9"}}, "5.09", false, true, "5.09", "3.09"},       // compared after the rules
  };
  // clang-format on
  for (const Case& c : cases) {
    TillCodePrice p = PriceTillCode(c.code, PriceFormat{}, 20240315);
    EXPECT_EQ(p.regular + (p.zeroPriced ? " zero" : "") + (p.hasSecret ? " secret" : "") + " " +
                  p.Toggled(c.current, PriceFormat{}),
              std::string(c.regular) + (c.zero ? " zero" : "") + (c.secret ? " secret" : "") + " " +
                  c.toggled)
        << c.code.retail << " " << c.regular;
  }
  EXPECT_EQ(ApplyRoundingRules("", {"0", "9"}, {"0", "5"}), "");
}

TEST(QuantityBreaks, TheLastQualifyingBreakWinsAndVoidsDoNotCount) {
  // clang-format off
  struct Case { double total; std::array<PriceBreak, 3> breaks; double price; } cases[] = {
      {12, {{{"10", "4.00"}, {"5", "4.50"}, {}}}, 4.50}, {7, {{{"10", "4.00"}, {"5", "4.50"}, {}}}, 4.50},
      {4, {{{"10", "4.00"}, {"5", "4.50"}, {}}}, 5.00},  {12, {{{"5", "4.50"}, {"10", "4.00"}, {}}}, 4.00},
      {40, {{{"5", "4.50"}, {"10", "4.00"}, {"40", "3.50"}}}, 3.50}, {40, {{{"5", "4.50"}, {"", "1.00"}, {"10", "4.00"}}}, 4.00},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(UnitPriceForBreaks(5.00, c.total, c.breaks), c.price) << c.total;
  std::vector<PricedLine> lines = Lines("BOLT 5 - -, NUT 2.5 - -, BOLT 3 - VOID, NUT 1 - -", "M1");
  lines.back().mix.clear();
  EXPECT_EQ(
      std::vector<double>({TotalQuantity(lines, "BOLT", ""), TotalQuantity(lines, "NUT", "M1"),
                           TotalQuantity(lines, "", "M1"), TotalQuantity(lines, "", "")}),
      std::vector<double>({5, 3.5, 7.5, 0}));  // the item decides over the mix
}

TEST(ModulePrice, TheNetUnitPriceAtThePriceDecimals) {
  FakeInventory inv;
  inv.items["FD0001"] = {{{0, "5.00"}}, "3.333%", "3.00"};
  Prices prices(inv);
  // clang-format off
  struct Case { const char* item; const char* qty; int decimals; const char* answer; } cases[] = {
      {"FD0001", "1", 2, "4.83 3.333% 3.00"}, {"FD0001", "3", 3, "4.833 3.333% 3.00"},
      {"FD0001", "0", 2, "4.83 3.333% 3.00"}, {"FD0001", "", 2, "4.83 3.333% 3.00"},  // no quantity: one unit
      {"NONE", "1", 2, "  "},                                                         // no answer: all empty
  };
  // clang-format on
  for (const Case& c : cases) {
    prices.format = {c.decimals == 3 ? "%.3f" : "%.2f", c.decimals, "%.2f"};
    ModuleAnswer a = prices.ModulePrice({"", "", c.item, "01", c.qty, true}).value;
    EXPECT_EQ(a.price + " " + a.discount + " " + a.cost, c.answer) << c.item << " " << c.qty;
  }
}

class PricesRead : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    inv.items = {{"FD0001", {{{0, "5.00"}}, "", "3.00"}},
                 {"BOLT", {{{0, "5.00"}}, "", "2.00"}},
                 {"NUT", {{{0, "0.25"}}, "", "0.05"}},
                 {"TWINE", {{{0, "32.99"}, {10, "30.99"}, {40, "28.99"}}, "", "24.15"}},
                 {"CANDYA", {{{0, "2.00"}}, "", "1.00"}},
                 {"CANDYB", {{{0, "2.25"}}, "", "1.10"}}};
    prices.today = 20240315;
  }
  FakeInventory inv;
  Prices prices{inv};
};

TEST_P(PricesRead, ModulePriceThenPromotionThenDatedTables) {
  ASSERT_TRUE(AddRows(
      db(),
      "KVTCOM14 STOREREF=MAIN TILLNUM=1 CONTYPE=D; KVTCOM14 STOREREF=MAIN TILLNUM=2 CONTYPE=F"));
  // clang-format off
  struct Case { const char* rows; bool mssql; const char *till, *shiftDate, *shown; } cases[] = {
      {"", false, "1", "03152024", "5.00  3.00"},
      {"KVTPRB1 BEGINDATE=03/01/2024 ENDDATE=03/15/2024 PPRICE1=4.25", false, "1", "03152024", "4.25  3.00 fixed"},
      {"KVTPRB1 BEGINDATE=03/01/2024 ENDDATE=03/14/2024 PPRICE1=4.25", false, "1", "03152024", "5.00  3.00"},
      {"KVTPRB1 BEGINDATE=03/01/2024 ENDDATE=03/31/2024 PPRICE1=4.25; KVTINVRB STARTDATE=03/15/2024 ENDDATE=03/15/2024 RETAIL=3.99", false, "1", "03152024", "3.99  3.00 fixed"},
      {"KVTINVRB STARTDATE=03/16/2024 ENDDATE=03/31/2024 RETAIL=3.99; KVTINVCB STARTDATE=01/01/2024 ENDDATE=03/14/2024 COST=2.10", false, "1", "03152024", "5.00  3.00"},
      {"KVTINVCB STARTDATE=01/01/2024 ENDDATE=12/31/2024 COST=2.75", false, "1", "03152024", "5.00  2.75"},
      {"KVTINVRB STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.99; KVTINVRBD STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.49", true, "1", "03152024", "3.49  3.00 fixed"},  // a direct till of an MSSQL office
      {"KVTINVRB STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.99; KVTINVRBD STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.49", true, "2", "03152024", "3.99  3.00 fixed"},
      {"KVTINVRB STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.99; KVTINVRBD STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.49", false, "1", "03152024", "3.99  3.00 fixed"},
      {"KVTINVRB STARTDATE=03/01/2024 ENDDATE=03/31/2024 RETAIL=3.99", false, "1", "", "5.00  3.00"},  // no shift date
  };
  // clang-format on
  for (const Case& c : cases) {
    for (const char* t : {"KVTPRB1", "KVTINVRB", "KVTINVRBD", "KVTINVCB"})
      ASSERT_TRUE(kvt::sql::Run(std::string("DELETE FROM ") + t).ok());
    ASSERT_TRUE(AddRows(db(), c.rows, {{"REFERENCE", "FD0001"}, {"LOCATION", "01"}}));
    Looked<ItemPrice> p = prices.InventoryPrice({"", "", "FD0001", "01", "1", true},
                                                {"MAIN", c.till, c.shiftDate, c.mssql});
    EXPECT_EQ(p.value.price + " " + p.value.discount + " " + p.value.cost +
                  (p.value.fixed ? " fixed" : "") + p.error,
              c.shown)
        << c.rows;
  }
}

TEST_P(PricesRead, BreaksAndTheMatrixRepriceEveryLineOfTheItem) {
  ASSERT_TRUE(AddRows(db(),
                      "KVTPRB1 REFERENCE=BOLT LOCATION=01 PQTY1=10 PUPRICE1=4.00 PQTY2=5 "
                      "PUPRICE2=4.50; KVTPRB1 REFERENCE=NUT LOCATION=01"));
  // clang-format off
  struct Case { const char *item, *lines, *shown; } cases[] = {
      {"BOLT", "BOLT 5 5.00 25.00 U, NUT 4 0.25 1.00, BOLT 20 5.00 VOID U, BOLT 7 5.00 35.00 U", "4.50 22.50, 0.25 1.00, 5.00 VOID, 4.50 31.50"},
      {"BOLT", "BOLT 7 9.99 69.93 U", "5.00 35.00"},                                         // below the first break
      {"BOLT", "BOLT 4 5.00 20.00 U, BOLT 20 4.50 VOID U, BOLT 4 5.00 20.00 U", "5.00 20.00, 4.50 VOID, 5.00 20.00"},
      {"NUT", "NUT 40 9.99 399.60 U", "9.99 399.60"},                                       // no breaks: not re-priced
      {"TWINE", "TWINE 6 32.99 197.94 M, TWINE 6 32.99 197.94 M", "30.99 185.94, 30.99 185.94"},
      {"TWINE", "TWINE 3 30.99 92.97 M, TWINE 40 - VOID M", "32.99 98.97,  VOID"},
      {"TWINE", "TWINE 40 - - M", "28.99 1159.60"},
      {"GONE", "GONE 2 5.00 10.00 M", " 0.00"},                                             // the module does not answer
  };
  // clang-format on
  for (const Case& c : cases) {
    std::vector<PricedLine> lines = Lines(c.lines);
    Repriced done = lines[0].qtyPricing == 'U' ? prices.ApplyUnitPricing(lines, c.item, "01")
                                               : prices.ApplyMatrixPricing(lines, c.item, "01");
    EXPECT_EQ(Shown(lines) + done.error, c.shown) << c.lines;
  }
}

TEST_P(PricesRead, MixLinesShareTheSetPrice) {
  // clang-format off
  struct Case { const char *mix, *lines; char kind; const char* shown; } cases[] = {
      {"QUANTITY=3 FORQTY=1.00 ENDDATE=03/15/2024", "CANDYA 3 2.00 6.00", 0, "0.33 0.99"},
      {"QUANTITY=3 FORQTY=5.00 AFTERQTY=1.50", "CANDYA 2 2.00 4.00, CANDYB 2 2.25 4.50", 0, "1.67 3.34, 1.58 3.16"},
      {"QUANTITY=3 FORQTY=5.00", "CANDYA 2 2.00 4.00, CANDYB 2 2.25 4.50", 0, "1.67 3.34, 1.96 3.92"},
      {"QUANTITY=2 FORQTY=3.00 AFTERQTY=1.69", "CANDYA 3 2.00 6.00, CANDYB 2 2.25 4.50", 0, "1.50 4.50, 1.60 3.20"},
      {"QUANTITY=3 FORQTY=1.00", "CANDYA 2.5 2.00 5.00, CANDYB 1 2.25 2.25", 0, "0.26 0.65, 0.34 0.34"},
      {"QUANTITY=3 FORQTY=1.00", "CANDYA 2 2.00 4.00, CANDYA 5 9.99 VOID, CANDYB 1 2.25 2.25", 0, "0.33 0.66, 9.99 VOID, 0.34 0.34"},
      {"QUANTITY=3 FORQTY=1.00 ENDDATE=03/14/2024", "CANDYA 3 0.33 0.99", 0, "0.33 0.99"},     // ended yesterday
      {"QUANTITY=3 FORQTY=1.00 BEGINDATE=03/16/2024", "CANDYA 3 2.00 6.00", 0, "2.00 6.00"},   // not begun
      {"QUANTITY=3 FORQTY=1.00", "CANDYA 1 0.33 0.33, CANDYB 1 0.34 0.34", 0, "2.00 2.00, 2.25 2.25"},  // below one set
      {"QUANTITY=3 FORQTY=1.00", "CANDYA 1 0.33 0.33 U, CANDYB 1 0.34 0.34", 'U', "0.33 0.33, 0.34 0.34"},
      {"QUANTITY=0.5 FORQTY=1.00", "CANDYA 3 2.00 6.00", 0, "2.00 6.00"},                      // a set below one unit
      {"QUANTITY= FORQTY=1.00", "CANDYA 3 2.00 6.00", 0, "2.00 6.00"},
      {"QUANTITY=3 FORQTY=1.00", "CANDYA 0 2.00 0.00, CANDYA 3 2.00 6.00", 0, "2.00 0.00, 0.33 0.99"},
  };
  // clang-format on
  int n = 0;
  for (const Case& c : cases) {
    std::string mix = "MIX" + std::to_string(++n);
    ASSERT_TRUE(AddRows(db(),
                        std::string("KVTPRB31 BEGINDATE=01/01/2024 ENDDATE=12/31/2024 ") + c.mix,
                        {{"REFERENCE", mix}}));
    std::vector<PricedLine> lines = Lines(c.lines, mix);
    EXPECT_EQ(Shown(lines) + prices.ApplyMixPricing(lines, mix, c.kind, "01").error, c.shown)
        << c.lines;
  }
  // Only units at the item's own price bring its discount and cost.
  std::vector<PricedLine> lines = Lines("CANDYA 2 2.00 4.00, CANDYB 2 2.25 4.50", "MIX3");
  prices.ApplyMixPricing(lines, "MIX3", 0, "01");
  EXPECT_EQ(lines[0].cost.value_or("-") + "/" + lines[1].cost.value_or("-"), "-/1.10");
  lines[1].isVoid = true;
  prices.ApplyMixPricing(lines, "MIX3", 0, "01");
  EXPECT_EQ(Shown(lines) + " " + lines[0].cost.value_or("-"), "2.00 4.00, 1.96 3.92 1.00");
}

TEST_P(PricesRead, TillCodesCategoryCostsAndAFailedReadNeverTakenForNoPrice) {
  ASSERT_TRUE(AddRows(db(),
                      "KVTCOM12 TILLCODE=10 LOCATION=MAIN RETUNIT=4.25 PRICESIGN=N RND1LT=5 "
                      "RND2MKLD=9; KVTCOM12 REFERENCE=FEED LOCATION=MAIN COSTUNIT=12.40"));
  Looked<TillCode> code = prices.FindTillCode("10", "MAIN");
  EXPECT_EQ(code.value.retail + (code.value.negative ? " N " : " P ") + code.value.rule1.below +
                code.value.rule2.mark,
            "4.25 N 59");
  EXPECT_EQ(prices.FindTillCode("10", "WEST").found, Found::No);
  EXPECT_EQ(prices.CategoryCost("FEED", "MAIN").value, "12.40");
  EXPECT_EQ(prices.CategoryCost("FEED", "WEST").found, Found::No);
  std::vector<PricedLine> lines = Lines("BOLT 12 5.00 60.00 U", "M");
  // clang-format off
  struct Case { const char* table; std::function<std::string()> read; } cases[] = {
      {"KVTCOM12", [&] { return prices.FindTillCode("10", "MAIN").error; }},
      {"KVTCOM12", [&] { return prices.CategoryCost("FEED", "MAIN").error; }},
      {"KVTPRB1", [&] { return prices.InventoryPrice({"", "", "FD0001", "01", "1"}, {"MAIN", "1", "03152024"}).error; }},
      {"KVTINVRB", [&] { return prices.InventoryPrice({"", "", "FD0001", "01", "1"}, {"MAIN", "1", "03152024"}).error; }},
      {"KVTCOM14", [&] { return prices.InventoryPrice({"", "", "FD0001", "01", "1"}, {"MAIN", "1", "03152024", true}).error; }},
      {"KVTPRB1", [&] { return prices.ApplyUnitPricing(lines, "BOLT", "01").error; }},
      {"KVTPRB31", [&] { return prices.ApplyMixPricing(lines, "M", 0, "01").error; }},
  };
  // clang-format on
  for (const Case& c : cases) {
    KVTSqlFailStatements(c.table);
    EXPECT_NE(c.read().find("could not be read"), std::string::npos) << c.table;
    KVTSqlClearFaults();
  }
}

KVT_ON_BOTH_BACKENDS(PricesRead);

}  // namespace
}  // namespace kvt::pricing
