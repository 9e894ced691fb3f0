// The folder browser, through the front end.
#include "platform/forms/browse.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/forms/backend.h"
#include "platform/forms/runtime.h"

bool BrowseDir(HWND owner, const char* start, const char* title, char* result, int size) {
  std::string chosen;
  bool ok = KVTForms::Instance().Backend().BrowseFolder(owner, start ? start : "",
                                                        title ? title : "", &chosen);
  if (result && size > 0) {
    if (!ok) chosen.clear();
    std::size_t n = std::min<std::size_t>(chosen.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(result, chosen.data(), n);
    result[n] = '\0';
  }
  return ok;
}
