// The module-wide settings: defaults and reset, what a start and a login
// read, and loads that fail without changing anything.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/sql/query.h"
#include "platform/win/profile.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/windll.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace {

using kvt::test::DatabaseTest;

class Config : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    user.Install();
    std::remove("kvtlocal.ini");
    ASSERT_TRUE(db().temp().WriteIni(".\\KVTSQL.ini"));
    KVTResetModuleState();
    Initialize(nullptr);
  }
  void TearDown() override {
    KVTSqlClearFaults();
    KVTResetModuleState();
    DatabaseTest::TearDown();
  }
  void Local(const char* key, const char* value) {
    WritePrivateProfileString("Point of Sale", key, value, "kvtlocal.ini");
  }
  // Stores and tills as "MAIN:1 MAIN:2 NORTH:": every store with its tills.
  void StoresAndTills(const std::string& list) {
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTCOM13").ok());
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTCOM14").ok());
    std::istringstream in(list);
    for (std::string pair, last; in >> pair;) {
      std::string store = pair.substr(0, pair.find(':')), till = pair.substr(pair.find(':') + 1);
      if (store != last) Add({"KVTCOM13 LOCATION=01 REFERENCE=" + store});
      if (!till.empty()) Add({"KVTCOM14 STOREREF=" + store + " TILLNUM=" + till});
      last = store;
    }
  }

  KVTHeadlessBackend user;
};

TEST_P(Config, RecordWithEmptyKeysFillsTheSettingsByColumn) {
  // A record for one store only is not the one in use.
  Add(
      {"KVTPOS10 STORE= TILLREF= SLSMAN= STAXAUTH=IA MAXQTY=999 DECFORPRC=3 ALLOWCBCC=T "
       "PRMPTPONUM=T USEPRBK=T RECFORM=2",
       "KVTPOS10 STORE=S2 STAXAUTH=MN", "KVTAR10 RECNO=1 AUTOCNUM=1 DISPPHONE=T"});
  EXPECT_TRUE(GetConfigInfo("", "", ""));
  // clang-format off
  for (auto [got, want] : {std::pair<const char*, const char*>{CFG_SALESTAXAUTH, "IA"}, {CFG_MAXQTY, "999"},
                           {CFG_DECIMALSFORPRICE, "3"}, {CFG_ALLOWCASHBACKONCC, "T"}, {CFG_PROMPTPONUMBER, "T"},
                           {CFG_USEINVENTORY, "T"}, {CFG_RECEIPTFORM, "2"}, {PRICE_FORMAT, "%.3f"},
                           {CFG_AUTONUMBERNEWCUSTOMERS, "1"}, {CFG_DISPLAYPHONENUMBER, "T"}})  // the number trimmed
    EXPECT_STREQ(got, want) << want;
  // clang-format on
  EXPECT_TRUE(user.Messages().empty());
}

TEST_P(Config, MissingRowsLeaveSettingsAsTheyWere) {
  KVTSetSetting(CFG_SALESTAXAUTH, "KEEP");
  KVTSetSetting(CFG_AUTONUMBERNEWCUSTOMERS, "7");
  EXPECT_TRUE(GetConfigInfo("", "", ""));
  EXPECT_STREQ(CFG_SALESTAXAUTH, "KEEP");
  EXPECT_STREQ(CFG_AUTONUMBERNEWCUSTOMERS, "7");
  EXPECT_STREQ(PRICE_FORMAT, "%.2f") << "two price decimals without a record";
  EXPECT_TRUE(user.Messages().empty());
  // Quoted values cannot change the statement.
  StoresAndTills("MAIN:");
  KVTSetSetting(INVENTORY_LOCATION, "unchanged");
  EXPECT_TRUE(FindInvLoc("1' OR '1'='1"));
  EXPECT_STREQ(INVENTORY_LOCATION, "unchanged");
  EXPECT_TRUE(FindInvLoc("MAIN"));
  EXPECT_STREQ(INVENTORY_LOCATION, "01");
}

TEST_P(Config, DefaultStoreAndTillAreTheOnlyOnesOrTheLocalSettings) {
  // clang-format off
  struct Case { const char* stores; const char* localStore; const char* localTill; const char* store; const char* till; } cases[] = {
      {"MAIN:1",               "",      "",  "MAIN",  "1"},
      {"MAIN:1 NORTH:",        "",      "",  "",      ""},
      {"MAIN:1",               "OTHER", "",  "OTHER", ""},  // OTHER has no till
      {"MAIN:1 MAIN:2",        "",      "",  "MAIN",  ""},
      {"MAIN:1 MAIN:2",        "",      "2", "MAIN",  "2"},
  };
  // clang-format on
  for (const auto& c : cases) {
    StoresAndTills(c.stores);
    Local("DefaultStore", c.localStore);
    Local("DefaultTill", c.localTill);
    EXPECT_TRUE(GetConfigInfo("", "", ""));
    EXPECT_STREQ(DEFAULT_STORE, c.store) << c.stores << " local " << c.localStore;
    EXPECT_STREQ(DEFAULT_TILLREF, c.till) << c.stores << " local " << c.localStore;
  }
}

TEST_P(Config, InitializeReadsConnectionTypeAndBackOffice) {
  StoresAndTills("MAIN:");
  Add({"KVTCOM14 STOREREF=MAIN TILLNUM=3 CONTYPE=D", "KVTPOS10 RECNO=1 BOSYSTEM=3"});
  Local("MachineType", "TILL");
  Local("DefaultStore", "MAIN");
  Initialize(nullptr);
  EXPECT_STREQ(CONNECTIONTYPE, "") << "DefaultTill is still empty";
  Local("DefaultTill", "3");
  Initialize(nullptr);
  EXPECT_STREQ(CONNECTIONTYPE, "D");
  EXPECT_STREQ(CFG_BOSYSTEM, "3");
  EXPECT_STREQ(MACHINETYPE, "TILL");
}

