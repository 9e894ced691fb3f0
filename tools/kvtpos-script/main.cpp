// kvtpos-script: runs a till script against the headless screens of a
// module and prints the transcript; with --pictures, through the Qt widgets
// (offscreen when there is no display), writing a picture of each screen. Exit code 0 when every
// check held, 1 when something failed, 2 when the script or the command line is wrong.
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/forms/preview.h"
#include "platform/forms/qt/qtfront.h"
#include "platform/win/module.h"
#include "suite/host/host.h"
#include "tools/kvtpos-script/script.h"

namespace {

int Usage() {
  std::cerr << "usage: kvtpos-script [--module FILE] [--database SPEC] [--pictures DIR] SCRIPT\n"
               "  --module FILE      the module whose exports \"call\" runs (default KVTPOS.DLL)\n"
               "  --database SPEC    the database \"expect sql\" reads\n"
               "  --pictures DIR     run the screens on the Qt widgets and write a PNG of each\n"
               "                     screen and message box shown into DIR\n"
               "  SCRIPT             the script file, or - for standard input\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string module = "KVTPOS.DLL";
  std::string database;
  std::string pictures;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--module" || a == "--database") && i + 1 < argc) {
      (a == "--module" ? module : database) = argv[++i];
    } else if (a == "--pictures" && i + 1 < argc) {
      pictures = argv[++i];
    } else if (a == "-h" || a == "--help") {
      return Usage();
    } else if (path.empty() && (a == "-" || a[0] != '-')) {
      path = a;
    } else {
      return Usage();
    }
  }
  if (path.empty()) return Usage();

  std::stringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
  } else {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::cerr << "kvtpos-script: cannot read " << path << ": it is a folder, not a script\n";
      return 2;
    }
    std::ifstream in(path);
    if (!in) {
      std::cerr << "kvtpos-script: cannot read " << path << ": " << std::strerror(errno) << "\n";
      return 2;
    }
    text << in.rdbuf();
  }
  std::vector<ScriptCommand> script;
  std::string error;
  if (!ParseScript(text.str(), &script, &error)) {
    std::cerr << "kvtpos-script: " << path << ": " << error << "\n";
    return 2;
  }
  std::unique_ptr<KVTHeadlessBackend> headless;
  std::unique_ptr<KVTQtScriptFront> qt;
  if (pictures.empty()) {
    headless = std::make_unique<KVTHeadlessBackend>();
    headless->Install();
  } else {
    qt = std::make_unique<KVTQtScriptFront>(pictures);
  }
  KVTScriptedUser& user = headless ? static_cast<KVTScriptedUser&>(*headless) : qt->User();
  KVTHost kvtHost;
  if (!database.empty() && !kvtHost.OpenDatabase(database)) {
    std::cerr << "kvtpos-script: " << kvtHost.LastError() << "\n";
    return 2;
  }
  HWND host = kvtHost.MainWindow();
  // A module that has an Initialize is started as the host starts it.
  if (HMODULE m = kvtHost.RequestModule(module))
    if (auto init = GetProc<int (*)(HINSTANCE)>(m, "Initialize")) init(kvtHost.Instance());
  // A document previewed ("View Window") goes into the transcript, and
  // beside the pictures as a text file named after it ("preview-3-invoice"),
  // a page (the invoice) also as its PDF.
  int previews = 0;
  KVTSetPreviewWindow([&](HWND, const KVTPreviewDocument& d) {
    std::cout << "preview \"" << d.title << "\":\n";
    std::istringstream lines(d.text);
    for (std::string line; std::getline(lines, line);) std::cout << "  | " << line << "\n";
    if (pictures.empty()) return;
    std::string stem = pictures + "/preview-" + std::to_string(++previews) + "-";
    for (char c : d.title)
      stem += std::isalnum(static_cast<unsigned char>(c))
                  ? static_cast<char>(std::tolower(static_cast<unsigned char>(c)))
                  : '-';
    std::ofstream(stem + ".txt") << d.text;
    if (!d.pdf.empty()) std::ofstream(stem + ".pdf", std::ios::binary) << d.pdf;
  });
  std::cout << "kvtpos-script " << path << " (module " << module << ")\n";
  ScriptRunner runner(user, host, module, std::cout);
  int rc = runner.Run(script);
  KVTForms::Instance().CloseAll();
  KVTSetPreviewWindow({});
  if (qt) {
    std::cout << qt->Pictures().size() << " pictures (" << qt->Platform() << ") in " << pictures
              << ":\n";
    for (const std::string& p : qt->Pictures()) std::cout << "  " << p << "\n";
  }
  return rc;
}
