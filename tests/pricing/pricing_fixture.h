// What the pricing tests share: a host window that hands out the inventory
// module, and rows written one line a test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/host.h"
#include "platform/win/module.h"
#include "tests/support/testdb.h"

// Answers module requests (message 7000) by loading the file the test maps
// the name to ("KVTINV.DLL" -> "KVTINV.DLL" by default); unmapped names get
// 0, as from a host without that module.
class ModuleHost {
 public:
  ModuleHost() {
    window_ = KVTCreateMDIHost("Host", [this](HWND, UINT msg, WPARAM, LPARAM lp) -> LRESULT {
      if (msg != KVT_MODULE_REQUEST) return 0;
      std::string name = reinterpret_cast<const char*>(lp);
      requested.push_back(name);
      auto it = modules.find(name);
      if (it == modules.end()) return 0;
      return reinterpret_cast<LRESULT>(LoadLibrary(it->second.c_str()));
    });
  }
  ~ModuleHost() { DestroyWindow(window_); }
  HWND Window() const { return window_; }

  std::map<std::string, std::string> modules{{"KVTINV.DLL", "KVTINV.DLL"}};
  std::vector<std::string> requested;

 private:
  HWND window_ = nullptr;
};

// Rows for a test, one line: "TABLE COL=VALUE COL=VALUE; TABLE ..." (values
// without blanks; "COL=" is empty). Every row starts from `extra`.
inline ::testing::AssertionResult AddRows(kvt::test::TestDatabase& db, const std::string& spec,
                                          const kvt::schema::Row& extra = {}) {
  std::istringstream rows(spec);
  for (std::string one; std::getline(rows, one, ';');) {
    std::istringstream in(one);
    std::string table, pair;
    kvt::schema::Row row = extra;
    in >> table;
    while (in >> pair) {  // a column given again takes the later value
      std::string col = pair.substr(0, pair.find('='));
      std::erase_if(row, [&](const auto& kv) { return kv.first == col; });
      row.push_back({col, pair.substr(pair.find('=') + 1)});
    }
    if (!table.empty() && !db.Add(table, row)) return ::testing::AssertionFailure() << db.error();
  }
  return ::testing::AssertionSuccess();
}
