// Mix-and-match pricing of the sale screen: items sharing a mix number sold
// together at a set price.
#include <cstdlib>
#include <string>

#include "pricing/pricetext.h"
#include "pricing/pricing.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

const char kMix[] =
    "SELECT BEGINDATE,ENDDATE,QUANTITY,FORQTY,AFTERQTY FROM KVTPRB31 WHERE REFERENCE = ?";

std::string Trimmed(const char* v) {
  std::string s = v ? v : "";
  std::size_t b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

void PVpos1Dlg::ApplyMixPricing(const char* szMixNum, const char* szQtyPricing) {
  std::string mixNum = szMixNum ? szMixNum : "";
  if (mixNum.empty()) return;
  if (FConn.BindParam(kMix, mixNum.c_str(), 0) <= 0 || FConn.ExecuteSQL(kMix) <= 0 ||
      !FConn.FetchNext(kMix))
    return;
  std::string begin = Trimmed(FConn.ColumnVar(kMix, 1));
  std::string end = Trimmed(FConn.ColumnVar(kMix, 2));
  double setQty = std::atof(FConn.ColumnVar(kMix, 3));
  double setPrice = std::atof(FConn.ColumnVar(kMix, 4));
  std::string afterQty = Trimmed(FConn.ColumnVar(kMix, 5));
  if (!KVTWindowHoldsToday(begin, end)) return;
  // A set of less than one whole unit cannot be counted out: such a mix does
  // not apply. A set quantity with a fraction counts its whole units.
  long setSize = static_cast<long>(setQty);
  if (setSize < 1) return;

  TDataTbl& grid = SaleGrid();
  double total = FindTotalQtySold("", mixNum.c_str());
  char price[KVT_PRICE_TEXT_LEN], discount[KVT_PRICE_TEXT_LEN], cost[KVT_PRICE_TEXT_LEN];
  auto inMix = [&](int row) {
    return !KVTLineIsVoid(grid, row) && grid.GetCell(COL_MIXNUM, row) == mixNum;
  };
  grid.SetRedraw(false);

  if (total < static_cast<double>(setSize)) {
    // Not one set yet: each line goes back to its item's own price, unless
    // unit breaks or a matrix priced the line that changed.
    char kind = szQtyPricing ? szQtyPricing[0] : '\0';
    if (kind != 'U' && kind != 'M') {
      for (int row = 0; row < grid.GetRowCount(); ++row) {
        if (!inMix(row)) continue;
        std::string item = grid.GetCell(COL_REF, row);
        char itemQty[KVT_PRICE_TEXT_LEN];
        KVTsprintf(itemQty, "%.0f", FindTotalQtySold(item.c_str(), ""));
        FindInventoryPriceAndCost("", "", item.c_str(), INVENTORY_LOCATION, itemQty, true, price,
                                  discount, cost);
        double qty = std::atof(grid.GetCell(COL_QTY, row).c_str());
        grid.SetCell(COL_PRICE, row, price);
        grid.SetCell(COL_AMOUNT, row, KVTAmountText(std::atof(price) * qty));
        grid.SetCell(COL_DISCOUNT, row, discount);
        grid.SetCell(COL_COST, row, cost);
      }
    }
  } else {
    // The last unit of every set absorbs the rounding of the shares.
    double unitShare = std::atof(KVTPriceText(KVTRound(setPrice / setSize, 2)).c_str());
    double lastShare = std::atof(KVTPriceText(setPrice - (setSize - 1) * unitShare).c_str());
    long completeUnits = static_cast<long>(total) / setSize * setSize;
    // Earlier lines take the set prices first; units beyond the last
    // complete set fall on the latest lines.
    long unitCount = 0;
    long position = 0;
    for (int row = 0; row < grid.GetRowCount(); ++row) {
      if (!inMix(row)) continue;
      double qty = std::atof(grid.GetCell(COL_QTY, row).c_str());
      double amount = 0;
      for (long unit = 0; unit < static_cast<long>(qty); ++unit) {
        ++unitCount;
        ++position;
        if (unitCount <= completeUnits) {
          amount += position < setSize ? unitShare : lastShare;
        } else if (!afterQty.empty()) {
          amount += std::atof(afterQty.c_str());
        } else {
          std::string item = grid.GetCell(COL_REF, row);
          FindInventoryPriceAndCost("", "", item.c_str(), INVENTORY_LOCATION, "1", true, price,
                                    discount, cost);
          amount += std::atof(price);
          grid.SetCell(COL_DISCOUNT, row, discount);
          grid.SetCell(COL_COST, row, cost);
        }
        if (position == setSize) position = 0;
      }
      // A line of no quantity keeps its unit price and has no amount.
      if (qty == 0) {
        grid.SetCell(COL_AMOUNT, row, KVTAmountText(0));
        continue;
      }
      std::string unitPrice = KVTPriceText(amount / qty);
      grid.SetCell(COL_PRICE, row, unitPrice);
      grid.SetCell(COL_AMOUNT, row, KVTAmountText(qty * std::atof(unitPrice.c_str())));
    }
  }

  grid.SetRedraw(true);
  TotalSaleItems(1);
  DoAppToScr();
}
