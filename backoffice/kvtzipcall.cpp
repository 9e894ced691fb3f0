#include "backoffice/kvtzipcall.h"

#include <cerrno>
#include <cstring>

#include "platform/forms/msgbox.h"
#include "platform/win/folders.h"
#include "platform/win/process.h"

namespace {

std::string Program() {
  std::string folder = GetProgramFolder();
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  return folder + "KVTZIP.EXE";
}

bool Run(HWND owner, const std::string& command) {
  std::string error;
  errno = 0;
  int code = RunCommandLineAndWait(command, "", &error);
  if (code >= 0) return code != 0;
  int number = errno ? errno : ENOENT;
  char text[64];
  std::snprintf(text, sizeof text, "bZipFiles() failed: %ld", static_cast<long>(number));
  MessageBox(owner, text, "Kovatel Software", MB_OK | MB_ICONSTOP);
  std::string reason = std::strerror(number);
  if (!error.empty()) reason += "\n" + error;
  MessageBox(owner, reason.c_str(), "Kovatel Software", MB_OK | MB_ICONSTOP);
  return false;
}

}  // namespace

std::string KVTUnzipCommand(const std::string& program, const std::string& archive,
                            const std::string& mask, const std::string& destination) {
  return program + " D " + archive + " " + mask + " " + destination;
}

std::string KVTZipCommand(const std::string& program, const std::string& archive,
                          const std::string& source, bool span) {
  return program + " C " + archive + " " + source + " " + (span ? "SPAN" : "NOSPAN");
}

bool bUnzipFiles(HWND owner, const std::string& archive, const std::string& mask,
                 const std::string& destination) {
  return Run(owner, KVTUnzipCommand(Program(), archive, mask, destination));
}

bool bZipFiles(HWND owner, const std::string& archive, const std::string& source, bool span) {
  return Run(owner, KVTZipCommand(Program(), archive, source, span));
}
