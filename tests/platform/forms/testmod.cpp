// The test module: the exports the script tool calls with the host window.
#include "platform/base/export.h"
#include "tests/platform/forms/testscreen.h"

KVT_EXTERN_C void OpenTestScreen(HWND hWnd) {
  OpenTestScreenIn(hWnd);
}
