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

  // What arrives within `ms` milliseconds, up to `want` bytes.
  std::string Read(std::size_t want, int ms = 2000) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (char buf[256]; got.size() < want;) {
      using std::chrono::milliseconds;
      const auto left = std::chrono::ceil<milliseconds>(end - std::chrono::steady_clock::now());
      pollfd p{master_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
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
