// Pricing on the till's hot path, in the demo store grown to 100,000 items:
//   KeyedItem    one inventory item keyed at the till, priced end to end: the
//                item look-up of item entry, the inventory module's price
//                (libkvtinv.so), the promotion and the dated tables
//   RepriceSale  a 50-line sale re-priced after a quantity change: a line of
//                an item with quantity breaks, then a line of a mix
//   KeyLookup    the floor: one look-up of an item by its indexed reference
// On SQLite (synchronous FULL, the till's setting) and on the PostgreSQL
// server named by KVT_PG. After the run each is reported as a ratio to the
// floor of the same database.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bigstore.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/host.h"
#include "platform/sql/kvtsql.h"
#include "platform/win/module.h"
#include "sale/pos1.h"
#include "shell/globals.h"

namespace {

using kvt::bench::Target;

const char kItemLookup[] =
    "SELECT KVTINV1.DESCRIPT,LISTPRICE,TAXABLE,KVTINV1.FARMUSE FROM KVTINV2,KVTINV1 WHERE "
    "KVTINV2.REFERENCE = ? AND KVTINV2.LOCATION = ? AND KVTINV1.REFERENCE=KVTINV2.REFERENCE AND "
    "KVTINV1.INACTIVE = 'F'";
const char kKeyLookup[] = "SELECT DESCRIPT FROM KVTINV1 WHERE REFERENCE = ?";

std::vector<std::string> References(const char* sql) {
  std::vector<std::string> refs;
  KVTSConnection s(1, nullptr, 0);
  if (s.ExecSQL(sql) > 0)
    while (s.FetchNext()) refs.emplace_back(s.ColumnVar(1));
  return refs;
}

// The till as the benchmarks need it: price settings, a host window that
// hands out the inventory module, and the sale screen.
struct Till {
  Till() {
    KVTResetModuleState();
    KVTSetSetting(INVENTORY_LOCATION, "01");
    KVTSetToday("03/15/2024");
    host = KVTCreateMDIHost("Host", [](HWND, UINT msg, WPARAM, LPARAM lp) -> LRESULT {
      if (msg != KVT_MODULE_REQUEST) return 0;
      static HMODULE inv = LoadLibrary(reinterpret_cast<const char*>(lp));
      return reinterpret_cast<LRESULT>(inv);
    });
    dlg = std::make_unique<PVpos1Dlg>(host);
    dlg->Create();
    KVTSetSetting(dlg->Data.STORE, "MAIN");
    KVTSetSetting(dlg->Data.TILLREF, "1");
    KVTSetSetting(dlg->Data.SHIFTDATE, "03152024");
  }
  ~Till() {
    dlg.reset();
    DestroyWindow(host);
  }
  // True when the inventory module answered with a price.
  bool Priced() const { return dlg->Data.PRICE[0] != '\0'; }

  HWND host = nullptr;
  std::unique_ptr<PVpos1Dlg> dlg;
};

void KeyLookup(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  KVTConnection c(1);
  long i = 0;
  char ref[16];
  for (auto _ : state) {
    std::snprintf(ref, sizeof ref, "BX%06ld", 5000 + (i++ * 7919) % 90000);
    if (c.BindParam(kKeyLookup, ref, 0) <= 0 || c.ExecuteSQL(kKeyLookup) <= 0 ||
        !c.FetchNext(kKeyLookup))
      return state.SkipWithError("the item is missing");
  }
}

void KeyedItem(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  Till till;
  // Plain, promoted, dated and break items and the demo's own, in turn.
  std::vector<std::string> refs = {"FD0001", "FD0002", "TWINE9K", "PROP20"};
  for (long i = 0; i < 60; ++i) {
    char ref[16];
    std::snprintf(ref, sizeof ref, "BX%06ld", 5000 + (i * 7919) % 90000);
    refs.push_back(ref);
  }
  KVTConnection& c = till.dlg->FConn;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& ref = refs[i++ % refs.size()];
    if (c.BindParam(kItemLookup, ref.c_str(), 0) <= 0 || c.BindParam(kItemLookup, "01", 0) <= 0 ||
        c.ExecuteSQL(kItemLookup) <= 0 || !c.FetchNext(kItemLookup))
      return state.SkipWithError(("no item " + ref).c_str());
    till.dlg->FindInventoryPrice("", "", ref.c_str(), "01", "1", true, true);
    if (!till.Priced()) return state.SkipWithError(("no price for " + ref).c_str());
  }
}

