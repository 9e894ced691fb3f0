// The module as the host sees it: loaded through the host shell logic, its
// exports called by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/sql/query.h"
#include "platform/win/folders.h"
#include "platform/win/module.h"
#include "platform/win/profile.h"
#include "suite/host/host.h"
#include "tests/support/testdb.h"

namespace {

using kvt::test::DatabaseTest;

class Exports : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    user_.Install();
    host_ = std::make_unique<KVTHost>();
    ASSERT_TRUE(host_->LoadPointOfSale()) << host_->LastError();
    ms_ = host_->RequestModule("KVTMS.DLL");
    ASSERT_NE(ms_, nullptr);
  }
  void TearDown() override {
    KVTSqlClearFaults();
    KVTForms::Instance().CloseAll();
    host_.reset();
    DatabaseTest::TearDown();
  }

  template <typename Fn>
  Fn Export(const char* name) {
    auto fn = reinterpret_cast<Fn>(host_->Export(name));
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
  const char* WhatCanIDo(const char* category) {
    return Export<const char* (*)(const char*)>("KVTWhatCanIDo")(category);
  }
  // The entries the module put in the menu system, as "DLL|export".
  std::vector<std::string> MenuCalls() {
    std::vector<std::string> out;
    int n = GetProc<int (*)()>(ms_, "MenuOptionCount")();
    auto at = GetProc<bool (*)(int, const char**, const char**, const char**, const char**)>(
        ms_, "MenuOptionAt");
    for (int i = 0; i < n; ++i) {
      const char *dll, *call, *name, *report;
      at(i, &dll, &call, &name, &report);
      out.push_back(std::string(dll) + "|" + call);
    }
    return out;
  }
  // The exports a capability list names ("text,export,text,export").
  std::vector<std::string> ListedExports(const char* category) {
    std::vector<std::string> out;
    std::istringstream in(WhatCanIDo(category));
    std::string part;
    for (int i = 0; std::getline(in, part, ','); ++i)
      if (i % 2) out.push_back(part.substr(part.find_first_not_of(' ')));
    return out;
  }
  // Re-reads the back-office system code and feature switches, as at start.
  void Reinitialize() { Export<int (*)(HINSTANCE)>("Initialize")(host_->Instance()); }

  KVTHeadlessBackend user_;
  std::unique_ptr<KVTHost> host_;
  HMODULE ms_ = nullptr;
};

TEST_P(Exports, CategoriesAnswerAndUnknownOnesAreNull) {
  EXPECT_STREQ(WhatCanIDo("CATEGORIES"), "REPORTS");
  EXPECT_STREQ(WhatCanIDo("REPORTS"), "");
  EXPECT_NE(Export<void*>(WhatCanIDo("RUNAFTERLOGIN")), nullptr);
  EXPECT_EQ(WhatCanIDo("setup"), nullptr) << "categories compare exactly";
  EXPECT_EQ(WhatCanIDo("MAINTENANCE"), nullptr);
  // The host loads what the module forwards to.
  std::string required = std::string(",") + WhatCanIDo("REQUIREDDLLS") + ",";
  for (const char* dll : {"KVTMS.DLL", "KVTCOM.DLL", "KVTAR.DLL", "KVTCTM.DLL", "KVTFUEL.DLL"})
    EXPECT_NE(required.find(std::string(",") + dll + ","), std::string::npos) << dll;
}

