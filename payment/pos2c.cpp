// The change-tax popup and the payment screen's tax operations over TMPPOS3.
#include "payment/pos2c.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "payment/fieldtext.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace sql = kvt::sql;

namespace {

using kvt::payment::Trimmed;

const char kSqlRunCodes[] =
    "SELECT TAXCODE,TAXRATE FROM TMPPOS3 WHERE RUNID = ? GROUP BY TAXCODE,TAXRATE";
const char kSqlTaxCode[] = "SELECT TAXCODE, TAXRATE, AMOUNT FROM KVTAR19 WHERE TAXCODE = ?";
const char kSqlCodeInRun[] = "SELECT RECNO FROM TMPPOS3 WHERE RUNID = ? AND TAXCODE = ?";
const char kSqlInsertCode[] =
    "INSERT INTO TMPPOS3 (RUNID,TAXCODE,TAXRATE,MAXTAXAMT,RECNO) VALUES (?,?,?,?,?)";
const char kSqlInsertRow[] =
    "INSERT INTO TMPPOS3 (RUNID,TAXCODE,TAXRATE,MAXTAXAMT,TAXAMT,ITEMLNK,RECNO) VALUES "
    "(?,?,?,?,?,?,?)";
const char kSqlDeleteRun[] = "DELETE FROM TMPPOS3 WHERE RUNID = ?";
const char kSqlDeleteCode[] = "DELETE FROM TMPPOS3 WHERE RUNID = ? AND TAXCODE = ?";
const char kSqlDescriptions[] = "SELECT TAXCODE,DESCRIPT FROM KVTAR19 WHERE TAXCODE IN ('%s')";
const char kSqlRunRows[] =
    "SELECT TAXCODE,TAXRATE,MAXTAXAMT,TAXAMT,ITEMLNK,RECNO FROM TMPPOS3 WHERE RUNID = ?";

// A new record number of TMPPOS3 as text, or "" (with *error) when none
// could be had.
std::string NextTmpRecno(std::string* error) {
  double recno = NextNum(1, "TMPPOS3", 100);
  if (recno <= 0) {
    *error = KVTLastSqlError();
    return "";
  }
  char buf[40];
  KVTsprintf(buf, "%.0f", recno);
  return buf;
}

// `text`, then the database's message on its own.
std::string WithReason(const char* text, const std::string& error) {
  return std::string(text) + "\n\n" + error;
}

const char kCannotRead[] = "The taxes of this sale could not be read:";

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVchgtaxDlg", "Change Tax", 46, 16);
  f.Edit(PVchgtaxDlg::IDC_RUNID, "Run : ", 8, 0, 12, KVT_BIND(PVchgtaxData, RUNID))
      .Hidden()
      .NoTabStop();
  KVTFieldDecl& grid = f.Grid(PVchgtaxDlg::IDC_DATATBL1, 1, 1, 8);
  grid.Column("Code", 8).Editable();
  grid.Column("Rate", 8).Right();
  grid.Column("Max Tax Amt", 12).Right();
  grid.Column("Recno", 16).Hidden();
  grid.Column("Orig Code", 8).Hidden();
  f.Help(PVchgtaxDlg::IDC_KEYS1, "INS - Add a tax code", 1, 11, 30);
  f.Help(PVchgtaxDlg::IDC_KEYS2, "DEL - Delete a tax code", 1, 12, 30);
  f.Help(PVchgtaxDlg::IDC_KEYS3, "F4 - Remove all taxes", 1, 13, 30);
  f.Button(IDOK, "&OK", 12, 14);
  f.Button(IDCANCEL, "&Cancel", 24, 14);
  return f;
}

}  // namespace

// ---- CHGTAXA -----------------------------------------------------------------

