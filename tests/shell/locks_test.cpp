// Instance ids and process locks within one till and with a host that
// answers oddly (other processes and the database's locks: dblocks_test).
#include "shell/locks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "platform/win/hostwin.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "suite/host/host.h"

namespace {

using kvt::shell::ClaimInstanceId;
using kvt::shell::InstanceIdName;
using kvt::shell::ReleaseInstanceLock;

TEST(InstanceIds, OneOrTwoLettersInOrder) {
  // clang-format off
  const std::pair<int, const char*> cases[] = {{0, "A"}, {1, "B"}, {25, "Z"}, {26, "AA"}, {27, "AB"},
                                               {51, "AZ"}, {52, "BA"}, {77, "BZ"}, {700, "ZY"}, {701, "ZZ"}};
  // clang-format on
  for (const auto& [n, id] : cases) EXPECT_EQ(InstanceIdName(n), id) << n;
}

class InstanceLocks : public ::testing::Test {
 protected:
  void SetUp() override {
    KVTResetModuleState();
    user.Install();
  }
  // Another window of this till holds ids `from` to `to` - 1.
  void Hold(int from, int to) {
    for (int n = from; n < to; ++n)
      ASSERT_EQ(host.Locks().Acquire("POSSALES", "INSTANCE_" + InstanceIdName(n)), 1);
  }

  KVTHeadlessBackend user;
  KVTHost host;
};

// Each claim gets the first free id until it is let go; the 703rd is refused.
TEST_F(InstanceLocks, EachClaimGetsTheFirstFreeIdUpToZZ) {
  EXPECT_EQ(ClaimInstanceId(), "A");
  EXPECT_EQ(ClaimInstanceId(), "B");
  ReleaseInstanceLock("INSTANCE_A");
  EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_A"), "");
  EXPECT_EQ(ClaimInstanceId(), "A");
  Hold(2, 26);
  EXPECT_EQ(ClaimInstanceId(), "AA");
  Hold(27, 701);
  EXPECT_EQ(ClaimInstanceId(), "ZZ");
  EXPECT_EQ(ClaimInstanceId(), "");
  EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_ZZ"), KVTProcessUserNumber());
  EXPECT_TRUE(user.Messages().empty());
}

// A host that grants INSTANCE_A but reports another till as its owner, and
// counts what it is asked.
class OddLocks : public KVTLockService {
 public:
  int failFirst = 0;  // acquires refused before one is granted
  std::vector<std::string> acquired, released;
  int Acquire(const std::string& package, const std::string& process) override {
    acquired.push_back(package + "/" + process);
    return static_cast<int>(acquired.size()) > failFirst ? 1 : 0;
  }
  int Release(const std::string& package, const std::string& process) override {
    released.push_back(package + "/" + process);
    return 1;
  }
  std::string OwnerUser(const std::string&, const std::string& process) override {
    return process == "INSTANCE_A" ? "othertill:1" : CurrentUser();
  }
  std::string CurrentUser() override { return "thistill:2"; }
};

TEST_F(InstanceLocks, AnIdTheHostGivesToAnotherUserIsSkipped) {
  auto odd = std::make_unique<OddLocks>();
  OddLocks* locks = odd.get();
  host.SetLockService(std::move(odd));
  EXPECT_EQ(ClaimInstanceId(), "B");
  EXPECT_EQ(locks->acquired,
            (std::vector<std::string>{"POSSALES/INSTANCE_A", "POSSALES/INSTANCE_B"}));
  EXPECT_EQ(locks->released, std::vector<std::string>{"POSSALES/INSTANCE_A"});
}

TEST_F(InstanceLocks, WithoutAMainWindowNothingIsLockedAndTheOperatorIsTold) {
  KVTSetMDIWin(nullptr);
  EXPECT_EQ(KVTAcquireProcessLock("POSSALES", "INSTANCE_A"), 0);
  char owner[50] = "stale";
  EXPECT_STREQ(KVTGetProcessLockUserNumber(owner, sizeof owner, "POSSALES", "INSTANCE_A"), "");
  KVTSetMDIWin(host.MainWindow());
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text, "Please setup Ptr to Main Window");
  EXPECT_EQ(user.Messages()[0].caption, "Kovatel Software");
  EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_A"), "");
}

TEST_F(InstanceLocks, ModuleLocksRetryAsManyTimesAsTheComputerSays) {
  // clang-format off
  struct Case { const char* setting; int tries; } cases[] = {  // nullptr: not in the file
      {nullptr, 10}, {"3", 3}, {"5000", 5000}, {"0", 10}, {"5001", 10}, {"-4", 10}, {"x", 10}};
  // clang-format on
  for (const Case& c : cases) {
    WritePrivateProfileString("Point of Sale", "NetworkLockTryCount", c.setting, "kvtlocal.ini");
    KVTForgetNetworkLockTryCount();
    EXPECT_EQ(POSNetworkLockTryCount(), c.tries) << (c.setting ? c.setting : "missing");
  }
  WritePrivateProfileString("Point of Sale", "NetworkLockTryCount", "3", "kvtlocal.ini");
  KVTForgetNetworkLockTryCount();
  for (int refused : {2, 3}) {
    auto odd = std::make_unique<OddLocks>();
    OddLocks* locks = odd.get();
    locks->failFirst = refused;
    host.SetLockService(std::move(odd));
    EXPECT_EQ(POSAcquireProcessLock("SALENUM"), refused < 3 ? 1 : 0);
    EXPECT_EQ(locks->acquired, std::vector<std::string>(3, "KVTPOS/SALENUM")) << refused;
    POSReleaseProcessLock("SALENUM");
    EXPECT_EQ(locks->released, std::vector<std::string>{"KVTPOS/SALENUM"});
  }
  WritePrivateProfileString("Point of Sale", "NetworkLockTryCount", "9", "kvtlocal.ini");
  EXPECT_EQ(POSNetworkLockTryCount(), 3) << "read once";
  WritePrivateProfileString("Point of Sale", nullptr, nullptr, "kvtlocal.ini");
  KVTForgetNetworkLockTryCount();
}

}  // namespace