TEST_P(Exports, MenusNameExportsOfTheModuleAndFollowTheSwitches) {
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}})) << db().error();
  for (const char* till : {"F", "D"})
    ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", till}, {"CONTYPE", till}}));
  WritePrivateProfileString("Point of Sale", "DefaultStore", "MAIN", "kvtlocal.ini");
  // clang-format off
  struct Case { const char* bo; const char* machine; const char* till; bool badCards; const char* inMenu; const char* notInMenu; } cases[] = {
      {"0", "",           "",  false, "POSLogin DoExportData DoImportData", "GetBadCC ShowImportDataForm"},
      {"1", "TILL",       "F", true,  "GetBadCC DoExportData ShowImportDataForm", "DoImportData"},
      {"2", "",           "",  true,  "GetBadCC DoImportData", "ShowImportDataForm"},
      {"3", "TILL",       "D", true,  "", ""},
      {"4", "BACKOFFICE", "",  true,  "", ""},
      {"1", "BACKOFFICE", "F", true,  "", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    ASSERT_TRUE(!c.badCards || db().Count("KVTCOM20") ||
                db().Add("KVTCOM20", {{"FEATURE", "20090"}}));
    ASSERT_TRUE(kvt::sql::Run("UPDATE KVTPOS10 SET BOSYSTEM = ?", {kvt::sql::Text(c.bo)}).ok());
    WritePrivateProfileString("Point of Sale", "MachineType", c.machine, "kvtlocal.ini");
    WritePrivateProfileString("Point of Sale", "DefaultTill", c.till, "kvtlocal.ini");
    Reinitialize();
    GetProc<void (*)()>(ms_, "ClearMenuOptions")();
    Export<int (*)(HINSTANCE)>("Setup")(host_->Instance());
    std::vector<std::string> menu = MenuCalls(), calls = ListedExports("SETUP");
    for (const auto& call : ListedExports("MAINTAINANCE")) calls.push_back(call);
    for (const auto& entry : menu) calls.push_back(entry.substr(entry.find('|') + 1));
    for (const auto& call : calls)
      EXPECT_NE(host_->Export(call.c_str()), nullptr) << call << " bo=" << c.bo;
    auto has = [&](const std::string& call) {
      return std::count(menu.begin(), menu.end(), "KVTPOS.DLL|" + call);
    };
    std::istringstream in(c.inMenu), out(c.notInMenu);
    for (std::string call; in >> call;) EXPECT_EQ(has(call), 1) << call << " bo=" << c.bo;
    for (std::string call; out >> call;) EXPECT_EQ(has(call), 0) << call << " bo=" << c.bo;
    std::string setup = WhatCanIDo("SETUP");
    EXPECT_EQ(setup, WhatCanIDo("SETUP")) << "rebuilt, not appended to";
    EXPECT_EQ(setup.find("GetBadCC") != std::string::npos, c.badCards);
  }
  std::remove("kvtlocal.ini");
  EXPECT_TRUE(user_.Messages().empty());
}

TEST_P(Exports, WhatIsMissingIsSaidPlainly) {
  HWND w = host_->MainWindow();
  // clang-format off
  struct Case { std::function<void()> call; const char* text; const char* caption; } cases[] = {
      {[&] { EXPECT_EQ(Export<int (*)(HWND)>("GetBadCC")(w), 0); }, "The form KV.PointOfSale.POSBadCreditCards (KVPointOfSale.dll) is not available on this system.", "Kovatel Software"},
      {[&] { Export<void (*)(HWND)>("ChangeCStoreCategory")(w); }, "Unknown function call.", "Abort"},
  };
  // clang-format on
  for (const auto& c : cases) {
    user_.Reset();
    c.call();
    ASSERT_EQ(user_.Messages().size(), 1u) << c.text;
    EXPECT_EQ(user_.Messages()[0].text, c.text);
    EXPECT_EQ(user_.Messages()[0].caption, c.caption);
  }
  // The setup module is there; only its convenience-store entries are not.
  Export<void (*)(HWND)>("DoShiftsSetup")(w);
  ASSERT_NE(KVTForms::Instance().ActiveScreen(), nullptr);
  EXPECT_EQ(KVTForms::Instance().ActiveScreen()->Caption(), "Shifts Setup");
}

