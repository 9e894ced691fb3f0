// Small database helpers over connection 1.
#include "shell/dbutil.h"

#include "shell/globals.h"

bool KVTQueryRow(const std::string& sql, std::vector<std::string>* row) {
  KVTSConnection conn(1, hApplication, 0);
  if (conn.ExecSQL(sql.c_str()) <= 0 || !conn.FetchNext()) return false;
  row->clear();
  for (int c = 1; c <= conn.ColumnCount(); ++c) row->emplace_back(conn.ColumnVar(c));
  return true;
}

bool KVTFeatureOn(const char* feature) {
  std::vector<std::string> row;
  return KVTQueryRow("SELECT FEATURE FROM KVTCOM20 WHERE FEATURE = '" + KVTSqlQuote(feature) + "'",
                     &row);
}
