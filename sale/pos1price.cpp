// The sale screen's pricing, mix and tax members: each moves values between
// the screen (its buffer and grids) and the pricing core.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/win/profile.h"
#include "pricing/prices.h"
#include "pricing/pricing.h"
#include "pricing/saletax.h"
#include "pricing/taxtable.h"
#include "sale/pos1.h"
#include "shell/globals.h"

using kvt::pricing::Looked;
using kvt::pricing::PricedLine;
using kvt::pricing::TaxRow;

struct PVpos1Dlg::PricingCore {
  explicit PricingCore(HWND parent) : inventory(parent), prices(inventory) {}
  kvt::pricing::ModuleInventory inventory;
  kvt::pricing::Prices prices;
  kvt::pricing::TaxTables taxes;
  // The promotion of the item being keyed, read with its price record.
  std::optional<Looked<kvt::pricing::Promotion>> keyedPromotion;
  // The sale's tax as last read from the sale and tax grids, and what of
  // each grid it has seen: only the rows changed since are read again.
  kvt::pricing::SaleTax saleTax;
  TDataTblMark saleSeen, taxSeen;
};

void PVpos1Dlg::PricingCoreDeleter::operator()(PricingCore* core) const {
  delete core;
}

namespace {

bool IsT(const char* setting) {
  return std::strcmp(setting, "T") == 0;
}

std::string Text(const char* s) {
  return s ? s : "";
}

void CopyOut(char* dest, const std::string& text) {
  KVTsprintf(dest, KVT_PRICE_TEXT_LEN, "%s", text.c_str());
}

// The dated prices of a till working directly on its office come from the
// direct tables only when that office database is of the "MSSQL" kind.
bool MssqlOffice() {
  return KVTConnectionOneKind() == "MSSQL";
}

std::vector<PricedLine> ReadLines(const TDataTbl& grid) {
  std::vector<PricedLine> lines(grid.GetRowCount());
  for (int row = 0; row < grid.GetRowCount(); ++row) {
    PricedLine& l = lines[row];
    l.ref = grid.GetCell(COL_REF, row);
    l.qty = std::atof(grid.GetCell(COL_QTY, row).c_str());
    l.price = grid.GetCell(COL_PRICE, row);
    l.amount = grid.GetCell(COL_AMOUNT, row);
    l.isVoid = l.amount == "VOID";
    l.mix = grid.GetCell(COL_MIXNUM, row);
    l.qtyPricing = grid.GetCell(COL_QTYPRICING, row)[0];
  }
  return lines;
}

void WriteLines(TDataTbl& grid, const std::vector<PricedLine>& lines) {
  grid.SetRedraw(false);
  for (int row = 0; row < grid.GetRowCount() && row < static_cast<int>(lines.size()); ++row) {
    const PricedLine& l = lines[row];
    if (!l.repriced) continue;
    grid.SetCell(COL_PRICE, row, l.price);
    grid.SetCell(COL_AMOUNT, row, l.amount);
    if (l.discount) grid.SetCell(COL_DISCOUNT, row, *l.discount);
    if (l.cost) grid.SetCell(COL_COST, row, *l.cost);
  }
  grid.SetRedraw(true);
}

TaxRow TaxRowAt(const TDataTbl& tax, int t) {
  std::string amount = tax.GetCell(TAXCOL_AMOUNT, t);
  TaxRow row{tax.GetCell(TAXCOL_CODE, t), tax.GetCell(TAXCOL_RATE, t),
             tax.GetCell(TAXCOL_MAXAMT, t), std::nullopt, tax.GetCell(TAXCOL_ITEMLINK, t)};
  if (!amount.empty()) row.amount = std::atof(amount.c_str());
  return row;
}

kvt::pricing::TaxTable ReadTaxTable(const TDataTbl& tax) {
  kvt::pricing::TaxTable table;
  for (int t = 0; t < tax.GetRowCount(); ++t) table.rows().push_back(TaxRowAt(tax, t));
  return table;
}

// A tax row's amount as the grid holds it: unrounded, six decimals.
std::string TaxText(const std::optional<double>& amount) {
  if (!amount) return "";
  char buf[64];
  KVTsprintf(buf, "%f", *amount);
  return buf;
}

void AppendTaxRows(TDataTbl& tax, const std::vector<TaxRow>& rows) {
  tax.SetRedraw(false);
  for (const TaxRow& r : rows) {
    int t = tax.InsertRow();
    tax.SetCell(TAXCOL_CODE, t, r.code);
    tax.SetCell(TAXCOL_RATE, t, r.rate);
    tax.SetCell(TAXCOL_MAXAMT, t, r.cap);
    tax.SetCell(TAXCOL_AMOUNT, t, TaxText(r.amount));
    tax.SetCell(TAXCOL_ITEMLINK, t, r.link);
  }
  tax.SetRedraw(true);
}

// The sale's lines priced again by `reprice`, then shown and totalled when
// it did; on failure nothing changes and the error comes back.
template <class Reprice>
std::string RepriceLines(PVpos1Dlg& screen, Reprice reprice) {
  std::vector<PricedLine> lines = ReadLines(screen.SaleGrid());
  kvt::pricing::Repriced done = reprice(lines);
  if (!done.yes()) return done.error;
  WriteLines(screen.SaleGrid(), lines);
  screen.TotalSaleItems(1);
  screen.DoAppToScr();
  return "";
}

// A line's tax authority: its sales category's at the store when the
// configuration says so and the category has one, else the store's.
Looked<std::string> AuthorityOf(kvt::pricing::TaxTables& taxes, const std::string& category,
                                const std::string& store) {
  Looked<std::string> a;
  if (IsT(CFG_USESALESCATEGORYTAXAUTH)) a = taxes.CategoryAuthority(category, store);
  if (!a.failed() && a.value.empty()) a.value = CFG_SALESTAXAUTH;
  return a;
}

}  // namespace

