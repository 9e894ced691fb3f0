// libkvtposr.so: the report module the host loads as "KVTPOSR.DLL". It lays
// out the till's documents from the database and sends them to the printer
// named in the printer selection record, or to the preview window when the
// printer text or the record says "View Window".
//
// The variables come first (SetReceiptVars, SetInvoiceVars, SetPrintVars);
// the print entry points take (owner, printer text, 0, 0, the record) and
// answer 1 when the document went out, 0 when it could not be made or sent
// (the reason shown, caption "Kovatel Software").
#pragma once

#include "platform/base/export.h"
#include "platform/win/printer.h"
#include "platform/win/window.h"

KVT_EXTERN_C void SetReceiptVars(HWND owner, const char* invoiceLnk, const char* format,
                                 const char* taxDetail, const char* farmTaxRemoved);
KVT_EXTERN_C void SetInvoiceVars(HWND owner, const char* invoiceLnk, const char* format,
                                 const char* taxDetail, const char* farmTaxRemoved);
// The till shift of the close-out reports: till, store, shift, shift date
// (MMDDYYYY), layout ("1" to "3"; empty for the closed till report).
KVT_EXTERN_C void SetPrintVars(HWND owner, const char* tillRef, const char* store,
                               const char* shift, const char* shiftDate, const char* format);

KVT_EXTERN_C int PrintReceipttoPrinter(HWND owner, const char* printerText, int, int,
                                       KVT_PRINTER_SELECT* printer);
KVT_EXTERN_C int PrintInvoicetoPrinter(HWND owner, const char* printerText, int, int,
                                       KVT_PRINTER_SELECT* printer);
// The check of the last receipt's sale.
KVT_EXTERN_C int PrintCheckValtoPrinter(HWND owner, const char* printerText, int, int,
                                        KVT_PRINTER_SELECT* printer);
// The close-out in the layout given; the record's iuser1 set: till totals only.
KVT_EXTERN_C int PrintTillCloseouttoPrinter(HWND owner, const char* printerText, int, int,
                                            KVT_PRINTER_SELECT* printer);
KVT_EXTERN_C int PrintTotalbyTillReftoPrinter(HWND owner, const char* printerText, int, int,
                                              KVT_PRINTER_SELECT* printer);
KVT_EXTERN_C int PrintTillClosedtoPrinter(HWND owner, const char* printerText, int, int,
                                          KVT_PRINTER_SELECT* printer);
// The drawer kick codes to the receipt printer.
KVT_EXTERN_C int OpenTillDrawer(HWND owner, const char* printerText, int, int,
                                KVT_PRINTER_SELECT* printer);
// The refused checking accounts (KVTPOS11), previewed.
KVT_EXTERN_C int DoBadChksReport(HWND owner);
