// SaveOrder of a ten-line taxed sale (number, link, header, lines, taxes,
// stock through the inventory module and category history) on SQLite
// (synchronous FULL, the till's setting) and PostgreSQL, for one till, for
// four and eight tills saving at once as fast as they can (this process and
// helper processes), and for four tills each saving 50 sales a second (the
// 99th percentile and the longest save). No number or link may be used twice
// at the end of any run.
// Each is reported as a ratio to the database floor (bench/floor.h) measured
// in the same run on the same database.
//
//   kvtsave_bench [benchmark flags]
// The PostgreSQL runs need KVT_PG (scripts/bench.sh starts a server).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/floor.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/sql/query.h"
#include "sale/pos1.h"
#include "sale/writer.h"
#include "schema/schema.h"
#include "shell/globals.h"
#include "suite/host/host.h"
#include "tools/tempdb/tempdb.h"

extern char** environ;

namespace {

enum class Target { Sqlite, Postgres };

const char* Name(Target t) {
  return t == Target::Sqlite ? "SqliteFull" : "Postgres";
}

void ModuleSettings() {
  KVTResetModuleState();
  KVTSetSetting(CFG_USEINVENTORY, "T");
  KVTSetSetting(CFG_UPDATEQOH, "T");
  KVTSetSetting(CFG_USECSTORE, "F");
}

// The store of the benchmark: counters, ten stocked items, their categories.
bool Seed() {
  kvt::schema::RowWriter w;
  bool ok =
      w.Insert("KVTPOS10",
               {{"RECNO", "1"}, {"NEXTSLNUM", "1"}, {"NEXTSLLNK", "1"}, {"USESTNSNUM", "T"}}) &&
      w.Insert("KVTCOM13", {{"REFERENCE", "MAIN"}, {"LOCATION", "01"}, {"NEXTSLNUM", "1"}}) &&
      w.Insert("KVTINV17", {{"CONFIG10", "01"}});
  for (int i = 0; ok && i < 10; ++i) {
    std::string item = "ITEM" + std::to_string(i), category = "CAT" + std::to_string(i % 3);
    ok = w.Insert("KVTINV2", {{"REFERENCE", item}, {"LOCATION", "01"}, {"QTYONHAND", "1000000"}}) &&
         (i >= 3 || w.Insert("KVTCOM12", {{"REFERENCE", category}, {"LOCATION", "MAIN"}}));
  }
  return ok;
}

// The till's login on the screen.
void LogIn(PVpos1Dlg& dlg, const char* id) {
  for (auto [field, value] : {std::pair{IDC_STORE, "MAIN"},
                              {IDC_TILLREF, "1"},
                              {IDC_SHIFT, "1"},
                              {IDC_EMPLOYEE, "100"},
                              {IDC_SHIFTDATE, "03152024"}})
    dlg.SetFieldVar(field, value);
  dlg.sInstanceID = id;
}

// Rings up the ten-line taxed sale on a new sale of the screen, as item
// entry and the tax table leave it.
void RingUp(PVpos1Dlg& dlg) {
  dlg.SaleGrid().ResetData();
  dlg.TaxGrid().ResetData();
  dlg.SetFieldVar(IDC_INVOICENUM, "");
  dlg.SetFieldVar(IDC_INVOICELNK, "");
  dlg.Data.RECNO = 0;
  dlg.DoAppToScr(IDC_RECNO);
  for (int i = 0; i < 10; ++i) {
    kvt::sale::Line l;
    l.reference = l.description = "ITEM" + std::to_string(i);
    l.quantity = "2";
    l.price = "2.50";
    l.amount = 5;
    l.taxable = true;
    l.numChange = "0";
    l.itemLink = std::to_string(static_cast<long>(NextNum(1, "KVTPOS2", 100, 0)));
    l.location = "01";
    l.category = "CAT" + std::to_string(i % 3);
    l.cost = "1.60";
    dlg.PutSaleLine(dlg.SaleGrid().InsertRow(), l);
    TDataTbl& tax = dlg.TaxGrid();
    int row = tax.InsertRow();
    tax.SetCell(TAXCOL_CODE, row, "ST");
    tax.SetCell(TAXCOL_RATE, row, "6.500");
    tax.SetCell(TAXCOL_AMOUNT, row, "0.325000");
    tax.SetCell(TAXCOL_ITEMLINK, row, l.itemLink);
  }
}

// What one save sent to the database, per target and writer ("SaveOrder",
// "HandWritten"), recorded once and printed at the end.
std::map<std::string, std::vector<std::string>>& Traces() {
  static std::map<std::string, std::vector<std::string>> traces;
  return traces;
}

// Runs `save` once with the statements recorded under `name`.
template <class Save>
bool Traced(const std::string& name, Save save) {
  std::vector<std::string>& log = Traces()[name];
  log.clear();
  KVTSqlTraceStatements(&log);
  bool ok = save();
  KVTSqlTraceStatements(nullptr);
  return ok;
}

bool SaveRungUpSale(PVpos1Dlg& dlg) {
  PVpos1Dlg::SaleTexts texts;
  texts.taxAmt = "3.25";
  texts.total = "53.25";
  texts.cashAmt = "60.00";
  texts.change = "6.75";
  return dlg.SaveOrder("S", "C", texts);
}

// One database per target for the whole run, the till screen on it.
struct Till {
  std::unique_ptr<kvt::test::TempDatabase> db;
  std::string ini;
};

std::map<Target, Till>& Tills() {
  static std::map<Target, Till> tills;
  return tills;
}

struct Screen {
  KVTHeadlessBackend user;
  std::unique_ptr<KVTHost> host;
  std::unique_ptr<PVpos1Dlg> dlg;
};

Screen& TheScreen() {
  static Screen s;
  if (!s.host) {
    s.user.Install();
    ModuleSettings();
    s.host = std::make_unique<KVTHost>();
    s.dlg = std::make_unique<PVpos1Dlg>(s.host->MainWindow());
    s.dlg->Create();
    LogIn(*s.dlg, "A");
  }
  return s;
}

Till* Open(Target target, std::string* why) {
  Till& t = Tills()[target];
  if (!t.db) {
    auto backend =
        target == Target::Postgres ? kvt::test::Backend::PostgreSQL : kvt::test::Backend::SQLite;
    t.db = kvt::test::TempDatabase::Create(backend, why);
    if (!t.db) return nullptr;
    if (!kvt::schema::Create(why) || !Seed()) {
      if (why->empty()) *why = KVTLastSqlError();
      t.db.reset();
      return nullptr;
    }
    // The helper tills open the database by this settings file.
    t.ini = (std::filesystem::temp_directory_path() /
             ("kvtsave_bench_" + std::to_string(getpid()) + "_" + Name(target) + ".ini"))
                .string();
    if (!t.db->WriteIni(t.ini)) {
      *why = "cannot write " + t.ini;
      t.db.reset();
      return nullptr;
    }
  } else if (!t.db->Reopen()) {
    *why = KVTLastSqlError();
    return nullptr;
  }
  return &t;
}

// ---- The benchmarks --------------------------------------------------------

void Floor(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  static long sale = 0;
  static double recno = 1e9;
  kvt::bench::MeasureFloorSales(state, sale, recno, "F");
}

// Helper tills saving until the stop file exists; each writes how many
// sales it saved into its count file, and at the end how often it met
// another till at a counter into the count file's ".contention" file.
struct Helpers {
  std::vector<pid_t> pids;
  std::vector<std::string> counts;
  std::string stop;
  kvt::sale::CounterContention contention;  // of all helpers, once stopped
};

// Counter moves lost and units begun again, per 1,000 sales.
void CountContention(benchmark::State& state, const kvt::sale::CounterContention& c, long sales) {
  if (sales <= 0) return;
  state.counters["lost_per_1000"] = 1000.0 * static_cast<double>(c.lost) / sales;
  state.counters["restarts_per_1000"] = 1000.0 * static_cast<double>(c.startedOver) / sales;
}

Helpers StartHelpers(const std::string& ini, Target target, int count = 3, int perSecond = 0) {
  Helpers h;
  // The helpers' files change with every sale: kept in memory (/dev/shm), so
  // that their renames do not put the file system's journal between a
  // database's commit and its disk.
  const std::filesystem::path shm = "/dev/shm";
  std::error_code ec;
  const std::filesystem::path dir =
      std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
  h.stop = (dir / ("kvtsave_bench_" + std::to_string(getpid()) + "_stop_" + Name(target))).string();
  std::remove(h.stop.c_str());
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return h;
  self[n] = '\0';
  const std::string pace = std::to_string(perSecond);
  for (const char* id : {"B", "C", "D", "E", "F", "G", "H", "I"}) {
    if (static_cast<int>(h.pids.size()) == count) break;
    std::string count = h.stop + "_" + id;
    std::vector<char*> argv = {self,
                               const_cast<char*>("--save-helper"),
                               const_cast<char*>(ini.c_str()),
                               const_cast<char*>(id),
                               h.stop.data(),
                               count.data(),
                               const_cast<char*>(pace.c_str()),
                               nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) == 0) {
      h.pids.push_back(pid);
      h.counts.push_back(count);
    }
  }
  return h;
}

