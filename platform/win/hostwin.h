// What the host shell offers every module in its process: its MDI main window
// (the frame that answers the module request 7000 and the lock service 7003)
// and the record of a process-lock request.
#pragma once

#include "platform/base/export.h"
#include "platform/win/window.h"

// The host's MDI main window, registered by the host at start; null before.
KVT_EXPORT void KVTSetMDIWin(HWND mainWindow);
KVT_EXPORT HWND KVTReturnMDIWin();

// A request to the host's process-lock service (message 7003, lParam points
// at it). The host answers acquire and release in the message result and the
// user numbers in szReturnString.
struct LockRequestInfo {
  char szPackage[30];
  char szProcess[30];
  char szReturnString[1024];
  double dRecno;
};

enum : WPARAM {
  KVT_LOCK_ACQUIRE = 1,
  KVT_LOCK_RELEASE = 2,
  KVT_LOCK_OWNER_USER = 13,
  KVT_LOCK_CURRENT_USER = 14,
};
