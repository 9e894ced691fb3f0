// A till shift as the login opens it, without screens: the codes an operator
// keys, checked against the master tables; what the shift's sales say about
// it (new, being continued, or closed by a transfer); and its open-shift
// record in KVTPOS9. Every answer says whether the database could be read: a
// failure carries the database's message and is never taken for "not there".
#pragma once

#include <string>
#include <string_view>

#include "platform/sql/query.h"

enum class KVTShiftState { New, Continued, Closed, Failed };

class KVTTillShift {
 public:
  // `date` as the login screen holds it (MMDDYYYY) or as MM/DD/YYYY.
  KVTTillShift(std::string_view store, std::string_view date, std::string_view till,
               std::string_view shift);

  // Found::Yes when the master table has the code (blanks around it do not
  // count): KVTCOM13 stores, KVTCOM14 tills of a store, KVTCOM11 employees,
  // KVTCOM10 shifts.
  static kvt::sql::Result FindStore(std::string_view ref);
  static kvt::sql::Result FindTill(std::string_view till, std::string_view store);
  static kvt::sql::Result FindEmployee(std::string_view ref);
  static kvt::sql::Result FindShift(std::string_view ref);

  // New when the shift has no sales, Closed when its latest transfer number
  // is set (a sale of it was transferred), Continued otherwise; Failed, with
  // error(), when its sales could not be read.
  KVTShiftState State();
  // Records the open shift in KVTPOS9 with a new record number, or ends it
  // (a record already gone is no failure). False with error().
  bool RecordOpen();
  bool EndOpen();
  const std::string& error() const { return error_; }

 private:
  std::string store_, date_, till_, shift_, error_;
};
