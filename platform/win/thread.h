// Critical sections and events for the serial port monitor and the drawer:
// the worker is a std::thread that waits on its events and on the port's file
// descriptor at once, and ends when its shutdown event is set (a thread is
// never killed from outside).
//
// KVTCriticalSection is a recursive mutex (the owning thread may enter again,
// each Enter needs its Leave); it works with std::lock_guard. KVTEvent is an
// eventfd: every member may be called from any thread; the event owns its
// descriptor. Nothing throws: a failure comes back as false or kWaitFailed.
#pragma once

#include <initializer_list>
#include <mutex>
#include <span>

#include "platform/base/export.h"

class KVTCriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  bool TryEnter() { return mutex_.try_lock(); }
  void Leave() { mutex_.unlock(); }
  // For std::lock_guard and std::unique_lock.
  void lock() { Enter(); }
  bool try_lock() { return TryEnter(); }
  void unlock() { Leave(); }

 private:
  std::recursive_mutex mutex_;
};

// Time-outs in milliseconds; kWaitForever waits without limit.
inline constexpr int kWaitForever = -1;
// What a wait answers besides the index of what became ready.
inline constexpr int kWaitTimeout = -1;
inline constexpr int kWaitFailed = -2;

// Waits until one of the items is ready and returns its index; when several
// are, the first in the list wins (so put the shutdown event first). An
// auto-reset event is consumed by being returned. kWaitTimeout when none became
// ready in time, kWaitFailed for an empty list, a bad descriptor or an event
// that is not Valid.
struct KVTWaitItem;
KVT_EXPORT int WaitForEventsOrFds(std::span<const KVTWaitItem> items, int timeoutMs);

class KVT_EXPORT KVTEvent {
 public:
  // A manual-reset event stays signalled until Reset; an auto-reset event is
  // consumed by the one wait it wakes (several Sets before it count as one).
  explicit KVTEvent(bool manualReset = true, bool initiallySet = false);
  ~KVTEvent();
  KVTEvent(const KVTEvent&) = delete;
  KVTEvent& operator=(const KVTEvent&) = delete;

  // False when the system gave no descriptor; every call then fails.
  bool Valid() const { return fd_ >= 0; }
  bool ManualReset() const { return manual_; }
  bool Set();
  bool Reset();
  // Signalled now, without consuming it.
  bool IsSet() const;
  // True when signalled within the time-out; false on time-out or failure.
  bool Wait(int timeoutMs = kWaitForever);
  // Readable while signalled (for a front end's loop); owned by the event.
  int Fd() const { return fd_; }

 private:
  friend int WaitForEventsOrFds(std::span<const KVTWaitItem>, int);
  bool TryConsume();

  int fd_ = -1;
  bool manual_ = true;
};

// One thing to wait for: an event, or a file descriptor that is ready when it
// is readable, hung up or in error (a serial port with a character waiting).
struct KVTWaitItem {
  KVTWaitItem(KVTEvent& e) : event(&e) {}  // NOLINT: {shutdown, port, write} reads best
  static KVTWaitItem Readable(int fd) {
    KVTWaitItem w;
    w.fd = fd;
    return w;
  }
  KVTEvent* event = nullptr;
  int fd = -1;

 private:
  KVTWaitItem() = default;
};

// WaitForEventsOrFds({shutdown, KVTWaitItem::Readable(portFd), write}, kWaitForever)
inline int WaitForEventsOrFds(std::initializer_list<KVTWaitItem> items, int timeoutMs) {
  return WaitForEventsOrFds(std::span<const KVTWaitItem>(items.begin(), items.size()), timeoutMs);
}
