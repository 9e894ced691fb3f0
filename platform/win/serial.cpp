// Serial ports on termios.
#include "platform/win/serial.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <sstream>
#include <utility>

#include "platform/win/profile.h"

namespace {

const std::pair<unsigned, speed_t> kSpeeds[] = {
    {110, B110},     {300, B300},     {600, B600},       {1200, B1200},
    {2400, B2400},   {4800, B4800},   {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool SpeedOf(unsigned baud, speed_t* speed) {
  for (const auto& [b, s] : kSpeeds)
    if (b == baud) {
      *speed = s;
      return true;
    }
  return false;
}

unsigned BaudOf(speed_t speed) {
  for (const auto& [b, s] : kSpeeds)
    if (s == speed) return b;
  return 0;
}

bool ToInt(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  *value = std::stoi(text);
  return true;
}

}  // namespace

bool BuildCommDCB(const char* settings, DCB* dcb) {
  if (!settings || !dcb) return false;
  DCB d = *dcb;
  std::istringstream in(settings);
  std::string word;
  while (in >> word) {
    std::size_t eq = word.find('=');
    if (eq == std::string::npos) return false;
    std::string key = word.substr(0, eq), value = word.substr(eq + 1);
    int n = 0;
    speed_t speed;
    if (key == "baud" && ToInt(value, &n) && SpeedOf(static_cast<unsigned>(n), &speed)) {
      d.BaudRate = static_cast<unsigned>(n);
    } else if (key == "parity" && value.size() == 1 && std::strchr("NEOneo", value[0])) {
      d.Parity = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    } else if (key == "data" && ToInt(value, &n) && n >= 5 && n <= 8) {
      d.ByteSize = n;
    } else if (key == "stop" && ToInt(value, &n) && (n == 1 || n == 2)) {
      d.StopBits = n;
    } else {
      return false;
    }
  }
  *dcb = d;
  return true;
}

KVTCommPort::~KVTCommPort() {
  Close();
}

std::string KVTCommPort::DevicePath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  static const char* const kDefaults[] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
  for (int i = 1; i <= 4; ++i) {
    std::string com = "COM" + std::to_string(i);
    if (name == com) return kvt::ProfileString("kvtlocal.ini", "Ports", com, kDefaults[i - 1]);
  }
  return "";
}

bool KVTCommPort::Fail(int err) {
  error_ = std::strerror(err);
  return false;
}

bool KVTCommPort::Fail(const std::string& text) {
  error_ = text;
  return false;
}

bool KVTCommPort::Open(const std::string& name) {
  Close();
  std::string path = DevicePath(name);
  if (path.empty()) return Fail("The system cannot find the file specified. (" + name + ")");
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(errno);
  // Exclusive, as the till opens its devices: a second user gets "busy".
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return Fail(err);
  }
  fd_ = fd;
  name_ = name;
  mask_ = 0;
  timeouts_ = {};
  return true;
}

void KVTCommPort::Close() {
  if (fd_ >= 0) ::close(fd_);  // the lock goes with the descriptor
  fd_ = -1;
}

bool KVTCommPort::SetCommTimeouts(const COMMTIMEOUTS& t) {
  if (fd_ < 0) return Fail(EBADF);
  timeouts_ = t;
  return true;
}

bool KVTCommPort::SetCommMask(unsigned mask) {
  if (fd_ < 0) return Fail(EBADF);
  mask_ = mask;
  return true;
}

bool KVTCommPort::GetCommState(DCB* dcb) {
  termios t{};
  if (fd_ < 0) return Fail(EBADF);
  if (::tcgetattr(fd_, &t) != 0) return Fail(errno);
  dcb->BaudRate = BaudOf(::cfgetospeed(&t));
  switch (t.c_cflag & CSIZE) {
    case CS5:
      dcb->ByteSize = 5;
      break;
    case CS6:
      dcb->ByteSize = 6;
      break;
    case CS7:
      dcb->ByteSize = 7;
      break;
    default:
      dcb->ByteSize = 8;
  }
  dcb->Parity = !(t.c_cflag & PARENB) ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
  dcb->StopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) == 0)
    dcb->fRtsControl = (lines & TIOCM_RTS) ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  return true;
}

bool KVTCommPort::SetCommState(const DCB& dcb) {
  termios t{};
  speed_t speed;
  if (fd_ < 0) return Fail(EBADF);
  if (!SpeedOf(dcb.BaudRate, &speed) || dcb.ByteSize < 5 || dcb.ByteSize > 8 ||
      !std::strchr("NEO", dcb.Parity) || (dcb.StopBits != 1 && dcb.StopBits != 2))
    return Fail(EINVAL);
  if (::tcgetattr(fd_, &t) != 0) return Fail(errno);
  ::cfmakeraw(&t);
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS)) | CLOCAL | CREAD |
              kSizes[dcb.ByteSize - 5];
  if (dcb.Parity != 'N') t.c_cflag |= PARENB;
  if (dcb.Parity == 'O') t.c_cflag |= PARODD;
  if (dcb.StopBits == 2) t.c_cflag |= CSTOPB;
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) return Fail(errno);
  // Pseudo-terminals have no modem lines; a real port raises RTS.
  int rts = TIOCM_RTS;
  ::ioctl(fd_, dcb.fRtsControl == RTS_CONTROL_ENABLE ? TIOCMBIS : TIOCMBIC, &rts);
  return true;
}

bool KVTCommPort::PurgeComm(unsigned flags) {
  if (fd_ < 0) return Fail(EBADF);
  bool tx = flags & (PURGE_TXABORT | PURGE_TXCLEAR), rx = flags & (PURGE_RXABORT | PURGE_RXCLEAR);
  if (!tx && !rx) return true;
  if (::tcflush(fd_, tx && rx ? TCIOFLUSH : tx ? TCOFLUSH : TCIFLUSH) != 0) return Fail(errno);
  return true;
}

bool KVTCommPort::WriteFile(const void* data, std::size_t size, std::size_t* written) {
  using Clock = std::chrono::steady_clock;
  std::size_t done = 0;
  if (written) *written = 0;
  if (fd_ < 0) return Fail(EBADF);
  const unsigned long limit =
      static_cast<unsigned long>(timeouts_.WriteTotalTimeoutMultiplier) * size +
      timeouts_.WriteTotalTimeoutConstant;
  const auto deadline = Clock::now() + std::chrono::milliseconds(limit);
  const char* p = static_cast<const char*>(data);
  while (done < size) {
    ssize_t n = ::write(fd_, p + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      if (written) *written = done;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return Fail(errno);
    int wait = -1;
    if (limit > 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return Fail(ETIMEDOUT);
      wait = static_cast<int>(left);
    }
    pollfd pfd{fd_, POLLOUT, 0};
    int r = ::poll(&pfd, 1, wait);
    if (r < 0 && errno != EINTR) return Fail(errno);
    if (r == 0) return Fail(ETIMEDOUT);
  }
  return true;
}

bool KVTCommPort::ReadFile(void* data, std::size_t size, std::size_t* read) {
  *read = 0;
  if (fd_ < 0) return Fail(EBADF);
  for (;;) {
    ssize_t n = ::read(fd_, data, size);
    if (n >= 0) {
      *read = static_cast<std::size_t>(n);
      return true;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN) return true;
    return Fail(errno);
  }
}

int KVTCommPort::BytesWaiting() {
  int n = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0) {
    Fail(fd_ < 0 ? EBADF : errno);
    return -1;
  }
  return n;
}
