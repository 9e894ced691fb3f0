// Receipts, invoices and reports: which document goes to which printer, and
// the report call that hands it to the report module (KVTPOSR.DLL), which
// lays it out and reads the sale or the till's totals from the database.
//
// A report call loads the module through the host (message 7000), looks the
// entry point up by name and calls it with (owner, printer text, 0, 0, the
// printer selection record), the wait cursor on. A module that is missing,
// cannot be loaded or lacks the entry point is shown once (caption "Kovatel
// Software", stop or exclamation icon) and nothing else happens.
#pragma once

#include <string>
#include <vector>

#include "platform/win/printer.h"
#include "platform/win/window.h"

namespace kvt::reports {

inline constexpr char kReportModule[] = "KVTPOSR.DLL";

// An entry point of the report module.
using ReportEntry = int (*)(HWND owner, const char* printerText, int, int,
                            KVT_PRINTER_SELECT* printer);

// Where a document goes: the printer text ("View Window" for a preview, ""
// for a printer) and the selection record.
struct ReportPrinter {
  std::string printerText;
  KVT_PRINTER_SELECT select;
};

// A preview when `printer` is "View Window" or `toPrinter` is not "T";
// otherwise the printer `printer` with its text mode.
ReportPrinter ChoosePrinter(const char* printer, int textMode, const char* toPrinter);

// The report call. False when the module or the entry point was missing
// (its message shown).
bool CallReport(HWND owner, const char* entry, ReportPrinter printer);

// What a receipt request prints.
enum class ReceiptRoute { Receipt, Invoice, Nothing };
// The invoice when receipts go to the invoice printer (`recToInvPtr` "T")
// or the sale is a payment on account that goes there (`isROA`); nothing
// when the receipt printer is "None"; else the receipt.
ReceiptRoute RouteReceipt(const char* recToInvPtr, bool isROA, const char* receiptPrinter);

// IsROA: with `payToInvPtr` "T", whether the sale (INVOICELNK) took a
// payment on account: any of GFTCRDPAY, FPCASHPAY, FPCHECKPAY, CASHPAY,
// CHECKPAY, CREDITPAY not empty and not 0. False otherwise. A failed look-up
// is shown (owner) and reads as false: the receipt is printed.
bool IsROA(HWND owner, const char* payToInvPtr, const char* invoiceLnk);

// The tenders of a completed sale, as the payment screen has them (texts;
// empty or 0 is a tender not used).
struct SaleTenders {
  bool isVoid = false;
  bool financing = false;  // a financing plan sale or return
  std::string cashAmt, cashRet, checkAmt, creditAmt, creditRet, giftCardAmt, chargeAmt, chargeRet,
      foodStamps;
  // The payments on account: CHECKPAY, CASHPAY, CREDITPAY, the financing
  // plan's cash and check payments, the gift card payment.
  std::vector<std::string> onAccount;
};
// How many customer receipts a completed sale prints: CFG_VOIDCOPIES for a
// void; otherwise the largest copies setting of the tenders used (payments
// on account CFG_POACOPIES, cash CFG_CASHCOPIES, cash returned
// CFG_CASHRTNCOPIES, check CFG_CHKCOPIES, card or gift card CFG_CCARDCOPIES,
// charge CFG_CHARGECOPIES, charge returned CFG_CHRGRTNCOPIES, food stamps
// CFG_FSCOPIES, a financing plan at least 1); CFG_CASHCOPIES when none.
int ReceiptCopies(const SaleTenders& t);

}  // namespace kvt::reports
