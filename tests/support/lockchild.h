// A till in another process for the lock tests: the child makes its own lock
// service (connection 1 and open locks belong to the parent), takes
// ("POSSALES", `process`) and holds it until it is killed.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "suite/host/lockservice.h"

namespace kvt::test {

// The child's pid, or -1 when it could not take the lock (the child is gone).
inline pid_t HoldLockInChild(const std::function<std::unique_ptr<KVTLockService>()>& makeService,
                             const std::string& process) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::unique_ptr<KVTLockService> locks = makeService();
    char ok = locks && locks->Acquire("POSSALES", process) ? '1' : '0';
    [[maybe_unused]] ssize_t w = ::write(fds[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  ::close(fds[1]);
  char ok = 0;
  [[maybe_unused]] ssize_t r = ::read(fds[0], &ok, 1);
  ::close(fds[0]);
  if (ok == '1') return pid;
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

// The lock service of the database the settings name, as a till opens it.
inline pid_t HoldLockInChild(const KVTConnectionSettings& settings, const std::string& process) {
  return HoldLockInChild(
      [&settings] {
        std::string error;
        return KVTLockServiceFor(settings, &error);
      },
      process);
}

// A crashed till: killed, and reaped.
inline void KillChild(pid_t pid) {
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace kvt::test