// What a helper's count file says; `missing` when there is no file.
long Count(const std::string& file, long missing = 0) {
  long n = missing;
  std::ifstream(file) >> n;
  return n;
}

// The sales the helpers have saved so far (each keeps its count file up to date).
long HelperSales(const Helpers& h) {
  long total = 0;
  for (const std::string& file : h.counts) total += Count(file);
  return total;
}

// Waits until every helper has saved a sale; false after a minute without.
bool AllSaving(const Helpers& h) {
  for (int waited = 0; waited < 6000; ++waited) {
    bool all = true;
    for (const std::string& file : h.counts) all = all && Count(file) > 0;
    if (all) return true;
    usleep(10 * 1000);
  }
  return false;
}

// Stops the helpers; the sales they saved, or -1 when one failed.
long StopHelpers(Helpers& h) {
  std::ofstream(h.stop) << "stop";
  long total = 0;
  bool failed = false;
  for (std::size_t i = 0; i < h.pids.size(); ++i) {
    int status = 0;
    if (waitpid(h.pids[i], &status, 0) != h.pids[i] || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
      failed = true;
    const long n = Count(h.counts[i], -1);
    std::remove(h.counts[i].c_str());
    if (n < 0) failed = true;
    total += n;
    const std::string contention = h.counts[i] + ".contention";
    long lost = 0, startedOver = 0;
    std::ifstream(contention) >> lost >> startedOver;
    std::remove(contention.c_str());
    h.contention.lost += lost;
    h.contention.startedOver += startedOver;
  }
  std::remove(h.stop.c_str());
  return failed ? -1 : total;
}

// No two sales of the run share a number or a link; else what is shared.
std::string Duplicates() {
  for (const char* column : {"INVOICENUM", "INVOICELNK"}) {
    kvt::sql::Result r =
        kvt::sql::Run(std::string("SELECT ") + column + " AS V FROM KVTPOS1 GROUP BY " + column +
                      " HAVING COUNT(*) > 1");
    if (!r.ok()) return r.error();
    if (r.found() == kvt::sql::Found::Yes)
      return std::string(column) + " " + r.first()["V"] + " is used by more than one sale";
  }
  return "";
}

void SaveOrderTenLines(benchmark::State& state, Target target, int tills) {
  std::string why;
  Till* t = Open(target, &why);
  if (!t) {
    state.SkipWithError(why.c_str());
    return;
  }
  Screen& s = TheScreen();
  s.user.Reset();
  Helpers helpers;
  if (tills > 1) {
    helpers = StartHelpers(t->ini, target, tills - 1);
    if (static_cast<int>(helpers.pids.size()) != tills - 1) {
      StopHelpers(helpers);
      state.SkipWithError("cannot start the helper tills");
      return;
    }
    // Measured once every till is saving: a till starting up (its
    // connections, its log-in) takes the processors from the others.
    if (!AllSaving(helpers)) {
      StopHelpers(helpers);
      state.SkipWithError("the helper tills did not start saving");
      return;
    }
  }
  bool ok = true;
  if (tills == 1) {
    RingUp(*s.dlg);
    ok = SaveRungUpSale(*s.dlg);
    RingUp(*s.dlg);
    ok = ok &&
         Traced(std::string("SaveOrder/") + Name(target), [&] { return SaveRungUpSale(*s.dlg); });
  }
  const long helpedBefore = HelperSales(helpers);
  const kvt::sale::CounterContention before = kvt::sale::Contention();
  const auto started = std::chrono::steady_clock::now();
  for (auto _ : state) {
    state.PauseTiming();
    RingUp(*s.dlg);
    state.ResumeTiming();
    if (!SaveRungUpSale(*s.dlg)) {
      ok = false;
      break;
    }
  }
  const std::chrono::duration<double, std::milli> elapsed =
      std::chrono::steady_clock::now() - started;
  if (tills > 1) {
    // All tills together: the sales every till saved while this one was measured.
    long sales = static_cast<long>(state.iterations()) + HelperSales(helpers) - helpedBefore;
    const long helped = StopHelpers(helpers);
    if (helped < 0) ok = false;
    kvt::sale::CounterContention c = kvt::sale::Contention();
    c.lost += helpers.contention.lost - before.lost;
    c.startedOver += helpers.contention.startedOver - before.startedOver;
    CountContention(state, c, static_cast<long>(state.iterations()) + helped);
    state.counters["all_tills_ms_per_sale"] = elapsed.count() / static_cast<double>(sales);
    state.counters["sales_per_s"] = 1000.0 * static_cast<double>(sales) / elapsed.count();
  } else {
    state.counters["sales_per_s"] =
        1000.0 * static_cast<double>(state.iterations()) / elapsed.count();
  }
  if (std::string dup = Duplicates(); !dup.empty()) {
    state.SkipWithError(dup.c_str());
    return;
  }
  if (!ok || !s.user.Messages().empty()) {
    std::string text = s.user.Messages().empty() ? "a save failed" : s.user.Messages()[0].text;
    state.SkipWithError(text.c_str());
  }
}

// Tills that each save `perSecond` sales a second for a few seconds, as a
// busy store's tills do, all of them helper processes: the save time each
// sale took at its till (the wait for the other tills included), as its
// 99th percentile and its longest, and the sales each till managed.
// The disk's own flush at the tills' pace, as the databases' folder sees it:
// the 99th percentile of writing `bytes` and flushing them, `perSecond` times
// a second for two seconds. No save can wait less than its commit's flush.
double DiskFlushP99(int perSecond, std::size_t bytes) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("kvtsave_bench_flush_" + std::to_string(getpid())))
          .string();
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  const std::vector<char> block(bytes, 'x');
  std::vector<double> ms;
  for (int i = 0; i < 2 * perSecond; ++i) {
    if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) break;
    const auto began = std::chrono::steady_clock::now();
    ::fdatasync(fd);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                     .count());
    std::this_thread::sleep_for(std::chrono::microseconds(1000000 / perSecond));
  }
  ::close(fd);
  std::remove(file.c_str());
  if (ms.empty()) return -1;
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() * 99 / 100];
}

