// Reading whole results of statements with bound text parameters, on a
// screen's own connection (the statement is named by its SQL text buffer,
// so `sql` must outlive the call: a string literal or a static array).
#pragma once

#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"

using KVTRow = std::vector<std::string>;

// Every row of `sql` with `params` bound as text, in result order. False
// when the statement failed (`rows` is then empty).
bool KVTQueryRows(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                  std::vector<KVTRow>* rows);
// The first row; false when the statement failed or returned none.
bool KVTQueryFirst(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                   KVTRow* row);
// Runs a change (INSERT, UPDATE, DELETE) with `params` bound by `types`
// (0 text, 2 number, 3 date; missing types are text). False when it failed.
bool KVTExecute(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                const std::vector<int>& types = {});
