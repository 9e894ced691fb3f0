// A settings file of any content: read by section and key, written to, and
// read again. A value written is read back as written, and the keys that
// were not written keep their values.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "fuzz/fuzz.h"
#include "platform/base/kvtbase.h"
#include "platform/win/profile.h"

namespace {

const std::string& File() {
  static const std::string file = "/tmp/kvt-settings-fuzz-" + std::to_string(::getpid()) + ".ini";
  return file;
}

std::string Read(const char* section, const char* key) {
  return kvt::ProfileString(File(), section, key, "\x01");
}

// The first three lines of the input name the section, the key and the
// value to write; the whole input is the file.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text) {
    if (c == '\n' || c == '\0') {
      out.push_back(line);
      line.clear();
      if (c == '\0') break;
    } else {
      line += c;
    }
  }
  out.push_back(line);
  out.resize(std::max<std::size_t>(out.size(), 3));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = FuzzText(data, size);
  {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out << text;
  }
  const std::vector<std::string> l = Lines(text);
  std::string section =
      l[0].size() > 1 && l[0][0] == '[' ? l[0].substr(1, l[0].find(']') - 1) : l[0];
  const std::string& key = l[1];
  const std::string& value = l[2];
  const char* others[] = {"DataPath", "Translate", "Schema"};
  std::string old[3];
  for (int i = 0; i < 3; ++i) old[i] = Read(section.c_str(), others[i]);
  (void)GetPrivateProfileInt(section.c_str(), key.c_str(), 7, File().c_str());

  if (WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), File().c_str())) {
    FUZZ_CHECK(Read(section.c_str(), key.c_str()) == value);
    // A key is named without its surrounding blanks: " Schema" is Schema.
    std::string name = key;
    TRIM(name.data());
    for (int i = 0; i < 3; ++i)
      if (strcasecmp(name.c_str(), others[i]) != 0)
        FUZZ_CHECK(Read(section.c_str(), others[i]) == old[i]);
  }
  FUZZ_CHECK(!WritePrivateProfileString(section.c_str(), "B", "a\nb", File().c_str()));
  ::unlink(File().c_str());
  return 0;
}
