// The shift totals a till shows when an operator continues a shift: every
// sale of the shift read and summed, among the sales of many other shifts.
// On SQLite (the till's synchronous FULL) and on the PostgreSQL server named
// by KVT_PG. Arguments: the sales of the shift.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "backoffice/shifttotals.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "schema/schema.h"
#include "tools/tempdb/tempdb.h"

namespace {

using kvt::test::Backend;

// Other shifts' sales around the one measured: a store's year of tills.
constexpr int kOtherSales = 20000;

std::map<std::pair<Backend, int>, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<std::pair<Backend, int>, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

bool Fill(int shiftSales, std::string* why) {
  namespace sql = kvt::sql;
  if (!kvt::schema::Create(why)) return false;
  sql::Transaction unit;
  if (!unit.ok()) return *why = unit.error(), false;
  sql::Query sale(
      "INSERT INTO KVTPOS1 (INVOICENUM,STORE,INVDATE,TILLREF,SHIFT,TRANSTYPE,CASHAMT,CHECKAMT,"
      "CHANGE,CREDITAMT,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
  sql::Query line("INSERT INTO KVTPOS2 (INVOICENUM,ENTRYTOTAL,RECNO) VALUES (?,?,?)");
  int recno = 0;
  for (int i = 0; i < kOtherSales + shiftSales; ++i) {
    bool ours = i >= kOtherSales;
    char date[16], amount[32];
    std::snprintf(date, sizeof date, "%02d/%02d/2025", 1 + (i / 28) % 12, 1 + i % 28);
    std::snprintf(amount, sizeof amount, "%d.%02d", 5 + i % 90, i % 100);
    std::string number = std::to_string(i + 1);
    sql::Result r =
        sale.Run({sql::Text(number), sql::Text("MAIN"), sql::Date(ours ? "12/05/2025" : date),
                  sql::Text(ours ? "1" : "2"), sql::Text("1"), sql::Text(i % 40 == 0 ? "N" : "S"),
                  sql::Text(i % 3 == 0 ? amount : "0"), sql::Text(i % 3 == 1 ? amount : "0"),
                  sql::Text(i % 3 == 0 ? "0.25" : "0"), sql::Text(i % 3 == 2 ? amount : "0"),
                  sql::Number(++recno)});
    if (!r.ok()) return *why = r.error(), false;
    for (int l = 0; l < 2; ++l) {
      r = line.Run({sql::Text(number), sql::Text((i + l) % 25 == 0 ? "VOID" : amount),
                    sql::Number(++recno)});
      if (!r.ok()) return *why = r.error(), false;
    }
  }
  if (!unit.Commit()) return *why = unit.error(), false;
  return true;
}

kvt::test::TempDatabase* Open(Backend backend, int shiftSales, std::string* why) {
  auto& db = Databases()[{backend, shiftSales}];
  if (!db) {
    db = kvt::test::TempDatabase::Create(backend, why);
    if (!db) return nullptr;
    if (!Fill(shiftSales, why)) {
      db.reset();
      return nullptr;
    }
  } else if (!db->Reopen()) {
    *why = KVTLastSqlError();
    return nullptr;
  }
  return db.get();
}

void ShiftTotals(benchmark::State& state, Backend backend) {
  std::string why;
  if (!Open(backend, static_cast<int>(state.range(0)), &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  KVTShiftSales sales;
  KVTShiftTotals totals;
  for (auto _ : state) {
    if (!sales.Read("MAIN", "12052025", "1", "1", &totals)) {
      state.SkipWithError(sales.error().c_str());
      return;
    }
    std::string text = totals.Text("12052025", "100", "1", "1", false);
    benchmark::DoNotOptimize(text);
  }
}

BENCHMARK_CAPTURE(ShiftTotals, SQLite, Backend::SQLite)
    ->Arg(50)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ShiftTotals, PostgreSQL, Backend::PostgreSQL)
    ->Arg(50)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
