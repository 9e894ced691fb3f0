// Till code and inventory prices of the sale screen, and re-pricing by
// quantity breaks and the quantity matrix.
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/profile.h"
#include "pricing/pricetext.h"
#include "pricing/pricing.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

const char kTillCode[] =
    "SELECT RETUNIT,BEGINDATE,ENDDATE,MARKDOWN,SECRETUNIT,PRICESIGN,RND1LT,RND1MKLD,RND2LT,"
    "RND2MKLD FROM KVTCOM12 WHERE TILLCODE = ? AND LOCATION = ?";
const char kPromotion[] =
    "SELECT BEGINDATE,ENDDATE,PPRICE1 FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?";
// The dated tables of a till on the office database, and of every other.
const char kRetailDirect[] =
    "SELECT STARTDATE,ENDDATE,RETAIL FROM KVTINVRBD WHERE REFERENCE = ? AND LOCATION = ? AND "
    "STARTDATE <= ? AND ENDDATE >= ?";
const char kRetail[] =
    "SELECT STARTDATE,ENDDATE,RETAIL FROM KVTINVRB WHERE REFERENCE = ? AND LOCATION = ? AND "
    "STARTDATE <= ? AND ENDDATE >= ?";
const char kCostDirect[] =
    "SELECT STARTDATE,ENDDATE,COST FROM KVTINVCBD WHERE REFERENCE = ? AND LOCATION = ? AND "
    "STARTDATE <= ? AND ENDDATE >= ?";
const char kCost[] =
    "SELECT STARTDATE,ENDDATE,COST FROM KVTINVCB WHERE REFERENCE = ? AND LOCATION = ? AND "
    "STARTDATE <= ? AND ENDDATE >= ?";
const char kTillConnection[] = "SELECT CONTYPE FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?";
const char kBreaks[] =
    "SELECT PQTY1,PQTY2,PQTY3,PUPRICE1,PUPRICE2,PUPRICE3 FROM KVTPRB1 WHERE REFERENCE = ? AND "
    "LOCATION = ?";
const char kCategoryCost[] = "SELECT COSTUNIT FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";

constexpr int kText = KVT_PRICE_TEXT_LEN;

struct SqlParam {
  const char* value;
  int type;  // 0 text, 3 date
};

// Runs a prepared SELECT of the screen's connection; true when a row came.
bool SelectRow(KVTConnection& c, const char* stmt, std::initializer_list<SqlParam> binds) {
  for (const SqlParam& b : binds)
    if (c.BindParam(stmt, b.value ? b.value : "", b.type) <= 0) return false;
  return c.ExecuteSQL(stmt) > 0 && c.FetchNext(stmt);
}

std::string Trimmed(const std::string& v) {
  std::size_t b = v.find_first_not_of(" \t");
  return b == std::string::npos ? "" : v.substr(b, v.find_last_not_of(" \t") - b + 1);
}

std::string Column(KVTConnection& c, const char* stmt, int column) {
  return Trimmed(c.ColumnVar(stmt, column));
}

void CopyText(char* dest, const std::string& text) {
  KVTsprintf(dest, kText, "%s", text.c_str());
}

bool IsT(const char* setting) {
  return std::strcmp(setting, "T") == 0;
}

// A markdown of "10%" takes ten percent off the price; any other a fixed amount.
double MarkedDown(double price, const std::string& markdown) {
  double md = std::atof(markdown.c_str());
  bool percent = !markdown.empty() && markdown.back() == '%';
  return price - (percent ? price * md * 0.01 : md);
}

// A till code signed negative shows every price below zero, any other above.
double Signed(double price, bool negative) {
  if ((price > 0 && negative) || (price < 0 && !negative)) return -price;
  return price;
}

// The till's dated prices come from the direct-connection tables only on an
// office database of the "MSSQL" kind for a till that works on it directly.
bool UseDirectTables(KVTConnection& c, const char* store, const char* till) {
  char translate[50];
  GetPrivateProfileString("KVTSQL Connection One", "Translate", "", translate, sizeof translate,
                          ".\\KVTSQL.INI");
  if (std::strcmp(translate, "MSSQL") != 0) return false;
  return SelectRow(c, kTillConnection, {{store, 0}, {till, 0}}) &&
         Column(c, kTillConnection, 1) == "D";
}