void PacedTills(benchmark::State& state, Target target, int tills, int perSecond) {
  std::string why;
  Till* t = Open(target, &why);
  if (!t) {
    state.SkipWithError(why.c_str());
    return;
  }
  for (auto _ : state) {
    Helpers helpers = StartHelpers(t->ini, target, tills, perSecond);
    if (static_cast<int>(helpers.pids.size()) != tills) {
      StopHelpers(helpers);
      state.SkipWithError("cannot start the tills");
      return;
    }
    const int seconds = 6;
    sleep(seconds + 1);  // the first second is the tills starting
    std::vector<std::string> latencies;
    for (const std::string& c : helpers.counts) latencies.push_back(c + ".ms");
    long sales = StopHelpers(helpers);
    std::vector<double> ms;
    for (const std::string& file : latencies) {
      std::ifstream in(file);
      for (double v; in >> v;) ms.push_back(v);
      std::remove(file.c_str());
    }
    if (sales < 0 || ms.empty()) {
      state.SkipWithError("a till failed");
      return;
    }
    std::sort(ms.begin(), ms.end());
    CountContention(state, helpers.contention, sales);
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["longest_ms"] = ms.back();
    // A ten-line sale's commit appends about 80 KiB to the log (76 KiB median, traced).
    state.counters["disk_flush_p99_ms"] = DiskFlushP99(tills * perSecond, 80 * 1024);
    state.counters["sales_per_s_each"] =
        static_cast<double>(ms.size()) / (tills * static_cast<double>(seconds));
    state.SetIterationTime(1);
  }
  if (std::string dup = Duplicates(); !dup.empty()) state.SkipWithError(dup.c_str());
}