PVpos1Dlg::PricingCore& PVpos1Dlg::Pricing() {
  if (!pricing_) pricing_.reset(new PricingCore(Handle()));
  kvt::pricing::Prices& prices = pricing_->prices;
  prices.format = {PRICE_FORMAT, std::atoi(CFG_DECIMALSFORPRICE), TOTAL_FORMAT};
  prices.today = MakeDateYYYYMMDD(CurrentDate().c_str());
  return *pricing_;
}

void PVpos1Dlg::ShowLookupFailure(const std::string& error) {
  MessageBox(error.c_str(), "Error", MB_OK | MB_ICONSTOP);
}

// ---- Price determination ----------------------------------------------------------

void PVpos1Dlg::FindTillCodePrice(const char* szTillCode, const char* szStore, bool TogglePrice,
                                  const char* szCurPrice, char* szNewPrice) {
  kvt::pricing::Prices& prices = Pricing().prices;
  Looked<kvt::pricing::TillCode> code = prices.FindTillCode(Text(szTillCode), Text(szStore));
  if (code.failed()) {
    ShowLookupFailure(code.error);
    if (TogglePrice) CopyOut(szNewPrice, Text(szCurPrice));
    return;
  }
  kvt::pricing::TillCodePrice price = PriceTillCode(code.value, prices.format, prices.today);
  SecPriceAvail = price.hasSecret ? 1 : 0;
  bTillCodePriceZero = price.zeroPriced;
  if (TogglePrice) return CopyOut(szNewPrice, price.Toggled(Text(szCurPrice), prices.format));
  KVTSetSetting(Data.PRICE, price.regular.c_str());
  if (!IsT(CFG_DISPLAYPRICEEACH) && std::atof(Data.PRICE) != 0)
    KVTSetSetting(Data.ENTRYTOTAL, prices.format.Amount(std::atof(Data.PRICE)).c_str());
}

void PVpos1Dlg::ApplyRoundingRules(const char* szRnd1LT, const char* szRnd1MkLd,
                                   const char* szRnd2LT, const char* szRnd2MkLd, char* szPrice) {
  // Trimming and replacing a digit never lengthen the text.
  std::string rounded = kvt::pricing::ApplyRoundingRules(
      szPrice, {Text(szRnd1LT), Text(szRnd1MkLd)}, {Text(szRnd2LT), Text(szRnd2MkLd)});
  std::memcpy(szPrice, rounded.c_str(), rounded.size() + 1);
}

void PVpos1Dlg::FindInventoryPrice(const char* szCustRef, const char* szPriceCode,
                                   const char* szItemRef, const char* szLocation, const char* szQty,
                                   bool bLoadAll, bool) {
  kvt::pricing::Prices& prices = Pricing().prices;
  const auto& known = pricing_->keyedPromotion;
  Looked<kvt::pricing::ItemPrice> item = prices.InventoryPrice(
      {Text(szCustRef), Text(szPriceCode), Text(szItemRef), Text(szLocation), Text(szQty),
       bLoadAll},
      {Data.STORE, Data.TILLREF, Data.SHIFTDATE, MssqlOffice()}, known ? &*known : nullptr);
  if (item.failed()) return ShowLookupFailure(item.error);
  SecPriceAvail = 0;
  if (item.value.fixed) Data.QTYPRICING[0] = Data.MIXNUM[0] = '\0';
  KVTSetSetting(Data.PRICE, item.value.price.c_str());
  KVTSetSetting(Data.DISCOUNT, item.value.discount.c_str());
  KVTSetSetting(Data.COST, item.value.cost.c_str());
  if (!IsT(CFG_DISPLAYPRICEEACH) && std::atof(Data.PRICE) != 0)
    KVTSetSetting(Data.ENTRYTOTAL, prices.format.Amount(std::atof(Data.PRICE)).c_str());
  DoAppToScr();
}

