// The object behind a window of the forms runtime: screens, tab windows and
// MDI frames. Each has a platform window (HWND) with its class name, caption
// and parent, so PostMessage to it queues a command that runs after the
// current handler, and FromHandle finds the object again.
//
// All of it belongs to the user-interface thread.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/win/window.h"

enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_NORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_MAXIMIZE = 3,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_RESTORE = 9,
};

// Pixels, as the window framework gives them.
struct KVTRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

class KVT_EXPORT KVTWindowObject {
 public:
  KVTWindowObject(HWND parent, std::string className, std::string title);
  virtual ~KVTWindowObject();
  KVTWindowObject(const KVTWindowObject&) = delete;
  KVTWindowObject& operator=(const KVTWindowObject&) = delete;

  // The object of a window made by this runtime; null for any other window.
  static KVTWindowObject* FromHandle(HWND hwnd);

  // Makes the window (as a child of the parent given at construction, or of
  // the one SetParent chose) and runs SetupWindow. False when it exists.
  virtual bool Create();
  bool IsCreated() const { return hwnd_ != nullptr; }
  HWND Handle() const { return hwnd_; }
  HWND Parent() const { return parent_; }
  // Before Create only: the window the object will be made in.
  void SetParent(HWND parent) { parent_ = parent; }

  const std::string& ClassName() const { return className_; }
  void SetClassName(const std::string& name);
  std::string Caption() const { return title_; }
  void SetCaption(const std::string& title);
  const std::string& Icon() const { return icon_; }
  void SetIcon(const std::string& resourceName) { icon_ = resourceName; }

  void Show(int cmd);
  bool IsVisible() const { return visible_; }
  bool IsIconic() const { return minimized_; }
  bool IsZoomed() const { return maximized_; }
  void MoveWindow(int x, int y, int w, int h);
  KVTRect GetWindowRect() const { return rect_; }
  void EnableWindow(bool enable);
  bool IsWindowEnabled() const { return enabled_; }

  bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  // Runs once the window exists, before it is shown.
  virtual void SetupWindow() {}
  // Every message sent or posted to the window. The default sends WM_COMMAND
  // to EvCommand (the command id is the low word of wParam).
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void EvCommand(UINT id) {}
  // The platform window is gone (destroyed with its parent or by Destroy).
  virtual void WindowDestroyed() {}
  // Destroys the platform window; the object stays.
  void DestroyHandle();
  // A front end should redraw this window.
  void Changed();

 private:
  HWND parent_;
  std::string className_;
  std::string title_;
  std::string icon_;
  HWND hwnd_ = nullptr;
  bool visible_ = true;
  bool minimized_ = false;
  bool maximized_ = false;
  bool enabled_ = true;
  KVTRect rect_;
};