TEST_P(Config, AFailedReadIsShownAndTheLoadChangesNothing) {
  StoresAndTills("MAIN:1");
  Add({"KVTPOS10 RECNO=1 STAXAUTH=IA BOSYSTEM=3", "KVTAR10 RECNO=1 DISPPHONE=T"});
  auto login = [] { return GetConfigInfo("", "", ""); };
  auto start = [] { return GetStartInfo(); };
  // clang-format off
  struct Case { const char* failing; std::function<bool()> load; const char* what; } cases[] = {
      {"STAXAUTH",     login,                        "The point-of-sale configuration (KVTPOS10)"},
      {"KVTAR10",      login,                        "The customer module's settings (KVTAR10)"},
      {"KVTCOM13",     login,                        "The stores (KVTCOM13)"},
      {"KVTCOM14",     login,                        "The tills of the store (KVTCOM14)"},
      {"USEBATCHES",   login,                        "The point-of-sale configuration (KVTPOS10)"},
      {"BOSYSTEM",     start,                        "The point-of-sale configuration (KVTPOS10)"},
      {"KVTCOM13",     [] { return FindInvLoc("MAIN"); }, "The store's inventory location (KVTCOM13)"},
      {"KVTCOM20",     [] { return KVTFeatureOn("20090"); }, "The feature switch 20090 (KVTCOM20)"},
  };
  // clang-format on
  Local("MachineType", "TILL");
  char* const kept[] = {CFG_SALESTAXAUTH, CFG_DISPLAYPHONENUMBER, DEFAULT_STORE,     PRICE_FORMAT,
                        MACHINETYPE,      CFG_BOSYSTEM,           INVENTORY_LOCATION};
  for (const auto& c : cases) {
    for (char* s : kept) std::strcpy(s, "KEEP");
    user.Reset();
    KVTSqlFailStatements(c.failing);
    EXPECT_FALSE(c.load()) << c.failing;
    for (char* s : kept) EXPECT_STREQ(s, "KEEP") << c.failing;
    ASSERT_EQ(user.Messages().size(), 1u) << c.failing;
    EXPECT_EQ(user.Messages()[0].text.rfind(std::string(c.what) + " could not be read:\n\n", 0), 0u)
        << user.Messages()[0].text;
    EXPECT_EQ(user.Messages()[0].icon, "stop");
  }
  KVTSqlClearFaults();
  EXPECT_TRUE(login());
  EXPECT_STREQ(CFG_SALESTAXAUTH, "IA") << "the same load succeeds once the database answers";
}

KVT_ON_BOTH_BACKENDS(Config);

TEST(StripDateZeros, CutsTrailingPairsExceptAFullCenturyYear) {
  // clang-format off
  struct Case { const char* in; const char* out; } cases[] = {
      {"12050000", "1205"}, {"12052000", "12052000"}, {"01011000", "01011000"},
      {"1200", "12"}, {"120500", "1205"}, {" 1205 ", "1205"}, {"12052026", "12052026"},
      {"00", ""}, {"0", "0"},
  };
  // clang-format on
  for (const auto& c : cases) {
    char buf[32];
    std::strcpy(buf, c.in);
    StripDateZeros(buf);
    EXPECT_STREQ(buf, c.out) << "'" << c.in << "'";
  }
}

int g_cached = 0;

TEST(ModuleReset, RestoresEveryDefaultAndEmptiesRegisteredCaches) {
  static const bool registered = KVTClearedOnReset([] { g_cached = 0; });
  ASSERT_TRUE(registered);
  g_cached = 7;
#define KVT_FILL(column, setting) KVTSetSetting(setting, "X");
  KVT_CONFIG_RECORD(KVT_FILL)
  KVT_PAYMENT_CONFIG(KVT_FILL)
#undef KVT_FILL
  for (char* s : {PROGRAM_NAME, PRICE_FORMAT, LOGIN_STORE, CFG_BOSYSTEM}) std::strcpy(s, "X");
  KVTResetModuleState();
  EXPECT_EQ(g_cached, 0);
#define KVT_EXPECT_DEFAULT(column, setting) \
  EXPECT_STREQ(setting, std::strcmp(#column, "DECFORPRC") == 0 ? "2" : "") << #setting;
  KVT_CONFIG_RECORD(KVT_EXPECT_DEFAULT)
  KVT_PAYMENT_CONFIG(KVT_EXPECT_DEFAULT)
#undef KVT_EXPECT_DEFAULT
  EXPECT_STREQ(PROGRAM_NAME, "Point of Sale");
  EXPECT_STREQ(PRICE_FORMAT, "%.2f");
  EXPECT_STREQ(LOGIN_STORE, "");
  EXPECT_STREQ(CFG_BOSYSTEM, "");
}

TEST(ModuleReset, TheConnectionKindIsReadOnceUntilTheModuleIsReset) {
  const auto here = std::filesystem::current_path();
  kvt::test::ScratchDir dir;
  std::filesystem::current_path(dir.path());
  auto write = [](const char* kind) {
    WritePrivateProfileString("KVTSQL Connection One", "Translate", kind, ".\\KVTSQL.INI");
  };
  KVTResetModuleState();
  write("MSSQL");
  EXPECT_EQ(KVTConnectionOneKind(), "MSSQL");
  write("PGSQL");  // a save or a price in between reads no file
  EXPECT_EQ(KVTConnectionOneKind(), "MSSQL");
  KVTResetModuleState();
  EXPECT_EQ(KVTConnectionOneKind(), "PGSQL");
  KVTResetModuleState();
  std::filesystem::current_path(here);
}

}  // namespace
