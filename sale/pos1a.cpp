// The sale line table: entry-field checks, lines added from the entry fields,
// a stored sale loaded back into the grids, and the sale's totals.
#include "sale/pos1a.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "sale/dob.h"
#include "sale/entry.h"
#include "sale/iteminf.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

using kvt::sale::Line;
using kvt::sql::Found;
using kvt::sql::Row;
using kvt::sql::Text;
using kvt::sql::Value;

const char kSqlOrderHeader[] = "SELECT STR(RECNO) AS RECNO, DOB FROM KVTPOS1 WHERE INVOICELNK = ?";
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

std::string Formatted(const char* format, double value) {
  char buf[64];
  KVTsprintf(buf, format, value);
  return buf;
}

int MaxDeptCharacters() {
  return std::atoi(CFG_MAXDEPTCHARACTERS);
}

// An inventory reference rather than a till code.
bool IsInventoryReference(const std::string& reference) {
  return kvt::sale::IsInventoryReference(reference, CFG_MAXDEPTCHARACTERS, CFG_USEINVENTORY);
}

// The look-ups of one operation. Each answers its rows; the first that
// fails tells the cashier what could not be read, with the database's
// message, and from then on every look-up answers nothing, so the caller
// can leave everything as it was.
class Lookup {
 public:
  explicit Lookup(PVpos1Dlg& screen) : screen_(screen) {}
  std::vector<Row> All(const char* what, const char* sql, const std::vector<Value>& values) {
    if (failed_) return {};
    kvt::sql::Result r = kvt::sql::Run(sql, values);
    if (r.found() == Found::Failed) {
      failed_ = true;
      std::string text = std::string("The ") + what + " could not be read.\n\n" + r.error();
      screen_.MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    }
    return r.rows();
  }
  std::optional<Row> First(const char* what, const char* sql, const std::vector<Value>& values) {
    std::vector<Row> rows = All(what, sql, values);
    if (rows.empty()) return std::nullopt;
    return rows.front();
  }
  // The same for a question whose answer stays the same through the sale.
  std::optional<Row> KeptFirst(const char* what, const char* sql,
                               const std::vector<Value>& values) {
    std::string key = sql;
    for (const Value& v : values) (key += '\x1f') += v.text;
    auto kept = screen_.saleAnswers.find(key);
    if (kept == screen_.saleAnswers.end()) {
      std::vector<Row> rows = All(what, sql, values);
      if (failed_) return std::nullopt;
      kept = screen_.saleAnswers.emplace(std::move(key), std::move(rows)).first;
    }
    if (kept->second.empty()) return std::nullopt;
    return kept->second.front();
  }
  bool failed() const { return failed_; }

 private:
  PVpos1Dlg& screen_;
  bool failed_ = false;
};

}  // namespace

KVTPOS1A::KVTPOS1A(PVpos1Dlg* parent) : ParentDlg(parent) {}

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
      kvt::sale::IsPlainNumber(ref)) {
    s.ChangeQty(ref.c_str());
    s.SetFieldVar(IDC_IREF, "");
    return 1;
  }
  if (s.DisplayItem(ref.c_str())) return 0;
  if (s.bLookupFailed) {
    s.NewItem();
  } else if (IsInventoryReference(ref)) {
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
  if (const char* refusal =
          kvt::sale::QuantityRefusal(s.Data.QTYORDERED, CFG_MAXQTY, s.bAllowZeroUnitsSold)) {
    s.MessageBox(refusal, "Error", MB_OK | MB_ICONSTOP);
    return 1;
  }
  // Without a price field the price is settled with the quantity.
  if (!Is(CFG_DISPLAYPRICEEACH, "T")) VerifyPrice();
  return 0;
}

double KVTPOS1A::ApplySign(double value) const {
  return kvt::sale::SignedForTillCode(value, ParentDlg->bTillCodeSold, ParentDlg->bNegativePrice);
}

int KVTPOS1A::VerifyPrice() {
  PVpos1Dlg& s = *ParentDlg;
  if (TRIM(s.Data.PRICE)[0] == '\0') return 1;
  s.SetFieldVar(IDC_PRICE, Formatted(PRICE_FORMAT, ApplySign(std::atof(s.Data.PRICE))).c_str());
  double amount = kvt::sale::LineAmount(std::atof(s.Data.QTYORDERED), std::atof(s.Data.PRICE));
  s.SetFieldVar(IDC_ENTRYTOTAL, kvt::sale::AmountText(amount).c_str());
  s.DoAppToScr();
  return 0;
}

