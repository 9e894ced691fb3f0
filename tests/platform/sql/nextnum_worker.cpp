// A till for the record-number test: opens the database named by a settings
// file, waits until the start file exists (so all tills ask at once), then
// asks NextNum `count` times and prints each number on its own line.
//   nextnum_worker INI TABLE BLOCK COUNT STARTFILE
// Exit code 0 when every number was handed out, 1 otherwise.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sql/kvtsql.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s INI TABLE BLOCK COUNT STARTFILE\n", argv[0]);
    return 2;
  }
  if (!KVTOpenConnectionOne(argv[1])) {
    std::fprintf(stderr, "cannot open the database: %s\n", KVTLastSqlError());
    return 1;
  }
  int block = std::atoi(argv[3]);
  int count = std::atoi(argv[4]);
  for (int waited = 0; access(argv[5], F_OK) != 0; ++waited) {
    if (waited > 20000) return 1;  // 20 s without a start
    usleep(1000);
  }
  for (int i = 0; i < count; ++i) {
    double n = NextNum(nullptr, 1, argv[2], block, 0, 1);
    if (n <= 0) {
      std::fprintf(stderr, "NextNum failed: %s\n", KVTLastSqlError());
      return 1;
    }
    std::printf("%.0f\n", n);
  }
  KVTCloseConnectionOne();
  return 0;
}
