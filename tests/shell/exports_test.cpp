// The module as the host sees it: loaded through the host shell logic, its
// exports called by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/win/folders.h"
#include "platform/win/module.h"
#include "platform/win/profile.h"

#include <cstdio>
#include "suite/host/host.h"
#include "suite/kvtms/kvtms.h"
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
    GetProc<void (*)()>(ms_, "ClearMenuOptions")();
  }
  void TearDown() override {
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
  std::vector<std::string> Menu() {
    std::vector<std::string> out;
    int n = GetProc<int (*)()>(ms_, "MenuOptionCount")();
    auto at = GetProc<bool (*)(int, const char**, const char**, const char**, const char**)>(
        ms_, "MenuOptionAt");
    for (int i = 0; i < n; ++i) {
      const char *dll, *call, *name, *report;
      at(i, &dll, &call, &name, &report);
      out.push_back(std::string(dll) + "|" + call + "|" + name + "|" + report);
    }
    return out;
  }
  // Re-reads the back-office system code and feature switches, as at start.
  void Reinitialize() { Export<int (*)(HINSTANCE)>("Initialize")(host_->Instance()); }

  KVTHeadlessBackend user_;
  std::unique_ptr<KVTHost> host_;
  HMODULE ms_ = nullptr;
};

TEST_P(Exports, CategoriesAnswerExactlyAndUnknownOnesAreNull) {
  EXPECT_STREQ(WhatCanIDo("CATEGORIES"), "REPORTS");
  EXPECT_STREQ(WhatCanIDo("RUNAFTERLOGIN"), "StartPOS");
  EXPECT_STREQ(WhatCanIDo("REPORTS"), "");
  EXPECT_STREQ(WhatCanIDo("REQUIREDDLLS"),
               "KVT016.DLL,KVTMS.DLL,KVTCOM.DLL,KVTCTM.DLL,KVTFUEL.DLL,KVTAR.DLL");
  EXPECT_EQ(WhatCanIDo("setup"), nullptr) << "categories compare exactly";
  EXPECT_EQ(WhatCanIDo("MAINTENANCE"), nullptr);
  std::string first = WhatCanIDo("SETUP");
  EXPECT_EQ(first, WhatCanIDo("SETUP")) << "rebuilt, not appended to";
  EXPECT_EQ(first.find("GetBadCC"), std::string::npos);
  ASSERT_TRUE(db().Add("KVTCOM20", {{"FEATURE", "20090"}})) << db().error();
  EXPECT_NE(std::string(WhatCanIDo("SETUP")).find("Bad Credit Cards, GetBadCC,"),
            std::string::npos);
}

TEST_P(Exports, MaintenanceListFollowsTheBackOfficeSystem) {
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"BOSYSTEM", "2"}})) << db().error();
  Reinitialize();
  EXPECT_STREQ(WhatCanIDo("MAINTAINANCE"),
               "POS Sales, POSLogin,View Daily Sales,DoViewDailySales,Export Sales, "
               "DoTransferSales,Import Sales, DoTransferSalesImport,Export Data, "
               "DoExportData,Import Data, DoImportData,Periodic Procedures,"
               "CreatePeriodicOpts,POS Transaction View,GetPOSView");
}

TEST_P(Exports, MenuEntriesInOrderWithFeatureAndBackOfficeSwitches) {
  const std::vector<std::string> always = {
      "KVTPOS.DLL|POSLogin|Point of Sale|N",
      "KVTPOS.DLL|DoViewDailySales|POS - View Daily Sales|N",
      "KVTPOS.DLL|DoTransferSales|POS - Export Sales|N",
      "KVTPOS.DLL|DoTransferSalesImport|POS - Import Sales|N",
      "KVTPOS.DLL|CreatePeriodicOpts|POS - Periodic Procedures|N",
      "KVTPOS.DLL|PurgeSales|POS - Purge Sales|N",
      "KVTPOS.DLL|DoBadCheckSetup|Enter/Edit Bad Checks|N",
      "KVTPOS.DLL|DoPOSConfig|POS - Configuration|N",
      "KVTPOS.DLL|DoConfigureMachine|POS - Configure this Computer|N",
      "KVSaleTransactionView.dll|GetPOSView|POS Transaction View|N",
  };
  // The module keeps its settings while it is loaded: start from a known code.
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"BOSYSTEM", "0"}})) << db().error();
  Reinitialize();
  Export<int (*)(HINSTANCE)>("Setup")(host_->Instance());
  std::vector<std::string> want = always;
  want.push_back("KVTPOS.DLL|DoExportData|POS - Export Data|N");
  want.push_back("KVTPOS.DLL|DoImportData|POS - Import Data|N");
  EXPECT_EQ(Menu(), want);

  GetProc<void (*)()>(ms_, "ClearMenuOptions")();
  ASSERT_TRUE(db().Add("KVTCOM20", {{"FEATURE", "20090"}}));
  ASSERT_EQ(KVTSConnection(1, nullptr, 0)
                .ExecSQLChange("UPDATE KVTPOS10 SET BOSYSTEM = '1' WHERE RECNO = 1"),
            1);
  Reinitialize();
  ASSERT_NE(std::string(WhatCanIDo("SETUP")).find("GetBadCC"), std::string::npos);
  Export<int (*)(HWND)>("CreateMenuSystemOptions")(host_->MainWindow());
  want = always;
  want.push_back("KVTPOS.DLL|GetBadCC|POS Bad Credit Cards|N");
  want.push_back("KVTPOS.DLL|DoExportData|POS - Export Data|N");
  want.push_back("KVTPOS.DLL|ShowImportDataForm|POS - Import Data|N");
  EXPECT_EQ(Menu(), want);
  EXPECT_TRUE(user_.Messages().empty());
}