void RepriceSale(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  Till till;
  std::vector<std::string> breaks = References(
      "SELECT REFERENCE FROM KVTPRB1 WHERE LOCATION = '01' AND PQTY1 <> '' AND PPRICE1 = '' "
      "AND REFERENCE LIKE 'FD%' ORDER BY REFERENCE");
  std::vector<std::string> mix = References(
      "SELECT REFERENCE FROM KVTPRB1 WHERE LOCATION = '01' AND MIXNUM = 'MIX1' ORDER "
      "BY REFERENCE");
  if (breaks.size() < 5 || mix.empty()) return state.SkipWithError("demo items missing");
  // 10 lines of five break items, 10 candy bars of MIX1, 30 plain items.
  TDataTbl& grid = till.dlg->SaleGrid();
  auto line = [&](const std::string& ref, const char* qty, const char* mixNum, const char* kind) {
    int row = grid.InsertRow();
    grid.SetCell(COL_REF, row, ref);
    grid.SetCell(COL_QTY, row, qty);
    grid.SetCell(COL_PRICE, row, "1.00");
    grid.SetCell(COL_AMOUNT, row, "1.00");
    grid.SetCell(COL_MIXNUM, row, mixNum);
    grid.SetCell(COL_QTYPRICING, row, kind);
  };
  for (int i = 0; i < 10; ++i) line(breaks[i % 5], "6", "", "U");
  for (int i = 0; i < 10; ++i) line(mix[i % mix.size()], "1", "MIX1", "");
  for (int i = 0; i < 30; ++i) {
    char ref[16];
    std::snprintf(ref, sizeof ref, "BX%06d", 7001 + i * 3);
    line(ref, "2", "", "");
  }
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    grid.SetCell(COL_QTY, 0, flip ? "7" : "6");
    till.dlg->AdjustPricing(breaks[0].c_str(), "U", "");
    grid.SetCell(COL_QTY, 10, flip ? "2" : "1");
    till.dlg->AdjustPricing(grid.GetCell(COL_REF, 10).c_str(), "", "MIX1");
  }
  // Two lines of 7 and 6 reach the break of 10: the price is the break's.
  if (grid.GetCell(COL_PRICE, 0) == "1.00" || grid.GetCell(COL_PRICE, 0).empty())
    state.SkipWithError("the sale was not re-priced");
}

// Keeps each benchmark's time per iteration (all in microseconds), to report
// the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // With repetitions the median stands for the benchmark.
      bool aggregate = r.run_type == Run::RT_Aggregate;
      if (r.error_occurred || (aggregate && r.aggregate_name != "median")) continue;
      times[r.run_name.str()] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nRatio to one indexed key look-up on the same database:\n");
    for (const char* target : {"Sqlite", "Postgres"}) {
      auto floor = times.find(std::string("KeyLookup/") + target);
      if (floor == times.end() || floor->second <= 0) continue;
      for (const char* bench : {"KeyedItem", "RepriceSale"}) {
        auto t = times.find(std::string(bench) + "/" + target);
        if (t != times.end())
          std::printf("  %-22s %8.1f x  (%.1f us vs %.1f us)\n", t->first.c_str(),
                      t->second / floor->second, t->second, floor->second);
      }
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

BENCHMARK_CAPTURE(KeyLookup, Sqlite, Target::Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyedItem, Sqlite, Target::Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RepriceSale, Sqlite, Target::Sqlite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyLookup, Postgres, Target::Postgres)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyedItem, Postgres, Target::Postgres)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RepriceSale, Postgres, Target::Postgres)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  kvt::bench::ForgetBigStores();  // removes the temporary databases
  return 0;
}
