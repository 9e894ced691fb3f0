// Named events between modules: both sides, with two test modules that
// answer them (evmodule.cpp).
#include "shell/kvtintob.h"

#include <gtest/gtest.h>

#include "platform/forms/headless/headless.h"
#include "suite/host/host.h"

namespace {

class Events : public ::testing::Test {
 protected:
  void SetUp() override { user.Install(); }
  KVTHeadlessBackend user;
  KVTHost host;
};

TEST_F(Events, LaterAddedModuleIsCalledFirstAndAFailureKeepsTheValues) {
  KVTModuleInterface m(host.MainWindow(), "KVT POS Export Update");
  m.AddModule("KVTEVA.DLL");
  m.AddModule("KVTEVB.DLL");
  m.Reset();
  m.Param1 = ">";
  m.dParam1 = 1.5;
  m.CallEvent("KVTInitializeEvent");
  EXPECT_EQ(m.Error(), 0) << m.GetErrorString();
  EXPECT_EQ(m.Param1, ">BA");
  EXPECT_DOUBLE_EQ(m.dParam1, 6.0);
  EXPECT_EQ(m.iParam1, 2);

  m.Key = "ST-1";
  m.CallEvent("Fail");
  EXPECT_EQ(m.Error(), 1);
  EXPECT_EQ(m.GetErrorString(), "B refused ST-1") << "B was added last, so it was called first";
  EXPECT_EQ(m.Param1, ">BA");
  EXPECT_EQ(m.iParam1, 2);
  m.Reset();
  EXPECT_EQ(m.Error(), 0);
  EXPECT_EQ(m.GetErrorString(), "");
  EXPECT_EQ(m.Key, "");
}

TEST_F(Events, ModuleWithoutTheEntryPointOrMissingAltogether) {
  KVTModuleInterface m(host.MainWindow(), "KVT POS Export Update");
  m.AddModule("KVTMS.DLL");  // a real module without the event entry point
  m.Reset();
  m.CallEvent("KVTInitializeEvent");
  EXPECT_EQ(m.Error(), 1);
  EXPECT_EQ(m.GetErrorString(), "The KVTMS.DLL module does not support this interface object.");

  KVTModuleInterface gone(host.MainWindow(), "KVT POS Export Update");
  gone.AddModule("NOSUCHMODULE.DLL");
  gone.Reset();
  gone.CallEvent("KVTInitializeEvent");
  EXPECT_EQ(gone.Error(), 0) << "no module handle stops without an error text";
  // Owner and class must be set.
  KVTModuleInterface bare;
  bare.AddModule("KVTEVA.DLL");
  user.ExpectMessage("Owner window has not been set.", "Kovatel Software");
  bare.CallEvent("KVTInitializeEvent");
  bare.SetOwner(host.MainWindow());
  user.ExpectMessage("Object class name has not been set.", "Kovatel Software");
  bare.CallEvent("KVTInitializeEvent");
  user.Finish();
  EXPECT_TRUE(user.Failures().empty()) << user.Failures()[0];
  EXPECT_EQ(user.Messages().size(), 2u);
}

TEST(ModuleServer, VersionCheckAndDispatchByName) {
  struct Server : KVTModuleServer {
    std::string seen;
    int KVTSaveKeyEvent(KVTEventObject*) override {
      seen = "save";
      return 1;
    }
    int HandleUserEvent(const char* e, KVTEventObject*) override {
      seen = std::string("user:") + e;
      return 1;
    }
  } s;
  KVTEventObject o;
  EXPECT_EQ(s.HandleEvent("KVTSaveKeyEvent", 255, &o), 0);
  EXPECT_STREQ(o.ErrorString, "This version is incompatible with the installed module.");
  EXPECT_EQ(s.seen, "");
  EXPECT_EQ(s.HandleEvent("KVTSaveKeyEvent", 256, &o), 1);
  EXPECT_EQ(s.seen, "save");
  EXPECT_EQ(s.HandleEvent("DoKVTPOSGetArchiveDirectory", 256, &o), 1);
  EXPECT_EQ(s.seen, "user:DoKVTPOSGetArchiveDirectory");
  EXPECT_EQ(s.HandleEvent("KVTLoadEvent", 256, &o), 0) << "handlers fail unless overridden";
}

}  // namespace
