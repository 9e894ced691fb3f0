// Qt for script runs, behind a header without Qt.
#include "platform/forms/qt/qtfront.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/forms/qt/qtbackend.h"
#include "platform/forms/qt/qtscripted.h"

namespace {
// The offscreen platform's notes about what it cannot do (size hints, a
// runtime folder) say nothing about the screens: kept out of transcripts.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (msg.contains("propagateSizeHints") || msg.contains("XDG_RUNTIME_DIR")) return;
  std::fprintf(stderr, "%s\n", qPrintable(msg));
}
}  // namespace

struct KVTQtScriptFront::Impl {
  std::unique_ptr<QApplication> app;
  std::unique_ptr<KVTQtBackend> qt;
  std::unique_ptr<KVTQtScriptedUser> user;
};

KVTQtScriptFront::KVTQtScriptFront(const std::string& pictureFolder) : impl_(new Impl) {
  if (!QApplication::instance()) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland) && !std::getenv("QT_QPA_PLATFORM"))
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietHandler);
    static int argc = 1;
    static char name[] = "kvtpos";
    static char* argv[] = {name, nullptr};
    impl_->app = std::make_unique<QApplication>(argc, argv);
  }
  impl_->qt = std::make_unique<KVTQtBackend>();
  impl_->user = std::make_unique<KVTQtScriptedUser>(*impl_->qt);
  impl_->user->SetPictureFolder(pictureFolder);
  impl_->user->Install();
}

KVTQtScriptFront::~KVTQtScriptFront() {
  impl_->user.reset();
  impl_->qt.reset();
  impl_->app.reset();
}

KVTScriptedUser& KVTQtScriptFront::User() {
  return *impl_->user;
}

const std::vector<std::string>& KVTQtScriptFront::Pictures() const {
  return impl_->user->Pictures();
}

std::string KVTQtScriptFront::Platform() const {
  return QGuiApplication::platformName().toStdString();
}
