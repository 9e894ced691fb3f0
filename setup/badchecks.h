// The bad check list without screens: whether a bank account may be saved
// under a record number (KVTPOS11 keeps each account once), and the removal
// of a record. Every answer says whether the list could be read.
#pragma once

#include <string>
#include <string_view>

#include "platform/sql/query.h"

class KVTBadCheckList {
 public:
  enum class Verdict {
    Ok,         // the account is free, or already this record's own
    Empty,      // no account number
    Duplicate,  // another record holds the account
    Failed,     // the list could not be read: error() says why
  };
  // `account` as keyed (blanks around it do not count); `recno` 0 for a
  // record not saved yet.
  Verdict CheckAccount(std::string_view account, double recno);
  // Removes the record; a record already gone is no failure. False with error().
  bool Delete(double recno);
  const std::string& error() const { return error_; }

 private:
  std::string error_;
};