// "MMDDYYYY" as "MM/DD/YYYY"; "" when it is not a date.
std::string SlashDate(const char* mmddyyyy) {
  if (std::strlen(mmddyyyy) != 8 || MakeDateYYYYMMDD(mmddyyyy) == 0) return "";
  std::string d = mmddyyyy;
  return d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4);
}

// Every non-void line of the item takes the unit price (and the discount,
// when given); its amount follows its quantity.
void PriceItemLines(TDataTbl& grid, const char* item, const char* price, const char* discount) {
  grid.SetRedraw(false);
  for (int row = 0; row < grid.GetRowCount(); ++row) {
    if (KVTLineIsVoid(grid, row) || grid.GetCell(COL_REF, row) != item) continue;
    grid.SetCell(COL_PRICE, row, price);
    double qty = std::atof(grid.GetCell(COL_QTY, row).c_str());
    grid.SetCell(COL_AMOUNT, row, KVTAmountText(std::atof(price) * qty));
    if (discount) grid.SetCell(COL_DISCOUNT, row, discount);
  }
  grid.SetRedraw(true);
}

}  // namespace

void PVpos1Dlg::FindTillCodePrice(const char* szTillCode, const char* szStore, bool TogglePrice,
                                  const char* szCurPrice, char* szNewPrice) {
  std::string v[10];
  if (SelectRow(FConn, kTillCode, {{szTillCode, 0}, {szStore, 0}}))
    for (int i = 0; i < 10; ++i) v[i] = Column(FConn, kTillCode, i + 1);
  const std::string &retUnit = v[0], &begin = v[1], &end = v[2], &markdown = v[3],
                    &secretUnit = v[4], &priceSign = v[5];
  const char *rnd1lt = v[6].c_str(), *rnd1mkld = v[7].c_str(), *rnd2lt = v[8].c_str(),
             *rnd2mkld = v[9].c_str();
  bool rounding = !v[6].empty() || !v[7].empty() || !v[8].empty() || !v[9].empty();

  bool negative = priceSign == "N";
  SecPriceAvail = secretUnit.empty() ? 0 : 1;
  bTillCodePriceZero = retUnit == "0.00";
  double price = std::atof(retUnit.c_str());
  double secret = std::atof(secretUnit.c_str());

  if (KVTWindowHoldsToday(begin, end)) {
    price = MarkedDown(price, markdown);
    if (TogglePrice && secret != 0) secret = MarkedDown(secret, markdown);
  }
  price = Signed(price, negative);
  if (TogglePrice && SecPriceAvail) secret = Signed(secret, negative);

  char text[kText];
  if (TogglePrice) {
    // On a line at the regular price the key gives the secret price; on any
    // other price it gives the regular price back.
    double result = price;
    if (SecPriceAvail) {
      CopyText(text, KVTPriceText(price));
      if (rounding) ApplyRoundingRules(rnd1lt, rnd1mkld, rnd2lt, rnd2mkld, text);
      if (KVTPriceText(std::atof(szCurPrice ? szCurPrice : "")) == KVTPriceText(std::atof(text)))
        result = secret;
    }
    CopyText(szNewPrice, KVTPriceText(result));
    if (rounding) ApplyRoundingRules(rnd1lt, rnd1mkld, rnd2lt, rnd2mkld, szNewPrice);
    return;
  }

  CopyText(text, KVTPriceText(price));
  if (rounding) ApplyRoundingRules(rnd1lt, rnd1mkld, rnd2lt, rnd2mkld, text);
  KVTSetSetting(Data.PRICE, text);
  if (!IsT(CFG_DISPLAYPRICEEACH) && std::atof(Data.PRICE) != 0)
    KVTSetSetting(Data.ENTRYTOTAL, KVTAmountText(std::atof(Data.PRICE)).c_str());
}

