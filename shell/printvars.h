// The module's exports that hand a document's variables to the report module
// (KVTPOSR.DLL) before it is printed, and the customer-specific invoice of
// the managed-window loader. Each loads its module through the host; a
// missing module or entry point is shown (caption PROGRAM_NAME, exclamation
// icon) and nothing is handed over.
#pragma once

#include "platform/base/export.h"
#include "platform/win/window.h"

// The till shift of a close-out report and its layout (empty for the closed
// till report).
KVT_EXTERN_C void SetAutoPrintVar(HWND hWnd, const char* szStore, const char* szShiftDate,
                                  const char* szTillRef, const char* szShift, const char* szFormat);
// The sale (INVOICELNK) of a receipt or an invoice, its layout, the tax
// detail switch and the farm sales tax removed mark.
KVT_EXTERN_C void SetAutoReceiptVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                                    const char* szPrintTaxDetail,
                                    const char* szPrintFarmTaxRemovedMsg);
KVT_EXTERN_C void SetAutoInvoiceVar(HWND hWnd, const char* szInvoiceNum, const char* szFormat,
                                    const char* szPrintTaxDetail,
                                    const char* szPrintFarmTaxRemovedMsg);
// "KVPointOfSale.dll"'s invoice form with `szData` ("link\tprinter"), through
// kvtDN.dll's LoadDotNetWindowWithData.
KVT_EXTERN_C int VossenFarmersInvoice(HWND hWnd, const char* szData);
