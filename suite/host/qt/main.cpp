// kvthost: the host shell on the desktop. Run it in the store's folder,
// where ".\KVTSQL.ini" names the database and ".\KVT32.ini" says whether this
// computer is a till (POSTill in section "KVTEXE").
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <iostream>

#include "platform/forms/forms.h"
#include "suite/host/qt/mainwindow.h"

int main(int argc, char** argv) {
  std::string moduleDir;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--module-dir") == 0 && i + 1 < argc) {
      moduleDir = argv[++i];
    } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::cout << "usage: kvthost [--module-dir DIR]\n"
                   "  Run in the store's folder: .\\KVTSQL.ini names the database, .\\KVT32.ini\n"
                   "  section KVTEXE key POSTill makes this computer a till that starts selling.\n";
      return 0;
    }
  }
  QApplication app(argc, argv);
  KVTHost host(moduleDir);
  KVTMainWindow window(host);
  window.Forms().Install();
  window.Start();
  window.show();
  for (const std::string& p : window.Problems()) std::cerr << "kvthost: " << p << "\n";
  QTimer::singleShot(0, &window, [&window] {
    if (!window.Problems().empty()) {
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
