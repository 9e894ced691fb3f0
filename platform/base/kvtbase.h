// The base library routines every screen uses: trimming, formatting, today's
// date, partial dates, and money rounding.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/base/export.h"

// Strips leading and trailing blanks (spaces, tabs, CR, LF) in place and
// returns `s`. A null pointer is returned unchanged.
KVT_EXPORT char* TRIM(char* s);

// snprintf into a fixed buffer: the text is cut to the buffer between two
// characters (platform/base/textwidth.h), always NUL-terminated. Returns the
// length the full text would have had.
KVT_EXPORT int KVTsprintf(char* buf, std::size_t size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));
template <std::size_t N, typename... Args>
int KVTsprintf(char (&buf)[N], const char* fmt, Args... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  return KVTsprintf(static_cast<char*>(buf), N, fmt, args...);
#pragma GCC diagnostic pop
}

// Today as "MMDDYYYY" into `buf` (at least 9 bytes), returned.
// The clock is the system's local date unless it was set: by KVTSetToday, or
// at the first call by the environment variable KVT_TODAY ("MM/DD/YYYY",
// "MMDDYYYY" or "YYYY-MM-DD"). Tests and scripts use this to run a date rule
// on a chosen day.
KVT_EXPORT char* CurrentDate(char* buf);
KVT_EXPORT std::string CurrentDate();
// Sets the clock to a fixed day (any of the forms above); an empty text or
// null returns to the system clock. Returns false, changing nothing, when the
// text is not a valid date.
KVT_EXPORT bool KVTSetToday(const char* date);

// Completes a date keyed on the login screen, in place, to "MMDDYYYY":
//   MMDD      -> the current year          ("1205"     -> "12052026")
//   MMDDYY    -> the current century       ("120599"   -> "12052099")
//   MMDDYYYY  -> as keyed
// Separators ("/", "-", ".", blanks) are dropped first; with separators a
// one-digit month or day is padded ("1/5/26" -> "01052026"). Returns false and
// leaves `date` unchanged when the result is not a real calendar day.
// `date` must hold at least 9 bytes.
KVT_EXPORT bool MakeDate(char* date);

// "MMDDYYYY" or "MM/DD/YYYY" as the number YYYYMMDD (the two halves swapped),
// so dates compare as numbers. Returns 0 for text that is not such a date.
KVT_EXPORT long MakeDateYYYYMMDD(const char* date);

// True when y/m/d is a day of the Gregorian calendar.
KVT_EXPORT bool KVTValidDate(int y, int m, int d);

// Rounds half away from zero to `decimals` places (0..9). The value is first
// brought to 12 significant digits, so a decimal half that binary floating
// point holds just below .5 still rounds up: 1.005 -> 1.01, 2.675 -> 2.68,
// -0.125 -> -0.13. Money uses 2 decimals, quantities 3.
KVT_EXPORT double KVTRound(double value, int decimals);

// KVTRound, then formatted with exactly `decimals` places into `buf`
// (at least 32 bytes), returned. A result of -0 is written without sign.
KVT_EXPORT char* KVTSRound(double value, int decimals, char* buf);
KVT_EXPORT std::string KVTSRound(double value, int decimals);
