// The dedicated till folder and its settings files.
#include "backoffice/postill.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/kvtbase.h"
#include "platform/forms/msgbox.h"
#include "platform/win/folders.h"
#include "platform/win/profile.h"
#include "shell/globals.h"

namespace {

const char* const kSqlSections[] = {"KVTSQL Connection One", "KVTSQL Connection Two",
                                    "KVTSQL Connection Three"};

bool Fail(HWND hWnd, const std::string& text) {
  MessageBox(hWnd, text.c_str(), PROGRAM_NAME, MB_OK | MB_ICONSTOP);
  return false;
}

std::string Read(const char* key, int size) {
  std::string buf(static_cast<std::size_t>(size) + 1, '\0');
  int n = GetPrivateProfileString("KVTSQL Connection One", key, "", buf.data(), size + 1,
                                  ".\\KVTSQL.INI");
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

// The database the back office's settings name, as the till must reach it
// from its own folder.
std::string FileDatabase(const std::string& cwd) {
  std::string dataPath = Read("DataPath", 150);
  if (dataPath.empty()) return cwd;
  std::filesystem::path p = kvt::ResolvePath(dataPath);
  return p.is_absolute() ? p.string()
                         : (std::filesystem::path(cwd) / p).lexically_normal().string();
}

bool WriteSqlSettings(const std::string& file, const std::string& cwd) {
  std::string translate = Read("Translate", 50);
  bool server = translate == "MSSQL" || translate == "MYSQL" || translate == "PGSQL";
  struct Key {
    const char* name;
    std::string value;
  };
  std::vector<Key> keys;
  if (server) {
    keys = {{"DataPath", ""},
            {"MapODBC", Read("MAPODBC", 50)},
            {"Translate", translate},
            {"UserName", Read("UserName", 50)},
            {"Password", Read("Password", 50)},
            {"Server", Read("Server", 150)},
            {"Database", Read("Database", 150)},
            {"Port", Read("Port", 50)},
            {"ConnInfo", Read("ConnInfo", 500)},
            {"Schema", Read("Schema", 150)}};
  } else {
    keys = {{"DataPath", FileDatabase(cwd)},
            {"MapODBC", ""},
            {"Translate", ""},
            {"UserName", ""},
            {"Password", ""},
            {"Server", ""},
            {"Database", ""}};
  }
  for (const char* section : kSqlSections)
    for (const Key& k : keys)
      if (!WritePrivateProfileString(section, k.name, k.value.c_str(), file.c_str())) return false;
  return true;
}

bool WriteTillSettings(const std::string& file) {
  const char* const entries[][3] = {
      {"KVT Programs", "POSTILL", "POSTILL"}, {"POSTILL", "Driver", "KVTTILL.DLL"},
      {"KVTEXE", "DebugLevel", ""},           {"KVTEXE", "UseScheduler", "1"},
      {"KVTEXE", "DisableNavigator", "1"},    {"KVTEXE", "POSTill", "1"},
  };
  for (const auto& e : entries)
    if (!WritePrivateProfileString(e[0], e[1], e[2], file.c_str())) return false;
  return true;
}

}  // namespace

bool CreatePOSTill(HWND hWnd) {
  std::error_code ec;
  std::string cwd = std::filesystem::current_path(ec).string();
  std::string till = cwd + "/POSTILL";
  if (ec || !CreateFolder(till)) return Fail(hWnd, "Error Creating Directory = " + till);
  if (!CopyFile("KVTCMP5.DBF", till + "/KVTCMP5.DBF", false))
    return Fail(hWnd, "Error creating KVTCMP5.DBF.");
  if (!WriteSqlSettings(till + "/KVTSQL.INI", cwd))
    return Fail(hWnd, "Error writing to KVTSQL.INI.");
  if (!CopyFile(KVT_INI[0] ? KVT_INI : ".\\KVT32.ini", till + "/KVT32.INI", false))
    return Fail(hWnd, "Error creating KVT32.INI.");
  if (!WriteTillSettings(till + "/KVT32.INI")) return Fail(hWnd, "Error writing to KVT32.INI.");
  std::string program = GetProgramFolder();
  if (program.empty()) return Fail(hWnd, "Error finding executable directory.");
  char text[1024];
  KVTsprintf(text,
             "A shortcut should be created with :\n\n Target =  %s\\TILL32.EXE.\n\nStart In =  %s",
             program.c_str(), till.c_str());
  MessageBox(hWnd, text, PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
  return true;
}

int CreatePOSTillIcon(HWND hWnd) {
  if (!CreatePOSTill(hWnd))
    MessageBox(hWnd, "This process was not successful due to errors.", PROGRAM_NAME,
               MB_OK | MB_ICONEXCLAMATION);
  return 0;
}
