// The small text rules the payment screen's files share: a setting compared,
// a value copied into a fixed field (cut to fit), a value without the blanks
// around it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"

namespace kvt::payment {

inline bool Is(const char* setting, const char* value) {
  return std::strcmp(setting, value) == 0;
}

template <std::size_t N>
void Put(char (&field)[N], const std::string& value) {
  KVTsprintf(field, N, "%s", value.c_str());
}

inline std::string Trimmed(std::string s) {
  const char* blanks = " \t\r\n";
  s.erase(s.find_last_not_of(blanks) + 1);
  s.erase(0, std::min(s.size(), s.find_first_not_of(blanks)));
  return s;
}

inline std::string Trimmed(const char* s) {
  return Trimmed(std::string(s ? s : ""));
}

}  // namespace kvt::payment
