// The sale line table: entry-field checks, lines added from the entry fields,
// a stored sale loaded back into the grids, and the sale's totals.
#include "sale/pos1a.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "pricing/pricetext.h"
#include "sale/pos1.h"
#include "shell/boundquery.h"
#include "shell/dbutil.h"
#include "shell/globals.h"

namespace {

const char kSqlOrderHeader[] = "SELECT STR(RECNO), DOB FROM KVTPOS1 WHERE INVOICELNK = ?";
const char kSqlOrderLines[] =
    "SELECT INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,INVOICENUM,NUMCHANGE,RECNO,"
    "TILLCODE,TAXABLE,INVLOC,CATEGORY,DISCOUNT,COST,SERIALNUM,PROMPT FROM KVTPOS2 WHERE "
    "INVOICELNK = ?";
const char kSqlMatrix[] =
    "SELECT RECNO FROM KVTINV18 WHERE REFERENCE = ? AND LOCATION = ? AND (Q1 > '' OR Q2 > '' OR "
    "Q3 > '' OR Q4 > '' OR Q5 > '' OR Q6 > '' OR Q7 > '' OR Q8 > '' OR Q9 > '' OR Q10 > '')";
const char kSqlPriceRecord[] =
    "SELECT MIXNUM, TAGALONG, PQTY1, PQTY2, PQTY3 FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = "
    "?";
const char kSqlItemAtLocation[] =
    "SELECT REFERENCE FROM KVTINV2 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlPromotion[] =
    "SELECT BEGINDATE,ENDDATE FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlTillCodeLine[] =
    "SELECT TAGALGCAT,NONTAXCAT,INVREF,TAGALGRATE FROM KVTCOM12 WHERE TILLCODE = ? AND LOCATION = "
    "?";
const char kSqlCategoryTillCode[] =
    "SELECT TILLCODE FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlOrderTaxes[] =
    "SELECT TAXCODE,TAXRATE,TAXAMT,ITEMLNK FROM KVTPOS3 WHERE INVOICELNK = ? ORDER BY RECNO";
const char kSqlTaxCap[] = "SELECT AMOUNT FROM KVTAR19 WHERE TAXCODE = ?";

bool Is(const char* setting, const char* value) {
  return std::strcmp(setting, value) == 0;
}

// A plain decimal number: an optional sign, digits with at most one point.
bool IsNumber(const char* text) {
  const char* p = text;
  if (*p == '+' || *p == '-') ++p;
  bool digits = false;
  bool point = false;
  for (; *p; ++p) {
    if (std::isdigit(static_cast<unsigned char>(*p))) {
      digits = true;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

int MaxDeptCharacters() {
  return std::atoi(CFG_MAXDEPTCHARACTERS);
}

// An inventory reference rather than a till code.
bool IsInventoryReference(const std::string& reference) {
  return Is(CFG_USEINVENTORY, "T") && static_cast<int>(reference.size()) > MaxDeptCharacters();
}

}  // namespace

KVTPOS1A::KVTPOS1A(PVpos1Dlg* parent)
    : HWindow(parent->Handle()), ParentDlg(parent), FConn(parent->FConn) {}

KVTPOS1A::~KVTPOS1A() = default;

int KVTPOS1A::ConnectView() {
  return KVTConnectionOneIsOpen() ? 1 : 0;
}

// ---- Entry fields ----------------------------------------------------------

int KVTPOS1A::VerifyFields(int fieldId) {
  if (GetKeyState(VK_SHIFT) < 0) return 1;
  if (!KVTLastMessageWasKey()) return 0;
  switch (fieldId) {
    case IDC_IREF:
      return VerifyReference();
    case IDC_IDESCR:
      return VerifyDescription();
    case IDC_QTYORDERED:
      return VerifyQuantity();
    case IDC_PRICE:
      return VerifyPrice();
    case IDC_ENTRYTOTAL:
      return VerifyAmount();
    default:
      return 0;
  }
}

int KVTPOS1A::VerifyReference() {
  PVpos1Dlg& s = *ParentDlg;
  std::string ref = TRIM(s.Data.IREF);
  if (ref.empty()) return 1;
  if (Is(CFG_USEINVENTORY, "T")) {
    std::string prefix = ref.substr(0, 2);
    if (prefix == "/?" || prefix == "//" || prefix == "/#") {
      s.SetFieldVar(IDC_IREF, ref.substr(2).c_str());
      if (prefix == "/#")
        s.SearchInvDesc();
      else
        s.SearchInvRef();
      return 1;
    }
  }
  if (static_cast<int>(ref.size()) <= MaxDeptCharacters() && s.OrderHasItems &&
      IsNumber(ref.c_str())) {
    s.ChangeQty(ref.c_str());
    s.SetFieldVar(IDC_IREF, "");
    return 1;
  }
  if (s.DisplayItem(ref.c_str())) return 0;
  if (IsInventoryReference(ref)) {
    if (Is(CFG_SHOWINVSRCHWIN, "T")) {
      s.SearchInvRef();
    } else {
      s.MessageBox("Item not found.", "Error", MB_OK | MB_ICONSTOP);
      s.SetFieldVar(IDC_IREF, "");
    }
  } else {
    s.SearchTillCode();
  }
  return 1;
}

int KVTPOS1A::VerifyDescription() {
  if (TRIM(ParentDlg->Data.IDESCR)[0] == '\0') return 1;
  ParentDlg->DoAppToScr();
  return 0;
}

int KVTPOS1A::VerifyQuantity() {
  PVpos1Dlg& s = *ParentDlg;
  TRIM(s.Data.QTYORDERED);
  if (s.Data.QTYORDERED[0] == '\0') KVTsprintf(s.Data.QTYORDERED, "1");
  s.DoAppToScr(IDC_QTYORDERED);
  const char* qty = s.Data.QTYORDERED;
  double dQty = std::atof(qty);
  const char* refusal = nullptr;
  if (dQty < 0)
    refusal = "Negative quantity is not allowed.";
  else if (!IsNumber(qty))
    refusal = "Not a valid quantity.\n\nMust enter a number.";
  else if (dQty > std::atof(CFG_MAXQTY))
    refusal = "Quantity exceeds maximum quantity allowed.";
  else if (dQty == 0 && !s.bAllowZeroUnitsSold)
    refusal = "Zero quantity is not allowed.";
  if (refusal) {
    s.MessageBox(refusal, "Error", MB_OK | MB_ICONSTOP);
    return 1;
  }
  // Without a price field the price is settled with the quantity.
  if (!Is(CFG_DISPLAYPRICEEACH, "T")) VerifyPrice();
  return 0;
}

double KVTPOS1A::ApplySign(double value) const {
  if (!ParentDlg->bTillCodeSold) return value;
  if (value > 0 && ParentDlg->bNegativePrice) return -value;
  if (value < 0 && !ParentDlg->bNegativePrice) return -value;
  return value;
}

int KVTPOS1A::VerifyPrice() {
  PVpos1Dlg& s = *ParentDlg;
  if (TRIM(s.Data.PRICE)[0] == '\0') return 1;
  std::string price = KVTFormatValue(PRICE_FORMAT, ApplySign(std::atof(s.Data.PRICE)));
  s.SetFieldVar(IDC_PRICE, price.c_str());
  double amount = std::atof(s.Data.QTYORDERED) * std::atof(s.Data.PRICE);
  s.SetFieldVar(IDC_ENTRYTOTAL, KVTFormatValue(TOTAL_FORMAT, KVTCents(amount)).c_str());
  s.DoAppToScr();
  return 0;
}

int KVTPOS1A::VerifyAmount() {
  PVpos1Dlg& s = *ParentDlg;
  if (TRIM(s.Data.ENTRYTOTAL)[0] == '\0') return 1;
  double amount = std::atof(s.Data.ENTRYTOTAL);
  if (amount > std::atof(CFG_MAXAMOUNT)) {
    s.bErrorInEntryTotal = true;
    s.bPromptOnAmount = true;
    s.SetFieldVar(IDC_ENTRYTOTAL, "");
    s.MessageBox("Amount exceeds maximum amount allowed.", "Error", MB_OK | MB_ICONSTOP);
    s.KVTSetFieldFocus(IDC_ENTRYTOTAL);
    return 1;
  }
  amount = ApplySign(amount);
  std::string amountText = KVTFormatValue(TOTAL_FORMAT, KVTCents(amount));
  s.SetFieldVar(IDC_ENTRYTOTAL, amountText.c_str());

  bool priceEmpty = TRIM(s.Data.PRICE)[0] == '\0';
  double price = ApplySign(std::atof(s.Data.PRICE));
  double qty = std::atof(s.Data.QTYORDERED);
  std::string computed = KVTFormatValue(TOTAL_FORMAT, KVTCents(qty * price));
  int qtyDecimals = s.szUnitDec[0] ? std::clamp(std::atoi(s.szUnitDec), 0, 9) : 3;
  char qtyFormat[8];
  KVTsprintf(qtyFormat, "%%.%df", qtyDecimals);

  if (s.bTOTAMT && price != 0) {
    // Sold by amount: the amount keyed decides how much is sold.
    s.SetFieldVar(
        IDC_QTYORDERED,
        KVTFormatValue(qtyFormat, KVTRound(std::atof(amountText.c_str()) / price, qtyDecimals))
            .c_str());
  } else if ((s.bPromptOnAmount || priceEmpty) && computed != amountText && qty != 0) {
    s.SetFieldVar(IDC_PRICE,
                  KVTFormatValue(PRICE_FORMAT, std::atof(amountText.c_str()) / qty).c_str());
  }
  s.DoAppToScr();
  s.AcceptItem();
  s.KVTSetFieldFocus(IDC_IREF);
  return 1;
}

int KVTPOS1A::VerifyRequiredFields() {
  PVpos1Dlg& s = *ParentDlg;
  if (TRIM(s.Data.IREF)[0] != '\0') return 1;
  s.MessageBox("Reference field is required.", "Error", MB_OK | MB_ICONSTOP);
  s.SetFieldVar(IDC_IREF, "");
  s.KVTSetFieldFocus(IDC_IREF);
  return 0;
}

// ---- Lines from the entry fields ------------------------------------------

void KVTPOS1A::FillRowFromBuffer(int row, const std::string& recno) {
  const PVpos1Data& d = ParentDlg->Data;
  TDataTbl& g = ParentDlg->SaleGrid();
  const std::string cells[SALE_GRID_COLUMNS] = {
      d.IREF,       d.IDESCR,    d.QTYORDERED, d.PRICE,      d.ENTRYTOTAL, d.FOODSTAMPS,
      d.INVOICENUM, d.NUMCHANGE, recno,        d.TILLCODE,   d.TAXABLE,    INVENTORY_LOCATION,
      d.CATEGORY,   d.DISCOUNT,  d.COST,       d.SERIALNUM,  d.MIXNUM,     d.TAGALONG,
      d.NONTAXCAT,  d.INVREF,    d.QTYPRICING, d.TAGALGRATE, d.PROMPT};
  for (int c = 0; c < SALE_GRID_COLUMNS; ++c) g.SetCell(c, row, cells[c]);
}

int KVTPOS1A::AddItem() {
  PVpos1Dlg& s = *ParentDlg;
  PVpos1Data& d = s.Data;
  s.DoScrToApp();
  TDataTbl& g = s.SaleGrid();

  int selected = g.GetSelRow();
  if (selected != KVT_NONE) {
    g.SetRedraw(false);
    FillRowFromBuffer(selected, KVTFormatValue("%.0f", d.RECNO));
    g.SetRedraw(true);
    s.TotalSaleItems(0);
    return 0;
  }

  double recno = NextNum(hApplication, 1, "KVTPOS2", 100, 0, 1);
  if (recno <= 0) {
    s.MessageBox("Error occurred numbering the KVTPOS2 record.\nThe item has not been added!",
                 "Error", MB_OK | MB_ICONSTOP);
    return 0;
  }
  std::string recnoText = KVTFormatValue("%.0f", recno);
  KVTsprintf(d.NUMCHANGE, "0");
  g.SetRedraw(false);
  FillRowFromBuffer(g.InsertRow(), recnoText);
  if (IsInventoryReference(d.IREF) && (d.QTYPRICING[0] || d.MIXNUM[0]))
    s.AdjustLinePricing(d.IREF, d.QTYPRICING, d.MIXNUM);
  g.SetRedraw(true);

  if (Is(d.TAXABLE, "Y")) s.FindTaxAuth(d.CATEGORY, recnoText.c_str());
  s.TotalSaleItems(1);
  if (Is(s.szPayOnAcct, "N")) s.PoleDisplayPrint(0, "", "", "", "");

  if (d.TAGALONG[0] == '\0') return 0;
  // The item's tag-along follows it, unless the chain has come back round
  // to the item that started it.
  if (sTagAlongLoopParent.empty()) sTagAlongLoopParent = d.IREF;
  if (sTagAlongLoopParent == d.TAGALONG) return 0;
  const std::string ref = d.IREF, tagAlong = d.TAGALONG, qty = d.QTYORDERED, price = d.PRICE,
                    rate = d.TAGALGRATE;
  return s.CreateTagAlongItem(ref.c_str(), tagAlong.c_str(), qty.c_str(), price.c_str(),
                              rate.c_str());
}

// ---- A stored sale ----------------------------------------------------------

void KVTPOS1A::LoadOrder() {
  PVpos1Dlg& s = *ParentDlg;
  s.ClearTable();
  // The tax rows go with the lines they belong to.
  s.ClearTaxTable();
  KVTRow header;
  if (!KVTQueryFirst(FConn, kSqlOrderHeader, {s.Data.INVOICELNK}, &header)) return;
  s.Data.RECNO = std::atof(header[0].c_str());
  KVTsprintf(s.Data.DTOFBRTH, "%s", header[1].c_str());
  s.DisplayDOB();
  s.DoAppToScr();
  LoadTable();
  LoadTaxDataTable();
  s.TotalSaleItems(1);
  s.PoleDisplayPrint(0, "", "", "", "");
}

void KVTPOS1A::LoadTable() {
  PVpos1Dlg& s = *ParentDlg;
  TDataTbl& g = s.SaleGrid();
  std::vector<KVTRow> lines;
  KVTQueryRows(FConn, kSqlOrderLines, {s.Data.INVOICELNK}, &lines);
  g.SetRedraw(false);
  for (const KVTRow& line : lines) {
    int row = g.InsertRow();
    for (int c = 0; c <= COL_SERIALNUM; ++c) {
      std::string value = line[static_cast<std::size_t>(c)];
      if (c == COL_FS || c == COL_TAXABLE) value = value == "1" ? "Y" : "N";
      g.SetCell(c, row, value);
    }
    g.SetCell(COL_PROMPT, row, line[16]);
    std::string tillCode = line[COL_TILLCODE];
    if (tillCode.empty())
      CompleteInventoryLine(row, line[COL_REF]);
    else
      CompleteTillCodeLine(row, tillCode);
    s.OrderHasItems = 1;
  }
  // A line that has a tag-along is followed by it; that one is marked "T"
  // so it starts no chain of its own when the sale is worked on again.
  for (int row = 0; row + 1 < g.GetRowCount(); ++row) {
    if (g.GetCell(COL_TAGALONG, row).empty()) continue;
    g.SetCell(COL_TAGALONG, row + 1, "T");
    ++row;
  }
  g.SetRedraw(true);
}

void KVTPOS1A::CompleteInventoryLine(int row, const std::string& reference) {
  TDataTbl& g = ParentDlg->SaleGrid();
  const std::string location = INVENTORY_LOCATION;
  KVTRow r;
  if (KVTQueryFirst(FConn, kSqlMatrix, {reference, location}, &r))
    g.SetCell(COL_QTYPRICING, row, "M");
  if (KVTQueryFirst(FConn, kSqlPriceRecord, {reference, location}, &r)) {
    g.SetCell(COL_MIXNUM, row, r[0]);
    KVTRow item;
    bool tagAlongStocked =
        !r[1].empty() && KVTQueryFirst(FConn, kSqlItemAtLocation, {r[1], location}, &item);
    g.SetCell(COL_TAGALONG, row, tagAlongStocked ? r[1] : "");
    g.SetCell(COL_NONTAXCAT, row, "");
    g.SetCell(COL_INVREF, row, "");
    if (!r[2].empty() || !r[3].empty() || !r[4].empty()) g.SetCell(COL_QTYPRICING, row, "U");
  }
  // A promotional price is never repriced by quantity.
  if (KVTQueryFirst(FConn, kSqlPromotion, {reference, location}, &r)) {
    long today = MakeDateYYYYMMDD(CurrentDate().c_str());
    if (MakeDateYYYYMMDD(r[0].c_str()) <= today && today <= MakeDateYYYYMMDD(r[1].c_str()))
      g.SetCell(COL_QTYPRICING, row, "");
  }
}

void KVTPOS1A::CompleteTillCodeLine(int row, const std::string& tillCode) {
  TDataTbl& g = ParentDlg->SaleGrid();
  const std::string store = ParentDlg->Data.STORE;
  KVTRow r;
  if (!KVTQueryFirst(FConn, kSqlTillCodeLine, {tillCode, store}, &r)) return;
  g.SetCell(COL_MIXNUM, row, "");
  if (!r[0].empty()) {
    KVTRow tag;
    bool found = KVTQueryFirst(FConn, kSqlCategoryTillCode, {r[0], store}, &tag);
    g.SetCell(COL_TAGALONG, row, found ? tag[0] : "");
  }
  g.SetCell(COL_NONTAXCAT, row, r[1]);
  g.SetCell(COL_INVREF, row, r[2]);
  g.SetCell(COL_TAGALGRATE, row, r[3]);
}

void KVTPOS1A::LoadTaxDataTable() {
  TDataTbl& tax = ParentDlg->TaxGrid();
  std::vector<KVTRow> rows;
  KVTQueryRows(FConn, kSqlOrderTaxes, {ParentDlg->Data.INVOICELNK}, &rows);
  tax.SetRedraw(false);
  for (const KVTRow& r : rows) {
    KVTRow cap;
    bool found = KVTQueryFirst(FConn, kSqlTaxCap, {r[0]}, &cap);
    int t = tax.InsertRow();
    tax.SetCell(TAXCOL_CODE, t, r[0]);
    tax.SetCell(TAXCOL_RATE, t, r[1]);
    tax.SetCell(TAXCOL_MAXAMT, t, found ? cap[0] : "");
    tax.SetCell(TAXCOL_AMOUNT, t, r[2]);
    tax.SetCell(TAXCOL_ITEMLINK, t, r[3]);
  }
  tax.SetRedraw(true);
}

// ---- Members of the sale screen ----------------------------------------------

void PVpos1Dlg::LineTableDeleter::operator()(KVTPOS1A* model) const {
  delete model;
}

void PVpos1Dlg::CreateLineTableModel() {
  lineTable_.reset(new KVTPOS1A(this));
  VerifyPOS1File = lineTable_.get();
  SetFieldChecker(VerifyPOS1File);
}

void PVpos1Dlg::TotalSaleItems(int recalculateTaxes) {
  TDataTbl& g = SaleGrid();
  if (recalculateTaxes) {
    for (int row = 0; row < g.GetRowCount(); ++row) AdjustTaxAmount(row);
  }
  double foodStamps = 0, remaining = 0, nonTaxable = 0;
  for (int row = 0; row < g.GetRowCount(); ++row) {
    double amount = std::atof(g.GetCell(COL_AMOUNT, row).c_str());  // "VOID" counts as 0
    (g.GetCell(COL_FS, row) == "Y" ? foodStamps : remaining) += amount;
    if (g.GetCell(COL_TAXABLE, row) != "Y") nonTaxable += amount;
  }
  foodStamps = KVTCents(foodStamps);
  remaining = KVTCents(remaining);
  std::string tax = SumTax();
  double total = KVTCents(foodStamps + remaining + std::atof(tax.c_str()));

  SetFieldVar(IDC_FSTOTAL, KVTFormatValue(TOTAL_FORMAT, foodStamps).c_str());
  SetFieldVar(IDC_REMAINTOTAL, KVTFormatValue(TOTAL_FORMAT, remaining).c_str());
  SetFieldVar(IDC_NONTAXAMT, KVTFormatValue(TOTAL_FORMAT, KVTCents(nonTaxable)).c_str());
  SetFieldVar(IDC_TAXTOTAL, tax.c_str());
  SetFieldVar(IDC_TOTAL, KVTFormatValue(TOTAL_FORMAT, total).c_str());
  SetFieldVar(IDC_FSTOTAL_DISPLAY, KVTFormatValue(CURRENCY_FORMAT, foodStamps).c_str());
  SetFieldVar(IDC_REMAINTOTAL_DISPLAY, KVTFormatValue(CURRENCY_FORMAT, remaining).c_str());
  SetFieldVar(IDC_TAXTOTAL_DISPLAY,
              KVTFormatValue(CURRENCY_FORMAT, std::atof(tax.c_str())).c_str());
  SetFieldVar(IDC_TOTAL_DISPLAY, KVTFormatValue(CURRENCY_FORMAT, total).c_str());
}

void PVpos1Dlg::AdjustLinePricing(const char* reference, const char* qtyPricing,
                                  const char* mixNum) {
  AdjustPricing(reference, qtyPricing, mixNum);
}

// ---- Item entry in its first form ----------------------------------------------
// What the line table needs of keying one item: the look-up without prices,
// prompts or age checks, the pick lists, and the next item.

namespace {

const char kSqlUnitDecimals[] = "SELECT UNITSDEC FROM KVTINV17";
const char kSqlItemUnitDecimals[] = "SELECT UNITSDEC FROM KVTINV1 WHERE REFERENCE = ?";
const char kSqlBarCode[] = "SELECT REFERENCE FROM KVTINV1 WHERE BARCODE = ?";
const char kSqlInventoryItem[] =
    "SELECT KVTINV1.DESCRIPT,LISTPRICE,TAXABLE,KVTINV1.FARMUSE FROM KVTINV2,KVTINV1 WHERE "
    "KVTINV2.REFERENCE = ? AND KVTINV2.LOCATION = ? AND KVTINV1.REFERENCE=KVTINV2.REFERENCE AND "
    "KVTINV1.INACTIVE = 'F'";
const char kSqlItemPriceRecord[] =
    "SELECT FOODSTAMP,MIXNUM,TAGALONG,CSTRCAT,PQTY1,PQTY2,PQTY3,TABACCO,ALCOHOL,TAX1APP FROM "
    "KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlNonTaxCategory[] =
    "SELECT NONTAXCAT FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlTillCode[] =
    "SELECT "
    "DESCRIPT,TAXABLE,FOODSTAMPS,REFERENCE,COSTUNIT,TAGALGCAT,TAGALGRATE,ZEROUNITS,PRICECHG,"
    "ZEROPRCCHG,NONTAXCAT,INVREF,ENTERSALE,ENTERAMT,PRICESIGN,TOBACCO,ALCOHOL,FARMUSE,TOTAMT FROM "
    "KVTCOM12 WHERE TILLCODE = ? AND LOCATION = ?";
const char kSqlActiveTillCode[] =
    "SELECT "
    "DESCRIPT,TAXABLE,FOODSTAMPS,REFERENCE,COSTUNIT,TAGALGCAT,TAGALGRATE,ZEROUNITS,PRICECHG,"
    "ZEROPRCCHG,NONTAXCAT,INVREF,ENTERSALE,ENTERAMT,PRICESIGN,TOBACCO,ALCOHOL,FARMUSE,TOTAMT FROM "
    "KVTCOM12 WHERE TILLCODE = ? AND LOCATION = ? AND INACTIVE <> '1'";
const char kSqlReferenceByRecno[] = "SELECT REFERENCE FROM KVTINV2 WHERE RECNO = ?";

bool OnText(const std::string& flag) {
  return flag == "T" || flag == "1";
}

template <std::size_t N>
void Put(char (&field)[N], const std::string& value) {
  KVTsprintf(field, "%s", value.c_str());
}

}  // namespace

bool PVpos1Dlg::DisplayItem(const char* reference) {
  const std::string ref = reference;
  PVpos1Data& d = Data;
  szUnitDec[0] = '\0';
  SetFieldVar(IDC_IREF, ref.c_str());
  d.QTYPRICING[0] = '\0';
  d.TILLCODE[0] = '\0';
  KVTRow r;

  if (IsInventoryReference(ref)) {
    if (KVTQueryFirst(FConn, kSqlUnitDecimals, {}, &r)) KVTsprintf(szUnitDec, "%s", r[0].c_str());
    if (KVTQueryFirst(FConn, kSqlItemUnitDecimals, {ref}, &r) && r[0].size() > 1 && r[0][1] == 'T')
      KVTsprintf(szUnitDec, "%c", r[0][0]);
    if (Is(CFG_SEARCHBARCODE, "T") && KVTQueryFirst(FConn, kSqlBarCode, {ref}, &r))
      SetFieldVar(IDC_IREF, r[0].c_str());
    const std::string item = d.IREF;
    if (!KVTQueryFirst(FConn, kSqlInventoryItem, {item, INVENTORY_LOCATION}, &r)) return false;
    Put(d.IDESCR, r[0]);
    Put(d.PRICE, r[1]);
    if (KVTQueryFirst(FConn, kSqlMatrix, {item, INVENTORY_LOCATION}, &r)) Put(d.QTYPRICING, "M");
    if (KVTQueryFirst(FConn, kSqlItemPriceRecord, {item, INVENTORY_LOCATION}, &r)) {
      Put(d.FOODSTAMPS, r[0] == "1" ? "Y" : "N");
      Put(d.MIXNUM, r[1]);
      Put(d.TAGALONG, r[2]);
      Put(d.CATEGORY, r[3]);
      if (!r[4].empty() || !r[5].empty() || !r[6].empty()) Put(d.QTYPRICING, "U");
      Put(d.PROMPT, r[7] == "T" ? "T" : r[8] == "T" ? "A" : "");
      Put(d.TAXABLE, r[9] == "T" ? "Y" : "N");
    }
    KVTRow found;
    if (d.TAGALONG[0] &&
        !KVTQueryFirst(FConn, kSqlItemAtLocation, {d.TAGALONG, INVENTORY_LOCATION}, &found))
      d.TAGALONG[0] = '\0';
    if (d.CATEGORY[0])
      Put(d.NONTAXCAT,
          KVTQueryFirst(FConn, kSqlNonTaxCategory, {d.CATEGORY, d.STORE}, &r) ? r[0] : "");
    bDescriptionEdittable = false;
    bPromptOnQty = OnText(CFG_PROMPTONQTY);
    bPromptOnPrice = OnText(CFG_PROMPTONAMT);
    bPromptOnAmount = bAllowZeroUnitsSold = bAllowOnlyZeroPriceChanges = false;
    bNegativePrice = bTillCodeSold = false;
  } else {
    const char* sql = KVTFeatureOn("20765") ? kSqlActiveTillCode : kSqlTillCode;
    if (!KVTQueryFirst(FConn, sql, {ref, d.STORE}, &r)) return false;
    Put(d.IDESCR, r[0]);
    Put(d.TAXABLE, r[1] == "1" ? "Y" : "N");
    Put(d.FOODSTAMPS, r[2] == "1" ? "Y" : "N");
    Put(d.CATEGORY, r[3]);
    Put(d.COST, r[4]);
    Put(d.TAGALGRATE, r[6]);
    Put(d.NONTAXCAT, r[10]);
    Put(d.INVREF, r[11]);
    Put(d.PROMPT, r[15] == "1" ? "T" : r[16] == "1" ? "A" : "");
    bTOTAMT = r[18] == "1";
    Put(d.TILLCODE, ref);
    KVTRow tag;
    Put(d.TAGALONG,
        !r[5].empty() && KVTQueryFirst(FConn, kSqlCategoryTillCode, {r[5], d.STORE}, &tag) ? tag[0]
                                                                                           : "");
    bDescriptionEdittable = OnText(CFG_ALLOWCHANGETILLDESC);
    bPromptOnQty = OnText(r[12]);
    bPromptOnPrice = OnText(r[8]);
    bPromptOnAmount = OnText(r[13]);
    bAllowZeroUnitsSold = OnText(r[7]);
    bAllowOnlyZeroPriceChanges = OnText(r[9]);
    bNegativePrice = r[14] == "N";
    bTillCodeSold = true;
  }
  for (int id = IDC_IDESCR; id <= IDC_ENTRYTOTAL; ++id) {
    UnprotectField(id);
    SetFieldColors(id, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
  }
  EnteringItem = 1;
  DoAppToScr();
  return true;
}

void PVpos1Dlg::SearchInvRef() {
  std::string columns = "REFERENCE, Reference,25,0,DESCRIPT, Description, 30,0";
  std::string select = "KVTINV1.REFERENCE,KVTINV1.DESCRIPT";
  if (Is(CFG_DISPQOH, "T")) {
    columns += ",QOH,QOH,10,0";
    select += ",QTYONHAND";
  }
  if (Is(CFG_DISPPRICE, "T")) {
    columns += ",PRICE,Price,10,0";
    select += ",LISTPRICE";
  }
  std::string sql = "SELECT " + select +
                    ",STR(KVTINV2.RECNO) FROM KVTINV1,KVTINV2 WHERE KVTINV2.LOCATION = '" +
                    KVTSqlQuote(INVENTORY_LOCATION) +
                    "' AND KVTINV2.REFERENCE = KVTINV1.REFERENCE AND KVTINV1.INACTIVE = 'F'";
  KVTSearchResult chosen;
  if (!SearchWin(Handle(), 0, &chosen, columns.c_str(), sql.c_str(), "Inventory", Data.IREF)) {
    SetFieldVar(IDC_IREF, "");
    KVTSetFieldFocus(IDC_IREF);
    return;
  }
  std::string ref = chosen.Value(0);
  if (DisplayItem(ref.c_str())) {
    KVTSetFieldFocus(IDC_IDESCR);
    return;
  }
  char text[120];
  KVTsprintf(text, "%s is not a valid inventory reference.", ref.c_str());
  MessageBox(text, "Error", MB_OK | MB_ICONSTOP);
  SetFieldVar(IDC_IREF, "");
  KVTSetFieldFocus(IDC_IREF);
}

void PVpos1Dlg::SearchInvDesc() {
  std::string sql =
      "SELECT KVTINV1.DESCRIPT,KVTINV1.REFERENCE,STR(KVTINV2.RECNO) FROM "
      "KVTINV1,KVTINV2 WHERE KVTINV2.LOCATION = '" +
      KVTSqlQuote(INVENTORY_LOCATION) +
      "' AND KVTINV2.REFERENCE = KVTINV1.REFERENCE AND KVTINV1.INACTIVE = 'F'";
  KVTSearchResult chosen;
  KVTRow r;
  if (!SearchWin(Handle(), 0, &chosen, "DESCRIPT, Description, 30,0,REFERENCE, Reference,25,0",
                 sql.c_str(), "Inventory", Data.IREF) ||
      !KVTQueryFirst(FConn, kSqlReferenceByRecno, {KVTFormatValue("%.0f", chosen.Recno())}, &r)) {
    SetFieldVar(IDC_IREF, "");
    KVTSetFieldFocus(IDC_IREF);
    return;
  }
  if (DisplayItem(r[0].c_str())) {
    KVTSetFieldFocus(IDC_IDESCR);
    return;
  }
  char text[120];
  KVTsprintf(text, "%s is not a valid inventory reference.", r[0].c_str());
  MessageBox(text, "Error", MB_OK | MB_ICONSTOP);
  SetFieldVar(IDC_IREF, "");
  KVTSetFieldFocus(IDC_IREF);
}

void PVpos1Dlg::SearchTillCode() {
  std::string sql = "SELECT TILLCODE,DESCRIPT,STR(RECNO) FROM KVTCOM12 WHERE LOCATION = '" +
                    KVTSqlQuote(Data.STORE) + "' AND TRIM(TILLCODE) <> ''";
  if (KVTFeatureOn("20765")) sql += " AND INACTIVE <> '1'";
  KVTSearchResult chosen;
  if (!SearchWin(Handle(), 0, &chosen, "TILLCODE,TillCode,25,0,DESCRIPT, Description, 30,0",
                 sql.c_str(), "Till Codes", Data.IREF)) {
    SetFieldVar(IDC_IREF, "");
    KVTSetFieldFocus(IDC_IREF);
    return;
  }
  std::string code = chosen.Value(0);
  if (DisplayItem(code.c_str())) {
    KVTSetFieldFocus(IDC_IDESCR);
    return;
  }
  char text[200];
  if (static_cast<int>(code.size()) > MaxDeptCharacters())
    KVTsprintf(text,
               "%s is not a valid till code.  According to the configuration,\ntill codes can "
               "only be %s characters.",
               code.c_str(), CFG_MAXDEPTCHARACTERS);
  else
    KVTsprintf(text, "%s is not a valid till code.", code.c_str());
  MessageBox(text, "Error", MB_OK | MB_ICONSTOP);
  SetFieldVar(IDC_IREF, "");
  KVTSetFieldFocus(IDC_IREF);
}

void PVpos1Dlg::ChangeQty(const char* quantity) {
  TDataTbl& g = SaleGrid();
  int row = g.GetRowCount() - 1;
  if (row < 0) return;
  const std::string qty = quantity;
  auto amountOf = [&](int r) {
    return KVTFormatValue(TOTAL_FORMAT, KVTCents(std::atof(qty.c_str()) *
                                                 std::atof(g.GetCell(COL_PRICE, r).c_str())));
  };
  if (g.GetCell(COL_TAGALONG, row) == "T") {
    // A tag-along goes with its item: both take the new quantity.
    g.SetCell(COL_QTY, row, qty);
    g.SetCell(COL_AMOUNT, row, amountOf(row));
    AdjustTaxAmount(row);
    --row;
  }
  if (row >= 0) {
    g.SetCell(COL_QTY, row, qty);
    std::string ref = g.GetCell(COL_REF, row);
    std::string kind = g.GetCell(COL_QTYPRICING, row), mix = g.GetCell(COL_MIXNUM, row);
    if (IsInventoryReference(ref) && (!kind.empty() || !mix.empty()))
      AdjustLinePricing(ref.c_str(), kind.c_str(), mix.c_str());
    g.SetCell(COL_AMOUNT, row, amountOf(row));
  }
  TotalSaleItems(1);
  PoleDisplayPrint(0, "", "", "", "");
  DoAppToScr();
}

void PVpos1Dlg::AcceptItem() {
  DoScrToApp();
  bTOTAMT = false;
  if (!VerifyPOS1File) CreateLineTableModel();
  if (Data.RECNO == 0 && !VerifyPOS1File->VerifyRequiredFields()) return;
  VerifyPOS1File->AddItem();
  for (int id = IDC_IREF; id <= IDC_ENTRYTOTAL; ++id) UnprotectField(id);
  OrderHasItems = 1;
  SaleGrid().SetTopRow(std::max(0, SaleGrid().GetRowCount() - 15));
  NewItem();
}

void PVpos1Dlg::NewItem() {
  bTOTAMT = false;
  SaleGrid().SelRow(KVT_NONE);
  UnprotectField(IDC_IREF);
  SetFieldColors(IDC_IREF, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
  for (int id = IDC_IDESCR; id <= IDC_ENTRYTOTAL; ++id) {
    ProtectField(id);
    SetFieldColors(id, KVT_PROTECTED_FG, KVT_PROTECTED_BG);
  }
  PVpos1Data& d = Data;
  for (char* field :
       {d.IREF,     d.IDESCR,     d.QTYORDERED, d.PRICE,    d.ENTRYTOTAL, d.FOODSTAMPS,
        d.TAXABLE,  d.TAXAUTH,    d.TAXAMT,     d.CATEGORY, d.NUMCHANGE,  d.COST,
        d.DISCOUNT, d.SERIALNUM,  d.TILLCODE,   d.MIXNUM,   d.TAGALONG,   d.NONTAXCAT,
        d.INVREF,   d.QTYPRICING, d.TAGALGRATE, d.PROMPT})
    field[0] = '\0';
  if (VerifyPOS1File) VerifyPOS1File->sTagAlongLoopParent.clear();
  EnteringItem = 0;
  bDescriptionEdittable = bPromptOnQty = bPromptOnPrice = bPromptOnAmount = false;
  bAllowOnlyZeroPriceChanges = bAllowZeroUnitsSold = bNegativePrice = bTillCodeSold = false;
  bErrorInEntryTotal = bTillCodePriceZero = false;
  szUnitDec[0] = '\0';
  DoAppToScr();
  KVTSetFieldFocus(IDC_IREF);
}

int PVpos1Dlg::CreateTagAlongItem(const char* /*reference*/, const char* tagAlongRef,
                                  const char* quantity, const char* refPrice,
                                  const char* tagAlongRate) {
  const std::string rate = tagAlongRate;
  double price = std::atof(rate.c_str());
  if (!rate.empty() && rate.back() == '%') price = 0.01 * std::atof(refPrice) * price;
  const std::string tagAlong = tagAlongRef;
  SetFieldVar(IDC_QTYORDERED, quantity);
  if (!DisplayItem(tagAlong.c_str())) {
    NewItem();
    MessageBox("An error occurred creating tag along item!", "Error", MB_OK | MB_ICONSTOP);
    return 0;
  }
  double qty = std::atof(Data.QTYORDERED);
  if (Data.TILLCODE[0] != '\0') SetFieldVar(IDC_PRICE, KVTFormatValue(PRICE_FORMAT, price).c_str());
  SetFieldVar(IDC_ENTRYTOTAL,
              KVTFormatValue(TOTAL_FORMAT, KVTCents(qty * std::atof(Data.PRICE))).c_str());
  DoAppToScr();
  AcceptItem();
  TDataTbl& g = SaleGrid();
  g.SetCell(COL_TAGALONG, g.GetRowCount() - 1, "T");
  return 1;
}

void PVpos1Dlg::DisplayDOB() {
  std::string dob;
  for (const char* p = Data.DTOFBRTH; *p; ++p) {
    if (std::isdigit(static_cast<unsigned char>(*p))) dob += *p;
  }
  if (dob.size() != 8) return;
  char text[81];
  KVTsprintf(text, "(Customer Date of Birth is %s/%s/%s)", dob.substr(0, 2).c_str(),
             dob.substr(2, 2).c_str(), dob.substr(4, 4).c_str());
  SetFieldVar(IDC_SALE_TEXT, text);
}

void PVpos1Dlg::ClearTable() {
  SaleGrid().ResetData();
}

void PVpos1Dlg::PoleDisplayPrint(int /*row*/, const char* /*line1*/, const char* /*line2*/,
                                 const char* /*line3*/, const char* /*line4*/) {}
