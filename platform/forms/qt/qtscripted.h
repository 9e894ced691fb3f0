// A till script on the Qt front end: the scripted user of the headless
// backend (same steps, answers and checks, same transcript), with its input
// put through the widgets as a keyboard and a mouse would (key events to the
// focused field's widget, clicks on buttons and grid rows) and each answer
// pressed on a real QMessageBox. Optionally writes a PNG of each screen and
// message box shown.
#pragma once

#include <QImage>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/headless/scripted.h"

class KVTQtBackend;
class QKeyEvent;
class QWidget;

class KVT_EXPORT KVTQtScriptedUser : public KVTScriptedUser {
 public:
  // `qt` draws (not owned; not installed itself: install this).
  explicit KVTQtScriptedUser(KVTQtBackend& qt);
  ~KVTQtScriptedUser() override;

  // Pictures go to `folder` (made when missing) as "NN-caption.png": each
  // window when it first comes to the front, each message box, and each
  // "show". Empty: no pictures.
  void SetPictureFolder(const std::string& folder);
  const std::vector<std::string>& Pictures() const { return pictures_; }
  KVTQtBackend& Qt() { return qt_; }

  std::string Show() override;

  // KVTFormsBackend: drawing is the Qt backend's.
  void WindowOpened(KVTWindowObject* window) override;
  void WindowClosed(KVTWindowObject* window) override;
  void Changed(KVTWindowObject* window) override;
  void SetBusy(bool busy) override;
  KVTRect ScreenRect() override;

 protected:
  bool InputType(const std::string& text) override;
  bool InputKey(const KVTKey& key) override;
  bool InputClick(int id) override;
  bool InputClickRow(int gridId, int row) override;
  bool InputSelectItem(int id, int index) override;
  int PresentMessage(HWND owner, const KVTShownMessage& m, UINT flags) override;
  void BeforeStep() override;

 private:
  void Catch();
  bool SendKey(QWidget* target, QKeyEvent* event);
  // Keeps a picture of `window` (null: a message box) unless it looks as
  // its last one did.
  void Keep(const void* window, const QImage& image, const std::string& caption);

  KVTQtBackend& qt_;
  std::string folder_;
  std::vector<std::string> pictures_;
  std::set<const void*> pictured_;  // windows already pictured
  std::map<const void*, QImage> last_;
};
