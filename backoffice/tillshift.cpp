// The login's till shift: code look-ups, the shift's state, its open-shift record.
#include "backoffice/tillshift.h"

#include "platform/sql/kvtsql.h"

namespace sql = kvt::sql;

namespace {

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t\r\n";
  std::size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

}  // namespace

KVTTillShift::KVTTillShift(std::string_view store, std::string_view date, std::string_view till,
                           std::string_view shift)
    : store_(store), date_(date), till_(till), shift_(shift) {}

sql::Result KVTTillShift::FindStore(std::string_view ref) {
  return sql::Run("SELECT RECNO FROM KVTCOM13 WHERE REFERENCE = ?", {sql::Text(Trim(ref))});
}

sql::Result KVTTillShift::FindTill(std::string_view till, std::string_view store) {
  return sql::Run("SELECT RECNO FROM KVTCOM14 WHERE TILLNUM = ? AND STOREREF = ?",
                  {sql::Text(Trim(till)), sql::Text(Trim(store))});
}

sql::Result KVTTillShift::FindEmployee(std::string_view ref) {
  return sql::Run("SELECT RECNO FROM KVTCOM11 WHERE EMPCODE = ?", {sql::Text(Trim(ref))});
}

sql::Result KVTTillShift::FindShift(std::string_view ref) {
  return sql::Run("SELECT RECNO FROM KVTCOM10 WHERE SHIFT = ?", {sql::Text(Trim(ref))});
}

KVTShiftState KVTTillShift::State() {
  sql::Result sales = sql::Run(
      "SELECT TRANSNUM FROM KVTPOS1 WHERE (STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = "
      "?) ORDER BY TRANSNUM DESC",
      {sql::Text(store_), sql::Date(date_), sql::Text(till_), sql::Text(shift_)});
  error_ = sales.error();
  switch (sales.found()) {
    case sql::Found::Failed:
      return KVTShiftState::Failed;
    case sql::Found::No:
      return KVTShiftState::New;
    case sql::Found::Yes:
      break;
  }
  return Trim(sales.first()["TRANSNUM"]).empty() ? KVTShiftState::Continued : KVTShiftState::Closed;
}

bool KVTTillShift::RecordOpen() {
  double recno = NextNum(1, "KVTPOS9", 100);
  if (recno <= 0) {
    error_ = KVTLastSqlError();
    return false;
  }
  sql::Result r =
      sql::Run("INSERT INTO KVTPOS9 (STORE,INVDATE,TILLREF,SHIFT,RECNO) VALUES (?,?,?,?,?)",
               {sql::Text(store_), sql::Date(date_), sql::Text(till_), sql::Text(shift_),
                sql::Number(recno)});
  error_ = r.error();
  return r.ok();
}

bool KVTTillShift::EndOpen() {
  sql::Result r =
      sql::Run("DELETE FROM KVTPOS9 WHERE STORE=? AND INVDATE=? AND TILLREF=? AND SHIFT=? ",
               {sql::Text(store_), sql::Date(date_), sql::Text(till_), sql::Text(shift_)});
  error_ = r.error();
  return r.ok();
}
