// The base library routines: trimming, formatting, dates and rounding.
#include "platform/base/kvtbase.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/base/textwidth.h"

namespace {

std::mutex g_clockMutex;
bool g_clockFixed = false;
bool g_envRead = false;
int g_y = 0, g_m = 0, g_d = 0;

bool ParseDay(const char* text, int* y, int* m, int* d) {
  if (!text) return false;
  std::string s;
  for (const char* p = text; *p; ++p)
    if (!std::isspace(static_cast<unsigned char>(*p))) s += *p;
  int yy = 0, mm = 0, dd = 0;
  char tail = 0;
  if (s.size() == 10 && s[4] == '-' &&
      std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &yy, &mm, &dd, &tail) == 3) {
  } else if (s.size() == 10 && s[2] == '/' &&
             std::sscanf(s.c_str(), "%2d/%2d/%4d%c", &mm, &dd, &yy, &tail) == 3) {
  } else if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string::npos) {
    mm = std::atoi(s.substr(0, 2).c_str());
    dd = std::atoi(s.substr(2, 2).c_str());
    yy = std::atoi(s.substr(4, 4).c_str());
  } else {
    return false;
  }
  if (!KVTValidDate(yy, mm, dd)) return false;
  *y = yy;
  *m = mm;
  *d = dd;
  return true;
}

void Today(int* y, int* m, int* d) {
  std::lock_guard<std::mutex> lock(g_clockMutex);
  if (!g_envRead) {
    g_envRead = true;
    if (!g_clockFixed) g_clockFixed = ParseDay(std::getenv("KVT_TODAY"), &g_y, &g_m, &g_d);
  }
  if (g_clockFixed) {
    *y = g_y;
    *m = g_m;
    *d = g_d;
    return;
  }
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  *y = tm.tm_year + 1900;
  *m = tm.tm_mon + 1;
  *d = tm.tm_mday;
}

}  // namespace

char* TRIM(char* s) {
  if (!s) return s;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  char* start = s;
  while (*start && blank(*start)) ++start;
  std::size_t len = std::strlen(start);
  while (len > 0 && blank(start[len - 1])) --len;
  std::memmove(s, start, len);
  s[len] = '\0';
  return s;
}

int KVTsprintf(char* buf, std::size_t size, const char* fmt, ...) {
  va_list ap, again;
  va_start(ap, fmt);
  va_copy(again, ap);
  int n = std::vsnprintf(buf, size, fmt, ap);
  va_end(ap);
  if (n >= 0 && static_cast<std::size_t>(n) >= size && size > 0) {
    // Cut between characters, not inside one.
    std::string full(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(full.data(), full.size(), fmt, again);
    KVTCopyText(buf, size, std::string_view(full.data(), static_cast<std::size_t>(n)));
  }
  va_end(again);
  return n;
}

bool KVTValidDate(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  int max = days[m - 1] + (m == 2 && leap ? 1 : 0);
  return d <= max;
}

char* CurrentDate(char* buf) {
  int y, m, d;
  Today(&y, &m, &d);
  std::snprintf(buf, 9, "%02d%02d%04d", m, d, y);
  return buf;
}

std::string CurrentDate() {
  char buf[16];
  return CurrentDate(buf);
}

bool KVTSetToday(const char* date) {
  std::lock_guard<std::mutex> lock(g_clockMutex);
  g_envRead = true;  // an explicit setting wins over the environment
  if (!date || !*date) {
    g_clockFixed = false;
    return true;
  }
  int y, m, d;
  if (!ParseDay(date, &y, &m, &d)) return false;
  g_y = y;
  g_m = m;
  g_d = d;
  g_clockFixed = true;
  return true;
}

bool MakeDate(char* date) {
  if (!date) return false;
  std::string in = date;
  bool separated = in.find_first_of("/-.") != std::string::npos;
  std::string digits;
  if (separated) {
    // Split on separators and pad month and day to two digits.
    std::string part;
    std::string parts[3];
    int n = 0;
    for (char c : in + "/") {
      if (c == '/' || c == '-' || c == '.') {
        if (n >= 3) return false;
        parts[n++] = part;
        part.clear();
      } else if (!std::isspace(static_cast<unsigned char>(c))) {
        part += c;
      }
    }
    if (n < 2 || parts[0].empty() || parts[1].empty() || parts[0].size() > 2 || parts[1].size() > 2)
      return false;
    for (int i = 0; i < 2; ++i)
      if (parts[i].size() == 1) parts[i] = "0" + parts[i];
    digits = parts[0] + parts[1] + (n == 3 ? parts[2] : "");
  } else {
    for (char c : in)
      if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
  }
  if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
  int y, m, d;
  Today(&y, &m, &d);
  char year[16];
  if (digits.size() == 4) {
    std::snprintf(year, sizeof year, "%04d", y);
    digits += year;
  } else if (digits.size() == 6) {
    std::snprintf(year, sizeof year, "%02d", y / 100);
    digits.insert(4, year);
  } else if (digits.size() != 8) {
    return false;
  }
  int mm = std::atoi(digits.substr(0, 2).c_str());
  int dd = std::atoi(digits.substr(2, 2).c_str());
  int yy = std::atoi(digits.substr(4, 4).c_str());
  if (!KVTValidDate(yy, mm, dd)) return false;
  std::memcpy(date, digits.c_str(), 9);
  return true;
}

long MakeDateYYYYMMDD(const char* date) {
  if (!date) return 0;
  std::string s = date;
  if (s.size() == 10 && s[2] == '/' && s[5] == '/')
    s = s.substr(0, 2) + s.substr(3, 2) + s.substr(6, 4);
  if (s.size() != 8 || s.find_first_not_of("0123456789") != std::string::npos) return 0;
  const long ymd = std::atol((s.substr(4, 4) + s.substr(0, 4)).c_str());
  return KVTValidDate(static_cast<int>(ymd / 10000), static_cast<int>(ymd / 100 % 100),
                      static_cast<int>(ymd % 100))
             ? ymd
             : 0;
}

double KVTRound(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  static const double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  // Away from a half the result is plain rounding: the two cuts to 12
  // significant digits below move a value under 10^7 by less than 10^-5.
  // Totals and taxes are rounded on every keyed line; this keeps them cheap.
  const double direct = value * kScale[decimals];
  if (std::fabs(direct) < 1e7 && std::fabs(std::fabs(direct - std::trunc(direct)) - 0.5) > 1e-4) {
    double r = std::round(direct) / kScale[decimals];
    return r == 0.0 ? 0.0 : r;
  }
  // 12 significant digits absorb the representation error of a keyed decimal
  // (2.675 is held as 2.67499999999999982236431605997495353221893310546875).
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.12g", value);
  double v = std::strtod(buf, nullptr);
  double scale = std::pow(10.0, decimals);
  double scaled = v * scale;
  std::snprintf(buf, sizeof buf, "%.12g", scaled);
  scaled = std::strtod(buf, nullptr);
  double r = std::round(scaled) / scale;  // std::round: half away from zero
  return r == 0.0 ? 0.0 : r;
}

char* KVTSRound(double value, int decimals, char* buf) {
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  std::snprintf(buf, 32, "%.*f", decimals, KVTRound(value, decimals));
  return buf;
}

std::string KVTSRound(double value, int decimals) {
  char buf[32];
  return KVTSRound(value, decimals, buf);
}
