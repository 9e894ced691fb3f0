// Receipts, invoices and reports: the report call and the sale screen's
// printing members.
#include "payment/pos1e.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/textwidth.h"
#include "platform/forms/forms.h"
#include "platform/sql/query.h"
#include "sale/pos1.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/hostreq.h"
#include "shell/printvars.h"

namespace kvt::reports {

namespace {

bool Is(const char* setting, const char* value) {
  return setting && std::strcmp(setting, value) == 0;
}

bool Missing(HWND owner, const std::string& text, UINT icon) {
  MessageBox(owner, text.c_str(), "Kovatel Software", MB_OK | icon);
  return false;
}

}  // namespace

ReportPrinter ChoosePrinter(const char* printer, int textMode, const char* toPrinter) {
  ReportPrinter p{KVT_VIEW_WINDOW, KVTNewPrinterSelect()};
  if (Is(printer, KVT_VIEW_WINDOW) || !Is(toPrinter, "T")) return p;
  p.printerText.clear();
  p.select.text_mode = static_cast<std::int16_t>(textMode);
  std::memset(p.select.destination, 0, sizeof p.select.destination);
  KVTCopyText(p.select.destination, printer);
  return p;
}

bool CallReport(HWND owner, const char* entry, ReportPrinter printer) {
  char text[512];
  if (FindModuleFile(kReportModule).empty()) {
    std::snprintf(text, sizeof text, "%s is not currently installed. Please install DLL and retry.",
                  kReportModule);
    return Missing(owner, text, MB_ICONEXCLAMATION);
  }
  HMODULE module = KVTHostModuleRequest(owner, kReportModule);
  if (!module) {
    std::snprintf(text, sizeof text, "Unable to load DLL (%s)", kReportModule);
    return Missing(owner, text, MB_ICONSTOP);
  }
  auto fn = GetProc<ReportEntry>(module, entry);
  if (!fn) {
    std::snprintf(text, sizeof text, "Unable to find report (%s) in %s", entry, kReportModule);
    return Missing(owner, text, MB_ICONEXCLAMATION);
  }
  KVTWaitCursor hourglass;
  fn(owner, printer.printerText.c_str(), 0, 0, &printer.select);
  return true;
}

ReceiptRoute RouteReceipt(const char* recToInvPtr, bool isROA, const char* receiptPrinter) {
  if (Is(recToInvPtr, "T") || isROA) return ReceiptRoute::Invoice;
  if (Is(receiptPrinter, "None")) return ReceiptRoute::Nothing;
  return ReceiptRoute::Receipt;
}

bool IsROA(HWND owner, const char* payToInvPtr, const char* invoiceLnk) {
  if (!Is(payToInvPtr, "T")) return false;
  static const char* const kPays[] = {"GFTCRDPAY", "FPCASHPAY", "FPCHECKPAY",
                                      "CASHPAY",   "CHECKPAY",  "CREDITPAY"};
  sql::Result r = sql::Run(
      "SELECT GFTCRDPAY, FPCASHPAY, FPCHECKPAY, CASHPAY, CHECKPAY, CREDITPAY FROM KVTPOS1 WHERE "
      "INVOICELNK = ?",
      {sql::Text(invoiceLnk ? invoiceLnk : "")});
  if (r.found() == sql::Found::Failed) {
    KVTShowReadError(owner, "The sale's payments (KVTPOS1)", r.error());
    return false;
  }
  if (r.found() == sql::Found::No) return false;
  for (const char* column : kPays) {
    const std::string& v = r.first()[column];
    if (!v.empty() && std::atof(v.c_str()) != 0) return true;
  }
  return false;
}

int ReceiptCopies(const SaleTenders& t) {
  auto used = [](const std::string& amount) { return std::atof(amount.c_str()) != 0; };
  auto copies = [](const char* setting) { return std::atoi(setting); };
  if (t.isVoid) return copies(CFG_VOIDCOPIES);
  int count = -1;
  auto raise = [&](bool tendered, int n) {
    if (tendered && n > count) count = n;
  };
  bool onAccount = false;
  for (const std::string& pay : t.onAccount) onAccount = onAccount || used(pay);
  raise(onAccount, copies(CFG_POACOPIES));
  raise(used(t.cashAmt), copies(CFG_CASHCOPIES));
  raise(used(t.cashRet), copies(CFG_CASHRTNCOPIES));
  raise(used(t.checkAmt), copies(CFG_CHKCOPIES));
  raise(used(t.creditAmt) || used(t.creditRet) || used(t.giftCardAmt), copies(CFG_CCARDCOPIES));
  raise(used(t.chargeAmt), copies(CFG_CHARGECOPIES));
  raise(used(t.chargeRet), copies(CFG_CHRGRTNCOPIES));
  raise(used(t.foodStamps), copies(CFG_FSCOPIES));
  raise(t.financing, 1);
  return count < 0 ? copies(CFG_CASHCOPIES) : count;
}

}  // namespace kvt::reports

