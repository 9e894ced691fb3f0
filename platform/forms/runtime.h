// The forms runtime: the one front end in use, the modal dialogs running,
// the MDI frames open, and the way input reaches the active screen.
//
// Input from a front end goes through Key, Type, Click, SelectItem and
// ClickRow: each reaches the active screen (the innermost modal dialog, else
// the selected page or screen of the active MDI frame) and then lets the
// waiting posted messages run, so a command posted by a handler runs after
// it. Everything here belongs to the user-interface thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/backend.h"
#include "platform/forms/keys.h"
#include "platform/forms/winobj.h"

class KVTScreen;
class PVDialog;
class PVmdiwinDlg;
class Tbacktab;

// The wait cursor while alive (nested ones count once).
class KVT_EXPORT KVTWaitCursor {
 public:
  KVTWaitCursor();
  ~KVTWaitCursor();
  KVTWaitCursor(const KVTWaitCursor&) = delete;
  KVTWaitCursor& operator=(const KVTWaitCursor&) = delete;
};

class KVT_EXPORT KVTForms {
 public:
  static KVTForms& Instance();

  // Not owned. Null returns to the built-in fallback, which has no user:
  // message boxes answer their default button and dialogs end at once with
  // IDCANCEL.
  void SetBackend(KVTFormsBackend* backend);
  KVTFormsBackend& Backend();

  // The screen that takes input now, or null.
  KVTScreen* ActiveScreen();
  // The window a front end shows on top: the innermost modal dialog, else
  // the active MDI frame; null when nothing is open.
  KVTWindowObject* ActiveWindow();
  // Open MDI frames, the active one first.
  std::vector<PVmdiwinDlg*> Frames() const;
  PVmdiwinDlg* ActiveFrame() const;
  // Running modal dialogs, the innermost last.
  const std::vector<PVDialog*>& ModalDialogs() const { return modal_; }

  // Input to the active screen. False when no screen is open or the control
  // cannot take it (unknown, hidden, disabled). Key is true when something
  // used the key; a Ctrl+Tab left by the screen selects the next tab, and an
  // Alt+letter left by it presses the control whose caption marks that
  // letter with "&" ("&Note": Alt+N) or picks the tab so marked.
  bool Key(const KVTKey& key);
  bool Type(const std::string& text);
  bool Click(int id);
  // Clicks the button (or check box or radio button) with this caption.
  bool ClickButton(const std::string& caption);
  bool SelectItem(int id, int index);
  bool ClickRow(int gridId, int row);
  // A double click on a row: the click, then the screen's double-click handler.
  bool DoubleClickRow(int gridId, int row);
  // A stroke drawn with the mouse on drawing pad `id` (KVTScreen::UserDraw).
  bool Draw(int id, const std::string& stroke);
  // The user picked tab `index` of `tabs` with the mouse: as Ctrl+Tab picks
  // the next one. False when the tab is disabled or unknown, or the tab
  // window is not in the active frame or a modal dialog takes the input.
  bool SelectTab(Tbacktab* tabs, int index);
  // The user closed `window` (a modal dialog or an MDI frame) with its close
  // box: the screen in it gets IDCANCEL as Esc gives it. False when the
  // window is not the one taking input (another dialog runs above it) or its
  // screen is disabled.
  bool Cancel(KVTWindowObject* window);
  // Lets the posted messages run (what a front end's idle time does).
  void Idle();

  // Closes every frame and ends every modal dialog (tests, shutdown).
  void CloseAll();

  // Calls through to the backend.
  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
  void Beep();
  void Changed(KVTWindowObject* window);

  // Marks the runtime as inside a handler while alive. Frames closed during
  // a handler are deleted only when no handler is running any more.
  class KVT_EXPORT Busy {
   public:
    Busy();
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
  };

  // For the window classes of the runtime.
  void PushModal(PVDialog* dialog);
  void PopModal(PVDialog* dialog);
  void AddFrame(PVmdiwinDlg* frame);       // takes ownership
  void ActivateFrame(PVmdiwinDlg* frame);  // to the front
  void RemoveFrame(PVmdiwinDlg* frame);    // deletes it once no handler runs

 private:
  KVTForms();
  void Flush();

  KVTFormsBackend* backend_ = nullptr;
  std::unique_ptr<KVTFormsBackend> fallback_;
  std::vector<PVDialog*> modal_;
  std::vector<PVmdiwinDlg*> frames_;  // owned; active first
  std::vector<PVmdiwinDlg*> closed_;  // owned; waiting to be deleted
  int busy_ = 0;
  bool flushing_ = false;
};