// ---- The same statements, written by hand -------------------------------------

// The statements one SaveOrder of the ten-line sale sends (as recorded with
// KVTSqlTraceStatements), in its order, each prepared once and run with
// bound values, and nothing else: what a save costs on this database.
class HandWrittenSale {
 public:
  bool Save() {
    error_.clear();
    kvt::sql::Transaction tran;
    if (!tran.ok()) return Fail(tran.error());
    kvt::sql::Result r = queue_.Run();
    if (!r.ok() || !(r = perStore_.Run()).ok()) return Fail(r.error());
    // The store's sale number and the link: their rows locked as they are
    // read, the numbers they give looked for among the saved sales, and
    // moved on (as the writer does, numbers the floor's sales took are
    // passed over, one by one).
    std::string number, link;
    if (!Number(readNumber_, checkNumber_, moveNumber_, "NEXTSLNUM", {T("MAIN")}, &number) ||
        !Number(readLink_, checkLink_, moveLink_, "NEXTSLLNK", {}, &link))
      return false;
    std::vector<kvt::sql::Value> header(63, T(""));
    header[0] = T(number);
    header[1] = kvt::sql::Number(NextNum(1, "KVTPOS1", 100, 0));
    header[2] = header[38] = kvt::sql::Date("03/15/2024");
    header[31] = header[59] = kvt::sql::Date("");
    const char* texts[][2] = {{"3", "10:42:07"}, {"4", "1"},  {"5", "100"},   {"6", "MAIN"},
                              {"7", "1"},        {"8", "S"},  {"9", "C"},     {"12", "60.00"},
                              {"21", "53.25"},   {"23", "1"}, {"27", "6.75"}, {"39", "3.25"}};
    for (auto [at, text] : texts) header[std::atoi(at)] = T(text);
    header[37] = T(link);
    if (!(r = insertHeader_.Run(header)).ok() || !(r = deleteLines_.Run({T(link)})).ok())
      return Fail(r.error());
    std::vector<kvt::sql::Value> lines;
    for (int i = 0; i < 10; ++i) {
      const std::string item = "ITEM" + std::to_string(i), category = "CAT" + std::to_string(i % 3);
      const std::string recno = std::to_string(static_cast<long>(NextNum(1, "KVTPOS2", 100, 0)));
      lines.insert(lines.end(),
                   {T(item), T(item), T("2"), T("2.50"), T("5.00"), kvt::sql::Number("0"),
                    kvt::sql::Number("1"), T(number), T("0"), T(""), T(category), T(""), T("1.60"),
                    T(""), T("01"), T(link), kvt::sql::Number(recno), T(recno), T("")});
    }
    if (!(r = insertLines_.Run(lines)).ok()) return Fail(r.error());
    for (int i = 0; i < 10; ++i) {
      const std::string item = "ITEM" + std::to_string(i);
      if (!(r = moveStock_.Run(
                {kvt::sql::Number("-2"), kvt::sql::Date("03/15/2024"), T(item), T("01")}))
               .ok())
        return Fail(r.error());
    }
    // A category's lines together: four of CAT0, three each of CAT1 and CAT2.
    for (int c = 0; c < 3; ++c) {
      const double sold = c == 0 ? 4 : 3;
      std::vector<kvt::sql::Value> h;
      for (int k = 0; k < 3; ++k)
        h.insert(h.end(), {kvt::sql::Number(2 * sold), kvt::sql::Number(5 * sold)});
      h.insert(h.end(), {T("CAT" + std::to_string(c)), T("MAIN")});
      if (!(r = history_.Run(h)).ok()) return Fail(r.error());
    }
    if (!(r = deleteTaxes_.Run({T(link)})).ok()) return Fail(r.error());
    std::vector<kvt::sql::Value> taxes;
    for (int i = 0; i < 10; ++i)
      taxes.insert(taxes.end(),
                   {T(number), T("ST"), T("6.500"), T("0.325000"), T(link),
                    kvt::sql::Number(NextNum(1, "KVTPOS3", 100, 0)), T(std::to_string(i))});
    if (!(r = insertTaxes_.Run(taxes)).ok()) return Fail(r.error());
    return tran.Commit() || Fail(tran.error());
  }
  const std::string& error() const { return error_; }

