// The desktop host's main window and its menus.
#include "suite/host/qt/mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <algorithm>
#include <cctype>

#include "platform/forms/forms.h"
#include "platform/forms/preview.h"
#include "platform/forms/qt/qtpreview.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/profile.h"

namespace {

QString Q(const std::string& s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// "REPORTS" -> "Reports"
std::string Title(const std::string& category) {
  std::string out;
  bool first = true;
  for (char c : category) {
    out += static_cast<char>(first ? std::toupper(static_cast<unsigned char>(c))
                                   : std::tolower(static_cast<unsigned char>(c)));
    first = c == ' ';
  }
  return out;
}

using MenuCountFn = int (*)();
using MenuAtFn = bool (*)(int, const char**, const char**, const char**, const char**);

}  // namespace

std::vector<std::pair<std::string, std::string>> KVTParseMenuPairs(const char* text) {
  std::vector<std::pair<std::string, std::string>> out;
  if (!text) return out;
  std::vector<std::string> parts;
  std::string s = text;
  std::size_t at = 0;
  for (;;) {
    std::size_t comma = s.find(',', at);
    parts.push_back(Trim(s.substr(at, comma - at)));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    if (!parts[i].empty() && !parts[i + 1].empty()) out.emplace_back(parts[i], parts[i + 1]);
  return out;
}

KVTMainWindow::KVTMainWindow(KVTHost& host, const std::string& settingsFile)
    : host_(host), settingsFile_(settingsFile), area_(new QMdiArea(this)) {
  setWindowTitle(Q(GetWindowText(host_.MainWindow())));
  setCentralWidget(area_);
  area_->setBackground(QColor(0x5a, 0x6e, 0x7a));
  forms_ = std::make_unique<KVTQtBackend>(area_);
  KVTInstallQtPreviewWindow(this);
  resize(1024, 768);
}

KVTMainWindow::~KVTMainWindow() {
  KVTSetPreviewWindow({});
  KVTForms::Instance().CloseAll();
}

const char* KVTMainWindow::WhatCanIDo(const char* category) const {
  auto fn = reinterpret_cast<const char* (*)(const char*)>(host_.Export("KVTWhatCanIDo"));
  return fn ? fn(category) : nullptr;
}

void KVTMainWindow::Start() {
  problems_.clear();
  if (!host_.OpenDatabase(settingsFile_))
    problems_.push_back("The database is not open (" + host_.LastError() +
                        "). ./run.sh makes the demo store's database on first use.");
  if (!host_.LoadPointOfSale()) {
    problems_.push_back("The point-of-sale module KVTPOS.DLL (libkvtpos.so in " +
                        GetModuleDirectory() + ") could not be loaded: " + host_.LastError());
  } else if (auto setup = reinterpret_cast<int (*)(HINSTANCE)>(host_.Export("Setup"))) {
    // The menu system starts empty: what the module registers now is the menu.
    if (HMODULE ms = host_.RequestModule("KVTMS.DLL"))
      if (auto clear = GetProc<void (*)()>(ms, "ClearMenuOptions")) clear();
    KVTForms::Busy busy;
    setup(host_.Instance());
  } else {
    problems_.push_back("The point-of-sale module has no Setup: its menu entries are missing.");
  }
  KVTForms::Instance().Idle();
  BuildMenus();
  std::string status = KVTConnectionOneIsOpen() ? std::string("Database: ") + KVTDatabaseKind()
                                                : std::string("No database");
  status += host_.PointOfSale() ? "  |  Point of Sale loaded" : "  |  Point of Sale missing";
  for (const std::string& p : problems_) status += "  |  " + p;
  statusBar()->showMessage(Q(status));
}

void KVTMainWindow::AddEntry(QMenu* menu, KVTHostMenuEntry entry) {
  entries_.push_back(entry);
  QAction* action = menu->addAction(Q(entry.text));
  action->setObjectName(Q(entry.menu + "/" + entry.text));
  connect(action, &QAction::triggered, this, [this, entry] { RunEntry(entry); });
}

void KVTMainWindow::AddEntries(QMenu* menu, const std::string& title,
                               const std::vector<std::pair<std::string, std::string>>& pairs) {
  if (pairs.empty()) {
    menu->addAction("(nothing here)")->setEnabled(false);
    return;
  }
  for (const auto& [text, entry] : pairs) AddEntry(menu, {title, text, "KVTPOS.DLL", entry});
}

void KVTMainWindow::BuildMenus() {
  menuBar()->clear();
  entries_.clear();
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("E&xit", this, [this] { close(); });

  // What the module registered with the menu system, in its order.
  QMenu* pos = menuBar()->addMenu("&Point of Sale");
  HMODULE ms = host_.RequestModule("KVTMS.DLL");
  auto count = ms ? GetProc<MenuCountFn>(ms, "MenuOptionCount") : nullptr;
  auto at = ms ? GetProc<MenuAtFn>(ms, "MenuOptionAt") : nullptr;
  int n = count && at ? count() : 0;
  for (int i = 0; i < n; ++i) {
    const char *dll = nullptr, *call = nullptr, *name = nullptr, *report = nullptr;
    if (at(i, &dll, &call, &name, &report)) AddEntry(pos, {"Point of Sale", name, dll, call});
  }
  if (!host_.PointOfSale()) {
    pos->addAction("The point-of-sale module is not built yet")->setEnabled(false);
  } else if (n == 0) {
    pos->addAction(ms ? "The module registered no entries"
                      : "The menu system (KVTMS.DLL) is missing")
        ->setEnabled(false);
  }

  // The module's own lists: its categories, then setup and maintenance.
  if (host_.PointOfSale()) {
    std::vector<std::string> categories;
    std::string list = WhatCanIDo("CATEGORIES") ? WhatCanIDo("CATEGORIES") : "";
    for (std::size_t at = 0; at <= list.size();) {
      std::size_t comma = std::min(list.find(',', at), list.size());
      if (std::string c = Trim(list.substr(at, comma - at)); !c.empty()) categories.push_back(c);
      at = comma + 1;
    }
    for (const std::string& c : categories) {
      std::string title = Title(c);
      AddEntries(menuBar()->addMenu(Q(title)), title, KVTParseMenuPairs(WhatCanIDo(c.c_str())));
    }
    AddEntries(menuBar()->addMenu("&Setup"), "Setup", KVTParseMenuPairs(WhatCanIDo("SETUP")));
    AddEntries(menuBar()->addMenu("&Maintenance"), "Maintenance",
               KVTParseMenuPairs(WhatCanIDo("MAINTAINANCE")));
  }

  QMenu* window = menuBar()->addMenu("&Window");
  window->addAction("&Cascade", area_, &QMdiArea::cascadeSubWindows);
  window->addAction("&Tile", area_, &QMdiArea::tileSubWindows);
}

bool KVTMainWindow::RunEntry(const KVTHostMenuEntry& entry) {
  HWND main = host_.MainWindow();
  const std::string what = "\"" + entry.text + "\" cannot open";
  HMODULE m = host_.RequestModule(entry.dll);
  if (!m) {
    MessageBox(main, (entry.dll + " is not installed, so " + what + ".").c_str(),
               "Kovatel Software", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  auto fn = GetProc<int (*)(HWND)>(m, entry.entry.c_str());
  if (!fn) {
    MessageBox(main, (entry.dll + " has no function " + entry.entry + ", so " + what + ".").c_str(),
               "Kovatel Software", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  {
    KVTForms::Busy busy;
    fn(main);
  }
  KVTForms::Instance().Idle();
  forms_->AfterInput();
  return true;
}

bool KVTMainWindow::RunAfterLogin() {
  if (!host_.PointOfSale()) return false;
  if (GetPrivateProfileInt("KVTEXE", "POSTill", 0, ".\\KVT32.ini") == 0) return false;
  const char* start = WhatCanIDo("RUNAFTERLOGIN");
  if (!start || !*start) return false;
  return RunEntry({"Point of Sale", "Run after login", "KVTPOS.DLL", start});
}

void KVTMainWindow::closeEvent(QCloseEvent* event) {
  KVTForms::Instance().CloseAll();
  event->accept();
}
