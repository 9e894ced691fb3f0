// Date texts as the login screen keys them; free of the database so that
// the fuzz targets take it alone.
#include <cstring>
#include <string>

#include "shell/posmisc.h"

void StripDateZeros(char* Date) {
  if (!Date) return;
  // Worked on whole: the result is never longer than the text, so it fits.
  std::string work(Date);
  work.erase(0, work.find_first_not_of(" \t\r\n"));
  work.erase(work.find_last_not_of(" \t\r\n") + 1);
  const bool keep = work.size() >= 8 && (work.compare(4, std::string::npos, "1000") == 0 ||
                                         work.compare(4, std::string::npos, "2000") == 0 ||
                                         work.compare(4, std::string::npos, "3000") == 0);
  if (!keep)
    while (work.size() >= 2 && work.compare(work.size() - 2, 2, "00") == 0)
      work.resize(work.size() - 2);
  std::memcpy(Date, work.c_str(), work.size() + 1);
}
