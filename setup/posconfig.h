// The POS configuration record (the KVTPOS10 row whose STORE, TILLREF and
// SLSMAN are empty) as the six tabs of the configuration screen edit it,
// without screens: every column with its tab, its caption and its kind, the
// record read and written whole, and the check that flags hold "T" or "F"
// and numbers are numbers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/sql/query.h"

enum class KVTConfigKind { Flag, Number, Text };

struct KVTConfigColumn {
  const char* column;
  int tab;  // 1 General, 2 Entry, 3 Payment, 4 Additional payment, 5 Printing, 6 Transfer
  const char* caption;
  KVTConfigKind kind;
  int width;  // characters the setting holds
};

// Every column of the record, in tab order, but its keys, its record number
// and the sale number and link counters, which the tills advance while the
// screen is open (the sale number is set on the computer configuration).
const std::vector<KVTConfigColumn>& KVTConfigColumns();

using KVTConfigValues = std::map<std::string, std::string>;

class KVTPOSConfigRecord {
 public:
  // The record's columns; Found::No (values empty) when there is none yet.
  kvt::sql::Found Read(KVTConfigValues* values);
  // The first column whose value is not of its kind (blanks around values
  // do not count; a number may be empty), with the message to show; "" when
  // all are good.
  static std::string Check(const KVTConfigValues& values, std::string* message);
  // Checks, then writes every column in one transaction (the record is made
  // when there is none). False with error(), nothing written.
  bool Write(const KVTConfigValues& values);
  const std::string& error() const { return error_; }

 private:
  std::string error_;
};
