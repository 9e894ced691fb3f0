// Events over eventfd, waits over poll.
#include "platform/win/thread.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <vector>

KVTEvent::KVTEvent(bool manualReset, bool initiallySet)
    : fd_(::eventfd(initiallySet ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK)), manual_(manualReset) {}

KVTEvent::~KVTEvent() {
  if (fd_ >= 0) ::close(fd_);
}

bool KVTEvent::Set() {
  if (fd_ < 0) return false;
  std::uint64_t one = 1;
  for (;;) {
    if (::write(fd_, &one, sizeof one) == sizeof one) return true;
    if (errno != EINTR) return errno == EAGAIN;  // the counter is full: signalled anyway
  }
}

bool KVTEvent::TryConsume() {
  std::uint64_t count = 0;
  for (;;) {
    if (::read(fd_, &count, sizeof count) == sizeof count) return true;
    if (errno != EINTR) return false;  // EAGAIN: not signalled (or another waiter took it)
  }
}

bool KVTEvent::Reset() {
  if (fd_ < 0) return false;
  TryConsume();
  return true;
}

bool KVTEvent::IsSet() const {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

bool KVTEvent::Wait(int timeoutMs) {
  return WaitForEventsOrFds({*this}, timeoutMs) == 0;
}

int WaitForEventsOrFds(std::span<const KVTWaitItem> items, int timeoutMs) {
  if (items.empty()) return kWaitFailed;
  std::vector<pollfd> fds(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    int fd = items[i].event ? items[i].event->fd_ : items[i].fd;
    if (fd < 0) return kWaitFailed;
    fds[i] = pollfd{fd, POLLIN, 0};
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    int wait = -1;
    if (timeoutMs >= 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = left > 0 ? static_cast<int>(left) : 0;
    }
    int n = ::poll(fds.data(), fds.size(), wait);
    if (n < 0) {
      if (errno == EINTR) continue;
      return kWaitFailed;
    }
    if (n == 0) return kWaitTimeout;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].revents & POLLNVAL) return kWaitFailed;
      KVTEvent* e = items[i].event;
      // An auto-reset event another waiter consumed first is not ready after all.
      if (!e || e->manual_ || e->TryConsume()) return static_cast<int>(i);
    }
  }
}
