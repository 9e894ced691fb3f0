#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win/profile.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/windll.h"
#include "tests/support/testdb.h"

namespace {

using kvt::test::DatabaseTest;

class Config : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::remove("kvtlocal.ini");
    ASSERT_TRUE(db().temp().WriteIni(".\\KVTSQL.ini"));
    KVTResetModuleState();
    Initialize(nullptr);
  }
  void TearDown() override {
    KVTResetModuleState();
    DatabaseTest::TearDown();
  }
  void Local(const char* key, const char* value) {
    WritePrivateProfileString("Point of Sale", key, value, "kvtlocal.ini");
  }
  bool AddStore(const char* ref, const char* location) {
    return db().Add("KVTCOM13", {{"REFERENCE", ref}, {"LOCATION", location}});
  }
  bool AddTill(const char* store, const char* till) {
    return db().Add("KVTCOM14", {{"STOREREF", store}, {"TILLNUM", till}});
  }
};

TEST_P(Config, RecordWithEmptyKeysFillsTheSettingsInSelectOrder) {
  ASSERT_TRUE(db().Add("KVTPOS10", {{"STORE", ""},
                                    {"TILLREF", ""},
                                    {"SLSMAN", ""},
                                    {"STAXAUTH", "IA"},
                                    {"MAXQTY", "999"},
                                    {"DECFORPRC", "3"},
                                    {"ALLOWCBCC", "T"},
                                    {"PRMPTPONUM", "T"},
                                    {"USEPRBK", "T"},
                                    {"RECFORM", "2"}}))
      << db().error();
  // A record for one store only is not the one in use.
  ASSERT_TRUE(db().Add("KVTPOS10", {{"STORE", "S2"}, {"STAXAUTH", "MN"}})) << db().error();
  GetConfigInfo("", "", "");
  EXPECT_STREQ(CFG_SALESTAXAUTH, "IA");
  EXPECT_STREQ(CFG_MAXQTY, "999");
  EXPECT_STREQ(CFG_DECIMALSFORPRICE, "3");
  EXPECT_STREQ(CFG_ALLOWCASHBACKONCC, "T");
  EXPECT_STREQ(CFG_PROMPTPONUMBER, "T");
  EXPECT_STREQ(CFG_USEINVENTORY, "T");
  EXPECT_STREQ(CFG_RECEIPTFORM, "2");
  EXPECT_STREQ(PRICE_FORMAT, "%.3f");
  EXPECT_STREQ(POADESCR, "Paid on Account");
  EXPECT_STREQ(POACATEGORY, "PAID");
  EXPECT_STREQ(CFG_POLEDISPLAY, "None");
  EXPECT_STREQ(CFG_RECPTRTYPE, "None");
}

TEST_P(Config, MissingRowsLeaveSettingsAsTheyWere) {
  KVTSetSetting(CFG_SALESTAXAUTH, "KEEP");
  KVTSetSetting(CFG_USEINVENTORY, "T");
  KVTSetSetting(CFG_AUTONUMBERNEWCUSTOMERS, "7");
  GetConfigInfo("", "", "");
  EXPECT_STREQ(CFG_SALESTAXAUTH, "KEEP");
  EXPECT_STREQ(CFG_USEINVENTORY, "T");
  EXPECT_STREQ(CFG_AUTONUMBERNEWCUSTOMERS, "7");
  EXPECT_STREQ(PRICE_FORMAT, "%.2f") << "two price decimals without a record";
}

TEST_P(Config, CustomerModuleNumbersAreTrimmed) {
  ASSERT_TRUE(db().Add("KVTAR10", {{"RECNO", "1"}, {"AUTOCNUM", "1"}, {"DISPPHONE", "T"}}))
      << db().error();
  GetConfigInfo("", "", "");
  EXPECT_STREQ(CFG_AUTONUMBERNEWCUSTOMERS, "1");
  EXPECT_STREQ(CFG_DISPLAYPHONENUMBER, "T");
}

TEST_P(Config, TheOnlyStoreAndItsOnlyTillAreTheDefaults) {
  ASSERT_TRUE(AddStore("MAIN", "01")) << db().error();
  ASSERT_TRUE(AddTill("MAIN", "1")) << db().error();
  GetConfigInfo("", "", "");
  EXPECT_STREQ(DEFAULT_STORE, "MAIN");
  EXPECT_STREQ(DEFAULT_TILLREF, "1");
}

TEST_P(Config, TwoStoresWithoutALocalDefaultLeaveBothEmpty) {
  ASSERT_TRUE(AddStore("MAIN", "01"));
  ASSERT_TRUE(AddTill("MAIN", "1"));
  ASSERT_TRUE(AddStore("NORTH", "02"));
  GetConfigInfo("", "", "");
  EXPECT_STREQ(DEFAULT_STORE, "");
  EXPECT_STREQ(DEFAULT_TILLREF, "");
}

