// Key names, modifier state and "the last message was a key press".
#include "platform/forms/keys.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

namespace {

bool g_shift = false;
bool g_ctrl = false;
bool g_alt = false;
bool g_lastWasKey = false;

struct Named {
  const char* name;
  UINT vk;
};

// The first name of each key is the one KVTKeyName writes.
const Named kNames[] = {
    {"Enter", VK_RETURN},  {"Return", VK_RETURN}, {"Esc", VK_ESCAPE},     {"Escape", VK_ESCAPE},
    {"Tab", VK_TAB},       {"Up", VK_UP},         {"Down", VK_DOWN},      {"Left", VK_LEFT},
    {"Right", VK_RIGHT},   {"Del", VK_DELETE},    {"Delete", VK_DELETE},  {"Ins", VK_INSERT},
    {"Insert", VK_INSERT}, {"Space", VK_SPACE},   {"Backspace", VK_BACK}, {"Home", VK_HOME},
    {"End", VK_END},       {"PgUp", VK_PRIOR},    {"PgDn", VK_NEXT},
};

bool StripPrefix(std::string& s, const char* prefix) {
  std::size_t n = std::char_traits<char>::length(prefix);
  if (s.size() <= n || strncasecmp(s.c_str(), prefix, n) != 0) return false;
  s.erase(0, n);
  return true;
}

}  // namespace

namespace kvt::forms_detail {
void SetKeyModifiers(bool shift, bool ctrl, bool alt) {
  g_shift = shift;
  g_ctrl = ctrl;
  g_alt = alt;
}
void SetLastMessageWasKey(bool key) {
  g_lastWasKey = key;
}
}  // namespace kvt::forms_detail

short GetKeyState(int vk) {
  bool down =
      (vk == VK_SHIFT && g_shift) || (vk == VK_CONTROL && g_ctrl) || (vk == VK_MENU && g_alt);
  return down ? static_cast<short>(-128) : 0;
}

bool KVTLastMessageWasKey() {
  return g_lastWasKey;
}

bool KVTParseKey(const std::string& name, KVTKey* key) {
  KVTKey k;
  std::string rest = name;
  for (bool more = true; more;) {
    more = false;
    if (StripPrefix(rest, "Shift+")) k.shift = more = true;
    if (StripPrefix(rest, "Ctrl+")) k.ctrl = more = true;
    if (StripPrefix(rest, "Alt+")) k.alt = more = true;
  }
  for (const Named& n : kNames) {
    if (strcasecmp(rest.c_str(), n.name) == 0) {
      k.vk = n.vk;
      *key = k;
      return true;
    }
  }
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    k.vk = static_cast<UINT>(std::toupper(static_cast<unsigned char>(rest[0])));
    *key = k;
    return true;
  }
  if (rest.size() >= 2 && (rest[0] == 'F' || rest[0] == 'f')) {
    bool digits = true;
    for (std::size_t i = 1; i < rest.size(); ++i)
      digits = digits && std::isdigit(static_cast<unsigned char>(rest[i]));
    int n = digits && rest.size() <= 3 ? std::atoi(rest.c_str() + 1) : 0;
    if (n >= 1 && n <= 12) {
      k.vk = VK_F1 + static_cast<UINT>(n - 1);
      *key = k;
      return true;
    }
  }
  return false;
}

std::string KVTKeyName(const KVTKey& key) {
  std::string out;
  if (key.shift) out += "Shift+";
  if (key.ctrl) out += "Ctrl+";
  if (key.alt) out += "Alt+";
  if (key.vk >= VK_F1 && key.vk <= VK_F12) return out + "F" + std::to_string(key.vk - VK_F1 + 1);
  for (const Named& n : kNames)
    if (n.vk == key.vk) return out + n.name;
  if ((key.vk >= '0' && key.vk <= '9') || (key.vk >= 'A' && key.vk <= 'Z'))
    return out + static_cast<char>(key.vk);
  return out + "Key" + std::to_string(key.vk);
}
