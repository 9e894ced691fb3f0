// The sale's lines, their grid rows, the keyed-line rules and the totals.
#include "sale/lines.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/base/kvtbase.h"
#include "shell/globals.h"

namespace kvt::sale {

namespace {

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string Format(const char* format, const char* fallback, double value) {
  char buf[64];
  KVTsprintf(buf, *format ? format : fallback, value);
  return buf;
}

}  // namespace

double Line::Quantity() const {
  return std::atof(quantity.c_str());
}

double Line::Price() const {
  return std::atof(price.c_str());
}

std::string AmountText(double amount) {
  return Format(TOTAL_FORMAT, "%.2f", KVTRound(amount, 2) + 0.0);
}

double LineAmount(double quantity, double price) {
  return KVTRound(quantity * price, 2);
}

Line LineFromCells(const Cells& cells) {
  auto cell = [&](int col) {
    return col < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(col)]
                                                : std::string();
  };
  Line l;
  l.reference = cell(COL_REF);
  l.description = cell(COL_DESCR);
  l.quantity = cell(COL_QTY);
  l.price = cell(COL_PRICE);
  l.voided = Trimmed(cell(COL_AMOUNT)) == "VOID";
  l.amount = l.voided ? 0 : std::atof(cell(COL_AMOUNT).c_str());
  l.foodStamps = Trimmed(cell(COL_FS)) == "Y";
  l.orderNum = cell(COL_ORDERNUM);
  l.numChange = cell(COL_NUMCHANGE);
  l.itemLink = cell(COL_RECNO);
  l.tillCode = cell(COL_TILLCODE);
  l.taxable = Trimmed(cell(COL_TAXABLE)) == "Y";
  l.location = cell(COL_LOCATION);
  l.category = cell(COL_CATEGORY);
  l.discount = cell(COL_DISCOUNT);
  l.cost = cell(COL_COST);
  l.serialNum = cell(COL_SERIALNUM);
  l.mixNum = cell(COL_MIXNUM);
  l.tagAlong = cell(COL_TAGALONG);
  l.nonTaxCat = cell(COL_NONTAXCAT);
  l.invRef = cell(COL_INVREF);
  l.qtyPricing = cell(COL_QTYPRICING);
  l.tagAlongRate = cell(COL_TAGALGRATE);
  l.prompt = cell(COL_PROMPT);
  return l;
}

Cells CellsOfLine(const Line& l) {
  return {l.reference,
          l.description,
          l.quantity,
          l.price,
          l.voided ? "VOID" : AmountText(l.amount),
          l.foodStamps ? "Y" : "N",
          l.orderNum,
          l.numChange,
          l.itemLink,
          l.tillCode,
          l.taxable ? "Y" : "N",
          l.location,
          l.category,
          l.discount,
          l.cost,
          l.serialNum,
          l.mixNum,
          l.tagAlong,
          l.nonTaxCat,
          l.invRef,
          l.qtyPricing,
          l.tagAlongRate,
          l.prompt};
}

Totals TotalSale(const std::vector<Line>& lines, double tax) {
  RunningTotals running;
  for (std::size_t i = 0; i < lines.size(); ++i) running.SetLine(i, lines[i]);
  return running.Total(tax);
}

void RunningTotals::Reset() {
  parts_.clear();
  summed_ = 0;
}

void RunningTotals::SetLine(std::size_t at, const Line& line) {
  if (at >= parts_.size()) parts_.resize(at + 1);
  if (at < summed_) summed_ = 0;  // summed again, in order
  parts_[at] = {line.amount, line.voided, line.foodStamps, line.taxable};
}

Totals RunningTotals::Total(double tax) {
  if (summed_ == 0) foodStamps_ = remaining_ = nonTaxable_ = 0;
  // The order of TotalSale, so that the sums come out the same to the bit.
  for (; summed_ < parts_.size(); ++summed_) {
    const Part& p = parts_[summed_];
    if (p.voided) continue;
    (p.foodStamps ? foodStamps_ : remaining_) += p.amount;
    if (!p.taxable) nonTaxable_ += p.amount;
  }
  Totals t;
  t.foodStamps = KVTRound(foodStamps_, 2);
  t.remaining = KVTRound(remaining_, 2);
  t.nonTaxable = KVTRound(nonTaxable_, 2);
  t.tax = tax;
  t.total = KVTRound(t.foodStamps + t.remaining + tax, 2);
  return t;
}

// ---- A line as it is keyed ------------------------------------------------

bool IsPlainNumber(const std::string& text) {
  std::size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])))
      digits = true;
    else if (text[i] == '.' && !point)
      point = true;
    else
      return false;
  }
  return digits;
}

const char* QuantityRefusal(const std::string& quantity, const std::string& maxQty,
                            bool allowZero) {
  double qty = std::atof(quantity.c_str());
  if (qty < 0) return "Negative quantity is not allowed.";
  if (!IsPlainNumber(quantity)) return "Not a valid quantity.\n\nMust enter a number.";
  if (qty > std::atof(maxQty.c_str())) return "Quantity exceeds maximum quantity allowed.";
  if (qty == 0 && !allowZero) return "Zero quantity is not allowed.";
  return nullptr;
}

double SignedForTillCode(double value, bool tillCode, bool negativePrice) {
  if (tillCode && value > 0 && negativePrice) return -value;
  if (tillCode && value < 0 && !negativePrice) return -value;
  return value;
}

KeyedAmount SettleKeyedAmount(double amount, double quantity, double price, bool priceKeyed,
                              bool byAmount, bool amountAsked, const std::string& unitDecimals) {
  KeyedAmount k;
  k.amount = AmountText(amount);
  const double keyed = std::atof(k.amount.c_str());
  if (byAmount && price != 0) {
    int decimals = unitDecimals.empty() ? 3 : std::clamp(std::atoi(unitDecimals.c_str()), 0, 9);
    char format[8];
    KVTsprintf(format, "%%.%df", decimals);
    k.quantity = Format(format, "%.3f", KVTRound(keyed / price, decimals));
  } else if ((amountAsked || !priceKeyed || (price == 0 && !byAmount)) &&
             AmountText(quantity * price) != k.amount && quantity != 0) {
    k.price = Format(PRICE_FORMAT, "%.2f", keyed / quantity);
  }
  return k;
}

}  // namespace kvt::sale
