#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/process.h"
#include "tests/support/files.h"

namespace {

using kvt::test::Slurp;

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAsWindowsProgramsDo) {
  // clang-format off
  struct Case { const char* line; Args want; } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog \t a   b  ", {"prog", "a", "b"}},
      {"", {}},
      {"   ", {}},
      {"prog \"a b\" c", {"prog", "a b", "c"}},
      {"prog a\"b c\"d", {"prog", "ab cd"}},
      {"prog \"\"", {"prog", ""}},
      {"prog C:\\dir\\file", {"prog", "C:\\dir\\file"}},    // lone backslashes stay
      {"prog a\\\"b", {"prog", "a\"b"}},                    // \" is a quote character
      {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},            // \\" is \ and a grouping quote
      {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},              // \\\" is \ and a quote character
      {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},  // "" inside quotes
      {"prog \"open", {"prog", "open"}},                    // an unclosed quote runs to the end
      {"\"C:\\Program Files\\KVTZIP.EXE\" D a.zip", {"C:\\Program Files\\KVTZIP.EXE", "D", "a.zip"}},
      {"C:\\dir\\\"x y\" z", {"C:\\dir\\x y", "z"}},  // no backslash rules in the program name
      {"/bin/sh -c \"exit 3\"", {"/bin/sh", "-c", "exit 3"}},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.want) << c.line;
}

TEST(Process, ExitCodeComesBack) {
  // clang-format off
  struct Case { const char* line; int code; } cases[] = {
      {"/bin/sh -c \"exit 0\"", 0}, {"/bin/sh -c \"exit 3\"", 3}, {"sh -c \"exit 255\"", 255},
      {"true", 0}, {"false", 1},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(RunCommandLineAndWait(c.line, "", &error), c.code) << c.line << ": " << error;
  }
  EXPECT_EQ(RunProcessAndWait({"/bin/sh", "-c", "exit 3"}), 3);
}

TEST(Process, ProgramThatCannotRunIsMinusOneWithAReason) {
  // clang-format off
  struct Case { Args argv; std::string folder; std::string inError; } cases[] = {
      {{"/no/such/KVTZIP.EXE", "D", "a.zip"}, "", "/no/such/KVTZIP.EXE"},
      {{"kvtnosuchprogram"}, "", "kvtnosuchprogram"},
      {{}, "", "No program"},
      {{"/bin/sh", "-c", "exit 0"}, "no-such-folder", "no-such-folder"},
      {{"/bin/sh", "-c", "kill -9 $$"}, "", "signal 9"},  // killed: no exit code to trust
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(RunProcessAndWait(c.argv, c.folder, &error), -1) << c.inError;
    EXPECT_NE(error.find(c.inError), std::string::npos) << error;
  }
}

class Program : public ::testing::Test {
 protected:
  // A stand-in for the compression program: records where it ran and what
  // it was given, exits 5.
  void SetUp() override {
    std::filesystem::remove_all("scratch");
    std::filesystem::create_directories("scratch/work");
    std::ofstream("scratch/kvtzip")
        << "#!/bin/sh\npwd > args.txt\nprintf '%s\\n' \"$@\" >> args.txt\n"
           "exit 5\n";
    ::chmod("scratch/kvtzip", 0755);
    std::ofstream("scratch/notes") << "not a program\n";
  }
};

TEST_F(Program, WindowsNameFindsTheProgramAndItGetsItsArgumentsAndFolder) {
  std::string error;
  EXPECT_EQ(RunCommandLineAndWait("scratch\\KVTZIP.EXE D \"C:\\my files\\a.zip\" ICUST.*",
                                  "scratch\\work", &error),
            5)
      << error;
  std::string work = std::filesystem::absolute("scratch/work").lexically_normal().string();
  EXPECT_EQ(Slurp("scratch/work/args.txt"), work + "\nD\nC:\\my files\\a.zip\nICUST.*\n");
}

TEST_F(Program, FindsByNameOnlyExecutableFiles) {
  std::string want = "scratch/kvtzip";
  for (const char* name : {"scratch/kvtzip", "scratch/KVTZIP", "scratch\\KvtZip.exe"})
    EXPECT_EQ(FindProgramFile(name), want) << name;
  for (const char* name : {"scratch/notes", "scratch/work", "scratch/kvtzip.com", "scratch/", ""})
    EXPECT_EQ(FindProgramFile(name), "") << name;
  EXPECT_EQ(FindProgramFile("sh"), FindProgramFile("SH.EXE"));
  EXPECT_FALSE(FindProgramFile("sh").empty());
}

}  // namespace
