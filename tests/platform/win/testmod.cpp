// A module for the loader tests: one entry point that is offered, one that is
// compiled in but hidden (as every symbol not marked for export is).
#include "platform/base/export.h"

KVT_EXTERN_C int KvtTestModAdd(int a, int b) {
  return a + b;
}

extern "C" int KvtTestModHidden() {
  return 1;
}
