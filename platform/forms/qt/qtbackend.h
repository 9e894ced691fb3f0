// The Qt 6 Widgets front end of the forms runtime: every declared form drawn
// with widgets (KVTFormView), modal dialogs as QDialogs run in a nested event
// loop, MDI frames as subwindows of the host's QMdiArea, tab windows as
// QTabWidgets, message boxes as QMessageBoxes with the caption, icon,
// buttons and default button the caller asked for.
//
// The runtime keeps all screen state; the widgets only show it. Every key
// pressed on a form goes to the runtime (KVTForms::Key or Type), so the
// screen's PreProcessMsg sees it first and leaving a field by a key runs its
// check; clicks go through KVTForms::Click, ClickRow, SelectItem, SelectTab
// and Cancel (close boxes). Posted messages run from the Qt event loop (a
// socket notifier on the runtime's message queue) and after each input.
//
// Needs a QApplication. Everything belongs to the user-interface thread.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/backend.h"

class KVTFormView;
class KVTScreen;
class PVDialog;
class PVmdiwinDlg;
class Tbacktab;
class QDialog;
class QEventLoop;
class QKeyEvent;
class QMdiArea;
class QMdiSubWindow;
class QMessageBox;
class QSocketNotifier;
class QTabWidget;
class QWidget;

class KVT_EXPORT KVTQtBackend : public QObject, public KVTFormsBackend {
 public:
  // `area` holds the MDI frames (the host's main window); without one the
  // backend opens an area of its own, as a top-level window, for the first
  // frame.
  explicit KVTQtBackend(QMdiArea* area = nullptr);
  ~KVTQtBackend() override;
  // Makes this the runtime's front end.
  void Install();

  QMdiArea* MdiArea();
  // The widget drawing a window of the runtime: the QDialog of a modal
  // dialog, the QMdiSubWindow of a frame, the QTabWidget of a tab window,
  // the KVTFormView of a screen; null when it is not drawn.
  QWidget* WidgetOf(const KVTWindowObject* window) const;
  KVTFormView* ViewOf(const KVTScreen* screen) const;
  // The widget the keys of the active screen go to: the one of its focus field.
  QWidget* KeyTarget() const;
  // The window dialogs and message boxes are owned by now.
  QWidget* DialogParent() const;

  // Draws every window whose state changed. Runs by itself when the event
  // loop is idle; call it to draw at once.
  void Sync();
  // After input handed to the runtime: ends the modal loops whose dialog
  // closed and redraws.
  void AfterInput();

  // What differs between a screen's widgets and its declaration and state:
  // a declared field or grid column not drawn, drawn though hidden, or
  // showing other text. Empty when the screen is drawn as declared.
  std::vector<std::string> CheckDrawn(const KVTScreen& screen) const;
  // The window as drawn (a frame with its title bar); null image when it is
  // not drawn.
  QImage Picture(const KVTWindowObject* window) const;
  // A widget as drawn; a top-level one (a dialog, a message box) with a
  // title bar showing its caption.
  static QImage PictureOf(QWidget* widget);

  // A message box as MessageBox(text, caption, flags) asks for it; the
  // caller shows it and owns it.
  static QMessageBox* BuildMessageBox(QWidget* parent, const std::string& text,
                                      const std::string& caption, UINT flags);
  // The button pressed on a box built above (IDOK...); IDCANCEL when it was
  // closed otherwise and has a Cancel button, else its default button.
  static int ResultOf(const QMessageBox& box, UINT flags);
  // The Qt button for IDOK, IDYES...
  static int StandardButtonFor(int id);

  // KVTFormsBackend.
  void RunModal(PVDialog* dialog) override;
  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                     UINT flags) override;
  void WindowOpened(KVTWindowObject* window) override;
  void WindowClosed(KVTWindowObject* window) override;
  void Changed(KVTWindowObject* window) override;
  void Beep() override;
  void SetBusy(bool busy) override;
  void LetEventsRun() override;
  KVTRect ScreenRect() override;
  bool BrowseFolder(HWND owner, const std::string& start, const std::string& title,
                    std::string* chosen) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Drawn;
  struct Loop {
    PVDialog* dialog;
    QEventLoop* loop;
  };
  void OpenDialog(PVDialog* dialog);
  void OpenFrame(PVmdiwinDlg* frame);
  QWidget* MakeClient(KVTWindowObject* client, QWidget* parent);
  QTabWidget* MakeTabs(Tbacktab* tabs, QWidget* parent);
  void AddPage(Tbacktab* tabs, int index);
  void Forget(const KVTWindowObject* window);
  void SyncOne(const KVTWindowObject* window);
  void SyncFrame(PVmdiwinDlg* frame, Drawn& d);
  void SyncTabs(Tbacktab* tabs, Drawn& d);
  void EndFinishedLoops();
  void ScheduleSync();
  void PumpPosted();
  bool IsOurs(QObject* watched) const;
  void RouteKey(QKeyEvent* event);
  const KVTWindowObject* WindowOfTop(QObject* top) const;
  void FieldPressed(QWidget* widget);

  QPointer<QMdiArea> area_;
  std::unique_ptr<QMdiArea> ownArea_;
  std::map<const KVTWindowObject*, std::unique_ptr<Drawn>> drawn_;
  std::set<const KVTWindowObject*> dirty_;
  std::vector<Loop> loops_;
  QSocketNotifier* notifier_ = nullptr;
  bool syncScheduled_ = false;
  bool syncing_ = false;
  int busy_ = 0;
  bool activating_ = false;
};
