// Changing the sale's taxes from the payment screen: the change-tax popup
// (PVchgtaxDlg with its checker CHGTAXA) over the work table TMPPOS3, and the
// payment screen's tax operations (KVTPaymentTaxes), which the payment
// screen's members of the same names call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "payment/complete.h"
#include "platform/forms/forms.h"
#include "platform/sql/query.h"

class PVpos1Dlg;
class PVchgtaxDlg;

struct PVchgtaxData {
  char RUNID[81];
};

// The popup's field checker and the loader of its grid.
class CHGTAXA : public KVTFieldChecker {
 public:
  explicit CHGTAXA(PVchgtaxDlg* parent) : ParentDlg(parent) {}
  int VerifyFields(int /*fieldId*/) override { return 0; }
  // One grid row per distinct code and rate of the run, by code. False when
  // the run could not be read (the grid is then empty).
  bool LoadTable();

 private:
  PVchgtaxDlg* ParentDlg;
};

// The change-tax popup: the run's tax codes, one per row. Typing a code over
// a row adds that code; Ins adds a row, Del removes the row's code from the
// run at once, F4 asks to remove every tax. Codes added are written to the
// run by OK (and by Esc once anything changed), without an item link, so the
// payment screen gives them to every line.
class PVchgtaxDlg : public PVDialog {
 public:
  enum : int {
    IDC_RUNID = 101,
    IDC_DATATBL1 = 106,
    IDC_KEYS1 = 111,
    IDC_KEYS2 = 184,
    IDC_KEYS3 = 185
  };
  enum : int { COL_CODE = 0, COL_RATE = 1, COL_MAXTAX = 2, COL_RECNO = 3, COL_ORIGCODE = 4 };

  // `runId`: the TMPPOS3 run to work on; `pftc`: the tax code whose removal
  // the sale remembers; `pftcRemoved`: "1" when it was removed before.
  PVchgtaxDlg(HWND parent, const char* runId, const char* pftc, const char* pftcRemoved);
  static const KVTFormDecl& FormDecl();

  PVchgtaxData Data{};
  char szChgTaxRunId[50] = "";
  int iRemoveAllTaxes = 0;  // the cashier asked to remove every tax
  int iTaxesChanged = 0;    // a code was added or deleted
  char szPFTC[50] = "";
  char szPFTCRemoved[50] = "0";
  CHGTAXA VerifyChgTax{this};
  TDataTbl* DataTblIDC_DATATBL1 = nullptr;

  // Run id into RUNID, flags cleared, OK disabled, grid loaded, cursor on
  // its first cell.
  void InitForm();
  // Writes the grid's codes that are not in the run yet, all or none; false
  // (after saying so, with the database's message) when they could not be.
  bool SaveTmpTaxes(const char* runId);
  kvt::sql::Result InsertTMPPOS3(const char* runId, const char* code, const char* rate,
                                 const char* maxTax, const char* recno);
  kvt::sql::Result DeleteTMPPOS3(const char* runId);
  kvt::sql::Result DeleteTaxCode(const char* runId, const char* code);
  // Accepts `code` (or, when empty, the text typed into the cell) for row
  // `row`: Yes when it is the row's code already, or empty, or a tax code
  // (whose rate and cap then fill the row); No for an unknown code; Failed
  // (after saying so) when the tax codes could not be read.
  kvt::sql::Found LoadTaxCode(int col, int row, const char* code);
  // Picks a tax code from the pick list, starting at the cell's text; true
  // when one was chosen and accepted.
  bool SearchTaxCode(int col, int row);
  void InsertRow();
  void DeleteRow(int col, int row);
  // Asks whether every tax is to be removed, remembers the answer, closes.
  void RemoveAllTaxes();
  void SetChanged();
  // The code row `row` holds as accepted ("" for none).
  std::string RowCode(int row) const;

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;
  void CmOk() override;
  void CmCancel() override;

 private:
  friend class CHGTAXA;
  // Typing goes straight into the cell, so the code each row holds as
  // accepted is kept here; a code that is refused never reaches the run.
  std::vector<std::string> rowCodes_;
  bool AcceptCell(int col, int row);
};

// The payment screen's side of the sale's taxes, working on the sale
// screen's grids. `owner` is the payment screen: it owns the message boxes
// and the popup.
class KVTPaymentTaxes {
 public:
  KVTPaymentTaxes(PVpos1Dlg& sale, KVTScreen& owner);

  // The run of TMPPOS3 rows while the popup is open.
  char szChgTaxRunId[50] = "";
  // Shows the payment totals again after the sale's taxes changed.
  std::function<void()> RedisplayTotals;

  // The change-tax key: copies the tax grid to a run of TMPPOS3, runs the
  // popup on it, applies what it did, and deletes the run.
  void ChangeTax();
  // Makes every line non-taxable and totals the sale again (with sales-
  // category authorities, only when some line is taxable). Never asks.
  void RemoveAllTaxes();
  // Rebuilds the tax grid from run `runId`: a code without an item link
  // goes to every line. The grid is kept when the run cannot be read (and
  // the cashier is told).
  void LoadTaxTable(const char* runId);
  // Copies the tax grid to a new run in one transaction and keeps its id in
  // szChgTaxRunId; false (after saying so, with nothing left in TMPPOS3)
  // when a row could not be written.
  bool SaveTmpTaxes();
  kvt::sql::Result InsertTMPPOS3(const char* runId, const char* code, const char* rate,
                                 const char* maxTax, const char* taxAmt, const char* itemLink,
                                 const char* recno);
  kvt::sql::Result DeleteTMPPOS3(const char* runId);
  // The payment panel's tax detail of the tax grid as it stands, with the
  // codes' descriptions read in one look-up (no work rows: the sale holds
  // its taxes). False with the database's message when the look-up failed.
  bool Detail(std::vector<kvt::payment::TaxDetailRow>* rows, std::string* error);

 private:
  PVpos1Dlg& sale_;
  KVTScreen& owner_;
};
