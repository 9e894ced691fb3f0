// The sale screen ready to save on a fixture database: the POS configuration
// record and a store with their counters, the inventory default location,
// a host window that hands out the inventory module (ModuleHost: message
// 7000), a logged-in PVpos1Dlg with instance id "A", the scripted user for
// message boxes, and today fixed at 03/15/2024.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "tests/pricing/pricing_fixture.h"
#include "tests/sale/sale_lines.h"
#include "tests/support/testdb.h"

class SaveTest : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    kvt::test::DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    user.Install();
    KVTResetModuleState();
    KVTSetSetting(CFG_USEINVENTORY, "T");
    KVTSetSetting(CFG_UPDATEQOH, "T");
    KVTSetSetting(CFG_USECSTORE, "F");
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    ASSERT_TRUE(db().Add(
        "KVTPOS10",
        {{"RECNO", "1"}, {"NEXTSLNUM", "1001"}, {"NEXTSLLNK", "501"}, {"USESTNSNUM", "F"}}))
        << db().error();
    ASSERT_TRUE(
        db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"LOCATION", "01"}, {"NEXTSLNUM", "7001"}}))
        << db().error();
    ASSERT_TRUE(db().Add("KVTINV17", {{"CONFIG10", "01"}})) << db().error();
    host = std::make_unique<ModuleHost>();
    dlg = std::make_unique<PVpos1Dlg>(host->Window());
    ASSERT_TRUE(dlg->Create());
    LogInScreen(*dlg, "MAIN", "1", "1", "100", "03152024");
    dlg->sInstanceID = "A";
  }
  void TearDown() override {
    dlg.reset();
    host.reset();
    KVTSqlClearFaults();
    KVTSetToday("");
    KVTResetModuleState();
    kvt::test::DatabaseTest::TearDown();
  }

  void Exec(const std::string& sql) {
    KVTSConnection s(1, nullptr, 0);
    ASSERT_GE(s.ExecSQLChange(sql.c_str()), 0) << sql << ": " << s.LastError();
  }
  void AddStock(const std::string& ref, const std::string& qoh, const std::string& loc = "01") {
    ASSERT_TRUE(db().Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", loc}, {"QTYONHAND", qoh}}))
        << db().error();
  }
  std::string Qoh(const std::string& ref, const std::string& loc = "01") {
    return db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = '" + ref +
                      "' AND LOCATION = '" + loc + "'");
  }
  void AddCategory(const std::string& ref, const std::string& qty = "0.000",
                   const std::string& dol = "0.00") {
    ASSERT_TRUE(db().Add("KVTCOM12", {{"REFERENCE", ref},
                                      {"LOCATION", "MAIN"},
                                      {"CURQTY3", qty},
                                      {"CURDOL3", dol},
                                      {"MTDQTY3", qty},
                                      {"MTDDOL3", dol},
                                      {"YTDQTY3", qty},
                                      {"YTDDOL3", dol}}))
        << db().error();
  }
  // CURQTY3 CURDOL3 MTDQTY3 MTDDOL3 YTDQTY3 YTDDOL3 of a category, blank-separated.
  std::string History(const std::string& ref) {
    auto rows = db().Rows(
        "SELECT CURQTY3,CURDOL3,MTDQTY3,MTDDOL3,YTDQTY3,YTDDOL3 FROM KVTCOM12 WHERE REFERENCE = '" +
        ref + "'");
    if (rows.empty()) return "(none)";
    std::string out;
    for (const std::string& v : rows[0]) out += (out.empty() ? "" : " ") + v;
    return out;
  }

  bool Save(const char* type = "S", const char* status = "C") {
    PVpos1Dlg::SaleTexts texts;
    texts.taxAmt = taxTotal;
    return dlg->SaveOrder(type, status, texts);
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }
  std::string Field(int id) const { return dlg->GetFieldText(id); }

  KVTHeadlessBackend user;
  std::unique_ptr<ModuleHost> host;
  std::unique_ptr<PVpos1Dlg> dlg;
  std::string taxTotal;  // the tax amount Save passes
};
