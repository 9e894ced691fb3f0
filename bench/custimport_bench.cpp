// The customer import of 100,000 customers: the ICUST file table read and
// every customer replaced in one transaction (KVTCustomerImport::Replace),
// in customers per second and as a ratio to the floor of the same run: the
// same 500,000 rows (five tables) deleted and inserted in one transaction by
// prepared statements with the values ready, nothing else. On SQLite
// (synchronous FULL) and on the PostgreSQL server named by KVT_PG.
#include <benchmark/benchmark.h>
#include <shapefil.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/custimport.h"
#include "bench/ratio.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "platform/win/folders.h"
#include "schema/schema.h"
#include "tools/tempdb/tempdb.h"

namespace {

namespace sql = kvt::sql;
using kvt::test::Backend;

constexpr int kCustomers = 100000;
const char* const kFields[] = {
    "IC_CODE",    "IC_NAME",   "IC_ADDR1",   "IC_ADDR2",   "IC_CITY",   "IC_ST",      "IC_ZIP",
    "IC_PHONE",   "IC_CURR",   "IC_THIRTY",  "IC_SIXTY",   "IC_NINTY",  "IC_ONETWEN", "IC_OFIFTY",
    "IC_ONEIGHT", "IC_TWOTEN", "IC_TWOFOUR", "IC_TWOSEVN", "IC_THREE",  "IC_THREETH", "IC_ONEYEAR",
    "IC_LAS_PAY", "IC_CRDLMT", "IC_CHRG_OK", "IC_ACTIVE",  "CREDITNOTE"};

// The 26 values of customer i, as the office's table holds them.
std::vector<std::string> Customer(int i) {
  std::string n = std::to_string(i);
  std::vector<std::string> v = {"C" + n,
                                "Farm " + n + " and Sons",
                                n + " County Road",
                                "Box " + n,
                                "Springfield",
                                "IL",
                                "62701",
                                "555-" + n};
  for (int a = 0; a < 13; ++a) v.push_back(std::to_string(i % 97) + "." + std::to_string(a));
  v.insert(v.end(), {"25.00", "1500", i % 3 ? "1" : "0", i % 10 ? "0" : "1", "Net 30"});
  return v;
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

bool WriteIcust(std::string* why) {
  if (!Folder().empty()) return true;
  std::string folder = GetTempFolder() + "kvtcustbench-" + std::to_string(getpid()) + "/";
  if (!CreateFolder(folder, why)) return false;
  DBFHandle h = DBFCreate((folder + "ICUST").c_str());
  if (!h) return *why = "cannot create " + folder + "ICUST.dbf", false;
  for (const char* f : kFields) DBFAddField(h, f, FTString, 30, 0);
  for (int r = 0; r < kCustomers; ++r) {
    std::vector<std::string> v = Customer(r);
    for (int c = 0; c < 26; ++c) DBFWriteStringAttribute(h, r, c, v[c].c_str());
  }
  DBFClose(h);
  Folder() = folder;
  return true;
}

std::map<Backend, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<Backend, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

bool Open(Backend backend, std::string* why) {
  if (!WriteIcust(why)) return false;
  auto& db = Databases()[backend];
  if (!db) {
    db = kvt::test::TempDatabase::Create(backend, why);
    if (!db) return false;
    if (!kvt::schema::Create(why)) {
      db.reset();
      return false;
    }
    return true;
  }
  if (!db->Reopen()) return *why = KVTLastSqlError(), false;
  return true;
}

void Rate(benchmark::State& state) {
  state.counters["customers_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kCustomers, benchmark::Counter::kIsRate);
}

// The floor: the same rows, values ready, prepared inserts in one unit.
void BulkInsert(benchmark::State& state, Backend backend) {
  std::string why;
  if (!Open(backend, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  const char* inserts[] = {
      "INSERT INTO KVTAR50 (REFERENCE,NAME,ADDRESS1,ADDRESS2,CITY,STATE,ZIPCODE,ISACTIVE,LMODDATE,"
      "RECNO) VALUES (?,?,?,?,?,?,?,?,?,?)",
      "INSERT INTO KVTAR54 (REFERENCE,CURRENT,MONTH1,MONTH2,MONTH3,MONTH4,MONTH5,MONTH6,MONTH7,"
      "MONTH8,MONTH9,MONTH10,MONTH11,MONTH12,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      "INSERT INTO KVTAR57 (CUSTLINK,TELEPHONE,RECNO) VALUES (?,?,?)",
      "INSERT INTO KVTAR51 (REFERENCE,CASHONLY,LPAYAMT,CREDITLMT,RECNO,OPENBALFWD,PRTSTMNT,"
      "ALLOWDISC,NOSERCHG,NOINTEREST) VALUES (?,?,?,?,?,?,?,?,?,?)",
      "INSERT INTO KVTAR55 (LINK,COMMENT,RECNO,COMMDATE) VALUES (?,?,?,?)"};
  std::vector<std::vector<std::vector<sql::Value>>> rows(kCustomers);
  for (int i = 0; i < kCustomers; ++i) {
    std::vector<std::string> v = Customer(i);
    sql::Value recno = sql::Number(i + 1);
    std::vector<sql::Value> aging = {sql::Text(v[0])};
    for (int a = 0; a < 13; ++a) aging.push_back(sql::Text(v[8 + a]));
    aging.push_back(recno);
    rows[i] = {
        {sql::Text(v[0]), sql::Text(v[1]), sql::Text(v[2]), sql::Text(v[3]), sql::Text(v[4]),
         sql::Text(v[5]), sql::Text(v[6]), sql::Number("1"), sql::Date("10/20/2002"), recno},
        aging,
        {sql::Text(std::to_string(i + 1)), sql::Text(v[7]), recno},
        {sql::Text(v[0]), sql::Number("1"), sql::Text(v[21]), sql::Text(v[22]), recno,
         sql::Text("O"), sql::Number("0"), sql::Number("0"), sql::Number("0"), sql::Number("0")},
        {sql::Text(v[0]), sql::Text(v[25]), recno, sql::Date("10/20/2002")}};
  }
  for (auto _ : state) {
    sql::Transaction unit;
    for (const char* t : {"KVTAR50", "KVTAR51", "KVTAR54", "KVTAR55", "KVTAR57"})
      if (sql::Result r = sql::Run(std::string("DELETE FROM ") + t); !r.ok()) {
        state.SkipWithError(r.error().c_str());
        return;
      }
    std::vector<sql::Query> q;
    for (const char* s : inserts) q.emplace_back(s);
    for (const auto& customer : rows)
      for (int t = 0; t < 5; ++t)
        if (sql::Result r = q[t].Run(customer[t]); !r.ok()) {
          state.SkipWithError(r.error().c_str());
          return;
        }
    if (!unit.Commit()) {
      state.SkipWithError(unit.error().c_str());
      return;
    }
  }
  Rate(state);
}

void CustomerImport(benchmark::State& state, Backend backend) {
  std::string why;
  if (!Open(backend, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  for (auto _ : state) {
    KVTCustomerImport import(Folder());
    if (!import.Replace("10202002") || import.imported() != kCustomers) {
      state.SkipWithError(("import failed: " + import.error()).c_str());
      return;
    }
  }
  Rate(state);
}

}  // namespace

BENCHMARK_CAPTURE(BulkInsert, SQLite, Backend::SQLite)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(CustomerImport, SQLite, Backend::SQLite)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_CAPTURE(BulkInsert, PostgreSQL, Backend::PostgreSQL)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(CustomerImport, PostgreSQL, Backend::PostgreSQL)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kvt::bench::FloorRatioReporter reporter("Customer import of " + std::to_string(kCustomers) +
                                              " customers against a bulk insert of the same rows",
                                          "CustomerImport", "BulkInsert", kCustomers, "customers",
                                          "the bulk insert");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  Databases().clear();
  if (!Folder().empty()) std::filesystem::remove_all(Folder());
  return 0;
}
