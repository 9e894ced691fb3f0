// Message boxes with the Windows flags and results: buttons, icon and
// default button in the flags; the button pressed comes back.
//
// MessageBox asks the installed front end (KVTFormsBackend::ShowMessageBox)
// and returns when the box is closed, as the screens expect.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/win/window.h"

enum : UINT {
  MB_OK = 0x0000,
  MB_OKCANCEL = 0x0001,
  MB_ABORTRETRYIGNORE = 0x0002,
  MB_YESNOCANCEL = 0x0003,
  MB_YESNO = 0x0004,
  MB_RETRYCANCEL = 0x0005,
  MB_TYPEMASK = 0x000F,
  MB_ICONHAND = 0x0010,
  MB_ICONSTOP = 0x0010,
  MB_ICONERROR = 0x0010,
  MB_ICONQUESTION = 0x0020,
  MB_ICONEXCLAMATION = 0x0030,
  MB_ICONWARNING = 0x0030,
  MB_ICONASTERISK = 0x0040,
  MB_ICONINFORMATION = 0x0040,
  MB_ICONMASK = 0x00F0,
  MB_DEFBUTTON1 = 0x0000,
  MB_DEFBUTTON2 = 0x0100,
  MB_DEFBUTTON3 = 0x0200,
  MB_DEFMASK = 0x0F00,
  MB_APPLMODAL = 0x0000,
  MB_SYSTEMMODAL = 0x1000,
  MB_TASKMODAL = 0x2000,
};

// Buttons pressed; IDOK and IDCANCEL are also the command ids of a screen's
// OK and Cancel buttons.
enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

// The buttons of a box in the order shown ({IDYES, IDNO} for MB_YESNO).
KVT_EXPORT std::vector<int> MessageBoxButtons(UINT flags);
// The button that Enter presses (MB_DEFBUTTON2 on MB_YESNO is IDNO).
KVT_EXPORT int MessageBoxDefault(UINT flags);
// "stop", "question", "exclamation", "information" or "" (no icon).
KVT_EXPORT const char* MessageBoxIconName(UINT flags);
// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"; "?" otherwise.
KVT_EXPORT const char* ButtonName(int id);
// The button of a name as above, without regard to case; 0 when unknown.
KVT_EXPORT int ButtonFromName(const std::string& name);

// Shows a modal message box owned by `owner` (may be null) and returns the
// button pressed. Without a front end installed the default button comes back.
KVT_EXPORT int MessageBox(HWND owner, const char* text, const char* caption, UINT flags);
// A beep, as a front end gives it (the headless one counts them).
KVT_EXPORT void MessageBeep(UINT type = 0);
