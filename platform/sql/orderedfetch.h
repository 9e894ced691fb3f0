// Stepping through one table's rows in key order, one record at a time, the
// way the back-office screens browse sales and bank accounts.
//
//   OrderedFetch fetch;
//   fetch.OpenConnection(app, owner, 1, "KVTPOS1");
//   fetch.SetFetchScript("SELECT %s FROM KVTPOS1 WHERE STATUS <> 'S'",
//                        "INVOICENUM, INVDATE, ..., RECNO", "INVOICENUM", 50);
//   while (fetch.NextRecord()) use(fetch.Column("INVOICENUM"));
//
// The script holds "%s" for the column list and, optionally, a second "%s"
// for the table name. The key is one column or several, each optionally
// followed by DESC ("INVDATE DESC, RECNO DESC"). Rows with equal keys follow
// each other by RECNO, so every row is reached once; the table needs a RECNO
// column. NULL keys come first in ascending order on every backend.
//
// Each step reads the database again, so rows written by other tills meanwhile
// are seen. Runs on connection 1; failures are false, with LastError().
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/win/window.h"

class KVT_EXPORT OrderedFetch {
 public:
  OrderedFetch();
  ~OrderedFetch();
  OrderedFetch(const OrderedFetch&) = delete;
  OrderedFetch& operator=(const OrderedFetch&) = delete;

  // The table to step through. False when connection 1 is not open or the
  // name is not a table name.
  bool OpenConnection(HINSTANCE host, HWND owner, int connectionNumber, const char* table);
  // Sets what is read and in which order; forgets the current record.
  // `keyWidth` is the width the screens keep for a key value (50); key values
  // are compared in the database, so it only bounds KeyValue().
  bool SetFetchScript(const char* script, const char* columns, const char* keyColumns,
                      int keyWidth = 50);
  // Changes the order and keeps the current record, so Next and Previous step
  // from it in the new order.
  bool SetFetchOrder(const char* keyColumns);

  // The first or last record in key order. False when there is none.
  bool FirstRecord();
  bool LastRecord();
  // The record after / before the current one (the first / last when there is
  // no current record). False, with the current record kept, at the end.
  bool NextRecord();
  bool PreviousRecord();
  // Makes the row with this RECNO current when the script shows it.
  bool FindRecNo(double recno);
  // Forgets the current record: the next NextRecord gives the first.
  void Reset();

  bool HasRecord() const;
  double RecNo() const;
  int ColumnCount() const;
  // The current record's column, 1-based or by name (without regard to case);
  // "" when there is no record or no such column.
  const char* Column(int column) const;
  const char* Column(const char* name) const;
  // The first key column of the current record, cut to the key width.
  std::string KeyValue() const;

  const char* LastError() const;

 private:
  struct Impl;
  Impl* impl_;
};
