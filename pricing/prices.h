// Price look-up and determination of a sale: till code prices, inventory
// item prices, quantity breaks and the quantity matrix, mix-and-match and
// the sales category cost. Nothing here knows a screen: lines come in as
// PricedLine values, settings as PriceFormat, today as a number.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pricing/lookup.h"

namespace kvt::pricing {

// How prices and amounts are written (PRICE_FORMAT at the price decimals,
// TOTAL_FORMAT to the cent). Both round half away from zero first, so 1.005
// is 1.01 and nothing shows "-0.00".
struct PriceFormat {
  std::string price = "%.2f";
  int decimals = 2;
  std::string total = "%.2f";

  std::string Price(double value) const;
  std::string Amount(double value) const;
};

// A window of MM/DD/YYYY texts (price records, mixes) against `today`
// (YYYYMMDD), both days included. A blank or unreadable date is 0, so a
// window without an end date never holds.
bool WindowHolds(const std::string& begin, const std::string& end, long today);

// ---- Till codes ---------------------------------------------------------------

// A last-digit rule of a till code: the last digit becomes the first
// character of `mark` when it is below `below`, or always when `below` reads
// as 0. A rule with either part blank does nothing.
struct RoundingRule {
  std::string below, mark;
};
// The rules on a price text (trimmed first): the first rule, and the second
// only when the first did not apply.
std::string ApplyRoundingRules(std::string price, const RoundingRule& first,
                               const RoundingRule& second);

// A till code's row as its price needs it; all blank when the code has none.
struct TillCode {
  std::string retail{}, secret{}, markdown{}, begin{}, end{};
  bool negative = false;  // every price of the code shows below zero
  RoundingRule rule1{}, rule2{};
};

struct TillCodePrice {
  std::string regular, secret;  // after the markdown (while its window holds), sign and rules
  bool hasSecret = false;
  bool zeroPriced = false;  // the code's price reads "0.00": the cashier keys one

  // The price key: the secret price on a line at the regular price, the
  // regular price on any other.
  std::string Toggled(const std::string& current, const PriceFormat& format) const;
};
TillCodePrice PriceTillCode(const TillCode& code, const PriceFormat& format, long today);

// ---- The inventory module ---------------------------------------------------------

struct PriceQuestion {
  std::string customer{}, pricingCode{}, item{}, location{}, qty{};
  bool loadAll = true;
};
struct ModuleAnswer {
  std::string price, discount, cost;
};

// The suite's inventory module as pricing asks it.
class InventoryModule {
 public:
  virtual ~InventoryModule() = default;
  // Its price, discount and cost texts; not found when it does not answer,
  // failed when a read the question needs failed.
  virtual Looked<ModuleAnswer> Ask(const PriceQuestion& question) = 0;
  // `qty` units at `price` less `discount` (the module's own rule; 0 when
  // it has none).
  virtual double NetAmount(double qty, const std::string& price, const std::string& discount) = 0;
};

// ---- The sale's lines as pricing sees them --------------------------------------

struct PricedLine {
  std::string ref;
  double qty = 0;
  std::string price, amount;  // as the sale shows them
  bool isVoid = false;        // voided lines neither count nor change
  std::string mix;
  char qtyPricing = 0;  // 'U' unit-price breaks, 'M' the matrix
  // What a re-pricing did: price and amount set again, and the item's own
  // discount and cost when the line took them.
  bool repriced = false;
  std::optional<std::string> discount, cost;
};

// The quantity on the non-void lines of `item` or, with an empty item, of
// `mix`; 0 when both are empty.
double TotalQuantity(const std::vector<PricedLine>& lines, const std::string& item,
                     const std::string& mix);

struct PriceBreak {
  std::string qty, price;
};
// The price of the last break (in order) whose quantity is set and reached
// by `total`; `price` when none is.
double UnitPriceForBreaks(double price, double total, const std::array<PriceBreak, 3>& breaks);

// ---- Look-up and determination ----------------------------------------------------

// Where the till is: its store and till, its shift date (MMDDYYYY), and
// whether its office database is of the "MSSQL" kind.
struct Till {
  std::string store{}, till{}, shiftDate{};
  bool mssqlOffice = false;
};

// An item's promotion as its price record holds it.
struct Promotion {
  std::string begin, end, price;
};

struct ItemPrice {
  std::string price, discount, cost;
  bool fixed = false;  // a promotion or dated price: never re-priced by quantity or mix
};

// A re-pricing: found when the lines were priced again (the sale is then
// totalled again), not found when nothing applied. On failure the lines are
// left half done and must not be shown.
using Repriced = Looked<bool>;

class Prices {
 public:
  explicit Prices(InventoryModule& inventory) : inventory_(inventory) {}

