// kvthost: the host shell on the desktop. Run it in the store's folder,
// where ".\KVTSQL.ini" names the database and ".\KVT32.ini" says whether this
// computer is a till (POSTill in section "KVTEXE").
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <iostream>

#include "platform/forms/forms.h"
#include "suite/host/qt/mainwindow.h"

namespace {

// --pictures DIR: once the host is up (and the till's login is open), a
// picture of the main window and of each dialog on top, then the host ends.
void TakePictures(KVTMainWindow& window, const std::string& dir) {
  QDir().mkpath(QString::fromStdString(dir));
  int n = 0;
  auto save = [&](QWidget* w, const QString& name) {
    QString path =
        QString::fromStdString(dir) + QString("/%1-%2.png").arg(++n, 2, 10, QChar('0')).arg(name);
    if (KVTQtBackend::PictureOf(w).save(path)) std::cout << path.toStdString() << "\n";
  };
  save(&window, "kvthost");
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &window && w->isVisible() && qobject_cast<QDialog*>(w))
      save(w, w->windowTitle().simplified().replace(' ', '-'));
  KVTForms::Instance().CloseAll();
  QApplication::exit(0);
}

// --choose-store: the first run on a store computer. Prints the folder the
// user chose, followed by a tab and "demo" when the demo store is wanted;
// exits 1 when the user cancelled.
int ChooseStore() {
  QString dir = QFileDialog::getExistingDirectory(
      nullptr, "Choose the store's folder (settings files and database)", QDir::homePath());
  if (dir.isEmpty()) return 1;
  auto demo = QMessageBox::question(
      nullptr, "Kovatel Point of Sale",
      "Load the demo store (Prairie Farm Supply) into a new database in this folder?\n\n"
      "No makes an empty database for your own store; a folder that already has a "
      "database keeps it.",
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  std::cout << dir.toStdString() << (demo == QMessageBox::Yes ? "\tdemo" : "") << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string moduleDir;
  std::string pictures;
  std::string notice;
  bool chooseStore = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--module-dir") == 0 && i + 1 < argc) {
      moduleDir = argv[++i];
    } else if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc) {
      pictures = argv[++i];
    } else if (std::strcmp(argv[i], "--notice") == 0 && i + 1 < argc) {
      notice = argv[++i];
    } else if (std::strcmp(argv[i], "--choose-store") == 0) {
      chooseStore = true;
    } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::cout << "usage: kvthost [--module-dir DIR] [--pictures DIR]\n"
                   "       kvthost --choose-store | --notice TEXT\n"
                   "  --pictures DIR  start, write pictures of the window and its dialogs, end\n"
                   "  --choose-store  ask for a store's folder, print it (and \"demo\"), end\n"
                   "  --notice TEXT   show TEXT in a message box, end\n"
                   "  Run in the store's folder: .\\KVTSQL.ini names the database, .\\KVT32.ini\n"
                   "  section KVTEXE key POSTill makes this computer a till that starts selling.\n";
      return 0;
    }
  }
  QApplication app(argc, argv);
  if (chooseStore) return ChooseStore();
  if (!notice.empty()) {
    QMessageBox::information(nullptr, "Kovatel Point of Sale", QString::fromStdString(notice));
    return 0;
  }
  KVTHost host(moduleDir);
  KVTMainWindow window(host);
  window.Forms().Install();
  window.Start();
  window.show();
  for (const std::string& p : window.Problems()) std::cerr << "kvthost: " << p << "\n";
  if (!pictures.empty())
    QTimer::singleShot(500, &window, [&window, pictures] { TakePictures(window, pictures); });
  QTimer::singleShot(0, &window, [&window, &pictures] {
    if (!window.Problems().empty() && pictures.empty()) {
      std::string text;
      for (const std::string& p : window.Problems()) text += p + "\n\n";
      MessageBox(window.Host().MainWindow(), text.c_str(), "Kovatel Software",
                 MB_OK | MB_ICONEXCLAMATION);
    }
    window.RunAfterLogin();
  });
  int rc = app.exec();
  KVTForms::Instance().CloseAll();
  return rc;
}