namespace {

using kvt::reports::CallReport;
using kvt::reports::ChoosePrinter;

bool Is(const char* setting, const char* value) {
  return std::strcmp(setting, value) == 0;
}

kvt::reports::ReportPrinter ReceiptPrinter(const char* toPrinter) {
  return ChoosePrinter(CFG_RECEIPTPRINTER, CFG_RECEIPTPRINTERTEXTMODE, toPrinter);
}

}  // namespace

void PVpos1Dlg::PrintCustomerReceipt(const char* szInvoiceLnk, int /*iCopy*/) {
  using kvt::reports::ReceiptRoute;
  // The payment-on-account look-up is made only when it can matter.
  bool roa =
      !Is(CFG_RECTOINVPTR, "T") && kvt::reports::IsROA(Handle(), CFG_PAYTOINVPTR, szInvoiceLnk);
  switch (kvt::reports::RouteReceipt(CFG_RECTOINVPTR, roa, CFG_RECEIPTPRINTER)) {
    case ReceiptRoute::Invoice:
      PrintInvoice(szInvoiceLnk);
      return;
    case ReceiptRoute::Nothing:
      return;
    case ReceiptRoute::Receipt:
      break;
  }
  SetAutoReceiptVar(Handle(), szInvoiceLnk, CFG_RECEIPTFORM, CFG_DISPLAYTAXDETAIL,
                    szProvinceFarmSalesTaxRemoved);
  CallReport(Handle(), "PrintReceipttoPrinter", ReceiptPrinter("T"));
  if (CheckPymt && Is(CFG_VALIDATECHECKS, "T")) {
    ValidateCheck();
    CheckPymt = 0;
  }
}

void PVpos1Dlg::PrintInvoice(const char* szInvoiceLnk) {
  if (Is(CFG_INVOICEPRINTER, "None")) return;
  if (KVTFeatureOn("22342")) {
    bool agrivista = KVTFeatureOn("8341");
    if ((Is(CFG_INVOICEFORM, "7") && !agrivista) || (Is(CFG_INVOICEFORM, "8") && agrivista)) {
      std::string data = std::string(szInvoiceLnk ? szInvoiceLnk : "") + "\t" + CFG_INVOICEPRINTER;
      VossenFarmersInvoice(Handle(), data.c_str());
      return;
    }
  }
  SetAutoInvoiceVar(Handle(), szInvoiceLnk, CFG_INVOICEFORM, CFG_DISPLAYTAXDETAIL,
                    szProvinceFarmSalesTaxRemoved);
  CallReport(Handle(), "PrintInvoicetoPrinter",
             ChoosePrinter(CFG_INVOICEPRINTER, CFG_INVOICEPRINTERTEXTMODE, "T"));
}

void PVpos1Dlg::ValidateCheck() {
  MessageBox("Insert check in printer to validate.", PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  CallReport(Handle(), "PrintCheckValtoPrinter", ReceiptPrinter("T"));
}

void PVpos1Dlg::PrintCloseOutTotals(int iTillTotalsOnly) {
  if (Is(CFG_RECEIPTPRINTER, "None")) return;
  kvt::reports::ReportPrinter p = ReceiptPrinter(CFG_CLOSEOUTTOPRINTER);
  // The till-totals-only flag travels in the record's first user number.
  p.select.iuser1 = iTillTotalsOnly;
  CallReport(Handle(), "PrintTillCloseouttoPrinter", p);
}

void PVpos1Dlg::PrintTillRefTotals() {
  if (Is(CFG_RECEIPTPRINTER, "None")) return;
  CallReport(Handle(), "PrintTotalbyTillReftoPrinter", ReceiptPrinter(CFG_FORCETILLREFTOPRINTER));
}

void PVpos1Dlg::PrintClosedReport(const char* szStore, const char* szShiftDate,
                                  const char* szTillRef, const char* szShift) {
  if (Is(CFG_RECEIPTPRINTER, "None")) return;
  SetAutoPrintVar(Handle(), szStore, szShiftDate, szTillRef, szShift, "");
  CallReport(Handle(), "PrintTillClosedtoPrinter", ReceiptPrinter("T"));
}

void PVpos1Dlg::PrintCloseOut(const char* szStore, const char* szShiftDate, const char* szTillRef,
                              const char* /*szEmployee*/, const char* szShift,
                              int iTillTotalsOnly) {
  const bool totals = Is(CFG_PRINTCLOSEOUT, "T"), tillRef = Is(CFG_TILLREFATCLOSEOUT, "T");
  if (!totals && !tillRef) return;
  SetAutoPrintVar(Handle(), szStore, szShiftDate, szTillRef, szShift, CFG_CLOSEOUTFORM);
  if (totals) PrintCloseOutTotals(iTillTotalsOnly);
  if (tillRef) PrintTillRefTotals();
}
