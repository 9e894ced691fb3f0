// A store ready to save sales on a fixture database: the POS configuration
// record and store MAIN with their counters, the inventory default location,
// a host window that hands out the inventory module (ModuleHost: message
// 7000), the sale writer on it with the header of a logged-in till, the
// scripted user for message boxes, and today fixed at 03/15/2024.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"
#include "sale/writer.h"
#include "shell/globals.h"
#include "tests/pricing/pricing_fixture.h"
#include "tests/support/testdb.h"

// A sale line: reference, quantity, price, amount ("VOID" voids it), then
// "F" food stamps / "T" taxable, item link (empty: the next record number),
// category, cost, till code, location, non-tax category, inventory item
// behind a till code.
inline kvt::sale::Line SoldLine(std::string ref, std::string qty, std::string price,
                                std::string amount, std::string flags = "", std::string link = "",
                                std::string category = "", std::string cost = "",
                                std::string tillCode = "", std::string location = "01",
                                std::string nonTaxCat = "", std::string invRef = "") {
  if (link.empty()) link = std::to_string(static_cast<long>(NextNum(1, "KVTPOS2", 100, 0)));
  auto flag = [&](char f) { return flags.find(f) == std::string::npos ? "N" : "Y"; };
  // clang-format off
  return kvt::sale::LineFromCells({ref, ref, qty, price, amount, flag('F'), "", "0", link, tillCode,
                                   flag('T'), location, category, "", cost, "", "", "", nonTaxCat,
                                   invRef});
  // clang-format on
}

class SaveTest : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    user.Install();
    KVTResetModuleState();
    KVTSetSetting(CFG_USEINVENTORY, "T");
    KVTSetSetting(CFG_UPDATEQOH, "T");
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    Add("KVTPOS10",
        {{"RECNO", "1"}, {"NEXTSLNUM", "1001"}, {"NEXTSLLNK", "501"}, {"USESTNSNUM", "F"}});
    Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"LOCATION", "01"}, {"NEXTSLNUM", "7001"}});
    Add("KVTINV17", {{"CONFIG10", "01"}});
    host = std::make_unique<ModuleHost>();
    writer = std::make_unique<kvt::sale::SaleWriter>(host->Window());
    NewSale();
  }
  void TearDown() override {
    writer.reset();
    host.reset();
    KVTSqlClearFaults();
    KVTSetToday("");
    KVTResetModuleState();
    kvt::test::DatabaseTest::TearDown();
  }

  // A sale screen logged in to the writer's till: store MAIN, till 2, shift 3.
  std::unique_ptr<PVpos1Dlg> OpenSaleScreen() {
    auto dlg = std::make_unique<PVpos1Dlg>(host->Window());
    EXPECT_TRUE(dlg->Create());
    for (auto [id, value] : {std::pair{IDC_STORE, "MAIN"},
                             {IDC_TILLREF, "2"},
                             {IDC_SHIFT, "3"},
                             {IDC_EMPLOYEE, "100"},
                             {IDC_SHIFTDATE, "03152024"}})
      dlg->SetFieldVar(id, value);
    dlg->sInstanceID = "A";
    return dlg;
  }
  void Exec(const std::string& sql) {
    kvt::sql::Result r = kvt::sql::Run(sql);
    ASSERT_TRUE(r.ok()) << sql << ": " << r.error();
  }
  void AddStock(const std::string& ref, const std::string& qoh) {
    Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"QTYONHAND", qoh}});
  }
  std::string Qoh(const std::string& ref) {
    return db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = '" + ref + "'");
  }
  void AddCategory(const std::string& ref, const std::string& qty = "0.000",
                   const std::string& dol = "0.00") {
    kvt::schema::Row row = {{"REFERENCE", ref}, {"LOCATION", "MAIN"}};
    for (const char* period : {"CUR", "MTD", "YTD"})
      row.insert(row.end(),
                 {{period + std::string("QTY3"), qty}, {period + std::string("DOL3"), dol}});
    Add("KVTCOM12", row);
  }
  // CURQTY3 CURDOL3 MTDQTY3 MTDDOL3 YTDQTY3 YTDDOL3 of a category, blank-separated.
  std::string History(const std::string& ref) {
    std::string out;
    for (const auto& row : db().Rows("SELECT CURQTY3,CURDOL3,MTDQTY3,MTDDOL3,YTDQTY3,YTDDOL3 FROM "
                                     "KVTCOM12 WHERE REFERENCE = '" +
                                     ref + "'"))
      for (const std::string& v : row) out += (out.empty() ? "" : " ") + v;
    return out;
  }

  // A new sale of till 1, shift 1 in store MAIN: no number, link, lines or taxes.
  void NewSale() {
    header = {"", "", "", "", 0, "MAIN", "1", "1", "100", "03152024", "03152024", "10:30:00", {}};
    lines.clear();
    taxes.clear();
  }
  // Adds a taxable line with one tax row of `tax`; returns its item link.
  std::string AddTaxedLine(const std::string& ref, const std::string& amount,
                           const std::string& tax) {
    lines.push_back(SoldLine(ref, "1", amount, amount, "T"));
    taxes.push_back({"ST", "10.000", tax, lines.back().itemLink});
    return lines.back().itemLink;
  }
  bool Save(const char* type = "S", const char* status = "C") {
    header.transType = type;
    header.status = status;
    return writer->Save(header, lines, taxes, "A");
  }
  std::vector<std::string> Notices() {
    std::vector<std::string> out;
    for (const kvt::sale::Notice& n : writer->TakeNotices()) out.push_back(n.text);
    return out;
  }

  KVTHeadlessBackend user;
  std::unique_ptr<ModuleHost> host;
  std::unique_ptr<kvt::sale::SaleWriter> writer;
  kvt::sale::Header header;
  std::vector<kvt::sale::Line> lines;
  std::vector<kvt::sale::TaxLine> taxes;
};
