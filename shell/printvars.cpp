// Document variables for the report module, and the customer-specific invoice.
#include "shell/printvars.h"

#include <string>

#include "platform/forms/msgbox.h"
#include "shell/globals.h"
#include "shell/hostreq.h"

namespace {

const char* const kReportModule = "KVTPOSR.DLL";

template <typename Fn>
Fn ReportEntry(HWND hWnd, const char* entry) {
  HMODULE m = KVTHostModuleRequest(hWnd, kReportModule);
  if (!m) {
    MessageBox(hWnd, "KVTPOSR.DLL is not currently installed. Please install DLL and retry.",
               PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
  }
  Fn fn = GetProc<Fn>(m, entry);
  if (!fn) {
    std::string text = std::string("Unable to find function ") + entry + ".";
    MessageBox(hWnd, text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
  }
  return fn;
}

// The receipt and invoice variables take the same five arguments.
void DocumentVars(HWND hWnd, const char* entry, const char* szInvoiceNum, const char* szFormat,
                  const char* szPrintTaxDetail, const char* szPrintFarmTaxRemovedMsg) {
  using Fn = void (*)(HWND, const char*, const char*, const char*, const char*);
  if (auto fn = ReportEntry<Fn>(hWnd, entry))
    fn(hWnd, szInvoiceNum, szFormat, szPrintTaxDetail, szPrintFarmTaxRemovedMsg);
}

}  // namespace

void SetAutoPrintVar(HWND hWnd, const char* szStore, const char* szShiftDate, const char* szTillRef,
                     const char* szShift, const char* szFormat) {
  // The report module takes the till first: till, store, shift, date, layout.
  using Fn = void (*)(HWND, const char*, const char*, const char*, const char*, const char*);
  if (auto fn = ReportEntry<Fn>(hWnd, "SetPrintVars"))
    fn(hWnd, szTillRef, szStore, szShift, szShiftDate, szFormat);
}

void SetAutoReceiptVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                       const char* szPrintTaxDetail, const char* szPrintFarmTaxRemovedMsg) {
  DocumentVars(hWnd, "SetReceiptVars", szInvoiceNum, szFormat, szPrintTaxDetail,
               szPrintFarmTaxRemovedMsg);
}

void SetAutoInvoiceVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                       const char* szPrintTaxDetail, const char* szPrintFarmTaxRemovedMsg) {
  DocumentVars(hWnd, "SetInvoiceVars", szInvoiceNum, szFormat, szPrintTaxDetail,
               szPrintFarmTaxRemovedMsg);
}

int VossenFarmersInvoice(HWND hWnd, const char* szData) {
  HMODULE m = KVTHostModuleRequest(hWnd, "kvtDN.dll");
  auto fn = m ? GetProc<int (*)(const char*, const char*, HWND, const char*)>(
                    m, "LoadDotNetWindowWithData")
              : nullptr;
  if (!fn) {
    MessageBox(hWnd, "Could not find function LoadDotNetWindowWithData in KVTDN.DLL", "Error",
               MB_OK | MB_ICONSTOP);
    return 0;
  }
  return fn("KVPointOfSale.dll", "KV.PointOfSale.Reports.VossenFarmersInvoiceForm", hWnd,
            szData ? szData : "");
}