int KVTPOS1A::VerifyAmount() {
  PVpos1Dlg& s = *ParentDlg;
  if (TRIM(s.Data.ENTRYTOTAL)[0] == '\0') return 1;
  double amount = std::atof(s.Data.ENTRYTOTAL);
  if (amount > std::atof(CFG_MAXAMOUNT)) {
    s.bPromptOnAmount = true;
    s.SetFieldVar(IDC_ENTRYTOTAL, "");
    s.MessageBox("Amount exceeds maximum amount allowed.", "Error", MB_OK | MB_ICONSTOP);
    s.KVTSetFieldFocus(IDC_ENTRYTOTAL);
    return 1;
  }
  kvt::sale::KeyedAmount k = kvt::sale::SettleKeyedAmount(
      ApplySign(amount), std::atof(s.Data.QTYORDERED), ApplySign(std::atof(s.Data.PRICE)),
      TRIM(s.Data.PRICE)[0] != '\0', s.bTOTAMT, s.bPromptOnAmount, s.szUnitDec);
  s.SetFieldVar(IDC_ENTRYTOTAL, k.amount.c_str());
  if (!k.quantity.empty()) s.SetFieldVar(IDC_QTYORDERED, k.quantity.c_str());
  if (!k.price.empty()) s.SetFieldVar(IDC_PRICE, k.price.c_str());
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
  ParentDlg->PutSaleLine(
      row,
      kvt::sale::LineFromCells(
          {d.IREF,       d.IDESCR,    d.QTYORDERED, d.PRICE,      d.ENTRYTOTAL, d.FOODSTAMPS,
           d.INVOICENUM, d.NUMCHANGE, recno,        d.TILLCODE,   d.TAXABLE,    INVENTORY_LOCATION,
           d.CATEGORY,   d.DISCOUNT,  d.COST,       d.SERIALNUM,  d.MIXNUM,     d.TAGALONG,
           d.NONTAXCAT,  d.INVREF,    d.QTYPRICING, d.TAGALGRATE, d.PROMPT}));
}

