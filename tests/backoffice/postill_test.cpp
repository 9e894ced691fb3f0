// Setting up a dedicated till folder: its settings reach the back office's
// database, the suite settings start the till, a failing step stops.
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
using Keys = std::vector<std::pair<std::string, std::string>>;

class TillFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    KVTResetModuleState();
    user.Install();
    fs::remove_all("KVTSQL.ini");
    Fresh();
    cwd = fs::current_path().string();
  }
  // A back-office folder without a till folder yet.
  static void Fresh() {
    for (const char* f : {"POSTILL", "KVT32.ini", "KVTCMP5.DBF"}) fs::remove_all(f);
    std::ofstream("KVTCMP5.DBF") << "computer configuration";
    WritePrivateProfileString("KVTEXE", "Scheduler", "kvtsched", ".\\KVT32.ini");
  }
  // Each key of the till's file in `section` (every database section when
  // empty) is as given; "(missing)" for a key that is not there.
  static void ExpectTill(const char* file, const char* section, const Keys& keys) {
    std::vector<std::string> sections = {"KVTSQL Connection One", "KVTSQL Connection Two",
                                         "KVTSQL Connection Three"};
    if (*section) sections = {section};
    for (const std::string& s : sections)
      for (const auto& [key, value] : keys)
        EXPECT_EQ(kvt::ProfileString(std::string("POSTILL/") + file, s, key, "(missing)"), value)
            << file << " [" << s << "] " << key;
  }
  void CreateFrom(const Keys& source) {
    fs::remove_all("KVTSQL.ini");
    for (const auto& [k, v] : source)
      WritePrivateProfileString("KVTSQL Connection One", k.c_str(), v.c_str(), ".\\KVTSQL.ini");
    Fresh();
    user.Reset();
    EXPECT_TRUE(CreatePOSTill(nullptr)) << (user.Messages().empty() ? "" : user.Messages()[0].text);
  }

  KVTHeadlessBackend user;
  std::string cwd;
};

TEST_F(TillFolder, TheTillReachesTheBackOfficesDatabase) {
  const Keys kNoServer = {{"MapODBC", ""},  {"Translate", ""}, {"UserName", ""},
                          {"Password", ""}, {"Server", ""},    {"Database", ""}};
  // A file database by its full path, whatever else the settings hold.
  // clang-format off
  struct Case { const char* translate; const char* dataPath; std::string expected; } cases[] = {
      {"SQLITE", "kvtpos.db", cwd + "/kvtpos.db"}, {"", "data/store.db", cwd + "/data/store.db"},
      {"SQLITE", "/srv/pos/store.db", "/srv/pos/store.db"}, {"SQLITE", "", cwd},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dataPath);
    CreateFrom({{"Translate", c.translate}, {"DataPath", c.dataPath}, {"UserName", "ignored"}});
    ExpectTill("KVTSQL.INI", "", kNoServer);
    ExpectTill("KVTSQL.INI", "", {{"DataPath", c.expected}});
    EXPECT_TRUE(FileExists("POSTILL/KVTCMP5.DBF"));
  }
  // A server database by the back office's credentials, never by a path.
  for (const char* kind : {"PGSQL", "MSSQL", "MYSQL"}) {
    SCOPED_TRACE(kind);
    Keys credentials = {{"Translate", kind},       {"UserName", "till"},  {"Password", "s3cret"},
                        {"Server", "office:5433"}, {"Database", "store"}, {"Schema", "main"}};
    Keys source = credentials;
    source.insert(source.end(), {{"DataPath", "/should/not/travel"}, {"MAPODBC", "KVTODBC"}});
    CreateFrom(source);
    credentials.insert(credentials.end(), {{"DataPath", ""}, {"MapODBC", "KVTODBC"}});
    ExpectTill("KVTSQL.INI", "", credentials);
  }
}

TEST_F(TillFolder, TheTillStartsByItselfAndTheOperatorIsToldTheShortcut) {
  WritePrivateProfileString("KVTSQL Connection One", "DataPath", "kvtpos.db", ".\\KVTSQL.ini");
  EXPECT_EQ(CreatePOSTillIcon(nullptr), 0);
  ExpectTill("KVT32.INI", "KVTEXE",
             {{"Scheduler", "kvtsched"},
              {"DebugLevel", ""},
              {"UseScheduler", "1"},
              {"DisableNavigator", "1"},
              {"POSTill", "1"}});
  ExpectTill("KVT32.INI", "KVT Programs", {{"POSTILL", "POSTILL"}});
  ExpectTill("KVT32.INI", "POSTILL", {{"Driver", "KVTTILL.DLL"}});
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "A shortcut should be created with :\n\n Target =  " + GetProgramFolder() +
                "\\TILL32.EXE.\n\nStart In =  " + cwd + "/POSTILL");
  EXPECT_EQ(user.Messages()[0].caption, "Point of Sale");
  EXPECT_EQ(user.Messages()[0].icon, "information");
  user.Reset();
  EXPECT_TRUE(CreatePOSTill(nullptr)) << "again over the folder it made";
}

TEST_F(TillFolder, TheFirstFailingStepStopsWithItsMessage) {
  // clang-format off
  struct Case { std::function<void()> breakIt; std::string message; } cases[] = {
      {[] { std::ofstream("POSTILL") << "x"; }, "Error Creating Directory = " + cwd + "/POSTILL"},
      {[] { fs::remove("KVTCMP5.DBF"); }, "Error creating KVTCMP5.DBF."},
      {[] { fs::create_directories("POSTILL/KVTSQL.INI"); }, "Error writing to KVTSQL.INI."},
      {[] { fs::remove("KVT32.ini"); }, "Error creating KVT32.INI."},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Fresh();
    c.breakIt();
    user.Reset();
    EXPECT_EQ(CreatePOSTillIcon(nullptr), 0);
    std::vector<std::string> said;
    for (const KVTShownMessage& m : user.Messages()) said.push_back(m.text);
    EXPECT_EQ(said, (std::vector<std::string>{c.message,
                                              "This process was not successful due to errors."}));
    ExpectTill("KVT32.INI", "KVTEXE", {{"POSTill", "(missing)"}});
  }
}

}  // namespace
