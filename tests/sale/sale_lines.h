// Sales rung up straight into the sale screen's grids, for the saving tests,
// the saving till process and the benchmarks: the line table and the tax
// table are filled as the item entry and tax code would fill them.
#pragma once

#include <cstdio>
#include <string>

#include "sale/pos1.h"

// Columns in the order of the constructor: reference, description, quantity,
// price, amount, food stamps, taxable, item link (empty: the next KVTPOS2
// record number), till code, location, category, cost, non-tax category,
// inventory item behind a till code.
struct SaleLine {
  SaleLine(std::string ref_, std::string descr_, std::string qty_, std::string price_,
           std::string amount_, std::string fs_ = "N", std::string taxable_ = "N",
           std::string recno_ = "", std::string tillCode_ = "", std::string location_ = "01",
           std::string category_ = "", std::string cost_ = "", std::string nonTaxCat_ = "",
           std::string invRef_ = "")
      : ref(ref_),
        descr(descr_),
        qty(qty_),
        price(price_),
        amount(amount_),
        fs(fs_),
        taxable(taxable_),
        recno(recno_),
        tillCode(tillCode_),
        location(location_),
        category(category_),
        cost(cost_),
        nonTaxCat(nonTaxCat_),
        invRef(invRef_) {}
  std::string ref, descr, qty, price, amount, fs, taxable, recno, tillCode, location, category,
      cost, nonTaxCat, invRef, prompt;
};

struct TaxRow {
  std::string code, rate, amount, itemLink;
};

// Appends a line; returns its item link.
inline std::string AddSaleLine(PVpos1Dlg& dlg, const SaleLine& l) {
  TDataTbl& grid = dlg.SaleGrid();
  std::string recno = l.recno;
  if (recno.empty()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", NextNum(1, "KVTPOS2", 100, 0));
    recno = buf;
  }
  int row = grid.InsertRow();
  grid.SetCell(COL_REF, row, l.ref);
  grid.SetCell(COL_DESCR, row, l.descr.empty() ? l.ref : l.descr);
  grid.SetCell(COL_QTY, row, l.qty);
  grid.SetCell(COL_PRICE, row, l.price);
  grid.SetCell(COL_AMOUNT, row, l.amount);
  grid.SetCell(COL_FS, row, l.fs);
  grid.SetCell(COL_NUMCHANGE, row, "0");
  grid.SetCell(COL_RECNO, row, recno);
  grid.SetCell(COL_TILLCODE, row, l.tillCode);
  grid.SetCell(COL_TAXABLE, row, l.taxable);
  grid.SetCell(COL_LOCATION, row, l.location);
  grid.SetCell(COL_CATEGORY, row, l.category);
  grid.SetCell(COL_COST, row, l.cost);
  grid.SetCell(COL_NONTAXCAT, row, l.nonTaxCat);
  grid.SetCell(COL_INVREF, row, l.invRef);
  grid.SetCell(COL_PROMPT, row, l.prompt);
  return recno;
}

inline void AddTaxRow(PVpos1Dlg& dlg, const TaxRow& t) {
  TDataTbl& grid = dlg.TaxGrid();
  int row = grid.InsertRow();
  grid.SetCell(TAXCOL_CODE, row, t.code);
  grid.SetCell(TAXCOL_RATE, row, t.rate);
  grid.SetCell(TAXCOL_AMOUNT, row, t.amount);
  grid.SetCell(TAXCOL_ITEMLINK, row, t.itemLink);
}

// A new sale on the screen: empty grids, no number, link or record number.
inline void StartNewSale(PVpos1Dlg& dlg) {
  dlg.SaleGrid().ResetData();
  dlg.TaxGrid().ResetData();
  dlg.SetFieldVar(IDC_INVOICENUM, "");
  dlg.SetFieldVar(IDC_INVOICELNK, "");
  dlg.Data.RECNO = 0;
  dlg.DoAppToScr(IDC_RECNO);
}

// The till's login on the screen.
inline void LogInScreen(PVpos1Dlg& dlg, const char* store, const char* till, const char* shift,
                        const char* employee, const char* shiftDate) {
  dlg.SetFieldVar(IDC_STORE, store);
  dlg.SetFieldVar(IDC_TILLREF, till);
  dlg.SetFieldVar(IDC_SHIFT, shift);
  dlg.SetFieldVar(IDC_EMPLOYEE, employee);
  dlg.SetFieldVar(IDC_SHIFTDATE, shiftDate);
}
