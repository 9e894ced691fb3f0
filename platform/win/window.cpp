// Window registry, synchronous sends and the posted-message queue.
#include "platform/win/window.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_set>

namespace {

struct Posted {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

struct Registry {
  std::recursive_mutex mutex;
  std::vector<HWND> windows;  // creation order
  std::unordered_set<HWND> live;
  std::deque<Posted> queue;
  int eventFd = -1;
  bool quit = false;
  int quitCode = 0;
};

Registry& R() {
  static Registry* r = new Registry;  // lives to the end of the process
  return *r;
}

}  // namespace

HWND CreateKVTWindow(const std::string& className, const std::string& title, HWND parent,
                     WNDPROC proc) {
  auto* w = new KVTWindow;
  w->className = className;
  w->title = title;
  w->parent = parent;
  w->proc = std::move(proc);
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  R().windows.push_back(w);
  R().live.insert(w);
  return w;
}

bool IsWindow(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  return hwnd && R().live.count(hwnd) > 0;
}

std::vector<HWND> GetChildWindows(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  std::vector<HWND> out;
  for (HWND w : R().windows)
    if (w->parent == hwnd) out.push_back(w);
  return out;
}

void DestroyWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return;
  for (HWND child : GetChildWindows(hwnd)) DestroyWindow(child);
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  if (!R().live.erase(hwnd)) return;
  auto& ws = R().windows;
  ws.erase(std::remove(ws.begin(), ws.end(), hwnd), ws.end());
  auto& q = R().queue;
  q.erase(std::remove_if(q.begin(), q.end(), [hwnd](const Posted& p) { return p.hwnd == hwnd; }),
          q.end());
  for (HWND w : ws)
    if (w->mdiClient == hwnd) w->mdiClient = nullptr;
  delete hwnd;
}

HWND GetParent(HWND hwnd) {
  return IsWindow(hwnd) ? hwnd->parent : nullptr;
}

HWND GetTopWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  while (hwnd->parent && IsWindow(hwnd->parent)) hwnd = hwnd->parent;
  return hwnd;
}

void SetWindowText(HWND hwnd, const std::string& title) {
  if (IsWindow(hwnd)) hwnd->title = title;
}

std::string GetWindowText(HWND hwnd) {
  return IsWindow(hwnd) ? hwnd->title : std::string();
}

HWND FindWindow(const char* className, const char* title) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  auto matches = [&](HWND w) {
    return (!className || w->className == className) && (!title || w->title == title);
  };
  for (HWND w : R().windows)
    if (!w->parent && matches(w)) return w;
  for (HWND w : R().windows)
    if (matches(w)) return w;
  return nullptr;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd) || !hwnd->proc) return 0;
  WNDPROC proc = hwnd->proc;  // the window may be destroyed by its own handler
  return proc(hwnd, msg, wParam, lParam);
}

int MessageQueueFd() {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  if (R().eventFd < 0) R().eventFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return R().eventFd;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  if (!hwnd || !R().live.count(hwnd)) return false;
  R().queue.push_back({hwnd, msg, wParam, lParam});
  if (R().eventFd >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(R().eventFd, &one, sizeof one);
  }
  return true;
}

std::size_t PendingMessageCount() {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  return R().queue.size();
}

int PumpWaitingMessages() {
  int ran = 0;
  for (;;) {
    Posted p;
    {
      std::lock_guard<std::recursive_mutex> lock(R().mutex);
      if (R().eventFd >= 0) {
        std::uint64_t n;
        [[maybe_unused]] ssize_t r = ::read(R().eventFd, &n, sizeof n);
      }
      if (R().queue.empty()) return ran;
      p = R().queue.front();
      R().queue.pop_front();
    }
    SendMessage(p.hwnd, p.msg, p.wParam, p.lParam);
    ++ran;
  }
}

void PostQuitMessage(int exitCode) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  R().quit = true;
  R().quitCode = exitCode;
  if (R().eventFd >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(R().eventFd, &one, sizeof one);
  }
}

bool KVTQuitPosted(int* exitCode) {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  if (R().quit && exitCode) *exitCode = R().quitCode;
  return R().quit;
}

void KVTClearQuitPosted() {
  std::lock_guard<std::recursive_mutex> lock(R().mutex);
  R().quit = false;
  R().quitCode = 0;
}
