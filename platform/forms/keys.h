// Keys as a screen sees them: Windows virtual-key codes, the message a
// screen's PreProcessMsg receives, and the state of Shift, Ctrl and Alt while
// a key is being handled.
//
// A front end turns each key press into a KVTKey and hands it to the forms
// runtime (KVTForms::Key); the runtime fills in the modifier state that
// GetKeyState answers and remembers that the last message was a key press.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/win/window.h"

enum : UINT {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,  // Alt
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,  // Page Up
  VK_NEXT = 0x22,   // Page Down
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
  VK_F2,
  VK_F3,
  VK_F4,
  VK_F5,
  VK_F6,
  VK_F7,
  VK_F8,
  VK_F9,
  VK_F10,
  VK_F11,
  VK_F12,
};

// What PreProcessMsg receives: WM_KEYDOWN with the virtual-key code in
// wParam for keys (Alt held or not), WM_CHAR with the character in wParam for
// typed text.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// One key press with the modifiers held.
struct KVTKey {
  UINT vk = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Windows semantics: negative (high bit set) while the key is held during the
// key being handled, for VK_SHIFT, VK_CONTROL and VK_MENU; 0 otherwise.
KVT_EXPORT short GetKeyState(int vk);

// True when the message being handled, or the last one handled, was a key
// press (false after a mouse click on a field, a button or a grid row).
KVT_EXPORT bool KVTLastMessageWasKey();

// Parses a key name as scripts write it: "Enter", "Esc", "Tab", "Up", "Down",
// "Left", "Right", "Del", "Ins", "Space", "Backspace", "Home", "End", "PgUp",
// "PgDn", "F1".."F12", a letter or digit ("A", "7": the key, whose code is
// the upper-case character), with any of the prefixes "Shift+", "Ctrl+",
// "Alt+". Names are matched without regard to case. False for anything else.
KVT_EXPORT bool KVTParseKey(const std::string& name, KVTKey* key);
// The name of a key in the form KVTParseKey reads ("Shift+Tab").
KVT_EXPORT std::string KVTKeyName(const KVTKey& key);

namespace kvt::forms_detail {
// Set by the runtime around the dispatch of input.
KVT_EXPORT void SetKeyModifiers(bool shift, bool ctrl, bool alt);
KVT_EXPORT void SetLastMessageWasKey(bool key);
}  // namespace kvt::forms_detail
