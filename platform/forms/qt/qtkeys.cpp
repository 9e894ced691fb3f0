// Key translation between Qt key events and the runtime's keys.
#include "platform/forms/qt/qtkeys.h"

#include <cctype>

namespace {

struct Pair {
  int qt;
  UINT vk;
};

// The first pair of a virtual key is the one a scripted key press sends.
const Pair kKeys[] = {
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},  {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},      {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},      {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},
};

bool IsLetterOrDigit(int qtKey) {
  return (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9);
}

}  // namespace

KVTQtInput KVTTranslateQtKey(const QKeyEvent& event, KVTKey* key, std::string* typed) {
  const int k = event.key();
  const Qt::KeyboardModifiers mods = event.modifiers();
  KVTKey out;
  out.shift = mods.testFlag(Qt::ShiftModifier);
  out.ctrl = mods.testFlag(Qt::ControlModifier);
  out.alt = mods.testFlag(Qt::AltModifier);
  if (k == Qt::Key_Backtab) {
    out.vk = VK_TAB;
    out.shift = true;
    *key = out;
    return KVTQtInput::Key;
  }
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
    out.vk = VK_F1 + static_cast<UINT>(k - Qt::Key_F1);
    *key = out;
    return KVTQtInput::Key;
  }
  for (const Pair& p : kKeys) {
    if (p.qt == k) {
      out.vk = p.vk;
      *key = out;
      return KVTQtInput::Key;
    }
  }
  if (out.ctrl || out.alt) {
    if (!IsLetterOrDigit(k)) return KVTQtInput::None;
    out.vk = static_cast<UINT>(k);  // Qt's codes for A-Z and 0-9 are the characters
    *key = out;
    return KVTQtInput::Key;
  }
  const QString text = event.text();
  if (text.size() != 1) return KVTQtInput::None;
  const char16_t c = text.at(0).unicode();
  if (c < 0x20 || c == 0x7F || c > 0xFF) return KVTQtInput::None;
  *typed = std::string(1, static_cast<char>(c));
  return KVTQtInput::Text;
}

std::unique_ptr<QKeyEvent> KVTQtKeyEventFor(const KVTKey& key) {
  Qt::KeyboardModifiers mods;
  if (key.shift) mods |= Qt::ShiftModifier;
  if (key.ctrl) mods |= Qt::ControlModifier;
  if (key.alt) mods |= Qt::AltModifier;
  int qt = 0;
  QString text;
  if (key.vk == VK_TAB && key.shift) {
    qt = Qt::Key_Backtab;
  } else if (key.vk >= VK_F1 && key.vk <= VK_F12) {
    qt = Qt::Key_F1 + static_cast<int>(key.vk - VK_F1);
  } else if ((key.vk >= 'A' && key.vk <= 'Z') || (key.vk >= '0' && key.vk <= '9')) {
    qt = static_cast<int>(key.vk);
    if (!key.ctrl && !key.alt)
      text = QString(QChar(key.shift ? key.vk : std::tolower(static_cast<int>(key.vk))));
  } else {
    for (const Pair& p : kKeys) {
      if (p.vk == key.vk) {
        qt = p.qt;
        break;
      }
    }
    if (key.vk == VK_SPACE && !key.ctrl && !key.alt) text = " ";
    if (key.vk == VK_RETURN) text = "\r";
    if (key.vk == VK_ESCAPE) text = QString(QChar(0x1B));
  }
  if (qt == 0) return nullptr;
  return std::make_unique<QKeyEvent>(QEvent::KeyPress, qt, mods, text);
}

std::unique_ptr<QKeyEvent> KVTQtKeyEventForChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || u == 0x7F) return nullptr;
  Qt::KeyboardModifiers mods;
  int qt;
  if (std::isalpha(u)) {
    qt = std::toupper(u);
    if (std::isupper(u)) mods |= Qt::ShiftModifier;
  } else if (u == ' ') {
    qt = Qt::Key_Space;
  } else {
    qt = u;  // Qt's codes for the other Latin-1 characters are the characters
  }
  return std::make_unique<QKeyEvent>(QEvent::KeyPress, qt, mods,
                                     QString(QChar(static_cast<char16_t>(u))));
}
