// The host shell's desktop window: an MDI frame whose area holds the
// module's screens (drawn by the Qt front end), a menu built from what the
// point-of-sale module registers with the menu system (KVTMS.DLL) and what
// it answers to KVTWhatCanIDo, and the "Run after login" start of a till.
// The services of the host (module requests 7000, process locks 7003, the
// database connection) are KVTHost's.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/forms/qt/qtbackend.h"
#include "suite/host/host.h"

class QMdiArea;
class QMenu;

// One menu entry: calls `entry` of module `dll` with the host's main window.
struct KVTHostMenuEntry {
  std::string menu;  // the menu it is in ("Point of Sale", "Setup"...)
  std::string text;  // as shown
  std::string dll;   // "KVTPOS.DLL"
  std::string entry;
};

// "Stores,DoStoreSetup,Bad Credit Cards, GetBadCC," -> {"Stores",
// "DoStoreSetup"}, {"Bad Credit Cards", "GetBadCC"}: comma-separated pairs
// of text and export, blanks around each part dropped, a text without an
// export (or an empty pair) left out. Null gives nothing.
KVT_EXPORT std::vector<std::pair<std::string, std::string>> KVTParseMenuPairs(const char* text);

class KVT_EXPORT KVTMainWindow : public QMainWindow {
 public:
  // `host` answers the modules' requests; `settingsFile` names the database
  // (".\KVTSQL.ini").
  explicit KVTMainWindow(KVTHost& host, const std::string& settingsFile = ".\\KVTSQL.ini");
  ~KVTMainWindow() override;

  // Opens the database, loads the point-of-sale module (Initialize), lets it
  // register its menu entries (Setup) and builds the menus. What is missing
  // is said plainly in Problems() and the status bar; the window works with
  // what there is.
  void Start();
  // Calls the "RUNAFTERLOGIN" export when ".\KVT32.ini" sets POSTill in
  // section "KVTEXE". False when it did not run.
  bool RunAfterLogin();

  const std::vector<KVTHostMenuEntry>& Entries() const { return entries_; }
  // Runs a menu entry. False, after a message saying why, when its module
  // or its function is missing.
  bool RunEntry(const KVTHostMenuEntry& entry);
  const std::vector<std::string>& Problems() const { return problems_; }

  QMdiArea* Area() const { return area_; }
  KVTQtBackend& Forms() { return *forms_; }
  KVTHost& Host() { return host_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void AddEntries(QMenu* menu, const std::string& title,
                  const std::vector<std::pair<std::string, std::string>>& pairs);
  void AddEntry(QMenu* menu, KVTHostMenuEntry entry);
  const char* WhatCanIDo(const char* category) const;

  KVTHost& host_;
  std::string settingsFile_;
  QMdiArea* area_;
  std::unique_ptr<KVTQtBackend> forms_;
  std::vector<KVTHostMenuEntry> entries_;
  std::vector<std::string> problems_;
};