void PVpos1Dlg::PriceKeyedItem(const char* szItemRef, const kvt::sql::Row* priceRecord) {
  Looked<kvt::pricing::Promotion> promotion;
  if (priceRecord)
    promotion = kvt::pricing::Answer(kvt::pricing::Promotion{
        (*priceRecord)["BEGINDATE"], (*priceRecord)["ENDDATE"], (*priceRecord)["PPRICE1"]});
  Pricing().keyedPromotion = promotion;
  FindInventoryPrice("", "", szItemRef, INVENTORY_LOCATION, "1", true, true);
  Pricing().keyedPromotion.reset();
}

void PVpos1Dlg::FindInventoryPriceAndCost(const char* szCustRef, const char* szPriceCode,
                                          const char* szItemRef, const char* szLocation,
                                          const char* szQty, bool bLoadAll, char* szPrice,
                                          char* szDiscount, char* szCost) {
  szPrice[0] = szDiscount[0] = szCost[0] = '\0';
  Looked<kvt::pricing::ModuleAnswer> answer =
      Pricing().prices.ModulePrice({Text(szCustRef), Text(szPriceCode), Text(szItemRef),
                                    Text(szLocation), Text(szQty), bLoadAll});
  if (answer.failed()) return ShowLookupFailure(answer.error);
  CopyOut(szPrice, answer.value.price);
  CopyOut(szDiscount, answer.value.discount);
  CopyOut(szCost, answer.value.cost);
}

double PVpos1Dlg::FindTotalQtySold(const char* szItemRef, const char* szMixNum) {
  return kvt::pricing::TotalQuantity(ReadLines(SaleGrid()), Text(szItemRef), Text(szMixNum));
}

double PVpos1Dlg::FindUnitPrice(double dPrice, double dTotalQty, const char* szQty1,
                                const char* szPrice1, const char* szQty2, const char* szPrice2,
                                const char* szQty3, const char* szPrice3) {
  return kvt::pricing::UnitPriceForBreaks(dPrice, dTotalQty,
                                          {{{Text(szQty1), Text(szPrice1)},
                                            {Text(szQty2), Text(szPrice2)},
                                            {Text(szQty3), Text(szPrice3)}}});
}

void PVpos1Dlg::ApplyUnitPricing(const char* szItemRef, const char* szLocation) {
  std::string error = RepriceLines(*this, [&](std::vector<PricedLine>& lines) {
    return Pricing().prices.ApplyUnitPricing(lines, Text(szItemRef), Text(szLocation));
  });
  if (!error.empty()) ShowLookupFailure(error);
}

void PVpos1Dlg::ApplyMatrixPricing(const char* szItemRef, const char* szLocation) {
  std::string error = RepriceLines(*this, [&](std::vector<PricedLine>& lines) {
    return Pricing().prices.ApplyMatrixPricing(lines, Text(szItemRef), Text(szLocation));
  });
  if (!error.empty()) ShowLookupFailure(error);
}

void PVpos1Dlg::ApplyMixPricing(const char* szMixNum, const char* szQtyPricing) {
  std::string error = RepriceLines(*this, [&](std::vector<PricedLine>& lines) {
    return Pricing().prices.ApplyMixPricing(lines, Text(szMixNum), Text(szQtyPricing)[0],
                                            INVENTORY_LOCATION);
  });
  if (!error.empty()) ShowLookupFailure(error);
}

void PVpos1Dlg::AdjustPricing(const char* szRef, const char* szQtyPricing, const char* szMixNum) {
  char kind = Text(szQtyPricing)[0];
  if (kind == 'U') ApplyUnitPricing(szRef, INVENTORY_LOCATION);
  if (kind == 'M') ApplyMatrixPricing(szRef, INVENTORY_LOCATION);
  if (szMixNum && *szMixNum) ApplyMixPricing(szMixNum, Text(szQtyPricing).c_str());
}

