// The daily sales review without screens: what is read to show one saved
// sale (header, lines, taxes, tax detail), how its type and amounts read,
// which parts of the screen its payment opens, the card checks, the card
// correction (the only change a saved sale takes) and the find window's
// filter and order. Every read answers found, not found or failed.
#pragma once

#include <string>

#include "platform/sql/query.h"

// The four credit card prompts of one kind of sale (all on unless the
// payment configuration says "F").
struct KVTCardPrompts {
  bool type = true, number = true, expiry = true, auth = true;
  bool Any() const { return type || number || expiry || auth; }
};

// What the shown sale opens on the screen.
struct KVTSaleEnable {
  bool cardGroup = false;  // the credit card group and "&Accept"
  bool canadian = false;   // the Canadian payment group
  bool taxDetail = true;   // "&View Tax Detail"
};

// A card expiry checked: `date` is MMDDYYYY (the month's last day) when ok;
// otherwise `message`, `formatRule` telling the MMYY rule (information box)
// from a date refused by the card rules (stop box).
struct KVTCardExpiry {
  bool ok = false;
  bool formatRule = false;
  std::string message;
  std::string date;
};

class KVTDailySales {
 public:
  // The browse: saved sales without the suspended ones, by sale number.
  static const char* const kFetchScript;
  static const char* const kFetchColumns;
  static const char* const kFetchOrder;

  // "Sale", "Cash Return", ... from the first character of TRANSTYPE;
  // "VOID" for a voided sale; "" for an unknown type.
  static std::string TypeText(const std::string& transType, const std::string& status);
  // An amount column as the screen shows it ("$%.2f"; "$%.4f" for the
  // exchange rate); an empty column reads as 0.
  static std::string Money(const std::string& amount, const char* format = "$%.2f");
  // Which parts the shown sale opens, from the displayed texts.
  static KVTSaleEnable Enablement(const std::string& typeText, const std::string& creditAmt,
                                  const std::string& creditPay, const std::string& canExchg,
                                  const std::string& canAmt, bool runningPOS,
                                  const KVTCardPrompts& sale, const KVTCardPrompts& payment);
  // The prompts that apply to a sale of this type text (none: all off).
  static KVTCardPrompts PromptsFor(const std::string& typeText, const std::string& creditAmt,
                                   const std::string& creditPay, const KVTCardPrompts& sale,
                                   const KVTCardPrompts& payment);

  static kvt::sql::Result Header(double recno);
  static kvt::sql::Result Lines(const std::string& link);
  static kvt::sql::Result Taxes(const std::string& link);
  // Each tax of each line, in the order the taxes were saved.
  static kvt::sql::Result TaxDetail(const std::string& link);
  // The record number of a saved (not suspended) sale by its number.
  static kvt::sql::Result FindByNumber(const std::string& invoiceNum);
  static kvt::sql::Result StoreLocation(const std::string& store);
  // A card type offered at the location (or at every location).
  static kvt::sql::Result CardType(const std::string& type, const std::string& location);

  // MMYY as typed, checked against today (MMDDYYYY).
  static KVTCardExpiry CheckExpiry(const std::string& mmyy, const std::string& today);

  // The card correction: the four card columns of one sale in one unit of
  // work; false with *error (nothing changed) when it could not be saved.
  static bool SaveCard(double recno, const std::string& type, const std::string& number,
                       const std::string& expiryDate, const std::string& auth, std::string* error);

  // The find window: the filter (running-POS leaves out no-sales and
  // voids) and the order (by date when the shift date has the focus).
  static std::string FindFilter(bool runningPOS);
  static const char* FindOrder(bool fromShiftDate);
};
