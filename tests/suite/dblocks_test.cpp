// The host's process locks on the database the tills share: lock files beside
// an SQLite database, session locks on a PostgreSQL server. Other processes
// stand for other tills; a killed one stands for a crashed till.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/win/hostwin.h"
#include "suite/host/host.h"
#include "suite/host/lockservice.h"
#include "tests/support/backends.h"
#include "tests/support/lockchild.h"

namespace {

using kvt::test::OnEachBackend;

// The server ends a dead client's session when it notices the connection is
// gone; a file lock goes with the process at once.
bool FreedWithin(KVTLockService& locks, const std::string& process, std::chrono::seconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (locks.OwnerUser("POSSALES", process).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

class DatabaseLocks : public OnEachBackend {
 protected:
  std::unique_ptr<KVTLockService> Service() {
    std::string error;
    std::unique_ptr<KVTLockService> s = KVTLockServiceFor(tempDb().settings(), &error);
    EXPECT_TRUE(s) << error;
    return s;
  }
};

TEST_P(DatabaseLocks, OneHolderAtATime) {
  auto a = Service(), b = Service();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Acquire("POSSALES", "INSTANCE_A"), 1);
  EXPECT_EQ(a->Acquire("POSSALES", "INSTANCE_A"), 0) << "granted once, also to its holder";
  EXPECT_EQ(b->Acquire("POSSALES", "INSTANCE_A"), 0);
  EXPECT_EQ(b->OwnerUser("POSSALES", "INSTANCE_A"), a->CurrentUser());
  EXPECT_EQ(b->Release("POSSALES", "INSTANCE_A"), 0) << "only the holder releases";
  EXPECT_EQ(a->OwnerUser("POSSALES", "INSTANCE_B"), "");
  EXPECT_EQ(b->Acquire("OTHERPKG", "INSTANCE_A"), 1) << "the package is part of the name";
  EXPECT_EQ(a->Release("POSSALES", "INSTANCE_A"), 1);
  EXPECT_EQ(a->Release("POSSALES", "INSTANCE_A"), 0);
  EXPECT_EQ(b->OwnerUser("POSSALES", "INSTANCE_A"), "");
  EXPECT_EQ(b->Acquire("POSSALES", "INSTANCE_A"), 1);
  // Released when the service ends.
  ASSERT_EQ(a->Acquire("POSSALES", "INSTANCE_C"), 1);
  a.reset();
  ASSERT_TRUE(FreedWithin(*b, "INSTANCE_C", std::chrono::seconds(20)));
  EXPECT_EQ(b->Acquire("POSSALES", "INSTANCE_C"), 1);
}

// The host opens the database from its settings file and answers message
// 7003 with the locks every till of that database sees; a lock dies with the
// process that held it.
TEST_P(DatabaseLocks, TheHostAnswersMessage7003FromTheDatabase) {
  ASSERT_TRUE(tempDb().WriteIni("KVTSQL.ini"));
  pid_t till = kvt::test::HoldLockInChild(tempDb().settings(), "INSTANCE_A");
  ASSERT_GT(till, 0);
  KVTHost host;
  ASSERT_TRUE(host.OpenDatabase(".\\KVTSQL.ini")) << host.LastError();
  auto ask = [&](WPARAM op, const char* process, std::string* text = nullptr) {
    LockRequestInfo r{};
    std::strcpy(r.szPackage, "POSSALES");
    std::strcpy(r.szProcess, process);
    LRESULT result =
        SendMessage(host.MainWindow(), KVT_PROCESS_LOCK, op, reinterpret_cast<LPARAM>(&r));
    if (text) *text = r.szReturnString;
    return result;
  };
  EXPECT_EQ(ask(KVT_LOCK_ACQUIRE, "INSTANCE_A"), 0);
  std::string owner, me;
  ask(KVT_LOCK_OWNER_USER, "INSTANCE_A", &owner);
  ask(KVT_LOCK_CURRENT_USER, "INSTANCE_A", &me);
  EXPECT_EQ(me, KVTProcessUserNumber());
  EXPECT_NE(owner, me);
  EXPECT_NE(owner.find(":" + std::to_string(till)), std::string::npos) << owner;
  EXPECT_EQ(ask(KVT_LOCK_ACQUIRE, "INSTANCE_B"), 1) << "other names stay free";
  EXPECT_EQ(ask(KVT_LOCK_RELEASE, "INSTANCE_B"), 1);
  kvt::test::KillChild(till);
  ASSERT_TRUE(FreedWithin(host.Locks(), "INSTANCE_A", std::chrono::seconds(20)));
  EXPECT_EQ(ask(KVT_LOCK_ACQUIRE, "INSTANCE_A"), 1);
}

KVT_ON_BOTH_BACKENDS(DatabaseLocks);

// Two stores kept as schemas of one server database lock apart.
TEST(SessionLocks, SchemasDoNotShareLocks) {
  std::string reason;
  if (!kvt::test::PostgresAvailable(&reason)) GTEST_SKIP() << reason;
  KVTConnectionSettings one;
  one.translate = "PGSQL";
  one.connInfo = std::getenv("KVT_PG");
  one.schema = "store_one_" + std::to_string(::getpid());
  KVTConnectionSettings two = one;
  two.schema = "store_two_" + std::to_string(::getpid());
  std::string error;
  auto a = KVTSessionLocks::Open(one, "till-a", &error);
  ASSERT_TRUE(a) << error;
  auto b = KVTSessionLocks::Open(two, "till-b", &error);
  ASSERT_TRUE(b) << error;
  auto c = KVTSessionLocks::Open(one, "till-c", &error);
  ASSERT_TRUE(c) << error;
  EXPECT_TRUE(a->TryLock("POSSALES\nINSTANCE_A"));
  EXPECT_TRUE(b->TryLock("POSSALES\nINSTANCE_A"));
  EXPECT_FALSE(c->TryLock("POSSALES\nINSTANCE_A"));
  EXPECT_EQ(c->Holder("POSSALES\nINSTANCE_A"), "till-a");
  EXPECT_EQ(b->Holder("POSSALES\nINSTANCE_A"), "till-b");
}

// A lock name never reaches outside an SQLite store's lock folder.
TEST(SessionLocks, AFileDatabaseHasNoSessions) {
  KVTConnectionSettings sqlite;
  sqlite.translate = "SQLITE";
  sqlite.dataPath = "x.db";
  std::string error;
  EXPECT_FALSE(KVTSessionLocks::Open(sqlite, "till", &error));
  EXPECT_NE(error.find("lock files"), std::string::npos) << error;
  const std::string folder = "locks-" + std::to_string(::getpid());
  KVTFileLockService one(folder), two(folder);
  EXPECT_EQ(one.Acquire("POSSALES", "../../etc/x"), 1);
  EXPECT_EQ(::access("../../etc/x.lock", F_OK), -1);
  EXPECT_EQ(two.Acquire("POSSALES", "../../etc/x"), 0);
}

}  // namespace
