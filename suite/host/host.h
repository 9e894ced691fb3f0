// The host shell without a user interface: the main frame window with its MDI
// client, the module loader (message 7000), the process-lock service (message
// 7003), and the point-of-sale module loaded and initialised. kvtpos-script,
// the tests and the desktop host build on it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/base/export.h"
#include "platform/win/module.h"
#include "platform/win/window.h"
#include "suite/host/lockservice.h"

class KVT_EXPORT KVTHost {
 public:
  // Creates the main window (title "Kovatel Software") and its MDI client and
  // registers them as the modules' MDI window. `moduleDir` empty: the default
  // module directory.
  explicit KVTHost(const std::string& moduleDir = "");
  ~KVTHost();
  KVTHost(const KVTHost&) = delete;
  KVTHost& operator=(const KVTHost&) = delete;

  HWND MainWindow() const { return main_; }
  HWND MDIClient() const { return client_; }
  // The application instance handed to the module's Initialize.
  HINSTANCE Instance() { return this; }

  // Opens connection 1 and gives the screens' search windows their rows.
  // `spec` is a settings file naming the database (".\KVTSQL.ini") or an
  // SQLite database file. The named process locks follow the database
  // (KVTLockServiceFor): lock files beside an SQLite database, session locks
  // on a PostgreSQL server, so tills sharing the database share the locks.
  // False, with LastError(), when it cannot; connection 1 is then closed.
  bool OpenDatabase(const std::string& spec);

  // Message 7000: the module by file name, loaded once and kept; null when
  // it cannot be found or loaded.
  HMODULE RequestModule(const std::string& fileName);
  // Loads "KVTPOS.DLL" and calls its Initialize. False, with LastError(),
  // when the module or its Initialize is missing.
  bool LoadPointOfSale();
  HMODULE PointOfSale() const { return pos_; }
  // An export of the point-of-sale module, null when missing.
  void* Export(const char* name) const;

  void SetLockService(std::unique_ptr<KVTLockService> service);
  KVTLockService& Locks() { return *locks_; }
  const std::string& LastError() const { return error_; }

 private:
  LRESULT HandleLockRequest(WPARAM op, LPARAM request);

  HWND main_ = nullptr;
  HWND client_ = nullptr;
  HMODULE pos_ = nullptr;
  std::map<std::string, HMODULE> modules_;  // by upper-case file name
  std::unique_ptr<KVTLockService> locks_;
  std::string error_;
};
