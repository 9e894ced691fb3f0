// Tax of the sale screen: the tax grid's rows per line and tax code, their
// amounts, and the sale's tax total.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "pricing/pricetext.h"
#include "sale/pos1.h"
#include "shell/boundquery.h"
#include "shell/globals.h"

namespace {

const char kSqlCategoryTaxAuth[] =
    "SELECT TAXAUTH FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlAuthCodes[] = "SELECT TAXCODE FROM KVTAR16A WHERE TAXAUTH = ?";
const char kSqlCodeRate[] = "SELECT TAXRATE,AMOUNT FROM KVTAR19 WHERE TAXCODE = ?";

}  // namespace

void PVpos1Dlg::ClearTaxTable() {
  TaxGrid().ResetData();
}

void PVpos1Dlg::FindTaxAuth(const char* category, const char* itemLink) {
  char szAuth[81] = "";
  KVTRow row;
  if (std::strcmp(CFG_USESALESCATEGORYTAXAUTH, "T") == 0 &&
      KVTQueryFirst(FConn, kSqlCategoryTaxAuth, {category, Data.STORE}, &row)) {
    KVTsprintf(szAuth, "%s", row[0].c_str());
    TRIM(szAuth);
  }
  if (szAuth[0] == '\0') KVTsprintf(szAuth, "%s", CFG_SALESTAXAUTH);
  LoadTaxTable(szAuth, itemLink);
}

void PVpos1Dlg::LoadTaxTable(const char* taxAuth, const char* itemLink) {
  KVTWaitCursor wait;
  TDataTbl& tax = TaxGrid();
  tax.SetRedraw(false);
  std::vector<KVTRow> codes;
  KVTQueryRows(FConn, kSqlAuthCodes, {taxAuth}, &codes);
  for (const KVTRow& code : codes) {
    KVTRow rate;
    if (!KVTQueryFirst(FConn, kSqlCodeRate, {code[0]}, &rate)) continue;
    int row = tax.InsertRow();
    tax.SetCell(TAXCOL_CODE, row, code[0]);
    tax.SetCell(TAXCOL_RATE, row, rate[0]);
    tax.SetCell(TAXCOL_MAXAMT, row, rate[1]);
    tax.SetCell(TAXCOL_AMOUNT, row, "");
    tax.SetCell(TAXCOL_ITEMLINK, row, itemLink);
  }
  tax.SetRedraw(true);
}

std::string PVpos1Dlg::CalculateTax(const char* amount, const char* /*taxCode*/,
                                    const char* percent, const char* maxTax) {
  double dAmount = std::atof(amount);
  double dPercent = std::atof(percent);
  double dMax = std::atof(maxTax);
  if (dAmount == 0) return KVTFormatValue("%f", 0.0);
  if (KVTRound(dPercent, 1) <= 0) return "";
  double tax = dPercent * 0.01 * dAmount;
  // The cap holds per line and tax code; one that rounds to no cents is none.
  if (KVTRound(dMax, 2) > 0 && dMax < tax) tax = dMax;
  return KVTFormatValue("%f", tax);
}

void PVpos1Dlg::AdjustTaxAmount(int row) {
  TDataTbl& sale = SaleGrid();
  if (row < 0 || row >= sale.GetRowCount()) return;
  std::string amount = sale.GetCell(COL_AMOUNT, row);
  std::string link = sale.GetCell(COL_RECNO, row);
  bool taxed = sale.GetCell(COL_TAXABLE, row) == "Y" && amount != "VOID";

  TDataTbl& tax = TaxGrid();
  for (int t = tax.GetRowCount() - 1; t >= 0; --t) {
    if (tax.GetCell(TAXCOL_ITEMLINK, t) != link) continue;
    if (taxed) {
      tax.SetCell(
          TAXCOL_AMOUNT, t,
          CalculateTax(amount.c_str(), tax.GetCell(TAXCOL_CODE, t).c_str(),
                       tax.GetCell(TAXCOL_RATE, t).c_str(), tax.GetCell(TAXCOL_MAXAMT, t).c_str()));
    } else {
      tax.DeleteRow(t);
    }
  }
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
  for (int r = first; r <= last && r < sale.GetRowCount(); ++r) {
    if (r < 0) continue;
    std::string nonTaxCat = sale.GetCell(COL_NONTAXCAT, r);
    if (nonTaxCat.empty()) continue;
    std::string link = sale.GetCell(COL_RECNO, r);
    TDataTbl& tax = TaxGrid();
    for (int t = tax.GetRowCount() - 1; t >= 0; --t) {
      if (tax.GetCell(TAXCOL_ITEMLINK, t) == link) tax.DeleteRow(t);
    }
    FindTaxAuth(nonTaxCat.c_str(), link.c_str());
  }
}

std::string PVpos1Dlg::SumTax() {
  std::vector<TaxCodeBuffer> codes;
  TDataTbl& tax = TaxGrid();
  for (int t = 0; t < tax.GetRowCount(); ++t) {
    std::string code = tax.GetCell(TAXCOL_CODE, t);
    double amount = std::atof(tax.GetCell(TAXCOL_AMOUNT, t).c_str());
    TaxCodeBuffer* found = nullptr;
    for (TaxCodeBuffer& b : codes) {
      if (b.sTaxCode == code) found = &b;
    }
    if (found) {
      found->dTaxTotal += amount;
    } else {
      TaxCodeBuffer b;
      b.sTaxCode = code;
      b.dTaxTotal = amount;
      codes.push_back(b);
    }
  }
  double total = 0;
  for (const TaxCodeBuffer& b : codes) total += KVTRound(b.dTaxTotal, 2);
  return KVTFormatValue(TOTAL_FORMAT, KVTCents(total));
}

std::vector<std::string> PVpos1Dlg::TaxRowSaveAmounts(const char* saleTaxTotal) {
  TDataTbl& tax = TaxGrid();
  int rows = tax.GetRowCount();
  std::vector<std::string> out;
  double target = KVTRound(std::atof(saleTaxTotal), 2);
  double running = 0;
  for (int t = 0; t < rows; ++t) {
    double amount = KVTCents(std::atof(tax.GetCell(TAXCOL_AMOUNT, t).c_str()));
    running += amount;
    if (t == rows - 1 && target != KVTRound(running, 2))
      amount = KVTCents(target - (running - amount));
    out.push_back(KVTFormatValue(TOTAL_FORMAT, amount));
  }
  return out;
}
