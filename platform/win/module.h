// Loading the suite's modules by their Windows file name: "KVTINV.DLL" is
// libkvtinv.so in the module directory, found without regard to case and
// without its extension. Entry points are looked up by name.
//
// The module directory is, in order: what SetModuleDirectory set, the
// environment variable KVT_MODULE_DIR, the folder of the running program.
#pragma once

#include <string>

#include "platform/base/export.h"

using HMODULE = void*;

KVT_EXPORT void SetModuleDirectory(const std::string& dir);
KVT_EXPORT std::string GetModuleDirectory();
// The file a module name stands for ("KVTINV.DLL" -> "<dir>/libkvtinv.so"),
// or "" when no such file is in the module directory. "libkvtinv.so" also
// names it (tried after "liblibkvtinv.so"). A name with a slash is taken as a
// path and used as it is.
KVT_EXPORT std::string FindModuleFile(const std::string& name);
// Loads the module (again: loads are counted); null when it cannot be found
// or loaded. LastModuleError() says why.
KVT_EXPORT HMODULE LoadLibrary(const char* name);
// The exported entry point, or null (LastModuleError() names it) when the
// module does not offer it.
KVT_EXPORT void* GetProcAddress(HMODULE module, const char* entryPoint);
KVT_EXPORT bool FreeLibrary(HMODULE module);
// Why the last load or look-up failed (any thread); not cleared by success.
KVT_EXPORT std::string LastModuleError();

// An entry point as a typed function pointer, null when missing.
template <typename Fn>
Fn GetProc(HMODULE module, const char* entryPoint) {
  return reinterpret_cast<Fn>(GetProcAddress(module, entryPoint));
}
