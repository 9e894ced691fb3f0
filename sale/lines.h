// The sale's lines as values: the typed line, its row of the sale grid
// (converted here and nowhere else), the rules of a keyed line, and the
// sale's totals. Nothing here knows of screens or the database.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Columns of the sale line grid (0-based).
enum : int {
  COL_REF = 0,
  COL_DESCR = 1,
  COL_QTY = 2,
  COL_PRICE = 3,
  COL_AMOUNT = 4,  // "VOID" on a voided line
  COL_FS = 5,
  COL_ORDERNUM = 6,
  COL_NUMCHANGE = 7,
  COL_RECNO = 8,  // the line's record number, its item link
  COL_TILLCODE = 9,
  COL_TAXABLE = 10,
  COL_LOCATION = 11,
  COL_CATEGORY = 12,
  COL_DISCOUNT = 13,
  COL_COST = 14,
  COL_SERIALNUM = 15,
  COL_MIXNUM = 16,
  COL_TAGALONG = 17,
  COL_NONTAXCAT = 18,
  COL_INVREF = 19,
  COL_QTYPRICING = 20,
  COL_TAGALGRATE = 21,
  COL_PROMPT = 22,
  SALE_GRID_COLUMNS = 23,
};

namespace kvt::sale {

// One line of the sale. Quantity and price keep the text the till wrote
// (the quantity's decimals are the item's, the price's the store's) and are
// saved as they stand; the amount is money, shown and saved with
// TOTAL_FORMAT.
struct Line {
  std::string reference;  // inventory reference or till code
  std::string description;
  std::string quantity;
  std::string price;
  double amount = 0;
  bool voided = false;  // shown and saved as "VOID"; counts as nothing
  bool foodStamps = false;
  bool taxable = false;
  std::string orderNum;  // the sale number the line was keyed under
  std::string numChange;
  std::string itemLink;  // the line's KVTPOS2 record number; its tax rows carry it
  std::string tillCode;  // empty on an inventory line
  std::string location;
  std::string category;
  std::string discount;
  std::string cost;  // a unit cost, or "NN%" of the price
  std::string serialNum;
  std::string mixNum;
  std::string tagAlong;      // the item that follows this one; "T" on that follower
  std::string nonTaxCat;     // the category a non-taxable sale counts under
  std::string invRef;        // the inventory item a till code sells
  std::string qtyPricing;    // "U" unit-price breaks, "M" quantity matrix, "" neither
  std::string tagAlongRate;  // the follower's price: an amount or "NN%" of this price
  std::string prompt;        // "T" tobacco, "A" alcohol

  double Quantity() const;
  double Price() const;
  bool IsTagAlong() const { return tagAlong == "T"; }
};

// The grid row of a line and back: flags are "Y"/"N", a voided amount
// "VOID". A row with fewer cells reads the missing ones as empty.
using Cells = std::vector<std::string>;
Line LineFromCells(const Cells& cells);
Cells CellsOfLine(const Line& line);

// Money as the sale shows and saves it: TOTAL_FORMAT ("%.2f" when unset),
// rounded to the cent, never "-0.00".
std::string AmountText(double amount);
// The amount of `quantity` at `price`, to the cent.
double LineAmount(double quantity, double price);

// What the sale adds up to. Food-stamp lines and the rest are each rounded
// to the cent, the non-taxable amount counts both, and the total is the two
// with the sale's tax (already rounded per tax code).
struct Totals {
  double foodStamps = 0;  // FSTOTAL
  double remaining = 0;   // REMAINTOTAL
  double nonTaxable = 0;  // NONTAXAMT
  double tax = 0;         // TAXTOTAL
  double total = 0;       // TOTAL
};
Totals TotalSale(const std::vector<Line>& lines, double tax);

// The same totals kept as the lines change: lines added on at the end go on
// the sums, any other change sums the lines again from the first.
class RunningTotals {
 public:
  void Reset();
  // Line `at` now reads as given; `at` one past the last appends.
  void SetLine(std::size_t at, const Line& line);
  Totals Total(double tax);

 private:
  struct Part {
    double amount = 0;
    bool voided = false, foodStamps = false, taxable = false;
  };
  std::vector<Part> parts_;
  std::size_t summed_ = 0;  // the parts in the sums below
  double foodStamps_ = 0, remaining_ = 0, nonTaxable_ = 0;
};

// ---- A line as it is keyed ------------------------------------------------

// Why a keyed quantity cannot be sold (nullptr when it can), in the order
// the cashier is told: negative, not a number, above `maxQty` (an empty
// maximum refuses every quantity), zero unless the till code allows it.
const char* QuantityRefusal(const std::string& quantity, const std::string& maxQty, bool allowZero);
// A plain decimal number: an optional sign, digits with at most one point.
bool IsPlainNumber(const std::string& text);
// A till code sells at the sign of its price rule (negative-price codes at
// minus, others at plus); an inventory item keeps the sign keyed.
double SignedForTillCode(double value, bool tillCode, bool negativePrice);

// The line once its amount is keyed (amount and price already signed).
// Sold by amount (`byAmount`, at a price other than 0) the amount decides the
// quantity, at `unitDecimals` (3 when empty); otherwise, when the amount was
// asked for or no price was keyed (a zero price on an item not sold by
// amount, an open department's, counts as none), and it is not quantity x
// price, it decides the unit price (PRICE_FORMAT). Texts left empty stay as
// they are.
struct KeyedAmount {
  std::string amount;
  std::string quantity;
  std::string price;
};
KeyedAmount SettleKeyedAmount(double amount, double quantity, double price, bool priceKeyed,
                              bool byAmount, bool amountAsked, const std::string& unitDecimals);

}  // namespace kvt::sale
