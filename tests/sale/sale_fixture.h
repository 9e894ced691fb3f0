// A sale screen on a fixture database, with the headless front end as its
// user: the module settings a till has after login, a PVpos1Dlg made in a
// host window with its line-table model, and helpers to put lines and tax
// rows straight into its grids and read them back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"
#include "sale/pos1a.h"
#include "shell/globals.h"
#include "tests/support/till.h"

namespace kvt::test {

// One sale line as the tests write it; the other columns stay empty.
struct Line {
  std::string ref;
  std::string amount;
  std::string taxable = "Y";
  std::string recno = "";  // the item link; "" gives 1000 + row
  std::string fs = "N";
  std::string qty = "1";
  std::string price = "";
  std::string nonTaxCat = "";
  std::string category = "";
};

// One tax row: code, rate, cap, amount, item link.
struct TaxRow {
  std::string code, rate, max, amount, link;
};

class SaleScreenTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    KVTSetSetting(INVENTORY_LOCATION, "01");
    KVTSetSetting(CFG_USEINVENTORY, "T");
    KVTSetSetting(CFG_MAXDEPTCHARACTERS, "3");
    KVTSetSetting(CFG_MAXQTY, "9999");
    KVTSetSetting(CFG_MAXAMOUNT, "99999");
    KVTSetSetting(CFG_DISPLAYPRICEEACH, "T");
    KVTSetSetting(CFG_SALESTAXAUTH, "STATE");
    user.Install();
    ReadFormsThroughConnectionOne();
    host = KVTCreateMDIHost("Host");
    screen.reset(MakeScreen(host));
    ASSERT_TRUE(screen->Create());
    screen->CreateLineTableModel();
    screen->SetFieldVar(IDC_STORE, "MAIN");
  }

  void TearDown() override {
    screen.reset();
    KVTForms::Instance().CloseAll();
    if (host) DestroyWindow(host);
    SetFormsQuery({});
    KVTSqlClearFaults();
    KVTSetToday("");
    KVTResetModuleState();
    DatabaseTest::TearDown();
  }

  // The screen under test; a test fixture may make a subclass.
  virtual PVpos1Dlg* MakeScreen(HWND parent) { return new PVpos1Dlg(parent); }

  // A tax authority's codes with their rates and caps.
  void AddTaxCode(const std::string& auth, const std::string& code, const std::string& rate,
                  const std::string& cap = "") {
    Add("KVTAR16A", {{"TAXAUTH", auth}, {"TAXCODE", code}});
    Add("KVTAR19", {{"TAXCODE", code}, {"TAXRATE", rate}, {"AMOUNT", cap}});
  }

  // `row` with the columns of `more` set.
  static kvt::schema::Row With(kvt::schema::Row row, const kvt::schema::Row& more) {
    for (const auto& [column, value] : more) {
      auto it =
          std::find_if(row.begin(), row.end(), [&](const auto& c) { return c.first == column; });
      if (it == row.end())
        row.emplace_back(column, value);
      else
        it->second = value;
    }
    return row;
  }
  // An active item "Item REF" at location 01 at `price`; `prb` and `inv1`
  // add to its pricing and item rows.
  void AddItem(const std::string& ref, const std::string& price = "4.00",
               const kvt::schema::Row& prb = {}, const kvt::schema::Row& inv1 = {}) {
    Add("KVTINV1",
        With({{"REFERENCE", ref}, {"DESCRIPT", "Item " + ref}, {"INACTIVE", "F"}}, inv1));
    Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"LISTPRICE", price}});
    Add("KVTPRB1", With({{"REFERENCE", ref}, {"LOCATION", "01"}}, prb));
  }
  // A till code "Code CODE" of `category` at store MAIN, 5.00 a unit, untaxed.
  void AddTillCode(const std::string& code, const std::string& category,
                   const kvt::schema::Row& more = {}) {
    Add("KVTCOM12", With({{"TILLCODE", code},
                          {"REFERENCE", category},
                          {"LOCATION", "MAIN"},
                          {"DESCRIPT", "Code " + code},
                          {"RETUNIT", "5.00"},
                          {"TAXABLE", "0"}},
                         more));
  }

  // The cashier types `text` into `field` and presses Enter.
  void Leave(int field, const std::string& text) {
    screen->UnprotectField(field);
    screen->KVTSetFieldFocus(field);
    screen->SetFieldText(field, "");
    if (!text.empty()) screen->UserType(text);
    screen->UserKey(KVTKey{VK_RETURN});
  }
  // Appends a line to the sale grid; returns its row.
  int AddLine(const Line& l) {
    TDataTbl& g = screen->SaleGrid();
    int row = g.InsertRow();
    const std::string recno = l.recno.empty() ? std::to_string(1000 + row) : l.recno;
    // clang-format off
    for (auto [col, value] : {std::pair<int, const std::string*>{COL_REF, &l.ref}, {COL_QTY, &l.qty},
                              {COL_PRICE, &l.price}, {COL_AMOUNT, &l.amount}, {COL_FS, &l.fs}, {COL_RECNO, &recno},
                              {COL_TAXABLE, &l.taxable}, {COL_CATEGORY, &l.category}, {COL_NONTAXCAT, &l.nonTaxCat}})
      g.SetCell(col, row, *value);
    // clang-format on
    screen->OrderHasItems = 1;
    return row;
  }
  // A line with its tax rows loaded as a new taxable line gets them.
  int AddTaxedLine(const Line& l) {
    int row = AddLine(l);
    if (l.taxable == "Y")
      screen->FindTaxAuth(l.category.c_str(), screen->SaleGrid().GetCell(COL_RECNO, row).c_str());
    return row;
  }
  void AddTaxRow(const TaxRow& t) {
    TDataTbl& g = screen->TaxGrid();
    int row = g.InsertRow(), col = TAXCOL_CODE;  // the columns in the order of TaxRow
    for (const std::string* value : {&t.code, &t.rate, &t.max, &t.amount, &t.link})
      g.SetCell(col++, row, *value);
  }

  static std::vector<std::string> Column(const TDataTbl& g, int col) {
    std::vector<std::string> out;
    for (int r = 0; r < g.GetRowCount(); ++r) out.push_back(g.GetCell(col, r));
    return out;
  }
  std::vector<std::vector<std::string>> TaxRows() const {
    const TDataTbl& g = screen->TaxGrid();
    std::vector<std::vector<std::string>> out(static_cast<std::size_t>(g.GetRowCount()));
    for (int r = 0; r < g.GetRowCount(); ++r)
      for (int c = 0; c < g.GetColCount(); ++c)
        out[static_cast<std::size_t>(r)].push_back(g.GetCell(c, r));
    return out;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }
  void ExpectNoFailures() {
    user.Finish();
    for (const std::string& f : user.Failures()) ADD_FAILURE() << f;
  }

  KVTHeadlessBackend user;
  HWND host = nullptr;
  std::unique_ptr<PVpos1Dlg> screen;
};

}  // namespace kvt::test
