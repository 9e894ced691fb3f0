// The database floor every till hot path is measured against: an empty
// write transaction, and the rows of one ten-line sale (header, ten lines,
// ten tax rows) inserted in one transaction with prepared statements. On
// SQLite with synchronous FULL (the till's setting) and NORMAL, and on the
// PostgreSQL server named by KVT_PG.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/sql/kvtsql.h"
#include "schema/schema.h"
#include "tests/support/tempdb.h"

namespace {

enum class Target { SqliteFull, SqliteNormal, Postgres };

// One database per target for the whole run, made on first use.
std::map<Target, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<Target, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

kvt::test::TempDatabase* Open(Target target, std::string* why) {
  auto& db = Databases()[target];
  if (!db) {
    auto backend =
        target == Target::Postgres ? kvt::test::Backend::PostgreSQL : kvt::test::Backend::SQLite;
    db = kvt::test::TempDatabase::Create(backend, why, target != Target::SqliteNormal);
    if (!db) return nullptr;
    if (!kvt::schema::Create(why)) {
      db.reset();
      return nullptr;
    }
  } else if (!db->Reopen()) {
    *why = KVTLastSqlError();
    return nullptr;
  }
  return db.get();
}

void EmptyWriteTransaction(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  KVTConnection c(1);
  char stmt[] = "SELECT RECNO FROM KVTPOS1";
  for (auto _ : state) {
    if (!c.BeginTran(stmt) || !c.CommitTran(stmt)) {
      state.SkipWithError(c.LastError());
      return;
    }
  }
}

char kHeader[] =
    "INSERT INTO KVTPOS1 (INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,TRANSTYPE,"
    "STATUS,CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,FDSTMPAMT,"
    "CASHPAY,CHECKPAY,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,DISCOUNT,CHANGE,CHECKNUM,"
    "CHECKACCT,CCNUMBER,CCEXPDATE,CCTYPE,CCAUTHNUM,PO,CREDITPAY,FSCHANGE,INVOICELNK,SALEDATE,"
    "TAXAMT,DOB,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,FPDBC,FPDBCDESC,FPCPN,FPCPNDESC,FPAUTHNUM,"
    "FPC2REF,FPREPAYTRM,FPTANDC,FPACCNUM,CREDITRET,GFTCRDAMT,GFTCRDPAY,GCTYPE,GCNUMBER,GCEXPDATE,"
    "GCAUTHNUM,CANEXCHG,CANAMT) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
char kLine[] =
    "INSERT INTO KVTPOS2 (INVREF,DESCR,QTYORDERED,PRICE,ENTRYTOTAL,FOODSTAMPS,TAXABLE,INVOICENUM,"
    "NUMCHANGE,TILLCODE,CATEGORY,DISCOUNT,COST,SERIALNUM,INVLOC,INVOICELNK,RECNO,ITEMLNK,PROMPT) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
char kTax[] =
    "INSERT INTO KVTPOS3 (INVOICENUM,TAXCODE,TAXRATE,TAXAMT,INVOICELNK,RECNO,ITEMLNK) VALUES "
    "(?,?,?,?,?,?,?)";

bool SaveSale(KVTConnection& c, long sale, double* recno) {
  char num[32], link[32], rn[32];
  std::snprintf(num, sizeof num, "%ld", sale);
  std::snprintf(link, sizeof link, "%ldA", sale);
  std::snprintf(rn, sizeof rn, "%.0f", ++*recno);
  const char* header[63];
  for (auto& h : header) h = "";
  header[0] = num;
  header[1] = rn;
  header[2] = "03/15/2024";
  header[3] = "10:42:07";
  header[4] = "1";
  header[5] = "100";
  header[6] = "MAIN";
  header[7] = "1";
  header[8] = "S";
  header[9] = "C";
  header[10] = "CASH";
  header[11] = "Cash Customer";
  header[12] = "107.48";
  header[21] = "107.48";
  header[22] = "110.00";
  header[23] = "1";
  header[24] = "100.00";
  header[27] = "2.52";
  header[37] = link;
  header[38] = "03/15/2024";
  header[39] = "7.48";
  bool ok = c.BeginTran(kHeader) > 0;
  for (int i = 0; ok && i < 63; ++i)
    ok = c.BindParam(kHeader, header[i],
                     i == 1                                      ? 2
                     : (i == 2 || i == 31 || i == 38 || i == 59) ? 3
                                                                 : 0) > 0;
  ok = ok && c.ExecuteSQL(kHeader) > 0;
  for (int line = 0; ok && line < 10; ++line) {
    std::snprintf(rn, sizeof rn, "%.0f", ++*recno);
    const char* values[19] = {"HX0412", "Hex Bolt 3/8 x2 Zinc",
                              "4",      "2.50",
                              "10.00",  "0",
                              "1",      num,
                              "0",      "",
                              "HDWR",   "",
                              "1.60",   "",
                              "01",     link,
                              rn,       rn,
                              ""};
    for (int i = 0; ok && i < 19; ++i)
      ok = c.BindParam(kLine, values[i], (i == 5 || i == 6 || i == 16) ? 2 : 0) > 0;
    ok = ok && c.ExecuteSQL(kLine) > 0;
    char taxRecno[32];
    std::snprintf(taxRecno, sizeof taxRecno, "%.0f", ++*recno);
    const char* tax[7] = {num, "KS", "6.500", "0.65", link, taxRecno, rn};
    for (int i = 0; ok && i < 7; ++i) ok = c.BindParam(kTax, tax[i], i == 5 ? 2 : 0) > 0;
    ok = ok && c.ExecuteSQL(kTax) > 0;
  }
  if (!ok) {
    c.CancelTran(kHeader);
    return false;
  }
  return c.CommitTran(kHeader) > 0;
}

void TenLineSale(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  KVTConnection c(1);
  if (!c.PrepareSQL(kHeader) || !c.PrepareSQL(kLine) || !c.PrepareSQL(kTax)) {
    state.SkipWithError(c.LastError());
    return;
  }
  static long sale = 0;
  static double recno = 1e6;
  for (auto _ : state) {
    if (!SaveSale(c, ++sale, &recno)) {
      state.SkipWithError(c.LastError());
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * 21);  // rows written
}

}  // namespace

BENCHMARK_CAPTURE(EmptyWriteTransaction, SqliteFull, Target::SqliteFull);
BENCHMARK_CAPTURE(EmptyWriteTransaction, SqliteNormal, Target::SqliteNormal);
BENCHMARK_CAPTURE(EmptyWriteTransaction, Postgres, Target::Postgres);
BENCHMARK_CAPTURE(TenLineSale, SqliteFull, Target::SqliteFull);
BENCHMARK_CAPTURE(TenLineSale, SqliteNormal, Target::SqliteNormal);
BENCHMARK_CAPTURE(TenLineSale, Postgres, Target::Postgres);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Databases().clear();  // removes the temporary databases
  return 0;
}
