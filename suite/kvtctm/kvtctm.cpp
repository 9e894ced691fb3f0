// The transfer module's menu entries for the C-Store back office: product
// sales categories and field-line charges are kept in that office system,
// which this installation does not have.
#include <string>
#include "platform/forms/msgbox.h"

#include "platform/base/export.h"

namespace {
void NotHere(HWND hWnd, const char* what) {
  std::string text = std::string(what) +
                     " are kept in the C-Store office system, which is not "
                     "installed here.";
  MessageBox(hWnd, text.c_str(), "Kovatel Software", MB_OK | MB_ICONINFORMATION);
}
}  // namespace

KVT_EXTERN_C void ProductSalesCatMENU(HWND hWnd) {
  NotHere(hWnd, "Product sales categories");
}
KVT_EXTERN_C void EditFieldlineChargesMENU(HWND hWnd) {
  NotHere(hWnd, "Field-line charges");
}