TEST_P(Exports, SiblingScreensWithoutTheirModuleOpenNothing) {
  // A module directory without the sibling modules (the host has this module
  // and the menu system loaded already).
  std::string dir = GetModuleDirectory();
  ASSERT_TRUE(CreateFolder("nomodules"));
  SetModuleDirectory("nomodules");
  for (const char* name : {"DoShiftsSetup", "DoTaxCodesSetup", "DoCreditCardSetup",
                           "DoProductIDSetup", "ChangeCStoreCategory"})
    Export<void (*)(HWND)>(name)(host_->MainWindow());
  SetModuleDirectory(dir);
  EXPECT_TRUE(user_.Messages().empty());
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), nullptr);
}

TEST_P(Exports, DailySalesOpensOnceAndTheSecondCallReusesIt) {
  auto open = Export<int (*)(HWND)>("DoViewDailySales");
  EXPECT_NE(open(host_->MainWindow()), 0);
  EXPECT_EQ(open(host_->MainWindow()), 0);
  EXPECT_EQ(GetChildWindows(host_->MDIClient()).size(), 1u);
  // Periodic procedures are not reused: a second window opens.
  auto periodic = Export<int (*)(HWND)>("CreatePeriodicOpts");
  EXPECT_NE(periodic(host_->MainWindow()), 0);
  EXPECT_NE(periodic(host_->MainWindow()), 0);
  EXPECT_EQ(GetChildWindows(host_->MDIClient()).size(), 3u);
}

TEST_P(Exports, BackOfficeWindowsGoWhereTheyWereLastPut) {
  auto frameOf = [this](std::size_t i) {
    return KVTWindowObject::FromHandle(GetChildWindows(host_->MDIClient()).at(i));
  };
  std::remove("kvtlocal.ini");
  WritePrivateProfileString("MENUSYSTEM", "DialogXPos", "0", "kvtlocal.ini");
  WritePrivateProfileString("MENUSYSTEM", "DialogYPos", "80", "kvtlocal.ini");
  ASSERT_NE(Export<int (*)(HWND)>("CreatePeriodicOpts")(host_->MainWindow()), 0);
  KVTRect unset = frameOf(0)->GetWindowRect();
  EXPECT_FALSE(unset.x == 0 && unset.y == 80) << "0 counts as unset";

  WritePrivateProfileString("MENUSYSTEM", "DialogXPos", "120", "kvtlocal.ini");
  ASSERT_NE(Export<int (*)(HWND)>("CreatePeriodicOpts")(host_->MainWindow()), 0);
  KVTRect placed = frameOf(1)->GetWindowRect();
  EXPECT_EQ(placed.x, 120);
  EXPECT_EQ(placed.y, 80);
  EXPECT_EQ(placed.w, unset.w) << "the size is kept";

  // Screens without position restore ignore the setting.
  ASSERT_NE(Export<int (*)(HWND)>("DoExportData")(host_->MainWindow()), 0);
  EXPECT_NE(frameOf(2)->GetWindowRect().x, 120);
  std::remove("kvtlocal.ini");
}

TEST_P(Exports, ImportOfATillsSalesFile) {
  auto import = Export<int (*)(HWND, const char*)>("DoKVTPOSImportSalesInformation");
  // Not a repeat: the import runs, and in this version reports a failed import.
  EXPECT_EQ(import(host_->MainWindow(), " /data/ST-MAIN-1-A.zip | MAIN | 1 | A | 12/05/2026 | N "),
            2);
  // A repeat that the options popup does not confirm is not run.
  EXPECT_EQ(import(host_->MainWindow(), "/data/ST-MAIN-1-A.zip|MAIN|1|A|12/05/2026|Yes"), 0);
  // Nor one whose till settings cannot be read.
  user_.Reset();
  KVTSqlFailStatements("KVTCOM14");
  EXPECT_EQ(import(host_->MainWindow(), "/data/ST-MAIN-1-A.zip|MAIN|1|A|12/05/2026|Yes"), 2);
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_EQ(user_.Messages()[0].text.rfind(
                "The till's transfer settings (KVTCOM14) could not be read:", 0),
            0u);
}

KVT_ON_BOTH_BACKENDS(Exports);

}  // namespace
