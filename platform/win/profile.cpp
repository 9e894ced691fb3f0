// Private settings files: read, cut to the buffer, write creating what is missing.
#include "platform/win/profile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include <dirent.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/base/textwidth.h"

namespace {

std::mutex g_mutex;

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Strip(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool ReadLines(const std::string& path, std::vector<std::string>* lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(line);
  }
  return true;
}

// Returns the section name when `line` is a section header.
bool SectionOf(const std::string& line, std::string* name) {
  std::string t = Strip(line);
  if (t.size() < 2 || t.front() != '[') return false;
  std::size_t close = t.find(']');
  if (close == std::string::npos) return false;
  *name = Strip(t.substr(1, close - 1));
  return true;
}

bool KeyOf(const std::string& line, std::string* key, std::string* value) {
  std::string t = Strip(line);
  if (t.empty() || t[0] == ';' || t[0] == '#') return false;
  std::size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  *key = Strip(t.substr(0, eq));
  *value = Strip(t.substr(eq + 1));
  if (value->size() >= 2 && value->front() == '"' && value->back() == '"')
    *value = value->substr(1, value->size() - 2);
  return true;
}

bool Lookup(const std::string& path, const std::string& sectionName, const std::string& keyName,
            std::string* value) {
  // Names are read without their surrounding blanks, as the file's are.
  const std::string section = Strip(sectionName), key = Strip(keyName);
  std::vector<std::string> lines;
  if (!ReadLines(path, &lines)) return false;
  bool inSection = false;
  for (const auto& line : lines) {
    std::string name, k, v;
    if (SectionOf(line, &name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, &k, &v) && SameName(k, key)) {
      *value = v;
      return true;
    }
  }
  return false;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The advisory lock of a settings file, held from its read to its
// replacement. The file is replaced by a rename, so a lock taken on a file
// that has just been replaced is taken again on the new one. Each retry
// means another writer finished its change, so the retries end; a bound on
// them made a busy file refuse a write.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    for (;;) {
      fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
      if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd_ < 0) return;
      while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
          Release();
          return;
        }
      }
      struct stat held {
      }, now{};
      if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &now) == 0 &&
          held.st_dev == now.st_dev && held.st_ino == now.st_ino)
        return;
      Release();
    }
  }
  ~FileLock() { Release(); }
  bool Locked() const { return fd_ >= 0; }

 private:
  void Release() {
    if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
    fd_ = -1;
  }
  int fd_ = -1;
};

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Written beside the file, synced, then renamed over it, and the folder
// synced: a reader sees the old file or the new one, never half of one,
// also after a power cut.
bool ReplaceFile(const std::string& path, const std::string& text) {
  std::string tmp = path + ".XXXXXX";
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  struct stat old {};
  mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace

namespace kvt {

std::string ResolvePath(const std::string& windowsPath) {
  std::string p = windowsPath;
  for (char& c : p)
    if (c == '\\') c = '/';
  struct stat st;
  if (p.empty() || ::stat(p.c_str(), &st) == 0) return p;
  std::size_t slash = p.rfind('/');
  std::string dir = slash == std::string::npos ? "." : p.substr(0, slash);
  std::string base = slash == std::string::npos ? p : p.substr(slash + 1);
  if (dir.empty()) dir.assign(1, '/');
  DIR* d = ::opendir(dir.c_str());
  if (!d) return p;
  std::string found = p;
  while (dirent* e = ::readdir(d)) {
    if (SameName(e->d_name, base)) {
      found = (slash == std::string::npos ? std::string() : p.substr(0, slash + 1)) + e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::string ProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string v;
  return Lookup(ResolvePath(file), section, key, &v) ? v : def;
}

}  // namespace kvt

int GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf,
                            int size, const char* file) {
  if (!buf || size <= 0) return 0;
  std::string v =
      kvt::ProfileString(file ? file : "", section ? section : "", key ? key : "", def ? def : "");
  return static_cast<int>(KVTCopyText(buf, static_cast<std::size_t>(size), v));
}

int GetPrivateProfileInt(const char* section, const char* key, int def, const char* file) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string v;
  if (!Lookup(kvt::ResolvePath(file ? file : ""), section ? section : "", key ? key : "", &v))
    return def;
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(v.c_str(), &end, 10);
  // A number an int cannot hold is no setting of this kind: never wrapped.
  if (end == v.c_str() || errno == ERANGE || n < INT_MIN || n > INT_MAX) return def;
  return static_cast<int>(n);
}

bool WritePrivateProfileString(const char* sectionName, const char* keyName, const char* valueText,
                               const char* file) {
  if (!sectionName || !file) return false;
  // A line break would write lines of its own (a new section, another key);
  // a section name cannot hold "]", nor a key "=", nor start as a comment or
  // a section header does.
  if (std::strpbrk(sectionName, "\r\n]") || (keyName && std::strpbrk(keyName, "\r\n=")) ||
      (valueText && std::strpbrk(valueText, "\r\n")))
    return false;
  const std::string sectionText = Strip(sectionName), keyText = keyName ? Strip(keyName) : "";
  if (keyName && (keyText.empty() || std::strchr(";#[", keyText[0]))) return false;
  const char* section = sectionText.c_str();
  const char* key = keyName ? keyText.c_str() : nullptr;
  // A value read back loses its surrounding blanks and one pair of quotes:
  // such a value is written in quotes so that it reads back as it was.
  std::string valueLine = valueText ? valueText : "";
  if (valueText && (valueLine != Strip(valueLine) ||
                    (valueLine.size() >= 2 && valueLine.front() == '"' && valueLine.back() == '"')))
    valueLine = "\"" + valueLine + "\"";
  const char* value = valueText ? valueLine.c_str() : nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string path = kvt::ResolvePath(file);
  // Other processes (another till, a set-up screen) write the same file:
  // the whole read, change and replace holds the file's advisory lock.
  FileLock fileLock(path);
  if (!fileLock.Locked()) return false;
  std::vector<std::string> lines;
  ReadLines(path, &lines);  // a missing file is created

  std::vector<std::string> out;
  bool inSection = false, sectionSeen = false, written = false;
  auto finishSection = [&]() {
    if (inSection && !written && key && value) {
      // Insert before the blank lines that close the section.
      std::size_t at = out.size();
      while (at > 0 && Strip(out[at - 1]).empty()) --at;
      out.insert(out.begin() + static_cast<long>(at), std::string(key) + "=" + value);
      written = true;
    }
  };
  for (const auto& line : lines) {
    std::string name, k, v;
    if (SectionOf(line, &name)) {
      finishSection();
      inSection = SameName(name, section);
      if (inSection) {
        sectionSeen = true;
        if (!key) continue;  // removing the section: drop its header
      }
      out.push_back(line);
      continue;
    }
    if (inSection) {
      if (!key) continue;
      if (KeyOf(line, &k, &v) && SameName(k, key)) {
        if (value && !written) {
          out.push_back(std::string(key) + "=" + value);
          written = true;
        }
        continue;
      }
    }
    out.push_back(line);
  }
  finishSection();
  if (!sectionSeen && key && value) {
    if (!out.empty() && !Strip(out.back()).empty()) out.push_back("");
    out.push_back(std::string("[") + section + "]");
    out.push_back(std::string(key) + "=" + value);
  }

  std::string text;
  for (const auto& line : out) text += line + "\n";
  return ReplaceFile(path, text);
}
