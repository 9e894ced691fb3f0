// One table-maintenance screen for the setup entries of the suite's other
// modules (shifts, stores, tills, employees, sales categories, tax codes,
// tax authorities, batches, card types, customers): the table's rows in a
// grid, an edit field per column, and Add, Change, Delete and Clear.
//
// Add and Change refuse a required field left empty ("Shift is required.")
// and a key already used by another row ("A record with this Shift already
// exists."), each with an "Error" box and the focus on the field; Delete asks
// first, No being the default. Every change is one statement with bound
// values; rows get their RECNO from NextNum.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/win/window.h"

struct KVTMaintColumn {
  std::string column;  // text column of the table
  std::string label;   // "Shift"
  int width = 10;      // characters
  bool key = false;    // part of the key that must be unique
  bool required = false;
};

struct KVTMaintTable {
  std::string table;      // "KVTCOM10"
  std::string className;  // window class of the screen, for the singleton test
  std::string caption;    // "Shifts Setup"
  std::vector<KVTMaintColumn> columns;
};

// Opens the screen in the host's MDI client (an open one for the same table
// comes to the front instead). `presetKey` fills the first key field and
// shows that row when it exists. False when the host has no MDI client.
KVT_EXPORT bool KVTOpenTableMaintenance(HWND parent, const KVTMaintTable& table,
                                        const std::string& presetKey = "");