int KVTPOS1A::AddItem() {
  PVpos1Dlg& s = *ParentDlg;
  PVpos1Data& d = s.Data;
  s.DoScrToApp();
  TDataTbl& g = s.SaleGrid();

  int selected = g.GetSelRow();
  if (selected != KVT_NONE) {
    g.SetRedraw(false);
    FillRowFromBuffer(selected, Formatted("%.0f", d.RECNO));
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
  std::string recnoText = Formatted("%.0f", recno);
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

namespace {

// The hidden columns of a stored inventory line: quantity pricing, its mix,
// its tag-along when stocked here.
void CompleteInventoryLine(Lookup& look, Line& l) {
  const std::vector<Value> at = {Text(l.reference), Text(INVENTORY_LOCATION)};
  if (look.First("inventory item's quantity matrix", kSqlMatrix, at)) l.qtyPricing = "M";
  if (auto r = look.First("inventory item's price record", kSqlPriceRecord, at)) {
    const Row& p = *r;
    l.mixNum = p["MIXNUM"];
    bool stocked =
        !p["TAGALONG"].empty() && look.First("tag-along item", kSqlItemAtLocation,
                                             {Text(p["TAGALONG"]), Text(INVENTORY_LOCATION)});
    l.tagAlong = stocked ? p["TAGALONG"] : "";
    l.nonTaxCat.clear();
    l.invRef.clear();
    if (!p["PQTY1"].empty() || !p["PQTY2"].empty() || !p["PQTY3"].empty()) l.qtyPricing = "U";
  }
  // A promotional price is never repriced by quantity.
  if (auto r = look.First("inventory item's promotion", kSqlPromotion, at)) {
    long today = MakeDateYYYYMMDD(CurrentDate().c_str());
    if (MakeDateYYYYMMDD((*r)["BEGINDATE"].c_str()) <= today &&
        today <= MakeDateYYYYMMDD((*r)["ENDDATE"].c_str()))
      l.qtyPricing.clear();
  }
}

// The hidden columns of a stored till-code line, from the till code.
void CompleteTillCodeLine(Lookup& look, Line& l, const std::string& store) {
  auto r = look.First("till code", kSqlTillCodeLine, {Text(l.tillCode), Text(store)});
  if (!r) return;
  l.mixNum.clear();
  if (!(*r)["TAGALGCAT"].empty()) {
    auto tag = look.First("tag-along till code", kSqlCategoryTillCode,
                          {Text((*r)["TAGALGCAT"]), Text(store)});
    l.tagAlong = tag ? (*tag)["TILLCODE"] : "";
  }
  l.nonTaxCat = (*r)["NONTAXCAT"];
  l.invRef = (*r)["INVREF"];
  l.tagAlongRate = (*r)["TAGALGRATE"];
}

}  // namespace

void KVTPOS1A::LoadOrder() {
  PVpos1Dlg& s = *ParentDlg;
  Lookup look(s);
  auto header = look.First("sale", kSqlOrderHeader, {Text(s.Data.INVOICELNK)});
  if (look.failed()) return;
  s.ClearTable();
  // The tax rows go with the lines they belong to.
  s.ClearTaxTable();
  if (!header) return;
  s.Data.RECNO = std::atof((*header)["RECNO"].c_str());
  KVTsprintf(s.Data.DTOFBRTH, "%s", (*header)["DOB"].c_str());
  s.DisplayDOB();
  s.DoAppToScr();
  LoadTable();
  LoadTaxDataTable();
  s.TotalSaleItems(1);
  s.PoleDisplayPrint(0, "", "", "", "");
}

void KVTPOS1A::LoadTable() {
  PVpos1Dlg& s = *ParentDlg;
  Lookup look(s);
  std::vector<Line> lines;
  for (const Row& r : look.All("sale's lines", kSqlOrderLines, {Text(s.Data.INVOICELNK)})) {
    Line l;
    l.reference = r["INVREF"];
    l.description = r["DESCR"];
    l.quantity = r["QTYORDERED"];
    l.price = r["PRICE"];
    l.voided = r["ENTRYTOTAL"] == "VOID";
    l.amount = std::atof(r["ENTRYTOTAL"].c_str());
    l.foodStamps = r["FOODSTAMPS"] == "1";
    l.orderNum = r["INVOICENUM"];
    l.numChange = r["NUMCHANGE"];
    l.itemLink = r["RECNO"];
    l.tillCode = r["TILLCODE"];
    l.taxable = r["TAXABLE"] == "1";
    l.location = r["INVLOC"];
    l.category = r["CATEGORY"];
    l.discount = r["DISCOUNT"];
    l.cost = r["COST"];
    l.serialNum = r["SERIALNUM"];
    l.prompt = r["PROMPT"];
    if (l.tillCode.empty())
      CompleteInventoryLine(look, l);
    else
      CompleteTillCodeLine(look, l, s.Data.STORE);
    lines.push_back(l);
  }
  if (look.failed()) return;
  // A line that has a tag-along is followed by it; that one is marked "T"
  // so it starts no chain of its own when the sale is worked on again.
  TDataTbl& g = s.SaleGrid();
  const int first = g.GetRowCount();
  g.SetRedraw(false);
  for (const Line& l : lines) s.PutSaleLine(g.InsertRow(), l);
  if (!lines.empty()) s.OrderHasItems = 1;
  for (int row = first; row + 1 < g.GetRowCount(); ++row) {
    if (g.GetCell(COL_TAGALONG, row).empty()) continue;
    g.SetCell(COL_TAGALONG, row + 1, "T");
    ++row;
  }
  g.SetRedraw(true);
}

void KVTPOS1A::LoadTaxDataTable() {
  Lookup look(*ParentDlg);
  std::vector<std::vector<std::string>> rows;
  for (const Row& r :
       look.All("sale's taxes", kSqlOrderTaxes, {Text(ParentDlg->Data.INVOICELNK)})) {
    auto cap = look.First("tax code", kSqlTaxCap, {Text(r["TAXCODE"])});
    rows.push_back(
        {r["TAXCODE"], r["TAXRATE"], cap ? (*cap)["AMOUNT"] : "", r["TAXAMT"], r["ITEMLNK"]});
  }
  if (look.failed()) return;
  TDataTbl& tax = ParentDlg->TaxGrid();
  tax.SetRedraw(false);
  for (const auto& cells : rows) {
    int t = tax.InsertRow();
    for (int c = 0; c < static_cast<int>(cells.size()); ++c)
      tax.SetCell(c, t, cells[static_cast<std::size_t>(c)]);
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

kvt::sale::Line PVpos1Dlg::GetSaleLine(int row) {
  TDataTbl& g = SaleGrid();
  kvt::sale::Cells cells;
  for (int c = 0; c < SALE_GRID_COLUMNS; ++c) cells.push_back(g.GetCell(c, row));
  return kvt::sale::LineFromCells(cells);
}

std::vector<kvt::sale::Line> PVpos1Dlg::GetSaleLines() {
  std::vector<kvt::sale::Line> lines;
  for (int row = 0; row < SaleGrid().GetRowCount(); ++row) lines.push_back(GetSaleLine(row));
  return lines;
}

void PVpos1Dlg::PutSaleLine(int row, const kvt::sale::Line& line) {
  TDataTbl& g = SaleGrid();
  const kvt::sale::Cells cells = kvt::sale::CellsOfLine(line);
  for (int c = 0; c < SALE_GRID_COLUMNS; ++c) g.SetCell(c, row, cells[static_cast<std::size_t>(c)]);
}

void PVpos1Dlg::TotalSaleItems(int recalculateTaxes) {
  if (recalculateTaxes) AdjustTaxAmounts();
  const std::string tax = SumTax();
  // The totals need of each line its amount, food stamps and taxable only,
  // and read again only the lines that changed.
  TDataTbl& g = SaleGrid();
  const bool all = !totalsSeen_.Continues(g);
  if (all) runningTotals_.Reset();
  kvt::sale::Cells cells(SALE_GRID_COLUMNS);
  for (int row = 0; row < g.GetRowCount(); ++row) {
    if (!all && !totalsSeen_.Changed(g, row)) continue;
    for (int c : {COL_AMOUNT, COL_FS, COL_TAXABLE})
      cells[static_cast<std::size_t>(c)] = g.GetCell(c, row);
    runningTotals_.SetLine(static_cast<std::size_t>(row), kvt::sale::LineFromCells(cells));
  }
  totalsSeen_.Saw(g);
  const kvt::sale::Totals t = runningTotals_.Total(std::atof(tax.c_str()));
  SetFieldVar(IDC_FSTOTAL, kvt::sale::AmountText(t.foodStamps).c_str());
  SetFieldVar(IDC_REMAINTOTAL, kvt::sale::AmountText(t.remaining).c_str());
  SetFieldVar(IDC_NONTAXAMT, kvt::sale::AmountText(t.nonTaxable).c_str());
  SetFieldVar(IDC_TAXTOTAL, tax.c_str());
  SetFieldVar(IDC_TOTAL, kvt::sale::AmountText(t.total).c_str());
  SetFieldVar(IDC_FSTOTAL_DISPLAY, Formatted(CURRENCY_FORMAT, t.foodStamps).c_str());
  SetFieldVar(IDC_REMAINTOTAL_DISPLAY, Formatted(CURRENCY_FORMAT, t.remaining).c_str());
  SetFieldVar(IDC_TAXTOTAL_DISPLAY, Formatted(CURRENCY_FORMAT, t.tax).c_str());
  SetFieldVar(IDC_TOTAL_DISPLAY, Formatted(CURRENCY_FORMAT, t.total).c_str());
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
// The item at the location with, in the same round trip, its own unit
// decimals, whether it has a quantity matrix and its price record (PRICEREC
// empty without one).
const char kSqlInventoryItemPriced[] =
    "SELECT KVTINV1.DESCRIPT,KVTINV2.LISTPRICE,KVTINV1.TAXABLE,KVTINV1.FARMUSE,KVTINV1.UNITSDEC,"
    "CASE WHEN EXISTS (SELECT RECNO FROM KVTINV18 WHERE REFERENCE = ? AND LOCATION = ? AND (Q1 > "
    "'' OR Q2 > '' OR Q3 > '' OR Q4 > '' OR Q5 > '' OR Q6 > '' OR Q7 > '' OR Q8 > '' OR Q9 > '' OR "
    "Q10 > '')) THEN 'M' ELSE '' END AS MATRIX,KVTPRB1.REFERENCE AS PRICEREC,KVTPRB1.FOODSTAMP,"
    "KVTPRB1.MIXNUM,KVTPRB1.TAGALONG,KVTPRB1.CSTRCAT,KVTPRB1.PQTY1,KVTPRB1.PQTY2,KVTPRB1.PQTY3,"
    "KVTPRB1.TABACCO,KVTPRB1.ALCOHOL,KVTPRB1.TAX1APP,KVTPRB1.BEGINDATE,KVTPRB1.ENDDATE,"
    "KVTPRB1.PPRICE1 FROM KVTINV2,KVTINV1 LEFT JOIN KVTPRB1 ON "
    "KVTPRB1.REFERENCE = KVTINV1.REFERENCE AND KVTPRB1.LOCATION = ? WHERE KVTINV2.REFERENCE = ? "
    "AND KVTINV2.LOCATION = ? AND KVTINV1.REFERENCE=KVTINV2.REFERENCE AND KVTINV1.INACTIVE = 'F'";
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
// A feature switch of KVTCOM20: a row present means on.
const char kSqlFeature[] = "SELECT FEATURE FROM KVTCOM20 WHERE FEATURE = ?";

template <std::size_t N>
void Put(char (&field)[N], const std::string& value) {
  KVTsprintf(field, "%s", value.c_str());
}

}  // namespace

namespace {
const char kSqlCategoryAgeCheck[] =
    "SELECT TOBACCO, ALCOHOL FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlLinkedItemAgeCheck[] =
    "SELECT TABACCO, ALCOHOL FROM KVTPRB1 WHERE REFERENCE = ? AND LOCATION = ?";
const char kSqlDepartment[] = "SELECT ARCATDEPT FROM KVTCOM12 WHERE REFERENCE = ? AND LOCATION = ?";

// Farm use is not taxed.
bool AskFarmUse(PVpos1Dlg& screen) {
  return screen.MessageBox("Is this for farm use?", "Kovatel Software",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}
}  // namespace

bool PVpos1Dlg::DisplayItem(const char* reference) {
  const std::string ref = reference;
  PVpos1Data& d = Data;
  Lookup look(*this);
  bLookupFailed = false;
  if (SaleGrid().GetRowCount() == 0) ForgetSaleAnswers();
  szUnitDec[0] = '\0';
  SetFieldVar(IDC_IREF, ref.c_str());
  d.QTYPRICING[0] = '\0';
  d.TILLCODE[0] = '\0';
  auto found = [&](const std::optional<Row>& r) {
    bLookupFailed = look.failed();
    return r.has_value() && !bLookupFailed;
  };

  if (IsInventoryReference(ref)) {
    if (auto r = look.KeptFirst("inventory settings", kSqlUnitDecimals, {}))
      Put(szUnitDec, (*r)["UNITSDEC"]);
    if (Is(CFG_SEARCHBARCODE, "T")) {
      if (auto r = look.First("bar code", kSqlBarCode, {Text(ref)}))
        SetFieldVar(IDC_IREF, (*r)["REFERENCE"].c_str());
    }
    // The unit decimals are those of the reference as keyed, a bar code's
    // own when it named another item.
    std::optional<Row> own;
    if (ref != d.IREF) own = look.First("inventory item", kSqlItemUnitDecimals, {Text(ref)});
    const Value keyed = Text(d.IREF), location = Text(INVENTORY_LOCATION);
    auto item = look.First("inventory item", kSqlInventoryItemPriced,
                           {keyed, location, location, keyed, location});
    if (!found(item)) return false;
    if (ref == d.IREF) own = item;
    if (own && (*own)["UNITSDEC"].size() > 1 && (*own)["UNITSDEC"][1] == 'T')
      KVTsprintf(szUnitDec, "%c", (*own)["UNITSDEC"][0]);
    const bool matrix = (*item)["MATRIX"] == "M";
    std::optional<Row> prices;
    if (!(*item)["PRICEREC"].empty()) prices = item;
    std::string tagAlong = prices ? (*prices)["TAGALONG"] : d.TAGALONG;
    if (!tagAlong.empty() && !look.First("tag-along item", kSqlItemAtLocation,
                                         {Text(tagAlong), Text(INVENTORY_LOCATION)}))
      tagAlong.clear();
    std::string category = prices ? (*prices)["CSTRCAT"] : d.CATEGORY;
    std::string prompt =
        prices ? kvt::sale::AgePrompt((*prices)["TABACCO"], (*prices)["ALCOHOL"], "T") : d.PROMPT;
    std::optional<Row> nonTax;
    if (!category.empty()) {
      // An item not marked tobacco or alcohol is checked as its category is.
      const std::string alcohol = prices ? (*prices)["ALCOHOL"] : "";
      if (prices && (*prices)["TABACCO"] != "T" && (alcohol == "F" || alcohol.empty())) {
        auto cat =
            look.KeptFirst("sales category", kSqlCategoryAgeCheck, {Text(category), Text(d.STORE)});
        if (cat) prompt = kvt::sale::AgePrompt((*cat)["TOBACCO"], (*cat)["ALCOHOL"], "1");
      }
      nonTax =
          look.KeptFirst("sales category", kSqlNonTaxCategory, {Text(category), Text(d.STORE)});
    }
    if (look.failed()) return found(std::nullopt);
    Put(d.IDESCR, (*item)["DESCRIPT"]);
    Put(d.PRICE, (*item)["LISTPRICE"]);
    DoAppToScr();
    const bool farmUse = (*item)["FARMUSE"] == "T" && AskFarmUse(*this);
    if (farmUse) Put(d.TAXABLE, "N");
    if (matrix) Put(d.QTYPRICING, "M");
    if (prices) {
      const Row& p = *prices;
      Put(d.FOODSTAMPS, p["FOODSTAMP"] == "1" ? "Y" : "N");
      Put(d.MIXNUM, p["MIXNUM"]);
      Put(d.CATEGORY, category);
      if (!p["PQTY1"].empty() || !p["PQTY2"].empty() || !p["PQTY3"].empty()) Put(d.QTYPRICING, "U");
      if (!farmUse) Put(d.TAXABLE, p["TAX1APP"] == "T" ? "Y" : "N");
    }
    Put(d.PROMPT, prompt);
    Put(d.TAGALONG, tagAlong);
    if (!category.empty()) Put(d.NONTAXCAT, nonTax ? (*nonTax)["NONTAXCAT"] : "");
    IDPrompt(d.PROMPT);
    SetPromptFlags("F", CFG_PROMPTONQTY, CFG_PROMPTONAMT, "F", "F", "F", "P", "F");
    const std::string item_ref = d.IREF;
    PriceKeyedItem(item_ref.c_str(), prices ? &*prices : nullptr);
    if (std::atof(d.COST) == 0) {
      const std::string cat = d.CATEGORY, store = d.STORE;
      FindSalesCatCost(cat.c_str(), store.c_str());
    }
  } else {
    const bool activeOnly =
        look.First("feature switches", kSqlFeature, {Text("20765")}).has_value();
    auto code = look.First("till code", activeOnly ? kSqlActiveTillCode : kSqlTillCode,
                           {Text(ref), Text(d.STORE)});
    if (!found(code)) return false;
    const Row& r = *code;
    std::string prompt = kvt::sale::AgePrompt(r["TOBACCO"], r["ALCOHOL"], "1");
    // A till code selling an inventory item is checked as the item is.
    if (!r["INVREF"].empty() && r["TOBACCO"] != "1" &&
        (r["ALCOHOL"] == "0" || r["ALCOHOL"].empty())) {
      auto linked = look.First("inventory item's price record", kSqlLinkedItemAgeCheck,
                               {Text(r["INVREF"]), Text(INVENTORY_LOCATION)});
      if (linked) prompt = kvt::sale::AgePrompt((*linked)["TABACCO"], (*linked)["ALCOHOL"], "T");
    }
    std::optional<Row> tag;
    if (!r["TAGALGCAT"].empty())
      tag = look.First("tag-along till code", kSqlCategoryTillCode,
                       {Text(r["TAGALGCAT"]), Text(d.STORE)});
    if (look.failed()) return found(std::nullopt);
    Put(d.IDESCR, r["DESCRIPT"]);
    DoAppToScr();
    Put(d.TAXABLE, r["TAXABLE"] == "1" ? "Y" : "N");
    if (r["FARMUSE"] == "1" && AskFarmUse(*this)) Put(d.TAXABLE, "N");
    Put(d.FOODSTAMPS, r["FOODSTAMPS"] == "1" ? "Y" : "N");
    Put(d.CATEGORY, r["REFERENCE"]);
    Put(d.COST, r["COSTUNIT"]);
    Put(d.TAGALGRATE, r["TAGALGRATE"]);
    Put(d.NONTAXCAT, r["NONTAXCAT"]);
    Put(d.INVREF, r["INVREF"]);
    Put(d.PROMPT, prompt);
    bTOTAMT = r["TOTAMT"] == "1";
    Put(d.TILLCODE, ref);
    if (!r["INVREF"].empty()) {
      char price[50], discount[50], cost[50];
      FindInventoryPriceAndCost("", "", r["INVREF"].c_str(), INVENTORY_LOCATION, "1", true, price,
                                discount, cost);
      if (std::atof(cost) != 0) Put(d.COST, cost);
    }
    IDPrompt(d.PROMPT);
    Put(d.TAGALONG, tag ? (*tag)["TILLCODE"] : "");
    SetPromptFlags(CFG_ALLOWCHANGETILLDESC, r["ENTERSALE"].c_str(), r["PRICECHG"].c_str(),
                   r["ENTERAMT"].c_str(), r["ZEROUNITS"].c_str(), r["ZEROPRCCHG"].c_str(),
                   r["PRICESIGN"].c_str(), "T");
    char unused[50] = "";
    FindTillCodePrice(ref.c_str(), d.STORE, false, "", unused);
  }
  for (int id = IDC_IDESCR; id <= IDC_ENTRYTOTAL; ++id) {
    UnprotectField(id);
    SetFieldColors(id, KVT_NORMAL_FG, KVT_HIGHLIGHT_BG);
  }
  EnteringItem = 1;
  DoAppToScr();
  return true;
}

void PVpos1Dlg::SetPromptFlags(const char* descEditable, const char* promptQty,
                               const char* promptPrice, const char* promptAmount,
                               const char* zeroUnits, const char* zeroPriceChanges,
                               const char* priceSign, const char* tillCodeSold) {
  const kvt::sale::PromptFlags f =
      kvt::sale::ReadPromptFlags(descEditable, promptQty, promptPrice, promptAmount, zeroUnits,
                                 zeroPriceChanges, priceSign, tillCodeSold);
  bDescriptionEdittable = f.descriptionEditable;
  bPromptOnQty = f.promptOnQty;
  bPromptOnPrice = f.promptOnPrice;
  bPromptOnAmount = f.promptOnAmount;
  bAllowZeroUnitsSold = f.allowZeroUnits;
  bAllowOnlyZeroPriceChanges = f.allowOnlyZeroPriceChanges;
  bNegativePrice = f.negativePrice;
  bTillCodeSold = f.tillCodeSold;
}

void PVpos1Dlg::IDPrompt(const char* type) {
  if (Is(type, "T") && !bPromptIDTobacco && CFG_TOBACCOAGE[0] != '\0')
    GetDateofBirth("T", CFG_TOBACCOAGE);
  else if (Is(type, "A") && !bPromptIDAlcohol && CFG_ALCOHOLAGE[0] != '\0')
    GetDateofBirth("A", CFG_ALCOHOLAGE);
}

void PVpos1Dlg::GetDateofBirth(const char* type, const char* age) {
  PVdobDlg dob(Handle());
  dob.SetTypeFlag(type);
  dob.SetLegalAge(age);
  dob.SetDateOfBirth(Data.DTOFBRTH);
  dob.Execute();
  KVTsprintf(Data.DTOFBRTH, "%s", dob.szDOB);
  if (dob.bLegal) {
    if (Is(type, "A")) bPromptIDAlcohol = true;
    if (Is(type, "T")) bPromptIDTobacco = true;
    DisplayDOB();
    return;
  }
  if (!OrderHasItems) SetFieldVar(IDC_DTOFBRTH, "");
  // The item is dropped and the next one starts.
  ::PostMessage(Handle(), WM_COMMAND, 9003);
}

std::string PVpos1Dlg::GetDepartment(const char* category, const char* store) {
  Lookup look(*this);
  auto r = look.First("sales category's department", kSqlDepartment, {Text(category), Text(store)});
  return r ? (*r)["ARCATDEPT"] : "";
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
  if (!bLookupFailed) {
    std::string text = ref + " is not a valid inventory reference.";
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
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
  Lookup look(*this);
  std::optional<Row> r;
  if (SearchWin(Handle(), 0, &chosen, "DESCRIPT, Description, 30,0,REFERENCE, Reference,25,0",
                sql.c_str(), "Inventory", Data.IREF))
    r = look.First("inventory item", kSqlReferenceByRecno, {kvt::sql::Number(chosen.Recno())});
  if (!r) {
    SetFieldVar(IDC_IREF, "");
    KVTSetFieldFocus(IDC_IREF);
    return;
  }
  const std::string ref = (*r)["REFERENCE"];
  if (DisplayItem(ref.c_str())) {
    KVTSetFieldFocus(IDC_IDESCR);
    return;
  }
  if (!bLookupFailed) {
    std::string text = ref + " is not a valid inventory reference.";
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  SetFieldVar(IDC_IREF, "");
  KVTSetFieldFocus(IDC_IREF);
}

void PVpos1Dlg::SearchTillCode() {
  // An MSSQL office reads without locks and trims with its own function.
  const bool mssql = KVTConnectionOneKind() == "MSSQL";
  std::string sql = std::string("SELECT TILLCODE,DESCRIPT,STR(RECNO) FROM KVTCOM12") +
                    (mssql ? " (NOLOCK)" : "") + " WHERE LOCATION = '" + KVTSqlQuote(Data.STORE) +
                    "' AND " + (mssql ? "dbo." : "") + "TRIM(TILLCODE) <> ''";
  Lookup look(*this);
  if (look.First("feature switches", kSqlFeature, {Text("20765")})) sql += " AND INACTIVE <> '1'";
  KVTSearchResult chosen;
  if (look.failed() ||
      !SearchWin(Handle(), 0, &chosen, "TILLCODE,TillCode,25,0,DESCRIPT, Description, 30,0",
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
  std::string text = code + " is not a valid till code.";
  if (static_cast<int>(code.size()) > MaxDeptCharacters())
    text += "  According to the configuration,\ntill codes can only be " +
            std::string(CFG_MAXDEPTCHARACTERS) + " characters.";
  if (!bLookupFailed) MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  SetFieldVar(IDC_IREF, "");
  KVTSetFieldFocus(IDC_IREF);
}

void PVpos1Dlg::ChangeQty(const char* quantity) {
  int row = SaleGrid().GetRowCount() - 1;
  if (row < 0) return;
  const std::string qty = quantity;
  auto requantify = [&](int r) {
    kvt::sale::Line l = GetSaleLine(r);
    l.quantity = qty;
    l.amount = kvt::sale::LineAmount(l.Quantity(), l.Price());
    PutSaleLine(r, l);
    return l;
  };
  if (GetSaleLine(row).IsTagAlong()) {
    // A tag-along goes with its item: both take the new quantity.
    requantify(row);
    AdjustTaxAmount(row);
    --row;
  }
  if (row >= 0) {
    kvt::sale::Line l = requantify(row);
    if (IsInventoryReference(l.reference) && (!l.qtyPricing.empty() || !l.mixNum.empty())) {
      AdjustLinePricing(l.reference.c_str(), l.qtyPricing.c_str(), l.mixNum.c_str());
      requantify(row);  // at the price the quantity now has
    }
  }
  TotalSaleItems(1);
  PoleDisplayPrint(0, "", "", "", "");
  DoAppToScr();
}

int PVpos1Dlg::CreateTagAlongItem(const char* /*reference*/, const char* tagAlongRef,
                                  const char* quantity, const char* refPrice,
                                  const char* tagAlongRate) {
  const double price = kvt::sale::TagAlongPrice(tagAlongRate, std::atof(refPrice));
  const std::string tagAlong = tagAlongRef;
  SetFieldVar(IDC_QTYORDERED, quantity);
  if (!DisplayItem(tagAlong.c_str())) {
    NewItem();
    if (!bLookupFailed)
      MessageBox("An error occurred creating tag along item!", "Error", MB_OK | MB_ICONSTOP);
    return 0;
  }
  if (Data.TILLCODE[0] != '\0') SetFieldVar(IDC_PRICE, Formatted(PRICE_FORMAT, price).c_str());
  double amount = kvt::sale::LineAmount(std::atof(Data.QTYORDERED), std::atof(Data.PRICE));
  SetFieldVar(IDC_ENTRYTOTAL, kvt::sale::AmountText(amount).c_str());
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
  std::string text = "(Customer Date of Birth is " + dob.substr(0, 2) + "/" + dob.substr(2, 2) +
                     "/" + dob.substr(4, 4) + ")";
  SetFieldVar(IDC_SALE_TEXT, text.c_str());
}

void PVpos1Dlg::ClearTable() {
  SaleGrid().ResetData();
}

// ---- Lines after entry -----------------------------------------------------------

namespace {
const char kSqlVoidQuantityFeature[] = "9333";
}  // namespace

void PVpos1Dlg::VoidItem() {
  const int row = SaleGrid().GetSelRow();
  if (row == KVT_NONE || row < 0) return;
  VoidTotals(row);
  TotalSaleItems(1);
  PoleDisplayPrint(row, "", "", "", "");
}

void PVpos1Dlg::VoidTotals(int row) {
  TDataTbl& g = SaleGrid();
  if (row < 0 || row >= g.GetRowCount()) return;
  Lookup look(*this);
  const bool voidQuantity =
      look.First("feature switches", kSqlFeature, {Text(kSqlVoidQuantityFeature)}).has_value();
  if (look.failed()) return;
  for (int r = row; r < g.GetRowCount(); ++r) {
    g.SetCell(COL_AMOUNT, r, "VOID");
    if (voidQuantity) g.SetCell(COL_QTY, r, "VOID");
    const kvt::sale::Line l = GetSaleLine(r);
    if (IsInventoryReference(l.reference) && (!l.qtyPricing.empty() || !l.mixNum.empty()))
      AdjustLinePricing(l.reference.c_str(), l.qtyPricing.c_str(), l.mixNum.c_str());
    // A line's tag-along, the next row, goes with it.
    if (l.tagAlong.empty() || l.IsTagAlong()) break;
  }
}

void PVpos1Dlg::TogglePrice() {
  TDataTbl& g = SaleGrid();
  const int last = g.GetRowCount() - 1;
  std::string ref, price;
  if (EnteringItem) {
    DoScrToApp();
    ref = Data.IREF;
    price = Data.PRICE;
  } else {
    if (last < 0 || g.GetCell(COL_TAGALONG, last) == "T") return;
    ref = g.GetCell(COL_REF, last);
    price = g.GetCell(COL_PRICE, last);
  }
  ref.erase(0, ref.find_first_not_of(' '));
  ref.erase(ref.find_last_not_of(' ') + 1);
  if (ref.empty() || static_cast<int>(ref.size()) > MaxDeptCharacters()) return;
  char newPrice[50] = "";
  FindTillCodePrice(ref.c_str(), Data.STORE, true, price.c_str(), newPrice);
  const double p = std::atof(newPrice);
  if (EnteringItem) {
    SetFieldVar(IDC_PRICE, newPrice);
    if (!bTOTAMT) {
      const double qty = Data.QTYORDERED[0] ? std::atof(Data.QTYORDERED) : 1;
      SetFieldVar(IDC_ENTRYTOTAL, kvt::sale::AmountText(kvt::sale::LineAmount(qty, p)).c_str());
    }
  } else {
    g.SetRedraw(false);
    g.SetCell(COL_PRICE, last, newPrice);
    const double qty = std::atof(g.GetCell(COL_QTY, last).c_str());
    g.SetCell(COL_AMOUNT, last, kvt::sale::AmountText(kvt::sale::LineAmount(qty, p)));
    g.SetRedraw(true);
  }
  if (!bTOTAMT) TotalSaleItems(1);
  PoleDisplayPrint(0, "", "", "", "");
  DoAppToScr();
}

void PVpos1Dlg::ReturnPreviousItem() {
  const int last = SaleGrid().GetRowCount() - 1;
  if (last < 0) return;
  kvt::sale::Line l = GetSaleLine(last);
  l.quantity = kvt::sale::ReturnedQuantity(l.quantity);
  if (!l.voided) l.amount = kvt::sale::LineAmount(l.Quantity(), l.Price());
  PutSaleLine(last, l);
  TotalSaleItems(1);
  PoleDisplayPrint(0, "", "", "", "");
  DoAppToScr();
}

namespace {
// A paid-on-account line: no item, no tax, quantity one.
void AddPaidOnAccountLine(PVpos1Dlg& screen, const char* description, const char* amount,
                          const char* discount) {
  PVpos1Data& d = screen.Data;
  for (char* field : {d.COST, d.SERIALNUM, d.TILLCODE, d.MIXNUM, d.TAGALONG, d.NONTAXCAT, d.INVREF,
                      d.QTYPRICING, d.TAGALGRATE, d.PROMPT, d.PRICE})
    field[0] = '\0';
  Put(d.IREF, POAREF);
  Put(d.IDESCR, description);
  Put(d.CATEGORY, POACATEGORY);
  Put(d.TAXAUTH, CFG_SALESTAXAUTH);
  Put(d.QTYORDERED, "1");
  Put(d.TAXABLE, "N");
  Put(d.FOODSTAMPS, "N");
  Put(d.TAXAMT, "0.00");
  Put(d.DISCOUNT, discount);
  KVTsprintf(d.ENTRYTOTAL, "%.2f", std::atof(amount));
  screen.DoAppToScr();
  if (!screen.VerifyPOS1File) screen.CreateLineTableModel();
  screen.VerifyPOS1File->AddItem();
}
}  // namespace

void PVpos1Dlg::CreatePOAItem(const char* paymentAmount, const char* discount) {
  AddPaidOnAccountLine(*this, POADESCR, paymentAmount, discount ? discount : "");
}

void PVpos1Dlg::CreatePOADiscountItem(const char* discount) {
  AddPaidOnAccountLine(*this, "Discount on Payments", discount, "");
}

void PVpos1Dlg::ViewPriceCheck() {
  PViteminfDlg check(Handle());
  KVTsprintf(check.szCustRef, "%s", szCustRef);
  check.Execute();
}

void PVpos1Dlg::ViewCustomerBalance() {
  // The customer balance window belongs to the payment side; F8 there asks
  // for a payment on account by the customer shown.
  const int kPayOnAccount = 8;
  std::unique_ptr<PVDialog> window(KVTNewDialog("PVcustinfDlg", Handle(), "Customer Balance"));
  if (window->Execute() != kPayOnAccount) return;
  KVTsprintf(szCustRef, "%s", window->GetFieldText(101).c_str());
  PymtOnAcct();
}
