// The sale writer: a sale's number and link from the shared counters, its
// header (KVTPOS1), lines (KVTPOS2) and taxes (KVTPOS3), and the stock and
// category history of its lines, all in one transaction on connection 1. It
// works on values (the header's texts, the typed lines, the tax rows as
// saved) and the module's settings, never on a screen.
//
// Failures are results: a part that fails returns false and leaves a notice
// with the database's message; Save then cancels the whole sale, stock
// included. Notices are kept until taken, so the screen shows them once the
// transaction has ended.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sql/query.h"
#include "sale/invent.h"
#include "sale/lines.h"

namespace kvt::sale {

// What a save records besides the lines, in the order the payment screen
// passes them. A save masks `ccNumber` (all but its last four characters
// become "*") and clears `ccExpDate`.
struct SaleTexts {
  std::string custRef, custName, cashAmt, checkAmt, creditAmt, cashRet, chargeAmt, chargeRet, fsAmt,
      cashPay, checkPay, total, totalPaid, pymtMethod, netAmt, nonTaxAmt, discount, change,
      checkNum, checkAcct, ccNumber, ccExpDate, ccType, ccAuthNum, po, creditPay, fsChange, taxAmt,
      dob;
  // Farm-plan payment.
  std::string fpAmt, fpRet, fpCashPay, fpCheckPay, fpDbc, fpDbcDesc, fpCpn, fpCpnDesc, fpAuthNum,
      fpC2Ref, fpRepayTrm, fpTandC, fpAccNum;
  std::string creditRet;
  // Gift card (gcExpDate is a date: MMDDYYYY or MM/DD/YYYY).
  std::string gcAmt, gcPay, gcType, gcNumber, gcExpDate, gcAuthNum;
  std::string canExchg, canAmt;
};

// The sale's header: what it is, its number, link and record number (empty
// and 0 before its first save), the till's login and the texts.
struct Header {
  std::string transType;  // "S" sale, "N" no sale, "C" check cashing, "P" payment on account
  std::string status;     // "C" complete, "S" suspended
  std::string invoiceNum, invoiceLnk;
  double recno = 0;
  std::string store, tillRef, shift, employee, shiftDate;
  std::string saleDate, saleTime;  // "MMDDYYYY", "HH:MM:SS"
  SaleTexts texts;
};

// One KVTPOS2 row, in the order of its insert.
struct LineRow {
  std::string invRef, descr, qtyOrdered, price, entryTotal, foodStamps, taxable, invoiceNum,
      numChange, tillCode, category, discount, cost, serialNum, invLoc, invoiceLnk, recno, itemLnk,
      prompt;
};
// The row a line is saved as. A finished sale (not suspended) counts a
// non-taxable line under its non-tax category and sells the inventory item
// behind a till code; a cost of "NN%" becomes that part of the price.
LineRow RowOfLine(const Line& line, const Header& sale);

// A tax row as saved: its amount already rounded to cents.
struct TaxLine {
  std::string code, rate, amount, itemLink;
};

// A link: the number followed by the instance id, or, past ten characters,
// the id followed by the number's last digits.
std::string ComposeLink(const std::string& number, const std::string& instanceId);

// How often the saves of this process met another till at a counter: the
// counter moves that found it moved first, and the units of work cancelled
// and begun again for it (benchmarks report them per sale).
struct CounterContention {
  long lost = 0, startedOver = 0;
};
CounterContention Contention();

class SaleWriter {
 public:
  // `inventoryParent`: the window through which the inventory module is had.
  explicit SaleWriter(HWND inventoryParent);
  ~SaleWriter();

  // Saves the sale in one transaction. When the connection is lost during
  // the commit, the sale is looked up by its link on a new connection before
  // the answer is given: true when it was kept; when that cannot be told
  // yet, false with a notice saying so, and the next Save of the same sale
  // looks again first, so a kept sale is never written twice.
  // A sale never saved (empty or zero
  // link) gets its number (kept when typed; "NS" and "CASHCHK" for a no
  // sale and a check cashing unless configured to take one), link and
  // record number, written into `header` as they are had, also when a later
  // step fails; a sale saved before has its header updated. Then its lines
  // (when it has any) and, except for a payment on account, its taxes are
  // replaced. False, with nothing written, when any part fails.
  bool Save(Header& header, const std::vector<Line>& lines, const std::vector<TaxLine>& taxes,
            const std::string& instanceId);

