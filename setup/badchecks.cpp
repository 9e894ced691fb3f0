// The bad check list's rules.
#include "setup/badchecks.h"

namespace sql = kvt::sql;

KVTBadCheckList::Verdict KVTBadCheckList::CheckAccount(std::string_view account, double recno) {
  std::size_t b = account.find_first_not_of(' ');
  if (b == std::string_view::npos) return Verdict::Empty;
  account = account.substr(b, account.find_last_not_of(' ') - b + 1);
  sql::Result r = sql::Run("SELECT RECNO FROM KVTPOS11 WHERE CKACCTNUM = ?", {sql::Text(account)});
  if (!r.ok()) return error_ = r.error(), Verdict::Failed;
  for (const sql::Row& row : r.rows())
    if (recno == 0 || row.Num("RECNO") != recno) return Verdict::Duplicate;
  return Verdict::Ok;
}

bool KVTBadCheckList::Delete(double recno) {
  sql::Result r = sql::Run("DELETE FROM KVTPOS11 WHERE RECNO = ?", {sql::Number(recno)});
  if (!r.ok()) return error_ = r.error(), false;
  return true;
}
