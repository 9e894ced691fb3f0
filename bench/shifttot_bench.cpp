// The shift totals a till shows when an operator continues a shift: every
// sale of the shift read and summed, among the sales of many other shifts.
// On SQLite (the till's synchronous FULL) and on the PostgreSQL server named
// by KVT_PG. Arguments: the sales of the shift.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "backoffice/shifttot.h"
#include "platform/sql/kvtsql.h"
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
  if (!kvt::schema::Create(why)) return false;
  KVTConnection c(1);
  static char sale[] =
      "INSERT INTO KVTPOS1 (INVOICENUM,STORE,INVDATE,TILLREF,SHIFT,TRANSTYPE,CASHAMT,CHECKAMT,"
      "CHANGE,CREDITAMT,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?)";
  static char line[] = "INSERT INTO KVTPOS2 (INVOICENUM,ENTRYTOTAL,RECNO) VALUES (?,?,?)";
  if (!c.BeginTran(sale)) return *why = c.LastError(), false;
  c.PrepareSQL(sale);
  c.PrepareSQL(line);
  int recno = 0;
  for (int i = 0; i < kOtherSales + shiftSales; ++i) {
    bool ours = i >= kOtherSales;
    char number[32], date[16], amount[32], rec[32];
    std::snprintf(number, sizeof number, "%d", i + 1);
    std::snprintf(date, sizeof date, "%02d/%02d/2025", 1 + (i / 28) % 12, 1 + i % 28);
    std::snprintf(amount, sizeof amount, "%d.%02d", 5 + i % 90, i % 100);
    std::snprintf(rec, sizeof rec, "%d", ++recno);
    const char* values[] = {number,
                            "MAIN",
                            ours ? "12/05/2025" : date,
                            ours ? "1" : "2",
                            "1",
                            i % 40 == 0 ? "N" : "S",
                            i % 3 == 0 ? amount : "0",
                            i % 3 == 1 ? amount : "0",
                            i % 3 == 0 ? "0.25" : "0",
                            i % 3 == 2 ? amount : "0",
                            rec};
    int types[] = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2};
    for (int k = 0; k < 11; ++k) c.BindParam(sale, values[k], types[k]);
    if (c.ExecuteSQL(sale) <= 0) return *why = c.LastError(), false;
    for (int l = 0; l < 2; ++l) {
      std::snprintf(rec, sizeof rec, "%d", ++recno);
      c.BindParam(line, number, 0);
      c.BindParam(line, (i + l) % 25 == 0 ? "VOID" : amount, 0);
      c.BindParam(line, rec, 2);
      if (c.ExecuteSQL(line) <= 0) return *why = c.LastError(), false;
    }
  }
  if (!c.CommitTran(sale)) return *why = c.LastError(), false;
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
  PVshifttotDlg screen(nullptr);
  std::strcpy(screen.szStore, "MAIN");
  std::strcpy(screen.szDate, "12052025");
  std::strcpy(screen.szTillRef, "1");
  std::strcpy(screen.szShift, "1");
  for (auto _ : state) {
    std::string text = screen.VerifyPOSShiftResume->SalesTotalText();
    if (!screen.VerifyPOSShiftResume->LastError().empty()) {
      state.SkipWithError(screen.VerifyPOSShiftResume->LastError().c_str());
      return;
    }
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
