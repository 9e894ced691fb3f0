// Mix-and-match: items sharing a mix number sold together at a set price.
#include <cstdlib>

#include "platform/base/kvtbase.h"
#include "pricing/prices.h"

namespace kvt::pricing {

Repriced Prices::ApplyMixPricing(std::vector<PricedLine>& lines, const std::string& mix,
                                 char qtyPricing, const std::string& location) {
  if (mix.empty()) return {};
  kvt::sql::Result r = mix_.Run({kvt::sql::Text(mix)});
  if (!r.ok()) return Fail<bool>("Mix " + mix, r.error());
  if (r.found() == Found::No) return {};
  const kvt::sql::Row& row = r.first();
  if (!WindowHolds(Trimmed(row["BEGINDATE"]), Trimmed(row["ENDDATE"]), today)) return {};
  // A set of less than one whole unit cannot be counted out: such a mix does
  // not apply. A set quantity with a fraction counts its whole units.
  long setSize = static_cast<long>(row.Num("QUANTITY"));
  if (setSize < 1) return {};
  double setPrice = row.Num("FORQTY");
  std::string afterQty = Trimmed(row["AFTERQTY"]);

  auto own = [&](const PricedLine& line, const std::string& qty) {
    return ModulePrice({"", "", line.ref, location, qty, true});
  };
  double total = TotalQuantity(lines, "", mix);
  if (total < static_cast<double>(setSize)) {
    // Not one set yet: each line goes back to its item's own price, unless
    // unit breaks or a matrix priced the line that changed.
    if (qtyPricing == 'U' || qtyPricing == 'M') return Answer(true);
    for (PricedLine& line : lines) {
      if (line.isVoid || line.mix != mix) continue;
      char itemQty[32];
      KVTsprintf(itemQty, "%.0f", TotalQuantity(lines, line.ref, ""));
      Looked<ModuleAnswer> price = own(line, itemQty);
      if (price.failed()) return {Found::Failed, false, price.error};
      line.price = price.value.price;
      line.amount = format.Amount(std::atof(line.price.c_str()) * line.qty);
      line.repriced = true;
      line.discount = price.value.discount;
      line.cost = price.value.cost;
    }
    return Answer(true);
  }

  // The last unit of every set absorbs the rounding of the shares.
  double unitShare = std::atof(format.Price(KVTRound(setPrice / setSize, 2)).c_str());
  double lastShare = std::atof(format.Price(setPrice - (setSize - 1) * unitShare).c_str());
  long completeUnits = static_cast<long>(total) / setSize * setSize;
  // Earlier lines take the set prices first; units beyond the last complete
  // set fall on the latest lines.
  long unitCount = 0;
  long position = 0;
  for (PricedLine& line : lines) {
    if (line.isVoid || line.mix != mix) continue;
    double amount = 0;
    Looked<ModuleAnswer> ownPrice;  // asked once, for the line's first unit beyond the sets
    bool asked = false;
    for (long unit = 0; unit < static_cast<long>(line.qty); ++unit) {
      ++unitCount;
      ++position;
      if (unitCount <= completeUnits) {
        amount += position < setSize ? unitShare : lastShare;
      } else if (!afterQty.empty()) {
        amount += std::atof(afterQty.c_str());
      } else {
        if (!asked) ownPrice = own(line, "1"), asked = true;
        if (ownPrice.failed()) return {Found::Failed, false, ownPrice.error};
        amount += std::atof(ownPrice.value.price.c_str());
        line.discount = ownPrice.value.discount;
        line.cost = ownPrice.value.cost;
      }
      if (position == setSize) position = 0;
    }
    line.repriced = true;
    // A line of no quantity keeps its unit price and has no amount.
    if (line.qty == 0) {
      line.amount = format.Amount(0);
      continue;
    }
    line.price = format.Price(amount / line.qty);
    line.amount = format.Amount(line.qty * std::atof(line.price.c_str()));
  }
  return Answer(true);
}

}  // namespace kvt::pricing
