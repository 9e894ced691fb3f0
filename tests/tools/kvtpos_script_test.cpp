// kvtpos-script: the script language, and the tool run on the test module
// with transcripts for scripts that hold and scripts that do not.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsql.h"
#include "tests/support/run.h"
#include "tools/kvtpos-script/script.h"

namespace {

TEST(ScriptParse, ReadsEveryCommand) {
  std::vector<ScriptCommand> cmds;
  std::string error;
  ASSERT_TRUE(
      ParseScript("# comment\n\ntoday 12/05/2025\r\ncall POSLogin\ntype  two words \n"
                  "type \"  S1 \"\nkey Ctrl+Shift+F3\nclick &OK\nrow 106 2\nanswer no\n"
                  "expect message \"A\\n\\nB\" \"Error\"\nexpect field 101 \"\"\nexpect focus 102\n"
                  "expect cell 106 0 3 \"3.00\"\nexpect rows 106 1\nexpect screen \"Test Screen\"\n"
                  "expect sql \"SELECT A, B FROM T\" \"a|b\\nc|d\"\nshow\n",
                  &cmds, &error))
      << error;
  ASSERT_EQ(cmds.size(), 16u);
  EXPECT_EQ(cmds[0].line, 3);
  EXPECT_EQ(cmds[0].text, std::vector<std::string>{"12/05/2025"});
  EXPECT_EQ(cmds[2].text[0], "two words");
  EXPECT_EQ(cmds[3].text[0], "  S1 ");
  EXPECT_EQ(KVTKeyName(cmds[4].key), "Shift+Ctrl+F3");
  EXPECT_EQ(cmds[5].text[0], "&OK");
  EXPECT_EQ(cmds[6].numbers, (std::vector<int>{106, 2}));
  EXPECT_EQ(cmds[7].button, IDNO);
  EXPECT_EQ(cmds[8].text, (std::vector<std::string>{"A\n\nB", "Error"}));
  EXPECT_EQ(cmds[9].text, std::vector<std::string>{""});
  EXPECT_EQ(cmds[11].numbers, (std::vector<int>{106, 0, 3}));
  EXPECT_EQ(cmds[14].text[1], "a|b\nc|d");
  EXPECT_EQ(cmds[15].kind, ScriptCommand::kShow);
}

TEST(ScriptParse, RefusesABadLineWithItsNumber) {
  // clang-format off
  struct Case { const char* script; const char* error; } cases[] = {
      {"show\nkey Enterr\n", "line 2: unknown key \"Enterr\""},
      {"answer Maybe", "line 1: unknown answer \"Maybe\""},
      {"expect field x \"a\"", "line 1: expected: expect field ID \"TEXT\""},
      {"expect field 101 a b", "line 1: expected: expect field ID \"TEXT\""},
      {"expect message \"open", "line 1: a quote is not closed"},
      {"expect message", "line 1: expected: expect message \"TEXT\" [\"CAPTION\"]"},
      {"expect colour 101", "line 1: unknown check \"expect colour\""},
      {"press F3", "line 1: unknown command \"press\""},
      {"type", "line 1: text is missing"},
      {"call", "line 1: expected: call EXPORT"},
      {"row 106 4294967297", "line 1: expected: row GRID ROW"},  // would wrap to row 1
      {"row 106 -1", "line 1: expected: row GRID ROW"},
      {"expect rows 106 99999999999", "line 1: expected: expect rows GRID COUNT"},
      {"expect sql \"DROP TABLE KVTPOS1\" \"\"", "line 1: expect sql runs a SELECT only"},
      {"expect sql \"DELETE FROM KVTPOS1\" \"\"", "line 1: expect sql runs a SELECT only"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::vector<ScriptCommand> cmds;
    std::string error;
    EXPECT_FALSE(ParseScript(c.script, &cmds, &error)) << c.script;
    EXPECT_EQ(error.substr(0, error.find('\n')), c.error) << c.script;
  }
}

TEST(ScriptRun, SqlChecksReadTheInstalledQuery) {
  KVTHeadlessBackend user;
  user.Install();
  std::vector<ScriptCommand> cmds;
  std::string error;
  ASSERT_TRUE(
      ParseScript("expect sql \"SELECT A,B FROM T\" \"a|b\\nc|\"\n"
                  "expect sql \"SELECT A,B FROM T\" \"a|b\"\nexpect sql \"SELECT BROKEN\" \"\"\n",
                  &cmds, &error));
  SetFormsQuery([](const std::string& sql, std::vector<std::vector<std::string>>* rows) {
    *rows = {{"a", "b"}, {"c", ""}};
    return sql != "SELECT BROKEN";
  });
  std::ostringstream out;
  ScriptRunner runner(user, nullptr, "KVTPOS.DLL", out);
  EXPECT_EQ(runner.Run(cmds), 1);
  SetFormsQuery({});
  std::string t = out.str();
  EXPECT_NE(t.find("line 2: the rows are \"a|b\\nc|\", expected \"a|b\""), std::string::npos) << t;
  EXPECT_NE(t.find("line 3: the statement failed: SELECT BROKEN"), std::string::npos) << t;
  EXPECT_NE(t.find("1 of 3 checks held; 2 failures:"), std::string::npos) << t;
}

using Result = kvt::test::CommandResult;

// Runs the tool on a script with the test module; stdout and stderr together.
// An empty script: no script file (the options name what is run).
Result RunTool(const std::string& script, const std::string& options = "") {
  static int n = 0;
  std::string path = script.empty() ? "" : "script" + std::to_string(++n) + ".kvts";
  if (!script.empty()) std::ofstream(path) << script;
  const char* dir = std::getenv("KVT_MODULE_DIR");
  return kvt::test::RunCommand(std::string(dir ? dir : ".") +
                               "/kvtpos-script --module KVTFORMTEST.DLL " + options + " " + path +
                               " 2>&1");
}

// 18 lines: a refused store, a line, a question answered No, a note.
const char* kSale =
    "today 12/05/2025\ncall OpenTestScreen\ntype S9\nkey Enter\n"
    "expect message \"Invalid Store.\" \"Error\"\ntype S1\nkey Enter\ntype 2\nkey Enter\n"
    "type 1.50\nkey Enter\nanswer No\nkey F3\nexpect message \"Clear all lines?\"\n"
    "expect cell 106 0 3 \"3.00\"\nkey F6\ntype Call the customer\nclick OK\n";

// The script holds; with pictures the transcript is the same, the pictures listed after it.
TEST(ScriptTool, ScriptThatHoldsExitsZeroWithOrWithoutPictures) {
  std::string script =
      std::string(kSale) + "expect field 151 \"Note: Call the customer\"\nexpect focus 102\nshow\n";
  Result plain = RunTool(script);
  EXPECT_EQ(plain.code, 0) << plain.out;
  for (const char* want :
       {"message \"Test Screen\" (question, Yes/No): \"Clear all lines?\" -> No",
        "|   >S1     |         2|      1.50|       3.00", "5 of 5 checks held; no failures."})
    EXPECT_NE(plain.out.find(want), std::string::npos) << want << " in\n" << plain.out;
  Result drawn = RunTool(script, "--pictures pics");
  EXPECT_EQ(drawn.code, 0) << drawn.out;
  std::size_t end = drawn.out.find(" pictures (");
  ASSERT_NE(end, std::string::npos) << drawn.out;
  std::size_t listed = drawn.out.rfind('\n', end) + 1;
  auto steps = [](const std::string& out, std::size_t to) {
    std::size_t from = out.find("   1> ");
    return from == std::string::npos ? out : out.substr(from, to - from);
  };
  EXPECT_EQ(steps(drawn.out, listed), steps(plain.out, plain.out.size()));
  EXPECT_EQ(drawn.out.find("propagateSizeHints"), std::string::npos) << drawn.out;
  for (const char* file : {"pics/01-Test-Screen.png", "pics/02-Error.png",
                           "pics/03-Test-Screen.png", "pics/04-Note.png"}) {
    EXPECT_NE(drawn.out.find(file), std::string::npos) << file << " in\n" << drawn.out;
    std::ifstream png(file, std::ios::binary);
    char magic[4] = {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG") << file;
  }
}

// Scripts that do not hold exit 1 with a transcript of the failures; a
// script or a database that cannot be used exits 2 before anything runs.
TEST(ScriptTool, FailuresAreToldWithTheirLinesAndExitCode) {
  std::filesystem::create_directories("a-folder");
  // clang-format off
  struct Case { std::string script; const char* options; int code; std::vector<std::string> told; } cases[] = {
      {std::string(kSale) + "expect field 151 \"Note: Call back\"\nanswer Yes\nkey F3\nexpect message \"Clear the lines?\"\n", "", 1, {
           "  19> expect field 151 \"Note: Call back\"\n"
           "      FAILED: field 151 is \"Note: Call the customer\", expected \"Note: Call back\"\n"
           "      == Test Screen ==\n",
           "      FAILED: expected the message \"Clear the lines?\", but the box shown was \"Test Screen\" (question, Yes/No): \"Clear all lines?\"",
           "3 of 5 checks held; 2 failures:\n"
           "  line 19: field 151 is \"Note: Call the customer\", expected \"Note: Call back\"\n"
           "  line 22: expected the message"}},
      {"call OpenTestScreen\ntype S1\nkey Enter\nkey Enter\ntype 1\nkey Enter\nkey F3\ncall NoSuchExport\n", "", 1, {
           "line 7: an unexpected question: \"Test Screen\" (question, Yes/No): \"Clear all lines?\"",
           "line 8: the module KVTFORMTEST.DLL has no export NoSuchExport"}},
      {"call abort\n", "", 1, {"has no export abort"}},  // another library's export is none of the module's
      {"expect sql \"SELECT 1\" \"1\"\n", "", 1, {"line 1: no database connected"}},
      {"call OpenTestScreen\nkey Enterr\n", "", 2, {"line 2: unknown key \"Enterr\""}},
      {"", "a-folder", 2, {"cannot read a-folder: it is a folder"}},
      {"show\n", "--database nowhere", 2, {"cannot connect to \"nowhere\""}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Result r = RunTool(c.script, c.options);
    EXPECT_EQ(r.code, c.code) << c.script << r.out;
    for (const std::string& told : c.told)
      EXPECT_NE(r.out.find(told), std::string::npos) << "missing:\n" << told << "\nin:\n" << r.out;
    if (c.code == 2) {
      EXPECT_EQ(r.out.find("OpenTestScreen"), std::string::npos) << "nothing runs";
    }
  }
  EXPECT_FALSE(std::ifstream("nowhere").good()) << "a mistyped name must not create a database";
}

TEST(ScriptTool, ExpectSqlReadsTheNamedDatabase) {
  std::remove("script.db");
  KVTConnectionSettings s;
  s.dataPath = "script.db";
  s.create = true;
  ASSERT_TRUE(KVTOpenConnectionOne(s)) << KVTLastSqlError();
  {
    KVTSConnection c(1, nullptr, 0);
    ASSERT_GE(c.ExecSQLChange("CREATE TABLE KVTCOM13 (REFERENCE TEXT, NAME TEXT)"), 0);
    ASSERT_EQ(c.ExecSQLChange("INSERT INTO KVTCOM13 VALUES ('S1','Main'),('S2','North')"), 2);
  }
  KVTCloseConnectionOne();
  std::ofstream("script.ini") << "[KVTSQL Connection One]\nTranslate=SQLITE\nDataPath=script.db\n";

  const char* both =
      "expect sql \"SELECT REFERENCE, NAME FROM KVTCOM13 ORDER BY 1\" \"S1|Main\\nS2|North\"\n";
  for (const char* where : {"script.db", "'.\\script.ini'"}) {
    Result r = RunTool(both, std::string("--database ") + where);
    EXPECT_EQ(r.code, 0) << where << "\n" << r.out;
  }
  Result r = RunTool("expect sql \"SELECT NAME FROM KVTCOM13\" \"Main\"\n", "--database script.db");
  EXPECT_EQ(r.code, 1) << "two rows are not one:\n" << r.out;
}

}  // namespace
