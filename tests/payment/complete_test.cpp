// The decisions of completing a sale: its type, the drawer, the invoice and
// the card number kept.
#include "payment/complete.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace kvt::payment;

TEST(Completion, TheSaleTypeComesFromTheKindOfSaleThenTheLastMethod) {
  // clang-format off
  struct Case { bool poa; const char* discount; bool cashCheck; const char *method, *type; } cases[] = {
      {true, "", false, "1", "P"},   {true, "0.00", false, "1", "P"}, {true, "5.00", false, "1", "S"},
      {false, "", true, "1", "C"},   {false, "", false, "4", "A"},    {false, "", false, "6", "H"},
      {false, "", false, "B", "H"},  {false, "", false, "5", "S"},    {false, "", false, "", "S"},
      {true, "", true, "4", "P"},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(CompletedSaleType(c.poa, c.discount, c.cashCheck, c.method), c.type)
        << c.poa << c.discount << c.cashCheck << c.method;
}

TEST(Completion, TheDrawerStaysShutForVoidsAndTheFormsKeptShut) {
  // clang-format off
  struct Case { bool isVoid; char form; const char *charge, *card; bool opens; } cases[] = {
      {false, '1', "F", "F", true},  {true, '1', "T", "T", false}, {false, '5', "F", "T", false},
      {false, '6', "F", "T", false}, {false, '5', "T", "F", true}, {false, '3', "T", "F", false},
      {false, '3', "F", "T", true},  {false, '2', "F", "F", true}, {false, '5', "", "", true},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(OpensDrawer(c.isVoid, c.form, c.charge, c.card), c.opens)
        << c.isVoid << c.form << c.charge << c.card;
}

TEST(Completion, TheInvoicePrintsForChargesUnlessReceiptsAreInvoicesAndTheCardIsHiddenWhole) {
  EXPECT_TRUE(PrintsInvoice("F", "20.00", ""));
  EXPECT_TRUE(PrintsInvoice("", "", "-5.00"));
  EXPECT_TRUE(PrintsInvoice("F", "0.00", "")) << "the text, not the amount";
  EXPECT_FALSE(PrintsInvoice("T", "20.00", ""));
  EXPECT_FALSE(PrintsInvoice("F", "", ""));
  for (const char* number : {"************5678", "12", ""})
    EXPECT_EQ(HiddenCardNumber(number), std::string(std::strlen(number), '*')) << number;
}

std::string Shown(const CodeTexts& taxRows, const CodeTexts& names) {
  std::string out;
  for (const TaxDetailRow& r : TaxDetail(taxRows, names)) out += r.label + r.amount + "|";
  return out;
}

TEST(Completion, TheTaxDetailSumsEachCodeUnderItsDescriptionsByCode) {
  const CodeTexts names = {{"ST", "State"}, {"CO", "County"}, {"CI", "City"}};
  // clang-format off
  struct Case { CodeTexts rows; const char* shown; } cases[] = {
      {{{"ST", "0.50"}, {"CO", "0.106"}, {"ST", "0.25"}}, "County Total : 0.11|State Total : 0.75|"},
      {{{"ST", ""}, {"ST", "0.30"}}, "State Total : 0.30|"},
      {{{"ST", ""}}, "State Total : 0.00|"},
      {{{"XX", "1.00"}, {"CI", "-0.20"}}, "City Total : -0.20|"},
      {{}, ""},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(Shown(c.rows, names), c.shown) << c.shown;
  EXPECT_EQ(Shown({{"ST", "1.00"}}, {{"ST", "State"}, {"ST", "Old state"}, {"ST", "State"}}),
            "Old state Total : 1.00|State Total : 1.00|")
      << "one row a description, a repeated row once";
}

}  // namespace
