// The compression program by its command lines and exit codes (1 done, 0
// failed): pack, unpack by mask, and archives that are damaged or missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "backoffice/kvtzipcall.h"
#include "tests/support/files.h"
#include "tests/support/run.h"

namespace fs = std::filesystem;

namespace {

using kvt::test::Slurp;

class Kvtzip : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir + "/in");
    kvt::test::WriteFile(dir + "/in/ICUST.DBF", std::string(5000, 'x') + "O'Neil");
    kvt::test::WriteFile(dir + "/in/ICUST.DBT", "memo");
    kvt::test::WriteFile(dir + "/in/OTHER.DBF", "other");
  }
  // The exit code of one run.
  static int Run(const std::string& args) {
    return kvt::test::RunCommand(std::string(KVTZIP_PATH) + " " + args + " 2>/dev/null").code;
  }
  kvt::test::ScratchDir scratch;
  const std::string dir = scratch.path();
};

TEST_F(Kvtzip, PacksThenUnpacksByMask) {
  std::string zip = dir + "/POSFILES.ZIP";
  ASSERT_EQ(Run("C " + zip + " '" + dir + "/in/*' NOSPAN"), 1);
  ASSERT_EQ(Run("D " + zip + " 'icust.*' " + dir + "/out"), 1);
  EXPECT_EQ(Slurp(dir + "/out/ICUST.DBF"), Slurp(dir + "/in/ICUST.DBF"));
  EXPECT_EQ(Slurp(dir + "/out/ICUST.DBT"), "memo");
  EXPECT_FALSE(fs::exists(dir + "/out/OTHER.DBF")) << "not in the mask";
  // Nothing matching is not a failure: the caller finds the table missing.
  EXPECT_EQ(Run("D " + zip + " 'NONE.*' " + dir + "/none"), 1);
  EXPECT_EQ(Run("C " + dir + "/SPAN.ZIP " + dir + "/in/OTHER.DBF SPAN"), 1);
}

TEST_F(Kvtzip, FailuresExitZero) {
  std::string zip = dir + "/POSFILES.ZIP";
  ASSERT_EQ(Run("C " + zip + " '" + dir + "/in/*' NOSPAN"), 1);
  std::string bytes = Slurp(zip);
  kvt::test::WriteFile(dir + "/CUT.ZIP", bytes.substr(0, bytes.size() / 2));
  // clang-format off
  struct Case { std::string args; } cases[] = {
      {"D " + dir + "/CUT.ZIP '*' " + dir + "/out"},
      {"D " + dir + "/MISSING.ZIP '*' " + dir + "/out"},
      {"C " + dir + "/X.ZIP " + dir + "/in/NOFILE NOSPAN"},
      {"C " + dir + "/X.ZIP " + dir + "/in/OTHER.DBF MAYBE"},
      {"X " + zip + " '*' " + dir + "/out"},
      {"D " + zip},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(Run(c.args), 0) << c.args;
  EXPECT_FALSE(fs::exists(dir + "/X.ZIP"));
}

TEST_F(Kvtzip, CallsFromTheTillBuildTheCommandAndReadTheExitCode) {
  EXPECT_EQ(KVTUnzipCommand("/p/KVTZIP.EXE", "/a/POSFILES.ZIP", "ICUST.*", "/tmp/POSFILES/"),
            "/p/KVTZIP.EXE D /a/POSFILES.ZIP ICUST.* /tmp/POSFILES/");
  EXPECT_EQ(KVTZipCommand("/p/KVTZIP.EXE", "/a/X.ZIP", "/in/*.DBF", true),
            "/p/KVTZIP.EXE C /a/X.ZIP /in/*.DBF SPAN");
  EXPECT_EQ(KVTZipCommand("/p/KVTZIP.EXE", "/a/X.ZIP", "/in/*.DBF", false),
            "/p/KVTZIP.EXE C /a/X.ZIP /in/*.DBF NOSPAN");
  std::string zip = dir + "/POSFILES.ZIP";
  ASSERT_TRUE(bZipFiles(nullptr, zip, dir + "/in/ICUST.*", false));
  ASSERT_TRUE(bUnzipFiles(nullptr, zip, "ICUST.*", dir + "/out/"));
  EXPECT_EQ(Slurp(dir + "/out/ICUST.DBT"), "memo");
  kvt::test::WriteFile(dir + "/BAD.ZIP", "not an archive");
  EXPECT_FALSE(bUnzipFiles(nullptr, dir + "/BAD.ZIP", "ICUST.*", dir + "/out/"));
}

}  // namespace
