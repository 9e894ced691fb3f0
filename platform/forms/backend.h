// What only a front end can do, as the forms runtime asks for it. The
// runtime holds every piece of screen state; a backend draws it, runs the
// modal loop and shows message boxes. The headless backend
// (platform/forms/headless) and the Qt one implement this class; the host
// installs one at start with KVTForms::SetBackend.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/forms/winobj.h"

class PVDialog;

class KVT_EXPORT KVTFormsBackend {
 public:
  virtual ~KVTFormsBackend();

  // Takes input until `dialog` is no longer running (dialog->IsRunning()),
  // feeding it to the runtime (KVTForms::Key, Type, Click...). Returning
  // while the dialog still runs makes the runtime end it with IDCANCEL.
  virtual void RunModal(PVDialog* dialog) = 0;
  // Shows a modal box and returns the button pressed (IDOK, IDYES...).
  virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                             UINT flags) = 0;

  // A screen, tab window or frame was shown, or closed.
  virtual void WindowOpened(KVTWindowObject* window) {}
  virtual void WindowClosed(KVTWindowObject* window) {}
  // Something of `window` changed (a field, a grid, its caption): redraw it
  // when convenient. Called often; batch the drawing.
  virtual void Changed(KVTWindowObject* window) {}
  virtual void Beep() {}
  // A long job stepping from the message queue (a progress window) lets the
  // user's waiting input run, so Pause and Cancel answer. Nothing waits in
  // a front end without a user at the keys.
  virtual void LetEventsRun() {}
  // The wait cursor, on while a long operation runs.
  virtual void SetBusy(bool busy) {}
  // The desktop in pixels (the screen metrics the window placement reads).
  virtual KVTRect ScreenRect() { return {0, 0, 1024, 768}; }
  // A folder chosen by the user, starting at `start` ("" for none), into
  // *chosen; false when the choice was cancelled. Without a user, nothing
  // is chosen.
  virtual bool BrowseFolder(HWND owner, const std::string& start, const std::string& title,
                            std::string* chosen) {
    return false;
  }
};
