// A pseudo-terminal standing in for a serial device: the till opens its
// slave side as "COMn" (mapped in kvtlocal.ini, section "Ports"); the test
// reads what was sent from the master side and may write back.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/win/profile.h"

namespace kvt::test {

class Pty {
 public:
  // Opens a pair and maps `com` ("COM1") to its slave in ./kvtlocal.ini.
  explicit Pty(const std::string& com = "COM1") {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    path_ = ::ptsname(master_);
    // Held open so the line stays up between the till's opens and closes.
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
    WritePrivateProfileString("Ports", com.c_str(), path_.c_str(), "kvtlocal.ini");
  }
  ~Pty() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  bool ok() const { return master_ >= 0 && slave_ >= 0; }
  const std::string& path() const { return path_; }

  // What arrives within `ms` milliseconds, up to `want` bytes.
  std::string Read(std::size_t want, int ms = 2000) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                      end - std::chrono::steady_clock::now())
                      .count();
      if (left <= 0) break;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buf[256];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }
  void Write(const std::string& text) { (void)!::write(master_, text.data(), text.size()); }
  // The line settings as the device has them.
  termios Settings() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
  }

 private:
  int master_ = -1, slave_ = -1;
  std::string path_;
};

}  // namespace kvt::test