 private:
  static kvt::sql::Value T(const std::string& text) { return kvt::sql::Text(text); }
  // The number a counter gives, its row locked, once no saved sale has it;
  // the counter moved on past it.
  bool Number(kvt::sql::Query& read, kvt::sql::Query& check, kvt::sql::Query& move,
              const char* column, const std::vector<kvt::sql::Value>& key, std::string* number) {
    // The link's check composes the number with the instance id "H".
    std::vector<kvt::sql::Value> checked = key;
    if (key.empty())
      checked = {kvt::sql::Number(1), T("H"), T("H"), kvt::sql::Number(9), kvt::sql::Number(9)};
    for (;;) {
      kvt::sql::Result r = read.Run(key);
      if (r.found() != kvt::sql::Found::Yes) return Fail(r.error());
      const std::string value = r.first()[column];
      kvt::sql::Result c = check.Run(checked);
      if (c.found() != kvt::sql::Found::Yes) return Fail(c.error());
      std::vector<kvt::sql::Value> values = {T(std::to_string(std::atol(value.c_str()) + 1))};
      values.insert(values.end(), key.begin(), key.end());
      values.push_back(T(value));
      r = move.Run(values);
      if (!r.ok() || r.changed() != 1) return Fail(r.ok() ? "the counter moved" : r.error());
      *number = c.first()["N"];
      if (c.first().Num("USED") == 0) return true;
    }
  }
  bool Fail(const std::string& why) {
    error_ = why.empty() ? "a hand-written save failed" : why;
    return false;
  }
  using Q = kvt::sql::Query;
  Q queue_{"LOCK TABLE KVTPOS10 IN SHARE UPDATE EXCLUSIVE MODE"};
  Q perStore_{"SELECT USESTNSNUM FROM KVTPOS10 WHERE RECNO = 1"};
  Q readNumber_{"SELECT NEXTSLNUM FROM KVTCOM13 WHERE REFERENCE=? FOR UPDATE"};
  Q checkNumber_{
      "SELECT K.N AS N, (SELECT COUNT(*) FROM KVTPOS1 WHERE INVOICENUM = K.N) AS USED FROM "
      "(SELECT M.N AS N FROM (SELECT COALESCE(NULLIF(SUBSTR(TRIM(NEXTSLNUM),1,50),''),'1') AS N "
      "FROM KVTCOM13 WHERE REFERENCE=?) M) K"};
  Q moveNumber_{"UPDATE KVTCOM13 SET NEXTSLNUM=? WHERE REFERENCE=? AND NEXTSLNUM=?"};
  Q readLink_{"SELECT NEXTSLLNK FROM KVTPOS10 ORDER BY RECNO FOR UPDATE"};
  Q checkLink_{
      "SELECT K.N AS N, (SELECT COUNT(*) FROM KVTPOS1 WHERE INVOICELNK = K.N) AS USED FROM "
      "(SELECT CASE WHEN LENGTH(M.N) + CAST(? AS INTEGER) <= 10 THEN M.N || ? ELSE ? || CASE "
      "WHEN LENGTH(M.N) > CAST(? AS INTEGER) THEN SUBSTR(M.N, LENGTH(M.N) - CAST(? AS INTEGER) + "
      "1) ELSE M.N END END AS N FROM (SELECT COALESCE(NULLIF(SUBSTR(TRIM(NEXTSLLNK),1,50),''),'1') "
      "AS N FROM KVTPOS10 ORDER BY RECNO LIMIT 1) M) K"};
  Q moveLink_{"UPDATE KVTPOS10 SET NEXTSLLNK =? WHERE NEXTSLLNK=?"};
  Q insertHeader_{kvt::bench::kFloorHeaderSql};
  Q deleteLines_{"DELETE FROM KVTPOS2 WHERE INVOICELNK = ?"};
  // The floor's inserts up to their VALUES: the same tables and columns, all rows at once.
  static std::string RowsHead(const std::string& sql) {
    return sql.substr(0, sql.find("VALUES ") + 7);
  }
  kvt::sql::InsertRows insertLines_{RowsHead(kvt::bench::kFloorLineSql), 19};
  Q moveStock_{
      "UPDATE KVTINV2 SET QTYONHAND = LTRIM(STR(NUMVAL(QTYONHAND)+(?),15,3)), LASTSALE = ? WHERE "
      "REFERENCE = ? AND LOCATION = ?"};
  Q history_{
      "UPDATE KVTCOM12 SET CURQTY3 = LTRIM(STR(NUMVAL(CURQTY3)+(?),15,3)),CURDOL3 = "
      "LTRIM(STR(NUMVAL(CURDOL3)+(?),15,2)),MTDQTY3 = LTRIM(STR(NUMVAL(MTDQTY3)+(?),15,3)),"
      "MTDDOL3 = LTRIM(STR(NUMVAL(MTDDOL3)+(?),15,2)),YTDQTY3 = "
      "LTRIM(STR(NUMVAL(YTDQTY3)+(?),15,3)),YTDDOL3 = LTRIM(STR(NUMVAL(YTDDOL3)+(?),15,2)) "
      "WHERE REFERENCE = ? AND LOCATION = ?"};
  Q deleteTaxes_{"DELETE FROM KVTPOS3 WHERE INVOICELNK = ?"};
  kvt::sql::InsertRows insertTaxes_{RowsHead(kvt::bench::kFloorTaxSql), 7};
  std::string error_;
};

