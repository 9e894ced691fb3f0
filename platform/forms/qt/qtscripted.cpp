// Till scripts through the Qt widgets, with pictures.
#include "platform/forms/qt/qtscripted.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTableView>
#include <cctype>
#include <cstdio>

#include "platform/forms/forms.h"
#include "platform/forms/qt/formview.h"
#include "platform/forms/qt/qtbackend.h"
#include "platform/forms/qt/qtkeys.h"

KVTQtScriptedUser::KVTQtScriptedUser(KVTQtBackend& qt) : qt_(qt) {}

KVTQtScriptedUser::~KVTQtScriptedUser() = default;

void KVTQtScriptedUser::SetPictureFolder(const std::string& folder) {
  folder_ = folder;
  if (!folder_.empty()) QDir().mkpath(QString::fromStdString(folder_));
}

void KVTQtScriptedUser::WindowOpened(KVTWindowObject* window) {
  qt_.WindowOpened(window);
}

void KVTQtScriptedUser::WindowClosed(KVTWindowObject* window) {
  qt_.WindowClosed(window);
  pictured_.erase(window);
  last_.erase(window);
}

void KVTQtScriptedUser::Changed(KVTWindowObject* window) {
  qt_.Changed(window);
}

void KVTQtScriptedUser::SetBusy(bool busy) {
  qt_.SetBusy(busy);
}

KVTRect KVTQtScriptedUser::ScreenRect() {
  return qt_.ScreenRect();
}

void KVTQtScriptedUser::Catch() {
  // Whatever is waiting is drawn; input and posted messages wait for the
  // script, so the run is the same every time.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                              QEventLoop::ExcludeSocketNotifiers);
  qt_.Sync();
}

void KVTQtScriptedUser::Keep(const void* window, const QImage& image, const std::string& caption) {
  if (folder_.empty() || image.isNull()) return;
  if (window) {
    QImage& last = last_[window];
    if (last == image) return;
    last = image;
  }
  std::string name;
  for (char c : caption) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      name += c;
    else if (!name.empty() && name.back() != '-')
      name += '-';
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  if (name.empty()) name = "screen";
  char number[16];
  std::snprintf(number, sizeof number, "%02zu-", pictures_.size() + 1);
  std::string path = folder_ + "/" + number + name + ".png";
  if (image.save(QString::fromStdString(path), "PNG")) pictures_.push_back(path);
}

void KVTQtScriptedUser::BeforeStep() {
  Catch();
  KVTWindowObject* front = KVTForms::Instance().ActiveWindow();
  if (!front || !pictured_.insert(front).second) return;
  Keep(front, qt_.Picture(front), front->Caption());
}

std::string KVTQtScriptedUser::Show() {
  Catch();
  if (KVTWindowObject* front = KVTForms::Instance().ActiveWindow()) {
    pictured_.insert(front);
    Keep(front, qt_.Picture(front), front->Caption());
  }
  return Render();
}

bool KVTQtScriptedUser::SendKey(QWidget* target, QKeyEvent* event) {
  if (!target || !event) return false;
  QApplication::sendEvent(target, event);
  Catch();
  return true;
}

bool KVTQtScriptedUser::InputType(const std::string& text) {
  Catch();
  if (!qt_.KeyTarget()) return false;
  for (char c : text) {
    auto event = KVTQtKeyEventForChar(c);
    if (!event) {
      AddFailure(std::string("no key types the character ") + std::to_string(c));
      continue;
    }
    SendKey(qt_.KeyTarget(), event.get());
  }
  return true;
}

bool KVTQtScriptedUser::InputKey(const KVTKey& key) {
  Catch();
  auto event = KVTQtKeyEventFor(key);
  if (!event) {
    AddFailure("no key of the keyboard is " + KVTKeyName(key));
    return false;
  }
  return SendKey(qt_.KeyTarget(), event.get());
}

namespace {
KVTFormView* ActiveView(KVTQtBackend& qt) {
  KVTScreen* screen = KVTForms::Instance().ActiveScreen();
  return screen ? qt.ViewOf(screen) : nullptr;
}

void ClickAt(QWidget* w, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}
}  // namespace

bool KVTQtScriptedUser::InputClick(int id) {
  Catch();
  KVTFormView* view = ActiveView(qt_);
  auto* button = view ? dynamic_cast<QAbstractButton*>(view->WidgetForId(id)) : nullptr;
  if (!button || !button->isVisible() || !button->isEnabled()) return false;
  button->click();
  Catch();
  return true;
}

bool KVTQtScriptedUser::InputClickRow(int gridId, int row) {
  Catch();
  KVTFormView* view = ActiveView(qt_);
  QTableView* table = view ? view->GridView(gridId) : nullptr;
  if (!table || !table->isEnabled() || row < 0 || row >= table->model()->rowCount()) return false;
  int col = 0;
  while (col < table->model()->columnCount() && table->isColumnHidden(col)) ++col;
  QModelIndex at = table->model()->index(row, col);
  table->scrollTo(at);
  ClickAt(table->viewport(), table->visualRect(at).center());
  Catch();
  return true;
}

bool KVTQtScriptedUser::InputSelectItem(int id, int index) {
  Catch();
  KVTFormView* view = ActiveView(qt_);
  QWidget* w = view ? view->WidgetForId(id) : nullptr;
  if (!w || !w->isEnabled() || index < 0) return false;
  if (auto* list = dynamic_cast<QListWidget*>(w)) {
    if (index >= list->count()) return false;
    QListWidgetItem* item = list->item(index);
    list->scrollToItem(item);
    ClickAt(list->viewport(), list->visualItemRect(item).center());
  } else if (auto* combo = dynamic_cast<QComboBox*>(w)) {
    if (index >= combo->count()) return false;
    emit combo->activated(index);  // the choice from its drop-down
  } else {
    return false;
  }
  Catch();
  return true;
}

int KVTQtScriptedUser::PresentMessage(HWND, const KVTShownMessage& m, UINT flags) {
  Catch();
  std::unique_ptr<QMessageBox> box(
      KVTQtBackend::BuildMessageBox(qt_.DialogParent(), m.text, m.caption, flags));
  box->show();
  Catch();
  Keep(nullptr, KVTQtBackend::PictureOf(box.get()), m.caption);
  auto* button = box->button(
      static_cast<QMessageBox::StandardButton>(KVTQtBackend::StandardButtonFor(m.answer)));
  if (button) button->click();
  Catch();
  return KVTQtBackend::ResultOf(*box, flags);
}
