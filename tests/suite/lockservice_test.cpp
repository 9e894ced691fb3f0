#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "suite/host/lockservice.h"
#include "tests/support/lockchild.h"

namespace {

class FileLocks : public ::testing::Test {
 protected:
  std::string folder = "locks-" + std::to_string(::getpid());
};

TEST_F(FileLocks, OneHolderAtATimeWithinAProcess) {
  KVTFileLockService a(folder), b(folder);
  EXPECT_EQ(a.Acquire("POSSALES", "INSTANCE_A"), 1);
  EXPECT_EQ(a.Acquire("POSSALES", "INSTANCE_A"), 0)
      << "a second window of this till must not share it";
  EXPECT_EQ(b.Acquire("POSSALES", "INSTANCE_A"), 0);
  EXPECT_EQ(b.OwnerUser("POSSALES", "INSTANCE_A"), a.CurrentUser());
  EXPECT_EQ(b.Release("POSSALES", "INSTANCE_A"), 0) << "only the holder releases";
  EXPECT_EQ(a.Release("POSSALES", "INSTANCE_A"), 1);
  EXPECT_EQ(b.OwnerUser("POSSALES", "INSTANCE_A"), "");
  EXPECT_EQ(b.Acquire("POSSALES", "INSTANCE_A"), 1);
}

TEST_F(FileLocks, AnotherProcessHoldsUntilItDies) {
  pid_t child = kvt::test::HoldLockInChild(
      [this] { return std::make_unique<KVTFileLockService>(folder); }, "INSTANCE_B");
  ASSERT_GT(child, 0);
  KVTFileLockService mine(folder);
  EXPECT_EQ(mine.Acquire("POSSALES", "INSTANCE_B"), 0);
  std::string owner = mine.OwnerUser("POSSALES", "INSTANCE_B");
  EXPECT_NE(owner, mine.CurrentUser());
  EXPECT_NE(owner.find(":" + std::to_string(child)), std::string::npos) << owner;
  EXPECT_EQ(mine.Acquire("POSSALES", "INSTANCE_C"), 1) << "other names stay free";

  kvt::test::KillChild(child);  // a crashed till frees its id
  EXPECT_EQ(mine.OwnerUser("POSSALES", "INSTANCE_B"), "");
  EXPECT_EQ(mine.Acquire("POSSALES", "INSTANCE_B"), 1);
}

TEST_F(FileLocks, NamesCannotLeaveTheFolder) {
  KVTFileLockService a(folder);
  EXPECT_EQ(a.Acquire("POSSALES", "../../etc/x"), 1);
  EXPECT_EQ(::access("../../etc/x.lock", F_OK), -1);
  KVTFileLockService b(folder);
  EXPECT_EQ(b.Acquire("POSSALES", "../../etc/x"), 0);
}

}  // namespace