void HandWritten(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  HandWrittenSale sale;
  // Recorded on the second save, past the first record-number blocks.
  bool ok = sale.Save() &&
            Traced(std::string("HandWritten/") + Name(target), [&] { return sale.Save(); });
  for (auto _ : state)
    if (!ok || !(ok = sale.Save())) break;
  if (!ok) state.SkipWithError(sale.error().c_str());
}

// ---- A helper till ---------------------------------------------------------

// Replaced whole (written aside, then renamed), so a reader never sees half.
void WriteCount(const std::string& file, long count) {
  std::string aside = file + ".new";
  std::ofstream(aside) << count;
  std::rename(aside.c_str(), file.c_str());
}

int RunHelper(const char* ini, const char* id, const char* stop, const char* countFile,
              int perSecond) {
  if (!KVTOpenConnectionOne(ini)) {
    std::fprintf(stderr, "helper %s: %s\n", id, KVTLastSqlError());
    return 1;
  }
  KVTHeadlessBackend user;
  user.Install();
  ModuleSettings();
  long saved = 0;
  bool ok = true;
  {
    KVTHost host;
    PVpos1Dlg dlg(host.MainWindow());
    dlg.Create();
    LogIn(dlg, id);
    // Paced: the save times after the first second, one a line.
    std::ofstream times;
    if (perSecond > 0) times.open(std::string(countFile) + ".ms");
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto next = start;
    while (ok && access(stop, F_OK) != 0) {
      if (perSecond > 0) {
        next += std::chrono::microseconds(1000000 / perSecond);
        std::this_thread::sleep_until(next);
      }
      RingUp(dlg);
      const auto began = Clock::now();
      ok = SaveRungUpSale(dlg);
      const std::chrono::duration<double, std::milli> took = Clock::now() - began;
      if (perSecond > 0 && began - start > std::chrono::seconds(1)) times << took.count() << "\n";
      if (ok) WriteCount(countFile, ++saved);
    }
  }
  for (const KVTShownMessage& m : user.Messages())
    std::fprintf(stderr, "helper %s: %s\n", id, m.text.c_str());
  WriteCount(countFile, saved);
  const kvt::sale::CounterContention c = kvt::sale::Contention();
  std::ofstream(std::string(countFile) + ".contention") << c.lost << " " << c.startedOver;
  KVTCloseConnectionOne();
  return ok && user.Messages().empty() ? 0 : 1;
}

