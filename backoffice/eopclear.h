// End of Day, Month and Year without screens: the sales categories of every
// store or of one store (KVTCOM12 rows whose LOCATION is the store) have
// their sales history counters cleared, one category at a time. End of Day
// clears the current period (CURQTY3, CURDOL3), End of Month also the month
// to date (MTDQTY3, MTDDOL3), End of Year also the year to date (YTDQTY3,
// YTDDOL3). Each category is cleared in a scoped transaction of its own, so
// a run stopped half way leaves every category either wholly cleared or
// untouched, and those cleared stay cleared.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/query.h"

// The period modes as the periodic screens number them.
enum KVTPeriodMode : int { KVT_END_OF_DAY = 1, KVT_END_OF_MONTH = 2, KVT_END_OF_YEAR = 3 };

// "End of Day", "End of Month", "End of Year"; "" for another mode.
const char* KVTPeriodName(int mode);

// One category as the run reads it.
struct KVTCategoryRef {
  std::string reference;
  std::string location;
  double recno = 0;
};

class KVTPeriodClear {
 public:
  // What clearing one category did.
  enum class Step {
    Cleared,   // its counters are zero now
    Missing,   // no row had its record number any more (deleted meanwhile)
    Failed,    // the database refused it: error() says why; nothing changed
    Finished,  // no category was left to clear
  };

  // `store` empty: every store. Blanks around the store do not count.
  KVTPeriodClear(int mode, std::string_view store);

  // The UPDATE that clears one category for `mode`, its record number bound
  // last; "" for a mode other than 1 to 3.
  static std::string UpdateSql(int mode);

  // How many categories the run covers; false with error() when they could
  // not be counted.
  bool Count(long* count);
  // Reads the categories to clear; false with error() for an unknown mode
  // or when they could not be read. Nothing is cleared yet.
  bool Start();
  // Clears the next category read by Start (Current() names it).
  Step Next();
  // The category of the last Next (empty before the first).
  const KVTCategoryRef& Current() const { return current_; }
  std::size_t Stepped() const { return next_; }
  std::size_t Total() const { return rows_.size(); }
  int mode() const { return mode_; }
  const std::string& store() const { return store_; }
  const std::string& error() const { return error_; }

 private:
  int mode_;
  std::string store_, error_;
  std::vector<KVTCategoryRef> rows_;
  std::size_t next_ = 0;
  KVTCategoryRef current_;
  kvt::sql::Query update_;
};