TEST_P(Exports, MissingReportModuleIsReportedAndNothingIsCalled) {
  Export<void (*)(HWND, const char*, const char*, const char*, const char*, const char*)>(
      "SetAutoPrintVar")(host_->MainWindow(), "MAIN", "12/05/2026", "1", "A", "F");
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_EQ(user_.Messages()[0].text,
            "KVTPOSR.DLL is not currently installed. Please install DLL and retry.");
  EXPECT_EQ(user_.Messages()[0].caption, "Point of Sale");
  EXPECT_EQ(user_.Messages()[0].icon, "exclamation");
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

TEST_P(Exports, CStoreCategoryEntriesMissingFromTheSetupModuleAreReported) {
  Export<void (*)(HWND)>("ChangeCStoreCategory")(host_->MainWindow());
  Export<void (*)(HWND)>("DoShiftsSetup")(host_->MainWindow());
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_EQ(user_.Messages()[0].text, "Unknown function call.");
  EXPECT_EQ(user_.Messages()[0].caption, "Abort");
  ASSERT_NE(KVTForms::Instance().ActiveScreen(), nullptr);
  EXPECT_EQ(KVTForms::Instance().ActiveScreen()->Caption(), "Shifts Setup");
}

TEST_P(Exports, ManagedFormsSayPlainlyTheyAreNotHere) {
  EXPECT_EQ(Export<int (*)(HWND)>("GetBadCC")(host_->MainWindow()), 0);
  EXPECT_EQ(Export<int (*)()>("DoTransferSales")(), 0);
  ASSERT_EQ(user_.Messages().size(), 2u);
  EXPECT_EQ(user_.Messages()[0].text,
            "The form KV.PointOfSale.POSBadCreditCards (KVPointOfSale.dll) is not available on "
            "this system.");
  EXPECT_EQ(user_.Messages()[1].text,
            "The form KVCTM.TransferPOS.TransferInterfaceForm (KVCTM.dll) is not available on "
            "this system.");
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
  EXPECT_EQ(frameOf(1)->Caption(), "Periodic Procedures");
  EXPECT_EQ(frameOf(1)->Icon(), "menu");

  // Screens without position restore ignore the setting.
  ASSERT_NE(Export<int (*)(HWND)>("DoExportData")(host_->MainWindow()), 0);
  EXPECT_NE(frameOf(2)->GetWindowRect().x, 120);
  std::remove("kvtlocal.ini");
}

TEST_P(Exports, StartPosOnAComputerThatIsNotATillOpensNothing) {
  EXPECT_EQ(Export<int (*)(HWND)>("StartPOS")(host_->MainWindow()), 0);
  EXPECT_TRUE(GetChildWindows(host_->MDIClient()).empty());
  EXPECT_TRUE(user_.Messages().empty());
}

TEST_P(Exports, ImportOfATillsSalesFile) {
  auto import = Export<int (*)(HWND, const char*)>("DoKVTPOSImportSalesInformation");
  // Not a repeat: the import runs, and in this version reports a failed import.
  EXPECT_EQ(import(host_->MainWindow(), " /data/ST-MAIN-1-A.zip | MAIN | 1 | A | 12/05/2026 | N "),
            2);
  // A repeat that the options popup does not confirm is not run.
  EXPECT_EQ(import(host_->MainWindow(), "/data/ST-MAIN-1-A.zip|MAIN|1|A|12/05/2026|Yes"), 0);
}

KVT_ON_BOTH_BACKENDS(Exports);

}  // namespace
