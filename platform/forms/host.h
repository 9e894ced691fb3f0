// The host side that screens rely on: a top-level window with an MDI client
// (what the host shell has; tools and tests make one), finding the MDI
// client from any window, and the singleton test of the back-office screens.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/win/window.h"

enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1 };
// The desktop width or height in pixels, as the front end reports it.
KVT_EXPORT int GetSystemMetrics(int index);
// Centres a window of this runtime (screen, dialog, frame) on the desktop,
// keeping its size.
KVT_EXPORT void CenterDialog(HWND hwnd);

// A top-level window of class "KVTHost" with a child MDI client (class
// "MDIClient") set as its mdiClient. `proc` answers the host's messages
// (module requests, process locks); it may be empty.
KVT_EXPORT HWND KVTCreateMDIHost(const std::string& title, WNDPROC proc = {});
// The MDI client of the top window above `hwnd`, or `hwnd` itself when it is
// an MDI client; null when there is none.
KVT_EXPORT HWND KVTFindMDIClient(HWND hwnd);
// The singleton test: the first MDI child frame of `mdiClient` whose window
// class name (up to 25 characters) equals `className` is restored when
// minimized, made active and brought to the top. True when one was found.
KVT_EXPORT bool KVTActivateMDIChild(HWND mdiClient, const std::string& className);
