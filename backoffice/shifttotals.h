// The totals of one till shift by tender, and the text the shift total
// verification screen shows of them, without screens: the sales come in as
// rows of KVTPOS1 (tender columns and TRANSTYPE, by name), the text goes out.
// KVTShiftSales reads a shift's sales from the database into them.
#pragma once

#include <string>
#include <string_view>

#include "platform/sql/query.h"

// One kind of tender of the shift: how many sales carried it and how much.
struct KVTTally {
  double count = 0;
  double amount = 0;
  // A zero amount is no tender; a negative one counts like a positive one.
  void Add(double value);
};

struct KVTShiftTotals {
  KVTTally cashSales, cashReturns, cashROA, checkSales, checkROA, cashedChecks, foodStamps;
  KVTTally chargeSales, chargeReturns, cardSales, cardROA, cardReturns;
  KVTTally fpSales, fpReturns, fpCashPay, fpCheckPay, giftSales, giftROA;
  double voidedItems = 0;
  double noSales = 0;

  // Adds one sale of the shift: a row with the tender columns of KVTPOS1
  // (CASHAMT ... GFTCRDPAY) and TRANSTYPE ("C": a cashed check).
  void AddSale(const kvt::sql::Row& sale);
  // The text: a heading (date as MMDDYYYY or MM/DD/YYYY), then lines of a
  // label in 20 columns, a count in 15 and an amount in 20, each ending in
  // "\n". The financing plan's lines only when `farmPlan`; its amounts are in
  // the subtotals either way.
  std::string Text(std::string_view date, std::string_view employee, std::string_view shift,
                   std::string_view till, bool farmPlan) const;

  // `text` trimmed, then blanks up to `width` characters: in front when
  // `leading` is 0 (right-aligned), behind otherwise. Longer text stays.
  static std::string Pad(std::string_view text, int width, int leading);
};

// A till shift's sales, whatever their status, its no-sales and its voided
// lines, read into totals; the statements are prepared once.
class KVTShiftSales {
 public:
  KVTShiftSales();
  ~KVTShiftSales();
  // `date` is MMDDYYYY or MM/DD/YYYY. False, with error() and the totals
  // empty, when any of them could not be read.
  bool Read(std::string_view store, std::string_view date, std::string_view till,
            std::string_view shift, KVTShiftTotals* totals);
  const std::string& error() const { return error_; }

 private:
  kvt::sql::Query sales_, noSales_, voided_;
  std::string error_;
};