void PVpos1Dlg::ApplyRoundingRules(const char* szRnd1LT, const char* szRnd1MkLd,
                                   const char* szRnd2LT, const char* szRnd2MkLd, char* szPrice) {
  TRIM(szPrice);
  std::size_t len = std::strlen(szPrice);
  if (len == 0) return;
  char& last = szPrice[len - 1];
  // A rule replaces the last digit by the first character of its mark when
  // the digit is below its limit, or always when the limit reads as 0.
  // True when it replaced the digit.
  auto rule = [&last](const char* ltText, const char* markText) {
    std::string lt = Trimmed(ltText ? ltText : ""), mark = Trimmed(markText ? markText : "");
    if (lt.empty() || mark.empty()) return false;
    int limit = std::atoi(lt.c_str());
    int digit = last >= '0' && last <= '9' ? last - '0' : 0;
    if (limit != 0 && digit >= limit) return false;
    last = mark[0];
    return true;
  };
  if (!rule(szRnd1LT, szRnd1MkLd)) rule(szRnd2LT, szRnd2MkLd);
}

void PVpos1Dlg::FindInventoryPrice(const char* szCustRef, const char* szPriceCode,
                                   const char* szItemRef, const char* szLocation, const char* szQty,
                                   bool bLoadAll, bool) {
  char price[kText], discount[kText], cost[kText];
  FindInventoryPriceAndCost(szCustRef, szPriceCode, szItemRef, szLocation, szQty, bLoadAll, price,
                            discount, cost);
  SecPriceAvail = 0;

  // A promotion, and after it a dated price, is never re-priced by quantity or mix.
  if (SelectRow(FConn, kPromotion, {{szItemRef, 0}, {szLocation, 0}}) &&
      KVTWindowHoldsToday(Column(FConn, kPromotion, 1), Column(FConn, kPromotion, 2))) {
    CopyText(price, KVTPriceText(std::atof(Column(FConn, kPromotion, 3).c_str())));
    Data.QTYPRICING[0] = '\0';
    Data.MIXNUM[0] = '\0';
  }

  bool direct = UseDirectTables(FConn, Data.STORE, Data.TILLREF);
  const char* retail = direct ? kRetailDirect : kRetail;
  const char* dated = direct ? kCostDirect : kCost;
  std::string shiftDate = SlashDate(Data.SHIFTDATE);
  if (!shiftDate.empty()) {
    std::initializer_list<SqlParam> on = {
        {szItemRef, 0}, {szLocation, 0}, {shiftDate.c_str(), 3}, {shiftDate.c_str(), 3}};
    if (SelectRow(FConn, retail, on)) {
      CopyText(price, KVTPriceText(std::atof(Column(FConn, retail, 3).c_str())));
      Data.QTYPRICING[0] = '\0';
      Data.MIXNUM[0] = '\0';
    }
    if (SelectRow(FConn, dated, on)) CopyText(cost, Column(FConn, dated, 3));
  }

  KVTSetSetting(Data.PRICE, price);
  KVTSetSetting(Data.DISCOUNT, discount);
  KVTSetSetting(Data.COST, cost);
  if (!IsT(CFG_DISPLAYPRICEEACH) && std::atof(Data.PRICE) != 0)
    KVTSetSetting(Data.ENTRYTOTAL, KVTAmountText(std::atof(Data.PRICE)).c_str());
  DoAppToScr();
}

void PVpos1Dlg::FindInventoryPriceAndCost(const char* szCustRef, const char* szPriceCode,
                                          const char* szItemRef, const char* szLocation,
                                          const char* szQty, bool bLoadAll, char* szPrice,
                                          char* szDiscount, char* szCost) {
  szPrice[0] = szDiscount[0] = szCost[0] = '\0';
  char answer[KVT_PRICING_RETURN_LEN];
  if (!GetPrice(hApplication, Handle(), bLoadAll ? 1 : 0, 0, 0, szItemRef, szLocation, szQty, "",
                "", "", szCustRef, answer, szPriceCode))
    return;
  LoadPriceDiscountCost(answer, Handle(), szPrice, szDiscount, szCost);
  // A quantity of 0 (a zero-unit line, or a sale whose lines sum to 0) has no
  // per-unit division: it is priced as one unit, so the line shows the net
  // unit price the module gives rather than nothing.
  double qty = std::atof(szQty ? szQty : "");
  if (qty == 0) qty = 1;
  double amount = CalculateDiscount(Handle(), qty, szPrice, szDiscount);
  CopyText(szPrice, KVTPriceText(amount / qty));
}

