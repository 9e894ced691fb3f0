// The menu system stand-in: registered entries kept in order.
#include "suite/kvtms/kvtms.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Entry {
  std::string dll, pcall, pname, report;
};

std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

std::string Text(const char* s) {
  return s ? s : "";
}

}  // namespace

void InsertMenuOption(const char* szDLL, const char* szPCall, const char* szPName,
                      const char* szReport) {
  Entry e{Text(szDLL), Text(szPCall), Text(szPName), Text(szReport)};
  auto& v = Entries();
  // Registering the same function under the same text again keeps its place.
  auto same = std::find_if(v.begin(), v.end(), [&](const Entry& x) {
    return x.dll == e.dll && x.pcall == e.pcall && x.pname == e.pname;
  });
  if (same != v.end()) {
    same->report = e.report;
    return;
  }
  v.push_back(std::move(e));
}

void RemoveMenuOption(const char* szDLL, const char* szPCall, const char* szPName) {
  auto& v = Entries();
  v.erase(std::remove_if(v.begin(), v.end(),
                         [&](const Entry& x) {
                           return x.dll == Text(szDLL) && x.pcall == Text(szPCall) &&
                                  x.pname == Text(szPName);
                         }),
          v.end());
}

int MenuOptionCount() {
  return static_cast<int>(Entries().size());
}

bool MenuOptionAt(int index, const char** szDLL, const char** szPCall, const char** szPName,
                  const char** szReport) {
  if (index < 0 || index >= MenuOptionCount()) return false;
  const Entry& e = Entries()[static_cast<std::size_t>(index)];
  if (szDLL) *szDLL = e.dll.c_str();
  if (szPCall) *szPCall = e.pcall.c_str();
  if (szPName) *szPName = e.pname.c_str();
  if (szReport) *szReport = e.report.c_str();
  return true;
}

void ClearMenuOptions() {
  Entries().clear();
}
