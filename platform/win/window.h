// Windows and window messages: handles with a parent chain, a class name, a
// title and a window procedure; SendMessage calls the procedure at once,
// PostMessage queues, and PumpWaitingMessages lets the waiting messages run.
//
// Handles are owned by the registry here: a destroyed handle is no longer a
// window (IsWindow false) and messages sent or posted to it are dropped.
// PostMessage may be called from any thread (the serial monitor reports that
// way); everything else belongs to the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/export.h"

struct KVTWindow;
using HWND = KVTWindow*;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HINSTANCE = void*;

// The messages the module and its host exchange.
enum : UINT {
  WM_DESTROY = 0x0002,
  WM_CLOSE = 0x0010,
  WM_KEYDOWN = 0x0100,
  WM_CHAR = 0x0102,
  WM_COMMAND = 0x0111,
  WM_TIMER = 0x0113,
  WM_USER = 0x0400,
  KVT_MODULE_REQUEST = 7000,  // host: load a module by file name, answer its handle or 0
  KVT_PROCESS_LOCK = 7003,    // host: process locks (wParam 1, 2, 13, 14)
};

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct KVT_EXPORT KVTWindow {
  std::string className;
  std::string title;
  HWND parent = nullptr;
  WNDPROC proc;
  HWND mdiClient = nullptr;  // the MDI client of a frame window, where it has one
  void* userData = nullptr;  // the object behind the window (a screen, the host)
  bool visible = true;
};

// Creates a window; `proc` may be empty (messages then answer 0).
KVT_EXPORT HWND CreateKVTWindow(const std::string& className, const std::string& title, HWND parent,
                                WNDPROC proc = {});
// Sends WM_DESTROY to the window's own procedure, destroys its children first,
// drops its queued messages and frees it.
KVT_EXPORT void DestroyWindow(HWND hwnd);
KVT_EXPORT bool IsWindow(HWND hwnd);
KVT_EXPORT HWND GetParent(HWND hwnd);
// Walks parents up to the window that has none.
KVT_EXPORT HWND GetTopWindow(HWND hwnd);
KVT_EXPORT void SetWindowText(HWND hwnd, const std::string& title);
KVT_EXPORT std::string GetWindowText(HWND hwnd);
// First live window with this title (and class, when given), searched among
// windows without a parent first, then among all.
KVT_EXPORT HWND FindWindow(const char* className, const char* title);
// The windows whose parent is `hwnd`, in creation order.
KVT_EXPORT std::vector<HWND> GetChildWindows(HWND hwnd);

// Calls the window procedure now and returns its result (0 for a dead window).
KVT_EXPORT LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message; false when the window is dead.
KVT_EXPORT bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Runs queued messages in order, including those posted while running, until
// the queue is empty. Returns how many ran. A message posted during a handler
// runs after that handler returns, never inside it.
KVT_EXPORT int PumpWaitingMessages();
// Messages waiting in the queue.
KVT_EXPORT std::size_t PendingMessageCount();
// A file descriptor that becomes readable when a message is posted (for a
// front end's event loop); reading it is done by PumpWaitingMessages.
KVT_EXPORT int MessageQueueFd();

// Asks the application to end, as Windows' PostQuitMessage does: the front
// end's event loop ends once it sees KVTQuitPosted (the message queue's fd is
// woken). May be called from any thread.
KVT_EXPORT void PostQuitMessage(int exitCode);
// True once PostQuitMessage was called (with its code in *exitCode).
KVT_EXPORT bool KVTQuitPosted(int* exitCode = nullptr);
// Forgets a posted quit (a host that starts again, tests).
KVT_EXPORT void KVTClearQuitPosted();
