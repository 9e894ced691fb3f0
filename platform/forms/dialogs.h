// The three kinds of screen: a modal dialog (PVDialog, Execute returns the
// end code), a screen in an MDI child frame of the host (PVMDIDialog,
// Create) and a tab page of a tab window (KVTPropertyPage, in a Tbacktab).
#pragma once

#include "platform/base/export.h"
#include "platform/forms/screen.h"

class PVmdiwinDlg;
class Tbacktab;

class KVT_EXPORT PVDialog : public KVTScreen {
 public:
  PVDialog(HWND parent, const KVTFormDecl& form, void* buffer = nullptr);

  // Runs the dialog modally: makes its window (SetupWindow runs), lets the
  // messages posted meanwhile run, takes input until the dialog closes, then
  // destroys the window. Returns the end code (IDOK, IDCANCEL or what
  // CloseWindow was given), or -1 when the window could not be made. The
  // object stays, so the caller can read its buffer.
  int Execute();
  bool IsRunning() const { return running_; }
  int EndCode() const { return endCode_; }
  // Ends the modal run with `code`.
  void CloseWindow(int code = IDCANCEL) override;

 private:
  bool running_ = false;
  int endCode_ = IDCANCEL;
};

class KVT_EXPORT PVMDIDialog : public KVTScreen {
 public:
  PVMDIDialog(HWND parent, const KVTFormDecl& form, void* buffer = nullptr);

  // When the screen is not inside a frame yet: opens a frame for it in the
  // host's MDI client (the one of the parent's top window) with the screen's
  // caption, shows it and makes it active; the frame owns the screen from
  // then on, so the screen must have been made with new. False when the host
  // has no MDI client: nothing opens and the object stays the caller's.
  // Inside a frame (given to a PVmdiwinDlg), the frame's Create calls this to
  // make the screen's own window.
  bool Create() override;
  PVmdiwinDlg* Frame() const;
  // Closes the frame, and with it this screen.
  void CloseWindow(int code = IDCANCEL) override;
};

class KVT_EXPORT KVTPropertyPage : public KVTScreen {
 public:
  KVTPropertyPage(HWND parent, const KVTFormDecl& form, void* buffer = nullptr);

  Tbacktab* TabWindow() const { return tabs_; }
  // Runs each time its tab becomes the selected one.
  virtual void PageSelected() {}
  // Closes the tab window's frame (the whole window of the tabs).
  void CloseWindow(int code = IDCANCEL) override;

 private:
  friend class Tbacktab;
  Tbacktab* tabs_ = nullptr;
};
