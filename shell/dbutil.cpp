// Small database helpers over connection 1.
#include "shell/dbutil.h"

#include "platform/forms/msgbox.h"
#include "platform/sql/query.h"

void KVTShowReadError(HWND owner, const std::string& what, const std::string& error) {
  std::string text = what + " could not be read:\n\n" + error;
  MessageBox(owner, text.c_str(), "Error", MB_OK | MB_ICONSTOP);
}

bool KVTFeatureOn(const char* feature) {
  std::string name = feature ? feature : "";
  auto r = kvt::sql::Run("SELECT FEATURE FROM KVTCOM20 WHERE FEATURE = ?", {kvt::sql::Text(name)});
  if (r.found() == kvt::sql::Found::Failed)
    KVTShowReadError(nullptr, "The feature switch " + name + " (KVTCOM20)", r.error());
  return r.found() == kvt::sql::Found::Yes;
}
