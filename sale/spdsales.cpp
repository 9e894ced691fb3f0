// The recall screen of parked sales.
#include "sale/spdsales.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "sale/suspended.h"
#include "shell/dbutil.h"
#include "shell/screens.h"

namespace {

KVTFormDecl MakeForm() {
  using D = PVspdsalesData;
  using S = PVspdsalesDlg;
  KVTFormDecl f("PVspdsalesDlg", "Suspended Sales", 100, 30);
  f.Edit(S::IDC_ORDERNUM, "Sale # :", 12, 1, 20, KVT_BIND(D, ORDERNUM)).Protected().NoTabStop();
  f.Edit(S::IDC_INVOICELNK, "Link :", 50, 1, 20, KVT_BIND(D, INVOICELNK))
      .Protected()
      .Hidden()
      .NoTabStop();
  KVTFieldDecl& sales = f.Grid(S::IDC_TRANSTBL, 1, 3, 8);
  sales.Column("Employee", 20, 50);
  sales.Column("Sale #", 12, 20);
  sales.Column("Total", 12, 12).Right();
  sales.Column("Cust Ref", 8, 8).Hidden();
  sales.Column("Customer Name", 32, 32).Hidden();
  sales.Column("RECNO", 16, 16).Hidden();
  sales.Column("Invoice Link", 20, 20).Hidden();
  KVTFieldDecl& items = f.Grid(S::IDC_ITEMTBL, 1, 13, 10);
  for (auto [title, width] : {std::pair{"Reference", 8},
                              {"Description", 32},
                              {"Quantity", 12},
                              {"Price", 12},
                              {"Amount", 12},
                              {"FS", 5},
                              {"Tax", 8}})
    items.Column(title, std::max<int>(width, std::strlen(title)), width);
  f.Button(IDOK, "&OK", 30, 27);
  f.Button(IDCANCEL, "&Cancel", 50, 27);
  return f;
}

kvt::sale::TillShift Shift(const PVspdsalesDlg& s) {
  return {s.szStore, s.szShiftDate, s.szTillRef, s.szShift};
}

}  // namespace

const KVTFormDecl& PVspdsalesDlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVspdsalesDlg::PVspdsalesDlg(HWND parent)
    : PVDialog(parent, FormDecl()), model_(std::make_unique<SPDSALESA>(this)) {
  SetTransferBuffer(&Data);
  VerifyPOSResume = model_.get();
  OnGridClick(IDC_TRANSTBL, [this](int row) { ClickDatatableTrans(row); });
}

PVspdsalesDlg::~PVspdsalesDlg() = default;

void PVspdsalesDlg::SetupWindow() {
  Grid(IDC_ITEMTBL)->SetReadOnly(true);
  if (!VerifyPOSResume->LoadTableTrans()) {
    // Nothing to recall: the screen ends as if cancelled.
    PostMessage(WM_COMMAND, IDCANCEL);
    return;
  }
  Grid(IDC_TRANSTBL)->SelRow(0);
  Grid(IDC_TRANSTBL)->SetCurCell(0, 0);
  DTSelChangeTrans(0);
  KVTSetFieldFocus(IDC_TRANSTBL);
}

void PVspdsalesDlg::ClickDatatableTrans(int row) {
  DTSelChangeTrans(row);
}

void PVspdsalesDlg::DTSelChangeTrans(int row) {
  VerifyPOSResume->DisplayOrderItems(row);
}

void PVspdsalesDlg::CmOk() {
  // The row the cursor was moved to by keys is the one chosen.
  const int row = Grid(IDC_TRANSTBL)->GetCurRow();
  if (row >= 0 && Grid(IDC_TRANSTBL)->GetCell(COL_LINK, row) != Data.INVOICELNK)
    DTSelChangeTrans(row);
  DoScrToApp();
  KVTsprintf(szTransNum, sizeof szTransNum, "%s", Data.ORDERNUM);
  KVTsprintf(szInvoiceLnk, sizeof szInvoiceLnk, "%s", Data.INVOICELNK);
  CloseWindow(IDOK);
}

void PVspdsalesDlg::CmCancel() {
  szTransNum[0] = '\0';
  szInvoiceLnk[0] = '\0';
  CloseWindow(IDCANCEL);
}

// ---- The model ------------------------------------------------------------------------

bool SPDSALESA::LoadTableTrans() {
  PVspdsalesDlg& s = *screen_;
  TDataTbl& g = *s.Grid(PVspdsalesDlg::IDC_TRANSTBL);
  g.ResetData();
  std::vector<kvt::sale::ParkedSale> sales;
  std::string error;
  if (!kvt::sale::ParkedSales(Shift(s), &sales, &error)) {
    KVTShowReadError(s.Handle(), "The suspended sales", error);
    return false;
  }
  if (sales.empty()) {
    s.MessageBox("No suspended sales exist.", "Point of Sale", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  for (const kvt::sale::ParkedSale& p : sales) {
    const int row = g.InsertRow();
    g.SetCell(PVspdsalesDlg::COL_EMPLOYEE, row, p.employee);
    g.SetCell(PVspdsalesDlg::COL_SALENUM, row, p.number);
    g.SetCell(PVspdsalesDlg::COL_TOTAL, row, p.total);
    g.SetCell(PVspdsalesDlg::COL_RECNO, row, p.recno);
    g.SetCell(PVspdsalesDlg::COL_LINK, row, p.link);
  }
  return true;
}

void SPDSALESA::ClearTableItem() {
  screen_->Grid(PVspdsalesDlg::IDC_ITEMTBL)->ResetData();
}

void SPDSALESA::LoadTableItem() {
  PVspdsalesDlg& s = *screen_;
  ClearTableItem();
  std::vector<kvt::sale::ParkedItem> items;
  std::string error;
  if (!kvt::sale::ParkedItems(s.Data.INVOICELNK, &items, &error)) {
    KVTShowReadError(s.Handle(), "The suspended sale's items", error);
    return;
  }
  TDataTbl& g = *s.Grid(PVspdsalesDlg::IDC_ITEMTBL);
  for (const kvt::sale::ParkedItem& i : items) {
    const int row = g.InsertRow();
    int col = 0;
    for (const std::string* v :
         {&i.reference, &i.description, &i.quantity, &i.price, &i.amount, &i.fs, &i.tax})
      g.SetCell(col++, row, *v);
  }
}

void SPDSALESA::DisplayOrderItems(int row) {
  PVspdsalesDlg& s = *screen_;
  TDataTbl& g = *s.Grid(PVspdsalesDlg::IDC_TRANSTBL);
  if (row < 0 || row >= g.GetRowCount()) return;
  s.SetFieldVar(PVspdsalesDlg::IDC_ORDERNUM, g.GetCell(PVspdsalesDlg::COL_SALENUM, row).c_str());
  s.SetFieldVar(PVspdsalesDlg::IDC_INVOICELNK, g.GetCell(PVspdsalesDlg::COL_LINK, row).c_str());
  s.DoScrToApp();
  LoadTableItem();
}

KVT_REGISTER_SCREEN(PVspdsalesDlg);
