// The managed-window loader stand-in: says plainly that the form is not here.
#include "suite/kvtdn/kvtdn.h"

#include <string>

#include "platform/forms/msgbox.h"

namespace {

int NotAvailable(const char* assembly, const char* formType, HWND parent) {
  std::string text = std::string("The form ") + (formType ? formType : "") + " (" +
                     (assembly ? assembly : "") + ") is not available on this system.";
  MessageBox(parent, text.c_str(), "Kovatel Software", MB_OK | MB_ICONINFORMATION);
  return 0;
}

}  // namespace

int LoadDotNetWindow(const char* assembly, const char* formType, HWND parent) {
  return NotAvailable(assembly, formType, parent);
}

int LoadDotNetWindowWithData(const char* assembly, const char* formType, HWND parent, const char*) {
  return NotAvailable(assembly, formType, parent);
}
