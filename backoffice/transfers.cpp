// The transfer of sales to accounting: batches, texts, statements and data.
#include "backoffice/transfers.h"

#include <cstdio>

namespace sql = kvt::sql;

namespace {

// COUNT(1) as the database names it ("COUNT(1)" or "count").
const std::string& CountOf(const sql::Row& row) {
  return row.Has("COUNT(1)") ? row["COUNT(1)"] : row["count"];
}

}  // namespace

bool KVTTransfers::DefaultBatch(std::string* batch, std::string* error) {
  batch->clear();
  sql::Result count = sql::Run("SELECT COUNT(1) FROM KVTFL23");
  if (!count.ok()) {
    *error = count.error();
    return false;
  }
  if (count.found() != sql::Found::Yes || CountOf(count.first()) != "1") return true;
  sql::Result only = sql::Run("SELECT REFERENCE FROM KVTFL23");
  if (!only.ok()) {
    *error = only.error();
    return false;
  }
  if (only.found() == sql::Found::Yes) *batch = only.first()["REFERENCE"];
  return true;
}

sql::Result KVTTransfers::FindBatch(const std::string& batch) {
  return sql::Run("SELECT RECNO FROM KVTFL23 WHERE REFERENCE = ?", {sql::Text(batch)});
}

std::string KVTTransfers::Heading(const std::string& count) {
  if (count == "Import") return "Transferring sales for:";
  return "Transferring " + count + " sales for:";
}

std::string KVTTransfers::ShiftText(const std::string& shift) {
  return shift.empty() ? "all shifts" : shift;
}

std::string KVTTransfers::LoadingStatement(bool retransfer, bool showShifts) {
  std::string s = showShifts ? "SELECT STORE, INVDATE, TILLREF, SHIFT, COUNT(1) "
                             : "SELECT STORE, INVDATE, TILLREF, NULL, COUNT(1) ";
  s += "FROM KVTPOS1 ";
  s += retransfer ? "WHERE TRANSNUM > '' " : "WHERE (TRANSNUM = '' OR TRANSNUM IS NULL) ";
  s += showShifts
           ? "GROUP BY STORE, INVDATE, TILLREF, SHIFT ORDER BY INVDATE, STORE, TILLREF, SHIFT "
           : "GROUP BY STORE, INVDATE, TILLREF ORDER BY INVDATE, STORE, TILLREF ";
  return s;
}

bool KVTTransfers::LoadGroups(bool retransfer, bool showShifts,
                              std::vector<KVTTransferGroup>* groups, std::string* error) {
  groups->clear();
  KVTTransferGroup g;
  sql::Result r = sql::Run(LoadingStatement(retransfer, showShifts));
  if (!r.ok()) {
    *error = r.error();
    return false;
  }
  for (const sql::Row& row : r.rows()) {
    g.store = row["STORE"];
    g.date = row["INVDATE"];
    g.till = row["TILLREF"];
    g.shift = showShifts ? row["SHIFT"] : "";
    g.count = CountOf(row);
    groups->push_back(g);
  }
  return true;
}

sql::Result KVTTransfers::ActiveShift(const KVTTransferGroup& group, bool showShifts) {
  if (showShifts)
    return sql::Run(
        "SELECT RECNO FROM KVTPOS9 WHERE STORE=? AND INVDATE=? AND TILLREF=? AND SHIFT=?",
        {sql::Text(group.store), sql::Date(group.date), sql::Text(group.till),
         sql::Text(group.shift)});
  return sql::Run("SELECT RECNO FROM KVTPOS9 WHERE STORE=? AND INVDATE=? AND TILLREF=?",
                  {sql::Text(group.store), sql::Date(group.date), sql::Text(group.till)});
}

sql::Result KVTTransfers::TillTargets(const std::string& store, const std::string& till) {
  return sql::Run("SELECT TRNST, TRNPB, TRNCST FROM KVTCOM14 WHERE STOREREF = ? AND TILLNUM = ?",
                  {sql::Text(store), sql::Text(till)});
}

std::string KVTTransfers::CompactDate(const std::string& date) {
  if (date.size() != 10) return date;
  return date.substr(0, 2) + date.substr(3, 2) + date.substr(6, 4);
}

std::string KVTTransfers::DirectTransferData(const std::string& dateMMDDYYYY,
                                             const std::string& store, const std::string& shift,
                                             const std::string& till, const std::string& batch,
                                             bool retransfer, const std::string& trnST,
                                             const std::string& trnPB, const std::string& trnCST) {
  const std::string values[] = {dateMMDDYYYY,           store, shift, till,  batch,
                                retransfer ? "Y" : "N", trnST, trnPB, trnCST};
  std::string data;
  char key[8];
  for (int i = 0; i < 9; ++i) {
    std::snprintf(key, sizeof key, "%02d=", i + 1);
    data += key + values[i] + "\t";
  }
  return data;
}

std::string KVTTransfers::ResultMessage(int successes, int failures, bool direct) {
  const char* word = direct ? "transferred" : "exported";
  char done[128], failed[128];
  std::snprintf(done, sizeof done,
                successes == 1 ? "%i file was %s successfully." : "%i files were %s successfully.",
                successes, word);
  std::snprintf(
      failed, sizeof failed,
      failures == 1 ? "%i file was not %s due to errors." : "%i files were not %s due to errors.",
      failures, word);
  return std::string(done) + "\n" + failed;
}
