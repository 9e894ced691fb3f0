// The installed query function.
#include "platform/forms/query.h"

namespace {
KVTQueryFn& Installed() {
  static auto* fn = new KVTQueryFn;
  return *fn;
}
}  // namespace

void SetFormsQuery(KVTQueryFn query) {
  Installed() = std::move(query);
}

bool HasFormsQuery() {
  return static_cast<bool>(Installed());
}

bool FormsQuery(const std::string& sql, std::vector<std::vector<std::string>>* rows) {
  rows->clear();
  if (!Installed()) return false;
  return Installed()(sql, rows);
}
