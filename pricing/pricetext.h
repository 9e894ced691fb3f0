// Money texts the sale's files share: a number in one of the module's
// formats, and money rounded to the cent.
#pragma once

#include <string>

#include "platform/base/kvtbase.h"

// A number written with one of the module's formats (TOTAL_FORMAT,
// PRICE_FORMAT, "%.6f"...).
inline std::string KVTFormatValue(const char* format, double value) {
  char buf[64];
  KVTsprintf(buf, format, value);
  return buf;
}

// Money rounded to the cent (half away from zero, never a negative zero).
inline double KVTCents(double value) {
  return KVTRound(value, 2);
}
