// The one way the forms runtime reads the database: a query function the
// host installs once at start. The search windows list the rows it returns.
// Tests install a fake.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"

// Runs a SELECT and fills `rows` (each row its column texts, in order).
// False when the statement failed; `rows` is then unspecified.
using KVTQueryFn =
    std::function<bool(const std::string& sql, std::vector<std::vector<std::string>>* rows)>;

// Installs the query function (an empty one removes it).
KVT_EXPORT void SetFormsQuery(KVTQueryFn query);
KVT_EXPORT bool HasFormsQuery();
// Runs `sql` through the installed function; false when none is installed
// or the statement failed. `rows` is cleared first.
KVT_EXPORT bool FormsQuery(const std::string& sql, std::vector<std::vector<std::string>>* rows);
