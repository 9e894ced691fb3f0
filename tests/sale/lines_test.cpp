// The sale's lines as values: grid rows and back, the totals, and the rules
// of a keyed line.
#include "sale/lines.h"

#include <gtest/gtest.h>

#include "shell/globals.h"

namespace {

using namespace kvt::sale;

class SaleLine : public ::testing::Test {
 protected:
  void SetUp() override {
    KVTResetModuleState();
    KVTSetSetting(PRICE_FORMAT, "%.3f");
  }
  void TearDown() override { KVTResetModuleState(); }
};

TEST_F(SaleLine, AGridRowComesBackAsItWent) {
  const Cells row = {
      "ABCD1", "Chicken feed", "2",    "3.50", "7.00", "Y",   "1001", "0",     "501", "",
      "Y",     "01",           "FEED", "0.10", "2.00", "SN9", "M1",   "ITEMB", "NTX", "ITEMX",
      "U",     "5%",           "A"};
  const Line l = LineFromCells(row);
  EXPECT_EQ(CellsOfLine(l), row);
  EXPECT_EQ(l.itemLink, "501");
  EXPECT_EQ(l.amount, 7.0);
  EXPECT_TRUE(l.foodStamps && l.taxable && !l.voided);
  EXPECT_EQ(l.Quantity() * l.Price(), 7.0);
}

TEST_F(SaleLine, FlagsVoidsAndAmountsReadAsTheSaleCountsThem) {
  // clang-format off
  struct Case { Cells cells; bool fs, taxable, voided; double amount; const char* amountCell; } cases[] = {
      {{"A", "", "1", "1", "5",      "Y", "", "", "", "", "N"}, true,  false, false, 5,  "5.00"},
      {{"A", "", "1", "1", " VOID ", "N", "", "", "", "", "Y"}, false, true,  true,  0,  "VOID"},
      {{"A", "", "1", "1", "-0.001", " Y"},                     true,  false, false, -0.001, "0.00"},  // never "-0.00"
      {{"A", "", "1", "1", "2.675",  "y", "", "", "", "", "T"}, false, false, false, 2.675, "2.68"},  // only "Y" is yes
      {{},                                                      false, false, false, 0,  "0.00"},
  };
  // clang-format on
  for (const Case& c : cases) {
    const Line l = LineFromCells(c.cells);
    SCOPED_TRACE(c.amountCell);
    EXPECT_EQ(l.foodStamps, c.fs);
    EXPECT_EQ(l.taxable, c.taxable);
    EXPECT_EQ(l.voided, c.voided);
    EXPECT_DOUBLE_EQ(l.amount, c.amount);
    EXPECT_EQ(CellsOfLine(l)[COL_AMOUNT], c.amountCell);
  }
}

// A line: amount, and "F" food stamps, "T" taxable, "V" voided.
Line L(double amount, const std::string& flags = "") {
  Line l;
  l.amount = amount;
  l.foodStamps = flags.find('F') != std::string::npos;
  l.taxable = flags.find('T') != std::string::npos;
  l.voided = flags.find('V') != std::string::npos;
  return l;
}

TEST_F(SaleLine, TotalsByFoodStampsTaxAndVoids) {
  // clang-format off
  struct Case { std::vector<Line> lines; double tax, fs, remaining, nonTaxable, total; } cases[] = {
      {{L(10, "F"), L(5.5, "T"), L(99, "TV"), L(-2.25)},         0.41, 10,    3.25, 7.75,  13.66},
      {{},                                                       0,    0,     0,    0,     0},
      {{L(1.004, "T"), L(1.004, "T")},                           0.14, 0,     2.01, 0,     2.15},  // the sum is rounded, not each line
      {{L(3, "F"), L(2, "FT")},                                  0.1,  5,     0,    3,     5.1},   // a taxable food-stamp line
      {{L(-5, "F"), L(-1.5, "T")},                               -0.1, -5,    -1.5, -5,    -6.6},  // a return
      {{L(0.005), L(0.004)},                                     0,    0,     0.01, 0.01,  0.01},
  };
  // clang-format on
  for (const Case& c : cases) {
    const Totals t = TotalSale(c.lines, c.tax);
    SCOPED_TRACE(c.total);
    EXPECT_DOUBLE_EQ(t.foodStamps, c.fs);
    EXPECT_DOUBLE_EQ(t.remaining, c.remaining);
    EXPECT_DOUBLE_EQ(t.nonTaxable, c.nonTaxable);
    EXPECT_DOUBLE_EQ(t.tax, c.tax);
    EXPECT_DOUBLE_EQ(t.total, c.total);
  }
}

TEST_F(SaleLine, RunningTotalsMatchTotallingTheWholeSaleAfterEveryChange) {
  // clang-format off
  struct Case { int at; Line line; } changes[] = {
      {0, L(0.1, "T")}, {1, L(0.2, "F")}, {2, L(0.7)}, {3, L(1.005, "T")}, {4, L(-0.3, "F")},
      {1, L(0.2, "FV")},            // a line before the end voided: summed again
      {5, L(0.015)}, {0, L(2.675)}, // a line before the end changed
      {6, L(0.01, "T")},
  };
  // clang-format on
  RunningTotals running;
  std::vector<Line> lines;
  for (const auto& [at, line] : changes) {
    if (at == static_cast<int>(lines.size())) lines.push_back(line);
    lines[static_cast<std::size_t>(at)] = line;
    running.SetLine(static_cast<std::size_t>(at), line);
    const Totals want = TotalSale(lines, 0.07), got = running.Total(0.07);
    EXPECT_EQ(got.foodStamps, want.foodStamps) << at;  // to the bit
    EXPECT_EQ(got.remaining, want.remaining) << at;
    EXPECT_EQ(got.nonTaxable, want.nonTaxable) << at;
    EXPECT_EQ(got.total, want.total) << at;
  }
}

TEST_F(SaleLine, QuantityIsRefusedInOrder) {
  const char* negative = "Negative quantity is not allowed.";
  const char* notNumber = "Not a valid quantity.\n\nMust enter a number.";
  const char* tooMany = "Quantity exceeds maximum quantity allowed.";
  const char* zero = "Zero quantity is not allowed.";
  // clang-format off
  struct Case { const char* qty; const char* max; bool allowZero; const char* refusal; } cases[] = {
      {"2.5", "10", false, nullptr},  {"10", "10", false, nullptr}, {"+3", "10", false, nullptr},
      {"-2", "10", false, negative},  {"-1a", "10", false, negative},  // the sign is told first
      {"abc", "10", false, notNumber}, {"1.5.2", "10", false, notNumber}, {".", "10", false, notNumber},
      {"abc", "", false, notNumber},  {"11", "10", false, tooMany},
      {"1", "", false, tooMany},      // no maximum set refuses every quantity
      {"0", "10", false, zero},       {"0", "10", true, nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    const char* got = QuantityRefusal(c.qty, c.max, c.allowZero);
    EXPECT_STREQ(got ? got : "", c.refusal ? c.refusal : "") << c.qty << " max " << c.max;
  }
}

TEST_F(SaleLine, ATillCodeSellsAtTheSignOfItsPriceRule) {
  // clang-format off
  struct Case { double value; bool tillCode, negative; double signedValue; } cases[] = {
      {5, true, true, -5}, {-5, true, true, -5}, {-5, true, false, 5}, {5, true, false, 5},
      {-5, false, true, -5}, {5, false, true, 5}, {0, true, true, 0},  // an item keeps the sign keyed
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(SignedForTillCode(c.value, c.tillCode, c.negative), c.signedValue)
        << c.value << c.tillCode << c.negative;
}

TEST_F(SaleLine, TheAmountKeyedDecidesTheQuantityOrThePrice) {
  // clang-format off
  struct Case { const char* name; double amount, qty, price; bool priceKeyed, byAmount, asked; const char* unitDec;
                KeyedAmount want; } cases[] = {
      {"sold by amount",           5,    1, 2,    true,  true,  false, "",  {"5.00", "2.500", ""}},
      {"two unit decimals",        5,    1, 2,    true,  true,  false, "2", {"5.00", "2.50", ""}},
      {"whole units",              5,    1, 2,    true,  true,  false, "0", {"5.00", "3", ""}},
      {"by amount at no price",    5,    1, 0,    true,  true,  false, "",  {"5.00", "", ""}},
      {"amount asked",             5,    4, 1,    true,  false, true,  "",  {"5.00", "", "1.250"}},
      {"no price keyed",           5,    2, 0,    false, false, false, "",  {"5.00", "", "2.500"}},
      {"open department at 0.00",  25,   2, 0,    true,  false, false, "",  {"25.00", "", "12.500"}},
      {"amount as priced",         5,    2, 2.5,  true,  false, true,  "",  {"5.00", "", ""}},
      {"amount not asked",         5,    4, 1,    true,  false, false, "",  {"5.00", "", ""}},
      {"no quantity",              5,    0, 0,    false, false, true,  "",  {"5.00", "", ""}},
      {"negative till code",       -3,   1, -3,   true,  false, true,  "",  {"-3.00", "", ""}},
      {"cents of the amount",      5.004, 3, 0,   false, false, false, "",  {"5.00", "", "1.667"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyedAmount k =
        SettleKeyedAmount(c.amount, c.qty, c.price, c.priceKeyed, c.byAmount, c.asked, c.unitDec);
    EXPECT_EQ(k.amount, c.want.amount);
    EXPECT_EQ(k.quantity, c.want.quantity);
    EXPECT_EQ(k.price, c.want.price);
  }
}

}  // namespace
