// The sale screen on a fixture database: a host window that hands out the
// inventory module (message 7000), a PVpos1Dlg made in it, the price
// settings of a two-decimal store, today set by the test, and helpers to lay
// lines into the sale grid.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/host.h"
#include "platform/win/module.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "tests/support/testdb.h"

// A top window that answers module requests by loading the file the test
// maps the name to ("KVTINV.DLL" -> "KVTINV.DLL" by default); unmapped names
// get 0, as from a host without that module.
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

// A sale line: reference, quantity, unit price, amount ("VOID" voids it),
// mix number, quantity-pricing kind.
struct GridLine {
  std::string ref, qty, price, amount, mix, kind;
};

class PricingScreenTest : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    KVTSetSetting(CFG_DISPLAYPRICEEACH, "F");
    KVTSetSetting(INVENTORY_LOCATION, "01");
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    host = std::make_unique<ModuleHost>();
    dlg = std::make_unique<PVpos1Dlg>(host->Window());
    ASSERT_TRUE(dlg->Create());
    KVTSetSetting(dlg->Data.STORE, "MAIN");
    KVTSetSetting(dlg->Data.TILLREF, "1");
    KVTSetSetting(dlg->Data.SHIFTDATE, "03152024");
  }
  void TearDown() override {
    dlg.reset();
    host.reset();
    KVTSetToday("");
    KVTResetModuleState();
    kvt::test::DatabaseTest::TearDown();
  }

  // An item at location "01" with its list price and cost.
  void AddItem(const std::string& ref, const std::string& price, const std::string& cost = "") {
    ASSERT_TRUE(db().Add("KVTINV1", {{"REFERENCE", ref}, {"DESCRIPT", ref}, {"INACTIVE", "F"}}))
        << db().error();
    ASSERT_TRUE(db().Add(
        "KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"LISTPRICE", price}, {"COST", cost}}))
        << db().error();
  }

  void AddLines(const std::vector<GridLine>& lines) {
    TDataTbl& grid = dlg->SaleGrid();
    for (const GridLine& l : lines) {
      int row = grid.InsertRow();
      grid.SetCell(COL_REF, row, l.ref);
      grid.SetCell(COL_QTY, row, l.qty);
      grid.SetCell(COL_PRICE, row, l.price);
      grid.SetCell(COL_AMOUNT, row, l.amount);
      grid.SetCell(COL_MIXNUM, row, l.mix);
      grid.SetCell(COL_QTYPRICING, row, l.kind);
    }
  }

  // "price amount" of every line, in grid order.
  std::vector<std::string> PricesAndAmounts() const {
    std::vector<std::string> out;
    const TDataTbl& grid = dlg->SaleGrid();
    for (int row = 0; row < grid.GetRowCount(); ++row)
      out.push_back(grid.GetCell(COL_PRICE, row) + " " + grid.GetCell(COL_AMOUNT, row));
    return out;
  }

  void Exec(const std::string& sql) {
    KVTSConnection s(1, nullptr, 0);
    ASSERT_GE(s.ExecSQLChange(sql.c_str()), 0) << s.LastError();
  }

  std::string Cell(int col, int row) const { return dlg->SaleGrid().GetCell(col, row); }

  std::unique_ptr<ModuleHost> host;
  std::unique_ptr<PVpos1Dlg> dlg;
};
