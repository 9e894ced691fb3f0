// Parked sales on the sale screen: the recall (F6), the voids before a
// close-out and the count of untransferred sales.
#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "sale/pos1.h"
#include "sale/pos1a.h"
#include "sale/spdsales.h"
#include "sale/suspended.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

constexpr char kLoginRelay[] = "KVTLoginRelay";

// A window of the host's that outlives the sale window: a command posted to
// it runs the login on the host's window.
HWND LoginRelay(HWND host) {
  static HWND relay = nullptr;
  if (IsWindow(relay) && GetParent(relay) == host && relay->className == kLoginRelay) return relay;
  relay = CreateKVTWindow(kLoginRelay, "", host, [](HWND self, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_COMMAND) {
      std::unique_ptr<PVDialog> login(KVTNewDialog("PVloginDlg", GetParent(self), PROGRAM_NAME));
      login->SetCaption(PROGRAM_NAME);
      login->Execute();
    }
    return LRESULT{0};
  });
  return relay;
}

kvt::sale::TillShift ShiftOf(const PVpos1Data& d) {
  return {d.STORE, d.SHIFTDATE, d.TILLREF, d.SHIFT};
}

}  // namespace

void PVpos1Dlg::ViewSuspendedItems() {
  DoScrToApp();
  PVspdsalesDlg recall(Handle());
  KVTsprintf(recall.szTillRef, sizeof recall.szTillRef, "%s", Data.TILLREF);
  KVTsprintf(recall.szShift, sizeof recall.szShift, "%s", Data.SHIFT);
  KVTsprintf(recall.szStore, sizeof recall.szStore, "%s", Data.STORE);
  KVTsprintf(recall.szShiftDate, sizeof recall.szShiftDate, "%s", Data.SHIFTDATE);
  recall.Execute();
  KVTsprintf(Data.INVOICENUM, sizeof Data.INVOICENUM, "%s", recall.szTransNum);
  KVTsprintf(Data.INVOICELNK, sizeof Data.INVOICELNK, "%s", recall.szInvoiceLnk);
  TRIM(Data.INVOICENUM);
  TRIM(Data.INVOICELNK);
  if (!Data.INVOICELNK[0]) {
    NewOrder();
    return;
  }
  DoAppToScr();
  VerifyPOS1File->LoadOrder();
  EnterItems();
}

bool PVpos1Dlg::CheckForSuspendedSales() {
  DoScrToApp();
  std::vector<kvt::sale::ParkedSale> parked;
  std::string error;
  if (!kvt::sale::SalesToVoid(ShiftOf(Data), &parked, &error)) {
    KVTShowReadError(Handle(), "The suspended sales", error);
    return false;
  }
  if (parked.empty()) return true;
  if (MessageBox("There are suspended sales\ncontinuing will void all sales!\n\nDo you wish to "
                 "continue?",
                 PROGRAM_NAME, MB_YESNO | MB_DEFBUTTON2) != IDYES)
    return false;
  for (const kvt::sale::ParkedSale& p : parked) {
    KVTsprintf(Data.INVOICENUM, sizeof Data.INVOICENUM, "%s", p.number.c_str());
    KVTsprintf(Data.INVOICELNK, sizeof Data.INVOICELNK, "%s", p.link.c_str());
    DoAppToScr();
    VerifyPOS1File->LoadOrder();
    for (int row = 0; row < SaleGrid().GetRowCount(); ++row) VoidTotals(row);
    TotalSaleItems(1);
    SaleTexts texts;
    texts.total = "0.00";
    texts.totalPaid = "0.00";
    if (!SaveOrder("S", "V", texts)) return false;
    PrintCustomerReceipt(Data.INVOICELNK);
    NewOrder();
  }
  return true;
}

void PVpos1Dlg::LoginAfterClose() {
  // Posted after the window's own Cancel, so the login opens once it closed.
  ::PostMessage(LoginRelay(GetTopWindow(Handle())), WM_COMMAND, IDOK);
}

void PVpos1Dlg::FindSalesCount(const char* szStore, const char* szDate, const char* szTillRef,
                               const char* szShift, char* szResult) {
  std::string count, error;
  if (!kvt::sale::CountUntransferred({szStore, szDate, szTillRef, szShift ? szShift : ""}, &count,
                                     &error)) {
    KVTShowReadError(Handle(), "The sales of the till", error);
    count.clear();
  }
  KVTsprintf(szResult, 50, "%s", count.c_str());
}

void PVpos1Dlg::ViewPreviousSale() {
  PVMDIDialog* view = KVTNewMDIScreen("PVviewdsDlg", Handle(), "View Daily Sales");
  if (!view) return;
  // A frame owns the view once it opened; a host without one leaves it here.
  if (!view->Create()) delete view;
}
