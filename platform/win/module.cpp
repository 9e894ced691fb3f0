// Module loading by Windows file name over dlopen.
#include "platform/win/module.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/win/folders.h"

namespace {

std::mutex g_mutex;
std::string g_dir;
std::string g_error;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
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
  return GetProgramFolder();
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
  // "KVTINV" is libkvtinv.so; a name already given as "libkvtinv.so" is
  // taken as it is, second, so that a module whose own name starts with
  // "lib" is still found under the first rule.
  std::string wants[2] = {"lib" + stem + ".so", stem.rfind("lib", 0) == 0 ? stem + ".so" : ""};
  std::string dir = GetModuleDirectory();
  DIR* d = ::opendir(dir.c_str());
  if (!d) return "";
  std::string found[2];
  while (dirent* e = ::readdir(d)) {
    std::string entry = Lower(e->d_name);
    for (int i = 0; i < 2; ++i)
      if (found[i].empty() && !wants[i].empty() && entry == wants[i])
        found[i] = dir + "/" + e->d_name;
  }
  ::closedir(d);
  return found[0].empty() ? found[1] : found[0];
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
  void* p = ::dlsym(module, entryPoint);
  if (!p) {
    SetError(std::string("entry point not found: ") + entryPoint);
    return nullptr;
  }
  // dlsym also finds what the module's dependencies define (the C library's
  // abort, another module's exports): only the module's own entry points
  // are its exports.
  Dl_info info{};
  link_map* map = nullptr;
  if (::dladdr(p, &info) == 0 || ::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map ||
      !info.dli_fname || !map->l_name || std::strcmp(info.dli_fname, map->l_name) != 0) {
    SetError(std::string("entry point not found: ") + entryPoint + " (not the module's own)");
    return nullptr;
  }
  return p;
}

bool FreeLibrary(HMODULE module) {
  return module && ::dlclose(module) == 0;
}

std::string LastModuleError() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_error;
}
