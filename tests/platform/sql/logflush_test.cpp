// Tills sharing an SQLite database flush its log together: commits made
// while one till flushes are all on disk after one more flush, and a later
// commit, or one in a log started over, is never taken as flushed already.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/files.h"

namespace {

// The flush lock held as another till flushing the log would hold it.
bool HoldFlush(int fd, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = kKVTSqliteFlushLockByte;
  range.l_len = 1;
  return ::fcntl(fd, F_OFD_SETLKW, &range) == 0;
}

// The tills waiting for the flush lock, as the kernel lists them.
int WaitingToFlush(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  const std::string range = ":" + std::to_string(st.st_ino) + " " +
                            std::to_string(kKVTSqliteFlushLockByte) + " " +
                            std::to_string(kKVTSqliteFlushLockByte);
  std::ifstream locks("/proc/locks");
  int waiting = 0;
  for (std::string line; std::getline(locks, line);)
    if (line.find("->") != std::string::npos && line.find(range) != std::string::npos) ++waiting;
  return waiting;
}

class LogFlush : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.dataPath = dir_.path() + "/pos.db";
    settings_.create = true;
    ASSERT_TRUE(KVTOpenConnectionOne(settings_)) << KVTLastSqlError();
    ASSERT_TRUE(KVTRunSqlScript("CREATE TABLE T (A TEXT)")) << KVTLastSqlError();
    KVTCloseConnectionOne();
  }

  // This process's flushes for one sale.
  long Sell() {
    const long before = KVTSqliteLogFlushes();
    return KVTRunSqlScript("INSERT INTO T VALUES ('sale')") ? KVTSqliteLogFlushes() - before : -1;
  }

  // Another till selling once: its flushes are its exit status.
  pid_t SellElsewhere() {
    pid_t pid = ::fork();
    if (pid == 0) {
      long flushes = KVTOpenConnectionOne(settings_) ? Sell() : -1;
      KVTCloseConnectionOne();
      ::_exit(flushes < 0 ? 99 : static_cast<int>(flushes));
    }
    return pid;
  }

  kvt::test::ScratchDir dir_;
  KVTConnectionSettings settings_;
};

TEST_F(LogFlush, CommitsMadeDuringAFlushShareTheNextAndLaterOnesFlushAgain) {
  const int lock = ::open((settings_.dataPath + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(lock, 0);
  ASSERT_TRUE(HoldFlush(lock, F_WRLCK));
  const pid_t tills[] = {SellElsewhere(), SellElsewhere()};
  for (int i = 0; i < 1000 && WaitingToFlush(lock) < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(WaitingToFlush(lock), 2) << "a commit returned before its flush";
  int flushes = 0;
  ASSERT_TRUE(HoldFlush(lock, F_UNLCK));
  for (pid_t till : tills) {
    int status = 0;
    ASSERT_EQ(::waitpid(till, &status, 0), till);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 99) << "a till could not sell";
    flushes += WEXITSTATUS(status);
  }
  ::close(lock);
  EXPECT_EQ(flushes, 1);

  ASSERT_TRUE(KVTOpenConnectionOne(settings_)) << KVTLastSqlError();
  EXPECT_EQ(Sell(), 1) << "a later commit taken as flushed";
  // The log started over: its frames count from the start again.
  ASSERT_TRUE(KVTRunSqlScript("PRAGMA wal_checkpoint(TRUNCATE)")) << KVTLastSqlError();
  EXPECT_EQ(Sell(), 1) << "a new log's commit taken as flushed";
  KVTCloseConnectionOne();
}

}  // namespace
