// Files for the tests: a fresh folder under /tmp that goes with everything
// in it when the test ends, a file's whole text, and a file written whole.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kvt::test {

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/kvttestXXXXXX";
    if (::mkdtemp(tmpl))
      path_ = tmpl;
    else
      ADD_FAILURE() << "no scratch folder under /tmp";
  }
  ~ScratchDir() {
    if (!path_.empty()) std::filesystem::remove_all(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  // Without a trailing slash.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace kvt::test
