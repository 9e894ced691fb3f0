// A program run through the shell: its exit code and what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace kvt::test {

struct CommandResult {
  int code = -1;    // -1 when the program did not exit by itself
  std::string out;  // stdout; add 2>&1 to the command for stderr too
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult r;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  while (std::size_t got = std::fread(buf, 1, sizeof buf, p)) r.out.append(buf, got);
  int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace kvt::test