bool CHGTAXA::LoadTable() {
  PVchgtaxDlg& d = *ParentDlg;
  TDataTbl& g = *d.DataTblIDC_DATATBL1;
  g.ResetData();
  d.rowCodes_.clear();
  sql::Result run = sql::Run(kSqlRunCodes, {sql::Text(d.szChgTaxRunId)});
  if (!run.ok()) {
    d.MessageBox(WithReason(kCannotRead, run.error()).c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  std::vector<sql::Row> rows = run.rows();
  std::stable_sort(rows.begin(), rows.end(), [](const sql::Row& a, const sql::Row& b) {
    return a["TAXCODE"] < b["TAXCODE"];
  });
  for (const sql::Row& r : rows) {
    int row = g.InsertRow();
    g.SetCell(PVchgtaxDlg::COL_CODE, row, r["TAXCODE"]);
    g.SetCell(PVchgtaxDlg::COL_RATE, row, r["TAXRATE"]);
    g.SetCell(PVchgtaxDlg::COL_ORIGCODE, row, r["TAXCODE"]);
    d.rowCodes_.push_back(r["TAXCODE"]);
  }
  return true;
}

// ---- PVchgtaxDlg ---------------------------------------------------------------

const KVTFormDecl& PVchgtaxDlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVchgtaxDlg::PVchgtaxDlg(HWND parent, const char* runId, const char* pftc, const char* pftcRemoved)
    : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(&VerifyChgTax);
  KVTsprintf(szChgTaxRunId, "%s", runId ? runId : "");
  KVTsprintf(szPFTC, "%s", pftc ? pftc : "");
  KVTsprintf(szPFTCRemoved, "%s", pftcRemoved ? pftcRemoved : "0");
}

void PVchgtaxDlg::SetupWindow() {
  PVDialog::SetupWindow();
  DataTblIDC_DATATBL1 = Grid(IDC_DATATBL1);
  DataTblIDC_DATATBL1->SetReadOnly(false);
  InitForm();
}

void PVchgtaxDlg::InitForm() {
  SetFieldVar(IDC_RUNID, szChgTaxRunId);
  iRemoveAllTaxes = 0;
  iTaxesChanged = 0;
  EnableField(IDOK, false);
  VerifyChgTax.LoadTable();
  KVTSetFieldFocus(IDC_DATATBL1);
  if (DataTblIDC_DATATBL1->GetRowCount() > 0) DataTblIDC_DATATBL1->SetCurCell(COL_CODE, 0);
}

std::string PVchgtaxDlg::RowCode(int row) const {
  if (row < 0 || row >= static_cast<int>(rowCodes_.size())) return "";
  return rowCodes_[static_cast<std::size_t>(row)];
}

bool PVchgtaxDlg::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN || GetFocusField() != IDC_DATATBL1 || GetKeyState(VK_MENU) < 0)
    return false;
  TDataTbl& g = *DataTblIDC_DATATBL1;
  int row = g.GetCurRow();
  int col = g.GetCurCol();
  bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (msg.wParam) {
    case VK_ESCAPE:
      CmCancel();
      return true;
    case VK_F4:
      RemoveAllTaxes();
      return true;
    case VK_UP:
    case VK_LEFT:
      // The grid moves only once the cell holds an accepted code.
      return !AcceptCell(col, row);
    case VK_TAB:
      if (shift) return false;
      [[fallthrough]];
    case VK_DOWN:
    case VK_RETURN:
      if (!AcceptCell(col, row)) return true;
      if (row >= g.GetRowCount() - 1) {
        CmOk();
        return true;
      }
      if (msg.wParam == VK_DOWN) return false;
      UserKey(KVTKey{VK_DOWN});  // the next row, as Down goes there
      return true;
    case VK_DELETE:
      DeleteRow(col, row);
      return true;
    case VK_INSERT:
      InsertRow();
      return true;
    default:
      return false;
  }
}

bool PVchgtaxDlg::AcceptCell(int col, int row) {
  if (row < 0) return true;
  switch (LoadTaxCode(col, row, "")) {
    case sql::Found::Yes:
      return true;
    case sql::Found::No:
      return SearchTaxCode(col, row);
    case sql::Found::Failed:  // said so; the cell stays for another try
      break;
  }
  return false;
}

