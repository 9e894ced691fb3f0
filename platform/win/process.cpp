// Programs started with posix_spawn and waited for with waitpid.
#include "platform/win/process.h"

#include <dirent.h>
#include <errno.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/win/folders.h"
#include "platform/win/profile.h"

extern char** environ;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsExecutable(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// `base` in `dir`: as given, else the first entry equal to it or to its stem
// without ".exe", compared without regard to case.
std::string FindInFolder(const std::string& dir, const std::string& base) {
  std::string prefix = dir.empty() ? "" : (dir.back() == '/' ? dir : dir + "/");
  if (IsExecutable(prefix + base)) return prefix + base;
  std::string want = Lower(base);
  std::string stem = want.ends_with(".exe") ? want.substr(0, want.size() - 4) : "";
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return "";
  std::string found;
  while (dirent* e = ::readdir(d)) {
    std::string entry = Lower(e->d_name);
    if ((entry == want || (!stem.empty() && entry == stem)) && IsExecutable(prefix + e->d_name)) {
      found = prefix + e->d_name;
      if (entry == want) break;  // the full name wins over the stem
    }
  }
  ::closedir(d);
  return found;
}

int Failed(std::string* error, const std::string& text) {
  if (error) *error = text;
  return -1;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  std::size_t i = 0, n = line.size();
  auto blank = [&](std::size_t k) { return line[k] == ' ' || line[k] == '\t'; };
  while (i < n && blank(i)) ++i;
  if (i == n) return args;
  // The program name: quotes only group, backslashes are characters.
  std::string prog;
  for (bool quoted = false; i < n && (quoted || !blank(i)); ++i) {
    if (line[i] == '"')
      quoted = !quoted;
    else
      prog += line[i];
  }
  args.push_back(prog);
  // The arguments.
  for (;;) {
    while (i < n && blank(i)) ++i;
    if (i == n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !blank(i))) {
      if (line[i] == '\\') {
        std::size_t count = 0;
        while (i < n && line[i] == '\\') ++count, ++i;
        if (i < n && line[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(count, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += line[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

std::string FindProgramFile(const std::string& name) {
  std::string p = name;
  std::replace(p.begin(), p.end(), '\\', '/');
  if (p.empty() || p.back() == '/') return "";
  std::size_t slash = p.rfind('/');
  if (slash != std::string::npos)
    return FindInFolder(slash == 0 ? "/" : p.substr(0, slash), p.substr(slash + 1));
  const char* env = std::getenv("PATH");
  std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t colon = path.find(':', start);
    if (colon == std::string::npos) colon = path.size();
    std::string dir = path.substr(start, colon - start);  // empty: the working directory
    if (std::string found = FindInFolder(dir, p); !found.empty()) return found;
    start = colon + 1;
  }
  return "";
}

int RunProcessAndWait(const std::vector<std::string>& argv, const std::string& workingFolder,
                      std::string* error) {
  if (argv.empty() || argv[0].empty()) return Failed(error, "No program was given.");
  std::string program = FindProgramFile(argv[0]);
  if (program.empty()) return Failed(error, "Program not found: " + argv[0]);
  if (program[0] != '/') {
    // The child changes folder before it starts the program.
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) return Failed(error, "Cannot start " + program);
    program = std::string(cwd) + "/" + program;
  }
  std::string dir;
  if (!workingFolder.empty()) {
    dir = kvt::ResolvePath(workingFolder);
    if (!FolderExists(dir)) return Failed(error, "Working folder not found: " + workingFolder);
  }

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return Failed(error, "Cannot start " + program + ": " + std::strerror(rc));

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR)
      return Failed(error, "Cannot read the exit code of " + program + ": " + std::strerror(errno));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) {
    int sig = WTERMSIG(status);
    return Failed(error, program + " was ended by signal " + std::to_string(sig) + " (" +
                             ::strsignal(sig) + ")");
  }
  return Failed(error, "Cannot read the exit code of " + program);
}

int RunCommandLineAndWait(const std::string& commandLine, const std::string& workingFolder,
                          std::string* error) {
  return RunProcessAndWait(SplitCommandLine(commandLine), workingFolder, error);
}
