// The daily sales review's reprints (F9 receipt, F10 invoice) of a saved
// sale, by its link, through the report module KVTPOSR.DLL.
//
// The till's printing members own the printer choice; they install
// themselves with KVTSetReprint. Until then the review makes the report call
// itself as a preview ("View Window"): the module through the host, the
// sale's variables ("SetReceiptVars" / "SetInvoiceVars"), then the report
// entry ("PrintReceipttoPrinter" / "PrintInvoicetoPrinter"). A module that
// cannot be loaded or lacks an entry is reported once and nothing is printed.
#pragma once

#include <functional>
#include <string>

#include "platform/win/window.h"

// true when the document was handed to the report module.
using KVTReprintFn = std::function<bool(HWND owner, const std::string& link, bool invoice)>;

// Installs the printer (null: back to the review's own preview call).
void KVTSetReprint(KVTReprintFn fn);
bool KVTReprintSale(HWND owner, const std::string& link, bool invoice);
