// What the sale screen's price files share: price and amount texts, price
// windows by date, voided lines.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/base/kvtbase.h"
#include "platform/forms/datatbl.h"
#include "sale/pos1.h"
#include "shell/globals.h"

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

// A unit price as the sale shows it: PRICE_FORMAT at the price decimals
// (rounded half away from zero first, so 1.005 is 1.01, never "-0.00").
inline std::string KVTPriceText(double value) {
  char buf[64];
  KVTsprintf(buf, PRICE_FORMAT, KVTRound(value, std::atoi(CFG_DECIMALSFORPRICE)) + 0.0);
  return buf;
}

// A line amount: TOTAL_FORMAT, to the cent.
inline std::string KVTAmountText(double value) {
  char buf[64];
  KVTsprintf(buf, TOTAL_FORMAT, KVTRound(value, 2) + 0.0);
  return buf;
}

// A window of MM/DD/YYYY texts (price records, mixes) against today, both
// days included. Dates compare as YYYYMMDD numbers; a blank or unreadable
// date is 0, so a window without an end date never holds.
inline bool KVTWindowHoldsToday(const std::string& begin, const std::string& end) {
  long today = MakeDateYYYYMMDD(CurrentDate().c_str());
  return MakeDateYYYYMMDD(begin.c_str()) <= today && today <= MakeDateYYYYMMDD(end.c_str());
}

inline bool KVTLineIsVoid(const TDataTbl& grid, int row) {
  return grid.GetCell(COL_AMOUNT, row) == "VOID";
}
