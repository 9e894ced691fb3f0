#include "platform/win/moduleevent.h"

#include <string_view>

std::string KVTEventItem(const char* text, const std::string& key) {
  std::string_view rest(text ? text : "");
  while (!rest.empty()) {
    const std::size_t tab = rest.find('\t');
    const std::string_view item = rest.substr(0, tab);
    if (item.size() > key.size() && item.substr(0, key.size()) == key && item[key.size()] == '=')
      return std::string(item.substr(key.size() + 1));
    if (tab == std::string_view::npos) break;
    rest.remove_prefix(tab + 1);
  }
  return "";
}