void PVpos1Dlg::FindSalesCatCost(const char* szCategory, const char* szStore) {
  Looked<std::string> cost = Pricing().prices.CategoryCost(Text(szCategory), Text(szStore));
  if (cost.failed()) return ShowLookupFailure(cost.error);
  if (cost.yes()) KVTSetSetting(Data.COST, cost.value.c_str());
}

// ---- Tax -----------------------------------------------------------------------------

void PVpos1Dlg::ClearTaxTable() {
  TaxGrid().ResetData();
  ForgetSaleAnswers();
}

void PVpos1Dlg::ForgetSaleAnswers() {
  saleAnswers.clear();
  if (pricing_) pricing_->taxes.Forget();
}

void PVpos1Dlg::FindTaxAuth(const char* category, const char* itemLink) {
  Looked<std::string> authority = AuthorityOf(Pricing().taxes, Text(category), Data.STORE);
  if (authority.failed()) return ShowLookupFailure(authority.error);
  LoadTaxTable(authority.value.c_str(), itemLink);
}

void PVpos1Dlg::LoadTaxTable(const char* taxAuth, const char* itemLink) {
  KVTWaitCursor wait;
  Looked<std::vector<TaxRow>> rows = Pricing().taxes.RowsOf(Text(taxAuth), Text(itemLink));
  if (rows.failed()) return ShowLookupFailure(rows.error);
  AppendTaxRows(TaxGrid(), rows.value);
}

std::string PVpos1Dlg::CalculateTax(const char* amount, const char*, const char* percent,
                                    const char* maxTax) {
  return TaxText(kvt::pricing::CalculateTax(std::atof(Text(amount).c_str()),
                                            std::atof(Text(percent).c_str()),
                                            std::atof(Text(maxTax).c_str())));
}

namespace {
// The line's tax rows (their places in the tax grid) taxed again on its
// amount; the places of rows that go, because the line is no longer taxed,
// are added to `drop` for the caller to delete.
void AdjustTaxRows(TDataTbl& sale, TDataTbl& tax, int row, const std::vector<int>& at,
                   std::vector<int>* drop) {
  const std::string amount = sale.GetCell(COL_AMOUNT, row);
  if (sale.GetCell(COL_TAXABLE, row) != "Y" || amount == "VOID") {
    drop->insert(drop->end(), at.begin(), at.end());
    return;
  }
  for (int t : at) {
    const std::string text =
        PVpos1Dlg::CalculateTax(amount.c_str(), "", tax.GetCell(TAXCOL_RATE, t).c_str(),
                                tax.GetCell(TAXCOL_MAXAMT, t).c_str());
    if (tax.GetCell(TAXCOL_AMOUNT, t) != text) tax.SetCell(TAXCOL_AMOUNT, t, text);
  }
}

void DeleteTaxRows(TDataTbl& tax, std::vector<int> rows) {
  std::sort(rows.rbegin(), rows.rend());
  for (int t : rows) tax.DeleteRow(t);
}

kvt::pricing::SaleTax::Line SaleTaxLine(const TDataTbl& sale, int row) {
  return {sale.GetCell(COL_RECNO, row), sale.GetCell(COL_AMOUNT, row),
          sale.GetCell(COL_TAXABLE, row)};
}

kvt::pricing::SaleTax::Row SaleTaxRow(const TDataTbl& tax, int t) {
  return {tax.GetCell(TAXCOL_CODE, t), tax.GetCell(TAXCOL_RATE, t), tax.GetCell(TAXCOL_MAXAMT, t),
          tax.GetCell(TAXCOL_AMOUNT, t), tax.GetCell(TAXCOL_ITEMLINK, t)};
}

// The sale's tax told what changed in the grids since it last read them; all
// of them when rows moved.
void ReadChanges(kvt::pricing::SaleTax& saleTax, TDataTblMark& saleSeen, TDataTblMark& taxSeen,
                 const TDataTbl& sale, const TDataTbl& tax) {
  if (!saleSeen.Continues(sale) || !taxSeen.Continues(tax)) {
    std::vector<kvt::pricing::SaleTax::Line> lines;
    std::vector<kvt::pricing::SaleTax::Row> rows;
    for (int row = 0; row < sale.GetRowCount(); ++row) lines.push_back(SaleTaxLine(sale, row));
    for (int t = 0; t < tax.GetRowCount(); ++t) rows.push_back(SaleTaxRow(tax, t));
    saleTax.Reset(std::move(lines), std::move(rows));
  } else {
    for (int row = 0; row < sale.GetRowCount(); ++row)
      if (saleSeen.Changed(sale, row))
        saleTax.SetLine(static_cast<std::size_t>(row), SaleTaxLine(sale, row));
    for (int t = 0; t < tax.GetRowCount(); ++t)
      if (taxSeen.Changed(tax, t)) saleTax.SetRow(static_cast<std::size_t>(t), SaleTaxRow(tax, t));
  }
  saleSeen.Saw(sale);
  taxSeen.Saw(tax);
}
}  // namespace

