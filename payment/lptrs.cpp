// The printers of this computer into a setup screen's list.
#include "payment/lptrs.h"

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/win/printer.h"

bool LoadPrintersFromINI(KVTScreen& screen, int comboId) {
  std::vector<std::string> printers;
  std::string error;
  if (!KVTListPrinters(&printers, &error)) {
    MessageBox(screen.Handle(), error.c_str(), "Kovatel Software", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  for (const std::string& name : printers) screen.AddListItem(comboId, name);
  return true;
}
