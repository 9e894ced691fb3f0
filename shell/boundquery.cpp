// Whole results of statements with bound parameters.
#include "shell/boundquery.h"

#include <cstddef>

namespace {

bool Run(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
         const std::vector<int>& types) {
  if (conn.PrepareSQL(sql) <= 0) return false;
  for (std::size_t i = 0; i < params.size(); ++i) {
    int type = i < types.size() ? types[i] : 0;
    conn.BindParam(sql, params[i].c_str(), type);
  }
  return conn.ExecuteSQL(sql) > 0;
}

}  // namespace

bool KVTQueryRows(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                  std::vector<KVTRow>* rows) {
  rows->clear();
  bool ok = Run(conn, sql, params, {});
  if (ok) {
    int columns = conn.ColumnCount(sql);
    while (conn.FetchNext(sql)) {
      KVTRow row;
      for (int c = 1; c <= columns; ++c) row.emplace_back(conn.ColumnVar(sql, c));
      rows->push_back(std::move(row));
    }
  }
  conn.FreeStatement(sql);
  return ok;
}

bool KVTQueryFirst(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                   KVTRow* row) {
  std::vector<KVTRow> rows;
  if (!KVTQueryRows(conn, sql, params, &rows) || rows.empty()) return false;
  *row = std::move(rows.front());
  return true;
}

bool KVTExecute(KVTConnection& conn, const char* sql, const std::vector<std::string>& params,
                const std::vector<int>& types) {
  bool ok = Run(conn, sql, params, types);
  conn.FreeStatement(sql);
  return ok;
}
