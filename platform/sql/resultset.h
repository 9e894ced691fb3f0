// Form result sets: a screen's fields bound to the columns of one table's
// row, read and written by record number.
//
// The forms runtime implements KVTRecordFields for a screen: the names of
// its fields that are columns, and their texts. Fields whose name is not a
// column of the table are left alone; columns the screen does not show keep
// their stored values.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"

struct KVTRecordFields {
  virtual std::vector<std::string> Columns() const = 0;
  virtual std::string Get(const std::string& column) const = 0;
  virtual void Set(const std::string& column, const std::string& value) = 0;
  virtual ~KVTRecordFields() = default;
};

struct KVTResultSet;
using HVWRS = KVTResultSet*;

// The result set binding `screen` to `table` on connection 1 (the screen must
// outlive it); null when connection 1 is closed or the table is not there.
// Free it with vwFreeResultSet.
KVT_EXPORT HVWRS vwGetFormResultSet(KVTRecordFields* screen, const char* table);
KVT_EXPORT void vwFreeResultSet(HVWRS rs);

// Starts a new record: the bound fields are emptied and RECNO set to "0"; the
// next save inserts once the screen has put a record number in RECNO.
KVT_EXPORT int vwRSNew(HVWRS rs);
// Loads the row with this RECNO into the bound fields: 1 when found, 0 when
// not (the fields are then left as they were).
KVT_EXPORT int vwRSLoad(HVWRS rs, double recno);
// Writes the bound fields to the row whose RECNO is the screen's RECNO field:
// an UPDATE when that row exists, else an INSERT. Dates are written as dates,
// numbers as numbers. 1 on success; 0 when RECNO is empty or 0 or the write
// failed (KVTLastSqlError says why).
KVT_EXPORT int vwRSSave(HVWRS rs);
// Empties every bound field. Returns 1.
KVT_EXPORT int vwClearFields(HVWRS rs);
