// The folder browser as the module calls it: BrowseDir(owner, start path,
// title, result buffer, result size). The installed front end asks the user.
#pragma once

#include "platform/base/export.h"
#include "platform/win/window.h"

// The folder chosen, cut to the buffer, into `result`: true when one was
// chosen; false, with `result` emptied, when the choice was cancelled.
KVT_EXPORT bool BrowseDir(HWND owner, const char* start, const char* title, char* result, int size);