  // Sale numbers (KVTCOM13.NEXTSLNUM of the store when KVTPOS10.USESTNSNUM
  // is "T", else KVTPOS10.NEXTSLNUM) and links (KVTPOS10.NEXTSLLNK), never
  // one a saved sale uses and never the same to two tills: a counter is
  // moved on only where it still holds what was read. "" when none could
  // be had; error() says why.
  std::string NextSaleNumber(const std::string& store);
  std::string StoreNextSaleNumber(const std::string& store);
  std::string ConfigNextSaleNumber();
  std::string NextSaleLink(const std::string& instanceId);
  const std::string& error() const { return error_; }

  // The parts of a save, each inside whatever transaction is open. The
  // header insert masks the card number and clears its expiry in `header`;
  // an update of a header that is not there (an earlier save was
  // cancelled) inserts it, with a record number when it has none.
  bool InsertHeader(Header& header);
  bool UpdateHeader(Header& header);
  // Replaces the sale's lines (together, in as few statements as they
  // allow); outside a suspended sale each line that is not void also moves
  // stock, and each category's lines move its history once.
  bool SaveLines(const Header& sale, const std::vector<Line>& lines);
  bool InsertLine(const LineRow& row);
  // Replaces the sale's tax rows, each with a record number of its own.
  // `recnos`: record numbers had for the taxes before, in their order.
  bool SaveTaxes(const Header& sale, const std::vector<TaxLine>& taxes,
                 const std::vector<double>* recnos = nullptr);
  bool InsertTax(const Header& sale, const TaxLine& tax, const std::string& recno);

  // The notices since they were last taken.
  std::vector<Notice> TakeNotices();

 private:
  struct Counter;
  struct Allocation;
  enum class Outcome { Saved, NotSaved, Unknown };
  // Whether the sale's last save was kept: its header holds what was
  // written and it has all its lines. Unknown, with error_, when the
  // database cannot be read.
  Outcome WasSaved(const Header& header, const std::vector<Line>& lines);
  // Allocations go in round trips shared by all of them: the counters read
  // (a row not there is read again a few times; inside a unit of work each
  // locked first, in the order given), then each moved on where
  // it still holds what was read and its number looked for among the saved
  // sales, read again where another till was first or a sale has it.
  bool ReadCounters(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe);
  void QueueReads(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe);
  bool TakeReads(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe, bool lastAttempt);
  // With the first read of a unit: the numbers the counters give, looked for
  // among the saved sales by the database. A free one is had at once, its
  // counter's move queued with the sale.
  void QueueChecks(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe);
  bool TakeChecks(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe);
  bool FailRecno(const char* what);
  // Rows of lines and taxes, inserted together (rows one after the other).
  static std::vector<kvt::sql::Value> LineValues(const LineRow& row);
  static std::vector<kvt::sql::Value> TaxValues(const Header& sale, const TaxLine& tax,
                                                const std::string& recno);
  bool InsertLines(const std::vector<kvt::sql::Value>& values);
  bool InsertTaxes(const std::vector<kvt::sql::Value>& values);
  // False with error_. An allocation that locks first (inside a unit) reads
  // its counter after locking its row, so its move cannot be lost.
  bool MoveCounters(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe);
  std::string Allocate(Allocation& a);
  // The failure of a save whose statements were sent together, told as the
  // part of the sale that failed.
  bool FailSending(const kvt::sql::Pipeline& pipe, const std::string& error);
  // Items of queued stock movements that turned out not to be stocked.
  void TellUnstocked(const kvt::sql::Pipeline& pipe);
  bool Fail(const std::string& what, const std::string& dbError,
            const char* outcome = "This sale has not been saved!");

  SaleStock stock_;
  std::vector<Notice> notices_;
  std::string error_;
  std::unique_ptr<Counter> configNumber_, storeNumber_, link_;
  kvt::sql::Query counterQueue_, perStore_, numberInUse_, linkInUse_;
  kvt::sql::Query insertHeader_, updateHeader_;
  kvt::sql::Query deleteLines_, deleteTaxes_;
  kvt::sql::InsertRows insertLines_, insertTaxes_;
  kvt::sql::Query savedHeader_, savedLines_;
  std::string inDoubt_;  // the link of a sale whose last save lost its answer
  bool byStore_ = true;  // what KVTPOS10.USESTNSNUM said last: the counter read with it
  // Stock movements whose requests were queued, by the number of their
  // item's lock: an item not stocked is told once the sale is sent.
  std::vector<std::pair<std::size_t, StockMove>> queuedMoves_;
  // A number this writer took for a sale whose save was then cancelled: the
  // counter moved back with it, so another till may be given it; the sale
  // takes a new one when it is saved again.
  std::string cancelledNumber_;
};

}  // namespace kvt::sale
