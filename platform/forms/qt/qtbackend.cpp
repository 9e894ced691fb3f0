// The Qt front end: windows, modal loops, message boxes and input routing.
#include "platform/forms/qt/qtbackend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/forms/dialogs.h"
#include "platform/forms/frames.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/qt/formview.h"
#include "platform/forms/qt/qtkeys.h"
#include "platform/forms/runtime.h"

namespace {

QString Q(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Marks the top-level widgets that draw a window of the runtime: keys and
// close boxes inside them go to the runtime.
const char* const kWindowProperty = "kvtWindow";

}  // namespace

// What is drawn for one window of the runtime.
struct KVTQtBackend::Drawn {
  QPointer<QWidget> top;         // QDialog, QMdiSubWindow (owned by Qt), or null
  QPointer<QWidget> widget;      // what draws the window itself
  KVTFormView* view = nullptr;   // screens
  QTabWidget* tabs = nullptr;    // tab windows
  QMdiSubWindow* sub = nullptr;  // frames
  // The frame state last applied, so the user's own moves are left alone.
  bool shown = false;
  bool iconic = false;
  bool zoomed = false;
  KVTRect rect;
};

KVTQtBackend::KVTQtBackend(QMdiArea* area) : area_(area) {
  qApp->installEventFilter(this);
  notifier_ = new QSocketNotifier(MessageQueueFd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { PumpPosted(); });
}

KVTQtBackend::~KVTQtBackend() {
  if (&KVTForms::Instance().Backend() == this) KVTForms::Instance().SetBackend(nullptr);
  qApp->removeEventFilter(this);
  for (auto& [window, d] : drawn_) {
    if (d->view) d->view->Detach();
    if (d->top) delete d->top.data();
  }
  drawn_.clear();
}

void KVTQtBackend::Install() {
  KVTForms::Instance().SetBackend(this);
}

QMdiArea* KVTQtBackend::MdiArea() {
  if (area_) return area_;
  if (!ownArea_) {
    ownArea_ = std::make_unique<QMdiArea>();
    ownArea_->setWindowTitle("Kovatel Software");
    ownArea_->resize(1024, 768);
  }
  if (!ownArea_->isVisible()) ownArea_->show();
  return ownArea_.get();
}

QWidget* KVTQtBackend::WidgetOf(const KVTWindowObject* window) const {
  auto it = drawn_.find(window);
  if (it == drawn_.end()) return nullptr;
  return it->second->top ? it->second->top.data() : it->second->widget.data();
}

KVTFormView* KVTQtBackend::ViewOf(const KVTScreen* screen) const {
  auto it = drawn_.find(screen);
  return it == drawn_.end() ? nullptr : it->second->view;
}

QWidget* KVTQtBackend::KeyTarget() const {
  KVTScreen* screen = KVTForms::Instance().ActiveScreen();
  KVTFormView* view = screen ? ViewOf(screen) : nullptr;
  if (!view) return nullptr;
  QWidget* w = view->WidgetForId(screen->GetFocusField());
  return w && w->isVisible() ? w : view;
}

QWidget* KVTQtBackend::DialogParent() const {
  const auto& modal = KVTForms::Instance().ModalDialogs();
  for (auto it = modal.rbegin(); it != modal.rend(); ++it)
    if (QWidget* w = WidgetOf(*it)) return w;
  if (area_) return area_->window();
  return ownArea_ && ownArea_->isVisible() ? ownArea_.get() : nullptr;
}

// ---- windows ------------------------------------------------------------------

void KVTQtBackend::WindowOpened(KVTWindowObject* window) {
  if (drawn_.count(window)) return;
  if (auto* dialog = dynamic_cast<PVDialog*>(window))
    OpenDialog(dialog);
  else if (auto* frame = dynamic_cast<PVmdiwinDlg*>(window))
    OpenFrame(frame);
}

void KVTQtBackend::OpenDialog(PVDialog* dialog) {
  auto* dlg = new QDialog(DialogParent());
  dlg->setProperty(kWindowProperty, true);
  dlg->setWindowTitle(Q(dialog->Caption()));
  dlg->setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(dlg);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* view = new KVTFormView(this, dialog, dlg);
  layout->addWidget(view);
  auto d = std::make_unique<Drawn>();
  d->top = dlg;
  d->widget = view;
  d->view = view;
  drawn_[dialog] = std::move(d);
  dlg->adjustSize();
  dlg->show();
  view->FocusField();
}

QWidget* KVTQtBackend::MakeClient(KVTWindowObject* client, QWidget* parent) {
  if (auto* tabs = dynamic_cast<Tbacktab*>(client)) return MakeTabs(tabs, parent);
  auto* screen = dynamic_cast<KVTScreen*>(client);
  if (!screen) return new QWidget(parent);
  auto* view = new KVTFormView(this, screen, parent);
  auto d = std::make_unique<Drawn>();
  d->widget = view;
  d->view = view;
  drawn_[screen] = std::move(d);
  return view;
}

QTabWidget* KVTQtBackend::MakeTabs(Tbacktab* tabs, QWidget* parent) {
  auto* tw = new QTabWidget(parent);
  tw->setObjectName("tabs");
  tw->setUsesScrollButtons(false);  // every tab shows its title
  auto d = std::make_unique<Drawn>();
  d->widget = tw;
  d->tabs = tw;
  drawn_[tabs] = std::move(d);
  for (int i = 0; i < tabs->GetTabCount(); ++i) AddPage(tabs, i);
  tw->setCurrentIndex(tabs->GetSelectedTab());
  connect(tw->tabBar(), &QTabBar::tabBarClicked, this, [this, tabs](int index) {
    if (index >= 0) KVTForms::Instance().SelectTab(tabs, index);
    AfterInput();
    // The tab bar changes its tab by itself; the runtime's choice is drawn.
    Changed(tabs);
  });
  return tw;
}

void KVTQtBackend::AddPage(Tbacktab* tabs, int index) {
  QTabWidget* tw = drawn_[tabs]->tabs;
  KVTPropertyPage* page = tabs->GetPage(index);
  auto* view = new KVTFormView(this, page, nullptr);
  auto d = std::make_unique<Drawn>();
  d->widget = view;
  d->view = view;
  drawn_[page] = std::move(d);
  tw->insertTab(index, view, Q(tabs->GetTabTitle(index)));
}

void KVTQtBackend::OpenFrame(PVmdiwinDlg* frame) {
  QMdiArea* area = MdiArea();
  auto* sub = new QMdiSubWindow;
  sub->setProperty(kWindowProperty, true);
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->setObjectName(Q("frame-" + frame->ClassName()));
  QWidget* content = MakeClient(frame->Client(), sub);
  sub->setWidget(content);
  Qt::WindowFlags flags =
      Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;
  const KVTFrameStyle& style = frame->FrameStyle();
  if (style.maximizeBox) flags |= Qt::WindowMaximizeButtonHint;
  if (style.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  area->addSubWindow(sub, flags);
  sub->hide();
  auto d = std::make_unique<Drawn>();
  d->top = sub;
  d->widget = sub;
  d->sub = sub;
  drawn_[frame] = std::move(d);
  connect(area, &QMdiArea::subWindowActivated, sub, [this, frame, sub](QMdiSubWindow* w) {
    // The user brought another MDI child to the front: it takes the keys now.
    if (w != sub || activating_ || !drawn_.count(frame)) return;
    if (KVTForms::Instance().ActiveFrame() != frame && KVTForms::Instance().ModalDialogs().empty())
      frame->SetFocus();
  });
  dirty_.insert(frame);
  ScheduleSync();
}

void KVTQtBackend::Forget(const KVTWindowObject* window) {
  auto it = drawn_.find(window);
  if (it == drawn_.end()) return;
  std::unique_ptr<Drawn> d = std::move(it->second);
  drawn_.erase(it);
  dirty_.erase(window);
  if (d->view) d->view->Detach();
  if (auto* frame = dynamic_cast<const PVmdiwinDlg*>(window)) {
    if (auto* tabs = dynamic_cast<const Tbacktab*>(frame->Client())) {
      for (int i = 0; i < tabs->GetTabCount(); ++i) Forget(tabs->GetPage(i));
      Forget(tabs);
    } else if (frame->Client()) {
      Forget(frame->Client());
    }
  }
  if (d->top) {
    d->top->setProperty(kWindowProperty, false);
    d->top->hide();
    // Not deleted at once: the window may be closing from one of its own
    // buttons' signals.
    d->top->deleteLater();
  }
}

void KVTQtBackend::WindowClosed(KVTWindowObject* window) {
  Forget(window);
  EndFinishedLoops();
}

void KVTQtBackend::Changed(KVTWindowObject* window) {
  if (auto* dialog = dynamic_cast<PVDialog*>(window); dialog && !dialog->IsRunning())
    EndFinishedLoops();
  if (!drawn_.count(window)) return;
  dirty_.insert(window);
  ScheduleSync();
}

void KVTQtBackend::ScheduleSync() {
  if (syncScheduled_) return;
  syncScheduled_ = true;
  QTimer::singleShot(0, this, [this] { Sync(); });
}

void KVTQtBackend::Sync() {
  syncScheduled_ = false;
  if (syncing_) return;
  syncing_ = true;
  // Frames first: a new tab page is drawn before its own changes are.
  std::vector<const KVTWindowObject*> order;
  for (const KVTWindowObject* w : dirty_)
    if (dynamic_cast<const PVmdiwinDlg*>(w)) order.push_back(w);
  for (const KVTWindowObject* w : dirty_)
    if (dynamic_cast<const Tbacktab*>(w)) order.push_back(w);
  for (const KVTWindowObject* w : dirty_)
    if (!dynamic_cast<const PVmdiwinDlg*>(w) && !dynamic_cast<const Tbacktab*>(w))
      order.push_back(w);
  dirty_.clear();
  for (const KVTWindowObject* w : order)
    if (drawn_.count(w)) SyncOne(w);
  // The active frame in front, as the runtime has it.
  if (PVmdiwinDlg* active = KVTForms::Instance().ActiveFrame()) {
    auto it = drawn_.find(active);
    QMdiSubWindow* sub = it != drawn_.end() ? it->second->sub : nullptr;
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (area && sub->isVisible() && area->activeSubWindow() != sub) {
      activating_ = true;
      area->setActiveSubWindow(sub);
      activating_ = false;
    }
  }
  if (KVTScreen* screen = KVTForms::Instance().ActiveScreen())
    if (KVTFormView* view = ViewOf(screen)) view->FocusField();
  syncing_ = false;
}

void KVTQtBackend::SyncOne(const KVTWindowObject* window) {
  Drawn& d = *drawn_[window];
  auto* w = const_cast<KVTWindowObject*>(window);
  if (auto* frame = dynamic_cast<PVmdiwinDlg*>(w)) return SyncFrame(frame, d);
  if (auto* tabs = dynamic_cast<Tbacktab*>(w)) return SyncTabs(tabs, d);
  if (d.view) d.view->Sync();
  if (auto* dialog = dynamic_cast<PVDialog*>(w); dialog && d.top) {
    d.top->setWindowTitle(Q(dialog->Caption()));
  }
}

void KVTQtBackend::SyncTabs(Tbacktab* tabs, Drawn& d) {
  QTabWidget* tw = d.tabs;
  for (int i = tw->count(); i < tabs->GetTabCount(); ++i) AddPage(tabs, i);
  for (int i = 0; i < tabs->GetTabCount(); ++i) {
    tw->setTabText(i, Q(tabs->GetTabTitle(i)));
    tw->setTabEnabled(i, tabs->IsTabEnabled(i));
  }
  if (tabs->GetSelectedTab() != KVT_NONE && tw->currentIndex() != tabs->GetSelectedTab()) {
    QSignalBlocker block(tw);
    tw->setCurrentIndex(tabs->GetSelectedTab());
  }
  for (int i = 0; i < tabs->GetTabCount(); ++i)
    if (KVTFormView* v = ViewOf(tabs->GetPage(i))) v->Sync();
}

void KVTQtBackend::SyncFrame(PVmdiwinDlg* frame, Drawn& d) {
  QMdiSubWindow* sub = d.sub;
  sub->setWindowTitle(Q(frame->Caption()));
  if (!frame->IsVisible()) {
    if (sub->isVisible()) sub->hide();
    d.shown = false;
    return;
  }
  KVTRect r = frame->GetWindowRect();
  if (!d.shown) {
    sub->adjustSize();
    d.shown = true;
    sub->show();
    if (r.w > 0) sub->move(r.x, r.y);
    d.rect = r;
  } else if (r.w > 0 && (r.x != d.rect.x || r.y != d.rect.y)) {
    sub->move(r.x, r.y);
    d.rect = r;
  }
  if (frame->IsIconic() != d.iconic || frame->IsZoomed() != d.zoomed) {
    d.iconic = frame->IsIconic();
    d.zoomed = frame->IsZoomed();
    if (d.iconic)
      sub->showMinimized();
    else if (d.zoomed)
      sub->showMaximized();
    else
      sub->showNormal();
  }
  sub->setEnabled(frame->IsWindowEnabled());
}

// ---- modal runs and messages ------------------------------------------------

void KVTQtBackend::RunModal(PVDialog* dialog) {
  QEventLoop loop;
  loops_.push_back({dialog, &loop});
  Sync();
  if (dialog->IsRunning()) loop.exec(QEventLoop::DialogExec);
  loops_.erase(
      std::remove_if(loops_.begin(), loops_.end(), [&](const Loop& l) { return l.loop == &loop; }),
      loops_.end());
}

void KVTQtBackend::EndFinishedLoops() {
  for (const Loop& l : loops_)
    if (!l.dialog->IsRunning()) l.loop->quit();
}

void KVTQtBackend::AfterInput() {
  EndFinishedLoops();
  ScheduleSync();
}

void KVTQtBackend::PumpPosted() {
  KVTForms::Instance().Idle();
  AfterInput();
  // A dedicated till's login left with Esc ends the application.
  if (KVTQuitPosted()) QCoreApplication::quit();
}

int KVTQtBackend::StandardButtonFor(int id) {
  switch (id) {
    case IDOK:
      return QMessageBox::Ok;
    case IDCANCEL:
      return QMessageBox::Cancel;
    case IDABORT:
      return QMessageBox::Abort;
    case IDRETRY:
      return QMessageBox::Retry;
    case IDIGNORE:
      return QMessageBox::Ignore;
    case IDYES:
      return QMessageBox::Yes;
    case IDNO:
      return QMessageBox::No;
    default:
      return QMessageBox::NoButton;
  }
}

QMessageBox* KVTQtBackend::BuildMessageBox(QWidget* parent, const std::string& text,
                                           const std::string& caption, UINT flags) {
  auto* box = new QMessageBox(parent);
  box->setWindowTitle(Q(caption));
  box->setTextFormat(Qt::PlainText);
  box->setText(Q(text));
  const std::string icon = MessageBoxIconName(flags);
  box->setIcon(icon == "stop"          ? QMessageBox::Critical
               : icon == "question"    ? QMessageBox::Question
               : icon == "exclamation" ? QMessageBox::Warning
               : icon == "information" ? QMessageBox::Information
                                       : QMessageBox::NoIcon);
  for (int id : MessageBoxButtons(flags))
    box->addButton(static_cast<QMessageBox::StandardButton>(StandardButtonFor(id)));
  box->setDefaultButton(
      static_cast<QMessageBox::StandardButton>(StandardButtonFor(MessageBoxDefault(flags))));
  box->setWindowModality(Qt::ApplicationModal);
  return box;
}

int KVTQtBackend::ResultOf(const QMessageBox& box, UINT flags) {
  QAbstractButton* pressed = box.clickedButton();
  if (pressed) {
    for (int id : MessageBoxButtons(flags))
      if (pressed == box.button(static_cast<QMessageBox::StandardButton>(StandardButtonFor(id))))
        return id;
  }
  for (int id : MessageBoxButtons(flags))
    if (id == IDCANCEL) return IDCANCEL;
  return MessageBoxDefault(flags);
}

int KVTQtBackend::ShowMessageBox(HWND, const std::string& text, const std::string& caption,
                                 UINT flags) {
  Sync();
  std::unique_ptr<QMessageBox> box(BuildMessageBox(DialogParent(), text, caption, flags));
  box->exec();
  int result = ResultOf(*box, flags);
  return result;
}

void KVTQtBackend::Beep() {
  QApplication::beep();
}

void KVTQtBackend::LetEventsRun() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void KVTQtBackend::SetBusy(bool busy) {
  if (busy) {
    if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_ > 0 && --busy_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

bool KVTQtBackend::BrowseFolder(HWND, const std::string& start, const std::string& title,
                                std::string* chosen) {
  QString folder = QFileDialog::getExistingDirectory(DialogParent(), QString::fromStdString(title),
                                                     QString::fromStdString(start));
  *chosen = folder.toStdString();
  return !folder.isEmpty();
}

KVTRect KVTQtBackend::ScreenRect() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {0, 0, 1024, 768};
  QRect g = screen->geometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

// ---- what is drawn ------------------------------------------------------------

std::vector<std::string> KVTQtBackend::CheckDrawn(const KVTScreen& screen) const {
  KVTFormView* view = ViewOf(&screen);
  if (!view) return {"\"" + screen.Caption() + "\" is not drawn"};
  return view->Check();
}

QImage KVTQtBackend::Picture(const KVTWindowObject* window) const {
  return PictureOf(WidgetOf(window));
}

QImage KVTQtBackend::PictureOf(QWidget* w) {
  if (!w) return {};
  QImage body = w->grab().toImage();
  if (!w->isWindow()) return body;  // a subwindow draws its own title bar
  // A top-level dialog's title bar belongs to the window manager: the
  // picture gets one of its own, so it shows the caption.
  const QFontMetrics fm(w->font());
  const int bar = fm.height() + 10;
  QImage out(body.width(), body.height() + bar, QImage::Format_ARGB32);
  out.fill(w->palette().color(QPalette::Window));
  QPainter p(&out);
  p.fillRect(0, 0, out.width(), bar, w->palette().color(QPalette::Highlight));
  p.setPen(w->palette().color(QPalette::HighlightedText));
  p.drawText(QRect(8, 0, out.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft,
             w->windowTitle());
  p.drawImage(0, bar, body);
  p.setPen(w->palette().color(QPalette::Dark));
  p.drawRect(0, 0, out.width() - 1, out.height() - 1);
  p.end();
  return out;
}

// ---- input ----------------------------------------------------------------------

bool KVTQtBackend::IsOurs(QObject* watched) const {
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window()->windowType() == Qt::Popup) return false;
  for (; w; w = w->parentWidget())
    if (w->property(kWindowProperty).toBool()) return true;
  return false;
}

const KVTWindowObject* KVTQtBackend::WindowOfTop(QObject* top) const {
  for (const auto& [window, d] : drawn_)
    if (d->top == top) return window;
  return nullptr;
}

void KVTQtBackend::RouteKey(QKeyEvent* event) {
  KVTKey key;
  std::string typed;
  switch (KVTTranslateQtKey(*event, &key, &typed)) {
    case KVTQtInput::Key:
      KVTForms::Instance().Key(key);
      break;
    case KVTQtInput::Text:
      KVTForms::Instance().Type(typed);
      break;
    case KVTQtInput::None:
      break;
  }
  AfterInput();
}

void KVTQtBackend::FieldPressed(QWidget* widget) {
  // A click into a text field moves the focus there, as the runtime does it
  // (no field check runs: only keys run those).
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    auto* view = dynamic_cast<KVTFormView*>(w);
    if (!view || !view->Screen()) continue;
    int id = view->FieldIdOf(widget);
    KVTScreen* screen = view->Screen();
    if (id != 0 && KVTForms::Instance().ActiveScreen() == screen) {
      KVTForms::Instance().Click(id);
      AfterInput();
    }
    return;
  }
}

bool KVTQtBackend::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Every key on a screen is the screen's: no shortcut takes it first.
      if (IsOurs(watched)) {
        event->accept();
        return true;
      }
      return false;
    case QEvent::KeyPress:
      if (!IsOurs(watched)) return false;
      event->accept();
      RouteKey(static_cast<QKeyEvent*>(event));
      return true;
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
      return IsOurs(watched);
    case QEvent::MouseButtonPress:
      if (IsOurs(watched) &&
          (qobject_cast<QLineEdit*>(watched) || qobject_cast<QLineEdit*>(watched->parent())))
        FieldPressed(static_cast<QWidget*>(watched));
      return false;
    case QEvent::Close: {
      const KVTWindowObject* window = WindowOfTop(watched);
      if (!window) return false;
      // A close box: the screen decides, as it does for Esc.
      event->ignore();
      KVTForms::Instance().Cancel(const_cast<KVTWindowObject*>(window));
      AfterInput();
      return true;
    }
    default:
      return false;
  }
}