// ---- Ratios to the floor -----------------------------------------------------

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (!r.error_occurred && r.iterations > 0) {
        perIteration_[r.benchmark_name()] = r.GetAdjustedRealTime();
        auto all = r.counters.find("all_tills_ms_per_sale");
        if (all != r.counters.end()) allTills_[r.benchmark_name()] = all->second.value;
      }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, log] : Traces()) {
      std::printf("\n%s: %zu statements a sale, %zu round trips with the begin and the commit\n",
                  name.c_str(), Statements(log), RoundTrips(log));
      if (std::getenv("KVT_BENCH_TRACE"))
        for (const std::string& sql : log) std::printf("    %.150s\n", sql.c_str());
    }
    std::printf("\nRatio to the same statements written by hand (same database, same run):\n");
    for (Target t : {Target::Sqlite, Target::Postgres}) {
      // The run's name goes on with its settings ("/min_time:...").
      auto floor = perIteration_.lower_bound(std::string("HandWritten/") + Name(t));
      if (floor == perIteration_.end() ||
          floor->first.rfind(std::string("HandWritten/") + Name(t), 0) != 0)
        continue;
      for (const auto& [name, time] : perIteration_) {
        if (name.rfind("SaveOrder/", 0) != 0 || name.find(Name(t)) == std::string::npos) continue;
        std::printf("  %-40s %6.2f x by hand (%.3f ms vs %.3f ms)\n", name.c_str(),
                    time / floor->second, time, floor->second);
        auto all = allTills_.find(name);
        if (all != allTills_.end())
          std::printf("  %-40s %6.2f x by hand (%.3f ms per sale, all tills together)\n", "",
                      all->second / floor->second, all->second);
      }
    }
  }

 private:
  // Entries of a pipeline after its first begin with "+ ".
  static std::size_t Statements(const std::vector<std::string>& log) {
    std::size_t n = 0;
    for (const std::string& entry : log) {
      std::string sql = entry.rfind("+ ", 0) == 0 ? entry.substr(2) : entry;
      n += sql != "BEGIN" && sql != "COMMIT" && sql != "ROLLBACK";
    }
    return n;
  }
  static std::size_t RoundTrips(const std::vector<std::string>& log) {
    std::size_t n = 0;
    for (const std::string& entry : log) n += entry.rfind("+ ", 0) != 0;
    return n;
  }
  std::map<std::string, double> perIteration_;  // ms per save
  std::map<std::string, double> allTills_;      // ms per sale, all tills together
};

}  // namespace

