#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/profile.h"
#include "tests/support/files.h"

namespace {

using kvt::test::Slurp;

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::remove("KVT32.ini");
    std::ofstream("KVT32.ini") << "[Main]\nPOSTILL = 3\nDataPath=\"/data/kvt\"\n\n[Other]\nKey=x\n";
  }
};

TEST_F(Profile, ReadsWithoutRegardToCaseAndWithWindowsPaths) {
  char buf[64];
  EXPECT_EQ(GetPrivateProfileString("main", "posTill", "", buf, sizeof buf, ".\\kvt32.INI"), 1);
  EXPECT_STREQ(buf, "3");
  GetPrivateProfileString("MAIN", "datapath", "", buf, sizeof buf, ".\\KVT32.ini");
  EXPECT_STREQ(buf, "/data/kvt");
  EXPECT_EQ(GetPrivateProfileInt("Main", "POSTILL", 0, ".\\KVT32.ini"), 3);
}

TEST_F(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  // clang-format off
  struct Case { const char* file; const char* section; const char* key; } cases[] = {
      {"nope.ini", "Main", "POSTILL"},
      {"KVT32.ini", "Nope", "POSTILL"},
      {"KVT32.ini", "Other", "POSTILL"},
      {"/nonexistent/dir/x.ini", "Main", "POSTILL"}};
  // clang-format on
  for (const auto& c : cases) {
    char buf[16] = "junk";
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "dflt", buf, sizeof buf, c.file), 4);
    EXPECT_STREQ(buf, "dflt") << c.file << " " << c.section;
    EXPECT_EQ(GetPrivateProfileInt(c.section, c.key, -7, c.file), -7);
  }
}

TEST_F(Profile, ValueIsCutToTheCallersBuffer) {
  char buf[5];
  EXPECT_EQ(GetPrivateProfileString("Main", "DataPath", "", buf, sizeof buf, "KVT32.ini"), 4);
  EXPECT_STREQ(buf, "/dat");
}

TEST_F(Profile, WritesReplaceAddAndCreate) {
  ASSERT_TRUE(WritePrivateProfileString("MAIN", "postill", "4", "KVT32.ini"));
  ASSERT_TRUE(WritePrivateProfileString("Main", "New", "v", "KVT32.ini"));
  ASSERT_TRUE(WritePrivateProfileString("Main", "New", "w", "KVT32.ini"));
  ASSERT_TRUE(WritePrivateProfileString("Fresh", "A", "1", "KVT32.ini"));
  EXPECT_EQ(GetPrivateProfileInt("Main", "POSTILL", 0, "KVT32.ini"), 4);
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "main", "new"), "w");
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "fresh", "a"), "1");
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Other", "Key"), "x");
  std::string text = Slurp("KVT32.ini");
  EXPECT_EQ(text.find("New=v"), std::string::npos) << text;
  EXPECT_EQ(text.find("[Main]"), text.rfind("[Main]")) << "section written twice:\n" << text;

  std::remove("created.ini");
  ASSERT_TRUE(WritePrivateProfileString("S", "K", "V", ".\\created.ini"));
  EXPECT_EQ(Slurp("created.ini"), "[S]\nK=V\n");
}

TEST_F(Profile, NullValueRemovesKeyAndNullKeyRemovesSection) {
  ASSERT_TRUE(WritePrivateProfileString("Main", "POSTILL", nullptr, "KVT32.ini"));
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Main", "POSTILL", "gone"), "gone");
  ASSERT_TRUE(WritePrivateProfileString("Main", nullptr, nullptr, "KVT32.ini"));
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Main", "DataPath", "gone"), "gone");
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Other", "Key"), "x");
}

TEST_F(Profile, UnwritableFileFailsAndLeavesNothing) {
  EXPECT_FALSE(WritePrivateProfileString("S", "K", "V", "/nonexistent/dir/x.ini"));
  ::mkdir("ro", 0555);
  if (::geteuid() != 0) {
    EXPECT_FALSE(WritePrivateProfileString("S", "K", "V", "ro/x.ini"));
  }
}

TEST_F(Profile, ValuesThatWouldWriteLinesOfTheirOwnAreRefusedAndChangeNothing) {
  const std::string before = Slurp("KVT32.ini");
  // clang-format off
  struct Case { const char* section; const char* key; const char* value; } cases[] = {
      {"Main", "K", "x\n[Evil]\nDataPath=/tmp"},
      {"Main", "K", "x\rDataPath=/tmp"},
      {"Main", "K\nDataPath", "x"},
      {"Main", "K=DataPath", "x"},
      {"Main]\n[Evil", "K", "x"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, "KVT32.ini")) << c.value;
  EXPECT_EQ(Slurp("KVT32.ini"), before);
}

TEST_F(Profile, IntegersBeyondAnIntGiveTheDefault) {
  // clang-format off
  struct Case { const char* value; int expected; } cases[] = {
      {"4294967297", -1}, {"-4294967297", -1}, {"99999999999999999999", -1},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"12abc", 12}, {"abc", -1},
  };
  // clang-format on
  for (const auto& c : cases) {
    ASSERT_TRUE(WritePrivateProfileString("N", "V", c.value, "KVT32.ini"));
    EXPECT_EQ(GetPrivateProfileInt("N", "V", -1, "KVT32.ini"), c.expected) << c.value;
  }
}

// Tills and set-up screens writing one settings file at once lose no key,
// not even one that none of them writes.
TEST_F(Profile, ConcurrentWriterProcessesLoseNoKey) {
  constexpr int kWriters = 4, kKeys = 40;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int k = 0; k < kKeys; ++k) {
        std::string section = "Till" + std::to_string(w), key = "K" + std::to_string(k);
        ok = WritePrivateProfileString(section.c_str(), key.c_str(), "v", "KVT32.ini") && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  int lost = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kKeys; ++k)
      lost += kvt::ProfileString("KVT32.ini", "Till" + std::to_string(w), "K" + std::to_string(k))
                  .empty();
  EXPECT_EQ(lost, 0) << "of " << kWriters * kKeys << " keys";
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Main", "DataPath"), "/data/kvt");
  EXPECT_EQ(kvt::ProfileString("KVT32.ini", "Other", "Key"), "x");
}

}  // namespace
