// The installed printers, from the print system's list of destinations.
#include "platform/win/printers.h"

#include <cstdio>

std::vector<std::string> KVTInstalledPrinters() {
  std::vector<std::string> names;
  FILE* list = ::popen("lpstat -e 2>/dev/null", "r");
  if (!list) return names;
  char line[256];
  while (std::fgets(line, sizeof line, list)) {
    std::string name = line;
    while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) name.pop_back();
    if (!name.empty()) names.push_back(name.substr(0, 99));
  }
  ::pclose(list);
  return names;
}
