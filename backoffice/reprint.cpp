// The reprints of the daily sales review through the report module.
#include "backoffice/reprint.h"

#include <string>

#include "platform/forms/msgbox.h"
#include "platform/win/module.h"
#include "shell/globals.h"
#include "shell/hostreq.h"

namespace {

KVTReprintFn& Installed() {
  static KVTReprintFn fn;
  return fn;
}

const char kModule[] = "KVTPOSR.DLL";

bool PreviewCall(HWND owner, const std::string& link, bool invoice) {
  HMODULE m = KVTHostModuleRequest(owner, kModule);
  if (!m) {
    std::string text = std::string("Unable to load DLL (") + kModule + ")";
    MessageBox(owner, text.c_str(), "Kovatel Software", MB_OK | MB_ICONSTOP);
    return false;
  }
  const char* vars = invoice ? "SetInvoiceVars" : "SetReceiptVars";
  using VarsFn = void (*)(HWND, const char*, const char*, const char*, const char*);
  auto setVars = reinterpret_cast<VarsFn>(GetProcAddress(m, vars));
  if (!setVars) {
    std::string text = std::string("Unable to find function ") + vars + ".";
    MessageBox(owner, text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const char* entry = invoice ? "PrintInvoicetoPrinter" : "PrintReceipttoPrinter";
  // The printer selection record is the report module's; a preview leaves it empty.
  using ReportFn = int (*)(HWND, const char*, int, int, void*);
  auto report = reinterpret_cast<ReportFn>(GetProcAddress(m, entry));
  if (!report) {
    std::string text = std::string("Unable to find report (") + entry + ") in " + kModule;
    MessageBox(owner, text.c_str(), "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  setVars(owner, link.c_str(), invoice ? CFG_INVOICEFORM : CFG_RECEIPTFORM, CFG_DISPLAYTAXDETAIL,
          "");
  alignas(8) unsigned char selection[1024] = {};
  report(owner, "View Window", 0, 0, selection);
  return true;
}

}  // namespace

void KVTSetReprint(KVTReprintFn fn) {
  Installed() = std::move(fn);
}

bool KVTReprintSale(HWND owner, const std::string& link, bool invoice) {
  if (Installed()) return Installed()(owner, link, invoice);
  return PreviewCall(owner, link, invoice);
}