  // Set by the caller before each use.
  PriceFormat format;
  long today = 0;  // YYYYMMDD

  // The till code's row in `store` (KVTCOM12).
  Looked<TillCode> FindTillCode(const std::string& code, const std::string& store);
  // The module's price, discount and cost for the question's quantity, the
  // price as the net unit price (a quantity of 0 is priced as one unit).
  Looked<ModuleAnswer> ModulePrice(const PriceQuestion& question);
  // An inventory item: the module's price, then a promotion holding today,
  // then the dated retail and cost tables on the shift date (the direct
  // tables for a till working directly on an MSSQL office).
  // `known`: the promotion as the caller has read it (not found: the item
  // has no price record), null to read it here.
  Looked<ItemPrice> InventoryPrice(const PriceQuestion& question, const Till& till,
                                   const Looked<Promotion>* known = nullptr);
  // The sales category's COSTUNIT in the store.
  Looked<std::string> CategoryCost(const std::string& category, const std::string& store);

  // Every non-void line of `item` re-priced for the quantity summed over the
  // sale: by its unit-price breaks (KVTPRB1), or by the module's matrix.
  Repriced ApplyUnitPricing(std::vector<PricedLine>& lines, const std::string& item,
                            const std::string& location);
  Repriced ApplyMatrixPricing(std::vector<PricedLine>& lines, const std::string& item,
                              const std::string& location);
  // The lines of `mix` while its window (KVTPRB31) holds today: complete
  // sets share the set price (the last unit of each set absorbs the
  // rounding), units beyond them go at AFTERQTY or the item's own price.
  // Below one set the lines go back to their own prices, unless
  // `qtyPricing` says breaks or a matrix priced the line that changed. A
  // set quantity below one unit changes nothing.
  Repriced ApplyMixPricing(std::vector<PricedLine>& lines, const std::string& mix, char qtyPricing,
                           const std::string& location);

 private:
  Looked<bool> UseDirectTables(const Till& till);
  void PriceItemLines(std::vector<PricedLine>& lines, const std::string& item,
                      const std::string& price, const std::string* discount) const;

  InventoryModule& inventory_;
  kvt::sql::Query tillCode_{
      "SELECT RETUNIT,BEGINDATE,ENDDATE,MARKDOWN,SECRETUNIT,PRICESIGN,RND1LT,RND1MKLD,RND2LT,"
      "RND2MKLD FROM KVTCOM12 WHERE TILLCODE = ? AND LOCATION = ?"};
  kvt::sql::Query promotion_{
      "SELECT BEGINDATE,ENDDATE,PPRICE1 FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?"};
  // The dated retail price ("R") and cost ("C") on a day, in one round trip:
  // from the tables of a till working directly on the office, and of every other.
  kvt::sql::Query datedDirect_{
      "SELECT 'R' AS KIND,RETAIL AS VALUE FROM KVTINVRBD WHERE REFERENCE = ? AND LOCATION = ? AND "
      "STARTDATE <= ? AND ENDDATE >= ? UNION ALL SELECT 'C' AS KIND,COST AS VALUE FROM KVTINVCBD "
      "WHERE REFERENCE = ? AND LOCATION = ? AND STARTDATE <= ? AND ENDDATE >= ?"};
  kvt::sql::Query dated_{
      "SELECT 'R' AS KIND,RETAIL AS VALUE FROM KVTINVRB WHERE REFERENCE = ? AND LOCATION = ? AND "
      "STARTDATE <= ? AND ENDDATE >= ? UNION ALL SELECT 'C' AS KIND,COST AS VALUE FROM KVTINVCB "
      "WHERE REFERENCE = ? AND LOCATION = ? AND STARTDATE <= ? AND ENDDATE >= ?"};
  kvt::sql::Query tillConnection_{
      "SELECT CONTYPE FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?"};
  kvt::sql::Query breaks_{
      "SELECT PQTY1,PQTY2,PQTY3,PUPRICE1,PUPRICE2,PUPRICE3 FROM KVTPRB1 WHERE REFERENCE = ? AND "
      "LOCATION = ?"};
  kvt::sql::Query categoryCost_{
      "SELECT COSTUNIT FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?"};
  kvt::sql::Query mix_{
      "SELECT BEGINDATE,ENDDATE,QUANTITY,FORQTY,AFTERQTY FROM KVTPRB31 WHERE REFERENCE = ?"};
};

}  // namespace kvt::pricing
