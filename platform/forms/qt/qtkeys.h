// Keys between Qt and the forms runtime: what a key press on a widget
// means to a screen (a key with its modifiers, or typed text), and the key
// event a scripted user sends to a widget for a key or a character.
#pragma once

#include <QKeyEvent>
#include <memory>
#include <string>

#include "platform/base/export.h"
#include "platform/forms/keys.h"

enum class KVTQtInput { None, Key, Text };

// Key: `key` is filled (Enter, Esc, Tab, Shift+Tab, arrows, F-keys, Space,
// letters and digits held with Ctrl or Alt...). Text: `typed` holds the
// character typed (Latin-1). None: a key no screen takes (Shift alone, a
// character beyond Latin-1...).
KVT_EXPORT KVTQtInput KVTTranslateQtKey(const QKeyEvent& event, KVTKey* key, std::string* typed);

// The key press a keyboard gives for `key`, or for typing `c`; null for a key
// that has no Qt equivalent.
KVT_EXPORT std::unique_ptr<QKeyEvent> KVTQtKeyEventFor(const KVTKey& key);
KVT_EXPORT std::unique_ptr<QKeyEvent> KVTQtKeyEventForChar(char c);
