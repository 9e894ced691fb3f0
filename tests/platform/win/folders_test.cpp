#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/folders.h"
#include "tests/support/files.h"

namespace {

using kvt::test::Slurp;
using kvt::test::WriteFile;

// Each test works in a fresh folder under the test's working directory.
class Folders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all("scratch");
    ASSERT_EQ(::mkdir("scratch", 0777), 0);
  }
};

TEST_F(Folders, CreatesParentsAndTakesAnExistingFolderAsDone) {
  std::string error;
  EXPECT_TRUE(CreateFolder(".\\scratch\\POSFILES\\a\\", &error)) << error;
  EXPECT_TRUE(FolderExists("scratch/POSFILES/a"));
  EXPECT_TRUE(CreateFolder("scratch/POSFILES/a", &error)) << error;
  EXPECT_TRUE(CreateFolder("scratch//POSFILES/b", &error)) << error;
  EXPECT_TRUE(FolderExists("scratch/POSFILES/b"));
  // A file in the way is a failure naming it.
  WriteFile("scratch/POSSign", "x");
  EXPECT_FALSE(CreateFolder("scratch/POSSign", &error));
  EXPECT_NE(error.find("scratch/POSSign"), std::string::npos) << error;
  EXPECT_FALSE(CreateFolder("scratch/POSSign/inner", &error));
  EXPECT_FALSE(CreateFolder("", &error));
  EXPECT_FALSE(FolderExists("scratch/POSSign"));
}

TEST_F(Folders, TempFolderFollowsTmpdirWithATrailingSlash) {
  const char* saved = std::getenv("TMPDIR");
  std::string keep = saved ? saved : "";
  // clang-format off
  struct Case { const char* tmpdir; const char* want; } cases[] = {  // null: unset
      {"/var/tmp", "/var/tmp/"}, {"/var/tmp/", "/var/tmp/"}, {"", "/tmp/"}, {nullptr, "/tmp/"}};
  // clang-format on
  auto set = [](const char* value) { value ? ::setenv("TMPDIR", value, 1) : ::unsetenv("TMPDIR"); };
  for (const auto& c : cases) {
    set(c.tmpdir);
    EXPECT_EQ(GetTempFolder(), c.want) << (c.tmpdir ? c.tmpdir : "(unset)");
  }
  set(saved ? keep.c_str() : nullptr);
}

TEST_F(Folders, FileExistsAndDeleteAreAboutFilesOnly) {
  WriteFile("scratch/KVTCMP5.DBF", "data");
  for (const char* name : {".\\scratch\\KVTCMP5.DBF", "scratch/kvtcmp5.dbf"})
    EXPECT_TRUE(FileExists(name)) << name;
  for (const char* name : {"scratch", "scratch/nothing", ""})
    EXPECT_FALSE(FileExists(name)) << name;
  std::string error;
  EXPECT_FALSE(DeleteFile("scratch", &error));
  EXPECT_TRUE(FolderExists("scratch"));
  EXPECT_TRUE(DeleteFile("scratch\\kvtcmp5.DBF", &error)) << error;
  EXPECT_FALSE(FileExists("scratch/KVTCMP5.DBF"));
  EXPECT_FALSE(DeleteFile("scratch/KVTCMP5.DBF", &error));
  EXPECT_NE(error.find("KVTCMP5.DBF"), std::string::npos) << error;
}

TEST_F(Folders, CopyKeepsOrReplacesTheTargetAsAsked) {
  WriteFile("scratch/KVT32.ini", "[Main]\nA=1\n");
  WriteFile("scratch/old.ini", "old");
  std::string error;
  EXPECT_FALSE(CopyFile("scratch/KVT32.ini", "scratch/old.ini", true, &error));
  EXPECT_EQ(Slurp("scratch/old.ini"), "old");
  EXPECT_TRUE(CopyFile("scratch/KVT32.ini", "scratch/old.ini", false, &error)) << error;
  EXPECT_EQ(Slurp("scratch/old.ini"), "[Main]\nA=1\n");
  EXPECT_TRUE(CopyFile(".\\scratch\\kvt32.INI", "scratch/new.ini", true, &error)) << error;
  EXPECT_EQ(Slurp("scratch/new.ini"), "[Main]\nA=1\n");
  EXPECT_FALSE(CopyFile("scratch/none.ini", "scratch/none2.ini", false, &error));
  EXPECT_FALSE(FileExists("scratch/none2.ini"));
  // A target folder that is not there: nothing half written anywhere.
  EXPECT_FALSE(CopyFile("scratch/KVT32.ini", "scratch/no/such.ini", false, &error));
  std::vector<KVTFileInfo> files;
  ASSERT_TRUE(ListFiles("scratch", "*", &files));
  EXPECT_EQ(files.size(), 3u);
}

TEST(Mask, MatchesLikeWindowsWithoutRegardToCase) {
  // clang-format off
  struct Case { const char* name; const char* mask; bool match; } cases[] = {
      {"ST-1-2-A-10202002.ZIP", "ST-1-2-*.ZIP", true}, {"st-1-2-a-10202002.zip", "ST-1-2-*.ZIP", true},
      {"ST-1-20-A-10202002.ZIP", "ST-1-2-*.ZIP", false},  // another till
      {"ST-11-2-A-10202002.ZIP", "ST-1-2-*.ZIP", false},  // another store
      {"TU-1-2-A-10202002.ZIP", "ST-1-2-*.ZIP", false}, {"ST-1-2-A-10202002.ZIP.bak", "ST-1-2-*.ZIP", false},
      {"ST-1-2-.ZIP", "ST-1-2-*.ZIP", true}, {"ICUST.DBF", "ICUST.*", true}, {"ICUSTX.DBF", "ICUST.*", false},
      {"README", "*.*", true}, {"a.b.zip", "*.zip", true}, {"abc", "a?c", true}, {"ac", "a?c", false},
      {"aXbYbc", "a*b*c", true}, {"aXbYbd", "a*b*c", false}, {"", "*", true}, {"x", "", false},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST_F(Folders, ListsMatchingFilesSortedAndLeavesFoldersOut) {
  ASSERT_TRUE(CreateFolder("scratch/xfer/ST-1-2-dir.ZIP"));
  WriteFile("scratch/xfer/ST-1-2-B-10212002.ZIP", "12345");
  WriteFile("scratch/xfer/st-1-2-a-10202002.zip", "1");
  WriteFile("scratch/xfer/ST-1-3-A-10202002.ZIP", "");
  WriteFile("scratch/xfer/TU-1-2-A-10202002.ZIP", "");
  std::vector<KVTFileInfo> files{KVTFileInfo{}};  // replaced, not appended to
  std::string error;
  ASSERT_TRUE(ListFiles(".\\scratch\\XFER\\", "ST-1-2-*.ZIP", &files, &error)) << error;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "ST-1-2-B-10212002.ZIP");
  EXPECT_EQ(files[0].path, "./scratch/xfer/ST-1-2-B-10212002.ZIP");
  EXPECT_EQ(files[0].size, 5);
  EXPECT_GT(files[0].modified, 0);
  EXPECT_EQ(files[1].name, "st-1-2-a-10202002.zip");

  ASSERT_TRUE(ListFiles("scratch/xfer", "ST-9-*", &files, &error)) << error;
  EXPECT_TRUE(files.empty());
  EXPECT_FALSE(ListFiles("scratch/none", "*", &files, &error));
  EXPECT_NE(error.find("scratch/none"), std::string::npos) << error;
}

}  // namespace