TEST_P(Config, LocalDefaultStoreIsUsedAsRead) {
  ASSERT_TRUE(AddStore("MAIN", "01"));
  ASSERT_TRUE(AddTill("MAIN", "1"));
  Local("DefaultStore", "OTHER");
  GetConfigInfo("", "", "");
  EXPECT_STREQ(DEFAULT_STORE, "OTHER");
  EXPECT_STREQ(DEFAULT_TILLREF, "") << "OTHER has no till";
}

TEST_P(Config, StoreWithTwoTillsHasNoDefaultTill) {
  ASSERT_TRUE(AddStore("MAIN", "01"));
  ASSERT_TRUE(AddTill("MAIN", "1"));
  ASSERT_TRUE(AddTill("MAIN", "2"));
  GetDefaultLoc();
  GetDefaultTillRef(DEFAULT_STORE);
  EXPECT_STREQ(DEFAULT_STORE, "MAIN");
  EXPECT_STREQ(DEFAULT_TILLREF, "");
  Local("DefaultTill", "2");
  GetDefaultTillRef(DEFAULT_STORE);
  EXPECT_STREQ(DEFAULT_TILLREF, "2");
}

TEST_P(Config, QuotedValuesCannotChangeTheStatement) {
  ASSERT_TRUE(AddStore("MAIN", "01"));
  KVTSetSetting(INVENTORY_LOCATION, "unchanged");
  FindInvLoc("1' OR '1'='1");
  EXPECT_STREQ(INVENTORY_LOCATION, "unchanged");
  FindInvLoc("MAIN");
  EXPECT_STREQ(INVENTORY_LOCATION, "01");
}

TEST_P(Config, InitializeReadsConnectionTypeAndBackOffice) {
  ASSERT_TRUE(AddStore("MAIN", "01"));
  ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "3"}, {"CONTYPE", "D"}}));
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"BOSYSTEM", "3"}})) << db().error();
  Local("MachineType", "TILL");
  Local("DefaultStore", "MAIN");
  Initialize(nullptr);
  EXPECT_STREQ(CONNECTIONTYPE, "") << "DefaultTill is still empty";
  Local("DefaultTill", "3");
  Initialize(nullptr);
  EXPECT_STREQ(CONNECTIONTYPE, "D");
  EXPECT_STREQ(CFG_BOSYSTEM, "3");
  EXPECT_STREQ(MACHINETYPE, "TILL");
  EXPECT_STREQ(PROGRAM_NAME, "Point of Sale");
  EXPECT_STREQ(CURRENCY_FORMAT, "$%.2f");
}

KVT_ON_BOTH_BACKENDS(Config);

int g_cached = 0;

TEST(ModuleReset, RestoresEveryDefaultAndEmptiesRegisteredCaches) {
  static const bool registered = KVTClearedOnReset([] { g_cached = 0; });
  ASSERT_TRUE(registered);
  g_cached = 7;
#define KVT_FILL(column, setting) KVTSetSetting(setting, "X");
  KVT_CONFIG_RECORD(KVT_FILL)
  KVT_PAYMENT_CONFIG(KVT_FILL)
#undef KVT_FILL
  for (char* s : {PROGRAM_NAME, LOCAL_INI, PRICE_FORMAT, LOGIN_STORE, CFG_BOSYSTEM, POACATEGORY})
    std::strcpy(s, "X");
  POSTILL = 1;
  KVTResetModuleState();
  EXPECT_EQ(g_cached, 0);
#define KVT_EXPECT_DEFAULT(column, setting) \
  EXPECT_STREQ(setting, std::strcmp(#column, "DECFORPRC") == 0 ? "2" : "") << #setting;
  KVT_CONFIG_RECORD(KVT_EXPECT_DEFAULT)
  KVT_PAYMENT_CONFIG(KVT_EXPECT_DEFAULT)
#undef KVT_EXPECT_DEFAULT
  EXPECT_STREQ(PROGRAM_NAME, "Point of Sale");
  EXPECT_STREQ(LOCAL_INI, "kvtlocal.ini");
  EXPECT_STREQ(PRICE_FORMAT, "%.2f");
  EXPECT_STREQ(LOGIN_STORE, "");
  EXPECT_STREQ(CFG_BOSYSTEM, "");
  EXPECT_STREQ(POACATEGORY, "PAID");
  EXPECT_EQ(POSTILL, 0);
}

TEST(StripDateZeros, CutsTrailingPairsExceptAFullCenturyYear) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"12050000", "1205"}, {"12052000", "12052000"}, {"01011000", "01011000"}, {"1200", "12"},
      {"120500", "1205"},   {" 1205 ", "1205"},       {"12052026", "12052026"}, {"00", ""},
      {"0", "0"},
  };
  for (const auto& c : cases) {
    char buf[32];
    std::strcpy(buf, c.in);
    StripDateZeros(buf);
    EXPECT_STREQ(buf, c.out) << "'" << c.in << "'";
  }
}

}  // namespace