void PVpos1Dlg::AdjustTaxAmount(int row) {
  TDataTbl& sale = SaleGrid();
  if (row < 0 || row >= sale.GetRowCount()) return;
  const std::string link = sale.GetCell(COL_RECNO, row);
  TDataTbl& tax = TaxGrid();
  std::vector<int> at, drop;
  for (int t = 0; t < tax.GetRowCount(); ++t)
    if (tax.GetCell(TAXCOL_ITEMLINK, t) == link) at.push_back(t);
  AdjustTaxRows(sale, tax, row, at, &drop);
  DeleteTaxRows(tax, std::move(drop));
}

// Only the lines and tax rows changed since the last time are taxed again,
// so a long sale does not cost each new line more.
void PVpos1Dlg::AdjustTaxAmounts() {
  PricingCore& core = Pricing();
  TDataTbl& tax = TaxGrid();
  ReadChanges(core.saleTax, core.saleSeen, core.taxSeen, SaleGrid(), tax);
  kvt::pricing::SaleTax::Changes changes = core.saleTax.Adjust();
  for (const auto& [t, text] : changes.amounts)
    tax.SetCell(TAXCOL_AMOUNT, static_cast<int>(t), text);
  for (std::size_t t : changes.dropped) tax.DeleteRow(static_cast<int>(t));
  // A text the column cut is what the sum reads: read it back (places as
  // they are once the dropped rows went).
  for (const auto& [t, text] : changes.amounts) {
    auto below = std::count_if(changes.dropped.begin(), changes.dropped.end(),
                               [t = t](std::size_t d) { return d < t; });
    const int row = static_cast<int>(t) - static_cast<int>(below);
    if (tax.GetCell(TAXCOL_AMOUNT, row) != text)
      core.saleTax.SetRow(static_cast<std::size_t>(row), SaleTaxRow(tax, row));
  }
  core.taxSeen.Saw(tax);
}

void PVpos1Dlg::RemoveTax() {
  TDataTbl& sale = SaleGrid();
  int last = sale.GetRowCount() - 1;
  if (last < 0) return;
  sale.SetCell(COL_TAXABLE, last, "N");
  TotalSaleItems(1);
  PoleDisplayPrint(0, "", "", "", "");
}

void PVpos1Dlg::AdjustTaxCodes(int row, bool allRows) {
  TDataTbl& sale = SaleGrid();
  int first = allRows ? 0 : row;
  int last = allRows ? sale.GetRowCount() - 1 : row;
  for (int r = std::max(first, 0); r <= last && r < sale.GetRowCount(); ++r) {
    std::string nonTaxCat = sale.GetCell(COL_NONTAXCAT, r);
    if (nonTaxCat.empty()) continue;
    std::string link = sale.GetCell(COL_RECNO, r);
    // The new codes are read before the old ones go, so a failed read
    // leaves the line as it was.
    Looked<std::string> authority = AuthorityOf(Pricing().taxes, nonTaxCat, Data.STORE);
    if (authority.failed()) return ShowLookupFailure(authority.error);
    Looked<std::vector<TaxRow>> rows = Pricing().taxes.RowsOf(authority.value, link);
    if (rows.failed()) return ShowLookupFailure(rows.error);
    TDataTbl& tax = TaxGrid();
    for (int t = tax.GetRowCount() - 1; t >= 0; --t)
      if (tax.GetCell(TAXCOL_ITEMLINK, t) == link) tax.DeleteRow(t);
    AppendTaxRows(tax, rows.value);
  }
}

std::string PVpos1Dlg::SumTax() {
  PricingCore& core = Pricing();
  ReadChanges(core.saleTax, core.saleSeen, core.taxSeen, SaleGrid(), TaxGrid());
  return core.prices.format.Amount(core.saleTax.Total());
}

std::vector<std::string> PVpos1Dlg::TaxRowSaveAmounts(const char* saleTaxTotal) {
  const kvt::pricing::PriceFormat& format = Pricing().prices.format;
  std::vector<std::string> out;
  for (double amount : ReadTaxTable(TaxGrid()).SaveAmounts(std::atof(Text(saleTaxTotal).c_str())))
    out.push_back(format.Amount(amount));
  return out;
}
