// The parameter block of named events between the suite's modules: what a
// module's entry point KVTInterface_HandleEvent(event, version, object)
// receives, non-zero on success. The caller fills the block, the callee
// answers in the same block; on failure the callee's ErrorString is the
// message the caller shows. Shared by the till (shell/kvtintob.h) and the
// modules that answer it (suite/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/base/export.h"
#include "platform/base/textwidth.h"
#include "platform/win/window.h"

inline constexpr int KVT_EVENT_VERSION = 256;

// Plain data with fixed buffers so that both sides agree on it without
// sharing a C++ runtime. It carries no connection: every module of the
// process shares connection 1.
struct KVTEventObject {
  HWND hWnd = nullptr;
  char ErrorString[256] = "";
  char Key[256] = "";
  char SubKey[256] = "";
  char Param1[1024] = "";
  char Param2[1024] = "";
  char Param3[1024] = "";
  char Param4[1024] = "";
  double dParam1 = 0, dParam2 = 0, dParam3 = 0, dParam4 = 0;
  std::int32_t iParam1 = 0, iParam2 = 0, iParam3 = 0, iParam4 = 0;
};

using KVTHandleEventFn = int (*)(const char* event, int version, KVTEventObject* object);

// The value of "KEY=" in the text of a request or an answer: items
// separated by tabs ("01=MAIN\t02=3\t"), the first item with that key;
// empty when there is none.
KVT_EXPORT std::string KVTEventItem(const char* text, const std::string& key);

// Copies text into a fixed buffer of the event object, cut to fit between
// characters.
template <std::size_t N>
void KVTSetEventText(char (&dest)[N], const std::string& text) {
  KVTCopyText(dest, text);
}