BENCHMARK_CAPTURE(Floor, SqliteFull, Target::Sqlite)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK_CAPTURE(Floor, Postgres, Target::Postgres)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK_CAPTURE(HandWritten, SqliteFull, Target::Sqlite)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);
BENCHMARK_CAPTURE(HandWritten, Postgres, Target::Postgres)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);
BENCHMARK_CAPTURE(SaveOrderTenLines, SqliteFull_1till, Target::Sqlite, 1)
    ->Name("SaveOrder/SqliteFull/1till")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);
BENCHMARK_CAPTURE(SaveOrderTenLines, Postgres_1till, Target::Postgres, 1)
    ->Name("SaveOrder/Postgres/1till")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3);
BENCHMARK_CAPTURE(SaveOrderTenLines, SqliteFull_4tills, Target::Sqlite, 4)
    ->Name("SaveOrder/SqliteFull/4tills")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK_CAPTURE(SaveOrderTenLines, Postgres_4tills, Target::Postgres, 4)
    ->Name("SaveOrder/Postgres/4tills")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK_CAPTURE(SaveOrderTenLines, Postgres_8tills, Target::Postgres, 8)
    ->Name("SaveOrder/Postgres/8tills")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK_CAPTURE(PacedTills, SqliteFull_4tills_50persec, Target::Sqlite, 4, 50)
    ->Name("PacedTills/SqliteFull/4tills_50_a_second")
    ->Iterations(1)
    ->UseManualTime();

int main(int argc, char** argv) {
  if (argc == 7 && std::strcmp(argv[1], "--save-helper") == 0)
    return RunHelper(argv[2], argv[3], argv[4], argv[5], std::atoi(argv[6]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  {
    Screen& s = TheScreen();
    s.dlg.reset();
    s.host.reset();
  }
  for (auto& [target, till] : Tills()) std::remove(till.ini.c_str());
  Tills().clear();  // removes the temporary databases
  return 0;
}