double PVpos1Dlg::FindTotalQtySold(const char* szItemRef, const char* szMixNum) {
  std::string item = szItemRef ? szItemRef : "";
  std::string mix = szMixNum ? szMixNum : "";
  if (item.empty() && mix.empty()) return 0;
  TDataTbl& grid = SaleGrid();
  double total = 0;
  for (int row = 0; row < grid.GetRowCount(); ++row) {
    if (KVTLineIsVoid(grid, row)) continue;
    bool match =
        !item.empty() ? grid.GetCell(COL_REF, row) == item : grid.GetCell(COL_MIXNUM, row) == mix;
    if (match) total += std::atof(grid.GetCell(COL_QTY, row).c_str());
  }
  return total;
}

double PVpos1Dlg::FindUnitPrice(double dPrice, double dTotalQty, const char* szQty1,
                                const char* szPrice1, const char* szQty2, const char* szPrice2,
                                const char* szQty3, const char* szPrice3) {
  const char* breaks[3][2] = {{szQty1, szPrice1}, {szQty2, szPrice2}, {szQty3, szPrice3}};
  for (const auto& b : breaks)
    if (b[0] && *b[0] && std::atof(b[0]) <= dTotalQty) dPrice = std::atof(b[1] ? b[1] : "");
  return dPrice;
}

void PVpos1Dlg::ApplyUnitPricing(const char* szItemRef, const char* szLocation) {
  if (!SelectRow(FConn, kBreaks, {{szItemRef, 0}, {szLocation, 0}})) return;
  std::string b[6];
  for (int i = 0; i < 6; ++i) b[i] = Column(FConn, kBreaks, i + 1);
  if (b[0].empty() && b[1].empty() && b[2].empty()) return;

  double total = FindTotalQtySold(szItemRef, "");
  char qty[kText], price[kText], discount[kText], cost[kText];
  KVTsprintf(qty, "%.0f", total);
  FindInventoryPriceAndCost("", "", szItemRef, szLocation, qty, true, price, discount, cost);
  // Below the first break the module's price stands, even when a later
  // break's quantity is reached.
  if (std::atof(b[0].c_str()) <= total)
    CopyText(price,
             KVTPriceText(FindUnitPrice(std::atof(price), total, b[0].c_str(), b[3].c_str(),
                                        b[1].c_str(), b[4].c_str(), b[2].c_str(), b[5].c_str())));
  PriceItemLines(SaleGrid(), szItemRef, price, nullptr);
  TotalSaleItems(1);
  DoAppToScr();
}

void PVpos1Dlg::ApplyMatrixPricing(const char* szItemRef, const char* szLocation) {
  double total = FindTotalQtySold(szItemRef, "");
  char qty[kText], price[kText], discount[kText], cost[kText];
  KVTsprintf(qty, "%.0f", total);
  // The levels live in the inventory module, which is given the summed quantity.
  FindInventoryPriceAndCost("", "", szItemRef, szLocation, qty, true, price, discount, cost);
  PriceItemLines(SaleGrid(), szItemRef, price, discount);
  TotalSaleItems(1);
  DoAppToScr();
}

void PVpos1Dlg::AdjustPricing(const char* szRef, const char* szQtyPricing, const char* szMixNum) {
  char kind = szQtyPricing ? szQtyPricing[0] : '\0';
  if (kind == 'U') ApplyUnitPricing(szRef, INVENTORY_LOCATION);
  if (kind == 'M') ApplyMatrixPricing(szRef, INVENTORY_LOCATION);
  if (szMixNum && *szMixNum) ApplyMixPricing(szMixNum, szQtyPricing ? szQtyPricing : "");
}

void PVpos1Dlg::FindSalesCatCost(const char* szCategory, const char* szStore) {
  if (SelectRow(FConn, kCategoryCost, {{szCategory, 0}, {szStore, 0}}))
    KVTSetSetting(Data.COST, Column(FConn, kCategoryCost, 1).c_str());
}
