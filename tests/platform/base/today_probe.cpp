// Prints today's date as the base library sees it, for the test of the
// KVT_TODAY environment variable: the variable is read once per process, so
// each case runs in a process of its own. An argument is set with KVTSetToday
// first.
#include <cstdio>

#include "platform/base/kvtbase.h"

int main(int argc, char** argv) {
  if (argc > 1 && !KVTSetToday(argv[1])) return 2;
  std::printf("%s\n", CurrentDate().c_str());
  return 0;
}
