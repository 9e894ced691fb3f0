// Named process locks held with flock on one file per lock.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>

#include "platform/win/folders.h"
#include "suite/host/lockservice.h"

std::string KVTProcessUserNumber() {
  char host[256] = "";
  ::gethostname(host, sizeof host - 1);
  return std::string(host) + ":" + std::to_string(::getpid());
}

KVTFileLockService::KVTFileLockService(std::string lockFolder) : folder_(std::move(lockFolder)) {
  CreateFolder(folder_);
}

KVTFileLockService::~KVTFileLockService() {
  for (auto& [key, fd] : held_) {
    [[maybe_unused]] int r = ::ftruncate(fd, 0);
    ::close(fd);  // closing the last descriptor releases the flock
  }
}

std::string KVTFileLockService::PathOf(const std::string& package,
                                       const std::string& process) const {
  // Lock names are codes ("POSSALES", "INSTANCE_AB"); anything else is
  // written as its character code so that no name can leave the folder.
  std::string name;
  for (char c : package + "." + process) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '_' || c == '-' || c == '.')
      name += c;
    else
      name += "%" + std::to_string(u);
  }
  return folder_ + "/" + name + ".lock";
}

std::string KVTFileLockService::CurrentUser() {
  return KVTProcessUserNumber();
}

int KVTFileLockService::Acquire(const std::string& package, const std::string& process) {
  auto key = std::make_pair(package, process);
  if (held_.count(key)) return 0;  // another window of this process has it
  int fd = ::open(PathOf(package, process).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return 0;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return 0;
  }
  std::string me = CurrentUser();
  if (::ftruncate(fd, 0) != 0 ||
      ::pwrite(fd, me.data(), me.size(), 0) != static_cast<ssize_t>(me.size())) {
    ::close(fd);
    return 0;
  }
  held_[key] = fd;
  return 1;
}

int KVTFileLockService::Release(const std::string& package, const std::string& process) {
  auto it = held_.find({package, process});
  if (it == held_.end()) return 0;
  [[maybe_unused]] int r = ::ftruncate(it->second, 0);
  ::close(it->second);
  held_.erase(it);
  return 1;
}

std::string KVTFileLockService::OwnerUser(const std::string& package, const std::string& process) {
  if (held_.count({package, process})) return CurrentUser();
  int fd = ::open(PathOf(package, process).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "";
  std::string owner;
  if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
    ::flock(fd, LOCK_UN);  // nobody holds it: whatever the file says is stale
  } else {
    char buf[300];
    ssize_t n = ::pread(fd, buf, sizeof buf, 0);
    if (n > 0) owner.assign(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return owner;
}
