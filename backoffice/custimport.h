// The customer import without screens: the file table ICUST of a work
// folder (connection 3) replaces every customer of the accounts-receivable
// tables. Each ICUST row becomes one customer in KVTAR50 (master), KVTAR54
// (aging), KVTAR57 (telephone, linked by the customer's record number),
// KVTAR51 (credit settings) and KVTAR55 (comment). The old customers are
// deleted and the new ones inserted in one transaction: a failure anywhere
// leaves the customer tables as they were.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// An ICUST value as the import keeps it: every apostrophe removed, then cut
// to 49 characters (never inside a character of several bytes).
std::string KVTCleanCustomerValue(std::string_view raw);

// The folder the archive is looked for in: trimmed, with a trailing "/"
// unless it ends in one ("/" or "\\").
std::string KVTImportFolder(std::string_view path);
// Where the folder browser starts for `path`: without its trailing slash
// (when longer than 3 characters), else its nearest existing parent, else "".
std::string KVTBrowseStart(std::string_view path);

class KVTCustomerImport {
 public:
  // `workFolder` ends in "/" and holds ICUST.DBF once unpacked.
  explicit KVTCustomerImport(std::string workFolder);

  // The file table's name on connection 3: the work folder and "ICUST".
  const std::string& Table() const { return table_; }
  // Drops the table an earlier run left there; whether it was there does
  // not matter.
  void DropTable();
  // The number of ICUST rows; false (error()) when the table is missing or
  // cannot be read through.
  bool Count(long* rows);
  // Deletes every customer and inserts one per ICUST row, dated `today`
  // (MMDDYYYY); `progress` runs after each customer with the count so far.
  // False when anything failed: nothing changed, error() says why and,
  // when an insert failed, failedTable() names its table ("KVTAR54") and
  // failedCustomer() the row's IC_CODE.
  bool Replace(const std::string& today, const std::function<void(long done)>& progress = {});

  long imported() const { return imported_; }
  const std::string& error() const { return error_; }
  const std::string& failedTable() const { return failedTable_; }
  const std::string& failedCustomer() const { return failedCustomer_; }

 private:
  bool Fail(std::string error, std::string table = "", std::string customer = "");
  std::string table_;
  long imported_ = 0;
  std::string error_, failedTable_, failedCustomer_;
};
