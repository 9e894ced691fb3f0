// Setting up a dedicated till folder: its settings reach the back office's
// database (a file database by its path, a server database by its
// credentials), the suite settings start the till, and a step that fails
// stops with its message.
#include "backoffice/postill.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "shell/globals.h"

namespace {

namespace fs = std::filesystem;

const char* const kSections[] = {"KVTSQL Connection One", "KVTSQL Connection Two",
                                 "KVTSQL Connection Three"};

class TillFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    KVTResetModuleState();
    user.Install();
    for (const char* f : {"POSTILL", "KVTSQL.ini", "KVT32.ini", "KVTCMP5.DBF"}) fs::remove_all(f);
    std::ofstream("KVTCMP5.DBF") << "computer configuration";
    WritePrivateProfileString("KVTEXE", "Scheduler", "kvtsched", ".\\KVT32.ini");
    cwd = fs::current_path().string();
  }
  // A value of the till's settings; "(missing)" when the key is not there.
  static std::string Till(const char* file, const char* section, const char* key) {
    return kvt::ProfileString(std::string("POSTILL/") + file, section, key, "(missing)");
  }
  void Source(const std::vector<std::pair<const char*, const char*>>& keys) {
    for (const auto& [k, v] : keys)
      ASSERT_TRUE(WritePrivateProfileString("KVTSQL Connection One", k, v, ".\\KVTSQL.ini"));
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const KVTShownMessage& m : user.Messages()) out.push_back(m.text);
    return out;
  }

  KVTHeadlessBackend user;
  std::string cwd;
};

TEST_F(TillFolder, AFileDatabaseIsReachedByItsFullPath) {
  struct Case {
    const char* translate;
    const char* dataPath;
    std::string expected;
  } cases[] = {
      {"SQLITE", "kvtpos.db", cwd + "/kvtpos.db"},
      {"", "data/store.db", cwd + "/data/store.db"},
      {"SQLITE", "/srv/pos/store.db", "/srv/pos/store.db"},
      {"SQLITE", "", cwd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dataPath);
    user.Reset();
    fs::remove_all("POSTILL");
    Source({{"Translate", c.translate}, {"DataPath", c.dataPath}, {"UserName", "ignored"}});
    ASSERT_TRUE(CreatePOSTill(nullptr)) << testing::PrintToString(Texts());
    for (const char* s : kSections) {
      EXPECT_EQ(Till("KVTSQL.INI", s, "DataPath"), c.expected) << s;
      for (const char* k : {"MapODBC", "Translate", "UserName", "Password", "Server", "Database"})
        EXPECT_EQ(Till("KVTSQL.INI", s, k), "") << s << " " << k;
    }
    EXPECT_TRUE(FileExists("POSTILL/KVTCMP5.DBF"));
  }
}

TEST_F(TillFolder, AServerDatabaseIsReachedWithTheBackOfficeCredentials) {
  for (const char* kind : {"PGSQL", "MSSQL", "MYSQL"}) {
    SCOPED_TRACE(kind);
    user.Reset();
    fs::remove_all("POSTILL");
    Source({{"Translate", kind},
            {"DataPath", "/should/not/travel"},
            {"MAPODBC", "KVTODBC"},
            {"UserName", "till"},
            {"Password", "s3cret"},
            {"Server", "office:5433"},
            {"Database", "store"},
            {"Schema", "main"}});
    ASSERT_TRUE(CreatePOSTill(nullptr)) << testing::PrintToString(Texts());
    for (const char* s : kSections) {
      EXPECT_EQ(Till("KVTSQL.INI", s, "DataPath"), "") << s;
      EXPECT_EQ(Till("KVTSQL.INI", s, "MapODBC"), "KVTODBC");
      EXPECT_EQ(Till("KVTSQL.INI", s, "Translate"), kind);
      EXPECT_EQ(Till("KVTSQL.INI", s, "UserName"), "till");
      EXPECT_EQ(Till("KVTSQL.INI", s, "Password"), "s3cret");
      EXPECT_EQ(Till("KVTSQL.INI", s, "Server"), "office:5433");
      EXPECT_EQ(Till("KVTSQL.INI", s, "Database"), "store");
      EXPECT_EQ(Till("KVTSQL.INI", s, "Schema"), "main");
    }
  }
}

TEST_F(TillFolder, TheTillStartsByItselfAndTheOperatorIsToldTheShortcut) {
  Source({{"Translate", "SQLITE"}, {"DataPath", "kvtpos.db"}});
  EXPECT_EQ(CreatePOSTillIcon(nullptr), 0);
  EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "Scheduler"), "kvtsched") << "a copy of the suite's";
  EXPECT_EQ(Till("KVT32.INI", "KVT Programs", "POSTILL"), "POSTILL");
  EXPECT_EQ(Till("KVT32.INI", "POSTILL", "Driver"), "KVTTILL.DLL");
  EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "DebugLevel"), "");
  EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "UseScheduler"), "1");
  EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "DisableNavigator"), "1");
  EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "POSTill"), "1");
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "A shortcut should be created with :\n\n Target =  " + GetProgramFolder() +
                "\\TILL32.EXE.\n\nStart In =  " + cwd + "/POSTILL");
  EXPECT_EQ(user.Messages()[0].caption, "Point of Sale");
  EXPECT_EQ(user.Messages()[0].icon, "information");
  // Run again over an existing folder: the same result.
  user.Reset();
  EXPECT_TRUE(CreatePOSTill(nullptr));
}

TEST_F(TillFolder, TheFirstFailingStepStopsWithItsMessage) {
  Source({{"Translate", "SQLITE"}, {"DataPath", "kvtpos.db"}});
  struct Case {
    const char* name;
    std::function<void()> breakIt;
    std::string message;
  } cases[] = {
      {"a file where the folder goes", [] { std::ofstream("POSTILL") << "x"; },
       "Error Creating Directory = " + cwd + "/POSTILL"},
      {"no computer configuration", [] { fs::remove("KVTCMP5.DBF"); },
       "Error creating KVTCMP5.DBF."},
      {"database settings cannot be written", [] { fs::create_directories("POSTILL/KVTSQL.INI"); },
       "Error writing to KVTSQL.INI."},
      {"no suite settings", [] { fs::remove("KVT32.ini"); }, "Error creating KVT32.INI."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all("POSTILL");
    std::ofstream("KVTCMP5.DBF") << "computer configuration";
    WritePrivateProfileString("KVTEXE", "Scheduler", "kvtsched", ".\\KVT32.ini");
    c.breakIt();
    user.Reset();
    EXPECT_EQ(CreatePOSTillIcon(nullptr), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           c.message, "This process was not successful due to errors."}));
    EXPECT_EQ(Till("KVT32.INI", "KVTEXE", "POSTill"), "(missing)");
  }
}

}  // namespace
