// Private settings files (".ini") with the semantics the module relies on:
// section and key names compared without regard to case, the default when a
// file, section or key is missing, values cut to the caller's buffer, and
// writes that create the file, the section and the key.
//
// Paths are the module's own (".\KVT32.ini"): backslashes become slashes and a
// relative path is relative to the working directory. When the exact name is
// not there, a file whose name differs only in case is used.
//
// A file that cannot be read gives the default; a file that cannot be written
// makes the write return false. Nothing throws. Safe to call from any thread.
#pragma once

#include <string>

#include "platform/base/export.h"

// Copies the value (or `def` when missing) into buf, cut to size-1 characters,
// and returns the number of characters copied. Leading and trailing blanks of
// a value are dropped, as are surrounding double quotes.
KVT_EXPORT int GetPrivateProfileString(const char* section, const char* key, const char* def,
                                       char* buf, int size, const char* file);
// The value as an integer: its leading digits (with sign); `def` when missing,
// when it does not start with a number, or when the number is beyond an int.
KVT_EXPORT int GetPrivateProfileInt(const char* section, const char* key, int def,
                                    const char* file);
// Writes key=value. A null value removes the key; a null key removes the
// section. Returns false when the file cannot be written, and refuses a
// line break in the section, key or value (it would write lines of its
// own), a "]" in the section and a "=" in the key.
//
// Several processes may write one file (two tills, a set-up screen): each
// write holds the file's advisory lock (flock) from its read to its end,
// writes the new text to a temporary file in the same folder, syncs it and
// renames it over the file, so no write loses another's keys and a reader
// never sees half a file.
KVT_EXPORT bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                          const char* file);

namespace kvt {
// A settings file path as a Linux path (backslashes to slashes, case resolved).
KVT_EXPORT std::string ResolvePath(const std::string& windowsPath);
KVT_EXPORT std::string ProfileString(const std::string& file, const std::string& section,
                                     const std::string& key, const std::string& def = "");
}  // namespace kvt
