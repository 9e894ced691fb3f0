// Folders and files by the module's own paths (".\POSSign", "ST-1-2-*.ZIP"):
// backslashes become slashes, a relative path is relative to the working
// directory, and the last part of an existing file's path is found without
// regard to case (as settings files are). Names in folder listings are
// matched without regard to case.
//
// Every call may be made from any thread. Nothing throws: a failure returns
// false and, when `error` is given, a sentence naming the path and the reason.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/base/export.h"

// Creates the folder and any missing parents. A folder that is already there
// is success; a file in the way is a failure.
KVT_EXPORT bool CreateFolder(const std::string& path, std::string* error = nullptr);
KVT_EXPORT bool FolderExists(const std::string& path);
// True for a file (not a folder) that is there.
KVT_EXPORT bool FileExists(const std::string& path);
// Deletes a file; false when it is not there or cannot be deleted.
KVT_EXPORT bool DeleteFile(const std::string& path, std::string* error = nullptr);
// Copies a file's bytes; with failIfExists an existing target is left alone
// and the copy fails. A failed copy leaves no partial target behind.
KVT_EXPORT bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
                         std::string* error = nullptr);

// The temporary folder with a trailing "/": $TMPDIR, else "/tmp/".
KVT_EXPORT std::string GetTempFolder();
// The folder of the running program, without a trailing "/".
KVT_EXPORT std::string GetProgramFolder();

// A Windows file mask: "*" stands for any run of characters, "?" for exactly
// one; letters compare without regard to case. "*.*" matches every name.
KVT_EXPORT bool MatchesMask(const std::string& name, const std::string& mask);

struct KVTFileInfo {
  std::string name;  // as stored on disk
  std::string path;  // folder "/" name
  std::time_t modified = 0;
  std::int64_t size = 0;
};

// The files (not folders) of `folder` ("" is the working directory) whose
// names match `mask`, sorted by name, into *files (replaced). False when the
// folder cannot be read: a folder without matches is an empty list, not a
// failure.
KVT_EXPORT bool ListFiles(const std::string& folder, const std::string& mask,
                          std::vector<KVTFileInfo>* files, std::string* error = nullptr);
