// What a pricing or tax look-up answers: found, not found or failed, the
// value when found, and on failure a message naming what could not be read
// together with the database's own words.
#pragma once

#include <string>
#include <utility>

#include "platform/sql/query.h"

namespace kvt::pricing {

using kvt::sql::Found;

template <class T>
struct Looked {
  Found found = Found::No;
  T value{};
  std::string error;  // set only when found is Failed

  bool failed() const { return found == Found::Failed; }
  bool yes() const { return found == Found::Yes; }
};

// A column's text without the blanks a fixed-width column pads it with.
inline std::string Trimmed(const std::string& v) {
  std::size_t b = v.find_first_not_of(" \t");
  return b == std::string::npos ? "" : v.substr(b, v.find_last_not_of(" \t") - b + 1);
}

template <class T>
Looked<T> Fail(const std::string& what, const std::string& why) {
  return {Found::Failed, T{}, what + " could not be read.\n" + why};
}

template <class T>
Looked<T> Answer(T value, Found found = Found::Yes) {
  return {found, std::move(value), {}};
}

}  // namespace kvt::pricing
