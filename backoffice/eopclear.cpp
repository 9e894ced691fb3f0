// Clearing the sales history of the sales categories by period.
#include "backoffice/eopclear.h"

#include "platform/base/kvtbase.h"
#include "platform/base/textwidth.h"

namespace sql = kvt::sql;

const char* KVTPeriodName(int mode) {
  switch (mode) {
    case KVT_END_OF_DAY:
      return "End of Day";
    case KVT_END_OF_MONTH:
      return "End of Month";
    case KVT_END_OF_YEAR:
      return "End of Year";
  }
  return "";
}

std::string KVTPeriodClear::UpdateSql(int mode) {
  if (mode < KVT_END_OF_DAY || mode > KVT_END_OF_YEAR) return "";
  std::string text = "UPDATE KVTCOM12 SET CURQTY3 = '0.00',CURDOL3 = '0.00'";
  if (mode >= KVT_END_OF_MONTH) text += ",MTDQTY3 = '0.00',MTDDOL3 = '0.00'";
  if (mode == KVT_END_OF_YEAR) text += ",YTDQTY3 = '0.00',YTDDOL3 = '0.00'";
  return text + " WHERE RECNO = ?";
}

namespace {

std::string Trimmed(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return "";
  return std::string(s.substr(b, s.find_last_not_of(' ') - b + 1));
}

}  // namespace

KVTPeriodClear::KVTPeriodClear(int mode, std::string_view store)
    : mode_(mode), store_(Trimmed(store)), update_(UpdateSql(mode)) {}

bool KVTPeriodClear::Count(long* count) {
  *count = 0;
  sql::Result r = store_.empty() ? sql::Run("SELECT COUNT(1) AS N FROM KVTCOM12")
                                 : sql::Run("SELECT COUNT(1) AS N FROM KVTCOM12 WHERE LOCATION = ?",
                                            {sql::Text(store_)});
  if (!r.ok()) return error_ = r.error(), false;
  if (r.found() == sql::Found::Yes) *count = static_cast<long>(r.first().Num("N"));
  return true;
}

bool KVTPeriodClear::Start() {
  rows_.clear();
  next_ = 0;
  current_ = {};
  if (update_.sql().empty()) {
    error_ = "Unknown period: " + std::to_string(mode_) + ".";
    return false;
  }
  sql::Result r = store_.empty()
                      ? sql::Run("SELECT REFERENCE,LOCATION,RECNO FROM KVTCOM12")
                      : sql::Run("SELECT REFERENCE,LOCATION,RECNO FROM KVTCOM12 WHERE LOCATION = ?",
                                 {sql::Text(store_)});
  if (!r.ok()) return error_ = r.error(), false;
  rows_.reserve(r.rows().size());
  for (const sql::Row& row : r.rows())
    rows_.push_back({KVTCut(row["REFERENCE"], 49), KVTCut(row["LOCATION"], 49), row.Num("RECNO")});
  error_.clear();
  return true;
}

KVTPeriodClear::Step KVTPeriodClear::Next() {
  if (next_ >= rows_.size()) return Step::Finished;
  current_ = rows_[next_++];
  sql::Transaction unit;
  if (!unit.ok()) return error_ = unit.error(), Step::Failed;
  sql::Result r = update_.Run({sql::Number(current_.recno)});
  if (!r.ok()) return error_ = r.error(), Step::Failed;
  if (!unit.Commit()) return error_ = unit.error(), Step::Failed;
  return r.changed() < 1 ? Step::Missing : Step::Cleared;
}
