// The sale writer: numbers and links, header, lines, taxes, stock and history.
#include "sale/writer.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/base/kvtbase.h"
#include "platform/sql/kvtsql.h"
#include "shell/globals.h"

namespace kvt::sale {

using kvt::sql::Date;
using kvt::sql::Found;
using kvt::sql::Number;
using kvt::sql::Query;
using kvt::sql::Result;
using kvt::sql::Row;
using kvt::sql::Text;
using kvt::sql::Value;

namespace {

// A counter row that is not there is read again this many times, a little
// apart, before the save gives up (another till may be setting the store up).
constexpr int kCounterReads = 3;
constexpr auto kCounterReadPause = std::chrono::milliseconds(20);
// Conditional updates that found the counter moved by another till, per
// number. Each one means another till got a number, so this is generous.
constexpr int kCounterConflicts = 1000;
// Numbers skipped because a saved sale already uses them, per number.
constexpr long kNumbersInUse = 1000000;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool Is(const char* setting, const char* value) {
  return std::string(setting) == value;
}

// A link is set by the first save and is never empty or zero afterwards.
bool NeverSaved(const std::string& link) {
  std::string l = Trimmed(link);
  for (char c : l)
    if (std::isalpha(static_cast<unsigned char>(c))) return false;
  return std::atof(l.c_str()) == 0;
}

// Every character but the last four becomes "*".
void MaskCardNumber(std::string& number) {
  if (number.size() > 4) number.replace(0, number.size() - 4, number.size() - 4, '*');
}

constexpr const char* kOutcomeUnknown =
    "Whether this sale was saved is not known yet. Do not ring it again: save it again once "
    "the database is back, and it will be saved once.";

CounterContention g_contention;

std::string RecnoText(double recno) {
  char buf[32];
  KVTsprintf(buf, "%.0f", recno);
  return buf;
}

}  // namespace

CounterContention Contention() {
  return g_contention;
}

// One counter, read and moved on only where it still holds what was read,
// so that of two tills reading the same value only one moves it.
struct SaleWriter::Counter {
  std::string name;    // for messages: "sale number", "sale link"
  std::string column;  // the counter's column, as the read names it
  Query read;          // the counter's row, by the key when `keyed`
  Query lockedRead;    // the same, the row this unit's until it ends
  Query advance;       // SET to the next WHERE it still holds the text read
  Query start;         // SET to "2" WHERE it is still empty (the number is 1)
  bool keyed;
  // What a failed step of the counter is told as (the database's message follows).
  std::string ReadFailed() const { return "Error occurred reading the " + name + " counter."; }
  std::string CheckFailed() const {
    return "Error occurred checking the " + name + " against the saved sales.";
  }
  std::string MoveFailed() const { return "Error occurred updating the " + name + " counter."; }
  // The number the counter gives now, worked out by the database the way
  // Allocation::compose does, and how many saved sales have it: asked with
  // the locked read, it spares a round trip between the read and the sale.
  Query check;
};

namespace {

// The number a counter's text gives: trimmed, at most 50 characters, "1"
// when empty.
std::string Candidate(const std::string& column) {
  return "COALESCE(NULLIF(SUBSTR(TRIM(" + column + "),1,50),''),'1')";
}

// `compose` made of M.N, the number of the counter row `numbered` (a select
// naming it N), and how many saved sales have it as their `column`.
std::string CheckOf(const std::string& compose, const std::string& numbered,
                    const std::string& column) {
  return "SELECT K.N AS N, (SELECT COUNT(*) FROM KVTPOS1 WHERE " + column +
         " = K.N) AS USED FROM (SELECT " + compose + " AS N FROM (" + numbered + ") M) K";
}

}  // namespace

SaleWriter::SaleWriter(HWND inventoryParent)
    : stock_(inventoryParent),
      // Tills wait their turn for the counters in the table's lock queue:
      // a wait there holds no snapshot, where one on a counter's row held
      // back the clearing of every row version written meanwhile (each
      // till's stock and history updates then walked them all), and each
      // commit woke every waiting till at once. Only writers queue there;
      // readers and other changes of the table pass.
      counterQueue_("LOCK TABLE KVTPOS10 IN SHARE UPDATE EXCLUSIVE MODE"),
      perStore_("SELECT USESTNSNUM FROM KVTPOS10 WHERE RECNO = 1"),
      numberInUse_("SELECT INVOICENUM FROM KVTPOS1 WHERE INVOICENUM = ?"),
      linkInUse_("SELECT INVOICELNK FROM KVTPOS1 WHERE INVOICELNK = ?"),
      insertHeader_(
          "INSERT INTO KVTPOS1 (INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,"
          "TRANSTYPE,STATUS,CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,"
          "CHARGERET,FDSTMPAMT,CASHPAY,CHECKPAY,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,"
          "DISCOUNT,CHANGE,CHECKNUM,CHECKACCT,CCNUMBER,CCEXPDATE,CCTYPE,CCAUTHNUM,PO,CREDITPAY,"
          "FSCHANGE,INVOICELNK,SALEDATE,TAXAMT,DOB,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,FPDBC,"
          "FPDBCDESC,FPCPN,FPCPNDESC,FPAUTHNUM,FPC2REF,FPREPAYTRM,FPTANDC,FPACCNUM,CREDITRET,"
          "GFTCRDAMT,GFTCRDPAY,GCTYPE,GCNUMBER,GCEXPDATE,GCAUTHNUM,CANEXCHG,CANAMT) VALUES (?,?,?,"
          "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
          "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
      updateHeader_(
          "UPDATE KVTPOS1 SET SLSMAN=?,TRANSTYPE=?,STATUS=?,SALETIME=?,CUSTREF=?,CUSTNAME=?,"
          "CASHAMT=?,CHECKAMT=?,CREDITAMT=?,CASHRET=?,CHARGEAMT=?,CHARGERET=?,FDSTMPAMT=?,"
          "CASHPAY=?,CHECKPAY=?,INVCTOTAL=?,AMTPAID=?,PYMTMETHOD=?,NETAMT=?,NONTAXAMT=?,"
          "DISCOUNT=?,CHANGE=?,CHECKNUM=?,CHECKACCT=?,CCNUMBER=?,CCEXPDATE=?,CCTYPE=?,CCAUTHNUM=?,"
          "PO=?,SALEDATE=?,CREDITPAY=?,FSCHANGE=?,INVOICELNK=?,TAXAMT=?,DOB=?,CANEXCHG=?,CANAMT=? "
          "WHERE INVOICELNK=?"),
      deleteLines_("DELETE FROM KVTPOS2 WHERE INVOICELNK = ?"),
      deleteTaxes_("DELETE FROM KVTPOS3 WHERE INVOICELNK = ?"),
      insertLines_(
          "INSERT INTO KVTPOS2 (INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,TAXABLE,"
          "INVOICENUM,NUMCHANGE,TILLCODE,CATEGORY,DISCOUNT,COST,SERIALNUM,INVLOC,INVOICELNK,RECNO,"
          "ITEMLNK,PROMPT) VALUES ",
          19),
      insertTaxes_(
          "INSERT INTO KVTPOS3 (INVOICENUM,TAXCODE,TAXRATE,TAXAMT,INVOICELNK,RECNO,ITEMLNK) "
          "VALUES ",
          7),
      savedHeader_(
          "SELECT STATUS, TRANSTYPE, SALETIME, INVCTOTAL FROM KVTPOS1 WHERE INVOICELNK = ?"),
      savedLines_("SELECT COUNT(*) AS N FROM KVTPOS2 WHERE INVOICELNK = ?") {
  // A counter of the point of sale configuration: its first record (RECNO 1;
  // the order keeps the first row the same after updates on every database).
  const std::string firstConfig = "KVTPOS10 ORDER BY RECNO LIMIT 1";
  auto config = [&](const std::string& column, const std::string& name, const char* inUse,
                    const std::string& compose) {
    return std::unique_ptr<Counter>(new Counter{
        name, column, Query("SELECT " + column + " FROM KVTPOS10 ORDER BY RECNO"),
        Query("SELECT " + column + " FROM KVTPOS10 ORDER BY RECNO FOR UPDATE"),
        Query("UPDATE KVTPOS10 SET " + column + " =? WHERE " + column + "=?"),
        Query("UPDATE KVTPOS10 SET " + column + " ='2' WHERE (" + column + "='' OR " + column +
              " IS NULL)"),
        false,
        Query(
            CheckOf(compose, "SELECT " + Candidate(column) + " AS N FROM " + firstConfig, inUse))});
  };
  configNumber_ = config("NEXTSLNUM", "sale number", "INVOICENUM", "M.N");
  // ComposeLink: number and id when they fit in 10 characters, else the id's
  // first 10 and the number's last (10 - the id's length).
  link_ = config("NEXTSLLNK", "sale link", "INVOICELNK",
                 "CASE WHEN LENGTH(M.N) + CAST(? AS INTEGER) <= 10 THEN M.N || ? ELSE ? || CASE "
                 "WHEN LENGTH(M.N) > CAST(? AS INTEGER) THEN SUBSTR(M.N, LENGTH(M.N) - CAST(? AS "
                 "INTEGER) + 1) ELSE M.N END END");
  storeNumber_.reset(new Counter{
      "sale number", "NEXTSLNUM", Query("SELECT NEXTSLNUM FROM KVTCOM13 WHERE REFERENCE=?"),
      Query("SELECT NEXTSLNUM FROM KVTCOM13 WHERE REFERENCE=? FOR UPDATE"),
      Query("UPDATE KVTCOM13 SET NEXTSLNUM=? WHERE REFERENCE=? AND NEXTSLNUM=?"),
      Query("UPDATE KVTCOM13 SET NEXTSLNUM='2' WHERE REFERENCE=? AND (NEXTSLNUM='' OR NEXTSLNUM "
            "IS NULL)"),
      true,
      Query(CheckOf("M.N",
                    "SELECT " + Candidate("NEXTSLNUM") + " AS N FROM KVTCOM13 WHERE REFERENCE=?",
                    "INVOICENUM"))});
}

SaleWriter::~SaleWriter() = default;

std::vector<Notice> SaleWriter::TakeNotices() {
  std::vector<Notice> taken;
  taken.swap(notices_);
  return taken;
}

bool SaleWriter::Fail(const std::string& what, const std::string& dbError, const char* outcome) {
  std::string text = what + (dbError.empty() ? "" : "\n" + dbError);
  // The database being away is said once, plainly: no record failed, and
  // the sale stays on the screen to be saved when it is back.
  std::size_t away = text.find(KVTSqlUnavailable);
  if (away != std::string::npos) text = text.substr(away);
  notices_.push_back({text + "\n" + outcome, true});
  return false;
}

// ---- Numbers and links ---------------------------------------------------------

// One number being had from a counter.
struct SaleWriter::Allocation {
  Allocation(Counter* c, std::string k, Query* q, std::function<std::string(const std::string&)> f)
      : counter(c), key(std::move(k)), inUse(q), compose(std::move(f)) {}
  Counter* counter;
  std::string key;  // the store, for a counter kept by store
  Query* inUse;
  std::function<std::string(const std::string&)> compose;
  std::size_t read = 0, move = 0, used = 0, check = 0;  // numbers in the pipeline
  bool checked = false;                                 // its check was asked with its read
  std::vector<Value> checkValues;                       // the check's values beyond the key
  bool needsRead = true, queued = false;
  bool locking = false;  // inside a unit: the row is locked as it is read
  std::string raw, number, candidate;
  int lost = 0;
  long skipped = 0;
  std::string result;  // once had
  std::vector<Value> Keyed() const {
    std::vector<Value> keyed;
    if (counter->keyed) keyed.push_back(Text(key));
    return keyed;
  }
  // The counter moved on from what was read, where it still holds that.
  std::size_t QueueMove(kvt::sql::Pipeline& pipe) const {
    if (Trimmed(raw).empty()) return pipe.Add(counter->start, Keyed());
    std::vector<Value> values = {Text(std::to_string(std::atol(number.c_str()) + 1))};
    std::vector<Value> keyed = Keyed();
    values.insert(values.end(), keyed.begin(), keyed.end());
    values.push_back(Text(raw));
    return pipe.Add(counter->advance, values);
  }
};

void SaleWriter::QueueReads(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe) {
  for (Allocation* a : all) {
    a->queued = a->needsRead && a->result.empty();
    Counter& c = *a->counter;
    if (a->queued) a->read = pipe.Add(a->locking ? c.lockedRead : c.read, a->Keyed());
  }
}

void SaleWriter::QueueChecks(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe) {
  for (Allocation* a : all) {
    a->checked = a->queued;
    if (!a->checked) continue;
    std::vector<Value> values = a->Keyed();
    values.insert(values.end(), a->checkValues.begin(), a->checkValues.end());
    a->check = pipe.Add(a->counter->check, values);
  }
}

bool SaleWriter::TakeChecks(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe) {
  for (Allocation* a : all) {
    if (!a->checked || a->needsRead) continue;
    a->checked = false;
    Counter& c = *a->counter;
    Result r = pipe.Answer(a->check);
    if (r.found() == Found::Failed) {
      error_ = c.CheckFailed() + "\n" + r.error();
      return false;
    }
    // What the database worked out is used only when it is what this
    // writer makes of the counter; else the counter goes the long way.
    a->candidate = a->compose(a->number);
    if (r.found() == Found::No || r.first()["N"] != a->candidate || r.first().Num("USED") != 0)
      continue;
    a->move = a->QueueMove(pipe);
    // The row is this unit's since the read: the move goes with the sale.
    a->result = a->candidate;
  }
  return true;
}

bool SaleWriter::TakeReads(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe,
                           bool lastAttempt) {
  for (Allocation* a : all) {
    if (!a->queued) continue;
    a->queued = false;
    Counter& c = *a->counter;
    Result r = pipe.Answer(a->read);
    if (r.found() == Found::Failed) {
      error_ = c.ReadFailed() + "\n" + r.error();
      return false;
    }
    if (r.found() == Found::No) {
      if (!lastAttempt) continue;
      error_ =
          "No " + c.name + " counter was found for " +
          (c.keyed ? "store " + Trimmed(a->key) : std::string("the point of sale configuration")) +
          ".";
      return false;
    }
    a->needsRead = false;
    a->raw = r.first()[c.column];
    const std::string value = Trimmed(a->raw).substr(0, 50);
    a->number = value.empty() ? "1" : value;
  }
  return true;
}

bool SaleWriter::ReadCounters(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe) {
  for (int attempt = 0;; ++attempt) {
    QueueReads(all, pipe);
    bool any = false;
    for (Allocation* a : all) any = any || a->queued;
    if (!any) return true;
    if (attempt > 0) std::this_thread::sleep_for(kCounterReadPause);
    pipe.Send();
    if (!TakeReads(all, pipe, attempt + 1 >= kCounterReads)) return false;
  }
}

bool SaleWriter::MoveCounters(const std::vector<Allocation*>& all, kvt::sql::Pipeline& pipe) {
  for (;;) {
    if (!ReadCounters(all, pipe)) return false;
    std::vector<Allocation*> moving;
    for (Allocation* a : all)
      if (a->result.empty()) moving.push_back(a);
    if (moving.empty()) return true;
    for (Allocation* a : moving) {
      a->move = a->QueueMove(pipe);
      a->candidate = a->compose(a->number);
      a->used = pipe.Add(*a->inUse, {Text(a->candidate)});
    }
    pipe.Send();
    for (Allocation* a : moving) {
      Counter& c = *a->counter;
      Result moved = pipe.Answer(a->move);
      if (!moved.ok()) {
        error_ = c.MoveFailed() + "\n" + moved.error();
        return false;
      }
      a->needsRead = true;
      if (moved.changed() == 0) {  // another till moved it first
        ++g_contention.lost;
        if (++a->lost >= kCounterConflicts) {
          error_ = "No free " + c.name + " could be found.";
          return false;
        }
        continue;
      }
      Result used = pipe.Answer(a->used);
      if (used.found() == Found::Failed) {
        error_ = c.CheckFailed() + "\n" + used.error();
        return false;
      }
      if (used.found() == Found::No) {
        a->result = a->candidate;
      } else if (++a->skipped >= kNumbersInUse) {
        error_ = "No free " + c.name + " could be found.";
        return false;
      }
    }
  }
}

std::string SaleWriter::Allocate(Allocation& a) {
  error_.clear();
  kvt::sql::Pipeline pipe;
  return MoveCounters({&a}, pipe) ? a.result : "";
}

std::string SaleWriter::NextSaleNumber(const std::string& store) {
  Result r = perStore_.Run();
  if (r.found() == Found::Failed) {
    error_ = "Error occurred reading the point of sale configuration.\n" + r.error();
    return "";
  }
  bool byStore = r.found() == Found::Yes && Trimmed(r.first()["USESTNSNUM"]) == "T";
  return byStore ? StoreNextSaleNumber(store) : ConfigNextSaleNumber();
}

namespace {
std::string AsIs(const std::string& n) {
  return n;
}
}  // namespace

std::string SaleWriter::StoreNextSaleNumber(const std::string& store) {
  Allocation a{storeNumber_.get(), Trimmed(store), &numberInUse_, AsIs};
  return Allocate(a);
}

std::string SaleWriter::ConfigNextSaleNumber() {
  Allocation a{configNumber_.get(), "", &numberInUse_, AsIs};
  return Allocate(a);
}

std::string SaleWriter::NextSaleLink(const std::string& instanceId) {
  Allocation a{link_.get(), "", &linkInUse_,
               [&](const std::string& n) { return ComposeLink(n, instanceId); }};
  return Allocate(a);
}

std::string ComposeLink(const std::string& number, const std::string& id) {
  std::string link = number + id;
  if (link.size() <= 10) return link;
  std::size_t keep = id.size() < 10 ? 10 - id.size() : 0;
  return id.substr(0, 10) + (number.size() > keep ? number.substr(number.size() - keep) : number);
}

// ---- The sale --------------------------------------------------------------------

bool SaleWriter::Save(Header& h, const std::vector<Line>& lines, const std::vector<TaxLine>& taxes,
                      const std::string& instanceId) {
  if (!inDoubt_.empty() && Trimmed(h.invoiceLnk) == inDoubt_) {
    // The last save of this sale lost its answer: a sale that was kept is
    // not written (nor its stock moved) a second time.
    switch (WasSaved(h, lines)) {
      case Outcome::Saved:
        inDoubt_.clear();
        cancelledNumber_.clear();
        return true;
      case Outcome::NotSaved:
        inDoubt_.clear();
        break;
      case Outcome::Unknown:
        return Fail(error_, "", kOutcomeUnknown);
    }
  }
  // The sale goes in two round trips where the database takes statements
  // together: the begin with the counters locked and read, and the numbers
  // they give looked for among the saved sales; the counters moved with
  // everything else and the commit. A number already taken costs a round
  // trip more. A counter is held from its number to the commit, and a till
  // waits for another's at the database, in the queue of the row's lock:
  // what it reads then is what it moves, so it never loses a counter it has
  // waited for (nor starts over). The number is always locked before the
  // link, so two tills never hold one each while waiting for the other.
  kvt::sql::Pipeline pipe;
  queuedMoves_.clear();
  const bool newSale = NeverSaved(h.invoiceLnk);
  bool needNumber = false;
  if (newSale) {
    if (h.transType == "N" && !Is(CFG_NOSALEADVSALENUMBER, "T")) {
      h.invoiceNum = "NS";
    } else if (h.transType == "C" && !Is(CFG_CASHCHKGADVSALENUMBER, "T")) {
      h.invoiceNum = "CASHCHK";
    } else {
      h.invoiceNum = Trimmed(h.invoiceNum);
      needNumber = h.invoiceNum.empty() || h.invoiceNum == cancelledNumber_;
    }
  }
  error_.clear();
  auto asIs = [](const std::string& n) { return n; };
  Allocation number{byStore_ ? storeNumber_.get() : configNumber_.get(), Trimmed(h.store),
                    &numberInUse_, asIs};
  Allocation link{link_.get(), "", &linkInUse_,
                  [&](const std::string& n) { return ComposeLink(n, instanceId); }};
  const std::size_t idLength = instanceId.size();
  const std::size_t keep = idLength < 10 ? 10 - idLength : 0;
  link.checkValues = {Number(static_cast<double>(idLength)), Text(instanceId),
                      Text(instanceId.substr(0, 10)), Number(static_cast<double>(keep)),
                      Number(static_cast<double>(keep))};
  std::vector<Allocation*> allocations;
  if (needNumber) allocations.push_back(&number);
  if (newSale) allocations.push_back(&link);
  for (Allocation* a : allocations) a->locking = true;
  std::optional<kvt::sql::Transaction> unit;
  std::vector<double> taxRecnos;
  bool recnosHad = false;
  for (bool counterChanged = true; counterChanged;) {
    counterChanged = false;
    unit.emplace();
    if (!unit->ok()) return Fail("Error occurred starting the sale's transaction.", unit->error());
    // Record numbers are had before any counter is locked: a new block of
    // them can cost a round trip and a commit of its own, which no other
    // till should wait for.
    if (newSale && !recnosHad) h.recno = NextNum(1, "KVTPOS1", 100, 0);
    if (newSale && h.recno <= 0) return FailRecno("Error occurred inserting KVTPOS1 record.");
    recnosHad = true;
    while (h.transType != "P" && taxRecnos.size() < taxes.size()) {
      taxRecnos.push_back(NextNum(1, "KVTPOS3", 100, 0));
      if (taxRecnos.back() <= 0) return FailRecno("Error occurred inserting KVTPOS3 record.");
    }
    if (allocations.empty()) break;
    pipe.Add(counterQueue_, {});
    // Which counter holds the numbers is read with the counter it named last time.
    const std::size_t perStore = needNumber ? pipe.Add(perStore_, {}) : 0;
    QueueReads(allocations, pipe);
    QueueChecks(allocations, pipe);
    if (!pipe.Send()) return FailSending(pipe, pipe.error());
    Result r = needNumber ? pipe.Answer(perStore) : Result();
    if (r.found() == Found::Failed)
      return Fail("Error occurred reading the point of sale configuration.", r.error());
    bool byStore = r.found() == Found::Yes && Trimmed(r.first()["USESTNSNUM"]) == "T";
    if (needNumber && byStore != byStore_) {
      // The other counter would be locked after the link: the unit begins
      // again, to lock it first.
      byStore_ = byStore;
      counterChanged = true;
      number.counter = byStore ? storeNumber_.get() : configNumber_.get();
      unit.reset();
      ++g_contention.startedOver;
      for (Allocation* a : allocations) a->queued = a->checked = false;
      // Record numbers had inside the cancelled unit may be handed out again.
      recnosHad = false;
      taxRecnos.clear();
      continue;
    }
    if (!TakeReads(allocations, pipe, false) || !TakeChecks(allocations, pipe))
      return Fail(error_, "");
  }
  if (newSale && !MoveCounters(allocations, pipe)) return Fail(error_, "");
  kvt::sql::Transaction& tran = *unit;
  if (newSale) {
    if (needNumber) h.invoiceNum = cancelledNumber_ = number.result;  // until the sale is committed
    h.invoiceLnk = link.result;
    if (!InsertHeader(h)) return false;
  } else if (!UpdateHeader(h)) {
    return false;
  }
  if (!lines.empty() && !SaveLines(h, lines)) return false;
  if (h.transType != "P" && !SaveTaxes(h, taxes, &taxRecnos)) return false;
  if (tran.Commit()) {
    cancelledNumber_.clear();
    TellUnstocked(pipe);
    return true;
  }
  if (pipe.failed() && !tran.inDoubt()) return FailSending(pipe, tran.error());
  if (!tran.inDoubt()) return Fail("Error occurred saving this sale.", tran.error());
  // The connection went as the sale was committed: it is looked up by its
  // link on a new connection before anything is said.
  const std::string lost = tran.error();
  switch (WasSaved(h, lines)) {
    case Outcome::Saved:
      cancelledNumber_.clear();
      return true;
    case Outcome::NotSaved:
      return Fail(lost, "");
    case Outcome::Unknown:
      inDoubt_ = Trimmed(h.invoiceLnk);
      return Fail(lost, "", kOutcomeUnknown);
  }
  return false;
}

bool SaleWriter::FailSending(const kvt::sql::Pipeline& pipe, const std::string& error) {
  const std::string& sql = pipe.failedSql();
  if (sql == insertHeader_.sql()) return Fail("Error occurred inserting KVTPOS1 record.", error);
  if (sql == updateHeader_.sql())
    return Fail("Error occurred updating KVTPOS1 record.", error,
                "This sale has not been updated!");
  if (sql == deleteLines_.sql()) return Fail("Error occurred deleting KVTPOS2 records.", error);
  if (insertLines_.Owns(sql)) return Fail("Error occurred inserting KVTPOS2 record.", error);
  if (sql == deleteTaxes_.sql() || insertTaxes_.Owns(sql))
    return Fail("Error occurred inserting KVTPOS3 record.", error);
  if (sql == counterQueue_.sql())
    return Fail("Error occurred waiting for the sale counters.", error);
  if (sql == perStore_.sql())
    return Fail("Error occurred reading the point of sale configuration.", error);
  for (const Counter* c : {configNumber_.get(), storeNumber_.get(), link_.get()}) {
    if (sql == c->read.sql() || sql == c->lockedRead.sql()) return Fail(c->ReadFailed(), error);
    if (sql == c->check.sql()) return Fail(c->CheckFailed(), error);
    if (sql == c->advance.sql() || sql == c->start.sql()) return Fail(c->MoveFailed(), error);
  }
  return Fail("Error occurred saving this sale.", error);
}

SaleWriter::Outcome SaleWriter::WasSaved(const Header& h, const std::vector<Line>& lines) {
  Result r = savedHeader_.Run({Text(h.invoiceLnk)});
  if (r.found() == Found::Yes && !lines.empty()) {
    Result n = savedLines_.Run({Text(h.invoiceLnk)});
    if (!n.ok())
      r = n;
    else if (n.first().Num("N") != static_cast<double>(lines.size()))
      return Outcome::NotSaved;
  }
  switch (r.found()) {
    case Found::Failed:
      error_ = r.error();
      return Outcome::Unknown;
    case Found::No:
      return Outcome::NotSaved;
    case Found::Yes:
      break;
  }
  // A sale saved before is there either way: it was saved now when it holds
  // what this save wrote.
  const Row& row = r.first();
  bool same = Trimmed(row["STATUS"]) == Trimmed(h.status) &&
              Trimmed(row["TRANSTYPE"]) == Trimmed(h.transType) &&
              Trimmed(row["SALETIME"]) == Trimmed(h.saleTime) &&
              Trimmed(row["INVCTOTAL"]) == Trimmed(h.texts.total);
  return same ? Outcome::Saved : Outcome::NotSaved;
}

// ---- The header ----------------------------------------------------------------

bool SaleWriter::InsertHeader(Header& h) {
  SaleTexts& t = h.texts;
  MaskCardNumber(t.ccNumber);
  t.ccExpDate.clear();
  const std::string method = t.pymtMethod == "C" ? "1" : t.pymtMethod;
  Result r = insertHeader_.Run(
      {Text(h.invoiceNum), Number(h.recno),    Date(h.shiftDate), Text(h.saleTime),
       Text(h.tillRef),    Text(h.employee),   Text(h.store),     Text(h.shift),
       Text(h.transType),  Text(h.status),     Text(t.custRef),   Text(t.custName),
       Text(t.cashAmt),    Text(t.checkAmt),   Text(t.creditAmt), Text(t.cashRet),
       Text(t.chargeAmt),  Text(t.chargeRet),  Text(t.fsAmt),     Text(t.cashPay),
       Text(t.checkPay),   Text(t.total),      Text(t.totalPaid), Text(method),
       Text(t.netAmt),     Text(t.nonTaxAmt),  Text(t.discount),  Text(t.change),
       Text(t.checkNum),   Text(t.checkAcct),  Text(t.ccNumber),  Date(t.ccExpDate),
       Text(t.ccType),     Text(t.ccAuthNum),  Text(t.po),        Text(t.creditPay),
       Text(t.fsChange),   Text(h.invoiceLnk), Date(h.saleDate),  Text(t.taxAmt),
       Text(t.dob),        Text(t.fpAmt),      Text(t.fpRet),     Text(t.fpCashPay),
       Text(t.fpCheckPay), Text(t.fpDbc),      Text(t.fpDbcDesc), Text(t.fpCpn),
       Text(t.fpCpnDesc),  Text(t.fpAuthNum),  Text(t.fpC2Ref),   Text(t.fpRepayTrm),
       Text(t.fpTandC),    Text(t.fpAccNum),   Text(t.creditRet), Text(t.gcAmt),
       Text(t.gcPay),      Text(t.gcType),     Text(t.gcNumber),  Date(t.gcExpDate),
       Text(t.gcAuthNum),  Text(t.canExchg),   Text(t.canAmt)});
  return r.ok() || Fail("Error occurred inserting KVTPOS1 record.", r.error());
}

bool SaleWriter::UpdateHeader(Header& h) {
  SaleTexts& t = h.texts;
  MaskCardNumber(t.ccNumber);
  t.ccExpDate.clear();
  // Whether the header is there decides what follows: its answer is had now.
  kvt::sql::Pipeline pipe;
  const std::size_t updated = pipe.Add(
      updateHeader_, {Text(h.employee),   Text(h.transType),  Text(h.status),    Text(h.saleTime),
                      Text(t.custRef),    Text(t.custName),   Text(t.cashAmt),   Text(t.checkAmt),
                      Text(t.creditAmt),  Text(t.cashRet),    Text(t.chargeAmt), Text(t.chargeRet),
                      Text(t.fsAmt),      Text(t.cashPay),    Text(t.checkPay),  Text(t.total),
                      Text(t.totalPaid),  Text(t.pymtMethod), Text(t.netAmt),    Text(t.nonTaxAmt),
                      Text(t.discount),   Text(t.change),     Text(t.checkNum),  Text(t.checkAcct),
                      Text(t.ccNumber),   Date(t.ccExpDate),  Text(t.ccType),    Text(t.ccAuthNum),
                      Text(t.po),         Date(h.saleDate),   Text(t.creditPay), Text(t.fsChange),
                      Text(h.invoiceLnk), Text(t.taxAmt),     Text(t.dob),       Text(t.canExchg),
                      Text(t.canAmt),     Text(h.invoiceLnk)});
  pipe.Send();
  Result r = pipe.Answer(updated);
  if (!r.ok())
    return Fail("Error occurred updating KVTPOS1 record.", r.error(),
                "This sale has not been updated!");
  if (r.changed() > 0) return true;
  // An earlier save of this sale was cancelled after it had its link: the
  // header was never written, so write it now under the same link. Its
  // number came from a counter move that was cancelled with it, so another
  // till may have been given it since: then the sale takes a new one.
  if (h.invoiceNum != "NS" && h.invoiceNum != "CASHCHK") {
    Result used = numberInUse_.Run({Text(h.invoiceNum)});
    if (!used.ok()) return Fail("Error occurred inserting KVTPOS1 record.", used.error());
    if (used.found() == Found::Yes || h.invoiceNum == cancelledNumber_) {
      std::string number = NextSaleNumber(h.store);
      if (number.empty()) return Fail(error_, "");
      h.invoiceNum = cancelledNumber_ = number;
    }
  }
  if (h.recno <= 0) h.recno = NextNum(1, "KVTPOS1", 100, 0);
  if (h.recno <= 0) return Fail("Error occurred inserting KVTPOS1 record.", KVTLastSqlError());
  return InsertHeader(h);
}

// ---- The lines -------------------------------------------------------------------

LineRow RowOfLine(const Line& l, const Header& sale) {
  LineRow row{l.reference,
              l.description,
              l.quantity,
              l.price,
              l.voided ? "VOID" : AmountText(l.amount),
              l.foodStamps ? "1" : "0",
              l.taxable ? "1" : "0",
              sale.invoiceNum,
              l.numChange,
              l.tillCode,
              l.category,
              l.discount,
              l.cost,
              l.serialNum,
              l.location,
              sale.invoiceLnk,
              l.itemLink,
              l.itemLink,
              l.prompt};
  if (sale.status != "S") {
    if (!l.taxable && !Trimmed(l.nonTaxCat).empty()) row.category = l.nonTaxCat;
    if (!Trimmed(l.tillCode).empty()) row.invRef = l.invRef;
  }
  std::string cost = Trimmed(l.cost);
  if (!cost.empty() && cost.back() == '%') {
    char buf[64];
    KVTsprintf(buf, *PRICE_FORMAT ? PRICE_FORMAT : "%.2f",
               l.Price() * std::atof(cost.c_str()) * 0.01);
    row.cost = buf;
  }
  return row;
}

bool SaleWriter::SaveLines(const Header& sale, const std::vector<Line>& lines) {
  const bool ownPipeline = !kvt::sql::Pipeline::IsOpen();
  kvt::sql::Pipeline pipe;  // the save's, when it has one
  if (ownPipeline) queuedMoves_.clear();
  Result r = deleteLines_.Run({Text(sale.invoiceLnk)});
  if (!r.ok()) return Fail("Error occurred deleting KVTPOS2 records.", r.error());
  const bool suspended = sale.status == "S";
  const bool moveStock = Is(CFG_USEINVENTORY, "T") && Is(CFG_UPDATEQOH, "T");
  const bool keepHistory = !Is(CFG_USECSTORE, "T");
  // A category's history moves once a sale, by all its lines together: its
  // row is one of the busiest of the store, and each move is a new version of it.
  struct Sold {
    std::string category;
    double quantity = 0, amount = 0;
  };
  std::vector<Sold> byCategory;
  std::vector<LineRow> rows;
  std::vector<Value> values;
  for (const Line& line : lines) {
    rows.push_back(RowOfLine(line, sale));
    const std::vector<Value> row = LineValues(rows.back());
    values.insert(values.end(), row.begin(), row.end());
  }
  if (!InsertLines(values)) return false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    const LineRow& row = rows[i];
    if (suspended || line.voided) continue;
    const std::string item = Trimmed(row.invRef), category = Trimmed(row.category);
    if (moveStock && !item.empty()) {
      StockMove move{item,           Trimmed(row.invLoc), row.qtyOrdered,  row.cost,
                     row.entryTotal, sale.invoiceNum,     sale.invoiceNum, sale.saleDate};
      const std::size_t lock = pipe.size();
      stock_.ReduceQuantity(move, &notices_);
      if (pipe.queuing() && pipe.size() > lock) queuedMoves_.emplace_back(lock, move);
    }
    // Payments on account are not sales of their category.
    if (!keepHistory || category.empty() || category == POACATEGORY) continue;
    auto same = std::find_if(byCategory.begin(), byCategory.end(),
                             [&](const Sold& s) { return s.category == category; });
    if (same == byCategory.end()) same = byCategory.insert(byCategory.end(), {category});
    same->quantity += line.Quantity();
    same->amount += line.amount;
  }
  for (const Sold& s : byCategory)
    stock_.UpdateCategoryHistory(s.category, sale.store, s.quantity, s.amount, &notices_);
  if (ownPipeline && pipe.Send()) TellUnstocked(pipe);
  return !pipe.failed() || FailSending(pipe, pipe.error());
}

bool SaleWriter::FailRecno(const char* what) {
  // On a database that takes record numbers on connection 1, what was
  // queued is sent first: a statement of it may be what failed.
  kvt::sql::Pipeline pipe;
  return pipe.failed() ? FailSending(pipe, pipe.error()) : Fail(what, KVTLastSqlError());
}

void SaleWriter::TellUnstocked(const kvt::sql::Pipeline& pipe) {
  for (const auto& [lock, move] : queuedMoves_) {
    Result r = pipe.Answer(lock);
    if (r.ok() && r.changed() == 0) notices_.push_back(StockProblem(move, "Error locking item"));
  }
  queuedMoves_.clear();
}

std::vector<Value> SaleWriter::LineValues(const LineRow& l) {
  return {Text(l.invRef),     Text(l.descr),        Text(l.qtyOrdered), Text(l.price),
          Text(l.entryTotal), Number(l.foodStamps), Number(l.taxable),  Text(l.invoiceNum),
          Text(l.numChange),  Text(l.tillCode),     Text(l.category),   Text(l.discount),
          Text(l.cost),       Text(l.serialNum),    Text(l.invLoc),     Text(l.invoiceLnk),
          Number(l.recno),    Text(l.itemLnk),      Text(l.prompt)};
}

bool SaleWriter::InsertLines(const std::vector<Value>& values) {
  Result r = insertLines_.Run(values);
  return r.ok() || Fail("Error occurred inserting KVTPOS2 record.", r.error());
}

bool SaleWriter::InsertLine(const LineRow& l) {
  return InsertLines(LineValues(l));
}

// ---- The taxes -------------------------------------------------------------------

bool SaleWriter::SaveTaxes(const Header& sale, const std::vector<TaxLine>& taxes,
                           const std::vector<double>* recnos) {
  const char* failed = "Error occurred inserting KVTPOS3 record.";
  Result r = deleteTaxes_.Run({Text(sale.invoiceLnk)});
  if (!r.ok()) return Fail(failed, r.error());
  std::vector<Value> values;
  for (std::size_t i = 0; i < taxes.size(); ++i) {
    double recno = recnos && i < recnos->size() ? (*recnos)[i] : NextNum(1, "KVTPOS3", 100, 0);
    if (recno <= 0) return FailRecno(failed);
    const std::vector<Value> row = TaxValues(sale, taxes[i], RecnoText(recno));
    values.insert(values.end(), row.begin(), row.end());
  }
  return InsertTaxes(values);
}

std::vector<Value> SaleWriter::TaxValues(const Header& sale, const TaxLine& tax,
                                         const std::string& recno) {
  return {Text(sale.invoiceNum), Text(tax.code), Text(tax.rate),    Text(tax.amount),
          Text(sale.invoiceLnk), Number(recno),  Text(tax.itemLink)};
}

bool SaleWriter::InsertTaxes(const std::vector<Value>& values) {
  Result r = insertTaxes_.Run(values);
  return r.ok() || Fail("Error occurred inserting KVTPOS3 record.", r.error());
}

bool SaleWriter::InsertTax(const Header& sale, const TaxLine& tax, const std::string& recno) {
  return InsertTaxes(TaxValues(sale, tax, recno));
}

}  // namespace kvt::sale
