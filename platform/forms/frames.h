// The tab window (Tbacktab) and the MDI child frame (PVmdiwinDlg) that hold
// screens inside the host's MDI client.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/winobj.h"

class PVmdiwinDlg;

class KVT_EXPORT Tbacktab : public KVTWindowObject {
 public:
  explicit Tbacktab(HWND parent);
  ~Tbacktab() override;

  // Adds a tab holding `page`, which it owns from now on. After Create the
  // page's window is made at once.
  int AddTab(const std::string& title, KVTPropertyPage* page);
  int GetTabCount() const { return static_cast<int>(tabs_.size()); }
  KVTPropertyPage* GetPage(int index) const;
  std::string GetTabTitle(int index) const;
  int IndexOf(const KVTPropertyPage* page) const;

  // Selects a tab and runs its page's PageSelected; false (nothing changes)
  // for a disabled or unknown tab.
  bool SelectTab(int index);
  int GetSelectedTab() const { return selected_; }
  KVTPropertyPage* SelectedPage() const { return GetPage(selected_); }
  void EnableTab(int index, bool enable);
  bool IsTabEnabled(int index) const;
  // Ctrl+Tab: the next enabled tab after the selected one.
  bool SelectNextTab();

  // Makes the tab window, every page's window inside it, and selects the
  // first enabled tab.
  bool Create() override;
  // Closes the frame holding the tab window.
  void CloseWindow(int code = IDCANCEL);
  PVmdiwinDlg* Frame() const;

 protected:
  // Commands sent to the tab window go to the selected page.
  void EvCommand(UINT id) override;

 private:
  struct Tab {
    std::string title;
    std::unique_ptr<KVTPropertyPage> page;
    bool enabled = true;
  };
  std::vector<Tab> tabs_;
  int selected_ = KVT_NONE;
};

// How a frame looks (the module's frames have no maximize box, no sizing
// border and, for the sale window, no system menu).
struct KVTFrameStyle {
  bool maximizeBox = true;
  bool sizingBorder = true;
  bool systemMenu = true;
};

class KVT_EXPORT PVmdiwinDlg : public KVTWindowObject {
 public:
  // A frame for the MDI client `mdiClient` holding `client` (a PVMDIDialog
  // or a Tbacktab), which it owns.
  PVmdiwinDlg(HWND mdiClient, const std::string& title, KVTWindowObject* client);
  ~PVmdiwinDlg() override;

  // Makes the frame, hidden, and its client inside it, and hands the frame
  // to the runtime, which deletes it (and its client) when it closes. False
  // when it exists already or `mdiClient` is not a window: then nothing is
  // made and the frame is still the caller's.
  bool Create() override;
  KVTWindowObject* Client() const { return client_.get(); }
  // Gives the client back to the caller (before Create failed, say).
  KVTWindowObject* ReleaseClient() { return client_.release(); }
  // The screen that takes keys inside the frame: the client screen or the
  // selected page of the client tab window.
  KVTScreen* ActiveScreen() const;

  void SetFrameStyle(const KVTFrameStyle& style) { style_ = style; }
  const KVTFrameStyle& FrameStyle() const { return style_; }
  // Makes it the active MDI child, the one that takes keys.
  void SetFocus();
  void BringToTop() { SetFocus(); }
  // Hides the frame; the runtime deletes it with its client once no handler
  // is running.
  void CloseWindow(int code = IDCANCEL);
  bool IsClosing() const { return closing_; }

 protected:
  // Commands sent to the frame (a broadcast to the MDI children) go on to
  // its client.
  void EvCommand(UINT id) override;
  void WindowDestroyed() override;

 private:
  std::unique_ptr<KVTWindowObject> client_;
  KVTFrameStyle style_;
  bool closing_ = false;
  bool registered_ = false;
};
