// Module loading by Windows file name over dlopen.
#include "platform/win/module.h"

#include <dirent.h>
#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_mutex;
std::string g_dir;
std::string g_error;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ProgramDirectory() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void SetError(const std::string& e) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_error = e;
}

}  // namespace

void SetModuleDirectory(const std::string& dir) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_dir = dir;
}

std::string GetModuleDirectory() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_dir.empty()) return g_dir;
  }
  if (const char* env = std::getenv("KVT_MODULE_DIR"); env && *env) return env;
  return ProgramDirectory();
}

std::string FindModuleFile(const std::string& name) {
  if (name.empty()) return "";
  std::string n = name;
  for (char& c : n)
    if (c == '\\') c = '/';
  if (n.find('/') != std::string::npos) return ::access(n.c_str(), R_OK) == 0 ? n : "";
  std::string stem = Lower(n);
  std::size_t dot = stem.rfind('.');
  if (dot != std::string::npos) stem = stem.substr(0, dot);
  if (stem.rfind("lib", 0) == 0) stem = stem.substr(3);
  const std::string want = "lib" + stem + ".so";
  std::string dir = GetModuleDirectory();
  DIR* d = ::opendir(dir.c_str());
  if (!d) return "";
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (Lower(e->d_name) == want) {
      found = dir + "/" + e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

HMODULE LoadLibrary(const char* name) {
  std::string file = FindModuleFile(name ? name : "");
  if (file.empty()) {
    SetError(std::string("module not found: ") + (name ? name : "") + " in " +
             GetModuleDirectory());
    return nullptr;
  }
  void* h = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = ::dlerror();
    SetError(e ? e : "dlopen failed");
  }
  return h;
}

void* GetProcAddress(HMODULE module, const char* entryPoint) {
  if (!module || !entryPoint) return nullptr;
  return ::dlsym(module, entryPoint);
}

bool FreeLibrary(HMODULE module) { return module && ::dlclose(module) == 0; }

std::string LastModuleError() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_error;
}
