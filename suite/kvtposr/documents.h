// The report module's documents as text: the 40-column receipt, the invoice
// with the store's address and the customer, the close-out layouts 1 to 3,
// the totals by till, the closed till report and the check validation line;
// and the bytes a receipt printer takes (ESC/POS).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kvt::posr {

inline constexpr int kReceiptWidth = 40;
inline constexpr int kInvoiceWidth = 72;

struct Address {
  std::string ref, name, address1, address2, city, state, zip, phone;
};

struct SaleLine {
  std::string ref, description, qty, price, amount;  // amount "VOID" for a voided line
};

struct Sale {
  std::string number, link, date, time, till, shift, clerk, po;
  std::string transType;  // S sale, N no sale, P paid on account, A/H returns, C cashed check
  std::string status;     // C complete, V void, S suspended
  Address customer;
  std::vector<SaleLine> lines;
  std::vector<std::pair<std::string, double>> taxes;    // code, amount
  std::vector<std::pair<std::string, double>> tenders;  // "Cash", amount
  double nonTaxable = 0, tax = 0, total = 0, paid = 0, change = 0;
  double check = 0;  // the check tendered
  std::string checkNum;
};

struct DocumentOptions {
  bool full = true;        // receipt layout "1": address, customer and sale details
  bool taxDetail = false;  // the tax by code
  bool farmTaxRemoved = false;
};

std::string ReceiptText(const Address& store, const Sale& sale, const DocumentOptions& o);
std::string InvoiceText(const Address& store, const Sale& sale, const DocumentOptions& o);
// "*** VALIDATED ***" with the store, date, sale and the check's amount.
std::string CheckValidationText(const Address& store, const Sale& sale);

// A till shift's sales, by tender.
struct Tally {
  double count = 0, amount = 0;
};
struct ShiftTotals {
  std::string store, date, till, shift;
  std::vector<std::pair<std::string, Tally>> tenders;  // in report order
  double sales = 0, noSales = 0, voids = 0, tax = 0, total = 0;
};
// Layout 1 money totals, 2 money totals and blank money lines, 3 blank money
// lines only; anything else reads as 1.
std::string CloseOutText(const Address& store, const ShiftTotals& t, int layout,
                         bool tillTotalsOnly);
// One block of totals per till of the store and date.
std::string TillRefTotalsText(const Address& store, const std::vector<ShiftTotals>& tills);
std::string ClosedTillText(const Address& store, const ShiftTotals& t, const std::string& time);

// The text for a receipt printer: initialise, the lines (CR LF), feed and a
// partial cut.
std::string EscPosDocument(const std::string& text);
// The drawer kick: "CodesToOpenTillDrawer" (decimal codes separated by
// blanks) when set, else the printer type's codes (STAR: BEL; EPSON and
// others: ESC p 0 25 250).
std::string DrawerKickBytes(const std::string& codes, const std::string& printerType);

// Amounts as the documents show them: "%.2f".
std::string Money(double amount);

}  // namespace kvt::posr