sql::Found PVchgtaxDlg::LoadTaxCode(int /*col*/, int row, const char* code) {
  TDataTbl& g = *DataTblIDC_DATATBL1;
  if (row < 0 || row >= g.GetRowCount()) return sql::Found::No;
  std::string text = Trimmed(code && *code ? code : g.GetCell(COL_CODE, row));
  std::string current = RowCode(row);
  if (text.empty() || text == current) {
    g.SetCell(COL_CODE, row, current);
    return sql::Found::Yes;
  }
  sql::Result tax = sql::Run(kSqlTaxCode, {sql::Text(text)});
  if (tax.found() == sql::Found::Failed) {
    std::string message = WithReason("The tax codes could not be read:", tax.error());
    MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  if (tax.found() != sql::Found::Yes) return tax.found();
  const sql::Row& r = tax.first();
  g.SetCell(COL_CODE, row, r["TAXCODE"]);
  g.SetCell(COL_RATE, row, r["TAXRATE"]);
  g.SetCell(COL_MAXTAX, row, r["AMOUNT"]);
  rowCodes_[static_cast<std::size_t>(row)] = r["TAXCODE"];
  SetChanged();
  return sql::Found::Yes;
}

bool PVchgtaxDlg::SearchTaxCode(int col, int row) {
  TDataTbl& g = *DataTblIDC_DATATBL1;
  KVTSearchResult chosen;
  std::string start = Trimmed(g.GetCell(COL_CODE, row));
  if (!KVTSimpleSearch(Handle(), "TAXSRCH", "TAXFMT", &chosen, "", "", nullptr, start.c_str()))
    return false;
  std::string code = chosen.Value(0);
  return !code.empty() && LoadTaxCode(col, row, code.c_str()) == sql::Found::Yes;
}

void PVchgtaxDlg::InsertRow() {
  TDataTbl& g = *DataTblIDC_DATATBL1;
  int row = g.InsertRow();
  rowCodes_.emplace_back();
  g.SetCurCell(COL_CODE, row);
  SetChanged();
}

void PVchgtaxDlg::DeleteRow(int /*col*/, int row) {
  TDataTbl& g = *DataTblIDC_DATATBL1;
  if (row < 0 || row >= g.GetRowCount()) return;
  std::string code = RowCode(row);
  sql::Result deleted = DeleteTaxCode(szChgTaxRunId, code.c_str());
  if (!deleted.ok()) {
    std::string message =
        WithReason("Error occurred deleting TMPPOS3 record.\nThe taxes have not been changed!",
                   deleted.error());
    MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  // The sale remembers that this code went, even if the popup is cancelled.
  if (!code.empty() && code == szPFTC) KVTsprintf(szPFTCRemoved, "1");
  for (int c : {COL_CODE, COL_RATE, COL_MAXTAX}) g.SetCell(c, row, "");
  rowCodes_[static_cast<std::size_t>(row)].clear();
  SetChanged();
}

void PVchgtaxDlg::RemoveAllTaxes() {
  int answer = MessageBox("All taxes will be removed - Are you sure?", PROGRAM_NAME,
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  iRemoveAllTaxes = answer == IDYES ? 1 : 0;
  CloseWindow(IDCANCEL);
}

void PVchgtaxDlg::SetChanged() {
  iTaxesChanged = 1;
  EnableField(IDOK, true);
}

bool PVchgtaxDlg::SaveTmpTaxes(const char* runId) {
  TDataTbl& g = *DataTblIDC_DATATBL1;
  const char kNotWritten[] =
      "Error occurred inserting TMPPOS3 record.\nThe taxes have not been changed!";
  auto fail = [this](const char* text, const std::string& why) {
    MessageBox(WithReason(text, why).c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  };
  sql::Transaction unit;  // every code added, or none
  if (!unit.ok()) return fail(kNotWritten, unit.error());
  sql::Query inRun(kSqlCodeInRun);
  for (int row = 0; row < g.GetRowCount(); ++row) {
    std::string code = RowCode(row);
    if (code.empty()) continue;
    sql::Result there = inRun.Run({sql::Text(runId), sql::Text(code)});
    if (!there.ok()) return fail(kCannotRead, there.error());
    if (there.found() == sql::Found::Yes) continue;
    std::string error;
    std::string recno = NextTmpRecno(&error);
    if (recno.empty()) return fail(kNotWritten, error);
    sql::Result added = InsertTMPPOS3(runId, code.c_str(), g.GetCell(COL_RATE, row).c_str(),
                                      g.GetCell(COL_MAXTAX, row).c_str(), recno.c_str());
    if (!added.ok()) return fail(kNotWritten, added.error());
  }
  return unit.Commit() || fail(kNotWritten, unit.error());
}

sql::Result PVchgtaxDlg::InsertTMPPOS3(const char* runId, const char* code, const char* rate,
                                       const char* maxTax, const char* recno) {
  return sql::Run(kSqlInsertCode, {sql::Text(runId), sql::Text(code), sql::Text(rate),
                                   sql::Text(maxTax), sql::Number(recno)});
}

sql::Result PVchgtaxDlg::DeleteTMPPOS3(const char* runId) {
  return sql::Run(kSqlDeleteRun, {sql::Text(runId)});
}

sql::Result PVchgtaxDlg::DeleteTaxCode(const char* runId, const char* code) {
  return sql::Run(kSqlDeleteCode, {sql::Text(runId), sql::Text(code)});
}

void PVchgtaxDlg::CmOk() {
  SaveTmpTaxes(szChgTaxRunId);
  CloseWindow(IDOK);
}

void PVchgtaxDlg::CmCancel() {
  // Changes made are kept: the codes deleted are gone from the run already.
  if (iTaxesChanged) {
    CmOk();
    return;
  }
  CloseWindow(IDCANCEL);
}

// ---- KVTPaymentTaxes -------------------------------------------------------------

KVTPaymentTaxes::KVTPaymentTaxes(PVpos1Dlg& sale, KVTScreen& owner) : sale_(sale), owner_(owner) {}

void KVTPaymentTaxes::ChangeTax() {
  TDataTbl& lines = sale_.SaleGrid();
  bool taxable = false;
  for (int row = 0; row < lines.GetRowCount(); ++row)
    taxable = taxable || lines.GetCell(COL_TAXABLE, row) == "Y";
  if (!taxable) {
    owner_.MessageBox("No taxable items on this sale.", PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!SaveTmpTaxes()) return;

  PVchgtaxDlg popup(owner_.Handle(), szChgTaxRunId, CFG_PFTC, sale_.szProvinceFarmSalesTaxRemoved);
  popup.Execute();
  KVTsprintf(sale_.szProvinceFarmSalesTaxRemoved, "%s", popup.szPFTCRemoved);
  if (popup.iRemoveAllTaxes) RemoveAllTaxes();
  if (popup.iTaxesChanged) LoadTaxTable(szChgTaxRunId);
  sql::Result dropped = DeleteTMPPOS3(szChgTaxRunId);
  if (!dropped.ok())
    owner_.MessageBox(
        WithReason("Error occurred deleting TMPPOS3 record.", dropped.error()).c_str(), "Error",
        MB_OK | MB_ICONSTOP);
}

void KVTPaymentTaxes::RemoveAllTaxes() {
  TDataTbl& lines = sale_.SaleGrid();
  bool byCategory = std::strcmp(CFG_USESALESCATEGORYTAXAUTH, "T") == 0;
  if (byCategory) {
    bool taxable = false;
    for (int row = 0; row < lines.GetRowCount(); ++row)
      taxable = taxable || lines.GetCell(COL_TAXABLE, row) == "Y";
    if (!taxable) return;
  }
  for (int row = 0; row < lines.GetRowCount(); ++row) lines.SetCell(COL_TAXABLE, row, "N");
  if (byCategory) sale_.AdjustTaxCodes(0, true);
  sale_.TotalSaleItems(1);
  if (RedisplayTotals) RedisplayTotals();
}

void KVTPaymentTaxes::LoadTaxTable(const char* runId) {
  sql::Result run = sql::Run(kSqlRunRows, {sql::Text(runId)});
  if (!run.ok()) {
    owner_.MessageBox(WithReason(kCannotRead, run.error()).c_str(), "Error", MB_OK | MB_ICONSTOP);
    return;
  }
  // In the order the rows were written, so each line's rows stay together.
  std::vector<sql::Row> rows = run.rows();
  std::stable_sort(rows.begin(), rows.end(), [](const sql::Row& a, const sql::Row& b) {
    return a.Num("RECNO") < b.Num("RECNO");
  });
  sale_.ClearTaxTable();
  TDataTbl& tax = sale_.TaxGrid();
  TDataTbl& lines = sale_.SaleGrid();
  auto add = [&tax](const sql::Row& r, const std::string& amount, const std::string& link) {
    int t = tax.InsertRow();
    tax.SetCell(TAXCOL_CODE, t, r["TAXCODE"]);
    tax.SetCell(TAXCOL_RATE, t, r["TAXRATE"]);
    tax.SetCell(TAXCOL_MAXAMT, t, r["MAXTAXAMT"]);
    tax.SetCell(TAXCOL_AMOUNT, t, amount);
    tax.SetCell(TAXCOL_ITEMLINK, t, link);
  };
  tax.SetRedraw(false);
  for (const sql::Row& r : rows) {
    std::string link = Trimmed(r["ITEMLNK"]);
    if (!link.empty()) {
      add(r, r["TAXAMT"], link);
      continue;
    }
    // A code added in the popup belongs to no line yet: every line gets it,
    // and the totals drop it again from lines that are not taxable.
    for (int row = 0; row < lines.GetRowCount(); ++row) add(r, "", lines.GetCell(COL_RECNO, row));
  }
  tax.SetRedraw(true);
  sale_.TotalSaleItems(1);
  if (RedisplayTotals) RedisplayTotals();
  sale_.DoAppToScr();
}

bool KVTPaymentTaxes::SaveTmpTaxes() {
  auto fail = [this](const std::string& why) {
    owner_.MessageBox(
        WithReason("Error occurred inserting TMPPOS3 record.\nThe taxes can not be changed!", why)
            .c_str(),
        "Error", MB_OK | MB_ICONSTOP);
    return false;
  };
  sql::Transaction unit;  // the copy is whole or not there at all
  if (!unit.ok()) return fail(unit.error());
  std::string error;
  std::string runId = NextTmpRecno(&error);
  if (runId.empty()) return fail(error);
  sql::Result cleared = DeleteTMPPOS3(runId.c_str());
  if (!cleared.ok()) return fail(cleared.error());
  TDataTbl& tax = sale_.TaxGrid();
  for (int t = 0; t < tax.GetRowCount(); ++t) {
    std::string recno = NextTmpRecno(&error);
    if (recno.empty()) return fail(error);
    sql::Result added = InsertTMPPOS3(
        runId.c_str(), tax.GetCell(TAXCOL_CODE, t).c_str(), tax.GetCell(TAXCOL_RATE, t).c_str(),
        tax.GetCell(TAXCOL_MAXAMT, t).c_str(), tax.GetCell(TAXCOL_AMOUNT, t).c_str(),
        tax.GetCell(TAXCOL_ITEMLINK, t).c_str(), recno.c_str());
    if (!added.ok()) return fail(added.error());
  }
  if (!unit.Commit()) return fail(unit.error());
  KVTsprintf(szChgTaxRunId, "%s", runId.c_str());
  return true;
}

bool KVTPaymentTaxes::Detail(std::vector<kvt::payment::TaxDetailRow>* rows, std::string* error) {
  rows->clear();
  TDataTbl& tax = sale_.TaxGrid();
  kvt::payment::CodeTexts amounts;
  std::vector<sql::Value> codes;
  std::string marks;
  for (int t = 0; t < tax.GetRowCount(); ++t) {
    const std::string code = tax.GetCell(TAXCOL_CODE, t);
    amounts.emplace_back(code, tax.GetCell(TAXCOL_AMOUNT, t));
    if (std::none_of(codes.begin(), codes.end(),
                     [&code](const sql::Value& v) { return v.text == code; })) {
      codes.push_back(sql::Text(code));
      marks += marks.empty() ? "?" : ",?";
    }
  }
  if (codes.empty()) return true;
  std::string text = kSqlDescriptions;
  text.replace(text.find("'%s'"), 4, marks);  // the list of codes: one "?" a code
  sql::Result found = sql::Run(text, codes);
  if (!found.ok()) {
    *error = found.error();
    return false;
  }
  kvt::payment::CodeTexts names;
  for (const sql::Row& r : found.rows()) names.emplace_back(r["TAXCODE"], r["DESCRIPT"]);
  *rows = kvt::payment::TaxDetail(amounts, names);
  return true;
}

sql::Result KVTPaymentTaxes::InsertTMPPOS3(const char* runId, const char* code, const char* rate,
                                           const char* maxTax, const char* taxAmt,
                                           const char* itemLink, const char* recno) {
  return sql::Run(kSqlInsertRow,
                  {sql::Text(runId), sql::Text(code), sql::Text(rate), sql::Text(maxTax),
                   sql::Text(taxAmt), sql::Text(itemLink), sql::Number(recno)});
}

sql::Result KVTPaymentTaxes::DeleteTMPPOS3(const char* runId) {
  return sql::Run(kSqlDeleteRun, {sql::Text(runId)});
}
