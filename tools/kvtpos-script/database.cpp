// Connecting a till script to its database.
#include "tools/kvtpos-script/database.h"

bool ConnectScriptDatabase(const std::string& spec, std::string* error) {
  // The SQL layer is not part of this build yet; "expect sql" then reports
  // "no database connected".
  *error = "cannot connect to \"" + spec + "\": this build has no database layer";
  return false;
}
