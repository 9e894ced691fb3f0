// Folders and files over POSIX calls.
#include "platform/win/folders.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/win/profile.h"

namespace {

std::string Slashes(std::string p) {
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

bool Fail(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " " + path + ": " + std::strerror(err);
  return false;
}

bool IsFolder(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

bool CreateFolder(const std::string& path, std::string* error) {
  std::string p = Slashes(path);
  if (p.empty()) return Fail(error, "Cannot create folder", "\"\"", ENOENT);
  // Each prefix ending before a slash, then the whole path.
  for (std::size_t i = 1; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != '/') continue;
    std::string part = p.substr(0, i);
    if (part.back() == '/') continue;  // "a//b"
    if (::mkdir(part.c_str(), 0777) == 0) continue;
    int err = errno;
    if (err == EEXIST && IsFolder(part)) continue;
    return Fail(error, "Cannot create folder", part, err == EEXIST ? ENOTDIR : err);
  }
  return true;
}

bool FolderExists(const std::string& path) {
  return !path.empty() && IsFolder(kvt::ResolvePath(path));
}

bool FileExists(const std::string& path) {
  return !path.empty() && IsFile(kvt::ResolvePath(path));
}

bool DeleteFile(const std::string& path, std::string* error) {
  std::string p = kvt::ResolvePath(path);
  if (!IsFile(p)) return Fail(error, "Cannot delete", p, IsFolder(p) ? EISDIR : ENOENT);
  if (::unlink(p.c_str()) != 0) return Fail(error, "Cannot delete", p, errno);
  return true;
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
              std::string* error) {
  std::string src = kvt::ResolvePath(from);
  std::string dst = kvt::ResolvePath(to);
  if (!IsFile(src)) return Fail(error, "Cannot copy", src, ENOENT);
  if (failIfExists && ::access(dst.c_str(), F_OK) == 0)
    return Fail(error, "Cannot copy to", dst, EEXIST);
  std::ifstream in(src, std::ios::binary);
  if (!in) return Fail(error, "Cannot read", src, errno ? errno : EIO);
  // Written beside the target and renamed over it, so a failed copy leaves
  // the old target (or none) rather than half a file.
  std::string tmp = dst + ".kvtcopy";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, "Cannot write", dst, errno ? errno : EIO);
    out << in.rdbuf();
    out.flush();
    if (!out || in.bad()) {
      std::remove(tmp.c_str());
      return Fail(error, "Cannot write", dst, EIO);
    }
  }
  if (std::rename(tmp.c_str(), dst.c_str()) != 0) {
    int err = errno;
    std::remove(tmp.c_str());
    return Fail(error, "Cannot write", dst, err);
  }
  return true;
}

std::string GetTempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string dir = env && *env ? env : "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

std::string GetProgramFolder() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*") return true;
  // Greedy match with one back-track point: the last "*" seen.
  std::size_t n = 0, m = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool ListFiles(const std::string& folder, const std::string& mask, std::vector<KVTFileInfo>* files,
               std::string* error) {
  files->clear();
  std::string dir = Slashes(folder);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  dir = dir.empty() ? "." : kvt::ResolvePath(dir);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return Fail(error, "Cannot read folder", dir, errno);
  while (dirent* e = ::readdir(d)) {
    if (!MatchesMask(e->d_name, mask)) continue;
    KVTFileInfo f;
    f.name = e->d_name;
    f.path = (dir == "/" ? "" : dir) + "/" + f.name;
    struct stat st;
    if (::stat(f.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    f.modified = st.st_mtime;
    f.size = st.st_size;
    files->push_back(std::move(f));
  }
  ::closedir(d);
  std::sort(files->begin(), files->end(),
            [](const KVTFileInfo& a, const KVTFileInfo& b) { return a.name < b.name; });
  return true;
}
